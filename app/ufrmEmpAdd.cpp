#include "app/ufrmEmpAdd.h"

#include "app/ListRow.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmBasic.h"
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/StrUtils.h"
#include "data/ADODB.h"
#include "gui/Application.h"

#include <memory>

TfrmEmpAdd* frmEmpAdd = nullptr;

const char* const TfrmEmpAdd::RequiredText = "红色显示的字段不能为空，请您重新录入！";

KELM_PUBLISH(TfrmEmpAdd) {
  b.Method("FormCreate", &TfrmEmpAdd::FormCreate);
  b.Method("FormShow", &TfrmEmpAdd::FormShow);
  b.Method("btnPostClick", &TfrmEmpAdd::btnPostClick);
  b.Method("btnCloseClick", &TfrmEmpAdd::btnCloseClick);
  b.Method("edtAgeKeyPress", &TfrmEmpAdd::edtAgeKeyPress);
  b.Method("edtAgeChange", &TfrmEmpAdd::edtAgeChange);
  b.Method("edtDepartButtonClick", &TfrmEmpAdd::edtDepartButtonClick);
}

String DigitsOnly(const String& Text) {
  String digits;
  for (char c : Text)
    if (c >= '0' && c <= '9') digits += c;
  return digits;
}

TfrmEmpAdd::~TfrmEmpAdd() {
  if (frmEmpAdd == this) frmEmpAdd = nullptr;
}

void TfrmEmpAdd::FormCreate(TObject*) {
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, "select * from dict_combo where tablename=" + SqlStr("员工身份") + " order by id");
  cmbPlace->Items()->Clear();
  for (q->First(); !q->Eof(); q->Next()) cmbPlace->Items()->Add(q->FieldByName("name")->AsString());
  SetCaption("员工资料维护");
  // The category window hands the picked department to this dialog while it is open.
  RegisterCategoryPickTarget("depart", this, edtDepart, edtTypeCode);
}

void TfrmEmpAdd::FormShow(TObject*) {
  ClearFields();
  if (AddMode != 1) LoadFields();
}

void TfrmEmpAdd::ClearFields() {
  for (TCustomEdit* e : {static_cast<TCustomEdit*>(edtEmpName), static_cast<TCustomEdit*>(edtAge),
                         static_cast<TCustomEdit*>(edtPhone), static_cast<TCustomEdit*>(edtEmail),
                         static_cast<TCustomEdit*>(edtDepart), static_cast<TCustomEdit*>(edtTypeCode)})
    e->SetText("");
  cmbEmpSex->SetItemIndex(0);
  cmbPlace->SetItemIndex(cmbPlace->Items()->Count() > 0 ? 0 : -1);
  dtInDate->SetDate(Date());
  mmRemark->Lines()->Clear();
}

void TfrmEmpAdd::LoadFields() {
  TADOQuery* q = Frm_Data->qryEmp;
  edtEmpName->SetText(q->FieldByName("EmpName")->AsString());
  cmbEmpSex->SetItemIndex(cmbEmpSex->Items()->IndexOf(q->FieldByName("EmpSex")->AsString()));
  edtAge->SetText(q->FieldByName("age")->AsString());
  edtPhone->SetText(q->FieldByName("Phone")->AsString());
  edtEmail->SetText(q->FieldByName("Email")->AsString());
  // An employee without an entry date keeps today's in the picker.
  if (!q->FieldByName("InDate")->IsNull()) dtInDate->SetDate(q->FieldByName("InDate")->AsDateTime());
  edtDepart->SetText(q->FieldByName("Depart")->AsString());
  cmbPlace->SetItemIndex(cmbPlace->Items()->IndexOf(q->FieldByName("Place")->AsString()));
  mmRemark->SetText(q->FieldByName("Remark")->AsString());
  edtTypeCode->SetText(q->FieldByName("typecode")->AsString());
}

void TfrmEmpAdd::btnPostClick(TObject*) {
  for (const String& text : {edtEmpName->Text(), edtAge->Text(), edtDepart->Text(), cmbPlace->Text()})
    if (Trim(text).empty()) {
      Application->MessageBox(RequiredText, "提示", MB_OK | MB_ICONWARNING);
      return;
    }
  {
    // A failed save leaves the list on its row; a stored employee is the list's current row.
    TListRowScope row(Frm_Data->qryEmp);
    Save();
    row.Keep();
  }
  // The list counts the new employee, as a search would.
  Frm_Main->RefreshEmployeeList();
  if (AddMode == 1) ClearFields();
  else Close();
}

void TfrmEmpAdd::Save() {
  TADOQuery* q = Frm_Data->qryEmp;
  // Added while the list was never opened: the list's own statement.
  if (!q->Active()) Frm_Data->OpenQuery(q, "select * from Dict_Emp");
  if (AddMode == 1) q->Append();
  else q->Edit();
  // A failed save leaves the list as it was; the error is shown and the input stays.
  try {
    q->FieldByName("empname")->SetAsString(edtEmpName->Text());
    q->FieldByName("empsex")->SetAsString(cmbEmpSex->Text());
    q->FieldByName("age")->SetAsString(edtAge->Text());
    q->FieldByName("phone")->SetAsString(edtPhone->Text());
    q->FieldByName("email")->SetAsString(edtEmail->Text());
    q->FieldByName("indate")->SetAsDateTime(DateOf(dtInDate->Date()));
    q->FieldByName("depart")->SetAsString(edtDepart->Text());
    q->FieldByName("place")->SetAsString(cmbPlace->Text());
    q->FieldByName("remark")->SetAsString(mmRemark->Text());
    q->FieldByName("typecode")->SetAsString(edtTypeCode->Text());
    q->Post();
  } catch (...) {
    // On failure only, and it may raise: the refused row is not left in edit.
    q->Cancel();
    throw;
  }
}

void TfrmEmpAdd::btnCloseClick(TObject*) { Close(); }

// Digits and backspace are typed; other characters are dropped. Control keys (copy, paste,
// undo) go on: what a paste brings is cut to its digits by edtAgeChange.
void TfrmEmpAdd::edtAgeKeyPress(TObject*, Char& Key) {
  bool digit = Key >= U'0' && Key <= U'9';
  if (!digit && Key >= 32) Key = 0;
}

void TfrmEmpAdd::edtAgeChange(TObject*) {
  String text = edtAge->Text();
  String digits = DigitsOnly(text);
  if (digits == text) return;
  int caret = edtAge->SelStart() - (Length(text) - Length(digits));
  edtAge->SetText(digits);
  edtAge->SetSelStart(std::max(0, caret));
}

void TfrmEmpAdd::edtDepartButtonClick(TObject*) {
  std::unique_ptr<TfrmBasic> picker(CreateForm<TfrmBasic>(this));
  picker->PageCaption = "部门类别";
  picker->SelectKind = "depart";
  picker->ShowModal();
}
