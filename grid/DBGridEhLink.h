#pragma once
// What ties the data grid to its dataset: the sum list behind its footers (TDBGridEhSumList),
// its data link (TGridDataLinkEh) and the scope that reads another record of the link's
// buffer (TActiveRecordScopeEh), and the selected rows as bookmarks (TBookmarkListEh).
#include "grid/DBGridEhColumn.h"

// ================================================================ the grid's sum list

// The grid's SumList: computes while the grid is designed, starts inactive, and leaves the
// dataset's handlers alone in a designed grid.
class TDBGridEhSumList : public TDBSumListProducer {
  KELM_CLASS(TDBGridEhSumList, TDBSumListProducer)
  template <class B> static void Published(B& b) {
    using C = TDBGridEhSumList;
    b.Prop("Active", &C::Active, &C::SetActive).Default(false);
    b.Prop("ExternalRecalc", &C::ExternalRecalc, &C::SetExternalRecalc).Default(false);
    b.Prop("OnRecalcAll", [](const C* c) { return c->OnRecalcAll; }, [](C* c, const TNotifyEvent& e) { c->OnRecalcAll = e; });
    b.Prop("OnAfterRecalcAll", [](const C* c) { return c->OnAfterRecalcAll; },
           [](C* c, const TNotifyEvent& e) { c->OnAfterRecalcAll = e; });
    b.Prop("SumListChanged", [](const C* c) { return c->SumListChanged; },
           [](C* c, const TNotifyEvent& e) { c->SumListChanged = e; });
    b.Prop("VirtualRecords", &C::VirtualRecords, &C::SetVirtualRecords).Default(false);
  }
public:
  explicit TDBGridEhSumList(TComponent* AOwner);
  ~TDBGridEhSumList() override;

protected:
  void HookDataSet() override;
  void UnhookDataSet() override;

private:
  bool Designing() const;
};

// ================================================================ the grid's data link

// How the grid follows its dataset: the field map from grid data columns to dataset fields,
// the modified flag of the in-cell editor's record, and the dataset's notifications passed on
// to the grid.
class TGridDataLinkEh : public TDataLink {
public:
  // The map never holds more entries than this.
  static constexpr int MaxMapSize = 268435455;

  explicit TGridDataLinkEh(TCustomDBGridEh* AGrid) : FGrid(AGrid) { SetVisualControl(true); }
  ~TGridDataLinkEh() override;
  TCustomDBGridEh* Grid() const { return FGrid; }

  // The in-cell editor or a column write changed the current record; a write-back is due.
  bool Modified() const { return FModified; }
  void MarkModified() { FModified = true; }
  // Escape: re-reads a modified record (dropping the editor's text), else cancels the edit.
  void ResetRecord();
  // Field map: one dataset field index per grid data column, -1 where the name is unknown.
  bool AddFieldMapping(const String& FieldName);
  void ClearFieldMap();
  TField* FieldAt(int Index) const;
  int FieldCount() const { return FFieldCount; }
  int MapCapacity() const { return static_cast<int>(FFieldMap.size()); }
  bool SparseFieldMap() const { return FSparseMap; }
  void SetSparseFieldMap(bool Value) { FSparseMap = Value; }
  // Whether stored columns can be regenerated: no dataset, or default fields all mapped.
  bool AllFieldsMapped() const;
  int MoveBy(int Distance) override;
  // Counts the notices that the dataset's records or their values changed (opened, closed,
  // refreshed, filtered, a record changed): equal counts mean nothing was announced between.
  unsigned ChangeCount() const { return FChangeCount; }

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void FocusControl(TField** Field) override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

private:
  TCustomDBGridEh* FGrid;
  std::vector<int> FFieldMap;  // its size is the capacity
  int FFieldCount = 0;
  bool FInUpdateData = false;
  unsigned FChangeCount = 0;
  bool FSparseMap = false;
  bool FModified = false;
};

// Makes a record of the link's buffer the active one for reading and puts the previous one
// back however the scope ends. Without a record, the scope only puts the active one back (a
// loop that visits the buffer's records).
class TActiveRecordScopeEh {
public:
  explicit TActiveRecordScopeEh(TGridDataLinkEh* Link) : FLink(Link), FSaved(Link->ActiveRecord()) {}
  TActiveRecordScopeEh(TGridDataLinkEh* Link, int Record) : TActiveRecordScopeEh(Link) {
    FLink->SetActiveRecord(Record);
  }
  ~TActiveRecordScopeEh() { FLink->SetActiveRecord(FSaved); }
  int Saved() const { return FSaved; }  // the record active before the scope
  TActiveRecordScopeEh(const TActiveRecordScopeEh&) = delete;
  TActiveRecordScopeEh& operator=(const TActiveRecordScopeEh&) = delete;

private:
  TGridDataLinkEh* FLink;
  int FSaved;
};

// ================================================================ selected rows

// The grid's selected rows: bookmark strings kept in the dataset's bookmark order, found by a
// binary search with a one-entry cache.
class TBookmarkListEh : public TObject {
public:
  explicit TBookmarkListEh(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  ~TBookmarkListEh() override;

  int Count() const { return static_cast<int>(FList.size()); }
  // EListError "List index out of bounds (i)" outside 0..Count-1.
  const String& Items(int Index) const;
  const String& operator[](int Index) const { return Items(Index); }
  // "Cannot perform this operation on a closed dataset" while the link is inactive.
  String CurrentRowBookmark() const;
  // The place of B (found) or where it would go.
  bool Find(const String& B, int& Index);
  int IndexOf(const String& B);
  bool CurrentRowSelected();
  void SetCurrentRowSelected(bool Value);
  void Clear();
  void SetLinkActive(bool Active);
  bool LinkActive() const { return FLinkActive; }
  void DeleteSelected();
  // The grid rows (left 0 .. last column) of the selected records the grid shows; all -1
  // when none.
  TGridRect RowsInView();
  // Drops the bookmarks of records that are gone and puts the rest back into the dataset's
  // order (after a sort), so walks and the binary search stay right.
  void Refresh();
  // Whether the last Find was answered from the cache.
  bool LastFindCached() const { return FLastCached; }
  // Puts a bookmark in its place without touching the grid's selection: for a list that
  // hands records to an event rather than showing them.
  void InsertBookmark(const String& B);

private:
  int Compare(const String& A, const String& B) const;
  TDataSet* DataSet() const;
  void ListChanged() { FCacheIndex = -1; }
  bool RowSelectedInBuffer(int Record);

  TCustomDBGridEh* FGrid;
  std::deque<String> FList;
  String FCache;
  int FCacheIndex = -1;
  bool FCacheFind = false;
  bool FLastCached = false;
  bool FLinkActive = false;
};
