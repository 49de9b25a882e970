// Format: the '%' specifier language over a list of typed arguments.
#include "core/Format.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/SysUtils_p.h"

#include <algorithm>
#include <charconv>

using namespace sysutils_impl;

namespace {

struct TFormatError {
  std::string_view Fmt;
  [[noreturn]] void Invalid() const { ConvertErrorFmt("Format '%s' invalid or incompatible with argument", Fmt); }
  [[noreturn]] void Missing() const { ConvertErrorFmt("No argument for format '%s'", Fmt); }
};

int Utf8Chars(std::string_view s) {
  int n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

void AppendHex(String& out, std::uint64_t v, int minDigits) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v, 16);
  for (int pad = minDigits - static_cast<int>(r.ptr - buf); pad > 0; --pad) out += '0';
  for (char* p = buf; p < r.ptr; ++p) out += (*p >= 'a' ? static_cast<char>(*p - 'a' + 'A') : *p);
}

// Decimal digits of a magnitude, zero-padded to `minDigits`, after an optional '-'.
void AppendDecimal(String& out, bool negative, std::uint64_t mag, int minDigits) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, mag);
  if (negative) out += '-';
  for (int pad = minDigits - static_cast<int>(r.ptr - buf); pad > 0; --pad) out += '0';
  out.append(buf, r.ptr);
}

std::uint64_t Magnitude(Int64 v) { return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v); }

class TFormatter {
public:
  TFormatter(std::string_view fmt, std::span<const TVarRec> args, const TFormatSettings& fs)
      : FFmt(fmt), FArgs(args), FFs(fs), FErr{fmt} {}

  String Run() {
    String out;
    out.reserve(FFmt.size() + 16 * FArgs.size());
    std::size_t i = 0, n = FFmt.size();
    while (i < n) {
      std::size_t pct = FFmt.find('%', i);
      if (pct == std::string_view::npos) { out.append(FFmt.substr(i)); break; }
      out.append(FFmt.substr(i, pct - i));
      i = pct + 1;
      if (i >= n) FErr.Invalid();
      if (FFmt[i] == '%') { out += '%'; ++i; continue; }
      i = Specifier(out, i);
    }
    return out;
  }

private:
  bool IsDigitAt(std::size_t i) const { return i < FFmt.size() && FFmt[i] >= '0' && FFmt[i] <= '9'; }

  // A number written in the specifier; 0 when there is none.
  int ReadDigits(std::size_t& i) const {
    int v = 0;
    for (; IsDigitAt(i); ++i)
      if (v < 100000000) v = v * 10 + (FFmt[i] - '0');
    return v;
  }

  // Widths and precisions beyond this are refused: they would only allocate.
  static constexpr std::int64_t kMaxWidth = 1 << 16;

  // A width or precision within the bound.
  int Bounded(std::int64_t v) const {
    if (v > kMaxWidth) FErr.Invalid();
    return static_cast<int>(v);
  }

  // The integer argument that a '*' stands for.
  int StarArg() {
    const TVarRec& a = NextArg();
    if (a.VType == vtInteger) return a.VInteger;
    if (a.VType == vtInt64 && a.VInt64 >= INT32_MIN && a.VInt64 <= INT32_MAX) return static_cast<int>(a.VInt64);
    FErr.Invalid();
  }

  const TVarRec& NextArg() {
    if (FNext >= FArgs.size()) FErr.Missing();
    return FArgs[FNext++];
  }

  std::size_t Specifier(String& out, std::size_t i) {
    std::size_t n = FFmt.size();
    // [index:] sets the argument this and the following specifiers start from.
    std::size_t j = i;
    while (IsDigitAt(j)) ++j;
    if (j > i && j < n && FFmt[j] == ':') {
      FNext = static_cast<std::size_t>(ReadDigits(i));
      i = j + 1;
    } else if (i + 1 < n && FFmt[i] == '*' && FFmt[i + 1] == ':') {
      int v = StarArg();
      if (v < 0) FErr.Invalid();
      FNext = static_cast<std::size_t>(v);
      i += 2;
    }
    bool left = false;
    if (i < n && FFmt[i] == '-') { left = true; ++i; }
    int width = 0;
    if (i < n && FFmt[i] == '*') {
      std::int64_t w = StarArg();  // wide, so that the smallest int negates
      ++i;
      if (w < 0) { left = true; w = -w; }  // a negative width left-justifies
      width = Bounded(w);
    } else {
      width = Bounded(ReadDigits(i));
    }
    int prec = -1;
    if (i < n && FFmt[i] == '.') {
      ++i;
      if (i < n && FFmt[i] == '*') {
        prec = std::max(StarArg(), -1);
        ++i;
      } else {
        prec = ReadDigits(i);
      }
      prec = Bounded(prec);
    }
    if (i >= n) FErr.Invalid();
    char type = FFmt[i++];
    if (type >= 'A' && type <= 'Z') type = static_cast<char>(type - 'A' + 'a');
    if (std::string_view("duxefgnmps").find(type) == std::string_view::npos) FErr.Invalid();
    const TVarRec& a = NextArg();
    std::size_t start = out.size();
    Convert(out, type, a, prec);
    if (width > 0) {
      int len = Utf8Chars(std::string_view(out).substr(start));
      if (len < width) {
        if (left) out.append(static_cast<std::size_t>(width - len), ' ');
        else out.insert(start, static_cast<std::size_t>(width - len), ' ');
      }
    }
    return i;
  }

