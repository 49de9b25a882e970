#include "controls/VCLUtils.h"

#include "core/Scope.h"
#include "gui/ImgList.h"

namespace {

// A mask of the given size: white (set) where Drawn(x, y), black elsewhere.
template <class F> std::unique_ptr<TBitmap> MakeMask(int W, int H, F Drawn) {
  auto mask = std::make_unique<TBitmap>();
  mask->SetSize(W, H);
  for (int y = 0; y < H; ++y) {
    Byte* row = mask->ScanLine(y);
    for (int x = 0; x < W; ++x) {
      const Byte v = Drawn(x, y) ? 255 : 0;
      row[4 * x] = row[4 * x + 1] = row[4 * x + 2] = v;
      row[4 * x + 3] = 255;
    }
  }
  mask->ImageChanged();
  return mask;
}

// Paints Color through the mask at (X, Y); the canvas keeps its brush colour.
void PaintThroughMask(TCanvas* Canvas, int X, int Y, TBitmap* Mask, TColor Color) {
  TBrush* brush = Canvas->Brush();
  const TColor old = brush->Color();
  TScopeExit restore([&] { brush->SetColor(old); });
  brush->SetColor(Color);
  BitBlt(Canvas->Handle(), X, Y, Mask->Width(), Mask->Height(), Mask->Canvas()->Handle(), 0, 0, ROP_DSPDxax);
}

COLORREF PixelRGB(const TBitmap* B, int X, int Y) {
  const Byte* p = B->ScanLine(Y) + 4 * X;
  return RGB(p[2], p[1], p[0]);
}

}  // namespace

std::unique_ptr<TBitmap> MakeDisabledImageEx(TBitmap* SourceBitmap, TColor OutlineColor, TColor BackColor,
                                             TColor HighlightColor, TColor ShadowColor, bool DrawHighlight) {
  const int w = SourceBitmap->Width(), h = SourceBitmap->Height();
  // A monochrome picture is taken in colour: its black pixels are the drawing.
  const COLORREF outline = SourceBitmap->Monochrome() ? RGB(0, 0, 0) : ColorToRGB(OutlineColor);
  std::unique_ptr<TBitmap> mask = MakeMask(w, h, [&](int x, int y) { return PixelRGB(SourceBitmap, x, y) == outline; });
  auto result = std::make_unique<TBitmap>();
  result->SetSize(w, h);
  TCanvas* c = result->Canvas();
  c->Brush()->SetColor(BackColor);
  c->FillRect(Rect(0, 0, w, h));
  if (DrawHighlight) PaintThroughMask(c, 1, 1, mask.get(), HighlightColor);
  PaintThroughMask(c, 0, 0, mask.get(), ShadowColor);
  return result;
}

std::unique_ptr<TBitmap> MakeDisabledImage(TBitmap* SourceBitmap, TColor OutlineColor) {
  return MakeDisabledImageEx(SourceBitmap, OutlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void DrawListImageDisabled(TCustomImageList* Images, TCanvas* Canvas, int X, int Y, int Index, TColor HighlightColor,
                           TColor GrayColor, bool DrawHighlight) {
  const int w = Images->Width(), h = Images->Height();
  // The image's own mask: black where it is opaque, on white.
  TBitmap shape;
  shape.SetSize(w, h);
  shape.Canvas()->Brush()->SetColor(clWhite);
  shape.Canvas()->FillRect(Rect(0, 0, w, h));
  Images->Draw(shape.Canvas(), 0, 0, Index, dsNormal, itMask);
  std::unique_ptr<TBitmap> mask = MakeMask(w, h, [&](int x, int y) { return PixelRGB(&shape, x, y) == RGB(0, 0, 0); });
  if (DrawHighlight) PaintThroughMask(Canvas, X + 1, Y + 1, mask.get(), HighlightColor);
  PaintThroughMask(Canvas, X, Y, mask.get(), GrayColor);
}
