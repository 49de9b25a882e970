#include "grid/DBSumLst.h"

#include "core/ClassBuilder.h"
#include "grid/GridUtilsEh.h"
#include "core/SysUtils.h"
#include "core/Scope.h"
#include "data/DB.h"

namespace {

constexpr Int64 kOne = Currency::kScale;  // one record in a count, in ten-thousandths

// How a field's value becomes an amount, decided once per field.
enum class TValueKind { Exact, Number, Text, None };

TValueKind KindOf(TField* Field) {
  if (!Field) return TValueKind::None;
  if (dynamic_cast<TBCDField*>(Field)) return TValueKind::Exact;
  if (dynamic_cast<TNumericField*>(Field) || dynamic_cast<TDateTimeField*>(Field)) return TValueKind::Number;
  if (dynamic_cast<TStringField*>(Field)) return TValueKind::Text;
  return TValueKind::None;
}

// Reads the record's value times the currency scale in extended precision into V (0 for a null field) and
// answers whether the field has a value. Exact amounts are taken as they are instead of
// through a double; a text that is no number counts as 0, so a sum footer on a text column
// cannot break the dataset's events.
bool ReadScaled(TField* Field, TValueKind Kind, Extended& V) {
  V = 0;
  if (!Field || Field->IsNull()) return false;
  switch (Kind) {
    case TValueKind::Exact: V = static_cast<Extended>(Field->AsCurrency().Value); break;
    case TValueKind::Number: V = static_cast<Extended>(Field->AsFloat()) * Currency::kScale; break;
    case TValueKind::Text:
      if (TryStrToFloat(Field->AsString(), V)) V *= Currency::kScale;
      else V = 0;
      break;
    case TValueKind::None: break;
  }
  return true;
}

// Rounds once, half to even, to whole ten-thousandths.
Currency RoundRaw(Extended Raw) { return Currency::FromRaw(Round(Raw)); }

Extended Raw(Currency C) { return static_cast<Extended>(C.Value); }

bool IsDestroying(const TComponent* C) { return C && C->ComponentState().Contains(csDestroying); }

}  // namespace

// ================================================================ TDBSum

KELM_PUBLISH(TDBSum) { Published(b); }

TDBSum::TDBSum(TCollection* Collection) : TCollectionItem(Collection) {}

void TDBSum::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDBSum*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetGroupOperation(src->GroupOperation());
  SetFieldName(src->FieldName());
  FValueBeforeChange = src->FValueBeforeChange;
  FResultValue = src->FResultValue;
}

void TDBSum::SetFieldName(const String& Value) {
  if (Value == FFieldName) return;
  FFieldName = Value;
  Changed(false);
}

void TDBSum::SetGroupOperation(TGroupOperation Value) {
  if (Value == FGroupOperation) return;
  FGroupOperation = Value;
  Changed(false);
}

void TDBSum::Reset() {
  FResultValue = Currency();
  FValueBeforeChange = Currency();
  FAvgRunningTotal = Currency();
  FNonNullCount = 0;
}

void TDBSum::UpdateAverage() {
  FResultValue = FNonNullCount == 0 ? Currency() : RoundRaw(Raw(FAvgRunningTotal) / FNonNullCount);
}

// ================================================================ TDBSumCollection

KELM_PUBLISH(TDBSumCollection) {}

TDBSumCollection::TDBSumCollection(TDBSumListProducer* Owner) : TCollection(TDBSum::StaticClass()), FOwner(Owner) {}

TPersistent* TDBSumCollection::GetOwner() const { return FOwner; }

TDBSum* TDBSumCollection::FindSum(TGroupOperation Operation, const String& AFieldName) const {
  for (int i = 0; i < Count(); ++i) {
    TDBSum* s = Items(i);
    if (s->GroupOperation() == Operation && AnsiSameText(s->FieldName(), AFieldName)) return s;
  }
  return nullptr;
}

void TDBSumCollection::Update(TCollectionItem*) {
  if (FOwner) FOwner->ItemsChanged();
}

