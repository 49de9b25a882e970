#pragma once
// The builder behind KELM_PUBLISH: turns getters, setters and handler methods into class
// information. Include it only in the .cpp file that publishes a class.
#include "core/Component.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/TypInfo.h"
#include "core/Variant.h"
#include <functional>
#include <type_traits>

namespace typinfo_detail {

template <class T> struct IsSetType : std::false_type {};
template <class E> struct IsSetType<TSet<E>> : std::true_type { using Element = E; };

template <class T> constexpr TTypeKind KindOf() {
  if constexpr (std::is_same_v<T, bool>) return tkEnumeration;
  else if constexpr (IsEnumType<T>::value) return tkEnumeration;
  else if constexpr (IsSetType<T>::value) return tkSet;
  else if constexpr (std::is_same_v<T, char>) return tkChar;
  else if constexpr (std::is_same_v<T, char16_t>) return tkWChar;
  else if constexpr (std::is_integral_v<T>) return sizeof(T) > 4 ? tkInt64 : tkInteger;
  else if constexpr (std::is_floating_point_v<T>) return tkFloat;
  else if constexpr (std::is_same_v<T, String>) return tkLString;
  else if constexpr (std::is_same_v<T, WideString>) return tkWString;
  else if constexpr (std::is_same_v<T, Variant>) return tkVariant;
  else if constexpr (std::is_base_of_v<TEventBase, T>) return tkMethod;
  else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>) return tkClass;
  else return tkUnknown;
}

template <class T> String DefaultTypeName() {
  if constexpr (std::is_same_v<T, bool>) return "Boolean";
  else if constexpr (IsEnumType<T>::value) return EnumInfo<T>().Name();
  else if constexpr (IsSetType<T>::value) return "TSet<" + EnumInfo<typename IsSetType<T>::Element>().Name() + ">";
  else if constexpr (std::is_same_v<T, char>) return "Char";
  else if constexpr (std::is_same_v<T, char16_t>) return "WideChar";
  else if constexpr (std::is_same_v<T, Int64>) return "Int64";
  else if constexpr (std::is_same_v<T, std::uint32_t>) return "Cardinal";
  else if constexpr (std::is_same_v<T, std::uint16_t>) return "Word";
  else if constexpr (std::is_same_v<T, std::uint8_t>) return "Byte";
  else if constexpr (std::is_same_v<T, std::int16_t>) return "SmallInt";
  else if constexpr (std::is_integral_v<T>) return "Integer";
  else if constexpr (std::is_same_v<T, float>) return "Single";
  else if constexpr (std::is_same_v<T, double>) return "Double";
  else if constexpr (std::is_same_v<T, long double>) return "Extended";
  else if constexpr (std::is_same_v<T, String>) return "String";
  else if constexpr (std::is_same_v<T, WideString>) return "WideString";
  else if constexpr (std::is_same_v<T, Variant>) return "Variant";
  else if constexpr (std::is_base_of_v<TEventBase, T>) {
    if constexpr (requires { T::TypeName(); }) return T::TypeName();
    else return "TMethod";
  } else if constexpr (std::is_pointer_v<T>) return std::remove_const_t<std::remove_pointer_t<T>>::StaticClassName();
  else return "";
}

[[noreturn]] void ThrowReadOnly(const TObject* obj);
[[noreturn]] void ThrowBadClass(const TObject* value, TClass expected);
[[noreturn]] void ThrowBadMethod(const TMethod& m);

