// Cell text painting: placement rules probed in rendered bitmaps, measuring, shortening,
// rotated text, images in cells and the small grid helpers.
#include "grid/CellTextEh.h"
#include "GridPaintFixture.h"
#include "core/StrUtils.h"

#include <gtest/gtest.h>

class CellText : public TGridPaintFixture {
protected:
  // Where the same text lands when written at (X, Y) on white, clipped to Clip.
  TRect ReferenceInk(const String& Text, int X, int Y, TRect Clip = Rect(0, 0, 10000, 10000)) {
    TPaintSurface ref;
    ref.Reset(Bitmap->Width(), Bitmap->Height());
    ref.Clear(RGB(255, 255, 255));
    ref.Canvas()->Font()->Assign(Canvas()->Font());
    ref.Canvas()->Brush()->SetStyle(bsClear);
    ref.Canvas()->TextRect(Clip, X, Y, Text);
    return ref.InkBox(ref.FullArea());
  }
  void Draw(const TRect& R, int DX, int DY, const String& Text, TAlignment A, TTextLayout L, bool FillRect = true,
            bool MultiLine = false, bool EndEllipsis = false) {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->Brush()->SetStyle(bsSolid);
    DrawCellText(Canvas(), R, FillRect, DX, DY, Text, A, L, MultiLine, EndEllipsis, 0, 0, false);
  }
};

TEST_F(CellText, RightAlignedTextEndsThreePixelsFromTheRightEdgeWhateverDX) {
  const TRect cell = Rect(10, 10, 150, 30);
  const String text = "Total 123";
  const int w = Canvas()->TextWidth(text);
  const TRect expected = ReferenceInk(text, cell.Right - 3 - w, cell.Top + 1);
  ASSERT_FALSE(IsRectEmpty(expected));
  for (int dx : {0, 1, 2, 6}) {
    Reset(200, 80);
    Draw(cell, dx, 1, text, taRightJustify, tlTop);
    EXPECT_EQ(InkBox(FullArea()), expected) << "DX " << dx;
    // The rest of the cell is filled with the brush, nothing outside it is touched.
    EXPECT_EQ(Pixel(cell.Left, cell.Top), COLORREF(0xFFFFFF));
    EXPECT_EQ(Pixel(cell.Right - 1, cell.Bottom - 1), COLORREF(0xFFFFFF));
    EXPECT_EQ(Pixel(cell.Right, cell.Top), kBackground);
  }
}

TEST_F(CellText, OneLineTextIsPlacedByAlignmentAndLayout) {
  const String text = "Hg 42";
  const int w = Canvas()->TextWidth(text), h = Canvas()->TextHeight(text);
  struct Case {
    TRect Cell;
    int DX, DY;
    TAlignment Alignment;
    TTextLayout Layout;
    int X, Y;  // the expected top-left of the text cell
  };
  const TRect tall = Rect(20, 5, 160, 45);   // 40 high: room for centring
  const TRect low = Rect(20, 50, 160, 58);   // lower than the text
  const Case cases[] = {
      {tall, 2, 1, taLeftJustify, tlTop, tall.Left + 2, tall.Top + 1},
      {tall, 4, 3, taLeftJustify, tlTop, tall.Left + 4, tall.Top + 3},
      {tall, 2, 1, taCenter, tlTop, tall.Left + tall.Width() / 2 - w / 2, tall.Top + 1},
      {tall, 2, 1, taLeftJustify, tlCenter, tall.Left + 2, (tall.Top + tall.Bottom - h) / 2},
      {tall, 2, 1, taLeftJustify, tlBottom, tall.Left + 2, tall.Bottom - h},
      // Text higher than the cell keeps the top layout.
      {low, 2, 1, taLeftJustify, tlCenter, low.Left + 2, low.Top + 1},
      {low, 2, 1, taLeftJustify, tlBottom, low.Left + 2, low.Top + 1},
  };
  for (const Case& c : cases) {
    Reset(200, 80);
    Draw(c.Cell, c.DX, c.DY, text, c.Alignment, c.Layout);
    TRect expected = ReferenceInk(text, c.X, c.Y, c.Cell);
    EXPECT_EQ(InkBox(FullArea()), expected) << "alignment " << int(c.Alignment) << " layout " << int(c.Layout);
  }
}

