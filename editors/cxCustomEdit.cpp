// The editor base: construction, the value flow (set, store, validate, post, revert), the
// change events, keys, focus, buttons, the view update, in-place activation and streaming.
#include "editors/cxCustomEdit.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "core/Reader.h"
#include "core/Scope.h"
#include "core/Writer.h"
#include "editors/cxCanvas.h"
#include "editors/cxClasses.h"
#include "editors/cxControlScrollBars.h"
#include "editors/cxControlUtils.h"
#include "editors/cxEditRoutines.h"
#include "editors/cxEditViewInfo.h"
#include "editors/cxObjectLinks.h"
#include "editors/cxTimer.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/Messages.h"
#include "gui/Screen.h"
#include "gui/Window.h"
#include "gui/WinUser.h"

KELM_PUBLISH(TcxCustomEdit) { Published(b); }

// ================================================================ TcxCustomEditData

TcxCustomEditData::TcxCustomEditData(TcxCustomEdit* AEdit) : Edit(AEdit) {
  FNotificator = std::make_unique<TcxFreeNotificator>(nullptr);
  FNotificator->SetOnComponentRemoved(TcxComponentRemovedEvent::Lambda([this](TComponent* c) {
    if (c == Edit) Edit = nullptr;
  }));
  if (Edit) FNotificator->Watch(Edit);
  RequestReset();
}

TcxCustomEditData::~TcxCustomEditData() = default;

void TcxCustomEditData::RequestReset() {
  ResetPending = true;
  if (Edit) Edit->CheckEditDataReset(this);
}

// ================================================================ TcxEditChangeEventsCatcher

void TcxEditChangeEventsCatcher::Lock(bool ALock, bool Fire) {
  if (ALock) {
    if (FLockCount == 0) ChangePending = EditValueChangedPending = false;
    ++FLockCount;
    return;
  }
  if (FLockCount <= 0 || --FLockCount > 0 || !Fire) return;
  if (FEdit->IsLoading() || FEdit->IsShuttingDown()) return;
  TcxObjectLinkScope link(FEdit);
  if (ChangePending && FEdit->HasChangeHandlers()) FEdit->FireChange();
  if (link.Alive() && EditValueChangedPending && FEdit->HasEditValueChangedHandlers()) FEdit->FireEditValueChanged();
}

// ================================================================ construction

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner) : TcxCustomEdit(AOwner, false) {}

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner, bool AInPlace)
    : TcxContainer(AOwner, &MakeEditStyle, new TcxCustomEditViewInfo), FInPlace(AInPlace) {
  InitializeEdit();
}

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize)
    : TcxContainer(AOwner, &MakeEditStyle, new TcxCustomEditViewInfo), FInPlace(AInPlace) {}

void RegisterEditCursorOnce();

void TcxCustomEdit::InitializeEdit() {
  RegisterEditCursorOnce();
  TRestore<bool> creating(FHandleRequestGuard, true);  // no handle is asked for while the parts are made
  FChangeEventsCatcher = std::make_unique<TcxEditChangeEventsCatcher>(this);
  FProperties.reset(static_cast<TcxCustomEditProperties*>(GetPropertiesClass()->Create(this)));
  // The properties name the view info class of the family.
  ReplacePaintInfo(CreateViewInfo());
  CacheContentParameters();
  SetControlStyle(ControlStyle() + csCaptureMouse + csSetCaption);
  SetTabStop(true);
  FInnerEdit = QueryInnerEdit();
  if (FInnerEdit) {
    SetUpInnerEdit();
    SetHostedControl(FInnerEdit->HostedControl());
  }
  MarkReplicatable();
  FDataBinding.reset(GetDataBindingClass()(this));
  FDataBinding->CreateProvider();
  FAutoSize = !FInPlace;
  FCapturedButton = -1;
  SetEditValue(Null());
  FValidationLock = 0;
  AttachPropertiesHandler();
  if (FInPlace) {
    TcxWantedKeys keys = WantedKeys() + wkAll + wkArrows;
    if (!InnerEditClass()) keys += wkTab;
    SetWantedKeys(keys);
  }
  FDoubleClickTimer = std::make_unique<TcxTimer>(nullptr);
  FDoubleClickTimer->SetEnabled(false);
  FDoubleClickTimer->SetInterval(GetDoubleClickTime());
  FDoubleClickTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomEdit::DoubleClickTimerTick));
  if (!FInPlace) FProperties->SetDefaultValuesProvider(FDataBinding->ProviderInterface());
  ViewInfo()->Edit = this;
  if (FInnerEdit) FInnerEdit->SetParent(this);
  FFirstParentPending = true;
}

TcxCustomEdit::~TcxCustomEdit() {
  Destroying();
  FDoubleClickTimer.reset();
  if (FRepositoryItem) FRepositoryItem->DetachListener(this);
  FInnerEdit = nullptr;
  DetachPropertiesHandler();
  if (!FInPlace) FProperties->DropDefaultValuesProvider();
  FDataBinding.reset();
  FModifiedStack.clear();
  FProperties.reset();
  FChangeEventsCatcher.reset();
}

void TcxCustomEdit::AttachPropertiesHandler() {
  FProperties->ChangedHandler = TNotifyEvent(this, &TcxCustomEdit::ApplyPropertiesChange);
}

void TcxCustomEdit::DoubleClickTimerTick(TObject*) { FDoubleClickTimer->SetEnabled(false); }

TClass TcxCustomEdit::GetPropertiesClass() { return TcxCustomEditProperties::StaticClass(); }

TcxEditDataBindingClass TcxCustomEdit::GetDataBindingClass() {
  return [](TcxCustomEdit* E) { return new TcxEditDataBinding(E); };
}

TcxContainerStyleClass TcxCustomEdit::GetStyleClass() { return Properties()->GetStyleClass(); }

TcxContainerViewInfo* TcxCustomEdit::CreateViewInfo() { return Properties()->GetViewInfoClass()(); }

TcxCustomEditViewInfo* TcxCustomEdit::ViewInfo() const { return static_cast<TcxCustomEditViewInfo*>(PaintInfo()); }

TcxCustomEditProperties* TcxCustomEdit::ActiveProperties() const {
  if (!FRepositoryItem) return FProperties.get();
  TcxCustomEditProperties* p = FRepositoryItem->Properties();
  // A data-bound editor imposes its field defaults on the shared properties.
  if (FDataBinding && p->DefaultValuesProvider() != FDataBinding->ProviderInterface())
    p->SetDefaultValuesProvider(FDataBinding->ProviderInterface());
  return p;
}

