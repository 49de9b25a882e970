// The main window's opening of a workbook for the spreadsheet import, through the
// automation objects of a spreadsheet program; beside the older windows it opens.
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/legacy/U_Import.h"
#include "core/ComObj.h"
#include "core/FileUtils.h"
#include "data/ADODB.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"

#include <memory>

const char* const TFrm_Main::NoExcelText = "您系统未安装MS-EXCEL";

void TFrm_Main::CloseExcelImport() {
  // Each step is tried on its own: a workbook that will not close must not keep the
  // application alive.
  for (auto [object, member] : {std::pair<Variant*, const char*>{&ExcelBook, "close"}, {&ExcelApp, "quit"}}) {
    if (VarIsEmpty(*object)) continue;
    try {
      OleCall(*object, member);
    } catch (const Exception&) {
    }
    *object = Variant();
  }
}

void TFrm_Main::OpenExcelImport(const String& Kind) {
  OpenDialog2->SetTitle("Excel文件导入到数据库");
  OpenDialog2->SetInitialDir(ProgramFolder());
  if (!OpenDialog2->Execute()) return;
  const String file = OpenDialog2->FileName();
  ImportFileName = ExtractFileName(file);
  try {
    ExcelApp = CreateOleObject("Excel.Application");
    ExcelBook = CreateOleObject("Excel.Sheet");
  } catch (const Exception&) {
    CloseExcelImport();
    Application->MessageBox(NoExcelText, "提示", MB_OK | MB_ICONINFORMATION);
    return;
  }
  try {
    ExcelBook = OleCall(OleGet(ExcelApp, "WorkBooks"), "add");
    OleCall(OleGet(ExcelApp, "workBooks"), "open", {Variant(file)});
  } catch (const EOleError& e) {
    // The reader says what is wrong with the file and names it.
    CloseExcelImport();
    Application->MessageBox(e.Message(), "提示", MB_OK | MB_ICONINFORMATION);
    return;
  }
  OleSet(ExcelApp, "visible", Variant(false));
  const Variant used = OleGet(OleGet(ExcelApp, "ActiveSheet"), "UsedRange");
  ImportColCount = OleGet(OleGet(used, "columns"), "Count").AsInteger();
  ImportRowCount = OleGet(OleGet(used, "rows"), "count").AsInteger();
  ImportHeaders.clear();
  const Variant cells = OleGet(OleGet(ExcelApp, "ActiveSheet"), "cells");
  for (int i = 1; i <= ImportColCount; ++i)
    ImportHeaders.push_back(VarToStr(OleGet(OleCall(cells, "item", {Variant(1), Variant(i)}), "value")));

  // The first mapping rows take the titles of the second column on: row k the title of
  // column k + 1.
  TADOQuery* mapping = Frm_Data->Qry_Import;
  Frm_Data->OpenQuery(mapping, "select * from T_Import where tablename=" + SqlStr(Kind) + " order by ImportID");
  mapping->First();
  for (int k = 1; k <= mapping->RecordCount() && k < ImportColCount; ++k) {
    mapping->Edit();
    mapping->FieldByName("F_Field")->SetAsString(ImportHeaders[std::size_t(k)]);
    mapping->Post();
    mapping->Next();
  }

  std::unique_ptr<TFrm_Import> window(CreateForm<TFrm_Import>(Application));
  window->TableName = Kind;
  window->ShowModal();
}
