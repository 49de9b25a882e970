// The text form of the component stream: window layouts under resources/.
//
//   object Frm_Main: TFrm_Main
//     Caption = '合同管理'
//     Font.Name = 'Tahoma'
//     Items.Strings = (
//       'a'
//       'b')
//     Columns = <
//       item
//         Title = 'x'
//       end>
//     object Btn_OK: TButton
//       OnClick = Btn_OKClick
//     end
//   end
#include "core/LayoutText.h"

#include "core/Filer.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "core/SysUtils_p.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int kMaxTextNesting = 200;
constexpr int kStringUnitsPerLine = 64;
constexpr int kBinaryBytesPerLine = 32;

bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
using sysutils_impl::HexValue;

String ReadAll(TStream* in) {
  Int64 n = in->Size() - in->Position();
  String s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) in->ReadBuffer(s.data(), n);
  return s;
}

// ---------------------------------------------------------------- text -> binary

class TTextParser {
public:
  TTextParser(std::string_view text, const String& source, TWriter& w, TTextSourceMap* map)
      : S(text), Source(source), W(w), Map(map) {}

  void Run() {
    if (S.substr(0, 3) == "\xEF\xBB\xBF") P = 3;
    W.WriteSignature();
    SkipBlanks();
    ParseObject(0);
    SkipBlanks();
    if (P < S.size()) Error("Text after the end of the object");
  }

private:
  std::string_view S;
  std::size_t P = 0;
  int Line = 1;
  const String& Source;
  TWriter& W;
  TTextSourceMap* Map;

  [[noreturn]] void Error(const String& msg, int line = 0) {
    String where = Source.empty() ? String() : Source + ", ";
    throw EParserError("Syntax error: " + msg + " (" + where + "line " + std::to_string(line ? line : Line) + ")");
  }

  char Peek() const { return P < S.size() ? S[P] : '\0'; }

  void SkipBlanks() {
    while (P < S.size()) {
      char c = S[P];
      if (c == '\n') ++Line;
      else if (c != ' ' && c != '\t' && c != '\r' && c != '\f') break;
      ++P;
    }
  }

  String PeekWord() const {
    std::size_t q = P;
    if (q >= S.size() || !IsIdentStart(S[q])) return {};
    while (q < S.size() && IsIdentChar(S[q])) ++q;
    return String(S.substr(P, q - P));
  }

  String ReadIdent(const char* what) {
    String w = PeekWord();
    if (w.empty()) Error(String(what) + " expected" + Found());
    P += w.size();
    return w;
  }

  String Found() const {
    if (P >= S.size()) return ", found the end of the text";
    std::size_t n = Utf8SeqLen(static_cast<unsigned char>(S[P]));
    return ", found '" + String(S.substr(P, n)) + "'";
  }

  // Font.Name, Items.Strings
  String ReadDottedName(const char* what) {
    String name = ReadIdent(what);
    while (Peek() == '.' && P + 1 < S.size() && IsIdentStart(S[P + 1])) {
      ++P;
      name += "." + ReadIdent(what);
    }
    return name;
  }

  void Expect(char c) {
    SkipBlanks();
    if (Peek() != c) Error("'" + String(1, c) + "' expected" + Found());
    ++P;
  }

  Int64 ReadPlainInteger() {
    SkipBlanks();
    std::size_t start = P;
    if (Peek() == '-') ++P;
    while (IsDigit(Peek())) ++P;
    Int64 v = 0;
    auto r = std::from_chars(S.data() + start, S.data() + P, v);
    if (r.ec != std::errc() || r.ptr != S.data() + P) Error("Integer expected");
    return v;
  }

