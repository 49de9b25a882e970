#include "app/legacy/U_AllBill.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/legacy/LegacyPickers.h"
#include "app/legacy/LegacyWindows.h"
#include "app/legacy/U_SelectCust.h"
#include "app/legacy/U_SelectProject.h"
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"
#include "gui/ComCtrls.h"

#include <memory>
#include <set>

TFrm_AllBill* Frm_AllBill = nullptr;

const char* const TFrm_AllBill::ColumnSet = "AllBill";
const char* const TFrm_AllBill::AllBillsSQL = "select * from T_Bill order by BillCode";
const char* const TFrm_AllBill::NotFoundText = "没有找到您想要的单据!";

KELM_PUBLISH(TFrm_AllBill) {
  b.Method("FormShow", &TFrm_AllBill::FormShow);
  b.Method("FormClose", &TFrm_AllBill::FormClose);
  b.Method("Btn_SearchClick", &TFrm_AllBill::Btn_SearchClick);
  b.Method("BitBtn1Click", &TFrm_AllBill::BitBtn1Click);
  b.Method("BitBtn2Click", &TFrm_AllBill::BitBtn2Click);
  b.Method("Btn_BillClick", &TFrm_AllBill::Btn_BillClick);
  b.Method("DBGridEh1DblClick", &TFrm_AllBill::DBGridEh1DblClick);
  b.Method("DBGridEh1SortMarkingChanged", &TFrm_AllBill::DBGridEh1SortMarkingChanged);
  b.Method("Edit_CustButtonClick", &TFrm_AllBill::Edit_CustButtonClick);
  b.Method("Edit_ProjectCodeButtonClick", &TFrm_AllBill::Edit_ProjectCodeButtonClick);
  b.Method("Edit_ProjectNameButtonClick", &TFrm_AllBill::Edit_ProjectNameButtonClick);
}

namespace {

const int kCustomerMode = 6;

const bool kPickTargetsAdded = [] {
  RegisterLegacyPickTarget(TLegacyPicker::Customer, kCustomerMode, Frm_AllBill, &TFrm_AllBill::Edit_Cust);
  RegisterLegacyPickTarget(TLegacyPicker::Project, 1, Frm_AllBill, &TFrm_AllBill::Edit_ProjectCode);
  RegisterLegacyPickTarget(TLegacyPicker::Project, 2, Frm_AllBill, &TFrm_AllBill::Edit_ProjectName);
  return true;
}();

}  // namespace

TFrm_AllBill::~TFrm_AllBill() {
  if (Frm_AllBill == this) Frm_AllBill = nullptr;
}

void TFrm_AllBill::ShowBills(const String& SQL) {
  TADOQuery* q = Frm_Data->Qry_AllBill;
  Frm_Data->OpenQuery(q, SQL);
  Frm_Main->BuildGridColumns(DBGridEh1, q, ColumnSet);
  Frm_Main->StatusBar1->Panels()->Items(2)->SetText("当前共有 " + IntToStr(q->RecordCount()) + " 条单据");
}

void TFrm_AllBill::LoadBills() { ShowBills(AllBillsSQL); }

void TFrm_AllBill::FormShow(TObject*) {
  Frm_AllBill = this;
  Word year, month, day;
  DecodeDate(Date(), year, month, day);
  DateTimePicker1->SetDate(EncodeDate(year, month, 1));
  DateTimePicker2->SetDate(Date());
  for (TCustomEdit* e : {static_cast<TCustomEdit*>(Edit_GoodsCode), static_cast<TCustomEdit*>(Edit_GoodsName),
                         static_cast<TCustomEdit*>(Edit_GoodsUnit), static_cast<TCustomEdit*>(Edit_OldBill),
                         static_cast<TCustomEdit*>(Edit_User)})
    e->SetText("");
  SetCaption("查看所有单据");
  Frm_Main->FillComboFromTable(Combo_Depot, "Dict_DepotName");
  LoadBills();
  Combo_Type->Items()->Clear();
  Frm_Data->OpenQuery(Frm_Data->Qry_Temp, "select * from Dict_Bill where F_Flag=true");
  for (TADOQuery* t = Frm_Data->Qry_Temp; !t->Eof(); t->Next()) Combo_Type->Items()->Add(Trim(t->FieldByName("Name")->AsString()));
  Edit_Code->SetText("");
  Edit_Cust->SetText("");
}

