// In-cell editing: Tab through 2,000 cells with the editor always shown against the same Tabs
// without an editor; the distinct-value list of a field over 100,000 rows against the same walk
// into a std::set. Prints the ratios (the goal: within 2x each).
#include "BenchUtil.h"
#include "grid/DBGridEh.h"
#include "grid/ToolCtrlsEh.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "data/MemDataSet.h"
#include "core/SysUtils.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

namespace {

// A text column with 5,000 distinct values, Chinese and Latin, in no order.
struct TTable {
  TComponent Owner{nullptr};
  TMemDataSet* DS = nullptr;

  explicit TTable(int Rows) {
    DS = new TMemDataSet(&Owner);
    DS->FieldDefs()->Add("City", ftString, 20);
    DS->FieldDefs()->Add("Qty", ftInteger);
    for (int i = 0; i < Rows; ++i) {
      int k = (i * 7919) % 5000;
      String city = (k % 2 ? "城市" : "City") + IntToStr(k);
      DS->AddRow({Variant(city), Variant(i)});
    }
    DS->Open();
  }
};

TTable& Table(int Rows) {
  static std::map<int, std::unique_ptr<TTable>> tables;
  auto& t = tables[Rows];
  if (!t) t = std::make_unique<TTable>(Rows);
  return *t;
}

void BM_WalkIntoSet(benchmark::State& state) {
  TDataSet* ds = Table(static_cast<int>(state.range(0))).DS;
  TField* f = ds->FieldByName("City");
  for (auto _ : state) {
    std::set<String> values;
    ds->DisableControls();
    for (ds->First(); !ds->Eof(); ds->Next()) values.insert(f->AsString());
    ds->EnableControls();
    if (values.size() != 5000) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(values);
  }
}
BENCHMARK(BM_WalkIntoSet)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DistinctValueList(benchmark::State& state) {
  TDataSet* ds = Table(static_cast<int>(state.range(0))).DS;
  TDatasetFieldValueListEh list;
  list.SetSourceDataSet(ds);
  list.SetSourceField("City");
  for (auto _ : state) {
    list.Reload();
    if (list.ValueList()->Count() != 5000) state.SkipWithError("wrong count");
  }
}
BENCHMARK(BM_DistinctValueList)->Arg(100000)->Unit(benchmark::kMillisecond);

// A shown grid of five text and number columns over 500 records: 2,000 Tabs cross 400 of
// them, so both runs scroll the same way and never reach the end (where Down would append).
struct TTabScene {
  TForm* Form = nullptr;
  TDBGridEh* Grid = nullptr;
  TMemDataSet* DS = nullptr;

  TTabScene() {
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 600, 400);
    DS = new TMemDataSet(Form);
    DS->FieldDefs()->Add("Code", ftString, 10);
    DS->FieldDefs()->Add("Name", ftString, 20);
    DS->FieldDefs()->Add("Qty", ftInteger);
    DS->FieldDefs()->Add("Amount", ftFloat);
    DS->FieldDefs()->Add("City", ftString, 10);
    for (int i = 0; i < 500; ++i)
      DS->AddRow({Variant("C" + IntToStr(i)), Variant("名称" + IntToStr(i)), Variant(i), Variant(i * 1.5),
                  Variant(String(i % 2 ? "北京" : "上海"))});
    auto* source = new TDataSource(Form);
    source->SetDataSet(DS);
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 580, 380);
    for (const char* name : {"Code", "Name", "Qty", "Amount", "City"}) Grid->Columns()->AddColumn()->SetFieldName(name);
    Grid->SetDataSource(source);
    DS->Open();
    Grid->DataLink()->SetBufferCount(8);
    Grid->SetRowCount(9);
    // One text line per row, as the layout pass sizes them: no cell wraps.
    Grid->SetDefaultRowHeight(18);
    Form->Show();
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  ~TTabScene() { delete Form; }
};

constexpr int kTabs = 2000;

void TabThroughCells(benchmark::State& state, bool WithEditor) {
  TTabScene scene;
  TDBGridOptions options = scene.Grid->Options();
  if (WithEditor) options += TDBGridOptions{dgAlwaysShowEditor};
  else options -= TDBGridOptions{dgEditing, dgAlwaysShowEditor};
  scene.Grid->SetOptions(options);
  if (WithEditor) scene.Grid->ShowEditor();
  Application->ProcessMessages();
  TCustomGrid* g = scene.Grid;
  int moves = 0;
  for (auto _ : state) {
    state.PauseTiming();
    scene.DS->First();
    g->SetCol(g->FixedCols());
    Application->ProcessMessages();
    state.ResumeTiming();
    for (int i = 0; i < kTabs; ++i) {
      TWinControl* target = g;
      if (g->InplaceEditor() && g->InplaceEditor()->Focused()) target = g->InplaceEditor();
      int col = g->Col();
      target->Perform(WM_KEYDOWN, VK_TAB, 0);
      moves += g->Col() != col;
    }
    if (moves == 0) state.SkipWithError("Tab moved nothing");
    if (scene.DS->RecNo() != 401) state.SkipWithError("the Tabs did not cross 400 records");
    if (WithEditor && !(g->InplaceEditor() && g->InplaceEditor()->Visible())) state.SkipWithError("no editor");
  }
}

void BM_TabWithoutEditor(benchmark::State& state) { TabThroughCells(state, false); }
BENCHMARK(BM_TabWithoutEditor)->Unit(benchmark::kMillisecond);

void BM_TabWithEditor(benchmark::State& state) { TabThroughCells(state, true); }
BENCHMARK(BM_TabWithEditor)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatio("Tab through 2,000 cells with the editor against without",
                      times.Ratio("BM_TabWithEditor", "BM_TabWithoutEditor"), 2.0);
    bench::PrintRatio("distinct values of 100,000 rows against a walk into a std::set",
                      times.Ratio("BM_DistinctValueList/100000", "BM_WalkIntoSet/100000"), 2.0);
  });
  DoneApplication();
  return rc;
}
