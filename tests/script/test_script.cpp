// The script component: its item list and lookups, registration, class members on objects,
// helpers, procedures, running and stopping, code lines, cleaning and modules.
#include "ScriptTestUtil.h"
#include "core/ObjectHandles.h"
#include "core/StackSpace.h"
#include "core/StrUtils.h"
#include "core/StringList.h"

namespace {

TfsCallMethod Answer(int Value) {
  return [Value](TObject*, TClass, const String&, TfsMethodHelper*) { return Variant(Value); };
}

// A script procedure with Variant parameters whose body is the given statements.
TfsProcVariable* AddProc(TfsScript* S, const String& Name, bool IsFunction, std::vector<String> ParamNames = {}) {
  auto* p = new TfsProcVariable(Name, tcVariant, IsFunction ? "Variant" : "", S, IsFunction);
  for (const String& n : ParamNames) {
    auto* item = new TfsParamItem(n, tcVariant, "Variant", false, false);
    p->AddProcParam(item);
  }
  S->PutItem(Name, p);
  return p;
}

void AddBody(TfsProcVariable* P, std::function<void()> Action, const String& Pos = "2:3") {
  P->LocalProgram()->MainStatement()->AddStatement(new TTestStmt(P->LocalProgram(), Pos, std::move(Action)));
}

// The member of a class, ready to be used on an object.
template <class H = TfsCustomHelper> H* Member(TfsScript* S, const String& Cls, const String& Name, TObject* Obj) {
  TfsClassVariable* c = S->LookupClass(Cls);
  EXPECT_NE(c, nullptr) << Cls;
  auto* m = dynamic_cast<H*>(c->FindMember(Name));
  EXPECT_NE(m, nullptr) << Cls << "." << Name;
  m->SetPrecedingItem(c);
  m->SetPrecedingValue(Obj ? Variant(HandleOf(Obj)) : Null());
  return m;
}

}  // namespace

// ---------------------------------------------------------------- items and lookups

TEST(ScriptItems, TheNewestOfANameIsFoundThroughTheParents) {
  TfsScript parent(nullptr), child(nullptr);
  child.SetParentScript(&parent);
  TfsMethodHelper* older = parent.RegisterFunction("function F: Integer", Answer(1));
  TfsMethodHelper* newer = parent.RegisterFunction("function f: Integer", Answer(2));
  EXPECT_NE(older, newer);
  EXPECT_EQ(child.LookupName("F"), newer);
  EXPECT_EQ(child.LookupLocalName("F"), nullptr);
  EXPECT_EQ(newer->Description(), "f");

  parent.RegisterConst("Limit", "Integer", Variant(1));
  child.RegisterConst("LIMIT", "Integer", Variant(2));  // exists in the parent: nothing added
  EXPECT_EQ(child.LookupLocalName("limit"), nullptr);
  EXPECT_EQ(child.LookupName("limit")->FetchValue().AsInteger(), 1);

  // Names fold by the user's locale, not only ASCII.
  parent.RegisterVariable("Äpfel", "Integer", Variant(3));
  ASSERT_NE(child.LookupName("äPFEL"), nullptr);
  EXPECT_EQ(child.LookupName("äPFEL")->Name(), "Äpfel");

  // The list is sorted by folded name.
  for (int i = 1; i < parent.ItemCount(); ++i)
    EXPECT_LE(AnsiUpperCase(parent.ItemName(i - 1)), AnsiUpperCase(parent.ItemName(i)));

  // Taken out, not freed.
  parent.RemoveItem(newer);
  EXPECT_EQ(child.LookupName("F"), older);
  delete newer;

  // A local of a procedure hides a global of the same name; other names come from the parent.
  TfsProcVariable* proc = AddProc(&parent, "P", false, {"Limit"});
  EXPECT_EQ(proc->LocalProgram()->LookupName("limit"), proc->Params(0));
  EXPECT_EQ(proc->LocalProgram()->LookupName("Äpfel"), parent.LookupName("Äpfel"));
}

