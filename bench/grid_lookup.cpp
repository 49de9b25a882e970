// The lookup grid and the tree view. Typing "z", "h" into a lookup grid over 100,000 SQLite
// list rows of which only the last starts with "zh", against two bare First/Next walks that
// compare upper-cased prefixes ("Z", then "ZH"); and a full repaint of a 40-row page of the
// record-position view drawn as a tree (levels 1 to 6) against the same grid drawn flat.
// Goals: the search within 2x its walks, the tree within 1.5x the flat page.
#include "BenchDb.h"
#include "BenchQuery.h"
#include "BenchUtil.h"
#include "../tests/grid/TreeMemTable.h"
#include "core/StrUtils.h"
#include "data/ADODB.h"
#include "grid/DBLookupGridEh.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/QtGlue_p.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 100000;
constexpr int kTreeRows = 400;
constexpr int kPageRows = 40;

using bench::Clock;
using bench::Seconds;

// ================================================================ the lookup search

struct TLookupScene {
  bench::TBenchDb Db{"kelm-gridlookup", "name", kRows, [](int i) {
      return (i == kRows - 1 ? "zh合同" : "合同") + std::to_string(100000 + i);
    }};
  TForm* Form = nullptr;
  TADOQuery* Query = nullptr;
  TDBLookupGridEh* Grid = nullptr;

  TLookupScene() {
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 400, 300);
    bench::TBenchQuery q = bench::NewBenchQuery(Form, Db.ConnectionString(), "select * from pact");
    Query = q.Query;
    auto* source = q.Source;
    Query->Open();
    Grid = new TDBLookupGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 380, 200);
    Grid->SetKeyField("id");
    Grid->SetListField("name");
    Grid->SetListSource(source);
    Form->Show();
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  ~TLookupScene() { delete Form; }
};

std::unique_ptr<TLookupScene> GLookup;

TLookupScene& Lookup() {
  if (!GLookup) GLookup = std::make_unique<TLookupScene>();
  return *GLookup;
}

void SendKey(TWinControl* To, int Key, const QString& Text) {
  QWidget* w = gui_glue::TAccess::Widget(To);
  QKeyEvent press(QEvent::KeyPress, Key, Qt::NoModifier, Text);
  QApplication::sendEvent(w, &press);
  Application->ProcessMessages();
  QKeyEvent release(QEvent::KeyRelease, Key, Qt::NoModifier, Text);
  QApplication::sendEvent(w, &release);
  Application->ProcessMessages();
}

void BM_PrefixWalks(benchmark::State& state) {
  TDataSet* ds = Lookup().Query;
  TField* name = ds->FieldByName("name");
  for (auto _ : state) {
    auto t0 = Clock::now();
    int found = 0;
    for (const char* prefix : {"Z", "ZH"}) {
      TControlsHold hold(ds);
      for (ds->First(); !ds->Eof(); ds->Next())
        if (AnsiUpperCase(name->Text()).rfind(prefix, 0) == 0) {
          ++found;
          break;
        }
    }
    state.SetIterationTime(Seconds(t0, Clock::now()));
    if (found != 2) state.SkipWithError("the walks did not find the last record");
  }
}
BENCHMARK(BM_PrefixWalks)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LookupTyping(benchmark::State& state) {
  TLookupScene& s = Lookup();
  for (auto _ : state) {
    SendKey(s.Grid, Qt::Key_Backspace, "\b");  // a new search
    s.Query->First();
    auto t0 = Clock::now();
    SendKey(s.Grid, Qt::Key_Z, "z");
    SendKey(s.Grid, Qt::Key_H, "h");
    state.SetIterationTime(Seconds(t0, Clock::now()));
    if (s.Grid->TypedPrefix() != "zh" || s.Query->RecNo() != kRows) state.SkipWithError("the search missed the record");
  }
}
BENCHMARK(BM_LookupTyping)->UseManualTime()->Unit(benchmark::kMillisecond);

// ================================================================ the tree page

// Records nested six deep and back, a page of 40 rows shown.
struct TTreeScene {
  TForm* Form = nullptr;
  TTreeMemTable* Table = nullptr;
  TDBGridEh* Grid = nullptr;
  std::unique_ptr<TBitmap> Target;

  TTreeScene() {
    Form = new TForm(Application);
    Table = new TTreeMemTable(Form);
    int parents[7] = {0};
    for (int i = 1; i <= kTreeRows; ++i) {
      int level = 1 + (i - 1) % 6;  // 1, 2, ... 6, 1, 2, ...
      Table->Node(i, parents[level - 1], "节点" + IntToStr(i));
      parents[level] = i;
    }
    Table->Open();
    auto* source = new TDataSource(Form);
    source->SetDataSet(Table);
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->Columns()->AddColumn()->SetFieldName("Name");
    Grid->Columns()->Items(0)->SetWidth(200);
    Grid->Columns()->AddColumn()->SetFieldName("Id");
    Grid->SetDataSource(source);
    Form->Show();
    int line = Grid->GridLineWidth();
    int h = Grid->RowHeights(0) + line + kPageRows * (Grid->DefaultRowHeight() + line) + 4;
    Form->SetBounds(0, 0, 400, h + 40);
    Grid->SetBounds(0, 0, 380, h);
    Application->ProcessMessages();
    Target = std::make_unique<TBitmap>();
    Target->SetSize(Grid->Width(), Grid->Height());
  }
  ~TTreeScene() { delete Form; }
};

std::unique_ptr<TTreeScene> GTree;

TTreeScene& Tree() {
  if (!GTree) GTree = std::make_unique<TTreeScene>();
  return *GTree;
}

void Repaint(benchmark::State& state, bool AsTree) {
  TTreeScene& s = Tree();
  s.Table->TreeView = AsTree;
  s.Grid->Invalidate();
  for (auto _ : state) {
    auto t0 = Clock::now();
    s.Grid->PaintTo(s.Target->Canvas(), 0, 0);
    state.SetIterationTime(Seconds(t0, Clock::now()));
  }
  if (s.Grid->VisibleRowCount() < kPageRows) state.SkipWithError("the page shows fewer rows");
}

void BM_FlatRepaint(benchmark::State& state) { Repaint(state, false); }
BENCHMARK(BM_FlatRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);
void BM_TreeRepaint(benchmark::State& state) { Repaint(state, true); }
BENCHMARK(BM_TreeRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatioRows(times, {{"lookup typing z, h against the prefix walks", "BM_LookupTyping/manual_time",
                                   "BM_PrefixWalks/manual_time", 2.0},
                                  {"tree page repaint against the flat page", "BM_TreeRepaint/manual_time",
                                   "BM_FlatRepaint/manual_time", 1.5}});
  });
  GLookup.reset();
  GTree.reset();
  DoneApplication();
  return rc;
}
