// Users and rights driven by a person's clicks and keys offscreen: the rights a login gives
// the main window's actions (and the list windows' buttons bound to them), and the rights
// window that keeps tUser: adding, deleting, renaming users in the grid, ticking and saving
// rights, with its refusals.
#include "AppInput.h"
#include "AppWindows.h"

#include "app/ufrmUserQX.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/ToolBar.h"

#include <set>

using namespace appinput;

namespace {

// The 33 rights in box order with their group and caption, as the window must show them.
struct TExpectedRight {
  const char *Group, *Name, *Caption;
};
const TExpectedRight kRights[] = {
    {"合同管理", "Pact_Add", "新增合同"},     {"合同管理", "Pact_Edit", "编辑合同"},
    {"合同管理", "Pact_Del", "删除合同"},     {"合同管理", "Pact_Print", "打印合同"},
    {"合同管理", "Pact_M", "合同管理"},       {"合同管理", "Pact_Doc", "合同文件操作"},
    {"合同管理", "Pact_FP", "合同发票管理"},  {"合同管理", "Pact_ZJ", "合同资金操作"},
    {"合同管理", "Pact_JH", "合同计划管理"},  {"项目管理", "Prj_Add", "新增项目"},
    {"项目管理", "Prj_Edit", "编辑项目"},     {"项目管理", "Prj_Del", "删除项目"},
    {"项目管理", "Prj_Print", "打印项目"},    {"项目管理", "Prj_M", "项目管理"},
    {"项目管理", "Prj_Doc", "项目文件查看"},  {"客户管理", "Cust_Add", "新增客户"},
    {"客户管理", "Cust_Edit", "编辑客户"},    {"客户管理", "Cust_Del", "删除客户"},
    {"客户管理", "Cust_Print", "打印客户"},   {"客户管理", "Cust_M", "客户管理"},
    {"客户管理", "Cust_Exp", "客户导出"},     {"员工管理", "Emp_Add", "新增员工"},
    {"员工管理", "Emp_Edit", "编辑员工"},     {"员工管理", "Emp_Del", "删除员工"},
    {"员工管理", "Emp_Print", "打印员工"},    {"员工管理", "Emp_M", "员工管理"},
    {"其它管理", "MoneyIn", "收款收款"},      {"其它管理", "MoneyOut", "付款查询"},
    {"其它管理", "UserQX", "用户权限"},       {"其它管理", "BackUp", "数据备份"},
    {"其它管理", "Resume", "数据恢复"},       {"其它管理", "Set_Option", "选项设置"},
    {"其它管理", "PactChart", "图标统计"},
};

String AllRights() {
  String list;
  for (const TExpectedRight& r : kRights) list += String(r.Name) + ",";
  return list;
}

class RightsTest : public AppWindowsTest {
protected:
  // A login in the given login window by keys: the name typed into the user box, the
  // password into its edit, then a click on "确定(&Y)". The window's modal result.
  int LoginByKeys(TFrm_Login* login, const String& user, const String& password) {
    TModalSteps person({[&](TCustomForm*) {
      ClickOn(login->Combo_User);
      TypeOver(user);
      ClickOn(login->Edit_Pass);
      TypeOver(password);
      ClickOn(login->Btn_ok);
    }});
    int result = login->ShowModal();
    EXPECT_FALSE(person.Overran()) << user;
    return result;
  }
  // The governed actions enabled now, by name.
  std::set<String> EnabledGoverned() {
    std::set<String> names;
    for (const TFrm_Main::TRightAction& r : TFrm_Main::RightActions)
      if ((Frm_Main->*r.Action)->Enabled()) names.insert((Frm_Main->*r.Action)->Name());
    return names;
  }
  std::set<String> AllGoverned() {
    std::set<String> names;
    for (const TFrm_Main::TRightAction& r : TFrm_Main::RightActions) names.insert((Frm_Main->*r.Action)->Name());
    return names;
  }
};

TEST_F(RightsTest, ALoginEnablesExactlyTheActionsWhoseRightTheUserHolds) {
  AddUser("clerk", "pw", "Pact_Add,Pact_Edit,");
  AddUser("nobody", "", "");
  // A list window's tool button bound to an action follows it, as the project list's do.
  TForm* list = new TForm(Application);
  TToolBar* bar = new TToolBar(list);
  bar->SetParent(list);
  TToolButton* addProject = new TToolButton(list);
  addProject->SetParent(bar);
  addProject->SetAction(Frm_Main->PrjAdd);

  ASSERT_EQ(LoginByKeys(Frm_Login, "clerk", "pw"), mrOk);
  EXPECT_EQ(Frm_Main->CurrentUser, "clerk");
  EXPECT_EQ(EnabledGoverned(), (std::set<String>{"PactAdd", "PactEdit"}));
  for (TAction* exportAction : {Frm_Main->PactExp, Frm_Main->PrjExp, Frm_Main->EmpExp, Frm_Main->Logout})
    EXPECT_TRUE(exportAction->Enabled()) << exportAction->Name() << " is governed by no right";
  EXPECT_FALSE(addProject->Enabled());

  struct TCase {
    const char *User, *Password;
    std::set<String> Enabled;
  } cases[] = {{"nobody", "", {}}, {"Admin", "", AllGoverned()}, {"clerk", "pw", {"PactAdd", "PactEdit"}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.User);
    // "重新登录": a login window of its own.
    TModalSteps person({[&](TCustomForm* f) {
      auto* login = dynamic_cast<TFrm_Login*>(f);
      ASSERT_NE(login, nullptr);
      ClickOn(login->Combo_User);
      TypeOver(c.User);
      ClickOn(login->Edit_Pass);
      TypeOver(c.Password);
      ClickOn(login->Btn_ok);
    }});
    Frm_Main->Logout->Execute();
    EXPECT_FALSE(person.Overran());
    EXPECT_EQ(Frm_Main->CurrentUser, c.User);
    EXPECT_EQ(EnabledGoverned(), c.Enabled);
    EXPECT_EQ(addProject->Enabled(), c.Enabled.count("PrjAdd") == 1);
  }
  delete list;
}

// ---------------------------------------------------------------- the rights window

class UserWindowTest : public RightsTest {
protected:
  void SetUp() override {
    RightsTest::SetUp();
    ASSERT_EQ(LoginByKeys(Frm_Login, "Admin", ""), mrOk);
    Frm_Main->Show();
    Application->ProcessMessages();
    AddUser("clerk", "pw", "Pact_Add,Pact_Edit,");
  }
  void TearDown() override {
    delete W;
    RightsTest::TearDown();
  }
  void Open() {
    W = CreateForm<TfrmUserQX>(nullptr);
    W->Show();
    Application->ProcessMessages();
  }
  TCheckBox* Box(const String& right) { return dynamic_cast<TCheckBox*>(W->FindComponent(right)); }
  String Ticked() { return W->TickedRights(); }
  TADOQuery* Users() { return Frm_Data->qryUserQX; }
  String Rights(const String& user) {
    return Scalar("select qxlist from tUser where UserName=" + SqlStr(user));
  }
  String Count(const String& where) { return Scalar("select count(*) from tUser where " + where); }
  // The row of the grid showing the stored user (0-based among the visible records): the
  // window's statement read again on its own, so the window's query is not moved.
  int RowOf(const String& user) {
    TADOQuery* q = Frm_Data->Qry_Str;
    Frm_Data->OpenQuery(q, "select * from tUser");
    for (q->First(); !q->Eof(); q->Next())
      if (q->FieldByName("UserName")->AsString() == user) return q->RecNo() - 1;
    return -1;
  }
  // Moves to the user's row by a click on its name.
  void ClickUser(const String& user) {
    int row = RowOf(user);
    ASSERT_GE(row, 0) << user;
    ClickCell(W->dgUserQX, 0, row);
  }
  std::vector<String> Boxes() {
    std::vector<String> texts;
    for (const TShownMessage& m : Folder.Messages) texts.push_back(m.Text);
    Folder.Messages.clear();
    return texts;
  }
  TfrmUserQX* W = nullptr;
};

TEST_F(UserWindowTest, TheWindowShowsItsButtonsTheThirtyThreeRightsInFiveGroupsAndTheUsers) {
  Open();
  EXPECT_EQ(W->Caption(), "用户权限维护");
  EXPECT_EQ(W->Width(), 669);
  EXPECT_EQ(W->Height(), 523);
  EXPECT_EQ(W->btnPost->Caption(), "保存(&S)");
  EXPECT_EQ(W->btnClose->Caption(), "关闭(&C)");
  EXPECT_EQ(W->btnAdd->Caption(), "增加操作员");
  EXPECT_EQ(W->btnDel->Caption(), "删除选中记录");
  EXPECT_EQ(W->TabSheet1->Caption(), "用户权限设置");
  EXPECT_FALSE(W->edtUserID->Visible());
  EXPECT_EQ(W->N1->Caption(), "保存列属性");
  int i = 0;
  for (int c = 0; c < W->ComponentCount(); ++c) {
    auto* box = dynamic_cast<TCheckBox*>(W->Components(c));
    if (!box) continue;
    ASSERT_LT(i, 33);
    EXPECT_EQ(box->Name(), kRights[i].Name);
    EXPECT_EQ(box->Caption(), kRights[i].Caption);
    auto* group = dynamic_cast<TGroupBox*>(box->Parent());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Caption(), kRights[i].Group);
    ++i;
  }
  EXPECT_EQ(i, 33);
  // The grid's columns from the list 'UserQX': names and passwords.
  ASSERT_EQ(W->dgUserQX->Columns()->Count(), 2);
  EXPECT_EQ(W->dgUserQX->Columns()->Items(0)->FieldName(), "UserName");
  EXPECT_EQ(W->dgUserQX->Columns()->Items(1)->FieldName(), "password");
  // Shown on the first user, whose rights are all ticked.
  EXPECT_EQ(Users()->RecNo(), 1);
  EXPECT_EQ(Ticked(), AllRights());
  ClickUser("clerk");
  EXPECT_EQ(Ticked(), "Pact_Add,Pact_Edit,");
}

