// The front end: the PascalScript grammar's intermediate programs and syntax errors, the
// grammar mechanics on small test grammars, units, the language directive and the limits.
#include "ScriptTestUtil.h"
#include "script/fs_iilparser.h"
#include "script/fs_iparser.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

#include <cstdio>
#include <map>

namespace {

// An element as a compact text: name, ":text" when it has one, "@unit" for a `uses`, then
// its children in brackets. `types` elements are left out.
String Render(const TfsXMLItem* Item) {
  String s = Item->Name();
  if (String t = Item->Prop("text"); !t.empty()) s += ":" + t;
  if (String u = Item->Prop("unit"); !u.empty()) s += "@" + u;
  String kids;
  for (int i = 0; i < Item->Count(); ++i) {
    if (SameText(Item->Items(i)->Name(), "types")) continue;
    if (!kids.empty()) kids += " ";
    kids += Render(Item->Items(i));
  }
  if (!kids.empty()) s += "[" + kids + "]";
  return s;
}

struct TResult {
  bool Ok = false;
  String Program;  // the children of `program`, rendered
  String Error;
  String Pos;
  String Unit;
};

TResult Compile(TfsScript& Script, const String& Source, const String& Language = "PascalScript") {
  TfsILParser parser(&Script);
  parser.LoadGrammar(Language);
  TResult r;
  r.Ok = parser.SourceToIL(Source);
  r.Error = Script.CompileError();
  r.Pos = Script.CompileErrorPos();
  r.Unit = Script.CompileErrorUnit();
  if (r.Ok) {
    String rendered = Render(parser.ILDoc()->Root());
    // "program[...]" without the wrapper
    r.Program = rendered.size() > 8 ? rendered.substr(8, rendered.size() - 9) : String();
  }
  return r;
}

TResult Compile(const String& Source, const String& Language = "PascalScript") {
  TfsScript script(nullptr);
  return Compile(script, Source, Language);
}

// A test grammar: the rules given, a `parser` with the settings given and one error text.
void RegisterTestGrammar(const String& Name, const String& Rules, const String& Settings = String()) {
  RegisterGrammar(Name, "<?xml version=\"1.0\"?><language text=\"" + Name + "\"><parser>" + Settings +
                            "<errors><err1 text=\"Name expected\"/></errors></parser><types/><empty/>" + Rules +
                            "</language>");
}

}  // namespace

// ---------------------------------------------------------------- PascalScript

