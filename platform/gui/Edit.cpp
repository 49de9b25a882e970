// The single-line edit: its text model, layout, painting and the native edit's messages.
#include "gui/Edit.h"

#include "gui/Caret.h"
#include "gui/Clipbrd.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/QtGlue_p.h"
#include "gui/WinScroll.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <map>
#include <utility>

using ctrl_utils::IsBlank;
using ctrl_utils::IsBreak;
using ctrl_utils::NormaliseBreaks;
using ctrl_utils::TMeasureDC;

namespace {

constexpr int kNoLimit = 0x7FFFFFFE;

bool IsCJK(char32_t c) { return c >= 0x2E80 && !(c >= 0xFF01 && c <= 0xFF5E); }

// A pasted text in a single-line edit ends at its first line break.
std::u32string FirstLine(const std::u32string& s) {
  std::size_t p = s.find_first_of(U"\r\n");
  return p == std::u32string::npos ? s : s.substr(0, p);
}

}  // namespace

KELM_PUBLISH(TCustomEdit) {}

KELM_PUBLISH(TEdit) { Published(b); }

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  // The bars show only as the ScrollBars property asks (CreateWnd) and then stay, disabled
  // while there is nothing to scroll, as the native edit's do.
  FBars = std::make_unique<TWindowScrollBars>(this);
  FBars->SetAllowed(SB_HORZ, false);
  FBars->SetAllowed(SB_VERT, false);
  FBars->SetDisableNoScroll(true);
  SetControlStyle({csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight, csCaptureMouse});
  SetBounds(0, 0, 121, 25);
  SetTabStop(true);
  SetColor(clWindow);
  TControl::SetAutoSize(true);
}

TCustomEdit::~TCustomEdit() {
  if (CaretWindow() != 0 && CaretWindow() == (HandleAllocated() ? Handle() : 0)) DestroyCaret();
}

// ---------------------------------------------------------------- window and styles

void TCustomEdit::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.Style |= ES_AUTOVSCROLL;
  if (!IsMultiLine() || !FWordWrap) P.Style |= ES_AUTOHSCROLL;
  if (FMultiLine) P.Style |= ES_MULTILINE;
  if (FAlignment == taRightJustify) P.Style |= ES_RIGHT;
  else if (FAlignment == taCenter) P.Style |= ES_CENTER;
  if (FReadOnly) P.Style |= ES_READONLY;
  if (FPasswordChar != 0) P.Style |= ES_PASSWORD;
  if (FCharCase == ecUpperCase) P.Style |= ES_UPPERCASE;
  else if (FCharCase == ecLowerCase) P.Style |= ES_LOWERCASE;
  if (!FHideSelection) P.Style |= ES_NOHIDESEL;
  if (FOEMConvert) P.Style |= ES_OEMCONVERT;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) P.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) P.Style |= WS_HSCROLL;
  ctrl_utils::AddBorderStyle(P, FBorderStyle, Ctl3D());
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  FBars->SetAllowed(SB_VERT, FScrollBars == ssVertical || FScrollBars == ssBoth);
  FBars->SetAllowed(SB_HORZ, FScrollBars == ssHorizontal || FScrollBars == ssBoth);
  InvalidateLayout();
  UpdateScrollBars();
}

void TCustomEdit::RecreateForStyle() {
  if (HandleAllocated()) RecreateWnd();
  InvalidateLayout();
  UpdateScrollBars();
  Invalidate();
}

void TCustomEdit::Loaded() {
  TWinControl::Loaded();
  FModified = false;
  InvalidateLayout();
}

bool TCustomEdit::IsMultiLine() const {
  return FMultiLine || (HandleAllocated() && (WindowStyle() & ES_MULTILINE) != 0);
}

TAlignment TCustomEdit::EffectiveAlignment() const {
  if (!HandleAllocated()) return FAlignment;
  DWORD s = WindowStyle();
  if (s & ES_RIGHT) return taRightJustify;
  if (s & ES_CENTER) return taCenter;
  return taLeftJustify;
}

bool TCustomEdit::CanAutoSize(int& NewWidth, int& NewHeight) {
  // The platform sizes an autosized single-border edit to its font: the character cell
  // and the frame.
  if (FBorderStyle == bsSingle && !IsMultiLine()) NewHeight = ctrl_utils::CellHeightOf(Font()) + (Ctl3D() ? 8 : 6);
  return true;
}

void TCustomEdit::SetAutoSize(bool v) {
  if (v == AutoSize()) return;
  TControl::SetAutoSize(v);
  SetControlStyle(v ? ControlStyle() + csFixedHeight : ControlStyle() - csFixedHeight);
}

// ---------------------------------------------------------------- properties

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
  if (v == FBorderStyle) return;
  FBorderStyle = v;
  RecreateForStyle();
  AdjustSize();
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  if (v == FCharCase) return;
  FCharCase = v;
  RecreateForStyle();
  std::u32string cased = ApplyCase(FChars);
  if (cased != FChars) {
    String t = Utf32ToUtf8(cased);
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
  }
}

void TCustomEdit::SetHideSelection(bool v) {
  if (v == FHideSelection) return;
  FHideSelection = v;
  Invalidate();
}

void TCustomEdit::SetMaxLength(int v) {
  if (v < 0) v = 0;
  Perform(EM_LIMITTEXT, static_cast<WPARAM>(v), 0);
}

bool TCustomEdit::Modified() const { return const_cast<TCustomEdit*>(this)->Perform(EM_GETMODIFY) != 0; }

void TCustomEdit::SetModified(bool v) { Perform(EM_SETMODIFY, v ? 1 : 0, 0); }

void TCustomEdit::SetPasswordChar(Char v) {
  if (v == FPasswordChar) return;
  Perform(EM_SETPASSWORDCHAR, static_cast<WPARAM>(v), 0);
}

void TCustomEdit::SetReadOnly(bool v) { Perform(EM_SETREADONLY, v ? 1 : 0, 0); }

