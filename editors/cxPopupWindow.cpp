// Placement, sizing, frame and activation of the popup window.
#include "editors/cxPopupWindow.h"

#include "core/ClassBuilder.h"
#include "editors/cxCanvas.h"
#include "editors/cxControlUtils.h"

KELM_PUBLISH(TcxPopupWindow) {}

TcxPopupWindow::TcxPopupWindow(TComponent* AOwner) : TForm(nullptr) {
  (void)AOwner;  // made without owner, as every drop-down is
  SetBorderStyle(bsNone);
  SetDefaultMonitor(dmDesktop);
  SetFormStyle(fsStayOnTop);
  FcxCanvas = std::make_unique<TcxCanvas>(Canvas());
}

TcxPopupWindow::~TcxPopupWindow() = default;

int TcxPopupWindow::FrameLineWidth(int) {
  switch (FrameKind) {
    case pfkLine:
    case pfkRaisedThin: return 1;
    case pfkRaised: return 2;
    default: return 0;
  }
}

TRect TcxPopupWindow::AnchorScreenBounds() {
  if (!AnchorParent) return AnchorBounds;
  const TPoint a = AnchorParent->ClientToScreen(AnchorBounds.TopLeft());
  const TPoint b = AnchorParent->ClientToScreen(AnchorBounds.BottomRight());
  return Rect(a.X, a.Y, b.X, b.Y);
}

namespace {
// Step 2 of the placement: the position beside the anchor (P) and the point whose monitor
// decides the work area (Q), for one direction of opening.
void PlaceBeside(TcxPopupDirection Dir, TcxPopupPlacement H, TcxPopupPlacement V, const TRect& R, int W, int Ht,
                 TPoint& P, TPoint& Q) {
  if (Dir == podSideways) {
    if (H == ppStart) P.X = R.Left - W, Q.X = R.Left;
    else if (H == ppEnd) P.X = Q.X = R.Right;
    if (V == ppStart) P.Y = Q.Y = R.Top;
    else if (V == ppEnd) P.Y = R.Bottom - Ht, Q.Y = R.Bottom;
  } else {
    if (H == ppStart) P.X = Q.X = R.Left;
    else if (H == ppEnd) P.X = R.Right - W, Q.X = R.Right;
    if (V == ppStart) P.Y = R.Top - Ht, Q.Y = R.Top;
    else if (V == ppEnd) P.Y = Q.Y = R.Bottom;
  }
}

// Flips a placement to the roomier side when the popup does not fit where it is.
void Flip(TcxPopupPlacement& Placement, int Pos, int Size, int AreaLo, int AreaHi, int AnchorLo, int AnchorHi) {
  const bool moreRoomBefore = (AreaHi - AnchorHi) < (AnchorLo - AreaLo);
  if (Placement == ppEnd && Pos + Size > AreaHi && moreRoomBefore) Placement = ppStart;
  else if (Placement == ppStart && Pos < AreaLo && !moreRoomBefore) Placement = ppEnd;
}

int Clamp(int Pos, int Size, int Lo, int Hi) {
  if (Pos + Size > Hi) Pos = Hi - Size;
  if (Pos < Lo) Pos = Lo;
  return Pos;
}
}  // namespace

TPoint TcxPopupWindow::ComputePosition() {
  const TRect R = AnchorScreenBounds();
  const int W = Width(), H = Height();
  TPoint P, Q;
  if (HorzPlacement == ppCenter) P.X = Q.X = (R.Left + R.Right - W) / 2;
  if (VertPlacement == ppCenter) P.Y = Q.Y = (R.Top + R.Bottom - H) / 2;
  TcxPopupPlacement h = HorzPlacement, v = VertPlacement;
  PlaceBeside(OpenDirection, h, v, R, W, H, P, Q);
  TRect A;
  DesktopWorkArea(Q, A);
  if (OpenDirection == podSideways) Flip(h, P.X, W, A.Left, A.Right, R.Left, R.Right);
  else Flip(v, P.Y, H, A.Top, A.Bottom, R.Top, R.Bottom);
  PlaceBeside(OpenDirection, h, v, R, W, H, P, Q);
  if (OpenDirection == podUpDown || h == ppCenter) P.X = Clamp(P.X, W, A.Left, A.Right);
  if (OpenDirection == podSideways || v == ppCenter) P.Y = Clamp(P.Y, H, A.Top, A.Bottom);
  return P;
}

void TcxPopupWindow::FitSizeToChildren() {
  if (!FitsToChildren) return;
  int maxRight = 0, maxBottom = 0;
  const int dx = FrameOffset(0), dy = FrameOffset(1);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    maxRight = std::max(maxRight, c->Left() + c->Width());
    maxBottom = std::max(maxBottom, c->Top() + c->Height());
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
  if (maxRight != 0 || ControlCount() > 0) SetWidth(dx + maxRight + FrameOffset(2));
  if (maxBottom != 0 || ControlCount() > 0) SetHeight(dy + maxBottom + FrameOffset(3));
}

void TcxPopupWindow::PreparePopup() {
  if (AnchorParent) Font()->Assign(AnchorParent->Font());
}

void TcxPopupWindow::OpenPopup() {
  PreparePopup();
  FitSizeToChildren();
  SetLeft(ComputePosition().X);
  SetTop(ComputePosition().Y);
  Show();
}

void TcxPopupWindow::DrawPopupFrame() {
  TRect r = Rect(0, 0, Width(), Height());
  switch (FrameKind) {
    case pfkLine: FcxCanvas->DrawBorderStrips(r, FrameLineColor, 1, cxBordersAll); break;
    case pfkRaisedThin: FcxCanvas->DrawEdge3D(r, false, false); break;
    case pfkRaised:
      FcxCanvas->DrawEdge3D(r, false, true);
      InflateRect(r, -1, -1);
      FcxCanvas->DrawEdge3D(r, false, false);
      break;
    default: break;
  }
}

void TcxPopupWindow::Paint() {
  TForm::Paint();
  DrawPopupFrame();
}

void TcxPopupWindow::Deactivate() {
  TForm::Deactivate();
  DismissPopup();
}

void TcxPopupWindow::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_ACTIVATE:
      TForm::Dispatch(M);
      if (LoWord(M.WParam) != WA_INACTIVE) {
        // The window it was opened from keeps an active caption (nothing shows under a
        // window manager, which draws the captions itself).
        ActivatedFrom = static_cast<HWND>(M.LParam);
        if (ActivatedFrom) SendMessage(ActivatedFrom, WM_NCACTIVATE, 1, 0);
      }
      return;
    case WM_ACTIVATEAPP:
      DefaultHandler(M);
      if (M.WParam == 0) {
        if (ActivatedFrom) SendMessage(ActivatedFrom, WM_NCACTIVATE, 0, 0);
        DismissPopup();
      }
      return;
    case CM_VISIBLECHANGED:
      TForm::Dispatch(M);
      HandleVisibleChange();
      return;
    default:
      TForm::Dispatch(M);
  }
}
