// Forms: showing them (modal too), their focus and activation, frames, and the MDI part
// (the client area of an MDI form and its children).
#include "gui/Forms.h"
#include "gui/WinUser.h"
#include "gui/Application.h"
#include "gui/CanvasPaint_p.h"
#include "gui/DataModule.h"
#include "gui/Menus.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"
#include "gui/Screen.h"

#include "core/ClassBuilder.h"
#include "core/Classes.h"
#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "core/Filer.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <QtCore/QEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>

#include <algorithm>
#include <map>

namespace {

int gFocusCount = 0;

// Sends a focus message; false when the focus moved while it ran (the move in progress
// then stops). An exception in an exit handler is shown, and the focus goes back to the
// control that raised it once the current move is over.
bool SendFocusMessage(TWinControl* Control, UINT Msg, TCustomForm* Form) {
  int count = gFocusCount;
  TMessage m;
  m.Msg = Msg;
  try {
    Control->WindowProc(m);
  } catch (...) {
    gui_glue::HandleCurrentException(Control);
    if (Msg == CM_EXIT && Form)
      PostMessage(Form->Handle(), gui_glue::CM_REFOCUS, 0, reinterpret_cast<LPARAM>(Control));
  }
  return count == gFocusCount;
}

}  // namespace

namespace gui_glue {

TCustomForm* FormOfWidget(QWidget* w) {
  auto* cw = dynamic_cast<TControlWidget*>(w);
  return cw ? dynamic_cast<TCustomForm*>(cw->Control) : nullptr;
}

// While its active child is the screen's active form, an MDI form is the active window
// already: the child keeps the activation among forms.
static bool ChildHoldsActivation(TCustomForm* Form) {
  return Form->FormStyle() == fsMDIForm && Form->ActiveMDIChild() && Screen->ActiveCustomForm() == Form->ActiveMDIChild();
}

void ActivateFormOf(TWinControl* Control) {
  TWinControl* top = GetTopParent(Control);
  auto* f = dynamic_cast<TCustomForm*>(top);
  if (TCustomForm* pf = GetParentForm(Control); pf && pf->FormStyle() == fsMDIChild) f = pf;
  if (!f || !Screen || Screen->ActiveCustomForm() == f || !f->Visible()) return;
  // One of the MDI form's own controls takes the focus without the child losing its activation.
  if (ChildHoldsActivation(f)) return;
  ActivateForm(f);
}

void FormActivated(TCustomForm* Form, bool Active) {
  if (Form->WindowExStyle() & WS_EX_NOACTIVATE) return;  // it never becomes the active form
  if (Active && Screen && Screen->ActiveCustomForm() != Form && Form->Visible()) {
    // Qt activates the MDI form; the active child keeps the activation among forms.
    if (ChildHoldsActivation(Form)) return;
    // The window system has made it active already: asking it again would answer with one
    // more activation, and two windows whose activations cross would take turns for ever.
    ActivateForm(Form, false);
  }
}

void SetFormMenuBar(TCustomForm* Form, QWidget* MenuBar) {
  auto* w = static_cast<TControlWidget*>(TAccess::Widget(Form));
  w->MenuBar = MenuBar;
  if (MenuBar) {
    MenuBar->setParent(w);
    MenuBar->move(0, 0);
    MenuBar->show();
  }
  Form->FrameChanged();
}

QMdiArea* MdiArea(TCustomForm* Form) { return TAccess::MdiAreaOf(Form); }

}  // namespace gui_glue

// ================================================================ TScrollingWinControl

KELM_PUBLISH(TScrollingWinControl) {}

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {}

// ================================================================ TCustomForm

KELM_PUBLISH(TCustomForm) {}

