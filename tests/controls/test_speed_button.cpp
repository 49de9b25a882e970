// The speed button: glyph strips and the shared glyph cache, its states painted off-screen,
// radio groups, where a release clicks, and the flat look under the mouse.
#include "ControlsTestUtil.h"

#include "controls/RXCtrls.h"
#include "controls/VCLUtils.h"

#include "MenuTestUtil.h"

using namespace ctltest;
using namespace guitest;

namespace {

constexpr TColor kFuchsia = TColor(0xFF00FF);

// N images of Size x Size side by side, image i filled with Colors[i]; the lower-left pixel is
// fuchsia, the transparent colour.
std::unique_ptr<TBitmap> Strip(int N, int Size, std::initializer_list<TColor> Colors) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(N * Size, Size);
  auto it = Colors.begin();
  for (int i = 0; i < N; ++i) {
    b->Canvas()->Brush()->SetColor(it != Colors.end() ? *it++ : clBlack);
    b->Canvas()->FillRect(Rect(i * Size, 0, (i + 1) * Size, Size));
  }
  b->Canvas()->SetPixels(0, Size - 1, kFuchsia);
  return b;
}

struct SpeedButtonFixture : stdtest::FormFixture {
  int Clicks = 0;
  TRxSpeedButton* Button(TRect Bounds, TBitmap* Glyph = nullptr) {
    auto* b = Add<TRxSpeedButton>(Bounds);
    if (Glyph) b->SetGlyph(Glyph);
    b->OnClick = TNotifyEvent::Lambda([this](TObject*) { ++Clicks; });
    return b;
  }
  unsigned Centre(TControl* c) {
    Application->ProcessMessages();
    return HexOf(Pixel(c, c->Width() / 2, c->Height() / 2));
  }
};

}  // namespace

TEST_F(SpeedButtonFixture, GlyphStripsGiveTheImageCountAndTheDisabledLook) {
  auto five = Strip(5, 16, {clRed, clLime, clBlue, clYellow, clAqua});
  auto* b5 = Button(Bounds(10, 10, 40, 40), five.get());
  EXPECT_EQ(b5->NumGlyphs(), 5);
  auto wide = Strip(6, 16, {clRed, clRed, clRed, clRed, clRed, clRed});
  auto* b1 = Button(Bounds(60, 10, 40, 40), wide.get());
  EXPECT_EQ(b1->NumGlyphs(), 1) << "more than five images is one picture";
  EXPECT_EQ(Centre(b5), 0xFF0000u);
  // The images by state: up, disabled, down, stay-down, inactive.
  Move(b5, {5, 5});
  Press(b5, {5, 5});
  EXPECT_EQ(Centre(b5), 0x0000FFu) << "held down: the third image";
  Release(b5, {5, 5});
  b5->SetGroupIndex(7);
  b5->SetDown(true);
  EXPECT_EQ(Centre(b5), 0xFFFF00u) << "staying down: the fourth image";
  b5->SetAllowAllUp(true);
  b5->SetDown(false);
  b5->SetFlat(true);
  Move(Form, {300, 200});
  EXPECT_EQ(Centre(b5), 0x00FFFFu) << "flat without the mouse: the fifth image, not grayed";
  b5->SetFlat(false);
  b5->SetEnabled(false);
  EXPECT_EQ(Centre(b5), 0x00FF00u) << "the second image is the disabled one";

  // One image: the disabled look is made, its black outline embossed in shadow over highlight.
  auto outlined = std::make_unique<TBitmap>();
  outlined->SetSize(16, 16);
  outlined->Canvas()->Brush()->SetColor(kFuchsia);
  outlined->Canvas()->FillRect(Rect(0, 0, 16, 16));
  outlined->Canvas()->Brush()->SetColor(clBlack);
  outlined->Canvas()->FillRect(Rect(4, 4, 12, 12));
  auto* b = Button(Bounds(110, 10, 40, 40), outlined.get());
  b->SetEnabled(false);
  Application->ProcessMessages();
  const int gx = b->Width() / 2 - 8, gy = b->Height() / 2 - 8;  // the glyph's corner, as laid out
  EXPECT_EQ(HexOf(Pixel(b, gx + 6, gy + 6)), HexOf(clBtnShadow));
  EXPECT_EQ(HexOf(Pixel(b, gx + 12, gy + 12)), HexOf(clBtnHighlight)) << "the highlight one pixel down and right";
  EXPECT_EQ(HexOf(Pixel(b, gx + 2, gy + 2)), HexOf(clBtnFace));
}

