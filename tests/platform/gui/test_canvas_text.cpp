// Text: fonts and their substitution, measuring, TextOut placement and background, and
// DrawText's layout, checked by measurements and at probe pixels.
#include "CanvasProbe.h"
#include "gui/QtBridge_p.h"
#include "core/StrUtils.h"
#include "gui/GdiText.h"
#include "gui/Window.h"

#include <algorithm>
#include <set>

namespace {
constexpr COLORREF White = 0xFFFFFF;

class CanvasText : public CanvasProbe {
protected:
  void SetUp() override {
    CanvasProbe::SetUp();
    Bmp.SetSize(200, 120);
    C()->Font()->SetName("宋体");
    C()->Font()->SetHeight(-12);
    C()->Brush()->SetStyle(bsClear);
  }
  int Width(const String& s) { return C()->TextWidth(s); }
  int LineHeight() { return C()->TextHeight("Ay"); }
  // DT_CALCRECT from (0, 0, width, 0).
  TRect Calc(const String& s, int width, UINT format) {
    TRect r = Rect(0, 0, width, 0);
    C()->RequiredState({csHandleValid, csFontValid});
    int h = DrawText(DC(), s, -1, &r, format | DT_CALCRECT);
    EXPECT_EQ(h, r.Height());
    return r;
  }
  TInk Draw(const String& s, const TRect& r, UINT format) {
    C()->RequiredState({csHandleValid, csFontValid, csBrushValid});
    TRect box = r;
    DrawText(DC(), s, -1, &box, format);
    return Ink();
  }
};
}  // namespace

TEST(Fonts, HeightAndSizeFollowThePixelsPerInch) {
  TFont f;
  EXPECT_EQ(f.Name(), "MS Sans Serif");
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  f.SetSize(9);
  EXPECT_EQ(f.Height(), -12);
  f.SetHeight(-16);
  EXPECT_EQ(f.Size(), 12);
  TFont printer;
  printer.SetPixelsPerInch(600);
  printer.Assign(&f);
  EXPECT_EQ(printer.Size(), 12);
  EXPECT_EQ(printer.Height(), -100);  // 12 points at 600 DPI

  int changes = 0;
  f.SetOnChange(TNotifyEvent::Lambda([&](TObject*) { ++changes; }));
  f.SetStyle({fsBold, fsItalic});
  f.SetStyle({fsBold, fsItalic});
  f.SetColor(clRed);
  EXPECT_EQ(changes, 2);
  LOGFONT lf;
  ASSERT_TRUE(GetObject(f.Handle(), &lf));
  EXPECT_EQ(lf.lfHeight, -16);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfFaceName, "MS Sans Serif");
}

