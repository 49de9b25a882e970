// The grid over a database file driven by the mouse and its bars: the scroll timer while a
// selection is dragged beyond the rows, record dragging with its drop marker, scrolling by the
// vertical bar and an external bar, cursors, hints and cell tool tips, column selection from
// the titles, frozen and traced column sizing, and the settings objects of the grid unit.
#include "GuiTestUtil.h"
#include "GridPaintFixture.h"
#include "FileQuery.h"
#include "TempFolder.h"
#include "grid/DBGridEh.h"
#include "grid/DBGridEhAux.h"
#include "grid/CellTextEh.h"
#include "core/LayoutText.h"
#include "data/ADODB.h"
#include "data/MemDataSet.h"
#include "gui/Buttons.h"
#include "gui/Clipbrd.h"
#include "gui/DBActns.h"
#include "gui/DBCtrls.h"
#include "gui/Forms.h"
#include "gui/Screen.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace {

const char* const kCities[] = {"01", "02"};

// 30 contracts: Chinese names in three kinds, amounts, signing dates, a city key (北京 01,
// 上海 02) and a done flag.
String Script() {
  String s = "CREATE TABLE t_pact (pactid COUNTER, name TEXT(20), amount DOUBLE, signdate DATETIME, "
             "city TEXT(2), done BIT);\n";
  static const char* kinds[] = {"协议", "订单", "合同"};
  for (int i = 1; i <= 30; ++i)
    s += Format("INSERT INTO t_pact (name, amount, signdate, city, done) VALUES ('%s%.2d', %d, #2024-01-%.2d#, '%s', %d);\n",
                {String(kinds[i % 3]), i, i * 10, i, String(kCities[i % 2]), i % 2});
  return s;
}

}  // namespace

class GridTracking : public ::testing::Test {
protected:
  TempFolder Dir;
  TForm* Form = nullptr;
  TDBGridEh* Grid = nullptr;
  TADOQuery* Query = nullptr;
  int SortReports = 0;

  void SetUp() override {
    EnsureGridTestApplication();
    String file = Dir / "pact.db";
    CreateDatabaseFromScript(file, Script());
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(20, 20, 520, 420);
    Query = FileQuery(Form, file, "select * from t_pact order by pactid");
    auto* source = new TDataSource(Form);
    source->SetDataSet(Query);
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 500, 400);
    for (const char* f : {"name", "amount", "signdate", "city", "done"}) Grid->Columns()->AddColumn()->SetFieldName(f);
    TColumnEh* city = Grid->Columns()->Items(3);
    city->PickList()->SetText("北京\n上海");
    city->KeyList()->SetText("01\n02");
    Grid->SetDataSource(source);
    Query->Open();
    Grid->OnSortMarkingChanged = TNotifyEvent::Lambda([this](TObject*) { ++SortReports; });
    Form->Show();
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override {
    Application->CancelHint();
    delete Form;
    Application->ProcessMessages();
  }
  int RecNo() { return Query->RecNo(); }
  TPoint CellCentre(int RawCol, int Row) {
    TRect r = Grid->CellRect(RawCol, Row);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TPoint DataCell(int DataCol, int Record) { return CellCentre(Grid->DataToRawColumn(DataCol), Grid->TopDataOffset() + Record); }
  TPoint Indicator(int Record) { return CellCentre(0, Grid->TopDataOffset() + Record); }
  void PressAt(TPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    SendMouse(Grid, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, mods, 1000);
    Application->ProcessMessages();
  }
  void DragTo(TPoint p) {
    Move(Grid, p, Qt::LeftButton);
    Application->ProcessMessages();
  }
  void ReleaseAt(TPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    SendMouse(Grid, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods, 5);
    Application->ProcessMessages();
  }
  void Tick() {
    Grid->Perform(WM_TIMER, 1, 0);  // what the running timer delivers
    Application->ProcessMessages();
  }
  std::vector<int> SelectedRecNos() {
    std::vector<int> r;
    String saved = Query->Bookmark();
    for (int i = 0; i < Grid->SelectedRows()->Count(); ++i) {
      Query->GotoBookmark(Grid->SelectedRows()->Items(i));
      r.push_back(Query->RecNo());
    }
    Query->GotoBookmark(saved);
    return r;
  }
  QImage Shot() {
    Application->ProcessMessages();
    return WidgetOf(Grid)->grab().toImage();
  }
  // The colour of a client point in a shot, which holds the border too.
  QRgb At(const QImage& Img, int X, int Y) {
    TPoint origin = Grid->ClientToScreen({0, 0});
    QPoint widget = WidgetOf(Grid)->mapToGlobal(QPoint(0, 0));
    return Img.pixel(X + origin.X - widget.x(), Y + origin.Y - widget.y());
  }
  // A point a given number of pixels below the data rows.
  TPoint Below(int Pixels) { return {DataCell(0, 0).X, Grid->DataAreaRect().Bottom - 1 + Pixels}; }
};

// ---------------------------------------------------------------- timer 1

TEST_F(GridTracking, TheScrollTimerMovesByTheDistanceBelowTheRowsAndStopsInside) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  Query->First();
  PressAt(DataCell(0, 1));
  ASSERT_EQ(RecNo(), 2);
  ASSERT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmRowSelecting);
  DragTo(Below(12));
  EXPECT_GT(TimerInterval(Grid->Handle(), 1), 0u) << "beyond the rows the timer takes over";
  Tick();
  EXPECT_EQ(RecNo(), 4) << "12 pixels: 12 / 6 records a tick";
  EXPECT_EQ(TimerInterval(Grid->Handle(), 1), 20u) << "200 - 15 x 12";
  DragTo(Below(30));
  Tick();
  EXPECT_EQ(RecNo(), 9);
  EXPECT_EQ(TimerInterval(Grid->Handle(), 1), 10u) << "200 - 450 runs at the 10-ms floor, not spinning";
  EXPECT_EQ(SelectedRecNos(), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9})) << "the rows passed are selected";
  DragTo(DataCell(0, 3));
  Tick();
  EXPECT_EQ(TimerInterval(Grid->Handle(), 1), 0u) << "back inside the timer stops";
  ReleaseAt(DataCell(0, 3));
  EXPECT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmNone);
}

