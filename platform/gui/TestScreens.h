#pragma once
// The monitors of Qt's offscreen platform, for tests that need more than one: each rectangle
// is a monitor (the first the primary) whose work area is the whole monitor.
#include "core/Types.h"

#include <vector>

// Must run before InitApplication: it writes the offscreen platform's screen configuration
// and names it in QT_QPA_PLATFORM. Returns false when the program does not run offscreen.
bool ConfigureOffscreenScreens(const std::vector<TRect>& Screens);
