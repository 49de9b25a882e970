// Number conversions, the picture and standard float formats, and Format.
#include "CoreTestUtil.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace {

// Every test starts from the default settings and leaves them so.
class FormatTest : public ::testing::Test {
protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
};

// ---------------------------------------------------------------- integers

TEST_F(FormatTest, StrToIntAcceptsThePlatformSyntax) {
  struct Case { const char* text; int value; };
  const Case cases[] = {
      {"123", 123}, {"   123", 123}, {"-123", -123}, {"+5", 5}, {"0", 0},
      {"$FF", 255}, {"$ff", 255}, {"0x1F", 31}, {"0X1f", 31}, {"x10", 16}, {"X10", 16},
      {"-$10", -16}, {"$FFFFFFFF", -1}, {"$80000000", INT32_MIN},
      {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"007", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StrToInt(c.text), c.value);
    int v = 0;
    EXPECT_TRUE(TryStrToInt(c.text, v));
    EXPECT_EQ(v, c.value);
  }
}

TEST_F(FormatTest, StrToIntRejectsWithTheTextInTheMessage) {
  const char* bad[] = {"", " ", "-", "+", "abc", "12a", "123 ", "1 2", "0x", "$", "2147483648",
                       "-2147483649", "$100000000", "1.5", "- 5", "0x-1", "１２"};
  for (const char* s : bad) {
    SCOPED_TRACE(s);
    int v = 77;
    EXPECT_FALSE(TryStrToInt(s, v));
    EXPECT_EQ(v, 77) << "a failed parse leaves the target alone";
    EXPECT_EQ(StrToIntDef(s, -9), -9);
    EXPECT_EQ(ConvertMessage([&] { StrToInt(s); }), "'" + std::string(s) + "' 不是有效的整数值");
  }
}

TEST_F(FormatTest, StrToInt64KeepsSixtyFourBits) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("3000000000"), 3000000000LL);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("$FFFFFFFF"), 0xFFFFFFFFLL) << "hexadecimal fills 64 bits here";
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_THROW(StrToInt64("-9223372036854775809"), EConvertError);
  EXPECT_THROW(StrToInt64("$10000000000000000"), EConvertError);
  EXPECT_EQ(StrToInt64Def("x", 42), 42);
  EXPECT_THROW(StrToInt("3000000000"), EConvertError) << "StrToInt stays within 32 bits";
}

TEST_F(FormatTest, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToStr(INT64_MAX), "9223372036854775807");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 4), "FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(-1), 4), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(0), 0), "0");
  EXPECT_EQ(IntToHex(Cardinal(0xFFFFFFFF), 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(std::uint64_t(0x8000000000000000), 1), "8000000000000000");
  EXPECT_EQ(IntToHex(static_cast<Word>(0xBEEF), 8), "0000BEEF");
}

TEST_F(FormatTest, IntMinAndIntMaxServeTheGridAndTheEditControlsAlike) {
  static_assert(IntMin(3, -2) == -2 && IntMax(3, -2) == 3, "usable in constant expressions");
  struct TCase {
    int A, B, Min, Max;
  } cases[] = {{3, -2, -2, 3}, {-2, 3, -2, 3}, {7, 7, 7, 7}, {INT_MIN, INT_MAX, INT_MIN, INT_MAX}};
  for (const TCase& c : cases) {
    EXPECT_EQ(IntMin(c.A, c.B), c.Min);
    EXPECT_EQ(IntMax(c.A, c.B), c.Max);
  }
}

TEST_F(FormatTest, BooleansAsText) {
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
  struct Case { const char* text; bool value; };
  const Case cases[] = {{"True", true}, {"true", true}, {"FALSE", false}, {"0", false}, {"-1", true},
                        {"2", true}, {"0.0", false}, {" 1 ", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StrToBool(c.text), c.value);
  }
  EXPECT_EQ(ConvertMessage([] { StrToBool("yes"); }), "'yes' 不是有效的布尔值");
  EXPECT_TRUE(StrToBoolDef("maybe", true));
}