namespace {

// A window manager may act on a request to maximise; the headless platforms have none.
bool WindowManagerMayMaximize() {
  QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner) {
  FFormState += fsCreating;
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  TControl::SetVisible(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  Font()->SetName("宋体");
  Font()->SetHeight(-12);
  SendNCCalcSize();  // the frame of the default border style counts from the start
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
  FFormState -= fsCreating;
}

TCustomForm::~TCustomForm() {
  BeforeDestruction();
  UnregisterRoot(this);
  for (HWND h : FDisabledWindows) EnableWindow(h, true);
  FDisabledWindows.clear();
  if (Screen) {
    bool wasActive = Screen->ActiveCustomForm() == this;
    Screen->RemoveForm(this);
    if (wasActive) {
      gui_glue::ForgetFocusIfWithin(this);
      gui_glue::ActivateNextForm(this);
    }
  }
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  if (FClientHandle) DeallocateHWnd(FClientHandle);
  DestroyComponents();  // while the form is still a form
  while (ControlCount() > 0) {
    TControl* c = Controls(ControlCount() - 1);
    RemoveControl(c);
    delete c;
  }
  if (FSubWindow) {
    QMdiSubWindow* sub = FSubWindow;
    FSubWindow = nullptr;
    Widget()->setParent(nullptr);
    sub->setWidget(nullptr);
    delete sub;
  }
  if (FMdiArea) {
    // Children owned elsewhere outlive the MDI area: they keep their windows, hidden.
    for (QMdiSubWindow* sub : FMdiArea->subWindowList()) {
      if (TCustomForm* child = gui_glue::FormOfWidget(sub->widget())) {
        child->FSubWindow = nullptr;
        child->Widget()->setParent(nullptr);
        child->Widget()->hide();
      }
      sub->setWidget(nullptr);
      delete sub;
    }
  }
  FCanvas->SetControl(nullptr);
}

void TCustomForm::BeforeDestruction() {
  if (FDestroyCalled) return;
  FDestroyCalled = true;
  Destroying();
  try {
    DoDestroy();
  } catch (...) {
    gui_glue::HandleCurrentException(this);
  }
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  GetRootComponents(this, Proc, Root);
  TScrollingWinControl::GetChildren(Proc, Root);
}

void TCustomForm::InitForm() {
  {
    FFormState += fsCreating;
    TScopeExit created([this] { FFormState -= fsCreating; });
    InitInheritedComponent(this, TForm::StaticClass());
    RegisterRoot(this);
  }
  DoCreate();
  if (FFormState.Contains(fsVisible) || FFormStyle == fsMDIChild) Show();
}

void TCustomForm::Loaded() {
  TScrollingWinControl::Loaded();
  // The menu bar first (the menu's own loading would show it a moment later), then the client
  // size read, which is the area below it.
  if (auto* menu = Menu()) menu->UpdateForm();
  if (FReadClientWidth >= 0 || FReadClientHeight >= 0) {
    int w = FReadClientWidth >= 0 ? FReadClientWidth : ClientWidth();
    int h = FReadClientHeight >= 0 ? FReadClientHeight : ClientHeight();
    FReadClientWidth = FReadClientHeight = -1;
    SetClientSize(w, h);
  }
  if (FFormStyle == fsMDIForm) EnsureMdiArea();
  // A child whose layout names its style goes into the MDI form's client area as one set in
  // code does.
  if (FFormStyle == fsMDIChild) MakeMDIChild();
  ApplyWindowFlags();
  Realign();
}

void TCustomForm::DoCreate() { OnCreate(this); }
void TCustomForm::DoDestroy() { OnDestroy(this); }
void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::DoClose(TCloseAction& Action) { OnClose(this, Action); }
void TCustomForm::Activate() { OnActivate(this); }
void TCustomForm::Deactivate() { OnDeactivate(this); }
void TCustomForm::Paint() { OnPaint(this); }

void TCustomForm::PaintWindow(HDC DC) {
  PaintOnCanvas(*FCanvas, DC, [this] { Paint(); });
}

void TCustomForm::CreateParams(TCreateParams& P) {
  TScrollingWinControl::CreateParams(P);
  P.Style = Parent() ? (WS_CHILD | WS_CLIPSIBLINGS) : WS_OVERLAPPED;
  if (FBorderStyle != bsNone) P.Style |= WS_CAPTION;
  if (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin) P.Style |= WS_THICKFRAME;
  if (FBorderIcons.Contains(biSystemMenu)) P.Style |= WS_SYSMENU;
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) P.ExStyle |= WS_EX_TOOLWINDOW;
  if (FBorderStyle == bsDialog) P.ExStyle |= WS_EX_DLGMODALFRAME;
  if (FFormStyle == fsMDIChild) P.ExStyle |= WS_EX_MDICHILD;
  if (FFormStyle == fsStayOnTop) P.ExStyle |= WS_EX_TOPMOST;
}

// The frame a form's window has: the caption and border of its style (drawn by the window
// manager, or by the MDI area), the menu bar and the border band.
void TCustomForm::DoFrameMargins(TMessage& M) {
  auto* r = reinterpret_cast<TRect*>(M.LParam);
  if (!r) return;
  int frame = 0, caption = 0;
  if (!Parent() || FFormStyle == fsMDIChild) {
    switch (FBorderStyle) {
      case bsNone: break;
      case bsSingle:
      case bsDialog: frame = GetSystemMetrics(SM_CXDLGFRAME); caption = GetSystemMetrics(SM_CYCAPTION); break;
      case bsSizeable: frame = GetSystemMetrics(SM_CXFRAME); caption = GetSystemMetrics(SM_CYCAPTION); break;
      case bsToolWindow: frame = GetSystemMetrics(SM_CXDLGFRAME); caption = GetSystemMetrics(SM_CYSMCAPTION); break;
      case bsSizeToolWin: frame = GetSystemMetrics(SM_CXFRAME); caption = GetSystemMetrics(SM_CYSMCAPTION); break;
    }
  }
  InflateRect(*r, -frame, -frame);
  r->Top += caption;
  auto* w = static_cast<TControlWidget*>(Widget());
  if (w->MenuBar) r->Top += w->MenuBar->sizeHint().height();
  InflateRect(*r, -BorderWidth(), -BorderWidth());
  if (r->Right < r->Left) r->Right = r->Left;
  if (r->Bottom < r->Top) r->Bottom = r->Top;
}

TRect TCustomForm::InsideMargins() const {
  auto* w = static_cast<TControlWidget*>(Widget());
  int menu = w->MenuBar ? w->MenuBar->sizeHint().height() : 0;
  int b = BorderWidth();
  TRect in{b, menu + b, b, b};
  TRect nc = NonClientMargins();
  // Never more than the margins themselves.
  return {std::min(in.Left, nc.Left), std::min(in.Top, nc.Top), std::min(in.Right, nc.Right),
          std::min(in.Bottom, nc.Bottom)};
}

void TCustomForm::ApplyGeometry() {
  if (FSubWindow) {
    if (gui_glue::TAccess::ApplyingGeometry(this)) return;
    QWidget* w = Widget();
    TRect nc = NonClientMargins(), in = InsideMargins();
    int cw = std::max(0, Width() - (nc.Left - in.Left) - (nc.Right - in.Right));
    int ch = std::max(0, Height() - (nc.Top - in.Top) - (nc.Bottom - in.Bottom));
    QSize extra = FSubWindow->size() - w->size();
    if (!FSubWindow->isVisible() || extra.width() < 0 || extra.height() < 0) extra = QSize(2 * 4, 4 + 24);
    gui_glue::TAccess::SetApplyingGeometry(this, true);
    FSubWindow->move(Left(), Top());
    FSubWindow->resize(cw + extra.width(), ch + extra.height());
    w->resize(cw, ch);
    gui_glue::TAccess::SetApplyingGeometry(this, false);
    return;
  }
  TScrollingWinControl::ApplyGeometry();
}

void TCustomForm::SetParent(TWinControl* AParent) {
  TScrollingWinControl::SetParent(AParent);
  if (!AParent) ApplyWindowFlags();
  SendNCCalcSize();
  ApplyGeometry();
}

void TCustomForm::SetWindowTextDirect(const String& v) {
  TScrollingWinControl::SetWindowTextDirect(v);
  Widget()->setWindowTitle(ToQString(v));
  if (FSubWindow) FSubWindow->setWindowTitle(ToQString(v));
}

void TCustomForm::SetVisible(bool v) {
  // A layout's Visible = True takes effect once the form is created.
  if (FFormState.Contains(fsCreating)) {
    if (v) FFormState += fsVisible;
    else FFormState -= fsVisible;
    return;
  }
  TScrollingWinControl::SetVisible(v);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TScrollingWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FMenu) FMenu = nullptr;
    if (AComponent == FActiveControl) FActiveControl = nullptr;
    if (AComponent == FFocusedControl) FFocusedControl = nullptr;
  }
}

