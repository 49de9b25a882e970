#pragma once
// TcxControl: the windowed base control of the editor library (the container, every editor
// and the calculator derive from it). Beside the platform control it holds a canvas wrapper
// and a look-and-feel whose painter draws it; two owned scroll bars and a size grip laid out
// inside its client area (cxControlScrollBars.cpp); its own drag and drop beside the
// platform's (cxDragAndDrop.cpp); focus-on-click rules; a popup menu that may be any
// component with the popup-menu interface; mouse-enter, mouse-leave and focus events; and
// wheel and middle-button panning that turn into scroll requests. Nothing in the base draws
// content: Paint only draws the optional painter border.
//
// Descendants customise it through the virtual operations below; every message the control
// hands to code that may free it is guarded by an object link.
// Declares IcxLookAndFeelHost, IcxPopupMenuProvider, IcxCaptureObject and TcxControl.
#include "editors/cxLookAndFeels.h"
#include "gui/StdCtrls.h"
#include "gui/WinControl.h"

#include <memory>
#include <vector>

class TcxCanvas;
class TcxControlScrollBar;
class TcxSizeGrip;
class TcxDragAndDropObject;
class TcxDragImageList;
class TcxControlChildComponent;
class TDragImageList;

KELM_ENUM(TcxFrameStyle, cfsNone, cfsPainter)
KELM_ENUM(TcxDragDropPhase, ddpIdle, ddpPending, ddpActive)
KELM_ENUM(TcxWantedKey, wkAll, wkArrows, wkChars, wkTab)
using TcxWantedKeys = TSet<TcxWantedKey>;
KELM_ENUM(TcxWheelScrollKind, wskNone, wskHorizontal, wskVertical)

// The classes a control makes its drag objects of, as factories: a descendant names its
// own class as &ClassFactory<TcxDragAndDropObject, TMyObject, TcxControl*>.
class TcxControl;
using TcxDragAndDropObjectClass = TcxDragAndDropObject* (*)(TcxControl* AControl);
using TcxDragControlObjectClass = TDragObject* (*)(TcxControl* AControl);
using TcxDragImageListClass = TcxDragImageList* (*)();
template <class Base, class T, class... A> Base* ClassFactory(A... Args) { return new T(Args...); }

// A control whose look-and-feel others may follow.
class IcxLookAndFeelHost {
public:
  virtual ~IcxLookAndFeelHost() = default;
  virtual TcxLookAndFeel* GetLookAndFeel() = 0;
};

// A component that can serve as a control's popup menu.
class IcxPopupMenuProvider {
public:
  virtual ~IcxPopupMenuProvider() = default;
  virtual void Popup(int X, int Y) = 0;
  virtual bool IsShortCut(TMessage& Message) = 0;
};

// An object that holds a control's mouse capture and is told when it loses it.
class IcxCaptureObject {
public:
  virtual ~IcxCaptureObject() = default;
  virtual void MouseCaptureLost() = 0;
};

// Tells whoever listens that the control's font changed.
class IcxFontListener {
public:
  virtual ~IcxFontListener() = default;
  virtual void FontChanged(TObject* Sender, TFont* AFont) = 0;
};

class TcxControl : public TCustomControl, public IcxLookAndFeelHost {
  KELM_CLASS(TcxControl, TCustomControl)

public:
  explicit TcxControl(TComponent* AOwner);
  ~TcxControl() override;

