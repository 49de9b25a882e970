// The progress bar and the up-down buttons.
#include "gui/ComCtrlsBasic.h"

#include "gui/Forms.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>

// ================================================================ TProgressBar

KELM_PUBLISH(TProgressBar) { Published(b); }

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 150, 16);
  SetColor(clBtnFace);
}

void TProgressBar::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.ExStyle |= WS_EX_STATICEDGE;
}

void TProgressBar::SetMin(int v) {
  if (v == FMin) return;
  FMin = v;
  if (FMax < FMin) FMax = FMin;
  FPosition = std::clamp(FPosition, FMin, FMax);
  Invalidate();
}

void TProgressBar::SetMax(int v) {
  if (v == FMax) return;
  FMax = v;
  if (FMin > FMax) FMin = FMax;
  FPosition = std::clamp(FPosition, FMin, FMax);
  Invalidate();
}

void TProgressBar::SetPosition(int v) {
  v = std::clamp(v, FMin, FMax);
  if (v == FPosition) return;
  FPosition = v;
  Invalidate();
}

void TProgressBar::SetSmooth(bool v) {
  if (v == FSmooth) return;
  FSmooth = v;
  Invalidate();
}

void TProgressBar::SetOrientation(TProgressBarOrientation v) {
  if (v == FOrientation) return;
  FOrientation = v;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TProgressBar::StepIt() {
  int p = FPosition + FStep;
  if (p > FMax) p = FMin + (p - FMax) % std::max(1, FMax - FMin);
  if (p < FMin) p = FMax - (FMin - p) % std::max(1, FMax - FMin);
  FPosition = std::clamp(p, FMin, FMax);
  Invalidate();
}

void TProgressBar::StepBy(int Delta) { SetPosition(FPosition + Delta); }

void TProgressBar::PaintWindow(HDC DC) {
  TRect r = ClientRect();
  FillRect(DC, r, GetSysColorBrush(COLOR_BTNFACE));
  InflateRect(r, -1, -1);
  int range = FMax - FMin;
  if (range <= 0 || FPosition <= FMin || IsRectEmpty(r)) return;
  bool horz = FOrientation == pbHorizontal;
  int length = horz ? r.Width() : r.Height();
  int filled = MulDiv(length, FPosition - FMin, range);
  HBRUSH bar = GetSysColorBrush(COLOR_HIGHLIGHT);
  if (FSmooth) {
    TRect f = horz ? Rect(r.Left, r.Top, r.Left + filled, r.Bottom) : Rect(r.Left, r.Bottom - filled, r.Right, r.Bottom);
    FillRect(DC, f, bar);
    return;
  }
  // Blocks two thirds of the bar's thickness wide, two pixels apart, the last one whole.
  int block = std::max(2, (horz ? r.Height() : r.Width()) * 2 / 3);
  int pitch = block + 2;
  int blocks = (filled + pitch - 1) / pitch;
  for (int i = 0; i < blocks; ++i) {
    int a = i * pitch, e = std::min(a + block, length);
    TRect f = horz ? Rect(r.Left + a, r.Top, r.Left + e, r.Bottom) : Rect(r.Left, r.Bottom - e, r.Right, r.Bottom - a);
    FillRect(DC, f, bar);
  }
}

void TProgressBar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case PBM_SETRANGE:
      FMin = static_cast<short>(LoWord(static_cast<std::uintptr_t>(M.LParam)));
      SetMax(static_cast<short>(HiWord(static_cast<std::uintptr_t>(M.LParam))));
      return;
    case PBM_SETRANGE32:
      FMin = static_cast<int>(M.WParam);
      SetMax(static_cast<int>(M.LParam));
      return;
    case PBM_GETRANGE:
      M.Result = M.WParam ? FMin : FMax;
      return;
    case PBM_SETPOS:
      M.Result = FPosition;
      SetPosition(static_cast<int>(M.WParam));
      return;
    case PBM_DELTAPOS:
      M.Result = FPosition;
      StepBy(static_cast<int>(M.WParam));
      return;
    case PBM_SETSTEP:
      M.Result = FStep;
      FStep = static_cast<int>(M.WParam);
      return;
    case PBM_STEPIT:
      M.Result = FPosition;
      StepIt();
      return;
    case PBM_GETPOS:
      M.Result = FPosition;
      return;
    default:
      break;
  }
  TWinControl::Dispatch(M);
}

