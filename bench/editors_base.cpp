// The editor base against what a program could place instead:
// (a) PaintTo of a form of 40 editors with two buttons each against a form of 40 platform
//     edits beside 80 speed buttons;
// (b) 1,000 mouse moves over that form (hot tracking with only the changes repainted)
//     against the same moves over the platform form.
// Prints each ratio with its goal.
#include "BenchUtil.h"

#include "editors/cxEdit.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/Pictures.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kEditors = 40, kMoves = 1000, kRowHeight = 24, kWidth = 160;

// The editor base with nothing of its own: what every editor pays for frame and buttons.
class TBenchEdit : public TcxCustomEdit {
public:
  explicit TBenchEdit(TComponent* AOwner) : TcxCustomEdit(AOwner) {}
};

// A shown form of editors, or of edits with two speed buttons each; Targets lists for each
// row the controls a move over x goes to.
struct TBenchForm {
  std::unique_ptr<TForm> Form;
  std::vector<std::vector<TControl*>> Rows;

  explicit TBenchForm(bool Editors) : Form(std::make_unique<TForm>(nullptr)) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, kWidth + 10, kEditors * kRowHeight + 10);
    for (int i = 0; i < kEditors; ++i) {
      const int top = i * kRowHeight;
      if (Editors) {
        auto* e = new TBenchEdit(Form.get());
        e->SetParent(Form.get());
        e->SetAutoSize(false);
        e->SetBounds(0, top, kWidth, 21);
        e->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
        e->Properties()->Buttons()->Add()->SetKind(bkDown);
        Rows.push_back({e});
      } else {
        auto* e = new TEdit(Form.get());
        e->SetParent(Form.get());
        e->SetAutoSize(false);
        e->SetBounds(0, top, kWidth - 34, 21);
        std::vector<TControl*> row{e};
        for (int b = 0; b < 2; ++b) {
          auto* s = new TSpeedButton(Form.get());
          s->SetParent(Form.get());
          s->SetFlat(true);  // hot tracking, as the editors' buttons
          s->SetCaption(b == 0 ? "..." : "v");
          s->SetBounds(kWidth - 34 + 17 * b, top, 17, 21);
          row.push_back(s);
        }
        Rows.push_back(row);
      }
    }
    Form->Show();
    Application->ProcessMessages();
  }

  // The move i: across one row after another, each row crossed in steps over text and
  // buttons; the control under the point gets it in its own coordinates, after the leave
  // and enter notices the platform sends when the mouse passes from one control to another
  // (a flat speed button tracks its hot look by them).
  TControl* Under = nullptr;
  void Move(int i) {
    const int row = (i / 25) % kEditors;
    const int x = (i % 25) * kWidth / 25;
    for (TControl* c : Rows[row]) {
      if (x < c->Left() || x >= c->Left() + c->Width()) continue;
      if (c != Under) {
        if (Under) Under->Perform(CM_MOUSELEAVE, 0, 0);
        c->Perform(CM_MOUSEENTER, 0, 0);
        Under = c;
      }
      c->Perform(WM_MOUSEMOVE, 0, MakeLParam(x - c->Left(), 8));
      break;
    }
  }
};

void Paints(benchmark::State& state, bool Editors) {
  TBenchForm f(Editors);
  TBitmap target;
  target.SetSize(f.Form->Width(), f.Form->Height());
  for (auto _ : state) {
    f.Form->PaintTo(target.Canvas(), 0, 0);
    benchmark::DoNotOptimize(target.ScanLine(0));
  }
}
void BM_EditorFormPaints(benchmark::State& state) { Paints(state, true); }
BENCHMARK(BM_EditorFormPaints)->Unit(benchmark::kMillisecond);
void BM_PlatformFormPaints(benchmark::State& state) { Paints(state, false); }
BENCHMARK(BM_PlatformFormPaints)->Unit(benchmark::kMillisecond);

void Moves(benchmark::State& state, bool Editors) {
  TBenchForm f(Editors);
  for (auto _ : state) {
    for (int i = 0; i < kMoves; ++i) {
      f.Move(i);
      if (i % 25 == 24) Application->ProcessMessages();  // the repaints of a row
    }
    Application->ProcessMessages();
  }
}
void BM_EditorFormMoves(benchmark::State& state) { Moves(state, true); }
BENCHMARK(BM_EditorFormMoves)->Unit(benchmark::kMillisecond);
void BM_PlatformFormMoves(benchmark::State& state) { Moves(state, false); }
BENCHMARK(BM_PlatformFormMoves)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"paint a form of 40 editors with two buttons against 40 edits and 80 speed buttons",
         "BM_EditorFormPaints", "BM_PlatformFormPaints", 2},
        {"1,000 mouse moves over the editors against the same over the platform form", "BM_EditorFormMoves",
         "BM_PlatformFormMoves", 2},
    });
  });
  DoneApplication();
  return rc;
}
