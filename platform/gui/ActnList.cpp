// Actions and action lists: state passed to clients through their links, execution and
// updates through the list, shortcuts, streaming inside the list.
#include "gui/ActnList.h"

#include "core/ClassBuilder.h"
#include "gui/Application.h"
#include "gui/ImageListLink_p.h"
#include "gui/Menus.h"
#include "core/StrUtils.h"

#include <algorithm>

// ================================================================ TContainedAction

KELM_PUBLISH(TContainedAction) { Published(b); }

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() {
  if (FActionList) FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (Value == FActionList) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (Value) Value->AddAction(this);
}

int TContainedAction::Index() const {
  if (!FActionList) return -1;
  auto& v = FActionList->FActions;
  return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TContainedAction::SetIndex(int Value) {
  if (!FActionList) return;
  auto& v = FActionList->FActions;
  int cur = Index();
  Value = std::clamp(Value, 0, static_cast<int>(v.size()) - 1);
  if (cur == Value) return;
  v.erase(v.begin() + cur);
  v.insert(v.begin() + Value, this);
  FActionList->Change();
}

void TContainedAction::SetCategory(const String& Value) {
  if (Value == FCategory) return;
  FCategory = Value;
  if (FActionList) FActionList->Change();
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->ExecuteAction(this)) return true;
  if (TBasicAction::Execute()) return true;
  return SeeksTarget() && Application && Application->DispatchAction(CM_ACTIONEXECUTE, this);
}

bool TContainedAction::Update() {
  if (FActionList && FActionList->UpdateAction(this)) return true;
  if (TBasicAction::Update()) return true;
  return SeeksTarget() && Application && Application->DispatchAction(CM_ACTIONUPDATE, this);
}

TComponent* TContainedAction::GetParentComponent() const { return FActionList; }

void TContainedAction::SetParentComponent(TComponent* Value) {
  if (auto* list = dynamic_cast<TCustomActionList*>(Value)) SetActionList(list);
}

// ================================================================ TCustomAction

KELM_PUBLISH(TCustomAction) { Published(b); }

TCustomAction::TCustomAction(TComponent* AOwner)
    : TContainedAction(AOwner), FSecondaryShortCuts(std::make_unique<TStringList>()) {}

void TCustomAction::StateChanged() { OnChange(this); }

void TCustomAction::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  // Every client shows the new caption, also one that showed a caption of its own.
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(Clients())) l->SetClientValue(alpCaption, Value);
  FCaption = Value;
  StateChanged();
}

void TCustomAction::SetChecked(bool Value) {
  if (Value == FChecked) return;
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(Clients())) l->SetChecked(Value);
  FChecked = Value;
  if (Value) UncheckGroup();
  StateChanged();
}

void TCustomAction::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(Clients())) l->SetEnabled(Value);
  FEnabled = Value;
  StateChanged();
}

void TCustomAction::SetVisible(bool Value) {
  if (Value == FVisible) return;
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(Clients())) l->SetVisible(Value);
  FVisible = Value;
  StateChanged();
}

void TCustomAction::SetHint(const String& Value) {
  if (Value == FHint) return;
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(Clients())) l->SetHint(Value);
  FHint = Value;
  StateChanged();
}

void TCustomAction::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(Clients())) l->SetImageIndex(Value);
  FImageIndex = Value;
  StateChanged();
}

void TCustomAction::SetShortCut(Word Value) {
  if (Value == FShortCut) return;
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(Clients())) l->SetShortCut(Value);
  FShortCut = Value;
  StateChanged();
}

void TCustomAction::SetSecondaryShortCuts(TStrings* Value) { FSecondaryShortCuts->Assign(Value); }

void TCustomAction::SetHelpContext(int Value) {
  if (Value == FHelpContext) return;
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(Clients())) l->Pass(alpHelpContext, Value);
  FHelpContext = Value;
  StateChanged();
}

void TCustomAction::SetGroupIndex(int Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  // A checked action joining a group leaves the group with one checked member.
  if (FChecked) UncheckGroup();
  StateChanged();
}

void TCustomAction::UncheckGroup() {
  if (FGroupIndex <= 0 || !ActionList()) return;
  for (int i = 0; i < ActionList()->ActionCount(); ++i)
    if (auto* a = dynamic_cast<TCustomAction*>(ActionList()->Actions(i)); a && a != this && a->FGroupIndex == FGroupIndex)
      a->SetChecked(false);
}

bool TCustomAction::HasShortCut(Word ShortCut) const {
  if (ShortCut == 0) return false;
  if (FShortCut == ShortCut) return true;
  for (int i = 0; i < FSecondaryShortCuts->Count(); ++i)
    if (TextToShortCut(FSecondaryShortCuts->Strings(i)) == ShortCut) return true;
  return false;
}

