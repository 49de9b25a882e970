#include "report_legacy/FR_Utils.h"

#include "core/Exceptions.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "core/FloatFormat.h"
#include "core/FormatSettings.h"
#include "gui/Graphics.h"

#include <cassert>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>

// ================================================================ locale

namespace {

// The program's own texts, read once from the embedded table.
const std::unordered_map<int, String>& TextTable() {
  static const std::unordered_map<int, String> table = [] {
    std::unordered_map<int, String> t;
    const TResourceView* r = FindResourceData("texts/FR_Locale.txt");
    if (!r) return t;
    std::string_view text = r->Text();
    std::size_t p = 0;
    while (p < text.size()) {
      std::size_t e = text.find('\n', p);
      if (e == std::string_view::npos) e = text.size();
      std::string_view line = text.substr(p, e - p);
      p = e + 1;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.empty() || line[0] == '#') continue;
      std::size_t eq = line.find('=');
      int id;
      if (eq == std::string_view::npos || !TryStrToInt(line.substr(0, eq), id)) continue;
      t[id] = String(line.substr(eq + 1));
    }
    return t;
  }();
  return table;
}

std::unique_ptr<TfrLocale>& LocaleHolder() {
  static std::unique_ptr<TfrLocale> locale;
  return locale;
}

}  // namespace

String TfrLocale::LoadString(int Id) const {
  if (FOnLocalize) {
    String text;
    FOnLocalize(Id, text);
    if (!text.empty()) return text;
  }
  const auto& table = TextTable();
  auto it = table.find(Id);
  if (it == table.end()) return String();
  // The platform's string loader returned at most 1023 characters.
  return Length(it->second) > 1023 ? Copy(it->second, 1, 1023) : it->second;
}

TBitmap* TfrLocale::LoadBitmap(const String& Name) const {
  try {
    auto bmp = std::make_unique<TBitmap>();
    bmp->LoadFromResourceName(Name);
    return bmp.release();
  } catch (const Exception&) {
    return nullptr;
  }
}

TfrLocale* LocaleInstance() {
  auto& l = LocaleHolder();
  if (!l) l = std::make_unique<TfrLocale>();
  return l.get();
}

void FreeLocale() { LocaleHolder().reset(); }

String LocaleText(int Id) { return LocaleInstance()->LoadString(Id); }

// ================================================================ lists and hex

String NextListItem(const String& S, std::size_t& Pos, char Separator) {
  if (Pos >= S.size()) return String();
  std::size_t e = S.find(Separator, Pos);
  if (e == String::npos) e = S.size();
  String item = S.substr(Pos, e - Pos);
  Pos = e + 1;
  return item;
}

std::vector<String> SplitList(const String& S, char Separator) {
  std::vector<String> items;
  std::size_t p = 0;
  while (p < S.size()) items.push_back(NextListItem(S, p, Separator));
  return items;
}

char HexDigit(int Nibble) { return "0123456789ABCDEF"[Nibble & 15]; }

int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

String StrToHex(const String& S) {
  String r;
  r.reserve(S.size() * 2);
  for (unsigned char c : S) {
    r += HexDigit(c >> 4);
    r += HexDigit(c);
  }
  return r;
}

String HexToStr(const String& S) {
  String r;
  for (std::size_t i = 0; i + 1 < S.size(); i += 2) {
    int hi = HexValue(S[i]), lo = HexValue(S[i + 1]);
    r += static_cast<char>(((hi < 0 ? 0 : hi) << 4) | (lo < 0 ? 0 : lo));
  }
  return r;
}

// ================================================================ stream forms

namespace frstream {

void WriteByte(TStream* S, Byte V) { S->WriteBuffer(&V, 1); }
void WriteWord(TStream* S, Word V) {
  Byte b[2] = {Byte(V), Byte(V >> 8)};
  S->WriteBuffer(b, 2);
}
void WriteInt(TStream* S, std::int32_t V) {
  const auto u = static_cast<std::uint32_t>(V);
  Byte b[4] = {Byte(u), Byte(u >> 8), Byte(u >> 16), Byte(u >> 24)};
  S->WriteBuffer(b, 4);
}
void WriteDouble(TStream* S, double V) {
  std::uint64_t u;
  std::memcpy(&u, &V, 8);
  Byte b[8];
  for (int i = 0; i < 8; ++i) b[i] = Byte(u >> (8 * i));
  S->WriteBuffer(b, 8);
}

Byte ReadByte(TStream* S) {
  Byte b;
  S->ReadBuffer(&b, 1);
  return b;
}
Word ReadWord(TStream* S) {
  Byte b[2];
  S->ReadBuffer(b, 2);
  return Word(b[0] | b[1] << 8);
}
std::int32_t ReadInt(TStream* S) {
  Byte b[4];
  S->ReadBuffer(b, 4);
  return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
                                   std::uint32_t(b[3]) << 24);
}
double ReadDouble(TStream* S) {
  Byte b[8];
  S->ReadBuffer(b, 8);
  std::uint64_t u = 0;
  for (int i = 0; i < 8; ++i) u |= std::uint64_t(b[i]) << (8 * i);
  double v;
  std::memcpy(&v, &u, 8);
  return v;
}

