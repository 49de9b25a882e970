// How the older engine's views draw: geometry scaled to the output, frames and fills read
// back as pixels, text wrapping on characters with hyphenation, alignment, automatic width,
// pictures that keep their aspect, lines and band alignment.
#include "FrTestSupport.h"

#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/Canvas.h"
#include "gui/GraphicsObjects.h"
#include "gui/Pictures.h"
#include "print/Metafile.h"
#include "report_legacy/FR_Utils.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/GdiDC.h"
#include "gui/StdCtrls.h"

#include <algorithm>

namespace {

using frtest::TEngineTest;

struct TInk {
  int Count = 0;
  TRect Box{1 << 20, 1 << 20, -1, -1};
};

// Pixels that differ from the background colour in an area.
TInk Ink(TBitmap& b, const TRect& area, TColor background = clWhite) {
  TInk ink;
  for (int y = std::max(0, area.Top); y < std::min(b.Height(), area.Bottom); ++y)
    for (int x = std::max(0, area.Left); x < std::min(b.Width(), area.Right); ++x) {
      if (b.Canvas()->Pixels(x, y) == background) continue;
      ++ink.Count;
      ink.Box = {std::min(ink.Box.Left, x), std::min(ink.Box.Top, y), std::max(ink.Box.Right, x + 1),
                 std::max(ink.Box.Bottom, y + 1)};
    }
  return ink;
}

void Fill(TBitmap& b, int w, int h, TColor c) {
  b.SetSize(w, h);
  b.Canvas()->Brush()->SetColor(c);
  b.Canvas()->FillRect({0, 0, w, h});
}

class FrDrawing : public TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    Report = std::make_unique<TfrReport>(nullptr);
    Page = Report->Pages()->Add();
    frState().CurrentReport = Report.get();
    frState().CurrentPage = Page;
  }

  TfrMemoView* Memo(int l, int t, int w, int h, const String& text) {
    auto* m = new TfrMemoView;
    m->Name = "Memo" + IntToStr(Page->ObjectCount() + 1);
    m->SetViewBounds(l, t, w, h);
    m->Memo.SetText(text);
    Page->AddObject(m);
    return m;
  }

  // The lines WrapLine makes of one text in a memo of the given inner width.
  std::vector<String> Wrap(const String& text, int width, Word flags = frmemo::WordWrap) {
    TfrMemoView m;
    m.Flags = flags;
    m.SetViewBounds(0, 0, width + 2 * m.GapX, 100);
    m.ExpandedMemo.SetText(text);
    m.WrapMemo();
    std::vector<String> out;
    for (int i = 0; i < Globals->WrapList->Count(); ++i) out.push_back(Globals->WrapList->Strings(i));
    return out;
  }

  int TextWidth(const String& s) {
    TCanvas* c = Globals->WorkCanvas();
    TFont f;
    f.SetName("Arial");
    f.SetHeight(-13);
    c->Font()->Assign(&f);
    return c->TextWidth(s);
  }

  std::unique_ptr<TfrReport> Report;
  TfrPage* Page = nullptr;
};

String Joined(const std::vector<String>& lines) {
  String r;
  for (String l : lines) {
    if (!l.empty() && (l.back() == '\x01' || l.back() == '-')) l.pop_back();
    r += l;
  }
  return r;
}

// ---------------------------------------------------------------- geometry

