// The component bases of the editor library.
#include "editors/cxComponent.h"

#include "core/ClassBuilder.h"
#include "core/Lists.h"
#include "editors/cxObjectLinks.h"

KELM_PUBLISH(TcxInterfacedPersistent) {}
KELM_PUBLISH(TcxComponent) { Published(b); }
KELM_PUBLISH(TcxFreeNotificator) {}

// ---------------------------------------------------------------- TcxComponent

TcxComponent::TcxComponent(TComponent* AOwner) : TComponent(AOwner) {}

TcxComponent::~TcxComponent() {
  if (!ComponentState().Contains(csDestroying)) Destroying();
  for (int i = 0; i < 3; ++i) SetFakeLink(i, nullptr);
  ClearObjectLinks(this);
}

void TcxComponent::SetFakeLink(int Index, TComponent* Value) {
  if (Index < 0 || Index > 2) return;
  // A linked component that is freed clears its link instead of leaving it dangling.
  AssignReference(this, FFakeLinks[Index], Value);
}

void TcxComponent::RefreshFakeLinks() {
  const TComponentState state = ComponentState();
  if (!state.Contains(csDesigning) || state.Contains(csDestroying) || !Owner()) return;
  TList list;
  ListLinkedComponents(&list);
  for (int i = 0; i < 3; ++i) SetFakeLink(i, i < list.Count() ? static_cast<TComponent*>(list.Items(i)) : nullptr);
}

void TcxComponent::Loaded() {
  TComponent::Loaded();
  RefreshFakeLinks();
}

void TcxComponent::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove)
    for (TComponent*& link : FFakeLinks)
      if (link == AComponent) link = nullptr;
}

// ---------------------------------------------------------------- TcxFreeNotificator

void TcxFreeNotificator::Watch(TComponent* AComponent) {
  if (AComponent) AComponent->FreeNotification(this);
}

void TcxFreeNotificator::Unwatch(TComponent* AComponent) {
  if (AComponent) AComponent->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && FOnComponentRemoved) FOnComponentRemoved(AComponent);
}