  void ParseObject(int depth) {
    if (depth > kMaxTextNesting) Error("Objects nested too deeply");
    int line = Line;
    String kw = ReadIdent("'object'");
    TFilerFlags flags;
    if (SameText(kw, "inherited")) flags.Include(ffInherited);
    else if (SameText(kw, "inline")) flags.Include(ffInline);
    else if (!SameText(kw, "object")) Error("'object' expected, found '" + kw + "'");
    SkipBlanks();
    String first = ReadIdent("Component name or class");
    String name, cls = first;
    SkipBlanks();
    if (Peek() == ':') {
      ++P;
      SkipBlanks();
      name = first;
      cls = ReadIdent("Class name");
      SkipBlanks();
    }
    int childPos = 0;
    if (Peek() == '[') {
      ++P;
      childPos = static_cast<int>(ReadPlainInteger());
      Expect(']');
      flags.Include(ffChildPos);
    }
    if (Map) Map->Add(W.Position(), line);
    W.WritePrefix(flags, childPos);
    W.WriteStr(cls);
    W.WriteStr(name);
    String label = name.empty() ? cls : name;
    bool children = false;
    for (;;) {
      SkipBlanks();
      if (P >= S.size()) Error("'end' expected: object " + label + " is not closed", line);
      String w = PeekWord();
      if (w.empty()) Error("Property name or 'end' expected" + Found());
      if (SameText(w, "end")) {
        P += w.size();
        if (!children) W.WriteListEnd();
        W.WriteListEnd();
        return;
      }
      if (SameText(w, "object") || SameText(w, "inherited") || SameText(w, "inline")) {
        if (!children) W.WriteListEnd();
        children = true;
        ParseObject(depth + 1);
        continue;
      }
      if (children) Error("Property " + w + " after the child objects of " + label);
      ParseProperty(depth);
    }
  }

  void ParseProperty(int depth) {
    int line = Line;
    String name = ReadDottedName("Property name");
    if (name.size() > 255) Error("Property name too long");
    Expect('=');
    if (Map) Map->Add(W.Position(), line);
    W.WritePropName(name);
    ParseValue(depth + 1);
  }

  void ParseValue(int depth) {
    if (depth > kMaxTextNesting) Error("Values nested too deeply");
    SkipBlanks();
    char c = Peek();
    if (c == '\'' || c == '#') ParseString();
    else if (IsDigit(c) || c == '-' || c == '+' || c == '$') ParseNumber();
    else if (c == '[') ParseSet();
    else if (c == '(') ParseList(depth);
    else if (c == '<') ParseCollection(depth);
    else if (c == '{') ParseBinary();
    else if (IsIdentStart(c)) W.WriteIdent(ReadDottedName("Identifier"));
    else Error("Property value expected" + Found());
  }

  // 'text', #13, 'a'#13#10'b', and operands joined by + across lines.
  void ParseString() {
    String s;
    for (;;) {
      bool any = false;
      while (Peek() == '\'' || Peek() == '#') {
        any = true;
        if (S[P] == '\'') {
          int line = Line;
          ++P;
          for (;;) {
            if (P >= S.size() || S[P] == '\n' || S[P] == '\r') Error("Unterminated string", line);
            if (S[P] == '\'') {
              if (P + 1 < S.size() && S[P + 1] == '\'') {
                s += '\'';
                P += 2;
                continue;
              }
              ++P;
              break;
            }
            s += S[P++];
          }
        } else {
          ++P;
          std::uint32_t code = 0;
          std::size_t start = P;
          if (Peek() == '$') {
            ++P;
            start = P;
            while (HexValue(Peek()) >= 0 && code <= 0x10FFFF) code = code * 16 + HexValue(S[P++]);
          } else {
            while (IsDigit(Peek()) && code <= 0x10FFFF) code = code * 10 + (S[P++] - '0');
          }
          if (P == start || code > 0x10FFFF) Error("Invalid character code");
          AppendUtf8(s, code);
        }
      }
      if (!any) Error("String expected" + Found());
      std::size_t save = P;
      int saveLine = Line;
      SkipBlanks();
      if (Peek() == '+') {
        ++P;
        SkipBlanks();
        continue;
      }
      P = save;
      Line = saveLine;
      break;
    }
    W.WriteString(s);
  }

