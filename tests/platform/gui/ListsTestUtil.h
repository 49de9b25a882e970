#pragma once
// Helpers of the list, tab, tree and bar tests: pixels of a control as the screen shows them
// (frames included), and system colours as Qt colours.
#include "StdTestUtil.h"

#include "gui/WinGDI.h"

namespace liststest {

// The pixel at a client point of a control inside the form, read from the form's picture.
inline QColor At(TCustomForm* Form, TControl* C, int X, int Y) {
  QImage img = guitest::WidgetOf(Form)->grab().toImage();
  TPoint s = C->ClientToScreen({X, Y});
  TPoint f = Form->ScreenToClient(s);
  return QColor(img.pixel(f.X, f.Y));
}

inline QColor SysQColor(int Index) {
  COLORREF c = GetSysColor(Index);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace liststest
