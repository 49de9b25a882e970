// The owner-drawn scroll bar on a shown form: geometry, the value rules, auto-repeat and
// thumb tracking with real mouse input, and its pixels compared with what the painter draws.
#include "BaseControlFixture.h"

#include "editors/cxCanvas.h"
#include "editors/cxLookAndFeelPainters.h"
#include "editors/cxTimer.h"

#include <gtest/gtest.h>

using namespace basetest;
using namespace guitest;

namespace {

// Counts its paints.
class TCountingBar : public TcxScrollBar {
public:
  using TcxScrollBar::TcxScrollBar;
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    TcxScrollBar::Paint();
  }
};

struct ScrollBar : stdtest::FormFixture {
  TCountingBar* Bar = nullptr;
  std::vector<std::string> Events;  // "scroll <code> <pos>", "change <pos>"
  void SetUp() override {
    FormFixture::SetUp();
    Bar = Add<TCountingBar>(Rect(10, 10, 131, 27));
    Bar->LookAndFeel()->SetKind(lfStandard);
    Bar->SetOnScroll(TScrollEvent::Lambda([this](TObject*, TScrollCode c, int& p) {
      Events.push_back("scroll " + std::to_string(int(c)) + " " + std::to_string(p));
    }));
    Bar->SetOnChange(TNotifyEvent::Lambda([this](TObject*) { Events.push_back("change " + std::to_string(Bar->Position())); }));
    Application->ProcessMessages();
  }
  UINT RepeatInterval() { return TimerInterval(TcxTimer::TimerWindowHandle(), Bar->RepeatTimer()->TimerId()); }
  void Tick() { SendMessage(TcxTimer::TimerWindowHandle(), WM_TIMER, Bar->RepeatTimer()->TimerId(), 0); }
  // What the painter draws for one area in one state, compared with the bar's pixels there.
  bool AreaLooks(const TRect& R, TcxScrollBarArea Area, TcxPainterButtonState State) {
    TBitmap expected;
    expected.SetSize(Bar->Width(), Bar->Height());
    TcxCanvas c(expected.Canvas());
    Bar->CurrentPainter()->PaintScrollBarArea(&c, Bar->Kind() == sbHorizontal, R, Area, State);
    QImage shown = Grab();
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) {
        TPoint p = Bar->ClientToParent({x, y}, Form);
        if ((shown.pixel(p.X, p.Y) & 0xFFFFFF) != (Hex(expected.Canvas()->Pixels(x, y)))) return false;
      }
    return true;
  }
  static unsigned Hex(TColor c) {
    COLORREF v = ColorToRGB(c);
    return (GetRValue(v) << 16) | (GetGValue(v) << 8) | GetBValue(v);
  }
};

}  // namespace

TEST_F(ScrollBar, TheThumbIsPlacedOnTheTrackAndKindSwapsTheSides) {
  ASSERT_EQ(Bar->Width(), 121);
  ASSERT_EQ(Bar->Height(), 17);
  Bar->SetPosition(50);
  EXPECT_EQ(Bar->StartArrowRect(), Rect(0, 0, 17, 17));
  EXPECT_EQ(Bar->EndArrowRect(), Rect(104, 0, 121, 17));
  EXPECT_EQ(Bar->ThumbRect(), Rect(52, 0, 69, 17)) << "17 wide, centred on the 87-pixel track";
  EXPECT_EQ(Bar->StartPageRect(), Rect(17, 0, 52, 17));
  EXPECT_EQ(Bar->EndPageRect(), Rect(69, 0, 104, 17));
  EXPECT_EQ(Bar->ThumbPosition(), 50);

  // A page size gives the thumb its share of the track.
  Bar->AssignScrollValues(0, 99, 0, 50, true);
  EXPECT_EQ(Bar->ThumbRect(), Rect(17, 0, 61, 17)) << "half of the track less rounding";

  Bar->AssignScrollValues(0, 100, 50, 0, true);
  Bar->SetKind(sbVertical);
  EXPECT_EQ(Bar->Width(), 17);
  EXPECT_EQ(Bar->Height(), 121);
  EXPECT_EQ(Bar->ThumbRect(), Rect(0, 52, 17, 69));

  Bar->SetEnabled(false);
  EXPECT_TRUE(IsRectEmpty(Bar->ThumbRect())) << "a disabled bar has no thumb";
  EXPECT_EQ(Bar->AreaAt({8, 60}), sbaNone);
  EXPECT_EQ(Bar->AreaAt({8, 5}), sbaStartArrow);
}

