// TDataSource and the data links: how controls follow a dataset.
#include "data/DataLink.h"

#include "core/BasicAction.h"
#include "core/ClassBuilder.h"
#include "data/DB.h"
#include "core/Scope.h"

#include <algorithm>

// ---------------------------------------------------------------- TDataSource

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  Destroying();
  FOnStateChange = TNotifyEvent();
  FOnDataChange = TDataChangeEvent();
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) RemoveDataLink(FDataLinks.back());
}

void TDataSource::SetDataSet(TDataSet* value) {
  if (value == FDataSet) return;
  if (FDataSet) {
    FDataSet->RemoveDataSource(this);
    FDataSet->RemoveFreeNotification(this);
  }
  FDataSet = value;
  if (value) {
    value->AddDataSource(this);
    value->FreeNotification(this);
  }
  UpdateState();
}

void TDataSource::SetEnabled(bool value) {
  FEnabled = value;
  UpdateState();
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FDataSet) SetDataSet(nullptr);
}

void TDataSource::UpdateState() {
  SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState value) {
  if (FState == value) return;
  TDataSetState prior = FState;
  FState = value;
  NotifyDataLinks(deUpdateState, 0);
  if (ComponentState().Contains(csDestroying)) return;
  if (FOnStateChange) FOnStateChange(this);
  if (prior == dsInactive && FOnDataChange) FOnDataChange(this, nullptr);
}

void TDataSource::DataEvent(TDataEvent event, NativeInt info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  // A state change while the dataset's controls are disabled reaches the links whatever state
  // this source still shows.
  if (event == deDisabledStateChange) {
    NotifyDataLinks(event, info);
    return;
  }
  if (FState == dsInactive) return;
  NotifyDataLinks(event, info);
  switch (event) {
    case deFieldChange:
      if (FOnDataChange) FOnDataChange(this, reinterpret_cast<TField*>(info));
      break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (FOnDataChange) FOnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      if (FOnUpdateData) FOnUpdateData(this);
      break;
    default: break;
  }
}

void TDataSource::NotifyDataLinks(TDataEvent event, NativeInt info) {
  std::vector<TDataLink*> links = FDataLinks;
  for (TDataLink* l : links)
    if (std::find(FDataLinks.begin(), FDataLinks.end(), l) != FDataLinks.end()) l->DataEvent(event, info);
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse && FDataSet) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* dataSet) const { return dataSet && FDataSet == dataSet; }

void TDataSource::AddDataLink(TDataLink* link) {
  FDataLinks.push_back(link);
  if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* link) {
  FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), link), FDataLinks.end());
  link->FDataSource = nullptr;
  link->UpdateState();
  if (FDataSet) FDataSet->UpdateBufferCount();
}

// ---------------------------------------------------------------- TDataSetOrSource

void TDataSetOrSource::SetDataSet(TDataSet* Value) {
  AssignReference(FHolder, FDataSet, Value);
  if (Value) AssignReference<TDataSource>(FHolder, FDataSource, nullptr);
}

void TDataSetOrSource::SetDataSource(TDataSource* Value) {
  AssignReference(FHolder, FDataSource, Value);
  if (Value) AssignReference<TDataSet>(FHolder, FDataSet, nullptr);
}

void TDataSetOrSource::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation != opRemove) return;
  if (AComponent == FDataSet) FDataSet = nullptr;
  if (AComponent == FDataSource) FDataSource = nullptr;
}

// ---------------------------------------------------------------- TDataLink

TDataLink::~TDataLink() {
  FActive = false;
  FEditing = false;
  if (FDataSource) {
    TDataSource* s = FDataSource;
    s->FDataLinks.erase(std::remove(s->FDataLinks.begin(), s->FDataLinks.end(), this), s->FDataLinks.end());
    FDataSource = nullptr;
    if (s->FDataSet) s->FDataSet->UpdateBufferCount();
  }
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* value) {
  if (value == FDataSource) return;
  if (FDataSourceFixed) DatabaseError("The data source of this link cannot be changed");
  if (FDataSource) FDataSource->RemoveDataLink(this);
  FDataSource = value;
  if (value) value->AddDataLink(this);
  UpdateState();
}

void TDataLink::UpdateState() {
  SetActive(FDataSource && FDataSource->State() != dsInactive);
  TDataSetState s = FDataSource ? FDataSource->State() : dsInactive;
  SetEditing(FActive && (s == dsEdit || s == dsInsert || s == dsSetKey) && !FReadOnly);
}

void TDataLink::SetActive(bool value) {
  if (FActive == value) return;
  FActive = value;
  FFirst = 0;
  FLastActive = 0;
  if (value) {
    TDataSet* ds = DataSet();
    FFirst = ds->FWinFirst;
    FLastActive = ds->FCurPos - FFirst;
    UpdateRange();
  }
  ActiveChanged();
}

void TDataLink::SetEditing(bool value) {
  if (FEditing == value) return;
  FEditing = value;
  EditingChanged();
}

void TDataLink::SetReadOnly(bool value) {
  if (FReadOnly == value) return;
  FReadOnly = value;
  UpdateState();
}

void TDataLink::SetBufferCount(int value) {
  value = std::max(value, 1);
  if (FBufferCount == value) return;
  FBufferCount = value;
  if (TDataSet* ds = DataSet()) ds->UpdateBufferCount();
  UpdateRange();
}

void TDataLink::UpdateRange() {
  TDataSet* ds = FActive ? DataSet() : nullptr;
  if (!ds || !ds->Active()) return;
  int wl = ds->WindowLength();
  if (wl == 0) {
    FFirst = 0;
    return;
  }
  int len = std::min(FBufferCount, wl);
  int cur = ds->FCurPos, wf = ds->FWinFirst;
  int lo = std::max(wf, cur - len + 1), hi = std::min(wf + wl - len, cur);
  FFirst = std::clamp(FFirst, lo, hi);
}

