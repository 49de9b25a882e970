// The shared helpers, the library's cursors and TcxControlChildComponent.
#include "editors/cxControlUtils.h"

#include "core/ClassBuilder.h"
#include "core/FormatSettings.h"
#include "editors/cxControl.h"
#include "gui/Screen.h"
#include "gui/Window.h"
#include "gui/WinUser.h"

#include <cstdlib>

// ---------------------------------------------------------------- cursors

void RegisterEditorCursors() {
  static const TScreen* registeredFor = nullptr;
  if (!Screen || registeredFor == Screen) return;
  registeredFor = Screen;
  static const char* const names[] = {
      "CX_DRAGCOPYCURSOR",    "CX_FULLSCROLLCURSOR", "CX_HORSCROLLCURSOR", "CX_VERSCROLLCURSOR",
      "CX_UPSCROLLCURSOR",    "CX_RIGHTSCROLLCURSOR", "CX_DOWNSCROLLCURSOR", "CX_LEFTSCROLLCURSOR",
      "CX_REMOVECURSOR",      "CX_VERTSIZECURSOR",   "CX_HORZSIZECURSOR",  "CX_MULTIDRAGCURSOR",
      "CX_NODROPCURSOR",      "CX_DRAGCURSOR"};
  for (int i = 0; i < 14; ++i)
    if (HCURSOR c = LoadCursorFromResource(names[i])) Screen->SetCursors(crcxDragCopy + i, c);
  // The system's own hand, a handle of its own (the screen frees each it holds).
  Screen->SetCursors(crcxHandPoint, LoadCursor(0, IDC_HAND));
}

// ---------------------------------------------------------------- free functions

bool HasParentWithWindow(TControl* AControl) {
  for (TWinControl* p = AControl ? AControl->Parent() : nullptr; p; p = p->Parent())
    if (p->HandleAllocated()) return true;
  return false;
}

UINT DoubleClickTime() { return GetDoubleClickTime(); }

void DesktopWorkArea(TPoint P, TRect& Area) {
  if (Screen)
    if (TMonitor* m = Screen->MonitorFromPoint(P, mdNearest)) {
      Area = m->WorkareaRect();
      return;
    }
  Area = Screen ? Screen->WorkAreaRect() : TRect();
}

TPoint CursorPosition() {
  TPoint p;
  GetCursorPos(&p);
  return p;
}

bool IsChildWindow(HWND Window) { return (GetWindowLong(Window, GWL_STYLE) & WS_CHILD) != 0; }

bool IsCtrlDown() { return GetAsyncKeyState(VK_CONTROL) < 0; }

bool WithinDragThreshold(TPoint PressPoint, int X, int Y) {
  const int t = Mouse ? Mouse->DragThreshold() : 5;
  return std::abs(X - PressPoint.X) < t && std::abs(Y - PressPoint.Y) < t;
}

bool IsNumericChar(Char C, int Kind) {
  if (C == U'+' || C == U'-' || (C >= U'0' && C <= U'9')) return true;
  const Char separator = static_cast<unsigned char>(FormatSettings().DecimalSeparator);
  if (Kind == 1) return C == separator;
  if (Kind == 2) return C == separator || C == U'e' || C == U'E';
  return false;
}

bool IsTextChar(Char C) { return C >= 32; }

void MapPointBetweenWindows(HWND From, HWND To, TPoint& P) { MapWindowPoints(From, To, &P, 1); }

void MapRectBetweenWindows(HWND From, HWND To, TRect& R) {
  TPoint corners[2] = {R.TopLeft(), R.BottomRight()};
  MapWindowPoints(From, To, corners, 2);
  R = Rect(corners[0].X, corners[0].Y, corners[1].X, corners[1].Y);
}

String StripAccelChars(const String& Caption) {
  String r;
  r.reserve(Caption.size());
  for (std::size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] != '&') {
      r += Caption[i];
    } else if (i + 1 == Caption.size()) {
      r += '_';
    } else {
      r += Caption[++i];  // the character after it stays, a second '&' too
    }
  }
  return r;
}

// ---------------------------------------------------------------- TcxControlChildComponent

KELM_PUBLISH(TcxControlChildComponent) { Published(b); }

TcxControlChildComponent::TcxControlChildComponent(TComponent* AOwner) : TcxComponent(AOwner) { InitializeChild(); }

TcxControlChildComponent::TcxControlChildComponent(TcxControl* AOwnerControl, bool AssignOwner)
    : TcxComponent(AssignOwner && AOwnerControl ? AOwnerControl->Owner() : nullptr) {
  InitializeChild();
  SetOwnerControl(AOwnerControl);
}

TcxControlChildComponent::~TcxControlChildComponent() {
  if (FOwnerControl) FOwnerControl->DetachChildComponent(this);
}

TComponent* TcxControlChildComponent::GetParentComponent() const { return FOwnerControl; }

void TcxControlChildComponent::SetParentComponent(TComponent* Value) {
  if (auto* c = dynamic_cast<TcxControl*>(Value)) c->AttachChildComponent(this);
}
