#include "core/Variant.h"

#include "core/StrUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr Int64 kInt64Max = std::numeric_limits<Int64>::max();
constexpr Int64 kInt64Min = std::numeric_limits<Int64>::min();

Variant Curr(double v) { return Variant(Currency::FromDouble(v)); }
Variant CurrRaw(Int64 raw) { return Variant(Currency::FromRaw(raw)); }
Variant I64(Int64 v) { return Variant(static_cast<long long>(v)); }

// The type must match, and the value too (Null and Empty only themselves).
void ExpectVariant(const Variant& actual, TVarType type, const Variant& value, const String& what) {
  EXPECT_EQ(VarTypeAsText(VarType(actual)), VarTypeAsText(type)) << what;
  if (VarType(actual) == type) {
    EXPECT_TRUE(VarSameValue(actual, value)) << what << ": got " << VarToStr(actual);
  }
}

template <class E> void ExpectThrowText(const std::function<void()>& f, const String& text, const String& what) {
  try {
    f();
    ADD_FAILURE() << what << ": no exception";
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), text) << what;
  } catch (const std::exception& e) {
    ADD_FAILURE() << what << ": other exception " << e.what();
  }
}

class TestObject : public IDispatchObject {
public:
  explicit TestObject(bool* destroyed = nullptr) : FDestroyed(destroyed) {}
  ~TestObject() override {
    if (FDestroyed) *FDestroyed = true;
  }

private:
  bool* FDestroyed;
};

class PlainUnknown : public IUnknownObject {};

// ---------------------------------------------------------------------------------------

TEST(VariantConstruct, CppTypesGiveTheirVariantTypes) {
  struct Case { const char* Name; Variant V; TVarType Type; };
  const Case cases[] = {
      {"empty", Variant(), varEmpty},
      {"bool", Variant(true), varBoolean},
      {"char is a string", Variant('c'), varString},
      {"ShortInt", Variant(ShortInt(-5)), varShortInt},
      {"Byte", Variant(Byte(200)), varByte},
      {"Smallint", Variant(SmallInt(-300)), varSmallint},
      {"Word", Variant(Word(60000)), varWord},
      {"Integer", Variant(7), varInteger},
      {"LongWord", Variant(Cardinal(4000000000u)), varLongWord},
      {"Int64", Variant(Int64(1) << 40), varInt64},
      {"long long", Variant(5LL), varInt64},
      {"unsigned 64 in range", Variant(std::uint64_t(5)), varInt64},
      {"unsigned 64 beyond Int64", Variant(std::numeric_limits<std::uint64_t>::max()), varDouble},
      {"float", Variant(1.5f), varSingle},
      {"double", Variant(1.5), varDouble},
      {"long double", Variant(1.5L), varDouble},
      {"Currency", Variant(Currency(3)), varCurrency},
      {"literal", Variant("abc"), varString},
      {"String", Variant(String("abc")), varString},
      {"OleStr", Variant::FromOleStr("abc"), varOleStr},
      {"Date", Variant::FromDate(45292.5), varDate},
      {"Null", Null(), varNull},
      {"Unassigned", Unassigned(), varEmpty},
      {"error", VarError(7), varError},
  };
  for (const Case& c : cases) EXPECT_EQ(VarType(c.V), c.Type) << c.Name;
  EXPECT_EQ(Variant(Byte(200)).AsInteger(), 200);
  EXPECT_EQ(Variant(Word(60000)).AsInteger(), 60000);
  EXPECT_EQ(Variant(Cardinal(4000000000u)).AsInt64(), 4000000000LL);
  EXPECT_EQ(Variant('c').AsString(), "c");
}

TEST(VariantConstruct, CopiesAreIndependentValues) {
  Variant a = "first";
  Variant b = a;
  a = Variant(5);
  EXPECT_EQ(b.AsString(), "first");
  EXPECT_EQ(a.AsInteger(), 5);
  Variant c = Variant("中文");
  EXPECT_EQ(c.AsString(), "中文");
  EXPECT_EQ(Length(c.AsString()), 2);
}

TEST(VariantPredicates, TypeTests) {
  auto obj = std::make_shared<TestObject>();
  struct Case { const char* Name; Variant V; bool Numeric, Ordinal, Float, Str, Clear, Null, Empty; };
  const Case cases[] = {
      {"Empty", Variant(), false, false, false, false, true, false, true},
      {"Null", Null(), false, false, false, false, false, true, false},
      {"Integer", Variant(1), true, true, false, false, false, false, false},
      {"Boolean", Variant(false), true, true, false, false, false, false, false},
      {"Int64", I64(1), true, true, false, false, false, false, false},
      {"Single", Variant(1.0f), true, false, true, false, false, false, false},
      {"Double", Variant(1.0), true, false, true, false, false, false, false},
      {"Currency", Curr(1), true, false, true, false, false, false, false},
      {"Date", Variant::FromDate(1), false, false, false, false, false, false, false},
      {"String", Variant(""), false, false, false, true, false, false, false},
      {"OleStr", Variant::FromOleStr("x"), false, false, false, true, false, false, false},
      {"Dispatch", Variant::FromDispatch(obj), false, false, false, false, false, false, false},
      {"nil Dispatch", Variant::FromDispatch(nullptr), false, false, false, false, true, false, false},
      {"nil Unknown", Variant::FromUnknown(nullptr), false, false, false, false, true, false, false},
      {"array", VarArrayOf({1}), false, false, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VarIsNumeric(c.V), c.Numeric) << c.Name;
    EXPECT_EQ(VarIsOrdinal(c.V), c.Ordinal) << c.Name;
    EXPECT_EQ(VarIsFloat(c.V), c.Float) << c.Name;
    EXPECT_EQ(VarIsStr(c.V), c.Str) << c.Name;
    EXPECT_EQ(VarIsClear(c.V), c.Clear) << c.Name;
    EXPECT_EQ(VarIsNull(c.V), c.Null) << c.Name;
    EXPECT_EQ(VarIsEmpty(c.V), c.Empty) << c.Name;
    EXPECT_EQ(VarIsArray(c.V), String(c.Name) == "array") << c.Name;
  }
  Variant v = 5;
  VarClear(v);
  EXPECT_TRUE(VarIsEmpty(v));
  EXPECT_TRUE(v == Variant(0));
}

