// Registered-class lists.
#include "editors/cxRegisteredClasses.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/TypInfo.h"

#include <algorithm>
#include <numeric>
#include <string>

TcxRegisteredClasses::TcxRegisteredClasses(bool ARegisterWithStreaming)
    : FRegisterWithStreaming(ARegisterWithStreaming) {}

TcxRegisteredClasses::~TcxRegisteredClasses() { Clear(); }

TClass TcxRegisteredClasses::Items(int Index) const {
  Descriptions(Index);  // checks the index
  return FEntries[std::size_t(Index)].Class;
}

const String& TcxRegisteredClasses::Descriptions(int Index) const {
  if (Index < 0 || Index >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FEntries[std::size_t(Index)].Description;
}

String TcxRegisteredClasses::DescriptionAt(int Index) const {
  const String& text = Descriptions(Index);
  return text.substr(0, text.find('|'));
}

int TcxRegisteredClasses::IndexOfClass(TClass AClass) const {
  for (int i = 0; i < Count(); ++i)
    if (FEntries[std::size_t(i)].Class == AClass) return i;
  return -1;
}

void TcxRegisteredClasses::RegisterEntry(TClass AClass, const String& Description) {
  if (IndexOfClass(AClass) >= 0) return;
  FEntries.push_back({Description, AClass});
  if (FKeepSorted) SortEntries();
  if (FRegisterWithStreaming) RegisterClass(AClass);
}

void TcxRegisteredClasses::Clear() { FEntries.clear(); }

void TcxRegisteredClasses::SetKeepSorted(bool Value) {
  if (FKeepSorted == Value) return;
  FKeepSorted = Value;
  if (Value) SortEntries();
}

int TcxRegisteredClasses::CompareEntries(int Index1, int Index2) const {
  return AnsiCompareText(DescriptionAt(Index1), DescriptionAt(Index2));
}

void TcxRegisteredClasses::SortEntries() {
  // Sort positions with the virtual comparison, then rearrange the entries once.
  std::vector<int> order(FEntries.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return CompareEntries(a, b) < 0; });
  std::vector<TEntry> sorted;
  sorted.reserve(FEntries.size());
  for (int i : order) sorted.push_back(std::move(FEntries[std::size_t(i)]));
  FEntries = std::move(sorted);
}
