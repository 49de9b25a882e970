// Type rules, the grammar registry, messages, literal texts, signatures, the dictionary and
// argument lists.
#include "ScriptTestUtil.h"
#include "script/fs_iconst.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"
#include "core/ObjectHandles.h"
#include "core/Scope.h"
#include "core/Streams.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

TEST(ScriptTools, GrammarRegistry) {
  RegisterGrammar("ToolsLangA", "a1");
  RegisterGrammar("@ToolsHidden", "h");
  RegisterGrammar("ToolsLangB", "b");
  RegisterGrammar("TOOLSLANGA", "a2");  // replaces, keeps its place
  EXPECT_EQ(FindGrammarText("toolslanga"), "a2");
  EXPECT_EQ(FindGrammarText("@ToolsHidden"), "h");
  TStringList names;
  names.Add("stale");
  ListGrammarNames(&names);
  std::vector<String> mine;
  for (int i = 0; i < names.Count(); ++i)
    if (StartsText("Tools", names[i]) || StartsText("@Tools", names[i]) || names[i] == "stale") mine.push_back(names[i]);
  EXPECT_EQ(mine, (std::vector<String>{"ToolsLangA", "ToolsLangB"}));
  EXPECT_EQ(ErrorText([] { FindGrammarText("Foo"); }), "Language 'Foo' not found");
}

TEST(ScriptTools, MessagesAreLocalisedByKey) {
  EXPECT_EQ(fsMessage(fsClassError), "Class %s does not have a default property");
  EXPECT_STREQ(fsMessageKey(fsForError), "SForError");
  EXPECT_TRUE(SetScriptMessage("SLangNotFound", "Sprache '%s' fehlt"));
  EXPECT_FALSE(SetScriptMessage("SNoSuchKey", "x"));
  EXPECT_EQ(ErrorText([] { FindGrammarText("Foo"); }), "Sprache 'Foo' fehlt");
  ResetScriptMessages();
  EXPECT_EQ(fsMessage(fsLangNotFound), "Language '%s' not found");
}

