// The thread's stack bounds come from pthread_getattr_np once per thread; the stack grows
// downwards on every platform the program runs on.
#include "core/StackSpace.h"

#include <pthread.h>


namespace {

const char* StackLow() {
  thread_local const char* low = [] {
    pthread_attr_t attr;
    void* addr = nullptr;
    std::size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &addr, &size);
      pthread_attr_destroy(&attr);
    }
    return static_cast<const char*>(addr);
  }();
  return low;
}

}  // namespace

std::size_t StackSpaceLeft() {
  char here = 0;
  const char* low = StackLow();
  const char* pos = &here;
  if (!low) return static_cast<std::size_t>(-1);  // bounds unknown: never refuse
  if (pos <= low) return 0;
  return static_cast<std::size_t>(pos - low);
}

void CheckStackSpace(std::size_t Reserve) {
  if (StackSpaceLeft() < Reserve) throw EStackOverflow("Stack overflow");
}
