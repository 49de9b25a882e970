// The designer window's commands driven as a person drives them: menu items and actions run,
// keys pressed, dialogs answered; what the window enables and the report that comes out are
// read back.
#include "GuiTestUtil.h"
#include "DesignerWindowFixture.h"
#include "ModalStep.h"
#include "core/StringList.h"
#include "core/StrUtils.h"
#include "gui/ActnList.h"
#include "gui/ComCtrls.h"
#include "gui/TreeView.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/ToolBar.h"
#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxDesignerForm.h"
#include "report/designer/frxDataTree.h"
#include "report/designer/frxEditHighlight.h"
#include "report/designer/frxAbout.h"
#include "report/designer/frxEditPage.h"
#include "report/designer/frxEditReport.h"
#include "report/designer/frxEditReportData.h"
#include "report/designer/frxEditStyle.h"
#include "report/designer/frxEditVar.h"
#include "report/designer/frxInsp.h"
#include "report/designer/frxNewItem.h"
#include "report/frxRes.h"
#include "report/designer/frxSynMemo.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxDMPClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewDialogs.h"
#include "report/frxShapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using namespace guitest;
using report_test::TModalStep;

namespace {

// An editor with a dialog and two menu entries, counting what it was asked to do.
struct TEditorLog {
  int Opened = 0;
  std::vector<std::pair<int, bool>> Runs;
};
TEditorLog& EditorLog() {
  static TEditorLog log;
  return log;
}

class TTestShapeEditor : public TfrxComponentEditor {
public:
  using TfrxComponentEditor::TfrxComponentEditor;
  bool HasOwnEditor() override { return true; }
  bool OpenEditor() override {
    ++EditorLog().Opened;
    return true;
  }
  void BuildMenu() override {
    AppendMenuItem("Rounded", 7, false);
    AppendMenuItem("Shadowed", 8, true);
  }
  bool RunMenuItem(int Tag, bool Checked) override {
    EditorLog().Runs.emplace_back(Tag, Checked);
    return true;
  }
};

std::vector<String> PopupCaptions(TPopupMenu* Menu) {
  std::vector<String> r;
  for (int i = 0; i < Menu->Items()->Count(); ++i) {
    TMenuItem* item = Menu->Items()->Items(i);
    if (item->Visible()) r.push_back(item->Caption());
  }
  return r;
}

String DefinitionOf(TfrxReport* Report) {
  TMemoryStream s;
  Report->SaveToStream(&s);
  return String(static_cast<const char*>(s.Memory()), static_cast<std::size_t>(s.Size()));
}

}  // namespace

class DesignerCommandsTest : public DesignerWindowFixture {
protected:
  TfrxDesignerForm* Open() {
    W = static_cast<TfrxDesignerForm*>(TfrxDesignerForm::Create(nullptr, Report.get(), false));
    // A first start edits each inserted object at once; these tests insert without the editors.
    W->SetEditAfterInsert(false);
    W->SetBounds(0, 0, 1000, 700);
    W->Show();
    Application->ProcessMessages();
    return W;
  }
  void Select(std::vector<TfrxComponent*> Objects) {
    W->SelectedObjects() = std::move(Objects);
    W->NotifySelectionChanged(nullptr);
  }
  // The find dialog answered with the texts and options; OK pressed.
  void Search(TMenuItem* Item, const String& What, const String& With = "", bool FromTop = true) {
    TModalStep step([&](TCustomForm* f) {
      auto* d = dynamic_cast<TfrxSearchDialog*>(f);
      ASSERT_NE(d, nullptr);
      d->TextE->SetText(What);
      d->ReplaceE->SetText(With);
      if (d->TopCB->Enabled()) d->TopCB->SetChecked(FromTop);
      d->SetModalResult(mrOk);
    });
    Item->Click();
    EXPECT_TRUE(step.Done());
  }
};

// ---------------------------------------------------------------- enabling

