// The spreadsheet import and the bill search of the older records, against the same work done
// plainly:
//   (a) importing a 5,000 × 20 zipped XML workbook into T_Goods as the mapping window does it
//       (the workbook opened through the automation stand-ins, the titles mapped, every cell's
//       text read through late-bound calls, one row appended per sheet row in one
//       transaction), against the reader alone reading every cell's text plus the same
//       inserts prepared on a bare SQLite connection in one transaction; aim <= 2x;
//   (b) the bill search over 50,000 bill lines (conditions built, the view searched, the
//       bills of the matching lines listed once, columns rebuilt, count shown), against a
//       bare OpenQuery of its two statements, each walked once; aim <= 2x.
// Both sides run in each iteration; the ratios are printed under the table.
#include "BenchProgram.h"

#include "app/legacy/LegacyWindows.h"
#include "app/legacy/U_AllBill.h"
#include "app/legacy/U_Import.h"
#include "core/ComObj.h"
#include "core/DateUtils.h"
#include "core/Spreadsheet.h"
#include "gui/Buttons.h"
#include "gui/Edit.h"
#include "gui/MessageBox.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <zip.h>

#include <memory>

namespace {

using bench::Clock;
using bench::Ms;

constexpr int kSheetRows = 5000;
constexpr int kBills = 10000;
constexpr int kLinesPerBill = 5;

// The twenty goods columns the workbook fills, numbers where the table keeps numbers.
struct TColumn {
  const char* Name;
  bool Number;
};
constexpr TColumn kColumns[20] = {
    {"GoodsType", false}, {"GoodsCode", false}, {"GoodsName", false}, {"GoodsUnit", false}, {"Units", false},
    {"OutPrice", true},   {"InPrice", true},    {"BarCode", false},   {"DepotUp", true},    {"DepotDown", true},
    {"Remark1", false},   {"Remark2", false},   {"EnName", false},    {"Price1", true},     {"Price2", true},
    {"Price3", true},     {"Price4", true},     {"Remark3", false},   {"Remark4", false},   {"Remark5", false}};

String ColumnLetters(int Col) {
  String s;
  for (; Col > 0; Col = (Col - 1) / 26) s.insert(s.begin(), char('A' + (Col - 1) % 26));
  return s;
}

// The workbook: a title row of the column names, then kSheetRows rows of texts and numbers.
void WriteWorkbook(const String& File) {
  String sheet = R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)";
  auto cell = [&](int r, int c, const String& v, bool number) {
    String ref = ColumnLetters(c) + std::to_string(r);
    sheet += number ? "<c r=\"" + ref + "\"><v>" + v + "</v></c>"
                    : "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + v + "</t></is></c>";
  };
  sheet += "<row r=\"1\">";
  for (int c = 0; c < 20; ++c) cell(1, c + 1, String("T_") + kColumns[c].Name, false);
  sheet += "</row>";
  for (int r = 2; r <= kSheetRows + 1; ++r) {
    sheet += "<row r=\"" + std::to_string(r) + "\">";
    for (int c = 0; c < 20; ++c)
      cell(r, c + 1, kColumns[c].Number ? std::to_string(r % 97) + ".5" : "货品" + std::to_string(r) + "-" + std::to_string(c),
           kColumns[c].Number);
    sheet += "</row>";
  }
  sheet += "</sheetData></worksheet>";
  const String workbook =
      R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)";
  const String rels =
      R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)";
  int error = 0;
  zip_t* z = zip_open(File.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  const std::pair<const char*, const String*> parts[] = {
      {"xl/workbook.xml", &workbook}, {"xl/_rels/workbook.xml.rels", &rels}, {"xl/worksheets/sheet1.xml", &sheet}};
  for (const auto& [name, text] : parts)
    zip_file_add(z, name, zip_source_buffer(z, text->data(), text->size(), 0), ZIP_FL_OVERWRITE);
  zip_close(z);
}

