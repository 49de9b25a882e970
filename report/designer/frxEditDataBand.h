#pragma once
// The data band dialog: the band's data set, picked from the report's data sets (the first
// entry stands for none), and its fixed record count. OK checks the count first; a count that
// is no whole number of at least 0 shows the conversion error and keeps the dialog open. Any
// count is taken as typed: the up-down's range only limits its own steps.
#include "forms/TfrxDataBandEditorForm.h"
#include "gui/Forms.h"

class TfrxDataBand;

class TfrxDataBandEditorForm : public TfrxDataBandEditorFormLayout<TForm> {
  KELM_CLASS(TfrxDataBandEditorForm, TfrxDataBandEditorFormLayout<TForm>)
public:
  explicit TfrxDataBandEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // Set by the opener before showing.
  TfrxDataBand* DataBand = nullptr;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void DatasetsLBClick(TObject* Sender);
  void DatasetsLBDblClick(TObject* Sender);
  void DatasetsLBDrawItem(TWinControl* Control, int Index, const TRect& ARect, TOwnerDrawState State);
  void OkBClick(TObject* Sender);

private:
  int FRecords = 0;  // the count OK checked
};
