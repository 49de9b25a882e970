// Painting a window of 22 framed edits (every frame style on the window colour and on a
// tinted face, three of them lit as hot frames) against the same window of plain edits. The
// framed window paints its frames over the platform border in the non-client area; the
// ratio of the two is printed at the end, and should stay within 2.
#include "BenchUtil.h"

#include "controls/RzEdit.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/Application.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kEdits = 22;

// A window of 22 edits in two columns; Framed makes them framed edits in the styles.
std::unique_ptr<TForm> MakeForm(bool Framed) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 400, 300);
  for (int i = 0; i < kEdits; ++i) {
    TRect r = Bounds(8 + (i / 11) * 190, 4 + (i % 11) * 26, 180, 21);
    TCustomEdit* e;
    if (Framed) {
      auto* f = new TRzEdit(form.get());
      f->SetFrameStyle(static_cast<TFrameStyle>(i % 11));
      f->SetFrameVisible(true);
      if (i >= 11) f->SetColor(clInfoBk);  // tinted frames
      if (i % 7 == 3) {
        f->SetFrameHotTrack(true);
        f->Perform(CM_MOUSEENTER, 0, 0);  // lit
      }
      e = f;
    } else {
      e = new TEdit(form.get());
    }
    e->SetParent(form.get());
    e->SetBoundsRect(r);
    e->SetText("合同 HT2024" + std::to_string(100 + i));
  }
  form->HandleNeeded();
  return form;
}

void PaintLoop(benchmark::State& state, bool Framed) {
  auto form = MakeForm(Framed);
  TBitmap target;
  target.SetSize(form->Width(), form->Height());
  for (auto _ : state) {
    form->PaintTo(target.Canvas(), 0, 0);
    benchmark::DoNotOptimize(target.Canvas()->Pixels(10, 10));
  }
}

void BM_PaintFramedEdits(benchmark::State& state) { PaintLoop(state, true); }
void BM_PaintPlainEdits(benchmark::State& state) { PaintLoop(state, false); }

BENCHMARK(BM_PaintFramedEdits)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintPlainEdits)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatio("framed edit window paint against plain edits", times.Ratio("BM_PaintFramedEdits", "BM_PaintPlainEdits"),
                      2.0);
  });
  DoneApplication();
  return rc;
}
