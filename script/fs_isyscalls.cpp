// The system library's seven call-backs: each converts the arguments, calls the platform's
// routine and turns its result into a Variant of the kind the function answers.
#include "script/fs_isysrtti.h"

#include "script/fs_ihelpers.h"
#include "script/fs_itools.h"
#include "core/ComObj.h"
#include "core/Mask.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Dialogs.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <random>

namespace {

// ---- arguments
String Text(TfsMethodHelper* C, int i) { return VarToStr(C->ParamValue(i)); }
int Int(TfsMethodHelper* C, int i) { return C->ParamValue(i).AsInteger(); }
Word WordArg(TfsMethodHelper* C, int i) { return static_cast<Word>(C->ParamValue(i).AsInt64()); }
long double Float(TfsMethodHelper* C, int i) { return C->ParamValue(i).AsDouble(); }
TDateTime DateArg(TfsMethodHelper* C, int i) { return C->ParamValue(i).AsDateTime(); }

// ---- results
Variant WordResult(int v) { return Variant(static_cast<unsigned short>(v)); }

// An integer that keeps its whole value: 32 bits when it fits, else 64.
Variant IntegerResult(Int64 v) {
  if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()) return Variant(static_cast<int>(v));
  return Variant(static_cast<long long>(v));
}

[[noreturn]] void InvalidOp() { throw EInvalidOp("Invalid floating point operation"); }

// A float result, checked as the floating-point unit would: NaN is an invalid operation, a
// value beyond the double range an overflow.
Variant FloatResult(long double v) {
  if (std::isnan(v)) InvalidOp();
  double d = static_cast<double>(v);
  if (!std::isfinite(d)) throw EOverflow("Floating point overflow");
  return Variant(d);
}

// Sine and cosine answer 0 from 2^63 on, where the argument has no fraction left to reduce.
bool BeyondReduction(long double x) { return std::fabs(x) >= 0x1p63L; }

// First character upper case, and every character after a blank from the second position on.
String NameCase(const String& S) {
  std::u32string s = Utf8ToUtf32(AnsiLowerCase(S));
  auto upper = [&s](std::size_t i) {
    String one;
    AppendUtf8(one, s[i]);
    std::u32string u = Utf8ToUtf32(AnsiUpperCase(one));
    if (u.size() == 1) s[i] = u[0];
  };
  if (!s.empty()) upper(0);
  for (std::size_t i = 1; i + 1 < s.size(); ++i)
    if (s[i] == U' ') upper(i + 1);
  return Utf32ToUtf8(s);
}

std::mt19937_64& RandomGenerator() {
  thread_local std::mt19937_64 generator;
  return generator;
}

// 0 <= x < 1 from 53 random bits.
double NextRandom() { return static_cast<double>(RandomGenerator()() >> 11) * 0x1p-53; }

}  // namespace

Variant TfsSysFunctions::CallToText(TFunc Func, TfsMethodHelper* C) {
  switch (Func) {
    case sfIntToStr: return Variant(IntToStr(C->ParamValue(0).AsInt64()));
    case sfFloatToStr: return Variant(FloatToStr(Float(C, 0)));
    case sfDateToStr: return Variant(DateToStr(C->ParamValue(0).AsDouble()));
    case sfTimeToStr: return Variant(TimeToStr(C->ParamValue(0).AsDouble()));
    case sfDateTimeToStr: return Variant(DateTimeToStr(C->ParamValue(0).AsDouble()));
    default: return Null();
  }
}

Variant TfsSysFunctions::CallFromText(TFunc Func, TfsMethodHelper* C) {
  switch (Func) {
    case sfStrToInt: return Variant(StrToInt(Text(C, 0)));
    case sfStrToInt64: return Variant(static_cast<long long>(StrToInt64(Text(C, 0))));
    case sfStrToFloat: return FloatResult(StrToFloat(Text(C, 0)));
    case sfStrToDate: return Variant::FromDate(StrToDate(Text(C, 0)));
    case sfStrToTime: return Variant::FromDate(StrToTime(Text(C, 0)));
    case sfStrToDateTime: return Variant::FromDate(StrToDateTime(Text(C, 0)));
    default: return Null();
  }
}

