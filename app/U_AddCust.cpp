#include "app/U_AddCust.h"

#include "app/DetailRows.h"
#include "app/ListRow.h"
#include "app/SqlText.h"
#include "app/U_Custom.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"

TFrm_AddCust* Frm_AddCust = nullptr;

const char* const TFrm_AddCust::DuplicateCodeText = "客户编号重复，请您重新录入！";
const char* const TFrm_AddCust::RequiredText = "红色显示的字段不能为空，请您重新录入！";
const char* const TFrm_AddCust::NotSubmitted = "未提交";

const TFrm_AddCust::TColumnEdit TFrm_AddCust::Columns[18] = {
    {"CustName", &TFrm_AddCust::edtCustName, true},   {"CustCode", &TFrm_AddCust::edtCustCode, true},
    {"Country", &TFrm_AddCust::edtCountry, false},    {"CustArea", &TFrm_AddCust::edtCustArea, false},
    {"Address", &TFrm_AddCust::edtAddress, false},    {"Zip", &TFrm_AddCust::edtZip, false},
    {"Phone", &TFrm_AddCust::edtPhone, true},         {"WebSite", &TFrm_AddCust::edtWebSite, false},
    {"CustMan", &TFrm_AddCust::edtCustMan, true},     {"ZZMoney", &TFrm_AddCust::edtZZmoney, true},
    {"Bank", &TFrm_AddCust::edtBank, false},          {"BankID", &TFrm_AddCust::edtBankID, false},
    {"ZContact", &TFrm_AddCust::edtZContact, true},   {"ZMobile", &TFrm_AddCust::edtZMobile, false},
    {"ZPhone", &TFrm_AddCust::edtZPhone, false},      {"ZFax", &TFrm_AddCust::edtZFax, false},
    {"ZPlace", &TFrm_AddCust::edtZPlace, true},       {"ZEmail", &TFrm_AddCust::edtZEmail, false},
};

KELM_PUBLISH(TFrm_AddCust) {
  b.Method("FormCreate", &TFrm_AddCust::FormCreate);
  b.Method("FormShow", &TFrm_AddCust::FormShow);
  b.Method("btnPostClick", &TFrm_AddCust::btnPostClick);
  b.Method("btnCloseClick", &TFrm_AddCust::btnCloseClick);
  b.Method("btnAddClick", &TFrm_AddCust::btnAddClick);
  b.Method("btnDeleteClick", &TFrm_AddCust::btnDeleteClick);
}

TFrm_AddCust::~TFrm_AddCust() {
  if (Frm_AddCust == this) Frm_AddCust = nullptr;
}

void TFrm_AddCust::FormCreate(TObject*) {
  Frm_Data->SetTabOrderByPosition(this, true);
  SetCaption("客户管理维护");
}

void TFrm_AddCust::FormShow(TObject*) {
  if (AddMode == 1) {
    OldCode = "";
    ClearFields();
  } else {
    OldCode = Frm_Data->Qry_Cust->FieldByName("CustCode")->AsString();
    LoadFields();
  }
  OpenContacts(OldCode);
}

void TFrm_AddCust::ClearFields() {
  for (const TColumnEdit& c : Columns) (this->*c.Edit)->SetText("");
  cmbCustType->SetItemIndex(cmbCustType->Items()->IndexOf("供应商"));
  edtZZmoney->SetText("0");
  mmRemark->Lines()->Clear();
}

void TFrm_AddCust::LoadFields() {
  TADOQuery* q = Frm_Data->Qry_Cust;
  for (const TColumnEdit& c : Columns) (this->*c.Edit)->SetText(q->FieldByName(c.Field)->AsString());
  cmbCustType->SetItemIndex(cmbCustType->Items()->IndexOf(q->FieldByName("CustType")->AsString()));
  mmRemark->SetText(q->FieldByName("Remark")->AsString());
}

void TFrm_AddCust::OpenContacts(const String& Code) {
  Frm_Data->OpenQuery(Frm_Data->qryCustContactAdd, "select * from t_cust_contact where CustCode=" + SqlStr(Code));
  Frm_Main->BuildGridColumns(dgCustContactAdd, Frm_Data->qryCustContactAdd, "CustContactAdd");
}

String TFrm_AddCust::Refusal(TEdit*& Focus) {
  // A code another customer holds, in either mode: the code is the customer's key.
  String sql = "select CustCode from t_custom where CustCode=" + SqlStr(edtCustCode->Text());
  if (AddMode != 1) sql += " and CustID<>" + SqlInt(Frm_Data->Qry_Cust->FieldByName("CustID")->AsLargeInt());
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, sql);
  if (!q->IsEmpty()) {
    Focus = edtCustCode;
    return DuplicateCodeText;
  }
  for (const TColumnEdit& c : Columns)
    if (c.Required && Trim((this->*c.Edit)->Text()).empty()) return RequiredText;
  return "";
}

void TFrm_AddCust::btnPostClick(TObject*) {
  TEdit* focus = nullptr;
  if (String refusal = Refusal(focus); !refusal.empty()) {
    Application->MessageBox(refusal, "提示", MB_OK | MB_ICONWARNING);
    if (focus && focus->CanFocus()) focus->SetFocus();
    return;
  }
  {
    // A failed save leaves the list on its row; a stored customer is the list's current row.
    TListRowScope row(Frm_Data->Qry_Cust);
    Save();
    row.Keep();
  }
  // The list shows what was stored, as a search would: the count and the customer's contacts,
  // under their new code too.
  if (Frm_Custom) Frm_Custom->RefreshView();
  if (AddMode == 1) {
    ClearFields();
    OpenContacts("");
  } else {
    Close();
  }
}

// A failure rolls the customer and its contacts back; what the user typed, contacts
// included, stays in the dialog, and the error is shown.
void TFrm_AddCust::Save() {
  TADOQuery* cust = Frm_Data->Qry_Cust;
  TADOQuery* contacts = Frm_Data->qryCustContactAdd;
  if (!cust->Active()) Frm_Data->OpenQuery(cust, TFrm_Custom::AllCustomersSQL);
  String code = edtCustCode->Text();
  // The contact being typed is one of the rows to save.
  contacts->CheckBrowseMode();
  try {
    Frm_Data->RunInTransaction([&] {
      if (AddMode == 1) cust->Append();
      else cust->Edit();
      for (const TColumnEdit& c : Columns) cust->FieldByName(c.Field)->SetAsString((this->*c.Edit)->Text());
      cust->FieldByName("CustType")->SetAsString(cmbCustType->Text());
      cust->FieldByName("Remark")->SetAsString(mmRemark->Text());
      if (AddMode == 1) cust->FieldByName("Maker")->SetAsString(Frm_Main->CurrentUser);
      cust->FieldByName("f_check")->SetAsString(NotSubmitted);
      cust->Post();
      StampDetailCode(contacts, "CustCode", code);
      contacts->UpdateBatch();
    });
  } catch (...) {
    CancelEditing(cust);
    CancelEditing(contacts);
    throw;
  }
}

void TFrm_AddCust::btnCloseClick(TObject*) { Close(); }

void TFrm_AddCust::btnAddClick(TObject*) {
  Frm_Data->qryCustContactAdd->Append();
  if (dgCustContactAdd->CanFocus()) dgCustContactAdd->SetFocus();
}

void TFrm_AddCust::btnDeleteClick(TObject*) {
  if (!Frm_Data->qryCustContactAdd->IsEmpty()) Frm_Data->qryCustContactAdd->Delete();
}
