#pragma once
// Small routines of the editor framework that the editor units share: mouse buttons and
// shift states in both directions, sizes, the owning component of a settings object, exact
// value equality, blank characters, region tests and sending keys to an editor.
#include "core/Classes.h"
#include "gui/Control.h"

class Variant;
class TcxRegion;

TShiftState MouseButtonToShift(TMouseButton Button);
// The button code of a view update: 0 none, 1 left, 2 right, 3 middle.
TShiftState ButtonCodeToShift(int Code);
// Mouse-message key flags (MK_*) of a shift state; Alt and double clicks give nothing.
WPARAM ShiftToMouseKeyFlags(TShiftState Shift);
void SizeAtLeast(TSize& Size, const TSize& Min);
// The first component up the owner chain, nil when there is none.
TComponent* OwnerComponentOf(TPersistent* APersistent);
// The same variant type and the same value by the exact comparison.
bool VarEqualsExact(const Variant& A, const Variant& B);
bool IsBlankChar(Char C);
bool IsRegionEmpty(TcxRegion* ARegion);
void UniteRegion(TcxRegion* Dest, TcxRegion* Source);
void SendKeyToControl(TWinControl* AControl, Word Key);
void SendCharToControl(TWinControl* AControl, Char Ch);
