// The control button: press and release, repeated clicks, the glyph rule and its images, and
// the flat look under the mouse.
#include "ControlsTestUtil.h"

using namespace ctltest;

namespace {

struct ButtonFixture : stdtest::FormFixture {
  TRzControlButton* B = nullptr;
  int Clicks = 0;
  void SetUp() override {
    FormFixture::SetUp();
    B = Add<TRzControlButton>(Rect(20, 20, 37, 41));
    B->OnClick = TNotifyEvent::Lambda([this](TObject*) { ++Clicks; });
    Settle();
  }
  void Settle() {
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
  }
  unsigned At(int X, int Y) {
    Settle();
    QImage img = Grab();
    return HexOf(QColor(img.pixel(B->Left() + X, B->Top() + Y)));
  }
  void Down(int X, int Y) { B->Parent()->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(B->Left() + X, B->Top() + Y)); }
  void Up(int X, int Y) { B->Parent()->Perform(WM_LBUTTONUP, 0, MakeLParam(B->Left() + X, B->Top() + Y)); }
  // A glyph of two 10 x 10 images on lime: a red square in the first, a blue one in the second.
  void TwoImageGlyph() {
    TBitmap g;
    g.SetSize(20, 10);
    g.Canvas()->Brush()->SetColor(clLime);
    g.Canvas()->FillRect(Rect(0, 0, 20, 10));
    g.Canvas()->Brush()->SetColor(clRed);
    g.Canvas()->FillRect(Rect(2, 2, 8, 8));
    g.Canvas()->Brush()->SetColor(clBlue);
    g.Canvas()->FillRect(Rect(12, 2, 18, 8));
    B->SetGlyph(&g);
  }
};

TEST_F(ButtonFixture, APressReleasedOutsideDoesNotClickAndComesBackUp) {
  EXPECT_EQ(HexText(At(0, 0)), "FFFFFF") << "raised button edge";
  Down(5, 5);
  EXPECT_TRUE(B->Down());
  EXPECT_TRUE(B->Dragging());
  EXPECT_EQ(HexText(At(0, 0)), "808080") << "pressed: one shadow ring";
  Up(40, 5);
  EXPECT_EQ(Clicks, 0);
  EXPECT_FALSE(B->Down());
  EXPECT_FALSE(B->Dragging());
  EXPECT_EQ(HexText(At(0, 0)), "FFFFFF");
  Down(5, 5);
  Up(16, 20);
  EXPECT_EQ(Clicks, 1) << "the last pixel of the button still counts";
  // A disabled button neither presses nor clicks.
  B->SetEnabled(false);
  Down(5, 5);
  Up(5, 5);
  EXPECT_FALSE(B->Down());
  EXPECT_EQ(Clicks, 1);
}

TEST_F(ButtonFixture, RepeatsAfterTheInitialDelayThenEveryDelay) {
  B->SetRepeatClicks(true);
  Down(5, 5);
  ASSERT_NE(B->RepeatTimer(), nullptr);
  TTimer* t = B->RepeatTimer();
  EXPECT_TRUE(t->Enabled());
  EXPECT_EQ(t->Interval(), 400u);
  t->OnTimer()(t);
  EXPECT_EQ(t->Interval(), 100u);
  EXPECT_EQ(Clicks, 1);
  t->OnTimer()(t);
  EXPECT_EQ(Clicks, 2);
  Up(5, 5);
  EXPECT_EQ(Clicks, 3) << "the release clicks as well";
  EXPECT_FALSE(t->Enabled());
  t->OnTimer()(t);
  EXPECT_EQ(Clicks, 3) << "not down: no repeat";
  // A click that fails stops the repeat.
  B->OnClick = TNotifyEvent::Lambda([](TObject*) { throw Exception("stop"); });
  Down(5, 5);
  EXPECT_THROW(t->OnTimer()(t), Exception);
  EXPECT_FALSE(t->Enabled());
  B->OnClick = TNotifyEvent();
  Up(5, 5);
}

