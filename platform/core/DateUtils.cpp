// Calendar arithmetic, the clock, and dates and times to text and back.
#include "core/DateUtils.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/SysUtils_p.h"

#include <cmath>
#include <ctime>

using namespace sysutils_impl;

// ---------------------------------------------------------------- calendar

const TDayTable MonthDays[2] = {
    {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(Word year, Word month) {
  if (month < 1 || month > 12) return 0;
  return MonthDays[IsLeapYear(year)][month];
}

int DaysInMonth(int year, int month) {
  if (year < 0 || year > 0xFFFF) return 0;
  return DaysInAMonth(static_cast<Word>(year), static_cast<Word>(month));
}

constexpr int kDaysTo1970 = 25569;  // 1899-12-30 .. 1970-01-01

namespace sysutils_impl {
// Days before 1970-01-01 as the civil-date algorithm counts them, moved to the platform's epoch.
Int64 DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const Int64 era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = static_cast<int>(y - era * 400);
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + kDaysTo1970;
}
}  // namespace sysutils_impl

namespace {

constexpr Int64 kMinDay = -693593;  // 0001-01-01
constexpr Int64 kMaxDay = 2958465;  // 9999-12-31

// The civil date of a day number since 1899-12-30.
void CivilFromDays(Int64 day, int& y, int& m, int& d) {
  Int64 z = day - kDaysTo1970 + 719468;
  const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = static_cast<int>(z - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yoe + era * 400) + (m <= 2);
}

// A value's calendar day and its milliseconds into that day. The day is the whole part; the
// time of day is the fraction's size, so before 1899-12-30 it counts away from zero. A
// time that rounds up to 24:00 belongs to the next day.
struct TDayTime {
  Int64 Day = 0;
  int MSec = 0;
  bool Valid = false;
};

TDayTime Split(TDateTime dt) {
  TDayTime r;
  if (!std::isfinite(dt) || dt < kMinDay - 1 || dt > kMaxDay + 1) return r;
  double whole = std::trunc(dt);
  Int64 ms = std::llround(std::fabs(dt - whole) * MSecsPerDay);
  r.Day = static_cast<Int64>(whole);
  if (ms >= MSecsPerDay) { ms -= MSecsPerDay; ++r.Day; }
  r.MSec = static_cast<int>(ms);
  r.Valid = r.Day >= kMinDay && r.Day <= kMaxDay;
  return r;
}

struct TDateParts {
  Word Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0;
  int DayOfWeek = 0;  // 1 Sunday .. 7 Saturday
};

TDateParts Decode(TDateTime dt) {
  TDateParts p;
  TDayTime s = Split(dt);
  if (s.Valid) {
    int y, m, d;
    CivilFromDays(s.Day, y, m, d);
    p.Year = static_cast<Word>(y);
    p.Month = static_cast<Word>(m);
    p.Day = static_cast<Word>(d);
    p.DayOfWeek = static_cast<int>(((s.Day + DateDelta) % 7 + 7) % 7) + 1;
  }
  p.Hour = static_cast<Word>(s.MSec / 3600000);
  p.Min = static_cast<Word>(s.MSec / 60000 % 60);
  p.Sec = static_cast<Word>(s.MSec / 1000 % 60);
  p.MSec = static_cast<Word>(s.MSec % 1000);
  return p;
}

[[noreturn]] void DateEncodeError() { throw EConvertError("Invalid argument to date encode"); }
[[noreturn]] void TimeEncodeError() { throw EConvertError("Invalid argument to time encode"); }

}  // namespace

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& dt) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
    return false;
  dt = static_cast<TDateTime>(DaysFromCivil(year, month, day));
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime dt;
  if (!TryEncodeDate(year, month, day, dt)) DateEncodeError();
  return dt;
}

void DecodeDate(TDateTime dt, Word& year, Word& month, Word& day) {
  TDateParts p = Decode(dt);
  year = p.Year;
  month = p.Month;
  day = p.Day;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& t) {
  if (hour >= HoursPerDay || min >= 60 || sec >= 60 || msec >= 1000) return false;
  t = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) TimeEncodeError();
  return t;
}