TEST_F(FrDrawing, StoreGeometryScalesTheObjectAndItsFrame) {
  struct Case {
    int Left, Top, Width, Height;
    Word FrameTyp;
    float FrameWidth;
    double Scale;
    int Offset;
    TRect PaintRect;
    int GapX, GapY;
  };
  const Case cases[] = {
      // A 3-pixel frame on all sides at twice the size: edges move in by half the frame.
      {10, 10, 100, 20, 15, 3, 2, 0, {22, 22, 218, 58}, 7, 3},
      {10, 10, 100, 20, 0, 1, 1, 0, {10, 10, 111, 31}, 2, 1},
      // Halves go to the even neighbour: 10 × 1.25 = 12.5 → 12; offsets add after scaling.
      {10, 10, 100, 20, 0, 1, 1.25, 5, {17, 17, 143, 43}, 3, 1},
      // Only the right and bottom lines pull the far edges in.
      {0, 0, 50, 50, 3, 4, 1, 0, {0, 0, 49, 49}, 4, 2},
  };
  frState().EngineMode = 1;
  for (const Case& c : cases) {
    TfrMemoView m;
    m.SetViewBounds(c.Left, c.Top, c.Width, c.Height);
    m.FrameTyp = c.FrameTyp;
    m.FrameWidth = c.FrameWidth;
    m.OutputScaleX = m.OutputScaleY = c.Scale;
    m.OutputOffsetX = m.OutputOffsetY = c.Offset;
    m.StoreGeometry();
    EXPECT_EQ(m.PaintRect, c.PaintRect) << c.Left << " scale " << c.Scale;
    EXPECT_EQ(m.GapX, c.GapX);
    EXPECT_EQ(m.GapY, c.GapY);
    m.RestoreGeometry();
    EXPECT_EQ(m.Left, c.Left);
    EXPECT_EQ(m.Width, c.Width);
    EXPECT_EQ(m.GapX, 2);
    EXPECT_EQ(m.FrameWidth, c.FrameWidth);
  }
  // The designer always draws at scale 1.
  frState().EngineMode = 0;
  TfrMemoView m;
  m.SetViewBounds(10, 10, 100, 20);
  m.OutputScaleX = m.OutputScaleY = 3;
  m.StoreGeometry();
  EXPECT_EQ(m.PaintRect, (TRect{10, 10, 111, 31}));
}

// ---------------------------------------------------------------- frames and fills

TEST_F(FrDrawing, DashedFramesAreOnePixelLinesAndDoubleFramesHaveTheFillBetween) {
  frState().EngineMode = 1;
  TBitmap b;
  Fill(b, 200, 80, clWhite);
  TfrMemoView* dashed = Memo(20, 20, 150, 30, "");
  dashed->FrameTyp = 8;  // top
  dashed->FrameWidth = 3;
  dashed->FrameStyle = 1;
  dashed->FrameColor = clBlack;
  dashed->FillColor = clWhite;
  dashed->DrawOnCanvas(b.Canvas());
  // Three rows around the top edge carry the dashes; none outside them.
  for (int y : {19, 20, 21}) {
    int dark = 0, changes = 0;
    bool last = false;
    for (int x = 25; x < 165; ++x) {
      const bool d = b.Canvas()->Pixels(x, y) == clBlack;
      dark += d;
      changes += x > 25 && d != last;
      last = d;
    }
    EXPECT_GT(dark, 20) << "row " << y;
    EXPECT_GT(changes, 8) << "row " << y << " is not dashed";
  }
  EXPECT_EQ(Ink(b, {20, 16, 170, 18}).Count, 0);
  EXPECT_EQ(Ink(b, {20, 23, 170, 24}).Count, 0);

  Fill(b, 200, 80, clWhite);
  TfrMemoView* twice = Memo(20, 20, 150, 30, "");
  twice->FrameTyp = 8;
  twice->FrameWidth = 1;
  twice->FrameStyle = 5;
  twice->FrameColor = clBlack;
  twice->FillColor = clRed;
  twice->DrawOnCanvas(b.Canvas());
  EXPECT_EQ(b.Canvas()->Pixels(80, 19), clBlack);
  EXPECT_EQ(b.Canvas()->Pixels(80, 20), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(80, 21), clBlack);
  EXPECT_EQ(b.Canvas()->Pixels(80, 35), clRed);  // the fill inside
}

TEST_F(FrDrawing, AnObjectWithoutFillIsWhiteInTheDesignerAndClearInAPreview) {
  for (int mode : {0, 1}) {
    frState().EngineMode = mode;
    TBitmap b;
    Fill(b, 100, 60, clSilver);
    TfrMemoView* m = Memo(10, 10, 50, 30, "");
    m->FillColor = clNone;
    m->DrawOnCanvas(b.Canvas());
    EXPECT_EQ(b.Canvas()->Pixels(30, 25), mode == 0 ? clWhite : clSilver) << "mode " << mode;
  }
}

// ---------------------------------------------------------------- wrapping

