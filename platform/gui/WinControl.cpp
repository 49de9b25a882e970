// TWinControl (children, tab order, focus, keys, the non-client frame, alignment, painting),
// TCustomControl, TGraphicControl and TControlCanvas.
#include "gui/WinControl.h"
#include "gui/MessageHooks.h"
#include "gui/WinUser.h"

#include "gui/Application.h"
#include "gui/CanvasPaint_p.h"
#include "gui/Forms.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"
#include "gui/Screen.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <QtGui/QRegion>

#include <algorithm>

namespace {

// While a Qt event is translated for a control that embeds a native Qt widget, the default
// handler of its messages lets Qt deliver the event on to that widget.
struct TNativePass {
  TWinControl* Control = nullptr;
  bool Passed = false;
};
TNativePass gNativePass;

bool IsInputMessage(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_KEYFIRST && m <= WM_KEYLAST);
}

// A parentless popup never takes the activation from the window it serves.
void MakeInactivePopup(QWidget* W, DWORD ExStyle) {
  W->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                    ((ExStyle & WS_EX_TOPMOST) ? Qt::WindowStaysOnTopHint : Qt::Widget));
  W->setAttribute(Qt::WA_ShowWithoutActivating);
}

// The part of the non-client frame that lies outside the widget (drawn by the window system),
// given the whole frame and the part the widget paints itself.
TRect OutsideFrame(const TRect& NC, const TRect& Inside) {
  return {NC.Left - Inside.Left, NC.Top - Inside.Top, NC.Right - Inside.Right, NC.Bottom - Inside.Bottom};
}

}  // namespace

namespace gui_glue {
void BeginNativePass(TWinControl* Control) { gNativePass = {Control, false}; }
bool EndNativePass() {
  bool p = gNativePass.Passed;
  gNativePass = {};
  return p;
}
}  // namespace gui_glue

// ================================================================ construction

KELM_PUBLISH(TWinControl) {}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  FBrush = std::make_unique<TBrush>();
  FBrush->SetColor(Color());
  FHandle = gui_glue::RegisterControlWindow(this);
  FWidget = new TControlWidget(this);
}

TWinControl::~TWinControl() {
  Destroying();
  // The window's handlers are gone by now: only the hooks hear that it is destroyed.
  if (FHandleCreated) NotifySentMessageHooks(FHandle, WM_DESTROY, 0, 0);
  gui_glue::ControlDestroyed(this);
  if (TCustomForm* f = GetParentForm(this); f && f != this) f->DefocusControl(this, true);
  if (::GetFocus() == FHandle) gui_glue::ForgetFocus();
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    RemoveControl(c);
    delete c;
  }
  if (Parent()) Parent()->RemoveControl(this);
  gui_glue::UnregisterWindow(FHandle);
  if (FWidget) {
    FWidget->Control = nullptr;
    delete FWidget;
    FWidget = nullptr;
  }
}


void TWinControl::SetParent(TWinControl* AParent) {
  TControl::SetParent(AParent);
  if (!AParent && FHandleCreated && (FStyle & WS_POPUP)) MakeInactivePopup(FWidget, FExStyle);
  ApplyGeometry();
}

HWND TWinControl::Handle() const {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() const {
  if (!FHandleCreated) const_cast<TWinControl*>(this)->CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& P) {
  P.Caption = WindowText();
  P.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (!Parent()) P.Style = WS_POPUP;
  if (TabStop()) P.Style |= WS_TABSTOP;
  if (!Enabled()) P.Style |= WS_DISABLED;
  P.X = Left();
  P.Y = Top();
  P.Width = Width();
  P.Height = Height();
  P.WndParent = Parent() ? Parent()->FHandle : 0;
  P.WinClassName = ClassName();
}

void TWinControl::CreateHandle() {
  if (FHandleCreated) return;
  FHandleCreated = true;
  TCreateParams p;
  CreateParams(p);
  FStyle = p.Style;
  FExStyle = p.ExStyle;
  if (!Parent() && (FStyle & WS_POPUP) && (!dynamic_cast<TCustomForm*>(this) || (FExStyle & WS_EX_NOACTIVATE))) {
    MakeInactivePopup(FWidget, FExStyle);
  }
  FWidget->setEnabled(Enabled());
  SendNCCalcSize();
  ApplyGeometry();
  CreateWnd();
  Realign();
}

void TWinControl::CreateWnd() {}
void TWinControl::DestroyWnd() {}

void TWinControl::RecreateWnd() {
  if (!FHandleCreated) return;
  DestroyWnd();
  FHandleCreated = false;
  CreateHandle();
  FrameChanged();
  Invalidate();
}

void TWinControl::SetWindowStyles(DWORD Style, DWORD ExStyle) {
  FStyle = Style;
  FExStyle = ExStyle;
  FrameChanged();
}

// ================================================================ children

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FControls[static_cast<std::size_t>(Index)];
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  FControls.push_back(AControl);
  AControl->FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    FTabList.push_back(w);
    w->FWidget->setParent(FWidget);
    w->ApplyGeometry();
    w->FWidget->setVisible(w->Visible());
  }
  AControl->Perform(CM_PARENTCOLORCHANGED);
  AControl->Perform(CM_PARENTFONTCHANGED);
  AControl->Perform(CM_PARENTSHOWHINTCHANGED);
  AControl->Perform(CM_PARENTBIDIMODECHANGED);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    w->Perform(CM_PARENTCTL3DCHANGED);
    w->UpdateShowing();
  }
  AControl->UpdateAnchorRules();
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  if (AControl->Visible()) AControl->Invalidate();
  AControl->RequestAlign();
}