TEST_F(SpeedButtonFixture, EqualGlyphSizesShareOneListFreedWithTheLastButton) {
  auto red = Strip(1, 16, {clRed});
  auto blue = Strip(1, 16, {clBlue});
  auto big = Strip(1, 24, {clLime});
  auto* a = Button(Bounds(10, 10, 30, 30), red.get());
  auto* b = Button(Bounds(50, 10, 30, 30), blue.get());
  auto* c = Button(Bounds(90, 10, 30, 30), big.get());
  Application->ProcessMessages();
  Form->Repaint();
  ASSERT_NE(GlyphCache(), nullptr);
  ASSERT_NE(a->ButtonGlyph()->GlyphList(), nullptr);
  EXPECT_EQ(a->ButtonGlyph()->GlyphList(), b->ButtonGlyph()->GlyphList());
  EXPECT_NE(a->ButtonGlyph()->GlyphList(), c->ButtonGlyph()->GlyphList());
  EXPECT_EQ(GlyphCache()->ListCount(), 2);
  EXPECT_EQ(a->ButtonGlyph()->GlyphList()->Count(), 2);
  EXPECT_EQ(Centre(a), 0xFF0000u);
  EXPECT_EQ(Centre(b), 0x0000FFu) << "each button draws its own image from the shared list";
  delete c;
  EXPECT_EQ(GlyphCache()->ListCount(), 1) << "a list no glyph uses goes";
  delete a;
  ASSERT_NE(GlyphCache(), nullptr);
  delete b;
  EXPECT_EQ(GlyphCache(), nullptr) << "the last glyph frees the cache";
}

TEST_F(SpeedButtonFixture, GroupsStayDownUnlessAllUpIsAllowed) {
  for (bool allowAllUp : {false, true}) {
    auto* x = Button(Bounds(10, 10, 30, 30));
    auto* y = Button(Bounds(50, 10, 30, 30));
    x->SetGroupIndex(1);
    y->SetGroupIndex(1);
    x->SetAllowAllUp(allowAllUp);
    Click(x, {5, 5});
    EXPECT_TRUE(x->Down());
    EXPECT_EQ(x->State(), rsExclusive);
    Click(y, {5, 5});
    EXPECT_TRUE(y->Down());
    EXPECT_FALSE(x->Down()) << "one button of a group is down";
    EXPECT_EQ(y->AllowAllUp(), allowAllUp) << "the group shares AllowAllUp";
    Click(y, {5, 5});
    EXPECT_EQ(y->Down(), !allowAllUp) << "allow all up: " << allowAllUp;
    delete x;
    delete y;
  }
}

TEST_F(SpeedButtonFixture, OnlyAReleaseInsideClicks) {
  auto* b = Button(Bounds(10, 10, 30, 20));
  struct {
    TPoint Release;
    int Clicks;
  } cases[] = {{{5, 5}, 1}, {{29, 19}, 1}, {{30, 5}, 0}, {{5, 20}, 0}, {{-1, 5}, 0}, {{5, -1}, 0}};
  for (auto& c : cases) {
    Clicks = 0;
    Press(b, {5, 5}, Qt::LeftButton, 1000);
    EXPECT_EQ(b->State(), rsDown);
    Release(b, c.Release);
    EXPECT_EQ(Clicks, c.Clicks) << c.Release.X << "," << c.Release.Y;
    EXPECT_EQ(b->State(), rsUp);
  }
}

TEST_F(SpeedButtonFixture, FlatButtonsAreGrayUntilTheMouseEnters) {
  auto red = Strip(1, 16, {clRed});
  auto* b = Button(Bounds(10, 10, 40, 40), red.get());
  b->SetFlat(true);
  Move(Form, {200, 200});
  EXPECT_FALSE(b->MouseInControl());
  EXPECT_EQ(Centre(b), 0x4C4C4Cu) << "red through the gray mapping: 77 * 255 / 256";
  Move(b, {20, 20});
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_EQ(Centre(b), 0xFF0000u);
  Move(Form, {200, 200});
  EXPECT_EQ(Centre(b), 0x4C4C4Cu);
  b->SetGrayedInactive(false);
  EXPECT_EQ(Centre(b), 0xFF0000u) << "without GrayedInactive the glyph keeps its colours";
}