template <class C, class T, class G, class S> class Accessor final : public TPropAccessor {
public:
  Accessor(G g, S s) : FGet(g), FSet(s) {}
  static constexpr TTypeKind Kind = KindOf<T>();

  bool Writable() const override { return !std::is_same_v<S, std::nullptr_t>; }

  Int64 GetOrd(const TObject* o) const override {
    if constexpr (Kind == tkSet) return static_cast<Int64>(Get(o).Bits());
    else if constexpr (Kind == tkEnumeration || Kind == tkInteger || Kind == tkInt64 || Kind == tkChar || Kind == tkWChar)
      return static_cast<Int64>(Get(o));
    else return TPropAccessor::GetOrd(o);
  }
  void SetOrd(TObject* o, Int64 v) const override {
    if constexpr (Kind == tkSet) Set(o, T::FromBits(static_cast<std::uint64_t>(v)));
    else if constexpr (std::is_same_v<T, bool>) Set(o, v != 0);
    else if constexpr (Kind == tkEnumeration || Kind == tkInteger || Kind == tkInt64 || Kind == tkChar || Kind == tkWChar)
      Set(o, static_cast<T>(v));
    else TPropAccessor::SetOrd(o, v);
  }
  Extended GetFloat(const TObject* o) const override {
    if constexpr (Kind == tkFloat) return static_cast<Extended>(Get(o));
    else return TPropAccessor::GetFloat(o);
  }
  void SetFloat(TObject* o, Extended v) const override {
    if constexpr (Kind == tkFloat) Set(o, static_cast<T>(v));
    else TPropAccessor::SetFloat(o, v);
  }
  // Strings travel as UTF-8; a WideString property converts at its own boundary.
  String GetStr(const TObject* o) const override {
    if constexpr (Kind == tkLString) return Get(o);
    else if constexpr (Kind == tkWString) return Utf16ToUtf8(Get(o));
    else return TPropAccessor::GetStr(o);
  }
  void SetStr(TObject* o, const String& v) const override {
    if constexpr (Kind == tkLString) Set(o, v);
    else if constexpr (Kind == tkWString) Set(o, Utf8ToUtf16(v));
    else TPropAccessor::SetStr(o, v);
  }
  TObject* GetObj(const TObject* o) const override {
    if constexpr (Kind == tkClass) return const_cast<std::remove_const_t<std::remove_pointer_t<T>>*>(Get(o));
    else return TPropAccessor::GetObj(o);
  }
  void SetObj(TObject* o, TObject* v) const override {
    if constexpr (Kind == tkClass) {
      using P = std::remove_pointer_t<T>;
      P* typed = v ? dynamic_cast<P*>(v) : nullptr;
      if (v && !typed) ThrowBadClass(v, P::StaticClass());
      Set(o, typed);
    } else TPropAccessor::SetObj(o, v);
  }
  TMethod GetMethod(const TObject* o) const override {
    if constexpr (Kind == tkMethod) return Get(o).Method();
    else return TPropAccessor::GetMethod(o);
  }
  void SetMethod(TObject* o, const TMethod& m) const override {
    if constexpr (Kind == tkMethod) {
      T e;
      if (!e.Assign(m)) ThrowBadMethod(m);
      Set(o, e);
    } else TPropAccessor::SetMethod(o, m);
  }
  Variant GetVariant(const TObject* o) const override {
    if constexpr (Kind == tkVariant) return Get(o);
    else return TPropAccessor::GetVariant(o);
  }
  void SetVariant(TObject* o, const Variant& v) const override {
    if constexpr (Kind == tkVariant) Set(o, v);
    else TPropAccessor::SetVariant(o, v);
  }

private:
  decltype(auto) Get(const TObject* o) const { return std::invoke(FGet, static_cast<const C*>(o)); }
  template <class V> void Set(TObject* o, V&& v) const {
    if constexpr (std::is_same_v<S, std::nullptr_t>) ThrowReadOnly(o);
    else if constexpr (std::is_member_object_pointer_v<S>) static_cast<C*>(o)->*FSet = std::forward<V>(v);
    else std::invoke(FSet, static_cast<C*>(o), std::forward<V>(v));
  }
  G FGet;
  S FSet;
};

}  // namespace typinfo_detail

// Chained settings of a property just published.
template <class C> class TPropRef {
public:
  explicit TPropRef(TPropInfo* p) : P(p) {}
  // The declared default: ordinals, enumerations, sets, floats and strings.
  template <class V> TPropRef& Default(const V& v) {
    P->HasDefault = true;
    if constexpr (typinfo_detail::IsSetType<V>::value) P->OrdDefault = static_cast<Int64>(v.Bits());
    else if constexpr (std::is_floating_point_v<V>) P->FloatDefault = v;
    else if constexpr (std::is_convertible_v<V, String>) P->StrDefault = v;
    else if constexpr (std::is_convertible_v<V, WideString>) P->StrDefault = Utf16ToUtf8(WideString(v));
    else {
      P->OrdDefault = static_cast<Int64>(v);
      P->FloatDefault = static_cast<Extended>(v);
    }
    return *this;
  }
  TPropRef& NoDefault() { P->HasDefault = false; return *this; }
  TPropRef& Type(const char* typeName) { P->TypeName = typeName; return *this; }
  TPropRef& Stored(bool (C::*fn)() const) {
    P->StoredFn = [fn](const TObject* o) { return (static_cast<const C*>(o)->*fn)(); };
    return *this;
  }
  // A value the object may take from elsewhere is stored only while it is its own.
  TPropRef& StoredUnless(bool (C::*fromElsewhere)() const) {
    P->StoredFn = [fromElsewhere](const TObject* o) { return !(static_cast<const C*>(o)->*fromElsewhere)(); };
    return *this;
  }
  TPropRef& Stored(bool stored) {
    P->StoredFn = [stored](const TObject*) { return stored; };
    return *this;
  }
  TPropInfo* Info() const { return P; }

private:
  TPropInfo* P;
};

