#pragma once
// What every editor dialog of the designer shares beyond its layout: F1 opens the help file at
// the topic of the dialog's class (the dialogs set KeyPreview, so the key reaches the form
// whichever control has the focus).
#include "core/Types.h"

#include <memory>

class TComponent;
class TCustomIniFile;
class TForm;
class TObject;

// F1 (key code 112) opens the help at the dialog's topic; other keys do nothing.
void DialogHelpKey(const TObject* Dialog, Word Key);

// Dialogs that remember their place keep it in the report's settings store, in the section
// "Form." + the class name: bounds, maximised and visible state. Restoring first writes
// "Visible" = true, so a hidden state once stored never hides the dialog.
void RestoreDialogLayout(TCustomIniFile* Store, TForm* Dialog);
void SaveDialogLayout(TCustomIniFile* Store, TForm* Dialog);

// The settings store of the report whose designer owns the dialog; none without a designer.
std::unique_ptr<TCustomIniFile> DialogSettingsStore(const TComponent* Dialog);
