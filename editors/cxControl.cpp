// TcxControl: construction, the window procedure, focus on click, mouse, keys, menus, the
// wheel, painting and the message table.
#include "editors/cxControl.h"

#include "core/ClassBuilder.h"
#include "editors/cxCanvas.h"
#include "editors/cxControlScrollBars.h"
#include "editors/cxControlUtils.h"
#include "editors/cxDragAndDrop.h"
#include "editors/cxObjectLinks.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/Screen.h"
#include "gui/Window.h"

KELM_PUBLISH(TcxControl) {}

TcxControl::TcxControl(TComponent* AOwner) : TCustomControl(AOwner) {
  RegisterEditorCursors();
  FCanvas = std::make_unique<TcxCanvas>(Canvas());
  FDefaultCursor = Cursor();
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxControl::LookAndFeelChanged));
  CreateScrollBars();
  SetTabStop(true);
  SetControlStyle(ControlStyle() + csParentBackground);
}

TcxControl::~TcxControl() {
  EndDrag(false);
  EndDragAndDrop(false);
  DestroyScrollBars();
  FFontListeners.clear();
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  delete FDragImages;
  FDragImages = nullptr;
  FLookAndFeel.reset();
  ClearObjectLinks(this);
}

void TcxControl::LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues Values) {
  HandleLookAndFeelChange(Sender, Values);
}

TcxLookAndFeelPainterClass TcxControl::GetPainter() { return FLookAndFeel->Painter(); }

// ---------------------------------------------------------------- properties

