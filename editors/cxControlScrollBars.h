#pragma once
// The scroll bars and the size grip a TcxControl lays out inside its client area, and the
// one settings controller that tells every control when the system's scroll-bar sizes
// change. A descendant describes what each bar should show by calling SetScrollBarState from
// FillScrollBarStates; RefreshScrollBars turns those requests into visible, enabled or
// hidden bars, and stops the loop in which showing one bar makes the other necessary and
// back by leaving the bar that kept changing on screen, disabled.
// Declares TcxScrollBarState, TcxControlScrollBar, TcxSizeGrip and TcxSettingsController.
#include "editors/cxControl.h"
#include "editors/cxScrollBar.h"

#include <vector>

struct TcxScrollBarState {
  int Min = 0;
  int Max = 0;
  int Position = 0;
  int PageSize = 0;
  SmallInt SmallChange = 0;
  SmallInt LargeChange = 0;
  bool Enabled = false;
  bool Visible = false;
  bool ShowAllowed = false;
  bool HideAllowed = false;
};

class TcxControlScrollBar : public TcxScrollBar {
  KELM_CLASS(TcxControlScrollBar, TcxScrollBar)
public:
  explicit TcxControlScrollBar(TcxControl* AOwner);
  TcxScrollBarState ScrollState;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

protected:
  // Focuses the parent control when it takes the focus from a click on its bar.
  virtual void FocusOwner();
};

class TcxSizeGrip : public TCustomControl {
  KELM_CLASS(TcxSizeGrip, TCustomControl)
public:
  explicit TcxSizeGrip(TComponent* AOwner);

protected:
  void Paint() override;
};

class TcxSettingsController : public TObject {
public:
  ~TcxSettingsController() override;
  void AddControl(TcxControl* AControl);
  void RemoveControl(TcxControl* AControl);
  // Sends CM_CXSCROLLBARSIZE to every registered control whose window exists.
  void NotifyControls();
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  // The utility window, while at least one control is registered.
  HWND WindowHandle() const { return FWindow; }

protected:
  virtual void WndProc(TMessage& Message);

private:
  std::vector<TcxControl*> FControls;
  HWND FWindow = 0;
};

// The process-wide settings controller (made on first use).
TcxSettingsController* SettingsController();
