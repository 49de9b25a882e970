#pragma once
// The main window: the MDI frame whose menus, tool bar and actions start every function of
// the program, the state of the current run that other windows read (the operator, the
// decimal places, the proposed export name), the lists opened as its MDI children, and the
// due-date reminder that runs once, a second after the window is first shown.
//
// Its components are those of the layout forms/TFrm_Main.txt. Other windows' layouts name
// them as Frm_Main.<component>.
#include "forms/TFrm_Main.h"
#include "gui/Forms.h"

class TFrm_Main : public TFrm_MainLayout<TForm> {
  KELM_CLASS(TFrm_Main, TFrm_MainLayout<TForm>)
public:
  explicit TFrm_Main(TComponent* AOwner);
  ~TFrm_Main() override;

  // ---- the run's shared values
  // The operator of the last successful login, trimmed.
  String CurrentUser;
  // Read from T_SoftInfo when the window is first shown.
  String SoftName;
  String Version;
  // Decimal places of quantities, prices and amounts in the lists.
  int DotNumber = 0;
  int DotPrice = 0;
  int DotMoney = 0;
  // The file name the export's save dialog proposes; windows set it before an export.
  String ExportFileName;

  // The right names of tUser.qxlist paired with the actions they govern, in the order they
  // are applied after a login.
  struct TRightAction {
    const char* Right;
    TAction* TFrm_Main::*Action;
  };
  static const TRightAction RightActions[28];

  // The program's own contact points, opened by the help menu and the tool bar.
  static const char* const SupportMailUrl;
  static const char* const HomepageUrl;

  // Gives the actions the rights of CurrentUser: an action is enabled exactly when its right
  // occurs in the user's right list, so a change of user also gets back what the previous
  // user lacked. A user without a row of tUser holds no rights.
  void ApplyUserRights();
  // Closes every MDI child, from the last to the first.
  void CloseMDIChildren();
  // Copies a file over another (written beside it and renamed, so the target is never half
  // written); EInOutError "Error using LZCopy" when the copy fails.
  static void LZCopyFile(const String& Source, const String& Target);
  static const char* const CompactDoneText;    // "压缩数据库成功!"
  static const char* const CompactFailedText;  // "压缩数据库失败!"
  // The layout's image lists receive their pictures when it has loaded.
  void Loaded() override;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void ttTXTimer(TObject* Sender);
  void N34Click(TObject* Sender);
  void LogoutExecute(TObject* Sender);
  void N36Click(TObject* Sender);
  void N33Click(TObject* Sender);
  void A_HomepageExecute(TObject* Sender);
  void TB_Click(TObject* Sender);
  void HelpExecute(TObject* Sender);
  void M_BackupExecute(TObject* Sender);
  void M_RestoreExecute(TObject* Sender);
  void Sys_CompactClick(TObject* Sender);
  void M_OptionExecute(TObject* Sender);
  void M_CompanyExecute(TObject* Sender);
  void cleardataClick(TObject* Sender);

private:
  void ShowBackupWindow(int Mode);
};

// Compacts the database file, its connections closed; false when it could not, the file then
// being as it was. The password is that of the connection string, which SQLite files lack.
bool CompactJetDatabase(const String& FileName, const String& Password);

extern TFrm_Main* Frm_Main;

// Shows an MDI child that exists: restored when minimised, made visible, brought to the front
// and focused.
void ShowExistingMDIChild(TForm* Child);

// Shows the one MDI child of class T: the first open form of exactly that class, shown as
// above; without one, a new instance is made with Owner. Reference receives the window (a new
// one before its layout and OnCreate run, so its own creation code reaches it through its
// global).
template <class T> T* OpenMDIChild(T*& Reference, TComponent* Owner) {
  for (int i = 0; Screen && i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    if (f->ClassType() != T::StaticClass()) continue;
    Reference = static_cast<T*>(f);
    ShowExistingMDIChild(f);
    return Reference;
  }
  CreateForm<T>(Owner, &Reference);
  if (Reference && !Reference->Visible()) Reference->Show();
  return Reference;
}
