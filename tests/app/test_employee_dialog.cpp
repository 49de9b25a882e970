// The employee dialog driven offscreen, and the main window's employee commands: the age
// takes digits only (typed or pasted), the department comes from the category window, the
// required fields, adding several employees, an edit keeping the department, and deleting
// with its questions. (The list itself, a grid window, is tested in test_employee_list.cpp.)
#include "PeopleFixture.h"
#include "StdTestUtil.h"

#include "app/ufrmBasic.h"
#include "app/ufrmEmpAdd.h"
#include "core/DateUtils.h"
#include "gui/Calendar.h"
#include "gui/ComCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/TreeView.h"

#include <memory>

namespace {

class EmployeeDialogTest : public PeopleTest {
protected:
  void SetUp() override {
    PeopleTest::SetUp();
    Exec("insert into dict_cate (code, name, TableName) values ('01', '工程部', 'depart')");
    Exec("insert into dict_cate (code, name, TableName) values ('0101', '施工队', 'depart')");
  }
  void TearDown() override {
    Dialog.reset();
    PeopleTest::TearDown();
  }
  // The dialog shown (not modally) in a mode, over the list when the list is open.
  TfrmEmpAdd* Open(Byte mode) {
    Dialog.reset(CreateForm<TfrmEmpAdd>(nullptr, &frmEmpAdd));
    Dialog->AddMode = mode;
    Dialog->Show();
    Application->ProcessMessages();
    return Dialog.get();
  }
  void OpenList() {
    Frm_Main->Emp_M->Execute();
    Application->ProcessMessages();
  }
  void Fill(const String& name, const String& age, const String& depart = "工程部") {
    Dialog->edtEmpName->SetText(name);
    Dialog->edtAge->SetText(age);
    Dialog->edtDepart->SetText(depart);
  }
  void Post() {
    guitest::Click(Dialog->btnPost, {10, 10});
    Application->ProcessMessages();
  }
  TADOQuery* Emp() { return Frm_Data->qryEmp; }

  std::unique_ptr<TfrmEmpAdd> Dialog;
};

TEST_F(EmployeeDialogTest, TheAgeKeepsOnlyItsDigitsTypedOrPasted) {
  Open(1);
  Dialog->edtAge->SetFocus();
  Application->ProcessMessages();
  stdtest::Type("3a5");
  EXPECT_EQ(Dialog->edtAge->Text(), "35");
  stdtest::Key(Qt::Key_Backspace);
  EXPECT_EQ(Dialog->edtAge->Text(), "3");
  stdtest::SetClipboard("4岁x2");
  stdtest::Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Dialog->edtAge->Text(), "342");
  EXPECT_EQ(DigitsOnly("a1 b2-3"), "123");
}

TEST_F(EmployeeDialogTest, ThePositionsComeInIdOrderAndAnAddEmptiesTheDialogForTheNext) {
  Open(1);
  EXPECT_EQ(Dialog->Caption(), "员工资料维护");
  TStrings* places = Dialog->cmbPlace->Items();
  ASSERT_EQ(places->Count(), Count("select count(*) from dict_combo where tablename='员工身份'"));
  EXPECT_EQ(places->Strings(0), Scalar("select name from dict_combo where tablename='员工身份' order by id"));
  // One name twice: both are kept.
  for (int i = 0; i < 2; ++i) {
    Fill("王五", "41");
    Dialog->cmbEmpSex->SetItemIndex(1);
    Dialog->cmbPlace->SetItemIndex(2);
    Dialog->edtTypeCode->SetText("01");
    Dialog->dtInDate->SetDate(EncodeDate(2024, 3, 5));
    Post();
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(Dialog->ModalResult(), mrNone);
    for (TCustomEdit* e : {static_cast<TCustomEdit*>(Dialog->edtEmpName), static_cast<TCustomEdit*>(Dialog->edtAge),
                           static_cast<TCustomEdit*>(Dialog->edtDepart), static_cast<TCustomEdit*>(Dialog->edtTypeCode)})
      EXPECT_EQ(e->Text(), "") << e->Name();
    EXPECT_EQ(Dialog->cmbEmpSex->Text(), "男");
    EXPECT_EQ(Dialog->cmbPlace->ItemIndex(), 0);
    EXPECT_EQ(Dialog->dtInDate->Date(), Date());
  }
  EXPECT_EQ(Count("select count(*) from dict_emp where EmpName='王五'"), 2);
  EXPECT_EQ(Scalar("select EmpSex & '|' & age & '|' & Depart & '|' & Place & '|' & typecode from dict_emp"),
            "女|41|工程部|" + places->Strings(2) + "|01");
  EXPECT_EQ(Scalar("select format(InDate, 'yyyy-mm-dd') from dict_emp"), "2024-03-05");
}

