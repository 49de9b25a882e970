#pragma once
// The graphics module: fonts, pens, brushes, canvases, graphics (bitmaps and metafiles) and
// pictures, with the colour constants and the font, pen and brush enumerations. Installs after
// the classes and dialogs modules and before the forms module.
//
// A font, pen, brush or canvas reached through another object's property belongs to that
// object: Free refuses it, and frees only those the script made itself.
// Declares fs_igraphicsrtti::TFunctions.
#include "script/fs_iscript.h"

namespace fs_igraphicsrtti {

class TFunctions : public TfsRTTIModule {
public:
  explicit TFunctions(TfsScript* AScript);
};

}  // namespace fs_igraphicsrtti
