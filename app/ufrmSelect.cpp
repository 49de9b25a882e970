#include "app/ufrmSelect.h"

#include "app/PickTargets.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_FieldShow.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "grid/DBGridEh.h"
#include "gui/ComCtrls.h"
#include "gui/StdCtrls.h"


KELM_PUBLISH(TfrmSelect) {
  b.Method("FormShow", &TfrmSelect::FormShow);
  b.Method("Btn_SearchClick", &TfrmSelect::Btn_SearchClick);
  b.Method("dgSelectDblClick", &TfrmSelect::dgSelectDblClick);
  b.Method("N1Click", &TfrmSelect::N1Click);
  b.Method("N2Click", &TfrmSelect::N2Click);
  b.Method("btnCLoseClick", &TfrmSelect::btnCLoseClick);
}

namespace {

TPickTargets& RecordTargets() {
  static TPickTargets* targets = new TPickTargets();  // never freed: dialogs may outlive statics
  return *targets;
}

}  // namespace

void RegisterRecordPickTarget(const String& Table, TComponent* Dialog, TCustomEdit* Edit) {
  RecordTargets().Add(LowerCase(Table), Dialog, {Edit});
}

void UnregisterRecordPickTargets(TComponent* Dialog) { RecordTargets().Remove(Dialog); }

int DeliverRecordPick(const String& Table, const String& Value) {
  return RecordTargets().Deliver(LowerCase(Table), {Value});
}

void TfrmSelect::FormShow(TObject*) {
  // Every column of the list may be searched, dates included.
  Frm_Main->FillSearchFields(cmbField, ListName, true);
  edtKey->SetText("");
  Frm_Main->ShowListSearch(Frm_Data->qrySelect, "select * from " + SqlName(SourceTable), dgSelect, ListName, nullptr,
                           nullptr);
}

void TfrmSelect::Btn_SearchClick(TObject*) {
  TListSearch search;
  search.Table = SqlName(SourceTable);
  search.ListName = ListName;
  search.FieldTitle = cmbField->Text();
  search.Key = edtKey->Text();
  Frm_Main->ShowListSearch(Frm_Data->qrySelect, Frm_Main->ListSearchSQL(search), dgSelect, ListName, StatusBar1,
                           Btn_Search);
}

void TfrmSelect::dgSelectDblClick(TObject*) {
  TADOQuery* rows = Frm_Data->qrySelect;
  // An empty list hands back the empty text.
  String value = rows->Active() && !rows->IsEmpty() ? rows->FieldByName(ResultField)->AsString() : String();
  DeliverRecordPick(SourceTable, value);
  SetModalResult(mrOk);
}

void TfrmSelect::N1Click(TObject*) { Frm_Main->SaveGridColumns(dgSelect, ListName, 1); }

void TfrmSelect::N2Click(TObject*) { ShowFieldChooser(this, ListName); }

void TfrmSelect::btnCLoseClick(TObject*) { Close(); }
