// Currency: exact fixed-point arithmetic, rounding, and its text forms.
#include "core/Currency.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class CurrencyTest : public ::testing::Test {
protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
};

Currency Raw(Int64 v) { return Currency::FromRaw(v); }

TEST_F(CurrencyTest, ConstructionAndConversion) {
  EXPECT_EQ(Currency(5).Value, 50000);
  EXPECT_EQ(Currency(-3).Value, -30000);
  EXPECT_EQ(Currency(Int64(922337203685477)).Value, 9223372036854770000LL);
  EXPECT_THROW(Currency(Int64(922337203685478)), EOverflow);
  EXPECT_EQ(Currency().Value, 0);
  EXPECT_EQ(Raw(12345).ToDouble(), 1.2345);
  EXPECT_EQ(Raw(-5).ToDouble(), -0.0005);
  Currency c = 7;  // whole units from an int
  EXPECT_EQ(c, Raw(70000));
  static_assert(!std::is_convertible_v<double, Currency>, "a double must not truncate into units");
}

TEST_F(CurrencyTest, FromDoubleRoundsHalfToEvenAtTheFourthDecimal) {
  struct Case { double value; Int64 raw; };
  const Case cases[] = {
      {1.5, 15000}, {0.1, 1000}, {-0.1, -1000}, {1234.5678, 12345678},
      {0.03125, 312},    // exactly 312.5 ten-thousandths: to the even 312
      {0.09375, 938},    // exactly 937.5: to the even 938
      {-0.03125, -312},
      {0.00005, 1},      // the double is a little above the half
      {0.00004999, 0},
      {922337203685477.5, 9223372036854775000LL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Currency::FromDouble(c.value).Value, c.raw);
  }
  EXPECT_THROW(Currency::FromDouble(1e15), EOverflow);
  EXPECT_THROW(Currency::FromDouble(-1e15), EOverflow);
  EXPECT_THROW(Currency::FromDouble(std::nan("")), EOverflow);
  EXPECT_THROW(Currency::FromDouble(std::numeric_limits<double>::infinity()), EOverflow);
}

TEST_F(CurrencyTest, SumsStayExact) {
  Currency sum;
  for (int i = 0; i < 10; ++i) sum += Currency::FromDouble(0.1);
  EXPECT_EQ(sum, Currency(1));
  double dsum = 0;
  for (int i = 0; i < 10; ++i) dsum += 0.1;
  EXPECT_NE(dsum, 1.0) << "the reason money is not kept in doubles";
  Currency a = Raw(123456789012345678LL), b = Raw(1);
  EXPECT_EQ((a + b).Value, 123456789012345679LL);
  EXPECT_EQ((a - b - b).Value, 123456789012345676LL);
  EXPECT_EQ((-a).Value, -123456789012345678LL);
}

TEST_F(CurrencyTest, MultiplicationAndDivisionRoundHalfToEven) {
  struct Case { Int64 a, b; char op; Int64 result; };
  const Case cases[] = {
      {15000, 15000, '*', 22500},          // 1.5 * 1.5 = 2.25
      {1, 5000, '*', 0},                   // 0.0001 * 0.5 = 0.00005 -> even 0
      {3, 5000, '*', 2},                   // 0.00015 -> 0.0002
      {5, 5000, '*', 2},                   // 0.00025 -> 0.0002
      {-3, 5000, '*', -2},
      {12345678, 10000, '*', 12345678},
      {922337203685477LL, 100000, '*', 9223372036854770LL},  // ten times 92233720368.5477
      {10000, 30000, '/', 3333},           // 1/3
      {20000, 30000, '/', 6667},           // 2/3
      {1, 20000, '/', 0},                  // 0.0001 / 2 -> even 0
      {3, 20000, '/', 2},                  // 0.00015 -> 0.0002
      {-10000, 30000, '/', -3333},
      {10000, -80000, '/', -1250},
      {70000, 20000, '/', 35000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << c.op << c.b);
    Currency r = c.op == '*' ? Raw(c.a) * Raw(c.b) : Raw(c.a) / Raw(c.b);
    EXPECT_EQ(r.Value, c.result);
  }
  Currency c = Currency(10);
  c *= Currency::FromDouble(0.5);
  c /= 2;
  EXPECT_EQ(c, Currency::FromDouble(2.5));
  EXPECT_EQ(Currency(3) * 2, Currency(6)) << "an int factor means whole units";
}

