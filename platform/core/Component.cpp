#include "core/Component.h"
#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"

#include <algorithm>

// ---------------------------------------------------------------- TPersistent

KELM_PUBLISH(TPersistent) {}

void TPersistent::Assign(TPersistent* Source) {
  if (!Source) throw EConvertError("Cannot assign a nil to a " + ClassName());
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  String src = ClassName();
  String dst = Dest ? Dest->ClassName() : String("nil");
  throw EConvertError("Cannot assign a " + src + " to a " + dst);
}

String TPersistent::GetNamePath() const {
  TPersistent* owner = GetOwner();
  String own = owner ? owner->GetNamePath() : String();
  return own.empty() ? ClassName() : own;
}

// ---------------------------------------------------------------- identifiers

bool IsValidIdent(const String& ident) {
  if (ident.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(ident[0])) return false;
  for (char c : ident)
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

// ---------------------------------------------------------------- TComponent

KELM_PUBLISH(TComponent) {
  b.Prop("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  b.Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell every subscriber, last first; each may unsubscribe others while it runs.
  while (!FFreeNotifies.empty()) {
    TComponent* c = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& theirs = c->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    c->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FComponents[index];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& v = FOwner->FComponents;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TComponent::SetComponentIndex(int value) {
  if (!FOwner) return;
  auto& v = FOwner->FComponents;
  int cur = ComponentIndex();
  value = std::clamp(value, 0, static_cast<int>(v.size()) - 1);
  if (cur < 0 || cur == value) return;
  v.erase(v.begin() + cur);
  v.insert(v.begin() + value, this);
}

void TComponent::SetName(const String& value) {
  if (FName == value) return;
  if (!value.empty() && !IsValidIdent(value))
    throw EComponentError("'" + value + "' is not a valid component name");
  if (FOwner) FOwner->ValidateRename(this, FName, value);
  else ValidateRename(nullptr, FName, value);
  SetReference(false);
  ChangeName(value);
  SetReference(true);
}

void TComponent::ValidateRename(TComponent* component, const String& curName, const String& newName) {
  if (component && !SameText(curName, newName) && !newName.empty()) {
    TComponent* other = FindComponent(newName);
    if (other && other != component)
      throw EComponentError("A component named " + newName + " already exists");
  }
}

TComponent* TComponent::FindComponent(const String& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component->FName.empty()) ValidateRename(component, String(), component->FName);
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  Insert(component);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* c) {
  FComponents.push_back(c);
  c->FOwner = this;
}

// Keeps the owner's published field of that name pointing at the component (or nowhere
// once it leaves), so a form's fields never dangle after a control is freed or renamed.
void TComponent::SetReference(bool enable) {
  if (!FOwner || FName.empty()) return;
  const TFieldInfo* f = FOwner->ClassType()->FindField(FName);
  if (f) f->Assign(FOwner, enable ? this : nullptr);
}

void TComponent::Remove(TComponent* c) {
  c->SetReference(false);
  auto it = std::find(FComponents.begin(), FComponents.end(), c);
  if (it != FComponents.end()) FComponents.erase(it);
  c->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  // Last to first; a component may free others it owns indirectly while it goes.
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    Remove(c);
    delete c;
  }
}

void TComponent::Destroying() {
  if (FState.Contains(csDestroying)) return;
  FState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), other) == FFreeNotifies.end())
    FFreeNotifies.push_back(other);
  if (std::find(other->FFreeNotifies.begin(), other->FFreeNotifies.end(), this) == other->FFreeNotifies.end())
    other->FFreeNotifies.push_back(this);
  FState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  RemoveNotification(other);
  other->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* c) {
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), c), FFreeNotifies.end());
  if (FFreeNotifies.empty()) FState.Exclude(csFreeNotification);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveNotification(component);
  for (TComponent* c : std::vector<TComponent*>(FComponents)) c->Notification(component, operation);
}

void TComponent::SetSubComponent(bool value) {
  if (value) FStyle.Include(csSubComponent);
  else FStyle.Exclude(csSubComponent);
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value) FState.Include(csDesigning);
  else FState.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : FComponents) c->SetDesigning(value, true);
}

void TComponent::SetLoading(bool value) {
  if (value) { FState.Include(csLoading); FState.Include(csReading); }
  else { FState.Exclude(csLoading); FState.Exclude(csReading); }
}

void TComponent::SetReading(bool value) {
  if (value) FState.Include(csReading);
  else FState.Exclude(csReading);
}

void TComponent::SetAncestor(bool value) {
  if (value) FState.Include(csAncestor);
  else FState.Exclude(csAncestor);
}

void TComponent::SetInline(bool value) {
  if (value) FState.Include(csInline);
  else FState.Exclude(csInline);
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

void TComponent::Loaded() { FState.Exclude(csLoading); }

void TComponent::ReadState(TReader*) {}
void TComponent::WriteState(TWriter*) {}

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
