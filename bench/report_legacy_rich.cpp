// The older report engine's rich-text object against the least a user could write instead:
// the height of a three-page formatted text found by TfrRichView::FitHeight (the text copied
// into the measuring editor each time, as a run does, then the bisection), against one
// QTextDocument built from the same text and laid out at the same width.
#include "LegacyReportBench.h"
#include "BenchUtil.h"

#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_Rich.h"

#include "gui/Application.h"
#include "gui/RichEdit.h"
#include "print/Printers.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextDocument>

#include <cstdlib>

namespace {

// About three pages (3000 pixels) of 10-point text in a 600-pixel-wide object, every fifth
// paragraph bold.
String ThreePages() {
  String rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
  for (int i = 1; i <= 200; ++i) {
    if (i % 5 == 0) rtf += "{\\b ";
    rtf += "Paragraph " + IntToStr(i) + ": goods delivered to the north depot in three parts, checked and signed";
    if (i % 5 == 0) rtf += "}";
    rtf += "\\par ";
  }
  return rtf + "}";
}

constexpr int kWidth = 600;

void BM_FitHeight(benchmark::State& state) {
  TfrRichView view;
  view.SetViewBounds(0, 0, kWidth, 100);
  view.RichEdit->SetRtfText(ThreePages());
  int height = 0;
  for (auto _ : state) {
    CopyRichText(MeasureRichEdit(), view.RichEdit);
    view.StartPos = 0;
    height = view.FitHeight();
  }
  state.counters["height"] = height;
  if (height < 2500) state.SkipWithError("the text is shorter than three pages");
}
BENCHMARK(BM_FitHeight)->Unit(benchmark::kMicrosecond);

void BM_QTextDocumentLayout(benchmark::State& state) {
  TfrRichView view;
  view.RichEdit->SetRtfText(ThreePages());
  const QString text = QString::fromUtf8(view.RichEdit->Text().c_str()).replace("\r\n", "\n");
  QFont font("Arial");
  font.setPixelSize(13);
  double height = 0;
  for (auto _ : state) {
    QTextDocument doc;
    doc.setDocumentMargin(0);
    doc.setDefaultFont(font);
    doc.setPlainText(text);
    doc.setTextWidth(kWidth - 4);
    height = doc.documentLayout()->documentSize().height();
  }
  state.counters["height"] = height;
}
BENCHMARK(BM_QTextDocumentLayout)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  bench::StartOffscreenWithoutPrinters(argc, argv);
  TfrGlobals globals;
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"FitHeight of a three-page rich text against one QTextDocument layout at the same width", "BM_FitHeight",
         "BM_QTextDocumentLayout", 3},
    });
  });
}
