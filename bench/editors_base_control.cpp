// The editor library's base control against the least a program could do instead:
// (a) 10,000 paints of a 200 x 17 TcxScrollBar (ultra-flat and standard, alternating) into a
//     canvas, against bare QPainter drawing the same rectangles, triangles and checker fills
//     on a QImage and copying it once, as the bar copies its off-screen bitmap;
// (b) 100,000 WM_MOUSEMOVE through a TcxControl against the same to a plain TCustomControl.
// Prints each ratio with its goal.
#include "BenchUtil.h"

#include "editors/cxControls.h"
#include "editors/cxScrollBar.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPolygon>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kPaints = 10000, kMoves = 100000, kWidth = 200, kHeight = 17;

// ---------------------------------------------------------------- (a) painting
void BM_ScrollBarPaints(benchmark::State& state) {
  auto form = std::make_unique<TForm>(nullptr);
  TcxScrollBar* bars[2];
  const TcxLookAndFeelKind kinds[2] = {lfUltraFlat, lfStandard};
  for (int i = 0; i < 2; ++i) {
    bars[i] = new TcxScrollBar(form.get());
    bars[i]->SetParent(form.get());
    bars[i]->SetBounds(0, 20 * i, kWidth, kHeight);
    bars[i]->LookAndFeel()->SetKind(kinds[i]);
    bars[i]->AssignScrollValues(0, 100, 30, 20, false);
  }
  TBitmap target;
  target.SetSize(kWidth, kHeight);
  for (auto _ : state) {
    for (int i = 0; i < kPaints; ++i) bars[i % 2]->PaintTo(target.Canvas(), 0, 0);
    benchmark::DoNotOptimize(target.ScanLine(0));
  }
}
BENCHMARK(BM_ScrollBarPaints)->Unit(benchmark::kMillisecond);

// The same parts drawn straight: arrows (face, frame, triangle), the thumb (face, frame) and
// the two page areas (a checker for the standard look, a flat fill for the ultra-flat one),
// then one copy of the picture.
void BM_BareQPainterBar(benchmark::State& state) {
  QImage bitmap(kWidth, kHeight, QImage::Format_RGB32), screen(kWidth, kHeight, QImage::Format_RGB32);
  const QColor face(212, 208, 200), frame(0, 0, 0), light(255, 255, 255), shadow(128, 128, 128),
      flatPage(234, 232, 228);
  QImage checker(8, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) checker.setPixel(x, y, (x % 2) == (y % 2) ? face.rgb() : light.rgb());
  const QBrush checkerBrush(checker);
  auto arrow = [&](QPainter& p, QRect a, bool left) {
    p.fillRect(a, face);
    p.fillRect(a.x(), a.y(), a.width(), 1, light);
    p.fillRect(a.x(), a.y(), 1, a.height(), light);
    p.fillRect(a.right(), a.y(), 1, a.height(), frame);
    p.fillRect(a.x(), a.bottom(), a.width(), 1, frame);
    const int cx = a.center().x(), cy = a.center().y();
    p.setPen(frame);
    p.setBrush(frame);
    p.drawPolygon(left ? QPolygon({QPoint(cx - 2, cy), QPoint(cx + 2, cy - 4), QPoint(cx + 2, cy + 4)})
                       : QPolygon({QPoint(cx + 2, cy), QPoint(cx - 2, cy - 4), QPoint(cx - 2, cy + 4)}));
    p.setBrush(Qt::NoBrush);
  };
  for (auto _ : state) {
    for (int i = 0; i < kPaints; ++i) {
      {
        QPainter p(&bitmap);
        arrow(p, QRect(0, 0, 17, 17), true);
        arrow(p, QRect(kWidth - 17, 0, 17, 17), false);
        const QRect thumb(60, 0, 40, 17);
        p.fillRect(thumb, face);
        p.setPen(shadow);
        p.drawRect(thumb.adjusted(0, 0, -1, -1));
        if (i % 2) {
          p.fillRect(QRect(17, 0, 43, 17), checkerBrush);
          p.fillRect(QRect(100, 0, kWidth - 117, 17), checkerBrush);
        } else {
          p.fillRect(QRect(17, 0, 43, 17), flatPage);
          p.fillRect(QRect(100, 0, kWidth - 117, 17), flatPage);
        }
      }
      QPainter s(&screen);
      s.drawImage(0, 0, bitmap);
    }
    benchmark::DoNotOptimize(screen.constBits());
  }
}
BENCHMARK(BM_BareQPainterBar)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (b) mouse moves
template <class C> void MouseMoves(benchmark::State& state) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* c = new C(form.get());
  c->SetParent(form.get());
  c->SetBounds(0, 0, 300, 200);
  for (auto _ : state)
    for (int i = 0; i < kMoves; ++i) c->Perform(WM_MOUSEMOVE, 0, MakeLParam(i % 300, (i / 300) % 200));
}

void BM_MouseMovesThroughCxControl(benchmark::State& state) { MouseMoves<TcxControl>(state); }
BENCHMARK(BM_MouseMovesThroughCxControl)->Unit(benchmark::kMillisecond);

void BM_MouseMovesThroughCustomControl(benchmark::State& state) { MouseMoves<TCustomControl>(state); }
BENCHMARK(BM_MouseMovesThroughCustomControl)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"scroll-bar paints against bare QPainter", "BM_ScrollBarPaints", "BM_BareQPainterBar", 3},
        {"mouse moves through the base control against a plain custom control", "BM_MouseMovesThroughCxControl",
         "BM_MouseMovesThroughCustomControl", 1.5},
    });
  });
  DoneApplication();
  return rc;
}
