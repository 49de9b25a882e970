#pragma once
// The dataset model every data-aware part of the system is written against: TDataSet as a
// client-side cursor over rows held in memory, its fields, and the data sources and data links
// through which grids and edits follow it.
//
// A dataset holds its rows compactly (one block per row, see TRowWriter) under stable row ids;
// an order vector maps positions to ids and changes with Sort and filtering. Bookmarks are the
// bytes of a row id. Concrete datasets fill the rows in InternalOpen and write changes back
// through InternalPost and InternalDelete; with cached updates the dataset keeps the changes
// until ApplyCachedUpdates.
//
// Each data link asks for a number of buffered records (BufferCount); the dataset keeps one
// window of the largest and moves it only when the current record would leave it, by the least
// amount. Links see the move as DataSetScrolled(distance): the number of rows the window moved
// towards the end (negative towards the start).
#include "core/Classes.h"
#include "core/Component.h"
#include "core/Currency.h"
#include "core/Events.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "core/TypInfo.h"
#include "core/Variant.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TFields;
class TFieldDef;
class TFieldDefs;

using NativeInt = std::intptr_t;

// ---------------------------------------------------------------- errors

KELM_EXCEPTION(EDatabaseError, Exception);

// Raises EDatabaseError; a named component prefixes the message with "Name: ".
[[noreturn]] void DatabaseError(const String& Message, const TComponent* Component = nullptr);
[[noreturn]] void DatabaseErrorFmt(std::string_view Message, std::initializer_list<TVarRec> Args,
                                   const TComponent* Component = nullptr);

// The platform's texts, for callers that raise or compare them.
extern const char* const SDataSetClosed;     // "Cannot perform this operation on a closed dataset"
extern const char* const SDataSetOpen;       // "Cannot perform this operation on an open dataset"
extern const char* const SDataSetEmpty;      // "Cannot perform this operation on an empty dataset"
extern const char* const SDataSetReadOnly;   // "Cannot modify a read-only dataset"
extern const char* const SNotEditing;        // "Dataset not in edit or insert mode"
extern const char* const SFieldNotFound;     // "Field '%s' not found"
extern const char* const SFieldRequired;     // "Field '%s' must have a value"
extern const char* const SFieldReadOnly;     // "Field '%s' cannot be modified"
extern const char* const SFieldAccessError;  // "Cannot access field '%s' as type %s"
extern const char* const SFieldRangeError;   // "%s is not a valid value for field '%s'. The allowed range is %s to %s"
extern const char* const SDuplicateFieldName;  // "Duplicate field name '%s'"
extern const char* const SRecordNotFound;    // "Record not found"

// ---------------------------------------------------------------- enumerations

KELM_ENUM(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
          dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening)

KELM_ENUM(TDataEvent, deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
          deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
          deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange)

// Ordinals are fixed: tables elsewhere are indexed by them.
KELM_ENUM(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
          ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo,
          ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString, ftLargeint, ftADT,
          ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant, ftInterface, ftIDispatch, ftGuid,
          ftTimeStamp, ftFMTBcd)
using TBlobType = TFieldType;

KELM_ENUM(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate)
KELM_ENUM(TLocateOption, loCaseInsensitive, loPartialKey)
using TLocateOptions = TSet<TLocateOption>;
KELM_ENUM(TFilterOption, foCaseInsensitive, foNoPartialCompare)
using TFilterOptions = TSet<TFilterOption>;
KELM_ENUM(TUpdateStatus, usUnmodified, usModified, usInserted, usDeleted)
KELM_ENUM(TDataAction, daFail, daAbort, daRetry)
KELM_ENUM(TBlobStreamMode, bmRead, bmWrite, bmReadWrite)
KELM_ENUM(TFieldAttribute, faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed)
using TFieldAttributes = TSet<TFieldAttribute>;

// ---------------------------------------------------------------- events

