// Painting of grid cells: button faces from the shared cache against painting each face
// anew, and cell text on one line against word-wrapped text.
//   BM_CachedButtonFaces / BM_UncachedButtonFaces: 200 drop-down, spin and check-box faces,
//   as a grid with in-cell buttons paints them per repaint; the ratio is printed at the end.
//   BM_OneLineCellText / BM_WrappedCellText: 200 cells of text.
#include "BenchUtil.h"
#include "grid/CellTextEh.h"
#include "gui/Application.h"
#include "grid/ToolCtrlsEh.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct TSurface {
  TBitmap Bitmap;
  TSurface() {
    Bitmap.SetSize(800, 400);
    Bitmap.Canvas()->Font()->SetName("Arial");
    Bitmap.Canvas()->Font()->SetHeight(-13);
  }
  HDC DC() { return Bitmap.Canvas()->Handle(); }
};

TRect Cell(int i) { return Bounds((i % 40) * 20, (i / 40) * 20, 17, 17); }

const TButtonFaceStyle kFaces[] = {bfsDropDown, bfsUpDown, bfsCheckBox, bfsEllipsis};

void BM_CachedButtonFaces(benchmark::State& state) {
  TSurface s;
  ResetButtonBitmapCache();
  for (auto _ : state)
    for (int i = 0; i < 200; ++i)
      PaintEditButtonFace(s.DC(), Cell(i), clWindow, kFaces[i % 4], 0, false, false, true, i % 3);
  state.counters["cache entries"] = double(ButtonsBitmapCache()->Count());
}
BENCHMARK(BM_CachedButtonFaces);

void BM_UncachedButtonFaces(benchmark::State& state) {
  TSurface s;
  for (auto _ : state)
    for (int i = 0; i < 200; ++i) {
      TButtonFaceStyle face = kFaces[i % 4];
      if (face == bfsCheckBox) DrawCheckFrame(s.DC(), Cell(i), i % 3, false, false, false, true);
      else DrawButtonByStyle(s.DC(), face, Cell(i), 0, false, false, false, true);
    }
}
BENCHMARK(BM_UncachedButtonFaces);

void BM_OneLineCellText(benchmark::State& state) {
  TSurface s;
  TCanvas* c = s.Bitmap.Canvas();
  c->Brush()->SetColor(clWindow);
  for (auto _ : state)
    for (int i = 0; i < 200; ++i)
      DrawCellText(c, Bounds((i % 8) * 100, (i / 8) * 16, 100, 16), true, 2, 1, "合同金额 123,456.78",
                   i % 2 ? taRightJustify : taLeftJustify, tlTop, false, true, 0, 0, false);
}
BENCHMARK(BM_OneLineCellText);

void BM_WrappedCellText(benchmark::State& state) {
  TSurface s;
  TCanvas* c = s.Bitmap.Canvas();
  c->Brush()->SetColor(clWindow);
  for (auto _ : state)
    for (int i = 0; i < 200; ++i)
      DrawCellText(c, Bounds((i % 8) * 100, (i / 8) * 16, 100, 32), true, 2, 1, "工程合同 delivery plan notes",
                   taLeftJustify, tlCenter, true, true, 0, 0, false);
}
BENCHMARK(BM_WrappedCellText);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    // Cached faces pay off while painting anew costs more than copying them.
    bench::PrintRatio("button faces copied from the cache against painted anew",
                      times.Ratio("BM_CachedButtonFaces", "BM_UncachedButtonFaces"), 1.0);
  });
  DoneApplication();
  return rc;
}