void TCustomForm::SetFormClientWidth(int v) {
  if (ComponentState().Contains(csReading)) FReadClientWidth = v;
  else SetClientWidth(v);
}

void TCustomForm::SetFormClientHeight(int v) {
  if (ComponentState().Contains(csReading)) FReadClientHeight = v;
  else SetClientHeight(v);
}

void TCustomForm::SetMenuComponent(TComponent* v) {
  if (v == FMenu) return;
  if (FMenu) FMenu->RemoveFreeNotification(this);
  FMenu = v;
  if (v) v->FreeNotification(this);
}

// ---------------------------------------------------------------- appearance

void TCustomForm::ApplyWindowFlags() {
  if (Parent() || FFormStyle == fsMDIChild) return;
  // A form that never takes the activation keeps the flags of an inactive popup.
  if (HandleAllocated() && (WindowExStyle() & WS_EX_NOACTIVATE)) return;
  QWidget* w = Widget();
  bool wasVisible = w->isVisible();
  Qt::WindowFlags f = Qt::Window;
  switch (FBorderStyle) {
    case bsNone: f |= Qt::FramelessWindowHint; break;
    case bsDialog: f = Qt::Dialog; break;
    case bsToolWindow:
    case bsSizeToolWin: f = Qt::Tool; break;
    default: break;
  }
  if (FBorderStyle != bsNone) {
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (FBorderIcons.Contains(biSystemMenu)) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (FBorderIcons.Contains(biMinimize) && FBorderStyle != bsDialog) f |= Qt::WindowMinimizeButtonHint;
    if (FBorderIcons.Contains(biMaximize) && FBorderStyle != bsDialog) f |= Qt::WindowMaximizeButtonHint;
  }
  if (FFormStyle == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
  if (w->windowFlags() != f) {
    w->setWindowFlags(f);
    if (wasVisible) w->show();
  }
}

void TCustomForm::SetAlphaBlend(bool v) {
  if (v == FAlphaBlend) return;
  FAlphaBlend = v;
  ApplyOpacity();
}

void TCustomForm::SetAlphaBlendValue(Byte v) {
  if (v == FAlphaBlendValue) return;
  FAlphaBlendValue = v;
  ApplyOpacity();
}

double TCustomForm::WindowOpacity() const { return Widget() ? Widget()->windowOpacity() : 1.0; }

void TCustomForm::ApplyOpacity() {
  if (QWidget* w = Widget()) w->setWindowOpacity(FAlphaBlend ? FAlphaBlendValue / 255.0 : 1.0);
}

void TCustomForm::SetFormStyle(TFormStyle v) {
  if (v == FFormStyle) return;
  TFormStyle old = FFormStyle;
  FFormStyle = v;
  if (ComponentState().Contains(csLoading)) return;
  if (v == fsMDIChild && old != fsMDIChild) MakeMDIChild();
  if (v == fsMDIForm) EnsureMdiArea();
  ApplyWindowFlags();
  FrameChanged();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == FBorderStyle) return;
  FBorderStyle = v;
  if (ComponentState().Contains(csLoading)) {
    SendNCCalcSize();
    return;
  }
  ApplyWindowFlags();
  FrameChanged();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  if (v == FBorderIcons) return;
  FBorderIcons = v;
  if (!ComponentState().Contains(csLoading)) ApplyWindowFlags();
}

