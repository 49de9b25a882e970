// Backup, check, restore and compaction of database files: results, refusals that leave the
// target as it was, no temporaries left, and crashes at every step and at random moments
// leaving the old or the new content whole.
#include "DbFilesTestUtil.h"
#include "core/SysUtils.h"
#include "data/DatabaseFiles.h"

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Throws at one step of the next operations; removed with the guard.
class FailAt {
public:
  explicit FailAt(TDbFileStep at) {
    SetDbFileStepHook([at](TDbFileStep s) {
      if (s == at) throw EInOutError("injected failure");
    });
  }
  ~FailAt() { SetDbFileStepHook(nullptr); }
};

// Points the temporary folder at one of the test's own, so what compaction leaves there shows.
class OwnTempDir {
public:
  explicit OwnTempDir(const String& dir) {
    const char* old = std::getenv("TMPDIR");
    FOld = old ? old : "";
    FHad = old != nullptr;
    ForceDirectories(dir);
    ::setenv("TMPDIR", dir.c_str(), 1);
  }
  ~OwnTempDir() {
    if (FHad) ::setenv("TMPDIR", FOld.c_str(), 1);
    else ::unsetenv("TMPDIR");
  }

private:
  String FOld;
  bool FHad;
};

class DbFiles : public ::testing::Test {
protected:
  void SetUp() override {
    Db = Folder / "DataBase/kelm.mdb";
    ForceDirectories(Folder / "DataBase");
    ForceDirectories(Folder / "Save");
    MakeTaggedDb(Db, "old", 300);
  }
  std::unique_ptr<TADOConnection> Connect(const String& file) {
    auto c = std::make_unique<TADOConnection>(nullptr);
    c->SetConnectionString(ConnectionStringFor(file));
    c->Open();
    return c;
  }
  String Bytes(const String& file) {
    String data;
    EXPECT_TRUE(ReadFileToString(file, data)) << file;
    return data;
  }

  TempFolder Folder;
  String Db;
};

}  // namespace

// ------------------------------------------------------------------------------ backup

TEST_F(DbFiles, BackupCopiesTheOpenDatabaseAndOverwritesTheDaysEarlierCopy) {
  auto conn = Connect(Db);
  String target = Folder / "Save/kelm_bak2024-03-08.mdb";
  BackupDatabase(*conn, target);
  EXPECT_EQ(TaggedContent(target), "old:300");

  // Rows committed since (still in the log) reach the second copy, which replaces the first.
  conn->Execute("insert into bulk (tag, pad) values ('old', 'x')");
  BackupDatabase(*conn, target);
  EXPECT_EQ(TaggedContent(target), "old:301");
  EXPECT_TRUE(conn->Connected());
  EXPECT_EQ(conn->Execute("update t_pact set PactName = 'y' where PactCode = 'HT001'"), 1);
  // The copy stands alone: no log of its own, nothing else in the folder.
  EXPECT_EQ(StrayFiles(Folder / "Save", {"kelm_bak2024-03-08.mdb"}), std::vector<String>{});
}

TEST_F(DbFiles, AFailedBackupKeepsTheEarlierCopyAndLeavesNoTemporary) {
  auto conn = Connect(Db);
  String target = Folder / "Save/b.mdb";
  BackupDatabase(*conn, target);
  conn->Execute("delete from bulk");
  for (TDbFileStep step : {TDbFileStep::Copy, TDbFileStep::Flush, TDbFileStep::Rename}) {
    SCOPED_TRACE(static_cast<int>(step));
    FailAt fail(step);
    EXPECT_THROW(BackupDatabase(*conn, target), EInOutError);
    EXPECT_EQ(TaggedContent(target), "old:300");
    EXPECT_EQ(StrayFiles(Folder / "Save", {"b.mdb"}), std::vector<String>{});
  }
}

// ------------------------------------------------------------------------------ leftovers

namespace {

// A process number no process has (above any system's limit), and one that runs.
const String kGone = "999999999";
String Running() { return std::to_string(::getppid()); }

void Plant(const String& Folder, const std::vector<String>& Names) {
  for (const String& n : Names) WriteFileAtomic(IncludeTrailingPathDelimiter(Folder) + n, "x");
}

}  // namespace