void TWinControl::RemoveControl(TControl* AControl) {
  auto it = std::find(FControls.begin(), FControls.end(), AControl);
  if (it == FControls.end()) return;
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (AControl->Visible()) AControl->Invalidate();
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(w, true);
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
    if (w->FWidget && !w->ComponentState().Contains(csDestroying)) {
      w->FWidget->hide();
      w->FWidget->setParent(nullptr);
    }
    w->FShowing = false;
  }
  FControls.erase(std::find(FControls.begin(), FControls.end(), AControl));
  AControl->FParent = nullptr;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (!ComponentState().Contains(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this) Control = Control->Parent();
  return Control == this;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    bool win = dynamic_cast<TWinControl*>(c) != nullptr;
    if (win && !AllowWinControls) continue;
    if (!c->Visible() || (!c->Enabled() && !AllowDisabled)) continue;
    if (!PtInRect(c->BoundsRect(), Pos)) continue;
    // A control may answer that a point of its rectangle is not its own.
    if (c->Perform(CM_HITTEST, 0, PointToLParam({Pos.X - c->Left(), Pos.Y - c->Top()})) == 0) continue;
    return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (std::find(FControls.begin(), FControls.end(), c) == FControls.end()) continue;
    c->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m;
  m.Msg = Msg;
  for (TControl* c : std::vector<TControl*>(FControls)) {
    m.Result = 0;
    c->WindowProc(m);
  }
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TControl* c : FControls)
    if (c->Owner() == Root) Proc(c);
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
  auto* c = dynamic_cast<TControl*>(Child);
  if (!c || c->Parent() != this) return;
  auto it = std::find(FControls.begin(), FControls.end(), c);
  FControls.erase(it);
  Order = std::clamp(Order, 0, static_cast<int>(FControls.size()));
  FControls.insert(FControls.begin() + Order, c);
}

void TWinControl::ShowControl(TControl* AControl) {
  if (Parent()) Parent()->ShowControl(this);
}

// ================================================================ tab order and focus

TTabOrder TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  auto& v = Parent()->FTabList;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TWinControl::SetTabOrder(TTabOrder Value) {
  if (!Parent()) return;
  auto& v = Parent()->FTabList;
  auto it = std::find(v.begin(), v.end(), this);
  if (it == v.end()) return;
  v.erase(it);
  if (Value < 0 || Value > static_cast<int>(v.size())) Value = static_cast<int>(v.size());
  v.insert(v.begin() + Value, this);
}

void TWinControl::SetTabStop(bool v) {
  if (v == FTabStop) return;
  FTabStop = v;
  if (v) FStyle |= WS_TABSTOP;
  else FStyle &= ~WS_TABSTOP;
  Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

void TWinControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  DisableAlign();
  TScopeExit enable([this] { EnableAlign(); });
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(M, D);
  TControl::ChangeScale(M, D);
}

void TWinControl::ScaleBy(int M, int D) {
  // The control keeps its place; its size and everything inside it scale.
  const int l = Left(), t = Top();
  ChangeScale(M, D);
  SetBounds(l, t, Width(), Height());
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = static_cast<int>(list.size());
  auto found = std::find(list.begin(), list.end(), CurControl);
  int start = found == list.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(found - list.begin());
  int i = start;
  do {
    if (GoForward) {
      if (++i == n) i = 0;
    } else {
      if (i == 0) i = n;
      --i;
    }
    TWinControl* c = list[static_cast<std::size_t>(i)];
    if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) c->SetFocus();
}

bool TWinControl::CanFocus() const {
  const TControl* c = this;
  TCustomForm* form = GetParentForm(const_cast<TWinControl*>(this));
  while (c) {
    if (!c->Visible() || !c->Enabled()) return false;
    if (c == form) return true;
    c = c->Parent();
  }
  return true;
}

bool TWinControl::Focused() const { return FHandle != 0 && ::GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this); form && form != this) {
    form->FocusControl(this);
    return;
  }
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

bool TWinControl::Showing() const { return FShowing; }

void TWinControl::SetImeMode(TImeMode v) {
  FImeMode = v;
  FWidget->setAttribute(Qt::WA_InputMethodEnabled, v != imDisable && v != imClose);
}

// ================================================================ keys

bool TWinControl::IsMenuKey(TMessage& M) {
  for (TControl* c = this; c; c = c->Parent())
    if (auto* pm = dynamic_cast<IPopupMenu*>(c->PopupMenuComponent()); pm && pm->PopupIsShortCut(M)) return true;
  if (TCustomForm* form = GetParentForm(this); form && form->IsShortCut(M)) return true;
  // The main form answers shortcuts pressed on other forms.
  if (Application && Application->MainForm()) {
    TCustomForm* mf = Application->MainForm();
    if (mf != GetParentForm(this) && mf->Visible() && mf->IsShortCut(M)) return true;
  }
  return false;
}

void TWinControl::CNKeyDown(TMessage& M) {
  M.Result = 1;
  if (IsMenuKey(M)) return;
  if (!ComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, M.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
    UINT mask = 0;
    switch (M.WParam) {
      case VK_TAB: mask = DLGC_WANTTAB; break;
      case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
      case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
      default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, M.WParam, M.LParam) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
      TCustomForm* form = GetParentForm(this);
      if (form && form->Perform(CM_DIALOGKEY, M.WParam, M.LParam) != 0) return;
    }
  }
  M.Result = 0;
}

