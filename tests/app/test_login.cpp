// The login window and the password change: every answer to what the operator typed, the
// user list and the position remembered in Config.ini, and the new password at the next
// login.
#include "AppWindows.h"

#include "core/IniFiles.h"
#include "core/StrUtils.h"

namespace {

using LoginTest = AppWindowsTest;

// ---------------------------------------------------------------- the window

TEST_F(LoginTest, TheWindowListsTheUsersAndWaitsForThePassword) {
  AddUser("clerk", "secret", "Pact_Add,");
  EXPECT_EQ(Frm_Login->Caption(), "登录");
  EXPECT_EQ(Frm_Login->ClientWidth(), 336);
  EXPECT_EQ(Frm_Login->ClientHeight(), 201);
  EXPECT_EQ(Frm_Login->BorderStyle(), bsSingle);
  EXPECT_EQ(Frm_Login->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize}));
  EXPECT_EQ(Frm_Login->Edit_Pass->PasswordChar(), '*');
  EXPECT_EQ(Frm_Login->Btn_ok->Caption(), "确定(&Y)");
  EXPECT_TRUE(Frm_Login->Btn_ok->Default());
  EXPECT_EQ(Frm_Login->Btn_Exit->Caption(), "取消(&C)");
  EXPECT_EQ(Frm_Login->Btn_Exit->ModalResult(), mrCancel);
  EXPECT_EQ(Frm_Login->Qry_login->Connection(), Frm_Data->ADOConnection1);
  EXPECT_EQ(Frm_Login->ADOQuery1->Connection(), Frm_Data->ADOConnection1);
  EXPECT_EQ(Frm_Login->LoginOK, 0);

  TModalSteps steps({[](TCustomForm*) {
    EXPECT_EQ(Frm_Login->Combo_User->Items()->Count(), 2);
    EXPECT_EQ(Frm_Login->Combo_User->Items()->Strings(0), "Admin");
    EXPECT_EQ(Frm_Login->Combo_User->Items()->Strings(1), "clerk");
    EXPECT_EQ(Frm_Login->Combo_User->ItemIndex(), -1) << "no user remembered yet";
    EXPECT_EQ(Frm_Login->ActiveControl(), Frm_Login->Edit_Pass);
    Frm_Login->Btn_Exit->Click();
  }});
  EXPECT_EQ(Frm_Login->ShowModal(), mrCancel);
  EXPECT_EQ(steps.Met().size(), 1u);
  EXPECT_EQ(Frm_Login->LoginOK, 0);
  EXPECT_TRUE(Folder.Messages.empty());
}

// ---------------------------------------------------------------- the answers

TEST_F(LoginTest, EachAttemptGetsItsAnswer) {
  AddUser("clerk", "secret", "Pact_Add,");
  AddUser("O'Brien", "pw", "Pact_Add,");
  AddUser("guest", "", "");
  AddUser("", "", "");  // a row without a name, as the rights window lets one be saved
  struct LoginCase {
    const char* User;
    const char* Password;
    const char* Message;  // '' for none
    bool LoggedIn;
    const char* CurrentUser;
    bool PasswordKept;  // the password box still holds what was typed
  };
  const LoginCase cases[] = {
      {"Admin", "", "", true, "Admin", true},
      {"admin", "", "", true, "admin", true},
      {"  guest  ", "pw", "用户名不存在,请重新选择一个用户名!", false, "", false},  // looked up as typed
      {"guest", "", "", true, "guest", true},
      {"clerk", "secret", "", true, "clerk", true},
      {"O'Brien", "pw", "", true, "O'Brien", true},
      {"Nobody", "pw", "用户名不存在,请重新选择一个用户名!", false, "", false},
      {"x' or '1'='1", "pw", "用户名不存在,请重新选择一个用户名!", false, "", false},
      {"clerk", "wrong", "密码错误，请重新输入密码！", false, "", false},
      {"clerk", "SECRET", "密码错误，请重新输入密码！", false, "", false},
      {"clerk", "", "请输入密码！", false, "", true},
      {"clerk", "   ", "请输入密码！", false, "", true},
      {"Admin", "abc", "Admin密码为空，您可以直接点击确定按钮登录！", false, "", false},
      {"", "", "请选择一个用户名！", false, "", true},
  };
  for (const LoginCase& c : cases) {
    SCOPED_TRACE(String(c.User) + " / " + c.Password);
    Folder.Messages.clear();
    Frm_Main->CurrentUser = "";
    auto* login = CreateForm<TFrm_Login>(Application);
    bool passwordKept = false;
    TModalSteps steps({[&](TCustomForm*) {
                         login->Combo_User->SetText(c.User);
                         login->Edit_Pass->SetText(c.Password);
                         login->Btn_ok->Click();
                         passwordKept = login->Edit_Pass->Text() == c.Password;
                       },
                       [&](TCustomForm*) { login->Btn_Exit->Click(); }});
    int result = login->ShowModal();
    EXPECT_FALSE(steps.Overran());
    EXPECT_EQ(result, c.LoggedIn ? mrOk : mrCancel);
    EXPECT_EQ(login->LoginOK, c.LoggedIn ? 1 : 0);
    EXPECT_EQ(Frm_Main->CurrentUser, c.CurrentUser);
    if (*c.Message) {
      ASSERT_EQ(Folder.Messages.size(), 1u);
      EXPECT_EQ(Folder.Messages[0].Text, c.Message);
      EXPECT_EQ(Folder.Messages[0].Caption, "警告");
      EXPECT_EQ(Folder.Messages[0].Flags, MB_OK | MB_ICONERROR);
    } else if (c.LoggedIn) {
      EXPECT_TRUE(Folder.Messages.empty());
      EXPECT_EQ(Frm_Main->StatusBar1->Panels()->Items(0)->Text(), String(" 当前操作员: ") + c.CurrentUser);
    }
    EXPECT_EQ(passwordKept, c.PasswordKept);
    delete login;
  }
  // Nothing any name typed could do reached the table.
  EXPECT_EQ(Scalar("select count(*) from tUser"), "5");
}

