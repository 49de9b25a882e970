// The designer's undo buffer and clipboard on a report of 500 objects (10 bands of 49 memos):
// 1,000 changes, each leaving a snapshot, then 1,000 undo commands, against 1,000 plain
// saves and 1,000 plain loads of the same report; and copy and paste of every object against
// the serializer's attribute text and object-from-text on the same objects; and the object
// inspector showing one memo (its rows built and painted) against building its rows alone.
#include "BenchUtil.h"
#include "core/Streams.h"
#include "gui/Application.h"
#include "gui/Clipbrd.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/designer/frxDesgnEditors.h"
#include "report/designer/frxInsp.h"
#include "gui/ExtCtrls.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPropertyList.h"
#include "report/frxXMLSerializer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kChanges = 1000;

// The designer window's handling of a change: a snapshot, and nothing left to redo.
class TBenchDesigner : public TfrxCustomDesigner {
public:
  explicit TBenchDesigner(TfrxReport* R) : TfrxCustomDesigner(nullptr, R) {}
  TfrxUndoBuffer Undo;
  void FlagModified(bool Value) override {
    TfrxCustomDesigner::FlagModified(Value);
    if (!Value) return;
    Undo.AddUndo(Report());
    Undo.ClearRedo();
  }
  void CurrentCodeLines(TStrings*) override {}
  bool AskExpression(String&) override { return false; }
  void DropSelection() override { SelectedObjects().clear(); }
  void RebuildPageTabs(int) override {}
  void RefreshFromReport() override {}
  void RefreshDataTree() override {}
  void RepaintPage() override {}
};

struct TBenchReport {
  TfrxReport Report{nullptr};
  TfrxReportPage* Page;
  std::vector<TfrxComponent*> All;
  TBenchReport() {
    Page = new TfrxReportPage(&Report);
    Page->SetName("Page1");
    for (int b = 0; b < 10; ++b) {
      auto* band = new TfrxMasterData(Page);
      band->SetName("MasterData" + std::to_string(b + 1));
      band->SetTop(b * 60);
      band->SetHeight(50);
      All.push_back(band);
      for (int m = 0; m < 49; ++m) {
        auto* memo = new TfrxMemoView(band);
        memo->SetName("Memo" + std::to_string(b * 49 + m + 1));
        memo->SetLeft(m * 14);
        memo->SetWidth(14);
        memo->SetHeight(18);
        memo->SetText("[Customers.\"Name\"] " + std::to_string(m));
        All.push_back(memo);
      }
    }
  }
};

double gSnapshotBytes = 0;

void BM_UndoBufferChangesAndUndos(benchmark::State& state) {
  for (auto _ : state) {
    TBenchReport r;
    TBenchDesigner d(&r.Report);
    d.Undo.AddUndo(&r.Report);
    for (int i = 0; i < kChanges; ++i) {
      // Objects are looked up again: an undo reads a new report.
      static_cast<TfrxComponent*>(r.Report.FindObject("Memo1"))->SetLeft(i);
      d.FlagModified(true);
    }
    gSnapshotBytes = static_cast<double>(d.Undo.Size());
    for (int i = 0; i < kChanges; ++i) {
      d.Undo.AddRedo(&r.Report);
      d.Undo.Undo(&r.Report);
    }
    benchmark::DoNotOptimize(d.Undo.RedoCount());
  }
  state.counters["snapshot_bytes"] = gSnapshotBytes;
}
BENCHMARK(BM_UndoBufferChangesAndUndos)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PlainSavesAndLoads(benchmark::State& state) {
  for (auto _ : state) {
    TBenchReport r;
    TMemoryStream s;
    for (int i = 0; i < kChanges; ++i) {
      static_cast<TfrxComponent*>(r.Report.FindObject("Memo1"))->SetLeft(i);
      s.SetSize(0);
      r.Report.SaveToStream(&s, true, false);
    }
    for (int i = 0; i < kChanges; ++i) {
      s.SetPosition(0);
      r.Report.LoadFromStream(&s);
    }
    benchmark::DoNotOptimize(s.Size());
  }
}
BENCHMARK(BM_PlainSavesAndLoads)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_CopyPasteAll(benchmark::State& state) {
  TBenchReport r;
  TBenchDesigner d(&r.Report);
  d.ChangePage(r.Page);
  TfrxClipboard clip(&d);
  for (auto _ : state) {
    d.SelectedObjects().assign(r.All.begin(), r.All.end());
    clip.Copy();
    d.Objects().clear();
    clip.Paste();
    state.PauseTiming();
    std::vector<TfrxComponent*> placed = d.SelectedObjects();
    for (TfrxComponent* o : placed) delete o;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CopyPasteAll)->Unit(benchmark::kMillisecond);

void BM_AttributesAndObjectFromText(benchmark::State& state) {
  TBenchReport r;
  for (auto _ : state) {
    TfrxXMLSerializer s(nullptr);
    s.SetOwner(&r.Report);
    std::vector<TfrxComponent*> made;
    for (TfrxComponent* c : r.All) {
      String text = c->ClassName() + s.PropsToAttributes(c, String());
      made.push_back(s.ObjectFromText(&r.Report, text));
    }
    state.PauseTiming();
    for (TfrxComponent* c : made) delete c;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AttributesAndObjectFromText)->Unit(benchmark::kMillisecond);

void BM_InspectOneMemo(benchmark::State& state) {
  TBenchReport r;
  auto* d = new TBenchDesigner(&r.Report);
  auto* insp = new TfrxObjectInspector(d);
  insp->Show();
  std::vector<TObject*> selection{r.All[1]};
  for (auto _ : state) {
    insp->InspectSelection(&selection);
    insp->PB->Repaint();
  }
  delete d;
}
BENCHMARK(BM_InspectOneMemo)->Unit(benchmark::kMicrosecond);

void BM_BuildCommonPropertyList(benchmark::State& state) {
  TBenchReport r;
  TBenchDesigner d(&r.Report);
  std::vector<TObject*> selection{r.All[1]};
  for (auto _ : state) benchmark::DoNotOptimize(BuildCommonPropertyList(selection, &d));
}
BENCHMARK(BM_BuildCommonPropertyList)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  RegisterDesignerEditors();
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\nsnapshots of 1,000 changes hold %.0f bytes\n", gSnapshotBytes);
    bench::PrintRatioRows(times, {
        {"1,000 changes and 1,000 undos against 1,000 saves and 1,000 loads", "BM_UndoBufferChangesAndUndos/iterations:1",
         "BM_PlainSavesAndLoads/iterations:1", 1.3},
        {"copy and paste of 500 objects against attribute text and object from text",
         "BM_CopyPasteAll", "BM_AttributesAndObjectFromText", 2.0},
        {"inspecting one memo with its paint against building its property list", "BM_InspectOneMemo",
         "BM_BuildCommonPropertyList", 2.0},
    });
  });
}
