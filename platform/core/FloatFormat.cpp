// Floating-point and money values to text: the standard formats and the picture format.
#include "core/FloatFormat.h"

#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "core/SysUtils_p.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace sysutils_impl;

// ---------------------------------------------------------------- digits

namespace {

void StripTrailingZeros(TDigits& d) {
  while (d.Count > 0 && d.Digits[d.Count - 1] == '0') --d.Count;
  if (d.Count == 0) { d.Exponent = 0; d.Negative = false; }
}

// Reads "d.dddde±x" as printed by to_chars or printf.
void ParseScientific(const char* p, const char* end, TDigits& d) {
  d.Count = 0;
  for (; p < end && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9' && d.Count < 18) d.Digits[d.Count++] = *p;
  int e = 0;
  if (p < end) {
    ++p;
    bool neg = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    for (; p < end; ++p) e = e * 10 + (*p - '0');
    if (neg) e = -e;
  }
  d.Exponent = static_cast<short>(e + 1);
  StripTrailingZeros(d);
}

// An integer's digits with the given exponent; a whole number's exponent is its digit count.
constexpr int kWholeNumber = -100000;
void SetDigits(TDigits& d, std::uint64_t q, int exponent) {
  d.Pending = false;
  auto r = std::to_chars(d.Digits, d.Digits + 20, q);
  d.Count = static_cast<int>(r.ptr - d.Digits);
  d.Exponent = static_cast<short>(exponent == kWholeNumber ? d.Count : exponent);
  StripTrailingZeros(d);
}

struct TPow10Table {
  unsigned __int128 V[23];
  constexpr TPow10Table() : V() {
    V[0] = 1;
    for (int i = 1; i < 23; ++i) V[i] = V[i - 1] * 10;
  }
};
constexpr TPow10Table kPow10;

// The 18 significant digits of a double between 1e-5 and 2^63, exactly, with integers only:
// the value is m * 2^e, so m * 10^p / 2^-e splits into the digits and an exact remainder.
bool FastDoubleDigits(double a, TDigits& d) {
  if (!(a >= 1e-5 && a < 0x1p63)) return false;
  std::uint64_t bits = std::bit_cast<std::uint64_t>(a);
  std::uint64_t m = (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52);
  int e = static_cast<int>(bits >> 52) - 1075;  // a = m * 2^e; the range keeps a normal
  constexpr std::uint64_t k1e18 = 1000000000000000000ULL;
  if (e >= 0) {
    std::uint64_t n = m << e;  // a whole number below 2^63
    if (n < k1e18) {
      SetDigits(d, n, kWholeNumber);
      return true;
    }
    // 19 digits: drop the last, half to even.
    std::uint64_t q = n / 10, r = n % 10;
    if (r > 5 || (r == 5 && (q & 1))) ++q;
    if (q == k1e18) SetDigits(d, q / 10, 20);
    else SetDigits(d, q, 19);
    return true;
  }
  int k = -e;
  // Digits before the point: floor(log10 2 * floor(log2 a)) + 1, or one more.
  int estimate = (((e + 52) * 78913) >> 18) + 1;
  int p = 18 - estimate;
  if (p < 0 || p > 22) return false;
  unsigned __int128 x = static_cast<unsigned __int128>(m) * kPow10.V[p];
  std::uint64_t q = static_cast<std::uint64_t>(x >> k);  // below 10^19
  unsigned __int128 rem = x - (static_cast<unsigned __int128>(q) << k);
  unsigned __int128 half = static_cast<unsigned __int128>(1) << (k - 1);
  int exponent = estimate;
  bool up;
  if (q >= k1e18) {
    // One digit too many: the dropped digit and the remainder decide.
    unsigned r = static_cast<unsigned>(q % 10);
    q /= 10;
    ++exponent;
    up = r > 5 || (r == 5 && (rem != 0 || (q & 1)));
  } else {
    up = rem > half || (rem == half && (q & 1));
  }
  if (up) ++q;
  if (q == k1e18) { q /= 10; ++exponent; }
  // Left as an integer: rounding for display usually needs only a few of these digits.
  d.Pending = true;
  d.Whole = q;
  d.Count = 18;
  d.Exponent = static_cast<short>(exponent);
  return true;
}

}  // namespace

namespace sysutils_impl {

void RawFloatDigits(Extended v, TDigits& d) {
  d.Exponent = 0;
  d.Negative = false;
  d.Pending = false;
  d.Count = 0;
  double dbl = static_cast<double>(v);
  if (static_cast<Extended>(dbl) == v) {
    // Most values were doubles (never NaN here: NaN equals nothing).
    std::uint64_t bits = std::bit_cast<std::uint64_t>(dbl);
    bool negative = bits >> 63;
    double a = std::fabs(dbl);
    if (a == 0) return;
    d.Negative = negative;
    if (a == HUGE_VAL) { d.Exponent = kInfExponent; return; }
    if (!FastDoubleDigits(a, d)) {
      char buf[64];
      auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 17);
      ParseScientific(buf, r.ptr, d);
    }
    d.Negative = negative && d.Count > 0;
    return;
  }
  if (std::isnan(v)) { d.Exponent = kNanExponent; return; }
  bool negative = std::signbit(v);
  char buf[64];
  int len = std::snprintf(buf, sizeof buf, "%.17Le", negative ? -v : v);
  ParseScientific(buf, buf + len, d);
  d.Negative = negative && d.Count > 0;
}

void RawCurrDigits(Currency v, TDigits& d) {
  d.Negative = v.Value < 0;
  std::uint64_t mag = d.Negative ? 0 - static_cast<std::uint64_t>(v.Value) : static_cast<std::uint64_t>(v.Value);
  SetDigits(d, mag, kWholeNumber);
  if (d.Count > 0) d.Exponent = static_cast<short>(d.Exponent - Currency::kDecimals);
}

void RoundDigits(TDigits& d, int keep) {
  if (d.Pending) {
    if (keep >= d.Count) { SetDigits(d, d.Whole, d.Exponent); return; }
    if (keep <= 0) {
      // Nothing or a single 1 a place further up, as the first digit says.
      bool up = keep == 0 && d.Whole >= 5 * static_cast<std::uint64_t>(kPow10.V[d.Count - 1]);
      if (up) SetDigits(d, 1, d.Exponent + 1);
      else { d.Pending = false; d.Count = 0; StripTrailingZeros(d); }
      return;
    }
    // Half away from zero on the digit string: add half of the last place kept, cut.
    std::uint64_t unit = static_cast<std::uint64_t>(kPow10.V[d.Count - keep]);
    std::uint64_t q = (d.Whole + unit / 2) / unit;
    int exponent = d.Exponent;
    if (q == static_cast<std::uint64_t>(kPow10.V[keep])) { q = 1; ++exponent; }
    SetDigits(d, q, exponent);
    return;
  }
  if (d.Special() || keep >= d.Count) return;
  if (keep < 0) { d.Count = 0; StripTrailingZeros(d); return; }
  bool up = d.Digits[keep] >= '5';
  d.Count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.Digits[i] == '9') --i;
    if (i >= 0) {
      ++d.Digits[i];
      d.Count = i + 1;
    } else {
      // 999.. became 1000..: one digit more before the point.
      d.Digits[0] = '1';
      d.Count = 1;
      ++d.Exponent;
    }
  }
  StripTrailingZeros(d);
}

}  // namespace sysutils_impl

