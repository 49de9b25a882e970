// A file of the data layer that includes only its own folder, the runtime below it, a header
// beside it and the standard library: the layering check lets it pass.
// (Read by the check only; nothing compiles it.)
#include "data/DB.h"
#include "core/SysUtils.h"
#include "Beside.h"
#include <vector>