// ================================================================ TCustomUpDown

namespace {
constexpr UINT_PTR kRepeatTimer = 1;
}  // namespace

KELM_PUBLISH(TCustomUpDown) {}

KELM_PUBLISH(TUpDown) { Published(b); }

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csCaptureMouse, csDoubleClicks});
  SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), 25);
  SetColor(clBtnFace);
}

TCustomUpDown::~TCustomUpDown() {
  if (FAssociate && !FAssociate->ComponentState().Contains(csDestroying)) DetachBuddy();
}

void TCustomUpDown::SetMin(SmallInt v) {
  FMin = v;
  FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
  UpdateBuddyText();
}

void TCustomUpDown::SetMax(SmallInt v) {
  FMax = v;
  FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
  UpdateBuddyText();
}

SmallInt TCustomUpDown::Position() const {
  if (!FAssociate) return FPosition;
  // The position is what the edit shows, when it shows a number.
  String t = StringReplace(Trim(FAssociate->Text()), String(1, FormatSettings().ThousandSeparator), "", {rfReplaceAll});
  int v;
  if (!TryStrToInt(t, v)) return FPosition;
  return static_cast<SmallInt>(std::clamp<int>(v, std::min(FMin, FMax), std::max(FMin, FMax)));
}

void TCustomUpDown::SetPosition(SmallInt v) {
  FPosition = std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
  UpdateBuddyText();
}

void TCustomUpDown::SetThousands(bool v) {
  if (v == FThousands) return;
  FThousands = v;
  UpdateBuddyText();
}

void TCustomUpDown::SetOrientation(TUDOrientation v) {
  if (v == FOrientation) return;
  FOrientation = v;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton v) {
  if (v == FAlignButton) return;
  FAlignButton = v;
  if (FAssociate && !ComponentState().Contains(csLoading)) PlaceBesideBuddy();
}

void TCustomUpDown::UpdateBuddyText() {
  if (!FAssociate || ComponentState().Contains(csLoading)) return;
  // The number format's digit grouping, with no decimals.
  FAssociate->SetText(FThousands ? FloatToStrF(FPosition, ffNumber, 15, 0) : std::to_string(FPosition));
}

void TCustomUpDown::ReadBuddyText() { FPosition = Position(); }

void TCustomUpDown::PlaceBesideBuddy() {
  TWinControl* b = FAssociate;
  if (!b || !b->Parent()) return;
  SetParent(b->Parent());
  int w = Width();
  // The edit gives up the room the buttons take, on the side they are on.
  if (FAlignButton == udRight) {
    b->SetBounds(b->Left(), b->Top(), std::max(0, b->Width() - w), b->Height());
    SetBounds(b->Left() + b->Width(), b->Top(), w, b->Height());
  } else {
    int left = b->Left();
    b->SetBounds(left + w, b->Top(), std::max(0, b->Width() - w), b->Height());
    SetBounds(left, b->Top(), w, b->Height());
  }
}

void TCustomUpDown::AttachBuddy() {
  TWinControl* b = FAssociate;
  FBuddyProc = b->WindowProc;
  TWndMethod old = FBuddyProc;
  // The edit's Up and Down keys step the position.
  b->WindowProc = [this, old](TMessage& M) {
    if (M.Msg == WM_KEYDOWN && FArrowKeys && (M.WParam == VK_UP || M.WParam == VK_DOWN) && Enabled()) {
      Step(M.WParam == VK_UP ? btNext : btPrev);
      return;
    }
    old(M);
  };
  b->FreeNotification(this);
}

void TCustomUpDown::DetachBuddy() {
  if (!FAssociate) return;
  if (FBuddyProc) FAssociate->WindowProc = FBuddyProc;
  FBuddyProc = nullptr;
  FAssociate->RemoveFreeNotification(this);
}

void TCustomUpDown::SetAssociate(TWinControl* v) {
  if (v == FAssociate) return;
  if (v == this) return;
  DetachBuddy();
  FAssociate = v;
  if (!v) return;
  AttachBuddy();
  if (!ComponentState().Contains(csLoading)) {
    PlaceBesideBuddy();
    UpdateBuddyText();
  }
}

void TCustomUpDown::Loaded() {
  TWinControl::Loaded();
  UpdateBuddyText();
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAssociate) {
    FAssociate = nullptr;
    FBuddyProc = nullptr;
  }
}

