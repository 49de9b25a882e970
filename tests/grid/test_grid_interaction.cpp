// The grid driven by keys and the mouse as a user drives it: navigation and appending,
// deleting with confirmation, incremental search, title sorting and row selection, over a
// database file.
#include "GuiTestUtil.h"
#include "GridPaintFixture.h"
#include "grid/DBGridEh.h"
#include "FileQuery.h"
#include "TempFolder.h"
#include "data/ADODB.h"
#include "gui/Clipbrd.h"
#include "gui/Forms.h"

#include <QtGui/QInputMethodEvent>

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace guitest;

namespace {

// Contract names in three kinds, so a typed prefix matches every third record.
String NameOf(int i) {
  static const char* kinds[] = {"协议", "订单", "合同"};
  return String(kinds[i % 3]) + Format("%.2d", {i});
}

// Text committed by an input method, as Chinese is typed.
void Commit(TControl* c, const char* Utf8) {
  QInputMethodEvent e;
  e.setCommitString(QString::fromUtf8(Utf8));
  QApplication::sendEvent(InputWidget(c), &e);
  Application->ProcessMessages();
}

}  // namespace

class GridInteraction : public ::testing::Test {
protected:
  TempFolder Dir;
  TForm* Form = nullptr;
  TDBGridEh* Grid = nullptr;
  TADOQuery* DS = nullptr;
  int SortReports = 0;

  // 30 contracts in a database file: Chinese names, amounts, codes, a done flag, signing
  // dates and a city key.
  static String Script() {
    String s = "CREATE TABLE t_pact (id COUNTER, Name TEXT(20), Amount DOUBLE, Code TEXT(10), Done BIT, "
               "SignDate DATETIME, City TEXT(2));\n";
    for (int i = 1; i <= 30; ++i)
      s += Format("INSERT INTO t_pact (Name, Amount, Code, Done, SignDate, City) VALUES ('%s', %d, 'C%.2d', %d, "
                  "#2024-03-%.2d#, '%s');\n",
                  {NameOf(i), i * 10, i, i % 2 == 0 ? 1 : 0, i, String(i % 2 ? "01" : "02")});
    return s;
  }

  void SetUp() override {
    EnsureGridTestApplication();
    String file = Dir / "pact.db";
    CreateDatabaseFromScript(file, Script());
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(20, 20, 520, 420);
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 500, 400);
    DS = FileQuery(Form, file, "select * from t_pact order by id");
    auto* source = new TDataSource(Form);
    source->SetDataSet(DS);
    for (const char* f : {"Name", "Amount", "Code"}) Grid->Columns()->AddColumn()->SetFieldName(f);
    Grid->SetDataSource(source);
    DS->Open();
    Grid->OnSortMarkingChanged = TNotifyEvent::Lambda([this](TObject*) { ++SortReports; });
    Form->Show();
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  int RecNo() { return DS->RecNo(); }
  String Name() { return DS->FieldByName("Name")->AsString(); }
  // The middle of the cell showing data column DataCol of the grid's visible record Record (0-based).
  TPoint DataCell(int DataCol, int Record) {
    TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), Grid->TopDataOffset() + Record);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TPoint Title(int DataCol) {
    TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), 0);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  void ClickWith(TPoint p, Qt::KeyboardModifiers mods) {
    SendMouse(Grid, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, mods, 1000);
    SendMouse(Grid, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods, 5);
    Application->ProcessMessages();
  }
  std::vector<int> SelectedRecNos() {
    std::vector<int> r;
    String saved = DS->Bookmark();
    for (int i = 0; i < Grid->SelectedRows()->Count(); ++i) {
      DS->GotoBookmark(Grid->SelectedRows()->Items(i));
      r.push_back(DS->RecNo());
    }
    DS->GotoBookmark(saved);
    return r;
  }
  TSortMarkerEh Marker(int DataCol) { return Grid->Columns()->Items(DataCol)->Title()->SortMarker(); }
};

// ---------------------------------------------------------------- keys

