// The designer's data tree: the data sets and fields, variables and system variables,
// functions and classes of a report, the text each item hands to a drag or double click, and
// the collapsed data sets remembered from one designer to the next.
#include "GuiTestUtil.h"
#include "core/StringList.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/TreeView.h"
#include "report/designer/frxDataTree.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDBSet.h"
#include "report/frxVariables.h"
#include "script/fs_iscript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace guitest;

namespace {

class TTreeDesigner : public TfrxCustomDesigner {
public:
  explicit TTreeDesigner(TfrxReport* R) : TfrxCustomDesigner(nullptr, R) {}
  void CurrentCodeLines(TStrings*) override {}
  bool AskExpression(String&) override { return false; }
  void DropSelection() override {}
  void RebuildPageTabs(int) override {}
  void RefreshFromReport() override {}
  void RefreshDataTree() override {}
  void RepaintPage() override {}
};

TTreeNode* FindNode(TTreeView* Tree, const String& Text) {
  for (int i = 0; i < Tree->Items()->Count(); ++i)
    if (Tree->Items()->Item(i)->Text() == Text) return Tree->Items()->Item(i);
  return nullptr;
}

class DataTreeTest : public ::testing::Test {
protected:
  void SetUp() override {
    TfrxDataTreeForm::RememberedCollapsed().clear();
    Customers.SetUserName("Customers");
    Customers.Fields()->SetText("Name\nAmount");
    Report.DataSets()->AddDataSet(&Customers);
  }
  std::unique_ptr<TfrxDataTreeForm> MakeTree(TComponent* Owner = nullptr) {
    auto tree = std::make_unique<TfrxDataTreeForm>(Owner);
    tree->SetReport(&Report);
    tree->RefreshTrees();
    tree->Show();
    Application->ProcessMessages();
    return tree;
  }
  // Selects the node as the user does: on its tab, by a click on its text.
  String TextFor(TfrxDataTreeForm* Tree, TTabSheet* Sheet, TTreeView* View, const String& NodeText) {
    Tree->Tabs->SetActivePage(Sheet);
    Application->ProcessMessages();
    TTreeNode* node = FindNode(View, NodeText);
    if (!node) return "(no node " + NodeText + ")";
    node->MakeVisible();
    TRect r = node->DisplayRect(true);
    Click(View, TPoint{r.Left + 4, (r.Top + r.Bottom) / 2});
    Application->ProcessMessages();
    if (View->Selected() != node)
      return "(not selected " + NodeText + " " + std::to_string(r.Left) + "," + std::to_string(r.Top) + " in " +
             std::to_string(View->ClientWidth()) + "x" + std::to_string(View->ClientHeight()) + ")";
    return Tree->SelectedItemText();
  }