void TCustomEdit::SetAlignment(TAlignment v) {
  if (v == FAlignment) return;
  FAlignment = v;
  RecreateForStyle();
}

void TCustomEdit::SetWordWraps(bool v) {
  if (v == FWordWrap) return;
  FWordWrap = v;
  FScrollX = 0;
  RecreateForStyle();
}

void TCustomEdit::SetScrollBarStyle(TScrollStyle v) {
  if (v == FScrollBars) return;
  FScrollBars = v;
  RecreateForStyle();
}

// ---------------------------------------------------------------- selection and editing API

int TCustomEdit::SelStart() const {
  DWORD s = 0, e = 0;
  const_cast<TCustomEdit*>(this)->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(s);
}

void TCustomEdit::SetSelStart(int v) { Perform(EM_SETSEL, static_cast<WPARAM>(v), static_cast<LPARAM>(v)); }

int TCustomEdit::SelLength() const {
  DWORD s = 0, e = 0;
  const_cast<TCustomEdit*>(this)->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(e) - static_cast<int>(s);
}

void TCustomEdit::SetSelLength(int v) {
  DWORD s = 0, e = 0;
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  Perform(EM_SETSEL, s, static_cast<LPARAM>(static_cast<int>(s) + v));
  Perform(EM_SCROLLCARET);
}

String TCustomEdit::SelText() const {
  int s = SelStart(), n = SelLength();
  return Copy(Text(), s + 1, n);
}

void TCustomEdit::SetSelText(const String& v) { Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(v.c_str())); }

void TCustomEdit::SelectAll() { Perform(EM_SETSEL, 0, -1); }

int TCustomEdit::GetSelTextBuf(char* Buffer, int BufSize) const {
  if (!Buffer || BufSize <= 0) return 0;
  // Whole characters only, always terminated.
  return CopyTextToBuffer(SelText(), Buffer, BufSize);
}

void TCustomEdit::Clear() { SetText(String()); }
void TCustomEdit::ClearSelection() { Perform(WM_CLEAR); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE); }
void TCustomEdit::Undo() { Perform(WM_UNDO); }
bool TCustomEdit::CanUndo() const { return const_cast<TCustomEdit*>(this)->Perform(EM_CANUNDO) != 0; }
void TCustomEdit::ClearUndo() { Perform(EM_EMPTYUNDOBUFFER); }

void TCustomEdit::Change() {
  Changed();
  OnChange(this);
}

void TCustomEdit::DoEnter() {
  // Entering by keyboard selects the whole text; a click places the caret instead.
  if (FAutoSelect && !ControlState().Contains(csLButtonDown) && !IsMultiLine()) SelectAll();
  TWinControl::DoEnter();
}

// ---------------------------------------------------------------- the model

int TCustomEdit::ClampIndex(int i) const { return std::clamp(i, 0, Length()); }

std::u32string TCustomEdit::ApplyCase(const std::u32string& s) const {
  DWORD st = HandleAllocated() ? WindowStyle() : 0;
  bool upper = FCharCase == ecUpperCase || (st & ES_UPPERCASE);
  bool lower = FCharCase == ecLowerCase || (st & ES_LOWERCASE);
  if (!upper && !lower) return s;
  String u = Utf32ToUtf8(s);
  return Utf8ToUtf32(upper ? AnsiUpperCase(u) : AnsiLowerCase(u));
}

void TCustomEdit::SyncWindowText() { TWinControl::SetWindowTextDirect(Utf32ToUtf8(FChars)); }

void TCustomEdit::SetWindowTextDirect(const String& v) {
  std::u32string t = Utf8ToUtf32(v);
  if (IsMultiLine()) t = NormaliseBreaks(t);
  const int old = Length();
  FChars = ApplyCase(t);
  CharsReplaced(0, old, Length());
  FAnchor = FCaret = 0;
  FScrollX = 0;
  FTopLine = 0;
  SyncWindowText();
  InvalidateLayout();
  UpdateScrollBars();
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::DoSetTextMessage(const String& Text, TMessage& M) {
  std::u32string before = FChars;
  SetWindowTextDirect(Text);
  FModified = false;
  M.Result = 1;
  if (FChars != before) SendChange();
}

void TCustomEdit::SendChange() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading)) return;
  Perform(CN_COMMAND, MakeWParam(0, EN_CHANGE), HandleAllocated() ? static_cast<LPARAM>(Handle()) : 0);
}

void TCustomEdit::ReplaceChars(int Start, int End, const std::u32string& Text, bool User) {
  Start = ClampIndex(Start);
  End = ClampIndex(End);
  if (End < Start) std::swap(Start, End);
  bool changed = FChars.compare(static_cast<std::size_t>(Start), static_cast<std::size_t>(End - Start), Text) != 0;
  FChars.replace(static_cast<std::size_t>(Start), static_cast<std::size_t>(End - Start), Text);
  FAnchor = FCaret = Start + static_cast<int>(Text.size());
  CharsReplaced(Start, End, static_cast<int>(Text.size()));
  if (User) FModified = true;
  SyncWindowText();
  Relayout(true);
  if (changed) SendChange();
}

void TCustomEdit::MoveSelection(int AAnchor, int ACaret) {
  AAnchor = ClampIndex(AAnchor);
  ACaret = ClampIndex(ACaret);
  if (AAnchor == FAnchor && ACaret == FCaret) return;
  FAnchor = AAnchor;
  FCaret = ACaret;
  ScrollCaret();
  UpdateCaret();
  Invalidate();
}

