#include "app/U_login.h"

#include "core/ClassBuilder.h"
#include "gui/Application.h"
#include "gui/Graphics.h"
#include "app/SqlText.h"
#include "core/StrUtils.h"
#include "app/U_Data.h"
#include "app/U_Main.h"

TFrm_Login* Frm_Login = nullptr;

const char* const TFrm_Login::MessageCaption = "警告";
const char* const TFrm_Login::UnknownUserText = "用户名不存在,请重新选择一个用户名!";
const char* const TFrm_Login::NoUserText = "请选择一个用户名！";
const char* const TFrm_Login::WrongPasswordText = "密码错误，请重新输入密码！";
const char* const TFrm_Login::EmptyPasswordHintText = "密码为空，您可以直接点击确定按钮登录！";
const char* const TFrm_Login::NoPasswordText = "请输入密码！";

KELM_PUBLISH(TFrm_Login) {
  b.Method("FormCreate", &TFrm_Login::FormCreate);
  b.Method("FormShow", &TFrm_Login::FormShow);
  b.Method("Btn_okClick", &TFrm_Login::Btn_okClick);
  b.Method("Btn_ExitClick", &TFrm_Login::Btn_ExitClick);
}

TFrm_Login::~TFrm_Login() {
  if (Frm_Login == this) Frm_Login = nullptr;
}

void TFrm_Login::FormCreate(TObject*) {
  SetCaption("登录");
  Edit_Pass->SetText("");
  PaintBanner();
}

void TFrm_Login::PaintBanner() {
  // The banner over the login: the program's title on a band of blue that lightens downwards.
  TCanvas* c = Image1->ImageCanvas();
  int w = Image1->Width(), h = Image1->Height();
  for (int y = 0; y < h; ++y) {
    int shade = 0x60 + (0x90 * y) / (h > 1 ? h - 1 : 1);
    c->Pen()->SetColor(static_cast<TColor>(RGB(0x10, shade / 2, shade)));
    c->MoveTo(0, y);
    c->LineTo(w, y);
  }
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetColor(clWhite);
  c->Font()->SetHeight(-18);
  c->Font()->SetStyle({fsBold});
  String title = Application ? Application->Title() : String();
  c->TextOut((w - c->TextWidth(title)) / 2, (h - c->TextHeight(title)) / 2, title);
}

void TFrm_Login::FormShow(TObject*) {
  Frm_Data->OpenQuery(Qry_login, "select * from tUser");
  Combo_User->Items()->BeginUpdate();
  Combo_User->Items()->Clear();
  // The user name is the second column of tUser.
  for (Qry_login->First(); !Qry_login->Eof(); Qry_login->Next())
    Combo_User->Items()->Add(Qry_login->Fields()->Fields(1)->AsString());
  Combo_User->Items()->EndUpdate();
  int last = Frm_Data->ConfigIni()->ReadInteger("Login", "Username", -1);
  Combo_User->SetItemIndex(last >= 0 && last < Combo_User->Items()->Count() ? last : -1);
  SetActiveControl(Edit_Pass);
}

void TFrm_Login::Warn(const String& Text) { Application->MessageBox(Text, MessageCaption, MB_OK | MB_ICONERROR); }

void TFrm_Login::Btn_okClick(TObject*) {
  String userName = Combo_User->Text();
  // The name goes into the statement as a quoted value, so a quote in it finds no other user.
  Frm_Data->OpenQuery(ADOQuery1, "select * from tUser where username=" + SqlStr(userName));
  bool found = !ADOQuery1->IsEmpty();
  StoredPassword = found ? ADOQuery1->FieldByName("password")->AsString() : String();
  String typed = Edit_Pass->Text();
  if (!found) {
    Warn(UnknownUserText);
    Edit_Pass->SetText("");
  } else if (Trim(userName).empty()) {
    Warn(NoUserText);
    if (Combo_User->CanFocus()) Combo_User->SetFocus();
  } else if (typed != StoredPassword) {
    if (Trim(typed).empty()) {
      Warn(NoPasswordText);
      if (Edit_Pass->CanFocus()) Edit_Pass->SetFocus();
    } else {
      Warn(Trim(StoredPassword).empty() ? userName + EmptyPasswordHintText : String(WrongPasswordText));
      Edit_Pass->SetText("");
    }
  } else {
    Frm_Main->CurrentUser = Trim(userName);
    Frm_Main->StatusBar1->Panels()->Items(0)->SetText(" 当前操作员: " + Frm_Main->CurrentUser);
    Frm_Main->ApplyUserRights();
    LoginOK = 1;
    SetModalResult(mrOk);
  }
  Frm_Data->ConfigIni()->WriteInteger("login", "username", Combo_User->ItemIndex());
}

void TFrm_Login::Btn_ExitClick(TObject*) { Close(); }