  // ---- properties descendants publish
  TComponent* PopupMenu() const { return FPopupMenu; }
  // Anything but nil, a TPopupMenu or a popup-menu provider reads back as nil.
  void SetPopupMenu(TComponent* Value);
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  TcxFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TcxFrameStyle Value);
  bool ClickFocus() const { return FClickFocus; }
  void SetClickFocus(bool Value) { FClickFocus = Value; }
  TcxWantedKeys WantedKeys() const { return FWantedKeys; }
  void SetWantedKeys(TcxWantedKeys Value) { FWantedKeys = Value; }
  TScrollStyle ShownScrollBars() const { return FShownScrollBars; }
  void SetShownScrollBars(TScrollStyle Value);
  TPersistent* MouseCaptureObject() const { return FMouseCaptureObject; }
  void SetMouseCaptureObject(TPersistent* Value);
  TPoint MouseDownPos() const { return FMouseDownPos; }
  TcxCanvas* cxCanvas() const { return FCanvas.get(); }
  std::vector<IcxFontListener*>& FontListeners() { return FFontListeners; }
  TNotifyEvent OnFocusChanged;
  // OnMouseEnter and OnMouseLeave are the platform control's events.

  // ---- scroll bars (cxControlScrollBars.cpp)
  TcxControlScrollBar* HScrollBar() const { return FHScrollBar; }
  TcxControlScrollBar* VScrollBar() const { return FVScrollBar; }
  TcxSizeGrip* SizeGrip() const { return FSizeGrip; }
  bool HorzScrollBarVisible() const;
  bool VertScrollBarVisible() const;
  // Records what one bar should show; called by descendants from FillScrollBarStates.
  void SetScrollBarState(TScrollBarKind Kind, int AMin, int AMax, int AStep, int APage, int APos, bool AllowShow,
                         bool AllowHide);
  virtual void RefreshScrollBars();
  // Scrolls one line in a direction: 1 left, 2 right, 3 up, 4 down.
  void ScrollByDirection(int Direction);
  bool IsPanning() const { return FPanning; }
  // While a control pans: its anchor window and the id of its 20-ms thread timer.
  static TWinControl* PanningAnchor();
  static UINT_PTR PanningTimerId();

  // ---- drag and drop (cxDragAndDrop.cpp)
  TcxDragAndDropObject* DragDropObject();
  bool HasDragDropObject() const { return FDragDropObject != nullptr; }
  TcxDragDropPhase DragDropPhase() const { return FDragDropPhase; }
  void SetDragDropPhase(TcxDragDropPhase Value);
  void EndDragAndDrop(bool Accepted);
  bool IsNearPressPoint(int X, int Y) const;
  // The platform drag object last reported over a control of this library.
  static TObject* CurrentDragObject();

  // ---- helpers
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  void InvalidateArea(const TRect& R, bool Erase);
  bool IsPopupMenuShortCut(TMessage& Message);

  // ---- IcxLookAndFeelHost
  TcxLookAndFeel* GetLookAndFeel() override { return FLookAndFeel.get(); }
  virtual TcxLookAndFeelPainterClass GetPainter();

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  TDragImageList* GetDragImages() override;

  // ---- overridable operations (public so a child component or a scroll bar may ask)
  virtual bool ShowPopupMenu(TComponent* AMenu, int X, int Y);
  virtual bool FocusesOnClick();
  virtual bool FocusesOnClickAt(int X, int Y);
  virtual bool FocusesOnScrollBarClick(TcxControlScrollBar* AScrollBar);
  virtual int FrameWidth();
  virtual TRect FullBounds();
  virtual TRect ContentBounds();
  virtual TCursor CursorAt(int X, int Y);
  virtual bool IsInDesigner();
  virtual bool HasInputFocus();
  virtual TcxWheelScrollKind WheelScrollKind();
  virtual bool OwnsInternalControl(TControl* AControl);
  virtual TRect HorzScrollBarRect();
  virtual TRect SizeGripRect();
  virtual TRect VertScrollBarRect();
  virtual bool WantsScrollBars();
  virtual void ScrollContent(TScrollBarKind Kind, TScrollCode Code, int& Position) {}
  virtual bool CanFocusNow();
  virtual void AttachChildComponent(TcxControlChildComponent* Child);
  virtual void DetachChildComponent(TcxControlChildComponent* Child);
  virtual void HandleBoundsChange();
  virtual void CancelMouseOperations();