TEST_F(ScrollBar, ValuesOutOfRangeAreRefusedAndKept) {
  struct Case {
    int min, max, pos, page;
    bool accepted;
  };
  const Case cases[] = {
      {-10, 10, 0, 5, true},  {5, 10, 6, 6, true},    {5, 10, 6, 7, false}, {10, 5, 6, 0, false},
      {0, 9, 3, 10, true},    {0, 9, 3, -1, false},   {0, 0, 0, 1, true},   {-5, -1, -9, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.min) + ".." + std::to_string(c.max) + " page " + std::to_string(c.page));
    Bar->AssignScrollValues(0, 100, 40, 0, true);
    if (c.accepted) {
      Bar->AssignScrollValues(c.min, c.max, c.pos, c.page, true);
      EXPECT_EQ(Bar->Min(), c.min);
      EXPECT_EQ(Bar->Max(), c.max);
      EXPECT_EQ(Bar->PageSize(), c.page);
      EXPECT_EQ(Bar->Position(), std::clamp(c.pos, c.min, c.max));
    } else {
      try {
        Bar->AssignScrollValues(c.min, c.max, c.pos, c.page, true);
        ADD_FAILURE() << "accepted";
      } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Scrollbar property out of range");
      }
      EXPECT_EQ(Bar->Min(), 0);
      EXPECT_EQ(Bar->Max(), 100);
      EXPECT_EQ(Bar->Position(), 40);
      EXPECT_EQ(Bar->PageSize(), 0);
    }
  }
  // A page as large as the range fills the track; its thumb stands for the start.
  Bar->AssignScrollValues(0, 9, 5, 10, true);
  EXPECT_EQ(Bar->ThumbRect(), Rect(17, 0, 104, 17));
  EXPECT_EQ(Bar->ThumbPosition(), 0);
  Bar->Repaint();
  Press(Bar, {60, 8});
  Move(Bar, {80, 8}, Qt::LeftButton);
  Release(Bar, {80, 8});
  EXPECT_EQ(Bar->Position(), 0);
}

TEST_F(ScrollBar, AHeldArrowRepeatsAfter400ThenEvery60MsWhileTheMouseStaysOnIt) {
  Bar->SetPosition(10);
  Events.clear();
  Press(Bar, {110, 8});
  EXPECT_EQ(Bar->Position(), 11) << "one step at once";
  EXPECT_EQ(Bar->PressedArea(), sbaEndArrow);
  EXPECT_EQ(RepeatInterval(), 400u);
  Tick();
  EXPECT_EQ(Bar->Position(), 12);
  EXPECT_EQ(RepeatInterval(), 60u);
  Tick();
  EXPECT_EQ(Bar->Position(), 13);
  Move(Bar, {60, 8}, Qt::LeftButton);  // off the arrow
  EXPECT_EQ(RepeatInterval(), 0u) << "the repeat stops while the mouse is elsewhere";
  Move(Bar, {112, 8}, Qt::LeftButton);
  EXPECT_EQ(RepeatInterval(), 60u);
  Tick();
  EXPECT_EQ(Bar->Position(), 14);
  Release(Bar, {112, 8});
  EXPECT_EQ(RepeatInterval(), 0u);
  EXPECT_EQ(Bar->PressedArea(), sbaNone);
  EXPECT_EQ(Events.back(), "scroll 8 14") << "the press ends with scEndScroll";

  // A page press moves by LargeChange.
  Bar->SetLargeChange(10);
  Click(Bar, {20, 8});
  EXPECT_EQ(Bar->Position(), 4);
}

