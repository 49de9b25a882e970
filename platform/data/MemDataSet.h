#pragma once
// A dataset over rows kept in memory, with its field definitions given in code (or a layout):
// for tests and for components that need a dataset without a database. Writes go to its own
// row store, which survives Close, so it behaves like a small table.
// Declares TMemDataSet.
#include "data/DB.h"

#include <functional>
#include <optional>

class TMemDataSet : public TDataSet {
  KELM_CLASS(TMemDataSet, TDataSet)
  template <class B> static void Published(B& b) {
    b.Prop("FieldDefs", &TMemDataSet::FieldDefs, &TMemDataSet::SetFieldDefs);
    b.Prop("DetailFields", &TMemDataSet::DetailFields, &TMemDataSet::SetDetailFields);
    b.Prop("MasterFields", &TMemDataSet::MasterFields, &TMemDataSet::SetMasterFields);
    b.Prop("MasterSource", &TMemDataSet::MasterSource, &TMemDataSet::SetMasterSource);
    b.Prop("ReadOnly", &TMemDataSet::ReadOnly, &TMemDataSet::SetReadOnly).Default(false);
    b.Prop("Sequenced", &TMemDataSet::Sequenced, &TMemDataSet::SetSequenced).Default(true);
  }
public:
  explicit TMemDataSet(TComponent* AOwner);
  ~TMemDataSet() override;

  // ---- the stored rows, values in field-definition order
  // Adds a row to the store; an open dataset shows it after Refresh.
  void AddRow(const std::vector<Variant>& Values);
  void EmptyTable();  // removes every stored row (and refreshes an open dataset)
  int StoredRowCount() const;
  // The stored rows in store order, as the store holds them now.
  std::vector<std::vector<Variant>> StoredRows() const;

  // Writes that reached the store, and a hook called before each: raising from it makes the
  // write fail as a database would.
  int InsertCount() const { return FInsertCount; }
  int UpdateCount() const { return FUpdateCount; }
  int DeleteCount() const { return FDeleteCount; }
  std::function<void(const TRowUpdate&)> OnWrite;

  // ---- behaviour
  // Sequenced: record numbers are known (RecNo, IsSequenced); off, the dataset answers like one
  // that cannot number its records.
  bool Sequenced() const { return FSequenced; }
  void SetSequenced(bool Value) { FSequenced = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool IsSequenced() const override { return FSequenced; }

  // ---- master/detail: only rows whose DetailFields equal the master's MasterFields show.
  // Without MasterFields the master does nothing.
  TDataSource* MasterSource() const;
  void SetMasterSource(TDataSource* Value);
  const String& MasterFields() const;
  void SetMasterFields(const String& Value);
  const String& DetailFields() const { return FDetailFields; }  // '' = the same names as MasterFields
  void SetDetailFields(const String& Value);

  // ---- cached updates
  using TDataSet::CachedUpdates;
  using TDataSet::SetCachedUpdates;
  using TDataSet::PendingUpdateCount;
  void ApplyUpdates() { ApplyCachedUpdates(); }
  void CancelUpdates() { CancelCachedUpdates(); }

protected:
  void InternalOpen() override;
  void InternalRefresh() override;
  void InternalPost(TRowUpdate& Update) override;
  void InternalDelete(TRowUpdate& Update) override;
  bool GetCanModify() const override { return !FReadOnly; }
  bool FilterActive() const override;
  bool AcceptRecord() override;
  void DoOnNewRecord() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void LoadRows();
  bool MasterActive() const;
  std::vector<TField*> DetailFieldList() const;
  void MasterChanged(TObject* Sender);

  std::vector<std::optional<std::vector<Variant>>> FTable;
  std::vector<int> FRowToTable;  // row id -> index in FTable
  int FInsertCount = 0, FUpdateCount = 0, FDeleteCount = 0;
  bool FSequenced = true;
  bool FReadOnly = false;
  String FDetailFields;
  std::unique_ptr<TMasterDataLink> FMasterLink;
};
