// The designer window's own workspace driven with the mouse and keys: the zoom tool, guides,
// fields dropped from the data tree, the field drop-down, pasted objects following the mouse,
// and undo and redo of changes made on the page.
#include "GuiTestUtil.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/ActnList.h"
#include "gui/Clipbrd.h"
#include "gui/ComCtrls.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/TreeView.h"
#include "report/designer/frxDataTree.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/designer/frxDesgnWorkspace1.h"
#include "report/designer/frxDesignerForm.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxVariables.h"
#include "report/designer/frxInsp.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace guitest;

namespace {

// A data set whose fields all report one display width.
class TWideDataSet : public TfrxUserDataSet {
public:
  using TfrxUserDataSet::TfrxUserDataSet;
  int Width = 10;
  int DisplayWidth(const String&) override { return Width; }
};

String Fr3(TfrxReport* R) {
  TStringStream s;
  R->SaveToStream(&s, true, false);
  return s.DataString();
}

TTreeNode* FindNode(TTreeView* Tree, const String& Text) {
  for (int i = 0; i < Tree->Items()->Count(); ++i)
    if (Tree->Items()->Item(i)->Text() == Text) return Tree->Items()->Item(i);
  return nullptr;
}

}  // namespace

class DesignerToolsTest : public ::testing::Test {
protected:
  void SetUp() override {
    TfrxDataTreeForm::RememberedCollapsed().clear();
    Report = std::make_unique<TfrxReport>(nullptr);
    Customers = std::make_unique<TWideDataSet>(nullptr);
    Customers->SetUserName("Customers");
    Customers->Fields()->SetText("Name\nAmount");
    Report->DataSets()->AddDataSet(Customers.get());
    Page = new TfrxReportPage(Report.get());
    Page->SetParent(Report.get());
    Page->SetName("Page1");
    Page->SetPaperSize(256);  // a size of its own, kept as written through every reload
    Band = new TfrxMasterData(Page);
    Band->SetParent(Page);
    Band->SetName("MasterData1");
    Band->SetBounds(0, 40, 700, 80);
    Band->SetDataSet(Customers.get());
    Memo = new TfrxMemoView(Band);
    Memo->SetParent(Band);
    Memo->SetName("Memo1");
    Memo->SetBounds(200, 20, 120, 20);
  }
  void TearDown() override {
    delete W;
    W = nullptr;
    Report.reset();
    Application->ProcessMessages();
  }
  void Open() {
    W = static_cast<TfrxDesignerForm*>(TfrxDesignerForm::Create(nullptr, Report.get(), false));
    // A first start opens at 75 % and edits each inserted object at once; these tests measure
    // at 100 % and insert without the editors.
    W->SetScale(1);
    W->SetEditAfterInsert(false);
    W->SetBounds(0, 0, 1000, 700);
    W->Show();
    Application->ProcessMessages();
    WS = W->DesignerWorkspace();
    ASSERT_NE(WS, nullptr);
  }
  TPoint OnPage(double X, double Y) const {
    return {static_cast<int>(std::lround(X * W->Scale())), static_cast<int>(std::lround(Y * W->Scale()))};
  }
  // Selects a data-tree node on the Data tab, as the user would before dragging it.
  void SelectTreeNode(const String& Text) {
    TfrxDataTreeForm* tree = W->DataTreeForm();
    tree->Tabs->SetActivePage(tree->DataTS);
    TTreeNode* node = FindNode(tree->DataTree, Text);
    ASSERT_NE(node, nullptr) << Text;
    tree->DataTree->SetSelected(node);
  }
  // The platform's drag of the selected tree item over the page and its drop.
  void DragTreeItemTo(TTreeView* Source, TPoint At) {
    bool accept = false;
    WS->DragOver(Source, At.X, At.Y, dsDragMove, accept);
    ASSERT_TRUE(accept);
    WS->DragDrop(Source, At.X, At.Y);
    Application->ProcessMessages();
  }
  std::vector<TfrxMemoView*> MemosIn(TfrxComponent* Parent) const {
    std::vector<TfrxMemoView*> r;
    for (TfrxComponent* c : Parent->AllObjects())
      if (auto* m = dynamic_cast<TfrxMemoView*>(c)) r.push_back(m);
    return r;
  }

  std::unique_ptr<TfrxReport> Report;
  std::unique_ptr<TWideDataSet> Customers;
  TfrxReportPage* Page = nullptr;
  TfrxMasterData* Band = nullptr;
  TfrxMemoView* Memo = nullptr;
  TfrxDesignerForm* W = nullptr;
  TDesignerWorkspace* WS = nullptr;
};

// ---------------------------------------------------------------- tools

