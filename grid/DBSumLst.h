#pragma once
// Running aggregates over the records of one dataset, for the grid's footer rows: each
// aggregate is computed once by walking the dataset and then kept up to date from the
// dataset's own events (edit, insert, post, delete, close, filter change), so a repaint never
// walks the records. The engine can also number the records of a dataset that has no record
// numbers of its own (virtual records), for the grid's vertical scroll bar.
//
// Amounts are Currency: each change evaluates its formula in extended precision on the
// field's value times 10000 and rounds once, half to even.
#include "core/Classes.h"
#include "core/Component.h"
#include "core/Currency.h"
#include "data/DB.h"
#include "core/Variant.h"

#include <memory>
#include <span>

class TDBSumListProducer;

KELM_ENUM(TGroupOperation, goSum, goAvg, goCount)

// ================================================================ one aggregate

class TDBSum : public TCollectionItem {
  KELM_CLASS(TDBSum, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("FieldName", &TDBSum::FieldName, &TDBSum::SetFieldName);
    b.Prop("GroupOperation", &TDBSum::GroupOperation, &TDBSum::SetGroupOperation).Default(goSum);
  }
public:
  explicit TDBSum(TCollection* Collection);
  void Assign(TPersistent* Source) override;

  // ---- published
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TGroupOperation GroupOperation() const { return FGroupOperation; }
  void SetGroupOperation(TGroupOperation Value);

  // ---- state
  // What footers show; for goAvg the running total over the non-null count.
  Currency ResultValue() const { return FResultValue; }
  void SetResultValue(Currency Value) { FResultValue = Value; }
  // The current record's contribution when its edit or insert started.
  Currency ValueBeforeChange() const { return FValueBeforeChange; }
  void SetValueBeforeChange(Currency Value) { FValueBeforeChange = Value; }
  int NonNullCount() const { return FNonNullCount; }
  Currency AvgRunningTotal() const { return FAvgRunningTotal; }
  const Variant& VariantBeforeChange() const { return FVariantBeforeChange; }
  // Takes part in computations: a count, or an aggregate of a named field.
  bool Qualifies() const { return FGroupOperation == goCount || !FFieldName.empty(); }

private:
  friend class TDBSumListProducer;
  void Reset();
  void UpdateAverage();

  String FFieldName;
  TGroupOperation FGroupOperation = goSum;
  Currency FValueBeforeChange;
  int FNonNullCount = 0;
  Currency FAvgRunningTotal;
  Variant FVariantBeforeChange;
  Currency FResultValue;
};

class TDBSumCollection : public TCollection {
  KELM_CLASS(TDBSumCollection, TCollection)
public:
  explicit TDBSumCollection(TDBSumListProducer* Owner);
  TDBSum* Items(int Index) const { return static_cast<TDBSum*>(TCollection::Items(Index)); }
  TDBSum* operator[](int Index) const { return Items(Index); }
  TDBSum* Add() { return static_cast<TDBSum*>(TCollection::Add()); }
  TPersistent* GetOwner() const override;
  TDBSumListProducer* Producer() const { return FOwner; }
  // The first item of the operation whose field name equals AFieldName regardless of case.
  TDBSum* FindSum(TGroupOperation Operation, const String& AFieldName) const;

protected:
  void Update(TCollectionItem* Item) override;

private:
  TDBSumListProducer* FOwner;
};

// ================================================================ the engine

