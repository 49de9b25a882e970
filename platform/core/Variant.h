#pragma once
// The tagged value of scripts, reports, editors and grid key lists: empty, Null, integers,
// floats, currency, dates, Booleans, strings, automation objects, error codes and arrays
// with bounds per dimension. Scalars are copied by value; strings are shared and never
// changed in place; arrays are shared until one copy writes an element (copy on write).
// Declares TVarArrayBound.
#include "core/Currency.h"
#include "core/Exceptions.h"
#include "core/System.h"
#include <initializer_list>
#include <memory>
#include <vector>

using TVarType = Word;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varDispatch = 0x0009;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varUnknown = 0x000D;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varStrArg = 0x0048;
constexpr TVarType varString = 0x0100;
constexpr TVarType varAny = 0x0101;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;
constexpr TVarType varByRef = 0x4000;

// Every variant failure is an EVariantError, so callers may catch the family at once.
KELM_EXCEPTION(EVariantTypeCastError, EVariantError);    // "Could not convert variant of type (%s) into type (%s)"
KELM_EXCEPTION(EVariantOverflowError, EVariantError);    // "Overflow while converting variant of type (%s) into type (%s)"
KELM_EXCEPTION(EVariantInvalidOpError, EVariantError);   // "Invalid variant operation"
KELM_EXCEPTION(EVariantBadVarTypeError, EVariantError);  // "Invalid variant type"
KELM_EXCEPTION(EVariantBadIndexError, EVariantError);    // "Variant or safe array index out of bounds"
KELM_EXCEPTION(EVariantArrayCreateError, EVariantError); // "Error creating variant or safe array"
KELM_EXCEPTION(EVariantNotAnArrayError, EVariantError);  // "Variant is not an array"

// Objects a variant can carry. The automation layer derives its late-bound objects from
// IDispatchObject.
class IUnknownObject {
public:
  virtual ~IUnknownObject() = default;
};
class IDispatchObject : public IUnknownObject {};

struct TVarArrayBound {
  int LowBound = 0;
  int ElementCount = 0;
};

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
public:
  Variant() noexcept = default;
  Variant(bool v) noexcept : FVType(varBoolean) { FData.I = v ? -1 : 0; }
  Variant(char c);                        // a one-character string, as the platform's Char
  Variant(signed char v) noexcept : FVType(varShortInt) { FData.I = v; }
  Variant(unsigned char v) noexcept : FVType(varByte) { FData.I = v; }
  Variant(short v) noexcept : FVType(varSmallint) { FData.I = v; }
  Variant(unsigned short v) noexcept : FVType(varWord) { FData.I = v; }
  Variant(int v) noexcept : FVType(varInteger) { FData.I = v; }
  Variant(unsigned int v) noexcept : FVType(varLongWord) { FData.I = v; }
  Variant(long v) noexcept : FVType(varInt64) { FData.I = v; }
  Variant(long long v) noexcept : FVType(varInt64) { FData.I = v; }
  Variant(unsigned long v) noexcept;       // Int64, or Double beyond its range
  Variant(unsigned long long v) noexcept;
  Variant(float v) noexcept : FVType(varSingle) { FData.S = v; }
  Variant(double v) noexcept : FVType(varDouble) { FData.D = v; }
  Variant(long double v) noexcept : FVType(varDouble) { FData.D = static_cast<double>(v); }
  Variant(Currency v) noexcept : FVType(varCurrency) { FData.I = v.Value; }
  Variant(const String& s);
  Variant(String&& s);
  Variant(std::string_view s);
  Variant(const char* s);
  Variant(char* s) : Variant(static_cast<const char*>(s)) {}
  // Any other pointer would silently become a Boolean.
  template <class T> Variant(T*) = delete;
  Variant(std::nullptr_t) = delete;

  static Variant FromDate(TDateTime v) noexcept;
  static Variant FromOleStr(String s);
  static Variant FromError(int code) noexcept;
  static Variant FromDispatch(std::shared_ptr<IDispatchObject> obj) noexcept;
  static Variant FromUnknown(std::shared_ptr<IUnknownObject> obj) noexcept;

  // The type code; arrays answer varArray | element type.
  TVarType VType() const { return FVType; }

  // Conversions by the platform's rules. Null and objects raise EVariantTypeCastError, values
  // beyond the target's range EVariantOverflowError; floats become integers half to even.
  Integer AsInteger() const;
  Int64 AsInt64() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  bool AsBoolean() const;
  String AsString() const;
  TDateTime AsDateTime() const;
  std::shared_ptr<IDispatchObject> AsDispatch() const;  // nullptr for Empty
  std::shared_ptr<IUnknownObject> AsUnknown() const;    // nullptr for Empty
  int ErrorCode() const;                                 // varError only

  // Elements of an array, one index per dimension.
  Variant GetElement(std::initializer_list<int> indices) const;
  Variant GetElement(const std::vector<int>& indices) const;
  void PutElement(std::initializer_list<int> indices, const Variant& value);
  void PutElement(const std::vector<int>& indices, const Variant& value);
  Variant operator[](int index) const;  // one-dimensional arrays; write with PutElement

