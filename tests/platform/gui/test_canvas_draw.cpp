// Lines, shapes, fills, mix modes, raster operations, edges and frame controls, checked at
// probe pixels.
#include "CanvasProbe.h"
#include "gui/SysResources.h"

namespace {
constexpr COLORREF White = 0xFFFFFF, Black = 0, Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);
}

using CanvasDraw = CanvasProbe;

TEST_F(CanvasDraw, FillRectLeavesRightAndBottomEdgesOut) {
  Fill(Rect(10, 10, 20, 15), clRed);
  EXPECT_EQ(Px(10, 10), Red);
  EXPECT_EQ(Px(19, 14), Red);
  EXPECT_EQ(Px(20, 14), White);
  EXPECT_EQ(Px(19, 15), White);
  EXPECT_EQ(Px(9, 10), White);
  EXPECT_EQ(Ink().Count, 10 * 5);
  // An inverted rectangle covers nothing; a rectangle's corners may come in any order.
  Fill(Rect(40, 20, 30, 30), clBlue);
  EXPECT_EQ(Ink(Rect(25, 15, 120, 80)).Count, 0);
  C()->Rectangle(60, 30, 50, 20);
  EXPECT_EQ(Ink(Rect(45, 15, 120, 80)).Box, Rect(50, 20, 60, 30));
}

TEST_F(CanvasDraw, RectangleOutlinesInsideAndNullPenShrinks) {
  C()->Brush()->SetColor(clRed);
  C()->Pen()->SetColor(clBlack);
  C()->Rectangle(10, 10, 20, 15);
  EXPECT_EQ(Px(10, 10), Black);
  EXPECT_EQ(Px(19, 14), Black);
  EXPECT_EQ(Px(11, 11), Red);
  EXPECT_EQ(Px(18, 13), Red);
  EXPECT_EQ(Ink().Box, Rect(10, 10, 20, 15));

  C()->Pen()->SetStyle(psClear);
  C()->Rectangle(30, 10, 40, 15);
  // Without a pen the platform fills one pixel less to the right and at the bottom.
  EXPECT_EQ(Ink(Rect(25, 0, 60, 40)).Box, Rect(30, 10, 39, 14));
}

TEST_F(CanvasDraw, WidePenIsCentredOnTheOutlineAndInsideFrameStaysInside) {
  C()->Brush()->SetStyle(bsClear);
  C()->Pen()->SetWidth(3);
  C()->Rectangle(10, 10, 30, 30);
  EXPECT_EQ(Ink(Rect(0, 0, 40, 40)).Box, Rect(9, 9, 31, 31));
  C()->Pen()->SetStyle(psInsideFrame);
  C()->Rectangle(50, 10, 70, 30);
  EXPECT_EQ(Ink(Rect(40, 0, 80, 40)).Box, Rect(50, 10, 70, 30));
  EXPECT_EQ(Px(52, 20), Black);
  EXPECT_EQ(Px(53, 20), White);
}

TEST_F(CanvasDraw, LinesLeaveTheirEndPointOut) {
  struct Row {
    TPoint From, To, LastDrawn, EndPoint;
  };
  const Row rows[] = {
      {{5, 5}, {15, 5}, {14, 5}, {15, 5}},
      {{5, 20}, {5, 30}, {5, 29}, {5, 30}},
      {{40, 5}, {30, 5}, {31, 5}, {30, 5}},
      {{50, 10}, {60, 20}, {59, 19}, {60, 20}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.To.X * 100 + r.To.Y);
    C()->MoveTo(r.From.X, r.From.Y);
    C()->LineTo(r.To.X, r.To.Y);
    EXPECT_EQ(Px(r.From.X, r.From.Y), Black);
    EXPECT_EQ(Px(r.LastDrawn.X, r.LastDrawn.Y), Black);
    EXPECT_EQ(Px(r.EndPoint.X, r.EndPoint.Y), White);
    EXPECT_EQ(C()->PenPos(), r.To);
  }
  // A polyline draws each joint once and leaves the last point out.
  C()->Polyline({{70, 5}, {80, 5}, {80, 15}});
  EXPECT_EQ(Px(80, 5), Black);
  EXPECT_EQ(Px(80, 14), Black);
  EXPECT_EQ(Px(80, 15), White);
}

// Several polylines in one call draw exactly what one call per polyline draws (dashes too);
// counts that do not fit the points are refused before anything is drawn.
TEST_F(CanvasDraw, PolyPolylineDrawsLikeSeparatePolylines) {
  const std::vector<TPoint> pts{{5, 5}, {40, 5}, {40, 30}, {10, 50}, {60, 70}, {70, 10}, {100, 10}, {100, 60}};
  const std::vector<DWORD> counts{3, 2, 3};
  for (TPenStyle style : {psSolid, psDot}) {
    SCOPED_TRACE(int(style));
    C()->Pen()->SetStyle(style);
    Fill(Rect(0, 0, 120, 80), clWhite);
    C()->PolyPolyline(pts, counts);
    std::vector<COLORREF> together = Snapshot();
    Fill(Rect(0, 0, 120, 80), clWhite);
    C()->Polyline({pts[0], pts[1], pts[2]});
    C()->Polyline({pts[3], pts[4]});
    C()->Polyline({pts[5], pts[6], pts[7]});
    EXPECT_EQ(together, Snapshot());
    EXPECT_GT(Ink().Count, 50);
  }
  Fill(Rect(0, 0, 120, 80), clWhite);
  EXPECT_THROW(C()->PolyPolyline(pts, {3, 2, 4}), EInvalidOperation);
  const DWORD tooShort[] = {3, 1};
  EXPECT_EQ(PolyPolyline(DC(), pts.data(), tooShort, 2), 0);
  EXPECT_EQ(Ink().Count, 0);
}

