// TStrings and TStringList: text forms, name=value lines, sorting, duplicates and notifications.
#include "core/Classes.h"
#include "core/Component.h"
#include "CoreTestUtil.h"
#include "core/StrUtils.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<String>;

void Fill(TStrings& s, const Lines& lines) {
  s.Clear();
  for (const auto& l : lines) s.Add(l);
}

}  // namespace

// ---------------------------------------------------------------- case-insensitive names

TEST(CaseInsensitiveNames, SameTextFoldsOnlyAsciiLettersAndTextHashAgrees) {
  struct Case { const char* a; const char* b; bool same; };
  const Case cases[] = {
      {"Caption", "CAPTION", true},  {"caption", "Caption", true}, {"", "", true},
      {"Left", "Lef", false},        {"Left", "Lefts", false},     {"Left", "Lift", false},
      // Pairs that differ only in bit 0x20 but are not letters stay different.
      {"a@", "a`", false},           {"[x", "{x", false},          {"a^", "a~", false},
      {"1", "\x11", false},
      // Non-ASCII bytes are compared as they are: é (C3 A9) is not É (C3 89).
      {"\xC3\xA9", "\xC3\x89", false}, {"合同", "合同", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.a) + " / " + c.b);
    EXPECT_EQ(SameText(c.a, c.b), c.same);
    EXPECT_EQ(SameText(c.a, c.b), CompareText(c.a, c.b) == 0);
    if (c.same) {
      EXPECT_EQ(TextHash(c.a), TextHash(c.b));
    }
  }
}

TEST(CaseInsensitiveNames, AnsiCompareTextFoldsAsciiRunsAndMultiByteCharacters) {
  // ASCII bytes fold by themselves, other characters by the locale, in any mix.
  struct Case { const char* a; const char* b; int order; };
  const Case cases[] = {
      {"begin", "BEGIN", 0},           {"abc", "ABD", -1},            {"abd", "ABC", 1},
      {"ab", "ABC", -1},               {"[x", "{x", -1},              {"Z", "\xC3\xA9", -1},
      {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", 0},  {"x\xC3\xA9", "X\xC3\x89y", -1},
      {"\xC4\xB1", "I", 0},            {"a\xC4\xB1" "b", "AIB", 0},      {"合同a", "合同A", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.a) + " / " + c.b);
    const int r = AnsiCompareText(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.order);
    EXPECT_EQ(AnsiSameText(c.a, c.b), c.order == 0);
  }
}

TEST(CharacterClasses, LettersAndDigitsOfAnyScriptAndTheirUpperCase) {
  // Word-wise editing stops at punctuation and blanks only; a Chinese or accented letter is
  // part of a word like an ASCII one.
  struct Case { char32_t c; bool word; char32_t upper; };
  const Case cases[] = {
      {U'a', true, U'A'},  {U'Z', true, U'Z'},   {U'7', true, U'7'},      {U'_', false, U'_'},
      {U' ', false, U' '}, {U'.', false, U'.'},  {U'\r', false, U'\r'},  {U'\u4E2D', true, U'\u4E2D'},
      {U'\u00E9', true, U'\u00C9'}, {U'\u0661', true, U'\u0661'}, {U'\u3002', false, U'\u3002'},
      {U'\uFF0C', false, U'\uFF0C'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<unsigned>(c.c));
    EXPECT_EQ(IsLetterOrDigitChar(c.c), c.word);
    EXPECT_EQ(AnsiUpperChar(c.c), c.upper);
  }
}

// ---------------------------------------------------------------- Text

TEST(TStringsText, ReadingSplitsAtEveryKindOfLineBreak) {
  struct Case {
    String text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\n\r", {"", ""}},  // LF ends one line, the CR another
      {"a\r\r\nb", {"a", "", "b"}},
      {"中文\r\n行", {"中文", "行"}},
  };
  TStringList l;
  for (const auto& c : cases) {
    l.SetText(c.text);
    EXPECT_EQ(Of(l), c.lines) << "text: " << c.text;
  }
}