TEST_F(DesignerToolsTest, TheZoomToolStepsByClicksAndStopsAtItsLowerBound) {
  Open();
  const struct {
    double From;
    Qt::MouseButton Button;
    double To;
  } cases[] = {{0.75, Qt::LeftButton, 1.0}, {1, Qt::LeftButton, 2}, {0.4, Qt::RightButton, 0.4},
               {1, Qt::RightButton, 0.75}, {3, Qt::RightButton, 2}};
  WS->SetTool(wtZoom);
  for (const auto& c : cases) {
    W->SetScale(c.From);
    Click(WS, {40, 40}, c.Button);
    EXPECT_DOUBLE_EQ(static_cast<double>(W->Scale()), c.To) << c.From;
  }
  EXPECT_TRUE(W->SelectedObjects().empty() || W->SelectedObjects().front() == Page);  // nothing picked
}

TEST_F(DesignerToolsTest, TheFormatPainterCopiesTheLookOfTheSelectedMemoOnly) {
  auto* other = new TfrxMemoView(Band);
  other->SetParent(Band);
  other->SetName("Memo2");
  other->SetBounds(400, 20, 100, 20);
  Memo->SetColor(clRed);
  Memo->Font()->SetSize(14);
  Memo->SetHAlign(haRight);
  Memo->SetText("keep");
  other->SetText("mine");
  Open();
  Click(WS, OnPage(Memo->AbsLeft() + 10, Memo->AbsTop() + 5));
  WS->SetTool(wtFormat);
  Click(WS, OnPage(other->AbsLeft() + 10, other->AbsTop() + 5));
  EXPECT_EQ(other->Color(), clRed);
  EXPECT_EQ(other->Font()->Size(), 14);
  EXPECT_EQ(other->HAlign(), haRight);
  EXPECT_EQ(other->Text(), "mine");
  EXPECT_TRUE(W->Modified());
}

// ---------------------------------------------------------------- guides

TEST_F(DesignerToolsTest, AGuideDraggedOffThePageIsRemoved) {
  Page->VGuides()->Add("300");
  Open();
  W->SetGridAlign(false);
  Move(WS, OnPage(300, 400));
  Press(WS, OnPage(300, 400));
  Move(WS, OnPage(150, 400), Qt::LeftButton);
  EXPECT_NEAR(StrToFloat(Page->VGuides()->Strings(0)), 150, 1);
  Move(WS, OnPage(2, 400), Qt::LeftButton);
  Release(WS, OnPage(2, 400));
  EXPECT_EQ(Page->VGuides()->Count(), 0);
}

TEST_F(DesignerToolsTest, ADraggedEdgeSnapsToANearGuideOnlyWithGuidesShown) {
  for (bool guides : {true, false}) {
    SetUp();
    Page->VGuides()->Add("330");
    Open();
    W->SetShowGuides(guides);
    W->SetGridAlign(false);
    // The memo's right edge is at 320: dragging it 5 px right comes within 6 px of the guide.
    Move(WS, OnPage(Memo->AbsLeft() + 10, Memo->AbsTop() + 5));
    Press(WS, OnPage(Memo->AbsLeft() + 10, Memo->AbsTop() + 5));
    Move(WS, OnPage(Memo->AbsLeft() + 15, Memo->AbsTop() + 5), Qt::LeftButton);
    Release(WS, OnPage(Memo->AbsLeft() + 15, Memo->AbsTop() + 5));
    if (guides) EXPECT_NEAR(static_cast<double>(Memo->Left() + Memo->Width()), 330, 0.01);
    else EXPECT_NEAR(static_cast<double>(Memo->Left()), 205, 0.01);
    TearDown();
  }
  SetUp();
}

TEST_F(DesignerToolsTest, ARulerDroppedOnThePageAddsAGuide) {
  Open();
  W->SetGridAlign(false);
  bool accept = false;
  WS->DragOver(W->TopRuler, 50, 123, dsDragMove, accept);
  ASSERT_TRUE(accept);
  WS->DragDrop(W->TopRuler, 50, 123);
  ASSERT_EQ(Page->HGuides()->Count(), 1);
  EXPECT_NEAR(StrToFloat(Page->HGuides()->Strings(0)), 123 / static_cast<double>(W->Scale()), 1e-6);
  W->SetShowGuides(false);
  WS->DragOver(W->TopRuler, 50, 123, dsDragMove, accept);
  EXPECT_FALSE(accept);
}

// ---------------------------------------------------------------- data-tree drops

