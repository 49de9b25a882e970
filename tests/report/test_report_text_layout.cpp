// Report text layout and output: tags, wrapping with syllable breaks, measures, splitting off
// the overflow, and lines written glyph by glyph onto recordings at 96 dpi (any zoom) and on a
// printer canvas at 600 dpi, read back as text runs.
#include "core/StrUtils.h"
#include "gui/Colors.h"
#include "gui/GdiDC.h"
#include "gui/MeasuringDC.h"
#include "gui/Pictures.h"
#include "print/Metafile.h"
#include "report/frxGraphicUtils.h"
#include "report/frxPrinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>

namespace {

std::vector<String> Split(const String& Text) {
  std::vector<String> lines;
  String line;
  for (char c : Text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  lines.push_back(line);
  return lines;
}

struct TLayoutSetup {
  int Width = 200, Height = 400;
  int FontSize = 10;
  const char* Face = "Arial";
  bool WordWrap = true, Tags = false, WordBreak = false, RightToLeft = false;
  int Rotation = 0;
  double LineSpacing = 2, CharSpacing = 0, ParagraphGap = 0;
};

class TextLayout : public ::testing::Test {
protected:
  TfrxDrawText D;
  TFont Font;

  void UseFont(const TLayoutSetup& S) {
    Font.SetName(S.Face);
    Font.SetSize(S.FontSize);
    Font.SetColor(clBlack);
    D.AssignFont(&Font);
  }
  void Layout(const String& Text, const TLayoutSetup& S = {}, double Scale = 1, TPoint Offset = {0, 0}) {
    UseFont(S);
    D.SetLayoutOptions(S.WordWrap, S.Tags, S.Rotation, true, S.WordBreak, S.RightToLeft);
    D.SetSpacing(S.LineSpacing, S.CharSpacing, S.ParagraphGap);
    TRect area = Rect(0, 0, S.Width, S.Height);
    TRect target = Rect(Offset.X, Offset.Y, Offset.X + int(std::lround(S.Width * Scale)),
                        Offset.Y + int(std::lround(S.Height * Scale)));
    D.SetRects(area, target, Scale, Scale);
    D.LayoutText(Split(Text));
  }
  std::vector<String> Lines() {
    std::vector<String> l;
    for (int i = 0; i < D.LineCount(); ++i) l.push_back(D.Lines(i));
    return l;
  }
  // The width of Text on the measuring canvas in the font of S, reference pixels.
  int RefWidth(const String& Text, const TLayoutSetup& S) {
    UseFont(S);
    return RefWidth(Text);
  }
  // The same in the font of the layout.
  int RefWidth(const String& Text) {
    std::u32string t = Utf8ToUtf32(Text);
    return D.MeasureLineWidths(-1, t, false, 0, D.MeasuringCanvas());
  }
};

// Runs drawn, grouped into lines by their vertical position (or horizontal for rotated text).
struct TDrawnLine {
  String Text;
  int X = 0, Y = 0;
  int Advance = 0;
  std::vector<int> Advances;
};

std::vector<TMetaTextRun> Runs(const TMetafile& M) {
  std::vector<TMetaTextRun> runs;
  M.WalkText([&](const TMetaTextRun& r) { runs.push_back(r); });
  return runs;
}

std::vector<TDrawnLine> DrawnLines(const TMetafile& M, bool ByX = false) {
  std::map<int, TDrawnLine> lines;
  for (const TMetaTextRun& r : Runs(M)) {
    TDrawnLine& l = lines[ByX ? r.Origin.X : r.Origin.Y];
    if (l.Text.empty()) l.X = r.Origin.X, l.Y = r.Origin.Y;
    l.Text += r.Text;
    for (int a : r.Advances) l.Advance += a;
    l.Advances.insert(l.Advances.end(), r.Advances.begin(), r.Advances.end());
  }
  std::vector<TDrawnLine> out;
  for (auto& [key, l] : lines) out.push_back(l);
  return out;
}

struct TDCDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};

// A recording at 96 dpi, the screen's reference.
struct TScreenRecording {
  std::unique_ptr<HDC__, TDCDeleter> Reference{CreateMeasuringDC(96)};
  TMetafile Metafile;
  std::unique_ptr<TMetafileCanvas> Canvas;
  TScreenRecording() {
    Metafile.SetWidth(2000);
    Metafile.SetHeight(2000);
    Canvas = std::make_unique<TMetafileCanvas>(&Metafile, Reference.get());
  }
};

// The virtual printer's canvas over a 600-dpi recording.
struct TPrinterRecording {
  TMetafile Metafile;
  std::unique_ptr<TMetafileCanvas> Recorder{std::make_unique<TMetafileCanvas>(&Metafile, nullptr)};
  TfrxVirtualPrinter Printer{"Virtual", ""};
  TfrxPrinterCanvas& Canvas;
  TPrinterRecording() : Canvas(*Printer.Canvas()) {
    Printer.LoadDeviceInfo();
    Canvas.SetHandle(Recorder->Handle());
  }
  ~TPrinterRecording() { Canvas.SetHandle(nullptr); }
};

TEST_F(TextLayout, TagsChangeTheLookOfTheCharactersAndUnknownTagsStayText) {
  struct TCase {
    const char* Source;
    const char* Line;
    TFontStyles Styles[4];
    TColor Color;  // of the last character
  };
  const TCase cases[] = {
      {"a<b>b</b>c", "abc", {{}, {fsBold}, {}}, clBlack},
      {"a<x>b", "a<x>b", {}, clBlack},
      {"a<abc>b", "a<abc>b", {}, clBlack},
      {"<b></b>", " ", {}, clBlack},
      {"<I>i</i><U>u<STRIKE>s", "ius", {{fsItalic}, {fsUnderline}, {fsUnderline, fsStrikeOut}}, clBlack},
      {"<font color=\"#FF0000\">r", "r", {}, clRed},
      {"<font color=red>r", "r", {}, clRed},
      {"<font color=  \"#0000ff\">b</font>k", "bk", {}, clBlack},
      {"<font color=\"#GG0000\">r", "<font color=\"#GG0000\">r", {}, clBlack},
      {"<font color=nosuch>r", "<font color=nosuch>r", {}, clBlack},
  };
  TLayoutSetup s;
  s.Tags = true;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Source);
    Layout(c.Source, s);
    ASSERT_EQ(D.LineCount(), 1);
    EXPECT_EQ(D.Lines(0), c.Line);
    TfrxHTMLTags& tags = D.Tags().Items(0);
    ASSERT_EQ(tags.Count(), Length(c.Line));
    for (int k = 0; k < 3 && k < tags.Count(); ++k)
      if (!c.Styles[0].Empty() || !c.Styles[1].Empty()) EXPECT_EQ(tags.Items(k).FontStyle, c.Styles[k]) << k;
    EXPECT_EQ(tags.Items(tags.Count() - 1).FontColor, c.Color);
  }
  // The blue of the third case ends at </font>; colours are written red first.
  Layout("<font color=\"#0000ff\">b</font>k", s);
  EXPECT_EQ(D.Tags().Items(0).Items(0).FontColor, clBlue);
  // Widths are measured again where the style changes; reduced characters are two thirds wide.
  s.FontSize = 24;
  Layout("r<b>r</b><sub>r</sub>", s);
  std::u32string w = U"rrr";
  D.MeasureLineWidths(0, w, false, 0, D.MeasuringCanvas());
  std::vector<int> widths = D.Widths();
  int plain = RefWidth("r");
  EXPECT_EQ(widths[0], plain);
  EXPECT_GT(widths[1], plain);  // bold
  EXPECT_EQ(widths[2], int(std::nearbyint(plain / 1.5)));
  s.FontSize = 10;
  // Without tags everything is text.
  s.Tags = false;
  Layout("a<b>b</b>c", s);
  EXPECT_EQ(D.Lines(0), "a<b>b</b>c");
  // Source positions count the tags and two for every line break.
  s.Tags = true;
  Layout("x<b>y\n<i>z", s);
  ASSERT_EQ(D.LineCount(), 2);
  EXPECT_EQ(D.Tags().Items(0).Items(1).SourcePos, 5);
  EXPECT_EQ(D.Tags().Items(1).Items(0).SourcePos, 11);
  EXPECT_FALSE(D.Tags().Items(1).Items(0).SameAsPrevious);
}

