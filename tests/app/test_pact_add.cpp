// The contract edit window and the record picker over the contracts fixture, driven offscreen
// by clicks and keys: the checks before a save, saves in both modes, the all-or-nothing
// transaction with its attachments, closing without a save, the pickers and the type pick,
// and the main window's add and edit actions.
#include "AppInput.h"
#include "PactTest.h"

#include "app/AttachmentFiles.h"
#include "app/ufrmBasic.h"
#include "app/ufrmPact.h"
#include "app/ufrmPactAdd.h"
#include "app/ufrmSelect.h"
#include "core/DateUtils.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "grid/DBGridEh.h"
#include "gui/Calendar.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Memo.h"
#include "gui/TreeView.h"

#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <memory>

namespace {

using namespace appinput;
namespace fs = std::filesystem;

class PactAddTest : public PactFixtureTest {
protected:
  void SetUp() override {
    PactFixtureTest::SetUp();
    LoginAsAdminAndShow();
    ASSERT_NE(frmPact, nullptr);
  }
  void TearDown() override {
    Dlg.reset();
    PactFixtureTest::TearDown();
  }

  // The dialog as the actions make it, shown without a loop of its own so a test can drive it.
  void OpenDialog(Byte Mode) {
    Dlg.reset(CreateForm<TfrmPactAdd>(nullptr));
    Dlg->AddMode = Mode;
    Dlg->Show();
    Application->ProcessMessages();
  }
  void OpenToEdit(const String& Code) {
    ASSERT_TRUE(Frm_Data->qryPact->Locate("PactCode", Code, {}));
    Application->ProcessMessages();
    OpenDialog(0);
  }
  // The seven required fields: the typed ones by keys, the picked ones as the pickers leave them.
  void Fill(const String& Code, const String& Name, const String& Money = "1000") {
    TypeIntoEdit(Dlg->edtPactName, Name);
    TypeIntoEdit(Dlg->edtPactCode, Code);
    TypeIntoEdit(Dlg->edtPactMoney, Money);
    DeliverCategoryPick("pacttype", "施工合同", "0101");
    DeliverRecordPick("t_custom", "华建集团");
    DeliverRecordPick("dict_prj", "滨江大桥");
    DeliverRecordPick("dict_emp", "张工");
  }
  void Save() { ClickOn(Dlg->btnPost); }

  void AddFund(const char* Kind, const char* Money) {
    ClickOn(Dlg->Button2);
    TADOQuery* q = Frm_Data->qryPactZJAdd;
    q->FieldByName("zjtype")->SetAsString(Kind);
    q->FieldByName("money")->SetAsString(Money);
    q->Post();
  }
  void AddDelivery(const char* Goods) {
    ClickOn(Dlg->btnAdd);
    TADOQuery* q = Frm_Data->qryPactJHAdd;
    q->FieldByName("GoodsName")->SetAsString(Goods);
    q->Post();
  }
  // Attaches a file through the open dialog; Boxes message boxes after it are answered OK.
  void Attach(const String& Path, TDialogScript& Script, int Boxes = 0) {
    Script.File(Path);
    for (int i = 0; i < Boxes; ++i) Script.Button(IDOK);
    ClickOn(Dlg->Button4);
  }
  String MakeFile(const String& Name, const String& Content) {
    Outside.Write(Name, Content);
    return Outside / Name;
  }

  String Db(const String& sql) { return Scalar(sql); }
  int Count(const char* Table, const String& Code) {
    return StrToInt(Db(String("select count(*) from ") + Table + " where PactCode=" + SqlStr(Code)));
  }
  // Each row of a statement, its values joined by '|'.
  std::vector<String> Rows(const String& sql) {
    TADOQuery* q = Frm_Data->Qry_Str;
    Frm_Data->OpenQuery(q, sql);
    std::vector<String> rows;
    for (q->First(); !q->Eof(); q->Next()) {
      String row;
      for (int i = 0; i < q->Fields()->Count(); ++i) row += (i ? "|" : "") + q->Fields()->Fields(i)->AsString();
      rows.push_back(row);
    }
    return rows;
  }
  String Row(const String& sql) {
    std::vector<String> rows = Rows(sql);
    return rows.empty() ? String("<none>") : rows[0];
  }
  // Every row of the contract tables, for a save that must change nothing.
  std::vector<String> Tables() {
    std::vector<String> all;
    for (const char* t : {"t_pact", "t_pact_zj", "t_pact_jh", "t_pact_doc", "t_pact_fp"})
      for (const String& r : Rows(String("select * from ") + t)) all.push_back(t + String(":") + r);
    return all;
  }
  static String AskedTexts(const TDialogScript& Script) {
    String t;
    for (const TDialogRequest& r : Script.Asked()) t += "[" + r.Text + "]";
    return t;
  }
  TFolderContent PactDoc() const { return FolderContent(Folder / "PactDoc"); }
  String ListFooter() {
    TDBGridEh* g = frmPact->dgPact;
    for (int i = 0; i < g->Columns()->Count(); ++i)
      if (SameText(g->Columns()->Items(i)->FieldName(), "PactMoney")) return g->GetFooterText(0, g->Columns()->Items(i));
    return "<no amount column>";
  }
  std::vector<String> Shown() const {
    std::vector<String> t;
    for (const TShownMessage& m : Folder.Messages) t.push_back(m.Text);
    return t;
  }
  void RefuseSecondFundRow(bool On) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Folder / "DataBase/kelm.mdb").c_str(), &db), SQLITE_OK);
    const char* sql = On ? "create trigger refuse_second_fund before insert on t_pact_zj "
                           "when (select count(*) from t_pact_zj where PactCode=new.PactCode)>=1 "
                           "begin select raise(abort, '第二条资金计划被拒绝'); end"
                         : "drop trigger refuse_second_fund";
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }

  std::unique_ptr<TfrmPactAdd> Dlg;
  TempFolder Outside;  // files a user attaches from elsewhere
};

