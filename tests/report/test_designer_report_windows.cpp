// The designer's evaluate, connections and report tree windows driven offscreen, and the
// report's connection look-up by name.
#include "GuiTestUtil.h"
#include "core/Registry.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/StrUtils.h"
#include "core/Variant.h"
#include "gui/Edit.h"
#include "gui/ListView.h"
#include "gui/Memo.h"
#include "gui/Messages.h"
#include "gui/TreeView.h"
#include "report/designer/frxConnEditor.h"
#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxEvaluateForm.h"
#include "report/designer/frxReportTree.h"
#include "script/fs_iscript.h"

#include "DesignerFixture.h"

#include <gtest/gtest.h>

#include <map>

namespace {
using namespace designer_test;
using namespace guitest;

using ReportWindowsTest = DesignerDialogsTest;

// ---------------------------------------------------------------- evaluate

TEST_F(ReportWindowsTest, EnterEvaluatesAndShowsTheValueByItsKind) {
  struct Case {
    const char* Expression;
    const char* Shown;
  };
  const Case cases[] = {
      {"1 + 2", "3"}, {"'a'", "'a'"}, {"1 > 2", "False"}, {"2 > 1", "True"}, {"Null", "Null"},
  };
  std::vector<String> shown;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxEvaluateForm*>(f);
    EXPECT_EQ(d->ExpressionE->SelLength(), 5) << "the given text opens selected";
    for (const Case& c : cases) {
      d->ExpressionE->SetText(c.Expression);
      d->ExpressionE->SetFocus();
      TypeKey(Qt::Key_Return);
      shown.push_back(d->ResultM->Text());
      EXPECT_EQ(d->ExpressionE->SelLength(), int(String(c.Expression).size())) << "selected again";
    }
    TypeKey(Qt::Key_Escape);
  });
  ShowEvaluateDialog(Designer.get(), Report.Script(), "1 + 2");
  ASSERT_EQ(shown.size(), std::size(cases));
  for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(Trim(shown[i]), cases[i].Shown) << cases[i].Expression;
}

TEST_F(ReportWindowsTest, AnExpressionThatDoesNotCompileShowsItsErrorUnquoted) {
  String shown, error;
  Report.Script()->EvaluateExpression("1 +", error);
  ASSERT_FALSE(error.empty());
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxEvaluateForm*>(f);
    d->Evaluate();
    shown = Trim(d->ResultM->Text());
    d->SetModalResult(mrCancel);
  });
  ShowEvaluateDialog(Designer.get(), Report.Script(), "1 +");
  EXPECT_EQ(shown, error);
}

// ---------------------------------------------------------------- connections

class ConnectionsTest : public DesignerDialogsTest {
protected:
  void SetUp() override {
    DesignerDialogsTest::SetUp();
    Clear();
  }
  void TearDown() override {
    Clear();
    DesignerDialogsTest::TearDown();
  }
  static void Clear() {
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    r.DeleteKey(frxConnectionsKey);
  }
  static void Store(const std::map<String, String>& Values) {
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(r.OpenKey(frxConnectionsKey, true));
    for (auto& [name, value] : Values) r.WriteString(name, value);
  }
  static std::map<String, String> Stored() {
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    std::map<String, String> values;
    if (!r.OpenKeyReadOnly(frxConnectionsKey)) return values;
    TStringList names;
    r.GetValueNames(&names);
    for (int i = 0; i < names.Count(); ++i) values[names[i]] = r.ReadString(names[i]);
    return values;
  }
};

TListItem* RowNamed(TListView* View, const String& Name) {
  for (int i = 0; i < View->Items()->Count(); ++i)
    if (View->Items()->Item(i)->Caption() == Name) return View->Items()->Item(i);
  return nullptr;
}

TEST_F(ConnectionsTest, RowsAreEditedInPlaceAndOkRewritesTheWholeList) {
  Store({{"Main", "Data Source=main.db"}, {"Old", "Data Source=old.db"}, {"Gone", "x"}});
  Report.OnConnectionStringEdit =
      TfrxConnectionStringEditEvent::Lambda([](const String& S) { return S + ";Password=1"; });
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxConnEditorForm*>(f);
    ASSERT_EQ(d->ConnLV->Items()->Count(), 3);
    EXPECT_FALSE(d->Panel->Visible());
    // Rename "Old": the in-place edits sit over its row.
    TListItem* old = RowNamed(d->ConnLV, "Old");
    Click(d->ConnLV, TPoint{20, (old->DisplayRect(drBounds).Top + old->DisplayRect(drBounds).Bottom) / 2});
    ASSERT_TRUE(d->Panel->Visible());
    EXPECT_EQ(d->Panel->Top(), old->DisplayRect(drBounds).Top + d->ConnLV->Top());
    EXPECT_EQ(d->NameE->Text(), "Old");
    EXPECT_EQ(d->ConnE->Text(), "Data Source=old.db");
    d->NameE->SetText("Renamed");
    d->ExpressionB->Click();  // the report's handler edits the string
    EXPECT_EQ(d->ConnE->Text(), "Data Source=old.db;Password=1");
    // Delete "Gone", add two rows of one name: the later one is kept.
    d->ConnLV->SetSelected(RowNamed(d->ConnLV, "Gone"));
    d->DeleteBClick(nullptr);
    for (const char* value : {"first", "second"}) {
      d->NewB->Click();
      EXPECT_EQ(d->NameE->Text(), "New name");
      d->NameE->SetText("Twice");
      d->ConnE->SetText(value);
    }
    d->OKB->Click();
  });
  EXPECT_TRUE(EditConnections(Designer.get(), &Report));
  EXPECT_EQ(Stored(), (std::map<String, String>{{"Main", "Data Source=main.db"},
                                                {"Renamed", "Data Source=old.db;Password=1"},
                                                {"Twice", "second"}}));
}

