// The one search of the lists: a search field chosen by its title in the list's T_FieldShow
// rows, a key found anywhere in that column, an optional date range and the list's own
// conditions; the rows shown with their count.
#include "app/U_Main.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/ComboBox.h"
#include "gui/ComCtrls.h"
#include "gui/Controls.h"

namespace {

// The search field's row of the list: its column and whether that column holds dates.
struct TSearchColumn {
  String Field;
  bool IsDate = false;
};

TSearchColumn FindSearchColumn(const String& ListName, const String& Title) {
  TADOQuery* q = Frm_Data->Qry_Str;
  Frm_Data->OpenQuery(q, "select * from T_FieldShow where tablename=" + SqlStr(ListName) + " and Name=" + SqlStr(Title));
  if (q->IsEmpty()) throw EDatabaseError("No search field '" + Title + "' in the list " + ListName);
  return {Trim(q->FieldByName("Field")->AsString()), SameText(Trim(q->FieldByName("fieldtype")->AsString()), "date")};
}

// The column as the statement names it: bracketed, so any field name T_FieldShow holds is
// one name. A date is compared by the text the user sees.
String ColumnText(const TSearchColumn& Column) {
  String name = SqlName(Column.Field);
  return Column.IsDate ? "format(" + name + ",'yyyy-mm-dd')" : name;
}

// Holds the hourglass and a disabled button for a scope, and puts both back however it ends.
class TBusyScope {
public:
  explicit TBusyScope(TControl* Button) : FButton(Button) {
    if (Screen) {
      FCursor = Screen->Cursor();
      Screen->SetCursor(crHourGlass);
    }
    if (FButton) FButton->SetEnabled(false);
  }
  ~TBusyScope() {
    if (FButton) FButton->SetEnabled(true);
    if (Screen) Screen->SetCursor(FCursor);
  }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;

private:
  TControl* FButton;
  TCursor FCursor = crDefault;
};

}  // namespace

String TFrm_Main::RecordCountText(int Count) { return "当前共有 " + IntToStr(Count) + " 条记录"; }

String TFrm_Main::ListSearchSQL(const TListSearch& Search) {
  std::vector<String> conditions;
  if (!Search.Key.empty())
    conditions.push_back(ColumnText(FindSearchColumn(Search.ListName, Search.FieldTitle)) + " like " +
                         SqlContains(Search.Key));
  if (!Search.DateField.empty()) {
    conditions.push_back(Search.DateField + ">=" + SqlDate(Search.BeginDate));
    conditions.push_back(Search.DateField + "<=" + SqlDate(Search.EndDate));
  }
  conditions.insert(conditions.end(), Search.Conditions.begin(), Search.Conditions.end());
  String sql = "Select * from " + Search.Table;
  for (std::size_t i = 0; i < conditions.size(); ++i) sql += (i == 0 ? " where " : " and ") + conditions[i];
  return sql;
}

int TFrm_Main::ShowListSearch(TADOQuery* Query, const String& SQL, TCustomDBGridEh* Grid, const String& ColumnList,
                              TStatusBar* Status, TControl* Button) {
  TBusyScope busy(Button);
  Frm_Data->OpenQuery(Query, SQL);
  if (Grid) BuildGridColumns(Grid, Query, ColumnList);
  int count = Query->RecordCount();
  if (Status) ShowRecordCount(Status, count);
  return count;
}

void TFrm_Main::ShowRecordCount(TStatusBar* Status, int Count) {
  if (Status->Panels()->Count() > 0) Status->Panels()->Items(0)->SetText(RecordCountText(Count));
  else Status->SetSimpleText(RecordCountText(Count));
}

void TFrm_Main::FillSearchFields(TCustomComboBox* Combo, const String& ListName, bool WithDates) {
  TADOQuery* q = Frm_Data->Qry_Temp;
  String sql = "select * from t_FieldShow where tablename=" + SqlStr(ListName);
  if (!WithDates) sql += " and fieldtype<>" + SqlStr("date");
  Frm_Data->OpenQuery(q, sql);
  TStrings* items = Combo->Items();
  items->BeginUpdate();
  items->Clear();
  for (q->First(); !q->Eof(); q->Next()) items->Add(q->FieldByName("Name")->AsString());
  items->EndUpdate();
  Combo->SetItemIndex(items->Count() > 0 ? 0 : -1);
}