IcxCustomInnerEdit* TcxCustomEdit::QueryInnerEdit() {
  TcxCustomInnerEditClass cls = InnerEditClass();
  return cls ? cls(this) : nullptr;
}

void TcxCustomEdit::SetUpInnerEdit() {
  FInnerEdit->SetOnChange(TNotifyEvent(this, &TcxCustomEdit::InnerEditChanged));
  if (TWinControl* c = FInnerEdit->HostedControl()) c->SetParentShowHint(false);
}

void TcxCustomEdit::MarkReplicatable() {
  std::function<void(TControl*)> mark = [&](TControl* c) {
    c->SetControlStyle(c->ControlStyle() + csReplicatable);
    if (auto* w = dynamic_cast<TWinControl*>(c))
      for (int i = 0; i < w->ControlCount(); ++i) mark(w->Controls(i));
  };
  mark(this);
}

// ================================================================ published accessors

int TcxCustomEdit::Height() const {
  const_cast<TcxCustomEdit*>(this)->CreateHandleIfParented();
  return TcxContainer::Height();
}

void TcxCustomEdit::SetAutoSize(bool Value) {
  if (Value == FAutoSize || FInPlace) return;
  FAutoSize = Value;
  if (!Value) return;
  CreateHandleIfParented();
  AdjustHostedBounds();
  UpdateViewAtCursor();
}

Variant TcxCustomEdit::EditValue() const { return FEditValue; }

bool TcxCustomEdit::EditValueNeedsStoring() const { return !VarIsNull(FEditValue); }

void TcxCustomEdit::DefineProperties(TFiler* Filer) {
  TcxContainer::DefineProperties(Filer);
  Filer->DefineProperty(
      "Height", [this](TReader* R) { SetHeight(static_cast<int>(R->ReadInteger())); },
      [this](TWriter* W) { W->WriteInteger(Height()); }, !AutoSizeEnabled());
  Filer->DefineProperty(
      "Width", [this](TReader* R) { SetWidth(static_cast<int>(R->ReadInteger())); },
      [this](TWriter* W) { W->WriteInteger(Width()); }, !(AutoSizeEnabled() && AutoWidthEnabled()));
}

bool TcxCustomEdit::AutoWidthEnabled() { return ActiveProperties()->ButtonLayout() == eblAutoWidth; }

// ================================================================ setting and storing the value

void TcxCustomEdit::SetEditValue(const Variant& Value) {
  if (FEditValueAssignmentLock > 0) return;
  LockClick(true);
  TScopeExit unlock([this] { LockClick(false); });
  if (FUserChangeMode && !RequestEditing()) return;
  StoreEditValue(Value);
}

void TcxCustomEdit::ChangeEditValue(const Variant& Value) {
  if (FEditValueAssignmentLock > 0) return;
  if (FUserChangeMode && !RequestEditing()) return;
  StoreEditValue(Value);
}

void TcxCustomEdit::StoreEditValue(const Variant& Value) {
  if (FUserChangeMode && !RequestEditing()) return;
  TcxCustomEditProperties* p = ActiveProperties();
  const bool changed = p->CanCompareEditValues() && !VarEqualsExact(FEditValue, Value);
  FEditValue = Value;
  ShowEditValue();
  if (FUserChangeMode) SetChangedSinceEnter(true);
  else SetValueModified(false);
  if (!changed) return;
  SignalEditValueChanged();
  if (!ActiveProperties()->SeparatesChangeEvents()) SignalChange();
}

void TcxCustomEdit::ClearValue() { SetEditValue(Null()); }

void TcxCustomEdit::GetCurrentEditValue(Variant& Value) {
  if (Focused() && !FValueValidated && FChangedSinceEnter) GetEditingValue(Value);
  else Value = FEditValue;
}

void TcxCustomEdit::PrepareValueForEditing(const Variant& Value, Variant& EditingValue, bool Focused) {
  ActiveProperties()->PrepareDisplayValue(Value, EditingValue, Focused);
}

void TcxCustomEdit::ApplyDisplayValueKeepingFlags(const Variant& DisplayValue) {
  PushModifiedFlags();
  TryFinally([&] { ApplyDisplayValue(DisplayValue); }, [&] { PopModifiedFlags(); });
}

// ================================================================ change notifications

bool TcxCustomEdit::HasChangeHandlers() {
  return static_cast<bool>(FProperties->OnChange) || static_cast<bool>(ActiveProperties()->OnChange);
}
bool TcxCustomEdit::HasEditValueChangedHandlers() {
  return static_cast<bool>(FProperties->OnEditValueChanged) ||
         static_cast<bool>(ActiveProperties()->OnEditValueChanged);
}
bool TcxCustomEdit::HasValidateHandlers() {
  return static_cast<bool>(FProperties->OnValidate) || static_cast<bool>(ActiveProperties()->OnValidate);
}

void TcxCustomEdit::FireChange() {
  TcxObjectLinkScope link(this);
  if (FProperties->OnChange) FProperties->OnChange(this);
  if (link.Alive() && FRepositoryItem && FRepositoryItem->Properties()->OnChange)
    FRepositoryItem->Properties()->OnChange(this);
}

void TcxCustomEdit::FireEditValueChanged() {
  TcxObjectLinkScope link(this);
  if (FProperties->OnEditValueChanged) FProperties->OnEditValueChanged(this);
  if (link.Alive() && FRepositoryItem && FRepositoryItem->Properties()->OnEditValueChanged)
    FRepositoryItem->Properties()->OnEditValueChanged(this);
}

void TcxCustomEdit::FirePopupClosed(TcxPopupCloseReason Reason) {
  if (FProperties->OnClosePopup) FProperties->OnClosePopup(this, Reason);
  if (FRepositoryItem && FRepositoryItem->Properties()->OnClosePopup)
    FRepositoryItem->Properties()->OnClosePopup(this, Reason);
}

void TcxCustomEdit::FireValidate(Variant& DisplayValue, String& ErrorText, bool& Error) {
  if (FProperties->OnValidate) FProperties->OnValidate(this, DisplayValue, ErrorText, Error);
  if (FRepositoryItem && FRepositoryItem->Properties()->OnValidate)
    FRepositoryItem->Properties()->OnValidate(this, DisplayValue, ErrorText, Error);
}

void TcxCustomEdit::FireValidateEvents(Variant& DisplayValue, String& ErrorText, bool& Error) {
  if (!HasValidateHandlers()) return;
  const Variant copy = DisplayValue;
  FireValidate(DisplayValue, ErrorText, Error);
  if (Error && VarToStr(DisplayValue) == VarToStr(copy)) {
    String shown;
    ReadDisplayText(shown);
    DisplayValue = shown;
  }
}

