#pragma once
// Numbers, money, dates and times to text and back, rounding, and the clock. Every routine
// follows the one process-wide format settings object unless it is handed its own.
#include "core/Currency.h"
#include "core/System.h"
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------- format settings

struct TFormatSettings {
  String ShortDateFormat = "yyyy-mm-dd";
  String LongDateFormat = "yyyy'年'm'月'd'日'";
  char DateSeparator = '-';
  char TimeSeparator = ':';
  String ShortTimeFormat = "h:mm";
  String LongTimeFormat = "h:mm:ss";
  String TimeAMString = "上午";
  String TimePMString = "下午";
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char ListSeparator = ',';
  String CurrencyString = "¥";
  Byte CurrencyFormat = 0;  // 0 "¥1", 1 "1¥", 2 "¥ 1", 3 "1 ¥"
  Byte NegCurrFormat = 2;   // 0..15, see FloatToStrF; 2 is "¥-1"
  Byte CurrencyDecimals = 2;
  std::array<String, 12> ShortMonthNames{"一月", "二月", "三月", "四月", "五月", "六月",
                                         "七月", "八月", "九月", "十月", "十一月", "十二月"};
  std::array<String, 12> LongMonthNames = ShortMonthNames;
  std::array<String, 7> ShortDayNames{"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
  std::array<String, 7> LongDayNames = ShortDayNames;
  String EraName = "公元";                 // the "g" of date pictures
  Word TwoDigitYearCenturyWindow = 50;
  int FirstDayOfWeek = 0;                  // 0 Monday ... 6 Sunday
};

// The settings every routine below reads; tests may change them and ResetFormatSettings
// brings back the defaults.
TFormatSettings& FormatSettings();
void ResetFormatSettings();

// ---------------------------------------------------------------- integers and Booleans

String IntToStr(Int64 v);
// Upper case, at least `digits` digits; negative values in two's complement of their width.
String IntToHex(Int64 v, int digits);
String IntToHex(int v, int digits);
String IntToHex(Cardinal v, int digits);
String IntToHex(std::uint64_t v, int digits);
// Leading blanks, a sign, decimal digits or hexadecimal ones after '$', 'x' or '0x'. Anything
// else fails with "'<text>' is not a valid integer value".
int StrToInt(std::string_view s);
Int64 StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int def);
Int64 StrToInt64Def(std::string_view s, Int64 def);
bool TryStrToInt(std::string_view s, int& v);
bool TryStrToInt64(std::string_view s, Int64& v);

// "0"/"-1", or "False"/"True" with useBoolStrs.
String BoolToStr(bool b, bool useBoolStrs = false);
// "True"/"False" in any case, or a number (0 is False).
bool StrToBool(std::string_view s);
bool StrToBoolDef(std::string_view s, bool def);
bool TryStrToBool(std::string_view s, bool& v);

// ---------------------------------------------------------------- floating point and money

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// A number as decimal digits: value = 0.Digits * 10^Exponent. Digits holds at most 19
// characters and no trailing zeros; empty for zero. Exponent 0x7FFF marks INF, -0x8000 NAN.
struct TFloatRec {
  short Exponent = 0;
  bool Negative = false;
  char Digits[21] = {};
};
// The exact value to 18 significant digits, then rounded half away from zero to `precision`
// significant digits and at most `decimals` digits after the point.
void FloatToDecimal(TFloatRec& rec, Extended value, int precision, int decimals);
void CurrToDecimal(TFloatRec& rec, Currency value, int decimals);

