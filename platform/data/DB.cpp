// TDataSet: the client-side cursor, its buffer window, editing, cached updates and rollback
// points.
#include "core/ClassBuilder.h"
#include "data/DB.h"
#include "data/RowLayout_p.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <numeric>

using rowlayout::ReadCell;

namespace {

// Row status flags of cached updates.
constexpr Byte kPendingInsert = 1;
constexpr Byte kPendingModify = 2;
constexpr Byte kPendingDelete = 4;

bool IsWriteState(TDataSetState s) {
  switch (s) {
    case dsEdit: case dsInsert: case dsSetKey: case dsCalcFields: case dsFilter: case dsNewValue: case dsInternalCalc:
      return true;
    default: return false;
  }
}

}  // namespace

// The state a rollback point restores. The rows as they were before their first change are
// kept in one growing buffer rather than a block each, so a transaction that changes many rows
// allocates (and at its end frees) a few large buffers, not one block per row.
struct TDataSet::TJournal {
  static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);
  struct TEntry {
    int Id = -1;
    Byte Status = 0;
    bool HadOriginal = false;
    TRowPtr Row;                      // the block the row gave up, when it gave one up
    std::size_t RowCopy = kNoRow;     // else the row's copy in Copies (kNoRow: it had none)
    std::size_t OriginalCopy = kNoRow;
  };
  std::vector<int> Base;
  std::size_t RowCount = 0;
  std::vector<int> Pending;
  std::vector<TEntry> Entries;  // one per row touched, in the order first touched
  std::vector<bool> Touched;    // by id below RowCount
  std::vector<Byte> Copies;
  bool Cleared = false;  // the rows were re-read meanwhile: restoring means reading them again

  std::size_t Keep(const Byte* row, int columns) {
    if (!row) return kNoRow;
    std::size_t at = Copies.size();
    Copies.insert(Copies.end(), row, row + rowlayout::RowSize(row, columns));
    return at;
  }
  TRowPtr Copy(std::size_t at, int columns) const {
    return at == kNoRow ? nullptr : CopyRow(Copies.data() + at, columns);
  }
};

// Lets fields read (and calculated fields be written for) another row without moving the
// cursor; the state and row are put back when the scope ends, also on errors.
class TDataSetReadScope {
public:
  TDataSetReadScope(const TDataSet* ds, int rowId, TDataSetState state, std::vector<Variant>* calc)
      : FDataSet(const_cast<TDataSet*>(ds)), FRow(FDataSet->FReadRow), FState(FDataSet->FState),
        FCalc(FDataSet->FCalcTarget) {
    FDataSet->FReadRow = rowId;
    FDataSet->FState = state;
    FDataSet->FCalcTarget = calc;
  }
  ~TDataSetReadScope() {
    FDataSet->FReadRow = FRow;
    FDataSet->FState = FState;
    FDataSet->FCalcTarget = FCalc;
  }
  TDataSetReadScope(const TDataSetReadScope&) = delete;
  TDataSetReadScope& operator=(const TDataSetReadScope&) = delete;

private:
  TDataSet* FDataSet;
  int FRow;
  TDataSetState FState;
  std::vector<Variant>* FCalc;
};

// ---------------------------------------------------------------- construction

TDataSet::TDataSet(TComponent* owner)
    : TComponent(owner), FFields(std::make_unique<TFields>(this)), FFieldDefs(std::make_unique<TFieldDefs>(this)) {}

TDataSet::~TDataSet() {
  Destroying();
  if (Active()) {
    SetState(dsInactive);
    CloseCursor();
  }
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  DestroyDefaultFields();
  for (TField* f : FFields->FList) {
    f->FDataSet = nullptr;
    f->FFieldNo = 0;
    f->FCalcIndex = -1;
  }
  FFields->FList.clear();
}

void TDataSet::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TField* f : FFields->FList)
    if (f->Owner() == root) proc(f);
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (FStreamedActive) {
    FStreamedActive = false;
    SetActive(true);
  }
}

void TDataSet::SetFieldDefs(TFieldDefs* value) {
  if (value) FFieldDefs->Assign(value);
}

// ---------------------------------------------------------------- opening and closing

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(SDataSetClosed, this);
}

void TDataSet::CheckInactive() const {
  if (Active() && FState != dsOpening) DatabaseError(SDataSetOpen, this);
}

void TDataSet::SetState(TDataSetState value) {
  if (FState != value) {
    FState = value;
    FModified = false;
    DataEvent(deUpdateState, 0);
  }
}

void TDataSet::SetActive(bool value) {
  if (ComponentState().Contains(csLoading)) {
    FStreamedActive = value;
    return;
  }
  if (value == Active()) return;
  if (value) {
    DoEvent(FBeforeOpen);
    FState = dsOpening;
    try {
      OpenCursor();
    } catch (...) {
      try {
        CloseCursor();
      } catch (...) {
      }
      FState = dsInactive;
      throw;
    }
    FBof = true;
    FEof = FOrder.empty();
    SetState(dsBrowse);
    DoEvent(FAfterOpen);
    if (!IsEmpty()) DoEvent(FAfterScroll);
  } else {
    bool destroying = ComponentState().Contains(csDestroying);
    if (!destroying) DoEvent(FBeforeClose);
    SetState(dsInactive);
    CloseCursor();
    if (!destroying) DoEvent(FAfterClose);
  }
}

void TDataSet::OpenCursor() {
  ClearRows();
  FColumnCount = 0;
  InternalOpen();
  int defs = FFieldDefs->Count();
  if (FColumnCount == 0) FColumnCount = defs;
  else if (FColumnCount != defs)
    DatabaseErrorFmt("Rows have %d values for %d field definitions", {FColumnCount, defs}, this);
  FDefaultFields = FFields->Count() == 0;
  if (FDefaultFields) CreateDefaultFields();
  BindFields();
  FSortKeys = ParseSort(FSort);
  RebuildOrder();
  FCurPos = 0;
  FWinFirst = 0;
  FActiveRecord = 0;
  PlaceWindow(0, wmTop);
}

void TDataSet::CloseCursor() {
  if (FEditing) {
    if (FInsertRowPending) RemoveInsertRow();
    FinishEdit();
  }
  InternalClose();
  ClearRows();
  FJournal.reset();
  if (FDefaultFields) DestroyDefaultFields();
  FDefaultFields = false;
  for (TField* f : FFields->FList) {
    f->FFieldNo = 0;
    f->FCalcIndex = -1;
  }
  FCalcCount = 0;
  FHasCalcFields = false;
  FColumnCount = 0;
  FCurPos = FWinFirst = FActiveRecord = 0;
  FBof = FEof = true;
  FModified = false;
}

void TDataSet::CreateDefaultFields() {
  for (int i = 0; i < FFieldDefs->Count(); ++i) {
    TFieldDef* def = FFieldDefs->Items(i);
    if (def->Attributes().Contains(faHiddenCol)) continue;
    def->CreateField(this, this);
  }
}

void TDataSet::DestroyDefaultFields() {
  if (!FDefaultFields) return;
  std::vector<TField*> fields = FFields->FList;
  for (TField* f : fields)
    if (f->Owner() == this) delete f;
  FDefaultFields = false;
}

