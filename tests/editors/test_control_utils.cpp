// The control utilities: the shared-window timer, mouse-leave tracking, the popup window's
// sizing, frame and activation, the text and key helpers, and the published defaults of the
// components layouts create.
#include "BaseControlFixture.h"

#include "core/FormatSettings.h"
#include "editors/cxTimer.h"
#include "gui/Forms.h"

#include <gtest/gtest.h>

using namespace basetest;
using namespace guitest;

namespace {

UINT IntervalOf(TcxTimer* T) { return TimerInterval(TcxTimer::TimerWindowHandle(), T->TimerId()); }
void Tick(TcxTimer* T) { SendMessage(TcxTimer::TimerWindowHandle(), WM_TIMER, T->TimerId(), 0); }

}  // namespace

TEST(CxTimer, TicksThroughTheSharedWindowEachFiringOnlyItsOwnHandler) {
  TcxTimer a(nullptr), b(nullptr), silent(nullptr);
  int firedA = 0, firedB = 0;
  a.SetInterval(0);
  EXPECT_EQ(a.Interval(), 1000u) << "0 is ignored";
  a.SetInterval(100);
  b.SetInterval(100);
  a.SetOnTimer(TNotifyEvent::Lambda([&](TObject* s) { firedA += s == &a; }));
  b.SetOnTimer(TNotifyEvent::Lambda([&](TObject* s) { firedB += s == &b; }));
  EXPECT_EQ(IntervalOf(&a), 100u);
  EXPECT_EQ(IntervalOf(&b), 100u);
  EXPECT_FALSE(silent.IsTicking()) << "no OnTimer, no ticking";
  EXPECT_EQ(IntervalOf(&silent), 0u);
  Tick(&a);
  Tick(&a);
  Tick(&b);
  EXPECT_EQ(firedA, 2);
  EXPECT_EQ(firedB, 1);

  // A tick of a stopped timer, or of an id no timer has, is dropped.
  a.SetEnabled(false);
  EXPECT_EQ(IntervalOf(&a), 0u);
  Tick(&a);
  SendMessage(TcxTimer::TimerWindowHandle(), WM_TIMER, 12345, 0);
  EXPECT_EQ(firedA, 2);
  a.SetEnabled(true);
  a.SetInterval(250);
  EXPECT_EQ(IntervalOf(&a), 250u);

  // Real ticks: both fire on their own.
  EXPECT_TRUE(WaitFor([&] { return firedA >= 3 && firedB >= 2; }));
}

TEST(CxTimer, IsRegisteredForLayoutsWithTheScrollBar) {
  for (const char* name : {"TcxTimer", "TcxScrollBar"}) {
    TClass c = FindClass(name);
    ASSERT_NE(c, nullptr) << name;
    EXPECT_EQ(c->Name(), name);
  }
}

TEST(ControlHelpers, TextAndKeyHelpers) {
  struct Strip {
    const char* in;
    const char* out;
  };
  for (const Strip& s : {Strip{"&File", "File"}, Strip{"a&&b", "a&b"}, Strip{"ab&", "ab_"}, Strip{"&&&x", "&x"},
                         Strip{"", ""}, Strip{"plain", "plain"}, Strip{"文&件", "文件"}})
    EXPECT_EQ(StripAccelChars(s.in), s.out) << s.in;

  struct Numeric {
    Char c;
    int kind;
    bool numeric;
  };
  const Numeric cases[] = {{U'e', 2, true}, {U'E', 2, true}, {U'e', 1, false}, {U'.', 1, true}, {U'.', 0, false},
                           {U'.', 2, true}, {U'-', 0, true}, {U'+', 5, true},  {U'7', 3, true}, {U'x', 2, false},
                           {U'e', 0, false}};
  for (const Numeric& n : cases)
    EXPECT_EQ(IsNumericChar(n.c, n.kind), n.numeric) << char(n.c) << " kind " << n.kind;
  EXPECT_TRUE(IsTextChar(U' '));
  EXPECT_FALSE(IsTextChar(U'\t'));
  EXPECT_EQ(DoubleClickTime(), 500u);
  EXPECT_TRUE(WithinDragThreshold({10, 10}, 14, 6));
  EXPECT_FALSE(WithinDragThreshold({10, 10}, 15, 10));
}

// ---------------------------------------------------------------- mouse-leave tracking

