#pragma once
// A kind test through the class table, for the engine's per-band and per-object tests: a
// dynamic_cast that fails across the libraries compares type names, the class table answers
// in constant time.
#include "core/TypInfo.h"

template <class T, class O>
T* KindOf(O* Object) {
  if (!Object) return nullptr;
  return Object->ClassType()->InheritsFrom(T::StaticClass()) ? static_cast<T*>(Object) : nullptr;
}
