#include "editors/cxRegExprAutomat.h"

#include "editors/cxRegExpr.h"
#include "editors/cxRegExprStates.h"
#include "editors/cxRegExprTree.h"

namespace {

std::unique_ptr<TcxRegExprStates> ListOf(TcxRegExprSimpleState* State) {
  auto Result = std::make_unique<TcxRegExprStates>();
  Result->Add(State);
  return Result;
}

}  // namespace

TcxRegExprAutomat::TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> ATree, TcxRegExpr* AOwner)
    : FTree(std::move(ATree)), FStartState(std::make_unique<TcxRegExprSimpleState>(nullptr)), FOwner(AOwner) {
  FCurrent = ListOf(FStartState.get());
  LinkRegExprTree(*FTree, FStartState.get());
  for (const auto& Alt : FTree->Items)
    for (const auto& Item : Alt->Items) FFillBound += 2 * Item->Size();
}

TcxRegExprAutomat::~TcxRegExprAutomat() {
  // The lists point into the tree: they go first.
  FHistory.clear();
  FSpare.clear();
  FCurrent.reset();
  FTree.reset();
}

std::unique_ptr<TcxRegExprStates> TcxRegExprAutomat::TakeList() {
  if (FSpare.empty()) return std::make_unique<TcxRegExprStates>();
  std::unique_ptr<TcxRegExprStates> Result = std::move(FSpare.back());
  FSpare.pop_back();
  return Result;
}

void TcxRegExprAutomat::Recycle(std::unique_ptr<TcxRegExprStates> List) {
  List->Clear();
  FSpare.push_back(std::move(List));
}

bool TcxRegExprAutomat::Accept(char32_t& Ch, bool CaseInsensitive) {
  std::unique_ptr<TcxRegExprStates> Next = TakeList();
  FCurrent->AdvanceInto(Ch, CaseInsensitive, *Next);
  if (Next->Count() == 0) {
    Recycle(std::move(Next));
    return false;
  }
  PushHistory(std::move(FCurrent));
  FCurrent = std::move(Next);
  return true;
}

bool TcxRegExprAutomat::StepBack() {
  std::unique_ptr<TcxRegExprStates> Previous = PopHistory();
  if (!Previous) return false;
  Recycle(std::move(FCurrent));
  FCurrent = std::move(Previous);
  return true;
}

void TcxRegExprAutomat::Restart() {
  for (auto& List : FHistory) Recycle(std::move(List));
  FHistory.clear();
  Recycle(std::move(FCurrent));
  FCurrent = TakeList();
  FCurrent->Add(FStartState.get());
}

bool TcxRegExprAutomat::IsAccepting() const { return FCurrent->HasAccepting(); }
bool TcxRegExprAutomat::AtStart() const { return FCurrent->Count() > 0 && FCurrent->Items(0) == FStartState.get(); }
std::unique_ptr<TcxRegExprStates> TcxRegExprAutomat::Candidates() const { return FCurrent->Candidates(); }

// A chain of forced literals longer than the graph has states runs round a loop that never
// reaches a complete match; it stops there instead of filling without end.
void TcxRegExprAutomat::FillLiterals() {
  for (int Filled = 0; !IsAccepting() && Filled <= FFillBound; ++Filled) {
    std::unique_ptr<TcxRegExprStates> Next = Candidates();
    char32_t Ch = 0;
    if (!Next->SingleLiteral(Ch)) break;
    FOwner->DoLiteralAdded(Ch);
    PushHistory(std::move(FCurrent));
    FCurrent = std::move(Next);
  }
}

void TcxRegExprAutomat::SkipBackOverLiterals() {
  char32_t Ch = 0;
  while (FCurrent->SingleLiteral(Ch)) {
    std::unique_ptr<TcxRegExprStates> Previous = PopHistory();
    if (!Previous) break;
    char32_t Forced = 0;
    if (!Previous->Candidates()->SingleLiteral(Forced) || Previous->HasAccepting()) {
      PushHistory(std::move(Previous));
      break;
    }
    FOwner->DoLiteralRemoved();
    FCurrent = std::move(Previous);
  }
}

void TcxRegExprAutomat::PushHistory(std::unique_ptr<TcxRegExprStates> List) { FHistory.push_back(std::move(List)); }

std::unique_ptr<TcxRegExprStates> TcxRegExprAutomat::PopHistory() {
  if (FHistory.empty()) return nullptr;
  std::unique_ptr<TcxRegExprStates> Result = std::move(FHistory.back());
  FHistory.pop_back();
  return Result;
}
