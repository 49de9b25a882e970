#include "controls/RzGrafx.h"

#include <memory>

void StretchTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, const TRect& DestRect, const TRect& SourceRect,
                              TColor TransparentColor) {
  const int w = DestRect.Width(), h = DestRect.Height();
  if (w <= 0 || h <= 0 || !Bitmap || Bitmap->Empty()) return;
  auto image = std::make_unique<TBitmap>();
  image->SetSize(w, h);
  StretchBlt(image->Canvas()->Handle(), 0, 0, w, h, Bitmap->Canvas()->Handle(), SourceRect.Left, SourceRect.Top,
             SourceRect.Width(), SourceRect.Height(), SRCCOPY);
  TransparentBlt(Canvas->Handle(), 0, 0, w, h, image->Canvas()->Handle(), 0, 0, w, h, ColorToRGB(TransparentColor));
}
