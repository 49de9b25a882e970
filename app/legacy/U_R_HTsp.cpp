#include "app/legacy/U_R_HTsp.h"

#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/legacy/UnconfirmedList.h"
#include "core/ClassBuilder.h"
#include "data/ADODB.h"

const char* const TFrm_R_HTsp::Statement = "select * from T_htsp where qrzt='未确认'";

KELM_PUBLISH(TFrm_R_HTsp) {
  b.Method("FormShow", &TFrm_R_HTsp::FormShow);
  b.Method("BitBtn1Click", &TFrm_R_HTsp::BitBtn1Click);
  b.Method("SpeedButton1Click", &TFrm_R_HTsp::SpeedButton1Click);
  b.Method("SpeedButton2Click", &TFrm_R_HTsp::SpeedButton2Click);
  b.Method("Btn_PrintClick", &TFrm_R_HTsp::Btn_PrintClick);
  b.Method("BitBtn5Click", &TFrm_R_HTsp::BitBtn5Click);
  b.Method("N1Click", &TFrm_R_HTsp::N1Click);
  b.Method("N2Click", &TFrm_R_HTsp::N2Click);
  b.Method("N3Click", &TFrm_R_HTsp::N3Click);
}

TUnconfirmedList TFrm_R_HTsp::List() { return {this, Qry_Count, DBGridEh1, PrintDBGridEh1, Statement, "qrhtsp"}; }

void TFrm_R_HTsp::FormShow(TObject*) {
  SetCaption("需要确认的合同索赔");
  List().Show();
}

void TFrm_R_HTsp::BitBtn1Click(TObject*) { List().Reread(); }
void TFrm_R_HTsp::N3Click(TObject*) { List().Reopen(); }
void TFrm_R_HTsp::SpeedButton1Click(TObject*) { List().Export(); }
void TFrm_R_HTsp::Btn_PrintClick(TObject*) { List().Print(); }
void TFrm_R_HTsp::BitBtn5Click(TObject*) { Close(); }
void TFrm_R_HTsp::N1Click(TObject*) { List().ChooseColumns(); }
void TFrm_R_HTsp::N2Click(TObject*) { List().SaveColumns(); }

void TFrm_R_HTsp::SpeedButton2Click(TObject*) {
  // The claim dialog edits the current row of the data module's claim query: it is put on the
  // claim chosen here first, and the list shows the outcome after.
  if (!Qry_Count->Active() || Qry_Count->IsEmpty()) return;
  const Variant id = Qry_Count->FieldByName("SPID")->Value();
  TADOQuery* claims = Frm_Data->Qry_htsp;
  if (!claims->Active()) Frm_Data->OpenQuery(claims, "select * from T_htsp");
  if (!claims->Locate("SPID", id, {})) {
    Frm_Data->OpenQuery(claims, "select * from T_htsp");
    if (!claims->Locate("SPID", id, {})) return;
  }
  Frm_Main->edithtsp->Execute();
  List().Reread();
}
