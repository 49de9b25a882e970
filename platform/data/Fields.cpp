// Field definitions, the field list and the field classes.
#include "data/Fields.h"

#include "core/ClassBuilder.h"
#include "data/DB.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <limits>

// ---------------------------------------------------------------- field definitions

TFieldDef::TFieldDef(TCollection* collection) : TCollectionItem(collection) {}

void TFieldDef::SetRequired(bool value) {
  if (value) FAttributes.Include(faRequired);
  else FAttributes.Exclude(faRequired);
}

void TFieldDef::Assign(TPersistent* source) {
  if (auto* d = dynamic_cast<TFieldDef*>(source)) {
    FName = d->FName;
    FDataType = d->FDataType;
    FSize = d->FSize;
    FPrecision = d->FPrecision;
    FAttributes = d->FAttributes;
    return;
  }
  TCollectionItem::Assign(source);
}

TClass DefaultFieldClass(TFieldType type) {
  switch (type) {
    case ftString: case ftFixedChar: case ftGuid: return TStringField::StaticClass();
    case ftWideString: return TWideStringField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD: return TBCDField::StaticClass();
    case ftFMTBcd: return TFMTBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime: case ftTimeStamp: return TDateTimeField::StaticClass();
    case ftMemo: case ftFmtMemo: case ftOraClob: return TMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftBytes: case ftVarBytes: case ftBlob: case ftParadoxOle: case ftDBaseOle: case ftTypedBinary:
    case ftOraBlob:
      return TBlobField::StaticClass();
    case ftVariant: return TVariantField::StaticClass();
    default: return nullptr;
  }
}

TClass TFieldDef::FieldClass() const {
  TClass cls = DefaultFieldClass(FDataType);
  return cls ? cls : TVariantField::StaticClass();
}

TField* TFieldDef::CreateField(TComponent* owner, TDataSet* dataSet) {
  auto* field = static_cast<TField*>(FieldClass()->Create(owner));
  try {
    field->SetFieldName(FName);
    // Classes that stand for several types take the definition's exact one.
    if (DefaultFieldClass(FDataType) == field->ClassType()) field->SetDataType(FDataType);
    if (FSize > 0 && (field->Is<TStringField>() || field->Is<TBlobField>() || field->Is<TBCDField>()))
      field->SetSize(FSize);
    if (FPrecision > 0) {
      if (auto* f = dynamic_cast<TFloatField*>(field)) f->SetPrecision(FPrecision);
      else if (auto* b = dynamic_cast<TBCDField*>(field)) b->SetPrecision(FPrecision);
    }
    field->SetRequired(Required());
    field->SetReadOnly(FAttributes.Contains(faReadonly));
    field->SetDataSet(dataSet);
  } catch (...) {
    delete field;
    throw;
  }
  return field;
}

TFieldDefs::TFieldDefs(TDataSet* owner) : TOwnedCollection(owner, TFieldDef::StaticClass()), FDataSet(owner) {}

TFieldDef* TFieldDefs::Add(const String& name, TFieldType dataType, int size, bool required) {
  TFieldDef* d = AddFieldDef();
  d->SetName(name);
  d->SetDataType(dataType);
  d->SetSize(size);
  d->SetRequired(required);
  return d;
}

int TFieldDefs::IndexOf(const String& name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Name(), name)) return i;
  return -1;
}

TFieldDef* TFieldDefs::Find(const String& name) const {
  int i = IndexOf(name);
  if (i < 0) DatabaseErrorFmt(SFieldNotFound, {name}, FDataSet);
  return Items(i);
}

void TFieldDefs::Update() {
  if (FDataSet && !FDataSet->Active()) FDataSet->InternalInitFieldDefs();
}

// ---------------------------------------------------------------- TFields

TField* TFields::Fields(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return FList[index];
}

int TFields::IndexOf(const TField* field) const {
  auto it = std::find(FList.begin(), FList.end(), field);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

TField* TFields::FindField(const String& name) const {
  for (TField* f : FList)
    if (SameText(f->FieldName(), name)) return f;
  return nullptr;
}

TField* TFields::FieldByName(const String& name) const {
  TField* f = FindField(name);
  if (!f) DatabaseErrorFmt(SFieldNotFound, {name}, FDataSet);
  return f;
}

TField* TFields::FieldByNumber(int fieldNo) const {
  for (TField* f : FList)
    if (f->FieldNo() == fieldNo) return f;
  return nullptr;
}

// ---------------------------------------------------------------- TField

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  if (FDataSet) {
    if (FDataSet->Active() && FDataSet->FState != dsOpening && !FDataSet->ComponentState().Contains(csDestroying))
      FDataSet->Close();
    FDataSet->RemoveField(this);
  }
}

void TField::CheckInactive() const {
  if (FDataSet) FDataSet->CheckInactive();
}

void TField::SetDataSet(TDataSet* value) {
  if (value == FDataSet) return;
  CheckInactive();
  if (value) value->CheckInactive();
  if (FDataSet) FDataSet->RemoveField(this);
  if (value) value->AddField(this);
}

TComponent* TField::GetParentComponent() const { return FDataSet; }

void TField::SetParentComponent(TComponent* value) {
  if (auto* ds = dynamic_cast<TDataSet*>(value)) SetDataSet(ds);
}

void TField::SetFieldName(const String& value) {
  if (value == FFieldName) return;
  CheckInactive();
  FFieldName = value;
}

void TField::SetFieldKind(TFieldKind value) {
  if (value == FFieldKind) return;
  CheckInactive();
  FFieldKind = value;
}

void TField::SetSize(int value) {
  CheckInactive();
  FSize = value;
}

int TField::Index() const { return FDataSet ? FDataSet->Fields()->IndexOf(this) : -1; }

void TField::SetIndex(int value) {
  if (!FDataSet) return;
  auto& list = FDataSet->Fields()->FList;
  int cur = Index();
  value = std::clamp(value, 0, static_cast<int>(list.size()) - 1);
  if (value == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + value, this);
  PropertyChanged(true);
}

void TField::PropertyChanged(bool layoutAffected) {
  if (FDataSet && FDataSet->Active() && FDataSet->FState != dsOpening)
    FDataSet->DataEvent(layoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  PropertyChanged(false);
}

void TField::SetDisplayLabel(const String& value) {
  String v = value == FFieldName ? String() : value;
  if (v == FDisplayLabel) return;
  FDisplayLabel = v;
  PropertyChanged(true);
}

void TField::SetDisplayWidth(int value) {
  if (value == FDisplayWidth) return;
  FDisplayWidth = value;
  PropertyChanged(true);
}

void TField::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  PropertyChanged(true);
}

void TField::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  PropertyChanged(true);
}

bool TField::CanModify() const { return FFieldNo > 0 && !FReadOnly && FDataSet && FDataSet->CanModify(); }

bool TField::IsValidChar(char32_t) const { return true; }

void TField::SetKeyFields(const String& value) {
  CheckInactive();
  FKeyFields = value;
}

void TField::SetLookupDataSet(TDataSet* value) {
  if (value == FLookupDataSet) return;
  CheckInactive();
  AssignReference(this, FLookupDataSet, value);
}

void TField::SetLookupKeyFields(const String& value) {
  CheckInactive();
  FLookupKeyFields = value;
}

void TField::SetLookupResultField(const String& value) {
  CheckInactive();
  FLookupResultField = value;
}

void TField::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FLookupDataSet) FLookupDataSet = nullptr;
}

Variant TField::ReadValue() const { return FDataSet ? FDataSet->GetFieldValue(this) : Null(); }

bool TField::ReadCell(TCellView& cell) const { return FDataSet && FDataSet->FieldCell(this, cell); }

void TField::WriteValue(const Variant& value) {
  if (!FDataSet) DatabaseErrorFmt("Field '%s' has no dataset", {DisplayName()});
  TDataSet* ds = FDataSet;
  bool calcState = ds->FState == dsCalcFields || ds->FState == dsInternalCalc;
  if (!calcState) {
    TDataSetState s = ds->FState;
    if (s != dsEdit && s != dsInsert && s != dsSetKey && s != dsNewValue) DatabaseError(SNotEditing, ds);
    if (FReadOnly && FFieldKind == fkData) DatabaseErrorFmt(SFieldReadOnly, {DisplayName()});
    if (FOnValidate) {
      // OnValidate sees the new value as the field's value; raising refuses it.
      FValidating = true;
      FValidatingValue = value;
      try {
        FOnValidate(this);
      } catch (...) {
        FValidating = false;
        FValidatingValue = Variant();
        throw;
      }
      FValidating = false;
      FValidatingValue = Variant();
    }
  }
  ds->SetFieldValue(this, value);
  if (!calcState && FOnChange) FOnChange(this);
}

