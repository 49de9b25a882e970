// The scrolling grid: geometry across hidden columns, the SelectCell veto, the in-place editor
// and its hooks, column sizing and moving with the mouse, keys and scroll messages. Input goes
// through the layer's messages, as the window would deliver it.
#include "StdTestUtil.h"

#include "gui/Caret.h"
#include "gui/Grids.h"

using namespace stdtest;

namespace {

class TProbeGrid : public TCustomGrid {
public:
  explicit TProbeGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
  std::vector<std::pair<int, int>> Vetoed;
  std::vector<std::pair<int, int>> Moves;
  std::vector<String> EditTexts;
  int WidthChanges = 0;
  bool ShowEditorAllowed = true;
  bool ModifyAllowed = true;
  String CellText = "abc";
  using TCustomGrid::CalcSizingState;
  using TCustomGrid::MoveCurrent;

protected:
  bool SelectCell(int ACol, int ARow) override {
    if (ACol == 3 && ARow == 3) {
      Vetoed.push_back({ACol, ARow});
      return false;
    }
    return true;
  }
  void ColumnMoved(int From, int To) override {
    Moves.push_back({From, To});
    TCustomGrid::ColumnMoved(From, To);
  }
  void ColWidthsChanged() override { ++WidthChanges; }
  bool CanEditShow() override { return ShowEditorAllowed && TCustomGrid::CanEditShow(); }
  bool CanEditModify() override { return ModifyAllowed; }
  String GetEditText(int ACol, int ARow) override { return CellText; }
  int GetEditLimit() override { return 6; }
  String GetEditMask(int, int) override { return String(); }
  void SetEditText(int, int, const String& Value) override { EditTexts.push_back(Value); }
};

struct GridFixture : FormFixture {
  TProbeGrid* Grid = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    Grid = Add<TProbeGrid>(TRect{0, 0, 340, 200});
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetColCount(6);
    Grid->SetRowCount(6);
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  void KeyTo(TWinControl* c, Word key) {
    c->Perform(WM_KEYDOWN, key, 0);
    Application->ProcessMessages();
  }
  void CharTo(TWinControl* c, Char ch) {
    c->Perform(WM_CHAR, ch, 0);
    Application->ProcessMessages();
  }
  void Down(int x, int y) { Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam({x, y})); }
  void MoveTo(int x, int y) { Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam({x, y})); }
  void Up(int x, int y) {
    Grid->Perform(WM_LBUTTONUP, 0, PointToLParam({x, y}));
    Application->ProcessMessages();
  }
};

TEST_F(GridFixture, CellRectAndMouseCoordSkipAHiddenColumnAndItsLine) {
  // 64 + 1 per column; column 2 is -1 wide, so with its 1-pixel line it takes nothing.
  Grid->SetColWidths(2, -1);
  struct {
    int Col, Left, Right;
  } rects[] = {{0, 0, 64}, {1, 65, 129}, {2, 130, 130}, {3, 130, 194}, {4, 195, 259}};
  for (auto& r : rects) {
    TRect cr = Grid->CellRect(r.Col, 1);
    EXPECT_EQ(cr.Left, r.Left) << r.Col;
    EXPECT_EQ(cr.Right, r.Right) << r.Col;
    EXPECT_EQ(cr.Top, 25);
    EXPECT_EQ(cr.Bottom, 49);
  }
  struct {
    int X, Col;
  } hits[] = {{0, 0}, {64, 0}, {65, 1}, {129, 1}, {130, 3}, {194, 3}, {195, 4}};
  for (auto& h : hits) EXPECT_EQ(Grid->MouseCoord(h.X, 30).X, h.Col) << h.X;
  EXPECT_EQ(Grid->MouseCoord(30, 30).Y, 1);
  EXPECT_EQ(Grid->MouseCoord(339, 199).X, -1) << "beyond the last column";
  // Scrolled out: no pixels.
  Grid->SetColCount(12);
  Grid->SetLeftCol(5);
  EXPECT_TRUE(IsRectEmpty(Grid->CellRect(1, 1)));
  EXPECT_EQ(Grid->CellRect(5, 1).Left, 65);
}

