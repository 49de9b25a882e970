#pragma once
// The visual-styles functions the library draws with are the platform layer's (UxTheme.h);
// this unit adds whether they can be used at all.
#include "gui/UxTheme.h"

// A visual-styles provider is installed and the platform is new enough to have one.
bool UxThemeAvailable();
// Platform version 5.1 or later.
bool IsPlatformVersion51();
