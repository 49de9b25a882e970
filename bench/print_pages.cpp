// Printing pages of a list to PDF: through the printer (each page recorded as a metafile and
// replayed onto the PDF writer) and the same cells and lines drawn with bare QPainter onto a
// PDF writer. The ratio of the two is printed at the end; recording should stay within 2 times
// the bare drawing.
#include "BenchUtil.h"
#include "print/Printers.h"
#include <QApplication>
#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>

namespace {

constexpr int kPages = 20, kCols = 10, kRows = 31, kLeft = 472, kTop = 472, kColWidth = 400, kRowHeight = 188;

String CellText(int page, int r, int c) {
  static const char* names[] = {"北京华信科技有限公司", "张三", "合同管理", "Shanghai Trading", "采购合同"};
  switch (c % 4) {
    case 0: return "HT" + std::to_string(2024000 + page * 1000 + r * kCols + c);
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

void PrintWithLayer(TPrinter& p) {
  p.SetTitle("项目合同打印");
  p.BeginDoc();
  TCanvas* c = p.Canvas();
  c->Font()->SetName("宋体");
  c->Font()->SetSize(9);
  c->Brush()->SetStyle(bsClear);
  for (int page = 0; page < kPages; ++page) {
    if (page) p.NewPage();
    HDC dc = c->Handle();
    for (int r = 0; r < kRows; ++r)
      for (int col = 0; col < kCols; ++col) {
        TRect cell = Bounds(kLeft + col * kColWidth, kTop + r * kRowHeight, kColWidth, kRowHeight);
        InflateRect(cell, -20, 0);
        DrawText(dc, CellText(page, r, col), -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      }
    std::vector<TPoint> pts;
    std::vector<DWORD> counts;
    for (int r = 0; r <= kRows; ++r) {
      pts.push_back({kLeft, kTop + r * kRowHeight});
      pts.push_back({kLeft + kCols * kColWidth, kTop + r * kRowHeight});
      counts.push_back(2);
    }
    for (int col = 0; col <= kCols; ++col) {
      pts.push_back({kLeft + col * kColWidth, kTop});
      pts.push_back({kLeft + col * kColWidth, kTop + kRows * kRowHeight});
      counts.push_back(2);
    }
    c->PolyPolyline(pts, counts);
  }
  p.EndDoc();
}

void PrintWithQPainter(QIODevice& out) {
  QPdfWriter w(&out);
  w.setResolution(600);
  w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
  QPainter p(&w);
  QFont font;
  font.setFamilies({"WenQuanYi Micro Hei"});
  font.setPixelSize(75);
  p.setFont(font);
  QFontMetrics fm(font);
  for (int page = 0; page < kPages; ++page) {
    if (page) w.newPage();
    for (int r = 0; r < kRows; ++r)
      for (int col = 0; col < kCols; ++col) {
        QRect rect(kLeft + col * kColWidth + 20, kTop + r * kRowHeight, kColWidth - 40, kRowHeight);
        QString s = QString::fromUtf8(CellText(page, r, col).c_str());
        if (fm.horizontalAdvance(s) > rect.width()) s = fm.elidedText(s, Qt::ElideRight, rect.width());
        p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, s);
      }
    std::vector<QLine> lines;
    for (int r = 0; r <= kRows; ++r)
      lines.emplace_back(kLeft, kTop + r * kRowHeight, kLeft + kCols * kColWidth, kTop + r * kRowHeight);
    for (int col = 0; col <= kCols; ++col)
      lines.emplace_back(kLeft + col * kColWidth, kTop, kLeft + col * kColWidth, kTop + kRows * kRowHeight);
    p.drawLines(lines.data(), int(lines.size()));
  }
}

void BM_PrinterToPdf(benchmark::State& state) {
  auto old = SetPrinterSource(std::make_unique<TPdfOnly>());
  auto file = std::filesystem::temp_directory_path() / "kelm_bench_print.pdf";
  {
    TPrinter p;
    p.SetFileName(file.string());
    for (auto _ : state) PrintWithLayer(p);
  }
  state.counters["pages"] = kPages;
  state.counters["kb"] = double(std::filesystem::file_size(file)) / 1024;
  std::filesystem::remove(file);
  SetPrinterSource(std::move(old));
}
BENCHMARK(BM_PrinterToPdf)->Unit(benchmark::kMillisecond);

void BM_BareQPainterToPdf(benchmark::State& state) {
  for (auto _ : state) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    PrintWithQPainter(out);
    benchmark::DoNotOptimize(out.data().size());
  }
}
BENCHMARK(BM_BareQPainterToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatio("pages through the printer against bare QPainter PDF", times.Ratio("BM_PrinterToPdf", "BM_BareQPainterToPdf"),
                      2.0);
  });
}