// A context that is no printer's paper is its own paper: no offset, physical = surface.
TEST_F(CanvasDraw, PhysicalPageOfAPlainSurfaceIsTheSurface) {
  EXPECT_EQ(GetDeviceCaps(DC(), PHYSICALWIDTH), 120);
  EXPECT_EQ(GetDeviceCaps(DC(), PHYSICALHEIGHT), 80);
  EXPECT_EQ(GetDeviceCaps(DC(), PHYSICALOFFSETX), 0);
  EXPECT_EQ(GetDeviceCaps(DC(), PHYSICALOFFSETY), 0);
}

TEST_F(CanvasDraw, DottedPenFillsGapsWithTheBackgroundOnlyWhenOpaque) {
  Fill(Rect(0, 0, 120, 80), clRed);
  C()->Pen()->SetStyle(psDot);
  C()->Brush()->SetColor(clBlue);  // opaque background: the gaps take the brush colour
  C()->MoveTo(0, 10);
  C()->LineTo(60, 10);
  C()->Brush()->SetStyle(bsClear);
  C()->MoveTo(0, 20);
  C()->LineTo(60, 20);
  int blackOpaque = 0, blueOpaque = 0, black = 0, red = 0;
  for (int x = 0; x < 60; ++x) {
    blackOpaque += Px(x, 10) == Black;
    blueOpaque += Px(x, 10) == Blue;
    black += Px(x, 20) == Black;
    red += Px(x, 20) == Red;
  }
  EXPECT_EQ(blackOpaque + blueOpaque, 60);
  EXPECT_GT(blueOpaque, 20);
  EXPECT_EQ(black + red, 60);
  EXPECT_GT(red, 20);
}

TEST_F(CanvasDraw, XorPenModeInvertsAndDrawingTwiceRestores) {
  Fill(Rect(0, 0, 60, 80), clRed);
  std::vector<COLORREF> before = Snapshot();
  C()->Pen()->SetMode(pmXor);
  C()->Pen()->SetColor(clWhite);
  C()->Brush()->SetStyle(bsClear);
  C()->Rectangle(40, 10, 80, 40);
  EXPECT_EQ(Px(40, 20), RGB(0, 255, 255));  // red xor white
  EXPECT_EQ(Px(79, 20), Black);             // white xor white
  EXPECT_EQ(Px(60, 25), White);             // the inside is left alone
  C()->Rectangle(40, 10, 80, 40);
  EXPECT_EQ(Snapshot(), before);

  C()->Pen()->SetMode(pmNot);
  C()->MoveTo(0, 50);
  C()->LineTo(100, 50);
  EXPECT_EQ(Px(10, 50), RGB(0, 255, 255));
  EXPECT_EQ(Px(90, 50), Black);
}

TEST_F(CanvasDraw, FocusRectIsDottedAndDrawingItTwiceRestoresThePixels) {
  Fill(Rect(0, 0, 120, 40), clRed);
  Fill(Rect(0, 40, 120, 80), clTeal);
  std::vector<COLORREF> before = Snapshot();
  C()->DrawFocusRect(Rect(10, 30, 50, 50));
  int changed = 0;
  for (int x = 10; x < 50; ++x) changed += Px(x, 30) != Red;
  EXPECT_EQ(changed, 20);  // every other pixel of the top edge
  EXPECT_NE(Px(10, 30), Px(11, 30));
  EXPECT_EQ(Px(30, 35), Red);  // inside untouched
  C()->DrawFocusRect(Rect(10, 30, 50, 50));
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(CanvasDraw, ShapesStayWithinTheirBounds) {
  C()->Brush()->SetColor(clRed);
  C()->Ellipse(10, 10, 31, 21);
  EXPECT_EQ(Ink(Rect(0, 0, 60, 40)).Box, Rect(10, 10, 31, 21));
  EXPECT_EQ(Px(20, 15), Red);
  EXPECT_EQ(Px(10, 10), White);
  C()->RoundRect(40, 10, 60, 30, 6, 6);
  EXPECT_EQ(Ink(Rect(35, 0, 70, 40)).Box, Rect(40, 10, 60, 30));
  EXPECT_EQ(Px(40, 10), White);  // rounded corner
  EXPECT_EQ(Px(50, 20), Red);
  // One outline around a square and, inside it, a second square: filled alternately the
  // inner square is a hole, filled by winding it is not.
  C()->Pen()->SetStyle(psClear);
  const std::vector<TPoint> nested = {{80, 10}, {100, 10}, {100, 30}, {80, 30}, {80, 10},
                                      {85, 15}, {95, 15}, {95, 25}, {85, 25}, {85, 15}};
  C()->Polygon(nested);
  EXPECT_EQ(Px(82, 28), Red);
  EXPECT_EQ(Px(90, 20), White);
  SetPolyFillMode(DC(), WINDING);
  C()->Polygon(nested);
  EXPECT_EQ(Px(90, 20), Red);
}

TEST_F(CanvasDraw, ArcAndPieGoCounterClockwise) {
  C()->Brush()->SetColor(clRed);
  C()->Pen()->SetStyle(psClear);
  // From 3 o'clock counter-clockwise to 12 o'clock: the upper right quarter.
  C()->Pie(10, 10, 51, 51, 50, 30, 30, 10);
  EXPECT_EQ(Px(40, 20), Red);
  EXPECT_EQ(Px(20, 40), White);
  EXPECT_EQ(Px(20, 20), White);
}

TEST_F(CanvasDraw, RasterOperationsCombinePatternSourceAndDestination) {
  const COLORREF s = RGB(0x0F, 0xF0, 0x55), d = RGB(0x33, 0xCC, 0xA5), p = RGB(0x5A, 0x3C, 0xE1);
  const COLORREF all = 0xFFFFFF;
  struct Row {
    DWORD Rop;
    COLORREF Expected;
  };
  const Row rows[] = {
      {SRCCOPY, s},
      {SRCPAINT, s | d},
      {SRCAND, s & d},
      {SRCINVERT, s ^ d},
      {SRCERASE, s & (~d & all)},
      {NOTSRCCOPY, ~s & all},
      {NOTSRCERASE, ~(s | d) & all},
      {MERGECOPY, p & s},
      {MERGEPAINT, (~s & all) | d},
      {PATCOPY, p},
      {PATPAINT, p | (~s & all) | d},
      {PATINVERT, p ^ d},
      {DSTINVERT, ~d & all},
      {BLACKNESS, 0},
      {WHITENESS, all},
      {0x00E20746, d ^ (s & (p ^ d))},
  };
  TBitmap src;
  src.SetSize(10, 10);
  src.Canvas()->Brush()->SetColor(TColor(s));
  src.Canvas()->FillRect(Rect(0, 0, 10, 10));
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Rop);
    Fill(Rect(0, 0, 10, 10), TColor(d));
    C()->Brush()->SetColor(TColor(p));
    C()->SetCopyMode(TCopyMode(r.Rop));
    C()->CopyRect(Rect(0, 0, 10, 10), src.Canvas(), Rect(0, 0, 10, 10));
    EXPECT_EQ(Px(5, 5), r.Expected);
    EXPECT_EQ(Px(10, 5), White);
  }
}

