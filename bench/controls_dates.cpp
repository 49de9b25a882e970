// The date edit's parsing and the speed button's painting against the platform's own:
// - TextToDateByFormat on 100,000 typed dates (one in five read by the free scan, being
//   shorter than the field's format) against the platform's StrToDate on the same texts;
// - painting a window of 40 speed buttons (four glyph sizes, flat and raised, one radio group
//   with a button down) with the glyph cache warm, against the same window of the platform's
//   speed buttons.
// Each ratio is printed under the table with its goal.
#include "BenchUtil.h"

#include "controls/DateUtil.h"
#include "controls/RXCtrls.h"
#include "core/DateUtils.h"
#include "core/FormatSettings.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/Forms.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kTexts = 100000;
constexpr int kButtons = 40;

// Dates as typed: "2024-02-29" by position, or "2024-2-9" for the free scan.
const std::vector<String>& Texts() {
  static const std::vector<String> texts = [] {
    std::vector<String> t;
    t.reserve(kTexts);
    for (int i = 0; i < kTexts; ++i) {
      const TDateTime d = EncodeDate(2000, 1, 1) + (i * 37) % 9000;
      t.push_back(i % 5 == 4 ? FormatDateTime("yyyy-m-d", d) : FormatDateTime("yyyy-mm-dd", d));
    }
    return t;
  }();
  return texts;
}

void BM_TextToDateByFormat(benchmark::State& state) {
  const auto& texts = Texts();
  for (auto _ : state) {
    double sum = 0;
    for (const String& s : texts) sum += TextToDateByFormat("YYYY/MM/DD", s);
    benchmark::DoNotOptimize(sum);
  }
}

void BM_StrToDate(benchmark::State& state) {
  const auto& texts = Texts();
  for (auto _ : state) {
    double sum = 0;
    for (const String& s : texts) sum += StrToDate(s);
    benchmark::DoNotOptimize(sum);
  }
}

std::unique_ptr<TBitmap> Glyph(int Size, int Images) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(Size * Images, Size);
  for (int i = 0; i < Images; ++i) {
    b->Canvas()->Brush()->SetColor(TColor(0x203040 * (i + 1)));
    b->Canvas()->FillRect(Rect(i * Size, 0, (i + 1) * Size, Size));
  }
  b->Canvas()->Brush()->SetColor(TColor(0xFF00FF));
  b->Canvas()->FillRect(Rect(0, Size - 2, Size * Images, Size));
  return b;
}

// Forty buttons in rows: glyphs of 12, 16, 20 and 24 pixels, every other one flat, the last
// row a radio group whose first button is down.
template <class B> std::unique_ptr<TForm> ButtonForm() {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 400, 200);
  const int sizes[4] = {12, 16, 20, 24};
  std::unique_ptr<TBitmap> glyphs[4] = {Glyph(12, 2), Glyph(16, 1), Glyph(20, 2), Glyph(24, 1)};
  for (int i = 0; i < kButtons; ++i) {
    auto* b = new B(form.get());
    b->SetParent(form.get());
    b->SetBounds(4 + (i % 10) * 38, 4 + (i / 10) * 46, 36, 44);
    b->SetGlyph(glyphs[i % 4].get());
    b->SetCaption(i % 3 == 0 ? "保存" : "");
    b->SetFlat(i % 2 == 1);
    if (i >= 30) b->SetGroupIndex(1);
    (void)sizes;
  }
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* b = dynamic_cast<B*>(form->Controls(i)); b && b->GroupIndex() == 1) {
      b->SetDown(true);
      break;
    }
  form->HandleNeeded();
  return form;
}

template <class B> void PaintButtons(benchmark::State& state) {
  auto form = ButtonForm<B>();
  TBitmap target;
  target.SetSize(form->Width(), form->Height());
  form->PaintTo(target.Canvas(), 0, 0);  // builds the cached images
  for (auto _ : state) {
    form->PaintTo(target.Canvas(), 0, 0);
    benchmark::DoNotOptimize(target.Canvas()->Pixels(10, 10));
  }
}

void BM_PaintRxSpeedButtons(benchmark::State& state) { PaintButtons<TRxSpeedButton>(state); }
void BM_PaintPlatformSpeedButtons(benchmark::State& state) { PaintButtons<TSpeedButton>(state); }

BENCHMARK(BM_TextToDateByFormat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrToDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintRxSpeedButtons)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintPlatformSpeedButtons)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatio("TextToDateByFormat on 100,000 dates against StrToDate", times.Ratio("BM_TextToDateByFormat", "BM_StrToDate"),
                      2.0);
    bench::PrintRatio("40 speed buttons painted against 40 platform speed buttons",
                      times.Ratio("BM_PaintRxSpeedButtons", "BM_PaintPlatformSpeedButtons"), 2.0);
  });
  DoneApplication();
  return rc;
}