TEST(TStringsText, EveryLineEndsWithCrLfTheLastToo) {
  TStringList l;
  EXPECT_EQ(l.Text(), "");
  Fill(l, {"a", "", "b"});
  EXPECT_EQ(l.Text(), "a\r\n\r\nb\r\n");
  TStringList back;
  back.SetText(l.Text());
  EXPECT_EQ(Of(back), Of(l));
}

// ---------------------------------------------------------------- CommaText and DelimitedText

TEST(TStringsCommaText, QuotesItemsWithBlanksCommasQuotesOrControls) {
  struct Case {
    Lines lines;
    String text;
  } cases[] = {
      {{}, ""},
      {{""}, "\"\""},  // a single empty item must not read back as no item
      {{"a", "b"}, "a,b"},
      {{"a b", "c"}, "\"a b\",c"},
      {{"a,b"}, "\"a,b\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"tab\there"}, "\"tab\there\""},
      {{"", "x", ""}, ",x,"},
      {{"中文", "名 字"}, "中文,\"名 字\""},
  };
  TStringList l;
  for (const auto& c : cases) {
    Fill(l, c.lines);
    EXPECT_EQ(l.CommaText(), c.text);
    TStringList back;
    back.SetCommaText(c.text);
    EXPECT_EQ(Of(back), c.lines) << "round trip of " << c.text;
  }
}

