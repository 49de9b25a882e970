// The report library's scrolling control: range, page and position per axis, the bars it
// sends, the scroll-bar messages, the background and the keys it asks for.
#include "GuiTestUtil.h"
#include "gui/Canvas.h"
#include "gui/Forms.h"
#include "gui/Pictures.h"
#include "gui/WinScroll.h"
#include "report/frxCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TProbeScrollWin : public TfrxScrollWin {
public:
  using TfrxScrollWin::TfrxScrollWin;
  std::vector<std::string> Calls;

protected:
  void HorzScrolled(int Value) override { Calls.push_back("H" + std::to_string(Value)); }
  void VertScrolled(int Value) override { Calls.push_back("V" + std::to_string(Value)); }
};

class ScrollWinTest : public ::testing::Test {
protected:
  TForm* Form = nullptr;
  TProbeScrollWin* Win = nullptr;
  void SetUp() override {
    Form = new TForm(nullptr);
    Form->SetBounds(40, 40, 500, 400);
    Win = new TProbeScrollWin(Form);
    Win->SetParent(Form);
    Win->SetBounds(10, 10, 300, 200);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  SCROLLINFO Bar(int Which) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    EXPECT_TRUE(GetScrollInfo(Win->Handle(), Which, &si));
    return si;
  }
};

}  // namespace