TEST_F(UserWindowTest, ANewUserSavedAtOnceHoldsAllRightsInBoxOrderAsAdminDoes) {
  Open();
  ClickUser("clerk");
  ClickOn(W->btnAdd);
  EXPECT_EQ(Users()->State(), dsInsert);
  EXPECT_EQ(Ticked(), AllRights());
  ClickOn(W->btnPost);
  EXPECT_EQ(Users()->State(), dsBrowse);
  EXPECT_EQ(Count("UserName is null or UserName=''"), "1") << "an empty name is allowed";
  String stored = Scalar("select qxlist from tUser where UserName is null or UserName=''");
  EXPECT_EQ(stored, AllRights());
  EXPECT_EQ(stored, Rights("Admin")) << "as the delivered Admin holds them";
  // A second nameless user is no duplicate.
  ClickOn(W->btnAdd);
  ClickOn(W->btnPost);
  EXPECT_EQ(Count("UserName is null or UserName=''"), "2");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(UserWindowTest, TicksAreDroppedWhenMovingToAnotherRowUnsaved) {
  Open();
  ClickUser("clerk");
  ClickOn(Box("Pact_Del"));
  ClickOn(Box("Pact_Add"));
  EXPECT_EQ(Ticked(), "Pact_Edit,Pact_Del,");
  ClickUser("Admin");
  EXPECT_EQ(Ticked(), AllRights());
  ClickUser("clerk");
  EXPECT_EQ(Ticked(), "Pact_Add,Pact_Edit,");
  EXPECT_EQ(Rights("clerk"), "Pact_Add,Pact_Edit,");
  // Saved, they stay.
  ClickOn(Box("Emp_M"));
  ClickOn(W->btnPost);
  EXPECT_EQ(Rights("clerk"), "Pact_Add,Pact_Edit,Emp_M,");
  ClickUser("Admin");
  ClickUser("clerk");
  EXPECT_EQ(Ticked(), "Pact_Add,Pact_Edit,Emp_M,");
}

TEST_F(UserWindowTest, ANameAnotherUserHasIsRefusedWhateverItsCaseAndBlanks) {
  Open();
  // A new user named in the grid, then "保存(&S)".
  int rows = Users()->RecordCount();
  ClickOn(W->btnAdd);
  ClickCell(W->dgUserQX, 0, rows);
  Type("admin");
  ClickOn(W->btnPost);
  std::vector<String> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "用户名称重复，请您重新录入！");
  EXPECT_EQ(Count("1=1"), "2");
  EXPECT_EQ(Users()->State(), dsInsert) << "the row stays to be corrected";
  Users()->Cancel();

  // The grid's own post, on leaving a renamed row.
  ClickUser("clerk");
  Type(" ADMIN ");
  Key(Qt::Key_Return);
  ClickUser("Admin");
  boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "用户名称重复，请您重新录入！");
  EXPECT_EQ(Count("UserName='clerk'"), "1");
  EXPECT_EQ(Count("1=1"), "2");
}

