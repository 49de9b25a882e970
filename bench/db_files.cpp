// The database-file operations on a 50 MB database: a backup through the online copy against a
// plain copy of the same closed file (read, written and flushed), and compaction against a bare
// VACUUM INTO through the C API. Each benchmark runs both sides and reports their ratio.
// Aims: backup within 3x the plain copy, compaction within 1.3x VACUUM INTO.
#include "data/ADODB.h"
#include "data/DatabaseFiles.h"
#include "BenchUtil.h"
#include "core/FileUtils.h"

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

}  // namespace

BENCHMARK(Backup)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Compact)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
