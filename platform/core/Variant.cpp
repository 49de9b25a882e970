#include "core/Variant.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

__extension__ typedef __int128 Int128;

struct VarArrayData {
  TVarType ElementType = varVariant;
  std::vector<TVarArrayBound> Bounds;  // one per dimension
  std::vector<Variant> Items;          // the first index varies fastest, so redim keeps them
};

// Private access for the free functions of this file.
struct VariantAccess {
  static Variant Make(TVarType t, Int64 i) {
    Variant v;
    v.FVType = t;
    v.FData.I = i;
    return v;
  }
  static Variant MakeDouble(TVarType t, double d) {
    Variant v;
    v.FVType = t;
    v.FData.D = d;
    return v;
  }
  static Variant MakeStr(TVarType t, String s) {
    Variant v;
    v.FVType = t;
    if (!s.empty()) v.FRef = std::make_shared<String>(std::move(s));
    return v;
  }
  static Variant MakeRef(TVarType t, std::shared_ptr<void> ref) {
    Variant v;
    v.FVType = t;
    v.FRef = std::move(ref);
    return v;
  }
  static Variant MakeArray(std::shared_ptr<VarArrayData> data) {
    Variant v;
    v.FVType = varArray | data->ElementType;
    v.FRef = std::move(data);
    return v;
  }
  static Int64 I(const Variant& v) { return v.FData.I; }
  static double D(const Variant& v) { return v.FData.D; }
  static float S(const Variant& v) { return v.FData.S; }
  static const String& Str(const Variant& v) {
    static const String empty;
    return v.FRef ? *static_cast<const String*>(v.FRef.get()) : empty;
  }
  static const std::shared_ptr<void>& Ref(const Variant& v) { return v.FRef; }
  static const VarArrayData& Arr(const Variant& v) { return *static_cast<const VarArrayData*>(v.FRef.get()); }
  // The array of v, copied first when another variant shares it.
  static VarArrayData& MutableArr(Variant& v) {
    if (v.FRef.use_count() > 1) v.FRef = std::make_shared<VarArrayData>(Arr(v));
    return *static_cast<VarArrayData*>(v.FRef.get());
  }
  static void Clear(Variant& v) {
    v.FVType = varEmpty;
    v.FData.I = 0;
    v.FRef.reset();
  }
};

using VA = VariantAccess;

namespace {

constexpr Int64 kMaxCurrencyUnits = Currency::kMaxUnits;

enum class Kind { Empty, Null, Ordinal, Float, Curr, Date, Str, Object, Error, Array, Bad };

Kind KindOf(TVarType t) {
  if (t & varArray) return Kind::Array;
  switch (t) {
    case varEmpty: return Kind::Empty;
    case varNull: return Kind::Null;
    case varSmallint: case varInteger: case varBoolean: case varShortInt:
    case varByte: case varWord: case varLongWord: case varInt64:
      return Kind::Ordinal;
    case varSingle: case varDouble: return Kind::Float;
    case varCurrency: return Kind::Curr;
    case varDate: return Kind::Date;
    case varOleStr: case varString: return Kind::Str;
    case varDispatch: case varUnknown: return Kind::Object;
    case varError: return Kind::Error;
    default: return Kind::Bad;
  }
}

bool IsWide(TVarType t) { return t == varInt64 || t == varLongWord; }

bool IsElementType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency:
    case varDate: case varOleStr: case varDispatch: case varError: case varBoolean:
    case varVariant: case varUnknown: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64: case varString:
      return true;
    default:
      return false;
  }
}

[[noreturn]] void CastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(from) + ") into type (" +
                              VarTypeAsText(to) + ")");
}
[[noreturn]] void OverflowError(TVarType from, TVarType to) {
  throw EVariantOverflowError("Overflow while converting variant of type (" + VarTypeAsText(from) +
                              ") into type (" + VarTypeAsText(to) + ")");
}
[[noreturn]] void InvalidOp() { throw EVariantInvalidOpError("Invalid variant operation"); }
[[noreturn]] void BadIndex() { throw EVariantBadIndexError("Variant or safe array index out of bounds"); }
[[noreturn]] void ArrayCreateError() { throw EVariantArrayCreateError("Error creating variant or safe array"); }
[[noreturn]] void NotAnArray() { throw EVariantNotAnArrayError("Variant is not an array"); }

bool TryTextToBool(const String& s, bool& out) {
  if (SameText(s, "True")) { out = true; return true; }
  if (SameText(s, "False")) { out = false; return true; }
  return false;
}

// Half to even, into Int64; beyond its range is an overflow.
Int64 FloatToInt(long double e, TVarType from, TVarType to) {
  if (std::isnan(e) || e >= 0x1p63L - 0.5L || e < -0x1p63L) OverflowError(from, to);
  return Round(e);
}

Int64 RoundDivScale(Int128 p) {
  Int128 q = p / Currency::kScale, rem = p % Currency::kScale;
  Int128 absRem = rem < 0 ? -rem : rem;
  int sign = p < 0 ? -1 : 1;
  if (absRem > 5000 || (absRem == 5000 && (q % 2) != 0)) q += sign;
  return static_cast<Int64>(q);
}

