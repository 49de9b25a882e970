// Text editor properties: assigned-value flags, provider-aware getters, value formatting,
// range checks and the acceptance of typed text.
#include "editors/cxTextEditProperties.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/FloatFormat.h"
#include "core/FormatSettings.h"
#include "core/Reader.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "editors/cxClasses.h"
#include "editors/cxCustomEdit.h"
#include "editors/cxEditDefaultValues.h"
#include "editors/cxRegisteredClasses.h"
#include "editors/cxTextEdit.h"
#include "editors/cxTextEditLookupData.h"
#include "editors/cxTextEditNumbers.h"
#include "editors/cxTextEditViewInfo.h"

KELM_PUBLISH(TcxTextEditPropertiesValues) { Published(b); }
KELM_PUBLISH(TcxCustomTextEditProperties) {}
KELM_PUBLISH(TcxTextEditProperties) { Published(b); }

// ================================================================ assigned values

TcxTextEditPropertiesValues::TcxTextEditPropertiesValues(TcxCustomEditProperties* AOwner)
    : TcxCustomEditPropertiesValues(AOwner) {}

TcxCustomTextEditProperties* TcxTextEditPropertiesValues::TextOwner() const {
  return dynamic_cast<TcxCustomTextEditProperties*>(GetOwner());
}

void TcxTextEditPropertiesValues::SetFlag(bool& Flag, bool Value) {
  if (Flag == Value) return;
  Flag = Value;
  Changed();
}

void TcxTextEditPropertiesValues::SetDisplayFormat(bool Value) { SetFlag(FDisplayFormat, Value); }
void TcxTextEditPropertiesValues::SetEditFormat(bool Value) { SetFlag(FEditFormat, Value); }
void TcxTextEditPropertiesValues::SetMaxValue(bool Value) { SetFlag(FMaxValue, Value); }
void TcxTextEditPropertiesValues::SetMinValue(bool Value) { SetFlag(FMinValue, Value); }

void TcxTextEditPropertiesValues::SetMaxLength(bool Value) {
  if (FMaxLength == Value) return;
  FMaxLength = Value;
  if (TcxCustomTextEditProperties* o = TextOwner()) o->MaxLengthChanged();
}

void TcxTextEditPropertiesValues::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxTextEditPropertiesValues*>(Source);
  if (!s) return TcxCustomEditPropertiesValues::Assign(Source);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxCustomEditPropertiesValues::Assign(Source);
  SetDisplayFormat(s->FDisplayFormat);
  SetEditFormat(s->FEditFormat);
  SetMaxLength(s->FMaxLength);
  SetMaxValue(s->FMaxValue);
  SetMinValue(s->FMinValue);
}

void TcxTextEditPropertiesValues::ResetAssigned() {
  TcxCustomEditPropertiesValues::ResetAssigned();
  SetDisplayFormat(false);
  SetEditFormat(false);
  SetMaxLength(false);
  SetMaxValue(false);
  SetMinValue(false);
}

bool TcxTextEditPropertiesValues::DisplayFormatStored() const {
  TcxCustomTextEditProperties* o = TextOwner();
  return FDisplayFormat && o && o->DisplayFormat().empty() && IsPropertyPublished("DisplayFormat");
}

bool TcxTextEditPropertiesValues::EditFormatStored() const {
  TcxCustomTextEditProperties* o = TextOwner();
  return FEditFormat && o && o->EditFormat().empty() && IsPropertyPublished("EditFormat");
}

bool TcxTextEditPropertiesValues::MaxValueStored() const {
  TcxCustomTextEditProperties* o = TextOwner();
  return FMaxValue && o && o->MaxValue() == 0 && IsPropertyPublished("MaxValue");
}

bool TcxTextEditPropertiesValues::MinValueStored() const {
  TcxCustomTextEditProperties* o = TextOwner();
  return FMinValue && o && o->MinValue() == 0 && IsPropertyPublished("MinValue");
}

// ================================================================ properties

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {
  RecreateAssignedValues();
  FLookupItems = std::make_unique<TStringList>();
  FLookupItems->SetOnChange(TNotifyEvent(this, &TcxCustomTextEditProperties::LookupItemsChanged));
  FormatController()->AddListener(this);
}

TcxCustomTextEditProperties::~TcxCustomTextEditProperties() {
  FormatController()->RemoveListener(this);
  FLookupItems->SetOnChange(nullptr);
  FLookupItems.reset();
}