TEST(ScriptItems, TypesConstantsVariablesObjectsAndEnumerations) {
  auto s = NewTestScript();
  s->RegisterType("Integer", tcString);  // exists: ignored
  EXPECT_EQ(s->LookupName("Integer")->TypeCode(), tcInteger);

  s->RegisterConst("Max", "Integer", Variant(10));
  TfsCustomVariable* max = s->LookupName("Max");
  max->StoreValue(Variant(11));  // a constant: ignored, no error
  EXPECT_EQ(max->FetchValue().AsInteger(), 10);
  EXPECT_EQ(max->TypeCode(), tcInteger);
  s->RegisterVariable("V", "String", Variant("a"));
  s->LookupName("V")->StoreValue(Variant("b"));
  EXPECT_EQ(VarToStr(s->LookupName("v")->FetchValue()), "b");

  TTestObj obj(nullptr);
  s->RegisterObject("Obj", &obj);
  TfsCustomVariable* o = s->LookupName("Obj");
  EXPECT_EQ(o->TypeName(), "TTestObj");
  EXPECT_EQ(o->TypeCode(), tcClass);
  EXPECT_EQ(ObjectOf(o->FetchValue().AsInteger()), &obj);

  // A string variable keeps text of its own, converting whatever is stored.
  TfsStringVariable str("S", tcString, "String");
  str.SetReadOnly(true);  // never refused
  str.StoreValue(Variant(12));
  EXPECT_EQ(VarType(str.FetchValue()), varString);
  EXPECT_EQ(str.Str(), "12");
  str.SetInitialValue(Variant("init"));
  str.StoreValue(Null());
  EXPECT_EQ(str.Str(), "");
  str.Reset();
  EXPECT_EQ(str.Str(), "init");

  s->RegisterEnum("TFoo", "fA, fB");
  s->RegisterEnumSet("TFooSet", "sA,sB, sC");
  struct Case {
    const char* Name;
    int Value;
  } cases[] = {{"fA", 0}, {"fB", 1}, {"sA", 1}, {"sB", 2}, {"sC", 4}};
  for (const Case& c : cases) {
    TfsCustomVariable* v = s->LookupName(c.Name);
    ASSERT_NE(v, nullptr) << c.Name;
    EXPECT_EQ(v->FetchValue().AsInteger(), c.Value) << c.Name;
    EXPECT_TRUE(v->ReadOnly()) << c.Name;
    EXPECT_EQ(v->TypeCode(), tcEnum) << c.Name;
  }
  EXPECT_EQ(s->LookupName("fB")->TypeName(), "TFoo");
  EXPECT_EQ(s->LookupName("TFoo")->TypeCode(), tcEnum);
  EXPECT_EQ(s->LookupName("TFoo")->TypeName(), "TFoo");
}

// ---------------------------------------------------------------- classes and members

TEST(ScriptClasses, RegistrationInheritanceAndMemberLookup) {
  auto s = NewTestScript();
  EXPECT_EQ(s->RegisterScriptClass(TTestObj::StaticClass(), "TComponent"), nullptr);  // twice: nil

  TfsClassVariable* obj = s->LookupClass("TTestObj");
  TfsClassVariable* child = s->LookupClass("ttestchild");
  ASSERT_TRUE(obj && child);
  EXPECT_EQ(child->TypeCode(), tcClass);
  EXPECT_EQ(child->TypeName(), "TTestChild");
  // The default property is taken over from the registered ancestor.
  ASSERT_NE(obj->DefaultProperty(), nullptr);
  EXPECT_EQ(child->DefaultProperty(), obj->DefaultProperty());
  // Members are found in the ancestors, ignoring case.
  EXPECT_EQ(child->FindMember("twice"), obj->FindMember("Twice"));
  EXPECT_NE(child->FindMember("Create"), nullptr);
  EXPECT_EQ(child->FindMember("NoSuch"), nullptr);
  // The published Flag hides the Flag a module registered afterwards.
  auto* flag = dynamic_cast<TfsPropertyHelper*>(obj->FindMember("flag"));
  ASSERT_NE(flag, nullptr);
  EXPECT_TRUE(flag->Published());
  EXPECT_EQ(flag->TypeCode(), tcBoolean);
  // The descendant's own published property comes first; events are not imported.
  EXPECT_EQ(child->Members(0)->Name(), "Caption");
  EXPECT_NE(child->FindMember("Extra"), nullptr);
  EXPECT_EQ(s->LookupClass("Integer"), nullptr);
}

