// The grid's record-position view and tree mode: a dataset offering IMemTableEh gives the
// grid one row per record of the whole view, a scroll bar and wheel that move the view but
// not the current record, and (with its tree view on) tree lines, node boxes and drop levels.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"

#include "core/Scope.h"
#include "gui/WinGDI.h"

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <cassert>

// ================================================================ the view

bool TCustomDBGridEh::ViewMode() const { return MemTableSupport() && FFooterRowCount == 0; }

bool TCustomDBGridEh::TreeMode() const {
  IMemTableEh* mt = MemTableSupport();
  return mt && mt->TreeViewActive();
}

void TCustomDBGridEh::ReadRowRecordBegin(int DataRow) {
  if (ViewMode()) {
    FImpl->FReadRowStack.push_back(-1);
    MemTableSupport()->ReadViewRowBegin(DataRow);
    return;
  }
  FImpl->FReadRowStack.push_back(FDataLink->ActiveRecord());
  FDataLink->SetActiveRecord(DataRow);
}

void TCustomDBGridEh::ReadRowRecordEnd() {
  assert(!FImpl->FReadRowStack.empty());
  int saved = FImpl->FReadRowStack.back();
  FImpl->FReadRowStack.pop_back();
  if (saved < 0) {
    if (IMemTableEh* mt = MemTableSupport()) mt->ReadViewRowEnd();
    return;
  }
  FDataLink->SetActiveRecord(saved);
}

int TCustomDBGridEh::CurrentDataRow() const {
  if (ViewMode()) return MemTableSupport()->ViewRecordIndex();
  // Outside the view a row being read has moved the link's record: the saved one is current.
  for (int saved : FImpl->FReadRowStack)
    if (saved >= 0) return saved;
  return FDataLink->ActiveRecord();
}

bool TCustomDBGridEh::RowShowsCurrentRecord(int DataRow) const { return DataRow == CurrentDataRow(); }

int TCustomDBGridEh::RowRecordCount() const {
  if (ViewMode()) return FDataLink->Active() ? MemTableSupport()->RecordTotal() : 0;
  return FDataLink->RecordCount();
}

void TCustomDBGridEh::ClampedSetTopRow(int ARow) {
  int fixed = FixedRows(), last = RowCount() - 1;
  // The largest top row whose page still ends on the last row.
  int room = ClientHeight(), maxTop = last;
  for (int r = last, used = 0; r >= fixed; --r) {
    used += RowHeights(r) + (FOptions.Contains(dgRowLines) ? GridLineWidth() : 0);
    if (used > room - FixedHeight()) break;
    maxTop = r;
  }
  int top = std::clamp(ARow, fixed, std::max(fixed, std::min(last, maxTop)));
  if (top != TopRow()) SetTopRow(top);
  RefreshViewScrollBar();
}

void TCustomDBGridEh::RecalcViewRowCount() {
  IMemTableEh* mt = MemTableSupport();
  int top = TopDataOffset();
  TRestore lock(FImpl->FUpdateLock, FImpl->FUpdateLock + 1);
  int total = FDataLink->Active() ? std::max(1, mt->RecordTotal()) : 1;
  int rows = top + total;
  if (Row() >= rows && rows > top) MoveColRow(Col(), rows - 1, true, false);
  TCustomGrid::SetRowCount(rows);
  TCustomGrid::SetFixedRows(top);
  int title = FOptions.Contains(dgTitles) ? RowHeights(0) : -1;
  TCustomGrid::SetDefaultRowHeight(DefaultRowHeight());
  if (title >= 0) TCustomGrid::SetRowHeights(0, title);
  if (!HandleAllocated() || !FDataLink->Active()) return;
  ClampedSetTopRow(TopRow());
  int index = mt->ViewRecordIndex();
  int want = index >= 0 ? index + top : top;
  if (want != Row() && want < RowCount()) {
    int oldRow = Row();
    int col = Col() < FixedCols() ? FixedCols() : Col();
    MoveColRow(col, want, true, true);
    InvalidateRow(oldRow);
    InvalidateRow(want);
  }
  FetchRecordsInView();
  Invalidate();
}

void TCustomDBGridEh::ViewDataChanged() {
  if (!FImpl->FSearching) StopIncSearch();
  int oldRow = Row();
  RecalcViewRowCount();
  if (Row() != oldRow) {
    if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
    InvalidateEditor();
  } else if (InplaceEditorVisible()) {
    TColumnEh* c = CurrentColumn();
    TField* f = c ? c->Field() : nullptr;
    if (f && FieldEditText(c, f) != FImpl->FEditText) InvalidateEditor();
  }
  RefreshViewScrollBar();
}