void TField::AccessError(const char* typeName) const {
  DatabaseErrorFmt(SFieldAccessError, {DisplayName(), typeName});
}

void TField::RangeError(const String& value, const String& min, const String& max) const {
  DatabaseErrorFmt(SFieldRangeError, {value, DisplayName(), min, max});
}

bool TField::IsNull() const {
  TCellView cell;
  if (ReadCell(cell)) return cell.IsNull();
  return VarIsNull(ReadValue());
}

bool TField::SetNullOrText(const Variant& v) {
  if (VarIsNull(v) || VarIsEmpty(v)) WriteValue(Null());
  else if (VarIsStr(v)) SetAsString(VarToStr(v));
  else return false;
  return true;
}

Variant TField::AsVariant() const { return ReadValue(); }
void TField::SetAsVariant(const Variant& v) { WriteValue(VarIsEmpty(v) ? Null() : v); }
String TField::AsString() const { return VarToStr(ReadValue()); }
void TField::SetAsString(const String&) { AccessError("String"); }
Integer TField::AsInteger() const { AccessError("Integer"); }
void TField::SetAsInteger(Integer) { AccessError("Integer"); }
Int64 TField::AsLargeInt() const { AccessError("LargeInt"); }
void TField::SetAsLargeInt(Int64) { AccessError("LargeInt"); }
double TField::AsFloat() const { AccessError("Float"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
Currency TField::AsCurrency() const { return Currency::FromDouble(AsFloat()); }
void TField::SetAsCurrency(Currency v) { SetAsFloat(v.ToDouble()); }
TDateTime TField::AsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }
bool TField::AsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }

Variant TField::OldValue() const { return FDataSet ? FDataSet->GetFieldValueAs(this, dsOldValue) : Null(); }
Variant TField::NewValue() const { return FDataSet ? FDataSet->GetFieldValueAs(this, dsNewValue) : Null(); }
Variant TField::CurValue() const { return FDataSet ? FDataSet->GetFieldValueAs(this, dsCurValue) : Null(); }

String TField::GetText(bool displayText) const {
  if (!FOnGetText) return GetClassText(displayText);
  String text;
  FOnGetText(const_cast<TField*>(this), text, displayText);
  return text;
}

String TField::DisplayText() const { return GetText(true); }
String TField::Text() const { return GetText(false); }

void TField::SetText(const String& value) {
  if (FOnSetText) FOnSetText(this, value);
  else SetAsString(value);
}

void TField::Assign(TPersistent* source) {
  if (!source) {
    Clear();
    return;
  }
  if (auto* f = dynamic_cast<TField*>(source)) {
    SetAsVariant(f->AsVariant());
    return;
  }
  TComponent::Assign(source);
}

void TField::FocusControl() {
  if (!FDataSet || !FDataSet->Active()) return;
  TField* target = this;
  FDataSet->DataEvent(deFocusControl, reinterpret_cast<NativeInt>(&target));
}

// ---------------------------------------------------------------- text

TStringField::TStringField(TComponent* owner) : TField(owner) {
  SetDataType(ftString);
  SetSize(20);
}

Variant TStringField::AsVariant() const { return ReadValue(); }

void TStringField::SetAsVariant(const Variant& v) {
  if (VarIsNull(v) || VarIsEmpty(v)) WriteValue(Null());
  else WriteValue(Variant(VarToStr(v)));
}