namespace {

struct TCaller : IcxMouseTrackingCaller {
  int Left = 0;
  void MouseTrackingLeft() override { ++Left; }
};

struct TAreaCaller : TCaller, IcxMouseTrackingArea {
  TRect Area;
  bool PtInCaller(TPoint P) override { return PtInRect(Area, P); }
};

struct Tracking : TBaseControlForm {
  int Leaves = 0;
  void SetUp() override {
    TBaseControlForm::SetUp();
    TWndMethod old = Ctl->WindowProc;
    Ctl->WindowProc = [this, old](TMessage& M) {
      if (M.Msg == CM_MOUSELEAVE && M.LParam == reinterpret_cast<LPARAM>(Ctl)) ++Leaves;
      old(M);
    };
  }
  void TickTracker(IcxMouseTrackingCaller* C) {
    TMouseTrackingTimer* t = TrackerOf(C);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(TimerInterval(TcxTimer::TimerWindowHandle(), t->TimerId()), 10u);
    SendMessage(TcxTimer::TimerWindowHandle(), WM_TIMER, t->TimerId(), 0);
  }
};

}  // namespace

TEST_F(Tracking, LeavingTheTrackedAreaTellsTheControlAndTheCallerOnce) {
  TCaller caller;
  Mouse->SetCursorPos(Ctl->ClientToScreen({50, 50}));
  StartTrackingMouseLeave(Ctl, Rect(0, 0, 100, 100), &caller);
  StartTrackingMouseLeave(Ctl, Rect(0, 0, 10, 10), &caller);  // one tracker per caller
  EXPECT_EQ(MouseTrackingTimerCount(), 1);
  TickTracker(&caller);
  EXPECT_EQ(caller.Left, 0) << "still inside";
  Mouse->SetCursorPos(Ctl->ClientToScreen({150, 50}));  // out of the area, still over the control
  TickTracker(&caller);
  EXPECT_EQ(caller.Left, 1);
  EXPECT_EQ(Leaves, 0) << "the control is told only once the mouse has left it too";
  EXPECT_FALSE(IsTrackingMouseLeave(&caller)) << "the tracker is freed";

  StartTrackingMouseLeave(Ctl, Rect(0, 0, 100, 100), &caller);
  Mouse->SetCursorPos(Ctl->ClientToScreen({250, 50}));  // off the control
  TickTracker(&caller);
  EXPECT_EQ(caller.Left, 2);
  EXPECT_EQ(Leaves, 1);
  EXPECT_EQ(MouseTrackingTimerCount(), 0);
}

TEST_F(Tracking, ACallerWithItsOwnAreaDecidesAndStopIsQuiet) {
  TAreaCaller caller;
  caller.Area = Rect(0, 0, 20, 20);
  Mouse->SetCursorPos(Ctl->ClientToScreen({10, 10}));
  StartTrackingMouseLeave(Ctl, Rect(0, 0, 200, 100), &caller);
  TickTracker(&caller);
  EXPECT_EQ(caller.Left, 0);
  Mouse->SetCursorPos(Ctl->ClientToScreen({30, 30}));  // inside the bounds, outside its area
  TickTracker(&caller);
  EXPECT_EQ(caller.Left, 1);

  // Lives as long as the program: its tracker is left running on purpose below.
  static TCaller quiet;
  StartTrackingMouseLeave(nullptr, Rect(0, 0, 5, 5), &quiet);
  EXPECT_TRUE(IsTrackingMouseLeave(&quiet));
  StopTrackingMouseLeave(&quiet);
  EXPECT_FALSE(IsTrackingMouseLeave(&quiet));
  EXPECT_EQ(quiet.Left, 0);
  // Left running: freed with the program instead of failing its end.
  StartTrackingMouseLeave(nullptr, Rect(0, 0, 5, 5), &quiet);
  EXPECT_EQ(MouseTrackingTimerCount(), 1);
}

TEST_F(Tracking, AControlFreedWhileTrackedEndsItsTrackerWithoutBeingTouched) {
  TCaller caller;
  auto* doomed = Add<TEdit>(Rect(300, 10, 400, 31));
  Mouse->SetCursorPos(doomed->ClientToScreen({5, 5}));
  StartTrackingMouseLeave(doomed, Rect(0, 0, 100, 21), &caller);
  delete doomed;
  TickTracker(&caller);  // would read the freed control
  EXPECT_EQ(caller.Left, 1);
  EXPECT_FALSE(IsTrackingMouseLeave(&caller));
}

