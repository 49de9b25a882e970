#pragma once
// The password change of the logged-in operator: the current password must be typed again
// and the new one twice. It works on a connection of its own to the database file, opened
// from the data module's connection string.
#include "forms/TFrm_ChangePass.h"
#include "gui/Forms.h"

class TFrm_ChangePass : public TFrm_ChangePassLayout<TForm> {
  KELM_CLASS(TFrm_ChangePass, TFrm_ChangePassLayout<TForm>)
public:
  explicit TFrm_ChangePass(TComponent* AOwner) : inherited(AOwner) {}

  static const char* const WrongPasswordText;    // "当前密码错误!"
  static const char* const WrongPasswordCaption;  // "密码错误"
  static const char* const MismatchText;          // the hint to type the new password again
  static const char* const MismatchCaption;       // "验证密码"
  static const char* const DoneText;              // "修改密码成功!"
  static const char* const DoneCaption;           // "成功"

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void Btn_okClick(TObject* Sender);
  void Btn_ExitClick(TObject* Sender);

private:
  void Tell(const String& Text, const String& Caption);
};
