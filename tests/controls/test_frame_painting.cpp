// Colour arithmetic, sides and rings, the frame styles on a 20 x 20 control, glyphs and the
// transparent copy.
#include "ControlsTestUtil.h"

#include "controls/RzGrafx.h"

using namespace ctltest;

namespace {

TEST(RzColors, HueSatLumCases) {
  Byte h, s, l;
  ColorToHueSatLum(clWhite, h, s, l);
  EXPECT_EQ((std::array<int, 3>{h, s, l}), (std::array<int, 3>{0, 0, 240}));
  ColorToHueSatLum(clWindow, h, s, l);  // a system colour is resolved first
  EXPECT_EQ(l, 240);
  ColorToHueSatLum(clRed, h, s, l);
  EXPECT_EQ((std::array<int, 3>{h, s, l}), (std::array<int, 3>{0, 240, 120}));
  // Hue is read back over 239, not 240: hue 160 leans a little to red, hue 0 is pure red.
  EXPECT_EQ(HexText(HexOf(HueSatLumToColor(160, 240, 120))), "0400FF");
  EXPECT_EQ(HexOf(HueSatLumToColor(0, 240, 120)), 0xFF0000u);
  EXPECT_EQ(HexOf(HueSatLumToColor(0, 0, 0)), 0x000000u);
}

TEST(RzColors, LightenClampsAndDarkenReachesBlack) {
  EXPECT_EQ(LightenColor(clWhite, 50), TColor(0xFFFFFF));
  for (TColor c : {clWhite, clRed, clInfoBk, TColor(0x336699), clBtnFace}) EXPECT_EQ(DarkenColor(c, 255), clBlack) << c;
  // Lightness 240 + 15 = 255 is beyond the scale: the components clamp to white.
  EXPECT_EQ(LightenColor(clSilver, 255), TColor(0xFFFFFF));
}

TEST(RzColors, TooSimilarTable) {
  // Greys of lightness 60, 61 and 120 (they convert back to exactly those).
  const TColor l60 = HueSatLumToColor(0, 0, 60), l61 = HueSatLumToColor(0, 0, 61), l120 = HueSatLumToColor(0, 0, 120);
  const struct {
    TColor A, B;
    bool Similar;
  } cases[] = {
      {clWindow, clWindow, true},
      {l60, l120, false},  // lightness 60 apart is enough
      {l61, l120, true},
      {HueSatLumToColor(2, 240, 120), HueSatLumToColor(238, 240, 120), true},  // across red
      {HueSatLumToColor(40, 240, 120), HueSatLumToColor(80, 240, 120), false},
      {clRed, clBlue, false},
  };
  for (const auto& c : cases) EXPECT_EQ(ColorsTooSimilar(c.A, c.B), c.Similar) << HexOf(c.A) << " " << HexOf(c.B);
  Byte h, s, l;
  ColorToHueSatLum(l60, h, s, l);
  EXPECT_EQ(l, 60);
  ColorToHueSatLum(l120, h, s, l);
  EXPECT_EQ(l, 120);
}

TEST(RzSides, NoSidesPaintNothingAndClNoneStillInsets) {
  TSurface s(10, 10);
  TRect r = Rect(1, 1, 9, 9);
  EXPECT_EQ(PaintRectSides(s.Canvas(), r, clBlack, clBlack, TSides{}), r);
  EXPECT_EQ(PaintRectSides(s.Canvas(), r, clNone, clNone, sdAllSides), Rect(2, 2, 8, 8));
  EXPECT_EQ(PaintRectSides(s.Canvas(), r, clNone, clNone, TSides{sdLeft, sdBottom}), Rect(2, 1, 9, 8));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(s.At(x, y), 0xFFFFFFu) << x << "," << y;
  // Only the chosen sides, line ends excluded.
  EXPECT_EQ(PaintRectSides(s.Canvas(), r, clRed, clBlue, TSides{sdTop, sdRight}), Rect(1, 2, 8, 9));
  EXPECT_EQ(Hex(s.At(1, 1)), 0xFF0000u);
  EXPECT_EQ(Hex(s.At(7, 1)), 0xFF0000u);
  EXPECT_EQ(Hex(s.At(8, 1)), 0x0000FFu);  // the right side is drawn over the top's end
  EXPECT_EQ(Hex(s.At(8, 8)), 0x0000FFu);
  EXPECT_EQ(Hex(s.At(1, 2)), 0xFFFFFFu);  // no left side
  EXPECT_EQ(Hex(s.At(4, 8)), 0xFFFFFFu);  // no bottom side
}

// The three pixels of a 20 x 20 frame: outer corner, inner corner, lower-right corner.
struct TFrameCase {
  TFrameStyle Style;
  unsigned P00, P11, P1919;
};

// The system-coloured frames on clWindow with FrameColor clBtnShadow.
constexpr TFrameCase SystemFrames[] = {
    {fsNone, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},       {fsFlat, 0x808080, 0xFFFFFF, 0x808080},
    {fsGroove, 0x808080, 0xFFFFFF, 0xFFFFFF},     {fsBump, 0xFFFFFF, 0x808080, 0x808080},
    {fsLowered, 0x808080, 0x404040, 0xFFFFFF},    {fsButtonDown, 0x000000, 0x808080, 0x000000},
    {fsRaised, 0xD4D0C8, 0xFFFFFF, 0x404040},     {fsButtonUp, 0xFFFFFF, 0xD4D0C8, 0x404040},
    {fsStatus, 0x808080, 0xFFFFFF, 0xFFFFFF},     {fsPopup, 0xFFFFFF, 0xFFFFFF, 0x808080},
    {fsFlatBold, 0x808080, 0x808080, 0x808080},
};

TEST(RzControlFrame, ElevenStylesOnTheWindowColour) {
  for (const TFrameCase& c : SystemFrames) {
    TSurface s(20, 20);
    s.Canvas()->Brush()->SetColor(clRed);
    s.Canvas()->FillRect(Rect(0, 0, 20, 20));  // the platform border the frame covers
    PaintControlFrame(s.Canvas(), 20, 20, c.Style, clWindow, clBtnShadow, sdAllSides, false);
    SCOPED_TRACE(EnumName(c.Style));
    EXPECT_EQ(HexText(Hex(s.At(0, 0))), HexText(c.P00));
    EXPECT_EQ(HexText(Hex(s.At(1, 1))), HexText(c.P11));
    EXPECT_EQ(HexText(Hex(s.At(19, 19))), HexText(c.P1919));
    EXPECT_EQ(Hex(s.At(2, 2)), 0xFF0000u);  // inside the two rings nothing is touched
  }
}

TEST(RzControlFrame, OtherFaceColoursAreTinted) {
  // clInfoBk and clWhite are tinted; clWhite is not clWindow even though it looks the same.
  for (TColor face : {clInfoBk, clWhite}) {
    TSurface s(20, 20);
    PaintControlFrame(s.Canvas(), 20, 20, fsLowered, face, clBtnShadow, sdAllSides, false);
    SCOPED_TRACE(HexOf(face));
    EXPECT_EQ(Hex(s.At(0, 0)), HexOf(DarkenColor(face, 50)));
    EXPECT_EQ(Hex(s.At(1, 1)), HexOf(DarkenColor(face, 100)));
    EXPECT_EQ(Hex(s.At(19, 19)), HexOf(LightenColor(face, 100)));
    EXPECT_EQ(Hex(s.At(18, 18)), HexOf(LightenColor(face, 50)));
    EXPECT_NE(Hex(s.At(0, 0)), 0x808080u);
  }
}

TEST(RzControlFrame, SidesLimitTheFrameAndKeepBorderLeavesTheEdge) {
  TSurface s(20, 20);
  s.Canvas()->Brush()->SetColor(clRed);
  s.Canvas()->FillRect(Rect(0, 0, 20, 20));
  PaintControlFrame(s.Canvas(), 20, 20, fsFlat, clWindow, clBlue, TSides{sdBottom}, true);
  EXPECT_EQ(Hex(s.At(10, 19)), 0x0000FFu);
  EXPECT_EQ(Hex(s.At(0, 10)), 0xFF0000u);  // kept border, no left side
  EXPECT_EQ(Hex(s.At(10, 0)), 0xFF0000u);
}

TEST(RzGrooveBump, CornerPixelsFollowTheSides) {
  // Top and left only: the top's right end and the left's bottom end take the upper-left colour.
  TSurface s(10, 10);
  TRect inner = PaintSystemBorderSides(s.Canvas(), Rect(0, 0, 10, 10), fsGroove, TSides{sdLeft, sdTop});
  EXPECT_EQ(inner, Rect(2, 2, 10, 10));
  EXPECT_EQ(Hex(s.At(9, 0)), 0x808080u);
  EXPECT_EQ(Hex(s.At(0, 9)), 0x808080u);
  EXPECT_EQ(Hex(s.At(1, 1)), 0xFFFFFFu);
  // Right side without the bottom: (R-2, B-1) takes the upper-left colour.
  TSurface t(10, 10);
  t.Canvas()->Brush()->SetColor(clRed);
  t.Canvas()->FillRect(Rect(0, 0, 10, 10));
  PaintTintedBorderSides(t.Canvas(), Rect(0, 0, 10, 10), clBtnFace, fsBump, TSides{sdRight});
  EXPECT_EQ(Hex(t.At(8, 9)), HexOf(LightenColor(clBtnFace, 100)));
  EXPECT_EQ(Hex(t.At(9, 0)), HexOf(DarkenColor(clBtnFace, 50)));
}

TEST(RzGlyphs, ColourAndPlace) {
  const struct {
    bool XP, Enabled;
    unsigned Colour;
  } cases[] = {{false, true, 0x000000}, {false, false, 0x808080}, {true, true, 0x404040}};
  for (const auto& c : cases) {
    TSurface s(17, 21);
    s.Canvas()->Brush()->SetColor(clYellow);
    PaintDropDownGlyph(s.Canvas(), Rect(0, 0, 17, 21), c.XP, false, c.Enabled);
    // The classic triangle hangs from (5..12, 8) down to its tip at (8, 12).
    EXPECT_EQ(Hex(s.At(8, 10)), c.Colour);
    EXPECT_EQ(s.Canvas()->Brush()->Color(), clYellow);  // the brush is given back
    EXPECT_EQ(s.Canvas()->Pen()->Style(), psSolid);
  }
  TSurface up(17, 21), down(17, 21);
  PaintArrowGlyph(up.Canvas(), Rect(0, 0, 17, 21), false, adUp, false, true);
  PaintArrowGlyph(down.Canvas(), Rect(0, 0, 17, 21), false, adUp, true, true);
  EXPECT_EQ(Hex(up.At(8, 8)), 0u);     // the tip of the up arrow
  EXPECT_EQ(Hex(down.At(9, 9)), 0u);   // pressed: one pixel right and down
  EXPECT_EQ(Hex(down.At(8, 7)), 0xFFFFFFu);
}

TEST(RzHelpers, CentringAndLineHeight) {
  EXPECT_EQ(RectCenteredIn(Rect(0, 0, 17, 21), 10, 10), Rect(3, 5, 13, 15));
  EXPECT_EQ(RectCenteredIn(Rect(10, 10, 20, 20), 4, 4), Rect(13, 13, 17, 17));
  TFont f;
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, f.Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  EXPECT_EQ(FontTextLineHeight(&f), tm.tmHeight + 2);
  EXPECT_EQ(IntMin(3, -2), -2);
  EXPECT_EQ(IntMax(3, -2), 3);
}

TEST(RzGrafx, TransparentCopyLeavesTheKeyColourOut) {
  TBitmap src;
  src.SetSize(4, 2);
  src.Canvas()->Brush()->SetColor(clLime);
  src.Canvas()->FillRect(Rect(0, 0, 4, 2));
  src.Canvas()->SetPixels(2, 0, clRed);  // the second image's first pixel
  TSurface dst(4, 4);
  StretchTransparentBitmap(dst.Canvas(), &src, Rect(0, 0, 4, 4), Rect(2, 0, 4, 2), clLime);
  EXPECT_EQ(Hex(dst.At(0, 0)), 0xFF0000u);  // stretched 2x
  EXPECT_EQ(Hex(dst.At(1, 1)), 0xFF0000u);
  EXPECT_EQ(Hex(dst.At(3, 3)), 0xFFFFFFu);  // lime left out
}

TEST(RzColorTables, HoldTheirEntries) {
  EXPECT_STREQ(RzColorNames[0].Name, "Black");
  EXPECT_EQ(RzColorNames[39].Color, TColor(0xFFFFFF));
  EXPECT_EQ(RzColorNames[40].Color, clScrollBar);
  EXPECT_EQ(RzColorNames[65].Color, clHotLight);  // index 25 is not in the table
  EXPECT_STREQ(RzColorNames[69].Name, "Menu Bar");
  EXPECT_STREQ(RzStandardColorNames[2].Name, "Black");
  EXPECT_EQ(RzStandardColorNames[42].Color, clInfoBk);
  EXPECT_STREQ(RzStandardColorNames[43].Name, "");
}

}  // namespace