// ================================================================ the engine

// Tells the engine when the dataset or its master is freed, so it never touches them after.
class TDBSumListProducer::TWatcher : public TComponent {
public:
  explicit TWatcher(TDBSumListProducer* AProducer) : TComponent(nullptr), FProducer(AProducer) {}

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) FProducer->ComponentGone(AComponent);
  }

private:
  TDBSumListProducer* FProducer;
};

struct TDBSumListProducer::TFieldRef {
  TDBSum* Item;
  TField* Field;  // nullptr for a count of all records
  TValueKind Kind;
  // The current record's value times the currency scale (0 for null); whether it has one.
  bool Read(Extended& V) const { return ReadScaled(Field, Kind, V); }
};

KELM_PUBLISH(TDBSumListProducer) {}

TDBSumListProducer::TDBSumListProducer(TComponent* AOwner)
    : FOwner(AOwner),
      FWatcher(std::make_unique<TWatcher>(this)),
      FActive(true),
      FSumCollection(std::make_unique<TDBSumCollection>(this)),
      FVirtualRecordList(std::make_unique<TStringList>()) {
  FOwnAfterEdit = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleAfterEdit);
  FOwnAfterInsert = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleAfterInsert);
  FOwnAfterOpen = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleAfterOpen);
  FOwnAfterPost = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleAfterPost);
  FOwnAfterScroll = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleAfterScroll);
  FOwnBeforeDelete = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleBeforeDelete);
  FOwnAfterDelete = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleAfterDelete);
  FOwnAfterClose = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleAfterClose);
  FOwnAfterCancel = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleAfterCancel);
  FOwnMasterAfterScroll = TDataSetNotifyEvent(this, &TDBSumListProducer::HandleMasterAfterScroll);
}

TDBSumListProducer::~TDBSumListProducer() {
  StopSumming(false);
  if (FDataSet) FDataSet->RemoveFreeNotification(FWatcher.get());
  FSumCollection.reset();
}

bool TDBSumListProducer::Deferred() const {
  if (!FOwner) return false;
  TComponentState s = FOwner->ComponentState();
  return s.Contains(csLoading) || (s.Contains(csDesigning) && !FWorksAtDesignTime);
}

bool TDBSumListProducer::VirtualMode() const {
  return FDataSet && !FDataSet->IsSequenced() && FVirtualRecords && FActive;
}

void TDBSumListProducer::NotifyChanged() {
  if (SumListChanged) SumListChanged(this);
}

void TDBSumListProducer::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDBSumListProducer*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  SetActive(src->Active());
  SetDataSet(src->DataSet());
  SetExternalRecalc(src->ExternalRecalc());
  FSumCollection->Assign(src->SumCollection());
  SumListChanged = src->SumListChanged;
  SetVirtualRecords(src->VirtualRecords());
  OnAfterRecalcAll = src->OnAfterRecalcAll;
  OnRecalcAll = src->OnRecalcAll;
}

// ---------------------------------------------------------------- settings

void TDBSumListProducer::SetActive(bool Value) {
  if (Value == FActive) return;
  if (Value) StartSumming(true);
  else StopSumming(true);
}

void TDBSumListProducer::StartSumming(bool Recalc) {
  FActive = true;
  if (Deferred()) return;
  HookDataSet();
  if (Recalc) Recalculate();
}

void TDBSumListProducer::StopSumming(bool Clear) {
  FActive = false;
  if (Deferred()) return;
  UnhookDataSet();
  if (Clear) ResetSums();
}

void TDBSumListProducer::SetDataSet(TDataSet* Value) {
  // A dataset that is being freed is only forgotten: its handlers go with it.
  if (FDataSet && Value == FDataSet && IsDestroying(FDataSet)) {
    ComponentGone(FDataSet);
    return;
  }
  if (Value == FDataSet) return;
  auto store = [&] {
    if (FDataSet) FDataSet->RemoveFreeNotification(FWatcher.get());
    FDataSet = Value;
    if (Value) Value->FreeNotification(FWatcher.get());
  };
  if (Deferred()) {
    store();
    return;
  }
  bool wasActive = FActive;
  StopSumming(true);
  store();
  if (wasActive) StartSumming(true);
}

