// Container styles: resolving values through the controller chain and the defaults, the
// writers, change notification, assignment and streaming; the style set; the controllers.
#include "editors/cxContainerStyles.h"

#include "core/ClassBuilder.h"
#include "core/FilerBase.h"
#include "core/Reader.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Writer.h"
#include "gui/Application.h"

#include <algorithm>

namespace {

TcxStyleController* gStandard = nullptr;

const char* const kValueNames[10] = {"BorderColor", "BorderStyle", "Color",    "Edges",     "Font",
                                     "HotTrack",    "Shadow",      "TextColor", "TextStyle", "TransparentBorder"};

// A focused or hot style's border when the normal style hot-tracks.
TcxContainerBorderStyle HotBorderStyle(TcxContainerBorderStyle B) {
  switch (B) {
    case cbsNone: return cbsFlat;
    case cbsSingle: return cbsThick;
    case cbsFlat: return cbs3D;
    default: return B;  // thick, 3D, ultra-flat and Office 2003 stay
  }
}

// A chain of controllers is short; a longer walk means the chain loops.
constexpr int kMaxChain = 64;

// Counts every change to any style or controller link; lookups cached under an older
// count are looked up again. Starts at 1, so an empty cache entry (0) is never current.
unsigned gGeneration = 1;
void StylesChanged() {
  if (++gGeneration == 0) gGeneration = 1;
}

}  // namespace

KELM_PUBLISH(TcxContainerStyle) { Published(b); }

// ---------------------------------------------------------------- life

TcxContainerStyle::TcxContainerStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                                     TcxContainerCondition AState)
    : FDirectAccessMode(ADirectAccessMode), FOwner(AOwner), FState(AState) {
  FOwnerContainer = dynamic_cast<IcxStyleContainer*>(AOwner);
  if (AState != ccNormal) FParentStyle = AParentStyle;
  if (FDirectAccessMode) FAssignedValues = TcxContainerStyleValues{csvColor, csvFont, csvTextColor, csvTextStyle};
  if (IsBaseStyle() && !FDirectAccessMode) {
    FFont = new TFont;
    FOwnsFont = true;
    FFont->SetOnChange(TNotifyEvent(this, &TcxContainerStyle::FontChanged));
  }
  FVisibleFont = std::make_unique<TFont>();
  if (IsBaseStyle()) {
    FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
    FLookAndFeel->SetOnChanged(
        TcxLookAndFeelChangedEvent::Lambda([this](TcxLookAndFeel*, TcxLookAndFeelValues) { Changed(); }));
    SetStyleController(GetFallbackController());
  }
}

TcxContainerStyle::~TcxContainerStyle() {
  StylesChanged();
  FDestroying = true;
  if (IsBaseStyle() && FStyleController) FStyleController->RemoveListener(this);
  FLookAndFeel.reset();
  FVisibleFont.reset();
  if (FOwnsFont) delete FFont;
}

IcxStyleContainer* TcxContainerStyle::OwnerContainer() const { return FOwnerContainer; }

TcxStyleController* TcxContainerStyle::ControllerOfBase() const { return BaseStyle()->FStyleController; }

TcxStyleController* TcxContainerStyle::GetFallbackController() { return StandardStyleController(); }

// ---------------------------------------------------------------- lookup

const TcxContainerStyle* TcxContainerStyle::AssignedSource(TcxContainerStyleValue V) const {
  TSourceCache* cached = V >= 0 && V < 16 ? &FSources[V] : nullptr;
  if (cached && cached->Generation == gGeneration) return cached->Source;
  const TcxContainerStyle* found = FindAssignedSource(V);
  if (cached) *cached = {found, gGeneration};
  return found;
}

const TcxContainerStyle* TcxContainerStyle::FindAssignedSource(TcxContainerStyleValue V) const {
  const TcxContainerStyle* s = Holder(V);
  if (s->AssignedValues().Contains(V)) return s;
  TcxStyleController* c = s->ControllerOfBase();
  for (int i = 0; c && i < kMaxChain; ++i) {
    const TcxContainerStyle* cs = c->Styles(FState)->Holder(V);
    if (cs->FAssignedValues.Contains(V)) return cs;
    c = cs->ControllerOfBase();
  }
  return nullptr;
}

