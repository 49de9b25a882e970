#pragma once
// Shared helpers of the auxiliary edit control tests: a bitmap to paint frames on with pixel
// reads as RGB, and the shown form of the standard-control tests.
#include "StdTestUtil.h"

#include "controls/RzBtnEdt.h"
#include "core/ClassBuilder.h"
#include "controls/RzCommon.h"
#include "controls/RzEdit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace ctltest {

// A white bitmap of the size.
struct TSurface {
  std::unique_ptr<TBitmap> Bitmap = std::make_unique<TBitmap>();
  TSurface(int W, int H) {
    Bitmap->SetSize(W, H);
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(Rect(0, 0, W, H));
  }
  TCanvas* Canvas() { return Bitmap->Canvas(); }
  COLORREF At(int X, int Y) { return COLORREF(Canvas()->Pixels(X, Y)) & 0xFFFFFF; }
};

// RGB of a colour as 0xRRGGBB, the way pixel expectations are written.
inline unsigned Hex(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
inline unsigned HexOf(TColor c) { return Hex(ColorToRGB(c)); }
inline unsigned HexOf(const QColor& c) { return (unsigned(c.red()) << 16) | (unsigned(c.green()) << 8) | unsigned(c.blue()); }

inline std::string HexText(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "%06X", v);
  return b;
}

}  // namespace ctltest