void TDBSumListProducer::SetExternalRecalc(bool Value) {
  if (Value == FExternalRecalc) return;
  FExternalRecalc = Value;
  Recalculate();
}

void TDBSumListProducer::SetVirtualRecords(bool Value) {
  if (Value == FVirtualRecords) return;
  FVirtualRecords = Value;
  if (Value) Recalculate();
}

void TDBSumListProducer::Loaded() {
  if (FDataSet && FActive) StartSumming(true);
}

void TDBSumListProducer::ItemsChanged() {
  if (FOwner && (FOwner->ComponentState().Contains(csLoading) || IsDestroying(FOwner))) return;
  Recalculate();
}

void TDBSumListProducer::ComponentGone(TComponent* Component) {
  if (!Component) return;
  if (Component == FMasterDataSet) {
    FMasterDataSet = nullptr;
    FSavedMasterAfterScroll = TDataSetNotifyEvent();
  }
  if (Component == FDataSet) {
    if (FMasterDataSet) {
      if (FMasterDataSet->AfterScroll() == FOwnMasterAfterScroll) FMasterDataSet->SetAfterScroll(FSavedMasterAfterScroll);
      FMasterDataSet->RemoveFreeNotification(FWatcher.get());
      FMasterDataSet = nullptr;
    }
    FDataSet = nullptr;
    FHandlersHooked = false;
    FVirtualRecordList->Clear();
    FPendingDelete = TPendingDelete();
  }
}

// ---------------------------------------------------------------- hooking

void TDBSumListProducer::HookDataSet() {
  if (!FDataSet || FHandlersHooked) return;
  FMasterDataSet = DataSetOfDataSourcePropertyEh(FDataSet, "MasterSource");
  if (FMasterDataSet == FDataSet) FMasterDataSet = nullptr;
  InstallHandlers();
  if (FMasterDataSet) FMasterDataSet->FreeNotification(FWatcher.get());
  FHandlersHooked = true;
}

void TDBSumListProducer::UnhookDataSet() {
  if (!FDataSet || !FHandlersHooked) return;
  RestoreHandlers();
  if (FMasterDataSet) FMasterDataSet->RemoveFreeNotification(FWatcher.get());
  FMasterDataSet = nullptr;
  FHandlersHooked = false;
  FVirtualRecordList->Clear();
  FPendingDelete = TPendingDelete();
}

// The dataset's handlers the engine takes over, each with the engine's own and the place the
// replaced one is kept.
struct TDBSumListProducer::THandlerSlot {
  const TDataSetNotifyEvent& (TDataSet::*Get)() const;
  void (TDataSet::*Set)(const TDataSetNotifyEvent&);
  TDataSetNotifyEvent TDBSumListProducer::*Own;
  TDataSetNotifyEvent TDBSumListProducer::*Saved;
};

std::span<const TDBSumListProducer::THandlerSlot> TDBSumListProducer::HandlerSlots() {
  using P = TDBSumListProducer;
  static const THandlerSlot slots[] = {
      {&TDataSet::AfterEdit, &TDataSet::SetAfterEdit, &P::FOwnAfterEdit, &P::FSavedAfterEdit},
      {&TDataSet::AfterInsert, &TDataSet::SetAfterInsert, &P::FOwnAfterInsert, &P::FSavedAfterInsert},
      {&TDataSet::AfterOpen, &TDataSet::SetAfterOpen, &P::FOwnAfterOpen, &P::FSavedAfterOpen},
      {&TDataSet::AfterPost, &TDataSet::SetAfterPost, &P::FOwnAfterPost, &P::FSavedAfterPost},
      {&TDataSet::AfterScroll, &TDataSet::SetAfterScroll, &P::FOwnAfterScroll, &P::FSavedAfterScroll},
      {&TDataSet::BeforeDelete, &TDataSet::SetBeforeDelete, &P::FOwnBeforeDelete, &P::FSavedBeforeDelete},
      {&TDataSet::AfterDelete, &TDataSet::SetAfterDelete, &P::FOwnAfterDelete, &P::FSavedAfterDelete},
      {&TDataSet::AfterClose, &TDataSet::SetAfterClose, &P::FOwnAfterClose, &P::FSavedAfterClose},
      {&TDataSet::AfterCancel, &TDataSet::SetAfterCancel, &P::FOwnAfterCancel, &P::FSavedAfterCancel},
  };
  return slots;
}