TEST_F(GridTracking, LosingTheCaptureEndsTheTrackingAndItsTimer) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  Query->First();
  PressAt(DataCell(0, 0));
  DragTo(Below(20));
  ASSERT_GT(TimerInterval(Grid->Handle(), 1), 0u);
  gui_glue::CancelCapture();  // a modal loop or a lost activation
  EXPECT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmNone);
  EXPECT_EQ(TimerInterval(Grid->Handle(), 1), 0u);
  int at = RecNo();
  Tick();
  EXPECT_EQ(RecNo(), at);
}

// Without multi-selection a press tracks cells only: the current record and column follow the
// mouse and nothing is selected.
TEST_F(GridTracking, CellTrackingMovesTheCurrentCellAndARectangleFollowsWhenAllowed) {
  Query->First();
  PressAt(DataCell(0, 0));
  DragTo(DataCell(2, 4));
  EXPECT_EQ(RecNo(), 5);
  EXPECT_EQ(Grid->SelectedIndex(), 2);
  ReleaseAt(DataCell(2, 4));
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);

  Grid->SetOptions(Grid->Options() + dgMultiSelect);
  Query->First();
  PressAt(DataCell(0, 1));
  EXPECT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmRectSelecting);
  DragTo(DataCell(1, 3));
  ReleaseAt(DataCell(1, 3));
  ASSERT_EQ(Grid->Selection()->SelectionKind(), gstRectangle);
  TDBGridEhSelectionRect* r = Grid->Selection()->CellRange();
  EXPECT_EQ(r->LeftColumnIndex(), 0);
  EXPECT_EQ(r->RightColumnIndex(), 1);
  Query->GotoBookmark(r->TopRowBookmark());
  EXPECT_EQ(RecNo(), 2);
  Query->GotoBookmark(r->BottomRowBookmark());
  EXPECT_EQ(RecNo(), 4);
  // A cell of the rectangle is drawn selected, one beside it is not.
  Query->SetRecNo(3);
  EXPECT_TRUE(Grid->IsCellSelected(Grid->DataToRawColumn(1), Grid->TopDataOffset() + 2, Query->Bookmark(), 1));
  EXPECT_FALSE(Grid->IsCellSelected(Grid->DataToRawColumn(2), Grid->TopDataOffset() + 2, Query->Bookmark(), 2));
}

// ---------------------------------------------------------------- record dragging

namespace {
struct TMoveCall {
  int Rows, ToRecNo;
  bool CheckOnly;
};
}  // namespace

TEST_F(GridTracking, DraggingSelectedRowsHandsThemAllToOnMoveRecords) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  Grid->SetOptionsEh(Grid->OptionsEh() + dghRecordMoving);
  std::vector<TMoveCall> calls;
  bool allow = true;
  Grid->OnMoveRecords = TGridMoveRecordsEventEh::Lambda(
      [&](TObject*, TBookmarkListEh* List, int& ToRecNo, int&, bool CheckOnly) {
        calls.push_back({List->Count(), ToRecNo, CheckOnly});
        return allow;
      });
  Query->First();
  SendMouse(Grid, QEvent::MouseButtonPress, DataCell(0, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 1000);
  SendMouse(Grid, QEvent::MouseButtonRelease, DataCell(0, 1), Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 5);
  SendMouse(Grid, QEvent::MouseButtonPress, DataCell(0, 2), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier, 1000);
  SendMouse(Grid, QEvent::MouseButtonRelease, DataCell(0, 2), Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier, 5);
  Application->ProcessMessages();
  ASSERT_EQ(SelectedRecNos(), (std::vector<int>{2, 3}));

  // Own row: the press and release on the row that was pressed move nothing.
  PressAt(Indicator(1));
  ASSERT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmRecordDragging);
  ReleaseAt(Indicator(1));
  EXPECT_TRUE(std::none_of(calls.begin(), calls.end(), [](const TMoveCall& c) { return !c.CheckOnly; }));

  calls.clear();
  PressAt(Indicator(1));
  DragTo(Indicator(6));
  EXPECT_EQ(Grid->DragTargetRow(), Grid->TopDataOffset() + 6);
  ReleaseAt(Indicator(6));
  ASSERT_FALSE(calls.empty());
  EXPECT_TRUE(calls.front().CheckOnly) << "tracking only asks";
  const TMoveCall& last = calls.back();
  EXPECT_FALSE(last.CheckOnly);
  EXPECT_EQ(last.Rows, 2) << "every selected row goes, not only the one pressed";
  EXPECT_EQ(last.ToRecNo, 7);
  EXPECT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmNone);

  // An unselected row is selected by its press, not dragged.
  PressAt(Indicator(10));
  EXPECT_NE(Grid->MouseMode(), TCustomDBGridEh::mmRecordDragging);
  ReleaseAt(Indicator(10));
}

TEST_F(GridTracking, ARefusedTargetLeavesTheDropMarkerWhereItWas) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghRecordMoving);  // no row selection: any row drags
  int asked = 0;
  Grid->OnMoveRecords = TGridMoveRecordsEventEh::Lambda([&](TObject*, TBookmarkListEh* List, int&, int&, bool) {
    ++asked;
    EXPECT_EQ(List->Count(), 1) << "the dragged record alone";
    return false;
  });
  Query->First();
  QImage before = Shot();
  PressAt(Indicator(2));
  ASSERT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmRecordDragging);
  QImage marked = Shot();
  TRect row2 = Grid->CellRect(0, Grid->TopDataOffset() + 2), row5 = Grid->CellRect(0, Grid->TopDataOffset() + 5);
  int x = Grid->ClientWidth() - 20;
  EXPECT_NE(At(marked, x, row2.Top), At(before, x, row2.Top)) << "the marker stands above the pressed row";
  DragTo(Indicator(5));
  EXPECT_GT(asked, 0);
  EXPECT_EQ(Grid->DragTargetRow(), Grid->TopDataOffset() + 2);
  QImage after = Shot();
  EXPECT_NE(At(after, x, row2.Top), At(before, x, row2.Top)) << "still there";
  EXPECT_EQ(At(after, x, row5.Bottom), At(before, x, row5.Bottom)) << "nothing at the refused row";
  ReleaseAt(Indicator(5));
  QImage gone = Shot();
  EXPECT_EQ(At(gone, x, row2.Top), At(before, x, row2.Top)) << "the release takes the marker away";
}

// ---------------------------------------------------------------- scrolling

