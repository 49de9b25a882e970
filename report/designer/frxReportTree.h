#pragma once
// The report tree: a tool window the designer keeps, showing every object of the report
// (report, pages, bands, views) in its parent's order. Clicking a node makes its object the
// designer's selection and tells the designer (OnObjectChosen); the designer rebuilds the tree
// after every change of the report's objects and selects its current object in it. Delete in
// the tree is handed to the design surface, which deletes the selection.
#include "forms/TfrxReportTreeForm.h"
#include "gui/Forms.h"

#include <vector>

class TfrxComponent;
class TfrxCustomDesigner;
class TfrxDesignerForm;
class TfrxReport;
class TTreeNode;
class TWinControl;

class TfrxReportTreeForm : public TfrxReportTreeFormLayout<TForm> {
  KELM_CLASS(TfrxReportTreeForm, TfrxReportTreeFormLayout<TForm>)
public:
  // The owner is the designer window.
  explicit TfrxReportTreeForm(TComponent* AOwner) : inherited(AOwner) {}

  // Refills the tree from the report, expands it and selects the current object.
  void RebuildTree();
  // Selects the node of the designer's first selected object, as the top item.
  void SelectCurrent();
  void SetTreeColor(TColor Color);
  // The design surface that takes the tree's Delete key; set by the designer.
  TWinControl* Surface = nullptr;
  // Fired when a click made a node's object the designer's selection.
  TNotifyEvent OnObjectChosen;

  // The image of an object's node in the tool images.
  static int ImageOf(const TfrxComponent* Object);

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void TreeChange(TObject* Sender, TTreeNode* Node);
  void TreeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

private:
  void AddObject(TTreeNode* Parent, TfrxComponent* Object);

  TfrxCustomDesigner* FDesigner = nullptr;
  TfrxReport* FReport = nullptr;
  std::vector<TfrxComponent*> FObjects;
  std::vector<TTreeNode*> FNodes;
  bool FSelecting = false;
};

// Plugs a report tree into the designer window: made with the window as owner, told of every
// change and selection, choosing objects through the window and deleting through its design
// surface. The window keeps it; the caller shows it where it wants.
TfrxReportTreeForm* AttachReportTree(TfrxDesignerForm* Designer);
