// The grid's layout pass, geometry, title tree, style colours and painting, driven on a shown
// grid over an in-memory table; paintings are read back at probe pixels and kept as PNG
// files under screenshots/ when a test fails.
#include "DBGridFixture.h"
#include "grid/DBGridEhStyle.h"
#include "gui/WinScroll.h"

#include <filesystem>

namespace {

class LayoutGrid : public DBGridFixture, public TPaintSurface {
protected:
  void SetUp() override {
    DBGridFixture::SetUp();
    Grid->SetBorderStyle(bsNone);
  }
  void TearDown() override {
    if (HasFailure() && Bitmap) {
      std::filesystem::create_directories("screenshots");
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      Bitmap->SaveToPngFile(String("screenshots/layout_") + info->name() + ".png");
    }
    DBGridFixture::TearDown();
  }
  // The grid's pixels as it paints them now.
  void Snap() {
    Application->ProcessMessages();
    Reset(Grid->Width(), Grid->Height());
    Grid->PaintTo(Canvas(), 0, 0);
  }
  void Columns(std::initializer_list<const char*> Fields) {
    TDBGridEhLayoutLock lock(Grid);
    for (const char* f : Fields) AddColumn(f);
  }
  int LineHeight(TFont* Font) {
    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->Font()->Assign(Font);
    TEXTMETRIC tm;
    GetTextMetrics(b.Canvas()->Handle(), &tm);
    return tm.tmHeight + tm.tmExternalLeading;
  }
  int TextHeight(TFont* Font) {
    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->Font()->Assign(Font);
    return b.Canvas()->TextHeight("Wg");
  }
  bool Dark(COLORREF C) { return GetRValue(C) < 100 && GetGValue(C) < 100 && GetBValue(C) < 100; }
  TRect Cell(int Col, int Row) { return Grid->CellRect(Col, Row); }
};

// ================================================================ cell types

TEST_F(LayoutGrid, CellTypesWithTwoFootersAndNeitherTitlesNorIndicator) {
  Columns({"Code", "Amount"});
  Grid->SetOptions(Grid->Options() - TDBGridOptions{dgTitles, dgIndicator});
  Grid->SetFooterRowCount(2);
  Application->ProcessMessages();
  int n = Grid->RowCount();
  ASSERT_GE(n, 5);
  struct Case {
    int Row, Area, DataRow;
  };
  std::vector<Case> cases;
  for (int r = 0; r <= n - 4; ++r) cases.push_back({r, TCustomDBGridEh::raData, r});
  cases.push_back({n - 3, TCustomDBGridEh::raFiller, 0});
  cases.push_back({n - 2, TCustomDBGridEh::raFooter, 1});
  cases.push_back({n - 1, TCustomDBGridEh::raFooter, 2});
  for (const Case& c : cases) {
    int dc = -1, dr = -1;
    int type = Grid->GetCellType(1, c.Row, dc, dr);
    EXPECT_EQ(type >> 8, c.Area) << "row " << c.Row;
    EXPECT_EQ(type & 0xFF, TCustomDBGridEh::caData);
    EXPECT_EQ(dr, c.DataRow) << "row " << c.Row;
    EXPECT_EQ(dc, 1);
  }
  int dc, dr;
  try {
    Grid->GetCellType(0, -1, dc, dr);
    FAIL() << "row -1 has no area";
  } catch (Exception& E) {
    EXPECT_EQ(E.Message(), "Algorithm error in TCustomDBGridEh.GetCellType");
  }
  EXPECT_EQ(Grid->DataRowCount(), n - 3);
}

// ================================================================ rows

TEST_F(LayoutGrid, RowLinesAndFitToTextGiveTheRowHeight) {
  Columns({"Code"});
  Grid->SetRowLines(2);
  EXPECT_EQ(Grid->DefaultRowHeight(), 2 * LineHeight(Grid->Font())) << "two font lines";
  Grid->SetRowLines(0);
  int rowBase = 3 + Grid->GridLineWidth();
  EXPECT_EQ(Grid->DefaultRowHeight(), TextHeight(Grid->Font()) + rowBase) << "one text height and the row base";
  Grid->SetOptionsEh(Grid->OptionsEh() + TDBGridEhOptions{dghFitRowHeightToText});
  Grid->SetRowHeight(4);
  EXPECT_EQ(Grid->RowHeight(), rowBase) << "the extra pixels become the row base";
  EXPECT_EQ(Grid->RowLines(), 1) << "no line fits above the base: rounded up to one";
  EXPECT_EQ(Grid->DefaultRowHeight(), rowBase + LineHeight(Grid->Font()));
  int title = Grid->RowHeights(0);
  {
    TDBGridEhLayoutLock lock(Grid);  // the fit set RowLines: both change at once
    Grid->SetRowLines(0);
    Grid->SetRowHeight(rowBase + 2 * TextHeight(Grid->Font()) + 2);
  }
  EXPECT_EQ(Grid->RowLines(), 2) << "a small remainder rounds down";
  EXPECT_EQ(Grid->RowHeights(0), title) << "the title row keeps its height";
}

TEST_F(LayoutGrid, AnEmptyDatasetShowsOneRowAndTheFooterAtTheBottom) {
  Columns({"Code", "Amount"});
  Grid->Columns()->Items(1)->Footer()->SetValueType(fvtStaticText);
  Grid->Columns()->Items(1)->Footer()->SetValue("合计");
  Grid->SetFooterRowCount(1);
  DS->First();
  while (!DS->IsEmpty()) DS->Delete();
  Application->ProcessMessages();
  int top = Grid->TopDataOffset();
  ASSERT_EQ(Grid->RowCount(), top + 3) << "one empty row, the filler and the footer";
  int line = Grid->GridLineWidth();
  TRect footer = Cell(2, top + 2);
  EXPECT_EQ(footer.Bottom + line, Grid->ClientHeight()) << "the filler takes the rest: the footer ends at the bottom";
  EXPECT_GT(Grid->RowHeights(top + 1), Grid->DefaultRowHeight());
  Snap();
  EXPECT_FALSE(IsRectEmpty(InkBox(footer))) << "the footer shows its text";
}

// ================================================================ auto-fit

class AutoFitGrid : public LayoutGrid {
protected:
  void SetUp() override {
    LayoutGrid::SetUp();
    Grid->SetOptions(Grid->Options() - TDBGridOptions{dgIndicator, dgColLines});
    Grid->VertScrollBar()->SetVisible(false);
    Grid->SetWidth(397);
    {
      TDBGridEhLayoutLock lock(Grid);
      AddColumn("Code")->SetWidth(100);
      AddColumn("Amount")->SetWidth(100);
      AddColumn("Qty")->SetWidth(200);
    }
  }
  std::vector<int> Widths() {
    std::vector<int> w;
    for (int i = 0; i < 3; ++i) w.push_back(Grid->Columns()->Items(i)->Width());
    return w;
  }
};

TEST_F(AutoFitGrid, WidthsShareTheRoomAndALimitedColumnKeepsItsLimit) {
  ASSERT_EQ(Grid->ClientWidth(), 397);
  Grid->SetAutoFitColWidths(true);
  EXPECT_EQ(Widths(), (std::vector<int>{99, 99, 199})) << "the remainder goes to the rightmost";
  EXPECT_EQ(Grid->ScrollBars(), ssNone) << "no horizontal bar under auto-fit";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Grid->ColWidths(i), Widths()[i]);
  {
    TDBGridEhLayoutLock lock(Grid);
    Grid->Columns()->Items(0)->SetMaxWidth(80);
    // The shares stay 100/100/200; only the limit is new.
    for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->SetInitialWidth(i == 2 ? 200 : 100);
  }
  EXPECT_EQ(Widths(), (std::vector<int>{80, 105, 212}));
  Grid->SetAutoFitColWidths(false);
  EXPECT_EQ(Grid->ScrollBars(), ssHorizontal);
}