void TDBSumListProducer::InstallHandlers() {
  for (const THandlerSlot& h : HandlerSlots()) {
    this->*h.Saved = (FDataSet->*h.Get)();
    (FDataSet->*h.Set)(this->*h.Own);
  }
  if (FMasterDataSet) {
    FSavedMasterAfterScroll = FMasterDataSet->AfterScroll();
    FMasterDataSet->SetAfterScroll(FOwnMasterAfterScroll);
  }
}

// A handler assigned after the engine took over stays where it is: putting the old one back
// would silently drop it.
void TDBSumListProducer::RestoreHandlers() {
  for (const THandlerSlot& h : HandlerSlots()) {
    if ((FDataSet->*h.Get)() == this->*h.Own) (FDataSet->*h.Set)(this->*h.Saved);
    this->*h.Saved = TDataSetNotifyEvent();
  }
  if (FMasterDataSet && FMasterDataSet->AfterScroll() == FOwnMasterAfterScroll)
    FMasterDataSet->SetAfterScroll(FSavedMasterAfterScroll);
  FSavedMasterAfterScroll = TDataSetNotifyEvent();
}

// ---------------------------------------------------------------- full recalculation

void TDBSumListProducer::ResetSums() {
  for (int i = 0; i < FSumCollection->Count(); ++i) FSumCollection->Items(i)->Reset();
  NotifyChanged();
}

std::vector<TDBSumListProducer::TFieldRef> TDBSumListProducer::QualifyingFields() const {
  std::vector<TFieldRef> refs;
  for (int i = 0; i < FSumCollection->Count(); ++i) {
    TDBSum* s = FSumCollection->Items(i);
    if (!s->Qualifies()) continue;
    TField* f = s->FieldName().empty() ? nullptr : FDataSet->FieldByName(s->FieldName());
    refs.push_back({s, f, KindOf(f)});
  }
  return refs;
}

void TDBSumListProducer::Recalculate() {
  if (Deferred() || !FActive || !FDataSet || !FDataSet->Active() || !FHandlersHooked) return;
  // Whatever happens, the filter is remembered, the walk ends and footers are told (whose
  // handlers may raise, so the closing step is no destructor).
  TryFinally(
      [this] {
        ResetSums();
        FLookupPosition = -1;
        FPendingDelete = TPendingDelete();
        if (OnRecalcAll) OnRecalcAll(this);
        if (!FExternalRecalc) {
          std::vector<TFieldRef> items = QualifyingFields();
          if (!items.empty() || (!FDataSet->IsSequenced() && FVirtualRecords)) Walk(items);
          if (OnAfterRecalcAll) OnAfterRecalcAll(this);
        }
      },
      [this] {
        if (FDataSet) {
          FFilteredSnapshot = FDataSet->Filtered();
          FFilterSnapshot = FDataSet->Filter();
        }
        FRecalculating = false;
        NotifyChanged();
      });
}

