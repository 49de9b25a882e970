#pragma once
// Settings of every text-based editor: character case, echo mode, IME settings, the lookup
// items used for completion, the maximum length, display and edit formats, a value range,
// and the rules that turn an edit value into the text shown and check what was typed.
// TcxTextEditPropertiesValues records which optional settings were given explicitly.
// Declares TcxTextEditPropertiesValues, TcxCustomTextEditProperties, TcxTextEditProperties.
#include "core/StringList.h"
#include "editors/cxEditProperties.h"
#include "editors/cxFormats.h"
#include "gui/Control.h"
#include "gui/Edit.h"

#include <memory>

class TcxCustomTextEditLookupData;
class TcxCustomTextEdit;

KELM_ENUM(TcxEditEchoMode, eemNormal, eemPassword)
KELM_ENUM(TcxTextEditingStyle, tesEdit, tesEditList, tesFixedList, tesNoEdit)

using TcxNewLookupDisplayTextEvent = TEvent<void(TObject* Sender, const String& AText)>;
using TcxTextEditLookupDataClass = TcxCustomTextEditLookupData* (*)(TcxCustomTextEdit* AEdit);

class TcxCustomTextEditProperties;

class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
  KELM_CLASS(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)
  template <class B> static void Published(B& b) {
    using V = TcxTextEditPropertiesValues;
    b.Prop("DisplayFormat", &V::DisplayFormat, &V::SetDisplayFormat).Stored(&V::DisplayFormatStored);
    b.Prop("EditFormat", &V::EditFormat, &V::SetEditFormat).Stored(&V::EditFormatStored);
    b.Prop("MaxLength", &V::MaxLength, &V::SetMaxLength).Stored(false);
    b.Prop("MaxValue", &V::MaxValue, &V::SetMaxValue).Stored(&V::MaxValueStored);
    b.Prop("MinValue", &V::MinValue, &V::SetMinValue).Stored(&V::MinValueStored);
  }

public:
  explicit TcxTextEditPropertiesValues(TcxCustomEditProperties* AOwner);
  void Assign(TPersistent* Source) override;
  void ResetAssigned() override;

  bool DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(bool Value);
  bool EditFormat() const { return FEditFormat; }
  void SetEditFormat(bool Value);
  bool MaxLength() const { return FMaxLength; }
  void SetMaxLength(bool Value);
  bool MaxValue() const { return FMaxValue; }
  void SetMaxValue(bool Value);
  bool MinValue() const { return FMinValue; }
  void SetMinValue(bool Value);
  // Marks a flag without a change signal (the owner's setters signal themselves).
  void Mark(bool& Flag, bool Value) { Flag = Value; }
  bool& DisplayFormatFlag() { return FDisplayFormat; }
  bool& EditFormatFlag() { return FEditFormat; }
  bool& MaxLengthFlag() { return FMaxLength; }
  bool& MaxValueFlag() { return FMaxValue; }
  bool& MinValueFlag() { return FMinValue; }

  bool DisplayFormatStored() const;
  bool EditFormatStored() const;
  bool MaxValueStored() const;
  bool MinValueStored() const;

