#pragma once
// Private to platform/gui: pointing a component at another image list.
#include "gui/ImgList.h"

// Moves Link and the free notification from the image list in Field to Value, which Field
// then holds; false (nothing done) when Field already holds Value. The owner hears of the
// list's changes through Link, and of its end through Notification.
inline bool SwapImageList(TCustomImageList*& Field, TCustomImageList* Value, TChangeLink* Link, TComponent* Self) {
  if (Field == Value) return false;
  if (Field) {
    Field->UnRegisterChanges(Link);
    Field->RemoveFreeNotification(Self);
  }
  Field = Value;
  if (Field) {
    Field->RegisterChanges(Link);
    Field->FreeNotification(Self);
  }
  return true;
}
