// The mask expression compiler and matcher: the messages of failed compilations with their
// positions, and incremental matching with steps back and filled-in literals.
#include "editors/cxRegExpr.h"

#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/Streams.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

class RegExpr : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings().DateSeparator = '/';
    FormatSettings().TimeSeparator = ':';
  }
  void TearDown() override { ResetFormatSettings(); }

  // The full texts of a failed compilation, one per line; "" when it compiled.
  static String Failure(TcxRegExpr& E, const String& Source) {
    try {
      E.Compile(Source);
    } catch (const EcxRegExprError& Error) {
      EXPECT_EQ(Error.Errors(), &E.Errors());
      EXPECT_FALSE(E.Compiled());
      String Result;
      for (int I = 0; I < E.Errors().Count(); ++I) Result += (I ? "\n" : "") + E.Errors().Items(I)->FullText();
      return Result;
    }
    EXPECT_TRUE(E.Compiled());
    return "";
  }

  // Feeds Text from the start; whether every character was taken and the input is complete.
  static bool Matches(TcxRegExpr& E, const String& Text) {
    E.Restart();
    for (char32_t c : Utf8ToUtf32(Text))
      if (!E.Accept(c)) return false;
    return E.IsComplete();
  }

  TcxRegExpr E;
};

TEST_F(RegExpr, FailedCompilationsReportEveryErrorWithItsPosition) {
  const struct {
    const char* Source;
    const char* Errors;
  } Cases[] = {
      {"", "此源流是空的"},
      {" \t\r\n", "此源流是空的"},
      {"a**", "行1, 字符3: 符号 \"*\" 不能应用到这"},
      {"a?+", "行1, 字符3: 符号 \"+\" 不能应用到这"},
      {"*a", "行1, 字符1: 不合规定的量词 \"*\""},
      {"?", "行1, 字符1: 不合规定的量词 \"?\""},
      {"x?{2}", "行1, 字符3: 此参数不能应用在此处"},
      {"x{3,2}", "行1, 字符5: 错误的参数\n行1, 字符6: 不合规定的 \"}\""},
      {"{2}", "行1, 字符1: 错误的参数\n行1, 字符2: 不合法的整数值\n行1, 字符3: 不合规定的 \"}\""},
      {"[z-a]", "行1, 字符4: 子串的开始字符位置不能超出结束字符位置"},
      {"[]", "行1, 字符2: 不能创建空的枚举值"},
      {"[^]", "行1, 字符3: 不能创建空的枚举值"},
      {"[a-b-c]", "行1, 字符5: 不合规定的 \"-\""},
      {")(", "行1, 字符1: 不合规定的 \")\"\n二中择一不能为空"},
      {"(a", "缺少 \")\""},
      {"a)", "不必要的 \")\""},
      {"()", "行1, 字符2: 此块应该为空"},
      {"(a|)", "行1, 字符4: 此块应该为空"},
      {"a|", "二中择一不能为空"},
      {"|a", "行1, 字符1: 二中择一不能为空"},
      {"\\x4", "行1, 字符4: 期待十六进制数"},
      {"\\x", "行1, 字符3: 期待十六进制数"},
      {"\\xg1", "行1, 字符3: 期待十六进制数而不是\"g\""},
      {"\\ a", "行1, 字符2: 在 \"\\\" 后不能出现空格字符"},
      {"'ab", "行1, 字符4: 缺少 \" ' \""},
      {"[ab", "行1, 字符4: 缺少 \"]\""},
      {"[a-", "行1, 字符4: 缺少 \"]\""},
      {"a{2", "行1, 字符4: 缺少 \"}\""},
      {"a{x}", "行1, 字符3: 不合规定的 \"x\""},
      {"a{'}", "行1, 字符3: 不合规定的 \" ' \""},
      {"(a)\\2", "行1, 字符4: 引用数太大"},
      {"a\r\nb**", "行2, 字符3: 符号 \"*\" 不能应用到这"},  // a line feed restarts the column
      {"中文**", "行1, 字符4: 符号 \"*\" 不能应用到这"},     // columns count characters
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Source);
    EXPECT_EQ(Failure(E, C.Source), C.Errors);
  }
}

TEST_F(RegExpr, ErrorFullTextLeavesOutWhatHasNoPosition) {
  EXPECT_EQ(TcxRegExprError(1, 3, "x").FullText(), "行1, 字符3: x");
  EXPECT_EQ(TcxRegExprError(2, 0, "x").FullText(), "行2: x");
  EXPECT_EQ(TcxRegExprError(0, 5, "x").FullText(), "x");
}

