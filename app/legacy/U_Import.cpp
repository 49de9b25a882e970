#include "app/legacy/U_Import.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/ComObj.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/Dialogs.h"
#include "gui/Screen.h"

#include <algorithm>

KELM_PUBLISH(TFrm_Import) {
  b.Method("FormShow", &TFrm_Import::FormShow);
  b.Method("FormClose", &TFrm_Import::FormClose);
  b.Method("Btn_StartClick", &TFrm_Import::Btn_StartClick);
  b.Method("Btn_ExitClick", &TFrm_Import::Btn_ExitClick);
}

namespace {
const char* const kColumnSet = "import";
}

void TFrm_Import::FormShow(TObject*) {
  SetCaption("字段映射");
  Label1->SetCaption("Excel中共有 " + IntToStr(std::max(Frm_Main->ImportRowCount - 1, 0)) + " 条记录");
  Frm_Data->OpenQuery(Qry_Info, "Select * from T_import where tablename=" + SqlStr(TableName) + " order by importid");
  Frm_Main->BuildGridColumns(DBGridEh1, Qry_Info, kColumnSet);
  TDBGridColumnsEh* columns = DBGridEh1->Columns();
  if (columns->Count() > 0) columns->Items(0)->SetReadOnly(true);
  if (columns->Count() > 1) {
    TStrings* picks = columns->Items(1)->PickList();
    picks->Clear();
    for (const String& title : Frm_Main->ImportHeaders) picks->Add(title);
  }
}

void TFrm_Import::FormClose(TObject*, TCloseAction&) { Frm_Main->CloseExcelImport(); }

void TFrm_Import::Btn_ExitClick(TObject*) { Close(); }

std::vector<TFrm_Import::TMapping> TFrm_Import::Mappings() {
  Frm_Data->OpenQuery(Qry_Field, "select * from T_Import where F_Field<>' ' and tablename=" + SqlStr(TableName) +
                                     " order by ImportID");
  const std::vector<String>& headers = Frm_Main->ImportHeaders;
  std::vector<TMapping> mapped;
  for (Qry_Field->First(); !Qry_Field->Eof(); Qry_Field->Next()) {
    TMapping m;
    m.Title = Qry_Field->FieldByName("F_Field")->AsString();
    m.Column = Qry_Field->FieldByName("S_Field")->AsString();
    // An empty or blank title imports nothing into the column.
    if (Trim(m.Title).empty()) continue;
    auto at = std::find(headers.begin(), headers.end(), m.Title);
    if (at == headers.end())
      throw Exception("Excel第一行中没有列标题\"" + m.Title + "\"(" + Qry_Field->FieldByName("FieldName")->AsString() +
                      "),请重新设置字段映射!");
    m.SheetColumn = static_cast<int>(at - headers.begin()) + 1;
    mapped.push_back(m);
  }
  return mapped;
}

int TFrm_Import::ImportRows(const std::vector<TMapping>& Mapped) {
  Frm_Data->OpenQuery(Qry_Import, TableName != "Goods" ? "Select * from T_HT" : "Select * from T_Goods");
  std::vector<TField*> fields;
  for (const TMapping& m : Mapped) fields.push_back(Qry_Import->FieldByName(m.Column));
  const int rows = Frm_Main->ImportRowCount;
  ProgressBar1->SetMax(std::max(rows - 1, 0));
  const Variant cells = OleGet(OleGet(Frm_Main->ExcelApp, "ActiveSheet"), "Cells");
  int imported = 0;
  int row = 0;
  try {
    Frm_Data->RunInTransaction([&] {
      for (row = 2; row <= rows; ++row) {
        Qry_Import->Append();
        TScopeExit undo([this] { Qry_Import->Cancel(); });
        for (std::size_t i = 0; i < Mapped.size(); ++i) {
          Variant cell = OleCall(cells, "Item", {Variant(row), Variant(Mapped[i].SheetColumn)});
          fields[i]->SetAsString(OleGet(cell, "Text").AsString());
        }
        Qry_Import->Post();
        undo.Dismiss();
        ++imported;
        ProgressBar1->SetPosition(row - 1);
      }
    });
  } catch (const Exception& e) {
    // The rows posted before were undone with the transaction: the query forgets them too.
    Qry_Import->Close();
    ProgressBar1->SetPosition(0);
    throw Exception("Excel第 " + IntToStr(row) + " 行数据不能导入,没有导入任何数据: " + e.Message());
  }
  return imported;
}

void TFrm_Import::Btn_StartClick(TObject*) {
  if (Qry_Info->Active() && !Qry_Info->IsEmpty()) {
    if (Qry_Info->State() == dsBrowse) Qry_Info->Edit();
    Qry_Info->Post();
  }
  std::vector<TMapping> mapped = Mappings();
  Btn_Start->SetEnabled(false);
  const TCursor cursor = Screen->Cursor();
  Screen->SetCursor(crHourGlass);
  TScopeExit restore([this, cursor] {
    Btn_Start->SetEnabled(true);
    Screen->SetCursor(cursor);
  });
  const int imported = ImportRows(mapped);
  const int rows = std::max(Frm_Main->ImportRowCount - 1, 0);
  if (TableName != "Goods")
    ShowMessage("导入数据成功,导入成功" + IntToStr(imported) + "条数据");
  else
    MessageDlg("导入数据完成,导入成功 " + IntToStr(imported) + " 条,导入失败 " + IntToStr(rows - imported) + " 条",
               mtConfirmation, {mbOK}, 0);
}
