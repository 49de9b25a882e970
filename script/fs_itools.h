#pragma once
// The small shared tools of the script engine: the grammar registry, the type rules, the
// signature parser, literal texts, source positions, the dictionary of registered names and
// the conversions between Variant arrays and argument lists. The error messages are in
// fs_iconst.h.
//
// Type compatibility, by the target's code (yes = compatible):
//
//   target          sources
//   0 integer       integer, float, variant, enumeration
//   1 boolean       boolean, variant
//   2 float         integer, float, variant
//   3 char, 4 str   char, string, variant
//   5 class         variant; a class when both are registered and the source descends from
//                   (or is) the target
//   6 array         array, variant
//   7 variant       everything
//   8 enumeration   the same enumeration (names ignoring case), integer, variant
//   9 constructor   nothing
//
// Operators use the table with the left operand as target; assignments and arguments use
// AssignmentCompatible, which also refuses a float for an integer target.
// Declares the tool routines and TfsConstArgs.
#include "script/fs_ivariables.h"
#include "core/Format.h"
#include "core/Types.h"

#include <memory>

class TStrings;
class TfsXMLItem;

// ---- grammars: one process-wide list in registration order; names compare ignoring case
// Replaces the grammar of that name, or appends it.
void RegisterGrammar(const String& Language, const String& GrammarText);
// Raises Exception "Language '%s' not found" for an unknown name. The text stays valid until
// the next RegisterGrammar.
const String& FindGrammarText(const String& Language);
// Clears List, then adds every name that does not begin with "@", in registration order.
void ListGrammarNames(TStrings* List);

// ---- types
// The type code of whatever the script finds under the name; tcClass when nothing.
TfsTypeCode TypeCodeOfName(const String& ATypeName, TfsScript* Script);
bool TypesCompatible(TfsTypeCode TargetCode, const String& TargetName, TfsTypeCode SourceCode,
                     const String& SourceName, TfsScript* Script);
bool AssignmentCompatible(const TfsCustomVariable* Target, const TfsCustomVariable* Source, TfsScript* Script);
// "Integer", "Boolean", "Extended", "Char", "String", "Array", "Variant"; classes and
// enumerations by their type name.
String VariableTypeName(const TfsCustomVariable* Item);

// ---- literals and signatures
// '' gives Null; a quoted text its inside; 0 .. 2147483647 an Integer, larger an Int64; else a
// float with "." as decimal point whatever the user's settings. EConvertError for anything else.
Variant ParseConstantText(const String& Text);
// "function IntToStr(i: Integer): String", "procedure Inc(var i: Integer; incr: Integer = 1)",
// "macrofunction IIF(...)": a new item with name, type, macro flag and parameters (the
// caller owns it). Type names and named defaults are looked up in Script.
TfsCustomVariable* ParseSignature(const String& Signature, TfsScript* Script);
// "line:column" as a point (X the column, Y the line); '' gives (0, 0).
TPoint SourcePosToPoint(const String& Pos);

// ---- the dictionary of registered names, as the designer's data tree shows it
// Fills Root with "Functions", "Classes", "Types", "Variables" and "Constants"; with
// FunctionsOnly, only functions. Values are escaped, so any name or text round-trips.
void FillDictionaryXML(TfsScript* Script, TfsXMLItem* Root, bool FunctionsOnly);

// ---- argument lists of the platform's Format
// Integers and objects (as handles) become integers, Booleans Booleans, characters and texts
// strings, floats and currency floats.
Variant ConstArgToVariant(const TVarRec& Arg);

// An argument list made from a Variant array; it owns the texts its arguments view, so it
// must outlive the call it is passed to. Texts are kept whole.
class TfsConstArgs {
public:
  TfsConstArgs() = default;
  TfsConstArgs(TfsConstArgs&&) = default;
  TfsConstArgs& operator=(TfsConstArgs&&) = default;

  const std::vector<TVarRec>& Args() const { return FArgs; }
  int Count() const { return static_cast<int>(FArgs.size()); }

private:
  friend TfsConstArgs VariantArrayToConstArgs(const Variant& A);
  friend void FreeConstArgs(TfsConstArgs& Args);
  std::vector<TVarRec> FArgs;
  std::unique_ptr<String[]> FTexts;  // never reallocated: the arguments point into it
};

// One argument per element of dimension 1: integers of up to 32 bits Integer (a longword
// beyond that range Int64), floats, currency and dates floats, strings strings, Booleans,
// Int64; anything else the integer 0.
TfsConstArgs VariantArrayToConstArgs(const Variant& A);
void FreeConstArgs(TfsConstArgs& Args);
