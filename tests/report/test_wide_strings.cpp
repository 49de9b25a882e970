// The report library's wide string list: lines and objects, text breaks, plain text streams
// and the component-stream form.
#include "core/Exceptions.h"
#include "core/Filer.h"
#include "core/Reader.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/Writer.h"
#include "TempFolder.h"
#include "report/frxUnicodeUtils.h"

#include <gtest/gtest.h>

namespace {

String Lines(const TWideStrings& L) {
  String s;
  for (int i = 0; i < L.Count(); ++i) s += "[" + L.Strings(i) + "]";
  return s;
}

TEST(WideStrings, LinesByIndex) {
  TWideStrings l;
  TStringList marker;
  l.Add("a");
  l.AddObject("b", &marker);
  l.SetStrings(l.Count(), "c");  // index Count appends
  EXPECT_EQ(Lines(l), "[a][b][c]");
  try {
    l.SetStrings(l.Count() + 1, "x");
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Wide String Out of Bounds");
  }
  l.SetStrings(1, "B");  // replaces, keeps the object
  EXPECT_EQ(l.Objects(1), &marker);
  l.Insert(0, "x");  // inserts
  EXPECT_EQ(Lines(l), "[x][a][B][c]");
  EXPECT_THROW(l.Insert(-1, "y"), Exception);
  EXPECT_EQ(l.Strings(9), "");
  EXPECT_EQ(l.Objects(-1), nullptr);
  l.SetObjects(9, &marker);  // ignored
  EXPECT_EQ(l.IndexOf("B"), 2);
  EXPECT_EQ(l.IndexOf("b"), -1);
  EXPECT_THROW(l.Delete(4), EListError);
  l.Delete(0);
  EXPECT_EQ(Lines(l), "[a][B][c]");
}

TEST(WideStrings, TextBreaks) {
  struct Case { String text; String lines; };
  const Case cases[] = {
      {"a\r\nb", "[a][b]"},
      {"a\n\rb", "[a][][b]"},
      {"a\xE2\x80\xA8" "b", "[a][b]"},
      {"a\r\n\xE2\x80\xA8" "b", "[a][b]"},
      {"a\r\n", "[a]"},
      {"", ""},
      {"\r\n", "[]"},
      {"中文\rb", "[中文][b]"},
  };
  for (const Case& c : cases) {
    TWideStrings l;
    l.SetText(c.text);
    EXPECT_EQ(Lines(l), c.lines) << c.text;
  }
  TWideStrings l;
  l.Add("a");
  l.Add("b");
  EXPECT_EQ(l.Text(), "a\r\nb\r\n");
}

TEST(WideStrings, PlainTextStreams) {
  struct Case { String bytes; String lines; };
  const Case cases[] = {
      {String("\xFF\xFE\x68\x00\x69\x00", 6), "[hi]"},
      {String("\x68\x00\x69\x00", 4), "[h]"},  // 8-bit text, which ends at its first 0
      {"x", "[x]"},
      {"\xD6\xD0\xCE\xC4", "[中文]"},  // not UTF-8: GBK
      {"中文", "[中文]"},
  };
  for (const Case& c : cases) {
    TWideStrings l;
    TStringStream s(c.bytes);
    l.LoadFromStream(&s);
    EXPECT_EQ(Lines(l), c.lines);
  }
  TWideStrings a, b;
  a.SetText("第一行\r\n\r\nthird");
  TStringStream s;
  a.SaveToStream(&s);
  EXPECT_EQ(s.DataString().substr(0, 2), "\xFF\xFE");
  s.SetPosition(0);
  b.LoadFromStream(&s);
  EXPECT_EQ(Lines(b), Lines(a));

  TempFolder dir;
  a.SaveToFile(dir / "lines.txt");
  TWideStrings c;
  c.LoadFromFile(dir / "lines.txt");
  EXPECT_EQ(Lines(c), Lines(a));
  EXPECT_THROW(c.LoadFromFile(dir / "missing.txt"), EFOpenError);
}

TEST(WideStrings, AssignWithStringLists) {
  TStringList source;
  TStringList marker;
  source.AddObject("一", &marker);
  source.Add("two");
  TWideStrings w;
  w.Add("old");
  w.Assign(&source);
  EXPECT_EQ(Lines(w), "[一][two]");
  EXPECT_EQ(w.Objects(0), &marker);
  TStringList back;
  back.Add("old");
  back.Assign(&w);
  EXPECT_EQ(back.CommaText(), "一,two");
  EXPECT_EQ(back.Objects(0), &marker);
  TWideStrings copy;
  copy.Assign(&w);
  copy.AppendAll(&w);
  EXPECT_EQ(Lines(copy), "[一][two][一][two]");
}

}  // namespace

namespace {

// The lines written by the component writer, read back by the reader into Target.
void StreamInto(TPersistent* Source, TPersistent* Target, Int64* Size = nullptr) {
  TMemoryStream m;
  {
    TWriter w(&m);
    w.WriteProperties(Source);
  }
  if (Size) *Size = m.Size();
  m.SetPosition(0);
  TReader r(&m);
  while (r.Position() < m.Size()) r.ReadProperty(Target);
}

TEST(WideStrings, ComponentStreamForm) {
  TWideStrings source, copy;
  source.Add("中文");
  source.Add("plain");
  copy.Add("stale");
  StreamInto(&source, &copy);
  EXPECT_EQ(Lines(copy), "[中文][plain]");

  TWideStrings empty;
  Int64 size = -1;
  StreamInto(&empty, &copy, &size);
  EXPECT_EQ(size, 0);  // nothing written: the lines read before stay
  EXPECT_EQ(Lines(copy), "[中文][plain]");

  TStringList older;  // the older form, a list property "Strings"
  older.Add("旧");
  StreamInto(&older, &copy);
  EXPECT_EQ(Lines(copy), "[旧]");
}

}  // namespace