class TDBSumListProducer : public TPersistent {
  KELM_CLASS(TDBSumListProducer, TPersistent)
public:
  explicit TDBSumListProducer(TComponent* AOwner);
  ~TDBSumListProducer() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }
  TComponent* Owner() const { return FOwner; }

  // ---- settings
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  // The OnRecalcAll handler fills the results itself; the engine does not walk.
  bool ExternalRecalc() const { return FExternalRecalc; }
  void SetExternalRecalc(bool Value);
  bool VirtualRecords() const { return FVirtualRecords; }
  void SetVirtualRecords(bool Value);
  TDBSumCollection* SumCollection() const { return FSumCollection.get(); }
  void SetSumCollection(TDBSumCollection* Value) { FSumCollection->Assign(Value); }
  // Whether the engine computes while its owner is being designed.
  bool WorksAtDesignTime() const { return FWorksAtDesignTime; }

  // ---- events (Sender is the engine)
  TNotifyEvent SumListChanged;
  TNotifyEvent OnRecalcAll;
  TNotifyEvent OnAfterRecalcAll;

  // ---- state
  bool HandlersHooked() const { return FHandlersHooked; }
  bool Recalculating() const { return FRecalculating; }
  TDataSet* MasterDataSet() const { return FMasterDataSet; }
  const String& FilterSnapshot() const { return FFilterSnapshot; }
  bool FilteredSnapshot() const { return FFilteredSnapshot; }
  int LookupPosition() const { return FLookupPosition; }
  bool InsertPending() const { return FInsertPending; }
  // The bookmarks of all records in dataset order (virtual-records mode only).
  TStringList* VirtualRecordList() const { return FVirtualRecordList.get(); }

  // ---- operations
  virtual int CurrentRecordNumber();
  // Position of the bookmark in the virtual record list, -1 when absent; the search starts
  // where the previous one ended.
  virtual int IndexOfVirtualBookmark(const String& Bookmark);
  virtual void GoToRecordNumber(int RecNo);
  virtual bool HasRecordNumbers();
  virtual int RecordTotal();
  virtual void ResetSums();
  virtual void Recalculate();
  void StartSumming(bool Recalc);
  void StopSumming(bool Clear);
  // The owner finished loading: summing that was asked for while loading starts now.
  void Loaded();

protected:
  friend class TDBSumCollection;
  virtual void HandleAfterCancel(TDataSet* DataSet);
  virtual void HandleAfterClose(TDataSet* DataSet);
  virtual void HandleAfterEdit(TDataSet* DataSet);
  virtual void HandleAfterInsert(TDataSet* DataSet);
  virtual void HandleAfterOpen(TDataSet* DataSet);
  virtual void HandleAfterPost(TDataSet* DataSet);
  virtual void HandleAfterScroll(TDataSet* DataSet);
  virtual void HandleBeforeDelete(TDataSet* DataSet);
  // Applies a delete announced by BeforeDelete once the dataset really deleted the record.
  virtual void HandleAfterDelete(TDataSet* DataSet);
  virtual void HandleMasterAfterScroll(TDataSet* DataSet);
  virtual void HookDataSet();
  virtual void UnhookDataSet();
  void ItemsChanged();
  // Loading, or designing without WorksAtDesignTime: settings are only stored.
  bool Deferred() const;
  void SetWorksAtDesignTime(bool Value) { FWorksAtDesignTime = Value; }
  // Marks the dataset's handlers as replaced without touching them (a designed grid).
  void SetHandlersHooked(bool Value) { FHandlersHooked = Value; }
  bool VirtualMode() const;
  void NotifyChanged();

private:
  class TWatcher;
  struct TFieldRef;
  struct THandlerSlot;
  // A plain array, never destroyed: a sum list may outlive the program's other statics.
  static std::span<const THandlerSlot> HandlerSlots();
  // The qualifying items with their fields (FieldByName raises for an unknown name).
  std::vector<TFieldRef> QualifyingFields() const;
  void Walk(const std::vector<TFieldRef>& Items);
  void InsertVirtualBookmark(const String& Bookmark);
  void InstallHandlers();
  void RestoreHandlers();
  // The watched dataset or master is going away (its own members are already gone).
  void ComponentGone(TComponent* Component);

  TComponent* FOwner;
  std::unique_ptr<TWatcher> FWatcher;
  bool FActive = false;
  TDataSet* FDataSet = nullptr;
  bool FExternalRecalc = false;
  bool FVirtualRecords = false;
  std::unique_ptr<TDBSumCollection> FSumCollection;
  bool FWorksAtDesignTime = false;
  bool FHandlersHooked = false;
  bool FRecalculating = false;
  String FFilterSnapshot;
  bool FFilteredSnapshot = false;
  TDataSet* FMasterDataSet = nullptr;
  int FLookupPosition = -1;
  bool FInsertPending = false;
  std::unique_ptr<TStringList> FVirtualRecordList;

  // A delete announced by BeforeDelete and applied by AfterDelete.
  struct TPendingDelete {
    struct TEntry {
      int ItemID;
      Extended Value;  // v of the record, 0 for null
      bool NonNull;
    };
    bool Pending = false;
    std::vector<TEntry> Entries;
    String Bookmark;
  };
  TPendingDelete FPendingDelete;

  // The replaced handlers, and the engine's own.
  TDataSetNotifyEvent FSavedAfterEdit, FSavedAfterInsert, FSavedAfterOpen, FSavedAfterPost, FSavedAfterScroll,
      FSavedBeforeDelete, FSavedAfterDelete, FSavedAfterClose, FSavedAfterCancel, FSavedMasterAfterScroll;
  TDataSetNotifyEvent FOwnAfterEdit, FOwnAfterInsert, FOwnAfterOpen, FOwnAfterPost, FOwnAfterScroll,
      FOwnBeforeDelete, FOwnAfterDelete, FOwnAfterClose, FOwnAfterCancel, FOwnMasterAfterScroll;
};

