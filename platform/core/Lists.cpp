// TList, TObjectList and TBits.
#include "core/Lists.h"

#include "core/ClassBuilder.h"
#include "core/Classes.h"

#include <algorithm>
#include <cstdio>

KELM_PUBLISH(TList) {}
KELM_PUBLISH(TObjectList) {}

namespace {
[[noreturn]] void ListError(const char* msg, int data) {
  char buf[160];
  std::snprintf(buf, sizeof buf, msg, data);
  throw EListError(buf);
}
}  // namespace

// ---------------------------------------------------------------- TList

TList::~TList() { Clear(); }

void TList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) ListError("List index out of bounds (%d)", Index);
}

// Grows in larger steps as the list gets longer, so appends stay cheap.
void TList::Grow() {
  int delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
  SetCapacity(FCapacity + delta);
}

int TList::Add(void* Item) {
  int result = Count();
  if (result == FCapacity) Grow();
  FList.push_back(Item);
  if (Item) Notify(Item, lnAdded);
  return result;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > Count()) ListError("List index out of bounds (%d)", Index);
  if (Count() == FCapacity) Grow();
  FList.insert(FList.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  CheckIndex(Index);
  void* item = FList[Index];
  FList.erase(FList.begin() + Index);
  if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
  int i = IndexOf(Item);
  if (i >= 0) Delete(i);
  return i;
}

void* TList::Extract(void* Item) {
  int i = IndexOf(Item);
  if (i < 0) return nullptr;
  FList.erase(FList.begin() + i);
  Notify(Item, lnExtracted);
  return Item;
}

int TList::IndexOf(void* Item) const {
  auto it = std::find(FList.begin(), FList.end(), Item);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  void* item = FList[CurIndex];
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, item);
}

void TList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(FList[Index1], FList[Index2]);
}

void TList::Sort(const TListSortCompare& Compare) {
  std::stable_sort(FList.begin(), FList.end(), [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::Pack() {
  FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end());
}

void TList::Assign(const TList* Source) {
  if (Source == this) return;
  Clear();
  SetCapacity(Source->Count());
  for (void* p : Source->FList) Add(p);
}

void TList::SetCount(int NewCount) {
  if (NewCount < 0) ListError("List count out of bounds (%d)", NewCount);
  if (NewCount > FCapacity) SetCapacity(NewCount);
  if (NewCount > Count()) {
    FList.resize(NewCount, nullptr);
    return;
  }
  for (int i = Count() - 1; i >= NewCount; --i) Delete(i);
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count()) ListError("List capacity out of bounds (%d)", NewCapacity);
  if (NewCapacity < FCapacity) FList.shrink_to_fit();
  FList.reserve(NewCapacity);
  FCapacity = NewCapacity;
}

void* TList::Items(int Index) const {
  CheckIndex(Index);
  return FList[Index];
}

void TList::SetItems(int Index, void* Item) {
  CheckIndex(Index);
  void* old = FList[Index];
  if (old == Item) return;
  FList[Index] = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

// ---------------------------------------------------------------- TObjectList

// The list's own Clear must run here: once this destructor ends, Notify no longer frees.
TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
}

int TObjectList::FindInstanceOf(TClass AClass, bool AExact, int AStartAt) const {
  for (int i = std::max(AStartAt, 0); i < Count(); ++i) {
    TObject* o = Items(i);
    if (!o) continue;
    if (AExact ? o->ClassType() == AClass : o->InheritsFrom(AClass)) return i;
  }
  return -1;
}

// ---------------------------------------------------------------- TBits

void TBits::Error() { throw EBitsError("Bits index out of range"); }

void TBits::SetSize(int Value) {
  if (Value < 0) Error();
  FBits.resize(static_cast<std::size_t>(Value), false);
}

bool TBits::Bits(int Index) const {
  if (Index < 0 || Index >= Size()) Error();
  return FBits[Index];
}

void TBits::SetBits(int Index, bool Value) {
  if (Index < 0) Error();
  if (Index >= Size()) SetSize(Index + 1);
  FBits[Index] = Value;
}

int TBits::OpenBit() const {
  auto it = std::find(FBits.begin(), FBits.end(), false);
  return static_cast<int>(it - FBits.begin());
}
