#include "app/U_Custom.h"

#include "app/ListRow.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_FieldShow.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"

TFrm_Custom* Frm_Custom = nullptr;

const char* const TFrm_Custom::NoFieldText = "请选择一种查询条件进行查询！";
const char* const TFrm_Custom::AllCustomersSQL = "select * from T_Custom order by CustID";

KELM_PUBLISH(TFrm_Custom) {
  b.Method("FormShow", &TFrm_Custom::FormShow);
  b.Method("FormClose", &TFrm_Custom::FormClose);
  b.Method("FormKeyPress", &TFrm_Custom::FormKeyPress);
  b.Method("TB_ExitClick", &TFrm_Custom::TB_ExitClick);
  b.Method("Btn_SearchClick", &TFrm_Custom::Btn_SearchClick);
  b.Method("dbedtCustCodeChange", &TFrm_Custom::dbedtCustCodeChange);
  b.Method("dgCustDblClick", &TFrm_Custom::dgCustDblClick);
  b.Method("dgCustSortMarkingChanged", &TFrm_Custom::dgCustSortMarkingChanged);
  b.Method("N4Click", &TFrm_Custom::N4Click);
  b.Method("N5Click", &TFrm_Custom::N5Click);
  b.Method("N6Click", &TFrm_Custom::N6Click);
  b.Method("N7Click", &TFrm_Custom::N7Click);
}

TFrm_Custom::~TFrm_Custom() {
  if (Frm_Custom == this) Frm_Custom = nullptr;
}

void TFrm_Custom::FormShow(TObject*) {
  SetCaption("往来单位档案维护");
  Frm_Main->ShowListSearch(Frm_Data->Qry_Cust, AllCustomersSQL, dgCust, "Custom", StatusBar1, nullptr);
  FillSearchFields();
  Edit_Key->SetText("");
  if (Edit_Key->CanFocus()) Edit_Key->SetFocus();
}

void TFrm_Custom::FillSearchFields() {
  Frm_Main->FillSearchFields(Combo_Field, "custom", false);
  // The second field (the customer's name) is the one searched by most.
  if (Combo_Field->Items()->Count() > 1) Combo_Field->SetItemIndex(1);
}

void TFrm_Custom::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

// Enter goes on to the next control, as Tab does.
void TFrm_Custom::FormKeyPress(TObject*, Char& Key) {
  if (Key != '\r') return;
  Key = 0;
  SelectNext(ActiveControl(), true, true);
}

void TFrm_Custom::TB_ExitClick(TObject*) { Close(); }

void TFrm_Custom::Btn_SearchClick(TObject*) {
  if (Trim(Combo_Field->Text()).empty()) {
    Application->MessageBox(NoFieldText, "提示", MB_OK | MB_ICONINFORMATION);
    return;
  }
  TListSearch search;
  search.Table = "T_custom";
  search.ListName = "Custom";
  search.FieldTitle = Combo_Field->Text();
  search.Key = Edit_Key->Text();
  Frm_Main->ShowListSearch(Frm_Data->Qry_Cust, Frm_Main->ListSearchSQL(search), dgCust, "Custom", StatusBar1,
                           Btn_Search);
}

void TFrm_Custom::dbedtCustCodeChange(TObject*) {
  // The data module going at the end of the run empties the edit: nothing to follow then.
  if (!Frm_Data || ComponentState().Contains(csDestroying)) return;
  LoadContacts();
}

void TFrm_Custom::LoadContacts() {
  Frm_Data->OpenQuery(Frm_Data->qryCustContact,
                      "select * from t_cust_contact where custcode=" + SqlStr(dbedtCustCode->Text()));
  Frm_Main->BuildGridColumns(dgCustContact, Frm_Data->qryCustContact, "CustContact");
}

void TFrm_Custom::NoteCurrentRow() { FNotedCode = CurrentKeyOf(Frm_Data->Qry_Cust, "CustCode"); }

void TFrm_Custom::RefreshView() {
  TADOQuery* cust = Frm_Data->Qry_Cust;
  ReopenListOn(cust, "CustCode", FNotedCode);
  Frm_Main->BuildGridColumns(dgCust, cust, "Custom");
  TFrm_Main::ShowRecordCount(StatusBar1, cust->RecordCount());
  LoadContacts();
}

void TFrm_Custom::dgCustDblClick(TObject*) {
  if (Frm_Main->EditCust->Enabled()) Frm_Main->EditCust->Execute();
}

// Each grid's markers sort the query it shows.
void TFrm_Custom::dgCustSortMarkingChanged(TObject* Sender) {
  auto* grid = dynamic_cast<TCustomDBGridEh*>(Sender);
  if (grid && grid->DataSource() && grid->DataSource()->DataSet())
    Frm_Main->ApplyGridSort(grid, grid->DataSource()->DataSet());
}

void TFrm_Custom::N4Click(TObject*) { ShowFieldChooser(this, "Custom"); }
void TFrm_Custom::N5Click(TObject*) { Frm_Main->SaveGridColumns(dgCust, "Custom", 1); }
void TFrm_Custom::N6Click(TObject*) { ShowFieldChooser(this, "CustContact"); }
void TFrm_Custom::N7Click(TObject*) { Frm_Main->SaveGridColumns(dgCustContact, "CustContact", 1); }