void TcxControl::SetPopupMenu(TComponent* Value) {
  if (Value && !dynamic_cast<TPopupMenu*>(Value) && !dynamic_cast<IcxPopupMenuProvider*>(Value)) Value = nullptr;
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TcxControl::SetFrameStyle(TcxFrameStyle Value) {
  if (FFrameStyle == Value) return;
  FFrameStyle = Value;
  HandleBoundsChange();
  Invalidate();
}

void TcxControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TcxControl::SetMouseCaptureObject(TPersistent* Value) {
  if (FMouseCaptureObject == Value) return;
  if (auto* previous = dynamic_cast<IcxCaptureObject*>(FMouseCaptureObject)) previous->MouseCaptureLost();
  const bool had = MouseCapture();
  FMouseCaptureObject = Value;
  SetMouseCapture(Value != nullptr);
  if (had && !MouseCapture() && FDragDropPhase == ddpPending) Perform(WM_CANCELMODE, 0, 0);
}

void TcxControl::CancelMouseOperations() {
  FPressed = false;
  SetMouseCaptureObject(nullptr);
}

void TcxControl::InvalidateArea(const TRect& R, bool Erase) {
  if (HandleAllocated()) ::InvalidateRect(Handle(), &R, Erase);
}

// ---------------------------------------------------------------- bounds and hooks

bool TcxControl::FocusesOnClick() { return !IsInDesigner() && FClickFocus && MayFocus() && CanFocus(); }
bool TcxControl::FocusesOnClickAt(int, int) { return FocusesOnClick(); }
bool TcxControl::FocusesOnScrollBarClick(TcxControlScrollBar*) { return FocusesOnClick(); }
bool TcxControl::IsInDesigner() { return ComponentState().Contains(csDesigning); }
bool TcxControl::HasInputFocus() { return Focused(); }
TCursor TcxControl::CursorAt(int, int) { return FDefaultCursor; }

int TcxControl::FrameWidth() { return FFrameStyle == cfsPainter ? GetPainter()->BorderWidth() : 0; }

TRect TcxControl::FullBounds() { return HandleAllocated() ? ClientRect() : Rect(0, 0, Width(), Height()); }

TRect TcxControl::ContentBounds() {
  TRect r = FullBounds();
  const int w = FrameWidth();
  InflateRect(r, -w, -w);
  if (HorzScrollBarVisible()) r.Bottom -= FHScrollBar->Height();
  if (VertScrollBarVisible()) r.Right -= FVScrollBar->Width();
  return r;
}

TcxWheelScrollKind TcxControl::WheelScrollKind() { return VertScrollBarVisible() ? wskVertical : wskNone; }

bool TcxControl::CanFocusNow() {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm(this);
  return !form || (form->CanFocus() && form->Enabled() && form->Visible());
}

void TcxControl::AttachChildComponent(TcxControlChildComponent* Child) { Child->SetOwnerControl(this); }
void TcxControl::DetachChildComponent(TcxControlChildComponent* Child) { Child->SetOwnerControl(nullptr); }

void TcxControl::HandleBoundsChange() { RefreshScrollBars(); }
void TcxControl::HandleCursorChange() { FDefaultCursor = Cursor(); }
void TcxControl::HandleFocusChange() {
  if (OnFocusChanged) OnFocusChanged(this);
}
void TcxControl::HandleFontChange() {
  for (IcxFontListener* l : std::vector<IcxFontListener*>(FFontListeners)) l->FontChanged(this, Font());
  Invalidate();
}
void TcxControl::HandleMouseEnter(TControl*) { OnMouseEnter(this); }
void TcxControl::HandleMouseLeave(TControl*) { OnMouseLeave(this); }

bool TcxControl::DesignHitTestAt(int, int, TShiftState) { return FDragDropPhase != ddpIdle || FPressed; }

bool TcxControl::AcceptsClickAt(int X, int Y) { return DragMode() == dmManual || IsNearPressPoint(X, Y); }

void TcxControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd() {
  TCustomControl::CreateWnd();
  PrepareWindow();
}

void TcxControl::Resize() {
  TCustomControl::Resize();
  HandleBoundsChange();
}

void TcxControl::Paint() {
  if (FFrameStyle == cfsPainter) {
    GetPainter()->PaintBorder(FCanvas.get(), FullBounds());
    FCanvas->IntersectClipArea(ContentBounds());
  }
  TCustomControl::Paint();
}

// ---------------------------------------------------------------- window procedure

void TcxControl::WndProc(TMessage& M) {
  TcxObjectLinkScope link(this);
  const TPoint pt = PointFromLParam(M.LParam);
  bool direct = false;
  if ((M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK) && !::CurrentDragObject()) {
    const bool designing = IsInDesigner();
    // Dispatched straight to the handlers, so the platform starts no automatic drag on the
    // press: AfterMouseDown waits for the drag threshold first.
    if (((designing && DesignHitTestAt(pt.X, pt.Y, TShiftState{ssLeft})) || (!designing && DragMode() == dmAutomatic)) &&
        !ControlAtPos(pt, false)) {
      direct = true;
      SetControlState(ControlState() + csLButtonDown);
      Dispatch(M);
      if (link.Alive()) SetControlState(ControlState() - csLButtonDown);
    }
  }
  if (!direct) TCustomControl::WndProc(M);
  if (!link.Alive()) return;
  switch (M.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      HandleFocusChange();
      break;
    case WM_PAINT: {
      const bool parentBackground = ControlStyle().Contains(csParentBackground);
      if (parentBackground != FLastParentBackground) {
        FLastParentBackground = parentBackground;
        HandleParentBackgroundChange();
      }
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      TPoint p = pt;
      if (Width() > 0x8000 || Height() > 0x8000) p = ScreenToClient(Mouse->CursorPos());
      const TMouseButton b = M.Msg == WM_LBUTTONDOWN ? mbLeft : M.Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle;
      AfterMouseDown(b, p.X, p.Y);
      break;
    }
    default:
      break;
  }
}

void TcxControl::AfterMouseDown(TMouseButton Button, int X, int Y) {
  if (Button == mbLeft && DragMode() == dmAutomatic && MouseCapture() &&
      (!IsInDesigner() || CanDragAtDesignTime(X, Y, {})) && CanStartAutoDrag(X, Y)) {
    if (DetectDragStart(Handle()) == 1) BeginDrag(true, -1);
  }
  if (Button == mbMiddle) Pan();
}

// ---------------------------------------------------------------- mouse

void TcxControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FMouseDownPos = {X, Y};
  TcxObjectLinkScope link(this);
  if (FocusesOnClickAt(X, Y) && !Shift.Contains(ssDouble)) {
    if (CanFocus()) SetFocus();
    if (!link.Alive()) return;
    TCustomForm* form = GetParentForm(this);
    if (form && form->ActiveControl() == this && !HasInputFocus()) ::SetFocus(Handle());
    if (!link.Alive()) return;
    // The focus went elsewhere (a handler took it back): the press is not for this control.
    if (!HasInputFocus() && !AllowsUnfocusedMouseDown()) {
      SetMouseCapture(false);
      return;
    }
  }
  ArmDragAndDrop(Button, Shift, X, Y);
  if (!link.Alive()) return;
  BeforeMouseDown(Button, Shift, X, Y);
  if (!link.Alive()) return;
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (link.Alive() && MouseCapture()) FPressed = true;
}