void TCustomForm::SetPosition(TPosition v) { FPosition = v; }

TWindowState TCustomForm::WindowState() const {
  if (FSubWindow && FSubWindow->isVisible()) {
    if (FSubWindow->isMinimized()) return wsMinimized;
    if (FSubWindow->isMaximized()) return wsMaximized;
    return wsNormal;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState v) {
  FWindowState = v;
  if (ComponentState().Contains(csLoading) || !Showing()) return;
  QWidget* w = FSubWindow ? static_cast<QWidget*>(FSubWindow) : Widget();
  switch (v) {
    case wsMinimized: w->showMinimized(); break;
    case wsMaximized: ShowMaximizedWindow(); break;
    case wsNormal:
      w->showNormal();
      RestoreNormalBounds();
      break;
  }
  if (FSubWindow) Widget()->show();
}

// A top-level window is put on its monitor's work area by the layer itself, so it opens
// maximised also where no window manager acts on the request; one that does maximises it
// as it does any window.
void TCustomForm::ShowMaximizedWindow() {
  QWidget* w = FSubWindow ? static_cast<QWidget*>(FSubWindow) : Widget();
  if (FSubWindow || Parent() || !Screen) {
    w->showMaximized();
    return;
  }
  if (IsRectEmpty(FNormalBounds)) FNormalBounds = BoundsRect();
  TRect area = Screen->MonitorFromWindow(Handle())->WorkareaRect();
  SetBounds(area.Left, area.Top, area.Width(), area.Height());
  if (WindowManagerMayMaximize()) w->showMaximized();
  else w->show();
}

void TCustomForm::RestoreNormalBounds() {
  if (IsRectEmpty(FNormalBounds)) return;
  TRect r = FNormalBounds;
  FNormalBounds = TRect();
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

TMonitor* TCustomForm::Monitor() const { return Screen ? Screen->MonitorFromWindow(FHandleForMonitor()) : nullptr; }

// ---------------------------------------------------------------- showing

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::ApplyPosition() {
  if (FPositioned) return;
  FPositioned = true;
  TRect area;
  if (FSubWindow) {
    QWidget* a = FSubWindow->mdiArea() ? FSubWindow->mdiArea()->viewport() : nullptr;
    area = a ? Rect(0, 0, a->width(), a->height()) : Rect(0, 0, 640, 480);
  } else {
    TMonitor* m = nullptr;
    if (Screen) {
      if (FDefaultMonitor == dmMainForm && Application && Application->MainForm())
        m = Screen->MonitorFromWindow(Application->MainForm()->Handle());
      else if (FDefaultMonitor == dmActiveForm && Screen->ActiveCustomForm())
        m = Screen->MonitorFromWindow(Screen->ActiveCustomForm()->Handle());
      if (!m) m = Screen->PrimaryMonitor();
    }
    area = m ? m->WorkareaRect() : Rect(0, 0, 1024, 768);
  }
  auto centerIn = [&](const TRect& r) {
    SetBounds(r.Left + (r.Width() - Width()) / 2, r.Top + (r.Height() - Height()) / 2, Width(), Height());
  };
  TCustomForm* over = nullptr;
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter: centerIn(area); break;
    case poMainFormCenter:
    case poOwnerFormCenter:
      if (FPosition == poOwnerFormCenter) over = dynamic_cast<TCustomForm*>(Owner());
      if (!over && Application) over = Application->MainForm();
      if (over && over != this && over->Visible()) {
        TRect r;
        GetWindowRect(over->Handle(), &r);
        centerIn(r);
      } else {
        centerIn(area);
      }
      break;
    case poDefault:
    case poDefaultPosOnly: {
      static int cascade = 0;
      int step = 22 * (cascade++ % 8);
      SetBounds(area.Left + step, area.Top + step, Width(), Height());
      break;
    }
    default: break;
  }
  if (!FSubWindow && !Parent()) {
    // Kept inside the work area.
    int l = std::clamp(Left(), area.Left, std::max(area.Left, area.Right - Width()));
    int t = std::clamp(Top(), area.Top, std::max(area.Top, area.Bottom - Height()));
    if (FPosition != poDesigned && (l != Left() || t != Top())) SetBounds(l, t, Width(), Height());
  }
}

void TCustomForm::ShowingChanged() {
  if (ComponentState().Contains(csDesigning)) return;
  if (FFormState.Contains(fsShowing)) throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
  FFormState += fsShowing;
  TScopeExit shown([this] { FFormState -= fsShowing; });
  if (Showing()) {
    try {
      DoShow();
    } catch (...) {
      gui_glue::HandleCurrentException(this);
    }
    ApplyPosition();
    QWidget* w = FSubWindow ? static_cast<QWidget*>(FSubWindow) : Widget();
    if (FSubWindow) Widget()->show();
    switch (FWindowState) {
      case wsMinimized: w->showMinimized(); break;
      case wsMaximized: ShowMaximizedWindow(); break;
      default: w->show(); break;
    }
    if (!Parent() && !(WindowExStyle() & WS_EX_NOACTIVATE)) gui_glue::ActivateForm(this);
  } else {
    try {
      DoHide();
    } catch (...) {
      gui_glue::HandleCurrentException(this);
    }
    if (FSubWindow) FSubWindow->hide();
    else Widget()->hide();
    gui_glue::ClosePopupsOf(this);
    if (Screen && Screen->ActiveCustomForm() == this) gui_glue::ActivateNextForm(this);
  }
}

int TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  gui_glue::CancelCapture();
  FFormState += fsModal;
  HWND activeWindow = GetActiveWindow();
  // Every other visible window waits while the modal form is up.
  FDisabledWindows.clear();
  if (Screen)
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
      TCustomForm* f = Screen->CustomForms(i);
      if (f == this || f->Parent() || f->FormStyle() == fsMDIChild || !f->Visible()) continue;
      if (IsWindowEnabled(f->Handle())) {
        EnableWindow(f->Handle(), false);
        FDisabledWindows.push_back(f->Handle());
      }
    }
  int result = mrNone;
  {
    TScopeExit restore([&] {
      for (HWND h : FDisabledWindows) EnableWindow(h, true);
      FDisabledWindows.clear();
      FFormState -= fsModal;
    });
    Show();
    FModalResult = mrNone;
    {
      if (Application) ++Application->FModalLevel;
      TScopeExit leave([] {
        if (Application) --Application->FModalLevel;
      });
      do {
        if (Application) Application->HandleMessage();
        if (Application && Application->Terminated()) FModalResult = mrCancel;
        else if (FModalResult != mrNone) CloseModal();
      } while (FModalResult == mrNone);
    }
    result = FModalResult;
    Hide();
  }
  if (TCustomForm* back = dynamic_cast<TCustomForm*>(FindControl(activeWindow)); back && back != this && back->Visible())
    gui_glue::ActivateForm(back);
  return result;
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    switch (action) {
      case caNone: FModalResult = mrNone; break;
      case caFree: Release(); break;
      default: break;
    }
  } catch (...) {
    FModalResult = mrNone;
    gui_glue::HandleCurrentException(this);
  }
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action =
      FFormStyle == fsMDIChild ? (FBorderIcons.Contains(biMinimize) ? caMinimize : caNone) : caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE, 0, 0); }

