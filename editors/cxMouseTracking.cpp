// The trackers and their list.
#include "editors/cxMouseTracking.h"

#include "core/ClassBuilder.h"
#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/Window.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<TMouseTrackingTimer*>* gTrackers = nullptr;

// A tracker left at shutdown belongs to a caller that never saw the mouse leave: it is
// freed with the list instead of failing the program's end.
void FreeTrackers() {
  if (!gTrackers) return;
  for (TMouseTrackingTimer* t : *gTrackers) delete t;
  delete gTrackers;
  gTrackers = nullptr;
}

std::vector<TMouseTrackingTimer*>& Trackers() {
  if (!gTrackers) {
    gTrackers = new std::vector<TMouseTrackingTimer*>;
    AddExitProc(FreeTrackers);
  }
  return *gTrackers;
}
}  // namespace

KELM_PUBLISH(TMouseTrackingTimer) {}

TMouseTrackingTimer::TMouseTrackingTimer() : TcxTimer(nullptr) {
  SetInterval(10);
  SetOnTimer(TNotifyEvent(this, &TMouseTrackingTimer::Check));
}

void TMouseTrackingTimer::WatchControl(TWinControl* AControl) {
  TrackedControl = AControl;
  if (AControl) AControl->FreeNotification(this);
}

void TMouseTrackingTimer::Notification(TComponent* AComponent, TOperation Operation) {
  TcxTimer::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == TrackedControl) {
    TrackedControl = nullptr;
    FControlGone = true;
  }
}

void TMouseTrackingTimer::Check(TObject*) {
  const TPoint cursor = Mouse->CursorPos();
  bool inside;
  if (FControlGone) {
    IcxMouseTrackingCaller* caller = TrackingCaller;
    caller->MouseTrackingLeft();
    StopTrackingMouseLeave(caller);
    return;
  }
  if (auto* area = dynamic_cast<IcxMouseTrackingArea*>(TrackingCaller))
    inside = TrackedControl && TrackedControl->HandleAllocated() && area->PtInCaller(TrackedControl->ScreenToClient(cursor));
  else
    inside = PtInRect(TrackedBounds, cursor);
  if (inside) return;
  if (TrackedControl && TrackedControl->HandleAllocated() &&
      !PtInRect(TrackedControl->ClientRect(), TrackedControl->ScreenToClient(cursor)))
    SendMessage(TrackedControl->Handle(), CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(TrackedControl));
  IcxMouseTrackingCaller* caller = TrackingCaller;
  caller->MouseTrackingLeft();
  StopTrackingMouseLeave(caller);
}

TMouseTrackingTimer* TrackerOf(IcxMouseTrackingCaller* ACaller) {
  if (!gTrackers) return nullptr;
  for (TMouseTrackingTimer* t : *gTrackers)
    if (t->TrackingCaller == ACaller) return t;
  return nullptr;
}

bool IsTrackingMouseLeave(IcxMouseTrackingCaller* ACaller) { return TrackerOf(ACaller) != nullptr; }

int MouseTrackingTimerCount() { return gTrackers ? static_cast<int>(gTrackers->size()) : 0; }

void StartTrackingMouseLeave(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller) {
  if (TrackerOf(ACaller)) return;
  auto* t = new TMouseTrackingTimer;
  t->WatchControl(AControl);
  TRect r = ABounds;
  if (AControl) {
    const TPoint a = AControl->ClientToScreen(ABounds.TopLeft()), b = AControl->ClientToScreen(ABounds.BottomRight());
    r = Rect(a.X, a.Y, b.X, b.Y);
  }
  t->TrackedBounds = r;
  t->TrackingCaller = ACaller;
  Trackers().push_back(t);
}

void StopTrackingMouseLeave(IcxMouseTrackingCaller* ACaller) {
  TMouseTrackingTimer* t = TrackerOf(ACaller);
  if (!t) return;
  gTrackers->erase(std::find(gTrackers->begin(), gTrackers->end(), t));
  delete t;
}