TEST_F(EmployeeDialogTest, EachOfTheFourRequiredFieldsIsRefused) {
  Open(1);
  struct TCase {
    const char *Name, *Age, *Depart;
    bool NoPlace;
  } cases[] = {{"", "30", "工程部", false}, {"甲", "", "工程部", false}, {"甲", "30", "", false},
               {"甲", "30", "工程部", true}};
  for (const TCase& c : cases) {
    Dialog->ClearFields();
    Fill(c.Name, c.Age, c.Depart);
    if (c.NoPlace) Dialog->cmbPlace->SetItemIndex(-1);
    Post();
    EXPECT_EQ(TakeMessages(), (std::vector<String>{"红色显示的字段不能为空，请您重新录入！"}));
  }
  EXPECT_EQ(Count("select count(*) from dict_emp"), 0);
}

TEST_F(EmployeeDialogTest, TheDepartmentIsPickedInTheCategoryWindowAndCannotBeTyped) {
  Open(1);
  EXPECT_TRUE(Dialog->edtDepart->ReadOnly());
  EXPECT_EQ(Dialog->edtDepart->Color(), clInfoBk);
  String page;
  TModalSteps pick({[&](TCustomForm* m) {
    auto* basic = dynamic_cast<TfrmBasic*>(m);
    ASSERT_NE(basic, nullptr);
    page = basic->pcBasic->ActivePage()->Caption();
    EXPECT_FALSE(basic->pcBasic->Enabled());
    TTreeNode* team = basic->tvBasic->Items()->Item(2);  // root, 01, 0101
    basic->tvBasic->SetSelected(team);
    basic->tbSelect->Click();
  }});
  TControl* button = Dialog->edtDepart->ButtonOf(TRzCustomButtonEdit::MainIndex);
  ASSERT_TRUE(button && button->Visible());
  guitest::Click(button, {button->Width() / 2, button->Height() / 2});
  EXPECT_FALSE(pick.Overran());
  EXPECT_EQ(page, "部门类别");
  EXPECT_EQ(Dialog->edtDepart->Text(), "施工队");
  EXPECT_EQ(Dialog->edtTypeCode->Text(), "0101");
  ForceDirectories("screenshots");
  EXPECT_TRUE(GrabToPng(Dialog.get(), "screenshots/employee_dialog.png"));
  Dialog->edtDepart->SetFocus();
  Application->ProcessMessages();
  stdtest::Type("x");
  EXPECT_EQ(Dialog->edtDepart->Text(), "施工队");
}

TEST_F(EmployeeDialogTest, AnEditKeepsTheDepartmentAndItsCodeAndCloses) {
  Employee("赵六", "施工队", "0101");
  OpenList();
  TModalSteps edit({[&](TCustomForm* m) {
    auto* d = dynamic_cast<TfrmEmpAdd*>(m);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->edtEmpName->Text(), "赵六");
    EXPECT_EQ(d->edtDepart->Text(), "施工队");
    EXPECT_EQ(d->cmbPlace->Text(), "工程师");
    EXPECT_EQ(d->dtInDate->Date(), EncodeDate(2024, 3, 5));
    d->edtPhone->SetText("139");
    d->btnPost->Click();
  }});
  Frm_Main->EmpEdit->Execute();
  EXPECT_FALSE(edit.Overran());
  EXPECT_EQ(Scalar("select Depart & '|' & typecode & '|' & Phone from dict_emp"), "施工队|0101|139");
  EXPECT_EQ(Count("select count(*) from dict_emp"), 1);
  EXPECT_EQ(Emp()->FieldByName("Phone")->AsString(), "139") << "the list shows it at once";
}

TEST_F(EmployeeDialogTest, RowCommandsDoNothingWhileTheListIsClosed) {
  Employee("赵六");
  Frm_Data->OpenQuery(Emp(), "select * from dict_emp");
  int forms = Screen->FormCount();
  Frm_Main->EmpEdit->Execute();
  Frm_Main->EmpDel->Execute();
  EXPECT_EQ(Screen->FormCount(), forms);
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(Count("select count(*) from dict_emp"), 1);
}

TEST_F(EmployeeDialogTest, DeletingAManagerAsksTwiceAndLeavesTheContracts) {
  Employee("O'Neil");
  Employee("赵六");
  Pact("P1", "施工", 10, "", "O'Neil");
  OpenList();
  ExpectTwoQuestions(Frm_Main->EmpDel, "合同信息中含有该员工信息，点击确定继续操作！",
                     [&] { return Count("select count(*) from dict_emp where EmpName='O''Neil'"); }, 1);
  EXPECT_EQ(Scalar("select PrjMan from t_pact"), "O'Neil");
  Answers = {IDYES};
  Frm_Main->EmpDel->Execute();
  EXPECT_EQ(TakeMessages(), (std::vector<String>{"点击确定继续操作！"}));
  EXPECT_EQ(Count("select count(*) from dict_emp"), 0);
}

}  // namespace
