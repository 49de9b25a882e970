#pragma once
// The variables dialog: the report's variables as a tree of categories and variables, edited
// on a private copy that OK writes back (Cancel leaves the report untouched). A variable's
// expression is edited in the line below the tree; the embedded data tree inserts items there
// by double click or drag. Names are unique without regard to case among the other items, so a
// rename that only changes letter case is accepted. Variables that precede the first category
// are shown under the root and can be edited and deleted like the others.
#include "forms/TfrxVarEditorForm.h"
#include "gui/Forms.h"

#include <memory>

class TfrxCustomDesigner;
class TfrxDataTreeForm;
class TfrxReport;
class TfrxVariables;
class TTreeNode;

class TfrxVarEditorForm : public TfrxVarEditorFormLayout<TForm> {
  KELM_CLASS(TfrxVarEditorForm, TfrxVarEditorFormLayout<TForm>)
public:
  explicit TfrxVarEditorForm(TComponent* AOwner);
  ~TfrxVarEditorForm() override;

  // The edited copy.
  TfrxVariables* Variables() const { return FVariables.get(); }
  TfrxDataTreeForm* DataTree() const { return FDataTree; }
  TTreeNode* Root() const;
  // The insert key's work: a category while there is none, else a variable.
  void InsertItem();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void NewCategoryBClick(TObject* Sender);
  void NewVarBClick(TObject* Sender);
  void EditBClick(TObject* Sender);
  void DeleteBClick(TObject* Sender);
  void EditListBClick(TObject* Sender);
  void LoadBClick(TObject* Sender);
  void SaveBClick(TObject* Sender);
  void OkBClick(TObject* Sender);
  void CancelBClick(TObject* Sender);
  void VarTreeChange(TObject* Sender, TTreeNode* Node);
  void VarTreeEditing(TObject* Sender, TTreeNode* Node, bool& AllowEdit);
  void VarTreeEdited(TObject* Sender, TTreeNode* Node, String& S);
  void VarTreeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ExprMemoDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
  void ExprMemoDragDrop(TObject* Sender, TObject* Source, int X, int Y);

private:
  void BuildTree();
  void UpdateRootText();
  // Stores a changed expression line as the value of the variable it shows.
  void StoreExpression();
  void SelectRoot();
  bool IsVariableNode(const TTreeNode* Node) const;
  bool FromOwnTree(const TObject* Source) const;
  void DataTreeDblClick(TObject* Sender);
  String FreeName(const String& Base) const;

  TfrxReport* FReport = nullptr;
  std::unique_ptr<TfrxVariables> FVariables;
  TfrxDataTreeForm* FDataTree = nullptr;
  bool FUpdating = false;
  String FShownVariable;  // the variable the expression line shows; '' for none
  String FShownText;      // the line's text as shown, to tell an edit
};

// The variables command: the dialog on the designer's report; true when OK wrote the variables
// back (the designer then marks the report modified and refreshes its data tree).
bool EditReportVariables(TfrxCustomDesigner* Designer);