// What a killed operation left goes, with its journals; a working operation's files, and every
// file of another name, stay.
TEST_F(DbFiles, LeftoversOfKilledOperationsGoAndNothingElse) {
  String dir = Folder / "DataBase";
  const std::vector<String> leftovers = {
      "~CP.tmp" + kGone + "_0", "~CP.tmp" + kGone + "_0-journal", ".kelm.mdb.tmp" + kGone + "_3",
      ".kelm.mdb.tmp" + kGone + "_3-wal", ".kelm_bak2024-03-08.mdb.tmp" + kGone + "_1",
      ".kelm_bak2024-03-08.mdb.tmp" + kGone + "_1-journal"};
  const std::vector<String> kept = {
      "~CP.tmp" + Running() + "_0",  // its process still runs
      "~CP.txt", "notes.tmp12_3", "~CP.tmp12_x", "x~CP.tmp1_2", ".tmp1_2", ".kelm.mdb.tmp1_2.bak", "kelm.mdb-journal",
      "~CP.tmp" + kGone + "_0-shm.old"};
  Plant(dir, leftovers);
  Plant(dir, kept);
  EXPECT_EQ(RemoveDbFileLeftovers(dir), static_cast<int>(leftovers.size()));
  std::vector<String> left = StrayFiles(dir, {"kelm.mdb"});
  std::sort(left.begin(), left.end());
  std::vector<String> want = kept;
  std::sort(want.begin(), want.end());
  EXPECT_EQ(left, want);

  // A prefix takes only the leftovers of that name.
  Plant(dir, leftovers);
  EXPECT_EQ(RemoveDbFileLeftovers(dir, "~CP"), 2);
  EXPECT_TRUE(FileExists(dir + "/.kelm.mdb.tmp" + kGone + "_3"));
  EXPECT_EQ(RemoveDbFileLeftovers(Folder / "no such folder"), 0);
}

// Each operation clears the leftovers of its own name in its target's folder before it works;
// another operation's stay for it.
TEST_F(DbFiles, EachOperationFirstRemovesTheLeftoversOfItsOwnName) {
  String save = Folder / "Save", base = Folder / "DataBase";
  String target = save + "/kelm_bak2024-03-08.mdb";
  Plant(save, {".kelm_bak2024-03-08.mdb.tmp" + kGone + "_0", ".kelm_bak2024-03-08.mdb.tmp" + kGone + "_0-journal",
               ".other.mdb.tmp" + kGone + "_0"});
  {
    auto conn = Connect(Db);
    BackupDatabase(*conn, target);
  }
  EXPECT_EQ(StrayFiles(save, {"kelm_bak2024-03-08.mdb"}), std::vector<String>{".other.mdb.tmp" + kGone + "_0"});

  Plant(base, {"~CP.tmp" + kGone + "_7", "~CP.tmp" + kGone + "_7-journal", ".kelm.mdb.tmp" + kGone + "_2"});
  CompactDatabaseFile(Db);
  EXPECT_EQ(StrayFiles(base, {"kelm.mdb"}), std::vector<String>{".kelm.mdb.tmp" + kGone + "_2"});
  ReplaceDatabaseFile(target, Db);
  EXPECT_EQ(StrayFiles(base, {"kelm.mdb"}), std::vector<String>{});
  EXPECT_EQ(TaggedContent(Db), "old:300");
}

