// TDateTime: calendar arithmetic, the clock, and dates and times as text.
#include "CoreTestUtil.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Fixes "now" at 2024-03-08 14:05:09.042 and the default settings.
class DateTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetFormatSettings();
    SetClock([this] { return FNow; });
  }
  void TearDown() override {
    SetClock(nullptr);
    ResetFormatSettings();
  }
  TDateTime FNow = EncodeDateTime(2024, 3, 8, 14, 5, 9, 42);
};

struct Ymd { Word y, m, d; };

Ymd DecodeYmd(TDateTime dt) {
  Ymd r{};
  DecodeDate(dt, r.y, r.m, r.d);
  return r;
}

std::string Iso(TDateTime dt) { return FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", dt); }

// ---------------------------------------------------------------- encode / decode

TEST_F(DateTest, EncodeDateDayNumbers) {
  struct Case { Word y, m, d; double value; };
  const Case cases[] = {
      {1899, 12, 30, 0}, {1899, 12, 31, 1}, {1900, 1, 1, 2}, {1899, 12, 29, -1}, {1970, 1, 1, 25569},
      {2000, 2, 29, 36585}, {2024, 3, 8, 45359}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.value);
    Ymd r = DecodeYmd(c.value);
    EXPECT_EQ(r.y, c.y);
    EXPECT_EQ(r.m, c.m);
    EXPECT_EQ(r.d, c.d);
  }
}

TEST_F(DateTest, EncodeDateRejectsImpossibleDates) {
  struct Case { Word y, m, d; };
  const Case bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 13, 1}, {2024, 0, 1}, {2024, 1, 0},
                      {2024, 4, 31}, {0, 1, 1}, {10000, 1, 1}, {2024, 1, 32}};
  for (const Case& c : bad) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
    TDateTime dt = 123;
    EXPECT_FALSE(TryEncodeDate(c.y, c.m, c.d, dt));
    EXPECT_EQ(dt, 123);
    EXPECT_EQ(ConvertMessage([&] { EncodeDate(c.y, c.m, c.d); }), "Invalid argument to date encode");
  }
  EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
}

TEST_F(DateTest, EveryDayRoundTripsAndWeekdaysCycle) {
  int weekday = DayOfWeek(-693593.0);
  for (int day = -693593; day <= 2958465; ++day) {
    Ymd r = DecodeYmd(day);
    TDateTime back;
    ASSERT_TRUE(TryEncodeDate(r.y, r.m, r.d, back)) << day;
    ASSERT_EQ(back, day);
    ASSERT_EQ(DayOfWeek(day), weekday) << day;
    weekday = weekday % 7 + 1;
  }
}

TEST_F(DateTest, EncodeAndDecodeTime) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0);
  struct Case { Word h, n, s, ms; };
  const Case times[] = {{0, 0, 0, 1}, {23, 59, 59, 999}, {14, 5, 9, 42}, {12, 30, 0, 500}};
  for (const Case& c : times) {
    Word h, n, s, ms;
    DecodeTime(45359 + EncodeTime(c.h, c.n, c.s, c.ms), h, n, s, ms);
    EXPECT_EQ(h, c.h);
    EXPECT_EQ(n, c.n);
    EXPECT_EQ(s, c.s);
    EXPECT_EQ(ms, c.ms);
  }
  const Case bad[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const Case& c : bad) {
    TDateTime t = 7;
    EXPECT_FALSE(TryEncodeTime(c.h, c.n, c.s, c.ms, t));
    EXPECT_EQ(t, 7);
    EXPECT_EQ(ConvertMessage([&] { EncodeTime(c.h, c.n, c.s, c.ms); }), "Invalid argument to time encode");
  }
}

TEST_F(DateTest, TimeRoundingUpToMidnightMovesToTheNextDay) {
  TDateTime almost = EncodeDate(2024, 3, 8) + (MSecsPerDay - 0.2) / MSecsPerDay;
  Word y, m, d, h, n, s, ms;
  DecodeDateTime(almost, y, m, d, h, n, s, ms);
  EXPECT_EQ(Iso(almost), "2024-03-09 00:00:00.000");
  EXPECT_EQ(d, 9);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(DateOf(almost), EncodeDate(2024, 3, 9));
}

