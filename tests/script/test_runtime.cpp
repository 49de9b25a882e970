// The runtime: PascalScript programs compiled and run end to end, their compile errors, the
// run-line hook, stopping, limits and expression evaluation.
#include "ScriptTestUtil.h"
#include "script/fs_idesignator.h"
#include "script/fs_iexpression.h"
#include "script/fs_iilparser.h"
#include "script/fs_istatements.h"
#include "script/fs_xml.h"
#include "core/ObjectHandles.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "core/Format.h"

#include <chrono>

namespace {

// The values the program emitted, as text ("Null" for Null), joined by blanks.
String Joined() {
  String s;
  for (const Variant& v : ScriptTestEmitted()) {
    if (!s.empty()) s += " ";
    s += VarIsNull(v) ? String("Null") : VarToStr(v);
  }
  return s;
}

// Compiles and runs; the emitted values, or "error: <message> at <pos>" for a compile error,
// or "raised: <message>" for a run-time error.
String RunScript(TfsScript& S, const String& Source) {
  ScriptTestEmitted().clear();
  S.Lines()->SetText(Source);
  if (!S.CompileSource()) return "error: " + S.CompileError() + " at " + S.CompileErrorPos();
  try {
    S.RunProgram();
  } catch (const Exception& e) {
    return "raised: " + e.Message() + (Joined().empty() ? String() : " after " + Joined());
  }
  return Joined();
}

String RunScript(const String& Source) {
  auto s = NewTestScript();
  return RunScript(*s, Source);
}

struct TCase {
  const char* Source;
  const char* Expect;
};

void RunTable(std::initializer_list<TCase> Cases) {
  for (const TCase& c : Cases) EXPECT_EQ(RunScript(c.Source), c.Expect) << c.Source;
}

}  // namespace

TEST(ScriptProgram, AssignmentEndToEnd) {
  EXPECT_EQ(RunScript("var x: Integer; begin x := 1 + 2; Emit(x) end."), "3");
}

TEST(ScriptProgram, Arithmetic) {
  RunTable({
      {"begin Emit(2 + 3 * 4); Emit(10 - 4 - 3); Emit(2 * 3 div 4); Emit(7 / 2); Emit(-7 mod 2) end.",
       "14 3 1 3.5 -1"},
      {"begin Emit((2 + 3) * 4); Emit(2 * (3 - 5)); Emit(7 div 2); Emit(-2 * 3) end.", "20 -4 3 -6"},
      {"var a, b, c: Integer; begin a := 2147483647; b := 1; c := a + b; Emit(c) end.", "-2147483648"},
      {"var a, b, c: Variant; begin a := 2147483647; b := 1; c := a + b; Emit(c) end.", "2147483648"},
      {"var m, n, x: Integer; begin m := -2147483647 - 1; n := -1; x := m div n; Emit(x); Emit(m mod n) end.",
       "-2147483648 0"},
      {"var a, b: Integer; begin a := 1; b := 0; Emit(a div b) end.", "raised: Division by zero"},
      {"var a, b: Integer; begin a := 1; b := 0; Emit(a mod b) end.", "raised: Division by zero"},
      {"var s: String; begin s := 'ab'; s := s + 'c'; Emit(s); Emit('x' + s) end.", "abc xabc"},
      {"begin Emit(not True); Emit(True and not False); Emit(1 < 2); Emit(3 = 4); Emit(5 xor 3) end.",
       "False True True False 6"},
      {"begin Emit(1 shl 4); Emit(256 shr 4); Emit(6 and 3); Emit(6 or 1) end.", "16 16 2 7"},
      {"var x: Integer; begin x := 5; x := x + 5; Emit(x); x := 2 * x; Emit(x); x := x - 1; Emit(x) end.", "10 20 19"},
  });
}

TEST(ScriptProgram, Sets) {
  for (int x = 1; x <= 6; ++x) {
    bool in = x == 1 || (x >= 3 && x <= 5);
    String expect = in ? "True True" : "False False";
    EXPECT_EQ(RunScript("var x: Integer; s: Variant; begin x := " + IntToStr(x) +
                  "; s := [1, 3..5]; Emit(x in [1, 3..5]); Emit(x in s) end."),
              expect)
        << x;
  }
  EXPECT_EQ(RunScript("var c: String; begin c := 'b'; Emit(c in ['a'..'c']); Emit(c in ['x']) end."), "True False");
}

TEST(ScriptProgram, ShortCircuitOnlyForBooleans) {
  const char* prog =
      "var n: Integer; b: %s;\n"
      "function F: Boolean; begin n := n + 1; Result := True end;\n"
      "begin b := False; n := 0; if b and F then Emit('yes'); Emit(n) end.";
  EXPECT_EQ(RunScript(Format(prog, {"Boolean"})), "0");
  EXPECT_EQ(RunScript(Format(prog, {"Variant"})), "1");
}
