#pragma once
// The login window: the operator is chosen from the users of tUser (or typed) and the
// password checked; a successful login gives the main window its operator, the status text
// and the operator's rights. The program body shows one at start and runs the program only
// after a successful login; a change of user shows a window of its own.
//
// The list position of the last user chosen is kept in Config.ini under "login"/"username",
// so the next start preselects it.
#include "data/ADODB.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

class TFrm_Login : public TForm {
  KELM_CLASS(TFrm_Login, TForm)
public:
  explicit TFrm_Login(TComponent* AOwner) : TForm(AOwner) {}
  ~TFrm_Login() override;

  // The caption of every message of this window.
  static const char* const MessageCaption;         // "警告"
  static const char* const UnknownUserText;        // "用户名不存在,请重新选择一个用户名!"
  static const char* const NoUserText;             // "请选择一个用户名！"
  static const char* const WrongPasswordText;      // "密码错误，请重新输入密码！"
  static const char* const EmptyPasswordHintText;  // after the user name: "密码为空，您可以直接点击确定按钮登录！"
  static const char* const NoPasswordText;         // "请输入密码！"

  // ---- components of the layout
  TImage* Image1 = nullptr;
  TComboBox* Combo_User = nullptr;
  TEdit* Edit_Pass = nullptr;
  TButton* Btn_ok = nullptr;
  TButton* Btn_Exit = nullptr;
  TADOQuery* Qry_login = nullptr;
  TADOQuery* ADOQuery1 = nullptr;

  // The password stored for the user last looked up.
  String StoredPassword;
  // 1 after a successful login; the program body reads it.
  Byte LoginOK = 0;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void Btn_okClick(TObject* Sender);
  void Btn_ExitClick(TObject* Sender);

private:
  void Warn(const String& Text);
  void PaintBanner();
};

extern TFrm_Login* Frm_Login;
