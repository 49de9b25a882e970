#pragma once
// The standard controls of dialogs: labels, push buttons, check boxes, radio buttons, group
// boxes and scroll bars (the edits are in Edit.h, the memos in Memo.h).
// Declares TScrollBarModel, TCustomLabel, TLabel, TButtonControl, TButton, TCustomCheckBox,
// TCheckBox, TRadioButton, TCustomGroupBox, TGroupBox and TScrollBar.
#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/Messages.h"

#include <memory>

KELM_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
KELM_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
KELM_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
KELM_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll)

KELM_EVENT(TScrollEvent, void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos));

// ================================================================ messages and styles

// Button messages, styles and notifications.
constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_SETSTATE = 0x00F3,
               BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5;
constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2, BS_AUTOCHECKBOX = 0x3,
                BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5, BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7,
                BS_AUTORADIOBUTTON = 0x9, BS_OWNERDRAW = 0xB, BS_LEFTTEXT = 0x20, BS_MULTILINE = 0x2000;
constexpr WPARAM BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2, BST_PUSHED = 4, BST_FOCUS = 8;
constexpr Word BN_CLICKED = 0, BN_DOUBLECLICKED = 5;

// Scroll-bar control messages.
constexpr UINT SBM_SETPOS = 0x00E0, SBM_GETPOS = 0x00E1, SBM_SETRANGE = 0x00E2, SBM_GETRANGE = 0x00E3;

// ================================================================ scroll bars of a window

// A scroll bar drawn in a window's frame or as a whole control: its range, page and position,
// the arrows and the thumb, and the mouse on them. The owner is told by WM_HSCROLL or
// WM_VSCROLL (SB_ codes) and moves Position itself, as the platform's bars ask.
class TScrollBarModel {
public:
  TScrollBarModel(TWinControl* Owner, bool Horizontal) : FOwner(Owner), FHorizontal(Horizontal) {}
  ~TScrollBarModel();  // a bar freed while a part is held stops repeating
  TScrollBarModel(const TScrollBarModel&) = delete;
  TScrollBarModel& operator=(const TScrollBarModel&) = delete;
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Page() const { return FPage; }
  int Position() const { return FPos; }
  // Page 0 means no page: the thumb has the arrows' size. The position stays within
  // Min..Max - Page + 1.
  void SetRange(int AMin, int AMax, int APage);
  void SetPosition(int Pos);
  int MaxPosition() const;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  bool Horizontal() const { return FHorizontal; }

  // Draws the bar into Rect (arrows, track and thumb in the classic look).
  void Paint(HDC DC, const TRect& Rect) const;
  // Where Paint puts the thumb in Rect (empty when the bar shows none).
  TRect ThumbRect(const TRect& Rect) const;
  // The part of Rect a point lies on: SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN,
  // SB_THUMBTRACK for the thumb, -1 outside.
  int HitTest(const TRect& Rect, TPoint P) const;
  // Mouse on the bar (points in the coordinates of Rect): the press sends its scroll code and
  // keeps repeating (400 ms, then 100 ms) while the button stays down on that part; dragging
  // the thumb sends SB_THUMBTRACK with the position, the release SB_THUMBPOSITION (after a
  // drag) and SB_ENDSCROLL. True when the bar took the event.
  bool MouseDown(const TRect& Rect, TPoint P);
  bool MouseMove(const TRect& Rect, TPoint P);
  bool MouseUp(const TRect& Rect, TPoint P);
  bool Tracking() const { return FPressed >= 0; }
  // Where the thumb is while it is dragged (the position otherwise): the owner may not have
  // followed the drag yet.
  int TrackPosition() const { return FPressed == SB_THUMBTRACK ? FTrackPos : FPos; }
  // The pressed part repeats its scroll code (the owner's timer calls this).
  void Repeat();

  // The message the bar sends its owner (WM_HSCROLL or WM_VSCROLL; a control bar may send
  // another number, e.g. CN_HSCROLL).
  UINT Message() const { return FMessage; }
  void SetMessage(UINT v) { FMessage = v; }
  static constexpr UINT_PTR RepeatTimerId = 0x5B01;

private:
  struct TParts {
    TRect Up, Down, Track, Thumb;
  };
  TParts Layout(const TRect& Rect) const;
  void Send(int Code, int Pos);
  int PosFromThumb(const TRect& Rect, int ThumbStart) const;