void TcxContainerStyle::SetValueBit(TcxContainerStyleValue V) {
  FAssignedValues += V;
  StylesChanged();
}

bool TcxContainerStyle::IsStyleValueAssigned(TcxContainerStyleValue Value) const { return AssignedSource(Value) != nullptr; }

TcxContainerStyleValues TcxContainerStyle::AssignedValues() const {
  if (!FDirectAccessMode) return FAssignedValues;
  TcxContainerStyleValues all;
  for (int v = 0; v < ValueSlotCount(); ++v) all += v;
  return all;
}

TcxContainerStyleValues TcxContainerStyle::GetBaseOnlyValues() const {
  return TcxContainerStyleValues{csvEdges, csvFont, csvHotTrack, csvShadow, csvTransparentBorder};
}

bool TcxContainerStyle::ValueSlotName(int Index, String& Name) const {
  if (Index < 0 || Index >= 10) {
    Name.clear();
    return false;
  }
  Name = kValueNames[Index];
  return true;
}

bool TcxContainerStyle::FindStyleValue(const String& Name, TcxContainerStyleValue& Value) const {
  String n;
  for (int v = 0; v < ValueSlotCount(); ++v)
    if (ValueSlotName(v, n) && SameText(n, Name)) {
      Value = v;
      return true;
    }
  return false;
}

bool TcxContainerStyle::HasBorder() const { return IsBaseStyle() ? true : BaseStyle()->HasBorder(); }

// ---------------------------------------------------------------- readers

