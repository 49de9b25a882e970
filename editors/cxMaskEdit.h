#pragma once
// The masked text editor: a text editor whose typing, deletion, paste, cut and caret moves are
// governed by an input mask. The properties hold the mask text and its kind; the editor owns
// one mode object (cxMaskEditModes.h) that implements the rules of that kind, and the
// properties format stored values through a second mode that has no editor. With an empty
// mask every override falls back to the plain text editor, which is what the drop-down and
// calculator editors built on TcxCustomMaskEdit rely on.
// Declares TcxEditMaskKind, EcxMaskEditError, TcxCustomMaskEditProperties,
// TcxMaskEditProperties, TcxCustomMaskEdit and TcxMaskEdit.
#include "editors/cxEditError.h"
#include "editors/cxTextEdit.h"

#include <memory>

KELM_ENUM(TcxEditMaskKind, emkStandard, emkRegExpr, emkRegExprEx)
KELM_EXCEPTION(EcxMaskEditError, EcxEditError);

using TcxEditMask = String;

class TcxCustomMaskEdit;
class TcxCustomMaskEditProperties;
class TcxMaskEditCustomMode;

// Creates a mode for an editor (may be nil: then the mode formats for the properties).
using TcxMaskEditModeClass = TcxMaskEditCustomMode* (*)(TcxCustomMaskEdit* AEdit,
                                                       TcxCustomMaskEditProperties* AProperties);

class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties {
  KELM_CLASS(TcxCustomMaskEditProperties, TcxCustomTextEditProperties)

public:
  explicit TcxCustomMaskEditProperties(TPersistent* AOwner);
  ~TcxCustomMaskEditProperties() override;
  void Assign(TPersistent* Source) override;

  // ---- settings
  bool AlwaysShowBlanksAndLiterals() const { return FAlwaysShowBlanksAndLiterals; }
  void SetAlwaysShowBlanksAndLiterals(bool Value);
  bool CaseInsensitive() const { return FCaseInsensitive; }
  void SetCaseInsensitive(bool Value);
  // The effective mask: a blank standard mask takes the data field's edit mask.
  TcxEditMask EditMask() const;
  void SetEditMask(const TcxEditMask& Value);
  bool EditMaskStored() const { return !FEditMask.empty(); }
  const TcxEditMask& StoredEditMask() const { return FEditMask; }
  // Replaces the stored text without compiling or signalling (the editor's kind changes).
  void StoreEditMaskQuietly(const TcxEditMask& Value) { FEditMask = Value; }
  bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }
  TcxEditMaskKind MaskKind() const { return FMaskKind; }
  void SetMaskKind(TcxEditMaskKind Value);
  bool IsMasked() const;

  // ---- new virtual operation
  virtual TcxMaskEditModeClass ModeClass(TcxEditMaskKind Kind);

  // ---- overrides
  void SignalPropertiesChanged() override;
  TClass GetEditorClass() override;
  Byte GetFormatTraits() override;
  bool IsValueAcceptable(const Variant& Value, bool Focused) override;
  bool HasLookupData() override;
  void MaxLengthChanged() override;
  void ChangeCharCase(TEditCharCase Value) override;
  void PrepareDisplayValue(const Variant& Value, Variant& DisplayValue, bool Focused) override;
  void CheckDisplayValue(Variant& DisplayValue, String& ErrorText, bool& Error, TcxCustomEdit* AEdit) override;

private:
  // The formatting mode for the current kind and mask, made when missing or out of date.
  TcxMaskEditCustomMode* TempMode();

  bool FMaxLengthGuard = false;
  bool FAlwaysShowBlanksAndLiterals = false;
  bool FCaseInsensitive = true;
  TcxEditMask FEditMask;
  bool FIgnoreMaskBlank = false;
  TcxEditMaskKind FMaskKind = emkStandard;
  std::unique_ptr<TcxMaskEditCustomMode> FTempMode;
};

