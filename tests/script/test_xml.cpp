// The script XML tree: element operations, reading, writing and attribute escaping.
#include "script/fs_xmlio.h"
#include "core/Streams.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Loads a document from text; the message of the error it raises, or "".
String Load(TfsXMLDocument& Doc, const String& Text) {
  TStringStream s(Text);
  try {
    Doc.LoadFromStream(&s);
  } catch (const Exception& e) {
    return e.Message();
  }
  return String();
}

String Save(TfsXMLDocument& Doc) {
  TStringStream s;
  Doc.SaveToStream(&s);
  return s.DataString();
}

}  // namespace

TEST(ScriptXml, ElementsOwnTheirChildrenAndLeaveTheirParent) {
  TfsXMLItem root;
  TfsXMLItem* a = root.Add();
  a->SetName("a");
  TfsXMLItem* b = root.Add();
  b->SetName("B");
  a->Add()->SetName("a1");
  EXPECT_EQ(root.Count(), 2);
  EXPECT_EQ(a->Root(), &root);
  EXPECT_EQ(a->Items(0)->Root(), &root);
  EXPECT_EQ(root.Find("b"), 1);  // ignoring case
  EXPECT_EQ(root.Find("c"), -1);

  // FindItem grows the tree once, then finds what it added.
  TfsXMLItem* c = root.FindItem("c");
  EXPECT_EQ(root.Count(), 3);
  EXPECT_EQ(root.FindItem("C"), c);

  // A child freed on its own leaves its parent's list.
  delete b;
  EXPECT_EQ(root.Count(), 2);
  EXPECT_EQ(root.Items(1), c);

  // AddItem moves an element from another parent; an own child moves to the end.
  TfsXMLItem other;
  other.AddItem(a);
  EXPECT_EQ(root.Count(), 1);
  EXPECT_EQ(a->Parent(), &other);
  root.AddItem(a);
  root.InsertItem(0, a);
  EXPECT_EQ(root.Items(0), a);
  EXPECT_EQ(root.Items(1), c);
  EXPECT_EQ(other.Count(), 0);

  EXPECT_THROW(root.InsertItem(3, other.Add()), EListError);
  EXPECT_EQ(root.Count(), 2);  // nothing moved
  EXPECT_EQ(other.Count(), 1);
  other.Clear();
  try {
    root.Items(2);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (2)");
  }

  // Clear keeps the element's own values.
  root.SetName("r");
  root.SetData(7);
  root.Clear();
  EXPECT_EQ(root.Count(), 0);
  EXPECT_EQ(root.Name(), "r");
  EXPECT_EQ(root.Data(), 7);
}

TEST(ScriptXml, CopyFromIsDeepAndKeepsData) {
  TfsXMLItem src;
  src.SetName("s");
  src.SetText("x=\"1\"");
  src.SetData(5);
  src.Add()->Add()->SetName("deep");
  TfsXMLItem dst;
  dst.Add();
  dst.Add();
  dst.CopyFrom(&src);
  EXPECT_EQ(dst.Name(), "s");
  EXPECT_EQ(dst.Text(), "x=\"1\"");
  EXPECT_EQ(dst.Data(), 5);
  ASSERT_EQ(dst.Count(), 1);
  EXPECT_NE(dst.Items(0), src.Items(0));
  EXPECT_EQ(dst.Items(0)->Items(0)->Name(), "deep");
  EXPECT_EQ(dst.Items(0)->Parent(), &dst);
}

TEST(ScriptXml, PropFindsOneAttributeByName) {
  struct Case {
    const char* Text;
    const char* Name;
    const char* Expect;
  } cases[] = {
      {"text=\"a&#34;b\" pos=\"1:2\"", "text", "a\"b"},
      {"text=\"a&#34;b\" pos=\"1:2\"", "POS", "1:2"},
      {"xtext=\"1\"", "text", ""},               // no blank before the name
      {"TEXT=\"v\"", "text", "v"},               // case ignored
      {"a=\"1\"\tb=\"2\"", "b", ""},             // a tab is no blank
      {"a='y b=\"in\"' b=\"out\"", "b", "in"},  // first match wins, even inside a value
      {"a=\"unterminated", "a", ""},
      {"a=\"&#20013;\"", "a", "-"},            // low 8 bits of the code
      {"a=\"&#300;\"", "a", ","},
      {"a=\"x&#3\"", "a", "x&#3"},               // no ';': ordinary text
      {"a=\"&amp;&quot;\"", "a", "&amp;\""},     // named entities stay, quot; decodes
  };
  for (const Case& c : cases) {
    TfsXMLItem item;
    item.SetText(c.Text);
    EXPECT_EQ(item.Prop(c.Name), c.Expect) << c.Text << " / " << c.Name;
  }
  TfsXMLItem bad;
  bad.SetText("a=\"&#zz;\"");
  EXPECT_THROW(bad.Prop("a"), EConvertError);
}

