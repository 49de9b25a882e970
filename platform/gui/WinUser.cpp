// The double-click time, the parent test and the notifying send.
#include "gui/WinUser.h"

#include "gui/GdiTypes.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"
#include "gui/Window.h"

UINT GetDoubleClickTime() { return 500; }

BOOL IsChild(HWND Parent, HWND Child) {
  if (Parent == 0 || Child == 0) return false;
  for (HWND h = GetParent(Child); h != 0; h = GetParent(h))
    if (h == Parent) return true;
  return false;
}

BOOL SendNotifyMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!IsWindow(Handle)) return false;
  SendMessage(Handle, Msg, WParam, LParam);
  return true;
}

int GetWindowRgn(HWND Handle, HRGN__* Region) {
  TWinControl* c = FindControl(Handle);
  if (!c || !Region) return ERROR;
  auto* w = static_cast<TControlWidget*>(gui_glue::TAccess::Widget(c));
  if (!w || !w->HasWindowRegion) return ERROR;
  // Kept in widget coordinates, which begin at the inside part of the frame.
  const TRect nc = gui_glue::TAccess::NC(c), in = gui_glue::TAccess::InsideMarginsOf(c);
  QRegion& r = static_cast<TGdiRegion*>(Region)->Rgn;
  r = w->WindowRegion.translated(nc.Left - in.Left, nc.Top - in.Top);
  return r.isEmpty() ? NULLREGION : r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
