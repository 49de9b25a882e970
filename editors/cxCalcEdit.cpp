// The calculator editor and the calculator of its popup.
#include "editors/cxCalcEdit.h"

#include "core/ClassBuilder.h"
#include "core/FloatFormat.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "editors/cxButtons.h"
#include "editors/cxClasses.h"
#include "editors/cxEditDefaultValues.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditStyles.h"
#include "editors/cxInnerTextEdit.h"
#include "editors/cxTextEditNumbers.h"
#include "gui/Messages.h"

#include <cfloat>
#include <cmath>

template <class B> void TcxCalcEditProperties::Published(B& b) {
  using P = TcxCalcEditProperties;
  b.Prop("Alignment", &P::Alignment, &P::SetAlignmentValue).Stored(&P::AlignmentStored);
  b.Prop("AssignedValues", &P::AssignedValues, &P::SetAssignedValues);
  b.Prop("AutoSelect", &P::AutoSelect, &P::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &P::BeepOnError, &P::SetBeepOnError).Default(true);
  b.Prop("ButtonGlyph", &P::ButtonGlyph, &P::SetButtonGlyph);
  b.Prop("ClearKey", &P::ClearKey, &P::SetClearKey).Type("TShortCut").Default(0);
  b.Prop("DisplayFormat", &P::DisplayFormat, &P::SetDisplayFormat).Stored(&P::DisplayFormatStored);
  b.Prop("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &P::ImeName, &P::SetImeName);
  b.Prop("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
  b.Prop("Precision", &P::Precision, &P::SetPrecision).Stored(&P::PrecisionStored);
  b.Prop("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Stored(&P::ReadOnlyStored);
  b.Prop("QuickClose", &P::QuickClose, &P::SetQuickClose).Default(false);
  b.Prop("ScientificFormat", &P::ScientificFormat, &P::SetScientificFormat).Default(false);
  b.Prop("UseLeftAlignmentOnEditing", &P::UseLeftAlignmentOnEditing, &P::SetUseLeftAlignmentOnEditing)
      .Stored(&P::UseLeftAlignmentOnEditingStored);
  b.Prop("UseThousandSeparator", &P::UseThousandSeparator, &P::SetUseThousandSeparator).Default(false);
  b.Prop("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
  b.Prop("OnChange", &P::OnChange, &P::SetOnChange);
  b.Prop("OnCloseUp", &P::OnCloseUp, &P::SetOnCloseUp);
  b.Prop("OnEditValueChanged", &P::OnEditValueChanged, &P::SetOnEditValueChanged);
  b.Prop("OnInitPopup", &P::OnInitPopup, &P::SetOnInitPopup);
  b.Prop("OnPopup", &P::OnPopup, &P::SetOnPopup);
  b.Prop("OnValidate", &P::OnValidate, &P::SetOnValidate);
}

template <class B> void TcxCalcEdit::Published(B& b) {
  using E = TcxCalcEdit;
  PublishAnchors(b);
  PublishedEditing(b);
  b.Prop("BeepOnEnter", &E::BeepOnEnterValue, &E::SetBeepOnEnter).Default(true);
  PublishBiDiMode(b);
  PublishConstraints(b);
  PublishDragCursor(b);
  PublishDragKind(b);
  PublishDragMode(b);
  PublishEnabled(b);
  PublishImeMode(b);
  PublishImeName(b);
  PublishParentBiDiMode(b);
  PublishParentColor(b).Default(false);
  PublishParentFont(b);
  PublishParentShowHint(b);
  b.Prop("Properties", &E::Properties, &E::SetProperties);
  PublishShowHint(b);
  PublishTabOrder(b);
  b.Prop("Value", &E::Value, &E::SetValue).Stored(false);
  PublishVisible(b);
  PublishOnClick(b);
  PublishOnContextPopup(b);
  PublishOnDblClick(b);
  PublishOnDragDrop(b);
  PublishOnDragOver(b);
  PublishOnEndDock(b);
  PublishOnEndDrag(b);
  PublishOnEnter(b);
  PublishOnExit(b);
  PublishOnKeyDown(b);
  PublishOnKeyPress(b);
  PublishOnKeyUp(b);
  PublishOnMouseDown(b);
  PublishOnMouseMove(b);
  PublishOnMouseUp(b);
  PublishOnStartDock(b);
  PublishOnStartDrag(b);
}

KELM_PUBLISH(TcxPopupCalculator) {}
KELM_PUBLISH(TcxCalcEditPropertiesValues) { Published(b); }
KELM_PUBLISH(TcxCustomCalcEditProperties) {}
KELM_PUBLISH(TcxCalcEditProperties) { Published(b); }
KELM_PUBLISH(TcxCustomCalcEdit) {}
KELM_PUBLISH(TcxCalcEdit) { Published(b); }

namespace {
const bool gClassesRegistered = (RegisterClasses({TcxCalcEdit::StaticClass()}), true);

String ErrorText() { return TranslateLibraryString("错误"); }

// A number's text starts so: a sign, digits with at most one decimal separator, then an
// exponent mark after a digit, its sign and digits. Every state may end the text.
bool IsNumberPrefix(const String& S, char Decimal) {
  std::size_t i = 0;
  const std::size_t n = S.size();
  if (i < n && (S[i] == '+' || S[i] == '-')) ++i;
  bool digits = false, separator = false;
  for (; i < n; ++i) {
    if (S[i] >= '0' && S[i] <= '9') digits = true;
    else if (S[i] == Decimal && !separator) separator = true;
    else break;
  }
  if (i == n) return true;
  if ((S[i] != 'e' && S[i] != 'E') || !digits) return false;
  ++i;
  if (i < n && (S[i] == '+' || S[i] == '-')) ++i;
  for (; i < n; ++i)
    if (S[i] < '0' || S[i] > '9') return false;
  return true;
}

String WithoutChar(String S, char C) {
  S.erase(std::remove(S.begin(), S.end(), C), S.end());
  return S;
}

// Trailing zeros of a scientific mantissa go; the exponent stays as it is.
String TrimMantissa(const String& Text) {
  const std::size_t e = Text.find_first_of("Ee");
  String mantissa = Text.substr(0, e), exponent = e == String::npos ? String() : Text.substr(e);
  if (mantissa.find(FormatSettings().DecimalSeparator) != String::npos) {
    while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
    if (!mantissa.empty() && mantissa.back() == FormatSettings().DecimalSeparator) mantissa.pop_back();
  }
  return mantissa + exponent;
}
}  // namespace

// ================================================================ popup calculator

TcxPopupCalculator::TcxPopupCalculator(TComponent* AOwner) : TcxCustomCalculator(AOwner) { EmbeddedInPopup = true; }

TcxLookAndFeelPainterClass TcxPopupCalculator::GetKeyPainter() {
  if (OwnerCalcEdit && OwnerCalcEdit->PopupControlsFeel()) return ChooseButtonPainter(OwnerCalcEdit->PopupControlsFeel());
  return TcxCustomCalculator::GetKeyPainter();
}

void TcxPopupCalculator::ReadDisplay(String& Text) { Text = OwnerCalcEdit ? OwnerCalcEdit->Text() : String(); }

void TcxPopupCalculator::WriteDisplay(const String& Text) {
  if (!OwnerCalcEdit || !OwnerCalcEdit->RequestEditing()) return;
  if (OwnerCalcEdit->InnerEdit()) OwnerCalcEdit->InnerEdit()->SetEditValue(Text);
  // The focus is in the popup, so the editor paints its text from its value: the value
  // follows every step, or the old amount would show under the new text.
  OwnerCalcEdit->AdoptDisplayText();
  OwnerCalcEdit->SetChangedSinceEnter(true);
  OwnerCalcEdit->DisplayUpdated();
}

void TcxPopupCalculator::KeyDown(Word& Key, TShiftState Shift) {
  TcxCustomCalculator::KeyDown(Key, Shift);
  if (!OwnerCalcEdit) return;
  const TShiftState mods = Shift * TShiftState{ssShift, ssAlt, ssCtrl};
  switch (Key) {
    case VK_TAB: OwnerCalcEdit->PopupTabKey(Key, Shift); break;
    case VK_RETURN: RequestClose(this, pcrAccept); break;
    case VK_ESCAPE: RequestClose(this, pcrCancel); break;
    case VK_UP:
    case VK_DOWN:
      if (mods == TShiftState{ssAlt}) RequestClose(this, pcrToggle);
      break;
    case VK_F4:
      if (!Shift.Contains(ssAlt)) RequestClose(this, pcrToggle);
      break;
    case VK_INSERT:
      if (mods == TShiftState{ssShift}) PasteDisplay();
      else if (mods == TShiftState{ssCtrl}) CopyDisplay();
      break;
    default: break;
  }
}

void TcxPopupCalculator::KeyPress(Char& Key) {
  TcxCustomCalculator::KeyPress(Key);
  if (Key == '=' && OwnerCalcEdit && OwnerCalcEdit->CalcProperties()->QuickClose()) RequestClose(this, pcrAccept);
}

// ================================================================ properties

void TcxCalcEditPropertiesValues::SetPrecision(bool Value) {
  if (FPrecision == Value) return;
  FPrecision = Value;
  Changed();
}

void TcxCalcEditPropertiesValues::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCalcEditPropertiesValues*>(Source);
  if (!s) return TcxTextEditPropertiesValues::Assign(Source);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxTextEditPropertiesValues::Assign(Source);
  SetPrecision(s->FPrecision);
}

void TcxCalcEditPropertiesValues::ResetAssigned() {
  TcxTextEditPropertiesValues::ResetAssigned();
  SetPrecision(false);
}

TcxCustomCalcEditProperties::TcxCustomCalcEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner) {
  SetBeepOnError(true);
  FPrecision = 15;
  FQuickClose = false;
  SetPopupSizeable(false);
  SetImmediateDropDown(false);
}

TcxCustomEditPropertiesValuesClass TcxCustomCalcEditProperties::GetAssignedValuesClass() {
  return [](TcxCustomEditProperties* O) -> TcxCustomEditPropertiesValues* { return new TcxCalcEditPropertiesValues(O); };
}

TClass TcxCustomCalcEditProperties::GetEditorClass() { return TcxCalcEdit::StaticClass(); }

Byte TcxCustomCalcEditProperties::Precision() const {
  Byte value = 15;
  if (AssignedValues()->Precision()) value = FPrecision;
  else if (IcxEditDefaultValuesProvider* p = DefaultValuesProvider()) value = Byte(std::clamp(p->GetPrecisionDefault(), 0, 255));
  return std::min<Byte>(value, 15);
}

void TcxCustomCalcEditProperties::SetPrecision(Byte Value) {
  if (AssignedValues()->Precision() && FPrecision == Value) return;
  FPrecision = Value;
  AssignedValues()->SetPrecision(true);
  SignalPropertiesChanged();
}

int TcxCustomCalcEditProperties::EffectivePrecision() const {
  const int p = Precision();
  return p == 0 ? 15 : p;
}

void TcxCustomCalcEditProperties::SetQuickClose(bool Value) {
  if (FQuickClose == Value) return;
  FQuickClose = Value;
  SignalPropertiesChanged();
}

void TcxCustomCalcEditProperties::SetScientificFormat(bool Value) {
  if (FScientificFormat == Value) return;
  FScientificFormat = Value;
  SignalPropertiesChanged();
}

void TcxCustomCalcEditProperties::SetUseThousandSeparator(bool Value) {
  if (FUseThousandSeparator == Value) return;
  FUseThousandSeparator = Value;
  SignalPropertiesChanged();
}

void TcxCustomCalcEditProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomCalcEditProperties*>(Source);
  if (!s) return TcxCustomPopupEditProperties::Assign(Source);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxCustomPopupEditProperties::Assign(Source);
  SetBeepOnError(s->BeepOnError());
  AssignedValues()->SetPrecision(false);
  if (s->AssignedValues()->Precision()) SetPrecision(s->Precision());
  SetQuickClose(s->QuickClose());
  SetScientificFormat(s->ScientificFormat());
  SetUseThousandSeparator(s->UseThousandSeparator());
}

bool TcxCustomCalcEditProperties::ThousandSeparatorEnabled(bool) { return FUseThousandSeparator && !FScientificFormat; }

Byte TcxCustomCalcEditProperties::GetValueSourceKind(bool Focused) {
  if (Focused || AssignedValues()->DisplayFormat()) return 0;
  IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
  return p && p->HasDisplayFormat(!(GetFormatTraits() & 2)) ? 1 : 0;
}

bool TcxCustomCalcEditProperties::TextToNumber(const String& Text, Extended& Number) const {
  String s = Text;
  if (!FScientificFormat && FUseThousandSeparator) s = WithoutChar(s, FormatSettings().ThousandSeparator);
  return TryStrToFloat(Trim(s), Number);
}

bool TcxCustomCalcEditProperties::IsValueAcceptable(const Variant& Value, bool) {
  // Texts are taken whether or not they read as numbers: one that does not is shown as it
  // is (and refused by the validation) rather than blanked.
  return VarIsNull(Value) || VarIsEmpty(Value) || VarIsNumeric(Value) || VarIsStr(Value);
}

void TcxCustomCalcEditProperties::PrepareDisplayValue(const Variant& Value, Variant& DisplayValue, bool Focused) {
  if (VarIsNull(Value) || VarIsEmpty(Value) || (VarIsStr(Value) && VarToStr(Value).empty())) {
    DisplayValue = String();
    return;
  }
  Extended number = 0;
  if (VarIsNumeric(Value)) number = Value.AsDouble();
  else if (!TextToNumber(VarToStr(Value), number)) {
    DisplayValue = VarToStr(Value);
    return;
  }
  if (!Focused && AssignedValues()->DisplayFormat()) {
    DisplayValue = FormatFloat(DisplayFormat(), number);
    return;
  }
  String text = FloatToStrF(number, FScientificFormat ? ffExponent : ffGeneral, EffectivePrecision(), 0);
  if (FScientificFormat) text = TrimMantissa(text);
  else if (FUseThousandSeparator) InsertThousandSeparators(text);
  DisplayValue = text;
}

void TcxCustomCalcEditProperties::CheckDisplayValue(Variant& DisplayValue, String& ErrorText, bool& Error,
                                                    TcxCustomEdit* AEdit) {
  Error = false;
  const String text = VarIsNull(DisplayValue) ? String() : VarToStr(DisplayValue);
  Extended number;
  // A text that is no number would otherwise pass as no value and vanish at the next focus change.
  if (!Trim(text).empty() && !TextToNumber(text, number)) Error = true;
  TcxCustomPopupEditProperties::CheckDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

// ================================================================ editor

TcxCustomCalcEdit::TcxCustomCalcEdit(TComponent* AOwner) : TcxCustomCalcEdit(AOwner, false) {}

TcxCustomCalcEdit::TcxCustomCalcEdit(TComponent* AOwner, bool AInPlace)
    : TcxCustomPopupEdit(AOwner, AInPlace, TDeferInitialize{}) {
  InitializeEdit();
}

TcxCustomCalcEdit::TcxCustomCalcEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D)
    : TcxCustomPopupEdit(AOwner, AInPlace, D) {}

TcxCustomCalcEdit::~TcxCustomCalcEdit() {
  if (IsPopupOpen()) RestorePopupControl();
  if (Properties()) PopupProperties()->SetPopupControl(nullptr);
  delete FCalculator;
  FCalculator = nullptr;
}

TClass TcxCustomCalcEdit::GetPropertiesClass() { return TcxCustomCalcEditProperties::StaticClass(); }

void TcxCustomCalcEdit::InitializeEdit() {
  TcxCustomPopupEdit::InitializeEdit();
  SetValue(0.0);
  FCalculator = new TcxPopupCalculator(this);
  FCalculator->SetVisible(false);
  if (PopupForm()) FCalculator->SetParent(PopupForm());
  FCalculator->OwnerCalcEdit = this;
  FCalculator->SetFitFontToButtons(false);
  FCalculator->OnCloseRequest = TcxCalcCloseRequestEvent(this, &TcxCustomCalcEdit::ClosePopupLater);
  PopupProperties()->SetPopupControl(FCalculator);
  SyncCalculator();
}

Extended TcxCustomCalcEdit::Value() const {
  const Variant v = EditValue();
  if (VarIsNull(v) || VarIsEmpty(v)) return 0;
  if (VarIsNumeric(v)) return v.AsDouble();
  Extended number = 0;
  return CalcProperties()->TextToNumber(VarToStr(v), number) ? number : 0;
}

void TcxCustomCalcEdit::SetValue(Extended Value) { ChangeEditValue(Variant(double(Value))); }

void TcxCustomCalcEdit::ConvertDisplayToEditValue(const Variant& DisplayValue, Variant& EditValue, bool) {
  const String text = VarIsNull(DisplayValue) ? String() : VarToStr(DisplayValue);
  Extended number;
  if (Trim(text).empty()) EditValue = Null();
  else if (CalcProperties()->TextToNumber(text, number)) EditValue = double(number);
  else EditValue = text;  // kept, so that it stays visible until it is corrected
}

void TcxCustomCalcEdit::GetEditingValue(Variant& Value) { ConvertDisplayToEditValue(Text(), Value, true); }

void TcxCustomCalcEdit::ClipboardPaste() {
  if (RequestEditing()) FCalculator->PasteDisplay();
}

void TcxCustomCalcEdit::MakePopupForm() {
  TcxCustomPopupEdit::MakePopupForm();
  PopupForm()->ModalLoop = false;
}

bool TcxCustomCalcEdit::HasPopupContent() {
  return !ActiveProperties()->ReadOnly() && DataBinding()->IsDataPresent();
}

void TcxCustomCalcEdit::PreparePopup() {
  TcxCustomPopupEdit::PreparePopup();
  PopupProperties()->SetPopupControl(FCalculator);
  FTextOnOpen = Text();
  FValueOnOpen = EditValue();
  FChangedOnOpen = ChangedSinceEnter();
}

void TcxCustomCalcEdit::ApplyPopupSettings() {
  TcxCustomPopupEdit::ApplyPopupSettings();
  FCalculator->HandleNeeded();
  FCalculator->Font()->Assign(ActiveEditStyle()->VisibleFont());
  FCalculator->Perform(CM_FONTCHANGED, 0, 0);
  FCalculator->Resize();
}

void TcxCustomCalcEdit::HandlePopupShown(TObject* Sender) {
  TcxCustomPopupEdit::HandlePopupShown(Sender);
  FCalculator->ClearKeyDown();
}

void TcxCustomCalcEdit::HandlePopupClosed(TObject* Sender) {
  // A cancelled calculation, or one that ends in the error text, must not cost the amount
  // the editor held: both put back what was there when the popup opened.
  const bool failed = Text() == ErrorText();
  if (failed || LastCloseReason == pcrCancel) {
    if (InnerEdit()) InnerEdit()->SetEditValue(FTextOnOpen);
    SetEditValueField(FValueOnOpen);
    DisplayUpdated();
    SetChangedSinceEnter(FChangedOnOpen);
    if (failed && CalcProperties()->BeepOnError()) MessageBeep(0);
  }
  if (ActiveProperties()->AutoSelect()) SelectWholeText();
  else SetSelStart(Length(Text()));
  TcxCustomPopupEdit::HandlePopupClosed(Sender);
}

void TcxCustomCalcEdit::SyncCalculator() {
  if (!FCalculator) return;
  TcxCustomCalcEditProperties* p = CalcProperties();
  FCalculator->ErrorBeep = p->BeepOnError();
  // The calculator keeps as many digits as the editor shows: 0 means 15 for both.
  FCalculator->CalcPrecision = Byte(p->EffectivePrecision());
}

void TcxCustomCalcEdit::ApplyPropertiesChange(TObject* Sender) {
  if (auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Sender); p && p->LocaleFormatsChanging()) return;
  TcxCustomPopupEdit::ApplyPropertiesChange(Sender);
  if (InnerEditMissing() || !FCalculator) return;
  SyncCalculator();
  TcxCustomEditProperties* p = ActiveProperties();
  const bool was = p->IsSignalHeld();
  p->SetSignalSuppressed(true);
  TScopeExit release([p, was] { p->SetSignalSuppressed(was); });
  PopupProperties()->SetPopupControl(FCalculator);
}

