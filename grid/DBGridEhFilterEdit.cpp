// The filter row's editor.
#include "grid/DBGridEhFilterEdit.h"

#include "core/ClassBuilder.h"

KELM_PUBLISH(TInplaceFilterEditEh) {}

TInplaceFilterEditEh::TInplaceFilterEditEh(TComponent* AOwner) : TDBComboBoxEh(AOwner) {}

void TInplaceFilterEditEh::ShowKeyValueText(const Variant& Value, const String& Text) {
  FShownValue = Value;
  // Unbound, a free-text combo keeps its text as what it holds: a change of focus, which
  // shows the held value again, shows this text.
  DataLink()->SetUnboundValue(Variant(Text));
  PutText(Text);
  SetModified(false);
}

Variant TInplaceFilterEditEh::CurrentEditValue() const {
  return VarIsNull(FShownValue) ? TDBComboBoxEh::CurrentEditValue() : FShownValue;
}

void TInplaceFilterEditEh::TextEditedByUser() {
  FShownValue = Null();
  TDBComboBoxEh::TextEditedByUser();
}

TRect TInplaceFilterEditEh::TextAreaRect() const {
  TRect r = TDBComboBoxEh::TextAreaRect();
  r.Top += 1;
  return r;
}
