// Prepared report pages as output, against bare QPainter doing the same drawing. A list of
// 1,000 rows (21 A4 pages; each row four framed texts and a rule below them) is prepared
// before timing.
// - Print through the report's printer list to the PDF printer, without dialog, against
//   QPainter on a QPdfWriter drawing the same texts, frames and lines at the same places in the
//   same fonts (aim <= 3 x). The PDF's bytes per page are shown as a counter.
// - DrawPage of all 21 pages on a 96-dpi bitmap against QPainter drawing them into a QImage
//   (aim <= 3 x).
#include "BenchUtil.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "print/Printers.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxPrinter.h"
#include "report/frxShapes.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int kRows = 1000;
constexpr Extended kRowHeight = 21;
constexpr int kColumns = 4;
constexpr Extended kColumnWidths[kColumns] = {120, 250, 160, 160};
constexpr Extended kMarginMm = 10;

String CellText(int Row, int Column) {
  switch (Column) {
    case 0: return "HT" + IntToStr(2024000 + Row);
    case 1: return Row % 2 ? "Shanghai Trading Co." : "Beijing Huaxin Technology";
    case 2: return IntToStr(1000 + Row * 37) + ".50";
    default: return "2024-0" + IntToStr(1 + Row % 9) + "-1" + IntToStr(Row % 10);
  }
}

// Rows per page: what fits between the margins.
int RowsPerPage() { return int(((297 - 2 * kMarginMm) * fr01cm) / kRowHeight); }
int PageCount() { return (kRows + RowsPerPage() - 1) / RowsPerPage(); }

class TPdfOnly : public TPrinterSource {
public:
  std::vector<std::unique_ptr<TPrintDevice>> Devices() override {
    std::vector<std::unique_ptr<TPrintDevice>> out;
    out.push_back(CreatePdfPrintDevice());
    return out;
  }
};

// The list, prepared page by page into the report's store.
class TListReport {
public:
  TListReport() {
    auto* page = new TfrxReportPage(&Report);
    page->SetName("Page1");
    page->SetPaperSize(9);
    page->SetLeftMargin(kMarginMm);
    page->SetRightMargin(kMarginMm);
    page->SetTopMargin(kMarginMm);
    page->SetBottomMargin(kMarginMm);
    auto* band = new TfrxMasterData(&Report);
    band->SetParent(page);
    band->SetName("Rows");
    band->SetHeight(kRowHeight);
    std::vector<TfrxMemoView*> cells;
    Extended x = 0;
    for (int c = 0; c < kColumns; ++c) {
      auto* m = new TfrxMemoView(&Report);
      m->SetParent(band);
      m->SetName("Cell" + IntToStr(c));
      m->SetBounds(x, 0, kColumnWidths[c], kRowHeight);
      m->Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom});
      m->Font()->SetName("Arial");
      m->Font()->SetSize(9);
      cells.push_back(m);
      x += kColumnWidths[c];
    }
    auto* rule = new TfrxLineView(&Report);
    rule->SetParent(band);
    rule->SetName("Rule");
    rule->SetBounds(0, kRowHeight - 1, x, 0);
    TfrxPreviewPages& store = Store();
    store.AddSourcePage(page);
    store.BeginPass();
    for (int r = 0; r < kRows; ++r) {
      if (r % RowsPerPage() == 0) store.AddPage(page);
      band->SetTop((r % RowsPerPage()) * kRowHeight);
      for (int c = 0; c < kColumns; ++c) cells[std::size_t(c)]->SetText(CellText(r, c));
      store.AddObject(band);
    }
    Report.PrintOptions()->SetShowDialog(false);
    Report.EngineOptions()->SetNewSilentMode(simSilent);
  }
  TfrxPreviewPages& Store() { return *static_cast<TfrxPreviewPages*>(Report.PreviewPages()); }
  TfrxReport Report{nullptr};
};

TListReport& List() {
  static TListReport list;
  return list;
}