namespace {
// Runs a change event of an in-place editor with its modified flags set and restored after.
template <class F> void WithInPlaceFlags(TcxCustomEdit* E, bool InPlace, F&& Fire) {
  if (!InPlace) return Fire();
  E->PushModifiedFlags();
  E->SetChangedSinceEnter(true);
  TryFinally(Fire, [E] { E->PopModifiedFlags(); });
}
}  // namespace

void TcxCustomEdit::SignalChange() {
  if (IsLoading() || IsShuttingDown()) return;
  TcxObjectLinkScope link(this);
  if (HasChangeHandlers()) {
    if (FChangeEventsCatcher->IsLocked()) FChangeEventsCatcher->ChangePending = true;
    else WithInPlaceFlags(this, FInPlace, [this] { FireChange(); });
  }
  if (!link.Alive()) return;
  TcxCustomEditProperties* p = ActiveProperties();
  if (!p->SeparatesChangeEvents() && !p->CanCompareEditValues()) SignalEditValueChanged();
}

void TcxCustomEdit::SignalEditValueChanged() {
  if (IsLoading() || IsShuttingDown() || !HasEditValueChangedHandlers()) return;
  if (FChangeEventsCatcher->IsLocked()) FChangeEventsCatcher->EditValueChangedPending = true;
  else WithInPlaceFlags(this, FInPlace, [this] { FireEditValueChanged(); });
}

void TcxCustomEdit::MarkChangedAndClick() {
  SetChangedSinceEnter(true);
  if (FClickLock == 0) Click();
}

void TcxCustomEdit::LockChangeEvents(bool Lock, bool FireOnUnlock) { FChangeEventsCatcher->Lock(Lock, FireOnUnlock); }

void TcxCustomEdit::LockClick(bool Lock) {
  if (Lock) ++FClickLock;
  else if (FClickLock > 0) --FClickLock;
}

void TcxCustomEdit::LockEditValueAssignment(bool Lock) {
  if (Lock) ++FEditValueAssignmentLock;
  else if (FEditValueAssignmentLock > 0) --FEditValueAssignmentLock;
}

void TcxCustomEdit::PushModifiedFlags() { FModifiedStack.emplace_back(FValueModified, FChangedSinceEnter); }

void TcxCustomEdit::PopModifiedFlags() {
  if (FModifiedStack.empty()) return;
  FValueModified = FModifiedStack.back().first;
  FChangedSinceEnter = FModifiedStack.back().second;
  FModifiedStack.pop_back();
}

void TcxCustomEdit::SetValueModified(bool Value) {
  FValueModified = Value;
  if (!Value) FChangedSinceEnter = false;
}

void TcxCustomEdit::SetChangedSinceEnter(bool Value) {
  FChangedSinceEnter = Value;
  if (!Value) return;
  FValueValidated = false;
  FValueModified = true;
}

void TcxCustomEdit::InnerEditChanged(TObject*) {
  if (Focused()) FChangedSinceEnter = true;
  SignalChange();
}

// ================================================================ editing, validation, posting

bool TcxCustomEdit::ValueModifiable() {
  TcxCustomEditProperties* p = ActiveProperties();
  if (FInPlace) return p->ValueModifiableInPlace();
  if (p->AssignedValues()->ReadOnly()) return !p->ReadOnly();
  IcxEditDefaultValuesProvider* d = FDataBinding->ProviderInterface();
  return !d || (d->IsEditable() && d->CanChangeValue());
}

bool TcxCustomEdit::RequestEditing() {
  if (!EditingAllowed()) return false;
  if (FDataBinding->EditorChangedSinceEnter()) return true;
  TRestore<bool> requesting(FInEditingRequest, true);
  bool result = ValueModifiable();
  // Values assigned from OnEditing are ignored in both modes: an assignment there would ask
  // for editing again from inside the request.
  LockEditValueAssignment(true);
  TScopeExit unlock([this] { LockEditValueAssignment(false); });
  if (result && OnEditing) OnEditing(this, result);
  if (!FInPlace && result) result = FDataBinding->RequestEdit();
  return result;
}

bool TcxCustomEdit::PostAllowed() { return FChangedSinceEnter && !IsInDesigner(); }

bool TcxCustomEdit::VerifyEditValue(bool RaiseOnError) {
  if (!FChangedSinceEnter || FValueValidated || FValidationLock != 0) return true;
  String text;
  ReadDisplayText(text);
  Variant display = text;
  bool error = false;
  String errorText;
  TcxCustomEditProperties* p = ActiveProperties();
  if (p->CanValidate()) p->CheckDisplayValue(display, errorText, error, this);
  if (error) {
    TryFinally(
        [&] {
          if (!RaiseOnError) return;
          ReportValidationError(errorText);
          Application->ProcessMessages();
        },
        [&] {
          String shown;
          ReadDisplayText(shown);
          if (VarToStr(display) != shown) PutDisplayValue(display);
          if (Visible()) {
            SelectWholeText();
            if (!IsInnerEditShown()) DisplayUpdated();
          }
        });
    return false;
  }
  if (FUserChangeMode && !RequestEditing()) return true;
  ApplyDisplayValueKeepingFlags(display);
  if (!FInPlace && !Focused()) FChangedSinceEnter = false;
  FValueValidated = true;
  return true;
}

void TcxCustomEdit::ReportValidationError(const String& ErrorText) {
  if (!Focused() && Visible()) {
    TRestore<bool> guard(FErrorFocusGuard, true);
    if (FInnerEdit) FInnerEdit->SafelySetFocus();
    else if (CanFocus()) SetFocus();
  }
  if (Visible()) SelectWholeText();
  if (ActiveProperties()->BeepOnError()) MessageBeep(0);
  if (!ErrorText.empty()) throw EcxEditValidationError(ErrorText);
}

void TcxCustomEdit::CommitEditValue(bool Validate) {
  if (Validate) {
    TRestore<bool> user(FUserChangeMode, false);
    if (!VerifyEditValue(true)) return;
  }
  try {
    BeginPosting();
    TScopeExit end([this] { EndPosting(); });
    if (FInPlace) {
      if (OnInplacePost) OnInplacePost(this);
      SetValueModified(false);
    } else {
      FDataBinding->StoreValue(FEditValue);
    }
  } catch (...) {
    // The store failed: the user sees where (no state is restored here).
    if (!FInPlace) ReportValidationError(String());
    throw;
  }
}

