// The report designer's window driven as a person drives it: opened through the report,
// tabs clicked and dragged, objects pressed and dragged on the page, the units panel
// double-clicked, and closed with and without the save question.
#include "GuiTestUtil.h"
#include "DesignerWindowFixture.h"
#include "ModalStep.h"
#include "TempFolder.h"
#include "core/FileUtils.h"
#include "core/StringList.h"
#include "gui/ActnList.h"
#include "gui/Dialogs.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"
#include "gui/Timers.h"
#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxDesignerForm.h"
#include "report/designer/frxEditExpr.h"
#include "report/designer/frxReportTree.h"
#include "gui/TreeView.h"
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

#include <cmath>
#include <functional>
#include <memory>

using namespace guitest;

namespace {

// A dialog control wrapping a live button, counting its clicks.
class TTestButtonControl : public TfrxDialogControl {
public:
  explicit TTestButtonControl(TComponent* AOwner) : TfrxDialogControl(AOwner) {
    auto* b = new TButton(nullptr);
    b->OnClick = TNotifyEvent::Lambda([this](TObject*) { ++Clicks; });
    InitControl(b);
  }
  int Clicks = 0;
};

// Removes a designer component a test made, so the next test starts without restrictions.
struct TDesignerComponentHold {
  std::unique_ptr<TfrxDesigner> Component = std::make_unique<TfrxDesigner>(nullptr);
  ~TDesignerComponentHold() {
    Component.reset();
    TfrxDesigner::MakeCurrent(nullptr);
  }
};

std::vector<String> TabTexts(TfrxDesignerForm* W) {
  std::vector<String> r;
  for (int i = 0; i < W->Tab->Tabs()->Count(); ++i) r.push_back(W->Tab->Tabs()->Strings(i));
  return r;
}

TPoint TabCentre(TfrxDesignerForm* W, int Index) {
  TRect r = W->Tab->TabRect(Index);
  return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

}  // namespace

class DesignerWindowTest : public DesignerWindowFixture {
protected:

  // The window made directly, shown as the report shows it.
  TfrxDesignerForm* Open(bool Preview = false) {
    W = static_cast<TfrxDesignerForm*>(TfrxDesignerForm::Create(nullptr, Report.get(), Preview));
    W->SetBounds(0, 0, 1000, 700);
    W->Show();
    Application->ProcessMessages();
    return W;
  }

  // Where an object's document point lies on the workspace, in its client pixels.
  TPoint OnPage(double X, double Y) const {
    return {static_cast<int>(std::lround(X * W->Scale())), static_cast<int>(std::lround(Y * W->Scale()))};
  }

  // The report's own way in: RunDesigner, with Steps played once the window is up; the window
  // is then closed as the close box would.
  void RunDesigner(const std::function<void(TfrxDesignerForm*)>& Steps) {
    TTimer timer(nullptr);
    timer.SetInterval(10);
    bool ran = false;
    timer.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) {
      auto* d = dynamic_cast<TfrxDesignerForm*>(Report->Designer());
      if (!d || !d->Visible() || ran) return;
      ran = true;
      timer.SetEnabled(false);
      Steps(d);
      if (!d->Closed()) d->Close();
      // A close refused (Cancel) is ended by the test's own second close.
      if (!d->Closed()) {
        d->SetClosed(true);
      }
    }));
    Report->RunDesigner();
    EXPECT_TRUE(ran);
  }
};

// ---------------------------------------------------------------- opening and tabs

