// Labels, edits, memos, buttons, check boxes, radio buttons, group boxes and scroll bars.
#include "gui/StdCtrls.h"

#include "gui/Clipbrd.h"

#include "gui/ControlProps.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/QtGlue_p.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/WinScroll.h"


#include <algorithm>
#include <map>
#include <utility>

namespace {

// A measuring context with a font selected, released at the end of the scope.
class TMeasureDC {
public:
  explicit TMeasureDC(TFont* Font) : FDC(GetDC(0)) { FOld = SelectObject(FDC, Font->Handle()); }
  ~TMeasureDC() {
    SelectObject(FDC, FOld);
    ReleaseDC(0, FDC);
  }
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  operator HDC() const { return FDC; }

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// Saves a paint context's state and selects a control's font and colours into it.
class TPaintState {
public:
  TPaintState(HDC DC, TFont* Font) : FDC(DC), FSaved(SaveDC(DC)) {
    SelectObject(DC, Font->Handle());
    SetTextColor(DC, ColorToRGB(Font->Color()));
    SetBkMode(DC, TRANSPARENT);
  }
  ~TPaintState() { RestoreDC(FDC, FSaved); }
  TPaintState(const TPaintState&) = delete;
  TPaintState& operator=(const TPaintState&) = delete;

private:
  HDC FDC;
  int FSaved;
};

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }
bool IsBreak(char32_t c) { return c == U'\r' || c == U'\n'; }

}  // namespace

// ================================================================ the caret

namespace {

struct TCaretState {
  HWND Window = 0;
  int Width = 1, Height = 0;
  TPoint Pos;
  int HideLevel = 1;  // made hidden; each ShowCaret lowers the level
  bool BlinkOn = true;
  UINT_PTR Timer = 0;
};
TCaretState gCaret;
constexpr UINT kCaretBlinkMs = 530;

void InvalidateCaretWindow() {
  if (TWinControl* c = FindControl(gCaret.Window)) c->Invalidate();
}

void CaretBlink(HWND, UINT, UINT_PTR, DWORD) {
  gCaret.BlinkOn = !gCaret.BlinkOn;
  InvalidateCaretWindow();
}

void StartBlinking() {
  gCaret.BlinkOn = true;
  gCaret.Timer = SetTimer(0, gCaret.Timer, kCaretBlinkMs, &CaretBlink);
}

}  // namespace

BOOL CreateCaret(HWND Window, int Width, int Height) {
  if (!IsWindow(Window)) return false;
  DestroyCaret();
  gCaret.Window = Window;
  gCaret.Width = Width > 0 ? Width : 1;
  gCaret.Height = Height;
  gCaret.Pos = {0, 0};
  gCaret.HideLevel = 1;
  return true;
}

BOOL DestroyCaret() {
  if (gCaret.Window == 0) return false;
  bool shown = gCaret.HideLevel == 0;
  if (gCaret.Timer) KillTimer(0, gCaret.Timer);
  gCaret.Timer = 0;
  if (shown) InvalidateCaretWindow();
  gCaret.Window = 0;
  return true;
}

BOOL SetCaretPos(int X, int Y) {
  if (gCaret.Window == 0) return false;
  if (gCaret.Pos.X == X && gCaret.Pos.Y == Y) return true;
  gCaret.Pos = {X, Y};
  if (gCaret.HideLevel == 0) {
    // A moved caret is shown at once, as typing expects.
    StartBlinking();
    InvalidateCaretWindow();
  }
  return true;
}

BOOL GetCaretPos(TPoint* Point) {
  if (!Point) return false;
  *Point = gCaret.Pos;
  return true;
}

BOOL ShowCaret(HWND Window) {
  if (gCaret.Window == 0 || (Window != 0 && Window != gCaret.Window) || gCaret.HideLevel == 0) return false;
  if (--gCaret.HideLevel == 0) {
    StartBlinking();
    InvalidateCaretWindow();
  }
  return true;
}

BOOL HideCaret(HWND Window) {
  if (gCaret.Window == 0 || (Window != 0 && Window != gCaret.Window)) return false;
  if (gCaret.HideLevel++ == 0) {
    if (gCaret.Timer) KillTimer(0, gCaret.Timer);
    gCaret.Timer = 0;
    InvalidateCaretWindow();
  }
  return true;
}

void DrawCaret(HWND Window, HDC DC) {
  if (Window == 0 || gCaret.Window != Window || gCaret.HideLevel != 0 || !gCaret.BlinkOn) return;
  InvertRect(DC, Rect(gCaret.Pos.X, gCaret.Pos.Y, gCaret.Pos.X + gCaret.Width, gCaret.Pos.Y + gCaret.Height));
}

// ================================================================ TScrollBarModel

namespace {
// The bars whose arrow or page part is held down, by the window the repeat timer runs on.
std::map<HWND, TScrollBarModel*>& RepeatingBars() {
  // Never freed: bars are still let go while the program's statics are destroyed.
  static auto* bars = new std::map<HWND, TScrollBarModel*>;
  return *bars;
}

void ScrollRepeatTimer(HWND Window, UINT, UINT_PTR, DWORD) {
  auto& bars = RepeatingBars();
  auto it = bars.find(Window);
  if (it == bars.end()) {
    KillTimer(Window, TScrollBarModel::RepeatTimerId);
    return;
  }
  it->second->Repeat();
}
}  // namespace

TScrollBarModel::~TScrollBarModel() {
  auto& bars = RepeatingBars();
  for (auto it = bars.begin(); it != bars.end();) it = it->second == this ? bars.erase(it) : std::next(it);
}

void TScrollBarModel::SetRange(int AMin, int AMax, int APage) {
  FMin = AMin;
  FMax = std::max(AMin, AMax);
  FPage = std::max(0, APage);
  FPos = std::clamp(FPos, FMin, MaxPosition());
}

int TScrollBarModel::MaxPosition() const { return std::max(FMin, FMax - std::max(FPage - 1, 0)); }

void TScrollBarModel::SetPosition(int Pos) { FPos = std::clamp(Pos, FMin, MaxPosition()); }

TScrollBarModel::TParts TScrollBarModel::Layout(const TRect& R) const {
  TParts p;
  int length = FHorizontal ? R.Width() : R.Height();
  int thick = FHorizontal ? R.Height() : R.Width();
  int arrow = std::min(thick, length / 2);
  auto part = [&](int a, int b) {
    return FHorizontal ? TRect{R.Left + a, R.Top, R.Left + b, R.Bottom} : TRect{R.Left, R.Top + a, R.Right, R.Top + b};
  };
  p.Up = part(0, arrow);
  p.Down = part(length - arrow, length);
  p.Track = part(arrow, length - arrow);
  int track = length - 2 * arrow;
  int range = FMax - FMin + 1;
  if (!FEnabled || track < 8 || range <= 0 || (FPage > 0 && FPage >= range)) return p;  // no thumb
  int thumb = FPage > 0 ? std::max(8, MulDiv(track, FPage, range)) : std::min(thick, track);
  thumb = std::min(thumb, track);
  int span = MaxPosition() - FMin;
  int start = arrow + (span > 0 ? MulDiv(track - thumb, FPos - FMin, span) : 0);
  p.Thumb = part(start, start + thumb);
  return p;
}

