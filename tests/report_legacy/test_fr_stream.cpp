// The older engine's report stream: the string and line forms, object records, the .frf
// container by version, the dictionary, the password, and streams that are not to be trusted.
#include "FrTestSupport.h"

#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/FileUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "gui/Dialogs.h"
#include "gui/GraphicsObjects.h"
#include "gui/Pictures.h"

#include <cstring>

namespace {

using frtest::TEngineTest;

// Bytes of a hand-made stream, little-endian.
struct TBytesBuilder {
  String B;
  TBytesBuilder& Byte1(int v) {
    B += static_cast<char>(v & 0xFF);
    return *this;
  }
  TBytesBuilder& Word2(int v) { return Byte1(v).Byte1(v >> 8); }
  TBytesBuilder& Int4(std::int32_t v) { return Word2(v & 0xFFFF).Word2((v >> 16) & 0xFFFF); }
  TBytesBuilder& Raw(const String& s) {
    B += s;
    return *this;
  }
  // Texts go in as the stream holds them: GBK.
  TBytesBuilder& Z(const String& s) { return Raw(frstream::ToStreamText(s)).Byte1(0); }
  TBytesBuilder& Counted(const String& s) {
    const String g = frstream::ToStreamText(s);
    return Word2(static_cast<int>(g.size())).Raw(g).Byte1(0);
  }
};

String Bytes(TMemoryStream& m) { return String(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size())); }

TMemoryStream* StreamOf(const String& bytes) {
  auto* m = new TMemoryStream;
  if (!bytes.empty()) m->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
  m->SetPosition(0);
  return m;
}

class FrStreamForms : public TEngineTest {};

TEST_F(FrStreamForms, CountedLinesAndStringsHaveTheirLayout) {
  TMemoryStream m;
  TStringList lines;
  frstream::WriteCountedLines(&m, &lines);
  EXPECT_EQ(Bytes(m), String("\0\0\0", 3));
  m.Clear();
  lines.Add("ab");
  lines.Add("");
  lines.Add("c");
  frstream::WriteCountedLines(&m, &lines);
  EXPECT_EQ(Bytes(m), String("\3\0\2\0ab\r\0\0\r\1\0c\0", 14));
  m.SetPosition(0);
  TStringList back;
  frstream::ReadCountedLines(&m, &back);
  EXPECT_EQ(back.Count(), 3);
  EXPECT_EQ(back[2], "c");

  // Texts are GBK in the stream; every character reads back.
  m.Clear();
  frstream::WriteCountedString(&m, "合同€");
  EXPECT_EQ(m.Size(), 2 + 6 + 1);  // two GBK characters and the euro sign in two bytes
  m.SetPosition(0);
  EXPECT_EQ(frstream::ReadCountedString(&m), "合同€");

  // The older forms: zero-terminated, lines separated by 13 (an empty one too).
  std::unique_ptr<TMemoryStream> old(StreamOf(String("a\rb\r\rc\0", 7)));
  frstream::ReadZLines(old.get(), &back);
  EXPECT_EQ(back.CommaText(), "a,b,,c");
  EXPECT_EQ(HexToStr(StrToHex("p\xFF")), "p\xFF");
  EXPECT_EQ(StrToHex("p\xFF"), "70FF");
  EXPECT_EQ(HexToStr("70ff"), "p\xFF");
}

TEST_F(FrStreamForms, FrameWidthsKeepTheirValue) {
  struct Case {
    float Width;
    std::int32_t Stored;
    float Read;
  };
  const Case cases[] = {{0.5f, 500, 0.5f}, {3, 3, 3}, {12, 12000, 12}, {0, 0, 0}, {2.25f, 2250, 2.25f},
                        {0.005f, 11, 0.011f}};
  for (const Case& c : cases) {
    TfrLineView line;
    line.FrameWidth = c.Width;
    TMemoryStream m;
    line.WriteToStream(&m);
    std::int32_t stored;
    // Name (3 bytes), the record version (2), the rectangle (16), Flags and FrameTyp (4).
    std::memcpy(&stored, static_cast<const char*>(m.Memory()) + 25, 4);
    EXPECT_EQ(stored, c.Stored) << c.Width;
    m.SetPosition(0);
    TfrLineView back;
    back.ReadFromStream(&m);
    EXPECT_FLOAT_EQ(back.FrameWidth, c.Read) << c.Width;
  }
}

