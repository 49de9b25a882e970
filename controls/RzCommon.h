#pragma once
// What the framed edit, the control button and the button edit draw with: colour arithmetic
// in a hue/saturation/lightness space (0..240 scale), one-pixel frame sides and bevels, the
// system-coloured and tinted borders of the eleven frame styles, the control frame painted
// in a window's non-client area, and two arrow glyphs. Beside them: the frame controller,
// which pushes one set of frame and colour settings to every control registered with it, the
// settings-store component, the reader of obsolete layout properties and two colour-name
// tables.
//
// This header is the unit's: RzCommonPaint.h (the drawing), RzRegIniFile.h (the settings
// store) and RzFrameController.h (the frame controller).
#include "controls/RzFrameController.h"
