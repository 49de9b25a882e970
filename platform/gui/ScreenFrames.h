#pragma once
// Focus rectangles drawn on the screen context (DrawFocusRect on GetDC(0)): they go to one
// transparent top-level overlay that takes no input and is never activated. Drawing is XOR:
// the same rectangle drawn again removes it, as the sizing frames of popups expect. The
// screen context stays a measuring context for everything else.
#include "gui/GdiTypes.h"

#include <vector>

// Draws (or, when already there, removes) the frame of R in screen coordinates.
void ToggleScreenFocusRect(const TRect& R);
// The frames the overlay shows now, in the order they were drawn.
std::vector<TRect> ScreenFocusRects();
// Whether the overlay window is shown (only while it holds a frame).
bool ScreenOverlayShown();
