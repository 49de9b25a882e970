#include "app/legacy/U_employee.h"

#include "app/U_Data.h"
#include "app/U_FieldShow.h"
#include "app/U_Main.h"
#include "app/legacy/LegacyPickers.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "data/ADODB.h"
#include "grid/PrnDbgeh.h"
#include "gui/Application.h"

TFrm_employee* Frm_employee = nullptr;

const char* const TFrm_employee::AllUnitsSQL = "select * from Dict_Employee order by ID";
const char* const TFrm_employee::NoFieldText = "请选择一种查询条件进行查询！";

KELM_PUBLISH(TFrm_employee) {
  b.Method("FormShow", &TFrm_employee::FormShow);
  b.Method("FormClose", &TFrm_employee::FormClose);
  b.Method("Btn_SearchClick", &TFrm_employee::Btn_SearchClick);
  b.Method("DBGridEh1DblClick", &TFrm_employee::DBGridEh1DblClick);
  b.Method("ToolButton1Click", &TFrm_employee::ToolButton1Click);
  b.Method("TB_PrintClick", &TFrm_employee::TB_PrintClick);
  b.Method("ExcelClick", &TFrm_employee::ExcelClick);
  b.Method("TB_ExitClick", &TFrm_employee::TB_ExitClick);
  b.Method("N2Click", &TFrm_employee::N2Click);
  b.Method("N3Click", &TFrm_employee::N3Click);
}

namespace {
const char* const kColumnSet = "emploee";
}

TFrm_employee::~TFrm_employee() {
  if (Frm_employee == this) Frm_employee = nullptr;
}

void TFrm_employee::FormShow(TObject*) {
  SetCaption("内部单位");
  Frm_Main->ShowListSearch(Frm_Data->Qry_emloyee, AllUnitsSQL, DBGridEh1, kColumnSet, StatusBar1, nullptr);
  Frm_Main->FillSearchFields(Combo_Field, kColumnSet, true);
  // The unit's name, the second field, is the one searched by most.
  if (Combo_Field->Items()->Count() > 1) Combo_Field->SetItemIndex(1);
  Edit_Key->SetText("");
  if (Edit_Key->CanFocus()) Edit_Key->SetFocus();
}

void TFrm_employee::FormClose(TObject*, TCloseAction&) { Frm_Main->SaveGridColumns(DBGridEh1, kColumnSet, 0); }

void TFrm_employee::Btn_SearchClick(TObject*) {
  if (Trim(Combo_Field->Text()).empty()) {
    Application->MessageBox(NoFieldText, "提示", MB_OK | MB_ICONINFORMATION);
    return;
  }
  TListSearch search;
  search.Table = "Dict_Employee";
  search.ListName = kColumnSet;
  search.FieldTitle = Combo_Field->Text();
  search.Key = Edit_Key->Text();
  Frm_Main->ShowListSearch(Frm_Data->Qry_emloyee, Frm_Main->ListSearchSQL(search), DBGridEh1, kColumnSet, StatusBar1,
                           Btn_Search);
}

void TFrm_employee::ReturnSelection() {
  TADOQuery* q = Frm_Data->Qry_emloyee;
  if (!q->Active() || q->IsEmpty()) return;
  if (DeliverLegacyPick(TLegacyPicker::Unit, CallerMode, q->FieldByName("name")->AsString())) Close();
}

void TFrm_employee::ToolButton1Click(TObject*) { ReturnSelection(); }

void TFrm_employee::DBGridEh1DblClick(TObject*) {
  if (Frm_Main->editemployee->Enabled()) Frm_Main->editemployee->Execute();
}

void TFrm_employee::TB_PrintClick(TObject*) { PrintDBGridEh1->ShowPreview(); }

void TFrm_employee::ExcelClick(TObject*) {
  Frm_Main->ExportFileName = Caption();
  Frm_Main->ExportGridToExcel(Frm_Data->Qry_emloyee, DBGridEh1);
}

void TFrm_employee::TB_ExitClick(TObject*) { Close(); }

void TFrm_employee::N2Click(TObject*) { ShowFieldChooser(this, kColumnSet); }

void TFrm_employee::N3Click(TObject*) { Frm_Main->SaveGridColumns(DBGridEh1, kColumnSet, 1); }
