// The editors' popup window: opening, placement inside the work area, closing, deactivation,
// window creation, and the hooks that close popups on the user's activity elsewhere.
#include "editors/cxCustomPopupWindow.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "editors/cxCanvas.h"
#include "editors/cxControlUtils.h"
#include "editors/cxObjectLinks.h"
#include "editors/cxTimer.h"
#include "gui/Screen.h"
#include "gui/Application.h"
#include "gui/MessageHooks.h"
#include "gui/Window.h"
#include "gui/WinUser.h"

#include <algorithm>
#include <map>

namespace {

std::vector<TcxCustomPopupWindow*> gOpen;
bool gHookClosing = false;
int gHooks[3] = {0, 0, 0};

void InstallHooks();
void RemoveHooks();

void AddOpen(TcxCustomPopupWindow* P) {
  gOpen.push_back(P);
  if (!gHooks[0]) InstallHooks();
}

void RemoveOpen(TcxCustomPopupWindow* P) {
  gOpen.erase(std::remove(gOpen.begin(), gOpen.end(), P), gOpen.end());
  if (gOpen.empty()) RemoveHooks();
}

bool Destroying(TComponent* C) { return !C || C->ComponentState().Contains(csDestroying); }

TWinControl* Windowed(TControl* C) { return dynamic_cast<TWinControl*>(C); }

bool IsClientPress(UINT Msg) { return Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK; }

// ---------------------------------------------------------------- the hooks

void OnDestroy(HWND W) {
  for (TcxCustomPopupWindow* p : gOpen)
    if (!Destroying(p) && p->HandleAllocated() && p->Handle() == W) {
      p->Close();
      return;
    }
}

void OnClose(HWND W) {
  for (TcxCustomPopupWindow* p : std::vector<TcxCustomPopupWindow*>(gOpen)) {
    if (Destroying(p)) continue;
    if (p->HandleAllocated() && p->Handle() == W) {
      if (p->CloseQuery()) {
        p->DismissPopup();
        TControl* owner = p->OwnerControl();
        if (!p->IsOpen() && p->TakesFocus() && !Destroying(owner))
          if (TWinControl* w = Windowed(owner); w && w->HandleAllocated())
            if (HWND top = FindTopLevelWindow(w->Handle())) SendMessage(top, WM_CLOSE, 0, 0);
      }
      return;
    }
    if (p->TakesFocus()) continue;
    if (Destroying(p->OwnerControl())) continue;
    TCustomForm* form = GetParentForm(p->OwnerControl());
    if (!form || !form->HandleAllocated() || form->Handle() == W) p->DismissPopup();
    return;
  }
}

void OnHidden(HWND W) {
  for (std::size_t i = gOpen.size(); i-- > 0;) {
    TcxCustomPopupWindow* p = gOpen[i];
    TWinControl* owner = Windowed(p->OwnerControl());
    if (Destroying(p) || !owner || Destroying(owner) || !owner->HandleAllocated() || owner->Handle() != W) continue;
    // It and every popup opened after it, the most recent first.
    for (std::size_t j = gOpen.size(); j-- > i;) gOpen[j]->DismissPopup();
    return;
  }
}

void OnApplicationDeactivated() {
  // The application is no longer active: nor is any caption the popups kept active.
  for (TcxCustomPopupWindow* p : gOpen)
    if (TCustomForm* form = p->OwnerControl() ? GetParentForm(p->OwnerControl()) : nullptr;
        form && form->HandleAllocated())
      PostMessage(form->Handle(), WM_NCACTIVATE, 0, 0);
  for (bool again = true; again;) {
    again = false;
    for (TcxCustomPopupWindow* p : gOpen) {
      if (p->TakesFocus() && Screen && Screen->ActiveCustomForm() == p) continue;
      if (!p->Enabled()) continue;
      TControl* owner = p->OwnerControl();
      p->DismissPopup();
      if (auto* c = dynamic_cast<TcxContainer*>(owner)) c->HandleFocusChangeFromHosted();
      again = true;
      break;
    }
  }
}

// The owner's form keeps its active caption while its popup is open: the form's next
// message, this deactivation, is answered without reaching it.
void OnCaptionDeactivated(HWND W) {
  if (gHookClosing) return LockNextMessage(W);
  for (TcxCustomPopupWindow* p : gOpen) {
    if (Destroying(p) || !p->OwnerControl()) continue;
    TCustomForm* form = GetParentForm(p->OwnerControl());
    if (form && form->HandleAllocated() && form->Handle() == W) return LockNextMessage(W);
  }
}

void OnMoved(HWND W) {
  for (bool again = true; again;) {
    again = false;
    for (TcxCustomPopupWindow* p : gOpen) {
      TWinControl* owner = Windowed(p->OwnerControl());
      if (Destroying(p) || !p->HandleAllocated() || !owner || Destroying(owner) || !owner->HandleAllocated()) continue;
      if (owner->Handle() == W && !IsWindowVisible(W)) {
        p->DismissPopup();
        again = true;
        break;
      }
    }
  }
}

void SentHook(HWND W, UINT Msg, WPARAM WParam, LPARAM) {
  if (gOpen.empty()) return;
  switch (Msg) {
    case WM_DESTROY: OnDestroy(W); break;
    case WM_CLOSE: OnClose(W); break;
    case WM_SHOWWINDOW:
      if (WParam == 0) OnHidden(W);
      break;
    case WM_ACTIVATEAPP:
      if (WParam == 0) OnApplicationDeactivated();
      break;
    case WM_WINDOWPOSCHANGED: OnMoved(W); break;
    case WM_NCACTIVATE:
      if (WParam == 0) OnCaptionDeactivated(W);
      break;
    default: break;
  }
}

// Alt keys the most recent popup does not accept are swallowed, unless it runs its own loop.
void QueuedHook(TMsg& M) {
  if (gOpen.empty() || M.message != WM_SYSKEYDOWN) return;
  TcxCustomPopupWindow* p = gOpen.back();
  if (p->TakesFocus() && p->ModalLoop) return;
  if (!p->AcceptsSysKey(static_cast<Word>(M.wParam))) M.message = WM_NULL;
}

// The MDI form that shows the child, when the form is an MDI child.
TCustomForm* MdiFormOf(TCustomForm* Child) {
  if (!Child || Child->FormStyle() != fsMDIChild || !Screen) return nullptr;
  for (int i = 0; i < Screen->CustomFormCount(); ++i) {
    TCustomForm* f = Screen->CustomForms(i);
    if (f->FormStyle() != fsMDIForm) continue;
    for (int k = 0; k < f->MDIChildCount(); ++k)
      if (f->MDIChildren(k) == Child) return f;
  }
  return nullptr;
}

// The window is the client window that shows the owner's form, or lies in the MDI form or
// in one of its other children.
bool InMdiFamily(TCustomForm* OwnerForm, HWND W) {
  TCustomForm* main = MdiFormOf(OwnerForm);
  if (!main) return false;
  if (W == main->ClientHandle() || IsFormWindow(main, W, true)) return true;
  for (int k = 0; k < main->MDIChildCount(); ++k)
    if (TForm* c = main->MDIChildren(k); c != OwnerForm && IsFormWindow(c, W, true)) return true;
  return false;
}

bool ClickHook(HWND W, UINT Msg, TPoint Pt) {
  bool result = true;
  for (std::size_t i = 0; i < gOpen.size();) {
    TcxCustomPopupWindow* p = gOpen[i];
    if ((p->TakesFocus() && Screen && Screen->ActiveCustomForm() != p) || IsFormWindow(p, W, true)) {
      ++i;
      continue;
    }
    TControl* owner = p->OwnerControl();
    auto* ownerForm = owner ? dynamic_cast<TcxCustomPopupWindow*>(GetParentForm(owner)) : nullptr;
    if (BelongsToControlForm(owner, W) || (ownerForm && !ownerForm->IsOpen())) {
      TWinControl* windowed = Windowed(owner);
      const bool onOwner = windowed && IsFormWindow(windowed, W, true) &&
                           IsClientPress(Msg) && PtInRect(p->AnchorScreenBounds(), Pt);
      {
        TRestore<bool> closing(gHookClosing, true);
        TRestore<bool> external(p->ExternalCloseUp, true);
        p->DismissPopup();
      }
      if (onOwner && (Destroying(owner) || !owner->Visible())) result = false;
      i = 0;  // the list changed: from the first again
      continue;
    }
    if (InMdiFamily(owner ? GetParentForm(owner) : nullptr, W)) {
      p->DismissPopup();
      i = 0;
      continue;
    }
    ++i;
  }
  return result;
}

void InstallHooks() {
  gHooks[0] = AddSentMessageHook(SentHook);
  gHooks[1] = AddQueuedMessageHook(QueuedHook);
  gHooks[2] = AddMouseClickHook(ClickHook);
}

void RemoveHooks() {
  if (!gHooks[0]) return;
  RemoveSentMessageHook(gHooks[0]);
  RemoveQueuedMessageHook(gHooks[1]);
  RemoveMouseClickHook(gHooks[2]);
  gHooks[0] = gHooks[1] = gHooks[2] = 0;
}

}  // namespace