TEST_F(GridInteraction, ShiftTabOnTheFirstColumnGoesToTheLastColumnOfThePreviousRecord) {
  DS->SetRecNo(5);
  Grid->SetSelectedIndex(0);
  TypeKey(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(RecNo(), 4);
  EXPECT_EQ(Grid->SelectedIndex(), 2);
  TypeKey(Qt::Key_Tab);
  EXPECT_EQ(RecNo(), 5);
  EXPECT_EQ(Grid->SelectedIndex(), 0);
}

TEST_F(GridInteraction, DownOnTheLastRecordAppendsAndUpDropsTheUntouchedRecord) {
  DS->Last();
  TypeKey(Qt::Key_Down);
  ASSERT_EQ(DS->State(), dsInsert);
  TypeKey(Qt::Key_Down);  // nothing happens at the end of an untouched new record
  EXPECT_EQ(DS->State(), dsInsert);
  TypeKey(Qt::Key_Up);
  EXPECT_EQ(DS->State(), dsBrowse);
  EXPECT_EQ(DS->RecordCount(), 30);
  EXPECT_EQ(RecNo(), 30);
  // A read-only grid never appends.
  Grid->SetReadOnly(true);
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(DS->State(), dsBrowse);
}

TEST_F(GridInteraction, CtrlDeleteAsksAndDeletesOnlyOnOk) {
  DS->SetRecNo(3);
  TBoxRecorder boxes;
  boxes.Answer = IDCANCEL;
  TypeKey(Qt::Key_Delete, Qt::ControlModifier);
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "Delete record?");
  EXPECT_EQ(DS->RecordCount(), 30);
  boxes.Answer = IDOK;
  TypeKey(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(DS->RecordCount(), 29);
  EXPECT_EQ(DS->Locate("Name", Variant(NameOf(3)), {}), false);
}

TEST_F(GridInteraction, CtrlDeleteOnSelectedRowsAsksForAllAndDeletesThem) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  DS->SetRecNo(2);
  TypeKey(Qt::Key_Down, Qt::ShiftModifier);
  TypeKey(Qt::Key_Down, Qt::ShiftModifier);
  ASSERT_EQ(Grid->SelectedRows()->Count(), 3);
  TBoxRecorder boxes;
  TypeKey(Qt::Key_Delete, Qt::ControlModifier);
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "Delete all selected records?");
  EXPECT_EQ(DS->RecordCount(), 27);
}