// ---------------------------------------------------------------- the window

// What the layout gives each component is checked by the layout sweep (test_layouts.cpp); here,
// what the window is when it opens to add a contract.
TEST_F(PactAddTest, AddModeOpensOnTodayWithEmptyDetailsAndOnlyTheTypedFieldsOpenToTyping) {
  // Rows that carry no contract code: a new contract must not take them in.
  Exec("insert into t_pact_zj (PactCode, money) values ('', 5)");
  Exec("insert into t_pact_doc (PactCode, DocName) values ('', '无主.txt')");
  OpenDialog(1);
  EXPECT_EQ(frmPactAdd, Dlg.get());
  // What a picker fills is not typed.
  for (TEdit* e : {Dlg->edtPactType, Dlg->edtCustName, Dlg->edtPrjName, Dlg->edtPrjMan})
    EXPECT_TRUE(e->ReadOnly()) << e->Name();
  for (TEdit* e : {Dlg->edtPactName, Dlg->edtPactCode, Dlg->edtPactMoney}) EXPECT_FALSE(e->ReadOnly()) << e->Name();
  EXPECT_FALSE(Dlg->edtTypeCode->Visible());
  for (TDateTimePicker* d : {Dlg->dtPactDate, Dlg->dtBeginDate, Dlg->dtEndDate}) EXPECT_EQ(d->Date(), Today);
  // The change page is an edit's only.
  std::vector<String> pages;
  for (int i = 0; i < Dlg->pcDetail->PageCount(); ++i)
    if (Dlg->pcDetail->Pages(i)->TabVisible()) pages.push_back(Dlg->pcDetail->Pages(i)->Caption());
  EXPECT_EQ(pages, (std::vector<String>{"资金计划", "交货计划", "合同文件", "合同说明"}));
  // The grids start empty in add mode, even beside rows that carry no contract code.
  for (TADOQuery* q : {Frm_Data->qryPactZJAdd, Frm_Data->qryPactJHAdd, Frm_Data->qryPactDocAdd}) {
    EXPECT_TRUE(q->Active());
    EXPECT_TRUE(q->IsEmpty()) << q->Name();
  }
  EXPECT_GT(Dlg->dgPactZJAdd->Columns()->Count(), 0);
  EXPECT_NE(Dlg->dgPactZJAdd->PopupMenu(), nullptr);
  Dlg->Close();
  EXPECT_EQ(frmPactAdd, nullptr) << "the global lives only while the window is open";
}

TEST_F(PactAddTest, EditModeLoadsTheContractWithItsDetailsAndTheChangePage) {
  OpenToEdit("HT'03");
  EXPECT_EQ(Dlg->OldCode, "HT'03");
  EXPECT_EQ(Dlg->edtPactCode->Text(), "HT'03");
  EXPECT_EQ(Dlg->edtPactName->Text(), "外墙工程合同");
  EXPECT_EQ(Dlg->edtPactType->Text(), "工程合同");
  EXPECT_EQ(Dlg->edtTypeCode->Text(), "01");
  EXPECT_EQ(Dlg->edtPactMoney->Text(), "80000");
  EXPECT_EQ(Dlg->edtCustName->Text(), "O'Hara 建设");
  EXPECT_EQ(Dlg->edtPrjName->Text(), "O'Hara 广场");
  EXPECT_EQ(Dlg->edtPrjMan->Text(), "王工");
  EXPECT_EQ(Dlg->dtEndDate->Date(), Today + 365);
  EXPECT_EQ(Dlg->mmPactNote->Text(), "外墙工程合同的说明");
  EXPECT_EQ(Dlg->mmPactCNote->Text(), "外墙工程合同的变更");
  EXPECT_TRUE(Dlg->tsPactCNote->TabVisible());
  EXPECT_EQ(Frm_Data->qryPactDocAdd->RecordCount(), 1);
  EXPECT_EQ(Frm_Data->qryPactZJAdd->RecordCount(), 1);
  EXPECT_EQ(Frm_Data->qryPactJHAdd->RecordCount(), 1);
}

// ---------------------------------------------------------------- checks before a save

