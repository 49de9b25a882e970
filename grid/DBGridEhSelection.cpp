// The grid's selection: nothing, whole records (by bookmark), a block of cells, whole columns
// or everything; which cells it holds, its bounds in grid coordinates, and its extension.
#include "grid/DBGridEh.h"
#include "core/Scope.h"

#include <algorithm>
#include <cassert>

// ================================================================ selected columns

int TDBGridEhSelectionCols::ColumnIndex(TColumnEh* Column) const { return Column->Index(); }

void TDBGridEhSelectionCols::InvalidateColumnArea(TColumnEh* Column) {
  FGrid->InvalidateCol(FGrid->DataToRawColumn(ColumnIndex(Column)));
}

void TDBGridEhSelectionCols::AddInOrder(TColumnEh* Column) {
  int index = ColumnIndex(Column);
  for (int i = 0; i < Count(); ++i)
    if (ColumnIndex(Items(i)) > index) {
      Insert(i, Column);
      return;
    }
  Add(Column);
}

void TDBGridEhSelectionCols::Clear() {
  for (int i = 0; i < Count(); ++i) InvalidateColumnArea(Items(i));
  TColumnsEhList::Clear();
  FAnchor = nullptr;
  if (TDBGridEhSelection* sel = FGrid->Selection()) sel->NotifyChanged();
}

void TDBGridEhSelectionCols::SelectColumn(TColumnEh* Column, bool AddSel) {
  TDBGridEhSelection* sel = FGrid->Selection();
  if (sel->SelectionKind() != gstColumns) sel->Reset();
  if (!AddSel) Clear();
  if (IndexOf(Column) < 0) {
    AddInOrder(Column);
    InvalidateColumnArea(Column);
  }
  FAnchor = FShiftCol = Column;
  sel->ChangeKind(gstColumns);
  FShiftAdded.Clear();
  sel->NotifyChanged();
}

void TDBGridEhSelectionCols::ToggleColumn(TColumnEh* Column) {
  TDBGridEhSelection* sel = FGrid->Selection();
  if (sel->SelectionKind() != gstColumns) sel->Reset();
  if (IndexOf(Column) >= 0) Remove(Column);
  else AddInOrder(Column);
  InvalidateColumnArea(Column);
  FAnchor = FShiftCol = Column;
  sel->ChangeKind(Count() > 0 ? gstColumns : gstNon);
  FShiftAdded.Clear();
  sel->NotifyChanged();
}

// One walk of a range extension; Add false takes back. At Cross the walk turns to adding.
void TDBGridEhSelectionCols::WalkColumns(int From, int To, int Step, bool Add, int Cross) {
  TDBGridEhSelection* sel = FGrid->Selection();
  for (int i = From;; i += Step) {
    if (i == Cross) Add = true;
    TColumnEh* c = FGrid->Columns()->Items(i);
    bool anchorOn = IndexOf(FAnchor) >= 0;
    bool selected = IndexOf(c) >= 0;
    bool recorded = FShiftAdded.IndexOf(c) >= 0;
    // With the anchor off, adding clears and taking back restores.
    bool selecting = anchorOn == Add;
    if (Add) {
      bool acts = anchorOn ? c->Visible() && !selected : c != FAnchor && selected;
      if (acts) {
        if (selecting) AddInOrder(c);
        else Remove(c);
        FShiftAdded.Add(c);
        InvalidateColumnArea(c);
        sel->NotifyChanged();
      }
    } else {
      bool acts = anchorOn ? c != FAnchor && selected && recorded : !selected && recorded;
      if (acts) {
        if (anchorOn) Remove(c);
        else AddInOrder(c);
        FShiftAdded.Remove(c);
      }
      InvalidateColumnArea(c);
      sel->NotifyChanged();
    }
    if (i == To) break;
  }
}

void TDBGridEhSelectionCols::ExtendToColumn(TColumnEh* Column) {
  TDBGridEhSelection* sel = FGrid->Selection();
  if (sel->SelectionKind() != gstColumns) sel->Reset();
  if (!FAnchor) {
    SelectColumn(Column, true);
    FAnchor = Column;
  } else {
    int a = ColumnIndex(FAnchor), s = FShiftCol ? ColumnIndex(FShiftCol) : a, t = ColumnIndex(Column);
    if (s == a || t == s) {
      WalkColumns(s == a ? a : t, t, t < s ? -1 : 1, true, -1);
    } else if (s > a) {
      if (t > s) WalkColumns(s, t, 1, true, -1);
      else WalkColumns(s, t < a ? t : t + 1, -1, false, t < a ? a : -1);
    } else {
      if (t < s) WalkColumns(s, t, -1, true, -1);
      else WalkColumns(s, t > a ? t : t - 1, 1, false, t > a ? a : -1);
    }
  }
  FShiftCol = Column;
  sel->ChangeKind(Count() > 0 ? gstColumns : gstNon);
}

