#include "app/ufrmSelect.h"

#include "app/PickTargets.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_FieldShow.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "grid/DBGridEh.h"
#include "gui/ComCtrls.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"

#include <memory>

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

// The hourglass and a disabled search button while a search runs; both come back however it
// ends.
class TSearching {
public:
  explicit TSearching(TControl* Button) : FButton(Button) {
    FCursor = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    FButton->SetEnabled(false);
  }
  ~TSearching() {
    FButton->SetEnabled(true);
    Screen->SetCursor(FCursor);
  }
  TSearching(const TSearching&) = delete;
  TSearching& operator=(const TSearching&) = delete;

private:
  TControl* FButton;
  TCursor FCursor;
};

}  // namespace

void RegisterRecordPickTarget(const String& Table, TComponent* Dialog, TCustomEdit* Edit) {
  RecordTargets().Add(LowerCase(Table), Dialog, {Edit});
}

void UnregisterRecordPickTargets(TComponent* Dialog) { RecordTargets().Remove(Dialog); }

int DeliverRecordPick(const String& Table, const String& Value) {
  return RecordTargets().Deliver(LowerCase(Table), {Value});
}

String TfrmSelect::SearchSQL(const String& Table, const String& Column, const String& Key) {
  String sql = "Select * from " + SqlName(Table);
  // Bracketed: the column is whatever name the list's row holds.
  if (!Column.empty() && !Key.empty()) sql += " where " + SqlName(Column) + " like " + SqlContains(Key);
  return sql;
}

String TfrmSelect::CountText(int Count) { return "当前共有 " + IntToStr(Count) + " 条记录"; }

void TfrmSelect::FormShow(TObject*) {
  TADOQuery* fields = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(fields, "select * from t_FieldShow where tablename=" + SqlStr(ListName));
  TStrings* items = cmbField->Items();
  items->BeginUpdate();
  items->Clear();
  for (fields->First(); !fields->Eof(); fields->Next()) items->Add(fields->FieldByName("Name")->AsString());
  items->EndUpdate();
  cmbField->SetItemIndex(items->Count() > 0 ? 0 : -1);
  edtKey->SetText("");
  Frm_Data->OpenQuery(Frm_Data->qrySelect, SearchSQL(SourceTable, "", ""));
  Frm_Main->BuildGridColumns(dgSelect, Frm_Data->qrySelect, ListName);
}

String TfrmSelect::SearchColumn() const {
  TADOQuery* q = Frm_Data->Qry_Str;
  Frm_Data->OpenQuery(q, "select * from T_FieldShow where tablename=" + SqlStr(ListName) +
                             " and Name=" + SqlStr(cmbField->Text()));
  return q->IsEmpty() ? String() : Trim(q->FieldByName("Field")->AsString());
}

void TfrmSelect::Btn_SearchClick(TObject*) {
  TSearching busy(Btn_Search);
  TADOQuery* rows = Frm_Data->qrySelect;
  Frm_Data->OpenQuery(rows, SearchSQL(SourceTable, SearchColumn(), edtKey->Text()));
  Frm_Main->BuildGridColumns(dgSelect, rows, ListName);
  StatusBar1->Panels()->Items(0)->SetText(CountText(rows->RecordCount()));
}

void TfrmSelect::dgSelectDblClick(TObject*) {
  TADOQuery* rows = Frm_Data->qrySelect;
  // An empty list hands back the empty text.
  String value = rows->Active() && !rows->IsEmpty() ? rows->FieldByName(ResultField)->AsString() : String();
  DeliverRecordPick(SourceTable, value);
  SetModalResult(mrOk);
}

void TfrmSelect::N1Click(TObject*) { Frm_Main->SaveGridColumns(dgSelect, ListName, 1); }

void TfrmSelect::N2Click(TObject*) {
  std::unique_ptr<TFrm_FieldShow> chooser(CreateForm<TFrm_FieldShow>(this));
  chooser->TableName = ListName;
  chooser->ShowModal();
}

void TfrmSelect::btnCLoseClick(TObject*) { Close(); }
