#include "report/designer/frxReportTree.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "gui/Messages.h"
#include "gui/TreeView.h"
#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxDesignerForm.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include <algorithm>

KELM_PUBLISH(TfrxReportTreeForm) {
  b.Method("FormCreate", &TfrxReportTreeForm::FormCreate);
  b.Method("FormShow", &TfrxReportTreeForm::FormShow);
  b.Method("TreeChange", &TfrxReportTreeForm::TreeChange);
  b.Method("TreeKeyDown", &TfrxReportTreeForm::TreeKeyDown);
}

namespace {
enum : int { kImageObject = 75, kImageReport = 76, kImageReportPage = 77, kImageDialogPage = 78, kImageBand = 79 };
}

int TfrxReportTreeForm::ImageOf(const TfrxComponent* Object) {
  if (dynamic_cast<const TfrxReport*>(Object)) return kImageReport;
  if (dynamic_cast<const TfrxReportPage*>(Object)) return kImageReportPage;
  if (dynamic_cast<const TfrxDialogPage*>(Object)) return kImageDialogPage;
  if (dynamic_cast<const TfrxBand*>(Object)) return kImageBand;
  return kImageObject;
}

void TfrxReportTreeForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  SetCaption(ResourceText(2200));
  FDesigner = dynamic_cast<TfrxCustomDesigner*>(Owner());
  FReport = FDesigner ? FDesigner->Report() : nullptr;
  Tree->SetImages(ReportResources()->ToolImages());
}

void TfrxReportTreeForm::FormShow(TObject*) { RebuildTree(); }

void TfrxReportTreeForm::AddObject(TTreeNode* Parent, TfrxComponent* Object) {
  const String text = dynamic_cast<TfrxReport*>(Object) ? String("Report") : Object->Name();
  TTreeNode* node = Tree->Items()->AddChildObject(Parent, text, Object);
  const int image = ImageOf(Object);
  node->SetImageIndex(image);
  node->SetSelectedIndex(image);
  FObjects.push_back(Object);
  FNodes.push_back(node);
  for (int i = 0; i < Object->ObjectCount(); ++i) AddObject(node, Object->Objects(i));
}

void TfrxReportTreeForm::RebuildTree() {
  TRestore<bool> selecting(FSelecting, true);  // filling moves the selection: no object is chosen
  Tree->Items()->BeginUpdate();
  Tree->Items()->Clear();
  FObjects.clear();
  FNodes.clear();
  if (FReport) AddObject(nullptr, FReport);
  Tree->FullExpand();
  Tree->Items()->EndUpdate();
  SelectCurrent();
}

void TfrxReportTreeForm::SelectCurrent() {
  if (!FDesigner || FDesigner->SelectedObjects().empty()) return;
  auto* first = dynamic_cast<TfrxComponent*>(FDesigner->SelectedObjects().front());
  auto it = std::find(FObjects.begin(), FObjects.end(), first);
  if (it == FObjects.end()) return;
  TTreeNode* node = FNodes[std::size_t(it - FObjects.begin())];
  TRestore<bool> selecting(FSelecting, true);
  Tree->SetSelected(node);
  Tree->SetTopItem(node);
}

void TfrxReportTreeForm::TreeChange(TObject*, TTreeNode* Node) {
  if (FSelecting || !FDesigner || !Node || !Node->Data()) return;
  FDesigner->SelectedObjects().assign(1, static_cast<TfrxComponent*>(Node->Data()));
  if (OnObjectChosen) OnObjectChosen(this);
}

void TfrxReportTreeForm::TreeKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_DELETE && Surface) Surface->Perform(WM_KEYDOWN, VK_DELETE, 0);
}

void TfrxReportTreeForm::SetTreeColor(TColor Color) {
  Tree->SetColor(Color);
  RebuildTree();
}

TfrxReportTreeForm* AttachReportTree(TfrxDesignerForm* Designer) {
  auto* tree = new TfrxReportTreeForm(Designer);
  tree->InitForm();
  tree->Surface = Designer->Workspace();
  tree->OnObjectChosen = TNotifyEvent::Lambda([Designer, tree](TObject*) { Designer->NotifySelectionChanged(tree); });
  Designer->ReportTree = tree;
  // A hidden tree is rebuilt when it shows.
  Designer->RefreshReportTree = [tree] {
    if (tree->Visible()) tree->RebuildTree();
  };
  return tree;
}
