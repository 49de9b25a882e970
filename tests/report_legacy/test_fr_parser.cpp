// The older engine's expressions: the postfix layout other units store, evaluation with its
// operators and built-in functions, the owner's events, refusals, the variable list and the
// finder of aggregate calls.
#include "report_legacy/FR_Pars.h"

#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StringList.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A parser whose names come from a table and whose functions are recorded.
struct TNames {
  TfrParser Parser;
  std::map<String, Variant> Values;
  std::vector<String> Asked, Calls;
  TNames() {
    Parser.SetOnGetValue(TGetPValueEvent::Lambda([this](const String& n, Variant& v) {
      Asked.push_back(n);
      auto it = Values.find(n);
      if (it != Values.end()) v = it->second;
    }));
    Parser.SetOnFunction(TFunctionEvent::Lambda([this](const String& n, Variant p1, Variant p2, Variant p3, Variant& v) {
      Calls.push_back(n + "|" + VarToStr(p1) + "|" + VarToStr(p2) + "|" + VarToStr(p3));
      v = Variant(42);
    }));
  }
};

TEST(FrParser, EvaluatesOperatorsAndBuiltInsAsTheEngineDefinesThem) {
  struct Case {
    const char* Expr;
    Variant Expect;
  };
  const Case cases[] = {
      {"2+3*4", Variant(14.0)},
      {"(2+3)*4", Variant(20.0)},
      {"-2*3", Variant(-6.0)},
      {"1=1", Variant(1)},
      {"1<>1", Variant(0)},
      {"2 >= 3", Variant(0)},
      {"NOT 0", Variant(1)},
      {"not 5", Variant(0)},
      {"7 MOD 3", Variant(1)},
      {"INT(2.9999999999999)", Variant(3.0)},
      {"INT(-2.5)", Variant(-2.0)},
      {"ROUND(2.5)", Variant(2.0)},
      {"ROUND(3.5)", Variant(4.0)},
      {"FRAC(1.25)", Variant(0.25)},
      {"10/0", Variant(0)},
      {"7/2", Variant(3.5)},
      {"", Variant(0)},
      {"'it''s'", Variant("it's")},
      {"1,5", Variant(1.5)},
      {"1.5", Variant(1.5)},
      {"'a' + 'b'", Variant("ab")},
      {"STR(12)", Variant("12")},
      {"TRUE", Variant(true)},
      {"COPY('abcdef', 2, 3)", Variant("bcd")},
      {"COPY('abc', 9, 3)", Variant("")},
      {"IF(1, 'x', 'y')", Variant("x")},
      {"IF(0, 'x', 'y')", Variant("y")},
      {"1 + 2; 100", Variant(3.0)},
      {"(1=1) OR (2=3)", Variant(1)},
  };
  for (const Case& c : cases) {
    TfrParser p;
    Variant v = p.Evaluate(c.Expr);
    EXPECT_EQ(VarType(v), VarType(c.Expect)) << c.Expr;
    EXPECT_TRUE(VarSameValue(v, c.Expect)) << c.Expr << " gave " << VarToStr(v);
  }
}

TEST(FrParser, BothDecimalMarksReadWhateverTheUserSeparator) {
  TRestore<char> sep(FormatSettings().DecimalSeparator, ',');
  TfrParser p;
  EXPECT_DOUBLE_EQ(p.Evaluate("1,5").AsDouble(), 1.5);
  EXPECT_DOUBLE_EQ(p.Evaluate("1.5 * 2").AsDouble(), 3.0);
}

TEST(FrParser, PostfixLayoutIsTheStoredOne) {
  TfrParser p;
  // Operands carry one blank; operators are single codes; calls are verbatim.
  EXPECT_EQ(p.ToPostfix("a>=b"), "a b \x01");
  EXPECT_EQ(p.ToPostfix("a >= b"), p.ToPostfix("a>=b"));
  EXPECT_EQ(p.ToPostfix("a;b"), "a ");
  EXPECT_EQ(p.ToPostfix("-2*3"), String("2 3 *\x09"));
  EXPECT_EQ(p.ToPostfix("COPY([Name], 1, 3) + x"), "COPY([Name], 1, 3)x +");
  EXPECT_EQ(p.ToPostfix("[Table.Field] <> 'a b'"), "[Table.Field] 'a b' \x03");
  EXPECT_EQ(p.ToPostfix("a[1+2]"), "a[1+2] ");
  EXPECT_EQ(p.ToPostfix("7 mod 3"), "7 3 \x0D");
  // AND and OR bind like '*': A = 1 OR B = 2 reads A = (1 OR B) = 2.
  EXPECT_EQ(p.ToPostfix("A = 1 OR B = 2"), String("A 1 B \x04=2 ="));
}

