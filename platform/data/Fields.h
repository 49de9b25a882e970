#pragma once
// Field definitions and the field classes: one class per data type, which decides how a value
// is shown, edited and converted; TFields, the fields of a dataset in their order.
// Declares TFieldDef, TFieldDefs, TField, TStringField, TWideStringField, TNumericField,
// TIntegerField, TSmallintField, TWordField, TAutoIncField, TLargeintField, TFloatField,
// TCurrencyField, TBCDField, TFMTBCDField, TBooleanField, TDateTimeField, TDateField, TTimeField,
// TBlobField, TMemoField, TWideMemoField, TGraphicField, TVariantField and TFields.
#include "data/DBTypes.h"
#include "data/Rows.h"

// ---------------------------------------------------------------- field definitions

class TFieldDef : public TCollectionItem {
  KELM_CLASS(TFieldDef, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("Name", &TFieldDef::Name, &TFieldDef::SetName);
    b.Prop("Attributes", &TFieldDef::Attributes, &TFieldDef::SetAttributes).Default(TFieldAttributes());
    b.Prop("DataType", &TFieldDef::DataType, &TFieldDef::SetDataType).Default(ftUnknown);
    b.Prop("Precision", &TFieldDef::Precision, &TFieldDef::SetPrecision).Default(0);
    b.Prop("Size", &TFieldDef::Size, &TFieldDef::SetSize).Default(0);
  }
public:
  explicit TFieldDef(TCollection* Collection);

  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  TFieldType DataType() const { return FDataType; }
  void SetDataType(TFieldType Value) { FDataType = Value; }
  int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value) { FPrecision = Value; }
  TFieldAttributes Attributes() const { return FAttributes; }
  void SetAttributes(TFieldAttributes Value) { FAttributes = Value; }
  bool Required() const { return FAttributes.Contains(faRequired); }
  void SetRequired(bool Value);
  int FieldNo() const { return Index() + 1; }
  String DisplayName() const override { return FName; }
  void Assign(TPersistent* Source) override;

  // The field class made for this definition when a dataset has no persistent fields.
  TClass FieldClass() const;
  TField* CreateField(TComponent* Owner, TDataSet* DataSet);

private:
  String FName;
  TFieldType FDataType = ftUnknown;
  int FSize = 0;
  int FPrecision = 0;
  TFieldAttributes FAttributes;
};

class TFieldDefs : public TOwnedCollection {
  KELM_CLASS(TFieldDefs, TOwnedCollection)
public:
  explicit TFieldDefs(TDataSet* Owner);
  TDataSet* DataSet() const { return FDataSet; }
  TFieldDef* Items(int Index) const { return static_cast<TFieldDef*>(TCollection::Items(Index)); }
  TFieldDef* operator[](int Index) const { return Items(Index); }
  TFieldDef* AddFieldDef() { return static_cast<TFieldDef*>(TCollection::Add()); }
  TFieldDef* Add(const String& Name, TFieldType DataType, int Size = 0, bool Required = false);
  int IndexOf(const String& Name) const;  // case-insensitive, -1 when absent
  TFieldDef* Find(const String& Name) const;  // raises "Field '%s' not found"
  // Asks the dataset for its definitions without opening it.
  void Update();

private:
  TDataSet* FDataSet;
};

// The default field class of a data type; nullptr for types no field represents.
TClass DefaultFieldClass(TFieldType Type);

// ---------------------------------------------------------------- fields