void DecodeTime(TDateTime dt, Word& hour, Word& min, Word& sec, Word& msec) {
  TDateParts p = Decode(dt);
  hour = p.Hour;
  min = p.Min;
  sec = p.Sec;
  msec = p.MSec;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  return date < 0 ? date - std::fabs(time) : date + std::fabs(time);
}

bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec,
                       TDateTime& dt) {
  TDateTime d, t;
  if (!TryEncodeDate(year, month, day, d) || !TryEncodeTime(hour, min, sec, msec, t)) return false;
  dt = ComposeDateTime(d, t);
  return true;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec) {
  TDateTime d = EncodeDate(year, month, day);
  return ComposeDateTime(d, EncodeTime(hour, min, sec, msec));
}

void DecodeDateTime(TDateTime dt, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec) {
  TDateParts p = Decode(dt);
  year = p.Year;
  month = p.Month;
  day = p.Day;
  hour = p.Hour;
  min = p.Min;
  sec = p.Sec;
  msec = p.MSec;
}

int DayOfWeek(TDateTime dt) { return Decode(dt).DayOfWeek; }

TDateTime DateOf(TDateTime dt) { return static_cast<TDateTime>(Split(dt).Day); }
TDateTime TimeOf(TDateTime dt) { return static_cast<TDateTime>(Split(dt).MSec) / MSecsPerDay; }
Word YearOf(TDateTime dt) { return Decode(dt).Year; }
Word MonthOf(TDateTime dt) { return Decode(dt).Month; }
Word DayOf(TDateTime dt) { return Decode(dt).Day; }
Word HourOf(TDateTime dt) { return Decode(dt).Hour; }
Word MinuteOf(TDateTime dt) { return Decode(dt).Min; }
Word SecondOf(TDateTime dt) { return Decode(dt).Sec; }
Word MilliSecondOf(TDateTime dt) { return Decode(dt).MSec; }
int DaysInMonth(TDateTime dt) {
  TDateParts p = Decode(dt);
  return DaysInAMonth(p.Year, p.Month);
}

TDateTime IncMonth(TDateTime dt, int months) {
  TDayTime s = Split(dt);
  TDateParts p = Decode(dt);
  Int64 index = static_cast<Int64>(p.Year) * 12 + (p.Month - 1) + months;
  Int64 year = index >= 0 ? index / 12 : -1;
  if (year < 1 || year > 9999) DateEncodeError();
  Word month = static_cast<Word>(index % 12 + 1);
  Word day = p.Day;
  int last = DaysInAMonth(static_cast<Word>(year), month);
  if (day > last) day = static_cast<Word>(last);
  return ComposeDateTime(EncodeDate(static_cast<Word>(year), month, day), static_cast<TDateTime>(s.MSec) / MSecsPerDay);
}

TDateTime IncYear(TDateTime dt, int years) { return IncMonth(dt, years * 12); }

TDateTime IncDay(TDateTime dt, int days) {
  // Stepping the day number keeps the time of day on both sides of 1899-12-30.
  TDayTime s = Split(dt);
  return ComposeDateTime(static_cast<TDateTime>(s.Day + days), static_cast<TDateTime>(s.MSec) / MSecsPerDay);
}

int DaysBetween(TDateTime a, TDateTime b) {
  TDayTime x = Split(a), y = Split(b);
  Int64 ms = (x.Day - y.Day) * MSecsPerDay + (x.MSec - y.MSec);
  if (ms < 0) ms = -ms;
  return static_cast<int>(ms / MSecsPerDay);
}

TDateTime StartOfTheMonth(TDateTime dt) {
  TDateParts p = Decode(dt);
  return EncodeDate(p.Year, p.Month, 1);
}

TDateTime EndOfTheMonth(TDateTime dt) {
  TDateParts p = Decode(dt);
  return EncodeDateTime(p.Year, p.Month, static_cast<Word>(DaysInAMonth(p.Year, p.Month)), 23, 59, 59, 999);
}

// ---------------------------------------------------------------- clock