TEST_F(DesignerToolsTest, AFieldDroppedWithBothBoxesMakesABoundMemoAndItsCaptionAbove) {
  Open();
  TfrxDataTreeForm* tree = W->DataTreeForm();
  tree->InsFieldCB->SetChecked(true);
  tree->InsCaptionCB->SetChecked(true);
  SelectTreeNode("Name");
  ASSERT_EQ(tree->SelectedItemText(), "<Customers.\"Name\">");
  std::size_t before = MemosIn(Page).size();
  DragTreeItemTo(tree->DataTree, OnPage(200, 400));
  std::vector<TfrxMemoView*> made;
  for (TfrxMemoView* m : MemosIn(Page))
    if (m != Memo) made.push_back(m);
  ASSERT_EQ(made.size(), before + 1);
  TfrxMemoView* bound = made[0]->DataField() == "Name" ? made[0] : made[1];
  TfrxMemoView* caption = bound == made[0] ? made[1] : made[0];
  EXPECT_EQ(bound->DataSet(), Customers.get());
  EXPECT_EQ(caption->Text(), "Name");
  EXPECT_EQ(caption->DataSet(), nullptr);
  EXPECT_NEAR(static_cast<double>(bound->AbsTop() - caption->AbsTop()), static_cast<double>(bound->Height()), 0.01);
  EXPECT_TRUE(W->Modified());
}

TEST_F(DesignerToolsTest, DroppedItemsFollowTheBoxesAndTheirKind) {
  Report->Variables()->SetVariables("Total", 5);
  struct TCase {
    const char* Node;
    bool Field, Caption;
    const char* Text;      // the one memo made
    bool DataSet;
  };
  const TCase cases[] = {{"Name", false, true, "Name", false}, {"Total", true, false, "[Total]", false}};
  for (const TCase& c : cases) {
    SetUp();
    Report->Variables()->SetVariables("Total", 5);
    Open();
    TfrxDataTreeForm* tree = W->DataTreeForm();
    tree->InsFieldCB->SetChecked(c.Field);
    tree->InsCaptionCB->SetChecked(c.Caption);
    TTreeView* view = tree->DataTree;
    if (String(c.Node) == "Total") {
      tree->Tabs->SetActivePage(tree->VariablesTS);
      view = tree->VariablesTree;
      TTreeNode* node = FindNode(view, "Total");
      ASSERT_NE(node, nullptr);
      view->SetSelected(node);
    } else {
      SelectTreeNode(c.Node);
    }
    DragTreeItemTo(view, OnPage(200, 400));
    std::vector<TfrxMemoView*> made;
    for (TfrxMemoView* m : MemosIn(Page))
      if (m != Memo) made.push_back(m);
    ASSERT_EQ(made.size(), 1u) << c.Node;
    EXPECT_EQ(made[0]->Text(), c.Text);
    EXPECT_EQ(made[0]->DataSet() != nullptr, c.DataSet);
    TearDown();
  }
  SetUp();
}

TEST_F(DesignerToolsTest, AWideFieldIsCappedAtAHundredCharacters) {
  Customers->Width = 250;
  Open();
  SelectTreeNode("Name");
  bool accept = false;
  WS->DragOver(W->DataTreeForm()->DataTree, 300, 300, dsDragMove, accept);
  ASSERT_TRUE(WS->Inserting());
  // 100 characters of 8 pixels, on the grid.
  EXPECT_NEAR(static_cast<double>(WS->Insertion().Width), 800, static_cast<double>(WS->GridX()));
}

// ---------------------------------------------------------------- field drop-down

TEST_F(DesignerToolsTest, TheDropDownSetsTheFieldOnceAndIsAbsentWithoutDropFields) {
  Open();
  int changes = 0;
  W->RefreshReportTree = [&] { ++changes; };  // called once per flagged change
  TPoint over = OnPage(Memo->AbsLeft() + 20, Memo->AbsTop() + 5);
  Move(WS, over);
  ASSERT_EQ(WS->FieldTarget(), Memo);
  Click(WS, OnPage(Memo->Left() + Memo->Width() - 8, Memo->AbsTop() + 8));
  ASSERT_NE(WS->FieldList(), nullptr);
  TListBox* list = WS->FieldList();
  int amount = list->Items()->IndexOf("Amount");
  ASSERT_GE(amount, 0);
  list->SetItemIndex(amount);
  changes = 0;
  list->OnClick(list);
  EXPECT_EQ(Memo->DataField(), "Amount");
  EXPECT_EQ(Memo->DataSet(), Customers.get());
  EXPECT_EQ(changes, 1);

  W->SetDropFields(false);
  Application->ProcessMessages();
  Move(WS, OnPage(600, 600));
  Move(WS, over);
  Click(WS, OnPage(Memo->Left() + Memo->Width() - 8, Memo->AbsTop() + 8));
  EXPECT_EQ(WS->FieldPopup(), nullptr);
  EXPECT_EQ(W->SelectedObjects(), (std::vector<TfrxComponent*>{Memo}));  // an ordinary press
}

// ---------------------------------------------------------------- clipboard and undo

