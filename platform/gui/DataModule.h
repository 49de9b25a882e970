#pragma once
// Data modules, and the layouts that root components (forms, frames, data modules) load:
// a layout resource "forms/<ClassName>.txt" is read after the constructor, so the fields of
// the derived class exist when it fills them.
// Declares TDataModule.
#include "core/Component.h"
#include "core/Events.h"
#include "core/System.h"

// A container of non-visual components with a layout of its own.
class TDataModule : public TComponent {
  KELM_CLASS(TDataModule, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("OldCreateOrder", &TDataModule::OldCreateOrder, &TDataModule::SetOldCreateOrder).Default(false);
    b.Prop("Left", &TDataModule::Left, &TDataModule::SetLeft).Default(0);
    b.Prop("Top", &TDataModule::Top, &TDataModule::SetTop).Default(0);
    b.Prop("Height", &TDataModule::Height, &TDataModule::SetHeight).Default(150);
    b.Prop("Width", &TDataModule::Width, &TDataModule::SetWidth).Default(215);
    b.Prop("OnCreate", &TDataModule::OnCreate, &TDataModule::OnCreate);
    b.Prop("OnDestroy", &TDataModule::OnDestroy, &TDataModule::OnDestroy);
  }
public:
  explicit TDataModule(TComponent* AOwner);
  ~TDataModule() override;
  // Reads "forms/<ClassName>.txt" (when there is one), then Loaded and OnCreate.
  void InitDataModule();
  void BeforeDestruction();
  // A layout writes the module's components, in creation order.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  bool OldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool v) { FOldCreateOrder = v; }
  // Design-time placement, stored by layouts.
  int Left() const { return FLeft; }
  void SetLeft(int v) { FLeft = v; }
  int Top() const { return FTop; }
  void SetTop(int v) { FTop = v; }
  int Height() const { return FHeight; }
  void SetHeight(int v) { FHeight = v; }
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

protected:
  virtual void DoCreate();
  virtual void DoDestroy();

private:
  bool FOldCreateOrder = false;
  bool FDestroyCalled = false;
  int FLeft = 0, FTop = 0, FHeight = 150, FWidth = 215;
};

// Loads the layouts of Instance's class chain up to (not including) RootAncestor into it;
// false when no class of the chain has a layout.
bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);
// The layout resource name of a class: "forms/<ClassName>.txt".
String LayoutResourceName(TClass Class);

// The components a root owns, in creation order, as its layout writes them.
void GetRootComponents(TComponent* Self, const TGetChildProc& Proc, TComponent* Root);
