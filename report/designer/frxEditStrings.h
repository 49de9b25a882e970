#pragma once
// The lines dialog: any string list, edited as plain lines. The opener assigns the list into
// Memo->Lines() and takes it back after OK; Ctrl+Enter confirms, Escape cancels.
#include "forms/TfrxStringsEditorForm.h"
#include "gui/Forms.h"

class TfrxStringsEditorForm : public TfrxStringsEditorFormLayout<TForm> {
  KELM_CLASS(TfrxStringsEditorForm, TfrxStringsEditorFormLayout<TForm>)
public:
  explicit TfrxStringsEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void MemoKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void OkBClick(TObject* Sender);
  void CancelBClick(TObject* Sender);
};

// The dialog on the lines; true with Lines changed when confirmed.
bool EditStrings(TComponent* Owner, TStrings* Lines);
