// The designer window's formatting command on a report of 2,000 objects (40 bands of 49 memos):
// the font size of 500 selected memos changed through ToolButtonClick, which leaves one undo
// snapshot of the whole report, against setting the size on each memo and one plain save of
// the report to a memory stream.
#include "BenchUtil.h"
#include "core/Streams.h"
#include "gui/Application.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxDesgnEditors.h"
#include "report/designer/frxDesignerForm.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kBands = 40;
constexpr int kMemosPerBand = 49;
constexpr int kSelected = 500;

struct TBenchReport {
  std::unique_ptr<TfrxReport> Report = std::make_unique<TfrxReport>(nullptr);
  TfrxReportPage* Page;
  std::vector<TfrxComponent*> Memos;
  TBenchReport() {
    Page = new TfrxReportPage(Report.get());
    Page->SetParent(Report.get());
    Page->SetName("Page1");
    for (int b = 0; b < kBands; ++b) {
      auto* band = new TfrxMasterData(Page);
      band->SetName("MasterData" + std::to_string(b + 1));
      band->SetTop(b * 60);
      band->SetHeight(50);
      for (int m = 0; m < kMemosPerBand; ++m) {
        auto* memo = new TfrxMemoView(band);
        memo->SetName("Memo" + std::to_string(b * kMemosPerBand + m + 1));
        memo->SetLeft(m * 14);
        memo->SetWidth(14);
        memo->SetHeight(18);
        memo->SetText("[Customers.\"Name\"] " + std::to_string(m));
        Memos.push_back(memo);
      }
    }
  }
};

// With Inspector false the inspector is not refreshed after the change: the window's own
// share of the command, apart from the inspector rebuilding its rows for 500 objects.
void FontSizeThroughToolButton(benchmark::State& state, bool Inspector) {
  TBenchReport r;
  auto* w = static_cast<TfrxDesignerForm*>(TfrxDesignerForm::Create(nullptr, r.Report.get(), false));
  w->SetBounds(0, 0, 1000, 700);
  w->ChangePage(r.Page);
  if (!Inspector) w->RefreshInspector = nullptr;
  std::vector<TfrxComponent*> selection(r.Memos.begin(), r.Memos.begin() + kSelected);
  int size = 10;
  for (auto _ : state) {
    w->SelectedObjects() = selection;
    size = size == 10 ? 12 : 10;
    w->FontSizeCB->SetText(std::to_string(size));
    w->ToolButtonClick(w->FontSizeCB);
  }
  delete w;
}
void BM_FontSizeThroughToolButton(benchmark::State& state) { FontSizeThroughToolButton(state, true); }
BENCHMARK(BM_FontSizeThroughToolButton)->Unit(benchmark::kMillisecond);
void BM_FontSizeWithoutInspectorRefresh(benchmark::State& state) { FontSizeThroughToolButton(state, false); }
BENCHMARK(BM_FontSizeWithoutInspectorRefresh)->Unit(benchmark::kMillisecond);

void BM_FontSizeSetAndOneSave(benchmark::State& state) {
  TBenchReport r;
  int size = 10;
  for (auto _ : state) {
    size = size == 10 ? 12 : 10;
    for (int i = 0; i < kSelected; ++i) r.Memos[static_cast<std::size_t>(i)]->Font()->SetSize(size);
    TMemoryStream stream;
    r.Report->SaveToStream(&stream);
    benchmark::DoNotOptimize(stream.Size());
  }
}
BENCHMARK(BM_FontSizeSetAndOneSave)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  RegisterDesignerEditors();
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatioRows(times, {
        {"font size of 500 memos through the tool button against setting it and one save",
         "BM_FontSizeThroughToolButton", "BM_FontSizeSetAndOneSave", 1.5},
        {"the same without the inspector's refresh against setting it and one save",
         "BM_FontSizeWithoutInspectorRefresh", "BM_FontSizeSetAndOneSave", 1.5},
    });
  });
}