String TStringField::AsString() const {
  TCellView cell;
  String text;
  if (ReadCell(cell) && CellAsText(cell, DataType(), text)) return text;
  return VarToStr(ReadValue());
}
void TStringField::SetAsString(const String& v) { WriteValue(Variant(v)); }
Integer TStringField::AsInteger() const { return StrToInt(AsString()); }
void TStringField::SetAsInteger(Integer v) { SetAsString(IntToStr(v)); }
Int64 TStringField::AsLargeInt() const { return StrToInt64(AsString()); }
void TStringField::SetAsLargeInt(Int64 v) { SetAsString(IntToStr(v)); }
double TStringField::AsFloat() const { return static_cast<double>(StrToFloat(AsString())); }
void TStringField::SetAsFloat(double v) { SetAsString(FloatToStr(v)); }
Currency TStringField::AsCurrency() const { return StrToCurr(AsString()); }
void TStringField::SetAsCurrency(Currency v) { SetAsString(CurrToStr(v)); }
TDateTime TStringField::AsDateTime() const { return StrToDateTime(AsString()); }
void TStringField::SetAsDateTime(TDateTime v) { SetAsString(DateTimeToStr(v)); }

bool TStringField::AsBoolean() const {
  String s = AsString();
  return !s.empty() && (s[0] == 'T' || s[0] == 't' || s[0] == 'Y' || s[0] == 'y');
}

void TStringField::SetAsBoolean(bool v) { SetAsString(v ? "T" : "F"); }

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) { SetDataType(ftWideString); }

// ---------------------------------------------------------------- numbers

TNumericField::TNumericField(TComponent* owner) : TField(owner) { SetAlignment(taRightJustify); }

void TNumericField::SetDisplayFormat(const String& value) {
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  PropertyChanged(false);
}

void TNumericField::SetEditFormat(const String& value) {
  if (value == FEditFormat) return;
  FEditFormat = value;
  PropertyChanged(false);
}

bool TNumericField::IsValidChar(char32_t ch) const { return (ch >= '0' && ch <= '9') || ch == '+' || ch == '-'; }

TIntegerField::TIntegerField(TComponent* owner)
    : TIntegerField(owner, ftInteger, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(), 11) {}

TIntegerField::TIntegerField(TComponent* owner, TFieldType type, Int64 typeMin, Int64 typeMax, int width)
    : TNumericField(owner), FTypeMin(typeMin), FTypeMax(typeMax), FWidth(width) {
  SetDataType(type);
}

Variant TIntegerField::AsVariant() const {
  Variant v = ReadValue();
  if (VarIsNull(v)) return v;
  return MakeValue(AsLargeInt());
}

Int64 TIntegerField::AsLargeInt() const {
  TCellView cell;
  Int64 n;
  if (ReadCell(cell) && (cell.IsNull() || CellAsInteger(cell, DataType(), n))) return cell.IsNull() ? 0 : n;
  Variant v = ReadValue();
  if (VarIsNull(v)) return 0;
  if (VarIsStr(v)) return StrToInt64(VarToStr(v));
  return v.AsInt64();
}

Integer TIntegerField::AsInteger() const { return static_cast<Integer>(AsLargeInt()); }
double TIntegerField::AsFloat() const { return static_cast<double>(AsLargeInt()); }
Currency TIntegerField::AsCurrency() const { return Currency(AsLargeInt()); }

String TIntegerField::AsString() const {
  return IsNull() ? String() : IntToStr(AsLargeInt());
}

void TIntegerField::StoreChecked(Int64 v) {
  Int64 lo = FTypeMin, hi = FTypeMax;
  if (FMinValue != 0 || FMaxValue != 0) {
    lo = std::max(lo, FMinValue);
    hi = std::min(hi, FMaxValue);
  }
  if (v < lo || v > hi) RangeError(IntToStr(v), IntToStr(lo), IntToStr(hi));
  WriteValue(MakeValue(v));
}

void TIntegerField::SetAsLargeInt(Int64 v) { StoreChecked(v); }
void TIntegerField::SetAsInteger(Integer v) { StoreChecked(v); }
void TIntegerField::SetAsFloat(double v) { StoreChecked(Round(v)); }
void TIntegerField::SetAsCurrency(Currency v) { StoreChecked(Round(v.ToExtended())); }

void TIntegerField::SetAsString(const String& v) {
  if (v.empty()) Clear();
  else StoreChecked(StrToInt64(v));
}

