#pragma once
// Mouse-leave tracking: a 10-ms timer per caller that watches whether the cursor is still
// inside the tracked area (the caller's own test, or a rectangle on the screen). When it has
// left, the control hears CM_MOUSELEAVE, the caller MouseTrackingLeft, and the tracker ends.
// Trackers still running when the program ends are freed with it; a tracked control that
// is freed first ends its tracker at the next tick without being touched again.
// Declares IcxMouseTrackingCaller, IcxMouseTrackingArea and TMouseTrackingTimer.
#include "editors/cxTimer.h"

class TWinControl;

class IcxMouseTrackingCaller {
public:
  virtual ~IcxMouseTrackingCaller() = default;
  virtual void MouseTrackingLeft() = 0;
};

// Optional on a caller: decides itself whether a client point lies inside.
class IcxMouseTrackingArea {
public:
  virtual ~IcxMouseTrackingArea() = default;
  virtual bool PtInCaller(TPoint P) = 0;
};

class TMouseTrackingTimer : public TcxTimer {
  KELM_CLASS(TMouseTrackingTimer, TcxTimer)
public:
  TMouseTrackingTimer();
  TWinControl* TrackedControl = nullptr;
  TRect TrackedBounds;  // screen coordinates
  IcxMouseTrackingCaller* TrackingCaller = nullptr;
  // Watches the tracked control: a control freed while tracked counts as left at the next tick.
  void WatchControl(TWinControl* AControl);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void Check(TObject* Sender);
  bool FControlGone = false;
};

// Bounds in the control's client coordinates (screen coordinates without a control).
void StartTrackingMouseLeave(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller);
void StopTrackingMouseLeave(IcxMouseTrackingCaller* ACaller);
bool IsTrackingMouseLeave(IcxMouseTrackingCaller* ACaller);
TMouseTrackingTimer* TrackerOf(IcxMouseTrackingCaller* ACaller);
int MouseTrackingTimerCount();