TEST(CellTextLeft, CentredTextInAnEmptyOrInvertedRectangleStartsAtZero) {
  struct Case {
    TRect R;
    int Width;
    TAlignment Alignment;
    int Expected;
  } cases[] = {
      {Rect(10, 0, 110, 0), 20, taCenter, 50},
      {Rect(10, 0, 111, 0), 21, taCenter, 10 + 50 - 10},
      {Rect(50, 0, 50, 10), 20, taCenter, 0},
      {Rect(60, 0, 40, 10), 20, taCenter, 0},
      {Rect(10, 0, 110, 0), 20, taRightJustify, 87},
      {Rect(10, 0, 110, 0), 20, taLeftJustify, 13},  // DX 3
  };
  for (const auto& c : cases) EXPECT_EQ(CellTextLeft(c.R, 3, c.Width, c.Alignment), c.Expected);
}

TEST_F(CellText, WithoutFillRectTheBackgroundStays) {
  const TRect cell = Rect(10, 10, 150, 40);
  for (bool multiLine : {false, true}) {
    Reset(200, 80);
    Draw(cell, 2, 1, "Text", taLeftJustify, tlTop, false, multiLine);
    EXPECT_EQ(Pixel(cell.Right - 2, cell.Bottom - 2), kBackground) << multiLine;
    EXPECT_FALSE(IsRectEmpty(InkBox(cell))) << multiLine;
    EXPECT_EQ(Canvas()->Brush()->Style(), bsSolid) << "the brush is restored";
    Reset(200, 80);
    Draw(cell, 2, 1, "Text", taLeftJustify, tlTop, true, multiLine);
    EXPECT_EQ(Pixel(cell.Right - 2, cell.Bottom - 2), COLORREF(0xFFFFFF)) << multiLine;
  }
}

TEST_F(CellText, EndEllipsisWritesTheShortenedText) {
  const TRect cell = Rect(10, 10, 70, 30);
  const String text = "ABCDEFGHIJKLMN";
  const String shortened = ShortenWithEllipsis(text, Canvas(), cell.Width() - 2);
  ASSERT_NE(shortened, text);
  Draw(cell, 2, 1, text, taLeftJustify, tlTop, true, false, true);
  EXPECT_EQ(InkBox(FullArea()), ReferenceInk(shortened, cell.Left + 2, cell.Top + 1, cell));
  EXPECT_LE(InkBox(FullArea()).Right, cell.Right);
}

TEST_F(CellText, ShortenWithEllipsisDropsTwoCharactersFirstThenOneAtATime) {
  const String text = "ABCDEFG";
  const char* forms[] = {"ABCDEFG", "ABCDE...", "ABCD...", "ABC...", "AB...", "A...", "..."};
  for (const char* form : forms) {
    int w = Canvas()->TextWidth(form);
    EXPECT_EQ(ShortenWithEllipsis(text, Canvas(), w), form) << "room " << w;
  }
  // One pixel less than a form needs gives a later one that fits.
  for (const char* form : {"ABCDEFG", "ABCDE...", "ABC..."}) {
    int w = Canvas()->TextWidth(form) - 1;
    String r = ShortenWithEllipsis(text, Canvas(), w);
    EXPECT_NE(r, form);
    EXPECT_LE(Canvas()->TextWidth(r), w) << form;
  }
  // The first shortened form drops two characters even when dropping one would fit.
  ASSERT_LT(Canvas()->TextWidth("合同金额管..."), Canvas()->TextWidth("合同金额管理"));
  EXPECT_EQ(ShortenWithEllipsis("合同金额管理", Canvas(), Canvas()->TextWidth("合同金额管...")), "合同金额...");
  // With no room at all the shortest form remains, although too wide.
  EXPECT_EQ(ShortenWithEllipsis(text, Canvas(), 0), "...");
  EXPECT_EQ(ShortenWithEllipsis("中文合同", Canvas(), Canvas()->TextWidth("中文...")), "中文...");
  EXPECT_EQ(ShortenWithEllipsis("", Canvas(), 0), "");
}

