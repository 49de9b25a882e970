#pragma once
// Settings written by one test program stay in a folder of its own: CTest runs the programs
// in parallel, one test per process, and a shared settings file would let one test read
// another's window places, recent fonts and options half-written.
#include "TempFolder.h"

#include <stdlib.h>

class IsolatedSettings {
public:
  IsolatedSettings() { ::setenv("XDG_CONFIG_HOME", FDir.Path().c_str(), 1); }

private:
  TempFolder FDir;
};