TEST_F(GridTracking, TheVerticalBarMovesTheDatasetByItsRules) {
  Query->First();
  int shown = Grid->DataLink()->RecordCount();
  ASSERT_LT(shown, 30);
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(RecNo(), shown + 1) << "line down: the record after the last one shown";
  int firstShown = RecNo() - Grid->DataLink()->ActiveRecord();
  ASSERT_GT(firstShown, 1);
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_LINEUP, 0), 0);
  EXPECT_EQ(RecNo(), firstShown - 1) << "line up: the record before the first one shown";
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_BOTTOM, 0), 0);
  EXPECT_EQ(RecNo(), 30);
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_TOP, 0), 0);
  EXPECT_EQ(RecNo(), 1);
  // With tracking the thumb moves the dataset while it is dragged; the drop then changes nothing.
  Grid->VertScrollBar()->SetTracking(true);
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBTRACK, 12), 0);
  EXPECT_EQ(RecNo(), 12);
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 20), 0);
  EXPECT_EQ(RecNo(), 12);
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 20), 0);
  EXPECT_EQ(RecNo(), 20) << "a later drop goes to its record";
  Grid->VertScrollBar()->SetTracking(false);
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBTRACK, 5), 0);
  EXPECT_EQ(RecNo(), 20) << "without tracking the thumb's drag moves nothing";
}

TEST_F(GridTracking, ClickingTheBarsArrowsAndTrackScrollsTheRecords) {
  Query->First();
  SCROLLBARINFO bi;
  ASSERT_TRUE(GetScrollBarInfo(Grid->Handle(), OBJID_VSCROLL, &bi));
  TPoint down = Grid->ScreenToClient({(bi.rcScrollBar.Left + bi.rcScrollBar.Right) / 2, bi.rcScrollBar.Bottom - 4});
  int shown = Grid->DataLink()->RecordCount();
  Click(Grid, down);
  Application->ProcessMessages();
  EXPECT_EQ(RecNo(), shown + 1);
}

TEST_F(GridTracking, AnUnsequencedDatasetsBarHasFivePlacesAndTheMiddleDoesNothing) {
  auto* mem = new TMemDataSet(Form);
  mem->FieldDefs()->Add("name", ftString, 20);
  for (int i = 1; i <= 30; ++i) mem->AddRow({Variant("行" + IntToStr(i))});
  mem->SetSequenced(false);
  Grid->DataSource()->SetDataSet(mem);
  mem->Open();
  Application->ProcessMessages();
  auto name = [&] { return mem->FieldByName("name")->AsString(); };
  mem->MoveBy(10);
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 2), 0);
  EXPECT_EQ(name(), "行11") << "the middle place stays";
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 4), 0);
  EXPECT_EQ(name(), "行30");
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 0), 0);
  EXPECT_EQ(name(), "行1");
  Grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 3), 0);
  EXPECT_EQ(name(), "行" + IntToStr(1 + Grid->VisibleDataRowCount())) << "3: a page down";
}

// ---------------------------------------------------------------- cursors

TEST_F(GridTracking, TheBottomOfATitleShowsTheColumnCursorAndTheIndicatorTheRowCursor) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect);
  TRect title = Grid->CellRect(Grid->DataToRawColumn(1), 0);
  HCURSOR column = Screen->Cursors(GridColumnSelectCursor()), row = Screen->Cursors(GridRowSelectCursor());
  ASSERT_NE(column, nullptr);
  ASSERT_NE(row, nullptr);
  Move(Grid, {title.Left + 10, title.Bottom - 3});
  EXPECT_EQ(GetCursor(), column);
  Move(Grid, {title.Left + 10, title.Bottom - 7});
  EXPECT_EQ(GetCursor(), column) << "the band is 7 pixels high";
  Move(Grid, {title.Left + 10, title.Bottom - 8});
  EXPECT_NE(GetCursor(), column);
  Move(Grid, Indicator(3));
  EXPECT_EQ(GetCursor(), row);
  Grid->SetBiDiMode(bdRightToLeft);
  Move(Grid, Indicator(4));
  EXPECT_EQ(GetCursor(), Screen->Cursors(GridRowSelectCursorRtl()));
  Grid->SetBiDiMode(bdLeftToRight);
  // Row selection takes the column cursor away; without multi-selection there is none.
  Grid->SetOptions(Grid->Options() + dgRowSelect);
  Move(Grid, {title.Left + 10, title.Bottom - 3});
  EXPECT_NE(GetCursor(), column);
  Grid->SetOptions(Grid->Options() - dgMultiSelect - dgRowSelect);
  Move(Grid, Indicator(3));
  EXPECT_NE(GetCursor(), row);
}

TEST_F(GridTracking, TheGridsCursorsComeFromTheResourcesAtTheirOwnIds) {
  TCursor ids[] = {GridColumnSelectCursor(), GridRowSelectCursor(), GridRowSelectCursorRtl()};
  for (TCursor id : ids) {
    EXPECT_GT(id, 0);
    EXPECT_NE(Screen->Cursors(id), nullptr);
  }
  EXPECT_NE(ids[0], ids[1]);
  EXPECT_NE(ids[1], ids[2]);
  InitDBGridEhUnit();  // again: nothing new is registered
  EXPECT_EQ(GridColumnSelectCursor(), ids[0]);
}

// ---------------------------------------------------------------- column selection and sizing

TEST_F(GridTracking, PressingTitleBandsSelectsColumnsShiftExtendsAndCtrlToggles) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect);
  auto band = [&](int DataCol) {
    TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), 0);
    return TPoint{(r.Left + r.Right) / 2, r.Bottom - 2};
  };
  auto selected = [&] {
    std::vector<String> r;
    for (int i = 0; i < Grid->Selection()->ColumnSet()->Count(); ++i)
      r.push_back(Grid->Selection()->ColumnSet()->Items(i)->FieldName());
    return r;
  };
  PressAt(band(1));
  EXPECT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmColSelecting);
  ReleaseAt(band(1));
  EXPECT_EQ(selected(), (std::vector<String>{"amount"}));
  PressAt(band(3), Qt::ShiftModifier);
  ReleaseAt(band(3), Qt::ShiftModifier);
  EXPECT_EQ(selected(), (std::vector<String>{"amount", "signdate", "city"}));
  PressAt(band(2), Qt::ControlModifier);
  ReleaseAt(band(2), Qt::ControlModifier);
  EXPECT_EQ(selected(), (std::vector<String>{"amount", "city"}));
  // Dragging along the titles extends from the anchor.
  PressAt(band(0));
  DragTo(band(2));
  ReleaseAt(band(2));
  EXPECT_EQ(selected(), (std::vector<String>{"name", "amount", "signdate"}));
  EXPECT_TRUE(Grid->IsCellSelected(Grid->DataToRawColumn(1), 0, String(), 1)) << "its title is drawn selected";
  EXPECT_FALSE(Grid->IsCellSelected(Grid->DataToRawColumn(3), 0, String(), 3));
}