// A character may be an accelerator of the form (CM_DIALOGCHAR): Alt with a letter always,
// even typed in an edit; a plain letter only where the control does not take characters.
void TWinControl::CNChar(TMessage& M) {
  M.Result = 1;
  if (!ComponentState().Contains(csDesigning) &&
      (M.Msg == CN_SYSCHAR || (Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0)) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, M.WParam, M.LParam) != 0) return;
  }
  M.Result = 0;
}

namespace {

// A key message goes first to the form when it previews keys, and ends there when the form
// takes it; then, unless the control keeps no standard events, to the control's handler,
// which may change the key or take it by setting it to 0. True when it was taken.
template <class TKey, class FormFn, class HandlerFn>
bool RouteKey(TWinControl* Self, TMessage& M, FormFn&& FormTakes, HandlerFn&& Handler) {
  TCustomForm* form = GetParentForm(Self);
  if (form && form != Self && form->KeyPreview() && FormTakes(form)) return true;
  if (!Self->ControlStyle().Contains(csNoStdEvents)) {
    TKey key = static_cast<TKey>(M.WParam);
    Handler(key);
    M.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

}  // namespace

bool TWinControl::DoKeyDown(TMessage& M) {
  return RouteKey<Word>(this, M, [&](TCustomForm* f) { return f->DoKeyDown(M); },
                        [&](Word& Key) { KeyDown(Key, KeyDataToShiftState(M.LParam)); });
}

bool TWinControl::DoKeyUp(TMessage& M) {
  return RouteKey<Word>(this, M, [&](TCustomForm* f) { return f->DoKeyUp(M); },
                        [&](Word& Key) { KeyUp(Key, KeyDataToShiftState(M.LParam)); });
}

bool TWinControl::DoKeyPress(TMessage& M) {
  return RouteKey<Char>(this, M, [&](TCustomForm* f) { return f->DoKeyPress(M); }, [&](Char& Key) { KeyPress(Key); });
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }
void TWinControl::KeyUp(Word& Key, TShiftState Shift) { OnKeyUp(this, Key, Shift); }
void TWinControl::KeyPress(Char& Key) { OnKeyPress(this, Key); }
void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }

// ================================================================ mouse

bool TWinControl::IsControlMouseMsg(TMessage& M) {
  TControl* control = nullptr;
  TControl* cap = GetCaptureControl();
  if (GetCapture() == FHandle) {
    if (cap && cap != this && cap->Parent() == this) control = cap;
  } else {
    control = ControlAtPos(PointFromLParam(M.LParam), false);
  }
  if (!control) return false;
  TPoint p = PointFromLParam(M.LParam);
  p.X -= control->Left();
  p.Y -= control->Top();
  M.Result = control->Perform(M.Msg, M.WParam, PointToLParam(p));
  return true;
}

bool TWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (!handled) handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  return handled;
}

bool TWinControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}

bool TWinControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}

void TWinControl::WMMouseWheel(TMessage& M) {
  // The focused control of the form sees the wheel first, then its parents.
  TShiftState shift = KeysToShiftState(LoWord(M.WParam));
  WPARAM wp = (M.WParam & 0xFFFF0000u) | static_cast<WPARAM>(shift.Bits() & 0xFF);
  TWinControl* target = this;
  if (TCustomForm* form = GetParentForm(this)) {
    if (form->FFocusedControl) target = form->FFocusedControl;
  }
  M.Result = target->Perform(CM_MOUSEWHEEL, wp, M.LParam);
  if (M.Result == 0) DefaultHandler(M);
}

void TWinControl::WMSetCursor(TMessage& M) {
  if (static_cast<HWND>(M.WParam) == FHandle && static_cast<short>(LoWord(static_cast<WPARAM>(M.LParam))) == HTCLIENT) {
    TCursor cur = Screen ? Screen->Cursor() : crDefault;
    if (cur == crDefault) {
      TPoint p;
      GetCursorPos(&p);
      if (TControl* c = ControlAtPos(ScreenToClient(p), false)) cur = c->Cursor();
      if (cur == crDefault) cur = Cursor();
    }
    if (cur != crDefault) {
      if (HCURSOR h = Screen ? Screen->Cursors(cur) : nullptr) ::SetCursor(h);
      FWidget->setCursor(gui_glue::QtCursor(cur));
      M.Result = 1;
      return;
    }
  }
  DefaultHandler(M);
}

// ================================================================ the non-client frame

void TWinControl::SendNCCalcSize() {
  // The frame belongs to the styles, not to the size: a window still without a size must
  // not have its margins cut off.
  TRect r = Rect(0, 0, std::max(Width(), 4096), std::max(Height(), 4096));
  TRect w = r;
  Perform(WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&r));
  TRect nc{std::max(0, r.Left - w.Left), std::max(0, r.Top - w.Top), std::max(0, w.Right - r.Right),
           std::max(0, w.Bottom - r.Bottom)};
  if (nc != FNC) {
    FNC = nc;
    FWidget->NeedsFramePaint = true;
    FWidget->NeedsPaint = true;
  }
}

void TWinControl::FrameChanged() {
  int ow = ClientWidth(), oh = ClientHeight();
  SendNCCalcSize();
  ApplyGeometry();
  FWidget->NeedsFramePaint = true;
  FWidget->NeedsPaint = true;
  FWidget->ScheduleAll();
  for (TWinControl* c : FTabList) c->ApplyGeometry();
  if (ow != ClientWidth() || oh != ClientHeight()) Realign();
}

