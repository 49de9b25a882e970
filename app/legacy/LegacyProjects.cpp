#include "app/legacy/LegacyProjects.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"

namespace {

using K = TLegacyValueKind;

const TLegacyRecordKind kProject{
    "TFrm_AddProject", "Qry_Project", "T_Project", "ProjectCode", "", "新增项目", "编辑项目", "Edit_ProjectCode",
    "项目编码不能为空!", "",
    {{"TypeCode", "ProjectType", K::TypeCode},
     {"Edit_ProjectCode", "ProjectCode", K::Code, true},
     {"Edit_ProjectName", "ProjectName", K::Text, true},
     {"Edit_GCName", "GCName", K::Text, true},
     {"Edit_Leader", "Leader", K::Text, true},
     {"Edit_GCInvest", "GCInvest", K::Amount},
     {"Edit_GCProperty", "GCProperty", K::Text, true},
     {"Memo1", "GCNote", K::Text, true},
     {"Edit_cust", "cust", K::Text, true},
     {"Edit_place", "place", K::Text, true},
     {"Combo_dw", "danwei", K::Choice, true},
     {"DE_BeginDate", "BeginDate", K::Date},
     {"DE_EndDate", "EndDate", K::Date}}};

const char* const kDuplicateText = "项目编码有重复!";

// Another project than the one in edit holds Code.
bool CodeTaken(const String& Code, int AddMode) {
  TADOQuery* temp = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(temp, "select ProjectID from T_Project where ProjectCode=" + SqlStr(Code));
  if (temp->IsEmpty() || AddMode == 1) return !temp->IsEmpty();
  int own = Frm_Data->Qry_Project->FieldByName("ProjectID")->AsInteger();
  for (temp->First(); !temp->Eof(); temp->Next())
    if (temp->Fields()->Fields(0)->AsInteger() != own) return true;
  return false;
}

}  // namespace

const TLegacyRecordKind& LegacyProjectKind() { return kProject; }

TDateTime LegacyProjectDate(TDateTime Value) { return Value > kLegacyProjectDateFloor ? Value : 0; }

void SaveLegacyProject(int AddMode, const TLegacyValues& Values) {
  const TLegacyValue* codeValue = FindLegacyValue(Values, "ProjectCode");
  String code = codeValue ? Trim(codeValue->Text) : String();
  // A code of blanks would be stored empty: it counts as none.
  if (code.empty()) throw ELegacyCheck(kProject.NameControl, kProject.NameMessage);
  TADOQuery* q = Frm_Data->Qry_Project;
  String oldCode = AddMode == 1 || !q->Active() ? String() : q->FieldByName("ProjectCode")->AsString();
  bool changed = AddMode == 1 || code != oldCode;
  if (changed && CodeTaken(code, AddMode)) throw ELegacyCheck(kProject.NameControl, kDuplicateText);
  TLegacyValues stored = Values;
  for (TLegacyValue& v : stored)
    if (v.Field->Kind == K::Date) v.Date = LegacyProjectDate(v.Date);
  if (AddMode == 1 && !q->Active()) Frm_Data->OpenQuery(q, "select * from T_Project where ProjectID=1");
  if (AddMode != 1 && changed) {
    Frm_Data->RunInTransaction([&] { WriteLegacyRow(q, AddMode, stored); });
    return;
  }
  WriteLegacyRow(q, AddMode, stored);
}

bool ReadLegacyProject(TLegacyValues& Values, String& CategoryName) {
  TADOQuery* q = Frm_Data->Qry_Project;
  if (!q->Active() || q->IsEmpty()) return false;
  Values = ReadLegacyRow(kProject.Fields, q);
  for (TLegacyValue& v : Values)
    if (v.Field->Kind == K::Date) v.Date = LegacyProjectDate(v.Date);
  TADOQuery* temp = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(temp, "select * from Category_Project where code=" +
                                SqlStr(FindLegacyValue(Values, "ProjectType")->Text));
  CategoryName = temp->IsEmpty() ? String() : temp->FieldByName("name")->AsString();
  return true;
}
