// The system library's registration: base types, constants, helpers, the 65 functions and the
// Variant type codes, in that order.
#include "script/fs_isysrtti.h"

#include "script/fs_ihelpers.h"

namespace {

using TFunc = TfsSysFunctions::TFunc;
using TGroupCall = Variant (*)(TFunc Func, TfsMethodHelper* Caller);

struct TBaseType {
  const char* Name;
  TfsTypeCode Code;
};

constexpr TBaseType kBaseTypes[] = {
    {"Byte", tcInteger},  {"Word", tcInteger},     {"Integer", tcInteger}, {"Longint", tcInteger},
    {"Cardinal", tcInteger}, {"TColor", tcInteger}, {"Boolean", tcBoolean}, {"Real", tcFloat},
    {"Single", tcFloat},  {"Double", tcFloat},     {"Extended", tcFloat},  {"Currency", tcFloat},
    {"TDate", tcFloat},   {"TTime", tcFloat},      {"TDateTime", tcFloat}, {"Char", tcChar},
    {"String", tcString}, {"Variant", tcVariant},  {"Pointer", tcVariant}, {"Array", tcArray},
    {"Constructor", tcConstructor},
};

enum TCategory : Byte { catConv, catFormat, catDate, catString, catMath, catOther };

struct TFunction {
  const char* Signature;
  TCategory Category;
  TGroupCall Call;
  TFunc Func;
};

using S = TfsSysFunctions;

// In the order the dictionary lists them.
const TFunction kFunctions[] = {
    {"function IntToStr(i: Integer): String", catConv, S::CallToText, S::sfIntToStr},
    {"function FloatToStr(e: Extended): String", catConv, S::CallToText, S::sfFloatToStr},
    {"function DateToStr(e: Extended): String", catConv, S::CallToText, S::sfDateToStr},
    {"function TimeToStr(e: Extended): String", catConv, S::CallToText, S::sfTimeToStr},
    {"function DateTimeToStr(e: Extended): String", catConv, S::CallToText, S::sfDateTimeToStr},
    {"function VarToStr(v: Variant): String", catConv, S::CallOther, S::sfVarToStr},
    {"function StrToInt(s: String): Integer", catConv, S::CallFromText, S::sfStrToInt},
    {"function StrToInt64(s: String): Integer", catConv, S::CallFromText, S::sfStrToInt64},
    {"function StrToFloat(s: String): Extended", catConv, S::CallFromText, S::sfStrToFloat},
    {"function StrToDate(s: String): Extended", catConv, S::CallFromText, S::sfStrToDate},
    {"function StrToTime(s: String): Extended", catConv, S::CallFromText, S::sfStrToTime},
    {"function StrToDateTime(s: String): Extended", catConv, S::CallFromText, S::sfStrToDateTime},

    {"function Format(Fmt: String; Args: array): String", catFormat, S::CallFormat, S::sfFormat},
    {"function FormatFloat(Fmt: String; Value: Extended): String", catFormat, S::CallFormat, S::sfFormatFloat},
    {"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", catFormat, S::CallFormat,
     S::sfFormatDateTime},
    {"function FormatMaskText(EditMask: string; Value: string): string", catFormat, S::CallFormat,
     S::sfFormatMaskText},

    {"function EncodeDate(Year, Month, Day: Word): TDateTime", catDate, S::CallDateTime, S::sfEncodeDate},
    {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", catDate, S::CallDateTime,
     S::sfDecodeDate},
    {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", catDate, S::CallDateTime, S::sfEncodeTime},
    {"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", catDate, S::CallDateTime,
     S::sfDecodeTime},
    {"function Date: TDateTime", catDate, S::CallDateTime, S::sfDate},
    {"function Time: TDateTime", catDate, S::CallDateTime, S::sfTime},
    {"function Now: TDateTime", catDate, S::CallDateTime, S::sfNow},
    {"function DayOfWeek(aDate: TDateTime): Integer", catDate, S::CallDateTime, S::sfDayOfWeek},
    {"function IsLeapYear(Year: Word): Boolean", catDate, S::CallDateTime, S::sfIsLeapYear},
    {"function DaysInMonth(nYear, nMonth: Integer): Integer", catDate, S::CallDateTime, S::sfDaysInMonth},

    {"function Length(s: Variant): Integer", catString, S::CallString, S::sfLength},
    {"function Copy(s: String; from, count: Integer): String", catString, S::CallString, S::sfCopy},
    {"function Pos(substr, s: String): Integer", catString, S::CallString, S::sfPos},
    {"procedure Delete(var s: String; from, count: Integer)", catString, S::CallString, S::sfDelete},
    {"procedure DeleteStr(var s: String; from, count: Integer)", catString, S::CallString, S::sfDelete},
    {"procedure Insert(s: String; var s2: String; pos: Integer)", catString, S::CallString, S::sfInsert},
    {"function Uppercase(s: String): String", catString, S::CallString, S::sfUppercase},
    {"function Lowercase(s: String): String", catString, S::CallString, S::sfLowercase},
    {"function Trim(s: String): String", catString, S::CallString, S::sfTrim},
    {"function NameCase(s: String): String", catString, S::CallString, S::sfNameCase},
    {"function CompareText(s, s1: String): Integer", catString, S::CallString, S::sfCompareText},
    {"function Chr(i: Integer): Char", catString, S::CallString, S::sfChr},
    {"function Ord(ch: Char): Integer", catString, S::CallString, S::sfOrd},
    {"procedure SetLength(var S: Variant; L: Integer)", catString, S::CallString, S::sfSetLength},

    {"function Round(e: Extended): Integer", catMath, S::CallMath, S::sfRound},
    {"function Trunc(e: Extended): Integer", catMath, S::CallMath, S::sfTrunc},
    {"function Int(e: Extended): Integer", catMath, S::CallMath, S::sfInt},
    {"function Frac(X: Extended): Extended", catMath, S::CallMath, S::sfFrac},
    {"function Sqrt(e: Extended): Extended", catMath, S::CallMath, S::sfSqrt},
    {"function Abs(e: Extended): Extended", catMath, S::CallMath, S::sfAbs},
    {"function Sin(e: Extended): Extended", catMath, S::CallMath, S::sfSin},
    {"function Cos(e: Extended): Extended", catMath, S::CallMath, S::sfCos},
    {"function ArcTan(X: Extended): Extended", catMath, S::CallMath, S::sfArcTan},
    {"function Tan(X: Extended): Extended", catMath, S::CallMath, S::sfTan},
    {"function Exp(X: Extended): Extended", catMath, S::CallMath, S::sfExp},
    {"function Ln(X: Extended): Extended", catMath, S::CallMath, S::sfLn},
    {"function Pi: Extended", catMath, S::CallMath, S::sfPi},

    {"procedure Inc(var i: Integer; incr: Integer = 1)", catOther, S::CallOther, S::sfInc},
    {"procedure Dec(var i: Integer; decr: Integer = 1)", catOther, S::CallOther, S::sfDec},
    {"procedure RaiseException(Param: String)", catOther, S::CallOther, S::sfRaiseException},
    {"procedure ShowMessage(Msg: Variant)", catOther, S::CallOther, S::sfShowMessage},
    {"procedure Randomize", catOther, S::CallOther, S::sfRandomize},
    {"function Random: Extended", catOther, S::CallOther, S::sfRandom},
    {"function ValidInt(cInt: String): Boolean", catOther, S::CallOther, S::sfValidInt},
    {"function ValidFloat(cFlt: String): Boolean", catOther, S::CallOther, S::sfValidFloat},
    {"function ValidDate(cDate: String): Boolean", catOther, S::CallOther, S::sfValidDate},
    {"function CreateOleObject(ClassName: String): Variant", catOther, S::CallOther, S::sfCreateOleObject},
    {"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", catOther, S::CallOther, S::sfVarArrayCreate},
    {"function VarType(V: Variant): Integer", catOther, S::CallOther, S::sfVarType},
};
static_assert(std::size(kFunctions) == 65);

struct TVarCode {
  const char* Name;
  TVarType Code;
};

// In ascending order of value.
constexpr TVarCode kVarCodes[] = {
    {"varEmpty", varEmpty},       {"varNull", varNull},         {"varSmallint", varSmallint},
    {"varInteger", varInteger},   {"varSingle", varSingle},     {"varDouble", varDouble},
    {"varCurrency", varCurrency}, {"varDate", varDate},         {"varOleStr", varOleStr},
    {"varDispatch", varDispatch}, {"varError", varError},       {"varBoolean", varBoolean},
    {"varVariant", varVariant},   {"varUnknown", varUnknown},   {"varShortInt", varShortInt},
    {"varByte", varByte},         {"varWord", varWord},         {"varLongWord", varLongWord},
    {"varInt64", varInt64},       {"varStrArg", varStrArg},     {"varString", varString},
    {"varAny", varAny},           {"varTypeMask", varTypeMask}, {"varArray", varArray},
    {"varByRef", varByRef},
};
static_assert(std::size(kVarCodes) == 25);

}  // namespace

TfsSysFunctions::TfsSysFunctions(TfsScript* AScript) : TfsRTTIModule(AScript) {
  TfsScript* s = AScript;
  for (const TBaseType& t : kBaseTypes) s->RegisterType(t.Name, t.Code);

  s->RegisterConst("True", "Boolean", Variant(true));
  s->RegisterConst("False", "Boolean", Variant(false));
  s->RegisterConst("nil", "Variant", Variant(0));
  s->RegisterConst("Null", "Variant", Null());

  s->PutItem("__StringHelper", new TfsStringHelper("__StringHelper"));
  s->PutItem("__ArrayHelper", new TfsArrayHelper("__ArrayHelper", 3, 1, tcVariant, "Variant"));

  const String* categories[] = {&FCatConv, &FCatFormat, &FCatDate, &FCatString, &FCatMath, &FCatOther};
  for (const TFunction& f : kFunctions) {
    TGroupCall call = f.Call;
    TFunc func = f.Func;
    s->RegisterFunction(
        f.Signature, [call, func](TObject*, TClass, const String&, TfsMethodHelper* Caller) { return call(func, Caller); },
        *categories[f.Category]);
  }

  for (const TVarCode& c : kVarCodes) s->RegisterConst(c.Name, "Integer", Variant(static_cast<int>(c.Code)));
}

namespace {

// First in the module list: every other module names the base types registered here.
const bool kRegistered = [] {
  RegisterScriptModule("TfsSysFunctions", fmrSystem, [](TfsScript* s) { return new TfsSysFunctions(s); });
  return true;
}();

}  // namespace