TEST_F(RegExpr, ExpressionsMatchWholeInputs) {
  const struct {
    const char* Source;
    std::vector<const char*> Complete;
    std::vector<const char*> NotComplete;
  } Cases[] = {
      {"a b", {"ab"}, {"a b", "a"}},
      {"a' 'b", {"a b"}, {"ab"}},
      {"'it''s'", {"it's"}, {"its"}},
      {"(ab)\\1", {"abab"}, {"ab", "abba"}},
      {"(a|b)\\1", {"ab", "aa", "bb", "ba"}, {"a", "abc"}},
      {"x{2,4}", {"xx", "xxx", "xxxx"}, {"x", "xxxxx", ""}},
      {"x{0}", {""}, {"x"}},
      {"ax{0,2}", {"a", "ax", "axx"}, {"axxx"}},
      {"x{2,}", {"xx", "xxxxxxx"}, {"x"}},
      {"a?", {"", "a"}, {"aa"}},
      {"(a?)", {"a"}, {""}},
      {"a(b)?", {"a", "ab"}, {""}},
      {"a(b?)", {"ab"}, {"a"}},
      {"a*?", {"", "aaa"}, {"b"}},
      {"a+*", {"", "a", "aaaa"}, {"b"}},
      {"[a-]", {"a", "-"}, {"b"}},
      {"[-a]", {"a", "-"}, {"b"}},
      {"[a-a]", {"a"}, {"b"}},
      {"[^0-9]", {"x", "中"}, {"5"}},
      {"[\\d_]+", {"1_2"}, {"a"}},
      {"\\d\\d/\\d\\d", {"12/34"}, {"12-34", "1234"}},
      {"\\d\\d\\/\\d\\d", {"12/34"}, {}},
      {"\\w+\\s\\W", {"a_1 !"}, {"a  !"}},
      {"\\x41\\t", {"A\t"}, {"A"}},
      {"\\p\\d", {".5"}, {",5"}},
      {"..", {"中文", "ab"}, {"a"}},                 // a Chinese character is one character
      {"[甲-癸]{2}", {"甲癸", "申癸"}, {"甲", "一二"}},
      {"\\d+(\\.\\d\\d?)?", {"12", "12.5", "12.50"}, {"12.", "12.500"}},
      {"(a?){2,}", {"a", "aaaa"}, {"", "b"}},        // an empty-capable repetition ends its walk
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Source);
    ASSERT_EQ(Failure(E, C.Source), "");
    for (const char* Text : C.Complete) EXPECT_TRUE(Matches(E, Text)) << Text;
    for (const char* Text : C.NotComplete) EXPECT_FALSE(Matches(E, Text)) << Text;
  }
}

TEST_F(RegExpr, DateSeparatorFollowsTheLocaleAtEachCharacter) {
  ASSERT_EQ(Failure(E, "\\d\\d/\\d\\d:\\d"), "");
  EXPECT_TRUE(Matches(E, "12/34:5"));
  FormatSettings().DateSeparator = '-';
  FormatSettings().TimeSeparator = '.';
  EXPECT_TRUE(Matches(E, "12-34.5"));
  EXPECT_FALSE(Matches(E, "12/34:5"));
}

TEST_F(RegExpr, BoundsRefusedAtOnceWhenTheTreeWouldGrowTooLarge) {
  for (const char* Source : {"x{100000}", "((x{99}){99}){99}", "x{2,99999999999999}", "(x{5000})\\1\\1"}) {
    SCOPED_TRACE(Source);
    const auto Start = std::chrono::steady_clock::now();
    const String Errors = Failure(E, Source);
    EXPECT_NE(Errors.find("表达式太大"), String::npos) << Errors;
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(2));
  }
  EXPECT_EQ(Failure(E, "x{9000}"), "");
  EXPECT_TRUE(Matches(E, String(9000, 'x')));
}

TEST_F(RegExpr, GroupReferenceAfterBoundsRepeatsThePatternAsWritten) {
  ASSERT_EQ(Failure(E, "(ab){2}\\1"), "");
  EXPECT_TRUE(Matches(E, "ababab"));
  EXPECT_FALSE(Matches(E, "abababab"));
  ASSERT_EQ(Failure(E, "((a)b){2}\\2"), "");  // a group inside the replaced one
  EXPECT_TRUE(Matches(E, "ababa"));
  ASSERT_EQ(Failure(E, "(a)+\\1"), "");  // the quantifier the group has goes with it
  EXPECT_TRUE(Matches(E, "aaa"));
  EXPECT_FALSE(Matches(E, "a"));
}

