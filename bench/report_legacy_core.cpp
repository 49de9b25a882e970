// The older report engine's core against what a user could pick instead: an expression
// evaluated from its postfix form against the same expression compiled once by Lua, both
// asking the host for the names; and loading a report of 500 text objects from memory
// against a plain read of the same bytes that copies each counted string out.
#include "LegacyReportBench.h"
#include "BenchUtil.h"

#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Prntr.h"

#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/Application.h"
#include "print/Printers.h"

#include <cstdlib>
#include <cstring>
#include <lua5.4/lua.hpp>

namespace {

// ---------------------------------------------------------------- expressions

const char* const kExpression = "([QTY] * [PRICE] - 5) / 2 > 100";

struct TOrderLine {
  Variant Qty{7};
  Variant Price{30.5};
};

void BM_EvalPostfix(benchmark::State& state) {
  TOrderLine line;
  TfrParser parser;
  parser.SetOnGetValue(TGetPValueEvent::Lambda([&line](const String& n, Variant& v) {
    if (n == "QTY") v = line.Qty;
    else if (n == "PRICE") v = line.Price;
  }));
  const String postfix = parser.ToPostfix(kExpression);
  int yes = 0;
  for (auto _ : state) {
    Variant v = parser.EvalPostfix(postfix);
    yes += v.AsInteger();
  }
  benchmark::DoNotOptimize(yes);
  if (yes != static_cast<int>(state.iterations())) state.SkipWithError("wrong result");
}
BENCHMARK(BM_EvalPostfix);

int LuaValue(lua_State* L) {
  auto* line = static_cast<TOrderLine*>(lua_touserdata(L, lua_upvalueindex(1)));
  const char* n = lua_tostring(L, 1);
  if (std::strcmp(n, "QTY") == 0) lua_pushinteger(L, line->Qty.AsInteger());
  else if (std::strcmp(n, "PRICE") == 0) lua_pushnumber(L, line->Price.AsDouble());
  else lua_pushnil(L);
  return 1;
}

void BM_LuaCompiledOnce(benchmark::State& state) {
  TOrderLine line;
  lua_State* L = luaL_newstate();
  lua_pushlightuserdata(L, &line);
  lua_pushcclosure(L, LuaValue, 1);
  lua_setglobal(L, "v");
  if (luaL_loadstring(L, "return (v('QTY') * v('PRICE') - 5) / 2 > 100") != LUA_OK) {
    state.SkipWithError("lua compile");
    return;
  }
  const int chunk = luaL_ref(L, LUA_REGISTRYINDEX);
  int yes = 0;
  for (auto _ : state) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, chunk);
    lua_call(L, 0, 1);
    yes += lua_toboolean(L, -1);
    lua_pop(L, 1);
  }
  benchmark::DoNotOptimize(yes);
  lua_close(L);
}
BENCHMARK(BM_LuaCompiledOnce);

// ---------------------------------------------------------------- report files

constexpr int kObjects = 500;

String ReportBytes() {
  TfrReport report(nullptr);
  TfrPage* page = report.Pages()->Add();
  for (int i = 0; i < kObjects; ++i) {
    auto* memo = new TfrMemoView;
    memo->Name = "Memo" + IntToStr(i + 1);
    memo->SetViewBounds(10, 20 * i, 300, 18);
    memo->Memo.SetText("Contract [Qry.\"Code\"] of [Qry.\"Customer\"]\nSigned [Qry.\"SignDate\"]");
    memo->Font->SetName("Arial");
    page->AddObject(memo);
  }
  TMemoryStream m;
  report.SaveToStream(&m);
  return String(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
}

// The report's bytes read in place.
class TBytesView : public TCustomMemoryStream {
public:
  explicit TBytesView(const String& b) { SetPointer(const_cast<char*>(b.data()), static_cast<Int64>(b.size())); }
  Int64 Write(const void*, Int64) override { return 0; }
};

void BM_LoadReport(benchmark::State& state) {
  const String bytes = ReportBytes();
  TfrReport report(nullptr);
  for (auto _ : state) {
    TBytesView m(bytes);
    report.LoadFromStream(&m);
    if (report.Pages()->Page(0)->ObjectCount() != kObjects) state.SkipWithError("objects missing");
  }
}
BENCHMARK(BM_LoadReport)->Unit(benchmark::kMicrosecond);

// The same bytes read field by field with nothing but copies of the counted strings.
struct TPlainReader {
  const unsigned char* P;
  const unsigned char* End;
  std::vector<std::string> Strings;
  template <class T> T Get() {
    T v;
    std::memcpy(&v, P, sizeof v);
    P += sizeof v;
    return v;
  }
  void Counted() {
    const auto n = Get<std::uint16_t>();
    Strings.emplace_back(reinterpret_cast<const char*>(P), n);
    P += n + 1;
  }
  void Lines() {
    if (Get<std::uint16_t>() == 0) {
      ++P;
      return;
    }
    for (;;) {
      const auto n = Get<std::uint16_t>();
      Strings.emplace_back(reinterpret_cast<const char*>(P), n);
      P += n;
      if (*P++ == 0) break;
    }
  }
};

void BM_PlainRead(benchmark::State& state) {
  const String bytes = ReportBytes();
  for (auto _ : state) {
    TPlainReader r{reinterpret_cast<const unsigned char*>(bytes.data()),
                   reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size(), {}};
    r.Strings.reserve(kObjects * 6);
    r.P += 1 + 4;  // version, default printer, two passes
    r.Counted();   // printer
    int objects = 0;
    for (bool more = true; more && r.P < r.End;) {
      switch (r.Get<std::uint8_t>()) {
        case 255:  // page
          r.P += 4 * 8 + 1 + 4 + 4 + 8 + 1;
          r.Counted();
          r.P += 1;
          r.Counted();
          r.P += 4 * 5 + 1;
          r.Lines();
          break;
        case 0:  // text object
          r.P += 1 + 4;  // page, end position
          r.Counted();   // name
          r.P += 2 + 30 + 4;
          r.P += 4;
          r.Counted();  // format text
          r.Lines();    // memo
          r.Lines();    // script
          r.P += 2 + 2;
          r.Counted();  // tag
          r.P += 8 + 1;
          r.Counted();  // font
          r.P += 4 + 2 + 4 + 4 + 2 + 10;
          r.Counted();  // highlight
          r.P += 8;
          ++objects;
          break;
        case 254:  // dictionary: three empty lists
          r.P += 2 + 12;
          break;
        default:
          more = false;
      }
    }
    if (objects != kObjects) state.SkipWithError("plain read lost its place");
    benchmark::DoNotOptimize(r.Strings.data());
  }
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMicrosecond);

// A machine without printers, so the pages take the virtual printer's paper.
}  // namespace

int main(int argc, char** argv) {
  bench::StartOffscreenWithoutPrinters(argc, argv);
  TfrGlobals globals;
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatio("EvalPostfix against Lua compiled once", times.Ratio("BM_EvalPostfix", "BM_LuaCompiledOnce"), 5);
    bench::PrintRatio("loading a 500-object report against a plain read", times.Ratio("BM_LoadReport", "BM_PlainRead"), 4);
  });
}