// ---------------------------------------------------------------- float parsing

TEST_F(FormatTest, StrToFloatSyntax) {
  struct Case { const char* text; long double value; };
  const Case cases[] = {
      {"1.5", 1.5L}, {"  1.5  ", 1.5L}, {"-1.5e3", -1500.0L}, {"+2", 2.0L}, {"1.", 1.0L},
      {".5", 0.5L}, {"1E-2", 0.01L}, {"1e+2", 100.0L}, {"0", 0.0L}, {"-0.25", -0.25L},
      {"1e-5000", 0.0L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StrToFloat(c.text), c.value);
  }
  const char* bad[] = {"", ".", "1e", "1e+", "1,5", "1.5.5", "abc", "1 000", "INF", "NAN", "1e5000", "--1", "1.5x"};
  for (const char* s : bad) {
    SCOPED_TRACE(s);
    Extended v = 9;
    EXPECT_FALSE(TryStrToFloat(s, v));
    EXPECT_EQ(v, 9.0L);
    EXPECT_EQ(ConvertMessage([&] { StrToFloat(s); }), "'" + std::string(s) + "' 不是有效的数值");
  }
  EXPECT_EQ(StrToFloatDef("x", 2.5L), 2.5L);
}

TEST_F(FormatTest, StrToFloatReadsExtendedPrecision) {
  // 0.1 read into 64 mantissa bits differs from the double 0.1 widened.
  EXPECT_EQ(StrToFloat("0.1"), 0.1L);
  EXPECT_NE(StrToFloat("0.1"), static_cast<long double>(0.1));
  double d = 0;
  ASSERT_TRUE(TryStrToFloat("0.1", d));
  EXPECT_EQ(d, 0.1);
}

TEST_F(FormatTest, StrToFloatFollowsTheDecimalSeparator) {
  FormatSettings().DecimalSeparator = ',';
  EXPECT_EQ(StrToFloat("1,5"), 1.5L);
  EXPECT_THROW(StrToFloat("1.5"), EConvertError);
  EXPECT_EQ(FloatToStr(1.5), "1,5");
  EXPECT_EQ(FormatFloat("0.00", 2.5), "2,50");
}

// ---------------------------------------------------------------- digits