TEST(ScriptClasses, PublishedPropertiesReadAndWriteByKind) {
  auto s = NewTestScript();
  TTestChild obj(nullptr);
  obj.SetName("Obj1");
  obj.SetTag(5);
  obj.SetFlag(true);
  auto* caption = Member(s.get(), "TTestChild", "Caption", &obj);
  caption->StoreValue(Variant("hello"));
  EXPECT_EQ(obj.Caption(), "hello");
  EXPECT_EQ(VarToStr(caption->FetchValue()), "hello");

  Variant flag = Member(s.get(), "TTestChild", "Flag", &obj)->FetchValue();
  EXPECT_EQ(VarType(flag), varBoolean);  // a Boolean, not 0 or 1
  EXPECT_TRUE(flag.AsBoolean());
  Member(s.get(), "TTestChild", "Flag", &obj)->StoreValue(Variant(false));
  EXPECT_FALSE(obj.Flag());
  EXPECT_EQ(Member(s.get(), "TTestChild", "Tag", &obj)->FetchValue().AsInteger(), 5);
  Member(s.get(), "TTestChild", "Extra", &obj)->StoreValue(Variant("42"));  // converted
  EXPECT_EQ(obj.Extra(), 42);
  EXPECT_EQ(VarToStr(Member(s.get(), "TTestChild", "Name", &obj)->FetchValue()), "Obj1");
}

TEST(ScriptClasses, RegisteredPropertiesCallTheirGetterAndSetter) {
  auto s = NewTestScript();
  TfsClassVariable* cls = s->LookupClass("TTestChild");
  std::vector<String> calls;
  int stored = 0;
  cls->RegisterProperty(
      "Computed", "Integer",
      [&](TObject* Instance, TClass Cls, const String& Name) {
        calls.push_back(Cls->Name() + "." + Name);
        return Variant(static_cast<TTestChild*>(Instance)->Extra() + 1);
      },
      [&](TObject*, TClass, const String& Name, const Variant& V) {
        calls.push_back(Name + "=" + VarToStr(V));
        stored = V.AsInteger();
      });
  cls->RegisterProperty("Lit", "Boolean", [](TObject*, TClass, const String&) { return Variant(5); });
  TTestChild obj(nullptr);
  obj.SetExtra(41);
  EXPECT_EQ(Member(s.get(), "TTestChild", "computed", &obj)->FetchValue().AsInteger(), 42);
  Member(s.get(), "TTestChild", "Computed", &obj)->StoreValue(Variant(7));
  EXPECT_EQ(stored, 7);
  EXPECT_EQ(calls, (std::vector<String>{"TTestChild.COMPUTED", "COMPUTED=7"}));

  auto* lit = Member(s.get(), "TTestChild", "Lit", &obj);
  EXPECT_TRUE(lit->ReadOnly());  // no setter
  lit->StoreValue(Variant(false));
  Variant v = lit->FetchValue();
  EXPECT_EQ(VarType(v), varBoolean);  // 5 read through a Boolean property is True
  EXPECT_TRUE(v.AsBoolean());
  EXPECT_EQ(ErrorText([&] { Member(s.get(), "TTestChild", "Computed", nullptr)->FetchValue(); }),
            "Invalid pointer operation");
  EXPECT_EQ(calls.size(), 2u);
}

TEST(ScriptClasses, MethodsAndIndexProperties) {
  auto s = NewTestScript();
  TTestChild obj(nullptr);
  ScriptTestCalls().clear();
  auto* twice = Member<TfsMethodHelper>(s.get(), "TTestChild", "Twice", &obj);
  twice->Params(0)->StoreValue(Variant(21));
  EXPECT_EQ(twice->FetchValue().AsInteger(), 42);
  EXPECT_EQ(ScriptTestCalls().back(), "TTestObj.TWICE");

  auto* items = static_cast<TfsMethodHelper*>(s->LookupClass("TTestChild")->DefaultProperty());
  items->SetPrecedingValue(Variant(HandleOf(&obj)));
  items->Params(0)->StoreValue(Variant(3));
  items->StoreValue(Variant("three"));  // ".SET": ParamValue(1) is the assigned value
  EXPECT_EQ(obj.Items[3], "three");
  EXPECT_EQ(ScriptTestCalls().back(), "TTestObj.ITEMS.SET");
  EXPECT_TRUE(VarIsNull(items->AssignedValue()));
  EXPECT_EQ(VarToStr(items->FetchValue()), "three");
  EXPECT_EQ(ScriptTestCalls().back(), "TTestObj.ITEMS.GET");

  // A method is no index property: storing does nothing.
  twice->StoreValue(Variant(1));
  EXPECT_EQ(ScriptTestCalls().back(), "TTestObj.ITEMS.GET");
}