TEST_F(GridFixture, SelectCellVetoKeepsTheCurrentCell) {
  Grid->SetCol(3);
  Grid->SetRow(2);
  KeyTo(Grid, VK_DOWN);
  EXPECT_EQ(Grid->Vetoed.size(), 1u);
  EXPECT_EQ(Grid->Row(), 2);
  KeyTo(Grid, VK_RIGHT);
  EXPECT_EQ(Grid->Col(), 4);
  // A click on the vetoed cell moves nothing either.
  TRect r = Grid->CellRect(3, 3);
  Down(r.Left + 5, r.Top + 5);
  Up(r.Left + 5, r.Top + 5);
  EXPECT_EQ(Grid->Col(), 4);
  EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(GridFixture, KeysMoveByCellPageAndEdgesAndTabWraps) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goTabs});
  struct {
    Word Key;
    int Col, Row;
  } steps[] = {{VK_RIGHT, 2, 1}, {VK_DOWN, 2, 2}, {VK_END, 5, 2}, {VK_HOME, 1, 2},
               {VK_NEXT, 1, 5},  {VK_PRIOR, 1, 1}, {VK_UP, 1, 1},  {VK_LEFT, 1, 1}};
  for (auto& s : steps) {
    KeyTo(Grid, s.Key);
    EXPECT_EQ(Grid->Col(), s.Col) << s.Key;
    EXPECT_EQ(Grid->Row(), s.Row) << s.Key;
  }
  Grid->SetCol(5);
  KeyTo(Grid, VK_TAB);
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_EQ(Grid->Row(), 2) << "Tab past the last column goes to the next row";
}

TEST_F(GridFixture, EditorShowsEditTextAndReportsEachChange) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
  KeyTo(Grid, VK_F2);
  TInplaceEdit* ed = Grid->InplaceEditor();
  ASSERT_NE(ed, nullptr);
  EXPECT_TRUE(Grid->EditorMode());
  EXPECT_TRUE(ed->Visible());
  EXPECT_EQ(ed->Text(), "abc");
  EXPECT_EQ(ed->MaxLength(), 6);
  TRect cell = Grid->CellRect(Grid->Col(), Grid->Row());
  EXPECT_EQ(ed->BoundsRect(), cell);
  EXPECT_TRUE(Grid->EditTexts.empty()) << "loading the editor is no edit";
  ed->SelectAll();
  CharTo(ed, 'x');
  CharTo(ed, 'y');
  EXPECT_EQ(Grid->EditTexts, (std::vector<String>{"x", "xy"}));
  // Refused modification: the key leaves the text alone.
  Grid->ModifyAllowed = false;
  CharTo(ed, 'z');
  EXPECT_EQ(ed->Text(), "xy");
  // Down goes to the grid: the editor follows onto the next row with its text.
  Grid->ModifyAllowed = true;
  KeyTo(ed, VK_DOWN);
  EXPECT_EQ(Grid->Row(), 2);
  EXPECT_EQ(ed->Text(), "abc");
  EXPECT_EQ(ed->BoundsRect(), Grid->CellRect(Grid->Col(), 2));
}

TEST_F(GridFixture, TheEditorKeepsItsTextInItsFormattingRectangleAndThroughRecreation) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
  KeyTo(Grid, VK_F2);
  TInplaceEdit* ed = Grid->InplaceEditor();
  ASSERT_NE(ed, nullptr);
  TRect fr = Rect(2, 1, ed->Width() - 20, ed->Height() - 1);
  ed->Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&fr));
  TRect got;
  ed->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got, fr);
  ed->SetText("a long text that runs past the strip on the right");
  ed->SetSelStart(static_cast<int>(ed->Text().size()));
  TPoint caret;
  GetCaretPos(&caret);
  EXPECT_LE(caret.X, fr.Right) << "the caret stays inside the rectangle";
  EXPECT_GE(caret.X, fr.Left);

  ed->SetText("kept");
  ed->RecreateWnd();
  ed->HandleNeeded();
  EXPECT_EQ(ed->Text(), "kept");
  // Left and Right stay in the edit; Up goes to the grid.
  int col = Grid->Col();
  KeyTo(ed, VK_LEFT);
  EXPECT_EQ(Grid->Col(), col);
  KeyTo(ed, VK_UP);
  EXPECT_EQ(Grid->Row(), 1);
  KeyTo(ed, VK_DOWN);
  EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(GridFixture, CanEditShowFalseHidesTheEditor) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
  KeyTo(Grid, VK_F2);
  ASSERT_TRUE(Grid->InplaceEditor()->Visible());
  Grid->ShowEditorAllowed = false;
  Grid->InvalidateEditor();
  EXPECT_FALSE(Grid->InplaceEditor()->Visible());
  // A typed character opens nothing either.
  CharTo(Grid, 'q');
  EXPECT_FALSE(Grid->InplaceEditor()->Visible());
  EXPECT_TRUE(Grid->EditTexts.empty());
}

