// The grid's mouse: title buttons and the sort marking they drive, row selection by clicks,
// moving the current record and column, check-box clicks and the wheel.
#include "grid/DBGridEh.h"

#include "gui/Forms.h"
#include "gui/Application.h"

#include <cstdlib>

namespace {

constexpr int kTitleMoveThreshold = 3;  // pixels a held title may move before it is dragged

}  // namespace

bool TCustomDBGridEh::ChangesByMouse() const { return FDataLink->Active() && DataSet() != nullptr; }

void TCustomDBGridEh::SortMarkingChanged() {
  if (!FOptionsEh.Contains(dghAutoSortMarking)) return;
  if (OnSortMarkingChanged) OnSortMarkingChanged(this);
  else ApplySortingDefault();
}

void TCustomDBGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FPressPoint = {X, Y};
  if (!AcquireFocus()) return;  // the press is ignored completely
  TGridCoord cell = MouseCoord(X, Y);
  int dataCol = 0, dataRow = 0;
  int type = cell.X >= 0 ? GetCellType(cell.X, cell.Y, dataCol, dataRow) : -1;
  int rowArea = type >> 8;
  if (Button == mbLeft && Shift.Contains(ssDouble) && FOptionsEh.Contains(dghDblClickOptimizeColWidth)) {
    TGridState state;
    int index = -1, pos = 0, ofs = 0;
    CalcSizingState(X, Y, state, index, pos, ofs);
    if (state == gsColSizing && RawToDataColumn(index) >= 0 && RawToDataColumn(index) < FColumns->Count()) {
      TColumnsEhList list;
      list.Add(FColumns->Items(RawToDataColumn(index)));
      OptimizeColumnWidths(&list);
      TCustomControl::MouseDown(Button, Shift, X, Y);
      return;
    }
  }
  if (type >= 0 && rowArea == raTitle && PressTitle(Button, Shift, X, Y)) return;
  if (type >= 0 && rowArea == raData && ChangesByMouse()) {
    PressDataRow(Button, Shift, cell);
    TCustomControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  // Titles without a button: the base grid sizes or moves columns.
  if (type >= 0 && (rowArea == raTitle || rowArea == raFilter) && (FOptions.Contains(dgColumnResize) || Designing())) {
    if ((type & 0xFF) == caIndicator && Button == mbLeft && SelectionKindAllowed(gstAll) && ChangesByMouse()) {
      if (FSelection->SelectionKind() != gstNon) FSelection->Reset();
      else FSelection->SelectWholeGrid();
    }
    FDataLink->UpdateRecord();
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    return;
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

// A title acting as a button is pressed; false when the press is not the title's.
bool TCustomDBGridEh::PressTitle(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGridCoord cell = MouseCoord(X, Y);
  int dataCol = RawToDataColumn(cell.X);
  if (Button != mbLeft || Designing() || dataCol < 0 || dataCol >= FColumns->Count()) return false;
  if (FUseMultiTitle) {
    // Only the lowest level of a title tree is the column's button.
    TRect r = CellRect(cell.X, cell.Y);
    THeadTreeNode* leaf = LeafOf(dataCol);
    if (leaf && Y < r.Bottom - leaf->NodeHeight) return false;
  }
  bool enabled = FColumns->Items(dataCol)->Title()->TitleButton();
  if (enabled) CheckTitleButton(dataCol, enabled);
  if (!enabled) return false;
  TGridState sizing;
  int index = -1, pos = 0, ofs = 0;
  CalcSizingState(X, Y, sizing, index, pos, ofs);
  if (sizing != gsNormal) return false;  // a border belongs to sizing
  FPressedTitle = dataCol;
  FPressedTitleIn = true;
  SetCapture(Handle());
  InvalidateCell(cell.X, cell.Y);
  return true;
}

void TCustomDBGridEh::PressDataRow(TMouseButton Button, TShiftState Shift, TGridCoord Cell) {
  TDataSet* ds = DataSet();
  FDataLink->UpdateRecord();
  if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
  int oldCol = Col();
  String oldRow = ds->Bookmark();
  int target = Cell.Y - TopDataOffset();
  bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
  if (target != FDataLink->ActiveRecord()) ds->MoveBy(target - FDataLink->ActiveRecord());
  bool dataColumn = Cell.X >= IndicatorOffset();
  if (dataColumn && Cell.X != Col()) MoveToColumn(Cell.X);
  bool rowSelection = SelectionKindAllowed(gstRecordBookmarks) &&
                      (FOptions.Contains(dgRowSelect) || !dataColumn || !SelectionKindAllowed(gstRectangle));
  TBookmarkListEh* rows = SelectedRows();
  if (rowSelection) {
    if (shift && ds->CompareBookmarks(oldRow, ds->Bookmark()) != 0) {
      // From the row that was current to the pressed one, both included.
      String pressed = ds->Bookmark();
      int dir = ds->CompareBookmarks(oldRow, pressed) < 0 ? 1 : -1;
      ds->GotoBookmark(oldRow);
      rows->SetCurrentRowSelected(true);
      while (ds->CompareBookmarks(ds->Bookmark(), pressed) != 0 && ds->MoveBy(dir) != 0)
        rows->SetCurrentRowSelected(true);
    } else if (ctrl || (Button == mbLeft && !FOptionsEh.Contains(dghClearSelection))) {
      rows->SetCurrentRowSelected(!rows->CurrentRowSelected());
    } else if (Button == mbLeft) {
      if (FOptionsEh.Contains(dghClearSelection)) FSelection->Reset();
      rows->SetCurrentRowSelected(true);
    }
    FRowAnchor = ds->Bookmark();
    FRowAnchorSelected = rows->CurrentRowSelected();
    FRowTracking = Button == mbLeft;
  } else if (!ctrl && !shift && FOptionsEh.Contains(dghClearSelection) && FSelection->SelectionKind() != gstNon) {
    FSelection->Reset();
  }
  TColumnEh* column = dataColumn ? CurrentColumn() : nullptr;
  bool stepped = column && (column->ColumnKind() == ckImage || column->ColumnKind() == ckCheckbox);
  FCheckCell = stepped && Button == mbLeft && !Shift.Contains(ssDouble) ? Cell : TGridCoord{-1, -1};
  if (stepped && Button == mbLeft && Shift.Contains(ssDouble) && column->DblClickNextVal())
    column->StepValue(shift ? -1 : 1);
  if (Button == mbLeft && ShouldShowEditor() && dataColumn &&
      ((oldCol == Col() && target == FDataLink->ActiveRecord() && !shift && !ctrl &&
        ds->CompareBookmarks(oldRow, ds->Bookmark()) == 0) ||
       FOptions.Contains(dgAlwaysShowEditor)))
    OpenEditor();
  if (FUpdateLock == 0) Update();
}

void TCustomDBGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  if (FPressedTitle >= 0) {
    TGridCoord cell = MouseCoord(X, Y);
    bool in = RawToDataColumn(cell.X) == FPressedTitle && cell.Y >= 0 && cell.Y < TitleRowCount();
    if (in != FPressedTitleIn) {
      FPressedTitleIn = in;
      InvalidateCell(DataToRawColumn(FPressedTitle), 0);
    }
    if (std::abs(X - FPressPoint.X) <= kTitleMoveThreshold || !FOptions.Contains(dgColumnResize)) {
      TCustomControl::MouseMove(Shift, X, Y);
      return;
    }
    // Dragged beyond the threshold: the title becomes a column being moved from the press.
    InvalidateCell(DataToRawColumn(FPressedTitle), 0);
    FPressedTitle = -1;
    FPressedTitleIn = false;
    FDataLink->UpdateRecord();
    TCustomGrid::MouseDown(mbLeft, Shift, FPressPoint.X, FPressPoint.Y);
  }
  if (FRowTracking && Shift.Contains(ssLeft) && ChangesByMouse()) {
    TGridCoord cell = MouseCoord(X, Y);
    int record = cell.Y - TopDataOffset();
    if (cell.Y >= TopDataOffset() && record < FDataLink->RecordCount() && record != FDataLink->ActiveRecord())
      MoveByRows(true, record - FDataLink->ActiveRecord(), true, false);
  }
  TCustomGrid::MouseMove(Shift, X, Y);
}

void TCustomDBGridEh::ReleaseTitle(TShiftState Shift, int X, int Y) {
  int dataCol = FPressedTitle;
  bool over = FPressedTitleIn;
  FPressedTitle = -1;
  FPressedTitleIn = false;
  ReleaseCapture();
  InvalidateCell(DataToRawColumn(dataCol), 0);
  if (!over || dataCol < 0 || dataCol >= FColumns->Count()) return;
  TColumnEh* column = FColumns->Items(dataCol);
  TitleButtonClicked(DataToRawColumn(dataCol), column);
  if (!FOptionsEh.Contains(dghAutoSortMarking)) return;
  bool ctrl = Shift.Contains(ssCtrl) && FOptionsEh.Contains(dghMultiSortMarking);
  column->Title()->CycleSortMarker(ctrl);
  if (ctrl) FSortMarkedWithCtrl = true;
  else SortMarkingChanged();
}

void TCustomDBGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FPressedTitle >= 0 && Button == mbLeft) {
    ReleaseTitle(Shift, X, Y);
    TCustomControl::MouseUp(Button, Shift, X, Y);
    return;
  }
  FRowTracking = false;
  TGridState before = GridState();
  TCustomGrid::MouseUp(Button, Shift, X, Y);
  if (before == gsColSizing || before == gsRowSizing) return;
  if (Button == mbLeft) {
    TGridCoord cell = MouseCoord(X, Y);
    int dataCol = 0, dataRow = 0;
    int type = cell.X >= 0 ? GetCellType(cell.X, cell.Y, dataCol, dataRow) : -1;
    TColumnEh* column = dataCol >= 0 && dataCol < FColumns->Count() ? FColumns->Items(dataCol) : nullptr;
    int rowArea = type >> 8;
    if (type >= 0 && column && (type & 0xFF) == caData) {
      if ((rowArea == raTitle || rowArea == raFilter) && OnTitleClick) OnTitleClick(column);
      if (rowArea == raData && OnCellClick) OnCellClick(column);
    }
    // A single click on the pressed check box toggles it (a double click steps it instead).
    bool sameCell = FCheckCell.X >= 0 && cell == FCheckCell;
    FCheckCell = {-1, -1};
    if (sameCell && column && !column->DblClickNextVal()) column->StepValue(Shift.Contains(ssShift) ? -1 : 1);
  }
  if (Button != mbRight) return;
  TGridCoord cell = MouseCoord(X, Y);
  int dataCol = RawToDataColumn(cell.X);
  if (cell.X < 0 || dataCol < 0 || dataCol >= FColumns->Count()) return;
  auto* menu = dynamic_cast<IPopupMenu*>(FColumns->Items(dataCol)->PopupMenuComponent());
  if (!menu || !menu->PopupAutoPopup()) return;
  Perform(WM_CANCELMODE);
  TPoint p = ClientToScreen({X, Y});
  menu->PopupAt(this, p.X, p.Y);
}

// The wheel moves the current record one at a time.
bool TCustomDBGridEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (TCustomGrid::DoMouseWheelDown(Shift, MousePos)) return true;
  if (!ChangesByMouse()) return false;
  DataSet()->Next();
  return true;
}

bool TCustomDBGridEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TCustomGrid::DoMouseWheelUp(Shift, MousePos)) return true;
  if (!ChangesByMouse()) return false;
  DataSet()->Prior();
  return true;
}