TEST_F(FrDrawing, WrappingBreaksAtBlanksCutsLongWordsAndNeverSplitsACharacter) {
  const String word = "abcdefghijklmnopqrstuvwxyzabcdefghij";
  const int w = TextWidth("abcdefghij");
  std::vector<String> lines = Wrap(word, w);
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(Joined(lines), word);
  // Each cut line is as long as fits: one more character would not.
  EXPECT_LE(TextWidth(lines[0]), w);
  EXPECT_GT(TextWidth(lines[0] + word[lines[0].size()]), w);
  EXPECT_EQ(lines.back().back(), '\x01');

  const String chinese = "合同管理软件报表打印预览";
  lines = Wrap(chinese, 45);
  ASSERT_GT(lines.size(), 1u);
  EXPECT_EQ(Joined(lines), chinese);
  for (const String& l : lines) {
    EXPECT_FALSE(l.empty());
    EXPECT_LE(TextWidth(l.back() == '\x01' ? l.substr(0, l.size() - 1) : l), 45) << l;
  }

  EXPECT_EQ(Wrap("a\r\nb", 200), (std::vector<String>{"a\x01", "b\x01"}));
  // Blanks break lines and are not printed at the break.
  lines = Wrap("one two three four five six", TextWidth("one two thr"));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "one two");
  // Without WordWrap every line stays whole.
  EXPECT_EQ(Wrap("one two three four five six", 20, 0), (std::vector<String>{"one two three four five six\x01"}));
}

TEST_F(FrDrawing, WordBreakHyphenatesCyrillicWordsButNotChineseText) {
  std::vector<int> points = BreakWord("электричество");
  EXPECT_FALSE(points.empty());
  EXPECT_TRUE(BreakWord("abc").empty());
  const String word = "электричество";
  const int w = TextWidth("электри-");
  std::vector<String> lines = Wrap(word, w, frmemo::WordWrap | frmemo::WordBreak);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0].back(), '-');
  EXPECT_LE(TextWidth(lines[0]), w);
  EXPECT_EQ(Joined(lines), word);
  // The break stands at one of the allowed points.
  const int firstChars = Length(lines[0]) - 1;
  EXPECT_NE(std::find(points.begin(), points.end(), firstChars), points.end()) << lines[0];

  lines = Wrap("合同管理软件报表打印预览", 45, frmemo::WordWrap | frmemo::WordBreak);
  ASSERT_GT(lines.size(), 1u);
  for (const String& l : lines) EXPECT_NE(l.back(), '-') << l;
}

// ---------------------------------------------------------------- text on a canvas

std::vector<TMetaTextRun> Runs(TMetafile& m) {
  std::vector<TMetaTextRun> r;
  m.WalkText([&r](const TMetaTextRun& run) { r.push_back(run); });
  return r;
}

TEST_F(FrDrawing, AlignmentPlacesEachLineAndJustificationLeavesTheLastLineRagged) {
  frState().EngineMode = 1;
  TBitmap ref;
  Fill(ref, 400, 300, clWhite);
  struct Case {
    int Alignment;
    const char* Text;
  };
  // Left, right, centred: the run's left edge follows the alignment.
  for (int align : {0, 1, 2}) {
    TMetafile mf;
    {
      TMetafileCanvas c(&mf, ref.Canvas()->Handle());
      TfrMemoView* m = Memo(10, 10, 200, 40, "Total");
      m->Alignment = align;
      m->DrawOnCanvas(&c);
    }
    std::vector<TMetaTextRun> runs = Runs(mf);
    ASSERT_EQ(runs.size(), 1u);
    const int tw = TextWidth("Total");
    const int expected = align == 0 ? 10 + 2 : align == 1 ? 211 - 0 - 2 - tw - 1 : 10 + 2 + (201 - 4 - tw) / 2;
    EXPECT_NEAR(runs[0].Origin.X, expected, 1) << "alignment " << align;
    EXPECT_EQ(runs[0].Text, "Total");
  }
  // A justified paragraph: every line but the last reaches the right edge.
  TBitmap b;
  Fill(b, 400, 300, clWhite);
  TfrMemoView* m = Memo(10, 10, 100, 200, "aa bb cc dd ee ff gg hh ii jj kk ll mm nn oo pp qq x");
  m->Alignment = 3;
  m->DrawOnCanvas(b.Canvas());
  const int step = 2 + 13;
  int lines = 0;
  std::vector<int> rights;
  for (int y = 11; y < 200; y += step) {
    TInk ink = Ink(b, {11, y, 108, y + step - 1});
    if (!ink.Count) break;
    rights.push_back(ink.Box.Right);
    ++lines;
  }
  ASSERT_GE(lines, 3);
  for (int i = 0; i + 1 < lines; ++i) EXPECT_GE(rights[i], 100) << "line " << i;
  // The last line keeps its natural width.
  String last = m->ExpandedMemo.Strings(m->ExpandedMemo.Count() - 1);
  last.pop_back();
  EXPECT_NEAR(rights.back(), 12 + TextWidth(last), 2) << last;
  EXPECT_LT(rights.back(), 100);
}