int TDataLink::RecordCount() const {
  TDataSet* ds = FActive ? DataSet() : nullptr;
  return ds && ds->Active() ? std::min(FBufferCount, ds->WindowLength()) : 0;
}

int TDataLink::ActiveRecord() const {
  TDataSet* ds = FActive ? DataSet() : nullptr;
  if (!ds || !ds->Active() || ds->FOrder.empty()) return 0;
  const_cast<TDataLink*>(this)->UpdateRange();
  return ds->FWinFirst + ds->FActiveRecord - FFirst;
}

void TDataLink::SetActiveRecord(int value) {
  TDataSet* ds = FActive ? DataSet() : nullptr;
  if (!ds || !ds->Active()) return;
  UpdateRange();
  ds->SetActiveRecord(FFirst - ds->FWinFirst + value);
}

bool TDataLink::Bof() const {
  TDataSet* ds = DataSet();
  return !ds || ds->Bof();
}

bool TDataLink::Eof() const {
  TDataSet* ds = DataSet();
  return !ds || ds->Eof();
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  TRestore updating(FUpdating, true);
  UpdateData();
}

int TDataLink::MoveBy(int distance) {
  TDataSet* ds = DataSet();
  return ds ? ds->MoveBy(distance) : 0;
}

bool TDataLink::ExecuteAction(TBasicAction* Action) { return Action && Action->ActOn(FDataSource, true); }

bool TDataLink::UpdateAction(TBasicAction* Action) { return Action && Action->ActOn(FDataSource, false); }

void TDataLink::DataEvent(TDataEvent event, NativeInt info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (event == deDisabledStateChange && !FVisualControl) {
    // The data source still reports the state from before the hold: the dataset's own counts.
    TDataSet* ds = DataSet();
    TDataSetState s = info != 0 && ds && FDataSource->Enabled() ? ds->State() : dsInactive;
    SetActive(s != dsInactive);
    SetEditing(FActive && (s == dsEdit || s == dsInsert || s == dsSetKey) && !FReadOnly);
    return;
  }
  if (!FActive) return;
  switch (event) {
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      TDataSet* ds = DataSet();
      int old = FFirst;
      if (event != deDataSetScroll) {
        // The rows changed: keep the current record at the place it had in this window.
        int len = std::max(1, std::min(FBufferCount, ds->WindowLength()));
        FFirst = ds->FCurPos - std::clamp(FLastActive, 0, len - 1);
      }
      UpdateRange();
      FLastActive = ds->FCurPos - FFirst;
      if (event == deDataSetScroll) DataSetScrolled(FFirst - old);
      else if (event == deDataSetChange) DataSetChanged();
      else LayoutChanged();
      break;
    }
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: {
      // Once a link took the request (cleared the field), the others are not asked.
      auto** field = reinterpret_cast<TField**>(info);
      if (field && *field) FocusControl(field);
      break;
    }
    default: break;
  }
}

// ---------------------------------------------------------------- TFieldDataLink

void TFieldDataLink::SetFieldName(const String& value) {
  if (value == FFieldName) return;
  FFieldName = value;
  UpdateField();
}

void TFieldDataLink::UpdateField() {
  if (Active() && !FFieldName.empty()) {
    FField = nullptr;
    SetField(DataSet()->FieldByName(FFieldName));
  } else {
    SetField(nullptr);
  }
}

void TFieldDataLink::SetField(TField* value) {
  if (FField == value) return;
  FField = value;
  EditingChanged();
  RecordChanged(nullptr);
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

bool TFieldDataLink::Edit() {
  if (CanModify()) TDataLink::Edit();
  return FEditing;
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::EditingChanged() {
  bool editing = TDataLink::Editing() && CanModify();
  if (editing == FEditing) return;
  FEditing = editing;
  FModified = false;
  if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLink::RecordChanged(TField* field) {
  if (field && field != FField) return;
  if (OnDataChange) OnDataChange(this);
  FModified = false;
}

void TFieldDataLink::UpdateData() {
  if (!FModified) return;
  if (FField && OnUpdateData) OnUpdateData(this);
  FModified = false;
}

void TFieldDataLink::FocusControl(TField** field) {
  // The control takes the focus itself (the GUI layer hands it over); the request is consumed.
  if (field && *field && *field == FField && FControl) *field = nullptr;
}

// ---------------------------------------------------------------- TMasterDataLink

void TMasterDataLink::SetFieldNames(const String& value) {
  if (value == FFieldNames) return;
  FFieldNames = value;
  ActiveChanged();
}

void TMasterDataLink::ActiveChanged() {
  FFields.clear();
  if (Active()) {
    try {
      DataSet()->GetFieldList(FFields, FFieldNames);
    } catch (...) {
      FFields.clear();
      throw;
    }
  }
  if (!FDetail->Active() || FDetail->ComponentState().Contains(csDestroying)) return;
  if (Active() && !FFields.empty()) {
    if (OnMasterChange) OnMasterChange(this);
  } else if (OnMasterDisable) {
    OnMasterDisable(this);
  }
}

void TMasterDataLink::CheckBrowseMode() {
  if (FDetail->Active()) FDetail->CheckBrowseMode();
}

void TMasterDataLink::RecordChanged(TField* field) {
  if (!DataSource() || DataSource()->State() == dsSetKey || !FDetail->Active() || FFields.empty()) return;
  if (field && std::find(FFields.begin(), FFields.end(), field) == FFields.end()) return;
  if (OnMasterChange) OnMasterChange(this);
}

// ---------------------------------------------------------------- publishing

KELM_PUBLISH(TDataSource) { Published(b); }