TEST_F(CellText, ShortenWithEllipsisAgreesWithTryingEveryFormInTurn) {
  // The rule as stated: shorten while too wide, one form after the other.
  auto byTheRule = [&](const String& text, int maxWidth) {
    String result = text;
    int length = Length(text);
    for (int i = 1; i <= length && Canvas()->TextWidth(result) > maxWidth; ++i)
      result = Copy(text, 1, std::max(0, length - i - 1)) + "...";
    return result;
  };
  for (const char* text : {"ABCDEFG", "Wide Wall of Text", "合同金额 123,456.78", "i", "ab"}) {
    for (TFontStyles style : {TFontStyles{}, TFontStyles{fsBold}}) {
      Canvas()->Font()->SetStyle(style);
      for (int w = -1; w <= Canvas()->TextWidth(text) + 1; ++w)
        ASSERT_EQ(ShortenWithEllipsis(text, Canvas(), w), byTheRule(text, w)) << text << " in " << w;
    }
  }
}

TEST_F(CellText, TextExceedsRectMeasuresAsTheLayoutWould) {
  const int line = Canvas()->TextHeight("A");
  const String words = "alpha beta gamma";
  const int wordWidth = Canvas()->TextWidth("gamma");
  const int oneLine = Canvas()->TextWidth(words);
  struct Case {
    TRect R;
    bool WordWrap;
    int RightIndent, ExtraHeight;
    bool Exceeds;
    int Lines;
  } cases[] = {
      // Room for one word per line: three lines.
      {Rect(0, 0, wordWidth + 8, 3 * line), true, 0, 0, false, 3},
      {Rect(0, 0, wordWidth + 8, 3 * line - 2), true, 0, 0, true, 3},
      {Rect(0, 0, wordWidth + 8, 3 * line - 1), true, 0, 0, false, 3},  // one pixel of slack
      {Rect(0, 0, wordWidth + 8, 3 * line), true, 0, 2, true, 3},
      // On one line it needs the whole width plus two pixels.
      {Rect(0, 0, oneLine + 2, line), false, 0, 0, false, 1},
      {Rect(0, 0, oneLine + 1, line), false, 0, 0, true, 1},
      {Rect(0, 0, oneLine + 6, line), false, 5, 0, true, 1},
  };
  for (const Case& c : cases) {
    int w = -1, h = -1;
    bool exceeds = TextExceedsRect(Canvas(), c.R, words, c.WordWrap, c.RightIndent, c.ExtraHeight, 0, w, h);
    EXPECT_EQ(exceeds, c.Exceeds) << c.R << " wrap " << c.WordWrap;
    EXPECT_EQ(h, c.Lines * line) << c.R;
    if (!c.WordWrap) EXPECT_EQ(w, oneLine);
    else EXPECT_LE(w, c.R.Width() - 2);
  }
}

TEST_F(CellText, MultiLineTextWrapsAndCentresItsBlock) {
  const TRect cell = Rect(10, 5, 10 + Canvas()->TextWidth("gamma") + 10, 75);
  const int line = Canvas()->TextHeight("A");
  Draw(cell, 2, 1, "alpha beta gamma", taLeftJustify, tlCenter, true, true);
  TRect ink = InkBox(cell);
  ASSERT_FALSE(IsRectEmpty(ink));
  // Three lines: the ink spans more than two line heights.
  EXPECT_GT(ink.Height(), 2 * line);
  EXPECT_LE(ink.Height(), 3 * line);
  // The block is centred vertically (within the glyphs' own margins).
  int above = ink.Top - cell.Top, below = cell.Bottom - ink.Bottom;
  EXPECT_LE(std::abs(above - below), line / 2 + 2) << ink;
  EXPECT_GE(ink.Left, cell.Left + 2);
}