TEST(ScriptFrontEnd, PascalScriptPrograms) {
  struct Case {
    const char* Source;
    const char* Program;
  };
  const Case cases[] = {
      {"begin a[i+1].Caption := 'x'; end.",
       "compoundstmt[assignstmt[dsgn[node:a node:[ expr[dsgn[node:i] op:+ number:1] node:Caption] expr[string:'x']]]"},
      {"begin end. x := 1", "compoundstmt"},  // the grammar ignores what follows the final `.`
      {"begin ; ; end.", "compoundstmt"},
      {"begin case x of 1, 3..5: s1; 2: s2; else s3 end end.",
       "compoundstmt[casestmt[expr[dsgn[node:x]] "
       "caseselector[set[expr[number:1] expr[number:3] range:. expr[number:5]] callstmt[dsgn[node:s1]]] "
       "caseselector[set[expr[number:2]] callstmt[dsgn[node:s2]]] callstmt[dsgn[node:s3]]]]"},
      {"begin s := 'a'#9'b' end.", "compoundstmt[assignstmt[dsgn[node:s] expr[string:'a\tb']]]"},
      {"begin x := $1F end.", "compoundstmt[assignstmt[dsgn[node:x] expr[number:$1F]]]"},
      {"procedure P(var a: Integer; b: String = 'x'); begin end; begin end.",
       "procedure[name:P parameters[varparams var[ident:a type:Integer] var[ident:b type:String init[expr[string:'x']]]] "
       "compoundstmt] compoundstmt"},
      {"function F(const a: Integer): String; begin Result := a end; begin end.",
       "function[name:F parameters[var[ident:a type:Integer]] type:String compoundstmt[assignstmt[dsgn[node:Result] "
       "expr[dsgn[node:a]]]]] compoundstmt"},
      {"begin x := @Proc end.", "compoundstmt[assignstmt[dsgn[node:x] expr[dsgn[addr:@ node:Proc]]]]"},
      {"begin x := <Table.\"Field\"> end.",
       "compoundstmt[assignstmt[dsgn[node:x] expr[dsgn[node:Get expr[string:'Table.\"Field\"']]]]]"},
      {"var a, b: array[0..2] of Integer = 0; begin end.",
       "var[ident:a ident:b array[dim[expr[number:0] expr[number:2]]] type:Integer init[expr[number:0]]] compoundstmt"},
      {"var a: array[5] of Integer; begin end.", "var[ident:a array[dim[expr[number:5]]] type:Integer] compoundstmt"},
      // Each section ends where a name fails to start another declaration.
      {"var a, b: Integer; c: String; const k = 1; m = 2; begin end.",
       "var[ident:a ident:b type:Integer] var[ident:c type:String] const[ident:k expr[number:1]] "
       "const[ident:m expr[number:2]] compoundstmt"},
      {"const c = 1; var v: array of String; begin end.",
       "const[ident:c expr[number:1]] var[ident:v array type:String] compoundstmt"},
      {"begin x := not a <> -b >= (c) end.",
       "compoundstmt[assignstmt[dsgn[node:x] expr[op:not dsgn[node:a] op:<> op:unminus dsgn[node:b] op:>= "
       "op:( expr[dsgn[node:c]] op:)]]]"},
      {"begin x := a div b mod c and d shl 1 or e xor f in [1..2] end.",
       "compoundstmt[assignstmt[dsgn[node:x] expr[dsgn[node:a] op:div dsgn[node:b] op:mod dsgn[node:c] op:and "
       "dsgn[node:d] op:shl number:1 op:or dsgn[node:e] op:xor dsgn[node:f] op:in set[expr[number:1] range:. "
       "expr[number:2]]]]]"},
      {"begin for i := 1 downto 0 do x := i; while a do ; repeat until b; try finally end; with a, b do c end.",
       "compoundstmt[forstmt[ident:i expr[number:1] downto:downto expr[number:0] assignstmt[dsgn[node:x] "
       "expr[dsgn[node:i]]]] whilestmt[expr[dsgn[node:a]]] repeatstmt[expr[dsgn[node:b]]] trystmt[finallystmt] "
       "with[dsgn[node:a] dsgn[node:b] callstmt[dsgn[node:c]]]]"},
      {"begin if a then break else begin continue; exit end; try x except y end end.",
       "compoundstmt[ifstmt[expr[dsgn[node:a]] thenstmt[break] elsestmt[compoundstmt[continue exit]]] "
       "trystmt[callstmt[dsgn[node:x]] exceptstmt[callstmt[dsgn[node:y]]]]]"},
      {"program P; begin F(1, 'a')(2).G end.",
       "compoundstmt[callstmt[dsgn[node:F expr[number:1] expr[string:'a'] expr[number:2] node:G]]]"},
      {"{ c } (* d *) // e\r\nBEGIN X := 1 END.", "compoundstmt[assignstmt[dsgn[node:X] expr[number:1]]]"},
  };
  for (const Case& c : cases) {
    TResult r = Compile(c.Source);
    EXPECT_TRUE(r.Ok) << c.Source << ": " << r.Error << " at " << r.Pos;
    EXPECT_EQ(r.Program, c.Program) << c.Source;
  }
}

TEST(ScriptFrontEnd, PascalScriptSyntaxErrors) {
  struct Case {
    const char* Source;
    const char* Error;
    const char* Pos;
  };
  const Case cases[] = {
      {"begin x := 1 y := 2 end.", "';' expected", "1:14"},
      {"begin a : = 1 end.", "'=' expected", "1:11"},
      {"var c; begin end.", "':' expected", "1:6"},
      {"begin end", "'.' expected", "1:10"},
      {" #language PascalScript\r\nbegin end.", "'BEGIN' expected", "1:2"},  // no directive after a blank
      {"begin x := (1 end.", "')' expected", "1:15"},
      {"begin x := a[1 end.", "']' expected", "1:16"},
      {"begin x := end.", "Expression expected", "1:12"},
      {"begin if a x := 1 end.", "'THEN' expected", "1:12"},
      {"begin for i = 1 to 2 do end.", "':' expected", "1:13"},
      {"begin for i := 1 upto 2 do end.", "'TO' or 'DOWNTO' expected", "1:18"},
      {"begin try x end.", "'FINALLY' or 'EXCEPT' expected", "1:13"},
      {"begin case x of 1: y else z; ; end end.", "'END' expected", "1:30"},
      {"begin x := <a end.", "'>' expected", "1:19"},
      {"program 1; begin end.", "Identifier expected", "1:9"},
      {"uses 1; begin end.", "Identifier expected", "1:6"},
      {"begin\r\n  x := 1\r\n  y := 2\r\nend.", "';' expected", "3:3"},
  };
  for (const Case& c : cases) {
    TResult r = Compile(c.Source);
    EXPECT_FALSE(r.Ok) << c.Source;
    EXPECT_EQ(r.Error, c.Error) << c.Source;
    EXPECT_EQ(r.Pos, c.Pos) << c.Source;
  }
}

