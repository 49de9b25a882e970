#pragma once
// The data tree: a tool window with four tabs of trees showing what a report text or script
// may refer to (the report's data sets and fields, its variables and the system variables,
// the script's functions, the script classes with their members). A drag or double click
// carries the selected item's text (SelectedItemText); the window only fills the trees.
//
// The designer owns one instance and shows CBPanel with the two field-drop check boxes; the
// expression and variables editors embed their own.
#include "gui/Forms.h"

#include <memory>

class TCheckBox;
class TfrxReport;
class TfsXMLDocument;
class TLabel;
class TPageControl;
class TPanel;
class TTabSheet;
class TTreeNode;
class TTreeView;

class TfrxDataTreeForm : public TForm {
  KELM_CLASS(TfrxDataTreeForm, TForm)
public:
  explicit TfrxDataTreeForm(TComponent* AOwner);
  ~TfrxDataTreeForm() override;

  TfrxReport* Report() const { return FReport; }
  void SetReport(TfrxReport* Value) { FReport = Value; }

  // Rebuilds the data and variables trees from the report.
  void RefreshTrees();
  // The text the selected item of the active tab stands for; empty for none.
  String SelectedItemText() const;
  bool IsDataTabActive() const;
  void SetTreeColor(TColor Color);
  // Every collapsed data set node's text followed by ",".
  String CollapsedDataSets() const;
  // What the last designer-owned tree left collapsed, for the next designer's first fill.
  static String& RememberedCollapsed();

  TPageControl* Tabs = nullptr;
  TTabSheet *DataTS = nullptr, *VariablesTS = nullptr, *FunctionsTS = nullptr, *ClassesTS = nullptr;
  TTreeView *DataTree = nullptr, *VariablesTree = nullptr, *FunctionsTree = nullptr, *ClassesTree = nullptr;
  TPanel* CBPanel = nullptr;
  TCheckBox *InsFieldCB = nullptr, *InsCaptionCB = nullptr;
  TPanel* HintPanel = nullptr;
  TLabel *FunctionNameL = nullptr, *FunctionDescL = nullptr;

private:
  void BuildDataTree();
  void BuildVariablesTree();
  void FillDictionary();
  void FillFunctions();
  void FillClasses();
  void ClassExpanding(TObject* Sender, TTreeNode* Node, bool& AllowExpansion);
  void FunctionSelected(TObject* Sender, TTreeNode* Node);
  void TreeDblClick(TObject* Sender);
  TTreeView* ActiveTree() const;

  TfrxReport* FReport = nullptr;
  std::unique_ptr<TfsXMLDocument> FDictionary;
  bool FFirstFill = true;
  bool FUpdating = false;
};

// Merges the data tree's texts into the report library's table (once).
void MergeDataTreeTexts();
