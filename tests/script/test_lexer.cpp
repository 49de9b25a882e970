// The lexer: token readers under the grammars' settings, positions and line:column texts.
#include "script/fs_iparser.h"
#include "core/StringList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

enum class Read { Word, Ident, Number, String, Punct };

String ReadOne(TfsParser& p, Read r) {
  switch (r) {
    case Read::Word: return p.ReadWordToken();
    case Read::Ident: return p.ReadIdentToken();
    case Read::Number: return p.ReadNumberLiteral();
    case Read::String: return p.ReadStringLiteral();
    case Read::Punct: return p.ReadPunctuation();
  }
  return String();
}

void Pascal(TfsParser&) {}
void CStyle(TfsParser& p) {
  p.SetStringQuotes("\"");
  p.SetHexSequence("0x");
  p.DefineCommentBlock1("/*,*/");
  p.DefineCommentBlock2("");
}
void Basic(TfsParser& p) {
  p.SetCommentLine1("'");
  p.SetCommentLine2("rem");
  p.DefineCommentBlock1("");
  p.DefineCommentBlock2("");
  p.SetStringQuotes("\"");
  p.SetStringEscapes(false);
  p.SetSkipChar("_");
  p.SetSkipEOL(false);
  p.SetHexSequence("&h");
}

struct Case {
  const char* Source;
  std::function<void(TfsParser&)> Setup;
  Read How;
  String Expect;
  int NextPos;  // Position after the read
};

}  // namespace

TEST(ScriptLexer, TokenReaders) {
  const Case cases[] = {
      // strings: parts written together make one token
      {"'It''s'#13#10'ok'", Pascal, Read::String, "'It's\r\nok'", 18},
      {"'a'#65'b'", Pascal, Read::String, "'aAb'", 10},
      {"#$41#66", Pascal, Read::String, "'AB'", 8},
      {"'abc", Pascal, Read::String, "", 1},            // unterminated: nothing read
      {"'a' 'b'", Pascal, Read::String, "'a'", 4},      // a blank separates two tokens
      {"'a\nb'", Pascal, Read::String, "", 1},          // a line end inside a string ends it
      {"'中'x", Pascal, Read::String, "'中'", 6},
      {"\"a\\tb\\x41\"", CStyle, Read::String, "'a\tbA'", 11},
      {"\"\\n\\r\\\\\\\"\\q\\0\"", CStyle, Read::String, String("'\n\r\\\"q") + '\0' + "'", 15},
      {"\"a\\x\"", CStyle, Read::String, "'a'", 6},      // \x without digits gives nothing
      {"\"a\" \"b\"", CStyle, Read::String, "'a'", 4},
      // numbers: float first, then integer
      {"12", Pascal, Read::Number, "12", 3},
      {"1.5e3", Pascal, Read::Number, "1.5e3", 6},
      {"1.", Pascal, Read::Number, "1", 2},
      {"2e", Pascal, Read::Number, "2", 2},
      {"2e+", Pascal, Read::Number, "2", 2},
      {"$1F", Pascal, Read::Number, "$1F", 4},
      {"0x1F", CStyle, Read::Number, "$1F", 5},
      {"0X1F", CStyle, Read::Number, "0", 2},
      {"&h1f", Basic, Read::Number, "$1f", 5},
      {"x", Pascal, Read::Number, "", 1},
      // words
      {"  { c } (* d *) // e\n abc1 ", Pascal, Read::Word, "abc1", 27},
      {"1abc", Pascal, Read::Word, "", 1},
      {"中", Pascal, Read::Word, "", 1},                 // high bytes are no identifier by default
      {"remainder = 1", Basic, Read::Word, "remainder", 10},
      {"rem x\r\ny", Basic, Read::Word, "", 6},          // a comment: only the line end is left
      {"REM x\r\ny", Basic, Read::Word, "", 6},          // in any case
      {"Rem", Basic, Read::Word, "", 4},
      {"REMX", Basic, Read::Word, "REMX", 5},
      {"\"C:\\temp\"", Basic, Read::String, "'C:\\temp'", 10},  // no escapes
      {"\"a\"\"b\"", Basic, Read::String, "'a\"b'", 7},        // a doubled quote is one
      {"_x", Basic, Read::Word, "_x", 3},
      {"_ \r\n y", Basic, Read::Word, "y", 7},           // a continuation joins the lines
      {"{ never closed", Pascal, Read::Word, "", 15},
      // punctuation never skips blanks
      {" +", Pascal, Read::Punct, "", 1},
      {"+", Pascal, Read::Punct, "+", 2},
      {"~", Pascal, Read::Punct, "~", 2},
      {"中", Pascal, Read::Punct, "", 1},
  };
  for (const Case& c : cases) {
    TfsParser p;
    c.Setup(p);
    p.LoadSource(c.Source);
    EXPECT_EQ(ReadOne(p, c.How), c.Expect) << c.Source;
    EXPECT_EQ(p.Position(), c.NextPos) << c.Source;
  }
}