TEST(ScriptClasses, NilAndFreedInstances) {
  auto s = NewTestScript();
  ScriptTestCalls().clear();
  auto* twice = Member<TfsMethodHelper>(s.get(), "TTestObj", "Twice", nullptr);
  EXPECT_EQ(ErrorText([&] { twice->FetchValue(); }), "Invalid pointer operation");
  EXPECT_TRUE(ScriptTestCalls().empty());  // before the call-back

  // A freed object's handle leads nowhere: the same error, no access to freed memory.
  auto* obj = new TTestObj(nullptr);
  Integer h = HandleOf(obj);
  delete obj;
  EXPECT_EQ(ObjectOf(h), nullptr);
  twice->SetPrecedingValue(Variant(h));
  EXPECT_EQ(ErrorText([&] { twice->FetchValue(); }), "Invalid pointer operation");

  EXPECT_TRUE(VarIsNull(Member(s.get(), "TTestObj", "Caption", nullptr)->FetchValue()));  // published read
  EXPECT_EQ(ErrorText([&] { Member(s.get(), "TTestObj", "Caption", nullptr)->StoreValue(Variant("x")); }),
            "Invalid pointer operation");
  EXPECT_EQ(ErrorText([&] { Member(s.get(), "TTestObj", "Items", nullptr)->FetchValue(); }),
            "Invalid pointer operation");
  // Free on nil does nothing.
  EXPECT_TRUE(VarIsNull(Member(s.get(), "TTestObj", "Free", nullptr)->FetchValue()));
  EXPECT_TRUE(ScriptTestCalls().empty());
}

TEST(ScriptClasses, ClassesAsValuesAndConstructors) {
  auto s = NewTestScript();
  TfsClassVariable* child = s->LookupClass("TTestChild");
  int before = ObjectHandleCount();
  EXPECT_EQ(child->FetchValue().AsInteger(), 0);  // nil, nothing allocated
  EXPECT_EQ(ObjectHandleCount(), before);
  // A typecast answers its argument unchanged, once.
  child->CastParam()->StoreValue(Variant(1234));
  EXPECT_EQ(child->FetchValue().AsInteger(), 1234);
  EXPECT_EQ(child->FetchValue().AsInteger(), 0);

  // TTestChild.Create: the constructor registered on TObject creates the class named.
  ScriptTestCalls().clear();
  auto* create = dynamic_cast<TfsMethodHelper*>(child->FindMember("Create"));
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(create->TypeCode(), tcConstructor);
  TComponent owner(nullptr);
  create->SetPrecedingItem(child);
  create->SetPrecedingValue(child->FetchValue());
  create->Params(0)->StoreValue(Variant(HandleOf(&owner)));
  Integer h = create->FetchValue().AsInteger();
  auto* made = ObjectOf<TTestChild>(h);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Owner(), &owner);
  EXPECT_EQ(ScriptTestCalls(), (std::vector<String>{"TTestChild.CREATE"}));
  // Free through the script frees it.
  Member(s.get(), "TTestChild", "Free", made)->FetchValue();
  EXPECT_EQ(ObjectOf(h), nullptr);
}

// ---------------------------------------------------------------- helpers

TEST(ScriptHelpers, StringHelperReadsAndWritesCharacters) {
  auto s = NewTestScript();
  TTestObj obj(nullptr);
  obj.SetCaption("a中c");
  auto* caption = Member(s.get(), "TTestObj", "Caption", &obj);
  TfsStringHelper h;
  h.SetPrecedingItem(caption);
  h.SetPrecedingValue(caption->FetchValue());
  h.Params(0)->StoreValue(Variant(2));
  EXPECT_EQ(VarToStr(h.FetchValue()), "中");
  h.StoreValue(Variant("XY"));  // the first character replaces the second
  EXPECT_EQ(obj.Caption(), "aXc");  // the whole string written back
  for (int bad : {0, 4, -1}) {
    h.Params(0)->StoreValue(Variant(bad));
    EXPECT_EQ(ErrorText([&] { h.FetchValue(); }), "Range check error") << bad;
    EXPECT_EQ(ErrorText([&] { h.StoreValue(Variant("z")); }), "Range check error") << bad;
  }
}

