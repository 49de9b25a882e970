// The database-file operations on a 50 MB database: a backup through the online copy against a
// plain copy of the same closed file (read, written and flushed), and compaction against a bare
// VACUUM INTO through the C API. Then the receipt schedule's search over 100,000 fund rows (the
// window's whole search: statement, query, columns with their footer sums, row count) against
// its bare query through the C API, every column of every row read. Each benchmark runs both
// sides and reports their ratio. Aims: backup within 3x the plain copy, compaction within 1.3x
// VACUUM INTO, the search within 1.5x its bare query.
#include "data/ADODB.h"
#include "data/DatabaseFiles.h"
#include "BenchUtil.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmInMoney.h"
#include "core/DateUtils.h"
#include "core/FileUtils.h"
#include "core/Resources.h"
#include "gui/Application.h"
#include "gui/Calendar.h"
#include "tools/MakeDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <random>

namespace {

using bench::Clock;
using bench::Seconds;

constexpr Int64 kTargetBytes = 50 * 1000 * 1000;

// Contracts and their fund rows, as the program keeps them.
const char* const kCreate =
    "CREATE TABLE t_pact (PactCode TEXT(50) NOT NULL, PactName TEXT(100), CustName TEXT(50), PrjName TEXT(50), "
    "PactMoney DOUBLE, PactDate DATETIME, PactNote MEMO);"
    "CREATE TABLE t_pact_zj (pactmoneyid COUNTER, PactCode TEXT(50), zjtype TEXT(10), money CURRENCY, "
    "jhdate DATETIME, sjdate DATETIME, f_check TEXT(10), Method TEXT(50), note MEMO);"
    "CREATE INDEX ix_zj_pact ON t_pact_zj (PactCode)";

class TBenchFiles {
public:
  TBenchFiles() {
    FFolder = (std::filesystem::temp_directory_path() / ("kelm-bench-files-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(FFolder);
    FFile = FFolder + "/kelm.mdb";
    CreateDatabaseFromScript(FFile, kCreate);
    Fill();
  }
  ~TBenchFiles() {
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }
  const String& File() const { return FFile; }
  String Beside(const String& name) const { return FFolder + "/" + name; }

private:
  void Fill() {
    sqlite3* db = nullptr;
    sqlite3_open_v2(FFile.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt *pact = nullptr, *zj = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t_pact VALUES (?, ?, ?, ?, ?, ?, ?)", -1, &pact, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO t_pact_zj (PactCode, zjtype, money, jhdate, sjdate, f_check, Method, note) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &zj, nullptr);
    std::mt19937 rng(7);
    auto text = [&](int len) {
      String t;
      for (int i = 0; i < len; ++i) t += static_cast<char>('a' + rng() % 26);
      return t;
    };
    auto bindText = [](sqlite3_stmt* s, int i, const String& v) {
      sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    };
    for (int p = 0; PageBytes(db) < kTargetBytes; ++p) {
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
      for (int k = 0; k < 1000; ++k) {
        String code = "HT" + std::to_string(100000 + p * 1000 + k);
        bindText(pact, 1, code);
        bindText(pact, 2, "合同" + text(20));
        bindText(pact, 3, text(16));
        bindText(pact, 4, text(12));
        sqlite3_bind_double(pact, 5, (rng() % 10000000) / 100.0);
        sqlite3_bind_double(pact, 6, 45000 + rng() % 1000);
        bindText(pact, 7, text(80));
        sqlite3_step(pact);
        sqlite3_reset(pact);
        for (int z = 0; z < 4; ++z) {
          bindText(zj, 1, code);
          bindText(zj, 2, z % 2 ? "付款" : "收款");
          sqlite3_bind_double(zj, 3, (rng() % 1000000) / 100.0);
          sqlite3_bind_double(zj, 4, 45000 + rng() % 1000);
          sqlite3_bind_double(zj, 5, 45000 + rng() % 1000);
          bindText(zj, 6, z % 3 ? "未完成" : "已完成");
          bindText(zj, 7, "转账");
          bindText(zj, 8, text(40));
          sqlite3_step(zj);
          sqlite3_reset(zj);
        }
      }
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(pact);
    sqlite3_finalize(zj);
    sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_close(db);
  }

  static Int64 PageBytes(sqlite3* db) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT page_count * page_size FROM pragma_page_count, pragma_page_size", -1, &s, nullptr);
    Int64 bytes = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : kTargetBytes;
    sqlite3_finalize(s);
    return bytes;
  }

  String FFolder, FFile;
};

TBenchFiles& Files() {
  static TBenchFiles files;
  return files;
}

// A plain copy made as durable as a backup: read, written, flushed.
void PlainCopy(const String& from, const String& to) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  static char buf[1 << 20];
  for (ssize_t n; (n = ::read(in, buf, sizeof buf)) > 0;) {
    if (::write(out, buf, static_cast<std::size_t>(n)) != n) break;
  }
  ::fsync(out);
  ::close(out);
  ::close(in);
}

void Backup(benchmark::State& state) {
  TBenchFiles& files = Files();
  TADOConnection conn(nullptr);
  conn.SetConnectionString("Data Source=" + files.File() + ";");
  conn.Open();
  double raw = 0, kelm = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    PlainCopy(files.File(), files.Beside("plain.mdb"));
    auto t1 = Clock::now();
    BackupDatabase(conn, files.Beside("kelm_bak.mdb"));
    auto t2 = Clock::now();
    raw += Seconds(t0, t1);
    kelm += Seconds(t1, t2);
    if (FileSize(files.Beside("kelm_bak.mdb")) < kTargetBytes * 9 / 10) state.SkipWithError("short backup");
  }
  state.counters["MB"] = FileSize(files.File()) / 1e6;
  bench::SetTimeCounters(state, raw * 1000 / state.iterations(), kelm * 1000 / state.iterations());
}

void Compact(benchmark::State& state) {
  TBenchFiles& files = Files();
  String vacuumed = files.Beside("vacuumed.mdb");
  double raw = 0, kelm = 0;
  for (auto _ : state) {
    DeleteFile(vacuumed);
    auto t0 = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2(files.File().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    String sql = "VACUUM INTO '" + vacuumed + "'";
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    auto t1 = Clock::now();
    CompactDatabaseFile(files.File());
    auto t2 = Clock::now();
    if (rc != SQLITE_OK) state.SkipWithError("VACUUM INTO failed");
    raw += Seconds(t0, t1);
    kelm += Seconds(t1, t2);
  }
  bench::SetTimeCounters(state, raw * 1000 / state.iterations(), kelm * 1000 / state.iterations());
}

constexpr int kFundRows = 100000;

// A program folder with the default database holding kFundRows receipts of 1,000 contracts
// over the year before today, the main window and the data module over it, and the receipt
// schedule open with its dates spanning them all.
class TScheduleBench {
public:
  TScheduleBench() {
    FFolder = (std::filesystem::temp_directory_path() / ("kelm-bench-schedule-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(FFolder);
    FFile = FFolder + "/DataBase/kelm.mdb";
    MakeDatabaseFile(FFile, LoadResourceString(DefaultSchemaResource));
    Fill();
    SetProgramPath(FFolder + "/kelm");
    Application->CreateForm<TFrm_Main>(&Frm_Main);
    Application->CreateForm<TFrm_Data>(&Frm_Data);
    Frm_Main->MoneyIn->Execute();
    Window = frmInMoney;
    static_cast<TDateTimePicker*>(Window->FindComponent("dtBeginDate"))->SetDate(Date() - 400);
  }
  ~TScheduleBench() {
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }
  const String& File() const { return FFile; }
  TfrmInMoney* Window = nullptr;

private:
  void Fill() {
    sqlite3* db = nullptr;
    sqlite3_open_v2(FFile.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *pact = nullptr, *zj = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t_pact (PactCode, PactName, typecode, PrjName, PrjMan, CustName) VALUES (?, ?, '01', ?, ?, ?)",
                       -1, &pact, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO t_pact_zj (PactCode, zjtype, money, jhdate, Method, f_check, Remark) "
                       "VALUES (?, '收款', ?, ?, '现金', ?, ?)",
                       -1, &zj, nullptr);
    auto text = [](sqlite3_stmt* s, int i, const String& v) {
      sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    };
    std::mt19937 rng(11);
    double today = static_cast<double>(static_cast<long>(Date()));
    for (int p = 0; p < 1000; ++p) {
      String code = "HT" + std::to_string(10000 + p);
      text(pact, 1, code);
      text(pact, 2, "合同" + std::to_string(p));
      text(pact, 3, "项目" + std::to_string(p % 50));
      text(pact, 4, "经理" + std::to_string(p % 20));
      text(pact, 5, "客户" + std::to_string(p % 200));
      sqlite3_step(pact);
      sqlite3_reset(pact);
      for (int z = 0; z < kFundRows / 1000; ++z) {
        text(zj, 1, code);
        sqlite3_bind_double(zj, 2, (rng() % 1000000) / 100.0);
        sqlite3_bind_double(zj, 3, today - rng() % 365);
        text(zj, 4, z % 3 ? "未完成" : "已完成");
        text(zj, 5, "备注" + std::to_string(z));
        sqlite3_step(zj);
        sqlite3_reset(zj);
      }
    }
    sqlite3_finalize(pact);
    sqlite3_finalize(zj);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }

  String FFolder, FFile;
};

TScheduleBench& Schedule() {
  static TScheduleBench* f = new TScheduleBench();  // kept to the end: the application frees its windows
  return *f;
}

// The same rows as the window's statement, as SQLite reads it, every column of every row read.
int BareSearch(sqlite3* db, double today, double from) {
  String sql = "SELECT *, jhdate - " + std::to_string(today) + " AS xcday FROM s_pactzj WHERE zjtype = '收款' AND jhdate >= " +
               std::to_string(from) + " AND jhdate <= " + std::to_string(today) + " ORDER BY jhdate DESC";
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
  int rows = 0;
  std::size_t bytes = 0;
  while (sqlite3_step(s) == SQLITE_ROW) {
    ++rows;
    for (int c = 0; c < sqlite3_column_count(s); ++c) {
      if (sqlite3_column_type(s, c) == SQLITE_TEXT) bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, c));
      else bytes += static_cast<std::size_t>(sqlite3_column_double(s, c) != 0);
    }
  }
  sqlite3_finalize(s);
  benchmark::DoNotOptimize(bytes);
  return rows;
}

void ReceiptSearch(benchmark::State& state) {
  TScheduleBench& f = Schedule();
  sqlite3* db = nullptr;
  sqlite3_open_v2(f.File().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  double today = static_cast<double>(static_cast<long>(Date()));
  double raw = 0, kelm = 0;
  int bare = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    bare = BareSearch(db, today, today - 400);
    auto t1 = Clock::now();
    f.Window->Btn_SearchClick(nullptr);
    auto t2 = Clock::now();
    raw += Seconds(t0, t1);
    kelm += Seconds(t1, t2);
  }
  sqlite3_close(db);
  if (bare != kFundRows || f.Window->Query()->RecordCount() != kFundRows) state.SkipWithError("not every row was found");
  state.counters["rows"] = bare;
  bench::SetTimeCounters(state, raw * 1000 / state.iterations(), kelm * 1000 / state.iterations());
}

}  // namespace

BENCHMARK(Backup)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Compact)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ReceiptSearch)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    bench::PrintTimeRatio(r, "Backup", "backup of a 50 MB database against a plain copy", 3.0);
    bench::PrintTimeRatio(r, "Compact", "compaction against VACUUM INTO", 1.3);
    bench::PrintTimeRatio(r, "ReceiptSearch", "receipt search over 100,000 rows against its bare query", 1.5);
  });
  DoneApplication();
  return rc;
}