class TField : public TComponent {
  KELM_CLASS(TField, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Alignment", &TField::Alignment, &TField::SetAlignment).NoDefault();
    b.Prop("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel).Stored(&TField::IsDisplayLabelStored);
    b.Prop("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth).Stored(&TField::IsDisplayWidthStored);
    b.Prop("EditMask", &TField::EditMask, &TField::SetEditMask);
    b.Prop("FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
    b.Prop("FieldName", &TField::FieldName, &TField::SetFieldName);
    b.Prop("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
    b.Prop("LookupCache", &TField::LookupCache, &TField::SetLookupCache).Default(false);
    b.Prop("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
    b.Prop("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
    b.Prop("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
    b.Prop("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
    b.Prop("Required", &TField::Required, &TField::SetRequired).Default(false);
    b.Prop("Visible", &TField::Visible, &TField::SetVisible).Default(true);
    b.Prop("OnChange", &TField::OnChange, &TField::SetOnChange);
    b.Prop("OnGetText", &TField::OnGetText, &TField::SetOnGetText);
    b.Prop("OnSetText", &TField::OnSetText, &TField::SetOnSetText);
    b.Prop("OnValidate", &TField::OnValidate, &TField::SetOnValidate);
  }
public:
  explicit TField(TComponent* AOwner);
  ~TField() override;

  // ---- binding
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);  // only while both datasets are closed
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  int FieldNo() const { return FFieldNo; }  // 1-based column of a bound data field, 0 otherwise
  TFieldType DataType() const { return FDataType; }
  TFieldKind FieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value);
  bool Calculated() const { return FFieldKind == fkCalculated || FFieldKind == fkInternalCalc; }
  bool Lookup() const { return FFieldKind == fkLookup; }
  int Index() const;  // position in the dataset's Fields, -1 without a dataset
  void SetIndex(int Value);
  int Size() const { return FSize; }
  virtual void SetSize(int Value);

  // ---- presentation
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  String DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  void SetDisplayLabel(const String& Value);
  String DisplayName() const { return DisplayLabel(); }
  int DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : DefaultWidth(); }
  void SetDisplayWidth(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  const String& EditMask() const { return FEditMask; }
  void SetEditMask(const String& Value) { FEditMask = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  virtual bool IsBlob() const { return false; }
  // A bound data field that is not read-only, of a dataset that can be modified.
  bool CanModify() const;
  // Whether typing the character into an editor of this field makes sense.
  virtual bool IsValidChar(char32_t Ch) const;

  // ---- the value in the active record
  bool IsNull() const;
  Variant Value() const { return AsVariant(); }
  void SetValue(const Variant& V) { SetAsVariant(V); }
  virtual Variant AsVariant() const;
  virtual void SetAsVariant(const Variant& V);
  virtual String AsString() const;
  virtual void SetAsString(const String& V);
  virtual Integer AsInteger() const;
  virtual void SetAsInteger(Integer V);
  virtual Int64 AsLargeInt() const;
  virtual void SetAsLargeInt(Int64 V);
  virtual double AsFloat() const;
  virtual void SetAsFloat(double V);
  virtual Currency AsCurrency() const;
  virtual void SetAsCurrency(Currency V);
  virtual TDateTime AsDateTime() const;
  virtual void SetAsDateTime(TDateTime V);
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool V);
  Variant OldValue() const;  // before the edit (and before cached updates)
  Variant NewValue() const;
  Variant CurValue() const;
  // The text shown (DisplayFormat, OnGetText) and the text edited (EditFormat, OnGetText with
  // DisplayText false); assigning Text goes through OnSetText or the class's conversion.
  String DisplayText() const;
  String Text() const;
  void SetText(const String& Value);
  void Clear() { SetAsVariant(Null()); }
  void AssignValue(const Variant& V) { SetAsVariant(V); }
  void Assign(TPersistent* Source) override;
  void FocusControl();

  // ---- lookup fields
  const String& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const String& Value);
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value);
  const String& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const String& Value);
  const String& LookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const String& Value);
  bool LookupCache() const { return FLookupCache; }
  void SetLookupCache(bool Value) { FLookupCache = Value; }

  // ---- events
  const TFieldNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TFieldNotifyEvent& Value) { FOnChange = Value; }
  const TFieldNotifyEvent& OnValidate() const { return FOnValidate; }
  void SetOnValidate(const TFieldNotifyEvent& Value) { FOnValidate = Value; }
  const TFieldGetTextEvent& OnGetText() const { return FOnGetText; }
  void SetOnGetText(const TFieldGetTextEvent& Value) { FOnGetText = Value; }
  const TFieldSetTextEvent& OnSetText() const { return FOnSetText; }
  void SetOnSetText(const TFieldSetTextEvent& Value) { FOnSetText = Value; }

  // A field is written inside its dataset in layouts.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

protected:
  friend class TDataSet;
  friend class TFieldDef;
  void SetDataType(TFieldType Value) { FDataType = Value; }
  // The class's own text of the value (Null gives ''), before OnGetText.
  virtual String GetClassText(bool DisplayText) const { return AsString(); }
  virtual int DefaultWidth() const { return 10; }
  // The stored value of the active record as this class's variant type; Null when there is none.
  Variant ReadValue() const;
  // The stored value the field reads, in place, for reads that need no variant; false when the
  // value only comes as one (no dataset, a calculated field, a value being validated).
  bool ReadCell(TCellView& Cell) const;
  // Stores a value already of this class's type (or Null): read-only and state checks,
  // OnValidate, then the dataset's change events and OnChange.
  void WriteValue(const Variant& V);
  // What every typed field does with a variant before its own type: Null and Empty clear the
  // value and text goes through SetAsString. False for any other value, which the caller stores.
  bool SetNullOrText(const Variant& V);
  [[noreturn]] void AccessError(const char* TypeName) const;
  [[noreturn]] void RangeError(const String& Value, const String& Min, const String& Max) const;
  void PropertyChanged(bool LayoutAffected);
  void CheckInactive() const;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool IsDisplayLabelStored() const { return !FDisplayLabel.empty(); }
  bool IsDisplayWidthStored() const { return FDisplayWidth > 0; }
  String GetText(bool DisplayText) const;  // OnGetText, else the class's text

  TDataSet* FDataSet = nullptr;
  String FFieldName;
  TFieldType FDataType = ftUnknown;
  TFieldKind FFieldKind = fkData;
  int FFieldNo = 0;
  int FCalcIndex = -1;  // slot of a calculated or lookup value
  int FSize = 0;
  TAlignment FAlignment = taLeftJustify;
  String FDisplayLabel;
  int FDisplayWidth = 0;
  bool FVisible = true;
  bool FReadOnly = false;
  bool FRequired = false;
  String FEditMask;
  String FKeyFields;
  TDataSet* FLookupDataSet = nullptr;
  String FLookupKeyFields;
  String FLookupResultField;
  bool FLookupCache = false;
  bool FValidating = false;
  Variant FValidatingValue;  // seen by OnValidate before it is stored
  TFieldNotifyEvent FOnChange;
  TFieldNotifyEvent FOnValidate;
  TFieldGetTextEvent FOnGetText;
  TFieldSetTextEvent FOnSetText;
};

class TStringField : public TField {
  KELM_CLASS(TStringField, TField)
  template <class B> static void Published(B& b) {
    b.Prop("Size", &TField::Size, &TField::SetSize).Default(20);
  }
public:
  explicit TStringField(TComponent* AOwner);
  Variant AsVariant() const override;
  void SetAsVariant(const Variant& V) override;
  String AsString() const override;
  void SetAsString(const String& V) override;  // '' stays an empty text
  Integer AsInteger() const override;
  void SetAsInteger(Integer V) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 V) override;
  double AsFloat() const override;
  void SetAsFloat(double V) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency V) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime V) override;
  bool AsBoolean() const override;  // True when the text starts with T or Y
  void SetAsBoolean(bool V) override;  // 'T' / 'F'

