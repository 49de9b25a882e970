#pragma once
// Class information: every class that is streamed, inspected or scripted describes its
// published properties, handler methods and component fields once; layouts, report files,
// the script engine and the object inspector all read them from here.
//
// The class's header declares its published properties in one block at the head of the class,
// one line each (name, getter, setter, default), in the order layouts list them; B is the
// builder, named only where the class information is built:
//
//   class TFoo : public TBar {
//     KELM_CLASS(TFoo, TBar)
//     template <class B> static void Published(B& b) {
//       b.Prop("Width", &TFoo::Width, &TFoo::SetWidth).Default(100);
//       b.Prop("Color", &TFoo::Color, &TFoo::SetColor).Type("TColor");
//       b.Prop("OnClick", &TFoo::OnClick, &TFoo::SetOnClick);
//     }
//
// and its .cpp file (which includes core/ClassBuilder.h) builds the record from it:
//
//   KELM_PUBLISH(TFoo) { Published(b); }
//
// A class that publishes nothing of its own writes `KELM_PUBLISH(TFoo) {}`. Windows, whose
// handler methods and component fields are bound by name, describe them in the braces too:
// `KELM_PUBLISH(TFrm) { b.Method("ButtonClick", &TFrm::ButtonClick); }`.
// Declares TEnumInfo, TPropAccessor, TPropInfo, TMethodInfo, TFieldInfo and TClassInfo.
#include "core/Events.h"
#include "core/System.h"
#include <map>
#include <memory>
#include <string_view>
#include <vector>

class Variant;
class TComponent;
template <class C> class TClassBuilder;

enum TTypeKind {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
  tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};

// Names of an enumeration's elements by ordinal.
class TEnumInfo {
public:
  // `names` is the comma-separated element list as written in the source; "= value" parts are ignored.
  TEnumInfo(const char* typeName, const char* names);
  const String& Name() const { return FName; }
  int Count() const { return static_cast<int>(FNames.size()); }
  int MinValue() const { return 0; }
  int MaxValue() const { return Count() - 1; }
  const String& NameOf(int ordinal) const;  // '' when out of range
  int ValueOf(const String& name) const;    // case-insensitive, -1 when unknown
private:
  String FName;
  std::vector<String> FNames;
};