bool TCustomForm::CloseQuery() {
  if (FFormStyle == fsMDIForm)
    for (int i = 0; i < MDIChildCount(); ++i)
      if (!MDIChildren(i)->CloseQuery()) return false;
  bool can = true;
  OnCloseQuery(this, can);
  return can;
}

// ---------------------------------------------------------------- focus

void TCustomForm::SetActive(bool Value) {
  FActive = Value;
  if (Value) {
    if (!FActiveControl && !ComponentState().Contains(csDesigning))
      FActiveControl = FindNextControl(nullptr, true, true, false);
    Perform(CM_ACTIVATE);
    HWND h = FActiveControl && FActiveControl->CanFocus() ? FActiveControl->Handle() : Handle();
    if (::GetFocus() != h) ::SetFocus(h);
  } else {
    Perform(CM_DEACTIVATE);
  }
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (Control == FActiveControl) return;
  bool loading = ComponentState().Contains(csLoading);
  if (Control && (Control == this || GetParentForm(Control) != this || (!loading && !Control->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FActiveControl = Control;
  if (!loading && FActive) ::SetFocus(Control ? Control->Handle() : Handle());
}

void TCustomForm::FocusControl(TWinControl* Control) {
  bool wasActive = FActive;
  SetActiveControl(Control);
  if (!wasActive) SetFocus();
}

void TCustomForm::SetFocus() {
  if (FActive && ::GetFocus() != 0) return;
  if (!Visible() || !Enabled()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(FActiveControl ? FActiveControl->Handle() : Handle());
}

bool TCustomForm::CanFocus() const { return Visible() && Enabled(); }

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (ComponentState().Contains(csDestroying)) return false;
  ++gFocusCount;
  FActiveControl = Control == this ? nullptr : Control;
  // The focus inside a child is no longer on a control of the MDI form: asking for that
  // control again has to move the focus back to it.
  if (FFormStyle == fsMDIChild && Application && Application->MainForm())
    Application->MainForm()->FActiveControl = nullptr;
  if (Screen) {
    Screen->SetActiveControl(Control);
    if (Screen->FActiveCustomForm != this) Screen->SetActiveForm(this);
    else Screen->MoveFormToFront(this);
  }
  if (Control->ControlState().Contains(csFocusing)) return false;
  Control->SetControlState(Control->ControlState() + csFocusing);
  struct TGuard {
    TWinControl* C;
    ~TGuard() { C->SetControlState(C->ControlState() - csFocusing); }
  } guard{Control};
  if (!FFocusedControl) FFocusedControl = this;
  if (FFocusedControl != Control) {
    // Leaves the old chain up to the common parent, then enters the new one downwards.
    while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
      TWinControl* leaving = FFocusedControl;
      FFocusedControl = FFocusedControl->Parent();
      if (!SendFocusMessage(leaving, CM_EXIT, this)) return false;
    }
    while (FFocusedControl != Control) {
      TWinControl* c = Control;
      while (c->Parent() != FFocusedControl) c = c->Parent();
      FFocusedControl = c;
      if (!SendFocusMessage(c, CM_ENTER, this)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  }
  return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->Parent();
  if (Control->ContainsControl(FActiveControl)) {
    FActiveControl = nullptr;
    if (FActive && !ComponentState().Contains(csDestroying) && Control->ContainsControl(FindControl(::GetFocus())))
      ::SetFocus(Handle());
  }
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (FActive && FActiveControl) FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
  if (FFormStyle == fsMDIForm)
    if (TForm* c = ActiveMDIChild()) c->SendCancelMode(Sender);
}

void SendCancelMode(TControl* Sender) {
  if (Screen && Screen->ActiveCustomForm()) Screen->ActiveCustomForm()->SendCancelMode(Sender);
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool handled = false;
  OnShortCut(Message, handled);
  if (handled) return true;
  if (auto* h = dynamic_cast<IShortCutHandler*>(FMenu); h && h->HandleShortCut(Message)) return true;
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (c == FMenu) continue;
    if (auto* h = dynamic_cast<IShortCutHandler*>(c); h && h->HandleShortCut(Message)) return true;
  }
  if (FFormStyle == fsMDIForm)
    if (TForm* child = ActiveMDIChild(); child && child->IsShortCut(Message)) return true;
  return false;
}

// An action looking for its target: the active MDI child's first, then the focused control
// and the controls holding it (a grid's cell editor leads to the grid), then the form, then
// every visible control, depth first.
bool TCustomForm::OfferAction(bool Execute, TBasicAction* Action) {
  if (!Action || ComponentState().Contains(csDesigning) || !Showing()) return false;
  if (TForm* child = ActiveMDIChild(); child && child != this && child->OfferAction(Execute, Action)) return true;
  auto offer = [&](TComponent* c) { return c && (Execute ? c->ExecuteAction(Action) : c->UpdateAction(Action)); };
  for (TWinControl* c = FActiveControl; c && c != this; c = c->Parent())
    if (offer(c)) return true;
  std::function<bool(TWinControl*)> walk = [&](TWinControl* w) {
    for (int i = 0; i < w->ControlCount(); ++i) {
      TControl* c = w->Controls(i);
      if (!c->Visible()) continue;
      if (offer(c)) return true;
      if (auto* cw = dynamic_cast<TWinControl*>(c); cw && walk(cw)) return true;
    }
    return false;
  };
  return offer(this) || walk(this);
}

void TCustomForm::UpdateActions() {
  if (!Showing()) return;
  std::function<void(TWinControl*)> walk = [&](TWinControl* w) {
    for (int i = 0; i < w->ControlCount(); ++i) {
      TControl* c = w->Controls(i);
      if (!c->Visible()) continue;
      c->InitiateAction();
      if (auto* cw = dynamic_cast<TWinControl*>(c)) walk(cw);
    }
  };
  InitiateAction();
  walk(this);
}

// ---------------------------------------------------------------- messages

void TCustomForm::Dispatch(TMessage& M) {
  if (Application && Application->MainForm() == this && Application->MainWindowHookCount() > 0 &&
      Application->CallMainWindowHooks(M))
    return;
  switch (M.Msg) {
    case WM_NCCALCSIZE:
      DoFrameMargins(M);
      return;
    case WM_NCPAINT:
      WMNCPaint(M);
      return;
    case WM_CLOSE:
      Close();
      return;
    case WM_ACTIVATE:
      SetActive(LoWord(M.WParam) != WA_INACTIVE);
      return;
    case WM_NCACTIVATE:
      // The window manager draws the frame; the form keeps the state it would show.
      FCaptionActive = M.WParam != 0;
      M.Result = 1;
      return;
    case CM_ACTIVATE:
      Activate();
      return;
    case CM_ACTIONEXECUTE:
    case CM_ACTIONUPDATE:
      M.Result = OfferAction(M.Msg == CM_ACTIONEXECUTE, reinterpret_cast<TBasicAction*>(M.LParam)) ? 1 : 0;
      return;
    case CM_DEACTIVATE:
      Deactivate();
      return;
    case CM_SHOWINGCHANGED:
      ShowingChanged();
      return;
    case CM_RELEASE:
      CMRelease(M);
      return;
    case CM_DIALOGKEY:
      if (GetKeyState(VK_MENU) >= 0) {
        switch (M.WParam) {
          case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
              SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
              M.Result = 1;
              return;
            }
            break;
          case VK_LEFT:
          case VK_RIGHT:
          case VK_UP:
          case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
              FActiveControl->Parent()->SelectNext(FActiveControl, M.WParam == VK_RIGHT || M.WParam == VK_DOWN, false);
              M.Result = 1;
            }
            return;
          default:
            break;
        }
      }
      break;
    case WM_MOUSEACTIVATE:
      M.Result = MA_ACTIVATE;
      return;
    case WM_SYSCOLORCHANGE:
      Perform(CM_SYSCOLORCHANGE, 0, 0);
      return;
    case CM_CHILDKEY:
      M.Result = 0;
      return;
    default:
      break;
  }
  TScrollingWinControl::Dispatch(M);
}

void TCustomForm::WMNCPaint(TMessage& M) {
  // The window manager draws the caption and frame; the border band is ours.
  if (BorderWidth() > 0) TScrollingWinControl::Dispatch(M);
}

void TCustomForm::CMRelease(TMessage& M) {
  BeforeDestruction();
  gui_glue::DeferDelete(this);
}

void TCustomForm::SetZOrder(bool TopMost) {
  if (FSubWindow) {
    if (TopMost) {
      if (FSubWindow->isMinimized() && FWindowState != wsMinimized) FSubWindow->showNormal();
      FSubWindow->raise();
      if (FSubWindow->mdiArea()) FSubWindow->mdiArea()->setActiveSubWindow(FSubWindow);
      if (Visible()) gui_glue::ActivateForm(this);
    } else {
      FSubWindow->lower();
    }
    return;
  }
  if (!Parent()) {
    if (TopMost) {
      Widget()->raise();
      if (Visible() && !(WindowExStyle() & WS_EX_NOACTIVATE)) {
        Widget()->activateWindow();
        gui_glue::ActivateForm(this);
      }
    } else {
      Widget()->lower();
    }
    return;
  }
  TScrollingWinControl::SetZOrder(TopMost);
}

HWND TCustomForm::FHandleForMonitor() const { return const_cast<TCustomForm*>(this)->Handle(); }

// ================================================================ activation

namespace gui_glue {

void ActivateForm(TCustomForm* F, bool AskWindowSystem) {
  if (!Screen || !F || F->ComponentState().Contains(csDestroying)) return;
  TCustomForm* old = Screen->ActiveCustomForm();
  if (old == F) return;
  if (!IsWindowEnabled(F->Handle())) return;  // disabled by a modal form
  TCustomForm* mdiParent = F->FormStyle() == fsMDIChild && Application ? Application->MainForm() : nullptr;
  if (old && old != mdiParent) {
    SendMessage(old->Handle(), WM_NCACTIVATE, 0, 0);
    old->Perform(WM_ACTIVATE, WA_INACTIVE, static_cast<LPARAM>(F->Handle()));
  }
  TAccess::ScreenSetActiveForm(F);
  if (QMdiSubWindow* sub = TAccess::SubWindowOf(F)) {
    if (sub->mdiArea() && sub->mdiArea()->currentSubWindow() != sub) sub->mdiArea()->setActiveSubWindow(sub);
  } else if (!F->Parent() && AskWindowSystem) {
    TAccess::Widget(F)->activateWindow();
  }
  SendMessage(F->Handle(), WM_NCACTIVATE, 1, 0);
  F->Perform(WM_ACTIVATE, WA_ACTIVE, old ? static_cast<LPARAM>(old->Handle()) : 0);
  // The MDI form shows its active child as the active form.
  if (F->FormStyle() == fsMDIForm)
    if (TForm* child = F->ActiveMDIChild(); child && child->Visible()) ActivateForm(child);
}

void ActivateNextForm(TCustomForm* Leaving) {
  if (!Screen) return;
  for (int i = 0; i < Screen->CustomFormCount(); ++i) {
    TCustomForm* f = Screen->CustomForms(i);
    if (f != Leaving && f->Visible() && !f->Parent() && IsWindowEnabled(f->Handle()) &&
        !f->ComponentState().Contains(csDestroying)) {
      ActivateForm(f);
      return;
    }
  }
  if (Screen->ActiveCustomForm() == Leaving) {
    SendMessage(Leaving->Handle(), WM_NCACTIVATE, 0, 0);
    Leaving->Perform(WM_ACTIVATE, WA_INACTIVE, 0);
    TAccess::ScreenSetActiveForm(nullptr);
  }
}

void ForgetFocusIfWithin(TCustomForm* F) {
  if (F->ContainsControl(FindControl(::GetFocus()))) ForgetFocus();
}

void ClosePopupsOf(TCustomForm* F) {
  auto& v = Popups();
  for (int i = static_cast<int>(v.size()) - 1; i >= 0 && i < static_cast<int>(v.size()); --i) {
    TOpenPopup p = v[static_cast<std::size_t>(i)];
    if (p.Owner && (GetParentForm(p.Owner) == F || p.Owner == F)) ClosePopup(p.Popup);
  }
}

}  // namespace gui_glue

// ================================================================ published forms

KELM_PUBLISH(TForm) { Published(b); }

// ================================================================ frames and data modules

KELM_PUBLISH(TCustomFrame) {}

KELM_PUBLISH(TFrame) { Published(b); }

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollingWinControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 320, 240);
}

