// The report preview, against what a program would do without it.
// - ShowReport of a 10,000-row list until page 1 is painted in the preview window, against
//   Prepare of the same report limited to the 48 rows of that first page (aim <= 2 x): the
//   preview must show the first page about as soon as a page can be built at all.
// - The preview's workspace scrolled through 21 prepared pages at zoom 1, a viewport at a
//   time, each step painted, against bare QPainter replaying the same pages, recorded once as
//   QPicture display lists, into a viewport-sized image at the same offsets (aim <= 2 x).
#include "BenchUtil.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreview.h"
#include "report/frxPreviewForm.h"
#include "report/frxPreviewPages.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPicture>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr Extended kRowHeight = 21;

// A list over a user data set: one row band of three texts per record.
class TListReport {
public:
  explicit TListReport(int Rows) {
    FRows.SetUserName("Rows");
    FRows.Fields()->SetText("N");
    FRows.SetRangeEnd(reCount);
    FRows.SetRangeEndCount(Rows);
    FRows.OnGetValue = TfrxGetValueEvent::Lambda([this](const String&, Variant& v) { v = Variant(FRows.RecNo() + 1); });
    Report.DataSets()->AddDataSet(&FRows);
    Report.EngineOptions()->SetNewSilentMode(simSilent);
    Report.EngineOptions()->SetReloadAfterRun(false);
    Report.PreviewOptions()->SetModal(false);
    Report.PreviewOptions()->SetMaximized(false);
    auto* page = new TfrxReportPage(&Report);
    page->SetName("Page1");
    page->SetPaperSize(9);
    for (auto set : {&TfrxReportPage::SetLeftMargin, &TfrxReportPage::SetRightMargin, &TfrxReportPage::SetTopMargin,
                     &TfrxReportPage::SetBottomMargin})
      (page->*set)(10);
    auto* band = new TfrxMasterData(page);
    band->SetName("MasterData1");
    band->SetHeight(kRowHeight);
    band->SetDataSet(&FRows);
    const char* texts[] = {"HT[Rows.\"N\"]", "Customer [Rows.\"N\"]", "[Rows.\"N\"].50"};
    for (int c = 0; c < 3; ++c) {
      auto* m = new TfrxMemoView(band);
      m->SetName("Cell" + IntToStr(c));
      m->SetText(texts[c]);
      m->SetBounds(c * 230, 0, 220, kRowHeight);
    }
  }
  void SetRows(int Rows) { FRows.SetRangeEndCount(Rows); }
  TfrxPreviewPages& Store() { return *static_cast<TfrxPreviewPages*>(Report.PreviewPages()); }
  TfrxReport Report{nullptr};

private:
  TfrxUserDataSet FRows{nullptr};
};

int RowsOnFirstPage() { return int(((297 - 20) * fr01cm) / kRowHeight); }  // 48 on A4

