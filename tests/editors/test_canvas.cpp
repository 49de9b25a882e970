// The canvas wrapper on real bitmaps probed by pixel: tiled and bordered fills, frames,
// aligned and disabled text, measuring, clip arithmetic, bitmap turns and the colour helpers.
#include "CanvasProbe.h"

#include "editors/cxGraphics.h"
#include "gui/WinGDI.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// A tile whose every pixel tells its position.
COLORREF TilePixel(int x, int y) { return RGB(x * 16, y * 16, 77); }

std::unique_ptr<TBitmap> MakeTile() {
  auto tile = std::make_unique<TBitmap>();
  tile->SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) tile->Canvas()->SetPixels(x, y, TColor(TilePixel(x, y)));
  return tile;
}

int FloorMod(int a, int b) { return ((a % b) + b) % b; }

class CxCanvas : public CanvasProbe {
protected:
  void SetUp() override {
    CanvasProbe::SetUp();
    Fill(Rect(0, 0, Bmp.Width(), Bmp.Height()), clWhite);
    Cx = std::make_unique<TcxCanvas>(C());
  }
  // Every pixel: the tile inside Area (logical coordinates shifted by Shift), white outside.
  void ExpectTiled(const TRect& Area, TPoint Shift = {0, 0}, COLORREF Outside = 0xFFFFFF) {
    int wrong = 0;
    for (int y = 0; y < Bmp.Height(); ++y)
      for (int x = 0; x < Bmp.Width(); ++x) {
        const int lx = x - Shift.X, ly = y - Shift.Y;
        const bool inside = lx >= Area.Left && lx < Area.Right && ly >= Area.Top && ly < Area.Bottom;
        const COLORREF want = inside ? TilePixel(FloorMod(lx, 16), FloorMod(ly, 16)) : Outside;
        if (Px(x, y) != want && wrong++ < 5) ADD_FAILURE() << "pixel " << x << "," << y;
      }
    EXPECT_EQ(wrong, 0);
  }
  std::unique_ptr<TcxCanvas> Cx;
};

TEST_F(CxCanvas, FillAreaTilesFromTheCanvasOrigin) {
  auto tile = MakeTile();
  Cx->FillArea(Rect(20, 5, 40, 33), tile.get());
  ExpectTiled(Rect(20, 5, 40, 33));
  Fill(Rect(0, 0, Bmp.Width(), Bmp.Height()), clWhite);
  Cx->FillArea(Rect(0, 0, 32, 32), tile.get());
  ExpectTiled(Rect(0, 0, 32, 32));
  // Negative logical coordinates are tiled too (the grid runs on past the origin).
  Fill(Rect(0, 0, Bmp.Width(), Bmp.Height()), clWhite);
  SetWindowOrgEx(DC(), -30, -20, nullptr);
  Cx->FillArea(Rect(-21, -13, 9, 7), tile.get());
  SetWindowOrgEx(DC(), 0, 0, nullptr);
  ExpectTiled(Rect(-21, -13, 9, 7), TPoint{30, 20});
  // Under another copy mode the cells are copied one by one with it: inverting onto black
  // shows the tile again.
  Fill(Rect(0, 0, Bmp.Width(), Bmp.Height()), clBlack);
  C()->SetCopyMode(cmSrcInvert);
  SetWindowOrgEx(DC(), -30, -20, nullptr);
  Cx->FillArea(Rect(-21, -13, 9, 7), tile.get());
  SetWindowOrgEx(DC(), 0, 0, nullptr);
  C()->SetCopyMode(cmSrcCopy);
  ExpectTiled(Rect(-21, -13, 9, 7), TPoint{30, 20}, 0);
}

TEST_F(CxCanvas, FillAreaEmptyPlainAndExcluding) {
  C()->Brush()->SetColor(clRed);
  Cx->FillArea(Rect(10, 10, 10, 30));  // empty: nothing, not even the exclusion
  Cx->FillArea(Rect(5, 5, 15, 15), nullptr, true);
  EXPECT_EQ(Ink().Box, Rect(5, 5, 15, 15));
  C()->Brush()->SetColor(clBlue);
  C()->FillRect(Rect(0, 0, 120, 80));  // the excluded area stays red
  EXPECT_EQ(Px(10, 10), RGB(255, 0, 0));
  EXPECT_EQ(Px(20, 10), RGB(0, 0, 255));
  EXPECT_EQ(Px(10, 30), RGB(0, 0, 255));
}