String FloatToStr(Extended v);  // general, 15 significant digits
String FloatToStr(Extended v, const TFormatSettings& fs);
// precision: significant digits (1..18); digits: decimals for fixed, number and currency,
// least exponent digits (0..4) for general and exponent.
String FloatToStrF(Extended v, TFloatFormat format, int precision, int digits);
String FloatToStrF(Extended v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
String CurrToStr(Currency v);
String CurrToStrF(Currency v, TFloatFormat format, int digits);
String CurrToStrF(Currency v, TFloatFormat format, int digits, const TFormatSettings& fs);
// Picture format: 0 # . , E+ E- e+ e-, quoted text, sections "positive;negative;zero".
String FormatFloat(std::string_view fmt, Extended v);
String FormatFloat(std::string_view fmt, Extended v, const TFormatSettings& fs);
String FormatCurr(std::string_view fmt, Currency v);
String FormatCurr(std::string_view fmt, Currency v, const TFormatSettings& fs);

// Blanks around, a sign, digits with one DecimalSeparator, an exponent; no thousands.
// Failure text: "'<text>' is not a valid floating point value".
Extended StrToFloat(std::string_view s);
Extended StrToFloatDef(std::string_view s, Extended def);
bool TryStrToFloat(std::string_view s, Extended& v);
bool TryStrToFloat(std::string_view s, double& v);
bool TryStrToFloat(std::string_view s, Extended& v, const TFormatSettings& fs);
// As StrToFloat, read exactly and rounded half to even at the fourth decimal.
Currency StrToCurr(std::string_view s);
Currency StrToCurrDef(std::string_view s, Currency def);
bool TryStrToCurr(std::string_view s, Currency& v);
bool TryStrToCurr(std::string_view s, Currency& v, const TFormatSettings& fs);

// ---------------------------------------------------------------- Format

enum TVarRecType : Byte { vtInteger, vtBoolean, vtChar, vtExtended, vtString, vtPointer, vtCurrency, vtInt64, vtUInt64 };

// One argument of Format. Texts are held as views: the argument must outlive the call, which a
// braced list of temporaries does.
struct TVarRec {
  TVarRecType VType;
  union {
    Integer VInteger;
    bool VBoolean;
    char VChar;
    Extended VExtended;
    std::string_view VString;
    const void* VPointer;
    Int64 VInt64;  // also the raw value of vtCurrency
    std::uint64_t VUInt64;
  };

  constexpr TVarRec(bool v) : VType(vtBoolean), VBoolean(v) {}
  constexpr TVarRec(char v) : VType(vtChar), VChar(v) {}
  constexpr TVarRec(signed char v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(unsigned char v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(short v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(unsigned short v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(int v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(unsigned v) : VType(vtInt64), VInt64(v) {}
  constexpr TVarRec(long v) : VType(vtInt64), VInt64(v) {}
  constexpr TVarRec(long long v) : VType(vtInt64), VInt64(v) {}
  constexpr TVarRec(unsigned long v) : VType(vtUInt64), VUInt64(v) {}
  constexpr TVarRec(unsigned long long v) : VType(vtUInt64), VUInt64(v) {}
  constexpr TVarRec(float v) : VType(vtExtended), VExtended(v) {}
  constexpr TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  constexpr TVarRec(long double v) : VType(vtExtended), VExtended(v) {}
  constexpr TVarRec(Currency v) : VType(vtCurrency), VInt64(v.Value) {}
  constexpr TVarRec(const char* v) : VType(vtString), VString(v ? std::string_view(v) : std::string_view()) {}
  constexpr TVarRec(std::string_view v) : VType(vtString), VString(v) {}
  TVarRec(const String& v) : VType(vtString), VString(v) {}
  constexpr TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
  constexpr TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
};

// `%[index:][-][width][.precision]type` with the types d u x e f g n m p s (either case), '*'
// for a width or precision taken from the arguments, "%%" for '%'. A specifier that does not
// fit its argument raises EConvertError "Format '<fmt>' invalid or incompatible with argument";
// too few arguments "No argument for format '<fmt>'".
String Format(std::string_view fmt, std::initializer_list<TVarRec> args);
String Format(std::string_view fmt, const std::vector<TVarRec>& args);
String Format(std::string_view fmt, std::span<const TVarRec> args, const TFormatSettings& fs);

// ---------------------------------------------------------------- rounding

Int64 Round(Extended v);  // half to even; EInvalidOp beyond Int64 and for NaN
Int64 Trunc(Extended v);  // toward zero; EInvalidOp beyond Int64 and for NaN
Extended Int(Extended v);   // integer part, toward zero
Extended Frac(Extended v);  // v - Int(v), with the sign of v
// a * b / c rounded half away from zero; -1 when c is 0 or the result leaves 32 bits.
int MulDiv(int a, int b, int c);

// ---------------------------------------------------------------- dates and times

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
