// The code editor's colouring by the language's grammar or the SQL set, and its painting:
// token colours, the selection to the right edge, the fixed grid, the gutter marks and the
// error bar, probed in a picture of the editor.
#include "CodeEditorFixture.h"

#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/Pictures.h"
#include "gui/SysColors.h"

#include <cstdlib>
#include <string>

namespace {

// The editor's picture as it paints itself.
struct TShot {
  TBitmap Bmp;
  explicit TShot(TfrxSyntaxMemo* Memo) {
    Bmp.SetSize(Memo->ClientWidth(), Memo->ClientHeight());
    Memo->PaintOn(Bmp.Canvas());
  }
  COLORREF Px(int X, int Y) {
    const Byte* p = Bmp.ScanLine(Y) + X * 4;
    return RGB(p[2], p[1], p[0]);
  }
  // Pixels of exactly this colour in the rectangle.
  int Count(const TRect& R, COLORREF C) {
    int n = 0;
    for (int y = std::max(0, R.Top); y < std::min(Bmp.Height(), R.Bottom); ++y)
      for (int x = std::max(0, R.Left); x < std::min(Bmp.Width(), R.Right); ++x) n += Px(x, y) == C;
    return n;
  }
  // Pixels whose colour leans to a tint, so the smoothed edges of glyphs count too.
  enum TTint { tNavy, tGreen, tDark, tLight };
  static bool Is(COLORREF C, TTint T) {
    const int r = C & 0xFF, g = (C >> 8) & 0xFF, b = (C >> 16) & 0xFF;
    switch (T) {
      case tNavy: return b > r + 60 && b > g + 60;
      case tGreen: return g > r + 60 && g > b + 60;
      case tDark: return std::abs(r - g) < 16 && std::abs(g - b) < 16 && r < 100;
      case tLight: return r > 150 && g > 150 && b > 150;
    }
    return false;
  }
  int Count(const TRect& R, TTint T) {
    int n = 0;
    for (int y = std::max(0, R.Top); y < std::min(Bmp.Height(), R.Bottom); ++y)
      for (int x = std::max(0, R.Left); x < std::min(Bmp.Width(), R.Right); ++x) n += Is(Px(x, y), T);
    return n;
  }
  // The leftmost column in the rectangle holding a pixel unlike Background; -1 when none.
  int FirstInk(const TRect& R, COLORREF Background) {
    for (int x = std::max(0, R.Left); x < std::min(Bmp.Width(), R.Right); ++x)
      for (int y = std::max(0, R.Top); y < std::min(Bmp.Height(), R.Bottom); ++y)
        if (Px(x, y) != Background) return x;
    return -1;
  }
};

std::string Kinds(std::initializer_list<int> Runs) {
  // Pairs of (kind, count).
  std::string r;
  for (auto it = Runs.begin(); it != Runs.end(); it += 2) r.append(*(it + 1), static_cast<char>(*it));
  return r;
}

}  // namespace

TEST_F(CodeEditorTest, TokenKindsFollowTheLanguage) {
  struct Case {
    const char* Language;
    const char* Line;
    std::string Kinds;
  };
  const Case cases[] = {
      {"PascalScript", "x := 1; // note",
       Kinds({ckText, 1, ckComment, 1, ckText, 2, ckComment, 1, ckNumber, 1, ckText, 1, ckComment, 1, ckComment, 7})},
      {"PascalScript", "s:='it''s';", Kinds({ckText, 3, ckString, 7, ckText, 1})},
      {"PascalScript", "BEGIN Begin end", Kinds({ckKeyword, 5, ckComment, 1, ckKeyword, 5, ckComment, 1, ckKeyword, 3})},
      {"PascalScript", "$FF+123 {c} beginner", Kinds({ckNumber, 3, ckText, 1, ckNumber, 3, ckComment, 5, ckText, 8})},
      {"PascalScript", "'打印' 报表", Kinds({ckString, 4, ckComment, 1, ckText, 2})},
      {"SQL", "select -- x", Kinds({ckKeyword, 6, ckComment, 5})},
      {"SQL", "\"s\" 0x1F /*c*/ FROM", Kinds({ckString, 3, ckComment, 1, ckNumber, 4, ckComment, 7, ckKeyword, 4})},
      {"C++Script", "if (a) return \"x\";", Kinds({ckKeyword, 2, ckComment, 1, ckText, 3, ckComment, 1, ckKeyword, 6,
                                                   ckComment, 1, ckString, 3, ckText, 1})},
      {"BasicScript", "dim a ' rem", Kinds({ckKeyword, 3, ckComment, 1, ckText, 1, ckComment, 6})},
      {"Nope", "begin select", Kinds({ckText, 5, ckComment, 1, ckText, 6})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Language) + ": " + c.Line);
    Memo->SetLanguageName(c.Language);
    SetText({c.Line});
    EXPECT_EQ(Memo->AttrLine(0), c.Kinds);
  }
}