TEST_F(ScrollWinTest, DefaultsAndWindowStyles) {
  EXPECT_EQ(Win->LargeStep(), 10);
  EXPECT_EQ(Win->SmallStep(), 1);
  EXPECT_EQ(Win->HorzRange(), 0);
  EXPECT_TRUE(Win->WindowExStyle() & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(Win->WindowStyle() & WS_CLIPCHILDREN);
  EXPECT_EQ(SendMessage(Win->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS);
}

TEST_F(ScrollWinTest, PositionsAreClampedAndOnlyChangesAreReported) {
  Win->ChangeVertPage(40);
  Win->ChangeVertRange(100);
  struct Case {
    int Value;
    int Position;
    const char* Call;  // "" when nothing is reported
  };
  const Case cases[] = {{30, 30, "V30"}, {30, 30, ""}, {75, 60, "V60"}, {-5, 0, "V0"}, {-1, 0, ""}, {59, 59, "V59"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Value);
    Win->Calls.clear();
    Win->ChangeVertPosition(c.Value);
    EXPECT_EQ(Win->VertPosition(), c.Position);
    EXPECT_EQ(Bar(SB_VERT).nPos, c.Position) << "the thumb follows";
    EXPECT_EQ(Win->Calls, std::string(c.Call).empty() ? std::vector<std::string>{} : std::vector<std::string>{c.Call});
  }
  Win->Calls.clear();
  Win->ChangeHorzPage(50);
  Win->ChangeHorzRange(20);
  Win->ChangeHorzPosition(10);
  EXPECT_EQ(Win->HorzPosition(), 0) << "a range below the page leaves no room";
  EXPECT_TRUE(Win->Calls.empty());
}

TEST_F(ScrollWinTest, TheBarsShowRangePageAndPosition) {
  Win->ChangeHorzRange(500);
  Win->ChangeHorzPage(120);
  Win->ChangeHorzPosition(70);
  SCROLLINFO h = Bar(SB_HORZ);
  EXPECT_EQ(h.nMin, 0);
  EXPECT_EQ(h.nMax, 500);
  EXPECT_EQ(h.nPage, 120u);
  EXPECT_EQ(h.nPos, 70);
  Win->ChangeVertPage(80);
  Win->ChangeVertRange(60);
  SCROLLINFO v = Bar(SB_VERT);
  EXPECT_EQ(v.nMax, 0) << "a range below the page sends maximum 0";
  EXPECT_EQ(v.nPage, 80u);
}

TEST_F(ScrollWinTest, ScrollBarMessagesStepByTheirAmounts) {
  Win->ChangeVertPage(20);
  Win->ChangeVertRange(200);
  Win->SetSmallStep(3);
  Win->SetLargeStep(25);
  struct Case {
    const char* Name;
    int Code;
    int Pos;
    int Start;
    int Expect;
  };
  const Case cases[] = {
      {"line down", SB_LINEDOWN, 0, 50, 53},  {"line up", SB_LINEUP, 0, 50, 47},
      {"page down", SB_PAGEDOWN, 0, 50, 75},  {"page up", SB_PAGEUP, 0, 50, 25},
      {"top", SB_TOP, 0, 50, 0},              {"bottom, clamped", SB_BOTTOM, 0, 50, 180},
      {"line up at the top", SB_LINEUP, 0, 0, 0}, {"other codes", SB_ENDSCROLL, 0, 50, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Win->ChangeVertPosition(c.Start);
    SendMessage(Win->Handle(), WM_VSCROLL, MakeWParam(c.Code, c.Pos), 0);
    EXPECT_EQ(Win->VertPosition(), c.Expect);
  }
  Win->ChangeHorzPage(10);
  Win->ChangeHorzRange(100);
  Win->Calls.clear();
  SendMessage(Win->Handle(), WM_HSCROLL, MakeWParam(SB_LINERIGHT, 0), 0);
  EXPECT_EQ(Win->HorzPosition(), 3);
  EXPECT_EQ(Win->Calls, (std::vector<std::string>{"H3"}));
}

TEST_F(ScrollWinTest, DraggingTheThumbScrollsToTheBarsTrackPosition) {
  Win->ChangeVertPage(20);
  Win->ChangeVertRange(200);
  SCROLLBARINFO bi;
  ASSERT_TRUE(GetScrollBarInfo(Win->Handle(), OBJID_VSCROLL, &bi));
  const TPoint origin = Win->ClientToScreen({0, 0});
  const int x = (bi.rcScrollBar.Left + bi.rcScrollBar.Right) / 2 - origin.X;
  const int top = bi.rcScrollBar.Top - origin.Y + bi.dxyLineButton + 3;  // on the thumb, at position 0
  guitest::Press(Win, {x, top}, Qt::LeftButton, 1000);
  guitest::Move(Win, {x, top + 40}, Qt::LeftButton);
  const int tracked = Win->VertPosition();
  EXPECT_GT(tracked, 0) << "the position follows the thumb while it is dragged";
  guitest::Move(Win, {x, top + 80}, Qt::LeftButton);
  guitest::Release(Win, {x, top + 80});
  EXPECT_GT(Win->VertPosition(), tracked);
  EXPECT_LE(Win->VertPosition(), 180);
  EXPECT_EQ(Win->Calls.back(), "V" + std::to_string(Win->VertPosition()));
  SCROLLINFO si;
  si.fMask = SIF_POS;
  GetScrollInfo(Win->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, Win->VertPosition());
}

TEST_F(ScrollWinTest, ClickingTheBarsArrowScrollsOneSmallStep) {
  Win->ChangeVertPage(20);
  Win->ChangeVertRange(200);
  Win->SetSmallStep(7);
  SCROLLBARINFO bi;
  ASSERT_TRUE(GetScrollBarInfo(Win->Handle(), OBJID_VSCROLL, &bi));
  ASSERT_FALSE(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  // The lower arrow, in client coordinates of the window.
  const TPoint origin = Win->ClientToScreen({0, 0});
  const TPoint arrow{(bi.rcScrollBar.Left + bi.rcScrollBar.Right) / 2 - origin.X, bi.rcScrollBar.Bottom - 5 - origin.Y};
  guitest::Press(Win, arrow, Qt::LeftButton, 1000);
  guitest::Release(Win, arrow);
  EXPECT_EQ(Win->VertPosition(), 7);
  EXPECT_EQ(Win->Calls.back(), "V7");
}

TEST_F(ScrollWinTest, PaintFillsTheClientWithTheColourAndErasingDoesNothing) {
  Win->SetColor(clTeal);
  TBitmap shot;
  shot.SetSize(Win->Width(), Win->Height());
  shot.Canvas()->Brush()->SetColor(clWhite);
  shot.Canvas()->FillRect(Rect(0, 0, shot.Width(), shot.Height()));
  Win->PaintTo(shot.Canvas(), 0, 0);
  const TRect nc = Win->NonClientMargins();
  EXPECT_EQ(shot.Canvas()->Pixels(nc.Left + 20, nc.Top + 20), clTeal);
  EXPECT_EQ(SendMessage(Win->Handle(), WM_ERASEBKGND, 0, 0), 0) << "the paint covers the client; erasing is skipped";
}