void TCustomDBGridEh::FetchRecordsInView() {
  // Fetching adds rows, which lays the view out and may ask again: once at a time.
  if (FImpl->FFetching || !HandleAllocated() || !FDataLink->Active()) return;
  IMemTableEh* mt = MemTableSupport();
  if (!mt) return;
  TRestore fetching(FImpl->FFetching, true);
  TGridAxesInfoEh info;
  ComputeDrawInfo(info);
  int drawnBottom = info.Vert.GridBoundary;
  int rowH = std::max(1, DefaultRowHeight());
  if (drawnBottom < ClientHeight()) {
    if (mt->FetchRecords((ClientHeight() - drawnBottom) / rowH + 1) > 0) RecalcViewRowCount();
  } else if (info.Vert.LastFullVisibleCell >= RowCount() - 1) {
    if (mt->FetchRecords(1) > 0) RecalcViewRowCount();
  }
}

void TCustomDBGridEh::RefreshViewScrollBar() {
  if (!HandleAllocated() || !ViewMode()) return;
  int fixed = FixedRows();
  int fullRows = std::max(1, VisibleRowCount());
  int max = RowCount() - fixed;
  int pos = TopRow() - fixed + 1;
  int mode = FImpl->FVertScrollBar->ExtScrollBar() ? 3 : static_cast<int>(FImpl->FVertScrollBar->VisibleMode());
  if (FImpl->FViewBar.Max == max && FImpl->FViewBar.Page == fullRows && FImpl->FViewBar.Pos == pos &&
      FImpl->FViewBar.Mode == mode)
    return;
  FImpl->FViewBar = {max, fullRows, pos, mode};
  bool own = FImpl->FVertScrollBar->Visible() && !FImpl->FVertScrollBar->ExtScrollBar();
  WindowBars()->SetAllowed(SB_VERT, own);
  WindowBars()->SetDisableNoScroll(own && FImpl->FVertScrollBar->VisibleMode() == sbAlwaysShowEh);
  if (own) WindowBars()->SetInfo(SB_VERT, 1, max, fullRows, pos);
  else WindowBars()->SetInfo(SB_VERT, 0, 0, 0, 0);
  if (auto* bar = dynamic_cast<TScrollBar*>(FImpl->FVertScrollBar->ExtScrollBar())) {
    bar->SetPageSize(0);
    bar->SetParams(pos, 1, std::max(1, max));
    bar->SetPageSize(std::min(fullRows, bar->Max() - bar->Min() + 1));
  }
}

void TCustomDBGridEh::WMVScrollView(TMessage& M) {
  int code = LoWord(M.WParam);
  int pos = static_cast<SmallInt>(HiWord(M.WParam));
  int fixed = FixedRows();
  int top = TopRow();
  switch (code) {
    case SB_LINEUP: ClampedSetTopRow(top - 1); break;
    case SB_LINEDOWN: ClampedSetTopRow(top + 1); break;
    case SB_PAGEUP: {
      // The top row that shows the page above: rows back until a page is used up.
      int used = 0, r = top;
      while (r > fixed) {
        used += RowHeights(r - 1);
        if (used > ClientHeight() - FixedHeight()) break;
        --r;
      }
      ClampedSetTopRow(top - std::max(1, top - r));
      break;
    }
    case SB_PAGEDOWN: ClampedSetTopRow(top + std::max(1, VisibleRowCount())); break;
    case SB_TOP: ClampedSetTopRow(fixed); break;
    case SB_BOTTOM: ClampedSetTopRow(RowCount() - 1); break;
    case SB_THUMBTRACK:
      if (!FImpl->FVertScrollBar->Tracking()) {
        FImpl->FViewBar = TImpl::TViewBar();
        RefreshViewScrollBar();
        break;
      }
      ClampedSetTopRow(fixed + pos - 1);
      break;
    case SB_THUMBPOSITION: ClampedSetTopRow(fixed + pos - 1); break;
    default: break;
  }
}

bool TCustomDBGridEh::ViewWheel(bool Down, TShiftState Shift) {
  int sign = Down ? 1 : -1;
  TDataSet* ds = DataSet();
  if (Shift.Contains(ssShift)) {
    if (!ds || !ChangesByMouse()) return true;
    if (Shift.Contains(ssCtrl)) ds->MoveBy(sign * std::max(1, VisibleRowCount()));
    else ds->MoveBy(sign);
    return true;
  }
  if (Shift.Contains(ssCtrl)) {
    int page = std::max(1, VisibleRowCount());
    int below = RowCount() - (TopRow() + page);
    if (Down && below < page) {
      if (IMemTableEh* mt = MemTableSupport(); mt && mt->FetchRecords(page - below) > 0) RecalcViewRowCount();
    }
    ClampedSetTopRow(TopRow() + sign * page);
    return true;
  }
  ClampedSetTopRow(TopRow() + sign);
  return true;
}

