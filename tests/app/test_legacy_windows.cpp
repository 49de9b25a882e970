// The older projects', internal units' and customers' windows driven offscreen, opened as
// their openers open them: created, given their mode, shown modally, freed.
#include "AppInput.h"
#include "LegacyFixture.h"
#include "StdTestUtil.h"

#include "app/legacy/LegacyPickers.h"
#include "app/legacy/U_Addemployee.h"
#include "app/legacy/U_S_Project.h"
#include "app/legacy/U_SelectCust.h"
#include "app/legacy/U_SelectProject.h"
#include "app/legacy/U_employee.h"
#include "grid/DBGridEh.h"
#include "gui/Buttons.h"
#include "gui/ComCtrls.h"
#include "gui/DBCtrls.h"
#include "gui/Edit.h"
#include "gui/Memo.h"
#include "gui/Shell.h"
#include "gui/TreeView.h"

#include <memory>

using namespace appinput;

namespace {

class LegacyWindowTest : public LegacyTest {
protected:
  // Shows Window modally with a person playing Steps; true when the window closed by itself
  // before the steps ran out.
  template <class T> bool ShowWith(T* Window, std::vector<TModalSteps::TStep> Steps) {
    TModalSteps person(std::move(Steps));
    Window->ShowModal();
    return !person.Overran();
  }
  // A dialog of the test's own that opened a picker in one mode: its edit takes the choice.
  struct TOpener {
    TOpener(TLegacyPicker Picker, int Mode) : FPicker(Picker), FMode(Mode) {
      Form.reset(new TForm(Application));
      Edit = new TEdit(Form.get());
      RegisterLegacyPickTarget(Picker, Mode, [this]() -> TCustomEdit* { return Edit; });
    }
    ~TOpener() { UnregisterLegacyPickTarget(FPicker, FMode); }
    std::unique_ptr<TForm> Form;
    TEdit* Edit = nullptr;

