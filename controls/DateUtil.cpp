#include "controls/DateUtil.h"

#include "core/DateUtils.h"
#include "core/Exceptions.h"
#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr int kDaysPerMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool ComputeFourDigitYear() { return UpperCase(FormatSettings().ShortDateFormat).find("YYYY") != String::npos; }

char UpperAscii(char C) { return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C; }

bool IsAsciiText(std::string_view S) {
  for (unsigned char c : S)
    if (c >= 0x80) return false;
  return true;
}

// Whether S holds Upper (upper-case ASCII) in any case; no copy is made, as dates are parsed
// by the thousand.
bool ContainsUpper(std::string_view S, std::string_view Upper) {
  if (Upper.size() > S.size()) return false;
  for (std::size_t i = 0; i + Upper.size() <= S.size(); ++i) {
    std::size_t k = 0;
    while (k < Upper.size() && UpperAscii(S[i + k]) == Upper[k]) ++k;
    if (k == Upper.size()) return true;
  }
  return false;
}

// The collected text of a part as a number: plain digits directly, anything else as the
// platform converts it (-1 when it is no number).
int PartNumber(std::string_view Text) {
  if (Text.empty() || Text.size() > 9) return StrToIntDef(Text, -1);
  std::size_t i = 0;
  const bool negative = Text[0] == '-';
  if (Text[0] == '-' || Text[0] == '+') i = 1;
  // "0x", "$" and the like are hexadecimal numbers the platform reads.
  if (i == Text.size() || Text[i] < '0' || Text[i] > '9' || (Text.size() > i + 1 && (Text[i + 1] == 'x' || Text[i + 1] == 'X')))
    return StrToIntDef(Text, -1);
  int v = 0;
  for (; i < Text.size(); ++i) {
    if (Text[i] < '0' || Text[i] > '9') return -1;  // trailing text: no number
    v = v * 10 + (Text[i] - '0');
  }
  return negative ? -v : v;
}

int CurrentYear() { return YearOf(Now()); }

// ---- the scanning steps, on a 1-based position into the text
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

void SkipBlanks(std::string_view S, int& Pos) {
  while (Pos <= int(S.size()) && S[Pos - 1] == ' ') ++Pos;
}

bool ScanNumber(std::string_view S, int MaxLen, int& Pos, int& Number) {
  SkipBlanks(S, Pos);
  int value = 0, read = 0;
  while (Pos <= int(S.size()) && IsDigit(S[Pos - 1]) && read < MaxLen && value < 1000) {
    value = value * 10 + (S[Pos - 1] - '0');
    ++Pos;
    ++read;
  }
  if (read == 0) return false;
  Number = value;
  return true;
}

bool ScanSeparator(std::string_view S, int& Pos, char Sep) {
  SkipBlanks(S, Pos);
  if (Pos > int(S.size()) || S[Pos - 1] != Sep) return false;
  ++Pos;
  return true;
}

// UTF-8 lead and trail bytes are never digits, so stepping bytewise steps over whole
// characters.
void SkipToDigit(std::string_view S, int& Pos) {
  while (Pos <= int(S.size()) && !IsDigit(S[Pos - 1])) ++Pos;
}

// The Far East step over day names and a time designator that may follow the date.
void SkipDayNames(std::string_view S, int& Pos) {
  const TFormatSettings& fs = FormatSettings();
  if (!fs.ShortTimeFormat.empty() && IsDigit(fs.ShortTimeFormat[0])) {
    SkipToDigit(S, Pos);
    return;
  }
  auto atDesignator = [&] {
    std::string_view rest = S.substr(std::size_t(Pos - 1));
    return AnsiSameText(rest, fs.TimeAMString) || AnsiSameText(rest, fs.TimePMString);
  };
  while (Pos <= int(S.size()) && !atDesignator()) {
    while (Pos <= int(S.size()) && S[Pos - 1] != ' ') ++Pos;
    SkipBlanks(S, Pos);
  }
}



}  // namespace

bool FourDigitYear = ComputeFourDigitYear();

bool LeapYear(int AYear) { return AYear % 4 == 0 && (AYear % 100 != 0 || AYear % 400 == 0); }

int dateutil::MonthDays(int AYear, int AMonth) {
  if (AMonth < 1 || AMonth > 12) return 0;
  return kDaysPerMonth[AMonth - 1] + (AMonth == 2 && LeapYear(AYear) ? 1 : 0);
}

bool ValidDate(Word Y, Word M, Word D) {
  return Y >= 1 && Y <= 9999 && M >= 1 && M <= 12 && D >= 1 && D <= dateutil::MonthDays(Y, M);
}

bool ValidDateValue(TDateTime Value) {
  try {
    Word y, m, d;
    DecodeDate(Value, y, m, d);
    return ValidDate(y, m, d);
  } catch (const Exception&) {
    return false;
  }
}

int ExpandYear(int AYear) {
  // A blank or unreadable year part arrives as a negative number: it must stay invalid rather
  // than land in the window as 1999.
  if (AYear >= 100 || AYear < 0) return AYear;
  const int current = CurrentYear();
  int y = AYear + ((current - CenturyOffset) / 100) * 100;
  if (CenturyOffset > 0 && y < current - CenturyOffset) y += 100;
  return y;
}