  TfrxReport Report{nullptr};
  TfrxUserDataSet Customers{nullptr};
};

TEST_F(DataTreeTest, ItemsHandOverTheTextTheyStandFor) {
  Report.Variables()->SetVariables(" Totals", Variant());
  Report.Variables()->SetVariables("Total", 5);
  auto tree = MakeTree();
  struct TCase {
    TTabSheet* Sheet;
    TTreeView* View;
    String Node, Expected;
  };
  const std::vector<TCase> cases = {
      {tree->DataTS, tree->DataTree, "Name", "<Customers.\"Name\">"},
      {tree->DataTS, tree->DataTree, "Customers", ""},  // a data set stands for nothing
      {tree->VariablesTS, tree->VariablesTree, "Page#", "<Page#>"},
      {tree->VariablesTS, tree->VariablesTree, "Total", "<Total>"},
      {tree->FunctionsTS, tree->FunctionsTree, "IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", "IIF(,,)"},
      {tree->FunctionsTS, tree->FunctionsTree, "Date: TDateTime", "Date"},
  };
  for (const TCase& c : cases) EXPECT_EQ(TextFor(tree.get(), c.Sheet, c.View, c.Node), c.Expected) << c.Node;
  EXPECT_FALSE(tree->IsDataTabActive());
  tree->Tabs->SetActivePage(tree->DataTS);
  EXPECT_TRUE(tree->IsDataTabActive());
  // The categories and the system variables.
  ASSERT_NE(FindNode(tree->VariablesTree, "Totals"), nullptr);
  EXPECT_EQ(FindNode(tree->VariablesTree, "Total")->Parent(), FindNode(tree->VariablesTree, "Totals"));
  EXPECT_EQ(FindNode(tree->VariablesTree, "TotalPages#")->Parent()->Text(), "系统变量");
}

TEST_F(DataTreeTest, NoDataSetsAndHiddenFunctionsAreNotShown) {
  Report.DataSets()->Clear();
  Report.Script()->RegisterFunction("function SecretHelper(A: Integer): Integer", nullptr, "hidden");
  auto tree = MakeTree();
  ASSERT_EQ(tree->DataTree->Items()->Count(), 1);
  EXPECT_EQ(tree->DataTree->Items()->GetFirstNode()->Text(), "没有数据库可以使用");
  tree->Tabs->SetActivePage(tree->FunctionsTS);
  Application->ProcessMessages();
  ASSERT_GT(tree->FunctionsTree->Items()->Count(), 1);
  EXPECT_EQ(tree->FunctionsTree->Items()->GetFirstNode()->Text(), "函数");
  EXPECT_EQ(FindNode(tree->FunctionsTree, "SecretHelper(A: Integer): Integer"), nullptr);
  EXPECT_EQ(FindNode(tree->FunctionsTree, "hidden"), nullptr);
  EXPECT_NE(FindNode(tree->FunctionsTree, "其他"), nullptr);  // the category's own text
}

TEST_F(DataTreeTest, ClassMembersAppearOnFirstExpansion) {
  auto tree = MakeTree();
  tree->Tabs->SetActivePage(tree->ClassesTS);
  Application->ProcessMessages();
  TTreeNode* top = tree->ClassesTree->Items()->GetFirstNode();
  ASSERT_NE(top, nullptr);
  ASSERT_GT(top->Count(), 0);
  TTreeNode* cls = nullptr;
  for (int i = 0; i < top->Count() && !cls; ++i)
    if (top->Item(i)->Text().compare(0, 14, "TfrxMemoView =") == 0) cls = top->Item(i);
  ASSERT_NE(cls, nullptr);
  ASSERT_EQ(cls->Count(), 1);
  EXPECT_EQ(cls->Item(0)->Text(), "more...");
  cls->Expand(false);
  ASSERT_GT(cls->Count(), 1);
  std::vector<String> members;
  for (int i = 0; i < cls->Count(); ++i) members.push_back(cls->Item(i)->Text());
  EXPECT_NE(std::find(members.begin(), members.end(), "property WordWrap: Boolean"), members.end());
  EXPECT_EQ(std::find(members.begin(), members.end(), "more..."), members.end());
  cls->Collapse(false);
  cls->Expand(false);
  EXPECT_EQ(cls->Count(), static_cast<int>(members.size()));  // listed once
}

TEST_F(DataTreeTest, CollapsedDataSetsAreRememberedByExactName) {
  TfrxUserDataSet myDs(nullptr), ds(nullptr);
  myDs.SetUserName("MyDS");
  myDs.Fields()->SetText("A");
  ds.SetUserName("DS");
  ds.Fields()->SetText("B");
  Report.DataSets()->AddDataSet(&myDs);
  Report.DataSets()->AddDataSet(&ds);
  {
    TTreeDesigner designer(&Report);
    auto tree = MakeTree(&designer);
    FindNode(tree->DataTree, "MyDS")->Collapse(false);
    // A refresh keeps what the user collapsed.
    tree->RefreshTrees();
    EXPECT_FALSE(FindNode(tree->DataTree, "MyDS")->Expanded());
    EXPECT_TRUE(FindNode(tree->DataTree, "DS")->Expanded());
    tree.reset();  // a designer's tree leaves its collapsed sets behind
  }
  EXPECT_EQ(TfrxDataTreeForm::RememberedCollapsed(), "MyDS,");
  auto tree = MakeTree();
  EXPECT_FALSE(FindNode(tree->DataTree, "MyDS")->Expanded());
  EXPECT_TRUE(FindNode(tree->DataTree, "DS")->Expanded());
  EXPECT_TRUE(FindNode(tree->DataTree, "Customers")->Expanded());
}

TEST_F(DataTreeTest, DoubleClickReachesTheOwnersHandlerAndColourReachesEveryTree) {
  auto tree = MakeTree();
  String got;
  tree->OnDblClick = TNotifyEvent::Lambda([&](TObject*) { got = tree->SelectedItemText(); });
  TTreeNode* node = FindNode(tree->DataTree, "Amount");
  ASSERT_NE(node, nullptr);
  TRect r = node->DisplayRect(true);
  TPoint p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  Click(tree->DataTree, p);
  Press(tree->DataTree, p, Qt::LeftButton, 20);
  SendMouse(tree->DataTree, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
  Release(tree->DataTree, p);
  Application->ProcessMessages();
  EXPECT_EQ(got, "<Customers.\"Amount\">");
  tree->SetTreeColor(clYellow);
  for (TTreeView* t : {tree->DataTree, tree->VariablesTree, tree->FunctionsTree, tree->ClassesTree})
    EXPECT_EQ(t->Color(), clYellow);
  EXPECT_FALSE(tree->CBPanel->Visible());
  EXPECT_TRUE(tree->InsFieldCB->Checked());
  EXPECT_FALSE(tree->InsCaptionCB->Checked());
}

}  // namespace