// The edit-action keys reach the clipboard operations only when the action is enabled and the
// grid allows the change.
TEST_F(GridInteraction, EditActionKeysCopyCutAndDeleteTheSelectionOnlyWhenEnabled) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  DS->SetRecNo(2);
  TypeKey(Qt::Key_Down, Qt::ShiftModifier);
  ASSERT_EQ(Grid->SelectedRows()->Count(), 2);
  Clipboard()->SetAsText("untouched");
  TypeKey(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Clipboard()->AsText(), "untouched") << "copy is not among the edit actions";

  Grid->SetEditActions({geaCopyEh, geaDeleteEh});
  TypeKey(Qt::Key_C, Qt::ControlModifier);
  EXPECT_NE(Clipboard()->AsText().find(NameOf(2)), String::npos);
  EXPECT_NE(Clipboard()->AsText().find(NameOf(3)), String::npos);
  EXPECT_EQ(Clipboard()->AsText().find(NameOf(4)), String::npos);

  Clipboard()->SetAsText("untouched");
  TypeKey(Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_NE(Clipboard()->AsText().find(NameOf(2)), String::npos) << "Ctrl+Insert copies too";

  TypeKey(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(DS->RecordCount(), 30) << "cut is not among the edit actions";

  // A read-only grid deletes nothing; Ctrl+Delete then falls back to the record delete,
  // which a read-only grid refuses as well.
  Grid->SetReadOnly(true);
  TypeKey(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(DS->RecordCount(), 30);
  Grid->SetReadOnly(false);

  TBoxRecorder boxes;
  TypeKey(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(DS->RecordCount(), 28);
  EXPECT_FALSE(DS->Locate("Name", Variant(NameOf(2)), {}));
  EXPECT_FALSE(DS->Locate("Name", Variant(NameOf(3)), {}));
}

TEST_F(GridInteraction, LeftAndRightStepColumnsAndSwapRightToLeft) {
  DS->SetRecNo(1);
  Grid->SetSelectedIndex(1);
  TypeKey(Qt::Key_Left);
  EXPECT_EQ(Grid->SelectedIndex(), 0);
  TypeKey(Qt::Key_Left);  // nothing left of the first column
  EXPECT_EQ(Grid->SelectedIndex(), 0);
  Grid->SetBiDiMode(bdRightToLeft);
  TypeKey(Qt::Key_Left);
  EXPECT_EQ(Grid->SelectedIndex(), 1);
}

TEST_F(GridInteraction, PagesAndEndsMoveByRecords) {
  DS->SetRecNo(1);
  int page = Grid->VisibleDataRowCount();
  ASSERT_GT(page, 1);
  TypeKey(Qt::Key_PageDown);
  EXPECT_EQ(RecNo(), 1 + page);
  TypeKey(Qt::Key_PageUp);
  EXPECT_EQ(RecNo(), 1);
  TypeKey(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(RecNo(), 30);
  TypeKey(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(RecNo(), 1);
  // Home and End go to the first and last column of a grid with several.
  TypeKey(Qt::Key_End);
  EXPECT_EQ(Grid->SelectedIndex(), 2);
  EXPECT_EQ(RecNo(), 1);
}

// ---------------------------------------------------------------- incremental search

TEST_F(GridInteraction, CtrlFStartsASearchWithoutTimeOutAndAgainOpensTheFindDialog) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghIncSearch + dghDialogFind);
  static int opened = 0;
  opened = 0;
  TCustomDBGridEh::OpenFindDialogHook = [](TCustomDBGridEh*, bool, const String&) { ++opened; };
  DS->SetRecNo(1);
  TypeKey(Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(Grid->IncSearchActive());
  EXPECT_EQ(TimerInterval(Grid->Handle(), 2), 0u) << "Ctrl+F starts no time-out timer";
  // No time-out: still searching well after the typed-search time-out.
  EXPECT_FALSE(WaitFor([&] { return !Grid->IncSearchActive(); }, 1800));
  TypeKey(Qt::Key_F, Qt::ControlModifier);
  EXPECT_FALSE(Grid->IncSearchActive());
  EXPECT_EQ(opened, 1);
  TCustomDBGridEh::OpenFindDialogHook = nullptr;
}

TEST_F(GridInteraction, TypedTextFindsARecordAndAMissKeepsTextAndRecord) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghIncSearch);
  Grid->Columns()->Items(0)->SetReadOnly(true);  // a column that is not edited is searched
  DS->SetRecNo(1);
  Commit(Grid, "合");
  ASSERT_TRUE(Grid->IncSearchActive());
  EXPECT_EQ(Grid->IncSearchText(), "合");
  EXPECT_EQ(Name(), NameOf(2));
  EXPECT_EQ(TimerInterval(Grid->Handle(), 2), 1500u) << "a typed search ends on timer 2";
  int row = Grid->DataLink()->ActiveRecord();
  TypeKey(Qt::Key_X, Qt::NoModifier, "x");
  EXPECT_EQ(Grid->IncSearchText(), "合");
  EXPECT_EQ(Name(), NameOf(2));
  EXPECT_EQ(Grid->DataLink()->ActiveRecord(), row) << "the record stays on its row";
  Commit(Grid, "同");
  TypeKey(Qt::Key_1, Qt::NoModifier, "1");
  EXPECT_EQ(Name(), NameOf(11));
  // Ctrl+Enter goes on to the next match, Ctrl+Shift+Enter back.
  TypeKey(Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(Name(), NameOf(14));
  TypeKey(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Name(), NameOf(11));
  // Backspace drops a whole character.
  TypeKey(Qt::Key_Backspace);
  EXPECT_EQ(Grid->IncSearchText(), "合同");
  TypeKey(Qt::Key_Backspace);
  EXPECT_EQ(Grid->IncSearchText(), "合");
  // A typed search ends by itself.
  EXPECT_TRUE(WaitFor([&] { return !Grid->IncSearchActive(); }, 4000));
  EXPECT_EQ(Grid->IncSearchText(), "");
}

TEST_F(GridInteraction, EscAndMovingTheRecordEndTheSearch) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghIncSearch);
  Grid->Columns()->Items(0)->SetReadOnly(true);
  DS->SetRecNo(1);
  Commit(Grid, "订");
  ASSERT_TRUE(Grid->IncSearchActive());
  EXPECT_EQ(RecNo(), 1);  // the current record matches already
  TypeKey(Qt::Key_Down);
  EXPECT_FALSE(Grid->IncSearchActive());
  Commit(Grid, "合");
  ASSERT_TRUE(Grid->IncSearchActive());
  TypeKey(Qt::Key_Escape);
  EXPECT_FALSE(Grid->IncSearchActive());
  // A miss walks the whole dataset and shows the record on the row it stood on.
  DS->Last();
  DS->MoveBy(-4);
  int row = Grid->DataLink()->ActiveRecord();
  ASSERT_GT(row, 0);
  TypeKey(Qt::Key_X, Qt::NoModifier, "x");
  EXPECT_EQ(RecNo(), 26);
  EXPECT_EQ(Grid->DataLink()->ActiveRecord(), row);
}

TEST_F(GridInteraction, AFieldRaisingMidWalkLeavesControlsOnAndTheRecordBack) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghIncSearch);
  Grid->Columns()->Items(0)->SetReadOnly(true);
  DS->SetRecNo(4);
  TBoxRecorder boxes;  // the error is shown by the application
  int raised = 0;
  DS->FieldByName("Name")->SetOnGetText(TFieldGetTextEvent::Lambda([&](TField* f, String& Text, bool) {
    if (DS->ControlsDisabled() && f->AsString() == NameOf(9)) {
      ++raised;
      throw Exception("unreadable");
    }
    Text = f->AsString();
  }));
  TypeKey(Qt::Key_Z, Qt::NoModifier, "z");  // walks past record 9
  EXPECT_EQ(raised, 1);
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "unreadable.");
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_EQ(RecNo(), 4);
}