TEST_F(FrDrawing, AutoWidthTakesTheTextWidthAndRightAlignedObjectsKeepTheirRightEdge) {
  frState().EngineMode = 1;
  TBitmap b;
  Fill(b, 400, 100, clWhite);
  TfrMemoView* m = Memo(100, 10, 200, 20, "Hi");
  m->Flags |= frmemo::AutoWidth;
  m->Alignment = 1;
  const int needed = m->CalcTextWidth();
  EXPECT_EQ(needed, TextWidth("Hi") + 1 + 4 + 1);
  m->DrawOnCanvas(b.Canvas());
  EXPECT_EQ(m->Width, needed);
  EXPECT_EQ(m->Left, 100 + 200 - needed);
  TInk ink = Ink(b, {0, 0, 400, 100});
  EXPECT_GE(ink.Box.Left, m->Left);
  EXPECT_LE(ink.Box.Right, 300);
}

TEST_F(FrDrawing, RotatedTextRunsUpward) {
  frState().EngineMode = 1;
  TBitmap ref;
  Fill(ref, 200, 200, clWhite);
  TMetafile mf;
  {
    TMetafileCanvas c(&mf, ref.Canvas()->Handle());
    TfrMemoView* m = Memo(10, 10, 40, 150, "Up");
    m->Alignment = 4;
    m->DrawOnCanvas(&c);
  }
  std::vector<TMetaTextRun> runs = Runs(mf);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].Escapement, 900);
  EXPECT_EQ(runs[0].Origin.Y, 10 + 150 + 1 - 1);  // the paint rectangle's bottom less GapY
}

// ---------------------------------------------------------------- pictures and lines

TEST_F(FrDrawing, AStretchedPictureKeepsItsAspectAndStandsInTheMiddle) {
  frState().EngineMode = 1;
  TBitmap pic;
  Fill(pic, 20, 10, clBlack);
  TBitmap b;
  Fill(b, 300, 100, clWhite);
  auto* p = new TfrPictureView;
  p->SetViewBounds(10, 10, 200, 40);
  p->Flags = 1 | 2 | 4;  // stretched, centred, keep aspect
  p->Picture->SetGraphic(&pic);
  Page->AddObject(p);
  p->DrawOnCanvas(b.Canvas());
  TInk ink = Ink(b, {0, 0, 300, 100});
  // Full height (41 rows of the paint rectangle), twice as wide as high, centred.
  EXPECT_EQ(ink.Box.Top, 10);
  EXPECT_EQ(ink.Box.Bottom - ink.Box.Top, 41);
  EXPECT_NEAR(ink.Box.Right - ink.Box.Left, 80, 1);
  EXPECT_NEAR(ink.Box.Left, 10 + 60, 1);
}

TEST_F(FrDrawing, ALineWiderThanTallIsHorizontal) {
  frState().EngineMode = 1;
  TBitmap b;
  Fill(b, 200, 100, clWhite);
  auto* line = new TfrLineView;
  line->SetViewBounds(10, 40, 150, 5);
  line->FrameTyp = 4;  // said vertical
  line->FrameColor = clBlack;
  Page->AddObject(line);
  line->DrawOnCanvas(b.Canvas());
  EXPECT_EQ(line->FrameTyp, 8);
  TInk ink = Ink(b, {0, 0, 200, 100});
  EXPECT_EQ(ink.Box.Top, 40);
  EXPECT_EQ(ink.Box.Bottom, 41);
  EXPECT_GE(ink.Box.Right - ink.Box.Left, 149);
}

// ---------------------------------------------------------------- band alignment