TEST(ScriptHelpers, ArrayHelperIndexesTheVariablesArrayInPlace) {
  TfsVariable grid("Grid", tcArray, "Array");
  grid.SetInitialValue(VarArrayCreate({0, 2, 1, 3}, varVariant));
  TfsArrayHelper h("__ArrayHelper", 3, 1, tcVariant, "Variant");
  h.SetPrecedingItem(&grid);
  h.Params(0)->StoreValue(Variant(2));
  h.Params(1)->StoreValue(Variant(3));
  h.StoreValue(Variant("x"));
  EXPECT_EQ(VarToStr(grid.RawValue().GetElement({2, 3})), "x");
  EXPECT_EQ(VarToStr(h.FetchValue()), "x");
  h.Params(0)->StoreValue(Variant(3));
  EXPECT_THROW(h.FetchValue(), EVariantBadIndexError);
  EXPECT_THROW(h.StoreValue(Variant(1)), EVariantBadIndexError);

  TfsVariable scalar("S", tcVariant, "Variant");
  scalar.SetInitialValue(Variant(5));
  h.SetPrecedingItem(&scalar);
  EXPECT_TRUE(VarIsNull(h.FetchValue()));
  h.StoreValue(Variant(1));  // nothing written
  EXPECT_EQ(scalar.FetchValue().AsInteger(), 5);
}

TEST(ScriptHelpers, FunctionCallBacksAndVarParameters) {
  TfsScript s(nullptr);
  s.RegisterType("Integer", tcInteger);
  // Array style: var parameters are written back from the array.
  TfsMethodHelper* swap = s.RegisterFunctionVarArray(
      "procedure Swap(var a, b: Integer)", [](TObject* Instance, TClass Cls, const String& Name, Variant& P) {
        EXPECT_EQ(Instance, nullptr);
        EXPECT_EQ(Cls, nullptr);
        EXPECT_EQ(Name, "SWAP");
        Variant t = P.GetElement({0});
        P.PutElement({0}, P.GetElement({1}));
        P.PutElement({1}, t);
        return Null();
      });
  swap->Params(0)->StoreValue(Variant(1));
  swap->Params(1)->StoreValue(Variant(2));
  swap->FetchValue();
  EXPECT_EQ(swap->Params(0)->FetchValue().AsInteger(), 2);
  EXPECT_EQ(swap->Params(1)->FetchValue().AsInteger(), 1);
  // Method style: SetParamValue.
  TfsMethodHelper* inc = s.RegisterFunction(
      "procedure Inc(var i: Integer; incr: Integer = 1)", [](TObject*, TClass, const String&, TfsMethodHelper* C) {
        C->SetParamValue(0, Variant(C->ParamValue(0).AsInteger() + C->ParamValue(1).AsInteger()));
        return Null();
      });
  inc->Params(0)->StoreValue(Variant(5));
  inc->Params(1)->StoreValue(inc->Params(1)->DefaultValue());
  inc->FetchValue();
  EXPECT_EQ(inc->Params(0)->FetchValue().AsInteger(), 6);
  // Array style without parameters gets an empty array.
  TfsMethodHelper* noArgs = s.RegisterFunctionVarArray("function NoArgs: Integer",
                                                       [](TObject*, TClass, const String&, Variant& P) {
                                                         return Variant(VarArrayHighBound(P, 1) + 1);
                                                       });
  EXPECT_EQ(noArgs->FetchValue().AsInteger(), 0);
  // No call-back: 0. Functions are read-only.
  TfsMethodHelper* none = s.RegisterFunction("function None: Integer", nullptr);
  EXPECT_EQ(none->FetchValue().AsInteger(), 0);
  EXPECT_TRUE(none->ReadOnly());
}

// ---------------------------------------------------------------- procedures