TEST_F(RegExpr, PositionsStayWithinTheGraphOnAmbiguousRepetitions) {
  ASSERT_EQ(Failure(E, "(a|a)*"), "");
  E.Restart();
  char32_t Ch = U'a';
  for (int I = 0; I < 10000; ++I) ASSERT_TRUE(E.Accept(Ch));
  EXPECT_TRUE(E.IsComplete());
  // Each state once per position: the doubling list would have run out of memory long ago.
  ASSERT_EQ(Failure(E, "((a|a)(a|a)|a)*b"), "");
  E.Restart();
  for (int I = 0; I < 10000; ++I) ASSERT_TRUE(E.Accept(Ch));
  Ch = U'b';
  EXPECT_TRUE(E.Accept(Ch));
  EXPECT_TRUE(E.IsComplete());
}

// "(a|b)*a(a|b){10}" reaches 2,048 positions (the last eleven characters decide): more than
// the matcher keeps at once. Matching and stepping back over the whole input still answer as
// the text says: complete exactly when the eleventh character from the end is "a".
TEST_F(RegExpr, ManyPositionsStillMatchAndStepBackRight) {
  ASSERT_EQ(Failure(E, "(a|b)*a(a|b){10}"), "");
  std::u32string Text;
  unsigned Seed = 12345;
  for (int I = 0; I < 6000; ++I) {
    Seed = Seed * 1103515245u + 12345u;
    Text += (Seed >> 16) & 1 ? U'a' : U'b';
  }
  auto Expected = [&](std::size_t Length) { return Length >= 11 && Text[Length - 11] == U'a'; };
  for (int Round = 0; Round < 2; ++Round) {
    E.Restart();
    for (std::size_t I = 0; I < Text.size(); ++I) {
      char32_t Ch = Text[I];
      ASSERT_TRUE(E.Accept(Ch));
      ASSERT_EQ(E.IsComplete(), Expected(I + 1)) << "after " << I + 1;
    }
    for (std::size_t Length = Text.size(); Length > Text.size() - 3000; --Length) {
      ASSERT_TRUE(E.StepBack());
      ASSERT_EQ(E.IsComplete(), Expected(Length - 1)) << "back to " << Length - 1;
    }
  }
  char32_t C = U'c';
  EXPECT_FALSE(E.Accept(C));
}

TEST_F(RegExpr, CaseInsensitiveSymbolsHandBackTheirOwnSpelling) {
  E.SetCaseInsensitive(true);
  ASSERT_EQ(Failure(E, "abc[a-c]"), "");
  String Taken;
  for (char32_t c : std::u32string(U"ABC")) {
    ASSERT_TRUE(E.Accept(c));
    AppendUtf8(Taken, c);
  }
  EXPECT_EQ(Taken, "abc");
  char32_t Upper = U'B';
  EXPECT_FALSE(E.Accept(Upper));  // a range does not fold case
  char32_t Lower = U'b';
  EXPECT_TRUE(E.Accept(Lower));
  E.SetCaseInsensitive(false);
  EXPECT_FALSE(Matches(E, "ABCb"));
}

TEST_F(RegExpr, FeedTextStepBackAndRestart) {
  ASSERT_EQ(Failure(E, "\\d\\d"), "");
  EXPECT_EQ(E.FeedText("1x2"), "12");
  EXPECT_TRUE(E.IsComplete());
  EXPECT_EQ(E.FeedText("3"), "");  // no restart first: nothing follows two digits
  EXPECT_TRUE(E.StepBack());
  EXPECT_FALSE(E.IsComplete());
  EXPECT_TRUE(E.StepBack());
  EXPECT_TRUE(E.AtStart());
  EXPECT_FALSE(E.StepBack());
  EXPECT_TRUE(E.AtStart());
  E.FeedText("1");
  E.Restart();
  EXPECT_TRUE(E.AtStart());
  EXPECT_FALSE(E.StepBack());
}