void TCustomFrame::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  GetRootComponents(this, Proc, Root);
  TScrollingWinControl::GetChildren(Proc, Root);
}

void TCustomFrame::InitFrame() {
  InitInheritedComponent(this, TFrame::StaticClass());
  RegisterRoot(this);
}

// ================================================================ MDI
// The client area of an MDI form, its children in their frames, and cascading, tiling and
// arranging them.

namespace {

// Keeps an MDI child's Left and Top with its frame when the user or the MDI area moves it.
class TSubWindowWatcher : public QObject {
public:
  TSubWindowWatcher(QObject* parent, TCustomForm* form) : QObject(parent), Form(form) {}
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Move) {
      auto* w = static_cast<QWidget*>(o);
      try {
        gui_glue::TAccess::WidgetMoved(Form, w->x(), w->y());
      } catch (...) {
        gui_glue::HandleCurrentException(Form);
      }
    }
    return false;
  }
  TCustomForm* Form;
};

}  // namespace

void TCustomForm::EnsureMdiArea() {
  if (FMdiArea) return;
  FMdiArea = new TMdiArea(Widget());
  FMdiArea->setBackground(QBrush(ToQColor(GetSysColor(COLOR_APPWORKSPACE))));
  FMdiArea->lower();
  FMdiArea->show();
  FClientHandle = AllocateHWnd([this](TMessage& M) {
    switch (M.Msg) {
      case WM_MDICASCADE: Cascade(); return;
      case WM_MDITILE: Tile(); return;
      case WM_MDIICONARRANGE: ArrangeIcons(); return;
      case WM_MDINEXT: Next(); return;
      case WM_MDIGETACTIVE: {
        TForm* f = ActiveMDIChild();
        M.Result = f ? static_cast<LRESULT>(f->Handle()) : 0;
        return;
      }
      default: return;
    }
  });
  QObject::connect(FMdiArea, &QMdiArea::subWindowActivated, FMdiArea, [](QMdiSubWindow* sub) {
    if (!sub) return;
    TCustomForm* f = gui_glue::FormOfWidget(sub->widget());
    try {
      if (f && Screen && Screen->ActiveCustomForm() != f && f->Visible()) gui_glue::ActivateForm(f);
    } catch (...) {
      gui_glue::HandleCurrentException(f);
    }
  });
  Realign();
}

