// What the grid itself adds to its selection objects: which cells count as selected, what is
// repainted when the selection changes, the scrolling while a selection is dragged beyond the
// data rows (timer 1), and dragging records to another place under dghRecordMoving.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"
#include "grid/DBGridEhAux.h"

#include "gui/Application.h"
#include "gui/WinGDI.h"
#include "core/Scope.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr UINT_PTR kScrollTimer = 1;
constexpr int kStartInterval = 60;  // ms of the first tick of a selection or record drag
constexpr int kDragMarkerWidth = 5;

// The interval of the next tick: nearer ticks the farther the mouse is (never below 0; the
// platform runs 0 at its floor).
int TickInterval(int Base, int PerPixel, int Distance) { return std::max(0, Base - PerPixel * Distance); }

// Records moved per tick for a mouse Distance pixels beyond the data rows.
int RecordsPerTick(int Distance) { return std::min(Distance / 6, 8); }

}  // namespace

// ================================================================ selected cells

bool TCustomDBGridEh::IsCellSelected(int ACol, int ARow, const String& Bookmark, int DataCol) const {
  TDBGridEhSelectionType kind = FSelection->SelectionKind();
  if (kind == gstAll) return true;
  TGridRect box = DataCellBox();
  bool dataRow = ARow >= box.Top && ARow <= box.Bottom;
  if (ACol < box.Left) return dataRow && kind == gstRecordBookmarks && FBookmarks->IndexOf(Bookmark) >= 0;
  if (!dataRow)
    return kind == gstColumns && DataCol >= 0 && DataCol < FColumns->Count() && TitleInSelection(DataCol);
  return FSelection->ContainsDataCell(DataCol, Bookmark);
}

void TCustomDBGridEh::InvalidateSelection() {
  if (HandleAllocated()) {
    if (FSelection->SelectionKind() == gstAll) Invalidate();
    else if (FSelection->SelectionKind() != gstNon) InvalidateCellRange(FSelection->BoundsInGrid());
    InvalidateCurrentRow();
  }
  FImpl->FHadInputFocus = HasInputFocus();
}

TRect TCustomDBGridEh::DataAreaRect() const {
  int left =
      IndicatorOffset() > 0 ? CellRect(0, 0).Right + (FOptions.Contains(dgColLines) ? GridLineWidth() : 0) : 0;
  TGridRect box = DataCellBox();
  int lastRow = std::min(box.Bottom, TopDataOffset() + std::max(1, VisibleDataRowCount()) - 1);
  lastRow = std::min(lastRow, RowCount() - 1);
  TRect top = CellRect(IndicatorOffset(), box.Top), bottom = CellRect(IndicatorOffset(), lastRow);
  int y0 = IsRectEmpty(top) ? 0 : top.Top;
  int y1 = IsRectEmpty(bottom) ? y0 : bottom.Bottom;
  TGridAxesInfoEh info;
  ComputeDrawInfo(info);
  return TRect{left, y0, std::min(ClientWidth(), info.Horz.GridBoundary), y1};
}

// ================================================================ timer 1

void TCustomDBGridEh::StartScrollTimer(int Interval) {
  if (!HandleAllocated()) return;
  if (FImpl->FScrollTimerInterval == Interval) return;
  // A new interval restarts the timer; SetTimer replaces the running one.
  FImpl->FScrollTimerInterval = Interval;
  SetTimer(Handle(), kScrollTimer, static_cast<UINT>(Interval));
}

void TCustomDBGridEh::StopScrollTimer() {
  if (FImpl->FScrollTimerInterval < 0) return;
  if (HandleAllocated()) KillTimer(Handle(), kScrollTimer);
  FImpl->FScrollTimerInterval = -1;
}