TEST_F(GridTracking, AFrozenColumnIsSizedByItsDottedLineAtTheRelease) {
  Grid->SetFrozenCols(1);
  Application->ProcessMessages();
  TRect name = Grid->CellRect(1, 0);
  int width = Grid->Columns()->Items(0)->Width();
  QImage before = Shot();
  PressAt({name.Right - 1, name.Top + 5});
  ASSERT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmFrozenColSizing);
  DragTo({name.Right + 29, name.Top + 5});
  EXPECT_EQ(Grid->Columns()->Items(0)->Width(), width) << "nothing changes while the line moves";
  QImage moving = Shot();
  int y = Grid->CellRect(1, 5).Top + 3;
  int changed = 0;
  for (int dy = 0; dy < 4; ++dy) changed += At(moving, name.Right + 30, y + dy) != At(before, name.Right + 30, y + dy);
  EXPECT_GE(changed, 2) << "a dotted line in XOR marks the new border";
  ReleaseAt({name.Right + 29, name.Top + 5});
  // The width is the release point less what stands before the column.
  EXPECT_EQ(Grid->Columns()->Items(0)->Width(), width + 29);
  QImage released = Shot();
  int gone = 0;
  for (int dy = 0; dy < 4; ++dy) gone += At(released, name.Right + 30, y + dy) != At(moving, name.Right + 30, y + dy);
  EXPECT_EQ(gone, changed) << "the line is gone";
  EXPECT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmNone);

  // Esc ends the sizing without a change.
  width = Grid->Columns()->Items(0)->Width();
  name = Grid->CellRect(1, 0);
  PressAt({name.Right - 1, name.Top + 5});
  DragTo({name.Right + 20, name.Top + 5});
  TypeKey(Qt::Key_Escape);
  ReleaseAt({name.Right + 20, name.Top + 5});
  EXPECT_EQ(Grid->Columns()->Items(0)->Width(), width);
}

// A frozen column wider than the client has its border beyond the client: a press at the
// client's right edge in the titles names no column and sizes nothing.
TEST_F(GridTracking, APressAtTheClientsRightEdgeSizesNoFrozenColumnBeyondIt) {
  Grid->SetFrozenCols(1);
  Grid->Columns()->Items(0)->SetWidth(Grid->ClientWidth() + 50);
  Application->ProcessMessages();
  int frozen = Grid->Columns()->Items(0)->Width();
  PressAt({Grid->ClientWidth() - 2, 5});
  EXPECT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmNone);
  DragTo({Grid->ClientWidth() - 40, 5});
  ReleaseAt({Grid->ClientWidth() - 40, 5});
  EXPECT_EQ(Grid->Columns()->Items(0)->Width(), frozen);
}

TEST_F(GridTracking, TracedSizingWidensTheColumnAsTheMouseMoves) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghTraceColSizing);
  TRect amount = Grid->CellRect(Grid->DataToRawColumn(1), 0);
  int width = Grid->Columns()->Items(1)->Width();
  PressAt({amount.Right, amount.Top + 5});
  ASSERT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmColSizing);
  DragTo({amount.Right + 25, amount.Top + 5});
  EXPECT_EQ(Grid->Columns()->Items(1)->Width(), width + 25) << "the width follows at once";
  ReleaseAt({amount.Right + 25, amount.Top + 5});
  EXPECT_EQ(Grid->Columns()->Items(1)->Width(), width + 25);
}

// While the new widths reach the columns (and the grid's handler), the filter row's editor is
// held still; the hold ends with the change, also when the handler raises.
TEST_F(GridTracking, TheFilterRowsEditorIsHeldStillWhileColumnWidthsChange) {
  std::vector<int> depths;
  bool raise = false;
  Grid->OnColWidthsChanged = TNotifyEvent::Lambda([&](TObject*) {
    depths.push_back(Grid->STFilter()->UpdateDepth());
    if (raise) throw Exception("宽度不可用");
  });
  Grid->SetOptionsEh(Grid->OptionsEh() + dghTraceColSizing);
  TRect amount = Grid->CellRect(Grid->DataToRawColumn(1), 0);
  PressAt({amount.Right, amount.Top + 5});
  ASSERT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmColSizing);
  DragTo({amount.Right + 20, amount.Top + 5});
  ReleaseAt({amount.Right + 20, amount.Top + 5});
  ASSERT_FALSE(depths.empty()) << "sizing with the mouse changed the widths";
  EXPECT_EQ(depths, std::vector<int>(depths.size(), 1));
  EXPECT_EQ(Grid->STFilter()->UpdateDepth(), 0) << "released after the change";
  raise = true;
  EXPECT_THROW(Grid->SetColWidths(Grid->DataToRawColumn(2), 90), Exception);
  EXPECT_EQ(Grid->STFilter()->UpdateDepth(), 0) << "released also when the handler raised";
}

TEST_F(GridTracking, ADoubleClickOnABorderFitsTheColumnAndTheSelectedOnes) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect);
  Grid->SetOptionsEh(Grid->OptionsEh() + dghDblClickOptimizeColWidth);
  for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->SetWidth(20);
  Grid->Selection()->ColumnSet()->SelectColumn(Grid->Columns()->Items(2), false);
  Application->ProcessMessages();
  TRect name = Grid->CellRect(Grid->DataToRawColumn(0), 0);
  TPoint border{name.Right, name.Top + 5};
  SendMouse(Grid, QEvent::MouseButtonPress, border, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 1000);
  SendMouse(Grid, QEvent::MouseButtonRelease, border, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 5);
  SendMouse(Grid, QEvent::MouseButtonPress, border, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 5);
  SendMouse(Grid, QEvent::MouseButtonRelease, border, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 5);
  Application->ProcessMessages();
  EXPECT_GT(Grid->Columns()->Items(0)->Width(), 20) << "the clicked column";
  EXPECT_EQ(Grid->Columns()->Items(1)->Width(), 20) << "an unselected one";
  EXPECT_GT(Grid->Columns()->Items(2)->Width(), 20) << "a selected one";
}

