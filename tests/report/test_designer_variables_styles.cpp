// The variables and style dialogs driven offscreen: categories and variables made, renamed,
// deleted and listed, expressions kept, and what OK and Cancel leave in the report.
#include "GuiTestUtil.h"
#include "core/FileUtils.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "core/Variant.h"
#include "gui/Dialogs.h"
#include "gui/Memo.h"
#include "gui/ToolBar.h"
#include "gui/TreeView.h"
#include "report/designer/frxEditStrings.h"
#include "report/designer/frxEditStyle.h"
#include "report/designer/frxEditVar.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/designer/frxEditFrame.h"
#include "gui/Canvas.h"
#include "gui/ExtCtrls.h"
#include "gui/GraphicsObjects.h"
#include "gui/Pictures.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxDesgn.h"
#include "report/frxRes.h"
#include "report/frxVariables.h"

#include "DesignerFixture.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {
using namespace designer_test;
using namespace guitest;

// Runs a step on the first shown modal window of class T (a dialog opened from a dialog).
template <class T>
class TStepOn {
public:
  explicit TStepOn(std::function<void(T*)> Step) : FStep(std::move(Step)), FTimer(nullptr) {
    FTimer.SetInterval(10);
    FTimer.SetOnTimer(TNotifyEvent::Lambda([this](TObject*) {
      for (int i = 0; !FDone && Screen && i < Screen->CustomFormCount(); ++i) {
        auto* f = dynamic_cast<T*>(Screen->CustomForms(i));
        if (!f || !f->Visible() || !f->FormState().Contains(fsModal)) continue;
        FDone = true;
        FStep(f);
      }
    }));
  }

private:
  std::function<void(T*)> FStep;
  TTimer FTimer;
  bool FDone = false;
};

// The items as "name=value" lines, a category as " name".
std::vector<String> ItemsOf(TfrxVariables* V) {
  std::vector<String> lines;
  for (int i = 0; i < V->Count(); ++i) {
    const String& name = V->ItemAt(i)->Name();
    lines.push_back(!name.empty() && name[0] == ' ' ? name : name + "=" + VarToStr(V->ItemAt(i)->Value()));
  }
  return lines;
}

// The tree as indented lines.
std::vector<String> TreeOf(TTreeView* Tree) {
  std::vector<String> lines;
  for (int i = 0; i < Tree->Items()->Count(); ++i) {
    TTreeNode* n = Tree->Items()->Item(i);
    lines.push_back(String(std::size_t(n->Level()) * 2, ' ') + n->Text());
  }
  return lines;
}

TTreeNode* NodeOf(TTreeView* Tree, const String& Text) {
  for (int i = 0; i < Tree->Items()->Count(); ++i)
    if (Tree->Items()->Item(i)->Text() == Text) return Tree->Items()->Item(i);
  return nullptr;
}

class VariablesEditorTest : public DesignerDialogsTest {
protected:
  void Set(std::initializer_list<std::pair<const char*, const char*>> Items) {
    Report.Variables()->Clear();
    for (auto [name, value] : Items) {
      TfrxVariable* v = Report.Variables()->AppendItem();
      v->SetName(name);
      if (value) v->SetValue(String(value));
    }
  }
  String Var() const { return ReportResources()->TextOf("vaVar"); }
  String NoVar() const { return ReportResources()->TextOf("vaNoVar"); }
};

TEST_F(VariablesEditorTest, InsertMakesACategoryFirstAndThenVariablesInTheChosenOne) {
  Set({});
  std::vector<String> before;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxVarEditorForm*>(f);
    before = TreeOf(d->VarTree);
    d->NewVarB->Click();  // no category: nothing
    EXPECT_EQ(d->Variables()->Count(), 0);
    d->VarTree->SetFocus();
    TypeKey(Qt::Key_Insert);  // a category instead
    TypeKey(Qt::Key_Insert);  // now a variable in it
    d->NewCategoryB->Click();
    d->VarTree->SetSelected(NodeOf(d->VarTree, "New Variable1"));
    d->NewVarB->Click();  // the category of the selected variable
    d->VarTree->SetSelected(d->Root());
    d->NewVarB->Click();  // the root: the last category
    EXPECT_EQ(TreeOf(d->VarTree), (std::vector<String>{Var(), "  New Category1", "    New Variable1",
                                                       "    New Variable2", "  New Category2",
                                                       "    New Variable3"}));
    TypeKey(Qt::Key_Return, Qt::ControlModifier);
  });
  EXPECT_TRUE(EditReportVariables(Designer.get()));
  EXPECT_EQ(before, (std::vector<String>{NoVar()}));
  EXPECT_EQ(ItemsOf(Report.Variables()),
            (std::vector<String>{" New Category1", "New Variable1=", "New Variable2=", " New Category2",
                                 "New Variable3="}));
}