TEST(ScriptLexer, OverlongCodesRaiseTheConversionError) {
  TfsParser p;
  p.LoadSource("#99999999999");
  EXPECT_THROW(p.ReadStringLiteral(), EConvertError);
  CStyle(p);
  p.LoadSource("\"\\xFFFFFFFFFFFF\"");
  EXPECT_THROW(p.ReadStringLiteral(), EConvertError);
}

TEST(ScriptLexer, LineEndsUnderBasicSettings) {
  TfsParser p;
  Basic(p);
  p.LoadSource("x = 1 ' c\r\ny");
  EXPECT_EQ(p.ReadIdentToken(), "x");
  p.SkipBlanksAndComments();
  EXPECT_EQ(p.ReadPunctuation(), "=");
  EXPECT_EQ(p.ReadNumberLiteral(), "1");
  EXPECT_TRUE(p.ReadLineEnd());  // the comment stops before CR, so the line end is seen
  EXPECT_EQ(p.ReadIdentToken(), "y");
  EXPECT_FALSE(p.ReadLineEnd());

  // Bare line feeds are blanks: no visible line end.
  p.LoadSource("a\nb");
  EXPECT_EQ(p.ReadWordToken(), "a");
  EXPECT_FALSE(p.ReadLineEnd());

  // A comment opener on the very last character is none.
  p.LoadSource("x = 1 '");
  p.MoveTo(6);
  p.SkipBlanksAndComments();
  EXPECT_EQ(p.ReadPunctuation(), "'");

  // `a _` CR LF `b`: the continuation hides the line end.
  p.LoadSource("a _\r\nb");
  EXPECT_EQ(p.ReadWordToken(), "a");
  EXPECT_FALSE(p.ReadLineEnd());
  EXPECT_EQ(p.ReadWordToken(), "b");
}

TEST(ScriptLexer, KeywordsFollowTheCaseRule) {
  TfsParser p;
  p.Keywords()->Add("begin");
  p.Keywords()->Add("BEGIN");  // a duplicate ignoring case is ignored
  EXPECT_EQ(p.Keywords()->Count(), 1);
  p.LoadSource("BEGIN x");
  EXPECT_EQ(p.ReadIdentToken(), "");
  EXPECT_EQ(p.Position(), 6);  // after the word
  EXPECT_EQ(p.ReadIdentToken(), "x");
  p.SetCaseSensitive(true);
  EXPECT_TRUE(p.KeywordListed("begin"));
  EXPECT_FALSE(p.KeywordListed("BEGIN"));
  p.LoadSource("BEGIN");
  EXPECT_EQ(p.ReadIdentToken(), "BEGIN");
  // Defaults come back whole.
  p.RestoreDefaults();
  EXPECT_EQ(p.Keywords()->Count(), 0);
  EXPECT_FALSE(p.CaseSensitive());
  EXPECT_EQ(p.CommentBlock2().Open, "(*");
  EXPECT_EQ(p.CommentBlock2().Close, "*)");
  EXPECT_EQ(p.Text(), String("BEGIN") + '\0');  // the text stays
}