TEST_F(CodeEditorTest, ABlockCommentSpansLinesAndEditsRecolour) {
  Memo->SetLanguageName("PascalScript");
  SetText({"a { one", "two } b"});
  EXPECT_EQ(Memo->AttrLine(0), Kinds({ckText, 1, ckComment, 6}));
  EXPECT_EQ(Memo->AttrLine(1), Kinds({ckComment, 6, ckText, 1}));
  Memo->MoveCaretTo(3, 1);
  Key(Qt::Key_Delete);  // the opener goes: both lines are code again
  EXPECT_EQ(Memo->AttrLine(1), Kinds({ckText, 3, ckComment, 1, ckText, 1, ckComment, 1, ckText, 1}));
}

TEST_F(CodeEditorTest, TokenColoursInThePicture) {
  // Each token's glyphs are drawn in its font's colour: comments and strings navy, numbers
  // green, keywords and text in the window-text colour.
  Memo->SetLanguageName("PascalScript");
  SetText({"// note", "'str'", "12345", "begin"});
  TShot shot(Memo);
  const int w = Memo->CharWidth(), h = Memo->LineHeight(), g = Memo->GutterWidth();
  auto row = [&](int line) { return Rect(g, (line - 1) * h, g + 8 * w, line * h); };
  struct Case {
    int Line;
    TShot::TTint Ink;
    std::vector<TShot::TTint> Absent;
  };
  const Case cases[] = {{1, TShot::tNavy, {TShot::tGreen, TShot::tDark}},
                        {2, TShot::tNavy, {TShot::tGreen, TShot::tDark}},
                        {3, TShot::tGreen, {TShot::tNavy, TShot::tDark}},
                        {4, TShot::tDark, {TShot::tNavy, TShot::tGreen}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Line);
    EXPECT_GT(shot.Count(row(c.Line), c.Ink), 10);
    for (TShot::TTint other : c.Absent) EXPECT_EQ(shot.Count(row(c.Line), other), 0);
  }
  // Keywords are bold: "begin" as keyword has more ink than as plain text.
  const int boldInk = shot.Count(row(4), TShot::tDark);
  Memo->SetLanguageName("Nope");
  TShot plain(Memo);
  EXPECT_LT(plain.Count(row(4), TShot::tDark), boldInk);
}

TEST_F(CodeEditorTest, ASelectedLineBreakIsHighlightedToTheRightEdge) {
  SetText({"ab", "cd"});
  Memo->MoveCaretTo(1, 1);
  Key(Qt::Key_Down, Qt::ShiftModifier);  // line 1 with its break
  TShot shot(Memo);
  const COLORREF highlight = ColorToRGB(clHighlight), window = ColorToRGB(clWindow);
  const int h = Memo->LineHeight();
  const int right = Memo->GutterWidth() + Memo->VisibleColumns() * Memo->CharWidth() - 2;
  EXPECT_EQ(shot.Px(right, h / 2), highlight) << "selected line: to the right edge";
  EXPECT_EQ(shot.Px(Memo->GutterWidth() + 10 * Memo->CharWidth(), h / 2), highlight);
  EXPECT_EQ(shot.Px(right, h + h / 2), window) << "line 2 is not selected";
  EXPECT_EQ(shot.Px(Memo->GutterWidth() + 10 * Memo->CharWidth(), h + h / 2), window);
}

