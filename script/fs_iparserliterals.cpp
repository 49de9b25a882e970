// The lexer's literal readers: numbers, strings with their codes and escapes, and bracketed
// references. Each restores the position when it fails.
#include "script/fs_iparser.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(unsigned char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// A code's character: the low 8 bits of the number, as the platform's Chr.
char CodeChar(const String& NumberText) { return static_cast<char>(StrToInt(NumberText) & 0xFF); }

}  // namespace

// ---------------------------------------------------------------- numbers

bool TfsParser::ReadDigits(bool Hex) {
  int start = FPosition;
  while (FPosition <= FSize && (Hex ? IsHexDigit(At(FPosition)) : IsDigit(At(FPosition)))) ++FPosition;
  return FPosition > start;
}

bool TfsParser::ReadInteger() {
  int start = FPosition;
  if (StartsWithAt(FPosition, FHexSequence)) {
    FPosition += static_cast<int>(FHexSequence.size());
    if (ReadDigits(true)) return true;
    FPosition = start;
    return false;
  }
  return ReadDigits(false);
}

bool TfsParser::ReadFloat() {
  int start = FPosition;
  if (!ReadInteger()) return false;
  if (At(FPosition) == '.' && FPosition <= FSize) {
    ++FPosition;
    if (!ReadDigits(false)) {
      // `1.` is the integer 1 followed by a dot: the float fails as a whole.
      FPosition = start;
      return false;
    }
  }
  if (FPosition <= FSize && (At(FPosition) == 'E' || At(FPosition) == 'e')) {
    int beforeExp = FPosition;
    ++FPosition;
    if (At(FPosition) == '+' || At(FPosition) == '-') ++FPosition;
    if (!ReadDigits(false)) FPosition = beforeExp;  // an incomplete exponent is not read
  }
  return true;
}

String TfsParser::ReadNumberLiteral() {
  if (FSkipBlanks) SkipBlanksAndComments();
  int start = FPosition;
  if (!ReadFloat() && !ReadInteger()) {
    FPosition = start;
    return String();
  }
  String r = FText.substr(start - 1, FPosition - start);
  if (FHexSequence != "$") r = StringReplace(r, FHexSequence, "$", {rfReplaceAll});
  return r;
}

// ---------------------------------------------------------------- strings

bool TfsParser::ReadQuotedPart(String& Value) {
  if (FStringQuotes.empty() || FPosition > FSize) return false;
  const unsigned char quote = static_cast<unsigned char>(FStringQuotes[0]);
  if (At(FPosition) != quote) return false;
  const bool cStyle = FStringEscapes && FStringQuotes == "\"";
  const int start = FPosition;
  String part;
  ++FPosition;
  for (;;) {
    unsigned char c = At(FPosition);
    // A control character (the NUL after the text too) ends the scan; only tab is text.
    if (c < 32 && c != '\t') {
      FPosition = start;
      return false;
    }
    if (cStyle && c == '\\') {
      unsigned char e = At(FPosition + 1);
      if (FPosition + 1 > FSize) {
        FPosition = start;
        return false;
      }
      FPosition += 2;
      switch (e >= 'A' && e <= 'Z' ? e | 0x20 : e) {
        case 'n': part += '\n'; break;
        case 'r': part += '\r'; break;
        case 't': part += '\t'; break;
        case '0': part += '\0'; break;
        case 'x': {
          int digits = FPosition;
          ReadDigits(true);
          if (FPosition > digits) part += CodeChar("$" + FText.substr(digits - 1, FPosition - digits));
          break;
        }
        default: part += static_cast<char>(e);
      }
      continue;
    }
    if (c == quote) {
      ++FPosition;
      if (!cStyle && At(FPosition) == quote && FPosition <= FSize) {
        part += static_cast<char>(quote);  // a doubled quote
        ++FPosition;
        continue;
      }
      Value += part;
      return true;
    }
    part += static_cast<char>(c);
    ++FPosition;
  }
}

bool TfsParser::ReadCharCode(String& Value) {
  if (FPosition > FSize || At(FPosition) != '#') return false;
  int start = FPosition;
  ++FPosition;
  int number = FPosition;
  if (!ReadInteger()) {
    FPosition = start;
    return false;
  }
  String text = FText.substr(number - 1, FPosition - number);
  if (StartsStr(FHexSequence, text)) text = "$" + text.substr(FHexSequence.size());
  Value += CodeChar(text);
  return true;
}

String TfsParser::ReadStringLiteral() {
  if (FSkipBlanks) SkipBlanksAndComments();
  String value;
  bool any = false;
  while (ReadQuotedPart(value) || ReadCharCode(value)) any = true;
  if (!any) return String();
  return "'" + value + "'";
}

// ---------------------------------------------------------------- bracketed references

String TfsParser::ReadBracketedText() {
  int start = FPosition;
  int depth = 1;
  bool inDouble = false, inSingle = false;
  while (FPosition <= FSize) {
    unsigned char c = At(FPosition);
    if (!inDouble && !inSingle) {
      if (c == '<' || c == '[') ++depth;
      else if (c == '>' || c == ']') --depth;
      if (depth == 0) break;
    }
    if (c == '"' && !inSingle) inDouble = !inDouble;
    else if (c == '\'' && !inDouble) inSingle = !inSingle;
    ++FPosition;
  }
  return FText.substr(start - 1, FPosition - start);
}