TEST(ScriptProcedures, EveryCallStartsFromTheInitialValues) {
  TfsScript s(nullptr);
  TfsProcVariable* f = AddProc(&s, "F", true, {"x"});
  auto* local = new TfsVariable("L", tcVariant, "Variant");
  f->LocalProgram()->PutItem("L", local);
  std::vector<String> seen;
  AddBody(f, [&] {
    TfsScript* lp = f->LocalProgram();
    seen.push_back(VarToStr(lp->LookupName("Result")->FetchValue()) + "/" + VarToStr(lp->LookupName("L")->FetchValue()));
    lp->LookupName("L")->StoreValue(Variant("set"));
    if (f->Params(0)->FetchValue().AsInteger() > 0) lp->LookupName("Result")->StoreValue(Variant("r"));
    EXPECT_TRUE(f->Executing());
  });
  f->Params(0)->StoreValue(Variant(1));
  EXPECT_EQ(VarToStr(f->FetchValue()), "r");
  f->Params(0)->StoreValue(Variant(0));
  EXPECT_TRUE(VarIsNull(f->FetchValue()));  // Result not assigned: not the last call's
  EXPECT_EQ(seen, (std::vector<String>{"/", "/"}));
  EXPECT_FALSE(f->Executing());
}

TEST(ScriptProcedures, TheActiveLocalProgramIsRestoredOnEveryWayOut) {
  TfsScript s(nullptr);
  TfsProcVariable* inner = AddProc(&s, "Inner", false);
  TfsProcVariable* outer = AddProc(&s, "Outer", false);
  TfsScript* seenInInner = nullptr;
  AddBody(inner, [&] {
    seenInInner = s.ActiveLocalProgram();
    throw Exception("boom");
  });
  AddBody(outer, [&] {
    EXPECT_EQ(s.ActiveLocalProgram(), outer->LocalProgram());
    EXPECT_EQ(ErrorText([&] { inner->FetchValue(); }), "boom");
    EXPECT_EQ(s.ActiveLocalProgram(), outer->LocalProgram());  // back after the error
  });
  s.MainStatement()->AddStatement(new TTestStmt(&s, "1:1", [&] { outer->FetchValue(); }));
  s.RunProgram();
  EXPECT_EQ(seenInInner, inner->LocalProgram());
  EXPECT_EQ(s.ActiveLocalProgram(), nullptr);
  EXPECT_FALSE(inner->LocalProgram()->Running());
}

TEST(ScriptProcedures, RunawayRecursionEndsAsStackOverflow) {
  TfsScript s(nullptr);
  TfsProcVariable* p = AddProc(&s, "P", false);
  AddBody(p, [&] { p->FetchValue(); });
  EXPECT_EQ(ErrorText([&] { p->FetchValue(); }), "Stack overflow");
  EXPECT_FALSE(p->Executing());
}

TEST(ScriptProcedures, InvokeFunctionByName) {
  TfsScript parent(nullptr);
  TfsScript s(nullptr);
  s.SetParentScript(&parent);
  AddProc(&parent, "InParent", true);
  s.RegisterFunction("function Registered: Integer", Answer(9));
  TfsProcVariable* f = AddProc(&s, "F", true, {"a", "b"});
  f->Params(1)->SetDefaultValue(Variant(10));
  std::vector<String> calls;
  AddBody(f, [&] {
    calls.push_back(VarToStr(f->Params(0)->FetchValue()) + "," + VarToStr(f->Params(1)->FetchValue()));
    f->Params(0)->StoreValue(Variant("out"));
    f->ResultVariable()->StoreValue(Variant(7));
  });

  EXPECT_EQ(s.InvokeFunction("f", VarArrayOf({Variant(1), Variant(2), Variant(3)})).AsInteger(), 7);  // surplus dropped
  s.InvokeFunction("F", VarArrayOf({Variant(4)}));  // b takes its default
  s.InvokeFunction("F", Variant(5));                // no array: a is Null, not the last value
  EXPECT_EQ(calls, (std::vector<String>{"1,2", "4,10", ",10"}));

  Variant args = VarArrayOf({Variant("in"), Variant(0)});
  s.InvokeFunctionVarParams("F", args);
  EXPECT_EQ(VarToStr(args.GetElement({0})), "out");
  EXPECT_EQ(args.GetElement({1}).AsInteger(), 0);

  EXPECT_TRUE(VarIsNull(s.InvokeFunction("Registered", Null())));  // no script procedure
  EXPECT_TRUE(VarIsNull(s.InvokeFunction("InParent", Null())));    // not of this script
  EXPECT_TRUE(VarIsNull(s.InvokeFunction("Missing", Null())));
}

// ---------------------------------------------------------------- running

