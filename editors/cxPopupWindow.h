#pragma once
// TcxPopupWindow: the borderless form the editors' drop-down windows derive from. It opens
// beside an anchor rectangle, flips to the other side when the anchor's monitor has more
// room there, stays inside that monitor's work area, fits its size to its children and
// draws an optional frame. Losing the activation, or the application losing it, hides it.
// Declares TcxPopupWindow.
#include "gui/Forms.h"

#include <memory>

class TcxCanvas;

KELM_ENUM(TcxPopupPlacement, ppStart, ppCenter, ppEnd)
KELM_ENUM(TcxPopupFrameKind, pfkNone, pfkLine, pfkRaisedThin, pfkRaised)
KELM_ENUM(TcxPopupDirection, podSideways, podUpDown)

class TcxPopupWindow : public TForm {
  KELM_CLASS(TcxPopupWindow, TForm)
public:
  explicit TcxPopupWindow(TComponent* AOwner = nullptr);
  ~TcxPopupWindow() override;

  bool FitsToChildren = true;
  TcxPopupPlacement HorzPlacement = ppStart;
  TcxPopupPlacement VertPlacement = ppEnd;
  int FrameGap = 0;
  TcxPopupFrameKind FrameKind = pfkNone;
  TcxPopupDirection OpenDirection = podUpDown;
  TColor FrameLineColor = clWindowFrame;
  TRect AnchorBounds;              // client coordinates of AnchorParent
  TControl* AnchorParent = nullptr;
  HWND ActivatedFrom = 0;
  TcxCanvas* cxCanvas() const { return FcxCanvas.get(); }

  virtual TPoint ComputePosition();
  virtual void FitSizeToChildren();
  // Side 0 left, 1 top, 2 right, 3 bottom.
  virtual int FrameOffset(int Side) { return FrameLineWidth(Side) + FrameGap; }
  virtual int FrameLineWidth(int Side);
  virtual TRect AnchorScreenBounds();
  virtual void PreparePopup();
  virtual void DrawPopupFrame();
  virtual void DismissPopup() { Hide(); }
  virtual void OpenPopup();

  void Dispatch(TMessage& Message) override;

protected:
  virtual void HandleVisibleChange() {}
  void Paint() override;
  void Deactivate() override;

private:
  std::unique_ptr<TcxCanvas> FcxCanvas;
};
