#pragma once
// Hooks on the GUI thread's messages, as the thread message hooks of the platform give them:
// - observers of every message sent to a window (SendMessage, and the window's own
//   WM_SHOWWINDOW, WM_WINDOWPOSCHANGED and WM_DESTROY), told before the window's handler;
// - filters of each message taken from the queue, which may turn it into WM_NULL;
// - filters of left-button presses and double clicks (client and non-client) taken from the
//   queue, which may discard the click.
// Each Add returns an id for the matching Remove; hooks run in the order they were added.
#include "gui/Messages.h"

#include <functional>

using TSentMessageHook = std::function<void(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)>;
using TQueuedMessageHook = std::function<void(TMsg& Msg)>;
// True lets the click through; false discards it.
using TMouseClickHook = std::function<bool(HWND Window, UINT Msg, TPoint ScreenPoint)>;

int AddSentMessageHook(TSentMessageHook Hook);
void RemoveSentMessageHook(int Id);
int AddQueuedMessageHook(TQueuedMessageHook Hook);
void RemoveQueuedMessageHook(int Id);
int AddMouseClickHook(TMouseClickHook Hook);
void RemoveMouseClickHook(int Id);

// Tells the sent-message observers of a message without delivering it (a window that is
// being freed can no longer receive its WM_DESTROY).
void NotifySentMessageHooks(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// Runs the queue filters over a message just taken from the queue.
void ApplyQueuedMessageHooks(TMsg& Msg);
