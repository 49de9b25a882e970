// The main window's deletes of contracts and projects over the contracts fixture, run from
// the lists' tool bars: the questions and their answers, the dependent rows that go in the
// same transaction and those that stay, a refusing trigger that leaves everything as it was,
// and the commands on a list's rows doing nothing while the list is closed.
#include "AppInput.h"
#include "PactTest.h"

#include "app/ufrmPact.h"
#include "app/ufrmPrj.h"
#include "core/DateUtils.h"
#include "grid/DBGridEh.h"
#include "gui/Dialogs.h"

#include <sqlite3.h>

#include <map>
#include <memory>

namespace {

using namespace appinput;

const char* const kContinue = "点击确定继续操作！";
const char* const kProjectInUse = "合同信息中含有该项目信息，点击确定继续操作！";
const char* const kDetailTables[] = {"t_pact_fp", "t_pact_doc", "t_pact_zj", "t_pact_jh"};

class ListDeletesTest : public PactFixtureTest {
protected:
  void SetUp() override {
    PactFixtureTest::SetUp();
    LoginAsAdminAndShow();
    ASSERT_NE(frmPact, nullptr);
  }

  String Db(const String& Sql) { return Scalar(Sql); }
  // Every row of the tables, for a delete that must change nothing.
  std::vector<String> Rows(std::initializer_list<const char*> Tables) {
    std::vector<String> all;
    TADOQuery* q = Frm_Data->Qry_Str;
    for (const char* t : Tables) {
      Frm_Data->OpenQuery(q, String("select * from ") + t);
      for (q->First(); !q->Eof(); q->Next()) {
        String row = t + String(":");
        for (int i = 0; i < q->Fields()->Count(); ++i) row += q->Fields()->Fields(i)->AsString() + "|";
        all.push_back(row);
      }
    }
    return all;
  }
  // The detail rows per contract code and table.
  std::map<String, int> DetailCounts() {
    std::map<String, int> counts;
    TADOQuery* q = Frm_Data->Qry_Str;
    for (const char* t : kDetailTables) {
      Frm_Data->OpenQuery(q, String("select PactCode, count(*) from ") + t + " group by PactCode");
      for (q->First(); !q->Eof(); q->Next())
        counts[t + String(":") + q->Fields()->Fields(0)->AsString()] = q->Fields()->Fields(1)->AsInteger();
    }
    return counts;
  }
  // Makes the row of Data whose Field is Value current by a click in Grid.
  void ClickRow(TDBGridEh* Grid, TDataSet* Data, const char* Field, const String& Value) {
    int record = 0;
    bool found = false;
    Data->DisableControls();
    String back = Data->Bookmark();
    for (Data->First(); !Data->Eof(); Data->Next(), ++record)
      if (Data->FieldByName(Field)->AsString() == Value) {
        found = true;
        break;
      }
    if (!back.empty()) Data->GotoBookmark(back);
    Data->EnableControls();
    ASSERT_TRUE(found) << Value;
    ClickCell(Grid, 0, record);
    ASSERT_EQ(Data->FieldByName(Field)->AsString(), Value);
  }
  void Refuse(const String& Trigger, const String& Body) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Folder / "DataBase/kelm.mdb").c_str(), &db), SQLITE_OK);
    String sql = "create trigger " + Trigger + " " + Body;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }
  static std::vector<String> Texts(const TDialogScript& Script) {
    std::vector<String> t;
    for (const TDialogRequest& r : Script.Asked()) t.push_back(r.Text);
    return t;
  }
  TfrmPrj* OpenProjects() {
    ClickOn(Frm_Main->ToolButton5);
    EXPECT_NE(frmPrj, nullptr);
    return frmPrj;
  }
  // Adds a contract with one row in each detail table.
  void AddContractWithDetails(const String& Code) {
    Exec("insert into t_pact (PactCode, PactName, PactType, typecode, PactMoney, CustName, PactDate, f_check) values (" +
         SqlStr(Code) + ", " + SqlStr("合同 " + Code) + ", '施工合同', '0101', 10, '华建集团', " + SqlDate(Today) +
         ", '执行中')");
    Exec("insert into t_pact_fp (PactCode, fpcode, fpmoney) values (" + SqlStr(Code) + ", 'FP9', 1)");
    Exec("insert into t_pact_doc (PactCode, DocName) values (" + SqlStr(Code) + ", " + SqlStr(Code + ".txt") + ")");
    Exec("insert into t_pact_zj (PactCode, zjtype, money) values (" + SqlStr(Code) + ", '收款', 1)");
    Exec("insert into t_pact_jh (PactCode, GoodsName) values (" + SqlStr(Code) + ", '砂石')");
  }
};

// ---------------------------------------------------------------- contracts

