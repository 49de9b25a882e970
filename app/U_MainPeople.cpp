// The main window's commands of the customer and employee lists (opening the lists, the add
// and edit dialogs, deleting with the questions and dependent rows, printing and export) and
// the contract chart. Commands on a list's rows do nothing while that list is closed.
#include "app/U_Main.h"

#include "app/SqlText.h"
#include "app/U_AddCust.h"
#include "app/U_Custom.h"
#include "app/U_Data.h"
#include "app/ufrmChart.h"
#include "app/ufrmEmp.h"
#include "app/ufrmPact.h"
#include "app/ufrmPrj.h"
#include "core/ClassBuilder.h"
#include "data/ADODB.h"
#include "gui/Application.h"

#include <memory>

const char* const TFrm_Main::BoxCaption = "提示";
const char* const TFrm_Main::ContinueText = "点击确定继续操作！";
const char* const TFrm_Main::FailedText = "操作失败！";
const char* const TFrm_Main::CustInUseText = "合同信息中含有该客户信息，点击确定继续操作！";
const char* const TFrm_Main::EmpInUseText = "合同信息中含有该员工信息，点击确定继续操作！";

void TFrm_Main::PublishPeopleCommands(TClassBuilder<TFrm_Main>& b) {
  b.Method("Cust_MExecute", &TFrm_Main::Cust_MExecute);
  b.Method("AddCustExecute", &TFrm_Main::AddCustExecute);
  b.Method("EditCustExecute", &TFrm_Main::EditCustExecute);
  b.Method("DelCustExecute", &TFrm_Main::DelCustExecute);
  b.Method("CustPrintExecute", &TFrm_Main::CustPrintExecute);
  b.Method("CustExpExecute", &TFrm_Main::CustExpExecute);
  b.Method("Emp_MExecute", &TFrm_Main::Emp_MExecute);
  b.Method("EmpAddExecute", &TFrm_Main::EmpAddExecute);
  b.Method("EmpEditExecute", &TFrm_Main::EmpEditExecute);
  b.Method("EmpDelExecute", &TFrm_Main::EmpDelExecute);
  b.Method("EmpPrintExecute", &TFrm_Main::EmpPrintExecute);
  b.Method("EmpExpExecute", &TFrm_Main::EmpExpExecute);
  b.Method("PactChartExecute", &TFrm_Main::PactChartExecute);
}

namespace {

void ShowCustomerDialog(TComponent* Owner, Byte AddMode) {
  std::unique_ptr<TFrm_AddCust> dialog(CreateForm<TFrm_AddCust>(Owner, &Frm_AddCust));
  dialog->AddMode = AddMode;
  dialog->ShowModal();
}

int AskYesNo(const String& Text) {
  return Application->MessageBox(Text, TFrm_Main::BoxCaption, MB_YESNO | MB_ICONWARNING);
}

}  // namespace

bool TFrm_Main::HasCurrentRow(TDataSet* Query) { return Query && Query->Active() && !Query->IsEmpty(); }

bool TFrm_Main::ConfirmDelete(const String& InUseSQL, const String& InUseText) {
  if (!InUseSQL.empty()) {
    TADOQuery* q = Frm_Data->Qry_Temp;
    Frm_Data->OpenQuery(q, InUseSQL);
    if (!q->IsEmpty() && AskYesNo(InUseText) != IDYES) return false;
  }
  return AskYesNo(ContinueText) == IDYES;
}

// ---------------------------------------------------------------- customers

void TFrm_Main::Cust_MExecute(TObject*) { OpenMDIChild(Frm_Custom, this); }

void TFrm_Main::AddCustExecute(TObject*) { ShowCustomerDialog(this, 1); }

void TFrm_Main::EditCustExecute(TObject*) {
  if (Frm_Custom && HasCurrentRow(Frm_Data->Qry_Cust)) ShowCustomerDialog(this, 0);
}

// The customer and its contacts go in one transaction; contracts keep the customer's name.
void TFrm_Main::DelCustExecute(TObject*) {
  TADOQuery* cust = Frm_Data->Qry_Cust;
  if (!Frm_Custom || !HasCurrentRow(cust)) return;
  if (!ConfirmDelete("select * from t_pact where custname=" + SqlStr(cust->FieldByName("custname")->AsString()),
                     CustInUseText))
    return;
  String code = cust->FieldByName("CustCode")->AsString();
  DeleteInTransaction(cust, [&] {
    Frm_Data->ExecQuery(Frm_Data->Qry_Temp, "delete from t_cust_contact where custcode=" + SqlStr(code));
    cust->Delete();
  });
  // Deleted or kept, the list shows its rows as a search would, with the contacts of the
  // customer now current.
  Frm_Custom->RefreshView();
}

void TFrm_Main::CustPrintExecute(TObject*) {
  if (Frm_Custom) PrintList(Frm_Custom->dgCust, "客户打印");
}

void TFrm_Main::CustExpExecute(TObject*) {
  if (Frm_Custom) ExportGridToExcel(Frm_Data->Qry_Cust, Frm_Custom->dgCust);
}

// ---------------------------------------------------------------- employees

void TFrm_Main::RefreshEmployeeList() {
  if (frmEmp) frmEmp->RefreshView();
}

// ---------------------------------------------------------------- every open list

void TFrm_Main::NoteOpenLists() {
  if (frmPact) frmPact->NoteCurrentRow();
  if (frmPrj) frmPrj->NoteCurrentRow();
  if (Frm_Custom) Frm_Custom->NoteCurrentRow();
  if (frmEmp) frmEmp->NoteCurrentRow();
}

void TFrm_Main::RefreshOpenLists() {
  if (frmPact) frmPact->RefreshView();
  if (frmPrj) frmPrj->RefreshView();
  if (Frm_Custom) Frm_Custom->RefreshView();
  if (frmEmp) frmEmp->RefreshView();
}

void TFrm_Main::Emp_MExecute(TObject*) { OpenMDIChild(frmEmp, this); }

void TFrm_Main::EmpAddExecute(TObject*) { ShowEmployeeDialog(1); }

void TFrm_Main::EmpEditExecute(TObject*) {
  if (frmEmp && HasCurrentRow(Frm_Data->qryEmp)) ShowEmployeeDialog(0);
}

// Only the employee row goes; contracts keep the manager's name. An error is shown as any.
void TFrm_Main::EmpDelExecute(TObject*) {
  TADOQuery* emp = Frm_Data->qryEmp;
  if (!frmEmp || !HasCurrentRow(emp)) return;
  if (!ConfirmDelete("select * from t_pact where prjman=" + SqlStr(emp->FieldByName("empname")->AsString()),
                     EmpInUseText))
    return;
  emp->Delete();
  frmEmp->RefreshView();
}

void TFrm_Main::EmpPrintExecute(TObject*) {
  if (frmEmp) PrintList(frmEmp->dgEmp, "员工打印");
}

void TFrm_Main::EmpExpExecute(TObject*) {
  if (frmEmp) ExportGridToExcel(Frm_Data->qryEmp, frmEmp->dgEmp);
}

// ---------------------------------------------------------------- the contract chart

void TFrm_Main::PactChartExecute(TObject*) {
  if (frmPact) TfrmChart::ShowFor(frmPact->ChartSQL);
}