TEST_F(GridFixture, TypingOnTheGridOpensTheEditorWithTheCharacter) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
  CharTo(Grid, 'k');
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_EQ(Grid->InplaceEditor()->Text(), "k");
  EXPECT_EQ(Grid->EditTexts.back(), "k");
  KeyTo(Grid->InplaceEditor(), VK_ESCAPE);
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_FALSE(Grid->InplaceEditor()->Visible());
}

TEST_F(GridFixture, BorderDragResizesOnceAtRelease) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing});
  Grid->WidthChanges = 0;
  // The border of column 1 lies at x = 129 in the fixed row.
  TGridState st;
  int idx = 0, pos = 0, ofs = 0;
  Grid->CalcSizingState(129, 10, st, idx, pos, ofs);
  EXPECT_EQ(st, gsColSizing);
  EXPECT_EQ(idx, 1);
  Grid->CalcSizingState(100, 10, st, idx, pos, ofs);
  EXPECT_EQ(st, gsNormal);
  Grid->CalcSizingState(129, 40, st, idx, pos, ofs);
  EXPECT_EQ(st, gsNormal) << "sizing starts in the fixed rows only";

  Down(129, 10);
  EXPECT_EQ(Grid->GridState(), gsColSizing);
  for (int x = 135; x <= 160; x += 5) MoveTo(x, 10);
  EXPECT_EQ(Grid->WidthChanges, 0) << "nothing changes while dragging";
  EXPECT_EQ(Grid->ColWidths(1), 64);
  Up(160, 10);
  EXPECT_EQ(Grid->WidthChanges, 1);
  EXPECT_EQ(Grid->ColWidths(1), 95);
  EXPECT_EQ(Grid->GridState(), gsNormal);
}

TEST_F(GridFixture, TitleDragMovesAColumnOnceAtRelease) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goColMoving});
  Grid->SetColWidths(2, 30);
  Grid->SetCol(2);
  TRect from = Grid->CellRect(2, 0), to = Grid->CellRect(4, 0);
  Down(from.Left + 10, 10);
  EXPECT_EQ(Grid->GridState(), gsColMoving);
  MoveTo(from.Left + 40, 10);
  MoveTo(to.Left + 10, 10);
  EXPECT_TRUE(Grid->Moves.empty());
  Up(to.Left + 10, 10);
  ASSERT_EQ(Grid->Moves.size(), 1u);
  EXPECT_EQ(Grid->Moves[0], std::make_pair(2, 4));
  EXPECT_EQ(Grid->ColWidths(4), 30) << "the width moves with the column";
  EXPECT_EQ(Grid->ColWidths(2), 64);
  EXPECT_EQ(Grid->Col(), 4) << "the current column follows";
}

TEST_F(GridFixture, ScrollMessagesMoveTheTopRow) {
  Grid->SetRowCount(40);
  struct {
    int Code, Pos, Top;
  } cases[] = {{SB_LINEDOWN, 0, 2}, {SB_PAGEDOWN, 0, 9}, {SB_LINEUP, 0, 8}, {SB_THUMBPOSITION, 20, 21},
               {SB_BOTTOM, 0, 33},  {SB_TOP, 0, 1},     {SB_THUMBTRACK, 10, 1}};
  for (auto& c : cases) {
    Grid->Perform(WM_VSCROLL, MakeWParam(c.Code, c.Pos), 0);
    EXPECT_EQ(Grid->TopRow(), c.Top) << c.Code;
  }
}

TEST_F(GridFixture, FixedColumnIsReachedOnlyThroughTheProtectedMove) {
  Grid->SetCol(0);
  EXPECT_EQ(Grid->Col(), 1) << "FocusCell keeps out of fixed columns";
  Grid->MoveCurrent(0, 2, true, true);
  EXPECT_EQ(Grid->Col(), 0);
  EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(GridFixture, ChangeScaleScalesDefaultsAndSizes) {
  Grid->SetColWidths(2, 30);
  Grid->ChangeScale(3, 2);
  EXPECT_EQ(Grid->DefaultColWidth(), 96);
  EXPECT_EQ(Grid->DefaultRowHeight(), 36);
  EXPECT_EQ(Grid->ColWidths(2), 45);
  EXPECT_EQ(Grid->ColWidths(1), 96);
}

TEST_F(GridFixture, FixedCountMustStayBelowTheCount) {
  EXPECT_THROW(Grid->SetFixedCols(6), EInvalidGridOperation);
  EXPECT_THROW(Grid->SetRowCount(1), EInvalidGridOperation);
  EXPECT_EQ(Grid->RowCount(), 6);
}

}  // namespace