// ================================================================ stand-alone component

class TDBSumList : public TComponent {
  KELM_CLASS(TDBSumList, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Active", &TDBSumList::Active, &TDBSumList::SetActive).Default(true);
    b.Prop("DataSet", &TDBSumList::DataSet, &TDBSumList::SetDataSet);
    b.Prop("ExternalRecalc", &TDBSumList::ExternalRecalc, &TDBSumList::SetExternalRecalc).Default(false);
    b.Prop("SumCollection", &TDBSumList::SumCollection, &TDBSumList::SetSumCollection);
    b.Prop("VirtualRecords", &TDBSumList::VirtualRecords, &TDBSumList::SetVirtualRecords).Default(false);
    b.Prop("SumListChanged", &TDBSumList::SumListChanged, &TDBSumList::SetSumListChanged);
    b.Prop("OnAfterRecalcAll", &TDBSumList::OnAfterRecalcAll, &TDBSumList::SetOnAfterRecalcAll);
    b.Prop("OnRecalcAll", &TDBSumList::OnRecalcAll, &TDBSumList::SetOnRecalcAll);
  }
public:
  explicit TDBSumList(TComponent* AOwner);
  ~TDBSumList() override;
  void Loaded() override;

  TDBSumListProducer* Producer() const { return FProducer.get(); }

  // ---- published, forwarded to the engine
  bool Active() const { return FProducer->Active(); }
  void SetActive(bool Value) { FProducer->SetActive(Value); }
  TDataSet* DataSet() const { return FProducer->DataSet(); }
  void SetDataSet(TDataSet* Value);
  bool ExternalRecalc() const { return FProducer->ExternalRecalc(); }
  void SetExternalRecalc(bool Value) { FProducer->SetExternalRecalc(Value); }
  TDBSumCollection* SumCollection() const { return FProducer->SumCollection(); }
  void SetSumCollection(TDBSumCollection* Value) { FProducer->SetSumCollection(Value); }
  bool VirtualRecords() const { return FProducer->VirtualRecords(); }
  void SetVirtualRecords(bool Value) { FProducer->SetVirtualRecords(Value); }
  const TNotifyEvent& SumListChanged() const { return FProducer->SumListChanged; }
  void SetSumListChanged(const TNotifyEvent& Value) { FProducer->SumListChanged = Value; }
  const TNotifyEvent& OnAfterRecalcAll() const { return FProducer->OnAfterRecalcAll; }
  void SetOnAfterRecalcAll(const TNotifyEvent& Value) { FProducer->OnAfterRecalcAll = Value; }
  const TNotifyEvent& OnRecalcAll() const { return FProducer->OnRecalcAll; }
  void SetOnRecalcAll(const TNotifyEvent& Value) { FProducer->OnRecalcAll = Value; }

  virtual void ResetSums() { FProducer->ResetSums(); }
  virtual void Recalculate() { FProducer->Recalculate(); }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::unique_ptr<TDBSumListProducer> FProducer;
};