TEST(ScriptRun, RunLinesGoToTheFirstHandlerUpTheChain) {
  TfsScript parent(nullptr);
  TfsScript s(nullptr);
  s.SetParentScript(&parent);
  std::vector<String> lines;
  TfsScript* sender = nullptr;
  parent.SetOnRunLine(TfsRunLineEvent::Lambda([&](TfsScript* Sender, const String& Unit, const String& Pos) {
    sender = Sender;
    lines.push_back(Unit + "@" + Pos);
  }));
  TfsProcVariable* p = AddProc(&s, "P", false);
  AddBody(p, [] {}, "5:3");
  s.MainStatement()->AddStatement(new TTestStmt(&s, "1:1", [&] { p->FetchValue(); }));
  s.RunProgram();
  EXPECT_EQ(lines, (std::vector<String>{"@1:1", "@5:3"}));
  EXPECT_EQ(sender, p->LocalProgram());  // the script the statement belongs to
  EXPECT_TRUE(s.RunRoot());
  EXPECT_FALSE(s.Running());
}

TEST(ScriptRun, StopFromTheRunLineHookEndsTheRunNormally) {
  TfsScript s(nullptr);
  TfsProcVariable* p = AddProc(&s, "P", false);
  std::vector<String> acted;
  AddBody(p, [&] { acted.push_back("p1"); }, "10:1");
  AddBody(p, [&] { acted.push_back("p2"); }, "11:1");
  s.MainStatement()->AddStatement(new TTestStmt(&s, "1:1", [&] { acted.push_back("m1"); }));
  s.MainStatement()->AddStatement(new TTestStmt(&s, "2:1", [&] { p->FetchValue(); acted.push_back("m2"); }));
  s.MainStatement()->AddStatement(new TTestStmt(&s, "3:1", [&] { acted.push_back("m3"); }));
  s.SetOnRunLine(TfsRunLineEvent::Lambda([&](TfsScript*, const String&, const String& Pos) {
    if (Pos == "10:1") s.StopRun();
  }));
  s.RunProgram();
  // The statement that reported 10:1 did not act, nor anything after it.
  EXPECT_EQ(acted, (std::vector<String>{"m1", "m2"}));
  EXPECT_FALSE(s.StopRequested());
  EXPECT_FALSE(s.ExitRequested());

  // A new run runs again; a procedure entered later clears its own flags.
  acted.clear();
  s.SetOnRunLine(nullptr);
  s.RunProgram();
  EXPECT_EQ(acted, (std::vector<String>{"m1", "p1", "p2", "m2", "m3"}));
}

TEST(ScriptRun, AnErrorLeavesRunProgramWithTheFlagsCleared) {
  TfsScript s(nullptr);
  s.MainStatement()->AddStatement(new TTestStmt(&s, "1:1", [] { throw EConvertError("bad"); }));
  EXPECT_THROW(s.RunProgram(), EConvertError);
  EXPECT_FALSE(s.Running());
  EXPECT_FALSE(s.ExitRequested());
  EXPECT_TRUE(s.RunRoot());
}

TEST(ScriptRun, CodeLines) {
  TfsScript s(nullptr);
  TStringList src;
  src.Add("begin");
  s.SetLines(&src);
  EXPECT_EQ(s.Lines()->Count(), 1);
  s.SetLines(nullptr);
  EXPECT_EQ(s.Lines()->Count(), 0);
  EXPECT_EQ(s.SyntaxType(), "PascalScript");
  s.MarkCodeLine("", "3:5");
  s.MarkCodeLine("", "3:9");
  s.MarkCodeLine("", "13:1");
  s.MarkCodeLine("Lib", "1:1");
  EXPECT_EQ(s.CodeLines()->Count(), 2);
  EXPECT_EQ((*s.CodeLines())[0], "=3,13,");
  EXPECT_TRUE(s.IsCodeLine("", 3));
  EXPECT_TRUE(s.IsCodeLine("", 13));
  EXPECT_FALSE(s.IsCodeLine("", 1));   // 1 is no entry, though "13" holds the digit
  EXPECT_TRUE(s.IsCodeLine("lib", 1));
  EXPECT_FALSE(s.IsCodeLine("Other", 3));
  // Marks after the list was read go on in the same entries, each line once.
  s.MarkCodeLine("", "13:2");
  s.MarkCodeLine("LIB", "7:2");
  s.MarkCodeLine("", "20:1");
  s.MarkCodeLine("", "20:4");
  EXPECT_TRUE(s.IsCodeLine("", 20));
  EXPECT_EQ(s.CodeLines()->CommaText(), "\"=3,13,20,\",\"Lib=1,7,\"");
  s.CodeLines()->SetStrings(0, "=5,");
  s.MarkCodeLine("", "5:1");
  s.MarkCodeLine("", "6:1");
  EXPECT_EQ((*s.CodeLines())[0], "=5,6,");
}