TEST(ScriptXml, TypedAttributesReadAndWriteAsTheirText) {
  // Each typed element against the same attributes given as text: the written text, every
  // lookup (names ignore case, others are absent) and a copy must agree.
  struct Case {
    const char* Value;
    bool HasValue;
    int Line, Col, Line1, Col1;
    const char* Text;
  };
  const Case cases[] = {
      {"x", true, 1, 5, 0, 0, "text=\"x\" pos=\"1:5\""},
      {"", true, 12, 1, 0, 0, "text=\"\" pos=\"12:1\""},
      {"a\"b&c<d>\r\n", true, 3, 40, 0, 0, "text=\"a&#34;b&#38;c&#60;d&#62;&#13;&#10;\" pos=\"3:40\""},
      {"'&quot;'", true, 2, 2, 0, 0, "text=\"'&#38;quot;'\" pos=\"2:2\""},
      {"", false, 7, 9, 0, 0, "pos=\"7:9\""},
      {"", false, 7, 9, 8, 1, "pos=\"7:9\" pos1=\"8:1\""},
      {"Get", true, 100000, 2147483647, 0, 0, "text=\"Get\" pos=\"100000:2147483647\""},
      {"", false, 0, 0, 0, 0, ""},
  };
  const char* names[] = {"text", "TEXT", "tExT", "pos", "Pos", "pos1", "POS1", "pos2", "pos\x11", "po", "os", "text1", "name", ""};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    TfsXMLItem typed, plain;
    typed.SetILAttrs(c.Value, c.HasValue, c.Line, c.Col, c.Line1, c.Col1);
    plain.SetText(c.Text);
    for (const char* name : names) EXPECT_EQ(typed.Prop(name), plain.Prop(name)) << name;
    EXPECT_EQ(typed.Text(), c.Text);
    // Lookups after the text was written out still answer the same.
    for (const char* name : names) EXPECT_EQ(typed.Prop(name), plain.Prop(name)) << name;
    TfsXMLItem copy;
    copy.CopyFrom(&typed);
    EXPECT_EQ(copy.Text(), c.Text);
    EXPECT_EQ(copy.Prop("text"), plain.Prop("text"));
  }

  // Text set later replaces the typed values everywhere; a document writes the composed text.
  TfsXMLDocument doc;
  TfsXMLItem* e = doc.Root()->Add();
  e->SetName("string");
  e->SetILAttrs("'a\"'", true, 4, 2);
  doc.Root()->SetName("program");
  doc.Root()->SetILAttrs("", false, 1, 1);
  const String saved = Save(doc);
  EXPECT_NE(saved.find("<program pos=\"1:1\">"), String::npos) << saved;
  EXPECT_NE(saved.find("<string text=\"'a&#34;'\" pos=\"4:2\"/>"), String::npos) << saved;
  TfsXMLDocument back;
  ASSERT_EQ(Load(back, saved), "");
  EXPECT_EQ(back.Root()->Items(0)->Prop("text"), "'a\"'");
  e->SetText("pos=\"9:9\"");
  EXPECT_EQ(e->Text(), "pos=\"9:9\"");
  EXPECT_EQ(e->Prop("text"), "");
  EXPECT_EQ(e->Prop("pos"), "9:9");
}

TEST(ScriptXml, EscapingRoundTripsEveryValue) {
  EXPECT_EQ(EscapeAttrText("a<b & \"c\""), "a&#60;b &#38; &#34;c&#34;");
  EXPECT_EQ(EscapeAttrText("\r\n>"), "&#13;&#10;&#62;");
  EXPECT_EQ(EscapeAttrText("中文"), "中文");
  // Values that already hold entities come back unchanged.
  for (const char* v : {"&#65;", "&quot;", "a&b", "&#", "&", "x&#34", "<&lt;>", "\"\"", "中&#20013;"})
    EXPECT_EQ(UnescapeAttrText(EscapeAttrText(v)), v) << v;
}

