// The application's caret: its owner window, place, hide level and blinking.
#include "gui/Caret.h"

#include "gui/Controls.h"

namespace {

struct TCaretState {
  HWND Window = 0;
  int Width = 1, Height = 0;
  TPoint Pos;
  int HideLevel = 1;  // made hidden; each ShowCaret lowers the level
  bool BlinkOn = true;
  UINT_PTR Timer = 0;
};
TCaretState gCaret;
constexpr UINT kCaretBlinkMs = 530;

void InvalidateCaretWindow() {
  if (TWinControl* c = FindControl(gCaret.Window)) c->Invalidate();
}

void CaretBlink(HWND, UINT, UINT_PTR, DWORD) {
  gCaret.BlinkOn = !gCaret.BlinkOn;
  InvalidateCaretWindow();
}

void StartBlinking() {
  gCaret.BlinkOn = true;
  gCaret.Timer = SetTimer(0, gCaret.Timer, kCaretBlinkMs, &CaretBlink);
}

}  // namespace

BOOL CreateCaret(HWND Window, int Width, int Height) {
  if (!IsWindow(Window)) return false;
  DestroyCaret();
  gCaret.Window = Window;
  gCaret.Width = Width > 0 ? Width : 1;
  gCaret.Height = Height;
  gCaret.Pos = {0, 0};
  gCaret.HideLevel = 1;
  return true;
}

BOOL DestroyCaret() {
  if (gCaret.Window == 0) return false;
  bool shown = gCaret.HideLevel == 0;
  if (gCaret.Timer) KillTimer(0, gCaret.Timer);
  gCaret.Timer = 0;
  if (shown) InvalidateCaretWindow();
  gCaret.Window = 0;
  return true;
}

HWND CaretWindow() { return gCaret.Window; }

BOOL SetCaretPos(int X, int Y) {
  if (gCaret.Window == 0) return false;
  if (gCaret.Pos.X == X && gCaret.Pos.Y == Y) return true;
  gCaret.Pos = {X, Y};
  if (gCaret.HideLevel == 0) {
    // A moved caret is shown at once, as typing expects.
    StartBlinking();
    InvalidateCaretWindow();
  }
  return true;
}

BOOL GetCaretPos(TPoint* Point) {
  if (!Point) return false;
  *Point = gCaret.Pos;
  return true;
}

BOOL ShowCaret(HWND Window) {
  if (gCaret.Window == 0 || (Window != 0 && Window != gCaret.Window) || gCaret.HideLevel == 0) return false;
  if (--gCaret.HideLevel == 0) {
    StartBlinking();
    InvalidateCaretWindow();
  }
  return true;
}

BOOL HideCaret(HWND Window) {
  if (gCaret.Window == 0 || (Window != 0 && Window != gCaret.Window)) return false;
  if (gCaret.HideLevel++ == 0) {
    if (gCaret.Timer) KillTimer(0, gCaret.Timer);
    gCaret.Timer = 0;
    InvalidateCaretWindow();
  }
  return true;
}

void DrawCaret(HWND Window, HDC DC) {
  if (Window == 0 || gCaret.Window != Window || gCaret.HideLevel != 0 || !gCaret.BlinkOn) return;
  InvertRect(DC, Rect(gCaret.Pos.X, gCaret.Pos.Y, gCaret.Pos.X + gCaret.Width, gCaret.Pos.Y + gCaret.Height));
}
