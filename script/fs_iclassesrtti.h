#pragma once
// The classes module: the platform's base classes (objects, persistent objects, collections,
// lists, string lists, streams, components) and the script engine's XML tree made visible to
// scripts, with the file-mode and seek-origin constants. It installs right after the system
// library and registers the root classes TObject, TPersistent and TComponent that the later
// modules name as ancestors.
//
// Every member is bound to its own call-back when it is registered; objects travel as their
// handles (core/ObjectHandles.h). Constructors make the class the script named: through its
// class information (components with their owner), TFileStream through its file constructor;
// an abstract class refuses to be made.
// Declares fs_iclassesrtti::TFunctions.
#include "script/fs_iscript.h"

namespace fs_iclassesrtti {

class TFunctions : public TfsRTTIModule {
public:
  explicit TFunctions(TfsScript* AScript);
};

}  // namespace fs_iclassesrtti
