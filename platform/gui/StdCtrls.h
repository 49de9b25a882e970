#pragma once
// The standard controls of dialogs: labels, single- and multi-line edits, push buttons,
// check boxes, radio buttons, group boxes and scroll bars.
//
// The edits keep their own text model (characters, anchor, caret) under the window: every
// change of text or selection goes through messages (WM_SETTEXT, EM_SETSEL, EM_REPLACESEL,
// WM_CHAR, WM_CUT/COPY/PASTE/CLEAR ...) that DefaultHandler answers the way the native edit
// does, so subclasses and replaced window procedures can watch or stop each of them. A
// selection made by the user's keys or mouse sends no EM_SETSEL; SelStart, SelLength and
// SelectAll do. Every real change of the text is followed by EN_CHANGE (reflected to the
// control as CN_COMMAND), which runs OnChange. The edit keeps no undo of its own.
#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/Messages.h"

#include <memory>
#include <vector>

class TWindowScrollBars;

KELM_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
KELM_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
KELM_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
KELM_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
KELM_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll)

KELM_EVENT(TScrollEvent, void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos));

// ================================================================ messages and styles

// Edit messages (positions count characters).
constexpr UINT EM_GETSEL = 0x00B0;          // WParam, LParam = DWORD* start, end (may be 0); result packs both
constexpr UINT EM_SETSEL = 0x00B1;          // WParam = anchor, LParam = caret; -1 anchor drops the selection, -1 caret = end
constexpr UINT EM_GETRECT = 0x00B2;         // LParam = TRect*
constexpr UINT EM_SETRECT = 0x00B3;         // LParam = TRect* (0 = the default); repaints
constexpr UINT EM_SETRECTNP = 0x00B4;       // as EM_SETRECT without repainting
constexpr UINT EM_SCROLL = 0x00B5;          // WParam = SB_ code (vertical)
constexpr UINT EM_LINESCROLL = 0x00B6;      // WParam = characters, LParam = lines
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;       // WParam = line (-1 = the caret's): its first character
constexpr UINT EM_LINELENGTH = 0x00C1;      // WParam = a character index: the length of its line
constexpr UINT EM_REPLACESEL = 0x00C2;      // LParam = const char* (UTF-8)
constexpr UINT EM_GETLINE = 0x00C4;         // WParam = line, LParam = char* whose first WORD is the buffer size
constexpr UINT EM_LIMITTEXT = 0x00C5;       // WParam = characters, 0 = no limit
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;    // WParam = character (-1 = the caret's)
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC; // WParam = the character, 0 shows the text
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;      // WParam = EC_ flags, LParam = MakeLParam(left, right)
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;     // WParam = character: MakeLParam(x, y) of its cell, -1 past the last
constexpr UINT EM_CHARFROMPOS = 0x00D7;     // LParam = client point: MakeLParam(character, line)
constexpr WPARAM EC_LEFTMARGIN = 0x0001, EC_RIGHTMARGIN = 0x0002, EC_USEFONTINFO = 0xFFFF;

constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_MULTILINE = 0x0004,
                ES_UPPERCASE = 0x0008, ES_LOWERCASE = 0x0010, ES_PASSWORD = 0x0020, ES_AUTOVSCROLL = 0x0040,
                ES_AUTOHSCROLL = 0x0080, ES_NOHIDESEL = 0x0100, ES_OEMCONVERT = 0x0400, ES_READONLY = 0x0800,
                ES_WANTRETURN = 0x1000, ES_NUMBER = 0x2000;

// Edit notifications (high word of CN_COMMAND's WParam).
constexpr Word EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
               EN_MAXTEXT = 0x0501, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602;

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

// ================================================================ the caret

// One caret per application, owned by the window that made it last. It blinks while shown
// and is drawn by its window's painting (DrawCaret); GetCaretPos answers its client position.
BOOL CreateCaret(HWND Window, int Width, int Height);
BOOL DestroyCaret();
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(TPoint* Point);
BOOL ShowCaret(HWND Window);
BOOL HideCaret(HWND Window);
// Inverts the caret's pixels on a window's paint context when the caret is the window's and
// visible in this blink phase.
void DrawCaret(HWND Window, HDC DC);

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
public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ================================================================ edits