TColor TcxContainerStyle::BorderColor() const {
  if (FDirectAccessMode) return clDefault;
  if (const TcxContainerStyle* s = AssignedSource(csvBorderColor)) return s->FBorderColor;
  return DefaultBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::BorderStyle() const {
  if (FDirectAccessMode) return FAssignedValues.Contains(csvBorderStyle) ? FBorderStyle : DefaultBorderStyle();
  if (const TcxContainerStyle* s = AssignedSource(csvBorderStyle)) return s->FBorderStyle;
  return DefaultBorderStyle();
}

TColor TcxContainerStyle::Color() const {
  if (FDirectAccessMode) return FColor;
  TColor parent;
  if (IsBaseStyle())
    if (IcxStyleContainer* c = OwnerContainer(); c && c->StyleParentColor() && c->ParentColorOf(parent)) return parent;
  if (const TcxContainerStyle* s = AssignedSource(csvColor)) return s->FColor;
  return DefaultColor();
}

TColor TcxContainerStyle::GetPaintColor() const {
  if (FDirectAccessMode) return FColor;
  if (const TcxContainerStyle* s = AssignedSource(csvColor)) return s->FColor;
  if (!IsBaseStyle()) return DefaultColor();
  TColor parent;
  if (IcxStyleContainer* c = OwnerContainer();
      c && !c->RunsInPlace() && c->StyleParentColor() && c->ParentColorOf(parent))
    return parent;
  return DefaultColor();
}

TcxBorders TcxContainerStyle::Edges() const {
  if (FDirectAccessMode) return {};
  if (const TcxContainerStyle* s = AssignedSource(csvEdges)) return s->FEdges;
  return BaseStyle()->DefaultEdges();
}

TFont* TcxContainerStyle::Font() const { return BaseStyle()->FFont; }

bool TcxContainerStyle::HotTrack() const {
  if (FDirectAccessMode) return FAssignedValues.Contains(csvHotTrack) ? FHotTrack : DefaultHotTrack();
  if (const TcxContainerStyle* s = AssignedSource(csvHotTrack)) return s->FHotTrack;
  return BaseStyle()->DefaultHotTrack();
}

TcxLookAndFeel* TcxContainerStyle::LookAndFeel() const { return BaseStyle()->FLookAndFeel.get(); }

bool TcxContainerStyle::Shadow() const {
  if (FDirectAccessMode) return false;
  if (const TcxContainerStyle* s = AssignedSource(csvShadow)) return s->FShadow;
  return BaseStyle()->DefaultShadow();
}

TcxStyleController* TcxContainerStyle::StyleController() const {
  TcxStyleController* c = ControllerOfBase();
  return c == gStandard ? nullptr : c;
}

TColor TcxContainerStyle::TextColor() const {
  if (FDirectAccessMode) return FTextColor;
  if (const TcxContainerStyle* s = AssignedSource(csvTextColor)) return s->FTextColor;
  return DefaultTextColor();
}

TFontStyles TcxContainerStyle::TextStyle() const {
  if (FDirectAccessMode) return FFont ? FFont->Style() : TFontStyles{};
  if (const TcxContainerStyle* s = AssignedSource(csvTextStyle)) return s->FTextStyle;
  return DefaultTextStyle();
}

bool TcxContainerStyle::TransparentBorder() const {
  if (FDirectAccessMode) return true;
  if (const TcxContainerStyle* s = AssignedSource(csvTransparentBorder)) return s->FTransparentBorder;
  return BaseStyle()->DefaultTransparentBorder();
}

TFont* TcxContainerStyle::VisibleFont() {
  if (TFont* f = Font()) FVisibleFont->Assign(f);
  FVisibleFont->SetColor(TextColor());
  FVisibleFont->SetStyle(TextStyle());
  return FVisibleFont.get();
}

// ---------------------------------------------------------------- defaults

TColor TcxContainerStyle::DefaultBorderColor() const {
  switch (FState) {
    case ccNormal: return clWindowFrame;
    case ccDisabled: return clBtnShadow;
    default: return BaseStyle()->BorderColor();
  }
}

TcxContainerBorderStyle TcxContainerStyle::DefaultBorderStyle() const {
  if (IsBaseStyle()) {
    switch (LookAndFeel()->Kind()) {
      case lfFlat: return cbsFlat;
      case lfStandard: return cbs3D;
      case lfOffice11: return cbsOffice11;
      default: return cbsUltraFlat;
    }
  }
  const TcxContainerBorderStyle b = BaseStyle()->BorderStyle();
  return FState != ccDisabled && BaseStyle()->HotTrack() ? HotBorderStyle(b) : b;
}

TColor TcxContainerStyle::DefaultColor() const {
  IcxStyleContainer* c = OwnerContainer();
  if (IsBaseStyle()) return !c || c->IsDefaultParentColor() ? clBtnFace : clWindow;
  if (FState == ccDisabled && c && !c->IsDefaultParentColor()) return clBtnFace;
  return BaseStyle()->Color();
}

TColor TcxContainerStyle::DefaultTextColor() const {
  switch (FState) {
    case ccNormal: return Font() ? Font()->Color() : clWindowText;
    case ccDisabled: return clBtnShadow;
    default: return BaseStyle()->TextColor();
  }
}

TFontStyles TcxContainerStyle::DefaultTextStyle() const {
  if (FState == ccNormal) return Font() ? Font()->Style() : TFontStyles{};
  return BaseStyle()->TextStyle();
}

// ---------------------------------------------------------------- writers

void TcxContainerStyle::SetBorderColor(TColor Value) {
  if (FAssignedValues.Contains(csvBorderColor) && FBorderColor == Value) return;
  FBorderColor = Value;
  SetValueBit(csvBorderColor);
  Changed();
}

void TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle Value) {
  if (FAssignedValues.Contains(csvBorderStyle) && FBorderStyle == Value) return;
  FBorderStyle = Value;
  SetValueBit(csvBorderStyle);
  Changed();
}

void TcxContainerStyle::SetColor(TColor Value) {
  if (FAssignedValues.Contains(csvColor) && FColor == Value) return;
  FColor = Value;
  SetValueBit(csvColor);
  Changed();
}

void TcxContainerStyle::SetTextColor(TColor Value) {
  if (FAssignedValues.Contains(csvTextColor) && TextColor() == Value) return;
  FTextColor = Value;
  SetValueBit(csvTextColor);
  Changed();
}

void TcxContainerStyle::SetTextStyle(TFontStyles Value) {
  if (FAssignedValues.Contains(csvTextStyle) && TextStyle() == Value) return;
  FTextStyle = Value;
  SetValueBit(csvTextStyle);
  Changed();
}