void TDBSumListProducer::Walk(const std::vector<TFieldRef>& Items) {
  TDataSet* d = FDataSet;
  bool virtualMode = !d->IsSequenced() && FVirtualRecords;
  TDataSet::TBookmark start = d->GetBookmark();
  // The dataset's other views stay alive when the walk fails part-way.
  TControlsHold hold(d);
  FVirtualRecordList->Clear();
  FRecalculating = true;
  for (d->First(); !d->Eof(); d->Next()) {
    for (const TFieldRef& r : Items) {
      TDBSum* s = r.Item;
      Extended v;
      switch (s->FGroupOperation) {
        case goSum:
          // A number field reads an empty value as 0, which adds nothing: one read instead of two.
          if (r.Kind == TValueKind::Number && r.Field)
            s->FResultValue = RoundRaw(static_cast<Extended>(r.Field->AsFloat()) * Currency::kScale + Raw(s->FResultValue));
          else if (r.Read(v))
            s->FResultValue = RoundRaw(v + Raw(s->FResultValue));
          break;
        case goAvg:
          if (r.Read(v)) ++s->FNonNullCount;
          s->FAvgRunningTotal = RoundRaw(v + Raw(s->FAvgRunningTotal));
          break;
        case goCount:
          if (!r.Field || !r.Field->IsNull()) s->FResultValue.Value += kOne;
          break;
      }
    }
    if (virtualMode) FVirtualRecordList->Add(d->GetBookmark());
  }
  // The user stays on the record the walk started from.
  if (!start.empty() && d->BookmarkValid(start)) d->GotoBookmark(start);
  else d->First();
  for (const TFieldRef& r : Items)
    if (r.Item->FGroupOperation == goAvg) r.Item->UpdateAverage();
}

// ---------------------------------------------------------------- incremental updates

void TDBSumListProducer::HandleAfterEdit(TDataSet* DataSet) {
  if (FActive) {
    for (const TFieldRef& r : QualifyingFields()) {
      TDBSum* s = r.Item;
      if (s->FGroupOperation == goCount) {
        s->FValueBeforeChange = Currency::FromRaw(r.Field && r.Field->IsNull() ? 0 : kOne);
      } else {
        Extended v;
        r.Read(v);
        s->FValueBeforeChange = RoundRaw(v);
        s->FVariantBeforeChange = r.Field->Value();
      }
    }
  }
  if (FSavedAfterEdit) FSavedAfterEdit(DataSet);
}

void TDBSumListProducer::HandleAfterInsert(TDataSet* DataSet) {
  if (FActive) {
    // The new record contributed nothing before it was posted, whatever its default values.
    for (const TFieldRef& r : QualifyingFields()) {
      r.Item->FValueBeforeChange = Currency();
      r.Item->FVariantBeforeChange = Null();
    }
    if (VirtualMode()) {
      TDataSet::TBookmark b = FDataSet->GetBookmark();
      if (!b.empty()) FVirtualRecordList->Add(b);
      else FInsertPending = true;
    }
  }
  if (FSavedAfterInsert) FSavedAfterInsert(DataSet);
}

void TDBSumListProducer::HandleAfterPost(TDataSet* DataSet) {
  if (FActive) {
    for (const TFieldRef& r : QualifyingFields()) {
      TDBSum* s = r.Item;
      Extended v = 0;
      bool null = r.Field && !r.Read(v);
      switch (s->FGroupOperation) {
        case goSum:
          if (null) s->FResultValue -= s->FValueBeforeChange;
          else s->FResultValue = RoundRaw(v + Raw(s->FResultValue) - Raw(s->FValueBeforeChange));
          break;
        case goAvg:
          if (null) {
            if (!VarIsNull(s->FVariantBeforeChange)) --s->FNonNullCount;
            s->FAvgRunningTotal -= s->FValueBeforeChange;
          } else {
            if (VarIsNull(s->FVariantBeforeChange)) ++s->FNonNullCount;
            s->FAvgRunningTotal = RoundRaw(v + Raw(s->FAvgRunningTotal) - Raw(s->FValueBeforeChange));
          }
          s->UpdateAverage();
          break;
        case goCount:
          if (null) s->FResultValue -= s->FValueBeforeChange;
          else s->FResultValue = s->FResultValue - s->FValueBeforeChange + Currency::FromRaw(kOne);
          break;
      }
    }
    if (VirtualMode() && FInsertPending) {
      InsertVirtualBookmark(FDataSet->GetBookmark());
      FInsertPending = false;
    }
    NotifyChanged();
  }
  if (FSavedAfterPost) FSavedAfterPost(DataSet);
}