void BM_ShowReportFirstPage(benchmark::State& state) {
  TListReport list(10000);
  bool painted = false;
  list.Report.OnProgress = TfrxProgressEvent::Lambda([&](TfrxReport* R, TfrxProgressType, int Page) {
    // Page 1 is in the preview once the second page starts: paint it and stop there.
    if (Page < 2 || painted) return;
    auto* form = static_cast<TfrxPreviewForm*>(R->PreviewForm());
    form->Preview()->Workspace()->Repaint();
    painted = true;
    R->SetTerminated(true);
  });
  for (auto _ : state) {
    painted = false;
    list.Report.ShowReport();
    while (!painted || (list.Report.PreviewForm() && static_cast<TfrxPreviewForm*>(list.Report.PreviewForm())->Preview()->Preparing()))
      Application->HandleMessage();
    state.PauseTiming();
    if (TForm* f = list.Report.PreviewForm()) {
      f->Close();
      Application->ProcessMessages();
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ShowReportFirstPage)->Unit(benchmark::kMillisecond);

void BM_PrepareFirstPageRows(benchmark::State& state) {
  TListReport list(RowsOnFirstPage());
  for (auto _ : state)
    if (!list.Report.Prepare()) state.SkipWithError("prepare failed");
  state.counters["pages"] = list.Store().Count();
}
BENCHMARK(BM_PrepareFirstPageRows)->Unit(benchmark::kMillisecond);

// 21 pages prepared once, shown in a preview window of 800 x 600.
struct TScrollFixture {
  TScrollFixture() : List(21 * RowsOnFirstPage()) {
    List.Report.Prepare();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 800, 600);
    Preview = new TfrxPreview(Form.get());
    Preview->SetParent(Form.get());
    Preview->SetAlign(alClient);
    Form->Show();
    List.Report.SetPreview(Preview);
    Preview->SetOutlineVisible(false);
    Preview->SetZoom(1);
    Application->ProcessMessages();
  }
  TListReport List;
  std::unique_ptr<TForm> Form;
  TfrxPreview* Preview;
};

void BM_WorkspaceScroll21Pages(benchmark::State& state) {
  TScrollFixture f;
  TfrxPreviewWorkspace* ws = f.Preview->Workspace();
  int steps = 0;
  for (auto _ : state) {
    ws->ChangeVertPosition(0);
    ws->Repaint();
    for (int y = 0; y < ws->VertRange(); y += ws->ClientHeight()) {
      ws->ChangeVertPosition(y);
      ws->Repaint();
      ++steps;
    }
  }
  state.counters["pages"] = f.List.Store().Count();
  state.counters["steps"] = benchmark::Counter(steps, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WorkspaceScroll21Pages)->Unit(benchmark::kMillisecond);

void BM_BareQPainterScroll21Pages(benchmark::State& state) {
  TScrollFixture f;
  TfrxPreviewWorkspace* ws = f.Preview->Workspace();
  const int width = ws->ClientWidth(), height = ws->ClientHeight();
  // The same pages as display lists, recorded once: the texts at the places the store holds.
  std::vector<QPicture> pictures(std::size_t(f.List.Store().Count()));
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(13);
  for (int i = 0; i < f.List.Store().Count(); ++i) {
    QPainter p(&pictures[std::size_t(i)]);
    p.setFont(font);
    TfrxReportPage* page = f.List.Store().GetPage(i);
    for (TfrxComponent* c : page->AllObjects())
      if (auto* m = dynamic_cast<TfrxMemoView*>(c))
        p.drawText(QRectF(double(m->AbsLeft()), double(m->AbsTop()), double(m->Width()), double(m->Height())),
                   Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(m->Text()));
  }
  QImage view(width, height, QImage::Format_RGB32);
  const TfrxPageList& pages = ws->PageList();
  for (auto _ : state) {
    for (int y = 0; y < ws->VertRange(); y += height) {
      view.fill(QColor(128, 128, 128));
      QPainter p(&view);
      for (int i = 0; i < pages.Count(); ++i) {
        TRect r = pages.PageBounds(i, width, 1);
        if (r.Bottom < y || r.Top > y + height) continue;
        p.fillRect(QRect(r.Left, r.Top - y, r.Right - r.Left, r.Bottom - r.Top), Qt::white);
        p.drawRect(QRect(r.Left, r.Top - y, r.Right - r.Left, r.Bottom - r.Top));
        p.drawPicture(QPoint(r.Left, r.Top - y), pictures[std::size_t(i)]);
      }
    }
  }
}
BENCHMARK(BM_BareQPainterScroll21Pages)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  InitApplication(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatioRows(times, {
        {"ShowReport of 10,000 rows until page 1 is painted against Prepare of its 48 rows",
         "BM_ShowReportFirstPage", "BM_PrepareFirstPageRows", 2.0},
        {"preview workspace scrolling 21 pages at zoom 1 against bare QPainter replaying QPicture pages",
         "BM_WorkspaceScroll21Pages", "BM_BareQPainterScroll21Pages", 2.0},
    });
  });
}
