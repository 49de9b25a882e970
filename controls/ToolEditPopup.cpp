#include "controls/ToolEditPopup.h"

#include "core/ClassBuilder.h"
#include "gui/Window.h"

KELM_PUBLISH(TPopupWindow) {}

TPopupWindow::TPopupWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FEditor = dynamic_cast<TWinControl*>(AOwner);
  TControlStyle style = ControlStyle();
  style += csAcceptsControls;
  style += csNoDesignVisible;
  style += csReplicatable;
  SetControlStyle(style);
  SetCtl3D(false);
  SetParentCtl3D(false);
  SetVisible(false);
  // A top-level window of the layer has no parent control: the edit is only its owner.
  OnMouseUp = TMouseEvent(this, &TPopupWindow::PopupMouseUp);
  RecreateWnd();
}

void TPopupWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WndParent = 0;
}

void TPopupWindow::PopupMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button == mbLeft) FinishPopup(PtInRect(ClientRect(), TPoint{X, Y}));
}

void TPopupWindow::FinishPopup(bool Accept) { OnPopupClose(this, Accept); }

void TPopupWindow::ShowAt(TPoint P) {
  SetWindowPos(Handle(), HWND_TOP, P.X, P.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetVisible(true);
}

void TPopupWindow::HideWindow() {
  SetWindowPos(Handle(), 0, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetVisible(false);
}

void TPopupWindow::Dispatch(TMessage& M) {
  if (M.Msg == WM_MOUSEACTIVATE) {
    M.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::Dispatch(M);
}
