#pragma once
// What a host control that drives an edit in place offers it: the edit hands the host its
// messages and keys first and asks it whether the value may change. A grid's filter row is
// such a host; the interface stays apart from the edit so a host need not include the edit.
#include "gui/Controls.h"

class IInplaceEditHolderEh {
public:
  virtual ~IInplaceEditHolderEh() = default;
  // Sees every message of the edit first; true consumes it.
  virtual bool InplaceEditWndProc(TControl* Edit, TMessage& Message) = 0;
  // May zero the key.
  virtual void InplaceEditKeyDown(TControl* Edit, Word& Key, TShiftState Shift) = 0;
  virtual void InplaceEditKeyPress(TControl* Edit, Char& Key) = 0;
  virtual void InplaceEditKeyUp(TControl* Edit, Word& Key, TShiftState Shift) = 0;
  virtual bool InplaceEditCanModify(TControl* Edit) = 0;
  virtual bool InplaceEditWantsTab(TControl* Edit) = 0;
  // Screen point and tick of the holder's last mouse press.
  virtual void GetMouseDownInfo(TPoint& Pos, DWORD& Time) = 0;
};
