#include "report/designer/frxAbout.h"

#include "core/ClassBuilder.h"
#include "gui/Messages.h"
#include "gui/Shell.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxAboutForm) {
  b.Method("FormCreate", &TfrxAboutForm::FormCreate);
  b.Method("FormShow", &TfrxAboutForm::FormShow);
  b.Method("FormHide", &TfrxAboutForm::FormHide);
  b.Method("FormKeyDown", &TfrxAboutForm::FormKeyDown);
  b.Method("LabelClick", &TfrxAboutForm::LabelClick);
}

void TfrxAboutForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  SetCaption(ResourceText(2600));
  Label4->SetCaption(ResourceText(2601));
  Label6->SetCaption(ResourceText(2602));
  Label8->SetCaption(ResourceText(2603));
  Label2->SetCaption("Version 3.23.7");
  Label3->SetCaption("Banded reports with a visual designer.");
  Label10->SetCaption("\u00AE");  // the registered-trade-mark sign
}

void TfrxAboutForm::LabelClick(TObject* Sender) {
  auto* label = dynamic_cast<TLabel*>(Sender);
  if (!label) return;
  if (label->Tag() == 1) ShellExecute(0, "open", label->Caption(), String(), String(), SW_SHOWNORMAL);
  else if (label->Tag() == 2) ShellExecute(0, "open", "mailto:" + label->Caption(), String(), String(), SW_SHOWNORMAL);
}

void TfrxAboutForm::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_ESCAPE) SetModalResult(mrCancel);
}

void ShowAboutBox(TComponent* Owner) {
  TfrxAboutForm form(Owner);
  form.InitForm();
  form.ShowModal();
}
