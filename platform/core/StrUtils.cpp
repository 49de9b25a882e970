#include "core/StrUtils.h"
#include "core/Exceptions.h"

#include <iconv.h>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>
#include <cerrno>
#include <cstring>
#include <cwctype>
#include <clocale>
#include <locale.h>
#include <mutex>

const char* const sLineBreak = "\r\n";

// ---------------------------------------------------------------- UTF-8 primitives

int Utf8SeqLen(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

std::size_t CharToByteIndex(std::string_view s, int charIndex0) {
  std::size_t pos = 0;
  for (int i = 0; i < charIndex0 && pos < s.size(); ++i) {
    pos += Utf8SeqLen(static_cast<unsigned char>(s[pos]));
  }
  return pos < s.size() ? pos : s.size();
}

int ByteToCharIndex(std::string_view s, std::size_t byteIndex) {
  int n = 0;
  for (std::size_t pos = 0; pos < byteIndex && pos < s.size(); ++n)
    pos += Utf8SeqLen(static_cast<unsigned char>(s[pos]));
  return n;
}

char32_t DecodeUtf8(std::string_view s, std::size_t& pos) {
  unsigned char c = static_cast<unsigned char>(s[pos]);
  int len = Utf8SeqLen(c);
  if (len == 1 || pos + len > s.size()) { ++pos; return c < 0x80 ? c : 0xFFFD; }
  char32_t cp = c & (0x7F >> len);
  for (int i = 1; i < len; ++i) {
    unsigned char cc = static_cast<unsigned char>(s[pos + i]);
    if ((cc & 0xC0) != 0x80) { ++pos; return 0xFFFD; }
    cp = (cp << 6) | (cc & 0x3F);
  }
  pos += len;
  return cp;
}

void AppendUtf8(String& out, char32_t cp) {
  if (cp < 0x80) out += static_cast<char>(cp);
  else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u32string Utf8ToUtf32(std::string_view s) {
  std::u32string r;
  r.reserve(s.size());
  for (std::size_t p = 0; p < s.size();) r += DecodeUtf8(s, p);
  return r;
}

String Utf32ToUtf8(std::u32string_view s) {
  String r;
  r.reserve(s.size());
  for (char32_t c : s) AppendUtf8(r, c);
  return r;
}

bool IsAscii(std::string_view s) {
  // Eight bytes at a time: any high bit in the word is a byte beyond ASCII.
  const char* p = s.data();
  std::size_t n = s.size();
  std::uint64_t high = 0;
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    high |= w;
  }
  for (; n > 0; ++p, --n) high |= static_cast<unsigned char>(*p);
  return (high & 0x8080808080808080ull) == 0;
}

// ---------------------------------------------------------------- character routines

int Length(std::string_view s) {
  int n = 0;
  for (std::size_t p = 0; p < s.size(); ++n) p += Utf8SeqLen(static_cast<unsigned char>(s[p]));
  return n;
}

String Copy(std::string_view s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0) return {};
  std::size_t b = CharToByteIndex(s, index - 1);
  std::size_t e = b;
  for (int i = 0; i < count && e < s.size(); ++i) e += Utf8SeqLen(static_cast<unsigned char>(s[e]));
  if (e > s.size()) e = s.size();
  return String(s.substr(b, e - b));
}

int PosEx(std::string_view sub, std::string_view s, int offset) {
  if (sub.empty() || offset < 1) return 0;
  std::size_t start = CharToByteIndex(s, offset - 1);
  std::size_t f = s.find(sub, start);
  if (f == std::string_view::npos) return 0;
  return ByteToCharIndex(s, f) + 1;
}

int Pos(std::string_view sub, std::string_view s) { return PosEx(sub, s, 1); }
int AnsiPos(std::string_view sub, std::string_view s) { return Pos(sub, s); }

void Delete(String& s, int index, int count) {
  if (index < 1 || count <= 0) return;
  std::size_t b = CharToByteIndex(s, index - 1);
  if (b >= s.size()) return;
  std::size_t e = CharToByteIndex(std::string_view(s).substr(b), count) + b;
  s.erase(b, e - b);
}

