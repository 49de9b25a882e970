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

String Join(const std::vector<String>& Parts, const String& Sep) {
  String s;
  for (const String& p : Parts) s += (s.empty() ? String() : Sep) + p;
  return s;
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
      // `x := x op e` on Integers wraps as `c := a op b` does, though it runs as a compound form.
      {"var x, b: Integer; begin x := 2147483647; b := 1; x := x + b; Emit(x); x := x - 1; Emit(x); "
       "x := 65536; x := x * 65536; Emit(x); x := 3; x := 2147483647 + x; Emit(x) end.",
       "-2147483648 2147483647 0 -2147483646"},
      {"var v: Variant; begin v := 2147483647; v := v + 1; Emit(v) end.", "2147483648"},
      // Variants holding Integers widen instead of wrapping, and divide by zero as Integers do.
      {"var a, b: Variant; begin a := -2147483647 - 1; b := -1; Emit(a div b); Emit(a mod b); Emit(a * b); "
       "Emit(a - 1); Emit(a + 0.5); b := 0; Emit(a div b) end.",
       "raised: Division by zero after 2147483648 0 2147483648 -2147483649 -2147483647.5"},
      {"var i: Integer; begin i := 7; if (i > 6) and (i < 8) then Emit('in'); while i > 5 do i := i - 1; Emit(i) end.",
       "in 5"},
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
      // A recursive call keeps the caller's locals, parameters and Result, of every type.
      {"function Sum(n: Integer): Integer; var k: Integer; begin k := n * 10; "
       "if n > 0 then Result := Sum(n - 1) + k else Result := 0; Emit(k) end; begin Emit(Sum(3)) end.",
       "0 10 20 30 60"},
      {"function D(n: Integer): Integer; begin if n > 0 then begin n := n - 1; Result := D(n) + n end "
       "else Result := 0 end; begin Emit(D(3)) end.",
       "3"},
      {"function R(n: Integer): String; var s: String; begin if n = 0 then s := 'a' else if n = 1 then s := 'b' "
       "else s := 'c'; if n > 0 then Result := R(n - 1) + s else Result := s end; begin Emit(R(2)) end.",
       "abc"},
      {"procedure Count(n: Integer; var c: Integer); begin if n > 0 then begin c := c + 1; Count(n - 1, c) end end; "
       "var x: Integer; begin x := 0; Count(4, x); Emit(x) end.",
       "4"},
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

TEST(ScriptProgram, MacroArgumentsArriveAsSourceText) {
  auto s = NewTestScript();
  s->RegisterFunction("macrofunction M(a: Variant): Variant",
                      [](TObject*, TClass, const String&, TfsMethodHelper* Caller) { return Caller->ParamValue(0); });
  EXPECT_EQ(RunScript(*s, "var a, b: Integer; begin Emit(M(a + b)); Emit(M( 1  *  2 )) end."), "a + b 1  *  2");
}

TEST(ScriptProgram, PositionsAndSourceTextsCountCharactersNotBytes) {
  auto s = NewTestScript();
  s->RegisterFunction("macrofunction M(a: Variant): Variant",
                      [](TObject*, TClass, const String&, TfsMethodHelper* Caller) { return Caller->ParamValue(0); });
  EXPECT_EQ(RunScript(*s, "var a: String; begin a := 'x'; Emit(M('中文' + a)); Emit(M(a + 'b')) end."),
            "'中文' + a a + 'b'");
  s->DiscardProgram();
  EXPECT_EQ(RunScript(*s, "var t: String; begin t := '中文'; x := 1 end."), "error: Undeclared identifier: 'x' at 1:34");
  s->DiscardProgram();
  EXPECT_EQ(RunScript(*s, "var t: String; begin t := 'ab'; x := 1 end."), "error: Undeclared identifier: 'x' at 1:34");
}

TEST(ScriptProgram, LateBindingFollowsTheValuesClass) {
  // The same designator meets objects of different classes: each is resolved by its own class.
  const char* prog =
      "var v: Variant; i: Integer; a, b: TComponent;\n"
      "begin a := TComponent.Create(nil); a.Name := 'first'; b := TTestChild.Create(nil); b.Name := 'second';\n"
      "  for i := 1 to 2 do begin if i = 1 then v := a else v := b; Emit(v.Name) end;\n"
      "  for i := 1 to 2 do begin if i = 1 then v := b else v := a; Emit(v.Extra) end;\n"
      "end.";
  EXPECT_EQ(RunScript(prog), "raised: Undeclared identifier: 'Extra' after first second 0");
}

TEST(ScriptProgram, ASecondVariantStepBindsLateAgain) {
  // `v.Partner` is late bound on v; Partner answers a Variant, so `.Name` and `.Extra` bind
  // late once more, each time by the class of the object Partner answers then.
  auto s = NewTestScript();
  s->LookupClass("TTestObj")->RegisterMethod(
      "function Partner: Variant", [](TObject* Instance, TClass, const String&, TfsMethodHelper*) {
        return Variant(static_cast<Integer>(static_cast<TComponent*>(Instance)->Tag()));
      });
  const char* prog =
      "var v, w: Variant; i: Integer; a: TTestObj; b, c: TComponent;\n"
      "begin a := TTestObj.Create(nil); b := TTestChild.Create(nil); b.Name := 'child';\n"
      "  c := TComponent.Create(nil); c.Name := 'comp'; v := a;\n"
      "  for i := 1 to 3 do begin if i = 2 then w := b else w := c; a.Tag := w; Emit(v.Partner.Name) end;\n"
      "  w := b; a.Tag := w; v.Partner.Name := 'renamed'; Emit(b.Name);\n"
      "  for i := 1 to 2 do begin if i = 1 then w := b else w := c; a.Tag := w; Emit(v.Partner.Extra) end;\n"
      "end.";
  EXPECT_EQ(RunScript(*s, prog), "raised: Undeclared identifier: 'Extra' after comp child comp renamed 0");
  // A step that answers no object cannot be followed.
  s->DiscardProgram();
  EXPECT_EQ(RunScript(*s, "var v: Variant; a: TTestObj; begin a := TTestObj.Create(nil); v := a; "
                          "Emit(v.Partner.Name) end."),
            "raised: Class type required");
}

TEST(ScriptProgram, RunLinesAndStop) {
  auto s = NewTestScript();
  std::vector<String> lines;
  s->SetOnRunLine(TfsRunLineEvent::Lambda([&](TfsScript*, const String&, const String& Pos) { lines.push_back(Pos); }));
  EXPECT_EQ(RunScript(*s, "var i: Integer;\nbegin\n  for i := 1 to 2 do\n  begin\n    if i = 2 then\n      break;\n"
                          "    Emit(i)\n  end\nend."),
            "1");
  // for, then per round: if (and in round 2 nothing else: break reports no line), Emit.
  EXPECT_EQ(Join(lines, " "), "3:3 5:5 7:5 5:5");

  lines.clear();
  s->SetOnRunLine(TfsRunLineEvent::Lambda([&](TfsScript* Sender, const String&, const String& Pos) {
    lines.push_back(Pos);
    if (Pos == "3:3") Sender->StopRun();
  }));
  s->DiscardProgram();
  EXPECT_EQ(RunScript(*s, "begin\n  Emit(1);\n  Emit(2);\n  Emit(3)\nend."), "1");
  EXPECT_EQ(Join(lines, " "), "2:3 3:3");
  EXPECT_FALSE(s->Running());

  s->SetOnRunLine(nullptr);
  s->DiscardProgram();
  EXPECT_EQ(RunScript(*s, "var z: Integer; begin z := 0; Emit(1 div z) end."), "raised: Division by zero");
  EXPECT_FALSE(s->Running());
}

TEST(ScriptProgram, RunawayRecursionAndEndlessLoops) {
  EXPECT_EQ(RunScript("procedure P; begin P; end; begin P end."), "raised: Stack overflow");
  EXPECT_EQ(RunScript("procedure P; begin P; end; begin try P except Emit('caught') end; Emit('on') end."),
            "caught on");
  auto s = NewTestScript();
  s->SetMaxCallDepth(10);
  EXPECT_EQ(RunScript(*s, "function F(n: Integer): Integer; begin if n = 0 then Result := 0 else Result := F(n - 1) + 1 end;"
                          " begin Emit(F(9)); Emit(F(10)) end."),
            "raised: Stack overflow after 9");

  auto t = NewTestScript();
  t->SetRunTimeLimit(200);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunScript(*t, "begin while 1 = 1 do ; end."), "raised: Script run time limit exceeded");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  t->DiscardProgram();
  EXPECT_EQ(RunScript(*t, "var i: Integer; begin i := 0; repeat i := i + 1 until i < 0 end."),
            "raised: Script run time limit exceeded");
}

