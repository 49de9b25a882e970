#include "report/designer/frxConnEditor.h"

#include "core/ClassBuilder.h"
#include "core/Registry.h"
#include "core/StringList.h"
#include "gui/Buttons.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/ListView.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxDialogFrame.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxClass.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxConnEditorForm) {
  b.Method("FormCreate", &TfrxConnEditorForm::FormCreate);
  b.Method("FormShow", &TfrxConnEditorForm::FormShow);
  b.Method("FormHide", &TfrxConnEditorForm::FormHide);
  b.Method("FormKeyDown", &TfrxConnEditorForm::FormKeyDown);
  b.Method("ConnLVSelectItem", &TfrxConnEditorForm::ConnLVSelectItem);
  b.Method("NewBClick", &TfrxConnEditorForm::NewBClick);
  b.Method("DeleteBClick", &TfrxConnEditorForm::DeleteBClick);
  b.Method("ExpressionBClick", &TfrxConnEditorForm::ExpressionBClick);
  b.Method("OKBClick", &TfrxConnEditorForm::OKBClick);
}

void TfrxConnEditorForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  const std::pair<const char*, int> columns[] = {{"cpName", 150}, {"cpConnStr", 300}};
  for (auto [key, width] : columns) {
    TListColumn* c = ConnLV->Columns()->Add();
    c->SetCaption(ReportResources()->TextOf(key));
    c->SetWidth(width);
  }
}

void TfrxConnEditorForm::FormShow(TObject*) {
  SetCaption(ResourceText(5800));
  NewB->SetCaption(ResourceText(5801));
  DeleteB->SetCaption(ResourceText(5802));
  OKB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly(frxConnectionsKey)) return;
  TStringList names;
  registry.GetValueNames(&names);
  for (int i = 0; i < names.Count(); ++i) {
    TListItem* row = ConnLV->Items()->Add();
    row->SetCaption(names[i]);
    row->SubItems()->Add(registry.ReadString(names[i]));
  }
}

void TfrxConnEditorForm::CommitRow() {
  if (!FEdited) return;
  FEdited->SetCaption(NameE->Text());
  if (FEdited->SubItems()->Count() == 0) FEdited->SubItems()->Add(String());
  FEdited->SubItems()->SetStrings(0, ConnE->Text());
  FEdited = nullptr;
  Panel->SetVisible(false);
}

void TfrxConnEditorForm::ConnLVSelectItem(TObject*, TListItem* Item, bool Selected) {
  if (!Selected) {
    if (Item == FEdited) CommitRow();
    return;
  }
  if (Item == FEdited) return;
  CommitRow();
  FEdited = Item;
  NameE->SetText(Item->Caption());
  ConnE->SetText(Item->SubItems()->Count() > 0 ? Item->SubItems()->Strings(0) : String());
  Panel->SetTop(Item->DisplayRect(drBounds).Top + ConnLV->Top());
  Panel->SetVisible(true);
}

void TfrxConnEditorForm::NewBClick(TObject*) {
  CommitRow();
  TListItem* row = ConnLV->Items()->Add();
  row->SetCaption("New name");
  row->SubItems()->Add(String());
  ConnLV->SetSelected(row);
  ConnLVSelectItem(ConnLV, row, true);  // the list tells only of changes made by the user
  if (NameE->CanFocus()) NameE->SetFocus();
}

void TfrxConnEditorForm::DeleteBClick(TObject*) {
  TListItem* row = ConnLV->Selected();
  if (!row) return;
  if (row == FEdited) {
    FEdited = nullptr;
    Panel->SetVisible(false);
  }
  row->Delete();
}

void TfrxConnEditorForm::ExpressionBClick(TObject*) {
  if (Report && Report->OnConnectionStringEdit) ConnE->SetText(Report->OnConnectionStringEdit(ConnE->Text()));
}

void TfrxConnEditorForm::OKBClick(TObject*) {
  ConnLV->SetSelected(nullptr);
  CommitRow();
  SetModalResult(mrOk);
}

void TfrxConnEditorForm::FormHide(TObject*) {
  if (ModalResult() != mrOk) return;
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKey(frxConnectionsKey, true)) return;
  // The old values go and the rows come while the key stays open: the store is written once,
  // when the key closes.
  TStringList old;
  registry.GetValueNames(&old);
  for (int i = 0; i < old.Count(); ++i) registry.DeleteValue(old[i]);
  for (int i = 0; i < ConnLV->Items()->Count(); ++i) {
    TListItem* row = ConnLV->Items()->Item(i);
    registry.WriteString(row->Caption(), row->SubItems()->Count() > 0 ? row->SubItems()->Strings(0) : String());
  }
  registry.CloseKey();
}

void TfrxConnEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

bool EditConnections(TComponent* Owner, TfrxReport* Report) {
  TfrxConnEditorForm form(Owner);
  form.InitForm();
  form.Report = Report;
  return form.ShowModal() == mrOk;
}
