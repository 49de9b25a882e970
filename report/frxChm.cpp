#include "report/frxChm.h"

namespace {
THtmlHelpEntry& Entry() {
  static THtmlHelpEntry entry;  // no system HTML help here: missing until installed
  return entry;
}
}  // namespace

void SetHtmlHelpEntry(THtmlHelpEntry E) { Entry() = std::move(E); }

bool HtmlHelpAvailable() { return static_cast<bool>(Entry()); }

void ShowHtmlHelp(std::uintptr_t Owner, const String& Path) {
  if (Entry()) Entry()(Owner, Path, 1, 0);
}
