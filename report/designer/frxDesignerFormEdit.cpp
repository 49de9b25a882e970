// The designer window's edit commands on a page (undo, redo, cut, copy, paste) and the two
// tool windows it feeds (the object inspector and the data tree).
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxDataTree.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/designer/frxDesgnWorkspace1.h"
#include "report/designer/frxInsp.h"
#include "report/designer/frxSynMemo.h"
#include "report/frxClass.h"
#include "report/frxRes.h"

#include "core/Scope.h"
#include "core/Exceptions.h"
#include "report/frxFormUtils.h"

TDesignerWorkspace* TfrxDesignerForm::DesignerWorkspace() const { return dynamic_cast<TDesignerWorkspace*>(FWorkspace); }

TfrxDesignerWorkspace* TfrxDesignerForm::CreateWorkspace() { return new TDesignerWorkspace(this); }

void TfrxDesignerForm::SetDropFields(bool Value) {
  FDropFields = Value;
  FWorkspace->Invalidate();
}

void TfrxDesignerForm::SetShowGuides(bool Value) {
  FShowGuides = Value;
  if (TDesignerWorkspace* w = DesignerWorkspace()) w->SetShowGuides(Value);
}

void TfrxDesignerForm::SetToolsColor(TColor Value) {
  FToolsColor = Value;
  if (FInspectorForm) FInspectorForm->SetPanelColor(Value);
  if (FDataTreeForm) FDataTreeForm->SetTreeColor(Value);
}

// ---------------------------------------------------------------- tool windows

void TfrxDesignerForm::CreateToolWindows() {
  FInspectorForm = new TfrxObjectInspector(this);
  FInspectorForm->OnPropertyModified = MakeEvent(this, &TfrxDesignerForm::OnModify);
  Inspector = FInspectorForm;
  RefreshInspector = [this] { InspectObjects(); };
  LockInspector = [this](bool Locked) {
    if (Locked) FInspectorForm->LockUpdates();
    else FInspectorForm->UnlockUpdates();
  };

  FDataTreeForm = new TfrxDataTreeForm(this);
  FDataTreeForm->SetReport(Report());
  DataTree = FDataTreeForm;
  RefreshDataTreeWindow = [this] { FDataTreeForm->RefreshTrees(); };
  FDataTreeForm->RefreshTrees();
  // Both float beside the window until they can be docked.
  SetToolsColor(FToolsColor);
}

void TfrxDesignerForm::InspectObjects() {
  if (!FInspectorForm) return;
  // The inspector keeps the list it is given, so the window holds it.
  FInspectedObjects.assign(SelectedObjects().begin(), SelectedObjects().end());
  std::vector<TObject*> all(Objects().begin(), Objects().end());
  FInspectorForm->FillObjectList(all);
  FInspectorForm->UnlockUpdates();
  FInspectorForm->InspectSelection(&FInspectedObjects);
}

// ---------------------------------------------------------------- undo and clipboard

void TfrxDesignerForm::ConnectUndoAndClipboard() {
  FUndoBuffer = std::make_unique<TfrxUndoBuffer>();
  FClipboard = std::make_unique<TfrxClipboard>(this);
  SnapshotToUndo = [this] {
    FUndoBuffer->AddUndo(Report());
    FUndoBuffer->ClearRedo();
  };
  UndoLast = [this] {
    if (FUndoBuffer->UndoCount() < 2) return;
    int index = PageIndex();
    DropSelection();
    TakeCodeText();
    FUndoBuffer->AddRedo(Report());
    {
      Report()->SetReloading(true);
      TScopeExit cleared([this] { Report()->SetReloading(false); });
      FUndoBuffer->Undo(Report());
    }
    ShowRestoredReport(index);
  };
  ClearUndo = [this] { FUndoBuffer->ClearUndo(); };
  CanUndo = [this] { return FUndoBuffer->UndoCount() >= 2; };
  CanRedo = [this] { return FUndoBuffer->RedoCount() > 0; };
  CanPaste = [this] { return FClipboard->PasteAvailable(); };
}

int TfrxDesignerForm::PageIndex() const {
  int index = 0;
  while (index < Report()->CountPages() && Report()->PageAt(index) != Page()) ++index;
  return index < Report()->CountPages() ? index : 0;
}

void TfrxDesignerForm::ShowRestoredReport(int Index) {
  FCodeWindow->SetLines(Report()->ScriptText());
  if (Index >= Report()->CountPages()) Index = 0;
  RebuildPageTabs(Index);
  UpdateControls();
}

void TfrxDesignerForm::RedoCmdExecute(TObject*) {
  if (IsPreviewDesigner() || !Page() || FUndoBuffer->RedoCount() == 0) return;
  int index = PageIndex();
  DropSelection();
  {
    Report()->SetReloading(true);
    TScopeExit cleared([this] { Report()->SetReloading(false); });
    FUndoBuffer->Redo(Report());
  }
  FUndoBuffer->AddUndo(Report());
  ShowRestoredReport(index);
}

void TfrxDesignerForm::CutCmdExecute(TObject*) {
  if (!Page()) {
    FCodeWindow->CutSelection();
    return;
  }
  FClipboard->Copy();
  FWorkspace->DeleteSelection();
  InspectObjects();
  FlagModified(true);
}

void TfrxDesignerForm::CopyCmdExecute(TObject*) {
  if (!Page()) {
    FCodeWindow->CopySelection();
    return;
  }
  FClipboard->Copy();
  PasteCmd->SetEnabled(FClipboard->PasteAvailable());
}

void TfrxDesignerForm::PasteCmdExecute(TObject*) {
  if (!Page()) {
    FCodeWindow->PasteText();
    return;
  }
  try {
    FClipboard->Paste();
  } catch (const Exception& e) {
    // What came before the unknown class stays and was flagged, so one undo removes it.
    FWorkspace->SelectionChanged();
    ShowErrorBox(e.Message());
    return;
  }
  FWorkspace->BringToFront();
  InspectObjects();
  std::vector<TfrxComponent*>& s = SelectedObjects();
  if (s.empty()) {
    s.push_back(Page());
    FWorkspace->SelectionChanged();
    return;
  }
  if (dynamic_cast<TfrxDialogComponent*>(s.front())) {
    FlagModified(true);
  } else if (s.front() != Page()) {
    FWorkspace->SelectionChanged();
    FWorkspace->Changed();
    if (TDesignerWorkspace* w = DesignerWorkspace()) w->StartPasteDrag();
  }
}
