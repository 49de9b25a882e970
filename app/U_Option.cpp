#include "app/U_Option.h"

#include "core/ClassBuilder.h"
#include "core/Format.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "app/U_Data.h"
#include "gui/Dialogs.h"

const char* const TFrm_Option::DoneText = "修改成功!";

KELM_PUBLISH(TFrm_Option) {
  b.Method("FormShow", &TFrm_Option::FormShow);
  b.Method("Btn_OkClick", &TFrm_Option::Btn_OkClick);
  b.Method("Btn_CloseClick", &TFrm_Option::Btn_CloseClick);
}

void TFrm_Option::FormShow(TObject*) {
  TADOQuery* q = Frm_Data->Qry_Str;
  Frm_Data->OpenQuery(q, "select * from T_SoftInfo");
  Edit_Name->SetText(q->FieldByName("SoftName")->AsString());
  edttxday->SetText(q->FieldByName("txday")->AsString());
  SetCaption("选项设置");
}

void TFrm_Option::Btn_OkClick(TObject*) {
  TADOQuery* q = Frm_Data->Qry_Str;
  // The reminder needs a number of days: an empty text would store no value at all, so it is
  // refused as the field refuses any other text that is no integer.
  String days = edttxday->Text();
  if (Trim(days).empty()) throw EConvertError(Format(SInvalidInteger, {days}));
  q->Edit();
  try {
    q->FieldByName("SoftName")->SetAsString(Edit_Name->Text());
    q->FieldByName("txday")->SetAsString(days);
    q->Post();
  } catch (...) {
    // On failure only, and it may raise: the refused row is not left in edit.
    q->Cancel();
    throw;
  }
  ShowMessage(DoneText);
  Close();
}

void TFrm_Option::Btn_CloseClick(TObject*) { Close(); }