TEST_F(RegExpr, AutoFillAddsForcedLiteralsAndTakesThemBackWithTheCharacterBefore) {
  String Events;
  E.OnLiteralAdded = TcxLiteralAddedEvent::Lambda([&](char32_t c) { AppendUtf8(Events, c); });
  E.OnLiteralRemoved = TcxLiteralRemovedEvent::Lambda([&] { Events += "<"; });
  FormatSettings().DateSeparator = '-';
  ASSERT_EQ(Failure(E, "\\d\\d/\\d\\d"), "");
  E.SetAutoFill(true);
  EXPECT_EQ(Events, "");
  for (char32_t c : std::u32string(U"12")) ASSERT_TRUE(E.Accept(c));
  EXPECT_EQ(Events, "-");  // the locale's separator, filled in at once
  EXPECT_TRUE(E.StepBack());
  EXPECT_EQ(Events, "-<");
  char32_t Two = U'2';
  EXPECT_TRUE(E.Accept(Two));  // back after "1": a digit is what follows
  EXPECT_EQ(Events, "-<-");

  Events.clear();
  ASSERT_EQ(Failure(E, "'+7 ('\\d"), "");  // leading literals are filled at compile time
  EXPECT_EQ(Events, "+7 (");
  EXPECT_FALSE(E.AtStart());

  Events.clear();
  ASSERT_EQ(Failure(E, "\\d+"), "");
  char32_t One = U'1';
  EXPECT_TRUE(E.Accept(One));
  EXPECT_TRUE(E.IsComplete());
  EXPECT_EQ(Events, "");  // filling stops at a complete match
}

TEST_F(RegExpr, MatchingBeforeCompilingFailsAndAFailedCompileLeavesNothingCompiled) {
  char32_t Ch = U'a';
  EXPECT_THROW(E.Accept(Ch), EcxEditError);
  EXPECT_THROW(E.IsComplete(), EcxEditError);
  try {
    E.Restart();
    FAIL();
  } catch (const EcxEditError& Error) {
    EXPECT_EQ(Error.Message(), "规则表达式不能编译");
  }
  ASSERT_EQ(Failure(E, "ab"), "");
  ASSERT_NE(E.Source(), nullptr);
  EXPECT_EQ(E.Source()->Size(), 2);
  EXPECT_NE(Failure(E, "a**"), "");
  EXPECT_EQ(E.Source(), nullptr);
  EXPECT_THROW(E.AtStart(), EcxEditError);
  E.Discard();
  EXPECT_EQ(E.Errors().Count(), 0);
}

TEST_F(RegExpr, SourceCompilesASecondIndependentCopy) {
  ASSERT_EQ(Failure(E, "(a|b)c"), "");
  TcxRegExpr Copy;
  Copy.Compile(E.Source());
  EXPECT_TRUE(Matches(Copy, "bc"));
  EXPECT_FALSE(Matches(E, "b"));
  EXPECT_TRUE(Matches(Copy, "ac"));
}

TEST_F(RegExpr, LexemsCarryKindsAndPositions) {
  ASSERT_EQ(Failure(E, "[^a\\d]{1,2}\\1x"), "行1, 字符12: 引用数太大");
  ASSERT_EQ(Failure(E, "'a'[^\\w-a]{1,12}/:."), "行1, 字符9: 子串的开始字符位置不能超出结束字符位置");
  const struct {
    int Kind;
    const char* Text;
    int Column;
  } Expected[] = {
      {lkLiteral, "a", 2}, {lkOperator, "[", 4}, {lkOperator, "^", 5}, {lkWordChar, "w", 6},
      {lkOperator, "-", 8}, {lkLiteral, "a", 9}, {lkOperator, "]", 10}, {lkOperator, "{", 11},
      {lkInteger, "1", 12}, {lkOperator, ",", 13}, {lkInteger, "12", 14}, {lkOperator, "}", 16},
      {lkDateSeparator, "/", 17}, {lkTimeSeparator, ":", 18}, {lkAnyChar, ".", 19},
  };
  ASSERT_EQ(E.Lexems().Count(), static_cast<int>(std::size(Expected)));
  for (int I = 0; I < E.Lexems().Count(); ++I) {
    SCOPED_TRACE(I);
    EXPECT_EQ(E.Lexems().Items(I).Kind, Expected[I].Kind);
    EXPECT_EQ(E.Lexems().Items(I).Text, Expected[I].Text);
    EXPECT_EQ(E.Lexems().Items(I).Column, Expected[I].Column);
  }
}

}  // namespace
