#pragma once
// Probing drawn pixels: a white bitmap to draw on, its pixels as COLORREF values, and the
// box of pixels that differ from a background.
#include "gui/Graphics.h"
#include <gtest/gtest.h>

class CanvasProbe : public ::testing::Test {
protected:
  void SetUp() override { Bmp.SetSize(120, 80); }

  TCanvas* C() { return Bmp.Canvas(); }
  HDC DC() { return Bmp.Canvas()->Handle(); }

  // The pixel as the bitmap holds it, independent of the context's mapping and clipping.
  COLORREF Px(int x, int y) {
    const Byte* p = Bmp.ScanLine(y) + x * 4;
    return RGB(p[2], p[1], p[0]);
  }

  struct TInk {
    int Count = 0;
    TRect Box{1 << 20, 1 << 20, -1, -1};  // empty unless Count > 0
  };
  // Pixels within Area that are not Background.
  TInk Ink(const TRect& Area, COLORREF Background = 0xFFFFFF) {
    TInk ink;
    for (int y = std::max(0, Area.Top); y < std::min(Bmp.Height(), Area.Bottom); ++y)
      for (int x = std::max(0, Area.Left); x < std::min(Bmp.Width(), Area.Right); ++x)
        if (Px(x, y) != Background) {
          ++ink.Count;
          ink.Box.Left = std::min(ink.Box.Left, x);
          ink.Box.Top = std::min(ink.Box.Top, y);
          ink.Box.Right = std::max(ink.Box.Right, x + 1);
          ink.Box.Bottom = std::max(ink.Box.Bottom, y + 1);
        }
    return ink;
  }
  TInk Ink() { return Ink(Rect(0, 0, Bmp.Width(), Bmp.Height())); }

  void Fill(const TRect& r, TColor colour) {
    C()->Brush()->SetColor(colour);
    C()->Brush()->SetStyle(bsSolid);
    C()->FillRect(r);
  }

  std::vector<COLORREF> Snapshot() {
    std::vector<COLORREF> all;
    for (int y = 0; y < Bmp.Height(); ++y)
      for (int x = 0; x < Bmp.Width(); ++x) all.push_back(Px(x, y));
    return all;
  }

  TBitmap Bmp;
};

inline COLORREF Sys(int index) { return GetSysColor(index); }
