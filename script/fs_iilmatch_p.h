#pragma once
// Private to the front end: the output under construction, the error state, and the matcher
// that walks a grammar over the lexer.
//
// Output: lines of intermediate XML. An item remembers the count of lines when it begins;
// what it wrote is every line from there on. Wrapping that in a node puts the opening tag in
// front of the item's first line (a new line when it wrote none) and the closing tag after
// its last, so nothing is copied but the one line; a failed node drops its lines by cutting
// the list back to the remembered count. So the work stays proportional to the output, however
// deep the nodes are.
// Declares TfsILOutput, TfsILErrorState and TfsILMatcher.
#include "script/fs_igrammar.h"

#include <vector>

class TfsILParser;
class TfsParser;

class TfsILOutput {
public:
  int Count() const { return static_cast<int>(FLines.size()); }
  void Add(String Line) { FLines.push_back(std::move(Line)); }
  void Reserve(std::size_t Lines) { FLines.reserve(Lines); }
  // The tag goes in front of line Index; a new line when Index is the count.
  void Prepend(int Index, String Tag);
  // The tag goes after the last line, which belongs to the item closing.
  void Append(std::string_view Tag);
  // Drops the lines from Index on.
  void Truncate(int Index);
  // Takes the lines from Index on out of the output.
  std::vector<String> TakeFrom(int Index);
  // The lines joined by CR LF, each followed by one, appended to Out.
  void AppendTo(String& Out) const;
  // Characters of all lines together.
  std::size_t Size() const;

private:
  std::vector<String> FLines;
};

// The first error recorded and not dropped since the run began.
class TfsILErrorState {
public:
  bool Pending() const { return FPending; }
  const String& Message() const { return FMessage; }
  const String& Pos() const { return FPos; }
  // Whether the item that recorded it has term="1".
  bool Term() const { return FTerm; }
  // Counts the errors recorded, so a loop knows whether the pending one arose in its last
  // iteration.
  int Serial() const { return FSerial; }
  // Records the error unless one is pending.
  void Record(const String& Message, const String& Pos, bool Term);
  void Drop();

private:
  bool FPending = false;
  String FMessage;
  String FPos;
  bool FTerm = false;
  int FSerial = 0;
};

// Matches grammar items, writing into Output and Error. Nesting beyond
// TfsILParser::MaxNesting (counted along the chain of unit parsers) or beyond the stack raises
// EStackOverflow with the lexer where it got to.
class TfsILMatcher {
public:
  TfsILMatcher(TfsILParser& Parser, const TfsGrammar& Grammar, TfsILOutput& Output, TfsILErrorState& Error);

  // The rule definition at Index, from the lexer's position.
  bool MatchRule(int Index);
  // The start of the furthest token the matching tried to read.
  int Furthest() const { return FFurthest; }

private:
  bool Match(const TfsGrammarItem& Item, int Depth);
  bool MatchChildren(const TfsGrammarItem& Item, int Depth);
  bool MatchToken(const TfsGrammarItem& Item, String& Token);
  bool MatchSwitch(const TfsGrammarItem& Item, int Depth, int Start);
  bool MatchLoop(const TfsGrammarItem& Item, int Depth, int Start);
  void MatchOptional(const TfsGrammarItem& Item, int Depth, int Start);
  void CheckNesting(int Depth) const;

  void CloseNode(const TfsGrammarItem& Item, bool Matched, int Start, int StartLines, int Depth);
  void InlineUses(int StartLines, int Depth);
  void WriteAdd(const TfsGrammarItem& Item, const String& Token);
  void WriteReference(const String& Text);
  void RecordError(const TfsGrammarItem& Item, int Start);

  // Where the item's first token begins: Start after blanks and comments.
  int FirstTokenPos(int Start);
  // "L:C" of a position, as TfsParser.PositionToLineCol.
  String LineCol(int Position);
  bool SameToken(const String& Token, const String& Text) const;

  TfsILParser& FParser;
  const TfsGrammar& FGrammar;
  TfsParser& FLexer;
  TfsILOutput& FOutput;
  TfsILErrorState& FError;
  int FFurthest = 1;
  int FLastLine = 0;  // the line of the last position converted
  // The column counted up to offset FColumnEnd of line FColumnLine.
  int FColumnLine = -1;
  int FColumnEnd = 0;
  int FColumn = 1;
};
