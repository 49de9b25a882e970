// A report's expressions against Lua 5.4 doing the same, over 100,000 in-memory rows walked
// through the report's data set: (a) a bracketed expression reading a field and multiplying
// against a Lua function that reads the field by name through a C call-back and multiplies;
// (b) a field name evaluated by the report against the data set's own FieldByName read;
// (c) 500 distinct cached expressions used round-robin against 500 Lua functions in a table
// keyed by their text.
#include "BenchUtil.h"
#include "data/Fields.h"
#include "data/MemDataSet.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "core/SysUtils.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kExpressions = 500;

// The rows, the report data set over them and a report that lists it as "Sales".
struct TSales {
  TMemDataSet Data{nullptr};
  TfrxReport Report{nullptr};
  TfrxDBDataset Sales{nullptr};
  TField* Amount = nullptr;

  TSales() {
    Data.FieldDefs()->Add("Id", ftInteger, 0);
    Data.FieldDefs()->Add("Amount", ftFloat, 0);
    for (int i = 0; i < kRows; ++i) Data.AddRow({Variant(i), Variant(1.0 + i % 97)});
    Data.Open();
    Amount = Data.FieldByName("Amount");
    Sales.SetUserName("Sales");
    Sales.SetDataSet(&Data);
    Report.DataSets()->AddDataSet(&Sales);
    Report.ScriptText()->SetText("begin end.");
    if (!Report.CompileReportScript()) std::fprintf(stderr, "script: %s\n", Report.Errors()->Text().c_str());
    Report.DataSets()->BeginUseAll();
  }
  ~TSales() { Report.DataSets()->EndUseAll(); }
};

TSales& Sales() {
  static TSales s;
  return s;
}

// ---- Lua: the field by name through a C function, as the report reads it.
int LuaField(lua_State* L) {
  const char* name = luaL_checkstring(L, 1);
  // "Sales.Amount": the data set, then the field by name.
  const char* dot = std::strchr(name, '.');
  TSales& s = Sales();
  lua_pushnumber(L, s.Data.FieldByName(dot ? dot + 1 : name)->AsFloat());
  return 1;
}

lua_State* NewState() {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_register(L, "Field", LuaField);
  return L;
}

// Walks every row, calling Body once per row.
template <class F> void Walk(TfrxDataSet& Ds, F Body) {
  Ds.First();
  while (!Ds.Eof()) {
    Body();
    Ds.Next();
  }
}

// ---- (a) an expression with a field
void BM_ReportFieldProduct(benchmark::State& state) {
  TSales& s = Sales();
  double sum = 0;
  for (auto _ : state) Walk(s.Sales, [&] { sum += s.Report.Calc("<Sales.\"Amount\"> * 1.17").AsDouble(); });
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_ReportFieldProduct)->Unit(benchmark::kMillisecond);

void BM_LuaFieldProduct(benchmark::State& state) {
  TSales& s = Sales();
  lua_State* L = NewState();
  luaL_dostring(L, "function f() return Field('Sales.Amount') * 1.17 end");
  double sum = 0;
  for (auto _ : state)
    Walk(s.Sales, [&] {
      lua_getglobal(L, "f");
      lua_call(L, 0, 1);
      sum += lua_tonumber(L, -1);
      lua_pop(L, 1);
    });
  benchmark::DoNotOptimize(sum);
  lua_close(L);
}
BENCHMARK(BM_LuaFieldProduct)->Unit(benchmark::kMillisecond);

// ---- (b) a field name
void BM_ReportFieldName(benchmark::State& state) {
  TSales& s = Sales();
  double sum = 0;
  for (auto _ : state) Walk(s.Sales, [&] { sum += s.Report.Calc("Sales.\"Amount\"").AsDouble(); });
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_ReportFieldName)->Unit(benchmark::kMillisecond);

void BM_FieldByName(benchmark::State& state) {
  TSales& s = Sales();
  double sum = 0;
  for (auto _ : state) Walk(s.Sales, [&] { sum += s.Data.FieldByName("Amount")->Value().AsDouble(); });
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_FieldByName)->Unit(benchmark::kMillisecond);

// ---- (c) many cached expressions
std::vector<String> ExpressionTexts() {
  std::vector<String> texts;
  for (int i = 0; i < kExpressions; ++i) texts.push_back("<Sales.\"Amount\"> + " + IntToStr(i));
  return texts;
}

void BM_ReportManyExpressions(benchmark::State& state) {
  TSales& s = Sales();
  const std::vector<String> texts = ExpressionTexts();
  for (const String& t : texts) s.Report.Calc(t);  // compiled once, before timing
  double sum = 0;
  for (auto _ : state) {
    int i = 0;
    Walk(s.Sales, [&] { sum += s.Report.Calc(texts[i++ % kExpressions]).AsDouble(); });
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_ReportManyExpressions)->Unit(benchmark::kMillisecond);

void BM_LuaManyFunctions(benchmark::State& state) {
  TSales& s = Sales();
  const std::vector<String> texts = ExpressionTexts();
  lua_State* L = NewState();
  lua_newtable(L);
  for (int i = 0; i < kExpressions; ++i) {
    std::string chunk = "return function() return Field('Sales.Amount') + " + std::to_string(i) + " end";
    luaL_dostring(L, chunk.c_str());
    lua_setfield(L, -2, texts[i].c_str());
  }
  lua_setglobal(L, "cache");
  double sum = 0;
  for (auto _ : state) {
    int i = 0;
    Walk(s.Sales, [&] {
      lua_getglobal(L, "cache");
      lua_getfield(L, -1, texts[i++ % kExpressions].c_str());
      lua_call(L, 0, 1);
      sum += lua_tonumber(L, -1);
      lua_pop(L, 2);
    });
  }
  benchmark::DoNotOptimize(sum);
  lua_close(L);
}
BENCHMARK(BM_LuaManyFunctions)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"an expression reading a field against a Lua 5.4 function with a C call-back", "BM_ReportFieldProduct",
         "BM_LuaFieldProduct", 5.0},
        {"a field name through the report against FieldByName", "BM_ReportFieldName", "BM_FieldByName", 3.0},
        {"500 cached expressions round-robin against 500 Lua functions keyed by text", "BM_ReportManyExpressions",
         "BM_LuaManyFunctions", 5.0},
    });
  });
}
