#pragma once
// The drop-down window of the combo edit: a borderless top-level tool window that is never
// activated, so the focus stays in the edit while the user clicks in it. It hands a value to
// and from the edit (GetPopupValue, SetPopupValue) and reports its closing through
// OnPopupClose (accepted or not).
#include "core/Variant.h"
#include "gui/Controls.h"

KELM_EVENT(TCloseUpEvent, void(TObject* Sender, bool Accept));

class TPopupWindow : public TCustomControl {
  KELM_CLASS(TPopupWindow, TCustomControl)
public:
  // The owner is the edit it drops from.
  explicit TPopupWindow(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

  TWinControl* Editor() const { return FEditor; }
  virtual Variant GetPopupValue() = 0;
  virtual void SetPopupValue(const Variant& Value) = 0;
  // Reports the closing through OnPopupClose.
  virtual void FinishPopup(bool Accept);
  virtual String GetPopupText() { return String(); }
  // At a screen point, on top, shown without activation.
  void ShowAt(TPoint P);
  void HideWindow();

  TCloseUpEvent OnPopupClose;

protected:
  void CreateParams(TCreateParams& Params) override;

private:
  void PopupMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  TWinControl* FEditor = nullptr;
};
