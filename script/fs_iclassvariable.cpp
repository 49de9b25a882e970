// Classes made visible to scripts.
#include "script/fs_iclassvariable.h"

#include "script/fs_iscript.h"
#include "script/fs_itools.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/TypInfo.h"

#include <algorithm>
#include <cassert>

namespace {

struct TKindCode {
  TfsTypeCode Code;
  String TypeName;
};

// The type code and type name of a published property, by its kind.
TKindCode KindCode(const TPropInfo& p) {
  switch (p.Kind) {
    case tkChar: case tkWChar:
      return {tcChar, String()};
    case tkEnumeration: {
      String name = p.Enum ? p.Enum->Name() : p.TypeName;
      bool boolean = SameText(name, "Boolean") || SameText(name, "bool");
      return {boolean ? tcBoolean : tcEnum, name};
    }
    case tkFloat:
      return {tcFloat, String()};
    case tkString: case tkLString: case tkWString:
      return {tcString, String()};
    case tkSet:
      return {tcEnum, p.TypeName};
    case tkClass: {
      TClass cls = p.PropClass();
      return {tcClass, cls ? cls->Name() : p.TypeName};
    }
    case tkVariant:
      return {tcVariant, String()};
    default:
      return {tcInteger, String()};
  }
}

}  // namespace

TfsClassVariable::TfsClassVariable(TClass AClassRef, const String& AAncestorName, TfsScript* AScript)
    : TfsCustomVariable(AClassRef->Name(), tcClass, AClassRef->Name()),
      FClassRef(AClassRef),
      FAncestorName(AAncestorName),
      FScript(AScript) {
  AddParam(new TfsParamItem(String(), tcVariant, String(), true, false));
}

TfsClassVariable::~TfsClassVariable() {
  for (TfsCustomHelper* m : FMembers) delete m;
}

Variant TfsClassVariable::FetchValue() {
  TfsParamItem* cast = CastParam();
  Variant v = cast->RawValue();
  cast->RawValue() = Null();
  if (!VarIsNull(v)) return v;
  return Variant(0);
}

TfsCustomHelper* TfsClassVariable::FindMember(const String& AName) const {
  const TfsClassVariable* cls = this;
  // The chain is walked with a bound: a class named as its own ancestor must not loop.
  for (int depth = 0; cls && depth < 256; ++depth) {
    cls->ImportPublished();
    for (TfsCustomHelper* m : cls->FMembers)
      if (SameText(m->Name(), AName)) return m;
    if (cls->FAncestorName.empty() || !FScript) break;
    TfsClassVariable* up = FScript->LookupClass(cls->FAncestorName);
    if (up == cls) break;
    cls = up;
  }
  return nullptr;
}

void TfsClassVariable::AddMember(TfsCustomHelper* Member) { FMembers.push_back(Member); }

void TfsClassVariable::ImportPublishedProps() {
  FImported = true;
  std::vector<const TPropInfo*> props;
  for (const TPropInfo* p : FClassRef->Properties())
    if (p->Kind != tkMethod) props.push_back(p);
  std::stable_sort(props.begin(), props.end(),
                   [](const TPropInfo* a, const TPropInfo* b) { return CompareText(a->Name, b->Name) < 0; });
  std::vector<TfsCustomHelper*> published;
  published.reserve(props.size());
  for (const TPropInfo* p : props) {
    TKindCode kc = KindCode(*p);
    auto* helper = new TfsPropertyHelper(p->Name, kc.Code, kc.TypeName, FClassRef);
    helper->SetPropInfo(p);
    helper->SetReadOnly(!p->Writable());
    published.push_back(helper);
  }
  FMembers.insert(FMembers.begin(), published.begin(), published.end());
}

TfsMethodHelper* TfsClassVariable::RegisterMethod(const String& Signature, TfsCallMethod CallBack) {
  auto* m = new TfsMethodHelper(Signature, FScript);
  m->SetOnCall(std::move(CallBack));
  m->SetClassRef(FClassRef);
  AddMember(m);
  return m;
}

TfsMethodHelper* TfsClassVariable::RegisterConstructor(const String& Signature, TfsCallMethod CallBack) {
  // Drop the first word ("constructor"), keep the rest as a function of type Constructor.
  String rest = Trim(Signature);
  std::size_t blank = rest.find_first_of(" \t");
  rest = blank == String::npos ? String() : Trim(rest.substr(blank));
  return RegisterMethod("function " + rest + ": Constructor", std::move(CallBack));
}

TfsPropertyHelper* TfsClassVariable::RegisterProperty(const String& AName, const String& ATypeName,
                                                      TfsGetValue Getter, TfsSetValue Setter) {
  auto* p = new TfsPropertyHelper(AName, TypeCodeOfName(ATypeName, FScript), ATypeName, FClassRef);
  p->SetReadOnly(!Setter);
  p->SetOnGetValue(std::move(Getter));
  p->SetOnSetValue(std::move(Setter));
  AddMember(p);
  return p;
}

TfsMethodHelper* TfsClassVariable::RegisterIndexProperty(const String& AName, const String& ParamTypes,
                                                         const String& ResultType, TfsCallMethod CallBack,
                                                         bool AReadOnly) {
  String params;
  std::vector<String> types = SplitTrimmed(ParamTypes, ',');
  for (std::size_t i = 0; i < types.size(); ++i) {
    if (i > 0) params += "; ";
    params += "p" + IntToStr(static_cast<Int64>(i)) + ": " + types[i];
  }
  TfsMethodHelper* m = RegisterMethod("function " + AName + "(" + params + "): " + ResultType, std::move(CallBack));
  m->SetReadOnly(AReadOnly);
  m->SetIndexMethod(true);
  return m;
}

TfsMethodHelper* TfsClassVariable::RegisterDefaultProperty(const String& AName, const String& ParamTypes,
                                                           const String& ResultType, TfsCallMethod CallBack,
                                                           bool AReadOnly) {
  TfsMethodHelper* m = RegisterIndexProperty(AName, ParamTypes, ResultType, std::move(CallBack), AReadOnly);
  FDefaultProperty = m;
  return m;
}

TfsEventHelper* TfsClassVariable::RegisterEvent(const String& AName, TClass AEventClass) {
  auto* e = new TfsEventHelper(AName, FClassRef, AEventClass);
  AddMember(e);
  return e;
}