TEST_F(CanvasDraw, MonochromeBlitsUseTextAndBackgroundColours) {
  TBitmap mono;
  mono.SetSize(10, 4);
  mono.Canvas()->Brush()->SetColor(clBlack);
  mono.Canvas()->FillRect(Rect(0, 0, 5, 4));
  mono.SetMonochrome(true);
  ASSERT_TRUE(mono.Monochrome());
  SetTextColor(DC(), Red);
  SetBkColor(DC(), Blue);
  BitBlt(DC(), 0, 0, 10, 4, mono.Canvas()->Handle(), 0, 0, SRCCOPY);
  EXPECT_EQ(Px(1, 1), Red);   // 0 bits take the text colour
  EXPECT_EQ(Px(8, 1), Blue);  // 1 bits the background colour

  // Colour to monochrome: the source's background colour becomes white, the rest black.
  Fill(Rect(20, 0, 30, 4), clLime);
  Fill(Rect(25, 0, 30, 4), clRed);
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(10, 4);
  SetBkColor(DC(), RGB(0, 255, 0));
  BitBlt(mask.Canvas()->Handle(), 0, 0, 10, 4, DC(), 20, 0, SRCCOPY);
  EXPECT_EQ(mask.Canvas()->Pixels(1, 1), clWhite);
  EXPECT_EQ(mask.Canvas()->Pixels(7, 1), clBlack);
}

