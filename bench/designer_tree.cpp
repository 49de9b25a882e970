// The designer's report tree (rebuilt after every change) on a report of 2,000 objects
// (20 bands of 99 memos on one page) against filling a plain tree view with the same names,
// nesting and images.
#include "BenchUtil.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/TreeView.h"
#include "report/designer/frxDesgnEditors.h"
#include "report/designer/frxReportTree.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

class TBenchDesigner : public TfrxCustomDesigner {
public:
  explicit TBenchDesigner(TfrxReport* R) : TfrxCustomDesigner(nullptr, R) {}
  void CurrentCodeLines(TStrings*) override {}
  bool AskExpression(String&) override { return false; }
  void DropSelection() override {}
  void RebuildPageTabs(int) override {}
  void RefreshFromReport() override {}
  void RefreshDataTree() override {}
  void RepaintPage() override {}
};

struct TBenchReport {
  TfrxReport Report{nullptr};
  TfrxReportPage* Page;
  TBenchReport() {
    Page = new TfrxReportPage(&Report);
    Page->SetName("Page1");
    for (int b = 0; b < 20; ++b) {
      auto* band = new TfrxMasterData(Page);
      band->SetName("MasterData" + std::to_string(b + 1));
      for (int m = 0; m < 99; ++m) new TfrxMemoView(band);
      for (int m = 0; m < 99; ++m) band->Objects(m)->SetName("Memo" + std::to_string(b * 99 + m + 1));
    }
  }
};

void BM_RebuildTree(benchmark::State& state) {
  TBenchReport r;
  TBenchDesigner d(&r.Report);
  auto* tree = new TfrxReportTreeForm(&d);
  tree->InitForm();
  tree->Show();
  d.SelectedObjects().assign(1, r.Page->Objects(19)->Objects(98));  // the last memo
  for (auto _ : state) {
    tree->RebuildTree();
    benchmark::DoNotOptimize(tree->Tree->Items()->Count());
  }
  state.counters["nodes"] = tree->Tree->Items()->Count();
}
BENCHMARK(BM_RebuildTree)->Unit(benchmark::kMillisecond);

// The same nodes straight into a tree view: what a hand-written window would do.
void AddPlain(TTreeView* View, TTreeNode* Parent, TfrxComponent* Object, TfrxComponent* Wanted, TTreeNode*& Found) {
  TTreeNode* node = View->Items()->AddChildObject(Parent, Object->Name(), Object);
  const int image = TfrxReportTreeForm::ImageOf(Object);
  node->SetImageIndex(image);
  node->SetSelectedIndex(image);
  if (Object == Wanted) Found = node;
  for (int i = 0; i < Object->ObjectCount(); ++i) AddPlain(View, node, Object->Objects(i), Wanted, Found);
}

void BM_PlainTreeView(benchmark::State& state) {
  TBenchReport r;
  TForm form(nullptr);
  auto* view = new TTreeView(&form);
  view->SetParent(&form);
  view->SetAlign(alClient);
  view->SetImages(ReportResources()->ToolImages());
  form.SetBounds(0, 0, 179, 319);  // the report tree's size
  form.Show();
  TfrxComponent* last = r.Page->Objects(19)->Objects(98);
  for (auto _ : state) {
    view->Items()->BeginUpdate();
    view->Items()->Clear();
    TTreeNode* found = nullptr;
    AddPlain(view, nullptr, &r.Report, last, found);
    view->FullExpand();
    view->Items()->EndUpdate();
    view->SetSelected(found);
    view->SetTopItem(found);
    benchmark::DoNotOptimize(view->Items()->Count());
  }
}
BENCHMARK(BM_PlainTreeView)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatioRows(times, {
        {"report tree of 2,000 objects against a plain tree view of the same nodes", "BM_RebuildTree",
         "BM_PlainTreeView", 1.5},
    });
  });
}
