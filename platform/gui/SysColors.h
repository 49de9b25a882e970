#pragma once
// The classic system colour scheme, its stock brushes, and the 96-DPI system metrics.
#include "gui/GdiTypes.h"

// ---------------------------------------------------------------- colours
// The classic scheme; unknown indexes give 0.
COLORREF GetSysColor(int Index);
// Changes Count system colours (Indexes[i] becomes Colors[i]) for the whole program, then
// sends WM_SYSCOLORCHANGE to every utility window and top-level form, as the platform does.
// Unknown indexes are skipped.
BOOL SetSysColors(int Count, const int* Indexes, const COLORREF* Colors);
// A stock brush of a system colour (never deleted).
HBRUSH GetSysColorBrush(int Index);
// The display has true colour: every colour is its own nearest.
COLORREF GetNearestColor(HDC DC, COLORREF Color);

// ---------------------------------------------------------------- metrics (96 DPI)
int GetSystemMetrics(int Index);
