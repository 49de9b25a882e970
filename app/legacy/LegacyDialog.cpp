#include "app/legacy/LegacyDialog.h"

#include "controls/ToolEditDate.h"
#include "core/SysUtils.h"
#include "gui/Control.h"

namespace {

TControl* ControlOf(TComponent* Form, const char* Name) {
  auto* control = dynamic_cast<TControl*>(Form->FindComponent(Name));
  if (!control) throw Exception(String("窗口没有控件 ") + Name);
  return control;
}

}  // namespace

TLegacyValues ReadLegacyControls(TComponent* Form, const std::vector<TLegacyField>& Fields, const String& TypeCode) {
  TLegacyValues values;
  for (const TLegacyField& field : Fields) {
    TLegacyValue v;
    v.Field = &field;
    if (field.Kind == TLegacyValueKind::TypeCode) {
      v.Text = TypeCode;
    } else if (field.Kind == TLegacyValueKind::Date) {
      auto* date = dynamic_cast<TCustomDateEdit*>(ControlOf(Form, field.Control));
      v.Date = date ? date->GetDateValue() : 0;
    } else {
      v.Text = ControlOf(Form, field.Control)->Text();
    }
    values.push_back(v);
  }
  return values;
}

void ShowLegacyValues(TComponent* Form, const TLegacyValues& Values) {
  for (const TLegacyValue& v : Values) {
    if (v.Field->Kind == TLegacyValueKind::TypeCode) continue;
    TControl* control = ControlOf(Form, v.Field->Control);
    if (v.Field->Kind == TLegacyValueKind::Date) {
      if (auto* date = dynamic_cast<TCustomDateEdit*>(control)) date->SetDateValue(v.Date);
    } else {
      control->SetText(v.Text);
    }
  }
}
