// Scope objects put state back on every way out of a scope, and not when dismissed.
#include "core/Scope.h"
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

TEST(Scope, RestoreWritesTheOldValueBackOnReturnAndOnException) {
  int Depth = 3;
  {
    TRestore keep(Depth, 7);
    EXPECT_EQ(Depth, 7);
    EXPECT_EQ(keep.Saved(), 3);
  }
  EXPECT_EQ(Depth, 3);

  std::string Name = "before";
  EXPECT_THROW(
      {
        TRestore keep(Name, std::string("inside"));
        throw std::runtime_error("leaves");
      },
      std::runtime_error);
  EXPECT_EQ(Name, "before");
}

TEST(Scope, DismissedScopesLeaveTheChange) {
  bool Flag = false;
  {
    TRestore keep(Flag, true);
    keep.Dismiss();
  }
  EXPECT_TRUE(Flag);

  int Runs = 0;
  {
    TScopeExit a([&] { ++Runs; });
    TScopeExit b([&] { Runs += 10; });
    b.Dismiss();
  }
  EXPECT_EQ(Runs, 1);
}

TEST(Scope, ExitActionRunsOnceWhenAnExceptionLeaves) {
  int Runs = 0;
  try {
    TScopeExit done([&] { ++Runs; });
    throw std::runtime_error("leaves");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(Runs, 1);
}

TEST(Scope, TryFinallyCleansUpOnEveryWayOutAndLetsTheCleanupRaise) {
  std::string Trace;
  TryFinally([&] { Trace += "body;"; }, [&] { Trace += "cleanup;"; });
  EXPECT_EQ(Trace, "body;cleanup;");

  Trace.clear();
  EXPECT_THROW(TryFinally([&] { throw std::runtime_error("body"); }, [&] { Trace += "cleanup;"; }),
               std::runtime_error);
  EXPECT_EQ(Trace, "cleanup;");

  // A closing step that fails after a good body is the caller's error, not a lost one.
  try {
    TryFinally([] {}, [] { throw std::logic_error("cleanup"); });
    ADD_FAILURE() << "the cleanup's exception was lost";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "cleanup");
  }
}

TEST(Scope, TryFinallyGivesTheBodysResultAfterTheCleanup) {
  int Lock = 1;
  int Seen = TryFinally([&] { return Lock * 10; }, [&] { --Lock; });
  EXPECT_EQ(Seen, 10);
  EXPECT_EQ(Lock, 0);
}
