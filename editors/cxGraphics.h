#pragma once
// The editor library's drawing layer, included whole: types and helpers
// (cxGraphicsUtils.h), regions (cxRegion.h) and the canvas wrapper (cxCanvas.h).
#include "editors/cxCanvas.h"
#include "editors/cxGraphicsUtils.h"
#include "editors/cxRegion.h"
