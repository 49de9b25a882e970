#pragma once
// Object handles: scripts and the values they pass around hold objects as 32-bit integers,
// never as addresses, so that a value outliving its object cannot reach freed memory.
//
//   Integer h = HandleOf(obj);   // stable for the object's life; 0 for nullptr
//   TObject* o = ObjectOf(h);    // nullptr for 0, for an unknown id and once obj is freed
//
// An object receives its handle on first request and keeps it until it is destroyed; ids are
// never given out twice. ~TObject drops the entry; while no handle exists at all that costs a
// destroyed object one counter test.
#include "core/System.h"

Integer HandleOf(const TObject* Obj);
TObject* ObjectOf(Integer Handle);
// Cast with a class check: nullptr when the handle is stale or the object of another class.
template <class T> T* ObjectOf(Integer Handle) { return dynamic_cast<T*>(ObjectOf(Handle)); }
// Number of live handles (objects that were given one and still exist).
int ObjectHandleCount();