protected:
  int DefaultWidth() const override { return Size() > 0 ? Size() : 10; }
};

class TWideStringField : public TStringField {
  KELM_CLASS(TWideStringField, TStringField)
public:
  explicit TWideStringField(TComponent* AOwner);
};

// Numbers: right-aligned, DisplayFormat and EditFormat are FormatFloat pictures.
class TNumericField : public TField {
  KELM_CLASS(TNumericField, TField)
  template <class B> static void Published(B& b) {
    b.Prop("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
    b.Prop("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
  }
public:
  explicit TNumericField(TComponent* AOwner);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  const String& EditFormat() const { return FEditFormat; }
  void SetEditFormat(const String& Value);
  bool IsValidChar(char32_t Ch) const override;

private:
  String FDisplayFormat;
  String FEditFormat;
};

class TIntegerField : public TNumericField {
  KELM_CLASS(TIntegerField, TNumericField)
  template <class B> static void Published(B& b) {
    b.Prop("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
    b.Prop("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
  }
public:
  explicit TIntegerField(TComponent* AOwner);
  // 0 and 0 mean the type's own range.
  Int64 MinValue() const { return FMinValue; }
  void SetMinValue(Int64 Value) { FMinValue = Value; }
  Int64 MaxValue() const { return FMaxValue; }
  void SetMaxValue(Int64 Value) { FMaxValue = Value; }

  Variant AsVariant() const override;
  void SetAsVariant(const Variant& V) override;
  String AsString() const override;
  void SetAsString(const String& V) override;
  Integer AsInteger() const override;
  void SetAsInteger(Integer V) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 V) override;
  double AsFloat() const override;
  void SetAsFloat(double V) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency V) override;

protected:
  TIntegerField(TComponent* AOwner, TFieldType Type, Int64 TypeMin, Int64 TypeMax, int Width);
  String GetClassText(bool DisplayText) const override;
  int DefaultWidth() const override { return FWidth; }
  virtual Variant MakeValue(Int64 V) const { return Variant(static_cast<Integer>(V)); }
  void StoreChecked(Int64 V);

private:
  Int64 FTypeMin, FTypeMax;
  Int64 FMinValue = 0, FMaxValue = 0;
  int FWidth;
};

class TSmallintField : public TIntegerField {
  KELM_CLASS(TSmallintField, TIntegerField)
public:
  explicit TSmallintField(TComponent* AOwner);
};

class TWordField : public TIntegerField {
  KELM_CLASS(TWordField, TIntegerField)
public:
  explicit TWordField(TComponent* AOwner);
};

class TAutoIncField : public TIntegerField {
  KELM_CLASS(TAutoIncField, TIntegerField)
public:
  explicit TAutoIncField(TComponent* AOwner);
};

class TLargeintField : public TIntegerField {
  KELM_CLASS(TLargeintField, TIntegerField)
public:
  explicit TLargeintField(TComponent* AOwner);

protected:
  Variant MakeValue(Int64 V) const override { return Variant(V); }
};

class TFloatField : public TNumericField {
  KELM_CLASS(TFloatField, TNumericField)
  template <class B> static void Published(B& b) {
    b.Prop("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).NoDefault();
    b.Prop("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue);
    b.Prop("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue);
    b.Prop("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
  }
public:
  explicit TFloatField(TComponent* AOwner);
  // Shown in the currency format when there is no DisplayFormat.
  bool Currency() const { return FCurrency; }
  void SetCurrency(bool Value);
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value);
  // Both 0: no range check.
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value) { FMinValue = Value; }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value) { FMaxValue = Value; }

  Variant AsVariant() const override;
  void SetAsVariant(const Variant& V) override;
  String AsString() const override;
  void SetAsString(const String& V) override;
  Integer AsInteger() const override;
  void SetAsInteger(Integer V) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 V) override;
  double AsFloat() const override;
  void SetAsFloat(double V) override;
  ::Currency AsCurrency() const override;
  void SetAsCurrency(::Currency V) override;
  bool IsValidChar(char32_t Ch) const override;

protected:
  String GetClassText(bool DisplayText) const override;
  int DefaultWidth() const override { return FPrecision + 1; }

private:
  bool FCurrency = false;
  int FPrecision = 15;
  double FMinValue = 0, FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
  KELM_CLASS(TCurrencyField, TFloatField)
public:
  explicit TCurrencyField(TComponent* AOwner);
};

// Exact amounts: the value is a Currency.
class TBCDField : public TNumericField {
  KELM_CLASS(TBCDField, TNumericField)
  template <class B> static void Published(B& b) {
    b.Prop("Currency", &TBCDField::Currency, &TBCDField::SetCurrency).NoDefault();
    b.Prop("MaxValue", &TBCDField::MaxValue, &TBCDField::SetMaxValue);
    b.Prop("MinValue", &TBCDField::MinValue, &TBCDField::SetMinValue);
    b.Prop("Precision", &TBCDField::Precision, &TBCDField::SetPrecision).Default(0);
    b.Prop("Size", &TField::Size, &TField::SetSize).Default(4);
  }
public:
  explicit TBCDField(TComponent* AOwner);
  bool Currency() const { return FCurrency; }
  void SetCurrency(bool Value);
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value) { FPrecision = Value; }
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value) { FMinValue = Value; }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value) { FMaxValue = Value; }

  Variant AsVariant() const override;
  void SetAsVariant(const Variant& V) override;
  String AsString() const override;
  void SetAsString(const String& V) override;
  Integer AsInteger() const override;
  void SetAsInteger(Integer V) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 V) override;
  double AsFloat() const override;
  void SetAsFloat(double V) override;
  ::Currency AsCurrency() const override;
  void SetAsCurrency(::Currency V) override;
  bool IsValidChar(char32_t Ch) const override;