void TcxContainerStyle::SetEdges(TcxBorders Value) {
  if (!IsBaseStyle()) return BaseStyle()->SetEdges(Value);
  if (FAssignedValues.Contains(csvEdges) && FEdges == Value) return;
  FEdges = Value;
  SetValueBit(csvEdges);
  Changed();
}

void TcxContainerStyle::SetHotTrack(bool Value) {
  if (!IsBaseStyle()) return BaseStyle()->SetHotTrack(Value);
  if (FAssignedValues.Contains(csvHotTrack) && FHotTrack == Value) return;
  FHotTrack = Value;
  SetValueBit(csvHotTrack);
  Changed();
}

void TcxContainerStyle::SetShadow(bool Value) {
  if (!IsBaseStyle()) return BaseStyle()->SetShadow(Value);
  if (FAssignedValues.Contains(csvShadow) && FShadow == Value) return;
  FShadow = Value;
  SetValueBit(csvShadow);
  Changed();
}

void TcxContainerStyle::SetTransparentBorder(bool Value) {
  if (!IsBaseStyle()) return BaseStyle()->SetTransparentBorder(Value);
  if (FAssignedValues.Contains(csvTransparentBorder) && FTransparentBorder == Value) return;
  FTransparentBorder = Value;
  SetValueBit(csvTransparentBorder);
  Changed();
}

void TcxContainerStyle::SetFont(TFont* Value) {
  if (FDirectAccessMode) {
    FFont = Value;
    return;
  }
  if (!IsBaseStyle()) return BaseStyle()->SetFont(Value);
  ++FFontLockCount;
  if (Value) FFont->Assign(Value);
  --FFontLockCount;
  SetValueBit(csvFont);
  Changed();
}

void TcxContainerStyle::SetAssignedValues(TcxContainerStyleValues Value) {
  if (FAssignedValues == Value) return;
  FAssignedValues = Value;
  StylesChanged();
  if (IsBaseStyle()) UpdateFont();
  Changed();
}

void TcxContainerStyle::SetLookAndFeel(TcxLookAndFeel* Value) { LookAndFeel()->Assign(Value); }

void TcxContainerStyle::SetStyleController(TcxStyleController* Value) {
  if (!IsBaseStyle()) return BaseStyle()->SetStyleController(Value);
  if (gStandard && FOwner == gStandard) return;
  if (!Value) Value = GetFallbackController();
  // Refused when it would close a loop: this style is the normal style of a controller up
  // the new controller's chain.
  TcxStyleController* c = Value;
  for (int i = 0; c && i < kMaxChain; ++i) {
    if (c->Style() == this) return;
    c = c->Style()->FStyleController;
  }
  if (c) return;  // a loop elsewhere in the chain
  if (Value == FStyleController) return;
  if (FStyleController) FStyleController->RemoveListener(this);
  StylesChanged();
  FStyleController = Value;
  if (Value) Value->AddListener(this);  // a style may have no fallback (edit styles in place)
  ControllerChanged(Value);
}

// ---------------------------------------------------------------- changes

void TcxContainerStyle::Changed() {
  StylesChanged();
  FModified = true;
  CheckChanges();
}

void TcxContainerStyle::CheckChanges() {
  if (!FModified || FUpdateCount != 0) return;
  FModified = false;
  if (!FDestroying && !FDirectAccessMode && OnChanged) OnChanged(this);
}

void TcxContainerStyle::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  CheckChanges();
}

void TcxContainerStyle::ControllerChanged(TcxStyleController*) {
  UpdateFont();
  Changed();
}

void TcxContainerStyle::ControllerFreeNotification(TcxStyleController* AController) {
  if (AController == ControllerOfBase()) SetStyleController(nullptr);
}

void TcxContainerStyle::FontChanged(TObject*) {
  if (FFontLockCount == 0) SetValueBit(csvFont);
  Changed();
}

void TcxContainerStyle::ResetFont(TFont* F) {
  TFont plain;
  F->Assign(&plain);
}

