#include "app/legacy/UnconfirmedList.h"

#include "app/U_Data.h"
#include "app/U_FieldShow.h"
#include "app/U_Main.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "grid/PrnDbgeh.h"

void TUnconfirmedList::Show() const {
  Reread();
  Frm_Main->BuildGridColumns(Grid, Query, ColumnSet);
}

void TUnconfirmedList::Reread() const { Frm_Data->OpenQuery(Query, Statement); }

void TUnconfirmedList::Reopen() const {
  Query->Close();
  Query->Open();
  Frm_Main->BuildGridColumns(Grid, Query, ColumnSet);
}

void TUnconfirmedList::Export() const { Frm_Main->ExportGridToExcel(Query, Grid); }
void TUnconfirmedList::Print() const { Printer->ShowPreview(); }
void TUnconfirmedList::ChooseColumns() const { ShowFieldChooser(Window, ColumnSet); }
void TUnconfirmedList::SaveColumns() const { Frm_Main->SaveGridColumns(Grid, ColumnSet, 1); }
