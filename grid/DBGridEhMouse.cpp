// The grid's mouse: column sizing (frozen columns and traced sizing), column selection from
// the titles, title buttons and the sort marking they drive, row, cell and rectangle
// selection by pressing and dragging, record dragging, moving the current record and column,
// the editor and its buttons, check-box clicks and the wheel.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"
#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhInplace.h"

#include "gui/Forms.h"
#include "gui/Application.h"
#include "gui/WinGDI.h"
#include "core/Scope.h"

#include <cstdlib>

namespace {

constexpr int kTitleMoveThreshold = 3;  // pixels a held title may move before it is dragged
constexpr int kColumnSelectBand = 7;    // pixels at a title's bottom that select its column
constexpr int kSelectionTimer = 60;     // ms of the first tick of a selection drag

bool IsStepped(TColumnEh* Column) {
  return Column && (Column->ColumnKind() == ckImage || Column->ColumnKind() == ckCheckbox);
}

}  // namespace

bool TCustomDBGridEh::ChangesByMouse() const { return FDataLink->Active() && DataSet() != nullptr; }

void TCustomDBGridEh::SortMarkingChanged() {
  if (!FOptionsEh.Contains(dghAutoSortMarking)) return;
  if (OnSortMarkingChanged) OnSortMarkingChanged(this);
  else ApplySortingDefault();
}

void TCustomDBGridEh::ApplySortingDefault() { GridDataService()->RequestSorting(this); }

// ---------------------------------------------------------------- zones under the mouse

int TCustomDBGridEh::FrozenSizingColumn(int X, int Y) const {
  if (!(TCustomGrid::Options().Contains(goColSizing) || Designing())) return -1;
  int titleBottom = TitleRowCount() > 0 ? CellRect(0, TitleRowCount() - 1).Bottom : 0;
  if (Y < 0 || Y >= titleBottom) return -1;
  // A band of 7 pixels from 3 left of a frozen column's border, or of the line when wider.
  int line = FOptions.Contains(dgColLines) ? GridLineWidth() : 0;
  int d = line > 6 ? 0 : (7 - line) / 2;
  int zone = std::max(7, line);
  for (int k = IndicatorOffset(); k < FixedCols(); ++k) {
    TRect r = CellRect(k, 0);
    if (!IsRectEmpty(r) && X >= r.Right - d && X < r.Right - d + zone) return k;
  }
  return -1;
}

int TCustomDBGridEh::ColumnSelectZone(int X, int Y) const {
  if (Designing() || !FDataLink->Active() || !FOptions.Contains(dgMultiSelect) ||
      !FOptions.Contains(dgTitles) || FOptions.Contains(dgRowSelect) || !SelectionKindAllowed(gstColumns))
    return -1;
  TGridCoord cell = MouseCoord(X, Y);
  int dataCol = RawToDataColumn(cell.X);
  if (cell.X < 0 || cell.Y != 0 || dataCol < 0 || dataCol >= FColumns->Count()) return -1;
  TRect r = CellRect(cell.X, 0);
  return Y >= r.Bottom - std::min(kColumnSelectBand, r.Height()) ? dataCol : -1;
}

// ---------------------------------------------------------------- press

void TCustomDBGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FImpl->FPressPoint = FImpl->FLastMouse = {X, Y};
  FImpl->FPressShift = Shift;
  if (!AcquireFocus()) return;  // the press is ignored completely
  if (FImpl->FInFilterRow && PtInRect(DataAreaRect(), TPoint{X, Y})) LeaveFilterRow();
  TGridCoord cell = MouseCoord(X, Y);
  int dataCol = 0, dataRow = 0;
  int type = cell.X >= 0 && cell.Y >= 0 ? GetCellType(cell.X, cell.Y, dataCol, dataRow) : -1;
  int rowArea = type >> 8;
  if (Button == mbLeft && Shift.Contains(ssDouble) && FOptionsEh.Contains(dghDblClickOptimizeColWidth)) {
    TGridState state;
    int index = -1, pos = 0, ofs = 0;
    CalcSizingState(X, Y, state, index, pos, ofs);
    if (state == gsColSizing) {
      OptimizeWidthsAt(index);
      TCustomControl::MouseDown(Button, Shift, X, Y);
      return;
    }
  }
  if (PressSizing(Button, Shift, X, Y)) return;
  if (Button == mbLeft && PressColumnSelect(Shift, X, Y)) return;
  if (type >= 0 && rowArea == raTitle && PressTitle(Button, Shift, X, Y)) return;
  bool titleOrFilter = type >= 0 && (rowArea == raTitle || rowArea == raFilter);
  if (titleOrFilter && (FOptions.Contains(dgColumnResize) || Designing())) {
    if ((type & 0xFF) == caIndicator && Button == mbLeft && SelectionKindAllowed(gstAll) && ChangesByMouse()) {
      if (FSelection->SelectionKind() != gstNon) FSelection->Reset();
      else FSelection->SelectWholeGrid();
    }
    FDataLink->UpdateRecord();
    // The right button moves a column as the left one would.
    FImpl->FRightAsLeft = Button == mbRight && FOptions.Contains(dgColumnResize);
    TCustomGrid::MouseDown(FImpl->FRightAsLeft ? mbLeft : Button, Shift, X, Y);
    if (FImpl->FRightAsLeft) SetCapture(Handle());
    return;
  }
  if (Button == mbLeft && type >= 0 && rowArea == raData && TreeNodeMouseDown(X, Y, false)) return;
  if (type >= 0 && (rowArea == raData || titleOrFilter) && ChangesByMouse()) {
    PressDataRow(Button, Shift, cell);
    return;
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

// Frozen-column sizing and traced sizing are the grid's own; other borders are the base
// grid's. True when the press was a sizing one.
bool TCustomDBGridEh::PressSizing(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!(FOptions.Contains(dgColumnResize) || Designing())) return false;
  bool traced = FOptionsEh.Contains(dghTraceColSizing);
  int frozen = FrozenSizingColumn(X, Y);
  if (frozen >= 0) {
    if (Button != mbLeft) return false;
    FDataLink->UpdateRecord();
    FImpl->FMouseMode = mmFrozenColSizing;
    FImpl->FSizingCol = frozen;
    FImpl->FSizingOffset = CellRect(frozen, 0).Right - X;
    if (!traced) DrawSizingLine(X + FImpl->FSizingOffset);
    TCustomControl::MouseDown(Button, Shift, X, Y);
    return true;
  }
  TGridState state;
  int index = -1, pos = 0, ofs = 0;
  CalcSizingState(X, Y, state, index, pos, ofs);
  if (state == gsNormal) return false;
  FDataLink->UpdateRecord();
  if (state == gsColSizing && traced && Button == mbLeft) {
    FImpl->FMouseMode = mmColSizing;
    FImpl->FSizingCol = index;
    FImpl->FSizingOffset = pos - X;
    TCustomControl::MouseDown(Button, Shift, X, Y);
    return true;
  }
  TCustomGrid::MouseDown(Button, Shift, X, Y);
  return true;
}

// A press in a title's column-select band selects columns: only it, Shift from the anchor,
// Ctrl toggling it.
bool TCustomDBGridEh::PressColumnSelect(TShiftState Shift, int X, int Y) {
  int dataCol = ColumnSelectZone(X, Y);
  if (dataCol < 0) return false;
  TColumnEh* column = FColumns->Items(dataCol);
  TDBGridEhSelectionCols* set = FSelection->ColumnSet();
  if (Shift.Contains(ssShift)) set->ExtendToColumn(column);
  else if (Shift.Contains(ssCtrl)) set->ToggleColumn(column);
  else set->SelectColumn(column, false);
  FImpl->FMouseMode = mmColSelecting;
  StartScrollTimer(kSelectionTimer);
  TCustomControl::MouseDown(mbLeft, Shift, X, Y);
  return true;
}

// A title acting as a button is pressed; false when the press is not the title's.
bool TCustomDBGridEh::PressTitle(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGridCoord cell = MouseCoord(X, Y);
  int dataCol = RawToDataColumn(cell.X);
  if (Button != mbLeft || Designing() || dataCol < 0 || dataCol >= FColumns->Count()) return false;
  if (FImpl->FUseMultiTitle) {
    // Only the lowest level of a title tree is the column's button.
    TRect r = CellRect(cell.X, cell.Y);
    THeadTreeNode* leaf = LeafOf(dataCol);
    if (leaf && Y < r.Bottom - leaf->NodeHeight) return false;
  }
  bool enabled = FColumns->Items(dataCol)->Title()->TitleButton();
  if (enabled) CheckTitleButton(dataCol, enabled);
  if (!enabled) return false;
  FImpl->FPressedTitle = dataCol;
  FImpl->FPressedTitleIn = true;
  SetCapture(Handle());
  InvalidateCell(cell.X, cell.Y);
  return true;
}

