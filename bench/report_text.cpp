// Report text objects against Qt's own text layout, on 10,000 memos of 200 to 2,000 mixed
// Chinese and Latin characters in a box 60 mm wide:
// (a) CalcHeight of every memo against QTextLayout breaking the same texts at the same pixel
//     size and width (aim <= 3 x);
// (b) DrawOnCanvas of 40 memos onto a 96-dpi bitmap at zoom 1 against QPainter::drawText with
//     word wrap of the same texts in the same rectangles (aim <= 3 x);
// (c) FitPart over a memo of 20 pages against the same QTextLayout walk, page by page
//     (aim <= 3 x).
#include "BenchUtil.h"
#include "core/StrUtils.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "report/frxMemoView.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextLayout>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kMemos = 10000;
constexpr int kDrawn = 40;
constexpr double kWidthPx = 60 / 25.4 * 96;  // 60 mm at 96 dpi
constexpr int kFontSize = 9;                 // points
constexpr int kFontPx = 12;                  // 9 points at 96 dpi
constexpr int kLineSpacing = 2;

// Deterministic texts: words of Latin letters and runs of Chinese characters, blanks between,
// now and then a line break.
const std::vector<String>& Texts() {
  static const std::vector<String> texts = [] {
    static const char* const chinese[] = {"合同", "管理", "项目", "金额", "付款", "计划", "客户", "供应商",
                                          "仓库", "入库", "出库", "单据", "日期", "备注", "部门", "员工"};
    std::vector<String> all;
    unsigned seed = 12345;
    auto next = [&] {
      seed = seed * 1103515245u + 12345u;
      return (seed >> 16) & 0x7FFF;
    };
    for (int m = 0; m < kMemos; ++m) {
      int length = 200 + int(next() % 1801);
      String t;
      int chars = 0;
      while (chars < length) {
        if (next() % 3 == 0) {
          int n = 1 + int(next() % 3);
          for (int k = 0; k < n; ++k) t += chinese[next() % 16];
          chars += 2 * n;
        } else {
          int n = 2 + int(next() % 8);
          for (int k = 0; k < n; ++k) t += char('a' + next() % 26);
          chars += n;
        }
        if (next() % 40 == 0) t += "\r\n";
        else t += ' ';
        ++chars;
      }
      all.push_back(t);
    }
    return all;
  }();
  return texts;
}

QFont QtFont() {
  QFont f;
  f.setFamilies({"Liberation Sans", "WenQuanYi Micro Hei"});
  f.setPixelSize(kFontPx);
  f.setKerning(false);
  return f;
}

TfrxMemoView* MakeMemo(TfrxReport& Report, const String& Text, double Height) {
  auto* m = new TfrxMemoView(&Report);
  m->SetBounds(0, 0, kWidthPx, Height);
  m->Font()->SetName("Arial");
  m->Font()->SetSize(kFontSize);
  m->SetGapX(0);
  m->SetGapY(0);
  m->SetText(Text);
  return m;
}

// The height QTextLayout gives a text broken at Width: lines and the same spacing.
double QtHeight(const QString& Text, const QFont& Font, double Width) {
  double h = 0;
  for (const QString& paragraph : Text.split("\r\n")) {
    QTextLayout layout(paragraph, Font);
    QTextOption o;
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(o);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(Width);
      h += kFontPx + kLineSpacing;
    }
    layout.endLayout();
  }
  return h;
}

// ---------------------------------------------------------------- (a) measuring