TEST(Fonts, PublishedAsLayoutsStoreThem) {
  TFont f;
  const TPropInfo* size = GetPropInfo(&f, "Size");
  ASSERT_NE(size, nullptr);
  EXPECT_FALSE(size->IsStored(&f));  // the height is stored instead
  EXPECT_EQ(GetPropInfo(&f, "Color")->TypeName, "TColor");
  SetOrdProp(&f, "Height", -15);
  EXPECT_EQ(f.Height(), -15);
  SetSetProp(&f, "Style", "fsBold,fsUnderline");
  EXPECT_EQ(f.Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(GetEnumProp(&f, "Pitch"), "fpDefault");
  TPen pen;
  EXPECT_TRUE(GetPropInfo(&pen, "Mode")->IsDefault(&pen));
  pen.SetMode(pmXor);
  EXPECT_FALSE(GetPropInfo(&pen, "Mode")->IsDefault(&pen));
  EXPECT_EQ(GetEnumProp(&pen, "Mode"), "pmXor");
  EXPECT_EQ(int(pmXor), 14);
}

TEST(Fonts, PlatformFacesBecomeInstalledOnes) {
  struct Row {
    const char* Face;
    const char* Family;
  };
  const Row rows[] = {
      {"MS Sans Serif", "WenQuanYi Micro Hei"}, {"宋体", "WenQuanYi Micro Hei"},  {"Default", "WenQuanYi Micro Hei"},
      {"Tahoma", "WenQuanYi Micro Hei"},       {"ms sans serif", "WenQuanYi Micro Hei"},
      {"Arial", "Liberation Sans"},            {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Face);
    QStringList families = SubstituteFontFamilies(r.Face, false);
    ASSERT_FALSE(families.isEmpty());
    EXPECT_EQ(families.front().toStdString(), r.Family);
    // Characters a Latin face lacks come from the Chinese face.
    EXPECT_TRUE(families.back().startsWith("WenQuanYi Micro Hei"));
  }
  EXPECT_EQ(SubstituteFontFamilies("Courier New", false).back().toStdString(), "WenQuanYi Micro Hei Mono");
  EXPECT_EQ(SubstituteFontFamilies("Some Face", false).front().toStdString(), "Some Face");
}

TEST_F(CanvasText, MetricsAddUpWithoutKerning) {
  TEXTMETRIC tm;
  C()->RequiredState({csHandleValid, csFontValid});
  ASSERT_TRUE(GetTextMetrics(DC(), &tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 12);
  EXPECT_EQ(tm.tmOverhang, 0);
  EXPECT_GT(tm.tmAveCharWidth, 0);
  EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
  EXPECT_EQ(LineHeight(), tm.tmHeight);
  EXPECT_EQ(Width("AV"), Width("A") + Width("V"));
  EXPECT_EQ(Width("To合同"), Width("T") + Width("o") + Width("合") + Width("同"));

  const String s = "Wage合同";
  int extents[6] = {};
  int fit = -1;
  TSize size;
  ASSERT_TRUE(GetTextExtentExPoint(DC(), s, -1, Width("Wag"), &fit, extents, &size));
  EXPECT_EQ(fit, 3);
  for (int i = 0; i < Length(s); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(extents[i], Width(Copy(s, 1, i + 1)));
  }
  EXPECT_EQ(size.cx, Width(s));
  EXPECT_EQ(size.cy, tm.tmHeight);

  // Character extra adds after every character.
  SetTextCharacterExtra(DC(), 3);
  TSize spaced;
  GetTextExtentPoint32(DC(), "abcd", -1, &spaced);
  SetTextCharacterExtra(DC(), 0);
  EXPECT_EQ(spaced.cx, Width("abcd") + 4 * 3);
}

TEST_F(CanvasText, ChineseTextRendersInItsBox) {
  const String text = "合同管理";
  int w = Width(text), h = LineHeight();
  EXPECT_EQ(w, 4 * Width("合"));
  EXPECT_GE(Width("合"), 11);  // a full-width glyph, not a missing-glyph box of a Latin face
  C()->Brush()->SetStyle(bsClear);
  C()->TextOut(20, 30, text);
  TInk ink = Ink();
  EXPECT_GT(ink.Count, 60);
  EXPECT_GE(ink.Box.Left, 20);
  EXPECT_GE(ink.Box.Top, 30);
  EXPECT_LE(ink.Box.Right, 20 + w);
  EXPECT_LE(ink.Box.Bottom, 30 + h);
  // Each character has ink of its own.
  for (int i = 0; i < 4; ++i) EXPECT_GT(Ink(Bounds(20 + i * w / 4, 30, w / 4, h)).Count, 10) << i;
}

TEST_F(CanvasText, TextOutPlacesTheCellByItsTopLeftAndPaintsASolidBackground) {
  C()->Brush()->SetStyle(bsSolid);
  C()->Brush()->SetColor(clYellow);
  C()->TextOut(10, 20, "HH");
  int w = Width("HH"), h = LineHeight();
  EXPECT_EQ(Ink().Box, Bounds(10, 20, w, h));
  EXPECT_EQ(Px(10, 20), RGB(255, 255, 0));
  EXPECT_EQ(Px(10 + w - 1, 20 + h - 1), RGB(255, 255, 0));
  EXPECT_EQ(C()->PenPos(), Point(10 + w, 20));

  C()->Brush()->SetStyle(bsClear);
  C()->TextOut(10, 60, "Hg");
  TInk ink = Ink(Rect(0, 50, 200, 120));
  EXPECT_EQ(Px(10, 60), White);
  EXPECT_GE(ink.Box.Top, 60);
  EXPECT_LE(ink.Box.Bottom, 60 + h);
  EXPECT_GT(ink.Count, 20);
}

TEST_F(CanvasText, TextAlignmentAndClipping) {
  C()->RequiredState({csHandleValid, csFontValid, csBrushValid});
  int w = Width("HH");
  SetTextAlign(DC(), TA_RIGHT | TA_BASELINE);
  TEXTMETRIC tm;
  GetTextMetrics(DC(), &tm);
  ExtTextOut(DC(), 100, 40, 0, nullptr, "HH");
  TInk ink = Ink();
  EXPECT_LE(ink.Box.Right, 100);
  EXPECT_GE(ink.Box.Left, 100 - w);
  EXPECT_EQ(ink.Box.Bottom, 40);  // 'H' sits on the baseline
  SetTextAlign(DC(), TA_LEFT | TA_TOP);

  // ETO_CLIPPED keeps text within the rectangle; ETO_OPAQUE fills it with the background.
  Fill(Rect(0, 0, 200, 120), clWhite);
  C()->Brush()->SetColor(clAqua);
  C()->Brush()->SetStyle(bsSolid);
  C()->TextRect(Rect(10, 60, 40, 80), 10, 60, "a long text that does not fit");
  TInk clipped = Ink();
  EXPECT_EQ(clipped.Box, Rect(10, 60, 40, 80));
  EXPECT_EQ(Px(39, 79), RGB(0, 255, 255));
}

// An opaque text cell gets its background wherever the opaque rectangle, to which the text is
// clipped, has not already given it: beyond an unclipped rectangle, and below the cell of a
// clipped one nothing fills. Centred text sits about its reference point.
TEST_F(CanvasText, OpaqueTextCellsAndCentredTextWithAndWithoutTheOpaqueRectangle) {
  C()->RequiredState({csHandleValid, csFontValid, csBrushValid});
  const String text = "a long text that does not fit";
  int w = Width(text), h = LineHeight();
  ASSERT_GT(w, 40);
  ASSERT_LT(h, 18);
  const COLORREF aqua = RGB(0, 255, 255);
  const TRect box = Rect(10, 60, 40, 80);
  struct Case {
    const char* Name;
    UINT Options;
    COLORREF BeyondBox, BelowCell, BoxCorner;
  };
  const Case cases[] = {
      {"opaque rectangle, not clipped", ETO_OPAQUE, aqua, aqua, aqua},
      {"opaque rectangle, clipped", ETO_OPAQUE | ETO_CLIPPED, White, aqua, aqua},
      {"clipped only", ETO_CLIPPED, White, White, White},
  };
  // The bottom line of the cell at its left edge lies below the first letter, which has no
  // descender: the cell's own background in every case.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Fill(Rect(0, 0, 200, 120), clWhite);
    SetBkMode(DC(), OPAQUE);
    SetBkColor(DC(), aqua);
    ExtTextOut(DC(), box.Left, box.Top, c.Options, &box, text);
    EXPECT_EQ(Px(box.Left + w - 2, box.Top + 1), c.BeyondBox) << "the cell's far end, past the rectangle";
    EXPECT_EQ(Px(box.Left + 1, box.Top + h + 1), c.BelowCell) << "inside the rectangle, below the cell";
    EXPECT_EQ(Px(box.Right - 1, box.Bottom - 1), c.BoxCorner);
    EXPECT_EQ(Px(box.Left, box.Top + h - 1), aqua) << "the cell's background";
  }
  SetBkMode(DC(), TRANSPARENT);
  Fill(Rect(0, 0, 200, 120), clWhite);
  SetTextAlign(DC(), TA_CENTER | TA_TOP);
  const TRect wide = Rect(0, 0, 200, 40);
  ExtTextOut(DC(), 100, 10, ETO_CLIPPED, &wide, "HH");
  SetTextAlign(DC(), TA_LEFT | TA_TOP);
  TInk ink = Ink();
  int hh = Width("HH");
  EXPECT_GE(ink.Box.Left, 100 - hh / 2 - 1);
  EXPECT_LE(ink.Box.Right, 100 + hh / 2 + 1);
  EXPECT_LT(ink.Box.Left, 100 - hh / 4) << "centred, not starting at the point";
}

TEST_F(CanvasText, RotatedTextRunsUpwardsFromItsReferencePoint) {
  C()->Font()->SetOrientation(900);
  C()->TextOut(50, 100, "Rotate");
  int w = Width("Rotate");
  C()->Font()->SetOrientation(0);
  int h = LineHeight();
  TInk ink = Ink();
  ASSERT_GT(ink.Count, 20);
  EXPECT_GE(ink.Box.Left, 50);
  EXPECT_LE(ink.Box.Right, 50 + h);
  EXPECT_LE(ink.Box.Bottom, 100);
  EXPECT_GE(ink.Box.Top, 100 - w);
  EXPECT_GT(ink.Box.Height(), ink.Box.Width());
}

TEST_F(CanvasText, CalcRectMeasuresLinesAndBreaksBetweenWords) {
  int lh = LineHeight();
  struct Row {
    const char* Text;
    int Width;  // of the rectangle; negative: that many pixels less than the first two words
    UINT Format;
    int Lines;
  };
  const Row rows[] = {
      {"alpha beta gamma", 1000, DT_SINGLELINE, 1},
      {"alpha beta gamma", 1000, DT_WORDBREAK, 1},
      {"alpha beta gamma", 0, DT_WORDBREAK, 2},  // room for "alpha beta" only
      {"alpha beta gamma", -1, DT_WORDBREAK, 3},
      {"one\r\ntwo\nthree", 1000, DT_LEFT, 3},
      {"one\r\ntwo\nthree", 1000, DT_SINGLELINE, 1},
      {"", 100, DT_WORDBREAK, 1},
      {"合同管理系统", 0, DT_WORDBREAK, 2},  // ideographs break between any two
      {"abcdefghijklmnopqrstuvwxyz", 30, DT_WORDBREAK, 1},  // a longer word overflows
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.Text << " / " << r.Width);
    int width = r.Width;
    if (width <= 0) width = (std::string(r.Text).find("合") == 0 ? Width("合同管") : Width("alpha beta")) + width;
    TRect calc = Calc(r.Text, width, r.Format);
    EXPECT_EQ(calc.Height(), r.Lines * lh);
    EXPECT_EQ(calc.Top, 0);
  }
  // One line: the right edge bounds the text; wrapped lines: the widest line.
  EXPECT_EQ(Calc("alpha beta gamma", 1000, DT_SINGLELINE).Right, Width("alpha beta gamma"));
  EXPECT_EQ(Calc("alpha beta gamma", Width("alpha beta") + 3, DT_WORDBREAK).Right, Width("alpha beta"));
  EXPECT_EQ(Calc("abcdefghijklmnopqrstuvwxyz", 30, DT_WORDBREAK).Right, Width("abcdefghijklmnopqrstuvwxyz"));
  // As an edit control, a word longer than the line is broken between characters.
  TRect edit = Calc("abcdefghijklmnopqrstuvwxyz", 30, DT_WORDBREAK | DT_EDITCONTROL);
  EXPECT_GT(edit.Height(), 2 * lh);
  EXPECT_LE(edit.Right, 30);
}