TEST(ScriptProgram, EvaluateExpressionAndInvokeFunction) {
  auto s = NewTestScript();
  s->Lines()->SetText("var g: Integer; function Add(a: Integer; b: Integer = 10): Integer; begin Result := a + b end; "
                      "begin g := 5 end.");
  ASSERT_TRUE(s->CompileSource()) << s->CompileError();
  s->RunProgram();
  EXPECT_EQ(s->EvaluateExpression("g * 2 + Add(1, 2)").AsInteger(), 13);
  String error;
  Variant v = s->EvaluateExpression("1 +", error);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(VarToStr(v), error);
  EXPECT_TRUE(s->EvaluateExpression("2 + 2", error) == Variant(4));
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(s->InvokeFunction("Add", VarArrayOf({Variant(1)})).AsInteger(), 11);
  EXPECT_EQ(s->InvokeFunction("Add", VarArrayOf({Variant(1), Variant(2), Variant(3)})).AsInteger(), 3);
}

namespace {

// Builds a hand-written intermediate program (the children of `program`) into a fresh script
// and runs it.
String RunIL(const String& Body) {
  auto s = NewTestScript();
  ScriptTestEmitted().clear();
  TfsILParser parser(s.get());
  TStringStream stream("<?xml version=\"1.0\"?><program>" + Body + "<types/></program>");
  parser.ILDoc()->LoadFromStream(&stream);
  parser.BuildProgram();
  if (!s->CompileError().empty()) return "error: " + s->CompileError() + " at " + s->CompileErrorPos();
  try {
    s->RunProgram();
  } catch (const Exception& e) {
    return "raised: " + e.Message();
  }
  return Joined();
}

const char* kVarI = "<var><ident text=\"i\" pos=\"1:1\"/><type text=\"Integer\"/></var>";

String Num(int N) { return "<expr pos=\"1:1\"><number text=\"" + IntToStr(N) + "\"/></expr>"; }
String EmitOf(const String& Name) {
  return "<callstmt pos=\"2:1\"><dsgn><node text=\"Emit\" pos=\"2:5\"/><expr><dsgn><node text=\"" + Name +
         "\"/></dsgn></expr></dsgn></callstmt>";
}

}  // namespace