// A look that ends at the blank where a line breaks does not go on into the next line: a red
// word at the end of a line leaves the next line black.
TEST_F(TextLayout, ColoursEndWithTheirTagAcrossLines) {
  TLayoutSetup s;
  s.Tags = true;
  s.FontSize = 12;
  s.Width = int(std::ceil(RefWidth("aaa bbb", s) / 6.25)) + 1;
  Layout("aaa <font color=\"#FF0000\">bbb</font> ccc ddd\neee", s);
  ASSERT_EQ(Lines(), (std::vector<String>{"aaa bbb", "ccc ddd", "eee"}));
  TBitmap b;
  b.SetSize(s.Width, 80);
  b.Canvas()->Brush()->SetColor(clWhite);
  b.Canvas()->FillRect(Rect(0, 0, s.Width, 80));
  D.DrawLayout(b.Canvas(), haLeft, vaTop);
  auto count = [&](int top, int bottom, bool red) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < s.Width; ++x) {
        const Byte* p = b.ScanLine(y) + x * 4;  // B, G, R
        bool ink = p[0] < 160 || p[1] < 160 || p[2] < 160;
        bool isRed = p[2] > 160 && p[1] < 100 && p[0] < 100;
        if (ink && isRed == red) ++n;
      }
    return n;
  };
  EXPECT_GT(count(0, 18, true), 10);   // "bbb"
  EXPECT_GT(count(0, 18, false), 10);  // "aaa"
  EXPECT_EQ(count(18, 54, true), 0);
  EXPECT_GT(count(18, 54, false), 20);
}