TEST_F(CanvasText, PrefixesTabsAndMargins) {
  EXPECT_EQ(Calc("&Save", 1000, DT_SINGLELINE).Right, Width("Save"));
  EXPECT_EQ(Calc("&Save", 1000, DT_SINGLELINE | DT_NOPREFIX).Right, Width("&Save"));
  EXPECT_EQ(Calc("a&&b", 1000, DT_SINGLELINE).Right, Width("a&b"));
  TEXTMETRIC tm;
  GetTextMetrics(DC(), &tm);
  EXPECT_EQ(Calc("a\tb", 1000, DT_SINGLELINE | DT_EXPANDTABS).Right, 8 * tm.tmAveCharWidth + Width("b"));
  DRAWTEXTPARAMS params;
  params.iLeftMargin = 5;
  params.iRightMargin = 7;
  TRect r = Rect(0, 0, 1000, 0);
  DrawTextEx(DC(), "margin", -1, &r, DT_CALCRECT | DT_SINGLELINE, &params);
  EXPECT_EQ(r.Right, 5 + Width("margin") + 7);
  EXPECT_EQ(params.uiLengthDrawn, 6u);

  // The prefixed character is underlined: ink below the baseline under "S" only.
  Draw("&Save", Rect(10, 10, 190, 40), DT_SINGLELINE);
  int baseline = 10 + tm.tmAscent;
  TInk under = Ink(Rect(10, baseline + 1, 190, 10 + tm.tmHeight));
  EXPECT_GT(under.Count, 0);
  EXPECT_GE(under.Box.Left, 10);
  EXPECT_LE(under.Box.Right, 10 + Width("S") + 1);
}