void TDBGridEhSelectionCols::DropVanishedColumns() {
  TDBGridColumnsEh* cols = FGrid->Columns();
  auto present = [cols](TColumnEh* c) {
    for (int i = 0; i < cols->Count(); ++i)
      if (cols->Items(i) == c) return true;
    return false;
  };
  for (int i = Count() - 1; i >= 0; --i)
    if (!present(Items(i))) Delete(i);
  for (int i = FShiftAdded.Count() - 1; i >= 0; --i)
    if (!present(FShiftAdded.Items(i))) FShiftAdded.Delete(i);
  if (FAnchor && !present(FAnchor)) FAnchor = nullptr;
  if (FShiftCol && !present(FShiftCol)) FShiftCol = nullptr;
  Sort([](void* a, void* b) {
    return static_cast<TColumnEh*>(a)->Index() - static_cast<TColumnEh*>(b)->Index();
  });
}

void TDBGridEhSelectionCols::ColumnGone(TColumnEh* Column) {
  while (Remove(Column) >= 0) {
  }
  while (FShiftAdded.Remove(Column) >= 0) {
  }
  if (FAnchor == Column) FAnchor = nullptr;
  if (FShiftCol == Column) FShiftCol = nullptr;
}

TGridRect TDBGridEhSelectionCols::BoundsInGrid() const {
  if (Count() == 0) return {-1, -1, -1, -1};
  int lo = ColumnIndex(Items(0)), hi = lo;
  for (int i = 1; i < Count(); ++i) {
    lo = std::min(lo, ColumnIndex(Items(i)));
    hi = std::max(hi, ColumnIndex(Items(i)));
  }
  return {FGrid->DataToRawColumn(lo), 0, FGrid->DataToRawColumn(hi), FGrid->RowCount()};
}

// ================================================================ a block of cells

bool TDBGridEhSelectionRect::IsUsable() const {
  return FGrid->DataSource() && FGrid->DataSet() && FGrid->DataLink()->Active();
}

void TDBGridEhSelectionRect::CheckUsable(const char* Message) const {
  if (!IsUsable()) throw EInvalidGridOperation(Message);
}

String TDBGridEhSelectionRect::TopRowBookmark() const {
  CheckUsable("Error in TDBGridEhSelectionRect.GetTopRow");
  return FGrid->DataSet()->CompareBookmarks(FAnchor.Row, FExtent.Row) <= 0 ? FAnchor.Row : FExtent.Row;
}

String TDBGridEhSelectionRect::BottomRowBookmark() const {
  CheckUsable("Error in TDBGridEhSelectionRect.GetBottomRow");
  return FGrid->DataSet()->CompareBookmarks(FAnchor.Row, FExtent.Row) < 0 ? FExtent.Row : FAnchor.Row;
}

int TDBGridEhSelectionRect::LeftColumnIndex() const {
  CheckUsable("Error in TDBGridEhSelectionRect.GetLeftCol");
  return std::min(FAnchor.Col, FExtent.Col);
}

int TDBGridEhSelectionRect::RightColumnIndex() const {
  CheckUsable("Error in TDBGridEhSelectionRect.GetRightCol");
  return std::max(FAnchor.Col, FExtent.Col);
}

bool TDBGridEhSelectionRect::ContainsDataCell(int ColIndex, const String& Bookmark) const {
  CheckUsable("Error in function TDBGridEhSelectionRect.CellSelected");
  TDataSet* ds = FGrid->DataSet();
  if (ds->CompareBookmarks(TopRowBookmark(), Bookmark) > 0) return false;
  if (ds->CompareBookmarks(BottomRowBookmark(), Bookmark) < 0) return false;
  return ColIndex >= LeftColumnIndex() && ColIndex <= RightColumnIndex();
}