void TcxControl::MouseMove(TShiftState Shift, int X, int Y) {
  // A per-point cursor is shown without becoming the control's default.
  const TCursor saved = FDefaultCursor;
  SetCursor(CursorAt(X, Y));
  FDefaultCursor = saved;
  // Only a handler can free the control here: without one no guard is needed.
  if (!OnMouseMove) {
    TCustomControl::MouseMove(Shift, X, Y);
    TrackDragAndDrop(X, Y);
    return;
  }
  TcxObjectLinkScope link(this);
  TCustomControl::MouseMove(Shift, X, Y);
  if (link.Alive()) TrackDragAndDrop(X, Y);
}

void TcxControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FPressed = false;
  TcxObjectLinkScope link(this);
  EndMouseOperation();
  if (link.Alive()) TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TcxControl::EndMouseOperation() {
  EndDragAndDrop(true);
  SetMouseCaptureObject(nullptr);
}

// ---------------------------------------------------------------- menus, keys, wheel

bool TcxControl::ShowPopupMenu(TComponent* AMenu, int X, int Y) {
  if (!AMenu) return false;
  if (auto* provider = dynamic_cast<IcxPopupMenuProvider*>(AMenu)) {
    provider->Popup(X, Y);
    return true;
  }
  if (auto* menu = dynamic_cast<TPopupMenu*>(AMenu); menu && menu->AutoPopup()) {
    menu->SetPopupComponent(this);
    menu->Popup(X, Y);
    return true;
  }
  return false;
}

void TcxControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  TCustomControl::DoContextPopup(MousePos, Handled);
  if (Handled) return;
  const bool keyboard = MousePos.X == -1 && MousePos.Y == -1;
  const TPoint p = ClientToScreen(keyboard ? TPoint{0, 0} : MousePos);
  Handled = ShowPopupMenu(FPopupMenu, p.X, p.Y);
}

void TcxControl::ContextMenuMessage(TMessage& M) {
  if (M.Result != 0) return;
  if (!IsInDesigner()) {
    TPoint p = PointFromLParam(M.LParam);
    const bool keyboard = p.X == -1 && p.Y == -1;
    if (!keyboard) p = ScreenToClient(p);
    if (keyboard || PtInRect(ClientRect(), p)) {
      bool handled = false;
      DoContextPopup(p, handled);
      M.Result = handled ? 1 : 0;
      if (handled) return;
    }
  }
  // Unhandled: on to the native handling, not back into DoContextPopup.
  DefaultHandler(M);
}

bool TcxControl::IsPopupMenuShortCut(TMessage& Message) {
  if (IsInDesigner()) return false;
  for (TControl* c = this; c; c = c->Parent()) {
    auto* cx = dynamic_cast<TcxControl*>(c);
    if (!cx || !cx->FPopupMenu) continue;
    if (auto* provider = dynamic_cast<IcxPopupMenuProvider*>(cx->FPopupMenu)) {
      if (provider->IsShortCut(Message)) return true;
    } else if (auto* menu = dynamic_cast<TPopupMenu*>(cx->FPopupMenu)) {
      if (menu->IsShortCut(Message)) return true;
    }
  }
  return false;
}

void TcxControl::KeyDownMessage(TMessage& M) {
  if (IsPopupMenuShortCut(M)) {
    M.Result = 1;
    return;
  }
  if (FDragDropPhase == ddpIdle) return TCustomControl::Dispatch(M);
  // During a drag and drop only Esc gets through, as a key of the control itself.
  if (M.WParam == VK_ESCAPE) SendMessage(Handle(), WM_KEYDOWN, M.WParam, M.LParam);
  M.Result = 1;
}

void TcxControl::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) EndDragAndDrop(false);
  TCustomControl::KeyDown(Key, Shift);
}

