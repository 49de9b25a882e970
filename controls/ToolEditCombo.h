#pragma once
// The combo edit: a masked single-line edit with a button at its right end that opens a
// drop-down window (TPopupWindow) below the edit and takes a value back from it. Descendants
// supply the drop-down, the default glyph and the value conversions (the date edit).
//
// The drop-down is placed in the work area of the edit's own monitor: below the edit, above
// it when it does not fit below, moved left to stay inside the right edge and never past the
// left one. While it is open the edit's changes fire no OnChange; a pick, Enter or a second
// press on the button closes it accepting, Escape, a click in the edit, the loss of focus or
// cancel mode close it without.
#include "controls/RXCtrls.h"
#include "controls/ToolEditPopup.h"
#include "gui/MaskEdit.h"

KELM_ENUM(TPopupAlign, epaRight, epaLeft)
KELM_ENUM(TGlyphKind, gkCustom, gkDefault, gkDropDown, gkEllipsis)

class TCustomComboEdit;

// The edit's button: a speed button with a separator line at its left edge.
class TEditButton : public TRxSpeedButton {
  KELM_CLASS(TEditButton, TRxSpeedButton)
public:
  explicit TEditButton(TComponent* AOwner);
  void Click() override;
  bool SkipNextClick() const { return FSkipNextClick; }

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  TCustomComboEdit* Edit() const;
  bool FSkipNextClick = false;
};

class TCustomComboEdit : public TCustomMaskEdit {
  KELM_CLASS(TCustomComboEdit, TCustomMaskEdit)
public:
  explicit TCustomComboEdit(TComponent* AOwner);
  ~TCustomComboEdit() override;
  void Dispatch(TMessage& Message) override;

  // ---- properties (published by the descendants)
  // A shortcut (TShortCut: key with Shift 0x2000, Ctrl 0x4000, Alt 0x8000).
  Word ClickKey() const { return FClickKey; }
  void SetClickKey(Word Value) { FClickKey = Value; }
  bool DirectInput() const { return FDirectInput; }
  void SetDirectInput(bool Value);
  TPopupAlign PopupAlign() const { return FPopupAlign; }
  void SetPopupAlign(TPopupAlign Value) { FPopupAlign = Value; }
  TGlyphKind GlyphKind() const { return FGlyphKind; }
  void SetGlyphKind(TGlyphKind Value);
  TBitmap* Glyph() const { return FButton->Glyph(); }
  void SetGlyph(TBitmap* Value);
  int ButtonWidth() const { return FButton->Width(); }
  void SetButtonWidth(int Value);
  TRxNumGlyphs NumGlyphs() const { return FButton->NumGlyphs(); }
  void SetNumGlyphs(TRxNumGlyphs Value);
  String ButtonHint() const { return FButton->Hint(); }
  void SetButtonHint(const String& Value) { FButton->SetHint(Value); }
  // The edit's own read-only flag; the platform edit is read-only also without DirectInput.
  virtual bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);

  TEditButton* Button() const { return FButton; }
  TWinControl* ButtonHost() const { return FBtnControl; }
  TPopupWindow* Popup() const { return FPopup; }
  bool PopupVisible() const { return FPopupVisible; }
  // The smallest height the edit keeps.
  int MinEditHeight() const;
  int EditTextHeight() const;
  // The width the glyph kind gives the button: what a layout need not store.
  int DefaultButtonWidth() const;
  bool StoreButtonWidth() const { return ButtonWidth() != DefaultButtonWidth(); }
  bool StoreGlyph() const { return FGlyphKind == gkCustom; }

  // The drop-down's closing: a descendant installs it as OnPopupClose.
  void HandlePopupClose(TObject* Sender, bool Accept);
  // The button's action (the button's click, or ClickKey): only when not read-only.
  void EditButtonPressed(TObject* Sender);

  TNotifyEvent OnButtonClick;

protected:
  friend class TEditButton;
  // ---- for descendants
  virtual TBitmap* GetDefaultGlyph(bool& MustFree) { MustFree = false; return nullptr; }
  virtual void ShowDropDown(bool DisableEdit);
  virtual void ShowPopup(TPoint Origin);
  virtual void HidePopup();
  virtual bool ApprovePopupValue(Variant& Value) { (void)Value; return true; }
  virtual void TakePopupValue(const Variant& Value);
  virtual void LoadPopupValue(const Variant& Value);
  virtual Variant ReadPopupValue();
  virtual void PopupValueChanged() {}
  virtual void RunButtonAction();
  void Change() override;
  void SelectAllIfDirect();
  void SyncPopupVisible();
  void EmitChange() { TCustomMaskEdit::Change(); }
  void SetPopup(TPopupWindow* Value) { FPopup = Value; }
  void RebuildGlyph();
  void SetDefaultNumGlyphs(int Value) { FDefaultNumGlyphs = Value; }

  void CreateWnd() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void ApplyEditRect();
  void LayOutButton();
  void MakeEditCaret();
  void ClosePopup(bool Accept) { HandlePopupClose(FPopup, Accept); }
  bool InsideDropDown(TControl* Control) const;

  TEditButton* FButton = nullptr;
  TWinControl* FBtnControl = nullptr;
  Word FClickKey = 32808;  // Alt+Down
  bool FReadOnly = false;
  bool FDirectInput = true;
  bool FPopupVisible = false;
  bool FFocused = false;
  bool FEditDisabled = false;  // the platform edit is read-only while the drop-down is open
  TPopupAlign FPopupAlign = epaRight;
  TGlyphKind FGlyphKind = gkCustom;
  TPopupWindow* FPopup = nullptr;
  int FDefaultNumGlyphs = 1;
  bool FCreating = true;
};
