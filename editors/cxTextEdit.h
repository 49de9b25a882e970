#pragma once
// TcxCustomTextEdit: the single-line text editor and the base of every text-based editor
// (masked, drop-down, combo, popup and calculator editors). Its inner control is a platform
// edit (TcxCustomInnerTextEdit); its value is the text unless a descendant converts it. It
// answers the platform text messages through which windows read and write Text, completes
// typed text from lookup items, browses them by keys and wheel where a descendant allows,
// keeps paste, cut and clear within the maximum length and the list rules, places the inner
// edit, and either shows the live inner edit or lets its view info paint the text.
// TcxTextEdit publishes it with TcxTextEditProperties.
// Declares TcxCustomTextEdit and TcxTextEdit.
#include "editors/cxCustomEdit.h"
#include "editors/cxFormats.h"
#include "editors/cxTextEditLookupData.h"
#include "editors/cxTextEditProperties.h"

#include <memory>

class IcxInnerTextEdit;
class IcxTextEditLookupData;
class TcxCustomTextEditLookupData;
class TcxCustomInnerTextEdit;

class TcxCustomTextEdit : public TcxCustomEdit, public IcxFormatChangeListener {
  KELM_CLASS(TcxCustomTextEdit, TcxCustomEdit)

public:
  explicit TcxCustomTextEdit(TComponent* AOwner);
  TcxCustomTextEdit(TComponent* AOwner, bool AInPlace);
  // For descendants that finish their own construction first and then call InitializeEdit.
  TcxCustomTextEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D);
  ~TcxCustomTextEdit() override;

  // ---- state
  bool BeepOnEnter = true;
  bool HandlingSetText = false;
  bool ShowingEditValue = false;
  bool BrowsingLookup = false;
  String SavedText;
  bool PlacingInnerEdit = false;
  bool PopupClosedByKey = false;
  bool LookupRematchLocked = false;
  bool BeepOnEnterValue() const { return BeepOnEnter; }
  void SetBeepOnEnter(bool Value) { BeepOnEnter = Value; }

  TcxCustomTextEditProperties* TextProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(ActiveProperties());
  }
  TcxCustomTextEditLookupData* LookupDataObject() const { return FLookupData.get(); }
  IcxTextEditLookupData* LookupData() const;
  IcxInnerTextEdit* InnerTextEdit() const { return InnerEdit() ? FInnerTextEdit : nullptr; }
  TcxCustomInnerTextEdit* InnerTextEditControl() const { return InnerEdit() ? FInnerControl : nullptr; }

  // ---- selection
  int SelStart();
  void SetSelStart(int Value);
  int SelLength();
  void SetSelLength(int Value);
  String SelText();
  void SetSelText(const String& Value) { ReplaceSelection(Value); }
  int CaretCharIndex();
  bool CompletionShown() const { return FCompletionShown; }
  void SetCompletionShown(bool Value);
  int ItemIndex() { return GetItemIndex(); }

  // ---- new virtual operations, in their order
  void FormatChanged() override;
  virtual void UpdateInnerEditAppearance();
  virtual bool PrepareTextInsertion(const String& Text, String& NewText, int& NewCursor);
  virtual void CheckValueRangeAfterChange();
  virtual void RecheckValueRange() {}
  virtual void AnnounceNewLookupText(const String& Text);
  virtual int InnerEditLineHeight();
  virtual int GetItemIndex();
  virtual bool CanBrowseLookupItems(bool Wheel) { return false; }
  virtual void LookupItemChosen(TObject* Sender);
  virtual void GetCurrentText(String& Text) { ReadDisplayText(Text); }
  virtual bool SetCurrentText(const String& Text) { return TrySetDisplayText(Text); }
  virtual void KeyFromItemIndex(int Index, Variant& Key) { Key = Index; }
  virtual void EditValueFromKey(const Variant& Key, Variant& Value);
  virtual int ItemIndexFromKey(const Variant& Key);
  virtual bool IsValueCheckNeeded();
  virtual void ResetCompletion();
  virtual void SelectionChanged(TObject* Sender) {}
  virtual bool SetTextAsUser(const String& Text);
  virtual void SetItemIndex(int Index);
  virtual void ReplaceSelection(const String& Text);
  virtual void RevalidateDisplayValue();
  virtual void DeleteSelection();
  virtual void Undo() { RevertEditValue(); }

  // ---- overrides of the editor base
  TClass GetPropertiesClass() override;
  TcxCustomInnerEditClass InnerEditClass() override;
  void InitializeEdit() override;
  void ReadDisplayText(String& Text) override;
  void GetEditingValue(Variant& Value) override { Value = Text(); }
  void ConvertDisplayToEditValue(const Variant& DisplayValue, Variant& EditValue, bool Focused) override {
    EditValue = DisplayValue;
  }
  bool EditingAllowed() override;
  bool HandlesNavigationKeys() override { return true; }
  void ApplyDisplayValue(const Variant& DisplayValue) override;
  void ApplyDisplayValueKeepingFlags(const Variant& DisplayValue) override;
  bool TrySetDisplayText(const String& Text) override;
  void PutDisplayValue(const Variant& DisplayValue) override;
  void ShowEditValue() override;
  void AdoptDisplayText() override;
  void DisplayUpdated() override;
  void ProcessKeyDown(Word& Key, TShiftState Shift) override;
  void ProcessKeyPress(Char& Key) override;
  void InnerEditChanged(TObject* Sender) override;
  bool AcceptsCharacter(Char C) override;
  bool IsValueChangingKey(Word Key, TShiftState Shift) override;
  bool IsValueChangingChar(Char C) override;
  TcxEditSizeParameters GetAutoSizeParameters() override { return {-1, 1, -1}; }
  void InnerEditWindowProc(TMessage& Message) override;
  void UnhookInnerEditWindowProc() override;
  void StartInPlaceEditing(TcxCustomEditData*& AEditData) override;
  void ClipboardCopy() override;
  void ClipboardCut() override;
  void ClipboardPaste() override;
  void SelectWholeText() override;
  bool IsInnerEditShown() override;
  void PlaceInnerEdit() override;
  void ApplyPropertiesChange(TObject* Sender) override;
  void CalculateHostedClip(const TRect& R, TControl* AControl, TcxHostedControlClip& Clip) override;
  bool UpdateAppearanceAt(TPoint P, TcxMouseButtonCode Button, TShiftState Shift, bool Recalculate) override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

  // The text of completion: S completes from the lookup items into the inner edit.
  bool Complete(String& T);

