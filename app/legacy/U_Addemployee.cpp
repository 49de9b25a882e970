#include "app/legacy/U_Addemployee.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/legacy/LegacyWindows.h"
#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "data/ADODB.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Shell.h"

TFrm_addemloyee* Frm_addemloyee = nullptr;

const char* const TFrm_addemloyee::NameRequiredText = "员工名称不能为空!";
const char* const TFrm_addemloyee::DuplicateText = "员工名称有重复!";
const char* const TFrm_addemloyee::EditFailedText = "数据出错,数据不能保存!";

KELM_PUBLISH(TFrm_addemloyee) {
  b.Method("FormShow", &TFrm_addemloyee::FormShow);
  b.Method("FormKeyPress", &TFrm_addemloyee::FormKeyPress);
  b.Method("Bit_OKClick", &TFrm_addemloyee::Bit_OKClick);
  b.Method("Btn_ExitClick", &TFrm_addemloyee::Btn_ExitClick);
  b.Method("DBNavigator1Click", &TFrm_addemloyee::DBNavigator1Click);
  b.Method("Edit_EmailDblClick", &TFrm_addemloyee::Edit_EmailDblClick);
}

namespace {

// The controls and the Dict_Employee columns they hold, stored as typed.
struct TUnitColumn {
  const char* Control;
  const char* Column;
};
const TUnitColumn kColumns[] = {{"Edit_Mobile", "Mobile"}, {"Edit_Name", "Name"}, {"Edit_Address", "Address"},
                                {"Edit_Zip", "Zip"},       {"Edit_Tel", "Tel"},   {"Edit_Email", "Email"},
                                {"Memo1", "Memo"},         {"Edit_fz", "sex"}};

}  // namespace

TFrm_addemloyee::~TFrm_addemloyee() {
  if (Frm_addemloyee == this) Frm_addemloyee = nullptr;
}

void TFrm_addemloyee::FormShow(TObject*) {
  CaptionLegacyNavigator(DBNavigator1);
  if (AddMode == 1) {
    SetCaption("新增内部单位信息");
    ClearFields();
  } else {
    SetCaption("编辑内部单位信息");
    LoadFields();
  }
}

void TFrm_addemloyee::ClearFields() {
  for (const TUnitColumn& c : kColumns) static_cast<TCustomEdit*>(FindComponent(c.Control))->SetText("");
}

void TFrm_addemloyee::LoadFields() {
  TADOQuery* q = Frm_Data->Qry_emloyee;
  if (!q->Active() || q->IsEmpty()) return;
  for (const TUnitColumn& c : kColumns)
    static_cast<TCustomEdit*>(FindComponent(c.Control))->SetText(q->FieldByName(c.Column)->AsString());
}

void TFrm_addemloyee::FormKeyPress(TObject*, Char& Key) { LegacyEnterKey(this, Key); }

void TFrm_addemloyee::DBNavigator1Click(TObject*, TNavigateBtn) { LoadFields(); }

void TFrm_addemloyee::Edit_EmailDblClick(TObject*) {
  ShellExecute(Handle(), "open", "mailto:" + Edit_Email->Text(), "", "", SW_SHOWNORMAL);
}

void TFrm_addemloyee::Btn_ExitClick(TObject*) { Close(); }

void TFrm_addemloyee::Focus(TWinControl* Control) {
  if (Control->CanFocus()) Control->SetFocus();
}

void TFrm_addemloyee::WriteFields() {
  TADOQuery* q = Frm_Data->Qry_emloyee;
  for (const TUnitColumn& c : kColumns)
    q->FieldByName(c.Column)->SetAsString(static_cast<TCustomEdit*>(FindComponent(c.Control))->Text());
}

void TFrm_addemloyee::Bit_OKClick(TObject*) {
  if (Edit_Name->Text().empty()) {
    Application->MessageBox(NameRequiredText, "警告", MB_OK | MB_ICONINFORMATION);
    Focus(Edit_Name);
    return;
  }
  TADOQuery* q = Frm_Data->Qry_emloyee;
  if (AddMode == 1) {
    Frm_Data->OpenQuery(Frm_Data->Qry_Str, "select * from Dict_Employee where Name=" + SqlStr(Edit_Name->Text()));
    if (!Frm_Data->Qry_Str->IsEmpty()) {
      Application->MessageBox(DuplicateText, "警告", MB_OK | MB_ICONINFORMATION);
      Focus(Edit_Name);
      return;
    }
    if (!q->Active()) Frm_Data->OpenQuery(q, "select * from Dict_Employee ");
    q->Append();
    TScopeExit undo([q] { q->Cancel(); });
    WriteFields();
    q->Post();
    undo.Dismiss();
    ClearFields();
    return;
  }
  // An edit that fails is undone and said so; the window stays open with the input.
  try {
    Frm_Data->RunInTransaction([&] {
      q->Edit();
      TScopeExit undo([q] { q->Cancel(); });
      WriteFields();
      q->Post();
      undo.Dismiss();
    });
  } catch (const Exception&) {
    MessageDlg(EditFailedText, mtInformation, {mbOK}, 0);
  }
}
