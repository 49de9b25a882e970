// Class members and indexing helpers.
#include "script/fs_ihelpers.h"

#include "script/fs_iclassvariable.h"
#include "script/fs_ievents.h"
#include "script/fs_iprocvariable.h"
#include "script/fs_iscript.h"
#include "script/fs_itools.h"
#include "core/ComObj.h"
#include "core/ObjectHandles.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/TypInfo.h"

#include <cassert>
#include <memory>

namespace {

[[noreturn]] void InvalidPointer() { throw EInvalidPointer("Invalid pointer operation"); }

}  // namespace

// ---------------------------------------------------------------- TfsCustomHelper

TObject* TfsCustomHelper::PrecedingInstance() const {
  if (!VarIsOrdinal(FPrecedingValue)) return nullptr;
  return ObjectOf(FPrecedingValue.AsInteger());
}

// ---------------------------------------------------------------- TfsMethodHelper

TfsMethodHelper::TfsMethodHelper(const String& Signature, TfsScript* Script)
    : TfsCustomHelper(String(), tcVariant, String()), FSignature(Signature) {
  std::unique_ptr<TfsCustomVariable> parsed(ParseSignature(Signature, Script));
  SetName(parsed->Name());
  FTypeCode = parsed->TypeCode();
  FTypeName = parsed->TypeName();
  FMacro = parsed->Macro();
  // The parameters move over to the helper.
  while (parsed->ItemCount() > 0) {
    TfsParamItem* p = parsed->Params(0);
    parsed->Remove(p);
    AddParam(p);
  }
  FReadOnly = true;
  FGetName = FUpperName + ".GET";
  FSetName = FUpperName + ".SET";
}

const String& TfsMethodHelper::CallName(bool Set) const {
  if (Set) return FSetName;
  return FIndexMethod ? FGetName : FUpperName;
}

bool TfsMethodHelper::ResolveInstance(TObject*& Instance, TClass& ClassType) const {
  ClassType = FClassRef;
  if (FTypeCode == tcConstructor) {
    // Creates the class the script named, which may descend from the one that registered it.
    Instance = nullptr;
    if (auto* cls = dynamic_cast<TfsClassVariable*>(FPrecedingItem)) ClassType = cls->ClassRef();
    return true;
  }
  Instance = PrecedingInstance();
  if (Instance || !FClassRef) return true;
  // Free of nil does nothing; of an object already freed it is the same fault as any other use.
  if (FUpperName == "FREE" && !(VarIsOrdinal(FPrecedingValue) && FPrecedingValue.AsInteger() != 0)) return false;
  InvalidPointer();
}

Variant TfsMethodHelper::FetchValue() {
  TObject* instance = nullptr;
  TClass classType = nullptr;
  if (!ResolveInstance(instance, classType)) return Null();
  int n = ParamCount();
  if (FOnCallArray) {
    // Made once and reused by every call.
    if (!VarIsArray(FParamArray)) FParamArray = VarArrayCreate({0, n - 1}, varVariant);
    for (int i = 0; i < n; ++i) FParamArray.PutElement({i}, Params(i)->FetchValue());
    Variant result = FOnCallArray(instance, classType, CallName(false), FParamArray);
    for (int i = 0; i < n; ++i)
      if (Params(i)->VarParam()) Params(i)->StoreValue(FParamArray.GetElement({i}));
    return result;
  }
  if (FOnCall) return FOnCall(instance, classType, CallName(false), this);
  return Variant(0);
}

void TfsMethodHelper::StoreValue(const Variant& AValue) {
  if (!FIndexMethod || FReadOnly) return;
  TObject* instance = nullptr;
  TClass classType = nullptr;
  if (!ResolveInstance(instance, classType)) return;
  if (FOnCallArray) {
    int n = ParamCount();
    if (!VarIsArray(FStoreArray)) FStoreArray = VarArrayCreate({0, n}, varVariant);
    for (int i = 0; i < n; ++i) FStoreArray.PutElement({i}, Params(i)->FetchValue());
    FStoreArray.PutElement({n}, AValue);
    FOnCallArray(instance, classType, FSetName, FStoreArray);
  } else if (FOnCall) {
    TRestore<Variant> assigned(FAssignedValue, AValue);
    FOnCall(instance, classType, FSetName, this);
  }
}