  // 12, -5, $FF, 1.5, 2.5e-3, 1.5s (single), 12.34c (currency), 45000.5d (date).
  void ParseNumber() {
    bool neg = false;
    if (Peek() == '-' || Peek() == '+') {
      neg = S[P] == '-';
      ++P;
    }
    if (Peek() == '$') {
      ++P;
      std::size_t start = P;
      std::uint64_t v = 0;
      while (HexValue(Peek()) >= 0) {
        if (P - start >= 16) Error("Integer out of range");
        v = v * 16 + static_cast<std::uint64_t>(HexValue(S[P++]));
      }
      if (P == start) Error("Hexadecimal digits expected");
      if (IsIdentChar(Peek())) Error("Invalid number");
      Int64 i = static_cast<Int64>(v);
      W.WriteInteger(neg ? -i : i);
      return;
    }
    std::size_t start = P;
    while (IsDigit(Peek())) ++P;
    if (P == start) Error("Number expected" + Found());
    bool isFloat = false;
    if (Peek() == '.' && P + 1 < S.size() && IsDigit(S[P + 1])) {
      isFloat = true;
      ++P;
      while (IsDigit(Peek())) ++P;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      std::size_t q = P + 1;
      if (q < S.size() && (S[q] == '+' || S[q] == '-')) ++q;
      if (q < S.size() && IsDigit(S[q])) {
        isFloat = true;
        P = q;
        while (IsDigit(Peek())) ++P;
      }
    }
    std::string_view num = S.substr(start, P - start);
    char suffix = 0;
    char c = Peek();
    if ((c == 's' || c == 'S' || c == 'c' || c == 'C' || c == 'd' || c == 'D') &&
        !(P + 1 < S.size() && IsIdentChar(S[P + 1]))) {
      suffix = static_cast<char>(c | 0x20);
      ++P;
    }
    if (IsIdentChar(Peek()) || Peek() == '.') Error("Invalid number");
    const char* b = num.data();
    const char* e = num.data() + num.size();
    switch (suffix) {
      case 's': {
        float f = 0;
        if (std::from_chars(b, e, f).ec != std::errc()) Error("Invalid single value");
        W.WriteSingle(neg ? -f : f);
        return;
      }
      case 'd': {
        double d = 0;
        if (std::from_chars(b, e, d).ec != std::errc()) Error("Invalid date value");
        W.WriteDate(neg ? -d : d);
        return;
      }
      case 'c': WriteCurrencyLiteral(num, neg); return;
      default: break;
    }
    if (!isFloat) {
      std::uint64_t mag = 0;
      auto r = std::from_chars(b, e, mag);
      std::uint64_t limit = neg ? (std::uint64_t(1) << 63) : (std::uint64_t(1) << 63) - 1;
      if (r.ec != std::errc() || mag > limit) Error("Integer out of range");
      W.WriteInteger(neg ? static_cast<Int64>(0 - mag) : static_cast<Int64>(mag));
      return;
    }
    // Up to 17 significant digits name a double (what the writer prints for values that are
    // doubles); more digits keep the full extended precision.
    int digits = 0;
    bool leading = true;
    for (char ch : num) {
      if (ch == 'e' || ch == 'E') break;
      if (!IsDigit(ch)) continue;
      if (leading && ch == '0') continue;
      leading = false;
      ++digits;
    }
    Extended v;
    if (digits <= 17) {
      double d = 0;
      if (std::from_chars(b, e, d).ec != std::errc()) Error("Invalid floating point value");
      v = d;
    } else {
      long double x = 0;
      if (std::from_chars(b, e, x).ec != std::errc()) Error("Invalid floating point value");
      v = x;
    }
    W.WriteFloat(neg ? -v : v);
  }

