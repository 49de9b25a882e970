// What the contract and project lists give out through the main window's commands, over the
// contracts fixture: each printed through the preview to PDF and read back with pdftotext
// under its own title alone, and each exported to a spreadsheet file that the office suite
// reads as the grid shows it; the export's file names, refusals, question and failures as the
// tool bars run them. The program's windows are made through ProgramStart.h: the data
// module's header and the print layer's cannot share a unit.
#include "ListOutputs.h"
#include "AppInput.h"
#include "PactFixture.h"
#include "ReadOnlyFolder.h"

#include "app/U_Main.h"
#include "app/ufrmPact.h"
#include "app/ufrmPrj.h"
#include "core/DateUtils.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "grid/DBGridEh.h"
#include "grid/PrViewEh.h"
#include "grid/PrViewFormEh.h"
#include "grid/PrnDbgeh.h"
#include "gui/Dialogs.h"
#include "gui/Shell.h"
#include "gui/StdCtrls.h"

#include <filesystem>

namespace {

using namespace appinput;

class PactPrjOutputsTest : public ListOutputFixture {
protected:
  void SetUp() override {
    ASSERT_TRUE(StartProgramWindows());
    pactfixture::Install(ProgramConnection(), Folder.Path(), Date());
    ASSERT_NE(frmPact, nullptr);
    frmPact->Btn_Search->Click();
    Frm_Main->Prj_M->Execute();
    Application->ProcessMessages();
    ASSERT_NE(frmPrj, nullptr);
  }
  // Brings the list window of a tool button to the front, as a person clicks into it first.
  static void ShowList(TControl* Button) {
    if (TCustomForm* f = GetParentForm(Button)) ShowExistingMDIChild(static_cast<TForm*>(f));
    Application->ProcessMessages();
  }
  std::vector<String> ExportedLines(TControl* Button, const String& Name) {
    {
      TDialogScript script;
      script.File(Dir / Name).Button(IDNO);
      ShowList(Button);
      ClickOn(Button);
      EXPECT_EQ(script.Unanswered(), 0);
    }
    return XlsLines(Name);
  }
  static std::vector<TDialogKind> Kinds(const TDialogScript& Script) {
    std::vector<TDialogKind> k;
    for (const TDialogRequest& r : Script.Asked()) k.push_back(r.Kind);
    return k;
  }

};

// ---------------------------------------------------------------- print

TEST_F(PactPrjOutputsTest, EachListPrintsToPdfUnderItsOwnTitleAlone) {
  struct TCase {
    TControl* Button;
    const char* Title;
    const char* Row;  // a text of the list's rows
    const char* Other;  // the other list's title
  };
  const TCase cases[] = {
      {frmPact->ToolButton5, "项目合同打印", "办公楼施工合同", "项目打印"},
      {frmPrj->ToolButton5, "项目打印", "滨江大桥", "项目合同打印"},
      {frmPact->ToolButton5, "项目合同打印", "外墙工程合同", "项目打印"},
  };
  int n = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Title);
    ShowList(c.Button);
    ClickOn(c.Button);
    EXPECT_EQ(Frm_Main->dgPrint->Title()->Count(), 1);
    std::string text = PreviewAsPdf("list" + std::to_string(n++));
    EXPECT_NE(text.find(c.Title), std::string::npos) << text;
    EXPECT_NE(text.find(c.Row), std::string::npos) << text;
    EXPECT_EQ(text.find(c.Other), std::string::npos) << "the second list lacks the first title:\n" << text;
  }
  EXPECT_EQ(Frm_Main->dgPrint->DBGridEh(), frmPact->dgPact);
}

// ---------------------------------------------------------------- export

TEST_F(PactPrjOutputsTest, TheOfficeSuiteReadsEachExportedListAsTheGridShowsIt) {
  std::vector<String> contracts = ExportedLines(frmPact->ToolButton6, "合同");
  EXPECT_EQ(contracts, GridLines(frmPact->dgPact));
  ASSERT_EQ(contracts.size(), 2u + pactfixture::kTodayCount);
  EXPECT_NE(contracts.back().find(pactfixture::kTodaySum), String::npos) << "the footer's sum";
  EXPECT_TRUE(StartsStr("合同编号,合同名称,合同类型,合同金额,客户名称,项目名称", contracts[0])) << contracts[0];
  std::vector<String> projects = ExportedLines(frmPrj->ToolButton6, "项目");
  EXPECT_EQ(projects, GridLines(frmPrj->dgPrj));
  ASSERT_EQ(projects.size(), 3u);
  EXPECT_TRUE(StartsStr("项目编号,项目名称,项目类型,客户名称,项目经理", projects[0])) << projects[0];
  EXPECT_TRUE(StartsStr("XM'02,O'Hara 广场,商业,O'Hara 建设,王工", projects[2])) << projects[2];
}