TEST_F(VariablesEditorTest, RenamesAreCheckedAgainstTheOtherItemsOnly) {
  struct Case {
    const char* Node;
    const char* NewText;
    bool Refused;
  };
  const Case cases[] = {
      {"Total", "total", false},  // letter case only: accepted
      {"total", "Count", true},
      {"Count", "Sales", false},  // a variable may share a category's name: the blank tells them apart
      {"Sales", "SALES", false},  // the category, in letter case only
      {"SALES", "Sales", false},
      {"Sales", "Other", true},
  };
  Set({{" Sales", nullptr}, {"Total", "1"}, {"Count", "2"}, {" Other", nullptr}});
  TDialogScript person;
  int refusals = 0;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxVarEditorForm*>(f);
    for (const Case& c : cases) {
      TTreeNode* node = NodeOf(d->VarTree, c.Node);
      ASSERT_NE(node, nullptr) << c.Node;
      if (c.Refused) {
        person.Button(IDOK);
        ++refusals;
      }
      ASSERT_TRUE(node->EditText());
      d->VarTree->EditControl()->SetText(c.NewText);
      node->EndEdit(false);
      EXPECT_EQ(node->Text(), c.Refused ? c.Node : c.NewText) << c.Node << " to " << c.NewText;
    }
    d->OkB->Click();
  });
  EXPECT_TRUE(EditReportVariables(Designer.get()));
  ASSERT_EQ(int(person.Asked().size()), refusals);
  EXPECT_EQ(person.Asked()[0].Text, ReportResources()->TextOf("vaDupName"));
  EXPECT_EQ(ItemsOf(Report.Variables()), (std::vector<String>{" Sales", "total=1", "Sales=2", " Other"}));
}

TEST_F(VariablesEditorTest, TheListEditorKeepsValuesOfKeptNamesAndDropsBlankLines) {
  Set({{" Cat1", nullptr}, {"A", "1"}, {"B", "2"}});
  std::vector<String> offered;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxVarEditorForm*>(f);
    TStepOn<TfrxStringsEditorForm> lines([&](TfrxStringsEditorForm* e) {
      for (int i = 0; i < e->Memo->Lines()->Count(); ++i) offered.push_back(e->Memo->Lines()->Strings(i));
      e->Memo->Lines()->SetText("Cat1\n A\n\n C\nCat2\n   \n B");
      e->OkB->Click();
    });
    d->EditListB->Click();
    EXPECT_EQ(d->VarTree->Selected(), d->Root());
    d->OkB->Click();
  });
  EXPECT_TRUE(EditReportVariables(Designer.get()));
  EXPECT_EQ(offered, (std::vector<String>{"Cat1", " A", " B"}));
  EXPECT_EQ(ItemsOf(Report.Variables()), (std::vector<String>{" Cat1", "A=1", "C=", " Cat2", "B=2"}));
}

TEST_F(VariablesEditorTest, ExpressionsAreKeptOnLeavingAVariableAndCancelLeavesTheReport) {
  // Variables before the first category are listed under the root, edited and deleted too.
  Set({{"Lead", "1"}, {"Gone", "x"}, {" Cat", nullptr}, {"Total", "<Customers.\"Amount\">"}});
  const std::vector<String> original = ItemsOf(Report.Variables());
  for (bool ok : {false, true}) {
    TModalStep step([&](TCustomForm* f) {
      auto* d = static_cast<TfrxVarEditorForm*>(f);
      EXPECT_EQ(TreeOf(d->VarTree), (std::vector<String>{Var(), "  Lead", "  Gone", "  Cat", "    Total"}));
      d->VarTree->SetSelected(NodeOf(d->VarTree, "Total"));
      EXPECT_EQ(d->ExprMemo->Text(), "<Customers.\"Amount\">");
      d->ExprMemo->SetText("2 * 2");
      d->VarTree->SetSelected(NodeOf(d->VarTree, "Lead"));  // leaving Total stores its line
      EXPECT_EQ(d->ExprMemo->Text(), "1");
      d->ExprMemo->SetText("3");  // stored by OK
      d->VarTree->SetSelected(NodeOf(d->VarTree, "Gone"));
      d->VarTree->SetFocus();
      TypeKey(Qt::Key_Delete);
      d->VarTree->SetSelected(NodeOf(d->VarTree, "Lead"));
      d->ExprMemo->SetText("4");
      (ok ? d->OkB : d->CancelB)->Click();
    });
    EXPECT_EQ(EditReportVariables(Designer.get()), ok);
    if (!ok) EXPECT_EQ(ItemsOf(Report.Variables()), original);
  }
  EXPECT_EQ(ItemsOf(Report.Variables()), (std::vector<String>{"Lead=4", " Cat", "Total=2 * 2"}));
}

