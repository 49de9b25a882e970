// Services the auxiliary edit controls ask of the layer: the control under a screen point,
// a control's content alignment, a masked edit reporting refused text its own way, and the
// platform version some controls look at.
#include "StdTestUtil.h"

#include "gui/Buttons.h"
#include "gui/MaskEdit.h"
#include "gui/OSVersion.h"

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

}  // namespace
