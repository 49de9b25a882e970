// The older records as the program runs them, against the same work done plainly:
//   (a) the project picker's search on a key release in its code edit over 20,000 projects,
//       from the key to the count in the status bar (statement built, query opened, columns
//       rebuilt, count shown), against a bare OpenQuery of the same statement walked once;
//       aim <= 2x;
//   (b) DeleteLegacyContract of 1,000 contracts with 5 rows in each of the nine record
//       tables, each contract in a transaction of its own, against the same ten DELETEs
//       prepared on a bare SQLite connection, each contract in its own transaction too;
//       aim <= 2x;
//   (c) the next dated code of a contract among 5,000 codes of today, against a bare
//       "select max(HTCode) ..." over the same codes; aim <= 3x.
// Both sides run in each iteration; the ratios are printed under the table.
#include "BenchProgram.h"

#include "app/SqlText.h"
#include "app/legacy/LegacyRecords.h"
#include "app/legacy/LegacyRules.h"
#include "app/legacy/U_SelectProject.h"
#include "core/DateUtils.h"
#include "gui/ComCtrls.h"
#include "gui/Edit.h"
#include "gui/MessageBox.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>

namespace {

using bench::Clock;
using bench::Ms;

constexpr int kProjects = 20000;
constexpr int kContracts = 1000;
constexpr int kRowsPerTable = 5;
constexpr int kCodesToday = 5000;

// A bare SQLite connection to the program's database file, as the program's own is set up.
class TRawDb {
public:
  explicit TRawDb(const String& File) {
    sqlite3_open(File.c_str(), &FDb);
    sqlite3_exec(FDb, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(FDb, 5000);
  }
  ~TRawDb() { sqlite3_close(FDb); }
  TRawDb(const TRawDb&) = delete;
  TRawDb& operator=(const TRawDb&) = delete;
  void Exec(const String& Sql) { sqlite3_exec(FDb, Sql.c_str(), nullptr, nullptr, nullptr); }
  sqlite3_stmt* Prepare(const String& Sql) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(FDb, Sql.c_str(), -1, &s, nullptr);
    return s;
  }
  int Count(const String& Sql) {
    sqlite3_stmt* s = Prepare(Sql);
    int n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int(s, 0) : -1;
    sqlite3_finalize(s);
    return n;
  }

private:
  sqlite3* FDb = nullptr;
};

String Today() { return FormatDateTime("yyyy-mm-dd", Date()); }

void FillProjects(const String& File) {
  TRawDb db(File);
  db.Exec("BEGIN");
  sqlite3_stmt* s = db.Prepare(
      "INSERT INTO T_Project (ProjectCode, ProjectName, ProjectType, GCName, Leader, GCInvest) VALUES (?, ?, '01', "
      "'工程', '张工', 100)");
  for (int i = 0; i < kProjects; ++i) {
    String code = "P" + std::to_string(10000 + i), name = "项目" + std::to_string(i);
    sqlite3_bind_text(s, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(s);
    sqlite3_reset(s);
  }
  sqlite3_finalize(s);
  // today's contract codes for (c), in an order that is not the codes' own
  sqlite3_stmt* c = db.Prepare("INSERT INTO T_ht (HTCode, HTName) VALUES (?, ?)");
  for (int i = 0; i < kCodesToday; ++i) {
    int serial = (i * 7919) % kCodesToday + 1;
    String code = "HT-" + Today() + "-" + PadSerial(std::to_string(serial)), name = "今天" + std::to_string(i);
    sqlite3_bind_text(c, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(c, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(c);
    sqlite3_reset(c);
  }
  sqlite3_finalize(c);
  db.Exec("COMMIT");
}

class TLegacyBench : public bench::TBenchProgram {
public:
  TLegacyBench() : TBenchProgram("kelm-bench-legacy", FillProjects) {
    SetMessageBoxHook([](const String& Text, const String&, int) {
      std::fprintf(stderr, "unexpected box: %s\n", Text.c_str());
      return IDOK;
    });
    Start();
    Raw = std::make_unique<TRawDb>(Folder() + "DataBase/kelm.mdb");
  }
  std::unique_ptr<TRawDb> Raw;
};

TLegacyBench& Fixture() {
  static TLegacyBench* f = new TLegacyBench();  // kept to the end: the application frees its windows
  return *f;
}

// ---------------------------------------------------------------- (a)

void BM_PickerKeySearch(benchmark::State& state) {
  TLegacyBench& f = Fixture();
  std::unique_ptr<TFrm_SelectProject> picker(CreateForm<TFrm_SelectProject>(nullptr));
  picker->Show();
  Application->ProcessMessages();
  picker->Edit_ProjectCode->SetText("P1");
  const int expected = 10000;  // P10000 .. P19999
  double ours = 0, bare = 0;
  bool found = true;
  for (auto _ : state) {
    picker->StatusBar1->Panels()->Items(0)->SetText("");
    auto t0 = Clock::now();
    picker->Edit_ProjectCode->Perform(WM_KEYUP, '1', 0);
    benchmark::DoNotOptimize(picker->StatusBar1->Panels()->Items(0)->Text());
    auto t1 = Clock::now();
    String sql = picker->Qry_Select->CommandText();
    auto t2 = Clock::now();
    Frm_Data->OpenQuery(f.Bare, sql);
    for (f.Bare->First(); !f.Bare->Eof(); f.Bare->Next()) benchmark::DoNotOptimize(f.Bare->Fields()->Fields(0)->AsString());
    auto t3 = Clock::now();
    ours += Ms(t0, t1);
    bare += Ms(t2, t3);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    found = found && picker->Qry_Select->RecordCount() == expected && f.Bare->RecordCount() == expected &&
            picker->StatusBar1->Panels()->Items(0)->Text() == "当前共有 10000 条记录";
  }
  if (!found) state.SkipWithError("the search did not find its projects");
  bench::SetTimeCounters(state, bare / state.iterations(), ours / state.iterations());
}
BENCHMARK(BM_PickerKeySearch)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

// ---------------------------------------------------------------- (b)

// Contracts Prefix0 .. Prefix999, each with kRowsPerTable rows in every record table.
void FillContracts(TRawDb& Db, const String& Prefix) {
  Db.Exec("BEGIN");
  sqlite3_stmt* ht = Db.Prepare("INSERT INTO T_ht (HTCode, HTName) VALUES (?, ?)");
  std::vector<sqlite3_stmt*> records;
  for (const String& t : LegacyRecordTables()) records.push_back(Db.Prepare("INSERT INTO " + t + " (HTCode) VALUES (?)"));
  for (int i = 0; i < kContracts; ++i) {
    String code = Prefix + std::to_string(i);
    sqlite3_bind_text(ht, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(ht, 2, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(ht);
    sqlite3_reset(ht);
    for (sqlite3_stmt* s : records)
      for (int r = 0; r < kRowsPerTable; ++r) {
        sqlite3_bind_text(s, 1, code.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
      }
  }
  sqlite3_finalize(ht);
  for (sqlite3_stmt* s : records) sqlite3_finalize(s);
  Db.Exec("COMMIT");
}

void RawDeleteContracts(TRawDb& Db, const String& Prefix) {
  std::vector<sqlite3_stmt*> deletes;
  for (const String& t : LegacyRecordTables()) deletes.push_back(Db.Prepare("DELETE FROM " + t + " WHERE HTCode=?"));
  deletes.push_back(Db.Prepare("DELETE FROM T_ht WHERE HTCode=?"));
  for (int i = 0; i < kContracts; ++i) {
    String code = Prefix + std::to_string(i);
    Db.Exec("BEGIN");
    for (sqlite3_stmt* s : deletes) {
      sqlite3_bind_text(s, 1, code.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    Db.Exec("COMMIT");
  }
  for (sqlite3_stmt* s : deletes) sqlite3_finalize(s);
}

int RowsLeft(TRawDb& Db, const String& Prefix) {
  int left = Db.Count("SELECT count(*) FROM T_ht WHERE HTCode LIKE '" + Prefix + "%'");
  for (const String& t : LegacyRecordTables())
    left += Db.Count("SELECT count(*) FROM " + t + " WHERE HTCode LIKE '" + Prefix + "%'");
  return left;
}

void BM_DeleteContracts(benchmark::State& state) {
  TLegacyBench& f = Fixture();
  double ours = 0, bare = 0;
  bool emptied = true;
  for (auto _ : state) {
    FillContracts(*f.Raw, "K-");
    FillContracts(*f.Raw, "R-");
    auto t0 = Clock::now();
    for (int i = 0; i < kContracts; ++i) DeleteLegacyContract("K-" + std::to_string(i));
    auto t1 = Clock::now();
    RawDeleteContracts(*f.Raw, "R-");
    auto t2 = Clock::now();
    ours += Ms(t0, t1);
    bare += Ms(t1, t2);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    emptied = emptied && RowsLeft(*f.Raw, "K-") == 0 && RowsLeft(*f.Raw, "R-") == 0;
  }
  if (!emptied) state.SkipWithError("a contract or a record was left");
  bench::SetTimeCounters(state, bare / state.iterations(), ours / state.iterations());
}
BENCHMARK(BM_DeleteContracts)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// ---------------------------------------------------------------- (c)

void BM_NewCode(benchmark::State& state) {
  TLegacyBench& f = Fixture();
  sqlite3_stmt* max = f.Raw->Prepare("SELECT max(HTCode) FROM T_ht WHERE HTCode LIKE ?");
  String pattern = "HT-" + Today() + "-%";
  String expected = "HT-" + Today() + "-" + PadSerial(std::to_string(kCodesToday + 1));
  double ours = 0, bare = 0;
  bool right = true;
  for (auto _ : state) {
    auto t0 = Clock::now();
    String code = NextLegacyCode(LegacyContractKind(), Date());
    auto t1 = Clock::now();
    sqlite3_bind_text(max, 1, pattern.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(max);
    String last = reinterpret_cast<const char*>(sqlite3_column_text(max, 0));
    sqlite3_reset(max);
    auto t2 = Clock::now();
    ours += Ms(t0, t1);
    bare += Ms(t1, t2);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    right = right && code == expected && last < expected;
  }
  sqlite3_finalize(max);
  if (!right) state.SkipWithError("the next code was not the one after the largest");
  bench::SetTimeCounters(state, bare / state.iterations(), ours / state.iterations());
}
BENCHMARK(BM_NewCode)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunProgramBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    bench::PrintTimeRatio(r, "BM_PickerKeySearch",
                          "project picker search per key release over 20,000 projects against a bare open and walk", 2.0);
    bench::PrintTimeRatio(r, "BM_DeleteContracts",
                          "delete of 1,000 contracts with 45 record rows each against the same deletes on bare SQLite", 2.0);
    bench::PrintTimeRatio(r, "BM_NewCode", "next contract code among 5,000 of today against a bare select max", 3.0);
  });
}
