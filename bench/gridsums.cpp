// Footer sums over a large table: a full recalculation with five sum footers against a bare
// walk over the same rows, and the cost of one post, which must not grow with the row count.
// Prints the ratios at the end; goals: the recalculation within 30 times the walk, one post
// within 1.5 times whatever the row count.
#include "BenchUtil.h"
#include "grid/DBSumLst.h"
#include "data/MemDataSet.h"
#include "core/SysUtils.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

const char* const kFields[] = {"Amount", "Price", "Qty", "Money", "Rate"};

// Five numeric fields per row, every tenth amount Null.
struct TTable {
  TComponent Owner{nullptr};
  TMemDataSet* DS = nullptr;
  TDBSumList* Sums = nullptr;

  explicit TTable(int Rows) {
    DS = new TMemDataSet(&Owner);
    DS->FieldDefs()->Add("Amount", ftFloat);
    DS->FieldDefs()->Add("Price", ftFloat);
    DS->FieldDefs()->Add("Qty", ftInteger);
    DS->FieldDefs()->Add("Money", ftBCD);
    DS->FieldDefs()->Add("Rate", ftFloat);
    for (int i = 0; i < Rows; ++i)
      DS->AddRow({i % 10 == 0 ? Null() : Variant(i * 1.25), Variant(i % 97 + 0.5), Variant(i % 13),
                  Variant(Currency::FromRaw(i * 37)), Variant((i % 7) / 3.0)});
    DS->Open();
  }
  void AddSums() {
    Sums = new TDBSumList(&Owner);
    for (const char* f : kFields) {
      TDBSum* s = Sums->SumCollection()->Add();
      s->SetFieldName(f);
    }
    Sums->SetDataSet(DS);
  }
};

TTable& Table(int Rows, bool WithSums) {
  static std::map<std::pair<int, bool>, std::unique_ptr<TTable>> tables;
  auto& t = tables[{Rows, WithSums}];
  if (!t) {
    t = std::make_unique<TTable>(Rows);
    if (WithSums) t->AddSums();
  }
  return *t;
}

void BM_BareWalk(benchmark::State& state) {
  TDataSet* ds = Table(static_cast<int>(state.range(0)), false).DS;
  for (auto _ : state) {
    ds->DisableControls();
    int n = 0;
    for (ds->First(); !ds->Eof(); ds->Next()) ++n;
    ds->EnableControls();
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_BareWalk)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FullRecalculation(benchmark::State& state) {
  TTable& t = Table(static_cast<int>(state.range(0)), true);
  for (auto _ : state) t.Sums->Recalculate();
  if (t.Sums->SumCollection()->Items(0)->ResultValue() == Currency()) state.SkipWithError("no sum");
}
BENCHMARK(BM_FullRecalculation)->Arg(100000)->Unit(benchmark::kMillisecond);

// One edited and posted record, with the five sums kept up to date by the post.
void BM_Post(benchmark::State& state) {
  TTable& t = Table(static_cast<int>(state.range(0)), true);
  TDataSet* ds = t.DS;
  ds->SetRecNo(ds->RecordCount() / 2);
  TField* amount = ds->FieldByName("Amount");
  double v = 1;
  for (auto _ : state) {
    ds->Edit();
    amount->SetAsFloat(v);
    ds->Post();
    v = v == 1 ? 2 : 1;
  }
}
BENCHMARK(BM_Post)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    // Five sums read five fields of every row where the walk reads one.
    bench::PrintRatio("full recalculation of five sums over 100,000 rows against a bare walk",
                      times.Ratio("BM_FullRecalculation/100000", "BM_BareWalk/100000"), 30.0);
    // A post changes the sums by its own difference: its cost does not grow with the rows.
    bench::PrintRatio("one post, 100,000 rows against 1,000 rows", times.Ratio("BM_Post/100000", "BM_Post/1000"), 1.5);
  });
}
