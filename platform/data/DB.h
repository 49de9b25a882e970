#pragma once
// The dataset model every data-aware part of the system is written against: TDataSet as a
// client-side cursor over rows held in memory, its fields, and the data sources and data links
// through which grids and edits follow it.
//
// A dataset holds its rows compactly (one block per row, see TRowWriter) under stable row ids;
// an order vector maps positions to ids and changes with Sort and filtering. Bookmarks are the
// bytes of a row id. Concrete datasets fill the rows in InternalOpen and write changes back
// through InternalPost and InternalDelete; with cached updates the dataset keeps the changes
// until ApplyCachedUpdates.
//
// Each data link asks for a number of buffered records (BufferCount); the dataset keeps one
// window of the largest and moves it only when the current record would leave it, by the least
// amount. Links see the move as DataSetScrolled(distance): the number of rows the window moved
// towards the end (negative towards the start).
//
// TControlsHold holds a dataset's controls still for a scope; TWalkScope also puts the dataset
// back on its record after a walk.
//
// The fields are declared in Fields.h, the stored rows in Rows.h and the data sources and links
// in DataLink.h; this header includes them all.
#include "data/DBTypes.h"
#include "data/DataLink.h"
#include "data/Fields.h"
#include "data/Rows.h"

// ---------------------------------------------------------------- the dataset

class TDataSet : public TComponent {
  KELM_CLASS(TDataSet, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
    b.Prop("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(true);
    b.Prop("Filter", &TDataSet::Filter, &TDataSet::SetFilter);
    b.Prop("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(false);
    b.Prop("FilterOptions", &TDataSet::FilterOptions, &TDataSet::SetFilterOptions).Default(TFilterOptions());
    b.Prop("Sort", &TDataSet::Sort, &TDataSet::SetSort);
    b.Prop("BeforeOpen", &TDataSet::BeforeOpen, &TDataSet::SetBeforeOpen);
    b.Prop("AfterOpen", &TDataSet::AfterOpen, &TDataSet::SetAfterOpen);
    b.Prop("BeforeClose", &TDataSet::BeforeClose, &TDataSet::SetBeforeClose);
    b.Prop("AfterClose", &TDataSet::AfterClose, &TDataSet::SetAfterClose);
    b.Prop("BeforeInsert", &TDataSet::BeforeInsert, &TDataSet::SetBeforeInsert);
    b.Prop("AfterInsert", &TDataSet::AfterInsert, &TDataSet::SetAfterInsert);
    b.Prop("BeforeEdit", &TDataSet::BeforeEdit, &TDataSet::SetBeforeEdit);
    b.Prop("AfterEdit", &TDataSet::AfterEdit, &TDataSet::SetAfterEdit);
    b.Prop("BeforePost", &TDataSet::BeforePost, &TDataSet::SetBeforePost);
    b.Prop("AfterPost", &TDataSet::AfterPost, &TDataSet::SetAfterPost);
    b.Prop("BeforeCancel", &TDataSet::BeforeCancel, &TDataSet::SetBeforeCancel);
    b.Prop("AfterCancel", &TDataSet::AfterCancel, &TDataSet::SetAfterCancel);
    b.Prop("BeforeDelete", &TDataSet::BeforeDelete, &TDataSet::SetBeforeDelete);
    b.Prop("AfterDelete", &TDataSet::AfterDelete, &TDataSet::SetAfterDelete);
    b.Prop("BeforeScroll", &TDataSet::BeforeScroll, &TDataSet::SetBeforeScroll);
    b.Prop("AfterScroll", &TDataSet::AfterScroll, &TDataSet::SetAfterScroll);
    b.Prop("BeforeRefresh", &TDataSet::BeforeRefresh, &TDataSet::SetBeforeRefresh);
    b.Prop("AfterRefresh", &TDataSet::AfterRefresh, &TDataSet::SetAfterRefresh);
    b.Prop("OnCalcFields", &TDataSet::OnCalcFields, &TDataSet::SetOnCalcFields);
    b.Prop("OnDeleteError", &TDataSet::OnDeleteError, &TDataSet::SetOnDeleteError);
    b.Prop("OnFilterRecord", &TDataSet::OnFilterRecord, &TDataSet::SetOnFilterRecord);
    b.Prop("OnNewRecord", &TDataSet::OnNewRecord, &TDataSet::SetOnNewRecord);
    b.Prop("OnPostError", &TDataSet::OnPostError, &TDataSet::SetOnPostError);
  }
public:
  using TBookmark = String;  // the bytes of a row id; '' for none

  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  // ---- opening
  bool Active() const { return FState != dsInactive; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return FState; }
  bool Modified() const { return FModified; }
  bool DefaultFields() const { return FDefaultFields; }

  // ---- navigation
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Returns the number of records actually moved, signed.
  int MoveBy(int Distance);
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  bool IsEmpty() const { return !Active() || FOrder.empty(); }
  virtual bool IsSequenced() const { return true; }
  // 1-based; -1 when closed or not sequenced, 0 when empty. Out-of-range values are ignored.
  virtual int RecNo() const;
  virtual void SetRecNo(int Value);
  int RecordCount() const;  // raises on a closed dataset

  // ---- editing
  void Append();
  void Insert();  // before the current record
  void Edit();    // on an empty dataset: Insert
  void Post();
  void Cancel();
  void Delete();
  void CheckBrowseMode();  // posts a modified edit, cancels an untouched one
  void UpdateRecord();     // asks the links to store what their controls hold
  void Refresh();
  void Resync();           // rebuilds the buffer window around the current record
  void ClearFields();
  // Append or Insert, assign the values in field order (Empty leaves a field alone), Post.
  void AppendRecord(const std::vector<Variant>& Values);
  void InsertRecord(const std::vector<Variant>& Values);
  void SetFields(const std::vector<Variant>& Values);
  bool CanModify() const { return GetCanModify(); }
  TUpdateStatus UpdateStatus() const;

  // ---- fields
  TFields* Fields() const { return FFields.get(); }
  int FieldCount() const { return FFields->Count(); }
  TField* FieldByName(const String& Name) const;
  TField* FindField(const String& Name) const;
  TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
  void SetFieldDefs(TFieldDefs* Value);
  // One value for one name, a variant array for "A;B".
  Variant FieldValues(const String& FieldNames) const;
  void SetFieldValues(const String& FieldNames, const Variant& Value);
  void GetFieldList(std::vector<TField*>& List, const String& FieldNames) const;
  void GetFieldList(TList* List, const String& FieldNames) const;
  void GetFieldNames(TStrings* List) const;
  bool AutoCalcFields() const { return FAutoCalcFields; }
  void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
  // A stream over a blob field's bytes; in write modes the bytes go back to the field when the
  // stream is freed.
  TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode);

  // ---- search
  // Fields separated by ';', one value or a variant array. Without options the match is exact:
  // case- and length-sensitive. loPartialKey matches text prefixes. Moves to the first match.
  bool Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  // The result field(s) of the first exact match, Null when none; the dataset does not move.
  Variant Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields);

