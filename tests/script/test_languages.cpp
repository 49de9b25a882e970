// The four script languages on the one parser and runtime: a check table whose every case is
// one program per language (languages/<case>.pas, .cpp, .bas, .js) that must print what the
// PascalScript program prints; then each language's own syntax, messages and positions, the
// builder branches only the C-like and Basic languages reach, and the grammar registry as
// the code editor uses it.
#include "ScriptTestUtil.h"
#include "script/fs_iilparser.h"
#include "script/fs_iparser.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"

#include <map>

namespace {

// The emitted values as text, joined by "|" ("Null" for Null).
String Emitted() {
  String s;
  for (const Variant& v : ScriptTestEmitted()) {
    if (!s.empty()) s += "|";
    s += VarIsNull(v) ? String("Null") : VarToStr(v);
  }
  return s;
}

// A script of the language with the test module, and a `Get` that answers its argument (the
// function a `<...>` reference calls).
std::unique_ptr<TfsScript> NewScript(const String& Language) {
  auto s = NewTestScript();
  s->SetSyntaxType(Language);
  s->RegisterFunction("function Get(Name: String): Variant",
                      [](TObject*, TClass, const String&, TfsMethodHelper* Caller) { return Caller->ParamValue(0); });
  return s;
}

// Compiles through CompileSource and runs: the emitted values, "error: <message> at <L:C>"
// for a compile error, "raised: <message>" for a run-time error.
String RunScript(TfsScript& S, const String& Source) {
  ScriptTestEmitted().clear();
  S.Lines()->SetText(Source);
  if (!S.CompileSource()) return "error: " + S.CompileError() + " at " + S.CompileErrorPos();
  try {
    S.RunProgram();
  } catch (const Exception& e) {
    return "raised: " + e.Message() + (Emitted().empty() ? String() : " after " + Emitted());
  }
  return Emitted();
}

String RunScript(const String& Language, const String& Source) {
  auto s = NewScript(Language);
  return RunScript(*s, Source);
}

// Parses the raw text (no line handling of Lines in between); "ok" or "<message> at <L:C>".
String Parse(const String& Language, const String& Source) {
  TfsScript script(nullptr);
  TfsILParser parser(&script);
  parser.LoadGrammar(Language);
  if (parser.SourceToIL(Source)) return "ok";
  return script.CompileError() + " at " + script.CompileErrorPos();
}

struct TLanguage {
  const char* Name;
  const char* Extension;
};
constexpr TLanguage kLanguages[] = {
    {"PascalScript", "pas"}, {"C++Script", "cpp"}, {"BasicScript", "bas"}, {"JScript", "js"}};

String ProgramText(const String& Case, const char* Extension) {
  TStringList lines;
  lines.LoadFromFile(String(KELM_SCRIPT_LANGUAGES_DIR) + "/" + Case + "." + Extension);
  return lines.Text();
}

struct TCheck {
  const char* Case;
  const char* Expect;  // the values emitted, joined by "|"
};

// Runs each case in the four languages: every language prints Expect, and so the same lines as
// the PascalScript program.
void RunChecks(std::initializer_list<TCheck> Checks) {
  for (const TCheck& c : Checks)
    for (const TLanguage& l : kLanguages)
      EXPECT_EQ(RunScript(l.Name, ProgramText(c.Case, l.Extension)), c.Expect) << c.Case << "." << l.Extension;
}

struct TCase {
  const char* Language;
  const char* Source;
  const char* Expect;
};

void RunCases(std::initializer_list<TCase> Cases) {
  for (const TCase& c : Cases) EXPECT_EQ(RunScript(c.Language, c.Source), c.Expect) << c.Language << ": " << c.Source;
}

// Whether the functions are registered in a script with every module installed.
bool Registered(std::initializer_list<const char*> Names) {
  auto s = NewScript("PascalScript");
  for (const char* n : Names)
    if (!s->LookupName(n)) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------- the check table

TEST(ScriptLanguages, OneOutputInAllFourLanguages) {
  RunChecks({
      {"loops", "55|3|3"},
      {"arithmetic", "14|3|3.5|3|-1"},
      {"logic", "True|False"},
      {"branches", "b|in"},
      {"nested", "11|21|31"},
      {"routines", "3|1|55"},
      {"arrays", "6"},
      {"strings", "a\tb|C:\\temp"},
      {"references", "T.\"f\""},
  });
}

// The cases that call the system library's functions.
TEST(ScriptLanguages, OneOutputInAllFourLanguagesWithTheSystemLibrary) {
  ASSERT_TRUE(Registered({"RaiseException", "Chr"})) << "the system library must register RaiseException and Chr";
  RunChecks({
      {"exceptions", "caught|finally"},
  });
  // A Basic string has no escapes: a quote inside one is Chr(34) (or a doubled quote).
  RunCases({
      {"BasicScript", "Emit(\"say \" & Chr(34) & \"hi\" & Chr(34))", "say \"hi\""},
      {"BasicScript", "Try\r\n  RaiseException(\"no\")\r\nCatch\r\nEnd Try\r\nEmit(1)", "1"},
      {"BasicScript", "Try\r\n  RaiseException(\"no\")\r\nCatch End Try\r\nEmit(2)", "2"},
  });
}

// ---------------------------------------------------------------- C++Script

TEST(ScriptLanguages, CppScriptSyntaxAndMessages) {
  RunCases({
      // Case-sensitive: `If` is a name, so this is a call missing its `;`.
      {"C++Script", "{ If (x) {} }", "error: ';' expected at 1:10"},
      {"C++Script", "{ int i; for (i = 0; ; i++) ; }", "error: Expression expected at 1:22"},
      // One statement per label and no fall-through: a `break` after it is no label.
      {"C++Script", "{ int a; switch (1) { case 1: a = 1; break; } }", "error: '}' expected at 1:38"},
      {"C++Script", "{}", ""},
      {"C++Script", "{ Emit(1 == 1 & & 2 == 2); }", "True"},
      {"C++Script", "{ Emit(1 = = 1); }", "error: ')' expected at 1:10"},
      {"C++Script", "{ int x = 1; x = 2 }", "error: ';' expected at 1:20"},
      // A loop or condition without a body before `}` gets an empty one.
      {"C++Script", "{ int i; { for (i = 0; i < 3; i++) } Emit(i); }", "3"},
      {"C++Script", "{ int i = 0; { while (i > 0) } { if (i == 0) } Emit(i); }", "0"},
      // Text after the main block is no part of the program.
      {"C++Script", "{ Emit(1); } x = 2;", "error: Syntax error at 1:14"},
      {"C++Script", "{ Emit(0x1F); Emit(\"a\\x41\\n\" == \"aA\\n\"); Emit(7 >> 1 << 2); }", "31|True|12"},
      // `||` and `^` below `&&` below the comparisons, all below arithmetic.
      {"C++Script", "{ int a = 1, b = 2; Emit(a + 1 == b && b < 3 || a == 5); Emit(!(a == 1)); }", "True|False"},
      {"C++Script", "{ Emit(1 == 1 && 2 + 3 == 5); Emit(0 == 1 || 1 == 1 && 0 == 1); Emit((6 ^ 3) == 5); }",
       "True|False|True"},
  });
}

TEST(ScriptLanguages, CppScriptDeclarationsAndStatements) {
  RunCases({
      {"C++Script", "#define MAX 10\r\n{ Emit(MAX); }", "10"},
      {"C++Script", "#define MAX 10\r\n{ MAX = 1; }", "error: Left side cannot be assigned to at 2:6"},
      {"C++Script",
       "void f(int a, int &b, float c = 1.5) { b = a; Emit(c); }\r\n"
       "{ int x = 0; f(5, x); Emit(x); f(1, x, 2); }",
       "1.5|5|2"},
      {"C++Script", "int g() { return 1; Emit(2); }\r\n{ Emit(g()); }", "1"},
      {"C++Script", "void p(int &r) { r = 1; return; r = 2; }\r\n{ int x; p(x); Emit(x); }", "1"},
      // Global variables with their initialisers, arrays of C sizes.
      {"C++Script", "int n = 3, a[3];\r\n{ a[2] = n; Emit(a[2]); Emit(n); }", "3|3"},
      {"C++Script", "{ int a[3]; a[3] = 1; }", "raised: Variant or safe array index out of bounds"},
      {"C++Script", "{ int a[2][3]; a[1][2] = 7; Emit(a[1, 2]); a[0, 1] = 4; Emit(a[0][1]); }", "7|4"},
      {"C++Script", "{ int x = 10; x += 5; x -= 3; x *= 2; x /= 4; Emit(x); x++; x++; x--; Emit(x); }", "6|7"},
      {"C++Script", "{ float f = 1; bool b = f == 1.0; long l = 3; Emit(f / 2); Emit(b); Emit(l); }", "0.5|True|3"},
      {"C++Script", "{ int i, j, s = 0; for (i = 0, j = 9; i < j; i++, j--) s += 1; Emit(s); }", "5"},
      {"C++Script", "{ int i = 5; for (; i < 7; ) i++; Emit(i); }", "7"},
      {"C++Script", "{ int s = 0; for (int k = 1; k <= 3; k++) s += k; Emit(s); }", "6"},
      {"C++Script", "{ int x = 0; do x++; while (x < 10); Emit(x); do { x--; } while (x > 100); Emit(x); }",
       "10|9"},
      {"C++Script",
       "{ int i; for (i = 1; i <= 5; i++) { if (i == 2) continue; if (i == 4) break; Emit(i); } }", "1|3"},
      {"C++Script", "{ switch (7) { case 1: Emit(1); } Emit(2); }", "2"},
      {"C++Script", "{ TTestObj o = new TTestObj(nil); o.Caption = \"c\"; Emit(o.Caption); delete o; }", "c"},
      {"C++Script", "{ int i = 1; delete i; }", "error: Class type required at 1:22"},
      {"C++Script", "void P() { }\r\n{ Emit(&P); }", "P"},
      {"C++Script", "{ Emit(&P.Q); }", "error: Variable required at 1:8"},
      {"C++Script", "{ y = 1; }", "error: Undeclared identifier: 'y' at 1:4"},
      {"C++Script", "{ try { exit; } finally { Emit(\"f\"); } Emit(\"not here\"); }", "f"},
  });
}

// ---------------------------------------------------------------- BasicScript

TEST(ScriptLanguages, BasicScriptLines) {
  RunCases({
      {"BasicScript", "x = 1 : y = 2\r\nEmit(x + y)", "3"},
      {"BasicScript", "x = 1 + _\r\n  2\r\nEmit(x)", "3"},
      {"BasicScript", "_x = 4\r\nEmit(_x)", "4"},
      {"BasicScript", "x = 1 ' note\r\nEmit(x) rem note\r\n", "1"},
      {"BasicScript", "REM note\r\nRem note\r\nEmit(1)", "1"},
      {"BasicScript", "remainder = 1\r\nEmit(remainder)", "1"},
      {"BasicScript", "x = 1\r\n\r\n\r\nEmit(x)\r\n\r\n", "1"},
      {"BasicScript", "x = 1 /\\ a block\r\ncomment /\\ + 1\r\nEmit(x)", "2"},
      {"BasicScript", "Do\r\nx = 1\r\nLoop\r\n", "error: 'WHILE' expected at 3:5"},
      {"BasicScript", "For i = 1 To 2\r\nNext i\r\n", "error: End of line expected at 2:6"},
      {"BasicScript", "For i = 1 To 9 Step 4\r\nEmit(i)\r\nNext", "1|5|9"},
      {"BasicScript", "For i = 10 To 1 Step -2\r\nEmit(i)\r\nNext", "10|8|6|4|2"},
      {"BasicScript", "For i = 2147483646 To 2147483647\r\nEmit(i)\r\nNext", "2147483646|2147483647"},
      {"BasicScript", "For i = 1 To 3\r\ni = 10\r\nEmit(i)\r\nNext", "10|10|10"},
      {"BasicScript", "For i = 1.5 To 3\r\nEmit(i)\r\nNext", "1.5|2.5"},
      {"BasicScript", "n = 0\r\nFor i = 1 To 2 Step 0\r\nn = n + 1\r\nIf n = 3 Then Break\r\nNext\r\nEmit(n)", "3"},
      {"BasicScript", "x = 1\r\nWend\r\nEmit(x)", "error: Syntax error at 2:1"},
      {"BasicScript", "If 1 = 1 Then\r\nEmit(1)\r\n", "error: 'END' expected at 3:1"},
      {"BasicScript", "Emit(\"a\" & 1)\r\nn = 3\r\nEmit(n & \" items\")\r\nEmit(1 & 2)", "a1|3 items|12"},
      {"BasicScript", "Emit(\"C:\\temp\\n\")\r\nEmit(\"say \"\"hi\"\"\")", "C:\\temp\\n|say \"hi\""},
      {"BasicScript", "Sub P\r\nEnd Sub\r\nEmit(AddressOf P)", "P"},
      {"BasicScript", "x = 0\r\nIf x = 0 Or x = 5 And x = 1 Then Emit(\"yes\")\r\nEmit(Not x = 1)", "yes|False"},
      {"BasicScript", "If 1 = 2 Then\r\nElse\r\nEmit(\"else\")\r\nEnd If", "else"},
      {"BasicScript", "x = 5\r\nIf x > 1 Then Emit(1) : Emit(2)\r\nIf x > 9 Then Emit(3) : Emit(4)", "1|2"},
  });
}

TEST(ScriptLanguages, BasicScriptDeclarationsAndRoutines) {
  RunCases({
      {"BasicScript", "Dim a[3], b As Integer = 1\r\na[2] = \"z\"\r\nEmit(a[2])\r\nEmit(b)", "z|1"},
      {"BasicScript", "Dim d As Decimal = 1.5\r\nEmit(d * 2)", "3"},
      {"BasicScript", "Dim b As Integer\r\nb = \"x\"", "error: Incompatible types: 'Integer', 'String' at 2:8"},
      {"BasicScript",
       "Sub P(ByRef a, b As String = \"x\")\r\n  a = b\r\nEnd Sub\r\nP(v)\r\nEmit(v)\r\nP(v, \"y\")\r\nEmit(v)",
       "x|y"},
      {"BasicScript", "Function F() As Integer\r\n  Return 1\r\nEnd Function\r\nEmit(F())", "1"},
      {"BasicScript", "Sub P(ByVal a)\r\n  a = 2\r\nEnd Sub\r\nx = 1\r\nP(x)\r\nEmit(x)", "1"},
      {"BasicScript", "Emit(G(2))\r\nFunction G(n)\r\n  Return n * 2\r\nEnd Function", "4"},
      {"BasicScript", "x = 0\r\nDo\r\n  x += 2\r\nLoop Until x >= 5\r\nEmit(x)", "6"},
      {"BasicScript", "Select Case 2\r\nCase 1:\r\n  Emit(1)\r\nCase 2, 3:\r\n  Emit(2)\r\n  Emit(3)\r\nEnd Select", "2|3"},
      {"BasicScript", "Set o = New TTestObj(Nil)\r\nWith o\r\n  Caption = \"w\"\r\nEnd With\r\nEmit(o.Caption)", "w"},
      {"BasicScript", "With o\r\n  .Caption = \"w\"\r\nEnd With", "error: Syntax error at 2:3"},
      {"BasicScript", "Sub P(a, ByRef)\r\nEnd Sub", "error: ')' expected at 1:10"},
      {"BasicScript", "o = New TTestObj(Nil)\r\no.Caption = \"w\"\r\nEmit(o.Caption)\r\nDelete o", "w"},
      {"BasicScript", "x = 1\r\nTry\r\n  Exit\r\nFinally\r\n  Emit(\"f\")\r\nEnd Try\r\nEmit(x)", "f"},
      {"BasicScript", "Try\r\n  x = 1\r\nCatch End Try\r\nEmit(x)", "1"},
  });
}

// ---------------------------------------------------------------- JScript

TEST(ScriptLanguages, CountingForLoopsKeepTheVariantRules) {
  // A C-style for comparing and stepping plain Integers takes a shorter way; each case is
  // written as that for and as the while loop that the Variant operations run, and both must
  // print the same.
  struct Case {
    const char* Init;
    const char* Cond;
    const char* Step;
    const char* Body;
    const char* Expect;
  };
  const Case cases[] = {
      {"i = 1", "i <= 3", "i++", "Emit(i);", "1|2|3"},
      {"i = 3", "i > 0", "i--", "Emit(i);", "3|2|1"},
      {"i = 0", "3 > i", "i++", "Emit(i);", "0|1|2"},
      // The step at the edge of the Integer range widens as the Variant sum does.
      {"i = 2147483646", "i != 2147483649", "i++", "Emit(i);", "2147483646|2147483647|2147483648"},
      {"i = -2147483647", "i >= -2147483649", "i--", "Emit(i);", "-2147483647|-2147483648|-2147483649"},
      // Values that stop being plain Integers.
      {"i = 0.5", "i < 3", "i++", "Emit(i);", "0.5|1.5|2.5"},
      {"i = 0", "i < 4", "i++", "Emit(i); if (i == 1) i = 2.5;", "0|1|3.5"},
      {"i = 0; n = 3", "i < n", "i++", "Emit(i); n = 2;", "0|1"},
      {"i = 0; n = 3", "i < n", "i++", "Emit(i); n = \"2\";", "0|1"},
      // Flow inside the body.
      {"i = 0", "i < 4", "i++", "if (i == 1) continue; if (i == 3) break; Emit(i);", "0|2"},
  };
  for (const char* language : {"JScript", "C++Script"}) {
    const bool cpp = String(language) == "C++Script";
    for (const Case& c : cases) {
      const String decl = cpp ? "Variant i, n;\r\n{\r\n" : "";
      const String close = cpp ? "\r\n}" : "";
      const String loop = decl + c.Init + ";\r\nfor (; " + c.Cond + "; " + c.Step + ") { " + c.Body + " }" + close;
      const String whileLoop = decl + c.Init + ";\r\nwhile (" + c.Cond + ") { " +
                               StringReplace(c.Body, "continue;", "{ " + String(c.Step) + "; continue; }", {rfReplaceAll}) + " " +
                               c.Step + "; }" + close;
      for (const String& text : {loop, whileLoop}) {
        // A loop that missed its end fails with the run-time limit instead of hanging.
        auto script = NewScript(language);
        script->SetRunTimeLimit(5000);
        EXPECT_EQ(RunScript(*script, text).substr(0, 200), c.Expect) << language << ": " << text;
      }
    }
  }
  // An Integer declared as such steps as one too.
  EXPECT_EQ(RunScript("C++Script", "int i, s;\r\n{\r\n  s = 0;\r\n  for (i = 1; i <= 10; i++) s += i;\r\n  Emit(s); Emit(i);\r\n}"),
            "55|11");
}

TEST(ScriptLanguages, CountingForLoopsReportTheirSteps) {
  // A run-line hook sees the step statement every round, and a stop asked for there ends the
  // loop before the step acts.
  auto s = NewScript("JScript");
  std::vector<String> lines;
  s->SetOnRunLine(TfsRunLineEvent::Lambda([&](TfsScript* Sender, const String&, const String& Pos) {
    lines.push_back(Pos);
    if (Pos == "2:20" && lines.size() > 6) Sender->StopRun();
  }));
  EXPECT_EQ(RunScript(*s, "n = 0;\r\nfor (i = 0; i < 5; i++) n = i;\r\nEmit(i);"), "");
  String joined;
  for (const String& l : lines) joined += (joined.empty() ? "" : " ") + l;
  // n = 0; the for; its first statement; then per round the body and the step (the stop
  // comes in the second round's step, which then does not act).
  EXPECT_EQ(joined, "1:1 2:1 2:6 2:25 2:20 2:25 2:20");
  EXPECT_EQ(VarToStr(s->LookupName("i")->FetchValue()), "1");
}

TEST(ScriptLanguages, JScriptStatements) {
  RunCases({
      {"JScript", "", ""},
      {"JScript", "a = 1 b = 2 Emit(a + b)", "3"},
      {"JScript", "x = 1;; y = 2; Emit(y);", "2"},
      {"JScript", "x = 1; y = 0; IF (x == 1) y = 1; Emit(y);", "1"},
      {"JScript", "function (a) {}", "error: Expression expected at 1:10"},
      {"JScript", "var a = 1, b[3]; b[2] = a; Emit(b[2]);", "1"},
      {"JScript", "function f(a, &b) { b = a; return a + 1; } Emit(f(4, r)); Emit(r);", "5|4"},
      {"JScript", "var s = 0; for (var i = 0; i < 10; i++) s += i; Emit(s);", "45"},
      {"JScript", "x = 0; do x++; while (x < 10); Emit(x);", "10"},
      {"JScript", "try x = 1; finally y = 2; Emit(y);", "2"},
      {"JScript", "switch (2) { case 1, 2: a = 1; default: a = 0; } Emit(a);", "1"},
      {"JScript", "function p() { Emit(1); return; Emit(2); } p();", "1"},
      {"JScript", "o = new TTestObj(nil); with (o) Caption = \"x\"; Emit(o.Caption); delete o;", "x"},
      {"JScript", "Emit(1 == 1 || 0 == 1 && 0 == 1);", "True"},
      {"JScript", "function P() {} Emit(&P);", "P"},
      {"JScript", "x = 1; }", "error: Syntax error at 1:8"},
  });
}

// ---------------------------------------------------------------- units of every language

TEST(ScriptLanguages, UnitsThroughIncludeImportsAndImport) {
  EXPECT_EQ(ErrorText([] { RunScript("JScript", "import \"kelm_no_such_unit.js\"; x = 1;"); }),
            "Cannot open file \"kelm_no_such_unit.js\". No such file or directory");
  std::map<String, String> units = {
      {"u.cpp", "#define K 7\r\nint Twice(int a) { return 2 * a; }\r\n{}"},
      {"u.bas", "Function Twice(a)\r\n  Return 2 * a\r\nEnd Function\r\nK = 7"},
      {"u.js", "function Twice(a) { return 2 * a; }\r\nK = 7;"},
  };
  struct TUnitCase {
    const char* Language;
    const char* Source;
  };
  for (const TUnitCase& c : {TUnitCase{"C++Script", "#include \"u.cpp\"\r\n{ Emit(Twice(K)); }"},
                             TUnitCase{"BasicScript", "Imports \"u.bas\"\r\nEmit(Twice(K))"},
                             TUnitCase{"JScript", "import \"u.js\"; Emit(Twice(K));"}}) {
    auto s = NewScript(c.Language);
    s->SetOnGetUnit(TfsGetUnitEvent::Lambda([&](TfsScript*, const String& Name, String& Text) { Text = units[Name]; }));
    EXPECT_EQ(RunScript(*s, c.Source), "14") << c.Language;
  }
}

// ---------------------------------------------------------------- line ends and the directive

TEST(ScriptLanguages, LineEndsAndTheLanguageDirective) {
  // Bare LF, bare CR and a last line without a line end parse as CR LF does.
  for (const char* source : {"x = 1\r\nEmit(x)\r\n", "x = 1\nEmit(x)", "x = 1\rEmit(x)", "x = 1\n\nEmit(x)\n"})
    EXPECT_EQ(Parse("BasicScript", source), "ok") << source;
  EXPECT_EQ(Parse("BasicScript", "x = 1\ny = 2 z = 3"), "End of line expected at 2:7");
  EXPECT_EQ(RunScript("BasicScript", "x = 1\nEmit(x)"), "1");

  RunCases({
      {"PascalScript", "#language JScript\nEmit(1 == 1);", "True"},
      {"PascalScript", "#language BasicScript\r\nx = 2\r\nEmit(x)", "2"},
      {"JScript", "#language PascalScript\nbegin Emit(1) end.", "1"},
  });
}

// ---------------------------------------------------------------- the registry and the code editor

namespace {

// A lexer set from a grammar's `parser` element, as the code editor sets its own.
void ConfigureAsEditor(TfsParser& Lexer, const String& Language) {
  TfsXMLDocument doc;
  TStringStream stream(FindGrammarText(Language));
  doc.LoadFromStream(&stream);
  TfsXMLItem* parser = doc.Root()->FindItem("parser");
  Lexer.RestoreDefaults();
  TfsXMLItem* keywords = parser->FindItem("keywords");
  for (int i = 0; i < keywords->Count(); ++i) Lexer.Keywords()->Add(keywords->Items(i)->Name());
  for (int i = 0; i < parser->Count(); ++i) {
    const String name = LowerCase(parser->Items(i)->Name());
    const String value = parser->Items(i)->Prop("text");
    if (name == "identchars") Lexer.DefineIdentChars(value);
    else if (name == "commentline1") Lexer.SetCommentLine1(value);
    else if (name == "commentline2") Lexer.SetCommentLine2(value);
    else if (name == "commentblock1") Lexer.DefineCommentBlock1(value);
    else if (name == "commentblock2") Lexer.DefineCommentBlock2(value);
    else if (name == "stringquotes") Lexer.SetStringQuotes(value);
    else if (name == "hexsequence") Lexer.SetHexSequence(value);
    else if (name == "casesensitive") Lexer.SetCaseSensitive(value == "1");
  }
  Lexer.SetSkipBlanks(false);
}

// The editor's colouring loop: blanks and comments, word, number, string, else one character.
// Each token as "k:" (keyword), "w:", "n:", "s:" or "c:" and its text, joined by blanks.
String EditorTokens(TfsParser& Lexer, const String& Text) {
  Lexer.LoadSource(Text);
  String out;
  while (true) {
    Lexer.SkipBlanksAndComments();
    if (Lexer.Position() > Lexer.Size()) break;
    String t, kind;
    if (!(t = Lexer.ReadWordToken()).empty()) kind = Lexer.KeywordListed(t) ? "k:" : "w:";
    else if (!(t = Lexer.ReadNumberLiteral()).empty()) kind = "n:";
    else if (!(t = Lexer.ReadStringLiteral()).empty()) kind = "s:";
    else {
      kind = "c:";
      t = String(1, Lexer.Text()[static_cast<std::size_t>(Lexer.Position() - 1)]);
      Lexer.MoveTo(Lexer.Position() + 1);
    }
    out += (out.empty() ? "" : " ") + kind + t;
  }
  return out;
}

int KeywordCount(const String& Language) {
  TfsXMLDocument doc;
  TStringStream stream(FindGrammarText(Language));
  doc.LoadFromStream(&stream);
  return doc.Root()->FindItem("parser")->FindItem("keywords")->Count();
}

}  // namespace

TEST(ScriptLanguages, TheRegistryServesTheCodeEditor) {
  TStringList names;
  ListGrammarNames(&names);
  EXPECT_EQ(names.CommaText(), "JScript,BasicScript,C++Script,PascalScript");
  EXPECT_EQ(KeywordCount("C++Script"), 19);
  EXPECT_EQ(KeywordCount("BasicScript"), 40);
  EXPECT_EQ(KeywordCount("JScript"), 22);
  EXPECT_EQ(KeywordCount("PascalScript"), 40);
  for (const char* name : {"C++Script", "BasicScript", "JScript"}) {
    TfsScript script(nullptr);
    TfsILParser parser(&script);
    parser.LoadGrammar(name);
    EXPECT_EQ(parser.GrammarRoot()->Prop("text"), name);
  }

  TfsParser cpp;
  ConfigureAsEditor(cpp, "C++Script");
  EXPECT_TRUE(cpp.KeywordListed("if"));
  EXPECT_FALSE(cpp.KeywordListed("If"));
  EXPECT_EQ(EditorTokens(cpp, "if (x) /* c */ y = 0x1F; // z\r\nIf"),
            "k:if c:( w:x c:) w:y c:= n:$1F c:; w:If");

  TfsParser basic;
  ConfigureAsEditor(basic, "BasicScript");
  EXPECT_TRUE(basic.KeywordListed("WEND"));
  EXPECT_EQ(EditorTokens(basic, "If x Then ' c\r\nREM d\r\ns = \"a\" /\\ e /\\"), "k:If w:x k:Then w:s c:= s:'a'");

  TfsParser js;
  ConfigureAsEditor(js, "JScript");
  EXPECT_TRUE(js.KeywordListed("Function"));
  EXPECT_EQ(EditorTokens(js, "var s = \"a\\tb\";"), "k:var w:s c:= s:'a\tb' c:;");
}