Variant TfsMethodHelper::ParamValue(int Index) const {
  if (Index == ParamCount()) return FAssignedValue;
  return Params(Index)->FetchValue();
}

void TfsMethodHelper::SetParamValue(int Index, const Variant& Value) { Params(Index)->StoreValue(Value); }

// ---------------------------------------------------------------- TfsPropertyHelper

TfsPropertyHelper::TfsPropertyHelper(const String& AName, TfsTypeCode ATypeCode, const String& ATypeName,
                                     TClass AClassRef)
    : TfsCustomHelper(AName, ATypeCode, ATypeName), FClassRef(AClassRef) {}

Variant TfsPropertyHelper::ReadPublished(TObject* Instance) const {
  const TPropInfo& p = *FPropInfo;
  const TPropAccessor& a = *p.Access;
  switch (p.Kind) {
    case tkInteger: case tkEnumeration: case tkSet:
      return Variant(static_cast<Integer>(a.GetOrd(Instance)));
    case tkInt64:
      return Variant(a.GetOrd(Instance));
    case tkClass:
      return Variant(HandleOf(a.GetObj(Instance)));
    case tkChar:
      return Variant(String(1, static_cast<char>(a.GetOrd(Instance))));
    case tkWChar: {
      String s;
      AppendUtf8(s, static_cast<char32_t>(a.GetOrd(Instance)));
      return Variant(s);
    }
    case tkFloat:
      return Variant(static_cast<double>(a.GetFloat(Instance)));
    case tkString: case tkLString: case tkWString:
      return Variant(a.GetStr(Instance));
    case tkVariant:
      return a.GetVariant(Instance);
    default:
      return Null();
  }
}

void TfsPropertyHelper::WritePublished(TObject* Instance, const Variant& AValue) const {
  const TPropInfo& p = *FPropInfo;
  const TPropAccessor& a = *p.Access;
  switch (p.Kind) {
    case tkChar: case tkWChar: {
      String text = VarToStr(AValue);
      std::size_t pos = 0;
      a.SetOrd(Instance, text.empty() ? 0 : static_cast<Int64>(p.Kind == tkChar ? static_cast<unsigned char>(text[0])
                                                                                : DecodeUtf8(text, pos)));
      break;
    }
    case tkFloat:
      a.SetFloat(Instance, AValue.AsDouble());
      break;
    case tkString: case tkLString: case tkWString:
      a.SetStr(Instance, VarToStr(AValue));
      break;
    case tkVariant:
      a.SetVariant(Instance, AValue);
      break;
    case tkClass:
      a.SetObj(Instance, ObjectOf(AValue.AsInteger()));
      break;
    case tkInteger: case tkInt64: case tkEnumeration: case tkSet:
      if (FTypeCode == tcBoolean) a.SetOrd(Instance, VariantsEqual(AValue, Variant(true)) ? 1 : 0);
      else a.SetOrd(Instance, AValue.AsInt64());
      break;
    default:
      break;
  }
}

Variant TfsPropertyHelper::FetchValue() {
  TObject* instance = PrecedingInstance();
  Variant v = Null();
  if (FPropInfo) {
    if (instance) v = ReadPublished(instance);
  } else if (FOnGetValue) {
    if (!instance && FClassRef) InvalidPointer();
    v = FOnGetValue(instance, FClassRef, FUpperName);
  }
  if (FTypeCode == tcBoolean && !VarIsNull(v)) v = Variant(!VariantsEqual(v, Variant(0)));
  return v;
}

