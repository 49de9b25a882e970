// The combo edit: where its drop-down opens, how it closes and takes its value, what its
// read-only states allow, and the button's glyph kinds.
#include "ComboTestUtil.h"
#include "ControlsTestUtil.h"

#include "gui/Screen.h"

using namespace combotest;
using namespace ctltest;
using namespace guitest;
using stdtest::Key;

namespace {

struct ComboFixture : stdtest::FormFixture {
  TTestCombo* Combo = nullptr;
  int ButtonClicks = 0, Changes = 0;
  void SetUp() override {
    FormFixture::SetUp();
    Combo = Add<TTestCombo>(Bounds(10, 10, 120, 21));
    Combo->OnButtonClick = TNotifyEvent::Lambda([this](TObject*) { ++ButtonClicks; });
    Combo->OnChange = TNotifyEvent::Lambda([this](TObject*) { ++Changes; });
    Combo->SetFocus();
    Application->ProcessMessages();
  }
  void PressButton() {
    TEditButton* b = Combo->Button();
    Click(b, {b->Width() / 2, b->Height() / 2});
  }
  TRect Work() { return Screen->PrimaryMonitor()->WorkareaRect(); }
};

}  // namespace

TEST_F(ComboFixture, TheDropDownStaysInsideTheWorkArea) {
  const TRect w = Work();
  // Where the edit's top-left lies on the screen, its alignment, and where the drop-down
  // (200 x 150 under a 120 x 21 edit) must open.
  struct {
    TPoint Edit;
    TPopupAlign Align;
    TPoint Expect;
  } cases[] = {
      {{w.Left + 300, w.Top + 100}, epaRight, {w.Left + 220, w.Top + 121}},  // below, right edges lined up
      {{w.Left + 300, w.Top + 100}, epaLeft, {w.Left + 300, w.Top + 121}},
      {{w.Left + 300, w.Bottom - 30}, epaRight, {w.Left + 220, w.Bottom - 180}},  // above at the bottom
      {{w.Right - 130, w.Top + 100}, epaLeft, {w.Right - 210, w.Top + 121}},  // moved left: right edges lined up
      {{w.Right - 60, w.Top + 100}, epaRight, {w.Right - 200, w.Top + 121}},  // kept inside the right edge
      {{w.Left + 10, w.Top + 100}, epaRight, {w.Left + 10, w.Top + 121}},  // never past the left edge
  };
  for (auto& c : cases) {
    Form->SetBounds(c.Edit.X - 10, c.Edit.Y - 10, 360, 240);
    Application->ProcessMessages();
    Combo->SetPopupAlign(c.Align);
    PressButton();
    ASSERT_TRUE(Combo->PopupVisible());
    TPoint at = Combo->Drop->ClientToScreen({0, 0});
    at.X -= 1;  // the drop-down's one-pixel border
    at.Y -= 1;
    EXPECT_EQ(at.X, c.Expect.X) << c.Edit.X << "," << c.Edit.Y;
    EXPECT_EQ(at.Y, c.Expect.Y) << c.Edit.X << "," << c.Edit.Y;
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Combo->PopupVisible());
  }
}