TEST_F(FrStreamForms, APictureWithoutGraphicEndsRightAfterItsEndField) {
  TfrPictureView p;
  p.BlobType = 1;
  TMemoryStream m;
  p.WriteToStream(&m);
  const String b = Bytes(m);
  ASSERT_GE(b.size(), 6u);
  EXPECT_EQ(b[b.size() - 6], 0);  // no graphic
  EXPECT_EQ(b[b.size() - 5], 1);  // the blob type
  std::int32_t end;
  std::memcpy(&end, b.data() + b.size() - 4, 4);
  EXPECT_EQ(end, static_cast<std::int32_t>(b.size()));

  // A bitmap goes out as one and comes back.
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(3, 2);
  p.Picture->SetGraphic(bmp.get());
  m.Clear();
  p.WriteToStream(&m);
  m.SetPosition(0);
  frState().StreamVersion = 25;
  TfrPictureView back;
  back.ReadFromStream(&m);
  ASSERT_NE(back.Picture->Graphic(), nullptr);
  EXPECT_EQ(back.Picture->Graphic()->Width(), 3);
  EXPECT_EQ(m.Position(), m.Size());
}

TEST_F(FrStreamForms, APreparedMemoStoresItsExpandedTextOnly) {
  TfrMemoView memo;
  memo.Memo.SetText("[Price]");
  memo.ExpandedMemo.SetText("12.50");
  memo.HighlightCondition = "Value > 1";
  memo.PreparedForm = true;
  TMemoryStream m;
  memo.WriteToStream(&m);
  const String b = Bytes(m);
  EXPECT_NE(b.find("12.50"), String::npos);
  EXPECT_EQ(b.find("[Price]"), String::npos);
  EXPECT_EQ(b.find("Value > 1"), String::npos);
  m.SetPosition(0);
  TfrMemoView back;
  back.PreparedForm = true;
  back.ReadFromStream(&m);
  EXPECT_EQ(back.Memo.Strings(0), "12.50");
  EXPECT_EQ(m.Position(), m.Size());
}

// ================================================================ the report stream

class FrReportStream : public TEngineTest {
protected:
  // A report with every kind of object, band types, both page types, a dictionary, the
  // information and a password.
  void Fill(TfrReport& r) {
    TfrPage* page = r.Pages()->Add();
    page->Name = "Page1";
    page->LeftMargin = 37;
    page->PageScript->SetText("begin x := 1 end");
    page->ChangePaper(256, 1500, 2000, -1, 1);
    TfrPage* dialog = r.Pages()->Add();
    dialog->Name = "Dialog";
    dialog->Type = 1;
    dialog->Caption = "选择";
    for (int t = 0; t <= 22; t += 5) {
      auto* band = new TfrBandView;
      band->Name = "Band" + IntToStr(t);
      band->SetBandType(t);
      band->FormatText = t == 5 ? "frDS_Project" : "";
      band->Master = "MasterData1";
      band->ChildBand = "Child1";
      band->Columns = 2;
      page->AddObject(band);
    }
    auto* memo = new TfrMemoView;
    memo->Name = "Memo1";
    memo->SetViewBounds(10, 20, 300, 18);
    memo->Memo.SetText("合同号: [Qry.\"Code\"]\n\n[Sum]");
    memo->EventScript.SetText("if [Sum] > 0 then Memo1.Visible := true");
    memo->Font->SetName("宋体");
    memo->Font->SetSize(12);
    StyleFromStream(memo->Font.get(), 2 | 4);
    memo->Alignment = 2 | 8;
    memo->HighlightCondition = "[Sum] < 0";
    memo->FrameWidth = 0.5f;
    memo->Tag = "tag";
    memo->GapX = 4;
    memo->BandAlign = 3;
    memo->Restrictions = 8;
    memo->FormatCode = (1 << 24) | (2 << 8) | ',';
    page->AddObject(memo);
    auto* picture = new TfrPictureView;
    picture->Name = "Picture1";
    picture->BlobType = 1;
    page->AddObject(picture);
    auto* line = new TfrLineView;
    line->Name = "Line1";
    line->FrameTyp = 8;
    page->AddObject(line);
    auto* sub = new TfrSubReportView;
    sub->Name = "SubReport1";
    sub->TargetPage = 1;
    page->AddObject(sub);
    r.Dictionary()->Variables->SetVariable("合计", Variant(""));
    r.Dictionary()->Variables->SetVariable(" Total", Variant("[Qry.\"Amount\"] * 2"));
    r.Dictionary()->FieldAliases->SetVariable("Qry", Variant("Projects"));
    r.Dictionary()->BandSourceList->SetVariable("MasterData1", Variant("Qry"));
    r.InfoName = "项目表";
    r.InfoAuthor = "kelm";
    r.InfoVersionBuild = "7";
    r.ReportPassword = "密码1";
    r.PasswordProtected = true;
    r.InfoCreateDate = 45000.5;
    r.TwoPass = 0xFFFF;
  }

