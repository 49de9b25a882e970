#pragma once
// TADOQuery: runs the program's SQL (Jet dialect, translated) and holds the result on the
// client, writing edits back to the table they came from; its ":name" parameters.
// Declares TParameter, TParameters and TADOQuery.
#include "data/ADOConnection.h"
#include "data/DB.h"
#include "data/JetSql.h"

#include <memory>
#include <vector>

struct sqlite3_stmt;

// ------------------------------------------------------------------------------ parameters

KELM_ENUM(TParameterDirection, pdUnknown, pdInput, pdOutput, pdInputOutput, pdReturnValue)

// One ":name" of a query's SQL; its value is bound through SQLite, never spliced into the text.
class TParameter : public TCollectionItem {
  KELM_CLASS(TParameter, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("Name", &TParameter::Name, &TParameter::SetName);
    b.Prop("DataType", &TParameter::DataType, &TParameter::SetDataType).Default(ftUnknown);
    b.Prop("Direction", &TParameter::Direction, &TParameter::SetDirection).Default(pdInput);
    b.Prop("Size", &TParameter::Size, &TParameter::SetSize).Default(0);
    b.Prop("Value", &TParameter::Value, &TParameter::SetValue);
  }
public:
  explicit TParameter(TCollection* Collection);

  const String& Name() const { return FName; }
  void SetName(const String& value) { FName = value; }
  TFieldType DataType() const { return FDataType; }
  void SetDataType(TFieldType value) { FDataType = value; }
  TParameterDirection Direction() const { return FDirection; }
  void SetDirection(TParameterDirection value) { FDirection = value; }
  int Size() const { return FSize; }
  void SetSize(int value) { FSize = value; }
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& value);  // the data type follows the value unless set before
  String DisplayName() const override { return FName; }
  void Assign(TPersistent* Source) override;

private:
  String FName;
  TFieldType FDataType = ftUnknown;
  TParameterDirection FDirection = pdInput;
  int FSize = 0;
  Variant FValue;
};

class TParameters : public TOwnedCollection {
  KELM_CLASS(TParameters, TOwnedCollection)
public:
  explicit TParameters(TPersistent* Owner);
  TParameter* Items(int index) const { return static_cast<TParameter*>(TCollection::Items(index)); }
  TParameter* operator[](int index) const { return Items(index); }
  TParameter* AddParameter() { return static_cast<TParameter*>(TCollection::Add()); }
  TParameter* CreateParameter(const String& name, TFieldType dataType, TParameterDirection direction, int size,
                              const Variant& value);
  TParameter* FindParam(const String& name) const;    // without regard to case; nullptr when absent
  TParameter* ParamByName(const String& name) const;  // raises EADOError when absent
  Variant ParamValues(const String& name) const { return ParamByName(name)->Value(); }
  void SetParamValues(const String& name, const Variant& value) { ParamByName(name)->SetValue(value); }
  // Makes the list match the ":name"s of a statement, keeping the values of names that stay.
  void ParseSQL(const String& sql);
};

// ------------------------------------------------------------------------------ TADOQuery

// A query whose result is held on the client. "select … from T" over one table is updatable:
// Post writes INSERT or UPDATE … WHERE rowid=?, Delete writes DELETE … WHERE rowid=?, with bound
// values; SQLite's rowid is kept beside each row and is no field. With ltBatchOptimistic the
// changes wait for UpdateBatch.
class TADOQuery : public TDataSet, public TADOConnectionClient {
  KELM_CLASS(TADOQuery, TDataSet)
  template <class B> static void Published(B& b) {
    b.Prop("Connection", &TADOQuery::Connection, &TADOQuery::SetConnection);
    b.Prop("ConnectionString", &TADOQuery::ConnectionString, &TADOQuery::SetConnectionString)
        .Stored(&TADOQuery::ConnectionStringStored);
    b.Prop("CursorLocation", &TADOQuery::CursorLocation, &TADOQuery::SetCursorLocation).Default(clUseClient);
    b.Prop("CursorType", &TADOQuery::CursorType, &TADOQuery::SetCursorType).Default(ctKeyset);
    b.Prop("LockType", &TADOQuery::LockType, &TADOQuery::SetLockType).Default(ltOptimistic);
    b.Prop("EnableBCD", &TADOQuery::EnableBCD, &TADOQuery::SetEnableBCD).Default(true);
    b.Prop("CommandTimeout", &TADOQuery::CommandTimeout, &TADOQuery::SetCommandTimeout).Default(30);
    b.Prop("MaxRecords", &TADOQuery::MaxRecords, &TADOQuery::SetMaxRecords).Default(0);
    b.Prop("DataSource", &TADOQuery::DataSource, &TADOQuery::SetDataSource);
    b.Prop("ParamCheck", &TADOQuery::ParamCheck, &TADOQuery::SetParamCheck).Default(true);
    b.Prop("Parameters", &TADOQuery::Parameters, &TADOQuery::SetParameters);
    b.Prop("Prepared", &TADOQuery::Prepared, &TADOQuery::SetPrepared).Default(false);
    b.Prop("SQL", &TADOQuery::SQL, &TADOQuery::SetSQL);
  }
public:
  explicit TADOQuery(TComponent* AOwner);
  ~TADOQuery() override;