// ---------------------------------------------------------------- popup window

namespace {
struct Popup : stdtest::FormFixture {};
}  // namespace

TEST_F(Popup, OpensBesideItsAnchorSizedToItsChildrenWithItsFrame) {
  auto* popup = new TcxPopupWindow;
  auto* child = new TTestControl(popup);
  child->SetParent(popup);
  child->SetBounds(0, 0, 50, 20);
  popup->FrameKind = pfkRaised;
  popup->FrameGap = 1;
  popup->AnchorParent = Form;
  popup->AnchorBounds = Rect(10, 10, 110, 31);
  Form->Font()->SetSize(14);
  popup->OpenPopup();
  EXPECT_TRUE(popup->Visible());
  EXPECT_EQ(popup->Width(), 3 + 50 + 3);
  EXPECT_EQ(popup->Height(), 3 + 20 + 3);
  EXPECT_EQ(child->Left(), 3);
  EXPECT_EQ(popup->BoundsRect().TopLeft(), Form->ClientToScreen({10, 31})) << "below, from the anchor's left";
  EXPECT_EQ(popup->Font()->Size(), 14) << "the anchor's font";
  EXPECT_EQ(popup->BorderStyle(), bsNone);
  EXPECT_EQ(popup->FormStyle(), fsStayOnTop);

  // The frame: a raised outer and inner ring.
  popup->Repaint();
  Application->ProcessMessages();
  QImage img = WidgetOf(popup)->grab().toImage();
  EXPECT_EQ(Rgb(QColor(img.pixel(0, 10))), 0xD4D0C8u) << "the outer ring's light";
  EXPECT_EQ(Rgb(QColor(img.pixel(1, 10))), 0xFFFFFFu) << "the inner ring's highlight";
  EXPECT_EQ(Rgb(QColor(img.pixel(54, 10))), 0x808080u) << "the inner ring's shadow";
  EXPECT_EQ(Rgb(QColor(img.pixel(55, 10))), 0x404040u) << "the outer ring's dark shadow";

  popup->DismissPopup();
  EXPECT_FALSE(popup->Visible());

  // The application losing the activation closes it.
  popup->OpenPopup();
  ASSERT_TRUE(popup->Visible());
  gui_glue::TAccess::SetApplicationActive(false);
  EXPECT_FALSE(popup->Visible());
  gui_glue::TAccess::SetApplicationActive(true);
  delete popup;
}

TEST_F(Popup, ActivationKeepsTheCaptionOfTheWindowItCameFrom) {
  auto* popup = new TcxPopupWindow;
  popup->SetBounds(0, 0, 40, 40);
  std::vector<std::pair<WPARAM, LPARAM>> ncActivates;
  TWndMethod old = Form->WindowProc;
  Form->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_NCACTIVATE) ncActivates.push_back({M.WParam, M.LParam});
    old(M);
  };
  popup->Perform(WM_ACTIVATE, WA_ACTIVE, static_cast<LPARAM>(Form->Handle()));
  EXPECT_EQ(popup->ActivatedFrom, Form->Handle());
  popup->Show();
  popup->Perform(WM_ACTIVATEAPP, 0, 0);
  // The last one is the platform activating the form again once the popup hid.
  EXPECT_EQ(ncActivates, (std::vector<std::pair<WPARAM, LPARAM>>{{1, 0}, {0, 0}, {1, 0}}));
  EXPECT_FALSE(popup->Visible());
  Form->WindowProc = old;
  delete popup;
}

// ---------------------------------------------------------------- published defaults

TEST(EditorComponents, DeclaredDefaultsAreWhatANewComponentHolds) {
  auto* form = new TForm(Application);
  int checked = 0;
  for (TClass c : {TcxScrollBar::StaticClass(), TcxTimer::StaticClass()}) {
    TObject* o = c->Create(form);
    for (const TPropInfo* p : c->Properties()) {
      if (!p->Writable()) continue;
      if (p->IsOrdinal() && p->HasDefault) {
        ++checked;
        EXPECT_EQ(p->Access->GetOrd(o), p->OrdDefault) << c->Name() << "." << p->Name;
      }
    }
    delete o;
  }
  EXPECT_GT(checked, 10);
  delete form;
}
