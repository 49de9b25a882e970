#pragma once
// A kind test through the class table, for the engine's per-band and per-object tests: a
// dynamic_cast that fails across the libraries compares type names, this walks class links.
#include "core/System.h"

template <class T, class O>
T* KindOf(O* Object) {
  return Object && Object->InheritsFrom(T::StaticClass()) ? static_cast<T*>(Object) : nullptr;
}
