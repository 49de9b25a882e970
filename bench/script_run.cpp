// Running compiled PascalScript against Lua 5.4 on the same small programs: integer
// arithmetic in a loop, recursion, string appends and calls of a host function; and compiling
// the four against luaL_loadbuffer. Compiling stays outside the timing of the runs, and each
// run's result is compared with Lua's.
#include "BenchUtil.h"
#include "script/fs_ihelpers.h"
#include "script/fs_iscript.h"
#include "core/StringList.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

// Allocations counted for the host-call check.
static std::atomic<long long> gAllocations{0};

void* operator new(std::size_t Size) {
  ++gAllocations;
  if (void* p = std::malloc(Size ? Size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }

namespace {

struct TProgram {
  const char* Name;
  const char* Pascal;
  const char* Lua;  // returns the result
  const char* ResultVar;
};

const TProgram kPrograms[] = {
    {"loop", "var s, i: Integer; begin s := 0; for i := 1 to 10000000 do s := s + i mod 7 end.",
     "local s = 0 for i = 1, 10000000 do s = s + i % 7 end return s", "s"},
    {"fib",
     "var s: Integer; function Fib(n: Integer): Integer; begin if n < 2 then Result := n else "
     "Result := Fib(n - 1) + Fib(n - 2) end; begin s := Fib(25) end.",
     "local function fib(n) if n < 2 then return n else return fib(n - 1) + fib(n - 2) end end return fib(25)", "s"},
    {"append", "var s: String; i: Integer; begin s := ''; for i := 1 to 20000 do s := s + 'x' end.",
     "local s = '' for i = 1, 20000 do s = s .. 'x' end return s", "s"},
    {"hostcall", "var s, i: Integer; begin s := 0; for i := 1 to 1000000 do s := HostAdd(s, 1) end.",
     "local s = 0 for i = 1, 1000000 do s = HostAdd(s, 1) end return s", "s"},
};

// The names every program uses, kept when a program is discarded.
void Prepare(TfsScript& S) {
  S.SetOwnerTag(fsModuleOwnerTag);
  const std::pair<const char*, TfsTypeCode> types[] = {
      {"Integer", tcInteger}, {"String", tcString}, {"Boolean", tcBoolean}, {"Variant", tcVariant}};
  for (auto& [name, code] : types) S.RegisterType(name, code);
  S.RegisterFunction("function HostAdd(a, b: Integer): Integer",
                     [](TObject*, TClass, const String&, TfsMethodHelper* Caller) {
                       return Variant(Caller->ParamValue(0).AsInteger() + Caller->ParamValue(1).AsInteger());
                     });
  S.SetOwnerTag(0);
}

bool Compile(TfsScript& S, const TProgram& P) {
  S.DiscardProgram();
  S.Lines()->SetText(P.Pascal);
  return S.CompileSource();
}

int LuaHostAdd(lua_State* L) {
  lua_pushinteger(L, luaL_checkinteger(L, 1) + luaL_checkinteger(L, 2));
  return 1;
}

String LuaResult(lua_State* L) {
  size_t n = 0;
  const char* s = luaL_tolstring(L, -1, &n);
  String r(s, n);
  lua_pop(L, 2);
  return r;
}

void BM_ScriptRun(benchmark::State& state) {
  const TProgram& p = kPrograms[state.range(0)];
  TfsScript script(nullptr);
  Prepare(script);
  if (!Compile(script, p)) {
    state.SkipWithError((script.CompileError() + " at " + script.CompileErrorPos()).c_str());
    return;
  }
  long long allocations = 0, runs = 0;
  for (auto _ : state) {
    long long before = gAllocations;
    script.RunProgram();
    allocations += gAllocations - before;
    ++runs;
  }
  String ours = VarToStr(script.LookupName(p.ResultVar)->FetchValue());
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_register(L, "HostAdd", LuaHostAdd);
  luaL_loadstring(L, p.Lua);
  lua_pcall(L, 0, 1, 0);
  String theirs = LuaResult(L);
  lua_close(L);
  if (ours != theirs) state.SkipWithError(("result " + ours.substr(0, 40) + " differs from Lua's " + theirs.substr(0, 40)).c_str());
  state.counters["allocs_per_run"] = runs ? static_cast<double>(allocations) / runs : 0;
  state.SetLabel(p.Name);
}
BENCHMARK(BM_ScriptRun)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_LuaRun(benchmark::State& state) {
  const TProgram& p = kPrograms[state.range(0)];
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_register(L, "HostAdd", LuaHostAdd);
  luaL_loadstring(L, p.Lua);
  for (auto _ : state) {
    lua_pushvalue(L, -1);
    lua_pcall(L, 0, 1, 0);
    lua_pop(L, 1);
  }
  lua_close(L);
  state.SetLabel(p.Name);
}
BENCHMARK(BM_LuaRun)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_ScriptCompile(benchmark::State& state) {
  TfsScript script(nullptr);
  Prepare(script);
  for (auto _ : state)
    for (const TProgram& p : kPrograms)
      if (!Compile(script, p)) {
        state.SkipWithError(script.CompileError().c_str());
        return;
      }
}
BENCHMARK(BM_ScriptCompile)->Unit(benchmark::kMicrosecond);

void BM_LuaCompile(benchmark::State& state) {
  lua_State* L = luaL_newstate();
  for (auto _ : state)
    for (const TProgram& p : kPrograms) {
      luaL_loadbuffer(L, p.Lua, std::strlen(p.Lua), p.Name);
      lua_pop(L, 1);
    }
  lua_close(L);
}
BENCHMARK(BM_LuaCompile)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    for (int i = 0; i < 4; ++i) {
      std::string n = std::to_string(i);
      bench::PrintRatio(std::string("running '") + kPrograms[i].Name + "' against Lua 5.4",
                        times.Ratio("BM_ScriptRun/" + n, "BM_LuaRun/" + n), 3.0);
    }
    bench::PrintRatio("compiling the four against luaL_loadbuffer", times.Ratio("BM_ScriptCompile", "BM_LuaCompile"), 3.0);
    std::printf("allocations per host call: %.3f\n", times.Counter("BM_ScriptRun", "allocs_per_run") / 1e6);
  });
}
