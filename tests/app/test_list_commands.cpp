// The commands the lists share: the spreadsheet export (file names, refusals, the question
// and the office suite reading what was written) and a combo box filled from a table. The
// print preview is in test_list_print.cpp.
#include "AppWindows.h"

#include "OfficeConvert.h"
#include "ReadOnlyFolder.h"
#include "core/StrUtils.h"
#include "grid/DBGridEh.h"
#include "gui/ComboBox.h"
#include "gui/Dialogs.h"
#include "gui/Shell.h"
#include "core/StringList.h"

namespace {

// A list of three contracts on a window of its own, its columns those of the contract list.
class ListCommandsTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    Exec("insert into t_pact (PactCode, PactName, PactMoney, CustName) values ('HT01', '办公楼合同', 1200.5, '甲公司')");
    Exec("insert into t_pact (PactCode, PactName, PactMoney, CustName) values ('HT02', '道路工程', 300, '乙''方')");
    Exec("insert into t_pact (PactCode, PactName, PactMoney, CustName) values ('HT03', '桥梁', 0, '丙')");
    Host = new TForm(Application);
    Host->SetBounds(0, 0, 600, 300);
    Grid = MakeGrid("select * from t_pact order by PactCode", "pact");
    Host->Show();
  }
  void TearDown() override {
    delete Host;
    AppWindowsTest::TearDown();
  }
  TDBGridEh* MakeGrid(const String& sql, const String& list) {
    auto* query = new TADOQuery(Host);
    query->SetConnection(Frm_Data->ADOConnection1);
    auto* source = new TDataSource(Host);
    source->SetDataSet(query);
    auto* grid = new TDBGridEh(Host);
    grid->SetParent(Host);
    grid->SetBounds(0, 0, 580, 280);
    grid->SetDataSource(source);
    Frm_Data->OpenQuery(query, sql);
    Frm_Main->BuildGridColumns(grid, query, list);
    return grid;
  }
  TDataSet* Query() { return Grid->DataSource()->DataSet(); }
  // The export as an action runs it: an error reaches the application's handler.
  void ExportAsAction() {
    try {
      Frm_Main->ExportGridToExcel(Query(), Grid);
    } catch (...) {
      Application->HandleException(Frm_Main);
    }
  }
  static std::vector<TDialogKind> Kinds(const TDialogScript& s) {
    std::vector<TDialogKind> k;
    for (const TDialogRequest& r : s.Asked()) k.push_back(r.Kind);
    return k;
  }

  TForm* Host = nullptr;
  TDBGridEh* Grid = nullptr;
};

// ---------------------------------------------------------------- export

TEST_F(ListCommandsTest, TheFileIsNamedAsTypedWithXlsAddedWhenTheNameLacksItExactly) {
  struct Case {
    String Typed, Written;
  };
  const Case cases[] = {
      {Folder / "list.XLS", Folder / "list.XLS.xls"},
      {Folder / "list.xls.bak", Folder / "list.xls.bak"},
      {Folder / "report.xls", Folder / "report.xls"},
      {"  " + Folder / "padded" + " ", Folder / "padded.xls"},
      {Folder / "合同列表", Folder / "合同列表.xls"},
  };
  Frm_Main->ExportFileName = "合同列表";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed);
    String offered;
    TDialogScript script;
    script.Answer([&](TDialogRequest& r) {
      if (r.Kind != dkSaveFile) return false;
      offered = r.Value;
      EXPECT_EQ(static_cast<TSaveDialog*>(r.Dialog)->Filter(), "EXCEL文件(*.xls)|*.xls");
      r.Value = c.Typed;
      r.Result = 1;
      return true;
    });
    script.Button(IDNO);
    Frm_Main->ExportGridToExcel(Query(), Grid);
    EXPECT_EQ(offered, "合同列表");
    ASSERT_EQ(Kinds(script), (std::vector<TDialogKind>{dkSaveFile, dkMessageBox}));
    const TDialogRequest& question = script.Asked()[1];
    EXPECT_EQ(question.Text, "文件" + c.Written + "已建立，是否打开文件？");
    EXPECT_EQ(question.Caption, "提示");
    EXPECT_EQ(question.Flags, MB_YESNO | MB_ICONWARNING);
    EXPECT_GT(FileSize(c.Written), 0);
  }
  EXPECT_EQ(TFrm_Main::ExcelFileName("   "), "");
}