TEST_F(VariablesEditorTest, VariablesFilesRoundTripThroughTheFileDialogs) {
  Set({{" Cat", nullptr}, {"A", "1"}});
  const String file = IncludeTrailingPathDelimiter(GetTempDir()) + "kelm_vars_" + IntToStr(static_cast<int>(getpid())) + ".fd3";
  TDialogScript person;
  person.File(file).File(file);
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxVarEditorForm*>(f);
    d->SaveB->Click();
    ASSERT_EQ(person.Asked().size(), 1u);
    EXPECT_EQ(static_cast<TOpenDialog*>(person.Asked()[0].Dialog)->Filter(), ReportResources()->TextOf("2910"));
    d->Variables()->Clear();
    d->NewCategoryB->Click();
    d->LoadB->Click();
    EXPECT_EQ(TreeOf(d->VarTree), (std::vector<String>{Var(), "  Cat", "    A"}));
    d->CancelB->Click();
  });
  EXPECT_FALSE(EditReportVariables(Designer.get()));
  EXPECT_EQ(person.Asked().size(), 2u);
  EXPECT_EQ(ItemsOf(Report.Variables()), (std::vector<String>{" Cat", "A=1"}));
  DeleteFile(file);
}

// ---------------------------------------------------------------- styles

class StyleEditorTest : public DesignerDialogsTest {
protected:
  std::vector<String> Names(TfrxStyles* Styles) const {
    std::vector<String> names;
    for (int i = 0; i < Styles->Count(); ++i) names.push_back(Styles->ItemAt(i)->Name());
    return names;
  }
  std::vector<String> Nodes(TfrxStyleEditorForm* D) const {
    std::vector<String> names;
    for (int i = 0; i < D->StylesTV->Items()->Count(); ++i) names.push_back(D->StylesTV->Items()->Item(i)->Text());
    return names;
  }
  // How many pixels of the sample box have the colour.
  static int PixelsOf(TfrxStyleEditorForm* D, TColor Color) {
    Application->ProcessMessages();
    TBitmap shot;
    shot.SetSize(D->ClientWidth(), D->ClientHeight());
    D->PaintTo(shot.Canvas(), 0, 0);
    int n = 0;
    for (int y = D->PaintBox->Top() + 1; y < D->PaintBox->Top() + D->PaintBox->Height() - 1; ++y)
      for (int x = D->PaintBox->Left() + 1; x < D->PaintBox->Left() + D->PaintBox->Width() - 1; ++x)
        if (shot.Canvas()->Pixels(x, y) == Color) ++n;
    return n;
  }
};

TEST_F(StyleEditorTest, StylesAreAddedUnderFreeNamesAndDuplicatesAreRefused) {
  Report.Styles()->AppendItem()->SetName("Style2");
  TDialogScript person;
  person.Button(IDOK);
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxStyleEditorForm*>(f);
    d->AddB->Click();
    EXPECT_TRUE(d->StylesTV->IsEditing()) << "a new style is renamed at once";
    d->StylesTV->Selected()->EndEdit(true);
    d->AddB->Click();
    d->StylesTV->Selected()->EndEdit(true);
    EXPECT_EQ(Nodes(d), (std::vector<String>{"Style2", "Style1", "Style3"}));
    // A name another style has, in other letters: refused, both keep theirs.
    TTreeNode* third = d->StylesTV->Items()->Item(2);
    d->StylesTV->SetSelected(third);
    d->EditB->Click();
    d->StylesTV->EditControl()->SetText("STYLE1");
    third->EndEdit(false);
    EXPECT_EQ(third->Text(), "Style3");
    // F2 renames too.
    d->StylesTV->SetFocus();
    TypeKey(Qt::Key_F2);
    ASSERT_TRUE(d->StylesTV->IsEditing());
    d->StylesTV->EditControl()->SetText("Total");
    third->EndEdit(false);
    d->OkB->Click();
  });
  EXPECT_TRUE(EditReportStyles(Designer.get()));
  ASSERT_EQ(person.Asked().size(), 1u);
  EXPECT_EQ(person.Asked()[0].Text, "Duplicate name");
  EXPECT_EQ(Names(Report.Styles()), (std::vector<String>{"Style2", "Style1", "Total"}));
}

