// Availability of the visual-styles functions.
#include "editors/dxUxTheme.h"

#include "gui/OSVersion.h"

bool IsPlatformVersion51() {
  const TPlatformVersion& v = PlatformVersion();
  return v.Major > 5 || (v.Major == 5 && v.Minor != 0);
}

bool UxThemeAvailable() { return IsPlatformVersion51() && ThemeBackend() != nullptr; }
