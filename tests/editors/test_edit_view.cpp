// What an editor computes and draws: button layout and widths, clipping of a narrow editor,
// the buttons-only stretch, hiding buttons by transparency, repainting only what changed,
// the five border styles, a pressed button face, the brush cache and the geometry helpers
// of the drawing.
#include "BaseControlFixture.h"
#include "EditFixture.h"
#include "GuiTestUtil.h"

#include "editors/cxCanvas.h"
#include "gui/Colors.h"
#include "gui/GdiDC.h"
#include "gui/SysColors.h"
#include "gui/SystemBroadcast.h"
#include "gui/WinUser.h"

#include <gtest/gtest.h>

using namespace edittest;
using namespace guitest;
using basetest::Rgb;

namespace {

unsigned RgbOf(TColor C) {
  const COLORREF c = ColorToRGB(C);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

struct EditorView : TEditForm {
  void TearDown() override {
    SetScrollBarMetrics(0);
    TEditForm::TearDown();
  }
  void SetScrollBarMetrics(int Size) {
    SetScrollBarMetricsForTest(Size);
    SendSystemBroadcast(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  }
  void Refresh() {
    Ed->UpdateViewAtCursor(true);
    Ed->Repaint();
    Application->ProcessMessages();
  }
  int Width(int I) { return Ed->ViewInfo()->Buttons[I]->Bounds.Width(); }
  void PlainBorder(TcxEditBorderStyle S) {
    Ed->Style()->SetTransparentBorder(false);
    Ed->Style()->SetBorderColor(clRed);
    Ed->Style()->SetEditBorderStyle(S);
    Ed->Style()->SetHotTrack(false);
  }
};

}  // namespace

TEST_F(EditorView, DefaultButtonWidthFollowsTheScrollBarHeight) {
  for (int metric : {17, 21}) {
    SCOPED_TRACE(metric);
    SetScrollBarMetrics(metric);
    Refresh();
    ASSERT_EQ(Ed->ViewInfo()->ButtonCount(), 2);
    EXPECT_EQ(Width(0), metric);
    EXPECT_EQ(Width(1), metric);
    // The last button of the collection is the outermost one; the text area ends at the first.
    const TRect& inside = Ed->ViewInfo()->InsideBorderRect;
    EXPECT_EQ(Ed->ViewInfo()->Buttons[1]->Bounds.Right, inside.Right);
    EXPECT_EQ(Ed->ViewInfo()->Buttons[0]->Bounds.Right, inside.Right - metric);
    EXPECT_EQ(Ed->ViewInfo()->ContentRect.Right, inside.Right - 2 * metric);
  }
  Ed->Properties()->Buttons()->Items(0)->SetWidth(30);
  Refresh();
  EXPECT_EQ(Width(0), 30) << "a requested width wins";
}

TEST_F(EditorView, ANarrowEditorShowsItsButtonsClipped) {
  SetScrollBarMetrics(17);
  PlainBorder(ebsSingle);
  Ed->SetBounds(10, 10, 26, 21);
  Refresh();
  TcxCustomEditViewInfo* v = Ed->ViewInfo();
  ASSERT_EQ(v->ButtonCount(), 2);
  ASSERT_EQ(v->InsideBorderRect, Rect(1, 1, 25, 20));
  EXPECT_EQ(v->Buttons[1]->VisibleBounds.Width(), 17);
  EXPECT_EQ(v->Buttons[0]->Bounds.Width(), 17);
  EXPECT_EQ(v->Buttons[0]->VisibleBounds, Rect(1, 1, 8, 20)) << "the inner button shows only what fits";
  // The part of the inner button beyond the inside is not drawn: the border stays red.
  EXPECT_EQ(Rgb(Pixel(Ed, 0, 10)), 0xFF0000u);
  EXPECT_NE(Rgb(Pixel(Ed, 1, 10)), 0xFF0000u);
}

TEST_F(EditorView, ButtonsOnlyWithoutStretchableButtonsShareTheRestInProportion) {
  SetScrollBarMetrics(17);
  PlainBorder(ebsSingle);
  TcxEditButtons* b = Ed->Properties()->Buttons();
  b->Items(0)->SetWidth(10);
  b->Items(1)->SetWidth(20);
  b->Items(0)->SetStretchable(false);
  b->Items(1)->SetStretchable(false);
  Ed->Properties()->SetButtonLayout(eblButtonsOnly);
  Ed->SetBounds(10, 10, 63, 21);  // 61 inside: 31 left over after 10 + 20
  Refresh();
  TcxCustomEditViewInfo* v = Ed->ViewInfo();
  ASSERT_EQ(v->InsideBorderRect.Width(), 61);
  // 20 * 31 / 30 = 20 to the second; the first takes the remainder, 11.
  EXPECT_EQ(Width(0), 21);
  EXPECT_EQ(Width(1), 40);
  EXPECT_EQ(v->Buttons[0]->Bounds.Left, v->InsideBorderRect.Left);
  EXPECT_EQ(v->Buttons[0]->Bounds.Right, v->Buttons[1]->Bounds.Left);
  EXPECT_EQ(v->Buttons[0]->VisibleBounds, v->Buttons[0]->Bounds);
  // A stretchable button takes all that is left.
  b->Items(1)->SetStretchable(true);
  Refresh();
  EXPECT_EQ(Width(0), 10);
  EXPECT_EQ(Width(1), 51);
}

TEST_F(EditorView, TransparencyHidesButtons) {
  Ed->Style()->SetButtonTransparency(ebtHideInactive);
  Refresh();
  EXPECT_EQ(Ed->ViewInfo()->ButtonCount(), 0);
  Ed->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(Ed->ViewInfo()->ButtonCount(), 2);
  Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(Ed->ViewInfo()->ButtonCount(), 0) << "gone as soon as the focus leaves";

  Ed->Style()->SetButtonTransparency(ebtHideUnselected);
  Move(Ed, {5, 5});
  Application->ProcessMessages();
  EXPECT_EQ(Ed->ViewInfo()->ButtonCount(), 2) << "kept while the mouse is over the editor";
  Move(Other, {5, 5});
  EXPECT_TRUE(WaitFor([&] { return Ed->ViewInfo()->ButtonCount() == 0; }));
}

TEST_F(EditorView, OnlyWhatChangedIsRepainted) {
  Move(Ed, {5, 5});
  Application->ProcessMessages();
  Ed->Paints = 0;
  Move(Ed, {6, 6});
  Application->ProcessMessages();
  EXPECT_EQ(Ed->Paints, 0) << "a move that changes nothing repaints nothing";

  Move(Ed, ButtonCentre(0));
  Application->ProcessMessages();
  EXPECT_EQ(Ed->ViewInfo()->Buttons[0]->State, ebsHot);
  EXPECT_EQ(Ed->Paints, 1);
  EXPECT_EQ(Ed->LastPaintBox, Ed->ViewInfo()->Buttons[0]->Bounds) << "only the button that turned hot";
}

TEST_F(EditorView, TheFiveBorderStylesDrawTheirFrames) {
  struct Case {
    TcxEditBorderStyle style;
    TColor outer, second;  // the left column and the one inside it
    TColor right;          // the rightmost column
  };
  const Case cases[] = {
      {ebsNone, clWindow, clWindow, clWindow},
      {ebsSingle, clRed, clWindow, clRed},
      {ebsThick, clRed, clRed, clRed},
      {ebsFlat, clBtnShadow, clBtnFace, clBtnHighlight},
      {ebs3D, clBtnShadow, cl3DDkShadow, clBtnHighlight},
  };
  Ed->Properties()->Buttons()->Clear();
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.style));
    PlainBorder(c.style);
    Refresh();
    EXPECT_EQ(Rgb(Pixel(Ed, 0, 10)), RgbOf(c.outer));
    EXPECT_EQ(Rgb(Pixel(Ed, 1, 10)), RgbOf(c.second));
    EXPECT_EQ(Rgb(Pixel(Ed, Ed->Width() - 1, 10)), RgbOf(c.right));
    EXPECT_EQ(Rgb(Pixel(Ed, Ed->Width() / 2, 10)), RgbOf(clWindow)) << "the inside is filled";
  }
  // 3-D: the inner ring is cl3DLight at the right.
  EXPECT_EQ(Rgb(Pixel(Ed, Ed->Width() - 2, 10)), RgbOf(cl3DLight));
}

