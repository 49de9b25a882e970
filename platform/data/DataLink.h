#pragma once
// How components follow a dataset: the data source they name, the data links through which
// grids and edits hear its events and keep their window of buffered records, the link of a
// data-aware edit to one field and the link of a detail dataset to its master.
// Declares TDataSource, TDataSetOrSource, TDataLink, TFieldDataLink and TMasterDataLink.
#include "data/DBTypes.h"

// ---------------------------------------------------------------- data source and links

class TDataSource : public TComponent {
  KELM_CLASS(TDataSource, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
    b.Prop("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
    b.Prop("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
    b.Prop("OnDataChange", &TDataSource::OnDataChange, &TDataSource::SetOnDataChange);
    b.Prop("OnStateChange", &TDataSource::OnStateChange, &TDataSource::SetOnStateChange);
    b.Prop("OnUpdateData", &TDataSource::OnUpdateData, &TDataSource::SetOnUpdateData);
  }
public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  TDataSetState State() const { return FState; }
  // Puts the dataset into edit state when AutoEdit allows it.
  void Edit();
  bool IsLinkedTo(TDataSet* DataSet) const;
  int DataLinkCount() const { return static_cast<int>(FDataLinks.size()); }

  const TDataChangeEvent& OnDataChange() const { return FOnDataChange; }
  void SetOnDataChange(const TDataChangeEvent& Value) { FOnDataChange = Value; }
  const TNotifyEvent& OnStateChange() const { return FOnStateChange; }
  void SetOnStateChange(const TNotifyEvent& Value) { FOnStateChange = Value; }
  const TNotifyEvent& OnUpdateData() const { return FOnUpdateData; }
  void SetOnUpdateData(const TNotifyEvent& Value) { FOnUpdateData = Value; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent Event, NativeInt Info);
  void NotifyDataLinks(TDataEvent Event, NativeInt Info);
  void UpdateState();
  void SetState(TDataSetState Value);
  void AddDataLink(TDataLink* Link);
  void RemoveDataLink(TDataLink* Link);

  TDataSet* FDataSet = nullptr;
  bool FAutoEdit = true;
  bool FEnabled = true;
  TDataSetState FState = dsInactive;
  std::vector<TDataLink*> FDataLinks;
  TDataChangeEvent FOnDataChange;
  TNotifyEvent FOnStateChange;
  TNotifyEvent FOnUpdateData;
};

// A component's reference to the dataset it reads, given either directly or through a data
// source: setting one clears the other. The holder hears when either is freed and passes that
// on to Notification, which forgets it.
class TDataSetOrSource {
public:
  explicit TDataSetOrSource(TComponent* Holder) : FHolder(Holder) {}
  TDataSetOrSource(const TDataSetOrSource&) = delete;
  TDataSetOrSource& operator=(const TDataSetOrSource&) = delete;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  void Notification(TComponent* AComponent, TOperation Operation);

private:
  TComponent* FHolder;
  TDataSet* FDataSet = nullptr;
  TDataSource* FDataSource = nullptr;
};

// How a control follows a dataset: its notifications, and a window of BufferCount records of
// which ActiveRecord is the current one.
class TDataLink : public TObject {
public:
  TDataLink() = default;
  ~TDataLink() override;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  bool DataSourceFixed() const { return FDataSourceFixed; }
  void SetDataSourceFixed(bool Value) { FDataSourceFixed = Value; }
  TDataSet* DataSet() const;
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // A link that shows data on screen waits, while the dataset's controls are disabled, until
  // they come back before it follows a change of the dataset's state (it hears the change as
  // deDisabledStateChange, Info 1 active, 0 inactive). Any other link (a master link, say)
  // follows the state at once, so nothing depends on a dataset that closed meanwhile.
  bool VisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }

  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  // Index of the current record in this link's window; writable to read another buffered record.
  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  int RecordCount() const;  // records in this link's window
  bool Bof() const;
  bool Eof() const;

  // Puts the dataset into edit state through the data source; true when the link is editing.
  bool Edit();
  // Asks this link's control to store its value (UpdateData), guarded against re-entry.
  void UpdateRecord();
  virtual int MoveBy(int Distance);
  virtual void DataEvent(TDataEvent Event, NativeInt Info);
  // An action offered to the link's control acts on the link's data source when it accepts
  // the source as its target (a data-aware action: next record, post, ...); false otherwise.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int Distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  // The dataset asks for the control of *Field; a link that takes the focus clears it.
  virtual void FocusControl(TField** Field) {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* Field) {}
  virtual void UpdateData() {}

private:
  friend class TDataSource;
  friend class TDataSet;
  void UpdateState();
  void SetActive(bool Value);
  void SetEditing(bool Value);
  void UpdateRange();  // keeps the window inside the dataset's, holding the current record

  TDataSource* FDataSource = nullptr;
  bool FDataSourceFixed = false;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FVisualControl = false;
  bool FUpdating = false;
  int FBufferCount = 1;
  int FFirst = 0;       // position of this window's first record
  int FLastActive = 0;  // the current record's place in the window at the last event
};

// A link to one field of the dataset, for data-aware edits.
class TFieldDataLink : public TDataLink {
public:
  TFieldDataLink() { SetVisualControl(true); }
  TField* Field() const { return FField; }
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }
  bool CanModify() const;
  bool Editing() const { return FEditing; }
  bool Edit();
  // Marks the control's value as changed, so UpdateData asks for it.
  void Modified() { FModified = true; }
  bool IsModified() const { return FModified; }
  // Shows the field's value again, dropping the control's change.
  void Reset() { RecordChanged(nullptr); }

  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;

protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField** Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

private:
  void UpdateField();
  void SetField(TField* Value);
  TField* FField = nullptr;
  String FFieldName;
  TComponent* FControl = nullptr;
  bool FEditing = false;
  bool FModified = false;
};

// The link of a detail dataset to its master: tells the detail when the master's key fields
// change, or when the master goes away.
class TMasterDataLink : public TDataLink {
public:
  explicit TMasterDataLink(TDataSet* DataSet) : FDetail(DataSet) {}
  TDataSet* Detail() const { return FDetail; }
  const String& FieldNames() const { return FFieldNames; }
  void SetFieldNames(const String& Value);
  const std::vector<TField*>& Fields() const { return FFields; }

  TNotifyEvent OnMasterChange;
  TNotifyEvent OnMasterDisable;

protected:
  void ActiveChanged() override;
  void CheckBrowseMode() override;
  void LayoutChanged() override { ActiveChanged(); }
  void RecordChanged(TField* Field) override;

private:
  TDataSet* FDetail;
  String FFieldNames;
  std::vector<TField*> FFields;
};
