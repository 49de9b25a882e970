#include "ProgramStart.h"

#include "app/U_Data.h"
#include "app/U_Main.h"
#include "gui/Application.h"

bool StartProgramWindows() {
  Application->CreateForm<TFrm_Main>(&Frm_Main);
  Application->CreateForm<TFrm_Data>(&Frm_Data);
  if (Frm_Data->DBConnected() != 1) return false;
  Frm_Main->CurrentUser = "Admin";
  Frm_Main->Show();
  Application->ProcessMessages();
  return true;
}

int RunProgramSql(const String& Sql) { return Frm_Data->ADOConnection1->Execute(Sql); }

TADOConnection* ProgramConnection() { return Frm_Data->ADOConnection1; }
