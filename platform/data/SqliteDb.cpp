// One SQLite file as the data layer uses it: opened without creating, write-ahead log and busy
// time-out so two connections share it, the Jet functions registered, the declared column
// types cached for the translator, and every failure raised as EADOError with the statement.
#include "data/SqliteDb_p.h"
#include "data/SqliteFunctions_p.h"

#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Variant.h"

#include <cstring>

std::unique_ptr<TSqliteDb> TSqliteDb::Open(const String& fileName, int busyTimeoutMs) {
  String path = ResolvePath(fileName);
  if (!FileExists(path)) throw EADOError("Database file '" + fileName + "' does not exist", SQLITE_CANTOPEN, "");
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    String msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    throw EADOError("Cannot open database file '" + fileName + "': " + msg, rc, "");
  }
  std::unique_ptr<TSqliteDb> result(new TSqliteDb(db, path));
  result->SetBusyTimeout(busyTimeoutMs);
  // A file that is not a database fails here, on its first read.
  result->ExecRaw("PRAGMA journal_mode=WAL");
  result->ExecRaw("PRAGMA synchronous=NORMAL");
  return result;
}

std::unique_ptr<TSqliteDb> TSqliteDb::Create(const String& fileName) {
  String path = ResolvePath(fileName);
  if (FileExists(path)) throw EADOError("Database file '" + fileName + "' exists already", SQLITE_CANTOPEN, "");
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    String msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    throw EADOError("Cannot create database file '" + fileName + "': " + msg, rc, "");
  }
  std::unique_ptr<TSqliteDb> result(new TSqliteDb(db, path));
  result->ExecRaw("PRAGMA journal_mode=WAL");
  return result;
}

