#include "app/legacy/LegacyRules.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/legacy/LegacyRecords.h"
#include "data/ADODB.h"
#include "gui/Application.h"

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
