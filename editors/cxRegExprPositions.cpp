#include "editors/cxRegExprPositions.h"

#include "editors/cxRegExprStates.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace {

struct TListHash {
  std::size_t operator()(const std::vector<TcxRegExprState*>& States) const {
    std::uint64_t H = 1469598103934665603ull;
    for (TcxRegExprState* State : States) {
      H ^= reinterpret_cast<std::uintptr_t>(State);
      H *= 1099511628211ull;
    }
    return std::size_t(H ^ (H >> 29));
  }
};

std::vector<TcxRegExprState*> ListOf(const TcxRegExprStates& States) {
  std::vector<TcxRegExprState*> Result(std::size_t(States.Count()));
  for (int I = 0; I < States.Count(); ++I) Result[std::size_t(I)] = States.Items(I);
  return Result;
}

std::uint64_t WideKey(int Position, char32_t Ch) { return (std::uint64_t(unsigned(Position)) << 32) | Ch; }

}  // namespace

struct TcxRegExprPositions::TImpl {
  std::vector<std::unique_ptr<TcxRegExprStates>> Lists;
  std::unordered_map<std::vector<TcxRegExprState*>, int, TListHash> Index;
  std::unordered_map<std::uint64_t, TStep> Wide;
};

TcxRegExprPositions::TcxRegExprPositions() : FImpl(std::make_unique<TImpl>()) {}
TcxRegExprPositions::~TcxRegExprPositions() = default;

void TcxRegExprPositions::ForgetSteps(char32_t DateSeparator, char32_t TimeSeparator, bool CaseInsensitive) {
  std::fill(FAscii.begin(), FAscii.end(), TStep{});
  FImpl->Wide.clear();
  FDateSeparator = DateSeparator;
  FTimeSeparator = TimeSeparator;
  FCaseInsensitive = CaseInsensitive;
}

int TcxRegExprPositions::Intern(const TcxRegExprStates& States) {
  TImpl& I = *FImpl;
  std::vector<TcxRegExprState*> Key = ListOf(States);
  auto Found = I.Index.find(Key);
  if (Found != I.Index.end()) return Found->second;
  const int Position = Count();
  auto List = std::make_unique<TcxRegExprStates>();
  for (TcxRegExprState* State : Key) List->Add(State);
  FAccepting.push_back(List->HasAccepting());
  I.Lists.push_back(std::move(List));
  FAscii.resize(FAscii.size() + AsciiCount);
  I.Index.emplace(std::move(Key), Position);
  return Position;
}

int TcxRegExprPositions::Count() const { return int(FImpl->Lists.size()); }

const TcxRegExprStates& TcxRegExprPositions::States(int Position) const { return *FImpl->Lists[std::size_t(Position)]; }

bool TcxRegExprPositions::FindWideStep(int Position, char32_t& Ch, int& Next) const {
  auto Found = FImpl->Wide.find(WideKey(Position, Ch));
  if (Found == FImpl->Wide.end()) return false;
  Next = Found->second.Next;
  Ch = Found->second.Out;
  return true;
}

void TcxRegExprPositions::AddStep(int Position, char32_t In, char32_t Out, int Next) {
  if (In < AsciiCount) FAscii[std::size_t(Position) * AsciiCount + In] = TStep{Next, Out};
  else FImpl->Wide[WideKey(Position, In)] = TStep{Next, Out};
}

void TcxRegExprPositions::KeepOnly(std::vector<int>& Numbers) {
  std::unique_ptr<TImpl> Old = std::exchange(FImpl, std::make_unique<TImpl>());
  FAscii.clear();
  FAccepting.clear();
  for (int& Number : Numbers) Number = Intern(*Old->Lists[std::size_t(Number)]);
  FLimit = std::max(int(MaxPositions), 2 * Count());
}