TEST_F(PactAddTest, AnEmptyRequiredFieldIsRefusedWhileBlanksPass) {
  OpenDialog(1);
  std::vector<String> before = Tables();
  TEdit* TfrmPactAddComponents::* const required[] = {
      &TfrmPactAddComponents::edtPactName, &TfrmPactAddComponents::edtPactCode, &TfrmPactAddComponents::edtPactType,
      &TfrmPactAddComponents::edtPactMoney, &TfrmPactAddComponents::edtCustName, &TfrmPactAddComponents::edtPrjName,
      &TfrmPactAddComponents::edtPrjMan};
  for (auto edit : required) {
    TEdit* e = Dlg.get()->*edit;
    SCOPED_TRACE(e->Name());
    Fill("HT90", "检查合同");
    e->SetText("");
    Folder.Messages.clear();
    Save();
    ASSERT_EQ(Folder.Messages.size(), 1u);
    EXPECT_EQ(Folder.Messages[0].Text, "红色显示的字段不能为空，请您重新录入！");
    EXPECT_EQ(Folder.Messages[0].Caption, "提示");
    EXPECT_TRUE(Folder.Messages[0].Flags & MB_ICONWARNING);
    EXPECT_EQ(Tables(), before);
  }
  // A text of blanks fills a field: the check lets it through to the save, where blanks are
  // no amount; with a number for the amount the contract is stored, blanks and all.
  for (auto edit : required) (Dlg.get()->*edit)->SetText("  ");
  Folder.Messages.clear();
  Save();
  EXPECT_EQ(Shown(), std::vector<String>{"操作失败！\n合同金额: '  ' 不是有效的数值"});
  EXPECT_EQ(Tables(), before);
  Dlg->edtPactMoney->SetText("5");
  Folder.Messages.clear();
  Save();
  EXPECT_TRUE(Shown().empty()) << Shown()[0];
  EXPECT_EQ(Row("select PactName, PactMoney, CustName from t_pact where PactCode='  '"), "  |5|  ");
}

TEST_F(PactAddTest, AnExistingCodeOrNameIsRefusedWithTheFocusOnItsEdit) {
  Exec("insert into t_pact (PactCode, PactName) values ('HT80', 'Tower Contract')");
  OpenDialog(1);
  std::vector<String> before = Tables();
  struct Case {
    const char* Code;
    const char* Name;
    const char* Message;
    TEdit* TfrmPactAddComponents::*Focus;
  } cases[] = {
      {"HT'03", "新合同", "合同编号重复，请您重新录入！", &TfrmPactAddComponents::edtPactCode},
      {"ht01", "新合同", "合同编号重复，请您重新录入！", &TfrmPactAddComponents::edtPactCode},
      {"HT91", "外墙工程合同", "合同名称重复，请您重新录入！", &TfrmPactAddComponents::edtPactName},
      {"HT91", "TOWER contract", "合同名称重复，请您重新录入！", &TfrmPactAddComponents::edtPactName},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Code + String(" ") + c.Name);
    Fill(c.Code, c.Name);
    ClickOn(Dlg->edtPactMoney);
    Folder.Messages.clear();
    Save();
    ASSERT_EQ(Folder.Messages.size(), 1u);
    EXPECT_EQ(Folder.Messages[0].Text, c.Message);
    EXPECT_EQ(Folder.Messages[0].Caption, "提示");
    EXPECT_TRUE((Dlg.get()->*c.Focus)->Focused());
    EXPECT_EQ(Tables(), before);
  }
  // The code is looked at before the name.
  Fill("HT02", "桥梁设计合同");
  Folder.Messages.clear();
  Save();
  ASSERT_EQ(Folder.Messages.size(), 1u);
  EXPECT_EQ(Folder.Messages[0].Text, "合同编号重复，请您重新录入！");
}

// ---------------------------------------------------------------- saving

TEST_F(PactAddTest, AnAddStoresTheContractWithItsDetailsAndTheListShowsItAtOnce) {
  OpenDialog(1);
  TDialogScript script;
  Fill("HT20", "新建合同", "2500.5");
  TypeIntoEdit(Dlg->mmPactNote, "说明文字");
  Dlg->dtBeginDate->SetDate(Today + 3);
  AddFund("收款", "1000");
  AddDelivery("钢筋");
  Attach(MakeFile("合同正文.txt", "正文"), script);
  Save();
  EXPECT_EQ(script.Unanswered(), 0) << AskedTexts(script);
  EXPECT_TRUE(Shown().empty()) << Shown()[0];
  EXPECT_EQ(Row("select PactName, PactType, typecode, PactMoney, CustName, PrjName, PrjMan, PactNote, f_check from "
                "t_pact where PactCode='HT20'"),
            "新建合同|施工合同|0101|2500.5|华建集团|滨江大桥|张工|说明文字|未执行");
  // Whole days: dated today, it is in the list's range that ends today.
  TADOQuery* q = Frm_Data->Qry_Str;
  Frm_Data->OpenQuery(q, "select PactDate, BeginDate from t_pact where PactCode='HT20'");
  EXPECT_EQ(q->FieldByName("PactDate")->AsDateTime(), Today);
  EXPECT_EQ(q->FieldByName("BeginDate")->AsDateTime(), Today + 3);
  EXPECT_EQ(Count("t_pact_zj", "HT20"), 1);
  EXPECT_EQ(Count("t_pact_jh", "HT20"), 1);
  EXPECT_EQ(Count("t_pact_doc", "HT20"), 1);
  EXPECT_EQ(Db("select DocPath from t_pact_doc where PactCode='HT20'"),
            pactfixture::DocumentPath(Folder.Path(), "合同正文.txt"));
  EXPECT_EQ(Folder.Read("PactDoc/合同正文.txt"), "正文");
  EXPECT_FALSE(DirectoryExists(Folder / "PactDoc/~staging")) << "nothing waits in staging after the commit";
  // The list's own query holds the new row, its footer counts it.
  EXPECT_EQ(Frm_Data->qryPact->FieldByName("PactCode")->AsString(), "HT20");
  EXPECT_EQ(ListFooter(), "1402501") << "the fixture's 1400000.5 and the new 2500.5";
  frmPact->Btn_SearchClick(nullptr);
  EXPECT_TRUE(Frm_Data->qryPact->Locate("PactCode", "HT20", {})) << "a search for today finds it";
  // The dialog stays open for the next contract, cleared.
  EXPECT_TRUE(Dlg->Visible());
  EXPECT_EQ(Dlg->edtPactCode->Text(), "");
  EXPECT_EQ(Dlg->edtTypeCode->Text(), "");
  EXPECT_EQ(Dlg->mmPactNote->Text(), "");
  EXPECT_TRUE(Frm_Data->qryPactZJAdd->IsEmpty());
}

