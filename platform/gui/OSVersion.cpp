#include "gui/OSVersion.h"

namespace {
TPlatformVersion& TheVersion() {
  static TPlatformVersion v;
  return v;
}
}  // namespace

const TPlatformVersion& PlatformVersion() { return TheVersion(); }

void SetPlatformVersion(int Major, int Minor) {
  TheVersion().Major = Major;
  TheVersion().Minor = Minor;
}