void TDataSet::BindFields() {
  FCalcCount = 0;
  FHasCalcFields = false;
  const auto& list = FFields->FList;
  for (std::size_t i = 0; i < list.size(); ++i)
    for (std::size_t j = i + 1; j < list.size(); ++j)
      if (!list[i]->FieldName().empty() && SameText(list[i]->FieldName(), list[j]->FieldName()))
        DatabaseErrorFmt(SDuplicateFieldName, {list[j]->FieldName()}, this);
  for (TField* f : list) {
    f->FFieldNo = 0;
    f->FCalcIndex = -1;
    if (f->FieldKind() == fkData) {
      int idx = FFieldDefs->IndexOf(f->FieldName());
      if (idx < 0) DatabaseErrorFmt(SFieldNotFound, {f->FieldName()}, this);
      f->FFieldNo = idx + 1;
    } else if (f->FieldKind() != fkAggregate) {
      f->FCalcIndex = FCalcCount++;
      FHasCalcFields = true;
    }
  }
}

void TDataSet::AddField(TField* field) {
  FFields->FList.push_back(field);
  field->FDataSet = this;
  if (Active() && FState != dsOpening) DataEvent(deFieldListChange, 0);
}

void TDataSet::RemoveField(TField* field) {
  auto& list = FFields->FList;
  list.erase(std::remove(list.begin(), list.end(), field), list.end());
  field->FDataSet = nullptr;
  field->FFieldNo = 0;
  field->FCalcIndex = -1;
  if (Active() && FState != dsOpening) DataEvent(deFieldListChange, 0);
}

// ---------------------------------------------------------------- rows

void TDataSet::ClearRows() {
  FRows.clear();
  if (FJournal) {
    // The journal's rows may lie in the pool: a journal of cleared rows only reads them again.
    for (TJournal::TEntry& e : FJournal->Entries) e.Row.reset();
  }
  FStatus.clear();
  FBase.clear();
  FOrder.clear();
  FPositions.clear();
  FPositionsValid = false;
  FOriginal.clear();
  FPending.clear();
  FCalcCache.clear();
  if (FJournal) FJournal->Cleared = true;
  FRowPool.clear();
}

void TDataSet::ReserveRows(int count) {
  FRows.reserve(count);
  FStatus.reserve(count);
  FBase.reserve(count);
}

int TDataSet::AppendRow(const TRowWriter& row) {
  if (FColumnCount == 0) FColumnCount = row.ColumnCount();
  else if (row.ColumnCount() != FColumnCount)
    DatabaseErrorFmt("Row of %d values for %d columns", {row.ColumnCount(), FColumnCount}, this);
  int id = static_cast<int>(FRows.size());
  Byte* block = PooledBlock(row.BlockSize());
  row.BuildInto(block);
  FRows.emplace_back(block, TRowDeleter{true});
  FStatus.push_back(0);
  FBase.push_back(id);
  CheckRowStore();
  return id;
}

Byte* TDataSet::PooledBlock(std::size_t size) {
  // Pieces grow with the result, from 64 KiB to 4 MiB; blocks stay 8-byte aligned.
  constexpr std::size_t kFirst = 64 * 1024, kLargest = 4 * 1024 * 1024;
  size = (std::max<std::size_t>(size, 1) + 7) & ~std::size_t(7);
  if (FRowPool.empty() || FRowPool.back().Size - FRowPool.back().Used < size) {
    std::size_t piece = FRowPool.empty() ? kFirst : std::min(FRowPool.back().Size * 2, kLargest);
    piece = std::max(piece, size);
    FRowPool.push_back({std::unique_ptr<Byte[]>(new Byte[piece]), piece, 0});
  }
  TRowPiece& p = FRowPool.back();
  Byte* block = p.Data.get() + p.Used;
  p.Used += size;
  return block;
}

const Byte* TDataSet::RowData(int id) const {
  return id >= 0 && static_cast<std::size_t>(id) < FRows.size() ? FRows[id].get() : nullptr;
}

const Byte* TDataSet::StoredRow(int id) const {
  auto it = FOriginal.find(id);
  return it != FOriginal.end() ? it->second.get() : RowData(id);
}

void TDataSet::DropRow(int id) {
  assert(id >= 0 && static_cast<std::size_t>(id) < FRows.size());
  FRows[id].reset();
  FOriginal.erase(id);
  FStatus[id] = 0;
  FBase.erase(std::remove(FBase.begin(), FBase.end(), id), FBase.end());
}

TCellView TDataSet::RowCell(int id, int col) const {
  const Byte* row = RowData(id);
  return row ? ReadCell(row, FColumnCount, col) : TCellView();
}

int TDataSet::CurrentRowId() const {
  return FOrder.empty() ? -1 : FOrder[std::clamp(FCurPos, 0, static_cast<int>(FOrder.size()) - 1)];
}

int TDataSet::ReadRowId() const {
  if (FReadRow >= 0) return FReadRow;
  if (!Active() || FOrder.empty()) return -1;
  int pos = std::clamp(FWinFirst + FActiveRecord, 0, static_cast<int>(FOrder.size()) - 1);
  return FOrder[pos];
}

int TDataSet::PositionOf(int id) const {
  if (!FPositionsValid) {
    FPositions.assign(FRows.size(), -1);
    for (std::size_t i = 0; i < FOrder.size(); ++i) FPositions[FOrder[i]] = static_cast<int>(i);
    FPositionsValid = true;
  }
  return id >= 0 && static_cast<std::size_t>(id) < FPositions.size() ? FPositions[id] : -1;
}

bool TDataSet::RowIsVisible(int id) const { return PositionOf(id) >= 0; }

void TDataSet::RebuildOrder() {
  std::vector<int> ids;
  ids.reserve(FBase.size());
  for (int id : FBase)
    if (!(FStatus[id] & kPendingDelete)) ids.push_back(id);
  if (!FSortKeys.empty()) SortIds(ids);
  if (FilterActive()) {
    std::vector<int> kept;
    kept.reserve(ids.size());
    for (int id : ids) {
      if (FEditing && FInsertRowPending && id == FEditRowId) {
        kept.push_back(id);
        continue;
      }
      TDataSetReadScope scope(this, id, dsFilter, nullptr);
      if (AcceptRecord()) kept.push_back(id);
    }
    ids = std::move(kept);
  }
  FOrder = std::move(ids);
  InvalidatePositions();
}

bool TDataSet::AcceptRecord() {
  bool accept = true;
  if (FFiltered && FOnFilterRecord) FOnFilterRecord(this, accept);
  return accept;
}

void TDataSet::RefilterRows(bool toFirst) {
  CheckBrowseMode();
  RestoreActiveRecord();
  int keep = CurrentRowId();
  DoEvent(FBeforeScroll);
  RebuildOrder();
  int pos = toFirst ? -1 : PositionOf(keep);
  if (pos < 0) AfterRowsChanged(0, wmTop);
  else AfterRowsChanged(pos);
  if (pos < 0) FBof = true;
  DoEvent(FAfterScroll);
}

// ---------------------------------------------------------------- the buffer window

int TDataSet::WindowLength() const { return std::min(FBufferCount, static_cast<int>(FOrder.size())); }

