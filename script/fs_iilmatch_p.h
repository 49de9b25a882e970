#pragma once
// Private to the front end: the output under construction, the error state, and the matcher
// that walks a grammar over the lexer.
//
// Output: the elements of the intermediate program, built as a tree while matching. The
// output holds a row of finished elements not yet inside any other; an item remembers the
// count when it begins, and what it wrote is every element from there on. Wrapping that in a
// node moves those elements under a new one that takes their place (an element without
// children when the item wrote none); a failed node drops them by cutting the row back to the
// remembered count. Nothing is written as text and read back, and the work stays
// proportional to the output however deep the nodes are.
// Declares TfsILOutput, TfsILErrorState and TfsILMatcher.
#include "script/fs_igrammar.h"

#include <memory>
#include <vector>

class TfsILParser;
class TfsParser;
class TfsXMLItem;

class TfsILOutput {
public:
  TfsILOutput();
  ~TfsILOutput();
  TfsILOutput(const TfsILOutput&) = delete;
  TfsILOutput& operator=(const TfsILOutput&) = delete;

  int Count() const { return static_cast<int>(FItems.size()); }
  void Reserve(std::size_t Items) { FItems.reserve(Items); }
  // A new element without children or attributes at the end of the row.
  TfsXMLItem* Add(const String& Name);
  // Takes the element (one without a parent) to the end of the row.
  void Add(std::unique_ptr<TfsXMLItem> Item);
  // The elements from Index on become the children of a new element, which takes their place.
  TfsXMLItem* Wrap(int Index, const String& Name);
  // Drops the elements from Index on.
  void Truncate(int Index);
  // Takes the elements from Index on out of the row.
  std::vector<std::unique_ptr<TfsXMLItem>> TakeFrom(int Index);
  // Makes every element of the row a child of Parent, in order, leaving the row empty.
  void MoveInto(TfsXMLItem* Parent);

private:
  std::vector<std::unique_ptr<TfsXMLItem>> FItems;
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
  // The next token as each reader would see it from a position, for the First sets.
  struct TPeek {
    int Position = 0;  // where it was taken; 0 = not yet
    int Start = 0;     // after blanks and comments
    int WordEnd = 0;   // after the word, when there is one
    int WordId = -1;   // TfsGrammar::WordId of the word
    unsigned char Char = 0;
    bool Punct = false;
    bool Word = false;
    mutable signed char Reserved = -1;  // -1 until asked: whether the word is reserved
    bool Number = false;  // a number may begin here
    bool String = false;  // a string may begin here
  };
  // The look-ahead at the lexer's position: taken once per position.
  const TPeek& Peek();
  const TPeek& TakePeek();
  bool Admits(const TfsFirstTokens& First, const TPeek& P) const;
  bool Reserved(const TPeek& P) const;
  // Whether AnswerWithoutTrial may answer for the item: a trial that could record an error is
  // made unless one is pending anyway.
  bool MayAnswer(const TfsGrammarItem& Item) const { return Item.Skippable && FAnswerTrials && (!Item.MayRecord || FError.Pending()); }
  // Answers for an item MayAnswer allows whose First the next token is outside of, as its trial
  // would; false when it must be tried.
  bool AnswerWithoutTrial(const TfsGrammarItem& Item, int Depth, bool& Matched);

  bool Match(const TfsGrammarItem& Item, int Depth);
  bool MatchChildren(const TfsGrammarItem& Item, int Depth);
  bool MatchToken(const TfsGrammarItem& Item, String& Token);
  bool MatchSwitch(const TfsGrammarItem& Item, int Depth, int Start);
  bool MatchLoop(const TfsGrammarItem& Item, int Depth, int Start);
  void MatchOptional(const TfsGrammarItem& Item, int Depth, int Start);
  void CheckNesting(int Depth) const;

  void CloseNode(const TfsGrammarItem& Item, bool Matched, int Start, int StartLines, int Depth);
  void InlineUses(int StartLines, int Depth);
  void WriteAdd(const TfsGrammarItem& Item, String Token);
  void WriteReference(const String& Text);
  void RecordError(const TfsGrammarItem& Item, int Start);

  // Where the item's first token begins: Start after blanks and comments.
  int FirstTokenPos(int Start);
  // "L:C" of a position, as TfsParser.PositionToLineCol.
  String LineCol(int Position);
  // The same as numbers, both from 1.
  void LineColOf(int Position, int& Line, int& Col);
  bool SameToken(const String& Token, const String& Text) const;

  TfsILParser& FParser;
  const TfsGrammar& FGrammar;
  TfsParser& FLexer;
  TfsILOutput& FOutput;
  TfsILErrorState& FError;
  int FFurthest = 1;
  bool FAnswerTrials;
  TPeek FPeek;
  int FLastLine = 0;  // the line of the last position converted
  // The column counted up to offset FColumnEnd of line FColumnLine.
  int FColumnLine = -1;
  int FColumnEnd = 0;
  int FColumn = 1;
};
