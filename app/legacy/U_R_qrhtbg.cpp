#include "app/legacy/U_R_qrhtbg.h"

#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/legacy/UnconfirmedList.h"
#include "core/ClassBuilder.h"
#include "data/ADODB.h"

const char* const TFrm_R_qrhtbg::Statement = "select * from T_HTbg where QRzt='未确认'";

KELM_PUBLISH(TFrm_R_qrhtbg) {
  b.Method("FormShow", &TFrm_R_qrhtbg::FormShow);
  b.Method("BitBtn1Click", &TFrm_R_qrhtbg::BitBtn1Click);
  b.Method("SpeedButton1Click", &TFrm_R_qrhtbg::SpeedButton1Click);
  b.Method("Btn_PrintClick", &TFrm_R_qrhtbg::Btn_PrintClick);
  b.Method("BitBtn5Click", &TFrm_R_qrhtbg::BitBtn5Click);
  b.Method("N1Click", &TFrm_R_qrhtbg::N1Click);
  b.Method("N2Click", &TFrm_R_qrhtbg::N2Click);
  b.Method("N3Click", &TFrm_R_qrhtbg::N3Click);
}

TUnconfirmedList TFrm_R_qrhtbg::List() { return {this, Frm_Data->Qry_count1, DBGridEh1, PrintDBGridEh1, Statement, "qrhtbg"}; }

void TFrm_R_qrhtbg::FormShow(TObject*) {
  SetCaption("需要确认的合同变更");
  List().Show();
}

void TFrm_R_qrhtbg::BitBtn1Click(TObject*) { List().Reread(); }
void TFrm_R_qrhtbg::N3Click(TObject*) { List().Reopen(); }
void TFrm_R_qrhtbg::SpeedButton1Click(TObject*) { List().Export(); }
void TFrm_R_qrhtbg::Btn_PrintClick(TObject*) { List().Print(); }
void TFrm_R_qrhtbg::BitBtn5Click(TObject*) { Close(); }
void TFrm_R_qrhtbg::N1Click(TObject*) { List().ChooseColumns(); }
void TFrm_R_qrhtbg::N2Click(TObject*) { List().SaveColumns(); }
