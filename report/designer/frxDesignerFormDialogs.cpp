// The designer window's commands that open the report's dialogs: report data, variables,
// styles, report settings, connections, page settings, tab order, new item, evaluate, about.
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxAbout.h"
#include "report/designer/frxConnEditor.h"
#include "report/designer/frxEditPage.h"
#include "report/designer/frxEditReport.h"
#include "report/designer/frxEditReportData.h"
#include "report/designer/frxEditStyle.h"
#include "report/designer/frxEditTabOrder.h"
#include "report/designer/frxEditVar.h"
#include "report/designer/frxEvaluateForm.h"
#include "report/designer/frxNewItem.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include "core/ClassBuilder.h"
#include "core/StringList.h"

void TfrxDesignerForm::PublishDialogs(TClassBuilder<TfrxDesignerForm>& b) {
  b.Method("ReportDataMIClick", &TfrxDesignerForm::ReportDataMIClick);
  b.Method("VariablesCmdExecute", &TfrxDesignerForm::VariablesCmdExecute);
  b.Method("ReportStylesMIClick", &TfrxDesignerForm::ReportStylesMIClick);
  b.Method("ReportSettingsMIClick", &TfrxDesignerForm::ReportSettingsMIClick);
  b.Method("ConnectionsMIClick", &TfrxDesignerForm::ConnectionsMIClick);
  b.Method("AboutMIClick", &TfrxDesignerForm::AboutMIClick);
  b.Method("TabOrderMIClick", &TfrxDesignerForm::TabOrderMIClick);
  b.Method("NewItemCmdExecute", &TfrxDesignerForm::NewItemCmdExecute);
  b.Method("PageSettingsCmdExecute", &TfrxDesignerForm::PageSettingsCmdExecute);
}

void TfrxDesignerForm::ReportDataMIClick(TObject*) {
  if (!CheckOp(drDontEditReportData) || !EditReportData(this, Report())) return;
  FlagModified(true);
  RefreshDataTree();
}

void TfrxDesignerForm::VariablesCmdExecute(TObject*) {
  if (!CheckOp(drDontEditVariables) || !EditReportVariables(this)) return;
  FlagModified(true);
  RefreshDataTree();
}

void TfrxDesignerForm::FillStyleList() {
  TStrings* items = StyleCB->Items();
  items->Clear();
  items->Add(ReportResources()->TextOf("dsNoStyle"));
  if (Report()->Styles()) {
    TStringList names;
    Report()->Styles()->ListNames(&names);
    for (int i = 0; i < names.Count(); ++i) items->Add(names[i]);
  }
}

void TfrxDesignerForm::ReportStylesMIClick(TObject*) {
  if (!CheckOp(drDontChangeReportOptions) || !EditReportStyles(this)) return;
  FlagModified(true);
  FillStyleList();
  if (Report()->Styles()) Report()->Styles()->ApplyToMemos();
}

void TfrxDesignerForm::ReportSettingsMIClick(TObject*) {
  if (!CheckOp(drDontChangeReportOptions) || !EditReportSettings(this)) return;
  FlagModified(true);
}

void TfrxDesignerForm::ConnectionsMIClick(TObject*) { EditConnections(this, Report()); }

void TfrxDesignerForm::AboutMIClick(TObject*) { ShowAboutBox(this); }

void TfrxDesignerForm::TabOrderMIClick(TObject*) {
  if (EditTabOrder(this)) FlagModified(true);
  ReloadObjects();
}

void TfrxDesignerForm::NewItemCmdExecute(TObject*) {
  if (CheckOp(drDontCreateReport) && RunNewItemDialog(this)) FlagModified(true);
}

void TfrxDesignerForm::PageSettingsCmdExecute(TObject*) {
  auto* page = dynamic_cast<TfrxReportPage*>(Page());
  if (!CheckOp(drDontChangePageOptions) || !page || page->SubreportOwner()) return;
  if (!EditPage(this, page, FUnits)) return;
  FlagModified(true);
  LayoutReportPage();
}
