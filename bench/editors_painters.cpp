// The painters against the least a program could do instead:
// (a) 10,000 captioned buttons (ultra-flat, standard, Office 2003; normal, hot, pressed),
//     control borders and scroll-bar parts on a TcxCanvas, against bare QPainter drawing the
//     same rectangles, lines, triangles and texts on a QImage;
// (b) 1,000,000 painter queries of a look-and-feel against a virtual call returning a stored
//     painter.
// Prints each ratio with its goal.
#include "BenchUtil.h"

#include "editors/cxCanvas.h"
#include "editors/cxLookAndFeelPainters.h"
#include "editors/cxLookAndFeels.h"
#include "editors/dxOffice11.h"
#include "gui/Graphics.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygon>

namespace {

constexpr int kSteps = 10000, kWidth = 400, kHeight = 300;
const char* const kCaption = "确定";

TRect StepRect(int i) { return Bounds((i * 37) % (kWidth - 80), (i * 23) % (kHeight - 30), 75, 23); }

// ---------------------------------------------------------------- (a) drawing
void BM_PainterSteps(benchmark::State& state) {
  AcquireOffice11Scheme();
  TBitmap target;
  target.SetSize(kWidth, kHeight);
  TcxCanvas canvas(target.Canvas());
  canvas.Font()->SetName("宋体");
  canvas.Font()->SetHeight(-12);
  const TcxCustomLookAndFeelPainter* painters[3] = {TcxUltraFlatLookAndFeelPainter::Instance(),
                                                    TcxStandardLookAndFeelPainter::Instance(),
                                                    TcxOffice11LookAndFeelPainter::Instance()};
  const TcxPainterButtonState states[3] = {pbsNormal, pbsHot, pbsPressed};
  for (auto _ : state) {
    for (int i = 0; i < kSteps; ++i) {
      const TRect r = StepRect(i);
      const TcxCustomLookAndFeelPainter* p = painters[i % 3];
      switch ((i / 3) % 3) {
        case 0: p->PaintButton(&canvas, r, kCaption, states[(i / 9) % 3]); break;
        case 1: p->PaintBorder(&canvas, r); break;
        default:
          p->PaintScrollBarArea(&canvas, false, Bounds(r.Left, r.Top, 17, 17), sbaStartArrow, states[(i / 9) % 3]);
      }
    }
    benchmark::DoNotOptimize(target.ScanLine(0));
  }
  ReleaseOffice11Scheme();
}
BENCHMARK(BM_PainterSteps)->Unit(benchmark::kMillisecond);

void BM_BareQPainterSteps(benchmark::State& state) {
  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  QFont font;
  font.setFamilies({"WenQuanYi Micro Hei"});
  font.setPixelSize(12);
  const QString caption = QString::fromUtf8(kCaption);
  const QColor face(212, 208, 200), frame(0, 0, 0), light(255, 255, 255), shadow(128, 128, 128);
  QPainter p(&img);
  p.setFont(font);
  for (auto _ : state) {
    for (int i = 0; i < kSteps; ++i) {
      const TRect t = StepRect(i);
      const QRect r(t.Left, t.Top, t.Width(), t.Height());
      switch ((i / 3) % 3) {
        case 0:
          // A two-ring frame, the face and a centred caption.
          p.fillRect(r.x(), r.y(), r.width(), 1, light);
          p.fillRect(r.x(), r.y(), 1, r.height(), light);
          p.fillRect(r.right(), r.y(), 1, r.height(), frame);
          p.fillRect(r.x(), r.bottom(), r.width(), 1, frame);
          p.fillRect(r.adjusted(1, 1, -1, -1), face);
          p.setPen(frame);
          p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption);
          break;
        case 1:
          p.fillRect(r.x(), r.y(), r.width(), 1, shadow);
          p.fillRect(r.x(), r.y(), 1, r.height(), shadow);
          p.fillRect(r.right(), r.y(), 1, r.height(), light);
          p.fillRect(r.x(), r.bottom(), r.width(), 1, light);
          break;
        default: {
          const QRect a(r.x(), r.y(), 17, 17);
          p.fillRect(a, face);
          p.fillRect(a.x(), a.y(), a.width(), 1, light);
          p.fillRect(a.right(), a.y(), 1, a.height(), frame);
          p.setPen(frame);
          p.setBrush(frame);
          p.drawPolygon(QPolygon({QPoint(a.x() + 8, a.y() + 6), QPoint(a.x() + 4, a.y() + 10),
                                  QPoint(a.x() + 12, a.y() + 10)}));
          p.setBrush(Qt::NoBrush);
        }
      }
    }
    benchmark::DoNotOptimize(img.constBits());
  }
}
BENCHMARK(BM_BareQPainterSteps)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (b) painter queries
constexpr int kQueries = 1000000;

void BM_PainterQueries(benchmark::State& state) {
  TcxLookAndFeel master(nullptr);
  master.SetKind(lfOffice11);
  TcxLookAndFeel lf(nullptr);
  lf.SetMaster(&master);
  for (auto _ : state) {
    const TcxCustomLookAndFeelPainter* last = nullptr;
    for (int i = 0; i < kQueries; ++i) {
      last = lf.Painter();
      benchmark::DoNotOptimize(last);
    }
  }
}
BENCHMARK(BM_PainterQueries)->Unit(benchmark::kMillisecond);

// A holder that answers with a stored painter through a virtual call.
struct TStoredPainterHolder {
  virtual ~TStoredPainterHolder() = default;
  virtual const TcxCustomLookAndFeelPainter* Painter() const { return FPainter; }
  const TcxCustomLookAndFeelPainter* FPainter = TcxOffice11LookAndFeelPainter::Instance();
};

void BM_StoredPainter(benchmark::State& state) {
  auto holder = std::make_unique<TStoredPainterHolder>();
  TStoredPainterHolder* h = holder.get();
  benchmark::DoNotOptimize(h);
  for (auto _ : state) {
    const TcxCustomLookAndFeelPainter* last = nullptr;
    for (int i = 0; i < kQueries; ++i) {
      last = h->Painter();
      benchmark::DoNotOptimize(last);
    }
  }
}
BENCHMARK(BM_StoredPainter)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatio("painter buttons, borders and scroll parts against bare QPainter",
                      times.Ratio("BM_PainterSteps", "BM_BareQPainterSteps"), 3);
    bench::PrintRatio("look-and-feel painter queries against a stored painter",
                      times.Ratio("BM_PainterQueries", "BM_StoredPainter"), 5);
  });
}