int TDataSet::PlaceWindow(int newPos, TWindowMode mode) {
  int count = static_cast<int>(FOrder.size());
  int old = FWinFirst;
  FCurPos = count == 0 ? 0 : std::clamp(newPos, 0, count - 1);
  int len = WindowLength();
  if (len == 0) {
    FWinFirst = 0;
    FActiveRecord = 0;
    return FWinFirst - old;
  }
  int first = FWinFirst;
  switch (mode) {
    case wmKeepPlace: first = FCurPos - std::clamp(FActiveRecord, 0, len - 1); break;
    case wmLeast:
      if (FCurPos < first) first = FCurPos;
      else if (FCurPos >= first + len) first = FCurPos - len + 1;
      break;
    case wmCentre: first = FCurPos - (len - 1) / 2; break;
    case wmTop: first = FCurPos; break;
    case wmBottom: first = FCurPos - len + 1; break;
  }
  FWinFirst = std::clamp(first, 0, count - len);
  FActiveRecord = FCurPos - FWinFirst;
  CheckWindow();
  return FWinFirst - old;
}

void TDataSet::CheckWindow() const {
  int count = static_cast<int>(FOrder.size()), len = WindowLength();
  // The window lies inside the rows and holds the current record.
  assert(FWinFirst >= 0 && FWinFirst + len <= std::max(count, 0));
  assert(len == 0 || (FCurPos >= FWinFirst && FCurPos < FWinFirst + len));
  assert(len == 0 || (FActiveRecord >= 0 && FActiveRecord < len));
  (void)count, (void)len;
}

void TDataSet::CheckRowStore() const {
  // Every row id has its block (or none once dropped) and its status; positions name ids.
  assert(FStatus.size() == FRows.size());
  assert(FOrder.size() <= FRows.size() && FBase.size() <= FRows.size());
}

void TDataSet::AfterRowsChanged(int newPos, TWindowMode mode) {
  FBof = FEof = FOrder.empty();
  PlaceWindow(newPos, mode);
  FCalcCache.clear();
  DataEvent(deDataSetChange, 0);
}

void TDataSet::ReturnTo(int rowId, int fallbackPos) {
  int pos = PositionOf(rowId);
  AfterRowsChanged(pos >= 0 ? pos : std::min(fallbackPos, static_cast<int>(FOrder.size()) - 1));
}

void TDataSet::SetActiveRecord(int value) {
  int len = std::max(1, WindowLength());
  if (value < 0 || value >= len) throw EListError(Format("List index out of bounds (%d)", {value}));
  FActiveRecord = value;
}

void TDataSet::UpdateBufferCount() {
  int count = 1;
  for (TDataSource* s : FDataSources)
    for (TDataLink* l : s->FDataLinks) count = std::max(count, l->FBufferCount);
  if (count == FBufferCount) return;
  FBufferCount = count;
  if (Active()) {
    RestoreActiveRecord();
    PlaceWindow(FCurPos, wmKeepPlace);
  }
}

void TDataSet::Resync() {
  CheckActive();
  RestoreActiveRecord();
  bool bof = FBof, eof = FEof;
  AfterRowsChanged(FCurPos);
  if (!FOrder.empty()) {
    FBof = bof;
    FEof = eof;
  }
}

// ---------------------------------------------------------------- navigation

void TDataSet::First() {
  CheckBrowseMode();
  DoEvent(FBeforeScroll);
  int moved = PlaceWindow(0, wmTop);
  FBof = true;
  FEof = FOrder.empty();
  DataEvent(deDataSetScroll, moved);
  DoEvent(FAfterScroll);
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoEvent(FBeforeScroll);
  int moved = PlaceWindow(static_cast<int>(FOrder.size()) - 1, wmBottom);
  FEof = true;
  FBof = FOrder.empty();
  DataEvent(deDataSetScroll, moved);
  DoEvent(FAfterScroll);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  DoEvent(FBeforeScroll);
  if (!((distance > 0 && !FEof) || (distance < 0 && !FBof))) return 0;
  int count = static_cast<int>(FOrder.size());
  FBof = FEof = false;
  Int64 target = static_cast<Int64>(FCurPos) + distance;
  if (target >= count) {
    target = count - 1;
    FEof = true;
  }
  if (target < 0) {
    target = 0;
    FBof = true;
  }
  int result = static_cast<int>(target) - FCurPos;
  int moved = PlaceWindow(static_cast<int>(target), wmLeast);
  DataEvent(deDataSetScroll, moved);
  DoEvent(FAfterScroll);
  return result;
}

void TDataSet::CentreOn(int pos) {
  int moved = PlaceWindow(pos, wmCentre);
  FBof = FEof = false;
  DataEvent(deDataSetScroll, moved);
  DoEvent(FAfterScroll);
}

int TDataSet::RecNo() const {
  if (!Active() || !IsSequenced()) return -1;
  if (FOrder.empty()) return 0;
  return FWinFirst + FActiveRecord + 1;
}

void TDataSet::SetRecNo(int value) {
  if (!IsSequenced()) return;
  CheckBrowseMode();
  if (value < 1 || value > static_cast<int>(FOrder.size()) || value == FCurPos + 1) return;
  DoEvent(FBeforeScroll);
  CentreOn(value - 1);
}

int TDataSet::RecordCount() const {
  CheckActive();
  return static_cast<int>(FOrder.size());
}

// ---------------------------------------------------------------- bookmarks

TDataSet::TBookmark TDataSet::GetBookmark() const {
  if (!Active()) return TBookmark();
  int id = ReadRowId();
  if (id < 0 || (FEditing && FInsertRowPending && id == FEditRowId)) return TBookmark();
  auto u = static_cast<std::uint32_t>(id);
  Byte bytes[4] = {Byte(u), Byte(u >> 8), Byte(u >> 16), Byte(u >> 24)};
  return TBookmark(reinterpret_cast<const char*>(bytes), 4);
}

int TDataSet::IdFromBookmark(const TBookmark& b) const {
  if (b.size() != 4) return -1;
  auto p = reinterpret_cast<const Byte*>(b.data());
  std::uint32_t u = p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
  if (u >= FRows.size()) return -1;
  return static_cast<int>(u);
}

bool TDataSet::BookmarkValid(const TBookmark& b) const {
  if (!Active()) return false;
  int id = IdFromBookmark(b);
  return id >= 0 && RowData(id) && RowIsVisible(id);
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const {
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
  int ia = IdFromBookmark(a), ib = IdFromBookmark(b);
  int pa = PositionOf(ia), pb = PositionOf(ib);
  // Rows that are not in the current order (deleted, filtered out) still compare consistently.
  int ka = pa >= 0 ? pa : ia, kb = pb >= 0 ? pb : ib;
  if (pa >= 0 && pb >= 0) return ka < kb ? -1 : (ka > kb ? 1 : 0);
  return ia < ib ? -1 : (ia > ib ? 1 : 0);
}

void TDataSet::GotoBookmark(const TBookmark& b) {
  CheckBrowseMode();
  int id = IdFromBookmark(b);
  int pos = id >= 0 && RowData(id) ? PositionOf(id) : -1;
  if (pos < 0) DatabaseError(SRecordNotFound, this);
  DoEvent(FBeforeScroll);
  CentreOn(pos);
}

// ---------------------------------------------------------------- controls and events

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FEnableEvent = deDataSetChange;
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount == 0) {
    if (FDisableState != FState) DataEvent(deUpdateState, 0);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
  }
}

