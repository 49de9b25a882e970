// The designer window's report files and settings, driven as a person drives them: new report,
// open and save through their commands and the dialogs' answers, the recent-file menu, the
// layout and options stored in a settings file of the test's own folder, and the language menu.
#include "GuiTestUtil.h"
#include "TempFolder.h"
#include "core/FileUtils.h"
#include "core/Registry.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "gui/ActnList.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxDesignerForm.h"
#include "report/designer/frxSampleFormat.h"
#include "report/designer/frxSynMemo.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include <QtCore/QDir>
#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace guitest;

namespace {

String ReportText(TfrxReport* R) {
  TStringStream s;
  R->SaveToStream(&s, true, false);
  return s.DataString();
}

// The captions of the recent-file items of the File menu, top to bottom.
std::vector<String> RecentMenu(TfrxDesignerForm* W) {
  std::vector<String> r;
  for (int i = W->FileMenu->IndexOf(W->SepMI11) + 1; i < W->FileMenu->IndexOf(W->SepMI4); ++i)
    r.push_back(W->FileMenu->Items(i)->Caption());
  return r;
}

}  // namespace

class DesignerFilesTest : public ::testing::Test {
protected:
  void SetUp() override { NewReportObject(); }
  void TearDown() override { Close(); }

  void NewReportObject() {
    Report = std::make_unique<TfrxReport>(nullptr);
    Report->SetIniFile(Folder / "designer.ini");
  }
  TfrxReportPage* AddPage(const String& Name) {
    auto* p = new TfrxReportPage(Report.get());
    p->SetParent(Report.get());
    p->SetName(Name);
    p->TakePrinterDefaults();
    return p;
  }
  TfrxDesignerForm* Open() {
    W = static_cast<TfrxDesignerForm*>(TfrxDesignerForm::Create(nullptr, Report.get(), false));
    W->Show();
    Application->ProcessMessages();
    return W;
  }
  void Close() {
    delete W;
    W = nullptr;
    Application->ProcessMessages();
  }
  // A report on disk with one page and a memo of that text.
  String WriteReport(const String& Name, const String& Text) {
    TfrxReport r(nullptr);
    auto* p = new TfrxReportPage(&r);
    p->SetParent(&r);
    p->SetName("Page1");
    auto* m = new TfrxMemoView(p);
    m->SetParent(p);
    m->SetName("Memo1");
    m->Memo()->SetText(Text);
    r.SaveToFile(Folder / Name);
    return Folder / Name;
  }
  String MemoText() const {
    auto* m = dynamic_cast<TfrxMemoView*>(Report->FindObject("Memo1"));
    return m ? m->Memo()->Text() : String("(none)");
  }

  TempFolder Folder;
  std::unique_ptr<TfrxReport> Report;
  TfrxDesignerForm* W = nullptr;
};

// ---------------------------------------------------------------- new report

TEST_F(DesignerFilesTest, ANewReportHasTitleDataAndFooterBandsWithThePageNumberAtTheRightMargin) {
  AddPage("Old");
  Report->SetFileName(Folder / "old.fr3");
  Open();
  W->NewReportCmd->Execute();
  ASSERT_EQ(Report->CountPages(), 1);
  auto* page = dynamic_cast<TfrxReportPage*>(Report->PageAt(0));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->Name(), "Page1");
  EXPECT_EQ(Report->FileName(), "");
  EXPECT_EQ(W->Caption(), "Vizerav Report - Untitled.fr3");
  EXPECT_FALSE(W->Modified());
  EXPECT_EQ(Report->ScriptLanguage(), "PascalScript");
  // Placed one below the other with room for their captions; the surface then stacks them.
  const double c = W->Workspace()->CaptionHeight(), s = 22.68;
  double lastBottom = 0;
  for (const char* name : {"ReportTitle1", "MasterData1", "PageFooter1"}) {
    SCOPED_TRACE(name);
    auto* band = dynamic_cast<TfrxBand*>(Report->FindObject(name));
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->Parent(), page);
    EXPECT_GE(band->Top(), lastBottom + c - 1e-6);
    EXPECT_NEAR(band->Height(), s, 1e-6);
    lastBottom = band->Top() + band->Height();
  }
  auto* memo = dynamic_cast<TfrxMemoView*>(Report->FindObject("Memo1"));
  ASSERT_NE(memo, nullptr);
  EXPECT_TRUE(memo->Parent()->Is<TfrxPageFooter>());
  EXPECT_EQ(memo->Memo()->Text(), "[Page#]\r\n");
  EXPECT_EQ(memo->HAlign(), haRight);
  EXPECT_NEAR(memo->Left() + memo->Width(),
              (page->PaperWidth() - page->LeftMargin() - page->RightMargin()) * 3.77953 - 20 * 3.77953 + 75.59, 1e-3);
}

