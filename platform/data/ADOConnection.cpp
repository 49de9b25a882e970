// TADOConnection: the connection string, opening the SQLite file, transactions and direct
// statements; the data layer's error class; making a database from a script.
#include "data/ADOConnection.h"

#include "data/ADOQuery.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "data/SqliteDb_p.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>

namespace {

String ErrorText(const String& message, const String& statement) {
  if (statement.empty() || message.find(statement) != String::npos) return message;
  return message + " in SQL statement: " + statement;
}

}  // namespace

EADOError::EADOError(const String& message, int errorCode, const String& statement)
    : EDatabaseError(ErrorText(message, statement)), FErrorCode(errorCode), FStatement(statement),
      FDatabaseMessage(message) {}

TDeleteOnlyScope::TDeleteOnlyScope(TADOConnection& Connection) : FConnection(Connection) {
  FConnection.Db().SetDeleteOnly(true);
}

TDeleteOnlyScope::~TDeleteOnlyScope() {
  if (FConnection.Connected()) FConnection.Db().SetDeleteOnly(false);
}

String ConnectionStringValue(const String& connectionString, const String& key) {
  const String& s = connectionString;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t eq = s.find('=', i);
    if (eq == String::npos) break;
    String name = Trim(s.substr(i, eq - i));
    std::size_t v = eq + 1;
    while (v < s.size() && s[v] == ' ') ++v;
    String value;
    std::size_t next;
    if (v < s.size() && (s[v] == '"' || s[v] == '\'')) {
      // A quoted value may hold ';'; a doubled quote stands for itself.
      char q = s[v];
      std::size_t j = v + 1;
      while (j < s.size()) {
        if (s[j] == q) {
          if (j + 1 < s.size() && s[j + 1] == q) {
            value += q;
            j += 2;
            continue;
          }
          break;
        }
        value += s[j++];
      }
      next = s.find(';', j);
    } else {
      next = s.find(';', v);
      value = Trim(s.substr(v, next == String::npos ? String::npos : next - v));
    }
    if (SameText(name, key)) return value;
    if (next == String::npos) break;
    i = next + 1;
  }
  return String();
}

void CreateDatabaseFromScript(const String& fileName, const String& script) {
  std::vector<String> statements;
  try {
    statements = SplitJetScript(script);
  } catch (const EJetSqlError& e) {
    throw EADOError(e.Message());
  }
  std::unique_ptr<TSqliteDb> db = TSqliteDb::Create(fileName);
  String path = db->FileName();
  try {
    db->Begin();
    for (const String& s : statements) db->Execute(s);
    db->Commit();
    db->Checkpoint();
  } catch (...) {
    db.reset();
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) DeleteFile(path + suffix);
    throw;
  }
}

// ------------------------------------------------------------------------------ TADOConnection

KELM_PUBLISH(TADOConnection) { Published(b); }

TADOConnection::TADOConnection(TComponent* AOwner) : TComponent(AOwner) {}

TADOConnection::~TADOConnection() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; the file stays consistent through SQLite's own journal.
  }
  FDb.reset();
}

void TADOConnection::SetConnectionString(const String& value) {
  if (value == FConnectionString) return;
  if (Connected()) Close();
  FConnectionString = value;
}

String TADOConnection::Provider() const { return ConnectionStringValue(FConnectionString, "Provider"); }

void TADOConnection::SetProvider(const String& value) {
  String rest;
  std::size_t i = 0;
  while (i < FConnectionString.size()) {
    std::size_t j = FConnectionString.find(';', i);
    String part = FConnectionString.substr(i, j == String::npos ? String::npos : j - i);
    if (!Trim(part).empty() && !SameText(Trim(part.substr(0, part.find('='))), "Provider")) rest += part + ";";
    if (j == String::npos) break;
    i = j + 1;
  }
  SetConnectionString(value.empty() ? rest : "Provider=" + value + ";" + rest);
}