TEST(ScriptProgram, IntermediateElementsOtherLanguagesWrite) {
  // Basic for with step -2.
  EXPECT_EQ(RunIL(String(kVarI) + "<vbforstmt pos=\"1:1\"><ident text=\"i\"/>" + Num(10) + Num(1) +
                  "<expr><op text=\"unminus\"/><number text=\"2\"/></expr>" + EmitOf("i") + "</vbforstmt>"),
            "10 8 6 4 2");
  // C-style for without a body.
  EXPECT_EQ(RunIL(String(kVarI) + "<cppforstmt pos=\"1:1\"><assignstmt><dsgn><node text=\"i\"/></dsgn>" + Num(0) +
                  "</assignstmt><expr><dsgn><node text=\"i\"/></dsgn><op text=\"&#60;\"/><number text=\"3\"/></expr>"
                  "<callstmt><dsgn><node text=\"i\"/></dsgn><modificator text=\"+\"/></callstmt></cppforstmt>" +
                  EmitOf("i")),
            "3");
  // return x: Result, then exit.
  EXPECT_EQ(RunIL("<function pos=\"1:1\"><name text=\"F\"/><type text=\"Integer\"/><return pos=\"1:5\">" + Num(7) +
                  "</return>" + EmitOf("Result") + "</function>" +
                  "<callstmt><dsgn><node text=\"Emit\"/><expr><dsgn><node text=\"F\"/></dsgn></expr></dsgn></callstmt>"),
            "7");
  // Nested with statements get hidden variables 0 and 1.
  auto s = NewTestScript();
  TfsILParser parser(s.get());
  TStringStream stream(
      "<?xml version=\"1.0\"?><program><var><ident text=\"o\"/><type text=\"TTestObj\"/></var>"
      "<with pos=\"1:1\"><dsgn><node text=\"o\"/></dsgn><with pos=\"1:2\"><dsgn><node text=\"o\"/></dsgn>"
      "<assignstmt><dsgn><node text=\"Caption\"/></dsgn><expr><string text=\"'x'\"/></expr></assignstmt></with></with>"
      "<types/></program>");
  parser.ILDoc()->LoadFromStream(&stream);
  parser.BuildProgram();
  EXPECT_EQ(s->CompileError(), "");
  EXPECT_NE(dynamic_cast<TfsVariable*>(s->LookupLocalName("0")), nullptr);
  EXPECT_NE(dynamic_cast<TfsVariable*>(s->LookupLocalName("1")), nullptr);
  EXPECT_EQ(s->LookupLocalName("2"), nullptr);
}