class TCustomEdit : public TWinControl {
  KELM_CLASS(TCustomEdit, TWinControl)
public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  // ---- properties
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool v) { FAutoSelect = v; }
  void SetAutoSize(bool v) override;
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase v);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool v);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int v);
  bool Modified() const;
  void SetModified(bool v);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool v) { FOEMConvert = v; }
  Char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(Char v);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);

  // ---- selection (EM_GETSEL / EM_SETSEL)
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  String SelText() const;
  void SetSelText(const String& v);  // EM_REPLACESEL
  void SelectAll();
  // The caret's character index, which may be either end of the selection.
  int CaretPos() const { return FCaret; }
  // The selected text into a buffer of BufSize bytes (NUL-terminated, whole characters); the
  // characters copied.
  int GetSelTextBuf(char* Buffer, int BufSize) const;

  // ---- editing through the clipboard messages
  void Clear();           // the whole text (WM_SETTEXT '')
  void ClearSelection();  // WM_CLEAR
  void CopyToClipboard(); // WM_COPY
  void CutToClipboard();  // WM_CUT
  void PasteFromClipboard();  // WM_PASTE
  // The edit keeps no undo: these do nothing.
  void Undo();
  bool CanUndo() const;
  void ClearUndo();

  TNotifyEvent OnChange;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void DoEnter() override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  virtual void Change();
  // Whether the edit is a multi-line one (a memo, or a subclass's ES_MULTILINE style).
  bool IsMultiLine() const;
  void SetMultiLine(bool v) { FMultiLine = v; }
  bool WantsReturns() const { return FWantReturns; }
  void SetWantsReturns(bool v) { FWantReturns = v; }
  bool WantsTabs() const { return FWantTabs; }
  void SetWantsTabs(bool v) { FWantTabs = v; }
  bool WordWraps() const { return FWordWrap && IsMultiLine(); }
  void SetWordWraps(bool v);
  // The text of the model (code points; a memo's line breaks are CR LF).
  const std::u32string& EditChars() const { return FChars; }
  // Replaces [Start, End) as the native edit does for an insertion; User marks the edit
  // as modified. Sends EN_CHANGE when the text changed.
  void ReplaceChars(int Start, int End, const std::u32string& Text, bool User);
  // Moves anchor and caret without a message (the user's own selection).
  void MoveSelection(int Anchor, int Caret);
  int Anchor() const { return FAnchor; }
  // The window's scroll bars (memo ScrollBars).
  TScrollStyle ScrollBarStyle() const { return FScrollBars; }
  void SetScrollBarStyle(TScrollStyle v);
  // The first character index of each line of the layout (visual lines when wrapping).
  int LayoutLineCount() const;
  int LayoutLineStart(int Line) const;
  int LayoutLineEnd(int Line) const;  // before the line break
  int LineOfChar(int Index) const;
  void DoSetTextMessage(const String& Text, TMessage& Message);
  void WndProc(TMessage& Message) override;
  void SetWindowTextDirect(const String& v) override;