TSqliteDb::TSqliteDb(sqlite3* db, String fileName) : FDb(db), FFileName(std::move(fileName)) {
  sqlite3_extended_result_codes(FDb, 1);
  // The translator writes text between single quotes only; a double-quoted word is a name.
  // Without this a name that does not exist would be taken as text and compared with values
  // instead of failing.
  sqlite3_db_config(FDb, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  RegisterJetFunctions(FDb);
}

TSqliteDb::~TSqliteDb() { sqlite3_close_v2(FDb); }

void TSqliteDb::Fail(int rc, const String& statement) const {
  String msg = sqlite3_errmsg(FDb);
  if (msg.empty() || rc != sqlite3_extended_errcode(FDb)) msg = sqlite3_errstr(rc);
  throw EADOError(msg, rc, statement);
}

std::shared_ptr<const TJetTranslation> TSqliteDb::Translate(const String& jet) {
  if (auto kept = FTranslations.find(jet); kept != FTranslations.end()) return kept->second;
  FMissingLookedUp = false;
  std::shared_ptr<const TJetTranslation> t;
  try {
    t = std::make_shared<const TJetTranslation>(TranslateJetSql(jet, this));
  } catch (const EJetSqlError& e) {
    throw EADOError(e.Message(), 0, jet);
  }
  if (!t->ChangesSchema && !t->ReadsDateText && !FMissingLookedUp) {
    if (FTranslations.size() >= kKeptTranslations) FTranslations.clear();
    FTranslations.emplace(jet, t);
  }
  return t;
}

TSqliteStatement TSqliteDb::Prepare(const String& sql, const String& shown) {
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(FDb, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail);
  if (rc != SQLITE_OK) Fail(rc, shown);
  TSqliteStatement result(stmt);
  if (!stmt) throw EADOError("Empty statement", SQLITE_MISUSE, shown);
  return result;
}

namespace {

// What the delete-only rule saw while a statement was prepared.
struct TDeleteOnlyCheck {
  bool Refused = false;
  bool Deletes = false;
};

// Deleting rows of the main database's own tables, reading and calling functions pass; every
// other action is refused (SQLite then fails the prepare).
int DeleteOnlyAuthorizer(void* state, int action, const char* a1, const char*, const char* db, const char*) {
  auto* check = static_cast<TDeleteOnlyCheck*>(state);
  switch (action) {
    case SQLITE_READ:
    case SQLITE_SELECT:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE: return SQLITE_OK;
    case SQLITE_DELETE:
      if (a1 && sqlite3_strnicmp(a1, "sqlite_", 7) != 0 && db && std::strcmp(db, "main") == 0) {
        check->Deletes = true;
        return SQLITE_OK;
      }
      break;
    default: break;
  }
  check->Refused = true;
  return SQLITE_DENY;
}

}  // namespace

TSqliteStatement TSqliteDb::PrepareRun(const String& sql, const String& shown) {
  if (!FDeleteOnly) return Prepare(sql, shown);
  TDeleteOnlyCheck check;
  sqlite3_set_authorizer(FDb, DeleteOnlyAuthorizer, &check);
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(FDb, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
  sqlite3_set_authorizer(FDb, nullptr, nullptr);
  TSqliteStatement result(stmt);
  if (check.Refused || (rc == SQLITE_OK && stmt && !check.Deletes))
    throw EStatementRefused("The statement may only delete rows of the database's tables", SQLITE_AUTH, shown);
  if (rc != SQLITE_OK) Fail(rc, shown);
  if (!stmt) throw EADOError("Empty statement", SQLITE_MISUSE, shown);
  return result;
}

bool TSqliteDb::Step(sqlite3_stmt* stmt, const String& shown) {
  int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  // sqlite3_step leaves the detailed message on the handle; reset keeps the code.
  String msg = sqlite3_errmsg(FDb);
  sqlite3_reset(stmt);
  throw EADOError(msg, rc, shown);
}

void TSqliteDb::Bind(sqlite3_stmt* stmt, int index, const Variant& v, const String& shown) {
  int rc;
  switch (VarType(v) & varTypeMask) {
    case varEmpty:
    case varNull: rc = sqlite3_bind_null(stmt, index); break;
    case varBoolean: rc = sqlite3_bind_int(stmt, index, v.AsBoolean() ? 1 : 0); break;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
      rc = sqlite3_bind_int64(stmt, index, v.AsInt64());
      break;
    case varSingle: case varDouble: case varCurrency: case varDate:
      rc = sqlite3_bind_double(stmt, index, v.AsDouble());
      break;
    default: {
      if (VarIsArray(v)) {
        TBytes bytes;
        for (int i = VarArrayLowBound(v, 1); i <= VarArrayHighBound(v, 1); ++i)
          bytes.push_back(static_cast<Byte>(v.GetElement({i}).AsInteger()));
        rc = sqlite3_bind_blob(stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        break;
      }
      const char* name = sqlite3_bind_parameter_name(stmt, index);
      BindText(stmt, index, v.AsString(), "parameter", name ? String(name + 1) : "?" + IntToStr(index), shown);
      return;
    }
  }
  if (rc != SQLITE_OK) Fail(rc, shown);
}

void TSqliteDb::BindText(sqlite3_stmt* stmt, int index, std::string_view text, std::string_view kind,
                         std::string_view name, const String& shown) {
  if (text.find('\0') != std::string_view::npos)
    throw EADOError("The text for " + String(kind) + " '" + String(name) + "' holds a NUL character", SQLITE_MISMATCH,
                    shown);
  int rc = sqlite3_bind_text64(stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  if (rc != SQLITE_OK) Fail(rc, shown);
}

int TSqliteDb::Execute(const String& jet) {
  std::shared_ptr<const TJetTranslation> t = Translate(jet);
  if (!t->ParamNames.empty()) throw EADOError("Statement has parameters but none were given", SQLITE_RANGE, jet);
  TSqliteStatement stmt = PrepareRun(t->Sql, jet);
  while (Step(stmt.Get(), jet)) {
  }
  if (t->ChangesSchema) InvalidateSchema();
  return t->Kind == TJetStatementKind::Insert || t->Kind == TJetStatementKind::Update ||
                 t->Kind == TJetStatementKind::Delete
             ? sqlite3_changes(FDb)
             : 0;
}

void TSqliteDb::ExecRaw(const String& sql) {
  char* err = nullptr;
  int rc = sqlite3_exec(FDb, sql.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    String msg = err ? err : sqlite3_errstr(rc);
    sqlite3_free(err);
    throw EADOError(msg, rc, sql);
  }
}

void TSqliteDb::Begin() { ExecRaw("BEGIN IMMEDIATE"); }
void TSqliteDb::Commit() { ExecRaw("COMMIT"); }
void TSqliteDb::Rollback() {
  // SQLite may have rolled back already (after some errors); that is no failure here.
  if (InTransaction()) ExecRaw("ROLLBACK");
  // A table made, changed or dropped in the transaction is as it was before.
  InvalidateSchema();
}

void TSqliteDb::Checkpoint() {
  int rc = sqlite3_wal_checkpoint_v2(FDb, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  // Another connection reading keeps part of the log; the next close completes it.
  if (rc != SQLITE_OK && rc != SQLITE_BUSY && rc != SQLITE_LOCKED) Fail(rc, "PRAGMA wal_checkpoint(TRUNCATE)");
}

const TSqliteDb::TTableInfo& TSqliteDb::Info(const String& name) {
  String key = UpperCase(name);
  auto it = FSchema.find(key);
  if (it != FSchema.end()) return it->second;
  TTableInfo info;
  {
    TSqliteStatement s = Prepare("SELECT type FROM sqlite_master WHERE name = ?1 COLLATE NOCASE AND type IN ('table','view')", name);
    sqlite3_bind_text(s.Get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    if (Step(s.Get(), name)) {
      info.Exists = true;
      info.View = String(reinterpret_cast<const char*>(sqlite3_column_text(s.Get(), 0))) == "view";
    }
  }
  if (info.Exists) {
    TSqliteStatement s = Prepare("SELECT name, type FROM pragma_table_info(?1)", name);
    sqlite3_bind_text(s.Get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    while (Step(s.Get(), name)) {
      const char* n = reinterpret_cast<const char*>(sqlite3_column_text(s.Get(), 0));
      const char* t = reinterpret_cast<const char*>(sqlite3_column_text(s.Get(), 1));
      info.Cols.push_back({n ? n : "", t ? t : ""});
    }
  }
  // A missing table is not remembered: another connection may create it.
  if (!info.Exists) {
    FMissingLookedUp = true;
    FMissing = std::move(info);
    return FMissing;
  }
  return FSchema.emplace(key, std::move(info)).first->second;
}

const std::vector<TJetColumn>* TSqliteDb::Columns(const String& table) {
  const TTableInfo& i = Info(table);
  return i.Exists ? &i.Cols : nullptr;
}

bool TSqliteDb::IsView(const String& name) { return Info(name).View; }
