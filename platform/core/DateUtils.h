#pragma once
// Calendar arithmetic, the clock, and dates and times to text and back.
// Declares TClockOverride.
#include "core/FormatSettings.h"

#include <array>
#include <functional>
#include <string_view>

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
constexpr int DateDelta = 693594;  // days from 0001-01-01 to 1899-12-30

using TDayTable = std::array<Word, 13>;  // index 1..12
extern const TDayTable MonthDays[2];     // [IsLeapYear][month]

bool IsLeapYear(Word year);
int DaysInAMonth(Word year, Word month);
int DaysInMonth(int year, int month);
int DaysInMonth(TDateTime dt);

// Year 1..9999; failure text "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& dt);
void DecodeDate(TDateTime dt, Word& year, Word& month, Word& day);
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& t);
void DecodeTime(TDateTime dt, Word& hour, Word& min, Word& sec, Word& msec);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec);
bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec,
                       TDateTime& dt);
void DecodeDateTime(TDateTime dt, Word& year, Word& month, Word& day, Word& hour, Word& min,
                    Word& sec, Word& msec);
// A date and a time of day as one value; before 1899-12-30 the time counts away from zero.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

int DayOfWeek(TDateTime dt);  // 1 Sunday ... 7 Saturday
TDateTime DateOf(TDateTime dt);
TDateTime TimeOf(TDateTime dt);
Word YearOf(TDateTime dt);
Word MonthOf(TDateTime dt);
Word DayOf(TDateTime dt);
Word HourOf(TDateTime dt);
Word MinuteOf(TDateTime dt);
Word SecondOf(TDateTime dt);
Word MilliSecondOf(TDateTime dt);
TDateTime IncMonth(TDateTime dt, int months = 1);  // the day is clamped to the new month's last
TDateTime IncYear(TDateTime dt, int years = 1);
TDateTime IncDay(TDateTime dt, int days = 1);
int DaysBetween(TDateTime a, TDateTime b);  // whole days apart, never negative
TDateTime StartOfTheMonth(TDateTime dt);
TDateTime EndOfTheMonth(TDateTime dt);  // the last day, 23:59:59.999

// The clock behind Now, Date, Time and GetTickCount. An empty function restores the system's
// local time; with a clock set, GetTickCount counts the clock's milliseconds.
using TClockFunc = std::function<TDateTime()>;
void SetClock(TClockFunc clock);
TDateTime Now();
TDateTime Date();
TDateTime Time();
Cardinal GetTickCount();

// Sets the clock for a scope and restores the system's afterwards.
class TClockOverride {
public:
  explicit TClockOverride(TClockFunc clock) { SetClock(std::move(clock)); }
  explicit TClockOverride(TDateTime fixed) { SetClock([fixed] { return fixed; }); }
  ~TClockOverride() { SetClock(nullptr); }
  TClockOverride(const TClockOverride&) = delete;
  TClockOverride& operator=(const TClockOverride&) = delete;
};

// d dd ddd dddd ddddd dddddd, m mm mmm mmmm (after h: minutes), yy yyyy, h hh n nn s ss
// z zzz, t tt, am/pm a/p ampm, c, g e, / and : as the separators, quoted text. Empty = "c".
String FormatDateTime(std::string_view fmt, TDateTime dt);
String FormatDateTime(std::string_view fmt, TDateTime dt, const TFormatSettings& fs);
String DateToStr(TDateTime dt);
String TimeToStr(TDateTime dt);
String DateTimeToStr(TDateTime dt);  // no time part at midnight

// Fields in the order of ShortDateFormat separated by DateSeparator; a two-digit year falls in
// the century window, a missing year is this year.
TDateTime StrToDate(std::string_view s);
TDateTime StrToDateDef(std::string_view s, TDateTime def);
bool TryStrToDate(std::string_view s, TDateTime& dt);
bool TryStrToDate(std::string_view s, TDateTime& dt, const TFormatSettings& fs);
TDateTime StrToTime(std::string_view s);
TDateTime StrToTimeDef(std::string_view s, TDateTime def);
bool TryStrToTime(std::string_view s, TDateTime& dt);
bool TryStrToTime(std::string_view s, TDateTime& dt, const TFormatSettings& fs);
TDateTime StrToDateTime(std::string_view s);
TDateTime StrToDateTimeDef(std::string_view s, TDateTime def);
bool TryStrToDateTime(std::string_view s, TDateTime& dt);
bool TryStrToDateTime(std::string_view s, TDateTime& dt, const TFormatSettings& fs);
