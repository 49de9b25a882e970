// A file of the data layer that includes the GUI above it: the layering check refuses it.
// (Read by the check only; nothing compiles it.)
#include "data/DB.h"
#include "gui/Forms.h"
