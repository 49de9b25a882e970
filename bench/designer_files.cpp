// The designer window's file commands on a report of 2,000 objects (40 bands of 49 memos plus
// their page): Save (the code into the report, the date stamp, the write beside the target and
// the rename, the recent-file menu and a fresh undo snapshot) against the report's own
// SaveToFile, and opening the file from the recent list (the kept copy for a failed load, the
// load and the window refreshed from the report) against the report's own LoadFromFile.
#include "BenchUtil.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"
#include "gui/ActnList.h"
#include "gui/Application.h"
#include "report/designer/frxDesignerForm.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

String Folder() {
  static String folder = [] {
    String tmpl = GetTempDir() + "kelm-bench-files-XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    return tmpl + "/";
  }();
  return folder;
}

void FillReport(TfrxReport* Report) {
  auto* page = new TfrxReportPage(Report);
  page->SetParent(Report);
  page->SetName("Page1");
  for (int b = 0; b < 40; ++b) {
    auto* band = new TfrxMasterData(page);
    band->SetParent(page);
    band->SetName("MasterData" + IntToStr(b + 1));
    band->SetTop(b * 60);
    band->SetHeight(50);
    for (int m = 0; m < 49; ++m) {
      auto* memo = new TfrxMemoView(band);
      memo->SetParent(band);
      memo->SetName("Memo" + IntToStr(b * 49 + m + 1));
      memo->SetBounds(m * 14, 0, 14, 18);
      memo->Memo()->SetText("[Customers.\"Name\"] " + IntToStr(m));
    }
  }
}

// A shown designer window over the report, its settings in the bench's folder.
struct TBenchWindow {
  TfrxReport Report{nullptr};
  TfrxDesignerForm* Window = nullptr;
  TBenchWindow() {
    Report.SetIniFile(Folder() + "designer.ini");
    FillReport(&Report);
    Report.SetFileName(Folder() + "window.fr3");
    Window = static_cast<TfrxDesignerForm*>(TfrxDesignerForm::Create(nullptr, &Report, false));
    Window->Show();
    Application->ProcessMessages();
  }
  ~TBenchWindow() { delete Window; }
};

void BM_SaveCmd(benchmark::State& state) {
  TBenchWindow w;
  for (auto _ : state) {
    state.PauseTiming();
    w.Window->FlagModified(true);
    state.ResumeTiming();
    w.Window->SaveCmd->Execute();
    if (w.Window->Modified()) state.SkipWithError("not saved");
  }
}
BENCHMARK(BM_SaveCmd)->Unit(benchmark::kMillisecond);

void BM_SaveToFile(benchmark::State& state) {
  TfrxReport report(nullptr);
  FillReport(&report);
  for (auto _ : state) report.SaveToFile(Folder() + "plain.fr3");
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

void BM_OpenReport(benchmark::State& state) {
  TBenchWindow w;
  w.Report.SaveToFile(Folder() + "open.fr3");
  for (auto _ : state) {
    w.Window->OpenReport(Folder() + "open.fr3", false);
    if (w.Report.FileName() != Folder() + "open.fr3") state.SkipWithError("not opened");
  }
}
BENCHMARK(BM_OpenReport)->Unit(benchmark::kMillisecond);

void BM_LoadFromFile(benchmark::State& state) {
  TfrxReport source(nullptr);
  FillReport(&source);
  source.SaveToFile(Folder() + "load.fr3");
  TfrxReport report(nullptr);
  for (auto _ : state) report.LoadFromFile(Folder() + "load.fr3");
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("XDG_CONFIG_HOME", Folder().c_str(), 1);
  InitApplication(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatioRows(times, {
        {"Save command against SaveToFile, 2,000 objects", "BM_SaveCmd", "BM_SaveToFile", 1.2},
        {"opening a report in the designer against LoadFromFile, 2,000 objects", "BM_OpenReport",
         "BM_LoadFromFile", 1.5},
    });
  });
}