  // ---- bookmarks
  TBookmark GetBookmark() const;  // '' when there is no posted current record
  void GotoBookmark(const TBookmark& Bookmark);  // raises "Record not found" for a stale one
  void FreeBookmark(TBookmark& Bookmark) { Bookmark.clear(); }
  bool BookmarkValid(const TBookmark& Bookmark) const;
  // -1, 0 or 1 by position in the current order; '' sorts first.
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) const;
  TBookmark Bookmark() const { return GetBookmark(); }
  void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }

  // ---- controls
  // Nested; data events are held back, a state change while disabled reaches the links as
  // deDisabledStateChange, and the last EnableControls sends deDataSetChange (deLayoutChange
  // when the layout changed meanwhile).
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }

  // ---- filter and sort
  // Filter and FilterOptions are kept and reported; OnFilterRecord decides while Filtered.
  const String& Filter() const { return FFilter; }
  void SetFilter(const String& Value);
  bool Filtered() const { return FFiltered; }
  void SetFiltered(bool Value);
  TFilterOptions FilterOptions() const { return FFilterOptions; }
  void SetFilterOptions(TFilterOptions Value) { FFilterOptions = Value; }
  // "Field [ASC|DESC], ..." with blanks anywhere; stable, text without regard to case, keeps the
  // current record; '' restores the original order.
  const String& Sort() const { return FSort; }
  void SetSort(const String& Value);

  // ---- buffer window (data links)
  int BufferCount() const { return FBufferCount; }
  // The buffered record that fields read; a link may point it at another buffered record and
  // back without any event.
  int ActiveRecord() const { return FActiveRecord; }
  void SetActiveRecord(int Value);

  // ---- events (single-cast; a component may take one over and call the one it replaced)
