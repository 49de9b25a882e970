// The dataset layer against the raw SQLite C API on the same file: opening and fetching 100,000
// rows of 20 columns, scrolling through them, and 10,000 single-row edits in one transaction.
// Each benchmark runs both and reports the times and their ratio; the fetch also reports the
// heap the held rows take against the raw size of the data. The ratios are printed under the
// table. Goals: open and fetch within 1.2x the C API, scrolling within 1.2x, the edits within
// 1.5x, the memory held within 2x the data size.
#include "data/ADODB.h"
#include "BenchUtil.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

namespace {

constexpr int kRows = 100000;
constexpr int kEdits = 10000;

using bench::Clock;
using bench::Seconds;

// 20 columns: a counter, 8 texts, a memo, 4 doubles, 3 integers, 2 dates and an amount.
const char* const kCreate =
    "CREATE TABLE big (id COUNTER, code TEXT(20), name TEXT(50), kind TEXT(20), cust TEXT(50), prj TEXT(50), "
    "man TEXT(20), state TEXT(10), method TEXT(20), note MEMO, a DOUBLE, b DOUBLE, c DOUBLE, d DOUBLE, "
    "n1 LONG, n2 LONG, n3 LONG, day1 DATETIME, day2 DATETIME, money CURRENCY)";

class TBenchDb {
public:
  TBenchDb() {
    FFolder = (std::filesystem::temp_directory_path() / ("kelm-bench-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(FFolder);
    FFile = FFolder + "/bench.db";
    std::filesystem::remove(FFile);
    CreateDatabaseFromScript(FFile, kCreate);
    sqlite3* db = Open();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO big (code, name, kind, cust, prj, man, state, method, note, a, b, c, d, n1, n2, n3, "
                       "day1, day2, money) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &s, nullptr);
    std::mt19937 rng(42);
    auto text = [&](int len) {
      String t;
      for (int i = 0; i < len; ++i) t += static_cast<char>('a' + rng() % 26);
      return t;
    };
    for (int r = 0; r < kRows; ++r) {
      const String texts[9] = {"HT" + std::to_string(100000 + r), text(16), text(6), text(14), text(12),
                               "张三" + text(2), "未完成", text(8), text(40)};
      for (int i = 0; i < 9; ++i)
        sqlite3_bind_text(s, i + 1, texts[i].data(), static_cast<int>(texts[i].size()), SQLITE_TRANSIENT);
      for (int i = 0; i < 4; ++i) sqlite3_bind_double(s, 10 + i, (rng() % 1000000) / 100.0);
      for (int i = 0; i < 3; ++i) sqlite3_bind_int64(s, 14 + i, static_cast<Int64>(rng() % 100000));
      sqlite3_bind_double(s, 17, 45000 + rng() % 1000);
      sqlite3_bind_double(s, 18, 45000 + rng() % 1000 + 0.5);
      sqlite3_bind_double(s, 19, (rng() % 10000000) / 100.0);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~TBenchDb() {
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }
  const String& File() const { return FFile; }
  sqlite3* Open() const {
    sqlite3* db = nullptr;
    sqlite3_open_v2(FFile.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    return db;
  }
  String ConnectionString() const { return "Data Source=" + FFile + ";"; }

private:
  String FFolder, FFile;
};

TBenchDb& Db() {
  static TBenchDb db;
  return db;
}

// Every row of the big table through the dataset layer, on a connection of its own; opened by
// the caller, so each benchmark decides what its timing includes.
struct TBigQuery {
  TADOConnection Conn{nullptr};
  TADOQuery Query{nullptr};
  explicit TBigQuery(const TBenchDb& Bench) {
    Conn.SetConnectionString(Bench.ConnectionString());
    Query.SetConnection(&Conn);
    Query.SQL()->SetText("select * from big");
  }
};

// One statement prepared on a raw connection to the same file; both closed when it goes.
struct TRawStatement {
  sqlite3* Db = nullptr;
  sqlite3_stmt* Stmt = nullptr;
  TRawStatement(const TBenchDb& Bench, const char* Sql) : Db(Bench.Open()) {
    sqlite3_prepare_v2(Db, Sql, -1, &Stmt, nullptr);
  }
  ~TRawStatement() {
    sqlite3_finalize(Stmt);
    sqlite3_close(Db);
  }
};

// Raw: step through every row reading every column, as a client cursor must. Answers the
// size of the data read (text bytes, 8 per number).
std::size_t RawFetch(sqlite3* db) {
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM big", -1, &s, nullptr);
  std::size_t bytes = 0;
  int n = sqlite3_column_count(s);
  while (sqlite3_step(s) == SQLITE_ROW) {
    for (int c = 0; c < n; ++c) {
      switch (sqlite3_column_type(s, c)) {
        case SQLITE_INTEGER: bytes += 8; benchmark::DoNotOptimize(sqlite3_column_int64(s, c)); break;
        case SQLITE_FLOAT: bytes += 8; benchmark::DoNotOptimize(sqlite3_column_double(s, c)); break;
        case SQLITE_TEXT: benchmark::DoNotOptimize(sqlite3_column_text(s, c)); bytes += sqlite3_column_bytes(s, c); break;
        default: break;
      }
    }
  }
  sqlite3_finalize(s);
  return bytes;
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

void OpenAndFetch(benchmark::State& state) {
  TBenchDb& bench = Db();
  double raw = 0, kelm = 0;
  std::size_t dataBytes = 0, heapBytes = 0;
  for (auto _ : state) {
    sqlite3* db = bench.Open();
    auto t0 = Clock::now();
    dataBytes = RawFetch(db);
    auto t1 = Clock::now();
    sqlite3_close(db);
    raw += Seconds(t0, t1);

    TBigQuery big(bench);
    TADOQuery& q = big.Query;
    big.Conn.Open();
    std::size_t before = HeapInUse();
    auto t2 = Clock::now();
    q.Open();
    auto t3 = Clock::now();
    heapBytes = HeapInUse() - before;
    kelm += Seconds(t2, t3);
    if (q.RecordCount() != kRows || q.FieldCount() != 20) state.SkipWithError("wrong result");
  }
  bench::SetTimeCounters(state, raw * 1000 / state.iterations(), kelm * 1000 / state.iterations());
  state.counters["data_MB"] = dataBytes / 1e6;
  state.counters["held_MB"] = heapBytes / 1e6;
  state.counters["memory_ratio"] = static_cast<double>(heapBytes) / static_cast<double>(dataBytes);
}

void Scroll(benchmark::State& state) {
  TBenchDb& bench = Db();
  TBigQuery big(bench);
  TADOQuery& q = big.Query;
  q.Open();
  TField* code = q.FieldByName("code");
  TField* money = q.FieldByName("money");
  TRawStatement scan(bench, "SELECT code, money FROM big");
  sqlite3_stmt* s = scan.Stmt;
  double raw = 0, kelm = 0;
  for (auto _ : state) {
    // Raw: run the statement again, reading the two columns of every row.
    auto t0 = Clock::now();
    std::size_t n = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_text(s, 0));
      benchmark::DoNotOptimize(sqlite3_column_double(s, 1));
      ++n;
    }
    sqlite3_reset(s);
    auto t1 = Clock::now();
    // The dataset: First to Eof, reading the same two fields.
    std::size_t m = 0;
    for (q.First(); !q.Eof(); q.Next()) {
      benchmark::DoNotOptimize(code->AsString());
      benchmark::DoNotOptimize(money->AsFloat());
      ++m;
    }
    auto t2 = Clock::now();
    if (n != kRows || m != kRows) state.SkipWithError("wrong count");
    raw += Seconds(t0, t1);
    kelm += Seconds(t1, t2);
  }
  bench::SetTimeCounters(state, raw * 1000 / state.iterations(), kelm * 1000 / state.iterations());
}

void EditsInOneTransaction(benchmark::State& state) {
  TBenchDb& bench = Db();
  TBigQuery big(bench);
  TADOQuery& q = big.Query;
  q.Open();
  TRawStatement update(bench, "UPDATE big SET n1 = ? WHERE rowid = ?");
  sqlite3* db = update.Db;
  sqlite3_stmt* s = update.Stmt;
  double raw = 0, kelm = 0;
  int round = 0;
  // Each side starts from an empty write-ahead log, emptied outside its timed region: the
  // automatic checkpoint fires in whichever commit crosses the log's page limit, and with the
  // log carried over from the other side that would be the same side every round.
  auto checkpoint = [&] {
    if (sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_RESTART, nullptr, nullptr) != SQLITE_OK)
      state.SkipWithError("the log could not be emptied");
  };
  for (auto _ : state) {
    ++round;
    checkpoint();
    auto t0 = Clock::now();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (int i = 1; i <= kEdits; ++i) {
      sqlite3_bind_int64(s, 1, round * 1000000 + i);
      sqlite3_bind_int64(s, 2, i);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    auto t1 = Clock::now();

    checkpoint();
    auto t2 = Clock::now();
    TField* n1 = q.FieldByName("n1");
    big.Conn.BeginTrans();
    q.First();
    for (int i = 1; i <= kEdits; ++i) {
      q.Edit();
      n1->SetAsInteger(round * 1000000 + i + 1);
      q.Post();
      q.Next();
    }
    big.Conn.CommitTrans();
    auto t3 = Clock::now();
    raw += Seconds(t0, t1);
    kelm += Seconds(t2, t3);
  }
  bench::SetTimeCounters(state, raw * 1000 / state.iterations(), kelm * 1000 / state.iterations());
}

}  // namespace

BENCHMARK(OpenAndFetch)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Scroll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(EditsInOneTransaction)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    bench::PrintTimeRatio(r, "OpenAndFetch", "open and fetch of 100,000 rows of 20 columns against the C API", 1.2);
    bench::PrintRatio("memory the fetched rows hold against the data size", r.Counter("OpenAndFetch", "memory_ratio"), 2.0);
    bench::PrintTimeRatio(r, "Scroll", "scroll through 100,000 rows reading two fields against the C API", 1.2);
    bench::PrintTimeRatio(r, "EditsInOneTransaction", "10,000 edits in one transaction against the C API", 1.5);
  });
}
