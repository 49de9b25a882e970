// The script languages against each other and JScript against Duktape, in the same run:
// (a) JScript programs (fib(25), a 10^6-round loop, a sieve to 10^5 over `var a[N]`, 10^4
//     string appends) run by the engine against Duktape evaluating the same text
//     (duk_peval_string); aim <= 3 x;
// (b) the same programs over Variants in C++Script, BasicScript and JScript against
//     PascalScript; aim <= 1.2 x;
// (c) compiling generated programs of 1,000 and 10,000 lines in each language: 10,000 lines
//     within 12 x of 1,000 (nothing grows faster than the text), and the 10,000-line JScript
//     text against Duktape's compile of it (aim <= 20 x, as the front end's against Lua's load:
//     our compile builds a tree of objects that are checked and resolved, not bytecode).
// Compiling stays outside the timing of the runs, and every run's result is compared with the
// PascalScript program's (and, for JScript, with Duktape's).
#include "BenchUtil.h"
#include "script/fs_iscript.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

#include <duktape.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

// The languages in benchmark-argument order; PascalScript is the baseline.
constexpr const char* kLanguages[] = {"PascalScript", "C++Script", "BasicScript", "JScript"};

struct TProgram {
  const char* Name;
  const char* Text[4];  // by kLanguages; every variable a Variant
  const char* Duktape;  // its value is the result
  const char* ResultVar;
};

const TProgram kPrograms[] = {
    {"fib(25)",
     {"var s: Variant;\r\nfunction Fib(n: Variant): Variant;\r\nbegin\r\n  if n < 2 then Result := n else Result := "
      "Fib(n - 1) + Fib(n - 2)\r\nend;\r\nbegin\r\n  s := Fib(25)\r\nend.",
      "Variant s;\r\nVariant Fib(Variant n) {\r\n  if (n < 2) return n;\r\n  return Fib(n - 1) + Fib(n - 2);\r\n}\r\n"
      "{\r\n  s = Fib(25);\r\n}",
      "Function Fib(n)\r\n  If n < 2 Then Return n\r\n  Return Fib(n - 1) + Fib(n - 2)\r\nEnd Function\r\ns = Fib(25)",
      "function Fib(n) {\r\n  if (n < 2) return n;\r\n  return Fib(n - 1) + Fib(n - 2);\r\n}\r\ns = Fib(25);"},
     "function Fib(n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); } var s = Fib(25); s", "s"},
    {"loop of 10^6",
     {"var s, i: Variant;\r\nbegin\r\n  s := 0;\r\n  for i := 1 to 1000000 do s := s + i mod 7\r\nend.",
      "Variant s, i;\r\n{\r\n  s = 0;\r\n  for (i = 1; i <= 1000000; i++) s = s + i % 7;\r\n}",
      "s = 0\r\nFor i = 1 To 1000000\r\n  s = s + i Mod 7\r\nNext",
      "s = 0;\r\nfor (i = 1; i <= 1000000; i++) s = s + i % 7;"},
     "var s = 0; for (var i = 1; i <= 1000000; i++) s = s + i % 7; s", "s"},
    {"sieve to 10^5",
     {"var a: array[0..100000] of Variant;\r\n    i, j, n: Variant;\r\nbegin\r\n"
      "  for i := 0 to 100000 do a[i] := 0;\r\n  n := 0;\r\n  for i := 2 to 100000 do\r\n"
      "    if a[i] = 0 then begin\r\n      n := n + 1;\r\n      j := i + i;\r\n"
      "      while j <= 100000 do begin a[j] := 1; j := j + i end\r\n    end\r\nend.",
      "Variant a[100001], i, j, n;\r\n{\r\n  for (i = 0; i <= 100000; i++) a[i] = 0;\r\n  n = 0;\r\n"
      "  for (i = 2; i <= 100000; i++)\r\n    if (a[i] == 0) {\r\n      n++;\r\n"
      "      for (j = i + i; j <= 100000; j += i) a[j] = 1;\r\n    }\r\n}",
      "Dim a[100001]\r\nFor i = 0 To 100000\r\n  a[i] = 0\r\nNext\r\nn = 0\r\nFor i = 2 To 100000\r\n"
      "  If a[i] = 0 Then\r\n    n = n + 1\r\n    j = i + i\r\n    While j <= 100000\r\n      a[j] = 1\r\n"
      "      j = j + i\r\n    Wend\r\n  End If\r\nNext",
      "var a[100001];\r\nfor (i = 0; i <= 100000; i++) a[i] = 0;\r\nn = 0;\r\nfor (i = 2; i <= 100000; i++)\r\n"
      "  if (a[i] == 0) {\r\n    n++;\r\n    for (j = i + i; j <= 100000; j += i) a[j] = 1;\r\n  }"},
     "var a = new Array(100001); for (var i = 0; i <= 100000; i++) a[i] = 0; var n = 0;"
     " for (i = 2; i <= 100000; i++) if (a[i] == 0) { n++; for (var j = i + i; j <= 100000; j += i) a[j] = 1; } n",
     "n"},
    {"10^4 string appends",
     {"var s, i: Variant;\r\nbegin\r\n  s := '';\r\n  for i := 1 to 10000 do s := s + 'x'\r\nend.",
      "Variant s, i;\r\n{\r\n  s = \"\";\r\n  for (i = 1; i <= 10000; i++) s += \"x\";\r\n}",
      "s = \"\"\r\nFor i = 1 To 10000\r\n  s = s + \"x\"\r\nNext",
      "s = \"\";\r\nfor (i = 1; i <= 10000; i++) s += \"x\";"},
     "var s = ''; for (var i = 1; i <= 10000; i++) s += 'x'; s", "s"},
};
constexpr int kProgramCount = sizeof kPrograms / sizeof kPrograms[0];

