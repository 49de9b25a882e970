// The editor library's foundations against the least a program could do instead:
// (a) 10,000 drawing steps on a TcxCanvas (tiled fills, shaded frames, single-line texts, half
//     of them disabled) against bare QPainter drawing the same on a QImage;
// (b) CompareVariants on 1,000,000 pairs of mixed values against the platform's VarCompareValue;
// (c) SaveVariant and LoadVariant of 100,000 values against WriteBuffer and ReadBuffer of their
//     raw bytes.
// Prints each ratio with its goal.
#include "BenchUtil.h"

#include "core/Streams.h"
#include "core/Variant.h"
#include "editors/cxGraphics.h"
#include "editors/cxVariants.h"
#include "gui/Graphics.h"

#include <QApplication>
#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// ---------------------------------------------------------------- (a) drawing

constexpr int kSteps = 10000, kWidth = 400, kHeight = 300;
const char* const kText = "合同 HT2024";

TRect StepRect(int i) { return Bounds((i * 37) % (kWidth - 60), (i * 23) % (kHeight - 30), 56, 24); }

COLORREF TileColour(int x, int y) { return RGB(x * 16, y * 16, (x ^ y) * 16); }

void BM_CxCanvasSteps(benchmark::State& state) {
  TBitmap target;
  target.SetSize(kWidth, kHeight);
  TBitmap tile;
  tile.SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) tile.Canvas()->SetPixels(x, y, TColor(TileColour(x, y)));
  TcxCanvas canvas(target.Canvas());
  canvas.Font()->SetName("宋体");
  canvas.Font()->SetHeight(-12);
  for (auto _ : state) {
    for (int i = 0; i < kSteps; ++i) {
      const TRect r = StepRect(i);
      switch (i % 3) {
        case 0: canvas.FillArea(r, &tile); break;
        case 1: canvas.DrawShadedFrame(r, clBtnHighlight, clBtnShadow, cxBordersAll, 1); break;
        default:
          canvas.Brush()->SetColor(clWindow);
          canvas.OutputText(kText, r, txSingleLine | txAlignVCenter, (i / 3) % 2 == 0);
      }
    }
    benchmark::DoNotOptimize(target.ScanLine(0));
  }
}
BENCHMARK(BM_CxCanvasSteps)->Unit(benchmark::kMillisecond);

