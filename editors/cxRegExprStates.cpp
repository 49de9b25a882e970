#include "editors/cxRegExprStates.h"

#include "editors/cxRegExprItems.h"

namespace {

unsigned NextStamp() {
  static unsigned Stamp = 0;
  return ++Stamp;
}

// The character a literal state stands for, or 0 with false for any other state.
bool LiteralOf(TcxRegExprState* State, char32_t& Ch) {
  auto* Simple = dynamic_cast<TcxRegExprSimpleState*>(State);
  if (!Simple || !Simple->Item()) return false;
  TcxRegExprItem* Item = Simple->Item();
  if (auto* Symbol = dynamic_cast<TcxRegExprSymbol*>(Item)) Ch = Symbol->Value;
  else if (dynamic_cast<TcxRegExprTimeSeparator*>(Item)) Ch = TcxRegExprTimeSeparator::Current();
  else if (dynamic_cast<TcxRegExprDateSeparator*>(Item)) Ch = TcxRegExprDateSeparator::Current();
  else return false;
  return true;
}

}  // namespace

TcxRegExprWalk::TcxRegExprWalk() : Stamp(NextStamp()) {}

// --- TcxRegExprStates -------------------------------------------------------------------------

void TcxRegExprStates::Absorb(std::unique_ptr<TcxRegExprStates> Other) {
  if (Other) FItems.insert(FItems.end(), Other->FItems.begin(), Other->FItems.end());
}

bool TcxRegExprStates::HasAccepting() const {
  for (TcxRegExprState* State : FItems)
    if (State->IsAccepting()) return true;
  return false;
}

std::unique_ptr<TcxRegExprStates> TcxRegExprStates::Advance(char32_t& Ch, bool CaseInsensitive) const {
  auto Result = std::make_unique<TcxRegExprStates>();
  AdvanceInto(Ch, CaseInsensitive, *Result);
  return Result;
}

void TcxRegExprStates::AdvanceInto(char32_t& Ch, bool CaseInsensitive, TcxRegExprStates& Out) const {
  const TcxRegExprWalk Walk;
  for (TcxRegExprState* State : FItems) State->CollectAdvance(Walk, Ch, CaseInsensitive, Out);
}

std::unique_ptr<TcxRegExprStates> TcxRegExprStates::Candidates() const {
  auto Result = std::make_unique<TcxRegExprStates>();
  const TcxRegExprWalk Walk;
  for (TcxRegExprState* State : FItems) State->CollectCandidates(Walk, *Result);
  return Result;
}

bool TcxRegExprStates::SingleLiteral(char32_t& Ch) const {
  if (FItems.empty()) return false;
  char32_t First = 0;
  for (std::size_t I = 0; I < FItems.size(); ++I) {
    char32_t C = 0;
    if (!LiteralOf(FItems[I], C)) return false;
    if (I == 0) First = C;
    else if (C != First) return false;
  }
  Ch = First;
  return true;
}

// --- TcxRegExprState --------------------------------------------------------------------------

bool TcxRegExprState::Visit(const TcxRegExprWalk& Walk) {
  if (FStamp == Walk.Stamp) return false;
  FStamp = Walk.Stamp;
  return true;
}

std::unique_ptr<TcxRegExprStates> TcxRegExprState::StepOn(char32_t& Ch, bool CaseInsensitive) {
  auto Result = std::make_unique<TcxRegExprStates>();
  CollectStep(TcxRegExprWalk(), Ch, CaseInsensitive, *Result);
  return Result;
}

std::unique_ptr<TcxRegExprStates> TcxRegExprState::Expand() {
  auto Result = std::make_unique<TcxRegExprStates>();
  CollectExpand(TcxRegExprWalk(), *Result);
  return Result;
}

std::unique_ptr<TcxRegExprStates> TcxRegExprState::Candidates() {
  auto Result = std::make_unique<TcxRegExprStates>();
  CollectCandidates(TcxRegExprWalk(), *Result);
  return Result;
}

std::unique_ptr<TcxRegExprStates> TcxRegExprState::Advance(char32_t& Ch, bool CaseInsensitive) {
  auto Result = std::make_unique<TcxRegExprStates>();
  CollectAdvance(TcxRegExprWalk(), Ch, CaseInsensitive, *Result);
  return Result;
}

void TcxRegExprState::CollectAdvance(const TcxRegExprWalk& Walk, char32_t& Ch, bool CaseInsensitive, TcxRegExprStates& Out) {
  for (int I = 0; I < FSuccessors.Count(); ++I) FSuccessors.Items(I)->CollectStep(Walk, Ch, CaseInsensitive, Out);
}

void TcxRegExprState::CollectCandidates(const TcxRegExprWalk& Walk, TcxRegExprStates& Out) {
  for (int I = 0; I < FSuccessors.Count(); ++I) FSuccessors.Items(I)->CollectExpand(Walk, Out);
}

// --- simple and block states ------------------------------------------------------------------

TcxRegExprSimpleState::TcxRegExprSimpleState(TcxRegExprItem* AItem) : FItem(AItem) {}
TcxRegExprSimpleState::~TcxRegExprSimpleState() { delete FItem; }

TcxRegExprState* TcxRegExprSimpleState::Duplicate() const {
  return new TcxRegExprSimpleState(FItem ? FItem->Duplicate() : nullptr);
}

void TcxRegExprSimpleState::CollectStep(const TcxRegExprWalk& Walk, char32_t& Ch, bool CaseInsensitive, TcxRegExprStates& Out) {
  if (Visit(Walk) && FItem && FItem->Matches(Ch, CaseInsensitive)) Out.Add(this);
}

void TcxRegExprSimpleState::CollectExpand(const TcxRegExprWalk& Walk, TcxRegExprStates& Out) {
  if (Visit(Walk)) Out.Add(this);
}

void TcxRegExprBlockState::CollectStep(const TcxRegExprWalk& Walk, char32_t& Ch, bool CaseInsensitive, TcxRegExprStates& Out) {
  if (Visit(Walk)) CollectAdvance(Walk, Ch, CaseInsensitive, Out);
}

void TcxRegExprBlockState::CollectExpand(const TcxRegExprWalk& Walk, TcxRegExprStates& Out) {
  if (Visit(Walk)) CollectCandidates(Walk, Out);
}