TEST(TStringsCommaText, ReadingSplitsAtCommasAndUnquotedBlanks) {
  struct Case {
    String text;
    Lines lines;
  } cases[] = {
      {"a b,c", {"a", "b", "c"}},
      {"  a  ,  b  ", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {",a", {"", "a"}},
      {"\"a, b\" c", {"a, b", "c"}},
      {"\"x\"\"y\"", {"x\"y"}},
      {"\"open", {"open"}},  // an unclosed quote runs to the end
      {"\"a\"b", {"a", "b"}},
      {"   ", {}},
  };
  TStringList l;
  for (const auto& c : cases) {
    l.SetCommaText(c.text);
    EXPECT_EQ(Of(l), c.lines) << "text: " << c.text;
  }
}

TEST(TStringsCommaText, IgnoresTheListsOwnDelimiterAndQuote) {
  TStringList l;
  l.SetDelimiter(';');
  l.SetQuoteChar('\'');
  l.SetStrictDelimiter(true);
  Fill(l, {"a b", "c;d"});
  EXPECT_EQ(l.CommaText(), "\"a b\",c;d");
  EXPECT_EQ(l.DelimitedText(), "a b;'c;d'");
  l.SetDelimitedText("x y;'p;q';");
  EXPECT_EQ(Of(l), (Lines{"x y", "p;q", ""}));
  l.SetStrictDelimiter(false);
  l.SetDelimitedText("x y;'p;q'");
  EXPECT_EQ(Of(l), (Lines{"x", "y", "p;q"}));
}

// ---------------------------------------------------------------- names and values

TEST(TStringsValues, NamesValuesAndDeletingByEmptyValue) {
  TStringList l;
  Fill(l, {"Server=db1", "plain", "User=admin", "Empty="});
  EXPECT_EQ(l.Values("server"), "db1") << "names match without regard to case";
  EXPECT_EQ(l.Values("missing"), "");
  EXPECT_EQ(l.IndexOfName("USER"), 2);
  EXPECT_EQ(l.IndexOfName("plain"), -1) << "a line without '=' has no name";
  EXPECT_EQ(l.Names(1), "");
  EXPECT_EQ(l.ValueFromIndex(1), "") << "no separator: no value, not the line cut short";
  EXPECT_EQ(l.ValueFromIndex(0), "db1");
  l.SetValues("User", "root");
  EXPECT_EQ(l[2], "User=root");
  l.SetValues("New", "v=1");
  EXPECT_EQ(l[4], "New=v=1");
  EXPECT_EQ(l.Values("new"), "v=1") << "only the first '=' separates";
  l.SetValues("server", "");
  EXPECT_EQ(Of(l), (Lines{"plain", "User=root", "Empty=", "New=v=1"}));
  l.SetValues("absent", "");
  EXPECT_EQ(l.Count(), 4);
}

TEST(TStringsValues, ASortedListTakesValuesAndStaysInOrder) {
  TStringList l;
  l.SetSorted(true);
  TObject tag;
  l.SetValues("b", "2");
  l.SetValues("a", "1");
  l.SetObjects(l.IndexOfName("b"), &tag);
  l.SetValues("B", "3");
  EXPECT_EQ(Of(l), (Lines{"a=1", "B=3"}));
  EXPECT_EQ(l.Objects(1), &tag) << "the line keeps its object";
  l.SetValueFromIndex(0, "9");
  EXPECT_EQ(Of(l), (Lines{"a=9", "B=3"}));
  l.SetValues("c", "0");
  EXPECT_EQ(l.IndexOf("c=0"), 2);
  l.SetValues("a", "");
  EXPECT_EQ(Of(l), (Lines{"B=3", "c=0"}));
}

TEST(TStringsValues, OtherSeparator) {
  TStringList l;
  l.SetNameValueSeparator(':');
  l.Add("Host:example");
  l.AddPair("Port", "80");
  EXPECT_EQ(l.Values("port"), "80");
  EXPECT_EQ(l[1], "Port:80");
  EXPECT_EQ(l.Names(0), "Host");
}

// ---------------------------------------------------------------- lookups and sorting

TEST(TStringList, IndexOfIgnoresCaseUnlessCaseSensitive) {
  TStringList l;
  Fill(l, {"Alpha", "ÄRGER", "beta"});
  EXPECT_EQ(l.IndexOf("ALPHA"), 0);
  EXPECT_EQ(l.IndexOf("ärger"), 1) << "letters beyond ASCII fold too";
  EXPECT_EQ(l.IndexOf("gamma"), -1);
  l.SetCaseSensitive(true);
  EXPECT_EQ(l.IndexOf("ALPHA"), -1);
  EXPECT_EQ(l.IndexOf("Alpha"), 0);
}

TEST(TStringList, SortedAddFindAndInsertionIndex) {
  TStringList l;
  l.SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "banana"}) l.Add(s);
  EXPECT_EQ(Of(l), (Lines{"Apple", "banana", "fig", "pear"}));
  struct Case {
    const char* s;
    bool found;
    int index;
  } cases[] = {{"apple", true, 0}, {"FIG", true, 2}, {"cherry", false, 2}, {"aaa", false, 0}, {"zz", false, 4}};
  for (const auto& c : cases) {
    int i = -1;
    EXPECT_EQ(l.Find(c.s, i), c.found) << c.s;
    EXPECT_EQ(i, c.index) << c.s;
  }
  EXPECT_EQ(l.IndexOf("PEAR"), 3);
  EXPECT_EQ(l.IndexOf("plum"), -1);
}

TEST(TStringList, OrderIsByCodePoint) {
  TStringList l;
  Fill(l, {"中", "b", "_", "A", "a", "Z", "é"});
  l.Sort();
  // Case folded, then by code point: '_' (0x5F) sorts after the letters folded to upper case.
  EXPECT_EQ(Of(l), (Lines{"A", "a", "b", "Z", "_", "é", "中"}));
  l.SetCaseSensitive(true);
  l.Sort();
  EXPECT_EQ(Of(l), (Lines{"A", "Z", "_", "a", "b", "é", "中"}));
}

