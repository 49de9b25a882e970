// The project list and the contract delete as the program runs them (the main window with the
// list as its child, the commands run from the list's tool bar), measured against the same
// work done plainly:
//   (a) the project search over 100,000 projects of this month, from the click to the first
//       paint, against the same statement opened and walked once by a bare TADOQuery through
//       the data module's OpenQuery; aim <= 1.5x;
//   (b) the delete of a contract with five rows in each detail table, with its question
//       answered by a script, in a database whose detail tables hold 200,000 rows each,
//       against the same delete where they hold 20,000; aim <= 1.5x: the delete's cost does not
//       grow with the tables.
// Both sides of (a) run in each iteration; the ratios are printed under the table.
#include "BenchUtil.h"

#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmPact.h"
#include "app/ufrmPrj.h"
#include "core/DateUtils.h"
#include "core/FileUtils.h"
#include "core/Resources.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Forms.h"
#include "tools/MakeDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

namespace {

using bench::Clock;
using bench::Ms;

constexpr int kProjects = 100000;
constexpr int kDeletable = 3000;     // contracts the delete benchmark may take, in both databases
constexpr int kRowsPerContract = 5;  // of each detail table
constexpr int kDeletes = 1500;       // iterations of each delete benchmark
const char* const kDetailTables[] = {"t_pact_fp", "t_pact_doc", "t_pact_zj", "t_pact_jh"};

// A prepared statement run once per row, inside the transaction the filler holds.
class TInsert {
public:
  TInsert(sqlite3* Db, const char* Sql) { sqlite3_prepare_v2(Db, Sql, -1, &FStmt, nullptr); }
  ~TInsert() { sqlite3_finalize(FStmt); }
  TInsert& Text(int I, const String& V) {
    sqlite3_bind_text(FStmt, I, V.c_str(), -1, SQLITE_TRANSIENT);
    return *this;
  }
  TInsert& Real(int I, double V) {
    sqlite3_bind_double(FStmt, I, V);
    return *this;
  }
  void Run() {
    sqlite3_step(FStmt);
    sqlite3_reset(FStmt);
  }

private:
  sqlite3_stmt* FStmt = nullptr;
};

// A database made from the program's schema, filled straight through SQLite.
class TFilledDatabase {
public:
  explicit TFilledDatabase(const String& Folder) : FFile(Folder + "/DataBase/kelm.mdb") {
    std::filesystem::create_directories(Folder + "/DataBase");
    MakeDatabaseFile(FFile, LoadResourceString(DefaultSchemaResource));
    sqlite3_open(FFile.c_str(), &FDb);
    sqlite3_exec(FDb, "BEGIN", nullptr, nullptr, nullptr);
  }
  ~TFilledDatabase() {
    sqlite3_exec(FDb, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(FDb);
  }
  sqlite3* Db() const { return FDb; }

private:
  String FFile;
  sqlite3* FDb = nullptr;
};

void FillProjects(const String& Folder, TDateTime Today) {
  TFilledDatabase d(Folder);
  TInsert prj(d.Db(),
              "INSERT INTO dict_prj (PrjCode, PrjName, PrjType, CustName, PrjMan, PrjDate, BeginDate, EndDate, PrjNote, "
              "f_check) VALUES (?, ?, '桥梁', ?, '张工', ?, ?, ?, '说明', '执行中')");
  for (int i = 0; i < kProjects; ++i)
    prj.Text(1, "XM" + std::to_string(100000 + i))
        .Text(2, "项目" + std::to_string(i))
        .Text(3, "客户" + std::to_string(i % 500))
        .Real(4, Today)
        .Real(5, Today)
        .Real(6, Today + 300)
        .Run();
  TInsert doc(d.Db(), "INSERT INTO dict_prj_detail (PrjCode, DocName, DocPath, DocDate) VALUES (?, ?, ?, ?)");
  for (int i = 0; i < kProjects; i += 10)
    doc.Text(1, "XM" + std::to_string(100000 + i))
        .Text(2, "图" + std::to_string(i) + ".txt")
        .Text(3, "PrjDoc\\图" + std::to_string(i) + ".txt")
        .Real(4, Today)
        .Run();
}

// The contracts the delete takes, each with its detail rows, and filler rows of other codes
// up to DetailRows in each detail table.
void FillContracts(const String& Folder, TDateTime Today, int DetailRows) {
  TFilledDatabase d(Folder);
  TInsert pact(d.Db(),
               "INSERT INTO t_pact (PactCode, PactName, PactType, typecode, PactMoney, CustName, PrjName, PrjMan, "
               "PactDate, f_check) VALUES (?, ?, '施工合同', '0101', 1000, '客户1', '项目1', '张工', ?, '执行中')");
  for (int i = 0; i < kDeletable; ++i)
    pact.Text(1, "HT" + std::to_string(100000 + i)).Text(2, "合同" + std::to_string(i)).Real(3, Today).Run();
  for (const char* table : kDetailTables) {
    TInsert detail(d.Db(), (String("INSERT INTO ") + table + " (PactCode) VALUES (?)").c_str());
    for (int i = 0; i < kDeletable; ++i)
      for (int k = 0; k < kRowsPerContract; ++k) detail.Text(1, "HT" + std::to_string(100000 + i)).Run();
    for (int i = kDeletable * kRowsPerContract; i < DetailRows; ++i)
      detail.Text(1, "FILL" + std::to_string(i / kRowsPerContract)).Run();
  }
}

// The program's windows over one of three program folders: the projects, and the contracts
// with small or large detail tables. One connection serves them in turn.
class TListsBench {
public:
  enum TDatabase { dbProjects, dbSmall, dbLarge };

