#pragma once
// The matcher of a compiled mask expression: a non-deterministic automaton simulated
// directly. Its position is the list of states that consumed the last character, kept with
// the steps taken from it (cxRegExprPositions.h); every accepted character pushes the old
// position onto the history, so characters can be taken back one by one. With AutoFill the
// literals the expression forces next are filled in (and taken back with the character typed
// before them), reported through the owner's events.
// Declares TcxRegExprAutomat.
#include "core/System.h"

#include <memory>
#include <vector>

struct TFormatSettings;
class TcxRegExpr;
class TcxRegExprParserAlts;
class TcxRegExprSimpleState;
class TcxRegExprStates;
class TcxRegExprPositions;

class TcxRegExprAutomat {
public:
  TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> ATree, TcxRegExpr* AOwner);
  ~TcxRegExprAutomat();
  TcxRegExprAutomat(const TcxRegExprAutomat&) = delete;
  TcxRegExprAutomat& operator=(const TcxRegExprAutomat&) = delete;

  bool Accept(char32_t& Ch, bool CaseInsensitive);
  bool StepBack();
  void Restart();
  bool IsAccepting() const;
  bool AtStart() const;
  std::unique_ptr<TcxRegExprStates> Candidates() const;
  void FillLiterals();
  void SkipBackOverLiterals();
  void PushHistory(int Position);
  int PopHistory();  // -1 when the history is empty

  const TcxRegExprStates& Current() const;
  int HistoryCount() const { return static_cast<int>(FHistory.size()); }
  TcxRegExprParserAlts& Tree() const { return *FTree; }

private:
  // The number of the position States holds; when the table is full, it first keeps only
  // the positions the start, the current one and the history name.
  int Intern(const TcxRegExprStates& States);
  // The step from the current position on Ch found by walking the graph, then remembered.
  int Walk(char32_t& Ch, bool CaseInsensitive);

  std::unique_ptr<TcxRegExprParserAlts> FTree;
  std::unique_ptr<TcxRegExprSimpleState> FStartState;
  std::unique_ptr<TcxRegExprPositions> FPositions;
  std::unique_ptr<TcxRegExprStates> FScratch;  // the next position while it is walked
  std::vector<int> FHistory;
  int FStart = 0;
  int FCurrent = 0;
  const TFormatSettings* FSettings;  // the separators the walks read
  TcxRegExpr* FOwner;
  int FFillBound = 1;
};
