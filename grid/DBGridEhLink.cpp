// The grid's data link (field map and the dataset's notifications) and its list of selected
// rows kept as bookmarks in dataset order.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"

#include "core/SysUtils.h"
#include "core/Scope.h"

#include <algorithm>
#include <cstdlib>

namespace {

[[noreturn]] void RaiseGridOperationError(const String& Message) { throw EInvalidGridOperation(Message); }

}  // namespace

// ================================================================ the data link

TGridDataLinkEh::~TGridDataLinkEh() { ClearFieldMap(); }

bool TGridDataLinkEh::AddFieldMapping(const String& FieldName) {
  if (FFieldCount >= MaxMapSize) RaiseGridOperationError("Grid requested to display more than 256 columns");
  TDataSet* ds = DataSet();
  TField* f = nullptr;
  if (ds) f = FSparseMap ? ds->FindField(FieldName) : ds->FieldByName(FieldName);
  if (FFieldCount == MapCapacity()) {
    Int64 cap = MapCapacity() == 0 ? 8 : Int64(MapCapacity()) * 2;
    cap = std::min<Int64>(std::max<Int64>(cap, FFieldCount + 1), MaxMapSize);
    FFieldMap.resize(static_cast<size_t>(cap), -1);
  }
  FFieldMap[FFieldCount] = f ? f->Index() : -1;
  if (f && FGrid) f->FreeNotification(FGrid);
  ++FFieldCount;
  return true;
}

void TGridDataLinkEh::ClearFieldMap() {
  FFieldMap.clear();
  FFieldMap.shrink_to_fit();
  FFieldCount = 0;
}

TField* TGridDataLinkEh::FieldAt(int Index) const {
  if (Index < 0 || Index >= FFieldCount || FFieldMap[Index] < 0) return nullptr;
  TDataSet* ds = DataSet();
  if (!ds || FFieldMap[Index] >= ds->FieldCount()) return nullptr;
  return ds->Fields()->Fields(FFieldMap[Index]);
}

bool TGridDataLinkEh::AllFieldsMapped() const {
  TDataSet* ds = DataSet();
  if (!ds) return true;
  if (!ds->DefaultFields()) return false;
  if (FSparseMap)
    for (int i = 0; i < FFieldCount; ++i)
      if (FFieldMap[i] == -1) return false;
  return true;
}

void TGridDataLinkEh::ResetRecord() {
  if (FModified) RecordChanged(nullptr);
  else if (TDataSet* ds = DataSet()) ds->Cancel();
}

int TGridDataLinkEh::MoveBy(int Distance) {
  TDataSet* ds = DataSet();
  bool positional = Active() && FGrid && FGrid->MemTableSupport() && FGrid->FooterRowCount() == 0 &&
                    std::abs(Distance) > 1 && ds->State() == dsBrowse;
  if (positional) {
    int target = ds->RecNo() + Distance;
    if (target >= 1 && target <= ds->RecordCount()) {
      ds->SetRecNo(target);
      return Distance;
    }
  }
  return TDataLink::MoveBy(Distance);
}

void TGridDataLinkEh::ActiveChanged() {
  ++FChangeCount;
  FModified = false;
  if (FGrid) TGridImpl::LinkActiveChanged(FGrid, Active());
}

void TGridDataLinkEh::DataSetChanged() {
  ++FChangeCount;
  if (FGrid) {
    FGrid->SelectedRows()->Refresh();
    FGrid->RefreshLayout();
  }
  FModified = false;
}

void TGridDataLinkEh::DataSetScrolled(int Distance) {
  if (FGrid) TGridImpl::DataSetScrolled(FGrid, Distance);
}

void TGridDataLinkEh::FocusControl(TField** Field) {
  if (!FGrid || !Field || !*Field) return;
  FGrid->SelectField(*Field);
  if (FGrid->SelectedField() == *Field && FGrid->AcquireFocus()) {
    *Field = nullptr;
    FGrid->OpenEditor();
  }
}

void TGridDataLinkEh::EditingChanged() {
  if (FGrid) TGridImpl::EditingChanged(FGrid);
}

void TGridDataLinkEh::LayoutChanged() {
  if (FGrid) {
    TRestore changing(TGridImpl::Of(FGrid).FDataLinkLayoutChanging, true);
    FGrid->RebuildLayout();
  }
  TDataLink::LayoutChanged();
}

void TGridDataLinkEh::RecordChanged(TField* Field) {
  ++FChangeCount;
  if (FGrid) TGridImpl::RecordChanged(FGrid, Field);
  FModified = false;
}

void TGridDataLinkEh::UpdateData() {
  if (FInUpdateData) return;
  TRestore inUpdate(FInUpdateData, true);
  if (FModified && FGrid) FGrid->UpdateData();
  FModified = false;
}

// ================================================================ selected rows

TBookmarkListEh::~TBookmarkListEh() {
  // The grid is going: no repaint and no notification.
  FList.clear();
}

TDataSet* TBookmarkListEh::DataSet() const { return FGrid->DataSet(); }

