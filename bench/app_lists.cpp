// The lists as the program runs them (the main window with the list as its child, the
// commands run from the list's tool bar), measured against the same work done plainly:
//   (a) the customer list's search for "公司" in the customers' names over 100,000 customers,
//       and (b) the project list's search over 100,000 projects set up this month, each from
//       the click to the first paint (the statement from the list's T_FieldShow rows, the
//       query opened, the columns rebuilt, the count shown, the first row's contacts or
//       documents followed) against the same statement opened and walked once by a bare
//       query; aim <= 1.5x;
//   (c) the delete of a contract with five rows in each detail table, its question answered by
//       a script, where the detail tables hold 200,000 rows each, against the same delete where
//       they hold 20,000; aim <= 1.5x: the delete's cost does not grow with the tables.
// The ratios are printed under the table.
#include "BenchProgram.h"

#include "app/U_Custom.h"
#include "app/ufrmPact.h"
#include "app/ufrmPrj.h"
#include "core/DateUtils.h"
#include "grid/DBGridEh.h"
#include "gui/Dialogs.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>

namespace {

using bench::Clock;
using bench::TBenchProgram;

constexpr int kCustomers = 100000;
constexpr int kProjects = 100000;
constexpr int kDeletable = 3000;     // contracts the delete benchmark may take, in both databases
constexpr int kRowsPerContract = 5;  // of each detail table
constexpr int kDeletes = 1500;       // iterations of each delete benchmark
const char* const kDetailTables[] = {"t_pact_fp", "t_pact_doc", "t_pact_zj", "t_pact_jh"};

// Rows written straight into a database file through SQLite, in one transaction.
class TFiller {
public:
  explicit TFiller(const String& File) {
    sqlite3_open(File.c_str(), &FDb);
    sqlite3_exec(FDb, "BEGIN", nullptr, nullptr, nullptr);
  }
  ~TFiller() {
    sqlite3_finalize(FStmt);
    sqlite3_exec(FDb, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(FDb);
  }
  TFiller(const TFiller&) = delete;
  TFiller& operator=(const TFiller&) = delete;

  // The statement the next rows go through.
  TFiller& Into(const String& Sql) {
    sqlite3_finalize(FStmt);
    sqlite3_prepare_v2(FDb, Sql.c_str(), -1, &FStmt, nullptr);
    return *this;
  }
  TFiller& Text(int I, const String& V) {
    sqlite3_bind_text(FStmt, I, V.c_str(), -1, SQLITE_TRANSIENT);
    return *this;
  }
  TFiller& Real(int I, double V) {
    sqlite3_bind_double(FStmt, I, V);
    return *this;
  }
  void Row() {
    sqlite3_step(FStmt);
    sqlite3_reset(FStmt);
  }

private:
  sqlite3* FDb = nullptr;
  sqlite3_stmt* FStmt = nullptr;
};

String Numbered(const char* Prefix, int I) { return Prefix + std::to_string(I); }

// Customers (every other one named "...公司", every tenth with a contact) and projects set
// up today (every tenth with a document).
void FillLists(const String& File) {
  TFiller f(File);
  f.Into("INSERT INTO t_custom (CustCode, CustName, CustType, Phone, ZContact, Maker) VALUES (?, ?, '客户', '010-1', "
         "'张三', 'Admin')");
  for (int i = 0; i < kCustomers; ++i)
    f.Text(1, Numbered("C", i)).Text(2, i % 2 ? Numbered("项目部", i) : Numbered("北京建工集团有限公司", i)).Row();
  f.Into("INSERT INTO t_cust_contact (CustCode, ContactName) VALUES (?, '联系人')");
  for (int i = 0; i < kCustomers; i += 10) f.Text(1, Numbered("C", i)).Row();
  TDateTime today = Date();
  f.Into("INSERT INTO dict_prj (PrjCode, PrjName, PrjType, CustName, PrjMan, PrjDate, BeginDate, EndDate, PrjNote, "
         "f_check) VALUES (?, ?, '桥梁', ?, '张工', ?, ?, ?, '说明', '执行中')");
  for (int i = 0; i < kProjects; ++i)
    f.Text(1, Numbered("XM", 100000 + i))
        .Text(2, Numbered("项目", i))
        .Text(3, Numbered("客户", i % 500))
        .Real(4, today)
        .Real(5, today)
        .Real(6, today + 300)
        .Row();
  f.Into("INSERT INTO dict_prj_detail (PrjCode, DocName, DocPath, DocDate) VALUES (?, ?, ?, ?)");
  for (int i = 0; i < kProjects; i += 10)
    f.Text(1, Numbered("XM", 100000 + i)).Text(2, Numbered("图", i) + ".txt").Text(3, "PrjDoc\\图.txt").Real(4, today).Row();
}

// The contracts the delete takes, each with its detail rows, and rows of other codes filling
// each detail table up to DetailRows.
void FillContracts(const String& File, int DetailRows) {
  TFiller f(File);
  f.Into("INSERT INTO t_pact (PactCode, PactName, PactType, typecode, PactMoney, CustName, PrjName, PrjMan, PactDate, "
         "f_check) VALUES (?, ?, '施工合同', '0101', 1000, '客户1', '项目1', '张工', ?, '执行中')");
  for (int i = 0; i < kDeletable; ++i)
    f.Text(1, Numbered("HT", 100000 + i)).Text(2, Numbered("合同", i)).Real(3, Date()).Row();
  for (const char* table : kDetailTables) {
    f.Into(String("INSERT INTO ") + table + " (PactCode) VALUES (?)");
    for (int i = 0; i < kDeletable; ++i)
      for (int k = 0; k < kRowsPerContract; ++k) f.Text(1, Numbered("HT", 100000 + i)).Row();
    for (int i = kDeletable * kRowsPerContract; i < DetailRows; ++i) f.Text(1, Numbered("FILL", i / 5)).Row();
  }
}

// The program over the lists' database, and the two contract databases it switches to.
class TListsBench {
public:
  TListsBench() {
    // The program's folder is the last made: the lists'.
    FSmall = std::make_unique<TBenchProgram>("kelm-bench-delete-20000", [](const String& f) { FillContracts(f, 20000); });
    FLarge = std::make_unique<TBenchProgram>("kelm-bench-delete-200000", [](const String& f) { FillContracts(f, 200000); });
    FLists = std::make_unique<TBenchProgram>("kelm-bench-lists", FillLists);
    FLists->Start();
    FCurrent = FLists.get();
  }

