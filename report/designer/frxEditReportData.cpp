#include "report/designer/frxEditReportData.h"

#include "core/ClassBuilder.h"
#include "core/Registry.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxDesgn.h"
#include "report/designer/frxDialogFrame.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxRes.h"

#include <algorithm>
#include <vector>

KELM_PUBLISH(TfrxReportDataForm) {
  b.Method("FormCreate", &TfrxReportDataForm::FormCreate);
  b.Method("FormShow", &TfrxReportDataForm::FormShow);
  b.Method("FormHide", &TfrxReportDataForm::FormHide);
  b.Method("FormKeyDown", &TfrxReportDataForm::FormKeyDown);
  b.Method("DatasetsLBClickCheck", &TfrxReportDataForm::DatasetsLBClickCheck);
}

void TfrxReportDataForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  FConnectionsMode = TfrxDesigner::Current() && TfrxDesigner::Current()->Standalone();
  SetCaption(ResourceText(FConnectionsMode ? 5800 : 2800));
  OKB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
}

void TfrxReportDataForm::FormShow(TObject*) {
  if (!Report) return;
  TStrings* items = DatasetsLB->Items();
  items->Clear();
  if (FConnectionsMode) {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (registry.OpenKeyReadOnly(frxConnectionsKey)) registry.GetValueNames(items);
    for (int i = 0; i < items->Count(); ++i)
      DatasetsLB->SetChecked(i, AnsiSameText(items->Strings(i), Report->ReportOptions()->ConnectionName()));
    return;
  }
  std::vector<std::pair<String, TfrxDataSet*>> candidates;
  TfrxReportDataSets* offered = Report->OfferedDataSets();
  if (offered->Count() > 0) {
    for (int i = 0; i < offered->Count(); ++i)
      if (TfrxDataSet* ds = offered->Items(i)->DataSet()) candidates.emplace_back(ds->UserName(), ds);
  } else {
    TStringList global;
    ListGlobalDataSets(&global);
    for (int i = 0; i < global.Count(); ++i)
      candidates.emplace_back(global[i], static_cast<TfrxDataSet*>(global.Objects(i)));
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const auto& A, const auto& B) { return AnsiCompareText(A.first, B.first) < 0; });
  for (auto& [name, ds] : candidates) {
    const int i = items->AddObject(name, ds);
    DatasetsLB->SetChecked(i, Report->DataSets()->FindItemOf(ds) != nullptr);
  }
}

void TfrxReportDataForm::DatasetsLBClickCheck(TObject*) {
  if (!FConnectionsMode) return;
  const int clicked = DatasetsLB->ItemIndex();
  if (clicked < 0 || !DatasetsLB->Checked(clicked)) return;
  for (int i = 0; i < DatasetsLB->Items()->Count(); ++i)
    if (i != clicked) DatasetsLB->SetChecked(i, false);
}

void TfrxReportDataForm::FormHide(TObject*) {
  if (ModalResult() != mrOk || !Report) return;
  TStrings* items = DatasetsLB->Items();
  if (FConnectionsMode) {
    Report->ReportOptions()->SetConnectionName(String());
    for (int i = 0; i < items->Count(); ++i)
      if (DatasetsLB->Checked(i)) Report->ReportOptions()->SetConnectionName(items->Strings(i));
    return;
  }
  Report->DataSets()->Clear();
  for (int i = 0; i < items->Count(); ++i)
    if (DatasetsLB->Checked(i)) Report->DataSets()->AddDataSet(static_cast<TfrxDataSet*>(items->Objects(i)));
}

void TfrxReportDataForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

bool EditReportData(TComponent* Owner, TfrxReport* Report) {
  TfrxReportDataForm form(Owner);
  form.InitForm();
  form.Report = Report;
  return form.ShowModal() == mrOk;
}