int TBookmarkListEh::Compare(const String& A, const String& B) const { return DataSet()->CompareBookmarks(A, B); }

const String& TBookmarkListEh::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FList[Index];
}

String TBookmarkListEh::CurrentRowBookmark() const {
  if (!FLinkActive || !DataSet()) RaiseGridOperationError("Cannot perform this operation on a closed dataset");
  return DataSet()->Bookmark();
}

bool TBookmarkListEh::Find(const String& B, int& Index) {
  FLastCached = FCacheIndex != -1 && B == FCache;
  if (FLastCached) {
    Index = FCacheIndex;
    return FCacheFind;
  }
  int lo = 0, hi = Count() - 1;
  bool found = false;
  // Rows are mostly selected walking down or up: a bookmark beyond either end needs one
  // comparison, not a search.
  if (hi >= 0 && Compare(FList[hi], B) < 0) lo = hi + 1;
  else if (hi >= 0 && Compare(FList[0], B) > 0) hi = -1;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = Compare(FList[mid], B);
    if (c < 0) lo = mid + 1;
    else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        lo = mid;
      }
    }
  }
  Index = lo;
  FCache = B;
  FCacheIndex = lo;
  FCacheFind = found;
  return found;
}

int TBookmarkListEh::IndexOf(const String& B) {
  int i = -1;
  return Find(B, i) ? i : -1;
}

bool TBookmarkListEh::CurrentRowSelected() {
  int i = 0;
  return Find(CurrentRowBookmark(), i);
}

void TBookmarkListEh::SetCurrentRowSelected(bool Value) {
  String b = CurrentRowBookmark();
  int i = 0;
  if (Find(b, i) == Value) return;
  if (Value) FList.insert(FList.begin() + i, b);
  else FList.erase(FList.begin() + i);
  ListChanged();
  TGridImpl::InvalidateCurrentRow(FGrid);
  TDBGridEhSelection* sel = FGrid->Selection();
  if (sel->SelectionKind() != gstRecordBookmarks && Count() > 0) {
    sel->Reset();
    sel->ChangeKind(gstRecordBookmarks);
  }
  sel->SyncWithContent();
  sel->NotifyChanged();
}

void TBookmarkListEh::InsertBookmark(const String& B) {
  int i = 0;
  if (Find(B, i)) return;
  FList.insert(FList.begin() + i, B);
  ListChanged();
}

void TBookmarkListEh::Clear() {
  if (FList.empty()) return;
  FList.clear();
  ListChanged();
  if (TDBGridEhSelection* sel = FGrid->Selection()) {
    sel->SyncWithContent();
    FGrid->Invalidate();
    sel->NotifyChanged();
  }
}

void TBookmarkListEh::SetLinkActive(bool Active) {
  Clear();
  if (TDBGridEhSelection* sel = FGrid->Selection()) sel->SyncWithContent();
  FLinkActive = Active;
}

void TBookmarkListEh::DeleteSelected() {
  TDataSet* ds = DataSet();
  if (!ds || FList.empty()) return;
  TryFinally(
      [&] {
        TControlsHold hold(ds);
        for (int i = Count() - 1; i >= 0; --i) {
          ds->GotoBookmark(FList[i]);
          ds->Delete();
          FList.erase(FList.begin() + i);
          ListChanged();
        }
      },
      [&] { FGrid->Selection()->SyncWithContent(); });
}

bool TBookmarkListEh::RowSelectedInBuffer(int Record) {
  FGrid->DataLink()->SetActiveRecord(Record);
  return IndexOf(DataSet()->Bookmark()) >= 0;
}

TGridRect TBookmarkListEh::RowsInView() {
  int first = -1, last = -1;
  TGridDataLinkEh* link = FGrid->DataLink();
  if (link->Active() && !FList.empty()) {
    TActiveRecordScopeEh scope(link);
    for (int r = 0; r < link->RecordCount(); ++r)
      if (RowSelectedInBuffer(r)) {
        if (first < 0) first = r;
        last = std::max(last, r);
      }
  }
  if (first < 0) return {-1, -1, -1, -1};
  int top = FGrid->TopDataOffset();
  return {0, first + top, FGrid->ColCount() - 1, last + top};
}

void TBookmarkListEh::Refresh() {
  TDataSet* ds = DataSet();
  if (FList.empty() || !FLinkActive || !ds || !ds->Active()) return;
  size_t before = FList.size();
  FList.erase(std::remove_if(FList.begin(), FList.end(), [ds](const String& b) { return !ds->BookmarkValid(b); }),
              FList.end());
  bool sorted = std::is_sorted(FList.begin(), FList.end(),
                               [this](const String& a, const String& b) { return Compare(a, b) < 0; });
  if (!sorted)
    std::stable_sort(FList.begin(), FList.end(), [this](const String& a, const String& b) { return Compare(a, b) < 0; });
  if (sorted && FList.size() == before) return;
  ListChanged();
  if (TDBGridEhSelection* sel = FGrid->Selection()) sel->SyncWithContent();
}