// ---------------------------------------------------------------- titles

TEST_F(GridInteraction, TitleClicksCycleTheMarkerAndReportAtOnce) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking + dghMultiSortMarking);
  for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->Title()->SetTitleButton(true);
  std::vector<TSortMarkerEh> seen;
  for (int i = 0; i < 3; ++i) {
    ClickWith(Title(1), Qt::NoModifier);
    seen.push_back(Marker(1));
  }
  EXPECT_EQ(seen, (std::vector<TSortMarkerEh>{smDownEh, smUpEh, smDownEh}));
  EXPECT_EQ(SortReports, 3);
  // A plain click on another title drops the first one's marker.
  ClickWith(Title(0), Qt::NoModifier);
  EXPECT_EQ(Marker(1), smNoneEh);
  EXPECT_EQ(Marker(0), smDownEh);
}

TEST_F(GridInteraction, CtrlTitleClicksCycleToNoneAndReportOnceAtCtrlRelease) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking + dghMultiSortMarking);
  for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->Title()->SetTitleButton(true);
  std::vector<TSortMarkerEh> seen;
  for (int i = 0; i < 3; ++i) {
    ClickWith(Title(2), Qt::ControlModifier);
    seen.push_back(Marker(2));
  }
  EXPECT_EQ(seen, (std::vector<TSortMarkerEh>{smDownEh, smUpEh, smNoneEh}));
  SendKey(QEvent::KeyRelease, Qt::Key_Control);
  Application->ProcessMessages();
  SortReports = 0;
  ClickWith(Title(0), Qt::ControlModifier);
  ClickWith(Title(1), Qt::ControlModifier);
  EXPECT_EQ(Marker(0), smDownEh);
  EXPECT_EQ(Marker(1), smDownEh);
  EXPECT_EQ(SortReports, 0);
  SendKey(QEvent::KeyRelease, Qt::Key_Control);
  Application->ProcessMessages();
  EXPECT_EQ(SortReports, 1);
}

TEST_F(GridInteraction, CtrlTitleClicksAreReportedWhenTheFocusLeaves) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking + dghMultiSortMarking);
  Grid->Columns()->Items(1)->Title()->SetTitleButton(true);
  auto* other = new TDBGridEh(Form);
  other->SetParent(Form);
  other->SetBounds(0, 400, 100, 20);
  ClickWith(Title(1), Qt::ControlModifier);
  EXPECT_EQ(SortReports, 0);
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(SortReports, 1);
}

