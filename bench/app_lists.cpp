// The lists' search over 100,000 rows, end to end: the customer list's "查询(&S)" (the
// search field's column from T_FieldShow, the statement, the query opened, the columns
// rebuilt, the count shown, the contacts of the first customer followed) against a bare
// query opened on the same statement and walked to its end. Both sides run in each iteration
// and the ratio is reported. Aim: within 1.5x.
#include "BenchUtil.h"

#include "app/SqlText.h"
#include "app/U_Custom.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/FileUtils.h"
#include "core/Resources.h"
#include "data/ADODB.h"
#include "gui/Application.h"
#include "grid/DBGridEh.h"
#include "gui/StdCtrls.h"
#include "tools/MakeDatabase.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

namespace {

using bench::Clock;
using bench::Ms;

constexpr int kRows = 100000;

// A program folder with the default database holding kRows customers (half of them named
// "...公司", every tenth with two contacts), the main window and the customer list open.
class TListsBench {
public:
  TListsBench() {
    FFolder = (std::filesystem::temp_directory_path() / ("kelm-bench-lists-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(FFolder);
    MakeDatabaseFile(FFolder + "/DataBase/kelm.mdb", LoadResourceString(DefaultSchemaResource));
    SetProgramPath(FFolder + "/kelm");
    Application->CreateForm<TFrm_Main>(&Frm_Main);
    Application->CreateForm<TFrm_Data>(&Frm_Data);
    MakeRows();
    Frm_Main->Cust_M->Execute();
    Application->ProcessMessages();
    Bare = new TADOQuery(Application);
    Bare->SetConnection(Frm_Data->ADOConnection1);
  }
  ~TListsBench() {
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }

  TADOQuery* Bare = nullptr;

private:
  void MakeRows() {
    TADOConnection* c = Frm_Data->ADOConnection1;
    c->Execute("insert into t_custom (CustCode, CustName, CustType, Phone, ZContact, Maker) values "
               "('C1', '北京建工集团有限公司', '客户', '010-1', '张三', 'Admin')");
    for (int have = 1; have < kRows; have *= 2) {
      int add = std::min(have, kRows - have);
      // New codes from the row ids; every other copy loses its "公司".
      c->Execute("insert into t_custom (CustCode, CustName, CustType, Phone, ZContact, Maker) select 'C' & (CustID + " +
                 SqlInt(have) + "), iif(CustID mod 2 = 0, '项目部', CustName), CustType, Phone, ZContact, Maker "
                 "from t_custom where CustID <= " + SqlInt(add));
    }
    c->Execute("insert into t_cust_contact (CustCode, ContactName) select CustCode, '联系人' from t_custom "
               "where CustID mod 10 = 1");
  }

  String FFolder;
};

TListsBench& Fixture() {
  static TListsBench* f = new TListsBench();  // kept to the end: the application frees its windows
  return *f;
}

void BM_CustomerSearch(benchmark::State& state) {
  TListsBench& f = Fixture();
  TFrm_Custom* list = Frm_Custom;
  list->Combo_Field->SetItemIndex(list->Combo_Field->Items()->IndexOf("客户名称"));
  list->Edit_Key->SetText("公司");
  TListSearch search;
  search.Table = "T_custom";
  search.ListName = "Custom";
  search.FieldTitle = "客户名称";
  search.Key = "公司";
  const String sql = Frm_Main->ListSearchSQL(search);
  double ours = 0, bare = 0;
  int found = 0, walked = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    list->Btn_SearchClick(list->Btn_Search);
    auto t1 = Clock::now();
    f.Bare->Close();
    f.Bare->SQL()->SetText(sql);
    f.Bare->Open();
    walked = 0;
    for (f.Bare->First(); !f.Bare->Eof(); f.Bare->Next()) ++walked;
    auto t2 = Clock::now();
    ours += Ms(t0, t1);
    bare += Ms(t1, t2);
    found = list->dgCust->DataSource()->DataSet()->RecordCount();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  if (found != walked || found < kRows / 3) state.SkipWithError("the searches found different rows");
  state.counters["rows"] = found;
  bench::SetTimeCounters(state, bare / state.iterations(), ours / state.iterations());
}
BENCHMARK(BM_CustomerSearch)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter&) {
    std::printf("time_ratio: the customer list's search end to end / a bare query opened and walked (aim <= 1.5)\n");
  });
  DoneApplication();
  return rc;
}
