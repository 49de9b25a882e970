// The contract list over 20,000 contracts of this month with five fund-plan rows each, as
// the program shows it (the main window with the list as its first child), against the same
// statements run through the data module's OpenQuery on bare queries:
//   (a) an empty-key search from the click to the first paint, against opening the search
//       statement and walking it once; aim <= 3x;
//   (b) one move of the current contract (the details with their titles, the notes, the
//       panels and the totals), against opening the move's statements; aim <= 2x; the
//       repaint that follows is reported beside it;
//   (c) a state change over 1,000 selected contracts, against 1,000 UPDATE statements in one
//       transaction; aim <= 3x.
// Both sides run in each iteration; the ratios are printed under the table.
#include "BenchProgram.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmPact.h"
#include "core/DateUtils.h"
#include "core/FileUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"
#include "gui/Forms.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <vector>

namespace {

using bench::Clock;
using bench::Ms;

constexpr int kContracts = 20000;
constexpr int kFundRows = 5;
constexpr int kSelected = 1000;

String CodeOf(int i) { return "HT" + std::to_string(100000 + i); }

// Writes the contracts, their customers, projects and fund plans straight into the file.
void FillDatabase(const String& File, TDateTime Today) {
  sqlite3* db = nullptr;
  sqlite3_open(File.c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* pact = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO t_pact (PactCode, PactName, PactType, typecode, PactMoney, CustName, PrjName, PrjMan, "
                     "PactDate, PactNote, f_check) VALUES (?, ?, '施工合同', '0101', ?, ?, ?, '张工', ?, '说明', '执行中')",
                     -1, &pact, nullptr);
  sqlite3_stmt* zj = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO t_pact_zj (PactCode, zjtype, money, jhdate, f_check) VALUES (?, ?, ?, ?, ?)", -1, &zj,
                     nullptr);
  for (int i = 0; i < kContracts; ++i) {
    String code = CodeOf(i), name = "合同" + std::to_string(i), cust = "客户" + std::to_string(i % 200),
           prj = "项目" + std::to_string(i % 300);
    sqlite3_bind_text(pact, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(pact, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(pact, 3, 1000.0 + i);
    sqlite3_bind_text(pact, 4, cust.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(pact, 5, prj.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(pact, 6, Today);
    sqlite3_step(pact);
    sqlite3_reset(pact);
    for (int k = 0; k < kFundRows; ++k) {
      sqlite3_bind_text(zj, 1, code.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(zj, 2, k % 2 ? "付款" : "收款", -1, SQLITE_STATIC);
      sqlite3_bind_double(zj, 3, 100.0 * (k + 1));
      sqlite3_bind_double(zj, 4, Today + 10 * k);
      sqlite3_bind_text(zj, 5, k < 2 ? "已完成" : "未完成", -1, SQLITE_STATIC);
      sqlite3_step(zj);
      sqlite3_reset(zj);
    }
  }
  for (int c = 0; c < 200; ++c) {
    String sql = "INSERT INTO t_custom (CustCode, CustName, CustType) VALUES ('KH" + std::to_string(c) + "', '客户" +
                 std::to_string(c) + "', '客户')";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  }
  for (int p = 0; p < 300; ++p) {
    String sql = "INSERT INTO dict_prj (PrjCode, PrjName, PrjType) VALUES ('XM" + std::to_string(p) + "', '项目" +
                 std::to_string(p) + "', '桥梁')";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  }
  sqlite3_finalize(pact);
  sqlite3_finalize(zj);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// The program over the filled database, the main window shown with the contract list.
class TPactBench : public bench::TBenchProgram {
public:
  TPactBench() : TBenchProgram("kelm-bench-pact", [](const String& File) { FillDatabase(File, Date()); }) {
    Start();
    List = frmPact;
  }

  TfrmPact* List = nullptr;
};

TPactBench& Fixture() {
  static TPactBench* f = new TPactBench();  // kept to the end: the application frees its windows
  return *f;
}

void BM_EmptyKeySearch(benchmark::State& state) {
  TPactBench& f = Fixture();
  if (!bench::TimeSearchAgainstOpen(state, f.List->Btn_Search, f.List->dgPact, Frm_Data->qryPact, f.Bare, kContracts))
    state.SkipWithError("not every contract");
}
BENCHMARK(BM_EmptyKeySearch)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The statements one move runs: the four details, the customer, the project, the four totals.
std::vector<String> MoveStatements(const String& Code, const String& Cust, const String& Prj) {
  std::vector<String> s;
  for (const char* t : {"t_pact_doc", "t_pact_zj", "t_pact_jh", "t_pact_fp"})
    s.push_back(String("select * from ") + t + " where pactcode=" + SqlStr(Code));
  s.push_back("select * from t_custom where custname=" + SqlStr(Cust));
  s.push_back("select * from dict_prj where prjname=" + SqlStr(Prj));
  for (const char* kind : {"收款", "付款"})
    for (const char* done : {"", " and f_check='已完成'"})
      s.push_back("select iif(isnull(sum(money)),0,sum(money)) from t_pact_zj where pactcode=" + SqlStr(Code) +
                  " and zjtype=" + SqlStr(kind) + done);
  return s;
}

void BM_MoveCurrentContract(benchmark::State& state) {
  TPactBench& f = Fixture();
  TADOQuery* pact = Frm_Data->qryPact;
  pact->First();
  Application->ProcessMessages();
  double list = 0, bare = 0, paint = 0;
  bool forward = true;
  for (auto _ : state) {
    auto t0 = Clock::now();
    if (forward) pact->Next();
    else pact->Prior();
    auto t1 = Clock::now();
    // The repaint that follows (the contract grid's) is reported beside the move.
    Application->ProcessMessages();
    paint += Ms(t1, Clock::now());
    forward = !forward;
    std::vector<String> statements = MoveStatements(pact->FieldByName("PactCode")->AsString(),
                                                    pact->FieldByName("CustName")->AsString(),
                                                    pact->FieldByName("PrjName")->AsString());
    auto t2 = Clock::now();
    for (const String& sql : statements) Frm_Data->OpenQuery(f.Bare, sql);
    auto t3 = Clock::now();
    list += Ms(t0, t1);
    bare += Ms(t2, t3);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  if (Frm_Data->qryPactZJ->RecordCount() != kFundRows) state.SkipWithError("the fund plan did not follow");
  bench::SetTimeCounters(state, bare / state.iterations(), list / state.iterations());
  state.counters["repaint_ms"] = paint / state.iterations();
}
BENCHMARK(BM_MoveCurrentContract)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_StateOfSelectedRows(benchmark::State& state) {
  TPactBench& f = Fixture();
  TADOQuery* pact = Frm_Data->qryPact;
  TBookmarkListEh* rows = f.List->dgPact->SelectedRows();
  rows->Clear();
  std::vector<String> codes;
  pact->DisableControls();
  pact->First();
  for (int i = 0; i < kSelected; ++i, pact->MoveBy(kContracts / kSelected)) {
    rows->SetCurrentRowSelected(true);
    codes.push_back(pact->FieldByName("PactCode")->AsString());
  }
  pact->First();
  pact->EnableControls();
  const char* states[] = {"已终止", "已结束"};
  int round = 0;
  double list = 0, bare = 0;
  for (auto _ : state) {
    const char* s = states[round++ % 2];
    auto t0 = Clock::now();
    f.List->SetSelectedState(s);
    auto t1 = Clock::now();
    TADOConnection* c = Frm_Data->ADOConnection1;
    c->BeginTrans();
    for (const String& code : codes)
      c->Execute("update t_pact set f_check=" + SqlStr(s) + " where PactCode=" + SqlStr(code));
    c->CommitTrans();
    auto t2 = Clock::now();
    list += Ms(t0, t1);
    bare += Ms(t1, t2);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  TADOQuery* q = f.Bare;
  Frm_Data->OpenQuery(q, "select count(*) from t_pact where f_check=" + SqlStr(states[(round - 1) % 2]));
  if (rows->Count() != kSelected || q->Fields()->Fields(0)->AsInteger() != kSelected)
    state.SkipWithError("not every selected contract changed");
  bench::SetTimeCounters(state, bare / state.iterations(), list / state.iterations());
}
BENCHMARK(BM_StateOfSelectedRows)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunProgramBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    bench::PrintTimeRatio(r, "BM_EmptyKeySearch", "contract search, click to first paint, against open and walk", 3.0);
    bench::PrintTimeRatio(r, "BM_MoveCurrentContract", "move of the current contract against its statements on bare queries", 2.0);
    bench::PrintTimeRatio(r, "BM_StateOfSelectedRows", "state of 1,000 selected contracts against 1,000 updates in one transaction", 3.0);
  });
}