bool TcxControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const TcxWheelScrollKind kind = WheelScrollKind();
  if (kind == wskNone) return false;
  const bool back = WheelDelta < 0;
  const int direction = kind == wskHorizontal ? (back ? 2 : 1) : (back ? 4 : 3);
  TcxObjectLinkScope link(this);
  for (int i = 0; i < Mouse->WheelScrollLines() && link.Alive(); ++i) ScrollByDirection(direction);
  return true;
}

// ---------------------------------------------------------------- messages

void TcxControl::PaintMessage(TMessage& M) {
  TObject* drag = CurrentDragObject();
  auto* platformDrag = dynamic_cast<TDragObject*>(drag);
  if (platformDrag) platformDrag->HideDragImage();
  TCustomControl::Dispatch(M);
  if (platformDrag && CurrentDragObject() == drag) platformDrag->ShowDragImage();
}

void TcxControl::SetCursorMessage(TMessage& M) {
  if (IsInDesigner() && FDragDropPhase == ddpIdle) {
    TPoint p = ScreenToClient(Mouse->CursorPos());
    if (DesignHitTestAt(p.X, p.Y, TShiftState{ssLeft})) {
      if (Screen) ::SetCursor(Screen->Cursors(CursorAt(p.X, p.Y)));
      M.Result = 1;
      return;
    }
  }
  TCustomControl::Dispatch(M);
}

void TcxControl::MouseEnterLeaveMessage(TMessage& M) {
  auto* c = M.LParam ? reinterpret_cast<TControl*>(M.LParam) : this;
  // The control's own enter and leave fire through the handlers below only: the platform
  // passes the message on to the parents as it would.
  TMessage passed = M;
  passed.LParam = reinterpret_cast<LPARAM>(c);
  TcxObjectLinkScope link(this);
  TCustomControl::Dispatch(passed);
  if (!link.Alive()) return;
  if (M.Msg == CM_MOUSEENTER) HandleMouseEnter(c);
  else HandleMouseLeave(c);
}

void TcxControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_CANCELMODE: {
      TcxObjectLinkScope link(this);
      TCustomControl::Dispatch(M);
      if (!link.Alive()) return;
      EndDragAndDrop(false);
      CancelMouseOperations();
      return;
    }
    case WM_CONTEXTMENU: return ContextMenuMessage(M);
    case WM_ERASEBKGND:
      if (ErasesBackground()) TCustomControl::Dispatch(M);
      else M.Result = 1;
      return;
    case WM_GETDLGCODE: {
      LRESULT r = 0;
      if (FWantedKeys.Contains(wkAll)) r += DLGC_WANTALLKEYS;
      if (FWantedKeys.Contains(wkArrows)) r += DLGC_WANTARROWS;
      if (FWantedKeys.Contains(wkChars)) r += DLGC_WANTCHARS;
      if (FWantedKeys.Contains(wkTab) && GetKeyState(VK_CONTROL) >= 0) r += DLGC_WANTTAB;
      M.Result = r;
      return;
    }
    case WM_NCCALCSIZE:
      TCustomControl::Dispatch(M);
      PostMessage(Handle(), CM_CXSCROLLBARSIZE, 0, 0);
      return;
    case WM_PAINT: return PaintMessage(M);
    case WM_SETCURSOR: return SetCursorMessage(M);
    case CM_COLORCHANGED:
      HandleColorChange();
      TCustomControl::Dispatch(M);
      return;
    case CM_CURSORCHANGED:
      HandleCursorChange();
      TCustomControl::Dispatch(M);
      return;
    case CM_DESIGNHITTEST:
      TCustomControl::Dispatch(M);
      if (M.Result == 0)
        M.Result = DesignHitTestAt(GetXLParam(M.LParam), GetYLParam(M.LParam), KeysToShiftState(Word(M.WParam)));
      return;
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(M);
      HandleFontChange();
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: return MouseEnterLeaveMessage(M);
    case CM_CXSCROLLBARSIZE: return ScrollBarSizeMessage();
    case CM_TEXTCHANGED:
      DefaultHandler(M);
      HandleTextChange();
      return;
    case CM_VISIBLECHANGED:
      TCustomControl::Dispatch(M);
      HandleVisibleChange();
      return;
    case CN_KEYDOWN: return KeyDownMessage(M);
    case CN_SYSKEYDOWN:
      if (IsPopupMenuShortCut(M)) M.Result = 1;
      else TCustomControl::Dispatch(M);
      return;
    default:
      TCustomControl::Dispatch(M);
  }
}
