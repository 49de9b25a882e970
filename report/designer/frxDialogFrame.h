#pragma once
// What every editor dialog of the designer shares beyond its layout: F1 opens the help file at
// the topic of the dialog's class (the dialogs set KeyPreview, so the key reaches the form
// whichever control has the focus).
#include "core/Types.h"

class TObject;

// F1 (key code 112) opens the help at the dialog's topic; other keys do nothing.
void DialogHelpKey(const TObject* Dialog, Word Key);
