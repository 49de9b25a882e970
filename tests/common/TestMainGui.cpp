// Test entry point for libraries with windows: the application runs offscreen (CTest sets
// QT_QPA_PLATFORM=offscreen; a direct run gets it here) before any test.
#include "gui/Application.h"

#include "IsolatedSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  IsolatedSettings settings;
  InitApplication(argc, argv);
  int rc = RUN_ALL_TESTS();
  DoneApplication();
  return rc;
}
