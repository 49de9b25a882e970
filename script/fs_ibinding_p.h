// Binding helpers shared by the host modules' .cpp files: a registered member reaches its
// object through a checked cast, and C++ callables become the script's call, get and set slots.
// Included only inside script/, never by other libraries.
#pragma once

#include "script/fs_ihelpers.h"
#include "core/Exceptions.h"
#include "core/Variant.h"

#include <type_traits>

namespace fs_ibinding {

using TCall = TfsMethodHelper*;

inline int Int(TCall C, int i) { return C->ParamValue(i).AsInteger(); }
inline String Str(TCall C, int i) { return VarToStr(C->ParamValue(i)); }

// The object a member is used on, as the class that registered the member.
template <class T> T* Self(TObject* Instance) {
  auto* self = dynamic_cast<T*>(Instance);
  if (!self) throw EInvalidCast("Invalid class typecast");
  return self;
}

// A method or constructor bound to one operation.
template <class T, class F> TfsCallMethod Method(F Fn) {
  return [Fn](TObject* Instance, TClass, const String&, TfsMethodHelper* Caller) -> Variant {
    if constexpr (std::is_void_v<decltype(Fn(static_cast<T*>(nullptr), Caller))>) {
      Fn(Self<T>(Instance), Caller);
      return Variant(0);
    } else {
      return Fn(Self<T>(Instance), Caller);
    }
  };
}

template <class T, class F> TfsGetValue Getter(F Fn) {
  return [Fn](TObject* Instance, TClass, const String&) -> Variant { return Fn(Self<T>(Instance)); };
}

template <class T, class F> TfsSetValue Setter(F Fn) {
  return [Fn](TObject* Instance, TClass, const String&, const Variant& Value) { Fn(Self<T>(Instance), Value); };
}

}  // namespace fs_ibinding