TEST_F(UserWindowTest, ANameWithAQuoteIsStoredAndFoundByTheRightsOfALogin) {
  Open();
  int rows = Users()->RecordCount();
  ClickOn(W->btnAdd);
  ClickCell(W->dgUserQX, 0, rows);
  Type("O'Neil");
  Key(Qt::Key_Return);
  ClickOn(Box("Pact_Del"));
  ClickOn(Box("UserQX"));
  ClickOn(W->btnPost);
  EXPECT_TRUE(Boxes().empty());
  String expected = RemoveFirstOccurrence(RemoveFirstOccurrence(AllRights(), "Pact_Del,"), "UserQX,");
  EXPECT_EQ(Rights("O'Neil"), expected);
  delete W;
  W = nullptr;

  TModalSteps person({[&](TCustomForm* f) {
    auto* login = dynamic_cast<TFrm_Login*>(f);
    ASSERT_NE(login, nullptr);
    ClickOn(login->Combo_User);
    TypeOver("O'Neil");
    ClickOn(login->Btn_ok);
  }});
  Frm_Main->Logout->Execute();
  EXPECT_FALSE(person.Overran());
  EXPECT_EQ(Frm_Main->CurrentUser, "O'Neil");
  std::set<String> enabled = EnabledGoverned();
  EXPECT_EQ(enabled.size(), 26u);
  EXPECT_EQ(enabled.count("PactDel"), 0u);
  EXPECT_EQ(enabled.count("UserQX1"), 0u);
  EXPECT_EQ(enabled.count("PactAdd"), 1u);
}

