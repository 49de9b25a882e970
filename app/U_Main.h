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
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/Screen.h"
#include "gui/Timers.h"
#include "core/Variant.h"
#include "gui/ToolBar.h"

#include <functional>
#include <vector>

class TADOQuery;
class TControl;
class TCustomComboBox;
class TCustomDBGridEh;
class TCustomTreeView;
class TPrintDBGridEh;
class TDataSet;
class TField;
class TStatusBar;

// What a list searches for: rows of Table whose column, named by the search field's title in
// the list's T_FieldShow rows, contains Key; optionally between two dates of DateField; and
// any further conditions the list adds (each a complete condition, values through SqlText).
struct TListSearch {
  String Table;
  String ListName;
  String FieldTitle;
  String Key;
  String DateField;  // '' for no date range
  TDateTime BeginDate = 0;
  TDateTime EndDate = 0;
  std::vector<String> Conditions;
};

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
  // The grid printer of every list (Units MM, no options), owned by the window and named
  // "dgPrint" among its components. It is made here rather than in the layout: the window's
  // generated header would bring the grid's declarations to every unit that includes this one.
  TPrintDBGridEh* dgPrint = nullptr;

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
  // ---- the spreadsheet import (legacy/MainImport.cpp): the state of one import, from the opening
  // of the workbook until the mapping window closes it
  Variant ExcelApp;                   // the spreadsheet application's automation object
  Variant ExcelBook;                  // the workbook
  int ImportColCount = 0;             // used columns and rows of the active sheet, titles included
  int ImportRowCount = 0;
  std::vector<String> ImportHeaders;  // the values of the first row, column 1 first, as text
  String ImportFileName;              // the chosen file's name without its folder
  // Opens a workbook the user chooses for the import of Kind ("Custom" contracts, "Goods"),
  // prefills the kind's mapping from its titles and shows the mapping window. A workbook that
  // cannot be read is told (the reader's message names the file) and nothing is imported.
  void OpenExcelImport(const String& Kind);
  // Closes the workbook, quits the application and lets both go; nothing when none is open.
  void CloseExcelImport();
  static const char* const NoExcelText;  // "您系统未安装MS-EXCEL"

  // ---- the lists' columns (U_MainColumns.cpp)
  // Rebuilds Grid's columns from the shown T_FieldShow rows of the list ListName (ShowID
  // order, ties in table order) over Query, which the grid shows and which is normally open:
  // field labels live on its fields. A row naming a field Query lacks is left out and the
  // error shown once after the build, which goes on.
  void BuildGridColumns(TCustomDBGridEh* Grid, TDataSet* Query, const String& ListName);
  // Writes each column's position and width back to the list's rows by field, in one
  // transaction; Notify 1 confirms. A grid of one column or none writes nothing.
  void SaveGridColumns(TCustomDBGridEh* Grid, const String& ListName, int Notify);
  // Sorts an open Query by Grid's sort markers in marking order; no marker restores the
  // query's own order. A closed query is left alone.
  void ApplyGridSort(TCustomDBGridEh* Grid, TDataSet* Query);
  // The display format of a number with Places decimals: "0", "0.0" .. "0.0000000000";
  // "" outside 0..10.
  static String DecimalFormat(int Places);
  static const char* const ColumnsSavedText;  // "列属性已成功保存!"
  // The drop-down lists a column may offer: a Dict_Combo value found in this text.
  static const char* const ComboListNames;

  // ---- commands the lists share (U_MainCommands.cpp)
  // Writes Grid's rows, all of them, to a spreadsheet file the user names in the save
  // dialog (".xls" added when the name lacks it), then offers to open it. A closed or empty
  // Query is told and the action ends silently (EAbort); a file that cannot be written raises
  // the exporter's error and nothing is offered.
  void ExportGridToExcel(TDataSet* Query, TCustomDBGridEh* Grid);
  // The print preview of Grid through dgPrint, titled Title alone.
  void PrintList(TCustomDBGridEh* Grid, const String& Title);
  // Combo's items become the trimmed second column of Table's rows in id order.
  void FillComboFromTable(TCustomComboBox* Combo, const String& Table);
  // The file an export writes for the name the save dialog returned: trimmed, ".xls" added
  // when it holds no ".xls" (letter case counts); '' for a name that is empty.
  static String ExcelFileName(const String& Chosen);
  static const char* const NotShownText;    // "数据没有显示不能导出成Excel文件!"
  static const char* const NoDataText;      // "没有数据,不能导出成Excel文件!"
  static const char* const ExcelFilter;     // "EXCEL文件(*.xls)|*.xls"
  // The question after an export: "文件" + the file + "已建立，是否打开文件？".
  static String OpenExportQuestion(const String& FileName);
  // The reminder window, made without owner, shown modally and freed.
  void ShowReminderWindow();

  // ---- category codes (U_MainCodes.cpp)
  // "0" + Code for 1, 3, 5, 7 or 9 characters; Code for 2, 4, 6 or 8; "" otherwise.
  static String PadCode(const String& Code);
  // The 1-based place in Pattern's digits where their running sum reaches Code's length;
  // -1 when it never does or either text is empty.
  static int CodeLevel(const String& Pattern, const String& Code);
  // Fills Tree from the code table Table under a root captioned RootText.
  void FillCodeTree(TCustomTreeView* Tree, const String& Table, const String& RootText);
  // The same from the dict_cate rows of one kind; the root ends selected.
  void FillCategoryTree(TCustomTreeView* Tree, const String& Kind, const String& RootText);
  static const char* const CodePattern;  // "222222222222222": fifteen levels of two digits

  // ---- the lists' search (U_MainSearch.cpp)
  // The statement of a search: "Select * from <table>" with its conditions joined by "and".
  // An empty key adds no condition on the column, so rows whose column is empty are found
  // too; a date column is matched by its text (yyyy-mm-dd), as the user sees it.
  String ListSearchSQL(const TListSearch& Search);
  // Shows a search's rows: Query opened on SQL, Grid's columns built from ColumnList and
  // "当前共有 n 条记录" in the status bar; Button disabled and the hourglass shown meanwhile,
  // both put back however it ends. The number of rows.
  int ShowListSearch(TADOQuery* Query, const String& SQL, TCustomDBGridEh* Grid, const String& ColumnList,
                     TStatusBar* Status, TControl* Button);
  // "当前共有 " + Count + " 条记录".
  static String RecordCountText(int Count);
  // Shows RecordCountText(Count) in the status bar's first panel (its simple text without one).
  static void ShowRecordCount(TStatusBar* Status, int Count);
  // Each open list notes its current record, before a restore closes the lists' queries.
  void NoteOpenLists();
  // Shows every open list as a search shows it: after a restore, the lists' queries, closed by
  // the disconnection, open again on their statements, each on the record it noted.
  void RefreshOpenLists();
  // The employee list, when it is open, shown as a search shows it: its dialog's unit cannot
  // see the list's grid.
  void RefreshEmployeeList();
  // Combo's items become the titles (Name) of the list's T_FieldShow rows, in the order the
  // table holds them, date columns only WithDates; the first is chosen.
  void FillSearchFields(TCustomComboBox* Combo, const String& ListName, bool WithDates);

  // ---- the customer and employee lists and the contract chart (U_MainPeople.cpp)
  void Cust_MExecute(TObject* Sender);
  void AddCustExecute(TObject* Sender);
  void EditCustExecute(TObject* Sender);
  void DelCustExecute(TObject* Sender);
  void CustPrintExecute(TObject* Sender);
  // The data module's reports: shown in the report preview (the actions), opened in the
  // report designer (the hidden menu items). Nothing on the visible interface reaches them.
  void PrintGoodsExecute(TObject* Sender);
  void PrintProjectExecute(TObject* Sender);
  void PrintcustExecute(TObject* Sender);
  void N18Click(TObject* Sender);
  void N13Click(TObject* Sender);
  void CustExpExecute(TObject* Sender);
  void Emp_MExecute(TObject* Sender);
  void EmpAddExecute(TObject* Sender);
  void EmpEditExecute(TObject* Sender);
  void EmpDelExecute(TObject* Sender);
  void EmpPrintExecute(TObject* Sender);
  void EmpExpExecute(TObject* Sender);
  // The chart of the contract list's last search; nothing while the list is closed.
  void PactChartExecute(TObject* Sender);
  static void PublishPeopleCommands(TClassBuilder<TFrm_Main>& b);
  // The employee dialog, without owner, in add (1) or edit (0) mode, shown modally and freed
  // (U_MainEmpDialog.cpp: its edit controls and the grid's cannot share a unit).
  static void ShowEmployeeDialog(Byte AddMode);
  static const char* const BoxCaption;         // "提示"
  static const char* const ContinueText;       // "点击确定继续操作！"
  static const char* const FailedText;         // "操作失败！"
  static const char* const CustInUseText;      // "合同信息中含有该客户信息，点击确定继续操作！"
  static const char* const EmpInUseText;       // "合同信息中含有该员工信息，点击确定继续操作！"
  // Whether Query is open and has a current row.
  static bool HasCurrentRow(TDataSet* Query);
  // The two questions of a delete: InUseText first when InUseSQL finds rows, then
  // ContinueText; true when both were answered Yes. An empty InUseSQL asks the second alone.
  bool ConfirmDelete(const String& InUseSQL, const String& InUseText);

  // ---- the project list and the contract list's delete, print and export (U_MainProjects.cpp)
  void Prj_MExecute(TObject* Sender);
  void PrjAddExecute(TObject* Sender);
  void PrjEditExecute(TObject* Sender);
  void PrjDelExecute(TObject* Sender);
  void PrjPrintExecute(TObject* Sender);
  void PrjExpExecute(TObject* Sender);
  void PactDelExecute(TObject* Sender);
  void PactPrintExecute(TObject* Sender);
  void PactExpExecute(TObject* Sender);
  static void PublishProjectCommands(TClassBuilder<TFrm_Main>& b);
  static const char* const PrjInUseText;  // "合同信息中含有该项目信息，点击确定继续操作！"
  // Runs a delete of List's current row in one transaction: all of it or, told with
  // FailedText, none of it, List then back on that row. True when it was committed.
  bool DeleteInTransaction(TDataSet* List, const std::function<void()>& Work);

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
  void N20Click(TObject* Sender);
  void UserQX1Execute(TObject* Sender);
  void Category_custExecute(TObject* Sender);
  void Category_wdExecute(TObject* Sender);
  void N22Click(TObject* Sender);
  void MoneyInExecute(TObject* Sender);
  void MoneyOutExecute(TObject* Sender);
  void ToolButton8Click(TObject* Sender);
  // The contract list (tool bar "合同管理").
  void Pact_MExecute(TObject* Sender);
  // The contract edit window: adding (mode 1), or editing the list's current contract (mode 0).
  void PactAddExecute(TObject* Sender);
  void PactEditExecute(TObject* Sender);

private:
  void ShowBackupWindow(int Mode);
  // The code-tree window over Table with Caption, modal, freed after.
  void ShowCodeTree(const String& Table, const String& Caption);
  // Makes dgPrint (U_MainCommands.cpp).
  void MakeListPrinter();
  // A plain information box captioned with the application title.
  static void Inform(const String& Text);
  // One column of a list from its T_FieldShow row; Field the query's field, when it has it.
  void AddListColumn(TCustomDBGridEh* Grid, TDataSet* Row, TField* Field);
  void FillTreeFrom(TCustomTreeView* Tree, const String& SQL, const String& RootText, bool SelectRoot);
};

// Compacts the database file, its connections closed; false when it could not, the file then
// being as it was. The password is that of the connection string, which SQLite files lack.
bool CompactJetDatabase(const String& FileName, const String& Password);

extern TFrm_Main* Frm_Main;

// Fills List with the program's pictures of its size ("images/<size>/<name>.png"), by image
// index.
void LoadImageListPictures(TCustomImageList* List, const std::vector<const char*>& Pictures);

// Text with the first occurrence of Part deleted; Text itself when Part does not occur.
String RemoveFirstOccurrence(const String& Text, const String& Part);

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
