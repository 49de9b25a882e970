#pragma once
// The expression dialog: one expression line under an embedded data tree. A double click in
// the tree, or a drag from it dropped on the line, puts the tree's item text at the caret.
// The designer's AskExpression opens it (AskExpressionDialog).
#include "forms/TfrxExprEditorForm.h"
#include "gui/Forms.h"

class TfrxCustomDesigner;
class TfrxDataTreeForm;
class TfrxReport;

class TfrxExprEditorForm : public TfrxExprEditorFormLayout<TForm> {
  KELM_CLASS(TfrxExprEditorForm, TfrxExprEditorFormLayout<TForm>)
public:
  explicit TfrxExprEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // The embedded data tree, made at creation and freed with the dialog.
  TfrxDataTreeForm* DataTree() const { return FDataTree; }
  // Puts the tree's selected item text in place of the line's selection.
  void InsertSelected();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ExprMemoDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
  void ExprMemoDragDrop(TObject* Sender, TObject* Source, int X, int Y);

private:
  void DataTreeDblClick(TObject* Sender);
  bool FromOwnTree(const TObject* Source) const;

  TfrxReport* FReport = nullptr;
  TfrxDataTreeForm* FDataTree = nullptr;
};

// What the designer's AskExpression does: the dialog on Expression; true with the edited text
// on OK, false with Expression emptied otherwise.
bool AskExpressionDialog(TfrxCustomDesigner* Designer, String& Expression);