TEST(VariantPredicates, TypeNames) {
  EXPECT_EQ(VarTypeAsText(varInteger), "Integer");
  EXPECT_EQ(VarTypeAsText(varString), "String");
  EXPECT_EQ(VarTypeAsText(varOleStr), "OleStr");
  EXPECT_EQ(VarTypeAsText(varArray | varVariant), "Array Variant");
  EXPECT_EQ(VarTypeAsText(0x000F), "$000F");
}

// ---------------------------------------------------------------------------------------
// + - * /

struct ArithCase {
  const char* Name;
  Variant A;
  char Op;
  Variant B;
  TVarType Type;
  Variant Expected;
};

Variant Apply(char op, const Variant& a, const Variant& b) {
  switch (op) {
    case '+': return a + b;
    case '-': return a - b;
    case '*': return a * b;
    case '/': return a / b;
    case 'd': return VarIntDiv(a, b);
    case 'm': return VarMod(a, b);
    case '&': return VarAnd(a, b);
    case '|': return VarOr(a, b);
    case '^': return VarXor(a, b);
    case '<': return VarShl(a, b);
    case '>': return VarShr(a, b);
  }
  throw std::logic_error("bad operator");
}

void RunCases(const std::vector<ArithCase>& cases) {
  for (const ArithCase& c : cases) {
    try {
      ExpectVariant(Apply(c.Op, c.A, c.B), c.Type, c.Expected, c.Name);
    } catch (const std::exception& e) {
      ADD_FAILURE() << c.Name << ": " << e.what();
    }
  }
}

TEST(VariantArithmetic, ResultTypesAndValues) {
  const Variant date = Variant::FromDate(45292.25);
  RunCases({
      {"int + int", 7, '+', 5, varInteger, 12},
      {"int - int", 7, '-', 10, varInteger, -3},
      {"int * int", 6, '*', 7, varInteger, 42},
      {"int / int is float", 7, '/', 2, varDouble, 3.5},
      {"int / int exact still float", 6, '/', 3, varDouble, 2.0},
      {"small types give Integer", Variant(Byte(200)), '+', Variant(Byte(100)), varInteger, 300},
      {"Integer overflow widens", 2147483647, '+', 1, varInt64, I64(2147483648LL)},
      {"Integer underflow widens", -2147483647 - 1, '-', 1, varInt64, I64(-2147483649LL)},
      {"Integer product widens", 65536, '*', 65536, varInt64, I64(4294967296LL)},
      {"Int64 stays Int64", I64(5), '+', 1, varInt64, I64(6)},
      {"LongWord counts as wide", Variant(Cardinal(1)), '+', 1, varInt64, I64(2)},
      {"Int64 overflow goes on as float", I64(kInt64Max), '+', 1, varDouble, 9223372036854775808.0},
      {"float + int", 1.5, '+', 2, varDouble, 3.5},
      {"single + int", 1.5f, '+', 1, varDouble, 2.5},
      {"numeric string + int", "1.5", '+', 2, varDouble, 3.5},
      {"int - numeric string", 2, '-', "0.5", varDouble, 1.5},
      {"string * string", "3", '*', "4", varDouble, 12.0},
      {"string + string joins", "ab", '+', "cd", varString, "abcd"},
      {"digit strings join", "1", '+', "2", varString, "12"},
      {"OleStr + OleStr", Variant::FromOleStr("a"), '+', Variant::FromOleStr("b"), varOleStr, Variant::FromOleStr("ab")},
      {"Chinese joins", "合同", '+', "编号", varString, "合同编号"},
      {"Empty + int", Variant(), '+', 5, varInteger, 5},
      {"Empty + string", Variant(), '+', "x", varString, "x"},
      {"string + Empty", "x", '+', Variant(), varString, "x"},
      {"Empty + Empty", Variant(), '+', Variant(), varInteger, 0},
      {"True is -1", true, '+', 1, varInteger, 0},
      {"Boolean * Boolean", true, '*', true, varInteger, 1},
      {"Currency + int", Curr(1.5), '+', 2, varCurrency, Curr(3.5)},
      {"Currency sums exactly", Curr(0.1), '+', Curr(0.2), varCurrency, Curr(0.3)},
      {"Currency * Currency", Curr(0.1), '*', Curr(0.3), varCurrency, Curr(0.03)},
      {"Currency product half to even", CurrRaw(10001), '*', CurrRaw(5000), varCurrency, CurrRaw(5000)},
      {"Currency product half to even, odd", CurrRaw(10003), '*', CurrRaw(5000), varCurrency, CurrRaw(5002)},
      {"Currency * int", Curr(2.5), '*', 3, varCurrency, Curr(7.5)},
      {"Currency / int is float", Curr(10), '/', 4, varDouble, 2.5},
      {"Currency + float is float", Curr(1), '+', 0.5, varDouble, 1.5},
      {"Currency overflow goes on as float", CurrRaw(kInt64Max), '+', Curr(1), varDouble,
       static_cast<double>(kInt64Max) / 10000.0 + 1},
      {"Date + int", date, '+', 1, varDate, Variant::FromDate(45293.25)},
      {"Date - float", date, '-', 0.25, varDate, Variant::FromDate(45292.0)},
      {"int + Date", 1, '+', date, varDate, Variant::FromDate(45293.25)},
      {"Date - Date is days", date, '-', Variant::FromDate(45290.0), varDouble, 2.25},
      {"Date * int is float", Variant::FromDate(2), '*', 3, varDouble, 6.0},
      {"Date + string is float", date, '+', "1", varDouble, 45293.25},
  });
}