protected:
  String GetClassText(bool DisplayText) const override;
  int DefaultWidth() const override { return (FPrecision > 0 ? FPrecision : 18) + 2; }
  void StoreChecked(::Currency V);

private:
  bool FCurrency = false;
  int FPrecision = 0;
  double FMinValue = 0, FMaxValue = 0;
};

class TFMTBCDField : public TBCDField {
  KELM_CLASS(TFMTBCDField, TBCDField)
public:
  explicit TFMTBCDField(TComponent* AOwner);
};

class TBooleanField : public TField {
  KELM_CLASS(TBooleanField, TField)
  template <class B> static void Published(B& b) {
    b.Prop("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues).Default("True;False");
  }
public:
  explicit TBooleanField(TComponent* AOwner);
  // "TrueText;FalseText"; text assignment accepts a leading part of either, in any case.
  const String& DisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const String& Value);

  Variant AsVariant() const override;
  void SetAsVariant(const Variant& V) override;
  String AsString() const override;
  void SetAsString(const String& V) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool V) override;

protected:
  int DefaultWidth() const override;

private:
  String FDisplayValues = "True;False";
  String FTrueText = "True", FFalseText = "False";
};

class TDateTimeField : public TField {
  KELM_CLASS(TDateTimeField, TField)
  template <class B> static void Published(B& b) {
    b.Prop("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
  }
public:
  explicit TDateTimeField(TComponent* AOwner);
  // A FormatDateTime picture; empty shows the type's own form ('c', short date, long time).
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);

