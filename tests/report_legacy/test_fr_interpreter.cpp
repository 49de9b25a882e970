// The older engine's scripts: the compiled line layout, running with a variable store,
// labels and GOTO, and error messages in source coordinates.
#include "report_legacy/FR_Intrp.h"

#include "core/StrUtils.h"
#include "core/StringList.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// An interpreter whose names live in a map; calls are recorded.
class TStoreInterpreter : public TfrInterpretator {
public:
  std::map<String, Variant> Vars;
  std::vector<String> Calls;
  void GetValue(const String& Name, Variant& Value) override {
    auto it = Vars.find(UpperCase(Name));
    if (it != Vars.end()) Value = it->second;
  }
  void SetValue(const String& Name, const Variant& Value) override { Vars[UpperCase(Name)] = Value; }
  void DoFunction(const String& Name, Variant p1, Variant p2, Variant p3, Variant& Val) override {
    Calls.push_back(Name + "|" + VarToStr(p1) + "|" + VarToStr(p2) + "|" + VarToStr(p3));
    Val = Variant(0);
  }
};

struct TCompiled {
  TStringList Lines, Errors;
  TCompiled(TfrInterpretator& in, const String& text) {
    TStringList src;
    src.SetText(text);
    in.CompileScript(&src, &Lines, &Errors);
  }
};

String Target(int t) { return String{char(t & 0xFF), char(t >> 8)}; }

TEST(FrInterpreter, CompiledLinesHaveTheStoredLayout) {
  TStoreInterpreter in;
  {
    TCompiled c(in, "IF a THEN b := 1 ELSE b := 2");
    ASSERT_EQ(c.Errors.Count(), 0) << c.Errors.Text();
    ASSERT_EQ(c.Lines.Count(), 4);
    EXPECT_EQ(c.Lines[0], String(1, frline::IfFalseJump) + Target(3) + "a ");
    EXPECT_EQ(c.Lines[1], "b 1 ");
    EXPECT_EQ(c.Lines[2], String(1, frline::Jump) + Target(4));
    EXPECT_EQ(c.Lines[3], "b 2 ");
  }
  {
    TCompiled c(in, "x := 1; y := 2");  // one statement only
    ASSERT_EQ(c.Lines.Count(), 1);
    EXPECT_EQ(c.Lines[0], "x 1 ");
  }
  {
    TCompiled c(in, "begin a[1] := 5; Foo; exit end");
    ASSERT_EQ(c.Errors.Count(), 0) << c.Errors.Text();
    ASSERT_EQ(c.Lines.Count(), 3);
    EXPECT_EQ(c.Lines[0], String(1, frline::Call) + "SETARRAY(a, 1, 5)");
    EXPECT_EQ(c.Lines[1], String(1, frline::Call) + "Foo(0)");
    EXPECT_EQ(c.Lines[2], String(1, frline::Call) + "exit(0)");
  }
  for (const char* empty : {"", "BEGIN END", "begin end;"}) {
    TCompiled c(in, empty);
    EXPECT_EQ(c.Lines.Count(), 0) << empty;
    EXPECT_EQ(c.Errors.Count(), 0) << empty;
  }
  TCompiled one(in, "BEGIN x := 1; END");
  EXPECT_EQ(one.Lines.Count(), 1);
}

