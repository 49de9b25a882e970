#pragma once
// The forms and controls module: the control hierarchy from TControl to TForm, the application
// object ("Application"), the events scripts handle through the event bridges (fs_ievents.h),
// and the constants and enumerations that go with them (modal results, cursors, border
// styles, virtual key codes, alignment, shift states ...). Installs after the graphics module,
// whose TCanvas the form's Canvas names.
// Declares fs_iformsrtti::TFunctions.
#include "script/fs_iscript.h"

namespace fs_iformsrtti {

class TFunctions : public TfsRTTIModule {
public:
  explicit TFunctions(TfsScript* AScript);
};

}  // namespace fs_iformsrtti
