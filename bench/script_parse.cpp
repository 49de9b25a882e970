// The script front end against what a caller could use instead: SourceToIL of generated
// PascalScript programs of 1,000 and 10,000 lines (routines, loops, expressions, calls) against
// Lua 5.4 loading (compiling) the same program with luaL_loadbuffer, in the same run.
// Aims: time per line at 10,000 lines <= 1.3 x that at 1,000 (no splicing or backtracking that
// grows faster than the text), and <= 20 x Lua's load.
#include "BenchUtil.h"
#include "script/fs_iilparser.h"
#include "script/fs_iscript.h"
#include "core/SysUtils.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

// One routine is ten lines in both languages, and one more line calls it from the main block.
int Routines(int Lines) { return (Lines - 5) / 11; }
int ActualLines(int Lines) { return 5 + 11 * Routines(Lines); }

String PascalProgram(int Lines) {
  const int routines = Routines(Lines);
  String s = "program Bench;\r\nvar x, total: Integer;\r\n";
  for (int i = 0; i < routines; ++i) {
    String n = IntToStr(i);
    s += "function F" + n + "(a, b: Integer): Integer;\r\n"
         "var j, s: Integer;\r\n"
         "begin\r\n"
         "  s := 0;\r\n"
         "  for j := 1 to a do\r\n"
         "    s := s + (j * b - a div 2) mod 7;\r\n"
         "  while s > 100 do s := s - Abs(b);\r\n"
         "  if (s >= 0) and (a <> b) then Result := s else Result := -s;\r\n"
         "  Log('F" + n + "', s, Max(a, b + 1));\r\n"
         "end;\r\n";
  }
  s += "begin\r\n  total := 0;\r\n";
  for (int i = 0; i < routines; ++i) s += "  total := total + F" + IntToStr(i) + "(" + IntToStr(i) + ", 3);\r\n";
  s += "end.\r\n";
  return s;
}

String LuaProgram(int Lines) {
  const int routines = Routines(Lines);
  String s = "local x, total\n";
  for (int i = 0; i < routines; ++i) {
    String n = IntToStr(i);
    s += "function F" + n + "(a, b)\n"
         "  local j, s\n"
         "  s = 0\n"
         "  for j = 1, a do\n"
         "    s = s + (j * b - a // 2) % 7\n"
         "  end\n"
         "  while s > 100 do s = s - math.abs(b) end\n"
         "  if (s >= 0) and (a ~= b) then return s else return -s end\n"
         "  Log('F" + n + "', s, math.max(a, b + 1))\n"
         "end\n";
  }
  s += "total = 0\n";
  for (int i = 0; i < routines; ++i) s += "total = total + F" + IntToStr(i) + "(" + IntToStr(i) + ", 3)\n";
  return s;
}

void BM_SourceToIL(benchmark::State& state) {
  const String source = PascalProgram(static_cast<int>(state.range(0)));
  TfsScript script(nullptr);
  for (auto _ : state) {
    TfsILParser parser(&script);
    parser.LoadGrammar("PascalScript");
    if (!parser.SourceToIL(source)) {
      state.SkipWithError((script.CompileError() + " at " + script.CompileErrorPos()).c_str());
      return;
    }
  }
}
BENCHMARK(BM_SourceToIL)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LuaLoad(benchmark::State& state) {
  const String source = LuaProgram(static_cast<int>(state.range(0)));
  lua_State* L = luaL_newstate();
  for (auto _ : state) {
    if (luaL_loadbuffer(L, source.data(), source.size(), "bench") != LUA_OK) {
      state.SkipWithError(lua_tostring(L, -1));
      break;
    }
    lua_pop(L, 1);
  }
  lua_close(L);
}
BENCHMARK(BM_LuaLoad)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    if (double x = times.Ratio("BM_SourceToIL/10000", "BM_SourceToIL/1000"); x > 0)
      bench::PrintRatio("SourceToIL per line, 10,000 against 1,000 lines",
                        x * ActualLines(1000) / ActualLines(10000), 1.3);
    bench::PrintRatioRows(times, {
        {"SourceToIL against luaL_loadbuffer, 1,000 lines", "BM_SourceToIL/1000", "BM_LuaLoad/1000", 20.0},
        {"SourceToIL against luaL_loadbuffer, 10,000 lines", "BM_SourceToIL/10000", "BM_LuaLoad/10000", 20.0},
    });
  });
}