void TCustomDBGridEh::PressDataRow(TMouseButton Button, TShiftState Shift, TGridCoord Cell) {
  TDataSet* ds = DataSet();
  if (Button == mbLeft && Cell.Y >= TopDataOffset() &&
      BeginRowsDrag(FImpl->FPressPoint.X, FImpl->FPressPoint.Y, false)) {
    TCustomControl::MouseDown(Button, Shift, FImpl->FPressPoint.X, FImpl->FPressPoint.Y);
    return;
  }
  {
    TRestore lock(FImpl->FUpdateLock, FImpl->FUpdateLock + 1);
    FDataLink->UpdateRecord();
    HideEditor();
    int oldCol = Col();
    String oldRow = ds->Bookmark();
    bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
    bool dataColumn = Cell.X >= IndicatorOffset();
    bool dataRow = Cell.Y >= TopDataOffset();
    int target = Cell.Y - TopDataOffset();
    bool rowsByShift =
        shift && FOptions.Contains(dgMultiSelect) && (!dataColumn || FOptions.Contains(dgRowSelect));
    if (dataRow && target != CurrentDataRow() && !rowsByShift) ds->MoveBy(target - CurrentDataRow());
    if (dataColumn && Cell.X != Col()) MoveToColumn(Cell.X);
    // The click itself runs with the drag mode switched to manual (WndProc).
    bool dragFromSelection = (DragMode() == dmAutomatic || FImpl->FInClickWithDragMode) &&
                             FOptions.Contains(dgMultiSelect) && !Designing() && Button == mbLeft && !shift &&
                             dataColumn && IsCellSelected(Cell.X, Cell.Y, ds->Bookmark(), RawToDataColumn(Cell.X));
    if (dragFromSelection) {
      FImpl->FDragPrepared = true;  // the drag starts when the mouse moves
    } else {
      if (dataRow) {
        bool cellTracking = !(FOptions.Contains(dgMultiSelect) && FOptions.Contains(dgRowSelect));
        if (cellTracking) {
          FImpl->FTracking = true;
          bool pressedSelected = IsCellSelected(Cell.X, Cell.Y, ds->Bookmark(), RawToDataColumn(Cell.X));
          if (!ctrl && !shift && FOptionsEh.Contains(dghClearSelection) &&
              (Button == mbLeft || !pressedSelected))
            FSelection->Reset();
          if (Button == mbLeft && dataColumn && SelectionKindAllowed(gstRectangle) && !ds->IsEmpty()) {
            TDBGridEhSelectionRect* rect = FSelection->CellRange();
            if (shift && FSelection->SelectionKind() != gstRectangle)
              rect->ExtendTo(RawToDataColumn(oldCol), oldRow, false);
            rect->ExtendTo(SelectedIndex(), ds->Bookmark(), shift);
            FImpl->FMouseMode = mmRectSelecting;
          }
        }
        bool rowSelection =
            SelectionKindAllowed(gstRecordBookmarks) &&
            (FOptions.Contains(dgRowSelect) || !dataColumn || !SelectionKindAllowed(gstRectangle));
        if (rowSelection) {
          TBookmarkListEh* rows = SelectedRows();
          FImpl->FKeepSelection = ctrl || !FOptionsEh.Contains(dghClearSelection);
          if (shift && target != FDataLink->ActiveRecord()) {
            // From the row that was current to the pressed one, both included.
            if (FImpl->FRowAnchor.empty()) {
              FImpl->FRowAnchor = oldRow;
              FImpl->FRowAnchorSelected = rows->CurrentRowSelected();
            }
            MoveByRows(true, target - FDataLink->ActiveRecord(), true, false);
          } else if (ctrl || (Button == mbLeft && !FOptionsEh.Contains(dghClearSelection))) {
            rows->SetCurrentRowSelected(!rows->CurrentRowSelected());
            FImpl->FRowAnchor = ds->Bookmark();
            FImpl->FRowAnchorSelected = !rows->CurrentRowSelected();
          } else if (Button == mbLeft) {
            if (FOptionsEh.Contains(dghClearSelection)) FSelection->Reset();
            rows->SetCurrentRowSelected(true);
            FImpl->FRowAnchor = ds->Bookmark();
            FImpl->FRowAnchorSelected = false;
          }
          if (Button == mbLeft) {
            FImpl->FMouseMode = mmRowSelecting;
            FImpl->FRowTracking = true;
          }
        }
      }
      if (Button == mbLeft) {
        bool onCurrentCell = oldCol == Col() && ds->CompareBookmarks(oldRow, ds->Bookmark()) == 0;
        if (ShouldShowEditor() && dataColumn && (onCurrentCell || FOptions.Contains(dgAlwaysShowEditor)) &&
            !shift && !ctrl)
          OpenEditor();
        if (dataColumn && dataRow) PressEditButtons(Cell, FImpl->FPressPoint.X, FImpl->FPressPoint.Y);
      }
      TColumnEh* column = dataColumn ? CurrentColumn() : nullptr;
      FImpl->FCheckCell =
          IsStepped(column) && Button == mbLeft && !Shift.Contains(ssDouble) ? Cell : TGridCoord{-1, -1};
      if (IsStepped(column) && Button == mbLeft && Shift.Contains(ssDouble) && column->DblClickNextVal())
        column->StepValue(shift ? -1 : 1);
      if (Button == mbRight || !dataColumn) InvalidateEditor();
    }
    TCustomControl::MouseDown(Button, Shift, FImpl->FPressPoint.X, FImpl->FPressPoint.Y);
  }
  if (FImpl->FUpdateLock == 0) Update();
}

