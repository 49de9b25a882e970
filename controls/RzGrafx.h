#pragma once
// Copying a bitmap with one colour left out.
#include "gui/Graphics.h"

// Draws SourceRect of Bitmap stretched to the size of DestRect onto Canvas at its origin
// (0, 0), leaving out the pixels of TransparentColor. Callers draw into an off-screen bitmap
// of the destination's size.
void StretchTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, const TRect& DestRect, const TRect& SourceRect,
                              TColor TransparentColor);