void TDBGridEhSelectionRect::Reset() {
  FAnchor = TDBCell();
  FExtent = TDBCell();
  FGrid->Invalidate();
  if (TDBGridEhSelection* sel = FGrid->Selection()) sel->NotifyChanged();
}

namespace {

// The parts of the union of A and B outside their intersection, as up to four bands.
std::vector<TRect> ChangedBands(const TRect& A, const TRect& B) {
  TRect in;
  if (IsRectEmpty(A) || IsRectEmpty(B) || !IntersectRect(in, A, B)) return {A, B};
  TRect all{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right), std::max(A.Bottom, B.Bottom)};
  std::vector<TRect> bands = {TRect{all.Left, all.Top, in.Left, all.Bottom}, TRect{in.Left, all.Top, in.Right, in.Top},
                              TRect{in.Right, all.Top, all.Right, all.Bottom},
                              TRect{in.Left, in.Bottom, in.Right, all.Bottom}};
  bands.erase(std::remove_if(bands.begin(), bands.end(), [](const TRect& r) { return IsRectEmpty(r); }), bands.end());
  return bands;
}

}  // namespace

void TDBGridEhSelectionRect::ExtendTo(int Col, const String& Bookmark, bool KeepAnchor) {
  TDBGridEhSelection* sel = FGrid->Selection();
  if (sel->SelectionKind() != gstRectangle) sel->Reset();
  TDBCell oldAnchor = FAnchor, oldExtent = FExtent;
  if (FAnchor.Col == -1 || !KeepAnchor) FAnchor = {Col, Bookmark};
  FExtent = {Col, Bookmark};
  if (FAnchor.Col != FExtent.Col) sel->ChangeKind(gstRectangle);
  else if (FGrid->DataSet() && FGrid->DataSet()->CompareBookmarks(FAnchor.Row, FExtent.Row) != 0)
    sel->ChangeKind(gstRectangle);
  else if (sel->SelectionKind() == gstRectangle)
    sel->ChangeKind(gstNon);
  if (!FGrid->HandleAllocated()) return;
  TRect oldBox{0, 0, 0, 0};
  if (oldAnchor.Col >= 0) oldBox = CellRangeBox(oldAnchor.Col, oldExtent.Col, oldAnchor.Row, oldExtent.Row);
  TRect newBox = CellRangeBox(FAnchor.Col, FExtent.Col, FAnchor.Row, FExtent.Row);
  for (const TRect& r : ChangedBands(oldBox, newBox))
    if (!IsRectEmpty(r)) FGrid->InvalidateRect(&r);
  sel->NotifyChanged();
}

TRect TDBGridEhSelectionRect::CellRangeBox(int Col1, int Col2, String Row1, String Row2) {
  if (Col1 > Col2) std::swap(Col1, Col2);
  TDataSet* ds = FGrid->DataSet();
  TGridDataLinkEh* link = FGrid->DataLink();
  if (!ds || !link->Active() || link->RecordCount() == 0) return TRect{0, 0, 0, 0};
  if (ds->CompareBookmarks(Row1, Row2) > 0) std::swap(Row1, Row2);
  int last = link->RecordCount() - 1, top = last, bottom = last;
  auto at = [&](int r) {
    link->SetActiveRecord(r);
    return ds->Bookmark();
  };
  {
    TActiveRecordScopeEh scope(link);
    if (ds->CompareBookmarks(Row1, at(0)) < 0) top = 0;
    else
      for (int r = 0; r <= last; ++r)
        if (ds->CompareBookmarks(at(r), Row1) == 0) {
          top = r;
          break;
        }
    if (ds->CompareBookmarks(Row2, at(last)) <= 0)
      for (int r = 0; r <= last; ++r)
        if (ds->CompareBookmarks(at(r), Row2) == 0) {
          bottom = r;
          break;
        }
  }
  int off = FGrid->TopDataOffset();
  TRect a = FGrid->CellRect(FGrid->DataToRawColumn(Col1), top + off);
  TRect b = FGrid->CellRect(FGrid->DataToRawColumn(Col2), bottom + off);
  if (IsRectEmpty(a)) return b;
  if (IsRectEmpty(b)) return a;
  return TRect{std::min(a.Left, b.Left), a.Top, std::max(a.Right, b.Right), b.Bottom};
}