TEST(TStringList, DuplicatesOnASortedList) {
  TStringList l;
  l.SetSorted(true);
  l.Add("one");
  EXPECT_EQ(l.Add("ONE"), 0) << "dupIgnore: the existing index, nothing added";
  EXPECT_EQ(l.Count(), 1);
  l.SetDuplicates(dupAccept);
  l.Add("One");
  EXPECT_EQ(l.Count(), 2);
  l.SetDuplicates(dupError);
  EXPECT_EQ(ErrorOf([&] { l.Add("oNe"); }), "EStringListError: String list does not allow duplicates");
  EXPECT_EQ(l.Count(), 2);
  l.Add("two");
  EXPECT_EQ(l.Count(), 3);
}

TEST(TStringList, DuplicatesDoNotMatterUnsorted) {
  TStringList l;
  l.SetDuplicates(dupError);
  l.Add("x");
  l.Add("x");
  EXPECT_EQ(l.Count(), 2);
}

// A text handed over is taken, not copied: the caller's string is left empty. A sorted list
// that ignores the text as a duplicate takes nothing, and one that refuses it leaves it too.
TEST(TStringList, AddTakesOverAMovedText) {
  const String longText(40, 'x');  // beyond the length a string keeps inline
  struct Case {
    const char* what;
    bool sorted;
    TDuplicates duplicates;
    bool taken;
    Lines after;
    const char* error;
  } cases[] = {
      {"unsorted", false, dupIgnore, true, {"b", "a", longText}, ""},
      {"sorted, new", true, dupIgnore, true, {"a", "b", longText}, ""},
      {"sorted, duplicate ignored", true, dupIgnore, false, {"a", "b", longText}, ""},
      {"sorted, duplicate accepted", true, dupAccept, true, {"a", "b", longText, longText}, ""},
      {"sorted, duplicate refused", true, dupError, false, {"a", "b", longText},
       "EStringListError: String list does not allow duplicates"},
  };
  for (const auto& c : cases) {
    TStringList l;
    l.SetSorted(c.sorted);
    l.SetDuplicates(c.duplicates);
    for (const char* s : {"b", "a"}) l.Add(s);
    if (String(c.what).find("duplicate") != String::npos) l.Add(longText);
    String text = longText;
    EXPECT_EQ(ErrorOf([&] { l.Add(std::move(text)); }), c.error[0] ? c.error : "no error") << c.what;
    EXPECT_EQ(text.empty(), c.taken) << c.what;
    EXPECT_EQ(Of(l), c.after) << c.what;
  }
}

// A list that keeps no strings of its own gets a moved text through its copying Add.
TEST(TStrings, AMovedTextReachesAListThatOnlyCopies) {
  struct TRecording : TStrings {
    Lines Got;
    int Add(const String& S) override {
      Got.push_back(S);
      return static_cast<int>(Got.size()) - 1;
    }
    void Clear() override { Got.clear(); }
    void Delete(int) override {}
    void Insert(int, const String& S) override { Got.push_back("insert " + S); }
    String Get(int Index) const override { return Got[static_cast<std::size_t>(Index)]; }
    int GetCount() const override { return static_cast<int>(Got.size()); }
  } r;
  TStrings& base = r;
  String text(40, 'y');
  EXPECT_EQ(base.Add(std::move(text)), 0);
  EXPECT_EQ(base.Add(String("z")), 1);
  EXPECT_EQ(r.Got, (Lines{String(40, 'y'), "z"}));
}

TEST(TStringList, ASortedListRefusesPositionalChangesWithoutLosingLines) {
  TStringList l;
  Fill(l, {"c", "a", "b"});
  l.SetSorted(true);
  EXPECT_EQ(Of(l), (Lines{"a", "b", "c"}));
  const String sorted = "EStringListError: Operation not allowed on sorted list";
  EXPECT_EQ(ErrorOf([&] { l.Insert(0, "z"); }), sorted);
  EXPECT_EQ(ErrorOf([&] { l.InsertObject(0, "z", nullptr); }), sorted);
  EXPECT_EQ(ErrorOf([&] { l.SetStrings(0, "z"); }), sorted);
  EXPECT_EQ(ErrorOf([&] { l.Move(0, 2); }), sorted);
  EXPECT_EQ(Of(l), (Lines{"a", "b", "c"}));
}