namespace {

TEST_F(GridFixture, DraggingOutsideScrollsAndExtendsByTheTimer) {
  Grid->SetRowCount(40);
  TRect start = Grid->CellRect(2, 3);
  Down(start.Left + 5, start.Top + 5);
  EXPECT_EQ(Grid->GridState(), gsSelecting);
  MoveTo(start.Left + 5, Grid->ClientHeight() + 20);  // below the grid: the timer takes over
  for (int i = 0; i < 8; ++i) Grid->Perform(WM_TIMER, 1, 0);
  EXPECT_EQ(Grid->Row(), 11);
  EXPECT_EQ(Grid->Selection(), (TGridRect{2, 3, 2, 11}));
  EXPECT_GT(Grid->TopRow(), 1) << "the view follows";
  Up(start.Left + 5, Grid->ClientHeight() + 20);
  EXPECT_EQ(Grid->GridState(), gsNormal);
  Grid->Perform(WM_TIMER, 1, 0);
  EXPECT_EQ(Grid->Row(), 11) << "no scrolling after the release";
}

// Cancel mode (the capture taken away, a menu opening) ends sizing, moving and timed scrolling:
// their lines go, nothing is resized or moved, and the scroll timer stops.
TEST_F(GridFixture, CancelModeEndsSizingMovingAndTimedScrolling) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing, goColMoving});
  Grid->SetRowCount(40);
  Grid->WidthChanges = 0;
  Down(129, 10);
  MoveTo(150, 10);
  Application->ProcessMessages();
  ASSERT_EQ(Pixel(Grid, 150, 100).rgb() & 0xFFFFFF, 0u) << "the sizing line";
  Grid->Perform(WM_CANCELMODE, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(Grid->GridState(), gsNormal);
  EXPECT_NE(Pixel(Grid, 150, 100).rgb() & 0xFFFFFF, 0u) << "the line is gone";
  Up(150, 10);
  EXPECT_EQ(Grid->ColWidths(1), 64);
  EXPECT_EQ(Grid->WidthChanges, 0);

  TRect from = Grid->CellRect(2, 0);
  Down(from.Left + 10, 10);
  ASSERT_EQ(Grid->GridState(), gsColMoving);
  MoveTo(Grid->CellRect(4, 0).Left + 10, 10);
  Grid->Perform(WM_CANCELMODE, 0, 0);
  Up(Grid->CellRect(4, 0).Left + 10, 10);
  EXPECT_TRUE(Grid->Moves.empty());

  TRect cell = Grid->CellRect(2, 3);
  Down(cell.Left + 5, cell.Top + 5);
  MoveTo(cell.Left + 5, Grid->ClientHeight() + 20);
  ASSERT_GT(TimerInterval(Grid->Handle(), 1), 0u) << "the scroll timer runs below the grid";
  Grid->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_EQ(TimerInterval(Grid->Handle(), 1), 0u);
  EXPECT_EQ(Grid->GridState(), gsNormal);
  Up(cell.Left + 5, Grid->ClientHeight() + 20);
}

