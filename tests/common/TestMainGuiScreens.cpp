// Test entry point for windows that need two monitors: the offscreen platform is laid out as
// an 800 x 600 primary monitor with a 1024 x 768 one to its right before the application
// starts.
#include "gui/Application.h"
#include "gui/TestScreens.h"

#include "IsolatedSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  IsolatedSettings settings;
  if (!ConfigureOffscreenScreens({Rect(0, 0, 800, 600), Rect(800, 0, 1824, 768)})) return 1;
  InitApplication(argc, argv);
  int rc = RUN_ALL_TESTS();
  DoneApplication();
  return rc;
}
