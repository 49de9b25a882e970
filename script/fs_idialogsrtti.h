#pragma once
// The dialogs module: the platform's common dialogs (open and save file, colour, font, print,
// printer setup) with the option sets their Options take, and the functions MessageDlg,
// InputBox and InputQuery. Every dialog goes through the platform's dialog service, so a test
// answers them with a TDialogScript. Installs after the classes module, whose TComponent it
// names as ancestor.
// Declares fs_idialogsrtti::TFunctions.
#include "script/fs_iscript.h"

namespace fs_idialogsrtti {

class TFunctions : public TfsRTTIModule {
public:
  explicit TFunctions(TfsScript* AScript);
};

}  // namespace fs_idialogsrtti
