// Services the auxiliary edit controls ask of the layer: the control under a screen point,
// a control's content alignment, a masked edit reporting refused text its own way, and the
// platform version some controls look at.
#include "StdTestUtil.h"

#include "gui/Buttons.h"
#include "gui/MaskEdit.h"
#include "gui/OSVersion.h"
#include "gui/ExtCtrls.h"

#include <algorithm>

namespace {

using stdtest::FormFixture;

TEST_F(FormFixture, FindDragTargetGivesTheControlUnderAScreenPoint) {
  auto* edit = Add<TEdit>(Rect(10, 10, 130, 31));
  auto* button = Add<TSpeedButton>(Rect(150, 10, 175, 35));
  Application->ProcessMessages();
  const struct {
    TControl* At;
    TPoint Client;
    bool AllowDisabled;
    TControl* Want;
  } cases[] = {
      {edit, {5, 5}, false, edit},
      {button, {5, 5}, false, button},
      {Form, {300, 200}, false, Form},
  };
  for (const auto& c : cases) EXPECT_EQ(FindDragTarget(c.At->ClientToScreen(c.Client), c.AllowDisabled), c.Want);
  // A disabled windowless control is found only when asked for; else its parent answers.
  button->SetEnabled(false);
  TPoint p = button->ClientToScreen({5, 5});
  EXPECT_EQ(FindDragTarget(p, false), Form);
  EXPECT_EQ(FindDragTarget(p, true), button);
  EXPECT_EQ(FindDragTarget({-5000, -5000}, true), nullptr);
}

TEST(ControlsAlignment, ControlsAreLeftAlignedUnlessTheySayOtherwise) {
  TEdit e(nullptr);
  EXPECT_EQ(static_cast<TControl&>(e).GetControlsAlignment(), taLeftJustify);
}

// Reports refused text as a message of its own, without the beep.
class TQuietMaskEdit : public TMaskEdit {
public:
  using TMaskEdit::TMaskEdit;
  int Reports = 0;

protected:
  void ValidateError() override {
    ++Reports;
    throw EDBEditError("编码不完整");
  }
};

TEST_F(FormFixture, ValidateEditReportsThroughTheVirtualValidateError) {
  auto* e = Add<TQuietMaskEdit>(Rect(10, 10, 130, 31));
  e->SetEditMask("000;1;_");
  e->SetText("12");
  e->SetModified(true);
  stdtest::TBeepCounter beeps;
  try {
    e->ValidateEdit();
    ADD_FAILURE() << "refused text passed";
  } catch (const EDBEditError& x) {
    EXPECT_EQ(String(x.Message()), "编码不完整");
  }
  EXPECT_EQ(e->Reports, 1);
  EXPECT_EQ(beeps.Count, 0);
  e->SetText("123");
  e->SetModified(true);
  e->ValidateEdit();
  EXPECT_EQ(e->Reports, 1);
  // The platform's own report beeps and raises its message.
  auto* plain = Add<TMaskEdit>(Rect(10, 40, 130, 61));
  plain->SetEditMask("000;1;_");
  plain->SetText("1");
  plain->SetModified(true);
  EXPECT_THROW(plain->ValidateEdit(), EDBEditError);
  EXPECT_EQ(beeps.Count, 1);
}

TEST(PlatformVersion, ReadsFiveOneAndTestsMaySetIt) {
  EXPECT_EQ(PlatformVersion().Major, 5);
  EXPECT_EQ(PlatformVersion().Minor, 1);
  EXPECT_TRUE(PlatformVersion().Is(5, 1));
  SetPlatformVersion(4, 0);
  EXPECT_TRUE(PlatformVersion().Is(4, 0));
  EXPECT_FALSE(PlatformVersion().Is(5, 1));
  SetPlatformVersion(5, 1);
}

// Scaling a panel: its size, its children's bounds and the fonts of its own (not those taken
// from the parent) follow M/D; the panel keeps its place.
TEST_F(FormFixture, ScaleByScalesSizesChildrenAndOwnFonts) {
  auto* panel = Add<TPanel>(Rect(20, 20, 220, 120));
  auto* own = new TEdit(Form);
  own->SetAutoSize(false);  // the heights scale, not follow the fonts
  own->SetParent(panel);
  own->SetBounds(10, 10, 100, 21);
  own->Font()->SetSize(10);
  auto* inherited = new TEdit(Form);
  inherited->SetAutoSize(false);
  inherited->SetParent(panel);
  inherited->SetBounds(10, 40, 100, 21);
  const int parentSize = inherited->Font()->Size();
  panel->ScaleBy(3, 2);
  EXPECT_EQ(panel->BoundsRect(), Rect(20, 20, 320, 170));
  EXPECT_EQ(own->BoundsRect(), Rect(15, 15, 165, 47));
  EXPECT_EQ(inherited->BoundsRect(), Rect(15, 60, 165, 92));
  EXPECT_EQ(own->Font()->Size(), 15);
  EXPECT_FALSE(own->ParentFont());
  EXPECT_EQ(inherited->Font()->Size(), parentSize) << "a parent's font is the parent's to scale";
  panel->ScaleBy(2, 2);
  EXPECT_EQ(panel->BoundsRect(), Rect(20, 20, 320, 170)) << "M = D changes nothing";
}

// A control may stand for its children in the tab order: Tab then passes over them.
TEST_F(FormFixture, AControlsOwnTabOrderListDecidesWhatTabReaches) {
  struct TClosedPanel : TPanel {
    using TPanel::TPanel;
    void GetTabOrderList(std::vector<TWinControl*>&) override {}  // none of the children
  };
  auto* first = Add<TEdit>(Rect(10, 10, 110, 31));
  auto* panel = new TClosedPanel(Form);
  panel->SetParent(Form);
  panel->SetBounds(10, 40, 200, 40);
  auto* inside = new TEdit(Form);
  inside->SetParent(panel);
  inside->SetBounds(5, 5, 100, 21);
  auto* last = Add<TEdit>(Rect(10, 90, 110, 111));
  std::vector<TWinControl*> order;
  Form->GetTabOrderList(order);
  EXPECT_EQ(std::count(order.begin(), order.end(), inside), 0);
  first->SetFocus();
  guitest::TypeKey(Qt::Key_Tab);
  EXPECT_TRUE(last->Focused()) << "the panel itself takes no focus, its child is not listed";
}

}  // namespace