// The exact value to 18 significant digits, half to even, as printf gives it: (digits without
// trailing zeros, exponent with value = 0.digits * 10^exponent).
std::pair<std::string, int> ReferenceDigits(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17Le", v < 0 ? -v : v);
  std::string digits;
  const char* p = buf;
  for (; *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits += *p;
  int e = std::atoi(p + 1);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  return {digits, digits.empty() ? 0 : e + 1};
}

TEST_F(FormatTest, EighteenDigitsAreExact) {
  std::mt19937_64 rng(20240308);
  std::vector<long double> values = {1e-5, 0.1, 0.285, 1.005, 1234.565, 0x1p53, 0x1p63 - 1024, 999999999999999999.0,
                                     1e18, 123456789012345678.0, 0x1p-20, 5e-324, 1.7976931348623157e308,
                                     0.1L, 1.0L / 3, 1e4000L};
  for (int i = 0; i < 100000; ++i) {
    // Any mantissa over a span of magnitudes around the fast range and beyond it.
    double mant = 1.0 + static_cast<double>(rng() >> 12) / 0x1p52;
    int exp = static_cast<int>(rng() % 110) - 30;
    values.push_back(std::ldexp(mant, exp));
    // N / 2^15 with four integer digits has 19 significant digits ending in 5: an exact tie.
    std::uint64_t n = (1000 + rng() % 9000) * 32768 + (rng() % 32768 | 1);
    values.push_back(static_cast<double>(n) / 32768.0);
    // Whole numbers of up to 19 digits.
    values.push_back(static_cast<double>(rng() >> (rng() % 63 + 1)));
  }
  for (long double v : values) {
    TFloatRec rec;
    FloatToDecimal(rec, v, 18, 9999);
    auto [digits, exponent] = ReferenceDigits(v);
    ASSERT_EQ(rec.Digits, digits) << static_cast<double>(v);
    ASSERT_EQ(rec.Exponent, exponent) << static_cast<double>(v);
    FloatToDecimal(rec, -v, 18, 9999);
    ASSERT_TRUE(rec.Negative || digits.empty()) << static_cast<double>(v);
  }
}

// Rounding for display: the 18 digits above, cut half away from zero at the wanted place.
TEST_F(FormatTest, DisplayRoundingOfTheEighteenDigits) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 200000; ++i) {
    double v = std::ldexp(1.0 + static_cast<double>(rng() >> 12) / 0x1p52, static_cast<int>(rng() % 90) - 25);
    if (i % 3 == 0) v = std::round(v * 1000) / 1000;  // many values near a decimal half
    int precision = static_cast<int>(rng() % 18) + 1, decimals = static_cast<int>(rng() % 24) - 4;
    auto [digits, exponent] = ReferenceDigits(v);
    int keep = std::min(precision, exponent + decimals);
    std::string want;
    int wantExp = exponent;
    if (keep < static_cast<int>(digits.size())) {
      bool up = keep >= 0 && digits[keep] >= '5';
      want = keep > 0 ? digits.substr(0, keep) : "";
      if (keep < 0) up = false;
      if (up) {
        int j = static_cast<int>(want.size()) - 1;
        while (j >= 0 && want[j] == '9') want[j--] = '0';
        if (j >= 0) ++want[j];
        else { want.insert(want.begin(), '1'); ++wantExp; }
      }
      while (!want.empty() && want.back() == '0') want.pop_back();
    } else {
      want = digits;
    }
    if (want.empty()) wantExp = 0;
    TFloatRec rec;
    FloatToDecimal(rec, v, precision, decimals);
    ASSERT_EQ(rec.Digits, want) << v << " precision " << precision << " decimals " << decimals;
    ASSERT_EQ(rec.Exponent, wantExp) << v << " precision " << precision << " decimals " << decimals;
  }
}

TEST_F(FormatTest, DecimalDigitsTakeAnyCountOfDecimals) {
  struct Case { long double value; int precision, decimals; const char* digits; int exponent; };
  const Case cases[] = {
      {0.001, 15, INT32_MIN, "", 0},         {1234.5, 15, INT32_MIN, "", 0},
      {-0.001, 15, -2147483000, "", 0},      {1234.5, 15, INT32_MAX, "12345", 4},
      {1234.5, 15, 9998, "12345", 4},        {995, 15, -1, "1", 4},
      {1234.5, INT32_MAX, 0, "1235", 4},     {1234.5, INT32_MIN, 9999, "1", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.precision) + " " + std::to_string(c.decimals));
    TFloatRec rec;
    FloatToDecimal(rec, c.value, c.precision, c.decimals);
    EXPECT_STREQ(rec.Digits, c.digits);
    EXPECT_EQ(rec.Exponent, c.exponent);
  }
  TFloatRec rec;
  CurrToDecimal(rec, Currency::FromRaw(125000), INT32_MIN);
  EXPECT_STREQ(rec.Digits, "");
  CurrToDecimal(rec, Currency::FromRaw(-125000), INT32_MAX);
  EXPECT_STREQ(rec.Digits, "125");
  EXPECT_EQ(rec.Exponent, 2);
}

// ---------------------------------------------------------------- FloatToStr / FloatToStrF

