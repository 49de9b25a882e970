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

// Copies the window's region (window coordinates) into Region: its complexity
// (NULLREGION, SIMPLEREGION, COMPLEXREGION), or ERROR (0) when the window has none.
struct HRGN__;
int GetWindowRgn(HWND Handle, HRGN__* Region);

// A new handle of a system cursor (Instance 0, an IDC_ id), to be owned by whoever keeps it
// (Screen.Cursors frees what it holds); nullptr for an unknown id. Defined beside the
// screen's cursor table.
struct HCURSOR__;
HCURSOR__* LoadCursor(int Instance, int CursorId);
constexpr int IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515, IDC_UPARROW = 32516,
              IDC_SIZENWSE = 32642, IDC_SIZENESW = 32643, IDC_SIZEWE = 32644, IDC_SIZENS = 32645,
              IDC_SIZEALL = 32646, IDC_NO = 32648, IDC_HAND = 32649, IDC_APPSTARTING = 32650, IDC_HELP = 32651;

// A top-level window with this extended style is shown without ever being activated (a form
// too).
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

// The width of a vertical scroll bar, the height of a horizontal one and their arrows
// (SM_CXVSCROLL, SM_CYHSCROLL, SM_CYVSCROLL, SM_CXHSCROLL; the thumbs follow) until Size 0
// puts the system's 17 back. Announce it with SendSystemBroadcast(WM_SETTINGCHANGE,
// SPI_SETNONCLIENTMETRICS, 0) as the system does.
void SetScrollBarMetricsForTest(int Size);
constexpr UINT SPI_SETNONCLIENTMETRICS = 42;
