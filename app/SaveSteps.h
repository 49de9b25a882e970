#pragma once
// Named points inside the program's saves. Nothing happens at them unless a hook is set: a
// test sets one to stop a save at a point of its choosing (a process that kills itself there
// shows what a crash at that moment leaves behind).
#include <functional>

using TSaveStepHook = std::function<void(const char* Step)>;

// Sets the hook (nullptr: none) and returns the one it replaces.
TSaveStepHook SetSaveStepHook(TSaveStepHook Hook);
// A save has reached Step.
void PassSaveStep(const char* Step);
