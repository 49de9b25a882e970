#pragma once
// Window functions by their platform names (capture, focus, enabling, positions, device
// contexts, redrawing), the mouse object (TMouse), hints (THintInfo, THintWindow), popups
// placed in screen coordinates, the system locale's script family (TSysLocale), and
// screenshots of controls.
#include "gui/WinControl.h"

#include <functional>
#include <vector>

// ================================================================ mouse, capture, cursors

class TMouse {
public:
  TPoint CursorPos() const;
  void SetCursorPos(TPoint p);
  HWND Capture() const;
  void SetCapture(HWND h);
  int DragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(int v) { FDragThreshold = v; }
  int WheelScrollLines() const { return FWheelScrollLines; }
  void SetWheelScrollLines(int v) { FWheelScrollLines = v; }
  bool MousePresent() const { return true; }
  bool WheelPresent() const { return true; }

private:
  int FDragThreshold = 5;
  int FWheelScrollLines = 3;
};
extern TMouse* Mouse;

// Mouse capture: every mouse message goes to the holder until it is released, also after the
// button came up. Taking it from another window sends that window WM_CANCELMODE.
HWND SetCapture(HWND Handle);
BOOL ReleaseCapture();
HWND GetCapture();
// The control holding the capture (a windowless control captures through its parent).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

BOOL GetCursorPos(TPoint* Point);
BOOL SetCursorPos(int X, int Y);
// The window that has the keyboard focus; SetFocus sends WM_KILLFOCUS and WM_SETFOCUS.
HWND GetFocus();
HWND SetFocus(HWND Handle);
HWND GetActiveWindow();
BOOL EnableWindow(HWND Handle, BOOL Enable);
BOOL IsWindowEnabled(HWND Handle);
BOOL IsWindowVisible(HWND Handle);
BOOL ShowWindow(HWND Handle, int Command);
HWND GetParent(HWND Handle);
HWND WindowFromPoint(TPoint ScreenPoint);
BOOL InvalidateRect(HWND Handle, const TRect* Rect, BOOL Erase);
BOOL ValidateRect(HWND Handle, const TRect* Rect);

// The system locale's script family. Right-to-left layouts exist only under a Middle-East
// locale, which this system's is not; tests switch it.
struct TSysLocale {
  bool MiddleEast = false;
  // A Far-East locale composes characters through an input method; the system's is one.
  bool FarEast = true;
};
TSysLocale& SysLocale();
BOOL UpdateWindow(HWND Handle);
BOOL RedrawWindow(HWND Handle, const TRect* Rect, HRGN Region, UINT Flags);
BOOL GetClientRect(HWND Handle, TRect* Rect);
BOOL GetWindowRect(HWND Handle, TRect* Rect);  // screen coordinates
BOOL ClientToScreen(HWND Handle, TPoint* Point);
BOOL ScreenToClient(HWND Handle, TPoint* Point);
int MapWindowPoints(HWND From, HWND To, TPoint* Points, int Count);
BOOL SetWindowPos(HWND Handle, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
BOOL MoveWindow(HWND Handle, int X, int Y, int Width, int Height, BOOL Repaint);
long GetWindowLong(HWND Handle, int Index);
long SetWindowLong(HWND Handle, int Index, long Value);
// A device context on the window's client pixels (GetDC(0): the screen measuring context);
// release it with ReleaseDC, which shows what was drawn.
HDC GetDC(HWND Handle);
HDC GetWindowDC(HWND Handle);
int ReleaseDC(HWND Handle, HDC DC);
int SetWindowRgn(HWND Handle, HRGN Region, BOOL Redraw);
BOOL ScrollWindow(HWND Handle, int DX, int DY, const TRect* Rect, const TRect* ClipRect);
constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004, RDW_VALIDATE = 0x0008,
               RDW_NOERASE = 0x0020, RDW_FRAME = 0x0400, RDW_NOFRAME = 0x0800, RDW_UPDATENOW = 0x0100, RDW_ERASENOW = 0x0200,
               RDW_ALLCHILDREN = 0x0080, RDW_NOCHILDREN = 0x0040;
constexpr UINT WM_CAPTURECHANGED = 0x0215;

// ================================================================ hints

class THintWindow;

struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;
  TPoint HintPos;          // screen
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;        // client of HintControl
  TPoint CursorPos;        // client of HintControl
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  String HintStr;
  void* HintData = nullptr;
};

// A small borderless window that shows a hint near the cursor without taking the focus.
class THintWindow : public TCustomControl {
  KELM_CLASS(THintWindow, TCustomControl)
public:
  explicit THintWindow(TComponent* AOwner);
  // The bounds (at 0, 0) that fit the text within MaxWidth.
  virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
  // Shows the hint at Rect (screen coordinates).
  virtual void ActivateHint(const TRect& Rect, const String& AHint);
  virtual void ActivateHintData(const TRect& Rect, const String& AHint, void* AData) { ActivateHint(Rect, AHint); }
  void ReleaseHandle();
  bool IsHintMsg(const TMsg& Msg) const;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};

// ================================================================ popups

// Where a popup of Size goes beside Anchor (screen coordinates): below the anchor, or above
// when the anchor's monitor has more room there; starting at the anchor's left edge (or
// ending at its right edge with AlignRight); then kept inside the monitor's work area.
TPoint PlacePopup(const TRect& Anchor, TSize Size, bool AlignRight = false);
// Shows a parentless control as a popup at a screen point without activating it or taking
// the focus; it closes when the user presses outside it (Close is called, latest popup
// first), when its owner's form hides or the application loses activation.
void ShowPopupAt(TWinControl* Popup, int X, int Y, TWinControl* Owner = nullptr,
                 std::function<void()> Close = nullptr);
// Places and shows Popup below (or above) a rectangle given in Anchor's client coordinates.
void ShowPopupBelow(TWinControl* Popup, TControl* Anchor, const TRect& AnchorRect, bool AlignRight = false,
                    std::function<void()> Close = nullptr);
void HidePopup(TWinControl* Popup);
// Popups open now, the latest last.
std::vector<TWinControl*> OpenPopups();

// ================================================================ screenshots

// Renders a control (a form with its children) into a PNG file; false when it cannot be
// written.
bool GrabToPng(TControl* Control, const String& FileName);
