#pragma once
// Edit buttons and the painting of button faces: the button descriptions an edit carries
// (TEditButtonEh in TEditButtonsEh), the button control placed inside the edit
// (TEditButtonControlEh, TSpeedButtonEh), the painters of every button face and check box
// of the grid library with their shared bitmap cache, and small helpers shared by the grid's
// controls: placing a drop-down beside its owner, drawing an image centred in a rectangle,
// dotted tree lines, the double-click test and the variant equality test. Also the drop-down
// windows the edits open (pick list with its size grip, recently-used list, month calendar)
// and the objects that feed them (special row, distinct values of a field, field-name lists).
//
// This header is the unit's: it includes ToolCtrlsEhButtons.h, ToolCtrlsEhFaces.h,
// ToolCtrlsEhPopups.h and ToolCtrlsEhLists.h, and declares the small helpers itself.
#include "grid/ToolCtrlsEhLists.h"

// ================================================================ small helpers

// Dots every two pen widths from From along a line of Length pixels; Parity picks the dot
// lattice by the parity of x + y of the first dot.
void DrawDottedLine(TCanvas* Canvas, TPoint From, int Length, bool Parity, bool Horizontal);
// The lines and the plus or minus box of a tree row (Kind 0-9) in Rect.
void DrawTreeNodeLines(TCanvas* Canvas, const TRect& Rect, int Kind, double UnitY, double UnitX, bool Parity);
// Whether a click at NewPos, Interval ms after one at OldPos, completes a double click.
bool IsSecondClickOfDoubleClick(TPoint OldPos, TPoint NewPos, DWORD Interval);
// The time within which two clicks make a double click, in ms.
constexpr DWORD kDoubleClickTimeEh = 500;

namespace ToolCtrlsEh {
// Arrays compare by their first dimension's bounds and elements; other values by the
// platform's equality, where Empty equals only Empty. Any failure counts as not equal.
bool VariantsEqual(const Variant& A, const Variant& B);
}  // namespace ToolCtrlsEh
