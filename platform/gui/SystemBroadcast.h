#pragma once
// Messages the system sends to every window of the program when a setting changes: system
// colours (WM_SYSCOLORCHANGE), locale and settings (WM_WININICHANGE), the visual-styles
// theme (WM_THEMECHANGED).
#include "gui/Messages.h"

// Sends the message to every utility window (AllocateHWnd), in the order they were made, and
// then to every top-level form; a window freed by an earlier receiver is skipped. A form hands
// WM_SYSCOLORCHANGE on to its controls as CM_SYSCOLORCHANGE.
void SendSystemBroadcast(UINT Msg, WPARAM WParam, LPARAM LParam);

// Re-reads the locale's format settings after WM_SETTINGCHANGE ("intl"). This system's locale
// does not change under the program, so the process's settings object (as SimulateLocaleChange
// or a test left it) already holds what the locale says and is kept.
void GetFormatSettings();
