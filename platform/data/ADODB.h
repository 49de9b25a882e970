#pragma once
// The database connection and queries the program talks to: TADOConnection opens the SQLite
// file its connection string names, TADOQuery runs the program's SQL (Jet dialect, translated)
// and holds the result on the client, writing edits back to the table they came from.
#include "core/Classes.h"
#include "core/Component.h"
#include "data/DB.h"
#include "data/JetSql.h"
#include "core/StrUtils.h"

#include <memory>
#include <vector>

class TSqliteDb;
class TADOConnection;

// The data layer's one error: SQLite's message and result code, and the statement that failed.
class EADOError : public EDatabaseError {
public:
  EADOError(const String& message, int errorCode = 0, const String& statement = String());
  const char* ClassName() const override { return "EADOError"; }
  int ErrorCode() const { return FErrorCode; }        // SQLite's result code; 0: refused before it ran
  const String& Statement() const { return FStatement; }
  const String& DatabaseMessage() const { return FDatabaseMessage; }  // SQLite's text alone

private:
  int FErrorCode;
  String FStatement;
  String FDatabaseMessage;
};

KELM_ENUM(TConnectMode, cmUnknown, cmRead, cmWrite, cmReadWrite, cmShareDenyRead, cmShareDenyWrite,
          cmShareExclusive, cmShareDenyNone)
KELM_ENUM(TIsolationLevel, ilUnspecified, ilChaos, ilReadUncommitted, ilBrowse, ilCursorStability,
          ilReadCommitted, ilRepeatableRead, ilSerializable, ilIsolated)
KELM_ENUM(TCursorLocation, clUseServer, clUseClient)
KELM_ENUM(TCursorType, ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic)
KELM_ENUM(TADOLockType, ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic)

// The value of one key of a connection string ("key=value;" pairs, keys compared without
// regard to case, values optionally in quotes); '' when absent.
String ConnectionStringValue(const String& connectionString, const String& key);

// Makes a new database file (an existing one is refused) and runs the script's statements,
// separated by ';' and written in the program's dialect, in one transaction. On failure the
// file is removed and the error raised.
void CreateDatabaseFromScript(const String& fileName, const String& script);

// What the connection tells the datasets that work through it.
class TADOConnectionClient {
public:
  virtual ~TADOConnectionClient() = default;
  virtual void ConnectionClosing() = 0;
  // The connection's transaction ended; a rollback undid what the client wrote in it.
  virtual void TransactionEnded(bool committed) = 0;
};

class TADOConnection : public TComponent {
  KELM_CLASS(TADOConnection, TComponent)
public:
  explicit TADOConnection(TComponent* AOwner);
  ~TADOConnection() override;

  // Published properties.
  const String& ConnectionString() const { return FConnectionString; }
  void SetConnectionString(const String& value);  // a connected connection closes first
  bool Connected() const { return FDb != nullptr; }
  void SetConnected(bool value);
  int CommandTimeout() const { return FCommandTimeout; }  // seconds a statement waits for a lock
  void SetCommandTimeout(int value);
  int ConnectionTimeout() const { return FConnectionTimeout; }  // seconds opening waits for a lock
  void SetConnectionTimeout(int value) { FConnectionTimeout = value; }
  bool KeepConnection() const { return FKeepConnection; }
  void SetKeepConnection(bool value) { FKeepConnection = value; }
  bool LoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool value) { FLoginPrompt = value; }
  TConnectMode Mode() const { return FMode; }
  void SetMode(TConnectMode value) { FMode = value; }
  TIsolationLevel IsolationLevel() const { return FIsolationLevel; }
  void SetIsolationLevel(TIsolationLevel value) { FIsolationLevel = value; }
  TCursorLocation CursorLocation() const { return FCursorLocation; }
  void SetCursorLocation(TCursorLocation value) { FCursorLocation = value; }
  String Provider() const;
  void SetProvider(const String& value);
  const TNotifyEvent& BeforeConnect() const { return FBeforeConnect; }
  void SetBeforeConnect(const TNotifyEvent& e) { FBeforeConnect = e; }
  const TNotifyEvent& AfterConnect() const { return FAfterConnect; }
  void SetAfterConnect(const TNotifyEvent& e) { FAfterConnect = e; }
  const TNotifyEvent& BeforeDisconnect() const { return FBeforeDisconnect; }
  void SetBeforeDisconnect(const TNotifyEvent& e) { FBeforeDisconnect = e; }
  const TNotifyEvent& AfterDisconnect() const { return FAfterDisconnect; }
  void SetAfterDisconnect(const TNotifyEvent& e) { FAfterDisconnect = e; }

  // Opens the "Data Source" file; it must exist (nothing is created).
  void Open();
  // Closes the datasets working through the connection, rolls back an open transaction and
  // folds the write-ahead log into the file, so the file alone is a complete copy.
  void Close();

  // One level: a second BeginTrans while one is open fails.
  int BeginTrans();
  void CommitTrans();
  // Undoes the transaction; datasets drop the changes they wrote in it.
  void RollbackTrans();
  bool InTransaction() const;

  // Runs a statement without a result set; answers the rows it changed.
  int Execute(const String& commandText);
  void Execute(const String& commandText, int& recordsAffected) { recordsAffected = Execute(commandText); }

  String FileName() const;  // the "Data Source" of the connection string
  int DataSetCount() const { return static_cast<int>(FClients.size()); }
  TDataSet* DataSets(int index) const;  // the datasets working through the connection

  // For the datasets of this layer.
  TSqliteDb& Db();  // connects first when needed
  void AddClient(TADOConnectionClient* client);
  void RemoveClient(TADOConnectionClient* client);
  // A dataset that wrote inside the open transaction hears how it ends.
  void JoinTransaction(TADOConnectionClient* client);

protected:
  void Loaded() override;

private:
  void DoConnect();
  void DoDisconnect();
  int BusyTimeoutMs(int seconds) const;

  String FConnectionString;
  int FCommandTimeout = 30;
  int FConnectionTimeout = 15;
  bool FKeepConnection = true;
  bool FLoginPrompt = true;
  TConnectMode FMode = cmUnknown;
  TIsolationLevel FIsolationLevel = ilCursorStability;
  TCursorLocation FCursorLocation = clUseClient;
  bool FStreamedConnected = false;
  bool FInTransactionFlag = false;
  TNotifyEvent FBeforeConnect, FAfterConnect, FBeforeDisconnect, FAfterDisconnect;
  std::unique_ptr<TSqliteDb> FDb;
  std::vector<TADOConnectionClient*> FClients;
  std::vector<TADOConnectionClient*> FInTransaction;
};

// ------------------------------------------------------------------------------ parameters

KELM_ENUM(TParameterDirection, pdUnknown, pdInput, pdOutput, pdInputOutput, pdReturnValue)

// One ":name" of a query's SQL; its value is bound through SQLite, never spliced into the text.
class TParameter : public TCollectionItem {
  KELM_CLASS(TParameter, TCollectionItem)
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
  void Fetch(bool defineFields);
  void* CachedStatement(const String& sql);
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