void Insert(std::string_view src, String& s, int index) {
  if (index < 1) index = 1;
  s.insert(CharToByteIndex(s, index - 1), src);
}

void SetLength(String& s, int n) {
  if (n <= 0) { s.clear(); return; }
  int len = Length(s);
  if (n < len) s.resize(CharToByteIndex(s, n));
  else s.append(static_cast<std::size_t>(n - len), ' ');
}

String CharAt(std::string_view s, int index) { return Copy(s, index, 1); }

String Chr(int code) {
  String r;
  AppendUtf8(r, static_cast<char32_t>(code & 0xFF));
  return r;
}

int Ord(std::string_view s) {
  if (s.empty()) return 0;
  std::size_t p = 0;
  return static_cast<int>(DecodeUtf8(s, p));
}

String DupeString(std::string_view s, int count) {
  String r;
  for (int i = 0; i < count; ++i) r += s;
  return r;
}
String StringOfChar(std::string_view ch, int count) { return DupeString(Copy(ch, 1, 1), count); }
String LeftStr(std::string_view s, int count) { return Copy(s, 1, count); }
String RightStr(std::string_view s, int count) {
  int len = Length(s);
  return count >= len ? String(s) : Copy(s, len - count + 1, count);
}
String MidStr(std::string_view s, int index, int count) { return Copy(s, index, count); }
String ReverseString(std::string_view s) {
  std::u32string u = Utf8ToUtf32(s);
  return Utf32ToUtf8(std::u32string(u.rbegin(), u.rend()));
}

// ---------------------------------------------------------------- case and comparison

namespace {
locale_t Utf8Locale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (!l) l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    return l;
  }();
  return loc;
}
char32_t FoldUpper(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), Utf8Locale()));
}
char32_t FoldLower(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), Utf8Locale()));
}
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }
}  // namespace

char32_t AnsiUpperChar(char32_t c) { return FoldUpper(c); }

bool IsLetterOrDigitChar(char32_t c) {
  if (c < 0x80) return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
  return iswalnum_l(static_cast<wint_t>(c), Utf8Locale()) != 0;
}

String UpperCase(std::string_view s) {
  String r(s);
  for (char& c : r) c = AsciiUpper(c);
  return r;
}
String LowerCase(std::string_view s) {
  String r(s);
  for (char& c : r) c = AsciiLower(c);
  return r;
}
String AnsiUpperCase(std::string_view s) {
  if (IsAscii(s)) return UpperCase(s);
  String r;
  r.reserve(s.size());
  for (std::size_t p = 0; p < s.size();) AppendUtf8(r, FoldUpper(DecodeUtf8(s, p)));
  return r;
}
String AnsiLowerCase(std::string_view s) {
  if (IsAscii(s)) return LowerCase(s);
  String r;
  r.reserve(s.size());
  for (std::size_t p = 0; p < s.size();) AppendUtf8(r, FoldLower(DecodeUtf8(s, p)));
  return r;
}

