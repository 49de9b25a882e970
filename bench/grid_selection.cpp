// Selected rows of a grid over 100,000 SQLite rows: 50,000 rows selected one by one walking
// down and walking up, against the same walk without selecting, and DeleteSelected of 5,000
// rows against bare deletes of the same rows (batch mode, so the file stays as it is).
// Goals: upward within 1.5x of downward (no quadratic insertion at the front), selecting
// within 3x the walk, DeleteSelected within 1.5x the bare deletes.
#include "BenchDb.h"
#include "BenchQuery.h"
#include "BenchUtil.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Forms.h"
#include "gui/Application.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

constexpr int kRows = 100000;
constexpr int kSelected = 50000;
constexpr int kDeleted = 5000;

using bench::Clock;
using bench::Seconds;


// The query in batch mode, shown by a grid on a form.
struct TScene {
  bench::TBenchDb Db{"kelm-gridsel", "code", kRows, [](int i) { return "HT" + std::to_string(100000 + i); }};
  TForm* Form = nullptr;
  TADOConnection* Conn = nullptr;
  TADOQuery* Query = nullptr;
  TDataSource* Source = nullptr;
  TDBGridEh* Grid = nullptr;

  TScene() {
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 600, 400);
    bench::TBenchQuery q = bench::NewBenchQuery(Form, Db.ConnectionString(), "select * from pact");
    Conn = q.Connection;
    Query = q.Query;
    Query->SetLockType(ltBatchOptimistic);
    Source = q.Source;
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 580, 380);
    Grid->SetDataSource(Source);
    Query->Open();
    Grid->DataLink()->SetBufferCount(15);
    Grid->SetRowCount(16);
  }
  ~TScene() { delete Form; }
};

std::unique_ptr<TScene> GScene;

TScene& Scene() {
  if (!GScene) GScene = std::make_unique<TScene>();
  return *GScene;
}

// Walks kSelected rows from the first down (or the last up), selecting each when Select.
double Walk(bool Down, bool Select) {
  TScene& s = Scene();
  TDataSet* ds = s.Query;
  TBookmarkListEh* rows = s.Grid->SelectedRows();
  rows->Clear();
  if (Down) ds->First();
  else ds->Last();
  auto t0 = Clock::now();
  for (int i = 0; i < kSelected; ++i) {
    if (Select) rows->SetCurrentRowSelected(true);
    if (Down) ds->Next();
    else ds->Prior();
  }
  auto t1 = Clock::now();
  if (Select && rows->Count() != kSelected) std::fprintf(stderr, "selected %d rows\n", rows->Count());
  rows->Clear();
  return Seconds(t0, t1);
}

void BM_WalkUnselected(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(Walk(true, false));
}
BENCHMARK(BM_WalkUnselected)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SelectDownward(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(Walk(true, true));
}
BENCHMARK(BM_SelectDownward)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SelectUpward(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(Walk(false, true));
}
BENCHMARK(BM_SelectUpward)->UseManualTime()->Unit(benchmark::kMillisecond);

// kDeleted rows spread over the table, every 20th, selected (untimed).
std::vector<String> MarkRows() {
  TScene& s = Scene();
  TDataSet* ds = s.Query;
  std::vector<String> marks;
  s.Grid->SelectedRows()->Clear();
  ds->First();
  for (int i = 0; i < kDeleted; ++i) {
    s.Grid->SelectedRows()->SetCurrentRowSelected(true);
    marks.push_back(ds->Bookmark());
    ds->MoveBy(20);
  }
  return marks;
}

void Restore(benchmark::State& state) {
  Scene().Query->CancelBatch();
  if (Scene().Query->RecordCount() != kRows) state.SkipWithError("the batch did not bring the rows back");
}

void BM_BareDeletes(benchmark::State& state) {
  TDataSet* ds = Scene().Query;
  for (auto _ : state) {
    std::vector<String> marks = MarkRows();
    Scene().Grid->SelectedRows()->Clear();
    auto t0 = Clock::now();
    ds->DisableControls();
    for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
      ds->GotoBookmark(*it);
      ds->Delete();
    }
    ds->EnableControls();
    state.SetIterationTime(Seconds(t0, Clock::now()));
    Restore(state);
  }
}
BENCHMARK(BM_BareDeletes)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DeleteSelected(benchmark::State& state) {
  for (auto _ : state) {
    MarkRows();
    auto t0 = Clock::now();
    Scene().Grid->SelectedRows()->DeleteSelected();
    state.SetIterationTime(Seconds(t0, Clock::now()));
    Restore(state);
  }
}
BENCHMARK(BM_DeleteSelected)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    struct {
      const char *Ours, *Base, *What;
      double Goal;
    } ratios[] = {{"BM_SelectUpward/manual_time", "BM_SelectDownward/manual_time", "upward against downward", 1.5},
                  {"BM_SelectDownward/manual_time", "BM_WalkUnselected/manual_time", "selecting against the walk", 3},
                  {"BM_DeleteSelected/manual_time", "BM_BareDeletes/manual_time", "DeleteSelected against bare deletes",
                   1.5}};
    for (auto& r : ratios) bench::PrintRatio(r.What, times.Ratio(r.Ours, r.Base), r.Goal);
  });
  GScene.reset();
  DoneApplication();
  return rc;
}