  // Exact: ten-thousandths from the decimal digits, never through a binary float.
  void WriteCurrencyLiteral(std::string_view num, bool neg) {
    if (num.find_first_of("eE") != std::string_view::npos) Error("Invalid currency value");
    std::size_t dot = num.find('.');
    std::string_view whole = num.substr(0, dot);
    std::string_view frac = dot == std::string_view::npos ? std::string_view() : num.substr(dot + 1);
    if (frac.size() > 4) Error("Currency values have at most four decimals");
    std::uint64_t w = 0;
    if (std::from_chars(whole.data(), whole.data() + whole.size(), w).ec != std::errc() ||
        w > static_cast<std::uint64_t>(Currency::kMaxUnits))
      Error("Currency value out of range");
    std::uint64_t f = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(Currency::kDecimals); ++i) f = f * 10 + (i < frac.size() ? static_cast<std::uint64_t>(frac[i] - '0') : 0);
    std::uint64_t raw = w * Currency::kScale + f;
    if (raw > static_cast<std::uint64_t>(INT64_MAX)) Error("Currency value out of range");
    Int64 r = static_cast<Int64>(raw);
    W.WriteCurrency(Currency::FromRaw(neg ? -r : r));
  }

  void ParseSet() {
    ++P;
    W.WriteValue(vaSet);
    SkipBlanks();
    if (Peek() == ']') {
      ++P;
      W.WriteStr(String());
      return;
    }
    for (;;) {
      SkipBlanks();
      W.WriteStr(ReadIdent("Set element"));
      SkipBlanks();
      if (Peek() == ',') {
        ++P;
        continue;
      }
      if (Peek() == ']') {
        ++P;
        break;
      }
      Error("',' or ']' expected" + Found());
    }
    W.WriteStr(String());
  }

  void ParseList(int depth) {
    int line = Line;
    ++P;
    W.WriteListBegin();
    for (;;) {
      SkipBlanks();
      if (P >= S.size()) Error("')' expected: list is not closed", line);
      if (Peek() == ')') {
        ++P;
        break;
      }
      ParseValue(depth + 1);
    }
    W.WriteListEnd();
  }

  void ParseCollection(int depth) {
    int line = Line;
    ++P;
    W.WriteValue(vaCollection);
    for (;;) {
      SkipBlanks();
      if (P >= S.size()) Error("'>' expected: collection is not closed", line);
      if (Peek() == '>') {
        ++P;
        break;
      }
      int itemLine = Line;
      String kw = ReadIdent("'item'");
      if (!SameText(kw, "item")) Error("'item' expected, found '" + kw + "'");
      SkipBlanks();
      if (Peek() == '[') {
        ++P;
        W.WriteInteger(ReadPlainInteger());
        Expect(']');
      }
      W.WriteListBegin();
      for (;;) {
        SkipBlanks();
        if (P >= S.size()) Error("'end' expected: item is not closed", itemLine);
        if (SameText(PeekWord(), "end")) {
          P += 3;
          break;
        }
        ParseProperty(depth);
      }
      W.WriteListEnd();
    }
    W.WriteListEnd();
  }

  void ParseBinary() {
    int line = Line;
    ++P;
    TBytes bytes;
    int hi = -1;
    for (;;) {
      SkipBlanks();
      if (P >= S.size()) Error("'}' expected: binary data is not closed", line);
      if (S[P] == '}') {
        ++P;
        break;
      }
      int v = HexValue(S[P]);
      if (v < 0) Error("Invalid binary data" + Found());
      ++P;
      if (hi < 0) {
        hi = v;
      } else {
        bytes.push_back(static_cast<Byte>(hi * 16 + v));
        hi = -1;
      }
    }
    if (hi >= 0) Error("Odd number of hexadecimal digits in binary data", line);
    W.WriteBinary(bytes.data(), static_cast<Int64>(bytes.size()));
  }
};

// ---------------------------------------------------------------- binary -> text

String Indent(int level) { return String(static_cast<std::size_t>(2 * level), ' '); }

// The shortest text that reads back as the same value; always with a point or an exponent so
// it stays a float.
String DoubleText(double d) {
  if (!std::isfinite(d)) throw EWriteError("A non-finite floating point value has no text form");
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, d);
  String s(buf, r.ptr);
  if (s.find_first_of(".e") == String::npos) s += ".0";
  return s;
}

String FloatText(Extended v) {
  if (!std::isfinite(v)) throw EWriteError("A non-finite floating point value has no text form");
  double d = static_cast<double>(v);
  if (static_cast<Extended>(d) == v) return DoubleText(d);
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long double>(v), std::chars_format::scientific, 20);
  return String(buf, r.ptr);
}