TEST_F(ButtonFixture, TheGlyphShapeSetsNumGlyphs) {
  const struct {
    int W, H, Start, After;
  } cases[] = {{64, 16, 1, 4}, {80, 16, 1, 1}, {20, 16, 3, 3}, {32, 16, 1, 2}, {0, 16, 3, 3}};
  for (const auto& c : cases) {
    B->SetNumGlyphs(c.Start);
    TBitmap g;
    g.SetSize(c.W, c.H);
    B->SetGlyph(&g);
    EXPECT_EQ(B->NumGlyphs(), c.After) << c.W << "x" << c.H;
  }
  // A glyph without width is empty: no size, nothing drawn, no division.
  EXPECT_EQ(B->GlyphSize(), (TPoint{0, 0}));
  B->Repaint();
  EXPECT_EQ(HexText(At(8, 10)), "D4D0C8");
}

TEST_F(ButtonFixture, DisabledShowsTheSecondImage) {
  B->SetBounds(20, 20, 30, 21);
  TwoImageGlyph();
  ASSERT_EQ(B->NumGlyphs(), 2);
  EXPECT_EQ(B->GlyphSize(), (TPoint{10, 10}));
  EXPECT_EQ(HexText(At(15, 10)), "FF0000");
  EXPECT_EQ(HexText(At(11, 6)), "D4D0C8") << "lime, the lower-left colour, is left out";
  B->SetEnabled(false);
  EXPECT_EQ(HexText(At(15, 10)), "0000FF");
  // One image: the whole bitmap, also when disabled.
  B->SetNumGlyphs(1);
  EXPECT_EQ(HexText(At(10, 10)), "FF0000");
  EXPECT_EQ(HexText(At(20, 10)), "0000FF");
  // Pressed, the glyph moves one pixel right and down.
  B->SetEnabled(true);
  B->SetNumGlyphs(2);
  Down(5, 5);
  EXPECT_EQ(HexText(At(11, 6)), "D4D0C8");
  EXPECT_EQ(HexText(At(16, 11)), "FF0000");
  EXPECT_EQ(HexText(At(12, 7)), "D4D0C8");
  Up(5, 5);
}

TEST_F(ButtonFixture, StylesDrawArrows) {
  const struct {
    TRzControlButtonStyle Style;
    int X, Y;
  } inside[] = {{TRzControlButtonStyle::cbsUp, 8, 10}, {TRzControlButtonStyle::cbsDown, 8, 11}, {TRzControlButtonStyle::cbsLeft, 8, 10}, {TRzControlButtonStyle::cbsRight, 7, 10}, {TRzControlButtonStyle::cbsDropDown, 8, 10}};
  for (const auto& t : inside) {
    B->SetStyle(t.Style);
    EXPECT_EQ(HexText(At(t.X, t.Y)), "000000") << EnumName(t.Style);
  }
  B->SetEnabled(false);
  EXPECT_EQ(HexText(At(8, 10)), "808080");
}

TEST_F(ButtonFixture, AFlatButtonLightsUnderTheMouseAndChecksAgainAfterARelease) {
  B->SetFlat(true);
  EXPECT_EQ(HexText(At(0, 0)), "D4D0C8") << "flat and unlit: only its colour";
  guitest::Move(B, {5, 5});
  Settle();
  EXPECT_TRUE(B->MouseOver());
  EXPECT_EQ(HexText(At(0, 0)), "FFFFFF") << "lit: popup ring";
  EXPECT_EQ(HexText(At(16, 20)), "808080");
  // Released over the button: it is still under the mouse.
  guitest::Press(B, {5, 5});
  EXPECT_EQ(HexText(At(0, 0)), "808080") << "down: status ring";
  guitest::Release(B, {5, 5});
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(B->MouseOver());
  // Released away from it: no click, and it goes dark.
  guitest::Press(B, {5, 5});
  guitest::Release(B, {60, 60});
  EXPECT_EQ(Clicks, 1);
  EXPECT_FALSE(B->MouseOver());
  EXPECT_EQ(HexText(At(0, 0)), "D4D0C8");
}

}  // namespace