TEST_F(LoginTest, TheStoredPasswordIsTheOneOfTheUserLookedUp) {
  AddUser("clerk", "secret", "");
  ASSERT_EQ(LoginThrough(Frm_Login, "clerk", "nope"), mrCancel);
  EXPECT_EQ(Frm_Login->StoredPassword, "secret");
  ASSERT_EQ(LoginThrough(Frm_Login, "clerk", "secret"), mrOk);
  EXPECT_EQ(Frm_Login->StoredPassword, "secret");
}

TEST_F(LoginTest, ASuccessfulLoginAppliesTheUsersRights) {
  AddUser("clerk", "secret", "Pact_Add,Emp_M,");
  ASSERT_EQ(LoginThrough(Frm_Login, "clerk", "secret"), mrOk);
  EXPECT_TRUE(Frm_Main->PactAdd->Enabled());
  EXPECT_TRUE(Frm_Main->Emp_M->Enabled());
  EXPECT_FALSE(Frm_Main->PactDel->Enabled());
  EXPECT_FALSE(Frm_Main->M_Backup->Enabled());
}

// ---------------------------------------------------------------- the remembered user

TEST_F(LoginTest, TheListPositionIsRememberedAfterEveryAttemptAndPreselectedNextTime) {
  AddUser("clerk", "secret", "");
  AddUser("buyer", "b", "");
  auto remembered = [&] { return TIniFile(Folder / "Config.ini").ReadInteger("login", "username", -99); };

  // Chosen from the list and logged in.
  ASSERT_EQ(LoginThrough(Frm_Login, "", "b", 2), mrOk);
  EXPECT_EQ(remembered(), 2);
  EXPECT_NE(Folder.Read("Config.ini").find("[login]"), String::npos);

  // A failed attempt writes its position too: a typed name that is in the list has it.
  auto* again = CreateForm<TFrm_Login>(Application);
  EXPECT_EQ(LoginThrough(again, "CLERK", "bad"), mrCancel);
  EXPECT_EQ(remembered(), 1);
  // One that is not has none.
  EXPECT_EQ(LoginThrough(again, "stranger", ""), mrCancel);
  EXPECT_EQ(remembered(), -1);
  delete again;

  // The next start preselects the position, whoever holds it now.
  TIniFile(Folder / "Config.ini").WriteInteger("login", "username", 1);
  Exec("delete from tUser where UserName='Admin'");
  auto* next = CreateForm<TFrm_Login>(Application);
  String shown;
  TModalSteps steps({[&](TCustomForm*) {
    shown = next->Combo_User->Text();
    next->Btn_Exit->Click();
  }});
  next->ShowModal();
  EXPECT_EQ(shown, "buyer");
  delete next;
}

TEST_F(LoginTest, APositionOutsideTheListSelectsNobody) {
  for (int position : {5, -3}) {
    SCOPED_TRACE(position);
    TIniFile(Folder / "Config.ini").WriteInteger("Login", "Username", position);
    auto* login = CreateForm<TFrm_Login>(Application);
    int index = 0;
    String text = "?";
    TModalSteps steps({[&](TCustomForm*) {
      index = login->Combo_User->ItemIndex();
      text = login->Combo_User->Text();
      login->Btn_Exit->Click();
    }});
    login->ShowModal();
    EXPECT_EQ(index, -1);
    EXPECT_EQ(text, "");
    delete login;
  }
}

TEST_F(LoginTest, AFailedLookUpWritesNothing) {
  TIniFile(Folder / "Config.ini").WriteInteger("login", "username", 0);
  Frm_Login->Show();
  Frm_Login->Combo_User->SetText("Admin");
  Exec("drop table tUser");
  EXPECT_THROW(Frm_Login->Btn_ok->Click(), EADOError);
  Frm_Login->Hide();
  EXPECT_EQ(TIniFile(Folder / "Config.ini").ReadInteger("login", "username", -99), 0);
  EXPECT_EQ(Frm_Login->LoginOK, 0);
  EXPECT_EQ(Frm_Main->CurrentUser, "");
}

// ---------------------------------------------------------------- password change

// What the operator types into the three password boxes.
struct TChangeTry {
  String Old, New, Confirm;
};

