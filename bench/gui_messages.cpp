// The message layer's own costs: a message through WindowProc/WndProc/Dispatch, a posted
// message through the queue, a typed key from the Qt event to OnKeyPress, and a full repaint
// of a 1000 x 700 custom control through the window (erase, paint into the buffer, show)
// against the same picture drawn straight into an image. The ratio of the last pair is
// printed at the end; the window path (paint into the window's pixels and show them) should
// stay within 1.5 times the bare drawing.
#include "BenchUtil.h"
#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/QtGlue_p.h"
#include "gui/Graphics_p.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

class TCounter : public TWinControl {
public:
  using TWinControl::TWinControl;
  long Count = 0;
  void Dispatch(TMessage& M) override {
    if (M.Msg == WM_USER + 1) {
      ++Count;
      return;
    }
    TWinControl::Dispatch(M);
  }
};

void BM_Perform(benchmark::State& state) {
  TCounter c(nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(c.Perform(WM_USER + 1, 1, 2));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Perform);

void BM_SendMessage(benchmark::State& state) {
  TCounter c(nullptr);
  HWND h = c.Handle();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(h, WM_USER + 1, 1, 2));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendMessage);

void BM_PostAndDrain1000(benchmark::State& state) {
  TCounter c(nullptr);
  HWND h = c.Handle();
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) PostMessage(h, WM_USER + 1, i, 0);
    Application->ProcessMessages();
  }
  if (c.Count != static_cast<long>(state.iterations()) * 1000) state.SkipWithError("messages lost");
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_PostAndDrain1000);

class TTyped : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  long Chars = 0;

protected:
  void KeyPress(Char& Key) override { ++Chars; }
};

void BM_TypedKey(benchmark::State& state) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* t = new TTyped(&form);
  t->SetBounds(0, 0, 100, 50);
  t->SetTabStop(true);
  t->SetParent(&form);
  form.Show();
  t->SetFocus();
  QWidget* w = gui_glue::TAccess::Widget(t);
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(w, &release);
  }
  Application->ProcessMessages();
  if (t->Chars != static_cast<long>(state.iterations())) state.SkipWithError("characters lost");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TypedKey);

// ---------------------------------------------------------------- repaint

constexpr int kW = 1000, kH = 700;

void DrawPicture(TCanvas* c) {
  c->Brush()->SetColor(clWindow);
  c->FillRect(Rect(0, 0, kW, kH));
  c->Pen()->SetColor(clSilver);
  for (int x = 0; x < kW; x += 50) {
    c->MoveTo(x, 0);
    c->LineTo(x, kH);
  }
  for (int y = 0; y < kH; y += 17) {
    c->MoveTo(0, y);
    c->LineTo(kW, y);
  }
  c->Brush()->SetColor(clHighlight);
  for (int i = 0; i < 40; ++i) c->FillRect(Bounds((i * 97) % 950, (i * 53) % 680, 48, 16));
}

// Paints every pixel itself, so it leaves the background alone, as a grid does.
class TPictureControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void Dispatch(TMessage& M) override {
    if (M.Msg == WM_ERASEBKGND) {
      M.Result = 1;
      return;
    }
    TCustomControl::Dispatch(M);
  }

protected:
  void Paint() override { DrawPicture(Canvas()); }
};

void BM_RepaintThroughWindow(benchmark::State& state) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, kW, kH);
  auto* p = new TPictureControl(&form);
  p->SetBounds(0, 0, kW, kH);
  p->SetParent(&form);
  form.Show();
  p->Repaint();
  for (auto _ : state) p->Repaint();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RepaintThroughWindow)->Unit(benchmark::kMillisecond);

void BM_DrawIntoImage(benchmark::State& state) {
  QImage img(kW, kH, QImage::Format_RGB32);
  TCanvas c(CreateImageDC(&img));
  for (auto _ : state) DrawPicture(&c);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawIntoImage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatio("repaint through the window against bare drawing", times.Ratio("BM_RepaintThroughWindow", "BM_DrawIntoImage"),
                      1.5);
  });
  DoneApplication();
  return rc;
}
