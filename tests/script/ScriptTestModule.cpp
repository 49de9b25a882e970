#include "ScriptTestModule.h"

#include "script/fs_iinterpreter.h"
#include "core/ClassBuilder.h"
#include "core/ObjectHandles.h"

KELM_PUBLISH(TTestObj) { Published(b); }
KELM_PUBLISH(TTestChild) { Published(b); }

std::vector<Variant>& ScriptTestEmitted() {
  static std::vector<Variant> v;
  return v;
}

std::vector<String>& ScriptTestCalls() {
  static std::vector<String> v;
  return v;
}

namespace {

void Record(const String& Name, TClass ClassType) {
  ScriptTestCalls().push_back(ClassType ? ClassType->Name() + "." + Name : Name);
}

Variant CallMethod(TObject* Instance, TClass ClassType, const String& Name, TfsMethodHelper* Caller) {
  Record(Name, ClassType);
  if (Name == "CREATE") {
    auto* owner = ObjectOf<TComponent>(Caller->ParamValue(0).AsInteger());
    return Variant(HandleOf(ClassType->Create(owner)));
  }
  if (Name == "FREE") {
    delete Instance;
    return Null();
  }
  auto* obj = static_cast<TTestObj*>(Instance);
  if (Name == "TWICE") return Variant(Caller->ParamValue(0).AsInteger() * 2);
  if (Name == "ITEMS.GET") return Variant(obj->Items[Caller->ParamValue(0).AsInteger()]);
  if (Name == "ITEMS.SET") {
    obj->Items[Caller->ParamValue(0).AsInteger()] = VarToStr(Caller->ParamValue(1));
    return Null();
  }
  return Null();
}

class TScriptTestModule : public TfsRTTIModule {
public:
  explicit TScriptTestModule(TfsScript* AScript) : TfsRTTIModule(AScript) {
    TfsScript* s = AScript;
    s->RegisterFunction("procedure Emit(v: Variant)",
                        [](TObject*, TClass, const String&, TfsMethodHelper* Caller) {
                          ScriptTestEmitted().push_back(Caller->ParamValue(0));
                          return Null();
                        },
                        "ctOther");

    // TObject, TPersistent and TComponent come from the classes module; the test classes'
    // own constructor and Free record their calls.
    TfsClassVariable* test = s->RegisterScriptClass(TTestObj::StaticClass(), "TComponent");
    test->RegisterConstructor("constructor Create(AOwner: TComponent)", CallMethod);
    test->RegisterMethod("procedure Free", CallMethod);
    test->RegisterMethod("function Twice(x: Integer): Integer", CallMethod);
    test->RegisterDefaultProperty("Items", "Integer", "String", CallMethod);
    // Hidden by the published Flag, which was imported first.
    test->RegisterProperty("Flag", "Integer", [](TObject*, TClass, const String&) { return Variant(-7); });
    s->RegisterScriptClass(TTestChild::StaticClass(), "TTestObj");
  }
};

}  // namespace

void RegisterScriptTestModule() {
  RegisterScriptModule("ScriptTestModule", fmrOther, [](TfsScript* s) { return new TScriptTestModule(s); });
}
