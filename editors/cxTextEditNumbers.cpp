#include "editors/cxTextEditNumbers.h"

#include "core/FormatSettings.h"
#include "core/SysUtils.h"

#include <cctype>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

String WithoutSeparators(const String& Text, char Separator) {
  String s;
  for (char c : Text)
    if (c != Separator) s += c;
  return s;
}

}  // namespace

void InsertThousandSeparators(String& Text) {
  const char sep = FormatSettings().ThousandSeparator;
  const char dec = FormatSettings().DecimalSeparator;
  std::size_t b = 0, e = Text.size();
  while (b < e && IsBlank(Text[b])) ++b;
  while (e > b && IsBlank(Text[e - 1])) --e;
  const String lead = Text.substr(0, b), trail = Text.substr(e);
  String body = Text.substr(b, e - b);
  String exponent;
  const std::size_t ex = body.find_first_of("Ee");
  if (ex != String::npos) {
    exponent = body.substr(ex);
    body.erase(ex);
  }
  if (sep) body = WithoutSeparators(body, sep);
  std::size_t p = body.find(dec);
  if (p == String::npos) p = body.size();
  int digits = 0;
  while (p > 0 && IsDigit(body[p - 1])) {
    --p;
    if (++digits % 3 == 0 && p > 0 && IsDigit(body[p - 1]) && sep) body.insert(p, 1, sep);
  }
  Text = lead + body + exponent + trail;
}

bool IsFloatText(const String& Text) {
  const String s = WithoutSeparators(Text, FormatSettings().ThousandSeparator);
  Extended v;
  return !s.empty() && TryStrToFloat(s, v);
}