TEST_F(CodeEditorTest, AProportionalFontStillSitsOnTheCellGrid) {
  Memo->Font()->SetName("Arial");
  SetText({"iiiiiiiiW"});
  const int w = Memo->CharWidth(), h = Memo->LineHeight(), g = Memo->GutterWidth();
  ASSERT_GT(w, 6);
  TShot shot(Memo);
  const COLORREF window = ColorToRGB(clWindow);
  // Drawn in one call, eight narrow i would fill only the first cells and leave the W near
  // them; on the grid every cell, the W's ninth too, holds its own character.
  for (int col = 1; col <= 9; ++col) {
    SCOPED_TRACE(col);
    EXPECT_NE(shot.FirstInk(Rect(g + (col - 1) * w, 0, g + col * w, h), window), -1);
  }
  EXPECT_EQ(shot.FirstInk(Rect(g + 9 * w + 2, 0, g + 20 * w, h), window), -1);
}

TEST_F(CodeEditorTest, GutterMarksAndErrorBarAtTheirPlaces) {
  SetText({"a", "b", "c", "d"});
  Memo->SetBookmark(1, 0);
  Memo->SetDebugLine(2);
  Memo->SetRunToLine(3);
  Memo->SetCodeLineMark(4, true);
  Memo->SetErrorBarText("Identifier expected");
  TShot shot(Memo);
  const int h = Memo->LineHeight();
  const COLORREF green = 0x008000, black = 0, red = 0x0000FF, blue = 0xFF0000, maroon = 0x000080;
  // Bookmark 1 on line 1: the black shadow shows at its right and top, the green square
  // carries a white digit.
  EXPECT_EQ(shot.Px(22, 5), black);
  EXPECT_EQ(shot.Px(20, 3), black);
  EXPECT_EQ(shot.Px(12, 13), green);
  EXPECT_GT(shot.Count(Rect(14, 4, 21, 15), TShot::tLight), 5);
  // DebugLine 2: the whole line in the selection colour, to the right edge.
  const int right = Memo->GutterWidth() + Memo->VisibleColumns() * Memo->CharWidth() - 2;
  EXPECT_EQ(shot.Px(right, h + h / 2), ColorToRGB(clHighlight));
  EXPECT_EQ(shot.Px(Memo->GutterWidth() + Memo->CharWidth() / 2, h + 1), ColorToRGB(clHighlight));
  // RunToLine 3: a red disc; line 4: the executable-line dot.
  EXPECT_EQ(shot.Px(7, 2 * h + 9), red);
  EXPECT_EQ(shot.Px(6, 3 * h + 9), blue);
  EXPECT_EQ(shot.Px(5, 3 * h + 7), 0xFFFF00) << "the cyan highlight pixel";
  // The gutter's face and its light line; nothing marks line 2's gutter.
  EXPECT_EQ(shot.Px(5, h + 3), ColorToRGB(clBtnFace));
  EXPECT_EQ(shot.Px(Memo->GutterWidth() - 4, h + 3), ColorToRGB(clBtnHighlight));
  // The error bar along the bottom: maroon with white text.
  const int bottom = Memo->ClientHeight();
  EXPECT_EQ(shot.Px(Memo->ClientWidth() - 3, bottom - 2), maroon);
  EXPECT_EQ(shot.Px(2, bottom - 2), maroon);
  EXPECT_GT(shot.Count(Rect(6, bottom - 20, 200, bottom), TShot::tLight), 10);

  Memo->SetGutterVisible(false);
  TShot bare(Memo);
  EXPECT_EQ(bare.Count(Rect(0, 0, 25, 4 * h), green), 0) << "no gutter, no marks";
  EXPECT_EQ(bare.Count(Rect(0, 0, 25, 4 * h), red), 0);
}

TEST_F(CodeEditorTest, FontChangeMeasuresTheCellAgain) {
  const int w = Memo->CharWidth(), h = Memo->LineHeight(), cols = Memo->VisibleColumns();
  Memo->Font()->SetSize(20);
  EXPECT_GT(Memo->CharWidth(), w);
  EXPECT_GT(Memo->LineHeight(), h);
  EXPECT_LT(Memo->VisibleColumns(), cols);
  EXPECT_EQ(Memo->VisibleColumns(), (Memo->ClientWidth() - Memo->GutterWidth()) / Memo->CharWidth());
  EXPECT_EQ(Memo->VisibleLines(), Memo->ClientHeight() / Memo->LineHeight());
}