void BM_BareQPainterSteps(benchmark::State& state) {
  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  QImage tile(16, 16, QImage::Format_RGB32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const COLORREF c = TileColour(x, y);
      tile.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
  const QBrush tiled(tile);
  QFont font;
  font.setFamilies({"WenQuanYi Micro Hei"});
  font.setPixelSize(12);
  const QString text = QString::fromUtf8(kText);
  const QColor light(255, 255, 255), shadow(128, 128, 128), window(255, 255, 255), ink(0, 0, 0);
  QPainter p(&img);
  p.setFont(font);
  for (auto _ : state) {
    for (int i = 0; i < kSteps; ++i) {
      const TRect t = StepRect(i);
      const QRect r(t.Left, t.Top, t.Width(), t.Height());
      switch (i % 3) {
        case 0: p.fillRect(r, tiled); break;
        case 1:
          p.fillRect(r.x(), r.y(), 1, r.height(), light);
          p.fillRect(r.x(), r.y(), r.width(), 1, light);
          p.fillRect(r.right(), r.y(), 1, r.height(), shadow);
          p.fillRect(r.x(), r.bottom(), r.width(), 1, shadow);
          break;
        default:
          if ((i / 3) % 2 == 0) {
            p.fillRect(r, window);
            p.setPen(ink);
            p.drawText(r, Qt::AlignVCenter | Qt::TextSingleLine, text);
          } else {
            p.setPen(light);
            p.drawText(r.translated(1, 1), Qt::AlignVCenter | Qt::TextSingleLine, text);
            p.setPen(shadow);
            p.drawText(r, Qt::AlignVCenter | Qt::TextSingleLine, text);
          }
      }
    }
    benchmark::DoNotOptimize(img.constBits());
  }
}
BENCHMARK(BM_BareQPainterSteps)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (b) comparison

// Pairs as editors compare them: integers, floats, currency, texts, dates and Nulls, of the
// same and of mixed types, all of them comparable.
std::vector<std::pair<Variant, Variant>> MixedPairs() {
  std::vector<std::pair<Variant, Variant>> pairs;
  for (int i = 0; i < 10000; ++i) {
    switch (i % 8) {
      case 0: pairs.emplace_back(Variant(i), Variant(i % 7)); break;
      case 1: pairs.emplace_back(Variant(i * 0.5), Variant(double(i % 11))); break;
      case 2: pairs.emplace_back(Variant(i), Variant(i * 0.25)); break;
      case 3: pairs.emplace_back(Variant("合同" + std::to_string(i)), Variant("合同" + std::to_string(i % 13))); break;
      case 4: pairs.emplace_back(Null(), Variant(i)); break;
      case 5: pairs.emplace_back(Variant(Currency::FromRaw(i * 100)), Variant(i)); break;
      case 6: pairs.emplace_back(Variant::FromDate(45000 + i), Variant::FromDate(45000 + i % 17)); break;
      default: pairs.emplace_back(Variant(true), Variant(i % 2 == 0)); break;
    }
  }
  return pairs;
}

void BM_CompareVariants(benchmark::State& state) {
  const auto pairs = MixedPairs();
  for (auto _ : state) {
    long sum = 0;
    for (int round = 0; round < 100; ++round)
      for (const auto& [a, b] : pairs) sum += CompareVariants(a, b);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_CompareVariants)->Unit(benchmark::kMillisecond);

void BM_VarCompareValue(benchmark::State& state) {
  const auto pairs = MixedPairs();
  for (auto _ : state) {
    long sum = 0;
    for (int round = 0; round < 100; ++round)
      for (const auto& [a, b] : pairs) sum += VarCompareValue(a, b);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_VarCompareValue)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (c) streams

constexpr int kValues = 100000;

std::vector<Variant> StreamValues() {
  std::vector<Variant> values;
  for (int i = 0; i < kValues; ++i) {
    switch (i % 4) {
      case 0: values.emplace_back(i * 37); break;
      case 1: values.emplace_back(i * 0.01); break;
      case 2: values.emplace_back("合同" + std::to_string(i)); break;
      default: values.emplace_back(i % 3 == 0); break;
    }
  }
  return values;
}

void BM_SaveLoadVariants(benchmark::State& state) {
  const auto values = StreamValues();
  TMemoryStream s;
  for (auto _ : state) {
    s.SetPosition(0);
    for (const Variant& v : values) SaveVariant(&s, v);
    s.SetPosition(0);
    long n = 0;
    for (int i = 0; i < kValues; ++i) n += VarType(LoadVariant(&s));
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_SaveLoadVariants)->Unit(benchmark::kMillisecond);

// The same values as their raw bytes: integers and floats as they lie in memory, texts as a
// length and their bytes, Booleans as a byte.
void BM_RawBuffers(benchmark::State& state) {
  const auto values = StreamValues();
  struct TRaw {
    int Kind;
    Integer I;
    double D;
    String S;
    bool B;
  };
  std::vector<TRaw> raw;
  for (int i = 0; i < kValues; ++i) {
    const Variant& v = values[std::size_t(i)];
    raw.push_back({i % 4, i % 4 == 0 ? v.AsInteger() : 0, i % 4 == 1 ? v.AsDouble() : 0,
                   i % 4 == 2 ? v.AsString() : String(), i % 4 == 3 && v.AsBoolean()});
  }
  TMemoryStream s;
  for (auto _ : state) {
    s.SetPosition(0);
    for (const TRaw& r : raw) {
      switch (r.Kind) {
        case 0: s.WriteBuffer(&r.I, 4); break;
        case 1: s.WriteBuffer(&r.D, 8); break;
        case 2: {
          const Integer n = Integer(r.S.size());
          s.WriteBuffer(&n, 4);
          s.WriteBuffer(r.S.data(), n);
          break;
        }
        default: s.WriteBuffer(&r.B, 1);
      }
    }
    s.SetPosition(0);
    long n = 0;
    for (const TRaw& r : raw) {
      switch (r.Kind) {
        case 0: {
          Integer i;
          s.ReadBuffer(&i, 4);
          n += i;
          break;
        }
        case 1: {
          double d;
          s.ReadBuffer(&d, 8);
          n += long(d);
          break;
        }
        case 2: {
          Integer len;
          s.ReadBuffer(&len, 4);
          String text(std::size_t(len), '\0');
          s.ReadBuffer(text.data(), len);
          n += long(text.size());
          break;
        }
        default: {
          bool b;
          s.ReadBuffer(&b, 1);
          n += b;
        }
      }
    }
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_RawBuffers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"TcxCanvas fills, frames and texts against bare QPainter", "BM_CxCanvasSteps", "BM_BareQPainterSteps", 3},
        {"CompareVariants against VarCompareValue", "BM_CompareVariants", "BM_VarCompareValue", 1.5},
        {"SaveVariant and LoadVariant against raw buffers", "BM_SaveLoadVariants", "BM_RawBuffers", 4},
    });
  });
}
