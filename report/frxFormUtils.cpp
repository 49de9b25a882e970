#include "report/frxFormUtils.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/Application.h"
#include "gui/DataModule.h"
#include "gui/Forms.h"
#include "gui/Messages.h"
#include "gui/Screen.h"
#include "report/frxClass.h"
#include "report/frxRes.h"

#include <functional>

void ShowErrorBox(const String& Message) {
  Application->MessageBox(Message, ReportResources()->TextOf("mbError"), MB_ICONERROR);
}

int AskConfirmation(const String& Message, int Buttons) {
  return Application->MessageBox(Message, ReportResources()->TextOf("mbConfirm"), MB_ICONQUESTION | Buttons);
}

namespace {

bool IsFormOrDataModule(const TComponent* C) { return C && (C->Is<TCustomForm>() || C->Is<TDataModule>()); }

// The application's form or data module of that name.
TComponent* GlobalComponent(const String& Name) {
  if (!Screen) return nullptr;
  for (int i = 0; i < Screen->CustomFormCount(); ++i)
    if (SameText(Screen->CustomForms(i)->Name(), Name)) return Screen->CustomForms(i);
  for (int i = 0; i < Screen->DataModuleCount(); ++i)
    if (SameText(Screen->DataModules(i)->Name(), Name)) return Screen->DataModules(i);
  return nullptr;
}

TComponent* Search(TComponent* Owner, const String& Path) {
  std::size_t dot = Path.find('.');
  if (dot == String::npos) {
    if (!Owner) return nullptr;
    TComponent* c = Owner->FindComponent(Path);
    if (!c && Owner->Is<TfrxReport>() && Owner->Owner()) c = Owner->Owner()->FindComponent(Path);
    return c;
  }
  TComponent* form = GlobalComponent(Path.substr(0, dot));
  if (!form) return nullptr;
  String rest = Path.substr(dot + 1);
  std::size_t dot2 = rest.find('.');
  if (dot2 == String::npos) return form->FindComponent(rest);
  TComponent* sub = form->FindComponent(rest.substr(0, dot2));
  return sub ? sub->FindComponent(rest.substr(dot2 + 1)) : nullptr;
}

}  // namespace

TComponent* FindComponentByPath(TComponent* Owner, const String& Path) {
  try {
    return Search(Owner, Path);
  } catch (const Exception&) {
    throw EClassNotFound("Missing " + Path);
  }
}

String QualifiedComponentName(TfrxReport* Report, TComponent* Component) {
  if (!Component) return String();
  TComponent* owner = Component->Owner();
  if (!owner || owner == Report || (Report && owner == Report->Owner())) return Component->Name();
  if (IsFormOrDataModule(owner)) return owner->Name() + "." + Component->Name();
  return String();
}

void CollectComponentsOfClass(TfrxReport* Report, TClass Class, TStrings* List, TComponent* Skip) {
  List->Clear();
  auto collect = [&](TComponent* Holder) {
    for (int i = 0; i < Holder->ComponentCount(); ++i) {
      TComponent* c = Holder->Components(i);
      if (c != Skip && c->InheritsFrom(Class)) List->AddObject(QualifiedComponentName(Report, c), c);
    }
  };
  if (Report) collect(Report);
  if (!Screen) return;
  for (int i = 0; i < Screen->CustomFormCount(); ++i) collect(Screen->CustomForms(i));
  for (int i = 0; i < Screen->DataModuleCount(); ++i) collect(Screen->DataModules(i));
  for (int i = 0; i < Screen->CustomFormCount(); ++i) {
    TCustomForm* form = Screen->CustomForms(i);
    if (form->ClassName() != "TDataModuleForm") continue;
    for (int k = 0; k < form->ComponentCount(); ++k)
      if (form->Components(k)->Is<TDataModule>()) collect(form->Components(k));
  }
}

void ReportErrorByMode(TfrxReport* Report, const String& Message) {
  switch (Report->EngineOptions()->NewSilentMode()) {
    case simMessageBoxes: ShowErrorBox(Message); break;
    case simSilent: break;
    case simReThrow: throw Exception(Message);
  }
}