#define KELM_DATASET_EVENT(Name, Type)                           \
  const Type& Name() const { return F##Name; }                   \
  void Set##Name(const Type& Value) { F##Name = Value; }
  KELM_DATASET_EVENT(BeforeOpen, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterOpen, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeClose, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterClose, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeInsert, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterInsert, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeEdit, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterEdit, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforePost, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterPost, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeCancel, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterCancel, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeDelete, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterDelete, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeScroll, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterScroll, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeRefresh, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterRefresh, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(OnCalcFields, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(OnNewRecord, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(OnPostError, TDataSetErrorEvent)
  KELM_DATASET_EVENT(OnDeleteError, TDataSetErrorEvent)
#undef KELM_DATASET_EVENT
  const TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
  void SetOnFilterRecord(const TFilterRecordEvent& Value);

  // ---- rollback points, for the connection whose transaction the dataset writes in: restoring
  // puts rows, order and cached updates back as they were when the point was saved, so a
  // rolled-back transaction leaves no changes behind in memory either.
  void SaveRollbackPoint();
  void ReleaseRollbackPoint();
  void RestoreRollbackPoint();
  bool HasRollbackPoint() const { return FJournal != nullptr; }

  // Sends an event to the data sources (and through them to the links).
  void DataEvent(TDataEvent Event, NativeInt Info);

  // Layout streaming: persistent fields are written inside their dataset.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void Loaded() override;

protected:
  // ---- what a concrete dataset supplies
  // Fills FieldDefs (unless they were given) and the rows (AppendRow).
  virtual void InternalOpen() = 0;
  virtual void InternalClose() {}
  // Re-reads the rows: ClearRows, then AppendRow.
  virtual void InternalRefresh() {}
  // Fills FieldDefs without opening (FieldDefs()->Update()).
  virtual void InternalInitFieldDefs() {}
  // Writes an insert or an update; may assign values of its own with SetNewValue. Raising
  // leaves the dataset in its edit state.
  virtual void InternalPost(TRowUpdate& Update) {}
  virtual void InternalDelete(TRowUpdate& Update) {}
  virtual bool GetCanModify() const { return true; }
  // Whether the row the fields now read belongs in the visible rows; the default asks
  // OnFilterRecord while Filtered. FilterActive says whether to ask at all.
  virtual bool AcceptRecord();
  virtual bool FilterActive() const { return FFiltered && FOnFilterRecord.Assigned(); }
  // Called in insert state before AfterInsert; the default fires OnNewRecord.
  virtual void DoOnNewRecord() { DoEvent(FOnNewRecord); }

  // ---- rows
  int AppendRow(const TRowWriter& Row);  // the new row's id
  void ClearRows();
  void ReserveRows(int Count);
  int ColumnCount() const { return FColumnCount; }
  TCellView RowCell(int RowId, int Col) const;
  // Filters and sorts the rows again (after a change of what AcceptRecord decides), keeping the
  // current record when it stays visible (unless ToFirst), else going to the first.
  void RefilterRows(bool ToFirst = false);

  // ---- cached updates (batch mode): Post and Delete mark rows, ApplyCachedUpdates writes them
  // in the order they were first changed, CancelCachedUpdates restores them.
  bool CachedUpdates() const { return FCachedUpdates; }
  void SetCachedUpdates(bool Value);
  void ApplyCachedUpdates();
  void CancelCachedUpdates();
  int PendingUpdateCount() const { return static_cast<int>(FPending.size()); }

  void CheckActive() const;
  void CheckInactive() const;
  void SetState(TDataSetState Value);

private:
  friend class TField;
  friend class TFields;
  friend class TFieldDefs;
  friend class TDataSource;
  friend class TDataLink;
  friend class TRowUpdate;
  friend class TDataSetReadScope;
  // A row carved from the dataset's row pool goes with the pool; any other was allocated alone.
  struct TRowDeleter {
    bool Pooled = false;
    void operator()(Byte* p) const {
      if (!Pooled) std::free(p);
    }
  };
  using TRowPtr = std::unique_ptr<Byte, TRowDeleter>;
  struct TJournal;
  struct TSortKey {
    TField* Field;
    bool Descending;
  };
  enum TWindowMode { wmKeepPlace, wmLeast, wmCentre, wmTop, wmBottom };

  // opening and fields
  void OpenCursor();
  void CloseCursor();
  void CreateDefaultFields();
  void BindFields();
  void DestroyDefaultFields();
  void AddField(TField* Field);
  void RemoveField(TField* Field);
  std::vector<TSortKey> ParseSort(const String& Text) const;

  // rows and order
  const Byte* RowData(int RowId) const;
  // The row as the store has it: its original while cached updates hold a change, else RowData.
  const Byte* StoredRow(int RowId) const;
  // Forgets a deleted row: no data, no original, no status, out of the natural order.
  void DropRow(int RowId);
  int CurrentRowId() const;  // the row under the cursor, -1 when none
  int ReadRowId() const;     // the row fields read now
  int PositionOf(int RowId) const;
  void InvalidatePositions() { FPositionsValid = false; }
  void RebuildOrder();
  void SortIds(std::vector<int>& Ids);
  int IdFromBookmark(const TBookmark& Bookmark) const;
  bool RowIsVisible(int RowId) const;
  bool FindRow(const std::vector<TField*>& Fields, const Variant& Values, TLocateOptions Options, int& Pos);

  // the buffer window
  int WindowLength() const;
  int PlaceWindow(int NewPos, TWindowMode Mode);  // returns how far the window moved
  void CheckWindow() const;    // asserts the window lies within the rows and holds the current record
  void CheckRowStore() const;  // asserts the row blocks, their statuses and the orders agree
  // Clears Bof/Eof, places the window (keeping the current record's place by default) and
  // sends deDataSetChange.
  void AfterRowsChanged(int NewPos, TWindowMode Mode = wmKeepPlace);
  // AfterRowsChanged at the row's new position, or at FallbackPos (kept inside the rows) when
  // the row is no longer visible.
  void ReturnTo(int RowId, int FallbackPos);
  // Moves to a found record, centring the window on it, and tells the links and AfterScroll.
  void CentreOn(int Pos);

  // values
  // The stored value a field reads now (Null without a record), read in place; false for a
  // value that is no stored cell (a calculated field, one being validated).
  bool FieldCell(const TField* Field, TCellView& Cell) const;
  Variant GetFieldValue(const TField* Field) const;
  Variant GetFieldValueAs(const TField* Field, TDataSetState State) const;  // old, new, current value
  void SetFieldValue(TField* Field, const Variant& Value);
  bool ReadsEditBuffer(int RowId) const;
  TCellView EditCell(int Col) const;  // the value the edit buffer gives a column
  std::vector<Variant>& CalcValues(int RowId) const;
  void ComputeCalcFields(int RowId, std::vector<Variant>& Target) const;
  void RecalcEditRow();

  // editing
  void BeginInsertAppend();
  // Adds an empty row at position Pos (the end: appends) and starts editing it there.
  void StartInsertRow(int Pos, TWindowMode Mode);
  void EndInsertAppend();
  int RemoveInsertRow();  // the position the row had
  void RestoreActiveRecord() { FActiveRecord = FCurPos - FWinFirst; }
  void StartEdit(int RowId, bool Inserting);
  void FinishEdit();
  void WritePost();
  void WriteDelete();
  void CheckRequiredFields();
  void CheckCanModify() const;
  template <class F> void CheckOperation(F&& Operation, const TDataSetErrorEvent& ErrorEvent);
  void ApplyOverrides(int RowId, const TRowUpdate& Update);
  void ReplaceRow(int RowId, TRowPtr Row);
  static TRowPtr CopyRow(const Byte* Row, int Columns);
  TRowPtr PostedRow(const TRowUpdate& Update);
  // Whether a post gives column Col a value (the edit assigned it, or the store returned one).
  bool PostGives(const TRowUpdate& Update, int Col) const;
  // Whether every value a post gives keeps its size on both sides (no text or blob), so the
  // row's block can take them where it stands; PatchRow puts them in.
  bool PatchesInPlace(const TRowUpdate& Update) const;
  void PatchRow(Byte* Row, const TRowUpdate& Update) const;
  bool CellsDiffer(const Byte* OldRow, const TCellView& New, int Col) const;

  // journal
  // Keeps the row as it is before its first change since the rollback point; Replaced, a block
  // the row no longer holds, is kept instead of a copy.
  void JournalTouch(int RowId, TRowPtr* Replaced = nullptr);

  // links
  void AddDataSource(TDataSource* Source);
  void RemoveDataSource(TDataSource* Source);
  void UpdateBufferCount();

  void DoEvent(const TDataSetNotifyEvent& Event) { if (Event) Event(this); }

  // state
  TDataSetState FState = dsInactive;
  bool FModified = false;
  bool FBof = true, FEof = true;
  bool FDefaultFields = false;
  bool FStreamedActive = false;
  bool FAutoCalcFields = true;
  std::unique_ptr<TFields> FFields;
  std::unique_ptr<TFieldDefs> FFieldDefs;
  int FCalcCount = 0;
  bool FHasCalcFields = false;

  // rows
  int FColumnCount = 0;
  std::vector<TRowPtr> FRows;     // by id; null for a deleted row or the row being inserted
  // The fetched rows are carved one after another from a few large pieces rather than
  // allocated one by one: filling and clearing a large result costs a few allocations instead
  // of one per row, and its rows lie together for the walks that read them in order. The
  // pieces go when the rows are cleared (a row replaced meanwhile keeps its place until then).
  struct TRowPiece {
    std::unique_ptr<Byte[]> Data;
    std::size_t Size = 0, Used = 0;
  };
  std::vector<TRowPiece> FRowPool;
  Byte* PooledBlock(std::size_t Size);
  std::vector<Byte> FStatus;      // by id: pending-update flags
  std::vector<int> FBase;         // ids in their natural order (fetch order, inserts in place)
  std::vector<int> FOrder;        // visible ids in the current order
  mutable std::vector<int> FPositions;  // id -> position in FOrder, -1 when not visible
  mutable bool FPositionsValid = false;
  int FCurPos = 0;

  // window
  int FBufferCount = 1;
  int FWinFirst = 0;
  int FActiveRecord = 0;

  // edit buffer
  bool FEditing = false;
  int FEditRowId = -1;
  bool FInsertRowPending = false;  // the edit row is an insert not yet posted
  std::vector<TCellValue> FEdit;     // the values assigned since the edit began
  std::vector<Byte> FEditAssigned;  // by column: whether FEdit holds its value
  TRowWriter FPostRow;              // builds the row a post writes, its buffers kept
  mutable std::vector<Variant> FEditCalc;

  // reading another row without moving (filter, calc, locate, sort)
  int FReadRow = -1;
  std::vector<Variant>* FCalcTarget = nullptr;
  mutable std::unordered_map<int, std::vector<Variant>> FCalcCache;

  // cached updates
  bool FCachedUpdates = false;
  std::unordered_map<int, TRowPtr> FOriginal;  // rows as the store has them
  std::vector<int> FPending;                   // ids in the order first changed
  std::unique_ptr<TJournal> FJournal;

  // controls
  int FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;
  TDataEvent FEnableEvent = deDataSetChange;
  std::vector<TDataSource*> FDataSources;

  // filter and sort
  String FFilter;
  bool FFiltered = false;
  TFilterOptions FFilterOptions;
  String FSort;
  std::vector<TSortKey> FSortKeys;

  // events
  TDataSetNotifyEvent FBeforeOpen, FAfterOpen, FBeforeClose, FAfterClose, FBeforeInsert, FAfterInsert,
      FBeforeEdit, FAfterEdit, FBeforePost, FAfterPost, FBeforeCancel, FAfterCancel, FBeforeDelete,
      FAfterDelete, FBeforeScroll, FAfterScroll, FBeforeRefresh, FAfterRefresh, FOnCalcFields, FOnNewRecord;
  TDataSetErrorEvent FOnPostError, FOnDeleteError;
  TFilterRecordEvent FOnFilterRecord;
};

// Holds a dataset's controls still for a scope (DisableControls) and lets them follow it
// again however the scope ends; no dataset, nothing held.
class TControlsHold {
public:
  explicit TControlsHold(TDataSet* Data) : FData(Data) {
    if (FData) FData->DisableControls();
  }
  ~TControlsHold() {
    if (FData) FData->EnableControls();
  }
  TControlsHold(const TControlsHold&) = delete;
  TControlsHold& operator=(const TControlsHold&) = delete;

private:
  TDataSet* FData;
};

// Walks a dataset with its controls held and puts it back on the record it stood on, however
// the walk ends; the controls see only where it ends. Without RestorePosition only the controls
// come back. Going back is a courtesy: a record gone meanwhile leaves the dataset where the walk
// ended, and the walk's own error, if any, is what reaches the caller.
class TWalkScope {
public:
  explicit TWalkScope(TDataSet* Data, bool RestorePosition = true);
  ~TWalkScope();
  TWalkScope(const TWalkScope&) = delete;
  TWalkScope& operator=(const TWalkScope&) = delete;

private:
  TDataSet* FData;
  TDataSet::TBookmark FBookmark;  // '' when the position is not restored
  TControlsHold FHold;            // released after the way back
};
