// Export-all of a grid with 10 columns, Chinese text among them, from an in-memory dataset:
// CSV at 100,000 rows and the spreadsheet format at 65,000 (the sheet's limit), each against
// the same cells read into memory first and written with plain fprintf as CSV.
// Goals: CSV within 3x its baseline, the spreadsheet within 5x; the memory the export adds does
// not grow with the rows (the file goes out through a fixed buffer).
#include "BenchUtil.h"
#include "data/MemDataSet.h"
#include "grid/DBGridEhImpExp.h"
#include "gui/Forms.h"
#include "gui/Application.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

using bench::Clock;
using bench::Seconds;

constexpr int kCsvRows = 100000;
constexpr int kXlsRows = 65000;

long MaxRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

struct TScene {
  TComponent Owner{nullptr};
  TMemDataSet* DS = nullptr;
  TDataSource* Source = nullptr;
  TDBGridEh* Grid = nullptr;
  String Folder;

  explicit TScene(int Rows) {
    Folder = (std::filesystem::temp_directory_path() / ("kelm-export-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(Folder);
    DS = new TMemDataSet(&Owner);
    const std::pair<const char*, TFieldType> fields[] = {
        {"id", ftInteger},    {"code", ftString},  {"name", ftString}, {"amount", ftFloat}, {"qty", ftInteger},
        {"signed", ftDate},   {"money", ftCurrency}, {"note", ftString}, {"flag", ftString}, {"rate", ftFloat}};
    for (const auto& [name, type] : fields) DS->FieldDefs()->Add(name, type, type == ftString ? 40 : 0);
    for (int i = 0; i < Rows; ++i)
      DS->AddRow({Variant(i), Variant("HT" + std::to_string(100000 + i)), Variant("合同名称" + std::to_string(i % 97)),
                  Variant(i * 1.25), Variant(i % 1000), Variant::FromDate(45000 + i % 365),
                  Variant(Currency::FromRaw(Int64(i) * 125)), Variant(String("项目备注：软件开发")),
                  Variant(String(i % 2 ? "是" : "否")), Variant(i / 7.0)});
    Source = new TDataSource(&Owner);
    Source->SetDataSet(DS);
    Grid = new TDBGridEh(&Owner);
    Grid->SetDataSource(Source);
    for (const auto& f : fields) Grid->Columns()->AddColumn()->SetFieldName(f.first);
    DS->Open();
  }
  ~TScene() { std::filesystem::remove_all(Folder); }
};

// The cells as the grid shows them, read into memory, then written as CSV with fprintf.
double Baseline(TScene& S) {
  std::vector<String> cells;
  cells.reserve(static_cast<std::size_t>(S.DS->RecordCount()) * 10);
  for (S.DS->First(); !S.DS->Eof(); S.DS->Next())
    for (int c = 0; c < 10; ++c) cells.push_back(S.Grid->Columns()->Items(c)->CellText());
  String file = S.Folder + "/baseline.csv";
  auto t0 = Clock::now();
  FILE* f = std::fopen(file.c_str(), "wb");
  for (std::size_t i = 0; i < cells.size(); ++i) {
    std::fprintf(f, "\"%s\"", cells[i].c_str());
    std::fputs(i % 10 == 9 ? "\r\n" : ";", f);
  }
  std::fclose(f);
  return Seconds(t0, Clock::now());
}

template <class T> double Export(TScene& S, const char* Name) {
  auto t0 = Clock::now();
  ExportDBGridEhToFile(NewExporter<T>, S.Grid, S.Folder + "/" + Name, true);
  return Seconds(t0, Clock::now());
}

std::unique_ptr<TScene> GCsv, GXls;

void BM_CsvBaseline(benchmark::State& state) {
  if (!GCsv) GCsv = std::make_unique<TScene>(kCsvRows);
  for (auto _ : state) state.SetIterationTime(Baseline(*GCsv));
}
BENCHMARK(BM_CsvBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CsvExport(benchmark::State& state) {
  if (!GCsv) GCsv = std::make_unique<TScene>(kCsvRows);
  long before = MaxRssKb();
  for (auto _ : state) state.SetIterationTime(Export<TDBGridEhExportAsCSV>(*GCsv, "list.csv"));
  state.counters["rss_growth_kb"] = static_cast<double>(MaxRssKb() - before);
  GCsv.reset();
}
BENCHMARK(BM_CsvExport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_XlsBaseline(benchmark::State& state) {
  if (!GXls) GXls = std::make_unique<TScene>(kXlsRows);
  for (auto _ : state) state.SetIterationTime(Baseline(*GXls));
}
BENCHMARK(BM_XlsBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_XlsExport(benchmark::State& state) {
  if (!GXls) GXls = std::make_unique<TScene>(kXlsRows);
  long before = MaxRssKb();
  for (auto _ : state) state.SetIterationTime(Export<TDBGridEhExportAsXLS>(*GXls, "list.xls"));
  state.counters["rss_growth_kb"] = static_cast<double>(MaxRssKb() - before);
  GXls.reset();
}
BENCHMARK(BM_XlsExport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    struct {
      const char *Ours, *Base, *What;
      double Goal;
    } ratios[] = {{"BM_CsvExport/iterations:3/manual_time", "BM_CsvBaseline/iterations:3/manual_time",
                   "CSV export of 100,000 rows against fprintf", 3.0},
                  {"BM_XlsExport/iterations:3/manual_time", "BM_XlsBaseline/iterations:3/manual_time",
                   "spreadsheet export of 65,000 rows against fprintf", 5.0}};
    for (auto& r : ratios)
      bench::PrintRatio(r.What, times.Ratio(r.Ours, r.Base), r.Goal);
  });
  DoneApplication();
  return rc;
}