TEST_F(ListCommandsTest, YesOpensTheFileAndCancelOrNoNameWritesNothing) {
  std::vector<String> opened;
  TShellHandler previous = SetShellHandler([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  {
    TDialogScript script;
    script.File(Folder / "open.xls").Button(IDYES);
    Frm_Main->ExportGridToExcel(Query(), Grid);
    EXPECT_EQ(opened, std::vector<String>{ShellTargetUrl(Folder / "open.xls")});
  }
  for (bool cancel : {true, false}) {
    TDialogScript script;
    if (cancel) script.Cancel();
    else script.File("");
    Frm_Main->ExportGridToExcel(Query(), Grid);
    EXPECT_EQ(Kinds(script), std::vector<TDialogKind>{dkSaveFile});
  }
  SetShellHandler(previous);
  EXPECT_EQ(opened.size(), 1u);
  EXPECT_FALSE(FileExists(Folder / ".xls"));
}

TEST_F(ListCommandsTest, AClosedOrEmptyListIsToldAndEndsWithoutAnErrorBox) {
  struct Case {
    const char* Name;
    std::function<void()> Prepare;
    const char* Message;
  };
  const Case cases[] = {
      {"closed", [&] { Query()->Close(); }, "数据没有显示不能导出成Excel文件!"},
      {"empty", [&] { Frm_Data->OpenQuery(static_cast<TADOQuery*>(Query()), "select * from t_pact where 1=0"); },
       "没有数据,不能导出成Excel文件!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Prepare();
    TDialogScript script;
    script.Button(IDOK);
    EXPECT_THROW(Frm_Main->ExportGridToExcel(Query(), Grid), EAbort);
    ExportAsAction();  // the same again, as the action runs it: no error box follows
    ASSERT_EQ(script.Asked().size(), 2u);
    for (const TDialogRequest& r : script.Asked()) {
      EXPECT_EQ(r.Kind, dkMessageBox);
      EXPECT_EQ(r.Text, c.Message);
      EXPECT_EQ(r.Flags, MB_OK | MB_ICONINFORMATION);
    }
  }
}

TEST_F(ListCommandsTest, AFolderThatCannotBeWrittenFailsAndAsksNothing) {
  TReadOnlyFolder locked(Folder / "locked");
  ASSERT_FALSE(locked.Writable()) << "this machine cannot make a folder read-only";
  TDialogScript script;
  script.File(locked.Path() + "/list.xls").Button(IDOK);
  ExportAsAction();
  ASSERT_EQ(Kinds(script), (std::vector<TDialogKind>{dkSaveFile, dkMessageBox}));
  EXPECT_NE(script.Asked()[1].Text.find("list.xls"), String::npos) << script.Asked()[1].Text;
  EXPECT_EQ(script.Asked()[1].Flags & MB_ICONMASK, MB_ICONERROR);
  EXPECT_FALSE(FileExists(locked.Path() + "/list.xls"));
}

TEST_F(ListCommandsTest, TheOfficeSuiteReadsTheExportedListWithItsChineseText) {
  TempFolder dir;
  TDialogScript script;
  script.File(dir / "合同").Button(IDNO);
  Frm_Main->ExportGridToExcel(Query(), Grid);
  String csv = ConvertWithOffice(dir, dir / "合同.xls", "csv:Text - txt - csv (StarCalc):44,34,76", ".csv");
  TStringList rows;
  rows.SetText(csv);
  std::vector<String> lines;
  for (int i = 0; i < rows.Count(); ++i) lines.push_back(rows.Strings(i));
  ASSERT_GE(lines.size(), 4u) << csv;
  EXPECT_TRUE(StartsStr("合同编号,合同名称,合同类型,合同金额,客户名称", lines[0])) << lines[0];
  EXPECT_TRUE(StartsStr("HT01,办公楼合同,,1200.5,甲公司", lines[1])) << lines[1];
  EXPECT_TRUE(StartsStr("HT02,道路工程,,300,乙'方", lines[2])) << lines[2];
  EXPECT_TRUE(StartsStr("HT03,桥梁,,0,丙", lines[3])) << lines[3];
}

// ---------------------------------------------------------------- combo boxes

TEST_F(ListCommandsTest, AComboTakesTheTrimmedSecondColumnInIdOrder) {
  Exec("create table t_list (id INTEGER, name TEXT(20), other TEXT(20))");
  Exec("insert into t_list (id, name, other) values (3, '  丙 ', 'x')");
  Exec("insert into t_list (id, name, other) values (1, '甲', 'y')");
  Exec("insert into t_list (id, name, other) values (2, 'B  ', 'z')");
  auto* combo = new TComboBox(Host);
  combo->SetParent(Host);
  combo->Items()->Add("left over");
  Frm_Main->FillComboFromTable(combo, "t_list");
  std::vector<String> items;
  for (int i = 0; i < combo->Items()->Count(); ++i) items.push_back(combo->Items()->Strings(i));
  EXPECT_EQ(items, (std::vector<String>{"甲", "B", "丙"}));
  // A table name cannot carry a statement of its own.
  EXPECT_THROW(Frm_Main->FillComboFromTable(combo, "t_list]; drop table t_pact; --"), EConvertError);
  EXPECT_EQ(Scalar("select count(*) from t_pact"), "3");
}

}  // namespace