void TCustomDBGridEh::TimerScroll() {
  if (FImpl->FMouseMode == mmColSelecting) {
    TimerScrollColumns();
    return;
  }
  TRect area = DataAreaRect();
  TPoint p = FImpl->FLastMouse;
  int vDir = p.Y < area.Top ? -1 : p.Y >= area.Bottom ? 1 : 0;
  int vDist = vDir < 0 ? area.Top - p.Y : vDir > 0 ? p.Y - area.Bottom + 1 : 0;
  int hDir = p.X < area.Left ? -1 : p.X >= area.Right ? 1 : 0;
  int hDist = hDir < 0 ? area.Left - p.X : hDir > 0 ? p.X - area.Right + 1 : 0;
  if (vDir == 0 && hDir == 0) {
    StopScrollTimer();
    return;
  }
  int distance = std::max(vDist, hDist);
  {
    TRestore lock(FImpl->FUpdateLock, FImpl->FUpdateLock + 1);
    if (vDir != 0 && FImpl->FMouseMode != mmRectSelecting) MoveByTimer(distance, vDir);
    if (hDir != 0 && FImpl->FMouseMode != mmRowSelecting) {
      int target = SelectedIndex() + hDir;
      if (target >= 0 && target < FColumns->Count()) MoveToDataColumn(target, hDir, false);
    }
    if (FImpl->FMouseMode == mmRectSelecting && FDataLink->Active()) {
      if (vDir != 0) DataSet()->MoveBy(vDir * RecordsPerTick(distance));
      int col = hDir < 0 && LeftCol() <= FixedCols() ? 0 : SelectedIndex();
      FSelection->CellRange()->ExtendTo(col, DataSet()->Bookmark(), true);
    }
  }
  if (FImpl->FUpdateLock == 0) Update();
  StartScrollTimer(TickInterval(200, 15, distance));
}

// The current row follows the mouse beyond the data rows, rows selected on the way when the
// press selects rows.
void TCustomDBGridEh::MoveByTimer(int Distance, int Direction) {
  if (!FDataLink->Active()) return;
  int records = Direction * RecordsPerTick(Distance);
  if (records == 0) return;
  if (FImpl->FMouseMode == mmRowSelecting) {
    FImpl->FKeepSelection = FImpl->FPressShift.Contains(ssCtrl) || !FOptionsEh.Contains(dghClearSelection);
    MoveByRows(true, records, true, false);
  } else {
    DataSet()->MoveBy(records);
  }
}

void TCustomDBGridEh::TimerScrollColumns() {
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  FImpl->FLastMouse = p;
  TRect area = DataAreaRect();
  int fixed = FixedCols(), count = ColCount();
  auto column = [this](int RawCol) {
    return FColumns->Items(std::clamp(RawToDataColumn(RawCol), 0, FColumns->Count() - 1));
  };
  TDBGridEhSelectionCols* set = FSelection->ColumnSet();
  int distance = 0;
  if (p.X >= area.Right) {
    distance = p.X - area.Right + 1;
    int shown = VisibleColCount(), left = LeftCol();
    if (shown + left < count) {
      SetLeftCol(left + 1);
      shown = VisibleColCount(), left = LeftCol();
      int target = shown + left < count ? shown + left : shown + left - 1;
      set->ExtendToColumn(column(target));
    } else {
      set->ExtendToColumn(column(shown + left - 1));
    }
  } else if (p.X < area.Left) {
    distance = area.Left - p.X;
    int left = LeftCol();
    if (left > fixed) {
      SetLeftCol(left - 1);
      int newLeft = LeftCol();
      set->ExtendToColumn(column(newLeft > fixed ? newLeft - 1 : newLeft));
    } else {
      set->ExtendToColumn(column(left));
    }
  } else {
    StopScrollTimer();
    return;
  }
  StartScrollTimer(TickInterval(200, 10, distance));
}

// ================================================================ ending the mouse's work

void TCustomDBGridEh::CancelMouseTracking() {
  if (FImpl->FMouseMode == mmRecordDragging) {
    EndRowsDrag(FImpl->FLastMouse.X, FImpl->FLastMouse.Y, false);
  } else if (FImpl->FMouseMode == mmFrozenColSizing || FImpl->FMouseMode == mmColSizing) {
    DrawSizingLine(-1);
  }
  StopScrollTimer();
  FImpl->FMouseMode = mmNone;
  FImpl->FTracking = false;
  FImpl->FRowTracking = false;
  FImpl->FDragPrepared = false;
  FImpl->FSizingCol = -1;
  if (FImpl->FPressedTitle >= 0) {
    InvalidateCell(DataToRawColumn(FImpl->FPressedTitle), 0);
    FImpl->FPressedTitle = -1;
    FImpl->FPressedTitleIn = false;
  }
}

