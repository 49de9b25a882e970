// The script host modules against their peers, in the same run: a button's click handled by a
// script procedure against the same procedure called through InvokeFunction (a C++ handler's
// time is printed beside them); a string list driven from
// compiled PascalScript against the same TStringList driven from Lua 5.4 through userdata; a
// late-bound automation property incremented from a script against the same Invoke calls made
// directly; and a script made, its modules installed and a one-line program run, against a Lua
// state opened with its libraries running the same line.
#include "BenchUtil.h"
#include "script/fs_ihelpers.h"
#include "script/fs_iscript.h"
#include "core/ComObj.h"
#include "core/StringList.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool CompileInto(TfsScript& S, const char* Source) {
  S.InstallModules();
  S.Lines()->SetText(Source);
  return S.CompileSource();
}

// ---- (a) a click handled by a script procedure

constexpr int kClicks = 100000;
const char* kCounter = "var n: Integer; procedure C(Sender: TObject); begin n := n + 1 end; begin n := 0";

// The handler compiled and the program run once: n is 0 and, when there is a button, the
// procedure handles its clicks.
bool PrepareClickScript(TfsScript& S, TButton* Button) {
  S.InstallModules();
  if (Button) S.RegisterObject("B", Button);
  S.Lines()->SetText(String(kCounter) + (Button ? "; B.OnClick := 'C' end." : " end."));
  if (!S.CompileSource()) return false;
  S.RunProgram();
  return true;
}

void BM_ScriptClickHandler(benchmark::State& state) {
  TForm form(nullptr);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  TfsScript script(nullptr);
  if (!PrepareClickScript(script, button)) {
    state.SkipWithError(script.CompileError().c_str());
    return;
  }
  for (auto _ : state)
    for (int i = 0; i < kClicks; ++i) button->Click();
  if (script.LookupName("n")->FetchValue().AsInt64() != static_cast<Int64>(kClicks) * state.iterations())
    state.SkipWithError("wrong count");
}
BENCHMARK(BM_ScriptClickHandler)->Unit(benchmark::kMillisecond);

void BM_InvokeFunctionHandler(benchmark::State& state) {
  TfsScript script(nullptr);
  if (!PrepareClickScript(script, nullptr)) {
    state.SkipWithError(script.CompileError().c_str());
    return;
  }
  Variant args = VarArrayOf({Variant(0)});
  for (auto _ : state)
    for (int i = 0; i < kClicks; ++i) script.InvokeFunction("C", args);
  if (script.LookupName("n")->FetchValue().AsInt64() != static_cast<Int64>(kClicks) * state.iterations())
    state.SkipWithError("wrong count");
}
BENCHMARK(BM_InvokeFunctionHandler)->Unit(benchmark::kMillisecond);

void BM_CppClickHandler(benchmark::State& state) {
  TForm form(nullptr);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  long long n = 0;
  button->OnClick = TNotifyEvent::Lambda([&n](TObject*) { ++n; });
  for (auto _ : state)
    for (int i = 0; i < kClicks; ++i) button->Click();
  benchmark::DoNotOptimize(n);
}
BENCHMARK(BM_CppClickHandler)->Unit(benchmark::kMillisecond);

// ---- (b) a string list; the sum passes 2^31, so it is a Variant (a 64-bit number, as Lua's)

const char* kListPascal =
    "var L: TStringList; n: Variant; i: Integer; begin L := TStringList.Create; n := 0;"
    " for i := 1 to 1000000 do begin L.Add('x'); n := n + L.Count end; L.Free end.";
const char* kListLua =
    "local L = NewList() local n = 0 for i = 1, 1000000 do L:Add('x') n = n + L:Count() end L:Free() return n";

TStringList* CheckList(lua_State* L) { return *static_cast<TStringList**>(luaL_checkudata(L, 1, "TStringList")); }

int LuaListAdd(lua_State* L) {
  size_t n = 0;
  const char* s = luaL_checklstring(L, 2, &n);
  lua_pushinteger(L, CheckList(L)->Add(String(s, n)));
  return 1;
}

int LuaListCount(lua_State* L) {
  lua_pushinteger(L, CheckList(L)->Count());
  return 1;
}

int LuaListFree(lua_State* L) {
  auto** p = static_cast<TStringList**>(luaL_checkudata(L, 1, "TStringList"));
  delete *p;
  *p = nullptr;
  return 0;
}

int LuaNewList(lua_State* L) {
  auto** p = static_cast<TStringList**>(lua_newuserdata(L, sizeof(TStringList*)));
  *p = new TStringList();
  luaL_setmetatable(L, "TStringList");
  return 1;
}

lua_State* NewListState() {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  luaL_newmetatable(L, "TStringList");
  const luaL_Reg methods[] = {{"Add", LuaListAdd}, {"Count", LuaListCount}, {"Free", LuaListFree}, {nullptr, nullptr}};
  luaL_newlib(L, methods);
  lua_setfield(L, -2, "__index");
  lua_pop(L, 1);
  lua_register(L, "NewList", LuaNewList);
  return L;
}

