#pragma once
// The data module: the one connection to the database file, the Config.ini accessor, the
// queries and data sources every window reads and writes through, and the report components.
// Its components come from the layout forms/TFrm_Data.txt; creating it opens the database.
#include "data/ADODB.h"
#include "gui/Controls.h"
#include "gui/DataModule.h"
#include "report_legacy/FR_Class.h"
#include "core/IniFiles.h"
#include "report/frxClass.h"
#include "report/designer/frxDesgn.h"

#include <memory>

class TFrm_Data : public TDataModule {
  KELM_CLASS(TFrm_Data, TDataModule)
public:
  explicit TFrm_Data(TComponent* AOwner);
  ~TFrm_Data() override;

  // The message shown when the database cannot be opened (its trailing blank included).
  static const char* const ConnectFailedText;  // "连接数据库失败,请与沃岚软件联系 "

  // ---- components of the layout
  TADOConnection* ADOConnection1 = nullptr;
  // Shared queries of the live windows, with their data sources.
  TADOQuery* qryPact = nullptr;             TDataSource* dsPact = nullptr;
  TADOQuery* qryPactZJ = nullptr;           TDataSource* dsPactZJ = nullptr;
  TADOQuery* qryPactJH = nullptr;           TDataSource* dsPactJH = nullptr;
  TADOQuery* qryPactDoc = nullptr;          TDataSource* dsPactDoc = nullptr;
  TADOQuery* qryPactFP = nullptr;           TDataSource* dsPactFP = nullptr;
  TADOQuery* qryPactZJAdd = nullptr;        TDataSource* dsPactZJAdd = nullptr;
  TADOQuery* qryPactJHAdd = nullptr;        TDataSource* dsPactJHAdd = nullptr;
  TADOQuery* qryPactDocAdd = nullptr;       TDataSource* dsPactDocAdd = nullptr;
  TADOQuery* qryPrj = nullptr;              TDataSource* dsPrj = nullptr;
  TADOQuery* qryPrjDoc = nullptr;           TDataSource* dsPrjDoc = nullptr;
  TADOQuery* qryPrjDocAdd = nullptr;        TDataSource* dsPrjDocAdd = nullptr;
  TADOQuery* qryEmp = nullptr;              TDataSource* dsEmp = nullptr;
  TADOQuery* qryCustContact = nullptr;      TDataSource* dsCustContact = nullptr;
  TADOQuery* qryCustContactAdd = nullptr;   TDataSource* dsCustContactAdd = nullptr;
  TADOQuery* qrySelect = nullptr;           TDataSource* dsSelect = nullptr;
  TADOQuery* qryInMoney = nullptr;          TDataSource* dsInMoney = nullptr;
  TADOQuery* qryOutMoney = nullptr;         TDataSource* dsOutMoney = nullptr;
  TADOQuery* qryInMoneyTX = nullptr;        TDataSource* dsInMoneyTX = nullptr;
  TADOQuery* qryOutMoneyTX = nullptr;       TDataSource* dsOutMoneyTX = nullptr;
  TADOQuery* qryUserQX = nullptr;           TDataSource* dsUserQX = nullptr;
  TADOQuery* qryCombo = nullptr;            TDataSource* dsCombo = nullptr;
  TADOQuery* qryChart = nullptr;            TDataSource* dsChart = nullptr;
  TADOQuery* Qry_Cust = nullptr;            TDataSource* DS_Cust = nullptr;
  TADOQuery* Qry_Temp = nullptr;
  TADOQuery* Qry_Str = nullptr;
  TADOQuery* Qry_FieldShow = nullptr;
  TADOQuery* Qry_APPInfo = nullptr;
  TADOQuery* Qry_Company = nullptr;
  TADOQuery* Qry_Hy = nullptr;
  // Queries of the older record windows.
  TADOQuery* Qry_Bill = nullptr;            TDataSource* DS_Bill = nullptr;
  TADOQuery* Qry_BillDetail = nullptr;      TDataSource* DS_BillDetail = nullptr;
  TADOQuery* Qry_Goods = nullptr;           TDataSource* DS_Goods = nullptr;
  TADOQuery* Qry_Project = nullptr;         TDataSource* DS_Project = nullptr;
  TADOQuery* Qry_htfl = nullptr;            TDataSource* DS_htfl = nullptr;
  TADOQuery* Qry_HT = nullptr;              TDataSource* DS_HT = nullptr;
  TADOQuery* Qry_HTBG = nullptr;            TDataSource* DS_HTBG = nullptr;
  TADOQuery* Qry_htbl = nullptr;            TDataSource* DS_htbl = nullptr;
  TADOQuery* Qry_htsp = nullptr;            TDataSource* DS_htsp = nullptr;
  TADOQuery* Qry_htjs = nullptr;            TDataSource* DS_HTJS = nullptr;
  TADOQuery* Qry_htjh = nullptr;            TDataSource* DS_htjh = nullptr;
  TADOQuery* Qry_htfk = nullptr;            TDataSource* DS_fk = nullptr;
  TADOQuery* Qry_htwd = nullptr;            TDataSource* DS_htwd = nullptr;
  TADOQuery* Qry_htskjh = nullptr;          TDataSource* DS_htskjh = nullptr;
  TADOQuery* Qry_htsk = nullptr;            TDataSource* DS_htsk = nullptr;
  TADOQuery* Qry_count1 = nullptr;          TDataSource* DS_Count1 = nullptr;
  TADOQuery* Qry_Other = nullptr;           TDataSource* DS_Other = nullptr;
  TADOQuery* Qry_AllBill = nullptr;         TDataSource* DS_AllBill = nullptr;
  TADOQuery* Qry_emloyee = nullptr;         TDataSource* DS_employee = nullptr;
  TADOQuery* Qry_Null = nullptr;            TDataSource* DS_Null = nullptr;
  TADOQuery* Qry_Import = nullptr;
  TADOQuery* Qry_Count = nullptr;
  TADOQuery* Qry_Repeat = nullptr;
  TADOQuery* Qry_SoftInfo = nullptr;
  TADOQuery* Qry_Post = nullptr;
  TADOQuery* Qry_Del = nullptr;
  TADOQuery* Qry_SQL = nullptr;
  TADOQuery* Qry_momeryprice = nullptr;
  // Report components.
  TfrxReport* frx_goods = nullptr;
  TfrxReport* frx_cust = nullptr;
  TfrxReport* frx_project = nullptr;
  TfrxReport* frx_inbill = nullptr;
  TfrxReport* frx_outbill = nullptr;
  TfrxDBDataset* frxDBDataset1 = nullptr;
  TfrxDBDataset* frxDBDataset2 = nullptr;
  TfrxDBDataset* frxDBDataset3 = nullptr;
  TfrxDBDataset* frxDBDataset4 = nullptr;
  TfrxDBDataset* frxDBDataset5 = nullptr;
  TfrxDesigner* frxDesigner1 = nullptr;
  TfrReport* fr_Project = nullptr;
  TfrReport* fr_OutBill = nullptr;
  TfrDBDataSet* frDS_Project = nullptr;