TEST_F(GridFixture, HorizontalBarsOnlyLeaveTheVerticalBarToTheDescendant) {
  Grid->SetRowCount(40);
  Grid->SetColCount(30);
  Grid->SetScrollBars(ssBoth);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(Grid->Handle(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, 38);
  Grid->SetScrollBars(ssHorizontal);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 999;
  si.nPage = 10;
  si.nPos = 500;
  SetScrollInfo(Grid->Handle(), SB_VERT, &si, 1);
  Grid->SetTopRow(5);  // the base grid updates its bars
  SCROLLINFO now;
  now.fMask = SIF_ALL;
  GetScrollInfo(Grid->Handle(), SB_VERT, &now);
  EXPECT_EQ(now.nMax, 999);
  EXPECT_EQ(now.nPos, 500);
  GetScrollInfo(Grid->Handle(), SB_HORZ, &now);
  EXPECT_EQ(now.nMax, 28);
}

TEST_F(GridFixture, PaintsFixedDataSelectedAndTheSizingLine) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing});
  Grid->SetSelection(TGridRect{1, 1, 2, 2});
  Grid->Invalidate();
  Application->ProcessMessages();
  auto at = [&](int col, int row) {
    TRect r = Grid->CellRect(col, row);
    return Pixel(Grid, r.Left + 10, r.Top + 10).rgb() & 0xFFFFFF;
  };
  EXPECT_EQ(at(0, 0), 0xD4D0C8u) << "fixed";
  EXPECT_EQ(at(4, 4), 0xFFFFFFu) << "data";
  EXPECT_EQ(at(1, 1), 0x0A246Au) << "selected";
  EXPECT_EQ(at(3, 3), 0xFFFFFFu);
  Down(129, 10);
  MoveTo(150, 10);
  Application->ProcessMessages();
  EXPECT_EQ(Pixel(Grid, 150, 100).rgb() & 0xFFFFFF, 0u) << "the sizing line over the cells";
  Up(150, 10);
  Application->ProcessMessages();
  EXPECT_NE(Pixel(Grid, 150, 100).rgb() & 0xFFFFFF, 0u) << "gone at the release";
  Shot("grid_cells");
}

}  // namespace

namespace {

// A right-to-left layout is mirrored only under a Middle-East locale; the test switches it.
struct MiddleEastLocale {
  MiddleEastLocale() { SysLocale().MiddleEast = true; }
  ~MiddleEastLocale() { SysLocale().MiddleEast = false; }
};

TEST_F(GridFixture, ARightToLeftGridMirrorsItsCellsMouseAndEditor) {
  Grid->SetBiDiMode(bdRightToLeft);
  EXPECT_FALSE(Grid->UseRightToLeftAlignment()) << "not under this system's locale";
  MiddleEastLocale locale;
  ASSERT_TRUE(Grid->UseRightToLeftAlignment());
  Grid->Invalidate();
  Application->ProcessMessages();
  int w = Grid->ClientWidth();
  TRect fixed = Grid->CellRect(0, 1), cell = Grid->CellRect(2, 2);
  EXPECT_EQ(Pixel(Grid, w - 1 - (fixed.Left + 10), fixed.Top + 10).rgb() & 0xFFFFFF, 0xD4D0C8u)
      << "the fixed column stands at the right";
  EXPECT_EQ(Pixel(Grid, fixed.Left + 10, fixed.Top + 10).rgb() & 0xFFFFFF, 0xFFFFFFu);
  // A click where column 2 shows selects it.
  TPoint at{w - 1 - (cell.Left + 5), cell.Top + 5};
  Down(at.X, at.Y);
  Up(at.X, at.Y);
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 2);
  Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
  KeyTo(Grid, VK_F2);
  ASSERT_TRUE(Grid->InplaceEditor()->Visible());
  EXPECT_EQ(Grid->InplaceEditor()->BoundsRect(), Grid->MirroredRect(cell)) << "the editor over the mirrored cell";
  KeyTo(Grid->InplaceEditor(), VK_ESCAPE);
}

}  // namespace

namespace {

TEST_F(GridFixture, TheCurrentCellShowsSelectedOnlyWhileTheGridLacksTheFocus) {
  Grid->SetOptions(Grid->Options() - TGridOptions{goRangeSelect});
  Grid->SetCol(2);
  Grid->SetRow(2);
  auto current = [&] {
    Grid->Invalidate();
    Application->ProcessMessages();
    TRect r = Grid->CellRect(2, 2);
    return Pixel(Grid, r.Left + 10, r.Top + 10).rgb() & 0xFFFFFF;
  };
  ASSERT_TRUE(Grid->Focused());
  EXPECT_EQ(current(), 0xFFFFFFu) << "a focused grid shows the focus, not the selection colour";
  auto* other = Add<TEdit>(TRect{0, 210, 100, 231});
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(current(), 0x0A246Au) << "without the focus the current cell is shown selected";
  Grid->SetOptions(Grid->Options() + TGridOptions{goDrawFocusSelected});
  Grid->SetFocus();
  EXPECT_EQ(current(), 0x0A246Au) << "drawn selected when the options ask for it";
}

}  // namespace
