#pragma once
// A test theme installed for a test: the theme manager is told of the change when it is put
// in and again when it is taken out, so no handle of it outlives the test.
#include "editors/dxThemeManager.h"
#include "gui/SystemBroadcast.h"
#include "gui/TestThemeBackend.h"

#include <gtest/gtest.h>

class ThemeFixture : public ::testing::Test {
protected:
  void SetUp() override {
    FPrevious = SetThemeBackend(&Theme);
    SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  }
  void TearDown() override {
    Theme.Active = false;
    SendSystemBroadcast(WM_THEMECHANGED, 0, 0);  // closes what is open, through the test theme
    SetThemeBackend(FPrevious);
    SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  }
  TTestThemeBackend Theme;

private:
  TThemeBackend* FPrevious = nullptr;
};
