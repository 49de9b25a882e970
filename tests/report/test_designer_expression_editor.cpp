// The expression dialog driven offscreen: the line it opens with, the data tree's double click
// and drag, what OK and Cancel hand back, and the remembered place.
#include "GuiTestUtil.h"
#include "core/IniFiles.h"
#include "core/Scope.h"
#include "gui/ComCtrls.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"
#include "gui/TreeView.h"
#include "report/designer/frxDataTree.h"
#include "report/designer/frxEditExpr.h"
#include "report/frxRes.h"

#include "DesignerFixture.h"

#include <gtest/gtest.h>

namespace {
using namespace designer_test;
using namespace guitest;

using ExpressionEditorTest = DesignerDialogsTest;

TTreeNode* FindNode(TTreeView* Tree, const String& Text) {
  for (int i = 0; i < Tree->Items()->Count(); ++i)
    if (Tree->Items()->Item(i)->Text() == Text) return Tree->Items()->Item(i);
  return nullptr;
}

TPoint CentreOf(TTreeNode* Node) {
  Node->MakeVisible();
  TRect r = Node->DisplayRect(true);
  return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

TEST_F(ExpressionEditorTest, OkHandsBackTheLineAndCancelAnEmptyText) {
  struct Case {
    const char* Start;
    const char* Typed;  // nullptr: left as it opened
    bool Ok;
    const char* Answer;
  };
  const Case cases[] = {
      {"1 + 2", nullptr, true, "1 + 2"},
      {"1 + 2", "<Customers.\"Name\">", true, "<Customers.\"Name\">"},
      {"1 + 2", "3", false, ""},
      {"", nullptr, true, ""},
  };
  for (const Case& c : cases) {
    String shown;
    TModalStep step([&](TCustomForm* f) {
      auto* d = static_cast<TfrxExprEditorForm*>(f);
      shown = d->ExprMemo->Text();
      if (c.Typed) d->ExprMemo->SetText(c.Typed);
      (c.Ok ? d->OkB : d->CancelB)->Click();
    });
    String expression = c.Start;
    EXPECT_EQ(AskExpressionDialog(Designer.get(), expression), c.Ok) << c.Start;
    EXPECT_EQ(shown, c.Start);
    EXPECT_EQ(expression, c.Answer);
  }
}

TEST_F(ExpressionEditorTest, ADoubleClickInTheTreePutsTheItemAtTheCaret) {
  String seenCaption;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxExprEditorForm*>(f);
    seenCaption = d->Caption();
    TfrxDataTreeForm* tree = d->DataTree();
    EXPECT_EQ(tree->Tabs->Parent(), d) << "the tree's tabs sit in the dialog";
    d->ExprMemo->SetSelStart(4);  // after "1 + "
    d->ExprMemo->SetSelLength(1);
    TTreeNode* node = FindNode(tree->DataTree, "Amount");
    ASSERT_NE(node, nullptr);
    TPoint p = CentreOf(node);
    Click(tree->DataTree, p);
    Press(tree->DataTree, p, Qt::LeftButton, 20);
    SendMouse(tree->DataTree, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
    Release(tree->DataTree, p);
    Application->ProcessMessages();
    d->OkB->Click();
  });
  String expression = "1 + 2";
  EXPECT_TRUE(AskExpressionDialog(Designer.get(), expression));
  EXPECT_EQ(expression, "1 + <Customers.\"Amount\">");
  EXPECT_EQ(seenCaption, ResourceText(4400));
}

TEST_F(ExpressionEditorTest, OnlyItemsOfItsOwnTreeAreDroppedOnTheLine) {
  TTreeView foreign(nullptr);
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxExprEditorForm*>(f);
    TfrxDataTreeForm* tree = d->DataTree();
    TTreeNode* set = FindNode(tree->DataTree, "Customers");
    TTreeNode* field = FindNode(tree->DataTree, "Name");
    ASSERT_TRUE(set && field);
    struct Case {
      TObject* Source;
      TTreeNode* Selected;
      bool Accepted;
    };
    const Case cases[] = {
        {tree->DataTree, field, true},
        {tree->DataTree, set, false},  // a data set stands for no text
        {&foreign, field, false},
        {d->OkB, field, false},
    };
    for (const Case& c : cases) {
      tree->DataTree->SetSelected(c.Selected);
      bool accept = !c.Accepted;
      d->ExprMemo->OnDragOver(d->ExprMemo, c.Source, 1, 1, dsDragMove, accept);
      EXPECT_EQ(accept, c.Accepted) << c.Selected->Text();
    }
    // A real drag from the field to the line.
    d->ExprMemo->SetText("");
    TPoint p = CentreOf(field);
    Press(tree->DataTree, p, Qt::LeftButton, 1000);
    Move(tree->DataTree, TPoint{p.X + 12, p.Y}, Qt::LeftButton);
    Move(d->ExprMemo, TPoint{10, 10}, Qt::LeftButton);
    Release(d->ExprMemo, TPoint{10, 10});
    Application->ProcessMessages();
    d->OkB->Click();
  });
  String expression;
  EXPECT_TRUE(AskExpressionDialog(Designer.get(), expression));
  EXPECT_EQ(expression, "<Customers.\"Name\">");
}

TEST_F(ExpressionEditorTest, TheDialogRemembersItsPlaceButNeverAHiddenState) {
  std::unique_ptr<TCustomIniFile> store = Report.OpenSettingsStore();
  const String section = "Form.TfrxExprEditorForm";
  TScopeExit clean([&] { store->EraseSection(section); });
  store->EraseSection(section);
  store->WriteBool(section, "Visible", false);
  store->WriteInteger(section, "Width", 700);
  bool shown = false;
  TModalStep step([&](TCustomForm* f) {
    shown = f->Visible();
    EXPECT_EQ(f->Width(), 700);
    f->SetBounds(f->Left(), f->Top(), 610, 480);
    static_cast<TfrxExprEditorForm*>(f)->CancelB->Click();
  });
  String expression;
  EXPECT_FALSE(AskExpressionDialog(Designer.get(), expression));
  EXPECT_TRUE(shown);
  EXPECT_EQ(store->ReadInteger(section, "Width", 0), 610);
  EXPECT_EQ(store->ReadInteger(section, "Height", 0), 480);
}

}  // namespace