String SingleText(float f) {
  if (!std::isfinite(f)) throw EWriteError("A non-finite floating point value has no text form");
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, f);
  return String(buf, r.ptr) + "s";
}

String CurrencyText(Currency c) {
  std::uint64_t mag = c.Value < 0 ? 0 - static_cast<std::uint64_t>(c.Value) : static_cast<std::uint64_t>(c.Value);
  String s = (c.Value < 0 ? "-" : "") + std::to_string(mag / Currency::kScale);
  std::uint64_t frac = mag % Currency::kScale;
  if (frac) {
    String f = std::to_string(frac);
    f = String(static_cast<std::size_t>(Currency::kDecimals) - f.size(), '0') + f;
    while (f.back() == '0') f.pop_back();
    s += "." + f;
  }
  return s + "c";
}

// Printable characters stay literal (Chinese included); control characters and bytes that
// are not UTF-8 become #codes. Long strings continue on the next line after a +.
String StringText(const String& s, int indent) {
  if (s.empty()) return "''";
  String out;
  bool quoted = false;
  int units = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    if (units == kStringUnitsPerLine) {
      if (quoted) out += '\'';
      quoted = false;
      out += " +\n" + Indent(indent);
      units = 0;
    }
    unsigned char lead = static_cast<unsigned char>(s[i]);
    std::size_t pos = i;
    char32_t cp = DecodeUtf8(s, pos);
    std::size_t len = pos - i;
    // Valid only when the bytes are the one shortest encoding of a scalar value.
    String again;
    if (cp < 0xD800 || (cp > 0xDFFF && cp <= 0x10FFFF)) AppendUtf8(again, cp);
    bool valid = again.size() == len && s.compare(i, len, again) == 0;
    if (valid && cp >= 32 && cp != 127) {
      if (!quoted) out += '\'';
      quoted = true;
      if (cp == '\'') out += "''";
      else out.append(s, i, len);
      i += len;
    } else {
      if (quoted) out += '\'';
      quoted = false;
      out += "#" + std::to_string(valid ? static_cast<unsigned>(cp) : lead);
      i += valid ? len : 1;
    }
    ++units;
  }
  if (quoted) out += '\'';
  return out;
}

String HexText(const TBytes& b, int indent) {
  static const char digits[] = "0123456789ABCDEF";
  String out = "{";
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (i % kBinaryBytesPerLine == 0) out += "\n" + Indent(indent);
    out += digits[b[i] >> 4];
    out += digits[b[i] & 15];
  }
  return out + "}";
}

class TTextEmitter {
public:
  explicit TTextEmitter(TReader& r) : R(r) {}
  String Out;

  void Object(int indent) {
    if (indent > kMaxTextNesting) throw EReadError("Objects nested too deeply");
    TFilerFlags flags;
    int childPos;
    R.ReadPrefix(flags, childPos);
    String cls = R.ReadStr();
    String name = R.ReadStr();
    const char* kw = flags.Contains(ffInherited) ? "inherited" : flags.Contains(ffInline) ? "inline" : "object";
    Out += Indent(indent) + kw + " " + (name.empty() ? String() : name + ": ") + cls;
    if (flags.Contains(ffChildPos)) Out += " [" + std::to_string(childPos) + "]";
    Out += "\n";
    while (!R.EndOfList()) Property(indent + 1);
    R.ReadListEnd();
    while (!R.EndOfList()) Object(indent + 1);
    R.ReadListEnd();
    Out += Indent(indent) + "end\n";
  }

private:
  TReader& R;

  void Property(int indent) {
    Out += Indent(indent) + R.ReadStr() + " = ";
    Value(indent);
    Out += "\n";
  }