void TWinControl::WMNCCalcSizeDefault(TMessage& M) {
  auto* r = reinterpret_cast<TRect*>(M.LParam);
  if (!r) return;
  int edge = 0;
  if (FExStyle & WS_EX_CLIENTEDGE) edge += 2;
  if (FExStyle & WS_EX_STATICEDGE) edge += 1;
  if ((FStyle & WS_BORDER) && (FStyle & WS_CHILD)) edge += 1;
  if ((FStyle & WS_POPUP) && (FStyle & WS_BORDER)) edge += 1;
  if ((FExStyle & WS_EX_DLGMODALFRAME) || (FStyle & WS_DLGFRAME) == WS_DLGFRAME) edge += 3;
  InflateRect(*r, -edge, -edge);
  if (FStyle & WS_VSCROLL) r->Right -= GetSystemMetrics(SM_CXVSCROLL);
  if (FStyle & WS_HSCROLL) r->Bottom -= GetSystemMetrics(SM_CYHSCROLL);
  InflateRect(*r, -FBorderWidth, -FBorderWidth);
  if (r->Right < r->Left) r->Right = r->Left;
  if (r->Bottom < r->Top) r->Bottom = r->Top;
}

void TWinControl::WMNCPaintDefault(TMessage& M) {
  HDC dc = reinterpret_cast<HDC>(M.WParam);
  if (!dc) return;
  TRect r = Rect(0, 0, Width(), Height());
  if (FExStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (FExStyle & WS_EX_STATICEDGE) DrawEdge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if (FStyle & WS_BORDER) {
    FrameRect(dc, r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(r, -1, -1);
  }
  if ((FExStyle & WS_EX_DLGMODALFRAME) || (FStyle & WS_DLGFRAME) == WS_DLGFRAME) {
    DrawEdge(dc, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
    InflateRect(r, -1, -1);
  }
  // Scroll-bar places and the border band take the control's colours.
  TRect inner = r;
  if (FStyle & WS_VSCROLL) inner.Right -= GetSystemMetrics(SM_CXVSCROLL);
  if (FStyle & WS_HSCROLL) inner.Bottom -= GetSystemMetrics(SM_CYHSCROLL);
  if (FStyle & WS_VSCROLL) {
    TRect s{inner.Right, r.Top, r.Right, r.Bottom};
    FillRect(dc, s, GetSysColorBrush(COLOR_BTNFACE));
  }
  if (FStyle & WS_HSCROLL) {
    TRect s{r.Left, inner.Bottom, inner.Right, r.Bottom};
    FillRect(dc, s, GetSysColorBrush(COLOR_BTNFACE));
  }
  if (FBorderWidth > 0) {
    TRect c = inner;
    InflateRect(c, -FBorderWidth, -FBorderWidth);
    TRect band[4] = {{inner.Left, inner.Top, inner.Right, c.Top},
                     {inner.Left, c.Bottom, inner.Right, inner.Bottom},
                     {inner.Left, c.Top, c.Left, c.Bottom},
                     {c.Right, c.Top, inner.Right, c.Bottom}};
    for (const TRect& b : band)
      if (!IsRectEmpty(b)) FillRect(dc, b, FBrush->Handle());
  }
}

void TWinControl::SetBorderWidth(int v) {
  if (v < 0) v = 0;
  if (v == FBorderWidth) return;
  FBorderWidth = v;
  Perform(CM_BORDERCHANGED);
}

void TWinControl::SetCtl3D(bool v) {
  if (v == FCtl3D) return;
  FCtl3D = v;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool v) {
  if (v == FParentCtl3D) return;
  FParentCtl3D = v;
  if (v && Parent() && !ComponentState().Contains(csReading)) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::SetWindowRgn(HRGN Region) {
  FWidget->HasWindowRegion = Region != nullptr;
  FWidget->WindowRegion = QRegion();
  if (Region) {
    // Window regions are in window coordinates: the widget begins at the outside frame.
    TRect out = OutsideFrame(FNC, InsideMargins());
    FWidget->WindowRegion = static_cast<TGdiRegion*>(Region)->Rgn.translated(-out.Left, -out.Top);
  }
  UpdateMask();
}

// A child shows only inside its parent's client area, as windows are clipped there: it never
// covers the parent's frame or scroll bars.
void TWinControl::UpdateMask() {
  QRegion mask;
  bool masked = FWidget->HasWindowRegion;
  if (masked) mask = FWidget->WindowRegion;
  if (TWinControl* p = Parent()) {
    TRect pin = p->InsideMargins();
    QRect client(pin.Left, pin.Top, p->ClientWidth(), p->ClientHeight());
    QRect geom = FWidget->geometry();
    QRect shown = geom & client;
    if (shown != geom) {
      // An empty mask would mean none: a child wholly outside keeps one pixel beyond its edge.
      QRegion clip = shown.isEmpty() ? QRegion(-1, -1, 1, 1) : QRegion(shown.translated(-geom.topLeft()));
      mask = masked ? mask & clip : clip;
      masked = true;
    }
  }
  if (!masked) FWidget->clearMask();
  else FWidget->setMask(mask.isEmpty() ? QRegion(-1, -1, 1, 1) : mask);
}

// ================================================================ geometry and showing

TRect TWinControl::ClientRect() const {
  int w = Width() - FNC.Left - FNC.Right;
  int h = Height() - FNC.Top - FNC.Bottom;
  return Rect(0, 0, std::max(0, w), std::max(0, h));
}

TPoint TWinControl::ClientOrigin() const {
  TRect in = InsideMargins();
  QPoint g = FWidget->mapToGlobal(QPoint(in.Left, in.Top));
  return {g.x(), g.y()};
}

void TWinControl::ApplyGeometry() {
  if (!FWidget || FApplyingGeometry) return;
  FApplyingGeometry = true;
  TRect in = InsideMargins();
  TRect out = OutsideFrame(FNC, in);
  int w = std::max(0, Width() - out.Left - out.Right);
  int h = std::max(0, Height() - out.Top - out.Bottom);
  if (TWinControl* p = Parent()) {
    TRect pin = p->InsideMargins();
    FWidget->setGeometry(Left() + pin.Left + out.Left, Top() + pin.Top + out.Top, w, h);
    UpdateMask();
  } else {
    FWidget->move(Left(), Top());
    FWidget->resize(w, h);
  }
  FApplyingGeometry = false;
}

void TWinControl::UpdateBoundsRect(const TRect& R) {
  int ow = ClientWidth(), oh = ClientHeight();
  bool sized = R.Width() != Width() || R.Height() != Height();
  const TRect before = BoundsRect();
  TControl::UpdateBoundsRect(R);
  ApplyGeometry();
  if (FHandleCreated && !(before == BoundsRect())) SendMessage(FHandle, WM_WINDOWPOSCHANGED, 0, 0);
  if (sized) {
    FWidget->NeedsPaint = true;
    FWidget->NeedsFramePaint = true;
    FWidget->ScheduleAll();
    if (ow != ClientWidth() || oh != ClientHeight()) {
      for (TWinControl* c : FTabList) c->UpdateMask();
      Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(ClientWidth(), ClientHeight()));
    }
  }
}

void TWinControl::UpdateShowing() {
  bool s = Visible() && (Parent() ? Parent()->Showing() : true);
  if (Parent()) FWidget->setVisible(Visible());
  if (s == FShowing) return;
  FShowing = s;
  if (s) HandleNeeded();
  if (FHandleCreated) SendMessage(FHandle, WM_SHOWWINDOW, s ? 1 : 0, 0);
  if (!Parent() && !dynamic_cast<TCustomForm*>(this)) FWidget->setVisible(s);
  Perform(CM_SHOWINGCHANGED);
  for (TWinControl* c : std::vector<TWinControl*>(FTabList)) c->UpdateShowing();
}

void TWinControl::SetZOrder(bool TopMost) {
  TControl::SetZOrder(TopMost);
  if (Parent()) {
    if (TopMost) FWidget->raise();
    else FWidget->lower();
  } else if (TopMost) {
    FWidget->raise();
  }
}

// ================================================================ alignment

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  auto st = ComponentState();
  if (st.Contains(csDestroying)) return;
  if (st.Contains(csLoading) || FAlignLevel > 0) {
    FAlignPending = true;
    return;
  }
  DisableAlign();
  // Enabling the alignment again may realign, which may raise: no destructor.
  TryFinally(
      [&] {
        TRect r = ClientRect();
        AlignControls(AControl, r);
      },
      [this] {
        FAlignPending = false;
        EnableAlign();
      });
}

void TWinControl::AdjustClientRect(TRect&) {}

namespace {

bool InsertBefore(TControl* c1, TControl* c2, TAlign a) {
  switch (a) {
    case alTop: return c1->Top() < c2->Top();
    case alBottom: return c1->Top() + c1->Height() >= c2->Top() + c2->Height();
    case alLeft: return c1->Left() < c2->Left();
    case alRight: return c1->Left() + c1->Width() >= c2->Left() + c2->Width();
    default: return false;
  }
}

}  // namespace

void TWinControl::DoAlign(TControl* AControl, TAlign AAlign, TRect& R) {
  std::vector<TControl*> list;
  bool designing = ComponentState().Contains(csDesigning);
  if (AControl && AControl->Parent() == this && AControl->Align() == AAlign &&
      (AAlign == alNone || AControl->Visible() || designing))
    list.push_back(AControl);
  for (TControl* c : FControls) {
    if (c == AControl || c->Align() != AAlign) continue;
    if (AAlign != alNone && !c->Visible() && !designing) continue;
    std::size_t j = 0;
    while (j < list.size() && !InsertBefore(c, list[j], AAlign)) ++j;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
  }
  TRect pc = ClientRect();
  for (TControl* c : list) {
    int nl = c->Left(), nt = c->Top(), nw = c->Width(), nh = c->Height();
    TAnchors an = c->Anchors();
    if (AAlign == alNone) {
      if (c->FOriginalParentSize.X == 0 || c->FOriginalParentSize.Y == 0) continue;
      TPoint rules = c->FAnchorRules, orig = c->FOriginalParentSize;
      if (an.Contains(akRight)) {
        if (an.Contains(akLeft)) nw = pc.Right - (orig.X - rules.X);
        else nl = pc.Right - (orig.X - rules.X);
      } else if (!an.Contains(akLeft)) {
        nl = MulDiv(rules.X, pc.Right, orig.X) - nw / 2;
      }
      if (an.Contains(akBottom)) {
        if (an.Contains(akTop)) nh = pc.Bottom - (orig.Y - rules.Y);
        else nt = pc.Bottom - (orig.Y - rules.Y);
      } else if (!an.Contains(akTop)) {
        nt = MulDiv(rules.Y, pc.Bottom, orig.Y) - nh / 2;
      }
      c->SetAnchoredBounds(nl, nt, std::max(0, nw), std::max(0, nh));
      continue;
    }
    nw = R.Right - R.Left;
    if (nw < 0 || AAlign == alLeft || AAlign == alRight || AAlign == alCustom) nw = c->Width();
    nh = R.Bottom - R.Top;
    if (nh < 0 || AAlign == alTop || AAlign == alBottom || AAlign == alCustom) nh = c->Height();
    nl = R.Left;
    nt = R.Top;
    switch (AAlign) {
      case alTop: R.Top += nh; break;
      case alBottom: R.Bottom -= nh; nt = R.Bottom; break;
      case alLeft: R.Left += nw; break;
      case alRight: R.Right -= nw; nl = R.Right; break;
      case alCustom: nl = c->Left(); nt = c->Top(); break;
      default: break;
    }
    c->SetAnchoredBounds(nl, nt, nw, nh);
    // The control kept another size (constraints): the rest of the area follows it.
    int dw = nw - c->Width(), dh = nh - c->Height();
    if (dw != 0 || dh != 0) {
      switch (AAlign) {
        case alTop: R.Top -= dh; break;
        case alBottom: R.Bottom += dh; break;
        case alLeft: R.Left -= dw; break;
        case alRight: R.Right += dw; break;
        case alClient: R.Right += dw; R.Bottom += dh; break;
        default: break;
      }
    }
  }
}

void TWinControl::AlignControls(TControl* AControl, TRect& R) {
  AdjustClientRect(R);
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient, alCustom}) DoAlign(AControl, a, R);
  FAlignRemainder = R;
  DoAlign(AControl, alNone, R);
}

