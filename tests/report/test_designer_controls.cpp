// The controls around the design surface: rulers and their ticks, the colour and line-style
// pickers in their drop-down form, the scroll box passing keys to the surface, and the wide
// text memo of in-place editing.
#include "GuiTestUtil.h"
#include "core/Scope.h"
#include "gui/Dialogs.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/designer/frxUnicodeCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace guitest;

namespace {

struct ControlsTest : ::testing::Test {
  std::unique_ptr<TForm> Form;
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(30, 30, 1100, 500);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
};

struct TMarkSummary {
  std::vector<int> Labels;
  int Minor = 0, Middle = 0, Major = 0;
};

TMarkSummary Summarise(const std::vector<TfrxRulerMark>& marks) {
  TMarkSummary s;
  for (const TfrxRulerMark& m : marks) {
    if (m.Number >= 0) s.Labels.push_back(m.Number);
    else if (m.Length == 2) ++s.Minor;
    else if (m.Length == 4) ++s.Middle;
    else if (m.Length == 6) ++s.Major;
  }
  return s;
}

}  // namespace

TEST_F(ControlsTest, RulersSpaceTheirLabelsAndDropTicksTooDenseToRead) {
  auto* ruler = new TfrxRuler(Form.get());
  ruler->SetParent(Form.get());
  ruler->SetBounds(0, 0, 1000, 22);
  ruler->SetAlign(alTop);
  ruler->SetWidth(1000);
  ASSERT_FALSE(ruler->Vertical());
  int extent = ruler->Width();

  // Pixels at zoom 1: a label every 100 pixels, more apart as the labels widen; no minor ticks.
  struct TCase {
    int LabelWidth, Every;
  };
  for (const TCase& c : {TCase{20, 100}, TCase{80, 200}, TCase{160, 400}}) {
    SCOPED_TRACE(c.LabelWidth);
    TMarkSummary s = Summarise(ruler->Marks(c.LabelWidth));
    std::vector<int> expected;
    for (int n = c.Every; n < extent; n += c.Every) expected.push_back(n);
    EXPECT_EQ(s.Labels, expected);
    EXPECT_EQ(s.Minor, 0);
    EXPECT_GT(s.Middle, 0);
  }
  // Centimetres at half zoom: a centimetre is under 21 pixels, so only the major ticks stay.
  ruler->SetUnits(ruCM);
  ruler->SetScale(0.5);
  TMarkSummary cm = Summarise(ruler->Marks(10));
  EXPECT_EQ(cm.Minor, 0);
  EXPECT_EQ(cm.Middle, 0);
  EXPECT_FALSE(cm.Labels.empty());
  // At zoom 1 a centimetre (37.8 pixels) keeps its middle ticks, but not its millimetres.
  ruler->SetScale(1);
  TMarkSummary one = Summarise(ruler->Marks(10));
  EXPECT_GT(one.Middle, 0);
  EXPECT_EQ(one.Minor, 0);
  ruler->SetScale(2);
  EXPECT_GT(Summarise(ruler->Marks(10)).Minor, 0);
  // Nothing before the offset: the page's origin.
  ruler->SetOffset(300);
  for (const TfrxRulerMark& m : ruler->Marks(10)) EXPECT_GE(m.Pos, 300);
}

