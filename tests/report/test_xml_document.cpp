// The report library's element tree: reading tags, attribute values, escaping, writing,
// partial loading and swapping subtrees to a file.
#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "core/Streams.h"
#include "core/Variant.h"
#include "TempFolder.h"
#include "report/frxXML.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const String kHeader = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

// A document read from text; the stream stays the caller's unless partially loaded.
std::unique_ptr<TfrxXMLDocument> Read(const String& Text, bool Partial = false) {
  auto doc = std::make_unique<TfrxXMLDocument>();
  auto* stream = new TStringStream(Text);
  std::unique_ptr<TStringStream> owned(Partial ? nullptr : stream);
  doc->ReadFromStream(stream, Partial);
  return doc;
}

String Write(TfrxXMLDocument& Doc) {
  TStringStream out;
  Doc.WriteToStream(&out);
  return out.DataString();
}

// The tree as "name[text](children)" for comparing shapes.
String Shape(const TfrxXMLItem* Item) {
  String s = Item->Name() + "[" + Item->Text() + "]";
  if (Item->ChildCount() == 0) return s;
  s += "(";
  for (int i = 0; i < Item->ChildCount(); ++i) s += (i ? "," : "") + Shape(Item->ChildAt(i));
  return s + ")";
}

void ExpectInvalid(const String& Text) {
  try {
    Read(Text);
    ADD_FAILURE() << "read: " << Text.substr(0, 80);
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid file format") << Text.substr(0, 80);
  }
}

// ---------------------------------------------------------------- reading tags

TEST(ReportXml, TagsCommentsAndTextBetweenTags) {
  struct Case { String body; String shape; };
  const Case cases[] = {
      {"<r><a/><a x=\"1\"/><a x=\"1\" /></r>", "r[](a[],a[x=\"1\"],a[x=\"1\" ])"},
      {"<r>text <!-- < > --> more<a/></r>", "r[](a[])"},
      {"<r><!--> <b/> --><a/></r>", "r[](a[])"},               // <!--> does not end the comment
      {"<r><!-- x ---> <b/> --><a/></r>", "r[](a[])"},         // nor does --->
      {"<r><a\tx=\"1\"/></r>", "r[](a\tx=\"1\"[])"},             // only a blank splits the name
      {"<r><a y=\"2\" ></a></r>", "r[](a[y=\"2\"])"},            // one trailing blank dropped
      {"<R><A></a></r>", "R[](A[])"},                           // closing tags ignore case
  };
  for (const Case& c : cases) {
    auto doc = Read(kHeader + c.body);
    EXPECT_EQ(Shape(doc->Root()), c.shape) << c.body;
  }
}

TEST(ReportXml, BadStreamsRaiseInvalidFileFormat) {
  ExpectInvalid("<r/>");                                       // no header
  ExpectInvalid(kHeader + "<r><a <b/></r>");                   // '<' inside a tag
  ExpectInvalid(kHeader + "<r><a x=\"1\"");                    // ends inside a tag
  ExpectInvalid(kHeader + "<r><a></b></r>");                   // wrong closing tag
  String deep;
  for (int i = 0; i < 100000; ++i) deep += "<e>";
  ExpectInvalid(kHeader + deep);                               // no stack exhaustion
}

TEST(ReportXml, AStreamEndingInsideOpenElementsLoadsAndABomIsSkipped) {
  auto doc = Read("\xEF\xBB\xBF" + kHeader + "<r><a><b x=\"1\"/>");
  EXPECT_EQ(Shape(doc->Root()), "r[](a[](b[x=\"1\"]))");
}

TEST(ReportXml, ReadingLeavesTheStreamAfterTheLastByteConsumed) {
  String text = kHeader + "<r><a/></r>" + String(10000, ' ') + "tail";
  TStringStream stream(text);
  TfrxXMLDocument doc;
  doc.ReadFromStream(&stream, false);
  EXPECT_EQ(stream.Position(), static_cast<Int64>(kHeader.size() + 11));
}

// ---------------------------------------------------------------- items

TEST(ReportXml, ChildrenAdoptInsertAndFindByName) {
  TfrxXMLItem root;
  TfrxXMLItem* a = root.AddChild();
  a->SetName("a");
  TfrxXMLItem* b = root.ChildByName("B");
  EXPECT_EQ(root.ChildCount(), 2);
  EXPECT_EQ(root.ChildByName("b"), b);
  EXPECT_EQ(root.IndexOfChildName("A"), 0);
  root.AdoptChild(a);  // its own child moves to the end
  EXPECT_EQ(root.IndexOfChild(a), 1);
  TfrxXMLItem other;
  other.AdoptChild(b);
  EXPECT_EQ(root.ChildCount(), 1);
  EXPECT_EQ(b->Parent(), &other);
  root.InsertChild(0, b);
  EXPECT_EQ(root.ChildAt(0), b);
  EXPECT_EQ(other.ChildCount(), 0);
  EXPECT_THROW(root.ChildAt(2), EListError);
  delete a;  // leaves its parent's list
  EXPECT_EQ(root.ChildCount(), 1);
  root.SetOffset(MaxXMLOffset);
  EXPECT_EQ(root.Offset(), MaxXMLOffset);
}

