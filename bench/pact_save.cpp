// The contract edit window and the record picker, as the program runs them, against the same
// work done bare:
//   (a) a contract with 200 fund rows, 200 delivery rows and 20 one-megabyte documents: the
//       documents attached and the contract saved (staged copies, one transaction, the files
//       moved into place), against the same rows inserted through the data module's ExecQuery
//       in one transaction and the files copied with CopyFile; aim <= 3x;
//   (b) the picker's search over 10,000 customers from the click to the first paint, against a
//       bare OpenQuery of the same statement walked once; aim <= 2x.
// Both sides run in each iteration; the ratios are printed under the table.
#include "BenchProgram.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmBasic.h"
#include "app/ufrmPactAdd.h"
#include "app/ufrmSelect.h"
#include "core/DateUtils.h"
#include "core/FileUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Forms.h"
#include "gui/MessageBox.h"
#include "gui/StdCtrls.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

using bench::Clock;
using bench::Ms;

constexpr int kCustomers = 10000;
constexpr int kPlanRows = 200;
constexpr int kDocuments = 20;
constexpr int kDocumentBytes = 1 << 20;

void FillCustomers(const String& File) {
  sqlite3* db = nullptr;
  sqlite3_open(File.c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO t_custom (CustCode, CustName, CustType, ZContact, ZPhone, Address) "
                     "VALUES (?, ?, '客户', '联系人', '010-62000000', '北京市海淀区')",
                     -1, &s, nullptr);
  for (int i = 0; i < kCustomers; ++i) {
    String code = "KH" + std::to_string(100000 + i), name = "客户" + std::to_string(i);
    sqlite3_bind_text(s, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(s);
    sqlite3_reset(s);
  }
  sqlite3_finalize(s);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// The program over the customers, the main window shown with the contract list, and the
// documents to attach, lying outside the program folder; the open dialog answers with Chosen.
class TSaveBench : public bench::TBenchProgram {
public:
  TSaveBench() : TBenchProgram("kelm-bench-pactsave", FillCustomers) {
    std::filesystem::create_directories(Folder() + "source");
    std::filesystem::create_directories(Folder() + "raw");
    for (int i = 0; i < kDocuments; ++i) {
      Documents.push_back(Folder() + "source/附件" + std::to_string(i) + ".bin");
      WriteFileAtomic(Documents.back(), String(kDocumentBytes, static_cast<char>('a' + i)));
    }
    SetMessageBoxHook([](const String& Text, const String&, int) {
      std::fprintf(stderr, "unexpected box: %s\n", Text.c_str());
      return IDOK;
    });
    SetDialogHook([this](TDialogRequest& R) {
      if (R.Kind != dkOpenFile || Chosen.empty()) return false;
      R.Value = Chosen.front();
      Chosen.pop_front();
      R.Result = 1;
      return true;
    });
    Start();
  }

  std::vector<String> Documents;
  std::deque<String> Chosen;
};

TSaveBench& Fixture() {
  static TSaveBench* f = new TSaveBench();  // kept to the end: the application frees its windows
  return *f;
}

void AddPlanRows(TADOQuery* Query, const char* Field, const char* Value) {
  Query->DisableControls();
  for (int i = 0; i < kPlanRows; ++i) {
    Query->Append();
    Query->FieldByName(Field)->SetAsString(Value);
    Query->Post();
  }
  Query->EnableControls();
}

// The same contract written bare: its rows through ExecQuery in one transaction, its files
// copied.
void RawSave(TSaveBench& F, const String& Code) {
  TADOConnection* c = Frm_Data->ADOConnection1;
  TADOQuery* q = F.Bare;
  c->BeginTrans();
  Frm_Data->ExecQuery(q, "insert into t_pact (PactCode, PactName, PactType, typecode, PactMoney, CustName, PrjName, "
                         "PrjMan, PactDate, BeginDate, EndDate, PactNote, PactCNote) values (" +
                             SqlStr(Code) + ", " + SqlStr("名称" + Code) +
                             ", '施工合同', '0101', 66000, '客户1', '项目', '张工', " + SqlDate(Date()) + ", " +
                             SqlDate(Date()) + ", " + SqlDate(Date()) + ", '', '')");
  for (int i = 0; i < kPlanRows; ++i) {
    Frm_Data->ExecQuery(q, "insert into t_pact_zj (PactCode, zjtype, money) values (" + SqlStr(Code) + ", '收款', 100)");
    Frm_Data->ExecQuery(q, "insert into t_pact_jh (PactCode, GoodsName) values (" + SqlStr(Code) + ", '钢筋')");
  }
  for (const String& d : F.Documents) {
    String name = ExtractFileName(d);
    Frm_Data->ExecQuery(q, "insert into t_pact_doc (PactCode, DocName, DocPath, DocDate) values (" + SqlStr(Code) +
                               ", " + SqlStr(Code + name) + ", " + SqlStr(F.Folder() + "raw/" + name) + ", " +
                               SqlDate(Date()) + ")");
  }
  c->CommitTrans();
  for (const String& d : F.Documents) CopyFile(d, F.Folder() + "raw/" + ExtractFileName(d), false);
}

void Clean(TSaveBench& F) {
  for (const char* t : {"t_pact", "t_pact_zj", "t_pact_jh", "t_pact_doc"})
    Frm_Data->ExecQuery(F.Bare, String("delete from ") + t);
  for (const String& d : F.Documents) {
    DeleteFile(F.Folder() + "PactDoc/" + ExtractFileName(d));
    DeleteFile(F.Folder() + "raw/" + ExtractFileName(d));
  }
  Frm_Data->OpenQuery(Frm_Data->qryPact, "select * from t_pact where 1=0");
}

void BM_SaveContract(benchmark::State& state) {
  TSaveBench& f = Fixture();
  std::unique_ptr<TfrmPactAdd> dialog(CreateForm<TfrmPactAdd>(nullptr));
  dialog->AddMode = 1;
  dialog->Show();
  Application->ProcessMessages();
  double kelm = 0, raw = 0;
  int round = 0;
  bool stored = true;
  for (auto _ : state) {
    String code = "HT" + std::to_string(++round);
    Clean(f);
    dialog->edtPactName->SetText("名称" + code);
    dialog->edtPactCode->SetText(code);
    dialog->edtPactMoney->SetText("66000");
    DeliverCategoryPick("pacttype", "施工合同", "0101");
    DeliverRecordPick("t_custom", "客户1");
    DeliverRecordPick("dict_prj", "项目");
    DeliverRecordPick("dict_emp", "张工");
    AddPlanRows(Frm_Data->qryPactZJAdd, "zjtype", "收款");
    AddPlanRows(Frm_Data->qryPactJHAdd, "GoodsName", "钢筋");
    f.Chosen.assign(f.Documents.begin(), f.Documents.end());
    auto t0 = Clock::now();
    for (int i = 0; i < kDocuments; ++i) dialog->Button4->Click();
    dialog->btnPost->Click();
    auto t1 = Clock::now();
    RawSave(f, code + "R");
    auto t2 = Clock::now();
    kelm += Ms(t0, t1);
    raw += Ms(t1, t2);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    Frm_Data->OpenQuery(f.Bare, "select count(*) from t_pact_zj where PactCode=" + SqlStr(code));
    stored = stored && f.Bare->Fields()->Fields(0)->AsInteger() == kPlanRows &&
             FileSize(f.Folder() + "PactDoc/附件0.bin") == kDocumentBytes;
  }
  if (!stored) state.SkipWithError("the contract was not stored whole");
  bench::SetTimeCounters(state, raw / state.iterations(), kelm / state.iterations());
  Clean(f);
}
BENCHMARK(BM_SaveContract)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_PickerSearch(benchmark::State& state) {
  TSaveBench& f = Fixture();
  std::unique_ptr<TfrmSelect> picker(CreateForm<TfrmSelect>(nullptr));
  picker->SetCaption("客户名称选择");
  picker->SourceTable = "t_custom";
  picker->ListName = "custselect";
  picker->ResultField = "custname";
  picker->Show();
  Application->ProcessMessages();
  if (!bench::TimeSearchAgainstOpen(state, picker->Btn_Search, picker->dgSelect, Frm_Data->qrySelect, f.Bare,
                                    kCustomers))
    state.SkipWithError("not every customer");
}
BENCHMARK(BM_PickerSearch)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunProgramBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    bench::PrintTimeRatio(r, "BM_SaveContract",
                          "save of a contract with 400 plan rows and 20 MB of documents against its inserts and file copies", 3.0);
    bench::PrintTimeRatio(r, "BM_PickerSearch", "picker search over 10,000 customers, click to paint, against a bare open and walk", 2.0);
  });
}