void TDBSumListProducer::HandleBeforeDelete(TDataSet* DataSet) {
  if (FSavedBeforeDelete) FSavedBeforeDelete(DataSet);
  FPendingDelete = TPendingDelete();
  if (!FActive) return;
  // Remembered now, applied once the dataset has really deleted the record: a delete the
  // database refuses leaves the sums as they were.
  bool editing = FDataSet->State() == dsEdit;
  for (const TFieldRef& r : QualifyingFields()) {
    TDBSum* s = r.Item;
    TPendingDelete::TEntry e{s->ID(), 0, false};
    if (editing && s->FGroupOperation != goCount) {
      // The record still holds what it had before the edit, not what was typed since.
      e.Value = Raw(s->FValueBeforeChange);
      e.NonNull = !VarIsNull(s->FVariantBeforeChange);
    } else if (editing) {
      e.NonNull = s->FValueBeforeChange.Value != 0;
    } else {
      Extended v = 0;
      e.NonNull = !r.Field || r.Read(v);
      if (s->FGroupOperation != goCount) e.Value = v;
    }
    FPendingDelete.Entries.push_back(e);
  }
  if (VirtualMode()) FPendingDelete.Bookmark = FDataSet->GetBookmark();
  FPendingDelete.Pending = true;
}

void TDBSumListProducer::HandleAfterDelete(TDataSet* DataSet) {
  if (FActive && FPendingDelete.Pending) {
    TPendingDelete p = std::move(FPendingDelete);
    FPendingDelete = TPendingDelete();
    for (const TPendingDelete::TEntry& e : p.Entries) {
      auto* s = static_cast<TDBSum*>(FSumCollection->FindItemID(e.ItemID));
      if (!s) continue;
      switch (s->FGroupOperation) {
        case goSum: s->FResultValue = RoundRaw(Raw(s->FResultValue) - e.Value); break;
        case goAvg:
          s->FAvgRunningTotal = RoundRaw(Raw(s->FAvgRunningTotal) - e.Value);
          if (e.NonNull) --s->FNonNullCount;
          s->UpdateAverage();
          break;
        case goCount:
          if (e.NonNull) s->FResultValue.Value -= kOne;
          break;
      }
    }
    if (!p.Bookmark.empty()) {
      // Looked up by position in the list: the deleted record no longer has one in the dataset.
      TStringList* list = FVirtualRecordList.get();
      for (int i = 0; i < list->Count(); ++i)
        if (list->Strings(i) == p.Bookmark) {
          list->Delete(i);
          if (FLookupPosition > i) --FLookupPosition;
          break;
        }
    }
    NotifyChanged();
  }
  if (FSavedAfterDelete) FSavedAfterDelete(DataSet);
}

void TDBSumListProducer::HandleAfterClose(TDataSet* DataSet) {
  if (FActive) {
    ResetSums();
    NotifyChanged();
    FRecalculating = false;
  }
  FVirtualRecordList->Clear();
  FPendingDelete = TPendingDelete();
  if (FSavedAfterClose) FSavedAfterClose(DataSet);
}

void TDBSumListProducer::HandleAfterOpen(TDataSet* DataSet) {
  if (FActive) Recalculate();
  if (FSavedAfterOpen) FSavedAfterOpen(DataSet);
}

void TDBSumListProducer::HandleAfterScroll(TDataSet* DataSet) {
  if (FSavedAfterScroll) FSavedAfterScroll(DataSet);
  // A delete that completes scrolls only after AfterDelete; one still pending was refused.
  FPendingDelete = TPendingDelete();
  if (!FActive || FRecalculating || !FDataSet) return;
  if (FDataSet->Filtered() != FFilteredSnapshot || (FDataSet->Filtered() && FDataSet->Filter() != FFilterSnapshot))
    Recalculate();
}