private:
  TcxCustomTextEditProperties* TextOwner() const;
  void SetFlag(bool& Flag, bool Value);
  bool FDisplayFormat = false, FEditFormat = false, FMaxLength = false, FMaxValue = false, FMinValue = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties, public IcxFormatChangeListener {
  KELM_CLASS(TcxCustomTextEditProperties, TcxCustomEditProperties)

public:
  explicit TcxCustomTextEditProperties(TPersistent* AOwner);
  ~TcxCustomTextEditProperties() override;
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

  TcxTextEditPropertiesValues* AssignedValues() const {
    return static_cast<TcxTextEditPropertiesValues*>(TcxCustomEditProperties::AssignedValues());
  }

  // ---- settings
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value) { ChangeCharCase(Value); }
  String DisplayFormat() const;
  void SetDisplayFormat(const String& Value);
  bool DisplayFormatStored() const { return AssignedValues()->DisplayFormat(); }
  TcxEditEchoMode EchoMode() const { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode Value);
  String EditFormat() const { return AssignedValues()->EditFormat() ? FEditFormat : String(); }
  void SetEditFormat(const String& Value);
  bool FixedListCompletion() const { return FFixedListCompletion; }
  void SetFixedListCompletion(bool Value);
  bool LocaleFormatsChanging() const { return FLocaleFormatsChanging; }
  bool NoTextEditing() const { return FNoTextEditing; }
  void SetNoTextEditing(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value);
  String ImeName() const { return FImeName; }
  void SetImeName(const String& Value);
  bool ImmediateUpdateText() const { return FImmediateUpdateText; }
  void SetImmediateUpdateText(bool Value) { FImmediateUpdateText = Value; }
  bool IncrementalSearch() const { return FIncrementalSearch; }
  void SetIncrementalSearch(bool Value);
  TStringList* LookupItems() const { return FLookupItems.get(); }
  void SetLookupItems(TStrings* Value) { FLookupItems->Assign(Value); }
  bool LookupItemsSorted() const { return FLookupItems->Sorted(); }
  void SetLookupItemsSorted(bool Value) { FLookupItems->SetSorted(Value); }
  int MaxLength() const;
  void SetMaxLength(int Value);
  bool MaxLengthStored() const { return AssignedValues()->MaxLength(); }
  double MaxValue() const;
  void SetMaxValue(double Value);
  double MinValue() const;
  void SetMinValue(double Value);
  bool ExactItemSearch() const { return FExactItemSearch; }
  void SetExactItemSearch(bool Value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  Char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(Char Value);
  bool EditWithDisplayFormat() const { return FEditWithDisplayFormat; }
  void SetEditWithDisplayFormat(bool Value);
  TcxNewLookupDisplayTextEvent OnNewLookupDisplayText;
  void SetOnNewLookupDisplayText(const TcxNewLookupDisplayTextEvent& Value) { OnNewLookupDisplayText = Value; }

  // The editing style as the editor sees it.
  TcxTextEditingStyle EditingStyle() { return GetEditingStyle(); }
  // The value shown for Value: PrepareDisplayValue when acceptable, else its plain text.
  void FormatValue(const Variant& Value, bool Editing, Variant& DisplayValue);
  String GetInvalidInputText(int Kind);

  // ---- overrides
  void AlignmentChanged(TObject* Sender) override;
  void SetAlignmentValue(TcxEditAlignment* Value) override;
  bool CanValidate() override { return true; }
  Byte GetFormatTraits() override { return 1; }
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  TClass GetEditorClass() override;
  bool CanCompareEditValues() override { return true; }
  bool SeparatesChangeEvents() override { return true; }
  Word GetFeatureFlags() override { return TcxCustomEditProperties::GetFeatureFlags() | 0x15E; }
  bool EditValuesEqual(const Variant& V1, const Variant& V2) override;
  void FormatDisplayValue(const Variant& EditValue, WideString& DisplayText, bool Focused) override;
  bool IsValueAcceptable(const Variant& Value, bool Focused) override;
  bool SupportsEscapeReset() override { return GetEditingStyle() != tesNoEdit; }
  void PrepareDisplayValue(const Variant& Value, Variant& DisplayValue, bool Focused) override;
  void CheckDisplayValue(Variant& DisplayValue, String& ErrorText, bool& Error, TcxCustomEdit* AEdit) override;
  Byte GetValueSourceKind(bool Focused) override { return 1; }

  // ---- IcxFormatChangeListener
  void FormatChanged() override;

  // ---- new virtual operations, in their order
  virtual void ValidateValueRange(Variant& DisplayValue, String& ErrorText, TcxCustomEdit* AEdit, bool& Error);
  virtual void GetEmptyDisplayValue(Variant& Value) { Value = String(); }
  virtual bool IsLookupItem(const String& Text);
  virtual void GetDefaultDisplayFormat(String& Format) { Format.clear(); }
  virtual int GetDefaultMaxLength();
  virtual int GetDropDownPageRowCount() { return 8; }
  virtual TcxTextEditingStyle GetEditingStyle() { return FNoTextEditing ? tesNoEdit : tesEdit; }
  virtual TcxTextEditLookupDataClass GetLookupDataClass();
  virtual bool ThousandSeparatorEnabled(bool ShowingEditValue) { return false; }
  virtual void GetEditFormatInfo(bool& UsesCurrency, bool& UsesOnGetText, String& Format, TcxCustomEdit* AEdit);
  virtual bool HasNumericValue() { return false; }
  virtual bool PopupShowsLookupList() { return false; }
  virtual bool ForcesSingleRow() { return false; }
  virtual bool ForwardsToPopupList(Word Key, TShiftState Shift) { return false; }
  virtual bool IsRangeBoundActive(bool Max);
  virtual bool IsRangeCheckActive();
  virtual void NotifyPropertiesChanged() { SignalPropertiesChanged(); }
  virtual void MaxLengthChanged() { SignalPropertiesChanged(); }
  virtual void ChangeCharCase(TEditCharCase Value);
  virtual bool HasLookupData() { return GetLookupDataClass() != nullptr; }
  virtual void ApplyEchoAndCase(String& Text);
  virtual bool AcceptText(Variant& Value);

protected:
  // Texts of numbers: the edit text of a numeric value (Editing) or its display text.
  String FormatNumber(const Variant& Value, bool Editing);

private:
  void LookupItemsChanged(TObject* Sender);
  void ReadIsDisplayFormatAssigned(TReader* Reader);

  TEditCharCase FCharCase = ecNormal;
  String FDisplayFormat;
  TcxEditEchoMode FEchoMode = eemNormal;
  String FEditFormat;
  bool FFixedListCompletion = true;
  bool FLocaleFormatsChanging = false;
  bool FNoTextEditing = false;
  bool FHideSelection = true;
  TImeMode FImeMode = imDontCare;
  String FImeName;
  bool FImmediateUpdateText = false;
  bool FIncrementalSearch = true;
  std::unique_ptr<TStringList> FLookupItems;
  int FMaxLength = 0;
  double FMaxValue = 0;
  double FMinValue = 0;
  bool FExactItemSearch = false;
  bool FOEMConvert = false;
  Char FPasswordChar = 0;
  bool FEditWithDisplayFormat = false;
};