TEST_F(DesignerWindowTest, AReportWithoutPagesOpensOnItsFirstPageWithTheCallerDisabled) {
  TForm caller(nullptr);
  caller.Show();
  caller.SetFocus();
  Application->ProcessMessages();
  std::vector<String> tabs;
  bool callerEnabled = true, pageShown = false, codeHidden = false;
  String units, caption, undo;
  RunDesigner([&](TfrxDesignerForm* d) {
    tabs = TabTexts(d);
    callerEnabled = caller.Enabled();
    pageShown = d->Page() == Report->PageAt(0) && d->ScrollBoxPanel->Visible();
    codeHidden = !d->CodePanel->Visible();
    units = d->StatusBar->Panels()->Items(0)->Text();
    caption = d->Caption();
    undo = d->UndoCmd->Caption();
  });
  EXPECT_EQ(tabs, (std::vector<String>{"Code", "Page1"}));
  EXPECT_FALSE(callerEnabled);
  EXPECT_TRUE(caller.Enabled());
  EXPECT_TRUE(pageShown);
  EXPECT_TRUE(codeHidden);
  EXPECT_EQ(units, "Centimeters");
  EXPECT_EQ(caption, "Vizerav Report - Untitled.fr3");
  EXPECT_EQ(undo, "撤消");
  EXPECT_EQ(Report->Designer(), nullptr);
}

TEST_F(DesignerWindowTest, TabsNameSubreportsAndUnnamedPagesAndShowTheirPages) {
  AddPage("Page1");
  TfrxReportPage* unnamed = AddPage("");
  TfrxReportPage* sub = AddPage("Page3");
  auto* s = Add<TfrxSubreport>(Report->PageAt(0), "Subreport1", 10, 10, 100, 20);
  s->SetPage(sub);
  Open();
  EXPECT_EQ(TabTexts(W), (std::vector<String>{"Code", "Page1", "Page2", "Subreport1"}));
  Click(W->Tab, TabCentre(W, 2));
  EXPECT_EQ(W->Page(), unnamed);
  EXPECT_EQ(W->Tab->TabIndex(), 2);
  Click(W->Tab, TabCentre(W, 0));
  EXPECT_EQ(W->Page(), nullptr);
  EXPECT_TRUE(W->CodePanel->Visible());
  EXPECT_FALSE(W->ScrollBoxPanel->Visible());
}

TEST_F(DesignerWindowTest, CaptionsAndHintsComeFromTheTextTable) {
  AddPage("Page1");
  Open();
  struct TCase {
    const char* Name;
    std::function<String(TComponent*)> Read;
    String Expected;
  };
  auto hint = [](TComponent* c) { return static_cast<TControl*>(c)->Hint(); };
  auto action = [](TComponent* c) { return static_cast<TAction*>(c)->Caption(); };
  auto item = [](TComponent* c) { return static_cast<TMenuItem*>(c)->Caption(); };
  auto filter = [](TComponent* c) { return static_cast<TOpenDialog*>(c)->Filter(); };
  const TCase cases[] = {
      {"UndoCmd", action, "撤消"},
      {"ExitCmd", action, "退出"},
      {"UndoMI", item, "撤消"},  // an item linked to an action shows the action's caption
      {"FileMenu", item, "文件(&F)"},
      {"AboutMI", item, "关于 Vizerav Report..."},
      {"ConnectionsMI", item, "Connections..."},
      {"R90MI", item, "90度"},
      {"TextAlignBlockB", hint, "左对齐"},
      {"TextAlignLeftB", hint, "左对齐"},
      {"CenterHorzB", hint, "水平居中"},
      {"AlignHorzCentersB", hint, "水平居中"},
      {"SetToGridB", hint, "Fit to Grid"},
      {"OpenScriptB", hint, "打开脚本文件"},
      {"OpenDialog", filter, "Report (*.fr3)|*.fr3"},
      {"SaveScriptDialog", filter,
       "Pascal files (*.pas)|*.pas|C++ files (*.cpp)|*.cpp|JavaScript files (*.js)|*.js|Basic files (*.vb)|*.vb|All "
       "files|*.*"},
  };
  for (const TCase& c : cases) {
    TComponent* comp = W->FindComponent(c.Name);
    ASSERT_NE(comp, nullptr) << c.Name;
    EXPECT_EQ(c.Read(comp), c.Expected) << c.Name;
  }
  // Both last keys exist, the blank line between them notwithstanding; a key without a text
  // shows as itself.
  EXPECT_EQ(ResourceText(2475), "Language");
  EXPECT_EQ(ReportResources()->TextOf("dsNoSuchKey"), "dsNoSuchKey");
  EXPECT_EQ(ReportResources()->TextOf("dsSavePreviewChanges"), "保存变更至预览页面?");
}