// Typed or pasted text replaces the selection, within MaxLength; false when nothing fit.
bool TCustomEdit::InsertTyped(const std::u32string& Text) {
  std::u32string t = ApplyCase(Text);
  if (FMaxLength > 0) {
    int room = FMaxLength - (Length() - (SelMax() - SelMin()));
    if (room < static_cast<int>(t.size())) {
      if (room <= 0) {
        MessageBeep(0);
        Perform(CN_COMMAND, MakeWParam(0, EN_MAXTEXT), 0);
        return false;
      }
      t.resize(static_cast<std::size_t>(room));
      // A line break is not split in two.
      if (!t.empty() && t.back() == U'\r') t.pop_back();
    }
  }
  ReplaceChars(SelMin(), SelMax(), t, true);
  return true;
}

int TCustomEdit::PrevPos(int i) const {
  if (i <= 0) return 0;
  if (i >= 2 && FChars[static_cast<std::size_t>(i - 1)] == U'\n' && FChars[static_cast<std::size_t>(i - 2)] == U'\r')
    return i - 2;
  return i - 1;
}

int TCustomEdit::NextPos(int i) const {
  if (i >= Length()) return Length();
  if (FChars[static_cast<std::size_t>(i)] == U'\r' && i + 1 < Length() && FChars[static_cast<std::size_t>(i + 1)] == U'\n')
    return i + 2;
  return i + 1;
}

void TCustomEdit::DeleteSelectionOr(int Direction) {
  if (FReadOnly) {
    MessageBeep(0);
    return;
  }
  if (SelMin() != SelMax()) {
    ReplaceChars(SelMin(), SelMax(), {}, true);
    return;
  }
  if (Direction < 0 && FCaret > 0) ReplaceChars(PrevPos(FCaret), FCaret, {}, true);
  else if (Direction > 0 && FCaret < Length()) ReplaceChars(FCaret, NextPos(FCaret), {}, true);
}

// Words are runs of characters between blanks and line breaks.
int TCustomEdit::WordLeft(int i) const {
  while (i > 0 && (IsBlank(FChars[static_cast<std::size_t>(i - 1)]) || IsBreak(FChars[static_cast<std::size_t>(i - 1)]))) --i;
  while (i > 0 && !IsBlank(FChars[static_cast<std::size_t>(i - 1)]) && !IsBreak(FChars[static_cast<std::size_t>(i - 1)])) --i;
  return i;
}

int TCustomEdit::WordRight(int i) const {
  int n = Length();
  if (i < n && IsBreak(FChars[static_cast<std::size_t>(i)])) return NextPos(i);
  while (i < n && !IsBlank(FChars[static_cast<std::size_t>(i)]) && !IsBreak(FChars[static_cast<std::size_t>(i)])) ++i;
  while (i < n && IsBlank(FChars[static_cast<std::size_t>(i)])) ++i;
  return i;
}

void TCustomEdit::SelectWordAt(int i) {
  int n = Length();
  i = ClampIndex(i);
  auto word = [&](int k) { return !IsBlank(FChars[static_cast<std::size_t>(k)]) && !IsBreak(FChars[static_cast<std::size_t>(k)]); };
  int s = i, e = i;
  if (i < n && word(i)) {
    while (s > 0 && word(s - 1)) --s;
    while (e < n && word(e)) ++e;
  } else if (i > 0 && word(i - 1)) {
    e = i;
    s = i;
    while (s > 0 && word(s - 1)) --s;
  }
  MoveSelection(s, e);
}

// ---------------------------------------------------------------- layout

void TCustomEdit::InvalidateLayout() { FLayoutValid = false; }

std::u32string TCustomEdit::DisplayChars() const {
  Char pw = FPasswordChar;
  std::u32string d = FChars;
  for (char32_t& c : d) {
    if (pw != 0 && !IsBreak(c)) c = pw;
    else if (c == U'\t') c = U' ';
  }
  return d;
}