TEST(ScriptXml, ReadingTagsAndElements) {
  struct Case {
    const char* Text;
    const char* Saved;  // the document written back
  } cases[] = {
      {"<?xml version=\"1.0\"?><a x=\"1\" />", "<?xml version=\"1.0\"?><a x=\"1\" />"},
      {"<?xml version=\"1.0\"?><a/>", "<?xml version=\"1.0\"?><a/>"},
      {"<?xml version=\"1.0\"?><a x=\"1\"/>", "<?xml version=\"1.0\"?><a x=\"1\"/>"},
      {"<?xml?>text<a>between<b/>tags</a>", "<?xml version=\"1.0\"?><a><b/></a>"},
      {"<?xml?><!-- <c> x > --><a><!-- c --></a>", "<?xml version=\"1.0\"?><a/>"},
      {"<?xml?><a><!---><b/>--></a>", "<?xml version=\"1.0\"?><a/>"},  // `<!--->` does not end itself
      {"<?xml?><a\tx=\"1\"/>", "<?xml version=\"1.0\"?><a\tx=\"1\"/>"},
      {"<?xml?><a><b></b></A>", "<?xml version=\"1.0\"?><a><b/></a>"},
      {"<?xml?><a><b/>", "<?xml version=\"1.0\"?><a><b/></a>"},  // closing tag missing at the end
  };
  for (const Case& c : cases) {
    TfsXMLDocument doc;
    EXPECT_EQ(Load(doc, c.Text), "") << c.Text;
    EXPECT_EQ(Save(doc), c.Saved) << c.Text;
  }
  TfsXMLDocument doc;
  Load(doc, "<?xml version=\"1.0\"?><a x=\"1\" />");
  EXPECT_EQ(doc.Root()->Name(), "a");
  EXPECT_EQ(doc.Root()->Text(), "x=\"1\" ");
  Load(doc, "<?xml?><a\tx=\"1\"/>");
  EXPECT_EQ(doc.Root()->Name(), "a\tx=\"1\"");
}

TEST(ScriptXml, FormatErrorsKeepWhatWasRead) {
  struct Case {
    String Text;
    int Count;  // children of the root read before the error
  } cases[] = {
      {"<a/>", 0},                       // no header
      {"<?xml?><a><b/><c></a>", 1},      // closing tag of another element
      {"<?xml?><a><b/><c <d></c></a>", 1},  // `<` inside a tag
      {"<?xml?><a><b/><c x=\"1\"", 1},   // the stream ends inside a tag
  };
  for (const Case& c : cases) {
    TfsXMLDocument doc;
    EXPECT_EQ(Load(doc, c.Text), "Invalid file format") << c.Text;
    EXPECT_EQ(doc.Root()->Count(), c.Count) << c.Text;
  }
  // Nesting far beyond any real document fails cleanly instead of exhausting the stack.
  String deep = "<?xml?>";
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  TfsXMLDocument doc;
  EXPECT_EQ(Load(doc, deep), "Invalid file format");
}

TEST(ScriptXml, TheReaderLeavesTheStreamAfterTheDocument) {
  String text = "<?xml?><a><b/></a>";
  String tail(10000, 'z');
  TStringStream s(text + tail);
  TfsXMLDocument doc;
  doc.LoadFromStream(&s);
  // The reader buffered far beyond the document; the position is just after `</a>`.
  EXPECT_EQ(s.Position(), static_cast<Int64>(text.size()));
}

TEST(ScriptXml, SaveAndReloadKeepNamesTextsAndStructureNotData) {
  TfsXMLDocument doc;
  TfsXMLItem* r = doc.Root();
  r->SetName("program");
  r->SetData(3);
  for (int i = 0; i < 500; ++i) {  // more than one write buffer
    TfsXMLItem* e = r->Add();
    e->SetName("stmt");
    e->SetText("text=\"" + EscapeAttrText("x<" + IntToStr(i) + "> \"&") + "\" pos=\"1:" + IntToStr(i) + "\"");
    e->Add()->SetName("expr");
  }
  String file = "script_xml_roundtrip.xml";
  doc.SaveToFile(file);
  TfsXMLDocument back;
  back.LoadFromFile(file);
  DeleteFile(file);
  EXPECT_EQ(back.Root()->Name(), "program");
  EXPECT_EQ(back.Root()->Data(), 0);
  ASSERT_EQ(back.Root()->Count(), 500);
  EXPECT_EQ(back.Root()->Items(499)->Prop("text"), "x<499> \"&");
  EXPECT_EQ(back.Root()->Items(499)->Prop("pos"), "1:499");
  EXPECT_EQ(back.Root()->Items(0)->Items(0)->Name(), "expr");
  EXPECT_EQ(Save(back), Save(doc));
}