TEST_F(PactAddTest, TwoContractsInOneShowingEachKeepOnlyTheirOwnRows) {
  OpenDialog(1);
  TDialogScript script;
  Fill("HT-A", "合同A");
  AddFund("收款", "100");
  AddFund("付款", "40");
  Attach(MakeFile("A附件.txt", "a"), script);
  Save();
  Fill("HT-B", "合同B");
  AddDelivery("水泥");
  Save();
  EXPECT_TRUE(Shown().empty()) << Shown()[0];
  struct Expect {
    const char* Code;
    int Funds, Deliveries, Documents;
  } expect[] = {{"HT-A", 2, 0, 1}, {"HT-B", 0, 1, 0}};
  for (const Expect& e : expect) {
    SCOPED_TRACE(e.Code);
    EXPECT_EQ(Count("t_pact", e.Code), 1);
    EXPECT_EQ(Count("t_pact_zj", e.Code), e.Funds);
    EXPECT_EQ(Count("t_pact_jh", e.Code), e.Deliveries);
    EXPECT_EQ(Count("t_pact_doc", e.Code), e.Documents);
  }
  EXPECT_EQ(Db("select count(*) from t_pact_zj where PactCode is null or PactCode=''"), "0");
}

TEST_F(PactAddTest, AFundRowTypedIntoTheGridIsSavedWithTheContract) {
  OpenDialog(1);
  Fill("HT30", "键入合同");
  Dlg->pcDetail->SetActivePage(Dlg->tsPactZJ);
  Application->ProcessMessages();
  ClickOn(Dlg->Button2);
  TDBGridEh* g = Dlg->dgPactZJAdd;
  int money = -1;
  for (int i = 0; i < g->Columns()->Count(); ++i)
    if (SameText(g->Columns()->Items(i)->FieldName(), "money")) money = i;
  ASSERT_GE(money, 0);
  ClickCell(g, money, 0);
  Type("1234.5");
  Key(Qt::Key_Return);
  Save();
  EXPECT_TRUE(Shown().empty()) << Shown()[0];
  EXPECT_EQ(Db("select money from t_pact_zj where PactCode='HT30'"), "1234.5");
}

TEST_F(PactAddTest, AnEditRefusesAnotherContractsCodeAndMovesEveryDetailToANewCode) {
  OpenToEdit("HT'03");
  // Its own code and name are no duplicates; another contract's are.
  TypeIntoEdit(Dlg->edtPactCode, "HT02");
  Save();
  ASSERT_EQ(Shown(), std::vector<String>{"合同编号重复，请您重新录入！"});
  EXPECT_TRUE(Dlg->edtPactCode->Focused());
  EXPECT_EQ(Count("t_pact", "HT'03"), 1);
  Folder.Messages.clear();
  TypeIntoEdit(Dlg->edtPactCode, "HT'03");
  TypeIntoEdit(Dlg->edtPactName, "水泥采购合同");
  Save();
  ASSERT_EQ(Shown(), std::vector<String>{"合同名称重复，请您重新录入！"});
  EXPECT_TRUE(Dlg->edtPactName->Focused());

  Folder.Messages.clear();
  TypeIntoEdit(Dlg->edtPactName, "外墙工程合同");
  TypeIntoEdit(Dlg->edtPactCode, "HT'33");
  TypeIntoEdit(Dlg->mmPactCNote, "改了编号");
  Save();
  EXPECT_TRUE(Shown().empty()) << Shown()[0];
  EXPECT_FALSE(Dlg->Visible()) << "an edit closes after its save";
  EXPECT_EQ(Count("t_pact", "HT'03"), 0);
  for (const char* t : {"t_pact_zj", "t_pact_jh", "t_pact_doc", "t_pact_fp"}) {
    EXPECT_EQ(Count(t, "HT'03"), 0) << t;
    EXPECT_EQ(Count(t, "HT'33"), 1) << t;
  }
  EXPECT_EQ(Row("select typecode, PactCNote from t_pact where PactCode='HT''33'"), "01|改了编号");
  // The list follows: the contract's details and notes under its new code.
  EXPECT_EQ(frmPact->edtPactCode->Text(), "HT'33");
  EXPECT_EQ(Frm_Data->qryPactFP->RecordCount(), 1);
  EXPECT_EQ(frmPact->mmPactCNote->Text(), "改了编号");
}

// An amount that is no number fails the save as any error does, and the second line says
// which field holds what; a database refusal is the failure alone.
TEST_F(PactAddTest, AnAmountThatIsNoNumberIsNamedWithItsFieldUnderTheFailure) {
  std::vector<String> before = Tables();
  struct Case {
    const char* Amount;
    const char* Shown;
  };
  const Case cases[] = {
      {"abc", "操作失败！\n合同金额: 'abc' 不是有效的数值"},
      {"12abc", "操作失败！\n合同金额: '12abc' 不是有效的数值"},
      {"   ", "操作失败！\n合同金额: '   ' 不是有效的数值"},
  };
  OpenDialog(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Amount);
    Fill("HT41", "金额合同", c.Amount);
    Folder.Messages.clear();
    Save();
    EXPECT_EQ(Shown(), std::vector<String>{c.Shown});
    EXPECT_EQ(Tables(), before);
  }
  RefuseSecondFundRow(true);
  Fill("HT41", "金额合同", "100");
  AddFund("收款", "1");
  AddFund("收款", "2");
  Folder.Messages.clear();
  Save();
  EXPECT_EQ(Shown(), std::vector<String>{"操作失败！"});
  EXPECT_EQ(Tables(), before);
}

