#pragma once
// The matcher of a compiled mask expression: a non-deterministic automaton simulated
// directly. Its position is the list of states that consumed the last character; every
// accepted character pushes the old position onto the history, so characters can be taken
// back one by one. With AutoFill the literals the expression forces next are filled in (and
// taken back with the character typed before them), reported through the owner's events.
// Declares TcxRegExprAutomat.
#include "core/System.h"

#include <memory>
#include <vector>

class TcxRegExpr;
class TcxRegExprParserAlts;
class TcxRegExprSimpleState;
class TcxRegExprStates;

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
  void PushHistory(std::unique_ptr<TcxRegExprStates> List);
  std::unique_ptr<TcxRegExprStates> PopHistory();  // nil when the history is empty

  const TcxRegExprStates& Current() const { return *FCurrent; }
  int HistoryCount() const { return static_cast<int>(FHistory.size()); }
  TcxRegExprParserAlts& Tree() const { return *FTree; }

private:
  // Lists given up by steps back and restarts are kept for the next steps, so typing
  // allocates only while the input grows beyond what it reached before.
  std::unique_ptr<TcxRegExprStates> TakeList();
  void Recycle(std::unique_ptr<TcxRegExprStates> List);

  std::vector<std::unique_ptr<TcxRegExprStates>> FHistory;
  std::vector<std::unique_ptr<TcxRegExprStates>> FSpare;
  std::unique_ptr<TcxRegExprParserAlts> FTree;
  std::unique_ptr<TcxRegExprSimpleState> FStartState;
  std::unique_ptr<TcxRegExprStates> FCurrent;
  TcxRegExpr* FOwner;
  int FFillBound = 1;
};