Variant TfsSysFunctions::CallFormat(TFunc Func, TfsMethodHelper* C) {
  switch (Func) {
    case sfFormat: {
      // The arguments view texts the list owns, so it lives until Format returns.
      TfsConstArgs args = VariantArrayToConstArgs(C->ParamValue(1));
      return Variant(Format(Text(C, 0), args.Args()));
    }
    case sfFormatFloat: return Variant(FormatFloat(Text(C, 0), Float(C, 1)));
    case sfFormatDateTime: return Variant(FormatDateTime(Text(C, 0), DateArg(C, 1)));
    case sfFormatMaskText: return Variant(FormatMaskText(Text(C, 0), Text(C, 1)));
    default: return Null();
  }
}

Variant TfsSysFunctions::CallDateTime(TFunc Func, TfsMethodHelper* C) {
  switch (Func) {
    case sfEncodeDate: return Variant::FromDate(EncodeDate(WordArg(C, 0), WordArg(C, 1), WordArg(C, 2)));
    case sfDecodeDate: {
      Word y, m, d;
      DecodeDate(DateArg(C, 0), y, m, d);
      C->SetParamValue(1, WordResult(y));
      C->SetParamValue(2, WordResult(m));
      C->SetParamValue(3, WordResult(d));
      return Null();
    }
    case sfEncodeTime:
      return Variant::FromDate(EncodeTime(WordArg(C, 0), WordArg(C, 1), WordArg(C, 2), WordArg(C, 3)));
    case sfDecodeTime: {
      Word h, n, s, ms;
      DecodeTime(DateArg(C, 0), h, n, s, ms);
      C->SetParamValue(1, WordResult(h));
      C->SetParamValue(2, WordResult(n));
      C->SetParamValue(3, WordResult(s));
      C->SetParamValue(4, WordResult(ms));
      return Null();
    }
    case sfDate: return Variant::FromDate(Date());
    case sfTime: return Variant::FromDate(Time());
    case sfNow: return Variant::FromDate(Now());
    case sfDayOfWeek: return WordResult(DayOfWeek(DateArg(C, 0)));
    case sfIsLeapYear: return Variant(IsLeapYear(WordArg(C, 0)));
    case sfDaysInMonth: {
      // A month outside the year has no days.
      int month = Int(C, 1);
      return Variant(month >= 1 && month <= 12 ? DaysInMonth(Int(C, 0), month) : 0);
    }
    default: return Null();
  }
}

Variant TfsSysFunctions::CallString(TFunc Func, TfsMethodHelper* C) {
  switch (Func) {
    case sfLength: {
      Variant v = C->ParamValue(0);
      if (VarIsArray(v)) return Variant(VarArrayHighBound(v, 1) - VarArrayLowBound(v, 1) + 1);
      return Variant(Length(VarToStr(v)));
    }
    case sfCopy: return Variant(Copy(Text(C, 0), Int(C, 1), Int(C, 2)));
    case sfPos: return Variant(Pos(Text(C, 0), Text(C, 1)));
    case sfDelete: {
      String s = Text(C, 0);
      Delete(s, Int(C, 1), Int(C, 2));
      C->SetParamValue(0, Variant(std::move(s)));
      return Null();
    }
    case sfInsert: {
      String s = Text(C, 1);
      Insert(Text(C, 0), s, Int(C, 2));
      C->SetParamValue(1, Variant(std::move(s)));
      return Null();
    }
    case sfUppercase: return Variant(AnsiUpperCase(Text(C, 0)));
    case sfLowercase: return Variant(AnsiLowerCase(Text(C, 0)));
    case sfTrim: return Variant(Trim(Text(C, 0)));
    case sfNameCase: return Variant(NameCase(Text(C, 0)));
    case sfCompareText: {
      int r = AnsiCompareText(Text(C, 0), Text(C, 1));
      return Variant(r < 0 ? -1 : r > 0 ? 1 : 0);
    }
    case sfChr: return Variant(Chr(Int(C, 0)));
    case sfOrd: {
      int code = Ord(Text(C, 0));
      return code <= 255 ? Variant(static_cast<unsigned char>(code)) : Variant(code);
    }
    case sfSetLength: {
      Variant v = C->ParamValue(0);
      TVarType t = VarType(v);
      if (t == varString || t == varOleStr) {
        String s = v.AsString();
        SetLength(s, Int(C, 1));
        C->SetParamValue(0, Variant(std::move(s)));
      } else {
        VarArrayRedim(v, Int(C, 1) - 1);
        C->SetParamValue(0, v);
      }
      return Null();
    }
    default: return Null();
  }
}