void TScrollBarModel::Paint(HDC DC, const TRect& R) const {
  if (IsRectEmpty(R)) return;
  TParts p = Layout(R);
  UINT inactive = (!FEnabled || IsRectEmpty(p.Thumb)) ? UINT(DFCS_INACTIVE) : 0u;
  UINT up = FHorizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLUP;
  UINT down = FHorizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN;
  TRect a = p.Up, b = p.Down;
  DrawFrameControl(DC, a, DFC_SCROLL, up | inactive | (FPressed == SB_LINEUP && FOver ? DFCS_PUSHED | DFCS_FLAT : 0));
  DrawFrameControl(DC, b, DFC_SCROLL, down | inactive | (FPressed == SB_LINEDOWN && FOver ? DFCS_PUSHED | DFCS_FLAT : 0));
  // The classic track is a dither of the face and highlight colours.
  ctrl_utils::Fill(DC, p.Track, RGB(0xEA, 0xE8, 0xE4));
  if (FOver && (FPressed == SB_PAGEUP || FPressed == SB_PAGEDOWN) && !IsRectEmpty(p.Thumb)) {
    // The held part of the track, between the thumb and the arrow, shows dark.
    TRect dark = p.Track;
    bool before = FPressed == SB_PAGEUP;
    if (FHorizontal) {
      if (before) dark.Right = p.Thumb.Left;
      else dark.Left = p.Thumb.Right;
    } else {
      if (before) dark.Bottom = p.Thumb.Top;
      else dark.Top = p.Thumb.Bottom;
    }
    FillRect(DC, dark, GetSysColorBrush(COLOR_3DDKSHADOW));
  }
  if (!IsRectEmpty(p.Thumb)) {
    TRect t = p.Thumb;
    DrawFrameControl(DC, t, DFC_BUTTON, DFCS_BUTTONPUSH);
  }
}

int TScrollBarModel::HitTest(const TRect& R, TPoint P) const {
  if (!PtInRect(R, P)) return -1;
  TParts p = Layout(R);
  if (PtInRect(p.Up, P)) return SB_LINEUP;
  if (PtInRect(p.Down, P)) return SB_LINEDOWN;
  if (IsRectEmpty(p.Thumb)) return -1;
  if (PtInRect(p.Thumb, P)) return SB_THUMBTRACK;
  bool before = FHorizontal ? P.X < p.Thumb.Left : P.Y < p.Thumb.Top;
  return before ? SB_PAGEUP : SB_PAGEDOWN;
}

void TScrollBarModel::Send(int Code, int Pos) {
  UINT msg = FMessage ? FMessage : (FHorizontal ? WM_HSCROLL : WM_VSCROLL);
  FOwner->Perform(msg, MakeWParam(Code, Pos), 0);
}

int TScrollBarModel::PosFromThumb(const TRect& R, int ThumbStart) const {
  TParts p = Layout(R);
  int thumb = FHorizontal ? p.Thumb.Width() : p.Thumb.Height();
  int track = FHorizontal ? p.Track.Width() : p.Track.Height();
  int origin = FHorizontal ? p.Track.Left : p.Track.Top;
  int free = track - thumb;
  if (free <= 0) return FMin;
  int pos = FMin + MulDiv(ThumbStart - origin, MaxPosition() - FMin, free);
  return std::clamp(pos, FMin, MaxPosition());
}

bool TScrollBarModel::MouseDown(const TRect& R, TPoint P) {
  int part = FEnabled ? HitTest(R, P) : -1;
  if (part < 0) return PtInRect(R, P);
  FPressed = part;
  FOver = true;
  FRect = R;
  FLast = P;
  FDragged = false;
  if (part == SB_THUMBTRACK) {
    TParts p = Layout(R);
    FDragOffset = FHorizontal ? P.X - p.Thumb.Left : P.Y - p.Thumb.Top;
    FTrackPos = FPos;
  } else {
    Send(part, 0);
    RepeatingBars()[FOwner->Handle()] = this;
    SetTimer(FOwner->Handle(), RepeatTimerId, 400, &ScrollRepeatTimer);
  }
  FOwner->Invalidate();
  return true;
}

bool TScrollBarModel::MouseMove(const TRect& R, TPoint P) {
  if (FPressed < 0) return false;
  FLast = P;
  if (FPressed == SB_THUMBTRACK) {
    int start = (FHorizontal ? P.X : P.Y) - FDragOffset;
    int pos = PosFromThumb(R, start);
    if (pos != FTrackPos) {
      FTrackPos = pos;
      FDragged = true;
      Send(SB_THUMBTRACK, pos);
    }
    return true;
  }
  bool over = HitTest(R, P) == FPressed;
  if (over != FOver) {
    FOver = over;
    FOwner->Invalidate();
  }
  return true;
}

bool TScrollBarModel::MouseUp(const TRect& R, TPoint P) {
  if (FPressed < 0) return false;
  int part = FPressed;
  FPressed = -1;
  FOver = false;
  auto& bars = RepeatingBars();
  auto it = bars.find(FOwner->Handle());
  if (it != bars.end() && it->second == this) {
    bars.erase(it);
    KillTimer(FOwner->Handle(), RepeatTimerId);
  }
  if (part == SB_THUMBTRACK && FDragged) Send(SB_THUMBPOSITION, FTrackPos);
  Send(SB_ENDSCROLL, 0);
  FOwner->Invalidate();
  return true;
}

void TScrollBarModel::Repeat() {
  if (FPressed < 0 || FPressed == SB_THUMBTRACK) return;
  SetTimer(FOwner->Handle(), RepeatTimerId, 100, &ScrollRepeatTimer);
  // A page press stops once the thumb has reached the mouse.
  FOver = HitTest(FRect, FLast) == FPressed;
  if (!FOver) return;
  Send(FPressed, 0);
  FOwner->Invalidate();
}

// ================================================================ TCustomLabel

KELM_PUBLISH(TCustomLabel) {}

