#pragma once
// What every layer of the editor library builds on: the component bases (cxComponent.h),
// registered-class lists (cxRegisteredClasses.h), object links (cxObjectLinks.h), the hook
// every library text passes through, and two geometry helpers.
#include "core/Types.h"
#include "editors/cxComponent.h"
#include "editors/cxObjectLinks.h"
#include "editors/cxRegisteredClasses.h"

// The owner the object's owner query reports (nullptr for none).
TPersistent* PersistentOwner(TPersistent* APersistent);
// Every text of the library passes here before use; no replacement is ever registered, so
// the text comes back unchanged.
String TranslateLibraryString(const String& S);
TPoint MakePoint(int X, int Y);
// The midpoint of two coordinates rounded down: 3 and 4 give 3, -3 and 0 give -2.
int MidCoordinate(int A, int B);