  void Convert(String& out, char type, const TVarRec& a, int prec) {
    switch (type) {
      case 'd':
        switch (a.VType) {
          case vtInteger: AppendDecimal(out, a.VInteger < 0, Magnitude(a.VInteger), prec); return;
          case vtInt64: AppendDecimal(out, a.VInt64 < 0, Magnitude(a.VInt64), prec); return;
          case vtUInt64: AppendDecimal(out, false, a.VUInt64, prec); return;
          default: FErr.Invalid();
        }
      case 'u':
        switch (a.VType) {
          case vtInteger: AppendDecimal(out, false, static_cast<std::uint32_t>(a.VInteger), prec); return;
          case vtInt64: AppendDecimal(out, false, static_cast<std::uint64_t>(a.VInt64), prec); return;
          case vtUInt64: AppendDecimal(out, false, a.VUInt64, prec); return;
          default: FErr.Invalid();
        }
      case 'x':
        switch (a.VType) {
          case vtInteger: AppendHex(out, static_cast<std::uint32_t>(a.VInteger), prec); return;
          case vtInt64: AppendHex(out, static_cast<std::uint64_t>(a.VInt64), prec); return;
          case vtUInt64: AppendHex(out, a.VUInt64, prec); return;
          default: FErr.Invalid();
        }
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm': ConvertFloat(out, type, a, prec); return;
      case 'p':
        if (a.VType != vtPointer) FErr.Invalid();
        AppendHex(out, reinterpret_cast<std::uintptr_t>(a.VPointer), 16);
        return;
      case 's': {
        std::string_view s;
        if (a.VType == vtString) s = a.VString;
        else if (a.VType == vtChar) s = std::string_view(&a.VChar, 1);
        else FErr.Invalid();
        if (prec >= 0 && prec < static_cast<int>(s.size())) s = s.substr(0, CharToByteIndex(s, prec));
        out.append(s);
        return;
      }
      default: FErr.Invalid();
    }
  }

  void ConvertFloat(String& out, char type, const TVarRec& a, int prec) {
    TDigits rec;
    int maxPrecision;
    if (a.VType == vtExtended) { RawFloatDigits(a.VExtended, rec); maxPrecision = 18; }
    else if (a.VType == vtCurrency) { RawCurrDigits(Currency::FromRaw(a.VInt64), rec); maxPrecision = 19; }
    else FErr.Invalid();
    switch (type) {
      case 'e': AppendFloatText(out, rec, maxPrecision, ffExponent, prec < 0 ? 15 : prec, 3, FFs); return;
      case 'g': AppendFloatText(out, rec, maxPrecision, ffGeneral, prec < 0 ? 15 : prec, 0, FFs); return;
      case 'f': AppendFloatText(out, rec, maxPrecision, ffFixed, maxPrecision, prec < 0 ? 2 : prec, FFs); return;
      case 'n': AppendFloatText(out, rec, maxPrecision, ffNumber, maxPrecision, prec < 0 ? 2 : prec, FFs); return;
      default:
        AppendFloatText(out, rec, maxPrecision, ffCurrency, maxPrecision, prec < 0 ? FFs.CurrencyDecimals : prec, FFs);
        return;
    }
  }

  std::string_view FFmt;
  std::span<const TVarRec> FArgs;
  const TFormatSettings& FFs;
  TFormatError FErr;
  std::size_t FNext = 0;
};

}  // namespace

String Format(std::string_view fmt, std::span<const TVarRec> args, const TFormatSettings& fs) {
  return TFormatter(fmt, args, fs).Run();
}

String Format(std::string_view fmt, std::initializer_list<TVarRec> args) {
  return Format(fmt, std::span<const TVarRec>(args.begin(), args.size()), FormatSettings());
}

String Format(std::string_view fmt, const std::vector<TVarRec>& args) {
  return Format(fmt, std::span<const TVarRec>(args), FormatSettings());
}
