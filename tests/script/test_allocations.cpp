// Calls through method helpers carry their arguments in the helper's own parameter items and
// array: a call allocates nothing. Counted by replacing the global allocation functions of this
// test program while a counter is armed.
#include "ScriptTestUtil.h"
#include "script/fs_itools.h"
#include "core/ObjectHandles.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
}  // namespace

// Under the address sanitizer the allocator is its own; the counting replacement stays out.
#ifndef __SANITIZE_ADDRESS__
void* operator new(std::size_t n) {
  if (gCounting.load(std::memory_order_relaxed)) ++gAllocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace {

// Allocations made by f, run once to warm up and then counted over Runs calls.
template <class F> long AllocationsOf(F&& f, int Runs = 100) {
  f();
  gAllocations = 0;
  gCounting = true;
  for (int i = 0; i < Runs; ++i) f();
  gCounting = false;
  return gAllocations;
}

}  // namespace

TEST(ScriptAllocations, HelperCallsAllocateNothingForTheirArguments) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "allocations are not counted under the address sanitizer";
#endif
  auto s = NewTestScript();
  TfsMethodHelper* add = s->RegisterFunction(
      "function Add(a, b: Integer): Integer", [](TObject*, TClass, const String&, TfsMethodHelper* C) {
        return Variant(C->ParamValue(0).AsInteger() + C->ParamValue(1).AsInteger());
      });
  TfsMethodHelper* swap = s->RegisterFunctionVarArray(
      "procedure Swap(var a, b: Integer)", [](TObject*, TClass, const String&, Variant& P) {
        Variant t = P.GetElement({0});
        P.PutElement({0}, P.GetElement({1}));
        P.PutElement({1}, t);
        return Null();
      });
  TTestObj obj(nullptr);
  int last = 0;
  TfsMethodHelper* nums = s->LookupClass("TTestObj")->RegisterIndexProperty(
      "Nums", "Integer", "Integer", [&last](TObject*, TClass, const String& Name, TfsMethodHelper* C) {
        if (Name == "NUMS.SET") last = C->ParamValue(1).AsInteger();
        return Variant(C->ParamValue(0).AsInteger() * 10);
      });
  nums->SetPrecedingValue(Variant(HandleOf(&obj)));
  nums->Params(0)->StoreValue(Variant(4));

  // The counter sees allocations made inside the script library too.
  EXPECT_GT(AllocationsOf([&] { delete ParseSignature("function F(a: Integer): Integer", s.get()); }), 0);

  int sum = 0;
  EXPECT_EQ(AllocationsOf([&] {
              add->Params(0)->StoreValue(Variant(2));
              add->Params(1)->StoreValue(Variant(3));
              sum += add->FetchValue().AsInteger();
            }),
            0);
  EXPECT_EQ(sum, 505);
  EXPECT_EQ(AllocationsOf([&] {
              swap->Params(0)->StoreValue(Variant(1));
              swap->Params(1)->StoreValue(Variant(2));
              swap->FetchValue();
            }),
            0);
  EXPECT_EQ(swap->Params(0)->FetchValue().AsInteger(), 2);
  // An index property's names with ".GET" and ".SET" are made once, not per call.
  EXPECT_EQ(AllocationsOf([&] { sum = nums->FetchValue().AsInteger(); }), 0);
  EXPECT_EQ(sum, 40);
  EXPECT_EQ(AllocationsOf([&] { nums->StoreValue(Variant(9)); }), 0);
  EXPECT_EQ(last, 9);
}
