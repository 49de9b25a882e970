// TPersistent: assignment between objects and their name path.
#include "core/Persistent.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"

KELM_PUBLISH(TPersistent) {}

void TPersistent::Assign(TPersistent* Source) {
  if (!Source) throw EConvertError("Cannot assign a nil to a " + ClassName());
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  String src = ClassName();
  String dst = Dest ? Dest->ClassName() : String("nil");
  throw EConvertError("Cannot assign a " + src + " to a " + dst);
}

String TPersistent::GetNamePath() const {
  TPersistent* owner = GetOwner();
  String own = owner ? owner->GetNamePath() : String();
  return own.empty() ? ClassName() : own;
}