TEST_F(CellText, WrappedTextHigherThanItsCellStartsAtTheTop) {
  const int line = Canvas()->TextHeight("A");
  const TRect cell = Rect(10, 5, 10 + Canvas()->TextWidth("gamma") + 10, 5 + 2 * line);
  Draw(cell, 2, 1, "alpha beta gamma", taLeftJustify, tlTop, true, true);
  const TRect top = InkBox(FullArea());
  ASSERT_FALSE(IsRectEmpty(top));
  for (TTextLayout layout : {tlCenter, tlBottom}) {
    Reset(200, 80);
    Draw(cell, 2, 1, "alpha beta gamma", taLeftJustify, layout, true, true);
    EXPECT_EQ(InkBox(FullArea()), top) << int(layout);
  }
}

TEST_F(CellText, MeasureTextWidthKeepsAmpersandsAndFollowsTheFontStyle) {
  EXPECT_EQ(MeasureTextWidth(Canvas(), "A&B"), Canvas()->TextWidth("A&B"));
  EXPECT_EQ(MeasureTextWidth(Canvas(), "合同 12"), Canvas()->TextWidth("合同 12"));
  int plain = MeasureTextWidth(Canvas(), "Bold text");
  Canvas()->Font()->SetStyle({fsBold});
  EXPECT_GT(MeasureTextWidth(Canvas(), "Bold text"), plain);
}

TEST_F(CellText, RotatedTextRunsUpwardsAndTheFontComesBack) {
  Reset(80, 200);
  const String text = "Vertical";
  const TRect cell = Rect(10, 10, 60, 190);
  const int extent = DrawCellTextRotated(Canvas(), cell, true, 2, 3, text, taLeftJustify, tlBottom, false, true);
  EXPECT_EQ(extent, Canvas()->TextWidth(text));
  EXPECT_TRUE(IsRectEmpty(InkBox(FullArea()))) << "CalcOnly draws nothing";

  Canvas()->Brush()->SetColor(clWhite);
  EXPECT_EQ(DrawCellTextRotated(Canvas(), cell, true, 2, 3, text, taLeftJustify, tlBottom, false, false), extent);
  TRect ink = InkBox(FullArea());
  EXPECT_GT(ink.Height(), 2 * ink.Width()) << ink;
  EXPECT_GE(ink.Height(), extent - 4);
  EXPECT_LE(ink.Bottom, cell.Bottom - 3);
  EXPECT_GE(ink.Bottom, cell.Bottom - 3 - 4);
  EXPECT_GE(ink.Left, cell.Left + 2);
  EXPECT_LE(ink.Right, cell.Left + 2 + Canvas()->TextHeight(text));

  // tlTop: the text ends at the top of the cell.
  Clear();
  DrawCellTextRotated(Canvas(), cell, true, 2, 3, text, taLeftJustify, tlTop, false, false);
  TRect top = InkBox(FullArea());
  EXPECT_GE(top.Top, cell.Top);
  EXPECT_LE(top.Top, cell.Top + 4);

  // The canvas writes horizontally again.
  EXPECT_EQ(Canvas()->Font()->Name(), "Arial");
  Clear();
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->TextOut(5, 5, text);
  TRect flat = InkBox(FullArea());
  EXPECT_GT(flat.Width(), 2 * flat.Height());
}