void TDataSet::DataEvent(TDataEvent event, NativeInt info) {
  bool notify = FDisableCount == 0;
  switch (event) {
    case deFieldChange: {
      auto* f = reinterpret_cast<TField*>(info);
      if (f && (f->FieldKind() == fkData || f->FieldKind() == fkInternalCalc)) FModified = true;
      break;
    }
    case deDataSetChange:
    case deDataSetScroll:
      if (!FCalcCache.empty()) FCalcCache.clear();
      break;
    case deLayoutChange:
    case deFieldListChange:
      FCalcCache.clear();
      if (!notify) FEnableEvent = deLayoutChange;
      break;
    case deUpdateState:
      if (!notify) {
        event = deDisabledStateChange;
        info = FState != dsInactive ? 1 : 0;
        notify = true;
        if (FDisableState == dsInactive) FEnableEvent = deLayoutChange;
      }
      break;
    default: break;
  }
  if (!notify) return;
  std::vector<TDataSource*> sources = FDataSources;
  for (TDataSource* s : sources)
    if (std::find(FDataSources.begin(), FDataSources.end(), s) != FDataSources.end()) s->DataEvent(event, info);
}

void TDataSet::AddDataSource(TDataSource* source) {
  FDataSources.push_back(source);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* source) {
  FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), source), FDataSources.end());
  UpdateBufferCount();
}

// ---------------------------------------------------------------- field values

bool TDataSet::ReadsEditBuffer(int id) const {
  return FEditing && id == FEditRowId && FState != dsOldValue && FState != dsCurValue;
}

bool TDataSet::FieldCell(const TField* field, TCellView& cell) const {
  cell = TCellView();
  if (field->FValidating) return false;
  if (!Active()) return true;
  int id = ReadRowId();
  if (id < 0) return true;
  if (field->FFieldNo <= 0) return field->FCalcIndex < 0;  // a calculated value is no stored cell
  int col = field->FFieldNo - 1;
  if (FState == dsOldValue) cell = ReadCell(StoredRow(id), FColumnCount, col);
  else if (ReadsEditBuffer(id)) cell = EditCell(col);
  else if (const Byte* row = RowData(id)) cell = ReadCell(row, FColumnCount, col);
  return true;
}

Variant TDataSet::GetFieldValue(const TField* field) const {
  TCellView cell;
  if (FieldCell(field, cell)) return cell.IsNull() ? Null() : CellToVariant(cell, field->DataType());
  if (field->FValidating) return field->FValidatingValue;
  return CalcValues(ReadRowId())[field->FCalcIndex];
}

void TDataSet::SetFieldValue(TField* field, const Variant& value) {
  if (field->FCalcIndex >= 0) {
    if (FState == dsCalcFields || FState == dsInternalCalc) {
      if (FCalcTarget) (*FCalcTarget)[field->FCalcIndex] = value;
      return;
    }
    if (!FEditing || !(FState == dsEdit || FState == dsInsert)) DatabaseError(SNotEditing, this);
    FEditCalc[field->FCalcIndex] = value;
  } else if (field->FFieldNo > 0) {
    if (!FEditing || !(FState == dsEdit || FState == dsInsert || FState == dsNewValue)) DatabaseError(SNotEditing, this);
    int col = field->FFieldNo - 1;
    FEdit[col] = VariantToCell(value, field->DataType());
    FEditAssigned[col] = 1;
    RecalcEditRow();
  } else {
    DatabaseError(SNotEditing, this);
  }
  DataEvent(deFieldChange, reinterpret_cast<NativeInt>(field));
}

Variant TDataSet::GetFieldValueAs(const TField* field, TDataSetState state) const {
  if (!Active()) return Null();
  TDataSetReadScope scope(this, ReadRowId(), state, FCalcTarget);
  return GetFieldValue(field);
}

std::vector<Variant>& TDataSet::CalcValues(int id) const {
  if (FCalcTarget && FReadRow == id) return *FCalcTarget;
  if (FEditing && id == FEditRowId) return FEditCalc;
  auto it = FCalcCache.find(id);
  if (it != FCalcCache.end()) return it->second;
  std::vector<Variant> values;
  ComputeCalcFields(id, values);
  if (FCalcCache.size() > 4096) FCalcCache.clear();
  return FCalcCache.insert_or_assign(id, std::move(values)).first->second;
}

void TDataSet::ComputeCalcFields(int id, std::vector<Variant>& target) const {
  target.assign(FCalcCount, Null());
  if (!FHasCalcFields) return;
  TDataSetReadScope scope(this, id, dsCalcFields, &target);
  for (TField* f : FFields->FList) {
    if (!f->Lookup() || f->FCalcIndex < 0) continue;
    TDataSet* lookup = f->LookupDataSet();
    if (!lookup || !lookup->Active() || f->KeyFields().empty() || f->LookupKeyFields().empty() ||
        f->LookupResultField().empty())
      continue;
    Variant keys = FieldValues(f->KeyFields());
    bool anyNull = VarIsNull(keys);
    if (VarIsArray(keys))
      for (int i = VarArrayLowBound(keys, 1); i <= VarArrayHighBound(keys, 1); ++i)
        anyNull = anyNull || VarIsNull(keys.GetElement({i}));
    if (!anyNull) target[f->FCalcIndex] = lookup->Lookup(f->LookupKeyFields(), keys, f->LookupResultField());
  }
  if (FOnCalcFields) FOnCalcFields(const_cast<TDataSet*>(this));
}

void TDataSet::RecalcEditRow() {
  if (FHasCalcFields && FAutoCalcFields && FEditing) ComputeCalcFields(FEditRowId, FEditCalc);
}

TField* TDataSet::FindField(const String& name) const { return FFields->FindField(name); }

TField* TDataSet::FieldByName(const String& name) const {
  TField* f = FFields->FindField(name);
  if (!f) DatabaseErrorFmt(SFieldNotFound, {name}, this);
  return f;
}

void TDataSet::GetFieldList(std::vector<TField*>& list, const String& names) const {
  for (const String& n : SplitFieldNames(names)) list.push_back(FieldByName(n));
}

void TDataSet::GetFieldList(TList* list, const String& names) const {
  for (const String& n : SplitFieldNames(names)) list->Add(FieldByName(n));
}

void TDataSet::GetFieldNames(TStrings* list) const {
  WithinUpdate(*list, [&] {
    list->Clear();
    if (FFields->Count() > 0)
      for (TField* f : FFields->FList) list->Add(f->FieldName());
    else
      for (int i = 0; i < FFieldDefs->Count(); ++i) list->Add(FFieldDefs->Items(i)->Name());
  });
}

Variant TDataSet::FieldValues(const String& names) const {
  std::vector<TField*> fields;
  GetFieldList(fields, names);
  if (fields.size() == 1) return fields[0]->AsVariant();
  std::vector<Variant> values;
  for (TField* f : fields) values.push_back(f->AsVariant());
  return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const String& names, const Variant& value) {
  std::vector<TField*> fields;
  GetFieldList(fields, names);
  if (fields.size() == 1) {
    fields[0]->SetAsVariant(value);
    return;
  }
  int low = VarArrayLowBound(value, 1);
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->SetAsVariant(value.GetElement({low + static_cast<int>(i)}));
}

void TDataSet::ClearFields() {
  if (!IsWriteState(FState)) DatabaseError(SNotEditing, this);
  for (TField* f : FFields->FList)
    if (f->FieldKind() == fkData && f->FFieldNo > 0) f->Clear();
}

