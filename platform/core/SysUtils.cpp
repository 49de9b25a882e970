// Integer, Boolean, float and money parsing, and rounding; helpers the runtime shares.
#include "core/SysUtils.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils_p.h"

#include <charconv>
#include <cmath>
#include <limits>

using namespace sysutils_impl;

// ---------------------------------------------------------------- shared helpers

namespace sysutils_impl {

void ConvertErrorFmt(const char* pattern, std::string_view arg) {
  std::string_view p(pattern);
  std::size_t at = p.find("%s");
  String msg;
  msg.reserve(p.size() + arg.size());
  if (at == std::string_view::npos) {
    msg = p;
  } else {
    msg.append(p.substr(0, at));
    msg.append(arg);
    msg.append(p.substr(at + 2));
  }
  throw EConvertError(msg);
}

void AppendUInt(String& out, std::uint64_t n) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

void AppendInt(String& out, Int64 n) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

}  // namespace sysutils_impl

// ---------------------------------------------------------------- integers

String IntToStr(Int64 v) {
  String s;
  AppendInt(s, v);
  return s;
}

namespace {
String HexDigits(std::uint64_t v, int digits) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v, 16);
  String s;
  int len = static_cast<int>(r.ptr - buf);
  if (digits > len) s.assign(digits - len, '0');
  for (char* p = buf; p < r.ptr; ++p) s += (*p >= 'a' ? static_cast<char>(*p - 'a' + 'A') : *p);
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Leading blanks, a sign, then decimal digits or hexadecimal ones after '$', 'x' or '0x',
// and nothing after. Decimal values must fit [min, max]; hexadecimal ones fill `bits` bits
// and are read as two's complement.
bool ParseInteger(std::string_view s, Int64 min, Int64 max, int bits, Int64& out) {
  std::size_t i = 0, n = s.size();
  while (i < n && s[i] == ' ') ++i;
  bool neg = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  bool hex = false;
  if (i < n && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) { hex = true; ++i; }
  else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) { hex = true; i += 2; }
  if (i >= n) return false;
  std::uint64_t mag = 0;
  if (hex) {
    std::uint64_t limit = bits == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << bits) - 1;
    for (; i < n; ++i) {
      int d = HexValue(s[i]);
      if (d < 0 || mag > (limit >> 4)) return false;
      mag = (mag << 4) | static_cast<unsigned>(d);
    }
    Int64 v = bits == 64 ? static_cast<Int64>(mag)
                         : static_cast<Int64>(static_cast<Integer>(static_cast<std::uint32_t>(mag)));
    out = neg ? static_cast<Int64>(0 - static_cast<std::uint64_t>(v)) : v;
    return true;
  }
  std::uint64_t limit = neg ? static_cast<std::uint64_t>(-(min + 1)) + 1 : static_cast<std::uint64_t>(max);
  for (; i < n; ++i) {
    if (!IsDigit(s[i])) return false;
    unsigned d = static_cast<unsigned>(s[i] - '0');
    if (mag > (limit - d) / 10) return false;
    mag = mag * 10 + d;
  }
  out = neg ? static_cast<Int64>(0 - mag) : static_cast<Int64>(mag);
  return true;
}

}  // namespace

// The program speaks Chinese: a text refused by a conversion is told in Chinese too.
const char* const SInvalidInteger = "'%s' 不是有效的整数值";
const char* const SInvalidFloat = "'%s' 不是有效的数值";
const char* const SInvalidBoolean = "'%s' 不是有效的布尔值";
const char* const SInvalidDate = "'%s' 不是有效的日期";
const char* const SInvalidTime = "'%s' 不是有效的时间";
const char* const SInvalidDateTime = "'%s' 不是有效的日期和时间";

String IntToHex(Int64 v, int digits) { return HexDigits(static_cast<std::uint64_t>(v), digits); }
String IntToHex(int v, int digits) { return HexDigits(static_cast<std::uint32_t>(v), digits); }
String IntToHex(Cardinal v, int digits) { return HexDigits(v, digits); }
String IntToHex(std::uint64_t v, int digits) { return HexDigits(v, digits); }