TEST_F(LoginTest, PasswordChangeAnswersEachTryAndStoresOnlyAConfirmedPassword) {
  AddUser("clerk", "secret", "Pact_Add,");
  ASSERT_EQ(LoginThrough(Frm_Login, "clerk", "secret"), mrOk);
  Frm_Main->Show();
  struct ChangeCase {
    TChangeTry Try;
    const char* Text;
    const char* Caption;
    const char* Stored;  // the password afterwards
    bool Closed;
  };
  const ChangeCase cases[] = {
      {{"wrong", "n1", "n1"}, "当前密码错误!", "密码错误", "secret", false},
      {{"SECRET", "n1", "n1"}, "当前密码错误!", "密码错误", "secret", false},
      {{"secret", "n1", "n2"}, "在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码.", "验证密码", "secret", false},
      {{"secret", "新密码", "新密码"}, "修改密码成功!", "成功", "新密码", true},
      {{"新密码", "", ""}, "修改密码成功!", "成功", "", true},
  };
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.Text);
    Folder.Messages.clear();
    String shownUser;
    bool userEditable = true;
    bool closedByOk = false;
    TModalSteps steps({[&](TCustomForm* f) {
                         auto* dlg = dynamic_cast<TFrm_ChangePass*>(f);
                         ASSERT_NE(dlg, nullptr);
                         shownUser = dlg->Edit_User->Text();
                         userEditable = dlg->Edit_User->Enabled();
                         dlg->Edit_oldpass->SetText(c.Try.Old);
                         dlg->Edit_newpass->SetText(c.Try.New);
                         dlg->Edit_ConfirmPass->SetText(c.Try.Confirm);
                         dlg->Btn_OK->Click();
                         closedByOk = dlg->ModalResult() != mrNone;
                       },
                       [](TCustomForm* f) { dynamic_cast<TFrm_ChangePass*>(f)->Btn_Exit->Click(); }});
    Frm_Main->N34->Click();  // "修改登录密码"
    Application->ProcessMessages();
    EXPECT_FALSE(steps.Overran());
    EXPECT_EQ(shownUser, "clerk");
    EXPECT_FALSE(userEditable);
    ASSERT_EQ(Folder.Messages.size(), 1u);
    EXPECT_EQ(Folder.Messages[0].Text, c.Text);
    EXPECT_EQ(Folder.Messages[0].Caption, c.Caption);
    EXPECT_EQ(Folder.Messages[0].Flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(Scalar("select password from tUser where UserName='clerk'"), c.Stored);
    EXPECT_EQ(closedByOk, c.Closed);
  }
  EXPECT_EQ(Scalar("select count(*) from tUser"), "2");
  // The dialogs were freed after use.
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_EQ(dynamic_cast<TFrm_ChangePass*>(Screen->Forms(i)), nullptr);
}

TEST_F(LoginTest, TheNewPasswordIsTheOneTheNextLoginAsksFor) {
  AddUser("O'Brien", "old", "Pact_Add,");
  ASSERT_EQ(LoginThrough(Frm_Login, "O'Brien", "old"), mrOk);
  auto* dlg = CreateForm<TFrm_ChangePass>(Frm_Main);
  EXPECT_EQ(dlg->Caption(), "修改登录密码");
  // A connection of its own to the same file.
  EXPECT_EQ(dlg->Qry->Connection(), nullptr);
  EXPECT_EQ(dlg->Qry->ConnectionString(), Frm_Data->ConnectionString());
  TModalSteps steps({[&](TCustomForm*) {
    dlg->Edit_oldpass->SetText("old");
    dlg->Edit_newpass->SetText("n'ew");
    dlg->Edit_ConfirmPass->SetText("n'ew");
    dlg->Btn_OK->Click();
  }});
  dlg->ShowModal();
  delete dlg;
  EXPECT_FALSE(steps.Overran());

  auto* next = CreateForm<TFrm_Login>(Application);
  Folder.Messages.clear();
  EXPECT_EQ(LoginThrough(next, "O'Brien", "old"), mrCancel);
  ASSERT_EQ(Folder.Messages.size(), 1u);
  EXPECT_EQ(Folder.Messages[0].Text, "密码错误，请重新输入密码！");
  EXPECT_EQ(LoginThrough(next, "O'Brien", "n'ew"), mrOk);
  delete next;
}

TEST_F(LoginTest, AnOperatorWhoseRowIsGoneCannotChangeAPassword) {
  ASSERT_EQ(LoginThrough(Frm_Login, "Admin", ""), mrOk);
  Exec("delete from tUser");
  auto* dlg = CreateForm<TFrm_ChangePass>(Frm_Main);
  TModalSteps steps({[&](TCustomForm*) {
                       dlg->Btn_OK->Click();  // every box empty
                     },
                     [&](TCustomForm*) { dlg->Btn_Exit->Click(); }});
  dlg->ShowModal();
  delete dlg;
  ASSERT_EQ(Folder.Messages.size(), 1u);
  EXPECT_EQ(Folder.Messages[0].Text, "当前密码错误!");
  EXPECT_EQ(Scalar("select count(*) from tUser"), "0");
}

}  // namespace