TEST(ScriptFrontEnd, PositionsOfExpressionsAndLeaves) {
  TfsScript script(nullptr);
  TfsILParser parser(&script);
  parser.LoadGrammar("PascalScript");
  ASSERT_TRUE(parser.SourceToIL("begin x :=\r\n  a + b end."));
  TfsXMLItem* assign = parser.ILDoc()->Root()->Items(0)->Items(0);
  ASSERT_EQ(assign->Name(), "assignstmt");
  EXPECT_EQ(assign->Prop("pos"), "1:7");
  TfsXMLItem* expr = assign->Items(1);
  ASSERT_EQ(expr->Name(), "expr");
  EXPECT_EQ(expr->Prop("pos"), "2:3");
  EXPECT_EQ(expr->Prop("pos1"), "2:8");
  TfsXMLItem* op = expr->Items(1);
  ASSERT_EQ(op->Name(), "op");
  EXPECT_EQ(op->Prop("pos"), "2:6");  // just after its token
  // The document ends with the grammar's type aliases.
  TfsXMLItem* root = parser.ILDoc()->Root();
  EXPECT_EQ(root->Name(), "program");
  EXPECT_EQ(root->Items(root->Count() - 1)->Name(), "types");
}

TEST(ScriptFrontEnd, HighByteIdentifiers) {
  TfsScript script(nullptr);
  EXPECT_FALSE(Compile(script, "begin 变量 := 1 end.").Ok);
  script.SetHighByteIdentChars(true);
  TResult r = Compile(script, "begin 变量 := 1 end.");
  EXPECT_TRUE(r.Ok) << r.Error;
  EXPECT_EQ(r.Program, "compoundstmt[assignstmt[dsgn[node:变量] expr[number:1]]]");
}

// ---------------------------------------------------------------- the registry and the directive

TEST(ScriptFrontEnd, RegisteredLanguages) {
  TStringList names;
  ListGrammarNames(&names);
  EXPECT_GE(names.IndexOf("PascalScript"), 0);
  EXPECT_TRUE(ContainsStr(FindGrammarText("pascalscript"), "<language text=\"PascalScript\">"));
  // Parsers of one grammar text share its parsed form: it is read once.
  TfsScript script(nullptr);
  TfsILParser a(&script), b(&script);
  a.LoadGrammar("PascalScript");
  b.LoadGrammar("PASCALSCRIPT");
  EXPECT_EQ(a.GrammarDoc(), b.GrammarDoc());
  ASSERT_NE(a.GrammarRoot(), nullptr);
  EXPECT_EQ(a.GrammarRoot()->Prop("text"), "PascalScript");
  EXPECT_EQ(a.Lexer()->Keywords()->Count(), 40);
  EXPECT_TRUE(a.DeclareVarsRequired());
}

TEST(ScriptFrontEnd, LanguageDirective) {
  RegisterTestGrammar("@tWords", "<program><loop><ident add=\"w\"/></loop></program>");
  // The directive switches the grammar before parsing; a bare LF ends its line as CR LF does.
  for (const char* source : {"#language PascalScript\r\nbegin x := 1 end.", "#language PascalScript\nbegin x := 1 end.",
                             "#LANGUAGE  PascalScript  \rbegin x := 1 end."}) {
    TResult r = Compile(source, "@tWords");
    EXPECT_TRUE(r.Ok) << source << ": " << r.Error;
    EXPECT_EQ(r.Program, "compoundstmt[assignstmt[dsgn[node:x] expr[number:1]]]") << source;
  }
  EXPECT_EQ(ErrorText([] { Compile("#language Foo\r\nbegin end."); }), "Language 'Foo' not found");
  // Only at the very first character.
  TResult r = Compile("\r\n#language PascalScript\r\nbegin end.", "@tWords");
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, "Syntax error");
  EXPECT_EQ(r.Pos, "2:1");
}

