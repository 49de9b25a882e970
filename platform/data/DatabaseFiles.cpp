// Backup, restore and compaction of the database file. Every result is made under a temporary
// name beside its target (the online backup API copies pages from an open database, VACUUM INTO
// compacts), flushed, checked where it comes from outside, and renamed over the target; the
// folder is flushed last so the rename itself survives a power cut.
#include "data/DatabaseFiles.h"

#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/SqliteDb_p.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <set>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TDbFileStepHook& Hook() {
  static TDbFileStepHook hook;
  return hook;
}

void Step(TDbFileStep step) {
  if (Hook()) Hook()(step);
}

[[noreturn]] void Fail(const String& what, const String& why) { throw EInOutError(what + ": " + why); }

// An SQLite handle of this unit's own, closed when it goes.
class TRawDb {
public:
  TRawDb(const String& uriOrPath, int flags) {
    int rc = sqlite3_open_v2(uriOrPath.c_str(), &FDb, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) FError = FDb ? sqlite3_errmsg(FDb) : sqlite3_errstr(rc);
    else sqlite3_busy_timeout(FDb, 2000);
  }
  ~TRawDb() { Close(); }
  TRawDb(const TRawDb&) = delete;
  TRawDb& operator=(const TRawDb&) = delete;
  sqlite3* Get() const { return FDb; }
  bool Ok() const { return FError.empty(); }
  const String& Error() const { return FError; }
  String Message() const { return sqlite3_errmsg(FDb); }
  int Close() {
    int rc = sqlite3_close(FDb);
    if (rc != SQLITE_OK) sqlite3_close_v2(FDb);
    FDb = nullptr;
    return rc;
  }
  // Runs statements without results; '' or SQLite's message.
  String Exec(const String& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(FDb, sql.c_str(), nullptr, nullptr, &err);
    String msg = rc == SQLITE_OK ? String() : String(err ? err : sqlite3_errstr(rc));
    sqlite3_free(err);
    return msg;
  }

private:
  sqlite3* FDb = nullptr;
  String FError;
};

// A read-only URI for a path ('%', '?' and '#' escaped). A file with no log beside it is opened
// as unchanging, so reading it makes no log or shared-memory file in the user's folder.
String ReadOnlyUri(const String& path) {
  String uri = "file:";
  for (char c : path) {
    if (c == '%') uri += "%25";
    else if (c == '?') uri += "%3f";
    else if (c == '#') uri += "%23";
    else uri += c;
  }
  return uri + (FileExists(path + "-wal") ? "?mode=ro" : "?mode=ro&immutable=1");
}

constexpr const char* kSidecars[] = {"-journal", "-wal", "-shm"};

// A temporary file beside a target, removed with SQLite's side files unless released.
class TTempFile {
public:
  explicit TTempFile(String path) : FPath(std::move(path)) {}
  ~TTempFile() {
    if (FPath.empty()) return;
    ::unlink(FPath.c_str());
    for (const char* s : kSidecars) ::unlink((FPath + s).c_str());
  }
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;
  const String& Path() const { return FPath; }
  void Release() { FPath.clear(); }

private:
  String FPath;
};

// A new empty file in a folder, named with the prefix and a number no other writer shares.
String MakeTempFile(const String& folder, const String& prefix) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    String tmp = folder + prefix + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return tmp;
    }
    if (errno != EEXIST) Fail("Cannot create a file in \"" + folder + "\"", OSErrorText(errno));
  }
  Fail("Cannot create a file in \"" + folder + "\"", OSErrorText(EEXIST));
}

