#pragma once
// Edit buttons: the button descriptions an edit carries (TEditButtonEh, TVisibleEditButtonEh
// in TEditButtonsEh) and the button control placed inside the edit (TEditButtonControlEh,
// TSpeedButtonEh), with the styles and events they share.
#include "gui/Buttons.h"
#include "gui/Calendar.h"
#include "gui/ComCtrls.h"
#include "core/Component.h"
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "data/DB.h"
#include "gui/Graphics.h"
#include "gui/ImgList.h"
#include "gui/ListCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/Timers.h"
#include "core/Variant.h"

class TEditButtonControlEh;

// ================================================================ enumerations and events

KELM_ENUM(TEditButtonStyleEh, ebsDropDownEh, ebsEllipsisEh, ebsGlyphEh, ebsUpDownEh, ebsPlusEh, ebsMinusEh)
// What the face painter draws.
KELM_ENUM(TButtonFaceStyle, bfsDropDown, bfsEllipsis, bfsUpDown, bfsCheckBox, bfsPlus, bfsMinus)
// Where a drop-down is aligned with its owner.
KELM_ENUM(TDropDownAlign, daLeft, daRight, daCenter)

KELM_EVENT(TButtonClickEventEh, void(TObject* Sender, bool& Handled));
KELM_EVENT(TButtonDownEventEh, void(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled));
// A text that matches no item of a list is being posted; RecheckInList asks to look again.
KELM_EVENT(TNotInListEventEh, void(TObject* Sender, const String& NewText, bool& RecheckInList));

// The face of a button style; false for ebsGlyphEh, which draws its glyph bitmap instead.
bool EditButtonFaceStyle(TEditButtonStyleEh Style, TButtonFaceStyle& FaceStyle);

// ================================================================ edit-button descriptions

// One button of an edit, as a program or a layout sets it up.
class TEditButtonEh : public TCollectionItem {
  KELM_CLASS(TEditButtonEh, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("DropdownMenu", &TEditButtonEh::DropdownMenu, &TEditButtonEh::SetDropdownMenu);
    b.Prop("Glyph", &TEditButtonEh::Glyph, &TEditButtonEh::SetGlyph);
    b.Prop("Hint", &TEditButtonEh::Hint, &TEditButtonEh::SetHint);
    b.Prop("NumGlyphs", &TEditButtonEh::NumGlyphs, &TEditButtonEh::SetNumGlyphs).Default(1);
    b.Prop("ShortCut", &TEditButtonEh::ShortCut, &TEditButtonEh::SetShortCut).Type("TShortCut").Default(0);
    b.Prop("Style", &TEditButtonEh::Style, &TEditButtonEh::SetStyle).Default(ebsDropDownEh);
    b.Prop("Visible", &TEditButtonEh::Visible, &TEditButtonEh::SetVisible).Default(false);
    b.Prop("Width", &TEditButtonEh::Width, &TEditButtonEh::SetWidth).Default(0);
    b.Prop("OnClick", &TEditButtonEh::OnClick, &TEditButtonEh::OnClick);
    b.Prop("OnDown", &TEditButtonEh::OnDown, &TEditButtonEh::OnDown);
  }
public:
  // A stand-alone button: the main button of EditControl.
  explicit TEditButtonEh(TWinControl* EditControl) : TEditButtonEh(EditControl, false, 0) {}
  // A button of an EditButtons collection.
  explicit TEditButtonEh(TCollection* Collection) : TEditButtonEh(Collection, false, 0) {}
  ~TEditButtonEh() override;
  void Assign(TPersistent* Source) override;

  // ---- published
  // The menu shown under the pressed button.
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value) { FDropdownMenu = Value; }
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);  // kept within 1..4
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  TEditButtonStyleEh Style() const { return FStyle; }
  void SetStyle(TEditButtonStyleEh Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const { return FWidth; }  // 0: the edit's default width
  void SetWidth(int Value);
  TButtonClickEventEh OnClick;
  TButtonDownEventEh OnDown;

  // ---- owner's view
  TWinControl* EditControl() const { return FEditControl; }
  // The owning edit's change hook (Sender = this button); when unset, the collection is told.
  TNotifyEvent OnChanged;
  // Creates the control that shows this button inside the edit.
  virtual TEditButtonControlEh* CreateEditButtonControl();

protected:
  // Descendants give their own initial Visible and ShortCut, so that the collection hears of
  // the new item only once it is complete.
  TEditButtonEh(TWinControl* EditControl, bool AVisible, TShortCut AShortCut);
  TEditButtonEh(TCollection* Collection, bool AVisible, TShortCut AShortCut);
  void NotifyButtonChanged();

private:
  void InitGlyph();
  TWinControl* FEditControl = nullptr;
  TPopupMenu* FDropdownMenu = nullptr;
  std::unique_ptr<TBitmap> FGlyph;
  String FHint;
  int FNumGlyphs = 1;
  TShortCut FShortCut = scNone;
  TEditButtonStyleEh FStyle = ebsDropDownEh;
  bool FVisible = false;
  int FWidth = 0;
};