TEST(ScriptFrontEnd, GrammarSettingsReachTheLexer) {
  RegisterTestGrammar("@tSettings", "<program/>",
                      "<commentline1 text=\"'\"/><commentline2 text=\"rem\"/><commentblock1 text=\"/*,*/\"/>"
                      "<commentblock2 text=\"\"/><stringquotes text=\"&#34;\"/><hexsequence text=\"&#38;h\"/>"
                      "<identchars text=\"ab_\"/><skipchar text=\"_\"/><skipeol text=\"0\"/>"
                      "<casesensitive text=\"1\"/><declarevars text=\"0\"/><keywords><Dim/><If/></keywords>");
  TfsScript script(nullptr);
  TfsILParser parser(&script);
  parser.LoadGrammar("@tSettings");
  TfsParser* l = parser.Lexer();
  EXPECT_EQ(l->CommentLine1(), "'");
  EXPECT_EQ(l->CommentLine2(), "rem");
  EXPECT_EQ(l->CommentBlock1().Close, "*/");
  EXPECT_EQ(l->CommentBlock2().Open, "");
  EXPECT_EQ(l->StringQuotes(), "\"");
  EXPECT_EQ(l->HexSequence(), "&h");
  EXPECT_TRUE(l->IdentChars().Contains('b'));
  EXPECT_FALSE(l->IdentChars().Contains('c'));
  EXPECT_EQ(l->SkipChar(), "_");
  EXPECT_FALSE(l->SkipEOL());
  EXPECT_TRUE(l->CaseSensitive());
  EXPECT_TRUE(l->KeywordListed("Dim"));
  EXPECT_FALSE(parser.DeclareVarsRequired());
  // A later grammar restores the lexer's defaults, but names stay optional.
  parser.LoadGrammar("PascalScript");
  EXPECT_EQ(l->CommentLine2(), "");
  EXPECT_TRUE(l->SkipEOL());
  EXPECT_FALSE(l->CaseSensitive());
  EXPECT_FALSE(l->KeywordListed("Dim"));
  EXPECT_FALSE(parser.DeclareVarsRequired());
}

// ---------------------------------------------------------------- grammar mechanics

TEST(ScriptFrontEnd, GrammarMechanics) {
  RegisterTestGrammar("@tDots", "<program><char text=\".\"/><char text=\".\" skip=\"0\"/></program>");
  RegisterTestGrammar("@tTermLoop",
                      "<program><loop><ident add=\"n\" err=\"err1\" term=\"1\"/><char text=\";\"/></loop></program>");
  RegisterTestGrammar("@tNodeFails",
                      "<program><switch><wrapped/><ident add=\"b\"/></switch></program>"
                      "<wrapped node=\"w\"><ident add=\"a\"/><char text=\"!\"/></wrapped>");
  RegisterTestGrammar("@tSeqFails",
                      "<program><switch><sequence><ident add=\"a\"/><char text=\"!\"/></sequence><ident add=\"b\"/>"
                      "</switch></program>");
  RegisterTestGrammar("@tMissingUnreached", "<program><switch><ident add=\"a\"/><nosuchrule/></switch></program>");
  RegisterTestGrammar("@tCase", "<program><keyword text=\"Dim\" add=\"k\"/></program>",
                      "<casesensitive text=\"1\"/>");
  RegisterTestGrammar("@tAddText", "<program><char text=\"&#60;\" add=\"op\" addtext=\"&#60;&#38;\"/></program>");
  RegisterTestGrammar("@tEmptyNode", "<program><keyword text=\"go\" node=\"go\"/><empty add=\"mark\" addtext=\"m\"/></program>");
  struct Case {
    const char* Grammar;
    const char* Source;
    const char* Program;  // "" when rejected
    const char* Error;
    const char* Pos;
  };
  const Case cases[] = {
      {"@tDots", "..", "", "", ""},
      {"@tDots", ". .", nullptr, "Syntax error", "1:2"},  // noskip: no blank between
      {"@tDots", "..x", nullptr, "Syntax error", "1:3"},  // text left after the match
      {"@tDots", ".. // c\r\n  { c }\r\n", "", "", ""},   // blanks, comments and line ends may follow
      {"@tTermLoop", "a; b;", "n:a n:b", "", ""},         // the 3rd iteration's term error is dropped
      {"@tTermLoop", "1", nullptr, "Name expected", "1:1"},  // a lone failing iteration keeps it
      {"@tNodeFails", "x", "b:x", "", ""},                // the failed node took its lines with it
      {"@tSeqFails", "x", "a:x b:x", "", ""},             // a failed sequence keeps its line
      {"@tMissingUnreached", "x", "a:x", "", ""},
      {"@tCase", "dim", "k:dim", "", ""},                 // texts are lower-cased: exact in lower case only
      {"@tCase", "Dim", nullptr, "Syntax error", "1:1"},
      {"@tAddText", "<", "op:<&", "", ""},
      {"@tEmptyNode", "go", "go mark:m", "", ""},
  };
  for (const Case& c : cases) {
    TResult r = Compile(c.Source, c.Grammar);
    if (!c.Program) {
      EXPECT_FALSE(r.Ok) << c.Grammar << " " << c.Source;
      EXPECT_EQ(r.Error, c.Error) << c.Grammar << " " << c.Source;
      EXPECT_EQ(r.Pos, c.Pos) << c.Grammar << " " << c.Source;
      continue;
    }
    EXPECT_TRUE(r.Ok) << c.Grammar << " " << c.Source << ": " << r.Error << " at " << r.Pos;
    EXPECT_EQ(r.Program, c.Program) << c.Grammar << " " << c.Source;
    EXPECT_EQ(r.Error, "");
  }
}