// ---------------------------------------------------------------- hints and tool tips

TEST_F(GridTracking, ACutTextShowsItsToolTipUnlessCtrlIsHeldAndATitleHintShowsItsShortPart) {
  TColumnEh* name = Grid->Columns()->Items(0);
  name->SetWidth(30);
  name->SetToolTips(true);
  name->Title()->SetHint("短|长的说明");
  Grid->SetShowHint(true);
  Application->SetHintPause(5000);  // tool tips come at once all the same
  Application->ProcessMessages();
  Query->First();
  auto shown = [] { return Application->HintWindow() && Application->HintWindow()->Visible(); };
  Move(Grid, DataCell(0, 2));
  ASSERT_TRUE(WaitFor(shown, 2000));
  EXPECT_EQ(Application->HintWindow()->Caption(), "协议03");
  EXPECT_EQ(Application->HintWindow()->ClassType(), TToolTipsWindow::StaticClass());
  EXPECT_EQ(RecNo(), 1) << "reading the row leaves the current record";
  // A text that fits shows none.
  Move(Grid, DataCell(1, 2));
  Application->ProcessMessages();
  EXPECT_FALSE(shown());
  Application->CancelHint();
  SendMouse(Grid, QEvent::MouseMove, DataCell(0, 4), Qt::NoButton, Qt::NoButton, Qt::ControlModifier, 5);
  WaitFor(shown, 300);
  EXPECT_FALSE(shown()) << "not with Ctrl held";
  Application->CancelHint();
  Application->SetHintPause(10);
  Move(Grid, CellCentre(Grid->DataToRawColumn(0), 0));
  ASSERT_TRUE(WaitFor(shown, 2000));
  EXPECT_EQ(Application->HintWindow()->Caption(), "短") << "the title's hint, its part before the bar";
  Application->SetHintPause(500);
}

// ---------------------------------------------------------------- the settings objects

TEST_F(GridTracking, VisibleSetsTheModeAndOneBarServesOneGridOnly) {
  TVertDBGridEhScrollBar* v = dynamic_cast<TVertDBGridEhScrollBar*>(Grid->VertScrollBar());
  ASSERT_NE(v, nullptr);
  v->SetVisibleMode(sbAlwaysShowEh);
  v->SetVisible(false);
  EXPECT_EQ(v->VisibleMode(), sbNeverShowEh);
  EXPECT_FALSE(v->IsShownNow());
  v->SetVisible(true);
  EXPECT_EQ(v->VisibleMode(), sbAutoShowEh) << "not the mode set before";
  EXPECT_TRUE(v->IsShownNow());

  auto* bar = new TScrollBar(Form);
  static_cast<TComponent*>(bar)->SetName("Bar1");
  bar->SetParent(Form);
  bar->SetKind(sbVertical);
  bar->SetBounds(500, 0, 17, 400);
  Grid->VertScrollBar()->SetExtScrollBar(bar);
  auto* other = new TDBGridEh(Form);
  other->SetParent(Form);
  try {
    other->VertScrollBar()->SetExtScrollBar(bar);
    ADD_FAILURE() << "a bar attached twice";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Possible Bar1 already attached to the other control.");
  }
  EXPECT_EQ(other->VertScrollBar()->ExtScrollBar(), nullptr) << "the settings stay unchanged";
  // The external bar scrolls the grid.
  Query->First();
  int shown = Grid->DataLink()->RecordCount();
  Click(bar, {8, bar->Height() - 5});  // its down arrow
  EXPECT_EQ(RecNo(), shown + 1);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  ASSERT_TRUE(Grid->VertScrollBar()->ReadScrollInfo(si));
  EXPECT_EQ(si.nPos, RecNo()) << "the bar stands where the grid is";
  // Detached, the bar is its own again and may serve the other grid.
  Grid->VertScrollBar()->SetExtScrollBar(nullptr);
  EXPECT_TRUE(bar->WindowProcIsOwn());
  other->VertScrollBar()->SetExtScrollBar(bar);
  EXPECT_EQ(other->VertScrollBar()->ExtScrollBar(), bar);
  delete other;
  EXPECT_TRUE(bar->WindowProcIsOwn()) << "a freed grid gives the bar its procedure back";
}

TEST_F(GridTracking, StoredColumnOrderAndWidthsAreReadBackThroughTheInterceptors) {
  auto* cols = Grid->Columns();
  std::unique_ptr<TStoragePropertyInterceptor> order(CreateReadPropertyInterceptor(cols));
  ASSERT_NE(order, nullptr);
  auto* ci = dynamic_cast<TColumnsEhPropertyInterceptor*>(order.get());
  ASSERT_NE(ci, nullptr);
  EXPECT_EQ(ci->ColumnsIndex(), "\"name\",\"amount\",\"signdate\",\"city\",\"done\"");
  ci->SetColumnsIndex("amount,name,X,done");
  std::vector<String> names;
  for (int i = 0; i < cols->Count(); ++i) names.push_back(cols->Items(i)->FieldName());
  EXPECT_EQ(names, (std::vector<String>{"amount", "name", "signdate", "done", "city"})) << "X is skipped";
  ci->SetColumnsIndex("NAME");
  EXPECT_EQ(cols->Items(1)->FieldName(), "name") << "a name differing in case is ignored";
  TDBGridColumnsEh empty(Grid, TDBGridColumnEh::StaticClass());
  EXPECT_EQ(TColumnsEhPropertyInterceptor(&empty).ColumnsIndex(), "");

  TColumnEh* c = cols->Items(0);
  std::unique_ptr<TStoragePropertyInterceptor> w(CreateReadPropertyInterceptor(c));
  auto* wi = dynamic_cast<TColumnEhPropertyInterceptor*>(w.get());
  ASSERT_NE(wi, nullptr);
  wi->SetWidth(77);
  EXPECT_EQ(c->Width(), 77);
  Grid->SetAutoFitColWidths(true);
  Application->ProcessMessages();
  int shown = c->Width();
  wi->SetWidth(150);
  EXPECT_EQ(c->InitialWidth(), 150) << "under auto-fit the stored width is where fitting starts";
  EXPECT_EQ(c->Width(), shown) << "until the next fit";
}