TEST_F(ListDeletesTest, AContractGoesWithItsFourDetailTablesAndNoOtherContractsRows) {
  // A code that would widen an unescaped statement to every row.
  AddContractWithDetails("x' or 'a'='a");
  ClickOn(frmPact->Btn_Search);
  std::map<String, int> before = DetailCounts();
  for (const char* code : {"HT01", "x' or 'a'='a"}) {
    SCOPED_TRACE(code);
    ClickRow(frmPact->dgPact, Frm_Data->qryPact, "PactCode", code);
    TDialogScript script;
    script.Button(IDYES);
    ClickOn(frmPact->ToolButton3);  // "删除"
    ASSERT_EQ(Texts(script), std::vector<String>{kContinue});
    EXPECT_EQ(script.Asked()[0].Caption, "提示");
    EXPECT_EQ(script.Asked()[0].Flags, MB_YESNO | MB_ICONWARNING);
    EXPECT_EQ(Db("select count(*) from t_pact where PactCode=" + SqlStr(code)), "0");
    for (const char* t : kDetailTables) before.erase(t + String(":") + code);
    EXPECT_EQ(DetailCounts(), before);
    // The list and its details are on the next contract, which keeps its rows.
    String current = Frm_Data->qryPact->FieldByName("PactCode")->AsString();
    EXPECT_NE(current, code);
    for (TADOQuery* q : {Frm_Data->qryPactZJ, Frm_Data->qryPactDoc, Frm_Data->qryPactJH, Frm_Data->qryPactFP})
      for (q->First(); !q->Eof(); q->Next()) EXPECT_EQ(q->FieldByName("PactCode")->AsString(), current);
    EXPECT_EQ(StrToInt(Db("select count(*) from t_pact_zj where PactCode=" + SqlStr(current))),
              Frm_Data->qryPactZJ->RecordCount());
  }
  // The copies of its documents stay on disk.
  EXPECT_TRUE(FileExists(pactfixture::DocumentPath(Folder.Path(), "施工图.txt")));
}

TEST_F(ListDeletesTest, NoToTheContractQuestionDeletesNothing) {
  ClickRow(frmPact->dgPact, Frm_Data->qryPact, "PactCode", "HT01");
  std::vector<String> before = Rows({"t_pact", "t_pact_fp", "t_pact_doc", "t_pact_zj", "t_pact_jh"});
  TDialogScript script;
  script.Button(IDNO);
  ClickOn(frmPact->ToolButton3);
  EXPECT_EQ(Texts(script), std::vector<String>{kContinue});
  EXPECT_EQ(Rows({"t_pact", "t_pact_fp", "t_pact_doc", "t_pact_zj", "t_pact_jh"}), before);
  EXPECT_EQ(Frm_Data->qryPact->FieldByName("PactCode")->AsString(), "HT01");
}

TEST_F(ListDeletesTest, ARefusedContractDeleteFailsWholeAndTheListStaysOnTheRow) {
  Refuse("refuse_jh", "before delete on t_pact_jh begin select raise(abort, '交货计划不可删除'); end");
  ClickRow(frmPact->dgPact, Frm_Data->qryPact, "PactCode", "HT01");
  std::vector<String> before = Rows({"t_pact", "t_pact_fp", "t_pact_doc", "t_pact_zj", "t_pact_jh"});
  int listed = Frm_Data->qryPact->RecordCount();
  TDialogScript script;
  script.Button(IDYES).Button(IDOK);
  ClickOn(frmPact->ToolButton3);
  EXPECT_EQ(Texts(script), (std::vector<String>{kContinue, "操作失败！"}));
  EXPECT_EQ(Rows({"t_pact", "t_pact_fp", "t_pact_doc", "t_pact_zj", "t_pact_jh"}), before);
  EXPECT_EQ(Frm_Data->qryPact->RecordCount(), listed);
  EXPECT_EQ(Frm_Data->qryPact->FieldByName("PactCode")->AsString(), "HT01");
  EXPECT_EQ(Frm_Data->qryPactZJ->RecordCount(), 3) << "its details still on show";
  EXPECT_EQ(Frm_Data->qryPact->State(), dsBrowse);
}

// ---------------------------------------------------------------- projects

