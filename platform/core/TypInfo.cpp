#include "core/TypInfo.h"
#include "core/ClassBuilder.h"
#include "core/Component.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <cassert>
#include <mutex>

// ---------------------------------------------------------------- TObject

namespace {
TClassInfo& ObjectClassInfo() {
  static TClassInfo info("TObject", nullptr, nullptr);
  return info;
}
}  // namespace

TClass TObject::StaticClass() { return &ObjectClassInfo(); }
TClass TObject::ClassType() const { return StaticClass(); }
String TObject::ClassName() const { return ClassType()->Name(); }
bool TObject::InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }

// ---------------------------------------------------------------- enumerations

TEnumInfo::TEnumInfo(const char* typeName, const char* names) : FName(typeName) {
  for (String& item : SplitTrimmed(names, ',')) {
    std::size_t eq = item.find('=');
    if (eq != String::npos) item = Trim(item.substr(0, eq));
    if (!item.empty()) FNames.push_back(std::move(item));
  }
}

const String& TEnumInfo::NameOf(int ordinal) const {
  static const String empty;
  return ordinal >= 0 && ordinal < Count() ? FNames[ordinal] : empty;
}

int TEnumInfo::ValueOf(const String& name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(FNames[i], name)) return i;
  return -1;
}

const TEnumInfo& EnumInfoOf(bool*) {
  static const TEnumInfo info("Boolean", "False, True");
  return info;
}

String GetEnumName(const TEnumInfo& info, int value) { return info.NameOf(value); }
int GetEnumValue(const TEnumInfo& info, const String& name) { return info.ValueOf(name); }

String SetToString(const TEnumInfo& info, Int64 bits, bool brackets) {
  String r;
  for (int i = 0; i < info.Count() && i < 64; ++i) {
    if (bits & (Int64(1) << i)) {
      if (!r.empty()) r += ',';
      r += info.NameOf(i);
    }
  }
  return brackets ? "[" + r + "]" : r;
}

Int64 StringToSet(const TEnumInfo& info, const String& text) {
  String t = Trim(text);
  if (!t.empty() && t.front() == '[') t.erase(0, 1);
  if (!t.empty() && t.back() == ']') t.pop_back();
  Int64 bits = 0;
  for (const String& item : SplitTrimmed(t, ',')) {
    int v = info.ValueOf(item);
    if (v < 0) throw EPropertyConvertError("Invalid property element: " + item);
    bits |= Int64(1) << v;
  }
  return bits;
}

// ---------------------------------------------------------------- accessors

namespace {
[[noreturn]] void WrongKind(const char* what) {
  throw EPropertyError(String("Invalid property type: not a ") + what + " property");
}
}  // namespace

Int64 TPropAccessor::GetOrd(const TObject*) const { WrongKind("ordinal"); }
void TPropAccessor::SetOrd(TObject*, Int64) const { WrongKind("ordinal"); }
Extended TPropAccessor::GetFloat(const TObject*) const { WrongKind("float"); }
void TPropAccessor::SetFloat(TObject*, Extended) const { WrongKind("float"); }
String TPropAccessor::GetStr(const TObject*) const { WrongKind("string"); }
void TPropAccessor::SetStr(TObject*, const String&) const { WrongKind("string"); }
TObject* TPropAccessor::GetObj(const TObject*) const { WrongKind("class"); }
void TPropAccessor::SetObj(TObject*, TObject*) const { WrongKind("class"); }
TMethod TPropAccessor::GetMethod(const TObject*) const { WrongKind("method"); }
void TPropAccessor::SetMethod(TObject*, const TMethod&) const { WrongKind("method"); }
Variant TPropAccessor::GetVariant(const TObject*) const { WrongKind("variant"); }
void TPropAccessor::SetVariant(TObject*, const Variant&) const { WrongKind("variant"); }

namespace typinfo_detail {
void ThrowReadOnly(const TObject* obj) {
  throw EPropertyError("Property is read-only" + String(obj ? " in " + obj->ClassName() : ""));
}
void ThrowBadClass(const TObject* value, TClass expected) {
  throw EPropertyError("Invalid property value: a " + value->ClassName() + " is not a " + expected->Name());
}
void ThrowBadMethod(const TMethod& m) {
  String name = MethodName(m);
  throw EPropertyError("Invalid property value: method " + (name.empty() ? String("(unnamed)") : name) +
                       " does not match the event's parameters");
}
}  // namespace typinfo_detail

