#include "report/designer/frxEditStrings.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "gui/Memo.h"
#include "gui/Messages.h"
#include "gui/ToolBar.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxStringsEditorForm) {
  b.Method("FormCreate", &TfrxStringsEditorForm::FormCreate);
  b.Method("FormKeyDown", &TfrxStringsEditorForm::FormKeyDown);
  b.Method("MemoKeyDown", &TfrxStringsEditorForm::MemoKeyDown);
  b.Method("OkBClick", &TfrxStringsEditorForm::OkBClick);
  b.Method("CancelBClick", &TfrxStringsEditorForm::CancelBClick);
}

void TfrxStringsEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(4800));
  ToolBar->SetImages(ReportResources()->ToolImages());
  CancelB->SetHint(ResourceText(2));
  OkB->SetHint(ResourceText(1));
}

void TfrxStringsEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

void TfrxStringsEditorForm::MemoKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key == VK_RETURN && Shift.Contains(ssCtrl)) SetModalResult(mrOk);
  else if (Key == VK_ESCAPE) SetModalResult(mrCancel);
}

void TfrxStringsEditorForm::OkBClick(TObject*) { SetModalResult(mrOk); }
void TfrxStringsEditorForm::CancelBClick(TObject*) { SetModalResult(mrCancel); }

bool EditStrings(TComponent* Owner, TStrings* Lines) {
  TfrxStringsEditorForm form(Owner);
  form.InitForm();
  form.Memo->Lines()->Assign(Lines);
  if (form.ShowModal() != mrOk) return false;
  Lines->Assign(form.Memo->Lines());
  return true;
}