// ---------------------------------------------------------------- the change flow

TEST_F(DesignerWindowTest, RenamingThePageInTheInspectorRenamesItsTabButAMemoLeavesTheTabs) {
  TfrxReportPage* page = AddPage("Page1");
  auto* memo = Add<TfrxMemoView>(page, "Memo1", 10, 10, 100, 20);
  Open();
  TObject inspector;
  W->Inspector = &inspector;
  int inspectorRefreshes = 0;
  W->RefreshInspector = [&] { ++inspectorRefreshes; };

  page->SetName("Invoice");
  W->OnModify(&inspector);
  EXPECT_EQ(TabTexts(W), (std::vector<String>{"Code", "Invoice"}));
  EXPECT_TRUE(W->Modified());
  EXPECT_EQ(W->ModifiedBy(), nullptr);

  // A memo renamed: the tabs stay, and with them the selection (a rebuild would reset it).
  W->SelectedObjects().assign(1, memo);
  inspectorRefreshes = 0;
  memo->SetName("Total");
  W->Tab->Tabs()->Strings(1);
  W->OnModify(&inspector);
  EXPECT_EQ(TabTexts(W), (std::vector<String>{"Code", "Invoice"}));
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{memo}));
  EXPECT_EQ(inspectorRefreshes, 0);  // the inspector reported it, so it is not refreshed
  W->OnModify(W->Workspace());
  EXPECT_EQ(inspectorRefreshes, 1);
}

TEST_F(DesignerWindowTest, TypingCodeMarksModifiedAndLeavingTheTabTakesOneSnapshot) {
  AddPage("Page1");
  Open();
  int snapshots = 0;
  W->SnapshotToUndo = [&] { ++snapshots; };
  Click(W->Tab, TabCentre(W, 0));
  W->CodeWindow()->SetFocus();
  TypeKey(Qt::Key_A, Qt::NoModifier, "a");
  TypeKey(Qt::Key_B, Qt::NoModifier, "b");
  EXPECT_TRUE(W->Modified());
  EXPECT_TRUE(W->SaveCmd->Enabled());
  EXPECT_EQ(snapshots, 0);
  Click(W->Tab, TabCentre(W, 1));
  EXPECT_EQ(snapshots, 1);
  EXPECT_NE(Report->ScriptText()->Text().find("ab"), String::npos);
  Click(W->Tab, TabCentre(W, 0));
  Click(W->Tab, TabCentre(W, 1));
  EXPECT_EQ(snapshots, 1);  // nothing typed the second time
}

TEST_F(DesignerWindowTest, EachPageTabGetsItsScrollPositionBack) {
  TfrxReportPage* p1 = AddPage("Page1");
  p1->SetLargeDesignHeight(true);
  AddPage("Page2");
  Open();
  W->ScrollBox->VertScrollBar()->SetPosition(300);
  W->ScrollBox->HorzScrollBar()->SetPosition(40);
  int v = W->ScrollBox->VertScrollBar()->Position(), h = W->ScrollBox->HorzScrollBar()->Position();
  ASSERT_GT(v, 0);
  Click(W->Tab, TabCentre(W, 0));
  Click(W->Tab, TabCentre(W, 2));
  EXPECT_EQ(W->ScrollBox->VertScrollBar()->Position(), 0);
  Click(W->Tab, TabCentre(W, 1));
  EXPECT_EQ(W->ScrollBox->VertScrollBar()->Position(), v);
  EXPECT_EQ(W->ScrollBox->HorzScrollBar()->Position(), h);
  EXPECT_EQ(W->TabScrollPosition(1), IntToStr(h) + ":" + IntToStr(v));
}

// ---------------------------------------------------------------- reordering pages

