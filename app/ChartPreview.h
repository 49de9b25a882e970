#pragma once
// A chart printed through the shared print preview of the lists.
#include "core/System.h"

class TCustomChart;

// Draws Chart on one page of the shared print preview, as large as the page allows with its
// proportions kept, and shows the preview window; Title names the document.
void PreviewChart(TCustomChart* Chart, const String& Title);