TEST_F(DateTest, DatesBefore1899CountTheTimeAwayFromZero) {
  TDateTime dt = EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
  EXPECT_EQ(dt, -1.25);
  EXPECT_EQ(Iso(-1.25), "1899-12-29 06:00:00.000");
  EXPECT_EQ(Iso(-0.25), "1899-12-30 06:00:00.000");
  EXPECT_EQ(DateOf(-1.25), -1);
  EXPECT_EQ(TimeOf(-1.25), 0.25);
  EXPECT_EQ(IncDay(-1.25, 2), 1.25) << "1899-12-31 06:00";
  EXPECT_EQ(IncDay(1.25, -2), -1.25);
  EXPECT_EQ(ComposeDateTime(-2, 0.5), -2.5);
  EXPECT_EQ(ComposeDateTime(3, 0.5), 3.5);
}

TEST_F(DateTest, CalendarHelpers) {
  struct Leap { Word year; bool leap; };
  for (Leap c : {Leap{2000, true}, Leap{1900, false}, Leap{2024, true}, Leap{2023, false}, Leap{2100, false}})
    EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
  const int days2023[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) {
    EXPECT_EQ(DaysInMonth(2023, m), days2023[m - 1]) << m;
    EXPECT_EQ(MonthDays[0][m], days2023[m - 1]);
  }
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(MonthDays[IsLeapYear(2024)][2], 29);
  EXPECT_EQ(DaysInMonth(EncodeDate(2024, 2, 10)), 29);
  EXPECT_EQ(DaysInMonth(2024, 13), 0);

  EXPECT_EQ(DayOfWeek(0), 7) << "1899-12-30 was a Saturday";
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 8)), 6);
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 10) + 0.9), 1);
  EXPECT_EQ(DayOfWeek(-1.5), 6) << "1899-12-29, a Friday";

  TDateTime dt = EncodeDateTime(2024, 3, 8, 14, 5, 9, 42);
  EXPECT_EQ(YearOf(dt), 2024);
  EXPECT_EQ(MonthOf(dt), 3);
  EXPECT_EQ(DayOf(dt), 8);
  EXPECT_EQ(HourOf(dt), 14);
  EXPECT_EQ(MinuteOf(dt), 5);
  EXPECT_EQ(SecondOf(dt), 9);
  EXPECT_EQ(MilliSecondOf(dt), 42);
  EXPECT_EQ(Iso(StartOfTheMonth(dt)), "2024-03-01 00:00:00.000");
  EXPECT_EQ(Iso(EndOfTheMonth(dt)), "2024-03-31 23:59:59.999");
  EXPECT_EQ(Iso(EndOfTheMonth(EncodeDate(2023, 2, 3))), "2023-02-28 23:59:59.999");
}

TEST_F(DateTest, IncMonthClampsTheDayAndKeepsTheTime) {
  struct Case { const char* from; int months; const char* to; };
  const Case cases[] = {
      {"2024-01-31", 1, "2024-02-29"}, {"2023-01-31", 1, "2023-02-28"}, {"2024-03-31", -1, "2024-02-29"},
      {"2024-12-15", 1, "2025-01-15"}, {"2024-01-15", -1, "2023-12-15"}, {"2024-05-31", -13, "2023-04-30"},
      {"2024-08-31", 6, "2025-02-28"}, {"2024-02-29", 12, "2025-02-28"}, {"2024-03-08", 0, "2024-03-08"},
      {"2024-03-08", 120, "2034-03-08"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " " << c.months);
    EXPECT_EQ(DateToStr(IncMonth(StrToDate(c.from), c.months)), c.to);
  }
  TDateTime dt = EncodeDateTime(2024, 1, 31, 10, 30, 0, 0);
  EXPECT_EQ(Iso(IncMonth(dt)), "2024-02-29 10:30:00.000");
  EXPECT_EQ(Iso(IncYear(EncodeDateTime(2024, 2, 29, 8, 0, 0, 0))), "2025-02-28 08:00:00.000");
  EXPECT_EQ(Iso(IncDay(dt, 1)), "2024-02-01 10:30:00.000");
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(1, 1, 1), -1), EConvertError);
}