TEST_F(TextLayout, RussianWordsBreakAtSyllables) {
  // Break positions: both parts keep two letters and a vowel; the doubled М is split.
  std::vector<int> expected{3, 4, 7, 9, 11, 13};
  EXPECT_EQ(TfrxDrawText::SyllableBreakPositions(U"ПРОГРАММИРОВАНИЕ"), expected);
  EXPECT_EQ(TfrxDrawText::SyllableBreakPositions(U"ДОМ"), std::vector<int>{});
  EXPECT_EQ(TfrxDrawText::SyllableBreakPositions(U"ВОЙНА"), std::vector<int>{3});  // not before Й
  EXPECT_EQ(TfrxDrawText::SyllableBreakPositions(U"ПОДЪЕЗД"), std::vector<int>{2});

  // A box that holds eight letters: the word breaks after the seventh (ПРОГРАМ-), its own case
  // kept; without WordBreak it is cut at the last letter that fits.
  for (const char* word : {"ПРОГРАММИРОВАНИЕ", "программирование"}) {
    SCOPED_TRACE(word);
    std::u32string w = Utf8ToUtf32(word);
    TLayoutSetup s;
    s.FontSize = 24;
    int eight = RefWidth(Utf32ToUtf8(w.substr(0, 8)), s), nine = RefWidth(Utf32ToUtf8(w.substr(0, 9)));
    s.Width = int((nine - 1) / 6.25);
    ASSERT_LT(s.Width * 6.25, nine);
    ASSERT_GE(s.Width * 6.25, eight);
    s.WordBreak = true;
    Layout(word, s);
    ASSERT_GE(D.LineCount(), 2);
    EXPECT_EQ(D.Lines(0), Utf32ToUtf8(w.substr(0, 7)) + "-");
    String joined;
    for (const String& l : Lines()) joined += l.back() == '-' ? Copy(l, 1, Length(l) - 1) : l;
    EXPECT_EQ(joined, word);
    s.WordBreak = false;
    Layout(word, s);
    EXPECT_EQ(D.Lines(0), Utf32ToUtf8(w.substr(0, 8)));
    // After a blank the next word is offered to syllable breaking.
    s.WordBreak = true;
    s.Width = int(std::ceil((RefWidth("ДА " + Utf32ToUtf8(w.substr(0, 5)), s) + 1) / 6.25));
    Layout(String("ДА ") + word, s);
    EXPECT_EQ(D.Lines(0), "ДА " + Utf32ToUtf8(w.substr(0, 4)) + "-");
  }
}