  void Value(int indent) {
    if (indent > kMaxTextNesting) throw EReadError("Values nested too deeply");
    TValueType t = R.NextValue();
    switch (t) {
      case vaList:
        R.ReadValue();
        Out += "(";
        while (!R.EndOfList()) {
          Out += "\n" + Indent(indent + 1);
          Value(indent + 1);
        }
        R.ReadListEnd();
        Out += ")";
        return;
      case vaInt8: case vaInt16: case vaInt32: case vaInt64: Out += std::to_string(R.ReadInt64()); return;
      case vaExtended: Out += FloatText(R.ReadFloat()); return;
      case vaSingle: Out += SingleText(R.ReadSingle()); return;
      case vaCurrency: Out += CurrencyText(R.ReadCurrency()); return;
      case vaDate: Out += DoubleText(R.ReadDate()) + "d"; return;
      case vaString: case vaLString: case vaWString: case vaUTF8String:
        Out += StringText(R.ReadString(), indent + 1);
        return;
      case vaIdent: case vaFalse: case vaTrue: case vaNil: case vaNull: Out += R.ReadIdent(); return;
      case vaSet: {
        R.ReadValue();
        Out += "[";
        bool first = true;
        for (String s; !(s = R.ReadStr()).empty(); first = false) Out += (first ? "" : ", ") + s;
        Out += "]";
        return;
      }
      case vaBinary: Out += HexText(R.ReadBinary(), indent + 1); return;
      case vaCollection:
        R.ReadValue();
        Out += "<";
        while (!R.EndOfList()) {
          Out += "\n" + Indent(indent + 1) + "item";
          TValueType n = R.NextValue();
          if (n == vaInt8 || n == vaInt16 || n == vaInt32 || n == vaInt64) Out += " [" + std::to_string(R.ReadInt64()) + "]";
          Out += "\n";
          R.ReadListBegin();
          while (!R.EndOfList()) Property(indent + 2);
          R.ReadListEnd();
          Out += Indent(indent + 1) + "end";
        }
        R.ReadListEnd();
        Out += ">";
        return;
    }
  }
};

}  // namespace

// ---------------------------------------------------------------- conversions

void ObjectTextToBinary(TStream* Input, TStream* Output, const String& SourceName, TTextSourceMap* Map) {
  String text = ReadAll(Input);
  if (Map && Map->SourceName.empty()) Map->SourceName = SourceName;
  TWriter w(Output);
  try {
    TTextParser(text, SourceName, w, Map).Run();
  } catch (const EParserError&) {
    throw;
  } catch (const EWriteError& e) {
    throw EParserError(e.Message() + (SourceName.empty() ? String() : " (" + SourceName + ")"));
  }
}

void ObjectTextToBinary(TStream* Input, TStream* Output) { ObjectTextToBinary(Input, Output, String(), nullptr); }

void ObjectBinaryToText(TStream* Input, TStream* Output) {
  TReader r(Input);
  r.ReadSignature();
  TTextEmitter e(r);
  e.Object(0);
  Output->WriteBuffer(e.Out.data(), static_cast<Int64>(e.Out.size()));
}

TComponent* ReadComponentFromText(TComponent* Root, const String& Text, const String& SourceName) {
  TStringStream input(Text);
  TMemoryStream binary;
  TTextSourceMap map;
  map.SourceName = SourceName;
  ObjectTextToBinary(&input, &binary, SourceName, &map);
  binary.SetPosition(0);
  TReader r(&binary);
  r.SetSourceName(SourceName);
  r.SetSourceMap(&map);
  return r.ReadRootComponent(Root);
}

TComponent* ReadComponentFromBinary(TComponent* Root, TStream* Stream, const String& SourceName) {
  TReader r(Stream);
  r.SetSourceName(SourceName);
  return r.ReadRootComponent(Root);
}

void WriteComponentToBinary(TComponent* Root, TStream* Stream) {
  TWriter w(Stream);
  w.WriteRootComponent(Root);
}

String WriteComponentToText(TComponent* Root) {
  TMemoryStream binary;
  WriteComponentToBinary(Root, &binary);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(&binary, &text);
  return text.DataString();
}

TComponent* LoadLayoutResource(TComponent* Root, const String& ResourceName) {
  TResourceStream stream(ResourceName);
  if (stream.Size() >= 4 && std::memcmp(stream.Memory(), "TPF0", 4) == 0)
    return ReadComponentFromBinary(Root, &stream, ResourceName);
  String text(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
  return ReadComponentFromText(Root, text, ResourceName);
}