bool FitsInt64(Int128 r) {
  return r >= std::numeric_limits<Int64>::min() && r <= std::numeric_limits<Int64>::max();
}
bool FitsInt32(Int64 r) {
  return r >= std::numeric_limits<Integer>::min() && r <= std::numeric_limits<Integer>::max();
}

Int64 ToInt64(const Variant& v, TVarType target) {
  TVarType t = v.VType();
  switch (KindOf(t)) {
    case Kind::Empty: return 0;
    case Kind::Ordinal: return VA::I(v);
    case Kind::Float: return FloatToInt(t == varSingle ? VA::S(v) : VA::D(v), t, target);
    case Kind::Date: return FloatToInt(VA::D(v), t, target);
    case Kind::Curr: return RoundDivScale(VA::I(v));
    case Kind::Str: {
      const String& s = VA::Str(v);
      Int64 i;
      if (TryStrToInt64(s, i)) return i;
      Extended e;
      if (TryStrToFloat(s, e)) return FloatToInt(e, t, target);
      bool b;
      if (TryTextToBool(s, b)) return b ? -1 : 0;
      CastError(t, target);
    }
    default: CastError(t, target);
  }
}

double CheckedDouble(long double e, TVarType from, TVarType to) {
  if (std::isfinite(e) && std::fabs(e) > DBL_MAX) OverflowError(from, to);
  return static_cast<double>(e);
}

double StrToDouble(const String& s, TVarType from, TVarType to) {
  Extended e;
  if (TryStrToFloat(s, e)) return CheckedDouble(e, from, to);
  bool b;
  if (TryTextToBool(s, b)) return b ? -1.0 : 0.0;
  CastError(from, to);
}

double ToDouble(const Variant& v, TVarType target) {
  TVarType t = v.VType();
  switch (KindOf(t)) {
    case Kind::Empty: return 0.0;
    case Kind::Ordinal: return static_cast<double>(VA::I(v));
    case Kind::Float: return t == varSingle ? VA::S(v) : VA::D(v);
    case Kind::Date: return VA::D(v);
    case Kind::Curr: return Currency::FromRaw(VA::I(v)).ToDouble();
    case Kind::Str: return StrToDouble(VA::Str(v), t, target);
    default: CastError(t, target);
  }
}

// Exact enough for ordering an Int64 against a double.
long double ToLongDouble(const Variant& v) {
  switch (KindOf(v.VType())) {
    case Kind::Ordinal: return static_cast<long double>(VA::I(v));
    case Kind::Curr: return static_cast<long double>(VA::I(v)) / Currency::kScale;
    default: return ToDouble(v, varDouble);
  }
}

Int64 FloatToCurrencyRaw(long double e, TVarType from) {
  long double scaled = e * Currency::kScale;
  if (!(std::fabs(scaled) < 0x1p63L - 0.5L)) OverflowError(from, varCurrency);
  return Currency::FromExtended(e).Value;
}

Int64 ToCurrencyRaw(const Variant& v) {
  TVarType t = v.VType();
  switch (KindOf(t)) {
    case Kind::Empty: return 0;
    case Kind::Ordinal: {
      Int64 i = VA::I(v);
      if (i > kMaxCurrencyUnits || i < -kMaxCurrencyUnits) OverflowError(t, varCurrency);
      return i * Currency::kScale;
    }
    case Kind::Float: return FloatToCurrencyRaw(t == varSingle ? VA::S(v) : VA::D(v), t);
    case Kind::Date: return FloatToCurrencyRaw(VA::D(v), t);
    case Kind::Curr: return VA::I(v);
    case Kind::Str: {
      const String& s = VA::Str(v);
      Currency c;
      if (TryStrToCurr(s, c)) return c.Value;
      Extended e;
      if (TryStrToFloat(s, e)) return FloatToCurrencyRaw(e, t);
      bool b;
      if (TryTextToBool(s, b)) return b ? -Currency::kScale : 0;
      CastError(t, varCurrency);
    }
    default: CastError(t, varCurrency);
  }
}

TDateTime ToDate(const Variant& v) {
  TVarType t = v.VType();
  if (KindOf(t) != Kind::Str) return ToDouble(v, varDate);
  const String& s = VA::Str(v);
  TDateTime dt;
  if (TryStrToDateTime(s, dt)) return dt;
  Extended e;
  if (TryStrToFloat(s, e)) return CheckedDouble(e, t, varDate);
  CastError(t, varDate);
}

bool ToBool(const Variant& v) {
  TVarType t = v.VType();
  switch (KindOf(t)) {
    case Kind::Empty: return false;
    case Kind::Ordinal: case Kind::Curr: return VA::I(v) != 0;
    case Kind::Float: return (t == varSingle ? VA::S(v) : VA::D(v)) != 0.0;
    case Kind::Date: return VA::D(v) != 0.0;
    case Kind::Str: {
      const String& s = VA::Str(v);
      bool b;
      if (TryTextToBool(s, b)) return b;
      Extended e;
      if (TryStrToFloat(s, e)) return e != 0;
      CastError(t, varBoolean);
    }
    default: CastError(t, varBoolean);
  }
}