TEST_F(DateTest, DaysBetweenCountsWholeDays) {
  TDateTime a = EncodeDateTime(2024, 3, 8, 12, 0, 0, 0);
  EXPECT_EQ(DaysBetween(a, EncodeDateTime(2024, 3, 10, 11, 59, 0, 0)), 1);
  EXPECT_EQ(DaysBetween(EncodeDateTime(2024, 3, 10, 11, 59, 0, 0), a), 1);
  EXPECT_EQ(DaysBetween(a, EncodeDateTime(2024, 3, 10, 12, 0, 0, 0)), 2);
  EXPECT_EQ(DaysBetween(a, a), 0);
  // 1899-12-29 18:00 to 1899-12-30 06:00 is half a day, though the values lie 2 apart.
  EXPECT_EQ(DaysBetween(-1.75, 0.25), 0);
  EXPECT_EQ(DaysBetween(EncodeDate(2023, 1, 1), EncodeDate(2024, 1, 1)), 365);
}

// ---------------------------------------------------------------- clock

TEST_F(DateTest, TheClockCanBeFixed) {
  EXPECT_EQ(Now(), FNow);
  EXPECT_EQ(Date(), EncodeDate(2024, 3, 8));
  EXPECT_EQ(Time(), EncodeTime(14, 5, 9, 42));
  Cardinal t0 = GetTickCount();
  FNow = IncDay(FNow, 0) + EncodeTime(0, 0, 1, 500);
  EXPECT_EQ(GetTickCount() - t0, 1500u) << "ticks follow the clock";
}

TEST_F(DateTest, TheSystemClockIsTheDefault) {
  SetClock(nullptr);
  TDateTime before = Now();
  EXPECT_GT(before, EncodeDate(2020, 1, 1));
  EXPECT_LT(before, EncodeDate(2200, 1, 1));
  EXPECT_EQ(Date(), DateOf(Now())) << "unless the test ran over midnight";
  Cardinal t0 = GetTickCount(), t1 = GetTickCount();
  EXPECT_LE(t1 - t0, 1000u);
  {
    TClockOverride fixed(EncodeDate(2001, 2, 3));
    EXPECT_EQ(Now(), EncodeDate(2001, 2, 3));
  }
  EXPECT_NE(Now(), EncodeDate(2001, 2, 3)) << "the override ends with its scope";
}

// ---------------------------------------------------------------- FormatDateTime

TEST_F(DateTest, FormatDateTimeSpecifiers) {
  TDateTime dt = EncodeDateTime(2024, 3, 8, 14, 5, 9, 42);
  struct Case { const char* fmt; const char* text; };
  const Case cases[] = {
      {"yyyy-mm-dd", "2024-03-08"},
      {"YYYY-MM-DD", "2024-03-08"},
      {"yy/m/d", "24-3-8"},
      {"y", "24"},
      {"d dd ddd dddd", "8 08 星期五 星期五"},
      {"m mm mmm mmmm", "3 03 三月 三月"},
      {"ddddd", "2024-03-08"},
      {"dddddd", "2024年3月8日"},
      {"hh:nn:ss.zzz", "14:05:09.042"},
      {"h:n:s.z", "14:5:9.42"},
      {"h:m:s", "14:5:9"},
      {"hh:mm", "14:05"},
      {"hh 'x' mm", "14 x 05"},
      {"yyyy-mm hh:mm", "2024-03 14:05"},
      {"mm hh", "03 14"},
      {"h:mm am/pm", "2:05 pm"},
      {"h:mm AM/PM", "2:05 PM"},
      {"h:mm a/p", "2:05 p"},
      {"hh:mm A/P", "02:05 P"},
      {"h ampm", "2 下午"},
      {"ampm h", "下午 2"},
      {"h 'am/pm'", "14 am/pm"},
      {"t", "14:05"},
      {"tt", "14:05:09"},
      {"c", "2024-03-08 14:05:09"},
      {"", "2024-03-08 14:05:09"},
      {"'yyyy'yyyy", "yyyy2024"},
      {"\"d\"d", "d8"},
      {"yyyy年m月d日", "2024年3月8日"},
      {"gg e", "公元 2024"},
      {"aaaa", "星期五"},
      {"zzz", "042"},
      {"[yyyy]", "[2024]"},
      {"q", "q"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fmt);
    EXPECT_EQ(FormatDateTime(c.fmt, dt), c.text);
  }
}