bool TryStrToInt(std::string_view s, int& v) {
  Int64 r;
  if (!ParseInteger(s, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(), 32, r))
    return false;
  v = static_cast<int>(r);
  return true;
}

bool TryStrToInt64(std::string_view s, Int64& v) {
  return ParseInteger(s, std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max(), 64, v);
}

int StrToInt(std::string_view s) { return ConvertOrRaise<int>(s, TryStrToInt, SInvalidInteger); }
Int64 StrToInt64(std::string_view s) { return ConvertOrRaise<Int64>(s, TryStrToInt64, SInvalidInteger); }
int StrToIntDef(std::string_view s, int def) { return ConvertOrDefault<int>(s, TryStrToInt, def); }
Int64 StrToInt64Def(std::string_view s, Int64 def) { return ConvertOrDefault<Int64>(s, TryStrToInt64, def); }

// ---------------------------------------------------------------- Booleans

String BoolToStr(bool b, bool useBoolStrs) {
  if (useBoolStrs) return b ? "True" : "False";
  return b ? "-1" : "0";
}

bool TryStrToBool(std::string_view s, bool& v) {
  Extended e;
  if (TryStrToFloat(s, e)) { v = e != 0; return true; }
  if (AnsiSameText(s, "True")) { v = true; return true; }
  if (AnsiSameText(s, "False")) { v = false; return true; }
  return false;
}

bool StrToBool(std::string_view s) { return ConvertOrRaise<bool>(s, TryStrToBool, SInvalidBoolean); }
bool StrToBoolDef(std::string_view s, bool def) { return ConvertOrDefault<bool>(s, TryStrToBool, def); }

// ---------------------------------------------------------------- float and money parsing

namespace {

// The parts of a decimal number in text: digits without the point, how many of them came
// after the point, and the written exponent.
struct TDecimalText {
  bool Negative = false;
  String Digits;
  int FracDigits = 0;
  int Exponent = 0;
};

bool ScanDecimal(std::string_view s, char point, TDecimalText& d) {
  std::size_t i = 0, n = s.size();
  while (i < n && s[i] == ' ') ++i;
  while (n > i && s[n - 1] == ' ') --n;
  if (i < n && (s[i] == '+' || s[i] == '-')) d.Negative = s[i++] == '-';
  for (; i < n && IsDigit(s[i]); ++i) d.Digits += s[i];
  if (i < n && s[i] == point) {
    for (++i; i < n && IsDigit(s[i]); ++i) { d.Digits += s[i]; ++d.FracDigits; }
  }
  if (d.Digits.empty()) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool neg = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    if (i >= n) return false;
    int e = 0;
    for (; i < n && IsDigit(s[i]); ++i)
      if (e < 100000) e = e * 10 + (s[i] - '0');
    d.Exponent = neg ? -e : e;
  }
  return i == n;
}

}  // namespace

bool TryStrToFloat(std::string_view s, Extended& v, const TFormatSettings& fs) {
  TDecimalText d;
  if (!ScanDecimal(s, fs.DecimalSeparator, d)) return false;
  // Rewritten in the neutral form that from_chars reads.
  String text;
  text.reserve(d.Digits.size() + 16);
  if (d.Negative) text += '-';
  text += d.Digits;
  text += 'e';
  AppendInt(text, static_cast<Int64>(d.Exponent) - d.FracDigits);
  Extended r = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), r);
  if (res.ec == std::errc::result_out_of_range) {
    // Too small underflows to zero; too large is no value at all.
    if (d.Exponent - d.FracDigits + static_cast<int>(d.Digits.size()) > 0) return false;
    r = d.Negative ? -0.0L : 0.0L;
  } else if (res.ec != std::errc() || res.ptr != text.data() + text.size()) {
    return false;
  }
  v = r;
  return true;
}

bool TryStrToFloat(std::string_view s, Extended& v) { return TryStrToFloat(s, v, FormatSettings()); }