String ToStr(const Variant& v, TVarType target) {
  TVarType t = v.VType();
  switch (KindOf(t)) {
    case Kind::Empty: return String();
    case Kind::Ordinal:
      if (t == varBoolean) return VA::I(v) ? "True" : "False";
      return IntToStr(VA::I(v));
    case Kind::Float: return FloatToStr(t == varSingle ? VA::S(v) : VA::D(v));
    case Kind::Date: return DateTimeToStr(VA::D(v));
    case Kind::Curr: return CurrToStr(Currency::FromRaw(VA::I(v)));
    case Kind::Str: return VA::Str(v);
    default: CastError(t, target);
  }
}

Variant MakeInt(Int64 r, bool wide) {
  if (wide || !FitsInt32(r)) return Variant(static_cast<long long>(r));
  return Variant(static_cast<int>(r));
}

// Arrays cannot take part in operators; objects and error codes are not numbers.
void CheckOperand(const Variant& v, TVarType target) {
  switch (KindOf(v.VType())) {
    case Kind::Array: InvalidOp();
    case Kind::Object: case Kind::Error: case Kind::Bad: CastError(v.VType(), target);
    default: break;
  }
}

// ---------------------------------------------------------------------------------------
// + - * /

enum class ArithOp { Add, Sub, Mul, Div };

double FloatArith(ArithOp op, double x, double y) {
  double r = 0;
  switch (op) {
    case ArithOp::Add: r = x + y; break;
    case ArithOp::Sub: r = x - y; break;
    case ArithOp::Mul: r = x * y; break;
    case ArithOp::Div:
      if (y == 0 && !std::isnan(x)) {
        if (x == 0) throw EInvalidOp("Invalid floating point operation");
        throw EZeroDivide("Floating point division by zero");
      }
      r = x / y;
      break;
  }
  if (std::isinf(r) && std::isfinite(x) && std::isfinite(y)) throw EOverflow("Floating point overflow");
  return r;
}

Variant FloatResult(ArithOp op, const Variant& a, const Variant& b) {
  return Variant(FloatArith(op, ToDouble(a, varDouble), ToDouble(b, varDouble)));
}

Variant IntArith(ArithOp op, const Variant& a, const Variant& b) {
  Int64 x = VA::I(a), y = VA::I(b), r = 0;
  bool overflow = false;
  switch (op) {
    case ArithOp::Add: overflow = __builtin_add_overflow(x, y, &r); break;
    case ArithOp::Sub: overflow = __builtin_sub_overflow(x, y, &r); break;
    case ArithOp::Mul: overflow = __builtin_mul_overflow(x, y, &r); break;
    case ArithOp::Div: return FloatResult(op, a, b);
  }
  // Beyond Int64 the value goes on as a float rather than wrapping.
  if (overflow) return FloatResult(op, a, b);
  return MakeInt(r, IsWide(a.VType()) || IsWide(b.VType()));
}

Variant CurrArith(ArithOp op, const Variant& a, const Variant& b) {
  bool ca = a.VType() == varCurrency, cb = b.VType() == varCurrency;
  Int128 r = 0;
  if (op == ArithOp::Mul) {
    Int128 p = Int128(VA::I(a)) * VA::I(b);
    r = (ca && cb) ? Int128(RoundDivScale(p)) : p;
  } else {
    Int128 x = ca ? Int128(VA::I(a)) : Int128(VA::I(a)) * Currency::kScale;
    Int128 y = cb ? Int128(VA::I(b)) : Int128(VA::I(b)) * Currency::kScale;
    r = op == ArithOp::Add ? x + y : x - y;
  }
  if (!FitsInt64(r)) return FloatResult(op, a, b);
  return Variant(Currency::FromRaw(static_cast<Int64>(r)));
}

Variant Arith(ArithOp op, const Variant& a, const Variant& b) {
  CheckOperand(a, varDouble);
  CheckOperand(b, varDouble);
  TVarType ta = a.VType(), tb = b.VType();
  Kind ka = KindOf(ta), kb = KindOf(tb);
  if (ka == Kind::Null || kb == Kind::Null) return Null();
  bool sa = ka == Kind::Str, sb = kb == Kind::Str;
  if (op == ArithOp::Add && (sa || sb) && (sa || ka == Kind::Empty) && (sb || kb == Kind::Empty)) {
    TVarType rt = (ta == varString || tb == varString) ? varString : varOleStr;
    if (ka == Kind::Empty) return VA::MakeRef(rt, VA::Ref(b));
    if (kb == Kind::Empty) return VA::MakeRef(rt, VA::Ref(a));
    return VA::MakeStr(rt, VA::Str(a) + VA::Str(b));
  }
  if (sa || sb) return FloatResult(op, a, b);
  if (ka == Kind::Date || kb == Kind::Date) {
    // A date moved by a number stays a date; the distance of two dates is a number of days.
    bool shift = op == ArithOp::Add || (op == ArithOp::Sub && kb != Kind::Date);
    if (!shift) return FloatResult(op, a, b);
    return Variant::FromDate(FloatArith(op, ToDouble(a, varDate), ToDouble(b, varDate)));
  }
  if (ka == Kind::Float || kb == Kind::Float || op == ArithOp::Div) return FloatResult(op, a, b);
  if (ka == Kind::Curr || kb == Kind::Curr) return CurrArith(op, a, b);
  return IntArith(op, a, b);
}