TEST_F(CellText, RotatedFontsTakeTheFontsDescription) {
  struct Case {
    const char* Name;
    TFontStyles Style;
    TFontPitch Pitch;
    const char* Face;
    int Weight;
    int PitchBits;
  } cases[] = {
      {"Default", {}, fpDefault, "MS Sans Serif", FW_NORMAL, DEFAULT_PITCH},
      {"default", {fsBold}, fpVariable, "MS Sans Serif", FW_BOLD, VARIABLE_PITCH},
      {"Courier New", {fsItalic, fsUnderline}, fpFixed, "Courier New", FW_NORMAL, FIXED_PITCH},
  };
  for (const Case& c : cases) {
    TFont font;
    font.SetName(c.Name);
    font.SetHeight(-15);
    font.SetStyle(c.Style);
    font.SetPitch(c.Pitch);
    HFONT h = CreateRotatedFont(&font);
    LOGFONT lf;
    ASSERT_TRUE(GetObject(h, &lf));
    EXPECT_EQ(lf.lfFaceName, c.Face);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(lf.lfOrientation, 900);
    EXPECT_EQ(lf.lfHeight, -15);
    EXPECT_EQ(lf.lfWeight, c.Weight);
    EXPECT_EQ(lf.lfItalic != 0, c.Style.Contains(fsItalic));
    EXPECT_EQ(lf.lfUnderline != 0, c.Style.Contains(fsUnderline));
    EXPECT_EQ(lf.lfPitchAndFamily & 3, c.PitchBits);
    DeleteObject(h);
  }
}

// ================================================================ images

class CellImages : public TGridPaintFixture {
protected:
  std::unique_ptr<TBitmap> Solid(int W, int H, TColor C) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(W, H);
    b->Canvas()->Brush()->SetColor(C);
    b->Canvas()->FillRect(Rect(0, 0, W, H));
    return b;
  }
  TRect RedBox() { return BoxWhere(FullArea(), [](COLORREF c) { return c == RGB(255, 0, 0); }); }
};

TEST_F(CellImages, ImagesAreAlignedInTheCellAndClippedToIt) {
  auto image = Solid(20, 10, clRed);
  struct Case {
    TRect Cell;
    int Offset;
    TAlignment Alignment;
    TRect Expected;
  } cases[] = {
      {Rect(10, 10, 60, 30), 0, taLeftJustify, Rect(10, 15, 30, 25)},
      {Rect(10, 10, 60, 30), 2, taLeftJustify, Rect(12, 15, 32, 25)},
      {Rect(10, 10, 60, 30), 0, taRightJustify, Rect(40, 15, 60, 25)},
      {Rect(10, 10, 60, 30), 0, taCenter, Rect(25, 15, 45, 25)},
      // Wider than its cell: clipped.
      {Rect(10, 10, 25, 30), 0, taLeftJustify, Rect(10, 15, 25, 25)},
      {Rect(10, 10, 25, 30), 0, taRightJustify, Rect(10, 15, 25, 25)},
      {Rect(10, 10, 60, 16), 0, taLeftJustify, Rect(10, 10, 30, 16)},
  };
  for (const Case& c : cases) {
    Reset(100, 50);
    DrawImageInRect(image.get(), Canvas(), c.Cell, c.Offset, c.Alignment);
    EXPECT_EQ(RedBox(), c.Expected) << c.Cell << " " << int(c.Alignment);
  }
}

TEST_F(CellImages, ThePreviousClippingIsBackAfterAClippedImage) {
  auto image = Solid(40, 10, clRed);
  HRGN previous = CreateRectRgn(0, 0, 35, 50);
  SelectClipRgn(DC(), previous);
  DrawImageInRect(image.get(), Canvas(), Rect(10, 10, 20, 30), 0, taLeftJustify);
  HRGN now = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(DC(), now), 1);
  EXPECT_TRUE(EqualRgn(now, previous));
  EXPECT_EQ(RedBox(), Rect(10, 15, 20, 25));
  SelectClipRgn(DC(), nullptr);
  DeleteObject(previous);
  DeleteObject(now);

  // Without a clip before there is none after.
  DrawImageInRect(image.get(), Canvas(), Rect(50, 10, 60, 30), 0, taLeftJustify);
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(DC(), none), 0);
  DeleteObject(none);
}

TEST_F(CellImages, ImageListImagesArePlacedLikeGraphics) {
  TImageList list(nullptr);
  list.SetWidth(16);
  list.SetHeight(16);
  auto image = Solid(16, 16, clRed);
  list.Add(image.get(), nullptr);
  DrawImageInRect(&list, Canvas(), Rect(10, 10, 20, 40), 0, 0, taCenter);
  EXPECT_EQ(RedBox(), Rect(10, 17, 20, 33));
}