// Alt+Down, the short-cut of a visible edit button.
constexpr TShortCut kVisibleEditButtonShortCutEh = scAlt | VK_DOWN;

// An edit button shown by default: the item class of every EditButtons collection.
class TVisibleEditButtonEh : public TEditButtonEh {
  KELM_CLASS(TVisibleEditButtonEh, TEditButtonEh)
  template <class B> static void Published(B& b) {
    b.Prop("ShortCut", &TVisibleEditButtonEh::ShortCut, &TVisibleEditButtonEh::SetShortCut)
        .Type("TShortCut")
        .Default(kVisibleEditButtonShortCutEh);
    b.Prop("Visible", &TVisibleEditButtonEh::Visible, &TVisibleEditButtonEh::SetVisible).Default(true);
  }
public:
  explicit TVisibleEditButtonEh(TWinControl* EditControl)
      : TEditButtonEh(EditControl, true, kVisibleEditButtonShortCutEh) {}
  explicit TVisibleEditButtonEh(TCollection* Collection)
      : TEditButtonEh(Collection, true, kVisibleEditButtonShortCutEh) {}
};

// The EditButtons of an edit or a grid column.
class TEditButtonsEh : public TCollection {
  KELM_CLASS(TEditButtonsEh, TCollection)
public:
  TEditButtonsEh(TPersistent* Owner, TClass EditButtonClass);
  explicit TEditButtonsEh(TPersistent* Owner) : TEditButtonsEh(Owner, TVisibleEditButtonEh::StaticClass()) {}
  TEditButtonEh* Items(int Index) const;
  TEditButtonEh* Add() { return static_cast<TEditButtonEh*>(TCollection::Add()); }
  TPersistent* GetOwner() const override { return FOwner; }
  // The owner's change hook: Sender is the changed button, nullptr when all changed.
  TNotifyEvent OnChanged;

protected:
  void Update(TCollectionItem* Item) override;

private:
  TPersistent* FOwner;
};

// ================================================================ the button control

// The button control inside an edit, a speed button. A spin button (ebsUpDownEh) knows which
// half is pressed and repeats OnDown while held: first after 400 ms, then every 100 ms.
class TEditButtonControlEh : public TSpeedButton {
  KELM_CLASS(TEditButtonControlEh, TSpeedButton)
public:
  explicit TEditButtonControlEh(TComponent* AOwner);
  ~TEditButtonControlEh() override;

  // The speed button's state, except that a spin button whose pointer slid off the pressed
  // half shows up (bsUp) until the pointer comes back.
  TButtonState State() const;

  TEditButtonStyleEh Style() const { return FStyle; }
  void SetStyle(TEditButtonStyleEh Value);
  // The hot look of a flat button (the edit's border is active).
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // Keeps the button pressed while its drop-down is open.
  bool AlwaysDown() const { return FAlwaysDown; }
  void SetAlwaysDown(bool Value);
  // 0 none, 1 the top half (or the whole button), 2 the bottom half of a spin button.
  int DownButton() const { return FDownButton; }
  bool SkipNextClick() const { return FSkipNextClick; }
  void SetSkipNextClick(bool Value) { FSkipNextClick = Value; }
  void UpdateDownButton(int Y);
  // The auto-repeat timer, nullptr until a press first needed it.
  TTimer* AutoRepeatTimer() const { return FTimer; }
  TButtonDownEventEh OnDown;

  void Click() override;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;

private:
  void ResetTimer(Cardinal Interval);
  void StopTimer();
  void TimerEvent(TObject* Sender);
  bool IsPressed() const;
  void SetSlidOff(bool Value);

  TEditButtonStyleEh FStyle = ebsDropDownEh;
  bool FSlidOff = false;
  bool FActive = false;
  bool FAlwaysDown = false;
  int FDownButton = 0;
  bool FSkipNextClick = false;
  TTimer* FTimer = nullptr;
};

// The edit-button control with Active and Style published (the calculator's keys).
class TSpeedButtonEh : public TEditButtonControlEh {
  KELM_CLASS(TSpeedButtonEh, TEditButtonControlEh)
  template <class B> static void Published(B& b) {
    b.Prop("Active", &TSpeedButtonEh::Active, &TSpeedButtonEh::SetActive).Default(false);
    b.Prop("Style", &TSpeedButtonEh::Style, &TSpeedButtonEh::SetStyle).Default(ebsDropDownEh);
  }
public:
  explicit TSpeedButtonEh(TComponent* AOwner) : TEditButtonControlEh(AOwner) {}
};