TEST_F(CanvasText, AlignmentAndMarginsPlaceTheInk) {
  TRect r = Rect(20, 10, 180, 30);
  TInk right = Draw("HH", r, DT_SINGLELINE | DT_RIGHT);
  EXPECT_LE(right.Box.Right, 180);
  EXPECT_GE(right.Box.Right, 177);
  Fill(Rect(0, 0, 200, 120), clWhite);
  C()->Brush()->SetStyle(bsClear);

  DRAWTEXTPARAMS params;
  params.iRightMargin = 10;
  params.iLeftMargin = 6;
  TRect box = r;
  C()->RequiredState({csHandleValid, csFontValid, csBrushValid});
  DrawTextEx(DC(), "HH", -1, &box, DT_SINGLELINE | DT_RIGHT, &params);
  TInk margined = Ink();
  EXPECT_LE(margined.Box.Right, 170);
  EXPECT_GE(margined.Box.Right, 167);
  Fill(Rect(0, 0, 200, 120), clWhite);
  C()->Brush()->SetStyle(bsClear);
  box = r;
  DrawTextEx(DC(), "HH", -1, &box, DT_SINGLELINE | DT_LEFT, &params);
  TInk left = Ink();
  EXPECT_GE(left.Box.Left, 26);
  EXPECT_LE(left.Box.Left, 28);
  Fill(Rect(0, 0, 200, 120), clWhite);
  C()->Brush()->SetStyle(bsClear);

  // Vertical centring and the bottom work on single lines; the return value counts from the top.
  TRect tall = Rect(0, 0, 100, 100);
  C()->RequiredState({csHandleValid, csFontValid, csBrushValid});
  int lh = LineHeight();
  EXPECT_EQ(DrawText(DC(), "H", -1, &tall, DT_SINGLELINE | DT_VCENTER), (100 - lh) / 2 + lh);
  TInk centred = Ink();
  int mid = (centred.Box.Top + centred.Box.Bottom) / 2;
  EXPECT_NEAR(mid, 50, 4);
  EXPECT_EQ(DrawText(DC(), "H", -1, &tall, DT_SINGLELINE | DT_BOTTOM), 100);
  EXPECT_EQ(DrawText(DC(), "H", -1, &tall, DT_VCENTER), lh);  // ignored without DT_SINGLELINE
}