namespace {
void ToFloatRec(const TDigits& d, TFloatRec& rec) {
  rec.Exponent = d.Exponent;
  rec.Negative = d.Negative;
  std::memcpy(rec.Digits, d.Digits, static_cast<std::size_t>(d.Count));
  rec.Digits[d.Count] = '\0';
}


// The digits to keep for `decimals` places after the point, summed wide so that any count of
// decimals is taken: fewer than none keeps none.
int DigitsForDecimals(int exponent, int decimals) {
  return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{exponent} + decimals, -1, INT32_MAX));
}
}  // namespace

void FloatToDecimal(TFloatRec& rec, Extended value, int precision, int decimals) {
  TDigits d;
  RawFloatDigits(value, d);
  if (precision > 18) precision = 18;
  if (precision < 1) precision = 1;
  int keep = precision;
  if (decimals < 9999) keep = std::min(keep, DigitsForDecimals(d.Exponent, decimals));
  RoundDigits(d, keep);
  ToFloatRec(d, rec);
}

void CurrToDecimal(TFloatRec& rec, Currency value, int decimals) {
  TDigits d;
  RawCurrDigits(value, d);
  RoundDigits(d, DigitsForDecimals(d.Exponent, decimals));
  ToFloatRec(d, rec);
}

// ---------------------------------------------------------------- standard formats