TEST_F(PactAddTest, AFailedSaveChangesNothingKeepsTheInputAndTheFixedSaveStoresOnce) {
  RefuseSecondFundRow(true);
  OpenDialog(1);
  TDialogScript script;
  Fill("HT40", "失败合同", "abc");
  AddFund("收款", "100");
  AddFund("付款", "50");
  AddDelivery("钢材");
  Attach(MakeFile("失败附件.txt", "f"), script);
  std::vector<String> tables = Tables();
  TFolderContent files = PactDoc();
  String footer = ListFooter();
  int listed = Frm_Data->qryPact->RecordCount();

  struct Attempt {
    const char* Why;
    std::function<void()> Fix;  // what the next attempt changes first
  } attempts[] = {
      {"an amount that is not a number", [] {}},
      {"a database refusal of the second fund row", [&] { TypeIntoEdit(Dlg->edtPactMoney, "9000"); }},
  };
  for (const Attempt& a : attempts) {
    SCOPED_TRACE(a.Why);
    a.Fix();
    Folder.Messages.clear();
    script.Button(IDOK);
    Save();
    ASSERT_TRUE(StartsStr("操作失败！", script.Asked().back().Text));
    EXPECT_EQ(Tables(), tables);
    EXPECT_EQ(PactDoc(), files);
    EXPECT_EQ(ListFooter(), footer);
    EXPECT_EQ(Frm_Data->qryPact->RecordCount(), listed) << "no failed row stays in the list";
    EXPECT_EQ(Frm_Data->qryPact->State(), dsBrowse);
    // The input stays for another try.
    EXPECT_EQ(Dlg->edtPactCode->Text(), "HT40");
    EXPECT_EQ(Dlg->edtCustName->Text(), "华建集团");
    EXPECT_EQ(Frm_Data->qryPactZJAdd->RecordCount(), 2);
    EXPECT_EQ(Frm_Data->qryPactJHAdd->RecordCount(), 1);
    EXPECT_EQ(Frm_Data->qryPactDocAdd->RecordCount(), 1);
  }
  RefuseSecondFundRow(false);
  Save();
  EXPECT_EQ(script.Unanswered(), 0);
  EXPECT_EQ(Count("t_pact", "HT40"), 1);
  EXPECT_EQ(Count("t_pact_zj", "HT40"), 2);
  EXPECT_EQ(Count("t_pact_jh", "HT40"), 1);
  EXPECT_EQ(Count("t_pact_doc", "HT40"), 1);
  EXPECT_EQ(Db("select PactMoney from t_pact where PactCode='HT40'"), "9000");
  EXPECT_EQ(Folder.Read("PactDoc/失败附件.txt"), "f");
  EXPECT_EQ(Frm_Data->qryPact->RecordCount(), listed + 1);
}

// ---------------------------------------------------------------- attachments

TEST_F(PactAddTest, AttachingStagesTheCopyAndRefusesTakenNamesAndUnreadableFiles) {
  OpenDialog(1);
  TFolderContent before = PactDoc();
  TDialogScript script;
  String quoted = MakeFile("合同'A.txt", "甲");
  Attach(quoted, script);
  EXPECT_EQ(Frm_Data->qryPactDocAdd->RecordCount(), 1);
  EXPECT_EQ(Folder.Read("PactDoc/~staging/合同'A.txt"), "甲");
  EXPECT_FALSE(FileExists(Folder / "PactDoc/合同'A.txt")) << "in place only after the commit";

  struct Refused {
    const char* Why;
    String Path;
    String Message;
  } refused[] = {
      {"the same name again before the save", MakeFile("合同'A.txt", "乙"), TfrmPactAdd::DuplicateFileText},
      {"a name stored for another contract", MakeFile("施工图.txt", "新"), TfrmPactAdd::DuplicateFileText},
      {"a file that cannot be read", Outside / "断开.txt", String(TfrmPactAdd::CopyFailedText) + Outside / "断开.txt"},
  };
  fs::create_symlink(Outside / "nowhere", fs::path(Outside / "断开.txt"));
  for (const Refused& r : refused) {
    SCOPED_TRACE(r.Why);
    Attach(r.Path, script, 1);
    ASSERT_EQ(script.Asked().back().Kind, dkMessageBox);
    EXPECT_EQ(script.Asked().back().Text, r.Message);
    EXPECT_EQ(script.Asked().back().Caption, "提示");
    EXPECT_EQ(Frm_Data->qryPactDocAdd->RecordCount(), 1) << "no row";
  }
  EXPECT_EQ(Folder.Read("PactDoc/~staging/合同'A.txt"), "甲") << "the refused copy made none";
  EXPECT_EQ(Folder.Read("PactDoc/施工图.txt"), "文件 施工图.txt");
  TFolderContent staged = before;
  staged["~staging"] = "<folder>";
  staged["~staging/合同'A.txt"] = "甲";
  EXPECT_EQ(PactDoc(), staged) << "no half-written copy is left either";
  EXPECT_EQ(script.Unanswered(), 0);
}

