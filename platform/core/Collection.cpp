// TCollectionItem, TCollection and TOwnedCollection.
#include "core/Collection.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"

#include <algorithm>

// ---------------------------------------------------------------- TCollectionItem

KELM_PUBLISH(TCollectionItem) {}

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* value) {
  if (FCollection == value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (value) value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& v = FCollection->FItems;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TCollectionItem::SetIndex(int value) {
  int cur = Index();
  if (cur >= 0 && cur != value) {
    FCollection->MoveItem(cur, value);
    Changed(true);
  }
}

String TCollectionItem::DisplayName() const { return ClassName(); }
void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

String TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

void TCollectionItem::Changed(bool allItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

// ---------------------------------------------------------------- TCollection

KELM_PUBLISH(TCollection) {}
KELM_PUBLISH(TOwnedCollection) {}

TCollection::TCollection(TClass itemClass) : FItemClass(itemClass) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no updates while going away
  Clear();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FItems[index];
}

TCollectionItem* TCollection::Add() {
  TObject* obj = FItemClass->Create(this);
  auto* item = dynamic_cast<TCollectionItem*>(obj);
  if (!item) {
    delete obj;
    throw EInvalidOperation("Collection item class " + FItemClass->Name() + " is not a collection item");
  }
  Notify(item, cnAdded);
  Changed();
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = nullptr;
  WithinUpdate(*this, [&] {
    item = Add();
    item->SetIndex(index);
  });
  return item;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  delete item;  // removes itself and reports the change
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) {
    TCollectionItem* item = FItems.back();
    Notify(item, cnDeleting);
    delete item;
  }
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* i : FItems)
    if (i->FID == id) return i;
  return nullptr;
}

void TCollection::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TCollection*>(source);
  if (!src) {
    TPersistent::Assign(source);
    return;
  }
  WithinUpdate(*this, [&] {
    Clear();
    for (TCollectionItem* i : src->FItems) Add()->Assign(i);
  });
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

String TCollection::GetNamePath() const {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  String s = owner->GetNamePath();
  if (s.empty()) return ClassName();
  // The property that holds this collection, when the owner publishes it.
  for (const TPropInfo* p : owner->ClassType()->Properties())
    if (p->Kind == tkClass && !p->IsReference() && p->Access->GetObj(owner) == this) return s + "." + p->Name;
  return s;
}

void TCollection::InsertItem(TCollectionItem* item) {
  FItems.push_back(item);
  item->FCollection = this;
  item->FID = FNextID++;
  SetItemName(item);
}

void TCollection::RemoveItem(TCollectionItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FCollection = nullptr;
  Notify(item, cnExtracting);
  Changed();
}

void TCollection::MoveItem(int from, int to) {
  if (to < 0) to = 0;
  if (to >= Count()) to = Count() - 1;
  TCollectionItem* item = FItems[from];
  FItems.erase(FItems.begin() + from);
  FItems.insert(FItems.begin() + to, item);
}
