#pragma once
// TfsILParser: the script engine's front end. It has no hand-written parser: a language is a
// grammar registered under its name (fs_igrammar.h for the format), and one generic matcher
// walks the grammar over the source text, writing the intermediate program (fs_iilconst.h)
// as the grammar's `node` and `add` annotations say. It resolves no names and checks no
// types; it decides what text is accepted, what intermediate program comes out, and the first
// syntax error with its position.
//
// One parser serves one compile: LoadGrammar, SourceToIL, then the program builder. A unit
// named in a uses clause is parsed by a second parser of the same script and inlined into the
// first one's output; UsedUnits travels along the chain, so each unit is inlined once.
//
// Stages, a file each: the grammar's parsed form (fs_igrammar.cpp), loading and the whole
// run (fs_iilparser.cpp), matching (fs_iilmatch.cpp), units (fs_iilunits.cpp).
//
// Failures: a syntax error is no exception; it goes into the script's CompileError and
// CompileErrorPos ("L:C"), and CompileErrorUnit names the unit it was found in. Exceptions
// leave only for "Language '%s' not found", "Invalid language definition" (a reference to a
// rule the grammar lacks), "Invalid file format" (a grammar text that is no document) and a
// unit file that cannot be opened.
//
// Beyond the grammar's own rules the parser holds a few of its own, each because a script
// would otherwise be silently misread:
// - every text it lexes has its line ends made CR LF first, so a `#language` line ended by a
//   bare LF does not swallow the lines after it;
// - a `program` rule that fails with no error on its path fails with "Syntax error" at the
//   furthest token reached, instead of compiling into an empty program;
// - text after the program's match (blanks and comments aside) is "Syntax error" at its first
//   token, unless the grammar's `parser` holds `<ignoretail text="1"/>`;
// - `eol` matches at the end of the text too, so a last line needs no line end;
// - a `parser` setting `<stringescapes text="0"/>` turns the backslash escapes of `"` strings
//   off (StringEscapes of the lexer);
// - matching nested deeper than MaxNesting, or deeper than the stack allows, fails with
//   "Stack overflow" where it got to; the intermediate program then stays within what the XML
//   reader and the builder can take.
// Declares TfsILParser.
#include "core/System.h"

#include <memory>

class TStringList;
class TfsGrammar;
class TfsILErrorState;
class TfsILOutput;
class TfsParser;
class TfsScript;
class TfsXMLDocument;
class TfsXMLItem;

class TfsILParser : public TObject {
public:
  // Grammar items matched one inside another, at most; below TfsXMLReader::MaxDepth, because
  // every element of the output is written by an item of its own.
  static constexpr int MaxNesting = 3000;

  explicit TfsILParser(TfsScript* AScript);
  ~TfsILParser() override;

  // ---- fields
  // Position "L:C" of the intermediate element being built (the builder's).
  const String& BuildErrorPos() const {
    if (FPosPending) ComposeBuildErrorPos();
    return FBuildErrorPos;
  }
  void SetBuildErrorPos(const String& Value) {
    FBuildErrorPos = Value;
    FPosPending = false;
    FPosLine = 0;
  }
  // The same from numbers, written out only when asked for: the builder moves the position
  // for nearly every element, and reads it far less often.
  void SetBuildErrorPos(int Line, int Col) {
    FPosPending = FPosPending || Line != FPosLine || Col != FPosCol;
    FPosLine = Line;
    FPosCol = Col;
  }
  // The loaded grammar as an XML tree, shared by every parser of the same grammar text;
  // nullptr before LoadGrammar.
  const TfsXMLDocument* GrammarDoc() const;
  // Its `language` element.
  const TfsXMLItem* GrammarRoot() const;
  // The intermediate program of the last successful SourceToIL.
  TfsXMLDocument* ILDoc() const { return FILDoc.get(); }
  const String& LanguageName() const { return FLanguageName; }
  // Whether names must be declared: set when created, cleared for good by a grammar with
  // `declarevars` "0".
  bool DeclareVarsRequired() const { return FDeclareVarsRequired; }
  TfsParser* Lexer() const { return FLexer.get(); }
  TfsScript* Script() const { return FScript; }
  // The builder's: the `program` element being built.
  TfsXMLItem* CurrentProgramNode() const { return FCurrentProgramNode; }
  void SetCurrentProgramNode(TfsXMLItem* Value) { FCurrentProgramNode = Value; }
  // The unit being parsed or built; '' for the main text.
  const String& CurrentUnit() const { return FCurrentUnit; }
  void SetCurrentUnit(const String& Value) { FCurrentUnit = Value; }
  // The units already inlined along the chain of unit parsers.
  TStringList* UsedUnits() const { return FUsedUnits.get(); }
  // The builder's: the open with-statements.
  TStringList* WithNames() const { return FWithNames.get(); }

  // ---- the front end
  // Restores the lexer's defaults, then applies the grammar registered under the name: its
  // keywords and its `parser` settings; with the script's HighByteIdentChars, bytes 128 to
  // 255 become identifier characters. Raises "Language '%s' not found".
  void LoadGrammar(const String& ALanguageName);
  // Parses the text; true when it was accepted, ILDoc then holding the intermediate program.
  // Either way the script's CompileError and CompileErrorPos get the error (both '' on
  // success). A first line `#language <name>` (at the very first character) switches the
  // grammar first and never reaches the output.
  bool SourceToIL(const String& Text);
  // The program builder (fs_iilbuilder.h) over ILDoc: the script's items and MainStatement,
  // or the script's CompileError, CompileErrorPos and CompileErrorUnit.
  void BuildProgram();

  // Whether the matcher answers for grammar items the next token cannot begin instead of
  // trying them (the same outcome, faster). On unless a test compares both ways.
  static bool FirstTokenSkipping();
  static void SetFirstTokenSkipping(bool On);

private:
  friend class TfsILMatcher;
  struct TParseResult {
    bool Ok = false;
    String Message;
    String Pos;
  };
  // The whole run without ILDoc: on success Program (its children freed first) becomes the
  // `program` element of the intermediate program, else it stays as it was and the result
  // holds the error. Units are parsed with it.
  TParseResult Parse(const String& Text, TfsXMLItem* Program);
  // Inlines the unit: its `uses` element goes to the end of Output. When the unit fails, its
  // error becomes Error (unless one is pending) and the script's CompileErrorUnit names it
  // (unless a unit further in already does). Nesting is how deep the caller is matching.
  void InlineUnit(const String& UnitName, TfsILOutput& Output, TfsILErrorState& Error, int Nesting);
  String ReadUnitText(const String& UnitName);
  void ComposeBuildErrorPos() const;

  mutable String FBuildErrorPos;
  // The numbers of FBuildErrorPos when it came from them (FPosLine 0 otherwise), and whether
  // it is still to be written out.
  int FPosLine = 0;
  int FPosCol = 0;
  mutable bool FPosPending = false;
  std::shared_ptr<const TfsGrammar> FGrammar;
  std::unique_ptr<TfsXMLDocument> FILDoc;
  String FLanguageName;
  bool FDeclareVarsRequired = true;
  std::unique_ptr<TfsParser> FLexer;
  TfsScript* FScript;
  TfsXMLItem* FCurrentProgramNode = nullptr;
  String FCurrentUnit;
  std::unique_ptr<TStringList> FUsedUnits;
  std::unique_ptr<TStringList> FWithNames;
  int FNestingBase = 0;  // the nesting already used by the parsers that inline this one
};
