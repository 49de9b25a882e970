// The measuring context of a chosen resolution: extents that add up, no kerning, fonts
// realised at the resolution (text scales with it), and a canvas whose font follows it.
#include <gtest/gtest.h>

#include "gui/GdiDC.h"
#include "gui/GdiText.h"
#include "gui/MeasuringDC.h"
#include "core/StrUtils.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

struct TDCDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using TOwnedDC = std::unique_ptr<HDC__, TDCDeleter>;

struct TFontDeleter {
  void operator()(HGDIOBJ f) const { DeleteObject(f); }
};

// Extents after every character of Text in a font Height pixels high of Face.
std::vector<int> Extents(HDC dc, const String& Face, int Height, const String& Text, TSize* Size = nullptr) {
  std::unique_ptr<std::remove_pointer_t<HFONT>, TFontDeleter> font(
      CreateFont(Height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, Face));
  HGDIOBJ old = SelectObject(dc, font.get());
  std::vector<int> e(std::size_t(Length(Text)) + 1, -1);
  TSize size;
  GetTextExtentExPoint(dc, Text, -1, 0, nullptr, e.data(), &size);
  SelectObject(dc, old);
  if (Size) *Size = size;
  e.resize(std::size_t(Length(Text)));
  return e;
}

}  // namespace

TEST(MeasuringDC, ReportsItsResolutionAndPartsAddUpToTheWhole) {
  struct TCase {
    int Dpi;
    const char* Face;
    int Height;
  };
  for (TCase c : {TCase{600, "Arial", -83}, TCase{600, "宋体", -75}, TCase{300, "Times New Roman", -50},
                  TCase{96, "Arial", -13}}) {
    SCOPED_TRACE(std::to_string(c.Dpi) + " " + c.Face);
    TOwnedDC dc(CreateMeasuringDC(c.Dpi));
    ASSERT_NE(dc.get(), nullptr);
    EXPECT_EQ(GetDeviceCaps(dc.get(), LOGPIXELSX), c.Dpi);
    EXPECT_EQ(GetDeviceCaps(dc.get(), LOGPIXELSY), c.Dpi);
    const String text = "AVATAR Wolf 合同管理 To.Ty, ff fi";
    TSize whole;
    std::vector<int> e = Extents(dc.get(), c.Face, c.Height, text, &whole);
    ASSERT_EQ(e.size(), std::size_t(Length(text)));
    EXPECT_EQ(e.back(), whole.cx);
    TSize extent;
    {
      HFONT font = CreateFont(c.Height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, c.Face);
      HGDIOBJ old = SelectObject(dc.get(), font);
      GetTextExtentPoint32(dc.get(), text, -1, &extent);
      SelectObject(dc.get(), old);
      DeleteObject(font);
    }
    EXPECT_EQ(extent.cx, whole.cx) << "the extent of the whole is the last cumulative extent";
    // Every character's own extent is the step of the cumulative ones: no kerning pairs, no
    // ligatures, nothing depends on the neighbour.
    for (int i = 1; i <= Length(text); ++i) {
      std::vector<int> one = Extents(dc.get(), c.Face, c.Height, Copy(text, i, 1));
      EXPECT_EQ(one[0], e[std::size_t(i - 1)] - (i > 1 ? e[std::size_t(i - 2)] : 0)) << "character " << i;
    }
    // Non-decreasing.
    for (std::size_t i = 1; i < e.size(); ++i) EXPECT_GE(e[i], e[i - 1]);
  }
}

TEST(MeasuringDC, AboveScreenResolutionTextScalesWithTheFontUnhinted) {
  // Unhinted outlines grow in proportion: a line twice as high is twice as wide, to the pixel
  // per few hundred; hinting at the screen's sizes would snap every advance to whole pixels.
  TOwnedDC dc(CreateMeasuringDC(600));
  const String text = "The quick brown fox jumps over the lazy dog 合同编号";
  for (const char* face : {"Arial", "宋体"}) {
    TSize small, large;
    Extents(dc.get(), face, -100, text, &small);
    Extents(dc.get(), face, -400, text, &large);
    EXPECT_NEAR(double(large.cx) / small.cx, 4.0, 0.02) << face;
  }
  // Bounds: a nonsense resolution still gives a usable context.
  TOwnedDC zero(CreateMeasuringDC(0));
  EXPECT_GE(GetDeviceCaps(zero.get(), LOGPIXELSY), 1);
}

TEST(MeasuringDC, CanvasSizesItsFontForTheResolution) {
  TMeasuringCanvas c(600);
  EXPECT_EQ(c.Dpi(), 600);
  c.Font()->SetName("Arial");
  c.Font()->SetSize(12);
  EXPECT_EQ(c.Font()->Height(), -100);
  TOwnedDC dc(CreateMeasuringDC(600));
  TSize direct;
  Extents(dc.get(), "Arial", -100, "合同 Contract", &direct);
  EXPECT_EQ(c.TextWidth("合同 Contract"), direct.cx);
  EXPECT_EQ(c.TextHeight("合"), direct.cy);
}
