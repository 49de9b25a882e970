#pragma once
// The password change of the logged-in operator: the current password must be typed again
// and the new one twice. It works on a connection of its own to the database file, opened
// from the data module's connection string.
#include "data/ADODB.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

class TFrm_ChangePass : public TForm {
  KELM_CLASS(TFrm_ChangePass, TForm)
public:
  explicit TFrm_ChangePass(TComponent* AOwner) : TForm(AOwner) {}

  static const char* const WrongPasswordText;    // "当前密码错误!"
  static const char* const WrongPasswordCaption;  // "密码错误"
  static const char* const MismatchText;          // the hint to type the new password again
  static const char* const MismatchCaption;       // "验证密码"
  static const char* const DoneText;              // "修改密码成功!"
  static const char* const DoneCaption;           // "成功"

  // ---- components of the layout
  TEdit* Edit_User = nullptr;
  TEdit* Edit_oldpass = nullptr;
  TEdit* Edit_newpass = nullptr;
  TEdit* Edit_ConfirmPass = nullptr;
  TButton* Btn_OK = nullptr;
  TButton* Btn_Exit = nullptr;
  TADOQuery* Qry = nullptr;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void Btn_okClick(TObject* Sender);
  void Btn_ExitClick(TObject* Sender);

private:
  void Tell(const String& Text, const String& Caption);
};
