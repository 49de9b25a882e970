#pragma once
// The about window: name, version, a notice, the web page and the mail addresses as links
// opened through the desktop shell. Escape closes it.
#include "forms/TfrxAboutForm.h"
#include "gui/Forms.h"

class TfrxAboutForm : public TfrxAboutFormLayout<TForm> {
  KELM_CLASS(TfrxAboutForm, TfrxAboutFormLayout<TForm>)
public:
  explicit TfrxAboutForm(TComponent* AOwner) : inherited(AOwner) {}

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender) {}
  void FormHide(TObject* Sender) {}
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  // Tag 1: a web link; tag 2: a mail address.
  void LabelClick(TObject* Sender);
};

// The about command.
void ShowAboutBox(TComponent* Owner);