TEST_F(CanvasText, EndEllipsisShortensToFit) {
  const String text = "WWWWWWWWWWWWWWWWWWWW";
  TRect r = Rect(0, 10, 80, 40);
  TInk plain = Draw(text, r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(plain.Box.Right, 80);
  Fill(Rect(0, 0, 200, 120), clWhite);
  C()->Brush()->SetStyle(bsClear);
  TInk shortened = Draw(text, r, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
  EXPECT_LE(shortened.Box.Right, 80);
  // The last few columns hold the dots: ink only in the lower part of the line.
  TEXTMETRIC tm;
  GetTextMetrics(DC(), &tm);
  TInk dots = Ink(Rect(shortened.Box.Right - 3, 0, shortened.Box.Right, 120));
  EXPECT_GT(dots.Count, 0);
  EXPECT_GT(dots.Box.Top, 10 + tm.tmAscent / 2);
  // The longest prefix that fits with "..." is kept.
  int k = 0;
  while (k < 20 && Width(String(std::size_t(k + 1), 'W') + "...") <= 80) ++k;
  TInk expected = Ink(Rect(0, 10, Width(String(std::size_t(k), 'W')), 40));
  EXPECT_GT(expected.Count, k * 5);
  EXPECT_NEAR(shortened.Box.Right, Width(String(std::size_t(k), 'W') + "..."), 2);

  // A short text is left alone.
  Fill(Rect(0, 0, 200, 120), clWhite);
  C()->Brush()->SetStyle(bsClear);
  TInk fits = Draw("WW", r, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_NEAR(fits.Box.Right, Width("WW"), 2);
}

TEST_F(CanvasText, EditControlDropsAPartlyVisibleLastLine) {
  int lh = LineHeight();
  TRect r = Rect(0, 0, 200, lh * 2 + lh / 2);
  TInk plain = Draw("first\nsecond\nthird", r, DT_LEFT);
  EXPECT_GT(Ink(Rect(0, 2 * lh, 200, r.Bottom)).Count, 0);  // the third line shows in part
  EXPECT_LE(plain.Box.Bottom, r.Bottom);                      // clipped to the rectangle
  Fill(Rect(0, 0, 200, 120), clWhite);
  C()->Brush()->SetStyle(bsClear);
  Draw("first\nsecond\nthird", r, DT_LEFT | DT_EDITCONTROL);
  EXPECT_EQ(Ink(Rect(0, 2 * lh, 200, 120)).Count, 0);
  EXPECT_GT(Ink(Rect(0, lh, 200, 2 * lh)).Count, 0);
}

TEST_F(CanvasText, WrappedLinesAreDrawnInsideTheRectangle) {
  int lh = LineHeight();
  TRect r = Rect(10, 10, 10 + Width("alpha beta") + 2, 10 + 3 * lh);
  Draw("alpha beta gamma", r, DT_WORDBREAK);
  EXPECT_GT(Ink(Rect(0, 10, 200, 10 + lh)).Count, 0);
  EXPECT_GT(Ink(Rect(0, 10 + lh, 200, 10 + 2 * lh)).Count, 0);
  EXPECT_EQ(Ink(Rect(0, 10 + 2 * lh, 200, 120)).Count, 0);
  EXPECT_LE(Ink().Box.Right, r.Right);
}

TEST_F(CanvasText, MeasuringContextWorksWithoutASurface) {
  HDC screen = GetScreenDC();
  HGDIOBJ old = SelectObject(screen, C()->Font()->Handle());
  TSize size;
  ASSERT_TRUE(GetTextExtentPoint32(screen, "合同", -1, &size));
  EXPECT_EQ(size.cx, Width("合同"));
  TRect r = Rect(0, 0, 10, 10);
  EXPECT_EQ(DrawText(screen, "text", -1, &r, DT_SINGLELINE), LineHeight());  // draws nowhere
  SelectObject(screen, old);
}

TEST_F(CanvasText, AdvanceArraysPlaceEachCharacter) {
  C()->RequiredState({csHandleValid, csFontValid, csBrushValid});
  const int dx[] = {30, 30, 30};
  ExtTextOut(DC(), 10, 10, 0, nullptr, "l合l", dx);
  int lh = LineHeight();
  // Each character starts 30 pixels after the previous one, with nothing in between.
  EXPECT_GT(Ink(Rect(10, 10, 10 + Width("l"), 10 + lh)).Count, 0);
  EXPECT_EQ(Ink(Rect(10 + Width("l") + 1, 0, 40, 120)).Count, 0);
  EXPECT_GT(Ink(Rect(40, 10, 40 + Width("合"), 10 + lh)).Count, 10);
  EXPECT_EQ(Ink(Rect(40 + Width("合") + 1, 0, 70, 120)).Count, 0);
  EXPECT_GT(Ink(Rect(70, 10, 70 + Width("l"), 10 + lh)).Count, 0);
}

TEST_F(CanvasText, PathEllipsisKeepsTheFileName) {
  const String path = "C:\\Program Files\\Contracts\\Reports\\summary.txt";
  const String expected = "C:\\...\\summary.txt";
  int lh = LineHeight();
  TInk shortened = Draw(path, Rect(10, 10, 12 + Width(expected), 10 + lh), DT_SINGLELINE | DT_PATH_ELLIPSIS);
  TInk plain = Ink(Rect(0, 40, 200, 120));
  EXPECT_EQ(plain.Count, 0);
  Draw(expected, Rect(10, 50, 190, 50 + lh), DT_SINGLELINE);
  TInk reference = Ink(Rect(0, 40, 200, 120));
  EXPECT_EQ(shortened.Box.Left, reference.Box.Left);
  EXPECT_EQ(shortened.Box.Right, reference.Box.Right);
  EXPECT_EQ(shortened.Count, reference.Count);
}

TEST_F(CanvasText, ABorrowedRotatedFontGoesAwayWhenTheHeightIsSetAgain) {
  // As grids draw vertical titles: a rotated copy of the font is put into it, drawn with,
  // and the font's own object comes back by setting its height again.
  LOGFONT lf;
  GetObject(C()->Font()->Handle(), &lf);
  lf.lfEscapement = lf.lfOrientation = 900;
  C()->Font()->SetHandle(CreateFontIndirect(lf));
  EXPECT_EQ(C()->Font()->Height(), -12);
  C()->TextOut(50, 100, "Up");
  TInk rotated = Ink();
  EXPECT_GT(rotated.Box.Height(), rotated.Box.Width());
  C()->Font()->SetHeight(C()->Font()->Height());
  LOGFONT plain;
  GetObject(C()->Font()->Handle(), &plain);
  EXPECT_EQ(plain.lfEscapement, 0);
  Fill(Rect(0, 0, 200, 120), clWhite);
  C()->Brush()->SetStyle(bsClear);
  C()->TextOut(50, 100, "Up");
  TInk level = Ink();
  EXPECT_GT(level.Box.Width(), level.Box.Height());
}

// Lines are drawn from shaped layouts kept by face and text. Each case draws its text through
// the canvas twice (the second from the kept layout) and compares every pixel with the same
// text drawn by the painter itself in the canvas's face; cases repeat a text in another font
// and change one character, so a layout kept for another font or text would show.
TEST_F(CanvasText, KeptLayoutsDrawWhatThePainterDrawsForTheCurrentFontAndText) {
  struct Case {
    const char* Name;
    const char* Face;
    int Height;
    bool Bold;
    bool Italic;
    const char* Text;
  };
  const Case cases[] = {
      {"Latin", "宋体", -12, false, false, "Contract 2024"},
      {"the same text, bold", "宋体", -12, true, false, "Contract 2024"},
      {"the same text, larger", "宋体", -16, true, false, "Contract 2024"},
      {"the same text, italic", "宋体", -16, false, true, "Contract 2024"},
      {"the same text, another face", "Arial", -16, false, true, "Contract 2024"},
      {"one character changed", "Arial", -16, false, true, "Contract 2025"},
      {"Chinese", "宋体", -12, false, false, "合同金额 1,000.50"},
      {"Chinese, larger", "宋体", -14, false, false, "合同金额 1,000.50"},
      {"Chinese, one character changed", "宋体", -14, false, false, "合同余额 1,000.50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    C()->Font()->SetName(c.Face);
    C()->Font()->SetHeight(c.Height);
    C()->Font()->SetStyle(c.Bold && c.Italic ? TFontStyles{fsBold, fsItalic}
                          : c.Bold          ? TFontStyles{fsBold}
                          : c.Italic        ? TFontStyles{fsItalic}
                                            : TFontStyles{});
    C()->Font()->SetColor(clBlack);
    for (int pass = 0; pass < 2; ++pass) {
      Fill(Rect(0, 0, 200, 120), clWhite);
      C()->Brush()->SetStyle(bsClear);
      C()->TextOut(10, 20, c.Text);
      C()->RequiredState({csHandleValid, csFontValid});
      const TFontFace& face = CurrentFace(DC());
      QImage expected(Bmp.Width(), Bmp.Height(), QImage::Format_RGB32);
      expected.fill(Qt::white);
      {
        QPainter p(&expected);
        p.setPen(Qt::black);
        p.setFont(face.Font);
        p.drawText(QPointF(10, 20 + face.Tm.tmAscent), QString::fromUtf8(c.Text));
      }
      int differing = 0, ink = 0;
      for (int y = 0; y < Bmp.Height(); ++y)
        for (int x = 0; x < Bmp.Width(); ++x) {
          COLORREF e = FromQRgb(expected.pixel(x, y));
          differing += Px(x, y) != e;
          ink += e != White;
        }
      EXPECT_GT(ink, 20) << "pass " << pass;
      EXPECT_EQ(differing, 0) << "pass " << pass;
    }
  }
}

// Opaque text cells (ETO_OPAQUE | ETO_CLIPPED) drawn a second time are copied from kept
// pictures. Each case draws its cell three times (drawn, then kept, then copied) and compares
// every pixel with the painter's own drawing of the background and the clipped text; each case
// changes one thing from the case before, so a picture kept without that thing in its key
// would show.
TEST_F(CanvasText, KeptTextCellsDrawWhatTheCellDrawsWhateverChanged) {
  struct Case {
    const char* Name;
    const char* Face;
    int Height;
    bool Bold;
    COLORREF Ink, Paper;
    TRect Box;
    TPoint At;
    const char* Text;
    TRect Clip;  // empty: none
  };
  const COLORREF ink = RGB(0, 0, 0), paper = RGB(255, 255, 224);
  const TRect box = Rect(10, 20, 110, 38), none{};
  const Case cases[] = {
      {"a cell", "宋体", -12, false, ink, paper, box, {12, 22}, "合同 HT100001", none},
      {"another ink", "宋体", -12, false, RGB(200, 0, 0), paper, box, {12, 22}, "合同 HT100001", none},
      {"another paper", "宋体", -12, false, RGB(200, 0, 0), RGB(0, 255, 255), box, {12, 22}, "合同 HT100001", none},
      {"one character changed", "宋体", -12, false, RGB(200, 0, 0), RGB(0, 255, 255), box, {12, 22}, "合同 HT100002",
       none},
      {"bold", "宋体", -12, true, RGB(200, 0, 0), RGB(0, 255, 255), box, {12, 22}, "合同 HT100002", none},
      {"larger", "宋体", -14, true, RGB(200, 0, 0), RGB(0, 255, 255), box, {12, 22}, "合同 HT100002", none},
      {"another face", "Arial", -14, true, RGB(200, 0, 0), RGB(0, 255, 255), box, {12, 22}, "合同 HT100002", none},
      {"a wider box", "Arial", -14, true, RGB(200, 0, 0), RGB(0, 255, 255), Rect(10, 20, 150, 38), {12, 22},
       "合同 HT100002", none},
      {"the text placed elsewhere in the box", "Arial", -14, true, RGB(200, 0, 0), RGB(0, 255, 255),
       Rect(10, 20, 150, 38), {17, 21}, "合同 HT100002", none},
      {"the same box elsewhere", "Arial", -14, true, RGB(200, 0, 0), RGB(0, 255, 255), Rect(30, 60, 170, 78), {37, 61},
       "合同 HT100002", none},
      {"text cut by the box", "Arial", -14, true, RGB(200, 0, 0), RGB(0, 255, 255), Rect(30, 60, 70, 78), {37, 61},
       "合同 HT100002", none},
      {"a clip region over half the box", "Arial", -14, true, RGB(200, 0, 0), RGB(0, 255, 255), Rect(30, 60, 70, 78),
       {37, 61}, "合同 HT100002", Rect(20, 55, 52, 70)},
  };
  KeepTextCells(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    C()->Font()->SetName(c.Face);
    C()->Font()->SetHeight(c.Height);
    C()->Font()->SetStyle(c.Bold ? TFontStyles{fsBold} : TFontStyles{});
    for (int pass = 0; pass < 3; ++pass) {
      Fill(Rect(0, 0, 200, 120), clWhite);
      C()->RequiredState({csHandleValid, csFontValid});
      SelectClipRgn(DC(), nullptr);
      if (!IsRectEmpty(c.Clip)) IntersectClipRect(DC(), c.Clip.Left, c.Clip.Top, c.Clip.Right, c.Clip.Bottom);
      SetTextColor(DC(), c.Ink);
      SetBkColor(DC(), c.Paper);
      ExtTextOut(DC(), c.At.X, c.At.Y, ETO_OPAQUE | ETO_CLIPPED, &c.Box, c.Text);
      SelectClipRgn(DC(), nullptr);
      const TFontFace& face = CurrentFace(DC());
      QImage expected(Bmp.Width(), Bmp.Height(), QImage::Format_RGB32);
      expected.fill(Qt::white);
      {
        QPainter p(&expected);
        QRect q(c.Box.Left, c.Box.Top, c.Box.Width(), c.Box.Height());
        if (!IsRectEmpty(c.Clip)) q &= QRect(c.Clip.Left, c.Clip.Top, c.Clip.Width(), c.Clip.Height());
        p.setClipRect(q);
        p.fillRect(q, ToQColor(c.Paper));
        p.setPen(ToQColor(c.Ink));
        p.setFont(face.Font);
        p.drawText(QPointF(c.At.X, c.At.Y + face.Tm.tmAscent), QString::fromUtf8(c.Text));
      }
      int differing = 0, ink = 0;
      for (int y = 0; y < Bmp.Height(); ++y)
        for (int x = 0; x < Bmp.Width(); ++x) {
          COLORREF e = FromQRgb(expected.pixel(x, y));
          differing += Px(x, y) != e;
          ink += e != c.Paper && e != White;
        }
      EXPECT_GT(ink, 20) << "pass " << pass;
      EXPECT_EQ(differing, 0) << "pass " << pass;
    }
  }
}

// Advances place every character of a line, Latin and Chinese alike (two faces): the picture
// is the one of the characters written one by one at those places, and so is a line with an
// underline, which takes the painter's own path.
TEST_F(CanvasText, AdvancesPlaceEveryCharacter) {
  const String text = "AB中c国 d";
  const std::vector<int> dx{30, 25, 28, 14, 26, 9, 12};
  for (bool underline : {false, true}) {
    SCOPED_TRACE(underline);
    TBitmap one, each;
    for (TBitmap* b : {&one, &each}) {
      b->SetSize(260, 40);
      b->Canvas()->Brush()->SetColor(clWhite);
      b->Canvas()->FillRect(Rect(0, 0, 260, 40));
      b->Canvas()->Font()->SetName("宋体");
      b->Canvas()->Font()->SetHeight(-16);
      if (underline) b->Canvas()->Font()->SetStyle({fsUnderline});
      b->Canvas()->Brush()->SetStyle(bsClear);
    }
    ExtTextOut(one.Canvas()->Handle(), 10, 8, 0, nullptr, text, dx.data());
    int x = 10;
    for (int i = 1; i <= Length(text); ++i) {
      if (underline) {
        int w = dx[std::size_t(i - 1)];
        ExtTextOut(each.Canvas()->Handle(), x, 8, 0, nullptr, Copy(text, i, 1), &w);
      } else {
        each.Canvas()->TextOut(x, 8, Copy(text, i, 1));
      }
      x += dx[std::size_t(i - 1)];
    }
    int differ = 0, ink = 0;
    for (int y = 0; y < 40; ++y)
      for (int xx = 0; xx < 260; ++xx) {
        const Byte* p = one.ScanLine(y) + xx * 4;
        const Byte* q = each.ScanLine(y) + xx * 4;
        if (p[0] < 128) ++ink;
        if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 60) ++differ;
      }
    EXPECT_GT(ink, 100);
    EXPECT_LE(differ, underline ? 40 : 0);
  }
}

TEST_F(CanvasText, TabbedTextStopsEveryEightAverageWidthsFromTheOrigin) {
  C()->RequiredState({csHandleValid, csFontValid, csBrushValid});
  TEXTMETRIC tm;
  GetTextMetrics(DC(), &tm);
  const int pitch = 8 * tm.tmAveCharWidth;
  ASSERT_GT(pitch, Width("H"));
  struct {
    String Text;
    int Count, Stops;
    int Expect;
  } cases[] = {
      {"H\tH", -1, 0, pitch + Width("H")},
      {"\t\tH", -1, 0, 2 * pitch + Width("H")},
      {"H\tH", 2, 0, pitch},
      {"HH", -1, 0, Width("HH")},
      {"H\tH", -1, 30, 30 + Width("H")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    const int stops[] = {c.Stops};
    const DWORD packed = GetTabbedTextExtent(DC(), c.Text, c.Count, c.Stops ? 1 : 0, c.Stops ? stops : nullptr);
    EXPECT_EQ(int(packed & 0xFFFF), c.Expect);
    EXPECT_EQ(int(packed >> 16), tm.tmHeight);
  }
  // Drawn at x 10 with the stops counted from 10, and again with them counted from 0.
  TabbedTextOut(DC(), 10, 0, "H\tH", -1, 0, nullptr, 10);
  EXPECT_EQ(Ink(Rect(10 + Width("H") + 1, 0, 10 + pitch, 30)).Count, 0);
  EXPECT_GT(Ink(Rect(10 + pitch, 0, 10 + pitch + Width("H"), 30)).Count, 0);
  TabbedTextOut(DC(), 10, 40, "H\tH", -1, 0, nullptr, 0);
  EXPECT_GT(Ink(Rect(pitch, 40, pitch + Width("H"), 70)).Count, 0);
  EXPECT_EQ(Ink(Rect(pitch + Width("H") + 1, 40, 120, 70)).Count, 0);
}

// The family list a font picker offers: every installed face once, outline faces marked as
// scalable, the same on the screen and on a printer's canvas.
TEST(Fonts, FamilyListNamesInstalledFacesOnceWithTheirType) {
  TBitmap b;
  b.SetSize(4, 4);
  const std::vector<TFontFamilyEntry> families = EnumFontFamilies(b.Canvas()->Handle());
  ASSERT_FALSE(families.empty());
  std::set<String> names;
  for (const TFontFamilyEntry& f : families) {
    EXPECT_TRUE(names.insert(f.FaceName).second) << f.FaceName << " twice";
    EXPECT_FALSE(f.FaceName.empty());
    EXPECT_TRUE(f.FontType == TRUETYPE_FONTTYPE || f.FontType == RASTER_FONTTYPE) << f.FaceName;
  }
  for (const char* installed : {"WenQuanYi Micro Hei", "Liberation Sans", "Liberation Serif"}) {
    auto it = std::find_if(families.begin(), families.end(), [&](auto& f) { return f.FaceName == installed; });
    ASSERT_NE(it, families.end()) << installed;
    EXPECT_EQ(it->FontType, TRUETYPE_FONTTYPE) << installed << " is an outline face";
  }
  const std::vector<TFontFamilyEntry> again = EnumFontFamilies(GetDC(0));
  EXPECT_EQ(again.size(), families.size());
}