TEST_F(TextLayout, WrappingAtBlanksAndOverlongWords) {
  TLayoutSetup s;
  // A character wider than the box stands alone on its line.
  s.Width = 3;
  Layout("WWW", s);
  EXPECT_EQ(Lines(), (std::vector<String>{"W", "W", "W"}));
  // Lines break at blanks, the blank dropped; first and last lines of paragraphs are marked.
  s.Width = int(std::ceil(RefWidth("one two", s) / 6.25)) + 1;
  Layout("one two ab cd\n\nfive", s);
  EXPECT_EQ(Lines(), (std::vector<String>{"one two", "ab cd", " ", "five"}));
  EXPECT_EQ(D.LineMarks(0), 1);
  EXPECT_EQ(D.LineMarks(1), 2);
  EXPECT_EQ(D.LineMarks(2), 3);
  // A long word without WordBreak is cut after the last character that fits.
  s.Width = int(RefWidth("abcd", s) / 6.25) + 1;
  Layout("abcdefghij", s);
  ASSERT_GE(D.LineCount(), 3);
  EXPECT_EQ(D.Lines(0), "abcd");
  // Without WordWrap a paragraph is one line whatever its width.
  s.WordWrap = false;
  Layout("one two three four", s);
  EXPECT_EQ(D.LineCount(), 1);
}

TEST_F(TextLayout, MeasuresAndUnusedHeight) {
  TLayoutSetup s;
  s.FontSize = 12;  // 100 reference pixels: a line step of 16 + 2 report pixels
  s.Height = 35;    // 36 pixels with its last row: exactly two lines
  Layout("one\ntwo\nthree", s);
  EXPECT_DOUBLE_EQ(double(D.LineStep()), 18);
  EXPECT_DOUBLE_EQ(double(D.LayoutHeight()), 54);
  EXPECT_DOUBLE_EQ(double(D.UnusedHeight()), 0.0001);
  EXPECT_NEAR(double(D.LayoutWidth()), RefWidth("three") / 6.25, 1e-9);
  s.Height = 10;
  Layout("one", s);
  EXPECT_EQ(double(D.UnusedHeight()), 0);
  s.Height = 40;
  Layout("one", s);
  EXPECT_DOUBLE_EQ(double(D.UnusedHeight()), 41 - 2 * 18);
  // A paragraph gap widens first lines; character spacing every character.
  s.ParagraphGap = 8;
  s.CharSpacing = 1;
  Layout("one", s);
  EXPECT_NEAR(double(D.LayoutWidth()), (RefWidth("one") + 19 + 50) / 6.25, 1e-9);  // round(3 × 6.25), round(8 × 6.25)
  Layout("", s);
  EXPECT_EQ(D.LineCount(), 1);  // an empty text is one blank line
}

TEST_F(TextLayout, SplitOffOverflowStartsTheRestInItsLook) {
  TLayoutSetup s;
  s.Tags = true;
  s.FontSize = 12;
  s.Height = 17;  // one line
  s.Width = int(std::ceil(RefWidth("aaa bbb", s) / 6.25)) + 1;
  Layout("aaa bbb <font color=\"#FF0000\"><b>ccc ddd</b></font>\nnext", s);
  ASSERT_GE(D.LineCount(), 3);
  EXPECT_EQ(D.Lines(0), "aaa bbb");
  String rest = D.SplitOffOverflow();
  // The rest starts at its first character, after the tags that gave it its look, and is
  // prefixed with that look.
  EXPECT_EQ(rest, "<font color=\"#FF0000\"><b>ccc ddd</b></font>\r\nnext\r\n");
  EXPECT_EQ(D.FittingText(), "aaa bbb <font color=\"#FF0000\"><b>");
  EXPECT_EQ(D.LineCount(), 1);
  // Continuing plain text: the rest starts after the blank, in the default look.
  s.Width = int(std::ceil(RefWidth("one two", s) / 6.25)) + 1;
  Layout("one two three", s);
  EXPECT_EQ(D.SplitOffOverflow(), "<font color=\"#000000\">three\r\n");
  EXPECT_EQ(D.FittingText(), "one two");
  // Everything fits: nothing split off.
  s.Height = 200;
  Layout("one two three", s);
  EXPECT_EQ(D.SplitOffOverflow(), "");
  EXPECT_EQ(D.FittingText(), "one two three\r\n");
  // Nothing fits: all of it is the rest.
  s.Height = 5;
  s.Tags = false;
  Layout("one two three", s);
  EXPECT_EQ(D.SplitOffOverflow(), "one two three\r\n");
  EXPECT_EQ(D.FittingText(), "");
}