TEST_F(EditorView, APressedEllipsisMovesItsDotsByAPixel) {
  Ed->Style()->SetButtonStyle(bts3D);
  Refresh();
  const TRect b = Ed->ViewInfo()->Buttons[0]->Bounds;
  // The first dot: the top-left pixel in the button text colour inside the frame.
  auto firstDot = [&]() {
    QImage img = Grab();
    for (int y = b.Top + 2; y < b.Bottom - 2; ++y)
      for (int x = b.Left + 2; x < b.Right - 2; ++x) {
        TPoint p = Ed->ClientToParent({x, y}, Form);
        if (Rgb(QColor(img.pixel(p.X, p.Y))) == RgbOf(clBtnText)) return TPoint{x, y};
      }
    return TPoint{-1, -1};
  };
  const TPoint normal = firstDot();
  ASSERT_NE(normal.X, -1);
  Press(Ed, ButtonCentre(0));
  Application->ProcessMessages();
  ASSERT_EQ(Ed->ViewInfo()->Buttons[0]->State, ebsPressed);
  Ed->Repaint();
  const TPoint pressed = firstDot();
  Release(Ed, {5, 5});
  EXPECT_EQ(pressed.X, normal.X + 1);
  EXPECT_EQ(pressed.Y, normal.Y + 1);
}