bool TcxCustomEdit::ValidateAndShow() {
  FUserChangeMode = false;
  bool result = false;
  TryFinally([&] { result = VerifyEditValue(true); },
             [&] {
               if (!result) return;
               ShowEditValue();
               FValueValidated = true;
             });
  return result;
}

void TcxCustomEdit::RevertEditValue() {
  TcxCustomEditProperties* p = ActiveProperties();
  if (!FChangedSinceEnter || !p->SupportsEscapeReset()) return;
  // Whether to post is decided while the change is still there: the reset clears it.
  const bool post = p->ImmediatePost() && PostAllowed();
  LockChangeEvents(true);
  TryFinally(
      [&] {
        FChangedSinceEnter = false;
        Variant v = FValueOnEnter;
        if (IsStorageBound()) FDataBinding->ReadStoredValue(v);
        ChangeEditValue(v);
        SetValueModified(true);
        SelectWholeText();
        if (post) CommitEditValue(false);
      },
      [&] { LockChangeEvents(false, true); });
}

bool TcxCustomEdit::IsReadOnlyOrNoData() { return ActiveProperties()->ReadOnly() || !FDataBinding->IsDataPresent(); }

bool TcxCustomEdit::IsStorageBound() {
  IcxEditDefaultValuesProvider* d = FDataBinding->ProviderInterface();
  return d && d->IsStorageBound();
}

bool TcxCustomEdit::IsPaintingCopy() { return IsStorageBound() && ControlState().Contains(csPaintCopy); }

bool TcxCustomEdit::InnerEditMissing() {
  return ComponentState().Contains(csDestroying) || (InnerEditClass() && !FInnerEdit);
}

bool TcxCustomEdit::AcceptsCharacter(Char C) {
  IcxEditDefaultValuesProvider* d = ActiveProperties()->DefaultValuesProvider();
  return !d || d->AcceptsChar(C);
}

bool TcxCustomEdit::IsEditFocusedForDisplay() { return !ActiveProperties()->DisplayDependsOnFocus() || Focused(); }

bool TcxCustomEdit::CanUseMouseWheel(TShiftState Shift) {
  return !FInPlace || ActiveProperties()->WheelAllowed() || Shift.Contains(ssCtrl);
}

void TcxCustomEdit::SetTransparentMode(bool Value) {
  if (FTransparentMode == Value) return;
  FTransparentMode = Value;
  UpdateViewAtCursor();
}

void TcxCustomEdit::UpdateInnerReadOnly() {
  if (InnerEditMissing() || !FInnerEdit) return;
  FInnerEdit->SetReadOnly(IsReadOnlyOrNoData());
}

void TcxCustomEdit::CheckEditDataReset(TcxCustomEditData* Data) {
  if (Data != FEditData || !Data->ResetPending) return;
  ResetEditData();
  Data->ResetPending = false;
}

// ================================================================ properties and repository items

void TcxCustomEdit::ApplyPropertiesChange(TObject*) {
  FValueValidated = false;
  UpdateInnerReadOnly();
  if (FChangedSinceEnter && IsReadOnlyOrNoData()) FChangedSinceEnter = false;
  if (ActiveProperties()->Transparent()) SetTransparentMode(true);
  UpdateViewAtCursor();
}

bool TcxCustomEdit::CanAcceptRepositoryItem(TcxEditRepositoryItem* Item) {
  return !Item || Item->Properties()->ClassType()->InheritsFrom(GetPropertiesClass());
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* Value) {
  if (Value == FRepositoryItem) return;
  if (!CanAcceptRepositoryItem(Value)) throw EcxEditError(TranslateLibraryString("此仓库项目不可接收"));
  RepositoryItemChanging();
  if (FRepositoryItem) {
    FRepositoryItem->DetachListener(this);
    FRepositoryItem->RemoveFreeNotification(this);
  }
  if (Value) {
    Value->AttachListener(this);
    Value->FreeNotification(this);
  }
  FRepositoryItem = Value;
  const bool live = !IsLoading() && !ComponentState().Contains(csDestroying);
  if (Value) {
    FProperties->DropDefaultValuesProvider();
    if (live) ApplyPropertiesChange(Value->Properties());
    DetachPropertiesHandler();
  } else {
    if (live) AttachPropertiesHandler();
    FProperties->SetDefaultValuesProvider(FDataBinding->ProviderInterface());
  }
  RepositoryItemChanged();
}

void TcxCustomEdit::ItemRemoved(TcxEditRepositoryItem* Sender) {
  if (Sender != FRepositoryItem) return;
  FRepositoryItem = nullptr;
  if (IsLoading() || ComponentState().Contains(csDestroying)) return;
  // The own properties are in force again: they get their handler and the binding's
  // defaults back, and the editor shows them.
  AttachPropertiesHandler();
  if (!FInPlace) {
    FProperties->SetSignalSuppressed(true);
    FProperties->SetDefaultValuesProvider(FDataBinding->ProviderInterface());
    FProperties->SetSignalSuppressed(false);
  }
  ApplyPropertiesChange(FProperties.get());
}

void TcxCustomEdit::ItemPropertiesChanged(TcxEditRepositoryItem* Sender) {
  if (IsLoading() || ComponentState().Contains(csDestroying)) return;
  ApplyPropertiesChange(Sender->Properties());
}

void TcxCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TcxContainer::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FRepositoryItem) FRepositoryItem = nullptr;
}

// ================================================================ streaming and parenting

void TcxCustomEdit::ReadState(TReader* Reader) {
  DetachPropertiesHandler();
  TcxContainer::ReadState(Reader);
}

void TcxCustomEdit::Loaded() {
  TcxContainer::Loaded();
  LockChangeEvents(true);
  LockClick(true);
  TryFinally(
      [&] {
        FDataBinding->RelinkData();
        UpdateViewAtCursor();
      },
      [&] {
        LockClick(false);
        LockChangeEvents(false, false);
      });
  if (!FRepositoryItem) AttachPropertiesHandler();
  ApplyPropertiesChange(ActiveProperties());
  ViewInfo()->ShadowVisible = false;
  StyleChanged(Style());
}

void TcxCustomEdit::SetName(const String& Value) {
  TcxContainer::SetName(Value);
  FDataBinding->RelinkData();
}

void TcxCustomEdit::SetParent(TWinControl* AParent) {
  if (FFirstParentPending && AParent) {
    FFirstParentPending = false;
    FDataBinding->RelinkData();
    ApplyPropertiesChange(FProperties.get());
    FDataBinding->RefreshDisplay();
  }
  TcxContainer::SetParent(AParent);
}