TEST(ScriptTools, TypeRules) {
  auto s = NewTestScript();
  s->RegisterEnum("TFoo", "fA, fB");
  s->RegisterEnum("TBar", "bA");
  struct Case {
    TfsTypeCode TargetCode;
    const char* TargetName;
    TfsTypeCode SourceCode;
    const char* SourceName;
    bool Expect;
  } cases[] = {
      {tcInteger, "", tcFloat, "", true},          {tcInteger, "", tcEnum, "TFoo", true},
      {tcInteger, "", tcString, "", false},        {tcBoolean, "", tcInteger, "", false},
      {tcFloat, "", tcInteger, "", true},          {tcFloat, "", tcBoolean, "", false},
      {tcString, "", tcChar, "", true},        {tcChar, "", tcInteger, "", false},
      {tcArray, "", tcArray, "", true},        {tcArray, "", tcInteger, "", false},
      {tcVariant, "", tcClass, "X", true},     {tcInteger, "", tcVariant, "", true},
      {tcEnum, "TFoo", tcInteger, "", true},       {tcEnum, "TFoo", tcEnum, "tfoo", true},
      {tcEnum, "TFoo", tcEnum, "TBar", false}, {tcConstructor, "", tcVariant, "", false},
      {tcClass, "TTestObj", tcClass, "TTestChild", true},  // a descendant fits
      {tcClass, "TTestChild", tcClass, "TTestObj", false}, // an ancestor does not
      {tcClass, "TTestObj", tcClass, "TUnknown", false},
      {tcClass, "TTestObj", tcVariant, "", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TypesCompatible(c.TargetCode, c.TargetName, c.SourceCode, c.SourceName, s.get()), c.Expect)
        << int(c.TargetCode) << " " << c.TargetName << " <- " << int(c.SourceCode) << " " << c.SourceName;

  TfsVariable i("i", tcInteger, "Integer"), f("f", tcFloat, "Extended");
  EXPECT_FALSE(AssignmentCompatible(&i, &f, s.get()));  // 1.5 into an Integer is refused
  EXPECT_TRUE(AssignmentCompatible(&f, &i, s.get()));
  EXPECT_TRUE(TypesCompatible(i.TypeCode(), "", f.TypeCode(), "", s.get()));  // but i + 1.5 is fine

  EXPECT_EQ(TypeCodeOfName("Integer", s.get()), tcInteger);
  EXPECT_EQ(TypeCodeOfName("TDateTime", s.get()), tcFloat);
  EXPECT_EQ(TypeCodeOfName("TFoo", s.get()), tcEnum);
  EXPECT_EQ(TypeCodeOfName("TTestObj", s.get()), tcClass);
  EXPECT_EQ(TypeCodeOfName("NoSuchType", s.get()), tcClass);

  TfsVariable e("e", tcEnum, "TFoo"), k("k", tcConstructor, ""), c("c", tcClass, "TTestObj");
  EXPECT_EQ(VariableTypeName(&f), "Extended");
  EXPECT_EQ(VariableTypeName(&e), "TFoo");
  EXPECT_EQ(VariableTypeName(&k), "Variant");
  EXPECT_EQ(VariableTypeName(&c), "TTestObj");
}

TEST(ScriptTools, ConstantTexts) {
  struct Case {
    const char* Text;
    TVarType Type;
    const char* Value;
  } cases[] = {
      {"2147483647", varInteger, "2147483647"}, {"2147483648", varInt64, "2147483648"},
      {"$FF", varInteger, "255"},               {"-5", varInteger, "-5"},
      {"'it''s'", varString, "it''s"},          {"''", varString, ""},
      {"1.5", varDouble, "1.5"},                {"2e3", varDouble, "2000"},
      {"", varNull, ""},
  };
  TRestore<char> comma(FormatSettings().DecimalSeparator, ',');
  for (const Case& c : cases) {
    Variant v = ParseConstantText(c.Text);
    EXPECT_EQ(VarType(v), c.Type) << c.Text;
    if (VarIsFloat(v)) EXPECT_DOUBLE_EQ(v.AsDouble(), std::stod(c.Value)) << c.Text;
    else EXPECT_EQ(VarToStr(v), c.Value) << c.Text;
  }
  EXPECT_THROW(ParseConstantText("abc"), EConvertError);

  EXPECT_EQ(SourcePosToPoint("12:7"), (TPoint{7, 12}));
  EXPECT_EQ(SourcePosToPoint(""), (TPoint{0, 0}));
  EXPECT_THROW(SourcePosToPoint("x:1"), EConvertError);
}

namespace {

struct ParamView {
  String Name, Type;
  bool Var, Optional;
  String Default;
  bool operator==(const ParamView&) const = default;
};

std::vector<ParamView> Params(const TfsCustomVariable* v) {
  std::vector<ParamView> r;
  for (int i = 0; i < v->ParamCount(); ++i) {
    TfsParamItem* p = v->Params(i);
    r.push_back({p->Name(), p->TypeName(), p->VarParam(), p->Optional(), VarToStr(p->DefaultValue())});
  }
  return r;
}

}  // namespace

TEST(ScriptTools, Signatures) {
  auto s = NewTestScript();
  struct Case {
    const char* Signature;
    const char* Name;
    const char* Type;
    TfsTypeCode Code;
    bool Macro;
    std::vector<ParamView> Params;
  } cases[] = {
      {"procedure Inc(var i: Integer; incr: Integer = 1)", "Inc", "", tcClass, false,
       {{"i", "Integer", true, false, ""}, {"incr", "Integer", false, true, "1"}}},
      {"function Copy(s: String; from, count: Integer): String", "Copy", "String", tcString, false,
       {{"s", "String", false, false, ""}, {"from", "Integer", false, false, ""}, {"count", "Integer", false, false, ""}}},
      {"macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", "SUM", "Variant",
       tcVariant, true,
       {{"Expr", "Variant", false, false, ""}, {"Band", "Variant", false, true, "0"}, {"Flags", "Integer", false, true, "0"}}},
      {"function EncodeDate(Year, Month, Day: Word): TDateTime", "EncodeDate", "TDateTime", tcFloat, false,
       {{"Year", "Word", false, false, ""}, {"Month", "Word", false, false, ""}, {"Day", "Word", false, false, ""}}},
      {"function F(const a: String = 'x'; b: Integer = -3; c: Boolean = True; d: Variant = Null): Integer", "F",
       "Integer", tcInteger, false,
       {{"a", "String", false, true, "x"}, {"b", "Integer", false, true, "-3"}, {"c", "Boolean", false, true, "True"},
        {"d", "Variant", false, false, ""}}},
      {"function Create: Constructor", "Create", "Constructor", tcConstructor, false, {}},
      {"procedure P(a, b)", "P", "", tcClass, false, {}},  // names without a type declare nothing
  };
  for (const Case& c : cases) {
    std::unique_ptr<TfsCustomVariable> v(ParseSignature(c.Signature, s.get()));
    EXPECT_EQ(v->Name(), c.Name) << c.Signature;
    EXPECT_EQ(v->TypeName(), c.Type) << c.Signature;
    EXPECT_EQ(v->TypeCode(), c.Code) << c.Signature;
    EXPECT_EQ(v->Macro(), c.Macro) << c.Signature;
    EXPECT_EQ(Params(v.get()), c.Params) << c.Signature;
  }
}

TEST(ScriptTools, DictionaryListsRegisteredNamesAndRoundTrips) {
  TfsScript s(nullptr);
  s.RegisterType("Integer", tcInteger);
  s.RegisterType("String", tcString);
  s.RegisterConst("Odd", "String", Variant("a\"<&b"));
  s.RegisterVariable("Counter", "Integer", Variant(0));
  s.RegisterEnum("TFoo", "fA, fB");
  s.RegisterFunction("function Twice(x: Integer): Integer", nullptr, "ctMath", "doubles \"x\"");
  TfsClassVariable* cls = s.RegisterScriptClass(TTestObj::StaticClass(), "TComponent");
  cls->RegisterDefaultProperty("Items", "Integer", "String", nullptr);
  cls->RegisterMethod("procedure Go", nullptr);

  TfsXMLDocument doc;
  doc.Root()->SetName("dictionary");
  FillDictionaryXML(&s, doc.Root(), false);
  TStringStream out;
  doc.SaveToStream(&out);
  TStringStream in(out.DataString());
  TfsXMLDocument back;
  back.LoadFromStream(&in);
  TfsXMLItem* r = back.Root();

  ASSERT_EQ(r->Count(), 5);
  EXPECT_EQ(r->Items(0)->Name(), "Functions");
  EXPECT_EQ(r->Items(4)->Name(), "Constants");
  TfsXMLItem* math = r->Items(0)->Items(0);
  EXPECT_EQ(math->Prop("text"), "ctMath");
  EXPECT_EQ(math->Items(0)->Prop("text"), "function Twice(x: Integer): Integer");
  EXPECT_EQ(math->Items(0)->Prop("description"), "doubles \"x\"");
  EXPECT_EQ(r->Items(4)->Items(0)->Prop("text"), "Odd: String = a\"<&b");
  EXPECT_EQ(r->Items(3)->Items(0)->Prop("text"), "Counter: Integer");
  ASSERT_EQ(r->Items(2)->Count(), 1);
  EXPECT_EQ(r->Items(2)->Items(0)->Name(), "item");
  EXPECT_EQ(r->Items(2)->Items(0)->Prop("text"), "TFoo: (fA,fB)");

  TfsXMLItem* c = r->Items(1)->Items(0);
  EXPECT_EQ(c->Prop("text"), "TTestObj = class(TComponent)");
  std::vector<String> members;
  for (int i = 0; i < c->Count(); ++i) members.push_back(c->Items(i)->Prop("text"));
  EXPECT_EQ(members, (std::vector<String>{"property Caption: String", "property Flag: Boolean",
                                          "property Name: String", "property Tag: Integer",
                                          "index property Items(p0: Integer): String", "procedure Go"}));

  // Functions only: the other branches stay empty.
  TfsXMLDocument f;
  FillDictionaryXML(&s, f.Root(), true);
  EXPECT_EQ(f.Root()->Items(0)->Count(), 1);
  EXPECT_EQ(f.Root()->Items(1)->Count(), 0);
  EXPECT_EQ(f.Root()->Items(4)->Count(), 0);
}

TEST(ScriptTools, ArgumentLists) {
  String longText(300, 'x');
  Variant a = VarArrayOf({Variant(7), Variant(longText), Variant(2.5), Variant(true), Variant(Int64(1) << 40),
                          Variant(4000000000u), Variant(short(-2))});
  TfsConstArgs args = VariantArrayToConstArgs(a);
  ASSERT_EQ(args.Count(), 7);
  EXPECT_EQ(args.Args()[1].VString.size(), 300u);  // kept whole
  EXPECT_EQ(Format("%s", std::vector<TVarRec>{args.Args()[1]}), longText);
  EXPECT_EQ(Format("%d %d %d", std::vector<TVarRec>{args.Args()[4], args.Args()[5], args.Args()[6]}),
            "1099511627776 4000000000 -2");
  EXPECT_EQ(args.Args()[3].VType, vtBoolean);
  // The texts live as long as the list, also after it is moved.
  TfsConstArgs moved = std::move(args);
  EXPECT_EQ(String(moved.Args()[1].VString), longText);
  FreeConstArgs(moved);
  EXPECT_EQ(moved.Count(), 0);

  EXPECT_EQ(VariantArrayToConstArgs(Variant(5)).Count(), 0);
  EXPECT_EQ(VarToStr(ConstArgToVariant(TVarRec('c'))), "c");
  EXPECT_EQ(ConstArgToVariant(TVarRec(Currency::FromDouble(1.25))).AsDouble(), 1.25);
  TComponent obj(nullptr);
  EXPECT_EQ(ObjectOf(ConstArgToVariant(TVarRec(static_cast<const void*>(&obj))).AsInteger()), &obj);
  EXPECT_EQ(VarType(ConstArgToVariant(TVarRec("s"))), varString);
}