void TIntegerField::SetAsVariant(const Variant& v) {
  if (SetNullOrText(v)) return;
  if (VarIsFloat(v) || (VarType(v) & varTypeMask) == varDate) SetAsFloat(v.AsDouble());
  else StoreChecked(v.AsInt64());
}

String TIntegerField::GetClassText(bool displayText) const {
  if (IsNull()) return String();
  const String& fmt = displayText ? DisplayFormat() : EditFormat();
  if (!fmt.empty()) return FormatFloat(fmt, static_cast<Extended>(AsLargeInt()));
  return IntToStr(AsLargeInt());
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner, ftSmallint, -32768, 32767, 6) {}
TWordField::TWordField(TComponent* owner) : TIntegerField(owner, ftWord, 0, 65535, 5) {}
TAutoIncField::TAutoIncField(TComponent* owner)
    : TIntegerField(owner, ftAutoInc, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(), 11) {}
TLargeintField::TLargeintField(TComponent* owner)
    : TIntegerField(owner, ftLargeint, std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max(), 15) {}

// Floats

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) { SetDataType(ftFloat); }

void TFloatField::SetCurrency(bool value) {
  if (value == FCurrency) return;
  FCurrency = value;
  PropertyChanged(false);
}

void TFloatField::SetPrecision(int value) {
  value = std::clamp(value, 2, 15);
  if (value == FPrecision) return;
  FPrecision = value;
  PropertyChanged(false);
}

Variant TFloatField::AsVariant() const {
  Variant v = ReadValue();
  if (VarIsNull(v)) return v;
  return Variant(AsFloat());
}

double TFloatField::AsFloat() const {
  TCellView cell;
  double d;
  if (ReadCell(cell) && (cell.IsNull() || CellAsNumber(cell, DataType(), d))) return cell.IsNull() ? 0 : d;
  Variant v = ReadValue();
  if (VarIsNull(v)) return 0;
  if (VarIsStr(v)) return static_cast<double>(StrToFloat(VarToStr(v)));
  return v.AsDouble();
}

Integer TFloatField::AsInteger() const { return static_cast<Integer>(Round(AsFloat())); }
Int64 TFloatField::AsLargeInt() const { return Round(AsFloat()); }
::Currency TFloatField::AsCurrency() const { return ::Currency::FromDouble(AsFloat()); }

String TFloatField::AsString() const {
  return IsNull() ? String() : FloatToStr(AsFloat());
}

void TFloatField::SetAsFloat(double v) {
  if ((FMinValue != 0 || FMaxValue != 0) && (v < FMinValue || v > FMaxValue))
    RangeError(FloatToStr(v), FloatToStr(FMinValue), FloatToStr(FMaxValue));
  WriteValue(Variant(v));
}

void TFloatField::SetAsInteger(Integer v) { SetAsFloat(v); }
void TFloatField::SetAsLargeInt(Int64 v) { SetAsFloat(static_cast<double>(v)); }
void TFloatField::SetAsCurrency(::Currency v) { SetAsFloat(v.ToDouble()); }

void TFloatField::SetAsString(const String& v) {
  if (v.empty()) Clear();
  else SetAsFloat(static_cast<double>(StrToFloat(v)));
}

void TFloatField::SetAsVariant(const Variant& v) {
  if (!SetNullOrText(v)) SetAsFloat(v.AsDouble());
}

bool TFloatField::IsValidChar(char32_t ch) const {
  return TNumericField::IsValidChar(ch) || ch == static_cast<unsigned char>(FormatSettings().DecimalSeparator) ||
         ch == 'E' || ch == 'e';
}

String TFloatField::GetClassText(bool displayText) const {
  if (IsNull()) return String();
  double d = AsFloat();
  const String& fmt = displayText ? DisplayFormat() : EditFormat();
  if (!fmt.empty()) return FormatFloat(fmt, d);
  if (displayText && FCurrency) return FloatToStrF(d, ffCurrency, FPrecision, FormatSettings().CurrencyDecimals);
  return FloatToStrF(d, ffGeneral, FPrecision, 0);
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) {
  SetDataType(ftCurrency);
  SetCurrency(true);
}