// The process number in a name of MakeTempFile's making, followed by a side-file suffix or
// nothing; 0 when the name is of no such making.
pid_t TempFileOwner(const String& name) {
  std::size_t at = name.rfind(".tmp");
  if (at == String::npos) return 0;
  String stem = name.substr(0, at), tail = name.substr(at + 4);
  if (stem != "~CP" && (stem.size() < 2 || stem[0] != '.')) return 0;
  for (const char* s : kSidecars)
    if (EndsStr(s, tail)) {
      tail.resize(tail.size() - std::char_traits<char>::length(s));
      break;
    }
  std::size_t bar = tail.find('_');
  auto digits = [](const String& t) {
    return !t.empty() && t.size() < 12 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (bar == String::npos || !digits(tail.substr(0, bar)) || !digits(tail.substr(bar + 1))) return 0;
  return static_cast<pid_t>(std::stol(tail.substr(0, bar)));
}

// Whether another process of that number runs (this one runs no operation while it asks).
bool OtherProcessRuns(pid_t pid) { return pid != ::getpid() && (::kill(pid, 0) == 0 || errno == EPERM); }

String MakeTempBeside(const String& target) {
  return MakeTempFile(ExtractFilePath(target), "." + ExtractFileName(target));
}

void FlushPath(const String& path, bool folder) {
  int fd = ::open(path.empty() ? "." : path.c_str(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
  if (fd < 0) Fail("Cannot flush \"" + path + "\"", OSErrorText(errno));
  int err = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  // Some file systems cannot flush a folder; the rename is then as durable as they make it.
  if (err && !(folder && (err == EINVAL || err == EBADF))) Fail("Cannot flush \"" + path + "\"", OSErrorText(err));
}

void RenameOver(const String& from, const String& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) Fail("Cannot replace \"" + to + "\"", OSErrorText(errno));
}

// Copies every page of `source` into the empty file `dest`, which then stands alone (no log).
void CopyPages(sqlite3* source, const String& dest) {
  {
    TRawDb out(dest, SQLITE_OPEN_READWRITE);
    if (!out.Ok()) Fail("Cannot open \"" + dest + "\"", out.Error());
    // The copy is flushed and renamed by the caller; a journal of its own would only cost time.
    out.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF");
    sqlite3_backup* b = sqlite3_backup_init(out.Get(), "main", source, "main");
    if (!b) Fail("Cannot copy the database", out.Message());
    int rc;
    for (int tries = 0; (rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED; ++tries) {
      if (tries == 100) break;
      sqlite3_sleep(50);
    }
    int finish = sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) Fail("Cannot copy the database", sqlite3_errstr(rc));
    if (finish != SQLITE_OK) Fail("Cannot copy the database", out.Message());
  }
  // The pages carry the source's write-ahead-log mark; opened again, the copy drops it, so it
  // opens read-only and alone.
  TRawDb out(dest, SQLITE_OPEN_READWRITE);
  String err = out.Ok() ? out.Exec("PRAGMA journal_mode=DELETE") : out.Error();
  if (err.empty() && out.Close() != SQLITE_OK) err = "cannot close";
  if (!err.empty()) Fail("Cannot copy the database", err);
}

// The first column of each row of a query with one optional text parameter.
bool FirstColumn(sqlite3* db, const char* sql, const String& param, std::vector<String>& rows, String& error) {
  sqlite3_stmt* s = nullptr;
  int rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
  if (rc == SQLITE_OK && !param.empty()) sqlite3_bind_text(s, 1, param.data(), static_cast<int>(param.size()), SQLITE_TRANSIENT);
  while (rc == SQLITE_OK || rc == SQLITE_ROW) {
    if ((rc = sqlite3_step(s)) != SQLITE_ROW) break;
    const unsigned char* t = sqlite3_column_text(s, 0);
    rows.push_back(t ? reinterpret_cast<const char*>(t) : "");
  }
  if (rc != SQLITE_DONE) error = sqlite3_errmsg(db);
  sqlite3_finalize(s);
  return rc == SQLITE_DONE;
}

using TSchema = std::vector<std::pair<String, std::set<String>>>;  // table, upper-case columns

bool ReadSchema(sqlite3* db, TSchema& schema, String& error) {
  std::vector<String> tables;
  if (!FirstColumn(db, "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'",
               String(), tables, error))
    return false;
  for (const String& t : tables) {
    std::vector<String> cols;
    if (!FirstColumn(db, "SELECT name FROM pragma_table_info(?)", t, cols, error)) return false;
    std::set<String> upper;
    for (const String& c : cols) upper.insert(UpperCase(c));
    schema.emplace_back(t, std::move(upper));
  }
  return true;
}

// '' when every table and column of `wanted` is in `have` (names without regard to case).
String CompareSchema(const TSchema& wanted, const TSchema& have) {
  for (const auto& [table, cols] : wanted) {
    auto it = std::find_if(have.begin(), have.end(), [&](const auto& h) { return SameText(h.first, table); });
    if (it == have.end()) return "it has no table " + table;
    for (const String& c : cols)
      if (!it->second.count(c)) return "its table " + table + " has no column " + c;
  }
  return String();
}

// '' when the file is a sound database with the wanted tables and columns; else the reason.
String CheckFile(const String& path, const TSchema* wanted) {
  if (!FileExists(path)) return "there is no file " + path;
  TRawDb db(ReadOnlyUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
  if (!db.Ok()) return "it cannot be opened: " + db.Error();
  std::vector<String> result;
  String error;
  if (!FirstColumn(db.Get(), "PRAGMA quick_check", String(), result, error)) return "it is no sound database: " + error;
  if (result.empty() || result[0] != "ok") return "it is damaged: " + (result.empty() ? String() : result[0]);
  TSchema have;
  if (!ReadSchema(db.Get(), have, error)) return "its tables cannot be read: " + error;
  return wanted ? CompareSchema(*wanted, have) : String();
}

bool SameFile(const String& a, const String& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The target's schema, read through a handle that stays open until its log is closed; a target
// that is missing or no database has none to compare with.
struct TTargetDb {
  std::unique_ptr<TRawDb> Db;
  TSchema Schema;
  bool HasSchema = false;
};

TTargetDb OpenTarget(const String& target) {
  TTargetDb t;
  if (!FileExists(target)) return t;
  t.Db = std::make_unique<TRawDb>(target, SQLITE_OPEN_READWRITE);
  String error;
  t.HasSchema = t.Db->Ok() && ReadSchema(t.Db->Get(), t.Schema, error);
  return t;
}

// Empties the target's log into it and lets it go. Closing the last connection removes the log
// and its shared memory; when they stay, another connection still works on the file.
void CloseTargetLog(TTargetDb& t, const String& target) {
  const String what = "Cannot replace \"" + target + "\"";
  if (t.HasSchema) {
    int rc = sqlite3_wal_checkpoint_v2(t.Db->Get(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) Fail(what, "the database is in use");
    t.Db.reset();
    if (FileExists(target + "-wal") || FileExists(target + "-shm")) Fail(what, "the database is in use");
    return;
  }
  // No database to recover a log into: an empty one is stale, one with content is refused.
  t.Db.reset();
  if (FileSize(target + "-wal") > 0) Fail(what, "its log holds changes");
  for (const char* s : {"-wal", "-shm"}) ::unlink((target + s).c_str());
}

// The finished copy to disk, the target's log emptied, then the rename.
void PutInPlace(TTempFile& tmp, TTargetDb& old, const String& target) {
  Step(TDbFileStep::Flush);
  FlushPath(tmp.Path(), false);
  Step(TDbFileStep::CloseLog);
  CloseTargetLog(old, target);
  Step(TDbFileStep::Rename);
  RenameOver(tmp.Path(), target);
  tmp.Release();
  Step(TDbFileStep::FlushFolder);
  FlushPath(ExtractFilePath(target), true);
}

}  // namespace

int RemoveDbFileLeftovers(const String& Folder, const String& Prefix) {
  String folder = IncludeTrailingPathDelimiter(ResolvePath(Folder));
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  std::vector<String> names;
  while (dirent* e = ::readdir(dir)) names.push_back(e->d_name);
  ::closedir(dir);
  int removed = 0;
  for (const String& name : names) {
    if (!StartsStr(Prefix, name)) continue;
    pid_t owner = TempFileOwner(name);
    if (owner <= 0 || OtherProcessRuns(owner)) continue;
    if (::unlink((folder + name).c_str()) == 0) ++removed;
  }
  return removed;
}

TDbFileStepHook SetDbFileStepHook(TDbFileStepHook hook) {
  TDbFileStepHook old = std::move(Hook());
  Hook() = std::move(hook);
  return old;
}

void BackupDatabase(TADOConnection& Connection, const String& Target) {
  TSqliteDb& db = Connection.Db();
  // The connection's own open transaction would be copied with its uncommitted rows.
  if (db.InTransaction()) Fail("Cannot back up the database", "a transaction is open");
  String target = ResolvePath(Target);
  if (DirectoryExists(target)) Fail("Cannot back up the database to \"" + Target + "\"", "it is a folder");
  RemoveDbFileLeftovers(ExtractFilePath(target), "." + ExtractFileName(target));
  TTempFile tmp(MakeTempBeside(target));
  Step(TDbFileStep::Copy);
  CopyPages(db.Handle(), tmp.Path());
  Step(TDbFileStep::Flush);
  FlushPath(tmp.Path(), false);
  Step(TDbFileStep::Rename);
  RenameOver(tmp.Path(), target);
  tmp.Release();
  Step(TDbFileStep::FlushFolder);
  FlushPath(ExtractFilePath(target), true);
}

String CheckDatabaseFile(const String& FileName, TADOConnection& Connection) {
  TSchema wanted;
  String error;
  if (!ReadSchema(Connection.Db().Handle(), wanted, error)) return "the open database's tables cannot be read: " + error;
  return CheckFile(ResolvePath(FileName), &wanted);
}

void ReplaceDatabaseFile(const String& Source, const String& Target) {
  String source = ResolvePath(Source), target = ResolvePath(Target);
  const String what = "Cannot put \"" + Source + "\" in place of \"" + Target + "\"";
  if (!FileExists(source)) Fail(what, "there is no such file");
  if (SameFile(source, target)) return;
  RemoveDbFileLeftovers(ExtractFilePath(target), "." + ExtractFileName(target));
  TTempFile tmp(MakeTempBeside(target));
  {
    TRawDb src(ReadOnlyUri(source), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    if (!src.Ok()) Fail(what, src.Error());
    Step(TDbFileStep::Copy);
    CopyPages(src.Get(), tmp.Path());
  }
  TTargetDb old = OpenTarget(target);
  Step(TDbFileStep::Check);
  String reason = CheckFile(tmp.Path(), old.HasSchema ? &old.Schema : nullptr);
  if (!reason.empty()) Fail(what, reason);
  PutInPlace(tmp, old, target);
}

void CompactDatabaseFile(const String& FileName) {
  String file = ResolvePath(FileName);
  const String what = "Cannot compact \"" + FileName + "\"";
  if (!FileExists(file)) Fail(what, "there is no such file");
  // Beside the file, so the compacted copy is renamed over it without a second copy; the
  // engine's own output needs no check.
  RemoveDbFileLeftovers(ExtractFilePath(file), "~CP");
  TTempFile tmp(MakeTempFile(ExtractFilePath(file), "~CP"));
  TTargetDb db = OpenTarget(file);
  if (!db.HasSchema) Fail(what, db.Db && !db.Db->Ok() ? db.Db->Error() : "it is no database");
  Step(TDbFileStep::Compact);
  // With full synchronous writes the engine flushes the copy itself.
  String error = db.Db->Exec("PRAGMA synchronous=FULL");
  sqlite3_stmt* s = nullptr;
  int rc = error.empty() ? sqlite3_prepare_v2(db.Db->Get(), "VACUUM INTO ?", -1, &s, nullptr) : SQLITE_ERROR;
  if (rc == SQLITE_OK) {
    sqlite3_bind_text(s, 1, tmp.Path().data(), static_cast<int>(tmp.Path().size()), SQLITE_TRANSIENT);
    rc = sqlite3_step(s);
    if (rc != SQLITE_DONE) error = db.Db->Message();
  } else if (error.empty()) {
    error = db.Db->Message();
  }
  sqlite3_finalize(s);
  if (rc != SQLITE_DONE) Fail(what, error);
  PutInPlace(tmp, db, file);
}