TEST_F(UserWindowTest, TheLastHolderOfTheUserRightCanNeitherLoseItNorBeDeleted) {
  Open();
  // Admin is its only holder.
  ClickUser("Admin");
  ClickOn(Box("UserQX"));
  ClickOn(W->btnPost);
  std::vector<String> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "至少保留一个拥有用户权限的操作员！");
  EXPECT_EQ(Rights("Admin"), AllRights());
  Users()->Cancel();

  ClickUser("Admin");
  ClickOn(W->btnDel);
  boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "至少保留一个拥有用户权限的操作员！");
  EXPECT_EQ(Count("UserName='Admin'"), "1");

  // Another user may go at once, without a question.
  ClickUser("clerk");
  ClickOn(W->btnDel);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Count("UserName='clerk'"), "0");

  // With a second holder, Admin may lose the right.
  AddUser("boss", "", "UserQX,");
  Users()->Requery();
  ClickUser("Admin");
  ClickOn(Box("UserQX"));
  ClickOn(W->btnPost);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Rights("Admin"), RemoveFirstOccurrence(AllRights(), "UserQX,"));
}

TEST_F(UserWindowTest, APasswordShowsAsStarsInTheGridAndIsStoredAsTyped) {
  Open();
  ClickCell(W->dgUserQX, 1, RowOf("clerk"));
  TColumnEh* password = W->dgUserQX->Columns()->Items(1);
  EXPECT_EQ(password->CellText(), "******");
  Type("s3cret");
  EXPECT_EQ(W->dgUserQX->InplaceEditorText(), "s3cret") << "the editor shows what is typed";
  EXPECT_EQ(W->dgUserQX->LeftCol(), 1) << "both columns fit: the names stay in view";
  Key(Qt::Key_Return);
  ClickUser("Admin");
  EXPECT_EQ(Scalar("select password from tUser where UserName='clerk'"), "s3cret");
  EXPECT_EQ(password->CellText(), "") << "Admin's password is empty";
  ClickUser("clerk");
  EXPECT_EQ(password->CellText(), "******");
  for (const TShownMessage& m : Folder.Messages) EXPECT_EQ(Pos("s3cret", m.Text), 0);
}

TEST_F(UserWindowTest, SavingTheColumnsWritesTheirWidthsSilently) {
  Open();
  W->dgUserQX->Columns()->Items(0)->SetWidth(150);
  W->N1->Click();  // "保存列属性"
  EXPECT_EQ(Scalar("select Width from T_FieldShow where TableName='UserQX' and Field='UserName'"), "150");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(UserWindowTest, TheMainWindowsActionShowsTheWindowModallyWithoutOwner) {
  TModalSteps person({[&](TCustomForm* f) {
    auto* w = dynamic_cast<TfrmUserQX*>(f);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Owner(), nullptr);
    EXPECT_EQ(w->Caption(), "用户权限维护");
    ClickOn(w->btnClose);
  }});
  Frm_Main->UserQX1->Execute();
  EXPECT_FALSE(person.Overran());
  EXPECT_EQ(person.Met(), (std::vector<String>{"TfrmUserQX"}));
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_EQ(dynamic_cast<TfrmUserQX*>(Screen->Forms(i)), nullptr);
  // The window's checks went with it.
  EXPECT_FALSE(static_cast<bool>(Users()->BeforePost()));
  Users()->First();
  Users()->Edit();
  Users()->FieldByName("qxlist")->SetAsString("");
  Users()->Post();
  EXPECT_EQ(Rights("Admin"), "");
}

TEST_F(UserWindowTest, ScreenshotOfTheWindow) {
  Open();
  ClickUser("clerk");
  ForceDirectories("screenshots");
  EXPECT_TRUE(GrabToPng(W, "screenshots/user_rights_window.png"));
  EXPECT_GT(FileSize("screenshots/user_rights_window.png"), 1000);
}

}  // namespace
