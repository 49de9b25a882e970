#pragma once
// The masked edit: an edit whose text follows an edit mask (platform/core/Mask.h), such as
// "!99/99/9999;1; " for a date. The window holds the edit text (literals and blanks shown);
// Text is the value the mask keeps. Typing overwrites the position at the caret, which moves
// over the literals; the cursor shows as a one-character selection; leaving a modified edit
// whose text does not satisfy the mask raises EDBEditError and keeps the focus there.
// Declares TCustomMaskEdit and TMaskEdit.
#include "core/Mask.h"
#include "gui/Edit.h"

KELM_EXCEPTION(EDBEditError, Exception);

// "Invalid input value.  Use escape key to abandon changes"
extern const char* const SMaskEditErr;

class TCustomMaskEdit : public TCustomEdit {
  KELM_CLASS(TCustomMaskEdit, TCustomEdit)
public:
  explicit TCustomMaskEdit(TComponent* AOwner);

  String EditMask() const { return FEditMask; }
  void SetEditMask(const String& v);
  bool IsMasked() const { return !FMask.Empty(); }
  // The text as shown, with literals and blanks.
  String EditText() const;
  void SetEditText(const String& v);
  // The first position whose character the mask refuses, -1 when the text is valid.
  bool Validate(const String& Value, int& Pos) const;
  // Raises EDBEditError (and puts the cursor on the bad position) when the text is modified
  // and invalid.
  virtual void ValidateEdit();
  // Reports text the mask refuses: beeps and raises EDBEditError. Descendants may report
  // it their own way.
  virtual void ValidateError();
  // Restores the text the edit had when it was entered (Escape).
  void Reset();

  void Dispatch(TMessage& Message) override;

protected:
  String GetText() const override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void DoEnter() override;
  void Loaded() override;
  // Puts the cursor at a position: a one-character selection (EM_SETSEL) in a masked edit.
  void SetCursor(int Pos);
  void CheckCursor();
  bool EditCanModify() const { return !ReadOnly(); }

private:
  void ReformatText(const String& NewMask);
  bool InputChar(char32_t Ch, int Pos);
  void DeleteKeys(Word Key);
  void ArrowKeys(Word Key, TShiftState Shift);
  void HomeEndKeys(Word Key, TShiftState Shift);
  void BlankRange(int From, int To);
  void PasteMasked();
  int SelStartNow() const;
  int SelStopNow() const;

  String FEditMask;
  TEditMask FMask;
  String FOldValue;
  bool FSettingEditText = false;
  bool FReEnter = false;
};

class TMaskEdit : public TCustomMaskEdit {
  KELM_CLASS(TMaskEdit, TCustomMaskEdit)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishParentColor(b).Default(false);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishTabStop(b).Default(true);
    b.Prop("AutoSelect", &TMaskEdit::AutoSelect, &TMaskEdit::SetAutoSelect).Default(true);
    b.Prop("AutoSize", &TMaskEdit::AutoSize, &TMaskEdit::SetAutoSize).Default(true);
    b.Prop("BorderStyle", &TMaskEdit::BorderStyle, &TMaskEdit::SetBorderStyle).Default(bsSingle);
    b.Prop("CharCase", &TMaskEdit::CharCase, &TMaskEdit::SetCharCase).Default(ecNormal);
    b.Prop("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask);
    b.Prop("MaxLength", &TMaskEdit::MaxLength, &TMaskEdit::SetMaxLength).Default(0);
    b.Prop(
         "PasswordChar", [](const TMaskEdit* e) { return static_cast<char16_t>(e->PasswordChar()); },
         [](TMaskEdit* e, char16_t c) { e->SetPasswordChar(c); })
        .Default(0);
    b.Prop("ReadOnly", &TMaskEdit::ReadOnly, &TMaskEdit::SetReadOnly).Default(false);
    b.Prop("Text", &TControl::Text, &TControl::SetText);
    b.Prop("OnChange", &TMaskEdit::OnChange, &TMaskEdit::OnChange);
  }
public:
  explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};