  TWinControl* FOwner;
  bool FHorizontal;
  UINT FMessage = 0;  // 0: WM_HSCROLL / WM_VSCROLL
  int FMin = 0, FMax = 100, FPage = 0, FPos = 0;
  bool FEnabled = true;
  int FPressed = -1;     // the part held down
  bool FOver = false;    // the mouse is on the held part
  int FDragOffset = 0;   // from the thumb's start to the press
  int FTrackPos = 0;
  TRect FRect;           // the bar while a part is held
  TPoint FLast;          // the mouse, in the bar's coordinates
  bool FDragged = false;
};

// ================================================================ TLabel

class TCustomLabel : public TGraphicControl {
  KELM_CLASS(TCustomLabel, TGraphicControl)
public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* v);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout v);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool v);
  bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
  void SetTransparent(bool v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  void SetAutoSize(bool v) override;

  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void Loaded() override;
  void AdjustBounds();
  // The label's text as drawn (the caption, or what a subclass shows instead).
  virtual String GetLabelText() const { return Caption(); }
  // Draws (or with DT_CALCRECT measures) the text on DC with the label's font and state.
  virtual void DoDrawText(HDC DC, TRect& Rect, UINT Flags);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TAlignment FAlignment = taLeftJustify;
  TWinControl* FFocusControl = nullptr;
  TTextLayout FLayout = tlTop;
  bool FShowAccelChar = true;
  bool FWordWrap = false;
};

