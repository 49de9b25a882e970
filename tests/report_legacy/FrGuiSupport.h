#pragma once
// What the older engine's window tests share: a shown form to put controls on (with screen
// pixels to read), and a settings store of the test's own so that saved placements and recent
// fonts start empty.
#include "StdTestUtil.h"
#include "TempFolder.h"

#include "core/Registry.h"

#include <cstdlib>

namespace frtest {

inline unsigned Rgb(const QColor& c) { return (unsigned(c.red()) << 16) | (unsigned(c.green()) << 8) | unsigned(c.blue()); }
inline unsigned RgbOf(TColor c) {
  const COLORREF v = ColorToRGB(c);
  return (unsigned(GetRValue(v)) << 16) | (unsigned(GetGValue(v)) << 8) | unsigned(GetBValue(v));
}

// Points the registry at a folder of the test's own and clears the engine's key there.
class TOwnRegistry {
public:
  TOwnRegistry() {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    FHadOld = old != nullptr;
    if (old) FOld = old;
    ::setenv("XDG_CONFIG_HOME", FDir.Path().c_str(), 1);
    TRegistry reg;
    reg.DeleteKey("\\Software\\Vizerav Report");
  }
  ~TOwnRegistry() {
    TRegistry reg;
    reg.DeleteKey("\\Software\\Vizerav Report");
    TRegistry::FlushStores();
    if (FHadOld) ::setenv("XDG_CONFIG_HOME", FOld.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
  }

private:
  TempFolder FDir;
  bool FHadOld = false;
  String FOld;
};

struct TFrFormFixture : stdtest::FormFixture {
  TOwnRegistry Registry;
};

}  // namespace frtest
