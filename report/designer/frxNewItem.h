#pragma once
// The new item dialog: the registered report wizards by description. OK with an entry chosen
// runs that wizard once the dialog is gone; a wizard that did its work marks the report
// modified. OK with nothing chosen runs nothing.
#include "forms/TfrxNewItemForm.h"
#include "gui/Forms.h"

class TfrxCustomDesigner;

class TfrxNewItemForm : public TfrxNewItemFormLayout<TForm> {
  KELM_CLASS(TfrxNewItemForm, TfrxNewItemFormLayout<TForm>)
public:
  explicit TfrxNewItemForm(TComponent* AOwner) : inherited(AOwner) {}

  // The registry index of the chosen wizard after OK; -1 when none is to run.
  int ChosenWizard() const;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender) {}
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ItemsLBDrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State);
  void ItemsLBDblClick(TObject* Sender);
};

// The new item command: the dialog, then the chosen wizard; true when a wizard changed the
// report.
bool RunNewItemDialog(TfrxCustomDesigner* Designer);
