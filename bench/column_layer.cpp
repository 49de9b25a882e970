// The grid-column layer over an open 100,000-row query: building a 20-column list with five
// summed columns against one full sum recalculation of the same grid, and sorting by the
// grid's markers against setting the same sort text directly. Both sides run in each
// iteration and the ratio is reported. Aims: the build within 1.5x one recalculation, the
// sort within 1.1x the direct sort.
#include "BenchUtil.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/FileUtils.h"
#include "core/Resources.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "tools/MakeDatabase.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

namespace {

using bench::Clock;
using bench::Ms;

constexpr int kRows = 100000;
constexpr int kColumns = 20;
constexpr int kSummed = 5;

// A program folder with the default database, the main window and the data module over it,
// a table of kRows rows and its list of kColumns columns, and a grid showing it.
class TColumnBench {
public:
  TColumnBench() {
    FFolder = (std::filesystem::temp_directory_path() / ("kelm-bench-columns-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(FFolder);
    MakeDatabaseFile(FFolder + "/DataBase/kelm.mdb", LoadResourceString(DefaultSchemaResource));
    SetProgramPath(FFolder + "/kelm");
    Application->CreateForm<TFrm_Main>(&Frm_Main);
    Application->CreateForm<TFrm_Data>(&Frm_Data);
    MakeTable();
    Host = new TForm(Application);
    Grid = new TDBGridEh(Host);
    Grid->SetParent(Host);
    Grid->SetOptionsEh(Grid->OptionsEh() + dghMultiSortMarking);
    Query = new TADOQuery(Host);
    Query->SetConnection(Frm_Data->ADOConnection1);
    auto* source = new TDataSource(Host);
    source->SetDataSet(Query);
    Grid->SetDataSource(source);
    Grid->SumList()->SetActive(true);
    Query->SQL()->SetText("select * from t_bench");
    Query->Open();
  }
  ~TColumnBench() {
    delete Host;
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }

  TForm* Host = nullptr;
  TDBGridEh* Grid = nullptr;
  TADOQuery* Query = nullptr;

private:
  static String Column(int i) { return (i < kSummed ? "m" : "t") + std::to_string(i); }

  void MakeTable() {
    TADOConnection* c = Frm_Data->ADOConnection1;
    String create = "create table t_bench (id COUNTER";
    String names, values;
    for (int i = 0; i < kColumns; ++i) {
      create += ", " + Column(i) + (i < kSummed ? " CURRENCY" : " TEXT(20)");
      names += String(i ? ", " : "") + Column(i);
      values += String(i ? ", " : "") + (i < kSummed ? String("12.5") : SqlStr("text " + std::to_string(i)));
      c->Execute("insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, DotSize) values "
                 "('bench', " + SqlStr(Column(i)) + ", " + SqlStr("列" + std::to_string(i)) + ", 80, " + SqlInt(i) +
                 ", true, " + SqlInt(i < kSummed ? 1 : 0) + ", " + SqlInt(i < kSummed ? 3 : 0) + ")");
    }
    c->Execute(create + ")");
    c->Execute("insert into t_bench (" + names + ") values (" + values + ")");
    // Doubling, the last step topped up to exactly kRows (ids run 1, 2, ...).
    for (int have = 1; have < kRows; have *= 2) {
      int add = std::min(have, kRows - have);
      c->Execute("insert into t_bench (" + names + ") select " + names + " from t_bench where id <= " + SqlInt(add));
    }
  }

  String FFolder;
};

TColumnBench& Fixture() {
  static TColumnBench* f = new TColumnBench();  // kept to the end: the application frees its windows
  return *f;
}

void BM_BuildGridColumns(benchmark::State& state) {
  TColumnBench& f = Fixture();
  double build = 0, recalc = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    Frm_Main->BuildGridColumns(f.Grid, f.Query, "bench");
    auto t1 = Clock::now();
    f.Grid->SumList()->Recalculate();
    auto t2 = Clock::now();
    build += Ms(t0, t1);
    recalc += Ms(t1, t2);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  if (f.Grid->Columns()->Count() != kColumns) state.SkipWithError("the list did not build");
  bench::SetTimeCounters(state, recalc / state.iterations(), build / state.iterations());
}
BENCHMARK(BM_BuildGridColumns)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ApplyGridSort(benchmark::State& state) {
  TColumnBench& f = Fixture();
  Frm_Main->BuildGridColumns(f.Grid, f.Query, "bench");
  TDBGridColumnsEh* c = f.Grid->Columns();
  c->Items(7)->Title()->SetSortMarker(smUpEh);
  c->Items(2)->Title()->SetSortMarker(smDownEh);
  const String direct = "  t7 DESC , m2";
  double layer = 0, plain = 0;
  for (auto _ : state) {
    f.Query->SetSort("");
    auto t0 = Clock::now();
    Frm_Main->ApplyGridSort(f.Grid, f.Query);
    auto t1 = Clock::now();
    f.Query->SetSort("");
    auto t2 = Clock::now();
    f.Query->SetSort(direct);
    auto t3 = Clock::now();
    layer += Ms(t0, t1);
    plain += Ms(t2, t3);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  if (f.Query->Sort() != direct) state.SkipWithError("the sort texts differ");
  c->Items(7)->Title()->SetSortMarker(smNoneEh);
  c->Items(2)->Title()->SetSortMarker(smNoneEh);
  bench::SetTimeCounters(state, plain / state.iterations(), layer / state.iterations());
}
BENCHMARK(BM_ApplyGridSort)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    bench::PrintTimeRatio(r, "BM_BuildGridColumns", "grid columns built against one recalculation", 1.5);
    bench::PrintTimeRatio(r, "BM_ApplyGridSort", "sort through the title markers against a direct sort", 1.1);
  });
  DoneApplication();
  return rc;
}
