#pragma once
// The bases of the editor library's objects: a persistent object that knows its owner, a
// component with three design-time link properties, and a component that relays the free
// notifications of the components it watches.
// Declares TcxInterfacedPersistent, TcxComponent and TcxFreeNotificator.
#include "core/Component.h"

class TList;

// Settings objects of controls (look and feel, editor properties): the owner answers the
// owner query, so name paths and the climb to the owning component work.
class TcxInterfacedPersistent : public TPersistent {
  KELM_CLASS(TcxInterfacedPersistent, TPersistent)
public:
  explicit TcxInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  TPersistent* Owner() const { return FOwner; }

private:
  TPersistent* FOwner;
};

// A component whose three link properties show, while designing, the components it lists in
// ListLinkedComponents. The links are never stored. Freeing the component clears the object
// links that point at it.
class TcxComponent : public TComponent {
  KELM_CLASS(TcxComponent, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("FakeComponentLink1", &TcxComponent::FakeComponentLink1, &TcxComponent::SetFakeComponentLink1).Stored(false);
    b.Prop("FakeComponentLink2", &TcxComponent::FakeComponentLink2, &TcxComponent::SetFakeComponentLink2).Stored(false);
    b.Prop("FakeComponentLink3", &TcxComponent::FakeComponentLink3, &TcxComponent::SetFakeComponentLink3).Stored(false);
  }
public:
  explicit TcxComponent(TComponent* AOwner);
  ~TcxComponent() override;

  TComponent* FakeComponentLink1() const { return FFakeLinks[0]; }
  void SetFakeComponentLink1(TComponent* Value) { SetFakeLink(0, Value); }
  TComponent* FakeComponentLink2() const { return FFakeLinks[1]; }
  void SetFakeComponentLink2(TComponent* Value) { SetFakeLink(1, Value); }
  TComponent* FakeComponentLink3() const { return FFakeLinks[2]; }
  void SetFakeComponentLink3(TComponent* Value) { SetFakeLink(2, Value); }

  // Index 0, 1, 2 selects link 1, 2, 3; any other index does nothing.
  void SetFakeLink(int Index, TComponent* Value);
  // While designing, not being destroyed and owned: the links become the first three listed
  // components (nil where fewer are listed).
  void RefreshFakeLinks();
  void Loaded() override;

protected:
  // The components to show in the links; the base lists none.
  virtual void ListLinkedComponents(TList* List) {}
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TComponent* FFakeLinks[3] = {nullptr, nullptr, nullptr};
};

using TcxComponentRemovedEvent = TEvent<void(TComponent* AComponent)>;

// Tells its owner's code when a watched component is freed.
class TcxFreeNotificator : public TComponent {
  KELM_CLASS(TcxFreeNotificator, TComponent)
public:
  using TComponent::TComponent;
  void Watch(TComponent* AComponent);
  void Unwatch(TComponent* AComponent);
  const TcxComponentRemovedEvent& OnComponentRemoved() const { return FOnComponentRemoved; }
  void SetOnComponentRemoved(const TcxComponentRemovedEvent& Value) { FOnComponentRemoved = Value; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TcxComponentRemovedEvent FOnComponentRemoved;
};