void TcxCustomTextEditProperties::LookupItemsChanged(TObject*) { SignalPropertiesChanged(); }

TcxCustomEditPropertiesValuesClass TcxCustomTextEditProperties::GetAssignedValuesClass() {
  return [](TcxCustomEditProperties* O) -> TcxCustomEditPropertiesValues* { return new TcxTextEditPropertiesValues(O); };
}

TcxCustomEditViewDataClass TcxCustomTextEditProperties::GetViewDataClass() {
  return [](TcxCustomEditProperties* P, TcxCustomEditStyle* S, bool InPlace) -> TcxCustomEditViewData* {
    return new TcxCustomTextEditViewData(P, S, InPlace);
  };
}

TcxCustomEditViewInfoClass TcxCustomTextEditProperties::GetViewInfoClass() {
  return []() -> TcxCustomEditViewInfo* { return new TcxCustomTextEditViewInfo; };
}

TClass TcxCustomTextEditProperties::GetEditorClass() { return TcxTextEdit::StaticClass(); }

TcxTextEditLookupDataClass TcxCustomTextEditProperties::GetLookupDataClass() {
  return [](TcxCustomTextEdit* E) { return new TcxCustomTextEditLookupData(E); };
}

void TcxCustomTextEditProperties::DefineProperties(TFiler* Filer) {
  TcxCustomEditProperties::DefineProperties(Filer);
  // Read from older layouts only; the flag itself is streamed with AssignedValues.
  Filer->DefineProperty(
      "IsDisplayFormatAssigned", [this](TReader* R) { ReadIsDisplayFormatAssigned(R); }, [](TWriter*) {}, false);
}

void TcxCustomTextEditProperties::ReadIsDisplayFormatAssigned(TReader* Reader) {
  AssignedValues()->Mark(AssignedValues()->DisplayFormatFlag(), Reader->ReadBoolean());
}

// ---------------------------------------------------------------- accessors

void TcxCustomTextEditProperties::ChangeCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  SignalPropertiesChanged();
}

namespace {
template <class T> void Store(TcxCustomTextEditProperties* P, T& Field, const T& Value) {
  if (Field == Value) return;
  Field = Value;
  P->SignalPropertiesChanged();
}
}  // namespace

void TcxCustomTextEditProperties::SetEchoMode(TcxEditEchoMode Value) { Store(this, FEchoMode, Value); }
void TcxCustomTextEditProperties::SetNoTextEditing(bool Value) { Store(this, FNoTextEditing, Value); }
void TcxCustomTextEditProperties::SetHideSelection(bool Value) { Store(this, FHideSelection, Value); }
void TcxCustomTextEditProperties::SetImeMode(TImeMode Value) { Store(this, FImeMode, Value); }
void TcxCustomTextEditProperties::SetImeName(const String& Value) { Store(this, FImeName, Value); }
void TcxCustomTextEditProperties::SetIncrementalSearch(bool Value) { Store(this, FIncrementalSearch, Value); }
void TcxCustomTextEditProperties::SetExactItemSearch(bool Value) { Store(this, FExactItemSearch, Value); }
void TcxCustomTextEditProperties::SetOEMConvert(bool Value) { Store(this, FOEMConvert, Value); }
void TcxCustomTextEditProperties::SetPasswordChar(Char Value) { Store(this, FPasswordChar, Value); }
void TcxCustomTextEditProperties::SetEditWithDisplayFormat(bool Value) { Store(this, FEditWithDisplayFormat, Value); }

void TcxCustomTextEditProperties::SetFixedListCompletion(bool Value) {
  if (FFixedListCompletion == Value) return;
  FFixedListCompletion = Value;
  if (GetEditingStyle() == tesFixedList) SignalPropertiesChanged();
}

void TcxCustomTextEditProperties::SetDisplayFormat(const String& Value) {
  bool& flag = AssignedValues()->DisplayFormatFlag();
  if (flag && FDisplayFormat == Value) return;
  flag = true;
  FDisplayFormat = Value;
  SignalPropertiesChanged();
}

void TcxCustomTextEditProperties::SetEditFormat(const String& Value) {
  bool& flag = AssignedValues()->EditFormatFlag();
  if (flag && FEditFormat == Value) return;
  flag = true;
  FEditFormat = Value;
  SignalPropertiesChanged();
}

