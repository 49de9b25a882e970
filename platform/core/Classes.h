#pragma once
// Lists of pointers and objects, bit maps, string lists and streams: each in its own header
// (Lists.h, StringList.h, Streams.h), all included here, with the alignment they share.
#include "core/Events.h"
#include "core/Lists.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "core/TypInfo.h"

// Horizontal alignment of text, shared by fields, edits, labels and grid columns.
KELM_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
using TLeftRight = TAlignment;
