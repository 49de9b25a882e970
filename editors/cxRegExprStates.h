#pragma once
// The state graph of a compiled mask expression. A simple state consumes one character (its
// item decides which); a block state is the entry or exit of a group and consumes nothing:
// it passes the character on to its successors. A position of the matcher is a list of the
// simple states that consumed the last character.
//
// Every walk over the graph visits each state once (a stamp per walk), so a position holds
// each state at most once and an expression such as "(a|a)*" stays within the graph's size
// however long the input; a loop of block states (a repeated group that can be empty) ends.
// Declares TcxRegExprState, TcxRegExprSimpleState, TcxRegExprBlockState, TcxRegExprStates.
#include "core/System.h"

#include <memory>
#include <vector>

class TcxRegExprItem;
class TcxRegExprState;

class TcxRegExprStates {
public:
  void Add(TcxRegExprState* State) { FItems.push_back(State); }
  void Clear() { FItems.clear(); }
  void Absorb(std::unique_ptr<TcxRegExprStates> Other);
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxRegExprState* Items(int Index) const { return FItems[static_cast<std::size_t>(Index)]; }
  bool HasAccepting() const;
  std::unique_ptr<TcxRegExprStates> Advance(char32_t& Ch, bool CaseInsensitive) const;
  void AdvanceInto(char32_t& Ch, bool CaseInsensitive, TcxRegExprStates& Out) const;
  std::unique_ptr<TcxRegExprStates> Candidates() const;
  // All members are literal states (a symbol or a separator) for one and the same character.
  bool SingleLiteral(char32_t& Ch) const;

private:
  std::vector<TcxRegExprState*> FItems;
};

// One walk over the graph: its stamp marks the states it has seen.
struct TcxRegExprWalk {
  TcxRegExprWalk();
  unsigned Stamp;
};

class TcxRegExprState {
public:
  virtual ~TcxRegExprState() = default;
  TcxRegExprStates& Successors() { return FSuccessors; }
  const TcxRegExprStates& Successors() const { return FSuccessors; }

  // The simple states that consume Ch when entered from here.
  std::unique_ptr<TcxRegExprStates> StepOn(char32_t& Ch, bool CaseInsensitive);
  virtual TcxRegExprState* Duplicate() const = 0;
  // The simple states this state stands for.
  std::unique_ptr<TcxRegExprStates> Expand();

  void LinkTo(TcxRegExprState* State) { FSuccessors.Add(State); }
  void LinkToAll(std::unique_ptr<TcxRegExprStates> States) { FSuccessors.Absorb(std::move(States)); }
  std::unique_ptr<TcxRegExprStates> Candidates();
  std::unique_ptr<TcxRegExprStates> Advance(char32_t& Ch, bool CaseInsensitive);

  // The walks behind the operations above, each state taken once per walk.
  virtual void CollectStep(const TcxRegExprWalk& Walk, char32_t& Ch, bool CaseInsensitive, TcxRegExprStates& Out) = 0;
  virtual void CollectExpand(const TcxRegExprWalk& Walk, TcxRegExprStates& Out) = 0;
  void CollectAdvance(const TcxRegExprWalk& Walk, char32_t& Ch, bool CaseInsensitive, TcxRegExprStates& Out);
  void CollectCandidates(const TcxRegExprWalk& Walk, TcxRegExprStates& Out);
  // A simple state that ends a complete match (asked on every typed character: no cast).
  bool IsAccepting() const { return FAccepting; }

protected:
  bool FAccepting = false;
  bool Visit(const TcxRegExprWalk& Walk);  // false when the walk has been here

private:
  TcxRegExprStates FSuccessors;
  unsigned FStamp = 0;
};

class TcxRegExprSimpleState : public TcxRegExprState {
public:
  explicit TcxRegExprSimpleState(TcxRegExprItem* AItem);  // takes the item; nil for the start
  ~TcxRegExprSimpleState() override;
  TcxRegExprState* Duplicate() const override;
  void CollectStep(const TcxRegExprWalk& Walk, char32_t& Ch, bool CaseInsensitive, TcxRegExprStates& Out) override;
  void CollectExpand(const TcxRegExprWalk& Walk, TcxRegExprStates& Out) override;
  TcxRegExprItem* Item() const { return FItem; }
  bool Accepting() const { return FAccepting; }
  void SetAccepting(bool Value) { FAccepting = Value; }

private:
  TcxRegExprItem* FItem;
};

class TcxRegExprBlockState : public TcxRegExprState {
public:
  TcxRegExprState* Duplicate() const override { return new TcxRegExprBlockState; }
  void CollectStep(const TcxRegExprWalk& Walk, char32_t& Ch, bool CaseInsensitive, TcxRegExprStates& Out) override;
  void CollectExpand(const TcxRegExprWalk& Walk, TcxRegExprStates& Out) override;
};
