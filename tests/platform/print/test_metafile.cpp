// Metafiles: what a metafile canvas records, replay onto bitmaps at several sizes and under a
// mapping mode, and walking the recorded text.
#include "print/Metafile.h"
#include "gui/GdiDC.h"
#include "gui/GdiText.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const String kTitle = "项目合同打印";

struct TInk {
  int Count = 0;
  TRect Box{1 << 20, 1 << 20, -1, -1};
};

// Pixels darker than mid-grey in an area of a bitmap.
TInk DarkInk(TBitmap& b, const TRect& Area) {
  TInk ink;
  for (int y = std::max(0, Area.Top); y < std::min(b.Height(), Area.Bottom); ++y)
    for (int x = std::max(0, Area.Left); x < std::min(b.Width(), Area.Right); ++x) {
      const Byte* p = b.ScanLine(y) + x * 4;
      if (p[0] + p[1] + p[2] >= 3 * 128) continue;
      ++ink.Count;
      ink.Box = {std::min(ink.Box.Left, x), std::min(ink.Box.Top, y), std::max(ink.Box.Right, x + 1),
                 std::max(ink.Box.Bottom, y + 1)};
    }
  return ink;
}

TInk DarkInk(TBitmap& b) { return DarkInk(b, Rect(0, 0, b.Width(), b.Height())); }

void White(TBitmap& b, int w, int h) {
  b.SetSize(w, h);
  b.Canvas()->Brush()->SetColor(clWhite);
  b.Canvas()->FillRect(Rect(0, 0, w, h));
}

// A scene using the canvas's main drawing calls.
void DrawScene(TCanvas* c) {
  c->Brush()->SetColor(clYellow);
  c->FillRect(Rect(5, 5, 60, 30));
  c->Pen()->SetColor(clBlue);
  c->Brush()->SetColor(clAqua);
  c->Rectangle(70, 5, 150, 40);
  c->Ellipse(160, 5, 220, 45);
  c->Pen()->SetColor(clBlack);
  c->MoveTo(5, 60);
  c->LineTo(230, 60);
  c->Polyline({{5, 70}, {100, 110}, {200, 70}});
  c->Brush()->SetColor(clRed);
  c->Polygon({{10, 120}, {60, 120}, {35, 150}});
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetName("宋体");
  c->Font()->SetHeight(-16);
  c->Font()->SetColor(clBlack);
  c->TextOut(80, 120, kTitle);
  c->Font()->SetName("Arial");
  c->TextOut(80, 145, "Page 1 of 3");
}

// Pixels whose colours differ clearly between two bitmaps of one size.
int Differences(TBitmap& a, TBitmap& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const Byte *p = a.ScanLine(y) + x * 4, *q = b.ScanLine(y) + x * 4;
      if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 150) ++n;
    }
  return n;
}

std::vector<TMetaTextRun> Runs(const TMetafile& m) {
  std::vector<TMetaTextRun> out;
  m.WalkText([&](const TMetaTextRun& r) { out.push_back(r); });
  return out;
}

}  // namespace

// Recorded at the screen's resolution and replayed at its own size, the scene looks as drawn
// directly (lines may land a pixel apart: a recorded line is a line, not plotted pixels).
TEST(Metafile, ReplayEqualsDirectDrawing) {
  TBitmap direct, replayed;
  White(direct, 240, 170);
  White(replayed, 240, 170);
  DrawScene(direct.Canvas());
  TMetafile m;
  m.SetWidth(240);
  m.SetHeight(170);
  {
    TMetafileCanvas mc(&m, direct.Canvas()->Handle());
    DrawScene(&mc);
  }
  EXPECT_EQ(m.Dpi(), 96);
  replayed.Canvas()->StretchDraw(Rect(0, 0, 240, 170), &m);
  TInk ink = DarkInk(replayed);
  ASSERT_GT(ink.Count, 500);
  EXPECT_EQ(DarkInk(direct).Count > 0, true);
  int diff = Differences(direct, replayed);
  EXPECT_LT(diff, 240 * 170 / 50) << diff << " pixels differ";
  // The title is where it was drawn.
  TInk title = DarkInk(replayed, Rect(78, 118, 240, 142));
  TInk titleDirect = DarkInk(direct, Rect(78, 118, 240, 142));
  EXPECT_NEAR(title.Box.Left, titleDirect.Box.Left, 1);
  EXPECT_NEAR(title.Box.Right, titleDirect.Box.Right, 1);
}