  static String Save(TfrReport& r) {
    TMemoryStream m;
    r.SaveToStream(&m);
    return Bytes(m);
  }

  static void Load(TfrReport& r, const String& bytes) {
    std::unique_ptr<TMemoryStream> m(StreamOf(bytes));
    r.LoadFromStream(m.get());
  }
};

TEST_F(FrReportStream, WrittenReadAndWrittenAgainGivesTheSameBytes) {
  TfrReport first(nullptr);
  Fill(first);
  const String a = Save(first);
  EXPECT_EQ(a[0], 25);
  TfrReport second(nullptr);
  Load(second, a);
  EXPECT_TRUE(Boxes.empty());
  const String b = Save(second);
  // The last eight bytes are the time of the last change.
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(a.substr(0, a.size() - 8), b.substr(0, b.size() - 8));

  ASSERT_EQ(second.Pages()->Count(), 2);
  TfrPage* page = second.Pages()->Page(0);
  EXPECT_EQ(page->Size, 256);
  EXPECT_EQ(page->Width, 1500);  // a custom size is kept as given
  EXPECT_EQ(page->Orientation, 1);
  EXPECT_EQ(page->LeftMargin, 37);
  EXPECT_EQ(page->PageScript->Strings(0), "begin x := 1 end");
  EXPECT_EQ(second.Pages()->Page(1)->Caption, "选择");
  EXPECT_EQ(second.Pages()->Page(1)->Type, 1);
  auto* memo = dynamic_cast<TfrMemoView*>(second.FindObject("memo1"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->OwnerPage, page);
  EXPECT_EQ(memo->Memo.Count(), 3);
  EXPECT_EQ(memo->Memo.Strings(0), "合同号: [Qry.\"Code\"]");
  EXPECT_EQ(memo->Font->Name(), "宋体");
  EXPECT_EQ(StyleToStream(memo->Font.get()), 6);
  EXPECT_FLOAT_EQ(memo->FrameWidth, 0.5f);
  EXPECT_EQ(memo->BandAlign, 3);
  EXPECT_EQ(memo->RecordVersionMajor, 2);
  auto* band = dynamic_cast<TfrBandView*>(second.FindObject("Band5"));
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->BandType(), 5);
  EXPECT_EQ(band->Master, "MasterData1");
  EXPECT_EQ(band->RecordVersionMinor, 1);
  EXPECT_EQ(dynamic_cast<TfrSubReportView*>(second.FindObject("SubReport1"))->TargetPage, 1);
  EXPECT_EQ(second.Dictionary()->Variables->Count(), 2);
  EXPECT_TRUE(second.Dictionary()->IsVariable("Total"));
  EXPECT_EQ(second.InfoName, "项目表");
  EXPECT_EQ(second.ReportPassword, "密码1");  // read from memory: no question asked
  EXPECT_TRUE(second.PasswordProtected);
  EXPECT_DOUBLE_EQ(second.InfoCreateDate, 45000.5);
  EXPECT_EQ(second.TwoPass, 0xFFFF);

  // Version 24 streams have the same layout.
  TfrReport third(nullptr);
  Load(third, String(1, '\x18') + a.substr(1));
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(Save(third).substr(1, a.size() - 9), a.substr(1, a.size() - 9));
}