void TfsPropertyHelper::StoreValue(const Variant& AValue) {
  if (FReadOnly) return;
  TObject* instance = PrecedingInstance();
  if (!instance && FClassRef) InvalidPointer();
  if (FPropInfo) WritePublished(instance, AValue);
  else if (FOnSetValue) FOnSetValue(instance, FClassRef, FUpperName, AValue);
}

// ---------------------------------------------------------------- TfsEventHelper

void TfsEventHelper::StoreValue(const Variant& AValue) {
  TObject* instance = PrecedingInstance();
  if (!instance) InvalidPointer();
  String name = VarToStr(AValue);
  if (name == "0") {
    SetMethodProp(instance, FName, TMethod());
    return;
  }
  TfsScript* script = FCallerScript;
  auto* proc = script ? dynamic_cast<TfsProcVariable*>(script->LookupName(name)) : nullptr;
  if (!proc) throw Exception("Event handler must be a procedure");
  TfsCustomEvent* bridge = CreateEventBridge(FEventClass, instance, proc);
  assert(bridge);
  script->PutItem(String(), bridge);
  bridge->Install(FName);
}

// ---------------------------------------------------------------- TfsStringHelper

TfsStringHelper::TfsStringHelper(const String& AName) : TfsCustomHelper(AName, tcChar, String()) {
  AddParam(new TfsParamItem("Index", tcInteger, "Integer", false, false));
}

namespace {

// The byte range of character Index (1-based) of S; ERangeError outside the text.
std::pair<std::size_t, std::size_t> CharRange(const String& S, int Index) {
  if (Index < 1 || Index > Length(S)) throw ERangeError("Range check error");
  std::size_t start = CharToByteIndex(S, Index - 1);
  std::size_t end = CharToByteIndex(S, Index);
  return {start, end};
}

}  // namespace

Variant TfsStringHelper::FetchValue() {
  String s = VarToStr(FPrecedingValue);
  auto [start, end] = CharRange(s, Params(0)->FetchValue().AsInteger());
  return Variant(s.substr(start, end - start));
}

void TfsStringHelper::StoreValue(const Variant& AValue) {
  String s = VarToStr(FPrecedingValue);
  auto [start, end] = CharRange(s, Params(0)->FetchValue().AsInteger());
  String ch = VarToStr(AValue);
  ch = ch.empty() ? String() : ch.substr(0, CharToByteIndex(ch, 1));
  s.replace(start, end - start, ch);
  if (FPrecedingItem) FPrecedingItem->StoreValue(Variant(s));
}

// ---------------------------------------------------------------- TfsArrayHelper

TfsArrayHelper::TfsArrayHelper(const String& AName, int IndexCount, int RequiredCount, TfsTypeCode ATypeCode,
                               const String& ATypeName)
    : TfsCustomHelper(AName, ATypeCode, ATypeName) {
  assert(IndexCount >= 1 && IndexCount <= 3 && RequiredCount <= IndexCount);
  for (int i = 0; i < IndexCount; ++i)
    AddParam(new TfsParamItem("Index" + IntToStr(i), tcInteger, "Integer", i >= RequiredCount, false));
}

bool TfsArrayHelper::Indexes(int& Dims, int (&Index)[3]) const {
  if (!FPrecedingItem) return false;
  Dims = VarArrayDimCount(FPrecedingItem->RawValue());
  if (Dims < 1 || Dims > 3 || Dims > ParamCount()) return false;
  for (int i = 0; i < Dims; ++i) Index[i] = Params(i)->FetchValue().AsInteger();
  return true;
}

Variant TfsArrayHelper::FetchValue() {
  int dims = 0, index[3] = {};
  if (!Indexes(dims, index)) return Null();
  const Variant& a = FPrecedingItem->RawValue();
  if (dims == 1) return a.GetElement({index[0]});
  if (dims == 2) return a.GetElement({index[0], index[1]});
  return a.GetElement({index[0], index[1], index[2]});
}