TEST_F(PactAddTest, ClosingWithoutASaveLeavesTheFolderAndTheStoredDocumentsAsTheyWere) {
  TFolderContent before = PactDoc();
  std::vector<String> tables = Tables();
  {
    OpenDialog(1);
    TDialogScript script;
    Attach(MakeFile("未保存.txt", "x"), script);
    ClickOn(Dlg->btnClose);
    EXPECT_FALSE(Dlg->Visible());
    EXPECT_EQ(PactDoc(), before) << "the staged copy went with the window";
  }
  {
    OpenToEdit("HT01");
    Dlg->pcDetail->SetActivePage(Dlg->tsPactDoc);
    ASSERT_TRUE(Frm_Data->qryPactDocAdd->Locate("DocName", "施工图.txt", {}));
    ClickOn(Dlg->Button5);
    EXPECT_EQ(Frm_Data->qryPactDocAdd->RecordCount(), 1);
    EXPECT_TRUE(FileExists(Folder / "PactDoc/施工图.txt")) << "the file waits for the commit";
    ClickOn(Dlg->btnClose);
  }
  EXPECT_EQ(PactDoc(), before);
  EXPECT_EQ(Tables(), tables);
}

TEST_F(PactAddTest, ADocumentDeletedAndSavedLosesRowAndFileTogether) {
  OpenToEdit("HT01");
  ASSERT_TRUE(Frm_Data->qryPactDocAdd->Locate("DocName", "施工图.txt", {}));
  ClickOn(Dlg->Button5);
  Save();
  EXPECT_TRUE(Shown().empty()) << Shown()[0];
  EXPECT_EQ(Db("select count(*) from t_pact_doc where DocName='施工图.txt'"), "0");
  EXPECT_FALSE(FileExists(Folder / "PactDoc/施工图.txt"));
  EXPECT_EQ(Folder.Read("PactDoc/补充协议.txt"), "文件 补充协议.txt") << "the other document stays";
  EXPECT_FALSE(DirectoryExists(Folder / "PactDoc/~staging"));
}

// A save that fails keeps a deleted document's file where its row still is.
TEST_F(PactAddTest, AFailedSaveGivesADeletedDocumentItsFileBack) {
  OpenToEdit("HT01");
  TFolderContent before = PactDoc();
  ASSERT_TRUE(Frm_Data->qryPactDocAdd->Locate("DocName", "施工图.txt", {}));
  ClickOn(Dlg->Button5);
  TypeIntoEdit(Dlg->edtPactMoney, "abc");
  Save();
  EXPECT_EQ(Shown(), std::vector<String>{"操作失败！\n合同金额: 'abc' 不是有效的数值"});
  EXPECT_EQ(PactDoc(), before);
  EXPECT_EQ(Count("t_pact_doc", "HT01"), 2);
}

TEST(AttachmentRecovery, StagedFilesMoveInWithTheirRowsAndEverythingElseGoes) {
  RenewApplication();
  TProgramFolder folder;
  Application->CreateForm<TFrm_Data>(&Frm_Data);
  Frm_Data->ADOConnection1->Execute(
      "insert into t_pact_doc (PactCode, DocName, DocPath) values ('HT01', '已存.txt', 'x'), ('HT01', '替换.txt', 'y')");
  folder.Write("PactDoc/~staging/已存.txt", "committed");
  folder.Write("PactDoc/~staging/替换.txt", "new");
  folder.Write("PactDoc/替换.txt", "old");
  folder.Write("PactDoc/~staging/无行.txt", "orphan");
  folder.Write("PactDoc/~staging/.无行.txt.Ab12Cd", "half");
  folder.Write("PactDoc/其他.txt", "kept");
  RecoverAllAttachments();
  EXPECT_EQ(folder.Read("PactDoc/已存.txt"), "committed");
  EXPECT_EQ(folder.Read("PactDoc/替换.txt"), "new");
  EXPECT_EQ(folder.Read("PactDoc/其他.txt"), "kept") << "files outside staging are not its business";
  EXPECT_FALSE(FileExists(folder / "PactDoc/无行.txt"));
  EXPECT_FALSE(DirectoryExists(folder / "PactDoc/~staging"));
  RecoverAllAttachments();  // nothing left to do, and no folder made
  EXPECT_FALSE(DirectoryExists(folder / "PrjDoc/~staging"));
  RenewApplication();
}

// ---------------------------------------------------------------- pickers