TEST_F(CanvasDraw, StretchBltScalesAndMirrors) {
  TBitmap src;
  src.SetSize(4, 1);
  const TColor colours[] = {clRed, clLime, clBlue, clYellow};
  for (int x = 0; x < 4; ++x) src.Canvas()->SetPixels(x, 0, colours[x]);
  StretchBlt(DC(), 0, 0, 8, 2, src.Canvas()->Handle(), 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(Px(0, 1), Red);
  EXPECT_EQ(Px(1, 0), Red);
  EXPECT_EQ(Px(7, 1), RGB(255, 255, 0));
  // A negative destination width mirrors.
  StretchBlt(DC(), 14, 5, -4, 1, src.Canvas()->Handle(), 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(Px(10, 5), RGB(255, 255, 0));
  EXPECT_EQ(Px(13, 5), Red);
}

TEST_F(CanvasDraw, EdgesUseTheClassicColoursAtTheirPixels) {
  struct Row {
    UINT Edge, Flags;
    TPoint At;
    int Colour;  // system colour index, -1 for the untouched background
  };
  const Row rows[] = {
      {EDGE_RAISED, BF_RECT, {10, 10}, COLOR_3DLIGHT},       {EDGE_RAISED, BF_RECT, {11, 11}, COLOR_BTNHIGHLIGHT},
      {EDGE_RAISED, BF_RECT, {29, 29}, COLOR_3DDKSHADOW},    {EDGE_RAISED, BF_RECT, {28, 28}, COLOR_BTNSHADOW},
      {EDGE_RAISED, BF_RECT, {29, 10}, COLOR_3DDKSHADOW},    {EDGE_RAISED, BF_RECT, {10, 29}, COLOR_3DDKSHADOW},
      {EDGE_RAISED, BF_RECT, {20, 20}, -1},                  {EDGE_SUNKEN, BF_RECT, {10, 10}, COLOR_BTNSHADOW},
      {EDGE_SUNKEN, BF_RECT, {11, 11}, COLOR_3DDKSHADOW},    {EDGE_SUNKEN, BF_RECT, {29, 29}, COLOR_BTNHIGHLIGHT},
      {EDGE_SUNKEN, BF_RECT, {28, 28}, COLOR_3DLIGHT},       {EDGE_RAISED, BF_RECT | BF_SOFT, {10, 10}, COLOR_BTNHIGHLIGHT},
      {EDGE_RAISED, BF_RECT | BF_SOFT, {11, 11}, COLOR_3DLIGHT}, {EDGE_ETCHED, BF_RECT, {10, 10}, COLOR_BTNSHADOW},
      {EDGE_ETCHED, BF_RECT, {11, 11}, COLOR_BTNHIGHLIGHT},  {EDGE_SUNKEN, BF_RECT | BF_FLAT, {10, 10}, COLOR_BTNSHADOW},
      {EDGE_SUNKEN, BF_RECT | BF_FLAT, {29, 29}, COLOR_BTNSHADOW}, {EDGE_SUNKEN, BF_RECT | BF_MONO, {29, 29}, COLOR_WINDOWFRAME},
      {EDGE_RAISED, BF_RECT | BF_MIDDLE, {20, 20}, COLOR_BTNFACE}, {EDGE_RAISED, BF_TOPLEFT, {29, 10}, COLOR_3DLIGHT},
      {EDGE_RAISED, BF_TOPLEFT, {29, 29}, -1},               {BDR_RAISEDINNER, BF_RECT, {10, 10}, COLOR_BTNHIGHLIGHT},
      {BDR_RAISEDINNER, BF_RECT, {11, 11}, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.Edge << "/" << r.Flags << " at " << r.At.X << "," << r.At.Y);
    Fill(Rect(0, 0, 40, 40), clRed);
    TRect box = Rect(10, 10, 30, 30);
    DrawEdge(DC(), box, r.Edge, r.Flags);
    EXPECT_EQ(Px(r.At.X, r.At.Y), r.Colour < 0 ? Red : Sys(r.Colour));
    EXPECT_EQ(Px(30, 30), Red);
  }
  TRect box = Rect(10, 10, 30, 30);
  DrawEdge(DC(), box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  EXPECT_EQ(box, Rect(12, 12, 28, 28));
  box = Rect(10, 10, 30, 30);
  DrawEdge(DC(), box, BDR_RAISEDOUTER, BF_LEFT | BF_BOTTOM | BF_ADJUST);
  EXPECT_EQ(box, Rect(11, 10, 30, 29));
}

TEST_F(CanvasDraw, FrameControlCheckBoxesAndRadioButtons) {
  struct Row {
    UINT State;
    TPoint At;
    int Colour;
  };
  // A 13 x 13 check box at the origin: a 2-pixel sunken edge, a 9 x 9 interior, the mark
  // 7 x 7 within it from (3, 3).
  const Row rows[] = {
      {DFCS_BUTTONCHECK, {0, 0}, COLOR_BTNSHADOW},
      {DFCS_BUTTONCHECK, {1, 1}, COLOR_3DDKSHADOW},
      {DFCS_BUTTONCHECK, {12, 12}, COLOR_BTNHIGHLIGHT},
      {DFCS_BUTTONCHECK, {2, 2}, COLOR_WINDOW},
      {DFCS_BUTTONCHECK, {9, 3}, COLOR_WINDOW},
      {DFCS_BUTTONCHECK | DFCS_CHECKED, {9, 3}, COLOR_WINDOWTEXT},
      {DFCS_BUTTONCHECK | DFCS_CHECKED, {3, 3}, COLOR_WINDOW},
      {DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, {9, 3}, COLOR_GRAYTEXT},
      {DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, {3, 3}, COLOR_BTNFACE},
      {DFCS_BUTTON3STATE | DFCS_CHECKED, {9, 3}, COLOR_BTNSHADOW},
      {DFCS_BUTTONCHECK | DFCS_FLAT, {0, 0}, COLOR_BTNSHADOW},
      {DFCS_BUTTONCHECK | DFCS_FLAT, {1, 1}, COLOR_WINDOW},
      {DFCS_BUTTONRADIO | DFCS_CHECKED, {6, 6}, COLOR_WINDOWTEXT},
      {DFCS_BUTTONRADIO, {6, 6}, COLOR_WINDOW},
      {DFCS_BUTTONRADIO, {6, 0}, COLOR_BTNSHADOW},
      {DFCS_BUTTONRADIO, {6, 12}, COLOR_BTNHIGHLIGHT},
      {DFCS_BUTTONRADIO, {0, 0}, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.State << " at " << r.At.X << "," << r.At.Y);
    Fill(Rect(0, 0, 20, 20), clRed);
    TRect box = Rect(0, 0, 13, 13);
    DrawFrameControl(DC(), box, DFC_BUTTON, r.State);
    EXPECT_EQ(Px(r.At.X, r.At.Y), r.Colour < 0 ? Red : Sys(r.Colour));
  }
}

TEST_F(CanvasDraw, RadioMaskIsOneFixedRoundShape) {
  Fill(Rect(0, 0, 20, 20), clRed);
  TRect box = Rect(0, 0, 13, 13);
  DrawFrameControl(DC(), box, DFC_BUTTON, DFCS_BUTTONRADIOMASK);
  int black = 0;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x) {
      COLORREF c = Px(x, y);
      ASSERT_TRUE(c == Black || c == White) << x << "," << y;
      black += c == Black;
      EXPECT_EQ(c, Px(12 - x, y));  // symmetric both ways
      EXPECT_EQ(c, Px(x, 12 - y));
    }
  EXPECT_EQ(Px(6, 6), Black);
  EXPECT_EQ(Px(0, 0), White);
  EXPECT_EQ(Px(0, 6), Black);
  EXPECT_GT(black, 100);  // a disc: about pi * 6.5^2
  EXPECT_LT(black, 150);
  EXPECT_EQ(Px(13, 6), Red);
}

// The editor library measures the flat radio mask and finds the dot of the flat checked radio
// inside it: both keep this one 13 x 13 shape ('#' the mask, 'o' the dot).
TEST_F(CanvasDraw, FlatRadioMaskAndCheckedDotArePinned) {
  static const char* const kShape[13] = {
      "....#####....", "..#########..", ".###########.", ".###########.", "#############",
      "#####ooo#####", "#####ooo#####", "#####ooo#####", "#############", ".###########.",
      ".###########.", "..#########..", "....#####....",
  };
  Fill(Rect(0, 0, 13, 13), clBlack);
  TRect box = Rect(0, 0, 13, 13);
  DrawFrameControl(DC(), box, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x) EXPECT_EQ(Px(x, y), kShape[y][x] == '.' ? White : Black) << x << "," << y;
  Fill(Rect(0, 0, 13, 13), clBlack);
  DrawFrameControl(DC(), box, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_FLAT | DFCS_CHECKED);
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x)
      if (kShape[y][x] == 'o') {
        EXPECT_EQ(Px(x, y), Sys(COLOR_WINDOWTEXT)) << x << "," << y;
      } else if (kShape[y][x] == '#' && std::abs(x - 6) <= 2 && std::abs(y - 6) <= 2) {
        EXPECT_NE(Px(x, y), Sys(COLOR_WINDOWTEXT)) << x << "," << y;  // the dot ends here
      }
}

TEST_F(CanvasDraw, CheckBoxSheetHoldsTwelveBoxes) {
  TBitmap sheet;
  ASSERT_TRUE(LoadSystemBitmap(OBM_CHECKBOXES, &sheet));
  ASSERT_EQ(sheet.Width(), 52);
  ASSERT_EQ(sheet.Height(), 39);
  TCanvas* c = sheet.Canvas();
  // Row 1 check boxes: unchecked has a window-coloured centre, checked a mark there.
  EXPECT_EQ(ColorToRGB(c->Pixels(6, 2)), Sys(COLOR_WINDOW));
  EXPECT_NE(ColorToRGB(c->Pixels(13 + 6, 6)), Sys(COLOR_WINDOW));
  // Row 2 radio buttons: the checked one has the dot.
  EXPECT_EQ(ColorToRGB(c->Pixels(13 + 6, 13 + 6)), Sys(COLOR_WINDOWTEXT));
  EXPECT_EQ(ColorToRGB(c->Pixels(6, 13 + 6)), Sys(COLOR_WINDOW));
}

TEST_F(CanvasDraw, ScrollArrowsPointTheirWay) {
  for (UINT kind : {UINT(DFCS_SCROLLUP), UINT(DFCS_SCROLLDOWN), UINT(DFCS_SCROLLLEFT), UINT(DFCS_SCROLLRIGHT)}) {
    SCOPED_TRACE(kind);
    Fill(Rect(0, 0, 40, 40), clWhite);
    TRect box = Rect(0, 0, 17, 17);
    DrawFrameControl(DC(), box, DFC_SCROLL, kind);
    TInk arrow;
    for (int y = 2; y < 15; ++y)
      for (int x = 2; x < 15; ++x)
        if (Px(x, y) == Sys(COLOR_BTNTEXT)) {
          ++arrow.Count;
          arrow.Box.Left = std::min(arrow.Box.Left, x);
          arrow.Box.Top = std::min(arrow.Box.Top, y);
          arrow.Box.Right = std::max(arrow.Box.Right, x + 1);
          arrow.Box.Bottom = std::max(arrow.Box.Bottom, y + 1);
        }
    ASSERT_EQ(arrow.Count, 16);  // 1 + 3 + 5 + 7
    bool vertical = kind == DFCS_SCROLLUP || kind == DFCS_SCROLLDOWN;
    EXPECT_EQ(arrow.Box.Width(), vertical ? 7 : 4);
    // The single tip pixel is at the side the arrow points to.
    int tipCount = 0;
    for (int i = 0; i < 17; ++i) {
      int x = kind == DFCS_SCROLLLEFT ? arrow.Box.Left : kind == DFCS_SCROLLRIGHT ? arrow.Box.Right - 1 : i;
      int y = kind == DFCS_SCROLLUP ? arrow.Box.Top : kind == DFCS_SCROLLDOWN ? arrow.Box.Bottom - 1 : i;
      tipCount += Px(x, y) == Sys(COLOR_BTNTEXT);
    }
    EXPECT_EQ(tipCount, 1);
    EXPECT_EQ(Px(0, 0), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(Px(16, 16), Sys(COLOR_3DDKSHADOW));
  }
}

TEST_F(CanvasDraw, RegionsCombine) {
  HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15), r = CreateRectRgn(0, 0, 0, 0);
  struct Row {
    int Mode, Type;
    TRect Box;
    bool In2_2, In7_7, In12_12;
  };
  const Row rows[] = {
      {RGN_AND, SIMPLEREGION, {5, 5, 10, 10}, false, true, false},
      {RGN_OR, COMPLEXREGION, {0, 0, 15, 15}, true, true, true},
      {RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}, true, false, true},
      {RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}, true, false, false},
      {RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}, true, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Mode);
    EXPECT_EQ(CombineRgn(r, a, b, row.Mode), row.Type);
    TRect box;
    EXPECT_EQ(GetRgnBox(r, &box), row.Type);
    EXPECT_EQ(box, row.Box);
    EXPECT_EQ(PtInRegion(r, 2, 2) != 0, row.In2_2);
    EXPECT_EQ(PtInRegion(r, 7, 7) != 0, row.In7_7);
    EXPECT_EQ(PtInRegion(r, 12, 12) != 0, row.In12_12);
  }
  EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), SIMPLEREGION);
  HRGN c = CreateRectRgn(5, 5, 10, 10);
  EXPECT_TRUE(EqualRgn(r, c));
  EXPECT_EQ(OffsetRgn(c, 1, 0), SIMPLEREGION);
  EXPECT_FALSE(EqualRgn(r, c));
  EXPECT_FALSE(PtInRegion(a, 10, 5));  // the right edge is outside
  TRect probe = Rect(9, 9, 20, 20), outside = Rect(10, 0, 20, 10);
  EXPECT_TRUE(RectInRegion(a, &probe));
  EXPECT_FALSE(RectInRegion(a, &outside));
  HRGN empty = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(r, a, empty, RGN_AND), NULLREGION);
  HRGN ellipse = CreateEllipticRgn(0, 0, 21, 21);
  EXPECT_TRUE(PtInRegion(ellipse, 10, 10));
  EXPECT_FALSE(PtInRegion(ellipse, 1, 1));
  const TPoint tri[] = {{0, 0}, {20, 0}, {0, 20}};
  HRGN triangle = CreatePolygonRgn(tri, 3, ALTERNATE);
  EXPECT_TRUE(PtInRegion(triangle, 3, 3));
  EXPECT_FALSE(PtInRegion(triangle, 15, 15));
  for (HRGN h : {a, b, r, c, empty, ellipse, triangle}) EXPECT_TRUE(DeleteObject(h));
}