// ================================================================ painting

void TWinControl::Invalidate() {
  FWidget->NeedsPaint = true;
  FWidget->PaintFailed = false;
  FWidget->ScheduleAll();
}

namespace {

// What the next paint of the widget draws, in client pixels: the whole client, a part of it,
// or nothing. The part is kept as one rectangle (the bounds of what was invalidated).
QRect PendingArea(const TControlWidget* W, const QRect& Client) {
  if (W->NeedsPaint) return Client;
  return W->NeedsPartialPaint ? W->PartialArea : QRect();
}

void SetPendingArea(TControlWidget* W, const QRect& Area, const QRect& Client) {
  W->NeedsPaint = !Area.isEmpty() && Area.contains(Client);
  W->NeedsPartialPaint = !Area.isEmpty() && !W->NeedsPaint;
  W->PartialArea = W->NeedsPartialPaint ? Area : QRect();
}

}  // namespace

void TWinControl::InvalidateRect(const TRect* Rect) {
  if (!Rect) {
    Invalidate();
    return;
  }
  TRect c = ClientRect();
  QRect client = ToQRect(c), area = ToQRect(*Rect).intersected(client);
  if (area.isEmpty()) return;
  SetPendingArea(FWidget, PendingArea(FWidget, client).united(area), client);
  FWidget->PaintFailed = false;
  FWidget->ScheduleClient(area);
}

