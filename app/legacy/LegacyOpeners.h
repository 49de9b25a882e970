#pragma once
// How the older windows open one another, without the opened window's header: a dialog that
// holds calculator edits and a window that holds a grid cannot share a translation unit, so
// openers call these instead of creating the window themselves. Each creates the window over
// Owner, sets its mode, shows it modally and frees it after it closes.
#include "core/System.h"

class TComponent;
class TCustomComboBox;

// The project dialog: AddMode 1 adds, any other value edits the current row of Qry_Project.
void ShowLegacyProjectDialog(TComponent* Owner, int AddMode);
// The internal-unit list as a picker: CallerMode says whose edit takes the chosen name.
void ShowLegacyUnitPicker(TComponent* Owner, int CallerMode);
// The category tree picker over Table, captioned Caption, handing back to the caller of Mode.
void ShowLegacyTreePicker(TComponent* Owner, const String& Table, const String& Caption, int Mode);
// Combo's items: the names of Table's rows, as the main window fills its drop-downs.
void FillLegacyCombo(TCustomComboBox* Combo, const String& Table);
