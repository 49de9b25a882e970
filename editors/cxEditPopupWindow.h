#pragma once
// TcxCustomEditPopupWindow: the window every drop-down editor opens. It computes its border,
// client edge, 3-pixel shadow and optional panel strip (size grip and close button) in a view
// info, sizes itself from the editor's content or a fixed or restored size, places itself
// below or above the editor with the grip in the corner away from it, shapes its window
// region, and lets the user resize it by dragging an XOR frame on the screen. The owner editor
// (cxDropDownEdit.h) supplies the content size, the settings and the close decisions.
// Declares TcxGripCorner, TcxCustomEditPopupWindowViewInfo and TcxCustomEditPopupWindow.
#include "editors/cxCustomPopupWindow.h"
#include "editors/cxEditStyles.h"
#include "editors/cxLookAndFeels.h"

class TcxCustomDropDownEdit;

KELM_ENUM(TcxGripCorner, gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight)

inline bool IsRightCorner(TcxGripCorner C) { return C == gcTopRight || C == gcBottomRight; }
inline bool IsBottomCorner(TcxGripCorner C) { return C == gcBottomLeft || C == gcBottomRight; }

class TcxCustomEditPopupWindowViewInfo : public TcxContainerViewInfo {
public:
  TcxEditPopupBorderStyle BorderKind = epbsDefault;
  bool ClientEdgeOn = false;
  bool CloseButtonOn = false;
  TRect CloseBox;
  TcxLookAndFeelKind CloseBoxPainterKind = lfStandard;
  int CloseBoxThemeState = 0;
  Byte CloseBoxState = 1;  // 1 normal, 2 hot, 3 pressed
  int PanelMinHeight = 0;
  bool NativeLook = false;
  bool ShadowOn = false;
  bool Resizable = false;
  TcxGripCorner GripCorner = gcBottomRight;
  TRect GripBox, GripHitBox, InnerBounds;
  int EdgeTolerance = 0;
  int PanelHeight = 0;
  bool PanelOn = false;
  TRect Bounds;
  TRect ClientRect;
  // Set by HitTestSizing.
  int HitDirX = 0, HitDirY = 0;

  // ---- new virtual operations, in their order
  virtual void Recalculate(const TRect& R);
  virtual void PaintBorder(TcxCanvas* ACanvas, TRect& R);
  virtual void GetBorderExtents(TRect& E);
  virtual void GetClientExtents(TRect& E) { GetBorderExtents(E); }
  virtual int GetPanelHeightNeeded();
  virtual bool HitTestSizing(int X, int Y);

  void Draw(TcxCanvas* ACanvas) override;

  int BorderWidth() const;
  int ClientEdgeWidth() const;
  int BasePanelHeight() const;

protected:
  void PaintSizeGrip(TcxCanvas* ACanvas);
  void PaintCloseButton(TcxCanvas* ACanvas);
};

class TcxCustomEditPopupWindow : public TcxCustomPopupWindow {
  KELM_CLASS(TcxCustomEditPopupWindow, TcxCustomPopupWindow)
public:
  explicit TcxCustomEditPopupWindow(TControl* AOwnerControl);
  ~TcxCustomEditPopupWindow() override;

  TcxCustomEditPopupWindowViewInfo* ViewInfo() const {
    return static_cast<TcxCustomEditPopupWindowViewInfo*>(PaintInfo());
  }
  TcxCustomDropDownEdit* Edit() const;

  // ---- settings (the owner copies them before each layout)
  bool AutoFit = false;
  int MinHeight = 0, MinWidth = 0;
  int PreferredHeight = 0, PreferredWidth = 0;
  bool LiveSizing = false;  // never set here: a frame is dragged instead
  TcxEditPopupBorderStyle BorderKind() const { return FBorderKind; }
  void SetBorderKind(TcxEditPopupBorderStyle Value);
  bool ClientEdgeOn() const { return FClientEdgeOn; }
  void SetClientEdgeOn(bool Value);
  bool CloseButtonOn() const { return FCloseButtonOn; }
  void SetCloseButtonOn(bool Value);
  bool NativeLook() const { return FNativeLook; }
  void SetNativeLook(bool Value);
  bool ShadowOn() const { return FShadowOn; }
  void SetShadowOn(bool Value);
  bool Resizable() const { return FResizable; }
  void SetResizable(bool Value);
  bool PanelOn() const { return FPanelOn; }
  void SetPanelOn(bool Value);
  TRect OwnerRect;  // the editor's rectangle, screen coordinates

  // ---- new virtual operations, in their order
  virtual void RecalcViewInfo();
  virtual void ForwardChar(Char Ch);
  virtual void GetMinimumSize(TSize& Size);

  void DrawSizingFrame(const TRect& R);
  void InvalidateArea(const TRect& R);
  void Relayout();
  void ApplyWindowRegion();
  // The editor's rectangle on the screen, asked again.
  void RefreshOwnerRect();

  // ---- popup base hooks
  TPoint ComputePosition() override;
  void FitSizeToChildren() override;
  bool KeepsInsideWorkArea() override;
  void DoAfterCloseUp() override;
  void DoBeforeCloseUp() override;
  void ModalCloseUp() override;
  void AdjustClientRect(TRect& R) override;
  TcxContainerViewInfo* CreateViewInfo() override { return new TcxCustomEditPopupWindowViewInfo; }
  bool CanResize(int& NewWidth, int& NewHeight) override;
  void Popup(TWinControl* FocusedControl) override;
  void Dispatch(TMessage& Message) override;

protected:
  void Resize() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void PopupMouseLeave(TControl* AControl) override;

private:
  void SetCloseBoxState(Byte Value);
  void ShowSizingCursor(int DirX, int DirY);
  TcxEditPopupBorderStyle FBorderKind = epbsDefault;
  bool FClientEdgeOn = false;
  bool FCloseButtonOn = false;
  bool FNativeLook = false;
  bool FShadowOn = false;
  bool FResizable = false;
  bool FPanelOn = false;
};

// The one popup resize that may run at a time.
struct TcxPopupSizingState {
  bool Active = false;
  bool CursorShown = false;
  int DirX = 0, DirY = 0;
  int GrabDX = 0, GrabDY = 0;
  TRect LastRect;
  TRect DrawnRect;
};
TcxPopupSizingState& PopupSizingState();