// ---------------------------------------------------------------------------------------
// div mod and or xor shl shr

enum class IntOp { Div, Mod, And, Or, Xor, Shl, Shr };

Variant IntegerOp(IntOp op, const Variant& a, const Variant& b) {
  CheckOperand(a, varInteger);
  CheckOperand(b, varInteger);
  TVarType ta = a.VType(), tb = b.VType();
  if (ta == varNull || tb == varNull) {
    const Variant& other = ta == varNull ? b : a;
    if (other.VType() == varBoolean) {
      bool o = VA::I(other) != 0;
      if (op == IntOp::And && !o) return Variant(false);
      if (op == IntOp::Or && o) return Variant(true);
    }
    return Null();
  }
  bool logical = op == IntOp::And || op == IntOp::Or || op == IntOp::Xor;
  bool boolA = ta == varBoolean || ta == varEmpty, boolB = tb == varBoolean || tb == varEmpty;
  if (logical && boolA && boolB && (ta == varBoolean || tb == varBoolean)) {
    bool x = VA::I(a) != 0, y = VA::I(b) != 0;
    return Variant(op == IntOp::And ? (x && y) : op == IntOp::Or ? (x || y) : (x != y));
  }
  Int64 x = ToInt64(a, varInteger), y = ToInt64(b, varInteger);
  bool wide = IsWide(ta) || IsWide(tb);
  switch (op) {
    case IntOp::Div:
    case IntOp::Mod:
      if (y == 0) throw EDivByZero("Division by zero");
      if (y == -1) {
        if (op == IntOp::Mod) return MakeInt(0, wide);
        if (x == std::numeric_limits<Int64>::min()) throw EIntOverflow("Integer overflow");
      }
      return MakeInt(op == IntOp::Div ? x / y : x % y, wide);
    case IntOp::And: return MakeInt(x & y, wide);
    case IntOp::Or: return MakeInt(x | y, wide);
    case IntOp::Xor: return MakeInt(x ^ y, wide);
    case IntOp::Shl:
      // Shifted in 64 bits, so bits leaving an Integer widen it to Int64.
      return MakeInt(static_cast<Int64>(static_cast<std::uint64_t>(x) << (y & 63)), wide);
    case IntOp::Shr:
      if (!wide && FitsInt32(x))
        return MakeInt(static_cast<Integer>(static_cast<std::uint32_t>(x) >> (y & 31)), false);
      return MakeInt(static_cast<Int64>(static_cast<std::uint64_t>(x) >> (y & 63)), true);
  }
  return Variant();
}

// ---------------------------------------------------------------------------------------
// Comparison

TVariantRelationship RelOf(int c) { return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual; }

template <class T> TVariantRelationship RelOf(T x, T y) {
  if (x < y) return vrLessThan;
  if (x > y) return vrGreaterThan;
  if (x == y) return vrEqual;
  return vrNotEqual;  // NaN
}

TVariantRelationship Compare(const Variant& a, const Variant& b, bool ordered);

TVariantRelationship CompareArrays(const Variant& a, const Variant& b, bool ordered) {
  const VarArrayData& x = VA::Arr(a);
  const VarArrayData& y = VA::Arr(b);
  bool sameShape = x.Bounds.size() == y.Bounds.size();
  for (std::size_t d = 0; sameShape && d < x.Bounds.size(); ++d)
    sameShape = x.Bounds[d].LowBound == y.Bounds[d].LowBound && x.Bounds[d].ElementCount == y.Bounds[d].ElementCount;
  if (!sameShape) {
    if (ordered) InvalidOp();
    return vrNotEqual;
  }
  for (std::size_t i = 0; i < x.Items.size(); ++i) {
    TVariantRelationship r = Compare(x.Items[i], y.Items[i], ordered);
    if (r != vrEqual) return r;
  }
  return vrEqual;
}

// Objects and error codes can be told equal or not, but have no order.
TVariantRelationship CompareIdentities(const Variant& a, const Variant& b, bool ordered) {
  Kind ka = KindOf(a.VType()), kb = KindOf(b.VType());
  if (ka != kb || ka == Kind::Bad) InvalidOp();
  bool same = ka == Kind::Object ? a.AsUnknown().get() == b.AsUnknown().get() : VA::I(a) == VA::I(b);
  if (same) return vrEqual;
  if (ordered) InvalidOp();
  return vrNotEqual;
}

