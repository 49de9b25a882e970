#pragma once
// The data module: the one connection to the database file, the Config.ini accessor, the
// queries and data sources every window reads and writes through, and the report components.
// Its components are those of the layout forms/TFrm_Data.txt; creating it opens the
// database.
#include "core/IniFiles.h"
#include "forms/TFrm_Data.h"
#include "gui/Forms.h"

#include <functional>
#include <memory>

class TFrm_Data : public TFrm_DataLayout<TDataModule> {
  KELM_CLASS(TFrm_Data, TFrm_DataLayout<TDataModule>)
public:
  explicit TFrm_Data(TComponent* AOwner);
  ~TFrm_Data() override;

  // The message shown when the database cannot be opened (its trailing blank included).
  static const char* const ConnectFailedText;  // "连接数据库失败,请与沃岚软件联系 "

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
  // Runs Work in one transaction of ADOConnection1: committed when it returns, rolled back
  // when it throws (the exception goes on). Inside a transaction already open, Work joins it.
  void RunInTransaction(const std::function<void()>& Work);
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
