#include "report/designer/frxEditExpr.h"

#include "core/ClassBuilder.h"
#include "core/IniFiles.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"
#include "gui/TreeView.h"
#include "report/designer/frxDataTree.h"
#include "report/designer/frxDialogFrame.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxExprEditorForm) {
  b.Method("FormCreate", &TfrxExprEditorForm::FormCreate);
  b.Method("FormShow", &TfrxExprEditorForm::FormShow);
  b.Method("FormHide", &TfrxExprEditorForm::FormHide);
  b.Method("FormKeyDown", &TfrxExprEditorForm::FormKeyDown);
  b.Method("ExprMemoDragOver", &TfrxExprEditorForm::ExprMemoDragOver);
  b.Method("ExprMemoDragDrop", &TfrxExprEditorForm::ExprMemoDragDrop);
}

void TfrxExprEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(4400));
  ExprL->SetCaption(ResourceText(4401));
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  if (auto* designer = dynamic_cast<TfrxCustomDesigner*>(Owner())) FReport = designer->Report();

  FDataTree = new TfrxDataTreeForm(this);
  FDataTree->SetReport(FReport);
  FDataTree->OnDblClick = TNotifyEvent(this, &TfrxExprEditorForm::DataTreeDblClick);
  FDataTree->Tabs->SetParent(this);
  FDataTree->Tabs->SetAlign(alClient);
  FDataTree->HintPanel->SetHeight(60);
  FDataTree->FunctionNameL->SetHeight(17);
  FDataTree->RefreshTrees();
}

void TfrxExprEditorForm::FormShow(TObject*) {
  if (std::unique_ptr<TCustomIniFile> store = DialogSettingsStore(this)) RestoreDialogLayout(store.get(), this);
  if (ExprMemo->CanFocus()) ExprMemo->SetFocus();
}

void TfrxExprEditorForm::FormHide(TObject*) {
  if (std::unique_ptr<TCustomIniFile> store = DialogSettingsStore(this)) SaveDialogLayout(store.get(), this);
}

void TfrxExprEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

void TfrxExprEditorForm::InsertSelected() {
  ExprMemo->SetSelText(FDataTree->SelectedItemText());
  if (ExprMemo->CanFocus()) ExprMemo->SetFocus();
}

void TfrxExprEditorForm::DataTreeDblClick(TObject*) { InsertSelected(); }

bool TfrxExprEditorForm::FromOwnTree(const TObject* Source) const {
  auto* tree = dynamic_cast<const TTreeView*>(Source);
  return tree && tree->Owner() == FDataTree;
}

void TfrxExprEditorForm::ExprMemoDragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
  Accept = FromOwnTree(Source) && !FDataTree->SelectedItemText().empty();
}

void TfrxExprEditorForm::ExprMemoDragDrop(TObject*, TObject* Source, int, int) {
  if (FromOwnTree(Source)) InsertSelected();
}

bool AskExpressionDialog(TfrxCustomDesigner* Designer, String& Expression) {
  TfrxExprEditorForm form(Designer);
  form.InitForm();
  form.ExprMemo->SetText(Expression);
  const bool ok = form.ShowModal() == mrOk;
  Expression = ok ? form.ExprMemo->Text() : String();
  return ok;
}
