// The program body: what it makes in which order, when the login is asked for and when the
// message loop runs.
#include "ProgramFolder.h"

#include "app/Program.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/U_login.h"

#include <gtest/gtest.h>

namespace {

// One run of the program body. The login, when it shows, is answered as the operator would:
// as Admin, whose password is empty, or by leaving it. The main loop is ended at its first
// idle moment.
struct TRun {
  int ExitCode = -1;
  bool LoginShown = false;
  String TitleAtLogin;
  bool LoopRan = false;
  bool MainFormShownInLoop = false;
  int MainIndex = -1, DataIndex = -1, LoginIndex = -1;  // creation order among the application's components
  bool Connected = false;
  int LoginOK = -1;
  bool MainIsMDIFrame = false;
};

TRun RunOnce(bool logIn = true) {
  TRun run;
  Application->AddIdleHandler(Application, [&run, logIn] {
    if (Frm_Login && Frm_Login->Visible() && !run.LoginShown) {
      run.LoginShown = true;
      run.TitleAtLogin = Application->Title();
      if (!logIn) {
        Frm_Login->Btn_Exit->Click();
        return;
      }
      Frm_Login->Combo_User->SetText("Admin");
      Frm_Login->Edit_Pass->SetText("");
      Frm_Login->Btn_ok->Click();
    } else if (Application->ModalLevel() == 0 && !run.LoopRan) {
      run.LoopRan = true;
      run.MainFormShownInLoop = Frm_Main && Frm_Main->Visible();
      Application->Terminate();
    }
  });
  run.ExitCode = RunProgram();
  Application->RemoveIdleHandler(Application);
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    TComponent* c = Application->Components(i);
    if (c == Frm_Main) run.MainIndex = i;
    if (c == Frm_Data) run.DataIndex = i;
    if (c == Frm_Login) run.LoginIndex = i;
  }
  run.Connected = Frm_Data && Frm_Data->DBConnected() == 1;
  if (Frm_Login) run.LoginOK = Frm_Login->LoginOK;
  if (Frm_Main) run.MainIsMDIFrame = Frm_Main->FormStyle() == fsMDIForm;
  // The windows stay with the application until it ends; a fresh one for what follows.
  RenewApplication();
  return run;
}

TEST(Program, StartsWithoutReportsFolderAndRunsTheLoopAfterTheLogin) {
  TProgramFolder folder(TProgramFolder::Options{true, false});
  TRun run = RunOnce();
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_TRUE(folder.Messages.empty());
  EXPECT_TRUE(run.Connected);
  EXPECT_TRUE(run.LoginShown);
  EXPECT_EQ(run.TitleAtLogin, "沃岚工程合同管理软件");
  EXPECT_EQ(run.LoginOK, 1);
  EXPECT_TRUE(run.LoopRan);
  EXPECT_TRUE(run.MainFormShownInLoop);
  EXPECT_TRUE(run.MainIsMDIFrame);
  // Main window first, then the data module, then the login.
  ASSERT_GE(run.MainIndex, 0);
  EXPECT_LT(run.MainIndex, run.DataIndex);
  EXPECT_LT(run.DataIndex, run.LoginIndex);
  EXPECT_EQ(Frm_Main, nullptr);  // freed with the application
  EXPECT_EQ(Frm_Data, nullptr);
}

// Working copies that a killed backup, restore or compaction left in DataBase/ go at the
// start, with their journals; no other file there is touched.
TEST(Program, TheStartRemovesTheWorkingCopiesOfKilledOperationsAndNothingElse) {
  TProgramFolder folder;
  const String gone = "999999999";  // no process has this number
  const std::vector<String> leftovers = {"~CP.tmp" + gone + "_0", "~CP.tmp" + gone + "_0-journal",
                                         ".kelm.mdb.tmp" + gone + "_2", ".kelm.mdb.tmp" + gone + "_2-journal",
                                         ".kelm_bak2024-03-01.mdb.tmp" + gone + "_1"};
  const std::vector<String> others = {"kelm_old.mdb", "~CP说明.txt", "备注.tmp1_2"};
  for (const String& n : leftovers) folder.Write("DataBase/" + n, String(1000, 'x'));
  for (const String& n : others) folder.Write("DataBase/" + n, "x");
  TRun run = RunOnce(false);
  EXPECT_TRUE(run.LoginShown);
  for (const String& n : leftovers) EXPECT_FALSE(FileExists(folder / ("DataBase/" + n))) << n;
  for (const String& n : others) EXPECT_TRUE(FileExists(folder / ("DataBase/" + n))) << n;
  EXPECT_TRUE(FileExists(folder / "DataBase/kelm.mdb"));
}

TEST(Program, LeavingTheLoginEndsTheProgramWithoutTheLoop) {
  TProgramFolder folder;
  TRun run = RunOnce(false);
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_TRUE(run.Connected);
  EXPECT_TRUE(run.LoginShown);
  EXPECT_EQ(run.LoginOK, 0);
  EXPECT_FALSE(run.LoopRan);
}

TEST(Program, WithoutTheDatabaseShowsTheMessageAndEndsWithoutLoginOrLoop) {
  TProgramFolder folder(TProgramFolder::Options{false, true});
  TRun run = RunOnce();
  EXPECT_NE(run.ExitCode, 0);
  ASSERT_EQ(folder.Messages.size(), 1u);
  EXPECT_EQ(folder.Messages[0].Text, "连接数据库失败,请与沃岚软件联系 ");
  EXPECT_EQ(folder.Messages[0].Caption, "kelm");
  EXPECT_EQ(folder.Messages[0].Flags, MB_OK | MB_ICONINFORMATION);
  EXPECT_FALSE(run.Connected);
  EXPECT_FALSE(run.LoginShown);
  EXPECT_EQ(run.LoginOK, 0);
  EXPECT_FALSE(run.LoopRan);
  EXPECT_FALSE(folder.Read("Config.ini").empty());
}

}  // namespace
