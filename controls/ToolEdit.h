#pragma once
// The tool edits: the drop-down window, the combo edit with its button, and the date edit.
#include "controls/ToolEditCombo.h"
#include "controls/ToolEditDate.h"
#include "controls/ToolEditPopup.h"