TEST_F(GridTracking, TitleSortingGoesToTheDataServiceWithoutAHandler) {
  struct TCounting : TDatasetFeaturesEh {
    int* Sorts;
    explicit TCounting(int* S) : Sorts(S) {}
    void ApplySorting(TCustomDBGridEh*, TDataSet*, bool) override { ++*Sorts; }
  };
  int sorts = 0, requests = 0;
  RegisterDatasetFeaturesEh(TADOQuery::StaticClass(), new TCounting(&sorts));
  Grid->OnSortMarkingChanged = {};
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking);
  Grid->Columns()->Items(1)->Title()->SetTitleButton(true);
  Click(Grid, CellCentre(Grid->DataToRawColumn(1), 0));
  EXPECT_EQ(sorts, 1) << "the dataset's features sort";
  GridDataService()->OnSortingRequest = TDBGridEhDataServiceRequestEvent::Lambda([&](TCustomDBGridEh* G) {
    EXPECT_EQ(G, Grid);
    ++requests;
  });
  Click(Grid, CellCentre(Grid->DataToRawColumn(1), 0));
  EXPECT_EQ(requests, 1) << "the service's handler comes first";
  EXPECT_EQ(sorts, 1);
  GridDataService()->OnSortingRequest = {};
  UnregisterDatasetFeaturesEh(TADOQuery::StaticClass());
  Click(Grid, CellCentre(Grid->DataToRawColumn(1), 0));
  EXPECT_EQ(sorts, 1) << "no features: nothing sorts";
}

// A lookup column's filter looks the typed text up in the list; a text the list does not hold
// gives an empty key list that no record matches, never a test for empty keys.
TEST_F(GridTracking, ALookupFiltersTextNotInTheListMatchesNoRecord) {
  auto* cities = new TMemDataSet(Form);
  cities->FieldDefs()->Add("code", ftString, 2);
  cities->FieldDefs()->Add("cityname", ftString, 10);
  cities->AddRow({Variant("01"), Variant("北京")});
  cities->AddRow({Variant("02"), Variant("上海")});
  cities->Open();
  auto* orders = new TMemDataSet(Form);
  orders->FieldDefs()->Add("city", ftString, 2);
  orders->AddRow({Variant("01")});
  auto field = [&](TField* F, const char* Name, TFieldKind Kind) {
    F->SetFieldName(Name);
    F->SetFieldKind(Kind);
    F->SetDataSet(orders);
    return F;
  };
  field(new TStringField(Form), "city", fkData);
  TField* lookup = field(new TStringField(Form), "cityname", fkLookup);
  lookup->SetKeyFields("city");
  lookup->SetLookupDataSet(cities);
  lookup->SetLookupKeyFields("code");
  lookup->SetLookupResultField("cityname");
  orders->Open();
  Grid->DataSource()->SetDataSet(orders);
  TColumnEh* c = Grid->Columns()->AddColumn();
  c->SetFieldName("cityname");
  TSTColumnFilterEh* f = c->STFilter();
  EXPECT_TRUE(f->Visible());
  EXPECT_EQ(f->KeyFieldName(), "code");
  EXPECT_EQ(f->TargetFieldName(), "city");
  f->SetExpressionText("上海");
  EXPECT_EQ(VarToStr(f->FirstOperand()), "02");
  EXPECT_EQ(f->Expression().Operator1, foIn);
  f->SetExpressionText("广州");
  Variant keys = f->FirstOperand();
  ASSERT_TRUE(VarIsArray(keys));
  EXPECT_EQ(VarArrayHighBound(keys, 1) - VarArrayLowBound(keys, 1) + 1, 0) << "no key at all";
  EXPECT_EQ(f->Expression().Operator1, foIn) << "not the null test";
  EXPECT_EQ(f->TypedText(), "广州");
  f->ResetFilter();
  EXPECT_TRUE(VarIsNull(f->FirstOperand()));
  EXPECT_EQ(f->Expression().Operator1, foNon);
  // A plain column's text is read by the filter language; with no field of that name in
  // the dataset now shown the value stays a text.
  TSTColumnFilterEh* amount = Grid->Columns()->Items(1)->STFilter();
  amount->SetExpressionText(">100");
  EXPECT_EQ(amount->Expression().Operator1, foGreaterThan);
  EXPECT_EQ(amount->ExpressionText(), "> '100'");
}

TEST_F(GridTracking, ColumnsStoreTheirDropDownBoxAndFilterSettings) {
  auto* list = new TDataSource(Form);
  static_cast<TComponent*>(list)->SetName("CityList");
  TColumnEh* c = Grid->Columns()->Items(3);
  c->DropDownBox()->SetListSource(list);
  c->DropDownBox()->SetAutoFitColWidths(false);
  c->DropDownBox()->SetUseMultiTitle(true);
  c->STFilter()->SetVisible(false);
  c->STFilter()->SetListField("cityname");
  TDBGridColumnsEh copy(Grid, TDBGridColumnEh::StaticClass());
  copy.Assign(Grid->Columns());
  TColumnEh* d = copy.Items(3);
  EXPECT_EQ(d->DropDownBox()->ListSource(), list);
  EXPECT_FALSE(d->DropDownBox()->AutoFitColWidths());
  EXPECT_TRUE(d->DropDownBox()->UseMultiTitle());
  String text = WriteComponentToText(Form);
  EXPECT_NE(text.find("DropDownBox.ListSource = CityList"), String::npos) << text;
  EXPECT_NE(text.find("DropDownBox.AutoFitColWidths = False"), String::npos);
  EXPECT_NE(text.find("STFilter.ListField = 'cityname'"), String::npos);
  EXPECT_NE(text.find("STFilter.Visible = False"), String::npos);
  EXPECT_EQ(c->ListDataSet(), nullptr) << "an empty list source gives no list";
  delete list;
  EXPECT_EQ(c->DropDownBox()->ListSource(), nullptr) << "a freed list source is forgotten";
}

// ---------------------------------------------------------------- clicks and edit operations

