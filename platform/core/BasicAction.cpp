// Actions at their root: handlers and the links of their clients.
#include "core/BasicAction.h"

#include "core/ClassBuilder.h"
#include "core/TypInfo.h"
#include "core/Scope.h"

#include <algorithm>

KELM_PUBLISH(TBasicAction) { Published(b); }

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

bool TBasicAction::ActOn(TObject* Target, bool Execute) {
  if (!Target || !HandlesTarget(Target)) return false;
  if (Execute) ExecuteTarget(Target);
  else UpdateTarget(Target);
  return true;
}

TBasicAction::~TBasicAction() {
  // Clients keep no dangling pointer to a freed action.
  while (!FClients.empty()) FClients.back()->SetAction(nullptr);
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link) {
  if (std::find(FClients.begin(), FClients.end(), Link) == FClients.end()) FClients.push_back(Link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), Link), FClients.end());
}

void TBasicAction::Change() {
  OnChange(this);
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(FClients)) l->Change();
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = Value;
  if (FAction) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!FAction) return false;
  FAction->SetActionComponent(AComponent);
  // The action may be freed while it runs, and FAction cleared with it.
  TScopeExit done([this] {
    if (FAction) FAction->SetActionComponent(nullptr);
  });
  return FAction->Execute();
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

// The action changed as a whole: the client shows all of it again.
void TBasicActionLink::Change() { OnChange(FAction); }

namespace {

// How each value links: the action's property, whether the client follows it always, and the
// value a client shows by default (which CheckDefaults leaves to the action).
struct TLinkRule {
  const char* Name;
  bool Always;
  Variant Default;
};

const TLinkRule& LinkRule(TActionLinkProp Prop) {
  static const TLinkRule rules[] = {
      {"Caption", false, String()},  {"Checked", false, false},  {"Enabled", true, true},
      {"HelpContext", false, 0},     {"Hint", false, String()},  {"ImageIndex", false, -1},
      {"ShortCut", false, 0},        {"Visible", true, true},
  };
  return rules[Prop];
}

}  // namespace

bool TBasicActionLink::ActionValue(TActionLinkProp Prop, Variant& Value) const {
  const char* name = LinkRule(Prop).Name;
  if (!FAction || !IsPublishedProp(FAction, name)) return false;
  Value = GetPropValue(FAction, name, false);
  return true;
}

bool TBasicActionLink::IsLinked(TActionLinkProp Prop) const {
  Variant action, client;
  if (!ActionValue(Prop, action) || !ClientValue(Prop, client)) return false;
  return LinkRule(Prop).Always || VariantsEqual(action, client);
}

void TBasicActionLink::Pass(TActionLinkProp Prop, const Variant& Value) {
  if (IsLinked(Prop)) SetClientValue(Prop, Value);
}

bool TBasicActionLink::IsOnExecuteLinked() const {
  auto* self = const_cast<TBasicActionLink*>(this);
  TNotifyEvent* click = self->ClientOnClick();
  return FAction && click && *click == FAction->OnExecute;
}

void TBasicActionLink::SetOnExecute(const TNotifyEvent& Value) {
  if (IsOnExecuteLinked()) *ClientOnClick() = Value;
}

void TBasicActionLink::ShowAction(bool CheckDefaults) {
  if (!FAction) return;
  auto* named = dynamic_cast<TComponent*>(FClient);
  for (int p = alpCaption; p <= alpVisible; ++p) {
    auto prop = static_cast<TActionLinkProp>(p);
    Variant action, client;
    if (!ActionValue(prop, action) || !ClientValue(prop, client)) continue;
    if (CheckDefaults) {
      // A value the client was given of its own stays; a caption that is only the client's
      // name is a default too.
      bool isDefault = VariantsEqual(client, LinkRule(prop).Default) ||
                       (prop == alpCaption && named && VarToStr(client) == named->Name());
      if (!isDefault) continue;
    }
    SetClientValue(prop, action);
  }
  if (TNotifyEvent* click = ClientOnClick(); click && (!CheckDefaults || !*click)) *click = FAction->OnExecute;
}
