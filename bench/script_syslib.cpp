// The system library's functions called from compiled PascalScript against the same programs
// in Lua 5.4: a maths function in a loop, the string functions, and Format over an array
// constructor. Compiling stays outside the timing, and each run's result is compared with
// Lua's.
#include "BenchUtil.h"
#include "script/fs_iscript.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

namespace {

struct TProgram {
  const char* Name;
  const char* Pascal;
  const char* Lua;  // returns the result
  const char* ResultVar;
};

const TProgram kPrograms[] = {
    {"sqrt", "var x: Extended; i: Integer; begin x := 0; for i := 1 to 1000000 do x := x + Sqrt(i) end.",
     "local x = 0 for i = 1, 1000000 do x = x + math.sqrt(i) end return x", "x"},
    {"strings",
     "var s, t: String; n, i: Integer; begin n := 0; for i := 1 to 100000 do begin s := IntToStr(i);"
     " n := n + Length(s) + Pos('7', s); t := Copy(s, 2, 3) end end.",
     "local n, t = 0, '' for i = 1, 100000 do local s = tostring(i)"
     " n = n + #s + (string.find(s, '7', 1, true) or 0) t = string.sub(s, 2, 4) end return n",
     "n"},
    {"format",
     "var s, t: String; i: Integer; begin t := 'abc'; for i := 1 to 100000 do s := Format('%d-%s', [i, t]) end.",
     "local s, t = '', 'abc' for i = 1, 100000 do s = string.format('%d-%s', i, t) end return s", "s"},
};

String LuaResult(const TProgram& P) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  luaL_loadstring(L, P.Lua);
  lua_pcall(L, 0, 1, 0);
  size_t n = 0;
  const char* s = luaL_tolstring(L, -1, &n);
  String r(s, n);
  lua_close(L);
  return r;
}

// Numbers compare as numbers (the two print floats with different digits), the rest as text.
bool SameResult(const Variant& Ours, const String& Theirs) {
  double theirs = 0;
  if (VarIsNumeric(Ours) && TryStrToFloat(Theirs, theirs))
    return std::fabs(Ours.AsDouble() - theirs) <= 1e-9 * std::fabs(theirs);
  return VarToStr(Ours) == Theirs;
}

void BM_ScriptSysLib(benchmark::State& state) {
  const TProgram& p = kPrograms[state.range(0)];
  TfsScript script(nullptr);
  script.InstallModules();
  script.Lines()->SetText(p.Pascal);
  if (!script.CompileSource()) {
    state.SkipWithError((script.CompileError() + " at " + script.CompileErrorPos()).c_str());
    return;
  }
  for (auto _ : state) script.RunProgram();
  Variant ours = script.LookupName(p.ResultVar)->FetchValue();
  String theirs = LuaResult(p);
  if (!SameResult(ours, theirs))
    state.SkipWithError(("result " + VarToStr(ours) + " differs from Lua's " + theirs).c_str());
  state.SetLabel(p.Name);
}
BENCHMARK(BM_ScriptSysLib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_LuaSysLib(benchmark::State& state) {
  const TProgram& p = kPrograms[state.range(0)];
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  luaL_loadstring(L, p.Lua);
  for (auto _ : state) {
    lua_pushvalue(L, -1);
    lua_pcall(L, 0, 1, 0);
    lua_pop(L, 1);
  }
  lua_close(L);
  state.SetLabel(p.Name);
}
BENCHMARK(BM_LuaSysLib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    for (int i = 0; i < 3; ++i) {
      std::string n = std::to_string(i);
      bench::PrintRatio(std::string("running '") + kPrograms[i].Name + "' against Lua 5.4",
                        times.Ratio("BM_ScriptSysLib/" + n, "BM_LuaSysLib/" + n), 5.0);
    }
  });
}