TEST(TStringList, MoveChecksTheTargetBeforeTakingTheLineOut) {
  TStringList l;
  Fill(l, {"a", "b", "c"});
  EXPECT_EQ(ErrorOf([&] { l.Move(0, 3); }), "EStringListError: List index out of bounds (3)");
  EXPECT_EQ(Of(l), (Lines{"a", "b", "c"}));
  l.Move(0, 2);
  EXPECT_EQ(Of(l), (Lines{"b", "c", "a"}));
}

TEST(TStringList, IndexErrors) {
  TStringList l;
  l.Add("x");
  EXPECT_EQ(ErrorOf([&] { l.Strings(1); }), "EStringListError: List index out of bounds (1)");
  EXPECT_EQ(ErrorOf([&] { l.Delete(-1); }), "EStringListError: List index out of bounds (-1)");
  EXPECT_EQ(ErrorOf([&] { l.Insert(2, "y"); }), "EStringListError: List index out of bounds (2)");
  EXPECT_EQ(ErrorOf([&] { l.Objects(5); }), "EStringListError: List index out of bounds (5)");
}

TEST(TStringList, ChangingCaseSensitivityKeepsASortedListSearchable) {
  TStringList l;
  l.SetSorted(true);
  for (const char* s : {"b", "B", "a", "A"}) {
    l.SetDuplicates(dupAccept);
    l.Add(s);
  }
  l.SetCaseSensitive(true);
  EXPECT_EQ(Of(l), (Lines{"A", "B", "a", "b"}));
  for (const char* s : {"A", "B", "a", "b"}) EXPECT_GE(l.IndexOf(s), 0) << s;
}

TEST(TStringList, CustomSortSeesTheListUnchangedAndIsStable) {
  TStringList l;
  Fill(l, {"b1", "a1", "b2", "a2", "c1"});
  l.CustomSort([&](TStringList* list, int i, int j) {
    // The list is not reordered while the comparer runs.
    EXPECT_EQ(list->Strings(0), "b1");
    return static_cast<int>(list->Strings(i)[0]) - static_cast<int>(list->Strings(j)[0]);
  });
  EXPECT_EQ(Of(l), (Lines{"a1", "a2", "b1", "b2", "c1"}));
  // A sorted list keeps its order.
  l.SetSorted(true);
  l.CustomSort([](TStringList* list, int i, int j) { return j - i; });
  EXPECT_EQ(l[0], "a1");
}

// ---------------------------------------------------------------- objects, copies, updates

TEST(TStringList, ObjectsTravelWithTheirLines) {
  TObject x, y;
  TStringList l;
  l.AddObject("x", &x);
  l.AddObject("y", &y);
  l.Exchange(0, 1);
  EXPECT_EQ(l.Objects(0), &y);
  EXPECT_EQ(l.IndexOfObject(&x), 1);
  TStringList sorted;
  sorted.SetSorted(true);
  sorted.AddStrings(&l);
  EXPECT_EQ(sorted.Objects(sorted.IndexOf("x")), &x);
  l.Move(1, 0);
  EXPECT_EQ(l.Objects(0), &x);
}

TEST(TStringList, OwnsObjectsFreesDroppedObjects) {
  struct Tracked : TObject {
    explicit Tracked(int& n) : N(n) { ++N; }
    ~Tracked() override { --N; }
    int& N;
  };
  int alive = 0;
  {
    TStringList l(true);
    l.AddObject("a", new Tracked(alive));
    l.AddObject("b", new Tracked(alive));
    l.AddObject("c", new Tracked(alive));
    l.Delete(0);
    EXPECT_EQ(alive, 2);
  }
  EXPECT_EQ(alive, 0);
}