void TCustomForm::AlignControls(TControl* AControl, TRect& R) {
  TScrollingWinControl::AlignControls(AControl, R);
  if (FMdiArea) {
    TRect a = AlignedRemainder();
    TRect in = InsideMargins();
    FMdiArea->setGeometry(a.Left + in.Left, a.Top + in.Top, std::max(0, a.Width()), std::max(0, a.Height()));
    FMdiArea->lower();
  }
}

void TCustomForm::MakeMDIChild() {
  if (FSubWindow) return;
  TForm* main = Application ? Application->MainForm() : nullptr;
  if (!main || main->FormStyle() != fsMDIForm || main == this)
    throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  main->EnsureMdiArea();
  QWidget* w = Widget();
  FSubWindow = new TMdiSubWindow;
  FSubWindow->setWidget(w);
  main->FMdiArea->addSubWindow(FSubWindow);
  FSubWindow->setAttribute(Qt::WA_DeleteOnClose, false);
  FSubWindow->setWindowTitle(ToQString(WindowText()));
  FSubWindow->installEventFilter(new TSubWindowWatcher(FSubWindow, this));
  FSubWindow->hide();
  FFormState += fsCreatedMDIChild;
  SendNCCalcSize();
  ApplyGeometry();
  // The MDI frame's own state changes (minimise, maximise, restore) are the form's.
  QObject::connect(FSubWindow, &QMdiSubWindow::windowStateChanged, FSubWindow,
                   [this](Qt::WindowStates, Qt::WindowStates now) {
                     FWindowState = (now & Qt::WindowMinimized) ? wsMinimized
                                    : (now & Qt::WindowMaximized) ? wsMaximized
                                                                  : wsNormal;
                   });
}

