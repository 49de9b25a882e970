#include "app/SaveSteps.h"

#include <utility>

namespace {
TSaveStepHook& Hook() {
  static TSaveStepHook hook;
  return hook;
}
}  // namespace

TSaveStepHook SetSaveStepHook(TSaveStepHook Hook_) { return std::exchange(Hook(), std::move(Hook_)); }

void PassSaveStep(const char* Step) {
  if (Hook()) Hook()(Step);
}