KELM_EVENT(TDataSetNotifyEvent, void(TDataSet* DataSet));
KELM_EVENT(TDataSetErrorEvent, void(TDataSet* DataSet, EDatabaseError* E, TDataAction& Action));
KELM_EVENT(TFilterRecordEvent, void(TDataSet* DataSet, bool& Accept));
KELM_EVENT(TFieldNotifyEvent, void(TField* Sender));
KELM_EVENT(TFieldGetTextEvent, void(TField* Sender, String& Text, bool DisplayText));
KELM_EVENT(TFieldSetTextEvent, void(TField* Sender, const String& Text));
KELM_EVENT(TDataChangeEvent, void(TObject* Sender, TField* Field));

// ---------------------------------------------------------------- row storage

// What one stored value is. A column normally holds one kind, but a store may hand back
// another (a date column holding text), so every value carries its own.
enum class TCellKind : Byte { Null, Integer, Float, Currency, Text, Blob };

// A stored value, read without copying. Currency holds ten-thousandths in Int.
struct TCellView {
  TCellKind Kind = TCellKind::Null;
  Int64 Int = 0;
  double Float = 0;
  std::string_view Bytes;  // Text and Blob
  bool IsNull() const { return Kind == TCellKind::Null; }
  bool operator==(const TCellView& o) const;
};

// An owned value: the edit buffer and values given back by a store.
struct TCellValue {
  TCellKind Kind = TCellKind::Null;
  Int64 Int = 0;
  double Float = 0;
  String Bytes;
  TCellValue() = default;
  explicit TCellValue(const TCellView& v);
  TCellView View() const;
};

// Converts a stored value to the variant a field of that type holds, and back.
Variant CellToVariant(const TCellView& Cell, TFieldType Type);
TCellValue VariantToCell(const Variant& Value, TFieldType Type);

// Builds one row for TDataSet::AppendRow. Reuse one writer for all rows of a fill: Reset keeps
// its buffers, so filling costs one allocation per row (the row block itself).
class TRowWriter {
public:
  explicit TRowWriter(int ColumnCount = 0) { Reset(ColumnCount); }
  void Reset(int ColumnCount);  // every column Null
  void Clear() { Reset(ColumnCount()); }
  int ColumnCount() const { return static_cast<int>(FKinds.size()); }

  void SetNull(int Col);
  void SetInteger(int Col, Int64 Value);
  void SetFloat(int Col, double Value);
  void SetCurrency(int Col, Currency Value);
  void SetText(int Col, std::string_view Value);
  void SetBlob(int Col, const void* Data, std::size_t Size);
  void SetCell(int Col, const TCellView& Value);
  void SetValue(int Col, const Variant& Value, TFieldType Type) { SetCell(Col, VariantToCell(Value, Type).View()); }

private:
  friend class TDataSet;
  Byte* Build() const;  // malloc'ed block
  std::vector<Byte> FKinds;
  std::vector<Int64> FPayload;  // integer bits, double bits, or tail offset << 32 | length
  String FTail;
};

// One change written back to a store: an insert, an update or a delete of a row.
class TRowUpdate {
public:
  TUpdateStatus Kind() const { return FKind; }  // usInserted, usModified or usDeleted
  int RowId() const { return FRowId; }
  TDataSet* DataSet() const { return FDataSet; }
  int ColumnCount() const;
  // Insert: the columns assigned since Insert. Update: the assigned columns whose value differs
  // from the old one. Delete: none.
  bool Changed(int Col) const { return FChanged[Col] != 0; }
  TCellView OldCell(int Col) const;  // Null cells for an insert
  TCellView NewCell(int Col) const;  // Null cells for a delete
  Variant OldValue(int Col) const;   // typed by the column's field definition
  Variant NewValue(int Col) const;
  // A value the store assigned itself (an autonumber, a default); kept in the row after the write.
  void SetNewValue(int Col, const Variant& Value);
  void SetNewCell(int Col, const TCellView& Value);

private:
  friend class TDataSet;
  TDataSet* FDataSet = nullptr;
  TUpdateStatus FKind = usUnmodified;
  int FRowId = -1;
  const Byte* FOldRow = nullptr;
  const Byte* FNewRow = nullptr;
  const std::vector<TCellValue>* FNewCells = nullptr;
  std::vector<Byte> FChanged;
  std::vector<std::optional<TCellValue>> FOverrides;
};

