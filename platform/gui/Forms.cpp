// TApplication (the loop, exceptions, hints), TScreen, forms with modal loops and MDI,
// frames and data modules.
#include "gui/Forms.h"
#include "gui/CanvasPaint_p.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"

#include "core/ClassBuilder.h"
#include "gui/ControlProps.h"
#include "core/Classes.h"
#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "core/Filer.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QEventLoop>
#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>
#include <QtWidgets/QMessageBox>

#include <algorithm>
#include <iostream>
#include <map>

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

struct HCURSOR__ {
  QCursor Cursor;
};

namespace {

TMessageBoxHook gMessageBoxHook;
int gFocusCount = 0;
std::vector<TComponent*> gDeferredDeletes;

void ProcessDeferredDeletes() {
  while (!gDeferredDeletes.empty()) {
    TComponent* c = gDeferredDeletes.back();
    gDeferredDeletes.pop_back();
    delete c;
  }
}

void DeferDelete(TComponent* c) {
  if (std::find(gDeferredDeletes.begin(), gDeferredDeletes.end(), c) == gDeferredDeletes.end())
    gDeferredDeletes.push_back(c);
}

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

TCustomForm* FormOfWidget(QWidget* w) {
  auto* cw = dynamic_cast<TControlWidget*>(w);
  return cw ? dynamic_cast<TCustomForm*>(cw->Control) : nullptr;
}

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

// ================================================================ message boxes

void SetMessageBoxHook(TMessageBoxHook Hook) { gMessageBoxHook = std::move(Hook); }
bool MessageBoxHooked() { return static_cast<bool>(gMessageBoxHook); }

int MessageBox(HWND, const String& Text, const String& Caption, int Flags) {
  return gui_glue::ShowMessageBox(Text, Caption, Flags);
}

namespace gui_glue {

int ShowMessageBox(const String& Text, const String& Caption, int Flags) {
  CancelCapture();
  if (gMessageBoxHook) return gMessageBoxHook(Text, Caption, Flags);
  QMessageBox box;
  box.setWindowTitle(ToQString(Caption));
  box.setText(ToQString(Text));
  switch (Flags & MB_ICONMASK) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  struct TButtonDef {
    QMessageBox::StandardButton Button;
    int Id;
  };
  std::vector<TButtonDef> buttons;
  switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
      buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
      break;
    case MB_YESNOCANCEL: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
  }
  QMessageBox::StandardButtons set;
  for (auto& b : buttons) set |= b.Button;
  box.setStandardButtons(set);
  std::size_t def = (Flags & MB_DEFMASK) == MB_DEFBUTTON2 ? 1 : (Flags & MB_DEFMASK) == MB_DEFBUTTON3 ? 2 : 0;
  if (def < buttons.size()) box.setDefaultButton(buttons[def].Button);
  int r = box.exec();
  for (auto& b : buttons)
    if (b.Button == r) return b.Id;
  return buttons.size() > 1 && (Flags & MB_TYPEMASK) != MB_YESNO ? IDCANCEL : buttons.front().Id;
}

void HandleCurrentException(TObject* Sender) {
  if (Application) {
    Application->HandleException(Sender);
    return;
  }
  try {
    throw;
  } catch (const std::exception& e) {
    std::cerr << "Unhandled exception: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "Unhandled exception\n";
  }
}

void SystemBeep() { QApplication::beep(); }

void DrainQueue() {
  int n = QueuedMessageCount();
  TMsg m;
  while (n-- > 0 && TakeMessage(m)) {
    if (Application) {
      try {
        Application->ProcessMessage(m);
      } catch (...) {
        HandleCurrentException(Application);
      }
    } else {
      DispatchMessage(m);
    }
    ProcessDeferredDeletes();
  }
  if (QueuedMessageCount() > 0) RequestPump();
}

void ProcessInput(TMsg& Msg, const std::u32string* Chars) {
  DrainQueue();
  Msg.time = GetTickCount();
  NoteMessage(Msg);
  if (!Application) {
    DispatchMessage(Msg);
    return;
  }
  try {
    bool handled = false;
    Application->OnMessage(Msg, handled);
    if (handled) return;
    TAccess::ApplicationIsHintMsg(Msg);
    bool isKey = Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST;
    // A drag in progress holds the capture with a message window: it sees the keys.
    if (isKey && GetCapture() && !FindControl(GetCapture())) {
      SendMessage(GetCapture(), Msg.message, Msg.wParam, Msg.lParam);
      return;
    }
    if (TAccess::ApplicationIsKeyMsg(Msg)) return;
    if (Chars && !Chars->empty()) {
      UINT charMsg = Msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
      for (char32_t c : *Chars) PostMessage(Msg.hwnd, charMsg, c, Msg.lParam);
    }
    DispatchMessage(Msg);
  } catch (...) {
    HandleCurrentException(Application);
  }
  ProcessDeferredDeletes();
}

void ActivateForm(TCustomForm* F);

void ActivateFormOf(TWinControl* Control) {
  TWinControl* top = GetTopParent(Control);
  auto* f = dynamic_cast<TCustomForm*>(top);
  if (TCustomForm* pf = GetParentForm(Control); pf && pf->FormStyle() == fsMDIChild) f = pf;
  if (f && Screen && Screen->ActiveCustomForm() != f && f->Visible()) ActivateForm(f);
}

void FormActivated(TCustomForm* Form, bool Active) {
  if (Active && Screen && Screen->ActiveCustomForm() != Form && Form->Visible()) {
    // Qt activates the MDI form; the active child keeps the activation among forms.
    if (Form->FormStyle() == fsMDIForm && Form->ActiveMDIChild() &&
        Screen->ActiveCustomForm() == Form->ActiveMDIChild())
      return;
    ActivateForm(Form);
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

// ================================================================ TScreen

KELM_PUBLISH(TScreen) {}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
  FHintFont = std::make_unique<TFont>();
  FMenuFont = std::make_unique<TFont>();
  FIconFont = std::make_unique<TFont>();
  for (TFont* f : {FHintFont.get(), FMenuFont.get(), FIconFont.get()}) {
    f->SetName("宋体");
    f->SetHeight(-12);
  }
}

TScreen::~TScreen() {
  if (FCursor != crDefault) QGuiApplication::restoreOverrideCursor();
  for (auto& [id, h] : gui_glue::TAccess::ScreenCursors()) delete h;
  gui_glue::TAccess::ScreenCursors().clear();
}

int TScreen::FormCount() const {
  int n = 0;
  for (TCustomForm* f : FForms)
    if (dynamic_cast<TForm*>(f)) ++n;
  return n;
}

TForm* TScreen::Forms(int Index) const {
  int n = 0;
  for (TCustomForm* f : FForms)
    if (auto* t = dynamic_cast<TForm*>(f)) {
      if (n == Index) return t;
      ++n;
    }
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

TCustomForm* TScreen::CustomForms(int Index) const {
  if (Index < 0 || Index >= CustomFormCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FForms[static_cast<std::size_t>(Index)];
}

TDataModule* TScreen::DataModules(int Index) const {
  if (Index < 0 || Index >= DataModuleCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FDataModules[static_cast<std::size_t>(Index)];
}

TForm* TScreen::ActiveForm() const { return dynamic_cast<TForm*>(FActiveCustomForm); }

void TScreen::AddForm(TCustomForm* F) { FForms.push_back(F); }

void TScreen::RemoveForm(TCustomForm* F) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), F), FForms.end());
  if (FActiveCustomForm == F) {
    FActiveCustomForm = nullptr;
    OnActiveFormChange(this);
  }
  if (FActiveControl && GetParentForm(FActiveControl) == F) FActiveControl = nullptr;
}

void TScreen::MoveFormToFront(TCustomForm* F) {
  auto it = std::find(FForms.begin(), FForms.end(), F);
  if (it == FForms.end()) return;
  FForms.erase(it);
  FForms.insert(FForms.begin(), F);
}

void TScreen::SetActiveForm(TCustomForm* F) {
  if (F) MoveFormToFront(F);
  if (F == FActiveCustomForm) return;
  FActiveCustomForm = F;
  OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* C) {
  if (C == FActiveControl) return;
  FActiveControl = C;
  OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor v) {
  if (v == FCursor) return;
  TCursor old = FCursor;
  FCursor = v;
  if (v == crDefault) {
    QGuiApplication::restoreOverrideCursor();
  } else if (old == crDefault) {
    QGuiApplication::setOverrideCursor(gui_glue::QtCursor(v));
  } else {
    QGuiApplication::changeOverrideCursor(gui_glue::QtCursor(v));
  }
}

HCURSOR TScreen::Cursors(int Index) const {
  auto& m = gui_glue::TAccess::ScreenCursors();
  auto it = m.find(Index);
  if (it != m.end()) return it->second;
  if (Index > 0 || Index < crSizeAll) return nullptr;
  auto* h = new HCURSOR__{gui_glue::QtCursor(static_cast<TCursor>(Index))};
  m[Index] = h;
  return h;
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
  auto& m = gui_glue::TAccess::ScreenCursors();
  auto it = m.find(Index);
  if (it != m.end()) {
    if (it->second != Handle) delete it->second;
    m.erase(it);
  }
  if (Handle) m[Index] = Handle;
}

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    auto* l = new TStringList;
    l->SetSorted(true);
    l->SetDuplicates(dupIgnore);
    for (const QString& f : QFontDatabase::families()) l->Add(FromQString(f));
    FFonts.reset(l);
  }
  return FFonts.get();
}

