#pragma once
// Drawing helpers of the speed button: the embossed look of a disabled glyph, made from a
// bitmap or drawn from an image list. Both paint a colour through a mask with the raster
// operation 0xE20746 (the brush where the mask is set, the destination elsewhere).
#include "gui/Graphics.h"

#include <memory>

class TCustomImageList;

// The raster operation that paints the brush through a mask.
constexpr DWORD ROP_DSPDxax = 0x00E20746;

// A new bitmap of the source's size filled with BackColor in which every pixel of
// OutlineColor in the source shows as ShadowColor, with a HighlightColor copy one pixel down
// and right beneath it when DrawHighlight. A monochrome source counts its black pixels.
std::unique_ptr<TBitmap> MakeDisabledImageEx(TBitmap* SourceBitmap, TColor OutlineColor, TColor BackColor,
                                             TColor HighlightColor, TColor ShadowColor, bool DrawHighlight);
// The same in the button face colours.
std::unique_ptr<TBitmap> MakeDisabledImage(TBitmap* SourceBitmap, TColor OutlineColor);
// Image Index of the list in the disabled look at (X, Y): its opaque pixels in GrayColor over a
// HighlightColor copy at (X + 1, Y + 1) when DrawHighlight. The canvas's brush colour is kept.
void DrawListImageDisabled(TCustomImageList* Images, TCanvas* Canvas, int X, int Y, int Index, TColor HighlightColor,
                           TColor GrayColor, bool DrawHighlight);
