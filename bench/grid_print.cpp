// Printing a 10-column grid of 100 pages to PDF: the grid printer laying the pages out and
// recording them, then the recorded pages replayed onto the PDF printer; against the same
// cells and lines drawn with bare QPainter onto a PDF writer. Aim: within 2 to 3 times the bare
// drawing, and under 100 KB of recorded page per page.
#include "BenchUtil.h"
#include "core/Classes.h"
#include "data/MemDataSet.h"
#include "grid/DBGridEh.h"
#include "grid/PrViewEh.h"
#include "grid/PrnDbgeh.h"
#include "gui/Forms.h"
#include "print/Printers.h"
#include "gui/Application.h"
#include "gui/Screen.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kCols = 10, kRowsPerPage = 31, kPages = 100, kRows = kRowsPerPage * kPages;

String CellText(int r, int c) {
  static const char* names[] = {"北京华信科技有限公司", "张三", "合同管理", "Shanghai Trading", "采购合同"};
  switch (c % 4) {
    case 0: return "HT" + std::to_string(2024000 + r * kCols + c);
    case 1: return names[(r + c) % 5];
    case 2: return std::to_string(1000 + r * 37 + c) + ".50";
    default: return "2024-0" + std::to_string(1 + r % 9) + "-1" + std::to_string(c % 10);
  }
}

class TPdfOnly : public TPrinterSource {
public:
  std::vector<std::unique_ptr<TPrintDevice>> Devices() override {
    std::vector<std::unique_ptr<TPrintDevice>> out;
    out.push_back(CreatePdfPrintDevice());
    return out;
  }
};

// A grid of ten text columns over kRows rows, rows 30 pixels high, and its printer.
struct TGridSetup {
  TForm* Form;
  TDBGridEh* Grid;
  TPrintDBGridEh* Printer;
  TGridSetup() {
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 800, 400);
    auto* ds = new TMemDataSet(Form);
    for (int c = 0; c < kCols; ++c) ds->FieldDefs()->Add("F" + std::to_string(c), ftString, 40);
    for (int r = 0; r < kRows; ++r) {
      std::vector<Variant> row;
      for (int c = 0; c < kCols; ++c) row.push_back(Variant(CellText(r, c)));
      ds->AddRow(row);
    }
    auto* src = new TDataSource(Form);
    src->SetDataSet(ds);
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 780, 380);
    Grid->SetDataSource(src);
    ds->Open();
    for (int c = 0; c < kCols; ++c) Grid->Columns()->Items(c)->SetWidth(64);
    Grid->SetRowHeight(30);
    Printer = new TPrintDBGridEh(Form);
    Printer->SetDBGridEh(Grid);
    Printer->Title()->SetText("项目合同打印");
    Printer->PageFooter()->CenterText()->SetText("第&[Page]页 共&[Pages]页");
    Printer->SetOptions({pghFitGridToPageWidth});
  }
  ~TGridSetup() { delete Form; }
};

void BM_GridPrinterToPdf(benchmark::State& state) {
  auto old = SetPrinterSource(std::make_unique<TPdfOnly>());
  auto file = std::filesystem::temp_directory_path() / "kelm_bench_grid_print.pdf";
  TPrinter pdf;
  TPrinter* oldPrinter = SetPrinter(&pdf);
  pdf.SetFileName(file.string());
  TGridSetup setup;
  auto* host = new TForm(Application);
  auto* box = new TPreviewBox(host);
  box->SetParent(host);
  double bytesPerPage = 0;
  int pages = 0;
  for (auto _ : state) {
    TPrinterPreview* preview = box->Printer();
    setup.Printer->PrintGridTo(preview);
    pages = preview->PageCount();
    pdf.BeginDoc();
    for (int i = 1; i <= pages; ++i) {
      if (i > 1) pdf.NewPage();
      TMetafile* page = preview->Page(i);
      page->Draw(pdf.Canvas(), TRect{0, 0, page->Width(), page->Height()});
    }
    pdf.EndDoc();
  }
  // The heap the recorded pages hold: a fresh preview before and after one run.
  delete host;
  host = new TForm(Application);
  box = new TPreviewBox(host);
  box->SetParent(host);
  std::size_t before = mallinfo2().uordblks;
  setup.Printer->PrintGridTo(box->Printer());
  std::size_t after = mallinfo2().uordblks;
  bytesPerPage = pages && after > before ? double(after - before) / pages : 0;
  state.counters["pages"] = pages;
  state.counters["kb_per_page"] = bytesPerPage / 1024;
  delete host;
  SetPrinter(oldPrinter);
  std::filesystem::remove(file);
  SetPrinterSource(std::move(old));
}
BENCHMARK(BM_GridPrinterToPdf)->Unit(benchmark::kMillisecond);

// The same cells (ten columns of 400 px, rows of 188 px, 600 dpi) and lines with bare QPainter.
void BM_BareQPainterToPdf(benchmark::State& state) {
  constexpr int left = 472, top = 800, colW = 400, rowH = 188;
  for (auto _ : state) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QPdfWriter w(&out);
    w.setResolution(600);
    w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter p(&w);
    QFont font;
    font.setFamilies({"WenQuanYi Micro Hei"});
    font.setPixelSize(75);
    p.setFont(font);
    for (int page = 0; page < kPages; ++page) {
      if (page) w.newPage();
      p.drawText(QRect(left, 472, kCols * colW, 200), Qt::AlignCenter, QString::fromUtf8("项目合同打印"));
      for (int r = 0; r < kRowsPerPage; ++r)
        for (int c = 0; c < kCols; ++c)
          p.drawText(QRect(left + c * colW + 12, top + r * rowH + 12, colW - 24, rowH - 24),
                     Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8(CellText(page * kRowsPerPage + r, c).c_str()));
      std::vector<QLine> lines;
      for (int r = 0; r <= kRowsPerPage; ++r)
        lines.emplace_back(left, top + r * rowH, left + kCols * colW, top + r * rowH);
      for (int c = 0; c <= kCols; ++c)
        lines.emplace_back(left + c * colW, top, left + c * colW, top + kRowsPerPage * rowH);
      p.drawLines(lines.data(), int(lines.size()));
      p.drawText(QRect(left, 6500, kCols * colW, 200), Qt::AlignCenter,
                 QString::fromUtf8(("第" + std::to_string(page + 1) + "页 共100页").c_str()));
    }
    p.end();
    benchmark::DoNotOptimize(out.data().size());
  }
}
BENCHMARK(BM_BareQPainterToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatio("grid printed to PDF against bare QPainter PDF", times.Ratio("BM_GridPrinterToPdf", "BM_BareQPainterToPdf"),
                      3.0);
  });
  DoneApplication();
  return rc;
}
