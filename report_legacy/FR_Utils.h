#pragma once
// Small services of the older report engine: its texts by number (the locale), lists in one
// text, hexadecimal text, and the string forms of its binary streams. Report files hold GBK
// text; in memory texts are UTF-8, converted at the stream (GB18030, which holds every
// character, so that a written text reads back the same).
#include "core/Events.h"
#include "core/System.h"
#include "core/Types.h"

#include <vector>

class TStream;
class TStrings;
class TBitmap;

KELM_EVENT(TfrLocalizeEvent, void(int Id, String& Text));

// The texts of the engine by number: the hook first, then the program's own table.
class TfrLocale : public TObject {
public:
  String LoadString(int Id) const;
  // The bitmap resource of that name ("bitmaps/<name>.bmp"); nullptr when it cannot be loaded.
  TBitmap* LoadBitmap(const String& Name) const;

  bool LocaleLoaded() const { return FLocaleLoaded; }
  const TfrLocalizeEvent& OnLocalize() const { return FOnLocalize; }
  void SetOnLocalize(const TfrLocalizeEvent& Value) { FOnLocalize = Value; }

private:
  bool FLocaleLoaded = false;  // no resource library is loaded in this system
  TfrLocalizeEvent FOnLocalize;
};

// The locale, created on first use; FreeLocale releases it (the globals' destruction).
TfrLocale* LocaleInstance();
void FreeLocale();
String LocaleText(int Id);

// Items of a list in one text: the item that starts at Pos (0-based) up to the separator; Pos
// moves past it. SplitList returns every item.
String NextListItem(const String& S, std::size_t& Pos, char Separator = ';');
std::vector<String> SplitList(const String& S, char Separator = ';');

char HexDigit(int Nibble);   // upper case
int HexValue(char C);        // -1 for a character that is no hexadecimal digit
String StrToHex(const String& S);  // two upper-case digits per byte, high nibble first
String HexToStr(const String& S);  // either case; a stray digit at the end is dropped

// ---- the binary stream forms (little-endian; texts are GBK in the stream)
namespace frstream {
void WriteByte(TStream* S, Byte V);
void WriteWord(TStream* S, Word V);
void WriteInt(TStream* S, std::int32_t V);
void WriteDouble(TStream* S, double V);
// Every reader raises EReadError at the end of the stream.
Byte ReadByte(TStream* S);
Word ReadWord(TStream* S);
std::int32_t ReadInt(TStream* S);
double ReadDouble(TStream* S);

String ToStreamText(const String& Utf8);    // GB18030 bytes
String FromStreamText(String Bytes);  // UTF-8

// A fixed run of a record read at once and taken apart in order.
class TBlockReader {
public:
  TBlockReader(TStream* S, std::size_t Count);
  Byte Byte1() { return FBuf[FPos++]; }
  Word Word2();
  std::int32_t Int4();

private:
  Byte FBuf[64];
  std::size_t FPos = 0;
};

// A record's fields read through a buffer that the stream fills in few large reads, instead
// of one read of the stream per field. The bytes read ahead are given back when the reader
// goes, so the stream stands just behind the last byte taken, also when a read fails.
// Every read raises EReadError when the stream ends first.
class TBufferedReader {
public:
  explicit TBufferedReader(TStream* S) : FStream(S) {}
  ~TBufferedReader();
  TBufferedReader(const TBufferedReader&) = delete;
  TBufferedReader& operator=(const TBufferedReader&) = delete;

  Byte Byte1() {
    Need(1);
    return static_cast<Byte>(FBuf[FPos++]);
  }
  Word Word2() {
    Need(2);
    const auto* b = reinterpret_cast<const Byte*>(FBuf + FPos);
    FPos += 2;
    return Word(b[0] | b[1] << 8);
  }
  std::int32_t Int4() {
    Need(4);
    const auto* b = reinterpret_cast<const Byte*>(FBuf + FPos);
    FPos += 4;
    return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
                                     std::uint32_t(b[3]) << 24);
  }
  // The next n bytes as they are.
  String Bytes(std::size_t n);
  // The forms below, as their stream functions read them.
  String CountedString();
  void CountedLines(TStrings* Lines);
  String ZString();
  void ZLines(TStrings* Lines);
  String VersionedString(int Version);
  void VersionedLines(TStrings* Lines, int Version);

private:
  // At least n bytes (a field's, not more than the buffer holds) are buffered.
  void Need(std::size_t n) {
    if (FEnd - FPos < n) Fill(n);
  }
  void Fill(std::size_t n);
  bool More();                  // reads more; false at the end of the stream
  Int64 Left() const;           // bytes buffered and in the stream behind them

  TStream* FStream;
  std::size_t FPos = 0, FEnd = 0;
  char FBuf[512];
};

// 16-bit length, the bytes, a byte 0.
void WriteCountedString(TStream* S, const String& V);
String ReadCountedString(TStream* S);
// 16-bit count; per line a 16-bit length and the bytes, byte 13 between lines, byte 0 after.
void WriteCountedLines(TStream* S, TStrings* Lines);
void ReadCountedLines(TStream* S, TStrings* Lines);
// The older forms: bytes up to a byte 0; lines separated by byte 13, ended by a byte 0.
String ReadZString(TStream* S);
void ReadZLines(TStream* S, TStrings* Lines);
// The counted forms from stream version 23, the older ones below.
String ReadVersionedString(TStream* S, int Version);
void ReadVersionedLines(TStream* S, TStrings* Lines, int Version);
// A 16-bit length and the bytes, no terminator (report information, passwords).
void WriteShortCounted(TStream* S, const String& Bytes);
String ReadShortCounted(TStream* S);
}  // namespace frstream

// ================================================================ the newer XML format

class TMemoryStream;
class TControl;
class TWinControl;
class TfrReport;

// Text in attribute values: CR, LF, double quote, "<" and ">" become character references,
// "&" becomes "&amp;".
String EscapeXml(const String& S);
// Two upper-case hexadecimal digits per byte of the whole stream (rewound first).
String StreamToHex(TMemoryStream* Stream);
// Every byte lowered by 10, as the newer engine stores report passwords.
String UnshiftPassword(const String& S);
// Writes ' Name="Value"' (the value as given; escape it first where needed).
void WriteXmlAttr(TStream* S, const String& Name, const String& Value);
void WriteXmlText(TStream* S, const String& Text);
// A fraction as the newer format writes it: "." as decimal separator whatever the locale.
String XmlFloat(double V);
// The whole report as a definition of the newer engine (UTF-8 XML).
void ExportAsNewFormat(TfrReport* Report, TMemoryStream* Stream);

// ================================================================ control helpers

// Enabled of every control; labels grey their font, other windowed controls their colour.
void EnableControls(const std::vector<TControl*>& Controls, bool Enabled);
// The topmost visible child under the point (relative to Parent), searching containers.
TControl* ControlAtPos(TWinControl* Parent, const TPoint& P);