TEST(FrInterpreter, RunsLoopsBranchesAndCalls) {
  struct Case {
    const char* Script;
    const char* Var;
    double Expect;
  };
  const Case cases[] = {
      {"BEGIN s := 0; FOR i := 1 TO 3 DO s := s + i END", "S", 6},
      {"BEGIN s := 0; FOR i := 1 TO 3 DO s := s + i END", "I", 4},
      {"BEGIN i := 0; WHILE i < 5 DO i := i + 2 END", "I", 6},
      {"BEGIN i := 0; REPEAT i := i + 1; i := i + 1 UNTIL i >= 5 END", "I", 6},
      {"IF 1 = 2 THEN r := 1 ELSE r := 2", "R", 2},
      {"BEGIN r := 1; GOTO 10; r := 2; 10: r := r + 10 END", "R", 11},
      {"BEGIN r := 1; exit; r := 2 END", "R", 1},
      {"begin r := 0; if (1 = 1) and (2 = 2) then begin r := 3; end end", "R", 3},
      {"{lead} BEGIN r := 2 // note\r * 4 END", "R", 8},
  };
  for (const Case& c : cases) {
    TStoreInterpreter in;
    TCompiled comp(in, c.Script);
    ASSERT_EQ(comp.Errors.Count(), 0) << c.Script << ": " << comp.Errors.Text();
    in.RunScript(&comp.Lines);
    EXPECT_DOUBLE_EQ(in.Vars[c.Var].AsDouble(), c.Expect) << c.Script;
  }
  TStoreInterpreter in;
  TCompiled comp(in, "BEGIN a[2] := 5; Foo; Bar(1, 'x') END");
  in.RunScript(&comp.Lines);
  ASSERT_EQ(in.Calls.size(), 3u);
  EXPECT_EQ(in.Calls[0], "SETARRAY|a| 2| 5");
  EXPECT_EQ(in.Calls[1], "FOO|0||");
  EXPECT_EQ(in.Calls[2], "BAR|1| 'x'|");
}

TEST(FrInterpreter, ErrorsNameTheirPlaceInTheSource) {
  struct Case {
    const char* Script;
    const char* Error;
  };
  const Case cases[] = {
      {"BEGIN\n  x := 1\n  y := 2\nEND", "Line 3/3: Need \";\" or \"end\" here"},
      {"IF a b := 1", "Line 1/6: Need \"then\" here"},
      {"BEGIN GOTO x END", "Line 1/12: \"goto\" label must be a number"},
      {"BEGIN GOTO 99 END", "Line 1/12: Label not defined"},
      {"BEGIN x := 1;; END", "Line 1/14: Need statement here"},
      {"BEGIN { a comment } x 1 END", "Line 1/23: Need \":=\" here"},
      {"// first\nBEGIN x := (1 END", "Line 2/15: Need \")\" here"},
      {"WHILE a x := 1", "Line 1/9: Need \"do\" here"},
      {"FOR i := 1 DO x := 1", "Line 1/12: Need \"to\" here"},
      {"REPEAT x := 1 END", "Line 1/15: Need \";\" or \"until\" here"},
      {"x := F(1 2)", "Line 1/10: Need \",\" or \")\" here"},
      {"x := [a", "Line 1/6: Need \"]\" here"},
      {"BEGIN\nx := 1;\nx := 2 * -3\nEND", "Line 3/6: An operator without its operands in expression '2 * -3'"},
      {"BEGIN", "Line 2/0: Need \";\" or \"end\" here"},
  };
  for (const Case& c : cases) {
    TStoreInterpreter in;
    TCompiled comp(in, c.Script);
    ASSERT_EQ(comp.Errors.Count(), 1) << c.Script;
    EXPECT_EQ(comp.Errors[0], c.Error) << c.Script;
  }
  // Lines compiled before the error stay.
  TStoreInterpreter in;
  TCompiled comp(in, "BEGIN x := 1; y := 2 z END");
  EXPECT_EQ(comp.Lines.Count(), 2);
}

TEST(FrInterpreter, FindsAggregateCallsInCompiledLines) {
  TStoreInterpreter in;
  TCompiled comp(in, "BEGIN IF SUM([a]) > 1 THEN t := COUNT(x) + 1; MAX(SUM(b)) END");
  ASSERT_EQ(comp.Errors.Count(), 0) << comp.Errors.Text();
  TStringList match, found;
  match.Add("SUM");
  match.Add("COUNT");
  TfrVariables vars;
  in.FindFunctionCalls(&comp.Lines, &match, &vars, &found);
  EXPECT_EQ(found.CommaText(), "SUM([a]),COUNT(x),SUM(b)");
}

}  // namespace
