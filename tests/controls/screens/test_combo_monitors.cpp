// The combo edit's drop-down on the second of two monitors: it opens in that monitor's work
// area, below the edit or above it, and never crosses to the primary monitor's size.
#include "ComboTestUtil.h"
#include "StdTestUtil.h"

using namespace combotest;

namespace {
struct SecondMonitorFixture : ::testing::Test {
  TForm* Form = nullptr;
  TTestCombo* Combo = nullptr;
  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->Show();
    Combo = new TTestCombo(Form);
    Combo->SetParent(Form);
    Combo->SetBounds(10, 10, 120, 21);
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  TPoint OpenAt(TPoint FormAt) {
    Form->SetBounds(FormAt.X, FormAt.Y, 300, 100);
    Application->ProcessMessages();
    Combo->SetFocus();
    TEditButton* b = Combo->Button();
    guitest::Click(b, {b->Width() / 2, b->Height() / 2});
    EXPECT_TRUE(Combo->PopupVisible());
    TPoint p = Combo->Drop->ClientToScreen({-1, -1});
    stdtest::Key(Qt::Key_Escape);
    return p;
  }
};
}  // namespace

TEST_F(SecondMonitorFixture, TheDropDownStaysOnTheEditsMonitor) {
  // The edit at (x + 10, y + 10), 120 x 21; the drop-down is 200 x 150.
  EXPECT_EQ(OpenAt({1200, 500}), (TPoint{1130, 531})) << "below: the second monitor is 768 high";
  EXPECT_EQ(OpenAt({1200, 700}), (TPoint{1130, 560})) << "above at the second monitor's bottom";
  EXPECT_EQ(OpenAt({1720, 100}), (TPoint{1624, 131})) << "kept inside the second monitor's right edge";
  EXPECT_EQ(OpenAt({802, 100}), (TPoint{812, 131})) << "never onto the primary monitor";
}
