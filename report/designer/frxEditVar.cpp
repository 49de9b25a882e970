#include "report/designer/frxEditVar.h"

#include "core/ClassBuilder.h"
#include "core/IniFiles.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "core/Variant.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Memo.h"
#include "gui/Messages.h"
#include "gui/StdCtrls.h"
#include "gui/ToolBar.h"
#include "gui/TreeView.h"
#include "report/designer/frxDataTree.h"
#include "report/designer/frxDialogFrame.h"
#include "report/designer/frxEditStrings.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxFormUtils.h"
#include "report/frxRes.h"
#include "report/frxVariables.h"

KELM_PUBLISH(TfrxVarEditorForm) {
  b.Method("FormCreate", &TfrxVarEditorForm::FormCreate);
  b.Method("FormShow", &TfrxVarEditorForm::FormShow);
  b.Method("FormHide", &TfrxVarEditorForm::FormHide);
  b.Method("FormKeyDown", &TfrxVarEditorForm::FormKeyDown);
  b.Method("NewCategoryBClick", &TfrxVarEditorForm::NewCategoryBClick);
  b.Method("NewVarBClick", &TfrxVarEditorForm::NewVarBClick);
  b.Method("EditBClick", &TfrxVarEditorForm::EditBClick);
  b.Method("DeleteBClick", &TfrxVarEditorForm::DeleteBClick);
  b.Method("EditListBClick", &TfrxVarEditorForm::EditListBClick);
  b.Method("LoadBClick", &TfrxVarEditorForm::LoadBClick);
  b.Method("SaveBClick", &TfrxVarEditorForm::SaveBClick);
  b.Method("OkBClick", &TfrxVarEditorForm::OkBClick);
  b.Method("CancelBClick", &TfrxVarEditorForm::CancelBClick);
  b.Method("VarTreeChange", &TfrxVarEditorForm::VarTreeChange);
  b.Method("VarTreeEditing", &TfrxVarEditorForm::VarTreeEditing);
  b.Method("VarTreeEdited", &TfrxVarEditorForm::VarTreeEdited);
  b.Method("VarTreeKeyDown", &TfrxVarEditorForm::VarTreeKeyDown);
  b.Method("ExprMemoDragOver", &TfrxVarEditorForm::ExprMemoDragOver);
  b.Method("ExprMemoDragDrop", &TfrxVarEditorForm::ExprMemoDragDrop);
}

namespace {

constexpr const char* kSection = "Form.TfrxVarEditorForm";
enum : int { kImageFolder = 66, kImageVariable = 80 };

TTreeNode* AddNode(TTreeView* Tree, TTreeNode* Parent, const String& Text, int Image) {
  TTreeNode* n = Tree->Items()->AddChild(Parent, Text);
  n->SetImageIndex(Image);
  n->SetSelectedIndex(Image);
  return n;
}

String CategoryItemName(const String& Category) { return " " + Category; }

}  // namespace

TfrxVarEditorForm::TfrxVarEditorForm(TComponent* AOwner) : inherited(AOwner) {}
TfrxVarEditorForm::~TfrxVarEditorForm() = default;

void TfrxVarEditorForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  SetCaption(ResourceText(2900));
  const std::pair<TToolButton*, int> captions[] = {{NewCategoryB, 2901}, {NewVarB, 2902}, {EditB, 2903},
                                                   {DeleteB, 2904},      {EditListB, 2905}, {LoadB, 2906},
                                                   {SaveB, 2907},        {CancelB, 2},      {OkB, 1}};
  for (auto [button, key] : captions) button->SetCaption(ResourceText(key));
  ExprPanel->SetCaption(ResourceText(2908));
  OpenDialog1->SetFilter(ResourceText(2909));
  SaveDialog1->SetFilter(ResourceText(2910));
  ToolBar->SetImages(ReportResources()->ToolImages());
  VarTree->SetImages(ReportResources()->ToolImages());

  if (auto* designer = dynamic_cast<TfrxCustomDesigner*>(Owner())) FReport = designer->Report();
  FVariables = std::make_unique<TfrxVariables>();
  if (FReport) FVariables->Assign(FReport->Variables());

  FDataTree = new TfrxDataTreeForm(this);
  FDataTree->SetReport(FReport);
  FDataTree->OnDblClick = TNotifyEvent(this, &TfrxVarEditorForm::DataTreeDblClick);
  FDataTree->Tabs->SetParent(this);
  FDataTree->Tabs->SetAlign(alRight);
  FDataTree->Tabs->SetWidth(400);
  Splitter2->SetLeft(FDataTree->Tabs->Left() - Splitter2->Width());  // the splitter stays left of the tabs
  FDataTree->HintPanel->SetHeight(60);
  FDataTree->FunctionNameL->SetHeight(17);
  FDataTree->RefreshTrees();
}