// A press on a column's always-shown edit buttons opens the editor and hands the press on to
// the button under the mouse.
void TCustomDBGridEh::PressEditButtons(TGridCoord Cell, int X, int Y) {
  TColumnEh* column = CurrentColumn();
  if (!column || !column->AlwaysShowEditButton() || !FOptions.Contains(dgEditing)) return;
  int width = 0;
  for (const TCellButton& b : CellButtons(column)) width += b.Width;
  TRect r = CellRect(Cell.X, Cell.Y);
  bool onButtons = column->UseRightToLeftReading() ? X < r.Left + width : X >= r.Right - width;
  if (!onButtons || width == 0) return;
  SetEditorMode(true);
  auto* editor = dynamic_cast<TDBGridInplaceEdit*>(InplaceEditor());
  if (!editor || !editor->Visible()) return;
  FImpl->FTracking = false;
  FImpl->FMouseMode = mmNone;
  FImpl->FRowTracking = false;
  TPoint p = editor->ScreenToClient(ClientToScreen({X, Y}));
  for (int i = 0; i < editor->ButtonCount(); ++i) {
    TControl* b = editor->ButtonControl(i);
    if (!b->Visible() || !PtInRect(b->BoundsRect(), p)) continue;
    ReleaseCapture();
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(p.X - b->Left(), p.Y - b->Top()));
    return;
  }
}

// Double click on a border: the clicked column and the selected ones fit their content.
void TCustomDBGridEh::OptimizeWidthsAt(int RawCol) {
  int dataCol = RawToDataColumn(RawCol);
  if (dataCol < 0 || dataCol >= FColumns->Count()) return;
  TColumnsEhList list;
  TColumnEh* clicked = FColumns->Items(dataCol);
  list.Add(clicked);
  TDBGridEhSelectionType kind = FSelection->SelectionKind();
  for (int i = 0; i < FColumns->Count(); ++i) {
    TColumnEh* c = FColumns->Items(i);
    bool selected = kind == gstAll || (kind == gstColumns && FSelection->ColumnSet()->IndexOf(c) >= 0);
    if (selected && c != clicked) list.Add(c);
  }
  OptimizeColumnWidths(&list);
}

// ---------------------------------------------------------------- move

// The dotted sizing line of a frozen column, in XOR: drawn again where it stands it goes.
void TCustomDBGridEh::DrawSizingLine(int X) {
  if (!HandleAllocated()) return;
  auto draw = [this](int At) {
    HDC dc = GetDC(Handle());
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Pen()->SetStyle(psDot);
    canvas.Pen()->SetMode(pmXor);
    canvas.Pen()->SetColor(clWhite);
    canvas.MoveTo(At, 0);
    canvas.LineTo(At, ClientHeight());
    canvas.SetHandle(nullptr);
    ReleaseDC(Handle(), dc);
  };
  if (FImpl->FSizingLineX >= 0) draw(FImpl->FSizingLineX);
  FImpl->FSizingLineX = X;
  if (X >= 0) draw(X);
}

void TCustomDBGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  FImpl->FLastMouse = {X, Y};
  if (FImpl->FDragPrepared) {
    FImpl->FDragPrepared = false;
    BeginDrag(true);
  }
  if (FImpl->FPressedTitle >= 0) {
    TGridCoord cell = MouseCoord(X, Y);
    bool in = RawToDataColumn(cell.X) == FImpl->FPressedTitle && cell.Y >= 0 && cell.Y < TitleRowCount();
    if (in != FImpl->FPressedTitleIn) {
      FImpl->FPressedTitleIn = in;
      InvalidateCell(DataToRawColumn(FImpl->FPressedTitle), 0);
    }
    if (std::abs(X - FImpl->FPressPoint.X) <= kTitleMoveThreshold || !FOptions.Contains(dgColumnResize)) {
      TCustomControl::MouseMove(Shift, X, Y);
      return;
    }
    // Dragged beyond the threshold: the title becomes a column being moved from the press.
    InvalidateCell(DataToRawColumn(FImpl->FPressedTitle), 0);
    FImpl->FPressedTitle = -1;
    FImpl->FPressedTitleIn = false;
    FDataLink->UpdateRecord();
    TCustomGrid::MouseDown(mbLeft, Shift, FImpl->FPressPoint.X, FImpl->FPressPoint.Y);
  }
  TrackMouse(Shift, X, Y);
  TCustomGrid::MouseMove(Shift, X, Y);
  // The base grid's timed steps beyond the rows move the dataset, not the rows.
}

void TCustomDBGridEh::TrackMouse(TShiftState Shift, int X, int Y) {
  switch (FImpl->FMouseMode) {
    case mmColSizing:
    case mmFrozenColSizing: {
      if (FImpl->FMouseMode == mmFrozenColSizing && !FOptionsEh.Contains(dghTraceColSizing)) {
        DrawSizingLine(X + FImpl->FSizingOffset);
        return;
      }
      TRect r = CellRect(FImpl->FSizingCol, 0);
      int width = std::max(1, X + FImpl->FSizingOffset - r.Left);
      // Auto-fitting keeps room for the columns right of it.
      int rest = ColCount() - 1 - FImpl->FSizingCol;
      if (FImpl->FAutoFitColWidths && !Designing() && X + FImpl->FSizingOffset >= ClientWidth() - rest) return;
      SetColWidths(FImpl->FSizingCol, width);
      return;
    }
    case mmRecordDragging: TrackRowsDrag(Y, MouseCoord(X, Y).Y, {X, Y}, true); return;
    case mmColSelecting: {
      TRect area = DataAreaRect();
      TGridCoord cell = MouseCoord(X, Y);
      int dataCol = RawToDataColumn(cell.X);
      if (X < area.Left || X >= area.Right || cell.X < 0 || dataCol < 0 || dataCol >= FColumns->Count())
        StartScrollTimer(FImpl->FScrollTimerInterval >= 0 ? FImpl->FScrollTimerInterval : kSelectionTimer);
      else
        FSelection->ColumnSet()->ExtendToColumn(FColumns->Items(dataCol));
      return;
    }
    default: break;
  }
  if (!(FImpl->FTracking || FImpl->FRowTracking) || !ChangesByMouse()) return;
  TRect area = DataAreaRect();
  if (!PtInRect(area, TPoint{X, Y})) {
    // Beyond the data rows the scroll timer moves on.
    StartScrollTimer(FImpl->FScrollTimerInterval >= 0 ? FImpl->FScrollTimerInterval : kSelectionTimer);
    return;
  }
  TPoint p{std::clamp(X, 0, ClientWidth() - 1), std::clamp(Y, 0, ClientHeight() - 1)};
  TGridCoord cell = MouseCoord(p.X, p.Y);
  int record = cell.Y - TopDataOffset();
  bool moved = std::abs(X - FImpl->FPressPoint.X) + std::abs(Y - FImpl->FPressPoint.Y) > 0;
  if (cell.Y >= TopDataOffset() && record < RowRecordCount() && record != CurrentDataRow()) {
    bool extendRows = FImpl->FMouseMode == mmRowSelecting && Shift.Contains(ssLeft) && moved;
    if (extendRows) MoveByRows(true, record - CurrentDataRow(), true, false);
    else DataSet()->MoveBy(record - CurrentDataRow());
  }
  if (FImpl->FTracking && cell.X >= IndicatorOffset() && cell.X != Col() && FImpl->FMouseMode != mmRowSelecting)
    MoveToColumn(cell.X);
  if (FImpl->FMouseMode == mmRectSelecting)
    FSelection->CellRange()->ExtendTo(SelectedIndex(), DataSet()->Bookmark(), true);
}

