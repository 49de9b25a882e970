#pragma once
// TADOConnection: opens the SQLite file its connection string names, runs transactions and
// direct statements; the data layer's error; making a database from a script; the delete-only
// rule for statements taken from data.
// Declares TADOConnectionClient, TADOConnection and TDeleteOnlyScope.
#include "core/Classes.h"
#include "core/Component.h"
#include "data/DB.h"
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

// A statement refused before it ran because of what it would do (TDeleteOnlyScope).
class EStatementRefused : public EADOError {
public:
  using EADOError::EADOError;
  const char* ClassName() const override { return "EStatementRefused"; }
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

// For statements taken from data: while it lives, every statement run on the connection without
// a result (Execute, a query's ExecSQL) may only delete rows of the database's own tables,
// reading what its conditions need. Anything else (another write, a pragma, an attached file,
// a change of the schema, transaction control, a copy into a file) is refused before it runs
// with EStatementRefused naming the statement; so is a statement that deletes nothing.
class TDeleteOnlyScope {
public:
  explicit TDeleteOnlyScope(TADOConnection& Connection);
  ~TDeleteOnlyScope();
  TDeleteOnlyScope(const TDeleteOnlyScope&) = delete;
  TDeleteOnlyScope& operator=(const TDeleteOnlyScope&) = delete;

private:
  TADOConnection& FConnection;
};

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
  template <class B> static void Published(B& b) {
    b.Prop("CommandTimeout", &TADOConnection::CommandTimeout, &TADOConnection::SetCommandTimeout).Default(30);
    b.Prop("ConnectionString", &TADOConnection::ConnectionString, &TADOConnection::SetConnectionString);
    b.Prop("ConnectionTimeout", &TADOConnection::ConnectionTimeout, &TADOConnection::SetConnectionTimeout).Default(15);
    b.Prop("CursorLocation", &TADOConnection::CursorLocation, &TADOConnection::SetCursorLocation).Default(clUseClient);
    b.Prop("IsolationLevel", &TADOConnection::IsolationLevel, &TADOConnection::SetIsolationLevel).Default(ilCursorStability);
    b.Prop("KeepConnection", &TADOConnection::KeepConnection, &TADOConnection::SetKeepConnection).Default(true);
    b.Prop("LoginPrompt", &TADOConnection::LoginPrompt, &TADOConnection::SetLoginPrompt).Default(true);
    b.Prop("Mode", &TADOConnection::Mode, &TADOConnection::SetMode).Default(cmUnknown);
    b.Prop("Provider", &TADOConnection::Provider, &TADOConnection::SetProvider).Stored(false);
    b.Prop("Connected", &TADOConnection::Connected, &TADOConnection::SetConnected).Default(false);
    b.Prop("BeforeConnect", &TADOConnection::BeforeConnect, &TADOConnection::SetBeforeConnect);
    b.Prop("AfterConnect", &TADOConnection::AfterConnect, &TADOConnection::SetAfterConnect);
    b.Prop("BeforeDisconnect", &TADOConnection::BeforeDisconnect, &TADOConnection::SetBeforeDisconnect);
    b.Prop("AfterDisconnect", &TADOConnection::AfterDisconnect, &TADOConnection::SetAfterDisconnect);
  }
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
