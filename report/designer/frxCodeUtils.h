#pragma once
// Event-handler skeletons in the report's script language: the per-language templates and
// per-event parameter lists, kept in the report library's text table (so a language file can
// replace them), and the routines that list, find and insert handlers in a script's lines.
//
// Templates, under the language name, in the form  proc="..." begin="..." end="..." lastend="...":
// proc starts a procedure declaration, begin and end open and close a body, lastend closes
// the main program (empty: the language has none). Parameter lists, under the event type
// name, one line per language: "PascalScript=(Sender: TfrxComponent);" ...
//
// Procedures are found line by line with case-insensitive text comparison. Only the search
// for the main block reads the script with the language's lexer, so that begin and end count
// as whole words outside strings and comments.
//
//   RegisterScriptTemplates();
//   int line = InsertHandlerStub(Lines, "PascalScript", "TfrxNotifyEvent", "Memo1OnBeforePrint");
// Declares the template routines.
#include "core/System.h"

class TStrings;
class TfsParser;

// Stores the four templates and the eight parameter lists in the text table, replacing
// earlier values.
void RegisterScriptTemplates();
// An attribute (proc, begin, end, lastend) of a language's template; '' when not found.
String TemplateValue(const String& Language, const String& Attribute);
// The parameter text of an event type in a language; '' when not found.
String EventParameters(const String& EventType, const String& Language);
// Fills Result with the procedures declared at the start of a line whose parameter text is
// exactly the event's (blanks inside included).
void ListCompatibleProcedures(TStrings* Lines, const String& Language, const String& EventType, TStrings* Result);
// The line (from 0) that declares the procedure, starting with the proc keyword; -1 when none.
int FindProcedureLine(TStrings* Lines, const String& Language, const String& Name);
// Where a new handler goes (from 0): before the line that opens the main block, or, in a
// language without one, before the last line, after it when it closes a procedure, at 0 in an
// empty script. -1 when a main block should exist and cannot be found.
int FindInsertionLine(TStrings* Lines, const String& Language);
// Inserts declaration, begin, an empty body line, end and an empty line at FindInsertionLine;
// answers that position + 3 (the body line, from 1). Raises "找不到主过程" when there is no
// place.
int InsertHandlerStub(TStrings* Lines, const String& Language, const String& EventType, const String& Name);
// The script of a new report: begin, an empty line and lastend; nothing for a language
// without a main block.
void MakeEmptyScript(TStrings* List, const String& Language);
// Sets up a lexer with the keywords and lexical rules of a registered language's grammar;
// false (and nothing changed) for a language that is not registered.
bool LoadGrammarLexer(TfsParser* Parser, const String& Language);
