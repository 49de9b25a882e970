#pragma once
// Component streaming: the binary property stream (TWriter, TReader), the text layouts that
// describe windows, and the list of roots that cross-window references are resolved against.
//
// A component record in the binary stream:
//   ['TPF0']  [0xF0|flags [position]]  class name  component name  {property}  0  {child}  0
// where names are a length byte and the bytes, and each property is its (dotted) name followed
// by a value: a type byte (TValueType) and the little-endian payload.
//
// Each concern has its own header: FilerBase.h (value types, TFiler), Writer.h, Reader.h,
// LayoutText.h and Float80.h; this one includes them all and declares what serves both
// directions: named integer values and the roots that references are resolved against.
#include "core/FilerBase.h"
#include "core/Float80.h"
#include "core/LayoutText.h"
#include "core/Reader.h"
#include "core/Writer.h"

#include <vector>

// ---------------------------------------------------------------- integer identifiers

// Integer properties whose values have names (colours, cursors): layouts write the name when
// there is one and accept either form. Keyed by the property's type name.
using TIdentToInt = std::function<bool(const String& Ident, Int64& Value)>;
using TIntToIdent = std::function<bool(Int64 Value, String& Ident)>;
void RegisterIntegerConsts(const String& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent);
void UnregisterIntegerConsts(const String& TypeName);
bool IdentToIntOfType(const String& TypeName, const String& Ident, Int64& Value);
bool IntToIdentOfType(const String& TypeName, Int64 Value, String& Ident);

// ---------------------------------------------------------------- roots and references

// Forms, data modules and frames whose components other roots may name as Root.Component.
// A registered root leaves the list by itself when it is freed.
void RegisterRoot(TComponent* Root);
void UnregisterRoot(TComponent* Root);
TComponent* FindGlobalRoot(const String& Name);  // case-insensitive, nullptr when none
std::vector<TComponent*> GlobalRoots();
// Resolves references read before their root existed; done on RegisterRoot and after each read.
void ResolvePendingReferences();
int PendingReferenceCount();
// A component by a dotted path from a root: a component of the root, the root itself (by name
// or as "Owner"), or a registered root, then components owned by each in turn.
TComponent* FindNestedComponent(TComponent* Root, const String& Path);