TEST_F(GridTracking, TheIndicatorsTitleSelectsAllAndTheEditOperationsFollowTheSelection) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect);
  EXPECT_FALSE(Grid->CanCopySelection()) << "nothing selected";
  EXPECT_FALSE(Grid->CanDeleteSelection());
  EXPECT_TRUE(Grid->CanSelectAll());
  Click(Grid, CellCentre(0, 0));
  ASSERT_EQ(Grid->Selection()->SelectionKind(), gstAll);
  EXPECT_TRUE(Grid->IsCellSelected(2, Grid->TopDataOffset() + 3, Query->Bookmark(), 1));
  struct Case {
    const char* What;
    std::function<void()> Set;
    bool Copy, Delete, Cut;
  } cases[] = {
      {"all", [] {}, true, true, true},
      {"read-only grid", [&] { Grid->SetReadOnly(true); }, true, false, false},
      {"no deleting", [&] { Grid->SetAllowedOperations({alopInsertEh, alopUpdateEh, alopAppendEh}); }, true, false, false},
  };
  for (const Case& c : cases) {
    c.Set();
    EXPECT_EQ(Grid->CanCopySelection(), c.Copy) << c.What;
    EXPECT_EQ(Grid->CanDeleteSelection(), c.Delete) << c.What;
    EXPECT_EQ(Grid->CanCutSelection(), c.Cut) << c.What;
  }
  Grid->SetReadOnly(false);
  Click(Grid, CellCentre(0, 0));
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon) << "a second press clears";
  Grid->SetAllowedSelections(Grid->AllowedSelections() - gstAll);
  EXPECT_FALSE(Grid->CanSelectAll());
  Click(Grid, CellCentre(0, 0));
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
}

// A grid that drags automatically still selects by clicks: a press on the selection only
// prepares a drag, which a move starts and a release turns back into a click.
TEST_F(GridTracking, APressOnTheSelectionPreparesADragThatAMoveStarts) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  Grid->SetDragMode(dmAutomatic);
  int drags = 0;
  Grid->OnStartDrag = TStartDragEvent::Lambda([&](TObject*, TDragObject*&) { ++drags; });
  Query->First();
  Click(Grid, DataCell(0, 1));
  ASSERT_EQ(SelectedRecNos(), (std::vector<int>{2}));
  EXPECT_EQ(Grid->DragMode(), dmAutomatic) << "given back after the click";
  // Pressed and released on the selection without moving: a plain click clears it.
  Click(Grid, DataCell(0, 1));
  EXPECT_TRUE(SelectedRecNos().empty());
  EXPECT_EQ(drags, 0);
  Click(Grid, DataCell(0, 2));
  SendMouse(Grid, QEvent::MouseButtonPress, DataCell(0, 2), Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier, 1000);
  SendMouse(Grid, QEvent::MouseButtonRelease, DataCell(0, 2), Qt::LeftButton, Qt::NoButton, Qt::ControlModifier, 5);
  Application->ProcessMessages();
  EXPECT_TRUE(SelectedRecNos().empty()) << "Ctrl toggles the row";
  Click(Grid, DataCell(0, 3));
  PressAt(DataCell(0, 3));
  DragTo(DataCell(0, 6));
  EXPECT_EQ(drags, 1) << "moving starts the drag";
  EXPECT_EQ(SelectedRecNos(), (std::vector<int>{4})) << "the selection goes along unchanged";
  ReleaseAt(DataCell(0, 6));
}

TEST_F(GridTracking, APressOnAnAlwaysShownButtonOpensTheEditorAndPressesTheButton) {
  TColumnEh* name = Grid->Columns()->Items(0);
  name->SetButtonStyle(cbsEllipsis);
  name->SetAlwaysShowEditButton(true);
  int clicks = 0;
  Grid->OnEditButtonClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  Query->First();
  Grid->SetSelectedIndex(1);
  Application->ProcessMessages();
  TRect cell = Grid->CellRect(Grid->DataToRawColumn(0), Grid->TopDataOffset() + 3);
  Click(Grid, {cell.Right - 4, (cell.Top + cell.Bottom) / 2});
  EXPECT_EQ(RecNo(), 4);
  EXPECT_EQ(Grid->SelectedIndex(), 0);
  EXPECT_TRUE(Grid->InplaceEditorVisible());
  EXPECT_EQ(clicks, 1) << "the press reached the button, the release clicked it";
  // A press on the text of another row's cell opens nothing.
  Grid->HideEditor();
  Click(Grid, DataCell(0, 5));
  EXPECT_FALSE(Grid->InplaceEditorVisible());
  EXPECT_EQ(clicks, 1);
}

TEST_F(GridTracking, CtrlQuoteCopiesTheValueOfTheRecordAbove) {
  Query->SetRecNo(5);
  Grid->SetSelectedIndex(1);
  Grid->SetFocus();
  TypeKey(Qt::Key_Apostrophe, Qt::ControlModifier);
  EXPECT_EQ(Query->State(), dsEdit);
  EXPECT_EQ(Query->FieldByName("amount")->AsFloat(), 40.0);
  ASSERT_TRUE(Grid->InplaceEditorVisible());
  EXPECT_EQ(Grid->InplaceEditor()->SelLength(), Length(Grid->InplaceEditor()->Text())) << "its text selected";
  // The first record shown has nothing above it in the rows.
  Grid->DataLink()->ResetRecord();
  Query->First();
  Grid->HideEditor();
  Grid->SetFocus();
  TypeKey(Qt::Key_Apostrophe, Qt::ControlModifier);
  EXPECT_EQ(Query->State(), dsBrowse);
}

// ---------------------------------------------------------------- actions