TEST_F(PactAddTest, ThePickerSearchesHandsTheNameBackAndCloses) {
  OpenDialog(1);
  Dlg->edtCustName->SetText("原来的客户");
  auto search = [](TfrmSelect* p, const String& Key) {
    ClickOn(p->edtKey);
    TypeOver(Key);
    ClickOn(p->Btn_Search);
  };
  auto doubleClickGrid = [](TfrmSelect* p) {
    TRect r = p->dgSelect->CellRect(p->dgSelect->DataToRawColumn(0), p->dgSelect->TopDataOffset());
    TPoint c = Middle(r);
    guitest::Press(p->dgSelect, c, Qt::LeftButton, 1000);
    guitest::Release(p->dgSelect, c);
    guitest::SendMouse(p->dgSelect, QEvent::MouseButtonDblClick, c, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
    guitest::Release(p->dgSelect, c);
    Application->ProcessMessages();
  };
  // A key that matches nothing: an empty list whose double click empties the edit.
  {
    TModalSteps steps({[&](TCustomForm* m) {
      auto* p = dynamic_cast<TfrmSelect*>(m);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->Caption(), "客户名称选择");
      EXPECT_EQ(p->StatusBar1->Panels()->Items(1)->Text(), "您可以双击表格选择添加内容");
      EXPECT_EQ(p->cmbField->Text(), "客户名称");
      EXPECT_EQ(Frm_Data->qrySelect->RecordCount(), 3);
      search(p, "不存在的客户");
      EXPECT_EQ(p->StatusBar1->Panels()->Items(0)->Text(), "当前共有 0 条记录");
      doubleClickGrid(p);
    }});
    ClickOn(Dlg->btnSelectCust);
    EXPECT_FALSE(steps.Overran());
    EXPECT_EQ(steps.Met().size(), 1u);
  }
  EXPECT_EQ(Dlg->edtCustName->Text(), "");
  // A name with a quote is found and handed back.
  {
    TModalSteps steps({[&](TCustomForm* m) {
      auto* p = static_cast<TfrmSelect*>(m);
      search(p, "O'Hara");
      EXPECT_EQ(p->StatusBar1->Panels()->Items(0)->Text(), "当前共有 1 条记录");
      doubleClickGrid(p);
    }});
    ClickOn(Dlg->btnSelectCust);
    EXPECT_FALSE(steps.Overran());
  }
  EXPECT_EQ(Dlg->edtCustName->Text(), "O'Hara 建设");
  EXPECT_EQ(TModalSteps::ModalForm(), nullptr) << "the picker closed";
}

TEST_F(PactAddTest, EachPickerListsItsTableAndCloseHandsNothingBack) {
  Exec("insert into dict_emp (EmpName, EmpSex) values ('张工', '男'), ('李工', '女')");
  Exec("insert into t_custom (CustCode, CustName) values ('KH04', '无联系人公司')");
  OpenDialog(1);
  Dlg->edtPrjMan->SetText("原经理");
  struct Case {
    TButton* TfrmPactAddComponents::*Button;
    const char* Caption;
    const char* Table;
    const char* List;
    const char* Result;
    int Rows;
  } cases[] = {
      {&TfrmPactAddComponents::btnSelectCust, "客户名称选择", "t_custom", "custselect", "custname", 4},
      {&TfrmPactAddComponents::btnSelectPrj, "项目名称选择", "dict_prj", "prjselect", "prjname", 2},
      {&TfrmPactAddComponents::btnSelectEmp, "项目经理选择", "dict_emp", "empselect", "empname", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Caption);
    TModalSteps steps({[&](TCustomForm* m) {
      auto* p = dynamic_cast<TfrmSelect*>(m);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->Caption(), c.Caption);
      EXPECT_EQ(p->SourceTable, c.Table);
      EXPECT_EQ(p->ListName, c.List);
      EXPECT_EQ(p->ResultField, c.Result);
      EXPECT_EQ(Frm_Data->qrySelect->RecordCount(), c.Rows);
      EXPECT_GT(p->dgSelect->Columns()->Count(), 0);
      ClickOn(p->btnCLose);
    }});
    ClickOn(Dlg.get()->*c.Button);
    EXPECT_FALSE(steps.Overran());
  }
  EXPECT_EQ(Dlg->edtPrjMan->Text(), "原经理") << "closing hands nothing back";
}

TEST_F(PactAddTest, AnEmptyKeyListsRowsWhoseSearchColumnIsEmptyAndDatesAreSearchFields) {
  Exec("insert into t_custom (CustCode, CustName) values ('KH04', '无联系人公司')");
  OpenDialog(1);
  TModalSteps steps({[&](TCustomForm* m) {
    auto* p = static_cast<TfrmSelect*>(m);
    std::vector<String> fields;
    for (int i = 0; i < p->cmbField->Items()->Count(); ++i) fields.push_back(p->cmbField->Items()->Strings(i));
    EXPECT_EQ(fields, (std::vector<String>{"客户名称", "客户编号", "客户类型", "主要联系人", "办公电话", "地址"}));
    p->cmbField->SetItemIndex(3);
    ClickOn(p->Btn_Search);
    EXPECT_EQ(Frm_Data->qrySelect->RecordCount(), 4) << "the customer without a contact too";
    ClickOn(p->edtKey);
    Type("Sean");
    ClickOn(p->Btn_Search);
    EXPECT_EQ(Frm_Data->qrySelect->RecordCount(), 1);
    EXPECT_TRUE(p->Btn_Search->Enabled());
    ClickOn(p->btnCLose);
  }});
  ClickOn(Dlg->btnSelectCust);
  EXPECT_FALSE(steps.Overran());
}

TEST_F(PactAddTest, ADateColumnOfTheProjectPickerIsSearchedByItsText) {
  OpenDialog(1);
  TModalSteps steps({[&](TCustomForm* m) {
    auto* p = static_cast<TfrmSelect*>(m);
    p->cmbField->SetItemIndex(p->cmbField->Items()->IndexOf("起始日期"));
    ClickOn(p->edtKey);
    Type(FormatDateTime("yyyy-mm-dd", Today - 10));
    ClickOn(p->Btn_Search);
    ASSERT_EQ(Frm_Data->qrySelect->RecordCount(), 1);
    EXPECT_EQ(Frm_Data->qrySelect->FieldByName("PrjName")->AsString(), "O'Hara 广场");
    ClickOn(p->btnCLose);
  }});
  ClickOn(Dlg->btnSelectPrj);
  EXPECT_FALSE(steps.Overran());
}