TEST_F(ListDeletesTest, AProjectInUseIsDeletedOnlyAfterTwoYesesAndContractsKeepItsName) {
  Exec("insert into dict_prj_detail (PrjCode, DocName) values ('XM01', '桥梁图.txt')");
  Exec("insert into dict_prj_detail (PrjCode, DocName) values ('XM01', '预算.txt')");
  Exec("insert into dict_prj_detail (PrjCode, DocName) values ('XM''02', '广场图.txt')");
  TfrmPrj* w = OpenProjects();
  ClickRow(w->dgPrj, Frm_Data->qryPrj, "PrjCode", "XM01");
  std::vector<String> before = Rows({"dict_prj", "dict_prj_detail", "t_pact"});
  struct TCase {
    std::vector<int> Answers;
    std::vector<String> Asked;
  };
  const TCase refused[] = {
      {{IDNO}, {kProjectInUse}},
      {{IDYES, IDNO}, {kProjectInUse, kContinue}},
  };
  for (const TCase& c : refused) {
    TDialogScript script;
    for (int a : c.Answers) script.Button(a);
    ClickOn(w->ToolButton3);  // "删除"
    EXPECT_EQ(Texts(script), c.Asked);
    EXPECT_EQ(Rows({"dict_prj", "dict_prj_detail", "t_pact"}), before);
  }
  String contracts = Db("select count(*) from t_pact where PrjName='滨江大桥'");
  {
    TDialogScript script;
    script.Button(IDYES).Button(IDYES);
    ClickOn(w->ToolButton3);
    EXPECT_EQ(Texts(script), (std::vector<String>{kProjectInUse, kContinue}));
    EXPECT_EQ(script.Asked()[0].Flags, MB_YESNO | MB_ICONWARNING);
  }
  EXPECT_EQ(Db("select count(*) from dict_prj where PrjCode='XM01'"), "0");
  EXPECT_EQ(Db("select count(*) from dict_prj_detail where PrjCode='XM01'"), "0");
  EXPECT_EQ(Db("select count(*) from dict_prj_detail where PrjCode='XM''02'"), "1");
  EXPECT_EQ(Db("select count(*) from t_pact where PrjName='滨江大桥'"), contracts);
  EXPECT_NE(contracts, "0");
  // The list is on the other project, with its own documents.
  EXPECT_EQ(Frm_Data->qryPrj->FieldByName("PrjCode")->AsString(), "XM'02");
  EXPECT_EQ(Frm_Data->qryPrjDoc->RecordCount(), 1);
}

TEST_F(ListDeletesTest, AProjectNoContractNamesIsAskedOnce) {
  Exec("insert into dict_prj (PrjCode, PrjName, PrjDate) values ('XM09', '空地', " + SqlDate(Today) + ")");
  TfrmPrj* w = OpenProjects();
  ClickRow(w->dgPrj, Frm_Data->qryPrj, "PrjCode", "XM09");
  TDialogScript script;
  script.Button(IDYES);
  ClickOn(w->ToolButton3);
  EXPECT_EQ(Texts(script), std::vector<String>{kContinue});
  EXPECT_EQ(Db("select count(*) from dict_prj where PrjCode='XM09'"), "0");
}

TEST_F(ListDeletesTest, ARefusedProjectDeleteFailsWholeAndTheListStaysOnTheRow) {
  Exec("insert into dict_prj_detail (PrjCode, DocName) values ('XM01', '桥梁图.txt')");
  Refuse("refuse_prj", "before delete on dict_prj begin select raise(abort, '项目不可删除'); end");
  TfrmPrj* w = OpenProjects();
  ClickRow(w->dgPrj, Frm_Data->qryPrj, "PrjCode", "XM01");
  std::vector<String> before = Rows({"dict_prj", "dict_prj_detail", "t_pact"});
  TDialogScript script;
  script.Button(IDYES).Button(IDYES).Button(IDOK);
  ClickOn(w->ToolButton3);
  EXPECT_EQ(Texts(script), (std::vector<String>{kProjectInUse, kContinue, "操作失败！"}));
  EXPECT_EQ(Rows({"dict_prj", "dict_prj_detail", "t_pact"}), before);
  EXPECT_EQ(Frm_Data->qryPrj->RecordCount(), 2);
  EXPECT_EQ(Frm_Data->qryPrj->FieldByName("PrjCode")->AsString(), "XM01");
  EXPECT_EQ(Frm_Data->qryPrjDoc->RecordCount(), 1) << "its documents still on show";
}

// ---------------------------------------------------------------- closed lists

TEST_F(ListDeletesTest, CommandsOnAListsRowsDoNothingWhileTheListIsClosed) {
  TfrmPrj* w = OpenProjects();
  ClickRow(w->dgPrj, Frm_Data->qryPrj, "PrjCode", "XM01");
  ClickRow(frmPact->dgPact, Frm_Data->qryPact, "PactCode", "HT01");
  // The queries keep their rows after the windows go.
  frmPrj->Close();
  frmPact->Close();
  Application->ProcessMessages();
  ASSERT_EQ(frmPrj, nullptr);
  ASSERT_EQ(frmPact, nullptr);
  ASSERT_FALSE(Frm_Data->qryPact->IsEmpty());
  std::vector<String> before = Rows({"t_pact", "t_pact_zj", "dict_prj", "dict_prj_detail"});
  int forms = Screen->FormCount();
  TDialogScript script;
  TModalSteps steps({[](TCustomForm* m) { m->SetModalResult(mrCancel); }});
  for (TAction* a : {Frm_Main->PactEdit, Frm_Main->PactDel, Frm_Main->PactPrint, Frm_Main->PactExp, Frm_Main->PactChart,
                     Frm_Main->PrjEdit, Frm_Main->PrjDel, Frm_Main->PrjPrint, Frm_Main->PrjExp}) {
    SCOPED_TRACE(a->Name());
    a->Execute();
    Application->ProcessMessages();
  }
  EXPECT_TRUE(script.Asked().empty());
  EXPECT_TRUE(steps.Met().empty());
  EXPECT_EQ(Screen->FormCount(), forms);
  EXPECT_EQ(Rows({"t_pact", "t_pact_zj", "dict_prj", "dict_prj_detail"}), before);
}

}  // namespace
