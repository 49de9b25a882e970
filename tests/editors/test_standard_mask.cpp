// The standard mask engine: compiling masks into position items, the empty texts, laying
// texts into a mask in both directions, value texts and completeness.
#include "editors/cxStandardMask.h"

#include "core/FormatSettings.h"
#include "core/StrUtils.h"

#include <gtest/gtest.h>

namespace {

class StandardMask : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings().DateSeparator = '/';
    FormatSettings().TimeSeparator = ':';
  }
  void TearDown() override { ResetFormatSettings(); }
  TcxStandardMask Mask;
};

struct CompileCase {
  const char* Mask;
  int Items;
  bool Leading;
  bool SaveLiterals;
  const char* Blank;
  const char* EmptyDisplay;
  const char* EmptyValue;
};

TEST_F(StandardMask, CompileReadsItemsSectionsOnlyAtTheEndAndTheSeparators) {
  const CompileCase Cases[] = {
      {"!99/99/00;1;_", 8, true, true, "_", "__/__/__", "  /  /  "},
      {"(999) 000-0000;0;_", 14, false, false, "_", "(___) ___-____", "          "},
      {"00;1", 2, false, true, "_", "__", "  "},
      {"0;0;", 4, false, true, "_", "_;_;", " ; ;"},    // neither ";" ends the mask: both are literals
      {"00;0;*", 2, false, false, "*", "**", "  "},
      {"0;x", 3, false, true, "_", "_;x", " ;x"},       // one trailing character that is no flag
      {"\\0\\L0", 3, false, true, "_", "0L_", "0L "},    // escaped picture characters are literals
      {"0\\", 1, false, true, "_", "_", " "},            // a trailing backslash is dropped
      {"hh:mm", 5, false, true, "_", "hh:mm", "hh:mm"},  // letters that are no picture are literals
      {"#!_ 9", 5, false, true, "_", "_!_ _", " !_  "},   // "!" after the first position is a literal
      {"年00", 3, false, true, "_", "年__", "年  "},      // a Chinese literal is one position
  };
  for (const CompileCase& C : Cases) {
    SCOPED_TRACE(C.Mask);
    Mask.Compile(C.Mask);
    EXPECT_EQ(Mask.ItemCount(), C.Items);
    EXPECT_EQ(Mask.Leading(), C.Leading);
    EXPECT_EQ(Mask.SaveLiterals(), C.SaveLiterals);
    EXPECT_EQ(Utf32ToUtf8(std::u32string(1, Mask.Blank())), C.Blank);
    EXPECT_EQ(Mask.EmptyDisplayText(), C.EmptyDisplay);
    EXPECT_EQ(Mask.EmptyValueText(), C.EmptyValue);
    EXPECT_EQ(Mask.Mask(), C.Mask);
  }
}

TEST_F(StandardMask, SeparatorsAreTakenAtCompileTimeAndRecompilingResets) {
  FormatSettings().DateSeparator = '-';
  Mask.Compile("!00/00;0;*");
  EXPECT_EQ(Mask.EmptyDisplayText(), "**-**");
  FormatSettings().DateSeparator = '.';
  EXPECT_EQ(Mask.EmptyDisplayText(), "**-**");  // compiled masks keep their separator
  Mask.Compile("00:00");
  EXPECT_FALSE(Mask.Leading());
  EXPECT_TRUE(Mask.SaveLiterals());
  EXPECT_EQ(Mask.Blank(), U'_');
  EXPECT_EQ(Mask.EmptyDisplayText(), "__:__");
}

struct FitCase {
  const char* Mask;
  const char* Text;
  bool ConvertCase;
  bool WithLiterals;
  const char* Expected;
};