TEST_F(ComboFixture, ClosingAcceptsOrNotByTheWayItCloses) {
  Combo->SetText("old");
  Changes = 0;
  PressButton();
  ASSERT_TRUE(Combo->PopupVisible());
  EXPECT_EQ(Combo->Drop->Loaded, "old") << "the drop-down gets the text";
  EXPECT_TRUE(Combo->Focused()) << "the edit keeps the focus";
  Key(Qt::Key_Escape);
  EXPECT_EQ(Combo->Text(), "old");
  EXPECT_EQ(Changes, 0);

  Key(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Combo->PopupVisible()) << "Alt+Down opens";
  Key(Qt::Key_Return);
  EXPECT_FALSE(Combo->PopupVisible());
  EXPECT_EQ(Combo->Text(), "picked");
  EXPECT_TRUE(Combo->Modified());
  EXPECT_EQ(Changes, 1);

  Combo->SetText("");
  PressButton();
  EXPECT_EQ(Combo->Drop->Loaded, "<null>") << "an empty text is no value";
  Combo->Drop->Value = "again";
  const int clicksBefore = ButtonClicks;
  PressButton();
  EXPECT_FALSE(Combo->PopupVisible()) << "a press while open accepts and does not reopen";
  EXPECT_EQ(Combo->Text(), "again");
  EXPECT_EQ(ButtonClicks, clicksBefore) << "the closing press is no button action";

  PressButton();
  ASSERT_TRUE(Combo->PopupVisible());
  Combo->Drop->Value = "lost";
  auto* other = Add<TEdit>(Bounds(10, 60, 100, 21));
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(Combo->PopupVisible()) << "losing the focus closes";
  EXPECT_EQ(Combo->Text(), "again");

  Combo->SetFocus();
  PressButton();
  Click(Combo, {5, 5});
  EXPECT_FALSE(Combo->PopupVisible()) << "a click in the edit closes";
  EXPECT_EQ(Combo->Text(), "again");
}

TEST_F(ComboFixture, ReadOnlyAndDirectInput) {
  Combo->SetReadOnly(true);
  PressButton();
  Key(Qt::Key_Down, Qt::AltModifier);
  EXPECT_FALSE(Combo->PopupVisible());
  EXPECT_EQ(ButtonClicks, 0) << "read-only: the button does nothing, not even its event";
  Combo->SetReadOnly(false);

  Combo->SetText("abc");
  Combo->SetDirectInput(false);
  Combo->SelectAll();
  stdtest::Type("xyz");
  EXPECT_EQ(Combo->Text(), "abc") << "no typing";
  stdtest::SetClipboard("pasted");
  Combo->PasteFromClipboard();
  EXPECT_EQ(Combo->Text(), "abc") << "no paste";
  Combo->SelectAll();
  Combo->CutToClipboard();
  EXPECT_EQ(Combo->Text(), "abc") << "no cut";
  PressButton();
  EXPECT_TRUE(Combo->PopupVisible()) << "the button still opens";
  EXPECT_EQ(ButtonClicks, 1);
  Key(Qt::Key_Return);
  EXPECT_EQ(Combo->Text(), "picked") << "and its value is taken";
  Combo->SetDirectInput(true);
  Combo->SelectAll();
  stdtest::Type("xyz");
  EXPECT_EQ(Combo->Text(), "xyz");
}

TEST_F(ComboFixture, GlyphKindsAndButtonWidths) {
  Combo->SetGlyphKind(gkEllipsis);
  ASSERT_EQ(Combo->ButtonWidth(), 21);
  TBitmap* g = Combo->Glyph();
  ASSERT_EQ(g->Width(), 15);
  ASSERT_EQ(g->Height(), 4);
  std::string row1, row0;
  for (int x = 0; x < 15; ++x) {
    row0 += ColorToRGB(g->Canvas()->Pixels(x, 0)) == 0 ? 'k' : '.';
    row1 += ColorToRGB(g->Canvas()->Pixels(x, 1)) == 0 ? 'k' : '.';
  }
  EXPECT_EQ(row1, ".kk...kk...kk..") << "dots at 1, 6 and 11";
  EXPECT_EQ(row0, "...............");
  EXPECT_FALSE(Combo->StoreButtonWidth());
  Combo->SetGlyphKind(gkDropDown);
  EXPECT_EQ(Combo->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(Combo->NumGlyphs(), 1);
  Combo->SetButtonWidth(300);
  EXPECT_EQ(Combo->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL)) << "not below the client width: unchanged";
  Combo->SetButtonWidth(1);
  EXPECT_FALSE(Combo->ButtonHost()->Visible()) << "a width of 1 hides the button";
  Combo->SetButtonWidth(30);
  EXPECT_TRUE(Combo->ButtonHost()->Visible());
  EXPECT_EQ(Combo->ButtonHost()->Left(), Combo->Width() - 30 - 4);
  Combo->SetHeight(5);
  EXPECT_EQ(Combo->Height(), Combo->MinEditHeight()) << "the edit keeps its least height";
}