TEST(ReportXml, AttributeValuesAreFoundAndSetIgnoringCase) {
  struct Get { String text, name, value; };
  const Get gets[] = {
      {"Name=\"a&#34;b\" x=\"1\"", "name", "a\"b"},
      {"xname=\"1\"", "name", ""},
      {"a=\"1\" name=\"2\"", "NAME", "2"},
      {"Name=\"open", "Name", ""},
      {"Name=\"&#20013;&amp;\"", "Name", "中&"},
  };
  for (const Get& g : gets) {
    TfrxXMLItem item;
    item.SetText(g.text);
    EXPECT_EQ(item.AttrValue(g.name), g.value) << g.text;
  }
  struct Set { String text, name, value, result; };
  const Set sets[] = {
      {"Top=\"1\" left=\"2\" Width=\"3\"", "Left", "5", "Top=\"1\" Left=\"5\" Width=\"3\""},
      {"", "Left", "5", "Left=\"5\""},
      {"Top=\"1\"", "Left", "a<b", "Top=\"1\" Left=\"a&#60;b\""},
      {"Top=\"1\" ", "Left", "5", "Top=\"1\" Left=\"5\""},
  };
  for (const Set& s : sets) {
    TfrxXMLItem item;
    item.SetText(s.text);
    item.SetAttrValue(s.name, s.value);
    EXPECT_EQ(item.Text(), s.result) << s.text;
  }
}

TEST(ReportXml, EscapingSurvivesSaveAndLoad) {
  EXPECT_EQ(XMLEscapeText("a<b & \"c\""), "a&#60;b &#38; &#34;c&#34;");
  EXPECT_EQ(XMLEscapeText("x\r\ny>"), "x&#13;&#10;y&#62;");
  struct Case { String in, out; };
  const Case unescapes[] = {
      {"&#20013;", "中"}, {"&#x4E2D;", "中"}, {"&#65;", "A"}, {"&amp;&lt;&gt;&apos;&quot;", "&<>'\""},
      {"&#65", "&#65"}, {"a&", "a&"}, {"&bogus;", "&bogus;"}, {"&#0;", "\xEF\xBF\xBD"},
  };
  for (const Case& c : unescapes) EXPECT_EQ(XMLUnescapeText(c.in), c.out) << c.in;
  EXPECT_THROW(XMLUnescapeText("&#ab;"), EConvertError);
  for (String literal : {"&#65;", "&quot;", "a&amp;b", "line\r\nbreak <tag>"}) {
    TfrxXMLDocument doc;
    doc.Root()->SetName("r");
    doc.Root()->SetAttrValue("v", literal);
    auto back = Read(Write(doc));
    EXPECT_EQ(back->Root()->AttrValue("v"), literal);
  }
}

TEST(ReportXml, VariantsAsAttributeText) {
  EXPECT_EQ(VariantToXMLText(Variant(42)), "42");
  EXPECT_EQ(VariantToXMLText(Variant(short(-3))), "-3");
  EXPECT_EQ(VariantToXMLText(Variant(2.5)), "2.5");
  EXPECT_EQ(VariantToXMLText(Variant(true)), "1");
  EXPECT_EQ(VariantToXMLText(Variant(false)), "0");
  EXPECT_EQ(VariantToXMLText(Variant("a\"b")), "a&#34;b");
  EXPECT_EQ(VariantToXMLText(Variant::FromDate(45000.75)), "2023-03-15");
  EXPECT_EQ(VariantToXMLText(Variant()), "");
  EXPECT_EQ(VariantToXMLText(Variant(Int64(5))), "");
}

// ---------------------------------------------------------------- writing

TEST(ReportXml, WritingWithAndWithoutIndent) {
  TfrxXMLDocument doc;
  doc.Root()->SetName("r");
  TfrxXMLItem* a = doc.Root()->AddChild();
  a->SetName("a");
  a->SetText("x=\"1\"");
  a->AddChild()->SetName("b");
  EXPECT_EQ(Write(doc), kHeader + "<r><a x=\"1\"><b/></a></r>");
  doc.SetAutoIndent(true);
  EXPECT_EQ(Write(doc), kHeader + "\r\n<r>\r\n  <a x=\"1\">\r\n    <b/>\r\n  </a>\r\n</r>\r\n");
}