void TADOConnection::SetConnected(bool value) {
  if (ComponentState().Contains(csLoading)) {
    FStreamedConnected = value;
    return;
  }
  if (value) Open();
  else Close();
}

void TADOConnection::Loaded() {
  TComponent::Loaded();
  if (FStreamedConnected) Open();
}

void TADOConnection::SetCommandTimeout(int value) {
  FCommandTimeout = value;
  if (FDb) FDb->SetBusyTimeout(BusyTimeoutMs(value));
}

// Zero would mean waiting for ever; a lock held elsewhere must end in an error, not a hang.
int TADOConnection::BusyTimeoutMs(int seconds) const { return seconds > 0 ? seconds * 1000 : 30000; }

String TADOConnection::FileName() const { return ConnectionStringValue(FConnectionString, "Data Source"); }

void TADOConnection::Open() {
  if (Connected()) return;
  FBeforeConnect(this);
  DoConnect();
  FAfterConnect(this);
}

void TADOConnection::DoConnect() {
  String file = FileName();
  if (file.empty()) throw EADOError("The connection string names no Data Source");
  FDb = TSqliteDb::Open(file, BusyTimeoutMs(FConnectionTimeout));
  FDb->SetBusyTimeout(BusyTimeoutMs(FCommandTimeout));
}

void TADOConnection::Close() {
  if (!Connected()) return;
  FBeforeDisconnect(this);
  DoDisconnect();
  FAfterDisconnect(this);
}

void TADOConnection::DoDisconnect() {
  std::vector<TADOConnectionClient*> clients = FClients;
  for (TADOConnectionClient* c : clients)
    if (std::find(FClients.begin(), FClients.end(), c) != FClients.end()) c->ConnectionClosing();
  if (InTransaction()) RollbackTrans();
  FInTransactionFlag = false;
  std::unique_ptr<TSqliteDb> db = std::move(FDb);
  db->Checkpoint();
}

TSqliteDb& TADOConnection::Db() {
  if (!FDb) Open();
  return *FDb;
}

void TADOConnection::AddClient(TADOConnectionClient* client) {
  if (std::find(FClients.begin(), FClients.end(), client) == FClients.end()) FClients.push_back(client);
}

void TADOConnection::RemoveClient(TADOConnectionClient* client) {
  std::erase(FClients, client);
  std::erase(FInTransaction, client);
}

void TADOConnection::JoinTransaction(TADOConnectionClient* client) {
  if (InTransaction() && std::find(FInTransaction.begin(), FInTransaction.end(), client) == FInTransaction.end())
    FInTransaction.push_back(client);
}

TDataSet* TADOConnection::DataSets(int index) const {
  if (index < 0 || index >= DataSetCount()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return dynamic_cast<TDataSet*>(FClients[static_cast<std::size_t>(index)]);
}

bool TADOConnection::InTransaction() const { return FDb && FInTransactionFlag; }

int TADOConnection::BeginTrans() {
  TSqliteDb& db = Db();
  if (FInTransactionFlag) throw EADOError("The connection is in a transaction already; transactions do not nest");
  db.Begin();
  FInTransactionFlag = true;
  FInTransaction.clear();
  return 1;
}

void TADOConnection::CommitTrans() {
  if (!InTransaction()) throw EADOError("No transaction is active");
  FDb->Commit();  // a failure leaves the transaction open for RollbackTrans
  FInTransactionFlag = false;
  std::vector<TADOConnectionClient*> joined;
  joined.swap(FInTransaction);
  for (TADOConnectionClient* c : joined) c->TransactionEnded(true);
}

void TADOConnection::RollbackTrans() {
  if (!InTransaction()) throw EADOError("No transaction is active");
  FInTransactionFlag = false;
  std::vector<TADOConnectionClient*> joined;
  joined.swap(FInTransaction);
  // SQLite may have ended the transaction itself after an error; the datasets still undo.
  FDb->Rollback();
  for (TADOConnectionClient* c : joined) c->TransactionEnded(false);
}

int TADOConnection::Execute(const String& commandText) { return Db().Execute(commandText); }
