#pragma once
// Numbers, money, dates and times to text and back, rounding, and the clock. Every routine
// follows the one process-wide format settings object unless it is handed its own.
//
// This header holds integers, Booleans, reading floats and money, and rounding; the format
// settings, float formatting, Format and the dates have their own headers, included here.
#include "core/Currency.h"
#include "core/DateUtils.h"
#include "core/FloatFormat.h"
#include "core/Format.h"
#include "core/FormatSettings.h"
#include "core/System.h"
#include "core/Types.h"

#include <cstdint>
#include <string_view>

// ---------------------------------------------------------------- integers and Booleans

String IntToStr(Int64 v);
// Upper case, at least `digits` digits; negative values in two's complement of their width.
String IntToHex(Int64 v, int digits);
String IntToHex(int v, int digits);
String IntToHex(Cardinal v, int digits);
String IntToHex(std::uint64_t v, int digits);
// The texts of the conversions' EConvertError, "%s" standing for the refused text; code that
// refuses a text as a conversion would uses them too.
extern const char* const SInvalidInteger;   // "'%s' 不是有效的整数值"
extern const char* const SInvalidFloat;     // "'%s' 不是有效的数值" (floats and money)
extern const char* const SInvalidBoolean;   // "'%s' 不是有效的布尔值"
extern const char* const SInvalidDate;      // "'%s' 不是有效的日期"
extern const char* const SInvalidTime;      // "'%s' 不是有效的时间"
extern const char* const SInvalidDateTime;  // "'%s' 不是有效的日期和时间"

// Leading blanks, a sign, decimal digits or hexadecimal ones after '$', 'x' or '0x'. Anything
// else fails with SInvalidInteger.
int StrToInt(std::string_view s);
Int64 StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int def);
Int64 StrToInt64Def(std::string_view s, Int64 def);
bool TryStrToInt(std::string_view s, int& v);
bool TryStrToInt64(std::string_view s, Int64& v);

// "0"/"-1", or "False"/"True" with useBoolStrs.
String BoolToStr(bool b, bool useBoolStrs = false);
// "True"/"False" in any case, or a number (0 is False).
bool StrToBool(std::string_view s);
bool StrToBoolDef(std::string_view s, bool def);
bool TryStrToBool(std::string_view s, bool& v);

// ---------------------------------------------------------------- floats and money from text

// Blanks around, a sign, digits with one DecimalSeparator, an exponent; no thousands.
// Failure text: SInvalidFloat.
Extended StrToFloat(std::string_view s);
Extended StrToFloatDef(std::string_view s, Extended def);
bool TryStrToFloat(std::string_view s, Extended& v);
bool TryStrToFloat(std::string_view s, double& v);
bool TryStrToFloat(std::string_view s, Extended& v, const TFormatSettings& fs);
// As StrToFloat, read exactly and rounded half to even at the fourth decimal.
Currency StrToCurr(std::string_view s);
Currency StrToCurrDef(std::string_view s, Currency def);
bool TryStrToCurr(std::string_view s, Currency& v);
bool TryStrToCurr(std::string_view s, Currency& v, const TFormatSettings& fs);

// ---------------------------------------------------------------- rounding

// ---------------------------------------------------------------- rounding

Int64 Round(Extended v);  // half to even; EInvalidOp beyond Int64 and for NaN
Int64 Trunc(Extended v);  // toward zero; EInvalidOp beyond Int64 and for NaN
Extended Int(Extended v);   // integer part, toward zero
Extended Frac(Extended v);  // v - Int(v), with the sign of v
// a * b / c rounded half away from zero; -1 when c is 0 or the result leaves 32 bits.
int MulDiv(int a, int b, int c);