int CompareStr(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

int CompareText(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(AsciiUpper(a[i]));
    unsigned char cb = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameStr(std::string_view a, std::string_view b) { return a == b; }

// UTF-8 byte order equals code point order.
int AnsiCompareStr(std::string_view a, std::string_view b) { return CompareStr(a, b); }

int AnsiCompareText(std::string_view a, std::string_view b) {
  std::size_t pa = 0, pb = 0;
  while (pa < a.size() && pb < b.size()) {
    // Two ASCII bytes fold by themselves; only a multi-byte character needs decoding.
    const unsigned char xa = static_cast<unsigned char>(a[pa]), xb = static_cast<unsigned char>(b[pb]);
    if ((xa | xb) < 0x80) {
      const char ua = AsciiUpper(static_cast<char>(xa)), ub = AsciiUpper(static_cast<char>(xb));
      if (ua != ub) return static_cast<unsigned char>(ua) < static_cast<unsigned char>(ub) ? -1 : 1;
      ++pa;
      ++pb;
      continue;
    }
    char32_t ca = FoldUpper(DecodeUtf8(a, pa));
    char32_t cb = FoldUpper(DecodeUtf8(b, pb));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (pa < a.size()) return 1;
  if (pb < b.size()) return -1;
  return 0;
}
bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }
bool AnsiSameStr(std::string_view a, std::string_view b) { return a == b; }

bool StartsStr(std::string_view sub, std::string_view s) { return s.substr(0, sub.size()) == sub; }
bool EndsStr(std::string_view sub, std::string_view s) {
  return s.size() >= sub.size() && s.substr(s.size() - sub.size()) == sub;
}
bool StartsText(std::string_view sub, std::string_view s) {
  return s.size() >= sub.size() && AnsiSameText(s.substr(0, sub.size()), sub);
}
bool EndsText(std::string_view sub, std::string_view s) {
  return s.size() >= sub.size() && AnsiSameText(s.substr(s.size() - sub.size()), sub);
}
bool ContainsStr(std::string_view s, std::string_view sub) { return s.find(sub) != std::string_view::npos; }
bool ContainsText(std::string_view s, std::string_view sub) {
  return AnsiUpperCase(s).find(AnsiUpperCase(sub)) != String::npos;
}

// ---------------------------------------------------------------- trimming, quoting

String Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return String(s.substr(b, e - b));
}
String TrimLeft(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && static_cast<unsigned char>(s[b]) <= 32) ++b;
  return String(s.substr(b));
}
String TrimRight(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return String(s.substr(0, e));
}

std::vector<String> SplitTrimmed(std::string_view s, char separator) {
  std::vector<String> parts;
  std::size_t start = 0;
  while (start <= s.size()) {
    std::size_t end = s.find(separator, start);
    if (end == std::string_view::npos) end = s.size();
    String part = Trim(s.substr(start, end - start));
    if (!part.empty()) parts.push_back(std::move(part));
    start = end + 1;
  }
  return parts;
}

String AnsiQuotedStr(std::string_view s, char quote) {
  String r;
  r.reserve(s.size() + 2);
  r += quote;
  for (char c : s) {
    r += c;
    if (c == quote) r += quote;
  }
  r += quote;
  return r;
}
String QuotedStr(std::string_view s) { return AnsiQuotedStr(s, '\''); }

String AnsiExtractQuotedStr(const char*& p, char quote) {
  String r;
  if (!p || *p != quote) return r;
  ++p;
  while (*p) {
    if (*p == quote) {
      if (p[1] == quote) { r += quote; p += 2; continue; }
      ++p;
      break;
    }
    r += *p++;
  }
  return r;
}

String AnsiDequotedStr(std::string_view s, char quote) {
  if (s.size() < 2 || s.front() != quote || s.back() != quote) return String(s);
  String tmp(s);
  const char* p = tmp.c_str();
  String r = AnsiExtractQuotedStr(p, quote);
  return *p ? String(s) : r;
}

String StringReplace(std::string_view s, std::string_view oldP, std::string_view newP, TReplaceFlags flags) {
  if (oldP.empty()) return String(s);
  bool all = flags.Contains(rfReplaceAll);
  String hay = flags.Contains(rfIgnoreCase) ? AnsiUpperCase(s) : String(s);
  String pat = flags.Contains(rfIgnoreCase) ? AnsiUpperCase(oldP) : String(oldP);
  // Case folding can change byte lengths in rare cases; fall back to ASCII folding then.
  if (hay.size() != s.size() || pat.size() != oldP.size()) {
    hay = flags.Contains(rfIgnoreCase) ? UpperCase(s) : String(s);
    pat = flags.Contains(rfIgnoreCase) ? UpperCase(oldP) : String(oldP);
  }
  String r;
  std::size_t pos = 0;
  while (true) {
    std::size_t f = hay.find(pat, pos);
    if (f == String::npos) break;
    r.append(s.substr(pos, f - pos));
    r.append(newP);
    pos = f + pat.size();
    if (!all) break;
  }
  r.append(s.substr(pos));
  return r;
}

