// ScrollWindow moves the client pixels and has only the uncovered strip painted again.
#include "StdTestUtil.h"

#include <functional>

#include <QtGui/QPaintEvent>

using namespace stdtest;

namespace {

// Paints a column of its own colour per x (red = x), green = how many paints so far, and
// records the clip each paint had.
class TStripes : public TCustomControl {
public:
  explicit TStripes(TComponent* AOwner) : TCustomControl(AOwner) {}
  int Paints = 0;
  std::vector<TRect> Clips;

protected:
  void Paint() override {
    ++Paints;
    Clips.push_back(Canvas()->ClipRect());
    for (int x = 0; x < ClientWidth(); ++x) {
      Canvas()->Brush()->SetColor(TColor(RGB(x % 256, Paints * 40, 0)));
      Canvas()->FillRect(Rect(x, 0, x + 1, ClientHeight()));
    }
  }
};

struct ScrollWindowTest : FormFixture {
  TStripes* S = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    S = Add<TStripes>(Bounds(10, 10, 200, 60));
    Application->ProcessMessages();
    S->Update();
  }
  COLORREF At(int X, int Y) {
    QColor c = Pixel(S, X, Y);
    return RGB(c.red(), c.green(), c.blue());
  }
};

TEST_F(ScrollWindowTest, PixelsMoveAndOnlyTheUncoveredStripIsPainted) {
  ASSERT_EQ(S->Paints, 1);
  struct Case {
    int DX, DY;
    TRect Strip;
  };
  const Case cases[] = {{-30, 0, Rect(170, 0, 200, 60)}, {25, 0, Rect(0, 0, 25, 60)}, {0, -20, Rect(0, 40, 200, 60)}};
  for (const Case& c : cases) {
    std::vector<COLORREF> before;
    for (int x = 0; x < 200; ++x) before.push_back(At(x, 30));
    int paints = S->Paints;
    ASSERT_TRUE(ScrollWindow(S->Handle(), c.DX, c.DY, nullptr, nullptr));
    S->Update();
    ASSERT_EQ(S->Paints, paints + 1) << c.DX << "," << c.DY;
    EXPECT_EQ(S->Clips.back(), c.Strip) << "only the uncovered strip";
    for (int x = 0; x < 200; ++x) {
      int from = x - c.DX;
      bool moved = x >= c.Strip.Right || x < c.Strip.Left || c.DY != 0;
      if (moved && from >= 0 && from < 200) {
        EXPECT_EQ(At(x, c.DY ? 10 : 30), before[from]) << "pixel " << x << " came from " << from;
      }
    }
  }
}

TEST_F(ScrollWindowTest, AScrollWithinARectangleLeavesTheRestAlone) {
  ASSERT_TRUE(ScrollWindow(S->Handle(), -10, 0, nullptr, nullptr));  // pending strip 190..200
  TRect area = Rect(0, 0, 100, 60);
  ASSERT_TRUE(ScrollWindow(S->Handle(), -10, 0, &area, &area));
  S->Update();
  EXPECT_EQ(S->Clips.back(), Rect(90, 0, 200, 60)) << "the earlier strip, outside the rectangle, with the new one";
  EXPECT_EQ(GetRValue(At(50, 5)), 70) << "x 50 shows what x 70 showed before the two moves";
}

TEST_F(ScrollWindowTest, AWholeInvalidationStillPaintsEverything) {
  S->Invalidate();
  ASSERT_TRUE(ScrollWindow(S->Handle(), -30, 0, nullptr, nullptr));
  S->Update();
  EXPECT_EQ(S->Clips.back(), Rect(0, 0, 200, 60));
}

TEST_F(ScrollWindowTest, InvalidatedRectanglesArePaintedTogetherAndValidatedOnesNot) {
  struct Case {
    const char* Name;
    std::function<void()> Change;
    int Paints;  // paints that follow
    TRect Clip;
  };
  TRect a = Rect(10, 5, 30, 15), b = Rect(50, 20, 60, 40), top = Rect(0, 0, 200, 20);
  const Case cases[] = {
      {"two rectangles", [&] { InvalidateRect(S->Handle(), &a, true); InvalidateRect(S->Handle(), &b, true); }, 1,
       Rect(10, 5, 60, 40)},
      {"beyond the client", [&] { TRect out = Rect(190, 50, 400, 90); S->InvalidateRect(&out); }, 1,
       Rect(190, 50, 200, 60)},
      {"validated again", [&] { S->InvalidateRect(&a); ValidateRect(S->Handle(), &a); }, 0, TRect{}},
      {"a band off the whole", [&] { S->Invalidate(); ValidateRect(S->Handle(), &top); }, 1, Rect(0, 20, 200, 60)},
      {"everything validated", [&] { S->Invalidate(); ValidateRect(S->Handle(), nullptr); }, 0, TRect{}},
  };
  for (const Case& c : cases) {
    int paints = S->Paints;
    c.Change();
    S->Update();
    EXPECT_EQ(S->Paints, paints + c.Paints) << c.Name;
    if (c.Paints > 0) {
      EXPECT_EQ(S->Clips.back(), c.Clip) << c.Name;
    }
  }
}