TEST_F(CanvasDraw, ClipRegionsLimitDrawing) {
  TRect box;
  EXPECT_EQ(GetClipBox(DC(), &box), SIMPLEREGION);
  EXPECT_EQ(box, Rect(0, 0, 120, 80));
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(DC(), probe), 0);  // none

  HRGN clip = CreateRectRgn(10, 10, 30, 30);
  EXPECT_EQ(SelectClipRgn(DC(), clip), SIMPLEREGION);
  DeleteObject(clip);  // the context keeps its own copy
  EXPECT_EQ(ExcludeClipRect(DC(), 15, 15, 20, 20), COMPLEXREGION);
  Fill(Rect(0, 0, 120, 80), clRed);
  EXPECT_EQ(Px(12, 12), Red);
  EXPECT_EQ(Px(17, 17), White);
  EXPECT_EQ(Px(5, 5), White);
  EXPECT_EQ(Px(30, 30), White);
  EXPECT_EQ(GetClipRgn(DC(), probe), 1);
  EXPECT_TRUE(PtInRegion(probe, 12, 12));
  EXPECT_FALSE(PtInRegion(probe, 17, 17));
  TRect visible = Rect(16, 16, 19, 19), partly = Rect(25, 25, 50, 50);
  EXPECT_FALSE(RectVisible(DC(), &visible));
  EXPECT_TRUE(RectVisible(DC(), &partly));
  EXPECT_EQ(GetPixel(DC(), 17, 17), CLR_INVALID);

  // Clip rectangles are logical: with the origin moved they follow it.
  SelectClipRgn(DC(), nullptr);
  EXPECT_EQ(GetClipRgn(DC(), probe), 0);
  SetViewportOrgEx(DC(), 50, 0, nullptr);
  IntersectClipRect(DC(), 0, 40, 10, 50);
  Fill(Rect(-50, 0, 70, 80), clBlue);
  SetViewportOrgEx(DC(), 0, 0, nullptr);
  EXPECT_EQ(Px(55, 45), Blue);
  EXPECT_EQ(Px(5, 45), White);
  EXPECT_EQ(GetClipBox(DC(), &box), SIMPLEREGION);
  EXPECT_EQ(box, Rect(50, 40, 60, 50));
  DeleteObject(probe);
}

