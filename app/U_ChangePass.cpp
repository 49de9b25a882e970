#include "app/U_ChangePass.h"

#include "core/ClassBuilder.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "gui/Application.h"

const char* const TFrm_ChangePass::WrongPasswordText = "当前密码错误!";
const char* const TFrm_ChangePass::WrongPasswordCaption = "密码错误";
const char* const TFrm_ChangePass::MismatchText = "在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码.";
const char* const TFrm_ChangePass::MismatchCaption = "验证密码";
const char* const TFrm_ChangePass::DoneText = "修改密码成功!";
const char* const TFrm_ChangePass::DoneCaption = "成功";

KELM_PUBLISH(TFrm_ChangePass) {
  b.Method("FormCreate", &TFrm_ChangePass::FormCreate);
  b.Method("FormShow", &TFrm_ChangePass::FormShow);
  b.Method("Btn_okClick", &TFrm_ChangePass::Btn_okClick);
  b.Method("Btn_ExitClick", &TFrm_ChangePass::Btn_ExitClick);
}

void TFrm_ChangePass::FormCreate(TObject*) {
  SetCaption("修改登录密码");
  Qry->SetConnectionString(Frm_Data->ConnectionString());
  Edit_oldpass->SetText("");
  Edit_newpass->SetText("");
  Edit_ConfirmPass->SetText("");
}

void TFrm_ChangePass::FormShow(TObject*) { Edit_User->SetText(Frm_Main->CurrentUser); }

void TFrm_ChangePass::Tell(const String& Text, const String& Caption) {
  Application->MessageBox(Text, Caption, MB_OK | MB_ICONINFORMATION);
}

void TFrm_ChangePass::Btn_okClick(TObject*) {
  Frm_Data->OpenQuery(Qry, "select * from tUser where UserName=" + SqlStr(Frm_Main->CurrentUser));
  // An operator whose row is gone has no current password to match: editing the empty
  // result would insert a user without a name.
  if (Qry->IsEmpty() || Edit_oldpass->Text() != Qry->FieldByName("password")->AsString()) {
    Tell(WrongPasswordText, WrongPasswordCaption);
    if (Edit_oldpass->CanFocus()) Edit_oldpass->SetFocus();
  } else if (Edit_ConfirmPass->Text() != Edit_newpass->Text()) {
    Tell(MismatchText, MismatchCaption);
    if (Edit_ConfirmPass->CanFocus()) Edit_ConfirmPass->SetFocus();
  } else {
    Qry->Edit();
    Qry->FieldByName("password")->SetAsString(Edit_newpass->Text());
    Qry->Post();
    Tell(DoneText, DoneCaption);
    Close();
  }
}

void TFrm_ChangePass::Btn_ExitClick(TObject*) { Close(); }