void TcxCustomTextEditProperties::SetMaxValue(double Value) {
  bool& flag = AssignedValues()->MaxValueFlag();
  if (flag && FMaxValue == Value) return;
  flag = true;
  FMaxValue = Value;
  SignalPropertiesChanged();
}

void TcxCustomTextEditProperties::SetMinValue(double Value) {
  bool& flag = AssignedValues()->MinValueFlag();
  if (flag && FMinValue == Value) return;
  flag = true;
  FMinValue = Value;
  SignalPropertiesChanged();
}

void TcxCustomTextEditProperties::SetMaxLength(int Value) {
  Value = std::max(Value, 0);
  bool& flag = AssignedValues()->MaxLengthFlag();
  if (flag && FMaxLength == Value) return;
  flag = true;
  FMaxLength = Value;
  SignalPropertiesChanged();
  MaxLengthChanged();
}

String TcxCustomTextEditProperties::DisplayFormat() const {
  if (AssignedValues()->DisplayFormat()) return FDisplayFormat;
  if (IcxEditDefaultValuesProvider* p = DefaultValuesProvider()) {
    const String f = p->GetDisplayFormatDefault();
    if (!f.empty()) return f;
  }
  String f;
  const_cast<TcxCustomTextEditProperties*>(this)->GetDefaultDisplayFormat(f);
  return f;
}

int TcxCustomTextEditProperties::MaxLength() const {
  if (AssignedValues()->MaxLength()) return FMaxLength;
  return const_cast<TcxCustomTextEditProperties*>(this)->GetDefaultMaxLength();
}

double TcxCustomTextEditProperties::MaxValue() const {
  if (AssignedValues()->MaxValue()) return FMaxValue;
  IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
  return p ? p->GetMaxValueDefault() : 0;
}

double TcxCustomTextEditProperties::MinValue() const {
  if (AssignedValues()->MinValue()) return FMinValue;
  IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
  return p ? p->GetMinValueDefault() : 0;
}

int TcxCustomTextEditProperties::GetDefaultMaxLength() {
  IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
  return p ? p->GetMaxLengthDefault() : 0;
}

// ---------------------------------------------------------------- assign

void TcxCustomTextEditProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomTextEditProperties*>(Source);
  if (!s) return TcxCustomEditProperties::Assign(Source);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxCustomEditProperties::Assign(Source);
  SetCharCase(s->CharCase());
  SetEchoMode(s->EchoMode());
  SetFixedListCompletion(s->FixedListCompletion());
  SetNoTextEditing(s->NoTextEditing());
  SetHideSelection(s->HideSelection());
  SetImmediateUpdateText(s->ImmediateUpdateText());
  SetIncrementalSearch(s->IncrementalSearch());
  SetExactItemSearch(s->ExactItemSearch());
  SetLookupItemsSorted(false);
  FLookupItems->Assign(s->LookupItems());
  SetLookupItemsSorted(s->LookupItemsSorted());
  TcxTextEditPropertiesValues* mine = AssignedValues();
  TcxTextEditPropertiesValues* theirs = s->AssignedValues();
  mine->Mark(mine->DisplayFormatFlag(), false);
  if (theirs->DisplayFormat()) SetDisplayFormat(s->DisplayFormat());
  mine->Mark(mine->EditFormatFlag(), false);
  if (theirs->EditFormat()) SetEditFormat(s->EditFormat());
  mine->Mark(mine->MaxLengthFlag(), false);
  if (theirs->MaxLength()) SetMaxLength(s->MaxLength());
  mine->Mark(mine->MaxValueFlag(), false);
  if (theirs->MaxValue()) SetMaxValue(s->MaxValue());
  mine->Mark(mine->MinValueFlag(), false);
  if (theirs->MinValue()) SetMinValue(s->MinValue());
  SetOEMConvert(s->OEMConvert());
  SetImeMode(s->ImeMode());
  SetImeName(s->ImeName());
  SetPasswordChar(s->PasswordChar());
  SetEditWithDisplayFormat(s->EditWithDisplayFormat());
  OnNewLookupDisplayText = s->OnNewLookupDisplayText;
}

void TcxCustomTextEditProperties::AlignmentChanged(TObject* Sender) {
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxCustomEditProperties::AlignmentChanged(Sender);
}

void TcxCustomTextEditProperties::SetAlignmentValue(TcxEditAlignment* Value) {
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxCustomEditProperties::SetAlignmentValue(Value);
}