TEST_F(CanvasDraw, SaveDCRestoresColoursMappingAndClipping) {
  int level = SaveDC(DC());
  EXPECT_EQ(level, 1);
  SetTextColor(DC(), Red);
  SetViewportOrgEx(DC(), 5, 5, nullptr);
  IntersectClipRect(DC(), 0, 0, 10, 10);
  EXPECT_EQ(SaveDC(DC()), 2);
  SetBkMode(DC(), TRANSPARENT);
  EXPECT_TRUE(RestoreDC(DC(), level));  // back past both levels
  EXPECT_EQ(GetTextColor(DC()), Black);
  EXPECT_EQ(GetBkMode(DC()), OPAQUE);
  TPoint org;
  GetViewportOrgEx(DC(), &org);
  EXPECT_EQ(org, Point(0, 0));
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(DC(), probe), 0);
  EXPECT_FALSE(RestoreDC(DC(), -1));  // nothing saved any more
  DeleteObject(probe);
}

TEST_F(CanvasDraw, MappingModesScaleAndMirror) {
  // The grid's mirroring: viewport extent (w, h), window origin (w, 0), window extent (-w, h).
  SetMapMode(DC(), MM_ANISOTROPIC);
  SetViewportExtEx(DC(), 120, 80, nullptr);
  SetWindowExtEx(DC(), -120, 80, nullptr);
  SetWindowOrgEx(DC(), 120, 0, nullptr);
  TPoint pts[] = {{0, 0}, {10, 5}, {120, 80}};
  LPtoDP(DC(), pts, 3);
  EXPECT_EQ(pts[0], Point(120, 0));
  EXPECT_EQ(pts[1], Point(110, 5));
  EXPECT_EQ(pts[2], Point(0, 80));
  DPtoLP(DC(), pts, 3);
  EXPECT_EQ(pts[1], Point(10, 5));
  Fill(Rect(0, 0, 10, 10), clRed);
  SetMapMode(DC(), MM_TEXT);
  SetWindowOrgEx(DC(), 0, 0, nullptr);
  EXPECT_EQ(Px(110, 5), Red);
  EXPECT_EQ(Px(119, 9), Red);
  EXPECT_EQ(Px(109, 5), White);
  EXPECT_EQ(Px(5, 5), White);

  // Scaling doubles sizes; isotropic mapping keeps the logical units square.
  SetMapMode(DC(), MM_ANISOTROPIC);
  SetWindowExtEx(DC(), 1, 1, nullptr);
  SetViewportExtEx(DC(), 2, 2, nullptr);
  Fill(Rect(10, 20, 15, 25), clBlue);
  SetMapMode(DC(), MM_TEXT);
  EXPECT_EQ(Ink(Rect(0, 30, 120, 80)).Box, Rect(20, 40, 30, 50));
  SetMapMode(DC(), MM_ISOTROPIC);
  SetWindowExtEx(DC(), 100, 100, nullptr);
  SetViewportExtEx(DC(), 200, 100, nullptr);
  TSize ext;
  GetViewportExtEx(DC(), &ext);
  EXPECT_EQ(ext.cx, 100);
  EXPECT_EQ(ext.cy, 100);
}