TEST_F(FormatTest, FloatToStrGeneralFifteenDigits) {
  struct Case { long double value; const char* text; };
  const Case cases[] = {
      {0, "0"}, {1.5, "1.5"}, {-1.5, "-1.5"}, {100, "100"}, {0.1, "0.1"}, {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"}, {-2.0 / 3, "-0.666666666666667"},
      {123456789012345.0, "123456789012345"}, {1e14, "100000000000000"}, {999999999999999.0, "999999999999999"},
      // Exponent switching: fixed while the decimal exponent is -4..14.
      {1e15, "1E15"}, {1234567890123456.0, "1.23456789012346E15"}, {9999999999999999.0, "1E16"},
      {0.0001, "0.0001"}, {0.00012345, "0.00012345"}, {0.00001, "1E-5"}, {1.5e-7, "1.5E-7"},
      {-2.5e-10, "-2.5E-10"}, {1e100, "1E100"}, {1.7976931348623157e308, "1.79769313486232E308"},
      {-0.0, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FloatToStr(c.value), c.text);
  }
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
  EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
}

TEST_F(FormatTest, FloatToStrFFormats) {
  struct Case { long double value; TFloatFormat format; int precision, digits; const char* text; };
  const Case cases[] = {
      {1234.5678, ffFixed, 15, 2, "1234.57"},
      {1234.5678, ffNumber, 15, 2, "1,234.57"},
      {-1234567.5, ffNumber, 15, 1, "-1,234,567.5"},
      {123, ffNumber, 15, 0, "123"},
      {1234.5, ffExponent, 5, 2, "1.2345E+03"},
      {1234.5, ffExponent, 4, 2, "1.235E+03"},
      {0.00012, ffExponent, 3, 0, "1.20E-4"},
      {0, ffExponent, 3, 2, "0.00E+00"},
      {-5, ffExponent, 1, 1, "-5E+0"},
      {0.5, ffFixed, 15, 0, "1"},
      {2.5, ffFixed, 15, 0, "3"},
      {-0.001, ffFixed, 15, 2, "0.00"},
      {0.05, ffFixed, 15, 1, "0.1"},
      {1e20, ffFixed, 15, 2, "1E20"},
      {123.456, ffGeneral, 4, 0, "123.5"},
      {12345, ffGeneral, 3, 2, "1.23E04"},
      {1.5, ffGeneral, 2, 0, "1.5"},
      {1234.5, ffCurrency, 15, 2, "¥1,234.50"},
      {-1234.5, ffCurrency, 15, 2, "¥-1,234.50"},
      {0.004, ffCurrency, 15, 2, "¥0.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.text);
  }
}

TEST_F(FormatTest, CurrencyPatternsFollowTheSettings) {
  const char* positive[] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
  const char* negative[] = {"($1.50)", "-$1.50", "$-1.50", "$1.50-", "(1.50$)", "-1.50$",
                            "1.50-$", "1.50$-", "-1.50 $", "-$ 1.50", "1.50 $-", "$ 1.50-",
                            "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
  TFormatSettings& fs = FormatSettings();
  fs.CurrencyString = "$";
  for (int i = 0; i < 4; ++i) {
    fs.CurrencyFormat = static_cast<Byte>(i);
    EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2), positive[i]) << "CurrencyFormat " << i;
  }
  for (int i = 0; i < 16; ++i) {
    fs.NegCurrFormat = static_cast<Byte>(i);
    EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2), negative[i]) << "NegCurrFormat " << i;
  }
}

// ---------------------------------------------------------------- FormatFloat

