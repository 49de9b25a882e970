// The report designer's design surface on a page of 40 bands with 500 memos (every other one
// framed) and 40 lines, at zoom 1 with the centimetre grid:
// (a) a full repaint of the workspace against bare QPainter drawing the same grid lines,
//     rectangles, lines and texts into a QImage (aim <= 4 x);
// (b) the release after dragging 100 of the memos (rounding, band arrangement and
//     re-parenting) against setting those bounds and parents directly (aim <= 3 x).
#include "BenchUtil.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Forms.h"
#include "gui/Pictures.h"
#include "report/designer/frxDesgnWorkspace.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kBands = 40;
constexpr int kMemos = 500;
constexpr int kMoved = 100;
constexpr int kWidth = 720, kBandHeight = 60;

class TBenchWorkspace : public TfrxDesignerWorkspace {
public:
  using TfrxDesignerWorkspace::TfrxDesignerWorkspace;
  using TfrxDesignerWorkspace::MouseDown;
  using TfrxDesignerWorkspace::MouseMove;
  using TfrxDesignerWorkspace::MouseUp;
};

struct TSurface {
  TfrxReport Report{nullptr};
  TfrxReportPage* Page = nullptr;
  std::unique_ptr<TForm> Form;
  TBenchWorkspace* Ws = nullptr;
  TfrxDesignerWorkspace::TObjectList Objects, Selected;
  std::vector<TfrxBand*> Bands;
  std::vector<TfrxMemoView*> Memos;
  std::vector<TfrxLineView*> Lines;

  TSurface() {
    Page = new TfrxReportPage(&Report);
    Form = std::make_unique<TForm>(nullptr);
    Ws = new TBenchWorkspace(Form.get());
    Ws->SetParent(Form.get());
    Ws->SetLists(&Objects, &Selected);
    Ws->SetPage(Page);
    Ws->SetGridType(gkCm);
    Ws->SetGridX(frx_units::PixPerMM);
    Ws->SetGridY(frx_units::PixPerMM);
    for (int b = 0; b < kBands; ++b) {
      auto* band = new TfrxMasterData(Page);
      band->SetName("MasterData" + std::to_string(b + 1));
      band->SetBounds(0, 20 + b * (kBandHeight + 20), kWidth, kBandHeight);
      Bands.push_back(band);
      Objects.push_back(band);
    }
    for (int i = 0; i < kMemos; ++i) {
      TfrxBand* band = Bands[static_cast<size_t>(i % kBands)];
      auto* m = new TfrxMemoView(band);
      int slot = i / kBands;
      m->SetBounds(8 + slot * 54, 4 + (slot % 2) * 24, 50, 20);
      m->SetText("Memo " + std::to_string(i));
      if (i % 2 == 0) m->Frame()->SetTyp({ftLeft, ftRight, ftTop, ftBottom});
      Memos.push_back(m);
      Objects.push_back(m);
    }
    for (int b = 0; b < kBands; ++b) {
      auto* l = new TfrxLineView(Bands[static_cast<size_t>(b)]);
      l->SetBounds(0, kBandHeight - 4, kWidth - 20, 0);
      Lines.push_back(l);
      Objects.push_back(l);
    }
    Ws->ArrangeBands();
    TfrxBand* last = Bands.back();
    Ws->SetBounds(0, 0, kWidth, static_cast<int>(last->Top() + last->Height()) + 10);
    Selected.push_back(Page);
  }
};

TSurface& Surface() {
  static TSurface s;
  return s;
}

void BM_Repaint(benchmark::State& state) {
  TSurface& s = Surface();
  TBitmap bmp;
  bmp.SetSize(s.Ws->Width(), s.Ws->Height());
  TRect all{0, 0, s.Ws->Width(), s.Ws->Height()};
  for (auto _ : state) {
    s.Ws->PaintTo(bmp.Canvas(), all);
    benchmark::DoNotOptimize(bmp.Canvas()->Pixels(10, 10));
  }
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);

