// The calculator and the calculator editor:
// (a) PaintTo of the popup calculator of a calculator editor into a bitmap, against PaintTo of
//     the grid's calculator at the same size;
// (b) Text written and read 10,000 times on each of 16 calculator editors (the legacy
//     dialogs' path), against 16 platform edits.
// Prints each ratio with its goal.
#include "BenchUtil.h"

#include "editors/cxCalc.h"
#include "grid/CalculatorEh.h"
#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// ---------------------------------------------------------------- (a) painting

struct TPaintSetup {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TcxCalcEdit* Edit = nullptr;
  TCalculatorEh* Grid = nullptr;
  TBitmap Bmp;
  TPaintSetup() {
    Edit = new TcxCalcEdit(Form.get());
    Edit->SetParent(Form.get());
    Form->SetBounds(0, 0, 600, 400);
    Form->Show();
    TcxPopupCalculator* calc = Edit->Calculator();
    calc->SetParent(Form.get());
    calc->SetBounds(0, 40, 200, 130);
    calc->SetVisible(true);
    Grid = new TCalculatorEh(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(250, 40, calc->Width(), calc->Height());
    Grid->SetVisible(true);
    Application->ProcessMessages();
    Bmp.SetSize(calc->Width(), calc->Height());
  }
};

// Made on first use and freed before the application ends.
std::unique_ptr<TPaintSetup> gPaint;
TPaintSetup& Paint() {
  if (!gPaint) gPaint = std::make_unique<TPaintSetup>();
  return *gPaint;
}

void BM_PopupCalculatorPaintTo(benchmark::State& state) {
  TPaintSetup& s = Paint();
  for (auto _ : state) {
    s.Edit->Calculator()->PaintTo(s.Bmp.Canvas(), 0, 0);
    benchmark::DoNotOptimize(s.Bmp.ScanLine(0));
  }
}
BENCHMARK(BM_PopupCalculatorPaintTo)->Unit(benchmark::kMicrosecond);

void BM_GridCalculatorPaintTo(benchmark::State& state) {
  TPaintSetup& s = Paint();
  for (auto _ : state) {
    s.Grid->PaintTo(s.Bmp.Canvas(), 0, 0);
    benchmark::DoNotOptimize(s.Bmp.ScanLine(0));
  }
}
BENCHMARK(BM_GridCalculatorPaintTo)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- (b) Text

constexpr int kEditors = 16, kRounds = 10000;

// Writes amounts as the dialogs' save and load do and reads them back.
template <class E> void WriteAndRead(benchmark::State& state) {
  auto form = std::make_unique<TForm>(nullptr);
  std::vector<E*> edits;
  for (int i = 0; i < kEditors; ++i) {
    auto* e = new E(form.get());
    e->SetParent(form.get());
    e->SetBounds(10, 10 + 25 * i, 120, 21);
    edits.push_back(e);
  }
  form->Show();
  static const char* const kAmounts[] = {"1234.5", "0", "-17.25", "2500000"};
  for (auto _ : state) {
    std::size_t total = 0;
    for (E* e : edits)
      for (int i = 0; i < kRounds; ++i) {
        e->SetText(kAmounts[i & 3]);
        total += e->Text().size();
      }
    benchmark::DoNotOptimize(total);
  }
}

void BM_CalcEditText(benchmark::State& state) { WriteAndRead<TcxCalcEdit>(state); }
BENCHMARK(BM_CalcEditText)->Unit(benchmark::kMillisecond);

void BM_PlatformEditText(benchmark::State& state) { WriteAndRead<TEdit>(state); }
BENCHMARK(BM_PlatformEditText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"popup calculator PaintTo against the grid's calculator", "BM_PopupCalculatorPaintTo",
         "BM_GridCalculatorPaintTo", 2},
        {"16 calculator editors' Text written and read against 16 platform edits", "BM_CalcEditText",
         "BM_PlatformEditText", 2},
    });
  });
  gPaint.reset();
  DoneApplication();
  return rc;
}