TEST_F(TextLayout, HugeLinesAndFontsAreLaidOutAndDrawn) {
  TLayoutSetup s;
  String longLine;
  for (int i = 0; i < 40000; ++i) longLine += char('a' + i % 26);
  Layout(longLine, s);
  ASSERT_GT(D.LineCount(), 100);
  String joined;
  for (const String& l : Lines()) joined += l;
  EXPECT_EQ(joined, longLine);
  s.WordWrap = false;
  Layout(longLine, s);
  ASSERT_EQ(D.LineCount(), 1);
  TScreenRecording rec;
  D.DrawLayout(rec.Canvas.get(), haLeft, vaTop);
  std::vector<TDrawnLine> drawn = DrawnLines(rec.Metafile);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].Advances.size(), 40000u);
  EXPECT_EQ(drawn[0].Text, longLine);
  // A font of 100,000 points is measured at 1,000.
  s.FontSize = 100000;
  s.WordWrap = true;
  Layout("x", s);
  EXPECT_NEAR(double(D.LineStep()), std::round(1000 * 600 / 72.0) / 6.25 + 2, 1e-9);
}

// The same memo breaks into the same lines at every zoom and on the printer; each drawn line
// spans its reference width converted to the device.
TEST_F(TextLayout, LinesAreAlikeAtAnyZoomAndOnPaper) {
  const String memo =
      "合同管理系统 prints contracts, invoices and payment plans for every department.\n"
      "第二段 The second paragraph is a little longer so that it wraps onto several lines of the box.\n"
      "Третий абзац: короткий.";
  TLayoutSetup s;
  s.Width = 180;
  s.FontSize = 9;
  s.Face = "宋体";
  struct TTarget {
    double Scale;
    bool Printer;
  };
  std::vector<std::vector<TDrawnLine>> all;
  std::vector<String> reference;
  std::vector<int> refWidths;
  for (TTarget t : {TTarget{1, false}, TTarget{2, false}, TTarget{6.25, true}}) {
    SCOPED_TRACE(t.Scale);
    Layout(memo, s, t.Scale, {10, 20});
    if (reference.empty()) {
      reference = Lines();
      for (const String& l : reference) refWidths.push_back(RefWidth(l));
    }
    EXPECT_EQ(Lines(), reference);
    std::vector<TDrawnLine> drawn;
    if (t.Printer) {
      TPrinterRecording rec;
      D.DrawLayout(&rec.Canvas, haLeft, vaTop);
      drawn = DrawnLines(rec.Metafile);
    } else {
      TScreenRecording rec;
      D.DrawLayout(rec.Canvas.get(), haLeft, vaTop);
      drawn = DrawnLines(rec.Metafile);
    }
    ASSERT_EQ(drawn.size(), reference.size());
    for (std::size_t k = 0; k < drawn.size(); ++k) {
      EXPECT_EQ(drawn[k].Text, reference[k]);
      int expected = t.Printer ? refWidths[k] : int(std::nearbyint(refWidths[k] / 6.25 * t.Scale));
      EXPECT_EQ(drawn[k].Advance, expected) << "line " << k << " " << drawn[k].Text << " " << drawn[k].Advances.size();
      EXPECT_EQ(drawn[k].X, 10);
    }
    EXPECT_EQ(drawn[0].Y, 20);
  }
}

