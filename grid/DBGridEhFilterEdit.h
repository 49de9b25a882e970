#pragma once
// The editor of a grid's filter row: a combo box the grid places over the filter cell being
// edited, with the grid as its in-place holder. It types a column's condition, and over a
// column with a value list it drops down the values and the special choices ("(空)", ...).
#include "grid/DBEditEh.h"

class TInplaceFilterEditEh : public TDBComboBoxEh {
  KELM_CLASS(TInplaceFilterEditEh, TDBComboBoxEh)
public:
  explicit TInplaceFilterEditEh(TComponent* AOwner);
  // Shows Text for the value Value without posting anything: the grid prepares the editor
  // with a column's condition this way.
  void ShowKeyValueText(const Variant& Value, const String& Text);
  // The text sits one pixel lower than in the combo box, clear of the cell's top line.
  TRect TextAreaRect() const override;

protected:
  // The value shown with the text until the user edits it; the text afterwards.
  Variant CurrentEditValue() const override;
  void TextEditedByUser() override;

private:
  Variant FShownValue = Null();
};