void TDBSumListProducer::HandleMasterAfterScroll(TDataSet* DataSet) {
  if (FSavedMasterAfterScroll) FSavedMasterAfterScroll(DataSet);
  if (FActive && !FRecalculating) Recalculate();
}

void TDBSumListProducer::HandleAfterCancel(TDataSet* DataSet) {
  if (FSavedAfterCancel) FSavedAfterCancel(DataSet);
  FInsertPending = false;
}

// ---------------------------------------------------------------- virtual records

void TDBSumListProducer::InsertVirtualBookmark(const String& Bookmark) {
  TStringList* list = FVirtualRecordList.get();
  int n = list->Count();
  if (n == 0) {
    list->Insert(0, Bookmark);
    return;
  }
  auto cmp = [&](int i) { return FDataSet->CompareBookmarks(list->Strings(i), Bookmark); };
  int p = FLookupPosition < 0 || FLookupPosition >= n ? 0 : FLookupPosition;
  if (cmp(p) < 0) {
    while (p < n && cmp(p) < 0) ++p;
  } else {
    while (p > 0 && cmp(p - 1) > 0) --p;
  }
  list->Insert(p, Bookmark);
}

int TDBSumListProducer::IndexOfVirtualBookmark(const String& Bookmark) {
  TStringList* list = FVirtualRecordList.get();
  int n = list->Count();
  if (n == 0 || !FDataSet) return -1;
  auto cmp = [&](int i) { return FDataSet->CompareBookmarks(list->Strings(i), Bookmark); };
  int p = FLookupPosition < 0 || FLookupPosition >= n ? 0 : FLookupPosition;
  int c = cmp(p);
  if (c == 0) {
    FLookupPosition = p;
    return p;
  }
  if (c > 0) {
    for (int q = p - 1; q >= 0; --q)
      if (cmp(q) == 0) return FLookupPosition = q;
    FLookupPosition = -1;
  } else {
    for (int q = p + 1; q < n; ++q)
      if (cmp(q) == 0) return FLookupPosition = q;
    FLookupPosition = n;
  }
  return -1;
}

bool TDBSumListProducer::HasRecordNumbers() {
  if (!FDataSet) return false;
  if (FDataSet->IsSequenced()) return true;
  if (!FVirtualRecords || !FActive) return false;
  if (FVirtualRecordList->Count() > 0) return true;
  return FDataSet->Bof() && FDataSet->Eof();
}

int TDBSumListProducer::RecordTotal() {
  if (VirtualMode()) return FVirtualRecordList->Count();
  return FDataSet && FDataSet->Active() ? FDataSet->RecordCount() : 0;
}

int TDBSumListProducer::CurrentRecordNumber() {
  if (VirtualMode()) return IndexOfVirtualBookmark(FDataSet->GetBookmark()) + 1;
  return FDataSet ? FDataSet->RecNo() : 0;
}

void TDBSumListProducer::GoToRecordNumber(int RecNo) {
  if (VirtualMode()) FDataSet->GotoBookmark(FVirtualRecordList->Strings(RecNo - 1));
  else if (FDataSet) FDataSet->SetRecNo(RecNo);
}

// ================================================================ TDBSumList

KELM_PUBLISH(TDBSumList) { Published(b); }

TDBSumList::TDBSumList(TComponent* AOwner)
    : TComponent(AOwner), FProducer(std::make_unique<TDBSumListProducer>(this)) {}

TDBSumList::~TDBSumList() {
  Destroying();
  FProducer.reset();
}

void TDBSumList::Loaded() {
  TComponent::Loaded();
  FProducer->Loaded();
}

void TDBSumList::SetDataSet(TDataSet* Value) {
  if (TDataSet* old = FProducer->DataSet()) old->RemoveFreeNotification(this);
  FProducer->SetDataSet(Value);
  if (Value) Value->FreeNotification(this);
}

void TDBSumList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  // The dataset is being freed: the engine forgets it without touching it again.
  if (Operation == opRemove && AComponent && AComponent == FProducer->DataSet()) FProducer->SetDataSet(FProducer->DataSet());
}
