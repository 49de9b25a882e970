// Labels, buttons, check boxes, radio buttons, group boxes, scroll bars and the scroll-bar
// model that windows draw in their frames.
#include "gui/StdCtrls.h"

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

using ctrl_utils::TPaintState;

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

TRect TScrollBarModel::ThumbRect(const TRect& R) const { return Layout(R).Thumb; }

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

KELM_PUBLISH(TLabel) { Published(b); }

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
      WMKillFocus(M);
      return;
    case WM_SETFOCUS:
      WMSetFocus(M);
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

void TButtonControl::WMKillFocus(TMessage& M) {
  FSpaceDown = false;
  if (!FMouseDown) SetPressed(false);
  TWinControl::DefaultHandler(M);
  Invalidate();
}

void TButtonControl::WMSetFocus(TMessage& M) {
  TWinControl::DefaultHandler(M);
  Invalidate();
}

// ================================================================ TButton

KELM_PUBLISH(TButton) { Published(b); }

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

KELM_PUBLISH(TCheckBox) { Published(b); }

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

KELM_PUBLISH(TRadioButton) { Published(b); }

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

KELM_PUBLISH(TGroupBox) { Published(b); }

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

KELM_PUBLISH(TScrollBar) { Published(b); }

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
    case SBM_GETSCROLLINFO: {
      auto* si = reinterpret_cast<SCROLLINFO*>(M.LParam);
      if (si->fMask & SIF_RANGE) si->nMin = FMin, si->nMax = FMax;
      if (si->fMask & SIF_PAGE) si->nPage = static_cast<UINT>(FPageSize);
      if (si->fMask & SIF_POS) si->nPos = FPosition;
      if (si->fMask & SIF_TRACKPOS) si->nTrackPos = FModel->Position();
      M.Result = 1;
      return;
    }
    case SBM_SETSCROLLINFO: {
      const auto* si = reinterpret_cast<const SCROLLINFO*>(M.LParam);
      int lo = si->fMask & SIF_RANGE ? si->nMin : FMin, hi = si->fMask & SIF_RANGE ? si->nMax : FMax;
      SetParams(si->fMask & SIF_POS ? si->nPos : FPosition, lo, std::max(lo, hi));
      if (si->fMask & SIF_PAGE) SetPageSize(std::min(static_cast<int>(si->nPage), FMax - FMin + 1));
      M.Result = FPosition;
      return;
    }
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