TEST(EditDrawing, PlaceCentred) {
  struct Case {
    TRect r;
    int w, h;
    bool pressed;
    TPoint at;
  };
  const Case cases[] = {
      {Rect(0, 0, 10, 10), 4, 4, false, {3, 3}},
      {Rect(0, 0, 10, 10), 4, 4, true, {4, 4}},
      {Rect(0, 0, 11, 5), 3, 5, true, {5, 0}},   // no room below: only across
      {Rect(0, 0, 4, 4), 4, 4, true, {0, 0}},    // no room at all
      {Rect(2, 2, 5, 5), 6, 6, false, {1, 1}},   // larger than the rectangle: truncated towards 0
      {Rect(0, 0, 3, 3), 6, 6, false, {-1, -1}},
  };
  for (const Case& c : cases) {
    const TPoint p = PlaceCentred(c.r, c.w, c.h, c.pressed);
    EXPECT_EQ(p.X, c.at.X);
    EXPECT_EQ(p.Y, c.at.Y);
  }
}

TEST(EditDrawing, ButtonWidthOfATextButton) {
  SetScrollBarMetricsForTest(17);
  TcxEditButtonViewInfo k;
  k.Kind = bkText;
  struct Case {
    int width;
    int expected;
  };
  for (const Case& c : {Case{0, 17}, Case{2, 4}, Case{9, 9}}) {
    k.Width = c.width;
    EXPECT_EQ(EditButtonWidth(ScreenCanvas(), &k), c.expected) << c.width;
  }
  SetScrollBarMetricsForTest(0);
}

TEST(EditDrawing, BrushCacheKeepsSystemColoursOutAndCountsHits) {
  SystemColorBrush(0);  // the system brushes are in place
  TcxSolidBrushCache cache(4);
  EXPECT_EQ(cache.BrushFor(clBtnFace), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(cache.CachedCount(), 0);
  HBRUSH first = cache.BrushFor(TColor(RGB(1, 2, 3)));
  EXPECT_EQ(cache.BrushFor(TColor(RGB(1, 2, 3))), first);
  EXPECT_EQ(cache.CachedCount(), 1);
  EXPECT_EQ(cache.HitCount(0), 1u);
}

TEST(EditDrawing, AFullBrushCacheEvictsTheLeastHitAndStaysSorted) {
  SystemColorBrush(0);
  TcxSolidBrushCache cache(4);
  const TColor high = TColor(0x9ABCDEF0);  // above every RGB as an unsigned value
  for (TColor c : {TColor(0x30), TColor(0x10), high, TColor(0x20)}) cache.BrushFor(c);
  cache.BrushFor(TColor(0x10));
  cache.BrushFor(TColor(0x20));
  cache.BrushFor(high);
  // 0x30 is the only one never hit again.
  cache.BrushFor(TColor(0x25));
  ASSERT_EQ(cache.CachedCount(), 4);
  const TColor expected[] = {TColor(0x10), TColor(0x20), TColor(0x25), high};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(cache.CachedColor(i), expected[i]) << i;
  // Among equals the lowest index goes: 0x25 (0 hits) is now the least hit.
  cache.BrushFor(TColor(0x05));
  EXPECT_EQ(cache.CachedColor(0), TColor(0x05));
  EXPECT_EQ(cache.CachedColor(3), high);
  for (int i = 0; i < 4; ++i) EXPECT_NE(cache.CachedColor(i), TColor(0x25));
}

TEST(EditDrawing, ASystemColourChangeEmptiesTheBrushCache) {
  SystemColorBrush(0);
  TcxSolidBrushCache cache(8);
  cache.BrushFor(TColor(RGB(9, 9, 9)));
  ASSERT_EQ(cache.CachedCount(), 1);
  const int face = COLOR_BTNFACE;
  const COLORREF old = GetSysColor(COLOR_BTNFACE);
  const COLORREF green = RGB(0, 128, 0);
  SetSysColors(1, &face, &green);
  EXPECT_EQ(cache.CachedCount(), 0);
  SetSysColors(1, &face, &old);
  cache.BrushFor(TColor(RGB(9, 9, 9)));
  EXPECT_EQ(cache.CachedCount(), 1);
  EXPECT_EQ(cache.HitCount(0), 0u) << "a fresh entry";
}
