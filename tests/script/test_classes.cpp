// The classes module through compiled PascalScript programs: lists, string lists, streams,
// components and the XML tree, their results and the platform's errors.
#include "ScriptTestUtil.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

String Joined() {
  String s;
  for (const Variant& v : ScriptTestEmitted()) s += (s.empty() ? "" : "|") + (VarIsNull(v) ? String("Null") : VarToStr(v));
  return s;
}

String RunScript(const String& Source) {
  auto s = NewTestScript();
  ScriptTestEmitted().clear();
  s->Lines()->SetText(Source);
  if (!s->CompileSource()) return "error: " + s->CompileError() + " at " + s->CompileErrorPos();
  try {
    s->RunProgram();
  } catch (const Exception& e) {
    return "raised: " + e.Message() + (Joined().empty() ? String() : " after " + Joined());
  }
  return Joined();
}

struct TCase {
  String Source;
  String Expect;
};

void RunTable(std::initializer_list<TCase> Cases) {
  for (const TCase& c : Cases) EXPECT_EQ(RunScript(c.Source), c.Expect) << c.Source;
}

// A folder of its own for the test's files, removed afterwards.
class TTempDir {
public:
  TTempDir() {
    FPath = std::filesystem::temp_directory_path() / ("kelm_classes_" + std::to_string(::getpid()));
    std::filesystem::create_directories(FPath);
  }
  ~TTempDir() { std::filesystem::remove_all(FPath); }
  String File(const char* Name) const { return (FPath / Name).string(); }

private:
  std::filesystem::path FPath;
};

}  // namespace

TEST(ScriptClasses, ConstantsAndEnumerations) {
  RunTable({
      {"begin Emit(fmCreate); Emit(fmOpenReadWrite); Emit(fmShareDenyNone); Emit(soFromEnd); Emit(dupError);"
       " Emit(poLandscape) end.",
       "65535|2|64|2|2|1"},
  });
}

TEST(ScriptClasses, Lists) {
  RunTable({
      {"var l: TList; a, b: TObject; begin l := TList.Create; a := TObject.Create; b := TObject.Create;"
       " Emit(l.Add(a)); Emit(l.Add(b)); Emit(l.Add(a)); Emit(l.Remove(l)); Emit(l.Count); Emit(l.Remove(a));"
       " Emit(l.IndexOf(b)); Emit(l[1] = a); l.Insert(0, b); Emit(l.IndexOf(a)); l[0] := a; Emit(l.IndexOf(a));"
       " l.Delete(0); Emit(l.Count); Emit(l.ClassName); l.Clear; Emit(l.Count); a.Free; b.Free; l.Free end.",
       "0|1|2|-1|3|0|0|True|2|0|2|TList|0"},
      {"var l: TList; begin l := TList.Create; try Emit(l[3]) finally l.Free end end.",
       "raised: List index out of bounds (3)"},
  });
}

TEST(ScriptClasses, StringLists) {
  RunTable({
      {"var l: TStringList; begin l := TStringList.Create; Emit(l.Add('b')); Emit(l.Add('a')); Emit(l.Count);"
       " Emit(l.Strings[1]); Emit(l[1]); l.Sorted := True; Emit(l[0] + l[1]); l.Free end.",
       "0|1|2|a|a|ab"},
      {"var l: TStringList; i: Integer; begin l := TStringList.Create; l.Add('b'); l.Add('a'); l.Sorted := True;"
       " Emit(l.Find('b', i)); Emit(i); Emit(l.Find('ab', i)); Emit(i); l.Free end.",
       "True|1|False|1"},
      {"var l: TStringList; begin l := TStringList.Create; l.Add('x=1'); Emit(l.Values['x']); Emit(l.Values['y']);"
       " l.Values['y'] := '2'; Emit(l.Count); Emit(l[1]); Emit(l.Names[0]); l.Values['x'] := ''; Emit(l.Text);"
       " Emit(l.IndexOfName('y')); l.Free end.",
       "1||2|y=2|x|y=2\r\n|0"},
      {"var l: TStringList; begin l := TStringList.Create; l.CommaText := 'a,\"b c\",d'; Emit(l.Count); Emit(l[1]);"
       " l.Move(0, 2); Emit(l.CommaText); l.Insert(0, 'z'); Emit(l.IndexOf('z')); l.Delete(0); Emit(l.IndexOf('z'));"
       " l.Free end.",
       "3|b c|\"b c\",d,a|0|-1"},
      {"var l: TStringList; o: TObject; begin l := TStringList.Create; o := TObject.Create;"
       " Emit(l.AddObject('k', o)); Emit(l.Objects[0] = o); Emit(l.IndexOfObject(o)); l.Objects[0] := nil;"
       " Emit(l.IndexOfObject(o)); o.Free; l.Free end.",
       "0|True|0|-1"},
      {"var l: TStringList; begin l := TStringList.Create; try Emit(l[5]) finally l.Free end end.",
       "raised: List index out of bounds (5)"},
      {"var l: TStringList; begin l := TStringList.Create; l.Sorted := True; l.Duplicates := dupError;"
       " Emit(l.Duplicates); l.Add('a'); try l.Add('a') finally l.Free end end.",
       "raised: String list does not allow duplicates after 2"},
      {"var l: TStringList; begin l := TStringList.Create; l.Sorted := True; try l.Insert(0, 'a') finally l.Free end"
       " end.",
       "raised: Operation not allowed on sorted list"},
      // A late-bound value finds the members of the object's own class.
      {"var v: Variant; begin v := TStringList.Create; v.Add('q'); Emit(v.Count); Emit(v.ClassName); v.Free end.",
       "1|TStringList"},
  });
}