String AdjustLineBreaks(std::string_view s) {
  String r;
  r.reserve(s.size() + 8);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r') {
      r += "\r\n";
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      r += "\r\n";
    } else {
      r += c;
    }
  }
  return r;
}

bool IsDelimiter(std::string_view delimiters, std::string_view s, int index) {
  String ch = CharAt(s, index);
  return !ch.empty() && delimiters.find(ch) != std::string_view::npos;
}

int LastDelimiter(std::string_view delimiters, std::string_view s) {
  std::u32string d = Utf8ToUtf32(delimiters), u = Utf8ToUtf32(s);
  for (int i = static_cast<int>(u.size()) - 1; i >= 0; --i)
    if (d.find(u[i]) != std::u32string::npos) return i + 1;
  return 0;
}

// ---------------------------------------------------------------- encodings

namespace {
// Converts with iconv; an unconvertible or invalid input unit is replaced by `subst`
// (already in the target encoding) and skipped by `skip` bytes (0: one UTF-8 character).
namespace {

// One converter per direction and thread, opened on first use: exports convert every cell,
// and opening a converter costs more than converting a short text.
iconv_t Converter(const char* from, const char* to) {
  struct TCache {
    std::vector<std::pair<String, iconv_t>> Items;
    ~TCache() {
      for (auto& [key, cd] : Items) iconv_close(cd);
    }
  };
  thread_local TCache cache;
  String key = String(from) + ">" + to;
  for (auto& [k, cd] : cache.Items)
    if (k == key) return cd;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw EConvertError(String("Unknown text encoding: ") + from + " to " + to);
  cache.Items.emplace_back(key, cd);
  return cd;
}

}  // namespace

String Iconv(std::string_view in, const char* from, const char* to, std::string_view subst, std::size_t skip) {
  iconv_t cd = Converter(from, to);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh state
  String out;
  out.resize(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  std::size_t used = 0;
  while (srcLeft > 0) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
    } else {  // EILSEQ or EINVAL: replace one unit and go on
      std::size_t unit = skip ? skip : static_cast<std::size_t>(Utf8SeqLen(static_cast<unsigned char>(*src)));
      std::size_t n = std::min(unit, srcLeft);
      src += n;
      srcLeft -= n;
      if (out.size() - used < subst.size()) out.resize(out.size() * 2 + subst.size());
      out.replace(used, subst.size(), subst);
      used += subst.size();
    }
  }
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  out.resize(used);
  return out;
}
}  // namespace

String ConvertEncoding(std::string_view bytes, const char* from, const char* to) {
  return Iconv(bytes, from, to, "?", 1);
}

WideString Utf8ToUtf16(std::string_view s) {
  WideString r;
  r.reserve(s.size());
  for (std::size_t p = 0; p < s.size();) {
    char32_t c = DecodeUtf8(s, p);
    if (c >= 0x10000) {
      c -= 0x10000;
      r += static_cast<char16_t>(0xD800 + (c >> 10));
      r += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      r += static_cast<char16_t>(c);
    }
  }
  return r;
}

String Utf16ToUtf8(std::u16string_view s) {
  String r;
  r.reserve(s.size() * 3);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(r, c);
  }
  return r;
}