TEST_F(TextLayout, JustifiedLinesFillTheBoxOnTheirBlanks) {
  TLayoutSetup s;
  s.Width = 150;
  const String text = "aaa bb c dddd eee ff g hhhhh iii jj k llll mmm nn oo pppp q rr sss t uuuuu vv w xxx";
  const String noBlanks = "noblanksatallinthislinexxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
  for (bool rtl : {false, true}) {
    SCOPED_TRACE(rtl);
    s.RightToLeft = rtl;
    Layout(text + "\n" + noBlanks, s);
    std::vector<String> lines = Lines();
    ASSERT_GE(lines.size(), 5u);
    TScreenRecording rec;
    D.DrawLayout(rec.Canvas.get(), haBlock, vaTop);
    std::vector<TDrawnLine> drawn = DrawnLines(rec.Metafile);
    ASSERT_EQ(drawn.size(), lines.size());
    int justified = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
      SCOPED_TRACE(lines[k]);
      EXPECT_EQ(drawn[k].Text, lines[k]);
      std::u32string t = Utf8ToUtf32(lines[k]);
      D.MeasureLineWidths(-1, t, false, 0, rec.Canvas.get());
      std::vector<int> natural = D.Widths();
      int naturalSum = std::accumulate(natural.begin(), natural.end(), 0);
      int ideal = int(std::nearbyint(RefWidth(lines[k]) / 6.25));
      bool last = D.LineMarks(int(k)) & 2;
      bool blanks = t.find(U' ') != std::u32string::npos;
      // Right-to-left runs are recorded character by character: their positions are checked.
      if (rtl) {
        if (last) EXPECT_EQ(drawn[k].X, 150 - ideal);
        continue;
      }
      if (!last && blanks) {
        ++justified;
        // The free width of the box on the blanks, the first ones a pixel more.
        std::vector<int> extras;
        for (std::size_t c = 0; c < t.size(); ++c) {
          int extra = drawn[k].Advances[c] - natural[c];
          if (t[c] == U' ') extras.push_back(extra);
          else EXPECT_EQ(extra, 0) << c;
        }
        EXPECT_EQ(drawn[k].Advance, 150 + 1);
        EXPECT_EQ(drawn[k].Advance - naturalSum, std::accumulate(extras.begin(), extras.end(), 0));
        EXPECT_TRUE(std::is_sorted(extras.rbegin(), extras.rend()));
        EXPECT_LE(extras.front() - extras.back(), 1);
        EXPECT_EQ(drawn[k].X, 0);
      } else {
        // The last line of a paragraph, and a line without blanks, keep their width: left, or
        // right under right-to-left reading for a last line.
        EXPECT_EQ(drawn[k].Advance, ideal);
        EXPECT_EQ(drawn[k].X, last && rtl ? 150 - ideal : 0);
      }
    }
    if (!rtl) EXPECT_GE(justified, 2);
  }
}

// Lines together are as high as at the reference resolution, converted to the target: the
// rounding of each line's step is made up between lines. Bottom and centre alignment place that
// height in the box; a paragraph's first line is indented by the paragraph gap.
TEST_F(TextLayout, LineHeightsPlacementAndIndent) {
  TLayoutSetup s;
  s.FontSize = 10;  // 83 reference pixels: 13.28 report pixels a line
  s.Width = 80;
  s.Height = 300;
  const String text = "one two three four five six seven eight nine ten eleven twelve thirteen";
  for (double scale : {1.0, 1.5, 2.0}) {
    SCOPED_TRACE(scale);
    Layout(text, s, scale);
    int n = D.LineCount();
    ASSERT_GE(n, 5);
    TScreenRecording rec;
    D.DrawLayout(rec.Canvas.get(), haLeft, vaTop);
    std::vector<TDrawnLine> drawn = DrawnLines(rec.Metafile);
    ASSERT_EQ(int(drawn.size()), n);
    int step = int(std::nearbyint(2 * scale)) + int(std::nearbyint(10 * scale * 96 / 72));
    int total = drawn.back().Y - drawn.front().Y + step;
    EXPECT_EQ(total, int(std::nearbyint(double(D.LayoutHeight()) * scale)));
    for (int k = 1; k < n; ++k) EXPECT_NEAR(drawn[k].Y - drawn[k - 1].Y, step, 1);
  }
  struct TCase {
    TfrxVAlign Align;
    double Part;  // of the free height above the text
  };
  for (TCase c : {TCase{vaTop, 0}, TCase{vaCenter, 0.5}, TCase{vaBottom, 1}}) {
    SCOPED_TRACE(int(c.Align));
    s.Height = 200;
    Layout("one\ntwo", s);
    TScreenRecording rec;
    D.DrawLayout(rec.Canvas.get(), haLeft, c.Align);
    std::vector<TDrawnLine> drawn = DrawnLines(rec.Metafile);
    ASSERT_EQ(drawn.size(), 2u);
    int height = int(std::nearbyint(double(D.LayoutHeight())));
    EXPECT_EQ(drawn[0].Y, int(std::nearbyint((200 - height) * c.Part)));
  }
  s.ParagraphGap = 10;
  Layout(text, s);
  TScreenRecording rec;
  D.DrawLayout(rec.Canvas.get(), haLeft, vaTop);
  std::vector<TDrawnLine> drawn = DrawnLines(rec.Metafile);
  ASSERT_GE(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].X, 10);
  EXPECT_EQ(drawn[1].X, 0);
}