void BM_MemoCalcHeight(benchmark::State& state) {
  TfrxReport report(nullptr);
  std::vector<TfrxMemoView*> memos;
  for (const String& t : Texts()) memos.push_back(MakeMemo(report, t, 20));
  for (auto _ : state) {
    double total = 0;
    for (TfrxMemoView* m : memos) total += double(m->CalcHeight());
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_MemoCalcHeight)->Unit(benchmark::kMillisecond);

void BM_QTextLayoutHeight(benchmark::State& state) {
  std::vector<QString> texts;
  for (const String& t : Texts()) texts.push_back(QString::fromUtf8(t.data(), qsizetype(t.size())));
  QFont font = QtFont();
  for (auto _ : state) {
    double total = 0;
    for (const QString& t : texts) total += QtHeight(t, font, kWidthPx);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_QTextLayoutHeight)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (b) drawing

constexpr int kDrawW = 1000, kDrawH = 1600;

// The boxes of the drawn memos: four columns, ten rows.
QRect DrawBox(int i) {
  int w = int(kWidthPx), h = 150;
  return QRect(10 + (i % 4) * (w + 10), 10 + (i / 4) * (h + 6), w, h);
}

void BM_MemoDrawOnCanvas(benchmark::State& state) {
  TfrxReport report(nullptr);
  std::vector<TfrxMemoView*> memos;
  for (int i = 0; i < kDrawn; ++i) {
    TfrxMemoView* m = MakeMemo(report, Texts()[std::size_t(i)], 150);
    QRect r = DrawBox(i);
    m->SetBounds(r.x(), r.y(), r.width(), r.height());
    memos.push_back(m);
  }
  TBitmap page;
  page.SetPixelFormat(pf32bit);
  page.SetSize(kDrawW, kDrawH);
  for (auto _ : state) {
    page.Canvas()->Brush()->SetColor(clWhite);
    page.Canvas()->FillRect(TRect{0, 0, kDrawW, kDrawH});
    for (TfrxMemoView* m : memos) m->DrawOnCanvas(page.Canvas(), 1, 1, 0, 0);
    benchmark::DoNotOptimize(page.Canvas()->Pixels(20, 20));
  }
}
BENCHMARK(BM_MemoDrawOnCanvas)->Unit(benchmark::kMillisecond);

void BM_QPainterDrawText(benchmark::State& state) {
  std::vector<QString> texts;
  for (int i = 0; i < kDrawn; ++i) {
    const String& t = Texts()[std::size_t(i)];
    texts.push_back(QString::fromUtf8(t.data(), qsizetype(t.size())));
  }
  QImage image(kDrawW, kDrawH, QImage::Format_RGB32);
  QFont font = QtFont();
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    for (int i = 0; i < kDrawn; ++i)
      p.drawText(DrawBox(i), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, texts[std::size_t(i)]);
    p.end();
    benchmark::DoNotOptimize(image.pixel(20, 20));
  }
}
BENCHMARK(BM_QPainterDrawText)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (c) splitting

constexpr double kPageHeight = 1000;

// About 20 pages of the box: texts joined until the layout is that high.
const String& LongText() {
  static const String text = [] {
    String t;
    QFont font = QtFont();
    double h = 0;
    for (const String& piece : Texts()) {
      t += piece + "\r\n";
      h += QtHeight(QString::fromUtf8(piece.data(), qsizetype(piece.size())), font, kWidthPx);
      if (h > 20 * kPageHeight) break;
    }
    return t;
  }();
  return text;
}

void BM_MemoFitPart(benchmark::State& state) {
  TfrxReport report(nullptr);
  TfrxMemoView* m = MakeMemo(report, LongText(), kPageHeight);
  int pages = 0;
  for (auto _ : state) {
    m->SetText(LongText());
    m->ResetPart();
    pages = 0;
    while (!m->PartText().empty() && pages < 1000) {
      m->SetHeight(kPageHeight);
      m->FitPart();
      ++pages;
    }
    benchmark::DoNotOptimize(pages);
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_MemoFitPart)->Unit(benchmark::kMillisecond);

void BM_QTextLayoutPages(benchmark::State& state) {
  QString text = QString::fromUtf8(LongText().data(), qsizetype(LongText().size()));
  QFont font = QtFont();
  int pages = 0;
  for (auto _ : state) {
    pages = 1;
    double y = 0;
    for (const QString& paragraph : text.split("\r\n")) {
      QTextLayout layout(paragraph, font);
      QTextOption o;
      o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      layout.setTextOption(o);
      layout.beginLayout();
      for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(kWidthPx);
        if (y + kFontPx + kLineSpacing > kPageHeight) {
          ++pages;
          y = 0;
        }
        y += kFontPx + kLineSpacing;
      }
      layout.endLayout();
    }
    benchmark::DoNotOptimize(pages);
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_QTextLayoutPages)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  InitApplication(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"10,000 memos measured by CalcHeight against QTextLayout", "BM_MemoCalcHeight", "BM_QTextLayoutHeight", 3.0},
        {"40 memos drawn by DrawOnCanvas against QPainter::drawText", "BM_MemoDrawOnCanvas", "BM_QPainterDrawText",
         3.0},
        {"a 20-page memo split by FitPart against a QTextLayout walk", "BM_MemoFitPart", "BM_QTextLayoutPages", 3.0},
    });
  });
}