// Exact amounts

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner) {
  SetDataType(ftBCD);
  SetSize(4);
}

void TBCDField::SetCurrency(bool value) {
  if (value == FCurrency) return;
  FCurrency = value;
  PropertyChanged(false);
}

Variant TBCDField::AsVariant() const {
  Variant v = ReadValue();
  if (VarIsNull(v)) return v;
  return Variant(AsCurrency());
}

::Currency TBCDField::AsCurrency() const {
  TCellView cell;
  ::Currency c;
  if (ReadCell(cell) && (cell.IsNull() || CellAsCurrency(cell, DataType(), c))) return cell.IsNull() ? ::Currency() : c;
  Variant v = ReadValue();
  if (VarIsNull(v)) return ::Currency();
  if (VarIsStr(v)) return StrToCurr(VarToStr(v));
  return v.AsCurrency();
}

double TBCDField::AsFloat() const { return AsCurrency().ToDouble(); }
Integer TBCDField::AsInteger() const { return static_cast<Integer>(Round(AsCurrency().ToExtended())); }
Int64 TBCDField::AsLargeInt() const { return Round(AsCurrency().ToExtended()); }

String TBCDField::AsString() const {
  Variant v = ReadValue();
  return VarIsNull(v) ? String() : CurrToStr(AsCurrency());
}

void TBCDField::StoreChecked(::Currency v) {
  if ((FMinValue != 0 || FMaxValue != 0) && (v.ToDouble() < FMinValue || v.ToDouble() > FMaxValue))
    RangeError(CurrToStr(v), FloatToStr(FMinValue), FloatToStr(FMaxValue));
  WriteValue(Variant(v));
}

void TBCDField::SetAsCurrency(::Currency v) { StoreChecked(v); }
void TBCDField::SetAsFloat(double v) { StoreChecked(::Currency::FromDouble(v)); }
void TBCDField::SetAsInteger(Integer v) { StoreChecked(::Currency(v)); }
void TBCDField::SetAsLargeInt(Int64 v) { StoreChecked(::Currency(v)); }

void TBCDField::SetAsString(const String& v) {
  if (v.empty()) Clear();
  else StoreChecked(StrToCurr(v));
}

void TBCDField::SetAsVariant(const Variant& v) {
  if (!SetNullOrText(v)) StoreChecked(v.AsCurrency());
}

bool TBCDField::IsValidChar(char32_t ch) const {
  return TNumericField::IsValidChar(ch) || ch == static_cast<unsigned char>(FormatSettings().DecimalSeparator);
}

String TBCDField::GetClassText(bool displayText) const {
  if (IsNull()) return String();
  ::Currency c = AsCurrency();
  const String& fmt = displayText ? DisplayFormat() : EditFormat();
  if (!fmt.empty()) return FormatCurr(fmt, c);
  if (displayText && FCurrency) return CurrToStrF(c, ffCurrency, FormatSettings().CurrencyDecimals);
  return CurrToStr(c);
}

TFMTBCDField::TFMTBCDField(TComponent* owner) : TBCDField(owner) { SetDataType(ftFMTBcd); }

// ---------------------------------------------------------------- Booleans

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const String& value) {
  std::size_t p = value.find(';');
  FDisplayValues = value;
  FTrueText = value.substr(0, p);
  FFalseText = p == String::npos ? String() : value.substr(p + 1);
  PropertyChanged(true);
}

Variant TBooleanField::AsVariant() const {
  Variant v = ReadValue();
  if (VarIsNull(v)) return v;
  return Variant(AsBoolean());
}

bool TBooleanField::AsBoolean() const {
  Variant v = ReadValue();
  if (VarIsNull(v)) return false;
  if (VarIsStr(v)) return StrToBool(VarToStr(v));
  return v.AsBoolean();
}

String TBooleanField::AsString() const {
  if (IsNull()) return String();
  return AsBoolean() ? FTrueText : FFalseText;
}

void TBooleanField::SetAsBoolean(bool v) { WriteValue(Variant(v)); }

