#include "app/SqlText.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {
// Fixed separators, so the text never depends on the user's settings.
const TFormatSettings& SqlFormat() {
  static const TFormatSettings fs = [] {
    TFormatSettings s;
    s.DecimalSeparator = '.';
    s.ThousandSeparator = ',';
    s.DateSeparator = '-';
    return s;
  }();
  return fs;
}
}  // namespace

String SqlStr(const String& Value) { return QuotedStr(Value); }

String SqlName(const String& Name) {
  if (Name.empty() || Name.find(']') != String::npos) throw EConvertError("'" + Name + "' is not a valid name");
  return "[" + Name + "]";
}

String SqlContains(const String& Key) { return QuotedStr("%" + Key + "%"); }

String SqlDate(TDateTime Value) { return "#" + FormatDateTime("yyyy-mm-dd", std::trunc(Value), SqlFormat()) + "#"; }

String SqlInt(Int64 Value) { return IntToStr(Value); }

String SqlFloat(double Value) {
  if (!std::isfinite(Value)) throw EConvertError("A number for SQL text must be finite");
  return FloatToStr(Value, SqlFormat());
}

String SqlCurrency(Currency Value) {
  // From the ten-thousandths themselves: a double would round large amounts.
  Int64 raw = Value.Value;
  bool negative = raw < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
  constexpr auto scale = static_cast<std::uint64_t>(Currency::kScale);
  String text = std::to_string(magnitude / scale);
  if (std::uint64_t frac = magnitude % scale) {
    String digits = std::to_string(frac);
    digits.insert(0, Currency::kDecimals - digits.size(), '0');
    while (digits.back() == '0') digits.pop_back();
    text += "." + digits;
  }
  return negative ? "-" + text : text;
}