TDateFieldOrder DateOrderOf(std::string_view Format) {
  for (char c : Format) switch (std::toupper(static_cast<unsigned char>(c))) {
      case 'D': return dfoDMY;
      case 'M': return dfoMDY;
      case 'Y':
      case 'E': return dfoYMD;
      default: break;
    }
  return dfoDMY;
}

bool ScanDateText(std::string_view S, std::string_view Format, int& Pos, int& Y, int& M, int& D) {
  Y = M = D = 0;
  const TDateFieldOrder order = DateOrderOf(Format);
  const TFormatSettings& fs = FormatSettings();
  const char sep = fs.DateSeparator;
  if (!fs.ShortDateFormat.empty() && (fs.ShortDateFormat[0] == 'g' || fs.ShortDateFormat[0] == 'G')) SkipToDigit(S, Pos);
  int n1, n2, n3;
  if (!ScanNumber(S, 4, Pos, n1) || !ScanSeparator(S, Pos, sep) || !ScanNumber(S, 4, Pos, n2)) return false;
  if (ScanSeparator(S, Pos, sep)) {
    if (!ScanNumber(S, 4, Pos, n3)) return false;
    switch (order) {
      case dfoMDY: Y = n3; M = n1; D = n2; break;
      case dfoDMY: Y = n3; M = n2; D = n1; break;
      case dfoYMD: Y = n1; M = n2; D = n3; break;
    }
    Y = ExpandYear(Y);
  } else {
    Y = CurrentYear();
    if (order == dfoDMY) {
      D = n1;
      M = n2;
    } else {
      M = n1;
      D = n2;
    }
  }
  ScanSeparator(S, Pos, sep);
  SkipBlanks(S, Pos);
  if (ContainsUpper(fs.ShortDateFormat, "DDD")) SkipDayNames(S, Pos);
  return ValidDate(Word(Y), Word(M), Word(D)) && Pos > int(S.size());
}

int MonthNumberOfName(std::string_view Name) {
  const int len = Length(Name);
  const auto& names = FormatSettings().LongMonthNames;
  for (int i = 0; i < 12; ++i)
    if (AnsiSameText(Copy(names[std::size_t(i)], 1, len), Name)) return i + 1;
  return -1;
}

namespace {
// The part extraction on ASCII texts, byte by byte.
int ExtractAsciiPart(std::string_view Format, std::string_view S, char Ch, int Count, int Blank, int Default) {
  const char ch = UpperAscii(Ch);
  {
    if (S.size() > Format.size()) return Default;
    std::size_t at = 0;
    for (;; ++at) {
      if (at + std::size_t(Count) > Format.size()) return Default;
      int k = 0;
      while (k < Count && UpperAscii(Format[at + std::size_t(k)]) == ch) ++k;
      if (k == Count) break;
    }
    char part[20];
    std::size_t n = 0;
    for (; at < Format.size() && UpperAscii(Format[at]) == ch && at < S.size(); ++at)
      if (S[at] != ' ' && n < sizeof part) part[n++] = S[at];
    if (n == 0) return Blank;
    if (Count > 1) return MonthNumberOfName(std::string_view(part, n));
    return PartNumber(std::string_view(part, n));
  }
}
}  // namespace

int ExtractDatePart(std::string_view Format, std::string_view S, char Ch, int Count, int Blank, int Default) {
  const char ch = UpperAscii(Ch);
  if (IsAsciiText(Format) && IsAsciiText(S)) return ExtractAsciiPart(Format, S, Ch, Count, Blank, Default);
  // Characters beyond ASCII (a month name, an era): compared by character.
  const std::u32string fmt = Utf8ToUtf32(AnsiUpperCase(Format)), text = Utf8ToUtf32(S);
  if (text.size() > fmt.size()) return Default;
  std::size_t at = fmt.find(std::u32string(std::size_t(Count), char32_t(ch)));
  if (at == std::u32string::npos) return Default;
  std::u32string part;
  for (; at < fmt.size() && fmt[at] == char32_t(ch) && at < text.size(); ++at)
    if (text[at] != U' ' && part.size() < 20) part += text[at];
  if (part.empty()) return Blank;
  const String value = Utf32ToUtf8(part);
  if (Count > 1) return MonthNumberOfName(value);
  return PartNumber(value);
}