TEST_F(GridInteraction, CtrlTitleClicksWaitWhileTheFocusGoesToTheGridsOwnEditor) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking + dghMultiSortMarking);
  Grid->Columns()->Items(1)->Title()->SetTitleButton(true);
  ClickWith(Title(1), Qt::ControlModifier);
  Grid->SetSelectedIndex(0);
  TypeKey(Qt::Key_F2);
  ASSERT_TRUE(Grid->InplaceEditorVisible());
  ASSERT_TRUE(Grid->InplaceEditor()->Focused());
  EXPECT_EQ(SortReports, 0) << "the own editor is still the grid";
  TypeKey(Qt::Key_Escape);  // the editor goes, the grid has the focus again
  ASSERT_TRUE(Grid->Focused());
  EXPECT_EQ(SortReports, 0);
  SendKey(QEvent::KeyRelease, Qt::Key_Control);
  Application->ProcessMessages();
  EXPECT_EQ(SortReports, 1) << "the release of Ctrl in the grid reports";
}

TEST_F(GridInteraction, ATitleThatOnCheckButtonDisablesIsNoButton) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking);
  Grid->Columns()->Items(1)->Title()->SetTitleButton(true);
  int clicks = 0;
  Grid->OnTitleBtnClick = TTitleEhClickEvent::Lambda([&](TObject*, int, TColumnEh*) { ++clicks; });
  Grid->OnCheckButton =
      TCheckTitleEhBtnEvent::Lambda([](TObject*, int, TColumnEh*, bool& Enabled) { Enabled = false; });
  ClickWith(Title(1), Qt::NoModifier);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(Marker(1), smNoneEh);
  Grid->OnCheckButton = {};
  ClickWith(Title(1), Qt::NoModifier);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Marker(1), smDownEh);
}

// ---------------------------------------------------------------- rows

TEST_F(GridInteraction, ClicksSelectRowsShiftExtendsAndCtrlToggles) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  DS->First();
  ClickWith(DataCell(0, 1), Qt::NoModifier);
  EXPECT_EQ(SelectedRecNos(), (std::vector<int>{2}));
  ClickWith(DataCell(0, 4), Qt::ShiftModifier);
  EXPECT_EQ(SelectedRecNos(), (std::vector<int>{2, 3, 4, 5}));
  EXPECT_EQ(RecNo(), 5);
  ClickWith(DataCell(0, 2), Qt::ControlModifier);
  EXPECT_EQ(SelectedRecNos(), (std::vector<int>{2, 4, 5}));
  ClickWith(DataCell(0, 2), Qt::ControlModifier);
  EXPECT_EQ(SelectedRecNos(), (std::vector<int>{2, 3, 4, 5}));
  // A plain click starts again.
  ClickWith(DataCell(0, 6), Qt::NoModifier);
  EXPECT_EQ(SelectedRecNos(), (std::vector<int>{7}));
}

TEST_F(GridInteraction, ShiftArrowsExtendAndShrinkFromTheAnchor) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  DS->SetRecNo(3);
  for (int i = 0; i < 3; ++i) TypeKey(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(SelectedRecNos(), (std::vector<int>{3, 4, 5, 6}));
  TypeKey(Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(SelectedRecNos(), (std::vector<int>{3, 4, 5}));
  // A plain move clears the selection.
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  // Rows selected by keys go when row selection is no longer allowed.
  TypeKey(Qt::Key_Down, Qt::ShiftModifier);
  ASSERT_EQ(Grid->SelectedRows()->Count(), 2);
  Grid->SetAllowedSelections(Grid->AllowedSelections() - gstRecordBookmarks);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
  // Ctrl+A selects everything only with the select-all action enabled.
  TypeKey(Qt::Key_A, Qt::ControlModifier, "a");
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
  Grid->SetEditActions({geaSelectAllEh});
  TypeKey(Qt::Key_A, Qt::ControlModifier, "a");
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstAll);
}