// ---------------------------------------------------------------- field definitions

class TFieldDef : public TCollectionItem {
  KELM_CLASS(TFieldDef, TCollectionItem)
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

// ---------------------------------------------------------------- the dataset

class TDataSet : public TComponent {
  KELM_CLASS(TDataSet, TComponent)
public:
  using TBookmark = String;  // the bytes of a row id; '' for none

  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  // ---- opening
  bool Active() const { return FState != dsInactive; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return FState; }
  bool Modified() const { return FModified; }
  bool DefaultFields() const { return FDefaultFields; }

  // ---- navigation
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Returns the number of records actually moved, signed.
  int MoveBy(int Distance);
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  bool IsEmpty() const { return !Active() || FOrder.empty(); }
  virtual bool IsSequenced() const { return true; }
  // 1-based; -1 when closed or not sequenced, 0 when empty. Out-of-range values are ignored.
  virtual int RecNo() const;
  virtual void SetRecNo(int Value);
  int RecordCount() const;  // raises on a closed dataset

  // ---- editing
  void Append();
  void Insert();  // before the current record
  void Edit();    // on an empty dataset: Insert
  void Post();
  void Cancel();
  void Delete();
  void CheckBrowseMode();  // posts a modified edit, cancels an untouched one
  void UpdateRecord();     // asks the links to store what their controls hold
  void Refresh();
  void Resync();           // rebuilds the buffer window around the current record
  void ClearFields();
  // Append or Insert, assign the values in field order (Empty leaves a field alone), Post.
  void AppendRecord(const std::vector<Variant>& Values);
  void InsertRecord(const std::vector<Variant>& Values);
  void SetFields(const std::vector<Variant>& Values);
  bool CanModify() const { return GetCanModify(); }
  TUpdateStatus UpdateStatus() const;

  // ---- fields
  TFields* Fields() const { return FFields.get(); }
  int FieldCount() const { return FFields->Count(); }
  TField* FieldByName(const String& Name) const;
  TField* FindField(const String& Name) const;
  TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
  void SetFieldDefs(TFieldDefs* Value);
  // One value for one name, a variant array for "A;B".
  Variant FieldValues(const String& FieldNames) const;
  void SetFieldValues(const String& FieldNames, const Variant& Value);
  void GetFieldList(std::vector<TField*>& List, const String& FieldNames) const;
  void GetFieldList(TList* List, const String& FieldNames) const;
  void GetFieldNames(TStrings* List) const;
  bool AutoCalcFields() const { return FAutoCalcFields; }
  void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
  // A stream over a blob field's bytes; in write modes the bytes go back to the field when the
  // stream is freed.
  TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode);

  // ---- search
  // Fields separated by ';', one value or a variant array. Without options the match is exact:
  // case- and length-sensitive. loPartialKey matches text prefixes. Moves to the first match.
  bool Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  // The result field(s) of the first exact match, Null when none; the dataset does not move.
  Variant Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields);

  // ---- bookmarks
  TBookmark GetBookmark() const;  // '' when there is no posted current record
  void GotoBookmark(const TBookmark& Bookmark);  // raises "Record not found" for a stale one
  void FreeBookmark(TBookmark& Bookmark) { Bookmark.clear(); }
  bool BookmarkValid(const TBookmark& Bookmark) const;
  // -1, 0 or 1 by position in the current order; '' sorts first.
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) const;
  TBookmark Bookmark() const { return GetBookmark(); }
  void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }

  // ---- controls
  // Nested; data events are held back, a state change while disabled reaches the links as
  // deDisabledStateChange, and the last EnableControls sends deDataSetChange (deLayoutChange
  // when the layout changed meanwhile).
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }

  // ---- filter and sort
  // Filter and FilterOptions are kept and reported; OnFilterRecord decides while Filtered.
  const String& Filter() const { return FFilter; }
  void SetFilter(const String& Value);
  bool Filtered() const { return FFiltered; }
  void SetFiltered(bool Value);
  TFilterOptions FilterOptions() const { return FFilterOptions; }
  void SetFilterOptions(TFilterOptions Value) { FFilterOptions = Value; }
  // "Field [ASC|DESC], ..." with blanks anywhere; stable, text without regard to case, keeps the
  // current record; '' restores the original order.
  const String& Sort() const { return FSort; }
  void SetSort(const String& Value);

  // ---- buffer window (data links)
  int BufferCount() const { return FBufferCount; }
  // The buffered record that fields read; a link may point it at another buffered record and
  // back without any event.
  int ActiveRecord() const { return FActiveRecord; }
  void SetActiveRecord(int Value);

  // ---- events (single-cast; a component may take one over and call the one it replaced)