const std::vector<TcxCustomPopupWindow*>& OpenPopupWindows() { return gOpen; }

// ---------------------------------------------------------------- unit functions

bool IsFormWindow(TWinControl* Form, HWND Window, bool WithPopups) {
  TWinControl* w = Form;
  if (!w || !w->HandleAllocated()) return false;
  if (w->Handle() == Window) return true;
  if (!WithPopups || Window == 0) return false;
  return IsChild(w->Handle(), Window) || IsWindowInPopupTree(w, Window);
}

bool IsWindowInPopup(TcxCustomPopupWindow* Popup, HWND Window) {
  if (!Popup || Window == 0 || !Popup->HandleAllocated() || Popup->Handle() == Window) return false;
  return IsChild(Popup->Handle(), Window) || IsWindowInPopupTree(Popup, Window);
}

bool IsWindowInPopupTree(TWinControl* AControl, HWND Window) {
  if (!AControl) return false;
  for (int i = 0; i < AControl->ControlCount(); ++i) {
    auto* c = dynamic_cast<TWinControl*>(AControl->Controls(i));
    if (!c || !c->HandleAllocated()) continue;
    if (c->Handle() == Window || IsWindowInPopupTree(c, Window) || IsChild(c->Handle(), Window)) return true;
  }
  auto inTree = [Window](TcxCustomPopupWindow* p) {
    return p->HandleAllocated() && (p->Handle() == Window || IsWindowInPopupTree(p, Window));
  };
  if (auto* self = dynamic_cast<TcxCustomPopupWindow*>(AControl))
    for (TcxCustomPopupWindow* p : gOpen)
      if (p != self && p->OwnerControl() && GetParentForm(p->OwnerControl()) == self && inTree(p)) return true;
  for (TcxCustomPopupWindow* p : gOpen)
    if (p->OwnerControl() == AControl && inTree(p)) return true;
  return false;
}