// ================================================================ view data and view update

TcxCustomEditViewData* TcxCustomEdit::MakeViewData() {
  TcxCustomEditViewData* d =
      ActiveProperties()->MakeViewData(static_cast<TcxCustomEditStyle*>(ActiveStyle()), FInPlace, false);
  if (FInPlace && FContentParametersCached) d->ContentParameters = FContentParameters;
  d->Edit = InnerEditMissing() ? nullptr : this;
  d->WindowHandle = HandleAllocated() ? Handle() : 0;
  FillViewData(d);
  return d;
}

void TcxCustomEdit::FillViewData(TcxCustomEditViewData* D) {
  D->Enabled = Enabled();
  D->Focused = Focused();
  D->HorzScrollBar = HorzScrollBarVisible() ? HScrollBar() : nullptr;
  D->VertScrollBar = VertScrollBarVisible() ? VScrollBar() : nullptr;
  D->InnerEdit = FInnerEdit;
  D->Designing = IsInDesigner();
}

void TcxCustomEdit::CacheContentParameters() {
  std::unique_ptr<TcxCustomEditViewData> d(MakeViewData());
  d->GetContentParameters(FContentParameters);
  FContentParametersCached = true;
}

void TcxCustomEdit::CalculateViewInfoAt(TPoint P, TcxMouseButtonCode Button, bool Recalculate, TShiftState Shift) {
  std::unique_ptr<TcxCustomEditViewData> d(MakeViewData());
  d->ComputeViewInfo(cxCanvas(), Rect(0, 0, TcxContainer::Width(), TcxContainer::Height()), P, Button, ViewInfo(),
                     Shift, Recalculate);
}

bool TcxCustomEdit::UpdateViewAtCursor(bool Recalculate) {
  if (!HandleAllocated() || IsShuttingDown() || FViewUpdateGuard) return false;
  TRestore<bool> guard(FViewUpdateGuard, true);
  return UpdateAppearanceAt(ScreenToClient(ReadCursorPos()), mbcNone, KeyboardShiftState(), Recalculate);
}

TRect TcxCustomEdit::InnerEditBounds() {
  TWinControl* c = FInnerEdit ? FInnerEdit->HostedControl() : nullptr;
  return c ? c->BoundsRect() : ViewInfo()->ContentRect;
}

bool TcxCustomEdit::UpdateAppearanceAt(TPoint P, TcxMouseButtonCode Button, TShiftState Shift, bool Recalculate) {
  if (!HandleAllocated() || ControlState().Contains(csDestroyingHandle) || IsShuttingDown()) return false;
  if (FCapturedButton != -1 && GetCaptureControl() != this) FCapturedButton = -1;
  std::unique_ptr<TcxCustomEditViewInfo> old;
  if (Recalculate) {
    old.reset(FProperties->GetViewInfoClass()());
    old->CopyFrom(ViewInfo());
  }
  CalculateViewInfoAt(P, Button, Recalculate, Shift);
  const TRect inner = FInnerEdit && IsInnerEditShown() ? InnerEditBounds() : TRect();
  const bool changed = ViewInfo()->RepaintChanges(this, inner, old.get());
  if (old && !changed) return false;
  AdjustHostedBounds();
  if (HandleAllocated()) {
    TRestore<bool> internal(FInternalBoundsUpdate, true);
    UpdateWindowShape();
  }
  if (old) SyncButtonStates(old.get(), Recalculate);
  if (ViewInfo()->Condition.Contains(ccHot) && !IsTrackingMouseLeave(this)) {
    TRect zone;
    GetHotZone(zone);
    StartTrackingMouseLeave(this, zone, this);
  }
  return true;
}

void TcxCustomEdit::SyncButtonStates(TcxCustomEditViewInfo* Old, bool) {
  TcxCustomEditViewInfo* now = ViewInfo();
  if (Old->PressedButton == now->PressedButton && Old->HotButton == now->HotButton) return;
  TcxObjectLinkScope link(this);
  if (Old->PressedButton != -1) {
    const int b = Old->PressedButton;
    const int index = b < now->ButtonCount() ? now->Buttons[b]->ButtonIndex : b;
    ButtonReleased(index);
    if (link.Alive() && b == ViewInfo()->HotButton) ButtonClicked(index);
  }
  if (link.Alive() && ViewInfo()->PressedButton != -1 && Old->PressedButton == -1)
    ButtonPressed(ViewInfo()->Buttons[ViewInfo()->PressedButton]->ButtonIndex);
}

void TcxCustomEdit::AdjustHostedBounds() {
  if (!HandleAllocated() || IsShuttingDown()) return;
  int w = TcxContainer::Width(), h = TcxContainer::Height();
  CalculateAutoSize(w, h);
  if (w != TcxContainer::Width() || h != TcxContainer::Height()) SetBounds(Left(), Top(), w, h);
  if (FInnerEdit) PlaceInnerEdit();
}

void TcxCustomEdit::PlaceInnerEdit() {
  if (!FInnerEdit) return;
  TWinControl* c = FInnerEdit->HostedControl();
  TRect r = ViewInfo()->ContentRect;
  c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  AlignControls(c, r);
}

TcxEditSizeParameters TcxCustomEdit::GetAutoSizeParameters() { return {-1, 1, TcxContainer::Width()}; }

void TcxCustomEdit::CalculateAutoSize(int& AWidth, int& AHeight) {
  if (!AutoSizeEnabled()) return;
  const TcxEditSizeParameters params = GetAutoSizeParameters();
  std::unique_ptr<TcxCustomEditViewData> d(MakeViewData());
  TSize s = d->MeasureEditor(ScreenCanvas(), FEditValue, params);
  TSizeConstraints* c = Constraints();
  if (c->MaxHeight() > 0) s.cy = std::min(s.cy, c->MaxHeight());
  if (c->MaxWidth() > 0) s.cx = std::min(s.cx, c->MaxWidth());
  if (c->MinHeight() > 0) s.cy = std::max(s.cy, c->MinHeight());
  if (c->MinWidth() > 0) s.cx = std::max(s.cx, c->MinWidth());
  const TAlign a = Align();
  if (AutoWidthEnabled() && a != alTop && a != alBottom && a != alClient && a != alCustom) AWidth = s.cx;
  if (a != alLeft && a != alRight && a != alClient && a != alCustom) AHeight = s.cy;
}

bool TcxCustomEdit::CanResize(int& NewWidth, int& NewHeight) {
  const bool allowed = TcxContainer::CanResize(NewWidth, NewHeight);
  if (allowed && !IsLoading()) CalculateAutoSize(NewWidth, NewHeight);
  return allowed;
}

