// The message windows and the shared timer window.
#include "editors/cxTimer.h"

#include "core/ClassBuilder.h"
#include "gui/Application.h"

#include <algorithm>
#include <vector>

// ---------------------------------------------------------------- TcxMessageWindow

TcxMessageWindow::TcxMessageWindow() {
  FHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

TcxMessageWindow::~TcxMessageWindow() { DeallocateHWnd(FHandle); }

void TcxMessageWindow::WndProc(TMessage& Message) { Message.Result = 0; }

// ---------------------------------------------------------------- the timer window

// Ticks whose id is a timer still ticking fire it; a tick of a timer already stopped, or
// any other id, is dropped.
class TcxTimerWindow : public TcxMessageWindow {
public:
  std::vector<TcxTimer*> ActiveTimers;

protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg != WM_TIMER) return TcxMessageWindow::WndProc(Message);
    auto* timer = reinterpret_cast<TcxTimer*>(Message.WParam);
    if (std::find(ActiveTimers.begin(), ActiveTimers.end(), timer) != ActiveTimers.end()) timer->FireTimer();
  }
};

namespace {
TcxTimerWindow* gTimerWindow = nullptr;
TcxMessageWindow* gUtilityWindow = nullptr;

void FreeWindows() {
  delete gTimerWindow;
  gTimerWindow = nullptr;
  delete gUtilityWindow;
  gUtilityWindow = nullptr;
}

TcxTimerWindow* TimerWindow() {
  if (!gTimerWindow) {
    if (!gUtilityWindow) AddExitProc(FreeWindows);
    gTimerWindow = new TcxTimerWindow;
  }
  return gTimerWindow;
}
}  // namespace

TcxMessageWindow* UtilityMessageWindow() {
  if (!gUtilityWindow) {
    if (!gTimerWindow) AddExitProc(FreeWindows);
    gUtilityWindow = new TcxMessageWindow;
  }
  return gUtilityWindow;
}

// ---------------------------------------------------------------- TcxTimer

KELM_PUBLISH(TcxTimer) { Published(b); }

TcxTimer::TcxTimer(TComponent* AOwner) : TComponent(AOwner) {}

TcxTimer::~TcxTimer() { StopTicking(); }

HWND TcxTimer::TimerWindowHandle() { return TimerWindow()->Handle(); }

void TcxTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Restart();
}

void TcxTimer::SetInterval(Cardinal Value) {
  if (Value == 0 || FInterval == Value) return;
  FInterval = Value;
  Restart();
}

void TcxTimer::SetOnTimer(const TNotifyEvent& Value) {
  FOnTimer = Value;
  Restart();
}

void TcxTimer::FireTimer() {
  if (FOnTimer) FOnTimer(this);
}

void TcxTimer::Restart() {
  StopTicking();
  StartTicking();
}

void TcxTimer::StartTicking() {
  if (!FEnabled || FIsTicking || !FOnTimer) return;
  FIsTicking = SetTimer(TimerWindowHandle(), TimerId(), FInterval) != 0;
  if (FIsTicking) TimerWindow()->ActiveTimers.push_back(this);
}

void TcxTimer::StopTicking() {
  if (!FIsTicking) return;
  if (gTimerWindow) {
    KillTimer(gTimerWindow->Handle(), TimerId());
    auto& v = gTimerWindow->ActiveTimers;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  FIsTicking = false;
}

namespace {
// Layouts find the timer by its class name.
const bool gRegistered = (RegisterClass(TcxTimer::StaticClass()), true);
}  // namespace
