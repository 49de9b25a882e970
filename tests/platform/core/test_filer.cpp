// The binary property stream: values byte for byte, records, reading back, and damaged data.
#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "LayoutFixture.h"
#include "core/StrUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

String Hex(const TMemoryStream& s) {
  static const char d[] = "0123456789ABCDEF";
  String r;
  auto* p = static_cast<const Byte*>(s.Memory());
  for (Int64 i = 0; i < s.Size(); ++i) {
    r += d[p[i] >> 4];
    r += d[p[i] & 15];
  }
  return r;
}

String HexOf(const String& bytes) {
  TMemoryStream m;
  m.WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
  return Hex(m);
}

String Written(const std::function<void(TWriter&)>& write, bool gbk = false) {
  TMemoryStream m;
  TWriter w(&m);
  w.SetGbkStrings(gbk);
  write(w);
  return Hex(m);
}

// A memory stream holding the bytes of a hex string, positioned at its start.
void LoadHex(TMemoryStream& m, const String& hex) {
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    Byte b = static_cast<Byte>(std::stoi(hex.substr(i, 2), nullptr, 16));
    m.WriteBuffer(&b, 1);
  }
  m.SetPosition(0);
}

}  // namespace

TEST(BinaryValues, IntegersTakeTheSmallestEncoding) {
  struct Case { Int64 value; const char* hex; };
  const Case cases[] = {
      {0, "0200"},           {100, "0264"},           {-1, "02FF"},
      {127, "027F"},         {-128, "0280"},          {128, "038000"},
      {1000, "03E803"},      {-129, "037FFF"},        {32767, "03FF7F"},
      {32768, "0400800000"}, {70000, "0470110100"},   {-70000, "0490EEFEFF"},
      {2147483647, "04FFFFFF7F"}, {2147483648LL, "130000008000000000"},
      {-2147483649LL, "13FFFFFF7FFFFFFFFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Written([&](TWriter& w) { w.WriteInteger(c.value); }), c.hex);
    TMemoryStream m;
    LoadHex(m, c.hex);
    TReader r(&m);
    EXPECT_EQ(r.ReadInt64(), c.value);
    EXPECT_EQ(r.Position(), m.Size());
  }
}

TEST(BinaryValues, StringsByLengthAndEncoding) {
  struct Case { const char* name; String value; bool gbk; String hex; };
  const String s255(255, 'a'), s256(256, 'b');
  const Case cases[] = {
      {"empty", "", false, "0600"},
      {"short ASCII", "Ab", false, "06024162"},
      {"255 characters", s255, false, "06FF" + HexOf(s255)},
      {"256 characters become a long string", s256, false, "0C00010000" + HexOf(s256)},
      {"non-ASCII is UTF-8", "合同", false, "1406000000" + HexOf("合同")},
      {"GBK on request", "合同", true, "0604BACFCDAC"},
      {"ASCII is the same under GBK", "x", true, "060178"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Written([&](TWriter& w) { w.WriteString(c.value); }, c.gbk), c.hex);
    TMemoryStream m;
    LoadHex(m, c.hex);
    TReader r(&m);
    r.SetGbkStrings(c.gbk);
    EXPECT_EQ(r.ReadString(), c.value);
  }
  // A long GBK string keeps its GBK bytes under the long-string tag.
  String longChinese;
  for (int i = 0; i < 200; ++i) longChinese += "合";
  String hex = Written([&](TWriter& w) { w.WriteString(longChinese); }, true);
  EXPECT_EQ(hex.substr(0, 10), "0C90010000");  // 400 bytes
  EXPECT_EQ(hex.substr(10, 4), "BACF");
}

TEST(BinaryValues, OtherValueKindsByteForByte) {
  struct Case { const char* name; std::function<void(TWriter&)> write; const char* hex; };
  const Case cases[] = {
      {"extended 1", [](TWriter& w) { w.WriteFloat(1.0); }, "050000000000000080FF3F"},
      {"extended 0.1 from a double", [](TWriter& w) { w.WriteFloat(0.1); }, "0500D0CCCCCCCCCCCCFB3F"},
      {"extended -2.5", [](TWriter& w) { w.WriteFloat(-2.5); }, "0500000000000000A000C0"},
      {"extended 0", [](TWriter& w) { w.WriteFloat(0.0); }, "0500000000000000000000"},
      {"single 1.5", [](TWriter& w) { w.WriteSingle(1.5f); }, "0F0000C03F"},
      {"currency 1.5", [](TWriter& w) { w.WriteCurrency(Currency::FromRaw(15000)); }, "10983A000000000000"},
      {"date 1.0", [](TWriter& w) { w.WriteDate(1.0); }, "11000000000000F03F"},
      {"True", [](TWriter& w) { w.WriteBoolean(true); }, "09"},
      {"False", [](TWriter& w) { w.WriteBoolean(false); }, "08"},
      {"identifier", [](TWriter& w) { w.WriteIdent("fxRed"); }, "07056678526564"},
      {"nil", [](TWriter& w) { w.WriteIdent("nil"); }, "0D"},
      {"Null", [](TWriter& w) { w.WriteIdent("NULL"); }, "00"},
      {"true as identifier", [](TWriter& w) { w.WriteIdent("true"); }, "09"},
      {"wide string", [](TWriter& w) { w.WriteWideString(WideString(u"A合")); }, "120200000041000854"},
      {"set", [](TWriter& w) { w.WriteSet(EnumInfo<TFxStyle>(), 5); }, "0B066673426F6C640B6673556E6465726C696E6500"},
      {"empty list", [](TWriter& w) { w.WriteListBegin(); w.WriteListEnd(); }, "0100"},
      {"binary", [](TWriter& w) { w.WriteBinary("\x01\xFF", 2); }, "0A0200000001FF"},
      {"char", [](TWriter& w) { w.WriteChar('x'); }, "060178"},
      {"signature", [](TWriter& w) { w.WriteSignature(); }, "54504630"},
      {"prefix with position", [](TWriter& w) { w.WritePrefix(TFilerFlags{ffInline, ffChildPos}, 3); }, "F60203"},
      {"no prefix without flags", [](TWriter& w) { w.WritePrefix(TFilerFlags{}, 3); }, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Written(c.write), c.hex);
  }
}

TEST(BinaryValues, ExtendedCodecIsExactForEveryDouble) {
  const double cases[] = {0.0, -0.0, 1.0, -1.0, 0.1, 1.0 / 3, 123456.789, 1e300, -1e-300,
                          std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                          std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(),
                          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                          45000.5, 9007199254740993.0};
  for (double d : cases) {
    SCOPED_TRACE(d);
    Byte b[10];
    ExtendedToBytes(d, b);
    double back = static_cast<double>(BytesToExtended(b));
    EXPECT_EQ(std::memcmp(&back, &d, sizeof d), 0) << back;
  }
  Byte b[10];
  ExtendedToBytes(std::numeric_limits<double>::quiet_NaN(), b);
  EXPECT_TRUE(std::isnan(BytesToExtended(b)));
  // The smallest double is a normal 80-bit number: exponent 16383 - 1074, integer bit set.
  ExtendedToBytes(std::numeric_limits<double>::denorm_min(), b);
  EXPECT_EQ(b[7], 0x80);
  EXPECT_EQ(b[8] | (b[9] << 8), 16383 - 1074);
  // Values beyond a double keep their 64-bit mantissa on the way through.
  Extended third = 1.0L / 3;
  ExtendedToBytes(third, b);
  if (std::numeric_limits<Extended>::digits >= 64) {
    EXPECT_EQ(BytesToExtended(b), third);
  }
}

TEST(BinaryValues, DefinedPropertiesOfANewReportMatchTheFileFormat) {
  struct Case { const char* name; int left, top; const char* hex; };
  const Case cases[] = {
      {"no position", 0, 0, "0844617461736574730100095661726961626C65730100055374796C650100"},
      {"left only", 100, 0, "044C65667402640844617461736574730100095661726961626C65730100055374796C650100"},
      {"both halves", 1000, -5, "044C65667403E80303546F7002FB0844617461736574730100095661726961626C65730100055374796C650100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFxPropData report;
    report.Left = c.left;
    report.Top = c.top;
    TMemoryStream m;
    TWriter w(&m);
    w.WriteProperties(&report);
    EXPECT_EQ(Hex(m), c.hex);

    // Read back record by record until the data ends, as the report file reader does.
    TFxPropData copy;
    copy.Datasets = {"stale"};
    m.SetPosition(0);
    TReader r(&m);
    while (r.Position() < m.Size()) r.ReadProperty(&copy);
    EXPECT_EQ(copy.Left, c.left);
    EXPECT_EQ(copy.Top, c.top);
    EXPECT_TRUE(copy.Datasets.empty());
  }
}

TEST(BinaryValues, VariantsRoundTrip) {
  const Variant cases[] = {Variant(), Null(), Variant(7), Variant(Int64(1) << 40), Variant(2.25),
                           Variant("abc"), Variant("合同"), Variant(true), Variant(Currency::FromRaw(12345)),
                           Variant::FromDate(45000.25), Variant(1.5f), VarArrayOf({Variant(1), Variant("x")})};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Variant& v = cases[i];
    SCOPED_TRACE(i);
    TMemoryStream m;
    TWriter w(&m);
    w.WriteVariant(v);
    m.SetPosition(0);
    TReader r(&m);
    Variant back = r.ReadVariant();
    EXPECT_EQ(r.Position(), m.Size());
    if (VarIsArray(v)) {
      ASSERT_TRUE(VarIsArray(back));
      EXPECT_EQ(VarArrayHighBound(back, 1), 1);
      EXPECT_EQ(VarToStr(back.GetElement({1})), "x");
      continue;
    }
    EXPECT_EQ(VarType(back), VarType(v));
    EXPECT_TRUE(VarSameValue(back, v));
  }
}

TEST(BinaryValues, SkipValuePassesOverEveryKind) {
  const std::function<void(TWriter&)> values[] = {
      [](TWriter& w) { w.WriteInteger(5); },
      [](TWriter& w) { w.WriteInteger(Int64(1) << 50); },
      [](TWriter& w) { w.WriteFloat(2.5); },
      [](TWriter& w) { w.WriteSingle(2.5f); },
      [](TWriter& w) { w.WriteCurrency(Currency(3)); },
      [](TWriter& w) { w.WriteDate(3.5); },
      [](TWriter& w) { w.WriteString(String(300, 'x')); },
      [](TWriter& w) { w.WriteString("合同"); },
      [](TWriter& w) { w.WriteWideString(String("宽")); },
      [](TWriter& w) { w.WriteIdent("Something"); },
      [](TWriter& w) { w.WriteIdent("nil"); },
      [](TWriter& w) { w.WriteBoolean(true); },
      [](TWriter& w) { w.WriteSet(EnumInfo<TFxStyle>(), 7); },
      [](TWriter& w) { w.WriteBinary("abc", 3); },
      [](TWriter& w) { w.WriteListBegin(); w.WriteInteger(1); w.WriteListBegin(); w.WriteListEnd(); w.WriteListEnd(); },
      [](TWriter& w) {
        TFxEdit e(nullptr);
        e.Columns()->Add();
        static_cast<TFxItem*>(e.Columns()->Add())->SetTitle("t");
        w.WriteCollection(e.Columns());
      },
  };
  for (std::size_t i = 0; i < std::size(values); ++i) {
    SCOPED_TRACE(i);
    TMemoryStream m;
    TWriter w(&m);
    values[i](w);
    w.WriteInteger(4242);
    m.SetPosition(0);
    TReader r(&m);
    r.SkipValue();
    EXPECT_EQ(r.ReadInteger(), 4242);
  }
}

TEST(BinaryValues, WrongKindsAndDamageAreReadErrors) {
  struct Case { const char* name; const char* hex; std::function<void(TReader&)> read; const char* text; };
  const Case cases[] = {
      {"string for an integer", "060178", [](TReader& r) { r.ReadInteger(); }, "a string where an integer is expected"},
      {"integer for a string", "0201", [](TReader& r) { r.ReadString(); }, "an integer where a string is expected"},
      {"int64 beyond Integer", "130000008000000000", [](TReader& r) { r.ReadInteger(); }, "out of range"},
      {"unknown value type", "3F", [](TReader& r) { r.ReadValue(); }, "unknown value type 63"},
      {"bad signature", "54504631", [](TReader& r) { r.ReadSignature(); }, "Invalid stream format"},
      {"string past the end", "0C10000000414243", [](TReader& r) { r.ReadString(); }, "Stream read error"},
      {"short integer", "04E803", [](TReader& r) { r.ReadInteger(); }, "Stream read error"},
      {"two characters for one", "06026162", [](TReader& r) { r.ReadChar(); }, "Invalid character value 'ab'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream m;
    LoadHex(m, c.hex);
    TReader r(&m);
    try {
      c.read(r);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_NE(e.Message().find(c.text), String::npos) << e.Message();
    }
  }
}

TEST(ComponentRecords, RootRecordByteForByte) {
  TFxTimer timer(nullptr);
  timer.SetName("Timer1");
  timer.SetInterval(500);
  timer.SetTag(-1);
  TMemoryStream m;
  WriteComponentToBinary(&timer, &m);
  // TPF0, class, name, Tag (base class first), Interval, end of properties, end of children.
  EXPECT_EQ(Hex(m), "54504630" "0854467854696D6572" "0654696D657231" "03546167" "02FF"
                    "08496E74657276616C" "03F401" "00" "00");
  m.SetPosition(0);
  auto* back = dynamic_cast<TFxTimer*>(ReadComponentFromBinary(nullptr, &m));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Name(), "Timer1");
  EXPECT_EQ(back->Interval(), 500);
  EXPECT_EQ(back->Tag(), -1);
  delete back;
}

TEST(ComponentRecords, BinaryRoundTripRebuildsTheTree) {
  RegisterFxColors();
  std::unique_ptr<TFxForm> f(BuildFxForm());
  TMemoryStream first;
  WriteComponentToBinary(f.get(), &first);
  first.SetPosition(0);
  std::unique_ptr<TFxForm> g(dynamic_cast<TFxForm*>(ReadComponentFromBinary(nullptr, &first)));
  ASSERT_TRUE(g);
  ASSERT_TRUE(g->Edit1 && g->Panel1 && g->Timer1);
  TFxEdit* e = g->Edit1;
  EXPECT_EQ(g->Caption(), "合同管理");
  EXPECT_EQ(e->ParentComponent(), g->Panel1);
  EXPECT_EQ(e->Big(), Int64(1) << 40);
  EXPECT_EQ(e->Ratio(), 0.1);
  EXPECT_EQ(e->Scale(), 1.5f);
  EXPECT_EQ(e->Stamp(), 45000.5);
  EXPECT_EQ(e->Accel(), 'x');
  EXPECT_TRUE(e->Options().Empty());
  EXPECT_EQ(e->Font()->Style(), (TFxStyles{fsBold, fsItalic}));
  EXPECT_EQ(e->Lines()->Text(), "a\r\n\r\n合同\r\n");
  ASSERT_EQ(e->Columns()->Count(), 2);
  EXPECT_EQ(e->Columns()->Item(0)->Title(), "Code");
  EXPECT_FALSE(e->Columns()->Item(1)->Visible());
  EXPECT_EQ(e->Picture, (TBytes{1, 2, 0xFF}));
  EXPECT_EQ(e->Extra, (std::vector<int>{1, 1000, -70000}));
  EXPECT_EQ(e->Buddy(), g->FindComponent("Edit2"));
  int v = 1;
  e->OnChange(e, v);
  EXPECT_EQ(v, 101);
  EXPECT_EQ(e->OnChange.Target(), g.get());

  // Writing the copy gives the same bytes.
  TMemoryStream second;
  WriteComponentToBinary(g.get(), &second);
  EXPECT_EQ(Hex(second), Hex(first));
}

TEST(ComponentRecords, EveryTruncationFailsCleanly) {
  RegisterFxColors();
  std::unique_ptr<TFxForm> f(BuildFxForm());
  TMemoryStream full;
  WriteComponentToBinary(f.get(), &full);
  const int live = FxLive();
  for (Int64 n = 0; n < full.Size(); ++n) {
    SCOPED_TRACE(n);
    TMemoryStream cut;
    cut.WriteBuffer(full.Memory(), n);
    cut.SetPosition(0);
    EXPECT_THROW(ReadComponentFromBinary(nullptr, &cut), EFilerError);
    EXPECT_EQ(FxLive(), live);

    // Into a root the caller owns: the root survives, empty and no longer loading.
    TFxForm root(nullptr);
    cut.SetPosition(0);
    EXPECT_THROW(ReadComponentFromBinary(&root, &cut), EFilerError);
    EXPECT_EQ(root.ComponentCount(), 0);
    EXPECT_EQ(root.Edit1, nullptr);
    EXPECT_EQ(root.Panel1, nullptr);
    EXPECT_FALSE(root.ComponentState().Contains(csLoading));
  }
  EXPECT_EQ(FxLive(), live);
}

TEST(ComponentRecords, DamagedBytesNeverCrashOrLeak) {
  RegisterFxColors();
  std::unique_ptr<TFxForm> f(BuildFxForm());
  TMemoryStream full;
  WriteComponentToBinary(f.get(), &full);
  const int live = FxLive();
  int failures = 0;
  for (Int64 i = 0; i < full.Size(); ++i) {
    for (Byte b : {Byte(0x00), Byte(0x01), Byte(0x0E), Byte(0x7F), Byte(0xF3), Byte(0xFF)}) {
      TMemoryStream bad;
      bad.WriteBuffer(full.Memory(), full.Size());
      static_cast<Byte*>(bad.Memory())[i] = b;
      bad.SetPosition(0);
      try {
        delete ReadComponentFromBinary(nullptr, &bad);
      } catch (const EFilerError&) {
        ++failures;
      }
      ASSERT_EQ(FxLive(), live) << "byte " << i << " set to " << int(b);
      bad.SetPosition(0);
      TMemoryStream text;
      try {
        ObjectBinaryToText(&bad, &text);
      } catch (const EFilerError&) {
      }
    }
  }
  EXPECT_GT(failures, 0);
}

TEST(ComponentRecords, ReaderEventsCanSteerTheRead) {
  RegisterFxColors();
  std::unique_ptr<TFxForm> f(BuildFxForm());
  TMemoryStream m;
  WriteComponentToBinary(f.get(), &m);

  // The timer's class is withheld, names get a prefix and references follow the rename.
  m.SetPosition(0);
  TReader r(&m);
  std::vector<String> errors;
  r.OnFindComponentClass = [](TReader*, const String& name, TClass& cls) {
    if (name == "TFxTimer") cls = nullptr;
  };
  r.OnSetName = [](TReader*, TComponent*, String& name) { name = "X" + name; };
  r.OnReferenceName = [](TReader*, String& name) { name = "X" + name; };
  r.OnError = [&](TReader*, const String& msg, bool& handled) {
    errors.push_back(msg);
    handled = true;
  };
  std::unique_ptr<TComponent> g(r.ReadRootComponent(nullptr));
  ASSERT_TRUE(g);
  EXPECT_EQ(g->Name(), "XFxMain");
  ASSERT_EQ(errors.size(), 1u);  // the timer's class was withheld: the record is skipped
  EXPECT_NE(errors[0].find("Class TFxTimer not found"), String::npos) << errors[0];
  auto* e1 = dynamic_cast<TFxEdit*>(g->FindComponent("XEdit1"));
  ASSERT_NE(e1, nullptr);
  EXPECT_EQ(e1->Buddy(), g->FindComponent("XEdit2"));
  EXPECT_EQ(g->FindComponent("XTimer1"), nullptr);
  EXPECT_EQ(static_cast<TFxForm*>(g.get())->Edit1, nullptr);  // the field is named Edit1, not XEdit1
}

TEST(ComponentRecords, GbkReaderOptionDecodesAnsiStrings) {
  TMemoryStream m;
  TWriter w(&m);
  w.SetGbkStrings(true);
  w.WriteString("合同");
  w.WriteString(String(300, 'a') + "合");
  m.SetPosition(0);
  TReader r(&m);
  r.SetGbkStrings(true);
  EXPECT_EQ(r.ReadString(), "合同");
  EXPECT_EQ(r.ReadString(), String(300, 'a') + "合");
}

// ================================================================ WideString properties

// A component whose texts are held as UTF-16, as a wide-string property of a stored form is.
class TFxNote : public TComponent {
  KELM_CLASS(TFxNote, TComponent)
public:
  using TComponent::TComponent;
  const WideString& Text() const { return FText; }
  void SetText(const WideString& v) { FText = v; }
  const WideString& Hint() const { return FHint; }
  void SetHint(const WideString& v) { FHint = v; }

private:
  WideString FText;
  WideString FHint = u"无";
};

KELM_PUBLISH(TFxNote) {
  b.Prop("Text", &TFxNote::Text, &TFxNote::SetText);
  b.Prop("Hint", &TFxNote::Hint, &TFxNote::SetHint).Default(u"无");
}

TEST(WideStringProperties, ByNameTheyReadAndTakeUtf8) {
  TFxNote n(nullptr);
  const TPropInfo* p = GetPropInfo(&n, "text");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Kind, tkWString);
  EXPECT_EQ(p->TypeName, "WideString");
  // A character outside the basic plane takes two UTF-16 units and must survive both ways.
  SetStrProp(&n, "Text", "合同 A\xF0\xA0\x80\x80");
  EXPECT_EQ(n.Text(), WideString(u"合同 A\U00020000"));
  EXPECT_EQ(GetStrProp(&n, "Text"), "合同 A\xF0\xA0\x80\x80");
  SetPropValue(&n, "Text", Variant(String("付款")));
  EXPECT_EQ(n.Text(), WideString(u"付款"));
  EXPECT_EQ(VarToStr(GetPropValue(&n, "Text")), "付款");
  // The declared default is compared in the same encoding.
  EXPECT_TRUE(GetPropInfo(&n, "Hint")->IsDefault(&n));
  n.SetHint(u"有");
  EXPECT_FALSE(GetPropInfo(&n, "Hint")->IsDefault(&n));
}

TEST(WideStringProperties, StreamAsWideStringsAndReadBack) {
  TFxNote n(nullptr);
  n.SetName("Note1");
  n.SetText(u"A合");
  TMemoryStream m;
  WriteComponentToBinary(&n, &m);
  // Hint keeps its default and is left out; Text is tag 0x12, a unit count and UTF-16LE.
  EXPECT_EQ(Hex(m), "54504630" "075446784E6F7465" "054E6F746531" "0454657874" "12020000004100" "0854" "00" "00");
  m.SetPosition(0);
  std::unique_ptr<TComponent> back(ReadComponentFromBinary(nullptr, &m));
  auto* b = dynamic_cast<TFxNote*>(back.get());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Text(), WideString(u"A合"));
  EXPECT_EQ(b->Hint(), WideString(u"无"));

  n.SetHint(u"提示");
  std::unique_ptr<TComponent> viaText(ReadComponentFromText(nullptr, WriteComponentToText(&n), "note.txt"));
  auto* t = dynamic_cast<TFxNote*>(viaText.get());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Text(), WideString(u"A合"));
  EXPECT_EQ(t->Hint(), WideString(u"提示"));
}
