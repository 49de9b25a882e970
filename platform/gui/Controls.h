#pragma once
// The control tree, included whole: TControl and what every control shares (Control.h),
// windowed and painted controls (WinControl.h), and the window functions, the mouse, hints
// and popups (Window.h).
#include "gui/Control.h"
#include "gui/WinControl.h"
#include "gui/Window.h"
