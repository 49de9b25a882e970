#pragma once
// A bitmap to paint on, with pixel probes: the colour at a point, the box of pixels that
// differ from the background, and rows or rings of one colour.
#include "gui/Application.h"
#include "gui/Graphics.h"
#include "gui/WinGDI.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

inline void EnsureGridTestApplication() {
  static int argc = 1;
  static char name[] = "test_grid";
  static char* argv[] = {name, nullptr};
  InitApplication(argc, argv);
}

class TPaintSurface {
public:
  static constexpr COLORREF kBackground = RGB(255, 0, 255);

  // A fresh bitmap of the size, filled with the background colour; the canvas writes black
  // text in a fixed Latin face.
  void Reset(int Width, int Height) {
    Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetSize(Width, Height);
    Canvas()->Brush()->SetColor(TColor(kBackground));
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(Rect(0, 0, Width, Height));
    Canvas()->Font()->SetName("Arial");
    Canvas()->Font()->SetHeight(-13);
    Canvas()->Font()->SetColor(clBlack);
  }

  // Paints the whole bitmap in a colour without touching the canvas's own settings.
  void Clear(COLORREF Colour = kBackground) {
    HBRUSH b = CreateSolidBrush(Colour);
    FillRect(DC(), FullArea(), b);
    DeleteObject(b);
  }

  TCanvas* Canvas() { return Bitmap->Canvas(); }
  HDC DC() { return Canvas()->Handle(); }
  COLORREF Pixel(int X, int Y) { return COLORREF(Canvas()->Pixels(X, Y)) & 0xFFFFFF; }

  // The smallest rectangle holding every pixel of Area for which Pred holds; empty when none.
  TRect BoxWhere(const TRect& Area, const std::function<bool(COLORREF)>& Pred) {
    TRect box{Area.Right, Area.Bottom, Area.Left, Area.Top};
    bool any = false;
    for (int y = Area.Top; y < Area.Bottom; ++y)
      for (int x = Area.Left; x < Area.Right; ++x)
        if (Pred(Pixel(x, y))) {
          any = true;
          box.Left = std::min(box.Left, x);
          box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1);
          box.Bottom = std::max(box.Bottom, y + 1);
        }
    return any ? box : TRect{};
  }
  // The box of dark (text) pixels.
  TRect InkBox(const TRect& Area) {
    return BoxWhere(Area, [](COLORREF c) { return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128; });
  }
  TRect FullArea() { return Rect(0, 0, Bitmap->Width(), Bitmap->Height()); }

  int CountWhere(const TRect& Area, const std::function<bool(COLORREF)>& Pred) {
    int n = 0;
    for (int y = Area.Top; y < Area.Bottom; ++y)
      for (int x = Area.Left; x < Area.Right; ++x)
        if (Pred(Pixel(x, y))) ++n;
    return n;
  }
  int CountColour(const TRect& Area, COLORREF Colour) {
    return CountWhere(Area, [&](COLORREF c) { return c == Colour; });
  }
  bool RowIs(int Y, int Left, int Right, COLORREF Colour) {
    for (int x = Left; x < Right; ++x)
      if (Pixel(x, Y) != Colour) return false;
    return true;
  }
  // Every pixel of the one-pixel ring just inside R has the colour.
  bool RingIs(const TRect& R, COLORREF Colour) {
    for (int x = R.Left; x < R.Right; ++x)
      if (Pixel(x, R.Top) != Colour || Pixel(x, R.Bottom - 1) != Colour) return false;
    for (int y = R.Top; y < R.Bottom; ++y)
      if (Pixel(R.Left, y) != Colour || Pixel(R.Right - 1, y) != Colour) return false;
    return true;
  }

  std::unique_ptr<TBitmap> Bitmap;
};

class TGridPaintFixture : public ::testing::Test, public TPaintSurface {
protected:
  void SetUp() override {
    EnsureGridTestApplication();
    Reset(200, 80);
  }
};

inline std::ostream& operator<<(std::ostream& os, const TRect& r) {
  return os << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}
