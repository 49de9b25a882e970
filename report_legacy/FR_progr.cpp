#include "report_legacy/FR_progr.h"

#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_Utils.h"

#include "core/ClassBuilder.h"
#include "gui/Messages.h"

KELM_PUBLISH(TfrProgressForm) { b.Method("Button1Click", &TfrProgressForm::Button1Click); }

namespace {
constexpr UINT kStart = WM_USER + 1;
}  // namespace

int TfrProgressForm::RunModal(TfrReport* AReport) {
  Button1->SetCaption(LocaleText(55001));
  Report = AReport;
  Label2->SetCaption("");
  PostMessage(Handle(), kStart, 0, 0);
  return ShowModal();
}

void TfrProgressForm::WndProc(TMessage& Message) {
  if (Message.Msg == kStart) {
    if (OnStart) OnStart(this);
    return;
  }
  inherited::WndProc(Message);
}

void TfrProgressForm::Button1Click(TObject*) {
  if (Report) Report->Terminated = true;
  SetModalResult(mrCancel);
}