TEST_F(CurrencyTest, OverflowAndDivisionByZeroRaise) {
  Currency max = Raw(INT64_MAX), min = Raw(INT64_MIN);
  EXPECT_THROW(max + Raw(1), EOverflow);
  EXPECT_THROW(min - Raw(1), EOverflow);
  EXPECT_THROW(-min, EOverflow);
  EXPECT_THROW(max * Currency(2), EOverflow);
  EXPECT_THROW(Currency(1) / Currency(), EZeroDivide);
  EXPECT_THROW(max / Raw(1), EOverflow);
  try {
    (void)(max + Raw(1));
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Floating point overflow");
  }
}

TEST_F(CurrencyTest, Comparisons) {
  EXPECT_LT(Currency(1), Raw(10001));
  EXPECT_GT(Raw(-1), Currency(-1));
  EXPECT_EQ(Raw(20000), Currency(2));
  EXPECT_NE(Raw(20001), Currency(2));
  EXPECT_TRUE(Currency(0) <= Raw(0));
  EXPECT_TRUE(Raw(5) > 0);
}

TEST_F(CurrencyTest, StrToCurrReadsExactly) {
  struct Case { const char* text; Int64 raw; };
  const Case cases[] = {
      {"1.5", 15000}, {" 2.5 ", 25000}, {"-0.0001", -1}, {"1e3", 10000000}, {"12.5e-1", 12500},
      {"1.00005", 10000},   // exact half: to the even 1.0000
      {"1.00015", 10002},   // exact half: to the even 1.0002
      {"1.000051", 10001},
      {"1.00004999999999999999", 10000},
      {"-1.00005", -10000},
      {"0.00005", 0},
      {"0.000050000001", 1},
      {"0.00000001", 0},
      {"12345678901234.5678", 123456789012345678LL},
      {"922337203685477.5807", INT64_MAX},
      {"-922337203685477.5808", INT64_MIN},
      {"000000000000000000000001.5", 15000},
      {"0", 0}, {"-0", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StrToCurr(c.text).Value, c.raw);
  }
  const char* bad[] = {"", "abc", "1,000", "922337203685477.5808", "1e20", "1.2.3", "¥5"};
  for (const char* s : bad) {
    SCOPED_TRACE(s);
    Currency v = Currency(9);
    EXPECT_FALSE(TryStrToCurr(s, v));
    EXPECT_EQ(v, Currency(9));
    try {
      StrToCurr(s);
      ADD_FAILURE() << "accepted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(s) + "' 不是有效的数值");
    }
  }
  EXPECT_EQ(StrToCurrDef("x", Currency(3)), Currency(3));
}

TEST_F(CurrencyTest, CurrencyToText) {
  struct Case { Int64 raw; const char* text; };
  const Case general[] = {
      {12345, "1.2345"}, {-5, "-0.0005"}, {1000000, "100"}, {0, "0"}, {15000, "1.5"},
      {INT64_MAX, "922337203685477.5807"}, {INT64_MIN, "-922337203685477.5808"},
  };
  for (const Case& c : general) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CurrToStr(Raw(c.raw)), c.text);
    EXPECT_EQ(StrToCurr(CurrToStr(Raw(c.raw))).Value, c.raw) << "round trip";
  }
  EXPECT_EQ(CurrToStrF(Raw(12345), ffFixed, 2), "1.23");
  EXPECT_EQ(CurrToStrF(Raw(12355), ffFixed, 3), "1.236");  // the exact 1.2355, half away from zero
  EXPECT_EQ(CurrToStrF(Raw(-12355), ffFixed, 3), "-1.236");
  EXPECT_EQ(CurrToStrF(Raw(12345678900), ffNumber, 2), "1,234,567.89");
  EXPECT_EQ(CurrToStrF(Raw(-12345000), ffCurrency, 2), "¥-1,234.50");
  EXPECT_EQ(CurrToStrF(Raw(INT64_MAX), ffFixed, 4), "922337203685477.5807");
  EXPECT_EQ(FormatCurr("#,##0.00", Raw(12345671250)), "1,234,567.13");
  EXPECT_EQ(FormatCurr("#,##0.00", Raw(12345671150)), "1,234,567.12");
  EXPECT_EQ(FormatCurr("0.00;(0.00);\"-\"", Raw(-40)), "-") << "rounds to zero: the zero section";
  EXPECT_EQ(FormatCurr("0.0000", Raw(INT64_MIN)), "-922337203685477.5808");
}

}  // namespace
