// Popup placement on two monitors: an 800 x 600 primary one and a 1024 x 768 one to its
// right (x 800..1824). The popup takes the work area of the monitor at its anchor.
#include "editors/cxControlUtils.h"
#include "editors/cxPopupWindow.h"
#include "gui/Application.h"

#include <gtest/gtest.h>

namespace {

struct Placement {
  const char* name;
  TcxPopupDirection direction;
  TcxPopupPlacement horz, vert;
  TRect anchor;  // screen
  TSize size;
  TPoint expected;
};

}  // namespace

TEST(PopupPlacement, FlipsToTheRoomierSideAndStaysInTheMonitorsWorkArea) {
  const Placement cases[] = {
      {"below an anchor with room", podUpDown, ppStart, ppEnd, Rect(900, 100, 1000, 120), {200, 100}, {900, 120}},
      {"bottom anchor opens above", podUpDown, ppStart, ppEnd, Rect(900, 740, 1000, 760), {200, 100}, {900, 640}},
      {"top anchor asked above opens below", podUpDown, ppStart, ppStart, Rect(900, 10, 1000, 30), {200, 100},
       {900, 30}},
      {"right-aligned to the anchor", podUpDown, ppEnd, ppEnd, Rect(900, 100, 1000, 120), {200, 100}, {800, 120}},
      {"too wide: right edge on the work area's", podUpDown, ppStart, ppEnd, Rect(1700, 100, 1750, 120),
       {300, 50}, {1524, 120}},
      {"sideways at the right opens left", podSideways, ppEnd, ppStart, Rect(1750, 300, 1800, 320), {150, 100},
       {1600, 300}},
      {"sideways with room opens right", podSideways, ppEnd, ppStart, Rect(900, 300, 950, 320), {150, 100},
       {950, 300}},
      {"sideways near the bottom is clamped", podSideways, ppEnd, ppStart, Rect(900, 720, 950, 740), {150, 100},
       {950, 668}},
      {"centred: no flip, clamped", podUpDown, ppCenter, ppCenter, Rect(1790, 740, 1810, 760), {200, 100},
       {1624, 668}},
      {"on the primary monitor", podUpDown, ppStart, ppEnd, Rect(100, 560, 200, 580), {200, 100}, {100, 460}},
  };
  for (const Placement& c : cases) {
    SCOPED_TRACE(c.name);
    TcxPopupWindow popup;
    popup.SetBounds(0, 0, c.size.cx, c.size.cy);
    popup.OpenDirection = c.direction;
    popup.HorzPlacement = c.horz;
    popup.VertPlacement = c.vert;
    popup.AnchorBounds = c.anchor;  // no anchor parent: screen coordinates
    EXPECT_EQ(popup.ComputePosition(), c.expected);
  }
}

TEST(PopupPlacement, TheWorkAreaIsTheNearestMonitors) {
  TRect a;
  DesktopWorkArea({1000, 300}, a);
  EXPECT_EQ(a, Rect(800, 0, 1824, 768));
  DesktopWorkArea({100, 100}, a);
  EXPECT_EQ(a, Rect(0, 0, 800, 600));
  DesktopWorkArea({3000, 300}, a);
  EXPECT_EQ(a, Rect(800, 0, 1824, 768)) << "outside every monitor: the nearest";
}