namespace {

void AppendExponent(String& out, char letter, int e, bool plus, int minDigits) {
  out += letter;
  if (e < 0) out += '-';
  else if (plus) out += '+';
  char buf[16];
  auto r = std::to_chars(buf, buf + sizeof buf, e < 0 ? -e : e);
  for (int pad = minDigits - static_cast<int>(r.ptr - buf); pad > 0; --pad) out += '0';
  out.append(buf, r.ptr);
}

// Integer part (at least "0"), then `decimals` digits after the separator.
void AppendFixedDigits(String& out, const TDigits& d, int decimals, char thousands, char point) {
  int e = d.Exponent;
  if (e <= 0) {
    out += '0';
  } else {
    for (int i = 0; i < e; ++i) {
      out += d.At(i);
      int left = e - i - 1;
      if (thousands && left > 0 && left % 3 == 0) out += thousands;
    }
  }
  if (decimals > 0) {
    out += point;
    for (int k = 0; k < decimals; ++k) out += d.At(e + k);
  }
}

// d.ddd with the digits as they are (general) or padded to `width` digits (exponent format).
void AppendMantissa(String& out, const TDigits& d, int width, char point) {
  if (width < d.Count) width = d.Count;
  out += d.At(0);
  if (width > 1) {
    out += point;
    for (int i = 1; i < width; ++i) out += d.At(i);
  }
}

void AppendGeneral(String& out, TDigits d, int precision, int expDigits, const TFormatSettings& fs) {
  RoundDigits(d, precision);
  int e = d.Exponent;
  if (d.Count == 0) { out += '0'; return; }
  if (d.Negative) out += '-';
  if (e > precision || e < -3) {
    AppendMantissa(out, d, 0, fs.DecimalSeparator);
    AppendExponent(out, 'E', e - 1, false, expDigits);
    return;
  }
  AppendFixedDigits(out, d, d.Count > e ? d.Count - e : 0, 0, fs.DecimalSeparator);
}

void AppendCurrencyPattern(String& out, std::string_view number, bool negative, const TFormatSettings& fs) {
  const String& cs = fs.CurrencyString;
  auto put = [&](std::initializer_list<std::string_view> parts) {
    for (auto p : parts) out += p;
  };
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1: put({number, cs}); break;
      case 2: put({cs, " ", number}); break;
      case 3: put({number, " ", cs}); break;
      default: put({cs, number}); break;
    }
    return;
  }
  switch (fs.NegCurrFormat) {
    case 0: put({"(", cs, number, ")"}); break;
    case 1: put({"-", cs, number}); break;
    case 3: put({cs, number, "-"}); break;
    case 4: put({"(", number, cs, ")"}); break;
    case 5: put({"-", number, cs}); break;
    case 6: put({number, "-", cs}); break;
    case 7: put({number, cs, "-"}); break;
    case 8: put({"-", number, " ", cs}); break;
    case 9: put({"-", cs, " ", number}); break;
    case 10: put({number, " ", cs, "-"}); break;
    case 11: put({cs, " ", number, "-"}); break;
    case 12: put({cs, " ", "-", number}); break;
    case 13: put({number, "-", " ", cs}); break;
    case 14: put({"(", cs, " ", number, ")"}); break;
    case 15: put({"(", number, " ", cs, ")"}); break;
    default: put({cs, "-", number}); break;
  }
}