String ToStreamText(const String& Utf8) { return IsAscii(Utf8) ? Utf8 : ConvertEncoding(Utf8, "UTF-8", "GB18030"); }
String FromStreamText(String Bytes) {
  // Plain ASCII is the same in both: the bytes themselves become the text, without a copy.
  if (IsAscii(Bytes)) return Bytes;
  return ConvertEncoding(Bytes, "GB18030", "UTF-8");
}

TBlockReader::TBlockReader(TStream* S, std::size_t Count) {
  assert(Count <= sizeof FBuf);
  S->ReadBuffer(FBuf, static_cast<Int64>(Count));
}

Word TBlockReader::Word2() {
  Word v = Word(FBuf[FPos] | FBuf[FPos + 1] << 8);
  FPos += 2;
  return v;
}

std::int32_t TBlockReader::Int4() {
  const auto v = static_cast<std::int32_t>(std::uint32_t(FBuf[FPos]) | std::uint32_t(FBuf[FPos + 1]) << 8 |
                                           std::uint32_t(FBuf[FPos + 2]) << 16 | std::uint32_t(FBuf[FPos + 3]) << 24);
  FPos += 4;
  return v;
}

namespace {
// 16-bit counted: longer texts have no stored form; they are cut rather than written wrong.
String Counted(const String& Utf8) {
  String b = ToStreamText(Utf8);
  if (b.size() > 0xFFFF) b.resize(0xFFFF);
  return b;
}
[[noreturn]] void ReadPastEnd() { throw EReadError("Stream read error"); }
}  // namespace

// ---- the buffered reader

TBufferedReader::~TBufferedReader() {
  if (FEnd > FPos) FStream->Seek(-static_cast<Int64>(FEnd - FPos), soCurrent);
}

bool TBufferedReader::More() {
  if (FPos > 0) {
    std::memmove(FBuf, FBuf + FPos, FEnd - FPos);
    FEnd -= FPos;
    FPos = 0;
  }
  const Int64 got = FStream->Read(FBuf + FEnd, static_cast<Int64>(sizeof FBuf - FEnd));
  if (got <= 0) return false;
  FEnd += static_cast<std::size_t>(got);
  return true;
}

void TBufferedReader::Fill(std::size_t n) {
  assert(n <= sizeof FBuf);
  while (FEnd - FPos < n)
    if (!More()) ReadPastEnd();
}

Int64 TBufferedReader::Left() const {
  return static_cast<Int64>(FEnd - FPos) + FStream->Size() - FStream->Position();
}

// n bytes; more than the stream holds are refused before anything is allocated.
String TBufferedReader::Bytes(std::size_t n) {
  const std::size_t have = FEnd - FPos;
  if (n <= have) {
    String r(FBuf + FPos, n);
    FPos += n;
    return r;
  }
  if (static_cast<Int64>(n) > Left()) ReadPastEnd();
  String r(n, '\0');
  std::memcpy(r.data(), FBuf + FPos, have);
  FPos = FEnd = 0;
  FStream->ReadBuffer(r.data() + have, static_cast<Int64>(n - have));
  return r;
}

String TBufferedReader::CountedString() {
  // The text and its terminating byte at once.
  String b = Bytes(std::size_t(Word2()) + 1);
  b.pop_back();
  return FromStreamText(std::move(b));
}

void TBufferedReader::CountedLines(TStrings* Lines) {
  Lines->Clear();
  const Word count = Word2();
  if (count == 0) {
    Byte1();
    return;
  }
  // The count is not trusted beyond zero: lines follow until the byte after one is 0. Room
  // for the lines the stream can hold at most (three bytes each) is made at once.
  Lines->SetCapacity(static_cast<int>(std::min<Int64>(count, Left() / 3)));
  for (;;) {
    // The line and the byte after it at once.
    String b = Bytes(std::size_t(Word2()) + 1);
    const char after = b.back();
    b.pop_back();
    Lines->Add(FromStreamText(std::move(b)));
    if (after == 0) break;
  }
}

String TBufferedReader::ZString() {
  String b;
  for (;;) {
    if (FPos == FEnd && !More()) ReadPastEnd();
    const char* from = FBuf + FPos;
    const std::size_t have = FEnd - FPos;
    if (const void* z = std::memchr(from, 0, have)) {
      const auto k = static_cast<std::size_t>(static_cast<const char*>(z) - from);
      b.append(from, k);
      FPos += k + 1;
      return FromStreamText(std::move(b));
    }
    b.append(from, have);
    FPos = FEnd;
  }
}