void TBooleanField::SetAsString(const String& v) {
  if (v.empty()) {
    Clear();
    return;
  }
  int len = Length(v);
  if (!FFalseText.empty() && AnsiSameText(v, Copy(FFalseText, 1, len))) SetAsBoolean(false);
  else if (!FTrueText.empty() && AnsiSameText(v, Copy(FTrueText, 1, len))) SetAsBoolean(true);
  else throw EConvertError(Format(SInvalidBoolean, {v}));
}

void TBooleanField::SetAsVariant(const Variant& v) {
  if (!SetNullOrText(v)) SetAsBoolean(v.AsBoolean());
}

int TBooleanField::DefaultWidth() const { return std::max({Length(FTrueText), Length(FFalseText), 1}); }

// ---------------------------------------------------------------- dates and times

TDateTimeField::TDateTimeField(TComponent* owner) : TDateTimeField(owner, ftDateTime) {}
TDateTimeField::TDateTimeField(TComponent* owner, TFieldType type) : TField(owner) { SetDataType(type); }
TDateField::TDateField(TComponent* owner) : TDateTimeField(owner, ftDate) {}
TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner, ftTime) {}

void TDateTimeField::SetDisplayFormat(const String& value) {
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  PropertyChanged(false);
}

Variant TDateTimeField::AsVariant() const {
  Variant v = ReadValue();
  if (VarIsNull(v)) return v;
  return Variant::FromDate(AsDateTime());
}

TDateTime TDateTimeField::AsDateTime() const {
  TCellView cell;
  double d;
  if (ReadCell(cell) && (cell.IsNull() || CellAsNumber(cell, DataType(), d))) return cell.IsNull() ? 0 : d;
  Variant v = ReadValue();
  if (VarIsNull(v)) return 0;
  if (VarIsStr(v)) return ParseText(VarToStr(v));
  return v.AsDateTime();
}

TDateTime TDateTimeField::ParseText(const String& text) const {
  switch (DataType()) {
    case ftDate: return StrToDate(text);
    case ftTime: return StrToTime(text);
    default: return StrToDateTime(text);
  }
}

String TDateTimeField::TextFormat(bool displayText) const {
  if (displayText && !FDisplayFormat.empty()) return FDisplayFormat;
  if (DataType() == ftDate) return FormatSettings().ShortDateFormat;
  if (DataType() == ftTime) return FormatSettings().LongTimeFormat;
  return String();
}

double TDateTimeField::AsFloat() const { return AsDateTime(); }
String TDateTimeField::AsString() const { return GetClassText(false); }
void TDateTimeField::SetAsDateTime(TDateTime v) { WriteValue(Variant::FromDate(v)); }
void TDateTimeField::SetAsFloat(double v) { SetAsDateTime(v); }

void TDateTimeField::SetAsString(const String& v) {
  if (v.empty()) Clear();
  else SetAsDateTime(ParseText(v));
}

void TDateTimeField::SetAsVariant(const Variant& v) {
  if (!SetNullOrText(v)) SetAsDateTime(v.AsDateTime());
}

String TDateTimeField::GetClassText(bool displayText) const {
  if (IsNull()) return String();
  return FormatDateTime(TextFormat(displayText), AsDateTime());
}

int TDateTimeField::DefaultWidth() const {
  // The width of a date with every part at two digits or more.
  TDateTime sample = EncodeDate(2000, 12, 31) + EncodeTime(23, 59, 59, 0);
  return Length(FormatDateTime(TextFormat(true), sample));
}

// ---------------------------------------------------------------- blobs

TBlobField::TBlobField(TComponent* owner) : TBlobField(owner, ftBlob) {}
TBlobField::TBlobField(TComponent* owner, TFieldType type) : TField(owner) { SetDataType(type); }
TMemoField::TMemoField(TComponent* owner) : TBlobField(owner, ftMemo) {}
TWideMemoField::TWideMemoField(TComponent* owner) : TMemoField(owner) {}
TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner, ftGraphic) {}

Variant TBlobField::AsVariant() const { return ReadValue(); }
String TBlobField::AsString() const { return VarToStr(ReadValue()); }
int TBlobField::BlobSize() const { return static_cast<int>(AsString().size()); }

void TBlobField::SetAsString(const String& v) {
  if (v.empty()) WriteValue(Null());
  else WriteValue(Variant(v));
}

