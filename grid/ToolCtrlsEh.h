#pragma once
// Edit buttons and the painting of button faces: the button descriptions an edit carries
// (TEditButtonEh in TEditButtonsEh), the button control placed inside the edit
// (TEditButtonControlEh, TSpeedButtonEh), the painters of every button face and check box
// of the grid library with their shared bitmap cache, and small helpers shared by the grid's
// controls: placing a drop-down beside its owner, drawing an image centred in a rectangle,
// dotted tree lines, the double-click test and the variant equality test.
#include "gui/Buttons.h"
#include "core/Component.h"
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "data/DB.h"
#include "gui/Graphics.h"
#include "gui/ImgList.h"
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

// The face of a button style; false for ebsGlyphEh, which draws its glyph bitmap instead.
bool EditButtonFaceStyle(TEditButtonStyleEh Style, TButtonFaceStyle& FaceStyle);

// ================================================================ edit-button descriptions

// One button of an edit, as a program or a layout sets it up.
class TEditButtonEh : public TCollectionItem {
  KELM_CLASS(TEditButtonEh, TCollectionItem)
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
public:
  explicit TSpeedButtonEh(TComponent* AOwner) : TEditButtonControlEh(AOwner) {}
};

// ================================================================ button faces and their cache

struct TButtonFaceKey {
  TSize Size;  // negative extents are stored as 0
  TButtonFaceStyle FaceStyle = bfsDropDown;
  bool Flat = false;
  bool Pressed = false;
  bool Active = false;
  bool Enabled = true;
  int DownHalf = 0;    // 0 the top half or the whole button, 1 the bottom half
  int CheckState = 0;  // 0 unchecked, 1 checked, 2 grayed
  bool operator==(const TButtonFaceKey&) const = default;
};

TButtonFaceKey ButtonFaceKey(int Width, int Height, TButtonFaceStyle FaceStyle, bool Flat, bool Pressed, bool Active,
                             bool Enabled, int DownHalf, int CheckState);

// One painted face of the cache.
class TButtonBitmapInfoBitmapEh : public TObject {
public:
  TButtonBitmapInfoBitmapEh(const TButtonFaceKey& AKey, std::unique_ptr<TBitmap> ABitmap)
      : Key(AKey), Bitmap(std::move(ABitmap)) {}
  TButtonFaceKey Key;
  std::unique_ptr<TBitmap> Bitmap;
};

// Faces painted once per distinct key and afterwards only copied. The list does not own its
// items; Clear frees them and their bitmaps.
class TButtonsBitmapCache : public TObjectList {
public:
  TButtonsBitmapCache() = default;
  ~TButtonsBitmapCache() override;
  // The face of the key, painted on first request.
  TBitmap* GetButtonBitmap(const TButtonFaceKey& Key);
  TButtonBitmapInfoBitmapEh* Items(int Index) const { return static_cast<TButtonBitmapInfoBitmapEh*>(TObjectList::Items(Index)); }
  void Clear() override;
};

// The cache shared by every grid and edit of the process.
TButtonsBitmapCache* ButtonsBitmapCache();
// Frees every cached face (after the system colours changed).
void ResetButtonBitmapCache();
// The default width of a flat edit button, and the size of the system's check-box glyph.
int FlatButtonWidth();
int CheckBoxGlyphWidth();
int CheckBoxGlyphHeight();

// Paints one button face over Rect: the entry point of every edit button and check box.
// DownButton: 0 none, 1 the top half (or the whole button), 2 the bottom half of a spin
// button; CheckState 0 unchecked, 1 checked, 2 grayed (check boxes only).
void PaintEditButtonFace(HDC DC, const TRect& ARect, TColor ParentColor, TButtonFaceStyle FaceStyle, int DownButton,
                         bool Flat, bool Active, bool Enabled, int CheckState);
// One face (or one spin half) without the cache.
void DrawButtonByStyle(HDC DC, TButtonFaceStyle FaceStyle, const TRect& ARect, int DownHalf, bool Pressed,
                       bool Active, bool Flat, bool Enabled);
void DrawComboArrowButton(HDC DC, const TRect& ARect, bool Pressed, bool Active, bool Flat, bool Enabled);
void DrawDotsButton(HDC DC, const TRect& ARect, bool Pressed, bool Active, bool Flat, bool Enabled);
void DrawSpinHalfButton(HDC DC, const TRect& ARect, int DownHalf, bool Pressed, bool Active, bool Flat, bool Enabled);
void DrawSignButton(HDC DC, const TRect& ARect, bool Plus, bool Pressed, bool Active, bool Flat, bool Enabled);
void DrawCheckFrame(HDC DC, const TRect& ARect, int CheckState, bool Active, bool Pressed, bool Flat, bool Enabled);

// Odd, about two thirds of the screen font's character height, at most a scroll bar wide.
int CalcFlatButtonWidth();
int EditButtonHeightFor(int Width, bool Flat);
// The rectangle of a check-box glyph inside Rect.
TRect PlaceCheckBoxInCell(const TRect& Rect, TAlignment Alignment);
// Draws the image centred in Rect, clipped to Rect when it does not fit.
void DrawImageCentered(TCanvas* Canvas, const TRect& Rect, TCustomImageList* Images, bool Selected, int ImageIndex);

// ================================================================ drop-down placement

// Sides of CM_GRIPSIDE: where a drop-down keeps its size grip.
constexpr WPARAM kGripSideLeftEh = 0, kGripSideRightEh = 1, kGripSideTopEh = 2, kGripSideBottomEh = 3;

// The screen top-left of DropDown beside MasterRect (screen coordinates) within the work area
// of the nearest monitor. The drop-down is shortened or narrowed to fit and told the sides of
// its size grip (CM_GRIPSIDE, vertical side first).
TPoint PlaceDropDownAtRect(const TRect& MasterRect, TWinControl* DropDown, TDropDownAlign Align);
TPoint PlaceDropDownUnder(TControl* MasterControl, TWinControl* DropDown, TDropDownAlign Align);

// ================================================================ small helpers

// Dots every two pen widths from From along a line of Length pixels; Parity picks the dot
// lattice by the parity of x + y of the first dot.
void DrawDottedLine(TCanvas* Canvas, TPoint From, int Length, bool Parity, bool Horizontal);
// The lines and the plus or minus box of a tree row (Kind 0-9) in Rect.
void DrawTreeNodeLines(TCanvas* Canvas, const TRect& Rect, int Kind, double UnitY, double UnitX, bool Parity);
// Whether a click at NewPos, Interval ms after one at OldPos, completes a double click.
bool IsSecondClickOfDoubleClick(TPoint OldPos, TPoint NewPos, DWORD Interval);
// The time within which two clicks make a double click, in ms.
constexpr DWORD kDoubleClickTimeEh = 500;

namespace ToolCtrlsEh {
// Arrays compare by their first dimension's bounds and elements; other values by the
// platform's equality, where Empty equals only Empty. Any failure counts as not equal.
bool VariantsEqual(const Variant& A, const Variant& B);
}  // namespace ToolCtrlsEh