TEST_F(DesignerCommandsTest, WhatIsSelectedDecidesWhichCommandsAndButtonsAreEnabled) {
  TfrxUserDataSet customers(nullptr);
  customers.SetUserName("Customers");
  customers.Fields()->SetText("Name");
  Report->DataSets()->AddDataSet(&customers);
  TfrxReportPage* page = AddPage("Page1");
  auto* band = Add<TfrxMasterData>(page, "MasterData1", 0, 20, 700, 40);
  auto* memo = Add<TfrxMemoView>(band, "Memo1", 10, 0, 100, 20);
  memo->SetDataSet(&customers);
  memo->SetDataField("Name");
  memo->SetHAlign(haRight);
  memo->Font()->SetStyle({fsBold});
  auto* text = Add<TfrxMemoView>(band, "Memo2", 200, 0, 100, 20);
  text->SetText("Total [Sum]");
  auto* line = Add<TfrxLineView>(band, "Line1", 320, 0, 100, 0);
  auto* dialog = new TfrxDialogPage(Report.get());
  dialog->SetParent(Report.get());
  dialog->SetName("Dialog1");
  Open();
  W->ChangePage(page);

  struct TCase {
    const char* What;
    std::function<void()> Arrange;
    bool Bold, AlignRight, FontName, FrameTop, FillColor, Delete, Edit, SetToGrid, SampleFormat, TabOrder;
    String Panel;
  };
  const TCase cases[] = {
      {"nothing", [&] { Select({}); }, false, false, false, false, false, false, false, false, true, false, ""},
      {"the page", [&] { Select({page}); }, false, false, true, true, true, false, true, false, true, false, "Page1"},
      {"a bound memo", [&] { Select({memo}); }, true, true, true, true, true, true, true, true, true, false,
       "Memo1: Customers.\"Name\""},
      {"a memo's text", [&] { Select({text}); }, false, false, true, true, true, true, true, true, true, false,
       "Memo2: Total [Sum]"},
      {"a line", [&] { Select({line}); }, false, false, false, false, true, true, true, true, false, false, "Line1"},
      {"three objects", [&] { Select({memo, text, line}); }, false, false, true, true, true, true, false, true,
       false, false, ""},
      {"the dialog page", [&] { W->ChangePage(dialog), Select({}); }, false, false, false, false, false, false,
       false, false, false, true, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    c.Arrange();
    EXPECT_EQ(W->BoldB->Down(), c.Bold);
    EXPECT_EQ(W->TextAlignRightB->Down(), c.AlignRight);
    EXPECT_EQ(W->FontNameCB->Enabled(), c.FontName);
    EXPECT_EQ(W->FrameTopB->Enabled(), c.FrameTop);
    EXPECT_EQ(W->FillColorB->Enabled(), c.FillColor);
    EXPECT_EQ(W->DeleteCmd->Enabled(), c.Delete);
    EXPECT_EQ(W->EditCmd->Enabled(), c.Edit);
    EXPECT_EQ(W->SetToGridB->Enabled(), c.SetToGrid);
    EXPECT_EQ(W->SampleFormatB->Enabled(), c.SampleFormat);
    EXPECT_EQ(W->TabOrderMI->Visible(), c.TabOrder);
    EXPECT_EQ(W->StatusBar->Panels()->Items(2)->Text(), c.Panel);
    if (c.Bold) EXPECT_EQ(W->FontNameCB->Text(), memo->Font()->Name());
  }
  Report->DataSets()->Clear();
}

TEST_F(DesignerCommandsTest, TheFontButtonDropsTheDotMatrixStylesOnlyInDotMatrixReports) {
  Report->SetDotMatrixReport(true);
  auto* page = new TfrxDMPPage(Report.get());
  page->SetParent(Report.get());
  page->SetName("Page1");
  auto* memo = Add<TfrxDMPMemoView>(page, "Memo1", 10, 10, 100, 20);
  memo->SetFontStyle({fsxBold, fsxCondensed});
  Open();
  W->ChangePage(page);
  Select({memo});
  EXPECT_EQ(W->FontB->DropdownMenu(), W->DMPPopup);
  EXPECT_TRUE(W->FontB->Enabled());
  EXPECT_TRUE(W->BoldMI->Checked());
  EXPECT_TRUE(W->CondensedMI->Checked());
  EXPECT_FALSE(W->ItalicMI->Checked());
  // A dot-matrix page has no fonts, colours or frame styles of its own.
  EXPECT_FALSE(W->FontNameCB->Enabled());
  EXPECT_FALSE(W->FrameColorB->Enabled());
  EXPECT_FALSE(W->StyleCB->Enabled());

  Report->SetDotMatrixReport(false);
  W->UpdateControls();
  EXPECT_EQ(W->FontB->DropdownMenu(), nullptr);
}

// ---------------------------------------------------------------- selection, order, editors

TEST_F(DesignerCommandsTest, SelectAllTakesTheBandOfTheSelectedObjectElseThePage) {
  TfrxReportPage* page = AddPage("Page1");
  auto* band = Add<TfrxMasterData>(page, "MasterData1", 0, 20, 700, 40);
  auto* a = Add<TfrxMemoView>(band, "Memo1", 10, 0, 100, 20);
  auto* b = Add<TfrxMemoView>(band, "Memo2", 200, 0, 100, 20);
  auto* title = Add<TfrxReportTitle>(page, "ReportTitle1", 0, 0, 700, 20);
  Open();
  W->ChangePage(page);
  Select({a});
  W->SelectAllCmd->Execute();
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{a, b}));
  Select({});
  W->Workspace()->SetFocus();
  TypeKey(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{band, title}));
}

TEST_F(DesignerCommandsTest, FrontAndBackMoveTheSelectionInItsParentButNotObjectsThatMayNotMove) {
  TfrxReportPage* page = AddPage("Page1");
  auto* band = Add<TfrxMasterData>(page, "MasterData1", 0, 20, 700, 40);
  auto* a = Add<TfrxMemoView>(band, "A", 0, 0, 10, 10);
  auto* b = Add<TfrxMemoView>(band, "B", 0, 0, 10, 10);
  auto* c = Add<TfrxMemoView>(band, "C", 0, 0, 10, 10);
  auto* d = Add<TfrxMemoView>(band, "D", 0, 0, 10, 10);
  d->SetRestrictions({rfDontMove});
  Open();
  W->ChangePage(page);
  auto order = [&] {
    String r;
    for (int i = 0; i < band->ObjectCount(); ++i) r += band->Objects(i)->Name();
    return r;
  };
  Select({a, b});
  W->BringToFrontCmd->Execute();
  EXPECT_EQ(order(), "CDAB");
  Select({b, a, d});
  W->SendToBackCmd->Execute();
  EXPECT_EQ(order(), "BACD");
  (void)c;
  EXPECT_TRUE(W->Modified());
}

TEST_F(DesignerCommandsTest, ThePageMenuCarriesTheEditorsEntriesAfreshOnEachOpening) {
  TfrxReportPage* page = AddPage("Page1");
  auto* shape = Add<TfrxShapeView>(page, "Shape1", 10, 10, 50, 50);
  auto* memo = Add<TfrxMemoView>(page, "Memo1", 100, 10, 50, 20);
  ComponentEditorRegistry().RegisterEditorClass(TfrxShapeView::StaticClass(),
                                                ComponentEditorClassOf<TTestShapeEditor>());
  EditorLog() = {};
  Open();
  W->ChangePage(page);
  Select({shape});
  W->PagePopupPopup(W->PagePopup);
  W->PagePopupPopup(W->PagePopup);  // a second opening replaces the entries, never adds to them
  std::vector<String> captions = PopupCaptions(W->PagePopup);
  ASSERT_GE(captions.size(), 4u);
  EXPECT_EQ(captions[1], "-");
  EXPECT_EQ(captions[2], "Rounded");
  EXPECT_EQ(captions[3], "Shadowed");
  EXPECT_TRUE(W->EditMI1->Enabled());
  EXPECT_TRUE(W->EditMI1->Default());

  W->PagePopup->Items()->Items(3)->Click();
  EXPECT_EQ(EditorLog().Runs, (std::vector<std::pair<int, bool>>{{8, false}}));
  EXPECT_TRUE(W->Modified());
  W->EditCmd->Execute();
  EXPECT_EQ(EditorLog().Opened, 1);

  // Nothing selected: no editor, so no entries and no edit item.
  (void)memo;
  Select({});
  W->PagePopupPopup(W->PagePopup);
  captions = PopupCaptions(W->PagePopup);
  EXPECT_EQ(std::count(captions.begin(), captions.end(), String("Rounded")), 0);
  EXPECT_FALSE(W->EditMI1->Enabled());
  EXPECT_FALSE(W->SepMI12->Visible());
}

