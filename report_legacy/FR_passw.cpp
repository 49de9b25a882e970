#include "report_legacy/FR_passw.h"

#include "report_legacy/FR_Utils.h"

#include "core/ClassBuilder.h"
#include "gui/Dialogs.h"

#include <memory>

KELM_PUBLISH(TfrPasswForm) {
  b.Method("FormCreate", &TfrPasswForm::FormCreate);
  b.Method("FormShow", &TfrPasswForm::FormShow);
}

void TfrPasswForm::FormCreate(TObject*) {
  SetCaption(LocaleText(55653));
  L1->SetCaption(LocaleText(55654));
  L2->SetCaption(LocaleText(55655));
  OK->SetCaption(LocaleText(55000));
  Cancel->SetCaption(LocaleText(55001));
}

void TfrPasswForm::FormShow(TObject*) { SetActiveControl(E1); }

bool AskReportPassword(String& Typed) {
  TDialogRequest r;
  r.Kind = dkInput;
  r.Caption = LocaleText(55653);
  r.Text = LocaleText(55654);
  if (AskDialogHook(r)) {
    Typed = r.Value;
    return r.Result != 0;
  }
  auto form = std::make_unique<TfrPasswForm>(nullptr);
  form->InitForm();
  if (form->ShowModal() != mrOk) return false;
  Typed = form->E1->Text();
  return true;
}