TEST_F(FormatTest, FormatFloatPictures) {
  struct Case { const char* fmt; long double value; const char* text; };
  const Case cases[] = {
      // Digits: the exact value to 18 significant digits, then half away from zero.
      {"0.00", 0.125, "0.13"},
      {"#,##0.00", 1234.565, "1,234.57"},
      {"0.00", 1.005, "1.00"},   // 1.00499999999999989...
      {"0.00", 0.285, "0.28"},   // 0.284999999999999976: 15 digits would say 0.29
      {"0.00", 2.675, "2.67"},
      {"0", 0.5, "1"},
      {"0", 1.5, "2"},
      {"0", 2.5, "3"},
      {"0", -0.5, "-1"},
      {"0.00", -0.125, "-0.13"},
      // 0 and # placeholders.
      {"#,##0", 1234567, "1,234,567"},
      {"#,##0.00", -1234.5, "-1,234.50"},
      {"#,##0.00", 0.5, "0.50"},
      {"#,0", 1, "1"},
      {"#,0000", 1, "0,001"},
      {"00000", 42, "00042"},
      {"#.##", 0, ""},
      {"#.##", 0.5, ".5"},
      {"#.###", 0.005, ".005"},
      {"0.##", 1, "1"},
      {"0.0#", 1.5, "1.5"},
      {"0.0#", 1.25, "1.25"},
      {"0.0#", 1.999, "2.0"},
      {"0.0", 123.456, "123.5"},
      {"#", 0, ""},
      {"0", 0, "0"},
      {"0.000", 0.0005, "0.001"},
      {"0", 1e20, "100000000000000000000"},
      {"0.00", 123456789012345678.0, "123456789012345680.00"},
      // Literals between digits, quoted text, other characters.
      {"000-00", 12345, "123-45"},
      {"000-00", 123, "001-23"},
      {"\"Total: \"0.00", 5, "Total: 5.00"},
      {"'¥'#,##0.00", 1234, "¥1,234.00"},
      {"0.00元", 3, "3.00元"},
      {"0.0 'E+'", 2, "2.0 E+"},
      {"\"a;b\"0", 7, "a;b7"},
      {"\"n/a\"", 7, "n/a"},
      // Exponents.
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.00E-00", 1234.5, "1.23E03"},
      {"0.00E+00", 0.00012345, "1.23E-04"},
      {"0.00e-0", 0.00012345, "1.23e-4"},
      {"0.###E+0", 1000, "1E+3"},
      {"0.00E+00", 0, "0.00E+00"},
      {"00.0E+0", 12345, "12.3E+3"},
      {"0.0E+0000", 1e100, "1.0E+0100"},
      {"0E+0", -5, "-5E+0"},
      // Sections: positive; negative; zero.
      {"0.00;(0.00)", -5, "(5.00)"},
      {"0.00;(0.00)", 5, "5.00"},
      {"0.00;(0.00)", 0, "0.00"},
      {"0.00;(0.00);\"zero\"", 0, "zero"},
      {"0.00;(0.00);\"zero\"", -1.5, "(1.50)"},
      {"0.00;;\"zero\"", -5, "-5.00"},
      {"0.0;(0.0);\"zero\"", -0.01, "zero"},
      {"0.0;(0.0)", -0.01, "0.0"},
      {"0.0", -0.01, "0.0"},
      {";(0)", 5, "5"},
      {"", 1.5, "1.5"},
      {"0.00", std::numeric_limits<double>::infinity(), "INF"},
      {"0.00", -std::numeric_limits<double>::infinity(), "-INF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fmt) + " -> " + c.text);
    EXPECT_EQ(FormatFloat(c.fmt, c.value), c.text);
  }
}

TEST_F(FormatTest, FormatFloatUsesTheSettingsSeparators) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, fs), "1.234.567,89");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1,234,567.89") << "the global settings are untouched";
}

// ---------------------------------------------------------------- Format

