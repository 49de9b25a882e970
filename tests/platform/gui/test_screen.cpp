// The screen object: forms, monitors, cursors and fonts.
#include "GuiTestUtil.h"

#include <gtest/gtest.h>

using namespace guitest;

TEST(ScreenObject, FormsMonitorsCursorsAndFonts) {
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
  TForm f(nullptr);
  f.SetBounds(10, 10, 100, 100);
  bool listed = false;
  for (int i = 0; i < Screen->FormCount(); ++i) listed |= Screen->Forms(i) == &f;
  EXPECT_TRUE(listed);
  f.Show();
  EXPECT_EQ(Screen->ActiveForm(), &f);
  EXPECT_EQ(Screen->Forms(0), &f) << "the active form comes first";

  ASSERT_GE(Screen->MonitorCount(), 1);
  TRect work = Screen->WorkAreaRect();
  EXPECT_FALSE(IsRectEmpty(work));
  EXPECT_EQ(Screen->MonitorFromPoint({work.Left + 1, work.Top + 1}), Screen->PrimaryMonitor());
  EXPECT_NE(Screen->MonitorFromPoint({-100000, -100000}, mdNearest), nullptr);
  EXPECT_EQ(Screen->MonitorFromPoint({-100000, -100000}, mdNull), nullptr);

  EXPECT_NE(Screen->Cursors(crHandPoint), nullptr);
  EXPECT_EQ(Screen->Cursors(14000), nullptr);
  TBitmap bmp;
  bmp.SetSize(16, 16);
  Screen->SetCursors(14000, CreateCursorFromImage(&bmp, 3, 4));
  ASSERT_NE(Screen->Cursors(14000), nullptr);
  Screen->SetCursors(14000, nullptr);
  EXPECT_EQ(Screen->Cursors(14000), nullptr);
  EXPECT_EQ(LoadCursorFromResource("NO_SUCH_CURSOR"), nullptr);

  EXPECT_GT(Screen->Fonts()->Count(), 0);
}