TEST_F(ScrollBar, DraggingTheThumbTracksThenPositionsAndSnapsBackFarFromTheBar) {
  Bar->SetPosition(50);
  Events.clear();
  Press(Bar, {60, 8});
  ASSERT_EQ(Bar->PressedArea(), sbaThumb);
  Move(Bar, {73, 8}, Qt::LeftButton);
  EXPECT_EQ(Bar->ThumbRect().Left, 65);
  EXPECT_EQ(Bar->Position(), 69);
  Release(Bar, {73, 8});
  EXPECT_EQ(Events, (std::vector<std::string>{"scroll 5 50", "scroll 5 69", "scroll 4 69", "scroll 8 69"}))
      << "scTrack on the press and while moving, then scPosition and scEndScroll";

  struct Case {
    bool unlimited;
    int expected;
  };
  for (const Case c : {Case{false, 50}, Case{true, 69}}) {
    SCOPED_TRACE(c.unlimited ? "unlimited" : "limited");
    Bar->SetPosition(50);
    Bar->SetUnlimitedTracking(c.unlimited);
    Press(Bar, {60, 8});
    Move(Bar, {73, 8}, Qt::LeftButton);
    Move(Bar, {73, 17 + 137}, Qt::LeftButton);  // 137 pixels below the bar
    EXPECT_EQ(Bar->Position(), c.expected);
    Move(Bar, {73, 17 + 135}, Qt::LeftButton);  // back inside the band
    EXPECT_EQ(Bar->Position(), 69);
    Move(Bar, {73, 17 + 137}, Qt::LeftButton);
    Release(Bar, {73, 17 + 137});
    EXPECT_EQ(Bar->Position(), c.expected);
  }
}

TEST_F(ScrollBar, PixelsShowThePressedArrowTheDisabledBarAndHotTrackingPainters) {
  Bar->SetPosition(50);
  Bar->Repaint();
  Application->ProcessMessages();
  EXPECT_TRUE(AreaLooks(Bar->EndArrowRect(), sbaEndArrow, pbsNormal));
  Press(Bar, {110, 8});
  Bar->Repaint();
  EXPECT_TRUE(AreaLooks(Bar->EndArrowRect(), sbaEndArrow, pbsPressed)) << "a held arrow is drawn pressed";
  EXPECT_TRUE(AreaLooks(Bar->StartArrowRect(), sbaStartArrow, pbsNormal));
  Release(Bar, {110, 8});

  Bar->SetEnabled(false);
  Bar->Repaint();
  EXPECT_TRUE(AreaLooks(Bar->StartArrowRect(), sbaStartArrow, pbsDisabled));
  EXPECT_TRUE(AreaLooks(Bar->EndArrowRect(), sbaEndArrow, pbsDisabled));
  EXPECT_TRUE(AreaLooks(Rect(17, 0, 104, 17), sbaStartPage, pbsNormal)) << "no thumb: one page over the track";
  Bar->SetEnabled(true);

  // Moving over the arrows repaints only when the painter draws hot areas.
  struct Case {
    TcxLookAndFeelKind kind;
    bool repaints;
  };
  for (const Case c : {Case{lfStandard, false}, Case{lfUltraFlat, true}}) {
    SCOPED_TRACE(int(c.kind));
    Bar->LookAndFeel()->SetKind(c.kind);
    Move(Bar, {60, 8});
    Bar->Repaint();
    Application->ProcessMessages();
    Bar->Paints = 0;
    Move(Bar, {8, 8});
    Application->ProcessMessages();
    EXPECT_EQ(Bar->HotArea(), sbaStartArrow);
    EXPECT_EQ(Bar->Paints > 0, c.repaints);
    if (c.repaints) EXPECT_TRUE(AreaLooks(Bar->StartArrowRect(), sbaStartArrow, pbsHot));
  }
}

TEST_F(ScrollBar, ScrollCodesMoveWithinTheRangeAndTheHandlerMayChangeThePosition) {
  struct Case {
    TScrollCode code;
    int expected;
  };
  const Case cases[] = {{scLineUp, 49}, {scLineDown, 51}, {scPageUp, 40}, {scPageDown, 60},
                        {scTop, 0},     {scBottom, 100},  {scPosition, 50}, {scEndScroll, 50}};
  Bar->SetLargeChange(10);
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.code));
    Bar->SetPosition(50);
    Bar->ApplyScrollCode(c.code);
    EXPECT_EQ(Bar->Position(), c.expected);
  }
  Bar->SetOnScroll(TScrollEvent::Lambda([](TObject*, TScrollCode, int& p) { p = 500; }));
  Bar->ApplyScrollCode(scLineDown);
  EXPECT_EQ(Bar->Position(), 100) << "clamped after the handler too";
  Bar->Perform(CN_HSCROLL, scTop, 0);
  EXPECT_EQ(Bar->Position(), 100);
}