template <class C> class TClassBuilder {
public:
  using Class = C;  // the class being described, for publishing helpers its bases declare
  static TClass Build(const char* name) {
    auto* info = new TClassInfo(name, ParentClass(), CreateFn());
    TClassBuilder b(info);
    C::DescribeClass(b);
    info->Finish();
    return info;
  }

  // A property with a getter and a setter: member functions, data members or callables
  // taking (const C*) and (C*, value).
  template <class G, class S> TPropRef<C> Prop(const char* name, G getter, S setter) {
    using T = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;
    constexpr TTypeKind kind = typinfo_detail::KindOf<T>();
    static_assert(kind != tkUnknown, "type of a published property is not supported");
    auto p = std::make_unique<TPropInfo>();
    p->Name = name;
    p->Kind = kind;
    p->TypeName = typinfo_detail::DefaultTypeName<T>();
    p->Owner = FInfo;
    p->Access = std::make_unique<typinfo_detail::Accessor<C, T, G, S>>(getter, setter);
    if constexpr (std::is_same_v<T, bool>) p->Enum = &EnumInfoOf(static_cast<bool*>(nullptr));
    else if constexpr (IsEnumType<T>::value) p->Enum = &EnumInfo<T>();
    else if constexpr (typinfo_detail::IsSetType<T>::value) p->Enum = &EnumInfo<typename typinfo_detail::IsSetType<T>::Element>();
    else if constexpr (kind == tkClass) p->ClassFn = &std::remove_const_t<std::remove_pointer_t<T>>::StaticClass;
    else if constexpr (kind == tkMethod) p->MethodSig = &typeid(typename T::Signature);
    TPropInfo* raw = p.get();
    FInfo->FOwnProps.push_back(std::move(p));
    return TPropRef<C>(raw);
  }
  template <class G> TPropRef<C> Prop(const char* name, G getter) { return Prop(name, getter, nullptr); }

  // A handler method published by name, bound by layouts as `OnClick = Name`.
  template <class M, class R, class... A> void Method(const char* name, R (M::*method)(A...)) {
    TMethodInfo mi;
    mi.Name = name;
    mi.Prototype = TEvent<R(A...)>::template MakeMethod<M>(nullptr, method);
    FInfo->FMethods.push_back(std::move(mi));
  }

  // A component field the layout reader fills with the component of the same name.
  template <class T> void Field(const char* name, T* C::*field) {
    TFieldInfo fi;
    fi.Name = name;
    fi.ClassFn = &T::StaticClass;
    fi.Assign = [field](TObject* owner, TObject* value) {
      T* typed = value ? dynamic_cast<T*>(value) : nullptr;
      if (value && !typed) return false;
      static_cast<C*>(owner)->*field = typed;
      return true;
    };
    FInfo->FFields.push_back(std::move(fi));
  }

private:
  explicit TClassBuilder(TClassInfo* info) : FInfo(info) {}
  static TClass ParentClass() { return C::inherited::StaticClass(); }
  static TObject* (*CreateFn())(TObject*) {
    if constexpr (std::is_abstract_v<C>) return nullptr;
    else if constexpr (std::is_constructible_v<C, TComponent*>)
      return [](TObject* o) -> TObject* { return new C(dynamic_cast<TComponent*>(o)); };
    else if constexpr (std::is_constructible_v<C, TCollection*>)
      return [](TObject* o) -> TObject* { return new C(dynamic_cast<TCollection*>(o)); };
    else if constexpr (std::is_default_constructible_v<C>)
      return [](TObject*) -> TObject* { return new C(); };
    else return nullptr;
  }
  TClassInfo* FInfo;
};