// ================================================================ the tree

namespace {

// The lines and box of one tree level, painted once per kind, height, dot lattice and
// background and afterwards only copied: a dotted line is one drawing call per dot.
TBitmap* TreeLevelGlyph(int Kind, int Height, bool Parity, TColor Back) {
  struct TKey {
    int Kind, Height;
    bool Parity;
    TColor Back;
    bool operator<(const TKey& o) const {
      return std::tie(Kind, Height, Parity, Back) < std::tie(o.Kind, o.Height, o.Parity, o.Back);
    }
  };
  static std::map<TKey, std::unique_ptr<TBitmap>> cache;
  if (cache.size() > 256) cache.clear();
  std::unique_ptr<TBitmap>& glyph = cache[TKey{Kind, Height, Parity, Back}];
  if (!glyph) {
    glyph = std::make_unique<TBitmap>();
    glyph->SetSize(TCustomDBGridEh::TreeLevelWidth, Height);
    TCanvas* c = glyph->Canvas();
    c->Brush()->SetColor(Back);
    c->FillRect(Rect(0, 0, TCustomDBGridEh::TreeLevelWidth, Height));
    if (Kind >= 0) DrawTreeNodeLines(c, Rect(0, 0, TCustomDBGridEh::TreeLevelWidth, Height), Kind, 1, 1, Parity);
  }
  return glyph.get();
}

// Copies the glyph of a level box to Box, keeping the dots on the lattice Parity picks.
void DrawTreeLevel(TCanvas* Canvas, const TRect& Box, int Kind, bool Parity, TColor Back) {
  bool shifted = ((Box.Left + Box.Top) & 1) != 0;
  TBitmap* glyph = TreeLevelGlyph(Kind, Box.Height(), Parity != shifted, Back);
  BitBlt(Canvas->Handle(), Box.Left, Box.Top, Box.Width(), Box.Height(), glyph->Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace

int TCustomDBGridEh::PaintTreeIndent(TColumnEh* Column, int DataRow, const TRect& Rect, TGridDrawState State) {
  IMemTableEh* mt = MemTableSupport();
  if (!mt || !mt->TreeViewActive() || FVisibleColumns->Count() == 0 ||
      Column != FVisibleColumns->Items(0))
    return 0;
  int level = std::max(0, mt->NodeLevel());
  int width = std::min(level * TreeLevelWidth, Rect.Width());
  if (width <= 0) return 0;
  TCanvas* c = Canvas();
  TColor back = Column->Color();
  if (State.Contains(gdSelected)) back = HasInputFocus() ? clHighlight : clBtnFace;
  c->Brush()->SetColor(back);
  c->FillRect(TRect{Rect.Left, Rect.Top, Rect.Left + width, Rect.Bottom});
  // Dotted lines keep their lattice from row to row: odd row heights on odd top rows flip it.
  bool parity = (DefaultRowHeight() % 2 == 1) && (TopRow() % 2 == 1);
  c->Pen()->SetColor(clGrayText);
  bool rowLines = FOptions.Contains(dgRowLines);
  int stop = mt->LineStopLevel();
  for (int l = 1; l < level; ++l) {
    TRect box{Rect.Left + (l - 1) * TreeLevelWidth, Rect.Top, Rect.Left + l * TreeLevelWidth, Rect.Bottom};
    if (mt->LevelHasNextSibling(l)) DrawTreeLevel(c, box, 9, parity, back);
    bool closes = l == 1 || !(stop >= 0 && l - 1 >= stop);
    if (rowLines && closes) {
      c->Pen()->SetColor(Color() == clSilver ? clGray : clSilver);
      c->MoveTo(box.Left, box.Bottom - 1);
      c->LineTo(box.Right, box.Bottom - 1);
      c->Pen()->SetColor(clGrayText);
    }
  }
  TRect own{Rect.Left + (level - 1) * TreeLevelWidth, Rect.Top, Rect.Left + level * TreeLevelWidth, Rect.Bottom};
  bool next = mt->LevelHasNextSibling(level);
  int kind = mt->NodeHasChildren() ? (mt->NodeExpanded() ? (next ? 0 : 1) : (next ? 3 : 4)) : (next ? 6 : 7);
  DrawTreeLevel(c, own, kind, parity, back);
  if (rowLines) {
    c->Pen()->SetColor(clSilver);
    c->MoveTo(Rect.Left + width - 1, Rect.Top);
    c->LineTo(Rect.Left + width - 1, Rect.Bottom);
  }
  return width;
}

bool TCustomDBGridEh::TreeNodeMouseDown(int X, int Y, bool TestOnly) {
  IMemTableEh* mt = MemTableSupport();
  if (!mt || !mt->TreeViewActive() || !FDataLink->Active() || FVisibleColumns->Count() == 0) return false;
  TGridCoord cell = MouseCoord(X, Y);
  int dataRow = cell.Y - TopDataOffset();
  int firstCol = DataToRawColumn(FVisibleColumns->Items(0)->Index());
  if (cell.Y < TopDataOffset() || dataRow >= RowRecordCount() || cell.X != firstCol) return false;
  TRect r = CellRect(cell.X, cell.Y);
  int level = 0, recNo = 0;
  bool expanded = false;
  {
    TRowRecordScopeEh scope(this, dataRow);
    level = mt->NodeLevel();
    expanded = mt->NodeExpanded();
    recNo = mt->CurrentViewRecordNumber();
  }
  int indent = level * TreeLevelWidth;
  if (X < r.Left || X >= r.Left + indent) return false;
  if (TestOnly) return true;
  int topRow = TopRow();
  {
    TControlsHold hold(DataSet());
    if (X >= r.Left + indent - TreeLevelWidth) {
      int target = mt->SetNodeExpanded(recNo, !expanded);
      if (target > 0 && target != mt->CurrentViewRecordNumber()) DataSet()->SetRecNo(target);
    } else {
      TRowRecordScopeEh scope(this, dataRow);
      mt->GoToViewRecord();
    }
  }
  RecalcViewRowCount();
  ClampedSetTopRow(topRow);
  Invalidate();
  RefreshViewScrollBar();
  return true;
}

// The target level of a record dragged in a tree: levels are TreeLevelWidth pixels from the
// first data column; at most one deeper than the record above, and dragging down no deeper
// than the target itself.
int TCustomDBGridEh::CalcDragTargetLevel(int ARow, TPoint P, int& Level) {
  IMemTableEh* mt = MemTableSupport();
  if (!mt || !mt->TreeViewActive() || RowRecordCount() == 0) {
    Level = -1;
    return 0;
  }
  int dataRow = std::clamp(ARow - TopDataOffset(), 0, RowRecordCount() - 1);
  int targetLevel = 0, neighbour = 0;
  {
    TRowRecordScopeEh scope(this, dataRow);
    targetLevel = mt->NodeLevel();
    neighbour = mt->NeighbourLevel();
  }
  int left = CellRect(IndicatorOffset(), std::max(TopRow(), FixedRows())).Left;
  int maxLevel = neighbour + 1;
  if (ARow > FImpl->FDragStartRow) maxLevel = std::min(maxLevel, std::max(targetLevel, 1));
  Level = std::clamp((P.X - left) / TreeLevelWidth, 1, std::max(1, maxLevel));
  return left + Level * TreeLevelWidth;
}

// Dragging records in the view scrolls it one row at a time past the fully visible rows; a
// new row or a new level moves the marker when the move is allowed.
void TCustomDBGridEh::TrackViewRowsDrag(int Y, int ARow, int Level, int MarkerX) {
  TGridAxesInfoEh info;
  ComputeDrawInfo(info);
  int first = std::max(TopRow(), TopDataOffset());
  int last = std::max(first, info.Vert.LastFullVisibleCell);
  int target = ARow;
  if (Y < CellRect(0, first).Top && TopRow() > FixedRows()) {
    if (FImpl->FDragMarkerShown) DrawDragMarker();
    ClampedSetTopRow(TopRow() - 1);
    Update();
    target = TopRow();
  } else if (Y >= CellRect(0, last).Bottom && last < RowCount() - 1) {
    if (FImpl->FDragMarkerShown) DrawDragMarker();
    ClampedSetTopRow(TopRow() + 1);
    Update();
    target = last + 1;
  }
  target = std::clamp(target, TopDataOffset(), RowCount() - 1);
  if (target == FImpl->FDragEndRow && Level == FImpl->FDragTargetLevel) return;
  if (!MoveDraggedRecords(target - TopDataOffset(), Level, true)) {
    if (!FImpl->FDragMarkerShown) DrawDragMarker();
    return;
  }
  if (FImpl->FDragMarkerShown) DrawDragMarker();
  FImpl->FDragEndRow = target;
  FImpl->FDragTargetLevel = Level;
  FImpl->FDragMarkerX = MarkerX;
  DrawDragMarker();
}