TUpdateStatus TDataSet::UpdateStatus() const {
  int id = ReadRowId();
  if (id < 0) return usUnmodified;
  if (FEditing && FInsertRowPending && id == FEditRowId) return usInserted;
  Byte s = FStatus[id];
  if (s & kPendingDelete) return usDeleted;
  if (s & kPendingInsert) return usInserted;
  if (s & kPendingModify) return usModified;
  return usUnmodified;
}

// ---------------------------------------------------------------- editing

void TDataSet::CheckCanModify() const {
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
}

template <class F> void TDataSet::CheckOperation(F&& operation, const TDataSetErrorEvent& errorEvent) {
  for (;;) {
    try {
      operation();
      return;
    } catch (EDatabaseError& e) {
      TDataAction action = daFail;
      if (errorEvent) errorEvent(this, &e, action);
      if (action == daFail) throw;
      if (action == daAbort) Abort();
    }
  }
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  if (FState == dsEdit || FState == dsInsert) {
    UpdateRecord();
    if (FModified) Post();
    else Cancel();
  }
}

void TDataSet::UpdateRecord() {
  if (!IsWriteState(FState)) DatabaseError(SNotEditing, this);
  DataEvent(deUpdateRecord, 0);
}

// The edit buffer holds only the values assigned since the edit began; the others are read
// from the row, which stays as it is until the edit is posted or cancelled.
void TDataSet::StartEdit(int id, bool inserting) {
  FEditing = true;
  FEditRowId = id;
  FInsertRowPending = inserting;
  FEdit.assign(FColumnCount, TCellValue());
  FEditAssigned.assign(FColumnCount, 0);
  FEditCalc.assign(FCalcCount, Null());
  if (FHasCalcFields) ComputeCalcFields(id, FEditCalc);
}

TCellView TDataSet::EditCell(int col) const {
  if (FEditAssigned[col]) return FEdit[col].View();
  return FInsertRowPending ? TCellView() : RowCell(FEditRowId, col);
}

void TDataSet::FinishEdit() {
  FEditing = false;
  FEditRowId = -1;
  FInsertRowPending = false;
  FEdit.clear();
  FEditAssigned.clear();
  FEditCalc.clear();
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  CheckActive();
  if (FOrder.empty()) {
    Insert();
    return;
  }
  CheckCanModify();
  DoEvent(FBeforeEdit);
  RestoreActiveRecord();
  StartEdit(CurrentRowId(), false);
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  DoEvent(FAfterEdit);
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  CheckCanModify();
  DoEvent(FBeforeInsert);
  DoEvent(FBeforeScroll);
  RestoreActiveRecord();
}

void TDataSet::EndInsertAppend() {
  SetState(dsInsert);
  try {
    DoOnNewRecord();
  } catch (...) {
    int pos = RemoveInsertRow();
    FinishEdit();
    SetState(dsBrowse);
    AfterRowsChanged(std::min(pos, static_cast<int>(FOrder.size()) - 1));
    throw;
  }
  FModified = false;
  DataEvent(deDataSetChange, 0);
  DoEvent(FAfterInsert);
  DoEvent(FAfterScroll);
}

void TDataSet::Insert() {
  BeginInsertAppend();
  StartInsertRow(FOrder.empty() ? 0 : FCurPos, wmKeepPlace);
  EndInsertAppend();
}

void TDataSet::Append() {
  BeginInsertAppend();
  StartInsertRow(static_cast<int>(FOrder.size()), wmBottom);
  EndInsertAppend();
}

void TDataSet::StartInsertRow(int pos, TWindowMode mode) {
  int id = static_cast<int>(FRows.size());
  FRows.emplace_back(nullptr);
  FStatus.push_back(0);
  // In the natural order the new row goes before the row it is inserted at, or last.
  if (pos < static_cast<int>(FOrder.size())) FBase.insert(std::find(FBase.begin(), FBase.end(), FOrder[pos]), id);
  else FBase.push_back(id);
  FOrder.insert(FOrder.begin() + pos, id);
  CheckRowStore();
  InvalidatePositions();
  FCalcCache.clear();
  StartEdit(id, true);
  PlaceWindow(pos, mode);
  FBof = FEof = false;
}

int TDataSet::RemoveInsertRow() {
  int id = FEditRowId;
  int pos = static_cast<int>(std::find(FOrder.begin(), FOrder.end(), id) - FOrder.begin());
  if (pos < static_cast<int>(FOrder.size())) FOrder.erase(FOrder.begin() + pos);
  FBase.erase(std::remove(FBase.begin(), FBase.end(), id), FBase.end());
  if (id == static_cast<int>(FRows.size()) - 1) {
    FRows.pop_back();
    FStatus.pop_back();
  }
  CheckRowStore();
  InvalidatePositions();
  return pos;
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  DoEvent(FBeforeCancel);
  RestoreActiveRecord();
  int pos = FCurPos;
  if (FInsertRowPending) pos = RemoveInsertRow();
  FinishEdit();
  SetState(dsBrowse);
  AfterRowsChanged(std::min(pos, static_cast<int>(FOrder.size()) - 1));
  DoEvent(FAfterCancel);
}

void TDataSet::CheckRequiredFields() {
  for (TField* f : FFields->FList)
    if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull()) {
      f->FocusControl();
      DatabaseErrorFmt(SFieldRequired, {f->DisplayName()});
    }
}

bool TDataSet::CellsDiffer(const Byte* oldRow, const TCellView& value, int col) const {
  return !(ReadCell(oldRow, FColumnCount, col) == value);
}

void TDataSet::ReplaceRow(int id, TRowPtr row) {
  FRows[id] = std::move(row);
  FCalcCache.erase(id);
}

void TDataSet::WritePost() {
  int id = FEditRowId;
  bool inserting = FInsertRowPending;
  TRowUpdate u;
  u.FDataSet = this;
  u.FRowId = id;
  u.FKind = inserting ? usInserted : usModified;
  u.FOldRow = inserting ? nullptr : RowData(id);
  u.FNewCells = &FEdit;
  u.FNewAssigned = &FEditAssigned;
  u.FChanged.assign(FColumnCount, 0);
  bool any = false;
  for (int c = 0; c < FColumnCount; ++c) {
    bool changed = FEditAssigned[c] && (inserting || CellsDiffer(u.FOldRow, FEdit[c].View(), c));
    u.FChanged[c] = changed;
    any = any || changed;
  }
  if (!inserting && !any) return;  // nothing changed: nothing to write
  if (!FCachedUpdates) InternalPost(u);

  if (!FCachedUpdates && PatchesInPlace(u)) {
    // Written through, every value keeping its size: the journal keeps the row as it was and
    // the block takes the new values where it stands.
    JournalTouch(id);
    PatchRow(FRows[id].get(), u);
    FCalcCache.erase(id);
    return;
  }
  // The new block is made while the old one, which the update reads, still stands.
  TRowPtr row = PostedRow(u);
  if (!FCachedUpdates) {
    // Written through: the old block is what a rollback puts back, so the journal takes it.
    TRowPtr old = std::move(FRows[id]);
    ReplaceRow(id, std::move(row));
    JournalTouch(id, &old);
    return;
  }
  JournalTouch(id);
  if (inserting) {
    FStatus[id] |= kPendingInsert;
    FPending.push_back(id);
  } else if (!(FStatus[id] & (kPendingInsert | kPendingModify))) {
    FOriginal[id] = std::move(FRows[id]);
    FStatus[id] |= kPendingModify;
    FPending.push_back(id);
  }
  ReplaceRow(id, std::move(row));
}