// ================================================================ record dragging

bool TCustomDBGridEh::BeginRowsDrag(int X, int Y, bool TestOnly) {
  TDataSet* ds = DataSet();
  if (!FDataLink->Active() || !ds || !FOptionsEh.Contains(dghRecordMoving) || ds->IsEmpty()) return false;
  TGridCoord cell = MouseCoord(X, Y);
  int dataRow = cell.Y - TopDataOffset();
  if (cell.X < 0 || cell.X >= IndicatorOffset() || dataRow < 0 || dataRow >= RowRecordCount()) return false;
  String bookmark;
  {
    TRowRecordScopeEh scope(this, dataRow);
    bookmark = ds->Bookmark();
  }
  if (SelectionKindAllowed(gstRecordBookmarks)) {
    TShiftState keys = KeyboardStateToShiftState();
    bool modifiers = keys.Contains(ssShift) || keys.Contains(ssAlt) || keys.Contains(ssCtrl);
    if (modifiers || FBookmarks->IndexOf(bookmark) < 0) return false;
  }
  if (TestOnly) return true;
  FImpl->FDragStartRow = FImpl->FDragEndRow = cell.Y;
  FImpl->FDragBookmark = bookmark;
  FImpl->FDragStartLevel = -1;
  if (!CanBeginRowsDrag(FImpl->FDragStartRow, FImpl->FDragEndRow, {X, Y})) return false;
  FImpl->FMouseMode = mmRecordDragging;
  Update();
  FImpl->FDragMarkerX = CalcDragTargetLevel(cell.Y, {X, Y}, FImpl->FDragTargetLevel);
  DrawDragMarker();
  StartScrollTimer(kStartInterval);
  FImpl->FTracking = true;
  return true;
}

// Levels belong to the tree view of a record-position dataset; a flat list has none.

// The drop marker: a 5-pixel dotted line in XOR, below the target row when dragging down,
// above it otherwise. Drawing it twice removes it.
void TCustomDBGridEh::DrawDragMarker() {
  if (!HandleAllocated() || FImpl->FDragEndRow < 0) return;
  TRect row = CellRect(0, FImpl->FDragEndRow);
  if (IsRectEmpty(row)) return;
  bool down = FImpl->FDragEndRow > FImpl->FDragStartRow ||
              (FImpl->FDragEndRow == FImpl->FDragStartRow && FImpl->FDragTargetLevel < FImpl->FDragStartLevel);
  int y = down ? row.Bottom : row.Top;
  HDC dc = GetDC(Handle());
  TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.Pen()->SetStyle(psDot);
  canvas.Pen()->SetWidth(kDragMarkerWidth);
  canvas.Pen()->SetMode(pmXor);
  canvas.Pen()->SetColor(clWhite);
  canvas.MoveTo(FImpl->FDragMarkerX, y);
  canvas.LineTo(ClientWidth(), y);
  canvas.SetHandle(nullptr);
  ReleaseDC(Handle(), dc);
  FImpl->FDragMarkerShown = !FImpl->FDragMarkerShown;
}