namespace {
TClockFunc& ClockSlot() {
  static TClockFunc clock;
  return clock;
}

TDateTime SystemNow() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  time_t secs = ts.tv_sec;
  localtime_r(&secs, &tm);
  TDateTime d = EncodeDate(static_cast<Word>(tm.tm_year + 1900), static_cast<Word>(tm.tm_mon + 1),
                           static_cast<Word>(tm.tm_mday));
  int sec = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // a leap second shows as :59
  return ComposeDateTime(d, EncodeTime(static_cast<Word>(tm.tm_hour), static_cast<Word>(tm.tm_min),
                                       static_cast<Word>(sec), static_cast<Word>(ts.tv_nsec / 1000000)));
}
}  // namespace

void SetClock(TClockFunc clock) { ClockSlot() = std::move(clock); }

TDateTime Now() {
  const TClockFunc& c = ClockSlot();
  return c ? c() : SystemNow();
}

TDateTime Date() { return DateOf(Now()); }
TDateTime Time() { return TimeOf(Now()); }

Cardinal GetTickCount() {
  const TClockFunc& c = ClockSlot();
  if (c) {
    TDayTime s = Split(c());
    return static_cast<Cardinal>(static_cast<std::uint64_t>(s.Day * MSecsPerDay + s.MSec));
  }
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<Cardinal>(static_cast<std::uint64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
}

// ---------------------------------------------------------------- FormatDateTime

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsNoCase(std::string_view s, std::size_t at, std::string_view word) {
  if (s.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (Upper(s[at + i]) != word[i]) return false;
  return true;
}

void AppendNumber(String& out, int v, int digits) {
  char buf[12];
  int n = 0;
  do { buf[n++] = static_cast<char>('0' + v % 10); v /= 10; } while (v > 0);
  for (int pad = digits - n; pad > 0; --pad) out += '0';
  while (n > 0) out += buf[--n];
}

// Looks ahead from `from` for an am/pm marker before the next hour: it makes the hour 12-based.
bool TwelveHourAhead(std::string_view f, std::size_t from) {
  char quote = 0;
  for (std::size_t i = from; i < f.size(); ++i) {
    char c = f[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') { quote = c; continue; }
    char u = Upper(c);
    if (u == 'H') return false;
    if (u == 'A') return StartsNoCase(f, i, "AM/PM") || StartsNoCase(f, i, "A/P") || StartsNoCase(f, i, "AMPM");
  }
  return false;
}

// Writes a date-time by a format: the format is read as a run of tokens (a letter and its
// repeats, a separator, a quoted text), each written by the step for its kind.
class TDateFormatter {
public:
  TDateFormatter(String& out, TDateTime dt, const TFormatSettings& fs) : FOut(out), FFs(fs), FP(Decode(dt)) {}

  void Append(std::string_view f, int level = 0) {
    if (level >= 2) return;  // a format that names itself stops here
    TScan s{f, level};
    while (s.At < f.size()) Token(s);
  }

private:
  // Where the reading of one format stands.
  struct TScan {
    std::string_view F;
    int Level;
    std::size_t At = 0;
    char Last = ' ';     // the last letter token: an m after an h is minutes
    bool Use12 = false;  // an am/pm marker came before
  };

  String& FOut;
  const TFormatSettings& FFs;
  TDateParts FP;

  void Token(TScan& s) {
    char starter = s.F[s.At++];
    char tok = Upper(starter);
    bool letter = tok >= 'A' && tok <= 'Z';
    if (letter) {
      if (tok == 'M' && s.Last == 'H') tok = 'N';
      s.Last = tok;
    }
    int count = 1;
    if (letter)
      while (s.At < s.F.size() && s.F[s.At] == starter) { ++count; ++s.At; }
    switch (tok) {
      case 'Y': case 'G': case 'E': case 'M': case 'D': DatePart(s, tok, count); break;
      case 'H': case 'N': case 'S': case 'Z': TimePart(s, tok, count); break;
      case 'T': Append(count == 1 ? FFs.ShortTimeFormat : FFs.LongTimeFormat, s.Level + 1); break;
      case 'C':
        Append(FFs.ShortDateFormat, s.Level + 1);
        if (FP.Hour != 0 || FP.Min != 0 || FP.Sec != 0) {
          FOut += ' ';
          Append(FFs.LongTimeFormat, s.Level + 1);
        }
        break;
      case 'A': Marker(s, starter, count); break;
      case '/':
        if (FFs.DateSeparator) FOut += FFs.DateSeparator;
        break;
      case ':':
        if (FFs.TimeSeparator) FOut += FFs.TimeSeparator;
        break;
      case '\'':
      case '"': Quoted(s, starter); break;
      default:
        // Any other letter or character is copied as it is, run and all.
        FOut.append(static_cast<std::size_t>(count), starter);
        break;
    }
  }

  // Years, eras, months and days; five or six d's are the short or long date format.
  void DatePart(TScan& s, char Tok, int Count) {
    switch (Tok) {
      case 'Y': AppendNumber(FOut, Count <= 2 ? FP.Year % 100 : FP.Year, Count <= 2 ? 2 : 4); break;
      case 'G': FOut += Count == 1 ? Copy(FFs.EraName, 1, 1) : FFs.EraName; break;
      case 'E': AppendNumber(FOut, FP.Year, Count >= 2 ? 2 : 1); break;
      case 'M':
        if (Count <= 2) AppendNumber(FOut, FP.Month, Count);
        else if (FP.Month >= 1) FOut += (Count == 3 ? FFs.ShortMonthNames : FFs.LongMonthNames)[FP.Month - 1];
        break;
      case 'D':
        if (Count <= 2) AppendNumber(FOut, FP.Day, Count);
        else if (Count <= 4) {
          if (FP.DayOfWeek >= 1) FOut += (Count == 3 ? FFs.ShortDayNames : FFs.LongDayNames)[FP.DayOfWeek - 1];
        } else {
          Append(Count == 5 ? FFs.ShortDateFormat : FFs.LongDateFormat, s.Level + 1);
        }
        break;
    }
  }

  // Hours (12-based when an am/pm marker is near), minutes, seconds and milliseconds.
  void TimePart(TScan& s, char Tok, int Count) {
    switch (Tok) {
      case 'H': {
        int h = FP.Hour;
        if (s.Use12 || TwelveHourAhead(s.F, s.At)) {
          if (h == 0) h = 12;
          else if (h > 12) h -= 12;
        }
        AppendNumber(FOut, h, Count > 2 ? 2 : Count);
        break;
      }
      case 'N': AppendNumber(FOut, FP.Min, Count > 2 ? 2 : Count); break;
      case 'S': AppendNumber(FOut, FP.Sec, Count > 2 ? 2 : Count); break;
      case 'Z': AppendNumber(FOut, FP.MSec, Count > 3 ? 3 : Count); break;
    }
  }

  // The markers that begin with an a, longest first where one begins another. An am/pm
  // marker writes its own first or second half (am/pm, a/p) or the settings' texts (ampm).
  enum TMarker { mkAmPm, mkAP, mkSettingsAmPm, mkLongDay, mkShortDay };
  struct TMarkerForm {
    const char* Text;
    TMarker Kind;
  };
  static constexpr TMarkerForm kMarkers[] = {
      {"AM/PM", mkAmPm}, {"A/P", mkAP}, {"AMPM", mkSettingsAmPm}, {"AAAA", mkLongDay}, {"AAA", mkShortDay}};

  void Marker(TScan& s, char Starter, int Count) {
    // The letters were counted as a run; look at the marker from its first letter.
    std::size_t at = s.At - static_cast<std::size_t>(Count);
    s.At = at + 1;
    for (const TMarkerForm& m : kMarkers) {
      if (!StartsNoCase(s.F, at, m.Text)) continue;
      bool pm = FP.Hour >= 12;
      switch (m.Kind) {
        case mkAmPm: FOut.append(s.F.substr(pm ? at + 3 : at, 2)); break;
        case mkAP: FOut.append(s.F.substr(pm ? at + 2 : at, 1)); break;
        case mkSettingsAmPm: FOut += pm ? FFs.TimePMString : FFs.TimeAMString; break;
        case mkLongDay:
          if (FP.DayOfWeek >= 1) FOut += FFs.LongDayNames[FP.DayOfWeek - 1];
          break;
        case mkShortDay:
          if (FP.DayOfWeek >= 1) FOut += FFs.ShortDayNames[FP.DayOfWeek - 1];
          break;
      }
      s.At = at + std::char_traits<char>::length(m.Text);
      if (m.Kind == mkAmPm || m.Kind == mkAP || m.Kind == mkSettingsAmPm) s.Use12 = true;
      return;
    }
    FOut += Starter;
  }

  // A quoted text is copied as it is; an unclosed quote runs to the end.
  void Quoted(TScan& s, char Quote) {
    std::size_t close = s.F.find(Quote, s.At);
    if (close == std::string_view::npos) close = s.F.size();
    FOut.append(s.F.substr(s.At, close - s.At));
    s.At = close < s.F.size() ? close + 1 : s.F.size();
  }
};

}  // namespace

String FormatDateTime(std::string_view fmt, TDateTime dt, const TFormatSettings& fs) {
  String out;
  out.reserve(fmt.size() + 16);
  TDateFormatter(out, dt, fs).Append(fmt.empty() ? std::string_view("c") : fmt);
  return out;
}

String FormatDateTime(std::string_view fmt, TDateTime dt) { return FormatDateTime(fmt, dt, FormatSettings()); }
String DateToStr(TDateTime dt) { return FormatDateTime("ddddd", dt); }
String TimeToStr(TDateTime dt) { return FormatDateTime("tt", dt); }
String DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }

// ---------------------------------------------------------------- parsing

namespace {

enum TDateOrder { doMDY, doDMY, doYMD };

// The order of the fields is the order of the first d, m or y in the short date format.
TDateOrder GetDateOrder(std::string_view f) {
  for (char c : f) {
    switch (Upper(c)) {
      case 'D': return doDMY;
      case 'Y': return doYMD;
      case 'M': return doMDY;
      default: break;
    }
  }
  return doMDY;
}

class TDateScanner {
public:
  TDateScanner(std::string_view s, const TFormatSettings& fs) : FS(s), FFs(fs) {}

  bool AtEnd() const { return FPos >= FS.size(); }

  void Blanks() {
    while (FPos < FS.size() && FS[FPos] == ' ') ++FPos;
  }

  // Up to four digits (stops once the number reaches 1000); `len` is how many were read.
  bool Number(int& value, int& len) {
    Blanks();
    std::size_t i = FPos;
    int v = 0;
    while (i < FS.size() && FS[i] >= '0' && FS[i] <= '9' && v < 1000) v = v * 10 + (FS[i++] - '0');
    if (i == FPos) return false;
    len = static_cast<int>(i - FPos);
    FPos = i;
    value = v;
    return true;
  }

  // Digits after the seconds as a fraction of a second, in whole milliseconds (cut, not rounded,
  // so 59.9999 stays within the second).
  bool Fraction(int& ms) {
    std::size_t i = FPos;
    int v = 0, len = 0;
    for (; i < FS.size() && FS[i] >= '0' && FS[i] <= '9'; ++i, ++len)
      if (len < 3) v = v * 10 + (FS[i] - '0');
    if (len == 0) return false;
    for (; len < 3; ++len) v *= 10;
    ms = v;
    FPos = i;
    return true;
  }

  bool Char(char c) {
    Blanks();
    if (c && FPos < FS.size() && FS[FPos] == c) { ++FPos; return true; }
    return false;
  }

  bool Word(std::string_view w) {
    Blanks();
    if (w.empty() || FS.size() - FPos < w.size()) return false;
    if (!AnsiSameText(FS.substr(FPos, w.size()), w)) return false;
    FPos += w.size();
    return true;
  }

  bool Date(TDateTime& out) {
    int n1, n2, n3, l1, l2, l3, y, m, d;
    if (!(Number(n1, l1) && Char(FFs.DateSeparator) && Number(n2, l2))) return false;
    TDateOrder order = GetDateOrder(FFs.ShortDateFormat);
    if (Char(FFs.DateSeparator)) {
      if (!Number(n3, l3)) return false;
      int yearLen;
      switch (order) {
        case doMDY: y = n3; yearLen = l3; m = n1; d = n2; break;
        case doDMY: y = n3; yearLen = l3; m = n2; d = n1; break;
        default: y = n1; yearLen = l1; m = n2; d = n3; break;
      }
      if (yearLen <= 2) {
        // Two digits: the century that puts the year within the window before this year.
        int base = YearOf(Now()) - FFs.TwoDigitYearCenturyWindow;
        y += base / 100 * 100;
        if (FFs.TwoDigitYearCenturyWindow > 0 && y < base) y += 100;
      }
    } else {
      y = YearOf(Now());
      if (order == doDMY) { d = n1; m = n2; }
      else { m = n1; d = n2; }
    }
    Blanks();
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    return TryEncodeDate(static_cast<::Word>(y), static_cast<::Word>(m), static_cast<::Word>(d), out);
  }

  bool Time(TDateTime& out) {
    int base = -1, h, mi = 0, s = 0, ms = 0, len;
    if (Word(FFs.TimeAMString) || Word("AM")) base = 0;
    else if (Word(FFs.TimePMString) || Word("PM")) base = 12;
    if (!Number(h, len)) return false;
    if (Char(FFs.TimeSeparator)) {
      if (!Number(mi, len)) return false;
      if (Char(FFs.TimeSeparator)) {
        if (!Number(s, len)) return false;
        if (Char(FFs.DecimalSeparator) && !Fraction(ms)) return false;
      }
    }
    if (base < 0) {
      if (Word(FFs.TimeAMString) || Word("AM")) base = 0;
      else if (Word(FFs.TimePMString) || Word("PM")) base = 12;
    }
    if (base >= 0) {
      if (h == 0 || h > 12) return false;
      if (h == 12) h = 0;
      h += base;
    }
    Blanks();
    return TryEncodeTime(static_cast<::Word>(h), static_cast<::Word>(mi), static_cast<::Word>(s),
                         static_cast<::Word>(ms), out);
  }

private:
  std::string_view FS;
  const TFormatSettings& FFs;
  std::size_t FPos = 0;
};

}  // namespace

bool TryStrToDate(std::string_view s, TDateTime& dt, const TFormatSettings& fs) {
  TDateScanner sc(s, fs);
  TDateTime v;
  if (!sc.Date(v) || !sc.AtEnd()) return false;
  dt = v;
  return true;
}

bool TryStrToTime(std::string_view s, TDateTime& dt, const TFormatSettings& fs) {
  TDateScanner sc(s, fs);
  TDateTime v;
  if (!sc.Time(v) || !sc.AtEnd()) return false;
  dt = v;
  return true;
}

bool TryStrToDateTime(std::string_view s, TDateTime& dt, const TFormatSettings& fs) {
  TDateScanner sc(s, fs);
  TDateTime d, t = 0;
  if (sc.Date(d) && (sc.AtEnd() || (sc.Time(t) && sc.AtEnd()))) {
    dt = ComposeDateTime(d, t);
    return true;
  }
  return TryStrToTime(s, dt, fs);  // a time alone is a time on day 0
}

bool TryStrToDate(std::string_view s, TDateTime& dt) { return TryStrToDate(s, dt, FormatSettings()); }
bool TryStrToTime(std::string_view s, TDateTime& dt) { return TryStrToTime(s, dt, FormatSettings()); }
bool TryStrToDateTime(std::string_view s, TDateTime& dt) { return TryStrToDateTime(s, dt, FormatSettings()); }

TDateTime StrToDate(std::string_view s) { return ConvertOrRaise<TDateTime>(s, TryStrToDate, SInvalidDate); }
TDateTime StrToTime(std::string_view s) { return ConvertOrRaise<TDateTime>(s, TryStrToTime, SInvalidTime); }
TDateTime StrToDateTime(std::string_view s) {
  return ConvertOrRaise<TDateTime>(s, TryStrToDateTime, SInvalidDateTime);
}

TDateTime StrToDateDef(std::string_view s, TDateTime def) { return ConvertOrDefault<TDateTime>(s, TryStrToDate, def); }
TDateTime StrToTimeDef(std::string_view s, TDateTime def) { return ConvertOrDefault<TDateTime>(s, TryStrToTime, def); }
TDateTime StrToDateTimeDef(std::string_view s, TDateTime def) {
  return ConvertOrDefault<TDateTime>(s, TryStrToDateTime, def);
}