TEST_F(FrDrawing, BandAlignPlacesObjectsBetweenTheirNeighboursAndTheMargins) {
  frState().EngineMode = 0;
  const int lm = Page->LeftMarginPx(), rm = Page->RightMarginPx();
  ASSERT_GT(rm, lm + 300);
  TfrMemoView* left = Memo(50, 100, 40, 20, "");
  left->BandAlign = 1;
  TfrMemoView* right = Memo(400, 100, 60, 20, "");
  right->BandAlign = 2;
  TfrMemoView* rest = Memo(200, 100, 10, 20, "");
  rest->BandAlign = 7;
  TfrMemoView* other = Memo(10, 300, 10, 20, "");  // another row
  other->BandAlign = 1;
  TBitmap b;
  Fill(b, 10, 10, clWhite);
  left->BeginDraw(b.Canvas());
  EXPECT_EQ(left->Left, lm);
  right->BeginDraw(b.Canvas());
  EXPECT_EQ(right->Left, rm - 60);
  rest->BeginDraw(b.Canvas());
  EXPECT_EQ(rest->Left, lm + 40);
  EXPECT_EQ(rest->Width, rm - 60 - (lm + 40));
  // A left neighbour reaching past the right neighbour would make the width negative.
  TfrMemoView* wide = Memo(150, 500, 100, 20, "");
  wide->BandAlign = 1;
  TfrMemoView* close = Memo(220, 500, 30, 20, "");
  close->BandAlign = 2;
  TfrMemoView* squeezed = Memo(200, 500, 10, 20, "");
  squeezed->BandAlign = 7;
  squeezed->BeginDraw(b.Canvas());
  EXPECT_EQ(squeezed->Left, 250);
  EXPECT_EQ(squeezed->Width, 0);
  TfrMemoView* centred = Memo(0, 200, 100, 20, "");
  centred->BandAlign = 3;
  centred->BeginDraw(b.Canvas());
  EXPECT_EQ(centred->Left, lm + (rm - lm - 100) / 2);
}

}  // namespace

namespace {

// ---------------------------------------------------------------- designer looks

TEST_F(FrDrawing, BandsShowTheirKindOnATabAboveAndTheirRegionHoldsIt) {
  frState().EngineMode = 0;
  auto* band = new TfrBandView;
  band->Name = "ReportTitle1";
  band->SetBandType(btReportTitle);
  band->SetViewBounds(0, 100, 10, 40);
  Page->AddObject(band);
  TBitmap ref;
  Fill(ref, 100, 100, clWhite);
  TMetafile mf;
  {
    TMetafileCanvas c(&mf, ref.Canvas()->Handle());
    band->DrawOnCanvas(&c);
  }
  // The band spans the page.
  EXPECT_EQ(band->Left, 0);
  EXPECT_EQ(band->Width, Page->PrinterInfo.PageWidth);
  std::vector<TMetaTextRun> runs = Runs(mf);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].Text, "报表标题");
  EXPECT_EQ(runs[0].Origin, (TPoint{4, 100 - 17}));
  HRGN rgn = band->CreateClipRegion(false);
  EXPECT_TRUE(PtInRegion(rgn, 50, 90));    // on the tab
  EXPECT_FALSE(PtInRegion(rgn, 300, 90));  // above the band, past the tab
  EXPECT_TRUE(PtInRegion(rgn, 300, 120));
  DeleteObject(rgn);
}

TEST_F(FrDrawing, ClipRegionsGrowByTheFrameAndWhenWidened) {
  struct Case {
    Word FrameTyp, Style;
    float Width;
    bool Widened;
    TRect Box;
  };
  const Case cases[] = {
      {0, 0, 1, false, {10, 10, 61, 31}},
      {15, 0, 4, false, {8, 8, 63, 33}},     // b = 2, a = near(1.5) = 2
      {15, 5, 2, false, {7, 7, 63, 33}},     // double: b = 3, a = near(2.5) = 2
      {0, 0, 1, true, {0, 0, 71, 41}},
  };
  for (const Case& c : cases) {
    TfrMemoView m;
    m.SetViewBounds(10, 10, 50, 20);
    m.FrameTyp = c.FrameTyp;
    m.FrameStyle = c.Style;
    m.FrameWidth = c.Width;
    HRGN rgn = m.CreateClipRegion(c.Widened);
    TRect box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box, c.Box) << c.FrameTyp << " " << c.Style << " " << c.Width;
    DeleteObject(rgn);
  }
}

TEST_F(FrDrawing, SubReportsAndEmptyPicturesShowPlaceholdersInTheDesigner) {
  frState().EngineMode = 0;
  TBitmap b;
  Fill(b, 200, 100, clSilver);
  auto* sub = new TfrSubReportView;
  sub->Name = "SubReport1";
  sub->SetViewBounds(10, 10, 150, 30);
  Page->AddObject(sub);
  TMetafile mf;
  {
    TMetafileCanvas c(&mf, b.Canvas()->Handle());
    sub->DrawOnCanvas(&c);
  }
  std::vector<TMetaTextRun> runs = Runs(mf);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].Text, "SubReport1");
  EXPECT_EQ(runs[0].Origin, (TPoint{12, 12}));
  sub->DrawOnCanvas(b.Canvas());
  EXPECT_EQ(b.Canvas()->Pixels(100, 35), clWhite);
  EXPECT_EQ(b.Canvas()->Pixels(10, 10), clBlack);

  auto* pic = new TfrPictureView;
  pic->SetViewBounds(10, 50, 100, 40);
  Page->AddObject(pic);
  Fill(b, 200, 100, clWhite);
  pic->DrawOnCanvas(b.Canvas());
  // The empty-picture sign's grey frame at (Left + 1, Top + 2).
  EXPECT_EQ(b.Canvas()->Pixels(11, 52), TColor(0x808080));
}

