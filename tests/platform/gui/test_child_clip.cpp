// Child windows are clipped to their parent's client area, as on the platform the programs
// were written for: a child larger than a scroll box leaves its frame and scroll bars in view,
// and a window region still cuts the child.
#include "GuiTestUtil.h"
#include "gui/ExtCtrls.h"
#include "gui/WinGDI.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace {

struct TClipScene {
  TForm* Form = new TForm(Application);
  TScrollBox* Box = new TScrollBox(Form);
  TPanel* Child = new TPanel(Form);
  TClipScene() {
    Form->SetBounds(40, 40, 320, 260);
    Box->SetParent(Form);
    Box->SetBounds(10, 10, 200, 150);
    Box->SetAutoScroll(false);
    Child->SetParent(Box);
    Child->SetBevelOuter(bvNone);
    Child->SetColor(clRed);
    Form->Show();
  }
  ~TClipScene() { delete Form; }
  // Whether the pixel at a point of the box's window (frame included) is the child's red.
  bool RedAt(int X, int Y) {
    Application->ProcessMessages();
    QImage img = WidgetOf(Form)->grab().toImage();
    TPoint o = Form->ScreenToClient(Box->ClientToScreen({0, 0}));
    TRect nc = Box->NonClientMargins();
    return QColor(img.pixel(o.X - nc.Left + X, o.Y - nc.Top + Y)) == QColor(Qt::red);
  }
};

}  // namespace

TEST(ChildClip, AChildLargerThanTheClientLeavesTheScrollBarsInView) {
  TClipScene s;
  s.Box->HorzScrollBar()->SetRange(600);
  s.Box->VertScrollBar()->SetRange(600);
  s.Child->SetBounds(0, 0, 600, 600);
  ASSERT_TRUE(s.Box->VertScrollBar()->IsScrollBarVisible());
  ASSERT_TRUE(s.Box->HorzScrollBar()->IsScrollBarVisible());
  TRect nc = s.Box->NonClientMargins();
  int cw = s.Box->ClientWidth(), ch = s.Box->ClientHeight();
  struct Probe {
    int X, Y;
    bool Red;
  };
  const Probe probes[] = {
      {nc.Left + 20, nc.Top + 20, true},           // the client
      {nc.Left + cw - 2, nc.Top + 20, true},       // its last column
      {nc.Left + cw + 5, nc.Top + 20, false},      // the vertical bar
      {nc.Left + 20, nc.Top + ch + 5, false},      // the horizontal bar
      {s.Box->Width() - 1, s.Box->Height() - 1, false},  // the frame
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
    EXPECT_EQ(s.RedAt(p.X, p.Y), p.Red);
  }
  // The bars going away give the child the room again.
  s.Box->HorzScrollBar()->SetRange(0);
  s.Box->VertScrollBar()->SetRange(0);
  nc = s.Box->NonClientMargins();
  EXPECT_TRUE(s.RedAt(nc.Left + s.Box->ClientWidth() - 2, nc.Top + 20));
}

TEST(ChildClip, AWindowRegionStillCutsAClippedChild) {
  TClipScene s;
  s.Child->SetBounds(10, 10, 100, 60);
  TRect nc = s.Box->NonClientMargins();
  EXPECT_TRUE(s.RedAt(nc.Left + 80, nc.Top + 30));
  SetWindowRgn(s.Child->Handle(), CreateRectRgn(0, 0, 50, 60), true);
  EXPECT_TRUE(s.RedAt(nc.Left + 30, nc.Top + 30));
  EXPECT_FALSE(s.RedAt(nc.Left + 80, nc.Top + 30));
  // Moved across the client's edge, the child keeps both cuts.
  s.Child->SetLeft(-30);
  EXPECT_FALSE(s.RedAt(nc.Left + 40, nc.Top + 30));
  EXPECT_TRUE(s.RedAt(nc.Left + 10, nc.Top + 30));
  SetWindowRgn(s.Child->Handle(), nullptr, true);
  EXPECT_TRUE(s.RedAt(nc.Left + 40, nc.Top + 30));
  EXPECT_FALSE(s.RedAt(nc.Left - 1, nc.Top + 30)) << "the frame stays the box's";
}

// A child inside its parent leaves the parent's exposed region with a hole: every part around
// it shows the parent's new colour, the frame its frame, and the child its own pixels.
TEST(ChildClip, AParentAroundAChildIsPaintedOnEverySideOfIt) {
  TClipScene s;
  s.Child->SetBounds(60, 40, 50, 30);
  s.Box->SetColor(clBlue);
  s.Box->Update();
  TRect nc = s.Box->NonClientMargins();
  QImage img = (Application->ProcessMessages(), WidgetOf(s.Box)->grab().toImage());
  auto at = [&](int X, int Y) { return QColor(img.pixel(nc.Left + X, nc.Top + Y)); };
  struct Probe {
    int X, Y;
    QColor Colour;
  };
  const Probe probes[] = {
      {30, 55, Qt::blue},   {85, 10, Qt::blue}, {150, 55, Qt::blue}, {85, 100, Qt::blue},  // around the child
      {62, 42, Qt::red},    {108, 68, Qt::red},                                              // the child's corners
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
    EXPECT_EQ(at(p.X, p.Y), p.Colour);
  }
  EXPECT_NE(QColor(img.pixel(0, 0)), QColor(Qt::blue)) << "the frame is drawn, not the client colour";
}
