// The front end answers for grammar items the next token cannot begin instead of trying them.
// That may change nothing a parse tells: accepted or not, the intermediate program, the error
// and its position, the furthest token of a "Syntax error", the nesting limit. Checked on
// error tables in the four languages and by parsing broken variants of the language check
// programs both ways.
#include "ScriptTestUtil.h"
#include "script/fs_iilparser.h"
#include "script/fs_iscript.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"
#include "core/Scope.h"
#include "core/StringList.h"

#include <ostream>
#include <vector>

namespace {

struct TOutcome {
  bool Ok = false;
  String Error;
  String Pos;
  String Program;  // every element with its raw attributes

  bool operator==(const TOutcome&) const = default;
};

void PrintTo(const TOutcome& O, std::ostream* Os) {
  *Os << (O.Ok ? "accepted" : "rejected") << " '" << O.Error << "' at '" << O.Pos << "'";
}

void Render(const TfsXMLItem* Item, String& Out) {
  Out += '<';
  Out += Item->Name();
  Out += ' ';
  Out += Item->Text();
  Out += '>';
  for (int i = 0; i < Item->Count(); ++i) Render(Item->Items(i), Out);
  Out += "</>";
}

TOutcome Parse(const String& Language, const String& Source, bool Skipping) {
  TScopeExit restore([saved = TfsILParser::FirstTokenSkipping()] { TfsILParser::SetFirstTokenSkipping(saved); });
  TfsILParser::SetFirstTokenSkipping(Skipping);
  TfsScript script(nullptr);
  TfsILParser parser(&script);
  parser.LoadGrammar(Language);
  TOutcome r;
  try {
    r.Ok = parser.SourceToIL(Source);
  } catch (const Exception& e) {
    r.Error = "raised " + e.Message();
    return r;
  }
  r.Error = script.CompileError();
  r.Pos = script.CompileErrorPos();
  if (r.Ok) Render(parser.ILDoc()->Root(), r.Program);
  return r;
}

struct TLanguage {
  const char* Name;
  const char* Extension;
};
constexpr TLanguage kLanguages[] = {
    {"PascalScript", "pas"}, {"C++Script", "cpp"}, {"BasicScript", "bas"}, {"JScript", "js"}};

const char* const kCheckPrograms[] = {"arithmetic", "arrays",     "branches", "exceptions", "logic",
                                      "loops",      "nested",     "references", "routines", "strings"};

String ProgramText(const char* Case, const char* Extension) {
  TStringList lines;
  lines.LoadFromFile(String(KELM_SCRIPT_LANGUAGES_DIR) + "/" + Case + "." + Extension);
  return lines.Text();
}

}  // namespace

TEST(ScriptFirstTokens, SyntaxErrorsInEveryLanguage) {
  struct Case {
    const char* Language;
    const char* Source;
    const char* Error;
    const char* Pos;
  };
  // Errors found after alternatives the next token could not begin, reserved words where a
  // name belongs (the furthest token is then the word's end), and text no rule takes.
  const Case cases[] = {
      {"PascalScript", "begin x := 1 + ; end.", "';' expected", "1:14"},
      {"PascalScript", "begin for i := 1 to do x := 1; end.", "Expression expected", "1:21"},
      {"PascalScript", "var begin: Integer; begin end.", "Identifier expected", "1:5"},
      {"PascalScript", "begin x := (1 + 2]; end.", "')' expected", "1:18"},
      {"PascalScript", "begin while x do until; end.", "';' expected", "1:18"},
      {"PascalScript", "begin x := not ; end.", "Expression expected", "1:16"},
      {"PascalScript", "procedure P(var : Integer); begin end; begin end.", "Identifier expected", "1:17"},
      {"C++Script", "{ x = 1 + ; }", "';' expected", "1:9"},
      {"C++Script", "{ while (x) { y = 1; } z = ; }", "Expression expected", "1:28"},
      {"C++Script", "int while; { }", "'{' expected", "1:1"},
      {"C++Script", "{ x = (1 + 2; }", "')' expected", "1:13"},
      {"C++Script", "{ switch (x) { case : } }", "Expression expected", "1:21"},
      {"BasicScript", "x = 1 +\r\ny = 2", "End of line expected", "1:7"},
      {"BasicScript", "If x Then\r\n  y = 1\r\n", "'END' expected", "3:1"},
      {"BasicScript", "Dim Next\r\n", "Identifier expected", "1:5"},
      {"BasicScript", "x = (1 + 2\r\n", "')' expected", "1:11"},
      {"JScript", "x = 1 + ;", "Syntax error", "1:7"},
      {"JScript", "var while;", "Syntax error", "1:1"},
      {"JScript", "function f(a, while) { }", "')' expected", "1:15"},
      {"JScript", "while (x) { if }", "'(' expected", "1:16"},
      {"BasicScript", "Sub P(a, Next)\r\nEnd Sub", "')' expected", "1:10"},
      {"JScript", "if (x) { y = 1; ", "'}' expected", "1:17"},
      {"JScript", "x = [1, 2;", "']' expected", "1:10"},
  };
  for (const Case& c : cases) {
    TOutcome r = Parse(c.Language, c.Source, true);
    EXPECT_FALSE(r.Ok) << c.Language << ": " << c.Source;
    EXPECT_EQ(r.Error, c.Error) << c.Language << ": " << c.Source;
    EXPECT_EQ(r.Pos, c.Pos) << c.Language << ": " << c.Source;
    EXPECT_EQ(Parse(c.Language, c.Source, false), r) << c.Language << ": " << c.Source;
  }
}

