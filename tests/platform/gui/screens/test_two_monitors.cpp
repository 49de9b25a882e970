// Two monitors side by side on the offscreen platform: the screen reports both with their
// work areas, finds the monitor of a point or a window, and a window opened on the second one
// stays there.
#include "StdTestUtil.h"

TEST(TwoMonitors, TheScreenReportsBothMonitors) {
  ASSERT_EQ(Screen->MonitorCount(), 2);
  TMonitor* primary = Screen->PrimaryMonitor();
  EXPECT_EQ(primary->BoundsRect(), Rect(0, 0, 800, 600));
  EXPECT_EQ(primary->WorkareaRect(), Rect(0, 0, 800, 600));
  TMonitor* second = Screen->MonitorFromPoint({900, 100});
  ASSERT_NE(second, primary);
  EXPECT_EQ(second->BoundsRect(), Rect(800, 0, 1824, 768));
  EXPECT_EQ(Screen->DesktopRect(), Rect(0, 0, 1824, 768));
  EXPECT_EQ(Screen->Width(), 800) << "the screen's size is the primary monitor's";
  EXPECT_EQ(Screen->MonitorFromRect(Rect(780, 10, 1000, 50)), second) << "the larger overlap";
}

TEST(TwoMonitors, AFormOnTheSecondMonitorStaysThere) {
  TForm f(Application);
  f.SetBorderStyle(bsNone);
  f.SetBounds(1500, 650, 200, 100);
  f.Show();
  Application->ProcessMessages();
  EXPECT_EQ(f.ClientToScreen({0, 0}), (TPoint{1500, 650}));
  EXPECT_EQ(Screen->MonitorFromWindow(f.Handle())->BoundsRect(), Rect(800, 0, 1824, 768));
}