// ---------------------------------------------------------------- TPropInfo

bool TPropInfo::IsReference() const {
  TClass c = PropClass();
  return c && c->InheritsFrom(TComponent::StaticClass());
}

bool TPropInfo::IsOrdinal() const {
  switch (Kind) {
    case tkInteger: case tkChar: case tkEnumeration: case tkSet: case tkWChar: case tkInt64: return true;
    default: return false;
  }
}

bool TPropInfo::IsDefault(const TObject* obj) const {
  switch (Kind) {
    case tkInteger: case tkChar: case tkEnumeration: case tkSet: case tkWChar: case tkInt64:
      return HasDefault && Access->GetOrd(obj) == OrdDefault;
    case tkFloat: return Access->GetFloat(obj) == (HasDefault ? FloatDefault : 0);
    case tkString: case tkLString: case tkWString:
      return Access->GetStr(obj) == (HasDefault ? StrDefault : String());
    case tkClass: return IsReference() ? Access->GetObj(obj) == nullptr : false;
    case tkMethod: return !Access->GetMethod(obj).Assigned();
    case tkVariant: return VarIsEmpty(Access->GetVariant(obj));
    default: return true;
  }
}

// ---------------------------------------------------------------- TClassInfo

TClassInfo::TClassInfo(String name, TClass parent, TObject* (*create)(TObject*))
    : FName(std::move(name)), FParent(parent), FCreate(create) {
  if (FParent) {
    FDepth = FParent->FDepth + 1;
    FLine = FParent->FLine;
  }
  FLine.push_back(this);
}

TObject* TClassInfo::Create(TObject* ownerArg) const {
  if (!FCreate) throw EClassNotFound("Cannot create an instance of abstract class " + FName);
  return FCreate(ownerArg);
}

void TClassInfo::Finish() {
  if (FParent) FAll = FParent->FAll;
  for (auto& p : FOwnProps) {
    auto it = std::find_if(FAll.begin(), FAll.end(), [&](const TPropInfo* q) { return SameText(q->Name, p->Name); });
    if (it != FAll.end()) *it = p.get();
    else FAll.push_back(p.get());
  }
  std::size_t size = 8;
  while (size < 2 * FAll.size()) size *= 2;
  FByName.assign(size, TPropSlot{});
  for (std::size_t i = 0; i < FAll.size(); ++i) {
    const_cast<TPropInfo*>(FAll[i])->Index = static_cast<int>(i);
    std::size_t h = TextHash(FAll[i]->Name);
    std::size_t slot = h & (size - 1);
    while (FByName[slot].Prop) slot = (slot + 1) & (size - 1);
    FByName[slot] = {h, FAll[i]};
  }
  // A power of two at most half full: probes mask the hash, and a search always meets an
  // empty slot and stops.
  assert((size & (size - 1)) == 0 && 2 * FAll.size() <= size);
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
  if (FByName.empty()) return nullptr;  // TObject publishes nothing
  std::size_t mask = FByName.size() - 1, h = TextHash(name);
  for (std::size_t slot = h & mask;; slot = (slot + 1) & mask) {
    const TPropSlot& s = FByName[slot];
    if (!s.Prop) return nullptr;
    if (s.Hash == h && SameText(s.Prop->Name, name)) return s.Prop;
  }
}