class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
  KELM_CLASS(TcxMaskEditProperties, TcxCustomMaskEditProperties)
  template <class B> static void Published(B& b) {
    using P = TcxMaskEditProperties;
    b.Prop("AlwaysShowBlanksAndLiterals", &P::AlwaysShowBlanksAndLiterals, &P::SetAlwaysShowBlanksAndLiterals)
        .Default(false);
    b.Prop("CaseInsensitive", &P::CaseInsensitive, &P::SetCaseInsensitive).Default(true);
    b.Prop("IgnoreMaskBlank", &P::IgnoreMaskBlank, &P::SetIgnoreMaskBlank).Default(false);
    b.Prop("MaskKind", &P::MaskKind, &P::SetMaskKind).Default(emkStandard);
    b.Prop("EditMask", &P::EditMask, &P::SetEditMask).Type("TcxEditMask").Stored(&P::EditMaskStored);
    b.Prop("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
    b.Prop("Alignment", &P::Alignment, &P::SetAlignmentValue).Stored(&P::AlignmentStored);
    b.Prop("AssignedValues", &P::AssignedValues, &P::SetAssignedValues);
    b.Prop("AutoSelect", &P::AutoSelect, &P::SetAutoSelect).Default(true);
    b.Prop("BeepOnError", &P::BeepOnError, &P::SetBeepOnError).Default(false);
    b.Prop("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
    b.Prop("ClearKey", &P::ClearKey, &P::SetClearKey).Type("TShortCut").Default(0);
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
    b.Prop("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Stored(&P::ReadOnlyStored);
    b.Prop("UseLeftAlignmentOnEditing", &P::UseLeftAlignmentOnEditing, &P::SetUseLeftAlignmentOnEditing)
        .Stored(&P::UseLeftAlignmentOnEditingStored);
    b.Prop("OnChange", &P::OnChange, &P::SetOnChange);
    b.Prop("OnEditValueChanged", &P::OnEditValueChanged, &P::SetOnEditValueChanged);
    b.Prop("OnNewLookupDisplayText", &P::OnNewLookupDisplayText, &P::SetOnNewLookupDisplayText);
    b.Prop("OnValidate", &P::OnValidate, &P::SetOnValidate);
  }

public:
  using TcxCustomMaskEditProperties::TcxCustomMaskEditProperties;
};

class TcxCustomMaskEdit : public TcxCustomTextEdit {
  KELM_CLASS(TcxCustomMaskEdit, TcxCustomTextEdit)

public:
  explicit TcxCustomMaskEdit(TComponent* AOwner);
  TcxCustomMaskEdit(TComponent* AOwner, bool AInPlace);
  TcxCustomMaskEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D);
  ~TcxCustomMaskEdit() override;

  TcxCustomMaskEditProperties* MaskProperties() const {
    return static_cast<TcxCustomMaskEditProperties*>(ActiveProperties());
  }
  TcxMaskEditCustomMode* Mode() const { return FMode.get(); }
  bool IsMasked() const { return MaskProperties()->IsMasked(); }

  // ---- state the modes read and write
  bool OwnMessage = false;
  bool ShiftOn = false;
  bool InternalSelection = false;
  String DisplayTextCache;

  // ---- new virtual operations, in their order
  virtual bool AcceptsCharAt(Char Ch, int Position) { return true; }
  virtual void ReformatText();

  // Plain key actions of the inner edit, without mask processing or the user's key events.
  void SendKey(Word Key);
  void SendChar(Char Ch);
  // Caret and selection placed without the selection-change handling.
  void SetSelStartInternal(int Value);
  void SetSelLengthInternal(int Value);
  String CurrentText();

  // ---- overrides
  TClass GetPropertiesClass() override;
  void InitializeEdit() override;
  void Loaded() override;
  void SelectionChanged(TObject* Sender) override;
  void ApplyDisplayValue(const Variant& DisplayValue) override;
  void ConvertDisplayToEditValue(const Variant& DisplayValue, Variant& EditValue, bool Focused) override;
  void ReadDisplayText(String& Text) override;
  void InnerEditChanged(TObject* Sender) override;
  bool TrySetDisplayText(const String& Text) override;
  void ShowEditValue() override;
  void ProcessKeyDown(Word& Key, TShiftState Shift) override;
  void ProcessKeyPress(Char& Key) override;
  void ClipboardPaste() override;
  void ClipboardCut() override;
  void ReplaceSelection(const String& Text) override;
  void ApplyPropertiesChange(TObject* Sender) override;
  void DblClick() override;

protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void DoEnter() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

private:
  void ReplaceMode(TcxEditMaskKind Kind);
  std::unique_ptr<TcxMaskEditCustomMode> FMode;
};

class TcxMaskEdit : public TcxCustomMaskEdit {
  KELM_CLASS(TcxMaskEdit, TcxCustomMaskEdit)
  template <class B> static void Published(B& b) {
    using E = TcxMaskEdit;
    PublishedEditing(b);
    b.Prop("BeepOnEnter", &E::BeepOnEnterValue, &E::SetBeepOnEnter).Default(true);
    b.Prop("Properties", &E::Properties, &E::SetProperties);
    b.Prop("Text", &TControl::Text, &TControl::SetText);
  }

public:
  // Made in two steps so that the properties are of this class: made by the base, they would be
  // the base's (a constructor calls no override of a class not made yet).
  explicit TcxMaskEdit(TComponent* AOwner) : TcxMaskEdit(AOwner, false) {}
  TcxMaskEdit(TComponent* AOwner, bool AInPlace) : TcxCustomMaskEdit(AOwner, AInPlace, TDeferInitialize{}) { InitializeEdit(); }
  TcxMaskEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D) : TcxCustomMaskEdit(AOwner, AInPlace, D) {}
  TcxMaskEditProperties* Properties() const {
    return static_cast<TcxMaskEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxMaskEditProperties* Value) { TcxCustomEdit::Properties()->Assign(Value); }
  TClass GetPropertiesClass() override;
};

// Registers the masked editor's properties with the editor registry (once however often).
void RegisterMaskEditProperties();