TEST_F(FrReportStream, AProtectedFileAsksForItsPassword) {
  TfrReport r(nullptr);
  Fill(r);
  const String file = GetTempDir() + "kelm_fr_protected.frf";
  r.SaveToFile(file);
  auto answer = [](const String& typed, int result) {
    return SetDialogHook([typed, result](TDialogRequest& q) {
      q.Value = typed;
      q.Result = result;
      return true;
    });
  };
  {
    TDialogHook old = answer("密码1", 1);
    TfrReport ok(nullptr);
    ok.LoadFromFile(file);
    EXPECT_EQ(ok.Pages()->Count(), 2);
    SetDialogHook(old);
  }
  for (auto [typed, result] : {std::pair<String, int>{"wrong", 1}, {"密码1", 0}}) {
    TDialogHook old = answer(typed, result);
    TfrReport refused(nullptr);
    refused.LoadFromFile(file);
    EXPECT_EQ(refused.Pages()->Count(), 1);
    EXPECT_EQ(refused.Pages()->Page(0)->ObjectCount(), 0);
    EXPECT_TRUE(refused.InfoName.empty());
    EXPECT_FALSE(refused.PasswordProtected);
    SetDialogHook(old);
  }
  DeleteFile(file);
}

// The bytes of one memo record in an older stream (no name, no record version).
TBytesBuilder& OldMemo(TBytesBuilder& b, int version, const String& text) {
  if (version == 23) b.Counted("Text1");  // names from version 23 in design form
  b.Int4(8).Int4(16).Int4(100).Int4(20).Word2(1).Word2(15).Int4(2).Int4(0).Word2(1).Int4(0x1FFFFFFF);
  b.Int4(0x20000 | '.');  // FormatCode
  if (version >= 23) {
    b.Counted("");  // FormatText
    b.Word2(1).Counted(text);  // one line: length, bytes, then 0 ends the list
    b.Word2(1).Word2(7).Raw("x := 1;").Byte1(0);  // the event script
    b.Word2(0);  // Visible: off
    b.Counted("Arial");
  } else {
    b.Z("");
    b.Z(text);
    b.Z("Arial");
  }
  b.Int4(9).Word2(2).Int4(0xFF).Int4(1).Word2(134);
  b.Word2(2).Int4(0).Int4(0xFFFFFF);
  if (version >= 23) b.Counted("");
  else b.Z("");
  return b;
}

TEST_F(FrReportStream, OlderVersionsReadWhatTheyHold) {
  for (int version : {21, 22, 23}) {
    TBytesBuilder b;
    if (version > 21) b.Byte1(version);  // version 21 streams start with the page section
    b.Word2(0).Word2(0).Counted("\x01");
    b.Byte1(255).Int4(-1).Int4(9).Int4(0).Int4(0).Int4(0).Int4(0).Int4(0).Int4(0).Byte1(0);
    if (version < 23) b.Raw(String(6, '\x7F'));
    b.Word2(0).Word2(0xFFFF).Int4(1).Int4(0);
    for (int i = 0; i < 2; ++i) {
      b.Byte1(0).Byte1(0);
      OldMemo(b, version, "行" + IntToStr(i));
    }
    b.Byte1(252);
    TfrReport r(nullptr);
    Load(r, b.B);
    ASSERT_TRUE(Boxes.empty()) << version << ": " << Boxes[0].Text;
    ASSERT_EQ(r.Pages()->Count(), 1) << version;
    TfrPage* page = r.Pages()->Page(0);
    EXPECT_EQ(page->Name, "Page1");
    EXPECT_EQ(page->PaperBin, 0xFFFF);  // the default source
    EXPECT_EQ(page->Width, 2100);
    ASSERT_EQ(page->ObjectCount(), 2) << version;
    auto* memo = dynamic_cast<TfrMemoView*>(page->Object(1));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Memo.Strings(0), "行1");
    EXPECT_EQ(memo->Left, 8);
    EXPECT_EQ(memo->Height, 20);
    EXPECT_FLOAT_EQ(memo->FrameWidth, 2);
    EXPECT_EQ(memo->Font->Size(), 9);
    EXPECT_EQ(memo->Tag, "");
    EXPECT_EQ(memo->GapX, 2);
    EXPECT_EQ(memo->BandAlign, 0);
    EXPECT_EQ(memo->LineSpacing, 2);
    if (version < 23) {
      EXPECT_EQ(memo->Name, "Memo2");
      EXPECT_EQ(memo->EventScript.Count(), 0);
      EXPECT_TRUE(memo->IsVisible());
      EXPECT_EQ(memo->Font->Charset(), 1);  // the default, whatever the stream said
    } else {
      EXPECT_EQ(memo->Name, "Text1");
      EXPECT_EQ(memo->EventScript.Strings(0), "x := 1;");
      EXPECT_FALSE(memo->IsVisible());
      EXPECT_EQ(memo->Font->Charset(), 134);
    }
    // Text objects of version 21 also wrap their words.
    EXPECT_EQ(memo->Flags, version == 21 ? 3 : 1) << version;
  }
}