const TMethodInfo* TClassInfo::FindMethod(const String& name) const {
  for (TClass c = this; c; c = c->FParent)
    for (const auto& m : c->FMethods)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethodByCode(const TMethod& m) const {
  for (TClass c = this; c; c = c->FParent)
    for (const auto& mi : c->FMethods)
      if (mi.Prototype.Code == m.Code && *mi.Prototype.Sig == *m.Sig) return &mi;
  return nullptr;
}

const TFieldInfo* TClassInfo::FindField(const String& name) const {
  for (TClass c = this; c; c = c->FParent)
    for (const auto& f : c->FFields)
      if (SameText(f.Name, name)) return &f;
  return nullptr;
}

std::vector<const TMethodInfo*> TClassInfo::Methods() const {
  std::vector<const TMethodInfo*> r;
  for (TClass c = this; c; c = c->FParent)
    for (const auto& m : c->FMethods) r.push_back(&m);
  return r;
}

// ---------------------------------------------------------------- registry

namespace {
struct Registry {
  std::mutex lock;
  std::map<String, TClass> byName;  // upper-case
};
Registry& TheRegistry() {
  static Registry r;
  return r;
}
}  // namespace

TClass RegisterClassInfo(TClass cls) {
  auto& r = TheRegistry();
  std::lock_guard<std::mutex> g(r.lock);
  r.byName.emplace(UpperCase(cls->Name()), cls);
  return cls;
}
void RegisterClass(TClass cls) { RegisterClassInfo(cls); }
void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterClassInfo(c);
}
void UnRegisterClass(TClass cls) {
  auto& r = TheRegistry();
  std::lock_guard<std::mutex> g(r.lock);
  auto it = r.byName.find(UpperCase(cls->Name()));
  if (it != r.byName.end() && it->second == cls) r.byName.erase(it);
}
TClass GetClass(const String& name) {
  auto& r = TheRegistry();
  std::lock_guard<std::mutex> g(r.lock);
  auto it = r.byName.find(UpperCase(name));
  return it == r.byName.end() ? nullptr : it->second;
}
TClass FindClass(const String& name) {
  TClass c = GetClass(name);
  if (!c) throw EClassNotFound("Class " + name + " not found");
  return c;
}
std::vector<TClass> RegisteredClasses() {
  auto& r = TheRegistry();
  std::lock_guard<std::mutex> g(r.lock);
  std::vector<TClass> v;
  for (auto& [k, c] : r.byName) v.push_back(c);
  return v;
}

// ---------------------------------------------------------------- access by name

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) { return cls ? cls->FindProperty(name) : nullptr; }
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name) {
  return obj ? GetPropInfo(obj->ClassType(), name) : nullptr;
}
bool IsPublishedProp(const TObject* obj, std::string_view name) { return GetPropInfo(obj, name) != nullptr; }

namespace {
const TPropInfo& Need(const TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p) throw EPropertyError("Unknown property: '" + String(name) + "'");
  return *p;
}
}  // namespace

TTypeKind PropType(const TObject* obj, std::string_view name) { return Need(obj, name).Kind; }
std::vector<const TPropInfo*> GetPropList(const TObject* obj) { return obj->ClassType()->Properties(); }

Int64 GetOrdProp(const TObject* obj, std::string_view name) { return Need(obj, name).Access->GetOrd(obj); }
void SetOrdProp(TObject* obj, std::string_view name, Int64 v) { Need(obj, name).Access->SetOrd(obj, v); }

String GetEnumProp(const TObject* obj, std::string_view name) {
  const TPropInfo& p = Need(obj, name);
  if (!p.Enum || p.Kind != tkEnumeration) WrongKind("enumeration");
  return p.Enum->NameOf(static_cast<int>(p.Access->GetOrd(obj)));
}
void SetEnumProp(TObject* obj, std::string_view name, const String& value) {
  const TPropInfo& p = Need(obj, name);
  if (!p.Enum || p.Kind != tkEnumeration) WrongKind("enumeration");
  int v = p.Enum->ValueOf(value);
  if (v < 0) throw EPropertyConvertError("Invalid property value: " + value);
  p.Access->SetOrd(obj, v);
}
String GetSetProp(const TObject* obj, std::string_view name, bool brackets) {
  const TPropInfo& p = Need(obj, name);
  if (p.Kind != tkSet) WrongKind("set");
  return SetToString(*p.Enum, p.Access->GetOrd(obj), brackets);
}
void SetSetProp(TObject* obj, std::string_view name, const String& value) {
  const TPropInfo& p = Need(obj, name);
  if (p.Kind != tkSet) WrongKind("set");
  p.Access->SetOrd(obj, StringToSet(*p.Enum, value));
}
Extended GetFloatProp(const TObject* obj, std::string_view name) { return Need(obj, name).Access->GetFloat(obj); }
void SetFloatProp(TObject* obj, std::string_view name, Extended v) { Need(obj, name).Access->SetFloat(obj, v); }
String GetStrProp(const TObject* obj, std::string_view name) { return Need(obj, name).Access->GetStr(obj); }
void SetStrProp(TObject* obj, std::string_view name, const String& v) { Need(obj, name).Access->SetStr(obj, v); }
TObject* GetObjectProp(const TObject* obj, std::string_view name) { return Need(obj, name).Access->GetObj(obj); }
void SetObjectProp(TObject* obj, std::string_view name, TObject* v) { Need(obj, name).Access->SetObj(obj, v); }
TMethod GetMethodProp(const TObject* obj, std::string_view name) { return Need(obj, name).Access->GetMethod(obj); }
void SetMethodProp(TObject* obj, std::string_view name, const TMethod& v) { Need(obj, name).Access->SetMethod(obj, v); }
Variant GetVariantProp(const TObject* obj, std::string_view name) { return Need(obj, name).Access->GetVariant(obj); }
void SetVariantProp(TObject* obj, std::string_view name, const Variant& v) { Need(obj, name).Access->SetVariant(obj, v); }

