#pragma once
// What the tree view and the list view share: the custom-draw state of an item.
#include "gui/Controls.h"

KELM_ENUM(TCustomDrawStateItem, cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot,
          cdsMarked, cdsIndeterminate)
using TCustomDrawState = TSet<TCustomDrawStateItem>;

// How the items sort: not at all, by data (OnCompare), by text, or by both.
KELM_ENUM(TSortType, stNone, stData, stText, stBoth)