TCustomImageList* TCustomAction::Images() const { return ActionList() ? ActionList()->Images() : nullptr; }

bool TCustomAction::Execute() {
  if (ActionList() && ActionList()->State() != asNormal) return false;
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck && (!FChecked || FGroupIndex == 0)) SetChecked(!FChecked);
  return TContainedAction::Execute();
}

bool TCustomAction::Update() {
  if (ActionList() && ActionList()->State() != asNormal) return false;
  if (TContainedAction::Update()) return true;
  if (FDisableIfNoHandler && !OnExecute && FEnabled) SetEnabled(false);
  return false;
}

bool TCustomAction::HandleShortCut() { return Execute(); }

void TCustomAction::Assign(TPersistent* Source) {
  auto* a = dynamic_cast<TCustomAction*>(Source);
  if (!a) {
    TContainedAction::Assign(Source);
    return;
  }
  SetAutoCheck(a->AutoCheck());
  SetCaption(a->Caption());
  SetChecked(a->Checked());
  SetEnabled(a->Enabled());
  SetGroupIndex(a->GroupIndex());
  SetHelpContext(a->HelpContext());
  SetHint(a->Hint());
  SetImageIndex(a->ImageIndex());
  SetShortCut(a->ShortCut());
  SetVisible(a->Visible());
  SetCategory(a->Category());
  FSecondaryShortCuts->Assign(a->SecondaryShortCuts());
  FDisableIfNoHandler = a->DisableIfNoHandler();
  OnExecute = a->OnExecute;
  OnUpdate = a->OnUpdate;
}

KELM_PUBLISH(TAction) {}

// ================================================================ TCustomActionList

KELM_PUBLISH(TCustomActionList) { Published(b); }

TCustomActionList::TCustomActionList(TComponent* AOwner)
    : TComponent(AOwner), FImageChangeLink(std::make_unique<TChangeLink>()) {
  FImageChangeLink->SetOnChange(TNotifyEvent::Lambda([this](TObject*) { Change(); }));
}

TCustomActionList::~TCustomActionList() {
  FDestroying = true;
  SetImages(nullptr);
  // The actions belong to their list: they go with it.
  while (!FActions.empty()) {
    TContainedAction* a = FActions.back();
    FActions.pop_back();
    a->FActionList = nullptr;
    delete a;
  }
}

TContainedAction* TCustomActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FActions[static_cast<std::size_t>(Index)];
}

TContainedAction* TCustomActionList::FindAction(const String& Name) const {
  for (TContainedAction* a : FActions)
    if (SameText(a->Name(), Name)) return a;
  return nullptr;
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (!SwapImageList(FImages, Value, FImageChangeLink.get(), this)) return;
  if (!FDestroying) Change();
}

void TCustomActionList::SetState(TActionListState Value) {
  if (Value == FState) return;
  FState = Value;
  if (Value == asSuspendedEnabled)
    for (TContainedAction* a : FActions)
      if (auto* ca = dynamic_cast<TCustomAction*>(a)) ca->SetEnabled(true);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  if (!OnExecute) return false;
  bool handled = false;
  OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  if (!OnUpdate) return false;
  bool handled = false;
  OnUpdate(Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TMessage& KeyMessage) {
  if (FState != asNormal) return false;
  TShortCut sc = ShortCutFromMessage(KeyMessage);
  if ((sc & 0xFF) == 0) return false;
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions))
    if (auto* ca = dynamic_cast<TCustomAction*>(a); ca && ca->HasShortCut(sc)) return ca->HandleShortCut();
  return false;
}

void TCustomActionList::UpdateActions() {
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) a->Update();
}

void TCustomActionList::AddAction(TContainedAction* Action) {
  if (std::find(FActions.begin(), FActions.end(), Action) != FActions.end()) return;
  FActions.push_back(Action);
  Action->FActionList = this;
  Action->FreeNotification(this);
  Change();
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  auto it = std::find(FActions.begin(), FActions.end(), Action);
  if (it == FActions.end()) return;
  FActions.erase(it);
  Action->FActionList = nullptr;
  Action->RemoveFreeNotification(this);
  if (!FDestroying) Change();
}

void TCustomActionList::Change() {
  OnChange(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) {
    FImages = nullptr;
    if (!FDestroying) Change();
  }
  if (auto* a = dynamic_cast<TContainedAction*>(AComponent); a && a->FActionList == this) RemoveAction(a);
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions))
    if (a->Owner() == Root) Proc(a);
}

void TCustomActionList::SetChildOrder(TComponent* Child, int Order) {
  if (auto* a = dynamic_cast<TContainedAction*>(Child); a && a->FActionList == this) a->SetIndex(Order);
}

KELM_PUBLISH(TActionList) {}
