// The editor library's container against the least a program could do instead:
// (a) 10,000 mouse moves over a container hosting an edit against the same over a plain
//     TCustomControl hosting it;
// (b) PaintTo of 200 containers (single, flat, 3D, shadow) against bare QPainter drawing the
//     same frames and fills on a QImage;
// (c) an incremental search over 10,000 items against LB_FINDSTRING alone.
// Prints each ratio with its goal.
#include "BenchUtil.h"

#include "editors/cxContainer.h"
#include "editors/cxInnerListBox.h"
#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kMoves = 10000, kContainers = 200, kItems = 10000;

// ---------------------------------------------------------------- (a) mouse moves
template <class C> void MovesOver(benchmark::State& state) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* box = new C(form.get());
  box->SetParent(form.get());
  box->SetBounds(0, 0, 200, 24);
  auto* edit = new TEdit(form.get());
  edit->SetAutoSize(false);
  edit->SetParent(box);
  edit->SetBounds(2, 2, 196, 20);
  if constexpr (std::is_same_v<C, TcxContainer>) box->SetHostedControl(edit);
  for (auto _ : state)
    for (int i = 0; i < kMoves; ++i) box->Perform(WM_MOUSEMOVE, 0, MakeLParam(i % 200, 1 + (i / 200) % 22));
}
void BM_MovesOverContainer(benchmark::State& state) { MovesOver<TcxContainer>(state); }
BENCHMARK(BM_MovesOverContainer)->Unit(benchmark::kMillisecond);
void BM_MovesOverCustomControl(benchmark::State& state) { MovesOver<TCustomControl>(state); }
BENCHMARK(BM_MovesOverCustomControl)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (b) painting
void BM_ContainerPaints(benchmark::State& state) {
  auto form = std::make_unique<TForm>(nullptr);
  std::vector<TcxContainer*> boxes;
  const TcxContainerBorderStyle styles[4] = {cbsSingle, cbsFlat, cbs3D, cbsSingle};
  for (int i = 0; i < 4; ++i) {
    auto* b = new TcxContainer(form.get());
    b->SetParent(form.get());
    b->SetBounds(0, 30 * i, 120, 24);
    b->Style()->SetBorderStyle(styles[i]);
    b->Style()->SetTransparentBorder(false);
    b->Style()->SetShadow(i == 3);
    boxes.push_back(b);
  }
  TBitmap target;
  target.SetSize(120, 24);
  for (auto _ : state) {
    for (int i = 0; i < kContainers; ++i) boxes[i % 4]->PaintTo(target.Canvas(), 0, 0);
    benchmark::DoNotOptimize(target.ScanLine(0));
  }
}
BENCHMARK(BM_ContainerPaints)->Unit(benchmark::kMillisecond);

void BM_BareQPainterFrames(benchmark::State& state) {
  QImage img(120, 24, QImage::Format_RGB32);
  const QColor window(255, 255, 255), frame(0, 0, 0), shadow(128, 128, 128), light(255, 255, 255),
      dark(64, 64, 64), face(212, 208, 200);
  for (auto _ : state) {
    for (int i = 0; i < kContainers; ++i) {
      QPainter p(&img);
      const QRect r(0, 0, 120, 24);
      switch (i % 4) {
        case 0:
        case 3:
          p.setPen(frame);
          p.drawRect(r.adjusted(0, 0, i % 4 == 3 ? -4 : -1, i % 4 == 3 ? -4 : -1));
          if (i % 4 == 3) {
            p.fillRect(3, 21, 117, 3, shadow);
            p.fillRect(117, 3, 3, 21, shadow);
          }
          p.fillRect(r.adjusted(1, 1, i % 4 == 3 ? -4 : -1, i % 4 == 3 ? -4 : -1), window);
          break;
        default:
          p.fillRect(0, 0, 120, 1, shadow);
          p.fillRect(0, 0, 1, 24, shadow);
          p.fillRect(119, 0, 1, 24, light);
          p.fillRect(0, 23, 120, 1, light);
          p.fillRect(1, 1, 118, 1, i % 4 == 1 ? face : dark);
          p.fillRect(1, 1, 1, 22, i % 4 == 1 ? face : dark);
          p.fillRect(118, 1, 1, 22, face);
          p.fillRect(1, 22, 118, 1, face);
          p.fillRect(r.adjusted(2, 2, -2, -2), window);
      }
    }
    benchmark::DoNotOptimize(img.constBits());
  }
}
BENCHMARK(BM_BareQPainterFrames)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (c) search
Cardinal gClock = 0;
Cardinal Clock() { return gClock; }

template <bool Search> void Searches(benchmark::State& state) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* list = new TcxCustomInnerListBox(form.get());
  list->SetParent(form.get());
  list->SetBounds(0, 0, 200, 200);
  for (int i = 0; i < kItems; ++i) list->Items()->Add("项目 " + std::to_string(i));
  list->Items()->Add("最后");
  TcxCustomInnerListBox::SetTickSourceForTest(&Clock);
  const String text = "最后";
  for (auto _ : state) {
    if constexpr (Search) {
      gClock += 1000;  // each search starts a new text
      Char k = U'最';
      list->IncrementalSearch(k);
      benchmark::DoNotOptimize(list->ItemIndex());
    } else {
      benchmark::DoNotOptimize(
          list->Perform(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
    }
  }
  TcxCustomInnerListBox::SetTickSourceForTest(nullptr);
}
void BM_IncrementalSearch(benchmark::State& state) { Searches<true>(state); }
BENCHMARK(BM_IncrementalSearch)->Unit(benchmark::kMicrosecond);
void BM_FindStringAlone(benchmark::State& state) { Searches<false>(state); }
BENCHMARK(BM_FindStringAlone)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"mouse moves over a container hosting an edit against a plain control", "BM_MovesOverContainer",
         "BM_MovesOverCustomControl", 3},
        {"container paints against bare QPainter", "BM_ContainerPaints", "BM_BareQPainterFrames", 3},
        {"incremental search against LB_FINDSTRING alone", "BM_IncrementalSearch", "BM_FindStringAlone", 1.5},
    });
  });
  DoneApplication();
  return rc;
}
