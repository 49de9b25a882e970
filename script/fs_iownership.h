#pragma once
// Objects a script made with a constructor are the script's to free; objects it reaches
// through another object's property (a list box's Items, a bitmap's Canvas, a control's Font)
// belong to that object, and freeing one would leave its owner with a dangling pointer. The
// modules record what their constructors make and let the Free of such classes refuse the rest.
// Declares nothing but functions.
#include "script/fs_ihelpers.h"

// Records the object as made by a script and answers its handle.
Variant AdoptScriptObject(TObject* AObject);
// A Free call-back: frees an object a script made, refuses any other.
Variant FreeScriptObject(TObject* Instance, TClass ClassType, const String& MethodName, TfsMethodHelper* Caller);
