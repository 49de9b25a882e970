// The shared routines of the editor framework.
#include "editors/cxEditRoutines.h"

#include "core/Variant.h"
#include "editors/cxClasses.h"
#include "editors/cxRegion.h"
#include "editors/cxVariants.h"
#include "gui/Messages.h"
#include "gui/WinControl.h"

TShiftState MouseButtonToShift(TMouseButton Button) {
  switch (Button) {
    case mbLeft: return {ssLeft};
    case mbRight: return {ssRight};
    default: return {ssMiddle};
  }
}

TShiftState ButtonCodeToShift(int Code) {
  static const TShiftState table[] = {{}, {ssLeft}, {ssRight}, {ssMiddle}};
  return Code >= 0 && Code < 4 ? table[Code] : TShiftState();
}

WPARAM ShiftToMouseKeyFlags(TShiftState Shift) {
  static const struct {
    TShiftStateItem Flag;
    WPARAM Key;
  } table[] = {{ssShift, MK_SHIFT}, {ssCtrl, MK_CONTROL}, {ssLeft, MK_LBUTTON}, {ssRight, MK_RBUTTON}, {ssMiddle, MK_MBUTTON}};
  WPARAM r = 0;
  for (auto& e : table)
    if (Shift.Contains(e.Flag)) r |= e.Key;
  return r;
}

void SizeAtLeast(TSize& Size, const TSize& Min) {
  if (Size.cx < Min.cx) Size.cx = Min.cx;
  if (Size.cy < Min.cy) Size.cy = Min.cy;
}

TComponent* OwnerComponentOf(TPersistent* APersistent) {
  for (TPersistent* p = APersistent; p; p = PersistentOwner(p))
    if (auto* c = dynamic_cast<TComponent*>(p)) return c;
  return nullptr;
}

bool VarEqualsExact(const Variant& A, const Variant& B) {
  return VarType(A) == VarType(B) && VariantsEqualStrict(A, B);
}

bool IsBlankChar(Char C) {
  switch (C) {
    case 0: case 9: case 10: case 12: case 13: case 32: return true;
    default: return false;
  }
}

bool IsRegionEmpty(TcxRegion* ARegion) { return !ARegion || ARegion->IsEmpty(); }

void UniteRegion(TcxRegion* Dest, TcxRegion* Source) { Dest->CombineWith(Source, rcmUnion, false); }

void SendKeyToControl(TWinControl* AControl, Word Key) { SendMessage(AControl->Handle(), WM_KEYDOWN, Key, 0); }

void SendCharToControl(TWinControl* AControl, Char Ch) {
  SendMessage(AControl->Handle(), WM_CHAR, static_cast<WPARAM>(Ch), 0);
}