TEST_F(FormatTest, FormatSpecifiers) {
  // The argument lists below outlive the table, so the texts they view must too.
  static const std::string str = "str", longText(300, 'x');
  struct Case { const char* fmt; std::vector<TVarRec> args; std::string text; };
  const Case cases[] = {
      {"%d", {42}, "42"},
      {"%D", {42}, "42"},
      {"%5d|", {42}, "   42|"},
      {"%-5d|", {42}, "42   |"},
      {"%.5d", {-12}, "-00012"},
      {"%d", {Int64(-9000000000)}, "-9000000000"},
      {"%d", {18446744073709551615ULL}, "18446744073709551615"},
      {"%u", {-1}, "4294967295"},
      {"%u", {Int64(-1)}, "18446744073709551615"},
      {"%x", {255}, "FF"},
      {"%.4x", {255}, "00FF"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%x", {Int64(-1)}, "FFFFFFFFFFFFFFFF"},
      {"%s", {"abc"}, "abc"},
      {"%s", {str}, "str"},
      {"%s", {'c'}, "c"},
      {"%5s|", {"ab"}, "   ab|"},
      {"%-5s|", {"ab"}, "ab   |"},
      {"%.2s", {"abcdef"}, "ab"},
      {"%.1s", {"中文"}, "中"},
      {"%4s", {"中文"}, "  中文"},
      {"%f", {3.14159}, "3.14"},
      {"%.3f", {2.5}, "2.500"},
      {"%.0f", {2.5}, "3"},
      {"%.2f", {0.125}, "0.13"},
      {"%f", {-0.001}, "0.00"},
      {"%e", {1234.5678}, "1.23456780000000E+003"},
      {"%.3e", {1234.5678}, "1.23E+003"},
      {"%g", {1234.5678}, "1234.5678"},
      {"%g", {1e20}, "1E20"},
      {"%.3g", {1234.5678}, "1.23E3"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%.0n", {1234567.891}, "1,234,568"},
      {"%m", {1234.5}, "¥1,234.50"},
      {"%m", {-1234.5}, "¥-1,234.50"},
      {"%.0m", {2.5}, "¥3"},
      {"%f", {Currency::FromRaw(12345)}, "1.23"},
      {"%.4f", {Currency::FromRaw(-5)}, "-0.0005"},
      {"%10.2f|", {3.14159}, "      3.14|"},
      {"%p", {reinterpret_cast<const void*>(0x1234)}, "0000000000001234"},
      {"%p", {nullptr}, "0000000000000000"},
      {"100%%", {}, "100%"},
      {"%s%%%s", {"a", "b"}, "a%b"},
      {"%1:s %0:s", {"a", "b"}, "b a"},
      {"%1:s %s %0:s", {"a", "b", "c"}, "b c a"},
      {"%*d|", {5, 42}, "   42|"},
      {"%-*d|", {5, 42}, "42   |"},
      {"%*d|", {-5, 42}, "42   |"},
      {"%.*f", {1, 2.25}, "2.3"},
      {"%*.*f|", {8, 3, 1.5}, "   1.500|"},
      {"no specifiers", {1}, "no specifiers"},
      {"%s=%d; %s", {"a", 1, "x"}, "a=1; x"},
      {"%s", {longText}, longText},  // no cut at 255 characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fmt);
    EXPECT_EQ(Format(c.fmt, c.args), c.text);
  }
}

TEST_F(FormatTest, FormatTakesABracedListOfTemporaries) {
  String name = "合同";
  EXPECT_EQ(Format("%s-%d-%s-%.1f", {name, 7, name + "2", 1.25}), "合同-7-合同2-1.3");
  EXPECT_EQ(Format("%s", {std::string_view("view")}), "view");
  EXPECT_EQ(Format("%d %d", {static_cast<short>(-3), static_cast<unsigned char>(200)}), "-3 200");
}

TEST_F(FormatTest, FormatErrorsNameTheFormat) {
  struct Case { const char* fmt; std::vector<TVarRec> args; const char* message; };
  const Case cases[] = {
      {"%d", {"abc"}, "Format '%d' invalid or incompatible with argument"},
      {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
      {"%d", {true}, "Format '%d' invalid or incompatible with argument"},
      {"%d", {Currency(1)}, "Format '%d' invalid or incompatible with argument"},
      {"%s", {5}, "Format '%s' invalid or incompatible with argument"},
      {"%s", {true}, "Format '%s' invalid or incompatible with argument"},
      {"%f", {5}, "Format '%f' invalid or incompatible with argument"},
      {"%x", {2.0}, "Format '%x' invalid or incompatible with argument"},
      {"%p", {5}, "Format '%p' invalid or incompatible with argument"},
      {"%*d", {"w", 5}, "Format '%*d' invalid or incompatible with argument"},
      {"abc %", {1}, "Format 'abc %' invalid or incompatible with argument"},
      {"%z", {1}, "Format '%z' invalid or incompatible with argument"},
      {"%5", {1}, "Format '%5' invalid or incompatible with argument"},
      {"%d %d", {1}, "No argument for format '%d %d'"},
      {"%s", {}, "No argument for format '%s'"},
      {"%2:d", {1, 2}, "No argument for format '%2:d'"},
      // widths and precisions that would only allocate
      {"%*d", {2147483647, 1}, "Format '%*d' invalid or incompatible with argument"},
      {"%*d", {INT32_MIN, 1}, "Format '%*d' invalid or incompatible with argument"},
      {"%-*s", {-65537, "a"}, "Format '%-*s' invalid or incompatible with argument"},
      {"%99999999d", {1}, "Format '%99999999d' invalid or incompatible with argument"},
      {"%.*f", {2147483647, 1.5}, "Format '%.*f' invalid or incompatible with argument"},
      {"%.65537d", {1}, "Format '%.65537d' invalid or incompatible with argument"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fmt);
    EXPECT_EQ(ConvertMessage([&] { Format(c.fmt, c.args); }), c.message);
  }
}

TEST_F(FormatTest, FormatTakesWidthsUpToTheBound) {
  EXPECT_EQ(Format("%*d", {65536, 7}), String(65535, ' ') + "7");
  EXPECT_EQ(Format("%*d|", {-65536, 7}), "7" + String(65535, ' ') + "|");
  EXPECT_EQ(Format("%.*d", {-2147483647 - 1, 7}), "7");  // a negative precision is none
  EXPECT_EQ(Format("%.65536s", {"abc"}), "abc");
}

TEST_F(FormatTest, FormatWithOwnSettings) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = ' ';
  fs.CurrencyString = "EUR";
  fs.CurrencyFormat = 3;
  std::vector<TVarRec> args{1234.5, 1234.5};
  EXPECT_EQ(Format("%n|%m", args, fs), "1 234,50|1 234,50 EUR");
}

// ---------------------------------------------------------------- rounding

TEST_F(FormatTest, RoundHalfToEvenIntoInt64) {
  struct Case { long double value; Int64 rounded; };
  const Case cases[] = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2}, {-0.5, 0},
      {2.4999999, 2}, {2.5000001, 3}, {-2.5000001, -3}, {0, 0},
      {3000000000.0, 3000000000LL}, {-3000000000.5, -3000000000LL},
      {1e15 + 0.5, 1000000000000000LL}, {9007199254740993.0L, 9007199254740993LL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.value));
    EXPECT_EQ(Round(c.value), c.rounded);
  }
  EXPECT_THROW(Round(1e19), EInvalidOp);
  EXPECT_THROW(Round(-1e19), EInvalidOp);
  EXPECT_THROW(Round(std::nan("")), EInvalidOp);
  EXPECT_THROW(Trunc(std::numeric_limits<double>::infinity()), EInvalidOp);
}

TEST_F(FormatTest, TruncIntFrac) {
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(2.7), 2);
  EXPECT_EQ(Trunc(5e9), 5000000000LL);
  EXPECT_EQ(Int(-2.7L), -2.0L);
  EXPECT_EQ(Int(2.7L), 2.0L);
  EXPECT_NEAR(static_cast<double>(Frac(-2.7L)), -0.7, 1e-15);
  EXPECT_NEAR(static_cast<double>(Frac(2.25L)), 0.25, 0);
}

TEST_F(FormatTest, MulDivRoundsHalfAwayFromZero) {
  struct Case { int a, b, c, result; };
  const Case cases[] = {
      {10, 3, 4, 8}, {-10, 3, 4, -8}, {10, -3, 4, -8}, {-10, -3, -4, -8}, {5, 1, 2, 3}, {-5, 1, 2, -3},
      {7, 1, 3, 2}, {96, 72, 96, 72}, {1000000, 1000000, 1000000, 1000000}, {10, 3, 0, -1},
      {INT32_MAX, 2, 1, -1}, {INT32_MAX, 2, 2, INT32_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << "*" << c.b << "/" << c.c);
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result);
  }
}

}  // namespace