TEST(VariantArithmetic, IntegerOperators) {
  RunCases({
      {"div", 7, 'd', 2, varInteger, 3},
      {"div truncates toward zero", -7, 'd', 2, varInteger, -3},
      {"mod", 7, 'm', 3, varInteger, 1},
      {"mod takes the dividend's sign", -7, 'm', 3, varInteger, -1},
      {"mod by -1", I64(kInt64Min), 'm', -1, varInt64, I64(0)},
      {"float operand is rounded", 7.6, 'd', 2, varInteger, 4},
      {"rounding is half to even", 2.5, 'd', 1, varInteger, 2},
      {"rounding is half to even, odd", 3.5, 'd', 1, varInteger, 4},
      {"string operands", "9", 'm', "4", varInteger, 1},
      {"Currency operand", Curr(2.5), 'd', 1, varInteger, 2},
      {"Int64 div", I64(Int64(1) << 40), 'd', 2, varInt64, I64(Int64(1) << 39)},
      {"and", 12, '&', 10, varInteger, 8},
      {"or", 12, '|', 3, varInteger, 15},
      {"xor", 12, '^', 10, varInteger, 6},
      {"Boolean and", true, '&', false, varBoolean, false},
      {"Boolean or", false, '|', true, varBoolean, true},
      {"Boolean xor", true, '^', true, varBoolean, false},
      {"Empty with Boolean is False", Variant(), '|', true, varBoolean, true},
      {"Boolean with integer is bitwise", true, '&', 3, varInteger, 3},
      {"shl", 1, '<', 4, varInteger, 16},
      {"shl into bit 31 widens", 1, '<', 31, varInt64, I64(2147483648LL)},
      {"shl past 32 bits widens", 1, '<', 40, varInt64, I64(Int64(1) << 40)},
      {"negative shl stays Integer", -1, '<', 31, varInteger, -2147483647 - 1},
      {"shr of Integer is 32-bit", -1, '>', 28, varInteger, 15},
      {"shr of Int64 is 64-bit", I64(-1), '>', 60, varInt64, I64(15)},
  });
}

TEST(VariantArithmetic, NullPropagatesExceptThreeValuedLogic) {
  const Variant n = Null();
  RunCases({
      {"Null + int", n, '+', 1, varNull, n},
      {"int - Null", 1, '-', n, varNull, n},
      {"Null * Null", n, '*', n, varNull, n},
      {"Null / 0", n, '/', 0, varNull, n},
      {"string + Null", "a", '+', n, varNull, n},
      {"Null div 0", n, 'd', 0, varNull, n},
      {"Null mod 2", n, 'm', 2, varNull, n},
      {"Null shl 1", n, '<', 1, varNull, n},
      {"Null xor True", n, '^', true, varNull, n},
      {"Null and False", n, '&', false, varBoolean, false},
      {"False and Null", false, '&', n, varBoolean, false},
      {"Null and True", n, '&', true, varNull, n},
      {"Null or True", n, '|', true, varBoolean, true},
      {"True or Null", true, '|', n, varBoolean, true},
      {"Null or False", n, '|', false, varNull, n},
      {"Null and 0 is not logical", n, '&', 0, varNull, n},
  });
  EXPECT_TRUE(VarIsNull(-n));
  EXPECT_TRUE(VarIsNull(VarNot(n)));
}

TEST(VariantArithmetic, NotAndNegation) {
  struct Case { const char* Name; Variant Result; TVarType Type; Variant Expected; };
  const Case cases[] = {
      {"not True", VarNot(true), varBoolean, false},
      {"not False", VarNot(false), varBoolean, true},
      {"not 0", VarNot(0), varInteger, -1},
      {"not 5", VarNot(5), varInteger, -6},
      {"not Int64", VarNot(I64(0)), varInt64, I64(-1)},
      {"not Empty", VarNot(Variant()), varInteger, -1},
      {"not numeric string", VarNot("2"), varInteger, -3},
      {"-Integer", -Variant(5), varInteger, -5},
      {"-lowest Integer widens", -Variant(-2147483647 - 1), varInt64, I64(2147483648LL)},
      {"-lowest Int64 goes on as float", -I64(kInt64Min), varDouble, 9223372036854775808.0},
      {"-True", -Variant(true), varInteger, 1},
      {"-Single", -Variant(1.5f), varSingle, Variant(-1.5f)},
      {"-Double", VarNeg(2.5), varDouble, -2.5},
      {"-Currency", -Curr(1.25), varCurrency, Curr(-1.25)},
      {"-Date", -Variant::FromDate(3), varDate, Variant::FromDate(-3)},
      {"-string", -Variant("2.5"), varDouble, -2.5},
  };
  for (const Case& c : cases) ExpectVariant(c.Result, c.Type, c.Expected, c.Name);
}

TEST(VariantArithmetic, DivisionByZeroAndOverflow) {
  ExpectThrowText<EDivByZero>([] { VarIntDiv(1, 0); }, "Division by zero", "int div 0");
  ExpectThrowText<EDivByZero>([] { VarMod(1, 0); }, "Division by zero", "int mod 0");
  ExpectThrowText<EDivByZero>([] { VarMod(1, Variant()); }, "Division by zero", "mod Empty");
  ExpectThrowText<EZeroDivide>([] { Variant(1) / Variant(0); }, "Floating point division by zero", "int / 0");
  ExpectThrowText<EZeroDivide>([] { Variant(1.5) / Variant(0.0); }, "Floating point division by zero", "float / 0");
  ExpectThrowText<EZeroDivide>([] { Curr(1) / Curr(0); }, "Floating point division by zero", "Currency / 0");
  ExpectThrowText<EZeroDivide>([] { Variant(1) / Variant(); }, "Floating point division by zero", "int / Empty");
  ExpectThrowText<EInvalidOp>([] { Variant(0) / Variant(0); }, "Invalid floating point operation", "0 / 0");
  ExpectThrowText<EOverflow>([] { Variant(1e308) * Variant(10); }, "Floating point overflow", "float overflow");
  ExpectThrowText<EIntOverflow>([] { VarIntDiv(I64(kInt64Min), -1); }, "Integer overflow", "lowest Int64 div -1");
  // An infinity already present is no new overflow.
  Variant inf = Variant(std::numeric_limits<double>::infinity()) + Variant(1);
  EXPECT_TRUE(std::isinf(inf.AsDouble()));
}

TEST(VariantArithmetic, OperandsThatAreNotNumbers) {
  auto obj = std::make_shared<TestObject>();
  ExpectThrowText<EVariantTypeCastError>([] { Variant("abc") + Variant(1); },
                                         "Could not convert variant of type (String) into type (Double)", "text + int");
  ExpectThrowText<EVariantTypeCastError>([] { VarIntDiv("x", 2); },
                                         "Could not convert variant of type (String) into type (Integer)", "text div");
  ExpectThrowText<EVariantTypeCastError>([] { VarError(5) + Variant(1); },
                                         "Could not convert variant of type (Error) into type (Double)", "error + int");
  ExpectThrowText<EVariantTypeCastError>([&] { Variant::FromDispatch(obj) * Variant(2); },
                                         "Could not convert variant of type (Dispatch) into type (Double)", "object");
  ExpectThrowText<EVariantInvalidOpError>([] { VarArrayOf({1}) + Variant(1); }, "Invalid variant operation", "array +");
  ExpectThrowText<EVariantInvalidOpError>([] { VarNot(VarArrayOf({1})); }, "Invalid variant operation", "not array");
  ExpectThrowText<EVariantInvalidOpError>([] { -VarArrayOf({1}); }, "Invalid variant operation", "-array");
}

