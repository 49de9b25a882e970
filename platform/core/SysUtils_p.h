#pragma once
// Helpers shared by the runtime's sources; not part of the public surface.
#include "core/SysUtils.h"

namespace sysutils_impl {

constexpr short kInfExponent = 0x7FFF;
constexpr short kNanExponent = -0x8000;

// A number as decimal digits: value = 0.Digits[0..Count) * 10^Exponent, no trailing zeros,
// Count 0 for zero. Exponent kInfExponent / kNanExponent mark the special values.
// Until the first RoundDigits the digits may still be held as the integer Whole (Count of them,
// trailing zeros included) and Digits not yet written.
struct TDigits {
  short Exponent = 0;
  bool Negative = false;
  bool Pending = false;
  int Count = 0;
  std::uint64_t Whole = 0;
  char Digits[24];

  bool Special() const { return Exponent == kInfExponent || Exponent == kNanExponent; }
  char At(int i) const { return i >= 0 && i < Count ? Digits[i] : '0'; }
};

// The value's digits before any formatting rounding: 18 significant digits for floats (the
// exact binary value rounded once, half to even), all digits for money.
void RawFloatDigits(Extended v, TDigits& d);
void RawCurrDigits(Currency v, TDigits& d);
// Keeps `keep` significant digits, half away from zero; zero loses its sign. Writes Digits.
void RoundDigits(TDigits& d, int keep);

// Appends a number in a standard format; `d` holds raw digits, `maxPrecision` is 18 for
// floats and 19 for money.
void AppendFloatText(String& out, const TDigits& d, int maxPrecision, TFloatFormat format,
                     int precision, int digits, const TFormatSettings& fs);

// Opens a new file of the naming TempFilePrefix + six characters in Folder ('' or one ending in
// '/'), created as a new file would be (0666 less the umask); its descriptor, with its name in Name, or -1 with errno set.
int OpenTempFileIn(const String& Folder, String& Name);

// Day number since 1899-12-30 of a civil date (proleptic Gregorian), without range checks.
Int64 DaysFromCivil(int y, int m, int d);

// The value of a hexadecimal digit, -1 for any other character.
inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Appends n in decimal.
void AppendInt(String& out, Int64 n);
void AppendUInt(String& out, std::uint64_t n);

[[noreturn]] void ConvertErrorFmt(const char* pattern, std::string_view arg);

// The raising and the defaulting form of a TryStrToX conversion: StrToX raises EConvertError
// with the text in `pattern`, StrToXDef answers `def`.
template <class T> T ConvertOrRaise(std::string_view s, bool (*tryConvert)(std::string_view, T&), const char* pattern) {
  T v{};
  if (!tryConvert(s, v)) ConvertErrorFmt(pattern, s);
  return v;
}
template <class T> T ConvertOrDefault(std::string_view s, bool (*tryConvert)(std::string_view, T&), T def) {
  T v{};
  return tryConvert(s, v) ? v : def;
}

}  // namespace sysutils_impl