TEST_F(StyleEditorTest, ColourFontAndFrameReachTheSelectedStyleAndTheSample) {
  TRestore<std::array<TColor, 40>> keep(TfrxColorSelector::Colors());
  Report.Styles()->AppendItem()->SetName("Head");
  TDialogScript person;
  person.Font([](TFont* F) { F->SetSize(14); });
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxStyleEditorForm*>(f);
    EXPECT_EQ(PixelsOf(d, clRed), 0);
    d->ColorB->Click();
    Application->ProcessMessages();
    TfrxColorSelector* picker = nullptr;
    for (int i = 0; i < Screen->CustomFormCount() && !picker; ++i)
      if (auto* popup = dynamic_cast<TfrxPopupForm*>(Screen->CustomForms(i)); popup && popup->Visible())
        picker = dynamic_cast<TfrxColorSelector*>(popup->Controls(0));
    ASSERT_NE(picker, nullptr);
    Click(picker, {8 + 18 * 3 + 4, 8 + 18 * 1 + 4});  // row 1, column 3: red
    EXPECT_EQ(d->Styles()->ItemAt(0)->Color(), clRed);
    EXPECT_GT(PixelsOf(d, clRed), 100) << "the sample shows the colour";
    d->FontB->Click();
    TStepOn<TfrxFrameEditorForm> frame([](TfrxFrameEditorForm* e) {
      e->FrameAllB->Click();
      e->OkB->Click();
    });
    d->FrameB->Click();
    d->OkB->Click();
  });
  EXPECT_TRUE(EditReportStyles(Designer.get()));
  TfrxStyleItem* head = Report.Styles()->FindByName("Head");
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(head->Color(), clRed);
  EXPECT_EQ(head->Font()->Size(), 14);
  EXPECT_EQ(head->Frame()->Typ(), (TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom}));
}

TEST_F(StyleEditorTest, DeletingTheLastStyleLeavesNothingToEditAndCancelKeepsTheReport) {
  for (const char* name : {"A", "B"}) {
    TfrxStyleItem* s = Report.Styles()->AppendItem();
    s->SetName(name);
    s->SetColor(clRed);
  }
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxStyleEditorForm*>(f);
    d->StylesTV->SetSelected(d->StylesTV->Items()->Item(1));
    d->DeleteB->Click();
    EXPECT_EQ(Nodes(d), (std::vector<String>{"A"}));
    EXPECT_EQ(d->Selected(), d->Styles()->ItemAt(0)) << "the same place, clamped";
    EXPECT_GT(PixelsOf(d, clRed), 0);
    d->DeleteB->Click();
    EXPECT_EQ(d->StylesTV->Items()->Count(), 0);
    for (TButton* b : {d->ColorB, d->FontB, d->FrameB}) EXPECT_FALSE(b->Enabled());
    EXPECT_EQ(PixelsOf(d, clRed), 0) << "a blank sample";
    d->CancelB->Click();
  });
  EXPECT_FALSE(EditReportStyles(Designer.get()));
  EXPECT_EQ(Names(Report.Styles()), (std::vector<String>{"A", "B"}));
}

TEST_F(StyleEditorTest, StyleFilesRoundTripWithTheExtensionAdded) {
  Report.Styles()->AppendItem()->SetName("Kept");
  const String base = IncludeTrailingPathDelimiter(GetTempDir()) + "kelm_styles_" + IntToStr(static_cast<int>(getpid()));
  TfrxDesigner component(nullptr);
  component.SetOpenDir("/open/here");
  component.SetSaveDir("/save/here");
  TDialogScript person;
  std::vector<String> dirs, filters;
  auto record = [&](TDialogRequest& R) {
    dirs.push_back(static_cast<TOpenDialog*>(R.Dialog)->InitialDir());
    filters.push_back(static_cast<TOpenDialog*>(R.Dialog)->Filter());
    return false;
  };
  person.Answer([&](TDialogRequest& R) { record(R); R.Result = 1; R.Value = base; return true; });
  person.Answer([&](TDialogRequest& R) { record(R); R.Result = 1; R.Value = base + ".fs3"; return true; });
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxStyleEditorForm*>(f);
    d->SaveB->Click();
    d->AddB->Click();
    d->StylesTV->Selected()->EndEdit(true);
    d->LoadB->Click();
    EXPECT_EQ(Nodes(d), (std::vector<String>{"Kept"}));
    d->CancelB->Click();
  });
  EXPECT_FALSE(EditReportStyles(Designer.get()));
  EXPECT_EQ(dirs, (std::vector<String>{"/save/here", "/open/here"}));
  const String filter = ReportResources()->TextOf("dsStyleFile") + " (*.fs3)|*.fs3";
  EXPECT_EQ(filters, (std::vector<String>{filter, filter}));
  EXPECT_TRUE(FileExists(base + ".fs3"));
  DeleteFile(base + ".fs3");
}

}  // namespace
