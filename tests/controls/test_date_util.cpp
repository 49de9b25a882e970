// Date arithmetic, the positional and free parsing of typed dates with the century window,
// the default formats and masks, and the string helpers.
#include "DateTestUtil.h"

#include "controls/MaxMin.h"
#include "controls/RXConst.h"
#include "controls/rxStrUtils.h"
#include "core/Exceptions.h"
#include "gui/Screen.h"

#include <gtest/gtest.h>

using namespace datetest;

TEST(DateMaths, ValidityLeapYearsAndTheCenturyWindow) {
  TDateScope scope;
  struct {
    int Y, M, D;
    bool Valid;
  } cases[] = {{0, 1, 1, false},      {10000, 1, 1, false}, {1, 1, 1, true},      {9999, 12, 31, true},
               {1900, 2, 29, false},  {2000, 2, 29, true},  {2024, 2, 29, true},  {2023, 2, 29, false},
               {2026, 4, 31, false},  {2026, 13, 1, false}, {2026, 0, 1, false},  {2026, 1, 0, false},
               {-1, 3, 15, false},    {2026, -1, 15, false}};
  for (auto& c : cases) EXPECT_EQ(ValidDate(Word(c.Y), Word(c.M), Word(c.D)), c.Valid) << c.Y << "-" << c.M << "-" << c.D;
  EXPECT_EQ(dateutil::MonthDays(2024, 2), 29);
  EXPECT_EQ(dateutil::MonthDays(2100, 2), 28);
  EXPECT_TRUE(ValidDateValue(Ymd(2026, 3, 15) + 0.75));
  EXPECT_FALSE(ValidDateValue(-700000.0)) << "before year 1";
  EXPECT_FALSE(ValidDateValue(3000000.0)) << "after year 9999";
  struct {
    int In, Out;
  } years[] = {{0, 2000}, {65, 2065}, {66, 1966}, {99, 1999}, {100, 100}, {2026, 2026}, {-1, -1}};
  for (auto& y : years) EXPECT_EQ(ExpandYear(y.In), y.Out) << y.In;
}

TEST(DateMaths, OrderOfAFormat) {
  struct {
    const char* Format;
    TDateFieldOrder Order;
  } cases[] = {{"yyyy/mm/dd", dfoYMD}, {"dd.mm.yy", dfoDMY}, {"M/d/yyyy", dfoMDY}, {"gg ee/mm/dd", dfoYMD},
               {"", dfoDMY}, {"''x''", dfoDMY}};
  for (auto& c : cases) EXPECT_EQ(DateOrderOf(c.Format), c.Order) << c.Format;
}

// One row: the locale, the format handed to the parser, the text, and the date (0 = fails).
struct TParseCase {
  TLocale Locale;
  const char* Format;
  const char* Text;
  TDateTime Expect;
};

TEST(DateParsing, ByPositionThenByTheFreeScan) {
  const TParseCase cases[] = {
      {kYMD, "YYYY/MM/DD", "2024/02/29", Ymd(2024, 2, 29)},
      {kYMD, "YYYY/MM/DD", "2023/02/29", 0},
      // The year part collects "24/2", no number; the free scan reads 24/2/29.
      {kYMD, "YYYY/MM/DD", "24/2/29", Ymd(2024, 2, 29)},
      {kYMD, "YYYY/MM/DD", "2024/2/", 0},
      {kYMD, "YYYY/MM/DD", "    /  /  ", 0},
      // A blank year is no year: it must not become 1999.
      {kYMD, "YYYY/MM/DD", "    /03/15", 0},
      {kDMY, "DD/MM/YYYY", "3/7", Ymd(2026, 7, 3)},
      {kDMY, "DD/MM/YYYY", "31/12/65", Ymd(2065, 12, 31)},
      {kDMY, "DD/MM/YY", "31/12/66", Ymd(1966, 12, 31)},
      {kMDY, "MM/DD/YYYY", "7/3", Ymd(2026, 7, 3)},
      // Longer than the format: only the free scan reads it.
      {kDMY, "DD/MM/YY", "01/02/2024 ", Ymd(2024, 2, 1)},
      {kDMY, "DD/MM/YY", "01/02/2024x", 0},
      // Month names only where the format has MMM.
      {kDMY, "DD-MMM-YYYY", "05-Mar-2024", Ymd(2024, 3, 5)},
      {kDMY, "DD-MMM-YYYY", "05-mar-2024", Ymd(2024, 3, 5)},
      {kDMY, "DD/MM/YYYY", "05/Ma/2024", 0},
  };
  for (auto& c : cases) {
    TDateScope scope(c.Locale);
    TDateTime d = -1;
    bool ok = TryTextToDate(c.Format, c.Text, d);
    EXPECT_EQ(ok, c.Expect != 0) << c.Format << " " << c.Text;
    if (ok && c.Expect != 0) EXPECT_EQ(d, c.Expect) << c.Format << " " << c.Text;
  }
}