TEST_F(DesignerWindowTest, DraggingATabOntoAnotherPageMovesThePageButNeverBeforeTheCode) {
  TfrxReportPage* a = AddPage("First");
  TfrxReportPage* b = AddPage("Second");
  Open();
  struct TCase {
    const char* What;
    int DropOn;
    std::vector<String> Tabs;
    TfrxPage* FirstPage;
  };
  const TCase cases[] = {
      {"onto the code tab", 0, {"Code", "First", "Second"}, a},
      {"onto the second page", 2, {"Code", "Second", "First"}, b},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Click(W->Tab, TabCentre(W, 1));
    TPoint from = TabCentre(W, 1), to = TabCentre(W, c.DropOn);
    Press(W->Tab, from);
    Move(W->Tab, {from.X + 10, from.Y}, Qt::LeftButton);
    Move(W->Tab, to, Qt::LeftButton);
    Release(W->Tab, to);
    Application->ProcessMessages();
    EXPECT_EQ(TabTexts(W), c.Tabs);
    EXPECT_EQ(Report->PageAt(0), c.FirstPage);
  }
  EXPECT_TRUE(W->Modified());
}

// ---------------------------------------------------------------- the preview designer

TEST_F(DesignerWindowTest, APreviewDesignerKeepsItsTabsRefusesUndoAndRestrictsCommands) {
  TDesignerComponentHold program;
  AddPage("Page1");
  AddPage("Page2");
  Open(true);
  int undos = 0;
  W->UndoLast = [&] { ++undos; };
  W->CanUndo = [] { return true; };
  W->UpdateControls();
  EXPECT_NE(TfrxDesigner::Current(), program.Component.get());
  Click(W->Tab, TabCentre(W, 2));
  EXPECT_EQ(W->Page(), Report->PageAt(0));
  EXPECT_EQ(W->Tab->TabIndex(), 1);
  W->Workspace()->SetFocus();
  TypeKey(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(undos, 0);
  for (TAction* a : {W->NewPageCmd, W->NewDialogCmd, W->NewReportCmd, W->OpenCmd, W->PreviewCmd, W->VariablesCmd,
                     W->DeletePageCmd})
    EXPECT_FALSE(a->Enabled()) << a->Name();
  EXPECT_TRUE(W->SaveAsCmd->Enabled());
  EXPECT_FALSE(W->ReportSettingsMI->Enabled());
  delete W;
  W = nullptr;
  EXPECT_EQ(TfrxDesigner::Current(), program.Component.get());
}

TEST_F(DesignerWindowTest, UndoOnAReportPageGoesToTheUndoBuffer) {
  AddPage("Page1");
  Open();
  int undos = 0;
  W->UndoLast = [&] { ++undos; };
  W->Workspace()->SetFocus();
  TypeKey(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(undos, 0);  // nothing to undo: the command is off
  W->CanUndo = [] { return true; };
  W->UpdateControls();
  TypeKey(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(undos, 1);
}

// ---------------------------------------------------------------- closing

TEST_F(DesignerWindowTest, ClosingAsksToSaveAndTheAnswerDecidesTheReportsFlag) {
  TempFolder folder;
  struct TCase {
    const char* What;
    int Answer;
    bool Saved, Modified;
  };
  const TCase cases[] = {
      {"yes saves", IDYES, true, true},
      {"no discards", IDNO, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Report = std::make_unique<TfrxReport>(nullptr);
    AddPage("Page1");
    String file = folder / "r.fr3";
    DeleteFile(file);
    Report->SetFileName(file);
    TDialogScript script;
    script.Button(c.Answer);
    RunDesigner([&](TfrxDesignerForm* d) { d->FlagModified(true); });
    ASSERT_EQ(script.Asked().size(), 1u);
    EXPECT_EQ(script.Asked()[0].Text, "保存修改至 r.fr3?");
    EXPECT_EQ(FileExists(file), c.Saved);
    EXPECT_EQ(Report->Modified(), c.Modified);
  }
}

TEST_F(DesignerWindowTest, CancelKeepsTheWindowAndNoSaveRestrictionOrUnmodifiedAsksNothing) {
  AddPage("Page1");
  Open();
  W->FlagModified(true);
  {
    TDialogScript script;
    script.Button(IDCANCEL);
    W->Close();
    EXPECT_FALSE(W->Closed());
    EXPECT_EQ(script.Asked().size(), 1u);
  }
  struct TCase {
    const char* What;
    bool Modified;
    TfrxDesignerRestrictions Restrictions;
  };
  const TCase cases[] = {
      {"save blocked", true, {drDontSaveReport}},
      {"nothing changed", false, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TDesignerComponentHold program;
    program.Component->SetRestrictions(c.Restrictions);
    delete W;
    W = nullptr;
    Open();
    W->FlagModified(c.Modified);
    TDialogScript script;
    W->Close();
    EXPECT_TRUE(W->Closed());
    EXPECT_TRUE(script.Asked().empty());
  }
}

// ---------------------------------------------------------------- the page on the window

TEST_F(DesignerWindowTest, ThePageLiesInItsMarginsOnThePaperAtTheZoom) {
  TfrxReportPage* page = AddPage("Page1");
  page->SetPaperWidth(210);
  page->SetPaperHeight(297);
  page->SetLeftMargin(10);
  page->SetTopMargin(20);
  page->SetRightMargin(10);
  page->SetBottomMargin(10);
  Open();
  // A first start opens at 75 %; the page is measured at 100 %.
  W->SetScale(1);
  TfrxDesignerWorkspace* ws = W->Workspace();
  auto px = [](double mm) { return static_cast<int>(std::lround(mm * 96 / 25.4)); };
  EXPECT_EQ(ws->PageWidth(), px(210));
  EXPECT_EQ(ws->MarginsPanel()->Left(), 10);
  EXPECT_EQ(ws->MarginsPanel()->Width(), px(210));
  EXPECT_EQ(ws->Left(), 10 + px(10));
  EXPECT_EQ(ws->Top(), 10 + px(20));
  W->SetScale(2);
  EXPECT_EQ(W->ScaleCB->Text(), "200%");
  EXPECT_EQ(ws->MarginsPanel()->Width(), 2 * px(210));
  EXPECT_EQ(ws->Left(), 10 + 2 * px(10));
  // The rulers count from the objects' origin.
  EXPECT_EQ(W->TopRuler->Offset(), W->ScrollBox->Left() + ws->Left() + 2);
}

TEST_F(DesignerWindowTest, ZoomIsKeptWithinItsBounds) {
  AddPage("Page1");
  Open();
  struct TCase {
    double Asked, Kept;
  };
  for (const TCase& c : {TCase{0, 1}, TCase{25, 20}, TCase{-0.5, 1}, TCase{0.5, 0.5}}) {
    W->SetScale(c.Asked);
    EXPECT_DOUBLE_EQ(static_cast<double>(W->Scale()), c.Kept) << c.Asked;
    EXPECT_DOUBLE_EQ(static_cast<double>(W->Workspace()->Scale()), c.Kept) << c.Asked;
  }
}

TEST_F(DesignerWindowTest, DoubleClickingTheUnitsPanelCyclesUnitsOnReportPagesOnly) {
  AddPage("Page1");
  auto* dialog = new TfrxDialogPage(Report.get());
  dialog->SetParent(Report.get());
  dialog->SetName("Dialog1");
  Open();
  auto doubleClick = [&] {
    TPoint p{20, 5};
    Press(W->StatusBar, p, Qt::LeftButton, 1000);
    Release(W->StatusBar, p);
    SendMouse(W->StatusBar, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
    Release(W->StatusBar, p);
    Application->ProcessMessages();
  };
  auto panel = [&] { return W->StatusBar->Panels()->Items(0)->Text(); };
  const char* cycle[] = {"Inches", "Pixels", "Centimeters", "Inches"};
  for (const char* expected : cycle) {
    doubleClick();
    EXPECT_EQ(panel(), expected);
  }
  EXPECT_EQ(W->ReportUnits(), ruInches);
  EXPECT_EQ(W->Workspace()->GridType(), gkInch);
  EXPECT_NEAR(static_cast<double>(W->Workspace()->GridX()), 0.1 * 96, 1e-9);
  Click(W->Tab, TabCentre(W, 2));
  EXPECT_EQ(panel(), "Pixels");
  doubleClick();
  EXPECT_EQ(panel(), "Pixels");
  EXPECT_EQ(W->ReportUnits(), ruInches);
  Click(W->Tab, TabCentre(W, 1));
  EXPECT_EQ(panel(), "Inches");
}

TEST_F(DesignerWindowTest, GridStepsThatCannotServeTakeTheirDefaults) {
  AddPage("Page1");
  Open();
  W->SetGridSizes(0, -1, std::nan(""), 0);
  EXPECT_DOUBLE_EQ(static_cast<double>(W->GridSizeCm()), 0.1);
  EXPECT_DOUBLE_EQ(static_cast<double>(W->GridSizeInch()), 0.1);
  EXPECT_DOUBLE_EQ(static_cast<double>(W->GridSizePixels()), 4);
  EXPECT_DOUBLE_EQ(static_cast<double>(W->GridSizeDialog()), 4);
  EXPECT_NEAR(static_cast<double>(W->Workspace()->GridX()), 0.1 * 37.7953, 1e-9);
}

TEST_F(DesignerWindowTest, PressingAMemoSelectsItAndTheStatusBarShowsWhereItIs) {
  TfrxReportPage* page = AddPage("Page1");
  auto* band = Add<TfrxMasterData>(page, "MasterData1", 0, 40, 700, 80);
  auto* memo = Add<TfrxMemoView>(band, "Memo1", 37.7953, 18.89765, 94.48825, 18.89765);
  Open();
  int selections = 0;
  W->RefreshInspector = [&] { ++selections; };
  Click(W->Workspace(), OnPage(memo->AbsLeft() + 5, memo->AbsTop() + 5));
  ASSERT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{memo}));
  EXPECT_GE(selections, 1);
  EXPECT_EQ(W->PositionText(), "1.00; 0.50");
  EXPECT_EQ(W->SizeText(), "2.50; 0.50");
  EXPECT_TRUE(W->DeleteCmd->Enabled());
  // Empty paper: the page is selected again, and the size goes.
  Click(W->Workspace(), OnPage(600, 400));
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{page}));
  EXPECT_FALSE(W->DeleteCmd->Enabled());
}

// ---------------------------------------------------------------- dialog pages

TEST_F(DesignerWindowTest, ALiveButtonOnADialogPageIsSelectedNotClicked) {
  AddPage("Page1");
  auto* dialog = new TfrxDialogPage(Report.get());
  dialog->SetParent(Report.get());
  dialog->SetName("Dialog1");
  dialog->SetWidth(300);
  dialog->SetHeight(200);
  auto* button = new TTestButtonControl(dialog);
  button->SetParent(dialog);
  button->SetName("Button1");
  button->SetBounds(20, 20, 80, 24);
  Open();
  Click(W->Tab, TabCentre(W, 2));
  ASSERT_EQ(W->DesignedDialogForm(), dialog->Form());
  EXPECT_EQ(W->Workspace()->Parent(), dialog->Form());
  EXPECT_EQ(W->StatusBar->Panels()->Items(0)->Text(), "Pixels");
  EXPECT_EQ(W->Workspace()->GridType(), gkDialog);
  Click(button->Control(), {10, 10});
  EXPECT_EQ(button->Clicks, 0);
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{button}));
  // Back to the report page: the form is let go.
  Click(W->Tab, TabCentre(W, 1));
  EXPECT_EQ(W->DesignedDialogForm(), nullptr);
  EXPECT_EQ(dialog->Form()->Designer(), nullptr);
  EXPECT_FALSE(dialog->Form()->Visible());
  Click(button->Control(), {10, 10});
}

