// A file that includes the grid's private state beside its public header: the layering check
// lets the grid's own files do it and refuses any other library, even one linking the grid.
// (Read by the check only; nothing compiles it.)
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"
