// TMemDataSet: an in-memory table behind the dataset model.
#include "data/MemDataSet.h"

#include "core/ClassBuilder.h"

TMemDataSet::TMemDataSet(TComponent* owner) : TDataSet(owner), FMasterLink(std::make_unique<TMasterDataLink>(this)) {
  FMasterLink->OnMasterChange = TNotifyEvent(this, &TMemDataSet::MasterChanged);
  FMasterLink->OnMasterDisable = TNotifyEvent(this, &TMemDataSet::MasterChanged);
}

TMemDataSet::~TMemDataSet() {
  FMasterLink->OnMasterChange = TNotifyEvent();
  FMasterLink->OnMasterDisable = TNotifyEvent();
  if (TDataSource* s = FMasterLink->DataSource()) s->RemoveFreeNotification(this);
  FMasterLink->SetDataSource(nullptr);
}

void TMemDataSet::AddRow(const std::vector<Variant>& values) {
  std::vector<Variant> row(static_cast<std::size_t>(FieldDefs()->Count()));
  for (std::size_t c = 0; c < row.size(); ++c) {
    Variant v = c < values.size() ? values[c] : Null();
    // Kept as the field type would give it back, so stored and read values compare.
    row[c] = CellToVariant(VariantToCell(v, FieldDefs()->Items(static_cast<int>(c))->DataType()).View(),
                           FieldDefs()->Items(static_cast<int>(c))->DataType());
  }
  FTable.emplace_back(std::move(row));
}

void TMemDataSet::EmptyTable() {
  FTable.clear();
  if (Active()) Refresh();
}

int TMemDataSet::StoredRowCount() const {
  int n = 0;
  for (const auto& r : FTable) n += r.has_value();
  return n;
}

std::vector<std::vector<Variant>> TMemDataSet::StoredRows() const {
  std::vector<std::vector<Variant>> rows;
  for (const auto& r : FTable)
    if (r) rows.push_back(*r);
  return rows;
}

void TMemDataSet::LoadRows() {
  int n = FieldDefs()->Count();
  if (n == 0) DatabaseError("No field definitions", this);
  FRowToTable.clear();
  ReserveRows(static_cast<int>(FTable.size()));
  TRowWriter w(n);
  for (std::size_t i = 0; i < FTable.size(); ++i) {
    if (!FTable[i]) continue;
    w.Clear();
    for (int c = 0; c < n; ++c) w.SetValue(c, (*FTable[i])[c], FieldDefs()->Items(c)->DataType());
    int id = AppendRow(w);
    if (static_cast<int>(FRowToTable.size()) <= id) FRowToTable.resize(id + 1, -1);
    FRowToTable[id] = static_cast<int>(i);
  }
}

void TMemDataSet::InternalOpen() { LoadRows(); }

void TMemDataSet::InternalRefresh() {
  ClearRows();
  LoadRows();
}

void TMemDataSet::InternalPost(TRowUpdate& u) {
  if (OnWrite) OnWrite(u);
  int n = u.ColumnCount();
  if (u.Kind() == usInserted) {
    std::vector<Variant> row(n);
    for (int c = 0; c < n; ++c) row[c] = u.NewValue(c);
    FTable.emplace_back(std::move(row));
    if (static_cast<int>(FRowToTable.size()) <= u.RowId()) FRowToTable.resize(u.RowId() + 1, -1);
    FRowToTable[u.RowId()] = static_cast<int>(FTable.size()) - 1;
    ++FInsertCount;
  } else {
    auto& row = *FTable.at(FRowToTable.at(u.RowId()));
    for (int c = 0; c < n; ++c)
      if (u.Changed(c)) row[c] = u.NewValue(c);
    ++FUpdateCount;
  }
}

void TMemDataSet::InternalDelete(TRowUpdate& u) {
  if (OnWrite) OnWrite(u);
  FTable.at(FRowToTable.at(u.RowId())).reset();
  ++FDeleteCount;
}

// ---------------------------------------------------------------- master/detail

TDataSource* TMemDataSet::MasterSource() const { return FMasterLink->DataSource(); }

void TMemDataSet::SetMasterSource(TDataSource* value) {
  TDataSource* old = FMasterLink->DataSource();
  if (value == old) return;
  if (old) old->RemoveFreeNotification(this);
  FMasterLink->SetDataSource(value);
  if (value) value->FreeNotification(this);
}

const String& TMemDataSet::MasterFields() const { return FMasterLink->FieldNames(); }
void TMemDataSet::SetMasterFields(const String& value) { FMasterLink->SetFieldNames(value); }

void TMemDataSet::SetDetailFields(const String& value) {
  if (value == FDetailFields) return;
  FDetailFields = value;
  if (Active() && MasterActive()) RefilterRows(true);
}

void TMemDataSet::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation == opRemove && component == FMasterLink->DataSource()) FMasterLink->SetDataSource(nullptr);
}

bool TMemDataSet::MasterActive() const { return FMasterLink->Active() && !FMasterLink->Fields().empty(); }

std::vector<TField*> TMemDataSet::DetailFieldList() const {
  std::vector<TField*> fields;
  GetFieldList(fields, FDetailFields.empty() ? MasterFields() : FDetailFields);
  return fields;
}

bool TMemDataSet::FilterActive() const { return TDataSet::FilterActive() || MasterActive(); }

bool TMemDataSet::AcceptRecord() {
  if (MasterActive()) {
    const auto& master = FMasterLink->Fields();
    std::vector<TField*> detail = DetailFieldList();
    if (detail.size() != master.size()) DatabaseError("Detail fields do not match the master fields", this);
    for (std::size_t i = 0; i < master.size(); ++i)
      if (!VariantsEqual(detail[i]->AsVariant(), master[i]->AsVariant())) return false;
  }
  return TDataSet::AcceptRecord();
}

void TMemDataSet::DoOnNewRecord() {
  // A new detail row belongs to the current master row.
  if (MasterActive()) {
    const auto& master = FMasterLink->Fields();
    std::vector<TField*> detail = DetailFieldList();
    for (std::size_t i = 0; i < master.size() && i < detail.size(); ++i) detail[i]->SetAsVariant(master[i]->AsVariant());
  }
  TDataSet::DoOnNewRecord();
}

void TMemDataSet::MasterChanged(TObject*) {
  if (Active()) RefilterRows(true);
}

KELM_PUBLISH(TMemDataSet) { Published(b); }
