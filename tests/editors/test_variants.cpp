// Variant comparison and the typed value streams: bytes written, values read back, and
// corrupt or truncated streams.
#include "editors/cxVariants.h"

#include "core/Streams.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

TBytes Saved(const Variant& v) {
  TBytesStream s;
  SaveVariant(&s, v);
  return s.Bytes();
}

Variant RoundTrip(const Variant& v) {
  TBytesStream s;
  SaveVariant(&s, v);
  s.SetPosition(0);
  Variant back = LoadVariant(&s);
  EXPECT_EQ(s.Position(), s.Size());
  return back;
}

Variant LoadFrom(const TBytes& bytes) {
  TBytesStream s(bytes);
  return LoadVariant(&s);
}

TEST(VariantStreams, TaggedBytes) {
  const struct {
    Variant Value;
    TBytes Bytes;
  } cases[] = {
      {Variant(100), {0x02, 0x64}},
      {Variant(-1), {0x02, 0xFF}},
      {Variant(1000), {0x03, 0xE8, 0x03}},
      {Variant(70000), {0x04, 0x70, 0x11, 0x01, 0x00}},
      {Variant(true), {0x09}},
      {Variant(false), {0x08}},
      {Null(), {0x00}},
      {Unassigned(), {0x0D}},
      {Variant(1.0), {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {Variant(Currency::FromRaw(15000)), {0x10, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
      {Variant("合"), {0x06, 0x03, 0xE5, 0x90, 0x88}},
      {Variant::FromOleStr("合"), {0x12, 0x01, 0, 0, 0, 0x08, 0x54}},
      {VarArrayOf({Variant(1), Variant("a")}), {0x01, 0x02, 0x02, 0x02, 0x01, 0x06, 0x01, 'a'}},
  };
  for (const auto& c : cases) EXPECT_EQ(Saved(c.Value), c.Bytes) << VarToStr(c.Value);
  const Variant t = LoadFrom({0x09});
  EXPECT_EQ(VarType(t), varBoolean);
  EXPECT_EQ(t.AsInteger(), -1);
}

TEST(VariantStreams, StringTagsFollowTheByteCount) {
  const String s255(255, 'x'), s256(256, 'x');
  TBytes b = Saved(Variant(s255));
  EXPECT_EQ(b.size(), 257u);
  EXPECT_EQ(b[0], 0x06);
  EXPECT_EQ(b[1], 255);
  b = Saved(Variant(s256));
  EXPECT_EQ(b.size(), 261u);
  EXPECT_EQ(b[0], 0x0C);
  EXPECT_EQ((TBytes{b[1], b[2], b[3], b[4]}), (TBytes{0x00, 0x01, 0x00, 0x00}));
  String chinese;
  for (int i = 0; i < 100; ++i) chinese += "合";  // 100 characters, 300 bytes
  b = Saved(Variant(chinese));
  EXPECT_EQ(b[0], 0x0C);
  EXPECT_EQ(RoundTrip(Variant(chinese)).AsString(), chinese);
  EXPECT_EQ(RoundTrip(Variant(s256)).AsString(), s256);
  EXPECT_EQ(RoundTrip(Variant("")).AsString(), "");
  // A wide text counts UTF-16 units: a character beyond the basic plane takes two.
  const Variant wide = Variant::FromOleStr("合同𠀀");
  b = Saved(wide);
  EXPECT_EQ(b[0], 0x12);
  EXPECT_EQ(b[1], 4);
  EXPECT_EQ(b.size(), 1u + 4u + 8u);
  const Variant back = RoundTrip(wide);
  EXPECT_EQ(VarType(back), varOleStr);
  EXPECT_EQ(back.AsString(), "合同𠀀");
}

TEST(VariantStreams, ValuesComeBackAsTheirTagsType) {
  const struct {
    Variant Value;
    TVarType Type;
    const char* Text;
  } cases[] = {
      {Variant((unsigned char)200), varSmallint, "200"},
      {Variant((unsigned char)100), varShortInt, "100"},
      {Variant((short)-5), varShortInt, "-5"},
      {Variant((unsigned short)40000), varString, "40000"},
      {Variant((unsigned int)7), varString, "7"},
      {Variant((long long)1234567890123LL), varString, "1234567890123"},
      {Variant(2.5f), varSingle, "2.5"},
      {Variant::FromDate(45000.25), varDate, nullptr},
      {Variant(Currency::FromRaw(-12345)), varCurrency, "-1.2345"},
      {Null(), varNull, ""},
      {Unassigned(), varEmpty, ""},
  };
  for (const auto& c : cases) {
    const Variant back = RoundTrip(c.Value);
    EXPECT_EQ(VarType(back), c.Type) << VarToStr(c.Value);
    if (c.Text) {
      EXPECT_EQ(VarToStr(back), c.Text);
    }
  }
  EXPECT_EQ(RoundTrip(Variant::FromDate(45000.25)).AsDateTime(), 45000.25);
  for (double d : {0.1, 1e308, -1e-308, std::numeric_limits<double>::denorm_min(), 5e-324 * 7, DBL_MAX, -0.0}) {
    const Variant back = RoundTrip(Variant(d));
    EXPECT_EQ(VarType(back), varDouble);
    EXPECT_EQ(back.AsDouble(), d);
    EXPECT_EQ(std::signbit(back.AsDouble()), std::signbit(d));
  }
  // Arrays, nested and empty, come back as arrays of variants from 0.
  Variant arr = VarArrayCreate({3, 5}, varVariant);
  arr.PutElement({3}, Variant(1));
  arr.PutElement({4}, VarArrayOf({Variant("x"), Null()}));
  arr.PutElement({5}, VarArrayOf(std::vector<Variant>{}));
  const Variant back = RoundTrip(arr);
  ASSERT_TRUE(VarIsArray(back));
  EXPECT_EQ(VarArrayLowBound(back, 1), 0);
  EXPECT_EQ(VarArrayHighBound(back, 1), 2);
  EXPECT_EQ(back[0].AsInteger(), 1);
  EXPECT_EQ(back[1][0].AsString(), "x");
  EXPECT_TRUE(VarIsNull(back[1][1]));
  EXPECT_EQ(VarArrayHighBound(back[2], 1), -1);
}

TEST(VariantStreams, BadValuesAndCorruptStreams) {
  try {
    Saved(VarArrayCreate({0, 1, 0, 1}, varVariant));
    ADD_FAILURE() << "a two-dimensional array was written";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "流写入错误");
  }
  EXPECT_THROW(Saved(VarError(5)), EWriteError);  // no text
  // Each of these would read past what the stream holds, or is no tag at all.
  const TBytes corrupt[] = {
      {0x07},
      {0x13},
      {0xFF},
      {0x0C, 0x00, 0x00, 0x00, 0x80, 1, 2, 3, 4, 5},  // a length of 2^31 in 10 bytes
      {0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4, 5},
      {0x06, 0x09, 'a', 'b'},
      {0x12, 0x10, 0x00, 0x00, 0x00, 0x41, 0x00},
      {0x12, 0xFF, 0xFF, 0xFF, 0xFF},
      {0x01, 0x04, 0x00, 0xCA, 0x9A, 0x3B, 0x02, 0x01},  // a billion elements
      {0x01, 0x02, 0xFF},                                // a negative count
      {0x01, 0x06, 0x01, '1', 0x02, 0x01},               // a count that is no integer
  };
  for (const TBytes& bytes : corrupt) {
    try {
      LoadFrom(bytes);
      ADD_FAILURE() << "read " << int(bytes[0]);
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "流读取错误") << int(bytes[0]) << " " << bytes.size();
    }
  }
  // Arrays nested without end are refused before the stack runs out.
  TBytes deep;
  for (int i = 0; i < 100000; ++i) deep.insert(deep.end(), {0x01, 0x02, 0x01});
  EXPECT_THROW(LoadFrom(deep), EReadError);
  // A stream that ends inside a fixed field raises the stream's own error.
  for (const TBytes& cut : {TBytes{}, TBytes{0x04, 0x70, 0x11}, TBytes{0x05, 0, 0}, TBytes{0x10, 1}, TBytes{0x03}}) {
    try {
      LoadFrom(cut);
      ADD_FAILURE() << "read a truncated stream";
    } catch (const EReadError& e) {
      EXPECT_NE(e.Message(), "流读取错误");
    }
  }
}

TEST(VariantStreams, FixedWidthPairs) {
  TBytesStream s;
  SaveBool(&s, true);
  SaveInt16(&s, -2);
  SaveUInt16(&s, 0xFFFE);
  SaveInt32(&s, -3);
  SaveInt64(&s, 0x0102030405060708LL);
  SaveExtended(&s, 0.1L);
  SaveCurrencyValue(&s, Currency::FromRaw(-15000));
  SaveDateTimeValue(&s, 1.5);
  SaveAnsiText(&s, "合");
  SaveWideText(&s, u"合𠀀");
  const TBytes b = s.Bytes();
  EXPECT_EQ(TBytes(b.begin() + 1, b.begin() + 5), (TBytes{0xFE, 0xFF, 0xFE, 0xFF}));
  EXPECT_EQ(b[5], 0xFD);
  EXPECT_EQ(b[9], 0x08);
  EXPECT_EQ(TBytes(b.end() - 17, b.end() - 10), (TBytes{3, 0, 0, 0, 0xE5, 0x90, 0x88}));
  EXPECT_EQ(TBytes(b.end() - 10, b.end()), (TBytes{3, 0, 0, 0, 0x08, 0x54, 0x40, 0xD8, 0x00, 0xDC}));
  s.SetPosition(0);
  EXPECT_TRUE(LoadBool(&s));
  EXPECT_EQ(LoadInt16(&s), -2);
  EXPECT_EQ(LoadUInt16(&s), 0xFFFE);
  EXPECT_EQ(LoadInt32(&s), -3);
  EXPECT_EQ(LoadInt64(&s), 0x0102030405060708LL);
  EXPECT_EQ(LoadExtended(&s), 0.1L);
  EXPECT_EQ(LoadCurrencyValue(&s).Value, -15000);
  EXPECT_EQ(LoadDateTimeValue(&s), 1.5);
  EXPECT_EQ(LoadAnsiText(&s), "合");
  EXPECT_EQ(LoadWideText(&s), u"合𠀀");
  EXPECT_EQ(s.Position(), s.Size());
  TBytesStream huge(TBytes{0xFF, 0xFF, 0xFF, 0x0F, 'a'});
  EXPECT_THROW(LoadAnsiText(&huge), EReadError);
}

TEST(VariantCompare, OrderNullArraysAndEquality) {
  const struct {
    Variant A, B;
    int Sign;
  } cases[] = {
      {Null(), Variant(5), -1},
      {Variant(5), Null(), 1},
      {Null(), Null(), 0},
      {Variant(2), Variant(2.0), 0},
      {Variant(1), Variant(2), -1},
      {Variant("b"), Variant("a"), 1},
      {Variant("10"), Variant(9), 1},
      {VarArrayOf({Variant(1), Variant(2)}), VarArrayOf({Variant(1), Variant(2), Variant(3)}), -1},
      {VarArrayOf({Variant(1), Variant(3)}), VarArrayOf({Variant(1), Variant(2)}), 1},
      {VarArrayOf({Variant(1), Variant(2)}), VarArrayOf({Variant(1), Variant(2)}), 0},
      {VarArrayOf(std::vector<Variant>{}), VarArrayOf(std::vector<Variant>{}), 0},
      {VarArrayOf({Variant(1)}), Variant(1), 1},
      {Variant(1), VarArrayOf({Variant(1)}), -1},
  };
  for (const auto& c : cases) {
    const int r = CompareVariants(c.A, c.B);
    EXPECT_EQ((r > 0) - (r < 0), c.Sign) << VarToStr(c.A) << " " << VarToStr(c.B);
  }
  EXPECT_EQ(CompareVariantArrays(VarArrayOf({Variant(1), Variant(2)}), VarArrayOf({Variant(1), Variant(2), Variant(3)})), -1);
}

TEST(VariantCompare, IncomparableValuesHaveOppositeSigns) {
  const std::pair<Variant, Variant> pairs[] = {
      {Variant("abc"), Variant(5)},
      {Variant(5), Variant("abc")},
      {VarError(1), VarError(2)},
      {VarError(1), Variant(3)},
      {Variant(std::nan("")), Variant(1.0)},
      {Variant(std::nan("")), Variant(1)},
      {VarArrayOf({Variant("x")}), VarArrayOf({Variant(1)})},
  };
  for (const auto& [a, b] : pairs) {
    const int ab = CompareVariants(a, b), ba = CompareVariants(b, a);
    EXPECT_NE(ab, 0) << VarTypeAsText(VarType(a)) << " " << VarTypeAsText(VarType(b));
    EXPECT_EQ((ab > 0) - (ab < 0), -((ba > 0) - (ba < 0))) << VarTypeAsText(VarType(a)) << " " << VarTypeAsText(VarType(b));
  }
  EXPECT_EQ(CompareVariants(Variant(std::nan("")), Variant(std::nan(""))), 0);
  EXPECT_EQ(CompareVariants(VarError(4), VarError(4)), 0);
}

TEST(VariantCompare, StrictEqualityAndPredicates) {
  EXPECT_TRUE(VariantsEqualStrict(Variant(true), Variant("True")));
  EXPECT_TRUE(VariantsEqualStrict(Variant("False"), Variant(false)));
  EXPECT_FALSE(VariantsEqualStrict(Variant(true), Variant(-1)));  // "True" against "-1"
  EXPECT_TRUE(VariantsEqual(Variant(true), Variant(-1)));
  EXPECT_FALSE(VariantsEqualStrict(Variant(true), Null()));
  EXPECT_TRUE(VariantsEqualStrict(Variant(3), Variant("3")));
  EXPECT_FALSE(VariantsEqualStrict(Variant(true), VarError(1)));  // no text: not equal

  const struct {
    Variant V;
    bool Date, Numeric, NullOrEmpty;
  } cases[] = {
      {Variant::FromDate(1.0), true, false, false},
      {Variant(1.0), false, true, false},
      {Variant(Currency::FromRaw(1)), false, true, false},
      {Variant(7), false, true, false},
      {Variant(""), false, false, true},
      {Variant::FromOleStr(""), false, false, true},
      {Variant(" "), false, false, false},
      {Null(), false, false, true},
      {Unassigned(), false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsDateVariant(c.V), c.Date) << VarTypeAsText(VarType(c.V));
    EXPECT_EQ(IsNumericVariant(c.V), c.Numeric) << VarTypeAsText(VarType(c.V));
    EXPECT_EQ(IsNullOrEmptyText(c.V), c.NullOrEmpty) << VarTypeAsText(VarType(c.V));
  }
}

}  // namespace