// Bills of today with five lines each; every tenth bill's lines are of the goods searched.
void FillBills(const String& File) {
  sqlite3* db = nullptr;
  sqlite3_open(File.c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* bill = nullptr;
  sqlite3_stmt* line = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO T_Bill (BillCode, AddDate, BillType, DepotName, CustName) VALUES (?, ?, '入库单', '一号库', '客户')",
                     -1, &bill, nullptr);
  sqlite3_prepare_v2(db, "INSERT INTO T_BillDetail (BillCode, GoodsCode, GoodsName, Number, Price) VALUES (?, ?, ?, 1, 2)", -1,
                     &line, nullptr);
  for (int b = 0; b < kBills; ++b) {
    String code = "BL" + std::to_string(100000 + b);
    sqlite3_bind_text(bill, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(bill, 2, Date() + 0.5);
    sqlite3_step(bill);
    sqlite3_reset(bill);
    for (int l = 0; l < kLinesPerBill; ++l) {
      String goods = b % 10 == 0 ? "螺栓" : "货品" + std::to_string(l);
      sqlite3_bind_text(line, 1, code.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(line, 2, ("G" + std::to_string(l)).c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(line, 3, goods.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(line);
      sqlite3_reset(line);
    }
  }
  sqlite3_finalize(bill);
  sqlite3_finalize(line);
  // The goods mapping: each of the twenty columns fed by its title.
  sqlite3_exec(db, "UPDATE T_Import SET F_Field='T_' || S_Field WHERE tablename='Goods'", nullptr, nullptr, nullptr);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

class TImportBench : public bench::TBenchProgram {
public:
  TImportBench() : TBenchProgram("kelm-bench-import", FillBills) {
    SetMessageBoxHook([](const String& Text, const String&, int) {
      std::fprintf(stderr, "unexpected box: %s\n", Text.c_str());
      return IDOK;
    });
    Start();
    Workbook = Folder() + "goods.xlsx";
    WriteWorkbook(Workbook);
    sqlite3_open((Folder() + "DataBase/kelm.mdb").c_str(), &Raw);
    sqlite3_busy_timeout(Raw, 5000);
  }
  String Workbook;
  sqlite3* Raw = nullptr;
};

TImportBench& Fixture() {
  static TImportBench* f = new TImportBench();  // kept to the end: the application frees its windows
  return *f;
}

int GoodsRows(sqlite3* Db) {
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(Db, "SELECT count(*) FROM T_Goods", -1, &s, nullptr);
  int n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int(s, 0) : -1;
  sqlite3_finalize(s);
  return n;
}

// ---------------------------------------------------------------- (a)

void BM_ImportGoods(benchmark::State& state) {
  TImportBench& f = Fixture();
  std::unique_ptr<TFrm_Import> window(CreateForm<TFrm_Import>(nullptr));
  window->TableName = "Goods";
  String insert = "INSERT INTO T_Goods (";
  for (int c = 0; c < 20; ++c) insert += String(c ? ", " : "") + kColumns[c].Name;
  insert += ") VALUES (?";
  for (int c = 1; c < 20; ++c) insert += ", ?";
  insert += ")";
  double ours = 0, bare = 0;
  bool right = true;
  for (auto _ : state) {
    auto t0 = Clock::now();
    Frm_Main->ExcelApp = CreateOleObject("Excel.Application");
    Frm_Main->ExcelBook = OleCall(OleGet(Frm_Main->ExcelApp, "Workbooks"), "Open", {Variant(f.Workbook)});
    const Variant used = OleGet(OleGet(Frm_Main->ExcelApp, "ActiveSheet"), "UsedRange");
    Frm_Main->ImportColCount = OleGet(OleGet(used, "Columns"), "Count").AsInteger();
    Frm_Main->ImportRowCount = OleGet(OleGet(used, "Rows"), "Count").AsInteger();
    Frm_Main->ImportHeaders.clear();
    const Variant cells = OleGet(OleGet(Frm_Main->ExcelApp, "ActiveSheet"), "Cells");
    for (int c = 1; c <= Frm_Main->ImportColCount; ++c)
      Frm_Main->ImportHeaders.push_back(VarToStr(OleGet(OleCall(cells, "Item", {Variant(1), Variant(c)}), "Value")));
    int imported = window->ImportRows(window->Mappings());
    Frm_Main->CloseExcelImport();
    auto t1 = Clock::now();
    right = right && imported == kSheetRows && GoodsRows(f.Raw) == kSheetRows;
    sqlite3_exec(f.Raw, "DELETE FROM T_Goods", nullptr, nullptr, nullptr);

    auto t2 = Clock::now();
    TSpreadsheet sheet(f.Workbook);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(f.Raw, insert.c_str(), -1, &s, nullptr);
    sqlite3_exec(f.Raw, "BEGIN", nullptr, nullptr, nullptr);
    for (int r = 2; r <= sheet.RowCount(); ++r) {
      for (int c = 1; c <= 20; ++c) {
        String text = sheet.Text(r, c);
        if (kColumns[c - 1].Number) sqlite3_bind_double(s, c, std::stod(text));
        else sqlite3_bind_text(s, c, text.c_str(), -1, SQLITE_TRANSIENT);
      }
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_exec(f.Raw, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(s);
    auto t3 = Clock::now();
    right = right && GoodsRows(f.Raw) == kSheetRows;
    sqlite3_exec(f.Raw, "DELETE FROM T_Goods", nullptr, nullptr, nullptr);
    ours += Ms(t0, t1);
    bare += Ms(t2, t3);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  if (!right) state.SkipWithError("not every sheet row became goods");
  bench::SetTimeCounters(state, bare / state.iterations(), ours / state.iterations());
}
BENCHMARK(BM_ImportGoods)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// ---------------------------------------------------------------- (b)

void BM_BillSearch(benchmark::State& state) {
  TImportBench& f = Fixture();
  OpenMDIChild(Frm_AllBill, Frm_Main);
  TFrm_AllBill* w = Frm_AllBill;
  w->Edit_GoodsName->SetText("螺栓");
  const int expected = kBills / 10;
  double ours = 0, bare = 0;
  bool right = true;
  for (auto _ : state) {
    auto t0 = Clock::now();
    w->Btn_Search->Click();
    auto t1 = Clock::now();
    const String lines = LegacySearchSQL("S_BillDetail", w->SearchConditions());
    const String bills = Frm_Data->Qry_AllBill->CommandText();
    auto t2 = Clock::now();
    for (const String& sql : {lines, bills}) {
      Frm_Data->OpenQuery(f.Bare, sql);
      for (f.Bare->First(); !f.Bare->Eof(); f.Bare->Next()) benchmark::DoNotOptimize(f.Bare->Fields()->Fields(0)->AsString());
    }
    auto t3 = Clock::now();
    ours += Ms(t0, t1);
    bare += Ms(t2, t3);
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    right = right && Frm_Data->Qry_AllBill->RecordCount() == expected;
  }
  if (!right) state.SkipWithError("the search did not list each bill of the goods once");
  bench::SetTimeCounters(state, bare / state.iterations(), ours / state.iterations());
}
BENCHMARK(BM_BillSearch)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunProgramBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    bench::PrintTimeRatio(r, "BM_ImportGoods",
                          "import of a 5,000 x 20 workbook into goods against the reader plus bare inserts", 2.0);
    bench::PrintTimeRatio(r, "BM_BillSearch",
                          "bill search over 50,000 lines against a bare open of its two statements", 2.0);
  });
}
