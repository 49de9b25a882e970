// Data modules, and the layouts every root component (form, frame, data module) loads.
#include "gui/DataModule.h"

#include "gui/QtGlue_p.h"
#include "gui/Screen.h"

#include "core/ClassBuilder.h"
#include "core/Classes.h"
#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "core/Filer.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <functional>

// The components a layout's root owns that no other component writes inside itself, in
// creation order. Only the root of the layout writes them: they belong to it.
void GetRootComponents(TComponent* Self, const TGetChildProc& Proc, TComponent* Root) {
  if (Self != Root) return;
  for (int i = 0; i < Self->ComponentCount(); ++i)
    if (!Self->Components(i)->HasParent()) Proc(Self->Components(i));
}

KELM_PUBLISH(TDataModule) { Published(b); }

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {
  if (Screen) Screen->FDataModules.push_back(this);
}

TDataModule::~TDataModule() {
  BeforeDestruction();
  UnregisterRoot(this);
  if (Screen) {
    auto& v = Screen->FDataModules;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  DestroyComponents();
}

void TDataModule::GetChildren(const TGetChildProc& Proc, TComponent* Root) { GetRootComponents(this, Proc, Root); }

void TDataModule::InitDataModule() {
  InitInheritedComponent(this, TDataModule::StaticClass());
  RegisterRoot(this);
  DoCreate();
}

void TDataModule::BeforeDestruction() {
  if (FDestroyCalled) return;
  FDestroyCalled = true;
  Destroying();
  try {
    DoDestroy();
  } catch (...) {
    gui_glue::HandleCurrentException(this);
  }
}

void TDataModule::DoCreate() {
  try {
    OnCreate(this);
  } catch (...) {
    gui_glue::HandleCurrentException(this);
  }
}

void TDataModule::DoDestroy() { OnDestroy(this); }

String LayoutResourceName(TClass Class) { return "forms/" + Class->Name() + ".txt"; }

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor) {
  std::function<bool(TClass)> load = [&](TClass cls) -> bool {
    if (!cls || cls == RootAncestor || !cls->InheritsFrom(RootAncestor)) return false;
    String res = LayoutResourceName(cls);
    if (!ResourceExists(res)) return load(cls->Parent());
    String text = LoadResourceString(res);
    // A derived layout lists only what it adds or changes to its base class's layout.
    if (StartsText("inherited", TrimLeft(text))) load(cls->Parent());
    ReadComponentFromText(Instance, text, res);
    return true;
  };
  return load(Instance->ClassType());
}