// A document with page0 (unloadable, empty text) and page1 (unloadable, text a="1").
std::unique_ptr<TfrxXMLDocument> Pages() {
  auto doc = std::make_unique<TfrxXMLDocument>();
  doc->Root()->SetName("pages");
  for (int p = 0; p < 2; ++p) {
    TfrxXMLItem* page = doc->Root()->AddChild();
    page->SetName("page" + std::to_string(p));
    page->SetUnloadable(true);
    if (p == 1) page->SetText("a=\"1\" ");
    for (int c = 0; c < 2; ++c) page->AddChild()->SetName("m" + std::to_string(c));
  }
  return doc;
}

TEST(ReportXml, UnloadableElementsAndPartialLoading) {
  auto doc = Pages();
  String text = Write(*doc);
  EXPECT_NE(text.find("<page0 ld=\"0\">"), String::npos);
  EXPECT_NE(text.find("<page1 a=\"1\" ld=\"0\">"), String::npos);

  auto whole = Read(text);
  EXPECT_EQ(Shape(whole->Root()), "pages[](page0[ld=\"0\"](m0[],m1[]),page1[a=\"1\"](m0[],m1[]))");

  auto partial = Read(text, true);
  TfrxXMLItem* p0 = partial->Root()->ChildAt(0);
  TfrxXMLItem* p1 = partial->Root()->ChildAt(1);
  EXPECT_EQ(p0->ChildCount(), 2);  // the marker without a blank is not recognised
  EXPECT_EQ(p1->ChildCount(), 0);
  EXPECT_EQ(p1->Text(), "a=\"1\"");
  EXPECT_FALSE(p1->Loaded());
  EXPECT_TRUE(p1->Unloadable());
  EXPECT_EQ(p1->Offset(), static_cast<Int64>(text.find("<page1")));
  partial->SwapIn(p1);
  EXPECT_EQ(Shape(p1), "page1[a=\"1\"](m0[],m1[])");

  // Reading again from the stream the document owns.
  auto* owned = new TStringStream(text);
  TfrxXMLDocument again;
  again.ReadFromStream(owned, true);
  owned->SetPosition(0);
  again.ReadFromStream(owned, true);
  again.SwapIn(again.Root()->ChildAt(1));
  EXPECT_EQ(again.Root()->ChildAt(1)->ChildCount(), 2);
}

TEST(ReportXml, SwapOutAndInKeepChildrenAndText) {
  TempFolder dir;
  auto doc = Pages();
  doc->SetTempDir(dir.Path());
  TfrxXMLItem* p0 = doc->Root()->ChildAt(0);
  String before = Shape(doc->Root());
  String written = Write(*doc);
  doc->SwapOut(p0);
  EXPECT_EQ(p0->ChildCount(), 0);
  EXPECT_FALSE(p0->Loaded());
  String swapFile = doc->SwapFileName();
  EXPECT_EQ(ExtractFilePath(swapFile), dir.Path());
  EXPECT_EQ(ExtractFileName(swapFile).substr(0, 2), "fr");
  EXPECT_EQ(Write(*doc), written);  // brought back for writing only
  EXPECT_EQ(p0->ChildCount(), 0);
  doc->SwapIn(p0);
  EXPECT_TRUE(p0->Loaded());
  EXPECT_EQ(Shape(doc->Root()), before);
  doc->SwapOut(p0);
  doc->SwapIn(p0);  // appended again, read from the new place
  EXPECT_EQ(Shape(doc->Root()), before);
  doc->Clear();
  EXPECT_FALSE(FileExists(swapFile));
}

TEST(ReportXml, ASwapAfterAPartialReadReadsBothStreams) {
  TempFolder dir;
  String text = Write(*Pages());
  // page1 stays on the source stream; page0 was loaded and goes to the swap file.
  auto doc = Read(text, true);
  doc->SetTempDir(dir.Path());
  TfrxXMLItem* p0 = doc->Root()->ChildAt(0);
  TfrxXMLItem* p1 = doc->Root()->ChildAt(1);
  p0->SetUnloadable(true);
  doc->SwapOut(p0);
  auto back = Read(Write(*doc));
  EXPECT_EQ(back->Root()->ChildAt(0)->ChildCount(), 2);
  EXPECT_EQ(back->Root()->ChildAt(1)->ChildCount(), 2);
  doc->SwapIn(p0);
  doc->SwapIn(p1);
  EXPECT_EQ(Shape(doc->Root()), "pages[](page0[ld=\"0\"](m0[],m1[]),page1[a=\"1\"](m0[],m1[]))");
  String swapFile = doc->SwapFileName();
  doc.reset();
  EXPECT_FALSE(FileExists(swapFile));
}

TEST(ReportXml, AnOffsetOutsideItsStreamIsAFormatError) {
  auto doc = Read(Write(*Pages()), true);
  TfrxXMLItem* p1 = doc->Root()->ChildAt(1);
  p1->SetOffset(1 << 20);
  EXPECT_THROW(doc->SwapIn(p1), Exception);
}

}  // namespace