// Row extensions by keys, long ones walking with the dataset's controls held: what the grid
// shows afterwards is what a fresh paint of it shows, every walked row marked.
TEST_F(GridInteraction, LongRowExtensionsShowWhatAFreshPaintShows) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  auto shot = [&] {
    Application->ProcessMessages();
    return WidgetOf(Grid)->grab().toImage();
  };
  struct Case {
    const char* Name;
    int From;
    Qt::Key Key;
    Qt::KeyboardModifiers Mods;
    int Selected;
  };
  const int page = Grid->VisibleRowCount();
  const Case cases[] = {
      {"Shift+PageDown", 2, Qt::Key_PageDown, Qt::ShiftModifier, page + 1},
      {"Shift+Ctrl+End", 3, Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier, 28},
      {"Shift+Ctrl+Home", 6, Qt::Key_Home, Qt::ShiftModifier | Qt::ControlModifier, 6},
      {"Shift+Ctrl+End on the last row", 30, Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier, 1},
      // After the long ones, a single step still repaints its rows.
      {"Shift+Down", 4, Qt::Key_Down, Qt::ShiftModifier, 2},
  };
  for (const Case& c : cases) {
    TypeKey(Qt::Key_Home, Qt::ControlModifier);
    DS->SetRecNo(c.From);
    QImage before = shot();
    TypeKey(c.Key, c.Mods);
    ASSERT_EQ(Grid->SelectedRows()->Count(), c.Selected) << c.Name;
    QImage shown = shot();
    EXPECT_TRUE(shown != before) << c.Name << ": the marks changed";
    Grid->Invalidate();
    EXPECT_TRUE(shown == shot()) << c.Name << ": shown as freshly painted";
  }
  // A Ctrl+click on the current row changes its mark without moving.
  TypeKey(Qt::Key_Home, Qt::ControlModifier);
  DS->SetRecNo(3);
  QImage before = shot();
  ClickWith(DataCell(0, 2), Qt::ControlModifier);
  ASSERT_EQ(RecNo(), 3);
  QImage shown = shot();
  EXPECT_TRUE(shown != before) << "the mark changed";
  Grid->Invalidate();
  EXPECT_TRUE(shown == shot()) << "shown as freshly painted";
}

// Moving the current record draws its old and new rows and the footer again, not the rows
// between them and the footer, and the grid then shows what a fresh paint shows.
TEST_F(GridInteraction, AMoveDrawsTheTwoRowsAndTheFooterOnly) {
  Grid->SetFooterRowCount(1);
  DS->First();
  Application->ProcessMessages();
  std::set<int> drawn;  // records whose first cell was drawn
  Grid->OnDrawColumnCell = TDrawColumnEhCellEvent::Lambda(
      [&](TObject*, const TRect&, int DataCol, TColumnEh*, TGridDrawState) {
        if (DataCol == 0) drawn.insert(DS->RecNo());
      });
  struct Case {
    const char* Name;
    std::function<void()> Move;
    std::set<int> Drawn;
  };
  const Case cases[] = {
      {"Next", [&] { DS->Next(); }, {1, 2}},
      {"Down", [&] { TypeKey(Qt::Key_Down); }, {2, 3}},
      {"Prior", [&] { DS->Prior(); }, {2, 3}},
  };
  for (const Case& c : cases) {
    drawn.clear();
    c.Move();
    Application->ProcessMessages();
    ASSERT_FALSE(drawn.empty()) << c.Name;
    for (int r : c.Drawn) EXPECT_EQ(drawn.count(r), 1u) << c.Name << ": record " << r;
    // A row touching them by its grid line may be drawn too, never the rows down to the footer.
    EXPECT_LE(*drawn.rbegin() - *drawn.begin(), 2) << c.Name;
    QImage shown = WidgetOf(Grid)->grab().toImage();
    Grid->Invalidate();
    EXPECT_TRUE(shown == WidgetOf(Grid)->grab().toImage()) << c.Name << ": shown as freshly painted";
  }
  Grid->OnDrawColumnCell = nullptr;
}

