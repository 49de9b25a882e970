#include "app/legacy/LegacyRules.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/legacy/LegacyRecords.h"
#include "data/ADODB.h"
#include "core/StrUtils.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"

const std::vector<String>& LegacyRecordTables() {
  static const std::vector<String> tables = {"T_HTbg", "T_HTbl", "T_HTfk", "T_htfk1", "T_HTjs",
                                             "T_HTSP", "T_HTWD", "T_HTsk",  "T_htsk1"};
  return tables;
}

void DeleteLegacyContract(const String& HTCode) {
  TADOQuery* temp = Frm_Data->Qry_Temp;
  Frm_Data->RunInTransaction([&] {
    for (const String& table : LegacyRecordTables())
      Frm_Data->ExecQuery(temp, "delete from " + table + " where HTCode=" + SqlStr(HTCode));
    Frm_Data->ExecQuery(temp, "delete from T_ht where HTCode=" + SqlStr(HTCode));
  });
  RefreshLegacyRecordQueries();
}

void MoveLegacyRecords(const String& OldCode, const String& NewCode) {
  TADOQuery* temp = Frm_Data->Qry_Temp;
  for (const String& table : LegacyRecordTables())
    Frm_Data->ExecQuery(temp, "update " + table + " set HTCode=" + SqlStr(NewCode) + " where HTCode=" + SqlStr(OldCode));
}

void RefreshLegacyRecordQueries() {
  std::vector<TADOQuery*> queries{Frm_Data->Qry_HT};
  for (const TLegacyRecordKind& k : LegacyRecordKinds()) queries.push_back(LegacyQuery(k));
  for (TADOQuery* q : queries)
    if (q->Active()) q->Refresh();
}

bool DeleteLegacyRecord(const TLegacyRecordKind& Kind) {
  TADOQuery* q = LegacyQuery(Kind);
  if (!q->Active() || q->IsEmpty()) return false;
  if (Application->MessageBox(Kind.DeleteQuestion, "提示", MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  q->Delete();
  return true;
}

const char* const LegacySaveFailedText = "数据出错,数据不能保存!";
const char* const DeleteGoodsQuestion = "您确定要删除该货品吗？注意，该货品相应的业务记录也将被删除";

bool LegacySave(const std::function<void()>& Work, std::initializer_list<TDataSet*> Reread) {
  try {
    Frm_Data->RunInTransaction(Work);
    return true;
  } catch (const Exception&) {
    for (TDataSet* q : Reread) {
      if (!q->Active()) continue;
      if (q->State() != dsBrowse) q->Cancel();
      q->Refresh();
    }
    MessageDlg(LegacySaveFailedText, mtInformation, {mbOK}, 0);
    return false;
  }
}

bool DeleteGoods() {
  TADOQuery* goods = Frm_Data->Qry_Goods;
  if (!goods->Active() || goods->IsEmpty()) return false;
  if (Application->MessageBox(DeleteGoodsQuestion, "警告", MB_YESNO | MB_ICONINFORMATION) != IDYES) return false;
  const String code = goods->FieldByName("GoodsCode")->AsString();
  return LegacySave(
      [&] {
        goods->Delete();
        Frm_Data->ExecQuery(Frm_Data->Qry_Temp, "delete from T_BillDetail where GoodsCode=" + SqlStr(code));
      },
      {goods});
}

void MoveGoodsCode(const String& OldCode, const String& NewCode) {
  Frm_Data->ExecQuery(Frm_Data->Qry_Temp,
                      "update T_BillDetail set GoodsCode=" + SqlStr(NewCode) + " where GoodsCode=" + SqlStr(OldCode));
}

void RenameDepotInBills(const String& OldName, const String& NewName) {
  Frm_Data->ExecQuery(Frm_Data->Qry_Temp,
                      "update t_bill set depotname=" + SqlStr(Trim(NewName)) + " where depotname=" + SqlStr(OldName));
}