// ---------------------------------------------------------------- pages

TEST_F(DesignerCommandsTest, PagesAreAddedWithNumberedNamesAndASubreportGoesWithItsPage) {
  TfrxReportPage* first = AddPage("Page1");
  TfrxReportPage* sub = AddPage("Page2");
  auto* s = Add<TfrxSubreport>(first, "Subreport1", 10, 10, 100, 20);
  s->SetPage(sub);
  Open();
  W->NewPageCmd->Execute();
  ASSERT_EQ(Report->CountPages(), 3);
  EXPECT_EQ(Report->PageAt(2)->Name(), "Page3");
  EXPECT_EQ(W->Page(), Report->PageAt(2));
  W->NewDialogCmd->Execute();
  ASSERT_EQ(Report->CountPages(), 4);
  auto* dialog = dynamic_cast<TfrxDialogPage*>(Report->PageAt(3));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Name(), "DialogPage1");
  EXPECT_EQ(dialog->Width(), 300);
  EXPECT_EQ(dialog->Height(), 200);

  W->ChangePage(sub);
  W->DeletePageCmd->Execute();
  EXPECT_EQ(Report->CountPages(), 3);
  EXPECT_EQ(first->FindObject("Subreport1"), nullptr);
  EXPECT_EQ(W->Page(), first);
  EXPECT_TRUE(W->Modified());
}

TEST_F(DesignerCommandsTest, PageCommandsAreBlockedByTheDesignerComponent) {
  AddPage("Page1");
  TfrxDesigner restrictions(nullptr);
  restrictions.SetRestrictions({drDontCreatePage, drDontDeletePage});
  TfrxDesigner::MakeCurrent(&restrictions);
  Open();
  W->NewPageCmdExecute(nullptr);
  W->NewDialogCmdExecute(nullptr);
  EXPECT_EQ(Report->CountPages(), 1);
  EXPECT_FALSE(W->NewPageCmd->Enabled());
  delete W;
  W = nullptr;
  TfrxDesigner::MakeCurrent(nullptr);
}

// ---------------------------------------------------------------- preview

TEST_F(DesignerCommandsTest, APreviewLeavesTheDefinitionAsItWasWhateverTheScriptDid) {
  TfrxReportPage* page = AddPage("Page1");
  auto* band = Add<TfrxReportTitle>(page, "ReportTitle1", 0, 0, 700, 40);
  Add<TfrxMemoView>(band, "Memo1", 10, 0, 100, 20)->SetText("before");
  // Paper sizes as a loaded definition has them, so the text compares byte for byte.
  page->SetPaperWidth(210);
  page->SetPaperHeight(297);
  Report->ScriptText()->SetText("begin\n  Memo1.Text := 'after';\n  Page1.Name := 'Renamed';\nend.");
  Open();
  W->ChangePage(page);
  String before = DefinitionOf(Report.get());
  TModalStep closePreview([](TCustomForm* f) { f->SetModalResult(mrCancel); });
  W->PreviewCmd->Execute();
  EXPECT_TRUE(closePreview.Done());
  EXPECT_EQ(DefinitionOf(Report.get()), before);
  EXPECT_EQ(W->Page(), Report->PageAt(0));
  ASSERT_NE(Report->FindObject("Memo1"), nullptr);
  EXPECT_EQ(static_cast<TfrxMemoView*>(Report->FindObject("Memo1"))->Text(), "before");
}

TEST_F(DesignerCommandsTest, AScriptThatDoesNotCompileSendsTheCaretToTheError) {
  TfrxReportPage* page = AddPage("Page1");
  Report->ScriptText()->SetText("begin\n  x := ;\nend.");
  Open();
  W->ChangePage(page);
  String before = DefinitionOf(Report.get());
  TDialogScript person;
  W->PreviewCmd->Execute();
  EXPECT_EQ(W->Page(), nullptr);
  EXPECT_TRUE(W->CodePanel->Visible());
  EXPECT_EQ(W->CodeWindow()->CaretPos().Y, 2);
  EXPECT_FALSE(W->CodeWindow()->ErrorBarText().empty());
  EXPECT_EQ(person.Asked().size(), 0u);
  EXPECT_EQ(DefinitionOf(Report.get()), before);
}

// ---------------------------------------------------------------- find and replace

TEST_F(DesignerCommandsTest, FindOnAPageWalksTheTextObjectsAndNeverWrapsAround) {
  TfrxReportPage* page = AddPage("Page1");
  auto* band = Add<TfrxMasterData>(page, "MasterData1", 0, 20, 700, 40);
  auto* a = Add<TfrxMemoView>(band, "Memo1", 10, 0, 100, 20);
  a->SetText("Total price");
  Add<TfrxMemoView>(band, "Memo2", 120, 0, 100, 20)->SetText("nothing here");
  auto* c = Add<TfrxMemoView>(band, "Memo3", 240, 0, 100, 20);
  c->SetText("PRICE each");
  Open();
  W->ChangePage(page);
  EXPECT_FALSE(W->FindNextMI->Enabled());
  Search(W->FindMI, "price");
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{a}));
  EXPECT_TRUE(W->FindNextMI->Enabled());
  W->FindNextMI->Click();
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{c}));
  TDialogScript person;
  person.Button(IDOK);
  W->FindNextMI->Click();
  ASSERT_EQ(person.Asked().size(), 1u);
  EXPECT_EQ(person.Asked()[0].Text, "文本 'price' 找不到");
  EXPECT_EQ(person.Asked()[0].Caption, "资讯");
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{c}));
}