int TCustomForm::MDIChildCount() const {
  if (!FMdiArea) return 0;
  return static_cast<int>(FMdiArea->subWindowList().size());
}

TForm* TCustomForm::MDIChildren(int Index) const {
  if (!FMdiArea) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  auto list = FMdiArea->subWindowList(QMdiArea::StackingOrder);
  int n = static_cast<int>(list.size());
  if (Index < 0 || Index >= n) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return dynamic_cast<TForm*>(gui_glue::FormOfWidget(list[n - 1 - Index]->widget()));
}

TForm* TCustomForm::ActiveMDIChild() const {
  if (!FMdiArea) return nullptr;
  QMdiSubWindow* s = FMdiArea->currentSubWindow();
  if (!s) {
    auto list = FMdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = list.rbegin(); it != list.rend(); ++it)
      if ((*it)->isVisible()) {
        s = *it;
        break;
      }
  }
  return s ? dynamic_cast<TForm*>(gui_glue::FormOfWidget(s->widget())) : nullptr;
}

void TCustomForm::Cascade() {
  if (FMdiArea) FMdiArea->cascadeSubWindows();
}

void TCustomForm::Tile() {
  if (FMdiArea) FMdiArea->tileSubWindows();
}

void TCustomForm::ArrangeIcons() {
  if (!FMdiArea) return;
  int x = 0;
  int bottom = FMdiArea->viewport()->height();
  for (QMdiSubWindow* s : FMdiArea->subWindowList(QMdiArea::CreationOrder)) {
    if (!s->isMinimized()) continue;
    QSize sz = s->size();
    s->move(x, bottom - sz.height());
    x += sz.width();
  }
}

void TCustomForm::Next() {
  if (FMdiArea) FMdiArea->activateNextSubWindow();
}

void TCustomForm::Previous() {
  if (FMdiArea) FMdiArea->activatePreviousSubWindow();
}

HWND TCustomForm::ClientHandle() const { return FClientHandle; }

namespace gui_glue {

QMdiArea* TAccess::MdiAreaOf(TCustomForm* F) { return F->FMdiArea; }
QMdiSubWindow* TAccess::SubWindowOf(TCustomForm* F) { return F->FSubWindow; }

}  // namespace gui_glue
