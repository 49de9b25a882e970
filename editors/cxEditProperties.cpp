// Editor properties, their alignment and assigned-values record, the list of live
// properties objects and the registry of properties classes.
#include "editors/cxEditProperties.h"

#include "core/ClassBuilder.h"
#include "editors/cxClasses.h"
#include "editors/cxCustomEdit.h"
#include "editors/cxEditDefaultValues.h"
#include "editors/cxEditRoutines.h"
#include "editors/cxEditStyles.h"
#include "editors/cxEditViewInfo.h"
#include "editors/cxRegisteredClasses.h"
#include "gui/Application.h"

#include <algorithm>

namespace {
std::vector<TcxCustomEditProperties*>& LiveList() {
  static std::vector<TcxCustomEditProperties*> list;
  return list;
}
}  // namespace

const std::vector<TcxCustomEditProperties*>& LivePropertiesObjects() { return LiveList(); }

TcxRegisteredClasses* EditPropertiesRegistry() {
  static TcxRegisteredClasses* registry = nullptr;
  if (!registry) {
    registry = new TcxRegisteredClasses(false);
    registry->SetKeepSorted(true);
    AddExitProc([] {
      delete registry;
      registry = nullptr;
    });
  }
  return registry;
}

// ================================================================ TcxEditAlignment

KELM_PUBLISH(TcxEditAlignment) { Published(b); }

void TcxEditAlignment::SetHorz(TAlignment Value) {
  if (FHorzExplicit && FHorz == Value) return;
  FHorzExplicit = true;
  FHorz = Value;
  Changed();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment Value) {
  if (FVert == Value) return;
  FVert = Value;
  Changed();
}

void TcxEditAlignment::ClearHorzAssignment() {
  FHorzExplicit = false;
  Changed();
}

void TcxEditAlignment::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxEditAlignment*>(Source);
  if (!s) return TPersistent::Assign(Source);
  FVert = s->FVert;
  FHorz = s->FHorz;
  FHorzExplicit = s->FHorzExplicit;
  Changed();
}

// ================================================================ TcxCustomEditPropertiesValues

KELM_PUBLISH(TcxCustomEditPropertiesValues) { Published(b); }

TPersistent* TcxCustomEditPropertiesValues::GetOwner() const { return FOwner; }

void TcxCustomEditPropertiesValues::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  Changed();
}

void TcxCustomEditPropertiesValues::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomEditPropertiesValues*>(Source);
  if (!s) return TPersistent::Assign(Source);
  SetReadOnly(s->ReadOnly());
}

void TcxCustomEditPropertiesValues::BeginUpdate() { FOwner->BeginUpdate(); }
void TcxCustomEditPropertiesValues::EndUpdate() { FOwner->EndUpdate(true); }
void TcxCustomEditPropertiesValues::Changed() { FOwner->SignalPropertiesChanged(); }
bool TcxCustomEditPropertiesValues::IsPropertyPublished(const String& Name) const {
  return IsPublishedProp(FOwner, Name);
}

// ================================================================ TcxCustomEditProperties

KELM_PUBLISH(TcxCustomEditProperties) {}

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner), FOwner(AOwner) {
  LiveList().push_back(this);
  FWatcher = std::make_unique<TcxFreeNotificator>(nullptr);
  FWatcher->SetOnComponentRemoved(
      TcxComponentRemovedEvent::Lambda([this](TComponent* c) { WatchedComponentRemoved(c); }));
  FAlignment = std::make_unique<TcxEditAlignment>(this);
  FAlignment->OnChanged = TNotifyEvent(this, &TcxCustomEditProperties::AlignmentChanged);
  FAssignedValues.reset(GetAssignedValuesClass()(this));
  FButtons = std::make_unique<TcxEditButtons>(this);
  FButtons->OnChange = TNotifyEvent(this, &TcxCustomEditProperties::ButtonsChanged);
  FUseLeftAlignmentOnEditing = DefaultUseLeftAlignmentOnEditing();
  FStoredAlignment = std::make_unique<TcxEditAlignment>(this);
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  FProvider = nullptr;
  FButtons->OnChange = nullptr;
  FButtons.reset();
  FStoredAlignment.reset();
  FAssignedValues.reset();
  FAlignment.reset();
  FWatcher.reset();
  auto& list = LiveList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

TcxCustomEditPropertiesValuesClass TcxCustomEditProperties::GetAssignedValuesClass() {
  return [](TcxCustomEditProperties* O) { return new TcxCustomEditPropertiesValues(O); };
}

// ---------------------------------------------------------------- signalling

void TcxCustomEditProperties::EndUpdate(bool Signal) {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0 && Signal) SignalPropertiesChanged();
}