TVariantRelationship Compare(const Variant& a, const Variant& b, bool ordered) {
  TVarType ta = a.VType(), tb = b.VType();
  Kind ka = KindOf(ta), kb = KindOf(tb);
  if (ka == Kind::Array || kb == Kind::Array) {
    if (ka != kb) InvalidOp();
    return CompareArrays(a, b, ordered);
  }
  if (ka == Kind::Null || kb == Kind::Null) {
    if (ka == kb) return vrEqual;
    return ka == Kind::Null ? vrLessThan : vrGreaterThan;
  }
  auto special = [](Kind k) { return k == Kind::Object || k == Kind::Error || k == Kind::Bad; };
  if (special(ka) || special(kb)) return CompareIdentities(a, b, ordered);
  if (ka == Kind::Empty && kb == Kind::Empty) return vrEqual;
  bool sa = ka == Kind::Str, sb = kb == Kind::Str;
  if ((sa || ka == Kind::Empty) && (sb || kb == Kind::Empty)) return RelOf(CompareStr(VA::Str(a), VA::Str(b)));
  bool ba = ta == varBoolean, bb = tb == varBoolean;
  if ((ba || sa || ka == Kind::Empty) && (bb || sb || kb == Kind::Empty))
    return RelOf<int>(ToBool(a), ToBool(b));  // False orders before True
  if (sa || sb || ka == Kind::Float || kb == Kind::Float || ka == Kind::Date || kb == Kind::Date) {
    if ((sa && kb == Kind::Date) || (sb && ka == Kind::Date)) return RelOf<double>(ToDate(a), ToDate(b));
    return RelOf(ToLongDouble(a), ToLongDouble(b));
  }
  if (ka == Kind::Curr || kb == Kind::Curr) {
    Int128 x = ka == Kind::Curr ? Int128(VA::I(a)) : Int128(VA::I(a)) * Currency::kScale;
    Int128 y = kb == Kind::Curr ? Int128(VA::I(b)) : Int128(VA::I(b)) * Currency::kScale;
    return RelOf(x, y);
  }
  return RelOf(VA::I(a), VA::I(b));
}

// ---------------------------------------------------------------------------------------
// Arrays

std::size_t Offset(const VarArrayData& data, const int* idx, std::size_t n) {
  if (n != data.Bounds.size()) BadIndex();
  std::size_t offset = 0, stride = 1;
  for (std::size_t d = 0; d < n; ++d) {
    const TVarArrayBound& b = data.Bounds[d];
    Int64 rel = Int64(idx[d]) - b.LowBound;
    if (rel < 0 || rel >= b.ElementCount) BadIndex();
    offset += static_cast<std::size_t>(rel) * stride;
    stride *= static_cast<std::size_t>(b.ElementCount);
  }
  return offset;
}

const VarArrayData& ArrayOf(const Variant& v) {
  if (!VarIsArray(v)) NotAnArray();
  return VA::Arr(v);
}

// Zero, '', False or no object: a scalar variant with cleared storage reads as each of them.
Variant DefaultElement(TVarType t) { return t == varVariant ? Variant() : VA::Make(t, 0); }

void ResizeItems(VarArrayData& data, Int64 total) {
  if (total > std::numeric_limits<int>::max()) ArrayCreateError();
  try {
    data.Items.resize(static_cast<std::size_t>(total), DefaultElement(data.ElementType));
  } catch (const std::bad_alloc&) {
    ArrayCreateError();
  }
}

Variant GetAt(const Variant& v, const int* idx, std::size_t n) {
  const VarArrayData& data = ArrayOf(v);
  return data.Items[Offset(data, idx, n)];
}

void PutAt(Variant& v, const int* idx, std::size_t n, const Variant& value) {
  const VarArrayData& current = ArrayOf(v);
  std::size_t offset = Offset(current, idx, n);
  // Convert before writing so that a failed conversion leaves the array as it was.
  Variant item = current.ElementType == varVariant ? value : VarAsType(value, current.ElementType);
  VA::MutableArr(v).Items[offset] = std::move(item);
}

Variant ConvertArray(const Variant& v, TVarType elementType) {
  const VarArrayData& src = VA::Arr(v);
  auto data = std::make_shared<VarArrayData>();
  data->ElementType = elementType;
  data->Bounds = src.Bounds;
  data->Items.reserve(src.Items.size());
  for (const Variant& item : src.Items)
    data->Items.push_back(elementType == varVariant ? item : VarAsType(item, elementType));
  return VA::MakeArray(std::move(data));
}

