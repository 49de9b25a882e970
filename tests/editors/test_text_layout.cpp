// Laying text out into rows: wrapping, hard breaks, justification trimming, the row limits,
// placement and the prepared layout's selection clamp, on a fixed-pitch measurer (1 px per
// character, tab stops every 8 px, rows 10 px high), and drawing on a real canvas.
#include "editors/cxEditTextUtils.h"

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "gui/Graphics.h"
#include "gui/GdiDraw.h"
#include "gui/Window.h"

#include <gtest/gtest.h>

namespace {

class TFixedPitch : public TcxTextMeasurer {
public:
  int ExternalLeading = 2;
  TEXTMETRIC Metrics() override {
    TEXTMETRIC tm;
    tm.tmHeight = 10;
    tm.tmExternalLeading = ExternalLeading;
    tm.tmAveCharWidth = 1;
    return tm;
  }
  TSize Extent(const char* Text, int Count, bool ExpandTabs) override {
    int x = 0;
    std::size_t pos = 0;
    std::string_view s(Text);
    for (int i = 0; i < Count && pos < s.size(); ++i) {
      char32_t c = DecodeUtf8(s, pos);
      x = ExpandTabs && c == U'\t' ? (x / 8 + 1) * 8 : x + 1;
    }
    return {x, 10};
  }
  int CharWidth(const char*) override { return 1; }
};

struct TLayout {
  std::vector<String> Rows;
  std::vector<int> Breaks, Offsets, Widths;
  bool AllFit = true;
};

TLayout Lay(const String& Text, int Width, int Height, DWORD Flags, int MaxRows = 0) {
  TFixedPitch m;
  TcxTextParams p;
  InitTextParams(m, Flags, p);
  TcxTextRows rows;
  int count = -1;
  TLayout out;
  out.AllFit = LayOutTextRows(m, Text.c_str(), TRect{0, 0, Width, Height}, MaxRows, count, rows, p);
  EXPECT_EQ(count, int(rows.size()));
  for (const TcxTextRow& r : rows) {
    std::size_t from = std::size_t(r.Text - Text.c_str());
    std::u32string chars = Utf8ToUtf32(Text.substr(from));
    out.Rows.push_back(Utf32ToUtf8(chars.substr(0, std::size_t(r.Length))));
    out.Breaks.push_back(r.BreakCount);
    out.Offsets.push_back(r.StartOffset);
    out.Widths.push_back(r.Width);
  }
  return out;
}

using Rows = std::vector<String>;

struct TBreakCase {
  const char* Name;
  String Text;
  int Width;
  int Height;
  DWORD Flags;
  bool FarEast;
  Rows Expect;
};

TEST(EditTextRows, BreaksRowsAtSpacesHardBreaksAndInsideLongWords) {
  const TBreakCase cases[] = {
      {"space stays on the soft-broken row", "a b", 2, 100, tofWordBreak, false, {"a ", "b"}},
      {"justify trims the trailing space", "a b", 2, 100, tofJustify, false, {"a", "b"}},
      {"CR LF in neither row", "ab\r\ncd", 100, 100, 0, false, {"ab", "cd"}},
      {"leading blanks after a hard break stay", "ab\r\n  cd", 100, 100, tofWordBreak, false, {"ab", "  cd"}},
      {"blanks after a soft break are skipped", "ab    cd", 3, 100, tofWordBreak, false, {"ab  ", "cd"}},
      {"single line keeps CR LF", "ab\r\ncd", 100, 100, tofSingleLine, false, {"ab\r\ncd"}},
      {"long word overflows without char break", "abcdef gh", 3, 100, tofWordBreak, false, {"abcdef ", "gh"}},
      {"long word broken with char break", "abcdef", 3, 100, tofWordBreak | tofCharBreak, false,
       {"abc", "def"}},
      {"far-east locale breaks inside words", "abcdef", 4, 100, tofWordBreak, true, {"abcd", "ef"}},
      {"a character wider than the row stays", "abc", 0, 100, tofWordBreak | tofCharBreak, false,
       {"a", "b", "c"}},
      {"chinese counted in characters", "中文字符", 2, 100, tofWordBreak, true, {"中文", "字符"}},
      {"whole rows under two rows: one row", "ab cd ef", 3, 15, tofWordBreak | tofWholeRows, false, {"ab "}},
      {"top without whole rows makes the row past the bottom", "ab cd ef", 3, 15, tofWordBreak, false,
       {"ab ", "cd "}},
      {"measure-only single line ignores width", "abc def", 1, 0, tofMeasureOnly | tofSingleLine, false,
       {"abc def"}},
      {"no wrap runs to the line end", "abc def", 2, 100, 0, false, {"abc def"}},
  };
  for (const TBreakCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRestore<bool> fe(SysLocale().FarEast, c.FarEast);
    EXPECT_EQ(Lay(c.Text, c.Width, c.Height, c.Flags).Rows, c.Expect);
  }
}

TEST(EditTextRows, JustifiedRowsCountBreaksButParagraphEndsDoNotStretch) {
  TRestore<bool> fe(SysLocale().FarEast, false);
  TLayout l = Lay("a b c d\r\ne f", 4, 100, tofJustify);
  EXPECT_EQ(l.Rows, (Rows{"a b", "c d", "e f"}));
  // "a b" stretches over its one inner break; the last row before the hard break and the final
  // row do not stretch.
  EXPECT_EQ(l.Breaks, (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(Lay("a b", 2, 100, tofJustify).Breaks, (std::vector<int>{0, 0}));
  // Distributed rows stretch to the end.
  EXPECT_EQ(Lay("a b c d", 4, 100, tofDistribute).Breaks, (std::vector<int>{1, 1}));
}

TEST(EditTextRows, OffsetsCountCharactersAndMaxRowsReportsTheCut) {
  TRestore<bool> fe(SysLocale().FarEast, true);
  TLayout l = Lay("中文 abc\r\nxy", 3, 100, tofWordBreak);
  EXPECT_EQ(l.Rows, (Rows{"中文 ", "abc", "xy"}));
  EXPECT_EQ(l.Offsets, (std::vector<int>{0, 3, 8}));
  EXPECT_EQ(l.Widths, (std::vector<int>{3, 3, 2}));

  TLayout cut = Lay("ab cd ef", 3, 100, tofWordBreak | tofCenterVert, 2);
  EXPECT_EQ(cut.Rows.size(), 2u);
  EXPECT_FALSE(cut.AllFit);
  EXPECT_TRUE(Lay("ab cd", 3, 100, tofWordBreak | tofCenterVert, 2).AllFit);
  TFixedPitch m;
  TcxTextParams p;
  InitTextParams(m, 0, p);
  TcxTextRows rows(3);
  int n = 7;
  EXPECT_TRUE(LayOutTextRows(m, nullptr, TRect{0, 0, 10, 10}, 0, n, rows, p));
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(rows.empty());
  EXPECT_TRUE(Lay("", 10, 10, tofWordBreak).Rows.empty());
}

TEST(EditTextRows, TabsExpandToStopsWhenAsked) {
  TRestore<bool> fe(SysLocale().FarEast, false);
  EXPECT_EQ(Lay("a\tb", 100, 100, tofExpandTabs).Widths, (std::vector<int>{9}));
  EXPECT_EQ(Lay("a\tb", 100, 100, 0).Widths, (std::vector<int>{3}));
  // Wrapping measures the tabbed width: the tab pushes "b" past 8 px.
  EXPECT_EQ(Lay("a\tb", 8, 100, tofExpandTabs | tofWordBreak).Rows, (Rows{"a\t", "b"}));
}

struct TPlaceCase {
  const char* Name;
  DWORD Flags;
  TRect Rect;
  int Rows;
  std::vector<int> Xs, Ys;
};

TEST(EditTextRows, PlacingRowsFollowsAlignment) {
  const TPlaceCase cases[] = {
      {"left top", 0, {10, 20, 40, 80}, 2, {10, 10}, {20, 32}},
      {"right", tofRight, {10, 20, 40, 80}, 2, {36, 36}, {20, 32}},
      {"centre both", tofCenterHorz | tofCenterVert, {10, 20, 40, 80}, 2, {23, 23}, {38, 50}},
      {"bottom adds the external leading back", tofBottom, {10, 20, 40, 80}, 2, {10, 10}, {58, 70}},
      {"distribute spreads the slack with the remainder first", tofDistributeVert, {0, 0, 40, 41}, 3, {0, 0, 0},
       {0, 16, 31}},
      {"distribute with one row sits at the top", tofDistributeVert, {0, 0, 40, 41}, 1, {0}, {0}},
      {"distribute when rows already fill", tofDistributeVert, {0, 0, 40, 20}, 3, {0, 0, 0}, {0, 12, 24}},
      {"prevent exceeding keeps the rows inside", tofRight | tofBottom | tofPreventLeftExceed |
       tofPreventTopExceed, {0, 0, 2, 5}, 2, {0, 0}, {0, 12}},
  };
  for (const TPlaceCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFixedPitch m;
    TcxTextParams p;
    InitTextParams(m, c.Flags | tofExternalLeading, p);
    TcxTextRows rows(std::size_t(c.Rows));
    for (TcxTextRow& r : rows) r.Width = 4;
    PlaceTextRows(c.Rect, p, c.Rows, rows);
    std::vector<int> xs, ys;
    for (const TcxTextRow& r : rows) {
      xs.push_back(r.X);
      ys.push_back(r.Y);
    }
    EXPECT_EQ(xs, c.Xs);
    EXPECT_EQ(ys, c.Ys);
  }
}

TEST(EditTextRows, PreparedDataClampsTheSelectionAndTheRowLimit) {
  TRestore<bool> fe(SysLocale().FarEast, false);
  struct {
    int SelStart, SelLength, ExpectLength;
  } sels[] = {{-1, 2, 0}, {5, 2, 0}, {7, 1, 0}, {3, 10, 2}, {1, 2, 2}};
  for (auto s : sels) {
    SCOPED_TRACE(s.SelStart);
    TFixedPitch m;
    TcxTextOutData d;
    PrepareTextOutData(m, d, "abcde", TRect{0, 0, 100, 100}, 0, s.SelStart, s.SelLength);
    EXPECT_TRUE(d.Prepared);
    EXPECT_EQ(d.SelLength, s.ExpectLength);
  }
  TFixedPitch m;
  TcxTextOutData d;
  // Under a row limit (which binds only away from top alignment) whole rows keep the cut.
  const DWORD limited = tofWordBreak | tofEndEllipsis | tofCenterVert;
  PrepareTextOutData(m, d, "ab cd ef", TRect{0, 0, 10, 100}, limited | tofWholeRows, 0, 0, 0, 0, 2, 2, 5);
  EXPECT_EQ(d.TextRect, (TRect{2, 0, 5, 100}));
  EXPECT_EQ(d.RowCount, 2);
  EXPECT_TRUE(d.TextCut);
  PrepareTextOutData(m, d, "ab cd ef", TRect{0, 0, 10, 100}, limited, 0, 0, 0, 0, 2, 2, 5);
  EXPECT_EQ(d.RowCount, 2);
  EXPECT_FALSE(d.TextCut);  // without whole rows the cut shows by the ellipsis on the drawn row
  PrepareTextOutData(m, d, "abc", TRect{0, 0, 3, 100}, 0, 0, 0, 0, 0, 0, 2, 2);
  EXPECT_EQ(d.RowCount, 0);  // nothing left after the indents
  const TcxTextRows widths{{nullptr, 0, 3}, {nullptr, 0, 9}, {nullptr, 0, 5}};
  EXPECT_EQ(MaxRowWidth(widths, 1), 3);
  EXPECT_EQ(MaxRowWidth(widths, 10), 9);
  EXPECT_EQ(MaxRowWidth(TcxTextRows{}, 2), 0);
}

// ---------------------------------------------------------------- drawing

class EditTextDrawing : public ::testing::Test {
protected:
  TBitmap Bmp;
  void SetUp() override {
    Bmp.SetSize(120, 40);
    TCanvas* c = Bmp.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, 120, 40});
    c->Font()->SetName("宋体");
    c->Font()->SetHeight(-12);
    c->Font()->SetColor(clBlack);
  }
  // Columns holding a pixel of Color (Ink: anything but white and the fill) inside Rect.
  static constexpr TColor Ink = -1;
  int ColumnsWith(TColor Color, const TRect& R) {
    int n = 0;
    for (int x = R.Left; x < R.Right; ++x)
      for (int y = R.Top; y < R.Bottom; ++y) {
        const TColor p = Bmp.Canvas()->Pixels(x, y);
        if (Color == Ink ? p != clWhite && p != clBlue : p == Color) {
          ++n;
          break;
        }
      }
    return n;
  }
};

TEST_F(EditTextDrawing, SelectionIsFilledOnlyOverTheSelectedCharacters) {
  TcxTextOutData d;
  const String text = "abcdefgh";
  DrawTextOutData(Bmp.Canvas(), d, text, TRect{0, 0, 120, 40}, 0, 2, 3, clBlue, clWhite);
  ASSERT_EQ(d.RowCount, 1);
  const int w2 = Bmp.Canvas()->TextWidth("ab"), w5 = Bmp.Canvas()->TextWidth("abcde");
  EXPECT_EQ(ColumnsWith(clBlue, TRect{0, 0, 120, 40}), w5 - w2);
  EXPECT_EQ(ColumnsWith(clBlue, TRect{0, 0, w2, 40}), 0);
  // The selected characters are drawn again over the fill.
  EXPECT_GT(ColumnsWith(Ink, TRect{w2, 0, w5, d.Params.RowHeight}), 0);
  EXPECT_GT(ColumnsWith(Ink, TRect{0, 0, w2, 40}), 0);
}

TEST_F(EditTextDrawing, EllipsisEndsACutRowInsideTheRectangle) {
  TcxTextOutData d;
  const String text = "abcdefghijklmnopqrstuvwxyz";
  const int w = Bmp.Canvas()->TextWidth("abcdefgh");
  DrawTextOutData(Bmp.Canvas(), d, text, TRect{0, 0, w, 40}, tofEndEllipsis | tofSingleLine);
  EXPECT_GT(d.Rows[0].Length, 0);
  EXPECT_LT(d.Rows[0].Length, 8);  // shortened so that "..." fits
  EXPECT_EQ(ColumnsWith(Ink, TRect{w, 0, 120, 40}), 0);
  EXPECT_GT(ColumnsWith(Ink, TRect{d.Rows[0].Width, 0, w, 40}), 0);  // the dots
}

}  // namespace