bool TCustomUpDown::CanChange(SmallInt NewValue, TUpDownDirection Direction) {
  bool allow = true;
  OnChanging(this, allow);
  OnChangingEx(this, allow, NewValue, Direction);
  return allow;
}

void TCustomUpDown::Click(TUDBtnType Button) { OnClick(this, Button); }

void TCustomUpDown::Step(TUDBtnType Button) {
  ReadBuddyText();
  int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
  int v = FPosition + (Button == btNext ? FIncrement : -FIncrement);
  if (FWrap) {
    if (v > hi) v = lo;
    else if (v < lo) v = hi;
  } else {
    v = std::clamp(v, lo, hi);
  }
  if (v != FPosition && CanChange(static_cast<SmallInt>(v), Button == btNext ? updUp : updDown)) {
    FPosition = static_cast<SmallInt>(v);
    UpdateBuddyText();
  }
  Click(Button);
}

int TCustomUpDown::HalfAt(TPoint P) const {
  if (FOrientation == udVertical) return P.Y < Height() / 2 ? 0 : 1;
  return P.X < Width() / 2 ? 0 : 1;
}

void TCustomUpDown::PaintWindow(HDC DC) {
  bool vert = FOrientation == udVertical;
  TRect a = vert ? Rect(0, 0, Width(), Height() / 2) : Rect(0, 0, Width() / 2, Height());
  TRect b = vert ? Rect(0, Height() / 2, Width(), Height()) : Rect(Width() / 2, 0, Width(), Height());
  UINT inactive = Enabled() ? 0u : UINT(DFCS_INACTIVE);
  DrawFrameControl(DC, a, DFC_SCROLL, (vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive | (FPressed == 0 ? UINT(DFCS_PUSHED) : 0u));
  DrawFrameControl(DC, b, DFC_SCROLL, (vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive | (FPressed == 1 ? UINT(DFCS_PUSHED) : 0u));
}

namespace {
// The first half is up (next) on a vertical control, left (previous) on a horizontal one.
TUDBtnType ButtonOf(TUDOrientation Orientation, int Half) {
  return (Orientation == udVertical) == (Half == 0) ? btNext : btPrev;
}
}  // namespace

void TCustomUpDown::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      WMLButtonDown(M);
      return;
    case WM_LBUTTONUP:
      WMLButtonUp(M);
      return;
    case WM_TIMER:
      if (M.WParam == kRepeatTimer) {
        if (FPressed < 0) {
          KillTimer(Handle(), kRepeatTimer);
          return;
        }
        if (!FRepeating) {
          FRepeating = true;
          SetTimer(Handle(), kRepeatTimer, 100);
        }
        Step(ButtonOf(FOrientation, FPressed));
        return;
      }
      break;
    case UDM_SETRANGE:
      UDMSetRange(M);
      return;
    case UDM_GETRANGE:
      M.Result = MakeLParam(FMax, FMin);
      return;
    case UDM_SETPOS:
      UDMSetPos(M);
      return;
    case UDM_GETPOS:
      M.Result = Position();
      return;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(M);
      return;
    default:
      break;
  }
  TWinControl::Dispatch(M);
}

void TCustomUpDown::WMLButtonDown(TMessage& M) {
  TWinControl::Dispatch(M);
  if (!Enabled()) return;
  FPressed = HalfAt(PointFromLParam(M.LParam));
  Invalidate();
  Step(ButtonOf(FOrientation, FPressed));
  SetTimer(Handle(), kRepeatTimer, 400);
  FRepeating = false;
}

void TCustomUpDown::WMLButtonUp(TMessage& M) {
  TWinControl::Dispatch(M);
  if (FPressed >= 0) {
    FPressed = -1;
    KillTimer(Handle(), kRepeatTimer);
    Invalidate();
  }
}

void TCustomUpDown::UDMSetRange(TMessage& M) {
  FMax = static_cast<SmallInt>(LoWord(static_cast<std::uintptr_t>(M.LParam)));
  SetMin(static_cast<SmallInt>(HiWord(static_cast<std::uintptr_t>(M.LParam))));
}

void TCustomUpDown::UDMSetPos(TMessage& M) {
  M.Result = FPosition;
  SetPosition(static_cast<SmallInt>(M.LParam));
}

void TCustomUpDown::CMEnabledChanged(TMessage& M) {
  TWinControl::Dispatch(M);
  Invalidate();
}