TEST_F(CanvasDraw, PatternAndHatchBrushesTileFromTheOrigin) {
  TBitmap pattern;
  pattern.SetSize(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern.Canvas()->SetPixels(x, y, (x + y) % 2 ? clWhite : clBlack);
  pattern.SetMonochrome(true);
  C()->Brush()->SetBitmap(&pattern);
  C()->Font()->SetColor(clRed);  // a monochrome pattern's 0 bits take the text colour
  C()->Brush()->SetColor(clBlue);
  C()->TextOut(-100, -100, "x");  // selects the font (and with it the text colour)
  C()->FillRect(Rect(3, 3, 13, 13));
  EXPECT_EQ(Px(4, 4), Red);
  EXPECT_EQ(Px(5, 4), Blue);
  EXPECT_EQ(Px(12, 12), Red);
  EXPECT_EQ(Px(13, 13), White);

  C()->Brush()->SetBitmap(nullptr);
  Fill(Rect(20, 0, 60, 40), clYellow);
  C()->Brush()->SetStyle(bsHorizontal);
  C()->Brush()->SetColor(clBlue);
  C()->FillRect(Rect(20, 0, 60, 40));
  int blueRows = 0, yellowRows = 0;
  for (int y = 0; y < 40; ++y) {
    blueRows += Px(30, y) == Blue;
    yellowRows += Px(30, y) == RGB(255, 255, 0);
  }
  EXPECT_EQ(blueRows, 5);  // one line in every eight rows
  EXPECT_EQ(yellowRows, 35);  // the background shows through a hatch of a clear background
}

TEST_F(CanvasDraw, FloodFillFillsTheConnectedArea) {
  C()->Brush()->SetStyle(bsClear);
  C()->Rectangle(10, 10, 30, 30);
  C()->Brush()->SetStyle(bsSolid);
  C()->Brush()->SetColor(clRed);
  C()->FloodFill(20, 20, clBlack, fsBorder);
  EXPECT_EQ(Px(20, 20), Red);
  EXPECT_EQ(Px(11, 28), Red);
  EXPECT_EQ(Px(10, 10), Black);
  EXPECT_EQ(Px(5, 5), White);
}

TEST_F(CanvasDraw, CanvasSelectsOnlyWhatChanged) {
  // A context setting made through the handle lasts until the canvas's own object changes.
  C()->Brush()->SetColor(clYellow);
  C()->FillRect(Rect(0, 0, 1, 1));
  SetBkMode(DC(), TRANSPARENT);
  C()->TextOut(10, 10, "W");
  EXPECT_EQ(Px(10, 10), White);  // no background painted
  EXPECT_GT(Ink(Rect(0, 5, 120, 40)).Count, 10);
  C()->Brush()->SetColor(clLime);  // the brush is selected again: opaque once more
  C()->TextOut(40, 10, "W");
  EXPECT_EQ(Px(40, 10), RGB(0, 255, 0));
}

TEST_F(CanvasDraw, TheHandleCarriesTheCanvasFontPenAndBrush) {
  // Code that draws on Canvas->Handle() after setting the canvas's objects (a selected tree
  // node's white text, a grid cell's colours) gets them without drawing on the canvas first.
  C()->Handle();
  C()->Font()->SetColor(clRed);
  C()->Font()->SetSize(20);
  C()->Font()->SetStyle(TFontStyles{fsBold});
  C()->Brush()->SetColor(clBlue);
  C()->Pen()->SetColor(clLime);
  HDC dc = C()->Handle();
  EXPECT_EQ(GetTextColor(dc), Red);
  EXPECT_EQ(GetBkColor(dc), Blue);
  TRect r = Rect(5, 5, 60, 30);
  DrawText(dc, "WW", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  bool red = false;
  for (int y = 5; y < 30 && !red; ++y)
    for (int x = 5; x < 60 && !red; ++x) red = GetRValue(Px(x, y)) > 200 && GetBValue(Px(x, y)) < 60;
  EXPECT_TRUE(red) << "the text is drawn in the canvas's font colour";
  MoveToEx(dc, 0, 70, nullptr);
  LineTo(dc, 50, 70);
  EXPECT_EQ(Px(20, 70), RGB(0, 255, 0));
}

TEST_F(CanvasDraw, ObjectsDeletedWhileSelectedLiveUntilDeselected) {
  HPEN pen = CreatePen(PS_SOLID, 1, Red);
  HGDIOBJ old = SelectObject(DC(), pen);
  ASSERT_NE(old, nullptr);
  EXPECT_TRUE(DeleteObject(pen));   // deferred: the context still draws with it
  EXPECT_FALSE(DeleteObject(pen));  // but only once
  MoveToEx(DC(), 0, 0, nullptr);
  LineTo(DC(), 10, 0);
  EXPECT_EQ(Px(5, 0), Red);
  // Deselecting frees it; the context hands back nothing that is gone.
  EXPECT_EQ(SelectObject(DC(), old), nullptr);
  EXPECT_EQ(GetObjectType(GetCurrentObject(DC(), OBJ_PEN)), UINT(OBJ_PEN));

  // A pen kept by a saved state survives until that state is dropped.
  HPEN blue = CreatePen(PS_SOLID, 1, Blue);
  SelectObject(DC(), blue);
  int level = SaveDC(DC());
  SelectObject(DC(), GetStockObject(BLACK_PEN));
  DeleteObject(blue);
  RestoreDC(DC(), level);
  LineTo(DC(), 10, 5);
  EXPECT_EQ(Px(10, 2), Blue);
  SelectObject(DC(), GetStockObject(BLACK_PEN));
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects stay
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), UINT(OBJ_BRUSH));
}