TEST_F(StandardMask, FitTextLaysCharactersInPassingOverAbsentLiterals) {
  const FitCase Cases[] = {
      {"00/00", "1234", true, true, "12/34"},
      {"00/00", "1a234", true, true, "12/34"},       // a character no position takes is dropped
      {"00/00", "12/34", true, true, "12/34"},
      {"!999", "12", true, true, "_12"},              // laid in from the right
      {"999", "12", true, true, "12_"},
      {"00/00", "1 34", true, true, "1_/34"},         // a space keeps the position blank
      {"00/00", "_2/_4", true, true, "_2/_4"},
      {">LL", "ab", true, true, "AB"},
      {">LL", "ab", false, true, "ab"},               // the characters as given
      {"<LL", "AB", true, true, "ab"},
      {"<>LL", "aB", true, true, "aB"},
      {"00-00;0;_", "1-234", true, false, "12-34"},   // without literals "-" is no position's
      {"00-00;0;_", "1-234", true, true, "1_-23"},    // with them "-" is skipped to at its place
      {"000", "123456", true, true, "123"},
      {"!00/00", "1234", true, true, "12/34"},
      {"CC", "中文", true, true, "中文"},                 // a Chinese character fills one position
  };
  for (const FitCase& C : Cases) {
    SCOPED_TRACE(std::string(C.Mask) + " <- " + C.Text);
    Mask.Compile(C.Mask);
    String Text = C.Text;
    Mask.FitText(Text, C.ConvertCase, C.WithLiterals);
    EXPECT_EQ(Text, C.Expected);
  }
}

TEST_F(StandardMask, ValueTextTurnsBlanksToSpacesAndKeepsLiteralsOnlyWhenSaved) {
  const struct {
    const char* Mask;
    const char* Display;
    const char* Value;
  } Cases[] = {
      {"00/00", "1_/34", "1 /34"},
      {"00/00;0;_", "1_/34", "1 34"},
      {"(999) 000;0;*", "(12*) 345", "12 345"},
      {"00/00", "12", "12"},                 // no further than the shorter of text and mask
      {"00", "1234", "12"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Mask);
    Mask.Compile(C.Mask);
    String Text = C.Display;
    Mask.ValueText(Text);
    EXPECT_EQ(Text, C.Value);
  }
}

TEST_F(StandardMask, IsCompleteNeedsEveryRequiredPositionAndConvertsInPlace) {
  const struct {
    const char* Mask;
    const char* Text;
    bool Complete;
    const char* After;
  } Cases[] = {
      {"00/00", "12/34", true, "12/34"},
      {"00/00", "12/3_", false, "12/3_"},
      {"99/99", "1_/__", true, "1_/__"},
      {"99/99", "1 /  ", true, "1 /  "},
      {"00/00", "12-34", false, "12-34"},  // a wrong literal
      {"00/00", "12/345", false, "12/345"},
      {">L", "a", true, "A"},
      {"L", "a", true, "a"},
      {"0", "a", false, "a"},
      {"#", "-", true, "-"},
      {"#", "_", true, "_"},
      {"a", "?", false, "?"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string(C.Mask) + " " + C.Text);
    Mask.Compile(C.Mask);
    String Text = C.Text;
    EXPECT_EQ(Mask.IsComplete(Text), C.Complete);
    if (C.Complete) EXPECT_EQ(Text, C.After);
  }
}

TEST_F(StandardMask, InputItemsTestFirstThenConvertCase) {
  Mask.Compile(">L0<l");
  ASSERT_EQ(Mask.ItemCount(), 3);
  char32_t Ch = U'a';
  EXPECT_TRUE(Mask.ItemAt(0)->Matches(Ch));
  EXPECT_EQ(Ch, U'A');
  Ch = U'b';
  EXPECT_FALSE(Mask.ItemAt(1)->Matches(Ch));  // converted although refused
  EXPECT_EQ(Ch, U'B');
  Ch = U'Q';
  EXPECT_TRUE(Mask.ItemAt(2)->Matches(Ch));
  EXPECT_EQ(Ch, U'q');
  Ch = U'ä';  // only the ASCII letters change case and count as letters
  EXPECT_FALSE(Mask.ItemAt(0)->Matches(Ch));
  EXPECT_EQ(Ch, U'ä');
}

}  // namespace