TEST(FrParser, NamesAndCallsReachTheEvents) {
  TNames n;
  n.Values["Table.Field"] = Variant(5);
  n.Values["QTY"] = Variant(3);
  EXPECT_EQ(n.Parser.Evaluate("[Table.Field] + qty").AsInteger(), 8);
  ASSERT_EQ(n.Asked.size(), 2u);
  EXPECT_EQ(n.Asked[0], "Table.Field");  // bracketed: as written
  EXPECT_EQ(n.Asked[1], "QTY");          // bare: upper-cased

  EXPECT_EQ(n.Parser.Evaluate("Sum(x)").AsInteger(), 42);
  EXPECT_EQ(n.Parser.Evaluate("F(a, b c, 'd,e')").AsInteger(), 42);
  EXPECT_EQ(n.Parser.Evaluate("arr[1]").AsInteger(), 42);
  ASSERT_EQ(n.Calls.size(), 3u);
  EXPECT_EQ(n.Calls[0], "SUM|x||");
  EXPECT_EQ(n.Calls[1], "F|a| b c| 'd,e'");
  EXPECT_EQ(n.Calls[2], "GETARRAY|arr| 1|");

  // IF evaluates only the chosen branch.
  n.Calls.clear();
  EXPECT_EQ(n.Parser.Evaluate("IF(1, 'x', F())").AsString(), "x");
  EXPECT_EQ(n.Parser.Evaluate("IF(1, 'x', 1/0)").AsString(), "x");
  EXPECT_TRUE(n.Calls.empty());

  // Without handlers, unknown names and functions are the empty value.
  TfrParser bare;
  EXPECT_TRUE(VarIsEmpty(bare.Evaluate("x")));
  EXPECT_TRUE(VarIsEmpty(bare.Evaluate("F(1)")));
}

TEST(FrParser, RefusesFormsTheStackCannotHoldNamingTheExpression) {
  TfrParser p;
  String deep = "1";
  for (int i = 0; i < 40; ++i) deep = "(" + deep + "+1)";  // left-nested: two values at a time
  String wide;  // right-nested: 41 values pending at once
  for (int i = 0; i < 40; ++i) wide += "1+(";
  wide += "1";
  for (int i = 0; i < 40; ++i) wide += ")";
  const char* bad[] = {"2*-3", "F(1,2,3,4)", "COPY(a", "+"};
  for (const char* e : bad) {
    try {
      p.Evaluate(e);
      ADD_FAILURE() << e;
    } catch (const EfrParserError& x) {
      EXPECT_NE(x.Message().find(e), String::npos) << x.Message();
    }
  }
  EXPECT_THROW(p.ToPostfix(wide), EfrParserError);
  EXPECT_DOUBLE_EQ(p.Evaluate(deep).AsDouble(), 41.0);
  // A stored postfix string is not trusted either.
  EXPECT_THROW(p.EvalPostfix("*"), EfrParserError);
  String manyOperands;
  for (int i = 0; i < 40; ++i) manyOperands += "1 ";
  EXPECT_THROW(p.EvalPostfix(manyOperands), EfrParserError);
  // Nesting of built-ins is bounded.
  String nested = "1";
  for (int i = 0; i < 300; ++i) nested = "IF(1, " + nested + ", 0)";
  EXPECT_THROW(p.Evaluate(nested), EfrParserError);
}

TEST(FrParser, ReadBracketedSkipsQuotedBrackets) {
  std::size_t start = 0, finish = 0;
  String s = "x + [a['b]'] \"]\" c] + 1";
  EXPECT_EQ(ReadBracketed(s, start, finish), "a['b]'] \"]\" c");
  EXPECT_EQ(start, 4u);
  EXPECT_EQ(s[finish], ']');
  start = 99;
  EXPECT_EQ(ReadBracketed(s, start, finish), "");
}

TEST(FrVariables, ListByNameAndIndex) {
  TfrVariables v;
  v.SetSorted(true);
  v.SetVariable("b", Variant(2));
  v.SetVariable("A", Variant(1));
  v.SetVariable("B", Variant(3));  // replaces
  EXPECT_EQ(v.Count(), 2);
  EXPECT_EQ(v.Name(0), "A");
  EXPECT_EQ(v.Variable("a").AsInteger(), 1);
  EXPECT_EQ(v.Variable("b").AsInteger(), 3);
  EXPECT_TRUE(VarIsNull(v.Variable("zz")));
  EXPECT_EQ(v.Value(9).AsInteger(), 0);
  EXPECT_EQ(v.Name(-1), "");
  v.Delete(7);
  v.Delete(0);
  EXPECT_EQ(v.IndexOf("b"), 0);
  v.Clear();
  EXPECT_EQ(v.Count(), 0);
}

TEST(FrFunctionSplitter, FindsNestedCallsFirstAndFollowsVariables) {
  TStringList match, found;
  match.Add("SUM");
  match.Add("COUNT");
  TfrVariables vars;
  vars.SetVariable("Total", Variant("SUM([z])"));
  TfrFunctionSplitter s(&match, &found, &vars);
  s.Split("SUM([x]) + COUNT(SUM(y))");
  ASSERT_EQ(found.Count(), 3);
  EXPECT_EQ(found[0], "SUM([x])");
  EXPECT_EQ(found[1], "SUM(y)");
  EXPECT_EQ(found[2], "COUNT(SUM(y))");
  found.Clear();
  s.Split("[Total] * 2");
  ASSERT_EQ(found.Count(), 1);
  EXPECT_EQ(found[0], "SUM([z])");
  // A variable that names itself ends instead of recursing for ever.
  vars.SetVariable("Loop", Variant("[Loop] + SUM(q)"));
  found.Clear();
  s.Split("[Loop]");
  EXPECT_GT(found.Count(), 0);
  found.Clear();
  s.Split("'SUM(x)'");
  EXPECT_EQ(found.Count(), 0);
}

}  // namespace