// ---------------------------------------------------------------- cleaning and modules

TEST(ScriptModules, CleaningByOwnerTagKeepsTheModules) {
  auto s = NewTestScript();
  const TfsOwnerTag report = 4242;
  s->SetOwnerTag(report);
  s->RegisterVariable("ReportVar", "Integer", Variant(1));
  s->SetOwnerTag(0);
  s->RegisterVariable("ScriptVar", "Integer", Variant(2));
  s->MainStatement()->AddStatement(new TTestStmt(s.get(), "1:1", [] {}));
  s->MarkCodeLine("", "1:1");
  s->SetCompileError("err", "1:1", "");

  s->DropOwnerItems(report);
  EXPECT_EQ(s->LookupName("ReportVar"), nullptr);
  EXPECT_NE(s->LookupName("ScriptVar"), nullptr);
  EXPECT_NE(s->LookupName("Emit"), nullptr);
  EXPECT_EQ(s->MainStatement()->StatementCount(), 0);
  EXPECT_EQ(s->CodeLines()->Count(), 0);
  EXPECT_EQ(s->CompileError(), "err");

  s->DiscardProgram();
  EXPECT_EQ(s->LookupName("ScriptVar"), nullptr);
  EXPECT_NE(s->LookupName("Emit"), nullptr);
  EXPECT_NE(s->LookupClass("TTestObj"), nullptr);
  EXPECT_EQ(s->CompileError(), "");
  EXPECT_EQ(s->LookupName("Emit")->OwnerTag(), fsModuleOwnerTag);

  s->UninstallModules();
  EXPECT_EQ(s->LookupName("Emit"), nullptr);
  EXPECT_EQ(s->ItemCount(), 0);
  EXPECT_FALSE(s->ModulesInstalled());
}

namespace {

std::vector<String> gOrder;

class TOrderModule : public TfsRTTIModule {
public:
  TOrderModule(TfsScript* S, const String& Name) : TfsRTTIModule(S) {
    gOrder.push_back(Name);
    S->RegisterVariable("Shared", "Integer", Variant(Name));  // the first module's value stays
  }
};

}  // namespace

TEST(ScriptModules, ModulesInstallOnceInRankOrder) {
  auto module = [](const char* Name) {
    return [Name](TfsScript* S) { return new TOrderModule(S, Name); };
  };
  RegisterScriptModule("OrderForms", fmrForms, module("forms"));
  RegisterScriptModule("OrderSystem", fmrSystem, module("system"));
  RegisterScriptModule("OrderClasses", fmrClasses, module("classes"));
  RegisterScriptModule("OrderSystem", fmrSystem, module("system2"));  // replaced in place
  gOrder.clear();
  {
    TfsScript s(nullptr);
    s.InstallModules();
    s.InstallModules();
    EXPECT_EQ(VarToStr(s.LookupName("Shared")->FetchValue()), "system2");
    EXPECT_TRUE(s.ModulesInstalled());
    EXPECT_EQ(s.OwnerTag(), 0);
  }
  UnregisterScriptModule("OrderForms");
  UnregisterScriptModule("OrderSystem");
  UnregisterScriptModule("OrderClasses");
  EXPECT_EQ(gOrder, (std::vector<String>{"system2", "classes", "forms"}));
}

TEST(ScriptModules, TheTestModuleServesEmit) {
  auto s = NewTestScript();
  ScriptTestEmitted().clear();
  auto* emit = dynamic_cast<TfsMethodHelper*>(s->LookupName("emit"));
  ASSERT_NE(emit, nullptr);
  emit->Params(0)->StoreValue(Variant("hi"));
  emit->FetchValue();
  ASSERT_EQ(ScriptTestEmitted().size(), 1u);
  EXPECT_EQ(VarToStr(ScriptTestEmitted()[0]), "hi");
  EXPECT_EQ(emit->Category(), "ctOther");
}