// ---------------------------------------------------------------- for a person

TEST_F(DesignerWindowTest, TheWindowWithASmallReportIsSavedAsAPicture) {
  TfrxReportPage* page = AddPage("Page1");
  auto* title = Add<TfrxReportTitle>(page, "ReportTitle1", 0, 0, 718, 40);
  auto* t = Add<TfrxMemoView>(title, "Memo1", 200, 8, 300, 24);
  t->SetText("合同一览表");
  auto* band = Add<TfrxMasterData>(page, "MasterData1", 0, 80, 718, 30);
  auto* m = Add<TfrxMemoView>(band, "Memo2", 10, 5, 160, 20);
  m->SetText("[项目名称]");
  Open();
  Click(W->Workspace(), OnPage(m->AbsLeft() + 5, m->AbsTop() + 5));
  W->Repaint();
  Application->ProcessMessages();
  QImage img = WidgetOf(W)->grab().toImage();
  QDir().mkpath("screens");
  ASSERT_TRUE(img.save("screens/designer_window.png"));
  // The paper is white where the grey scroll box shows around it.
  auto pixelAt = [&](TControl* c, TPoint p) {
    TPoint s = c->ClientToScreen(p);
    QPoint local = WidgetOf(W)->mapFromGlobal(QPoint(s.X, s.Y));
    return img.pixel(local) & 0xFFFFFF;
  };
  EXPECT_EQ(pixelAt(W->Workspace()->MarginsPanel(), {3, 3}), 0xFFFFFFu);
  EXPECT_EQ(pixelAt(W->ScrollBox, {3, 3}), 0x808080u);
}