// Monitor objects are updated in place, so pointers to them stay valid between calls.
void TScreen::RefreshMonitors() const {
  const auto screens = QGuiApplication::screens();
  std::size_t n = std::max<std::size_t>(1, static_cast<std::size_t>(screens.size()));
  while (FMonitors.size() < n) FMonitors.push_back(std::make_unique<TMonitor>());
  FMonitors.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    TMonitor& m = *FMonitors[i];
    m.FNum = static_cast<int>(i);
    if (screens.isEmpty()) {
      m.FBounds = m.FWork = Rect(0, 0, 1024, 768);
      m.FPrimary = true;
      continue;
    }
    QScreen* s = screens[static_cast<qsizetype>(i)];
    m.FBounds = FromQRect(s->geometry());
    m.FWork = FromQRect(s->availableGeometry());
    m.FPrimary = s == QGuiApplication::primaryScreen();
  }
}

int TScreen::MonitorCount() const {
  RefreshMonitors();
  return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) const {
  RefreshMonitors();
  if (Index < 0 || Index >= static_cast<int>(FMonitors.size()))
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FMonitors[static_cast<std::size_t>(Index)].get();
}

TMonitor* TScreen::PrimaryMonitor() const {
  RefreshMonitors();
  for (auto& m : FMonitors)
    if (m->Primary()) return m.get();
  return FMonitors.front().get();
}