void TcxContainerStyle::UpdateFont() {
  if (!IsBaseStyle()) return BaseStyle()->UpdateFont();
  if (FDirectAccessMode || FAssignedValues.Contains(csvFont) || !FFont) return;
  ++FFontLockCount;
  if (const TcxContainerStyle* s = AssignedSource(csvFont)) {
    if (s->Font()) FFont->Assign(s->Font());
  } else if (IcxStyleContainer* c = OwnerContainer(); !c || !c->StyleParentFont()) {
    ResetFont(FFont);
  }
  --FFontLockCount;
}

// ---------------------------------------------------------------- assign and defaults

void TcxContainerStyle::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TcxContainerStyle*>(Source);
  if (!src) return TPersistent::Assign(Source);
  BeginUpdate();
  if (IsBaseStyle()) {
    SetStyleController(src->StyleController());
    LookAndFeel()->Assign(src->LookAndFeel());
  }
  FBorderColor = src->FBorderColor;
  FBorderStyle = src->FBorderStyle;
  FEdges = src->FEdges;
  FHotTrack = src->FHotTrack;
  FShadow = src->FShadow;
  FTransparentBorder = src->FTransparentBorder;
  FColor = src->FColor;
  if (FDirectAccessMode) {
    FFont = src->Font();
    FTextColor = src->TextColor();
  } else {
    if (IsBaseStyle() && src->Font()) {
      ++FFontLockCount;
      FFont->Assign(src->Font());
      if (src->FDirectAccessMode) FFont->SetColor(src->TextColor());
      --FFontLockCount;
    }
    FTextColor = src->TextColor();
    FTextStyle = src->TextStyle();
  }
  FAssignedValues = src->FAssignedValues;
  Changed();
  EndUpdate();
}

void TcxContainerStyle::RestoreDefaults() {
  BeginUpdate();
  SetAssignedValues({});
  IcxStyleContainer* c = OwnerContainer();
  if (IsBaseStyle()) {
    LookAndFeel()->ResetAssignedValues();
    if (c) {
      c->SetStyleParentColor(false);
      c->SetStyleParentFont(true);
    } else if (!FDirectAccessMode && FFont) {
      ++FFontLockCount;
      ResetFont(FFont);
      --FFontLockCount;
    }
  }
  if (c && c->IsDefaultParentColor()) {
    TcxStyleController* controller = ControllerOfBase();
    if (!controller || !controller->Style()->IsStyleValueAssigned(csvColor)) c->SetStyleParentColor(true);
  }
  EndUpdate();
}

// ---------------------------------------------------------------- streaming

bool TcxContainerStyle::IsValueStoredForState(const String& Name) const {
  if (SameText(Name, "LookAndFeel") || SameText(Name, "StyleController")) return false;
  TcxContainerStyleValue v;
  if (!FindStyleValue(Name, v)) return true;
  return !GetBaseOnlyValues().Contains(v);
}

bool TcxContainerStyle::Stored(TcxContainerStyleValue V, const char* Name) const {
  if (!FAssignedValues.Contains(V)) return false;
  if (IcxStyleContainer* c = OwnerContainer()) {
    if (!IsBaseStyle() && !IsValueStoredForState(Name)) return false;
    if (c->UnstoredStyleValues().Contains(V)) return false;
    return c->IsStyleValueStored(const_cast<TcxContainerStyle*>(this), Name);
  }
  return true;
}

bool TcxContainerStyle::StyleControllerStored() const { return IsBaseStyle() && StyleController() != nullptr; }

void TcxContainerStyle::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineProperty(
      "IsFontAssigned",
      [this](TReader* r) {
        r->ReadBoolean();  // the value itself says nothing: its presence does
        BaseStyle()->SetValueBit(csvFont);
      },
      [](TWriter* w) { w->WriteBoolean(true); }, FontStored());
}

// ---------------------------------------------------------------- TcxContainerStyles

TcxContainerStyles::TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass) {
  FStyles[ccNormal].reset(AStyleClass(AOwner, false, nullptr, ccNormal));
  for (TcxContainerCondition c : {ccFocused, ccDisabled, ccHot})
    FStyles[c].reset(AStyleClass(AOwner, false, FStyles[ccNormal].get(), c));
}

