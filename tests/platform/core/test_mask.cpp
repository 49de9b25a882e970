// Edit masks: FormatMaskText and the compiled mask behind masked edits.
#include "core/Mask.h"

#include <gtest/gtest.h>

namespace {

class MaskTest : public ::testing::Test {
protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
};

TEST_F(MaskTest, FormatMaskTextTable) {
  struct Case { const char* mask; const char* value; const char* text; };
  const Case cases[] = {
      // Literals saved (";1" or no flag): the value holds them; each field is padded.
      {"!9999/99/99;1; ", "2024-03-08", "2024-03-08"},
      {"!9999/99/99;1; ", "2024-3-8", "2024- 3- 8"},
      {"!9999/99/99;1; ", "", "    -  -  "},
      {"!99/99/9999;1; ", "1-2-2024", " 1- 2-2024"},
      {"99/99/9999;1;_", "1-2-2024", "1_-2_-2024"},
      {"(999)000-0000;1;_", "(555)123-4567", "(555)123-4567"},
      {"(999)000-0000;1;_", "(55)123-4567", "(55_)123-4567"},
      {"!(999)000-0000;1;_", "(55)123-4567", "(_55)123-4567"},
      {"(999)000-0000;1;_", "5551234567", "(555)123-4567"},  // literals missing from the value
      {"000-0000", "5551234", "555-1234"},
      {"000-0000", "555-12", "555-12  "},
      // Literals not saved (";0"): the value holds only the data characters.
      {"000-0000;0;_", "5551234", "555-1234"},
      {"000-0000;0;_", "55", "55_-____"},
      {"!000-0000;0;_", "1234", "___-1234"},
      {"000-0000;0; ", "555", "555-    "},
      {"000-0000;0;_", "555123499", "555-123499"},  // nothing is lost
      {"!000;0;_", "12345", "12345"},
      {"000\\-0000;0; ", "5551234", "555-1234"},
      {"\\0\\L00;0; ", "12", "0L12"},
      {"99:99;0; ", "1230", "12:30"},
      {"LL_00;0;*", "AB12", "AB 12"},
      {"LL-LL;0;_", "中文", "中文-__"},
      {"000;0;_", "中文字", "中文字"},
      {"CCC;0", "ab", "ab "},  // no blank named: a space
      // No picture: the value as it is.
      {"", "abc", "abc"},
      {";0;_", "abc", "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mask \"" << c.mask << "\" value \"" << c.value << "\"");
    EXPECT_EQ(FormatMaskText(c.mask, c.value), c.text);
  }
}

TEST_F(MaskTest, SeparatorsFollowTheSettings) {
  FormatSettings().DateSeparator = '/';
  FormatSettings().TimeSeparator = '.';
  EXPECT_EQ(FormatMaskText("!99/99/9999;1; ", "1/2/2024"), " 1/ 2/2024");
  EXPECT_EQ(FormatMaskText("99:99;0;_", "1230"), "12.30");
  EXPECT_EQ(MaskIntlLiteralToChar(U'/'), U'/');
  EXPECT_EQ(MaskIntlLiteralToChar(U':'), U'.');
  EXPECT_EQ(MaskIntlLiteralToChar(U'x'), U'x');
}

TEST_F(MaskTest, SectionQueries) {
  EXPECT_FALSE(MaskGetMaskSave("000;0;_"));
  EXPECT_TRUE(MaskGetMaskSave("000;1;_"));
  EXPECT_TRUE(MaskGetMaskSave("000"));
  EXPECT_TRUE(MaskGetMaskSave("000;;_"));
  EXPECT_TRUE(MaskGetMaskSave("0\\;0;1"));
  EXPECT_FALSE(MaskGetMaskSave("0\\;0;0"));
  EXPECT_EQ(MaskGetMaskBlank("000;0;*"), U'*');
  EXPECT_EQ(MaskGetMaskBlank("000;0; "), U' ');
  EXPECT_EQ(MaskGetMaskBlank("000;0"), DefaultBlank);
  EXPECT_EQ(MaskGetMaskBlank("000;0;"), DefaultBlank);
  EXPECT_EQ(MaskGetMaskBlank("000;0;空"), U'空');
}

TEST_F(MaskTest, CharTypesAndDirectives) {
  const char* mask = "\\0!9L/x;1;_";
  const TMaskCharType types[] = {mcNone, mcDirective, mcLiteral, mcDirective, mcMaskOpt, mcMask, mcIntlLiteral,
                                 mcLiteral, mcFieldSeparator, mcField, mcFieldSeparator, mcField, mcNone};
  for (int i = 0; i <= 12; ++i) EXPECT_EQ(MaskGetCharType(mask, i), types[i]) << "offset " << i;

  const char* cased = ">LL<ll<>cc\\a";
  EXPECT_EQ(MaskGetCurrentDirectives(cased, 2), TMaskDirectives{mdUpperCase});
  EXPECT_EQ(MaskGetCurrentDirectives(cased, 5), TMaskDirectives{mdLowerCase});
  EXPECT_EQ(MaskGetCurrentDirectives(cased, 9), TMaskDirectives{});
  EXPECT_EQ(MaskGetCurrentDirectives(cased, 12), TMaskDirectives{mdLiteralChar});
  EXPECT_EQ(MaskGetCurrentDirectives("99!9", 1), TMaskDirectives{mdReverseDir});
}

TEST_F(MaskTest, CompiledPositions) {
  TEditMask m("(999)000-0000;0;_");
  ASSERT_EQ(m.Length(), 13);
  EXPECT_FALSE(m.SaveLiterals());
  EXPECT_EQ(m.Blank(), U'_');
  EXPECT_TRUE(m.IsLiteral(0));
  EXPECT_FALSE(m.IsLiteral(1));
  EXPECT_FALSE(m.IsRequired(1)) << "9 is optional";
  EXPECT_TRUE(m.IsRequired(5)) << "0 is required";
  EXPECT_EQ(m.NextEditable(0), 1);
  EXPECT_EQ(m.NextEditable(4), 5);
  EXPECT_EQ(m.NextEditable(13), 13);
  EXPECT_EQ(m.PrevEditable(4), 3);
  EXPECT_EQ(m.PrevEditable(0), -1);
  EXPECT_EQ(m.PrevEditable(99), 12);
  EXPECT_TRUE(TEditMask("").Empty());
  EXPECT_TRUE(TEditMask(";1;_").Empty());
}

TEST_F(MaskTest, AcceptCharChecksAndConvertsCase) {
  TEditMask m(">LL<l<>lA#C");
  struct Case { int pos; char32_t in; bool ok; char32_t out; };
  const Case cases[] = {
      {0, U'a', true, U'A'}, {0, U'1', false, U'1'}, {1, U'Z', true, U'Z'}, {2, U'X', true, U'x'},
      {3, U'Q', true, U'Q'}, {3, U'中', true, U'中'}, {4, U'7', true, U'7'}, {4, U'-', false, U'-'},
      {5, U'+', true, U'+'}, {5, U'-', true, U'-'}, {5, U'5', true, U'5'}, {5, U'x', false, U'x'},
      {6, U' ', true, U' '}, {6, U'%', true, U'%'}, {7, U'a', false, U'a'}, {-1, U'a', false, U'a'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pos " << c.pos << " char " << static_cast<unsigned>(c.in));
    char32_t ch = c.in;
    EXPECT_EQ(m.AcceptChar(c.pos, ch), c.ok);
    EXPECT_EQ(ch, c.out);
  }
  TEditMask lit("0-0");
  char32_t dash = U'-', other = U'+';
  EXPECT_TRUE(lit.AcceptChar(1, dash));
  EXPECT_FALSE(lit.AcceptChar(1, other));
}

TEST_F(MaskTest, EditTextAndText) {
  TEditMask date("!9999/99/99;1;_");
  EXPECT_EQ(date.BlankText(), "____-__-__");
  EXPECT_EQ(date.ToEditText("2024-3-8"), "2024-_3-_8");
  EXPECT_EQ(date.FromEditText("2024-_3-_8"), "2024- 3- 8");
  EXPECT_EQ(date.FromEditText("____-__-__"), "    -  -  ");

  TEditMask phone("000-0000;0;_");
  EXPECT_EQ(phone.ToEditText("5551234"), "555-1234");
  EXPECT_EQ(phone.ToEditText("555123499"), "555-1234") << "the edit text is exactly the mask's length";
  EXPECT_EQ(phone.FromEditText("555-1234"), "5551234");
  EXPECT_EQ(phone.FromEditText("555-12__"), "55512");
  EXPECT_EQ(phone.FromEditText(phone.ToEditText("中文")), "中文");
}

TEST_F(MaskTest, ValidateFindsTheFirstBadPosition) {
  TEditMask m("000-0000;0;_");
  struct Case { const char* edit; int bad; };
  const Case cases[] = {
      {"555-1234", -1}, {"555-12__", 6}, {"5a5-1234", 1}, {"555x1234", 3}, {"555-123", 7}, {"555-12345", 8},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(m.Validate(c.edit), c.bad) << c.edit;
  TEditMask optional("999-99;0;_");
  EXPECT_EQ(optional.Validate("1__-__"), -1);
  EXPECT_EQ(optional.Validate("1 _-__"), -1);
  EXPECT_EQ(optional.Validate("1x_-__"), 1);
}

}  // namespace