// Declares an enumeration and its element names: KELM_ENUM(TAlign, alNone, alTop, alBottom).
#define KELM_ENUM(Name, ...)                                                         \
  enum Name : int { __VA_ARGS__ };                                                   \
  inline const TEnumInfo& EnumInfoOf(Name*) {                                        \
    static const TEnumInfo info(#Name, #__VA_ARGS__);                                \
    return info;                                                                     \
  }
const TEnumInfo& EnumInfoOf(bool*);  // "Boolean": False, True

template <class T, class = void> struct IsEnumType : std::false_type {};
template <class T>
struct IsEnumType<T, std::void_t<decltype(EnumInfoOf(static_cast<T*>(nullptr)))>> : std::true_type {};

template <class E> const TEnumInfo& EnumInfo() { return EnumInfoOf(static_cast<E*>(nullptr)); }
template <class E> String EnumName(E value) { return EnumInfo<E>().NameOf(static_cast<int>(value)); }

// Reads and writes one property of an object; made by the class builder for each property.
class TPropAccessor {
public:
  virtual ~TPropAccessor() = default;
  virtual Int64 GetOrd(const TObject*) const;
  virtual void SetOrd(TObject*, Int64) const;
  virtual Extended GetFloat(const TObject*) const;
  virtual void SetFloat(TObject*, Extended) const;
  virtual String GetStr(const TObject*) const;
  virtual void SetStr(TObject*, const String&) const;
  virtual TObject* GetObj(const TObject*) const;
  virtual void SetObj(TObject*, TObject*) const;
  virtual TMethod GetMethod(const TObject*) const;
  virtual void SetMethod(TObject*, const TMethod&) const;
  virtual Variant GetVariant(const TObject*) const;
  virtual void SetVariant(TObject*, const Variant&) const;
  virtual bool Writable() const = 0;
};

class TPropInfo {
public:
  String Name;
  TTypeKind Kind = tkUnknown;
  String TypeName;
  const TEnumInfo* Enum = nullptr;     // enumeration, or the element type of a set
  const std::type_info* MethodSig = nullptr;
  TClass (*ClassFn)() = nullptr;       // declared class of a class property, resolved on use
  bool HasDefault = false;             // ordinals and sets: declared default; others: see IsDefault
  Int64 OrdDefault = 0;
  Extended FloatDefault = 0;
  String StrDefault;
  TClass Owner = nullptr;              // the class that declares it
  int Index = 0;                       // position in the owner's full list
  std::unique_ptr<TPropAccessor> Access;
  std::function<bool(const TObject*)> StoredFn;  // the stored condition; none = always

  TClass PropClass() const { return ClassFn ? ClassFn() : nullptr; }
  bool Writable() const { return Access->Writable(); }
  bool IsStored(const TObject* obj) const { return !StoredFn || StoredFn(obj); }
  // A class property whose class is a component refers to another component by name;
  // any other class property is an owned sub-object streamed inline (Font.Name = ...).
  bool IsReference() const;
  // True when the object's current value equals what an untouched object would hold,
  // so writers leave it out.
  bool IsDefault(const TObject* obj) const;
  bool IsOrdinal() const;
  bool IsString() const { return Kind == tkString || Kind == tkLString || Kind == tkWString; }
};

// A handler method a class publishes by name.
struct TMethodInfo {
  String Name;
  TMethod Prototype;  // Data = nullptr; bind with Bind(target)
  TMethod Bind(TObject* target) const { TMethod m = Prototype; m.Data = target; return m; }
};

// A published component field: the reader stores the component of that name into it.
struct TFieldInfo {
  String Name;
  TClass (*ClassFn)() = nullptr;
  std::function<bool(TObject* owner, TObject* value)> Assign;  // false when the class does not fit
};

class TClassInfo {
public:
  TClassInfo(String name, TClass parent, TObject* (*create)(TObject* ownerArg));
  const String& Name() const { return FName; }
  TClass Parent() const { return FParent; }
  // In constant time: kind tests run for every object a report prints.
  bool InheritsFrom(TClass cls) const {
    return cls && cls->FDepth <= FDepth && FLine[cls->FDepth] == cls;
  }
  bool IsAbstract() const { return FCreate == nullptr; }
  // Creates an instance: components take their owner, collection items their collection.
  TObject* Create(TObject* ownerArg = nullptr) const;

  // Properties, base class first, in declaration order (a redeclared property keeps its place).
  const std::vector<const TPropInfo*>& Properties() const { return FAll; }
  const TPropInfo* FindProperty(std::string_view name) const;  // case-insensitive
  const TMethodInfo* FindMethod(const String& name) const;  // this class and its parents
  const TMethodInfo* FindMethodByCode(const TMethod& m) const;
  const TFieldInfo* FindField(const String& name) const;
  std::vector<const TMethodInfo*> Methods() const;

private:
  template <class C> friend class TClassBuilder;
  void Finish();
  String FName;
  TClass FParent;
  std::size_t FDepth = 0;     // the number of classes above
  std::vector<TClass> FLine;  // the root class first, this one last
  TObject* (*FCreate)(TObject*);
  std::vector<std::unique_ptr<TPropInfo>> FOwnProps;
  std::vector<const TPropInfo*> FAll;
  // Properties by name: an open-addressed table hashed with TextHash, searched without
  // allocating, because layouts, scripts and reports look properties up by name all the time.
  struct TPropSlot {
    std::size_t Hash = 0;
    const TPropInfo* Prop = nullptr;
  };
  std::vector<TPropSlot> FByName;  // a power of two long, at most half full
  std::vector<TMethodInfo> FMethods;
  std::vector<TFieldInfo> FFields;
};

// ---- the class registry
TClass RegisterClassInfo(TClass cls);  // done for every published class at start
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
TClass GetClass(const String& name);   // nullptr when unknown
TClass FindClass(const String& name);  // EClassNotFound "Class %s not found"
std::vector<TClass> RegisteredClasses();

#define KELM_CLASS(Cls, Parent)                                          \
public:                                                                  \
  using inherited = Parent;                                              \
  static constexpr const char* StaticClassName() { return #Cls; }        \
  static TClass StaticClass();                                           \
  TClass ClassType() const override { return Cls::StaticClass(); }       \
  static void DescribeClass(TClassBuilder<Cls>& b);

// Defines the class information; the braces that follow describe what is published.
#define KELM_PUBLISH(Cls)                                                                      \
  TClass Cls::StaticClass() {                                                                  \
    static const TClass info = TClassBuilder<Cls>::Build(#Cls);                                \
    return info;                                                                               \
  }                                                                                            \
  [[maybe_unused]] static const TClass kelm_class_registration_##Cls = RegisterClassInfo(Cls::StaticClass()); \
  void Cls::DescribeClass([[maybe_unused]] TClassBuilder<Cls>& b)

// ---- access by name (EPropertyError "Unknown property: '%s'" for a missing one)
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name);  // nullptr when missing
const TPropInfo* GetPropInfo(TClass cls, std::string_view name);
bool IsPublishedProp(const TObject* obj, std::string_view name);
TTypeKind PropType(const TObject* obj, std::string_view name);
std::vector<const TPropInfo*> GetPropList(const TObject* obj);

Int64 GetOrdProp(const TObject* obj, std::string_view name);
void SetOrdProp(TObject* obj, std::string_view name, Int64 value);
String GetEnumProp(const TObject* obj, std::string_view name);
void SetEnumProp(TObject* obj, std::string_view name, const String& value);
String GetSetProp(const TObject* obj, std::string_view name, bool brackets = false);
void SetSetProp(TObject* obj, std::string_view name, const String& value);
Extended GetFloatProp(const TObject* obj, std::string_view name);
void SetFloatProp(TObject* obj, std::string_view name, Extended value);
String GetStrProp(const TObject* obj, std::string_view name);
void SetStrProp(TObject* obj, std::string_view name, const String& value);
TObject* GetObjectProp(const TObject* obj, std::string_view name);
void SetObjectProp(TObject* obj, std::string_view name, TObject* value);
TMethod GetMethodProp(const TObject* obj, std::string_view name);
void SetMethodProp(TObject* obj, std::string_view name, const TMethod& value);
Variant GetVariantProp(const TObject* obj, std::string_view name);
void SetVariantProp(TObject* obj, std::string_view name, const Variant& value);
// Any property as a variant: enumerations and sets as their names when preferStrings.
Variant GetPropValue(const TObject* obj, std::string_view name, bool preferStrings = true);
void SetPropValue(TObject* obj, std::string_view name, const Variant& value);
Variant GetPropValue(const TObject* obj, const TPropInfo* prop, bool preferStrings = true);
void SetPropValue(TObject* obj, const TPropInfo* prop, const Variant& value);

String GetEnumName(const TEnumInfo& info, int value);
int GetEnumValue(const TEnumInfo& info, const String& name);
String SetToString(const TEnumInfo& info, Int64 bits, bool brackets = false);  // "akLeft,akTop"
Int64 StringToSet(const TEnumInfo& info, const String& text);  // accepts brackets and blanks

// The published handler name of a method value, '' when it has none.
String MethodName(const TMethod& m);
// A method of the target's class by its published name; unassigned when not found.
TMethod MethodAddress(TObject* target, const String& name);
