#pragma once
// TTimer: OnTimer every Interval milliseconds on the GUI thread while Enabled; Interval 0
// stops it. It ticks through a window timer, so a tick waits behind the messages already
// queued and at most one tick is pending at a time.
#include "core/Component.h"
#include "gui/Messages.h"

class TTimer : public TComponent {
  KELM_CLASS(TTimer, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    b.Prop("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
    b.Prop("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
  }
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal v);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(const TNotifyEvent& v);

protected:
  virtual void Timer();
  void Loaded() override;

private:
  void UpdateTimer();
  void WndProc(TMessage& Msg);
  HWND FWindow = 0;
  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
  bool FTicking = false;
};