// The type names the programs use, kept when a program is discarded.
void Prepare(TfsScript& S) {
  S.SetOwnerTag(fsModuleOwnerTag);
  S.RegisterType("Variant", tcVariant);
  S.RegisterType("Integer", tcInteger);
  S.SetOwnerTag(0);
}

bool Compile(TfsScript& S, int Language, const String& Text) {
  S.DiscardProgram();
  S.SetSyntaxType(kLanguages[Language]);
  S.Lines()->SetText(Text);
  return S.CompileSource();
}

// The program's result as text, after one run.
String RunOnce(int Language, const TProgram& P, String& Error) {
  TfsScript script(nullptr);
  Prepare(script);
  if (!Compile(script, Language, P.Text[Language])) {
    Error = script.CompileError() + " at " + script.CompileErrorPos();
    return String();
  }
  script.RunProgram();
  return VarToStr(script.LookupName(P.ResultVar)->FetchValue());
}

String DuktapeResult(const TProgram& P) {
  duk_context* ctx = duk_create_heap_default();
  String r = duk_peval_string(ctx, P.Duktape) == 0 ? String(duk_safe_to_string(ctx, -1)) : String("(failed)");
  duk_destroy_heap(ctx);
  return r;
}

// Runs program range(0) in language range(1); the result must be PascalScript's.
void BM_Run(benchmark::State& state) {
  const TProgram& p = kPrograms[state.range(0)];
  const int language = static_cast<int>(state.range(1));
  TfsScript script(nullptr);
  Prepare(script);
  if (!Compile(script, language, p.Text[language])) {
    state.SkipWithError((script.CompileError() + " at " + script.CompileErrorPos()).c_str());
    return;
  }
  for (auto _ : state) script.RunProgram();
  const String ours = VarToStr(script.LookupName(p.ResultVar)->FetchValue());
  String error;
  const String pascal = RunOnce(0, p, error);
  if (ours != pascal) state.SkipWithError(("result " + ours.substr(0, 40) + " differs from PascalScript's " + pascal.substr(0, 40) + error).c_str());
  if (language == 3 && ours != DuktapeResult(p)) state.SkipWithError("result differs from Duktape's");
  state.SetLabel(String(p.Name) + " " + kLanguages[language]);
}
BENCHMARK(BM_Run)->ArgsProduct({benchmark::CreateDenseRange(0, kProgramCount - 1, 1), {0, 1, 2, 3}})->Unit(benchmark::kMillisecond);

void BM_DuktapeRun(benchmark::State& state) {
  const TProgram& p = kPrograms[state.range(0)];
  duk_context* ctx = duk_create_heap_default();
  for (auto _ : state) {
    if (duk_peval_string(ctx, p.Duktape) != 0) {
      state.SkipWithError(duk_safe_to_string(ctx, -1));
      break;
    }
    duk_pop(ctx);
  }
  duk_destroy_heap(ctx);
  state.SetLabel(p.Name);
}
BENCHMARK(BM_DuktapeRun)->DenseRange(0, kProgramCount - 1)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- compiling

