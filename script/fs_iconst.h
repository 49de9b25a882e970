#pragma once
// The seventeen error messages of the script engine, by the keys under which localised text
// tables carry them. Each starts with its English text; the report library's localisation may
// replace any of them by key, and every later error uses the current text.
//
//   throw Exception(fsMessage(fsIdUndeclared) + "'" + name + "'");
//   SetScriptMessage("SIdUndeclared", "...");   // localisation
#include "core/System.h"

enum TfsMessage {
  fsLangNotFound,       // "Language '%s' not found"
  fsInvalidLanguage,    // "Invalid language definition"
  fsIdRedeclared,       // "Identifier redeclared: "
  fsUnknownType,        // "Unknown type: "
  fsIncompatibleTypes,  // "Incompatible types"
  fsIdUndeclared,       // "Undeclared identifier: "
  fsClassRequired,      // "Class type required"
  fsIndexRequired,      // "Index required"
  fsStringError,        // "Strings doesn't have properties or methods"
  fsClassError,         // "Class %s does not have a default property"
  fsArrayRequired,      // "Array type required"
  fsVarRequired,        // "Variable required"
  fsNotEnoughParams,    // "Not enough actual parameters"
  fsTooManyParams,      // "Too many actual parameters"
  fsLeftCantAssigned,   // "Left side cannot be assigned to"
  fsForError,           // "For loop variable must be numeric variable"
  fsEventError,         // "Event handler must be a procedure"
};
constexpr int fsMessageCount = fsEventError + 1;

// The current text of a message.
const String& fsMessage(TfsMessage Message);
// The localisation key of a message ("SLangNotFound", ...).
const char* fsMessageKey(TfsMessage Message);
// Replaces the text under a key; false (and nothing changed) for a key that is none of these.
bool SetScriptMessage(const String& Key, const String& Text);
// Puts every message back to its English text.
void ResetScriptMessages();