TEST_F(ControlsTest, TheColourPickerChoosesCellsAndKeepsEightCustomColours) {
  TRestore<std::array<TColor, 40>> keep(TfrxColorSelector::Colors());
  auto* invoker = new TButton(Form.get());
  invoker->SetParent(Form.get());
  invoker->SetBounds(10, 10, 60, 24);
  invoker->SetTag(7);
  int selects = 0;
  TColor chosen = clNone;
  bool hidden = false;
  auto open = [&] {
    Application->ProcessMessages();  // the activation left by the last picker settles first
    auto* s = new TfrxColorSelector(invoker);
    s->OnSelect = TNotifyEvent::Lambda([&, s](TObject*) {
      ++selects;
      chosen = s->SelectedColor();
    });
    s->PopupForm()->OnHide = TNotifyEvent::Lambda([&](TObject*) { hidden = true; });
    Application->ProcessMessages();
    return s;
  };

  TfrxColorSelector* s = open();
  EXPECT_EQ(s->Tag(), 7);
  EXPECT_EQ(s->PopupForm()->Top(), invoker->ClientToScreen({0, 0}).Y + invoker->Height() + 2);
  Click(s, {8 + 18 * 3 + 4, 8 + 18 * 1 + 4});  // row 1, column 3
  EXPECT_EQ(chosen, 0x0000FF);
  EXPECT_EQ(selects, 1);
  EXPECT_TRUE(hidden) << "a choice hides the drop-down";

  {  // "Other..." cancelled: collapsed, no event.
    TDialogScript person;
    person.Cancel();
    s = open();
    Click(s, {70, 105});
    EXPECT_EQ(person.Pending(), 0);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(s->PopupForm()->Height(), 0);
  }
  const auto before = TfrxColorSelector::Colors();
  {  // A colour the table has already: chosen, the custom row unchanged.
    TDialogScript person;
    person.Color(0x00FFFF);
    s = open();
    Click(s, {70, 105});
    EXPECT_EQ(chosen, 0x00FFFF);
    EXPECT_EQ(selects, 2);
    EXPECT_EQ(TfrxColorSelector::Colors(), before);
  }
  // Custom colours fill the free cells in turn; a ninth drops the oldest.
  for (TColor c = 0x010101; c <= 0x090909; c += 0x010101) TfrxColorSelector::AddCustomColor(c);
  const auto& t = TfrxColorSelector::Colors();
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(t[32 + i], TColor(0x020202 + 0x010101 * TColor(i))) << i;
  EXPECT_EQ(std::count(t.begin(), t.end(), TColor(0x010101)), 0);
  EXPECT_EQ(std::vector<TColor>(t.begin(), t.begin() + 32), std::vector<TColor>(before.begin(), before.begin() + 32));
}

TEST_F(ControlsTest, TheLineStylePickerMapsRowsAndTheSpaceBelowToTheDoubleLine) {
  auto* invoker = new TButton(Form.get());
  invoker->SetParent(Form.get());
  invoker->SetBounds(10, 10, 60, 24);
  struct TCase {
    int Y, Style;
  };
  for (const TCase& c : {TCase{2, 0}, TCase{12, 0}, TCase{28, 1}, TCase{60, 3}, TCase{92, 5}, TCase{104, 5}}) {
    Application->ProcessMessages();
    auto* s = new TfrxLineSelector(invoker);
    Application->ProcessMessages();
    int picked = -1;
    s->OnSelect = TNotifyEvent::Lambda([&](TObject*) { picked = s->SelectedStyle(); });
    Click(s, {40, c.Y});
    EXPECT_EQ(picked, c.Style) << c.Y;
  }
}

TEST_F(ControlsTest, TheScrollBoxPassesKeysToTheControlsInsideIt) {
  auto* box = new TfrxScrollBox(Form.get());
  box->SetParent(Form.get());
  box->SetBounds(0, 0, 300, 200);
  auto* inner = new TUnicodeMemo(Form.get());
  inner->SetParent(box);
  inner->SetBounds(0, 0, 100, 60);
  std::vector<Cardinal> seen;
  inner->WindowProc = [&, old = inner->WindowProc](TMessage& M) {
    if (M.Msg == WM_KEYDOWN || M.Msg == WM_KEYUP) seen.push_back(M.Msg);
    old(M);
  };
  EXPECT_EQ(box->Perform(WM_GETDLGCODE) & (DLGC_WANTARROWS | DLGC_WANTTAB), DLGC_WANTARROWS | DLGC_WANTTAB);
  box->SetFocus();
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(seen, (std::vector<Cardinal>{WM_KEYDOWN, WM_KEYUP}));
}

TEST_F(ControlsTest, TheWideMemoKeepsEveryCharacterAndReportsOnlyRealChanges) {
  auto* memo = new TUnicodeMemo(Form.get());
  memo->SetParent(Form.get());
  memo->SetBounds(10, 10, 200, 80);
  int changes = 0;
  memo->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  memo->SetWideText(u"中文 𝄞 text");
  EXPECT_EQ(memo->WideText(), u"中文 𝄞 text");
  EXPECT_EQ(changes, 1);
  memo->SetWideText(u"中文 𝄞 text");
  EXPECT_EQ(changes, 1) << "the same text again is no change";
  memo->SetFocus();
  memo->SelectAll();
  TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("界"));
  EXPECT_EQ(memo->WideText(), u"界");
  EXPECT_EQ(changes, 2);
}