TEST_F(AutoFitGrid, WideningAColumnNarrowsTheRightPartOrOnlyItsNeighbour) {
  for (bool whole : {true, false}) {
    Grid->SetAutoFitColWidths(false);
    {
      TDBGridEhLayoutLock lock(Grid);
      for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->SetWidth(i == 2 ? 200 : 100);
    }
    TDBGridEhOptions eh = Grid->OptionsEh() - TDBGridEhOptions{dghResizeWholeRightPart};
    if (whole) eh += dghResizeWholeRightPart;
    Grid->SetOptionsEh(eh);
    Grid->SetAutoFitColWidths(true);
    std::vector<int> before = Widths();
    Grid->SetColWidths(0, before[0] + 60);  // the user drags the first column's edge
    std::vector<int> after = Widths();
    EXPECT_GT(after[0], before[0] + 40) << whole;
    EXPECT_EQ(after[0] + after[1] + after[2], 397) << "the fit still fills the room";
    if (whole) {
      EXPECT_NEAR(after[2], 2 * after[1], 2) << "the right part keeps its 1:2";
    } else {
      EXPECT_NEAR(after[2], before[2], 1) << "only the neighbour yields (the rightmost takes the rounding)";
      EXPECT_LT(after[1], before[1]);
    }
  }
}

