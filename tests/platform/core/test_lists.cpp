// TList, TTypedList, TObjectList and TBits.
#include "core/Classes.h"

#include <gtest/gtest.h>

namespace {

void* P(std::intptr_t v) { return reinterpret_cast<void*>(v); }
std::intptr_t V(void* p) { return reinterpret_cast<std::intptr_t>(p); }

std::vector<std::intptr_t> Contents(const TList& l) {
  std::vector<std::intptr_t> r;
  for (void* p : l) r.push_back(V(p));
  return r;
}

// Counts how many instances are alive, to see which lists free their objects.
class TCounted : public TObject {
public:
  explicit TCounted(int& alive, int key = 0) : Alive(alive), Key(key) { ++Alive; }
  ~TCounted() override { --Alive; }
  int& Alive;
  int Key;
};

}  // namespace

TEST(TList, AddInsertDeleteKeepOrderAndReturnIndexes) {
  TList l;
  EXPECT_EQ(l.Add(P(10)), 0);
  EXPECT_EQ(l.Add(P(30)), 1);
  l.Insert(1, P(20));
  l.Insert(3, P(40));  // at the end is allowed
  EXPECT_EQ(Contents(l), (std::vector<std::intptr_t>{10, 20, 30, 40}));
  l.Delete(0);
  EXPECT_EQ(Contents(l), (std::vector<std::intptr_t>{20, 30, 40}));
  EXPECT_EQ(V(l.First()), 20);
  EXPECT_EQ(V(l.Last()), 40);
  EXPECT_EQ(l.IndexOf(P(40)), 2);
  EXPECT_EQ(l.IndexOf(P(99)), -1);
}

TEST(TList, IndexErrorsNameTheIndex) {
  TList l;
  l.Add(P(1));
  struct Case {
    const char* what;
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {"Items past the end", [&] { l.Items(1); }, "List index out of bounds (1)"},
      {"negative Items", [&] { l.Items(-1); }, "List index out of bounds (-1)"},
      {"Insert past the end", [&] { l.Insert(2, P(5)); }, "List index out of bounds (2)"},
      {"Delete past the end", [&] { l.Delete(1); }, "List index out of bounds (1)"},
      {"Move to past the end", [&] { l.Move(0, 1); }, "List index out of bounds (1)"},
      {"Exchange past the end", [&] { l.Exchange(0, 3); }, "List index out of bounds (3)"},
      {"capacity below count", [&] { l.SetCapacity(0); }, "List capacity out of bounds (0)"},
      {"negative count", [&] { l.SetCount(-1); }, "List count out of bounds (-1)"},
  };
  for (auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
  }
  EXPECT_EQ(Contents(l), (std::vector<std::intptr_t>{1}));  // nothing changed on the way
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
  EXPECT_THROW(empty.Last(), EListError);
}

TEST(TList, RemoveExtractMoveExchangePack) {
  TList l;
  for (int i = 1; i <= 5; ++i) l.Add(P(i));
  EXPECT_EQ(l.Remove(P(3)), 2);
  EXPECT_EQ(l.Remove(P(3)), -1);
  EXPECT_EQ(V(l.Extract(P(5))), 5);
  EXPECT_EQ(l.Extract(P(5)), nullptr);
  EXPECT_EQ(Contents(l), (std::vector<std::intptr_t>{1, 2, 4}));
  l.Move(0, 2);
  EXPECT_EQ(Contents(l), (std::vector<std::intptr_t>{2, 4, 1}));
  l.Exchange(0, 2);
  EXPECT_EQ(Contents(l), (std::vector<std::intptr_t>{1, 4, 2}));
  l.SetCount(5);  // grows with nil entries
  EXPECT_EQ(l.Count(), 5);
  EXPECT_EQ(l.Items(4), nullptr);
  l.SetItems(1, nullptr);
  l.Pack();
  EXPECT_EQ(Contents(l), (std::vector<std::intptr_t>{1, 2}));
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
  EXPECT_EQ(l.Capacity(), 0);
}