// Walking the records finds each text run with its cell, font and advances, in reference
// pixels of a 600-dpi page when there is no reference device.
TEST(Metafile, TextWalkFindsTheTitleWithItsCell) {
  TMetafile m;
  TSize extent;
  {
    TMetafileCanvas mc(&m, nullptr);
    EXPECT_EQ(GetDeviceCaps(mc.Handle(), LOGPIXELSY), 600);
    mc.Font()->SetName("宋体");
    mc.Font()->SetSize(10);
    EXPECT_EQ(mc.Font()->Height(), -83);  // 10 points at 600 dpi
    mc.Brush()->SetStyle(bsClear);
    mc.TextOut(472, 300, kTitle);
    extent = mc.TextExtent(kTitle);
    mc.TextOut(472, 500, "第2页 共3页");
  }
  EXPECT_EQ(m.Width(), 4961);
  EXPECT_EQ(m.Height(), 7016);
  std::vector<TMetaTextRun> runs = Runs(m);
  ASSERT_EQ(runs.size(), 2u);
  const TMetaTextRun& t = runs[0];
  EXPECT_EQ(t.Text, kTitle);
  EXPECT_EQ(t.Origin, (TPoint{472, 300}));
  EXPECT_NEAR(t.Bounds.Width(), extent.cx, 2);
  EXPECT_NEAR(t.Bounds.Height(), extent.cy, 2);
  EXPECT_EQ(t.FontHeight, 83);
  EXPECT_EQ(t.FontName, "WenQuanYi Micro Hei");
  EXPECT_EQ(t.Escapement, 0);
  EXPECT_FALSE(t.Clipped);
  ASSERT_EQ(t.Advances.size(), 6u);
  int sum = 0;
  for (int a : t.Advances) sum += a;
  EXPECT_NEAR(sum, extent.cx, 6);
  EXPECT_EQ(runs[1].Text, "第2页 共3页");
  EXPECT_EQ(m.Text(), kTitle + "\n第2页 共3页");
}

// Rotated and clipped text keeps its rotation and its clip in the walk.
TEST(Metafile, TextWalkReportsRotationAndClip) {
  TMetafile m;
  {
    TMetafileCanvas mc(&m, nullptr);
    mc.Brush()->SetStyle(bsClear);
    mc.Font()->SetHeight(-80);
    mc.Font()->SetOrientation(900);
    mc.TextOut(1000, 2000, "Upward");
    mc.Font()->SetOrientation(0);
    mc.TextRect(Rect(100, 100, 200, 300), 100, 100, "A long text cut at its cell");
  }
  std::vector<TMetaTextRun> runs = Runs(m);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].Escapement, 900);
  EXPECT_GT(runs[0].Bounds.Height(), runs[0].Bounds.Width());  // runs upward from its reference
  EXPECT_LE(runs[0].Bounds.Bottom, 2001);
  EXPECT_TRUE(runs[1].Clipped);
  EXPECT_LE(runs[1].Bounds.Right, 200);
  EXPECT_GE(runs[1].Bounds.Left, 100);
}

// The lines of PolyPolyline are one record however many polylines it draws.
TEST(Metafile, PolyPolylineIsOneRecord) {
  TMetafile m;
  {
    TMetafileCanvas mc(&m, nullptr);
    std::vector<TPoint> pts;
    std::vector<DWORD> counts;
    for (int i = 0; i < 40; ++i) {
      pts.push_back({100, 100 + i * 50});
      pts.push_back({4000, 100 + i * 50});
      counts.push_back(2);
    }
    mc.PolyPolyline(pts, counts);
  }
  std::vector<TMetaRecordKind> kinds = m.RecordKinds();
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), mrLines), 1);
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), mrRects), 0);
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), mrState), int(kinds.size()) - 1);
}

