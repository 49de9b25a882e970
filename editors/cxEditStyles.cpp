// Edit styles and the edit style controller.
#include "editors/cxEditStyles.h"

#include "core/ClassBuilder.h"

namespace {
const char* const kEditValueNames[] = {"ButtonStyle", "ButtonTransparency", "PopupBorderStyle", "GradientButtons"};
}  // namespace

TcxContainerStyle* MakeEditStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                                 TcxContainerCondition AState) {
  return new TcxEditStyle(AOwner, ADirectAccessMode, AParentStyle, AState);
}

// ================================================================ TcxCustomEditStyle

KELM_PUBLISH(TcxCustomEditStyle) {}

TcxCustomEditStyle::TcxCustomEditStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                                       TcxContainerCondition AState)
    : TcxContainerStyle(AOwner, ADirectAccessMode, AParentStyle, AState) {}

TcxContainerStyleValues TcxCustomEditStyle::GetBaseOnlyValues() const {
  return TcxContainerStyle::GetBaseOnlyValues() +
         TcxContainerStyleValues{svButtonTransparency, svPopupBorderStyle, svGradientButtons};
}

bool TcxCustomEditStyle::ValueSlotName(int Index, String& Name) const {
  if (Index >= 10 && Index < 14) {
    Name = kEditValueNames[Index - 10];
    return true;
  }
  return TcxContainerStyle::ValueSlotName(Index, Name);
}

const TcxCustomEditStyle* TcxCustomEditStyle::EditSource(TcxContainerStyleValue V) const {
  if (DirectAccessMode()) return StoredAssignedValues().Contains(V) ? this : nullptr;
  // A controller whose styles are plain container styles holds none of these values.
  return dynamic_cast<const TcxCustomEditStyle*>(AssignedSource(V));
}

bool TcxCustomEditStyle::IsStyleValueAssigned(TcxContainerStyleValue Value) const {
  if (Value >= 10 && Value < 14) return EditSource(Value) != nullptr;
  return TcxContainerStyle::IsStyleValueAssigned(Value);
}

TcxStyleController* TcxCustomEditStyle::GetFallbackController() {
  if (DirectAccessMode()) return nullptr;
  if (IcxStyleContainer* c = OwnerContainer(); c && c->RunsInPlace()) return nullptr;
  return DefaultEditStyleController();
}

// ---------------------------------------------------------------- readers and defaults

TcxEditButtonStyle TcxCustomEditStyle::ButtonStyle() const {
  const TcxCustomEditStyle* s = EditSource(svButtonStyle);
  return s ? TcxEditButtonStyle(s->FButtonStyle) : DefaultButtonStyle();
}

TcxEditButtonTransparency TcxCustomEditStyle::ButtonTransparency() const {
  const TcxCustomEditStyle* s = EditSource(svButtonTransparency);
  return s ? TcxEditButtonTransparency(s->FButtonTransparency) : DefaultButtonTransparency();
}

TcxEditPopupBorderStyle TcxCustomEditStyle::PopupBorderStyle() const {
  const TcxCustomEditStyle* s = EditSource(svPopupBorderStyle);
  return s ? TcxEditPopupBorderStyle(s->FPopupBorderStyle) : DefaultPopupBorderStyle();
}

bool TcxCustomEditStyle::GradientButtons() const {
  const TcxCustomEditStyle* s = EditSource(svGradientButtons);
  return s ? s->FGradientButtons != 0 : DefaultGradientButtons();
}

namespace {
const TcxCustomEditStyle* EditBase(const TcxContainerStyle* S) {
  return static_cast<const TcxCustomEditStyle*>(S->BaseStyle());
}
}  // namespace

TcxEditButtonStyle TcxCustomEditStyle::DefaultButtonStyle() const {
  return IsBaseStyle() ? btsDefault : EditBase(this)->ButtonStyle();
}
TcxEditButtonTransparency TcxCustomEditStyle::DefaultButtonTransparency() const {
  return IsBaseStyle() ? ebtNone : EditBase(this)->ButtonTransparency();
}
bool TcxCustomEditStyle::DefaultGradientButtons() const {
  return IsBaseStyle() ? false : EditBase(this)->GradientButtons();
}
TcxEditPopupBorderStyle TcxCustomEditStyle::DefaultPopupBorderStyle() const {
  return IsBaseStyle() ? epbsDefault : EditBase(this)->PopupBorderStyle();
}

// ---------------------------------------------------------------- writers

void TcxCustomEditStyle::StoreValue(TcxContainerStyleValue V, Byte& Field, Byte Value) {
  if (StoredAssignedValues().Contains(V) && Field == Value) return;
  Field = Value;
  MarkValueAssigned(V);
  Changed();
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle Value) {
  StoreValue(svButtonStyle, FButtonStyle, Byte(Value));
}

void TcxCustomEditStyle::SetButtonTransparency(TcxEditButtonTransparency Value) {
  if (!IsBaseStyle()) return static_cast<TcxCustomEditStyle*>(BaseStyle())->SetButtonTransparency(Value);
  StoreValue(svButtonTransparency, FButtonTransparency, Byte(Value));
}

void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle Value) {
  if (!IsBaseStyle()) return static_cast<TcxCustomEditStyle*>(BaseStyle())->SetPopupBorderStyle(Value);
  StoreValue(svPopupBorderStyle, FPopupBorderStyle, Byte(Value));
}

TcxEditStyleController* TcxCustomEditStyle::EditStyleController() const {
  return dynamic_cast<TcxEditStyleController*>(StyleController());
}

void TcxCustomEditStyle::SetEditStyleController(TcxEditStyleController* Value) { SetStyleController(Value); }

void TcxCustomEditStyle::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomEditStyle*>(Source);
  if (!s) return TcxContainerStyle::Assign(Source);
  WithinUpdate(*this, [&] {
    FButtonStyle = s->FButtonStyle;
    FButtonTransparency = s->FButtonTransparency;
    FGradientButtons = s->FGradientButtons;
    FPopupBorderStyle = s->FPopupBorderStyle;
    FPopupShadow = s->FPopupShadow;
    TcxContainerStyle::Assign(Source);
    Changed();
  });
}

// ================================================================ TcxEditStyle, TcxEditStyleController

KELM_PUBLISH(TcxEditStyle) { Published(b); }
KELM_PUBLISH(TcxEditStyleController) { Published(b); }

TcxEditStyleController::TcxEditStyleController(TComponent* AOwner) : TcxStyleController(AOwner, &MakeEditStyle, false) {}

TcxEditStyleController::TcxEditStyleController(TComponent* AOwner, TDefaultTag)
    : TcxStyleController(AOwner, &MakeEditStyle, true) {}

TcxContainerStyleClass TcxEditStyleController::ControllerStyleClass() { return &MakeEditStyle; }

TcxStyleController* MakeDefaultEditStyleController() {
  return new TcxEditStyleController(nullptr, TcxEditStyleController::TDefaultTag{});
}

TcxEditStyleController* DefaultEditStyleController() {
  return dynamic_cast<TcxEditStyleController*>(StandardStyleController());
}

namespace {
// Editors and layouts find the edit styles' controller by its class name; the standard
// controller becomes one with edit styles.
const bool gRegistered = (SetStandardStyleControllerMaker(&MakeDefaultEditStyleController),
                          RegisterClass(TcxEditStyleController::StaticClass()), true);
}  // namespace
