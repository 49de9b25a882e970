#pragma once
// Edit buttons and the painting of button faces: the button descriptions an edit carries
// (TEditButtonEh in TEditButtonsEh), the button control placed inside the edit
// (TEditButtonControlEh, TSpeedButtonEh), the painters of every button face and check box
// of the grid library with their shared bitmap cache, and small helpers shared by the grid's
// controls: placing a drop-down beside its owner, drawing an image centred in a rectangle,
// dotted tree lines, the double-click test and the variant equality test. Also the drop-down
// windows the edits open (pick list with its size grip, recently-used list, month calendar)
// and the objects that feed them (special row, distinct values of a field, field-name lists).
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

// ================================================================ drop-down windows

// How a pop-up (calendar, calculator) closes itself through the control that opened it.
class IDropDownOwnerEh {
public:
  virtual ~IDropDownOwnerEh() = default;
  virtual void CloseDropDown(bool Accept) = 0;
};
// The close-up interface of a drop-down's owner, nullptr when the owner has none.
IDropDownOwnerEh* DropDownOwnerOf(const TComponent* DropDown);

KELM_ENUM(TGripCorner, gripTopLeft, gripTopRight, gripBottomRight, gripBottomLeft)
// The side a drop-down was placed on; ordinals are the CM_GRIPSIDE sides.
KELM_ENUM(TGripSide, gsLeft, gsRight, gsTop, gsBottom)

// The triangle in a corner of a resizable drop-down: dragging it resizes its parent inside the
// work area. A move it did not make itself puts it back into its corner.
class TSizeGripEh : public TCustomControl {
  KELM_CLASS(TSizeGripEh, TCustomControl)
public:
  explicit TSizeGripEh(TComponent* AOwner);

  TGripCorner Corner() const { return FCorner; }
  void SetCorner(TGripCorner Value);
  bool Triangular() const { return FTriangular; }
  void SetTriangular(bool Value);
  // Fired when a drag changed the parent's client size.
  TNotifyEvent OnParentSized;

  // Shows or hides the window without changing Visible.
  void ShowGrip(bool AVisible);
  void MoveToCorner();
  // Flips the corner toward the side the drop-down was placed on.
  void MoveGripTo(TGripSide Side);
  bool OnRight() const { return FCorner == gripTopRight || FCorner == gripBottomRight; }
  bool OnTop() const { return FCorner == gripTopLeft || FCorner == gripTopRight; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
  void CreateWnd() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void Paint() override;

private:
  void UpdateRegion();
  void UpdateCursor();
  void DragTo(TPoint ScreenPoint);

  TGripCorner FCorner = gripBottomRight;
  bool FTriangular = true;
  bool FInternalMove = false;
  TPoint FStartPoint;
  int FStartWidth = 0, FStartHeight = 0, FStartClientWidth = 0, FStartClientHeight = 0;
  TPoint FLastPoint{-1, -1};
};

KELM_EVENT(TListGetImageIndexEventEh, void(TObject* Sender, int ItemIndex, int& ImageIndex));

// The drop-down pick list: a parentless pop-up that never takes the focus from the edit that
// opened it. Its height snaps to whole rows; typed characters search within 2 s of each other;
// the item under the pointer follows it.
class TPopupListboxEh : public TCustomListBox {
  KELM_CLASS(TPopupListboxEh, TCustomListBox)
public:
  explicit TPopupListboxEh(TComponent* AOwner);
  ~TPopupListboxEh() override;

