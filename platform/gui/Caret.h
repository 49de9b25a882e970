#pragma once
// The caret: one per application, owned by the window that made it last. It blinks while
// shown and is drawn by its window's painting (DrawCaret); GetCaretPos answers its client
// position.
#include "gui/Messages.h"
#include "gui/WinGDI.h"

BOOL CreateCaret(HWND Window, int Width, int Height);
BOOL DestroyCaret();
// The window that owns the caret (0 for none).
HWND CaretWindow();
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(TPoint* Point);
BOOL ShowCaret(HWND Window);
BOOL HideCaret(HWND Window);
// Inverts the caret's pixels on a window's paint context when the caret is the window's and
// visible in this blink phase.
void DrawCaret(HWND Window, HDC DC);
