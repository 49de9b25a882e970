#pragma once
// Character-aware string routines. Strings hold UTF-8; indexes and counts are in
// characters (code points) and 1-based, as the system's code expects.
#include "core/System.h"
#include <string_view>
#include <vector>

extern const char* const sLineBreak;  // CR LF

// --- UTF-8 primitives ---
int Utf8SeqLen(unsigned char lead);                       // 1..4 (invalid lead bytes count as 1)
std::size_t CharToByteIndex(std::string_view s, int charIndex0);  // byte offset of 0-based char
int ByteToCharIndex(std::string_view s, std::size_t byteIndex);    // chars before a byte offset
char32_t DecodeUtf8(std::string_view s, std::size_t& pos);         // reads one code point, advances pos
void AppendUtf8(String& out, char32_t cp);
std::u32string Utf8ToUtf32(std::string_view s);
String Utf32ToUtf8(std::u32string_view s);
bool IsAscii(std::string_view s);

// --- Delphi-style character routines (1-based, in characters) ---
int Length(std::string_view s);
String Copy(std::string_view s, int index, int count);
int Pos(std::string_view sub, std::string_view s);
int PosEx(std::string_view sub, std::string_view s, int offset = 1);
void Delete(String& s, int index, int count);
void Insert(std::string_view src, String& s, int index);
void SetLength(String& s, int newLength);  // pads with spaces
String CharAt(std::string_view s, int index);  // the index-th character as a string, '' past the end
String Chr(int code);                           // low 8 bits, as a character
int Ord(std::string_view s);                     // code of the first character, 0 when empty
String StringOfChar(std::string_view ch, int count);
String DupeString(std::string_view s, int count);
String LeftStr(std::string_view s, int count);
String RightStr(std::string_view s, int count);
String MidStr(std::string_view s, int index, int count);
String ReverseString(std::string_view s);

// --- case and comparison ---
String UpperCase(std::string_view s);   // ASCII only
String LowerCase(std::string_view s);
String AnsiUpperCase(std::string_view s);  // Unicode simple case mapping
String AnsiLowerCase(std::string_view s);
// One character with the same Unicode simple case mapping as AnsiUpperCase.
char32_t AnsiUpperChar(char32_t c);
// A letter or digit of any script (what word-wise editing treats as part of a word).
bool IsLetterOrDigitChar(char32_t c);
int CompareStr(std::string_view a, std::string_view b);    // byte order, <0 0 >0
int CompareText(std::string_view a, std::string_view b);   // ASCII case folded
bool SameStr(std::string_view a, std::string_view b);
// Inline: names are looked up by it on every property access.
inline bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x == y) continue;
    // Only a letter in its two cases differs in bit 0x20 alone.
    unsigned char upper = x & ~0x20;
    if ((x ^ y) != 0x20 || upper < 'A' || upper > 'Z') return false;
  }
  return true;
}
// A hash that agrees with SameText (names equal but for ASCII case hash alike), so that
// case-insensitive tables are searched without building an upper-case copy.
// It reads the length and three characters only: the names it serves are short, and the
// table compares the whole name anyway.
inline std::size_t TextHash(std::string_view s) noexcept {
  std::size_t n = s.size();
  if (n == 0) return 0;
  auto at = [&](std::size_t i) { return static_cast<std::size_t>(static_cast<unsigned char>(s[i] | 0x20)); };
  std::size_t h = (n << 24) ^ (at(0) << 16) ^ (at(n / 2) << 8) ^ at(n - 1);
  h *= 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}
int AnsiCompareStr(std::string_view a, std::string_view b);   // by code point
int AnsiCompareText(std::string_view a, std::string_view b);  // by folded code point
bool AnsiSameText(std::string_view a, std::string_view b);
bool AnsiSameStr(std::string_view a, std::string_view b);
int AnsiPos(std::string_view sub, std::string_view s);
bool StartsStr(std::string_view sub, std::string_view s);
bool EndsStr(std::string_view sub, std::string_view s);
bool StartsText(std::string_view sub, std::string_view s);
bool EndsText(std::string_view sub, std::string_view s);
bool ContainsStr(std::string_view s, std::string_view sub);
bool ContainsText(std::string_view s, std::string_view sub);

// --- trimming, quoting, replacing ---
String Trim(std::string_view s);  // strips codes 0..32 at both ends
String TrimLeft(std::string_view s);
String TrimRight(std::string_view s);
// The parts of s between separators, each trimmed; empty parts are dropped ("a; ;b" -> a, b).
std::vector<String> SplitTrimmed(std::string_view s, char separator);
String QuotedStr(std::string_view s);  // 'it''s'
String AnsiQuotedStr(std::string_view s, char quote);
String AnsiDequotedStr(std::string_view s, char quote);  // s unchanged when not quoted
String AnsiExtractQuotedStr(const char*& p, char quote);  // reads a quoted string, advances p

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
String StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                     TReplaceFlags flags);
String AdjustLineBreaks(std::string_view s);  // every line break becomes CR LF
bool IsDelimiter(std::string_view delimiters, std::string_view s, int index);
int LastDelimiter(std::string_view delimiters, std::string_view s);

// --- encodings, at the system's boundaries ---
WideString Utf8ToUtf16(std::string_view s);
String Utf16ToUtf8(std::u16string_view s);
String Utf8ToGbk(std::string_view s);   // characters GBK cannot hold become '?'
String GbkToUtf8(std::string_view s);   // invalid bytes become U+FFFD
// Well-formed UTF-8: no stray continuation bytes, no truncated or overlong sequences, no
// surrogates, nothing above U+10FFFF. Plain ASCII is valid.
bool IsValidUtf8(std::string_view s);
// Converts bytes between two iconv encodings; throws EConvertError when the encoding is unknown.
String ConvertEncoding(std::string_view bytes, const char* from, const char* to);