void TfrxVarEditorForm::FormShow(TObject*) {
  if (std::unique_ptr<TCustomIniFile> store = DialogSettingsStore(this)) {
    RestoreDialogLayout(store.get(), this);
    ExprMemo->SetHeight(store->ReadInteger(kSection, "Split1Pos", 76));
    FDataTree->Tabs->SetWidth(store->ReadInteger(kSection, "Split2Pos", 400));
  }
  BuildTree();
  if (VarTree->CanFocus()) VarTree->SetFocus();
}

void TfrxVarEditorForm::FormHide(TObject*) {
  if (std::unique_ptr<TCustomIniFile> store = DialogSettingsStore(this)) {
    SaveDialogLayout(store.get(), this);
    store->WriteInteger(kSection, "Split1Pos", ExprMemo->Height());
    store->WriteInteger(kSection, "Split2Pos", FDataTree->Tabs->Width());
  }
  if (ModalResult() != mrOk || !FReport) return;
  SelectRoot();
  FReport->Variables()->Assign(FVariables.get());
}

TTreeNode* TfrxVarEditorForm::Root() const {
  return VarTree->Items()->Count() > 0 ? VarTree->Items()->Item(0) : nullptr;
}

bool TfrxVarEditorForm::IsVariableNode(const TTreeNode* Node) const {
  return Node && Node->ImageIndex() == kImageVariable;
}

void TfrxVarEditorForm::BuildTree() {
  TRestore<bool> updating(FUpdating, true);
  StoreExpression();
  FShownVariable.clear();
  FShownText.clear();
  ExprMemo->Lines()->Clear();
  TStringList categories, names;
  FVariables->ListCategories(&categories);
  VarTree->Items()->Clear();
  TTreeNode* root = AddNode(VarTree, nullptr, String(), kImageFolder);
  // Variables before the first category sit under the root, categories or not.
  FVariables->ListCategoryVariables(String(), &names);
  for (int i = 0; i < names.Count(); ++i)
    if (!names[i].empty()) AddNode(VarTree, root, names[i], kImageVariable);
  for (int c = 0; c < categories.Count(); ++c) {
    TTreeNode* category = AddNode(VarTree, root, categories[c], kImageFolder);
    FVariables->ListCategoryVariables(categories[c], &names);
    for (int i = 0; i < names.Count(); ++i) AddNode(VarTree, category, names[i], kImageVariable);
  }
  UpdateRootText();
  VarTree->FullExpand();
  VarTree->SetTopItem(root);
}

void TfrxVarEditorForm::UpdateRootText() {
  if (TTreeNode* root = Root()) root->SetText(ReportResources()->TextOf(root->Count() > 0 ? "vaVar" : "vaNoVar"));
}

void TfrxVarEditorForm::StoreExpression() {
  if (FShownVariable.empty() || ExprMemo->Text() == FShownText) return;
  const int i = FVariables->FindIndex(FShownVariable);
  if (i >= 0) FVariables->ItemAt(i)->SetValue(ExprMemo->Text());
  FShownText = ExprMemo->Text();
}

void TfrxVarEditorForm::VarTreeChange(TObject*, TTreeNode* Node) {
  if (FUpdating) return;
  StoreExpression();
  FShownVariable = IsVariableNode(Node) ? Node->Text() : String();
  FShownText = FShownVariable.empty() ? String() : VarToStr(FVariables->GetVariables(FShownVariable));
  ExprMemo->SetText(FShownText);
}

void TfrxVarEditorForm::SelectRoot() {
  StoreExpression();
  if (TTreeNode* root = Root()) VarTree->SetSelected(root);
}

String TfrxVarEditorForm::FreeName(const String& Base) const {
  for (int n = 1;; ++n) {
    const String name = Base + std::to_string(n);
    if (FVariables->FindIndex(name) < 0) return name;
  }
}

void TfrxVarEditorForm::NewCategoryBClick(TObject*) {
  const String name = FreeName(" New Category");
  FVariables->AppendItem()->SetName(name);
  AddNode(VarTree, Root(), name.substr(1), kImageFolder);
  VarTree->FullExpand();
  UpdateRootText();
}

void TfrxVarEditorForm::NewVarBClick(TObject*) {
  TStringList categories;
  FVariables->ListCategories(&categories);
  if (categories.Count() == 0) return;
  TTreeNode* root = Root();
  TTreeNode* category = VarTree->Selected();
  if (category && IsVariableNode(category)) category = category->Parent();
  if (!category || category == root) {
    // the last category's node is the root's last child
    category = root->Item(root->Count() - 1);
  }
  const String name = FreeName("New Variable");
  FVariables->AddToCategory(category->Text(), name, String());
  AddNode(VarTree, category, name, kImageVariable);
  category->Expand(false);
}

void TfrxVarEditorForm::InsertItem() {
  TStringList categories;
  FVariables->ListCategories(&categories);
  if (categories.Count() == 0) NewCategoryBClick(nullptr);
  else NewVarBClick(nullptr);
}

void TfrxVarEditorForm::EditBClick(TObject*) {
  TTreeNode* node = VarTree->Selected();
  if (node && node != Root()) node->EditText();
}

