// The windows' members generated from their layouts: bound to the components the layouts
// made (nested ones too) before OnCreate runs, emptied when a component is freed, and a
// component of another class refused by name.
#include "AppWindows.h"

#include "gui/StdCtrls.h"

namespace {

using FormBindingTest = AppWindowsTest;

TEST_F(FormBindingTest, MembersAreTheLayoutsComponentsAtEveryDepth) {
  struct TCase {
    TComponent* Root;
    const char* Name;
    TComponent* Member;
  } cases[] = {
      {Frm_Main, "ImageList1", Frm_Main->ImageList1},  // on the form
      {Frm_Main, "ToolBar1", Frm_Main->ToolBar1},      // in the cool bar
      {Frm_Main, "N34", Frm_Main->N34},                // in a menu
      {Frm_Main, "PactAdd", Frm_Main->PactAdd},        // in the action list
      {Frm_Data, "qryPact", Frm_Data->qryPact},
      {Frm_Data, "frxDesigner1", Frm_Data->frxDesigner1},
      {Frm_Login, "Edit_Pass", Frm_Login->Edit_Pass},
  };
  for (const TCase& c : cases) {
    ASSERT_NE(c.Member, nullptr) << c.Name;
    EXPECT_EQ(c.Member, c.Root->FindComponent(c.Name)) << c.Name;
  }
  // Components no code named before are members as well: a tool button, a label, a field.
  EXPECT_EQ(Frm_Main->ToolButton8->Caption(), "事务提醒");
  EXPECT_EQ(Frm_Login->Label3->Caption(), "请选择操作员姓名并输入相应密码");
  EXPECT_EQ(Frm_Main->ToolButton8->Owner(), Frm_Main);
}

TEST_F(FormBindingTest, AFreedComponentLeavesNoDanglingMember) {
  ASSERT_NE(Frm_Login->Btn_Exit, nullptr);
  delete Frm_Login->Btn_Exit;
  EXPECT_EQ(Frm_Login->Btn_Exit, nullptr);
  EXPECT_NE(Frm_Login->Btn_ok, nullptr);
  EXPECT_EQ(Frm_Login->FindComponent("Btn_Exit"), nullptr);
}

TEST_F(FormBindingTest, AComponentOfAnotherClassIsRefusedByName) {
  TComponent root(nullptr);
  auto* button = new TButton(&root);
  static_cast<TComponent*>(button)->SetName("Edit_Pass");
  TEdit* edit = nullptr;
  try {
    BindLayoutComponent(&root, "Edit_Pass", edit);
    ADD_FAILURE() << "bound a button as an edit";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "Component Edit_Pass of TComponent is a TButton, not a TEdit");
  }
  EXPECT_EQ(edit, nullptr);
  TButton* bound = nullptr;
  BindLayoutComponent(&root, "edit_pass", bound);  // found as the window finds it: any case
  EXPECT_EQ(bound, button);
}

}  // namespace