  // Published properties.
  TADOConnection* Connection() const { return FConnection; }
  void SetConnection(TADOConnection* value);
  // A query with a connection string of its own opens its own connection to the file.
  String ConnectionString() const;
  void SetConnectionString(const String& value);
  TStrings* SQL() const { return FSQL.get(); }
  void SetSQL(TStrings* value) { FSQL->Assign(value); }
  TParameters* Parameters() const { return FParameters.get(); }
  void SetParameters(TParameters* value) { FParameters->Assign(value); }
  bool ParamCheck() const { return FParamCheck; }
  void SetParamCheck(bool value) { FParamCheck = value; }
  TADOLockType LockType() const { return FLockType; }
  void SetLockType(TADOLockType value);  // only while closed
  TCursorType CursorType() const { return FCursorType; }
  void SetCursorType(TCursorType value) { FCursorType = value; }
  TCursorLocation CursorLocation() const { return FCursorLocation; }
  void SetCursorLocation(TCursorLocation value) { FCursorLocation = value; }
  // CURRENCY columns become TBCDField (exact) when set, TCurrencyField (a float) when not.
  bool EnableBCD() const { return FEnableBCD; }
  void SetEnableBCD(bool value);
  bool Prepared() const { return FPrepared; }
  void SetPrepared(bool value) { FPrepared = value; }
  int CommandTimeout() const { return FCommandTimeout; }
  void SetCommandTimeout(int value) { FCommandTimeout = value; }
  int MaxRecords() const { return FMaxRecords; }  // 0: all
  void SetMaxRecords(int value) { FMaxRecords = value; }
  // A master whose current record gives values to parameters of the same names; without
  // parameters it does nothing.
  TDataSource* DataSource() const { return FMasterSource; }
  void SetDataSource(TDataSource* value);

  // Runs the SQL without a result set; answers the rows it changed.
  int ExecSQL();
  // Runs the SQL again; the first record becomes current.
  void Requery();
  // Writes the changes held in batch mode, in the order they were made, inside the
  // connection's transaction when one is open.
  void UpdateBatch();
  // Drops the changes held in batch mode.
  void CancelBatch();
  int PendingChanges() const { return PendingUpdateCount(); }
  // The table edits write to; '' for a read-only result.
  const String& UpdateTable() const { return FTable; }
  int RowsAffected() const { return FRowsAffected; }
  // The SQL as one text, without the line break after its last line.
  String CommandText() const { return TrimRight(FSQL->Text()); }

protected:
  void InternalOpen() override;
  void InternalClose() override;
  void InternalRefresh() override;
  void InternalInitFieldDefs() override;
  void InternalPost(TRowUpdate& update) override;
  void InternalDelete(TRowUpdate& update) override;
  bool GetCanModify() const override;
  void Notification(TComponent* component, TOperation operation) override;

  void ConnectionClosing() override;
  void TransactionEnded(bool committed) override;

private:
  class TMasterLink;
  struct TColumn {
    String Origin;  // the base column it shows, '' for an expression
    TJetColumnKind Kind = TJetColumnKind::Unknown;
  };
  TADOConnection* ActiveConnection() const;
  TSqliteDb& Db();
  void SQLChanged(TObject* sender);
  void BindParameters(void* stmt, const TJetTranslation& t, const String& shown);
  // Opening reads the result in named steps: its columns, the field definitions, the rows,
  // then the types of expression columns from their values.
  struct TResultColumn;
  void Fetch(bool defineFields);
  std::vector<TResultColumn> DescribeColumns(sqlite3_stmt* stmt, int first, const TJetTranslation& t);
  void DefineFields(const std::vector<TResultColumn>& columns);
  void ReadRows(sqlite3_stmt* stmt, int first, std::vector<TResultColumn>& columns, const String& shown);
  void TypeExpressionFields(const std::vector<TResultColumn>& columns);
  struct TCachedStatement {
    sqlite3_stmt* Stmt;
    const String* Sql;
  };
  // The write statement cached under Key, reset and unbound; prepared from the text MakeSql
  // gives for Cols the first time.
  TCachedStatement CachedStatement(const String& key, String (TADOQuery::*makeSql)(const std::vector<int>&) const,
                                   const std::vector<int>& cols);
  String InsertSql(const std::vector<int>& cols) const;
  String RereadSql(const std::vector<int>& cols) const;
  String UpdateSql(const std::vector<int>& cols) const;
  String DeleteSql(const std::vector<int>& cols) const;
  void EnterWrite();
  Int64 RowIdOf(int rowId) const;
  void MasterChanged();
  bool AssignMasterParameters();
  bool ConnectionStringStored() const { return !FConnection && FOwnConnection; }

  TADOConnection* FConnection = nullptr;
  std::unique_ptr<TADOConnection> FOwnConnection;
  std::unique_ptr<TStringList> FSQL;
  std::unique_ptr<TParameters> FParameters;
  std::unique_ptr<TMasterLink> FMasterLink;
  TDataSource* FMasterSource = nullptr;
  bool FParamCheck = true;
  TADOLockType FLockType = ltOptimistic;
  TCursorType FCursorType = ctKeyset;
  TCursorLocation FCursorLocation = clUseClient;
  bool FEnableBCD = true;
  bool FPrepared = false;
  int FCommandTimeout = 30;
  int FMaxRecords = 0;
  int FRowsAffected = 0;

  // the open result
  String FTable;                 // updatable base table, '' when read-only
  std::vector<TColumn> FColumns;  // per field definition
  std::vector<Int64> FRowIds;     // SQLite rowid by the dataset's row id
  bool FOpenedInTransaction = false;
  struct TStatementCache;
  std::unique_ptr<TStatementCache> FStatements;
};
