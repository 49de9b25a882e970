#pragma once
// The password dialog of a protected report file.
#include "forms/TfrPasswForm.h"
#include "gui/Forms.h"

class TfrPasswForm : public TfrPasswFormLayout<TForm> {
  KELM_CLASS(TfrPasswForm, TfrPasswFormLayout<TForm>)
public:
  explicit TfrPasswForm(TComponent* AOwner) : inherited(AOwner) {}

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
};

// Asks for the password of a protected report: true and the typed text when confirmed. A
// dialog hook (tests) answers as an input dialog.
bool AskReportPassword(String& Typed);
