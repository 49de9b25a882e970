#pragma once
// Private to platform/gui: lending a paint's device context to a control's canvas.
#include "core/Scope.h"
#include "gui/Controls.h"

#include <utility>

// Runs Draw with Canvas drawing on DC: the canvas is locked against other threads, lets go
// of a context it made for itself, and gives DC back however Draw ends, so the canvas never
// keeps a context that is only valid during this paint.
template <class DrawFn> void PaintOnCanvas(TControlCanvas& Canvas, HDC DC, DrawFn&& Draw) {
  Canvas.Lock();
  Canvas.FreeHandle();
  Canvas.SetHandle(DC);
  TScopeExit giveBack([&Canvas] {
    Canvas.SetHandle(nullptr);
    Canvas.Unlock();
  });
  std::forward<DrawFn>(Draw)();
}
