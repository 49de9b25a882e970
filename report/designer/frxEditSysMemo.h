#pragma once
// The system-text dialog: a system variable, an aggregate value or plain text for a
// system-text object; in aggregate-only mode it builds just an aggregate for the text editor.
// Texts are kept as they are typed, whatever the object's font character set.
#include "forms/TfrxSysMemoEditorForm.h"
#include "gui/Forms.h"

class TfrxReport;

class TfrxSysMemoEditorForm : public TfrxSysMemoEditorFormLayout<TForm> {
  KELM_CLASS(TfrxSysMemoEditorForm, TfrxSysMemoEditorFormLayout<TForm>)
public:
  explicit TfrxSysMemoEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // In: the object's text (nothing in aggregate-only mode); out on OK: the new text.
  String Text;
  bool AggregateOnly = false;

  // The aggregate the controls describe, e.g. SUM(<Customers."Amount">,MasterData1).
  String AggregateText() const;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void SampleChange(TObject* Sender);
  void DataBandCBClick(TObject* Sender);
  void DataSetCBClick(TObject* Sender);
  void DataFieldCBClick(TObject* Sender);
  void ExpressionBClick(TObject* Sender);

private:
  TfrxReport* FReport = nullptr;
};
