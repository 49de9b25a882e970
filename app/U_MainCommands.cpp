// The commands the lists share (the spreadsheet export, the print preview through the main
// window's grid printer, a combo box filled from a table) and those that open the schedules,
// the reminder and the drop-down lists: the units that hold their windows meet here.
#include "app/U_Main.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Other.h"
#include "app/ufrmInMoney.h"
#include "app/ufrmMoneyTX.h"
#include "app/ufrmOutMoney.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/DB.h"
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpExp.h"
#include "grid/PrnDbgeh.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/Shell.h"

#include <cassert>
#include <memory>

const char* const TFrm_Main::NotShownText = "数据没有显示不能导出成Excel文件!";
const char* const TFrm_Main::NoDataText = "没有数据,不能导出成Excel文件!";
const char* const TFrm_Main::ExcelFilter = "EXCEL文件(*.xls)|*.xls";

void TFrm_Main::MakeListPrinter() {
  dgPrint = new TPrintDBGridEh(this);
  dgPrint->SetName("dgPrint");
  for (TPageColontitle* t : {dgPrint->PageHeader(), dgPrint->PageFooter()}) {
    t->Font()->SetName("MS Sans Serif");
    t->Font()->SetHeight(-11);
  }
}

void TFrm_Main::Inform(const String& Text) {
  Application->MessageBox(Text, Application->Title(), MB_OK | MB_ICONINFORMATION);
}

String TFrm_Main::OpenExportQuestion(const String& FileName) { return "文件" + FileName + "已建立，是否打开文件？"; }

String TFrm_Main::ExcelFileName(const String& Chosen) {
  String name = Trim(Chosen);
  // A name of blanks names no file; ".xls" alone would be a hidden file nobody asked for.
  if (name.empty()) return name;
  return Pos(".xls", name) > 0 ? name : name + ".xls";
}

void TFrm_Main::ExportGridToExcel(TDataSet* Query, TCustomDBGridEh* Grid) {
  assert(Query && Grid);
  if (!Query->Active()) {
    Inform(NotShownText);
    Abort();
  }
  if (Query->IsEmpty()) {
    Inform(NoDataText);
    Abort();
  }
  SaveDialog1->SetFileName(ExportFileName);
  SaveDialog1->SetFilter(ExcelFilter);
  if (!SaveDialog1->Execute()) return;
  String file = ExcelFileName(SaveDialog1->FileName());
  if (file.empty()) return;
  ExportDBGridEhToFile(NewExporter<TDBGridEhExportAsXLS>, Grid, file, true);
  if (Application->MessageBox(OpenExportQuestion(file), "提示", MB_YESNO | MB_ICONWARNING) == IDYES)
    ShellExecute(Handle(), "open", file, "", "", SW_SHOWNORMAL);
}

void TFrm_Main::PrintList(TCustomDBGridEh* Grid, const String& Title) {
  assert(Grid);
  dgPrint->Title()->Clear();
  dgPrint->Title()->Add(Title);
  dgPrint->SetDBGridEh(Grid);
  dgPrint->ShowPreview();
}

void TFrm_Main::FillComboFromTable(TCustomComboBox* Combo, const String& Table) {
  assert(Combo);
  TStrings* items = Combo->Items();
  items->Clear();
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, "select * from " + SqlName(Table) + " order by id");
  for (q->First(); !q->Eof(); q->Next()) items->Add(Trim(q->Fields()->Fields(1)->AsString()));
}

void TFrm_Main::ttTXTimer(TObject*) {
  // Off before anything can fail: the reminder runs once per start, and a bad setting is
  // reported once rather than every second.
  ttTX->SetEnabled(false);
  int days = TfrmMoneyTX::ReminderDays();
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, TfrmMoneyTX::DueRowsSQL(Date(), days, ""));
  if (!q->IsEmpty()) ShowReminderWindow();
}

void TFrm_Main::ShowReminderWindow() {
  std::unique_ptr<TfrmMoneyTX> window(CreateForm<TfrmMoneyTX>(nullptr));
  window->ShowModal();
}

void TFrm_Main::ToolButton8Click(TObject*) {
  // A reminder window that is no number of days is told once, before any window shows.
  TfrmMoneyTX::ReminderDays();
  ShowReminderWindow();
}

void TFrm_Main::N22Click(TObject*) {
  std::unique_ptr<TFrm_Other> window(CreateForm<TFrm_Other>(nullptr));
  window->ShowModal();
}

void TFrm_Main::MoneyInExecute(TObject*) { OpenMDIChild(frmInMoney, this); }

void TFrm_Main::MoneyOutExecute(TObject*) { OpenMDIChild(frmOutMoney, this); }