void TfsArrayHelper::StoreValue(const Variant& AValue) {
  int dims = 0, index[3] = {};
  if (!Indexes(dims, index)) return;
  Variant& a = FPrecedingItem->RawValue();
  if (dims == 1) a.PutElement({index[0]}, AValue);
  else if (dims == 2) a.PutElement({index[0], index[1]}, AValue);
  else a.PutElement({index[0], index[1], index[2]}, AValue);
}

// ---------------------------------------------------------------- TfsOLEHelper

namespace {

// The dispatch block holds at most this many arguments, a property write's value included.
constexpr int kMaxDispatchArgs = 64;

[[noreturn]] void OleCallError(HRESULT Code, const String& Member, const TExcepInfo* Info) {
  String msg = "OLE error " + IntToHex(static_cast<Cardinal>(Code), 8) + ": " + Member + ": " +
               OleSysErrorMessage(Code);
  if (Info) {
    if (!Info->Source.empty()) msg += "\r\nSource        ::  " + Info->Source;
    if (!Info->Description.empty()) msg += "\r\nDescription ::  " + Info->Description;
    if (!Info->HelpFile.empty()) msg += "\r\nHelp File     ::  " + Info->HelpFile;
  }
  throw EOleError(msg);
}

}  // namespace

Variant TfsOLEHelper::FetchValue() {
  FArgs.clear();
  for (int i = 0; i < ParamCount(); ++i) FArgs.push_back(Params(i)->FetchValue());
  DispatchCall(FArgs, &FValue, DISPATCH_METHOD);
  return FValue;
}

void TfsOLEHelper::StoreValue(const Variant& AValue) {
  FArgs.clear();
  for (int i = 0; i < ParamCount(); ++i) FArgs.push_back(Params(i)->FetchValue());
  FArgs.push_back(AValue);
  DispatchCall(FArgs, nullptr, DISPATCH_PROPERTYPUT);
}

void TfsOLEHelper::DispatchCall(const std::vector<Variant>& Args, Variant* Result, Word Flags) {
  std::shared_ptr<IDispatchObject> disp = FPrecedingValue.AsDispatch();
  auto* server = dynamic_cast<TAutomationObject*>(disp.get());
  if (!server)
    throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(VarType(FPrecedingValue)) +
                                ") into type (" + VarTypeAsText(varDispatch) + ")");
  // The name is looked up once per object: a loop calling the same member of the same object
  // asks the server only the first time. The weak reference keeps another object from taking
  // the remembered one's place.
  bool known = !FLastServer.expired() && !FLastServer.owner_before(disp) && !disp.owner_before(FLastServer);
  if (!known) {
    // The lookup's answer is checked: an unknown name must not reach Invoke with an undefined id.
    int dispId = DISPID_UNKNOWN;
    if (HRESULT hr = server->GetIDsOfNames(FName, dispId); hr != 0) OleCallError(hr, FName, nullptr);
    FLastServer = disp;
    FLastDispId = dispId;
  }
  if (static_cast<int>(Args.size()) > kMaxDispatchArgs) OleCallError(DISP_E_BADPARAMCOUNT, FName, nullptr);

  // Taken out of the helper for the call, so a server that calls back into this step cannot
  // change the arguments under it.
  TDispParams params;
  std::swap(params, FParams);
  params.Args.assign(Args.rbegin(), Args.rend());
  params.NamedArgs.clear();
  if (Flags == DISPATCH_PROPERTYPUT) params.NamedArgs.push_back(DISPID_PROPERTYPUT);
  if (!FResultWanted || Flags == DISPATCH_PROPERTYPUT) {
    Result = nullptr;
  } else {
    *Result = Unassigned();
    if (Flags == DISPATCH_METHOD) Flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  }
  TExcepInfo info;
  HRESULT hr = server->Invoke(FLastDispId, Flags, params, Result, info);
  params.Args.clear();  // the arguments are not kept alive between calls
  std::swap(params, FParams);
  if (hr != 0) OleCallError(hr, FName, &info);
}