void TWinControl::ValidateRect(const TRect* Rect) {
  QRect client = ToQRect(ClientRect());
  QRect left;
  if (Rect) left = (QRegion(PendingArea(FWidget, client)) - QRegion(ToQRect(*Rect))).boundingRect();
  SetPendingArea(FWidget, left, client);
}

void TWinControl::Update() {
  // Paints what is invalid now, as the platform does, even before the window system has
  // shown the window; the screen gets the pixels at once when it can.
  if (!Showing()) return;
  FWidget->Flush();
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
  DisableAlign();
  for (TControl* c : std::vector<TControl*>(FControls)) c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
  EnableAlign();
  Invalidate();
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage m;
  m.Msg = WM_PAINT;
  m.WParam = reinterpret_cast<WPARAM>(DC);
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  std::size_t i = 0;
  if (First) {
    auto it = std::find(FControls.begin(), FControls.end(), First);
    if (it != FControls.end()) i = static_cast<std::size_t>(it - FControls.begin());
  }
  for (; i < FControls.size(); ++i) {
    TControl* c = FControls[i];
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    TRect r = c->BoundsRect();
    if (!RectVisible(DC, &r)) continue;
    if (ControlState().Contains(csPaintCopy)) c->FControlState += csPaintCopy;
    int saved = SaveDC(DC);
    OffsetWindowOrgEx(DC, -c->Left(), -c->Top(), nullptr);
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
    c->FControlState -= csPaintCopy;
  }
}

void TWinControl::PaintHandler(TMessage& M) {
  HDC dc = reinterpret_cast<HDC>(M.WParam);
  if (!dc) return;
  int saved = SaveDC(dc);
  bool clipped = false;
  for (TControl* c : FControls) {
    if (dynamic_cast<TWinControl*>(c) || !c->Visible() || !c->ControlStyle().Contains(csOpaque)) continue;
    if (ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()) == NULLREGION) {
      clipped = true;
      break;
    }
  }
  if (!clipped) PaintWindow(dc);
  RestoreDC(dc, saved);
  PaintControls(dc, nullptr);
}

void TWinControl::PaintTo(TCanvas* Canvas, int X, int Y) { PaintTo(Canvas->Handle(), X, Y); }

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  HandleNeeded();
  FControlState += csPaintCopy;
  int saved = SaveDC(DC);
  OffsetViewportOrgEx(DC, X, Y, nullptr);
  IntersectClipRect(DC, 0, 0, Width(), Height());
  if (FNC != TRect{}) Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(DC), 0);
  OffsetViewportOrgEx(DC, FNC.Left, FNC.Top, nullptr);
  IntersectClipRect(DC, 0, 0, ClientWidth(), ClientHeight());
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  for (TControl* c : FControls) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && w->Visible()) w->PaintTo(DC, w->Left(), w->Top());
  }
  RestoreDC(DC, saved);
  FControlState -= csPaintCopy;
}

// ================================================================ messages

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    WindowProc(Message);
  } catch (...) {
    gui_glue::HandleCurrentException(this);
  }
}

