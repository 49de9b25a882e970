#include "app/U_Backup.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "data/DatabaseFiles.h"
#include "gui/Application.h"
#include "core/Scope.h"

const char* const TFrm_Backup::BackupDoneText = "备份成功,文件备份在:";
const char* const TFrm_Backup::BackupFailedText = "备份失败!";
const char* const TFrm_Backup::NoFileText = "请选择一个恢复的数据库";
const char* const TFrm_Backup::RestoreQuestion = "注意,执行此操作会导致数据丢失,建议您先做好数据的备份!";
const char* const TFrm_Backup::RestoreDoneText = "数据恢复成功!";
const char* const TFrm_Backup::RestoreFailedText = "数据恢复失败!";

KELM_PUBLISH(TFrm_Backup) {
  b.Method("FormShow", &TFrm_Backup::FormShow);
  b.Method("FormClose", &TFrm_Backup::FormClose);
  b.Method("Btn_BackClick", &TFrm_Backup::Btn_BackClick);
  b.Method("Btn_StoreClick", &TFrm_Backup::Btn_StoreClick);
}

String TFrm_Backup::BackupFileName(const String& Folder, TDateTime Day) const {
  return IncludeTrailingPathDelimiter(Folder) + DBName + "_bak" + FormatDateTime("yyyy-mm-dd", Day) + ".mdb";
}

int TFrm_Backup::Tell(const String& Text, const String& Caption, int Flags) {
  return Application->MessageBox(Text, Caption, Flags);
}

void TFrm_Backup::FormShow(TObject*) {
  TIniFile* ini = Frm_Data->ConfigIni();
  int drive = ini->ReadInteger("Config", "Drive", -1);
  if (drive >= 0 && drive < DriveComboBox1->Items()->Count()) DriveComboBox1->SetItemIndex(drive);
  // A folder that is gone since leaves the list where it is.
  String folder = ini->ReadString("Config", "DirectoryList", "");
  if (!folder.empty() && DirectoryExists(folder)) DirectoryListBox1->SetDirectory(folder);
  DBName = ini->ReadString("Config", "DBName", "");
  TabSheet1->SetTabVisible(false);
  TabSheet2->SetTabVisible(false);
  bool restore = Mode == 2;
  PageControl1->SetActivePage(restore ? TabSheet2 : TabSheet1);
  SetCaption(restore ? "数据恢复" : "数据库备份");
  lb_Notice->SetVisible(restore);
}

void TFrm_Backup::FormClose(TObject*, TCloseAction&) {
  TIniFile* ini = Frm_Data->ConfigIni();
  ini->WriteInteger("Config", "Drive", DriveComboBox1->ItemIndex());
  ini->WriteString("Config", "DirectoryList", DirectoryListBox1->Directory());
}

void TFrm_Backup::Btn_BackClick(TObject*) {
  String target = BackupFileName(DirectoryListBox1->Directory(), Date());
  try {
    // Without a name the copy would be called "_bak<date>.mdb": refused as the copy failing.
    if (DBName.empty()) throw EInOutError("Config.ini names no database");
    // Copies of earlier days that a killed backup left behind go as well as today's.
    RemoveDbFileLeftovers(ExtractFilePath(target), "." + DBName + "_bak");
    BackupDatabase(*Frm_Data->ADOConnection1, target);
    Tell(BackupDoneText + target, "成功");
  } catch (const Exception&) {
    Tell(BackupFailedText, "警告");
  }
  FileListBox1->Update();
}

void TFrm_Backup::Btn_StoreClick(TObject*) {
  String source = FileListBox1->FileName();
  // The restore closes the lists' queries with the connection; they show the restored rows,
  // each on the record it stood on, once it is open again. Opening again may raise, so it is
  // no destructor's work.
  Frm_Main->NoteOpenLists();
  TryFinally(
      [&] {
        if (source.empty()) Tell(NoFileText, "警告");
        else if (Tell(RestoreQuestion, "警告", MB_YESNO | MB_ICONINFORMATION) == IDYES) Restore(source);
      },
      [] { Frm_Data->ADOConnection1->Open(); });
  Frm_Main->RefreshOpenLists();
}

void TFrm_Backup::Restore(const String& Source) {
  TADOConnection* conn = Frm_Data->ADOConnection1;
  conn->Close();
  try {
    ReplaceDatabaseFile(Source, conn->FileName());
  } catch (const Exception&) {
    Tell(RestoreFailedText, "警告");
    return;
  }
  Tell(RestoreDoneText, "警告");
}