TEST_F(PactAddTest, APickReachesEveryOpenDialogOfItsTableAndNoneThatIsGone) {
  OpenDialog(1);
  auto other = std::make_unique<TEdit>(nullptr);
  auto dialog = std::make_unique<TComponent>(nullptr);
  RegisterRecordPickTarget("t_custom", dialog.get(), other.get());
  EXPECT_EQ(DeliverRecordPick("t_custom", "华建集团"), 2);
  EXPECT_EQ(other->Text(), "华建集团");
  EXPECT_EQ(Dlg->edtCustName->Text(), "华建集团");
  EXPECT_EQ(DeliverRecordPick("dict_prj", "滨江大桥"), 1) << "the project is the contract dialog's alone";
  dialog.reset();
  EXPECT_EQ(DeliverRecordPick("t_custom", "绿源科技"), 1);
  Dlg->Close();
  EXPECT_EQ(DeliverRecordPick("t_custom", "绿源科技"), 0) << "a closed dialog takes no pick";
}

TEST_F(PactAddTest, TheTypeComesFromTheCategoryWindow) {
  OpenDialog(1);
  TModalSteps steps({[&](TCustomForm* m) {
    auto* w = dynamic_cast<TfrmBasic*>(m);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->PageCaption, "合同类别");
    EXPECT_EQ(w->SelectKind, "pacttype");
    TTreeNode* node = nullptr;
    for (int i = 0; i < w->tvBasic->Items()->Count(); ++i)
      if (w->tvBasic->Items()->Item(i)->Text() == "0101-施工合同") node = w->tvBasic->Items()->Item(i);
    ASSERT_NE(node, nullptr);
    ClickNode(w->tvBasic, node);
    DoubleClickNode(w->tvBasic, node);
  }});
  ClickOn(Dlg->btnPactType);
  EXPECT_FALSE(steps.Overran());
  EXPECT_EQ(Dlg->edtPactType->Text(), "施工合同");
  EXPECT_EQ(Dlg->edtTypeCode->Text(), "0101");
}

// ---------------------------------------------------------------- the main window's actions

TEST_F(PactAddTest, TheActionsOpenTheWindowModallyInTheirModes) {
  // Each person at the keyboard goes with the window it served: the next window may take the
  // freed one's address.
  {
    TModalSteps add({[&](TCustomForm* m) {
                       auto* d = dynamic_cast<TfrmPactAdd*>(m);
                       ASSERT_NE(d, nullptr);
                       EXPECT_EQ(frmPactAdd, d);
                       EXPECT_EQ(d->AddMode, 1);
                       EXPECT_FALSE(d->tsPactCNote->TabVisible());
                       EXPECT_EQ(d->edtPactCode->Text(), "");
                       EXPECT_EQ(d->Owner(), nullptr);
                     },
                     [](TCustomForm* m) { ClickOn(static_cast<TfrmPactAdd*>(m)->btnClose); }});
    Frm_Main->PactAdd->Execute();
    EXPECT_FALSE(add.Overran());
    EXPECT_EQ(frmPactAdd, nullptr);
  }
  ASSERT_TRUE(Frm_Data->qryPact->Locate("PactCode", "HT02", {}));
  {
    TModalSteps edit({[&](TCustomForm* m) {
                        auto* d = static_cast<TfrmPactAdd*>(m);
                        EXPECT_EQ(d->AddMode, 0);
                        EXPECT_EQ(d->OldCode, "HT02");
                        EXPECT_TRUE(d->tsPactCNote->TabVisible());
                        TypeIntoEdit(d->edtPactMoney, "130000");
                      },
                      [](TCustomForm* m) { ClickOn(static_cast<TfrmPactAdd*>(m)->btnPost); }});
    Frm_Main->PactEdit->Execute();
    EXPECT_FALSE(edit.Overran());
    EXPECT_EQ(edit.Met().size(), 2u) << "the save closed the window";
  }
  EXPECT_EQ(Db("select PactMoney from t_pact where PactCode='HT02'"), "130000");

  // Without a current contract there is nothing to edit.
  Frm_Data->OpenQuery(Frm_Data->qryPact, "select * from t_pact where 1=0");
  TModalSteps none({[](TCustomForm* m) { m->SetModalResult(mrCancel); }});
  Frm_Main->PactEdit->Execute();
  Application->ProcessMessages();
  EXPECT_TRUE(none.Met().empty());
}

}  // namespace

namespace {

TEST_F(PactAddTest, Screenshot) {
  OpenToEdit("HT01");
  Dlg->pcDetail->SetActivePage(Dlg->tsPactZJ);
  Application->ProcessMessages();
  ForceDirectories("screenshots");
  ASSERT_TRUE(GrabToPng(Dlg.get(), "screenshots/contract_edit.png"));
  EXPECT_GT(FileSize("screenshots/contract_edit.png"), 5000);
  TModalSteps steps({[&](TCustomForm* m) {
    ASSERT_TRUE(GrabToPng(m, "screenshots/record_picker.png"));
    m->SetModalResult(mrCancel);
  }});
  ClickOn(Dlg->btnSelectPrj);
  EXPECT_GT(FileSize("screenshots/record_picker.png"), 5000);
}

}  // namespace
