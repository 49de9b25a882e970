#pragma once
// The button edit: a framed edit with a pair of control buttons at its right end, a main
// button (shown) and an alternate one (hidden). Each shows the glyph of a button kind or a
// glyph of its own, fires its event when clicked or when its shortcut key is pressed, and the
// edit can refuse typed input while the buttons still work.
#include "controls/RzButton.h"
#include "controls/RzEdit.h"
#include "gui/Menus.h"

// The kinds live in a namespace of their own: the platform's bitmap buttons have a kind
// named bkCustom too. Write TButtonKind::bkFind; layouts name them as usual ("bkFind").
namespace rz_button_kinds {
KELM_ENUM(TButtonKind, bkCustom, bkLookup, bkDropDown, bkCalendar, bkAccept, bkReject, bkFolder, bkFind, bkSearch)
}
using rz_button_kinds::TButtonKind;

// The glyph bitmap of a kind (two 10 x 10 images: normal, disabled), loaded on first use and
// shared by every button edit; nullptr for bkCustom.
TBitmap* ButtonKindGlyph(TButtonKind Kind);

class TRzButtonPair : public TWinControl {
  KELM_CLASS(TRzButtonPair, TWinControl)
public:
  explicit TRzButtonPair(TComponent* AOwner);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(TMessage& Message) override;

  TRzControlButton* Button() const { return FButton; }
  TRzControlButton* AltBtn() const { return FAltBtn; }
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value) { AssignReference(this, FFocusControl, Value); }
  bool Flat() const { return FFlat; }
  virtual void SetFlat(bool Value);
  TColor Color() const { return TControl::Color(); }
  virtual void SetColor(TColor Value);
  void SetEnabled(bool Value) override;
  virtual void LayoutButtons();

  TNotifyEvent OnAltBtnClick;
  TNotifyEvent OnButtonClick;

protected:
  virtual TRzControlButton* CreateButton();
  virtual void ButtonClicked(TObject* Sender);
  // Takes the focus to the focus control before a button shows itself pressed; when the
  // focus does not go there, the press ends silently and no click follows.
  virtual void ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DoAltBtnClick() { OnAltBtnClick(this); }
  virtual void DoButtonClick() { OnButtonClick(this); }
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TRzControlButton* FAltBtn = nullptr;
  TRzControlButton* FButton = nullptr;
  TWinControl* FFocusControl = nullptr;
  bool FFlat = false;
};

class TRzCustomButtonEdit : public TRzEdit {
  KELM_CLASS(TRzCustomButtonEdit, TRzEdit)
public:
  // Index of the indexed accessors.
  static constexpr int AltIndex = 1, MainIndex = 2;

  explicit TRzCustomButtonEdit(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;
  void DefineProperties(TFiler* Filer) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {}

  TRzButtonPair* Buttons() const { return FButtons; }
  TRzControlButton* ButtonOf(int Index) const;
  bool AllowKeyEdit() const { return FAllowKeyEdit; }
  void SetAllowKeyEdit(bool Value) { FAllowKeyEdit = Value; }
  // The colour of flat buttons while the edit is hot.
  TColor FlatButtonColor() const { return FFlatBtnColor; }
  void SetFlatButtonColor(TColor Value) { FFlatBtnColor = Value; }
  void SetFlatButtons(bool Value) override;
  void SetFrameStyle(TFrameStyle Value) override;
  void SetFrameVisible(bool Value) override;
  void SetAlignment(TLeftRight Value) override;

  // ---- indexed by AltIndex / MainIndex
  TBitmap* GetGlyph(int Index) const { return ButtonOf(Index)->Glyph(); }
  void SetGlyph(int Index, TBitmap* Value);
  TNumGlyphs GetNumGlyphs(int Index) const { return ButtonOf(Index)->NumGlyphs(); }
  void SetNumGlyphs(int Index, TNumGlyphs Value) { ButtonOf(Index)->SetNumGlyphs(Value); }
  String GetHint(int Index) const { return ButtonOf(Index)->Hint(); }
  void SetHint(int Index, const String& Value) { ButtonOf(Index)->SetHint(Value); }
  TButtonKind GetKind(int Index) const { return Index == AltIndex ? FAltBtnKind : FButtonKind; }
  void SetKind(int Index, TButtonKind Value);
  TShortCut GetShortCut(int Index) const { return Index == AltIndex ? FAltBtnShortCut : FButtonShortCut; }
  void SetShortCut(int Index, TShortCut Value) { (Index == AltIndex ? FAltBtnShortCut : FButtonShortCut) = Value; }
  bool GetVisible(int Index) const { return ButtonOf(Index)->Visible(); }
  void SetVisible(int Index, bool Value);
  int GetWidth(int Index) const { return ButtonOf(Index)->Width(); }
  void SetWidth(int Index, int Value);

  TNotifyEvent OnAltBtnClick;
  TNotifyEvent OnButtonClick;

protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void UpdateFrame(bool IsMouse, bool Value) override;
  void EditAreaRect(TRect& Rect) const override;
  virtual void LayoutButtonPair();
  virtual void UpdateMargins();
  virtual void AltBtnClick(TObject* Sender) { DoAltBtnClick(); }
  virtual void ButtonClick(TObject* Sender) { DoButtonClick(); }
  virtual void DoAltBtnClick() { OnAltBtnClick(this); }
  virtual void DoButtonClick() { OnButtonClick(this); }

private:
  void AssignKindGlyph(int Index);
  bool KeyEditAllowed() const { return FAllowKeyEdit && !ReadOnly(); }

  bool FKeyHandled = false;
  bool FAllowKeyEdit = true;
  TRzButtonPair* FButtons = nullptr;
  TColor FFlatBtnColor = clBtnFace;
  TButtonKind FAltBtnKind = TButtonKind::bkLookup;
  TButtonKind FButtonKind = TButtonKind::bkLookup;
  TShortCut FAltBtnShortCut = 0;
  TShortCut FButtonShortCut = 115;
};

class TRzButtonEdit : public TRzCustomButtonEdit {
  KELM_CLASS(TRzButtonEdit, TRzCustomButtonEdit)
public:
  explicit TRzButtonEdit(TComponent* AOwner) : TRzCustomButtonEdit(AOwner) {}
};

// Registers the auxiliary edit controls with the layout reader.
void RegisterAuxEditControls();