// ---------------------------------------------------------------- release

void TCustomDBGridEh::ReleaseTitle(TShiftState Shift, int X, int Y) {
  int dataCol = FImpl->FPressedTitle;
  bool over = FImpl->FPressedTitleIn;
  FImpl->FPressedTitle = -1;
  FImpl->FPressedTitleIn = false;
  ReleaseCapture();
  InvalidateCell(DataToRawColumn(dataCol), 0);
  if (!over || dataCol < 0 || dataCol >= FColumns->Count()) return;
  TColumnEh* column = FColumns->Items(dataCol);
  TitleButtonClicked(DataToRawColumn(dataCol), column);
  if (!FOptionsEh.Contains(dghAutoSortMarking)) return;
  bool ctrl = Shift.Contains(ssCtrl) && FOptionsEh.Contains(dghMultiSortMarking);
  column->Title()->CycleSortMarker(ctrl);
  if (ctrl) FImpl->FSortMarkedWithCtrl = true;
  else SortMarkingChanged();
}

void TCustomDBGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FImpl->FLastMouse = {X, Y};
  if (FImpl->FMouseMode == mmFrozenColSizing && !FOptionsEh.Contains(dghTraceColSizing)) {
    DrawSizingLine(-1);
    int line = FOptions.Contains(dgColLines) ? GridLineWidth() : 0, before = 0;
    for (int k = 0; k < FImpl->FSizingCol; ++k) before += std::max(0, ColWidths(k)) + line;
    if (X - before > 1) SetColWidths(FImpl->FSizingCol, X - before);
  }
  if (FImpl->FMouseMode == mmRecordDragging) EndRowsDrag(X, Y, true);
  if (FImpl->FDragPrepared) {
    // A press on the selection that never became a drag is a click after all.
    FImpl->FDragPrepared = false;
    if (Shift.Contains(ssCtrl) && FOptions.Contains(dgRowSelect)) {
      SelectedRows()->SetCurrentRowSelected(!SelectedRows()->CurrentRowSelected());
    } else if (FOptionsEh.Contains(dghClearSelection)) {
      FSelection->Reset();
    }
  }
  bool tracedSizing = FImpl->FMouseMode == mmColSizing || FImpl->FMouseMode == mmFrozenColSizing;
  if (tracedSizing) {
    FImpl->FMouseMode = mmNone;
    FImpl->FSizingCol = -1;
    TCustomControl::MouseUp(Button, Shift, X, Y);
    return;
  }
  if (FImpl->FPressedTitle >= 0 && Button == mbLeft) {
    ReleaseTitle(Shift, X, Y);
    TCustomControl::MouseUp(Button, Shift, X, Y);
    return;
  }
  if (FImpl->FRightAsLeft && Button == mbRight) {
    FImpl->FRightAsLeft = false;
    Button = mbLeft;
    ReleaseCapture();
    TCustomGrid::MouseUp(mbLeft, Shift, X, Y);
    return;
  }
  StopScrollTimer();
  FImpl->FTracking = false;
  FImpl->FRowTracking = false;
  FImpl->FMouseMode = mmNone;
  TGridState before = GridState();
  TCustomGrid::MouseUp(Button, Shift, X, Y);
  if (before == gsColSizing || before == gsRowSizing) return;
  if (InplaceEditorVisible() && PtInRect(InplaceEditor()->BoundsRect(), TPoint{X, Y})) return;
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
    bool sameCell = FImpl->FCheckCell.X >= 0 && cell == FImpl->FCheckCell;
    FImpl->FCheckCell = {-1, -1};
    if (sameCell && column && !column->DblClickNextVal() && column->IsEditable(true))
      column->StepValue(Shift.Contains(ssShift) ? -1 : 1);
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
  if (ViewMode()) return ViewWheel(true, Shift);
  if (ChangesByMouse()) DataSet()->Next();
  return true;
}

bool TCustomDBGridEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TCustomGrid::DoMouseWheelUp(Shift, MousePos)) return true;
  if (ViewMode()) return ViewWheel(false, Shift);
  if (ChangesByMouse()) DataSet()->Prior();
  return true;
}
