#include "app/ufrmMoneyTX.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmMoney.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/DB.h"

const char* const TfrmMoneyTX::UnsettledText = "未完成";

KELM_PUBLISH(TfrmMoneyTX) {
  b.Method("FormCreate", &TfrmMoneyTX::FormCreate);
  b.Method("FormShow", &TfrmMoneyTX::FormShow);
  b.Method("Excel1Click", &TfrmMoneyTX::Excel1Click);
  b.Method("Excel2Click", &TfrmMoneyTX::Excel2Click);
}

namespace {

// The two pages: the kind of rows, the data module's query, the grid and its column list.
struct TReminderPage {
  const char* ZjType;
  TADOQuery* TFrm_DataComponents::*Query;
  TDBGridEh* TfrmMoneyTXComponents::*Grid;
  TTabSheet* TfrmMoneyTXComponents::*Page;
  const char* ListName;
};
const TReminderPage kPages[] = {
    {"收款", &TFrm_DataComponents::qryInMoneyTX, &TfrmMoneyTXComponents::dgInMoney, &TfrmMoneyTXComponents::TabSheet1,
     "moneyin"},
    {"付款", &TFrm_DataComponents::qryOutMoneyTX, &TfrmMoneyTXComponents::dgOutMoney,
     &TfrmMoneyTXComponents::TabSheet2, "moneyout"},
};

TADOQuery* QueryOf(const TReminderPage& Page) { return static_cast<TFrm_DataComponents*>(Frm_Data)->*Page.Query; }

}  // namespace

int TfrmMoneyTX::ReminderDays() {
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, "select * from t_softinfo");
  return StrToInt(Trim(q->FieldByName("txday")->AsString()));
}

String TfrmMoneyTX::DueRowsSQL(TDateTime Today, int Days, const String& ZjType) {
  String where = ZjType.empty() ? String("where ") : "where zjtype=" + SqlStr(ZjType) + "  and ";
  return "select * from (select *, " + DaysToGoColumn(Today) + " from s_pactzj) " + where + "xcday<=" + SqlInt(Days) +
         " and f_check=" + SqlStr(UnsettledText) + " order by jhdate desc";
}

String TfrmMoneyTX::PageCaption(const String& Title, int Count) {
  return Title + " [ " + IntToStr(Count) + " ] ";
}

void TfrmMoneyTX::FormCreate(TObject*) { SetCaption("收付款提醒"); }

void TfrmMoneyTX::FormShow(TObject*) {
  int days = ReminderDays();
  TDateTime today = Date();
  for (const TReminderPage& p : kPages) {
    TADOQuery* q = QueryOf(p);
    Frm_Data->OpenQuery(q, DueRowsSQL(today, days, p.ZjType));
    Frm_Main->BuildGridColumns(this->*p.Grid, q, p.ListName);
    (this->*p.Page)->SetCaption(PageCaption(String(p.ZjType) + "提醒", q->RecordCount()));
  }
}

void TfrmMoneyTX::Excel1Click(TObject*) { Frm_Main->ExportGridToExcel(QueryOf(kPages[0]), dgInMoney); }

void TfrmMoneyTX::Excel2Click(TObject*) { Frm_Main->ExportGridToExcel(QueryOf(kPages[1]), dgOutMoney); }