TMonitor* TScreen::MonitorFromPoint(TPoint P, TMonitorDefaultTo Default) const {
  RefreshMonitors();
  for (auto& m : FMonitors)
    if (PtInRect(m->BoundsRect(), P)) return m.get();
  if (Default == mdNull) return nullptr;
  if (Default == mdPrimary) return PrimaryMonitor();
  TMonitor* best = nullptr;
  long bestD = 0;
  for (auto& m : FMonitors) {
    TRect b = m->BoundsRect();
    long dx = P.X < b.Left ? b.Left - P.X : P.X >= b.Right ? P.X - b.Right + 1 : 0;
    long dy = P.Y < b.Top ? b.Top - P.Y : P.Y >= b.Bottom ? P.Y - b.Bottom + 1 : 0;
    long d = dx * dx + dy * dy;
    if (!best || d < bestD) {
      best = m.get();
      bestD = d;
    }
  }
  return best;
}

TMonitor* TScreen::MonitorFromRect(const TRect& R, TMonitorDefaultTo Default) const {
  return MonitorFromPoint({(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}, Default);
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default) const {
  TWinControl* c = FindControl(Handle);
  if (!c) return Default == mdNull ? nullptr : PrimaryMonitor();
  TPoint o = c->ClientOrigin();
  return MonitorFromRect(Bounds(o.X, o.Y, c->Width(), c->Height()), Default);
}

int TScreen::Width() const { return PrimaryMonitor()->Width(); }
int TScreen::Height() const { return PrimaryMonitor()->Height(); }

TRect TScreen::DesktopRect() const {
  RefreshMonitors();
  TRect r = FMonitors.front()->BoundsRect();
  for (auto& m : FMonitors) UnionRect(r, r, m->BoundsRect());
  return r;
}

TRect TScreen::WorkAreaRect() const { return PrimaryMonitor()->WorkareaRect(); }

// ---------------------------------------------------------------- cursors from resources

HCURSOR LoadCursorFromResource(const String& Name) {
  const TResourceView* r = nullptr;
  for (const String& n : {Name, Name + ".cur", "cursors/" + Name + ".cur", "cursors/" + Name})
    if ((r = FindResourceData(n))) break;
  if (!r || r->Size < 22) return nullptr;
  const Byte* d = r->Data;
  if (d[0] != 0 || d[1] != 0 || d[2] != 2 || d[3] != 0) return nullptr;  // not a cursor file
  int hx = d[6 + 4] | (d[6 + 5] << 8);
  int hy = d[6 + 6] | (d[6 + 7] << 8);
  QImage img = QImage::fromData(d, static_cast<int>(r->Size), "CUR");
  if (img.isNull()) img = QImage::fromData(d, static_cast<int>(r->Size), "ICO");
  if (img.isNull()) return nullptr;
  return new HCURSOR__{QCursor(QPixmap::fromImage(img), hx, hy)};
}

HCURSOR CreateCursorFromImage(TBitmap* Image, int HotX, int HotY) {
  if (!Image || Image->Empty()) return nullptr;
  return new HCURSOR__{QCursor(QPixmap::fromImage(Image->Image()), HotX, HotY)};
}

// ================================================================ TScrollingWinControl

KELM_PUBLISH(TScrollingWinControl) {}

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {}

// ================================================================ TCustomForm

KELM_PUBLISH(TCustomForm) {}

namespace {

// The components a layout's root owns that no other component writes inside itself, in
// creation order. Only the root of the layout writes them: they belong to it.
void GetRootComponents(TComponent* Self, const TGetChildProc& Proc, TComponent* Root) {
  if (Self != Root) return;
  for (int i = 0; i < Self->ComponentCount(); ++i)
    if (!Self->Components(i)->HasParent()) Proc(Self->Components(i));
}

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
      if (TCustomForm* child = FormOfWidget(sub->widget())) {
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
  FFormState += fsCreating;
  try {
    InitInheritedComponent(this, TForm::StaticClass());
  } catch (...) {
    FFormState -= fsCreating;
    throw;
  }
  RegisterRoot(this);
  FFormState -= fsCreating;
  DoCreate();
  if (FFormState.Contains(fsVisible) || FFormStyle == fsMDIChild) Show();
}

void TCustomForm::Loaded() {
  TScrollingWinControl::Loaded();
  if (FFormStyle == fsMDIForm) EnsureMdiArea();
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

void TCustomForm::SetMenuComponent(TComponent* v) {
  if (v == FMenu) return;
  if (FMenu) FMenu->RemoveFreeNotification(this);
  FMenu = v;
  if (v) v->FreeNotification(this);
}

// ---------------------------------------------------------------- appearance

void TCustomForm::ApplyWindowFlags() {
  if (Parent() || FFormStyle == fsMDIChild) return;
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
  struct TGuard {
    TFormState& S;
    ~TGuard() { S -= fsShowing; }
  } guard{FFormState};
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
    if (!Parent()) gui_glue::ActivateForm(this);
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
  auto restore = [&] {
    for (HWND h : FDisabledWindows) EnableWindow(h, true);
    FDisabledWindows.clear();
    FFormState -= fsModal;
  };
  try {
    Show();
    FModalResult = mrNone;
    if (Application) ++Application->FModalLevel;
    try {
      do {
        if (Application) Application->HandleMessage();
        if (Application && Application->Terminated()) FModalResult = mrCancel;
        else if (FModalResult != mrNone) CloseModal();
      } while (FModalResult == mrNone);
    } catch (...) {
      if (Application) --Application->FModalLevel;
      throw;
    }
    if (Application) --Application->FModalLevel;
    result = FModalResult;
    Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
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
  switch (M.Msg) {
    case WM_NCCALCSIZE:
      DoFrameMargins(M);
      return;
    case WM_NCPAINT:
      // The window manager draws the caption and frame; the border band is ours.
      if (BorderWidth() > 0) TScrollingWinControl::Dispatch(M);
      return;
    case WM_CLOSE:
      Close();
      return;
    case WM_ACTIVATE:
      SetActive(LoWord(M.WParam) != WA_INACTIVE);
      return;
    case CM_ACTIVATE:
      Activate();
      return;
    case CM_DEACTIVATE:
      Deactivate();
      return;
    case CM_SHOWINGCHANGED:
      ShowingChanged();
      return;
    case CM_RELEASE:
      BeforeDestruction();
      DeferDelete(this);
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
    case CM_CHILDKEY:
      M.Result = 0;
      return;
    default:
      break;
  }
  TScrollingWinControl::Dispatch(M);
}

// ---------------------------------------------------------------- MDI

void TCustomForm::EnsureMdiArea() {
  if (FMdiArea) return;
  FMdiArea = new QMdiArea(Widget());
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
    TCustomForm* f = FormOfWidget(sub->widget());
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
  FSubWindow = main->FMdiArea->addSubWindow(w);
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
  return dynamic_cast<TForm*>(FormOfWidget(list[n - 1 - Index]->widget()));
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
  return s ? dynamic_cast<TForm*>(FormOfWidget(s->widget())) : nullptr;
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
      if (Visible()) {
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

void ActivateForm(TCustomForm* F) {
  if (!Screen || !F || F->ComponentState().Contains(csDestroying)) return;
  TCustomForm* old = Screen->ActiveCustomForm();
  if (old == F) return;
  if (!IsWindowEnabled(F->Handle())) return;  // disabled by a modal form
  TCustomForm* mdiParent = F->FormStyle() == fsMDIChild && Application ? Application->MainForm() : nullptr;
  if (old && old != mdiParent) old->Perform(WM_ACTIVATE, WA_INACTIVE, static_cast<LPARAM>(F->Handle()));
  TAccess::ScreenSetActiveForm(F);
  if (QMdiSubWindow* sub = TAccess::SubWindowOf(F)) {
    if (sub->mdiArea() && sub->mdiArea()->currentSubWindow() != sub) sub->mdiArea()->setActiveSubWindow(sub);
  } else if (!F->Parent()) {
    TAccess::Widget(F)->activateWindow();
  }
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

KELM_PUBLISH(TForm) {
  PublishControlProperties(b, {"Action"});
  b.Prop("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  PublishControlProperties(b, {"Align", "Anchors"});
  b.Prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).Default(false);
  PublishControlProperties(b, {"AutoSize", "BiDiMode"});
  b.Prop("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
  b.Prop("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
  PublishControlProperties(b, {"BorderWidth", "Caption", "ClientHeight", "ClientWidth", "Color", "Constraints",
                               "Ctl3D"});
  b.Prop("DefaultMonitor", &TCustomForm::DefaultMonitor, &TCustomForm::SetDefaultMonitor).Default(dmActiveForm);
  PublishControlProperties(b, {"DragMode", "Enabled"});
  b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(false);  // a form has its own
  PublishControlProperties(b, {"Font"});
  b.Prop("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
  b.Prop("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
  b.Prop("Menu", &TCustomForm::MenuComponent, &TCustomForm::SetMenuComponent).Type("TMainMenu");
  b.Prop("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder).Default(false);
  PublishControlProperties(b, {"PopupMenu"});
  b.Prop("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
  b.Prop("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(true);
  PublishControlProperties(b, {"ShowHint"});
  b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(false);  // forms start hidden
  b.Prop("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
  b.Prop("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight).NoDefault();
  b.Prop("OnActivate", &TCustomForm::OnActivate, &TCustomForm::OnActivate);
  PublishControlProperties(b, {"OnCanResize", "OnClick"});
  b.Prop("OnClose", &TCustomForm::OnClose, &TCustomForm::OnClose);
  b.Prop("OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::OnCloseQuery);
  PublishControlProperties(b, {"OnContextPopup"});
  b.Prop("OnCreate", &TCustomForm::OnCreate, &TCustomForm::OnCreate);
  PublishControlProperties(b, {"OnDblClick"});
  b.Prop("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::OnDestroy);
  b.Prop("OnDeactivate", &TCustomForm::OnDeactivate, &TCustomForm::OnDeactivate);
  PublishControlProperties(b, {"OnDragDrop", "OnDragOver"});
  b.Prop("OnHide", &TCustomForm::OnHide, &TCustomForm::OnHide);
  PublishControlProperties(b, {"OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp",
                               "OnMouseWheel", "OnMouseWheelDown", "OnMouseWheelUp"});
  b.Prop("OnPaint", &TCustomForm::OnPaint, &TCustomForm::OnPaint);
  PublishControlProperties(b, {"OnResize"});
  b.Prop("OnShortCut", &TCustomForm::OnShortCut, &TCustomForm::OnShortCut);
  b.Prop("OnShow", &TCustomForm::OnShow, &TCustomForm::OnShow);
}

// ================================================================ frames and data modules

KELM_PUBLISH(TCustomFrame) {}

KELM_PUBLISH(TFrame) {
  PublishControlProperties(b, {"Align", "Anchors"});
  b.Prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).Default(false);
  PublishControlProperties(b, {"AutoSize", "BiDiMode", "Constraints", "Color", "Ctl3D", "Font", "ParentColor",
                               "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder",
                               "TabStop", "Visible", "OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop",
                               "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove",
                               "OnMouseUp", "OnMouseWheel", "OnMouseWheelDown", "OnMouseWheelUp", "OnResize",
                               "OnStartDrag"});
}

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

KELM_PUBLISH(TDataModule) {
  b.Prop("OldCreateOrder", &TDataModule::OldCreateOrder, &TDataModule::SetOldCreateOrder).Default(false);
  b.Prop("Left", &TDataModule::Left, &TDataModule::SetLeft).Default(0);
  b.Prop("Top", &TDataModule::Top, &TDataModule::SetTop).Default(0);
  b.Prop("Height", &TDataModule::Height, &TDataModule::SetHeight).Default(150);
  b.Prop("Width", &TDataModule::Width, &TDataModule::SetWidth).Default(215);
  b.Prop("OnCreate", &TDataModule::OnCreate, &TDataModule::OnCreate);
  b.Prop("OnDestroy", &TDataModule::OnDestroy, &TDataModule::OnDestroy);
}

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {
  if (Screen) Screen->FDataModules.push_back(this);
}

TDataModule::~TDataModule() {
  BeforeDestruction();
  UnregisterRoot(this);
  if (Screen) {
    auto& v = Screen->FDataModules;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  DestroyComponents();
}

void TDataModule::GetChildren(const TGetChildProc& Proc, TComponent* Root) { GetRootComponents(this, Proc, Root); }

void TDataModule::InitDataModule() {
  InitInheritedComponent(this, TDataModule::StaticClass());
  RegisterRoot(this);
  DoCreate();
}

void TDataModule::BeforeDestruction() {
  if (FDestroyCalled) return;
  FDestroyCalled = true;
  Destroying();
  try {
    DoDestroy();
  } catch (...) {
    gui_glue::HandleCurrentException(this);
  }
}

void TDataModule::DoCreate() {
  try {
    OnCreate(this);
  } catch (...) {
    gui_glue::HandleCurrentException(this);
  }
}

void TDataModule::DoDestroy() { OnDestroy(this); }

String LayoutResourceName(TClass Class) { return "forms/" + Class->Name() + ".txt"; }

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor) {
  std::function<bool(TClass)> load = [&](TClass cls) -> bool {
    if (!cls || cls == RootAncestor || !cls->InheritsFrom(RootAncestor)) return false;
    String res = LayoutResourceName(cls);
    if (!ResourceExists(res)) return load(cls->Parent());
    String text = LoadResourceString(res);
    // A derived layout lists only what it adds or changes to its base class's layout.
    if (StartsText("inherited", TrimLeft(text))) load(cls->Parent());
    ReadComponentFromText(Instance, text, res);
    return true;
  };
  return load(Instance->ClassType());
}

// ================================================================ TApplication

KELM_PUBLISH(TApplication) {}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  FHandle = AllocateHWnd([this](TMessage& M) {
    if (M.Msg == WM_TIMER && M.WParam == 1) HintTimerExpired();
    else if (M.Msg == WM_TIMER && M.WParam == 2) CancelHint();
  });
}

TApplication::~TApplication() {
  // Forms first (their OnDestroy still sees the whole form), then everything else.
  for (int i = ComponentCount() - 1; i >= 0; --i) {
    if (i >= ComponentCount()) continue;
    if (auto* f = dynamic_cast<TCustomForm*>(Components(i))) f->BeforeDestruction();
    else if (auto* d = dynamic_cast<TDataModule*>(Components(i))) d->BeforeDestruction();
  }
  DestroyComponents();
  FMainForm = nullptr;
  DeallocateHWnd(FHandle);
  if (Application == this) Application = nullptr;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FMainForm) FMainForm = nullptr;
    if (AComponent == FHintWindow) FHintWindow = nullptr;
  }
}

String TApplication::Title() const {
  if (!FTitle.empty()) return FTitle;
  return ChangeFileExt(ExtractFileName(ExeName()), "");
}

String TApplication::ExeName() const { return ParamStr(0); }

void TApplication::Run() {
  if (FMainForm && FShowMainForm) {
    if (FMainForm->WindowState() == wsMinimized) Minimize();
    FMainForm->Show();
  }
  while (!FTerminated) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
}

void TApplication::Terminate() {
  FTerminated = true;
  PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance();
  // Bounded: a handler that keeps posting to itself must not hold the caller forever.
  for (int round = 0; round < 1000; ++round) {
    bool queued = QueuedMessageCount() > 0;
    gui_glue::DrainQueue();
    bool qt = d && d->processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
    if (!queued && !qt && QueuedMessageCount() == 0) break;
  }
  ProcessDeferredDeletes();
}

bool TApplication::ProcessMessage(TMsg& Msg) {
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  bool handled = false;
  OnMessage(Msg, handled);
  if (!handled && !IsHintMsg(Msg) && !IsKeyMsg(Msg)) DispatchMessage(Msg);
  return true;
}

void TApplication::HandleMessage() {
  QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance();
  bool queued = QueuedMessageCount() > 0;
  gui_glue::DrainQueue();
  bool qt = d && d->processEvents(QEventLoop::AllEvents);
  ProcessDeferredDeletes();
  if (queued || qt || FTerminated) return;
  Idle();
}

void TApplication::Idle() {
  bool done = true;
  try {
    OnIdle(this, done);
    if (done) DoActionIdle();
  } catch (...) {
    HandleException(this);
  }
  if (done && !FTerminated && QueuedMessageCount() == 0) {
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
      d->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    gui_glue::DrainQueue();
    ProcessDeferredDeletes();
  }
}

void TApplication::DoActionIdle() {
  if (Screen)
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
      TCustomForm* f = Screen->CustomForms(i);
      if (f->Showing()) f->UpdateActions();
    }
  for (auto& [key, fn] : std::vector<std::pair<TObject*, std::function<void()>>>(FIdleHandlers))
    if (fn) fn();
}

void TApplication::AddIdleHandler(TObject* Key, std::function<void()> Handler) {
  FIdleHandlers.emplace_back(Key, std::move(Handler));
}

void TApplication::RemoveIdleHandler(TObject* Key) {
  FIdleHandlers.erase(std::remove_if(FIdleHandlers.begin(), FIdleHandlers.end(),
                                     [&](const auto& p) { return p.first == Key; }),
                      FIdleHandlers.end());
}

bool TApplication::IsKeyMsg(TMsg& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd || !FindControl(wnd)) wnd = Msg.hwnd;
  if (!FindControl(wnd)) return false;
  return SendMessage(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsHintMsg(TMsg& Msg) {
  if (FHintWindow && FHintWindow->Visible() && FHintWindow->IsHintMsg(Msg)) CancelHint();
  return false;
}

// ---------------------------------------------------------------- exceptions

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr ep = std::current_exception();
  if (!ep) return;
  auto report = [&](Exception& e) {
    try {
      if (OnException) OnException(Sender, &e);
      else ShowException(e);
    } catch (...) {
      // A failing handler is not the end: its own error is shown instead.
      try {
        throw;
      } catch (const EAbort&) {
      } catch (const Exception& inner) {
        ShowException(inner);
      } catch (const std::exception& inner) {
        ShowException(Exception(inner.what()));
      } catch (...) {
      }
    }
  };
  try {
    std::rethrow_exception(ep);
  } catch (const EAbort&) {
  } catch (Exception& e) {
    report(e);
  } catch (const std::exception& e) {
    Exception wrapped(e.what());
    report(wrapped);
  } catch (...) {
    Exception wrapped("Unknown exception");
    report(wrapped);
  }
}

void TApplication::ShowException(const Exception& E) {
  String msg = E.Message();
  // A full stop after a message ending in a letter or digit; text ending in other (or
  // Chinese) punctuation is left as it is.
  if (!msg.empty()) {
    unsigned char last = static_cast<unsigned char>(msg.back());
    if (last < 0x80 && last > '.' && std::isalnum(last)) msg += '.';
  }
  MessageBox(msg, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const String& Text, const String& Caption, int Flags) {
  return gui_glue::ShowMessageBox(Text, Caption.empty() ? Title() : Caption, Flags);
}

// ---------------------------------------------------------------- hints

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

// ---------------------------------------------------------------- window state

void TApplication::Minimize() {
  if (FMainForm) gui_glue::TAccess::Widget(FMainForm)->showMinimized();
  OnMinimize(this);
}

void TApplication::Restore() {
  if (FMainForm) gui_glue::TAccess::Widget(FMainForm)->showNormal();
  OnRestore(this);
}

void TApplication::BringToFront() {
  if (Screen && Screen->ActiveCustomForm()) Screen->ActiveCustomForm()->BringToFront();
  else if (FMainForm) FMainForm->BringToFront();
}

// ================================================================ glue access

namespace gui_glue {

void TAccess::ScreenControlDestroyed(TControl* C) {
  if (Screen->FActiveControl == C) Screen->FActiveControl = nullptr;
}

void TAccess::ApplicationControlDestroyed(TControl* C) {
  if (Application->FHintControl == C) {
    Application->FHintControl = nullptr;
    Application->CancelHint();
  }
}

void TAccess::ScreenSetActiveForm(TCustomForm* F) { Screen->SetActiveForm(F); }

void TAccess::ResetTerminated() { Application->FTerminated = false; }

bool TAccess::ApplicationIsKeyMsg(TMsg& Msg) { return Application->IsKeyMsg(Msg); }
bool TAccess::ApplicationIsHintMsg(TMsg& Msg) { return Application->IsHintMsg(Msg); }

std::map<int, HCURSOR>& TAccess::ScreenCursors() {
  static std::map<int, HCURSOR> m;
  return m;
}

QCursor TAccess::CursorOf(HCURSOR H) { return H ? H->Cursor : QCursor(Qt::ArrowCursor); }

QMdiArea* TAccess::MdiAreaOf(TCustomForm* F) { return F->FMdiArea; }
QMdiSubWindow* TAccess::SubWindowOf(TCustomForm* F) { return F->FSubWindow; }

void TAccess::WidgetResized(TWinControl* C, int W, int H) {
  if (C->FApplyingGeometry) return;
  TRect nc = C->FNC, in = C->InsideMargins();
  int nw = W + (nc.Left - in.Left) + (nc.Right - in.Right);
  int nh = H + (nc.Top - in.Top) + (nc.Bottom - in.Bottom);
  if (nw == C->Width() && nh == C->Height()) return;
  C->FApplyingGeometry = true;
  try {
    C->UpdateBoundsRect(Bounds(C->Left(), C->Top(), nw, nh));
  } catch (...) {
    C->FApplyingGeometry = false;
    throw;
  }
  C->FApplyingGeometry = false;
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

// ================================================================ start and end

namespace {
QApplication* gQtApp = nullptr;
}

void InitApplication(int& argc, char** argv) {
  if (!QCoreApplication::instance()) gQtApp = new QApplication(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  gui_glue::InstallInputFilter();
  if (!Mouse) Mouse = new TMouse;
  if (!Screen) Screen = new TScreen(nullptr);
  if (!Application) {
    Application = new TApplication(nullptr);
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, qApp, [](Qt::ApplicationState s) {
      if (!Application) return;
      bool active = s == Qt::ApplicationActive;
      if (active == Application->Active()) return;
      try {
        gui_glue::TAccess::SetApplicationActive(active);
      } catch (...) {
        gui_glue::HandleCurrentException(Application);
      }
    });
  }
}

namespace {
std::vector<std::function<void()>>& ExitProcs() {
  static std::vector<std::function<void()>> procs;
  return procs;
}
}  // namespace

void AddExitProc(std::function<void()> Proc) { ExitProcs().push_back(std::move(Proc)); }

void RunExitProcs() {
  while (!ExitProcs().empty()) {
    std::function<void()> p = std::move(ExitProcs().back());
    ExitProcs().pop_back();
    p();
  }
}

void DoneApplication() {
  delete Application;
  Application = nullptr;
  delete Screen;
  Screen = nullptr;
  delete Mouse;
  Mouse = nullptr;
  ProcessDeferredDeletes();
  RunExitProcs();
}

namespace gui_glue {
void TAccess::SetApplicationActive(bool Active) {
  Application->FActive = Active;
  if (!Active) {
    // Losing the activation closes popups and ends modes, as the platform does.
    while (!Popups().empty()) ClosePopup(Popups().back().Popup);
    CancelCapture();
    Application->CancelHint();
    Application->OnDeactivate(Application);
  } else {
    Application->OnActivate(Application);
  }
}
}  // namespace gui_glue