TEST(TStringList, AddingAListToItselfDoublesIt) {
  TStringList l;
  Fill(l, {"a", "b"});
  l.AddStrings(&l);
  EXPECT_EQ(Of(l), (Lines{"a", "b", "a", "b"}));
}

TEST(TStringList, MadeFromItsClassWithAnOwnerArgumentItOwnsNothing) {
  TComponent owner(nullptr);
  std::unique_ptr<TObject> made(TStringList::StaticClass()->Create(&owner));
  auto* list = dynamic_cast<TStringList*>(made.get());
  ASSERT_NE(list, nullptr);
  EXPECT_FALSE(list->OwnsObjects());
  EXPECT_EQ(list->ClassName(), "TStringList");
  EXPECT_TRUE(list->InheritsFrom(TStrings::StaticClass()));
  EXPECT_TRUE(TStrings::StaticClass()->IsAbstract());
}

TEST(TStringList, AssignAndEquals) {
  TStringList a, b;
  a.SetDelimiter(';');
  Fill(a, {"x", "y"});
  Fill(b, {"old"});
  b.Assign(&a);
  EXPECT_TRUE(b.Equals(&a));
  EXPECT_EQ(b.Delimiter(), ';');
  b.SetStrings(1, "Y");
  EXPECT_FALSE(b.Equals(&a)) << "Equals compares exactly";
  EXPECT_THROW(b.Assign(static_cast<TPersistent*>(nullptr)), EConvertError);
}

TEST(TStringList, ChangeEventsFireOncePerOutermostUpdate) {
  TStringList l;
  int changing = 0, changed = 0;
  l.SetOnChanging(TNotifyEvent::Lambda([&](TObject* sender) {
    EXPECT_EQ(sender, &l);
    ++changing;
  }));
  l.SetOnChange(TNotifyEvent::Lambda([&](TObject*) { ++changed; }));
  l.Add("a");
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  l.BeginUpdate();
  l.BeginUpdate();
  EXPECT_EQ(l.UpdateCount(), 2);
  l.Add("b");
  l.Delete(0);
  l.EndUpdate();
  EXPECT_EQ(changed, 1) << "nothing while an update is open";
  l.EndUpdate();
  EXPECT_EQ(l.UpdateCount(), 0);
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
  l.SetText("x\r\ny\r\nz");
  EXPECT_EQ(changed, 3) << "SetText is one change";
  l.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(l.UpdateCount(), 0);
}

// ---------------------------------------------------------------- files and streams

TEST(TStringsFiles, SaveAndLoadUtf8DroppingAByteOrderMark) {
  TempFolder dir;
  TStringList l;
  Fill(l, {"合同", "line 2"});
  l.SaveToFile(dir / "list.txt");
  EXPECT_EQ(dir.Read("list.txt"), "合同\r\nline 2\r\n");
  dir.Write("bom.txt", "\xEF\xBB\xBF" "first\nsecond");
  TStringList back;
  back.LoadFromFile(dir / "bom.txt");
  EXPECT_EQ(Of(back), (Lines{"first", "second"}));
  EXPECT_THROW(back.LoadFromFile(dir / "missing.txt"), EFOpenError);
}

TEST(TStringsFiles, LoadFromStreamReadsFromThePosition) {
  TStringStream s("skip|a\r\nb");
  s.SetPosition(5);
  TStringList l;
  l.LoadFromStream(&s);
  EXPECT_EQ(Of(l), (Lines{"a", "b"}));
  TStringStream out;
  l.SaveToStream(&out);
  EXPECT_EQ(out.DataString(), "a\r\nb\r\n");
}