void TcxCustomEditProperties::SignalPropertiesChanged() {
  if (IsSignalHeld()) return;
  if (auto* c = dynamic_cast<TComponent*>(FOwner); c && c->ComponentState().Contains(csDestroying)) return;
  if (ChangedHandler) ChangedHandler(this);
}

void TcxCustomEditProperties::AlignmentChanged(TObject*) {
  FStoredAlignment->Assign(FAlignment.get());
  SignalPropertiesChanged();
}

void TcxCustomEditProperties::SetAlignmentValue(TcxEditAlignment* Value) {
  FStoredAlignment->Assign(Value);
  SignalPropertiesChanged();
}

void TcxCustomEditProperties::ButtonsChanged(TObject*) { SignalPropertiesChanged(); }

// ---------------------------------------------------------------- settings

TcxEditAlignment* TcxCustomEditProperties::Alignment() const {
  auto* self = const_cast<TcxCustomEditProperties*>(this);
  // The published face shows the stored alignment, with the provider's default where the
  // horizontal value was never set; the change handler stays off while it is brought up to
  // date.
  FAlignment->OnChanged = nullptr;
  FAlignment->Assign(FStoredAlignment.get());
  TComponent* owner = OwnerComponentOf(self);
  if (FStoredAlignment->IsStored() && owner && owner->ComponentState().Contains(csWriting)) return FAlignment.get();
  if (!FStoredAlignment->HorzExplicit()) FAlignment->ShowHorzDefault(self->HorzAlignmentDefault());
  FAlignment->OnChanged = TNotifyEvent(self, &TcxCustomEditProperties::AlignmentChanged);
  return FAlignment.get();
}

TAlignment TcxCustomEditProperties::HorzAlignmentDefault() {
  return FProvider ? FProvider->GetHorzAlignmentDefault() : FAlignment->Horz();
}

void TcxCustomEditProperties::SetAutoSelect(bool Value) {
  if (FAutoSelect == Value) return;
  FAutoSelect = Value;
  SignalPropertiesChanged();
}

void TcxCustomEditProperties::SetButtonLayout(Byte Value) {
  if (FButtonLayout == Value) return;
  FButtonLayout = Value;
  SignalPropertiesChanged();
}

void TcxCustomEditProperties::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  SignalPropertiesChanged();
}

void TcxCustomEditProperties::SetUseLeftAlignmentOnEditing(bool Value) {
  if (FUseLeftAlignmentOnEditing == Value) return;
  FUseLeftAlignmentOnEditing = Value;
  SignalPropertiesChanged();
}

bool TcxCustomEditProperties::ReadOnly() const {
  if (FAssignedValues->ReadOnly()) return FReadOnlyValue;
  return FProvider ? FProvider->GetReadOnlyDefault() : false;
}

bool TcxCustomEditProperties::ReadOnlyStored() const { return FAssignedValues->ReadOnly(); }

void TcxCustomEditProperties::SetReadOnly(bool Value) {
  if (FAssignedValues->ReadOnly() && Value == FReadOnlyValue) return;
  FAssignedValues->MarkReadOnly(true);
  FReadOnlyValue = Value;
  SignalPropertiesChanged();
}

bool TcxCustomEditProperties::ValueModifiableInPlace() {
  if (FAssignedValues->ReadOnly() && !FReadOnlyValue) return true;
  if (ReadOnly()) return false;
  return !FProvider || (FProvider->IsEditable() && FProvider->CanChangeValue());
}

bool TcxCustomEditProperties::HasProviderDisplayFormat() {
  const Byte traits = GetFormatTraits();
  return (traits & 1) && GetValueSourceKind(true) == 0 && GetValueSourceKind(false) == 1 && FProvider &&
         FProvider->HasDisplayFormat(!(traits & 2));
}