// The same page drawn with bare QPainter: texts in their cells, cell frames, the rule.
void PaintPage(QPainter& P, int Page, double Scale) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(int(std::lround(12 * Scale)));  // 9 pt at 96 dpi
  P.setFont(font);
  P.setPen(QPen(Qt::black, std::max(1.0, Scale)));
  const double left = kMarginMm * double(fr01cm) * Scale, top = kMarginMm * double(fr01cm) * Scale;
  const int first = Page * RowsPerPage(), last = std::min(kRows, first + RowsPerPage());
  for (int r = first; r < last; ++r) {
    double y = top + (r - first) * double(kRowHeight) * Scale;
    double x = left;
    for (int c = 0; c < kColumns; ++c) {
      QRectF cell(x, y, double(kColumnWidths[c]) * Scale, double(kRowHeight) * Scale);
      P.drawRect(cell);
      P.drawText(cell.adjusted(2 * Scale, Scale, -2 * Scale, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                 QString::fromStdString(CellText(r, c)));
      x += double(kColumnWidths[c]) * Scale;
    }
    P.drawLine(QPointF(left, y + (double(kRowHeight) - 1) * Scale), QPointF(x, y + (double(kRowHeight) - 1) * Scale));
  }
}

void BM_PrintToPdf(benchmark::State& state) {
  TListReport& list = List();
  auto old = SetPrinterSource(std::make_unique<TPdfOnly>());
  ResetReportPrinters();
  auto file = std::filesystem::temp_directory_path() / "kelm_bench_report_output.pdf";
  ReportPrinters()->CurrentPrinter()->OutputFileName = file.string();
  for (auto _ : state)
    if (!list.Store().Print()) state.SkipWithError("printing failed");
  state.counters["pages"] = list.Store().Count();
  state.counters["pdf_bytes_per_page"] = double(std::filesystem::file_size(file)) / list.Store().Count();
  if (getenv("KEEP_PDF")) std::filesystem::copy_file(file, "/tmp/i49_print.pdf", std::filesystem::copy_options::overwrite_existing);
  std::filesystem::remove(file);
  SetPrinterSource(std::move(old));
  ResetReportPrinters();
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond);

void BM_BareQPainterToPdf(benchmark::State& state) {
  const double scale = 600.0 / 96;
  auto file = std::filesystem::temp_directory_path() / "kelm_bench_report_output_bare.pdf";
  for (auto _ : state) {
    QPdfWriter w(QString::fromStdString(file.string()));
    w.setResolution(600);
    w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter p(&w);
    for (int page = 0; page < PageCount(); ++page) {
      if (page) w.newPage();
      PaintPage(p, page, scale);
    }
  }
  state.counters["pages"] = PageCount();
  state.counters["pdf_bytes_per_page"] = double(std::filesystem::file_size(file)) / PageCount();
  std::filesystem::remove(file);
}
BENCHMARK(BM_BareQPainterToPdf)->Unit(benchmark::kMillisecond);

void BM_DrawPages(benchmark::State& state) {
  TListReport& list = List();
  TBitmap bmp;
  bmp.SetWidth(794);
  bmp.SetHeight(1123);
  for (auto _ : state)
    for (int i = 0; i < list.Store().Count(); ++i) {
      bmp.Canvas()->Brush()->SetColor(clWhite);
      bmp.Canvas()->FillRect({0, 0, 794, 1123});
      list.Store().DrawPage(i, bmp.Canvas(), 1, 1, 0, 0);
    }
}
BENCHMARK(BM_DrawPages)->Unit(benchmark::kMillisecond);

void BM_BareQPainterPages(benchmark::State& state) {
  QImage image(794, 1123, QImage::Format_RGB32);
  for (auto _ : state)
    for (int i = 0; i < PageCount(); ++i) {
      image.fill(Qt::white);
      QPainter p(&image);
      PaintPage(p, i, 1);
    }
}
BENCHMARK(BM_BareQPainterPages)->Unit(benchmark::kMillisecond);


}  // namespace

int main(int argc, char** argv) {
  InitApplication(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatioRows(times, {
        {"printing 21 prepared pages to PDF against bare QPainter on QPdfWriter", "BM_PrintToPdf",
         "BM_BareQPainterToPdf", 3.0},
        {"drawing 21 prepared pages on a bitmap against bare QPainter on a QImage", "BM_DrawPages",
         "BM_BareQPainterPages", 3.0},
    });
  });
}