KELM_PUBLISH(TLabel) {
  PublishControlProperties(b, control_props::Placement);
  PublishControlProperties(b, control_props::Colors);
  PublishControlProperties(b, {"Caption"});
  PublishControlProperties(b, control_props::MouseEvents);
  b.Prop("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
  b.Prop("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
  b.Prop("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
  b.Prop("Layout", &TLabel::Layout, &TLabel::SetLayout).Default(tlTop);
  b.Prop("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
  b.Prop("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
  b.Prop("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + csOpaque + csReplicatable);
  SetBounds(0, 0, 65, 17);
  TControl::SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (v == FAlignment) return;
  FAlignment = v;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
  if (v == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = v;
  if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (v == FLayout) return;
  FLayout = v;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (v == FShowAccelChar) return;
  FShowAccelChar = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (v == Transparent()) return;
  if (v) SetControlStyle(ControlStyle() - csOpaque);
  else SetControlStyle(ControlStyle() + csOpaque);
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (v == FWordWrap) return;
  FWordWrap = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
  if (v == AutoSize()) return;
  TControl::SetAutoSize(v);
  AdjustBounds();
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::DoDrawText(HDC DC, TRect& R, UINT Flags) {
  String text = GetLabelText();
  // An empty caption (or a lone accelerator mark) still measures one line high.
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  int saved = SaveDC(DC);
  SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  if (!Enabled() && !(Flags & DT_CALCRECT)) {
    // The disabled look: a highlight copy one pixel down and right under a shadow copy.
    OffsetRect(R, 1, 1);
    SetTextColor(DC, ColorToRGB(clBtnHighlight));
    DrawText(DC, text, -1, &R, Flags);
    OffsetRect(R, -1, -1);
    SetTextColor(DC, ColorToRGB(clBtnShadow));
    DrawText(DC, text, -1, &R, Flags);
  } else {
    SetTextColor(DC, ColorToRGB(Font()->Color()));
    DrawText(DC, text, -1, &R, Flags);
  }
  RestoreDC(DC, saved);
}

namespace {
UINT LabelFlags(TAlignment a, bool wrap) {
  UINT f = DT_EXPANDTABS | (wrap ? UINT(DT_WORDBREAK) : 0u);
  if (a == taRightJustify) f |= DT_RIGHT;
  else if (a == taCenter) f |= DT_CENTER;
  return f;
}
}  // namespace

void TCustomLabel::Paint() {
  HDC dc = Canvas()->Handle();
  TRect r = ClientRect();
  if (!Transparent()) ctrl_utils::Fill(dc, r, ColorToRGB(Color()));
  UINT flags = LabelFlags(FAlignment, FWordWrap);
  if (FLayout != tlTop) {
    TRect calc = r;
    DoDrawText(dc, calc, flags | DT_CALCRECT);
    int dy = FLayout == tlBottom ? Height() - calc.Bottom : (Height() - calc.Bottom) / 2;
    OffsetRect(r, 0, dy);
  }
  DoDrawText(dc, r, flags);
}

void TCustomLabel::AdjustBounds() {
  // While a layout is read the size waits for Loaded.
  if (ComponentState().Contains(csLoading) || !AutoSize()) return;
  TRect r = ClientRect();
  if (!FWordWrap) r.Right = r.Left + 32767;
  HDC dc = GetDC(0);
  DoDrawText(dc, r, LabelFlags(FAlignment, FWordWrap) | DT_CALCRECT);
  ReleaseDC(0, dc);
  int x = Left();
  // A right-aligned label keeps its right edge, a centred one its centre.
  if (FAlignment == taRightJustify) x += Width() - r.Right;
  else if (FAlignment == taCenter) x += (Width() - r.Right) / 2;
  SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(M);
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(static_cast<Char>(M.WParam), Caption()) &&
          FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        M.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TGraphicControl::Dispatch(M);
}

// ================================================================ TCustomEdit

namespace {

constexpr int kNoLimit = 0x7FFFFFFE;

bool IsCJK(char32_t c) { return c >= 0x2E80 && !(c >= 0xFF01 && c <= 0xFF5E); }

std::u32string NormaliseBreaks(const std::u32string& s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c == U'\r') {
      out += U"\r\n";
      if (i + 1 < s.size() && s[i + 1] == U'\n') ++i;
    } else if (c == U'\n') {
      out += U"\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

// A pasted text in a single-line edit ends at its first line break.
std::u32string FirstLine(const std::u32string& s) {
  std::size_t p = s.find_first_of(U"\r\n");
  return p == std::u32string::npos ? s : s.substr(0, p);
}

}  // namespace

KELM_PUBLISH(TCustomEdit) {}

KELM_PUBLISH(TEdit) {
  PublishControlProperties(b, control_props::Placement);
  PublishControlProperties(b, control_props::Colors);
  PublishControlProperty(b, "ParentColor").Default(false);
  PublishControlProperties(b, control_props::MouseEvents);
  PublishControlProperties(b, control_props::Windowed);
  PublishControlProperty(b, "TabStop").Default(true);
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
  if (gCaret.Window != 0 && gCaret.Window == (HandleAllocated() ? Handle() : 0)) DestroyCaret();
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
  FChars = ApplyCase(t);
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
  if (User) FModified = true;
  SyncWindowText();
  InvalidateLayout();
  ScrollCaret();
  UpdateCaret();
  Invalidate();
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
  if (!HandleAllocated() || gCaret.Window != Handle()) return;
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
    if (gCaret.Window == Handle()) DestroyCaret();
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

// The messages of the native edit; false for the others.
bool TCustomEdit::EditMessage(TMessage& M) {
  switch (M.Msg) {
    case EM_GETSEL: {
      if (M.WParam) *reinterpret_cast<DWORD*>(M.WParam) = static_cast<DWORD>(SelMin());
      if (M.LParam) *reinterpret_cast<DWORD*>(M.LParam) = static_cast<DWORD>(SelMax());
      M.Result = MakeLParam(SelMin(), SelMax());
      return true;
    }
    case EM_SETSEL:
      SetSelMessage(M);
      return true;
    case EM_GETRECT:
      if (M.LParam) *reinterpret_cast<TRect*>(M.LParam) = FormatRect();
      return true;
    case EM_SETRECT:
    case EM_SETRECTNP:
      FHasFormatRect = M.LParam != 0;
      if (M.LParam) FFormatRect = *reinterpret_cast<const TRect*>(M.LParam);
      InvalidateLayout();
      ScrollCaret();
      UpdateCaret();
      Invalidate();
      return true;
    case EM_SCROLL: {
      int before = FTopLine;
      if (IsMultiLine()) {
        switch (LoWord(M.WParam)) {
          case SB_LINEUP: ScrollLines(-1); break;
          case SB_LINEDOWN: ScrollLines(1); break;
          case SB_PAGEUP: ScrollLines(-std::max(1, VisibleLineCount() - 1)); break;
          case SB_PAGEDOWN: ScrollLines(std::max(1, VisibleLineCount() - 1)); break;
          default: break;
        }
      }
      M.Result = MakeLParam(FTopLine - before, 1);
      return true;
    }
    case EM_LINESCROLL:
      if (IsMultiLine()) {
        ScrollLines(static_cast<int>(M.LParam));
        if (!FWordWrap) {
          FScrollX = std::max(0, FScrollX + static_cast<int>(static_cast<std::intptr_t>(M.WParam)) * 8);
          UpdateScrollBars();
          UpdateCaret();
          Invalidate();
        }
      }
      M.Result = 1;
      return true;
    case EM_SCROLLCARET:
      ScrollCaret();
      UpdateCaret();
      Invalidate();
      M.Result = 1;
      return true;
    case EM_GETMODIFY:
      M.Result = FModified ? 1 : 0;
      return true;
    case EM_SETMODIFY:
      FModified = M.WParam != 0;
      return true;
    case EM_GETLINECOUNT:
      M.Result = IsMultiLine() ? LayoutLineCount() : 1;
      return true;
    case EM_LINEINDEX: {
      int line = static_cast<int>(static_cast<std::intptr_t>(M.WParam));
      if (line == -1) line = LineOfChar(FCaret);
      M.Result = line >= 0 && line < LayoutLineCount() ? LayoutLineStart(line) : -1;
      return true;
    }
    case EM_LINELENGTH: {
      int idx = static_cast<int>(static_cast<std::intptr_t>(M.WParam));
      int line = LineOfChar(idx < 0 ? FCaret : ClampIndex(idx));
      M.Result = LayoutLineEnd(line) - LayoutLineStart(line);
      return true;
    }
    case EM_LINEFROMCHAR: {
      int idx = static_cast<int>(static_cast<std::intptr_t>(M.WParam));
      M.Result = LineOfChar(idx < 0 ? SelMin() : ClampIndex(idx));
      return true;
    }
    case EM_GETLINE: {
      auto* buf = reinterpret_cast<char*>(M.LParam);
      if (!buf) return true;
      Word size = 0;
      std::copy_n(buf, sizeof(Word), reinterpret_cast<char*>(&size));
      int line = IsMultiLine() ? static_cast<int>(M.WParam) : 0;
      if (line < 0 || line >= LayoutLineCount()) {
        M.Result = 0;
        return true;
      }
      int s = LayoutLineStart(line), e = LayoutLineEnd(line);
      String t = Utf32ToUtf8(std::u32string_view(FChars).substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s)));
      std::size_t n = std::min<std::size_t>(t.size(), size);
      while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
      std::copy_n(t.data(), n, buf);
      M.Result = static_cast<LRESULT>(n);
      return true;
    }
    case EM_REPLACESEL: {
      std::u32string t = Utf8ToUtf32(M.LParam ? reinterpret_cast<const char*>(M.LParam) : "");
      if (IsMultiLine()) t = NormaliseBreaks(t);
      t = ApplyCase(t);
      if (FMaxLength > 0) {
        int room = std::max(0, FMaxLength - (Length() - (SelMax() - SelMin())));
        if (static_cast<int>(t.size()) > room) t.resize(static_cast<std::size_t>(room));
      }
      ReplaceChars(SelMin(), SelMax(), t, true);
      return true;
    }
    case EM_LIMITTEXT:
      FMaxLength = static_cast<int>(M.WParam);
      if (FMaxLength >= kNoLimit) FMaxLength = 0;
      return true;
    case EM_GETLIMITTEXT:
      M.Result = FMaxLength > 0 ? FMaxLength : kNoLimit;
      return true;
    case EM_CANUNDO:
    case EM_UNDO:
    case WM_UNDO:
    case EM_EMPTYUNDOBUFFER:
      M.Result = 0;  // no undo of its own
      return true;
    case EM_GETFIRSTVISIBLELINE:
      M.Result = IsMultiLine() ? FTopLine : CharFromPos({FormatRect().Left, FormatRect().Top});
      return true;
    case EM_SETREADONLY:
      FReadOnly = M.WParam != 0;
      if (HandleAllocated())
        SetWindowStyles(FReadOnly ? (WindowStyle() | ES_READONLY) : (WindowStyle() & ~ES_READONLY), WindowExStyle());
      Invalidate();
      M.Result = 1;
      return true;
    case EM_SETPASSWORDCHAR:
      FPasswordChar = static_cast<Char>(M.WParam);
      InvalidateLayout();
      ScrollCaret();
      UpdateCaret();
      Invalidate();
      return true;
    case EM_GETPASSWORDCHAR:
      M.Result = static_cast<LRESULT>(FPasswordChar);
      return true;
    case EM_SETMARGINS:
      if (M.WParam == EC_USEFONTINFO) {
        FLeftMargin = FRightMargin = 1;
      } else {
        if (M.WParam & EC_LEFTMARGIN) FLeftMargin = LoWord(static_cast<std::uintptr_t>(M.LParam));
        if (M.WParam & EC_RIGHTMARGIN) FRightMargin = HiWord(static_cast<std::uintptr_t>(M.LParam));
      }
      InvalidateLayout();
      ScrollCaret();
      UpdateCaret();
      Invalidate();
      return true;
    case EM_GETMARGINS:
      M.Result = MakeLParam(FLeftMargin, FRightMargin);
      return true;
    case EM_POSFROMCHAR: {
      int idx = static_cast<int>(static_cast<std::intptr_t>(M.WParam));
      if (idx < 0 || idx >= Length()) {
        M.Result = -1;
        return true;
      }
      TPoint p = PosFromChar(idx);
      M.Result = MakeLParam(p.X, p.Y);
      return true;
    }
    case EM_CHARFROMPOS: {
      int i = CharFromPos(PointFromLParam(M.LParam));
      M.Result = MakeLParam(i, LineOfChar(i));
      return true;
    }
    case WM_CUT:
      if (FReadOnly || FPasswordChar != 0 || SelMin() == SelMax()) return true;
      CopySelection();
      ReplaceChars(SelMin(), SelMax(), {}, true);
      return true;
    case WM_COPY:
      CopySelection();
      return true;
    case WM_PASTE:
      PasteText();
      return true;
    case WM_CLEAR:
      if (!FReadOnly && SelMin() != SelMax()) ReplaceChars(SelMin(), SelMax(), {}, true);
      return true;
    default:
      return false;
  }
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
      MouseDefault(M);
      TWinControl::DefaultHandler(M);
      return;
    case WM_SETFOCUS:
      TWinControl::DefaultHandler(M);
      FocusDefault(true);
      return;
    case WM_KILLFOCUS:
      TWinControl::DefaultHandler(M);
      FocusDefault(false);
      return;
    case WM_PAINT: {
      HDC dc = reinterpret_cast<HDC>(M.WParam);
      if (dc) PaintEdit(dc);
      return;
    }
    case WM_SIZE:
      TWinControl::DefaultHandler(M);
      InvalidateLayout();
      ScrollCaret();
      UpdateCaret();
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
      return;
    case WM_HSCROLL: {
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
      return;
    }
    case WM_MOUSEWHEEL:
      if (IsMultiLine()) {
        int lines = -WheelDeltaOf(M.WParam) * (Mouse ? Mouse->WheelScrollLines() : 3) / 120;
        ScrollLines(lines);
        M.Result = 1;
      }
      return;
    default:
      break;
  }
  TWinControl::DefaultHandler(M);
}

// ================================================================ TCustomMemo

// The memo's text seen as lines: each change goes through the memo's model, so the text,
// the caret and OnChange follow.
class TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}

  void Clear() override { FMemo->SetText(String()); }

  void Delete(int Index) override {
    std::vector<int> st = Starts();
    int count = CountOf(st);
    if (Index < 0 || Index >= count) Error(SListIndexError, Index);
    const std::u32string& t = FMemo->EditChars();
    int from = st[static_cast<std::size_t>(Index)];
    int to = Index + 1 < static_cast<int>(st.size()) ? st[static_cast<std::size_t>(Index + 1)] : static_cast<int>(t.size());
    // The last line without a break of its own takes the break before it along.
    if (Index + 1 >= static_cast<int>(st.size()) && from >= 2) from -= 2;
    FMemo->ReplaceChars(from, to, {}, false);
  }

  void Insert(int Index, const String& S) override {
    std::vector<int> st = Starts();
    int count = CountOf(st);
    if (Index < 0 || Index > count) Error(SListIndexError, Index);
    const std::u32string& t = FMemo->EditChars();
    std::u32string line = NormaliseBreaks(Utf8ToUtf32(S));
    int at;
    std::u32string ins;
    if (Index < count) {
      at = st[static_cast<std::size_t>(Index)];
      ins = line + U"\r\n";
    } else if (t.empty() || EndsWithBreak(t)) {
      at = static_cast<int>(t.size());
      ins = line + U"\r\n";
    } else {
      at = static_cast<int>(t.size());
      ins = U"\r\n" + line;
    }
    FMemo->ReplaceChars(at, at, ins, false);
  }

protected:
  String Get(int Index) const override {
    auto [from, to] = LineSpan(Index);
    const std::u32string& t = FMemo->EditChars();
    return Utf32ToUtf8(std::u32string_view(t).substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
  }

  int GetCount() const override { return CountOf(Starts()); }

  void Put(int Index, const String& S) override {
    auto [from, to] = LineSpan(Index);
    FMemo->ReplaceChars(from, to, NormaliseBreaks(Utf8ToUtf32(S)), false);
  }

  void SetTextStr(const String& Value) override { FMemo->SetText(Value); }

private:
  static bool EndsWithBreak(const std::u32string& t) { return !t.empty() && IsBreak(t.back()); }
  // The first character of every line of the text.
  std::vector<int> Starts() const {
    const std::u32string& t = FMemo->EditChars();
    std::vector<int> st{0};
    for (std::size_t i = 0; i < t.size(); ++i)
      if (t[i] == U'\n') st.push_back(static_cast<int>(i + 1));
    return st;
  }
  // A final empty line (after the last break) is not a line of the list.
  int CountOf(const std::vector<int>& st) const {
    const std::u32string& t = FMemo->EditChars();
    if (t.empty()) return 0;
    return static_cast<int>(st.size()) - (EndsWithBreak(t) ? 1 : 0);
  }
  // The characters of line Index, its break left out; an index error past the last line.
  std::pair<int, int> LineSpan(int Index) const {
    std::vector<int> st = Starts();
    if (Index < 0 || Index >= CountOf(st)) Error(SListIndexError, Index);
    const std::u32string& t = FMemo->EditChars();
    int from = st[static_cast<std::size_t>(Index)];
    int to = from;
    while (to < static_cast<int>(t.size()) && !IsBreak(t[static_cast<std::size_t>(to)])) ++to;
    return {from, to};
  }

  TCustomMemo* FMemo;
};

KELM_PUBLISH(TCustomMemo) {}

KELM_PUBLISH(TMemo) {
  PublishControlProperties(b, control_props::Placement);
  PublishControlProperties(b, control_props::Colors);
  PublishControlProperty(b, "ParentColor").Default(false);
  PublishControlProperties(b, control_props::MouseEvents);
  PublishControlProperties(b, control_props::Windowed);
  PublishControlProperty(b, "TabStop").Default(true);
  b.Prop("Alignment", &TMemo::Alignment, &TMemo::SetAlignment).Default(taLeftJustify);
  b.Prop("BorderStyle", &TMemo::BorderStyle, &TMemo::SetBorderStyle).Default(bsSingle);
  b.Prop("HideSelection", &TMemo::HideSelection, &TMemo::SetHideSelection).Default(true);
  b.Prop("Lines", &TMemo::Lines, &TMemo::SetLines);
  b.Prop("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength).Default(0);
  b.Prop("OEMConvert", &TMemo::OEMConvert, &TMemo::SetOEMConvert).Default(false);
  b.Prop("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
  b.Prop("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(ssNone);
  b.Prop("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns).Default(true);
  b.Prop("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs).Default(false);
  b.Prop("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
  b.Prop("OnChange", &TMemo::OnChange, &TMemo::OnChange);
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
  SetMultiLine(true);
  TCustomEdit::SetAutoSize(false);
  SetWordWraps(true);
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetLines(TStrings* v) { FLines->Assign(v); }

void TCustomMemo::CreateParams(TCreateParams& P) {
  TCustomEdit::CreateParams(P);
  P.Style |= ES_MULTILINE;
}

TPoint TCustomMemo::CaretPosition() const {
  int line = LineOfChar(CaretPos());
  return {CaretPos() - LayoutLineStart(line), line};
}

void TCustomMemo::SetCaretPosition(TPoint v) {
  int line = std::clamp(v.Y, 0, LayoutLineCount() - 1);
  int start = LayoutLineStart(line);
  int pos = std::min(start + std::max(0, v.X), LayoutLineEnd(line));
  Perform(EM_SETSEL, static_cast<WPARAM>(pos), pos);
}

void TCustomMemo::KeyPress(Char& Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == U'\r' && !WantsReturns()) Key = 0;
}

void TCustomMemo::Dispatch(TMessage& M) {
  if (M.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(M);
    if (WantsTabs()) M.Result |= DLGC_WANTTAB;
    else M.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (!WantsReturns()) M.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    return;
  }
  TCustomEdit::Dispatch(M);
}


// ================================================================ TButtonControl

KELM_PUBLISH(TButtonControl) {}

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csSetCaption, csDoubleClicks, csCaptureMouse});
  SetTabStop(true);
}

bool TButtonControl::ActionClientValue(TActionLinkProp Prop, Variant& Value) const {
  if (Prop != alpChecked) return TWinControl::ActionClientValue(Prop, Value);
  Value = GetChecked();
  return true;
}

// The action's Checked is shown without a click, which would run the action again.
void TButtonControl::SetActionClientValue(TActionLinkProp Prop, const Variant& Value) {
  if (Prop != alpChecked) {
    TWinControl::SetActionClientValue(Prop, Value);
    return;
  }
  bool was = FClicksDisabled;
  FClicksDisabled = true;
  SetChecked(Value.AsBoolean());
  FClicksDisabled = was;
}

void TButtonControl::SetWordWrap(bool v) {
  if (v == FWordWrap) return;
  FWordWrap = v;
  Invalidate();
}

void TButtonControl::SetPressed(bool v) {
  if (v == FPressed) return;
  FPressed = v;
  Invalidate();
}

void TButtonControl::PaintWindow(HDC DC) {
  TPaintState state(DC, Font());
  PaintButton(DC);
}

void TButtonControl::DrawCaption(HDC DC, TRect R, UINT Flags) {
  String text = Caption();
  if (FWordWrap) Flags = (Flags & ~DT_SINGLELINE) | DT_WORDBREAK;
  if (FWordWrap && (Flags & DT_VCENTER)) {
    // A wrapped caption is centred as a block.
    TRect calc = R;
    DrawText(DC, text, -1, &calc, (Flags & ~DT_VCENTER) | DT_CALCRECT);
    int h = calc.Height();
    R.Top += std::max(0, (R.Height() - h) / 2);
    Flags &= ~DT_VCENTER;
  }
  if (!Enabled()) {
    OffsetRect(R, 1, 1);
    SetTextColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawText(DC, text, -1, &R, Flags);
    OffsetRect(R, -1, -1);
    SetTextColor(DC, GetSysColor(COLOR_BTNSHADOW));
    DrawText(DC, text, -1, &R, Flags);
    return;
  }
  SetTextColor(DC, ColorToRGB(Font()->Color()));
  DrawText(DC, text, -1, &R, Flags);
}

void TButtonControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
      TWinControl::Dispatch(M);
      Invalidate();
      return;
    default:
      break;
  }
  TWinControl::Dispatch(M);
}

// The native button: pressed while the left button or Space holds it, activated when it is
// released over it.
void TButtonControl::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Focused() && CanFocus()) SetFocus();
      FMouseDown = true;
      SetPressed(true);
      break;
    case WM_MOUSEMOVE:
      if (FMouseDown) SetPressed(PtInRect(ClientRect(), PointFromLParam(M.LParam)));
      break;
    case WM_LBUTTONUP:
      if (FMouseDown) {
        FMouseDown = false;
        bool was = FPressed && !FSpaceDown;
        SetPressed(FSpaceDown);
        if (was && PtInRect(ClientRect(), PointFromLParam(M.LParam))) {
          ButtonActivated();
          return;
        }
      }
      break;
    case WM_CANCELMODE:
      FMouseDown = false;
      SetPressed(FSpaceDown);
      break;
    case WM_KEYDOWN:
      if (M.WParam == VK_SPACE && !FMouseDown) {
        FSpaceDown = true;
        SetPressed(true);
        return;
      }
      break;
    case WM_KEYUP:
      if (M.WParam == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        SetPressed(false);
        ButtonActivated();
        return;
      }
      break;
    case WM_KILLFOCUS:
      FSpaceDown = false;
      if (!FMouseDown) SetPressed(false);
      TWinControl::DefaultHandler(M);
      Invalidate();
      return;
    case WM_SETFOCUS:
      TWinControl::DefaultHandler(M);
      Invalidate();
      return;
    case WM_GETDLGCODE:
      M.Result = DLGC_BUTTON;
      return;
    case BM_CLICK:
      ButtonActivated();
      return;
    case BM_GETCHECK:
      M.Result = GetChecked() ? BST_CHECKED : BST_UNCHECKED;
      return;
    case BM_SETCHECK:
      SetChecked(M.WParam == BST_CHECKED);
      return;
    case BM_GETSTATE:
      M.Result = (GetChecked() ? BST_CHECKED : 0) | (FPressed ? BST_PUSHED : 0) | (Focused() ? BST_FOCUS : 0);
      return;
    case BM_SETSTATE:
      SetPressed(M.WParam != 0);
      return;
    default:
      break;
  }
  TWinControl::DefaultHandler(M);
}

// ================================================================ TButton

KELM_PUBLISH(TButton) {
  PublishControlProperties(b, control_props::Placement);
  PublishControlProperties(b, {"Caption"});
  PublishControlProperties(b, {"Action"});
  PublishControlProperties(b, {"Font", "ParentFont"});
  PublishControlProperties(b, control_props::MouseEvents);
  PublishControlProperties(b, control_props::Windowed);
  PublishControlProperty(b, "TabStop").Default(true);
  b.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  b.Prop("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  b.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  b.Prop("WordWrap", &TButton::WordWrap, &TButton::SetWordWrap).Default(false);
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetColor(clBtnFace);
}

void TButton::CreateParams(TCreateParams& P) {
  TButtonControl::CreateParams(P);
  P.Style |= FActive ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v) {
  if (v == FDefault) return;
  FDefault = v;
  TWinControl* focused = nullptr;
  if (TCustomForm* f = GetParentForm(this)) focused = f->ActiveControl();
  if (auto* b = dynamic_cast<TButton*>(focused)) FActive = b == this;
  else FActive = FDefault;
  Invalidate();
}

void TButton::Click() {
  // A button closes a modal form with its result.
  if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_DIALOGKEY: {
      bool plain = KeyDataToShiftState(M.LParam).Bits() == 0;
      if (((M.WParam == VK_RETURN && FActive) || (M.WParam == VK_ESCAPE && FCancel)) && plain && CanFocus()) {
        Click();
        M.Result = 1;
        return;
      }
      break;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<Char>(M.WParam), Caption()) && CanFocus()) {
        Click();
        M.Result = 1;
        return;
      }
      break;
    case CM_FOCUSCHANGED: {
      auto* sender = reinterpret_cast<TWinControl*>(M.LParam);
      bool active = dynamic_cast<TButton*>(sender) ? sender == this : FDefault;
      if (active != FActive) {
        FActive = active;
        Invalidate();
      }
      break;
    }
    case WM_GETDLGCODE:
      M.Result = DLGC_BUTTON | (FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      return;
    default:
      break;
  }
  TButtonControl::Dispatch(M);
}

TRect TButton::PaintFace(HDC DC) {
  TRect r = ClientRect();
  if (FActive) {
    // The default button wears a black ring.
    FrameRect(DC, r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(r, -1, -1);
  }
  if (Pressed()) {
    FrameRect(DC, r, GetSysColorBrush(COLOR_BTNSHADOW));
    TRect inner = r;
    InflateRect(inner, -1, -1);
    FillRect(DC, inner, GetSysColorBrush(COLOR_BTNFACE));
  } else {
    TRect f = r;
    DrawFrameControl(DC, f, DFC_BUTTON, DFCS_BUTTONPUSH);
  }
  return r;
}

void TButton::PaintFocus(HDC DC, const TRect& Face) {
  if (!Focused()) return;
  TRect fr = Face;
  InflateRect(fr, -3, -3);
  DrawFocusRect(DC, fr);
}

void TButton::PaintButton(HDC DC) {
  TRect r = PaintFace(DC);
  TRect text = r;
  InflateRect(text, -4, -2);
  if (Pressed()) OffsetRect(text, 1, 1);
  DrawCaption(DC, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  PaintFocus(DC, r);
}

// ================================================================ TCustomCheckBox

namespace {
constexpr int kCheckSize = 13;

// The box and the text of a check box or radio button, by which side the text is on.
void CheckLayout(const TRect& Client, TLeftRight Alignment, TRect& Box, TRect& Text) {
  int top = Client.Top + (Client.Height() - kCheckSize) / 2;
  if (Alignment == taLeftJustify) {
    Box = Rect(Client.Right - kCheckSize, top, Client.Right, top + kCheckSize);
    Text = Rect(Client.Left, Client.Top, Box.Left - 4, Client.Bottom);
  } else {
    Box = Rect(Client.Left, top, Client.Left + kCheckSize, top + kCheckSize);
    Text = Rect(Box.Right + 4, Client.Top, Client.Right, Client.Bottom);
  }
}

void PaintCheckText(HDC DC, TButtonControl* Ctrl, const TRect& R, bool Focused,
                    const std::function<void(HDC, TRect, UINT)>& Draw) {
  TRect calc = R;
  DrawText(DC, Ctrl->Caption(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
  Draw(DC, R, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (Focused) {
    // The focus frame surrounds the caption only.
    int h = calc.Height();
    int top = R.Top + (R.Height() - h) / 2;
    TRect f = Rect(R.Left - 1, top - 1, std::min(R.Right, R.Left + calc.Width()) + 1, top + h + 1);
    DrawFocusRect(DC, f);
  }
}
}  // namespace

bool TButtonControl::FocusByAccel(TMessage& M) {
  if (!IsAccel(static_cast<Char>(M.WParam), Caption()) || !CanFocus()) return false;
  SetFocus();
  if (Focused()) ButtonActivated();
  M.Result = 1;
  return true;
}

void TButtonControl::PaintCheck(HDC DC, TLeftRight Alignment, UINT Frame) {
  TRect box, text;
  CheckLayout(ClientRect(), Alignment, box, text);
  if (Pressed()) Frame |= DFCS_PUSHED;
  if (!Enabled()) Frame |= DFCS_INACTIVE;
  DrawFrameControl(DC, box, DFC_BUTTON, Frame);
  PaintCheckText(DC, this, text, Focused(), [this](HDC dc, TRect r, UINT f) { DrawCaption(dc, r, f); });
}

KELM_PUBLISH(TCustomCheckBox) {}

KELM_PUBLISH(TCheckBox) {
  PublishControlProperties(b, control_props::Placement);
  PublishControlProperties(b, control_props::Colors);
  PublishControlProperties(b, {"Caption"});
  PublishControlProperties(b, {"Action"});
  PublishControlProperties(b, control_props::MouseEvents);
  PublishControlProperties(b, control_props::Windowed);
  PublishControlProperty(b, "TabStop").Default(true);
  b.Prop("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify);
  b.Prop("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
  b.Prop("Checked", &TCheckBox::Checked, [](TCheckBox* c, bool v) { c->SetChecked(v); }).Default(false);
  b.Prop("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
  b.Prop("WordWrap", &TCheckBox::WordWrap, &TCheckBox::SetWordWrap).Default(false);
}

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCustomCheckBox::SetAlignment(TLeftRight v) {
  if (v == FAlignment) return;
  FAlignment = v;
  Invalidate();
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
  if (v == FState) return;
  FState = v;
  Invalidate();
  Changed();
  // A new state clicks, also when code sets it: handlers shared by several boxes rely on it.
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::ButtonActivated() { Toggle(); }

void TCustomCheckBox::Dispatch(TMessage& M) {
  if (M.Msg == CM_DIALOGCHAR && FocusByAccel(M)) return;
  TButtonControl::Dispatch(M);
}

void TCustomCheckBox::PaintButton(HDC DC) {
  UINT state = DFCS_BUTTONCHECK;
  if (FState == cbChecked) state |= DFCS_CHECKED;
  if (FState == cbGrayed) state = DFCS_BUTTON3STATE | DFCS_CHECKED;
  PaintCheck(DC, FAlignment, state);
}

// ================================================================ TRadioButton

KELM_PUBLISH(TRadioButton) {
  PublishControlProperties(b, control_props::Placement);
  PublishControlProperties(b, control_props::Colors);
  PublishControlProperties(b, {"Caption"});
  PublishControlProperties(b, {"Action"});
  PublishControlProperties(b, control_props::MouseEvents);
  PublishControlProperties(b, control_props::Windowed);
  b.Prop("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify);
  b.Prop("Checked", &TRadioButton::Checked, [](TRadioButton* c, bool v) { c->SetChecked(v); }).Default(false);
  b.Prop("WordWrap", &TRadioButton::WordWrap, &TRadioButton::SetWordWrap).Default(false);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 113, 17);
  // Only the checked button of a group is a tab stop.
  SetTabStop(false);
}

void TRadioButton::SetAlignment(TLeftRight v) {
  if (v == FAlignment) return;
  FAlignment = v;
  Invalidate();
}

void TRadioButton::SetChecked(bool v) {
  if (v == FChecked) return;
  FChecked = v;
  SetTabStop(v);
  Invalidate();
  if (!v) return;
  if (TWinControl* p = Parent()) {
    for (int i = 0; i < p->ControlCount(); ++i)
      if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i)); r && r != this) r->SetChecked(false);
  }
  Changed();
  if (!ClicksDisabled()) Click();
}

void TRadioButton::ButtonActivated() { SetChecked(true); }

void TRadioButton::DoEnter() {
  // Reaching a radio button with the arrow keys checks it, as the platform's dialogs do.
  bool arrow = GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0 || GetKeyState(VK_UP) < 0 || GetKeyState(VK_DOWN) < 0;
  if (arrow && !ControlState().Contains(csLButtonDown)) SetChecked(true);
  TButtonControl::DoEnter();
}

void TRadioButton::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_DIALOGCHAR:
      if (FocusByAccel(M)) return;
      break;
    case WM_GETDLGCODE:
      M.Result = DLGC_BUTTON | DLGC_RADIOBUTTON;
      return;
    default:
      break;
  }
  TButtonControl::Dispatch(M);
}

void TRadioButton::PaintButton(HDC DC) {
  UINT state = DFCS_BUTTONRADIO;
  if (FChecked) state |= DFCS_CHECKED;
  PaintCheck(DC, FAlignment, state);
}

// ================================================================ TCustomGroupBox

KELM_PUBLISH(TCustomGroupBox) {}

KELM_PUBLISH(TGroupBox) {
  PublishControlProperties(b, control_props::Placement);
  PublishControlProperties(b, control_props::Colors);
  PublishControlProperties(b, {"Caption"});
  PublishControlProperties(b, control_props::MouseEvents);
  PublishControlProperties(b, control_props::Windowed);
  PublishControlProperties(b, control_props::ResizeEvents);
}

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable});
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& R) {
  TWinControl::AdjustClientRect(R);
  R.Top += ctrl_utils::CellHeightOf(Font());
  InflateRect(R, -1, -1);
  if (Ctl3D()) InflateRect(R, -1, -1);
}

void TCustomGroupBox::Paint() {
  HDC dc = Canvas()->Handle();
  TPaintState state(dc, Font());
  int h = ctrl_utils::CellHeightOf(Font());
  TRect frame = ClientRect();
  frame.Top += h / 2;
  if (Ctl3D()) DrawEdge(dc, frame, EDGE_ETCHED, BF_RECT);
  else FrameRect(dc, frame, GetSysColorBrush(COLOR_WINDOWFRAME));
  String text = Caption();
  if (text.empty()) return;
  TRect t = Rect(8, 0, 0, h);
  DrawText(dc, text, -1, &t, DT_SINGLELINE | DT_CALCRECT);
  t.Right = std::min(t.Right, ClientWidth() - 8);
  // The caption interrupts the frame on the parent's colour.
  ctrl_utils::Fill(dc, t, ColorToRGB(Color()));
  SetTextColor(dc, Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
  DrawText(dc, text, -1, &t, DT_SINGLELINE | DT_LEFT);
}

void TCustomGroupBox::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<Char>(M.WParam), Caption()) && CanFocus()) {
        if (TWinControl* c = FindNextControl(nullptr, true, true, false)) c->SetFocus();
        M.Result = 1;
        return;
      }
      break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(M);
      Realign();
      Invalidate();
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(M);
}

// ================================================================ TScrollBar

KELM_PUBLISH(TScrollBar) {
  PublishControlProperties(b, control_props::Placement);
  PublishControlProperties(b, control_props::MouseEvents);
  PublishControlProperties(b, control_props::Windowed);
  PublishControlProperty(b, "TabStop").Default(true);
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

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csFramed, csDoubleClicks, csOpaque, csCaptureMouse});
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
  SetColor(clBtnFace);
  FModel = std::make_unique<TScrollBarModel>(this, true);
  FModel->SetMessage(CN_HSCROLL);
  SyncModel();
}

TScrollBar::~TScrollBar() = default;

void TScrollBar::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.Style |= FKind == sbVertical ? SB_VERT : SB_HORZ;
}