TEST(SpeedButtonDrawing, GrayMappingAndButtonFrames) {
  EXPECT_EQ(GrayOfColor(RGB(255, 0, 0), RGB(255, 0, 255)), RGB(76, 76, 76));
  EXPECT_EQ(GrayOfColor(RGB(0, 0, 255), RGB(255, 0, 255)), RGB(28, 28, 28));
  EXPECT_EQ(GrayOfColor(RGB(255, 0, 255), RGB(255, 0, 255)), RGB(255, 0, 255)) << "the transparent colour stays";
  EXPECT_EQ(GrayOfColor(ColorToRGB(clBtnFace), 0), ColorToRGB(clBtnFace));
  TSurface s(20, 20);
  TRect inner = PaintButtonFrame(s.Canvas(), Rect(0, 0, 20, 20), false, false, bsNew);
  EXPECT_EQ(inner, Rect(3, 3, 17, 17));
  EXPECT_EQ(s.At(0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(s.At(19, 19), ColorToRGB(clWindowFrame));
  EXPECT_EQ(s.At(18, 18), ColorToRGB(clBtnShadow));
  TSurface d(20, 20);
  inner = PaintButtonFrame(d.Canvas(), Rect(0, 0, 20, 20), true, true, bsNew);
  EXPECT_EQ(inner, Rect(2, 2, 18, 18)) << "a flat down frame has one ring";
  EXPECT_EQ(d.At(0, 0), ColorToRGB(clWindowFrame));
}

TEST_F(SpeedButtonFixture, HeldButtonsRepeatTheirClick) {
  auto* b = Button(Bounds(10, 10, 30, 30));
  b->SetAllowTimer(true);
  b->SetInitPause(40);
  b->SetRepeatInterval(10);
  Press(b, {5, 5});
  ASSERT_NE(b->RepeatTimer(), nullptr);
  EXPECT_TRUE(WaitFor([&] { return Clicks >= 3; }, 3000)) << "clicks while held";
  EXPECT_EQ(b->RepeatTimer()->Interval(), 10u) << "the first pause, then the repeat interval";
  Release(b, {5, 5});
  const int held = Clicks;
  EXPECT_FALSE(b->RepeatTimer()->Enabled());
  Application->ProcessMessages();
  EXPECT_EQ(Clicks, held) << "the release's own click only";
  b->SetAllowTimer(false);
  EXPECT_EQ(b->RepeatTimer(), nullptr);
}

TEST_F(SpeedButtonFixture, AcceleratorsModalResultAndTransparency) {
  auto* b = Button(Bounds(10, 10, 60, 24));
  b->SetCaption("&Save");
  b->SetModalResult(mrOk);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 's', 0), 1);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Form->ModalResult(), mrOk) << "a click gives the form the button's modal result";
  Form->SetModalResult(mrNone);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  b->SetEnabled(false);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 's', 0), 0) << "a disabled button takes no accelerator";

  Form->SetColor(clAqua);
  auto* t = Button(Bounds(100, 10, 40, 40));
  t->SetTransparent(true);
  t->SetFlat(true);
  Move(Form, {300, 200});
  EXPECT_EQ(Centre(t), 0x00FFFFu) << "a transparent flat button shows its parent";
  t->SetTransparent(false);
  EXPECT_EQ(Centre(t), HexOf(clBtnFace));
}

TEST_F(SpeedButtonFixture, TheDropDownMenuOpensBelowAndItsClosingPressIsDropped) {
  auto* menu = new TPopupMenu(Form);
  auto* item = new TMenuItem(menu);
  item->SetCaption("一");
  menu->Items()->Add(item);
  auto* b = Button(Bounds(20, 20, 40, 24));
  b->SetDropDownMenu(menu);
  int shown = 0;
  QPoint at;
  // The user's press that closes the menu lands on the button again: it is queued for the
  // form while the menu is open.
  QTimer watch;
  watch.setInterval(5);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!m) return;
    if (++shown == 1) {
      at = m->pos();
      const TPoint p = b->ClientToParent({5, 5}, Form);
      PostMessage(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(Word(p.X), Word(p.Y)));
    }
    m->close();
  });
  watch.start();
  Press(b, {5, 5});
  Release(b, {5, 5});
  Application->ProcessMessages();
  EXPECT_EQ(shown, 1) << "the queued press does not open the menu again";
  const TPoint expect = b->ClientToScreen({-1, b->Height()});
  EXPECT_EQ(at, QPoint(expect.X, expect.Y)) << "below the button, left-aligned";
  EXPECT_EQ(Clicks, 0) << "a press that showed the menu is no click";
  EXPECT_EQ(b->State(), rsUp);
  EXPECT_FALSE(b->MenuTracking());
  delete menu;
  EXPECT_EQ(b->DropDownMenu(), nullptr) << "a freed menu is let go";
}
