#pragma once
// What the framed edit, the control button and the button edit draw with: colour arithmetic
// in a hue/saturation/lightness space (0..240 scale), one-pixel frame sides and bevels, the
// system-coloured and tinted borders of the eleven frame styles, the control frame painted
// in a window's non-client area, and two arrow glyphs; the reader of obsolete layout
// properties and two colour-name tables (TRzColorName).
#include "core/Component.h"
#include "core/SysUtils.h"
#include "gui/Controls.h"
#include "gui/Graphics.h"

#include <vector>

class TReader;

// ================================================================ types

// Names and order belong to the stored layout format.
KELM_ENUM(TFrameStyleEx, fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus,
          fsPopup, fsFlatBold, fsFlatRounded)
// The styles fsNone..fsFlatBold; every frame-style property holds one of them.
using TFrameStyle = TFrameStyleEx;
constexpr TFrameStyle LastFrameStyle = fsFlatBold;
KELM_ENUM(TSide, sdLeft, sdTop, sdRight, sdBottom)
using TSides = TSet<TSide>;
constexpr TSides sdAllSides{sdLeft, sdTop, sdRight, sdBottom};
KELM_ENUM(TFramingPreference, fpCustomFraming, fpXPThemes)
KELM_ENUM(TRzPathType, ptIniFile, ptRegistry)
KELM_ENUM(TRzRegKey, hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers, hkeyPerformanceData,
          hkeyCurrentConfig, hkeyDynData)
KELM_ENUM(TRzRegAccessKey, keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify, keyCreateLink,
          keyRead, keyWrite, keyExecute, keyAllAccess)
using TRzRegAccess = TSet<TRzRegAccessKey>;
KELM_ENUM(TRzArrowDirection, adUp, adDown, adLeft, adRight)

// Which setting a frame-controller push concerns.
enum TRzFrameItem : Byte {
  fiAll, fiColor, fiFocusColor, fiDisabledColor, fiParentColor, fiFlatButtonColor, fiFlatButtons, fiFrameColor,
  fiFrameHotColor, fiFrameHotTrack, fiFrameHotStyle, fiFrameSides, fiFrameStyle, fiFrameVisible, fiFramingPreference
};

// Visual styles are never active on this platform; every control takes its classic path.
bool RzThemesEnabled();
// The file version of the common-controls library; there is none here.
constexpr Int64 RzComCtlVersion = 0;

// ================================================================ colours

void ColorToHueSatLum(TColor Color, Byte& H, Byte& S, Byte& L);
TColor HueSatLumToColor(Byte H, Byte S, Byte L);
TColor DarkenColor(TColor Color, Byte Amount);
TColor LightenColor(TColor Color, Byte Amount);
// True when one colour cannot be drawn on the other and be seen well: hues within 20 of each
// other around the hue circle and lightness within 60.
bool ColorsTooSimilar(TColor Color1, TColor Color2);

// ================================================================ painting
// Each painter returns its inner rectangle: what is left inside what it painted.

TRect PaintRectSides(TCanvas* Canvas, TRect Bounds, TColor ULColor, TColor LRColor, TSides Sides);
TRect PaintBevelRings(TCanvas* Canvas, TRect Bounds, TColor ULColor, TColor LRColor, int Count, TSides Sides);
TRect PaintSystemEdge(TCanvas* Canvas, TRect Bounds, bool Lowered, TSides Sides);
TRect PaintSystemButtonEdge(TCanvas* Canvas, TRect Bounds, bool Down, TSides Sides);
TRect PaintTintedButtonEdge(TCanvas* Canvas, TRect Bounds, TColor FaceColor, bool Down, TSides Sides);
TRect PaintSystemBorderSides(TCanvas* Canvas, TRect Bounds, TFrameStyle Style, TSides Sides);
TRect PaintSystemBorder(TCanvas* Canvas, TRect Bounds, TFrameStyle Style);
TRect PaintTintedBorderSides(TCanvas* Canvas, TRect Bounds, TColor FaceColor, TFrameStyle Style, TSides Sides);
TRect PaintTintedBorder(TCanvas* Canvas, TRect Bounds, TColor FaceColor, TFrameStyle Style);
// The frame of a whole control on (0, 0, Width, Height) of its window: unless KeepBorder,
// the platform's own two-pixel border is first covered in the face colour.
void PaintControlFrame(TCanvas* Canvas, int Width, int Height, TFrameStyle Style, TColor FaceColor, TColor FrameColor,
                       TSides Sides, bool KeepBorder);
void PaintDropDownGlyph(TCanvas* Canvas, const TRect& Bounds, bool XPLook, bool Down, bool Enabled);
void PaintArrowGlyph(TCanvas* Canvas, const TRect& Bounds, bool XPLook, TRzArrowDirection Direction, bool Down,
                     bool Enabled);

// ================================================================ small helpers

TRect RectCenteredIn(const TRect& Bounds, int Width, int Height);
// The font's text height plus 2.
int FontTextLineHeight(TFont* Font);

// ================================================================ obsolete layout properties

// Read handlers of properties older layouts still hold: the value is read and dropped.
class TRzOldPropReader : public TObject {
public:
  static void SkipBoolean(TReader* Reader);
  static void SkipIdent(TReader* Reader);
};

// ================================================================ colour-name tables

struct TRzColorName {
  TColor Color;
  const char* Name;
};
// 40 fixed colours, then the system colours 0..24 and 26..30.
extern const TRzColorName RzColorNames[70];
// "Default" and "Custom", the 16 standard colours, the system colours 0..24 and an empty name.
extern const TRzColorName RzStandardColorNames[44];