TEST_F(TextLayout, RotationAndSubscripts) {
  TLayoutSetup s;
  s.Width = 100;
  s.Height = 300;
  s.Rotation = 90;
  s.FontSize = 10;
  Layout("first line\nsecond line", s, 1, {50, 60});
  EXPECT_EQ(D.Rotation(), 90);
  TScreenRecording rec;
  D.DrawLayout(rec.Canvas.get(), haLeft, vaTop);
  std::vector<TMetaTextRun> runs = Runs(rec.Metafile);
  ASSERT_EQ(runs.size(), 2u);
  // Upwards from the bottom left; the second line to the right of the first.
  EXPECT_EQ(runs[0].Origin, (TPoint{50, 360}));
  EXPECT_EQ(runs[0].Escapement, 900);
  EXPECT_EQ(runs[1].Origin.Y, 360);
  EXPECT_GT(runs[1].Origin.X, 50 + 10);
  // The other right angles: the first line starts at the box's corner that reads upright after
  // the turn, and the next line moves away from it.
  struct TCase {
    int Rotation;
    TPoint First;
    int DX, DY;  // the sign of the move to the second line
  };
  for (TCase c : {TCase{0, {50, 60}, 0, 1}, TCase{90, {50, 360}, 1, 0}, TCase{180, {150, 360}, 0, -1},
                  TCase{270, {150, 60}, -1, 0}}) {
    SCOPED_TRACE(c.Rotation);
    s.Rotation = c.Rotation;
    s.FontSize = 12;
    Layout("first line\nsecond line", s, 1, {50, 60});
    TScreenRecording turned;
    D.DrawLayout(turned.Canvas.get(), haLeft, vaTop);
    std::vector<TMetaTextRun> r = Runs(turned.Metafile);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].Origin, c.First);
    EXPECT_EQ((r[0].Escapement + 3600) % 3600, c.Rotation * 10);
    int step = 2 + 16;  // LineSpacing + 12 points at 96 dpi
    EXPECT_EQ(r[1].Origin.X - r[0].Origin.X, c.DX * step);
    EXPECT_EQ(r[1].Origin.Y - r[0].Origin.Y, c.DY * step);
  }
  // Rotations are kept between 0 and 359.
  s.Rotation = -90;
  Layout("x", s);
  EXPECT_EQ(D.Rotation(), 270);
  s.Rotation = 725;
  Layout("x", s);
  EXPECT_EQ(D.Rotation(), 5);

  // Subscript runs move down by their reduced size times the scale; superscript ones stay.
  s.Rotation = 0;
  s.Tags = true;
  s.FontSize = 12;
  s.Width = 300;
  for (double scale : {1.0, 2.0}) {
    Layout("a<sub>b</sub>c<sup>d</sup>", s, scale);
    TScreenRecording sub;
    D.DrawLayout(sub.Canvas.get(), haLeft, vaTop);
    std::vector<TMetaTextRun> r = Runs(sub.Metafile);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[1].Text, "b");
    EXPECT_EQ(r[1].Origin.Y - r[0].Origin.Y, int(std::nearbyint(8 * scale)));  // round(12 / 1.5)
    EXPECT_EQ(r[3].Origin.Y, r[0].Origin.Y);
    EXPECT_LT(r[1].FontHeight, r[0].FontHeight);
    EXPECT_EQ(r[2].FontHeight, r[0].FontHeight);
  }
}

TEST(TextOutput, DistributeIncrementsSpreadsEvenly) {
  struct TCase {
    int Count, N, Increment;
    std::vector<int> Expected;
  };
  const TCase cases[] = {
      {4, 1, 1, {0, 1, 0, 0}},        {4, 2, 1, {1, 0, 1, 0}}, {4, 4, -1, {-1, -1, -1, -1}},
      {5, 3, 1, {1, 0, 1, 1, 0}},     {1, 1, 2, {2}},          {6, 0, 1, {0, 0, 0, 0, 0, 0}},
      {7, 2, 1, {1, 0, 0, 0, 1, 0, 0}},
  };
  for (const TCase& c : cases) {
    std::vector<int> v(std::size_t(c.Count), 0);
    DistributeIncrements(v, 0, c.Count - 1, c.Increment, c.N);
    EXPECT_EQ(v, c.Expected) << c.Count << " " << c.N;
    EXPECT_EQ(std::accumulate(v.begin(), v.end(), 0), c.N * c.Increment);
  }
}

TEST(TextOutput, PrinterCanvasIsRecognised) {
  TPrinterRecording rec;
  EXPECT_TRUE(IsPrinterCanvas(&rec.Canvas));
  EXPECT_FALSE(IsPrinterCanvas(rec.Recorder.get()));
}

}  // namespace