TEST(ScriptFirstTokens, BrokenProgramsParseAlikeBothWays) {
  // Every program of the language checks, cut short after each byte and with a byte left out:
  // each variant stops the parse somewhere else, in the middle of some rule.
  int differing = 0;
  for (const TLanguage& l : kLanguages)
    for (const char* name : kCheckPrograms) {
      const String text = ProgramText(name, l.Extension);
      std::vector<String> variants{text};
      for (std::size_t n = 1; n < text.size(); ++n) {
        variants.push_back(text.substr(0, n));
        if (n % 2 == 0) variants.push_back(text.substr(0, n - 1) + text.substr(n));
      }
      for (const String& source : variants) {
        TOutcome with = Parse(l.Name, source, true);
        TOutcome without = Parse(l.Name, source, false);
        if (with == without) continue;
        if (++differing <= 5)
          ADD_FAILURE() << l.Name << " " << name << ": '" << source << "' gives " << with.Error << " at " << with.Pos
                        << " instead of " << without.Error << " at " << without.Pos;
      }
    }
  EXPECT_EQ(differing, 0);
  // The complete programs compile (so the variants above start from sound text).
  for (const TLanguage& l : kLanguages)
    for (const char* name : kCheckPrograms) EXPECT_TRUE(Parse(l.Name, ProgramText(name, l.Extension), true).Ok) << name;
}

TEST(ScriptFirstTokens, TestGrammarsParseAlikeBothWays) {
  // Items the sets cannot tell (a line end, a `<...>` reference, a character read without
  // skipping), output written before a token fails, a pending error, and a trial nested past
  // the limit.
  RegisterGrammar("@tFirst",
                  "<?xml version=\"1.0\"?><language text=\"@tFirst\"><parser><skipeol text=\"0\"/><keywords><stop/></keywords>"
                  "<errors><err1 text=\"Name expected\"/><err2 text=\"Value expected\"/></errors></parser><types/><empty/>"
                  "<program><loop><stmt/></loop></program>"
                  "<stmt><switch><sequence><empty add=\"mark\"/><char text=\"!\"/></sequence>"
                  "<sequence node=\"wrap\"><char text=\"?\"/></sequence>"
                  "<sequence><ident add=\"name\"/><optional><char text=\":\"/><char text=\"=\" skip=\"0\"/><value err=\"err2\"/></optional></sequence>"
                  "<sequence><char text=\"&#60;\"/><frstring/><char text=\"&#62;\"/></sequence>"
                  "<eol/></switch></stmt>"
                  "<value><switch><number add=\"n\"/><string add=\"s\"/><deep/><paren/></switch></value>"
                  "<deep><d1/></deep><d1><d2/></d1><d2><d3/></d2><d3><d4/></d3><d4><d5/></d4><d5><d6/></d5><d6><char text=\"!\"/></d6>"
                  "<paren><char text=\"(\"/><value/><char text=\")\" err=\"err2\"/></paren>"
                  "</language>");
  const char* const sources[] = {
      "a := 1\r\nb := 'x'",  "a := \r\n",    "!", "?", "a !", "a := (1)", "a := ((2)\r\n", "<T.\"f\">", "stop",
      "a := stop",           "a\r\n\r\n b", "",  "a :=", "a := ( ( ( (", "a := (((((((((((((((((((((1)))))))))))))))))))))",
  };
  for (const char* s : sources) EXPECT_EQ(Parse("@tFirst", s, true), Parse("@tFirst", s, false)) << s;
  // Nesting: the limit is reached at the same point whether the trials are made or not.
  // Each bracket nests a few items; the trial of `deep` inside the last one nests further.
  for (int depth = 560; depth <= 640; ++depth) {
    String s = "a := " + String(static_cast<std::size_t>(depth), '(') + "1";
    TOutcome with = Parse("@tFirst", s, true);
    EXPECT_EQ(with, Parse("@tFirst", s, false)) << depth;
  }
}