TEST_F(FrReportStream, UnreadableStreamsLeaveOneEmptyPageAndSaySo) {
  TfrReport good(nullptr);
  Fill(good);
  const String valid = Save(good);
  struct Case {
    const char* What;
    String Bytes;
  };
  TBytesBuilder header;
  header.Byte1(25).Word2(0).Word2(0).Counted("\x01");
  TBytesBuilder pageRecord = header;
  pageRecord.Byte1(255).Int4(-1).Int4(9).Int4(0).Int4(0).Int4(0).Int4(0).Int4(0).Int4(0).Byte1(0).Int4(-1);
  pageRecord.Word2(0).Word2(0).Int4(1).Int4(0).Byte1(0).Counted("P").Byte1(0).Counted("").Int4(0);
  pageRecord.Int4(0).Int4(0).Int4(0).Int4(0).Byte1(0).Word2(0).Byte1(0);
  const Case cases[] = {
      {"a newer version", String("\x1A", 1) + valid.substr(1)},
      {"an unknown tag", TBytesBuilder(header).Byte1(100).B},
      {"an object type without class", TBytesBuilder(pageRecord).Byte1(7).Byte1(0).Int4(0).B},
      {"an object of a missing page", TBytesBuilder(pageRecord).Byte1(0).Byte1(9).Int4(0).B},
      {"a text longer than the stream", TBytesBuilder().Byte1(25).Word2(0).Word2(0).Word2(0xFFFF).Raw("0123456789").B},
      {"an end position beyond the stream", TBytesBuilder(pageRecord).Byte1(0).Byte1(0).Int4(1 << 30).B},
      {"a huge dictionary count", TBytesBuilder(header).Byte1(254).Word2(0xFFFE).Int4(0x7FFFFFFF).B},
  };
  for (const Case& c : cases) {
    Boxes.clear();
    TfrReport r(nullptr);
    Fill(r);
    Load(r, c.Bytes);
    ASSERT_EQ(Boxes.size(), 1u) << c.What;
    EXPECT_EQ(Boxes[0].Text, "不支持的FRF格式") << c.What;
    EXPECT_EQ(Boxes[0].Caption, "错误");
    ASSERT_EQ(r.Pages()->Count(), 1) << c.What;
    EXPECT_EQ(r.Pages()->Page(0)->ObjectCount(), 0) << c.What;
    EXPECT_EQ(r.Dictionary()->Variables->Count(), 0) << c.What;
  }
}

TEST_F(FrReportStream, AStreamCutAnywhereNeverCrashes) {
  TfrReport good(nullptr);
  Fill(good);
  String valid = Save(good);
  for (std::size_t n = 1; n < valid.size(); ++n) {
    Boxes.clear();
    TfrReport r(nullptr);
    Load(r, valid.substr(0, n));
    EXPECT_GE(r.Pages()->Count(), 1) << n;
    // A cut inside the information or a record is refused; a cut between records leaves
    // the records before it.
    if (!Boxes.empty()) EXPECT_EQ(r.Pages()->Page(0)->ObjectCount(), 0) << n;
  }
}

