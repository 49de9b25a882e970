// Number texts of the text editors: thousand separators and the float test.
#include "editors/cxTextEditNumbers.h"

#include "core/FormatSettings.h"
#include "core/Scope.h"

#include <gtest/gtest.h>

namespace {

TEST(TextEditNumbers, ThousandSeparatorsGoIntoTheIntegerDigitsOnly) {
  const std::pair<String, String> cases[] = {
      {"-1234.5", "-1,234.5"},     {" 1234 ", " 1,234 "},     {"1234567E10", "1,234,567E10"},
      {"123", "123"},              {"1,2,3,4", "1,234"},      {"0.123456", "0.123456"},
      {"1234567.1234", "1,234,567.1234"}, {"", ""},           {"abc", "abc"},
      {"\t999999e-3 ", "\t999,999e-3 "},
  };
  for (const auto& [in, out] : cases) {
    String s = in;
    InsertThousandSeparators(s);
    EXPECT_EQ(s, out) << in;
  }
  TRestore<TFormatSettings> keep(FormatSettings());
  FormatSettings().ThousandSeparator = '.';
  FormatSettings().DecimalSeparator = ',';
  String s = "1234567,5";
  InsertThousandSeparators(s);
  EXPECT_EQ(s, "1.234.567,5");
}

TEST(TextEditNumbers, FloatTextIgnoresSeparatorsButNeedsANumber) {
  for (const char* yes : {"1,234.5", "-1", "1e3", "0.5"}) EXPECT_TRUE(IsFloatText(yes)) << yes;
  for (const char* no : {"", ",", "1.2.3", "abc", "1e"}) EXPECT_FALSE(IsFloatText(no)) << no;
}

}  // namespace
