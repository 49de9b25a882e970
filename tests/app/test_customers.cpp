// The customer list and the customer dialog driven offscreen: opening, the search, Enter as
// Tab, the contacts following the current customer, each grid sorting its own query, adding
// and editing with contacts in one transaction, the refusals, and deleting with its questions.
#include "PeopleFixture.h"
#include "StdTestUtil.h"

#include "app/U_AddCust.h"
#include "app/U_Custom.h"
#include "core/StrUtils.h"
#include "grid/DBGridEh.h"
#include "gui/ComCtrls.h"
#include "gui/StdCtrls.h"

namespace {

class CustomerTest : public PeopleTest {
protected:
  void OpenList() {
    Frm_Main->Cust_M->Execute();
    Application->ProcessMessages();
    ASSERT_NE(Frm_Custom, nullptr);
  }
  TADOQuery* Cust() { return Frm_Data->Qry_Cust; }
  TADOQuery* Contacts() { return Frm_Data->qryCustContact; }
  String Status() { return Frm_Custom->StatusBar1->Panels()->Items(0)->Text(); }
  void Search(int field, const String& key) {
    Frm_Custom->Combo_Field->SetItemIndex(field);
    Frm_Custom->Edit_Key->SetText(key);
    guitest::Click(Frm_Custom->Btn_Search, {10, 10});
    Application->ProcessMessages();
  }
  // The dialog's fields filled as a person would leave them.
  static void Fill(TFrm_AddCust* d, const String& code, const String& name, const String& capital = "5000") {
    d->edtCustCode->SetText(code);
    d->edtCustName->SetText(name);
    d->edtPhone->SetText("010-2");
    d->edtCustMan->SetText("代表");
    d->edtZZmoney->SetText(capital);
    d->edtZContact->SetText("张三");
    d->edtZPlace->SetText("经理");
    d->cmbCustType->SetItemIndex(1);
  }
  // A contact added with the dialog's button and named in its grid.
  static void AddContact(TFrm_AddCust* d, const String& name) {
    guitest::Click(d->btnAdd, {10, 10});
    Application->ProcessMessages();
    Frm_Data->qryCustContactAdd->FieldByName("ContactName")->SetAsString(name);
  }
  // Shows the customer dialog through its command and plays Steps on it.
  void WithDialog(TAction* command, std::function<void(TFrm_AddCust*)> steps) {
    TModalSteps play({[&](TCustomForm* m) {
      auto* d = dynamic_cast<TFrm_AddCust*>(m);
      ASSERT_NE(d, nullptr);
      steps(d);
      if (d->ModalResult() == mrNone) d->btnClose->Click();
    }});
    command->Execute();
    EXPECT_FALSE(play.Overran());
    EXPECT_EQ(play.Met().size(), 1u);
  }
  static void Post(TFrm_AddCust* d) {
    guitest::Click(d->btnPost, {10, 10});
    Application->ProcessMessages();
  }
};

// ---------------------------------------------------------------- the list

TEST_F(CustomerTest, TheListOpensWithEveryCustomerInCreationOrderAndTheSecondFieldChosen) {
  Customer("C3", "丙公司");
  Customer("A1", "甲公司");
  Customer("B2", "乙公司");
  int children = Frm_Main->MDIChildCount();  // the contract list the main window opened first
  OpenList();
  EXPECT_EQ(Frm_Main->MDIChildCount(), children + 1);
  EXPECT_EQ(Frm_Custom->Caption(), "往来单位档案维护");
  EXPECT_EQ(Frm_Custom->FormStyle(), fsMDIChild);
  EXPECT_EQ(Column(Cust(), "CustCode"), (std::vector<String>{"C3", "A1", "B2"}));
  EXPECT_EQ(Status(), "当前共有 3 条记录");
  // The search fields are the list's columns that are not dates.
  TStrings* fields = Frm_Custom->Combo_Field->Items();
  EXPECT_EQ(fields->Count(), Count("select count(*) from T_FieldShow where TableName='Custom' and fieldtype<>'date'"));
  EXPECT_EQ(Frm_Custom->Combo_Field->ItemIndex(), 1);
  EXPECT_EQ(Frm_Custom->Combo_Field->Text(), "客户名称");
  EXPECT_EQ(Frm_Custom->ActiveControl(), Frm_Custom->Edit_Key);
  EXPECT_EQ(Frm_Custom->dgCust->Columns()->Items(0)->FieldName(), "CustCode");
  // Opening again shows the same window.
  TFrm_Custom* first = Frm_Custom;
  Frm_Main->Cust_M->Execute();
  EXPECT_EQ(Frm_Custom, first);
  EXPECT_EQ(Frm_Main->MDIChildCount(), children + 1);
}

TEST_F(CustomerTest, TheSearchMatchesTheChosenFieldAndTakesQuotesAsText) {
  Customer("A1", "O'Neil 公司");
  Customer("A2", "甲公司");
  Customer("A3", "x");
  Exec("update t_custom set CustArea=null");
  Exec("update t_custom set CustArea='华北' where CustCode='A2'");
  OpenList();
  struct TCase {
    const char* Field;
    const char* Key;
    std::vector<String> Codes;
  } cases[] = {
      {"客户名称", "O'Neil", {"A1"}},
      {"客户名称", "公司", {"A1", "A2"}},
      {"客户名称", "x' or 'a'='a", {}},
      // An empty key puts no condition on the column: rows without an area are found too.
      {"地区", "", {"A1", "A2", "A3"}},
      {"地区", "华", {"A2"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(String(c.Field) + " " + c.Key);
    Search(Frm_Custom->Combo_Field->Items()->IndexOf(c.Field), c.Key);
    EXPECT_EQ(Column(Cust(), "CustCode"), c.Codes);
    EXPECT_EQ(Status(), TFrm_Main::RecordCountText(static_cast<int>(c.Codes.size())));
    EXPECT_TRUE(Frm_Custom->Btn_Search->Enabled());
    EXPECT_EQ(Screen->Cursor(), crDefault);
  }
  EXPECT_TRUE(TakeMessages().empty());
  // No field chosen: the box, and the list as it was.
  Search(-1, "甲");
  EXPECT_EQ(TakeMessages(), (std::vector<String>{"请选择一种查询条件进行查询！"}));
  EXPECT_EQ(Column(Cust(), "CustCode").size(), 1u);
}

TEST_F(CustomerTest, EnterMovesOnAsTabDoes) {
  OpenList();
  Frm_Custom->Edit_Key->SetFocus();
  Application->ProcessMessages();
  stdtest::Key(Qt::Key_Return);
  EXPECT_EQ(Frm_Custom->ActiveControl(), Frm_Custom->Btn_Search);
  stdtest::Key(Qt::Key_Return);
  EXPECT_NE(Frm_Custom->ActiveControl(), Frm_Custom->Btn_Search) << "Enter on the button moves on, it does not search";
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CustomerTest, TheContactsFollowTheCurrentCustomer) {
  Customer("A1", "甲");
  Customer("B2", "乙");
  Contact("A1", "甲一");
  Contact("A1", "甲二");
  Contact("B2", "乙一");
  Contact("B2'", "引号");
  OpenList();
  EXPECT_EQ(Column(Contacts(), "ContactName"), (std::vector<String>{"甲一", "甲二"}));
  EXPECT_EQ(Frm_Custom->dgCustContact->Columns()->Items(0)->FieldName(), "ContactName");
  Cust()->Next();
  Application->ProcessMessages();
  EXPECT_EQ(Column(Contacts(), "ContactName"), (std::vector<String>{"乙一"}));
}

TEST_F(CustomerTest, EachGridsTitleClicksSortItsOwnQuery) {
  Customer("A1", "Beta");
  Customer("A2", "Alpha");
  Contact("A1", "b");
  Contact("A1", "c");
  Contact("A1", "a");
  OpenList();
  Frm_Custom->Show();
  Frm_Custom->SetBounds(0, 0, 760, 520);
  Application->ProcessMessages();
  TDBGridEh* contacts = Frm_Custom->dgCustContact;
  TRect title = contacts->CellRect(1, 0);  // the first data column's title
  guitest::Click(contacts, {title.Left + 5, title.Top + 5});
  Application->ProcessMessages();
  EXPECT_EQ(Column(Contacts(), "ContactName"), (std::vector<String>{"a", "b", "c"}));
  EXPECT_EQ(Cust()->Sort(), "") << "the customers keep their order";
  TDBGridEh* grid = Frm_Custom->dgCust;
  TRect name = grid->CellRect(2, 0);  // 客户名称
  guitest::Click(grid, {name.Left + 5, name.Top + 5});
  Application->ProcessMessages();
  EXPECT_EQ(Column(Cust(), "CustName"), (std::vector<String>{"Alpha", "Beta"}));
}

TEST_F(CustomerTest, RowCommandsDoNothingWhileTheListIsClosed) {
  Customer("A1", "甲");
  Frm_Data->OpenQuery(Cust(), "select * from t_custom");
  int forms = Screen->FormCount();
  for (TAction* a : {Frm_Main->EditCust, Frm_Main->DelCust}) a->Execute();
  EXPECT_EQ(Screen->FormCount(), forms);
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(Count("select count(*) from t_custom"), 1);
}

// ---------------------------------------------------------------- the dialog

TEST_F(CustomerTest, TheDialogOrdersItsTabStopsByPosition) {
  std::unique_ptr<TFrm_AddCust> d(CreateForm<TFrm_AddCust>(Frm_Main));
  EXPECT_EQ(d->Caption(), "客户管理维护");
  // In the first group: by top, then by left.
  std::vector<TWinControl*> order = {d->edtCustName, d->edtCustCode, d->cmbCustType, d->edtCustArea, d->edtCountry};
  for (std::size_t i = 1; i < order.size(); ++i)
    EXPECT_LT(order[i - 1]->TabOrder(), order[i]->TabOrder()) << order[i]->Name();
  EXPECT_LT(d->GroupBox1->TabOrder(), d->GroupBox2->TabOrder());
  EXPECT_LT(d->GroupBox2->TabOrder(), d->PageControl1->TabOrder());
  EXPECT_LT(d->PageControl1->TabOrder(), d->btnPost->TabOrder());
}

TEST_F(CustomerTest, TwoCustomersAddedInOneShowingKeepTheirOwnContactsAndTheOperator) {
  OpenList();
  WithDialog(Frm_Main->AddCust, [&](TFrm_AddCust* d) {
    EXPECT_EQ(d->edtZZmoney->Text(), "0");
    EXPECT_EQ(d->cmbCustType->Text(), "供应商");
    Fill(d, "K1", "科一");
    AddContact(d, "王一");
    AddContact(d, "王二");
    Post(d);
    EXPECT_EQ(d->ModalResult(), mrNone) << "an add leaves the dialog open";
    EXPECT_EQ(d->edtCustCode->Text(), "");
    EXPECT_EQ(d->edtZZmoney->Text(), "0");
    EXPECT_TRUE(Frm_Data->qryCustContactAdd->IsEmpty()) << "the next customer starts without contacts";
    Fill(d, "K2", "科二");
    AddContact(d, "李一");
    Post(d);
  });
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(Scalar("select count(*) from t_cust_contact where CustCode='K1'"), "2");
  EXPECT_EQ(Scalar("select ContactName from t_cust_contact where CustCode='K2'"), "李一");
  EXPECT_EQ(Scalar("select Maker from t_custom where CustCode='K1'"), "Admin");
  EXPECT_EQ(Scalar("select f_check from t_custom where CustCode='K2'"), "未提交");
  EXPECT_EQ(Scalar("select CustType from t_custom where CustCode='K2'"), "客户");
  EXPECT_EQ(Scalar("select ZZMoney from t_custom where CustCode='K2'"), "5000");
  // The list shows them at once.
  EXPECT_EQ(Column(Cust(), "CustCode"), (std::vector<String>{"K1", "K2"}));
}

TEST_F(CustomerTest, AnEditMovesTheContactsToANewCodeAndMarksTheCustomerNotSubmitted) {
  Customer("A1", "甲");
  Exec("update t_custom set f_check='已提交', Remark='说明', CustType='供应商'");
  Contact("A1", "甲一");
  Contact("A1", "甲二");
  OpenList();
  WithDialog(Frm_Main->EditCust, [&](TFrm_AddCust* d) {
    EXPECT_EQ(d->OldCode, "A1");
    EXPECT_EQ(d->edtCustName->Text(), "甲");
    EXPECT_EQ(d->cmbCustType->Text(), "供应商");
    EXPECT_EQ(d->mmRemark->Text(), "说明");
    EXPECT_EQ(d->edtZZmoney->Text(), "100");
    EXPECT_EQ(Frm_Data->qryCustContactAdd->RecordCount(), 2);
    d->edtCustCode->SetText("A9");
    Post(d);
    EXPECT_NE(d->ModalResult(), mrNone) << "an edit closes the dialog";
  });
  EXPECT_EQ(Scalar("select count(*) from t_cust_contact where CustCode='A9'"), "2");
  EXPECT_EQ(Scalar("select f_check from t_custom where CustCode='A9'"), "未提交");
  EXPECT_EQ(Scalar("select Maker from t_custom where CustCode='A9'"), "someone") << "the maker stays";
  EXPECT_EQ(Column(Contacts(), "ContactName"), (std::vector<String>{"甲一", "甲二"}));
}

TEST_F(CustomerTest, RefusalsComeInOrderAndStoreNothing) {
  Customer("A1", "甲");
  Customer("B2", "乙");
  OpenList();
  struct TCase {
    TAction* Command;
    const char* Code;
    const char* Name;
    const char* Box;
  } cases[] = {
      {Frm_Main->AddCust, "B2", "", "客户编号重复，请您重新录入！"},
      {Frm_Main->AddCust, "C3", "", "红色显示的字段不能为空，请您重新录入！"},
      {Frm_Main->AddCust, "C3", "  ", "红色显示的字段不能为空，请您重新录入！"},
      // The current customer is A1: another's code is refused in edit mode too.
      {Frm_Main->EditCust, "B2", "甲", "客户编号重复，请您重新录入！"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(String(c.Code) + "/" + c.Name);
    WithDialog(c.Command, [&](TFrm_AddCust* d) {
      Fill(d, c.Code, c.Name);
      Post(d);
      EXPECT_EQ(d->ModalResult(), mrNone);
      if (String(c.Box) == TFrm_AddCust::DuplicateCodeText) { EXPECT_EQ(d->ActiveControl(), d->edtCustCode); }
    });
    EXPECT_EQ(TakeMessages(), (std::vector<String>{c.Box}));
  }
  EXPECT_EQ(Count("select count(*) from t_custom"), 2);
  EXPECT_EQ(Scalar("select CustName from t_custom where CustCode='A1'"), "甲");
  // Editing a customer keeping its own code is no duplicate.
  WithDialog(Frm_Main->EditCust, [&](TFrm_AddCust* d) { Post(d); });
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CustomerTest, AFailedSaveStoresNothingAndKeepsTheInputAndTheContacts) {
  OpenList();
  struct TCase {
    const char* Trigger;  // '' for none
    const char* Capital;
    const char* Told;  // what the box says, in part
  } cases[] = {{"", "abc", "'abc' 不是有效的数值"}, {"t_cust_contact", "100", "refused by the test"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Capital);
    if (*c.Trigger) Refuse("INSERT", c.Trigger);
    int listed = Cust()->RecordCount();
    WithDialog(Frm_Main->AddCust, [&](TFrm_AddCust* d) {
      Fill(d, "K1", "科一", c.Capital);
      AddContact(d, "王一");
      Post(d);
      EXPECT_EQ(d->ModalResult(), mrNone);
      EXPECT_EQ(d->edtCustCode->Text(), "K1");
      EXPECT_EQ(d->edtZZmoney->Text(), c.Capital);
      EXPECT_EQ(Column(Frm_Data->qryCustContactAdd, "ContactName"), (std::vector<String>{"王一"}));
    });
    std::vector<String> shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(c.Told), String::npos) << shown[0];
    EXPECT_EQ(Count("select count(*) from t_custom"), 0);
    EXPECT_EQ(Count("select count(*) from t_cust_contact"), 0);
    EXPECT_EQ(Cust()->RecordCount(), listed) << "the list keeps no failed row";
    EXPECT_EQ(Cust()->State(), dsBrowse);
  }
}

// ---------------------------------------------------------------- delete

TEST_F(CustomerTest, DeletingAskTwiceForACustomerInUseAndTakesItsContacts) {
  Customer("A1", "甲");
  Customer("B2", "乙");
  Contact("A1", "甲一");
  Contact("B2", "乙一");
  Pact("P1", "施工", 10, "甲");
  OpenList();
  ExpectTwoQuestions(Frm_Main->DelCust, "合同信息中含有该客户信息，点击确定继续操作！", [&] {
    return Count("select count(*) from t_custom where CustCode='A1'") +
           Count("select count(*) from t_cust_contact where CustCode='A1'");
  }, 2);
  EXPECT_EQ(Scalar("select CustName from t_pact"), "甲") << "contracts keep the name";
  EXPECT_EQ(Count("select count(*) from t_cust_contact where CustCode='B2'"), 1);
  EXPECT_EQ(Column(Cust(), "CustCode"), (std::vector<String>{"B2"}));
  EXPECT_EQ(Column(Contacts(), "ContactName"), (std::vector<String>{"乙一"}));
  // A customer no contract names: only the second question.
  Answers = {IDYES};
  Frm_Main->DelCust->Execute();
  EXPECT_EQ(TakeMessages(), (std::vector<String>{"点击确定继续操作！"}));
  EXPECT_EQ(Count("select count(*) from t_custom"), 0);
}

TEST_F(CustomerTest, AFailedDeleteChangesNothingAndKeepsTheListOnTheRow) {
  Customer("A1", "甲");
  Customer("B2", "乙");
  Contact("B2", "乙一");
  Refuse("DELETE", "t_custom");
  OpenList();
  Cust()->Last();
  Answers = {IDYES};
  Frm_Main->DelCust->Execute();
  EXPECT_EQ(TakeMessages(), (std::vector<String>{"点击确定继续操作！", "操作失败！"}));
  EXPECT_EQ(Count("select count(*) from t_custom"), 2);
  EXPECT_EQ(Count("select count(*) from t_cust_contact"), 1);
  EXPECT_EQ(Cust()->RecordCount(), 2);
  EXPECT_EQ(Cust()->FieldByName("CustCode")->AsString(), "B2");
  EXPECT_EQ(Column(Contacts(), "ContactName"), (std::vector<String>{"乙一"}));
}

}  // namespace

namespace {

// Pictures of the list and the dialog as a user sees them (screenshots/).
TEST_F(CustomerTest, ScreenshotsOfTheListAndTheDialog) {
  Customer("K01", "北京建工集团");
  Customer("K02", "O'Neil 贸易", "供应商");
  Contact("K01", "张三");
  OpenList();
  Frm_Main->SetWindowState(wsNormal);
  Frm_Main->SetBounds(0, 0, 900, 640);
  Frm_Custom->SetBounds(0, 0, 860, 520);
  Application->ProcessMessages();
  ForceDirectories("screenshots");
  EXPECT_TRUE(GrabToPng(Frm_Main, "screenshots/customer_list.png"));
  WithDialog(Frm_Main->EditCust, [&](TFrm_AddCust* d) {
    d->PageControl1->SetActivePage(d->TabSheet2);
    Application->ProcessMessages();
    EXPECT_TRUE(GrabToPng(d, "screenshots/customer_dialog.png"));
  });
}

}  // namespace
