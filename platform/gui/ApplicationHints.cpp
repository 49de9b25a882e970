// The application's hints (declared in Application.h): the pause before a control's hint
// shows, CM_HINTSHOW and OnShowHint, the hint window, and hiding it again.
#include "gui/Application.h"

#include "gui/Screen.h"

#include <algorithm>

void TApplication::SetHint(const String& v) {
  if (v == FHint) return;
  FHint = v;
  OnHint(this);
}

void TApplication::CancelHint() {
  if (FHintTimer) {
    KillTimer(FHandle, 1);
    FHintTimer = 0;
  }
  KillTimer(FHandle, 2);
  if (FHintWindow && FHintWindow->Visible()) FHintWindow->ReleaseHandle();
  FHintActive = false;
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  if (Message.Msg != WM_MOUSEMOVE) {
    if (Message.Msg != WM_MOUSEWHEEL) CancelHint();
    return;
  }
  if (Control == FHintWindow) return;
  TPoint pos = Control->ClientToScreen(PointFromLParam(Message.LParam));
  if (Control != FHintControl) {
    CancelHint();
    FHintControl = Control;
    SetHint(GetLongHint(Control->Hint()));
  }
  FHintCursor = pos;
  if (!FShowHint || !Control->ShowHint() || Control->Hint().empty() || FHintActive) return;
  if (!FHintTimer) FHintTimer = SetTimer(FHandle, 1, static_cast<UINT>(std::max(FHintPause, 10)));
}

void TApplication::HintTimerExpired() {
  KillTimer(FHandle, 1);
  FHintTimer = 0;
  ActivateHint(FHintCursor);
}

void TApplication::ActivateHint(TPoint CursorPos) {
  TControl* c = FHintControl;
  if (!c || !c->ShowHint()) return;
  THintInfo info;
  info.HintControl = c;
  info.HintPos = {CursorPos.X, CursorPos.Y + 20};
  info.HintMaxWidth = Screen ? Screen->Width() : 1024;
  info.HintColor = FHintColor;
  info.CursorPos = c->ScreenToClient(CursorPos);
  info.CursorRect = c->ClientRect();
  info.HintStr = GetShortHint(c->Hint());
  info.HideTimeout = FHintHidePause;
  if (c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0) return;
  bool canShow = true;
  OnShowHint(info.HintStr, canShow, info);
  if (!canShow || info.HintStr.empty()) return;
  if (!FHintWindow) FHintWindow = new THintWindow(this);
  FHintWindow->SetColor(info.HintColor);
  TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  OffsetRect(r, info.HintPos.X, info.HintPos.Y);
  FHintWindow->ActivateHint(r, info.HintStr);
  FHintActive = true;
  if (info.HideTimeout > 0) SetTimer(FHandle, 2, static_cast<UINT>(info.HideTimeout));
}