Variant GetPropValue(const TObject* obj, const TPropInfo* p, bool preferStrings) {
  switch (p->Kind) {
    case tkEnumeration:
      if (p->Enum == &EnumInfoOf(static_cast<bool*>(nullptr))) return Variant(p->Access->GetOrd(obj) != 0);
      if (preferStrings) return Variant(p->Enum->NameOf(static_cast<int>(p->Access->GetOrd(obj))));
      return Variant(static_cast<int>(p->Access->GetOrd(obj)));
    case tkSet:
      if (preferStrings) return Variant(SetToString(*p->Enum, p->Access->GetOrd(obj)));
      return Variant(p->Access->GetOrd(obj));
    case tkInteger: case tkChar: case tkWChar: return Variant(static_cast<int>(p->Access->GetOrd(obj)));
    case tkInt64: return Variant(p->Access->GetOrd(obj));
    case tkFloat: return Variant(static_cast<double>(p->Access->GetFloat(obj)));
    case tkString: case tkLString: case tkWString: return Variant(p->Access->GetStr(obj));
    case tkVariant: return p->Access->GetVariant(obj);
    default: throw EPropertyError("Invalid property type: " + p->Name + " has no variant value");
  }
}
Variant GetPropValue(const TObject* obj, std::string_view name, bool preferStrings) {
  return GetPropValue(obj, &Need(obj, name), preferStrings);
}

void SetPropValue(TObject* obj, const TPropInfo* p, const Variant& v) {
  switch (p->Kind) {
    case tkEnumeration:
      if (VarIsStr(v)) {
        int e = p->Enum->ValueOf(VarToStr(v));
        if (e < 0) throw EPropertyConvertError("Invalid property value: " + VarToStr(v));
        p->Access->SetOrd(obj, e);
      } else if (p->Enum == &EnumInfoOf(static_cast<bool*>(nullptr))) {
        p->Access->SetOrd(obj, v.AsBoolean() ? 1 : 0);
      } else {
        p->Access->SetOrd(obj, v.AsInt64());
      }
      break;
    case tkSet:
      if (VarIsStr(v)) p->Access->SetOrd(obj, StringToSet(*p->Enum, VarToStr(v)));
      else p->Access->SetOrd(obj, v.AsInt64());
      break;
    case tkInteger: case tkChar: case tkWChar: case tkInt64: p->Access->SetOrd(obj, v.AsInt64()); break;
    case tkFloat: p->Access->SetFloat(obj, v.AsDouble()); break;
    case tkString: case tkLString: case tkWString: p->Access->SetStr(obj, VarToStr(v)); break;
    case tkVariant: p->Access->SetVariant(obj, v); break;
    default: throw EPropertyError("Invalid property type: " + p->Name + " takes no variant value");
  }
}
void SetPropValue(TObject* obj, std::string_view name, const Variant& v) { SetPropValue(obj, &Need(obj, name), v); }

String MethodName(const TMethod& m) {
  if (!m.Assigned() || !m.Data) return {};
  const TMethodInfo* mi = m.Data->ClassType()->FindMethodByCode(m);
  return mi ? mi->Name : String();
}

TMethod MethodAddress(TObject* target, const String& name) {
  if (!target) return {};
  const TMethodInfo* mi = target->ClassType()->FindMethod(name);
  return mi ? mi->Bind(target) : TMethod{};
}