void TcxCustomEdit::CreateHandleIfParented() {
  if (HandleAllocated() || FHandleRequestGuard || IsShuttingDown()) return;
  TRestore<bool> guard(FHandleRequestGuard, true);
  if (HasParentWithWindow(this)) HandleNeeded();
}

void TcxCustomEdit::GetBorderExtent(TRect& E) {
  TcxCustomEditViewInfo* v = ViewInfo();
  const TRect& o = v->OuterBounds;
  const TRect& i = v->InnerEditRect;
  E = Rect(i.Left - o.Left, i.Top - o.Top, o.Right - i.Right, o.Bottom - i.Bottom);
}

void TcxCustomEdit::GetShapeBounds(TRect& R) {
  // The window's shape is the frame: the border extent, not the inner-edit area (which
  // leaves the buttons out).
  TcxCustomEditViewInfo* v = ViewInfo();
  const TRect& o = v->OuterBounds;
  const TRect& e = v->BorderExtent;
  R = Rect(o.Left + e.Left, o.Top + e.Top, o.Right - e.Right, o.Bottom - e.Bottom);
  const int w = ContainerBorderWidth(TcxContainerBorderStyle(v->EditBorderStyle));
  InflateRect(R, w, w);
  InsetMissingSides(R, w, v->ShownEdges);
}

TcxContainerStyleValues TcxCustomEdit::GetUnstoredStyleValues() {
  return TcxContainerStyleValues{svButtonStyle, svButtonTransparency, svPopupBorderStyle, svGradientButtons};
}

bool TcxCustomEdit::IsThemed() {
  return TcxCustomEditViewData::UsesNativeEditTheme(Style()->LookAndFeel());
}

void TcxCustomEdit::FocusHostedControl() {
  if (FInnerEdit) FInnerEdit->SafelySetFocus();
}

void TcxCustomEdit::CreateWnd() {
  TcxContainer::CreateWnd();
  if (FInnerEdit && Focused()) FInnerEdit->SafelySetFocus();
}

void TcxCustomEdit::Paint() {
  if (IsPaintingCopy()) return PaintBoundValue();
  ViewInfo()->Draw(cxCanvas());
}

void TcxCustomEdit::PaintBoundValue() {
  std::unique_ptr<TcxCustomEditViewInfo> v(ActiveProperties()->GetViewInfoClass()());
  std::unique_ptr<TcxCustomEditViewData> d(MakeViewData());
  v->Edit = this;
  Variant value;
  FDataBinding->ReadStoredValue(value);
  d->FillValueText(cxCanvas(), value, v.get());
  d->ComputeViewInfo(cxCanvas(), ClientRect(), {-1, -1}, mbcNone, v.get(), {}, false);
  v->Draw(cxCanvas());
  cxCanvas()->ExcludeClipArea(ClientRect());
}

// ================================================================ buttons

int TcxCustomEdit::FindDefaultButton() {
  TcxCustomEditViewInfo* v = ViewInfo();
  for (int i = 0; i < v->ButtonCount(); ++i)
    if (v->Buttons[i]->IsDefault) return i;
  return -1;
}

int TcxCustomEdit::ButtonAtPoint(TPoint P) {
  TcxCustomEditViewInfo* v = ViewInfo();
  for (int i = 0; i < v->ButtonCount(); ++i)
    if (PtInRect(v->Buttons[i]->Bounds, P)) return i;
  return -1;
}

void TcxCustomEdit::TriggerDefaultButton() {
  // Only a default button that could be clicked with the mouse is clicked by the key.
  const int i = FindDefaultButton();
  if (i == -1) return;
  const int index = ViewInfo()->Buttons[i]->ButtonIndex;
  if (Enabled() && ActiveProperties()->Buttons()->Items(index)->Enabled()) ButtonClicked(index);
}

void TcxCustomEdit::ButtonClicked(int Index) {
  TcxObjectLinkScope link(this);
  if (FProperties->OnButtonClick) FProperties->OnButtonClick(this, Index);
  if (link.Alive() && FRepositoryItem && FRepositoryItem->Properties()->OnButtonClick)
    FRepositoryItem->Properties()->OnButtonClick(this, Index);
}

bool TcxCustomEdit::ClickAcceleratedButton(Char Key) {
  TcxCustomEditViewInfo* v = ViewInfo();
  for (int i = 0; i < v->ButtonCount(); ++i) {
    TcxEditButtonViewInfo* b = v->Buttons[i];
    if (b->State == ebsDisabled || !IsAccel(Key, b->Caption)) continue;
    ButtonClicked(b->ButtonIndex);
    return true;
  }
  return false;
}

bool TcxCustomEdit::IsDefaultButtonKey(Word Key, TShiftState Shift) {
  return FindDefaultButton() != -1 && ShortCut(Key, Shift) == ActiveProperties()->DefaultButtonKey();
}

bool TcxCustomEdit::IsClearOrClickKey(Word Key, TShiftState Shift) {
  const TShortCut s = ShortCut(Key, Shift);
  TcxCustomEditProperties* p = ActiveProperties();
  return s == p->ClearKey() || (FindDefaultButton() != -1 && s == p->DefaultButtonKey());
}

// ================================================================ keys

void TcxCustomEdit::KeyDown(Word& Key, TShiftState Shift) {
  TcxObjectLinkScope link(this);
  FEscapeHandled = false;
  // The default-button key never reaches OnKeyDown.
  if (!IsDefaultButtonKey(Key, Shift)) TcxContainer::KeyDown(Key, Shift);
  if (link.Alive() && Key != 0) ProcessKeyDown(Key, Shift);
}

