// The double-click time, the parent test and the notifying send.
#include "gui/WinUser.h"

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