void TcxCustomTextEditProperties::FormatChanged() {
  TRestore<bool> changing(FLocaleFormatsChanging, true);
  SignalPropertiesChanged();
}

String TcxCustomTextEditProperties::GetInvalidInputText(int Kind) {
  if (Kind == 1) return TranslateLibraryString("值超出范围");
  return TcxCustomEditProperties::GetInvalidInputText();
}

// ---------------------------------------------------------------- text rules

bool TcxCustomTextEditProperties::IsLookupItem(const String& Text) {
  for (int i = 0; i < FLookupItems->Count(); ++i)
    if (AnsiCompareText(FLookupItems->Strings(i), Text) == 0) return true;
  return false;
}

void TcxCustomTextEditProperties::ApplyEchoAndCase(String& Text) {
  if (FEchoMode == eemPassword) {
    String shown;
    const Char c = FPasswordChar ? FPasswordChar : U'*';
    for (int i = Length(Text); i > 0; --i) AppendUtf8(shown, c);
    Text = shown;
    return;
  }
  if (FCharCase == ecUpperCase) Text = UpperCase(Text);
  else if (FCharCase == ecLowerCase) Text = LowerCase(Text);
}

bool TcxCustomTextEditProperties::AcceptText(Variant& Value) {
  String text = VarToStr(Value);
  if (text.empty()) return true;
  const TcxTextEditingStyle style = GetEditingStyle();
  if ((style == tesEditList || style == tesFixedList) && HasLookupData() && !IsLookupItem(text)) return false;
  if (FCharCase == ecUpperCase) text = UpperCase(text);
  else if (FCharCase == ecLowerCase) text = LowerCase(text);
  Value = text;
  return true;
}

bool TcxCustomTextEditProperties::IsValueAcceptable(const Variant& Value, bool) {
  if (VarIsNull(Value) || !VarIsStr(Value)) return true;
  Variant v = Value;
  return AcceptText(v);
}

bool TcxCustomTextEditProperties::IsRangeBoundActive(bool Max) {
  // A bound applies only when it was given (assigned, or supplied by a provider); an unset
  // bound reads as 0 and must not cut the range off there. Both apply only as a real range.
  const bool hasProvider = DefaultValuesProvider() != nullptr;
  const bool maxSet = AssignedValues()->MaxValue() || hasProvider;
  const bool minSet = AssignedValues()->MinValue() || hasProvider;
  if (maxSet && minSet) return MaxValue() > MinValue();
  return Max ? maxSet : minSet;
}

bool TcxCustomTextEditProperties::IsRangeCheckActive() { return IsRangeBoundActive(true) || IsRangeBoundActive(false); }

void TcxCustomTextEditProperties::ValidateValueRange(Variant& DisplayValue, String& ErrorText, TcxCustomEdit* AEdit,
                                                     bool& Error) {
  Variant value = DisplayValue;
  if (AEdit) AEdit->ConvertDisplayToEditValue(DisplayValue, value, AEdit->IsEditFocusedForDisplay());
  double number = 0;
  if (VarIsNumeric(value) || VarIsType(value, varDate)) {
    number = value.AsDouble();
  } else if (VarIsStr(value)) {
    String s = VarToStr(value);
    const char sep = FormatSettings().ThousandSeparator;
    s.erase(std::remove(s.begin(), s.end(), sep), s.end());
    if (!TryStrToFloat(Trim(s), number)) return;
  } else {
    return;
  }
  if ((IsRangeBoundActive(false) && number < MinValue()) || (IsRangeBoundActive(true) && number > MaxValue())) {
    Error = true;
    ErrorText = GetInvalidInputText(1);
  }
}