TEST_F(FrReportStream, UnknownClassesAreListedAndTheRestIsRead) {
  TfrReport r(nullptr);
  TfrPage* page = r.Pages()->Add();
  auto* memo = new TfrMemoView;
  memo->Name = "After";
  ClearAddInObjects();
  RegisterAddInObject("TfrOleView", [] { return new TfrControl; }, nullptr, "");
  RegisterAddInObject("TfrChartView", [] { return new TfrControl; }, nullptr, "");
  for (const char* cls : {"TfrOleView", "TfrChartView"}) {
    std::unique_ptr<TfrView> v(CreateViewByType(10, cls));
    v->Name = String(cls).substr(3);
    page->AddObject(v.release());
  }
  page->AddObject(memo);
  const String bytes = Save(r);
  ClearAddInObjects();
  TfrReport back(nullptr);
  Load(back, bytes);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text,
            "Report contains the following non-plugged components:\rTfrOleView\rTfrChartView\r"
            "You must include these components into your project.");
  ASSERT_EQ(back.Pages()->Count(), 1);
  EXPECT_NE(back.FindObject("After"), nullptr);
  EXPECT_FALSE(frState().ErrorFlag);
}

TEST_F(FrReportStream, AnEmptyStreamChangesNothing) {
  TfrReport r(nullptr);
  Fill(r);
  Load(r, "");
  EXPECT_EQ(r.Pages()->Count(), 2);
  EXPECT_TRUE(Boxes.empty());
}

// ================================================================ the dictionary

class FrDictionary : public TEngineTest {};

TEST_F(FrDictionary, TheOldestFormBecomesVariablesWithValues) {
  TBytesBuilder b;
  b.Int4(3);
  // kind 1: a field of a data set; kind 2 number 1: a value; kind 2 number 3: special 1 (TIME).
  b.Byte1(1).Int4(0).Byte1(3).Raw("Qry").Byte1(4).Raw("Code").Byte1(4).Raw("Code");
  b.Byte1(2).Int4(1).Byte1(0).Byte1(2).Raw("42").Byte1(3).Raw("Num");
  b.Byte1(2).Int4(3).Byte1(0).Byte1(0).Byte1(3).Raw("Now");
  b.Z("Fields\r Code\r Num\r Now");
  std::unique_ptr<TMemoryStream> m(StreamOf(b.B));
  frState().StreamVersion = 22;
  TfrDataDictionary d;
  d.LoadFromStream(m.get());
  TfrVariables& v = *d.Variables;
  ASSERT_EQ(v.Count(), 4);
  // The first name had no blank, so every name's blank is toggled.
  EXPECT_EQ(VarToStr(v.Variable("Code")), "Qry.\"Code\"");
  EXPECT_EQ(VarToStr(v.Variable("Num")), "42");
  EXPECT_EQ(VarToStr(v.Variable("Now")), "TIME");
  EXPECT_EQ(v.IndexOf(" Fields"), 0);
  EXPECT_EQ(d.FieldAliases->Count(), 0);
  EXPECT_EQ(m->Position(), m->Size());
}

TEST_F(FrDictionary, TheMinusOneFormDropsDeadAliasesAndEmptySources) {
  TBytesBuilder b;
  b.Word2(0xFFFF);
  b.Int4(1).Counted(" V").Counted("1+1");
  b.Int4(2).Counted("Gone").Counted("NoSuchSet.\"X\"").Counted("Blank").Counted("");
  b.Int4(2).Counted("Band1").Counted("").Counted("Band2").Counted("Qry");
  std::unique_ptr<TMemoryStream> m(StreamOf(b.B));
  TfrDataDictionary d;
  d.LoadFromStream(m.get());
  EXPECT_EQ(d.Variables->Count(), 1);
  EXPECT_EQ(d.FieldAliases->Count(), 1);
  EXPECT_EQ(d.FieldAliases->Name(0), "Blank");
  EXPECT_EQ(d.BandSourceList->Count(), 1);
  EXPECT_EQ(d.BandSourceList->Name(0), "Band2");
}

}  // namespace
