// A field asking for the focus on a grid that its form will not focus: on an MDI child while
// a box of the MDI form holds the focus the grid takes it anyway, on a plain form whose box
// keeps the focus the request is refused.
#include "DBGridFixture.h"
#include "GuiTestUtil.h"

#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/Screen.h"

#include <gtest/gtest.h>

namespace {

class GridFocusTest : public ::testing::Test {
protected:
  TForm* SavedMain = nullptr;
  TForm* Main = nullptr;
  TEdit* Box = nullptr;  // a box beside the grid's form that holds the focus first
  TProbeDBGrid* Grid = nullptr;
  TMemDataSet* DS = nullptr;

  void SetUp() override {
    EnsureGridTestApplication();
    SavedMain = Application->MainForm();
  }
  void TearDown() override {
    Application->SetMainForm(SavedMain);
    delete Main;
    Application->ProcessMessages();
  }
  // The main form of the given style with a box in a bar along its top.
  void MakeMain(TFormStyle Style) {
    Main = new TForm(Application);
    Main->SetBounds(0, 0, 700, 500);
    Main->SetFormStyle(Style);
    Application->SetMainForm(Main);
    auto* bar = new TPanel(Main);
    bar->SetParent(Main);
    bar->SetAlign(alTop);
    bar->SetHeight(30);
    Box = new TEdit(Main);
    Box->SetParent(bar);
    Box->SetBounds(4, 4, 120, 22);
    Main->Show();
  }
  // A grid filling the form over five records, its first column current.
  void PlaceGrid(TForm* Form) {
    Grid = new TProbeDBGrid(Form);
    Grid->SetParent(Form);
    Grid->SetAlign(alClient);
    DS = dbgridtest::MakeTable(Form, 5);
    auto* source = new TDataSource(Form);
    source->SetDataSet(DS);
    Grid->SetDataSource(source);
    DS->Open();
    Grid->SetSelectedIndex(0);
  }
  TField* Flag() { return DS->FieldByName("Flag"); }
};

TEST_F(GridFocusTest, OnAnMdiChildTheGridTakesTheFocusFromABoxOfTheMdiForm) {
  MakeMain(fsMDIForm);
  auto* child = new TForm(Main);
  child->SetFormStyle(fsMDIChild);
  PlaceGrid(child);
  child->Show();
  Application->ProcessMessages();
  ASSERT_TRUE(Grid->HasInputFocus());
  guitest::Click(Box, {5, 5});
  ASSERT_TRUE(Box->Focused());
  ASSERT_EQ(Screen->ActiveForm(), Main);
  // The child is still the active child with the grid as its control, so its form has
  // nothing to do when asked to focus the grid.
  Grid->SetFocus();
  ASSERT_TRUE(Box->Focused()) << "the form refuses the grid";

  Flag()->FocusControl();
  EXPECT_EQ(Grid->SelectedField(), Flag());
  EXPECT_TRUE(Grid->HasInputFocus());
  EXPECT_TRUE(Grid->EditorMode());
  ASSERT_TRUE(Grid->InplaceEditorVisible());
  EXPECT_TRUE(Grid->InplaceEditor()->Focused());
  EXPECT_FALSE(Box->Focused());
  EXPECT_EQ(Screen->ActiveForm(), child);
  // The editor is the field's: typing goes into the record.
  guitest::TypeKey(Qt::Key_Y, Qt::NoModifier, "Y");
  EXPECT_EQ(Grid->InplaceEditorText(), "Y");
}

// A plain form whose amount box will not let the focus go while it is empty: nothing takes
// the focus past it, so the field's request stays unhandled and no editor opens.
TEST_F(GridFocusTest, OnAPlainFormABoxThatKeepsTheFocusRefusesTheGrid) {
  MakeMain(fsNormal);
  PlaceGrid(Main);
  int exits = 0;
  Box->OnExit = TNotifyEvent::Lambda([&](TObject*) {
    ++exits;
    if (Box->Text().empty()) Box->SetFocus();
  });
  Application->ProcessMessages();
  guitest::Click(Box, {5, 5});
  ASSERT_TRUE(Box->Focused());
  ASSERT_EQ(Screen->ActiveForm(), Main);

  Flag()->FocusControl();
  EXPECT_EQ(Grid->SelectedField(), Flag()) << "the column is chosen all the same";
  EXPECT_EQ(exits, 1) << "asked once to let go, by the form, and not again by the window";
  EXPECT_TRUE(Box->Focused());
  EXPECT_FALSE(Grid->HasInputFocus());
  EXPECT_FALSE(Grid->AcquireFocus());
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_FALSE(Grid->InplaceEditorVisible());

  // Once the box holds an amount the same request opens the editor.
  Box->SetText("12");
  Flag()->FocusControl();
  EXPECT_TRUE(Grid->HasInputFocus());
  EXPECT_TRUE(Grid->EditorMode());
}

}  // namespace