Variant RangeChecked(const Variant& v, TVarType t, Int64 lo, Int64 hi) {
  Int64 i = ToInt64(v, t);
  if (i < lo || i > hi) OverflowError(v.VType(), t);
  return VA::Make(t, i);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Variant

Variant::Variant(char c) : Variant(String(1, c)) {}

Variant::Variant(unsigned long v) noexcept : Variant(static_cast<unsigned long long>(v)) {}

Variant::Variant(unsigned long long v) noexcept {
  if (v <= static_cast<unsigned long long>(std::numeric_limits<Int64>::max())) {
    FVType = varInt64;
    FData.I = static_cast<Int64>(v);
  } else {
    FVType = varDouble;
    FData.D = static_cast<double>(v);
  }
}

Variant::Variant(const String& s) : Variant(String(s)) {}
Variant::Variant(String&& s) : FVType(varString) {
  if (!s.empty()) FRef = std::make_shared<String>(std::move(s));
}
Variant::Variant(std::string_view s) : Variant(String(s)) {}
Variant::Variant(const char* s) : Variant(String(s ? s : "")) {}

Variant Variant::FromDate(TDateTime v) noexcept { return VA::MakeDouble(varDate, v); }
Variant Variant::FromOleStr(String s) { return VA::MakeStr(varOleStr, std::move(s)); }
Variant Variant::FromError(int code) noexcept { return VA::Make(varError, code); }
Variant Variant::FromDispatch(std::shared_ptr<IDispatchObject> obj) noexcept {
  return VA::MakeRef(varDispatch, std::move(obj));
}
Variant Variant::FromUnknown(std::shared_ptr<IUnknownObject> obj) noexcept {
  return VA::MakeRef(varUnknown, std::move(obj));
}

Integer Variant::AsInteger() const {
  Int64 i = ToInt64(*this, varInteger);
  if (!FitsInt32(i)) OverflowError(FVType, varInteger);
  return static_cast<Integer>(i);
}
Int64 Variant::AsInt64() const { return ToInt64(*this, varInt64); }
double Variant::AsDouble() const { return ToDouble(*this, varDouble); }
Currency Variant::AsCurrency() const { return Currency::FromRaw(ToCurrencyRaw(*this)); }
bool Variant::AsBoolean() const { return ToBool(*this); }
String Variant::AsString() const { return ToStr(*this, varString); }
TDateTime Variant::AsDateTime() const { return ToDate(*this); }

std::shared_ptr<IDispatchObject> Variant::AsDispatch() const {
  switch (FVType) {
    case varEmpty: return nullptr;
    case varDispatch: return std::static_pointer_cast<IDispatchObject>(FRef);
    case varUnknown: {
      auto obj = std::static_pointer_cast<IUnknownObject>(FRef);
      if (!obj) return nullptr;
      if (auto disp = std::dynamic_pointer_cast<IDispatchObject>(obj)) return disp;
      break;
    }
    default: break;
  }
  CastError(FVType, varDispatch);
}

std::shared_ptr<IUnknownObject> Variant::AsUnknown() const {
  switch (FVType) {
    case varEmpty: return nullptr;
    case varDispatch: return std::static_pointer_cast<IDispatchObject>(FRef);
    case varUnknown: return std::static_pointer_cast<IUnknownObject>(FRef);
    default: CastError(FVType, varUnknown);
  }
}

int Variant::ErrorCode() const {
  if (FVType != varError) CastError(FVType, varError);
  return static_cast<int>(FData.I);
}

Variant Variant::GetElement(std::initializer_list<int> indices) const {
  return GetAt(*this, indices.begin(), indices.size());
}
Variant Variant::GetElement(const std::vector<int>& indices) const {
  return GetAt(*this, indices.data(), indices.size());
}
void Variant::PutElement(std::initializer_list<int> indices, const Variant& value) {
  PutAt(*this, indices.begin(), indices.size(), value);
}
void Variant::PutElement(const std::vector<int>& indices, const Variant& value) {
  PutAt(*this, indices.data(), indices.size(), value);
}
Variant Variant::operator[](int index) const { return GetAt(*this, &index, 1); }

// ---------------------------------------------------------------------------------------
// Free functions

Variant Null() { return VA::Make(varNull, 0); }
Variant Unassigned() { return Variant(); }
Variant VarError(int code) { return Variant::FromError(code); }

TVarType VarType(const Variant& v) { return v.VType(); }
bool VarIsNull(const Variant& v) { return v.VType() == varNull; }
bool VarIsEmpty(const Variant& v) { return v.VType() == varEmpty; }
bool VarIsClear(const Variant& v) {
  TVarType t = v.VType();
  return t == varEmpty || ((t == varDispatch || t == varUnknown) && !VA::Ref(v));
}
bool VarIsOrdinal(const Variant& v) { return KindOf(v.VType()) == Kind::Ordinal; }
bool VarIsFloat(const Variant& v) {
  TVarType t = v.VType();
  return t == varSingle || t == varDouble || t == varCurrency;
}
bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v); }
bool VarIsStr(const Variant& v) { return KindOf(v.VType()) == Kind::Str; }
bool VarIsArray(const Variant& v) { return (v.VType() & varArray) != 0; }
bool VarIsType(const Variant& v, TVarType t) { return v.VType() == t; }
void VarClear(Variant& v) { VA::Clear(v); }

