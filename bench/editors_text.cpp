// Text layout and output of the text editors against bare Qt with the same font:
// (a) LayOutTextRows with word break over 10,000 texts of 20-400 mixed Chinese and Latin
//     characters at 150 px, against QFontMetrics::horizontalAdvance of every character of the
//     same texts;
// (b) DrawTextOutData of 200 texts into a bitmap, against QPainter::drawText in the same
//     rectangles of a QImage.
// (c) Text of a text editor written and read 100,000 times, against the platform edit.
// Prints each ratio with its goal.
#include "BenchUtil.h"

#include "editors/cxEditTextUtils.h"
#include "editors/cxTextEdit.h"
#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

const char* const kFace = "WenQuanYi Micro Hei";
constexpr int kPixels = 12, kWidth = 150;

// Texts of 20 to 400 characters: words of Latin letters and runs of Chinese characters.
std::vector<String> MakeTexts(int Count) {
  static const char* const kChinese[] = {"合", "同", "金", "额", "付", "款", "日", "期", "单", "位"};
  std::vector<String> texts;
  unsigned seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  for (int i = 0; i < Count; ++i) {
    const int length = 20 + int(next() % 381);
    String s;
    for (int n = 0; n < length; ++n) {
      const unsigned r = next() % 10;
      if (r < 4)
        s += kChinese[next() % 10];
      else if (r < 9)
        s += char('a' + next() % 26);
      else
        s += ' ';
    }
    texts.push_back(s);
  }
  return texts;
}

const std::vector<String>& Texts() {
  static const std::vector<String> texts = MakeTexts(10000);
  return texts;
}

QFont BareFont() {
  QFont f;
  f.setFamilies({kFace});
  f.setPixelSize(kPixels);
  return f;
}

void UseFont(TCanvas* Canvas) {
  Canvas->Font()->SetName(kFace);
  Canvas->Font()->SetHeight(-kPixels);
}

// ---------------------------------------------------------------- (a) layout

void BM_LayOutTextRows(benchmark::State& state) {
  TBitmap bmp;
  bmp.SetSize(10, 10);
  UseFont(bmp.Canvas());
  bmp.Canvas()->RequiredState({csHandleValid, csFontValid});
  HDC dc = bmp.Canvas()->Handle();
  TcxTextParams params;
  TcxTextRows rows;
  const TRect rect{0, 0, kWidth, 100000};
  for (auto _ : state) {
    // One measurer per pass, as a view prepares its layout once per paint.
    TcxDCTextMeasurer m(dc);
    InitTextParams(m, tofWordBreak, params);
    long total = 0;
    for (const String& t : Texts()) {
      int count = 0;
      LayOutTextRows(m, t.c_str(), rect, 0, count, rows, params);
      total += count;
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_LayOutTextRows)->Unit(benchmark::kMillisecond);

void BM_BareAdvances(benchmark::State& state) {
  const QFontMetrics fm(BareFont());
  std::vector<QString> texts;
  for (const String& t : Texts()) texts.push_back(QString::fromUtf8(t.data(), qsizetype(t.size())));
  for (auto _ : state) {
    long total = 0;
    for (const QString& t : texts)
      for (QChar c : t) total += fm.horizontalAdvance(c);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_BareAdvances)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (b) drawing

constexpr int kDrawn = 200;

TRect DrawRect(int i) { return Bounds((i * 37) % 250, (i * 23) % 500, kWidth, 60); }

void BM_DrawTextOutData(benchmark::State& state) {
  TBitmap bmp;
  bmp.SetSize(400, 560);
  TCanvas* c = bmp.Canvas();
  UseFont(c);
  for (auto _ : state) {
    for (int i = 0; i < kDrawn; ++i) {
      TcxTextOutData data;
      DrawTextOutData(c, data, Texts()[std::size_t(i)], DrawRect(i), tofWordBreak);
    }
    benchmark::DoNotOptimize(bmp.ScanLine(0));
  }
}
BENCHMARK(BM_DrawTextOutData)->Unit(benchmark::kMillisecond);

void BM_BareDrawText(benchmark::State& state) {
  QImage img(400, 560, QImage::Format_RGB32);
  std::vector<QString> texts;
  for (int i = 0; i < kDrawn; ++i) texts.push_back(QString::fromUtf8(Texts()[std::size_t(i)].c_str()));
  QPainter p(&img);
  p.setFont(BareFont());
  p.setPen(Qt::black);
  for (auto _ : state) {
    for (int i = 0; i < kDrawn; ++i) {
      const TRect r = DrawRect(i);
      p.drawText(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                 texts[std::size_t(i)]);
    }
    benchmark::DoNotOptimize(img.constBits());
  }
}
BENCHMARK(BM_BareDrawText)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (c) Text

constexpr int kTextRounds = 100000;

// Writes a changing text and reads it back, as a window writes and reads an amount.
template <class E> void WriteAndRead(benchmark::State& state) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* edit = new E(form.get());
  edit->SetParent(form.get());
  form->Show();
  static const char* const kTexts[] = {"1234.5", "合同金额 88", "0", "-17.25"};
  for (auto _ : state) {
    std::size_t total = 0;
    for (int i = 0; i < kTextRounds; ++i) {
      edit->SetText(kTexts[i & 3]);
      total += edit->Text().size();
    }
    benchmark::DoNotOptimize(total);
  }
}

void BM_TextEditText(benchmark::State& state) { WriteAndRead<TcxTextEdit>(state); }
BENCHMARK(BM_TextEditText)->Unit(benchmark::kMillisecond);

void BM_PlatformEditText(benchmark::State& state) { WriteAndRead<TEdit>(state); }
BENCHMARK(BM_PlatformEditText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"LayOutTextRows word break against bare per-character advances", "BM_LayOutTextRows", "BM_BareAdvances", 3},
        {"DrawTextOutData against QPainter::drawText", "BM_DrawTextOutData", "BM_BareDrawText", 2},
        {"text editor Text written and read against the platform edit", "BM_TextEditText", "BM_PlatformEditText", 2},
    });
  });
  DoneApplication();
  return rc;
}
