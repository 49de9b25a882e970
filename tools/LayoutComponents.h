#pragma once
// What the generated form headers build on: binding a window's typed component members to
// the components its layout made, and the class a window derives from to have them bound.
// The build copies this file beside the generated headers as "forms/LayoutComponents.h".
#include "core/Component.h"
#include "core/Exceptions.h"

// Points Member at Root's component of that name. A component of another class is an error
// (EComponentError naming the window, the component and both classes); a missing one leaves
// Member empty, as a derived window's own components arrive only with its own layout, read
// after its base class's.
template <class T> void BindLayoutComponent(TComponent* Root, const char* Name, T*& Member) {
  TComponent* found = Root->FindComponent(Name);
  Member = dynamic_cast<T*>(found);
  if (found && !Member)
    throw EComponentError("Component " + String(Name) + " of " + Root->ClassName() + " is a " + found->ClassName() +
                          ", not a " + T::StaticClassName());
}

// Empties Member when it points at Component, which is going.
template <class T> void UnbindLayoutComponent(const TComponent* Component, T*& Member) {
  if (Member && static_cast<const TComponent*>(Member) == Component) Member = nullptr;
}

// A window class (form, data module, frame) over Base with the members of its layout
// (Components, generated). They are bound when a layout has been read, before the window's
// Loaded and OnCreate run, and a member is emptied when its component is freed, so none
// dangles.
template <class Base, class Components> class TLayoutRoot : public Base, public Components {
public:
  using Base::Base;

  void Loaded() override {
    this->BindComponents(this);
    Base::Loaded();
  }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    Base::Notification(AComponent, Operation);
    if (Operation == opRemove) this->UnbindComponent(AComponent);
  }
};
