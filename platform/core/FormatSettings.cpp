// The process-wide format settings.
#include "core/FormatSettings.h"

namespace {
TFormatSettings& SettingsInstance() {
  static TFormatSettings settings;
  return settings;
}
}  // namespace

TFormatSettings& FormatSettings() { return SettingsInstance(); }
void ResetFormatSettings() { SettingsInstance() = TFormatSettings(); }