bool TryStrToFloat(std::string_view s, double& v) {
  Extended e;
  if (!TryStrToFloat(s, e)) return false;
  v = static_cast<double>(e);
  return true;
}

Extended StrToFloat(std::string_view s) { return ConvertOrRaise<Extended>(s, TryStrToFloat, SInvalidFloat); }
Extended StrToFloatDef(std::string_view s, Extended def) { return ConvertOrDefault<Extended>(s, TryStrToFloat, def); }

bool TryStrToCurr(std::string_view s, Currency& v, const TFormatSettings& fs) {
  TDecimalText d;
  if (!ScanDecimal(s, fs.DecimalSeparator, d)) return false;
  std::size_t first = d.Digits.find_first_not_of('0');
  if (first == std::string::npos) { v = Currency(); return true; }
  std::string_view digits = std::string_view(d.Digits).substr(first);
  // Ten-thousandths: the digits times 10^shift.
  long shift = static_cast<long>(d.Exponent) - d.FracDigits + 4;
  long len = static_cast<long>(digits.size());
  long intLen = len + shift;  // digits that land before the ten-thousandths' point
  if (intLen > 19) return false;
  unsigned __int128 mag = 0;
  for (long i = 0; i < intLen; ++i) mag = mag * 10 + (i < len ? digits[i] - '0' : 0);
  if (intLen >= 0 && intLen < len) {
    // Half to even on the digits that fall off; with intLen < 0 they are all below a half.
    char next = digits[intLen];
    bool rest = digits.find_first_not_of('0', intLen + 1) != std::string_view::npos;
    if (next > '5' || (next == '5' && (rest || (mag & 1) != 0))) ++mag;
  }
  unsigned __int128 limit = d.Negative ? static_cast<unsigned __int128>(INT64_MAX) + 1 : INT64_MAX;
  if (mag > limit) return false;
  v = Currency::FromRaw(d.Negative ? static_cast<Int64>(0 - static_cast<std::uint64_t>(mag))
                                   : static_cast<Int64>(mag));
  return true;
}

bool TryStrToCurr(std::string_view s, Currency& v) { return TryStrToCurr(s, v, FormatSettings()); }

Currency StrToCurr(std::string_view s) { return ConvertOrRaise<Currency>(s, TryStrToCurr, SInvalidFloat); }
Currency StrToCurrDef(std::string_view s, Currency def) { return ConvertOrDefault<Currency>(s, TryStrToCurr, def); }

// ---------------------------------------------------------------- rounding

namespace {
[[noreturn]] void InvalidOp() { throw EInvalidOp("Invalid floating point operation"); }

Int64 ToInt64Checked(Extended r) {
  if (!(r >= -0x1p63L && r < 0x1p63L)) InvalidOp();
  return static_cast<Int64>(r);
}
}  // namespace

Int64 Round(Extended v) {
  if (std::isnan(v)) InvalidOp();
  // In range the processor rounds half to even itself (the rounding mode is never changed);
  // sums of amounts round once per record, so this path is the hot one.
  if (v > -0x1p62L && v < 0x1p62L) return std::llrint(v);
  Extended f = std::floor(v);
  Extended d = v - f;
  if (d > 0.5L || (d == 0.5L && std::fmod(f, 2.0L) != 0)) f += 1;
  return ToInt64Checked(f);
}

Int64 Trunc(Extended v) {
  if (std::isnan(v)) InvalidOp();
  return ToInt64Checked(std::trunc(v));
}

Extended Int(Extended v) { return std::trunc(v); }

Extended Frac(Extended v) { return v - std::trunc(v); }

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  Int64 p = static_cast<Int64>(a) * b;
  Int64 q = p / c, r = p % c;
  Int64 ar = r < 0 ? -r : r, ac = c < 0 ? -static_cast<Int64>(c) : c;
  if (2 * ar >= ac) q += ((p < 0) != (c < 0)) ? -1 : 1;
  if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(q);
}