private:
  struct TLayoutLine {
    int Start = 0;
    int End = 0;   // text of the line ends here
    int Next = 0;  // the next line starts here (after a break)
    int Width = 0;
  };
  // ---- the model
  int Length() const { return static_cast<int>(FChars.size()); }
  int ClampIndex(int i) const;
  int SelMin() const { return std::min(FAnchor, FCaret); }
  int SelMax() const { return std::max(FAnchor, FCaret); }
  std::u32string ApplyCase(const std::u32string& s) const;
  void SendChange();
  bool InsertTyped(const std::u32string& Text);
  void DeleteSelectionOr(int Direction);
  int WordLeft(int i) const;
  int WordRight(int i) const;
  void SelectWordAt(int i);
  // ---- layout and drawing
  void InvalidateLayout();
  void EnsureLayout() const;
  std::u32string DisplayChars() const;
  TRect FormatRect() const;
  int LineHeight() const;
  int CharX(int Index) const;  // x in text coordinates (before scrolling and alignment)
  int LineWidth(int Line) const;
  int WidestLine() const;  // how far the text reaches sideways
  int LineOffsetX(int Line) const;  // alignment offset within the formatting rectangle
  TPoint PosFromChar(int Index) const;  // client coordinates
  int CharFromPos(TPoint P) const;
  void ScrollCaret();
  void UpdateCaret();
  void PaintEdit(HDC DC);
  void UpdateScrollBars();
  void ScrollLines(int Lines);
  int VisibleLineCount() const;
  // ---- message handlers of the native model
  void KeyDownDefault(TMessage& M);
  void CharDefault(TMessage& M);
  void MouseDefault(TMessage& M);
  void SetSelMessage(TMessage& M);
  void CopySelection();
  void PasteText();
  void SyncWindowText();
  void RecreateForStyle();
  TAlignment EffectiveAlignment() const;
  int PrevPos(int i) const;
  int NextPos(int i) const;
  void FocusDefault(bool Gained);
  bool EditMessage(TMessage& M);

  // properties
  bool FAutoSelect = true;
  TBorderStyle FBorderStyle = bsSingle;
  TEditCharCase FCharCase = ecNormal;
  bool FHideSelection = true;
  int FMaxLength = 0;
  bool FOEMConvert = false;
  Char FPasswordChar = 0;
  bool FReadOnly = false;
  TAlignment FAlignment = taLeftJustify;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = false;
  bool FMultiLine = false;
  TScrollStyle FScrollBars = ssNone;
  // model
  std::u32string FChars;
  int FAnchor = 0;
  int FCaret = 0;
  bool FModified = false;
  bool FSelecting = false;  // the left button extends the selection
  int FWordAnchorStart = -1, FWordAnchorEnd = -1;  // the word a double click selected
  // view
  int FLeftMargin = 1, FRightMargin = 1;
  bool FHasFormatRect = false;
  TRect FFormatRect;
  int FScrollX = 0;
  int FTopLine = 0;
  mutable bool FLayoutValid = false;
  mutable std::vector<TLayoutLine> FLines;
  mutable std::vector<int> FCharX;  // x of each character's left edge within its line, per index
  mutable int FLineHeight = 0;
  std::unique_ptr<TWindowScrollBars> FBars;  // the ScrollBars of a memo
};

class TEdit : public TCustomEdit {
  KELM_CLASS(TEdit, TCustomEdit)
public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ================================================================ memos

class TCustomMemo : public TCustomEdit {
  KELM_CLASS(TCustomMemo, TCustomEdit)
public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  // The text's lines (split at CR LF); changing them changes the text.
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* v);
  TScrollStyle ScrollBars() const { return ScrollBarStyle(); }
  void SetScrollBars(TScrollStyle v) { SetScrollBarStyle(v); }
  bool WantReturns() const { return WantsReturns(); }
  void SetWantReturns(bool v) { SetWantsReturns(v); }
  bool WantTabs() const { return WantsTabs(); }
  void SetWantTabs(bool v) { SetWantsTabs(v); }
  bool WordWrap() const { return WordWraps(); }
  void SetWordWrap(bool v) { SetWordWraps(v); }
  // The caret as column and line (0-based).
  TPoint CaretPosition() const;
  void SetCaretPosition(TPoint v);

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyPress(Char& Key) override;
  // Puts a subclass's own kind of lines in place (the memo owns them from then on) and hands
  // the memo's own lines over.
  std::unique_ptr<TStrings> ReplaceLines(TStrings* NewLines) {
    std::unique_ptr<TStrings> old = std::move(FLines);
    FLines.reset(NewLines);
    return old;
  }

private:
  friend class TMemoStrings;
  std::unique_ptr<TStrings> FLines;
};

class TMemo : public TCustomMemo {
  KELM_CLASS(TMemo, TCustomMemo)
public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
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
  bool FWordWrap = false;
  bool FClicksDisabled = false;
  bool FPressed = false;
  bool FMouseDown = false;
  bool FSpaceDown = false;
};

class TButton : public TButtonControl {
  KELM_CLASS(TButton, TButtonControl)
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
public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Checking a radio button clears the other radio buttons of its parent.
class TRadioButton : public TButtonControl {
  KELM_CLASS(TRadioButton, TButtonControl)
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
public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ================================================================ TScrollBar

class TScrollBar : public TWinControl {
  KELM_CLASS(TScrollBar, TWinControl)
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