TRect TCustomEdit::FormatRect() const {
  if (FHasFormatRect) return FFormatRect;
  TRect r = ClientRect();
  r.Left += FLeftMargin;
  r.Right -= FRightMargin;
  if (!IsMultiLine() && r.Height() > LineHeight() + 1) r.Top += 1;
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

int TCustomEdit::LineHeight() const {
  if (!FLayoutValid) EnsureLayout();
  return std::max(1, FLineHeight);
}

void TCustomEdit::EnsureLayout() const {
  if (FLayoutValid) return;
  FLayoutValid = true;
  auto* self = const_cast<TCustomEdit*>(this);
  TMeasureDC dc(self->Font());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  FLineHeight = tm.tmHeight;
  FLines.clear();
  int n = static_cast<int>(FChars.size());
  FCharX.assign(static_cast<std::size_t>(n) + 1, 0);
  std::u32string disp = DisplayChars();
  bool multi = IsMultiLine();
  int wrap = 0;
  if (multi && FWordWrap) {
    // The wrap width is the formatting rectangle's, which needs the line height only for
    // single-line edits: no recursion here.
    TRect r = FHasFormatRect ? FFormatRect : ClientRect();
    wrap = std::max(1, FHasFormatRect ? r.Width() : r.Width() - FLeftMargin - FRightMargin);
  }
  std::vector<int> ext;
  int i = 0;
  for (;;) {
    int start = i, end = i;
    if (multi) {
      while (end < n && !IsBreak(FChars[static_cast<std::size_t>(end)])) ++end;
    } else {
      end = n;
    }
    int next = end;
    if (end < n) {
      next = end + 1;
      if (FChars[static_cast<std::size_t>(end)] == U'\r' && end + 1 < n && FChars[static_cast<std::size_t>(end + 1)] == U'\n')
        next = end + 2;
    }
    int len = end - start;
    ext.assign(static_cast<std::size_t>(len), 0);
    if (len > 0) {
      String u = Utf32ToUtf8(std::u32string_view(disp).substr(static_cast<std::size_t>(start), static_cast<std::size_t>(len)));
      TSize sz;
      GetTextExtentExPoint(dc, u, len, 0, nullptr, ext.data(), &sz);
    }
    auto cum = [&](int k) { return k <= start ? 0 : ext[static_cast<std::size_t>(k - start - 1)]; };  // width before char k
    int ls = start;
    for (;;) {
      int base = cum(ls);
      int fit = end;
      if (wrap > 0) {
        fit = ls;
        while (fit < end && cum(fit + 1) - base <= wrap) ++fit;
      }
      if (fit >= end) {
        for (int k = ls; k < end; ++k) FCharX[static_cast<std::size_t>(k)] = cum(k) - base;
        int w = cum(end) - base;
        for (int k = end; k < next; ++k) FCharX[static_cast<std::size_t>(k)] = w;
        if (next == n) FCharX[static_cast<std::size_t>(n)] = (end == n ? w : 0);
        FLines.push_back({ls, end, next, w});
        break;
      }
      // Break after the last blank, or between CJK characters, that fits; a longer word is cut.
      int k = fit;
      while (k > ls && !IsBlank(FChars[static_cast<std::size_t>(k - 1)]) && !IsCJK(FChars[static_cast<std::size_t>(k - 1)]) &&
             !IsCJK(FChars[static_cast<std::size_t>(k)]))
        --k;
      if (k == ls) k = std::max(fit, ls + 1);
      while (k < end && IsBlank(FChars[static_cast<std::size_t>(k)])) ++k;
      for (int j = ls; j < k; ++j) FCharX[static_cast<std::size_t>(j)] = cum(j) - base;
      FLines.push_back({ls, k, k, cum(k) - base});
      ls = k;
      if (ls >= end) {
        // Only blanks were left: the hard line ends here.
        FLines.back().End = end;
        FLines.back().Next = next;
        for (int j = end; j < next; ++j) FCharX[static_cast<std::size_t>(j)] = FLines.back().Width;
        break;
      }
    }
    if (!multi || end >= n) break;
    i = next;
    if (i >= n) {
      FLines.push_back({n, n, n, 0});  // the empty line after a final break
      FCharX[static_cast<std::size_t>(n)] = 0;
      break;
    }
  }
  if (FLines.empty()) FLines.push_back({0, 0, 0, 0});
}

int TCustomEdit::LayoutLineCount() const {
  EnsureLayout();
  return static_cast<int>(FLines.size());
}

int TCustomEdit::LayoutLineStart(int Line) const {
  EnsureLayout();
  Line = std::clamp(Line, 0, static_cast<int>(FLines.size()) - 1);
  return FLines[static_cast<std::size_t>(Line)].Start;
}

int TCustomEdit::LayoutLineEnd(int Line) const {
  EnsureLayout();
  Line = std::clamp(Line, 0, static_cast<int>(FLines.size()) - 1);
  return FLines[static_cast<std::size_t>(Line)].End;
}

int TCustomEdit::LineOfChar(int Index) const {
  EnsureLayout();
  int lo = 0, hi = static_cast<int>(FLines.size()) - 1;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (FLines[static_cast<std::size_t>(mid)].Start <= Index) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

int TCustomEdit::CharX(int Index) const {
  EnsureLayout();
  return FCharX[static_cast<std::size_t>(std::clamp(Index, 0, Length()))];
}

int TCustomEdit::LineWidth(int Line) const {
  EnsureLayout();
  return FLines[static_cast<std::size_t>(std::clamp(Line, 0, static_cast<int>(FLines.size()) - 1))].Width;
}

int TCustomEdit::LineOffsetX(int Line) const {
  TAlignment a = EffectiveAlignment();
  if (a == taLeftJustify) return 0;
  int w = FormatRect().Width(), lw = LineWidth(Line);
  if (lw >= w) return 0;
  return a == taRightJustify ? std::max(0, w - lw - 1) : (w - lw) / 2;
}

TPoint TCustomEdit::PosFromChar(int Index) const {
  TRect fr = FormatRect();
  int line = LineOfChar(Index);
  return {fr.Left - FScrollX + LineOffsetX(line) + CharX(Index), fr.Top + (line - FTopLine) * LineHeight()};
}

int TCustomEdit::CharFromPos(TPoint P) const {
  TRect fr = FormatRect();
  int lh = LineHeight();
  int line = FTopLine + (P.Y < fr.Top ? -1 : (P.Y - fr.Top) / lh);
  line = std::clamp(line, 0, LayoutLineCount() - 1);
  const TLayoutLine& l = FLines[static_cast<std::size_t>(line)];
  int x = P.X - (fr.Left - FScrollX + LineOffsetX(line));
  for (int j = l.Start; j < l.End; ++j) {
    int left = CharX(j), right = j + 1 < l.End ? CharX(j + 1) : l.Width;
    if (x < (left + right) / 2) return j;
  }
  return l.End;
}

int TCustomEdit::WidestLine() const {
  EnsureLayout();
  int widest = 0;
  for (const TLayoutLine& l : FLines) widest = std::max(widest, l.Width);
  return widest;
}

int TCustomEdit::VisibleLineCount() const { return std::max(1, FormatRect().Height() / LineHeight()); }

void TCustomEdit::ScrollCaret() {
  EnsureLayout();
  TRect fr = FormatRect();
  int w = std::max(1, fr.Width());
  int line = LineOfChar(FCaret);
  if (IsMultiLine()) {
    int vis = VisibleLineCount();
    if (line < FTopLine) FTopLine = line;
    else if (line >= FTopLine + vis) FTopLine = line - vis + 1;
    FTopLine = std::clamp(FTopLine, 0, std::max(0, LayoutLineCount() - 1));
  }
  if (IsMultiLine() && FWordWrap) {
    FScrollX = 0;
  } else {
    int widest = WidestLine();
    int x = LineOffsetX(line) + CharX(FCaret);
    // The view jumps by a quarter of its width, as the platform's edit does.
    if (x < FScrollX) FScrollX = std::max(0, x - w / 4);
    else if (x >= FScrollX + w) FScrollX = x - w + 1 + w / 4;
    FScrollX = std::clamp(FScrollX, 0, std::max(0, widest + 1 - w));
  }
  UpdateScrollBars();
}

void TCustomEdit::UpdateCaret() {
  if (!HandleAllocated() || CaretWindow() != Handle()) return;
  TPoint p = PosFromChar(FCaret);
  SetCaretPos(p.X, p.Y);
}

// ---------------------------------------------------------------- painting

void TCustomEdit::PaintEdit(HDC DC) {
  EnsureLayout();
  TRect fr = FormatRect();
  int lh = LineHeight();
  int saved = SaveDC(DC);
  IntersectClipRect(DC, fr.Left, fr.Top, fr.Right, fr.Bottom);
  SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  COLORREF text = Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT);
  bool showSel = SelMin() != SelMax() && (Focused() || !FHideSelection);
  std::u32string disp = DisplayChars();
  int count = static_cast<int>(FLines.size());
  for (int li = std::max(0, FTopLine); li < count; ++li) {
    int y = fr.Top + (li - FTopLine) * lh;
    if (y >= fr.Bottom) break;
    const TLayoutLine& l = FLines[static_cast<std::size_t>(li)];
    int x0 = fr.Left - FScrollX + LineOffsetX(li);
    int a = showSel ? std::clamp(SelMin(), l.Start, l.End) : l.End;
    int bnd = showSel ? std::clamp(SelMax(), l.Start, l.End) : l.End;
    struct TSeg {
      int From, To;
      bool Selected;
    } segs[3] = {{l.Start, a, false}, {a, bnd, true}, {bnd, l.End, false}};
    for (const TSeg& s : segs) {
      if (s.To <= s.From) continue;
      int x = x0 + CharX(s.From);
      int xe = x0 + (s.To < l.End ? CharX(s.To) : l.Width);
      if (xe < fr.Left || x > fr.Right) continue;
      if (s.Selected) {
        FillRect(DC, Rect(x, y, xe, y + lh), GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(DC, GetSysColor(COLOR_HIGHLIGHTTEXT));
      } else {
        SetTextColor(DC, text);
      }
      TextOut(DC, x, y, Utf32ToUtf8(std::u32string_view(disp).substr(static_cast<std::size_t>(s.From), static_cast<std::size_t>(s.To - s.From))));
    }
  }
  RestoreDC(DC, saved);
  if (HandleAllocated()) DrawCaret(Handle(), DC);
}

// ---------------------------------------------------------------- the window's scroll bars

void TCustomEdit::UpdateScrollBars() {
  // A window made later is brought up to date by CreateWnd; a single-line edit has no bars.
  if (!HandleAllocated() || (FScrollBars == ssNone && !IsMultiLine())) return;
  EnsureLayout();
  int lines = LayoutLineCount(), vis = VisibleLineCount();
  int widest = WidestLine();
  int w = std::max(1, FormatRect().Width());
  // Wrapped text never scrolls sideways: the horizontal bar stays, with nothing to scroll.
  FBars->SetInfo({0, FWordWrap ? 0 : std::max(0, widest), w, FScrollX}, {0, std::max(0, lines - 1), vis, FTopLine});
}

void TCustomEdit::ScrollLines(int Lines) {
  int top = std::clamp(FTopLine + Lines, 0, std::max(0, LayoutLineCount() - VisibleLineCount()));
  if (top == FTopLine) return;
  FTopLine = top;
  UpdateScrollBars();
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::WndProc(TMessage& M) {
  if (FBars->MouseMessage(M)) return;
  TWinControl::WndProc(M);
}

// ---------------------------------------------------------------- messages

void TCustomEdit::Dispatch(TMessage& M) {
  if (FBars->Dispatch(M)) return;
  switch (M.Msg) {
    case CN_COMMAND:
      if (HiWord(M.WParam) == EN_CHANGE) Change();
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(M);
      InvalidateLayout();
      if (Focused() && HandleAllocated()) {
        CreateCaret(Handle(), 1, LineHeight());
        UpdateCaret();
        ShowCaret(Handle());
      }
      if (AutoSize()) AdjustSize();
      return;
    case CM_CTL3DCHANGED:
      TWinControl::Dispatch(M);
      RecreateForStyle();
      if (AutoSize()) AdjustSize();
      return;
    case CM_ENABLEDCHANGED:
      TWinControl::Dispatch(M);
      Invalidate();
      return;
    default:
      break;
  }
  TWinControl::Dispatch(M);
}

void TCustomEdit::FocusDefault(bool Gained) {
  if (Gained) {
    CreateCaret(Handle(), 1, LineHeight());
    UpdateCaret();
    ShowCaret(Handle());
  } else {
    FSelecting = false;
    if (CaretWindow() == Handle()) DestroyCaret();
  }
  Invalidate();
}

void TCustomEdit::SetSelMessage(TMessage& M) {
  int s = static_cast<int>(static_cast<std::intptr_t>(M.WParam));
  int e = static_cast<int>(M.LParam);
  if (s == -1) {
    MoveSelection(FCaret, FCaret);
    return;
  }
  if (s < 0) s = 0;
  if (e < 0 || e > Length()) e = Length();
  s = std::min(s, Length());
  // Inside a line break the position goes before it.
  auto fix = [&](int i) { return (i > 0 && i < Length() && FChars[static_cast<std::size_t>(i - 1)] == U'\r' && FChars[static_cast<std::size_t>(i)] == U'\n') ? i - 1 : i; };
  MoveSelection(fix(s), fix(e));
}

void TCustomEdit::CopySelection() {
  if (FPasswordChar != 0 || SelMin() == SelMax()) return;
  Clipboard()->SetAsText(Utf32ToUtf8(std::u32string_view(FChars).substr(static_cast<std::size_t>(SelMin()), static_cast<std::size_t>(SelMax() - SelMin()))));
}

void TCustomEdit::PasteText() {
  if (FReadOnly) return;
  std::u32string t = Utf8ToUtf32(Clipboard()->AsText());
  if (t.empty()) return;
  t = IsMultiLine() ? NormaliseBreaks(t) : FirstLine(t);
  InsertTyped(t);
}

// The messages of the native edit, one handler each; false for the others.
bool TCustomEdit::EditMessage(TMessage& M) {
  switch (M.Msg) {
    case EM_GETSEL: EMGetSel(M); return true;
    case EM_SETSEL: SetSelMessage(M); return true;
    case EM_GETRECT:
      if (M.LParam) *reinterpret_cast<TRect*>(M.LParam) = FormatRect();
      return true;
    case EM_SETRECT:
    case EM_SETRECTNP: EMSetRect(M); return true;
    case EM_SCROLL: EMScroll(M); return true;
    case EM_LINESCROLL: EMLineScroll(M); return true;
    case EM_SCROLLCARET:
      Relayout(false);
      M.Result = 1;
      return true;
    case EM_GETMODIFY: M.Result = FModified ? 1 : 0; return true;
    case EM_SETMODIFY: FModified = M.WParam != 0; return true;
    case EM_GETLINECOUNT: M.Result = IsMultiLine() ? LayoutLineCount() : 1; return true;
    case EM_LINEINDEX: EMLineIndex(M); return true;
    case EM_LINELENGTH: EMLineLength(M); return true;
    case EM_LINEFROMCHAR: EMLineFromChar(M); return true;
    case EM_GETLINE: EMGetLine(M); return true;
    case EM_REPLACESEL: EMReplaceSel(M); return true;
    case EM_LIMITTEXT: EMLimitText(M); return true;
    case EM_GETLIMITTEXT: M.Result = FMaxLength > 0 ? FMaxLength : kNoLimit; return true;
    case EM_CANUNDO:
    case EM_UNDO:
    case WM_UNDO:
    case EM_EMPTYUNDOBUFFER: M.Result = 0; return true;  // no undo of its own
    case EM_GETFIRSTVISIBLELINE:
      M.Result = IsMultiLine() ? FTopLine : CharFromPos({FormatRect().Left, FormatRect().Top});
      return true;
    case EM_SETREADONLY: EMSetReadOnly(M); return true;
    case EM_SETPASSWORDCHAR: EMSetPasswordChar(M); return true;
    case EM_GETPASSWORDCHAR: M.Result = static_cast<LRESULT>(FPasswordChar); return true;
    case EM_SETMARGINS: EMSetMargins(M); return true;
    case EM_GETMARGINS: M.Result = MakeLParam(FLeftMargin, FRightMargin); return true;
    case EM_POSFROMCHAR: EMPosFromChar(M); return true;
    case EM_CHARFROMPOS: EMCharFromPos(M); return true;
    case WM_CUT: WMCut(M); return true;
    case WM_COPY: CopySelection(); return true;
    case WM_PASTE: PasteText(); return true;
    case WM_CLEAR: WMClear(M); return true;
    default: return false;
  }
}

// The layout changed (formatting rectangle, margins, password character): lay the text out
// again when asked, keep the caret in view and repaint.
void TCustomEdit::Relayout(bool Layout) {
  if (Layout) InvalidateLayout();
  ScrollCaret();
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::EMGetSel(TMessage& M) {
  if (M.WParam) *reinterpret_cast<DWORD*>(M.WParam) = static_cast<DWORD>(SelMin());
  if (M.LParam) *reinterpret_cast<DWORD*>(M.LParam) = static_cast<DWORD>(SelMax());
  M.Result = MakeLParam(SelMin(), SelMax());
}

void TCustomEdit::EMSetRect(TMessage& M) {
  FHasFormatRect = M.LParam != 0;
  if (M.LParam) FFormatRect = *reinterpret_cast<const TRect*>(M.LParam);
  Relayout(true);
}

void TCustomEdit::EMScroll(TMessage& M) {
  int before = FTopLine;
  if (IsMultiLine()) {
    int page = std::max(1, VisibleLineCount() - 1);
    switch (LoWord(M.WParam)) {
      case SB_LINEUP: ScrollLines(-1); break;
      case SB_LINEDOWN: ScrollLines(1); break;
      case SB_PAGEUP: ScrollLines(-page); break;
      case SB_PAGEDOWN: ScrollLines(page); break;
      default: break;
    }
  }
  M.Result = MakeLParam(FTopLine - before, 1);
}

void TCustomEdit::EMLineScroll(TMessage& M) {
  M.Result = 1;
  if (!IsMultiLine()) return;
  ScrollLines(static_cast<int>(M.LParam));
  if (FWordWrap) return;
  FScrollX = std::max(0, FScrollX + static_cast<int>(static_cast<std::intptr_t>(M.WParam)) * 8);
  UpdateScrollBars();
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::EMLineIndex(TMessage& M) {
  int line = static_cast<int>(static_cast<std::intptr_t>(M.WParam));
  if (line == -1) line = LineOfChar(FCaret);
  M.Result = line >= 0 && line < LayoutLineCount() ? LayoutLineStart(line) : -1;
}

void TCustomEdit::EMLineLength(TMessage& M) {
  int idx = static_cast<int>(static_cast<std::intptr_t>(M.WParam));
  int line = LineOfChar(idx < 0 ? FCaret : ClampIndex(idx));
  M.Result = LayoutLineEnd(line) - LayoutLineStart(line);
}

void TCustomEdit::EMLineFromChar(TMessage& M) {
  int idx = static_cast<int>(static_cast<std::intptr_t>(M.WParam));
  M.Result = LineOfChar(idx < 0 ? SelMin() : ClampIndex(idx));
}

// The buffer's first word holds its size in bytes; the line goes in as whole characters.
void TCustomEdit::EMGetLine(TMessage& M) {
  auto* buf = reinterpret_cast<char*>(M.LParam);
  if (!buf) return;
  Word size = 0;
  std::copy_n(buf, sizeof(Word), reinterpret_cast<char*>(&size));
  int line = IsMultiLine() ? static_cast<int>(M.WParam) : 0;
  M.Result = 0;
  if (line < 0 || line >= LayoutLineCount()) return;
  int s = LayoutLineStart(line), e = LayoutLineEnd(line);
  String t = Utf32ToUtf8(std::u32string_view(FChars).substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s)));
  std::size_t n = std::min<std::size_t>(t.size(), size);
  while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
  std::copy_n(t.data(), n, buf);
  M.Result = static_cast<LRESULT>(n);
}

void TCustomEdit::EMReplaceSel(TMessage& M) {
  std::u32string t = Utf8ToUtf32(M.LParam ? reinterpret_cast<const char*>(M.LParam) : "");
  if (IsMultiLine()) t = NormaliseBreaks(t);
  t = ApplyCase(t);
  if (FMaxLength > 0) {
    int room = std::max(0, FMaxLength - (Length() - (SelMax() - SelMin())));
    if (static_cast<int>(t.size()) > room) t.resize(static_cast<std::size_t>(room));
  }
  ReplaceChars(SelMin(), SelMax(), t, true);
}

void TCustomEdit::EMLimitText(TMessage& M) {
  FMaxLength = static_cast<int>(M.WParam);
  if (FMaxLength >= kNoLimit) FMaxLength = 0;
}

void TCustomEdit::EMSetReadOnly(TMessage& M) {
  FReadOnly = M.WParam != 0;
  if (HandleAllocated())
    SetWindowStyles(FReadOnly ? (WindowStyle() | ES_READONLY) : (WindowStyle() & ~ES_READONLY), WindowExStyle());
  Invalidate();
  M.Result = 1;
}

void TCustomEdit::EMSetPasswordChar(TMessage& M) {
  FPasswordChar = static_cast<Char>(M.WParam);
  Relayout(true);
}

void TCustomEdit::EMSetMargins(TMessage& M) {
  if (M.WParam == EC_USEFONTINFO) {
    FLeftMargin = FRightMargin = 1;
  } else {
    if (M.WParam & EC_LEFTMARGIN) FLeftMargin = LoWord(static_cast<std::uintptr_t>(M.LParam));
    if (M.WParam & EC_RIGHTMARGIN) FRightMargin = HiWord(static_cast<std::uintptr_t>(M.LParam));
  }
  Relayout(true);
}

void TCustomEdit::EMPosFromChar(TMessage& M) {
  int idx = static_cast<int>(static_cast<std::intptr_t>(M.WParam));
  if (idx < 0 || idx >= Length()) {
    M.Result = -1;
    return;
  }
  TPoint p = PosFromChar(idx);
  M.Result = MakeLParam(p.X, p.Y);
}

void TCustomEdit::EMCharFromPos(TMessage& M) {
  int i = CharFromPos(PointFromLParam(M.LParam));
  M.Result = MakeLParam(i, LineOfChar(i));
}

void TCustomEdit::WMCut(TMessage&) {
  if (FReadOnly || FPasswordChar != 0 || SelMin() == SelMax()) return;
  CopySelection();
  ReplaceChars(SelMin(), SelMax(), {}, true);
}

void TCustomEdit::WMClear(TMessage&) {
  if (!FReadOnly && SelMin() != SelMax()) ReplaceChars(SelMin(), SelMax(), {}, true);
}

void TCustomEdit::KeyDownDefault(TMessage& M) {
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  bool multi = IsMultiLine();
  int caret = FCaret;
  int target = -1;
  auto vertical = [&](int lines) {
    int line = LineOfChar(caret);
    int to = std::clamp(line + lines, 0, LayoutLineCount() - 1);
    if (to == line) return caret;
    TPoint p = PosFromChar(caret);
    TRect fr = FormatRect();
    return CharFromPos({p.X, fr.Top + (to - FTopLine) * LineHeight()});
  };
  switch (M.WParam) {
    case VK_LEFT:
      target = (!shift && FAnchor != FCaret) ? SelMin() : (ctrl ? WordLeft(caret) : PrevPos(caret));
      break;
    case VK_RIGHT:
      target = (!shift && FAnchor != FCaret) ? SelMax() : (ctrl ? WordRight(caret) : NextPos(caret));
      break;
    case VK_UP:
      // A single-line edit takes Up and Down as Left and Right.
      target = multi ? vertical(-1) : ((!shift && FAnchor != FCaret) ? SelMin() : PrevPos(caret));
      break;
    case VK_DOWN:
      target = multi ? vertical(1) : ((!shift && FAnchor != FCaret) ? SelMax() : NextPos(caret));
      break;
    case VK_PRIOR:
      if (multi) target = vertical(-std::max(1, VisibleLineCount() - 1));
      break;
    case VK_NEXT:
      if (multi) target = vertical(std::max(1, VisibleLineCount() - 1));
      break;
    case VK_HOME:
      target = (multi && !ctrl) ? LayoutLineStart(LineOfChar(caret)) : 0;
      break;
    case VK_END:
      target = (multi && !ctrl) ? LayoutLineEnd(LineOfChar(caret)) : Length();
      break;
    case VK_DELETE:
      if (shift) Perform(WM_CUT);
      else DeleteSelectionOr(1);
      return;
    case VK_INSERT:
      if (shift) Perform(WM_PASTE);
      else if (ctrl) Perform(WM_COPY);
      return;
    default:
      return;
  }
  if (target < 0) return;
  MoveSelection(shift ? FAnchor : target, target);
}

void TCustomEdit::CharDefault(TMessage& M) {
  Char c = static_cast<Char>(M.WParam);
  bool multi = IsMultiLine();
  switch (c) {
    case 3: Perform(WM_COPY); return;
    case 22: Perform(WM_PASTE); return;
    case 24: Perform(WM_CUT); return;
    case 26: return;  // no undo
    case 1: MoveSelection(0, Length()); return;
    case 8: DeleteSelectionOr(-1); return;
    case 13:
    case 10:
      if (!multi) {
        MessageBeep(0);
        return;
      }
      if (FReadOnly) {
        MessageBeep(0);
        return;
      }
      InsertTyped(U"\r\n");
      return;
    case 9:
      if (multi && !FReadOnly) InsertTyped(U"\t");
      return;
    case 27:
      if (!multi) MessageBeep(0);
      return;
    default:
      break;
  }
  if (c < 32 || c == 127) return;
  if (FReadOnly) {
    MessageBeep(0);
    return;
  }
  if (HandleAllocated() && (WindowStyle() & ES_NUMBER) && !(c >= U'0' && c <= U'9')) {
    MessageBeep(0);
    return;
  }
  InsertTyped(std::u32string(1, c));
}

void TCustomEdit::MouseDefault(TMessage& M) {
  TPoint p = PointFromLParam(M.LParam);
  switch (M.Msg) {
    case WM_LBUTTONDOWN: {
      if (!Focused() && CanFocus()) SetFocus();
      int i = CharFromPos(p);
      bool shift = (M.WParam & MK_SHIFT) != 0;
      MoveSelection(shift ? FAnchor : i, i);
      FSelecting = true;
      return;
    }
    case WM_LBUTTONDBLCLK:
      if (!Focused() && CanFocus()) SetFocus();
      SelectWordAt(CharFromPos(p));
      FSelecting = false;
      return;
    case WM_MOUSEMOVE:
      if (FSelecting && (M.WParam & MK_LBUTTON)) MoveSelection(FAnchor, CharFromPos(p));
      return;
    case WM_LBUTTONUP:
      FSelecting = false;
      return;
    default:
      return;
  }
}

void TCustomEdit::DefaultHandler(TMessage& M) {
  if (EditMessage(M)) return;
  switch (M.Msg) {
    case WM_SETTEXT:
      DoSetTextMessage(M.LParam ? String(reinterpret_cast<const char*>(M.LParam)) : String(), M);
      return;
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (IsMultiLine() ? DLGC_WANTALLKEYS : 0);
      return;
    case WM_KEYDOWN:
      KeyDownDefault(M);
      return;
    case WM_CHAR:
      CharDefault(M);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      WMMouseDefault(M);
      return;
    case WM_SETFOCUS:
      WMSetFocusDefault(M);
      return;
    case WM_KILLFOCUS:
      WMKillFocusDefault(M);
      return;
    case WM_PAINT:
      WMPaintDefault(M);
      return;
    case WM_SIZE:
      WMSizeDefault(M);
      return;
    case WM_SETCURSOR:
      if (static_cast<HWND>(M.WParam) == Handle() && static_cast<short>(LoWord(static_cast<WPARAM>(M.LParam))) == HTCLIENT) {
        TPoint p;
        GetCursorPos(&p);
        p = ScreenToClient(p);
        Widget()->setCursor(gui_glue::QtCursor(PtInRect(ClientRect(), p) ? crIBeam : crArrow));
        M.Result = 1;
        return;
      }
      break;
    case WM_VSCROLL:
      WMVScrollDefault(M);
      return;
    case WM_HSCROLL:
      WMHScrollDefault(M);
      return;
    case WM_MOUSEWHEEL:
      WMMouseWheelDefault(M);
      return;
    default:
      break;
  }
  TWinControl::DefaultHandler(M);
}

void TCustomEdit::WMMouseDefault(TMessage& M) {
  MouseDefault(M);
  TWinControl::DefaultHandler(M);
}

void TCustomEdit::WMSetFocusDefault(TMessage& M) {
  TWinControl::DefaultHandler(M);
  FocusDefault(true);
}

void TCustomEdit::WMKillFocusDefault(TMessage& M) {
  TWinControl::DefaultHandler(M);
  FocusDefault(false);
}

void TCustomEdit::WMPaintDefault(TMessage& M) {
  HDC dc = reinterpret_cast<HDC>(M.WParam);
  if (dc) PaintEdit(dc);
}

void TCustomEdit::WMSizeDefault(TMessage& M) {
  TWinControl::DefaultHandler(M);
  InvalidateLayout();
  ScrollCaret();
  UpdateCaret();
}

void TCustomEdit::WMVScrollDefault(TMessage& M) {
  if (IsMultiLine()) {
    int code = LoWord(M.WParam);
    int page = std::max(1, VisibleLineCount() - 1);
    switch (code) {
      case SB_LINEUP: ScrollLines(-1); break;
      case SB_LINEDOWN: ScrollLines(1); break;
      case SB_PAGEUP: ScrollLines(-page); break;
      case SB_PAGEDOWN: ScrollLines(page); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: ScrollLines(static_cast<short>(HiWord(M.WParam)) - FTopLine); break;
      case SB_TOP: ScrollLines(-FTopLine); break;
      case SB_BOTTOM: ScrollLines(LayoutLineCount()); break;
      default: break;
    }
  }
}

void TCustomEdit::WMHScrollDefault(TMessage& M) {
  int w = std::max(1, FormatRect().Width());
  int x = FScrollX;
  switch (LoWord(M.WParam)) {
    case SB_LINELEFT: x -= 8; break;
    case SB_LINERIGHT: x += 8; break;
    case SB_PAGELEFT: x -= w; break;
    case SB_PAGERIGHT: x += w; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: x = static_cast<short>(HiWord(M.WParam)); break;
    case SB_LEFT: x = 0; break;
    case SB_RIGHT: x = 1 << 20; break;
    default: return;
  }
  x = std::clamp(x, 0, std::max(0, WidestLine() + 1 - w));
  if (x != FScrollX) {
    FScrollX = x;
    UpdateScrollBars();
    UpdateCaret();
    Invalidate();
  }
}

void TCustomEdit::WMMouseWheelDefault(TMessage& M) {
  if (IsMultiLine()) {
    int lines = -WheelDeltaOf(M.WParam) * (Mouse ? Mouse->WheelScrollLines() : 3) / 120;
    ScrollLines(lines);
    M.Result = 1;
  }
}