  TBenchProgram& Lists() { return *FLists; }
  TBenchProgram& Small() { return *FSmall; }
  TBenchProgram& Large() { return *FLarge; }
  TADOQuery* Bare() const { return FLists->Bare; }

  // The program on Program's database, with the list of Action open.
  void Use(TBenchProgram& Program, TAction* Action) {
    if (&Program != FCurrent) {
      Frm_Main->CloseMDIChildren();
      Application->ProcessMessages();
      TADOConnection* c = Frm_Data->ADOConnection1;
      c->Close();
      c->SetConnectionString(TFrm_Data::BuildConnectionString(Program.Folder()));
      c->Open();
      FCurrent = &Program;
    }
    Action->Execute();
    Application->ProcessMessages();
  }

private:
  std::unique_ptr<TBenchProgram> FSmall, FLarge, FLists;
  TBenchProgram* FCurrent = nullptr;
};

TListsBench& Fixture() {
  static TListsBench* f = new TListsBench();  // kept to the end: the application frees its windows
  return *f;
}

void BM_CustomerSearch(benchmark::State& state) {
  TListsBench& f = Fixture();
  f.Use(f.Lists(), Frm_Main->Cust_M);
  TFrm_Custom* list = Frm_Custom;
  list->Combo_Field->SetItemIndex(list->Combo_Field->Items()->IndexOf("客户名称"));
  list->Edit_Key->SetText("公司");
  if (!bench::TimeSearchAgainstOpen(state, list->Btn_Search, list->dgCust, Frm_Data->Qry_Cust, f.Bare(), kCustomers / 2))
    state.SkipWithError("the searches found other rows than the customers of a 公司");
}
BENCHMARK(BM_CustomerSearch)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_ProjectSearch(benchmark::State& state) {
  TListsBench& f = Fixture();
  f.Use(f.Lists(), Frm_Main->Prj_M);
  if (!bench::TimeSearchAgainstOpen(state, frmPrj->Btn_Search, frmPrj->dgPrj, Frm_Data->qryPrj, f.Bare(), kProjects))
    state.SkipWithError("not every project");
  if (Frm_Data->qryPrjDoc->RecordCount() != 1) state.SkipWithError("the documents did not follow");
}
BENCHMARK(BM_ProjectSearch)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

// One contract deleted per iteration from the list's tool bar, the next one current after it.
void ContractDeletes(benchmark::State& state, TBenchProgram& Program) {
  TListsBench& f = Fixture();
  f.Use(Program, Frm_Main->Pact_M);
  TADOQuery* pact = Frm_Data->qryPact;
  int before = pact->RecordCount();
  for (auto _ : state) {
    TDialogScript script;
    script.Button(IDYES);
    auto t0 = Clock::now();
    frmPact->ToolButton3->Click();  // "删除"
    Application->ProcessMessages();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
  }
  int deleted = static_cast<int>(state.iterations());
  Frm_Data->OpenQuery(f.Bare(), "select count(*) from t_pact_zj where PactCode like 'HT%'");
  if (pact->RecordCount() != before - deleted ||
      f.Bare()->Fields()->Fields(0)->AsInteger() != (kDeletable - deleted) * kRowsPerContract)
    state.SkipWithError("not every delete took its contract and only its rows");
}

void BM_ContractDelete_20000(benchmark::State& state) { ContractDeletes(state, Fixture().Small()); }
void BM_ContractDelete_200000(benchmark::State& state) { ContractDeletes(state, Fixture().Large()); }
BENCHMARK(BM_ContractDelete_20000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kDeletes);
BENCHMARK(BM_ContractDelete_200000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kDeletes);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    bench::PrintTimeRatio(r, "BM_CustomerSearch", "customer search, click to first paint, against its statement opened and walked", 1.5);
    bench::PrintTimeRatio(r, "BM_ProjectSearch", "project search, click to first paint, against its statement opened and walked", 1.5);
    bench::PrintRatio("contract delete, 200,000 against 20,000 rows in each detail table",
                      r.Ratio("BM_ContractDelete_200000/iterations:1500/manual_time",
                              "BM_ContractDelete_20000/iterations:1500/manual_time"),
                      1.5);
  });
  DoneApplication();
  return rc;
}
