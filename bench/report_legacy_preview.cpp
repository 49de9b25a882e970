// The older engine's preview against the least a user could write instead:
// (a) painting the page area while scrolling through 21 prepared pages at zoom 1, against
//     replaying the same pages' recorded text with bare QPainter into a viewport-sized QImage
//     at the same scroll positions;
// (b) finding a text that only the last of 50 pages holds, against std::string::find over the
//     same pages' texts.
#include "LegacyReportBench.h"
#include "BenchUtil.h"

#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_ClassPrepared.h"
#include "report_legacy/FR_Prntr.h"
#include "report_legacy/FR_Utils.h"
#include "report_legacy/FR_View.h"

#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "print/Metafile.h"
#include "print/Printers.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kViewW = 900, kViewH = 700, kStep = 120;

// A report of N pages, 40 text objects on each; the last page alone holds "needle".
struct TPagesScene {
  std::unique_ptr<TfrReport> Report = std::make_unique<TfrReport>(nullptr);
  explicit TPagesScene(int N) {
    TfrPage* page = Report->Pages()->Add();
    frState().CurrentReport = Report.get();
    auto* band = new TfrBandView;
    band->Name = "MasterData1";
    band->SetBandType(btMasterData);
    band->SetViewBounds(0, 20, 740, 1000);
    band->FormatText = IntToStr(N);
    band->Flags |= frband::FormNewPage;
    page->AddObject(band);
    for (int i = 0; i < 40; ++i) {
      auto* m = new TfrMemoView;
      m->Name = "Memo" + IntToStr(i + 1);
      m->SetViewBounds(20 + (i % 2) * 360, 20 + (i / 2) * 24, 340, 20);
      m->Memo.SetText("Contract [LINE#]-" + IntToStr(i) + " north depot delivery");
      page->AddObject(m);
    }
    Report->PrepareReport();
    TfrEMFPages* pages = Report->PreparedPages();
    pages->ObjectsToPage(N - 1);
    pages->PageInfo(N - 1).PageObject->Objects.back()->Memo.SetText("the needle is here");
    pages->PageToObjects(N - 1);
    pages->PageInfo(N - 1).PageObject.reset();
  }
};

// A shown preview window over the scene's pages, its page area kViewW x kViewH.
struct TPreviewWindow {
  TfrPreviewForm* Form;
  explicit TPreviewWindow(TfrReport* Report) {
    Form = new TfrPreviewForm(nullptr);
    Form->InitForm();
    Form->SetWindowState(wsNormal);
    Form->TakePages(Report);
    Form->Show();
    Application->ProcessMessages();
    Form->SetBounds(0, 0, Form->Width() + kViewW - Form->PBox->ClientWidth(),
                    Form->Height() + kViewH - Form->PBox->ClientHeight());
    Application->ProcessMessages();
    Form->ShowPages(true);
  }
  ~TPreviewWindow() {
    Form->ReturnPages();
    delete Form;
  }
};

void BM_PreviewScrollPaint(benchmark::State& state) {
  TPagesScene scene(21);
  TPreviewWindow w(scene.Report.get());
  TBitmap view;
  view.SetSize(kViewW, kViewH);
  const int range = w.Form->VScrollBar->Max();
  int frames = 0;
  for (auto _ : state) {
    for (int pos = 0; pos <= range; pos += kStep) {
      w.Form->VScrollBar->SetPosition(pos);
      w.Form->PaintPages(view.Canvas(), Rect(0, 0, kViewW, kViewH));
      ++frames;
    }
  }
  if (w.Form->PageCount() != 21 || w.Form->Zoom != 1.0) state.SkipWithError("not 21 pages at zoom 1");
  state.counters["frames"] = double(frames) / double(state.iterations());
}
BENCHMARK(BM_PreviewScrollPaint)->Unit(benchmark::kMillisecond);

struct TRecordedPage {
  TRect Rect;  // in the page area
  std::vector<TMetaTextRun> Runs;
};

