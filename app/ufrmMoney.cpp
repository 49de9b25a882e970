#include "app/ufrmMoney.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/DB.h"
#include "grid/DBGridEh.h"
#include "gui/Calendar.h"
#include "gui/ComCtrls.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/TreeView.h"

#include <cassert>

const TMoneyKind ReceiptKind = {"收款查询", "收款", false, &TFrm_DataComponents::qryInMoney, "moneyin", "收款打印"};
const TMoneyKind PaymentKind = {"付款查询", "付款", true, &TFrm_DataComponents::qryOutMoney, "moneyout", "付款打印"};

const char* const TMoneySchedule::SettledText = "已完成";
const char* const TMoneySchedule::AllStatesText = "全部";

KELM_PUBLISH(TMoneySchedule) {
  b.Method("FormCreate", &TMoneySchedule::FormCreate);
  b.Method("FormShow", &TMoneySchedule::FormShow);
  b.Method("FormClose", &TMoneySchedule::FormClose);
  b.Method("Btn_SearchClick", &TMoneySchedule::Btn_SearchClick);
  b.Method("tvPactTypeDblClick", &TMoneySchedule::tvPactTypeDblClick);
  b.Method("N8Click", &TMoneySchedule::N8Click);
  b.Method("MenuItem1Click", &TMoneySchedule::MenuItem1Click);
  b.Method("btnExpClick", &TMoneySchedule::btnExpClick);
  b.Method("btnPrintClick", &TMoneySchedule::btnPrintClick);
  b.Method("btnCloseClick", &TMoneySchedule::btnCloseClick);
}

namespace {

// The name conditions, in the order they join the statement: a column and the text sought
// in it anywhere; an empty text adds no condition.
struct TNameCondition {
  const char* Column;
  int Field;  // 0 contract, 1 project, 2 manager, 3 customer, 4 method
};
const TNameCondition kNameConditions[] = {
    {"pactname", 0}, {"PrjName", 1}, {"PrjMan", 2}, {"CustName", 3}, {"Method", 4},
};

}  // namespace

String DaysToGoColumn(TDateTime Today) { return "jhdate-" + SqlDate(Today) + " as xcday"; }

TMoneySchedule::TMoneySchedule(TComponent* AOwner, const TMoneyKind& Kind) : TForm(AOwner), FKind(Kind) {}

TADOQuery* TMoneySchedule::Query() const {
  assert(Frm_Data);
  return static_cast<TFrm_DataComponents*>(Frm_Data)->*FKind.Query;
}

String TMoneySchedule::TypeCodeOf(const String& NodeText) {
  std::size_t dash = NodeText.find('-');
  return dash == String::npos ? String() : NodeText.substr(0, dash);
}

String TMoneySchedule::SearchSQL(TDateTime Today) const {
  String where = "where zjtype=" + SqlStr(FKind.ZjType) + " ";
  String code = F.Types->Selected() ? TypeCodeOf(F.Types->Selected()->Text()) : String();
  if (!code.empty()) where += " and typecode like " + SqlStr(FKind.WithSubTypes ? code + "%" : code);
  String state = F.CompletionList->Text();
  if (state != AllStatesText) where += " and f_check=" + SqlStr(state);
  where += " and jhdate>=" + SqlDate(F.BeginDate->Date()) + " and jhdate<=" + SqlDate(F.EndDate->Date());
  const String names[] = {F.PactName->Text(), F.PrjName->Text(), F.PrjMan->Text(), F.CustName->Text(),
                          F.Method->Text()};
  for (const TNameCondition& c : kNameConditions)
    if (!names[c.Field].empty()) where += String(" and ") + c.Column + " like " + SqlContains(names[c.Field]);
  return "select *, " + DaysToGoColumn(Today) + " from s_pactzj " + where + " order by jhdate desc";
}

void TMoneySchedule::FormCreate(TObject*) {
  SetCaption(FKind.Caption);
  for (TEdit* e : {F.PactName, F.PrjName, F.PrjMan, F.CustName}) e->SetText("");
  FillMethods();
}

void TMoneySchedule::FillMethods() {
  TStrings* items = F.Method->Items();
  items->Clear();
  // The empty first item asks for no method.
  items->Add("");
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, "select * from dict_combo where tablename=" + SqlStr("资金结算"));
  for (q->First(); !q->Eof(); q->Next()) items->Add(q->FieldByName("name")->AsString());
  F.Method->SetItemIndex(0);
}

void TMoneySchedule::FormShow(TObject*) {
  Frm_Main->FillCategoryTree(F.Types, "pacttype", "合同类别");
  TDateTime today = Date();
  Word year, month, day;
  DecodeDate(today, year, month, day);
  F.BeginDate->SetDate(EncodeDate(year, month, 1));
  F.EndDate->SetDate(today);
  Btn_SearchClick(this);
}

void TMoneySchedule::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TMoneySchedule::Btn_SearchClick(TObject*) { OpenRows(SearchSQL(Date())); }

void TMoneySchedule::tvPactTypeDblClick(TObject*) { Btn_SearchClick(this); }

void TMoneySchedule::OpenRows(const String& SQL) {
  TADOQuery* q = Query();
  FSearchSQL = SQL;
  Frm_Data->OpenQuery(q, SQL);
  Frm_Main->BuildGridColumns(F.Grid, q, FKind.ListName);
  F.Status->Panels()->Items(0)->SetText("当前共有 " + IntToStr(q->RecordCount()) + " 条记录");
}

void TMoneySchedule::N8Click(TObject*) {
  TADOQuery* q = Query();
  if (!Frm_Main->HasCurrentRow(q)) return;
  // An item settled already keeps the day it was settled.
  Frm_Data->ExecQuery(Frm_Data->Qry_Temp,
                      "update t_pact_zj set f_check=" + SqlStr(SettledText) + ", sjdate=" + SqlDate(Date()) +
                          " where pactmoneyid=" + SqlInt(q->FieldByName("pactmoneyid")->AsLargeInt()) +
                          " and (f_check is null or f_check<>" + SqlStr(SettledText) + ")");
  OpenRows(FSearchSQL);
}

void TMoneySchedule::MenuItem1Click(TObject*) { Frm_Main->SaveGridColumns(F.Grid, FKind.ListName, 1); }

void TMoneySchedule::btnExpClick(TObject*) { Frm_Main->ExportGridToExcel(Query(), F.Grid); }

void TMoneySchedule::btnPrintClick(TObject*) { Frm_Main->PrintList(F.Grid, FKind.PrintTitle); }

void TMoneySchedule::btnCloseClick(TObject*) { Close(); }

void TMoneySchedule::DrawSettledCell(const TRect& Rect, int DataCol, TColumnEh* Column, TGridDrawState State) {
  TADOQuery* q = Query();
  TField* state = q->Active() ? q->FindField("f_check") : nullptr;
  if (!state || state->AsString() != SettledText) return;
  TCanvas* c = F.Grid->Canvas();
  c->Brush()->SetColor(clGreen);
  c->Font()->SetColor(clWhite);
  F.Grid->DrawColumnCellDefault(Rect, DataCol, Column, State);
}
