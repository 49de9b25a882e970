#pragma once
// TcxCustomPopupWindow: the base of the editors' drop-down windows. It belongs to an owner
// control, draws a container-style frame through a style and view info of its own, and opens
// either taking the focus (a popup form the user types into, optionally with a modal message
// loop) or without ever being activated. While any is open, hooks on the GUI thread's
// messages watch the application: a click elsewhere on the owner's form, the owner hidden,
// moved out of sight, closed or destroyed, or the application deactivated close popups, and
// Alt keys a popup does not accept are swallowed. Open popups are listed in opening order.
// Declares TcxCustomPopupWindow.
#include "editors/cxContainer.h"
#include "editors/cxPopupWindow.h"

#include <memory>
#include <vector>

class TcxCustomPopupWindow : public TcxPopupWindow {
  KELM_CLASS(TcxCustomPopupWindow, TcxPopupWindow)
public:
  explicit TcxCustomPopupWindow(TControl* AOwnerControl);
  ~TcxCustomPopupWindow() override;

  bool TakesFocus() const { return FTakesFocus; }
  void SetTakesFocus(bool Value);
  bool TopmostWithOwner() const { return FTopmostWithOwner; }
  void SetTopmostWithOwner(bool Value);
  TWinControl* FocusTarget = nullptr;
  bool ExternalCloseUp = false;
  bool ModalLoop = true;
  TControl* OwnerControl() const { return FOwnerControl; }
  TcxContainerStyle* PopupStyle() const { return FPopupStyle.get(); }
  TcxContainerViewInfo* PaintInfo() const { return FPaintInfo.get(); }
  TNotifyEvent OnAfterCloseUp, OnBeforeCloseUp, OnAfterPopup, OnBeforePopup;

  virtual bool KeepsInsideWorkArea() { return false; }
  virtual void DoAfterCloseUp();
  virtual void DoBeforeCloseUp();
  virtual void DoAfterPopup();
  virtual bool WantsEraseBackground() { return false; }
  virtual bool AcceptsSysKey(Word Key);
  virtual void ModalCloseUp() { DismissPopup(); }
  virtual void PopupStyleChanged(TObject* Sender) {}
  virtual void ClampToWorkArea(TPoint& P);
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxContainerViewInfo* CreateViewInfo() { return new TcxContainerViewInfo; }
  virtual void Popup(TWinControl* FocusedControl);

  TRect AnchorScreenBounds() override;
  void PreparePopup() override {}
  void DismissPopup() override;
  void AdjustClientRect(TRect& R) override { R = FPaintInfo->ContentRect; }
  bool CanFocus() const override { return Visible(); }
  void Dispatch(TMessage& Message) override;

  void PostCloseUp();
  bool IsOpen() const;
  bool HasCaptureInside() const;
  bool IsOwnerWindowVisible() const;
  void RecreateWindow();
  // Open, focus-taking, and the focus lies in it (or in a popup opened from it).
  bool PopupFocused() const;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Deactivate() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Paint() override;
  void HandleVisibleChange() override;
  virtual void PopupMouseEnter(TControl* AControl) {}
  virtual void PopupMouseLeave(TControl* AControl) {}
  // A descendant's own view info, made once the descendant exists.
  void ResetPaintInfo(TcxContainerViewInfo* Info) { FPaintInfo.reset(Info); }

private:
  void Reopen();
  bool FTakesFocus = true;
  bool FTopmostWithOwner = false;
  TControl* FOwnerControl;
  std::unique_ptr<TcxContainerStyle> FPopupStyle;
  std::unique_ptr<TcxContainerViewInfo> FPaintInfo;
};

// The open popups, the most recent last.
const std::vector<TcxCustomPopupWindow*>& OpenPopupWindows();

// The window is the control's own, or with WithPopups lies in it or in popups opened from it.
bool IsFormWindow(TWinControl* Form, HWND Window, bool WithPopups);
bool IsWindowInPopup(TcxCustomPopupWindow* Popup, HWND Window);
bool IsWindowInPopupTree(TWinControl* AControl, HWND Window);
bool BelongsToControlForm(TControl* AControl, HWND Window);
bool IsControlWindowVisible(TWinControl* AControl);
// Removes queued messages of the range for the window (one unless All); true when any was
// removed. A WM_QUIT met is posted again and ends the search.
bool DiscardQueuedMessages(HWND Window, UINT First, UINT Last, bool All);
// The window's next message is answered 1 without reaching it; then its own procedure is
// back. A window already locked stays locked once.
void LockNextMessage(HWND Window);
