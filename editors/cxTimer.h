#pragma once
// Hidden message windows and the library's timer component. A TcxMessageWindow owns one
// utility window whose messages reach its WndProc; every TcxTimer ticks through the one
// shared timer window, with the timer object itself as the timer id, so a tick finds its
// timer without a table of windows.
// Declares TcxMessageWindow and TcxTimer.
#include "core/Component.h"
#include "gui/Messages.h"

class TcxMessageWindow : public TObject {
public:
  TcxMessageWindow();
  ~TcxMessageWindow() override;
  HWND Handle() const { return FHandle; }

protected:
  virtual void WndProc(TMessage& Message);

private:
  HWND FHandle = 0;
};

class TcxTimer : public TComponent {
  KELM_CLASS(TcxTimer, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Enabled", &TcxTimer::Enabled, &TcxTimer::SetEnabled).Default(true);
    b.Prop("Interval", &TcxTimer::Interval, &TcxTimer::SetInterval).Default(1000);
    b.Prop("OnTimer", &TcxTimer::OnTimer, &TcxTimer::SetOnTimer);
  }

public:
  explicit TcxTimer(TComponent* AOwner);
  ~TcxTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // 0 is ignored: the timer keeps its interval.
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(const TNotifyEvent& Value);

  UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }
  bool IsTicking() const { return FIsTicking; }
  // The shared window the timers tick through.
  static HWND TimerWindowHandle();

protected:
  virtual void FireTimer();

private:
  friend class TcxTimerWindow;
  void Restart();
  void StartTicking();
  void StopTicking();
  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
  bool FIsTicking = false;
};

// The shared hidden window for messages of the library's own (made on first use).
TcxMessageWindow* UtilityMessageWindow();