TEST(TList, SortIsStableAndUsesTheCompareFunction) {
  TList l;
  // tens digit is the key; units digit records the original order
  for (int v : {31, 12, 33, 11, 22, 13}) l.Add(P(v));
  l.Sort([](void* a, void* b) { return static_cast<int>(V(a) / 10 - V(b) / 10); });
  EXPECT_EQ(Contents(l), (std::vector<std::intptr_t>{12, 11, 13, 22, 31, 33}));
}

TEST(TList, CapacityGrowsAheadOfCount) {
  TList l;
  for (int i = 0; i < 1000; ++i) {
    l.Add(P(i));
    ASSERT_GE(l.Capacity(), l.Count());
  }
  l.SetCapacity(2000);
  EXPECT_EQ(l.Capacity(), 2000);
  EXPECT_EQ(l.Count(), 1000);
}

TEST(TTypedList, GivesTypedItems) {
  int a = 1, b = 2;
  TTypedList<int> l;
  l.Add(&a);
  l.Add(&b);
  EXPECT_EQ(*l[1], 2);
  l.Sort([](int* x, int* y) { return *y - *x; });
  EXPECT_EQ(l.First(), &b);
  EXPECT_EQ(l.Remove(&a), 1);
}

TEST(TObjectList, FreesOnlyWhenOwningAndNeverOnExtract) {
  int alive = 0;
  {
    TObjectList borrowed;  // the default keeps the objects alive
    auto* x = new TCounted(alive);
    borrowed.Add(x);
    borrowed.Delete(0);
    EXPECT_EQ(alive, 1);
    borrowed.Add(x);
    borrowed.Clear();
    EXPECT_EQ(alive, 1);
    delete x;
  }
  EXPECT_EQ(alive, 0);
  {
    TObjectList owning(true);
    owning.Add(new TCounted(alive));
    owning.Add(new TCounted(alive));
    auto* kept = new TCounted(alive);
    owning.Add(kept);
    owning.Add(new TCounted(alive));
    EXPECT_EQ(alive, 4);
    owning.Delete(0);
    EXPECT_EQ(alive, 3);
    EXPECT_EQ(owning.Extract(kept), kept);  // handed back, not freed
    EXPECT_EQ(alive, 3);
    owning.SetItems(0, new TCounted(alive));  // the replaced object is freed
    EXPECT_EQ(alive, 3);
    delete kept;
    EXPECT_EQ(alive, 2);
  }
  EXPECT_EQ(alive, 0) << "the destructor frees what an owning list holds";
}

TEST(TObjectList, FindInstanceOf) {
  int alive = 0;
  TObjectList l(true);
  l.Add(new TObject);
  l.Add(new TCounted(alive));
  EXPECT_EQ(l.FindInstanceOf(TObject::StaticClass(), true), 0);
  EXPECT_EQ(l.FindInstanceOf(TObject::StaticClass(), false, 1), 1);
}

TEST(TBits, GrowsOnWriteAndRefusesBadIndexes) {
  TBits b;
  EXPECT_EQ(b.Size(), 0);
  EXPECT_EQ(b.OpenBit(), 0);
  b.SetBits(0, true);
  b.SetBits(1, true);
  b.SetBits(5, true);
  EXPECT_EQ(b.Size(), 6);
  EXPECT_TRUE(b[5]);
  EXPECT_FALSE(b[4]);
  EXPECT_EQ(b.OpenBit(), 2);
  for (int i = 2; i < 5; ++i) b.SetBits(i, true);
  EXPECT_EQ(b.OpenBit(), 6) << "all set: the first free slot is Size";
  try {
    b.Bits(6);
    ADD_FAILURE() << "read past the size";
  } catch (const EBitsError& e) {
    EXPECT_EQ(e.Message(), "Bits index out of range");
  }
  EXPECT_THROW(b.SetBits(-1, true), EBitsError);
  EXPECT_THROW(b.SetSize(-1), EBitsError);
  b.SetSize(2);
  EXPECT_EQ(b.Size(), 2);
  b.SetSize(4);
  EXPECT_FALSE(b[3]) << "bits that come back after shrinking start clear";
}