TEST_F(GridInteraction, WithoutMultiSelectEveryKindIsRefused) {
  Grid->SetOptions(Grid->Options() - dgMultiSelect);
  for (auto kind : {gstRecordBookmarks, gstRectangle, gstColumns, gstAll})
    EXPECT_FALSE(Grid->SelectionKindAllowed(kind)) << int(kind);
  Grid->SetOptions(Grid->Options() + dgMultiSelect);
  for (auto kind : {gstRecordBookmarks, gstRectangle, gstColumns, gstAll})
    EXPECT_TRUE(Grid->SelectionKindAllowed(kind)) << int(kind);
  Grid->SetOptions(Grid->Options() + dgRowSelect);
  EXPECT_FALSE(Grid->SelectionKindAllowed(gstRectangle));
  EXPECT_TRUE(Grid->SelectionKindAllowed(gstRecordBookmarks));
  // Shift+Down without multi-selection only moves.
  Grid->SetOptions(Grid->Options() - dgMultiSelect);
  DS->SetRecNo(1);
  TypeKey(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(RecNo(), 2);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
}

TEST_F(GridInteraction, ClickingACellMakesItsRecordAndColumnCurrent) {
  DS->First();
  int clicked = 0;
  Grid->OnCellClick = TDBGridEhClickEvent::Lambda([&](TColumnEh*) { ++clicked; });
  ClickWith(DataCell(2, 3), Qt::NoModifier);
  EXPECT_EQ(RecNo(), 4);
  EXPECT_EQ(Grid->SelectedIndex(), 2);
  EXPECT_EQ(clicked, 1);
}

TEST_F(GridInteraction, TheWheelMovesOneRecord) {
  DS->SetRecNo(5);
  TPoint s = Grid->ClientToScreen(DataCell(0, 2));
  QWidget* w = InputWidget(Grid);
  QPointF local = w->mapFromGlobal(QPointF(s.X, s.Y));
  QWheelEvent down(local, QPointF(s.X, s.Y), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &down);
  Application->ProcessMessages();
  EXPECT_EQ(RecNo(), 6);
  QWheelEvent up(local, QPointF(s.X, s.Y), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                 Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &up);
  Application->ProcessMessages();
  EXPECT_EQ(RecNo(), 5);
}

// ---------------------------------------------------------------- column moving by titles

TEST_F(GridInteraction, ATitleDraggedOntoTheNextColumnMovesItButtonOrNot) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking);
  Grid->Columns()->Items(0)->Title()->SetTitleButton(true);
  bool enabled = false;
  Grid->OnCheckButton =
      TCheckTitleEhBtnEvent::Lambda([&](TObject*, int, TColumnEh*, bool& Enabled) { Enabled = enabled; });
  auto drag = [&](int From, int To) {
    TPoint a = Title(From), b = Title(To);
    SendMouse(Grid, QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 1000);
    Move(Grid, {a.X + 10, a.Y}, Qt::LeftButton);
    Move(Grid, b, Qt::LeftButton);
    SendMouse(Grid, QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 5);
    Application->ProcessMessages();
  };
  drag(0, 1);  // a disabled button is a plain title: the base grid moves the column
  EXPECT_EQ(Grid->Columns()->Items(1)->FieldName(), "Name");
  EXPECT_EQ(Marker(1), smNoneEh);
  enabled = true;
  drag(1, 2);  // a held button dragged past 3 pixels turns into column moving, no click
  EXPECT_EQ(Grid->Columns()->Items(2)->FieldName(), "Name");
  EXPECT_EQ(Marker(2), smNoneEh);
  EXPECT_EQ(SortReports, 0);
}

// ---------------------------------------------------------------- check boxes

TEST_F(GridInteraction, ACheckBoxTogglesByClickAndSpaceAndDeleteClearsIt) {
  Grid->Columns()->Items(2)->SetFieldName("Done");
  ASSERT_EQ(Grid->Columns()->Items(2)->ColumnKind(), ckCheckbox);
  DS->First();
  TField* done = DS->FieldByName("Done");
  ClickWith(DataCell(2, 0), Qt::NoModifier);
  EXPECT_EQ(RecNo(), 1);
  EXPECT_TRUE(done->AsBoolean());
  TypeKey(Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_FALSE(done->AsBoolean());
  TypeKey(Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_TRUE(done->AsBoolean());
  TypeKey(Qt::Key_Delete);
  EXPECT_TRUE(done->IsNull());
  // A read-only grid keeps its values.
  DS->Cancel();
  Grid->SetReadOnly(true);
  bool before = done->AsBoolean();
  ClickWith(DataCell(2, 0), Qt::NoModifier);
  TypeKey(Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_EQ(done->AsBoolean(), before);
}