// ---------------------------------------------------------------- asking for expressions

TEST_F(DesignerWindowTest, AnExpressionAskedOfTheWindowIsEditedInTheExpressionDialog) {
  AddPage("Page1");
  Open();
  struct Case {
    const char* Typed;
    bool Ok;
    const char* Answer;
  };
  const Case cases[] = {{"<Set.\"F\"> + 1", true, "<Set.\"F\"> + 1"}, {"2", false, ""}};
  for (const Case& c : cases) {
    String shown;
    report_test::TModalStep step([&](TCustomForm* f) {
      auto* d = dynamic_cast<TfrxExprEditorForm*>(f);
      ASSERT_NE(d, nullptr);
      shown = d->ExprMemo->Text();
      d->ExprMemo->SetText(c.Typed);
      (c.Ok ? d->OkB : d->CancelB)->Click();
    });
    String expression = "start";
    EXPECT_EQ(W->AskExpression(expression), c.Ok);
    EXPECT_EQ(shown, "start");
    EXPECT_EQ(expression, c.Answer);
  }
}

// ---------------------------------------------------------------- the report tree

TEST_F(DesignerWindowTest, TheReportTreeFollowsChangesChoosesObjectsAndDeletesThroughTheSurface) {
  TfrxReportPage* page = AddPage("Page1");
  auto* band = Add<TfrxMasterData>(page, "MasterData1", 0, 20, 700, 40);
  Add<TfrxMemoView>(band, "Memo1", 10, 0, 100, 18);
  Open();
  TfrxReportTreeForm* tree = AttachReportTree(W);
  tree->Show();
  Application->ProcessMessages();
  auto texts = [&] {
    std::vector<String> t;
    for (int i = 0; i < tree->Tree->Items()->Count(); ++i) t.push_back(tree->Tree->Items()->Item(i)->Text());
    return t;
  };
  EXPECT_EQ(texts(), (std::vector<String>{"Report", "Page1", "MasterData1", "Memo1"}));
  // A click on the band's node selects it on the surface.
  TTreeNode* node = tree->Tree->Items()->Item(2);
  TRect r = node->DisplayRect(true);
  guitest::Click(tree->Tree, TPoint{r.Left + 4, (r.Top + r.Bottom) / 2});
  Application->ProcessMessages();
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{band}));
  EXPECT_EQ(W->Workspace()->SelectedCount(), 1);
  // A change elsewhere rebuilds the tree.
  Add<TfrxMemoView>(band, "Memo2", 120, 0, 100, 18);
  W->FlagModified(true);
  EXPECT_EQ(texts(), (std::vector<String>{"Report", "Page1", "MasterData1", "Memo1", "Memo2"}));
  EXPECT_EQ(tree->Tree->Selected()->Text(), "MasterData1");
  // Delete in the tree deletes the selection through the surface.
  tree->Tree->SetFocus();
  guitest::TypeKey(Qt::Key_Delete);
  Application->ProcessMessages();
  EXPECT_EQ(page->FindObject("MasterData1"), nullptr);
  EXPECT_EQ(texts(), (std::vector<String>{"Report", "Page1"}));
}