TcxContainerStyles::~TcxContainerStyles() {
  for (int i = 3; i >= 0; --i) FStyles[i].reset();
}

void TcxContainerStyles::SetChangeHandler(const TNotifyEvent& Handler) {
  for (auto& s : FStyles) s->OnChanged = Handler;
}

// ---------------------------------------------------------------- TcxStyleController

KELM_PUBLISH(TcxStyleController) { Published(b); }

TcxStyleController::TcxStyleController(TComponent* AOwner) : TComponent(AOwner) { Init(ControllerStyleClass()); }

TcxStyleController::TcxStyleController(TComponent* AOwner, TStandardTag) : TComponent(AOwner) {
  gStandard = this;  // its own styles must see that they belong to the standard controller
  Init(ControllerStyleClass());
}

TcxStyleController::TcxStyleController(TComponent* AOwner, TcxContainerStyleClass AStyleClass, bool AsStandard)
    : TComponent(AOwner) {
  if (AsStandard) gStandard = this;
  Init(AStyleClass);
}

void TcxStyleController::Init(TcxContainerStyleClass AStyleClass) {
  FStyleSet = std::make_unique<TcxContainerStyles>(this, AStyleClass);
  FStyleSet->SetChangeHandler(TNotifyEvent(this, &TcxStyleController::StyleSetChanged));
}

TcxStyleController::~TcxStyleController() {
  FDestroying = true;
  for (TcxContainerStyle* s : std::vector<TcxContainerStyle*>(FListeners)) s->ControllerFreeNotification(this);
  FListeners.clear();
  FStyleSet.reset();
  if (gStandard == this) gStandard = nullptr;
}

TcxContainerStyleClass TcxStyleController::ControllerStyleClass() {
  return [](TPersistent* O, bool D, TcxContainerStyle* P, TcxContainerCondition S) {
    return new TcxContainerStyle(O, D, P, S);
  };
}

void TcxStyleController::AddListener(TcxContainerStyle* AStyle) {
  if (std::find(FListeners.begin(), FListeners.end(), AStyle) != FListeners.end()) return;
  FListeners.push_back(AStyle);
  AStyle->LookAndFeel()->SetMaster(Style()->LookAndFeel());
}

void TcxStyleController::RemoveListener(TcxContainerStyle* AStyle) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AStyle);
  if (it == FListeners.end()) return;
  if (!FDestroying) FListeners.erase(it);
  if (TcxLookAndFeel* lf = AStyle->LookAndFeel()) lf->SetMaster(nullptr);
}

void TcxStyleController::Loaded() {
  TComponent::Loaded();
  Changed();
}

void TcxStyleController::Changed() {
  if (OnStyleChanged) OnStyleChanged(this);
  if (FDestroying) return;
  for (TcxContainerStyle* s : std::vector<TcxContainerStyle*>(FListeners)) s->ControllerChanged(this);
}

void TcxStyleController::ScaleStyleFont(int M, int D) {
  TcxContainerStyle* s = Style();
  if (s->FAssignedValues.Contains(csvFont)) {
    if (FFontScaled) return;
    FFontScaled = true;
    s->Font()->SetSize(MulDiv(s->Font()->Size(), M, D));
  } else if (TcxStyleController* c = s->ControllerOfBase()) {
    c->ScaleStyleFont(M, D);
  }
}

namespace {
TcxStyleController* (*gStandardMaker)() = nullptr;
}  // namespace

void SetStandardStyleControllerMaker(TcxStyleController* (*Maker)()) { gStandardMaker = Maker; }

TcxStyleController* StandardStyleController() {
  if (!gStandard) {
    if (gStandardMaker) gStandardMaker();
    else new TcxStyleController(nullptr, TcxStyleController::TStandardTag{});
    AddExitProc([] { delete gStandard; });
  }
  return gStandard;
}

namespace {
// Layouts find the controller by its class name.
const bool gRegistered = (RegisterClass(TcxStyleController::StaticClass()), true);
}  // namespace
