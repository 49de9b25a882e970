// The application: its message loop over the queue, exceptions, hints, and the start and end
// of the program's windows.
#include "gui/Application.h"
#include "gui/SystemBroadcast.h"

#include "core/FormatSettings.h"
#include "gui/CanvasPaint_p.h"
#include "gui/DataModule.h"
#include "gui/Forms.h"
#include "gui/MessageBox.h"
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

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QEventLoop>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <iostream>

TApplication* Application = nullptr;

namespace {
std::vector<TComponent*> gDeferredDeletes;
}  // namespace

namespace gui_glue {

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

namespace {

// One message taken from the queue, as the application's loop handles it.
void RunMessage(TMsg& Msg) {
  if (Application) {
    try {
      Application->ProcessMessage(Msg);
    } catch (...) {
      HandleCurrentException(Application);
    }
  } else {
    TranslateMessage(Msg);
    DispatchMessage(Msg);
  }
  ProcessDeferredDeletes();
}

}  // namespace

void DrainQueue() {
  int n = QueuedMessageCount();
  TMsg m;
  while (n-- > 0 && TakeMessage(m)) RunMessage(m);
  if (QueuedMessageCount() > 0) RequestPump();
}

bool DispatchInput(const TMsg& Msg, std::u32string Chars, TWinControl* Native) {
  std::uint64_t seq = PostInput(Msg, std::move(Chars));
  // A waiting loop takes the message; an embedded Qt widget gets its event from Qt as well.
  if (WaitingForInput()) return Native != nullptr;
  bool passed = false;
  TMsg m;
  std::uint64_t taken = 0;
  // What waits ahead of the input goes first. Only characters queued ahead of it come later
  // than it; else a handler has removed it.
  while (TakeMessage(m, &taken)) {
    bool ours = taken == seq;
    if (ours && Native) BeginNativePass(Native);
    RunMessage(m);
    if (ours && Native) passed = EndNativePass();
    if (ours || (taken > seq && !IsQueued(seq))) break;
  }
  return passed;
}

}  // namespace gui_glue

using gui_glue::ProcessDeferredDeletes;

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
  if (handled || IsHintMsg(Msg)) return true;
  if (Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST) {
    // A form's designer sees keys before shortcuts and dialog keys do.
    if (TWinControl* c = FindControl(Msg.hwnd)) {
      TMessage m{Msg.message, Msg.wParam, Msg.lParam, 0};
      if (IsDesignerInput(c, m)) return true;
    }
    if (IsDragKeyMsg(Msg) || IsKeyMsg(Msg)) return true;
    // A consumed key (shortcut, dialog key) types no character.
    TranslateMessage(Msg);
  }
  DispatchMessage(Msg);
  return true;
}

bool TApplication::IsDragKeyMsg(TMsg& Msg) {
  // A drag in progress holds the capture with a message window: it sees the keys.
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST || !GetCapture() || FindControl(GetCapture()))
    return false;
  SendMessage(GetCapture(), Msg.message, Msg.wParam, Msg.lParam);
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

bool TApplication::DispatchAction(UINT Msg, TBasicAction* Action) {
  TCustomForm* active = Screen ? Screen->ActiveCustomForm() : nullptr;
  auto offer = [&](TCustomForm* f) {
    return f && f->Perform(Msg, 0, reinterpret_cast<LPARAM>(Action)) == 1;
  };
  // The main form offers the action to its active MDI child first; offering it to that
  // child on its own as well would walk the child twice.
  if (FMainForm && active && FMainForm->ActiveMDIChild() == active) active = FMainForm;
  return offer(active) || (FMainForm != active && offer(FMainForm));
}

void TApplication::AddIdleHandler(TObject* Key, std::function<void()> Handler) {
  FIdleHandlers.emplace_back(Key, std::move(Handler));
}

void TApplication::RemoveIdleHandler(TObject* Key) {
  FIdleHandlers.erase(std::remove_if(FIdleHandlers.begin(), FIdleHandlers.end(),
                                     [&](const auto& p) { return p.first == Key; }),
                      FIdleHandlers.end());
}

void TApplication::HookMainWindow(const TWindowHook& Hook) { FWindowHooks.push_back(Hook); }

void TApplication::UnhookMainWindow(const TWindowHook& Hook) {
  auto it = std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook);
  if (it != FWindowHooks.end()) FWindowHooks.erase(it);
}

bool TApplication::CallMainWindowHooks(TMessage& Message) {
  // A hook may remove itself or another one while it runs.
  const std::vector<TWindowHook> hooks = FWindowHooks;
  for (const TWindowHook& h : hooks)
    if (std::find(FWindowHooks.begin(), FWindowHooks.end(), h) != FWindowHooks.end() && h(Message)) return true;
  return false;
}

bool ActiveWindowIsOwn() { return Application && Application->Active(); }

void SimulateLocaleChange(const TFormatSettings& NewSettings) {
  if (!Application || Application->UpdateFormatSettings()) FormatSettings() = NewSettings;
  static const char kIntl[] = "intl";
  SendSystemBroadcast(WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(kIntl));
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

// ---------------------------------------------------------------- window state

// The main form goes down and comes back through its window state, so the form answers
// wsMinimized while the program is minimised and a maximised one comes back maximised.
void TApplication::Minimize() {
  if (FMainForm && FMainForm->WindowState() != wsMinimized) {
    FStateBeforeMinimize = FMainForm->WindowState();
    FMainForm->SetWindowState(wsMinimized);
  }
  OnMinimize(this);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->WindowState() == wsMinimized) FMainForm->SetWindowState(FStateBeforeMinimize);
  OnRestore(this);
}

void TApplication::BringToFront() {
  if (Screen && Screen->ActiveCustomForm()) Screen->ActiveCustomForm()->BringToFront();
  else if (FMainForm) FMainForm->BringToFront();
}

// ================================================================ glue access

namespace gui_glue {

void TAccess::ApplicationControlDestroyed(TControl* C) {
  if (Application->FHintControl == C) {
    Application->FHintControl = nullptr;
    Application->CancelHint();
  }
}

void TAccess::ResetTerminated() { Application->FTerminated = false; }

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
  // Every top-level form hears of the change first, as the platform tells its windows.
  if (Screen) {
    // The active form's caption follows the application's activation.
    if (TCustomForm* f = Screen->ActiveCustomForm(); f && f->HandleAllocated())
      SendMessage(f->Handle(), WM_NCACTIVATE, Active ? 1 : 0, 0);
    std::vector<HWND> forms;
    for (int i = 0; i < Screen->CustomFormCount(); ++i)
      if (TCustomForm* f = Screen->CustomForms(i); f && !f->Parent()) forms.push_back(f->Handle());
    for (HWND h : forms) SendMessage(h, WM_ACTIVATEAPP, Active ? 1 : 0, 0);
  }
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

// ================================================================ hints
// The pause before a control's hint shows, CM_HINTSHOW and OnShowHint, the hint window, and
// hiding it again.

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