TGridRect TDBGridEhSelectionRect::BoundsInGrid() {
  TGridDataLinkEh* link = FGrid->DataLink();
  TDataSet* ds = FGrid->DataSet();
  if (!link->Active() || !ds || FAnchor.Col < 0) return {-1, -1, -1, -1};
  String topB = TopRowBookmark(), bottomB = BottomRowBookmark();
  int top = -1, bottom = -1;
  {
    TActiveRecordScopeEh scope(link);
    for (int r = 0; r < link->RecordCount(); ++r) {
      link->SetActiveRecord(r);
      String b = ds->Bookmark();
      if (top < 0 && ds->CompareBookmarks(b, topB) >= 0) top = r;
      if (ds->CompareBookmarks(b, bottomB) <= 0) bottom = r;
    }
  }
  if (top < 0 || bottom < 0) return {-1, -1, -1, -1};
  int off = FGrid->TopDataOffset();
  return {FGrid->DataToRawColumn(LeftColumnIndex()), top + off, FGrid->DataToRawColumn(RightColumnIndex()),
          bottom + off};
}

// ================================================================ the selection

TDBGridEhSelection::TDBGridEhSelection(TCustomDBGridEh* AGrid)
    : FGrid(AGrid),
      FColumns(std::make_unique<TDBGridEhSelectionCols>(AGrid)),
      FRect(std::make_unique<TDBGridEhSelectionRect>(AGrid)) {}

TDBGridEhSelection::~TDBGridEhSelection() = default;

TBookmarkListEh* TDBGridEhSelection::RowBookmarks() const { return FGrid->SelectedRows(); }

bool TDBGridEhSelection::ContainsDataCell(int ColIndex, const String& Bookmark) const {
  switch (FKind) {
    case gstRecordBookmarks: return RowBookmarks()->IndexOf(Bookmark) >= 0;
    case gstRectangle: return ColIndex >= 0 && FRect->ContainsDataCell(ColIndex, Bookmark);
    case gstColumns:
      return ColIndex >= 0 && ColIndex < FGrid->Columns()->Count() &&
             FColumns->IndexOf(FGrid->Columns()->Items(ColIndex)) >= 0;
    case gstAll: return true;
    case gstNon: return false;
  }
  return false;
}

void TDBGridEhSelection::Reset() {
  // Opening the editor may raise, so the closing step is no destructor.
  TryFinally(
      [this] {
        switch (FKind) {
          case gstRecordBookmarks: RowBookmarks()->Clear(); break;
          case gstRectangle: FRect->Reset(); break;
          case gstColumns: FColumns->Clear(); break;
          case gstAll: FGrid->Invalidate(); break;
          case gstNon: break;
        }
      },
      [this] {
        FKind = gstNon;
        if (FGrid->Options().Contains(dgAlwaysShowEditor) && FGrid->ShouldShowEditor()) FGrid->OpenEditor();
      });
}

void TDBGridEhSelection::SelectWholeGrid() {
  if (FKind == gstAll) return;
  if (FKind != gstNon) Reset();
  FKind = gstAll;
  FGrid->Invalidate();
}

void TDBGridEhSelection::ChangeKind(TDBGridEhSelectionType Kind) {
  if (Kind == FKind) return;
  FKind = Kind;
  FGrid->InvalidateEditor();
}

void TDBGridEhSelection::SyncWithContent() {
  bool empty = (FKind == gstRecordBookmarks && RowBookmarks()->Count() == 0) ||
               (FKind == gstColumns && FColumns->Count() == 0);
  if (!empty) return;
  FKind = gstNon;
  FGrid->Invalidate();
}

void TDBGridEhSelection::DataLinkSwitched(bool Active) {
  RowBookmarks()->SetLinkActive(Active);
  Reset();
}

TGridRect TDBGridEhSelection::BoundsInGrid() {
  switch (FKind) {
    case gstRecordBookmarks: return RowBookmarks()->RowsInView();
    case gstRectangle: return FRect->BoundsInGrid();
    case gstColumns: return FColumns->BoundsInGrid();
    case gstAll: return {0, 0, FGrid->ColCount(), FGrid->RowCount()};
    case gstNon: break;
  }
  return {-1, -1, -1, -1};
}

void TDBGridEhSelection::NotifyChanged() {
  if (FGrid->ComponentState().Contains(csDestroying)) return;
  if (FGrid->OnSelectionChanged) FGrid->OnSelectionChanged(FGrid);
}
