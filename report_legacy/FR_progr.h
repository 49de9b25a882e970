#pragma once
// The progress window shown modally while a report builds, prints or exports: two lines of
// text and Cancel, which asks the report to stop.
#include "forms/TfrProgressForm.h"
#include "gui/Forms.h"

class TfrReport;

class TfrProgressForm : public TfrProgressFormLayout<TForm> {
  KELM_CLASS(TfrProgressForm, TfrProgressFormLayout<TForm>)
public:
  explicit TfrProgressForm(TComponent* AOwner) : inherited(AOwner) {}

  // Shows the window modally; OnStart runs inside its loop once it is up, and the work ends
  // the window by setting its modal result.
  int RunModal(TfrReport* AReport);

  TfrReport* Report = nullptr;
  String FirstCaption;
  TNotifyEvent OnStart;

  // ---- handlers named by the layout
  void Button1Click(TObject* Sender);

protected:
  void WndProc(TMessage& Message) override;
};