private:
  friend struct VariantAccess;
  union Scalar {
    Int64 I;  // every ordinal (Boolean as -1/0), currency ten-thousandths, error codes
    double D; // Double, Date
    float S;  // Single
  };
  TVarType FVType = varEmpty;
  Scalar FData{0};
  std::shared_ptr<void> FRef;  // the string, the array or the object
};

// Constructors of the special values.
Variant Null();
Variant Unassigned();
Variant VarError(int code);

TVarType VarType(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsClear(const Variant& v);    // Empty, or an object variant holding no object
bool VarIsOrdinal(const Variant& v);  // integers of every width and Booleans
bool VarIsFloat(const Variant& v);    // Single, Double, Currency
bool VarIsNumeric(const Variant& v);  // ordinal or float
bool VarIsStr(const Variant& v);
bool VarIsArray(const Variant& v);
bool VarIsType(const Variant& v, TVarType t);
String VarTypeAsText(TVarType t);     // "Integer", "String", "Array Variant", ...
void VarClear(Variant& v);

// Text of a value for display: Null and Empty give ''.
String VarToStr(const Variant& v);
String VarToStrDef(const Variant& v, const String& def);  // def for Null and Empty
Variant VarAsType(const Variant& v, TVarType t);

// Comparison: Null equals only Null and orders below every value; a string against a
// number compares as floats; strings compare byte-wise, case-sensitively. Values that cannot
// be compared raise EVariantError; VarCompareValue answers vrNotEqual for values that can be
// told apart but not ordered (different objects or error codes, differently shaped arrays).
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
bool VariantsEqual(const Variant& a, const Variant& b);  // false instead of an error
bool VarSameValue(const Variant& a, const Variant& b);   // Empty and Null equal only themselves
bool operator==(const Variant& a, const Variant& b);
bool operator!=(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
bool operator<=(const Variant& a, const Variant& b);
bool operator>(const Variant& a, const Variant& b);
bool operator>=(const Variant& a, const Variant& b);

// Arithmetic: integers stay integers (widening to Int64 instead of overflowing) except for
// '/'; a float or string operand makes the result Double; two strings added concatenate;
// Null gives Null.
Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);
Variant operator-(const Variant& a);
// div, mod, and, or, xor, shl, shr work on integers; and/or/xor of Booleans are logical,
// with Null and False = False, Null or True = True.
Variant VarIntDiv(const Variant& a, const Variant& b);
Variant VarMod(const Variant& a, const Variant& b);
Variant VarAnd(const Variant& a, const Variant& b);
Variant VarOr(const Variant& a, const Variant& b);
Variant VarXor(const Variant& a, const Variant& b);
Variant VarShl(const Variant& a, const Variant& b);
Variant VarShr(const Variant& a, const Variant& b);
Variant VarNot(const Variant& a);
Variant VarNeg(const Variant& a);

// Arrays. Bounds come in low/high pairs per dimension; the element type is varVariant or a
// scalar type, and elements put into a typed array are converted to it.
Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elementType);
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);
int VarArrayDimCount(const Variant& v);  // 0 for a non-array
int VarArrayLowBound(const Variant& v, int dim);   // dim counts from 1
int VarArrayHighBound(const Variant& v, int dim);
// Changes the high bound of the last dimension, keeping the elements that remain.
void VarArrayRedim(Variant& v, int highBound);
