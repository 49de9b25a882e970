#pragma once
// The calculator editor: a numeric text editor whose drop-down is the calculator. The
// editor's text is the number and its value a double; the popup calculator reads and writes
// that text as its display, so every key shows in the editor at once. Typing keeps the text
// a number or the beginning of one. Windows read and write it through Text.
//
// Closing the popup keeps what the calculator last wrote, except that Escape, and any close
// that leaves the error text, put back the text and value the editor had when it opened.
// A text that is no number stays visible and fails validation when the editor is left.
// Declares TcxPopupCalculator, TcxCalcEditPropertiesValues, TcxCustomCalcEditProperties,
// TcxCalcEditProperties, TcxCustomCalcEdit and TcxCalcEdit.
#include "editors/cxCalculator.h"
#include "editors/cxPopupEdit.h"

class TcxCustomCalcEdit;

class TcxPopupCalculator : public TcxCustomCalculator {
  KELM_CLASS(TcxPopupCalculator, TcxCustomCalculator)
public:
  explicit TcxPopupCalculator(TComponent* AOwner);
  TcxCustomCalcEdit* OwnerCalcEdit = nullptr;

  virtual void ClearKeyDown() { KeyDownKey = ckNone; }

  TcxLookAndFeelPainterClass GetKeyPainter() override;
  void ReadDisplay(String& Text) override;
  void WriteDisplay(const String& Text) override;

protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
};

class TcxCalcEditPropertiesValues : public TcxTextEditPropertiesValues {
  KELM_CLASS(TcxCalcEditPropertiesValues, TcxTextEditPropertiesValues)
  template <class B> static void Published(B& b) {
    using V = TcxCalcEditPropertiesValues;
    b.Prop("Precision", &V::Precision, &V::SetPrecision).Default(false);
  }

public:
  using TcxTextEditPropertiesValues::TcxTextEditPropertiesValues;
  void Assign(TPersistent* Source) override;
  void ResetAssigned() override;

  bool Precision() const { return FPrecision; }
  void SetPrecision(bool Value);

private:
  bool FPrecision = false;
};

class TcxCustomCalcEditProperties : public TcxCustomPopupEditProperties {
  KELM_CLASS(TcxCustomCalcEditProperties, TcxCustomPopupEditProperties)
public:
  explicit TcxCustomCalcEditProperties(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;

  TcxCalcEditPropertiesValues* AssignedValues() const {
    return static_cast<TcxCalcEditPropertiesValues*>(TcxCustomEditProperties::AssignedValues());
  }

  // ---- settings
  // The digits shown: the stored value when set, else the provider's default, else 15;
  // never more than 15.
  Byte Precision() const;
  void SetPrecision(Byte Value);
  bool PrecisionStored() const { return AssignedValues()->Precision(); }
  // Precision with 0 standing for 15, as the calculator and the display use it.
  int EffectivePrecision() const;
  bool QuickClose() const { return FQuickClose; }
  void SetQuickClose(bool Value);
  bool ScientificFormat() const { return FScientificFormat; }
  void SetScientificFormat(bool Value);
  bool UseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool Value);

  // A text as a number: thousand separators dropped unless scientific, blanks trimmed.
  bool TextToNumber(const String& Text, Extended& Number) const;

  // ---- overrides
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() override;
  TClass GetEditorClass() override;
  bool PostsAfterClose() override { return true; }
  bool ClipsPopupToScreen() override { return false; }
  bool ThousandSeparatorEnabled(bool ShowingEditValue) override;
  bool AcceptText(Variant& Value) override { return true; }
  Byte GetValueSourceKind(bool Focused) override;
  bool IsValueAcceptable(const Variant& Value, bool Focused) override;
  void PrepareDisplayValue(const Variant& Value, Variant& DisplayValue, bool Focused) override;
  void CheckDisplayValue(Variant& DisplayValue, String& ErrorText, bool& Error, TcxCustomEdit* AEdit) override;

private:
  Byte FPrecision = 15;
  bool FQuickClose = false;
  bool FScientificFormat = false;
  bool FUseThousandSeparator = false;
};

class TcxCalcEditProperties : public TcxCustomCalcEditProperties {
  KELM_CLASS(TcxCalcEditProperties, TcxCustomCalcEditProperties)
  template <class B> static void Published(B& b);

public:
  using TcxCustomCalcEditProperties::TcxCustomCalcEditProperties;
};

class TcxCustomCalcEdit : public TcxCustomPopupEdit {
  KELM_CLASS(TcxCustomCalcEdit, TcxCustomPopupEdit)
public:
  explicit TcxCustomCalcEdit(TComponent* AOwner);
  TcxCustomCalcEdit(TComponent* AOwner, bool AInPlace);
  TcxCustomCalcEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D);
  ~TcxCustomCalcEdit() override;

  TcxCustomCalcEditProperties* CalcProperties() const {
    return static_cast<TcxCustomCalcEditProperties*>(ActiveProperties());
  }
  TcxPopupCalculator* Calculator() const { return FCalculator; }

  // 0 for no value and for a value that is no number.
  Extended Value() const;
  void SetValue(Extended Value);

  // The calculator hands Tab to the editor as a key of its own.
  void PopupTabKey(Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }

  // ---- overrides
  TClass GetPropertiesClass() override;
  void InitializeEdit() override;
  void ConvertDisplayToEditValue(const Variant& DisplayValue, Variant& EditValue, bool Focused) override;
  void GetEditingValue(Variant& Value) override;
  void ClipboardPaste() override;
  void MakePopupForm() override;
  bool HasPopupContent() override;
  void PreparePopup() override;
  void ApplyPopupSettings() override;
  void HandlePopupShown(TObject* Sender) override;
  void HandlePopupClosed(TObject* Sender) override;
  void ApplyPropertiesChange(TObject* Sender) override;
  void FormatChanged() override;

protected:
  void KeyPress(Char& Key) override;
  void DoEnter() override;
  void DoExit() override;

private:
  // Whether typing may turn the text into Text: a number in range or the start of one.
  bool AcceptsTypedText(const String& Text);
  void SyncCalculator();
  TcxPopupCalculator* FCalculator = nullptr;
  // What the editor held when the popup opened, put back by a cancelled or failed calculation.
  String FTextOnOpen;
  Variant FValueOnOpen;
  bool FChangedOnOpen = false;
};

class TcxCalcEdit : public TcxCustomCalcEdit {
  KELM_CLASS(TcxCalcEdit, TcxCustomCalcEdit)
  template <class B> static void Published(B& b);

public:
  explicit TcxCalcEdit(TComponent* AOwner);
  TcxCalcEdit(TComponent* AOwner, bool AInPlace);
  TcxCalcEditProperties* Properties() const {
    return static_cast<TcxCalcEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxCalcEditProperties* Value) { TcxCustomEdit::Properties()->Assign(Value); }
  TClass GetPropertiesClass() override;
};

void RegisterCalcEditProperties();
