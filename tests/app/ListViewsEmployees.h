#pragma once
// The employee dialog as the list-view tests drive it, in a unit of its own: the dialog's
// button edit and the grid cannot share one translation unit.
#include "core/System.h"

// Shows the employee dialog in Mode (1 add, 0 edit) without a loop of its own, sets the name
// (when not empty), the age and, adding, the department, and saves.
void SaveEmployeeDialog(Byte Mode, const String& Name, const String& Age);