TEST(DateParsing, EmptyTextErrorsAndDefaults) {
  TDateScope scope(kYMD);
  TDateTime d = -1;
  EXPECT_TRUE(TryTextToDate("YYYY/MM/DD", "", d));
  EXPECT_EQ(d, NullDate);
  try {
    TextToDateByFormat("YYYY/MM/DD", "2023/02/29");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(String(e.Message()), "''2023/02/29'' is not a valid date");
  }
  EXPECT_EQ(TextToDateByFormatDef("YYYY/MM/DD", "x", kNow), Ymd(2026, 3, 15)) << "the default as whole days";
  EXPECT_EQ(TextToDateByFormat("YYYY/MM/DD", "2026/03/15"), Ymd(2026, 3, 15));
}

TEST(DateParsing, DayNamesAfterTheDateOnAFarEastLocale) {
  TDateScope scope(kYMD);
  FormatSettings().ShortDateFormat = "yyyy/mm/dd dddd";
  FormatSettings().ShortTimeFormat = "tt h:mm";
  int pos = 1, y, m, d;
  EXPECT_TRUE(ScanDateText("2024/3/5 星期二", "YYYY/MM/DD", pos, y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240305);
  pos = 1;
  EXPECT_FALSE(ScanDateText("2024/3/5 星期二 上午", "YYYY/MM/DD", pos, y, m, d)) << "stops at the designator";
}

TEST(DateFormats, DefaultFormatsAndMasksFollowTheLocaleOrder) {
  struct {
    TLocale Locale;
    const char* Four;
    const char* Two;
    const char* Mask4;
  } cases[] = {{kPlatform, "YYYY/MM/DD", "YY/MM/DD", "!9999/99/99;1; "},
               {kDMY, "DD/MM/YYYY", "DD/MM/YY", "!99/99/9999;1; "},
               {kMDY, "MM/DD/YYYY", "MM/DD/YY", "!99/99/9999;1; "}};
  for (auto& c : cases) {
    TDateScope scope(c.Locale);
    EXPECT_EQ(DefaultDateFormat(true), c.Four);
    EXPECT_EQ(DefaultDateFormat(false), c.Two);
    EXPECT_EQ(DefaultDateMask(' ', true), c.Mask4);
    EXPECT_EQ(DefaultDateMask('_', false), "!99/99/99;1;_");
  }
  TDateScope scope;
  EXPECT_EQ(FormatDateTime(DefaultDateFormat(true), Ymd(2024, 2, 29)), "2024-02-29") << "/ is the locale's separator";
  EXPECT_TRUE(FourDigitYear) << "the platform's format has four-digit years";
}

TEST(StringHelpers, CharsReplaceRepeatAndMaxMin) {
  EXPECT_TRUE(AllCharsIn("", "abc"));
  EXPECT_TRUE(AllCharsIn("  /- ", " /-"));
  EXPECT_FALSE(AllCharsIn(" 1 ", " "));
  EXPECT_TRUE(AllCharsIn("年年", "年"));
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa") << "replacements are not searched again";
  EXPECT_EQ(ReplaceAll("a/b/c", "/", ""), "abc");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(RepeatChar('x', 3), "xxx");
  EXPECT_EQ(RepeatChar('x', 0), "");
  EXPECT_EQ(RepeatChar('x', -2), "");
  EXPECT_EQ(Max(-3, 2), 2);
  EXPECT_EQ(Min(-3, 2), -3);
}

TEST(RxCursors, HandAndDragCursorsAreInstalled) {
  InstallRxCursors();
  EXPECT_NE(Screen->Cursors(crHand), nullptr);
  EXPECT_NE(Screen->Cursors(crDragHand), nullptr);
  EXPECT_NE(Screen->Cursors(crHand), Screen->Cursors(crDragHand));
}
