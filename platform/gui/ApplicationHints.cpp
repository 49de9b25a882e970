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
  TPoint client = PointFromLParam(Message.LParam);
  TPoint pos = Control->ClientToScreen(client);
  // A hint belongs to its cursor rectangle (a cell of a grid, say): leaving it asks again.
  bool leftRect = Control == FHintControl && FHintActive && !PtInRect(FHintCursorRect, client);
  if (Control != FHintControl || leftRect) {
    bool wasActive = FHintActive;
    CancelHint();
    FHintControl = Control;
    SetHint(GetLongHint(Control->Hint()));
    FHintReshow = wasActive;
  }
  FHintCursor = pos;
  // An empty Hint may still give one: the control answers CM_HINTSHOW itself.
  if (!FShowHint || !Control->ShowHint() || FHintActive) return;
  if (!FHintTimer) {
    int pause = FHintReshow ? FHintShortPause : FHintPause;
    Control->Perform(CM_HINTSHOWPAUSE, FHintReshow ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
    FHintTimer = SetTimer(FHandle, 1, static_cast<UINT>(std::max(pause, 10)));
  }
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
  // Until the mouse leaves the cursor rectangle the answer stands, also an empty one.
  FHintCursorRect = info.CursorRect;
  FHintActive = canShow;
  if (!canShow || info.HintStr.empty()) return;
  // The control may ask for a window of its own kind (a tool tip with its own font).
  TClass cls = info.HintWindowClass ? info.HintWindowClass : THintWindow::StaticClass();
  if (FHintWindow && FHintWindow->ClassType() != cls) {
    delete FHintWindow;
    FHintWindow = nullptr;
  }
  if (!FHintWindow) FHintWindow = dynamic_cast<THintWindow*>(cls->Create(this));
  if (!FHintWindow) FHintWindow = new THintWindow(this);
  FHintWindow->SetColor(info.HintColor);
  TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  OffsetRect(r, info.HintPos.X, info.HintPos.Y);
  FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
  if (info.HideTimeout > 0) SetTimer(FHandle, 2, static_cast<UINT>(info.HideTimeout));
}