TEST_F(DesignerCommandsTest, ReplaceAllOnTheCodeTabDoublesEachHitOnceAndEnds) {
  AddPage("Page1");
  Report->ScriptText()->SetText("a b\nba a");
  Open();
  W->ChangePage(nullptr);
  TDialogScript person;
  person.Button(mrAll);
  Search(W->ReplaceMI, "a", "aa");
  TStringList lines;
  lines.Assign(W->CodeWindow()->GetTrimmedLines());
  EXPECT_EQ(lines[0], "aa b");
  EXPECT_EQ(lines[1], "baa aa");
  EXPECT_EQ(person.Unanswered(), 0);
  EXPECT_TRUE(W->Modified());
}

TEST_F(DesignerCommandsTest, ReplaceAsksForEachHitAndNoEndsTheSearch) {
  TfrxReportPage* page = AddPage("Page1");
  auto* a = Add<TfrxMemoView>(page, "Memo1", 10, 10, 100, 20);
  a->SetText("Cat and cat");
  auto* b = Add<TfrxMemoView>(page, "Memo2", 10, 40, 100, 20);
  b->SetText("cat");
  Open();
  W->ChangePage(page);
  TDialogScript person;
  person.Button(mrYes).Button(mrNo);
  Search(W->ReplaceMI, "cat", "dog");
  EXPECT_EQ(a->Text(), "dog and dog");
  EXPECT_EQ(b->Text(), "cat");
  ASSERT_GE(person.Asked().size(), 1u);
  EXPECT_EQ(person.Asked()[0].Text, "替换文本 'cat'?");
}

// ---------------------------------------------------------------- view and keys

TEST_F(DesignerCommandsTest, ATypedZoomThatIsNoPositiveNumberIsRefused) {
  AddPage("Page1");
  Open();
  struct TCase {
    const char* Typed;
    String Shown;
    double Scale;
  } cases[] = {{"150%", "150%", 1.5}, {"0", "150%", 1.5}, {"-20%", "150%", 1.5}, {"abc", "150%", 1.5},
               {"75,5", "76%", 0.755}, {"50 %", "50%", 0.5}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    W->ScaleCB->SetText(c.Typed);
    W->ScaleCB->SetFocus();
    TypeKey(Qt::Key_Return);
    EXPECT_EQ(W->ScaleCB->Text(), c.Shown);
    EXPECT_DOUBLE_EQ(W->Scale(), c.Scale);
  }
}

TEST_F(DesignerCommandsTest, ViewItemsToggleRulersGuidesAndToolBars) {
  TfrxReportPage* page = AddPage("Page1");
  page->HGuides()->Add("10");
  Open();
  W->ChangePage(page);
  W->ShowRulersMI->Click();
  EXPECT_FALSE(W->TopRuler->Visible());
  W->ShowRulersMI->Click();
  EXPECT_TRUE(W->TopRuler->Visible());
  W->DeleteGuidesMI->Click();
  EXPECT_EQ(page->HGuides()->Count(), 0);
  W->ToolbarsMI->Click();
  EXPECT_TRUE(W->TextMI->Checked());
  W->TextMI->Click();
  EXPECT_FALSE(W->TextTB->Visible());
  W->ToolbarsMI->Click();
  EXPECT_FALSE(W->TextMI->Checked());
}

TEST_F(DesignerCommandsTest, CtrlEShowsTheCodeAndHelpOpensNothing) {
  TfrxReportPage* page = AddPage("Page1");
  Open();
  W->ChangePage(page);
  W->Workspace()->SetFocus();
  TypeKey(Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(W->Page(), nullptr);
  EXPECT_TRUE(W->CodePanel->Visible());
  TDialogScript person;
  W->HelpContentsMI->Click();
  EXPECT_EQ(person.Asked().size(), 0u);
}

// ---------------------------------------------------------------- formatting and alignment

TEST_F(DesignerCommandsTest, FormattingButtonsChangeEverySelectedObjectThatMayBeModified) {
  TfrxReportPage* page = AddPage("Page1");
  auto* a = Add<TfrxMemoView>(page, "Memo1", 10, 10, 100, 20);
  auto* b = Add<TfrxMemoView>(page, "Memo2", 10, 40, 100, 20);
  auto* locked = Add<TfrxMemoView>(page, "Memo3", 10, 70, 100, 20);
  locked->SetRestrictions({rfDontModify});
  Open();
  W->ChangePage(page);
  Select({a, b, locked});
  auto centre = [](TControl* c) { return TPoint{c->Width() / 2, c->Height() / 2}; };

  Click(W->BoldB, centre(W->BoldB));
  EXPECT_TRUE(a->Font()->Style().Contains(fsBold));
  EXPECT_TRUE(b->Font()->Style().Contains(fsBold));
  EXPECT_FALSE(locked->Font()->Style().Contains(fsBold));
  Click(W->BoldB, centre(W->BoldB));
  EXPECT_FALSE(a->Font()->Style().Contains(fsBold));

  Click(W->FrameAllB, centre(W->FrameAllB));
  EXPECT_EQ(a->Frame()->Typ(), (TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom}));
  Select({a});
  EXPECT_TRUE(W->FrameTopB->Down());  // the buttons show the new lines at once
  Click(W->FrameTopB, centre(W->FrameTopB));
  EXPECT_EQ(a->Frame()->Typ(), (TfrxFrameTypes{ftLeft, ftRight, ftBottom}));

  Click(W->TextAlignCenterB, centre(W->TextAlignCenterB));
  EXPECT_EQ(a->HAlign(), haCenter);
  Click(W->TextAlignBottomB, centre(W->TextAlignBottomB));
  EXPECT_EQ(a->VAlign(), vaBottom);
  EXPECT_EQ(a->HAlign(), haCenter);
  EXPECT_TRUE(W->Modified());
}

