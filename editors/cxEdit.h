#pragma once
// The editor framework: edit buttons and styles, editor properties, the repository and data
// binding, the view data and view info, the drawing helpers and the editor base control.
#include "editors/cxCustomEdit.h"
#include "editors/cxEditButtons.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditRoutines.h"
#include "editors/cxEditStyles.h"
#include "editors/cxEditUtils.h"
#include "editors/cxEditViewInfo.h"