bool BelongsToControlForm(TControl* AControl, HWND Window) {
  TCustomForm* form = AControl ? GetParentForm(AControl) : nullptr;
  return form && IsFormWindow(form, Window, true);
}

bool IsControlWindowVisible(TWinControl* AControl) {
  return AControl && AControl->HandleAllocated() && IsWindowVisible(AControl->Handle());
}

namespace {
// Each locked window's own procedure, put back by its next message.
std::map<HWND, TWndMethod>& LockedProcedures() {
  static std::map<HWND, TWndMethod> procs;
  return procs;
}
}  // namespace

void LockNextMessage(HWND Window) {
  TWinControl* c = FindControl(Window);
  // Locked already: locking again would save the lock as the window's procedure.
  if (!c || LockedProcedures().count(Window)) return;
  LockedProcedures()[Window] = c->WindowProc;
  c->WindowProc = [c, Window](TMessage& M) {
    auto it = LockedProcedures().find(Window);
    TWndMethod own = std::move(it->second);
    LockedProcedures().erase(it);
    M.Result = 1;
    c->WindowProc = std::move(own);  // frees this procedure: nothing may follow
  };
}

bool DiscardQueuedMessages(HWND Window, UINT First, UINT Last, bool All) {
  bool removed = false;
  TMsg m;
  while (PeekMessage(m, Window, First, Last, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    removed = true;
    if (!All) break;
  }
  return removed;
}

// ---------------------------------------------------------------- TcxCustomPopupWindow

KELM_PUBLISH(TcxCustomPopupWindow) {}

TcxCustomPopupWindow::TcxCustomPopupWindow(TControl* AOwnerControl) : TcxPopupWindow(nullptr), FOwnerControl(AOwnerControl) {
  SetFormStyle(fsNormal);
  SetVisible(false);
  FPopupStyle.reset(GetStyleClass()(this, false, nullptr, ccNormal));
  FPopupStyle->OnChanged = TNotifyEvent(this, &TcxCustomPopupWindow::PopupStyleChanged);
  FPaintInfo.reset(CreateViewInfo());
  SetKeyPreview(true);
}

TcxCustomPopupWindow::~TcxCustomPopupWindow() {
  if (IsOpen()) RemoveOpen(this);
  FPaintInfo.reset();
  FPopupStyle->OnChanged = nullptr;
  FPopupStyle.reset();
}

TcxContainerStyleClass TcxCustomPopupWindow::GetStyleClass() {
  return [](TPersistent* O, bool D, TcxContainerStyle* P, TcxContainerCondition S) {
    return new TcxContainerStyle(O, D, P, S);
  };
}

void TcxCustomPopupWindow::DoAfterCloseUp() { OnAfterCloseUp(this); }
void TcxCustomPopupWindow::DoBeforeCloseUp() { OnBeforeCloseUp(this); }
void TcxCustomPopupWindow::DoAfterPopup() { OnAfterPopup(this); }

bool TcxCustomPopupWindow::AcceptsSysKey(Word Key) { return (Key >= VK_PRIOR && Key <= VK_DOWN) || Key == VK_F4; }

bool TcxCustomPopupWindow::IsOpen() const {
  return std::find(gOpen.begin(), gOpen.end(), this) != gOpen.end();
}

bool TcxCustomPopupWindow::HasCaptureInside() const { return HandleAllocated() && GetCapture() == Handle(); }

bool TcxCustomPopupWindow::IsOwnerWindowVisible() const {
  auto* w = Windowed(FOwnerControl);
  return w && w->HandleAllocated() && w->Showing();
}

void TcxCustomPopupWindow::RecreateWindow() {
  if (HandleAllocated()) RecreateWnd();
}

bool TcxCustomPopupWindow::PopupFocused() const {
  return IsOpen() && FTakesFocus && IsFormWindow(const_cast<TcxCustomPopupWindow*>(this), GetFocus(), true);
}

void TcxCustomPopupWindow::PostCloseUp() { PostMessage(Handle(), DM_CLOSEPOPUP, 0, 0); }

void TcxCustomPopupWindow::Reopen() {
  RecreateWindow();
  if (!IsOpen()) return;
  DismissPopup();
  Popup(FocusTarget);
}

void TcxCustomPopupWindow::SetTakesFocus(bool Value) {
  if (FTakesFocus == Value) return;
  FTakesFocus = Value;
  Reopen();
}

void TcxCustomPopupWindow::SetTopmostWithOwner(bool Value) {
  if (FTopmostWithOwner == Value) return;
  FTopmostWithOwner = Value;
  Reopen();
}

TRect TcxCustomPopupWindow::AnchorScreenBounds() {
  auto* w = Windowed(FOwnerControl);
  if (w && w->HandleAllocated() && IsChildWindow(w->Handle())) return TcxPopupWindow::AnchorScreenBounds();
  return AnchorBounds;
}

void TcxCustomPopupWindow::ClampToWorkArea(TPoint& P) {
  if (!KeepsInsideWorkArea()) return;
  int w = Width(), h = Height();
  TRect a;
  DesktopWorkArea(P, a);
  if (P.X < a.Left) {
    w -= a.Left - P.X;
    P.X = a.Left;
  }
  if (P.Y < a.Top) {
    h -= a.Top - P.Y;
    P.Y = a.Top;
  }
  w = std::min(w, a.Right - P.X);
  h = std::min(h, a.Bottom - P.Y);
  SetWidth(w);
  SetHeight(h);
  if (Height() != h && P.Y == a.Top) P.Y += h - Height();
}

void TcxCustomPopupWindow::Popup(TWinControl* FocusedControl) {
  if (IsOpen() || !IsOwnerWindowVisible()) return;
  PreparePopup();
  FitSizeToChildren();
  TPoint p = ComputePosition();
  ClampToWorkArea(p);
  AddOpen(this);
  OnBeforePopup(this);
  SetBounds(p.X, p.Y, Width(), Height());
  Show();
  if (FTakesFocus) {
    if (FocusedControl && FocusedControl->CanFocus() && FocusedControl->TabStop()) FocusTarget = FocusedControl;
    else if (TWinControl* first = FindNextControl(nullptr, true, true, false)) FocusTarget = first;
    else FocusTarget = this;
    if (FocusTarget->CanFocus()) FocusTarget->SetFocus();
  } else {
    // A popup that never takes the activation passes the focus only to a control it was given.
    FocusTarget = FocusedControl;
    if (FocusTarget && FocusTarget->CanFocus()) FocusTarget->SetFocus();
  }
  TCustomForm* ownerForm = FOwnerControl ? GetParentForm(FOwnerControl) : nullptr;
  const bool topmost = !FTakesFocus || !ownerForm || (ownerForm->WindowExStyle() & WS_EX_TOPMOST);
  SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, 0x53);
  SetModalResult(0);
  DoAfterPopup();
  if (!FTakesFocus || !ModalLoop) return;
  TcxObjectLinkScope link(this);
  while (link.Alive() && Visible() && !Application->Terminated()) {
    TMsg m;
    if (PeekMessage(m, 0, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
        (m.wParam == VK_RETURN || m.wParam == VK_MENU || m.wParam == VK_SPACE))
      PeekMessage(m, 0, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (ModalResult() != 0) {
      if (CloseQuery()) ModalCloseUp();
      else SetModalResult(0);
      if (!link.Alive() || !Visible()) break;
    }
    Application->HandleMessage();
  }
}

void TcxCustomPopupWindow::DismissPopup() {
  if (!IsOpen()) return;
  RemoveOpen(this);
  DoBeforeCloseUp();
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  Hide();
  DoAfterCloseUp();
  if (HandleAllocated() && IsFormWindow(this, GetCapture(), true)) SetCaptureControl(nullptr);
}

void TcxCustomPopupWindow::Deactivate() {
  TForm::Deactivate();
  if (ExternalCloseUp || gOpen.empty()) return;
  const HWND active = GetActiveWindow();
  for (std::size_t i = gOpen.size(); i-- > 0;) {
    if (i >= gOpen.size()) continue;
    TcxCustomPopupWindow* p = gOpen[i];
    if (p->HandleAllocated() && p->Handle() == active) break;
    if (p->Enabled()) p->DismissPopup();
  }
  if (!gOpen.empty()) DismissPopup();
}

void TcxCustomPopupWindow::CreateParams(TCreateParams& Params) {
  TcxPopupWindow::CreateParams(Params);
  TCustomForm* ownerForm = FOwnerControl ? GetParentForm(FOwnerControl) : nullptr;
  if (FTakesFocus) {
    if (ownerForm) Params.WndParent = ownerForm->Handle();
    Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
    if (FTopmostWithOwner && (!ownerForm || (ownerForm->WindowExStyle() & WS_EX_TOPMOST)))
      Params.ExStyle |= WS_EX_TOPMOST;
  } else {
    // Never activated: the platform's inactive popup stands for a child of the desktop.
    Params.Style = WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;
  }
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxCustomPopupWindow::CreateWnd() {
  if (IsOpen()) return TcxPopupWindow::CreateWnd();
  // Listed while its window is made, as the hooks expect of a popup window.
  gOpen.push_back(this);
  TScopeExit unlist([this] { gOpen.erase(std::remove(gOpen.begin(), gOpen.end(), this), gOpen.end()); });
  TcxPopupWindow::CreateWnd();
}

void TcxCustomPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (IsOpen() && HasCaptureInside() && Key == VK_ESCAPE) {
    SetCaptureControl(nullptr);
    Key = 0;
    return;
  }
  TcxPopupWindow::KeyDown(Key, Shift);
}

void TcxCustomPopupWindow::Paint() { FPaintInfo->Draw(cxCanvas()); }

void TcxCustomPopupWindow::HandleVisibleChange() {
  auto* owner = Windowed(FOwnerControl);
  if (!FTakesFocus || !owner || !HandleAllocated() || Visible()) return;
  TCustomForm* form = GetParentForm(owner);
  if (form && GetFocus() == form->Handle() && owner->CanFocus() && !form->ComponentState().Contains(csDesigning))
    owner->SetFocus();
}

void TcxCustomPopupWindow::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_ACTIVATEAPP: return;  // the hooks decide
    case WM_ERASEBKGND:
      if (WantsEraseBackground()) TcxPopupWindow::Dispatch(M);
      else M.Result = 1;
      return;
    case DM_CLOSEPOPUP: {
      {
        TRestore<bool> external(ExternalCloseUp, true);
        DismissPopup();
      }
      if (auto* w = Windowed(FOwnerControl); w && w->HandleAllocated()) SendMessage(w->Handle(), WM_SETFOCUS, 0, 0);
      return;
    }
    case DM_OPENPOPUP: return Popup(FocusTarget);
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TcxPopupWindow::Dispatch(M);
      auto* c = M.LParam ? reinterpret_cast<TControl*>(M.LParam) : this;
      if (M.Msg == CM_MOUSEENTER) PopupMouseEnter(c);
      else PopupMouseLeave(c);
      return;
    }
    default: TcxPopupWindow::Dispatch(M);
  }
}
