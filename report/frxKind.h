#pragma once
// A kind test through the class table, for the engine's per-band and per-object tests: a
// dynamic_cast that fails across the libraries compares type names. The walk up the class
// line stops at the class the asked-for kind derives from: a class that reaches it first is
// not of that kind.
#include "core/TypInfo.h"

template <class T, class O>
T* KindOf(O* Object) {
  if (!Object) return nullptr;
  const TClass kind = T::StaticClass(), above = kind->Parent();
  for (TClass c = Object->ClassType(); c && c != above; c = c->Parent())
    if (c == kind) return static_cast<T*>(Object);
  return nullptr;
}