TEST_F(FrDrawing, DialogControlsPaintTheirControlAndGoOntoTheForm) {
  frState().EngineMode = 0;
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetText("输入");
  auto* view = new TfrControl;
  view->HostedControl = edit;
  view->SetViewBounds(20, 10, 120, 24);
  Page->AddObject(view);
  TBitmap b;
  Fill(b, 200, 60, clWhite);
  view->DrawOnCanvas(b.Canvas());
  EXPECT_EQ(edit->Width(), 120);
  TInk ink = Ink(b, {0, 0, 200, 60});
  EXPECT_EQ(ink.Box.Left, 20);
  EXPECT_EQ(ink.Box.Top, 10);
  EXPECT_GE(ink.Box.Right, 139);
  view->PlaceOnForm(&form);
  EXPECT_EQ(edit->Parent(), &form);
  // An edit keeps the height its font gives it.
  EXPECT_EQ(edit->Left(), 20);
  EXPECT_EQ(edit->Top(), 10);
  EXPECT_EQ(edit->Width(), 120);
  view->HostedControl = nullptr;
}

TEST_F(FrDrawing, ControlHelpersEnableAndFindControls) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 200, 100);
  auto* edit = new TEdit(&form);
  edit->SetParent(panel);
  edit->SetBounds(20, 20, 100, 24);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetBounds(10, 150, 80, 16);
  EXPECT_EQ(ControlAtPos(&form, {35, 35}), edit);  // inside the panel, on the edit
  EXPECT_EQ(ControlAtPos(&form, {15, 15}), nullptr);  // on the panel, no child there
  EXPECT_EQ(ControlAtPos(&form, {20, 155}), label);
  EXPECT_EQ(ControlAtPos(&form, {250, 180}), nullptr);
  EnableControls({edit, label}, false);
  EXPECT_FALSE(edit->Enabled());
  EXPECT_EQ(edit->Color(), clBtnFace);
  EXPECT_EQ(label->Font()->Color(), clGrayText);
  EnableControls({edit, label}, true);
  EXPECT_EQ(edit->Color(), clWindow);
  EXPECT_EQ(label->Font()->Color(), clWindowText);
}

}  // namespace

namespace {

TEST_F(FrDrawing, UnderlinesRuleEveryLineOfTheObject) {
  frState().EngineMode = 1;
  TBitmap b;
  Fill(b, 200, 100, clWhite);
  TfrMemoView* m = Memo(10, 10, 100, 62, "");
  m->Flags |= frmemo::Underlines;
  m->FrameColor = clBlue;
  m->DrawOnCanvas(b.Canvas());
  // Lines every 15 pixels (spacing 2 + character height 13), under each text line: 62 / 15 = 4.
  std::vector<int> rows;
  for (int y = 0; y < 100; ++y)
    if (b.Canvas()->Pixels(50, y) == clBlue) rows.push_back(y);
  EXPECT_EQ(rows, (std::vector<int>{10 + 1 + 2 + 13, 41, 56, 71}));
}

TEST_F(FrDrawing, PrintersGetPicturesButNoIcons) {
  frState().EngineMode = 1;
  TBitmap pic;
  Fill(pic, 4, 4, clBlack);
  TIcon icon;
  icon.Assign(&pic);
  for (bool isIcon : {false, true}) {
    TBitmap b;
    Fill(b, 100, 60, clWhite);
    auto* p = new TfrPictureView;
    p->SetViewBounds(10, 10, 40, 40);
    if (isIcon) p->Picture->SetGraphic(&icon);
    else p->Picture->SetGraphic(&pic);
    p->ToPrinter = true;
    Page->AddObject(p);
    p->DrawOnCanvas(b.Canvas());
    EXPECT_EQ(Ink(b, {0, 0, 100, 60}).Count > 0, !isIcon) << (isIcon ? "icon" : "bitmap");
  }
}

}  // namespace
