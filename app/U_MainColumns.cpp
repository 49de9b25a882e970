// The lists' columns: built from T_FieldShow, their order and widths saved back, and the
// query sorted by the grid's sort markers.
#include "app/U_Main.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/DB.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "grid/DBGridEh.h"

#include <cassert>
#include <optional>
#include <utility>

const char* const TFrm_Main::ColumnsSavedText = "列属性已成功保存!";
const char* const TFrm_Main::ComboListNames = "附件类型,资金性质,资金结算,合同文件,发票类型,发票状态";

namespace {

// The decimal places of a DotSize class; nullptr for a class without a format.
int TFrm_Main::* DecimalsOf(int DotSize) {
  struct TDotClass {
    int DotSize;
    int TFrm_Main::*Places;
  };
  static const TDotClass kClasses[] = {
      {1, &TFrm_Main::DotNumber},
      {2, &TFrm_Main::DotPrice},
      {3, &TFrm_Main::DotMoney},
  };
  for (const TDotClass& c : kClasses)
    if (c.DotSize == DotSize) return c.Places;
  return nullptr;
}

// Holds a collection's change notices until Release, or until it goes when the build fails;
// the notices then run (a recalculation may fail too, but never while another error is
// on its way).
class TCollectionHold {
public:
  explicit TCollectionHold(TCollection* C) : FC(C) { FC->BeginUpdate(); }
  ~TCollectionHold() {
    if (!FC) return;
    try {
      FC->EndUpdate();
    } catch (...) {
    }
  }
  void Release() { std::exchange(FC, nullptr)->EndUpdate(); }
  TCollectionHold(const TCollectionHold&) = delete;
  TCollectionHold& operator=(const TCollectionHold&) = delete;

private:
  TCollection* FC;
};

void FillComboList(TColumnEh* Column, const String& ListName) {
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, "select * from dict_combo where tablename=" + SqlStr(ListName) + " order by ShowID, id");
  for (q->First(); !q->Eof(); q->Next()) {
    String entry = q->FieldByName("name")->AsString();
    Column->KeyList()->Add(entry);
    Column->PickList()->Add(entry);
  }
}

// The dataset's own field-not-found message.
String FieldNotFoundText(TDataSet* Query, const String& FieldName) {
  try {
    Query->FieldByName(FieldName);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

}  // namespace

String TFrm_Main::DecimalFormat(int Places) {
  if (Places < 0 || Places > 10) return "";
  return Places == 0 ? String("0") : "0." + String(Places, '0');
}

void TFrm_Main::BuildGridColumns(TCustomDBGridEh* Grid, TDataSet* Query, const String& ListName) {
  assert(Grid && Query);
  TADOQuery* rows = Frm_Data->Qry_FieldShow;
  std::optional<String> missing;
  {
    // Every footer change would walk the whole dataset again; the sums are computed once,
    // when the hold ends.
    TCollectionHold sums(Grid->SumList()->SumCollection());
    TCollectionHold columns(Grid->Columns());
    Grid->Columns()->Clear();
    Frm_Data->OpenQuery(rows, "select * from T_FieldShow where show=true and TableName=" + SqlStr(ListName) +
                                  " order by ShowID, id");
    bool haveFields = Query->Fields()->Count() > 0;
    for (rows->First(); !rows->Eof(); rows->Next()) {
      String fieldName = rows->FieldByName("Field")->AsString();
      TField* field = Query->FindField(fieldName);
      if (haveFields && !field) {
        if (!missing) missing = FieldNotFoundText(Query, fieldName);
        continue;
      }
      AddListColumn(Grid, rows, field);
    }
    columns.Release();
    sums.Release();
  }
  if (missing) Application->ShowException(EDatabaseError(*missing));
}

void TFrm_Main::AddListColumn(TCustomDBGridEh* Grid, TDataSet* Row, TField* Field) {
  TColumnEh* c = Grid->Columns()->AddColumn();
  c->SetFieldName(Row->FieldByName("Field")->AsString());
  c->SetWidth(Row->FieldByName("Width")->AsInteger());
  String combo = Row->FieldByName("Dict_Combo")->AsString();
  if (!combo.empty() && Pos(combo, ComboListNames) > 0) FillComboList(c, combo);
  if (Row->FieldByName("SumField")->AsInteger() == 1) c->Footer()->SetValueType(fvtSum);
  if (int TFrm_Main::*places = DecimalsOf(Row->FieldByName("DotSize")->AsInteger()))
    c->SetDisplayFormat(DecimalFormat(this->*places));
  if (Row->FieldByName("ShowButton")->AsInteger() == 1) {
    c->SetAlwaysShowEditButton(true);
    c->SetButtonStyle(cbsEllipsis);
  }
  c->Title()->SetTitleButton(true);
  if (Field) Field->SetDisplayLabel(Row->FieldByName("Name")->AsString());
}

void TFrm_Main::SaveGridColumns(TCustomDBGridEh* Grid, const String& ListName, int Notify) {
  assert(Grid);
  TDBGridColumnsEh* columns = Grid->Columns();
  if (columns->Count() <= 1) return;
  Frm_Data->RunInTransaction([&] {
    for (int i = 0; i < columns->Count(); ++i) {
      TColumnEh* c = columns->Items(i);
      Frm_Data->ExecQuery(Frm_Data->Qry_Temp, "update T_FieldShow set showid=" + SqlInt(i) + ",width=" +
                                                  SqlInt(c->Width()) + " where tablename=" + SqlStr(ListName) +
                                                  " and field=" + SqlStr(c->FieldName()));
    }
  });
  if (Notify == 1) MessageDlg(ColumnsSavedText, mtConfirmation, {mbOK}, 0);
}

void TFrm_Main::ApplyGridSort(TCustomDBGridEh* Grid, TDataSet* Query) {
  assert(Grid && Query);
  String text;
  TColumnsEhList* marked = Grid->SortMarkedColumns();
  for (int i = 0; i < marked->Count(); ++i) {
    TColumnEh* c = marked->Items(i);
    text += c->FieldName() + (c->Title()->SortMarker() == smUpEh ? " DESC , " : ", ");
  }
  // Field names stay whole: a digit in a name (Num1) is part of it.
  if (!text.empty()) text = "  " + text.substr(0, text.size() - 2);
  if (Query->Active()) Query->SetSort(text);
}

String RemoveFirstOccurrence(const String& Text, const String& Part) {
  if (Part.empty()) return Text;
  std::size_t at = Text.find(Part);
  if (at == String::npos) return Text;
  String result = Text;
  result.erase(at, Part.size());
  return result;
}