void TcxCustomCalcEdit::FormatChanged() { DataBinding()->RefreshDisplay(); }

void TcxCustomCalcEdit::DoEnter() {
  ShowEditValue();
  TcxCustomPopupEdit::DoEnter();
}

void TcxCustomCalcEdit::DoExit() {
  // An amount that is no number is validated (and refused) even when the program wrote it.
  Extended number;
  const String text = Text();
  if (!Trim(text).empty() && !CalcProperties()->TextToNumber(text, number)) SetChangedSinceEnter(true);
  TcxCustomPopupEdit::DoExit();
  DataBinding()->RefreshDisplay();
}

bool TcxCustomCalcEdit::AcceptsTypedText(const String& Text) {
  const String s = WithoutChar(Text, FormatSettings().ThousandSeparator);
  if (!IsNumberPrefix(s, FormatSettings().DecimalSeparator)) return false;
  Extended v;
  if (!TryStrToFloat(s, v)) return true;  // the start of a number
  const Extended m = std::fabs(v);
  return v == 0 || (m >= 5.0E-324L && m <= 1.7E308L);
}

void TcxCustomCalcEdit::KeyPress(Char& Key) {
  if (Key == '.' || Key == ',') Key = static_cast<unsigned char>(FormatSettings().DecimalSeparator);
  if (Key >= 32) {
    const bool floatChar = (Key >= '0' && Key <= '9') || Key == '+' || Key == '-' || Key == 'e' || Key == 'E' ||
                           Key == Char(static_cast<unsigned char>(FormatSettings().DecimalSeparator));
    bool accepted = floatChar;
    if (accepted) {
      const std::u32string text = Utf8ToUtf32(Text());
      const int start = std::min<int>(SelStart(), int(text.size()));
      const int end = std::min<int>(start + SelLength(), int(text.size()));
      accepted = AcceptsTypedText(Utf32ToUtf8(text.substr(0, start) + Key + text.substr(end)));
    }
    if (!accepted) {
      Key = 0;
      if (CalcProperties()->BeepOnError()) Beep();
      return;
    }
  }
  TcxCustomPopupEdit::KeyPress(Key);
}

TcxCalcEdit::TcxCalcEdit(TComponent* AOwner) : TcxCalcEdit(AOwner, false) {}

TcxCalcEdit::TcxCalcEdit(TComponent* AOwner, bool AInPlace) : TcxCustomCalcEdit(AOwner, AInPlace, TDeferInitialize{}) {
  InitializeEdit();
}

TClass TcxCalcEdit::GetPropertiesClass() { return TcxCalcEditProperties::StaticClass(); }

void RegisterCalcEditProperties() {
  static bool done = false;
  if (done) return;
  done = true;
  EditPropertiesRegistry()->RegisterEntry(
      TcxCalcEditProperties::StaticClass(),
      TranslateLibraryString("CalcEdit|Represents an edit control with a dropdown calculator window"));
}

namespace {
const bool gRegistered = (RegisterCalcEditProperties(), true);
}  // namespace
