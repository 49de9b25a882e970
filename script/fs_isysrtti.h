#pragma once
// The system library: the first registration module of every script. It gives scripts in all
// languages the base type names that later modules' signatures use, the constants True,
// False, nil and Null, the Variant type codes (var*), the two indexing helpers and the 65
// built-in functions, each under its dictionary category.
//
// The functions are served by seven call-backs, one per group (to text, from text,
// formatting, date and time, strings, maths, the rest); each function is bound to its branch
// when it is registered, so a call never compares names. The call-backs only convert: the
// routines themselves are the platform's (SysUtils, StrUtils, DateUtils, FloatFormat, Format,
// Mask, ComObj).
//
// Floats are checked explicitly, since C++ gives NaN and infinities silently: a square root
// or logarithm of a negative number raises EInvalidOp, Ln(0) EZeroDivide, a result that is
// no finite double EOverflow.
// Declares TfsSysFunctions.
#include "script/fs_iscript.h"

class TfsSysFunctions : public TfsRTTIModule {
public:
  explicit TfsSysFunctions(TfsScript* AScript);

  // The dictionary categories the functions are filed under.
  const String& CatConv() const { return FCatConv; }
  const String& CatFormat() const { return FCatFormat; }
  const String& CatDate() const { return FCatDate; }
  const String& CatString() const { return FCatString; }
  const String& CatMath() const { return FCatMath; }
  const String& CatOther() const { return FCatOther; }

  // The one function of a group a call-back serves; bound at registration.
  enum TFunc : Byte {
    // to text
    sfIntToStr, sfFloatToStr, sfDateToStr, sfTimeToStr, sfDateTimeToStr,
    // from text
    sfStrToInt, sfStrToInt64, sfStrToFloat, sfStrToDate, sfStrToTime, sfStrToDateTime,
    // formatting
    sfFormat, sfFormatFloat, sfFormatDateTime, sfFormatMaskText,
    // date and time
    sfEncodeDate, sfDecodeDate, sfEncodeTime, sfDecodeTime, sfDate, sfTime, sfNow, sfDayOfWeek,
    sfIsLeapYear, sfDaysInMonth,
    // strings
    sfLength, sfCopy, sfPos, sfDelete, sfInsert, sfUppercase, sfLowercase, sfTrim, sfNameCase,
    sfCompareText, sfChr, sfOrd, sfSetLength,
    // maths
    sfRound, sfTrunc, sfInt, sfFrac, sfSqrt, sfAbs, sfSin, sfCos, sfArcTan, sfTan, sfExp, sfLn, sfPi,
    // the rest
    sfVarToStr, sfInc, sfDec, sfRaiseException, sfShowMessage, sfRandomize, sfRandom, sfValidInt,
    sfValidFloat, sfValidDate, sfCreateOleObject, sfVarArrayCreate, sfVarType,
  };

  // ---- the seven call-backs
  static Variant CallToText(TFunc Func, TfsMethodHelper* Caller);
  static Variant CallFromText(TFunc Func, TfsMethodHelper* Caller);
  static Variant CallFormat(TFunc Func, TfsMethodHelper* Caller);
  static Variant CallDateTime(TFunc Func, TfsMethodHelper* Caller);
  static Variant CallString(TFunc Func, TfsMethodHelper* Caller);
  static Variant CallMath(TFunc Func, TfsMethodHelper* Caller);
  static Variant CallOther(TFunc Func, TfsMethodHelper* Caller);

private:
  String FCatConv = "ctConv";
  String FCatFormat = "ctFormat";
  String FCatDate = "ctDate";
  String FCatString = "ctString";
  String FCatMath = "ctMath";
  String FCatOther = "ctOther";
};
