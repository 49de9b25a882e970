#include "app/U_Other.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "data/DB.h"

KELM_PUBLISH(TFrm_Other) {
  b.Method("FormCreate", &TFrm_Other::FormCreate);
  b.Method("FormShow", &TFrm_Other::FormShow);
  b.Method("PageControl1Change", &TFrm_Other::PageControl1Change);
  b.Method("ToolButton3Click", &TFrm_Other::ToolButton3Click);
  b.Method("ToolButton5Click", &TFrm_Other::ToolButton5Click);
  b.Method("ToolButton7Click", &TFrm_Other::ToolButton7Click);
  b.Method("TB_ExitClick", &TFrm_Other::TB_ExitClick);
}

TFrm_Other::~TFrm_Other() {
  // The shared query outlives the window: it must not call back into it.
  if (FHooked && Frm_Data && Frm_Data->qryCombo->OnNewRecord() == TDataSetNotifyEvent(this, &TFrm_Other::NewEntry))
    Frm_Data->qryCombo->SetOnNewRecord(TDataSetNotifyEvent());
}

String TFrm_Other::ListName() const {
  TTabSheet* page = PageControl1->ActivePage();
  return page ? page->Caption() : String();
}

void TFrm_Other::FormCreate(TObject*) {
  SetCaption("下拉框设置");
  // Without a list name a row the grid posts on its own would belong to no list until a save.
  Frm_Data->qryCombo->SetOnNewRecord(TDataSetNotifyEvent(this, &TFrm_Other::NewEntry));
  FHooked = true;
}

void TFrm_Other::NewEntry(TDataSet* DataSet) { DataSet->FieldByName("tablename")->SetAsString(ListName()); }

void TFrm_Other::FormShow(TObject*) {
  PageControl1->SetActivePageIndex(0);
  PageControl1Change(PageControl1);
}

void TFrm_Other::PageControl1Change(TObject*) {
  TADOQuery* q = Frm_Data->qryCombo;
  Frm_Data->OpenQuery(q, "select * from dict_combo where tablename=" + SqlStr(ListName()));
  Frm_Main->BuildGridColumns(dgCombo, q, "combo");
}

void TFrm_Other::ToolButton3Click(TObject*) { Frm_Data->qryCombo->Append(); }

void TFrm_Other::ToolButton5Click(TObject*) {
  TADOQuery* q = Frm_Data->qryCombo;
  if (q->Active() && !q->IsEmpty()) q->Delete();
}

void TFrm_Other::ToolButton7Click(TObject*) {
  TADOQuery* q = Frm_Data->qryCombo;
  String list = ListName();
  q->CheckBrowseMode();
  TControlsHold hold(q);
  try {
    q->First();
    for (int i = 0, n = q->RecordCount(); i < n && !q->Eof(); ++i) {
      q->Edit();
      q->FieldByName("tablename")->SetAsString(list);
      q->Post();
      q->Next();
    }
  } catch (...) {
    // On failure only, and it may raise: the refused row's edit goes.
    if (q->State() == dsEdit) q->Cancel();
    throw;
  }
}

void TFrm_Other::TB_ExitClick(TObject*) { Close(); }