  // ---- values kept from the module's creation
  // Config.ini beside the program; every read and write goes straight to the file.
  TIniFile* ConfigIni() const { return FConfigIni.get(); }
  // The connection string as built at creation; windows with a connection of their own use it.
  const String& ConnectionString() const { return FConnectionString; }
  // 1 once the connection opened at creation, else 0.
  Byte DBConnected() const { return FDBConnected; }

  // Closes the query, makes SQL its only statement and opens it. Errors reach the caller,
  // with the query left closed.
  void OpenQuery(TADOQuery* Query, const String& SQL);
  // The same three first steps, then runs the statement without a result set.
  void ExecQuery(TADOQuery* Query, const String& SQL);
  // Shows the file in the file manager: false, doing nothing, when the file does not exist.
  bool SelectFileInExplorer(const String& FileName);
  // Gives the windowed children of Container tab orders by position: by Top, then Left,
  // equal positions keeping their control order; with Recurse, each child's own children too.
  void SetTabOrderByPosition(TWinControl* Container, bool Recurse);

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  // The bill-detail amount rule, on a change of any of its three operands.
  void Qry_BillDetailNumberChange(TField* Sender);
  void Qry_BillDetailPriceChange(TField* Sender);
  void Qry_BillDetailDiscountChange(TField* Sender);

  // Number x Price x Discount of the row, read as floating values, rounded half to even at
  // the fourth decimal into Money.
  static void ApplyBillDetailAmount(TDataSet* DataSet);
  // The connection string for a database file, exactly as the program builds it.
  static String BuildConnectionString(const String& ProgramFolder);

private:
  void LoadReportFile(TfrxReport* Report, const String& FileName);

  std::unique_ptr<TIniFile> FConfigIni;
  String FConnectionString;
  Byte FDBConnected = 0;
};

extern TFrm_Data* Frm_Data;
