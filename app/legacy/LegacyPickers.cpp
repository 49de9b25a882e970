#include "app/legacy/LegacyPickers.h"

#include "gui/Edit.h"

#include <map>
#include <utility>

namespace {

std::map<std::pair<TLegacyPicker, int>, std::function<TCustomEdit*()>>& Targets() {
  static std::map<std::pair<TLegacyPicker, int>, std::function<TCustomEdit*()>> targets;
  return targets;
}

}  // namespace

void RegisterLegacyPickTarget(TLegacyPicker Picker, int Mode, std::function<TCustomEdit*()> Edit) {
  Targets()[{Picker, Mode}] = std::move(Edit);
}

void UnregisterLegacyPickTarget(TLegacyPicker Picker, int Mode) { Targets().erase({Picker, Mode}); }

bool DeliverLegacyPick(TLegacyPicker Picker, int Mode, const String& Value) {
  auto it = Targets().find({Picker, Mode});
  if (it == Targets().end()) return false;
  TCustomEdit* edit = it->second();
  if (!edit) return false;
  edit->SetText(Value);
  return true;
}