#define KELM_DATASET_EVENT(Name, Type)                           \
  const Type& Name() const { return F##Name; }                   \
  void Set##Name(const Type& Value) { F##Name = Value; }
  KELM_DATASET_EVENT(BeforeOpen, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterOpen, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeClose, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterClose, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeInsert, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterInsert, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeEdit, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterEdit, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforePost, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterPost, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeCancel, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterCancel, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeDelete, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterDelete, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeScroll, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterScroll, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(BeforeRefresh, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(AfterRefresh, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(OnCalcFields, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(OnNewRecord, TDataSetNotifyEvent)
  KELM_DATASET_EVENT(OnPostError, TDataSetErrorEvent)
  KELM_DATASET_EVENT(OnDeleteError, TDataSetErrorEvent)
#undef KELM_DATASET_EVENT
  const TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
  void SetOnFilterRecord(const TFilterRecordEvent& Value);

  // ---- rollback points, for the connection whose transaction the dataset writes in: restoring
  // puts rows, order and cached updates back as they were when the point was saved, so a
  // rolled-back transaction leaves no changes behind in memory either.
  void SaveRollbackPoint();
  void ReleaseRollbackPoint();
  void RestoreRollbackPoint();
  bool HasRollbackPoint() const { return FJournal != nullptr; }

  // Sends an event to the data sources (and through them to the links).
  void DataEvent(TDataEvent Event, NativeInt Info);

  // Layout streaming: persistent fields are written inside their dataset.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void Loaded() override;

protected:
  // ---- what a concrete dataset supplies
  // Fills FieldDefs (unless they were given) and the rows (AppendRow).
  virtual void InternalOpen() = 0;
  virtual void InternalClose() {}
  // Re-reads the rows: ClearRows, then AppendRow.
  virtual void InternalRefresh() {}
  // Fills FieldDefs without opening (FieldDefs()->Update()).
  virtual void InternalInitFieldDefs() {}
  // Writes an insert or an update; may assign values of its own with SetNewValue. Raising
  // leaves the dataset in its edit state.
  virtual void InternalPost(TRowUpdate& Update) {}
  virtual void InternalDelete(TRowUpdate& Update) {}
  virtual bool GetCanModify() const { return true; }
  // Whether the row the fields now read belongs in the visible rows; the default asks
  // OnFilterRecord while Filtered. FilterActive says whether to ask at all.
  virtual bool AcceptRecord();
  virtual bool FilterActive() const { return FFiltered && FOnFilterRecord.Assigned(); }
  // Called in insert state before AfterInsert; the default fires OnNewRecord.
  virtual void DoOnNewRecord() { DoEvent(FOnNewRecord); }

  // ---- rows
  int AppendRow(const TRowWriter& Row);  // the new row's id
  void ClearRows();
  void ReserveRows(int Count);
  int ColumnCount() const { return FColumnCount; }
  TCellView RowCell(int RowId, int Col) const;
  // Filters and sorts the rows again (after a change of what AcceptRecord decides), keeping the
  // current record when it stays visible (unless ToFirst), else going to the first.
  void RefilterRows(bool ToFirst = false);

  // ---- cached updates (batch mode): Post and Delete mark rows, ApplyCachedUpdates writes them
  // in the order they were first changed, CancelCachedUpdates restores them.
  bool CachedUpdates() const { return FCachedUpdates; }
  void SetCachedUpdates(bool Value);
  void ApplyCachedUpdates();
  void CancelCachedUpdates();
  int PendingUpdateCount() const { return static_cast<int>(FPending.size()); }

  void CheckActive() const;
  void CheckInactive() const;
  void SetState(TDataSetState Value);

private:
  friend class TField;
  friend class TFields;
  friend class TFieldDefs;
  friend class TDataSource;
  friend class TDataLink;
  friend class TRowUpdate;
  friend class TDataSetReadScope;
  struct TRowDeleter {
    void operator()(Byte* p) const { std::free(p); }
  };
  using TRowPtr = std::unique_ptr<Byte, TRowDeleter>;
  struct TJournal;
  struct TSortKey {
    TField* Field;
    bool Descending;
  };
  enum TWindowMode { wmKeepPlace, wmLeast, wmCentre, wmTop, wmBottom };

  // opening and fields
  void OpenCursor();
  void CloseCursor();
  void CreateDefaultFields();
  void BindFields();
  void DestroyDefaultFields();
  void AddField(TField* Field);
  void RemoveField(TField* Field);
  std::vector<TSortKey> ParseSort(const String& Text) const;

  // rows and order
  const Byte* RowData(int RowId) const;
  // The row as the store has it: its original while cached updates hold a change, else RowData.
  const Byte* StoredRow(int RowId) const;
  // Forgets a deleted row: no data, no original, no status, out of the natural order.
  void DropRow(int RowId);
  int CurrentRowId() const;  // the row under the cursor, -1 when none
  int ReadRowId() const;     // the row fields read now
  int PositionOf(int RowId) const;
  void InvalidatePositions() { FPositionsValid = false; }
  void RebuildOrder();
  void SortIds(std::vector<int>& Ids);
  int IdFromBookmark(const TBookmark& Bookmark) const;
  bool RowIsVisible(int RowId) const;
  bool FindRow(const std::vector<TField*>& Fields, const Variant& Values, TLocateOptions Options, int& Pos);

  // the buffer window
  int WindowLength() const;
  int PlaceWindow(int NewPos, TWindowMode Mode);  // returns how far the window moved
  // Clears Bof/Eof, places the window (keeping the current record's place by default) and
  // sends deDataSetChange.
  void AfterRowsChanged(int NewPos, TWindowMode Mode = wmKeepPlace);
  // AfterRowsChanged at the row's new position, or at FallbackPos (kept inside the rows) when
  // the row is no longer visible.
  void ReturnTo(int RowId, int FallbackPos);
  // Moves to a found record, centring the window on it, and tells the links and AfterScroll.
  void CentreOn(int Pos);

  // values
  Variant GetFieldValue(const TField* Field) const;
  Variant GetFieldValueAs(const TField* Field, TDataSetState State) const;  // old, new, current value
  void SetFieldValue(TField* Field, const Variant& Value);
  bool ReadsEditBuffer(int RowId) const;
  std::vector<Variant>& CalcValues(int RowId) const;
  void ComputeCalcFields(int RowId, std::vector<Variant>& Target) const;
  void RecalcEditRow();

  // editing
  void BeginInsertAppend();
  // Adds an empty row at position Pos (the end: appends) and starts editing it there.
  void StartInsertRow(int Pos, TWindowMode Mode);
  void EndInsertAppend();
  int RemoveInsertRow();  // the position the row had
  void RestoreActiveRecord() { FActiveRecord = FCurPos - FWinFirst; }
  void StartEdit(int RowId, bool Inserting);
  void FinishEdit();
  void WritePost();
  void WriteDelete();
  void CheckRequiredFields();
  void CheckCanModify() const;
  template <class F> void CheckOperation(F&& Operation, const TDataSetErrorEvent& ErrorEvent);
  void ApplyOverrides(int RowId, const TRowUpdate& Update);
  void ReplaceRow(int RowId, TRowPtr Row);
  static TRowPtr CopyRow(const Byte* Row, int Columns);
  bool CellsDiffer(const Byte* OldRow, const TCellView& New, int Col) const;

  // journal
  void JournalTouch(int RowId);

  // links
  void AddDataSource(TDataSource* Source);
  void RemoveDataSource(TDataSource* Source);
  void UpdateBufferCount();

  void DoEvent(const TDataSetNotifyEvent& Event) { if (Event) Event(this); }

  // state
  TDataSetState FState = dsInactive;
  bool FModified = false;
  bool FBof = true, FEof = true;
  bool FDefaultFields = false;
  bool FStreamedActive = false;
  bool FAutoCalcFields = true;
  std::unique_ptr<TFields> FFields;
  std::unique_ptr<TFieldDefs> FFieldDefs;
  int FCalcCount = 0;
  bool FHasCalcFields = false;

  // rows
  int FColumnCount = 0;
  std::vector<TRowPtr> FRows;     // by id; null for a deleted row or the row being inserted
  std::vector<Byte> FStatus;      // by id: pending-update flags
  std::vector<int> FBase;         // ids in their natural order (fetch order, inserts in place)
  std::vector<int> FOrder;        // visible ids in the current order
  mutable std::vector<int> FPositions;  // id -> position in FOrder, -1 when not visible
  mutable bool FPositionsValid = false;
  int FCurPos = 0;

  // window
  int FBufferCount = 1;
  int FWinFirst = 0;
  int FActiveRecord = 0;

  // edit buffer
  bool FEditing = false;
  int FEditRowId = -1;
  bool FInsertRowPending = false;  // the edit row is an insert not yet posted
  std::vector<TCellValue> FEdit;
  std::vector<Byte> FEditAssigned;
  mutable std::vector<Variant> FEditCalc;

  // reading another row without moving (filter, calc, locate, sort)
  int FReadRow = -1;
  std::vector<Variant>* FCalcTarget = nullptr;
  mutable std::unordered_map<int, std::vector<Variant>> FCalcCache;

  // cached updates
  bool FCachedUpdates = false;
  std::unordered_map<int, TRowPtr> FOriginal;  // rows as the store has them
  std::vector<int> FPending;                   // ids in the order first changed
  std::unique_ptr<TJournal> FJournal;

  // controls
  int FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;
  TDataEvent FEnableEvent = deDataSetChange;
  std::vector<TDataSource*> FDataSources;

  // filter and sort
  String FFilter;
  bool FFiltered = false;
  TFilterOptions FFilterOptions;
  String FSort;
  std::vector<TSortKey> FSortKeys;

  // events
  TDataSetNotifyEvent FBeforeOpen, FAfterOpen, FBeforeClose, FAfterClose, FBeforeInsert, FAfterInsert,
      FBeforeEdit, FAfterEdit, FBeforePost, FAfterPost, FBeforeCancel, FAfterCancel, FBeforeDelete,
      FAfterDelete, FBeforeScroll, FAfterScroll, FBeforeRefresh, FAfterRefresh, FOnCalcFields, FOnNewRecord;
  TDataSetErrorEvent FOnPostError, FOnDeleteError;
  TFilterRecordEvent FOnFilterRecord;
};

// ---------------------------------------------------------------- data source and links

class TDataSource : public TComponent {
  KELM_CLASS(TDataSource, TComponent)
public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  TDataSetState State() const { return FState; }
  // Puts the dataset into edit state when AutoEdit allows it.
  void Edit();
  bool IsLinkedTo(TDataSet* DataSet) const;
  int DataLinkCount() const { return static_cast<int>(FDataLinks.size()); }

  const TDataChangeEvent& OnDataChange() const { return FOnDataChange; }
  void SetOnDataChange(const TDataChangeEvent& Value) { FOnDataChange = Value; }
  const TNotifyEvent& OnStateChange() const { return FOnStateChange; }
  void SetOnStateChange(const TNotifyEvent& Value) { FOnStateChange = Value; }
  const TNotifyEvent& OnUpdateData() const { return FOnUpdateData; }
  void SetOnUpdateData(const TNotifyEvent& Value) { FOnUpdateData = Value; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent Event, NativeInt Info);
  void NotifyDataLinks(TDataEvent Event, NativeInt Info);
  void UpdateState();
  void SetState(TDataSetState Value);
  void AddDataLink(TDataLink* Link);
  void RemoveDataLink(TDataLink* Link);

  TDataSet* FDataSet = nullptr;
  bool FAutoEdit = true;
  bool FEnabled = true;
  TDataSetState FState = dsInactive;
  std::vector<TDataLink*> FDataLinks;
  TDataChangeEvent FOnDataChange;
  TNotifyEvent FOnStateChange;
  TNotifyEvent FOnUpdateData;
};

// A component's reference to the dataset it reads, given either directly or through a data
// source: setting one clears the other. The holder hears when either is freed and passes that
// on to Notification, which forgets it.
class TDataSetOrSource {
public:
  explicit TDataSetOrSource(TComponent* Holder) : FHolder(Holder) {}
  TDataSetOrSource(const TDataSetOrSource&) = delete;
  TDataSetOrSource& operator=(const TDataSetOrSource&) = delete;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  void Notification(TComponent* AComponent, TOperation Operation);

private:
  TComponent* FHolder;
  TDataSet* FDataSet = nullptr;
  TDataSource* FDataSource = nullptr;
};

// How a control follows a dataset: its notifications, and a window of BufferCount records of
// which ActiveRecord is the current one.
class TDataLink : public TObject {
public:
  TDataLink() = default;
  ~TDataLink() override;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  bool DataSourceFixed() const { return FDataSourceFixed; }
  void SetDataSourceFixed(bool Value) { FDataSourceFixed = Value; }
  TDataSet* DataSet() const;
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);

  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  // Index of the current record in this link's window; writable to read another buffered record.
  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  int RecordCount() const;  // records in this link's window
  bool Bof() const;
  bool Eof() const;

  // Puts the dataset into edit state through the data source; true when the link is editing.
  bool Edit();
  // Asks this link's control to store its value (UpdateData), guarded against re-entry.
  void UpdateRecord();
  virtual int MoveBy(int Distance);
  virtual void DataEvent(TDataEvent Event, NativeInt Info);

protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int Distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  // The dataset asks for the control of *Field; a link that takes the focus clears it.
  virtual void FocusControl(TField** Field) {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* Field) {}
  virtual void UpdateData() {}

private:
  friend class TDataSource;
  friend class TDataSet;
  void UpdateState();
  void SetActive(bool Value);
  void SetEditing(bool Value);
  void UpdateRange();  // keeps the window inside the dataset's, holding the current record

  TDataSource* FDataSource = nullptr;
  bool FDataSourceFixed = false;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FUpdating = false;
  int FBufferCount = 1;
  int FFirst = 0;       // position of this window's first record
  int FLastActive = 0;  // the current record's place in the window at the last event
};

// A link to one field of the dataset, for data-aware edits.
class TFieldDataLink : public TDataLink {
public:
  TFieldDataLink() = default;
  TField* Field() const { return FField; }
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }
  bool CanModify() const;
  bool Editing() const { return FEditing; }
  bool Edit();
  // Marks the control's value as changed, so UpdateData asks for it.
  void Modified() { FModified = true; }
  bool IsModified() const { return FModified; }
  // Shows the field's value again, dropping the control's change.
  void Reset() { RecordChanged(nullptr); }

  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;

protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField** Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

private:
  void UpdateField();
  void SetField(TField* Value);
  TField* FField = nullptr;
  String FFieldName;
  TComponent* FControl = nullptr;
  bool FEditing = false;
  bool FModified = false;
};

// The link of a detail dataset to its master: tells the detail when the master's key fields
// change, or when the master goes away.
class TMasterDataLink : public TDataLink {
public:
  explicit TMasterDataLink(TDataSet* DataSet) : FDetail(DataSet) {}
  TDataSet* Detail() const { return FDetail; }
  const String& FieldNames() const { return FFieldNames; }
  void SetFieldNames(const String& Value);
  const std::vector<TField*>& Fields() const { return FFields; }

  TNotifyEvent OnMasterChange;
  TNotifyEvent OnMasterDisable;

protected:
  void ActiveChanged() override;
  void CheckBrowseMode() override;
  void LayoutChanged() override { ActiveChanged(); }
  void RecordChanged(TField* Field) override;

private:
  TDataSet* FDetail;
  String FFieldNames;
  std::vector<TField*> FFields;
};

// Splits "A; B;C" into trimmed names; empty parts are dropped.
std::vector<String> SplitFieldNames(const String& FieldNames);