TEST(ScriptFrontEnd, BrokenGrammarsRaise) {
  RegisterTestGrammar("@tMissingRule", "<program><nosuchrule/></program>");
  RegisterGrammar("@tMalformed", "<?xml version=\"1.0\"?><language text=\"x\"><program></language>");
  RegisterGrammar("@tNoProgram", "<?xml version=\"1.0\"?><language text=\"x\"><parser/></language>");
  EXPECT_EQ(ErrorText([] { Compile("x", "@tMissingRule"); }), "Invalid language definition");
  EXPECT_EQ(ErrorText([] { Compile("x", "@tMalformed"); }), "Invalid file format");
  // A grammar without a start rule accepts anything and writes nothing.
  TResult r = Compile("anything at all", "@tNoProgram");
  EXPECT_TRUE(r.Ok);
  EXPECT_EQ(r.Program, "");
}

TEST(ScriptFrontEnd, DeepNestingFailsTheCompile) {
  String deep = "begin x := " + String(10000, '(') + "1" + String(10000, ')') + " end.";
  TResult r = Compile(deep);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, "Stack overflow");
  EXPECT_TRUE(StartsStr("1:", r.Pos)) << r.Pos;
  // Nesting a person writes is far from the limit.
  String fine = "begin x := " + String(100, '(') + "1" + String(100, ')') + " end.";
  EXPECT_TRUE(Compile(fine).Ok);
}

// ---------------------------------------------------------------- units

TEST(ScriptFrontEnd, UnitsAreInlinedOnce) {
  TfsScript script(nullptr);
  std::vector<String> asked;
  std::map<String, String> units = {
      {"a.pas", "uses 'b.pas';\nbegin end."},
      {"b.pas", "var vb: Integer;\r\nbegin end."},
      {"e.pas", ""},
  };
  script.SetOnGetUnit(TfsGetUnitEvent::Lambda([&](TfsScript*, const String& Name, String& Text) {
    asked.push_back(Name);
    Text = units[Name];
  }));
  TResult r = Compile(script, "uses 'a.pas', 'b.pas', 'e.pas';\r\nbegin end.");
  ASSERT_TRUE(r.Ok) << r.Error << " at " << r.Pos << " in " << r.Unit;
  EXPECT_EQ(asked, (std::vector<String>{"e.pas", "b.pas", "a.pas"}));
  EXPECT_EQ(r.Program,
            "uses@e.pas uses@b.pas[program[var[ident:vb type:Integer] compoundstmt]] uses@a.pas[program[compoundstmt]] "
            "compoundstmt");

  // An error inside a unit is reported with the unit's own position and name.
  units["a.pas"] = "uses 'b.pas';\r\nbegin\r\n  x := \r\nend.";
  asked.clear();
  r = Compile(script, "uses 'a.pas', 'b.pas';\r\nbegin end.");
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, "Expression expected");
  EXPECT_EQ(r.Pos, "4:1");
  EXPECT_EQ(r.Unit, "a.pas");
  // The next compile starts clean.
  r = Compile(script, "begin end.");
  EXPECT_TRUE(r.Ok);
  EXPECT_EQ(r.Unit, "");
}

TEST(ScriptFrontEnd, UnitFiles) {
  const String name = "kelm_test_unit_file.pas";
  {
    TStringList lines;
    lines.Add("const k = 1;");
    lines.Add("begin end.");
    lines.SaveToFile(name);
  }
  TResult r = Compile("uses '" + name + "'; begin end.");
  std::remove(name.c_str());
  EXPECT_TRUE(r.Ok) << r.Error;
  EXPECT_EQ(r.Program, "uses@" + name + "[program[const[ident:k expr[number:1]] compoundstmt]] compoundstmt");
  EXPECT_TRUE(StartsStr("Cannot open file", ErrorText([] { Compile("uses 'kelm_no_such_unit.pas'; begin end."); })));
}