void TBufferedReader::ZLines(TStrings* Lines) {
  Lines->Clear();
  String line;
  for (;;) {
    if (FPos == FEnd && !More()) ReadPastEnd();
    const char c = FBuf[FPos++];
    if (c == 0) break;
    if (c == 13) {
      Lines->Add(FromStreamText(std::move(line)));
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) Lines->Add(FromStreamText(std::move(line)));
}

String TBufferedReader::VersionedString(int Version) { return Version >= 23 ? CountedString() : ZString(); }

void TBufferedReader::VersionedLines(TStrings* Lines, int Version) {
  if (Version >= 23) CountedLines(Lines);
  else ZLines(Lines);
}

// ---- the stream forms

void WriteCountedString(TStream* S, const String& V) {
  String b = Counted(V);
  WriteWord(S, static_cast<Word>(b.size()));
  if (!b.empty()) S->WriteBuffer(b.data(), static_cast<Int64>(b.size()));
  WriteByte(S, 0);
}

String ReadCountedString(TStream* S) { return TBufferedReader(S).CountedString(); }

void WriteCountedLines(TStream* S, TStrings* Lines) {
  const int count = Lines ? std::min(Lines->Count(), 0xFFFF) : 0;
  WriteWord(S, static_cast<Word>(count));
  for (int i = 0; i < count; ++i) {
    String b = Counted(Lines->Strings(i));
    WriteWord(S, static_cast<Word>(b.size()));
    if (!b.empty()) S->WriteBuffer(b.data(), static_cast<Int64>(b.size()));
    if (i + 1 < count) WriteByte(S, 13);
  }
  WriteByte(S, 0);
}

void ReadCountedLines(TStream* S, TStrings* Lines) { TBufferedReader(S).CountedLines(Lines); }

String ReadZString(TStream* S) { return TBufferedReader(S).ZString(); }

void ReadZLines(TStream* S, TStrings* Lines) { TBufferedReader(S).ZLines(Lines); }

String ReadVersionedString(TStream* S, int Version) {
  return Version >= 23 ? ReadCountedString(S) : ReadZString(S);
}

void ReadVersionedLines(TStream* S, TStrings* Lines, int Version) {
  if (Version >= 23) ReadCountedLines(S, Lines);
  else ReadZLines(S, Lines);
}

void WriteShortCounted(TStream* S, const String& Bytes) {
  String b = Bytes.size() > 0xFFFF ? Bytes.substr(0, 0xFFFF) : Bytes;
  WriteWord(S, static_cast<Word>(b.size()));
  if (!b.empty()) S->WriteBuffer(b.data(), static_cast<Int64>(b.size()));
}

String ReadShortCounted(TStream* S) {
  TBufferedReader r(S);
  const Word n = r.Word2();
  return r.Bytes(n);
}

}  // namespace frstream

// ================================================================ the newer XML format

String EscapeXml(const String& S) {
  String r;
  r.reserve(S.size() + 8);
  for (char c : S) {
    switch (c) {
      case '\r': r += "&#13;"; break;
      case '\n': r += "&#10;"; break;
      case '"': r += "&#34;"; break;
      case '<': r += "&#60;"; break;
      case '>': r += "&#62;"; break;
      // A bare ampersand would make the document unreadable to any XML reader.
      case '&': r += "&amp;"; break;
      default: r += c; break;
    }
  }
  return r;
}

String StreamToHex(TMemoryStream* Stream) {
  Stream->SetPosition(0);
  const auto* p = static_cast<const unsigned char*>(Stream->Memory());
  String r;
  r.reserve(static_cast<std::size_t>(Stream->Size()) * 2);
  for (Int64 i = 0; i < Stream->Size(); ++i) {
    r += HexDigit(p[i] >> 4);
    r += HexDigit(p[i] & 15);
  }
  Stream->SetPosition(Stream->Size());
  return r;
}

String UnshiftPassword(const String& S) {
  String r = S;
  for (char& c : r) c = static_cast<char>(static_cast<unsigned char>(c) - 10);
  return r;
}

void WriteXmlText(TStream* S, const String& Text) {
  if (!Text.empty()) S->WriteBuffer(Text.data(), static_cast<Int64>(Text.size()));
}

void WriteXmlAttr(TStream* S, const String& Name, const String& Value) {
  String a;
  a.reserve(Name.size() + Value.size() + 4);
  a += ' ';
  a += Name;
  a += "=\"";
  a += Value;
  a += '"';
  WriteXmlText(S, a);
}

String XmlFloat(double V) {
  // Whole numbers (most frame widths) need no settings of their own.
  if (V == std::trunc(V) && std::fabs(V) < 1e15) return IntToStr(static_cast<Int64>(V));
  TFormatSettings fs = FormatSettings();
  fs.DecimalSeparator = '.';
  return FloatToStr(V, fs);
}