  private:
    TLegacyPicker FPicker;
    int FMode;
  };
  static String StatusText(TStatusBar* s) { return s->Panels()->Items(0)->Text(); }
};

// ---------------------------------------------------------------- internal-unit dialog

class UnitDialogTest : public LegacyWindowTest {
protected:
  void SetUp() override {
    LegacyWindowTest::SetUp();
    Frm_Data->OpenQuery(Frm_Data->Qry_emloyee, "select * from Dict_Employee order by ID");
    D = CreateForm<TFrm_addemloyee>(Frm_Main);
  }
  void TearDown() override {
    delete D;
    LegacyWindowTest::TearDown();
  }
  void Ok() { ClickOn(D->Bit_OK); }
  TFrm_addemloyee* D = nullptr;
};

TEST_F(UnitDialogTest, AddsUnitsOneAfterAnotherAndRefusesAnEmptyOrTakenName) {
  D->AddMode = 1;
  EXPECT_FALSE(ShowWith(D, {[&](TCustomForm*) {
                              EXPECT_EQ(D->Caption(), "新增内部单位信息");
                              EXPECT_EQ(D->DBNavigator1->Buttons(nbFirst)->Caption(), "第一条");
                              EXPECT_EQ(D->DBNavigator1->Buttons(nbLast)->Caption(), "末一条");
                              EXPECT_TRUE(D->DBNavigator1->Buttons(nbNext)->Glyph()->Empty());
                              Ok();
                              EXPECT_EQ(TakeMessages(), std::vector<String>{"员工名称不能为空!"});
                              TypeIntoEdit(D->Edit_Name, "O'Neil");
                              TypeIntoEdit(D->Edit_Mobile, "U09");
                              TypeIntoEdit(D->Edit_Email, "a@b.c");
                              Ok();
                            },
                            [&](TCustomForm*) {
                              EXPECT_EQ(D->Edit_Name->Text(), "");
                              EXPECT_EQ(D->Edit_Email->Text(), "");
                              TypeIntoEdit(D->Edit_Name, "O'Neil");
                              Ok();
                              EXPECT_EQ(TakeMessages(), std::vector<String>{"员工名称有重复!"});
                              EXPECT_EQ(D->ActiveControl(), D->Edit_Name);
                              TypeIntoEdit(D->Edit_Name, "U'2");
                              Ok();
                            }}));
  EXPECT_EQ(Count("select count(*) from Dict_Employee where Name='O''Neil' and Mobile='U09' and Email='a@b.c'"), 1);
  EXPECT_EQ(Count("select count(*) from Dict_Employee where Name='U''2'"), 1);
  EXPECT_EQ(Count("select count(*) from Dict_Employee"), 4);
}

TEST_F(UnitDialogTest, EnterMovesOnInEditsAndPressesTheOkButton) {
  D->AddMode = 1;
  ShowWith(D, {[&](TCustomForm*) {
    TypeIntoEdit(D->Edit_Name, "三公司");
    Key(Qt::Key_Return);
    EXPECT_EQ(D->ActiveControl(), D->Edit_Mobile);
    EXPECT_EQ(D->Edit_Name->Text(), "三公司");
    D->Bit_OK->SetFocus();
    Application->ProcessMessages();
    Key(Qt::Key_Return);
  }});
  EXPECT_EQ(Count("select count(*) from Dict_Employee where Name='三公司'"), 1);
}

TEST_F(UnitDialogTest, EditLoadsTheCurrentUnitFollowsTheNavigatorAndSaves) {
  TADOQuery* q = Frm_Data->Qry_emloyee;
  q->First();
  D->AddMode = 0;
  ShowWith(D, {[&](TCustomForm*) {
    EXPECT_EQ(D->Caption(), "编辑内部单位信息");
    EXPECT_EQ(D->Edit_Name->Text(), "一公司");
    EXPECT_EQ(D->Edit_fz->Text(), "赵经理");
    ClickOn(D->DBNavigator1->Buttons(nbNext));
    EXPECT_EQ(D->Edit_Name->Text(), "二公司");
    EXPECT_EQ(D->Edit_Mobile->Text(), "U02");
    TypeIntoEdit(D->Edit_Tel, "010-888");
    Ok();
    // an edit stays open
    EXPECT_TRUE(D->Visible());
  }});
  EXPECT_EQ(Scalar("select Tel from Dict_Employee where Name='二公司'"), "010-888");
  EXPECT_EQ(Scalar("select Tel from Dict_Employee where Name='一公司'"), "");
}

TEST_F(UnitDialogTest, AFailingEditIsUndoneAndSaidSo) {
  Refuse("UPDATE", "Dict_Employee");
  Frm_Data->Qry_emloyee->First();
  D->AddMode = 0;
  ShowWith(D, {[&](TCustomForm*) {
    TypeIntoEdit(D->Edit_Name, "改名");
    Ok();
    EXPECT_EQ(TakeMessages(), std::vector<String>{"数据出错,数据不能保存!"});
    EXPECT_EQ(Frm_Data->Qry_emloyee->State(), dsBrowse);
  }});
  EXPECT_EQ(Count("select count(*) from Dict_Employee where Name='一公司'"), 1);
  EXPECT_FALSE(Frm_Data->ADOConnection1->InTransaction());
}

TEST_F(UnitDialogTest, DoubleClickOnTheEmailOpensAMailTo) {
  std::vector<String> opened;
  TShellHandler previous = SetShellHandler([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  Frm_Data->Qry_emloyee->First();
  D->AddMode = 0;
  ShowWith(D, {[&](TCustomForm*) {
    EXPECT_EQ(D->Edit_Email->Hint(), "直接双击,即可发送邮件");
    DoubleClickAt(D->Edit_Email, {5, 5});
  }});
  SetShellHandler(previous);
  EXPECT_EQ(opened, std::vector<String>{"mailto:unit@example.com"});
}

// ---------------------------------------------------------------- internal-unit list

class UnitListTest : public LegacyWindowTest {
protected:
  void SetUp() override {
    LegacyWindowTest::SetUp();
    L = CreateForm<TFrm_employee>(Frm_Main);
  }
  void TearDown() override {
    delete L;
    LegacyWindowTest::TearDown();
  }
  TFrm_employee* L = nullptr;
};

TEST_F(UnitListTest, OpensOnEveryUnitAndSearchesTheChosenColumn) {
  Unit("O'Neil_1", "X1");
  Unit("O'NeilA1", "X2");
  ShowWith(L, {[&](TCustomForm*) {
    EXPECT_EQ(L->Caption(), "内部单位");
    EXPECT_EQ(Column(Frm_Data->Qry_emloyee, "Name"), (std::vector<String>{"一公司", "二公司", "O'Neil_1", "O'NeilA1"}));
    EXPECT_EQ(StatusText(L->StatusBar1), "当前共有 4 条记录");
    EXPECT_EQ(L->Combo_Field->Text(), "单位名称");
    EXPECT_EQ(L->Edit_Key->Text(), "");
    struct {
      const char* Field;
      const char* Key;
      std::vector<String> Names;
    } cases[] = {{"单位名称", "O'Neil_", {"O'Neil_1", "O'NeilA1"}},  // "_" stands for any one character
                 {"单位名称", "公司", {"一公司", "二公司"}},
                 {"单位编码", "X2", {"O'NeilA1"}},
                 {"单位名称", "", {"一公司", "二公司", "O'Neil_1", "O'NeilA1"}}};
    for (const auto& c : cases) {
      SCOPED_TRACE(String(c.Field) + " " + c.Key);
      L->Combo_Field->SetItemIndex(L->Combo_Field->Items()->IndexOf(c.Field));
      TypeIntoEdit(L->Edit_Key, c.Key);
      ClickOn(L->Btn_Search);
      EXPECT_EQ(Column(Frm_Data->Qry_emloyee, "Name"), c.Names);
      EXPECT_EQ(StatusText(L->StatusBar1), TFrm_Main::RecordCountText(int(c.Names.size())));
      EXPECT_TRUE(L->Btn_Search->Enabled());
    }
    L->Combo_Field->SetItemIndex(-1);
    ClickOn(L->Btn_Search);
    EXPECT_EQ(TakeMessages(), std::vector<String>{"请选择一种查询条件进行查询！"});
  }});
}

TEST_F(UnitListTest, ChooseHandsTheUnitToItsOpenerAndAPlainListKeepsIt) {
  struct {
    int Mode;
    bool Delivered;
  } cases[] = {{1, true}, {2, true}, {0, false}, {4, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Mode);
    TOpener project(TLegacyPicker::Unit, 1), contract(TLegacyPicker::Unit, 2);
    std::unique_ptr<TFrm_employee> list(CreateForm<TFrm_employee>(Frm_Main));
    list->CallerMode = c.Mode;
    bool closed = ShowWith(list.get(), {[&](TCustomForm*) {
      Frm_Data->Qry_emloyee->Last();
      ClickOn(list->ToolButton1);
    }});
    EXPECT_EQ(closed, c.Delivered);
    EXPECT_EQ(project.Edit->Text(), c.Mode == 1 ? "二公司" : "");
    EXPECT_EQ(contract.Edit->Text(), c.Mode == 2 ? "二公司" : "");
  }
}

// ---------------------------------------------------------------- project picker

class ProjectPickerTest : public LegacyWindowTest {
protected:
  void SetUp() override {
    LegacyWindowTest::SetUp();
    P = CreateForm<TFrm_SelectProject>(Frm_Main);
  }
  void TearDown() override {
    delete P;
    LegacyWindowTest::TearDown();
  }
  std::vector<String> Codes() { return Column(P->Qry_Select, "ProjectCode"); }
  TFrm_SelectProject* P = nullptr;
};

TEST_F(ProjectPickerTest, EveryKeyReleaseSearchesAndClearingListsAllAgain) {
  ShowWith(P, {[&](TCustomForm*) {
    EXPECT_EQ(P->Caption(), "选择项目");
    EXPECT_EQ(Codes(), (std::vector<String>{"P01", "P0101", "P02"}));
    EXPECT_EQ(StatusText(P->StatusBar1), "当前共有 3 条记录");
    EXPECT_EQ(P->DBGridEh1->Columns()->Items(0)->FieldName(), "ProjectCode");
    ClickOn(P->Edit_ProjectCode);
    struct {
      int Key;
      const char* Text;
      std::vector<String> Codes;
    } steps[] = {{Qt::Key_P, "P", {"P01", "P0101", "P02"}},
                 {Qt::Key_0, "0", {"P01", "P0101", "P02"}},
                 {Qt::Key_1, "1", {"P01", "P0101"}},
                 {Qt::Key_0, "0", {"P0101"}},
                 {Qt::Key_Backspace, "", {"P01", "P0101"}}};
    for (const auto& s : steps) {
      guitest::TypeKey(s.Key, Qt::NoModifier, QString::fromUtf8(s.Text));
      Application->ProcessMessages();
      EXPECT_EQ(Codes(), s.Codes) << P->Edit_ProjectCode->Text();
      EXPECT_EQ(StatusText(P->StatusBar1), TFrm_Main::RecordCountText(int(s.Codes.size())));
    }
    TypeOver("");
    EXPECT_EQ(Codes(), (std::vector<String>{"P01", "P0101", "P02"}));
    // a quote is typed text; two edits narrow together
    TypeIntoEdit(P->Edit_ProjectName, "O'Neil");
    EXPECT_EQ(Codes(), std::vector<String>{"P0101"});
    TypeIntoEdit(P->Edit_GCName, "x");
    EXPECT_TRUE(Codes().empty());
  }});
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(ProjectPickerTest, ACategoryNodeListsItsProjectsAndThoseBelowIt) {
  ShowWith(P, {[&](TCustomForm*) {
    TTreeNode* root = P->TreeView1->Items()->GetFirstNode();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Text(), "项目分类");
    root->Expand(true);
    TTreeNode* first = root->getFirstChild();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Text(), "01-一类");
    DoubleClickNode(P->TreeView1, first);
    EXPECT_EQ(Codes(), (std::vector<String>{"P01", "P0101"}));
    EXPECT_EQ(StatusText(P->StatusBar1), "当前共有 2 条记录");
    DoubleClickNode(P->TreeView1, root);
    EXPECT_EQ(Codes(), (std::vector<String>{"P01", "P0101", "P02"}));
  }});
}

TEST_F(ProjectPickerTest, TheChoiceGoesToTheOpenerOfTheModeOnly) {
  struct {
    int Mode;
    const char* Value;
  } cases[] = {{1, "P02"}, {2, "南湖公园"}, {4, "南湖公园"}, {0, ""}, {3, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Mode);
    TOpener bills(TLegacyPicker::Project, 1), billNames(TLegacyPicker::Project, 2),
        contract(TLegacyPicker::Project, 4);
    std::unique_ptr<TFrm_SelectProject> picker(CreateForm<TFrm_SelectProject>(Frm_Main));
    picker->CallerMode = c.Mode;
    bool closed = ShowWith(picker.get(), {[&](TCustomForm*) {
      picker->Qry_Select->Last();
      ClickOn(picker->Btn_Select);
    }});
    EXPECT_EQ(closed, String(c.Value) != "");
    EXPECT_EQ(bills.Edit->Text(), c.Mode == 1 ? c.Value : "");
    EXPECT_EQ(billNames.Edit->Text(), c.Mode == 2 ? c.Value : "");
    EXPECT_EQ(contract.Edit->Text(), c.Mode == 4 ? c.Value : "");
  }
}

// ---------------------------------------------------------------- customer picker

class CustomerPickerTest : public LegacyWindowTest {
protected:
  void SetUp() override {
    LegacyWindowTest::SetUp();
    Exec("update T_Custom set Contact='李先生', CustType='0101' where CustCode='C01'");
    Exec("update T_Custom set CustType='02' where CustCode='C02'");
  }
};

TEST_F(CustomerPickerTest, SearchesAsTypedAndCountsWhatItFinds) {
  std::unique_ptr<TFrm_SelectCust> picker(CreateForm<TFrm_SelectCust>(Frm_Main));
  TFrm_SelectCust* p = picker.get();
  ShowWith(p, {[&](TCustomForm*) {
    EXPECT_EQ(p->Caption(), "请选择客户");
    EXPECT_EQ(StatusText(p->StatusBar1), "当前共有2条客户记录");
    EXPECT_EQ(p->TreeView1->Items()->GetFirstNode()->Text(), "单位分类");
    struct {
      TEdit* Edit;
      const char* Text;
      std::vector<String> Names;
    } cases[] = {{p->Edit_Name, "O'Neil", {"O'Neil Ltd"}},
                 {p->Edit_Name, "", {"华建公司", "O'Neil Ltd"}},
                 {p->Edit_Code, "C0", {}},  // the code is compared whole
                 {p->Edit_Code, "C01", {"华建公司"}},
                 {p->Edit_Code, "", {"华建公司", "O'Neil Ltd"}}};
    for (const auto& c : cases) {
      SCOPED_TRACE(c.Text);
      TypeIntoEdit(c.Edit, c.Text);
      EXPECT_EQ(Column(p->Qry_Cust, "CustName"), c.Names);
      EXPECT_EQ(StatusText(p->StatusBar1), "当前共有 " + IntToStr(int(c.Names.size())) + " 条客户记录");
    }
    p->TreeView1->Items()->GetFirstNode()->Expand(true);
    DoubleClickNode(p->TreeView1, p->TreeView1->Items()->GetFirstNode()->getFirstChild());
    EXPECT_EQ(Column(p->Qry_Cust, "CustName"), std::vector<String>{"华建公司"});
    EXPECT_EQ(StatusText(p->StatusBar1), "当前共有 1 条客户记录");
    ClickOn(p->btRefu);
    EXPECT_EQ(Column(p->Qry_Cust, "CustName").size(), 2u);
  }});
}

TEST_F(CustomerPickerTest, TheChoiceGoesToTheOpenerOfModes6And9) {
  struct {
    int Mode;
    bool Delivered;
  } cases[] = {{6, true}, {9, true}, {0, false}, {4, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Mode);
    TOpener bills(TLegacyPicker::Customer, 6), contract(TLegacyPicker::Customer, 9);
    std::unique_ptr<TFrm_SelectCust> picker(CreateForm<TFrm_SelectCust>(Frm_Main));
    picker->CallerMode = c.Mode;
    bool closed = ShowWith(picker.get(), {[&](TCustomForm*) {
      picker->Qry_Cust->Last();
      ClickOn(picker->Btn_Select);
    }});
    EXPECT_EQ(closed, c.Delivered);
    EXPECT_EQ(bills.Edit->Text(), c.Mode == 6 ? "O'Neil Ltd" : "");
    EXPECT_EQ(contract.Edit->Text(), c.Mode == 9 ? "O'Neil Ltd" : "");
  }
}

// ---------------------------------------------------------------- project search

TEST_F(LegacyWindowTest, ProjectSearchReopensTheProjectQueryOnTheTypedParts) {
  struct {
    const char* Code;
    const char* Name;
    const char* Leader;
    std::vector<String> Codes;
  } cases[] = {{"", "", "", {"P01", "P0101", "P02"}},
               {"P01", "", "", {"P01", "P0101"}},
               {"", "O'Neil", "", {"P0101"}},
               {"P0", "", "王", {"P02"}},
               {"", "%", "", {"P01", "P0101", "P02"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.Code) + "|" + c.Name + "|" + c.Leader);
    std::unique_ptr<TFrm_S_Project> search(CreateForm<TFrm_S_Project>(Frm_Main));
    EXPECT_TRUE(ShowWith(search.get(), {[&](TCustomForm*) {
      EXPECT_EQ(search->Caption(), "查询项目");
      EXPECT_EQ(search->Edit_ProjectCode->Text(), "");
      TypeIntoEdit(search->Edit_ProjectCode, c.Code);
      TypeIntoEdit(search->Edit_ProjectName, c.Name);
      TypeIntoEdit(search->Edit_Leader, c.Leader);
      ClickOn(search->Btn_OK);
    }}));
    EXPECT_EQ(Column(Frm_Data->Qry_Project, "ProjectCode"), c.Codes);
  }
}

// ---------------------------------------------------------------- pictures

// The project picker narrowed to a category and the internal-unit dialog, as a user sees them
// (screenshots/).
TEST_F(LegacyWindowTest, ScreenshotsOfTheProjectPickerAndTheUnitDialog) {
  ForceDirectories("screenshots");
  std::unique_ptr<TFrm_SelectProject> picker(CreateForm<TFrm_SelectProject>(Frm_Main));
  ShowWith(picker.get(), {[&](TCustomForm*) {
    TTreeNode* root = picker->TreeView1->Items()->GetFirstNode();
    root->Expand(true);
    DoubleClickNode(picker->TreeView1, root->getFirstChild());
    EXPECT_TRUE(GrabToPng(picker.get(), "screenshots/legacy_project_picker.png"));
  }});
  Frm_Data->OpenQuery(Frm_Data->Qry_emloyee, "select * from Dict_Employee order by ID");
  std::unique_ptr<TFrm_addemloyee> dialog(CreateForm<TFrm_addemloyee>(Frm_Main));
  dialog->AddMode = 0;
  ShowWith(dialog.get(), {[&](TCustomForm*) {
    EXPECT_TRUE(GrabToPng(dialog.get(), "screenshots/legacy_unit_dialog.png"));
  }});
}

}  // namespace
