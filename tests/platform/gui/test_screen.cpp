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

// A control answering WM_SETCURSOR with a cursor of its choice shows it over its window while
// the mouse moves there; a control that leaves the answer to the layer shows its Cursor.
TEST(ScreenObject, AWindowShowsTheCursorItsSetCursorAnswerChose) {
  TForm f(nullptr);
  f.SetBounds(10, 10, 200, 100);
  TBitmap bmp;
  bmp.SetSize(16, 16);
  HCURSOR own = CreateCursorFromImage(&bmp, 1, 1);
  Screen->SetCursors(14001, own);  // the screen frees it
  class TChooser : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;
    HCURSOR Chosen = nullptr;
    void Dispatch(TMessage& M) override {
      if (M.Msg == WM_SETCURSOR && Chosen) {
        ::SetCursor(Chosen);
        M.Result = 1;
        return;
      }
      TCustomControl::Dispatch(M);
    }
  };
  auto* chooser = new TChooser(&f);
  chooser->SetParent(&f);
  chooser->SetBounds(0, 0, 100, 100);
  chooser->Chosen = own;
  auto* plain = new TCustomControl(&f);
  plain->SetParent(&f);
  plain->SetBounds(100, 0, 100, 100);
  plain->SetCursor(crHandPoint);
  f.Show();
  Move(chooser, {10, 10});
  EXPECT_EQ(GetCursor(), own);
  EXPECT_EQ(WidgetOf(chooser)->cursor().shape(), Qt::BitmapCursor);
  Move(plain, {10, 10});
  EXPECT_EQ(GetCursor(), Screen->Cursors(crHandPoint));
  EXPECT_EQ(WidgetOf(plain)->cursor().shape(), Qt::PointingHandCursor);
  plain->SetCursor(crDefault);
  Move(plain, {12, 12});
  EXPECT_EQ(GetCursor(), Screen->Cursors(crArrow)) << "left to the window: its class cursor";
  Screen->SetCursors(14001, nullptr);
}