String VarTypeAsText(TVarType t) {
  struct Name { TVarType Type; const char* Text; };
  static const Name names[] = {
      {varEmpty, "Empty"},       {varNull, "Null"},         {varSmallint, "Smallint"}, {varInteger, "Integer"},
      {varSingle, "Single"},     {varDouble, "Double"},     {varCurrency, "Currency"}, {varDate, "Date"},
      {varOleStr, "OleStr"},     {varDispatch, "Dispatch"}, {varError, "Error"},       {varBoolean, "Boolean"},
      {varVariant, "Variant"},   {varUnknown, "Unknown"},   {varShortInt, "ShortInt"}, {varByte, "Byte"},
      {varWord, "Word"},         {varLongWord, "LongWord"}, {varInt64, "Int64"},       {varStrArg, "StrArg"},
      {varString, "String"},     {varAny, "Any"},
  };
  TVarType base = t & varTypeMask;
  String text;
  for (const Name& n : names)
    if (n.Type == base) text = n.Text;
  if (text.empty()) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "$%.4X", static_cast<unsigned>(base));
    text = buf;
  }
  if (t & varArray) text = "Array " + text;
  if (t & varByRef) text = "ByRef " + text;
  return text;
}

String VarToStr(const Variant& v) { return VarIsNull(v) ? String() : v.AsString(); }

String VarToStrDef(const Variant& v, const String& def) {
  return VarIsNull(v) || VarIsEmpty(v) ? def : v.AsString();
}

Variant VarAsType(const Variant& v, TVarType t) {
  TVarType from = v.VType();
  if (t == from || t == varVariant) return v;
  if (t & varArray) {
    if ((t & ~(varArray | varTypeMask)) || !IsElementType(t & varTypeMask))
      throw EVariantBadVarTypeError("Invalid variant type");
    if (!VarIsArray(v)) CastError(from, t);
    return ConvertArray(v, t & varTypeMask);
  }
  if (VarIsArray(v) && t != varEmpty && t != varNull) CastError(from, t);
  switch (t) {
    case varEmpty: return Variant();
    case varNull: return Null();
    case varSmallint: return RangeChecked(v, t, -32768, 32767);
    case varInteger: return Variant(v.AsInteger());
    case varShortInt: return RangeChecked(v, t, -128, 127);
    case varByte: return RangeChecked(v, t, 0, 255);
    case varWord: return RangeChecked(v, t, 0, 65535);
    case varLongWord: return RangeChecked(v, t, 0, 4294967295LL);
    case varInt64: return VA::Make(t, ToInt64(v, t));
    case varSingle: {
      double d = ToDouble(v, t);
      if (std::isfinite(d) && std::fabs(d) > FLT_MAX) OverflowError(from, t);
      return Variant(static_cast<float>(d));
    }
    case varDouble: return Variant(ToDouble(v, t));
    case varCurrency: return Variant(v.AsCurrency());
    case varDate: return Variant::FromDate(v.AsDateTime());
    case varBoolean: return Variant(v.AsBoolean());
    case varOleStr:
    case varString:
      if (VarIsStr(v)) return VA::MakeRef(t, VA::Ref(v));
      return VA::MakeStr(t, ToStr(v, t));
    case varDispatch: return Variant::FromDispatch(v.AsDispatch());
    case varUnknown: return Variant::FromUnknown(v.AsUnknown());
    case varError:
      if (VarIsOrdinal(v) && FitsInt32(VA::I(v))) return Variant::FromError(static_cast<int>(VA::I(v)));
      CastError(from, t);
    default: throw EVariantBadVarTypeError("Invalid variant type");
  }
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) { return Compare(a, b, false); }

bool VariantsEqual(const Variant& a, const Variant& b) {
  try {
    return Compare(a, b, false) == vrEqual;
  } catch (const EVariantError&) {
    return false;
  }
}

bool VarSameValue(const Variant& a, const Variant& b) {
  if (VarIsEmpty(a) || VarIsEmpty(b)) return VarIsEmpty(a) && VarIsEmpty(b);
  if (VarIsNull(a) || VarIsNull(b)) return VarIsNull(a) && VarIsNull(b);
  return a == b;
}

bool operator==(const Variant& a, const Variant& b) { return Compare(a, b, false) == vrEqual; }
bool operator!=(const Variant& a, const Variant& b) { return Compare(a, b, false) != vrEqual; }
bool operator<(const Variant& a, const Variant& b) { return Compare(a, b, true) == vrLessThan; }
bool operator>(const Variant& a, const Variant& b) { return Compare(a, b, true) == vrGreaterThan; }
bool operator<=(const Variant& a, const Variant& b) {
  TVariantRelationship r = Compare(a, b, true);
  return r == vrLessThan || r == vrEqual;
}
bool operator>=(const Variant& a, const Variant& b) {
  TVariantRelationship r = Compare(a, b, true);
  return r == vrGreaterThan || r == vrEqual;
}

Variant operator+(const Variant& a, const Variant& b) { return Arith(ArithOp::Add, a, b); }
Variant operator-(const Variant& a, const Variant& b) { return Arith(ArithOp::Sub, a, b); }
Variant operator*(const Variant& a, const Variant& b) { return Arith(ArithOp::Mul, a, b); }
Variant operator/(const Variant& a, const Variant& b) { return Arith(ArithOp::Div, a, b); }
Variant operator-(const Variant& a) { return VarNeg(a); }

