#pragma once
// The base control unit of the editor library: TcxControl with its scroll bars, size grip,
// drag and drop and panning; the popup window; the timer and message windows; mouse-leave
// tracking; the child component and the shared helpers.
#include "editors/cxControl.h"
#include "editors/cxControlScrollBars.h"
#include "editors/cxControlUtils.h"
#include "editors/cxDragAndDrop.h"
#include "editors/cxMouseTracking.h"
#include "editors/cxPopupWindow.h"
#include "editors/cxTimer.h"
