// The grid's find dialog: "Find" over "<全部>" (three columns) in a grid over 100,000 SQLite
// rows for a text only the last record holds, against a bare First/Next walk upper-casing
// the same display texts; and Enter on ">50000" typed in the amount's filter cell (an OnApplyFilter
// reopening the query with the value bound, two footer sums recalculated, the grid painted)
// against that statement through bare SQLite with a walk summing the amount. Goals: within 2x
// the walk, within 3x the bare statement.
#include "BenchDb.h"
#include "BenchQuery.h"
#include "BenchUtil.h"
#include "core/StrUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEhFilterEdit.h"
#include "grid/DBGridEhFindDlg.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhColumn.h"
#include "grid/DBGridEhColumnParts.h"
#include "grid/DBGridEhLink.h"
#include "grid/DBSumLst.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 100000;

using bench::Clock;
using bench::Seconds;

String NameOf(int i) { return (i == kRows - 1 ? "zh合同" : "合同") + std::to_string(100000 + i); }

struct TFindScene {
  bench::TBenchDb Db{"kelm-gridfind", "name", kRows, NameOf};
  TForm* Form = nullptr;
  TADOQuery* Query = nullptr;
  TDBGridEh* Grid = nullptr;

  TFindScene() {
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 500, 300);
    bench::TBenchQuery q = bench::NewBenchQuery(Form, Db.ConnectionString(), "select id, name, amount from pact");
    Query = q.Query;
    auto* source = q.Source;
    Query->Open();
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 480, 260);
    for (const char* f : {"id", "name", "amount"}) Grid->Columns()->AddColumn()->SetFieldName(f);
    Grid->SetDataSource(source);
    Form->Show();
    Application->ProcessMessages();
  }
  ~TFindScene() {
    delete DBGridEhFindDlg();
    delete Form;
  }
};

std::unique_ptr<TFindScene> GFind;

TFindScene& Find() {
  if (!GFind) GFind = std::make_unique<TFindScene>();
  return *GFind;
}

const String kWanted = "ZH合同" + std::to_string(100000 + kRows - 1);

void BM_UpperCaseWalk(benchmark::State& state) {
  TDataSet* ds = Find().Query;
  TField* fields[] = {ds->FieldByName("id"), ds->FieldByName("name"), ds->FieldByName("amount")};
  for (auto _ : state) {
    auto t0 = Clock::now();
    int found = 0;
    {
      TControlsHold hold(ds);
      for (ds->First(); !ds->Eof() && !found; ds->Next())
        for (TField* f : fields)
          if (AnsiUpperCase(f->DisplayText()).find(kWanted) != String::npos) {
            found = ds->RecNo();
            break;
          }
    }
    state.SetIterationTime(Seconds(t0, Clock::now()));
    if (found != kRows) state.SkipWithError("the walk did not find the last record");
  }
}
BENCHMARK(BM_UpperCaseWalk)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FindAllColumns(benchmark::State& state) {
  TFindScene& s = Find();
  TDBGridEhFindDlg* dlg = DBGridEhFindDlg();
  dlg->Execute(s.Grid, kWanted, {}, false);
  Application->ProcessMessages();
  dlg->cbFindIn->SetItemIndex(dlg->cbFindIn->Items()->Count() - 1);  // <全部>
  bool lower = false;
  for (auto _ : state) {
    // A changed text makes "全部" start from the first record again.
    dlg->cbText->SetEditTextEh(lower ? AnsiLowerCase(kWanted) : kWanted);
    lower = !lower;
    s.Query->Last();
    auto t0 = Clock::now();
    bool found = dlg->FindNext(false);
    state.SetIterationTime(Seconds(t0, Clock::now()));
    if (!found || s.Query->RecNo() != kRows) state.SkipWithError("the search missed the record");
  }
  dlg->Hide();
}
BENCHMARK(BM_FindAllColumns)->UseManualTime()->Unit(benchmark::kMillisecond);

// ================================================================ applying a filter

constexpr const char* kAll = "select id, name, amount from pact";
constexpr const char* kFiltered = "select id, name, amount from pact where amount > :amount";

struct TFilterScene {
  bench::TBenchDb Db{"kelm-gridfilter", "name", kRows, NameOf};
  TForm* Form = nullptr;
  TADOQuery* Query = nullptr;
  TDBGridEh* Grid = nullptr;
  TColumnEh* Amount = nullptr;
  std::unique_ptr<TBitmap> Target;

