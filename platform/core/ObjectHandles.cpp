// The handle table: two hash maps, object to id and id to object, behind one mutex, because
// objects may be destroyed on any thread while the scripts run on the GUI thread.
#include "core/ObjectHandles.h"

#include <atomic>
#include <cassert>
#include <mutex>
#include <unordered_map>

namespace {

struct THandleTable {
  std::mutex Lock;
  std::unordered_map<const TObject*, Integer> ById;  // object -> id
  std::unordered_map<Integer, TObject*> ByHandle;    // id -> object
  Integer Next = 1;
};

// Read by every ~TObject without the lock: a plain count of the entries.
std::atomic<int> gLive{0};

THandleTable& Table() {
  // Never destroyed: objects freed during static destruction still consult it.
  static THandleTable* t = new THandleTable;
  return *t;
}

void Forget(const TObject* obj) {
  THandleTable& t = Table();
  std::lock_guard<std::mutex> hold(t.Lock);
  auto it = t.ById.find(obj);
  if (it == t.ById.end()) return;
  t.ByHandle.erase(it->second);
  t.ById.erase(it);
  gLive.store(static_cast<int>(t.ById.size()), std::memory_order_relaxed);
}

}  // namespace

TObject::~TObject() {
  if (gLive.load(std::memory_order_relaxed) != 0) Forget(this);
}

Integer HandleOf(const TObject* Obj) {
  if (!Obj) return 0;
  THandleTable& t = Table();
  std::lock_guard<std::mutex> hold(t.Lock);
  auto [it, added] = t.ById.try_emplace(Obj, 0);
  if (added) {
    // Ids only grow; a wrap after two thousand million objects would start reusing them.
    assert(t.Next > 0);
    it->second = t.Next++;
    t.ByHandle.emplace(it->second, const_cast<TObject*>(Obj));
    gLive.store(static_cast<int>(t.ById.size()), std::memory_order_relaxed);
  }
  return it->second;
}

TObject* ObjectOf(Integer Handle) {
  if (Handle == 0) return nullptr;
  THandleTable& t = Table();
  std::lock_guard<std::mutex> hold(t.Lock);
  auto it = t.ByHandle.find(Handle);
  return it == t.ByHandle.end() ? nullptr : it->second;
}

int ObjectHandleCount() { return gLive.load(std::memory_order_relaxed); }
