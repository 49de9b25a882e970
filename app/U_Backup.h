#pragma once
// Backup and restore of the database file. The file is the one the data module's connection
// opened; Config.ini's DBName only names the backup copy. A backup is taken from the open
// connection; a restore closes it, puts the chosen file in place once it proved to be a sound
// database of the same tables, and always connects again.
#include "forms/TFrm_Backup.h"
#include "gui/Forms.h"

class TFrm_Backup : public TFrm_BackupLayout<TForm> {
  KELM_CLASS(TFrm_Backup, TFrm_BackupLayout<TForm>)
public:
  explicit TFrm_Backup(TComponent* AOwner) : inherited(AOwner) {}

  static const char* const BackupDoneText;     // "备份成功,文件备份在:" (the path follows)
  static const char* const BackupFailedText;   // "备份失败!"
  static const char* const NoFileText;         // "请选择一个恢复的数据库"
  static const char* const RestoreQuestion;    // the warning before a restore
  static const char* const RestoreDoneText;    // "数据恢复成功!"
  static const char* const RestoreFailedText;  // "数据恢复失败!"

  // 1 backup, 2 restore; set before the window shows.
  int Mode = 1;
  // The database's name without extension, from Config.ini.
  String DBName;

  // The backup's file in a folder: <folder>\<DBName>_bak<yyyy-mm-dd>.mdb for the day given.
  String BackupFileName(const String& Folder, TDateTime Day) const;

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Btn_BackClick(TObject* Sender);
  void Btn_StoreClick(TObject* Sender);

private:
  int Tell(const String& Text, const String& Caption, int Flags = MB_OK | MB_ICONINFORMATION);
  void Restore(const String& Source);
};
