#pragma once
// Private to ListView.cpp and TreeView.cpp: small helpers of the item views beside their
// base class (ItemView.h).
#include "gui/CanvasPaint_p.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/ImageListLink_p.h"
#include "gui/ItemView.h"
#include "gui/WinGDI.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <functional>

namespace comctrls {

// Text begins with Prefix, case aside: how typing finds an item.
inline bool CaptionStartsWith(const String& Text, const String& Prefix) {
  return StartsText(Prefix, Text) || (Length(Prefix) <= Length(Text) && AnsiSameText(Copy(Text, 1, Length(Prefix)), Prefix));
}

// Lines a WM_MOUSEWHEEL turns, by the user's wheel setting (up positive).
inline int WheelSteps(WPARAM WParam) {
  int lines = Mouse ? Mouse->WheelScrollLines() : 3;
  return WheelDeltaOf(WParam) / 120 * lines;
}

// Whether a WM_HSCROLL or WM_VSCROLL code moves the view (SB_ENDSCROLL and others do not).
inline bool IsScrollMove(WPARAM WParam) { return LoWord(WParam) <= SB_BOTTOM; }

// The position a WM_HSCROLL or WM_VSCROLL asks for, from Current by Line and Page steps, the
// thumb's place or an end (0 and Last). False for a code that does not scroll (SB_ENDSCROLL).
inline bool ScrollBarTarget(WPARAM WParam, int Current, int Line, int Page, int Last, int& Target) {
  int pos = static_cast<short>(HiWord(WParam));
  switch (LoWord(WParam)) {
    case SB_LINEUP: Target = Current - Line; return true;
    case SB_LINEDOWN: Target = Current + Line; return true;
    case SB_PAGEUP: Target = Current - Page; return true;
    case SB_PAGEDOWN: Target = Current + Page; return true;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: Target = pos; return true;
    case SB_TOP: Target = 0; return true;
    case SB_BOTTOM: Target = Last; return true;
    default: return false;
  }
}

}  // namespace comctrls
