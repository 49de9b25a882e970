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