// ---------------------------------------------------------------------------------------
// Comparison

TEST(VariantCompare, Relationships) {
  auto obj1 = std::make_shared<TestObject>();
  auto obj2 = std::make_shared<TestObject>();
  struct Case { const char* Name; Variant A, B; TVariantRelationship Rel; };
  const Case cases[] = {
      {"int < int", 1, 2, vrLessThan},
      {"int = float", 2, 2.0, vrEqual},
      {"Single = Double", 0.5f, 0.5, vrEqual},
      {"numeric string against int compares as float", "10", 9, vrGreaterThan},
      {"int against numeric string", 9, "10", vrLessThan},
      {"numeric strings compare as text", "10", "9", vrLessThan},
      {"strings byte-wise", "abc", "abd", vrLessThan},
      {"upper case before lower case", "B", "a", vrLessThan},
      {"case-sensitive", "a", "A", vrGreaterThan},
      {"prefix first", "ab", "abc", vrLessThan},
      {"String = OleStr", "x", Variant::FromOleStr("x"), vrEqual},
      {"Null = Null", Null(), Null(), vrEqual},
      {"Null below any number", Null(), -1e300, vrLessThan},
      {"number above Null", 0, Null(), vrGreaterThan},
      {"Null below ''", Null(), "", vrLessThan},
      {"Null below Empty", Null(), Variant(), vrLessThan},
      {"Null below False", Null(), false, vrLessThan},
      {"Empty = 0", Variant(), 0, vrEqual},
      {"Empty = ''", Variant(), "", vrEqual},
      {"Empty = Empty", Variant(), Variant(), vrEqual},
      {"Empty < 1", Variant(), 1, vrLessThan},
      {"Empty < 'a'", Variant(), "a", vrLessThan},
      {"True = -1", true, -1, vrEqual},
      {"False = 0", false, 0, vrEqual},
      {"False < True", false, true, vrLessThan},
      {"True = 'True'", true, "True", vrEqual},
      {"False < 'true'", false, "true", vrLessThan},
      {"Currency = float", Curr(1.5), 1.5, vrEqual},
      {"Currency exact against int", CurrRaw(10001), 1, vrGreaterThan},
      {"Currency = int", Curr(3), 3, vrEqual},
      {"Int64 exact near the top", I64(kInt64Max), I64(kInt64Max - 1), vrGreaterThan},
      {"Int64 against float without rounding", I64((Int64(1) << 53) + 1), 9007199254740992.0, vrGreaterThan},
      {"Date against number", Variant::FromDate(45292), 45292, vrEqual},
      {"Date against date text", Variant::FromDate(45292), "2024-01-02", vrLessThan},
      {"NaN is unordered", std::nan(""), 1, vrNotEqual},
      {"same object", Variant::FromDispatch(obj1), Variant::FromDispatch(obj1), vrEqual},
      {"object as Unknown", Variant::FromDispatch(obj1), Variant::FromUnknown(obj1), vrEqual},
      {"different objects", Variant::FromDispatch(obj1), Variant::FromDispatch(obj2), vrNotEqual},
      {"same error code", VarError(3), VarError(3), vrEqual},
      {"different error codes", VarError(3), VarError(4), vrNotEqual},
      {"equal arrays", VarArrayOf({1, "a"}), VarArrayOf({1.0, "a"}), vrEqual},
      {"arrays by first difference", VarArrayOf({1, 5}), VarArrayOf({2, 0}), vrLessThan},
      {"arrays of different length", VarArrayOf({1}), VarArrayOf({1, 2}), vrNotEqual},
  };
  for (const Case& c : cases) {
    try {
      EXPECT_EQ(VarCompareValue(c.A, c.B), c.Rel) << c.Name;
      EXPECT_EQ(c.A == c.B, c.Rel == vrEqual) << c.Name;
      EXPECT_EQ(c.A != c.B, c.Rel != vrEqual) << c.Name;
      EXPECT_EQ(VariantsEqual(c.A, c.B), c.Rel == vrEqual) << c.Name;
      if (c.Rel == vrNotEqual) continue;
      EXPECT_EQ(c.A < c.B, c.Rel == vrLessThan) << c.Name;
      EXPECT_EQ(c.A <= c.B, c.Rel != vrGreaterThan) << c.Name;
      EXPECT_EQ(c.A > c.B, c.Rel == vrGreaterThan) << c.Name;
      EXPECT_EQ(c.A >= c.B, c.Rel != vrLessThan) << c.Name;
    } catch (const std::exception& e) {
      ADD_FAILURE() << c.Name << ": " << e.what();
    }
  }
}

TEST(VariantCompare, NaNIsNeitherLessNorGreater) {
  Variant nan = std::nan("");
  EXPECT_FALSE(nan < Variant(1));
  EXPECT_FALSE(nan > Variant(1));
  EXPECT_FALSE(nan == nan);
}

TEST(VariantCompare, IncomparableValuesRaise) {
  auto obj = std::make_shared<TestObject>();
  const Variant disp = Variant::FromDispatch(obj);
  ExpectThrowText<EVariantTypeCastError>([] { (void)(Variant("abc") == Variant(5)); },
                                         "Could not convert variant of type (String) into type (Double)", "text = int");
  ExpectThrowText<EVariantInvalidOpError>([&] { (void)(disp == Variant(1)); }, "Invalid variant operation", "obj = 1");
  ExpectThrowText<EVariantInvalidOpError>([&] { (void)(disp < Variant::FromDispatch(std::make_shared<TestObject>())); },
                                          "Invalid variant operation", "objects have no order");
  ExpectThrowText<EVariantInvalidOpError>([] { (void)(VarError(1) < VarError(2)); }, "Invalid variant operation",
                                          "error codes have no order");
  ExpectThrowText<EVariantInvalidOpError>([] { (void)(VarArrayOf({1}) == Variant(1)); }, "Invalid variant operation",
                                          "array = scalar");
  ExpectThrowText<EVariantInvalidOpError>([] { (void)(VarArrayOf({1}) < VarArrayOf({1, 2})); },
                                          "Invalid variant operation", "arrays of different shape have no order");
  ExpectThrowText<EVariantTypeCastError>([] { (void)(Variant(true) == Variant("yes")); },
                                         "Could not convert variant of type (String) into type (Boolean)", "bool text");
}

TEST(VariantCompare, EqualityHelpers) {
  // VariantsEqual never raises; VarSameValue keeps Empty and Null apart from everything else.
  EXPECT_FALSE(VariantsEqual("abc", 1));
  EXPECT_FALSE(VariantsEqual(VarArrayOf({1}), 1));
  EXPECT_TRUE(VariantsEqual(Variant(), 0));
  EXPECT_TRUE(VariantsEqual(Null(), Null()));
  EXPECT_FALSE(VariantsEqual(Null(), Variant()));
  EXPECT_FALSE(VarSameValue(Variant(), 0));
  EXPECT_FALSE(VarSameValue(0, Variant()));
  EXPECT_FALSE(VarSameValue(Variant(), ""));
  EXPECT_TRUE(VarSameValue(Variant(), Variant()));
  EXPECT_TRUE(VarSameValue(Null(), Null()));
  EXPECT_FALSE(VarSameValue(Null(), Variant()));
  EXPECT_TRUE(VarSameValue(1, 1.0));
  EXPECT_FALSE(VarSameValue("a", "A"));
}

// ---------------------------------------------------------------------------------------
// Conversions

TEST(VariantConvert, ToIntegers) {
  struct Case { const char* Name; Variant V; Int64 Expected; };
  const Case cases[] = {
      {"True", true, -1},
      {"False", false, 0},
      {"Empty", Variant(), 0},
      {"half to even down", 2.5, 2},
      {"half to even up", 3.5, 4},
      {"negative half", -2.5, -2},
      {"above half", 2.51, 3},
      {"Single", 1.5f, 2},
      {"Currency half", Curr(2.5), 2},
      {"Currency negative half", Curr(-3.5), -4},
      {"Currency fraction", CurrRaw(25001), 3},
      {"Date", Variant::FromDate(45292.75), 45293},
      {"digits", "42", 42},
      {"leading blanks and sign", "  -17", -17},
      {"hex", "$1F", 31},
      {"float text rounds", "2.5", 2},
      {"True text", "true", -1},
      {"Word", Variant(Word(65535)), 65535},
  };
  for (const Case& c : cases) {
    try {
      EXPECT_EQ(c.V.AsInt64(), c.Expected) << c.Name;
      EXPECT_EQ(c.V.AsInteger(), c.Expected) << c.Name;
    } catch (const std::exception& e) {
      ADD_FAILURE() << c.Name << ": " << e.what();
    }
  }
  EXPECT_EQ(I64(kInt64Max).AsInt64(), kInt64Max);
  EXPECT_EQ(Variant(-9223372036854775808.0).AsInt64(), kInt64Min);
}

TEST(VariantConvert, IntegerErrors) {
  auto obj = std::make_shared<TestObject>();
  ExpectThrowText<EVariantTypeCastError>([] { Variant("abc").AsInteger(); },
                                         "Could not convert variant of type (String) into type (Integer)", "text");
  ExpectThrowText<EVariantTypeCastError>([] { Null().AsInteger(); },
                                         "Could not convert variant of type (Null) into type (Integer)", "Null");
  ExpectThrowText<EVariantTypeCastError>([] { Null().AsInt64(); },
                                         "Could not convert variant of type (Null) into type (Int64)", "Null Int64");
  ExpectThrowText<EVariantTypeCastError>([&] { Variant::FromDispatch(obj).AsInteger(); },
                                         "Could not convert variant of type (Dispatch) into type (Integer)", "object");
  ExpectThrowText<EVariantTypeCastError>([] { VarArrayOf({1}).AsInteger(); },
                                         "Could not convert variant of type (Array Variant) into type (Integer)", "arr");
  ExpectThrowText<EVariantOverflowError>([] { I64(3000000000LL).AsInteger(); },
                                         "Overflow while converting variant of type (Int64) into type (Integer)", "big");
  ExpectThrowText<EVariantOverflowError>([] { Variant(2147483647.5).AsInteger(); },
                                         "Overflow while converting variant of type (Double) into type (Integer)",
                                         "rounds past the top");
  ExpectThrowText<EVariantOverflowError>([] { Variant(1e19).AsInt64(); },
                                         "Overflow while converting variant of type (Double) into type (Int64)", "1e19");
  ExpectThrowText<EVariantOverflowError>([] { Variant(std::nan("")).AsInt64(); },
                                         "Overflow while converting variant of type (Double) into type (Int64)", "NaN");
  ExpectThrowText<EVariantOverflowError>([] { Variant(9223372036854775808.0).AsInt64(); },
                                         "Overflow while converting variant of type (Double) into type (Int64)", "2^63");
  EXPECT_EQ(Variant(2147483646.5).AsInteger(), 2147483646);
}

TEST(VariantConvert, ToFloatCurrencyDateBoolean) {
  EXPECT_DOUBLE_EQ(Variant(true).AsDouble(), -1.0);
  EXPECT_DOUBLE_EQ(Variant("1.25").AsDouble(), 1.25);
  EXPECT_DOUBLE_EQ(Variant("False").AsDouble(), 0.0);
  EXPECT_DOUBLE_EQ(Curr(2.5).AsDouble(), 2.5);
  EXPECT_DOUBLE_EQ(Variant().AsDouble(), 0.0);
  EXPECT_DOUBLE_EQ(Variant(0.1f).AsDouble(), double(0.1f));
  ExpectThrowText<EVariantTypeCastError>([] { Variant("1,5").AsDouble(); },
                                         "Could not convert variant of type (String) into type (Double)", "comma");
  ExpectThrowText<EVariantTypeCastError>([] { Null().AsDouble(); },
                                         "Could not convert variant of type (Null) into type (Double)", "Null");

  EXPECT_EQ(Variant(2.5).AsCurrency().Value, 25000);
  EXPECT_EQ(Variant(7).AsCurrency().Value, 70000);
  EXPECT_EQ(Variant(true).AsCurrency().Value, -10000);
  EXPECT_EQ(Variant("12.3456").AsCurrency().Value, 123456);
  ExpectThrowText<EVariantOverflowError>([] { Variant(1e15).AsCurrency(); },
                                         "Overflow while converting variant of type (Double) into type (Currency)",
                                         "double too big");
  ExpectThrowText<EVariantOverflowError>([] { I64(kInt64Max).AsCurrency(); },
                                         "Overflow while converting variant of type (Int64) into type (Currency)",
                                         "Int64 too big");
  ExpectThrowText<EVariantTypeCastError>([] { Variant("x").AsCurrency(); },
                                         "Could not convert variant of type (String) into type (Currency)", "text");

  EXPECT_DOUBLE_EQ(Variant("2024-01-01").AsDateTime(), 45292.0);
  EXPECT_DOUBLE_EQ(Variant(45292).AsDateTime(), 45292.0);
  EXPECT_DOUBLE_EQ(Variant::FromDate(1.5).AsDateTime(), 1.5);
  ExpectThrowText<EVariantTypeCastError>([] { Variant("not a date").AsDateTime(); },
                                         "Could not convert variant of type (String) into type (Date)", "date text");

  struct BoolCase { const char* Name; Variant V; bool Expected; };
  const BoolCase bools[] = {
      {"True text any case", "tRuE", true}, {"False text", "false", false}, {"zero text", "0", false},
      {"number text", "2", true},           {"zero", 0, false},             {"minus one", -1, true},
      {"fraction", 0.5, true},              {"Empty", Variant(), false},    {"zero Currency", Curr(0), false},
  };
  for (const BoolCase& c : bools) EXPECT_EQ(c.V.AsBoolean(), c.Expected) << c.Name;
  ExpectThrowText<EVariantTypeCastError>([] { Variant("yes").AsBoolean(); },
                                         "Could not convert variant of type (String) into type (Boolean)", "yes");
  ExpectThrowText<EVariantTypeCastError>([] { Null().AsBoolean(); },
                                         "Could not convert variant of type (Null) into type (Boolean)", "Null");
}

TEST(VariantConvert, ToText) {
  struct Case { const char* Name; Variant V; const char* Expected; };
  const Case cases[] = {
      {"Null", Null(), ""},
      {"Empty", Variant(), ""},
      {"True", true, "True"},
      {"False", false, "False"},
      {"Integer", -42, "-42"},
      {"Int64", I64(kInt64Max), "9223372036854775807"},
      {"Double", 1.5, "1.5"},
      {"Double whole", 3.0, "3"},
      {"Currency", Curr(2.5), "2.5"},
      {"Date", Variant::FromDate(45292), "2024-01-01"},
      {"String", "合同", "合同"},
  };
  for (const Case& c : cases) EXPECT_EQ(VarToStr(c.V), c.Expected) << c.Name;
  EXPECT_EQ(VarToStrDef(Null(), "无"), "无");
  EXPECT_EQ(VarToStrDef(Variant(), "无"), "无");
  EXPECT_EQ(VarToStrDef(0, "无"), "0");
  EXPECT_EQ(VarToStrDef("", "无"), "");
  EXPECT_EQ(Variant(7).AsString(), "7");
  ExpectThrowText<EVariantTypeCastError>([] { Null().AsString(); },
                                         "Could not convert variant of type (Null) into type (String)", "Null");
  ExpectThrowText<EVariantTypeCastError>([] { VarToStr(VarError(1)); },
                                         "Could not convert variant of type (Error) into type (String)", "error");
  ExpectThrowText<EVariantTypeCastError>([] { VarToStr(VarArrayOf({1})); },
                                         "Could not convert variant of type (Array Variant) into type (String)", "arr");
}

TEST(VariantConvert, VarAsType) {
  struct Case { const char* Name; Variant V; TVarType To; Variant Expected; };
  const Case cases[] = {
      {"to Byte", 255, varByte, Variant(Byte(255))},
      {"to ShortInt", -128, varShortInt, Variant(ShortInt(-128))},
      {"to Smallint", "-300", varSmallint, Variant(SmallInt(-300))},
      {"to Word", 65535.0, varWord, Variant(Word(65535))},
      {"to LongWord", I64(4294967295LL), varLongWord, Variant(Cardinal(4294967295u))},
      {"to Integer", "12", varInteger, 12},
      {"to Int64", 2.5, varInt64, I64(2)},
      {"to Single", 0.5, varSingle, Variant(0.5f)},
      {"to Double", "0.25", varDouble, 0.25},
      {"to Currency", 1.5, varCurrency, Curr(1.5)},
      {"to Date", "2024-01-01", varDate, Variant::FromDate(45292)},
      {"to Boolean", 0, varBoolean, false},
      {"to String", 12, varString, "12"},
      {"to OleStr", true, varOleStr, Variant::FromOleStr("True")},
      {"String to OleStr", "ab", varOleStr, Variant::FromOleStr("ab")},
      {"to Error", 5, varError, VarError(5)},
      {"to Null", 5, varNull, Null()},
      {"to Empty", 5, varEmpty, Variant()},
      {"to Variant keeps", 5, varVariant, 5},
  };
  for (const Case& c : cases) {
    try {
      Variant r = VarAsType(c.V, c.To);
      ExpectVariant(r, c.To == varVariant ? VarType(c.V) : c.To, c.Expected, c.Name);
    } catch (const std::exception& e) {
      ADD_FAILURE() << c.Name << ": " << e.what();
    }
  }
  EXPECT_EQ(VarAsType(5, varError).ErrorCode(), 5);

  struct ErrCase { const char* Name; Variant V; TVarType To; const char* Text; };
  const ErrCase overflows[] = {
      {"Byte", 256, varByte, "Overflow while converting variant of type (Integer) into type (Byte)"},
      {"ShortInt", -129, varShortInt, "Overflow while converting variant of type (Integer) into type (ShortInt)"},
      {"Smallint", 70000, varSmallint, "Overflow while converting variant of type (Integer) into type (Smallint)"},
      {"Word", -1, varWord, "Overflow while converting variant of type (Integer) into type (Word)"},
      {"LongWord", -1, varLongWord, "Overflow while converting variant of type (Integer) into type (LongWord)"},
      {"Single", 1e40, varSingle, "Overflow while converting variant of type (Double) into type (Single)"},
  };
  for (const ErrCase& c : overflows)
    ExpectThrowText<EVariantOverflowError>([&] { VarAsType(c.V, c.To); }, c.Text, c.Name);
  ExpectThrowText<EVariantTypeCastError>([] { VarAsType(Null(), varInteger); },
                                         "Could not convert variant of type (Null) into type (Integer)", "Null");
  ExpectThrowText<EVariantTypeCastError>([] { VarAsType(Null(), varString); },
                                         "Could not convert variant of type (Null) into type (String)", "Null text");
  ExpectThrowText<EVariantTypeCastError>([] { VarAsType(1.5, varError); },
                                         "Could not convert variant of type (Double) into type (Error)", "to error");
  ExpectThrowText<EVariantTypeCastError>([] { VarAsType(1, varArray | varInteger); },
                                         "Could not convert variant of type (Integer) into type (Array Integer)",
                                         "scalar to array");
  ExpectThrowText<EVariantBadVarTypeError>([] { VarAsType(1, 999); }, "Invalid variant type", "no such type");
  ExpectThrowText<EVariantBadVarTypeError>([] { VarAsType(1, varAny); }, "Invalid variant type", "varAny");
}

TEST(VariantObjects, DispatchAndUnknownShareTheObject) {
  bool destroyed = false;
  Variant v;
  {
    auto obj = std::make_shared<TestObject>(&destroyed);
    v = Variant::FromDispatch(obj);
    EXPECT_EQ(v.AsDispatch().get(), obj.get());
    EXPECT_EQ(v.AsUnknown().get(), static_cast<IUnknownObject*>(obj.get()));
    Variant unk = VarAsType(v, varUnknown);
    EXPECT_EQ(VarType(unk), varUnknown);
    EXPECT_EQ(unk.AsDispatch().get(), obj.get());
  }
  EXPECT_FALSE(destroyed);  // the variant keeps its object alive
  VarClear(v);
  EXPECT_TRUE(destroyed);

  EXPECT_FALSE(Variant().AsDispatch());
  Variant plain = Variant::FromUnknown(std::make_shared<PlainUnknown>());
  ExpectThrowText<EVariantTypeCastError>([&] { plain.AsDispatch(); },
                                         "Could not convert variant of type (Unknown) into type (Dispatch)", "plain");
  ExpectThrowText<EVariantTypeCastError>([] { Variant(1).AsDispatch(); },
                                         "Could not convert variant of type (Integer) into type (Dispatch)", "int");
}

TEST(VariantObjects, ErrorCodes) {
  Variant e = VarError(123);
  EXPECT_EQ(VarType(e), varError);
  EXPECT_EQ(e.ErrorCode(), 123);
  ExpectThrowText<EVariantTypeCastError>([] { Variant(1).ErrorCode(); },
                                         "Could not convert variant of type (Integer) into type (Error)", "not error");
  ExpectThrowText<EVariantTypeCastError>([&] { e.AsInteger(); },
                                         "Could not convert variant of type (Error) into type (Integer)", "as int");
}

// ---------------------------------------------------------------------------------------
// Arrays

TEST(VariantArray, CreateBoundsAndDefaults) {
  Variant a = VarArrayCreate({1, 3}, varVariant);
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_TRUE(VarIsArray(a));
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), 1);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(VarIsEmpty(a[i]));

  struct Case { TVarType Type; Variant Default; };
  const Case typed[] = {
      {varInteger, 0}, {varDouble, 0.0}, {varCurrency, Curr(0)}, {varBoolean, false},
      {varString, ""}, {varOleStr, Variant::FromOleStr("")}, {varByte, Variant(Byte(0))},
  };
  for (const Case& c : typed) {
    Variant t = VarArrayCreate({0, 1}, c.Type);
    EXPECT_EQ(VarType(t), varArray | c.Type);
    ExpectVariant(t[1], c.Type, c.Default, VarTypeAsText(c.Type));
  }
  Variant objects = VarArrayCreate({0, 0}, varDispatch);
  EXPECT_TRUE(VarIsClear(objects[0]));

  Variant none = VarArrayCreate({0, -1}, varVariant);
  EXPECT_EQ(VarArrayHighBound(none, 1), -1);
  Variant negative = VarArrayCreate({-5, -3}, varVariant);
  EXPECT_EQ(VarArrayLowBound(negative, 1), -5);
  negative.PutElement({-4}, "mid");
  EXPECT_EQ(negative[-4].AsString(), "mid");

  const std::vector<int> badBounds[] = {{}, {0}, {0, 1, 2}, {0, -2}, {0, 100000, 0, 100000}};
  for (const auto& b : badBounds)
    ExpectThrowText<EVariantArrayCreateError>([&] { VarArrayCreate(b, varVariant); },
                                              "Error creating variant or safe array", "bounds");
  for (TVarType t : {varEmpty, varNull, varAny, TVarType(varArray | varInteger)})
    ExpectThrowText<EVariantArrayCreateError>([&] { VarArrayCreate({0, 1}, t); },
                                              "Error creating variant or safe array", "element type");
}

TEST(VariantArray, ElementsOfSeveralDimensions) {
  Variant a = VarArrayCreate({0, 2, 1, 4, -1, 0}, varVariant);
  EXPECT_EQ(VarArrayDimCount(a), 3);
  EXPECT_EQ(VarArrayLowBound(a, 2), 1);
  EXPECT_EQ(VarArrayHighBound(a, 2), 4);
  EXPECT_EQ(VarArrayLowBound(a, 3), -1);
  for (int i = 0; i <= 2; ++i)
    for (int j = 1; j <= 4; ++j)
      for (int k = -1; k <= 0; ++k) a.PutElement({i, j, k}, i * 100 + j * 10 + k);
  // Every cell holds its own value: no two index triples share a slot.
  for (int i = 0; i <= 2; ++i)
    for (int j = 1; j <= 4; ++j)
      for (int k = -1; k <= 0; ++k) {
        EXPECT_EQ(a.GetElement({i, j, k}).AsInteger(), i * 100 + j * 10 + k);
        EXPECT_EQ(a.GetElement(std::vector<int>{i, j, k}).AsInteger(), i * 100 + j * 10 + k);
      }
  a.PutElement(std::vector<int>{2, 4, 0}, "last");
  EXPECT_EQ(a.GetElement({2, 4, 0}).AsString(), "last");
}

TEST(VariantArray, IndexErrors) {
  Variant a = VarArrayCreate({0, 1, 0, 1}, varVariant);
  const std::vector<int> bad[] = {{2, 0}, {-1, 0}, {0, 2}, {0}, {0, 0, 0}};
  for (const auto& idx : bad) {
    ExpectThrowText<EVariantBadIndexError>([&] { a.GetElement(idx); }, "Variant or safe array index out of bounds",
                                           "get");
    ExpectThrowText<EVariantBadIndexError>([&] { a.PutElement(idx, 1); }, "Variant or safe array index out of bounds",
                                           "put");
  }
  ExpectThrowText<EVariantBadIndexError>([&] { (void)a[0]; }, "Variant or safe array index out of bounds", "[] on 2 dims");
  ExpectThrowText<EVariantBadIndexError>([&] { VarArrayLowBound(a, 3); }, "Variant or safe array index out of bounds",
                                         "dim 3");
  ExpectThrowText<EVariantBadIndexError>([&] { VarArrayHighBound(a, 0); }, "Variant or safe array index out of bounds",
                                         "dim 0");
  Variant scalar = 5;
  EXPECT_EQ(VarArrayDimCount(scalar), 0);
  ExpectThrowText<EVariantNotAnArrayError>([&] { (void)scalar[0]; }, "Variant is not an array", "scalar []");
  ExpectThrowText<EVariantNotAnArrayError>([&] { scalar.PutElement({0}, 1); }, "Variant is not an array", "put");
  ExpectThrowText<EVariantNotAnArrayError>([&] { VarArrayLowBound(scalar, 1); }, "Variant is not an array", "low");
  ExpectThrowText<EVariantNotAnArrayError>([&] { VarArrayRedim(scalar, 3); }, "Variant is not an array", "redim");
}

TEST(VariantArray, TypedArraysConvertWhatIsPut) {
  Variant a = VarArrayCreate({0, 2}, varInteger);
  a.PutElement({0}, "42");
  a.PutElement({1}, 2.5);
  ExpectVariant(a[0], varInteger, 42, "text converted");
  ExpectVariant(a[1], varInteger, 2, "float rounded");
  ExpectThrowText<EVariantTypeCastError>([&] { a.PutElement({2}, "abc"); },
                                         "Could not convert variant of type (String) into type (Integer)", "bad text");
  ExpectThrowText<EVariantTypeCastError>([&] { a.PutElement({2}, Null()); },
                                         "Could not convert variant of type (Null) into type (Integer)", "Null");
  ExpectVariant(a[2], varInteger, 0, "a failed put leaves the element");

  Variant asDoubles = VarAsType(a, varArray | varDouble);
  EXPECT_EQ(VarType(asDoubles), varArray | varDouble);
  ExpectVariant(asDoubles[0], varDouble, 42.0, "converted array");
  EXPECT_EQ(VarType(a[0]), varInteger);  // the source is untouched
}

TEST(VariantArray, VarArrayOf) {
  Variant a = VarArrayOf({1, "二", Null(), 2.5});
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_EQ(VarArrayLowBound(a, 1), 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  ExpectVariant(a[0], varInteger, 1, "0");
  ExpectVariant(a[1], varString, "二", "1");
  EXPECT_TRUE(VarIsNull(a[2]));
  ExpectVariant(a[3], varDouble, 2.5, "3");
  Variant nested = VarArrayOf({VarArrayOf({1, 2}), 3});
  EXPECT_EQ(nested[0][1].AsInteger(), 2);
  Variant empty = VarArrayOf(std::vector<Variant>{});
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
}

TEST(VariantArray, CopiesDoNotShareWrites) {
  Variant a = VarArrayOf({1, 2, 3});
  Variant b = a;
  b.PutElement({0}, 100);
  EXPECT_EQ(a[0].AsInteger(), 1);
  EXPECT_EQ(b[0].AsInteger(), 100);
  Variant c = b;
  VarArrayRedim(c, 5);
  EXPECT_EQ(VarArrayHighBound(b, 1), 2);
  EXPECT_EQ(VarArrayHighBound(c, 1), 5);

  Variant outer = VarArrayOf({VarArrayOf({1, 2})});
  Variant inner = outer[0];
  inner.PutElement({0}, 9);
  EXPECT_EQ(outer[0][0].AsInteger(), 1);

  // An array put into itself holds the value it had, not a loop.
  Variant self = VarArrayOf({1, 2});
  self.PutElement({0}, self);
  EXPECT_TRUE(VarIsArray(self[0]));
  EXPECT_EQ(self[0][0].AsInteger(), 1);
  EXPECT_EQ(self[1].AsInteger(), 2);
}

TEST(VariantArray, RedimKeepsElements) {
  Variant a = VarArrayOf({1, 2, 3});
  VarArrayRedim(a, 4);
  EXPECT_EQ(VarArrayHighBound(a, 1), 4);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a[i].AsInteger(), i + 1);
  EXPECT_TRUE(VarIsEmpty(a[3]));
  EXPECT_TRUE(VarIsEmpty(a[4]));
  VarArrayRedim(a, 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), 0);
  EXPECT_EQ(a[0].AsInteger(), 1);
  ExpectThrowText<EVariantBadIndexError>([&] { (void)a[1]; }, "Variant or safe array index out of bounds", "shrunk");
  VarArrayRedim(a, -1);
  EXPECT_EQ(VarArrayHighBound(a, 1), -1);
  ExpectThrowText<EVariantArrayCreateError>([&] { VarArrayRedim(a, -2); }, "Error creating variant or safe array",
                                            "below empty");

  Variant typed = VarArrayCreate({1, 2}, varCurrency);
  typed.PutElement({2}, Curr(9.5));
  VarArrayRedim(typed, 3);
  ExpectVariant(typed[2], varCurrency, Curr(9.5), "kept");
  ExpectVariant(typed[3], varCurrency, Curr(0), "new element of the element type");

  // Only the last dimension grows; the cells already there keep their indices.
  Variant grid = VarArrayCreate({0, 2, 0, 1}, varVariant);
  for (int i = 0; i <= 2; ++i)
    for (int j = 0; j <= 1; ++j) grid.PutElement({i, j}, i * 10 + j);
  VarArrayRedim(grid, 3);
  EXPECT_EQ(VarArrayHighBound(grid, 1), 2);
  EXPECT_EQ(VarArrayHighBound(grid, 2), 3);
  for (int i = 0; i <= 2; ++i) {
    for (int j = 0; j <= 1; ++j) EXPECT_EQ(grid.GetElement({i, j}).AsInteger(), i * 10 + j);
    EXPECT_TRUE(VarIsEmpty(grid.GetElement({i, 3})));
  }
}

}  // namespace