TEST_F(DesignerToolsTest, PastedObjectsFollowTheMouseAndEscDeletesThem) {
  Open();
  Click(WS, OnPage(Memo->AbsLeft() + 10, Memo->AbsTop() + 5));
  W->CopyCmd->Execute();
  std::size_t before = MemosIn(Page).size();
  W->PasteCmd->Execute();
  ASSERT_TRUE(WS->PasteDragging());
  ASSERT_EQ(MemosIn(Page).size(), before + 1);
  WS->SetFocus();
  TypeKey(Qt::Key_Escape);
  EXPECT_EQ(MemosIn(Page).size(), before);
  EXPECT_FALSE(WS->PasteDragging());
}

TEST_F(DesignerToolsTest, APasteIsPlacedByAClickAndLeavesOneSnapshot) {
  Open();
  Click(WS, OnPage(Memo->AbsLeft() + 10, Memo->AbsTop() + 5));
  W->CopyCmd->Execute();
  int undos = W->UndoBuffer()->UndoCount();
  W->PasteCmd->Execute();
  ASSERT_EQ(W->SelectedObjects().size(), 1u);
  TfrxComponent* pasted = W->SelectedObjects().front();
  ASSERT_NE(pasted, Memo);
  Move(WS, OnPage(300, 300));
  Click(WS, OnPage(300, 300));
  EXPECT_FALSE(WS->PasteDragging());
  EXPECT_EQ(W->UndoBuffer()->UndoCount(), undos + 1);
  EXPECT_NE(std::find(Page->AllObjects().begin(), Page->AllObjects().end(), pasted), Page->AllObjects().end());
}

TEST_F(DesignerToolsTest, UndoAndRedoBringBackTheReportBeforeAndAfterAMove) {
  Open();
  EXPECT_EQ(W->UndoBuffer()->UndoCount(), 1);
  String opened = Fr3(Report.get());
  // Ctrl+Z with the opening snapshot alone changes nothing.
  WS->SetFocus();
  TypeKey(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Fr3(Report.get()), opened);

  // A first change, then the move that is undone and redone.
  Click(WS, OnPage(Memo->AbsLeft() + 10, Memo->AbsTop() + 5));
  WS->SetFocus();
  TypeKey(Qt::Key_Down, Qt::ControlModifier);
  String beforeMove = Fr3(Report.get());
  TypeKey(Qt::Key_Right, Qt::ControlModifier);
  String moved = Fr3(Report.get());
  ASSERT_NE(moved, beforeMove);
  WS->SetFocus();
  TypeKey(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Fr3(Report.get()), beforeMove);
  EXPECT_EQ(W->Page(), Report->PageAt(0));
  EXPECT_EQ(W->Tab->TabIndex(), 1);
  EXPECT_TRUE(W->RedoCmd->Enabled());
  W->RedoCmd->Execute();
  EXPECT_EQ(Fr3(Report.get()), moved);
  EXPECT_FALSE(W->RedoCmd->Enabled());
  // Another change forgets what could be redone.
  TypeKey(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(W->RedoCmd->Enabled());
  WS->SetFocus();
  Click(WS, OnPage(Report->FindObject("Memo1")->AbsLeft() + 10, Report->FindObject("Memo1")->AbsTop() + 5));
  TypeKey(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_FALSE(W->RedoCmd->Enabled());
}

TEST_F(DesignerToolsTest, CutRemovesTheSelectionAndPasteOffersItAgain) {
  Open();
  Click(WS, OnPage(Memo->AbsLeft() + 10, Memo->AbsTop() + 5));
  Memo->SetText("中文😀");
  W->CutCmd->Execute();
  EXPECT_TRUE(MemosIn(Page).empty());
  W->TimerTimer(nullptr);
  EXPECT_TRUE(W->PasteCmd->Enabled());
  W->PasteCmd->Execute();
  ASSERT_EQ(MemosIn(Page).size(), 1u);
  EXPECT_EQ(MemosIn(Page)[0]->Text(), "中文😀");
  Clipboard()->SetAsText("plain text");
  Application->ProcessMessages();
  W->TimerTimer(nullptr);
  EXPECT_FALSE(W->PasteCmd->Enabled());
}

TEST_F(DesignerToolsTest, TheToolWindowsFloatWithTheToolsColourAndFollowTheSelection) {
  Open();
  ASSERT_NE(W->InspectorForm(), nullptr);
  ASSERT_NE(W->DataTreeForm(), nullptr);
  EXPECT_EQ(W->Inspector, W->InspectorForm());
  Click(WS, OnPage(Memo->AbsLeft() + 10, Memo->AbsTop() + 5));
  EXPECT_EQ(W->InspectorForm()->ObjectsCB->Text().substr(0, 5), "Memo1");
  EXPECT_NE(FindNode(W->DataTreeForm()->DataTree, "Customers"), nullptr);
}