int ClampDigits(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

namespace sysutils_impl {

void AppendFloatText(String& out, const TDigits& raw, int maxPrecision, TFloatFormat format,
                     int precision, int digits, const TFormatSettings& fs) {
  if (raw.Exponent == kNanExponent) { out += "NAN"; return; }
  if (raw.Exponent == kInfExponent) { out += raw.Negative ? "-INF" : "INF"; return; }
  precision = ClampDigits(precision, 1, maxPrecision);
  TDigits d = raw;
  switch (format) {
    case ffGeneral:
      AppendGeneral(out, d, precision, ClampDigits(digits, 0, 4), fs);
      return;
    case ffExponent: {
      RoundDigits(d, precision);
      if (d.Negative) out += '-';
      AppendMantissa(out, d, precision, fs.DecimalSeparator);
      AppendExponent(out, 'E', d.Count == 0 ? 0 : d.Exponent - 1, true, ClampDigits(digits, 0, 4));
      return;
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      digits = ClampDigits(digits, 0, 18);
      RoundDigits(d, d.Exponent + digits < precision ? d.Exponent + digits : precision);
      if (format == ffFixed && d.Exponent > precision) {
        // Too many integer digits for the precision: scientific, as the general format shows it.
        AppendGeneral(out, d, precision, 0, fs);
        return;
      }
      char thousands = format == ffFixed ? '\0' : fs.ThousandSeparator;
      if (format != ffCurrency) {
        if (d.Negative) out += '-';
        AppendFixedDigits(out, d, digits, thousands, fs.DecimalSeparator);
        return;
      }
      String number;
      number.reserve(40);
      AppendFixedDigits(number, d, digits, thousands, fs.DecimalSeparator);
      AppendCurrencyPattern(out, number, d.Negative, fs);
      return;
    }
  }
}

}  // namespace sysutils_impl

String FloatToStrF(Extended v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
  TDigits d;
  RawFloatDigits(v, d);
  String out;
  AppendFloatText(out, d, 18, format, precision, digits, fs);
  return out;
}

String FloatToStrF(Extended v, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(v, format, precision, digits, FormatSettings());
}

String FloatToStr(Extended v, const TFormatSettings& fs) { return FloatToStrF(v, ffGeneral, 15, 0, fs); }
String FloatToStr(Extended v) { return FloatToStr(v, FormatSettings()); }

String CurrToStrF(Currency v, TFloatFormat format, int digits, const TFormatSettings& fs) {
  TDigits d;
  RawCurrDigits(v, d);
  String out;
  AppendFloatText(out, d, 19, format, 19, digits, fs);
  return out;
}

String CurrToStrF(Currency v, TFloatFormat format, int digits) {
  return CurrToStrF(v, format, digits, FormatSettings());
}

String CurrToStr(Currency v) { return CurrToStrF(v, ffGeneral, 0); }

// ---------------------------------------------------------------- picture format

namespace {

struct TPictureSection {
  std::string_view Text;
  int DigitCount = 0;     // '0' and '#' placeholders
  int DecimalIndex = 0;   // placeholders before the decimal point
  int ForcedInt = 0;      // integer placeholders from the first '0' on: always print
  int ForcedFrac = 0;     // fraction placeholders up to the last '0': always print
  bool Thousands = false;
  bool Scientific = false;
};

// One pass over the format: splits it at ';' outside quotes (at most three sections) and
// measures the section wanted.
class TPictureScanner {
public:
  explicit TPictureScanner(std::string_view fmt) : FFmt(fmt) {}

  // The sections' bounds; a later ';' ends the third one.
  int Split(std::string_view (&out)[3]) const {
    int count = 0;
    std::size_t start = 0, n = FFmt.size();
    for (std::size_t i = 0; i < n; ++i) {
      char c = FFmt[i];
      if (c == '"' || c == '\'') {
        std::size_t close = FFmt.find(c, i + 1);
        i = close == std::string_view::npos ? n : close;
      } else if (c == ';') {
        out[count++] = FFmt.substr(start, i - start);
        start = i + 1;
        if (count == 3) return count;
      }
    }
    out[count++] = FFmt.substr(start);
    return count;
  }

  static TPictureSection Scan(std::string_view text) {
    TPictureSection s;
    s.Text = text;
    int decimalIndex = -1, firstZero = -1, lastZero = 0;
    for (std::size_t i = 0, n = text.size(); i < n; ++i) {
      switch (text[i]) {
        case '#': ++s.DigitCount; break;
        case '0':
          if (firstZero < 0) firstZero = s.DigitCount;
          lastZero = ++s.DigitCount;
          break;
        case '.':
          if (decimalIndex < 0) decimalIndex = s.DigitCount;
          break;
        case ',': s.Thousands = true; break;
        case 'E':
        case 'e':
          if (i + 1 < n && (text[i + 1] == '+' || text[i + 1] == '-')) {
            s.Scientific = true;
            ++i;
            while (i + 1 < n && text[i + 1] == '0') ++i;  // exponent digits are no placeholders
          }
          break;
        case '"':
        case '\'': {
          std::size_t close = text.find(text[i], i + 1);
          i = close == std::string_view::npos ? n : close;
          break;
        }
        default: break;
      }
    }
    s.DecimalIndex = decimalIndex < 0 ? s.DigitCount : decimalIndex;
    if (firstZero < 0 || firstZero > s.DecimalIndex) firstZero = s.DecimalIndex;
    s.ForcedInt = s.DecimalIndex - firstZero;
    s.ForcedFrac = lastZero > s.DecimalIndex ? lastZero - s.DecimalIndex : 0;
    if (s.Scientific) s.Thousands = false;
    return s;
  }

private:
  std::string_view FFmt;
};

// Lays the digits into the placeholders of one section, into a buffer sized beforehand.
class TPictureWriter {
public:
  TPictureWriter(const TPictureSection& s, const TDigits& d, const TFormatSettings& fs)
      : FSec(s), FD(d), FPoint(fs.DecimalSeparator), FThousands(fs.ThousandSeparator) {
    if (s.Scientific) {
      FPlace = s.DecimalIndex;
      FDelta = 0;
      FShownExp = d.Count == 0 ? 0 : d.Exponent - s.DecimalIndex;
    } else {
      FDelta = d.Exponent - s.DecimalIndex;
      FPlace = FDelta > 0 ? d.Exponent : s.DecimalIndex;
    }
  }

  void Run(String& out, bool minus) {
    // Each format character gives at most three characters (digit, separator, point), the
    // first placeholder also every surplus integer digit with its separator.
    std::size_t extra = FDelta > 0 ? static_cast<std::size_t>(FDelta) : 0;
    std::size_t bound = 3 * FSec.Text.size() + 2 * extra + 8;
    char local[128];
    String big;
    if (bound > sizeof local) big.resize(bound);
    char* begin = bound > sizeof local ? big.data() : local;
    FP = begin;
    if (minus) *FP++ = '-';
    std::string_view t = FSec.Text;
    for (std::size_t i = 0, n = t.size(); i < n; ++i) {
      char c = t[i];
      switch (c) {
        case '0':
        case '#': PutPlaceholder(); break;
        case '.':
        case ',': break;  // placed by the digits themselves
        case 'E':
        case 'e':
          if (i + 1 < n && (t[i + 1] == '+' || t[i + 1] == '-')) {
            bool plus = t[i + 1] == '+';
            int zeros = 0;
            for (i += 2; i < n && t[i] == '0'; ++i) ++zeros;
            --i;
            PutExponent(c, plus, zeros > 4 ? 4 : zeros);
          } else {
            *FP++ = c;
          }
          break;
        case '"':
        case '\'': {
          std::size_t close = t.find(c, i + 1);
          if (close == std::string_view::npos) close = n;
          std::memcpy(FP, t.data() + i + 1, close - i - 1);
          FP += close - i - 1;
          i = close;
          break;
        }
        default: *FP++ = c; break;
      }
    }
    out.append(begin, FP);
  }

private:
  char NextDigit() { return FNext < FD.Count ? FD.Digits[FNext++] : '0'; }

  void PutPlaceholder() {
    if (FDelta < 0) {
      // More integer placeholders than digits, or fraction places before the first digit.
      ++FDelta;
      if (FPlace <= FSec.ForcedInt) WriteDigit('0');
      else --FPlace;
      return;
    }
    if (FDelta == 0) {
      if (FPlace <= 0 && FNext >= FD.Count && -FPlace >= FSec.ForcedFrac) return;  // optional, nothing left
      WriteDigit(NextDigit());
      return;
    }
    // More integer digits than placeholders: they all go at the first one.
    while (FDelta > 0) { WriteDigit(NextDigit()); --FDelta; }
    WriteDigit(NextDigit());
  }

  void WriteDigit(char d) {
    if (FPlace == 0) *FP++ = FPoint;
    *FP++ = d;
    --FPlace;
    if (FSec.Thousands && FPlace > 0 && FPlace % 3 == 0) *FP++ = FThousands;
  }

  void PutExponent(char letter, bool plus, int minDigits) {
    *FP++ = letter;
    int e = FShownExp;
    if (e < 0) *FP++ = '-';
    else if (plus) *FP++ = '+';
    char buf[8];
    auto r = std::to_chars(buf, buf + sizeof buf, e < 0 ? -e : e);
    for (int pad = minDigits - static_cast<int>(r.ptr - buf); pad > 0; --pad) *FP++ = '0';
    for (char* p = buf; p < r.ptr; ++p) *FP++ = *p;
  }

  const TPictureSection& FSec;
  const TDigits& FD;
  char FPoint, FThousands;
  char* FP = nullptr;
  int FPlace = 0;     // integer places still to write; 0 = the decimal point is next
  int FDelta = 0;     // digits before the point minus integer placeholders
  int FNext = 0;      // next digit of FD
  int FShownExp = 0;
};

void RoundForSection(TDigits& d, const TPictureSection& s, int maxPrecision) {
  if (s.Scientific) {
    RoundDigits(d, ClampDigits(s.DigitCount, 1, maxPrecision));
  } else {
    int keep = d.Exponent + (s.DigitCount - s.DecimalIndex);
    RoundDigits(d, keep < maxPrecision ? keep : maxPrecision);
  }
}

// The last picture used on this thread, split and scanned: a grid formats every cell of a
// column with the same picture.
class TPictureCache {
public:
  static TPictureCache& Get() {
    thread_local TPictureCache cache;
    return cache;
  }

  void Use(std::string_view fmt) {
    if (FValid && fmt == FFmt) return;
    FFmt.assign(fmt);
    FCount = TPictureScanner(FFmt).Split(FSections);
    for (int i = 0; i < FCount; ++i) FScanned[i] = TPictureScanner::Scan(FSections[i]);
    FValid = true;
  }

  int Count() const { return FCount; }
  bool Empty(int i) const { return FSections[i].empty(); }
  const TPictureSection& Section(int i) const { return FScanned[i]; }

private:
  String FFmt;
  bool FValid = false;
  int FCount = 0;
  std::string_view FSections[3];
  TPictureSection FScanned[3];
};

String FormatPicture(std::string_view fmt, const TDigits& raw, int maxPrecision, const TFormatSettings& fs) {
  String out;
  if (raw.Special() || fmt.empty()) {
    AppendFloatText(out, raw, maxPrecision, ffGeneral, 15, 0, fs);
    return out;
  }
  TPictureCache& pic = TPictureCache::Get();
  pic.Use(fmt);
  bool zero = raw.Count == 0;
  auto usable = [&](int i) { return i < pic.Count() && !pic.Empty(i) ? i : 0; };
  int index = usable(zero ? 2 : raw.Negative ? 1 : 0);
  if (pic.Empty(index)) {
    AppendFloatText(out, raw, maxPrecision, ffGeneral, 15, 0, fs);
    return out;
  }
  TDigits d = raw;
  RoundForSection(d, pic.Section(index), maxPrecision);
  // Rounded away to nothing: a zero, shown by the zero section and without a sign.
  if (!zero && d.Count == 0) index = usable(2);
  // With a section of their own, negative numbers carry no extra sign.
  TPictureWriter(pic.Section(index), d, fs).Run(out, d.Negative && index == 0);
  return out;
}

}  // namespace

String FormatFloat(std::string_view fmt, Extended v, const TFormatSettings& fs) {
  TDigits raw;
  RawFloatDigits(v, raw);
  return FormatPicture(fmt, raw, 18, fs);
}

String FormatFloat(std::string_view fmt, Extended v) { return FormatFloat(fmt, v, FormatSettings()); }

String FormatCurr(std::string_view fmt, Currency v, const TFormatSettings& fs) {
  TDigits raw;
  RawCurrDigits(v, raw);
  return FormatPicture(fmt, raw, 19, fs);
}

String FormatCurr(std::string_view fmt, Currency v) { return FormatCurr(fmt, v, FormatSettings()); }
