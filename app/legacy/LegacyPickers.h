#pragma once
// How the older pickers hand a choice back: the window that opened a picker sets its caller
// mode, and the picker writes the chosen value into that opener's edit, reached through the
// opener's global instance. Each opener's unit adds its rows once; a mode without a row, or
// whose opener is not open, receives nothing.
#include "core/System.h"

#include <functional>

class TCustomEdit;

enum class TLegacyPicker { Project, Customer, Unit };

// The edit a choice of Picker in Mode goes to: nullptr while its opener is not open.
void RegisterLegacyPickTarget(TLegacyPicker Picker, int Mode, std::function<TCustomEdit*()> Edit);
void UnregisterLegacyPickTarget(TLegacyPicker Picker, int Mode);
// Writes Value into the edit of Mode: false when nothing took it.
bool DeliverLegacyPick(TLegacyPicker Picker, int Mode, const String& Value);

// The row of a dialog class T, reached through its global instance Instance, whose edit
// member Edit (of T or of a base, as a layout's generated components are) takes the value.
template <class T, class E, class M>
void RegisterLegacyPickTarget(TLegacyPicker Picker, int Mode, T*& Instance, E* M::*Edit) {
  T** instance = &Instance;
  RegisterLegacyPickTarget(Picker, Mode, [instance, Edit]() -> TCustomEdit* {
    return *instance ? static_cast<TCustomEdit*>((*instance)->*Edit) : nullptr;
  });
}