// The row a post leaves: when every value the edit (or the store) gave keeps its size, as no text
// does on either side, it is the old block with those values put in; else it is built anew.
bool TDataSet::PostGives(const TRowUpdate& u, int c) const {
  return FEditAssigned[c] || (static_cast<std::size_t>(c) < u.FOverrides.size() && u.FOverrides[c]);
}

bool TDataSet::PatchesInPlace(const TRowUpdate& u) const {
  if (!u.FOldRow) return false;
  for (int c = 0; c < FColumnCount; ++c)
    if (PostGives(u, c) &&
        !(rowlayout::FixedSize(static_cast<TCellKind>(u.FOldRow[c])) && rowlayout::FixedSize(u.NewCell(c).Kind)))
      return false;
  return true;
}

void TDataSet::PatchRow(Byte* row, const TRowUpdate& u) const {
  for (int c = 0; c < FColumnCount; ++c)
    if (PostGives(u, c)) rowlayout::WriteFixedCell(row, FColumnCount, c, u.NewCell(c));
}

TDataSet::TRowPtr TDataSet::PostedRow(const TRowUpdate& u) {
  if (PatchesInPlace(u)) {
    TRowPtr row = CopyRow(u.FOldRow, FColumnCount);
    PatchRow(row.get(), u);
    return row;
  }
  FPostRow.Reset(FColumnCount);
  for (int c = 0; c < FColumnCount; ++c) FPostRow.SetCell(c, u.NewCell(c));
  return TRowPtr(FPostRow.Build());
}

void TDataSet::Post() {
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  DoEvent(FBeforePost);
  CheckOperation(
      [this] {
        CheckRequiredFields();
        WritePost();
      },
      FOnPostError);
  RestoreActiveRecord();
  int pos = FCurPos;
  FinishEdit();
  SetState(dsBrowse);
  AfterRowsChanged(pos);
  DoEvent(FAfterPost);
}

void TDataSet::WriteDelete() {
  int id = CurrentRowId();
  TRowUpdate u;
  u.FDataSet = this;
  u.FRowId = id;
  u.FKind = usDeleted;
  u.FOldRow = StoredRow(id);
  u.FChanged.assign(FColumnCount, 0);
  if (!FCachedUpdates) InternalDelete(u);

  JournalTouch(id);
  if (FCachedUpdates && !(FStatus[id] & kPendingInsert)) {
    FStatus[id] |= kPendingDelete;
    if (std::find(FPending.begin(), FPending.end(), id) == FPending.end()) FPending.push_back(id);
  } else {
    // Written through, or an insert the store never saw: the row is gone.
    if (FStatus[id] & kPendingInsert) FPending.erase(std::remove(FPending.begin(), FPending.end(), id), FPending.end());
    DropRow(id);
  }
  FOrder.erase(FOrder.begin() + FCurPos);
  InvalidatePositions();
  FCalcCache.erase(id);
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert) {
    Cancel();
    return;
  }
  if (FOrder.empty()) DatabaseError(SDataSetEmpty, this);
  CheckCanModify();
  DataEvent(deCheckBrowseMode, 0);
  DoEvent(FBeforeDelete);
  DoEvent(FBeforeScroll);
  RestoreActiveRecord();
  CheckOperation([this] { WriteDelete(); }, FOnDeleteError);
  if (FEditing) FinishEdit();
  int pos = std::min(FCurPos, static_cast<int>(FOrder.size()) - 1);
  SetState(dsBrowse);
  AfterRowsChanged(std::max(pos, 0));
  DoEvent(FAfterDelete);
  DoEvent(FAfterScroll);
}

void TDataSet::SetFields(const std::vector<Variant>& values) {
  int n = std::min(static_cast<int>(values.size()), FFields->Count());
  for (int i = 0; i < n; ++i)
    if (!VarIsEmpty(values[i])) FFields->Fields(i)->SetAsVariant(values[i]);
}

void TDataSet::AppendRecord(const std::vector<Variant>& values) {
  Append();
  SetFields(values);
  Post();
}

void TDataSet::InsertRecord(const std::vector<Variant>& values) {
  Insert();
  SetFields(values);
  Post();
}

void TDataSet::Refresh() {
  DoEvent(FBeforeRefresh);
  CheckBrowseMode();
  RestoreActiveRecord();
  int keep = CurrentRowId();
  int pos = FCurPos;
  InternalRefresh();
  RebuildOrder();
  ReturnTo(keep, pos);
  DoEvent(FAfterRefresh);
}

// ---------------------------------------------------------------- blob streams

namespace {

class TBlobStream : public TMemoryStream {
public:
  TBlobStream(TField* field, TBlobStreamMode mode) : FField(field), FWrites(mode != bmRead) {
    if (mode != bmWrite) {
      String bytes = field->AsString();
      if (!bytes.empty()) TMemoryStream::Write(bytes.data(), static_cast<Int64>(bytes.size()));
      SetPosition(0);
    }
  }
  ~TBlobStream() override {
    if (!FWrites || !FModified) return;
    try {
      FField->SetAsString(String(static_cast<const char*>(Memory()), static_cast<std::size_t>(Size())));
    } catch (...) {
      // A destructor cannot report it; the value simply stays as it was.
    }
  }
  Int64 Write(const void* buffer, Int64 count) override {
    FModified = true;
    return TMemoryStream::Write(buffer, count);
  }
  void SetSize(Int64 size) override {
    FModified = true;
    TMemoryStream::SetSize(size);
  }

private:
  TField* FField;
  bool FWrites;
  bool FModified = false;
};

}  // namespace

TStream* TDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
  if (mode != bmRead && FState != dsEdit && FState != dsInsert) DatabaseError(SNotEditing, this);
  auto* s = new TBlobStream(field, mode);
  if (mode == bmWrite) s->SetSize(0);
  return s;
}

// ---------------------------------------------------------------- search

namespace {

bool MatchValue(TField* field, const Variant& key, TLocateOptions options) {
  Variant v = field->AsVariant();
  if (VarIsNull(key) || VarIsEmpty(key)) return VarIsNull(v);
  if (VarIsNull(v)) return false;
  if (VarIsStr(key)) {
    String k = VarToStr(key);
    bool partial = options.Contains(loPartialKey), noCase = options.Contains(loCaseInsensitive);
    if (partial || noCase || VarIsStr(v)) {
      String s = field->AsString();
      if (noCase) {
        s = AnsiLowerCase(s);
        k = AnsiLowerCase(k);
      }
      return partial ? s.compare(0, k.size(), k) == 0 : s == k;
    }
  }
  try {
    return VarCompareValue(v, key) == vrEqual;
  } catch (const Exception&) {
    return VarIsStr(key) && field->AsString() == VarToStr(key);
  }
}

// Whether text equals (or with Partial starts with) a key already lower-cased as AnsiLowerCase
// lowers: ASCII text is lowered while it is compared, other text as AnsiLowerCase does.
bool LowerMatches(std::string_view text, const String& loweredKey, bool partial) {
  if (!IsAscii(text)) {
    String lowered = AnsiLowerCase(text);
    return partial ? lowered.compare(0, loweredKey.size(), loweredKey) == 0 : lowered == loweredKey;
  }
  if (partial ? text.size() < loweredKey.size() : text.size() != loweredKey.size()) return false;
  for (std::size_t i = 0; i < loweredKey.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != loweredKey[i]) return false;
  }
  return true;
}

