// TComponent: ownership, names, free notification, the loading state and its answer to actions.
#include "core/Component.h"
#include "core/BasicAction.h"
#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <iterator>

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

KELM_PUBLISH(TComponent) { Published(b); }

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
  // From the back: components mostly go in the reverse order they came, so freeing a large
  // owner (a report of thousands of objects) stays linear.
  auto it = std::find(FComponents.rbegin(), FComponents.rend(), c);
  if (it != FComponents.rend()) FComponents.erase(std::next(it).base());
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

// The component's own answer to an action: itself as the target (the action decides).
bool TComponent::ExecuteAction(TBasicAction* Action) { return Action && Action->ActOn(this, true); }

bool TComponent::UpdateAction(TBasicAction* Action) { return Action && Action->ActOn(this, false); }