TEST_F(DateTest, FormatDateTimeTwelveHourClock) {
  struct Case { Word h, n; const char* text; };
  const Case cases[] = {{0, 30, "12:30 am"}, {11, 59, "11:59 am"}, {12, 0, "12:00 pm"}, {23, 1, "11:01 pm"}};
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime("h:nn am/pm", EncodeTime(c.h, c.n, 0, 0)), c.text);
}

TEST_F(DateTest, DateTimeToStrLeavesOutMidnight) {
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 8)), "2024-03-08");
  EXPECT_EQ(DateTimeToStr(EncodeDateTime(2024, 3, 8, 0, 0, 1, 0)), "2024-03-08 0:00:01");
  EXPECT_EQ(DateToStr(EncodeDateTime(2024, 3, 8, 23, 0, 0, 0)), "2024-03-08");
  EXPECT_EQ(TimeToStr(EncodeTime(9, 5, 0, 0)), "9:05:00");
  EXPECT_EQ(DateTimeToStr(0), "1899-12-30");
}

TEST_F(DateTest, FormatDateTimeFollowsTheSettings) {
  TFormatSettings& fs = FormatSettings();
  fs.ShortDateFormat = "dd/mm/yyyy";
  fs.DateSeparator = '.';
  fs.TimeSeparator = '-';
  fs.LongTimeFormat = "hh:nn";
  TDateTime dt = EncodeDateTime(2024, 3, 8, 14, 5, 0, 0);
  EXPECT_EQ(DateToStr(dt), "08.03.2024");
  EXPECT_EQ(DateTimeToStr(dt), "08.03.2024 14-05");
  // A format that names itself does not recurse for ever.
  fs.ShortDateFormat = "ddddd|";
  EXPECT_EQ(FormatDateTime("ddddd", dt), "|");
}

// ---------------------------------------------------------------- parsing

TEST_F(DateTest, StrToDateInTheShortDateOrder) {
  struct Case { const char* format; char sep; const char* text; Word y, m, d; };
  const Case cases[] = {
      {"yyyy-mm-dd", '-', "2024-03-08", 2024, 3, 8},
      {"yyyy-mm-dd", '-', " 2024-3-8", 2024, 3, 8},
      {"yyyy-mm-dd", '-', "2024 - 03 - 08 ", 2024, 3, 8},
      {"yyyy-mm-dd", '-', "24-03-08", 2024, 3, 8},   // two digits: the century window
      {"yyyy-mm-dd", '-', "80-01-01", 1980, 1, 1},
      {"yyyy-mm-dd", '-', "73-12-31", 2073, 12, 31},
      {"yyyy-mm-dd", '-', "74-01-01", 1974, 1, 1},
      {"yyyy-mm-dd", '-', "0024-03-08", 24, 3, 8},   // four digits are taken as written
      {"yyyy-mm-dd", '-', "3-8", 2024, 3, 8},        // no year: this year
      {"dd/mm/yyyy", '/', "08/03/2024", 2024, 3, 8},
      {"dd/mm/yyyy", '/', "8/3", 2024, 3, 8},
      {"m/d/yyyy", '/', "3/8/2024", 2024, 3, 8},
      {"m/d/yy", '/', "12/31/99", 1999, 12, 31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.format << " " << c.text);
    FormatSettings().ShortDateFormat = c.format;
    FormatSettings().DateSeparator = c.sep;
    TDateTime dt = StrToDate(c.text);
    Ymd r = DecodeYmd(dt);
    EXPECT_EQ(r.y, c.y);
    EXPECT_EQ(r.m, c.m);
    EXPECT_EQ(r.d, c.d);
    EXPECT_EQ(dt, std::floor(dt)) << "a date has no time";
  }
}

TEST_F(DateTest, StrToDateRejectsWithTheTextInTheMessage) {
  const char* bad[] = {"", "2024", "2024-13-01", "2024-02-30", "2024/03/08", "2024-03-08x", "2024-03-08 12:00",
                       "abc", "2024--03", "0-01-01x", "2024-03-", "12345-01-01"};
  for (const char* s : bad) {
    SCOPED_TRACE(s);
    TDateTime dt = 5;
    EXPECT_FALSE(TryStrToDate(s, dt));
    EXPECT_EQ(dt, 5);
    EXPECT_EQ(ConvertMessage([&] { StrToDate(s); }), "'" + std::string(s) + "' 不是有效的日期");
    EXPECT_EQ(StrToDateDef(s, 7), 7);
  }
}