  Variant AsVariant() const override;
  void SetAsVariant(const Variant& V) override;
  String AsString() const override;
  void SetAsString(const String& V) override;
  double AsFloat() const override;
  void SetAsFloat(double V) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime V) override;

protected:
  TDateTimeField(TComponent* AOwner, TFieldType Type);
  String GetClassText(bool DisplayText) const override;
  int DefaultWidth() const override;

private:
  TDateTime ParseText(const String& Text) const;  // as the type reads text (date, time, both)
  // The picture text is shown in: DisplayFormat when asked for and given, else the type's own.
  String TextFormat(bool DisplayText) const;
  String FDisplayFormat;
};

class TDateField : public TDateTimeField {
  KELM_CLASS(TDateField, TDateTimeField)
public:
  explicit TDateField(TComponent* AOwner);
};

class TTimeField : public TDateTimeField {
  KELM_CLASS(TTimeField, TDateTimeField)
public:
  explicit TTimeField(TComponent* AOwner);
};

// Bytes (and, for memos, text). '' clears the value.
class TBlobField : public TField {
  KELM_CLASS(TBlobField, TField)
  template <class B> static void Published(B& b) {
    b.Prop("BlobType", &TBlobField::BlobType, &TBlobField::SetBlobType).NoDefault();
    b.Prop("Size", &TField::Size, &TField::SetSize).Default(0);
  }
public:
  explicit TBlobField(TComponent* AOwner);
  TBlobType BlobType() const { return DataType(); }
  void SetBlobType(TBlobType Value) { SetDataType(Value); }
  bool IsBlob() const override { return true; }
  int BlobSize() const;

  Variant AsVariant() const override;
  void SetAsVariant(const Variant& V) override;
  String AsString() const override;
  void SetAsString(const String& V) override;
  TBytes AsBytes() const;
  void SetAsBytes(const TBytes& V);
  void LoadFromStream(TStream* Stream);  // the whole stream from its start
  void SaveToStream(TStream* Stream) const;
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName) const;

protected:
  TBlobField(TComponent* AOwner, TFieldType Type);
  // "(Blob)" for an empty value, "(BLOB)" for one with data; memos and graphics name themselves.
  String GetClassText(bool DisplayText) const override;
  virtual const char* BlobCaption() const { return "Blob"; }
};

class TMemoField : public TBlobField {
  KELM_CLASS(TMemoField, TBlobField)
public:
  explicit TMemoField(TComponent* AOwner);

protected:
  const char* BlobCaption() const override { return "Memo"; }
};

class TWideMemoField : public TMemoField {
  KELM_CLASS(TWideMemoField, TMemoField)
public:
  explicit TWideMemoField(TComponent* AOwner);
};

class TGraphicField : public TBlobField {
  KELM_CLASS(TGraphicField, TBlobField)
public:
  explicit TGraphicField(TComponent* AOwner);

protected:
  const char* BlobCaption() const override { return "Graphic"; }
};

// Holds whatever the store gives (integer, float, currency, text).
class TVariantField : public TField {
  KELM_CLASS(TVariantField, TField)
public:
  explicit TVariantField(TComponent* AOwner);
  void SetAsString(const String& V) override;
  Integer AsInteger() const override;
  void SetAsInteger(Integer V) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 V) override;
  double AsFloat() const override;
  void SetAsFloat(double V) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency V) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime V) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool V) override;
};

// The fields of a dataset in their order.
class TFields : public TObject {
public:
  explicit TFields(TDataSet* DataSet) : FDataSet(DataSet) {}
  TDataSet* DataSet() const { return FDataSet; }
  int Count() const { return static_cast<int>(FList.size()); }
  TField* Fields(int Index) const;  // EListError out of range
  TField* operator[](int Index) const { return Fields(Index); }
  int IndexOf(const TField* Field) const;
  TField* FindField(const String& Name) const;    // case-insensitive, nullptr when absent
  TField* FieldByName(const String& Name) const;  // raises "Field '%s' not found"
  TField* FieldByNumber(int FieldNo) const;
  auto begin() const { return FList.begin(); }
  auto end() const { return FList.end(); }

private:
  friend class TDataSet;
  friend class TField;
  TDataSet* FDataSet;
  std::vector<TField*> FList;
};