// A page recorded at 600 dpi and shown smaller keeps its text where the walk says it is, at
// every zoom, whether the size comes from the target rectangle or from the canvas's mapping.
TEST(Metafile, ReplayKeepsTextPositionsAtEveryZoom) {
  TMetafile m;
  {
    TMetafileCanvas mc(&m, nullptr);
    mc.Brush()->SetStyle(bsClear);
    mc.Font()->SetName("宋体");
    mc.Font()->SetSize(14);
    mc.TextOut(600, 400, kTitle + kTitle);
    mc.TextOut(2600, 5000, "第2页 共3页");
  }
  std::vector<TMetaTextRun> runs = Runs(m);
  ASSERT_EQ(runs.size(), 2u);
  struct Row {
    double Zoom;
    bool ByMapping;
  };
  const Row rows[] = {{0.16, false}, {0.25, false}, {0.5, false}, {0.25, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Zoom * 100 + r.ByMapping);
    int w = int(std::lround(4961 * r.Zoom)), h = int(std::lround(7016 * r.Zoom));
    TBitmap b;
    White(b, w, h);
    if (r.ByMapping) {
      HDC dc = b.Canvas()->Handle();
      SetMapMode(dc, MM_ANISOTROPIC);
      SetWindowExtEx(dc, 4961, 7016, nullptr);
      SetViewportExtEx(dc, w, h, nullptr);
      b.Canvas()->StretchDraw(Rect(0, 0, 4961, 7016), &m);
      SetMapMode(dc, MM_TEXT);
    } else {
      b.Canvas()->StretchDraw(Rect(0, 0, w, h), &m);
    }
    for (const TMetaTextRun& run : runs) {
      TRect expect{int(run.Bounds.Left * r.Zoom), int(run.Bounds.Top * r.Zoom), int(run.Bounds.Right * r.Zoom) + 1,
                   int(run.Bounds.Bottom * r.Zoom) + 1};
      TInk ink = DarkInk(b, Rect(expect.Left - 10, expect.Top - 10, expect.Right + 10, expect.Bottom + 10));
      ASSERT_GT(ink.Count, 10) << run.Text;
      EXPECT_NEAR(ink.Box.Left, expect.Left, 3) << run.Text;
      // The cell ends with the last character's advance, a little right of its ink.
      EXPECT_LE(ink.Box.Right, expect.Right + 1) << run.Text;
      EXPECT_GE(ink.Box.Right, expect.Right - 2 - expect.Width() / 50) << run.Text;
      EXPECT_GE(ink.Box.Top, expect.Top - 1) << run.Text;
      EXPECT_LE(ink.Box.Bottom, expect.Bottom + 1) << run.Text;
    }
    EXPECT_EQ(DarkInk(b).Count, DarkInk(b, Rect(0, 0, w, h)).Count);
  }
}

// A one-pixel line at 600 dpi stays a visible line when the page is shown at a sixth of its
// size, and a replay keeps within the target canvas's clip.
TEST(Metafile, ThinLinesStayVisibleAndReplayKeepsTheClip) {
  TMetafile m;
  {
    TMetafileCanvas mc(&m, nullptr);
    mc.MoveTo(0, 3000);
    mc.LineTo(4961, 3000);
    mc.Brush()->SetStyle(bsClear);
    mc.Rectangle(1000, 4000, 3000, 6000);
  }
  TBitmap b;
  White(b, 800, 1131);
  IntersectClipRect(b.Canvas()->Handle(), 0, 0, 400, 1131);
  b.Canvas()->StretchDraw(Rect(0, 0, 800, 1131), &m);
  int y = int(3000 * 800.0 / 4961);
  TInk ink = DarkInk(b, Rect(0, y - 2, 800, y + 3));
  EXPECT_GE(ink.Count, 390);
  EXPECT_LE(ink.Box.Bottom - ink.Box.Top, 2);
  EXPECT_LE(ink.Box.Right, 400);
  // The rectangle's left edge, one reference pixel wide, is a visible column too.
  int x = int(1000 * 800.0 / 4961), top = int(4000 * 800.0 / 4961), bottom = int(6000 * 800.0 / 4961);
  TInk edge = DarkInk(b, Rect(x - 2, top + 2, x + 3, bottom - 2));
  EXPECT_GE(edge.Count, bottom - top - 4);
  EXPECT_LE(edge.Box.Right - edge.Box.Left, 2);
}