void BM_QPainterReplayScroll(benchmark::State& state) {
  TPagesScene scene(21);
  std::vector<TRecordedPage> pages;
  int range = 0;
  {
    TPreviewWindow w(scene.Report.get());
    range = w.Form->VScrollBar->Max();
    for (int i = 0; i < w.Form->PageCount(); ++i) {
      TfrPageInfo& p = w.Form->Pages->PageInfo(i);
      TMetafile mf;
      mf.SetDpi(96);
      mf.SetWidth(p.PageInfo.PageWidth);
      mf.SetHeight(p.PageInfo.PageHeight);
      p.PageVisible = true;
      {
        TMetafileCanvas c(&mf, nullptr);
        w.Form->Pages->Draw(i, &c, Rect(0, 0, p.PageInfo.PageWidth, p.PageInfo.PageHeight));
      }
      TRecordedPage r{p.PageRect, {}};
      mf.WalkText([&](const TMetaTextRun& Run) { r.Runs.push_back(Run); });
      pages.push_back(std::move(r));
    }
  }
  QImage image(kViewW, kViewH, QImage::Format_ARGB32_Premultiplied);
  QFont font("Arial");
  font.setPixelSize(13);
  for (auto _ : state) {
    for (int pos = 0; pos <= range; pos += kStep) {
      image.fill(QColor(128, 128, 128));
      QPainter p(&image);
      p.setFont(font);
      for (const TRecordedPage& page : pages) {
        const QRect r(page.Rect.Left, page.Rect.Top - pos, page.Rect.Width(), page.Rect.Height());
        if (r.bottom() < 0 || r.top() > kViewH) continue;
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(r);
        for (const TMetaTextRun& run : page.Runs)
          p.drawText(QPoint(r.left() + run.Origin.X, r.top() + run.Origin.Y + 11),
                     QString::fromUtf8(run.Text.data(), int(run.Text.size())));
      }
    }
  }
  if (pages.size() != 21 || pages[0].Runs.empty()) state.SkipWithError("the pages recorded no text");
}
BENCHMARK(BM_QPainterReplayScroll)->Unit(benchmark::kMillisecond);

void BM_PreviewFindOnLastPage(benchmark::State& state) {
  TPagesScene scene(50);
  TPreviewWindow w(scene.Report.get());
  w.Form->FindStr = "NEEDLE";
  w.Form->CaseSensitive = false;
  bool found = false;
  for (auto _ : state) {
    w.Form->LastFoundPage = 0;
    w.Form->LastFoundObject = 0;
    w.Form->FindNext();
    found = w.Form->Found && w.Form->CurrentPage == 50;
  }
  if (!found) state.SkipWithError("the text on the last page was not found");
}
BENCHMARK(BM_PreviewFindOnLastPage)->Unit(benchmark::kMillisecond);

void BM_StringFindOverTexts(benchmark::State& state) {
  TPagesScene scene(50);
  // The pages' texts, upper-cased as a case-blind search compares them.
  std::vector<std::vector<std::string>> texts;
  TfrEMFPages* pages = scene.Report->PreparedPages();
  for (int i = 0; i < pages->Count(); ++i) {
    pages->ObjectsToPage(i);
    std::vector<std::string> t;
    for (const auto& v : pages->PageInfo(i).PageObject->Objects) t.push_back(AnsiUpperCase(v->Memo.Text()));
    pages->PageInfo(i).PageObject.reset();
    texts.push_back(std::move(t));
  }
  int page = -1;
  for (auto _ : state) {
    page = -1;
    for (std::size_t i = 0; i < texts.size() && page < 0; ++i)
      for (const std::string& s : texts[i])
        if (s.find("NEEDLE") != std::string::npos) {
          page = int(i) + 1;
          break;
        }
    benchmark::DoNotOptimize(page);
  }
  if (page != 50) state.SkipWithError("not found on the last page");
}
BENCHMARK(BM_StringFindOverTexts)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  bench::StartOffscreenWithoutPrinters(argc, argv);
  TfrGlobals globals;
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"preview painting while scrolling 21 pages at zoom 1 against a QPainter replay of their text",
         "BM_PreviewScrollPaint", "BM_QPainterReplayScroll", 2},
        {"preview find on the last of 50 pages against std::string::find over their texts",
         "BM_PreviewFindOnLastPage", "BM_StringFindOverTexts", 5},
    });
  });
}
