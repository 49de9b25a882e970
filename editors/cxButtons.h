#pragma once
// The button painter choice of the editor library: buttons draw with the painter their
// look-and-feel chooses, except that they never take the Office 2003 one (its flat blue
// frames read as tool-bar items, not as keys).
#include "editors/cxLookAndFeels.h"

// The look-and-feel's painter; for the Office 2003 style the themed painter when the "Button"
// theme class opens, else the standard one.
TcxLookAndFeelPainterClass ChooseButtonPainter(TcxLookAndFeel* ALookAndFeel);