// A metafile copies its records; clearing empties it; it cannot be streamed.
TEST(Metafile, AssignClearAndStreaming) {
  TMetafile m;
  {
    TMetafileCanvas mc(&m, nullptr);
    mc.TextOut(10, 10, "x");
  }
  TMetafile copy;
  copy.Assign(&m);
  EXPECT_EQ(copy.RecordCount(), m.RecordCount());
  EXPECT_EQ(copy.Text(), "x");
  m.Clear();
  EXPECT_EQ(m.RecordCount(), 0);
  EXPECT_EQ(copy.Text(), "x");
  TMemoryStream s;
  EXPECT_THROW(copy.SaveToStream(&s), EInvalidGraphicOperation);
}

// A picture drawn on the canvas is one image record and comes back in place, scaled.
TEST(Metafile, ImagesAreRecordedAndReplayedScaled) {
  TBitmap pic;
  pic.SetSize(40, 20);
  pic.Canvas()->Brush()->SetColor(clBlue);
  pic.Canvas()->FillRect(Rect(0, 0, 40, 20));
  TMetafile m;
  m.SetWidth(400);
  m.SetHeight(200);
  {
    TMetafileCanvas mc(&m, nullptr);
    mc.StretchDraw(Rect(100, 50, 300, 150), &pic);
  }
  std::vector<TMetaRecordKind> kinds = m.RecordKinds();
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), mrImage), 1);
  TBitmap b;
  White(b, 200, 100);
  b.Canvas()->StretchDraw(Rect(0, 0, 200, 100), &m);
  TInk ink = DarkInk(b);
  EXPECT_EQ(ink.Box, Rect(50, 25, 150, 75));
  EXPECT_EQ(ink.Count, 100 * 50);
}

// Text written with explicit advances is recorded as one run that keeps them, also when its
// characters come from more than one font (a Cyrillic word in a Chinese face), and replays
// with the characters where the advances put them.
TEST(Metafile, TextWithAdvancesKeepsThem) {
  TMetafile m;
  m.SetWidth(400);
  m.SetHeight(100);
  const String text = "合同 AW Дом";
  std::vector<int> dx{30, 30, 12, 25, 25, 12, 20, 20, 20};
  {
    HDC reference = GetScreenDC();
    TMetafileCanvas mc(&m, reference);
    mc.Brush()->SetStyle(bsClear);
    mc.Font()->SetName("宋体");
    mc.Font()->SetHeight(-20);
    HDC dc = mc.Handle();
    ExtTextOut(dc, 10, 20, 0, nullptr, text, dx.data());
    ExtTextOut(dc, 10, 60, 0, nullptr, "plain", nullptr);
  }
  std::vector<TMetaTextRun> runs = Runs(m);
  ASSERT_GE(runs.size(), 2u);
  String joined;
  std::vector<int> advances;
  int x = 10;
  for (const TMetaTextRun& r : runs) {
    if (r.Text == "plain") continue;
    // Every piece starts where the advances before it end.
    EXPECT_EQ(r.Origin.X, x) << r.Text;
    EXPECT_EQ(r.Origin.Y, 20) << r.Text;
    joined += r.Text;
    advances.insert(advances.end(), r.Advances.begin(), r.Advances.end());
    for (int a : r.Advances) x += a;
  }
  EXPECT_EQ(joined, text);
  EXPECT_EQ(advances, dx);
  // Replayed, the last character's ink starts at its advance.
  TBitmap b;
  White(b, 400, 100);
  b.Canvas()->StretchDraw(Rect(0, 0, 400, 100), &m);
  int start = 10 + 30 + 30 + 12 + 25 + 25 + 12 + 20 + 20;
  TInk lastChar = DarkInk(b, Rect(start - 2, 15, 400, 50));
  ASSERT_GT(lastChar.Count, 5);
  EXPECT_NEAR(lastChar.Box.Left, start, 3);
  TInk gap = DarkInk(b, Rect(start - 9, 15, start - 2, 50));
  EXPECT_EQ(gap.Count, 0);
}
