#pragma once
// The calculator unit: the calculator control and the calculator editor with its popup.
#include "editors/cxCalcEdit.h"
#include "editors/cxCalculator.h"
