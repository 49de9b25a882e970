// Repainting a 1000 x 700 grid of 800 text cells: through the layer's canvas and DrawText,
// and the same picture drawn with bare QPainter calls. The ratio of the two frame times is
// printed at the end; the layer should stay within 1.5 times the bare drawing.
#include "BenchUtil.h"
#include "gui/Graphics.h"
#include "gui/WinGDI.h"
#include "gui/Graphics_p.h"
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int kWidth = 1000, kHeight = 700, kCols = 20, kRows = 40, kColWidth = 50, kRowHeight = 17;

// Texts as a contract list shows them: codes, names (some too long for their cell), amounts
// and dates, Chinese and Latin mixed.
const std::vector<String>& CellTexts() {
  static const std::vector<String> texts = [] {
    const char* names[] = {"北京华信科技有限公司", "张三", "合同管理", "Shanghai Trading", "李四", "采购合同"};
    std::vector<String> t;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        switch (c % 4) {
          case 0: t.push_back("HT" + std::to_string(2024000 + r * kCols + c)); break;
          case 1: t.push_back(names[(r + c) % 6]); break;
          case 2: t.push_back(std::to_string(1000 + r * 37 + c) + ".50"); break;
          default: t.push_back("2024-0" + std::to_string(1 + r % 9) + "-1" + std::to_string(c % 10)); break;
        }
      }
    return t;
  }();
  return texts;
}

TRect Cell(int r, int c) { return Bounds(c * kColWidth, r * kRowHeight, kColWidth, kRowHeight); }

void DrawWithLayer(TCanvas& canvas) {
  const auto& texts = CellTexts();
  canvas.Brush()->SetColor(clWindow);
  canvas.FillRect(Rect(0, 0, kWidth, kHeight));
  canvas.Pen()->SetColor(clSilver);
  for (int c = 1; c <= kCols; ++c) {
    canvas.MoveTo(c * kColWidth - 1, 0);
    canvas.LineTo(c * kColWidth - 1, kRows * kRowHeight);
  }
  for (int r = 1; r <= kRows; ++r) {
    canvas.MoveTo(0, r * kRowHeight - 1);
    canvas.LineTo(kCols * kColWidth, r * kRowHeight - 1);
  }
  canvas.Brush()->SetStyle(bsClear);
  canvas.RequiredState({csHandleValid, csFontValid, csBrushValid});
  HDC dc = canvas.Handle();
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      TRect cell = Cell(r, c);
      TRect text = Rect(cell.Left + 2, cell.Top, cell.Right - 3, cell.Bottom - 1);
      UINT align = c % 4 == 2 ? DT_RIGHT : DT_LEFT;
      DrawText(dc, texts[std::size_t(r * kCols + c)], -1, &text,
               align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
  canvas.Brush()->SetStyle(bsSolid);
}

void DrawWithQPainter(QPainter& p, const QFont& font) {
  const auto& texts = CellTexts();
  p.fillRect(0, 0, kWidth, kHeight, Qt::white);
  p.setPen(QColor(0xC0, 0xC0, 0xC0));
  for (int c = 1; c <= kCols; ++c) p.drawLine(c * kColWidth - 1, 0, c * kColWidth - 1, kRows * kRowHeight - 1);
  for (int r = 1; r <= kRows; ++r) p.drawLine(0, r * kRowHeight - 1, kCols * kColWidth - 1, r * kRowHeight - 1);
  p.setPen(Qt::black);
  p.setFont(font);
  QFontMetrics fm(font);
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      QRect rect(c * kColWidth + 2, r * kRowHeight, kColWidth - 5, kRowHeight - 1);
      QString s = QString::fromUtf8(texts[std::size_t(r * kCols + c)].c_str());
      if (fm.horizontalAdvance(s) > rect.width()) s = fm.elidedText(s, Qt::ElideRight, rect.width());
      int align = c % 4 == 2 ? Qt::AlignRight : Qt::AlignLeft;
      p.drawText(rect, align | Qt::AlignVCenter | Qt::TextSingleLine, s);
    }
}

void BM_LayerDrawText(benchmark::State& state) {
  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  TCanvas canvas(CreateImageDC(&img));
  canvas.Font()->SetName("宋体");
  canvas.Font()->SetHeight(-12);
  for (auto _ : state) {
    DrawWithLayer(canvas);
    benchmark::DoNotOptimize(img.constBits());
  }
}
BENCHMARK(BM_LayerDrawText)->Unit(benchmark::kMillisecond);

void BM_BareQPainter(benchmark::State& state) {
  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  QFont font;
  font.setFamilies({"WenQuanYi Micro Hei"});
  font.setPixelSize(12);
  QPainter p(&img);
  for (auto _ : state) {
    DrawWithQPainter(p, font);
    benchmark::DoNotOptimize(img.constBits());
  }
}
BENCHMARK(BM_BareQPainter)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatio("frame through the layer's canvas against bare QPainter", times.Ratio("BM_LayerDrawText", "BM_BareQPainter"),
                      1.5);
  });
}
