#include "app/Program.h"

#include "app/AttachmentFiles.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/U_login.h"
#include "controls/RzBtnEdt.h"
#include "controls/ToolEditDate.h"
#include "core/FileUtils.h"
#include "data/DatabaseFiles.h"
#include "gui/Application.h"

const char* const ApplicationTitle = "沃岚工程合同管理软件";

int RunProgram() {
  // The windows' layouts create the framed and button edits by class name.
  RegisterAuxEditControls();
  RegisterDateEditControls();
  Application->SetTitle(ApplicationTitle);
  Application->CreateForm<TFrm_Main>(&Frm_Main);
  Application->CreateForm<TFrm_Data>(&Frm_Data);
  Application->CreateForm<TFrm_Login>(&Frm_Login);
  if (Frm_Data->DBConnected() != 1) {
    // The data module told the user already.
    Application->Terminate();
    return 1;
  }
  // What a save cut short by a crash left among the attachments is settled before anything
  // else: finished when its rows are stored, undone when not.
  try {
    RecoverAllAttachments();
  } catch (const Exception& e) {
    // Nothing is lost: the files wait in staging for the next start.
    Application->ShowException(e);
  }
  // Working copies of a backup, restore or compaction that was killed go too, never another file.
  RemoveDbFileLeftovers(ProgramFolder() + "DataBase");
  Frm_Login->ShowModal();
  if (Frm_Login->LoginOK != 1) return 0;
  Application->Run();
  return 0;
}