  bool CanFocus() const override { return false; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // Sets a list's height to max(Rows, 1) rows.
  static void SetRowsHeight(TPopupListboxEh* Control, int Rows);
  // The frame height: the window style's non-client height and twice the border width.
  int BorderHeight() const;
  int RowHeight() const;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value) { FImages = Value; Invalidate(); }
  TStrings* VirtualItems() const { return FVirtualItems; }
  void SetVirtualItems(TStrings* Value);
  int VisibleRows() const { return FVisibleRows; }
  bool WasResized() const { return FWasResized; }
  void SetWasResized(bool Value) { FWasResized = Value; }
  TSizeGripEh* SizeGrip() const { return FSizeGrip; }
  const String& SearchText() const { return FSearchText; }
  TListGetImageIndexEventEh OnGetItemImage;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyPress(Char& Key) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  String DoGetData(int Index) override { return VirtualItemText(Index); }
  void Resize() override;
  virtual void PaintBorder(HDC DC);
  virtual String VirtualItemText(int Index);
  int FrameWidth() const { return Ctl3D() ? 2 : 0; }

private:
  void GripParentSized(TObject* Sender);
  TSizeGripEh* FSizeGrip = nullptr;
  TCustomImageList* FImages = nullptr;
  TStrings* FVirtualItems = nullptr;
  int FVisibleRows = 0;
  bool FWasResized = false;
  String FSearchText;
  DWORD FLastSearchTick = 0;
  TPoint FMousePos{-1, -1};
};

// Sender is the list's owner; Accept comes in as the prefix test decided.
KELM_EVENT(TAcceptMRUItemEventEh, void(TObject* Sender, const String& Item, bool& Accept));
KELM_EVENT(TCloseUpRequestEventEh, void(TObject* Sender, bool Accept));

// The settings and contents of an edit's recently-used list; the newest item is the last.
class TMRUListEh : public TPersistent {
  KELM_CLASS(TMRUListEh, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("AutoAdd", &TMRUListEh::AutoAdd, &TMRUListEh::SetAutoAdd).Default(true);
    b.Prop("Active", &TMRUListEh::Active, &TMRUListEh::SetActive).Default(false);
    b.Prop("CaseSensitive", &TMRUListEh::CaseSensitive, &TMRUListEh::SetCaseSensitive).Default(false);
    b.Prop("Items", &TMRUListEh::Items, &TMRUListEh::SetItems);
    b.Prop("Limit", &TMRUListEh::Limit, &TMRUListEh::SetLimit).Default(100);
    b.Prop("Rows", &TMRUListEh::Rows, &TMRUListEh::SetRows).Default(7);
  }
public:
  explicit TMRUListEh(TPersistent* AOwner = nullptr);
  ~TMRUListEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  // ---- published
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool AutoAdd() const { return FAutoAdd; }
  void SetAutoAdd(bool Value) { FAutoAdd = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int Limit() const { return FLimit; }
  void SetLimit(int Value);  // a negative count is kept at 0
  int Rows() const { return FRows; }
  void SetRows(int Value) { FRows = Value; }

  // Moves an equal item to the end, or appends S and trims to Limit; blank texts are ignored.
  void Remember(const String& S);
  void TrimToLimit();
  // The items beginning with Prefix; false when a key-down waiting in the queue stopped it.
  bool CollectMatches(TStrings* Target, const String& Prefix);
  bool StopOnKeyInQueue() const { return FStopOnKeyInQueue; }
  void SetStopOnKeyInQueue(bool Value) { FStopOnKeyInQueue = Value; }
  bool IsDroppedDown() const { return FDroppedDown; }
  void SetDroppedDown(bool Value) { FDroppedDown = Value; }

  virtual void RequestCloseUp(bool Accept);
  virtual void RequestDropDown();

  // Hooks of the owning edit, and the user's filter of matches.
  TNotifyEvent OnActiveSwitch;
  TNotifyEvent OnDropDownRequest;
  TCloseUpRequestEventEh OnCloseUpRequest;
  TAcceptMRUItemEventEh OnAcceptItem;

private:
  bool SameText(const String& A, const String& B) const;
  TPersistent* FOwner;
  std::unique_ptr<TStringList> FItems;
  bool FActive = false;
  bool FAutoAdd = true;
  bool FCaseSensitive = false;
  int FLimit = 100;
  int FRows = 7;
  bool FStopOnKeyInQueue = true;
  bool FDroppedDown = false;
};

// The drop-down of a recently-used list, with its own scroll bar beside the grip.
class TMRUListboxEh : public TPopupListboxEh {
  KELM_CLASS(TMRUListboxEh, TPopupListboxEh)
public:
  explicit TMRUListboxEh(TComponent* AOwner);
  TScrollBar* ScrollBar() const { return FScrollBar; }
  // Places the scroll bar and shows it when not every item fits.
  void UpdateScrollBar();
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Resize() override;

private:
  void ScrollBarScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void ScrollBarResized(TObject* Sender);
  TScrollBar* FScrollBar = nullptr;
  bool FMovingScrollBar = false;
};

// The drop-down month calendar: Enter and a click on a date accept, Esc, a click outside and
// losing the focus do not.
class TPopupMonthCalendarEh : public TMonthCalendar {
  KELM_CLASS(TPopupMonthCalendarEh, TMonthCalendar)
public:
  explicit TPopupMonthCalendarEh(TComponent* AOwner);
  bool CanFocus() const override { return Visible() && Enabled(); }
  void Dispatch(TMessage& Message) override;
  // Closes through the owner's IDropDownOwnerEh (nothing without one).
  void CloseUp(bool Accept);

protected:
  void CreateParams(TCreateParams& Params) override;
  // The frame lies in the non-client area, so the calendar's auto-size already counts it.
  void CreateWnd() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  virtual void PaintBorder(HDC DC);
  int FrameWidth() const { return Ctl3D() ? 2 : 0; }
};

// The non-client frame every drop-down shares: inset by Width, raised outer and inner edges.
void DrawDropDownBorderEh(HDC DC, int WindowWidth, int WindowHeight, bool Ctl3D);

// ================================================================ objects feeding drop-downs

// A row a drop-down list shows above its data rows (a row that stands for no value, say).
class TSpecRowEh : public TPersistent {
  KELM_CLASS(TSpecRowEh, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("CellsText", &TSpecRowEh::CellsText, &TSpecRowEh::SetCellsText);
    b.Prop("Color", &TSpecRowEh::Color, &TSpecRowEh::SetColor).Stored(&TSpecRowEh::ColorSet);
    b.Prop("Font", &TSpecRowEh::Font, &TSpecRowEh::SetFont).Stored(&TSpecRowEh::FontSet);
    b.Prop("ShortCut", &TSpecRowEh::ShortCut, &TSpecRowEh::SetShortCut).Type("TShortCut").Default(32814);
    b.Prop("ShowIfNotInKeyList", &TSpecRowEh::ShowIfNotInKeyList, &TSpecRowEh::SetShowIfNotInKeyList).Default(true);
    b.Prop("Value", &TSpecRowEh::Value, &TSpecRowEh::SetValue).Stored(&TSpecRowEh::IsValueStored);
    b.Prop("Visible", &TSpecRowEh::Visible, &TSpecRowEh::SetVisible).Default(false);
  }
public:
  explicit TSpecRowEh(TPersistent* AOwner = nullptr);
  ~TSpecRowEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  // ---- published
  const String& CellsText() const { return FCellsText; }
  void SetCellsText(const String& Value);
  TColor Color() const;
  void SetColor(TColor Value);
  TFont* Font() const;
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  bool ShowIfNotInKeyList() const { return FShowIfNotInKeyList; }
  void SetShowIfNotInKeyList(bool Value);
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool ColorSet() const { return FColorSet; }
  bool FontSet() const { return FFontSet; }
  bool IsValueStored() const { return !VarIsNull(FValue); }