protected:
  virtual void HandleParentBackgroundChange() {}
  virtual void AfterMouseDown(TMouseButton Button, int X, int Y);
  virtual bool CanDragAtDesignTime(int X, int Y, TShiftState Shift) { return true; }
  virtual void BeforeMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {}
  virtual void RaiseInternalControls();
  virtual void EndMouseOperation();
  virtual bool ErasesBackground() { return false; }
  virtual void PrepareWindow();
  virtual void HandleLookAndFeelChange(TcxLookAndFeel* Sender, TcxLookAndFeelValues Changed) {}
  virtual void FillScrollBarStates() {}
  virtual bool ScrollBarCountsPixels(TScrollBarKind Kind) { return false; }
  virtual bool ScrollBarsStayOnTop() { return true; }
  virtual void ArrangeScrollBars();
  virtual TcxDragAndDropObjectClass DragDropObjectClass();
  virtual void PaintDragImage(TcxCanvas* ACanvas, const TRect& R) {}
  virtual TcxDragImageListClass DragImagesClass();
  virtual TPoint DragImageSize() { return {0, 0}; }
  virtual bool ProvidesDragImages() { return false; }
  virtual void FillDragImages(TcxDragImageList* Images);
  virtual bool AcceptsClickAt(int X, int Y);
  // Formerly dynamic operations.
  virtual void HandleColorChange() {}
  virtual void HandleVisibleChange() {}
  virtual bool AllowsUnfocusedMouseDown() { return false; }
  virtual bool CanStartAutoDrag(int X, int Y) { return FDragDropPhase == ddpIdle; }
  virtual void HandleCursorChange();
  virtual void HandleFocusChange();
  virtual void HandleFontChange();
  virtual bool DesignHitTestAt(int X, int Y, TShiftState Shift);
  virtual TcxDragControlObjectClass DragObjectClass();
  virtual bool MayFocus() { return true; }
  virtual void HandleMouseEnter(TControl* AControl);
  virtual void HandleMouseLeave(TControl* AControl);
  virtual void HandleTextChange() {}
  virtual void DragAndDropMove(TPoint P, bool& Accepted);
  virtual void LeaveDragAndDrop(bool Accepted);
  virtual bool WantsDragAndDropAt(TPoint P) { return false; }
  virtual bool AcceptDragObject(TDragObject* AObject) { return true; }
  virtual void EnterDragAndDrop();

  // ---- platform hooks
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;

private:
  friend class TcxControlScrollBar;
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues Values);
  void ContextMenuMessage(TMessage& M);
  void KeyDownMessage(TMessage& M);
  void PaintMessage(TMessage& M);
  void SetCursorMessage(TMessage& M);
  void MouseEnterLeaveMessage(TMessage& M);
  // Scroll bars (cxControlScrollBars.cpp).
  void CreateScrollBars();
  void DestroyScrollBars();
  void ForwardScroll(TObject* Sender, TScrollCode Code, int& Position);
  void ApplyScrollState(TcxControlScrollBar* Bar);
  void ComputeScrollBarStates();
  void DropBothBarsIfFitting();
  void ScrollBarSizeMessage();
  // Panning (cxControlPanning.cpp).
  void Pan();
  // Drag and drop (cxDragAndDrop.cpp).
  void ArmDragAndDrop(TMouseButton Button, TShiftState Shift, int X, int Y);
  void TrackDragAndDrop(int X, int Y);

  TcxFrameStyle FFrameStyle = cfsNone;
  bool FCalculatingScrollBarStates = false;
  std::unique_ptr<TcxCanvas> FCanvas;
  TCursor FDefaultCursor = crDefault;
  TcxDragAndDropObject* FDragDropObject = nullptr;
  TCursor FSavedScreenCursor = crDefault;
  TcxDragDropPhase FDragDropPhase = ddpIdle;
  TcxDragImageList* FDragImages = nullptr;
  bool FFinishingDragAndDrop = false;
  bool FClickFocus = true;
  std::vector<IcxFontListener*> FFontListeners;
  TcxControlScrollBar* FHScrollBar = nullptr;
  bool FSavedHorzVisible = false, FSavedVertVisible = false;
  bool FScrollBarsLocked = false;
  TcxWantedKeys FWantedKeys;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  bool FPressed = false;
  TPersistent* FMouseCaptureObject = nullptr;
  TPoint FMouseDownPos;
  TComponent* FPopupMenu = nullptr;
  TScrollStyle FShownScrollBars = ssBoth;
  TcxSizeGrip* FSizeGrip = nullptr;
  bool FUpdatingScrollBars = false;
  TcxControlScrollBar* FVScrollBar = nullptr;
  bool FPanning = false;
  bool FLastParentBackground = true;
};