// One key of a search, prepared once for all rows.
struct TSearchKey {
  Variant Value;
  // A text key for a text field: compared with the stored text in place. Its text is lowered
  // for a search without regard to case.
  bool Direct = false;
  String Text;
};

}  // namespace

bool TDataSet::FindRow(const std::vector<TField*>& fields, const Variant& values, TLocateOptions options, int& pos) {
  std::vector<TSearchKey> keys;
  auto add = [&](const Variant& v) { keys.push_back(TSearchKey{v, false, String()}); };
  if (VarIsArray(values))
    for (int i = VarArrayLowBound(values, 1); i <= VarArrayHighBound(values, 1); ++i) add(values.GetElement({i}));
  else
    add(values);
  if (keys.size() != fields.size() || fields.empty()) return false;
  const bool partial = options.Contains(loPartialKey), noCase = options.Contains(loCaseInsensitive);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    TSearchKey& k = keys[i];
    if (!VarIsStr(k.Value) || !dynamic_cast<TStringField*>(fields[i])) continue;
    k.Direct = true;
    k.Text = noCase ? AnsiLowerCase(VarToStr(k.Value)) : VarToStr(k.Value);
  }
  // A stored text of a text field compares with a text key as the field's AsString would.
  auto matches = [&](TField* field, const TSearchKey& key) {
    TCellView cell;
    if (key.Direct && FieldCell(field, cell) && cell.Kind == TCellKind::Text) {
      if (noCase) return LowerMatches(cell.Bytes, key.Text, partial);
      return partial ? cell.Bytes.substr(0, key.Text.size()) == key.Text : cell.Bytes == key.Text;
    }
    return MatchValue(field, key.Value, options);
  };
  for (std::size_t p = 0; p < FOrder.size(); ++p) {
    TDataSetReadScope scope(this, FOrder[p], FState, FCalcTarget);
    bool all = true;
    for (std::size_t i = 0; all && i < fields.size(); ++i) all = matches(fields[i], keys[i]);
    if (all) {
      pos = static_cast<int>(p);
      return true;
    }
  }
  return false;
}

bool TDataSet::Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  DoEvent(FBeforeScroll);
  std::vector<TField*> fields;
  GetFieldList(fields, keyFields);
  int pos;
  if (!FindRow(fields, keyValues, options, pos)) return false;
  CentreOn(pos);
  return true;
}

Variant TDataSet::Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields) {
  CheckActive();
  std::vector<TField*> fields;
  GetFieldList(fields, keyFields);
  int pos;
  if (!FindRow(fields, keyValues, TLocateOptions(), pos)) return Null();
  TDataSetReadScope scope(this, FOrder[pos], FState, nullptr);
  return FieldValues(resultFields);
}

// ---------------------------------------------------------------- filter and sort

void TDataSet::SetFilter(const String& value) {
  if (value == FFilter) return;
  FFilter = value;
  if (Active() && FFiltered) RefilterRows();
}

void TDataSet::SetFiltered(bool value) {
  if (value == FFiltered) return;
  if (Active()) CheckBrowseMode();
  FFiltered = value;
  if (Active()) RefilterRows();
}

void TDataSet::SetOnFilterRecord(const TFilterRecordEvent& value) {
  FOnFilterRecord = value;
  if (Active() && FFiltered) RefilterRows();
}

std::vector<TDataSet::TSortKey> TDataSet::ParseSort(const String& text) const {
  std::vector<TSortKey> keys;
  for (String& part : SplitTrimmed(text, ',')) {
    bool desc = false;
    std::size_t blank = part.find_last_of(" \t");
    if (blank != String::npos) {
      String word = UpperCase(Trim(part.substr(blank + 1)));
      if (word == "DESC" || word == "ASC") {
        desc = word == "DESC";
        part = Trim(part.substr(0, blank));
      }
    }
    if (part.size() >= 2 && part.front() == '[' && part.back() == ']') part = part.substr(1, part.size() - 2);
    TField* f = FindField(part);
    if (!f) DatabaseErrorFmt(SFieldNotFound, {part}, this);
    keys.push_back({f, desc});
  }
  return keys;
}

void TDataSet::SetSort(const String& value) {
  if (!Active()) {
    FSort = value;
    return;
  }
  CheckBrowseMode();
  std::vector<TSortKey> keys = ParseSort(value);
  FSort = value;
  FSortKeys = std::move(keys);
  RestoreActiveRecord();
  int keep = CurrentRowId();
  RebuildOrder();
  int pos = PositionOf(keep);
  AfterRowsChanged(pos >= 0 ? pos : 0);
}

void TDataSet::SortIds(std::vector<int>& ids) {
  // One comparable key per row and sort field: Null first, then numbers, then folded text.
  struct TKey {
    std::vector<Byte> Class;  // 0 Null, 1 number, 2 text
    std::vector<double> Number;
    std::vector<String> Text;
    bool Descending;
  };
  std::size_t n = ids.size();
  std::vector<TKey> keys;
  for (const TSortKey& sk : FSortKeys) {
    TKey k;
    k.Descending = sk.Descending;
    k.Class.assign(n, 0);
    k.Number.assign(n, 0);
    k.Text.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      if (sk.Field->FFieldNo > 0) {
        TCellView c = RowCell(ids[i], sk.Field->FFieldNo - 1);
        switch (c.Kind) {
          case TCellKind::Null: break;
          case TCellKind::Integer: k.Class[i] = 1; k.Number[i] = static_cast<double>(c.Int); break;
          case TCellKind::Currency: k.Class[i] = 1; k.Number[i] = static_cast<double>(c.Int) / Currency::kScale; break;
          case TCellKind::Float: k.Class[i] = 1; k.Number[i] = c.Float; break;
          case TCellKind::Text:
          case TCellKind::Blob: k.Class[i] = 2; k.Text[i] = AnsiLowerCase(c.Bytes); break;
        }
      } else {
        TDataSetReadScope scope(this, ids[i], FState, nullptr);
        Variant v = sk.Field->AsVariant();
        if (VarIsNull(v) || VarIsEmpty(v)) continue;
        if (VarIsNumeric(v) || (VarType(v) & varTypeMask) == varDate) {
          k.Class[i] = 1;
          k.Number[i] = v.AsDouble();
        } else {
          k.Class[i] = 2;
          k.Text[i] = AnsiLowerCase(VarToStr(v));
        }
      }
    }
    keys.push_back(std::move(k));
  }
  std::vector<std::size_t> perm(n);
  std::iota(perm.begin(), perm.end(), 0);
  std::stable_sort(perm.begin(), perm.end(), [&](std::size_t a, std::size_t b) {
    for (const TKey& k : keys) {
      int c = 0;
      if (k.Class[a] != k.Class[b]) c = k.Class[a] < k.Class[b] ? -1 : 1;
      else if (k.Class[a] == 1) c = k.Number[a] < k.Number[b] ? -1 : (k.Number[a] > k.Number[b] ? 1 : 0);
      else if (k.Class[a] == 2) c = k.Text[a].compare(k.Text[b]);
      if (c != 0) return k.Descending ? c > 0 : c < 0;
    }
    return false;
  });
  std::vector<int> sorted(n);
  for (std::size_t i = 0; i < n; ++i) sorted[i] = ids[perm[i]];
  ids = std::move(sorted);
}

