#include "app/RecordDialog.h"

#include "app/AttachmentFiles.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmSelect.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/StdCtrls.h"

#include <memory>

void WarnBox(const String& Text) { Application->MessageBox(Text, "提示", MB_OK | MB_ICONWARNING); }

namespace {

bool OtherRecordHas(const char* Table, const char* KeyColumn, const String* OwnKey, const char* Column,
                    const String& Value) {
  String sql = String("select ") + KeyColumn + " from " + Table + " where " + Column + "=" + SqlStr(Value);
  if (OwnKey) sql += String(" and ") + KeyColumn + "<>" + SqlStr(*OwnKey);
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, sql);
  return !q->IsEmpty();
}

}  // namespace

bool CheckUniqueFields(const char* Table, const char* KeyColumn, const String* OwnKey,
                       std::initializer_list<TUniqueField> Fields) {
  for (const TUniqueField& f : Fields) {
    if (!OtherRecordHas(Table, KeyColumn, OwnKey, f.Column, f.Edit->Text())) continue;
    WarnBox(f.Text);
    if (f.Edit->CanFocus()) f.Edit->SetFocus();
    return false;
  }
  return true;
}

void ShowRecordPicker(TComponent* Owner, const TPickerSet& Set) {
  std::unique_ptr<TfrmSelect> picker(CreateForm<TfrmSelect>(Owner));
  picker->SetCaption(Set.Caption);
  picker->SourceTable = Set.Table;
  picker->ListName = Set.List;
  picker->ResultField = Set.Result;
  picker->ShowModal();
}

void AttachChosenDocument(TAttachmentSession& Files, TDataSet* Documents, const char* NameTakenText,
                          const char* CopyFailedText) {
  TOpenDialog* dialog = Frm_Main->dlgDoc;
  if (!dialog->Execute()) return;
  switch (AttachDocument(Files, dialog->FileName(), Documents)) {
    case aoAttached: break;
    case aoNameTaken: WarnBox(NameTakenText); break;
    case aoCopyFailed: WarnBox(CopyFailedText + dialog->FileName()); break;
    case aoBadName: WarnBox(DocumentNameText + AttachedName(dialog->FileName())); break;
  }
}

void DeleteCurrentDocument(TAttachmentSession& Files, TDataSet* Documents) {
  String name = Documents->Active() && !Documents->IsEmpty() ? Documents->FieldByName("DocName")->AsString() : String();
  if (!RemoveCurrentDocument(Files, Documents)) WarnBox(DocumentRowOnlyText + name);
}

void LockDocumentNameColumns(TCustomDBGridEh* Grid) {
  for (int i = 0; i < Grid->Columns()->Count(); ++i) {
    TColumnEh* c = Grid->Columns()->Items(i);
    if (SameText(c->FieldName(), "DocName") || SameText(c->FieldName(), "DocPath")) c->SetReadOnly(true);
  }
}