void TFrm_AllBill::FormClose(TObject*, TCloseAction& Action) {
  Frm_Main->SaveGridColumns(DBGridEh1, ColumnSet, 0);
  Action = caFree;
}

std::vector<String> TFrm_AllBill::SearchConditions() const {
  struct TExact {
    const char* Column;
    String Text;
  };
  const TExact exact[] = {{"BillCode", Edit_Code->Text()},         {"GoodsCode", Edit_GoodsCode->Text()},
                          {"GoodsName", Edit_GoodsName->Text()},   {"GoodsUnit", Edit_GoodsUnit->Text()},
                          {"OldBill", Edit_OldBill->Text()},       {"DepotName", Combo_Depot->Text()},
                          {"BillType", Combo_Type->Text()},        {"UserName", Edit_User->Text()}};
  std::vector<String> conditions;
  for (const TExact& e : exact)
    if (!e.Text.empty()) conditions.push_back("(" + String(e.Column) + "=" + SqlStr(e.Text) + ")");
  for (const String& c : LegacyLikes({{"CustName", Edit_Cust->Text()},
                                      {"ProjectCode", Edit_ProjectCode->Text()},
                                      {"ProjectName", Edit_ProjectName->Text()}}))
    conditions.push_back(c);
  // Bills are stamped with the time of day: the to-date takes in its whole day.
  conditions.push_back("([Adddate]>=" + SqlDate(DateOf(DateTimePicker1->Date())) + ")");
  conditions.push_back("([Adddate]<" + SqlDate(DateOf(DateTimePicker2->Date()) + 1) + ")");
  return conditions;
}

String TFrm_AllBill::BillsOfLinesSQL(const std::vector<String>& Conditions) {
  TADOQuery* temp = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(temp, LegacySearchSQL("S_BillDetail", Conditions));
  std::set<String> seen;
  String list;
  TField* code = temp->FieldByName("BillCode");
  for (temp->First(); !temp->Eof(); temp->Next()) {
    const String c = code->AsString();
    if (!seen.insert(c).second) continue;
    list += (list.empty() ? "" : ",") + SqlStr(c);
  }
  return list.empty() ? String() : "select * from T_Bill where BillCode in(" + list + ")";
}

void TFrm_AllBill::Btn_SearchClick(TObject*) {
  const String sql = BillsOfLinesSQL(SearchConditions());
  if (sql.empty()) {
    Application->MessageBox(NotFoundText, "提示", MB_OK | MB_ICONINFORMATION);
    return;
  }
  ShowBills(sql);
}

void TFrm_AllBill::BitBtn1Click(TObject*) { LoadBills(); }

void TFrm_AllBill::BitBtn2Click(TObject*) {
  Frm_Main->ExportFileName = Caption();
  Frm_Main->ExportGridToExcel(Frm_Data->Qry_AllBill, DBGridEh1);
}

void TFrm_AllBill::OpenBill() {}
void TFrm_AllBill::Btn_BillClick(TObject*) { OpenBill(); }
void TFrm_AllBill::DBGridEh1DblClick(TObject*) { OpenBill(); }

void TFrm_AllBill::DBGridEh1SortMarkingChanged(TObject*) { Frm_Main->ApplyGridSort(DBGridEh1, Frm_Data->Qry_AllBill); }

void TFrm_AllBill::Edit_CustButtonClick(TObject*) {
  Frm_AllBill = this;
  std::unique_ptr<TFrm_SelectCust> picker(CreateForm<TFrm_SelectCust>(this, &Frm_SelectCust));
  picker->CallerMode = kCustomerMode;
  picker->ShowModal();
}

void TFrm_AllBill::PickProject(int Mode) {
  Frm_AllBill = this;
  std::unique_ptr<TFrm_SelectProject> picker(CreateForm<TFrm_SelectProject>(this, &Frm_SelectProject));
  picker->CallerMode = Mode;
  picker->ShowModal();
}

void TFrm_AllBill::Edit_ProjectCodeButtonClick(TObject*) { PickProject(1); }
void TFrm_AllBill::Edit_ProjectNameButtonClick(TObject*) { PickProject(2); }