// Generated programs: routines of eight lines each, called once from the main program. The
// JScript text is JavaScript as well, so Duktape compiles the very same text.
String Generated(int Language, int Lines) {
  const int routines = Lines / 8;
  String s;
  if (Language == 0) s += "var total: Variant;\r\n";
  for (int i = 0; i < routines; ++i) {
    const String n = IntToStr(i);
    switch (Language) {
      case 0:
        s += "function F" + n + "(a, b: Variant): Variant;\r\nvar j, s: Variant;\r\nbegin\r\n  s := 0;\r\n"
             "  for j := 1 to a do s := s + (j * b - a) mod 7;\r\n  while s > 100 do s := s - b;\r\n"
             "  if (s >= 0) and (a <> b) then Result := s else Result := -s\r\nend;\r\n";
        break;
      case 1:
        s += "Variant F" + n + "(Variant a, Variant b) {\r\n  Variant j, s;\r\n  s = 0;\r\n"
             "  for (j = 1; j <= a; j++) s = s + (j * b - a) % 7;\r\n  while (s > 100) s = s - b;\r\n"
             "  if (s >= 0 && a != b) return s; else return -s;\r\n}\r\n\r\n";
        break;
      case 2:
        s += "Function F" + n + "(a, b)\r\n  s = 0\r\n  For j = 1 To a\r\n    s = s + (j * b - a) Mod 7\r\n"
             "  Next\r\n  If s >= 0 And a <> b Then Return s\r\n  Return -s\r\nEnd Function\r\n";
        break;
      default:
        s += "function F" + n + "(a, b) {\r\n  var j, s;\r\n  s = 0;\r\n"
             "  for (j = 1; j <= a; j++) s = s + (j * b - a) % 7;\r\n  while (s > 100) s = s - b;\r\n"
             "  if (s >= 0 && a != b) return s; else return -s;\r\n}\r\n\r\n";
    }
  }
  const char* open[] = {"begin\r\n  total := 0;\r\n", "Variant total;\r\n{\r\n  total = 0;\r\n", "total = 0\r\n", "total = 0;\r\n"};
  const char* close[] = {"end.\r\n", "}\r\n", "", ""};
  s += open[Language];
  for (int i = 0; i < routines; ++i) {
    const String call = "F" + IntToStr(i) + "(" + IntToStr(i) + ", 3)";
    s += Language == 0 ? "  total := total + " + call + ";\r\n"
         : Language == 2 ? "total = total + " + call + "\r\n"
                         : "  total = total + " + call + ";\r\n";
  }
  s += close[Language];
  return s;
}

// Compiles the generated program of range(1) lines in language range(0).
void BM_Compile(benchmark::State& state) {
  const int language = static_cast<int>(state.range(0));
  const String text = Generated(language, static_cast<int>(state.range(1)));
  TfsScript script(nullptr);
  Prepare(script);
  for (auto _ : state)
    if (!Compile(script, language, text)) {
      state.SkipWithError((script.CompileError() + " at " + script.CompileErrorPos()).c_str());
      return;
    }
  state.SetLabel(kLanguages[language]);
}
BENCHMARK(BM_Compile)->ArgsProduct({{0, 1, 2, 3}, {1000, 10000}})->Unit(benchmark::kMillisecond);

void BM_DuktapeCompile(benchmark::State& state) {
  const String text = Generated(3, static_cast<int>(state.range(0)));
  duk_context* ctx = duk_create_heap_default();
  for (auto _ : state) {
    if (duk_pcompile_string(ctx, 0, text.c_str()) != 0) {
      state.SkipWithError(duk_safe_to_string(ctx, -1));
      break;
    }
    duk_pop(ctx);
  }
  duk_destroy_heap(ctx);
}
BENCHMARK(BM_DuktapeCompile)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    for (int p = 0; p < kProgramCount; ++p) {
      const std::string n = std::to_string(p);
      bench::PrintRatio(std::string("JScript ") + kPrograms[p].Name + " against Duktape",
                        times.Ratio("BM_Run/" + n + "/3", "BM_DuktapeRun/" + n), 3.0);
    }
    for (int p = 0; p < kProgramCount; ++p)
      for (int l = 1; l < 4; ++l) {
        const std::string n = std::to_string(p);
        bench::PrintRatio(std::string(kLanguages[l]) + " " + kPrograms[p].Name + " over Variants against PascalScript",
                          times.Ratio("BM_Run/" + n + "/" + std::to_string(l), "BM_Run/" + n + "/0"), 1.2);
      }
    for (int l = 0; l < 4; ++l) {
      const std::string n = std::to_string(l);
      bench::PrintRatio(std::string("compiling 10,000 against 1,000 lines of ") + kLanguages[l],
                        times.Ratio("BM_Compile/" + n + "/10000", "BM_Compile/" + n + "/1000"), 12.0);
    }
    bench::PrintRatio("compiling 10,000 lines of JScript against Duktape's compile",
                      times.Ratio("BM_Compile/3/10000", "BM_DuktapeCompile/10000"), 20.0);
  });
}