  TListsBench() {
    FRoot = (std::filesystem::temp_directory_path() / ("kelm-bench-lists-" + std::to_string(::getpid()))).string();
    TDateTime today = Date();
    FillProjects(Folder(dbProjects), today);
    FillContracts(Folder(dbSmall), today, 20000);
    FillContracts(Folder(dbLarge), today, 200000);
    SetProgramPath(Folder(dbProjects) + "kelm");
    Application->CreateForm<TFrm_Main>(&Frm_Main);
    Application->CreateForm<TFrm_Data>(&Frm_Data);
    Frm_Main->Show();
    Application->ProcessMessages();
    Bare = new TADOQuery(Application);
    Bare->SetConnection(Frm_Data->ADOConnection1);
  }
  ~TListsBench() {
    std::error_code ec;
    std::filesystem::remove_all(FRoot, ec);
  }

  String Folder(TDatabase D) const {
    static const char* const names[] = {"projects", "small", "large"};
    return FRoot + "/" + names[D] + "/";
  }
  // The program on database D, with the list of Action open.
  void Use(TDatabase D, TAction* Action) {
    if (D != FCurrent) {
      Frm_Main->CloseMDIChildren();
      Application->ProcessMessages();
      TADOConnection* c = Frm_Data->ADOConnection1;
      c->Close();
      c->SetConnectionString(TFrm_Data::BuildConnectionString(Folder(D)));
      c->Open();
      FCurrent = D;
    }
    Action->Execute();
    Application->ProcessMessages();
  }

  TADOQuery* Bare = nullptr;

private:
  String FRoot;
  TDatabase FCurrent = dbProjects;
};

TListsBench& Fixture() {
  static TListsBench* f = new TListsBench();  // kept to the end: the application frees its windows
  return *f;
}

void BM_ProjectSearch(benchmark::State& state) {
  TListsBench& f = Fixture();
  f.Use(TListsBench::dbProjects, Frm_Main->Prj_M);
  TADOQuery* prj = Frm_Data->qryPrj;
  double list = 0, bare = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    frmPrj->Btn_Search->Click();
    frmPrj->dgPrj->Repaint();
    Application->ProcessMessages();
    auto t1 = Clock::now();
    String sql = prj->CommandText();
    auto t2 = Clock::now();
    Frm_Data->OpenQuery(f.Bare, sql);
    for (f.Bare->First(); !f.Bare->Eof(); f.Bare->Next()) benchmark::DoNotOptimize(f.Bare->Fields()->Fields(0)->AsString());
    auto t3 = Clock::now();
    list += Ms(t0, t1);
    bare += Ms(t2, t3);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  if (prj->RecordCount() != kProjects || f.Bare->RecordCount() != kProjects) state.SkipWithError("not every project");
  if (Frm_Data->qryPrjDoc->RecordCount() != 1) state.SkipWithError("the documents did not follow");
  bench::SetTimeCounters(state, bare / state.iterations(), list / state.iterations());
}
BENCHMARK(BM_ProjectSearch)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

// One contract deleted per iteration, the next one current afterwards.
void ContractDeletes(benchmark::State& state, TListsBench::TDatabase D) {
  TListsBench& f = Fixture();
  f.Use(D, Frm_Main->Pact_M);
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
  Frm_Data->OpenQuery(f.Bare, "select count(*) from t_pact_zj where PactCode like 'HT%'");
  int left = f.Bare->Fields()->Fields(0)->AsInteger();
  if (pact->RecordCount() != before - static_cast<int>(state.iterations()) ||
      left != (kDeletable - static_cast<int>(state.iterations())) * kRowsPerContract)
    state.SkipWithError("not every delete took its contract and only its rows");
}

void BM_ContractDelete_20000(benchmark::State& state) { ContractDeletes(state, TListsBench::dbSmall); }
void BM_ContractDelete_200000(benchmark::State& state) { ContractDeletes(state, TListsBench::dbLarge); }
BENCHMARK(BM_ContractDelete_20000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kDeletes);
BENCHMARK(BM_ContractDelete_200000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kDeletes);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    std::printf("time_ratio: project search click to first paint / open and walk (aim <= 1.5)\n");
    std::printf("contract delete, 200,000 / 20,000 rows per detail table: %.2f (aim <= 1.5)\n",
                r.Ratio("BM_ContractDelete_200000/iterations:1500/manual_time",
                        "BM_ContractDelete_20000/iterations:1500/manual_time"));
  });
  DoneApplication();
  return rc;
}