TEST_F(ConnectionsTest, CancelWritesNothingAndAMissingKeyListsNothing) {
  TModalStep first([&](TCustomForm* f) {
    auto* d = static_cast<TfrxConnEditorForm*>(f);
    EXPECT_EQ(d->ConnLV->Items()->Count(), 0);
    d->NewB->Click();
    d->CancelB->Click();
  });
  EXPECT_FALSE(EditConnections(Designer.get(), &Report));
  EXPECT_TRUE(Stored().empty());
  TRegistry r;
  r.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(r.KeyExists(frxConnectionsKey));
}

TEST_F(ConnectionsTest, ANamedConnectionReachesTheReportsHandler) {
  Store({{"Main", "Data Source=main.db"}});
  std::vector<String> got;
  Report.ReportOptions()->SetConnectionName("Main");  // no handler: nothing to tell
  Report.OnConnectionStringEdit = TfrxConnectionStringEditEvent::Lambda([&](const String& S) {
    got.push_back(S);
    return S;
  });
  Report.ReportOptions()->SetConnectionName("Main");
  Report.ReportOptions()->SetConnectionName("Unknown");
  EXPECT_EQ(got, (std::vector<String>{"Data Source=main.db", ""}));
  EXPECT_EQ(Report.ReportOptions()->ConnectionName(), "Unknown");
}

// ---------------------------------------------------------------- report tree

class ReportTreeTest : public DesignerDialogsTest {
protected:
  void SetUp() override {
    DesignerDialogsTest::SetUp();
    Page->SetName("Page1");
    Tree = new TfrxReportTreeForm(Designer.get());
    Tree->InitForm();
    Tree->Show();
    Application->ProcessMessages();
  }
  std::vector<String> Lines() const {
    std::vector<String> lines;
    for (int i = 0; i < Tree->Tree->Items()->Count(); ++i) {
      TTreeNode* n = Tree->Tree->Items()->Item(i);
      lines.push_back(String(std::size_t(n->Level()) * 2, ' ') + n->Text() + " " + std::to_string(n->ImageIndex()));
    }
    return lines;
  }
  TTreeNode* NodeOf(const String& Text) const {
    for (int i = 0; i < Tree->Tree->Items()->Count(); ++i)
      if (Tree->Tree->Items()->Item(i)->Text() == Text) return Tree->Tree->Items()->Item(i);
    return nullptr;
  }
  TfrxReportTreeForm* Tree = nullptr;  // owned by the designer
};

TEST_F(ReportTreeTest, TheTreeShowsEveryObjectInItsParentsOrder) {
  auto* title = new TfrxReportTitle(Page);
  title->SetName("ReportTitle1");
  Tree->RebuildTree();
  EXPECT_EQ(Lines(), (std::vector<String>{"Report 76", "  Page1 77", "    MasterData1 79", "      Memo1 75",
                                          "    ReportTitle1 79"}));
  for (int i = 0; i < Tree->Tree->Items()->Count(); ++i) EXPECT_TRUE(Tree->Tree->Items()->Item(i)->Expanded() ||
                                                                     Tree->Tree->Items()->Item(i)->Count() == 0);
}

TEST_F(ReportTreeTest, AClickedNodeBecomesTheSelectionAndTheCurrentObjectIsShown) {
  int chosen = 0;
  Tree->OnObjectChosen = TNotifyEvent::Lambda([&](TObject*) { ++chosen; });
  Designer->SelectedObjects() = {Memo};
  Tree->RebuildTree();
  EXPECT_EQ(Tree->Tree->Selected(), NodeOf("Memo1"));
  EXPECT_EQ(chosen, 0) << "showing the current object chooses nothing";
  TTreeNode* band = NodeOf("MasterData1");
  TRect r = band->DisplayRect(true);
  Click(Tree->Tree, TPoint{r.Left + 4, (r.Top + r.Bottom) / 2});
  Application->ProcessMessages();
  EXPECT_EQ(Designer->SelectedObjects(), (std::vector<TfrxComponent*>{Band}));
  EXPECT_EQ(chosen, 1);
}

TEST_F(ReportTreeTest, DeleteInTheTreeDeletesThroughTheDesignSurface) {
  TfrxDesignerWorkspace surface(nullptr);
  TfrxDesignerWorkspace::TObjectList objects{Band, Memo}, selected{Memo};
  surface.SetLists(&objects, &selected);
  surface.SetPage(Page);
  Tree->Surface = &surface;
  Designer->SelectedObjects() = {Memo};
  Tree->RebuildTree();
  Tree->Tree->SetFocus();
  TypeKey(Qt::Key_Delete);
  EXPECT_EQ(Band->ObjectCount(), 0);
  EXPECT_EQ(objects, (TfrxDesignerWorkspace::TObjectList{Band}));
}

}  // namespace
