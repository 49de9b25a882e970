#include "report/designer/frxEvaluateForm.h"

#include "core/ClassBuilder.h"
#include "core/Variant.h"
#include "gui/Edit.h"
#include "gui/Memo.h"
#include "gui/Messages.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxDialogFrame.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxRes.h"
#include "script/fs_iscript.h"

KELM_PUBLISH(TfrxEvaluateForm) {
  b.Method("FormCreate", &TfrxEvaluateForm::FormCreate);
  b.Method("FormShow", &TfrxEvaluateForm::FormShow);
  b.Method("FormKeyDown", &TfrxEvaluateForm::FormKeyDown);
  b.Method("ExpressionEKeyDown", &TfrxEvaluateForm::ExpressionEKeyDown);
}

String EvaluatedText(const Variant& Value) {
  if (VarIsNull(Value)) return "Null";
  if (VarType(Value) == varBoolean) return Value.AsBoolean() ? "True" : "False";
  if (VarIsStr(Value)) return "'" + VarToStr(Value) + "'";
  return VarToStr(Value);
}

void TfrxEvaluateForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  SetCaption(ResourceText(5500));
  Label1->SetCaption(ResourceText(5501));
  Label2->SetCaption(ResourceText(5502));
}

void TfrxEvaluateForm::FormShow(TObject*) {
  ExpressionE->SelectAll();
  ResultM->Lines()->Clear();
}

void TfrxEvaluateForm::Evaluate() {
  String error;
  const Variant value = Script ? Script->EvaluateExpression(ExpressionE->Text(), error) : Variant();
  ResultM->SetText(error.empty() ? EvaluatedText(value) : error);
  ExpressionE->SelectAll();
}

void TfrxEvaluateForm::ExpressionEKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_RETURN) Evaluate();
}

void TfrxEvaluateForm::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_ESCAPE) SetModalResult(mrCancel);
  DialogHelpKey(this, Key);
}

void ShowEvaluateDialog(TComponent* Owner, TfsScript* Script, const String& Expression) {
  TfrxEvaluateForm form(Owner);
  form.InitForm();
  form.Script = Script;
  form.ExpressionE->SetText(Expression);
  form.ShowModal();
}