TEST_F(CanvasDraw, InvertRectAndPushButtons) {
  Fill(Rect(0, 0, 20, 20), clRed);
  InvertRect(DC(), Rect(0, 0, 10, 10));
  EXPECT_EQ(Px(5, 5), RGB(0, 255, 255));
  EXPECT_EQ(Px(15, 5), Red);
  InvertRect(DC(), Rect(0, 0, 10, 10));
  EXPECT_EQ(Px(5, 5), Red);

  struct Row {
    UINT State;
    TPoint At;
    int Colour;
  };
  const Row rows[] = {
      {DFCS_BUTTONPUSH, {40, 10}, COLOR_BTNHIGHLIGHT}, {DFCS_BUTTONPUSH, {41, 11}, COLOR_3DLIGHT},
      {DFCS_BUTTONPUSH, {59, 29}, COLOR_3DDKSHADOW},   {DFCS_BUTTONPUSH, {58, 28}, COLOR_BTNSHADOW},
      {DFCS_BUTTONPUSH, {50, 20}, COLOR_BTNFACE},      {DFCS_BUTTONPUSH | DFCS_PUSHED, {40, 10}, COLOR_BTNSHADOW},
      {DFCS_BUTTONPUSH | DFCS_PUSHED, {41, 11}, COLOR_3DDKSHADOW},
      {DFCS_BUTTONPUSH | DFCS_FLAT, {59, 29}, COLOR_BTNSHADOW},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.State << " at " << r.At.X << "," << r.At.Y);
    TRect box = Rect(40, 10, 60, 30);
    DrawFrameControl(DC(), box, DFC_BUTTON, r.State);
    EXPECT_EQ(Px(r.At.X, r.At.Y), Sys(r.Colour));
    EXPECT_EQ(box, Rect(40, 10, 60, 30));
  }
  TRect box = Rect(40, 10, 60, 30);
  DrawFrameControl(DC(), box, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(box, Rect(42, 12, 58, 28));
}

TEST_F(CanvasDraw, HalftoneStretchingBlendsAndOtherModesPickPixels) {
  TBitmap src;
  src.SetSize(2, 1);
  src.Canvas()->SetPixels(0, 0, clBlack);
  for (int mode : {COLORONCOLOR, HALFTONE}) {
    SCOPED_TRACE(mode);
    SetStretchBltMode(DC(), mode);
    StretchBlt(DC(), 0, 0, 40, 1, src.Canvas()->Handle(), 0, 0, 2, 1, SRCCOPY);
    int mixed = 0;
    for (int x = 0; x < 40; ++x) mixed += Px(x, 0) != Black && Px(x, 0) != White;
    if (mode == HALFTONE) EXPECT_GT(mixed, 0);
    else EXPECT_EQ(mixed, 0);
    EXPECT_EQ(Px(0, 0), Black);
    EXPECT_EQ(Px(39, 0), White);
  }
}