void TCustomDBGridEh::TrackRowsDrag(int Y, int ARow, TPoint P, bool) {
  if (FImpl->FMouseMode != mmRecordDragging) return;
  int level = -1;
  int markerX = CalcDragTargetLevel(ARow, P, level);
  if (ViewMode()) {
    TrackViewRowsDrag(Y, ARow, level, markerX);
    return;
  }
  int firstRow = TopDataOffset();
  int lastRow = firstRow + std::max(1, FDataLink->RecordCount()) - 1;
  TRect top = CellRect(0, firstRow), bottom = CellRect(0, lastRow);
  int rowsTop = top.Top, rowsBottom = IsRectEmpty(bottom) ? DataAreaRect().Bottom : bottom.Bottom;
  bool inRows = Y >= rowsTop && Y < rowsBottom;
  if (ARow == FImpl->FDragEndRow && inRows) return;
  int target = ARow;
  if (Y >= rowsBottom || Y >= DataAreaRect().Bottom) {
    if (FImpl->FDragMarkerShown) DrawDragMarker();
    // One more record shows at the bottom.
    if (FDataLink->ActiveRecord() < FDataLink->RecordCount() - 1)
      DataSet()->MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord());
    else
      DataSet()->Next();
    Update();
    target = firstRow + FDataLink->RecordCount() - 1;
  } else if (Y < rowsTop) {
    if (FImpl->FDragMarkerShown) DrawDragMarker();
    if (FDataLink->ActiveRecord() > 0) DataSet()->MoveBy(-(FDataLink->ActiveRecord() + 1));
    else DataSet()->Prior();
    Update();
    target = firstRow;
  }
  target = std::clamp(target, firstRow, firstRow + std::max(1, FDataLink->RecordCount()) - 1);
  if (!MoveDraggedRecords(target - firstRow, level, true)) {
    // Refused: the marker stays where it was (drawn again when scrolling wiped it).
    if (!FImpl->FDragMarkerShown) DrawDragMarker();
    return;
  }
  if (FImpl->FDragMarkerShown) DrawDragMarker();
  FImpl->FDragEndRow = target;
  FImpl->FDragTargetLevel = level;
  FImpl->FDragMarkerX = markerX;
  DrawDragMarker();
}

void TCustomDBGridEh::EndRowsDrag(int, int, bool Accept) {
  StopScrollTimer();
  if (FImpl->FDragMarkerShown) DrawDragMarker();
  FImpl->FMouseMode = mmNone;
  FImpl->FTracking = false;
  bool moved = FImpl->FDragEndRow != FImpl->FDragStartRow || FImpl->FDragTargetLevel != FImpl->FDragStartLevel;
  if (Accept && moved) MoveDraggedRecords(FImpl->FDragEndRow - TopDataOffset(), FImpl->FDragTargetLevel, false);
  FImpl->FDragStartRow = FImpl->FDragEndRow = -1;
}

bool TCustomDBGridEh::MoveDraggedRecords(int ToDataRow, int TreeLevel, bool CheckOnly) {
  if (FBookmarks->Count() > 0) return MoveRecordsTo(FBookmarks.get(), ToDataRow, TreeLevel, CheckOnly);
  TBookmarkListEh one(this);
  one.InsertBookmark(FImpl->FDragBookmark);
  return MoveRecordsTo(&one, ToDataRow, TreeLevel, CheckOnly);
}

bool TCustomDBGridEh::MoveRecordsTo(TBookmarkListEh* BookmarkList, int ToDataRow, int TreeLevel, bool CheckOnly) {
  int recNo = RecordNumberOfRow(ToDataRow);
  if (OnMoveRecords) return OnMoveRecords(this, BookmarkList, recNo, TreeLevel, CheckOnly);
  return MoveRecordsDefault(BookmarkList, recNo, TreeLevel, CheckOnly);
}

bool TCustomDBGridEh::MoveRecordsDefault(TBookmarkListEh* BookmarkList, int ToRecNo, int TreeLevel, bool CheckOnly) {
  TDataSet* ds = DataSet();
  if (!ds) return false;
  // The current record and the view stay where they were after the records moved.
  String current = ds->Bookmark();
  IMemTableEh* mt = MemTableSupport();
  bool moved = mt ? mt->MoveRecords(BookmarkList, ToRecNo, TreeLevel, CheckOnly)
                  : GridDataService()->RequestMoveRecords(this, BookmarkList, ToRecNo, TreeLevel, CheckOnly);
  if (!CheckOnly && moved && ds->BookmarkValid(current)) ds->GotoBookmark(current);
  return moved;
}

int TCustomDBGridEh::RecordNumberOfRow(int DataRow) {
  if (!FDataLink->Active() || !DataSet()) return 0;
  if (ViewMode()) {
    TRowRecordScopeEh scope(this, std::clamp(DataRow, 0, std::max(0, RowRecordCount() - 1)));
    return MemTableSupport()->CurrentViewRecordNumber();
  }
  TRowRecordScopeEh scope(this, std::clamp(DataRow, 0, std::max(0, FDataLink->RecordCount() - 1)));
  return DataSet()->RecNo();
}
