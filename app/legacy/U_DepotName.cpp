#include "app/legacy/U_DepotName.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/legacy/LegacyRules.h"
#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "data/ADODB.h"
#include "gui/Application.h"

const char* const TFrm_DepotName::NameRequiredText = "名称不能为空!";
const char* const TFrm_DepotName::DuplicateText = "仓库名称重复，请换一个仓库名称！";
const char* const TFrm_DepotName::DeleteQuestion = "您确定要删除该仓库吗？";

KELM_PUBLISH(TFrm_DepotName) {
  b.Method("FormShow", &TFrm_DepotName::FormShow);
  b.Method("FormClose", &TFrm_DepotName::FormClose);
  b.Method("TB_AddClick", &TFrm_DepotName::TB_AddClick);
  b.Method("TB_EditClick", &TFrm_DepotName::TB_EditClick);
  b.Method("TB_SaveClick", &TFrm_DepotName::TB_SaveClick);
  b.Method("TB_CancelClick", &TFrm_DepotName::TB_CancelClick);
  b.Method("TB_DelClick", &TFrm_DepotName::TB_DelClick);
  b.Method("TB_ExitClick", &TFrm_DepotName::TB_ExitClick);
}

namespace {
const char* const kColumnSet = "Dict";
}

void TFrm_DepotName::FormShow(TObject*) {
  SetCaption("仓库名称管理");
  TADOQuery* q = Frm_Data->Qry_Other;
  Frm_Data->OpenQuery(q, "select * from Dict_DepotName");
  Frm_Main->BuildGridColumns(DBGridEh1, q, kColumnSet);
  if (q->IsEmpty()) ClearFields();
  else LoadFields();
}

void TFrm_DepotName::FormClose(TObject*, TCloseAction&) { Frm_Main->SaveGridColumns(DBGridEh1, kColumnSet, 0); }

void TFrm_DepotName::ClearFields() { Edit_Name->SetText(""); }

void TFrm_DepotName::LoadFields() {
  TADOQuery* q = Frm_Data->Qry_Other;
  if (!q->Active() || q->IsEmpty()) return;
  OldName = q->FieldByName("Name")->AsString();
  Edit_Name->SetText(OldName);
}

void TFrm_DepotName::SetEditing(bool Editing) {
  for (TToolButton* b : {TB_Add, TB_Edit, TB_Del}) b->SetEnabled(!Editing);
  TB_Save->SetEnabled(Editing);
  TB_Cancel->SetEnabled(Editing);
  Panel1->SetEnabled(Editing);
  DBGridEh1->SetEnabled(!Editing);
}

void TFrm_DepotName::TB_AddClick(TObject*) {
  AddFlag = 1;
  ClearFields();
  SetEditing(true);
  if (Edit_Name->CanFocus()) Edit_Name->SetFocus();
}

void TFrm_DepotName::TB_EditClick(TObject*) {
  AddFlag = 0;
  LoadFields();
  SetEditing(true);
  if (Edit_Name->CanFocus()) Edit_Name->SetFocus();
}

void TFrm_DepotName::TB_CancelClick(TObject*) { SetEditing(false); }

bool TFrm_DepotName::NameTaken(const String& Name) {
  Frm_Data->OpenQuery(Frm_Data->Qry_Repeat, "select * from Dict_DepotName where Name=" + SqlStr(Name));
  return !Frm_Data->Qry_Repeat->IsEmpty();
}

void TFrm_DepotName::TB_SaveClick(TObject*) {
  const String name = Edit_Name->Text();
  if (name.empty()) {
    Application->MessageBox(NameRequiredText, "警告", MB_OK | MB_ICONINFORMATION);
    if (Edit_Name->CanFocus()) Edit_Name->SetFocus();
    return;
  }
  TADOQuery* q = Frm_Data->Qry_Other;
  if (AddFlag == 1) {
    if (NameTaken(name)) {
      Application->MessageBox(DuplicateText, "警告", MB_OK | MB_ICONINFORMATION);
      if (Edit_Name->CanFocus()) Edit_Name->SetFocus();
      return;
    }
    q->Append();
    TScopeExit undo([q] { q->Cancel(); });
    q->FieldByName("Name")->SetAsString(name);
    q->Post();
    undo.Dismiss();
  } else if (q->Active() && !q->IsEmpty()) {
    if (name != OldName && NameTaken(name)) {
      Application->MessageBox(DuplicateText, "警告", MB_OK | MB_ICONINFORMATION);
      return;
    }
    const String old = OldName;
    // The rename and the bills that follow it are kept together or not at all.
    if (!LegacySave(
            [&] {
              q->Edit();
              TScopeExit undo([q] { q->Cancel(); });
              q->FieldByName("Name")->SetAsString(name);
              q->Post();
              undo.Dismiss();
              if (name != old) RenameDepotInBills(old, name);
            },
            {q}))
      return;
    OldName = name;
  }
  SetEditing(false);
}

void TFrm_DepotName::TB_DelClick(TObject*) {
  TADOQuery* q = Frm_Data->Qry_Other;
  if (!q->Active() || q->IsEmpty()) return;
  if (Application->MessageBox(DeleteQuestion, "警告", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  q->Delete();
  if (q->IsEmpty()) ClearFields();
  else LoadFields();
}

void TFrm_DepotName::TB_ExitClick(TObject*) { Close(); }
