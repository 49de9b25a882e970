#include "app/U_Company.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "app/U_Data.h"
#include "gui/Application.h"

const char* const TFrm_Company::SavedText = "您的公司信息已保存！";

const TFrm_Company::TColumnEdit TFrm_Company::Columns[7] = {
    {"Company", &TFrm_Company::Edit_Company}, {"Contact", &TFrm_Company::Edit_Contact},
    {"Address", &TFrm_Company::Edit_Address}, {"Zip", &TFrm_Company::Edit_Zip},
    {"Tel", &TFrm_Company::Edit_Tel},         {"Fax", &TFrm_Company::Edit_Fax},
    {"Email", &TFrm_Company::Edit_Email},
};

KELM_PUBLISH(TFrm_Company) {
  b.Method("FormShow", &TFrm_Company::FormShow);
  b.Method("Btn_OkClick", &TFrm_Company::Btn_OkClick);
  b.Method("Btn_ExitClick", &TFrm_Company::Btn_ExitClick);
}

void TFrm_Company::FormShow(TObject*) {
  SetCaption("公司信息");
  Btn_Ok->SetCaption("确定(&S)");
  Btn_Exit->SetCaption("取消(&Q)");
  TADOQuery* q = Frm_Data->Qry_Company;
  Frm_Data->OpenQuery(q, "select * from T_Company");
  for (const TColumnEdit& c : Columns)
    (this->*c.Edit)->SetText(q->IsEmpty() ? String() : q->FieldByName(c.Field)->AsString());
}

void TFrm_Company::Btn_OkClick(TObject*) {
  TADOQuery* q = Frm_Data->Qry_Company;
  if (q->IsEmpty()) q->Append();
  else q->Edit();
  try {
    for (const TColumnEdit& c : Columns) q->FieldByName(c.Field)->SetAsString(Trim((this->*c.Edit)->Text()));
    q->Post();
  } catch (...) {
    // On failure only, and it may raise: the refused row is not left in edit.
    q->Cancel();
    throw;
  }
  Application->MessageBox(SavedText, "警告", MB_OK | MB_ICONINFORMATION);
  Close();
}

void TFrm_Company::Btn_ExitClick(TObject*) { Close(); }
