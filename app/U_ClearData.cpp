#include "app/U_ClearData.h"

#include "core/ClassBuilder.h"
#include "app/U_Data.h"
#include "data/ADODB.h"
#include "gui/Dialogs.h"

const char* const TFrm_ClearData::Question = "提醒,执行本操作您将丢失所有的数据,您确定要数据初始化吗?";
const char* const TFrm_ClearData::DoneText = "数据初始化成功!";
const char* const TFrm_ClearData::FailedText = "数据初始化失败!";
const char* const TFrm_ClearData::RefusedText = "清除步骤只能删除数据，此语句被拒绝执行：";

KELM_PUBLISH(TFrm_ClearData) {
  b.Method("FormShow", &TFrm_ClearData::FormShow);
  b.Method("Btn_OKClick", &TFrm_ClearData::Btn_OKClick);
  b.Method("Btn_ExitClick", &TFrm_ClearData::Btn_ExitClick);
}

void TFrm_ClearData::FormShow(TObject*) {
  SetCaption("数据初始化");
  LoadActions();
}

void TFrm_ClearData::LoadActions() {
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, "select * from Dict_ClearData where F_Flag =TRUE");
  CLB_Data->Items()->Clear();
  for (q->First(); !q->Eof(); q->Next()) {
    int i = CLB_Data->Items()->Add(q->FieldByName("Action")->AsString());
    CLB_Data->SetChecked(i, true);
  }
}

void TFrm_ClearData::Btn_OKClick(TObject*) {
  if (MessageDlg(Question, mtConfirmation, {mbYes, mbNo}, 0) != mrYes) return;
  Frm_Data->OpenQuery(Frm_Data->Qry_Temp, "select * from Dict_ClearData");
  TADOConnection* conn = Frm_Data->ADOConnection1;
  conn->BeginTrans();
  try {
    RunTicked();
    conn->CommitTrans();
  } catch (const Exception& e) {
    if (conn->InTransaction()) conn->RollbackTrans();
    String text = FailedText;
    if (auto* refused = dynamic_cast<const EStatementRefused*>(&e)) text += "\n" + (RefusedText + refused->Statement());
    MessageDlg(text, mtConfirmation, {mbOK}, 0);
    return;
  }
  RefreshOpenLists();
  MessageDlg(DoneText, mtConfirmation, {mbOK}, 0);
}

void TFrm_ClearData::RunTicked() {
  TADOQuery* steps = Frm_Data->Qry_Temp;
  for (int i = 0; i < CLB_Data->Items()->Count(); ++i) {
    if (!CLB_Data->Checked(i)) continue;
    // The first row of exactly that text (case and length); a text no row has any more is
    // skipped.
    const String action = CLB_Data->Items()->Strings(i);
    for (steps->First(); !steps->Eof(); steps->Next()) {
      if (steps->FieldByName("Action")->AsString() != action) continue;
      TDeleteOnlyScope deleteOnly(*Frm_Data->ADOConnection1);
      Frm_Data->ExecQuery(Frm_Data->Qry_Str, steps->FieldByName("SQL")->AsString());
      break;
    }
  }
}

// The lists open in the main window show the emptied tables at once.
void TFrm_ClearData::RefreshOpenLists() {
  TADOConnection* conn = Frm_Data->ADOConnection1;
  std::vector<TADOQuery*> open;
  for (int i = 0; i < conn->DataSetCount(); ++i)
    if (auto* q = dynamic_cast<TADOQuery*>(conn->DataSets(i)); q && q->Active()) open.push_back(q);
  for (TADOQuery* q : open) q->Requery();
}

void TFrm_ClearData::Btn_ExitClick(TObject*) { Close(); }