void TBlobField::SetAsVariant(const Variant& v) {
  if (!SetNullOrText(v)) SetAsString(VarToStr(v));
}

TBytes TBlobField::AsBytes() const {
  String s = AsString();
  return TBytes(s.begin(), s.end());
}

void TBlobField::SetAsBytes(const TBytes& v) { SetAsString(String(v.begin(), v.end())); }

void TBlobField::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  String bytes(static_cast<std::size_t>(stream->Size()), '\0');
  if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
  SetAsString(bytes);
}

void TBlobField::SaveToStream(TStream* stream) const {
  String bytes = AsString();
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

void TBlobField::LoadFromFile(const String& fileName) {
  TFileStream s(fileName, fmOpenRead);
  LoadFromStream(&s);
}

void TBlobField::SaveToFile(const String& fileName) const {
  TFileStream s(fileName, fmCreate);
  SaveToStream(&s);
}

String TBlobField::GetClassText(bool) const {
  String caption = BlobCaption();
  if (!IsNull()) caption = UpperCase(caption);
  return "(" + caption + ")";
}

// ---------------------------------------------------------------- variants

TVariantField::TVariantField(TComponent* owner) : TField(owner) { SetDataType(ftVariant); }

namespace {
Variant NonNull(const Variant& v, const Variant& zero) { return VarIsNull(v) ? zero : v; }
}  // namespace

void TVariantField::SetAsString(const String& v) { WriteValue(Variant(v)); }
Integer TVariantField::AsInteger() const { return NonNull(ReadValue(), Variant(0)).AsInteger(); }
void TVariantField::SetAsInteger(Integer v) { WriteValue(Variant(v)); }
Int64 TVariantField::AsLargeInt() const { return NonNull(ReadValue(), Variant(0)).AsInt64(); }
void TVariantField::SetAsLargeInt(Int64 v) { WriteValue(Variant(v)); }
double TVariantField::AsFloat() const { return NonNull(ReadValue(), Variant(0)).AsDouble(); }
void TVariantField::SetAsFloat(double v) { WriteValue(Variant(v)); }
Currency TVariantField::AsCurrency() const { return NonNull(ReadValue(), Variant(0)).AsCurrency(); }
void TVariantField::SetAsCurrency(Currency v) { WriteValue(Variant(v)); }
TDateTime TVariantField::AsDateTime() const { return NonNull(ReadValue(), Variant(0)).AsDateTime(); }
void TVariantField::SetAsDateTime(TDateTime v) { WriteValue(Variant::FromDate(v)); }
bool TVariantField::AsBoolean() const { return NonNull(ReadValue(), Variant(false)).AsBoolean(); }
void TVariantField::SetAsBoolean(bool v) { WriteValue(Variant(v)); }

// ---------------------------------------------------------------- publishing

KELM_PUBLISH(TFieldDef) { Published(b); }

KELM_PUBLISH(TFieldDefs) {}

KELM_PUBLISH(TField) { Published(b); }

KELM_PUBLISH(TStringField) { Published(b); }
KELM_PUBLISH(TWideStringField) {}

KELM_PUBLISH(TNumericField) { Published(b); }

KELM_PUBLISH(TIntegerField) { Published(b); }
KELM_PUBLISH(TSmallintField) {}
KELM_PUBLISH(TWordField) {}
KELM_PUBLISH(TAutoIncField) {}
KELM_PUBLISH(TLargeintField) {}

KELM_PUBLISH(TFloatField) { Published(b); }
KELM_PUBLISH(TCurrencyField) {}

KELM_PUBLISH(TBCDField) { Published(b); }
KELM_PUBLISH(TFMTBCDField) {}

KELM_PUBLISH(TBooleanField) { Published(b); }

KELM_PUBLISH(TDateTimeField) { Published(b); }
KELM_PUBLISH(TDateField) {}
KELM_PUBLISH(TTimeField) {}

KELM_PUBLISH(TBlobField) { Published(b); }
KELM_PUBLISH(TMemoField) {}
KELM_PUBLISH(TWideMemoField) {}
KELM_PUBLISH(TGraphicField) {}
KELM_PUBLISH(TVariantField) {}