TEST_F(PactPrjOutputsTest, TheFileIsNamedAsTypedAndYesOpensItOnce) {
  struct TCase {
    String Typed, Written;
    int Answer;
  };
  const TCase cases[] = {
      {Dir / "list.XLS", Dir / "list.XLS.xls", IDNO},
      {Dir / "list.xls.bak", Dir / "list.xls.bak", IDNO},
      {Dir / "项目", Dir / "项目.xls", IDYES},
  };
  std::vector<String> opened;
  TShellHandler previous = SetShellHandler([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    TDialogScript script;
    script.File(c.Typed).Button(c.Answer);
    ClickOn(frmPrj->ToolButton6);
    ASSERT_EQ(Kinds(script), (std::vector<TDialogKind>{dkSaveFile, dkMessageBox}));
    EXPECT_EQ(script.Asked()[1].Text, "文件" + c.Written + "已建立，是否打开文件？");
    EXPECT_GT(FileSize(c.Written), 0);
  }
  SetShellHandler(previous);
  EXPECT_EQ(opened, std::vector<String>{ShellTargetUrl(Dir / "项目.xls")});
}

TEST_F(PactPrjOutputsTest, AClosedOrEmptyListIsToldWithoutAnErrorBox) {
  struct TCase {
    const char* Name;
    TControl* Button;
    std::function<void()> Prepare;
    const char* Message;
  };
  const TCase cases[] = {
      {"empty projects", frmPrj->ToolButton6,
       [] {
         frmPrj->edtKey->SetText("无此项目");
         frmPrj->Btn_Search->Click();
       },
       "没有数据,不能导出成Excel文件!"},
      {"closed contracts", frmPact->ToolButton6, [] { frmPact->dgPact->DataSource()->DataSet()->Close(); },
       "数据没有显示不能导出成Excel文件!"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Prepare();
    TDialogScript script;
    script.Button(IDOK);
    ShowList(c.Button);
    ClickOn(c.Button);
    ASSERT_EQ(script.Asked().size(), 1u) << "no error box after the message";
    EXPECT_EQ(script.Asked()[0].Text, c.Message);
    EXPECT_EQ(script.Asked()[0].Flags, MB_OK | MB_ICONINFORMATION);
  }
}

TEST_F(PactPrjOutputsTest, AFailedExportKeepsTheOldFileAndOffersNothingToOpen) {
  // A folder that cannot be written.
  {
    TReadOnlyFolder locked(Dir / "locked");
    ASSERT_FALSE(locked.Writable()) << "this machine cannot make a folder read-only";
    TDialogScript script;
    script.File(locked.Path() + "/项目.xls").Button(IDOK);
    ClickOn(frmPrj->ToolButton6);
    ASSERT_EQ(Kinds(script), (std::vector<TDialogKind>{dkSaveFile, dkMessageBox}));
    EXPECT_EQ(script.Asked()[1].Flags & MB_ICONMASK, MB_ICONERROR) << script.Asked()[1].Text;
    EXPECT_FALSE(FileExists(locked.Path() + "/项目.xls"));
  }
  // A list whose rows fail halfway through the walk: the file written before stays whole.
  Dir.Write("old.xls", "the old list");
  TField* name = frmPrj->dgPrj->DataSource()->DataSet()->FieldByName("PrjName");
  // The walk meets the failing row first; the grid's next paint shows it again as ever.
  bool failed = false;
  name->SetOnGetText(TFieldGetTextEvent::Lambda([&failed](TField* f, String& text, bool) {
    if (!failed && f->AsString() == "O'Hara 广场") {
      failed = true;
      throw Exception("cannot show the name");
    }
    text = f->AsString();
  }));
  TDialogScript script;
  script.File(Dir / "old.xls").Button(IDOK);
  ClickOn(frmPrj->ToolButton6);
  name->SetOnGetText(TFieldGetTextEvent());
  ASSERT_EQ(Kinds(script), (std::vector<TDialogKind>{dkSaveFile, dkMessageBox}));
  EXPECT_EQ(script.Asked()[1].Text.find("已建立"), String::npos) << script.Asked()[1].Text;
  EXPECT_NE(script.Asked()[1].Text.find("cannot show the name"), String::npos) << script.Asked()[1].Text;
  EXPECT_EQ(Dir.Read("old.xls"), "the old list");
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(Dir.Path())) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1) << "no half-written file left beside it";
}

}  // namespace
