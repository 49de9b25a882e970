// The base control's own scroll bars: what RefreshScrollBars makes of the states a
// descendant records, their layout, the system's scroll-bar size, and middle-button panning
// driven by input queued for its loop.
#include "BaseControlFixture.h"

#include "gui/SystemBroadcast.h"
#include "gui/WinUser.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QRegion>

#include <gtest/gtest.h>

using namespace basetest;
using namespace guitest;

namespace {

struct ControlBars : TBaseControlForm {
  struct TBars {
    bool hVisible, hEnabled, vVisible, vEnabled, grip;
    bool operator==(const TBars&) const = default;
  };
  // Enabled is read for a shown bar only.
  TBars Bars() const {
    const TcxScrollBar *h = Ctl->HScrollBar(), *v = Ctl->VScrollBar();
    return {h->Visible(), h->Visible() && h->Enabled(), v->Visible(), v->Visible() && v->Enabled(),
            Ctl->SizeGrip()->Visible()};
  }
};

void PrintTo(const ControlBars::TBars& b, std::ostream* os) {
  *os << "h " << b.hVisible << "/" << b.hEnabled << " v " << b.vVisible << "/" << b.vEnabled << " grip " << b.grip;
}

// Queues Qt input for a control's widget, as the window system would deliver it later; a
// loop waiting in GetMessage translates it.
void PostMouse(TControl* c, QEvent::Type type, TPoint client, Qt::MouseButton button, Qt::MouseButtons held) {
  TPoint s = c->ClientToScreen(client);
  QWidget* w = InputWidget(c);
  QPointF global(s.X, s.Y);
  auto* e = new QMouseEvent(type, w->mapFromGlobal(global), global, button, held, Qt::NoModifier);
  Clock() += 5;
  e->setTimestamp(Clock());
  QCoreApplication::postEvent(w, e);
}

void PostKey(TWinControl* c, int key) {
  QCoreApplication::postEvent(WidgetOf(c), new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
  QCoreApplication::postEvent(WidgetOf(c), new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

}  // namespace

TEST_F(ControlBars, RefreshTurnsTheRecordedStatesIntoBars) {
  using S = TTestControl;
  struct Case {
    const char* name;
    bool countsPixels;
    TScrollStyle shown;
    std::function<void(S*)> fill;
    TBars bars;
  };
  // A descendant that sizes its content as if both bars were there.
  auto bothAssumed = [](S* c) {
    c->SetScrollBarState(sbHorizontal, 0, 199, 1, 200 - 17, 0, true, true);
    c->SetScrollBarState(sbVertical, 0, 99, 1, 100 - 17, 0, true, true);
  };
  const Case cases[] = {
      {"nothing needed", false, ssBoth, nullptr, {false, false, false, false, false}},
      {"vertical", false, ssBoth, [](S* c) { c->SetScrollBarState(sbVertical, 0, 100, 1, 10, 5, true, true); },
       {false, false, true, true, false}},
      {"both", false, ssBoth,
       [](S* c) {
         c->SetScrollBarState(sbHorizontal, 0, 500, 1, 100, 0, true, true);
         c->SetScrollBarState(sbVertical, 0, 100, 1, 10, 5, true, true);
       },
       {true, true, true, true, true}},
      {"exact fit once the bars are gone, counting pixels", true, ssBoth, bothAssumed,
       {false, false, false, false, false}},
      {"exact fit, counting lines", false, ssBoth, bothAssumed, {true, true, true, true, true}},
      {"page covers the range, may not hide", false, ssBoth,
       [](S* c) { c->SetScrollBarState(sbVertical, 0, 9, 1, 10, 0, true, false); }, {false, false, true, false, false}},
      {"page covers the range, may hide", false, ssBoth,
       [](S* c) { c->SetScrollBarState(sbVertical, 0, 9, 1, 10, 0, true, true); }, {false, false, false, false, false}},
      {"vertical not shown by the control", false, ssHorizontal,
       [](S* c) { c->SetScrollBarState(sbVertical, 0, 100, 1, 10, 5, true, true); }, {false, false, false, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ctl->FillStates = nullptr;
    Ctl->SetShownScrollBars(ssBoth);
    Ctl->RefreshScrollBars();
    Ctl->CountsPixels = c.countsPixels;
    Ctl->SetShownScrollBars(c.shown);
    Ctl->FillStates = c.fill;
    Ctl->RefreshScrollBars();
    EXPECT_EQ(Bars(), c.bars);
  }
}

TEST_F(ControlBars, BarsThatDependOnEachOtherStayOnScreenInsteadOfFlickering) {
  // Each bar is needed only while the other is hidden, judged from the bars on the screen.
  int fills = 0;
  Ctl->FillStates = [&](TTestControl* c) {
    ++fills;
    const bool h = c->HScrollBar()->Visible(), v = c->VScrollBar()->Visible();
    c->SetScrollBarState(sbVertical, 0, 100, 1, 10, 0, !h, true);
    c->SetScrollBarState(sbHorizontal, 0, 100, 1, 10, 0, !v, true);
  };
  Ctl->RefreshScrollBars();
  EXPECT_LT(fills, 20);
  EXPECT_TRUE(Ctl->HScrollBar()->Visible());
  EXPECT_TRUE(Ctl->VScrollBar()->Visible());
  EXPECT_FALSE(Ctl->HScrollBar()->Enabled()) << "the bar that kept changing is inert";
  EXPECT_FALSE(Ctl->VScrollBar()->Enabled());
}

TEST_F(ControlBars, BarsAndGripAreLaidOutAroundTheContent) {
  Ctl->LookAndFeel()->SetKind(lfFlat);
  Ctl->SetFrameStyle(cfsPainter);  // a 1-pixel border
  Ctl->FillStates = [](TTestControl* c) {
    c->SetScrollBarState(sbHorizontal, 0, 500, 1, 100, 40, true, true);
    c->SetScrollBarState(sbVertical, 0, 100, 1, 10, 5, true, true);
  };
  Ctl->RefreshScrollBars();
  EXPECT_EQ(Ctl->ContentBounds(), Rect(1, 1, 182, 82));
  EXPECT_EQ(Ctl->HScrollBar()->BoundsRect(), Rect(1, 82, 182, 99));
  EXPECT_EQ(Ctl->VScrollBar()->BoundsRect(), Rect(182, 1, 199, 82));
  EXPECT_EQ(Ctl->SizeGrip()->BoundsRect(), Rect(182, 82, 199, 99));
  EXPECT_EQ(Ctl->HScrollBar()->Position(), 40);
  EXPECT_EQ(Ctl->HScrollBar()->LargeChange(), 100);

  // A click on a bar focuses the control and scrolls its content.
  Other->SetFocus();
  Click(Ctl->HScrollBar(), {175, 8});
  EXPECT_TRUE(Ctl->Focused());
  EXPECT_EQ(Ctl->ScrollCount(sbHorizontal, scLineDown), 1);

  // Growing the control lays them out again.
  Ctl->SetBounds(10, 10, 250, 120);
  EXPECT_EQ(Ctl->HScrollBar()->BoundsRect(), Rect(1, 102, 232, 119));
}

TEST_F(ControlBars, ANewSystemScrollBarSizeResizesTheBarsOfEveryControl) {
  auto* second = Add<TTestControl>(Rect(220, 10, 340, 110));
  for (TTestControl* c : {Ctl, second}) {
    c->FillStates = [](TTestControl* t) {
      t->SetScrollBarState(sbHorizontal, 0, 500, 1, 100, 0, true, true);
      t->SetScrollBarState(sbVertical, 0, 100, 1, 10, 5, true, true);
    };
    c->RefreshScrollBars();
    ASSERT_EQ(c->HScrollBar()->Height(), 17);
  }
  SetScrollBarMetricsForTest(20);
  SendSystemBroadcast(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  for (TTestControl* c : {Ctl, second}) {
    EXPECT_EQ(c->HScrollBar()->Height(), 20);
    EXPECT_EQ(c->VScrollBar()->Width(), 20);
    EXPECT_EQ(c->HScrollBar()->BoundsRect().Top, c->Height() - 20);
  }
  SetScrollBarMetricsForTest(0);
  SendSystemBroadcast(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_EQ(Ctl->HScrollBar()->Height(), 17);
  EXPECT_EQ(SettingsController()->ControlCount() >= 2, true);
  delete second;
}

// ---------------------------------------------------------------- panning

struct Panning : TBaseControlForm {
  std::vector<std::string> Downs;
  std::function<void()> OnFirstMove;  // runs inside the loop at the first queued move
  void SetUp() override {
    TBaseControlForm::SetUp();
    Ctl->FillStates = [](TTestControl* c) {
      c->SetScrollBarState(sbHorizontal, 0, 500, 1, 100, 0, true, true);
      c->SetScrollBarState(sbVertical, 0, 100, 1, 10, 5, true, true);
    };
    Ctl->RefreshScrollBars();
    Ctl->OnMouseDown = TMouseEvent::Lambda([this](TObject*, TMouseButton b, TShiftState, int, int) {
      Downs.push_back(b == mbLeft ? "left" : b == mbRight ? "right" : "middle");
    });
    Ctl->OnMouseMove = TMouseMoveEvent::Lambda([this](TObject*, TShiftState, int, int) {
      if (!Ctl->IsPanning() || !OnFirstMove) return;
      auto f = std::move(OnFirstMove);
      OnFirstMove = nullptr;
      f();
    });
  }
};

TEST_F(Panning, MovingDownScrollsOneLineEveryElevenTicksAtSpeedTwo) {
  // Speed (20 - 29 div 2) div 5 + 1 = 2: a line at every (13 - 2)th tick.
  for (const auto [ticks, lines] : {std::pair{10, 0}, std::pair{11, 1}, std::pair{21, 1}, std::pair{22, 2}}) {
    SCOPED_TRACE(std::to_string(ticks) + " ticks");
    Ctl->Scrolls.clear();
    bool anchorRound = false, anchorTopmost = false;
    UINT_PTR timer = 0;
    OnFirstMove = [&] {
      // The real timer is stopped; the test ticks it by hand.
      timer = TcxControl::PanningTimerId();
      KillTimer(0, timer);
      TWinControl* anchor = TcxControl::PanningAnchor();
      ASSERT_NE(anchor, nullptr);
      anchorTopmost = (anchor->WindowExStyle() & WS_EX_TOPMOST) != 0;
      QRegion mask = WidgetOf(anchor)->mask();
      anchorRound = mask.contains(QPoint(14, 14)) && !mask.contains(QPoint(0, 0)) && !mask.contains(QPoint(28, 28));
      for (int i = 0; i < ticks; ++i) PostMessage(0, WM_TIMER, timer, 0);
      // Ticks wait behind other messages: Esc comes from the keyboard once they are taken.
      PostKey(Ctl, Qt::Key_Escape);
    };
    PostMouse(Ctl, QEvent::MouseMove, {100, 70}, Qt::NoButton, Qt::MiddleButton);  // 20 px down
    Press(Ctl, {100, 50}, Qt::MiddleButton, 1000);  // never a double click
    Release(Ctl, {100, 70}, Qt::MiddleButton);
    EXPECT_FALSE(Ctl->IsPanning()) << "Esc ended the loop";
    EXPECT_NE(timer, 0u);
    EXPECT_TRUE(anchorRound) << "the anchor window is cut to an ellipse";
    EXPECT_TRUE(anchorTopmost);
    EXPECT_EQ(Ctl->Scrolls, (std::vector<std::pair<TScrollBarKind, TScrollCode>>(lines, {sbVertical, scLineDown})));
    EXPECT_EQ(GetCursor(), Screen->Cursors(crcxDownScroll));
    EXPECT_EQ(TcxControl::PanningAnchor(), nullptr);
    EXPECT_EQ(GetCapture(), 0u);
  }
  EXPECT_EQ(Downs, std::vector<std::string>(4, "middle"));
}

TEST_F(Panning, AMiddleClickKeepsPanningUntilAnotherButtonWhichIsNotDispatched) {
  PostMouse(Ctl, QEvent::MouseButtonRelease, {100, 50}, Qt::MiddleButton, Qt::NoButton);
  PostMouse(Ctl, QEvent::MouseButtonPress, {100, 50}, Qt::RightButton, Qt::RightButton);
  Press(Ctl, {100, 50}, Qt::MiddleButton);
  Application->ProcessMessages();
  EXPECT_FALSE(Ctl->IsPanning());
  EXPECT_EQ(Downs, std::vector<std::string>{"middle"}) << "the right press ended panning without acting";
  EXPECT_TRUE(Ctl->Scrolls.empty());
}

TEST_F(Panning, EscEndsPanningAndAControlWithoutBarsDoesNotPan) {
  PostKey(Ctl, Qt::Key_Escape);
  Press(Ctl, {100, 50}, Qt::MiddleButton);
  EXPECT_FALSE(Ctl->IsPanning());
  EXPECT_EQ(GetCapture(), 0u);
  Release(Ctl, {100, 50}, Qt::MiddleButton);

  Ctl->FillStates = nullptr;
  Ctl->RefreshScrollBars();
  bool panned = false;
  Ctl->OnMouseMove = TMouseMoveEvent::Lambda([&](TObject*, TShiftState, int, int) { panned |= Ctl->IsPanning(); });
  PostMouse(Ctl, QEvent::MouseMove, {100, 90}, Qt::NoButton, Qt::MiddleButton);
  Press(Ctl, {100, 50}, Qt::MiddleButton);
  Application->ProcessMessages();
  EXPECT_FALSE(panned);
}