void TfrxVarEditorForm::VarTreeEditing(TObject*, TTreeNode* Node, bool& AllowEdit) { AllowEdit = Node != Root(); }

void TfrxVarEditorForm::VarTreeEdited(TObject*, TTreeNode* Node, String& S) {
  if (S == Node->Text() || FVariables->Count() == 0) return;
  const bool variable = IsVariableNode(Node);
  const String oldName = variable ? Node->Text() : CategoryItemName(Node->Text());
  const String newName = variable ? S : CategoryItemName(S);
  const int self = FVariables->FindIndex(oldName);
  // Compared with the other items only: a change of letter case alone is a rename.
  for (int i = 0; i < FVariables->Count(); ++i) {
    if (i != self && AnsiSameText(FVariables->ItemAt(i)->Name(), newName)) {
      S = Node->Text();
      ShowErrorBox(ReportResources()->TextOf("vaDupName"));
      return;
    }
  }
  if (self >= 0) FVariables->ItemAt(self)->SetName(newName);
  if (variable && FShownVariable == oldName) FShownVariable = newName;
}

void TfrxVarEditorForm::DeleteBClick(TObject*) {
  TTreeNode* node = VarTree->Selected();
  if (!node || node == Root()) return;
  if (IsVariableNode(node)) {
    if (AnsiSameText(FShownVariable, node->Text())) FShownVariable.clear();
    FVariables->RemoveVariable(node->Text());
  } else {
    for (int i = 0; i < node->Count(); ++i)
      if (AnsiSameText(FShownVariable, node->Item(i)->Text())) FShownVariable.clear();
    FVariables->RemoveCategory(node->Text());
  }
  node->Delete();
  UpdateRootText();
}

void TfrxVarEditorForm::EditListBClick(TObject*) {
  StoreExpression();
  TStringList lines;
  for (int i = 0; i < FVariables->Count(); ++i) {
    const String& name = FVariables->ItemAt(i)->Name();
    lines.Add(!name.empty() && name[0] == ' ' ? name.substr(1) : " " + name);
  }
  if (EditStrings(this, &lines)) {
    TfrxVariables edited;
    for (int i = 0; i < lines.Count(); ++i) {
      const String line = lines[i];
      if (Trim(line).empty()) continue;
      const String name = line[0] == ' ' ? line.substr(1) : " " + line;
      const int old = FVariables->FindIndex(name);
      TfrxVariable* v = edited.AppendItem();
      v->SetName(name);
      v->SetValue(old >= 0 ? FVariables->ItemAt(old)->Value() : Variant(String()));
    }
    FShownVariable.clear();
    FVariables->Assign(&edited);
    BuildTree();
  }
  SelectRoot();
}

void TfrxVarEditorForm::LoadBClick(TObject*) {
  if (!OpenDialog1->Execute()) return;
  FShownVariable.clear();
  FVariables->ReadFromFile(OpenDialog1->FileName());
  BuildTree();
}

void TfrxVarEditorForm::SaveBClick(TObject*) {
  SelectRoot();
  if (SaveDialog1->Execute()) FVariables->WriteToFile(SaveDialog1->FileName());
}

void TfrxVarEditorForm::OkBClick(TObject*) { SetModalResult(mrOk); }
void TfrxVarEditorForm::CancelBClick(TObject*) { SetModalResult(mrCancel); }

void TfrxVarEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key == VK_RETURN && Shift.Contains(ssCtrl)) {
    SetModalResult(mrOk);
    Key = 0;
  } else if (Key == VK_ESCAPE && !VarTree->IsEditing()) {
    SetModalResult(mrCancel);
    Key = 0;
  }
  DialogHelpKey(this, Key);
}

void TfrxVarEditorForm::VarTreeKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (VarTree->IsEditing()) return;
  switch (Key) {
    case VK_RETURN:
    case VK_F2: EditBClick(nullptr); break;
    case VK_DELETE: DeleteBClick(nullptr); break;
    case VK_INSERT: InsertItem(); break;
    default: return;
  }
  Key = 0;
}

void TfrxVarEditorForm::DataTreeDblClick(TObject*) { ExprMemo->SetSelText(FDataTree->SelectedItemText()); }

bool TfrxVarEditorForm::FromOwnTree(const TObject* Source) const {
  auto* tree = dynamic_cast<const TTreeView*>(Source);
  return tree && tree->Owner() == FDataTree;
}

void TfrxVarEditorForm::ExprMemoDragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
  Accept = FromOwnTree(Source) && !FDataTree->SelectedItemText().empty();
}

void TfrxVarEditorForm::ExprMemoDragDrop(TObject*, TObject* Source, int, int) {
  if (FromOwnTree(Source)) ExprMemo->SetSelText(FDataTree->SelectedItemText());
}

bool EditReportVariables(TfrxCustomDesigner* Designer) {
  TfrxVarEditorForm form(Designer);
  form.InitForm();
  return form.ShowModal() == mrOk;
}