// The same grid lines, band frames and strips with their captions, memo texts, frames and
// lines, drawn straight with QPainter.
void BM_QPainterRepaint(benchmark::State& state) {
  TSurface& s = Surface();
  struct TItem {
    QRect R;
    QString Text;
    bool Frame;
  };
  std::vector<TItem> memos;
  for (TfrxMemoView* m : s.Memos)
    memos.push_back({QRect(int(m->AbsLeft()), int(m->AbsTop()), int(m->Width()), int(m->Height())),
                     QString::fromUtf8(m->Text().c_str()), m->Frame()->Typ().Contains(ftLeft)});
  std::vector<std::pair<QRect, QString>> bands;
  for (TfrxBand* b : s.Bands)
    bands.push_back({QRect(0, int(b->Top() - s.Ws->CaptionHeight()), int(b->Width()), int(b->Height() + s.Ws->CaptionHeight())),
                     QString::fromUtf8((b->KindName() + ": " + b->Name()).c_str())});
  QImage image(s.Ws->Width(), s.Ws->Height(), QImage::Format_RGB32);
  QFont bandFont("Tahoma", 8, QFont::Bold);
  QFont memoFont("Arial", 10);
  const double step = frx_units::PixPerMM;
  for (auto _ : state) {
    QPainter p(&image);
    p.fillRect(image.rect(), Qt::white);
    int far = std::max(image.width(), image.height());
    for (int k = 0; k * step < far; ++k) {
      if (k % 5 != 0) continue;
      p.setPen(k % 10 == 0 ? QColor(0xE8, 0xE8, 0xE8) : QColor(0xF8, 0xF8, 0xF8));
      int at = int(k * step + 0.5);
      p.drawLine(at, 0, at, image.height());
      p.drawLine(0, at, image.width(), at);
    }
    p.setFont(bandFont);
    for (const auto& [r, text] : bands) {
      p.setPen(QColor(0x80, 0x80, 0x80));
      p.drawRect(r);
      p.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 1, int(s.Ws->CaptionHeight()) - 1), QColor(0x00, 0xBB, 0xEE));
      p.setPen(Qt::black);
      p.drawText(r.left() + 6, r.top() + 14, text);
    }
    p.setFont(memoFont);
    for (const TItem& m : memos) {
      p.fillRect(m.R, Qt::white);
      p.setPen(Qt::black);
      if (m.Frame) p.drawRect(m.R);
      else {
        p.drawLine(m.R.topLeft(), m.R.topLeft() + QPoint(4, 0));
        p.drawLine(m.R.bottomRight(), m.R.bottomRight() - QPoint(4, 0));
      }
      p.drawText(m.R.adjusted(2, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop, m.Text);
    }
    for (TfrxLineView* l : s.Lines) {
      int y = int(l->AbsTop());
      p.drawLine(int(l->AbsLeft()), y, int(l->AbsLeft() + l->Width()), y);
    }
    p.end();
    benchmark::DoNotOptimize(image.pixel(10, 10));
  }
}
BENCHMARK(BM_QPainterRepaint)->Unit(benchmark::kMillisecond);

// Every fifth memo is selected and dragged by two grid steps, alternately right and left;
// only the release is timed.
void BM_ReleaseAfterDrag(benchmark::State& state) {
  TSurface& s = Surface();
  s.Selected.clear();
  for (int i = 0; i < kMoved; ++i) s.Selected.push_back(s.Memos[static_cast<size_t>(i * 5)]);
  TfrxMemoView* grip = s.Memos[0];
  int x = int(grip->AbsLeft()) + 20, y = int(grip->AbsTop()) + 10;
  int dir = 8;
  for (auto _ : state) {
    state.PauseTiming();
    s.Ws->MouseMove({}, x, y);
    s.Ws->MouseDown(mbLeft, {ssLeft}, x, y);
    s.Ws->MouseMove({ssLeft}, x + dir, y);
    state.ResumeTiming();
    s.Ws->MouseUp(mbLeft, {}, x + dir, y);
    state.PauseTiming();
    x += dir;
    dir = -dir;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReleaseAfterDrag)->Unit(benchmark::kMicrosecond);

void BM_DirectBounds(benchmark::State& state) {
  TSurface& s = Surface();
  std::vector<TfrxMemoView*> moved;
  for (int i = 0; i < kMoved; ++i) moved.push_back(s.Memos[static_cast<size_t>(i * 5)]);
  double dir = 2 * frx_units::PixPerMM;
  for (auto _ : state) {
    for (TfrxMemoView* m : moved) {
      m->SetBounds(m->Left() + dir, m->Top(), m->Width(), m->Height());
      m->SetParent(m->Parent());
    }
    dir = -dir;
  }
}
BENCHMARK(BM_DirectBounds)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"full repaint of 40 bands, 500 memos and 40 lines against bare QPainter", "BM_Repaint", "BM_QPainterRepaint", 4.0},
        {"release after dragging 100 memos against setting their bounds and parents", "BM_ReleaseAfterDrag",
         "BM_DirectBounds", 3.0},
    });
  });
}
