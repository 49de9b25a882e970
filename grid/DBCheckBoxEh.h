#pragma once
// The library's data-aware check box (TCustomDBCheckBoxEh, TDBCheckBoxEh): a field's value
// shown as checked, unchecked or grayed through two lists of texts, written back in the
// field's own terms; unbound it keeps a Boolean of its own. It paints itself with the edit
// buttons' check-box face.
#include "grid/DBEditEh.h"

class TCustomDBCheckBoxEh : public TButtonControl {
  KELM_CLASS(TCustomDBCheckBoxEh, TButtonControl)
public:
  explicit TCustomDBCheckBoxEh(TComponent* AOwner);
  ~TCustomDBCheckBoxEh() override;

  // ---- properties
  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  bool AlwaysShowBorder() const { return FAlwaysShowBorder; }
  void SetAlwaysShowBorder(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TCheckBoxState State() const { return FState; }
  // Sets and posts the state (a failure shows the field's state again and propagates).
  void SetState(TCheckBoxState Value);
  bool StateStored() const { return IsUnbound() && FState != cbUnchecked; }
  bool Checked() const { return FState == cbChecked; }
  void SetCheckedEh(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  // Lists of texts separated by ";".
  const String& ValueChecked() const { return FValueChecked; }
  void SetValueChecked(const String& Value);
  const String& ValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const String& Value);
  String DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const String& Value) { FDataLink->SetFieldName(Value); }
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
  TFieldDataLinkEh* DataLink() const { return FDataLink.get(); }
  TField* Field() const { return FDataLink->Field(); }
  bool Modified() const { return FModified; }
  TUpdateDataEventEh OnUpdateData;

  // ---- operations
  virtual bool IsUnbound() const { return FDataLink->Unbound(); }
  // The state the data implies.
  TCheckBoxState FieldState() const;
  virtual void PutState(TCheckBoxState S);
  virtual void ToggleState();
  virtual void PostToLink();
  virtual void WriteToLink();
  void Click() override;

  bool GetChecked() const override { return Checked(); }
  void SetChecked(bool v) override { SetCheckedEh(v); }
  void Dispatch(TMessage& Message) override;

protected:
  void PaintButton(HDC DC) override;
  virtual void PaintState(HDC DC, TCheckBoxState S, bool AFocused, bool Pressed, bool Hot);
  virtual void PaintCaption(HDC DC, const TRect& Area, bool AFocused);
  virtual void PaintCheckGlyph(HDC DC, const TRect& Box, TCheckBoxState S, bool Pressed, bool Hot, bool AFocused);
  void KeyPress(Char& Key) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ShowState(TObject* = nullptr);
  void UpdateDataHook(TObject*);
  static bool TextInList(const String& Text, const String& List);
  std::unique_ptr<TFieldDataLinkEh> FDataLink;
  TLeftRight FAlignment = taRightJustify;
  bool FAllowGrayed = false;
  bool FAlwaysShowBorder = false;
  bool FFlat = false;
  TCheckBoxState FState = cbUnchecked;
  String FValueChecked = "True";
  String FValueUnchecked = "False";
  bool FModified = false;
  bool FPostingToField = false;
  bool FClickEventsSuppressed = false;
  bool FMouseAbove = false;
  bool FLeftDown = false;
};

class TDBCheckBoxEh : public TCustomDBCheckBoxEh {
  KELM_CLASS(TDBCheckBoxEh, TCustomDBCheckBoxEh)
  template <class B> static void Published(B& b);
public:
  explicit TDBCheckBoxEh(TComponent* AOwner) : TCustomDBCheckBoxEh(AOwner) {}
};