void TWinControl::WndProc(TMessage& M) {
  if (M.Msg >= WM_MOUSEFIRST && M.Msg <= WM_MOUSELAST && M.Msg != WM_MOUSEWHEEL) {
    if (IsControlMouseMsg(M)) {
      if (M.Result == 0) DefaultHandler(M);
      return;
    }
  }
  TControl::WndProc(M);
}

void TWinControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      CNKeyDown(M);
      return;
    case CN_CHAR:
    case CN_SYSCHAR:
      CNChar(M);
      return;
    case CN_KEYUP:
    case CN_SYSKEYUP:
      M.Result = 0;
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!DoKeyDown(M)) DefaultHandler(M);
      return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!DoKeyUp(M)) DefaultHandler(M);
      return;
    case WM_CHAR:
      if (!DoKeyPress(M)) DefaultHandler(M);
      return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED:
    case CM_SYSCOLORCHANGE:
      Broadcast(M);
      return;
    case CM_CHILDKEY:
      M.Result = Parent() ? Parent()->Perform(CM_CHILDKEY, M.WParam, M.LParam) : 0;
      return;
    case WM_MOUSEWHEEL:
      WMMouseWheel(M);
      return;
    case CM_MOUSEWHEEL:
      CMMouseWheel(M);
      return;
    case WM_SETFOCUS:
      WMSetFocusMsg(M);
      return;
    case WM_KILLFOCUS:
      WMKillFocusMsg(M);
      return;
    case WM_SETCURSOR:
      WMSetCursor(M);
      return;
    case WM_PAINT:
      PaintHandler(M);
      return;
    case WM_ERASEBKGND:
      WMEraseBkgnd(M);
      return;
    case WM_SIZE:
      WMSize(M);
      return;
    case WM_CONTEXTMENU:
      WMContextMenu(M);
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(M);
      return;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(M);
      return;
    case CM_FONTCHANGED:
      CMFontChanged(M);
      return;
    case CM_COLORCHANGED:
      CMColorChanged(M);
      return;
    case CM_SHOWHINTCHANGED:
      NotifyControls(CM_PARENTSHOWHINTCHANGED);
      return;
    case CM_BIDIMODECHANGED:
      TControl::Dispatch(M);
      NotifyControls(CM_PARENTBIDIMODECHANGED);
      return;
    case CM_CTL3DCHANGED:
      NotifyControls(CM_PARENTCTL3DCHANGED);
      return;
    case CM_PARENTCTL3DCHANGED:
      CMParentCtl3DChanged(M);
      return;
    case CM_BORDERCHANGED:
      FrameChanged();
      return;
    case CM_RECREATEWND:
      RecreateWnd();
      return;
    case CM_CURSORCHANGED:
      if (FWidget->underMouse()) SendMessage(FHandle, WM_SETCURSOR, FHandle, MakeLParam(HTCLIENT, WM_MOUSEMOVE));
      return;
    case gui_glue::CM_REFOCUS:
      CMRefocus(M);
      return;
    default:
      break;
  }
  TControl::Dispatch(M);
}

void TWinControl::CMMouseWheel(TMessage& M) {
  TShiftState shift = TShiftState::FromBits(M.WParam & 0xFF);
  if (DoMouseWheel(shift, WheelDeltaOf(M.WParam), PointFromLParam(M.LParam))) M.Result = 1;
  else if (Parent()) M.Result = Parent()->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam);
}

void TWinControl::WMEraseBkgnd(TMessage& M) {
  HDC dc = reinterpret_cast<HDC>(M.WParam);
  if (dc) {
    TRect r = ClientRect();
    FillRect(dc, r, FBrush->Handle());
  }
  M.Result = 1;
}

void TWinControl::WMSize(TMessage& M) {
  DefaultHandler(M);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMContextMenu(TMessage& M) {
  if (M.Result != 0) return;
  TPoint pt = PointFromLParam(M.LParam);
  if (!(pt.X == -1 && pt.Y == -1))
    if (TControl* c = ControlAtPos(ScreenToClient(pt), false)) M.Result = c->Perform(WM_CONTEXTMENU, 0, M.LParam);
  if (M.Result == 0) TControl::Dispatch(M);
}

void TWinControl::CMEnabledChanged(TMessage& M) {
  if (!Enabled() && Parent())
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, false);
  FWidget->setEnabled(Enabled());
  if (Enabled()) FStyle &= ~WS_DISABLED;
  else FStyle |= WS_DISABLED;
  Invalidate();
}

void TWinControl::CMVisibleChanged(TMessage& M) {
  if (!Visible() && Parent())
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, false);
  UpdateShowing();
  TControl::Dispatch(M);
}

void TWinControl::CMFontChanged(TMessage& M) {
  Invalidate();
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& M) {
  FBrush->SetColor(Color());
  NotifyControls(CM_PARENTCOLORCHANGED);
  Invalidate();
}

void TWinControl::CMParentCtl3DChanged(TMessage& M) {
  if (FParentCtl3D && Parent() && Parent()->Ctl3D() != FCtl3D) {
    FCtl3D = Parent()->Ctl3D();
    Perform(CM_CTL3DCHANGED);
  }
  FParentCtl3D = true;
}

void TWinControl::CMRefocus(TMessage& M) {
  auto* c = reinterpret_cast<TWinControl*>(M.LParam);
  if (c && ContainsControl(c) && c->CanFocus()) c->SetFocus();
}

void TWinControl::WMSetFocusMsg(TMessage& M) {
  DefaultHandler(M);
  if (Screen) Screen->SetActiveControl(this);
  if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
}

void TWinControl::WMKillFocusMsg(TMessage& M) { DefaultHandler(M); }