  TFilterScene() {
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 500, 400);
    bench::TBenchQuery q = bench::NewBenchQuery(Form, Db.ConnectionString(), kAll);
    Query = q.Query;
    auto* source = q.Source;
    Query->Open();
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 480, 360);
    TColumnEh* id = Grid->Columns()->AddColumn();
    id->SetFieldName("id");
    Grid->Columns()->AddColumn()->SetFieldName("name");
    Amount = Grid->Columns()->AddColumn();
    Amount->SetFieldName("amount");
    Amount->SetDisplayFormat("#,##0.00");
    id->Footer()->SetValueType(fvtSum);
    Amount->Footer()->SetValueType(fvtSum);
    Grid->SetFooterRowCount(1);
    Grid->SumList()->SetActive(true);
    Grid->STFilter()->SetVisible(true);
    Grid->SetDataSource(source);
    // The condition's operand is bound, never written into the statement.
    Grid->OnApplyFilter = TNotifyEvent::Lambda([this](TObject*) {
      const TSTFilterExpressionEh& e = Amount->STFilter()->Expression();
      Query->Close();
      Query->SQL()->SetText(e.Operator1 == foGreaterThan ? kFiltered : kAll);
      if (e.Operator1 == foGreaterThan) Query->Parameters()->ParamByName("amount")->SetValue(e.Operand1);
      Query->Open();
    });
    Form->Show();
    Application->ProcessMessages();
    Target = std::make_unique<TBitmap>();
    Target->SetSize(Grid->Width(), Grid->Height());
  }
  ~TFilterScene() { delete Form; }
  String DbFile() const {
    String s = Db.ConnectionString();  // "Data Source=<file>;"
    return s.substr(s.find('=') + 1, s.size() - s.find('=') - 2);
  }
};

std::unique_ptr<TFilterScene> GFilter;

TFilterScene& Filter() {
  if (!GFilter) GFilter = std::make_unique<TFilterScene>();
  return *GFilter;
}

// Sum of the amounts above 50000: i * 1.5 for every i with i * 1.5 > 50000.
double ExpectedSum() {
  double sum = 0;
  for (int i = 0; i < kRows; ++i)
    if (i * 1.5 > 50000) sum += i * 1.5;
  return sum;
}

void BM_BareFilteredStatement(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(Filter().DbFile().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  const double expected = ExpectedSum();
  for (auto _ : state) {
    auto t0 = Clock::now();
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "select id, name, amount from pact where amount > ?", -1, &s, nullptr);
    sqlite3_bind_double(s, 1, 50000);
    double sum = 0;
    while (sqlite3_step(s) == SQLITE_ROW) sum += sqlite3_column_double(s, 2);
    sqlite3_finalize(s);
    state.SetIterationTime(Seconds(t0, Clock::now()));
    if (sum != expected) state.SkipWithError("the walk summed the wrong rows");
  }
  sqlite3_close(db);
}
BENCHMARK(BM_BareFilteredStatement)->UseManualTime()->Unit(benchmark::kMillisecond);

// Enter in the amount's filter cell, as the user presses it, to the grid painted.
void PressEnter(TWinControl* Editor) {
  Editor->Perform(WM_KEYDOWN, VK_RETURN, 0);
  Editor->Perform(WM_CHAR, 13, 0);
  Editor->Perform(WM_KEYUP, VK_RETURN, 0);
}

void BM_ApplyAmountFilter(benchmark::State& state) {
  TFilterScene& s = Filter();
  const double expected = ExpectedSum();
  s.Grid->OpenFilterEditor(s.Amount->Index());
  TInplaceFilterEditEh* editor = s.Grid->FilterEditor();
  if (!editor || !s.Grid->FilterEditorShown()) {
    state.SkipWithError("the filter row's editor did not open");
    return;
  }
  for (auto _ : state) {
    editor->SetEditTextEh("");
    PressEnter(editor);
    editor->SetEditTextEh(">50000");  // typed before the measured key
    auto t0 = Clock::now();
    PressEnter(editor);
    s.Grid->PaintTo(s.Target->Canvas(), 0, 0);
    state.SetIterationTime(Seconds(t0, Clock::now()));
    TDBSum* sum = s.Amount->Footer()->SumItem();
    if (!sum || sum->ResultValue().ToDouble() != expected) state.SkipWithError("the footer does not sum the filtered rows");
  }
}
BENCHMARK(BM_ApplyAmountFilter)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatioRows(times, {{"find over all columns against the upper-casing walk",
                                   "BM_FindAllColumns/manual_time", "BM_UpperCaseWalk/manual_time", 2.0},
                                  {"applying the amount filter to its paint against the bare statement",
                                   "BM_ApplyAmountFilter/manual_time", "BM_BareFilteredStatement/manual_time", 3.0}});
  });
  GFind.reset();
  GFilter.reset();
  DoneApplication();
  return rc;
}