TEST_F(CxCanvas, BorderStripsStayInsideAndShadedFramesDoNotClamp) {
  Cx->DrawBorderStrips(Rect(5, 5, 25, 15), clRed, 50, cxBordersAll);
  EXPECT_EQ(Ink().Box, Rect(5, 5, 25, 15));
  EXPECT_EQ(Ink().Count, 20 * 10);
  // clDefault keeps the brush colour; only the chosen sides are painted.
  Fill(Rect(0, 0, 120, 80), clWhite);
  C()->Brush()->SetColor(clLime);
  Cx->DrawBorderStrips(Rect(30, 30, 50, 50), clDefault, 2, {bLeft, bBottom});
  EXPECT_EQ(Px(30, 30), RGB(0, 255, 0));
  EXPECT_EQ(Px(45, 49), RGB(0, 255, 0));
  EXPECT_EQ(Px(49, 35), 0xFFFFFFu);
  EXPECT_EQ(Px(35, 30), 0xFFFFFFu);

  Fill(Rect(0, 0, 120, 80), clWhite);
  Cx->DrawShadedFrame(Rect(10, 10, 20, 20), clBlue, clRed, cxBordersAll, 15);
  EXPECT_EQ(Px(22, 15), RGB(0, 0, 255));  // the left strip runs past the right edge
  EXPECT_EQ(Px(7, 15), RGB(255, 0, 0));   // the right strip starts left of the rectangle
  EXPECT_EQ(Px(12, 7), RGB(255, 0, 0));   // the bottom strip reaches above it, drawn last
  EXPECT_EQ(Px(12, 26), 0xFFFFFFu);
}