void TWinControl::DefaultHandler(TMessage& M) {
  if (gNativePass.Control == this && IsInputMessage(M.Msg)) gNativePass.Passed = true;
  switch (M.Msg) {
    case WM_NCCALCSIZE:
      WMNCCalcSizeDefault(M);
      return;
    case WM_NCPAINT:
      WMNCPaintDefault(M);
      return;
    case WM_GETDLGCODE:
      M.Result = 0;
      return;
    case WM_NCHITTEST: {
      TPoint p = ScreenToClient(PointFromLParam(M.LParam));
      M.Result = PtInRect(ClientRect(), p) ? HTCLIENT : HTBORDER;
      return;
    }
    case WM_RBUTTONUP: {
      // The native window proposes its context menu when the right button comes up.
      TPoint p = ClientToScreen(PointFromLParam(M.LParam));
      SendMessage(FHandle, WM_CONTEXTMENU, FHandle, PointToLParam(p));
      return;
    }
    case WM_SYSKEYDOWN:
      // Shift+F10 asks for the context menu from the keyboard (Qt reports the menu key
      // itself as a context-menu event).
      if (M.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
        SendMessage(FHandle, WM_CONTEXTMENU, FHandle, MakeLParam(-1, -1));
        return;
      }
      TControl::DefaultHandler(M);
      return;
    case WM_SETCURSOR:
      if (Parent() && Parent()->Perform(WM_SETCURSOR, M.WParam, M.LParam) != 0) {
        M.Result = 1;
        return;
      }
      if (static_cast<HWND>(M.WParam) == FHandle) {
        if (HCURSOR h = Screen ? Screen->Cursors(FClassCursor) : nullptr) ::SetCursor(h);
        FWidget->setCursor(gui_glue::QtCursor(FClassCursor));
        M.Result = 1;
      }
      return;
    default:
      TControl::DefaultHandler(M);
      return;
  }
}

void TWinControl::SetWindowTextDirect(const String& v) {
  TControl::SetWindowTextDirect(v);
  if (!Parent()) FWidget->setWindowTitle(ToQString(v));
}

// ================================================================ TControlCanvas

KELM_PUBLISH(TControlCanvas) {}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* v) {
  if (v == FControl) return;
  FreeHandle();
  FControl = v;
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  HDC dc = FDeviceContext;
  FDeviceContext = nullptr;
  SetHandle(nullptr);
  HWND h = 0;
  if (auto* w = dynamic_cast<TWinControl*>(FControl)) h = w->Handle();
  else if (FControl && FControl->Parent()) h = FControl->Parent()->Handle();
  ReleaseDC(h, dc);
}

void TControlCanvas::CreateHandle() {
  if (!FControl || FDeviceContext) return;
  // Outside painting the canvas draws on the control's own pixels; a windowless control
  // draws on its parent's, moved to its place and clipped to it.
  if (auto* w = dynamic_cast<TWinControl*>(FControl)) {
    FDeviceContext = GetDC(w->Handle());
  } else if (TWinControl* p = FControl->Parent()) {
    FDeviceContext = GetDC(p->Handle());
    if (FDeviceContext) {
      SetWindowOrgEx(FDeviceContext, -FControl->Left(), -FControl->Top(), nullptr);
      IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
    }
  }
  if (FDeviceContext) SetHandle(FDeviceContext);
}

void TControlCanvas::Changed() {
  TCanvas::Changed();
  if (!FDeviceContext || !FControl) return;
  TWinControl* w = dynamic_cast<TWinControl*>(FControl);
  if (!w) w = FControl->Parent();
  if (w) static_cast<TControlWidget*>(gui_glue::TAccess::Widget(w))->ScheduleAll();
}

// ================================================================ TCustomControl

KELM_PUBLISH(TCustomControl) {}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() { FCanvas->SetControl(nullptr); }

void TCustomControl::PaintWindow(HDC DC) {
  PaintOnCanvas(*FCanvas, DC, [this] { Paint(); });
}

// ================================================================ TGraphicControl

KELM_PUBLISH(TGraphicControl) {}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas->SetControl(nullptr); }

void TGraphicControl::Dispatch(TMessage& M) {
  if (M.Msg == WM_PAINT) {
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    if (dc && !ComponentState().Contains(csDestroying)) PaintOnCanvas(*FCanvas, dc, [this] { Paint(); });
    return;
  }
  TControl::Dispatch(M);
}

// ---------------------------------------------------------------- geometry from Qt

namespace gui_glue {

void TAccess::WidgetResized(TWinControl* C, int W, int H) {
  if (C->FApplyingGeometry) return;
  TRect nc = C->FNC, in = C->InsideMargins();
  int nw = W + (nc.Left - in.Left) + (nc.Right - in.Right);
  int nh = H + (nc.Top - in.Top) + (nc.Bottom - in.Bottom);
  if (nw == C->Width() && nh == C->Height()) return;
  TRestore applying(C->FApplyingGeometry, true);
  C->UpdateBoundsRect(Bounds(C->Left(), C->Top(), nw, nh));
}

void TAccess::WidgetMoved(TWinControl* C, int X, int Y) {
  if (C->FApplyingGeometry || (X == C->Left() && Y == C->Top())) return;
  C->FApplyingGeometry = true;
  C->TControl::UpdateBoundsRect(Bounds(X, Y, C->Width(), C->Height()));
  C->FApplyingGeometry = false;
}

void TAccess::SetApplyingGeometry(TWinControl* C, bool V) { C->FApplyingGeometry = V; }
bool TAccess::ApplyingGeometry(const TWinControl* C) { return C->FApplyingGeometry; }

}  // namespace gui_glue