// Yes to the save question followed by a save that does not happen must not lose the changes.
TEST_F(DesignerFilesTest, YesThenACancelledSaveDialogKeepsTheReportOnNewAndTheWindowOnClose) {
  AddPage("Page1");
  Open();
  auto* memo = new TfrxMemoView(Report->PageAt(0));
  memo->SetParent(Report->PageAt(0));
  memo->SetName("Kept");
  W->FlagModified(true);
  {
    TDialogScript script;
    script.Button(IDYES).Cancel();
    W->NewReportCmd->Execute();
    EXPECT_EQ(script.Pending(), 0);
  }
  EXPECT_NE(Report->FindObject("Kept"), nullptr);
  EXPECT_TRUE(W->Modified());
  {
    TDialogScript script;
    script.Button(IDYES).Cancel();
    W->Close();
    EXPECT_EQ(script.Pending(), 0);
  }
  EXPECT_FALSE(W->Closed());
  EXPECT_NE(Report->FindObject("Kept"), nullptr);
  {
    // Yes and a name: saved, then the operation goes on.
    TDialogScript script;
    script.Button(IDYES).File(Folder / "kept");
    W->NewReportCmd->Execute();
  }
  EXPECT_TRUE(FileExists(Folder / "kept.fr3"));
  EXPECT_EQ(Report->FindObject("Kept"), nullptr);
}

// ---------------------------------------------------------------- save

TEST_F(DesignerFilesTest, SaveAsTakesTheReportExtensionAndSaveWritesWithoutAsking) {
  AddPage("Page1");
  Open();
  {
    TDialogScript script;
    script.File(Folder / "a.txt");
    W->SaveAsCmd->Execute();
  }
  EXPECT_EQ(Report->FileName(), Folder / "a.fr3");
  EXPECT_TRUE(FileExists(Folder / "a.fr3"));
  EXPECT_FALSE(FileExists(Folder / "a.txt"));
  EXPECT_EQ(W->Caption(), "Vizerav Report - a.fr3");
  EXPECT_FALSE(W->Modified());
  W->FlagModified(true);
  TDialogScript script;
  W->Workspace()->SetFocus();
  TypeKey(Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(script.Asked().empty());
  EXPECT_FALSE(W->Modified());
  EXPECT_EQ(Folder.Read("a.fr3"), ReportText(Report.get()));
}

// A write that cannot finish leaves the target as it was and the report under its old name.
TEST_F(DesignerFilesTest, AFailedWriteKeepsTheTargetAndTheFileName) {
  AddPage("Page1");
  String old = WriteReport("old.fr3", "old");
  Report->SetFileName(old);
  std::filesystem::create_directories(std::filesystem::path(Folder / "taken.fr3") / "inside");
  struct TCase {
    const char* What;
    String Target;
  };
  const TCase cases[] = {
      {"a folder of that name", Folder / "taken.fr3"},
      {"no such folder", Folder / "missing/r.fr3"},
  };
  Open();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    W->FlagModified(true);
    TDialogScript script;
    script.File(c.Target);
    W->SaveAsCmd->Execute();
    EXPECT_EQ(Report->FileName(), old);
    EXPECT_TRUE(W->Modified());
    ASSERT_EQ(script.Asked().size(), 2u);  // the dialog and the error box
    EXPECT_EQ(script.Asked()[1].Kind, dkMessageBox);
  }
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(Folder / "taken.fr3") / "inside"));
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(Folder.Path())))
    EXPECT_FALSE(IsTempFileName(e.path().filename().string())) << e.path();
  // The old file still holds what it held.
  TfrxReport back(nullptr);
  ASSERT_TRUE(back.LoadFromFile(old));
  auto* m = dynamic_cast<TfrxMemoView*>(back.FindObject("Memo1"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Memo()->Text(), "old\r\n");
}

