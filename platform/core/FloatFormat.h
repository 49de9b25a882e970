#pragma once
// Floating-point and money values to text: decimal digits, the standard formats and the
// picture format.
// Declares TFloatRec.
#include "core/Currency.h"
#include "core/FormatSettings.h"

#include <string_view>

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// A number as decimal digits: value = 0.Digits * 10^Exponent. Digits holds at most 19
// characters and no trailing zeros; empty for zero. Exponent 0x7FFF marks INF, -0x8000 NAN.
struct TFloatRec {
  short Exponent = 0;
  bool Negative = false;
  char Digits[21] = {};
};
// The exact value to 18 significant digits, then rounded half away from zero to `precision`
// significant digits and at most `decimals` digits after the point.
void FloatToDecimal(TFloatRec& rec, Extended value, int precision, int decimals);
void CurrToDecimal(TFloatRec& rec, Currency value, int decimals);

String FloatToStr(Extended v);  // general, 15 significant digits
String FloatToStr(Extended v, const TFormatSettings& fs);
// precision: significant digits (1..18); digits: decimals for fixed, number and currency,
// least exponent digits (0..4) for general and exponent.
String FloatToStrF(Extended v, TFloatFormat format, int precision, int digits);
String FloatToStrF(Extended v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
String CurrToStr(Currency v);
String CurrToStrF(Currency v, TFloatFormat format, int digits);
String CurrToStrF(Currency v, TFloatFormat format, int digits, const TFormatSettings& fs);
// Picture format: 0 # . , E+ E- e+ e-, quoted text, sections "positive;negative;zero".
String FormatFloat(std::string_view fmt, Extended v);
String FormatFloat(std::string_view fmt, Extended v, const TFormatSettings& fs);
String FormatCurr(std::string_view fmt, Currency v);
String FormatCurr(std::string_view fmt, Currency v, const TFormatSettings& fs);