// ================================================================ the vertical bar

TEST_F(LayoutGrid, TheVerticalBarCountsRecordsOrShowsThreePositions) {
  Columns({"Code"});
  Application->ProcessMessages();
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  DS->SetRecNo(3);
  Grid->RefreshVertScrollBar();
  ASSERT_TRUE(GetScrollInfo(Grid->Handle(), SB_VERT, &si));
  int page = Grid->VisibleDataRowCount();
  EXPECT_EQ(si.nMin, 1);
  EXPECT_EQ(si.nMax, 12 + page - 1);
  EXPECT_EQ(int(si.nPage), page);
  EXPECT_EQ(si.nPos, 3);

  DS->SetSequenced(false);
  struct Case {
    std::function<void()> Move;
    int Pos;
  };
  const Case cases[] = {{[&] { DS->First(); }, 0}, {[&] { DS->Last(); }, 4}, {[&] { DS->First(); DS->Next(); }, 2}};
  for (const Case& c : cases) {
    c.Move();
    Grid->RefreshVertScrollBar();
    GetScrollInfo(Grid->Handle(), SB_VERT, &si);
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 4);
    EXPECT_EQ(si.nPos, c.Pos);
  }
}

// ================================================================ the title tree

std::vector<THeadTreeNode*> Kids(THeadTreeNode* N) { return N->Children(); }

TEST_F(LayoutGrid, TitleTreesGroupAdjacentCaptions) {
  Columns({"Code", "Amount", "Qty"});
  auto captions = [&](std::initializer_list<const char*> Texts) {
    int i = 0;
    for (const char* t : Texts) Grid->Columns()->Items(i++)->Title()->SetCaption(t);
    Grid->SetUseMultiTitle(true);
    Grid->RebuildLayout();
    return Grid->HeadTree();
  };
  THeadTreeNode* root = captions({"A|B|x", "A|B|y", "A|z"});
  ASSERT_EQ(Kids(root).size(), 1u);
  THeadTreeNode* a = Kids(root)[0];
  EXPECT_EQ(a->NodeText, "A");
  ASSERT_EQ(Kids(a).size(), 2u);
  EXPECT_EQ(Kids(a)[0]->NodeText, "B");
  EXPECT_EQ(Kids(Kids(a)[0])[0]->NodeText, "x");
  EXPECT_EQ(Kids(Kids(a)[0])[1]->NodeText, "y");
  EXPECT_EQ(Kids(a)[1]->NodeText, "z");
  EXPECT_EQ(Kids(a)[1]->LeafColumn, Grid->Columns()->Items(2));
  int w0 = Grid->Columns()->Items(0)->Width(), w1 = Grid->Columns()->Items(1)->Width();
  EXPECT_EQ(Kids(a)[0]->NodeWidth, w0 + 1 + w1) << "a band spans its columns and the line between";

  root = captions({"A|x", "B|y", "A|z"});
  ASSERT_EQ(Kids(root).size(), 3u) << "only adjacent columns merge";
  EXPECT_EQ(Kids(root)[2]->NodeText, "A");

  root = captions({"A||x", "q", "r"});
  ASSERT_EQ(Kids(root).size(), 3u);
  EXPECT_EQ(Kids(root)[0]->NodeText, "A");
  EXPECT_EQ(Kids(Kids(root)[0])[0]->NodeText, "x") << "empty parts are skipped";
  EXPECT_GT(Grid->RowHeights(0), 20) << "the title row holds the band and the leaves";
}