void TScrollBar::SyncModel() {
  FModel->SetRange(FMin, FMax, FPageSize);
  FModel->SetPosition(FPosition);
  FModel->SetEnabled(Enabled());
}

void TScrollBar::SetKind(TScrollBarKind v) {
  if (v == FKind) return;
  FKind = v;
  FModel = std::make_unique<TScrollBarModel>(this, v == sbHorizontal);
  FModel->SetMessage(v == sbHorizontal ? CN_HSCROLL : CN_VSCROLL);
  SyncModel();
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TScrollBar::SetPageSize(int v) {
  if (v == FPageSize) return;
  if (v < 0 || v > FMax - FMin + 1) throw EInvalidOperation("Property value out of range");
  FPageSize = v;
  SyncModel();
  Invalidate();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMax < AMin) throw EInvalidOperation("Scroll bar property out of range");
  if (APosition < AMin) APosition = AMin;
  if (APosition > AMax) APosition = AMax;
  bool moved = APosition != FPosition;
  FMin = AMin;
  FMax = AMax;
  FPosition = APosition;
  SyncModel();
  Invalidate();
  if (moved) Change();
}

void TScrollBar::Change() {
  Changed();
  OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) { OnScroll(this, ScrollCode, ScrollPos); }

void TScrollBar::DoScroll(int Code, int Pos) {
  int pos = FPosition;
  switch (Code) {
    case SB_LINEUP: pos -= FSmallChange; break;
    case SB_LINEDOWN: pos += FSmallChange; break;
    case SB_PAGEUP: pos -= FLargeChange; break;
    case SB_PAGEDOWN: pos += FLargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = Pos; break;
    case SB_TOP: pos = FMin; break;
    case SB_BOTTOM: pos = FMax; break;
    default: break;
  }
  int top = FPageSize > 0 ? FMax - FPageSize + 1 : FMax;
  pos = std::clamp(pos, FMin, std::max(FMin, top));
  Scroll(static_cast<TScrollCode>(Code), pos);
  SetPosition(pos);
}

