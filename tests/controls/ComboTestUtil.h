#pragma once
// A combo edit with a plain drop-down of a fixed size that hands over a text value, for the
// tests of the combo edit's own behaviour.
#include "controls/ToolEditCombo.h"
#include "core/Variant.h"

namespace combotest {

class TTestPopup : public TPopupWindow {
public:
  explicit TTestPopup(TComponent* AOwner) : TPopupWindow(AOwner) { SetBounds(0, 0, 200, 150); }
  Variant GetPopupValue() override { return Variant(Value); }
  void SetPopupValue(const Variant& V) override { Loaded = VarIsNull(V) ? String("<null>") : VarToStr(V); }
  String Value = "picked";
  String Loaded;
};

class TTestCombo : public TCustomComboEdit {
public:
  explicit TTestCombo(TComponent* AOwner) : TCustomComboEdit(AOwner) {
    Drop = new TTestPopup(this);
    Drop->OnPopupClose = TCloseUpEvent(this, &TCustomComboEdit::HandlePopupClose);
    SetPopup(Drop);
  }
  TTestPopup* Drop;
  using TCustomComboEdit::PopupValueChanged;
};

}  // namespace combotest