TEST(SplitTrimmedTest, TrimsEachPartAndDropsEmptyOnes) {
  EXPECT_EQ(SplitTrimmed(" a ; ;b;", ';'), (Lines{"a", "b"}));
  EXPECT_EQ(SplitTrimmed("one", ','), (Lines{"one"}));
  EXPECT_EQ(SplitTrimmed("x y, z", ','), (Lines{"x y", "z"}));
  EXPECT_TRUE(SplitTrimmed("", ',').empty());
  EXPECT_TRUE(SplitTrimmed(" , ,", ',').empty());
}

// One byte beyond ASCII anywhere, inside or after a run of eight, makes the text non-ASCII.
TEST(IsAsciiTest, AnyHighByteAtAnyPosition) {
  EXPECT_TRUE(IsAscii(""));
  EXPECT_TRUE(IsAscii(String(17, '\x7F')));
  EXPECT_TRUE(IsAscii(String("a\0b", 3)));
  for (std::size_t length : {1u, 7u, 8u, 9u, 16u, 23u}) {
    for (std::size_t at = 0; at < length; ++at) {
      String s(length, 'a');
      s[at] = '\x80';
      EXPECT_FALSE(IsAscii(s)) << "length " << length << ", byte " << at;
      s[at] = '\xE4';
      EXPECT_FALSE(IsAscii(s)) << "length " << length << ", byte " << at;
    }
  }
  EXPECT_FALSE(IsAscii("合同"));
}

TEST(Utf8Validity, WellFormedSequencesOnly) {
  struct Case { const char* bytes; bool valid; };
  const Case cases[] = {
      {"", true},
      {"plain ascii", true},
      {"\xE4\xB8\xAD\xE6\x96\x87", true},          // 中文
      {"\xF0\x9F\x98\x80", true},                  // U+1F600
      {"\xD6\xD0\xCE\xC4", false},                 // 中文 in GBK
      {"\x80", false},                              // stray continuation
      {"\xE4\xB8", false},                          // cut short at the end
      {"\xE4x\xAD", false},                         // cut short inside
      {"\xC0\xAF", false},                          // overlong '/'
      {"\xE0\x80\xAF", false},                      // overlong, three bytes
      {"\xED\xA0\x80", false},                      // surrogate
      {"\xF4\x90\x80\x80", false},                  // above U+10FFFF
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

// ---------------------------------------------------------------- GBK

TEST(GbkText, EachCharacterAsGbkHasItOrAQuestionMarkSkippingWhatItsLeadByteCovers) {
  const struct {
    const char* Utf8;
    const char* Gbk;
  } cases[] = {
      {"HT-100, ok", "HT-100, ok"},
      {"合同", "\xBA\xCF\xCD\xAC"},
      {"a合b", "a\xBA\xCF" "b"},
      {"项目备注：软件开发", "\xCF\xEE\xC4\xBF\xB1\xB8\xD7\xA2\xA3\xBA\xC8\xED\xBC\xFE\xBF\xAA\xB7\xA2"},
      {"x\xF0\x9F\x98\x80y", "x?y"},      // beyond the plane GBK covers
      {"x\xE0\xB8\x81y", "x?y"},          // a character GBK lacks (Thai)
      {"x\x80y", "x?y"},                  // a lone continuation byte
      {"x\xC0\x80y", "x?y"},              // an overlong form
      {"x\xED\xA0\x80y", "x?y"},          // a surrogate
      {"x\xE5\x90" "Ay", "x?y"},          // a cut sequence takes the bytes its lead names
      {"x\xE5\x90", "x?"},                // cut at the end
      {"x\xF8y", "x?y"},                  // no lead byte at all
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToGbk(c.Utf8), c.Gbk) << c.Utf8;
}

TEST(GbkText, AgreesWithTheSystemConverterOverEveryUnifiedIdeograph) {
  String text;
  for (char32_t c = 0x4E00; c <= 0x9FA5; ++c) {
    AppendUtf8(text, c);
    if (c % 64 == 0) text += "·, ";
  }
  EXPECT_EQ(Utf8ToGbk(text), ConvertEncoding(text, "UTF-8", "GBK"));
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk(text)), text);
}