protected:
  void DoExit() override;
  void KeyPress(Char& Key) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
  void ReformatThousandSeparators();
  void SetCompletionHighlight();
  void BrowseLookup(TcxLookupDirection Direction);
  void TextMessage(TMessage& M);

  bool FCompletionShown = false;
  std::unique_ptr<TcxCustomTextEditLookupData> FLookupData;
  bool FRegistered = false;
  IcxInnerTextEdit* FInnerTextEdit = nullptr;
  TcxCustomInnerTextEdit* FInnerControl = nullptr;
};

class TcxTextEdit : public TcxCustomTextEdit {
  KELM_CLASS(TcxTextEdit, TcxCustomTextEdit)
  template <class B> static void Published(B& b) {
    using E = TcxTextEdit;
    PublishedEditing(b);
    b.Prop("BeepOnEnter", &E::BeepOnEnterValue, &E::SetBeepOnEnter).Default(true);
    b.Prop("Properties", &E::Properties, &E::SetProperties);
    b.Prop("Text", &TControl::Text, &TControl::SetText);
  }

public:
  // Made in two steps so that the properties are of this class: made by the base, they would be
  // the base's (a constructor calls no override of a class not made yet).
  explicit TcxTextEdit(TComponent* AOwner) : TcxTextEdit(AOwner, false) {}
  TcxTextEdit(TComponent* AOwner, bool AInPlace) : TcxCustomTextEdit(AOwner, AInPlace, TDeferInitialize{}) { InitializeEdit(); }
  TcxTextEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D) : TcxCustomTextEdit(AOwner, AInPlace, D) {}
  TcxTextEditProperties* Properties() const {
    return static_cast<TcxTextEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxTextEditProperties* Value) { TcxCustomEdit::Properties()->Assign(Value); }
  TClass GetPropertiesClass() override;
};