namespace {

// The GBK bytes of the characters of the Basic Multilingual Plane, asked of iconv a page of 256
// characters at a time when a text first holds one of them (one call over the page, each
// character followed by a line break): converting a text is then a look-up per character,
// where iconv costs more per call than per byte. An entry is 0 for a character GBK lacks,
// else its byte, or its two bytes with the lead byte high.
struct TGbkTable {
  std::uint16_t Codes[0x10000] = {};
  std::atomic<bool> Ready[0x100] = {};
  std::mutex Filling;
};

void FillGbkPage(TGbkTable& t, unsigned page) {
  std::vector<char32_t> chars;
  String in;
  for (char32_t c = std::max<char32_t>(page << 8, 0x80); c < (page + 1) << 8; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    chars.push_back(c);
    AppendUtf8(in, c);
    in += '\n';
  }
  // A character GBK lacks comes out as '?'; no GBK byte pair holds a line break.
  String out = Iconv(in, "UTF-8", "GBK", "?", 0);
  std::size_t pos = 0;
  for (char32_t c : chars) {
    std::size_t end = out.find('\n', pos);
    if (end == String::npos) break;
    std::string_view bytes(out.data() + pos, end - pos);
    if (bytes.size() == 1 && bytes[0] != '?') t.Codes[c] = static_cast<unsigned char>(bytes[0]);
    else if (bytes.size() == 2)
      t.Codes[c] =
          static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]));
    pos = end + 1;
  }
}

std::uint16_t GbkCode(char32_t c) {
  static TGbkTable table;
  unsigned page = static_cast<unsigned>(c >> 8);
  if (!table.Ready[page].load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> lock(table.Filling);
    if (!table.Ready[page].load(std::memory_order_relaxed)) {
      FillGbkPage(table, page);
      table.Ready[page].store(true, std::memory_order_release);
    }
  }
  return table.Codes[c];
}

// The character of the well-formed UTF-8 sequence at pos (no overlong form, no surrogate, at
// most U+10FFFF) and its length; false for anything else.
bool DecodeWellFormed(std::string_view s, std::size_t pos, char32_t& c, std::size_t& length) {
  auto lead = static_cast<unsigned char>(s[pos]);
  length = static_cast<std::size_t>(Utf8SeqLen(lead));
  if (length == 1 || pos + length > s.size()) return false;
  c = lead & (0xFF >> (length + 1));
  for (std::size_t i = 1; i < length; ++i) {
    auto b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) return false;
    c = c << 6 | (b & 0x3F);
  }
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  return c >= kLeast[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

}  // namespace

// As iconv converts with the '?' substitute: a character GBK lacks, and a malformed sequence,
// become one '?' and are skipped by the length their lead byte gives.
String Utf8ToGbk(std::string_view s) {
  if (IsAscii(s)) return String(s);
  // No character takes more bytes in GBK than in UTF-8.
  String out(s.size(), '\0');
  std::size_t n = 0;
  for (std::size_t p = 0; p < s.size();) {
    auto lead = static_cast<unsigned char>(s[p]);
    if (lead < 0x80) {
      out[n++] = static_cast<char>(lead);
      ++p;
      continue;
    }
    char32_t c = 0;
    std::size_t length = 0;
    std::uint16_t gbk = DecodeWellFormed(s, p, c, length) && c < 0x10000 ? GbkCode(c) : 0;
    if (gbk == 0) {
      out[n++] = '?';
      p += std::min(static_cast<std::size_t>(Utf8SeqLen(lead)), s.size() - p);
      continue;
    }
    if (gbk > 0xFF) out[n++] = static_cast<char>(gbk >> 8);
    out[n++] = static_cast<char>(gbk & 0xFF);
    p += length;
  }
  out.resize(n);
  return out;
}

bool IsValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n;) {
    unsigned c = p[i];
    if (c < 0x80) { ++i; continue; }
    int len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (len == 0 || i + len > n) return false;
    for (int k = 1; k < len; ++k)
      if ((p[i + k] & 0xC0) != 0x80) return false;
    unsigned c1 = p[i + 1];
    if (c == 0xE0 && c1 < 0xA0) return false;  // overlong
    if (c == 0xED && c1 >= 0xA0) return false;  // surrogates
    if (c == 0xF0 && c1 < 0x90) return false;  // overlong
    if (c == 0xF4 && c1 >= 0x90) return false;  // above U+10FFFF
    i += len;
  }
  return true;
}

String GbkToUtf8(std::string_view s) {
  if (IsAscii(s)) return String(s);
  return Iconv(s, "GBK", "UTF-8", "\xEF\xBF\xBD", 1);
}