Variant VarIntDiv(const Variant& a, const Variant& b) { return IntegerOp(IntOp::Div, a, b); }
Variant VarMod(const Variant& a, const Variant& b) { return IntegerOp(IntOp::Mod, a, b); }
Variant VarAnd(const Variant& a, const Variant& b) { return IntegerOp(IntOp::And, a, b); }
Variant VarOr(const Variant& a, const Variant& b) { return IntegerOp(IntOp::Or, a, b); }
Variant VarXor(const Variant& a, const Variant& b) { return IntegerOp(IntOp::Xor, a, b); }
Variant VarShl(const Variant& a, const Variant& b) { return IntegerOp(IntOp::Shl, a, b); }
Variant VarShr(const Variant& a, const Variant& b) { return IntegerOp(IntOp::Shr, a, b); }

Variant VarNot(const Variant& a) {
  CheckOperand(a, varInteger);
  TVarType t = a.VType();
  switch (KindOf(t)) {
    case Kind::Null: return Null();
    case Kind::Empty: return Variant(-1);
    case Kind::Ordinal:
      if (t == varBoolean) return Variant(VA::I(a) == 0);
      return MakeInt(~VA::I(a), IsWide(t));
    default: return MakeInt(~ToInt64(a, varInteger), false);
  }
}

Variant VarNeg(const Variant& a) {
  CheckOperand(a, varDouble);
  TVarType t = a.VType();
  constexpr Int64 minInt64 = std::numeric_limits<Int64>::min();
  switch (KindOf(t)) {
    case Kind::Null: return Null();
    case Kind::Empty: return Variant(0);
    case Kind::Ordinal:
      if (VA::I(a) == minInt64) return Variant(-static_cast<double>(VA::I(a)));
      return MakeInt(-VA::I(a), IsWide(t));
    case Kind::Float:
      return t == varSingle ? Variant(-VA::S(a)) : Variant(-VA::D(a));
    case Kind::Date: return Variant::FromDate(-VA::D(a));
    case Kind::Curr:
      if (VA::I(a) == minInt64) return Variant(-static_cast<double>(VA::I(a)) / Currency::kScale);
      return Variant(Currency::FromRaw(-VA::I(a)));
    default: return Variant(-ToDouble(a, varDouble));
  }
}

Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elementType) {
  if (bounds.empty() || bounds.size() % 2 != 0 || !IsElementType(elementType)) ArrayCreateError();
  auto data = std::make_shared<VarArrayData>();
  data->ElementType = elementType;
  Int64 total = 1;
  for (std::size_t i = 0; i < bounds.size(); i += 2) {
    Int64 count = Int64(bounds[i + 1]) - bounds[i] + 1;
    if (count < 0 || count > std::numeric_limits<int>::max()) ArrayCreateError();
    data->Bounds.push_back({bounds[i], static_cast<int>(count)});
    if (count != 0 && total > std::numeric_limits<int>::max() / count) ArrayCreateError();
    total *= count;
  }
  ResizeItems(*data, total);
  return VA::MakeArray(std::move(data));
}

Variant VarArrayOf(const std::vector<Variant>& values) {
  auto data = std::make_shared<VarArrayData>();
  data->Bounds.push_back({0, static_cast<int>(values.size())});
  data->Items = values;
  return VA::MakeArray(std::move(data));
}

Variant VarArrayOf(std::initializer_list<Variant> values) { return VarArrayOf(std::vector<Variant>(values)); }

int VarArrayDimCount(const Variant& v) {
  return VarIsArray(v) ? static_cast<int>(VA::Arr(v).Bounds.size()) : 0;
}

int VarArrayLowBound(const Variant& v, int dim) {
  const VarArrayData& data = ArrayOf(v);
  if (dim < 1 || dim > static_cast<int>(data.Bounds.size())) BadIndex();
  return data.Bounds[dim - 1].LowBound;
}

int VarArrayHighBound(const Variant& v, int dim) {
  const VarArrayData& data = ArrayOf(v);
  if (dim < 1 || dim > static_cast<int>(data.Bounds.size())) BadIndex();
  const TVarArrayBound& b = data.Bounds[dim - 1];
  return static_cast<int>(Int64(b.LowBound) + b.ElementCount - 1);
}

void VarArrayRedim(Variant& v, int highBound) {
  const VarArrayData& current = ArrayOf(v);
  Int64 count = Int64(highBound) - current.Bounds.back().LowBound + 1;
  if (count < 0) ArrayCreateError();
  Int64 slice = 1;  // elements per index of the last dimension
  for (std::size_t d = 0; d + 1 < current.Bounds.size(); ++d) slice *= current.Bounds[d].ElementCount;
  if (count != 0 && slice > std::numeric_limits<int>::max() / count) ArrayCreateError();
  VarArrayData& data = VA::MutableArr(v);
  ResizeItems(data, slice * count);
  data.Bounds.back().ElementCount = static_cast<int>(count);
}