// ---------------------------------------------------------------- open

TEST_F(DesignerFilesTest, AFileThatCannotBeOpenedLeavesReportNameAndUndoAsTheyWere) {
  AddPage("Page1");
  String good = WriteReport("good.fr3", "kept");
  Folder.Write("bad.fr3", "<?xml version=\"1.0\"?><TfrxReport><TfrxReportPage Name=\"P\"");
  Folder.Write("junk.fr3", "not a report at all");
  Open();
  {
    TDialogScript script;
    script.File(good);
    W->OpenCmd->Execute();
  }
  ASSERT_EQ(MemoText(), "kept\r\n");
  // A change that can be undone.
  auto* memo = dynamic_cast<TfrxMemoView*>(Report->FindObject("Memo1"));
  memo->SetLeft(memo->Left() + 10);
  W->FlagModified(true);
  const String before = ReportText(Report.get());
  const bool couldUndo = W->UndoCmd->Enabled();
  struct TCase {
    const char* What;
    String File;
    bool ByDialog;
  };
  const TCase cases[] = {
      {"missing, from the recent list", Folder / "missing.fr3", false},
      {"malformed, from the dialog", Folder / "bad.fr3", true},
      {"not a report, from the recent list", Folder / "junk.fr3", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TDialogScript script;
    if (c.ByDialog) {
      script.File(c.File).Button(IDNO);  // the file, then the save question
      W->OpenCmd->Execute();
    } else {
      script.Button(IDNO);
      W->OpenReport(c.File, false);
    }
    ASSERT_FALSE(script.Asked().empty());
    const TDialogRequest& box = script.Asked().back();
    EXPECT_EQ(box.Kind, dkMessageBox);
    EXPECT_EQ(box.Text.rfind(ReportResources()->TextOf("dsCantLoad"), 0), 0u) << box.Text;
    EXPECT_GT(box.Text.size(), ReportResources()->TextOf("dsCantLoad").size() + 2) << "the reason";
    EXPECT_EQ(ReportText(Report.get()), before);
    EXPECT_EQ(Report->FileName(), good);
    EXPECT_TRUE(W->Modified());
    EXPECT_EQ(W->UndoCmd->Enabled(), couldUndo);
    EXPECT_EQ(W->Caption(), "Vizerav Report - good.fr3");
  }
  // Cancel to the save question loads nothing.
  String other = WriteReport("other.fr3", "other");
  TDialogScript script;
  script.Button(IDCANCEL);
  W->OpenReport(other, false);
  EXPECT_EQ(ReportText(Report.get()), before);
  EXPECT_TRUE(W->Modified());
}

TEST_F(DesignerFilesTest, RecentFilesKeepTheEightLatestAndAReopenedOneMovesToTheTop) {
  AddPage("Page1");
  Open();
  std::vector<String> files;
  for (int i = 1; i <= 9; ++i) files.push_back(WriteReport("r" + IntToStr(i) + ".fr3", IntToStr(i)));
  EXPECT_FALSE(W->SepMI11->Visible());
  for (const String& f : files) W->OpenReport(f, false);
  std::vector<String> menu = RecentMenu(W);
  ASSERT_EQ(menu.size(), 8u);
  EXPECT_EQ(menu.front(), files[8]);
  EXPECT_EQ(menu.back(), files[1]);
  EXPECT_TRUE(W->SepMI11->Visible());
  // The fourth from the top is clicked: it is loaded and heads the list.
  TMenuItem* item = W->FileMenu->Items(W->FileMenu->IndexOf(W->SepMI11) + 4);
  String chosen = item->Caption();
  item->Click();
  EXPECT_EQ(Report->FileName(), chosen);
  EXPECT_EQ(MemoText(), chosen == files[5] ? String("6\r\n") : String("?"));
  menu = RecentMenu(W);
  ASSERT_EQ(menu.size(), 8u);
  EXPECT_EQ(menu.front(), chosen);
  EXPECT_EQ(std::count(menu.begin(), menu.end(), chosen), 1);
  // The list outlives the window.
  Close();
  Open();
  EXPECT_EQ(RecentMenu(W), menu);
}

// A report built in the window, saved with Ctrl+S and opened again is the same report.
TEST_F(DesignerFilesTest, ANewReportEditedSavedAndReopenedReadsBackEqual) {
  AddPage("Page1");
  Open();
  W->NewReportCmd->Execute();
  auto* band = dynamic_cast<TfrxBand*>(Report->FindObject("MasterData1"));
  auto* memo = new TfrxMemoView(band);
  memo->SetParent(band);
  memo->SetName("Memo2");
  memo->SetBounds(10, 0, 100, 18);
  memo->Memo()->SetText("[Customers.\"Name\"]");
  W->FlagModified(true);
  memo->SetLeft(40);
  W->FlagModified(true);
  W->Workspace()->SetFocus();
  TypeKey(Qt::Key_Z, Qt::ControlModifier);
  // Undo brings back the report as it was: the objects are new ones.
  memo = dynamic_cast<TfrxMemoView*>(Report->FindObject("Memo2"));
  ASSERT_NE(memo, nullptr);
  EXPECT_DOUBLE_EQ(memo->Left(), 10) << "undone";
  {
    TDialogScript script;
    script.File(Folder / "made");
    TypeKey(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(script.Asked().size(), 1u);
  }
  const String saved = Folder.Read("made.fr3");
  EXPECT_EQ(saved, ReportText(Report.get()));
  Close();
  NewReportObject();
  Open();
  W->OpenReport(Folder / "made.fr3", false);
  EXPECT_EQ(ReportText(Report.get()), saved);
  auto* back = dynamic_cast<TfrxMemoView*>(Report->FindObject("Memo2"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Memo()->Text(), "[Customers.\"Name\"]\r\n");
}

// ---------------------------------------------------------------- settings

TEST_F(DesignerFilesTest, AnEmptyStoreGivesTheDefaultLayoutAndSettingsComeBackAsStored) {
  AddPage("Page1");
  Open();
  EXPECT_EQ(W->WindowState(), wsMaximized);
  EXPECT_DOUBLE_EQ(W->Scale(), 0.75);
  EXPECT_TRUE(W->EditAfterInsert());
  EXPECT_TRUE(W->StandardTB->Visible());
  EXPECT_TRUE(W->TextTB->Visible());
  EXPECT_TRUE(W->FrameTB->Visible());
  EXPECT_FALSE(W->AlignTB->Visible());
  EXPECT_FALSE(W->ExtraToolsTB->Visible());
  EXPECT_EQ(W->StandardTB->Top(), 0);
  EXPECT_EQ(W->TextTB->Top(), 27);
  EXPECT_EQ(W->FrameTB->Left(), 651);
  // The first start as a person sees it.
  W->Repaint();
  Application->ProcessMessages();
  QImage img = WidgetOf(W)->grab().toImage();
  QDir().mkpath("screens");
  ASSERT_TRUE(img.save("screens/designer_default_layout.png"));
  EXPECT_GE(img.width(), W->TextTB->Width());

  W->SetWindowState(wsNormal);
  W->SetBounds(30, 40, 900, 650);
  W->SetScale(1.5);
  W->SetShowGrid(false);
  W->SetGridSizes(0.2, 0.25, 8, 5);
  W->SetReportUnits(ruInches);
  W->SetWorkspaceColor(clBlack);
  W->SetEditAfterInsert(false);
  W->SetMemoFontName("Courier New");
  W->SetMemoFontSize(14);
  W->SetUseObjectFont(false);
  W->Workspace()->SetBandsGap(9);
  W->AlignTB->SetVisible(true);
  W->CodeWindow()->Font()->SetSize(13);
  Close();

  Open();
  EXPECT_EQ(W->WindowState(), wsNormal);
  EXPECT_EQ(W->Width(), 900);
  EXPECT_DOUBLE_EQ(W->Scale(), 1.5);
  EXPECT_FALSE(W->ShowGrid());
  EXPECT_DOUBLE_EQ(W->GridSizeCm(), 0.2);
  EXPECT_DOUBLE_EQ(W->GridSizeInch(), 0.25);
  EXPECT_DOUBLE_EQ(W->GridSizePixels(), 8);
  EXPECT_DOUBLE_EQ(W->GridSizeDialog(), 5);
  EXPECT_EQ(W->Units(), ruInches);
  EXPECT_EQ(W->ReportUnits(), ruInches);
  EXPECT_EQ(W->WorkspaceColor(), clBlack) << "black is a colour, not a missing setting";
  EXPECT_FALSE(W->EditAfterInsert());
  EXPECT_EQ(W->MemoFontName(), "Courier New");
  EXPECT_EQ(W->MemoFontSize(), 14);
  EXPECT_FALSE(W->UseObjectFont());
  EXPECT_EQ(W->Workspace()->BandsGap(), 9);
  EXPECT_TRUE(W->AlignTB->Visible());
  EXPECT_EQ(W->CodeWindow()->Font()->Size(), 13);

  // The options dialog's defaults: the built-in layout, without moving the window.
  W->RestoreState(true);
  EXPECT_DOUBLE_EQ(W->Scale(), 0.75);
  EXPECT_TRUE(W->EditAfterInsert());
  EXPECT_FALSE(W->AlignTB->Visible());
  EXPECT_EQ(W->WindowState(), wsNormal);
}

TEST_F(DesignerFilesTest, OnlyAMissingOrZeroScaleSelectsTheDefaultLayout) {
  struct TCase {
    const char* What;
    const char* Lines;
    double Scale;
    bool EditAfterInsert;
  };
  const TCase cases[] = {
      {"zero scale", "[Form.TfrxDesignerForm]\nScale=0\nEditAfterInsert=0\n", 0.75, true},
      {"no scale", "[Form.TfrxDesignerForm]\nEditAfterInsert=0\n", 0.75, true},
      {"black workspace", "[Form.TfrxDesignerForm]\nScale=2\nWorkspaceColor=0\nEditAfterInsert=0\n", 2, false},
      {"unreadable numbers", "[Form.TfrxDesignerForm]\nScale=1.25\nGrid1=x\nUnits=77\nEditAfterInsert=0\n", 1.25, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Folder.Write("designer.ini", c.Lines);
    NewReportObject();
    AddPage("Page1");
    Open();
    EXPECT_DOUBLE_EQ(W->Scale(), c.Scale);
    EXPECT_EQ(W->EditAfterInsert(), c.EditAfterInsert);
    EXPECT_GT(W->GridSizeCm(), 0);
    EXPECT_EQ(W->Units(), ruCM);
    Close();
  }
}

// ---------------------------------------------------------------- language menu

TEST_F(DesignerFilesTest, TheChosenLanguageIsStoredEvenBeforeItsKeyExists) {
  TStringList* languages = ReportResources()->Languages();
  TStringList kept;
  kept.Assign(languages);
  struct TRestoreLanguages {
    TStringList* List;
    TStringList* Kept;
    ~TRestoreLanguages() { List->Assign(Kept); }
  } restore{languages, &kept};
  languages->Clear();
  languages->Add("Nolanguagefilea");
  languages->Add("Nolanguagefileb");
  TRegistry reg;
  reg.DeleteKey(String(TfrxReport::DefaultIniFile) + "\\Resources");
  AddPage("Page1");
  const String before = ReportResources()->TextOf("dsCantLoad");
  Open();
  TMenuItem* menu = W->ViewMenu->Items(W->ViewMenu->Count() - 1);
  ASSERT_EQ(menu->Count(), 2);
  EXPECT_EQ(menu->Caption(), ReportResources()->TextOf("2475"));
  EXPECT_FALSE(menu->Items(0)->Checked());
  menu->Items(1)->Click();
  EXPECT_TRUE(menu->Items(1)->Checked());
  EXPECT_EQ(ReportResources()->TextOf("dsCantLoad"), before) << "a missing file changes no text";
  ASSERT_TRUE(reg.OpenKeyReadOnly(String(TfrxReport::DefaultIniFile) + "\\Resources"));
  EXPECT_EQ(reg.ReadString("Language"), "Nolanguagefileb");
  reg.CloseKey();
  // The next window checks the stored one, whatever its case.
  Close();
  {
    TRegistry w;
    ASSERT_TRUE(w.OpenKey(String(TfrxReport::DefaultIniFile) + "\\Resources", false));
    w.WriteString("Language", "NOLANGUAGEFILEA");
  }
  Open();
  menu = W->ViewMenu->Items(W->ViewMenu->Count() - 1);
  EXPECT_TRUE(menu->Items(0)->Checked());
  EXPECT_FALSE(menu->Items(1)->Checked());
}

// ---------------------------------------------------------------- sample format

TEST(DesignerSampleFormat, TakesAWholeLookAndHandsOnOnlyTheFormat) {
  TfrxMemoView source(nullptr), next(nullptr), target(nullptr);
  source.SetColor(clYellow);
  source.Font()->SetName("Courier New");
  source.Font()->SetSize(17);
  source.SetParentFont(false);
  source.Frame()->SetWidth(3);
  source.SetHAlign(haCenter);
  source.SetVAlign(vaBottom);
  source.SetLineSpacing(7);
  source.SetRTLReading(true);
  source.SetFlowTo(&next);
  source.Memo()->SetText("text stays");
  TSampleFormat format;
  format.Take(&source);
  EXPECT_EQ(format.Memo()->FlowTo(), nullptr);
  target.Memo()->SetText("mine");
  target.SetLeft(33);
  format.ApplyTo(&target);
  EXPECT_EQ(target.Color(), clYellow);
  EXPECT_EQ(target.Font()->Name(), "Courier New");
  EXPECT_EQ(target.Font()->Size(), 17);
  EXPECT_FALSE(target.ParentFont());
  EXPECT_DOUBLE_EQ(target.Frame()->Width(), 3);
  EXPECT_EQ(target.HAlign(), haCenter);
  EXPECT_EQ(target.VAlign(), vaBottom);
  EXPECT_DOUBLE_EQ(target.LineSpacing(), 7);
  EXPECT_TRUE(target.RTLReading());
  EXPECT_EQ(target.Memo()->Text(), "mine\r\n");
  EXPECT_DOUBLE_EQ(target.Left(), 33);
  // Reset takes the program's defaults.
  auto component = std::make_unique<TfrxDesigner>(nullptr);
  component->DefaultFont()->SetName("Tahoma");
  component->SetRTLLanguage(false);
  format.Take(nullptr);
  EXPECT_EQ(format.Memo()->Font()->Name(), "Tahoma");
  EXPECT_FALSE(format.Memo()->RTLReading());
  component.reset();
  TfrxDesigner::MakeCurrent(nullptr);
}

// ---------------------------------------------------------------- the program's hooks

TEST_F(DesignerFilesTest, TheProgramsLoadAndSaveEventsReplaceTheDialogs) {
  AddPage("Page1");
  String listed = WriteReport("listed.fr3", "listed");
  auto component = std::make_unique<TfrxDesigner>(nullptr);
  struct THold {
    ~THold() { TfrxDesigner::MakeCurrent(nullptr); }
  } hold;
  int loads = 0, saves = 0;
  bool saveAnswer = true;
  component->SetOnLoadReport(TfrxLoadReportEvent::Lambda([&](TfrxReport* R) {
    ++loads;
    R->Clear();
    auto* p = new TfrxReportPage(R);
    p->SetParent(R);
    p->SetName("FromProgram");
    R->SetFileName(Folder / "program.fr3");
    return true;
  }));
  component->SetOnSaveReport(TfrxSaveReportEvent::Lambda([&](TfrxReport*, bool) {
    ++saves;
    return saveAnswer;
  }));
  Open();
  W->FlagModified(true);
  {
    TDialogScript script;
    W->OpenCmd->Execute();
    EXPECT_TRUE(script.Asked().empty()) << "no dialog and no save question";
  }
  EXPECT_EQ(loads, 1);
  ASSERT_EQ(Report->CountPages(), 1);
  EXPECT_EQ(Report->PageAt(0)->Name(), "FromProgram");
  EXPECT_EQ(RecentMenu(W), std::vector<String>{Folder / "program.fr3"});
  // A file of the recent list is read directly.
  W->OpenReport(listed, false);
  EXPECT_EQ(MemoText(), "listed\r\n");
  EXPECT_EQ(loads, 1);
  // Save goes through the program; a refusal keeps the report modified and the window open.
  W->FlagModified(true);
  W->SaveCmd->Execute();
  EXPECT_EQ(saves, 1);
  EXPECT_FALSE(W->Modified());
  saveAnswer = false;
  W->FlagModified(true);
  TDialogScript script;
  script.Button(IDYES);
  W->Close();
  EXPECT_EQ(saves, 2);
  EXPECT_FALSE(W->Closed());
  EXPECT_TRUE(W->Modified());
}
