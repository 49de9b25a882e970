#pragma once
// Helpers shared by the SysUtils sources; not part of the public surface.
#include "SysUtils.h"

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

// Appends n in decimal.
void AppendInt(String& out, Int64 n);
void AppendUInt(String& out, std::uint64_t n);

[[noreturn]] void ConvertErrorFmt(const char* pattern, std::string_view arg);

}  // namespace sysutils_impl
