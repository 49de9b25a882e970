#pragma once
// The report library's light docking for tool bars: docks along a window's edges hold tool bars
// in rows; a bar is dragged within its dock, between docks, or torn off into a small floating
// window and dropped back onto a dock. The layout functions keep bars and forms in a settings
// store.
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"

class TCustomIniFile;
class TfrxToolBar;

KELM_ENUM(TfrxOrientation, toAny, toVertOnly, toHorzOnly)

// Which way a bar's dock lays it out: along a top or bottom dock, down a left or right one, or
// neither (a floating window) which lays it out like a horizontal one.
enum TfrxDockOrientation { doHorizontal, doVertical, doNone };

// A panel along an edge whose children are tool bars in rows of RowSize pixels.
class TfrxDock : public TPanel {
  KELM_CLASS(TfrxDock, TPanel)
  template <class B> static void Published(B& b) {
    b.Prop("RowSize", &TfrxDock::RowSize, &TfrxDock::SetRowSize).Default(26);
  }
public:
  explicit TfrxDock(TComponent* AOwner);
  int RowSize() const { return FRowSize; }
  void SetRowSize(int Value) { FRowSize = Value; }
  // Left and right docks stack their rows across the window's width.
  bool IsVertical() const { return Align() == alLeft || Align() == alRight; }
  // Drops empty rows and sizes the dock to the rows its bars take.
  void ArrangeRows();

private:
  int FRowSize = 26;
};

// The 8 x 8 grip on a bar's leading side; dragging it drags the bar.
class TfrxDragBox : public TGraphicControl {
  KELM_CLASS(TfrxDragBox, TGraphicControl)
public:
  explicit TfrxDragBox(TComponent* AOwner);

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  TfrxToolBar* Bar() const;
};

// The borderless window a torn-off bar floats in; dragging it over a dock of its owner form
// docks the bar there.
class TfrxFloatWindow : public TForm {
  KELM_CLASS(TfrxFloatWindow, TForm)
public:
  explicit TfrxFloatWindow(TComponent* AOwner);
  ~TfrxFloatWindow() override;
  TfrxToolBar* ToolBar = nullptr;
  TControl* CloseBtn = nullptr;
  bool Pressed = false;
  TPoint LastCursor;
  // A move as if the left button had just been pressed on the window.
  void StartMove();
  // The steps of a move, by screen positions of the pointer.
  void PressAt(TPoint Screen);
  void MoveWithPointer(TPoint Screen);
  void ReleasePointer() { Pressed = false; }

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;
  void DoShow() override;
};

class TfrxToolBar : public TPanel {
  KELM_CLASS(TfrxToolBar, TPanel)
  template <class B> static void Published(B& b) {
    b.Prop("CanFloat", &TfrxToolBar::CanFloat, &TfrxToolBar::SetCanFloat).Default(true);
    b.Prop("Orientation", &TfrxToolBar::Orientation, &TfrxToolBar::SetOrientation).Default(toAny);
  }
public:
  explicit TfrxToolBar(TComponent* AOwner);
  ~TfrxToolBar() override;

  bool CanFloat() const { return FCanFloat; }
  void SetCanFloat(bool Value) { FCanFloat = Value; }
  TfrxOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TfrxOrientation Value) { FOrientation = Value; }

  bool Floating() const { return FFloating; }
  bool Dragging() const { return FDragging; }
  TPoint DragOrigin() const { return FDragOrigin; }
  TfrxDragBox* DragBox() const { return FDragBox; }
  TfrxFloatWindow* FloatingWindow() const { return FFloatingWindow; }
  TfrxDock* Dock() const;
  TfrxDockOrientation DockOrientation() const;

  // On a new row at the dock's inner edge.
  void DockInto(TfrxDock* ADock);
  void DockAt(TfrxDock* ADock, int X, int Y);
  // X, Y on the screen.
  void FloatAt(int X, int Y);
  void FloatAtCursor();
  // Length along the dock: the visible controls' lengths and 4.
  void FitToButtons();
  void AdjustOrientation();
  bool IsShown() const;
  void SetShown(bool Value);
  // The constrained move inside the dock; false when it does not settle.
  bool MoveTo(int X, int Y);
  // Docks a floating bar into the container's first dock holding the point (its client
  // coordinates); false when none takes it.
  bool DockAtPoint(TWinControl* Container, TPoint P);

  // The drag, by screen positions of the pointer (the mouse handlers of bar and grip).
  void BeginDrag(TPoint Screen);
  void DragTo(TPoint Screen);
  void EndDrag() { FDragging = false; }
  // The window forgets its bar when it goes.
  void ForgetWindow() { FFloatingWindow = nullptr; }

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Resize() override;
  void Paint() override;
  void Loaded() override;

private:
  void PlaceGrip();
  bool FCanFloat = true;
  TfrxOrientation FOrientation = toAny;
  bool FFloating = false;
  bool FDragging = false;
  TPoint FDragOrigin;
  TfrxDragBox* FDragBox = nullptr;
  TfrxFloatWindow* FFloatingWindow = nullptr;
};

// Layouts in a settings store: "ToolBar." + bar name, "Form." + form class name.
void SaveToolBarLayout(TCustomIniFile* Store, TfrxToolBar* Bar);
void RestoreToolBarLayout(TCustomIniFile* Store, TfrxToolBar* Bar);
void SaveFormLayout(TCustomIniFile* Store, TCustomForm* Form);
void RestoreFormLayout(TCustomIniFile* Store, TCustomForm* Form);