void TcxCustomTextEditProperties::CheckDisplayValue(Variant& DisplayValue, String& ErrorText, bool& Error,
                                                    TcxCustomEdit* AEdit) {
  if (HasNumericValue() && IsRangeCheckActive()) ValidateValueRange(DisplayValue, ErrorText, AEdit, Error);
  TcxCustomEditProperties::CheckDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

// ---------------------------------------------------------------- formatting

void TcxCustomTextEditProperties::FormatValue(const Variant& Value, bool Editing, Variant& DisplayValue) {
  if (IsValueAcceptable(Value, Editing)) {
    PrepareDisplayValue(Value, DisplayValue, Editing);
    return;
  }
  if (VarIsType(Value, varDate)) DisplayValue = DateTimeToStr(Value.AsDouble());
  else DisplayValue = VarToStr(Value);
}

void TcxCustomTextEditProperties::FormatDisplayValue(const Variant& EditValue, WideString& DisplayText, bool) {
  String text;
  if (HasProviderDisplayFormat()) {
    text = VarToStr(EditValue);
  } else {
    Variant shown;
    FormatValue(EditValue, false, shown);
    text = VarToStr(shown);
  }
  ApplyEchoAndCase(text);
  DisplayText = Utf8ToUtf16(text);
}

bool TcxCustomTextEditProperties::EditValuesEqual(const Variant& V1, const Variant& V2) {
  WideString a, b;
  FormatDisplayValue(V1, a, false);
  FormatDisplayValue(V2, b, false);
  return a == b;
}

void TcxCustomTextEditProperties::PrepareDisplayValue(const Variant& Value, Variant& DisplayValue, bool Focused) {
  if (!HasNumericValue()) {
    DisplayValue = VarToStr(Value);
    return;
  }
  if (VarIsNull(Value) || VarIsEmpty(Value) || (VarIsStr(Value) && VarToStr(Value).empty())) {
    DisplayValue = String();
    return;
  }
  if (!VarIsNumeric(Value) && !VarIsStr(Value)) throw EConvertError(TranslateLibraryString("不能转换为数字"));
  DisplayValue = FormatNumber(Value, Focused);
}

namespace {
// A value's number, when its text reads as one.
bool NumberOf(const Variant& Value, Extended& Number) {
  if (VarIsNumeric(Value)) {
    Number = Value.AsDouble();
    return true;
  }
  return TryStrToFloat(Trim(VarToStr(Value)), Number);
}
}  // namespace

String TcxCustomTextEditProperties::FormatNumber(const Variant& Value, bool Editing) {
  Extended number = 0;
  if (!Editing) {
    const String format = DisplayFormat();
    if (!format.empty() && NumberOf(Value, number)) return FormatFloat(format, number);
    return VarToStr(Value);
  }
  bool currency = false, onGetText = false;
  String format;
  GetEditFormatInfo(currency, onGetText, format, nullptr);
  IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
  const int precision = p ? p->GetPrecisionDefault() : 15;
  if (currency) {
    if (!NumberOf(Value, number)) return VarToStr(Value);
    return FloatToStrF(number, ffFixed, precision, FormatSettings().CurrencyDecimals);
  }
  if (!format.empty()) {
    if (!NumberOf(Value, number)) return VarToStr(Value);
    return FormatFloat(format, number);
  }
  if (!NumberOf(Value, number)) return VarToStr(Value);
  String text = FloatToStrF(number, ffGeneral, precision, 0);
  if (ThousandSeparatorEnabled(false)) InsertThousandSeparators(text);
  return text;
}

void TcxCustomTextEditProperties::GetEditFormatInfo(bool& UsesCurrency, bool& UsesOnGetText, String& Format,
                                                    TcxCustomEdit* AEdit) {
  UsesCurrency = UsesOnGetText = false;
  Format.clear();
  if (AssignedValues()->EditFormat()) {
    Format = FEditFormat;
    return;
  }
  IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
  if ((!AEdit || !AEdit->InPlace()) && p && p->HasTextHandler()) {
    UsesOnGetText = true;
    return;
  }
  if (p) {
    const String f = p->GetEditFormatDefault();
    if (!f.empty()) {
      Format = f;
      return;
    }
  }
  String candidate;
  if (AssignedValues()->DisplayFormat()) candidate = FDisplayFormat;
  else if (p && !p->GetDisplayFormatDefault().empty()) candidate = p->GetDisplayFormatDefault();
  else GetDefaultDisplayFormat(candidate);
  if (candidate.empty() && p) UsesCurrency = p->IsMoneyValue() && !p->HasSpareFlag();
  if (FEditWithDisplayFormat) Format = candidate;
}

// ================================================================ registration

void RegisterTextEditProperties() {
  static bool done = false;
  if (done) return;
  done = true;
  EditPropertiesRegistry()->RegisterEntry(TcxTextEditProperties::StaticClass(),
                                          TranslateLibraryString("TextEdit|Represents a single line text editor"));
}

namespace {
const bool gRegistered = (RegisterTextEditProperties(), true);
}  // namespace