bool TcxCustomEditProperties::ShowsProviderDisplayFormat(bool Focused) {
  const Byte traits = GetFormatTraits();
  if (Focused || !(traits & 1) || !FProvider) return false;
  return FProvider->HasDisplayFormat(!(traits & 2));
}

void TcxCustomEditProperties::SetDefaultValuesProvider(IcxEditDefaultValuesProvider* Value) {
  FProvider = Value;
  if (dynamic_cast<TcxCustomEdit*>(FOwner)) SignalPropertiesChanged();
}

String TcxCustomEditProperties::GetInvalidInputText() {
  return TranslateLibraryString("无效的输入值。 使用ESC键放弃改变");
}

// ---------------------------------------------------------------- the family's classes

TcxCustomEditViewDataClass TcxCustomEditProperties::GetViewDataClass() {
  return [](TcxCustomEditProperties* P, TcxCustomEditStyle* S, bool InPlace) {
    return new TcxCustomEditViewData(P, S, InPlace);
  };
}

TClass TcxCustomEditProperties::GetEditorClass() { return TcxCustomEdit::StaticClass(); }

TcxContainerStyleClass TcxCustomEditProperties::GetStyleClass() { return &MakeEditStyle; }

TcxCustomEditViewInfoClass TcxCustomEditProperties::GetViewInfoClass() {
  return []() { return new TcxCustomEditViewInfo; };
}

TcxCustomEditProperties* TcxCustomEditProperties::CreateBlankCopy() {
  return static_cast<TcxCustomEditProperties*>(ClassType()->Create(nullptr));
}

TcxCustomEditViewData* TcxCustomEditProperties::MakeViewData(TcxCustomEditStyle* AStyle, bool AInPlace,
                                                              bool TextFlag) {
  TcxCustomEditViewData* d = GetViewDataClass()(this, AStyle, AInPlace);
  d->TextFlag = TextFlag;
  return d;
}

// ---------------------------------------------------------------- values

bool TcxCustomEditProperties::EditValuesEqual(const Variant& V1, const Variant& V2) {
  Variant a, b;
  PrepareDisplayValue(V1, a, false);
  PrepareDisplayValue(V2, b, false);
  return VariantsEqual(a, b);
}

void TcxCustomEditProperties::FormatDisplayValue(const Variant&, WideString& DisplayText, bool) { DisplayText.clear(); }

Word TcxCustomEditProperties::GetFeatureFlags() { return FButtons->Count() > 0 ? 32 : 0; }

void TcxCustomEditProperties::ResetToDefaults() {
  FStoredAlignment->ClearHorzAssignment();
  WithinUpdate(*this, [&] { FAssignedValues->ResetAssigned(); });
}

void TcxCustomEditProperties::CheckDisplayValue(Variant& DisplayValue, String& ErrorText, bool& Error,
                                                TcxCustomEdit* AEdit) {
  if (!CanValidate()) return;
  if (ErrorText.empty()) ErrorText = GetInvalidInputText();
  if (AEdit) AEdit->FireValidateEvents(DisplayValue, ErrorText, Error);
}

// ---------------------------------------------------------------- assign

void TcxCustomEditProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomEditProperties*>(Source);
  if (!s) return TcxInterfacedPersistent::Assign(Source);
  WithinUpdate(*this, [&] {
    SetAutoSelect(s->AutoSelect());
    FButtons->Assign(s->Buttons());
    SetButtonLayout(s->ButtonLayout());
    FBeepOnError = s->FBeepOnError;
    FClearKey = s->FClearKey;
    FDefaultButtonKey = s->FDefaultButtonKey;
    FUseLeftAlignmentOnEditing = s->FUseLeftAlignmentOnEditing;
    FProvider = s->FProvider;
    SetAlignmentValue(s->Alignment());
    FAssignedValues->MarkReadOnly(false);
    if (s->AssignedValues()->ReadOnly()) SetReadOnly(s->ReadOnly());
    FImmediatePost = s->FImmediatePost;
    SetTransparent(s->Transparent());
    FWheelAllowed = s->FWheelAllowed;
    FValidateOnEnter = s->FValidateOnEnter;
    OnButtonClick = s->OnButtonClick;
    OnChange = s->OnChange;
    OnEditValueChanged = s->OnEditValueChanged;
    OnValidate = s->OnValidate;
  });
}
