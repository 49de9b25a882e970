#pragma once
// The cursor numbers of this group of controls and the resource strings they show.
#include "core/System.h"

// A hand ("RX_HANDCUR") and a drag pointer ("RX_DRAGCUR"), drawn by tools/DateEditPictures.py.
constexpr int crHand = 14000;
constexpr int crDragHand = 14001;

// Installs the two cursors in the screen's cursor list once the screen exists; later calls
// do nothing. The controls of this group call it when they are made, so the cursors are there
// before any of them is shown.
void InstallRxCursors();

// The resource strings of the calendar's buttons and the date dialog.
constexpr int SPrevMonth = 61258;
constexpr int SPrevYear = 61259;
constexpr int SNextMonth = 61260;
constexpr int SNextYear = 61261;
constexpr int SDateDlgTitle = 61262;
