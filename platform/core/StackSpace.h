#pragma once
// How much stack the current thread has left, for recursion guards: a routine that recurses on
// input (nested documents, script calls) checks it and raises EStackOverflow "Stack overflow"
// instead of running into the end of the stack.
#include "core/Exceptions.h"

#include <cstddef>

KELM_EXCEPTION(EStackOverflow, Exception);

// Bytes between the current stack position and the end of this thread's stack.
std::size_t StackSpaceLeft();
// Raises EStackOverflow when fewer than Reserve bytes are left.
void CheckStackSpace(std::size_t Reserve = 64 * 1024);