void TScrollBar::PaintWindow(HDC DC) { FModel->Paint(DC, ClientRect()); }

void TScrollBar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      DoScroll(LoWord(M.WParam), static_cast<short>(HiWord(M.WParam)));
      return;
    case CM_ENABLEDCHANGED:
      TWinControl::Dispatch(M);
      SyncModel();
      return;
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Focused() && CanFocus()) SetFocus();
      FModel->MouseDown(ClientRect(), PointFromLParam(M.LParam));
      TWinControl::Dispatch(M);
      return;
    case WM_MOUSEMOVE:
      FModel->MouseMove(ClientRect(), PointFromLParam(M.LParam));
      TWinControl::Dispatch(M);
      return;
    case WM_LBUTTONUP:
      FModel->MouseUp(ClientRect(), PointFromLParam(M.LParam));
      TWinControl::Dispatch(M);
      return;
    default:
      break;
  }
  TWinControl::Dispatch(M);
}

void TScrollBar::DefaultHandler(TMessage& M) {
  if (M.Msg == WM_KEYDOWN) {
    int code = -1;
    switch (M.WParam) {
      case VK_LEFT: case VK_UP: code = SB_LINEUP; break;
      case VK_RIGHT: case VK_DOWN: code = SB_LINEDOWN; break;
      case VK_PRIOR: code = SB_PAGEUP; break;
      case VK_NEXT: code = SB_PAGEDOWN; break;
      case VK_HOME: code = SB_TOP; break;
      case VK_END: code = SB_BOTTOM; break;
      default: break;
    }
    if (code >= 0) {
      UINT msg = FKind == sbHorizontal ? CN_HSCROLL : CN_VSCROLL;
      Perform(msg, MakeWParam(code, 0), 0);
      Perform(msg, MakeWParam(SB_ENDSCROLL, 0), 0);
      return;
    }
  }
  TWinControl::DefaultHandler(M);
}
