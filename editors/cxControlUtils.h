#pragma once
// Small helpers shared across the editor library: the cursors it registers, geometry and
// key tests, text helpers, and TcxControlChildComponent, a component that a TcxControl hosts
// as its parent component.
// Declares TcxControlChildComponent.
#include "editors/cxComponent.h"
#include "gui/Control.h"

class TcxControl;

// The library's cursors, registered in Screen.Cursors by RegisterEditorCursors.
constexpr TCursor crcxDragCopy = 2100, crcxFullScroll = 2101, crcxHorScroll = 2102, crcxVerScroll = 2103,
                  crcxUpScroll = 2104, crcxRightScroll = 2105, crcxDownScroll = 2106, crcxLeftScroll = 2107,
                  crcxRemove = 2108, crcxVertSize = 2109, crcxHorzSize = 2110, crcxMultiDrag = 2111,
                  crcxNoDrop = 2112, crcxDrag = 2113, crcxHandPoint = -2099;
// Loads the cursors from the resources once Screen exists (again after it was remade).
void RegisterEditorCursors();

bool HasParentWithWindow(TControl* AControl);
UINT DoubleClickTime();
// The work area of the monitor nearest to a screen point.
void DesktopWorkArea(TPoint P, TRect& Area);
TPoint CursorPosition();
bool IsChildWindow(HWND Window);
bool IsCtrlDown();
bool WithinDragThreshold(TPoint PressPoint, int X, int Y);
// '+', '-' and digits; kind 1 adds the decimal separator, kind 2 also 'e' and 'E'.
bool IsNumericChar(Char C, int Kind);
bool IsTextChar(Char C);
void MapPointBetweenWindows(HWND From, HWND To, TPoint& P);
void MapRectBetweenWindows(HWND From, HWND To, TRect& R);
// Drops each accelerator "&" ("&&" gives "&"; a last "&" becomes "_").
String StripAccelChars(const String& Caption);
inline Char CharAsKey(Char C) { return C; }

class TcxControlChildComponent : public TcxComponent {
  KELM_CLASS(TcxControlChildComponent, TcxComponent)
public:
  explicit TcxControlChildComponent(TComponent* AOwner);
  // Made for a control: owned by the control's owner (or by nobody), hosted by the control.
  TcxControlChildComponent(TcxControl* AOwnerControl, bool AssignOwner);
  ~TcxControlChildComponent() override;

  TcxControl* OwnerControl() const { return FOwnerControl; }
  virtual void SetOwnerControl(TcxControl* Value) { FOwnerControl = Value; }
  virtual bool IsBeingDestroyed() const { return ComponentState().Contains(csDestroying); }

  bool HasParent() const override { return FOwnerControl != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

protected:
  virtual void InitializeChild() {}

private:
  TcxControl* FOwnerControl = nullptr;
};