// ---------------------------------------------------------------- cached updates

void TDataSet::SetCachedUpdates(bool value) {
  if (value == FCachedUpdates) return;
  if (!value && !FPending.empty())
    DatabaseError("Cannot stop caching updates while changes are pending", this);
  FCachedUpdates = value;
}

void TDataSet::ApplyOverrides(int id, const TRowUpdate& u) {
  bool any = false;
  for (const auto& o : u.FOverrides) any = any || o.has_value();
  if (!any) return;
  const Byte* row = RowData(id);
  TRowWriter w(FColumnCount);
  for (int c = 0; c < FColumnCount; ++c)
    w.SetCell(c, u.FOverrides[c] ? u.FOverrides[c]->View() : ReadCell(row, FColumnCount, c));
  ReplaceRow(id, TRowPtr(w.Build()));
}

void TDataSet::ApplyCachedUpdates() {
  CheckActive();
  CheckBrowseMode();
  std::size_t done = 0;
  try {
    for (; done < FPending.size(); ++done) {
      int id = FPending[done];
      Byte status = FStatus[id];
      TRowUpdate u;
      u.FDataSet = this;
      u.FRowId = id;
      u.FChanged.assign(FColumnCount, 0);
      u.FOverrides.resize(FColumnCount);
      if (status & kPendingDelete) {
        u.FKind = usDeleted;
        u.FOldRow = StoredRow(id);
        InternalDelete(u);
        JournalTouch(id);
        DropRow(id);
      } else if (status & kPendingInsert) {
        u.FKind = usInserted;
        u.FNewRow = RowData(id);
        for (int c = 0; c < FColumnCount; ++c) u.FChanged[c] = !ReadCell(u.FNewRow, FColumnCount, c).IsNull();
        InternalPost(u);
        JournalTouch(id);
        FStatus[id] = 0;
        ApplyOverrides(id, u);
      } else if (status & kPendingModify) {
        u.FKind = usModified;
        auto orig = FOriginal.find(id);
        u.FOldRow = orig != FOriginal.end() ? orig->second.get() : nullptr;
        u.FNewRow = RowData(id);
        bool any = false;
        for (int c = 0; c < FColumnCount; ++c) {
          u.FChanged[c] = !u.FOldRow || CellsDiffer(u.FOldRow, ReadCell(u.FNewRow, FColumnCount, c), c);
          any = any || u.FChanged[c];
        }
        if (any) InternalPost(u);
        JournalTouch(id);
        FOriginal.erase(id);
        FStatus[id] = 0;
        ApplyOverrides(id, u);
      }
    }
  } catch (...) {
    FPending.erase(FPending.begin(), FPending.begin() + static_cast<std::ptrdiff_t>(done));
    InvalidatePositions();
    AfterRowsChanged(FCurPos);
    throw;
  }
  FPending.clear();
  InvalidatePositions();
  AfterRowsChanged(FCurPos);
}

void TDataSet::CancelCachedUpdates() {
  CheckActive();
  Cancel();
  RestoreActiveRecord();
  int keep = CurrentRowId();
  int pos = FCurPos;
  for (int id : FPending) {
    JournalTouch(id);
    if (FStatus[id] & kPendingInsert) {
      FRows[id].reset();
      FBase.erase(std::remove(FBase.begin(), FBase.end(), id), FBase.end());
    } else {
      auto orig = FOriginal.find(id);
      if (orig != FOriginal.end()) {
        FRows[id] = std::move(orig->second);
        FOriginal.erase(orig);
      }
    }
    FStatus[id] = 0;
  }
  FPending.clear();
  RebuildOrder();
  ReturnTo(keep, pos);
}

// ---------------------------------------------------------------- rollback points

TDataSet::TRowPtr TDataSet::CopyRow(const Byte* row, int columns) {
  if (!row) return nullptr;
  std::size_t size = rowlayout::RowSize(row, columns);
  auto* copy = static_cast<Byte*>(std::malloc(size ? size : 1));
  if (!copy) throw std::bad_alloc();
  std::memcpy(copy, row, size);
  return TRowPtr(copy);
}

void TDataSet::SaveRollbackPoint() {
  if (FJournal || !Active()) return;
  FJournal = std::make_unique<TJournal>();
  FJournal->Base = FBase;
  if (FEditing && FInsertRowPending)
    FJournal->Base.erase(std::remove(FJournal->Base.begin(), FJournal->Base.end(), FEditRowId), FJournal->Base.end());
  FJournal->RowCount = FRows.size();
  FJournal->Touched.assign(FRows.size(), false);
  FJournal->Pending = FPending;
}

void TDataSet::ReleaseRollbackPoint() { FJournal.reset(); }

void TDataSet::JournalTouch(int id, TRowPtr* replaced) {
  if (!FJournal || static_cast<std::size_t>(id) >= FJournal->RowCount || FJournal->Touched[id]) return;
  TJournal& j = *FJournal;
  j.Touched[id] = true;
  TJournal::TEntry& e = j.Entries.emplace_back();
  e.Id = id;
  if (replaced) e.Row = std::move(*replaced);
  else e.RowCopy = j.Keep(RowData(id), FColumnCount);
  e.Status = FStatus[id];
  auto orig = FOriginal.find(id);
  if (orig != FOriginal.end()) {
    e.HadOriginal = true;
    e.OriginalCopy = j.Keep(orig->second.get(), FColumnCount);
  }
}

void TDataSet::RestoreRollbackPoint() {
  if (!FJournal) return;
  std::unique_ptr<TJournal> j = std::move(FJournal);
  if (!Active()) return;
  if (FEditing) {
    if (FInsertRowPending) RemoveInsertRow();
    FinishEdit();
    SetState(dsBrowse);
  }
  if (j->Cleared) {
    Refresh();
    return;
  }
  RestoreActiveRecord();
  int keep = CurrentRowId();
  int pos = FCurPos;
  for (std::size_t id = j->RowCount; id < FRows.size(); ++id) FOriginal.erase(static_cast<int>(id));
  FRows.resize(j->RowCount);
  FStatus.resize(j->RowCount);
  for (TJournal::TEntry& e : j->Entries) {
    int id = e.Id;
    FRows[id] = e.Row ? std::move(e.Row) : j->Copy(e.RowCopy, FColumnCount);
    FStatus[id] = e.Status;
    if (e.HadOriginal) FOriginal[id] = j->Copy(e.OriginalCopy, FColumnCount);
    else FOriginal.erase(id);
  }
  FBase = std::move(j->Base);
  FPending = std::move(j->Pending);
  FCalcCache.clear();
  RebuildOrder();
  ReturnTo(keep, pos);
}

// ---------------------------------------------------------------- walks

TWalkScope::TWalkScope(TDataSet* Data, bool RestorePosition)
    : FData((assert(Data), Data)),
      FBookmark(RestorePosition ? Data->GetBookmark() : TDataSet::TBookmark()),
      FHold(Data) {}

TWalkScope::~TWalkScope() {
  try {
    if (!FBookmark.empty() && FData->Active() && FData->BookmarkValid(FBookmark)) FData->GotoBookmark(FBookmark);
  } catch (...) {
    // The record may be gone; the controls follow the dataset again all the same.
  }
}

// ---------------------------------------------------------------- publishing

KELM_PUBLISH(TDataSet) { Published(b); }
