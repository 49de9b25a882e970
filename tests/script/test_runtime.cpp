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

TEST(ScriptProgram, Loops) {
  RunTable({
      {"var i: Integer; begin for i := 1 to 0 do Emit(i) end.", ""},
      {"var i: Integer; begin for i := 3 downto 1 do Emit(i) end.", "3 2 1"},
      {"var i: Integer; begin for i := 1 to 10 do ; Emit(i) end.", "10"},
      {"var i: Integer; begin for i := 2147483646 to 2147483647 do Emit(i) end.", "2147483646 2147483647"},
      {"var i: Integer; begin for i := -2147483647 downto -2147483647 - 1 do Emit(i) end.", "-2147483647 -2147483648"},
      {"var i, n: Integer; begin n := 3; for i := 1 to n do begin n := 10; Emit(i) end end.", "1 2 3"},
      {"var i: Integer; begin i := 0; while i < 3 do begin i := i + 1; Emit(i) end end.", "1 2 3"},
      {"var i: Integer; begin i := 0; repeat i := i + 1 until i >= 3; Emit(i) end.", "3"},
      {"var i, j: Integer; begin for i := 1 to 2 do for j := 1 to 3 do begin if j = 2 then break; Emit(i * 10 + j) end end.",
       "11 21"},
      {"var i: Integer; begin i := 0; repeat i := i + 1; if i < 3 then continue; Emit(i) until i >= 3; Emit('end') end.",
       "3 end"},
      {"var i: Integer; begin for i := 1 to 5 do begin if i mod 2 = 0 then continue; Emit(i) end end.", "1 3 5"},
      {"procedure P; var i: Integer; begin for i := 1 to 5 do try if i = 2 then exit; Emit(i) finally Emit('f') end; "
       "Emit('after') end; begin P; Emit('out') end.",
       "1 f f out"},
      {"var x: Integer; begin case 2 of 1: Emit('one'); 2, 3: Emit('two'); else Emit('else') end; "
       "case 9 of 1..5: Emit('low') else Emit('other') end end.",
       "two other"},
      {"var x: Integer; begin x := 1; if x = 1 then Emit('a') else Emit('b'); if x = 2 then Emit('c') else Emit('d') end.",
       "a d"},
  });
}

TEST(ScriptProgram, TryAndErrors) {
  RunTable({
      {"var x, z: Integer; begin z := 0; try x := 1 div z; except x := -1; end; Emit(x); Emit('next') end.", "-1 next"},
      {"var z: Integer; begin z := 0; try try Emit(1 div z) finally Emit('f') end except Emit('e') end end.", "f e"},
      {"var z: Integer; begin z := 0; try Emit(1 div z) finally Emit('f') end; Emit('never') end.",
       "raised: Division by zero after f"},
      {"var z: Integer; begin z := 0; try Emit(1) except Emit('e') end; Emit(2) end.", "1 2"},
  });
}

TEST(ScriptProgram, RoutinesAndCalls) {
  RunTable({
      {"function F(n: Integer): Integer; begin if n = 0 then Result := 1 else Result := n * F(n - 1) end; "
       "begin Emit(F(5)) end.",
       "120"},
      {"procedure Inc2(var a: Integer); begin a := a + 2 end; var x: Integer; "
       "begin x := 1; Inc2(x); Emit(x); Inc2(5); Inc2(x + 1); Emit(x) end.",
       "3 3"},
      {"function G(a: Integer; b: Integer = 7): Integer; begin Result := a + b end; begin Emit(G(1)); Emit(G(1, 2)) end.",
       "8 3"},
      {"procedure P(a, b: Integer); begin Emit(a); Emit(b) end; begin P(1, 2) end.", "1 2"},
      {"var s: String; begin s := 'abc'; Emit(s[2]); s[2] := 'xyz'; Emit(s) end.", "b axc"},
      {"var a: array[1..3] of Integer; i: Integer; begin for i := 1 to 3 do a[i] := i * i; Emit(a[1] + a[2] + a[3]) end.",
       "14"},
      {"var a: array[0..1, 0..1] of Integer; begin a[1, 0] := 5; Emit(a[1, 0]) end.", "5"},
      {"var v: Variant; begin v := 'hello'; Emit(v[2]) end.", "e"},
      {"procedure Early; begin Emit(1); exit; Emit(2) end; begin Early; Emit(3) end.", "1 3"},
      {"function F(var r: Integer): Integer; begin r := 9; Result := r + 1 end; var x: Integer; begin Emit(F(x)); Emit(x) end.",
       "10 9"},
  });
}

TEST(ScriptProgram, Objects) {
  RunTable({
      {"var o: TTestObj; begin o := TTestObj.Create(nil); o.Caption := 'c'; Emit(o.Caption); Emit(o.Twice(21)); "
       "o[3] := 'three'; Emit(o[3]); Emit(o.Items[3]); o.Free end.",
       "c 42 three three"},
      {"var o: TTestObj; begin o := TTestObj.Create(nil); with o do begin Caption := 'w'; Emit(Twice(2)) end; "
       "Emit(o.Caption); o.Free end.",
       "4 w"},
      {"var o: TObject; begin o := TTestChild.Create(nil); Emit(o is TTestObj); Emit(o is TTestChild); "
       "o := nil; Emit(o is TTestObj) end.",
       "True True False"},
      {"var v: Variant; begin v := TTestObj.Create(nil); v.Caption := 'late'; Emit(v.Caption) end.", "late"},
  });
}

TEST(ScriptProgram, CompileErrors) {
  RunTable({
      {"begin x := 1; end.", "error: Undeclared identifier: 'x' at 1:8"},
      {"var s: String; begin s := 1 end.", "error: Incompatible types: 'String', 'Integer' at 1:28"},
      {"var i: Integer; begin i := 1.5 end.", "error: Incompatible types: 'Integer', 'Extended' at 1:31"},
      {"const c = 1; begin c := 2 end.", "error: Left side cannot be assigned to at 1:21"},
      {"var s: String; begin for s := 1 to 2 do ; end.", "error: For loop variable must be numeric variable at 1:27"},
      {"procedure P(a: Integer); begin end; begin P end.", "error: Not enough actual parameters at 1:44"},
      {"procedure P; begin end; begin P(1) end.", "error: Too many actual parameters at 1:32"},
      {"var s: String; begin s.Foo := 1 end.", "error: Strings doesn't have properties or methods at 1:27"},
      {"var i: Integer; begin i[0] := 1 end.", "error: Array type required at 1:25"},
      {"var i: Integer; begin with i do Emit(1); end.", "error: Class type required at 1:29"},
      {"var a: Variant; begin a := 'x' + 1 end.", "error: Incompatible types at 1:33"},
      {"var x: Integer; x: String; begin end.", "error: Identifier redeclared: 'x' at 1:18"},
      {"var x: TNoSuchType; begin end.", "error: Unknown type: 'TNoSuchType' at 1:6"},
      {"var o: TTestObj; begin o.NoMember := 1 end.", "error: Undeclared identifier: 'NoMember' at 1:34"},
      {"var b: Boolean; begin b := True + True end.", "error: Incompatible types at 1:34"},
  });
}
