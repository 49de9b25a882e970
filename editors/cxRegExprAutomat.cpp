#include "editors/cxRegExprAutomat.h"

#include "core/FormatSettings.h"
#include "editors/cxRegExpr.h"
#include "editors/cxRegExprPositions.h"
#include "editors/cxRegExprStates.h"
#include "editors/cxRegExprTree.h"

TcxRegExprAutomat::TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> ATree, TcxRegExpr* AOwner)
    : FTree(std::move(ATree)), FStartState(std::make_unique<TcxRegExprSimpleState>(nullptr)),
      FPositions(std::make_unique<TcxRegExprPositions>()), FScratch(std::make_unique<TcxRegExprStates>()),
      FSettings(&FormatSettings()), FOwner(AOwner) {
  LinkRegExprTree(*FTree, FStartState.get());
  FScratch->Add(FStartState.get());
  FStart = FCurrent = FPositions->Intern(*FScratch);
  for (const auto& Alt : FTree->Items)
    for (const auto& Item : Alt->Items) FFillBound += 2 * Item->Size();
}

TcxRegExprAutomat::~TcxRegExprAutomat() {
  // The positions point into the tree: they go first.
  FPositions.reset();
  FScratch.reset();
  FTree.reset();
}

int TcxRegExprAutomat::Intern(const TcxRegExprStates& States) {
  if (FPositions->Full()) {
    std::vector<int> Keep = FHistory;
    Keep.push_back(FStart);
    Keep.push_back(FCurrent);
    FPositions->KeepOnly(Keep);
    FCurrent = Keep.back();
    Keep.pop_back();
    FStart = Keep.back();
    Keep.pop_back();
    FHistory = std::move(Keep);
  }
  return FPositions->Intern(States);
}

const TcxRegExprStates& TcxRegExprAutomat::Current() const { return FPositions->States(FCurrent); }

// A step taken before from the same position under the same settings is followed; a new one
// walks the graph (Walk) and is remembered, a refusal too.
bool TcxRegExprAutomat::Accept(char32_t& Ch, bool CaseInsensitive) {
  FPositions->Use(static_cast<unsigned char>(FSettings->DateSeparator), static_cast<unsigned char>(FSettings->TimeSeparator),
                  CaseInsensitive);
  int Next = TcxRegExprPositions::Dead;
  if (!FPositions->FindStep(FCurrent, Ch, Next)) Next = Walk(Ch, CaseInsensitive);
  if (Next == TcxRegExprPositions::Dead) return false;
  FHistory.push_back(FCurrent);
  FCurrent = Next;
  return true;
}

int TcxRegExprAutomat::Walk(char32_t& Ch, bool CaseInsensitive) {
  const char32_t In = Ch;
  FScratch->Clear();
  FPositions->States(FCurrent).AdvanceInto(Ch, CaseInsensitive, *FScratch);
  const int Next = FScratch->Count() > 0 ? Intern(*FScratch) : TcxRegExprPositions::Dead;
  FPositions->AddStep(FCurrent, In, Ch, Next);
  return Next;
}

bool TcxRegExprAutomat::StepBack() {
  const int Previous = PopHistory();
  if (Previous < 0) return false;
  FCurrent = Previous;
  return true;
}

void TcxRegExprAutomat::Restart() {
  FHistory.clear();
  FCurrent = FStart;
}

bool TcxRegExprAutomat::IsAccepting() const { return FPositions->Accepting(FCurrent); }
bool TcxRegExprAutomat::AtStart() const {
  const TcxRegExprStates& States = Current();
  return States.Count() > 0 && States.Items(0) == FStartState.get();
}
std::unique_ptr<TcxRegExprStates> TcxRegExprAutomat::Candidates() const { return Current().Candidates(); }

// A chain of forced literals longer than the graph has states runs round a loop that never
// reaches a complete match; it stops there instead of filling without end.
void TcxRegExprAutomat::FillLiterals() {
  for (int Filled = 0; !IsAccepting() && Filled <= FFillBound; ++Filled) {
    std::unique_ptr<TcxRegExprStates> Next = Candidates();
    char32_t Ch = 0;
    if (!Next->SingleLiteral(Ch)) break;
    FOwner->DoLiteralAdded(Ch);
    const int Position = Intern(*Next);
    PushHistory(FCurrent);
    FCurrent = Position;
  }
}

void TcxRegExprAutomat::SkipBackOverLiterals() {
  char32_t Ch = 0;
  while (Current().SingleLiteral(Ch)) {
    const int Previous = PopHistory();
    if (Previous < 0) break;
    const TcxRegExprStates& States = FPositions->States(Previous);
    char32_t Forced = 0;
    if (!States.Candidates()->SingleLiteral(Forced) || States.HasAccepting()) {
      PushHistory(Previous);
      break;
    }
    FOwner->DoLiteralRemoved();
    FCurrent = Previous;
  }
}

void TcxRegExprAutomat::PushHistory(int Position) { FHistory.push_back(Position); }

int TcxRegExprAutomat::PopHistory() {
  if (FHistory.empty()) return -1;
  const int Result = FHistory.back();
  FHistory.pop_back();
  return Result;
}