Variant TfsSysFunctions::CallMath(TFunc Func, TfsMethodHelper* C) {
  switch (Func) {
    case sfRound: return IntegerResult(Round(Float(C, 0)));
    case sfTrunc: return IntegerResult(Trunc(Float(C, 0)));
    case sfInt: return FloatResult(Int(Float(C, 0)));
    case sfFrac: return FloatResult(Frac(Float(C, 0)));
    case sfSqrt: {
      long double x = Float(C, 0);
      if (x < 0) InvalidOp();
      return FloatResult(std::sqrt(x));
    }
    case sfAbs: return FloatResult(std::fabs(Float(C, 0)));
    case sfSin: {
      long double x = Float(C, 0);
      return FloatResult(BeyondReduction(x) ? 0.0L : std::sin(x));
    }
    case sfCos: {
      long double x = Float(C, 0);
      return FloatResult(BeyondReduction(x) ? 0.0L : std::cos(x));
    }
    case sfArcTan: return FloatResult(std::atan(Float(C, 0)));
    case sfTan: {
      long double x = Float(C, 0);
      if (BeyondReduction(x)) InvalidOp();  // 0 / 0
      return FloatResult(std::sin(x) / std::cos(x));
    }
    case sfExp: return FloatResult(std::exp(Float(C, 0)));
    case sfLn: {
      long double x = Float(C, 0);
      if (x == 0) throw EZeroDivide("Floating point division by zero");
      if (x < 0) InvalidOp();
      return FloatResult(std::log(x));
    }
    case sfPi: return Variant(static_cast<double>(3.1415926535897932385L));
    default: return Null();
  }
}

Variant TfsSysFunctions::CallOther(TFunc Func, TfsMethodHelper* C) {
  switch (Func) {
    case sfVarToStr: return Variant(VarToStr(C->ParamValue(0)));
    case sfInc: C->SetParamValue(0, C->ParamValue(0) + C->ParamValue(1)); return Null();
    case sfDec: C->SetParamValue(0, C->ParamValue(0) - C->ParamValue(1)); return Null();
    case sfRaiseException: throw Exception(Text(C, 0));
    case sfShowMessage: ShowMessage(Text(C, 0)); return Null();
    case sfRandomize:
      RandomGenerator().seed(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
      return Null();
    case sfRandom: return Variant(NextRandom());
    case sfValidInt: {
      int v;
      return Variant(TryStrToInt(Text(C, 0), v));
    }
    case sfValidFloat: {
      Extended v;
      return Variant(TryStrToFloat(Text(C, 0), v));
    }
    case sfValidDate: {
      TDateTime v;
      return Variant(TryStrToDate(Text(C, 0), v));
    }
    case sfCreateOleObject: return CreateOleObject(Text(C, 0));
    case sfVarArrayCreate: {
      Variant b = C->ParamValue(0);
      std::vector<int> bounds;
      if (VarIsArray(b))
        for (int i = VarArrayLowBound(b, 1), high = VarArrayHighBound(b, 1); i <= high; ++i)
          bounds.push_back(b.GetElement({i}).AsInteger());
      return VarArrayCreate(bounds, static_cast<TVarType>(Int(C, 1)));
    }
    case sfVarType: return WordResult(VarType(C->ParamValue(0)));
    default: return Null();
  }
}
