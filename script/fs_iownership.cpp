// The objects scripts made, by handle: handles are never given out twice, so a freed object's
// entry cannot be mistaken for a new one.
#include "script/fs_iownership.h"

#include "core/ObjectHandles.h"

#include <mutex>
#include <unordered_set>

namespace {

struct TMadeObjects {
  std::mutex Lock;
  std::unordered_set<Integer> Handles;
};

TMadeObjects& Made() {
  static TMadeObjects m;
  return m;
}

}  // namespace

Variant AdoptScriptObject(TObject* AObject) {
  Integer h = HandleOf(AObject);
  std::lock_guard<std::mutex> hold(Made().Lock);
  Made().Handles.insert(h);
  return Variant(h);
}

Variant FreeScriptObject(TObject* Instance, TClass, const String&, TfsMethodHelper*) {
  Integer h = HandleOf(Instance);
  {
    std::lock_guard<std::mutex> hold(Made().Lock);
    if (Made().Handles.erase(h) == 0)
      throw EInvalidOperation("Cannot free a " + Instance->ClassName() + " that belongs to another object");
  }
  delete Instance;
  return Variant(0);
}