void TcxCustomEdit::ProcessKeyDown(Word& Key, TShiftState Shift) {
  TcxObjectLinkScope link(this);
  TcxCustomEditProperties* p = ActiveProperties();
  const TShortCut shortcut = ShortCut(Key, Shift);
  if (Key != 0 && shortcut == p->ClearKey()) {
    LockChangeEvents(true);
    TryFinally(
        [&] {
          TRestore<bool> user(FUserChangeMode, true);
          ChangeEditValue(Null());
          FValueValidated = true;
        },
        [&] {
          if (link.Alive()) LockChangeEvents(false, true);
        });
    Key = 0;
  }
  if (!link.Alive()) return;
  if (Key != 0 && FindDefaultButton() != -1 && shortcut == p->DefaultButtonKey()) {
    // The key's character is already queued: it must not reach the editor as typing.
    TMsg m;
    if (HandleAllocated() && PeekMessage(m, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE) && m.message == WM_QUIT)
      PostQuitMessage(static_cast<int>(m.wParam));
    TriggerDefaultButton();
    Key = 0;
  }
  if (!link.Alive() || Key == 0) return;
  if (!CanProcessKey(Key, Shift)) {
    if (OnHostKey) OnHostKey(this, Key, Shift);
    Key = 0;
    return;
  }
  if (Key == VK_TAB) {
    if (Focused() && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && !p->KeepsTabKey()) {
      ProcessTabKey(Shift);
      if (OnHostKey) OnHostKey(this, Key, Shift);
      if (Key != 0 && link.Alive()) {
        Key = 0;
        if (TCustomForm* f = GetParentForm(this)) f->SelectNext(f->ActiveControl(), !Shift.Contains(ssShift), true);
        if (link.Alive() && HandleAllocated() && GetFocus() == Handle() && FInnerEdit) FInnerEdit->SafelySetFocus();
      }
    }
  } else if (Key == VK_RETURN) {
    if (p->ValidateOnEnter()) {
      Key = 0;
      LockChangeEvents(true);
      TryFinally(
          [&] {
            if (VerifyEditValue(true) && PostAllowed()) CommitEditValue(false);
          },
          [&] {
            if (link.Alive()) LockChangeEvents(false, true);
          });
    }
  } else if (Key == VK_ESCAPE) {
    if (FChangedSinceEnter) {
      RevertEditValue();
      FEscapeHandled = true;
      Key = 0;
    }
  }
  if (!link.Alive() || Key == 0) return;
  if (!HandlesNavigationKeys() && Key >= 33 && Key <= 40) {
    if (OnHostKey) OnHostKey(this, Key, Shift);
    Key = 0;
  }
}

bool TcxCustomEdit::CanProcessKey(Word Key, TShiftState Shift) {
  return FDataBinding->EditorChangedSinceEnter() || !IsValueChangingKey(Key, Shift) || RequestEditing();
}

void TcxCustomEdit::KeyPress(Char& Key) {
  if (Key == 27 && FEscapeHandled) {
    FEscapeHandled = false;
    Key = 0;
    return;
  }
  TcxObjectLinkScope link(this);
  TcxContainer::KeyPress(Key);
  if (link.Alive() && Key != 0) ProcessKeyPress(Key);
}

bool TcxCustomEdit::CheckKeyChar(Char& Key) {
  if (Key <= 31 || AcceptsCharacter(Key)) {
    if (!FDataBinding->EditorChangedSinceEnter() && IsValueChangingChar(Key) && !RequestEditing()) Key = 0;
  } else {
    Key = 0;
    MessageBeep(0);
  }
  return Key != 0;
}

void TcxCustomEdit::KeyUp(Word& Key, TShiftState Shift) {
  TcxObjectLinkScope link(this);
  TcxContainer::KeyUp(Key, Shift);
  if (link.Alive() && Key != 0) ProcessKeyUp(Key, Shift);
}

// ================================================================ focus

void TcxCustomEdit::DoEnter() {
  if (ComponentState().Contains(csDestroying)) return;
  TcxObjectLinkScope link(this);
  if (!FErrorFocusGuard) {
    PushModifiedFlags();
    TcxContainer::DoEnter();
    if (!link.Alive()) return;
    if (BindingRefreshesOnFocus()) FDataBinding->RefreshDisplay();
    if (ActiveProperties()->SupportsEscapeReset()) FValueOnEnter = FEditValue;
    if (BindingRefreshesOnFocus()) ShowEditValue();
    PopModifiedFlags();
    FChangedSinceEnter = false;
  }
  UpdateViewAtCursor();
}

void TcxCustomEdit::DoExit() {
  TRestore<bool> user(FUserChangeMode, false);
  ExitProcessing();
}

void TcxCustomEdit::ExitProcessing() {
  if (ComponentState().Contains(csDestroying) || FErrorFocusGuard) return;
  TcxObjectLinkScope link(this);
  PushModifiedFlags();
  if (FChangedSinceEnter) {
    // Whether to post is decided before the validation: a successful validation of an
    // editor that has lost the focus clears its change, and the value would never be posted.
    const bool post = !FInPlace && PostAllowed();
    bool stop = false, completed = false;
    LockChangeEvents(true);
    TryFinally(
        [&] {
          if (!VerifyEditValue(true)) {
            stop = true;
            return;
          }
          if (post) CommitEditValue(false);
          completed = true;
        },
        [&] {
          if (!link.Alive()) return;
          LockChangeEvents(false, true);
          if (!completed && link.Alive()) PopModifiedFlags();
        });
    if (stop || !link.Alive()) return;
  }
  if (BindingRefreshesOnFocus()) FDataBinding->RefreshDisplay();
  DisplayUpdated();
  UpdateViewAtCursor();
  PopModifiedFlags();
  TcxContainer::DoExit();
  if (link.Alive()) SetChangedSinceEnter(false);
}

void TcxCustomEdit::HandleFocusChange() {
  if (ComponentState().Contains(csDestroying) || FErrorFocusGuard) return;
  const bool now = Focused() && Application->Active();
  if (now == FFocusedState) return;
  FFocusedState = now;
  TcxObjectLinkScope link(this);
  TcxContainer::HandleFocusChange();
  if (!link.Alive()) return;
  DisplayUpdated();
  if (WindowClosingTest(!now)) VerifyEditValue(false);
}

bool TcxCustomEdit::WindowClosingTest(bool LostFocus) {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  const TModalResult r = form->ModalResult();
  if (!form->Visible() && form->FormState().Contains(fsModal) && r != mrNone && r != mrCancel) return true;
  if (!LostFocus || !HandleAllocated()) return false;
  auto* parent = dynamic_cast<TCustomForm*>(Parent());
  if (!parent || parent->ControlCount() != 1) return false;
  HWND focus = GetFocus();
  return focus && FindTopLevelWindow(Handle()) == FindTopLevelWindow(focus);
}

bool TcxCustomEdit::IsActiveControl() {
  if (Focused()) return true;
  TCustomForm* f = GetParentForm(this);
  if (!f) return false;
  TWinControl* a = f->ActiveControl();
  return a == this || (FInnerEdit && a == FInnerEdit->HostedControl());
}

bool TcxCustomEdit::OwnsWindow(HWND Window) {
  if (!HandleAllocated()) return false;
  return Window == Handle() || IsChild(Handle(), Window);
}

// ================================================================ mouse and clicks

void TcxCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  if (Button == mbLeft && FDoubleClickTimer->Enabled()) {
    FDoubleClickTimer->SetEnabled(false);
    if (ButtonAtPoint({X, Y}) == -1) DblClick();
    if (!link.Alive()) return;
  }
  TcxContainer::MouseDown(Button, Shift, X, Y);
  if (!link.Alive() || Button != mbLeft || GetCaptureControl() != this) return;
  const int b = ButtonAtPoint({X, Y});
  if (b != -1 && ViewInfo()->Buttons[b]->State == ebsPressed) FCapturedButton = b;
}

void TcxCustomEdit::Click() {
  if (ComponentState().Contains(csDestroying) || FClickLock != 0) return;
  if (IsLoading() && !AcceptsClickWhileLoading()) return;
  TcxContainer::Click();
}

void TcxCustomEdit::DblClick() {
  const TPoint p = ScreenToClient(ReadCursorPos());
  if (ButtonAtPoint(p) == -1) return TcxContainer::DblClick();
  TcxObjectLinkScope link(this);
  MouseDown(mbLeft, KeyboardShiftState() + ssLeft, p.X, p.Y);
  if (link.Alive()) Click();
}

// ================================================================ messages

void TcxCustomEdit::WndProc(TMessage& M) {
  if (M.Msg == WM_NCCALCSIZE && FInternalBoundsUpdate) {
    M.Result = 0;
    return;
  }
  TcxContainer::WndProc(M);
}

void TcxCustomEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_COPY: return CopyMessage(M);
    case WM_CUT: return CutMessage(M);
    case WM_PASTE: return PasteMessage(M);
    case CM_DIALOGCHAR: return DialogCharMessage(M);
    case CM_SHOWINGCHANGED: return ShowingChangedMessage(M);
    default: TcxContainer::Dispatch(M);
  }
}

void TcxCustomEdit::CopyMessage(TMessage&) { ClipboardCopy(); }

void TcxCustomEdit::CutMessage(TMessage&) {
  TRestore<bool> user(FUserChangeMode, true);
  if (IsReadOnlyOrNoData()) ClipboardCopy();
  else ClipboardCut();
}

void TcxCustomEdit::PasteMessage(TMessage&) {
  if (IsReadOnlyOrNoData()) return;
  TRestore<bool> user(FUserChangeMode, true);
  ClipboardPaste();
}

void TcxCustomEdit::DialogCharMessage(TMessage& M) {
  if (ClickAcceleratedButton(static_cast<Char>(M.WParam))) M.Result = 1;
  else TcxContainer::Dispatch(M);
}

void TcxCustomEdit::ShowingChangedMessage(TMessage& M) {
  TcxContainer::Dispatch(M);
  if (Showing()) AdjustHostedBounds();
}

bool TcxCustomEdit::ExecuteAction(TBasicAction* Action) {
  return TcxContainer::ExecuteAction(Action) || FDataBinding->HandleActionExecute(Action);
}

bool TcxCustomEdit::UpdateAction(TBasicAction* Action) {
  return TcxContainer::UpdateAction(Action) || FDataBinding->HandleActionUpdate(Action);
}

// ================================================================ the inner edit's window procedure

void TcxCustomEdit::InnerEditWindowProc(TMessage& Message) {
  if (FSavedInnerWndProc) FSavedInnerWndProc(Message);
}

void TcxCustomEdit::HookInnerEditWindowProc() {
  TWinControl* c = FInnerEdit ? FInnerEdit->HostedControl() : nullptr;
  if (!c || FInnerWndProcHooked) return;
  FSavedInnerWndProc = c->WindowProc;
  c->WindowProc = [this](TMessage& M) { InnerEditWindowProc(M); };
  FInnerWndProcHooked = true;
}

void TcxCustomEdit::UnhookInnerEditWindowProc() {
  TWinControl* c = FInnerEdit ? FInnerEdit->HostedControl() : nullptr;
  if (!c || !FInnerWndProcHooked) return;
  c->WindowProc = FSavedInnerWndProc;
  FSavedInnerWndProc = nullptr;
  FInnerWndProcHooked = false;
}

// ================================================================ in-place activation

void TcxCustomEdit::StartInPlaceEditing(TcxCustomEditData*& AEditData) {
  if (!AEditData)
    if (TcxCustomEditDataClass cls = EditDataClass()) AEditData = cls(this);
  FEditData = AEditData;
  if (FEditData) CheckEditDataReset(FEditData);
  SetVisible(true);
  if (HandleAllocated() && CanFocus()) {
    SetFocus();
    if (ActiveProperties()->AutoSelect()) SelectWholeText();
  }
  ShowEditValue();
  SetValueModified(false);
}

void TcxCustomEdit::StartInPlaceEditingByKey(Char Key, TcxCustomEditData*& AEditData) {
  HookInnerEditWindowProc();
  TryFinally(
      [&] {
        StartInPlaceEditing(AEditData);
        if (CanSendActivationChar(Key) && HandleAllocated())
          SendMessage(Handle(), WM_CHAR, static_cast<WPARAM>(Key), 0);
      },
      [&] { UnhookInnerEditWindowProc(); });
}

void TcxCustomEdit::StartInPlaceEditingByMouse(TShiftState Shift, int X, int Y, TcxCustomEditData*& AEditData) {
  StartInPlaceEditing(AEditData);
  TPoint p{X, Y};
  if (Parent()) p = ScreenToClient(Parent()->ClientToScreen(p));
  if (HandleAllocated()) {
    const LPARAM at = MakeLParam(p.X, p.Y);
    if (Shift.Contains(ssLeft)) {
      SendMessage(Handle(), WM_LBUTTONDOWN, ShiftToMouseKeyFlags(Shift), at);
      if (GetCaptureControl() == this && GetKeyState(VK_LBUTTON) >= 0) SetCaptureControl(nullptr);
    } else {
      SendMessage(Handle(), WM_LBUTTONUP, ShiftToMouseKeyFlags(Shift), at);
    }
  }
  FDoubleClickTimer->SetEnabled(true);
}

// ================================================================ the wheel cursor

namespace {
// Loaded once the screen exists (again after it was remade), when the first editor is made.
void RegisterEditCursor() {
  static const TScreen* registeredFor = nullptr;
  if (!Screen || registeredFor == Screen) return;
  registeredFor = Screen;
  if (HCURSOR c = LoadCursorFromResource("CXEDIT_MOUSEWHEEL")) Screen->SetCursors(crcxEditMouseWheel, c);
}
}  // namespace

void RegisterEditCursorOnce() { RegisterEditCursor(); }
