// TTimer over a window timer of its own message window.
#include "gui/Timers.h"
#include "gui/QtGlue_p.h"

#include "core/ClassBuilder.h"

KELM_PUBLISH(TTimer) { Published(b); }

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
  DeallocateHWnd(FWindow);
}

void TTimer::UpdateTimer() {
  if (FTicking) {
    KillTimer(FWindow, 1);
    FTicking = false;
  }
  // Nothing ticks while loading: the layout may still change the settings.
  if (ComponentState().Contains(csLoading)) return;
  if (FInterval != 0 && FEnabled && FOnTimer) FTicking = SetTimer(FWindow, 1, FInterval) != 0;
}

void TTimer::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal v) {
  if (v == FInterval) return;
  FInterval = v;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& v) {
  FOnTimer = v;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (FEnabled) FOnTimer(this);
}

void TTimer::WndProc(TMessage& M) {
  if (M.Msg == WM_TIMER) {
    try {
      Timer();
    } catch (...) {
      gui_glue::HandleCurrentException(this);
    }
  }
}