// A grammar's shared set answers as the plain keyword list would: case folded, whole words only,
// for sets small and large (the lookup table grows with the words).
TEST(ScriptLexer, SharedKeywordSetAnswersAsTheList) {
  std::vector<String> words = {"begin", "End", "IF", "then", "downto", "a", "xor"};
  for (int i = 0; i < 70; ++i) words.push_back("kw" + std::to_string(i * 7));
  const auto set = TfsKeywordSet::Make(words);
  struct Case {
    const char* Word;
    bool Listed;
  };
  const Case cases[] = {
      {"begin", true}, {"BEGIN", true}, {"bEgIn", true}, {"end", true}, {"if", true}, {"If", true},
      {"A", true}, {"KW0", true}, {"kw483", true}, {"Kw476", true}, {"kw1", false}, {"kw484", false},
      {"beginx", false}, {"begi", false}, {"", false}, {"b", false}, {"downtodownto", false},
      {"x_or", false}, {"then ", false}, {"endbegin", false},
  };
  TfsParser listed;
  for (const String& w : words) listed.Keywords()->Add(w);
  TfsParser shared;
  shared.SetSharedKeywords(set);
  for (const Case& c : cases) {
    EXPECT_EQ(set->ContainsAscii(c.Word), c.Listed) << c.Word;
    EXPECT_EQ(shared.KeywordListed(c.Word), c.Listed) << c.Word;
    EXPECT_EQ(listed.KeywordListed(c.Word), c.Listed) << c.Word;
  }
  // Every word of the set is found, however the table placed it.
  for (const String& w : words) EXPECT_TRUE(set->ContainsAscii(w)) << w;
  EXPECT_FALSE(TfsKeywordSet::Make({})->ContainsAscii("begin"));
}

TEST(ScriptLexer, PositionsAndLineColumns) {
  TfsParser p;
  p.LoadSource("ab\r\ncd");
  EXPECT_EQ(p.PositionToLineCol(), "1:1");
  EXPECT_EQ(p.PositionToLineCol(5), "2:1");  // c
  EXPECT_EQ(p.PositionToLineCol(4), "1:4");  // the line feed ends line 1
  EXPECT_EQ(p.PositionToLineCol(3), "1:3");  // the carriage return is a column of it
  EXPECT_EQ(p.LineColToPosition(2, 2), 6);
  EXPECT_EQ(p.LineColToPosition(1, 3), -1);
  EXPECT_EQ(p.LineColToPosition(1, 0), -1);

  // Columns count characters.
  p.LoadSource("x\n'中'x");
  p.MoveTo(3);
  EXPECT_EQ(p.ReadStringLiteral(), "'中'");
  EXPECT_EQ(p.ReadWordToken(), "x");
  EXPECT_EQ(p.PositionToLineCol(p.TokenStart()), "2:4");
  EXPECT_EQ(p.LineColToPosition(4, 2), p.TokenStart());
}

TEST(ScriptLexer, BracketedTextBalancesAndRespectsQuotes) {
  TfsParser p;
  p.LoadSource("<a<b>[c]\"x>\"'y]'>rest");
  p.MoveTo(2);
  EXPECT_EQ(p.ReadBracketedText(), "a<b>[c]\"x>\"'y]'");
  EXPECT_EQ(p.ReadPunctuation(), ">");
  p.LoadSource("<unclosed");
  p.MoveTo(2);
  EXPECT_EQ(p.ReadBracketedText(), "unclosed");
}

TEST(ScriptLexer, CommentBlocksFromTheirDefinitions) {
  TfsParser p;
  p.DefineCommentBlock1("\"<!--\", \"-->\"");
  EXPECT_EQ(p.CommentBlock1().Open, "<!--");
  EXPECT_EQ(p.CommentBlock1().Close, "-->");
  p.LoadSource("<!-- x --> y");
  EXPECT_EQ(p.ReadWordToken(), "y");
  p.DefineCommentBlock1("");
  p.LoadSource("{ x } y");
  EXPECT_EQ(p.ReadWordToken(), "");  // `{` is no comment any more
  p.DefineIdentChars("{x");
  p.LoadSource("{x");
  EXPECT_EQ(p.ReadWordToken(), "{x");
}
