#pragma once
// The tab order dialog: the windowed controls of a dialog page (or of the selected control)
// in their order, moved up and down live; any result but OK puts the order back.
#include "forms/TfrxTabOrderEditorForm.h"
#include "gui/Forms.h"

#include <vector>

class TfrxComponent;
class TfrxCustomDesigner;

class TfrxTabOrderEditorForm : public TfrxTabOrderEditorFormLayout<TForm> {
  KELM_CLASS(TfrxTabOrderEditorForm, TfrxTabOrderEditorFormLayout<TForm>)
public:
  explicit TfrxTabOrderEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  TfrxComponent* EditedParent() const { return FParent; }

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void UpBClick(TObject* Sender);
  void DownBClick(TObject* Sender);

private:
  // Exchanges the listed entry with its neighbour, in the list and in the parent's children.
  void Exchange(int Index, int Other);

  TfrxComponent* FParent = nullptr;
  std::vector<TfrxComponent*> FOriginal;
};

// The tab order command: true when OK kept the new order.
bool EditTabOrder(TfrxCustomDesigner* Designer);
