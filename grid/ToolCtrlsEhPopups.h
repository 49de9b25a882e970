#pragma once
// The drop-down windows the edits open and their placing beside their owner: the pick list
// (TPopupListboxEh) with its size grip (TSizeGripEh), the recently-used list (TMRUListEh shown
// in TMRUListboxEh) and the month calendar (TPopupMonthCalendarEh).
#include "grid/ToolCtrlsEhFaces.h"

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
  // After the matches were collected: re-places an open list below Edit's text area
  // (TextRect, Edit's client coordinates) or closes it when nothing matches, or drops a closed
  // one down with Edit's colour and font. Close is how the edit closes its list.
  void ShowMatches(TMRUListEh* List, TWinControl* Edit, const TRect& TextRect, const std::function<void()>& Close);
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
