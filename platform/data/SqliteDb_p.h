#pragma once
// Private to platform/data: one open SQLite file with the Jet functions registered, its
// schema as the translator asks for it, and statements whose failures become EADOError.
#include "data/ADOConnection.h"
#include "data/JetSql.h"

#include <sqlite3.h>

#include <map>
#include <memory>
#include <unordered_map>

class Variant;

// A prepared statement, finalized when it goes.
class TSqliteStatement {
public:
  TSqliteStatement() = default;
  explicit TSqliteStatement(sqlite3_stmt* s) : FStmt(s) {}
  ~TSqliteStatement() { sqlite3_finalize(FStmt); }
  TSqliteStatement(TSqliteStatement&& o) noexcept : FStmt(o.FStmt) { o.FStmt = nullptr; }
  TSqliteStatement& operator=(TSqliteStatement&& o) noexcept {
    std::swap(FStmt, o.FStmt);
    return *this;
  }
  sqlite3_stmt* Get() const { return FStmt; }

private:
  sqlite3_stmt* FStmt = nullptr;
};

class TSqliteDb final : public TJetSchema {
public:
  // Opens an existing file for reading and writing; a missing file fails, naming it.
  static std::unique_ptr<TSqliteDb> Open(const String& fileName, int busyTimeoutMs);
  // Makes a new file; an existing one fails.
  static std::unique_ptr<TSqliteDb> Create(const String& fileName);
  ~TSqliteDb() override;

  sqlite3* Handle() const { return FDb; }
  const String& FileName() const { return FFileName; }
  void SetBusyTimeout(int ms) { sqlite3_busy_timeout(FDb, ms); }

  // The program's statement in SQLite's dialect; a refusal raises EADOError. Translations are
  // kept by the statement's exact text for as long as the schema cache holds, except those
  // that looked for a table that does not exist (another connection may make it), read date
  // text (the format settings may change) or change the schema.
  std::shared_ptr<const TJetTranslation> Translate(const String& jet);
  // `shown` is the statement an error names (the program's own text).
  TSqliteStatement Prepare(const String& sql, const String& shown);
  // The statement a caller runs without a result: as Prepare, checked by the delete-only rule
  // while it is set (TDeleteOnlyScope).
  TSqliteStatement PrepareRun(const String& sql, const String& shown);
  void SetDeleteOnly(bool Value) { FDeleteOnly = Value; }
  // Steps once: true with a row, false when done; errors raise.
  bool Step(sqlite3_stmt* stmt, const String& shown);
  void Bind(sqlite3_stmt* stmt, int index, const Variant& value, const String& shown);
  // Binds text whole; text holding a NUL is refused, naming what it was for (kind "parameter",
  // name "d"): SQLite's comparisons and collations read text only up to a NUL, so it would
  // match what it is not.
  void BindText(sqlite3_stmt* stmt, int index, std::string_view text, std::string_view kind, std::string_view name,
                const String& shown);
  // Translates and runs a statement without a result; answers the rows it changed.
  int Execute(const String& jet);
  // Runs SQLite text of the layer's own (pragmas, transaction control).
  void ExecRaw(const String& sql);
  [[noreturn]] void Fail(int rc, const String& statement) const;

  // Transactions: one level; BEGIN IMMEDIATE takes the write lock at once, so a second
  // connection meets the busy time-out at its own write, never a stale-snapshot failure.
  void Begin();
  void Commit();
  void Rollback();
  bool InTransaction() const { return sqlite3_get_autocommit(FDb) == 0; }
  // Copies the write-ahead log into the file and empties it.
  void Checkpoint();

  const std::vector<TJetColumn>* Columns(const String& table) override;
  bool IsView(const String& name) override;
  // Forgets the declared column types and every translation made from them.
  void InvalidateSchema() {
    FSchema.clear();
    FTranslations.clear();
  }

private:
  TSqliteDb(sqlite3* db, String fileName);
  struct TTableInfo {
    bool Exists = false;
    bool View = false;
    std::vector<TJetColumn> Cols;
  };
  const TTableInfo& Info(const String& name);

  sqlite3* FDb;
  String FFileName;
  std::map<String, TTableInfo> FSchema;  // by upper-case name
  TTableInfo FMissing;
  bool FMissingLookedUp = false;  // since the translation in progress began
  // A program builds the same statements again and again (a detail query per contract shown);
  // at this many the kept ones are dropped rather than grow without end.
  static constexpr std::size_t kKeptTranslations = 512;
  std::unordered_map<String, std::shared_ptr<const TJetTranslation>> FTranslations;
  bool FDeleteOnly = false;
};