// ================================================================ helpers

TEST(GridHelpers, PointInGridRectIncludesItsBounds) {
  const TRect g = Rect(2, 3, 5, 7);
  struct Case {
    int Col, Row;
    bool In;
  } cases[] = {{2, 3, true}, {5, 7, true}, {4, 5, true}, {1, 3, false}, {6, 7, false}, {2, 2, false}, {5, 8, false}};
  for (const Case& c : cases) EXPECT_EQ(PointInGridRect(c.Col, c.Row, g), c.In) << c.Col << "," << c.Row;
}

TEST(GridHelpers, SwapRectExtentKeepsTheTopLeft) {
  TRect r = Rect(10, 20, 40, 25);
  SwapRectExtent(r);
  EXPECT_EQ(r, Rect(10, 20, 15, 50));
  EXPECT_EQ(IntMax(3, -4), 3);
  EXPECT_EQ(IntMin(3, -4), -4);
  EXPECT_EQ(IntIf(true, 1, 2), 1);
  EXPECT_EQ(IntIf(false, 1, 2), 2);
}

TEST(GridHelpers, DiscardPendingMessageRemovesOneMessageOfTheWindow) {
  EnsureGridTestApplication();
  int seen = 0;
  HWND a = AllocateHWnd([&](TMessage& m) { if (m.Msg == WM_USER + 3) ++seen; });
  HWND b = AllocateHWnd([](TMessage&) {});
  PostMessage(a, WM_USER + 3, 0, 0);
  PostMessage(b, WM_USER + 3, 0, 0);
  PostMessage(a, WM_USER + 3, 0, 0);
  DiscardPendingMessage(a, WM_USER + 3);
  TMsg m;
  int left = 0;
  while (PeekMessage(m, 0, WM_USER + 3, WM_USER + 3, PM_REMOVE)) {
    ++left;
    EXPECT_TRUE(left != 1 || m.hwnd == b) << "the first message of the window went";
  }
  EXPECT_EQ(left, 2);
  DiscardPendingMessage(a, WM_USER + 3);  // nothing pending: nothing happens
  EXPECT_EQ(seen, 0);
  DeallocateHWnd(a);
  DeallocateHWnd(b);
}

TEST(GridHelpers, TheSharedBitmapLivesWhileItHasUsers) {
  EnsureGridTestApplication();
  ASSERT_EQ(SharedBitmapUserCount(), 0);
  EXPECT_EQ(SharedDrawBitmap(), nullptr);
  AcquireSharedBitmap();
  AcquireSharedBitmap();
  TBitmap* b = SharedDrawBitmap();
  ASSERT_NE(b, nullptr);
  ReleaseSharedBitmap();
  EXPECT_EQ(SharedDrawBitmap(), b);
  ReleaseSharedBitmap();
  EXPECT_EQ(SharedDrawBitmap(), nullptr);
  ReleaseSharedBitmap();  // one release too many does no harm
  EXPECT_EQ(SharedBitmapUserCount(), 0);
}

TEST(ToolTips, TheTipIsSizedInTheFontHandedOver) {
  EnsureGridTestApplication();
  TToolTipsWindow tip(nullptr);
  TFont small, large;
  small.SetName("Arial");
  small.SetHeight(-10);
  small.SetColor(clRed);
  large.SetName("Arial");
  large.SetHeight(-24);
  TRect a = tip.CalcHintRect(400, "Contract 2024", &small);
  for (TFont* f : {tip.Canvas()->Font(), tip.Font()}) {
    EXPECT_EQ(f->Height(), -10);
    EXPECT_EQ(f->Color(), clWindowText);
  }
  TRect b = tip.CalcHintRect(400, "Contract 2024", &large);
  EXPECT_GT(b.Width(), a.Width());
  EXPECT_GT(b.Height(), a.Height());
}