TEST_F(DbFiles, BackupRefusals) {
  auto conn = Connect(Db);
  struct Case { const char* Name; String Target; };
  const Case cases[] = {
      {"missing folder", Folder / "NoSuchFolder/b.mdb"},
      {"a folder", Folder / "Save"},
      {"empty name", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_THROW(BackupDatabase(*conn, c.Target), EInOutError);
  }
  EXPECT_EQ(StrayFiles(Folder / "Save", {}), std::vector<String>{});
  // Uncommitted rows of the connection's own transaction are not copied: refused instead.
  conn->BeginTrans();
  conn->Execute("delete from bulk");
  EXPECT_THROW(BackupDatabase(*conn, Folder / "Save/b.mdb"), EInOutError);
  conn->RollbackTrans();
  EXPECT_FALSE(FileExists(Folder / "Save/b.mdb"));
}

// ------------------------------------------------------------------------------ check

TEST_F(DbFiles, CheckNamesWhyAFileIsNoSoundCopyOfTheOpenDatabase) {
  auto conn = Connect(Db);
  String good = Folder / "Save/good.mdb";
  BackupDatabase(*conn, good);
  String full = Bytes(good);
  Folder.Write("Save/text.mdb", "This is a text file, not a database.\n");
  Folder.Write("Save/truncated.mdb", full.substr(0, full.size() / 2));
  Folder.Write("Save/empty.mdb", "");
  String damaged = full;
  for (std::size_t i = 4096; i < damaged.size(); i += 4096) damaged.replace(i + 8, 64, 64, '\xA5');
  Folder.Write("Save/damaged.mdb", damaged);
  String other = Folder / "Save/other.mdb";
  CreateDatabaseFromScript(other, "CREATE TABLE t_pact (PactCode TEXT(50))");
  String upper = Folder / "Save/upper.mdb";
  CreateDatabaseFromScript(upper, String(SampleScript()) + ";CREATE TABLE BULK (ID COUNTER, TAG TEXT(10), PAD TEXT(200), extra TEXT(5))");

  struct Case { const char* Name; String File; const char* ReasonPart; };
  const Case cases[] = {
      {"backup", good, nullptr},
      {"names in other case, extra column", upper, nullptr},
      {"text", Folder / "Save/text.mdb", ""},
      {"truncated", Folder / "Save/truncated.mdb", ""},
      {"empty file", Folder / "Save/empty.mdb", "no table"},
      {"damaged pages", Folder / "Save/damaged.mdb", ""},
      {"another schema", other, "column"},
      {"missing", Folder / "Save/none.mdb", "no file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    String reason = CheckDatabaseFile(c.File, *conn);
    if (!c.ReasonPart) {
      EXPECT_EQ(reason, "");
    } else {
      EXPECT_FALSE(reason.empty());
      EXPECT_NE(reason.find(c.ReasonPart), String::npos) << reason;
    }
  }
  // Read-only: nothing was written beside the files checked.
  EXPECT_EQ(StrayFiles(Folder / "Save", {"good.mdb", "text.mdb", "truncated.mdb", "empty.mdb", "damaged.mdb",
                                         "other.mdb", "upper.mdb"}),
            std::vector<String>{});
}

// ------------------------------------------------------------------------------ restore

TEST_F(DbFiles, RestorePutsTheBackupInPlaceWithoutStaleLog) {
  String backup = Folder / "Save/new.mdb";
  MakeTaggedDb(backup, "new", 120);
  {
    auto conn = Connect(Db);
    conn->Execute("insert into bulk (tag, pad) values ('old', 'in the log')");
  }
  ReplaceDatabaseFile(backup, Db);
  EXPECT_FALSE(FileExists(Db + "-wal"));
  EXPECT_FALSE(FileExists(Db + "-shm"));
  EXPECT_EQ(TaggedContent(Db), "new:120");
  EXPECT_EQ(TaggedContent(backup), "new:120");  // the source is only read
  auto conn = Connect(Db);
  EXPECT_EQ(conn->Execute("update bulk set pad = 'z' where id = 1"), 1);
  EXPECT_EQ(StrayFiles(Folder / "DataBase", {"kelm.mdb", "kelm.mdb-wal", "kelm.mdb-shm"}), std::vector<String>{});
}

TEST_F(DbFiles, RestoreRefusesWhatIsNoSoundDatabaseOfTheSameSchemaAndLeavesTheTargetAsItWas) {
  String good = Folder / "Save/good.mdb";
  MakeTaggedDb(good, "new", 50);
  String full = Bytes(good);
  Folder.Write("Save/text.mdb", "MZ this is no database at all");
  Folder.Write("Save/truncated.mdb", full.substr(0, full.size() * 2 / 3));
  String other = Folder / "Save/other.mdb";
  CreateDatabaseFromScript(other, "CREATE TABLE something (a TEXT(5))");
  String before = Bytes(Db);
  for (const char* name : {"text.mdb", "truncated.mdb", "other.mdb", "none.mdb"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(ReplaceDatabaseFile(Folder / "Save" + "/" + name, Db), EInOutError);
    EXPECT_EQ(Bytes(Db), before);
    EXPECT_EQ(StrayFiles(Folder / "DataBase", {"kelm.mdb"}), std::vector<String>{});
  }
  EXPECT_EQ(TaggedContent(Db), "old:300");
}

TEST_F(DbFiles, RestoreOverADamagedDatabaseWorksAndRestoreOverItselfChangesNothing) {
  String good = Folder / "Save/good.mdb";
  MakeTaggedDb(good, "new", 50);
  Folder.Write("DataBase/kelm.mdb", "garbage where the database was");
  ReplaceDatabaseFile(good, Db);
  EXPECT_EQ(TaggedContent(Db), "new:50");
  ReplaceDatabaseFile(Db, Db);
  EXPECT_EQ(TaggedContent(Db), "new:50");
}

TEST_F(DbFiles, RestoreAndCompactionAreRefusedWhileAnotherConnectionIsOpen) {
  String good = Folder / "Save/good.mdb";
  MakeTaggedDb(good, "new", 50);
  auto conn = Connect(Db);
  conn->SetCommandTimeout(1);
  conn->Execute("insert into bulk (tag, pad) values ('old', 'logged')");
  EXPECT_THROW(ReplaceDatabaseFile(good, Db), EInOutError);
  EXPECT_THROW(CompactDatabaseFile(Db), EInOutError);
  EXPECT_EQ(conn->Execute("update bulk set pad = 'still works' where id = 1"), 1);

  // A reader in the middle of a transaction keeps the log from being emptied.
  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open(Db.c_str(), &reader), SQLITE_OK);
  sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM bulk;", nullptr, nullptr, nullptr);
  conn.reset();
  EXPECT_THROW(ReplaceDatabaseFile(good, Db), EInOutError);
  sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(reader);
  EXPECT_EQ(TaggedContent(Db), "old:301");
  EXPECT_EQ(StrayFiles(Folder / "DataBase", {"kelm.mdb"}), std::vector<String>{});
  // Once all are closed it goes through.
  ReplaceDatabaseFile(good, Db);
  EXPECT_EQ(TaggedContent(Db), "new:50");
}

// ------------------------------------------------------------------------------ compaction

TEST_F(DbFiles, CompactionShrinksTheFileKeepsItsRowsAndLeavesNoTemporary) {
  OwnTempDir tmp(Folder / "tmp");
  MakeTaggedDb(Folder / "DataBase/big.mdb", "big", 5000);
  String big = Folder / "DataBase/big.mdb";
  {
    auto conn = Connect(big);
    conn->Execute("delete from bulk where id > 10");
  }
  Int64 before = FileSize(big);
  CompactDatabaseFile(big);
  EXPECT_LT(FileSize(big), before / 4);
  EXPECT_EQ(TaggedContent(big), "big:10");
  EXPECT_EQ(StrayFiles(Folder / "tmp", {}), std::vector<String>{});
  EXPECT_EQ(StrayFiles(Folder / "DataBase", {"kelm.mdb", "big.mdb"}), std::vector<String>{});
  auto conn = Connect(big);
  EXPECT_EQ(conn->Execute("update bulk set pad = 'z'"), 10);
}

TEST_F(DbFiles, FailedCompactionLeavesTheFileAndNoTemporary) {
  OwnTempDir tmp(Folder / "tmp");
  Folder.Write("DataBase/text.mdb", "not a database");
  EXPECT_THROW(CompactDatabaseFile(Folder / "DataBase/text.mdb"), EInOutError);
  EXPECT_EQ(Folder.Read("DataBase/text.mdb"), "not a database");
  EXPECT_THROW(CompactDatabaseFile(Folder / "DataBase/none.mdb"), EInOutError);
  EXPECT_EQ(StrayFiles(Folder / "tmp", {}), std::vector<String>{});
  EXPECT_EQ(StrayFiles(Folder / "DataBase", {"kelm.mdb", "text.mdb"}), std::vector<String>{});
}

// ------------------------------------------------------------------------------ crashes

namespace {

// One operation on the fixture's files, and the contents its target may hold afterwards.
struct Operation {
  const char* Name;
  std::vector<TDbFileStep> Steps;
  std::function<void(const String& db, const String& other)> Run;
};

const std::vector<Operation>& Operations() {
  static const std::vector<Operation> ops = {
      {"backup",
       {TDbFileStep::Copy, TDbFileStep::Flush, TDbFileStep::Rename, TDbFileStep::FlushFolder},
       [](const String& db, const String& other) {
         TADOConnection c(nullptr);
         c.SetConnectionString(ConnectionStringFor(db));
         BackupDatabase(c, other);
       }},
      {"restore",
       {TDbFileStep::Copy, TDbFileStep::Check, TDbFileStep::Flush, TDbFileStep::CloseLog, TDbFileStep::Rename,
        TDbFileStep::FlushFolder},
       [](const String& db, const String& other) { ReplaceDatabaseFile(other, db); }},
      {"compaction",
       {TDbFileStep::Compact, TDbFileStep::Flush, TDbFileStep::CloseLog, TDbFileStep::Rename,
        TDbFileStep::FlushFolder},
       [](const String& db, const String&) { CompactDatabaseFile(db); }},
  };
  return ops;
}

// Backup writes the other file (old content over "new" there); restore writes the database
// (new over old); compaction keeps the database's content.
String Target(const Operation& op, const String& db, const String& other) {
  return String(op.Name) == "backup" ? other : db;
}

std::vector<String> AllowedContents(const Operation& op) {
  if (String(op.Name) == "backup") return {"new:120", "old:300"};
  if (String(op.Name) == "restore") return {"old:300", "new:120"};
  return {"old:300"};
}

String DoneContent(const Operation& op) { return String(op.Name) == "backup" ? "old:300" : AllowedContents(op).back(); }

}  // namespace

TEST_F(DbFiles, AFailureAtEachStepLeavesTheOldContentWholeAndNoTemporary) {
  OwnTempDir tmp(Folder / "tmp");
  String other = Folder / "Save/other.mdb";
  for (const Operation& op : Operations()) {
    for (TDbFileStep step : op.Steps) {
      SCOPED_TRACE(String(op.Name) + " step " + std::to_string(static_cast<int>(step)));
      RemakeTaggedDb(Db, "old", 300);
      RemakeTaggedDb(other, "new", 120);
      String target = Target(op, Db, other);
      String before = TaggedContent(target);
      {
        FailAt fail(step);
        EXPECT_THROW(op.Run(Db, other), EInOutError);
      }
      // Flushing the folder comes after the rename: the new content is whole then.
      EXPECT_EQ(TaggedContent(target), step == TDbFileStep::FlushFolder ? DoneContent(op) : before);
      EXPECT_EQ(StrayFiles(Folder / "tmp", {}), std::vector<String>{});
      EXPECT_EQ(StrayFiles(Folder / "Save", {"other.mdb"}), std::vector<String>{});
      EXPECT_EQ(StrayFiles(Folder / "DataBase", {"kelm.mdb"}), std::vector<String>{});
    }
  }
}

namespace {

// Runs `body` in a child process; answers its exit status (a signal number + 1000 when killed).
// `killAfterUs` >= 0 kills it that long after the start.
template <class F> int InChild(F body, int killAfterUs) {
  pid_t pid = ::fork();
  if (pid == 0) {
    int code = 0;
    try {
      body();
    } catch (...) {
      code = 3;
    }
    ::_exit(code);
  }
  if (killAfterUs >= 0) {
    ::usleep(static_cast<useconds_t>(killAfterUs));
    ::kill(pid, SIGKILL);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? 1000 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace

TEST_F(DbFiles, AProcessEndingAtEachStepLeavesOldOrNewContentWhole) {
  OwnTempDir tmp(Folder / "tmp");
  String other = Folder / "Save/other.mdb";
  for (const Operation& op : Operations()) {
    for (TDbFileStep step : op.Steps) {
      SCOPED_TRACE(String(op.Name) + " step " + std::to_string(static_cast<int>(step)));
      RemakeTaggedDb(Db, "old", 300);
      RemakeTaggedDb(other, "new", 120);
      int status = InChild(
          [&] {
            SetDbFileStepHook([step](TDbFileStep s) {
              if (s == step) ::_exit(42);
            });
            op.Run(Db, other);
          },
          -1);
      EXPECT_EQ(status, 42);
      std::vector<String> allowed = AllowedContents(op);
      String content = TaggedContent(Target(op, Db, other));
      EXPECT_NE(std::find(allowed.begin(), allowed.end(), content), allowed.end()) << content;
      EXPECT_EQ(TaggedContent(Db), String(op.Name) == "restore" ? content : "old:300");
    }
  }
}

TEST_F(DbFiles, AProcessKilledAtRandomMomentsNeverLeavesAMixOrADamagedFile) {
  OwnTempDir tmp(Folder / "tmp");
  String other = Folder / "Save/other.mdb";
  std::mt19937 rng(2026);
  for (const Operation& op : Operations()) {
    // How long one run takes, to spread the kills over it.
    RemakeTaggedDb(Db, "old", 3000);
    RemakeTaggedDb(other, "new", 1200);
    auto start = std::chrono::steady_clock::now();
    op.Run(Db, other);
    int runUs = static_cast<int>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
    int killed = 0;
    for (int round = 0; round < 12; ++round) {
      RemakeTaggedDb(Db, "old", 3000);
      RemakeTaggedDb(other, "new", 1200);
      int killAt = static_cast<int>(rng() % static_cast<unsigned>(runUs + runUs / 2 + 1));
      SCOPED_TRACE(String(op.Name) + " killed after " + std::to_string(killAt) + " us");
      int status = InChild([&] { op.Run(Db, other); }, killAt);
      EXPECT_TRUE(status == 0 || status == 1000 + SIGKILL) << status;
      killed += status == 1000 + SIGKILL;
      String content = TaggedContent(Target(op, Db, other));
      String allowed[] = {"old:3000", "new:1200"};
      bool whole = content == allowed[0] || content == allowed[1];
      EXPECT_TRUE(whole) << content;
      if (String(op.Name) != "restore") {
        EXPECT_EQ(TaggedContent(Db), "old:3000");  // compaction keeps it, backup only reads it
      }
    }
    EXPECT_GT(killed, 0) << op.Name << ": no run was cut short";
  }
}