class TLabel : public TCustomLabel {
  KELM_CLASS(TLabel, TCustomLabel)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishCaption(b);
    PublishMouseEvents(b);
    b.Prop("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
    b.Prop("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
    b.Prop("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
    b.Prop("Layout", &TLabel::Layout, &TLabel::SetLayout).Default(tlTop);
    b.Prop("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
    b.Prop("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
    b.Prop("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
  }
public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ================================================================ buttons

// The base of push buttons, check boxes and radio buttons: a control drawn in the classic
// look that clicks on the mouse, on Space and on its accelerator.
class TButtonControl : public TWinControl {
  KELM_CLASS(TButtonControl, TWinControl)
public:
  explicit TButtonControl(TComponent* AOwner);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  // Checked state for action links and subclasses.
  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool v) {}
  bool ClicksDisabled() const { return FClicksDisabled; }
  void SetClicksDisabled(bool v) { FClicksDisabled = v; }
  // Pressed look while the mouse or Space holds the button.
  bool Pressed() const { return FPressed; }
  void SetPressed(bool v);
  void PaintWindow(HDC DC) override;
  virtual void PaintButton(HDC DC) {}
  // The mouse or Space released over the button.
  virtual void ButtonActivated() { Click(); }
  void DrawCaption(HDC DC, TRect R, UINT Flags);
  // Check boxes and radio buttons. CM_DIALOGCHAR: the caption's accelerator focuses the
  // button and, once it has the focus, activates it; false when it is not the accelerator.
  bool FocusByAccel(TMessage& M);
  // The box (Frame: its DFCS_ kind and check) on the Alignment side, pushed while pressed,
  // dimmed while disabled, and the caption beside it.
  void PaintCheck(HDC DC, TLeftRight Alignment, UINT Frame);
  // A bound action's Checked is shown as the button's check state.
  bool ActionClientValue(TActionLinkProp Prop, Variant& Value) const override;
  void SetActionClientValue(TActionLinkProp Prop, const Variant& Value) override;

private:
  // The native model's messages, one handler each (DefaultHandler holds their table).
  void WMKillFocus(TMessage& M);
  void WMSetFocus(TMessage& M);
  bool FWordWrap = false;
  bool FClicksDisabled = false;
  bool FPressed = false;
  bool FMouseDown = false;
  bool FSpaceDown = false;
};

class TButton : public TButtonControl {
  KELM_CLASS(TButton, TButtonControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishCaption(b);
    PublishAction(b);
    PublishFont(b);
    PublishParentFont(b);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishTabStop(b).Default(true);
    b.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    b.Prop("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    b.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
    b.Prop("WordWrap", &TButton::WordWrap, &TButton::SetWordWrap).Default(false);
  }
public:
  explicit TButton(TComponent* AOwner);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool v) { FCancel = v; }
  bool Default() const { return FDefault; }
  void SetDefault(bool v);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult v) { FModalResult = v; }
  // The button Enter presses now: the focused button, or the default one while the focus
  // is not on a button.
  bool Active() const { return FActive; }
  void Click() override;
  void Dispatch(TMessage& Message) override;

protected:
  void PaintButton(HDC DC) override;
  // The frame and face of the button: the ring of the active button, raised or, pressed,
  // sunk. Returns the rectangle inside the ring, which PaintFocus takes.
  TRect PaintFace(HDC DC);
  // The focus rectangle within the face, while the button has the focus.
  void PaintFocus(HDC DC, const TRect& Face);
  void CreateParams(TCreateParams& Params) override;

private:
  bool FCancel = false;
  bool FDefault = false;
  bool FActive = false;
  TModalResult FModalResult = 0;  // mrNone
};

class TCustomCheckBox : public TButtonControl {
  KELM_CLASS(TCustomCheckBox, TButtonControl)
public:
  explicit TCustomCheckBox(TComponent* AOwner);
  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight v);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool v) { FAllowGrayed = v; }
  TCheckBoxState State() const { return FState; }
  // A new state is drawn and clicks (OnClick) unless clicks are disabled.
  void SetState(TCheckBoxState v);
  bool Checked() const { return FState == cbChecked; }
  void Dispatch(TMessage& Message) override;
  // Checked as the published property and the action link see it.
  bool GetChecked() const override { return Checked(); }
  void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }

protected:
  virtual void Toggle();
  void ButtonActivated() override;
  void PaintButton(HDC DC) override;

private:
  TLeftRight FAlignment = taRightJustify;
  bool FAllowGrayed = false;
  TCheckBoxState FState = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
  KELM_CLASS(TCheckBox, TCustomCheckBox)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishCaption(b);
    PublishAction(b);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishTabStop(b).Default(true);
    b.Prop("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify);
    b.Prop("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
    b.Prop("Checked", &TCheckBox::Checked, [](TCheckBox* c, bool v) { c->SetChecked(v); }).Default(false);
    b.Prop("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
    b.Prop("WordWrap", &TCheckBox::WordWrap, &TCheckBox::SetWordWrap).Default(false);
  }
public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Checking a radio button clears the other radio buttons of its parent.
class TRadioButton : public TButtonControl {
  KELM_CLASS(TRadioButton, TButtonControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishCaption(b);
    PublishAction(b);
    PublishMouseEvents(b);
    PublishWindowed(b);
    b.Prop("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify);
    b.Prop("Checked", &TRadioButton::Checked, [](TRadioButton* c, bool v) { c->SetChecked(v); }).Default(false);
    b.Prop("WordWrap", &TRadioButton::WordWrap, &TRadioButton::SetWordWrap).Default(false);
  }
public:
  explicit TRadioButton(TComponent* AOwner);
  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight v);
  bool Checked() const { return FChecked; }
  void SetChecked(bool v) override;
  bool GetChecked() const override { return FChecked; }
  void Dispatch(TMessage& Message) override;

protected:
  void ButtonActivated() override;
  void PaintButton(HDC DC) override;
  void DoEnter() override;

private:
  TLeftRight FAlignment = taRightJustify;
  bool FChecked = false;
};

// ================================================================ group boxes

class TCustomGroupBox : public TCustomControl {
  KELM_CLASS(TCustomGroupBox, TCustomControl)
public:
  explicit TCustomGroupBox(TComponent* AOwner);
  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
  KELM_CLASS(TGroupBox, TCustomGroupBox)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishCaption(b);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishResizeEvents(b);
  }
public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ================================================================ TScrollBar

class TScrollBar : public TWinControl {
  KELM_CLASS(TScrollBar, TWinControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishTabStop(b).Default(true);
    b.Prop("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
    b.Prop("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
    b.Prop("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
    b.Prop("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
    b.Prop("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
    b.Prop("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
    b.Prop("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
    b.Prop("OnChange", &TScrollBar::OnChange, &TScrollBar::OnChange);
    b.Prop("OnScroll", &TScrollBar::OnScroll, &TScrollBar::OnScroll);
  }
public:
  explicit TScrollBar(TComponent* AOwner);
  ~TScrollBar() override;

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind v);
  int Min() const { return FMin; }
  void SetMin(int v) { SetParams(FPosition, v, FMax); }
  int Max() const { return FMax; }
  void SetMax(int v) { SetParams(FPosition, FMin, v); }
  int Position() const { return FPosition; }
  void SetPosition(int v) { SetParams(v, FMin, FMax); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int v);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int v) { FSmallChange = v; }
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int v) { FLargeChange = v; }
  // Sets the three at once; a position outside the range is clamped; OnChange when the
  // position moved. EInvalidOperation for Max < Min.
  void SetParams(int APosition, int AMin, int AMax);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  void PaintWindow(HDC DC) override;
  void CreateParams(TCreateParams& Params) override;
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);

private:
  void DoScroll(int Code, int Pos);
  void SyncModel();
  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0, FSmallChange = 1, FLargeChange = 1;
  std::unique_ptr<TScrollBarModel> FModel;
};
