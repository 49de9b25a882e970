#pragma once
// TWinControl, a control with a window of its own (children, tab order, focus, keys, a
// non-client frame, alignment, painting), and the painted controls: TCustomControl (windowed)
// and TGraphicControl (windowless), with TControlCanvas, the canvas bound to a control.
// Declares TCreateParams, TWinControl, TControlCanvas, TCustomControl and TGraphicControl.
#include "gui/Control.h"

#include <memory>
#include <vector>

// What CreateParams fills in before a control's window is made: its styles decide the
// non-client frame (WS_BORDER 1 px, WS_EX_CLIENTEDGE 2 px sunken, ...) and WS_POPUP makes a
// parentless control a borderless top-level window that is shown without being activated.
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = 0;
  String WinClassName;
};

class TWinControl : public TControl {
  KELM_CLASS(TWinControl, TControl)
  // Properties every windowed control implements, published as those of TControl are.
  template <class B> static auto PublishTabOrder(B& b) { return b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1); }
  template <class B> static auto PublishTabStop(B& b) { return b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false); }
  template <class B> static auto PublishBorderWidth(B& b) { return b.Prop("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0); }
  template <class B> static auto PublishCtl3D(B& b) { return b.Prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).NoDefault().StoredUnless(&TWinControl::ParentCtl3D); }
  template <class B> static auto PublishParentCtl3D(B& b) { return b.Prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true); }
  template <class B> static auto PublishImeMode(B& b) { return b.Prop("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare); }
  template <class B> static auto PublishImeName(B& b) { return b.Prop("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName); }
  template <class B> static auto PublishOnEnter(B& b) { return b.Prop("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter); }
  template <class B> static auto PublishOnExit(B& b) { return b.Prop("OnExit", &TWinControl::OnExit, &TWinControl::OnExit); }
  template <class B> static auto PublishOnKeyDown(B& b) { return b.Prop("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown); }
  template <class B> static auto PublishOnKeyPress(B& b) { return b.Prop("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress); }
  template <class B> static auto PublishOnKeyUp(B& b) { return b.Prop("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp); }
  template <class B> static auto PublishOnMouseWheel(B& b) { return b.Prop("OnMouseWheel", &TWinControl::OnMouseWheel, &TWinControl::OnMouseWheel); }
  template <class B> static auto PublishOnMouseWheelDown(B& b) { return b.Prop("OnMouseWheelDown", &TWinControl::OnMouseWheelDown, &TWinControl::OnMouseWheelDown); }
  template <class B> static auto PublishOnMouseWheelUp(B& b) { return b.Prop("OnMouseWheelUp", &TWinControl::OnMouseWheelUp, &TWinControl::OnMouseWheelUp); }
  // Focus, tab order, keys and the input method of windowed controls.
  template <class B> static void PublishWindowed(B& b) {
    PublishTabOrder(b); PublishTabStop(b); PublishCtl3D(b); PublishParentCtl3D(b); PublishImeMode(b);
    PublishImeName(b); PublishOnEnter(b); PublishOnExit(b); PublishOnKeyDown(b); PublishOnKeyPress(b);
    PublishOnKeyUp(b); PublishOnMouseWheel(b); PublishOnMouseWheelDown(b); PublishOnMouseWheelUp(b);
  }
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void SetParent(TWinControl* AParent) override;

  // ---- children
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The visible (and, unless AllowDisabled, enabled) child at a client point, top-most
  // first; windowed children only with AllowWinControls.
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;
  void Broadcast(TMessage& Message);  // to every child until one answers non-zero
  void NotifyControls(UINT Msg);      // to every child
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

  // ---- tab order and focus
  TTabOrder TabOrder() const;
  void SetTabOrder(TTabOrder v);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool v);
  // The tab order of the children and theirs, depth first; a control that stands for its
  // children in the order overrides it.
  virtual void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  virtual bool CanFocus() const;
  bool Focused() const;
  // Scales the size of the control and everything inside it by M/D (ChangeScale of every
  // part); the control keeps its place.
  void ScaleBy(int M, int D);
  // EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
  virtual void SetFocus();
  bool Showing() const;
  // Makes a child visible to the user (a page control brings its page forward).
  virtual void ShowControl(TControl* AControl);

  // ---- the window
  HWND Handle() const;
  bool HandleAllocated() const { return FHandleCreated; }
  void HandleNeeded() const;
  void RecreateWnd();
  DWORD WindowStyle() const { return FStyle; }
  DWORD WindowExStyle() const { return FExStyle; }
  void SetWindowStyles(DWORD Style, DWORD ExStyle);  // then the frame is measured again
  // Asks WM_NCCALCSIZE again and lays the children out in the new client area.
  void FrameChanged();
  // The non-client margins (left, top, right, bottom) the control answered.
  TRect NonClientMargins() const { return FNC; }
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int v);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool v);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool v);
  TBrush* Brush() const { return FBrush.get(); }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode v);
  String ImeName() const { return FImeName; }
  void SetImeName(const String& v) { FImeName = v; }
  // A window region (a copy is kept); nullptr shows the whole window again.
  void SetWindowRgn(HRGN Region);

  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  void Invalidate() override;
  void Update() override;
  // Adds the client rectangle to what the next paint draws (nullptr: the whole client); the
  // paint is clipped to what was invalidated since the last one.
  void InvalidateRect(const TRect* Rect);
  // Takes the rectangle out of what the next paint draws (nullptr: everything).
  void ValidateRect(const TRect* Rect);
  void SetZOrder(bool TopMost) override;
  // Moves the children (and the painted content) by the distances.
  void ScrollBy(int DeltaX, int DeltaY);

  // ---- alignment
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  void Realign();
  // Lays out the aligned and anchored children, AControl first among its equals.
  void AlignControl(TControl* AControl);
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  // The client area left over by the aligned children at the last alignment.
  TRect AlignedRemainder() const { return FAlignRemainder; }

  // ---- painting
  void PaintTo(TCanvas* Canvas, int X, int Y);
  void PaintTo(HDC DC, int X, int Y);
  void PaintControls(HDC DC, TControl* First);

  // The message entry of the window: exceptions are handled, never propagated.
  void MainWndProc(TMessage& Message);
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
  friend class TControl;
  friend class TControlWidget;
  friend class TCustomForm;
  friend struct gui_glue::TAccess;

  virtual void CreateParams(TCreateParams& Params);
  // The children scale first, in the parent's unscaled layout; alignment waits until all did.
  void ChangeScale(int M, int D) override;
  // Called once the window has been given its styles (the first time the handle is needed),
  // and again after RecreateWnd.
  virtual void CreateWnd();
  virtual void DestroyWnd();
  void CreateHandle();
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TMessage& Message);
  virtual bool DoKeyDown(TMessage& Message);
  virtual bool DoKeyPress(TMessage& Message);
  virtual bool DoKeyUp(TMessage& Message);
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(Char& Key);
  virtual void DoEnter();
  virtual void DoExit();
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual bool IsMenuKey(TMessage& Message);
  // The part of the non-client margins inside the widget (all of them, unless the window
  // manager draws the frame); the client pixels start at its top-left.
  virtual TRect InsideMargins() const { return FNC; }
  // Clips the widget to the parent's client area and to the window region.
  void UpdateMask();
  void UpdateBoundsRect(const TRect& R) override;
  void SetWindowTextDirect(const String& v) override;
  // Moves and sizes the widget to the control's bounds.
  virtual void ApplyGeometry();
  void UpdateShowing();
  void SendNCCalcSize();
  // The widget of this window (its class is private to platform/gui).
  TControlWidget* Widget() const { return FWidget; }

private:
  // Messages the control handles itself, one handler each (Dispatch holds their table).
  void CMMouseWheel(TMessage& M);
  void WMEraseBkgnd(TMessage& M);
  void WMSize(TMessage& M);
  void WMContextMenu(TMessage& M);
  void CMEnabledChanged(TMessage& M);
  void CMVisibleChanged(TMessage& M);
  void CMFontChanged(TMessage& M);
  void CMColorChanged(TMessage& M);
  void CMParentCtl3DChanged(TMessage& M);
  void CMRefocus(TMessage& M);
  void CNKeyDown(TMessage& M);
  void CNChar(TMessage& M);
  void WMMouseWheel(TMessage& M);
  void WMSetFocusMsg(TMessage& M);
  void WMKillFocusMsg(TMessage& M);
  void WMNCCalcSizeDefault(TMessage& M);
  void WMNCPaintDefault(TMessage& M);
  void WMSetCursor(TMessage& M);
  bool IsControlMouseMsg(TMessage& M);
  void DoAlign(TControl* AControl, TAlign AAlign, TRect& Rect);

  std::vector<TControl*> FControls;     // graphic and windowed children, z-order bottom first
  std::vector<TWinControl*> FTabList;   // windowed children in tab order
  HWND FHandle = 0;
  mutable bool FHandleCreated = false;
  TControlWidget* FWidget = nullptr;
  bool FTabStop = false;
  DWORD FStyle = 0, FExStyle = 0;
  TRect FNC;  // non-client margins
  int FBorderWidth = 0;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  bool FDoubleBuffered = false;
  TImeMode FImeMode = imDontCare;
  String FImeName;
  std::unique_ptr<TBrush> FBrush;
  int FAlignLevel = 0;
  bool FAlignPending = false;
  bool FAligning = false;
  TRect FAlignRemainder;
  bool FShowing = false;
  bool FApplyingGeometry = false;
  TCursor FClassCursor = crArrow;
};

// ================================================================ painted controls

// A canvas bound to a control: during painting it draws on the paint device context, at
// other times on the control's own pixels (shown at the next repaint).
class TControlCanvas : public TCanvas {
  KELM_CLASS(TControlCanvas, TCanvas)
public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* v);
  void FreeHandle();
  void UpdateTextFlags() {}

protected:
  void CreateHandle() override;
  void Changed() override;

private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;  // made by CreateHandle
};

class TCustomControl : public TWinControl {
  KELM_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// A control without a window: it paints on its parent's canvas, in z-order among its
// windowless siblings and beneath the windowed ones.
class TGraphicControl : public TControl {
  KELM_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

protected:
  virtual void Paint() {}

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};
