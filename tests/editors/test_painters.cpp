// The painters probed by pixel on a TcxCanvas over a bitmap: geometry, buttons, scroll-bar
// parts, default colours, Office 2003 colours and the themed painter through a test theme.
#include "CanvasProbe.h"
#include "ThemeFixture.h"

#include "editors/cxCanvas.h"
#include "editors/cxLookAndFeelPainters.h"
#include "editors/dxOffice11.h"
#include "gui/GdiDraw.h"
#include "gui/Graphics.h"
#include "gui/SysResources.h"

#include <memory>

namespace {

COLORREF Rgb(TColor c) { return ColorToRGB(c); }

const TcxCustomLookAndFeelPainter* Standard() { return TcxStandardLookAndFeelPainter::Instance(); }
const TcxCustomLookAndFeelPainter* Flat() { return TcxFlatLookAndFeelPainter::Instance(); }
const TcxCustomLookAndFeelPainter* UltraFlat() { return TcxUltraFlatLookAndFeelPainter::Instance(); }
const TcxCustomLookAndFeelPainter* Office11() { return TcxOffice11LookAndFeelPainter::Instance(); }
const TcxCustomLookAndFeelPainter* Themed() { return TcxWinXPLookAndFeelPainter::Instance(); }

class Painter : public CanvasProbe {
protected:
  void SetUp() override {
    CanvasProbe::SetUp();
    Fill(Rect(0, 0, Bmp.Width(), Bmp.Height()), clWhite);
    Cx = std::make_unique<TcxCanvas>(C());
    AcquireOffice11Scheme();
  }
  void TearDown() override { ReleaseOffice11Scheme(); }
  void Clear() { Fill(Rect(0, 0, Bmp.Width(), Bmp.Height()), clWhite); }
  // Thick strokes, so that some pixels carry the pure text colour.
  void BigFont() {
    C()->Font()->SetHeight(-20);
    C()->Font()->SetStyle(TFontStyles{fsBold});
  }
  static int Level(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }
  COLORREF Brightest(const TRect& Area) {
    COLORREF best = 0;
    for (int y = Area.Top; y < Area.Bottom; ++y)
      for (int x = Area.Left; x < Area.Right; ++x)
        if (Level(Px(x, y)) > Level(best)) best = Px(x, y);
    return best;
  }
  COLORREF Darkest(const TRect& Area) {
    COLORREF best = 0xFFFFFF;
    for (int y = Area.Top; y < Area.Bottom; ++y)
      for (int x = Area.Left; x < Area.Right; ++x)
        if (Level(Px(x, y)) < Level(best)) best = Px(x, y);
    return best;
  }
  std::unique_ptr<TcxCanvas> Cx;
};

// ---------------------------------------------------------------- geometry
TEST(PainterGeometry, ArrowPointsAndBounds) {
  auto up = TcxCustomLookAndFeelPainter::ArrowPoints(Rect(0, 0, 17, 17), padUp, false);
  ASSERT_EQ(up.size(), 3u);
  EXPECT_EQ(up[0], (TPoint{8, 6}));
  EXPECT_EQ(up[1], (TPoint{4, 10}));
  EXPECT_EQ(up[2], (TPoint{12, 10}));
  // A wide rectangle made square first: the same arrow, moved to the middle.
  auto wide = TcxCustomLookAndFeelPainter::ArrowPoints(Rect(0, 0, 37, 17), padUp, true);
  EXPECT_EQ(wide[0], (TPoint{18, 6}));
  EXPECT_EQ(Standard()->ButtonFocusBounds(nullptr, Rect(0, 0, 6, 6)), Rect(0, 0, 6, 6));
  EXPECT_EQ(Standard()->ButtonFocusBounds(nullptr, Rect(0, 0, 20, 20)), Rect(4, 4, 16, 16));
  EXPECT_EQ(UltraFlat()->ButtonFocusBounds(nullptr, Rect(0, 0, 20, 20)), Rect(3, 3, 17, 17));
  EXPECT_EQ(UltraFlat()->GroupButtonFrameWidths(1, 0), Rect(2, 2, 1, 2));
  EXPECT_EQ(UltraFlat()->GroupButtonFrameWidths(3, 2), Rect(1, 2, 2, 2));
  EXPECT_EQ(StyleToKind(pstNative), lfStandard);
  EXPECT_EQ(StyleToKind(pstOffice11), lfOffice11);
}

TEST_F(Painter, ExpandCrossHalfIsThreeInElevenPixels) {
  TcxCustomLookAndFeelPainter::PaintExpandCross(Cx.get(), Rect(10, 10, 21, 21), clBlack, false);
  const TInk ink = Ink();
  EXPECT_EQ(ink.Box, Rect(12, 12, 19, 19));
  EXPECT_EQ(ink.Count, 13);
  Clear();
  TcxCustomLookAndFeelPainter::PaintExpandCross(Cx.get(), Rect(10, 10, 21, 21), clBlack, true);
  EXPECT_EQ(Ink().Box, Rect(12, 15, 19, 16));
}

TEST_F(Painter, CheckBoxSizeComesFromTheSystemSheet) {
  TBitmap sheet;
  ASSERT_TRUE(LoadSystemBitmap(OBM_CHECKBOXES, &sheet));
  EXPECT_EQ(sheet.Width(), 52);
  EXPECT_EQ(sheet.Height(), 39);
  EXPECT_EQ(Standard()->CheckBoxExtent(), (TSize{13, 13}));
}

// ---------------------------------------------------------------- buttons
TEST_F(Painter, StandardButtonFrameLeavesTheFaceInside) {
  Standard()->PaintButton(Cx.get(), Rect(0, 0, 75, 23), String(), pbsNormal);
  EXPECT_EQ(Px(0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(Px(74, 22), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(Px(73, 21), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(Px(2, 2), Sys(COLOR_BTNFACE));
  EXPECT_EQ(Px(72, 20), Sys(COLOR_BTNFACE));
}

TEST_F(Painter, UltraFlatPressedButton) {
  BigFont();
  UltraFlat()->PaintButton(Cx.get(), Rect(0, 0, 60, 24), "W", pbsPressed);
  EXPECT_EQ(Px(0, 0), Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(Px(59, 23), Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(Px(2, 2), Rgb(PressedBlendColor()));
  // The caption in clHighlightText, placed as for a normal button.
  const TInk pressed = Ink(Rect(1, 1, 59, 23), Rgb(PressedBlendColor()));
  ASSERT_GT(pressed.Count, 0);
  // Smoothed glyph edges blend into the face: the core of the stroke is the text colour.
  EXPECT_EQ(Brightest(Rect(1, 1, 59, 23)), Sys(COLOR_HIGHLIGHTTEXT));
  Clear();
  UltraFlat()->PaintButton(Cx.get(), Rect(0, 0, 60, 24), "W", pbsNormal);
  EXPECT_EQ(Ink(Rect(1, 1, 59, 23), Sys(COLOR_BTNFACE)).Box, pressed.Box);
}

TEST_F(Painter, StandardPressedCaptionMovesByOne) {
  Standard()->PaintButton(Cx.get(), Rect(0, 0, 60, 24), "W", pbsNormal);
  const TInk normal = Ink(Rect(3, 3, 57, 21), Sys(COLOR_BTNFACE));
  Clear();
  Standard()->PaintButton(Cx.get(), Rect(0, 0, 60, 24), "W", pbsPressed);
  const TInk pressed = Ink(Rect(3, 3, 57, 21), Sys(COLOR_BTNFACE));
  ASSERT_GT(normal.Count, 0);
  EXPECT_EQ(pressed.Box.Left, normal.Box.Left + 1);
  EXPECT_EQ(pressed.Box.Top, normal.Box.Top + 1);
}

TEST_F(Painter, UltraFlatDefaultButtonHasTwoWindowFrameRings) {
  UltraFlat()->PaintButton(Cx.get(), Rect(0, 0, 40, 20), String(), pbsDefault);
  EXPECT_EQ(Px(0, 10), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(Px(1, 10), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(Px(2, 10), Sys(COLOR_BTNFACE));
  EXPECT_EQ(Px(38, 18), Sys(COLOR_WINDOWFRAME));
}

TEST_F(Painter, DisabledCaptionIsEmbossed) {
  BigFont();
  UltraFlat()->PaintButton(Cx.get(), Rect(0, 0, 60, 24), "W", pbsDisabled);
  // The highlight copy one pixel right and down, the shadow copy in place.
  // The shadow copy covers most of the highlight copy: its edge shows near white.
  EXPECT_GT(Level(Brightest(Rect(1, 1, 59, 23))), Level(Sys(COLOR_BTNFACE)) + 100);
  EXPECT_EQ(Darkest(Rect(1, 1, 59, 23)), Sys(COLOR_BTNSHADOW));
}

TEST(PainterColours, ButtonGlyphColor) {
  const struct {
    const TcxCustomLookAndFeelPainter* P;
    TcxPainterButtonState State;
    TColor In, Out;
  } cases[] = {
      {Standard(), pbsDisabled, clRed, clBtnShadow}, {Standard(), pbsNormal, clcxDefault, clBtnText},
      {Standard(), pbsHot, clRed, clRed},            {UltraFlat(), pbsPressed, clRed, clHighlightText},
      {UltraFlat(), pbsHot, clRed, clRed},
  };
  for (const auto& c : cases) EXPECT_EQ(c.P->ButtonGlyphColor(c.State, c.In), c.Out) << int(c.State);
}

TEST(PainterColours, DefaultColoursAgainstTheTable) {
  const struct {
    const TcxCustomLookAndFeelPainter* P;
    int Index;
    TColor Want;
  } cases[] = {
      {Flat(), 1, clWindow},           {Flat(), 21, clBtnShadow},       {Flat(), 27, clRed},
      {Flat(), 29, TColor(RGB(255, 255, 213))}, {Standard(), 29, clWindow}, {Standard(), 27, clRed},
      {UltraFlat(), 27, clBtnShadow},  {UltraFlat(), 29, TColor(RGB(255, 255, 213))},
      {UltraFlat(), 48, TColor(RGB(166, 202, 240))}, {UltraFlat(), 51, clBtnShadow},
      {Themed(), 29, TColor(RGB(255, 255, 213))}, {Themed(), 27, clBtnShadow},  // no theme: the shadow
      {Office11(), 24, clWindowText},  {Office11(), 17, clBlue},
  };
  for (const auto& c : cases) EXPECT_EQ(c.P->DefaultColor(c.Index), c.Want) << c.Index;
  AcquireOffice11Scheme();
  EXPECT_EQ(Office11()->DefaultColor(7), Office11()->DefaultColor(14));
  EXPECT_EQ(Office11()->DefaultColor(6), Office11Color02);
  EXPECT_EQ(Office11()->DefaultColor(41), Office11Color34);
  EXPECT_EQ(Office11()->DefaultColor(15), Office11BlendedShadowColor);
  ReleaseOffice11Scheme();
}

// ---------------------------------------------------------------- scroll-bar areas
TEST_F(Painter, ScrollBarAreas) {
  Standard()->PaintScrollBarArea(Cx.get(), false, Rect(0, 0, 17, 17), sbaThumb, pbsDisabled);
  EXPECT_EQ(Ink().Count, 0);
  Standard()->PaintScrollBarArea(Cx.get(), false, Rect(0, 0, 17, 17), sbaStartArrow, pbsNormal);
  const auto normal = Snapshot();
  Clear();
  Standard()->PaintScrollBarArea(Cx.get(), false, Rect(0, 0, 17, 17), sbaStartArrow, pbsHot);
  EXPECT_EQ(Snapshot(), normal);
  Clear();
  UltraFlat()->PaintScrollBarArea(Cx.get(), false, Rect(0, 0, 17, 17), sbaStartArrow, pbsHot);
  EXPECT_EQ(Px(0, 0), Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(Px(2, 15), Rgb(HotTrackBlendColor()));
  Clear();
  // Pages: the checker anchored at the canvas origin, whatever the rectangle.
  UltraFlat()->PaintScrollBarArea(Cx.get(), false, Rect(3, 5, 20, 30), sbaStartPage, pbsNormal);
  EXPECT_EQ(Px(4, 6), Sys(COLOR_BTNFACE));
  EXPECT_EQ(Px(5, 6), Sys(COLOR_BTNHIGHLIGHT));
  UltraFlat()->PaintScrollBarArea(Cx.get(), false, Rect(30, 5, 40, 30), sbaEndPage, pbsPressed);
  EXPECT_EQ(Px(30, 6), 0u);
  EXPECT_EQ(Px(31, 6), Sys(COLOR_3DDKSHADOW));
}

// ---------------------------------------------------------------- Office 2003
TEST_F(Painter, Office11ButtonWithoutATheme) {
  ComputeOffice11Colors();
  Office11()->PaintButton(Cx.get(), Rect(0, 0, 40, 20), String(), pbsHot);
  EXPECT_EQ(Px(5, 5), Rgb(HotTrackBlendColor()));
  EXPECT_EQ(Px(0, 0), Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(Office11()->ButtonGlyphColor(pbsPressed), clHighlightText);
}

TEST_F(Painter, Office11ExpandButtonIsTheBitmapAtTheTopLeft) {
  Office11()->PaintExpandButton(Cx.get(), Rect(10, 10, 40, 40), true, clcxDefault);
  TBitmap* minus = Office11ExpandButtonBitmap(true);
  ASSERT_NE(minus, nullptr);
  EXPECT_EQ(Px(15, 15), Rgb(minus->Canvas()->Pixels(5, 5)));
  EXPECT_EQ(Ink().Box, Rect(10, 10, 21, 21));
}

TEST_F(Painter, HeadersFootersSortMarksAndSplitters) {
  const TcxCustomLookAndFeelPainter* painters[] = {Standard(), Flat(), UltraFlat(), Office11()};
  for (const auto* p : painters) {
    Clear();
    p->PaintHeader(Cx.get(), Rect(0, 0, 50, 20), Rect(0, 0, 50, 20), 0, nAll, pbsNormal, taLeftJustify, vaCenter,
                   false, false, String(), nullptr, clBlack, clWindow, nullptr);
    EXPECT_NE(Px(49, 10), 0xFFFFFFu) << int(p->PainterStyle());  // a right edge
    Clear();
    p->PaintFooterCell(Cx.get(), Rect(0, 0, 50, 20), taLeftJustify, vaCenter, false, String(), nullptr, clBlack,
                       clWindow, nullptr);
    EXPECT_NE(Px(0, 0), 0xFFFFFFu) << int(p->PainterStyle());
    Clear();
    p->PaintSortMark(Cx.get(), Rect(0, 0, 16, 16), true);
    EXPECT_GT(Ink().Count, 0) << int(p->PainterStyle());
    EXPECT_LE(Ink().Box.Bottom - Ink().Box.Top, p->SortMarkSize().cy);
    Clear();
    TcxViewParams params;
    params.Color = clYellow;
    p->PaintSplitter(Cx.get(), Rect(0, 0, 40, 6), params, true);
    EXPECT_EQ(Px(20, 3), Rgb(clYellow)) << int(p->PainterStyle());
  }
  Clear();
  UltraFlat()->PaintSplitter(Cx.get(), Rect(0, 0, 40, 6), TcxViewParams{}, true);
  EXPECT_EQ(Px(20, 0), Sys(COLOR_BTNSHADOW));
  Clear();
  Standard()->PaintSplitter(Cx.get(), Rect(0, 0, 40, 6), TcxViewParams{}, true);
  EXPECT_EQ(Px(20, 5), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(Px(20, 4), Sys(COLOR_BTNSHADOW));
}

TEST_F(Painter, TabFrames) {
  UltraFlat()->PaintTabFrame(Cx.get(), Rect(0, 18, 40, 20), nBottom, nAll, false);
  EXPECT_EQ(Px(5, 19), Sys(COLOR_BTNTEXT));
  Standard()->PaintTabFrame(Cx.get(), Rect(0, 30, 2, 50), nLeft, 0, false);
  EXPECT_EQ(Px(1, 40), Sys(COLOR_BTNHIGHLIGHT));
}

// ---------------------------------------------------------------- the themed painter
class ThemedPainter : public ThemeFixture {
protected:
  void SetUp() override {
    ThemeFixture::SetUp();
    Bmp.SetSize(120, 80);
    Bmp.Canvas()->Brush()->SetColor(clWhite);
    Bmp.Canvas()->FillRect(Rect(0, 0, 120, 80));
    Cx = std::make_unique<TcxCanvas>(Bmp.Canvas());
  }
  COLORREF Px(int x, int y) {
    const Byte* p = Bmp.ScanLine(y) + x * 4;
    return RGB(p[2], p[1], p[0]);
  }
  std::vector<COLORREF> Snapshot() {
    std::vector<COLORREF> all;
    for (int y = 0; y < Bmp.Height(); ++y)
      for (int x = 0; x < Bmp.Width(); ++x) all.push_back(Px(x, y));
    return all;
  }
  TBitmap Bmp;
  std::unique_ptr<TcxCanvas> Cx;
};

TEST_F(ThemedPainter, PressedButtonIsPartOneStateThree) {
  Themed()->PaintButton(Cx.get(), Rect(0, 0, 60, 24), "W", pbsPressed, true, clRed, clRed);
  const COLORREF face = TTestThemeBackend::PaintColor("BUTTON", 1, 3);
  EXPECT_EQ(Px(1, 1), face);
  EXPECT_EQ(Px(58, 22), face);
  int red = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 60; ++x) red += Px(x, y) == RGB(255, 0, 0);
  EXPECT_EQ(red, 0);  // the given colours are not used
  EXPECT_EQ(Themed()->CheckFrameWidth(), 0);
  Theme.Active = false;
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(Themed()->CheckFrameWidth(), 2);
}

TEST_F(ThemedPainter, RefusedScrollBarClassDrawsLikeTheStandardPainter) {
  Theme.RefusedClasses.insert("SCROLLBAR");
  const TcxScrollBarArea areas[] = {sbaStartArrow, sbaEndArrow, sbaThumb, sbaStartPage};
  for (TcxScrollBarArea a : areas) {
    Bmp.Canvas()->FillRect(Rect(0, 0, 120, 80));
    Themed()->PaintScrollBarArea(Cx.get(), true, Rect(2, 2, 19, 19), a, pbsHot);
    const auto themed = Snapshot();
    Bmp.Canvas()->Brush()->SetColor(clWhite);
    Bmp.Canvas()->FillRect(Rect(0, 0, 120, 80));
    Standard()->PaintScrollBarArea(Cx.get(), true, Rect(2, 2, 19, 19), a, pbsHot);
    EXPECT_EQ(Snapshot(), themed) << int(a);
    Bmp.Canvas()->Brush()->SetColor(clWhite);
  }
  Theme.RefusedClasses.clear();
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  Themed()->PaintScrollBarArea(Cx.get(), false, Rect(0, 0, 17, 17), sbaEndArrow, pbsPressed);
  EXPECT_EQ(Px(8, 8), TTestThemeBackend::PaintColor("SCROLLBAR", 1, 4 * padDown + 3));
}

TEST_F(ThemedPainter, VerticalTabIsTurned) {
  Themed()->PaintTab(Cx.get(), Rect(10, 10, 30, 50), nAll, String(), pbsNormal, true, nullptr, clBlack, clWhite,
                     false);
  const COLORREF tab = TTestThemeBackend::PaintColor("TAB", 1, 1);
  EXPECT_EQ(Px(20, 30), tab);
  EXPECT_EQ(Px(9, 30), 0xFFFFFFu);
  EXPECT_EQ(Px(30, 30), 0xFFFFFFu);
}

}  // namespace

namespace {

TEST_F(ThemedPainter, Office11OnTheBlueSchemeTakesTheTableColours) {
  AcquireOffice11Scheme();
  ComputeOffice11Colors();
  ASSERT_EQ(Office11SchemeNumber(), 1);
  Office11()->PaintButton(Cx.get(), Rect(0, 0, 40, 20), String(), pbsHot);
  EXPECT_EQ(Px(5, 5), RGB(255, 244, 204));
  EXPECT_EQ(Px(0, 0), RGB(0, 0, 128));
  EXPECT_EQ(ColorToRGB(Office11()->ButtonGlyphColor(pbsHot)), RGB(0, 0, 0));
  EXPECT_NE(Office11()->ButtonGlyphColor(pbsPressed), clHighlightText);
  TColor from, to;
  TcxOffice11LookAndFeelPainter::ButtonGradient(pbsPressed, from, to);
  EXPECT_EQ(from, Office11Color24);
  EXPECT_EQ(to, Office11Color25);
  TcxOffice11LookAndFeelPainter::ButtonGradient(pbsDisabled, from, to);
  EXPECT_EQ(from, Office11Color00);
  // Scroll bars go to the themed painter while the scroll-bar class opens.
  Office11()->PaintScrollBarArea(Cx.get(), false, Rect(0, 30, 17, 47), sbaThumb, pbsNormal);
  EXPECT_EQ(Px(8, 38), TTestThemeBackend::PaintColor("SCROLLBAR", 9, 0));
  ReleaseOffice11Scheme();
}

TEST_F(ThemedPainter, HeaderIsThemedWithItsTextMovedWhenPressed) {
  Themed()->PaintHeader(Cx.get(), Rect(0, 0, 60, 20), Rect(0, 0, 60, 20), 0, nAll, pbsPressed, taCenter, vaCenter,
                        false, false, String(), nullptr, clBlack, clWhite, nullptr, false);
  EXPECT_EQ(Px(1, 1), TTestThemeBackend::PaintColor("HEADER", 1, 3));
  EXPECT_FALSE(Themed()->HeaderPressedInverts());
  // Without the header class: the standard raised frame.
  Theme.RefusedClasses.insert("HEADER");
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  Themed()->PaintHeader(Cx.get(), Rect(0, 30, 60, 50), Rect(0, 30, 60, 50), 0, nAll, pbsNormal, taCenter, vaCenter,
                        false, false, String(), nullptr, clBlack, clWhite, nullptr, false);
  EXPECT_EQ(Px(0, 30), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(Px(59, 49), GetSysColor(COLOR_BTNSHADOW));
}

}  // namespace

namespace {

TEST_F(Painter, RadioImagesByKindStateAndFlags) {
  // The pattern: the centre is the dot, the corners are outside, the outline meets the edges.
  EXPECT_EQ(RadioPatternCode(6, 6), 6);
  EXPECT_EQ(RadioPatternCode(0, 0), 0);
  EXPECT_EQ(RadioPatternCode(6, 0), 1);
  EXPECT_EQ(RadioPatternCode(6, 12), 2);
  EXPECT_EQ(UltraFlat()->RadioButtonExtent(), (TSize{13, 13}));
  // The default state draws the normal image.
  UltraFlat()->PaintRadioButton(Cx.get(), 0, 0, pbsNormal, true, false, clcxDefault);
  const auto normal = Snapshot();
  Clear();
  UltraFlat()->PaintRadioButton(Cx.get(), 0, 0, pbsDefault, true, false, clcxDefault);
  EXPECT_EQ(Snapshot(), normal);
  EXPECT_EQ(Px(6, 6), Sys(COLOR_WINDOWTEXT));
  EXPECT_EQ(Px(6, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(Px(0, 0), 0xFFFFFFu);  // outside the shape the canvas shows through
  const struct {
    const TcxCustomLookAndFeelPainter* P;
    TcxPainterButtonState State;
    bool Checked, AlwaysHighlight;
    COLORREF Outline, Centre;
  } cases[] = {
      {UltraFlat(), pbsHot, false, false, Sys(COLOR_HIGHLIGHT), Rgb(HotTrackBlendColor())},
      {UltraFlat(), pbsNormal, false, true, Sys(COLOR_HIGHLIGHT), Sys(COLOR_WINDOW)},
      {Standard(), pbsDisabled, true, false, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)},
      {Flat(), pbsPressed, false, false, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNFACE)},
      {Office11(), pbsNormal, false, false, Sys(COLOR_BTNTEXT), Sys(COLOR_WINDOW)},
  };
  for (const auto& c : cases) {
    Clear();
    c.P->PaintRadioButton(Cx.get(), 20, 20, c.State, c.Checked, c.AlwaysHighlight, clYellow);
    EXPECT_EQ(Px(26, 20), c.Outline) << int(c.P->PainterStyle()) << " " << int(c.State);
    EXPECT_EQ(Px(26, 26), c.Centre) << int(c.P->PainterStyle()) << " " << int(c.State);
    EXPECT_EQ(Px(20, 20), Rgb(clYellow));  // the given background behind the corners
  }
}

}  // namespace

namespace {

TEST_F(Painter, IndicatorCellFramesAndCentresItsImage) {
  Flat()->PaintIndicatorCell(Cx.get(), Rect(0, 0, 20, 20), 1, clWindow, nullptr);
  EXPECT_EQ(Px(0, 0), Sys(COLOR_BTNHIGHLIGHT));  // the flat header frame
  EXPECT_EQ(Px(19, 19), Sys(COLOR_BTNSHADOW));
  // The current-row arrow, 12 x 11, centred: its tip row is the middle one.
  EXPECT_EQ(Ink(Rect(1, 1, 19, 19), Sys(COLOR_WINDOW)).Box, Rect(8, 5, 13, 14));
  Clear();
  Flat()->PaintIndicatorCell(Cx.get(), Rect(0, 0, 20, 20), 0, clWindow, nullptr);
  EXPECT_EQ(Ink(Rect(1, 1, 19, 19), Sys(COLOR_WINDOW)).Count, 0);
}

TEST_F(ThemedPainter, IndicatorCellIsTheFlatPaintersEvenUnderATheme) {
  Themed()->PaintIndicatorCell(Cx.get(), Rect(0, 0, 20, 20), 1, clWindow, nullptr);
  EXPECT_EQ(Px(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(Px(19, 19), GetSysColor(COLOR_BTNSHADOW));
}

}  // namespace
