#pragma once
// The group dialog: a group header's condition (a data field of a report data set, or any
// expression), with keep-together, new-page and outline options. Choosing the data field
// without a data set or a field refuses OK: a condition naming nothing would group nothing.
#include "forms/TfrxGroupEditorForm.h"
#include "gui/Forms.h"

class TfrxGroupHeader;
class TfrxReport;

class TfrxGroupEditorForm : public TfrxGroupEditorFormLayout<TForm> {
  KELM_CLASS(TfrxGroupEditorForm, TfrxGroupEditorFormLayout<TForm>)
public:
  explicit TfrxGroupEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // Set by the opener before showing.
  TfrxGroupHeader* GroupHeader = nullptr;
  // The condition OK writes.
  String NewCondition() const;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void DataSetCBClick(TObject* Sender);
  void RBClick(TObject* Sender);
  void ExpressionBClick(TObject* Sender);
  void OKBClick(TObject* Sender);

private:
  void FillFields();
  TfrxReport* FReport = nullptr;
};