  // The Index-th cell, empty outside the cells.
  String CellText(int Index) const;
  int CellCount() const { return FCells->Count(); }
  void HoldChanges() { ++FHold; }
  void ReleaseChanges();
  TNotifyEvent OnSpecRowChanged;

private:
  void Changed();
  void FontChanged(TObject* Sender);
  TPersistent* FOwner;
  String FCellsText;
  std::unique_ptr<TStringList> FCells;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  TShortCut FShortCut = scAlt | VK_DELETE;
  bool FShowIfNotInKeyList = true;
  Variant FValue = Null();
  bool FVisible = false;
  bool FColorSet = false;
  bool FFontSet = false;
  bool FFontSyncing = false;
  int FHold = 0;
};

// The cells of a special row's text: items split at ";" or control characters, double-quoted
// items may hold them (a doubled quote stands for one).
std::vector<String> ParseSpecRowCellsEh(const String& Text);

KELM_EVENT(TDataEventRelayEh, void(TDataEvent Event, NativeInt Info));

// A data link that passes every data event on to its hook after handling it.
class TDataLinkEh : public TDataLink {
public:
  TDataEventRelayEh OnDataEventRelay;
  void DataEvent(TDataEvent Event, NativeInt Info) override;
};

// The sorted distinct string values of one field of a dataset.
class IMemTableDataFieldValueListEh {
public:
  virtual ~IMemTableDataFieldValueListEh() = default;
  virtual TStrings* ValueList() = 0;
};

// The distinct values of SourceField in SourceDataSet, built on first request and again after
// the dataset changed (not on mere scrolling or record edits). Shared by reference.
class TDatasetFieldValueListEh : public TObject, public IMemTableDataFieldValueListEh {
public:
  TDatasetFieldValueListEh();
  ~TDatasetFieldValueListEh() override;
  TDataSet* SourceDataSet() const { return FDataLink->DataSet(); }
  void SetSourceDataSet(TDataSet* Value);
  const String& SourceField() const { return FSourceField; }
  void SetSourceField(const String& Value);
  bool Stale() const { return FStale; }
  TStrings* ValueList() override;
  // Walks the dataset; the current record and the controls are restored, also on failure.
  void Reload();

protected:
  virtual void DataSetEvent(TDataEvent Event, NativeInt Info);

private:
  std::unique_ptr<TStringList> FValues;
  std::unique_ptr<TDataSource> FDataSource;
  std::unique_ptr<TDataLinkEh> FDataLink;
  String FSourceField;
  bool FStale = true;
};

// Resolves "A;B;C" to fields of DataSet; the first unknown name raises "Field '%s' not found"
// attributed to Component.
void CollectFieldsByNames(std::vector<TField*>* List, TDataSet* DataSet, const TComponent* Component,
                          const String& Names);
void FieldsByNamesArray(TDataSet* DataSet, const TComponent* Component, const String& Names,
                        std::vector<TField*>& Fields);
// Null clears the named fields; otherwise Value (an array for several names) is written field by
// field. A field refusing its value puts back those already written before the error goes on.
void AssignFieldValues(TDataSet* DataSet, const String& Names, const Variant& Value);

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
