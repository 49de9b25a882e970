#include "app/ufrmEmp.h"

#include "app/ListRow.h"
#include "app/U_Data.h"
#include "app/U_FieldShow.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"

TfrmEmp* frmEmp = nullptr;

const char* const TfrmEmp::AllEmployeesSQL = "select * from Dict_Emp";

KELM_PUBLISH(TfrmEmp) {
  b.Method("FormCreate", &TfrmEmp::FormCreate);
  b.Method("FormClose", &TfrmEmp::FormClose);
  b.Method("TB_ExitClick", &TfrmEmp::TB_ExitClick);
  b.Method("Btn_SearchClick", &TfrmEmp::Btn_SearchClick);
  b.Method("dgEmpDblClick", &TfrmEmp::dgEmpDblClick);
  b.Method("N5Click", &TfrmEmp::N5Click);
  b.Method("N6Click", &TfrmEmp::N6Click);
}

TfrmEmp::~TfrmEmp() {
  if (frmEmp == this) frmEmp = nullptr;
}

void TfrmEmp::FormCreate(TObject*) {
  SetCaption("员工管理");
  Frm_Main->ShowListSearch(Frm_Data->qryEmp, AllEmployeesSQL, dgEmp, "dict_emp", StatusBar1, nullptr);
  // Every column may be searched, dates included.
  Frm_Main->FillSearchFields(cmbField, "dict_emp", true);
  edtKey->SetText("");
}

void TfrmEmp::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfrmEmp::TB_ExitClick(TObject*) { Close(); }

void TfrmEmp::Btn_SearchClick(TObject*) {
  TListSearch search;
  search.Table = "dict_emp";
  search.ListName = "dict_emp";
  search.FieldTitle = cmbField->Text();
  search.Key = edtKey->Text();
  Frm_Main->ShowListSearch(Frm_Data->qryEmp, Frm_Main->ListSearchSQL(search), dgEmp, "dict_emp", StatusBar1,
                           Btn_Search);
}

void TfrmEmp::NoteCurrentRow() { FNotedId = CurrentKeyOf(Frm_Data->qryEmp, "empid"); }

void TfrmEmp::RefreshView() {
  TADOQuery* emp = Frm_Data->qryEmp;
  ReopenListOn(emp, "empid", FNotedId);
  Frm_Main->BuildGridColumns(dgEmp, emp, "dict_emp");
  TFrm_Main::ShowRecordCount(StatusBar1, emp->RecordCount());
}

void TfrmEmp::dgEmpDblClick(TObject*) {
  if (Frm_Main->EmpEdit->Enabled()) Frm_Main->EmpEdit->Execute();
}

void TfrmEmp::N5Click(TObject*) { ShowFieldChooser(this, "dict_emp"); }
void TfrmEmp::N6Click(TObject*) { Frm_Main->SaveGridColumns(dgEmp, "dict_emp", 1); }