TEST_F(DateTest, StrToTime) {
  struct Case { const char* text; Word h, n, s, ms; };
  const Case cases[] = {
      {"14:05:09", 14, 5, 9, 0}, {"14:05", 14, 5, 0, 0}, {"14", 14, 0, 0, 0}, {" 9:5 ", 9, 5, 0, 0},
      {"14:05:09.042", 14, 5, 9, 42}, {"14:05:09.5", 14, 5, 9, 500}, {"14:05:09.12", 14, 5, 9, 120},
      {"23:59:59.99999", 23, 59, 59, 999}, {"2:05 PM", 14, 5, 0, 0}, {"2:05 pm", 14, 5, 0, 0},
      {"12:00 AM", 0, 0, 0, 0}, {"12:30 PM", 12, 30, 0, 0}, {"下午2:05", 14, 5, 0, 0},
      {"上午 11:00", 11, 0, 0, 0}, {"AM 1:00", 1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StrToTime(c.text), EncodeTime(c.h, c.n, c.s, c.ms));
  }
  const char* bad[] = {"", "25:00", "13:00 PM", "0:30 AM", "14:60", "14:05:", "14-05", "14:05 x", "abc",
                       "14:05:09.", "14:05:09. 5"};
  for (const char* s : bad) {
    SCOPED_TRACE(s);
    EXPECT_EQ(ConvertMessage([&] { StrToTime(s); }), "'" + std::string(s) + "' 不是有效的时间");
  }
}

TEST_F(DateTest, StrToDateTime) {
  EXPECT_EQ(StrToDateTime("2024-03-08 14:05:09"), EncodeDateTime(2024, 3, 8, 14, 5, 9, 0));
  EXPECT_EQ(StrToDateTime("2024-03-08"), EncodeDate(2024, 3, 8));
  EXPECT_EQ(StrToDateTime("2024-03-08 2:05 PM"), EncodeDateTime(2024, 3, 8, 14, 5, 0, 0));
  EXPECT_EQ(StrToDateTime("14:05"), EncodeTime(14, 5, 0, 0)) << "a time alone";
  EXPECT_EQ(StrToDateTime("1899-12-29 06:00"), -1.25);
  const char* bad[] = {"2024-03-08 xx", "2024-03-08 14:05 junk", "", "2024-02-30 10:00"};
  for (const char* s : bad) {
    SCOPED_TRACE(s);
    EXPECT_EQ(ConvertMessage([&] { StrToDateTime(s); }), "'" + std::string(s) + "' 不是有效的日期和时间");
  }
  EXPECT_EQ(StrToDateTimeDef("nope", 3), 3);
  EXPECT_EQ(StrToTimeDef("nope", 0.5), 0.5);
}

TEST_F(DateTest, TextRoundTrips) {
  // Every day of four years, and a spread of times, survive the trip through text.
  for (TDateTime d = EncodeDate(2023, 1, 1); d < EncodeDate(2027, 1, 1); d += 1) {
    ASSERT_EQ(StrToDate(DateToStr(d)), d) << DateToStr(d);
    ASSERT_EQ(StrToDate(FormatDateTime("yyyy-mm-dd", d)), d);
  }
  for (int sec = 0; sec < SecsPerDay; sec += 997) {
    TDateTime dt = EncodeDate(2024, 3, 8) + static_cast<double>(sec) / SecsPerDay;
    TDateTime back = StrToDateTime(DateTimeToStr(dt));
    ASSERT_NEAR(back, dt, 0.5 / MSecsPerDay) << DateTimeToStr(dt);
  }
  TFormatSettings& fs = FormatSettings();
  fs.ShortDateFormat = "d/m/yy";
  fs.DateSeparator = '/';
  TDateTime d = EncodeDate(2031, 11, 5);
  EXPECT_EQ(DateToStr(d), "5/11/31");
  EXPECT_EQ(StrToDate(DateToStr(d)), d);
}

}  // namespace
