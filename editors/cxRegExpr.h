#pragma once
// TcxRegExpr: the mask expression compiler and matcher in one object. The language is made
// for input masks: an expression describes the whole input from its first character, white
// space outside quotes is insignificant, "/" and ":" stand for the locale's date and time
// separators, and "\1".."\9" repeat a group's pattern as written (not the text it matched).
// Compiling lexes the whole source, then parses it, collecting every error with its line and
// column; a failure raises EcxRegExprError, which refers to the error list. Matching is
// incremental: one typed character at a time, with steps back (cxRegExprAutomat.h).
//
// Hostile expressions fail at once: bounds or group references that would grow the tree
// beyond MaxTreeItems items are refused with "表达式太大".
// Declares TcxRegExpr (lexer in cxRegExprLexer.cpp, parser in cxRegExprParser.cpp).
#include "core/Events.h"
#include "core/System.h"
#include "editors/cxRegExprItems.h"

#include <memory>
#include <vector>

class TStream;
class TMemoryStream;
class TcxRegExprAutomat;
class TcxRegExprParserAlt;
class TcxRegExprParserAlts;
class TcxRegExprParserItem;
class TcxRegExprParserBlockItem;

using TcxLiteralRemovedEvent = TEvent<void()>;
using TcxLiteralAddedEvent = TEvent<void(char32_t)>;

class TcxRegExpr {
public:
  static constexpr int MaxTreeItems = 10000;

  TcxRegExpr();
  ~TcxRegExpr();
  TcxRegExpr(const TcxRegExpr&) = delete;
  TcxRegExpr& operator=(const TcxRegExpr&) = delete;

  // Compiles the whole content of Stream, read from its start.
  void Compile(TStream* Stream);
  void Compile(const String& Text);  // the same over a stream holding Text
  void Discard();
  bool Compiled() const { return FCompiled; }
  TMemoryStream* Source() const;  // nil unless compiled
  const TcxRegExprErrors& Errors() const { return *FErrors; }
  const TcxLexems& Lexems() const { return *FLexems; }

  bool CaseInsensitive() const { return FCaseInsensitive; }
  void SetCaseInsensitive(bool Value) { FCaseInsensitive = Value; }
  bool AutoFill() const { return FAutoFill; }
  void SetAutoFill(bool Value);
  TcxLiteralRemovedEvent OnLiteralRemoved;
  TcxLiteralAddedEvent OnLiteralAdded;

  // Matching; each raises EcxEditError "规则表达式不能编译" when not compiled.
  bool Accept(char32_t& Ch);
  String FeedText(const String& Text);  // the characters of Text that were accepted, in order
  bool StepBack();
  void Restart();
  bool IsComplete();
  bool AtStart();

  // The parse tree's diagnostic dump (empty when not compiled).
  String TreeAsText() const;

  // For the automaton's filling in and taking back of forced literals.
  void DoLiteralAdded(char32_t Ch);
  void DoLiteralRemoved();

private:
  // Reading the source.
  bool AtEnd() const { return FReadIndex >= static_cast<int>(FText.size()); }
  char32_t ReadChar();
  char32_t Peek(int Offset = 0) const;
  void AddError(int LineNo, int Column, const String& Text);
  void AddLexem(int Kind, const String& Text, int LineNo, int Column);
  // Lexing (cxRegExprLexer.cpp).
  void Lex();
  void LexQuoted();
  void LexEscape();
  void LexClass();
  void LexBraces();
  // Parsing (cxRegExprParser.cpp).
  std::unique_ptr<TcxRegExprParserAlts> Parse();
  void ParseAlts(TcxRegExprParserAlts& Alts, bool Nested);
  bool ParseAlt(TcxRegExprParserAlt& Alt, bool Nested);
  TcxRegExprParserItem* ParseGroup();
  TcxRegExprParserItem* ParseClass();
  void ParseBounds(TcxRegExprParserAlt& Alt, TcxRegExprParserItem*& Last, const TcxLexem& Brace);
  void ApplyBounds(TcxRegExprParserAlt& Alt, TcxRegExprParserItem*& Last, int N, int M, const TcxLexem& Brace);
  const TcxLexem* NextLexem() const;
  void ErrorAt(const TcxLexem& Lexem, const String& Text);
  void CheckCompiled() const;

  std::unique_ptr<TcxRegExprAutomat> FAutomaton;
  std::vector<TcxRegExprParserBlockItem*> FGroups;  // in the order of their "("
  int FColumn = 0;
  bool FCaseInsensitive = false;
  bool FCompiled = false;
  std::unique_ptr<TcxRegExprErrors> FErrors;
  bool FFirstCompile = true;
  int FReadIndex = 0;
  int FLexemIndex = 0;
  std::unique_ptr<TcxLexems> FLexems;
  int FLineNo = 1;
  std::unique_ptr<TMemoryStream> FSource;
  bool FAutoFill = false;

  std::u32string FText;  // the source's characters while compiling
  int FDepth = 0;
  // Items that bounds replaced, kept so that a later group reference still finds the
  // group's pattern as written; freed with the compiled expression.
  std::vector<std::unique_ptr<TcxRegExprParserItem>> FReplaced;
  int FTreeSize = 0;  // parser items in the tree being built
};
