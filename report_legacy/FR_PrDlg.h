#pragma once
// The print dialog of the older engine: printer, copies with collation, page range and the
// odd/even choice. The caller reads the controls after OK; any other result puts the printer
// chosen before back.
#include "forms/TfrPrintForm.h"
#include "gui/Forms.h"

class TfrPrintForm : public TfrPrintFormLayout<TForm> {
  KELM_CLASS(TfrPrintForm, TfrPrintFormLayout<TForm>)
public:
  explicit TfrPrintForm(TComponent* AOwner) : inherited(AOwner) {}

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormDeactivate(TObject* Sender);
  void CB1Click(TObject* Sender);
  // A printer entry: the printer glyph, then the name 24 pixels from the left.
  void CB1DrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State);
  void PropButtonClick(TObject* Sender);
  void RB3Click(TObject* Sender);
  void E2Enter(TObject* Sender);
  void UpButtonClick(TObject* Sender);
  void DownButtonClick(TObject* Sender);
  void CollateCBClick(TObject* Sender);
  void Label3Click(TObject* Sender);
  void PB1Paint(TObject* Sender);

private:
  int FOldIndex = 0;
};
