#pragma once
// The drawing functions the system calls by their platform names, with the platform's
// semantics: a device context (HDC) holds the selected pen, brush and font, colours, modes,
// mapping and clip region; rectangles exclude their right and bottom edges, lines their end
// point; text is placed by the top-left of its cell. Included whole: the shared types
// (GdiTypes.h), device contexts (GdiDC.h), drawing (GdiDraw.h), text (GdiText.h) and system
// colours and metrics (SysColors.h).
#include "gui/GdiTypes.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/GdiText.h"
#include "gui/SysColors.h"