TEST(ScriptClasses, AbstractClassesAndFreedObjectsRefuse) {
  RunTable({
      {"var l: TStringList; begin l := TStringList.Create; l.Free; l.Free end.", "raised: Invalid pointer operation"},
      {"var l: TStringList; begin l := TStringList.Create; l.Free; l.Add('x') end.",
       "raised: Invalid pointer operation"},
      {"var l: TStringList; begin l := nil; l.Free; Emit(1) end.", "1"},
      {"var l: TStrings; begin l := TStrings.Create end.",
       "raised: Cannot create an instance of the abstract class TStrings"},
      {"var s: TStream; begin s := TStream.Create end.",
       "raised: Cannot create an instance of the abstract class TStream"},
  });
}

TEST(ScriptClasses, Streams) {
  RunTable({
      {"var m: TMemoryStream; s: String; begin m := TMemoryStream.Create; Emit(m.Write('abcdef', 6));"
       " Emit(m.Position); m.Position := 2; Emit(m.Read(s, 10)); Emit(s); Emit(Length(s)); Emit(m.Seek(-3, soFromEnd));"
       " Emit(m.Read(s, 2)); Emit(s); Emit(m.Size); m.Free end.",
       "6|6|4|cdef|4|3|2|de|6"},
      // Bytes beyond the text do not exist: the text is written, its length answered.
      {"var m: TMemoryStream; begin m := TMemoryStream.Create; Emit(m.Write('abc', 10)); Emit(m.Size);"
       " Emit(m.Write('xyz', -1)); m.Free end.",
       "3|3|0"},
      {"var a, b: TMemoryStream; s: String; begin a := TMemoryStream.Create; b := TMemoryStream.Create;"
       " a.Write('hello', 5); Emit(b.CopyFrom(a, 0)); b.Position := 0; b.Read(s, 5); Emit(s); a.Clear; Emit(a.Size);"
       " a.LoadFromStream(b); Emit(a.Size); a.Free; b.Free end.",
       "5|hello|0|5"},
  });
}

TEST(ScriptClasses, FileStreams) {
  TTempDir dir;
  String file = dir.File("data.bin");
  {
    std::ofstream out(file);
    out << "old content";
  }
  RunTable({
      {"var f: TFileStream; begin f := TFileStream.Create('" + file + "', fmOpenRead); Emit(f.Size); f.Free end.",
       "11"},
      // Creating an existing file empties it.
      {"var f: TFileStream; begin f := TFileStream.Create('" + file + "', fmCreate); Emit(f.Size); f.Write('ab', 2);"
       " f.Free; f := TFileStream.Create('" + file + "', fmOpenRead or fmShareDenyNone); Emit(f.Size); f.Free end.",
       "0|2"},
      {"var m: TMemoryStream; l: TStringList; begin m := TMemoryStream.Create; m.LoadFromFile('" + file + "');"
       " Emit(m.Size); l := TStringList.Create; l.Add('one'); l.SaveToFile('" + dir.File("l.txt") + "'); l.Clear;"
       " l.LoadFromFile('" + dir.File("l.txt") + "'); Emit(l[0]); m.Free; l.Free end.",
       "2|one"},
  });
  String missing = RunScript("var f: TFileStream; begin f := TFileStream.Create('" + dir.File("none.bin") +
                             "', fmOpenRead) end.");
  EXPECT_TRUE(StartsStr("raised: Cannot open file \"" + dir.File("none.bin") + "\".", missing)) << missing;
}

TEST(ScriptClasses, ComponentsAndXml) {
  RunTable({
      {"var a, b: TComponent; begin a := TComponent.Create(nil); b := TComponent.Create(a); Emit(b.Owner = a);"
       " Emit(a.Owner = nil); b.Name := 'inner'; Emit(b.Name); a.Free end.",
       "True|True|inner"},
      {"var d: TfsXMLDocument; r, c: TfsXMLItem; m: TMemoryStream; begin d := TfsXMLDocument.Create; r := d.Root;"
       " r.Name := 'top'; c := r.Add; c.Name := 'child'; c.Text := 'a=\"1\"'; Emit(r.Count); Emit(r[0].Prop('a'));"
       " Emit(c.Parent = r); Emit(c.Root = r); m := TMemoryStream.Create; d.SaveToStream(m); d.Free;"
       " d := TfsXMLDocument.Create; m.Position := 0; d.LoadFromStream(m); Emit(d.Root.Name); Emit(d.Root.Count);"
       " Emit(d.Root.FindItem('child').Prop('a')); Emit(d.Root.Find('child')); d.Free; m.Free end.",
       "1|1|True|True|top|1|1|0"},
      {"var x, y: TfsXMLItem; begin x := TfsXMLItem.Create; y := TfsXMLItem.Create; y.Name := 'y'; x.AddItem(y);"
       " x.InsertItem(0, TfsXMLItem.Create); Emit(x.Count); Emit(x.Find('y')); x.Data := 7; Emit(x.Data); x.Clear;"
       " Emit(x.Count); x.Free end.",
       "2|1|7|0"},
  });
}

TEST(ScriptClasses, DictionaryShowsTheClassesWithTheirAncestors) {
  auto s = NewTestScript();
  TfsXMLDocument doc;
  FillDictionaryXML(s.get(), doc.Root(), false);
  TfsXMLItem* classes = doc.Root()->FindItem("Classes");
  std::vector<String> texts;
  for (int i = 0; i < classes->Count(); ++i) texts.push_back(classes->Items(i)->Prop("text"));
  for (const char* expect : {"TStringList = class(TStrings)", "TStrings = class(TPersistent)", "TObject = class()",
                             "TFileStream = class(TStream)", "TfsXMLDocument = class(TObject)"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), expect), texts.end()) << expect;
}