void BM_ScriptStringList(benchmark::State& state) {
  TfsScript script(nullptr);
  if (!CompileInto(script, kListPascal)) {
    state.SkipWithError(script.CompileError().c_str());
    return;
  }
  for (auto _ : state) script.RunProgram();
  if (script.LookupName("n")->FetchValue().AsInt64() != 500000500000LL) state.SkipWithError("wrong sum");
}
BENCHMARK(BM_ScriptStringList)->Unit(benchmark::kMillisecond);

void BM_LuaStringList(benchmark::State& state) {
  lua_State* L = NewListState();
  luaL_loadstring(L, kListLua);
  for (auto _ : state) {
    lua_pushvalue(L, -1);
    lua_pcall(L, 0, 1, 0);
    lua_pop(L, 1);
  }
  lua_close(L);
}
BENCHMARK(BM_LuaStringList)->Unit(benchmark::kMillisecond);

// ---- (c) a late-bound automation property

class TCounter : public TAutomationObject {
public:
  HRESULT GetIDsOfNames(const String& Name, int& DispId) override {
    if (Name != "Value") return DISP_E_UNKNOWNNAME;
    DispId = 1;
    return 0;
  }
  HRESULT Invoke(int, Word Flags, const TDispParams& Params, Variant* Result, TExcepInfo&) override {
    if (Flags == DISPATCH_PROPERTYPUT) FValue = Params.Args[0];
    else if (Result) *Result = FValue;
    return 0;
  }
  Variant FValue = Variant(0);
};

void BM_ScriptAutomation(benchmark::State& state) {
  RegisterAutomationClass("Bench.Counter", [] { return std::make_shared<TCounter>(); });
  TfsScript script(nullptr);
  if (!CompileInto(script, "var o: Variant; i: Integer; begin o := CreateOleObject('Bench.Counter');"
                           " for i := 1 to 100000 do o.Value := o.Value + 1 end.")) {
    state.SkipWithError(script.CompileError().c_str());
    return;
  }
  for (auto _ : state) script.RunProgram();
  RegisterAutomationClass("Bench.Counter", nullptr);
}
BENCHMARK(BM_ScriptAutomation)->Unit(benchmark::kMillisecond);

void BM_DirectAutomation(benchmark::State& state) {
  auto counter = std::make_shared<TCounter>();
  TAutomationObject* server = counter.get();
  TExcepInfo info;
  for (auto _ : state) {
    for (int i = 0; i < 100000; ++i) {
      int id = 0;
      server->GetIDsOfNames("Value", id);
      Variant v;
      server->Invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, TDispParams(), &v, info);
      server->GetIDsOfNames("Value", id);
      TDispParams put{{v + Variant(1)}, {DISPID_PROPERTYPUT}};
      server->Invoke(id, DISPATCH_PROPERTYPUT, put, nullptr, info);
    }
  }
  benchmark::DoNotOptimize(counter->FValue);
}
BENCHMARK(BM_DirectAutomation)->Unit(benchmark::kMillisecond);

// ---- (d) a script made and run once

void BM_ScriptStartUp(benchmark::State& state) {
  long long sum = 0;
  for (auto _ : state) {
    TfsScript script(nullptr);
    script.InstallModules();
    script.RegisterFunction("procedure Emit(v: Variant)", [&sum](TObject*, TClass, const String&, TfsMethodHelper* C) {
      sum += C->ParamValue(0).AsInteger();
      return Variant(0);
    });
    script.Lines()->SetText("begin Emit(1 + 2) end.");
    if (!script.CompileSource()) {
      state.SkipWithError(script.CompileError().c_str());
      return;
    }
    script.RunProgram();
  }
  if (sum != 3 * static_cast<long long>(state.iterations())) state.SkipWithError("wrong sum");
}
BENCHMARK(BM_ScriptStartUp)->Unit(benchmark::kMicrosecond);

int LuaEmit(lua_State* L) {
  *static_cast<long long*>(lua_touserdata(L, lua_upvalueindex(1))) += luaL_checkinteger(L, 1);
  return 0;
}

void BM_LuaStartUp(benchmark::State& state) {
  long long sum = 0;
  for (auto _ : state) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    lua_pushlightuserdata(L, &sum);
    lua_pushcclosure(L, LuaEmit, 1);
    lua_setglobal(L, "Emit");
    luaL_dostring(L, "Emit(1 + 2)");
    lua_close(L);
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_LuaStartUp)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    if (double cpp = times.Time("BM_CppClickHandler"); cpp > 0)
      std::printf("a C++ click handler: %.1f ns per click\n", cpp / kClicks);
    bench::PrintRatioRows(times, {
        {"a click handled by a script procedure against InvokeFunction", "BM_ScriptClickHandler",
         "BM_InvokeFunctionHandler", 1.5},
        {"a string list from a script against Lua 5.4 userdata", "BM_ScriptStringList", "BM_LuaStringList", 5.0},
        {"a late-bound property from a script against direct Invoke calls", "BM_ScriptAutomation",
         "BM_DirectAutomation", 5.0},
        {"a new script with its modules running one line against a new Lua state", "BM_ScriptStartUp",
         "BM_LuaStartUp", 20.0},
    });
  });
  DoneApplication();
  return rc;
}