TEST(HeadTreeNode, HiddenLeavesMeasureNothingAndBadNodesRaise) {
  THeadTreeNode root("Root", 0, 10);
  THeadTreeNode* hidden = root.AppendChild(&root, "h", -1, 30);
  THeadTreeNode* shown = root.AppendChild(&root, "s", 50, 30);
  int measured = 0;
  int total = THeadTreeNode::CalcTitleBandHeights(&root, [&](THeadTreeNode*) { return ++measured, 17; });
  EXPECT_EQ(total, 17);
  EXPECT_EQ(measured, 1) << "a leaf without width is not measured";
  (void)hidden;
  (void)shown;
  THeadTreeNode other;
  struct Case {
    std::function<void()> Call;
    const char* Message;
  };
  const Case cases[] = {
      {[&] { root.AddSibling(&other, "x", 1, 1); }, "Node not in Tree"},
      {[&] { root.AppendChild(&other, "x", 1, 1); }, "Node not in Tree"},
      {[&] { root.GroupRange(shown, &other, 20, "g"); }, "ATo not in level"},
  };
  for (const Case& c : cases) {
    try {
      c.Call();
      ADD_FAILURE() << c.Message;
    } catch (Exception& E) {
      EXPECT_EQ(E.Message(), c.Message);
    }
  }
  THeadTreeNode* g = root.GroupRange(hidden, shown, 20, "g");
  EXPECT_EQ(root.FirstChild, g);
  EXPECT_EQ(g->NextInRing, g);
  EXPECT_EQ(shown->NodeHeight, 17 - 20) << "a grouped node gives the band its height";
  EXPECT_EQ(shown->ParentNode, g);
  EXPECT_EQ(shown->AncestorCount(), 2);
}

// ================================================================ style colours

TEST(GridStyle, BlendHighlightColourRoundsHalvesToEven) {
  EnsureGridTestApplication();
  TDBGridEhStyle style;
  EXPECT_EQ(ColorToRGB(style.BlendHighlightColor(clWhite, TColor(RGB(10, 36, 106)), false)), RGB(188, 193, 207));
  EXPECT_EQ(ColorToRGB(style.BlendHighlightColor(clWhite, TColor(RGB(10, 36, 106)), true)), RGB(204, 211, 228));
  EXPECT_EQ(style.ScreenColorCount(), -1);
  SendMessage(style.Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(style.ScreenColorCount(), -1);
}

TEST_F(LayoutGrid, GridsAttachToTheSharedStyleAndLeaveIt) {
  TDBGridEhStyle* shared = SharedGridStyle();
  ASSERT_TRUE(shared);
  EXPECT_TRUE(shared->IsGridAttached(Grid));
  auto* own = new TDBGridEhStyle();
  Grid->SetStyle(own);
  EXPECT_FALSE(shared->IsGridAttached(Grid));
  delete own;
  EXPECT_EQ(Grid->Style(), nullptr) << "a freed style leaves no dangling grid";
  auto* other = new TDBGridEh(Form);
  EXPECT_TRUE(shared->IsGridAttached(other));
  delete other;
  EXPECT_FALSE(shared->IsGridAttached(other));
}

}  // namespace