TEST_F(DesignerCommandsTest, AFontSizeClearsTheStyleButARotationKeepsIt) {
  TfrxReportPage* page = AddPage("Page1");
  auto* memo = Add<TfrxMemoView>(page, "Memo1", 10, 10, 100, 20);
  Open();
  W->ChangePage(page);
  memo->SetStyle("Heading");
  Select({memo});
  W->R90MI->Click();
  EXPECT_EQ(memo->Rotation(), 90);
  EXPECT_EQ(memo->Style(), "Heading");

  W->FontSizeCB->SetText("14");
  W->FontSizeCB->SetFocus();
  TypeKey(Qt::Key_Return);
  EXPECT_EQ(memo->Font()->Size(), 14);
  EXPECT_EQ(memo->Style(), "");

  // A size that is no number changes nothing.
  W->FontSizeCB->SetText("big");
  EXPECT_ANY_THROW(W->ToolButtonClick(W->FontSizeCB));
  EXPECT_EQ(memo->Font()->Size(), 14);
}

TEST_F(DesignerCommandsTest, DotMatrixItemsToggleTheirStyle) {
  Report->SetDotMatrixReport(true);
  auto* page = new TfrxDMPPage(Report.get());
  page->SetParent(Report.get());
  page->SetName("Page1");
  auto* memo = Add<TfrxDMPMemoView>(page, "Memo1", 10, 10, 100, 20);
  memo->SetFontStyle({fsxWide});
  Open();
  W->ChangePage(page);
  Select({memo});
  W->CondensedMI->Click();
  EXPECT_EQ(memo->FontStyle(), (TfrxDMPFontStyles{fsxWide, fsxCondensed}));
  EXPECT_TRUE(W->CondensedMI->Checked());
  W->WideMI->Click();
  EXPECT_EQ(memo->FontStyle(), (TfrxDMPFontStyles{fsxCondensed}));
}

TEST_F(DesignerCommandsTest, FitToGridRoundsBoundsAndNeverLeavesASizeOfNothing) {
  TfrxReportPage* page = AddPage("Page1");
  auto* memo = Add<TfrxMemoView>(page, "Memo1", 13, 27, 1, 22);
  Open();
  W->ChangePage(page);
  Select({memo});
  Extended gx = W->Workspace()->GridX(), gy = W->Workspace()->GridY();
  ASSERT_GT(gx, 2);
  W->SetToGridB->Click();
  EXPECT_DOUBLE_EQ(memo->Left(), std::round(13 / gx) * gx);
  EXPECT_DOUBLE_EQ(memo->Top(), std::round(27 / gy) * gy);
  EXPECT_DOUBLE_EQ(memo->Width(), gx);  // 1 rounds to 0: one step instead
  EXPECT_DOUBLE_EQ(memo->Height(), std::round(22 / gy) * gy);
}

TEST_F(DesignerCommandsTest, SpreadingOrdersEdgesAsNumbers) {
  TfrxReportPage* page = AddPage("Page1");
  struct TCase {
    const char* What;
    std::vector<double> Lefts;   // in selection order
    std::vector<double> Expect;  // afterwards, same order
  } cases[] = {
      {"past ten thousand", {10001, 9999, 10000, 9000}, {10001, 9000 + 1001.0 / 3, 9000 + 2002.0 / 3, 9000}},
      {"two objects stay", {100, 500}, {100, 500}},
      {"even steps", {0, 90, 30, 300}, {0, 200, 100, 300}},
  };
  Open();
  W->ChangePage(page);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    std::vector<TfrxComponent*> objects;
    for (std::size_t i = 0; i < c.Lefts.size(); ++i)
      objects.push_back(Add<TfrxMemoView>(page, "", c.Lefts[i], 10, 20, 20));
    Select(objects);
    W->SpaceHorzB->Click();
    for (std::size_t i = 0; i < objects.size(); ++i) EXPECT_NEAR(objects[i]->Left(), c.Expect[i], 1e-6) << i;
    for (TfrxComponent* o : objects) delete o;
  }
}

TEST_F(DesignerCommandsTest, AlignmentButtonsFollowTheFirstSelectedObject) {
  TfrxReportPage* page = AddPage("Page1");
  auto* band = Add<TfrxMasterData>(page, "MasterData1", 0, 100, 700, 60);
  auto* f = Add<TfrxMemoView>(band, "F", 50, 10, 100, 20);
  auto* o = Add<TfrxMemoView>(band, "O", 300, 30, 40, 10);
  auto* fixed = Add<TfrxMemoView>(band, "Fixed", 400, 5, 40, 10);
  fixed->SetRestrictions({rfDontMove, rfDontSize});
  Open();
  W->ChangePage(page);
  struct TCase {
    TToolButton* Button;
    double Left, Top, Width, Height;
  } cases[] = {
      {W->AlignLeftsB, 50, 30, 40, 10},
      {W->AlignRightsB, 110, 30, 40, 10},
      {W->AlignHorzCentersB, 80, 30, 40, 10},
      {W->AlignVertCentersB, 80, 15, 40, 10},
      {W->SameWidthB, 80, 15, 100, 10},
      {W->SameHeightB, 80, 15, 100, 20},
      {W->CenterHorzB, (band->Width() - 100) / 2, 15, 100, 20},  // centred in its band
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Button->Name());
    Select({f, o, fixed});
    c.Button->Click();
    EXPECT_DOUBLE_EQ(o->Left(), c.Left);
    EXPECT_DOUBLE_EQ(o->Top(), c.Top);
    EXPECT_DOUBLE_EQ(o->Width(), c.Width);
    EXPECT_DOUBLE_EQ(o->Height(), c.Height);
    EXPECT_DOUBLE_EQ(fixed->Left(), 400);
    EXPECT_DOUBLE_EQ(fixed->Width(), 40);
  }
}