TEST_F(CxCanvas, FillAreaWithBordersAndEdgeRings) {
  TcxViewParams params;
  params.Color = clYellow;
  Cx->FillAreaWithBorders(Rect(10, 10, 30, 30), params, {bLeft, bTop}, clRed, 2);
  EXPECT_EQ(Px(10, 20), RGB(255, 0, 0));
  EXPECT_EQ(Px(11, 20), RGB(255, 0, 0));
  EXPECT_EQ(Px(20, 11), RGB(255, 0, 0));
  EXPECT_EQ(Px(12, 12), RGB(255, 255, 0));
  EXPECT_EQ(Px(29, 29), RGB(255, 255, 0));
  EXPECT_EQ(Ink().Box, Rect(10, 10, 30, 30));

  const struct {
    bool Sunken, Outer;
    int LeftTop, RightBottom;
  } rings[] = {
      {true, true, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT},
      {true, false, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
      {false, true, COLOR_3DLIGHT, COLOR_3DDKSHADOW},
      {false, false, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
  };
  for (const auto& r : rings) {
    Fill(Rect(0, 0, 120, 80), clRed);
    Cx->DrawEdge3D(Rect(40, 40, 50, 50), r.Sunken, r.Outer);
    EXPECT_EQ(Px(40, 45), Sys(r.LeftTop)) << r.Sunken << r.Outer;
    EXPECT_EQ(Px(45, 40), Sys(r.LeftTop)) << r.Sunken << r.Outer;
    EXPECT_EQ(Px(49, 45), Sys(r.RightBottom)) << r.Sunken << r.Outer;
    EXPECT_EQ(Px(45, 49), Sys(r.RightBottom)) << r.Sunken << r.Outer;
    EXPECT_EQ(Px(45, 45), RGB(255, 0, 0));
  }
}

TEST_F(CxCanvas, InvertAreaInvertsInsideAndPutsTheCopyModeBack) {
  Fill(Rect(0, 0, 120, 80), TColor(RGB(10, 20, 30)));
  Cx->InvertArea(Rect(5, 5, 10, 10));
  EXPECT_EQ(Px(5, 5), RGB(245, 235, 225));
  EXPECT_EQ(Px(10, 10), RGB(10, 20, 30));
  EXPECT_EQ(C()->CopyMode(), cmSrcCopy);
}

TEST_F(CxCanvas, SingleLineTextIsClippedOnlyWhenItDoesNotFit) {
  C()->Font()->SetColor(clBlack);
  C()->Brush()->SetStyle(bsClear);
  const int w = Cx->TextWidthOf("WWWW"), h = Cx->TextHeightOf("WWWW");
  ASSERT_GT(w, 8);
  // Fits: right-aligned, all of it drawn.
  Cx->OutputText("WWWW", Rect(10, 10, 10 + w + 20, 10 + h), txSingleLine | txAlignRight);
  TInk fit = Ink();
  EXPECT_GT(fit.Count, 0);
  EXPECT_LE(fit.Box.Right, 10 + w + 20);
  EXPECT_GE(fit.Box.Left, 10 + 18);
  // Does not fit: nothing outside the rectangle, but the part inside is drawn.
  Fill(Rect(0, 0, 120, 80), clWhite);
  const TRect narrow = Rect(10, 40, 10 + w / 2, 40 + h);
  Cx->OutputText("WWWW", narrow, txSingleLine);
  TInk cut = Ink();
  EXPECT_GT(cut.Count, 0);
  EXPECT_GE(cut.Box.Left, narrow.Left);
  EXPECT_LE(cut.Box.Right, narrow.Right);
  EXPECT_LT(cut.Count, fit.Count);
  // Empty text: nothing at all.
  Fill(Rect(0, 0, 120, 80), clWhite);
  Cx->OutputText("", Rect(0, 0, 100, 50), txSingleLine);
  EXPECT_EQ(Ink().Count, 0);
}

TEST_F(CxCanvas, DisabledTextIsEmbossedAndStateRestored) {
  const COLORREF back = RGB(200, 100, 100);
  C()->Font()->SetSize(20);
  C()->Font()->SetStyle({fsBold});
  // What the embossed look is: the text in clBtnHighlight one pixel right and down, then in
  // clBtnShadow over it, with no background painted.
  TBitmap expected;
  expected.SetSize(120, 80);
  TCanvas* e = expected.Canvas();
  e->Brush()->SetColor(TColor(back));
  e->FillRect(Rect(0, 0, 120, 80));
  e->Font()->Assign(C()->Font());
  e->Brush()->SetStyle(bsClear);
  e->Font()->SetColor(clBtnHighlight);
  e->TextOut(11, 11, "Hg");
  e->Font()->SetColor(clBtnShadow);
  e->TextOut(10, 10, "Hg");

  for (TcxTextFlags flags : {TcxTextFlags(txSingleLine), TcxTextFlags(txAlignLeft)}) {
    Fill(Rect(0, 0, 120, 80), TColor(back));
    C()->Font()->SetColor(clRed);
    C()->Brush()->SetColor(TColor(back));
    C()->Brush()->SetStyle(bsSolid);
    Cx->OutputText("Hg", Rect(10, 10, 110, 70), flags, false);
    int differ = 0, light = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 120; ++x) {
        const Byte* p = expected.ScanLine(y) + x * 4;
        if (Px(x, y) != RGB(p[2], p[1], p[0])) ++differ;
        if (Px(x, y) == Sys(COLOR_BTNHIGHLIGHT)) ++light;
      }
    EXPECT_EQ(differ, 0) << flags;
    EXPECT_GT(light, 0) << flags;  // the highlight shows below and right of the strokes
    EXPECT_EQ(C()->Font()->Color(), clRed);
    EXPECT_EQ(C()->Brush()->Style(), bsSolid);
  }
}

TEST_F(CxCanvas, MeasuringText) {
  TRect zero = Rect(10, 10, 10, 10), one = Rect(10, 10, 11, 10);
  Cx->MeasureTextRect("Hello", zero, txWordBreak);
  Cx->MeasureTextRect("Hello", one, txWordBreak);
  EXPECT_EQ(zero, one);
  EXPECT_GT(zero.Height(), Cx->TextHeightOf("H"));  // broken into several lines
  TRect empty = Rect(10, 10, 10, 10);
  Cx->MeasureTextRect("", empty, 0);
  EXPECT_EQ(empty.Right, 10);
  // The alignment point stays: right-aligned text keeps its right edge, centred its middle.
  TRect right = Rect(0, 0, 100, 20);
  Cx->MeasureTextRect("ab", right, txSingleLine | txAlignRight);
  EXPECT_EQ(right.Right, 100);
  EXPECT_EQ(right.Width(), Cx->TextWidthOf("ab"));
  TRect centred = Rect(0, 0, 100, 40);
  Cx->MeasureTextRect("ab", centred, txSingleLine | txAlignHCenter | txAlignVCenter);
  EXPECT_EQ(centred.Left, (100 - Cx->TextWidthOf("ab")) / 2);
  EXPECT_EQ(centred.Top, (40 - Cx->TextHeightOf("ab")) / 2);

  TFont big;
  big.SetSize(20);
  const int small = Cx->TextHeightOf("Qq");
  EXPECT_GT(Cx->FontLineHeight(&big), small);
  // Bottom placement of two lines: the text ends at the bottom.
  TRect r = Rect(0, 0, 200, 100);
  Cx->PlaceTextVertically(r, "a\nb", TcxCanvas::vpBottom, false, false, true, false);
  EXPECT_EQ(r.Top, 100 - 2 * Cx->TextHeightOf("a"));
}

TEST_F(CxCanvas, ClipRegionsReadAsTheBigRectangleAndCombine) {
  std::unique_ptr<TcxRegion> none(Cx->ReadClipRegion());
  EXPECT_EQ(none->BoundsRect(), Rect(0, 0, 30000, 30000));
  Cx->ApplyClipRegion(new TcxRegion(10, 10, 20, 20), rcmDifference);
  std::unique_ptr<TcxRegion> clip(Cx->ReadClipRegion());
  EXPECT_EQ(clip->BoundsRect(), Rect(0, 0, 30000, 30000));
  EXPECT_TRUE(clip->Contains(5, 5));
  EXPECT_TRUE(clip->Contains(29999, 29999));
  EXPECT_FALSE(clip->Contains(15, 15));
  Fill(Rect(0, 0, 120, 80), clRed);
  EXPECT_EQ(Px(15, 15), 0xFFFFFFu);
  EXPECT_EQ(Px(25, 15), RGB(255, 0, 0));
  // A region kept by the caller comes back in its own coordinates.
  SetWindowOrgEx(DC(), 5, 0, nullptr);
  TcxRegion kept(0, 0, 50, 50);
  Cx->ApplyClipRegion(&kept, rcmReplace, false);
  EXPECT_EQ(kept.BoundsRect(), Rect(0, 0, 50, 50));
  Cx->IntersectClipArea(Rect(0, 0, 20, 50));
  Cx->ExcludeClipArea(Rect(0, 0, 10, 10));
  std::unique_ptr<TcxRegion> now(Cx->ReadClipRegion());
  EXPECT_EQ(now->BoundsRect(), Rect(0, 0, 20, 50));
  EXPECT_FALSE(now->Contains(5, 5));
  std::unique_ptr<TcxRegion> device(Cx->ReadClipRegion(false));
  EXPECT_EQ(device->BoundsRect(), Rect(-5, 0, 15, 50));
  SelectClipRgn(DC(), nullptr);
  SetWindowOrgEx(DC(), 0, 0, nullptr);
}

TEST_F(CxCanvas, TurnBitmapMovesCornersAndResizes) {
  // A 3 x 2 bitmap: top row 1 2 3, bottom row 4 5 6.
  auto make = [] {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(3, 2);
    for (int i = 0; i < 6; ++i) b->Canvas()->SetPixels(i % 3, i / 3, TColor(RGB(i + 1, 0, 0)));
    return b;
  };
  auto at = [](TBitmap& b, int x, int y) { return int(GetRValue(COLORREF(b.Canvas()->Pixels(x, y)))); };
  const struct {
    TcxBitmapTurn Turn;
    bool Flip;
    int Width, Height;
    int TopLeft, TopRight, BottomLeft;
  } cases[] = {
      {btLeft90, false, 2, 3, 3, 6, 1},  {btRight90, false, 2, 3, 4, 1, 6}, {btHalf, false, 3, 2, 6, 4, 3},
      {btNone, true, 3, 2, 4, 6, 1},     {btLeft90, true, 2, 3, 1, 4, 3},   {btRight90, true, 2, 3, 6, 3, 4},
      {btHalf, true, 3, 2, 3, 1, 6},     {btNone, false, 3, 2, 1, 3, 4},
  };
  for (const auto& c : cases) {
    auto b = make();
    Cx->TurnBitmap(b.get(), c.Turn, c.Flip);
    ASSERT_EQ(b->Width(), c.Width) << c.Turn << c.Flip;
    ASSERT_EQ(b->Height(), c.Height) << c.Turn << c.Flip;
    EXPECT_EQ(at(*b, 0, 0), c.TopLeft) << c.Turn << c.Flip;
    EXPECT_EQ(at(*b, c.Width - 1, 0), c.TopRight) << c.Turn << c.Flip;
    EXPECT_EQ(at(*b, 0, c.Height - 1), c.BottomLeft) << c.Turn << c.Flip;
  }
}

TEST_F(CxCanvas, FocusMarkerAndScreenCanvasMeasure) {
  Cx->DrawFocusMarker(Rect(10, 10, 30, 20));
  EXPECT_EQ(C()->Brush()->Color(), TColor(0xFFFFFF));
  EXPECT_EQ(C()->Font()->Color(), clBlack);
  EXPECT_GT(Ink().Count, 0);
  EXPECT_EQ(Ink().Box, Rect(10, 10, 30, 20));
  TcxScreenCanvas screen;
  EXPECT_EQ(screen.TextWidthOf("abc"), Cx->TextWidthOf("abc"));
  EXPECT_GT(screen.TextHeightOf("abc"), 0);
}

TEST(CxGraphicsHelpers, TextFlagsTable) {
  const struct {
    TcxTextFlags Flags;
    UINT Format;
  } cases[] = {
      {0, DT_NOPREFIX},
      {txAlignLeft | txAlignTop, DT_NOPREFIX},
      {txAlignRight | txAlignBottom, DT_NOPREFIX | DT_RIGHT | DT_BOTTOM},
      {txAlignHCenter | txAlignVCenter | txSingleLine, DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_SINGLELINE},
      {txNoClip | txExpandTabs | txCalcRect, DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS | DT_CALCRECT},
      {txShowPrefix, 0},
      {txWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {txWordBreak | txNoCharBreak, DT_NOPREFIX | DT_WORDBREAK},
      {txNoCharBreak, DT_NOPREFIX},
      {txEndEllipsis | txPathEllipsis, DT_NOPREFIX | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS},
  };
  for (const auto& c : cases) EXPECT_EQ(TextFlagsToDrawTextFlags(c.Flags), c.Format) << std::hex << c.Flags;
}

TEST(CxGraphicsHelpers, SystemColourBlends) {
  EXPECT_EQ(COLORREF(PressedBlendColor()), RGB(136, 147, 177));
  EXPECT_EQ(COLORREF(HotTrackBlendColor()), RGB(183, 191, 212));
  EXPECT_EQ(COLORREF(BlendSystemColors(100, 100, 100)), RGB(255, 255, 255));
  EXPECT_EQ(COLORREF(BlendSystemColors(-100, 0, 0)), RGB(0, 0, 0));
  EXPECT_EQ(COLORREF(BlendSystemColors(100, 0, 0)), GetSysColor(COLOR_BTNFACE));
  // A white button face gives the highlight colour, whatever the weights.
  const COLORREF oldFace = GetSysColor(COLOR_BTNFACE);
  const int face = COLOR_BTNFACE;
  const COLORREF white = 0xFFFFFF;
  SetSysColors(1, &face, &white);
  EXPECT_EQ(COLORREF(BlendSystemColors(14, 44, 40)), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(COLORREF(PressedBlendColor()), GetSysColor(COLOR_HIGHLIGHT));
  SetSysColors(1, &face, &oldFace);
  EXPECT_EQ(COLORREF(ScreenNearestColor(clBtnShadow)), GetSysColor(COLOR_BTNSHADOW));
}

TEST(CxGraphicsHelpers, MirroredCharsetsAndDeflate) {
  const struct {
    int Charset;
    const char* Text;
    bool Mirrored;
  } cases[] = {
      {134, "A...", false}, {134, "", false}, {136, "合同", false}, {0, "", false}, {1, "", false},
      {177, "", true},      {178, "مرحبا", true}, {178, "A", false}, {0, "合同", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsMirroredTextCharset(c.Charset, c.Text), c.Mirrored) << c.Charset << c.Text;
  TRect r = Rect(10, 10, 50, 50);
  DeflateRectBy(r, Rect(1, 2, 3, 4));
  EXPECT_EQ(r, Rect(11, 12, 47, 46));
}

}  // namespace
