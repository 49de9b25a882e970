#include "report/designer/frxEditGroup.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/StdCtrls.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxGroupEditorForm) {
  b.Method("FormCreate", &TfrxGroupEditorForm::FormCreate);
  b.Method("FormKeyDown", &TfrxGroupEditorForm::FormKeyDown);
  b.Method("FormShow", &TfrxGroupEditorForm::FormShow);
  b.Method("FormHide", &TfrxGroupEditorForm::FormHide);
  b.Method("DataSetCBClick", &TfrxGroupEditorForm::DataSetCBClick);
  b.Method("RBClick", &TfrxGroupEditorForm::RBClick);
  b.Method("ExpressionBClick", &TfrxGroupEditorForm::ExpressionBClick);
  b.Method("OKBClick", &TfrxGroupEditorForm::OKBClick);
}

void TfrxGroupEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(3200));
  BreakOnL->SetCaption(ResourceText(3201));
  OptionsL->SetCaption(ResourceText(3202));
  OKB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  DataFieldRB->SetCaption(ResourceText(3203));
  ExpressionRB->SetCaption(ResourceText(3204));
  KeepGroupTogetherCB->SetCaption(ResourceText(3205));
  StartNewPageCB->SetCaption(ResourceText(3206));
  OutlineCB->SetCaption(ResourceText(3207));
}

void TfrxGroupEditorForm::FillFields() {
  DataFieldCB->Items()->Clear();
  TfrxDataSet* ds = FReport ? FReport->GetDataset(DataSetCB->Text()) : nullptr;
  if (ds) ds->GetFieldList(DataFieldCB->Items());
}

void TfrxGroupEditorForm::FormShow(TObject*) {
  FReport = GroupHeader ? GroupHeader->FindParentReport() : nullptr;
  DataSetCB->Items()->Clear();
  if (FReport) FReport->ListDataSets(DataSetCB->Items());
  const String condition = GroupHeader ? GroupHeader->Condition() : String();
  TfrxDataSet* ds = nullptr;
  String field;
  if (FReport && !condition.empty()) FReport->SplitDataSetField(condition, ds, field);
  if (condition.empty()) {
    if (DataSetCB->Items()->Count() > 0) DataSetCB->SetItemIndex(0);
    FillFields();
    DataFieldRB->SetChecked(true);
  } else if (ds && !field.empty()) {
    DataSetCB->SetItemIndex(DataSetCB->Items()->IndexOf(FReport->AliasOfDataSet(ds)));
    FillFields();
    DataFieldCB->SetText(field);
    DataFieldRB->SetChecked(true);
  } else {
    ExpressionE->SetText(condition);
    ExpressionRB->SetChecked(true);
  }
  KeepGroupTogetherCB->SetChecked(GroupHeader && GroupHeader->KeepTogether());
  StartNewPageCB->SetChecked(GroupHeader && GroupHeader->StartNewPage());
  OutlineCB->SetChecked(GroupHeader && !Trim(GroupHeader->OutlineText()).empty());
  RBClick(nullptr);
  TWinControl* focus = ExpressionRB->Checked() ? static_cast<TWinControl*>(ExpressionE) : DataFieldCB;
  if (focus->CanFocus()) focus->SetFocus();
}

void TfrxGroupEditorForm::DataSetCBClick(TObject*) { FillFields(); }

void TfrxGroupEditorForm::RBClick(TObject*) {
  const bool byField = DataFieldRB->Checked();
  DataSetCB->SetEnabled(byField);
  DataFieldCB->SetEnabled(byField);
  ExpressionE->SetEnabled(!byField);
  ExpressionB->SetEnabled(!byField);
}

void TfrxGroupEditorForm::ExpressionBClick(TObject*) {
  auto* designer = dynamic_cast<TfrxCustomDesigner*>(Owner());
  if (!designer) return;
  String expression = ExpressionE->Text();
  if (designer->AskExpression(expression) && !expression.empty()) ExpressionE->SetText(expression);
}

String TfrxGroupEditorForm::NewCondition() const {
  if (DataFieldRB->Checked()) return DataSetCB->Text() + ".\"" + DataFieldCB->Text() + "\"";
  return ExpressionE->Text();
}

void TfrxGroupEditorForm::OKBClick(TObject*) {
  if (DataFieldRB->Checked() && (Trim(DataSetCB->Text()).empty() || Trim(DataFieldCB->Text()).empty())) {
    TWinControl* missing = Trim(DataSetCB->Text()).empty() ? DataSetCB : DataFieldCB;
    if (missing->CanFocus()) missing->SetFocus();
    return;  // nothing to group on: OK is refused
  }
  SetModalResult(mrOk);
}

void TfrxGroupEditorForm::FormHide(TObject*) {
  if (ModalResult() != mrOk || !GroupHeader) return;
  const String condition = NewCondition();
  GroupHeader->SetCondition(condition);
  GroupHeader->SetKeepTogether(KeepGroupTogetherCB->Checked());
  GroupHeader->SetStartNewPage(StartNewPageCB->Checked());
  GroupHeader->SetOutlineText(OutlineCB->Checked() ? condition : String());
}

void TfrxGroupEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }
