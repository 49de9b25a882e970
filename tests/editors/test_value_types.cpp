// Value types over raw record buffers: comparison, variants, texts, streams and the registry.
#include "editors/cxDataStorage.h"
#include "editors/cxVariants.h"

#include "core/Streams.h"
#include "core/Variant.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A record buffer a value type reads and writes; pointer kinds are released at the end.
struct TBuffer {
  explicit TBuffer(TcxValueTypeClass AType) : Type(AType) { std::memset(Bytes, 0, sizeof Bytes); }
  ~TBuffer() { Type->ReleaseValue(Bytes); }
  TBuffer(TcxValueTypeClass AType, const Variant& V) : TBuffer(AType) { Type->VariantToValue(Bytes, V); }
  Variant Value() const {
    Variant v;
    Type->ValueToVariant(Bytes, v);
    return v;
  }
  TcxValueTypeClass Type;
  alignas(8) Byte Bytes[16];
};

TEST(ValueTypes, RegistryHoldsTheTwelveInStartOrderWithCaptions) {
  const char* captions[] = {"String", "WideString", "Smallint", "Integer", "Word",     "Boolean",
                            "Float",  "Currency",   "DateTime", "LargeInt", "Variant", "Object"};
  ASSERT_EQ(ValueTypeRegistry().Count(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(ValueTypeRegistry().Items(i)->TypeCaption(), captions[i]);
  EXPECT_EQ(TcxValueType::Instance()->TypeCaption(), "");
  ValueTypeRegistry().RegisterType(TcxIntegerValueType::Instance());  // once only
  EXPECT_EQ(ValueTypeRegistry().Count(), 12);
  // Sizes: pointer kinds hold a pointer, the rest their value.
  EXPECT_EQ(TcxStringValueType::Instance()->ValueSize(), int(sizeof(void*)));
  EXPECT_EQ(TcxObjectValueType::Instance()->ValueSize(), int(sizeof(void*)));
  EXPECT_EQ(TcxSmallintValueType::Instance()->ValueSize(), 2);
  EXPECT_EQ(TcxFloatValueType::Instance()->ValueSize(), 8);
  EXPECT_TRUE(TcxWideStringValueType::Instance()->HoldsText());
  EXPECT_FALSE(TcxVariantValueType::Instance()->HoldsText());
}

TEST(ValueTypes, ComparingStoredValues) {
  const TcxValueType* str = TcxStringValueType::Instance();
  TBuffer none(str), a(str, Variant("a")), b(str, Variant("b"));
  EXPECT_EQ(str->CompareStored(none.Bytes, a.Bytes), -1);
  EXPECT_EQ(str->CompareStored(a.Bytes, none.Bytes), 1);
  EXPECT_EQ(str->CompareStored(none.Bytes, none.Bytes), 0);
  EXPECT_EQ(str->CompareStored(a.Bytes, b.Bytes), -1);
  EXPECT_TRUE(VarIsNull(none.Value()));
  const TcxValueType* integer = TcxIntegerValueType::Instance();
  TBuffer big(integer, Variant(2147483647)), small(integer, Variant(-2));
  EXPECT_GT(integer->CompareStored(big.Bytes, small.Bytes), 0);  // no overflowing difference
  EXPECT_LT(integer->CompareStored(small.Bytes, big.Bytes), 0);
  const TcxValueType* large = TcxLargeIntValueType::Instance();
  TBuffer l1(large, Variant((long long)INT64_MAX)), l2(large, Variant((long long)INT64_MIN));
  EXPECT_EQ(large->CompareStored(l1.Bytes, l2.Bytes), 1);
  const TcxValueType* var = TcxVariantValueType::Instance();
  TBuffer vn(var), v1(var, Variant(1)), v2(var, Variant("x"));
  EXPECT_EQ(var->CompareStored(vn.Bytes, v1.Bytes), -1);
  EXPECT_EQ(var->CompareStored(v1.Bytes, v2.Bytes), -var->CompareStored(v2.Bytes, v1.Bytes));
  const TcxValueType* word = TcxWordValueType::Instance();
  TBuffer w1(word, Variant(65535)), w2(word, Variant(1));
  EXPECT_GT(word->CompareStored(w1.Bytes, w2.Bytes), 0);
  EXPECT_EQ(VarType(w1.Value()), varWord);
  // Deref and pointer access give the heap value itself.
  const void* p = a.Bytes;
  str->DerefBuffer(p);
  Variant pv;
  str->PointerValueToVariant(p, pv);
  EXPECT_EQ(pv.AsString(), "a");
}

TEST(ValueTypes, CoercingAndTexts) {
  const TcxValueType* integer = TcxIntegerValueType::Instance();
  Variant v("12");
  EXPECT_TRUE(integer->CoerceVariant(v));
  EXPECT_EQ(VarType(v), varInteger);
  EXPECT_EQ(v.AsInteger(), 12);
  Variant x("x");
  EXPECT_FALSE(integer->CoerceVariant(x));
  Variant n = Null();
  EXPECT_TRUE(integer->CoerceVariant(n));
  Variant any("y");
  EXPECT_TRUE(TcxVariantValueType::Instance()->CoerceVariant(any));
  EXPECT_EQ(VarType(any), varString);

  TBuffer yes(TcxBooleanValueType::Instance(), Variant(true));
  EXPECT_EQ(TcxBooleanValueType::Instance()->DefaultText(yes.Bytes), "True");
  TBuffer num(integer, Variant(-7));
  EXPECT_EQ(integer->DefaultText(num.Bytes), "-7");
  TBuffer none(TcxStringValueType::Instance());
  EXPECT_EQ(TcxStringValueType::Instance()->DefaultText(none.Bytes), "");

  String* text = nullptr;
  integer->StoreText(text, "七");
  EXPECT_EQ(integer->StoredText(text), "七");
  TBytesStream s;
  integer->SaveText(text, &s);
  integer->SaveText(nullptr, &s);
  integer->ReleaseText(text);
  EXPECT_EQ(text, nullptr);
  s.SetPosition(0);
  integer->LoadText(text, &s);
  EXPECT_EQ(*text, "七");
  integer->LoadText(text, &s);
  EXPECT_EQ(*text, "");
  integer->ReleaseText(text);
}

TEST(ValueTypes, StreamsInTheTypesOwnFormat) {
  const struct {
    TcxValueTypeClass Type;
    Variant Value;
    TBytes Bytes;
  } cases[] = {
      {TcxStringValueType::Instance(), Variant("合"), {3, 0, 0, 0, 0xE5, 0x90, 0x88}},
      {TcxWideStringValueType::Instance(), Variant("合𠀀"), {3, 0, 0, 0, 0x08, 0x54, 0x40, 0xD8, 0x00, 0xDC}},
      {TcxSmallintValueType::Instance(), Variant(-2), {0xFE, 0xFF}},
      {TcxIntegerValueType::Instance(), Variant(70000), {0x70, 0x11, 0x01, 0x00}},
      {TcxWordValueType::Instance(), Variant(65534), {0xFE, 0xFF}},
      {TcxBooleanValueType::Instance(), Variant(true), {1}},
      {TcxFloatValueType::Instance(), Variant(1.0), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {TcxCurrencyValueType::Instance(), Variant(Currency::FromRaw(15000)), {0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
      {TcxDateTimeValueType::Instance(), Variant::FromDate(1.5), {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}},
      {TcxLargeIntValueType::Instance(), Variant((long long)258), {2, 1, 0, 0, 0, 0, 0, 0}},
      {TcxVariantValueType::Instance(), Variant(100), {0x02, 0x64}},
  };
  for (const auto& c : cases) {
    TBuffer in(c.Type, c.Value);
    TBytesStream s;
    c.Type->SaveValue(in.Bytes, &s);
    EXPECT_EQ(s.Bytes(), c.Bytes) << c.Type->TypeCaption();
    s.SetPosition(0);
    TBuffer out(c.Type);
    c.Type->LoadValue(out.Bytes, &s);
    EXPECT_EQ(c.Type->CompareStored(in.Bytes, out.Bytes), 0) << c.Type->TypeCaption();
    EXPECT_EQ(s.Position(), s.Size()) << c.Type->TypeCaption();
  }
  // A float keeps its double exactly through the 10-byte form.
  for (double d : {0.1, 1e308, 4.9e-324}) {
    TBuffer in(TcxFloatValueType::Instance(), Variant(d)), out(TcxFloatValueType::Instance());
    TBytesStream s;
    in.Type->SaveValue(in.Bytes, &s);
    s.SetPosition(0);
    out.Type->LoadValue(out.Bytes, &s);
    EXPECT_EQ(out.Value().AsDouble(), d);
  }
  // An object writes and reads nothing; a nil string writes an empty text.
  auto* object = new TObject;
  TBuffer obj(TcxObjectValueType::Instance(), Variant((long long)reinterpret_cast<std::intptr_t>(object)));
  TBytesStream s;
  obj.Type->SaveValue(obj.Bytes, &s);
  EXPECT_EQ(s.Size(), 0);
  TBuffer none(TcxStringValueType::Instance());
  none.Type->SaveValue(none.Bytes, &s);
  EXPECT_EQ(s.Bytes(), (TBytes{0, 0, 0, 0}));
  EXPECT_EQ(obj.Value().AsInt64(), reinterpret_cast<std::intptr_t>(object));  // freed with the buffer
}

}  // namespace
