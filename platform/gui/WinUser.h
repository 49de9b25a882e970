#pragma once
// Window functions of the system library not found elsewhere: the double-click time, the
// parent test, the notifying send, and the scroll-bar sizes a test may change as the user
// would in the display settings.
#include "gui/Messages.h"

// The longest time between two clicks of a double click, in milliseconds (500).
UINT GetDoubleClickTime();
// True when Child lies below Parent in the window tree (not for the window itself).
BOOL IsChild(HWND Parent, HWND Child);
// Sends without waiting for another thread; on the one GUI thread this is SendMessage, and
// false for a freed window.
BOOL SendNotifyMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam);

// The width of a vertical scroll bar, the height of a horizontal one and their arrows
// (SM_CXVSCROLL, SM_CYHSCROLL, SM_CYVSCROLL, SM_CXHSCROLL; the thumbs follow) until Size 0
// puts the system's 17 back. Announce it with SendSystemBroadcast(WM_SETTINGCHANGE,
// SPI_SETNONCLIENTMETRICS, 0) as the system does.
void SetScrollBarMetricsForTest(int Size);
constexpr UINT SPI_SETNONCLIENTMETRICS = 42;
