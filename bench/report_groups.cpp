// The report engine's record loop and footer totals over 100,000 rows held in memory, in
// 1,000 groups of 100 (fields Cat and Amount):
// - Prepare of a grouped report whose group footer shows SUM, AVG and COUNT and whose page
//   footer shows a SUM, against the same report with constant footer texts (aim <= 1.5 x);
// - AddValues of one SUM accumulator on Sales."Amount" over all rows, against a plain loop
//   that sums the field as Currency (aim <= 10 x; the totals must agree);
// - the report with an inner group and KeepTogether on both groups: 100,000 rows against
//   10,000 (aim <= 11 x: the run is linear in the rows).
#include "BenchUtil.h"
#include "core/FloatFormat.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "report/frxAggregate.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kGroupSize = 100;

Variant AmountOf(int Row) { return Variant(Row % 7 + 1); }

struct TGroupReport {
  TfrxReport Report{nullptr};
  TfrxUserDataSet Sales{nullptr};
  TfrxReportPage* Page = nullptr;
  TfrxMasterData* Master = nullptr;
  TfrxMemoView* FooterSum = nullptr;

  TGroupReport(int N, bool Totals, bool Nested) {
    Sales.SetUserName("Sales");
    Sales.Fields()->SetCommaText("Cat,Amount");
    Sales.SetRangeEnd(reCount);
    Sales.SetRangeEndCount(N);
    Sales.OnGetValue = TfrxGetValueEvent::Lambda([this](const String& Field, Variant& v) {
      int row = Sales.RecNo();
      if (Field == "Cat")
        v = Variant(row / kGroupSize);
      else if (Field == "Sub")
        v = Variant(row / (kGroupSize / 4));
      else
        v = AmountOf(row);
    });
    Report.DataSets()->AddDataSet(&Sales);
    Report.EngineOptions()->SetReloadAfterRun(false);
    Report.EngineOptions()->SetNewSilentMode(simReThrow);
    Page = new TfrxReportPage(&Report);
    Page->SetName("Page1");
    Page->SetPaperSize(9);
    Page->SetLeftMargin(10);
    Page->SetRightMargin(10);
    Page->SetTopMargin(10);
    Page->SetBottomMargin(10);

    auto* group = Band<TfrxGroupHeader>("GroupHeader1", 40);
    group->SetCondition("Sales.\"Cat\"");
    Memo(group, "[Sales.\"Cat\"]");
    TfrxGroupHeader* inner = nullptr;
    if (Nested) {
      group->SetKeepTogether(true);
      inner = Band<TfrxGroupHeader>("GroupHeader2", 60);
      inner->SetCondition("Sales.\"Sub\"");
      inner->SetKeepTogether(true);
    }
    Master = Band<TfrxMasterData>("MasterData1", 100);
    Master->SetDataSet(&Sales);
    Memo(Master, "[Sales.\"Amount\"]");
    if (Nested) Memo(Band<TfrxGroupFooter>("GroupFooter2", 140), Totals ? "[SUM(<Sales.\"Amount\">)]" : "total");
    auto* footer = Band<TfrxGroupFooter>("GroupFooter1", 160);
    Memo(footer, Totals ? "[SUM(<Sales.\"Amount\">)]" : "sum");
    Memo(footer, Totals ? "[AVG(<Sales.\"Amount\">)]" : "avg", 200);
    Memo(footer, Totals ? "[COUNT()]" : "count", 400);
    FooterSum = Memo(Band<TfrxPageFooter>("PageFooter1", 400, 40), Totals ? "[SUM(<Sales.\"Amount\">)]" : "page");
  }

  template <class T>
  T* Band(const String& Name, Extended Top, Extended Height = 20) {
    auto* b = new T(Page);
    b->SetName(Name);
    b->SetTop(Top);
    b->SetHeight(Height);
    return b;
  }
  TfrxMemoView* Memo(TfrxComponent* Parent, const String& Text, Extended Left = 0) {
    auto* m = new TfrxMemoView(Parent);
    m->SetName("Memo" + IntToStr(++FMemos));
    m->SetText(Text);
    m->SetBounds(Left, 0, 180, 20);
    return m;
  }
  TfrxPreviewPages& Store() { return *static_cast<TfrxPreviewPages*>(Report.PreviewPages()); }
  void Prepare() {
    if (!Report.Prepare()) {
      std::fprintf(stderr, "prepare failed: %s\n", Report.Errors()->Text().c_str());
      std::exit(1);
    }
  }

private:
  int FMemos = 0;
};

void BM_PrepareGrouped(benchmark::State& state) {
  TGroupReport r(100000, state.range(0) != 0, false);
  for (auto _ : state) {
    r.Prepare();
    benchmark::DoNotOptimize(r.Store().Count());
  }
  state.counters["pages"] = r.Store().Count();
}
BENCHMARK(BM_PrepareGrouped)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

Currency gAccumulated, gPlain;

void BM_AddValues(benchmark::State& state) {
  TGroupReport r(100000, true, false);
  r.Prepare();
  TfrxAggregateList list(&r.Report);
  list.AddMemoAggregates(r.FooterSum, r.Master);
  for (auto _ : state) {
    list.ResetAll();
    r.Sales.First();
    while (!r.Sales.Eof()) {
      list.AddValues(r.Master, 0);
      r.Sales.Next();
    }
    gAccumulated = list.Items(0)->Value.AsCurrency();
  }
}
BENCHMARK(BM_AddValues)->Unit(benchmark::kMillisecond);

void BM_PlainSum(benchmark::State& state) {
  TGroupReport r(100000, true, false);
  for (auto _ : state) {
    Currency sum = 0;
    r.Sales.First();
    while (!r.Sales.Eof()) {
      sum = sum + r.Sales.GetValue("Amount").AsCurrency();
      r.Sales.Next();
    }
    gPlain = sum;
    benchmark::DoNotOptimize(gPlain);
  }
}
BENCHMARK(BM_PlainSum)->Unit(benchmark::kMillisecond);

void BM_PrepareKept(benchmark::State& state) {
  TGroupReport r(static_cast<int>(state.range(0)), true, true);
  for (auto _ : state) {
    r.Prepare();
    benchmark::DoNotOptimize(r.Store().Count());
  }
  state.counters["pages"] = r.Store().Count();
}
BENCHMARK(BM_PrepareKept)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"Prepare with group-footer SUM, AVG, COUNT and a page-footer SUM against constant footers",
         "BM_PrepareGrouped/1", "BM_PrepareGrouped/0", 1.5},
        {"AddValues of one SUM over 100,000 rows against a plain Currency loop", "BM_AddValues", "BM_PlainSum",
         10.0},
        {"Prepare of nested kept groups, 100,000 rows against 10,000", "BM_PrepareKept/100000",
         "BM_PrepareKept/10000", 11.0},
    });
    std::printf("totals agree  %s (%s and %s)\n", gAccumulated == gPlain ? "yes" : "NO",
                CurrToStr(gAccumulated).c_str(), CurrToStr(gPlain).c_str());
  });
}
