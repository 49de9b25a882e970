#pragma once
// The program's windows made the way the program body makes them (main window, data module,
// login) over a program folder of the test's own, and a person at the keyboard for the
// modal windows they show.
#include "ProgramFolder.h"

#include "app/SqlText.h"
#include "core/SysUtils.h"
#include "gui/Timers.h"
#include "app/U_ChangePass.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/U_login.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Plays the steps of a person at the modal window that is up: one step per tick of the
// window's message loop, in order. It serves the first modal window it meets and stops once
// that window is gone. A window still up after the last step is cancelled, and Overran says
// so, so a test cannot hang on a window it did not expect to stay.
class TModalSteps {
public:
  using TStep = std::function<void(TCustomForm* Modal)>;
  explicit TModalSteps(std::vector<TStep> Steps) : FSteps(std::move(Steps)), FWatch(this) {
    FTimer.SetInterval(10);
    FTimer.SetOnTimer(TNotifyEvent::Lambda([this](TObject*) { Tick(); }));
  }
  ~TModalSteps() {
    if (FServed) FServed->RemoveFreeNotification(&FWatch);
  }
  TModalSteps(const TModalSteps&) = delete;
  TModalSteps& operator=(const TModalSteps&) = delete;

  bool Overran() const { return FOverran; }
  // The steps that ran, and the class of the window each one met.
  const std::vector<String>& Met() const { return FMet; }

  // The modal window that is up, nullptr when none is.
  static TCustomForm* ModalForm() {
    for (int i = 0; Screen && i < Screen->CustomFormCount(); ++i) {
      TCustomForm* f = Screen->CustomForms(i);
      if (f->Visible() && f->FormState().Contains(fsModal)) return f;
    }
    return nullptr;
  }

private:
  void Tick() {
    TCustomForm* modal = ModalForm();
    if (FServed && modal != FServed) {
      FTimer.SetEnabled(false);
      return;
    }
    if (!modal) return;
    // A window whose close is pending is left to its loop: on a loaded machine the next tick
    // may come before the loop has looked at its result.
    if (modal == FServed && modal->ModalResult() != mrNone) return;
    if (modal != FServed) {
      modal->FreeNotification(&FWatch);
      FServed = modal;
    }
    // A step that lets messages through (a click, a key) must not meet the next tick: it
    // would start the next step, or cancel the window, in the middle of this one.
    if (FInStep) return;
    if (FNext < FSteps.size()) {
      FMet.push_back(modal->ClassName());
      FInStep = true;
      try {
        FSteps[FNext++](modal);
      } catch (...) {
        FInStep = false;
        throw;
      }
      FInStep = false;
      return;
    }
    FOverran = true;
    modal->SetModalResult(mrCancel);
  }

  // Ends the steps when the window they served is freed: the next window made may take its
  // address, and a step or the overrun's cancel must never reach that one.
  class TServedWatch : public TComponent {
  public:
    explicit TServedWatch(TModalSteps* Steps) : TComponent(nullptr), FSteps(Steps) {}
    void Notification(TComponent* AComponent, TOperation Operation) override {
      TComponent::Notification(AComponent, Operation);
      if (Operation == opRemove && AComponent == FSteps->FServed) {
        FSteps->FServed = nullptr;
        FSteps->FTimer.SetEnabled(false);
      }
    }

  private:
    TModalSteps* FSteps;
  };

  std::vector<TStep> FSteps;
  std::size_t FNext = 0;
  TCustomForm* FServed = nullptr;
  bool FOverran = false;
  bool FInStep = false;
  std::vector<String> FMet;
  TTimer FTimer{nullptr};
  TServedWatch FWatch;
};

// The main window, the data module and the start's login window over a fresh program folder;
// the application is renewed afterwards, which frees them all.
class AppWindowsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->CreateForm<TFrm_Main>(&Frm_Main);
    Application->CreateForm<TFrm_Data>(&Frm_Data);
    Application->CreateForm<TFrm_Login>(&Frm_Login);
    ASSERT_EQ(Frm_Data->DBConnected(), 1);
  }
  void TearDown() override { RenewApplication(); }

  int Exec(const String& sql) { return Frm_Data->ADOConnection1->Execute(sql); }
  // The first column of the first row of a statement, as text ('' when there is none).
  String Scalar(const String& sql) {
    TADOQuery* q = Frm_Data->Qry_Str;
    Frm_Data->OpenQuery(q, sql);
    return q->IsEmpty() ? String() : q->Fields()->Fields(0)->AsString();
  }
  void AddUser(const String& name, const String& password, const String& rights) {
    Exec("insert into tUser (UserName, password, qxlist) values (" + SqlStr(name) + ", " + SqlStr(password) + ", " +
         SqlStr(rights) + ")");
  }

  // One attempt in a login window shown modally: the name typed into the user box (or the
  // list position chosen, when Position is not -1) and the password, then "确定(&Y)"; a
  // window still up after that is cancelled. Returns the window's modal result.
  int LoginThrough(TFrm_Login* login, const String& user, const String& password, int position = -1) {
    TModalSteps steps({[&](TCustomForm*) {
                         if (position >= 0) login->Combo_User->SetItemIndex(position);
                         else login->Combo_User->SetText(user);
                         login->Edit_Pass->SetText(password);
                         login->Btn_ok->Click();
                       },
                       [&](TCustomForm*) { login->Btn_Exit->Click(); }});
    int result = login->ShowModal();
    EXPECT_FALSE(steps.Overran());
    return result;
  }
  // The start's login as "Admin" with the empty password, then the main window shown.
  void LoginAsAdminAndShow() {
    ASSERT_EQ(LoginThrough(Frm_Login, "Admin", ""), mrOk);
    ASSERT_EQ(Frm_Login->LoginOK, 1);
    Frm_Main->Show();
    Application->ProcessMessages();
  }

  TProgramFolder Folder;
};