class TcxTextEditProperties : public TcxCustomTextEditProperties {
  KELM_CLASS(TcxTextEditProperties, TcxCustomTextEditProperties)
  template <class B> static void Published(B& b) {
    using P = TcxTextEditProperties;
    PublishedSettings(b);
    b.Prop("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
    b.Prop("EchoMode", &P::EchoMode, &P::SetEchoMode).Default(eemNormal);
    b.Prop("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
    b.Prop("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
    b.Prop("ImeName", &P::ImeName, &P::SetImeName);
    b.Prop("IncrementalSearch", &P::IncrementalSearch, &P::SetIncrementalSearch).Default(true);
    b.Prop("LookupItems", &P::LookupItems, &P::SetLookupItems);
    b.Prop("LookupItemsSorted", &P::LookupItemsSorted, &P::SetLookupItemsSorted).Default(false);
    b.Prop("MaxLength", &P::MaxLength, &P::SetMaxLength).Stored(&P::MaxLengthStored);
    b.Prop("OEMConvert", &P::OEMConvert, &P::SetOEMConvert).Default(false);
    b.Prop(
         "PasswordChar", [](const P* p) { return static_cast<char16_t>(p->PasswordChar()); },
         [](P* p, char16_t c) { p->SetPasswordChar(c); })
        .Default(0);
    b.Prop("OnNewLookupDisplayText", &P::OnNewLookupDisplayText, &P::SetOnNewLookupDisplayText);
  }

public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
};

// Registers the text editor's properties with the editor registry (once however often).
void RegisterTextEditProperties();