namespace {

// Where the parts lie in an ASCII format: the start of the first run of Count copies of the
// part's letter (-1 when absent) and how many copies follow from there. A date field parses
// with one format again and again, so the last format's places are kept.
struct TFormatPlaces {
  String Format;
  bool Ascii = true;
  int Start[4] = {-1, -1, -1, -1};  // month name (MMM), month, day, year
  int Run[4] = {0, 0, 0, 0};
};

const TFormatPlaces& PlacesOf(std::string_view Format) {
  static TFormatPlaces places;
  static bool valid = false;
  if (valid && places.Format == Format) return places;
  places.Format = String(Format);
  places.Ascii = IsAsciiText(Format);
  const char letters[4] = {'M', 'M', 'D', 'Y'};
  const int counts[4] = {3, 1, 1, 1};
  for (int i = 0; i < 4; ++i) {
    places.Start[i] = -1;
    places.Run[i] = 0;
    for (std::size_t at = 0; at + std::size_t(counts[i]) <= Format.size(); ++at) {
      int k = 0;
      while (k < counts[i] && UpperAscii(Format[at + std::size_t(k)]) == letters[i]) ++k;
      if (k < counts[i]) continue;
      places.Start[i] = int(at);
      while (at + std::size_t(places.Run[i]) < Format.size() &&
             UpperAscii(Format[at + std::size_t(places.Run[i])]) == letters[i])
        ++places.Run[i];
      break;
    }
  }
  valid = true;
  return places;
}

// Part I of S by the places, any text (the ASCII rule of ExtractDatePart).
int PlacedPartText(const TFormatPlaces& P, int I, std::string_view S, int Blank) {
  const std::size_t end = std::min(S.size(), std::size_t(P.Start[I] + P.Run[I]));
  char part[20];
  std::size_t n = 0;
  for (std::size_t at = std::size_t(P.Start[I]); at < end; ++at)
    if (S[at] != ' ' && n < sizeof part) part[n++] = S[at];
  if (n == 0) return Blank;
  if (I == 0) return MonthNumberOfName(std::string_view(part, n));
  return PartNumber(std::string_view(part, n));
}

// Part I of S by the places: digits and blanks, the usual case, are read in place.
inline int PlacedPart(const TFormatPlaces& P, int I, std::string_view S, int Blank, int Default) {
  if (S.size() > P.Format.size() || P.Start[I] < 0) return Default;
  if (I == 0) return PlacedPartText(P, I, S, Blank);
  const std::size_t end = std::min(S.size(), std::size_t(P.Start[I] + P.Run[I]));
  int value = 0, digits = 0;
  for (std::size_t at = std::size_t(P.Start[I]); at < end; ++at) {
    const char c = S[at];
    if (c == ' ') continue;
    if (c < '0' || c > '9' || digits == 9) return PlacedPartText(P, I, S, Blank);
    value = value * 10 + (c - '0');
    ++digits;
  }
  return digits == 0 ? Blank : value;
}

}  // namespace

bool ScanDateByFormat(std::string_view Format, std::string_view S, int& D, int& M, int& Y) {
  // The clock is read only when the year is missing from the format: parsing stays cheap.
  constexpr int kNoYear = -2147483647;
  const TFormatPlaces& places = PlacesOf(Format);
  if (places.Ascii && IsAsciiText(S)) {
    M = PlacedPart(places, 0, S, -1, 0);
    if (M == 0) M = PlacedPart(places, 1, S, -1, 0);
    D = PlacedPart(places, 2, S, -1, 1);
    Y = PlacedPart(places, 3, S, -1, kNoYear);
  } else {
    M = ExtractDatePart(Format, S, 'M', 3, -1, 0);
    if (M == 0) M = ExtractDatePart(Format, S, 'M', 1, -1, 0);
    D = ExtractDatePart(Format, S, 'D', 1, -1, 1);
    Y = ExtractDatePart(Format, S, 'Y', 1, -1, kNoYear);
  }
  Y = ExpandYear(Y == kNoYear ? CurrentYear() : Y);
  if (ValidDate(Word(Y), Word(M), Word(D))) return true;
  int pos = 1;
  return ScanDateText(S, Format, pos, Y, M, D);
}

bool TryTextToDate(std::string_view Format, std::string_view S, TDateTime& Date) {
  if (S.empty()) {
    Date = NullDate;
    return true;
  }
  int d, m, y;
  if (!ScanDateByFormat(Format, S, d, m, y)) return false;
  return TryEncodeDate(Word(y), Word(m), Word(d), Date);
}

TDateTime TextToDateByFormat(std::string_view Format, std::string_view S) {
  TDateTime result;
  if (!TryTextToDate(Format, S, result)) throw EConvertError("''" + String(S) + "'' is not a valid date");
  return result;
}

TDateTime TextToDateByFormatDef(std::string_view Format, std::string_view S, TDateTime Default) {
  TDateTime result;
  if (!TryTextToDate(Format, S, result)) return Trunc(Default);
  return result;
}

String DefaultDateFormat(bool FourDigits) {
  static const char* const kFour[] = {"MM/DD/YYYY", "DD/MM/YYYY", "YYYY/MM/DD"};
  static const char* const kTwo[] = {"MM/DD/YY", "DD/MM/YY", "YY/MM/DD"};
  const TDateFieldOrder order = DateOrderOf(FormatSettings().ShortDateFormat);
  return FourDigits ? kFour[order] : kTwo[order];
}

String DefaultDateMask(char BlanksChar, bool FourDigits) {
  String mask = !FourDigits ? "!99/99/99;1;" : DateOrderOf(FormatSettings().ShortDateFormat) == dfoYMD ? "!9999/99/99;1;" : "!99/99/9999;1;";
  return mask + BlanksChar;
}