// Records the parts of the widget Qt copies to the screen.
class TScreenCopies : public QObject {
public:
  std::vector<QRegion> Regions;

protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) Regions.push_back(static_cast<QPaintEvent*>(e)->region());
    return false;
  }
};

// Update puts on the screen what changed since the last copy, at once, and nothing else: a
// grid moving its current row copies two rows, not the window.
TEST_F(ScrollWindowTest, UpdateCopiesToTheScreenWhatChangedAndNothingElse) {
  TScreenCopies copies;
  QWidget* w = guitest::WidgetOf(S);
  w->installEventFilter(&copies);
  TRect a = Rect(10, 5, 30, 15), b = Rect(50, 20, 60, 40), area = Rect(0, 0, 100, 60);
  struct Case {
    const char* Name;
    std::function<void()> Change;
    QRegion Copied;  // empty: no copy
  };
  const Case cases[] = {
      {"nothing changed", [] {}, QRegion()},
      {"one rectangle", [&] { S->InvalidateRect(&a); }, QRegion(10, 5, 20, 10)},
      // Painted together as their bounding rectangle, which is what changed on the buffer.
      {"two rectangles", [&] { S->InvalidateRect(&a); S->InvalidateRect(&b); }, QRegion(10, 5, 50, 35)},
      {"pixels moved within a rectangle", [&] { ScrollWindow(S->Handle(), -10, 0, &area, &area); }, QRegion(0, 0, 100, 60)},
      {"the whole window", [&] { S->Invalidate(); }, QRegion(0, 0, 200, 60)},
  };
  for (const Case& c : cases) {
    copies.Regions.clear();
    c.Change();
    S->Update();
    QRegion copied;
    for (const QRegion& r : copies.Regions) copied += r;
    EXPECT_EQ(copied, c.Copied) << c.Name;
  }
  w->removeEventFilter(&copies);
}

// An area invalidated again and again before its copy is painted and copied once; invalidated
// again after its copy (by Update or by the event loop) it is painted and copied again.
TEST_F(ScrollWindowTest, AnAreaInvalidatedAgainAfterItsCopyIsCopiedAgain) {
  TScreenCopies copies;
  QWidget* w = guitest::WidgetOf(S);
  w->installEventFilter(&copies);
  TRect a = Rect(10, 5, 30, 15), inside = Rect(12, 6, 20, 10);
  struct Case {
    const char* Name;
    std::function<void()> Copy;
  };
  const Case cases[] = {{"Update", [&] { S->Update(); }}, {"the event loop", [] { Application->ProcessMessages(); }}};
  for (const Case& c : cases) {
    for (int round = 0; round < 2; ++round) {
      copies.Regions.clear();
      int paints = S->Paints;
      S->InvalidateRect(&a);
      S->InvalidateRect(&a);
      S->InvalidateRect(&inside);
      c.Copy();
      EXPECT_EQ(S->Paints, paints + 1) << c.Name << " round " << round;
      ASSERT_EQ(copies.Regions.size(), 1u) << c.Name << " round " << round;
      EXPECT_EQ(copies.Regions[0], QRegion(10, 5, 20, 10)) << c.Name << " round " << round;
    }
  }
  w->removeEventFilter(&copies);
}

}  // namespace

namespace {

TEST(ExitProcs, RunOnceLastAddedFirst) {
  std::vector<int> order;
  AddExitProc([&] { order.push_back(1); });
  AddExitProc([&] {
    order.push_back(2);
    AddExitProc([&] { order.push_back(3); });  // added while ending: still run
  });
  RunExitProcs();
  EXPECT_EQ(order, (std::vector<int>{2, 3, 1}));
  RunExitProcs();
  EXPECT_EQ(order.size(), 3u) << "each runs once";
}

}  // namespace
