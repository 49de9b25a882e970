#pragma once
// The single-line edit (TCustomEdit, TEdit) and the edit messages, styles and notifications.
//
// The edit keeps its own text model (characters, anchor, caret) under the window: every
// change of text or selection goes through messages (WM_SETTEXT, EM_SETSEL, EM_REPLACESEL,
// WM_CHAR, WM_CUT/COPY/PASTE/CLEAR ...) that DefaultHandler answers the way the native edit
// does, so subclasses and replaced window procedures can watch or stop each of them. A
// selection made by the user's keys or mouse sends no EM_SETSEL; SelStart, SelLength and
// SelectAll do. Every real change of the text is followed by EN_CHANGE (reflected to the
// control as CN_COMMAND), which runs OnChange. The edit keeps no undo of its own. Its
// multi-line form serves the memo (Memo.h).
#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/Messages.h"

#include <memory>
#include <vector>

class TWindowScrollBars;

KELM_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

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
  int Caret() const { return FCaret; }
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
  // Told of every change of the text model: [Start, End) became Inserted characters (a whole
  // new text is 0, the old length). Runs before OnChange.
  virtual void CharsReplaced(int Start, int End, int Inserted) {}

private:
  // The native model's messages, one handler each (DefaultHandler holds their table).
  void WMMouseDefault(TMessage& M);
  void WMSetFocusDefault(TMessage& M);
  void WMKillFocusDefault(TMessage& M);
  void WMPaintDefault(TMessage& M);
  void WMSizeDefault(TMessage& M);
  void WMVScrollDefault(TMessage& M);
  void WMHScrollDefault(TMessage& M);
  void WMMouseWheelDefault(TMessage& M);
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
  void Relayout(bool Layout);
  void EMGetSel(TMessage& M);
  void EMSetRect(TMessage& M);
  void EMScroll(TMessage& M);
  void EMLineScroll(TMessage& M);
  void EMLineIndex(TMessage& M);
  void EMLineLength(TMessage& M);
  void EMLineFromChar(TMessage& M);
  void EMGetLine(TMessage& M);
  void EMReplaceSel(TMessage& M);
  void EMLimitText(TMessage& M);
  void EMSetReadOnly(TMessage& M);
  void EMSetPasswordChar(TMessage& M);
  void EMSetMargins(TMessage& M);
  void EMPosFromChar(TMessage& M);
  void EMCharFromPos(TMessage& M);
  void WMCut(TMessage& M);
  void WMClear(TMessage& M);

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
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishParentColor(b).Default(false);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishTabStop(b).Default(true);
    b.Prop("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect).Default(true);
    b.Prop("AutoSize", &TEdit::AutoSize, &TEdit::SetAutoSize).Default(true);
    b.Prop("BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle).Default(bsSingle);
    b.Prop("CharCase", &TEdit::CharCase, &TEdit::SetCharCase).Default(ecNormal);
    b.Prop("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection).Default(true);
    b.Prop("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
    b.Prop("OEMConvert", &TEdit::OEMConvert, &TEdit::SetOEMConvert).Default(false);
    b.Prop(
         "PasswordChar", [](const TEdit* e) { return static_cast<char16_t>(e->PasswordChar()); },
         [](TEdit* e, char16_t c) { e->SetPasswordChar(c); })
        .Default(0);
    b.Prop("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
    b.Prop("Text", &TControl::Text, &TControl::SetText);
    b.Prop("OnChange", &TEdit::OnChange, &TEdit::OnChange);
  }
public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};