TEST(ScriptProgram, AddressesAndWatches) {
  RunTable({
      {"procedure P; begin end; var x: Variant; begin x := @P; Emit(x) end.", "P"},
      {"var o: TTestObj; x: Variant; begin x := @o.Caption end.", "error: Variable required at 1:41"},
  });
  // A watch evaluated while a procedure runs sees its locals.
  auto s = NewTestScript();
  String watched;
  s->SetOnRunLine(TfsRunLineEvent::Lambda([&](TfsScript* Sender, const String&, const String& Pos) {
    if (Pos == "1:32") watched = VarToStr(s->EvaluateExpression("n * 10"));
  }));
  EXPECT_EQ(RunScript(*s, "procedure P(n: Integer); begin Emit(n) end; begin P(4) end."), "4");
  EXPECT_EQ(watched, "40");
}

TEST(ScriptProgram, NewDeleteAndUnitsFromTheHost) {
  ScriptTestCalls().clear();
  // A script made first: the handles the modules give out for good (the application's) exist
  // before counting.
  NewTestScript();
  int handles = ObjectHandleCount();
  EXPECT_EQ(RunIL("<var><ident text=\"o\"/><type text=\"TTestObj\"/></var>"
                  "<assignstmt><dsgn><node text=\"o\"/></dsgn><expr><new><dsgn><node text=\"TTestObj\"/>"
                  "<expr><dsgn><node text=\"nil\"/></dsgn></expr></dsgn></new></expr></assignstmt>"
                  "<assignstmt><dsgn><node text=\"o\"/><node text=\"Caption\"/></dsgn><expr><string text=\"'made'\"/></expr>"
                  "</assignstmt>"
                  "<callstmt><dsgn><node text=\"Emit\"/><expr><dsgn><node text=\"o\"/><node text=\"Caption\"/>"
                  "</dsgn></expr></dsgn></callstmt><delete><dsgn><node text=\"o\"/></dsgn></delete>"),
            "made");
  ASSERT_GE(ScriptTestCalls().size(), 1u);
  EXPECT_EQ(ScriptTestCalls().front(), "TTestObj.CREATE");
  EXPECT_EQ(ObjectHandleCount(), handles);  // delete freed it, through TObject's Free

  // A unit's intermediate program handed in by the host replaces the inlined one.
  auto s = NewTestScript();
  s->SetOnGetILUnit(TfsGetUnitEvent::Lambda([](TfsScript*, const String& Name, String& Text) {
    if (Name == "U")
      Text = "<?xml version=\"1.0\"?><program><var><ident text=\"u\"/><type text=\"Integer\"/><init><expr>"
             "<number text=\"5\"/></expr></init></var><types/></program>";
  }));
  ScriptTestEmitted().clear();
  TfsILParser parser(s.get());
  TStringStream stream("<?xml version=\"1.0\"?><program><uses unit=\"U\"/>" + EmitOf("u") + "<types/></program>");
  parser.ILDoc()->LoadFromStream(&stream);
  parser.BuildProgram();
  ASSERT_EQ(s->CompileError(), "");
  s->RunProgram();
  EXPECT_EQ(Joined(), "5");
}
