// Test entry point for libraries without windows.
#include "IsolatedSettings.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  IsolatedSettings settings;
  return RUN_ALL_TESTS();
}
