#include "controls/DateUtil.h"

#include "core/DateUtils.h"
#include "core/Exceptions.h"
#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <cctype>

namespace {

constexpr int kDaysPerMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool ComputeFourDigitYear() { return UpperCase(FormatSettings().ShortDateFormat).find("YYYY") != String::npos; }

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
  if (UpperCase(fs.ShortDateFormat).find("DDD") != String::npos) SkipDayNames(S, Pos);
  return ValidDate(Word(Y), Word(M), Word(D)) && Pos > int(S.size());
}

int MonthNumberOfName(std::string_view Name) {
  const int len = Length(Name);
  const auto& names = FormatSettings().LongMonthNames;
  for (int i = 0; i < 12; ++i)
    if (AnsiSameText(Copy(names[std::size_t(i)], 1, len), Name)) return i + 1;
  return -1;
}

int ExtractDatePart(std::string_view Format, std::string_view S, char Ch, int Count, int Blank, int Default) {
  const std::u32string fmt = Utf8ToUtf32(AnsiUpperCase(Format)), text = Utf8ToUtf32(S);
  if (text.size() > fmt.size()) return Default;
  const char32_t ch = char32_t(std::toupper(static_cast<unsigned char>(Ch)));
  std::size_t at = fmt.find(std::u32string(std::size_t(Count), ch));
  if (at == std::u32string::npos) return Default;
  std::u32string part;
  for (; at < fmt.size() && fmt[at] == ch && at < text.size(); ++at)
    if (text[at] != U' ' && part.size() < 20) part += text[at];
  if (part.empty()) return Blank;
  const String value = Utf32ToUtf8(part);
  if (Count > 1) return MonthNumberOfName(value);
  return StrToIntDef(value, -1);
}

bool ScanDateByFormat(std::string_view Format, std::string_view S, int& D, int& M, int& Y) {
  M = ExtractDatePart(Format, S, 'M', 3, -1, 0);
  if (M == 0) M = ExtractDatePart(Format, S, 'M', 1, -1, 0);
  D = ExtractDatePart(Format, S, 'D', 1, -1, 1);
  Y = ExpandYear(ExtractDatePart(Format, S, 'Y', 1, -1, CurrentYear()));
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