// ---------------------------------------------------------------- palette and insertion

namespace {
// The palette button of a registered class without category.
TToolButton* PaletteButtonOf(TfrxDesignerForm* W, TClass Class) {
  for (TToolButton* b : W->PaletteButtons()) {
    const TfrxObjectItem& item = ObjectRegistry().ItemAt(static_cast<int>(b->Tag()));
    if (item.ObjectClass == Class && item.Category.empty()) return b;
  }
  return nullptr;
}
}  // namespace

class DesignerPaletteTest : public DesignerCommandsTest {
protected:
  // Presses the palette button and drags a rectangle on the page from (X, Y) by (DX, DY).
  void Draw(TClass Class, int X, int Y, int DX, int DY) {
    TToolButton* b = PaletteButtonOf(W, Class);
    ASSERT_NE(b, nullptr) << Class->Name();
    ASSERT_TRUE(b->Visible());
    Click(b, {b->Width() / 2, b->Height() / 2});
    TControl* ws = W->Workspace();
    Move(ws, {X, Y});
    Press(ws, {X, Y});
    Move(ws, {X + DX / 2, Y + DY / 2}, Qt::LeftButton);
    Move(ws, {X + DX, Y + DY}, Qt::LeftButton);
    Release(ws, {X + DX, Y + DY});
    Application->ProcessMessages();
  }
  int CountOf(TfrxPage* Page, TClass Class) {
    int n = 0;
    for (TfrxComponent* c : Page->AllObjects())
      if (c->ClassType() == Class) ++n;
    return n;
  }
};

TEST_F(DesignerPaletteTest, ALineKeepsItsToolArmedAndAMemoReturnsToSelecting) {
  TfrxReportPage* page = AddPage("Page1");
  Open();
  W->ChangePage(page);
  Draw(TfrxLineView::StaticClass(), 40, 40, 100, 0);
  EXPECT_EQ(CountOf(page, TfrxLineView::StaticClass()), 1);
  EXPECT_EQ(W->Workspace()->Insertion().ComponentClass, TfrxLineView::StaticClass());
  EXPECT_FALSE(W->SelectToolB->Down());

  Draw(TfrxMemoView::StaticClass(), 40, 100, 120, 30);
  ASSERT_EQ(CountOf(page, TfrxMemoView::StaticClass()), 1);
  EXPECT_EQ(W->SelectedObjects().front()->Name(), "Memo1");
  EXPECT_TRUE(W->SelectToolB->Down());
  EXPECT_FALSE(W->Workspace()->Inserting());
  EXPECT_TRUE(W->Modified());
}

TEST_F(DesignerPaletteTest, TheBandMenuOffersASecondMasterDataButNoSecondPageHeader) {
  TfrxReportPage* page = AddPage("Page1");
  Open();
  W->ChangePage(page);
  W->PageHeaderMI->Click();
  W->MasterDataMI->Click();
  W->BandsPopupPopup(W->BandsPopup);
  EXPECT_FALSE(W->PageHeaderMI->Enabled());
  EXPECT_TRUE(W->MasterDataMI->Enabled());
  W->MasterDataMI->Click();
  EXPECT_EQ(CountOf(page, TfrxMasterData::StaticClass()), 2);
  EXPECT_EQ(CountOf(page, TfrxPageHeader::StaticClass()), 1);
  EXPECT_EQ(W->SelectedObjects().front()->Name(), "MasterData2");
  EXPECT_DOUBLE_EQ(W->SelectedObjects().front()->Height(), 22.68);  // 6 mm in centimetre units
}

