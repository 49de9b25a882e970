// The main window's report commands: the data module's reports in the preview and the
// designer.
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "report/frxClass.h"

void TFrm_Main::PrintGoodsExecute(TObject*) { Frm_Data->frx_goods->ShowReport(true); }
void TFrm_Main::PrintProjectExecute(TObject*) { Frm_Data->frx_project->ShowReport(true); }
void TFrm_Main::PrintcustExecute(TObject*) { Frm_Data->frx_cust->ShowReport(true); }
void TFrm_Main::N18Click(TObject*) { Frm_Data->frx_project->RunDesigner(); }
void TFrm_Main::N13Click(TObject*) { Frm_Data->frx_cust->RunDesigner(); }