// Dataset actions reach the focused grid's data link: a button moves the grid's records, the
// post action writes what the cell editor holds, and a focused edit on another dataset takes
// the actions away from the grid.
TEST_F(GridTracking, DatasetActionsActOnTheDatasetOfTheFocusedGrid) {
  auto* list = new TActionList(Form);
  auto* next = new TDataSetNext(Form);
  auto* last = new TDataSetLast(Form);
  auto* post = new TDataSetPost(Form);
  for (TDataSetAction* a : {static_cast<TDataSetAction*>(next), static_cast<TDataSetAction*>(last),
                            static_cast<TDataSetAction*>(post)})
    a->SetActionList(list);
  auto* button = new TSpeedButton(Form);
  button->SetParent(Form);
  button->SetBounds(420, 400, 60, 20);
  button->SetAction(next);
  auto* notes = new TMemDataSet(Form);
  notes->FieldDefs()->Add("note", ftWideString, 10);
  for (const char* n : {"甲", "乙"}) notes->AddRow({Variant(String(n))});
  notes->Open();
  auto* noteSource = new TDataSource(Form);
  noteSource->SetDataSet(notes);
  auto* noteEdit = new TDBEdit(Form);
  noteEdit->SetParent(Form);
  noteEdit->SetBounds(0, 400, 100, 20);
  noteEdit->SetDataSource(noteSource);
  noteEdit->SetDataField("note");
  Grid->SetFocus();
  Application->ProcessMessages();

  Click(button, {30, 10});
  Application->ProcessMessages();
  EXPECT_EQ(RecNo(), 2);
  EXPECT_EQ(Grid->Row(), Grid->TopDataOffset() + 1) << "the grid's current row follows";
  EXPECT_EQ(notes->RecNo(), 1);
  EXPECT_TRUE(last->Execute());
  EXPECT_EQ(RecNo(), 30);
  Form->UpdateActions();
  EXPECT_FALSE(button->Enabled()) << "no next record after the last";
  post->Update();
  EXPECT_FALSE(post->Enabled()) << "nothing to post while browsing";

  // Typed into the cell editor: the editor has the focus, its grid takes the action.
  Query->First();
  Grid->SetSelectedIndex(1);
  TypeKey(Qt::Key_F2);
  ASSERT_TRUE(Grid->InplaceEditorVisible());
  Grid->InplaceEditor()->SelectAll();
  for (char ch : std::string("777")) TypeKey(Qt::Key_0 + (ch - '0'), Qt::NoModifier, QString(QChar(ch)));
  ASSERT_EQ(Query->State(), dsEdit);
  post->Update();
  EXPECT_TRUE(post->Enabled());
  EXPECT_TRUE(post->Execute());
  EXPECT_EQ(Query->State(), dsBrowse);
  EXPECT_EQ(Query->FieldByName("amount")->AsFloat(), 777.0) << "the editor's text was posted";

  noteEdit->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(next->Execute());
  EXPECT_EQ(notes->RecNo(), 2) << "the focused edit's dataset moved";
  EXPECT_EQ(RecNo(), 1) << "the grid's stayed";
}

// ---------------------------------------------------------------- messages

TEST_F(GridTracking, LosingTheFocusRepaintsTheSelectedRowsWithoutTheHighlight) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect + dgRowSelect);
  auto* other = new TEdit(Form);
  other->SetParent(Form);
  other->SetBounds(0, 400, 100, 20);
  Query->First();
  Click(Grid, DataCell(1, 2));
  Query->First();  // the current row moves away from the selected one
  Application->ProcessMessages();
  ASSERT_EQ(SelectedRecNos(), (std::vector<int>{3}));
  TRect r = Grid->CellRect(Grid->DataToRawColumn(1), Grid->TopDataOffset() + 2);
  auto at = [&] { return At(Shot(), r.Left + 3, r.Top + 3) & 0xFFFFFF; };
  QRgb focused = at();
  EXPECT_NE(focused, At(Shot(), r.Left + 3, r.Top + 3 + r.Height() * 2) & 0xFFFFFF) << "drawn as selected";
  other->SetFocus();
  EXPECT_NE(at(), focused) << "without the focus the selected row is repainted";
  Grid->SetFocus();
  EXPECT_EQ(at(), focused);
}

TEST_F(GridTracking, TheParentsFontAndColourReachTitlesAndFooters) {
  Grid->SetParentFont(true);
  Grid->SetParentColor(true);
  Form->Font()->SetHeight(-16);
  Form->SetColor(clAqua);
  Application->ProcessMessages();
  EXPECT_EQ(Grid->TitleFont()->Height(), -16);
  EXPECT_EQ(Grid->FooterFont()->Height(), -16);
  EXPECT_TRUE(Grid->ParentFont()) << "following the parent does not end it";
  EXPECT_EQ(Grid->FooterColor(), clAqua);
  // A title font of its own stays.
  Grid->TitleFont()->SetHeight(-20);
  Form->Font()->SetHeight(-12);
  Application->ProcessMessages();
  EXPECT_EQ(Grid->TitleFont()->Height(), -20);
}

TEST_F(GridTracking, AFlatGridDrawsItsOwnOnePixelBorder) {
  int framed = Grid->Width() - Grid->ClientWidth();
  Grid->SetFlat(true);
  Grid->RecreateWnd();
  Application->ProcessMessages();
  EXPECT_EQ(Grid->FlatBorderInset(), 1);
  EXPECT_EQ(Grid->Width() - Grid->ClientWidth(), framed - 4 + 2) << "one pixel each side instead of the 3-D frame";
  Grid->SetBorderStyle(bsNone);
  Application->ProcessMessages();
  EXPECT_EQ(Grid->FlatBorderInset(), 0);
}

TEST_F(GridTracking, ComposingTextOpensTheCellEditor) {
  Query->First();
  Grid->SetSelectedIndex(0);
  QInputMethodEvent e(QString::fromUtf8("he"), {});
  QApplication::sendEvent(WidgetOf(Grid), &e);
  Application->ProcessMessages();
  EXPECT_TRUE(Grid->InplaceEditorVisible());
}

// Leaving the grid writes what the editor holds; a value the field refuses brings the focus
// back to the grid with the error shown.
TEST_F(GridTracking, ARefusedValueOnLeavingGivesTheFocusBack) {
  auto* other = new TEdit(Form);
  other->SetParent(Form);
  other->SetBounds(0, 400, 100, 20);
  Query->First();
  Grid->SetSelectedIndex(1);
  TypeKey(Qt::Key_F2);
  ASSERT_TRUE(Grid->InplaceEditorVisible());
  Clipboard()->SetAsText("abc");
  Grid->InplaceEditor()->SelectAll();
  Grid->InplaceEditor()->Perform(WM_PASTE, 0, 0);  // what the edit's menu does
  ASSERT_EQ(Grid->InplaceEditor()->Text(), "abc");
  TBoxRecorder boxes;
  other->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_NE(boxes.Calls[0].Text.find("abc"), String::npos);
  EXPECT_TRUE(Grid->HasInputFocus()) << "the focus came back";
  EXPECT_EQ(Query->State(), dsEdit);
}