TEST_F(DesignerPaletteTest, ASubreportAddsAPageNamedAfterItUnlessPagesAreBlocked) {
  struct TCase {
    const char* What;
    TfrxDesignerRestrictions Restrictions;
    int Pages, Subreports;
  } cases[] = {
      {"free", {}, 2, 1},
      {"no objects", {drDontInsertObject}, 1, 0},
      {"no pages", {drDontCreatePage}, 1, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Report = std::make_unique<TfrxReport>(nullptr);
    TfrxReportPage* page = AddPage("Page1");
    TfrxDesigner restrictions(nullptr);
    restrictions.SetRestrictions(c.Restrictions);
    TfrxDesigner::MakeCurrent(&restrictions);
    Open();
    W->ChangePage(page);
    Draw(TfrxSubreport::StaticClass(), 40, 40, 100, 40);
    EXPECT_EQ(Report->CountPages(), c.Pages);
    EXPECT_EQ(CountOf(page, TfrxSubreport::StaticClass()), c.Subreports);
    EXPECT_TRUE(W->SelectToolB->Down() || c.Subreports == 1);
    if (c.Subreports == 1) {
      EXPECT_EQ(W->Page(), Report->PageAt(1));
      EXPECT_EQ(W->Tab->Tabs()->Strings(2), "Subreport1");
    }
    delete W;
    W = nullptr;
    TfrxDesigner::MakeCurrent(nullptr);
  }
}

TEST_F(DesignerPaletteTest, ThePaletteShowsWhatFitsThePageKind) {
  TfrxReportPage* page = AddPage("Page1");
  auto* dmp = new TfrxDMPPage(Report.get());
  dmp->SetParent(Report.get());
  dmp->SetName("Page2");
  Open();
  TToolButton* memo = PaletteButtonOf(W, TfrxMemoView::StaticClass());
  TToolButton* dmpMemo = PaletteButtonOf(W, TfrxDMPMemoView::StaticClass());
  ASSERT_NE(memo, nullptr);
  ASSERT_NE(dmpMemo, nullptr);
  W->ChangePage(page);
  EXPECT_TRUE(memo->Visible());
  EXPECT_FALSE(dmpMemo->Visible());
  W->ChangePage(dmp);
  EXPECT_FALSE(memo->Visible());
  EXPECT_TRUE(dmpMemo->Visible());
  // On the code tab a palette button does nothing.
  W->ChangePage(nullptr);
  memo->Click();
  EXPECT_FALSE(W->Workspace()->Inserting());
}

// ---------------------------------------------------------------- code tab and debugger

class DesignerDebuggerTest : public DesignerCommandsTest {
protected:
  void SetUp() override {
    DesignerCommandsTest::SetUp();
    AddPage("Page1");
    Report->ScriptText()->SetText(
        "var a, b, c: Integer;\nbegin\n  a := 1;\n  b := 2;\n  if a > 5 then\n    c := 3;\n  c := a + b;\nend.");
    Open();
    W->ChangePage(nullptr);
    W->OnPaused = [this] {
      Stops.push_back(W->CodeWindow()->DebugLine());
      if (OnStop) OnStop(static_cast<int>(Stops.size()));
    };
  }
  // Runs (or steps) with the preview closed as soon as it shows.
  void Go(bool Step) {
    TModalStep closePreview([](TCustomForm* f) { f->SetModalResult(mrCancel); });
    if (Step) W->StepScriptB->Click();
    else W->RunScriptB->Click();
    EXPECT_FALSE(W->ScriptRunning());
    EXPECT_EQ(W->CodeWindow()->DebugLine(), -1);
  }
  std::vector<int> Stops;
  std::function<void(int)> OnStop;
};

TEST_F(DesignerDebuggerTest, StepStopsAtEachStatementAndRunWhilePausedFinishes) {
  struct TCase {
    const char* What;
    std::function<void(TfrxDesignerForm*, int)> AtStop;
    std::vector<int> Stops;
  } cases[] = {
      {"step through", [](TfrxDesignerForm* w, int) { w->StepScriptB->Click(); }, {3, 4, 5, 7}},
      {"run at the second stop", [](TfrxDesignerForm* w, int n) {
         if (n == 2) w->RunScriptB->Click();
         else w->StepScriptB->Click();
       }, {3, 4}},
      {"stop at the first", [](TfrxDesignerForm* w, int) { w->StopScriptB->Click(); }, {3}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Stops.clear();
    OnStop = [&](int n) { c.AtStop(W, n); };
    Go(true);
    EXPECT_EQ(Stops, c.Stops);
  }
}

TEST_F(DesignerDebuggerTest, RunToALineNeverReachedRunsToTheEnd) {
  OnStop = [&](int) { W->StepScriptB->Click(); };
  W->CodeWindow()->MoveCaretTo(5, 6);  // inside the branch that is never taken
  W->CodeWindow()->SetFocus();
  TModalStep closePreview([](TCustomForm* f) { f->SetModalResult(mrCancel); });
  TypeKey(Qt::Key_F4);
  EXPECT_TRUE(Stops.empty());
  EXPECT_FALSE(W->ScriptRunning());
  EXPECT_EQ(W->CodeWindow()->RunToLine(), 6);  // never reached, so never cleared by a stop
}

TEST_F(DesignerDebuggerTest, ChangingTheLanguageAsksAndYesEmptiesTheScript) {
  String before = W->CodeWindow()->GetTrimmedLines()->Text();
  int basic = W->LangCB->Items()->IndexOf("BasicScript");
  ASSERT_GE(basic, 0);
  TDialogScript person;
  person.Button(IDNO).Button(IDYES);
  W->LangCB->SetItemIndex(basic);
  W->LangCBClick(W->LangCB);
  EXPECT_EQ(Report->ScriptLanguage(), "PascalScript");
  EXPECT_EQ(W->LangCB->Text(), "PascalScript");
  EXPECT_EQ(W->CodeWindow()->GetTrimmedLines()->Text(), before);

  W->LangCB->SetItemIndex(basic);
  W->LangCBClick(W->LangCB);
  EXPECT_EQ(Report->ScriptLanguage(), "BasicScript");
  EXPECT_EQ(Trim(W->CodeWindow()->GetTrimmedLines()->Text()), "");
  EXPECT_EQ(W->SaveScriptDialog->FilterIndex(), 4);
  EXPECT_EQ(W->SaveScriptDialog->DefaultExt(), "vb");
  ASSERT_EQ(person.Asked().size(), 2u);
  EXPECT_EQ(person.Asked()[0].Text, "清除所有的脚本，你要继续吗?");
}

TEST_F(DesignerDebuggerTest, ClosingTheWindowWhilePausedStopsTheRunAndKeepsTheWindow) {
  bool closeRefused = false;
  OnStop = [&](int) {
    W->Close();
    closeRefused = !W->Closed();
  };
  Go(true);
  EXPECT_EQ(Stops, (std::vector<int>{3}));
  EXPECT_TRUE(closeRefused);
  EXPECT_TRUE(Report->Terminated());
}

TEST_F(DesignerCommandsTest, TheInspectorsObjectListFollowsRenamesAndNewObjects) {
  TfrxReportPage* page = AddPage("Page1");
  auto* memo = Add<TfrxMemoView>(page, "Memo1", 10, 10, 100, 20);
  Open();
  W->ChangePage(page);
  ASSERT_NE(W->InspectorForm(), nullptr);
  TStrings* items = W->InspectorForm()->ObjectsCB->Items();
  auto listed = [&](const String& Text) {
    for (int i = 0; i < items->Count(); ++i)
      if (StartsStr(Text, items->Strings(i))) return true;
    return false;
  };
  Select({memo});
  W->FlagModified(true);
  EXPECT_TRUE(listed("Memo1"));
  memo->SetName("Total");
  W->FlagModified(true);
  EXPECT_TRUE(listed("Total"));
  EXPECT_FALSE(listed("Memo1"));
  W->NewPageCmd->Execute();
  W->ChangePage(page);
  W->MasterDataMI->Click();
  EXPECT_TRUE(listed("MasterData1"));
}

TEST_F(DesignerCommandsTest, ADoubleClickedFieldGoesIntoTheCodeAtTheCaret) {
  TfrxUserDataSet customers(nullptr);
  customers.SetUserName("Customers");
  customers.Fields()->SetText("Name\nAmount");
  Report->DataSets()->AddDataSet(&customers);
  AddPage("Page1");
  Report->ScriptText()->SetText("begin\n  \nend.");
  Open();
  W->ChangePage(nullptr);
  W->CodeWindow()->MoveCaretTo(3, 2);
  TfrxDataTreeForm* tree = W->DataTreeForm();
  ASSERT_NE(tree, nullptr);
  tree->RefreshTrees();
  tree->Show();
  Application->ProcessMessages();
  TTreeNode* node = nullptr;
  for (int i = 0; i < tree->DataTree->Items()->Count(); ++i)
    if (tree->DataTree->Items()->Item(i)->Text() == "Amount") node = tree->DataTree->Items()->Item(i);
  ASSERT_NE(node, nullptr);
  node->MakeVisible();
  TRect r = node->DisplayRect(true);
  TPoint p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  Click(tree->DataTree, p);
  Press(tree->DataTree, p, Qt::LeftButton, 20);
  SendMouse(tree->DataTree, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
  Release(tree->DataTree, p);
  Application->ProcessMessages();
  TStringList lines;
  lines.Assign(W->CodeWindow()->GetTrimmedLines());
  EXPECT_EQ(lines[1], "  <Customers.\"Amount\">");
  Report->DataSets()->Clear();
}

TEST_F(DesignerCommandsTest, TheHighlightOfTheFirstMemoIsCopiedToTheOthers) {
  TfrxReportPage* page = AddPage("Page1");
  auto* first = Add<TfrxMemoView>(page, "Memo1", 10, 10, 100, 20);
  auto* second = Add<TfrxMemoView>(page, "Memo2", 10, 40, 100, 20);
  auto* line = Add<TfrxLineView>(page, "Line1", 10, 70, 100, 0);
  Open();
  W->ChangePage(page);
  struct TCase {
    const char* What;
    std::vector<TfrxComponent*> Selection;
    int Result;
    String SecondCondition;
  } cases[] = {
      {"cancelled", {first, second}, mrCancel, ""},
      {"a line first", {line, second}, mrOk, ""},
      {"confirmed", {first, second, line}, mrOk, "<Value> > 10"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Select(c.Selection);
    TModalStep answer([&](TCustomForm* f) {
      auto* d = dynamic_cast<TfrxHighlightEditorForm*>(f);
      ASSERT_NE(d, nullptr);
      d->ConditionE->SetText("<Value> > 10");
      d->SetModalResult(c.Result);
    });
    W->HighlightB->Click();
    EXPECT_EQ(second->Highlight()->Condition(), c.SecondCondition);
  }
}

TEST_F(DesignerCommandsTest, ARunThatFailsShowsItsErrorAndTheDefinitionComesBack) {
  TfrxReportPage* page = AddPage("Page1");
  page->SetPaperWidth(210);
  page->SetPaperHeight(297);
  auto* band = Add<TfrxReportTitle>(page, "ReportTitle1", 0, 0, 700, 40);
  Add<TfrxMemoView>(band, "Memo1", 10, 0, 100, 20)->SetText("before");
  Report->ScriptText()->SetText("var z: Integer;\nbegin\n  Memo1.Text := 'after';\n  z := 0;\n  z := 10 div z;\nend.");
  Open();
  W->ChangePage(page);
  String before = DefinitionOf(Report.get());
  TDialogScript person;
  person.Button(IDOK);
  TModalStep closePreview([](TCustomForm* f) { f->SetModalResult(mrCancel); });
  W->PreviewCmd->Execute();
  EXPECT_EQ(DefinitionOf(Report.get()), before);
  ASSERT_EQ(person.Asked().size(), 1u);
  EXPECT_FALSE(person.Asked()[0].Text.empty());
}

TEST_F(DesignerCommandsTest, ReportCommandsOpenTheirDialogsAndCancelChangesNothing) {
  TfrxReportPage* page = AddPage("Page1");
  Open();
  W->ChangePage(page);
  W->FlagModified(false);
  struct TCase {
    const char* What;
    std::function<void()> Run;
    std::function<bool(TCustomForm*)> IsDialog;
  } cases[] = {
      {"report data", [&] { W->ReportDataMI->Click(); },
       [](TCustomForm* f) { return dynamic_cast<TfrxReportDataForm*>(f) != nullptr; }},
      {"variables", [&] { W->VariablesCmd->Execute(); },
       [](TCustomForm* f) { return dynamic_cast<TfrxVarEditorForm*>(f) != nullptr; }},
      {"styles", [&] { W->ReportStylesMI->Click(); },
       [](TCustomForm* f) { return dynamic_cast<TfrxStyleEditorForm*>(f) != nullptr; }},
      {"report settings", [&] { W->ReportSettingsMI->Click(); },
       [](TCustomForm* f) { return dynamic_cast<TfrxReportEditorForm*>(f) != nullptr; }},
      {"page settings", [&] { W->PageSettingsCmd->Execute(); },
       [](TCustomForm* f) { return dynamic_cast<TfrxPageEditorForm*>(f) != nullptr; }},
      {"new item", [&] { W->NewItemCmd->Execute(); },
       [](TCustomForm* f) { return dynamic_cast<TfrxNewItemForm*>(f) != nullptr; }},
      {"about", [&] { W->AboutMI->Click(); },
       [](TCustomForm* f) { return dynamic_cast<TfrxAboutForm*>(f) != nullptr; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    bool right = false;
    TModalStep cancel([&](TCustomForm* f) {
      right = c.IsDialog(f);
      f->SetModalResult(mrCancel);
    });
    c.Run();
    EXPECT_TRUE(cancel.Done());
    EXPECT_TRUE(right);
    EXPECT_FALSE(W->Modified());
  }
  EXPECT_EQ(W->StyleCB->Items()->Strings(0), ReportResources()->TextOf("dsNoStyle"));
}
