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
  template <class B> static void Published(B& b) {
    using C = TRzButtonPair;
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").Default(clBtnFace);
    b.Prop("Enabled", &TControl::Enabled, &C::SetEnabled).Default(true);
    b.Prop("Flat", &C::Flat, &C::SetFlat).Default(false);
    b.Prop("FocusControl", &C::FocusControl, &C::SetFocusControl);
    PublishAlign(b);
    PublishAnchors(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishParentColor(b).Default(true);
    PublishParentCtl3D(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishTabStop(b);
    PublishVisible(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnStartDrag(b);
    b.Prop("OnAltBtnClick", &C::OnAltBtnClick, &C::OnAltBtnClick);
    b.Prop("OnButtonClick", &C::OnButtonClick, &C::OnButtonClick);
  }
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
  template <class B> static void Published(B& b) {
    using C = TRzButtonEdit;
    b.Prop("AllowKeyEdit", &C::AllowKeyEdit, &C::SetAllowKeyEdit).Default(true);
    PublishButtonProps<C::AltIndex>(b, "AltBtn");
    PublishButtonProps<C::MainIndex>(b, "Button");
    b.Prop("FlatButtons", &C::FlatButtons, &C::SetFlatButtons).Default(false);
    b.Prop("FlatButtonColor", &C::FlatButtonColor, &C::SetFlatButtonColor).Type("TColor").Default(clBtnFace);
    b.Prop("OnAltBtnClick", &C::OnAltBtnClick, &C::OnAltBtnClick);
    b.Prop("OnButtonClick", &C::OnButtonClick, &C::OnButtonClick);
  }
  // The properties of one of the two buttons, named with its prefix.
  template <int Index, class B> static void PublishButtonProps(B& b, const char* Prefix) {
    using C = TRzButtonEdit;
    // The class information copies the names.
    auto name = [Prefix](const char* n) { return String(Prefix) + n; };
    const bool main = Index == C::MainIndex;
    auto glyph = b.Prop(name("Glyph").c_str(), [](const C* e) { return e->GetGlyph(Index); },
                        [](C* e, TBitmap* v) { e->SetGlyph(Index, v); });
    glyph.Info()->StoredFn = [](const TObject* o) {
      return static_cast<const C*>(o)->GetKind(Index) == TButtonKind::bkCustom;
    };
    b.Prop(name("Hint").c_str(), [](const C* e) { return e->GetHint(Index); }, [](C* e, const String& v) { e->SetHint(Index, v); });
    b.Prop(name("Kind").c_str(), [](const C* e) { return e->GetKind(Index); }, [](C* e, TButtonKind v) { e->SetKind(Index, v); })
        .Default(TButtonKind::bkLookup);
    b.Prop(name("NumGlyphs").c_str(), [](const C* e) { return e->GetNumGlyphs(Index); },
           [](C* e, TNumGlyphs v) { e->SetNumGlyphs(Index, v); })
        .Type("TNumGlyphs").Default(2);
    b.Prop(name("ShortCut").c_str(), [](const C* e) { return e->GetShortCut(Index); },
           [](C* e, TShortCut v) { e->SetShortCut(Index, v); })
        .Type("TShortCut").Default(main ? 115 : 0);
    b.Prop(name("Visible").c_str(), [](const C* e) { return e->GetVisible(Index); }, [](C* e, bool v) { e->SetVisible(Index, v); })
        .Default(main);
    b.Prop(name("Width").c_str(), [](const C* e) { return e->GetWidth(Index); }, [](C* e, int v) { e->SetWidth(Index, v); })
        .Default(17);
  }
public:
  explicit TRzButtonEdit(TComponent* AOwner) : TRzCustomButtonEdit(AOwner) {}
};

// Registers the auxiliary edit controls with the layout reader.
void RegisterAuxEditControls();
