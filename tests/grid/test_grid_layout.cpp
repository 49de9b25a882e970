// The grid's layout pass, geometry, title tree, style colours and painting, driven on a shown
// grid over an in-memory table; paintings are read back at probe pixels and kept as PNG
// files under screenshots/ when a test fails.
#include "GridLayoutFixture.h"
#include "grid/DBGridEhStyle.h"
#include "gui/WinScroll.h"

namespace {

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

TEST_F(LayoutGrid, AxisDrawInformationWithFrozenColumnsAndFooters) {
  Columns({"Code", "Amount", "Qty"});
  for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->SetWidth(50 + 10 * i);
  Grid->SetFrozenCols(1);
  Grid->SetFooterRowCount(1);
  Application->ProcessMessages();
  TCustomDBGridEh::TGridAxesInfoEh info;
  Grid->ComputeDrawInfo(info);
  const auto& h = info.Horz;
  EXPECT_EQ(h.LineWidth, 1);
  EXPECT_EQ(h.FixedCellCount, 2);
  EXPECT_EQ(h.FixedBoundary, Grid->ColWidths(0) + 1 + 50 + 1) << "indicator and frozen column with lines";
  EXPECT_EQ(h.FrozenExtent, 51);
  EXPECT_EQ(h.LastFullVisibleCell, 3);
  EXPECT_EQ(h.FullVisBoundary, h.FixedBoundary + 61 + 71);
  EXPECT_EQ(h.FooterExtent, 0);
  const auto& v = info.Vert;
  EXPECT_EQ(v.FooterExtent, Grid->DefaultRowHeight() + 1) << "the footer row";
  EXPECT_EQ(v.FullVisBoundary, Grid->ClientHeight()) << "the footer ends at the bottom";
  EXPECT_EQ(v.LastFullVisibleCell, Grid->RowCount() - 1);
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

TEST_F(AutoFitGrid, ANewSizeRefitsTheWidthsAndTheRows) {
  Grid->SetAutoFitColWidths(true);
  int rows = Grid->RowCount();
  Grid->SetBounds(0, 0, 497, 200);
  Application->ProcessMessages();
  std::vector<int> w = Widths();
  EXPECT_EQ(w[0] + w[1] + w[2], 497) << "the fit follows the width";
  EXPECT_LT(Grid->RowCount(), rows) << "fewer rows fit";
  Grid->SetBounds(0, 0, 497, 330);
  Application->ProcessMessages();
  EXPECT_EQ(Grid->RowCount(), rows);
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
  int page = Grid->DataLink()->BufferCount();
  EXPECT_GE(page, Grid->VisibleDataRowCount()) << "the rows the client holds";
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

TEST_F(LayoutGrid, AnAlwaysShownBarStaysDisabledAndEditingKeepsItsPosition) {
  Columns({"Code"});
  auto state = [&] {
    SCROLLBARINFO bi;
    GetScrollBarInfo(Grid->Handle(), OBJID_VSCROLL, &bi);
    return bi.rgstate[0];
  };
  DS->SetRecNo(4);
  DS->Edit();
  SCROLLINFO si;
  si.fMask = SIF_POS;
  GetScrollInfo(Grid->Handle(), SB_VERT, &si);
  int pos = si.nPos;
  DS->FieldByName("Code")->SetAsString("X");
  Grid->RefreshVertScrollBar();
  GetScrollInfo(Grid->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, pos) << "unchanged while a record is edited";
  DS->Cancel();
  // The bar moves by records: one record leaves nothing to scroll.
  DS->First();
  for (int i = 0; i < 11; ++i) DS->Delete();
  Grid->VertScrollBar()->SetVisibleMode(sbAutoShowEh);
  Application->ProcessMessages();
  EXPECT_EQ(state(), DWORD(STATE_SYSTEM_INVISIBLE)) << "hidden with nothing to scroll";
  Grid->VertScrollBar()->SetVisibleMode(sbAlwaysShowEh);
  Application->ProcessMessages();
  EXPECT_EQ(state(), DWORD(STATE_SYSTEM_UNAVAILABLE)) << "shown but disabled";
}

TEST_F(LayoutGrid, AnExternalHorizontalBarFollowsTheLeftColumn) {
  Columns({"Code", "Amount", "Qty", "Flag", "Note"});
  auto* bar = new TScrollBar(Form);
  bar->SetParent(Form);
  Grid->HorzScrollBar()->SetExtScrollBar(bar);
  {
    TDBGridEhLayoutLock lock(Grid);
    for (int i = 0; i < 5; ++i) Grid->Columns()->Items(i)->SetWidth(40);
  }
  EXPECT_EQ(bar->Max(), 0) << "every column shows";
  {
    TDBGridEhLayoutLock lock(Grid);
    for (int i = 0; i < 5; ++i) Grid->Columns()->Items(i)->SetWidth(200);
  }
  EXPECT_EQ(bar->Min(), 0);
  EXPECT_EQ(bar->Max(), 127);
  EXPECT_EQ(bar->PageSize(), 5) << "the visible columns";
  EXPECT_EQ(bar->Position(), 0);
  Grid->SetLeftCol(Grid->FixedCols() + 1);
  EXPECT_GT(bar->Position(), 0);
  EXPECT_LE(bar->Position(), 127);
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
  Grid->Columns()->Items(2)->SetVisible(false);
  Grid->RebuildLayout();
  EXPECT_EQ(Grid->LeafOf(2)->NodeWidth, -1) << "a hidden column's leaf, with vertical lines";
}

TEST(HeadTreeNode, HiddenLeavesMeasureNothingAndBadNodesRaise) {
  THeadTreeNode root("Root", 0, 10);
  THeadTreeNode* hidden = root.AppendChild(&root, "h", -1, 30);
  THeadTreeNode* shown = root.AppendChild(&root, "s", 50, 30);
  int measured = 0;
  int total = THeadTreeNode::CalcTitleBandHeights(&root, [&](THeadTreeNode*) { return ++measured, 17; });
  EXPECT_EQ(total, 17);
  EXPECT_EQ(measured, 1) << "a leaf without width is not measured";
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

namespace {

// ================================================================ painting

TEST_F(PaintGrid, FooterSumsShowRightAlignedAndFollowAPost) {
  Table({{"Code", ftString}, {"Amount", ftFloat}},
        {{Variant("a"), Variant(1.5)}, {Variant("b"), Null()}, {Variant("c"), Variant(2.25)}});
  Columns({"Code", "Amount"});
  Col(1)->Footer()->SetValueType(fvtSum);
  Col(1)->Footer()->SetDisplayFormat("0.00");
  Col(1)->Footer()->SetAlignment(taRightJustify);
  Grid->SetFooterRowCount(1);
  Grid->SumList()->SetActive(true);
  ASSERT_EQ(Grid->GetFooterText(0, Col(1)), "3.75");
  Snap();
  int footerRow = Grid->RowCount() - 1, fillerRow = footerRow - 1;
  TRect footer = Cell(2, footerRow);
  TRect ink = InkBox(Inner(footer, 1));
  ASSERT_FALSE(IsRectEmpty(ink)) << "the sum is written";
  EXPECT_GE(ink.Right, footer.Right - 5) << "right-aligned";
  EXPECT_TRUE(IsRectEmpty(InkBox(Inner(Cell(2, fillerRow), 1)))) << "nothing in the filler";
  int before = ink.Width();
  T->SetRecNo(2);
  T->Edit();
  T->FieldByName("Amount")->SetAsFloat(10);
  T->Post();
  ASSERT_EQ(Grid->GetFooterText(0, Col(1)), "13.75");
  Snap();
  EXPECT_GT(InkBox(Inner(footer, 1)).Width(), before) << "the wider 13.75";
}

TEST_F(PaintGrid, AFooterOnAnUnknownFieldShowsAnEmptyCell) {
  Columns({"Code", "Amount"});
  Col(1)->Footer()->SetValueType(fvtFieldValue);
  Col(1)->Footer()->SetFieldName("NoSuchField");
  Grid->SetFooterRowCount(1);
  EXPECT_EQ(Grid->GetFooterText(0, Col(1)), "");
  Snap();
  EXPECT_TRUE(IsRectEmpty(InkBox(Inner(Cell(2, Grid->RowCount() - 1), 1))));
}

TEST_F(PaintGrid, SortMarkersAndTheirIndices) {
  Columns({"Code", "Amount", "Qty"});
  for (int i = 0; i < 3; ++i) {
    Col(i)->Title()->SetCaption("");
    Col(i)->SetWidth(60);
  }
  Grid->SetOptionsEh(Grid->OptionsEh() + TDBGridEhOptions{dghMultiSortMarking});
  Col(0)->Title()->SetSortMarker(smDownEh);
  Snap();
  TRect t0 = Cell(1, 0);
  TRect ink = InkBox(Inner(t0, 2));
  ASSERT_FALSE(IsRectEmpty(ink)) << "one marked column shows its marker";
  EXPECT_GE(ink.Left, t0.Right - 16) << "in the right 16 pixels";
  int markerOnlyRight = ink.Right;
  Col(1)->Title()->SetSortMarker(smUpEh);
  Snap();
  ink = InkBox(Inner(t0, 1));
  EXPECT_GT(ink.Right, markerOnlyRight) << "two marked columns write their indices beside the markers";
  EXPECT_FALSE(IsRectEmpty(InkBox(Inner(Cell(2, 0), 1))));
  Col(1)->Title()->SetSortMarker(smNoneEh);
  Col(0)->SetWidth(12);
  Snap();
  EXPECT_TRUE(IsRectEmpty(InkBox(Inner(Cell(1, 0), 1)))) << "a title narrower than the marker shows none";
}

TEST_F(PaintGrid, CheckBoxesShowTheValueAndImagesTheKeysPicture) {
  Table({{"Done", ftBoolean}, {"Kind", ftInteger}},
        {{Variant(true), Variant(0)}, {Variant(false), Variant(1)}, {Null(), Variant(1)}});
  Columns({"Done", "Kind"});
  Col(0)->SetCheckboxes(true);
  Col(0)->SetWidth(40);
  Col(0)->SetColor(TColor(RGB(255, 255, 200)));  // the box's white edges stand out from the cell
  auto* images = new TImageList(Form);
  images->SetWidth(8);
  images->SetHeight(8);
  for (TColor c : {clRed, clBlue}) {
    TBitmap b;
    b.SetSize(8, 8);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(Rect(0, 0, 8, 8));
    images->Add(&b, nullptr);
  }
  Col(1)->KeyList()->SetText("0\n1");
  Col(1)->SetImageList(images);
  Grid->RebuildLayout();
  ASSERT_EQ(Col(0)->ColumnKind(), ckCheckbox);
  ASSERT_EQ(Col(1)->ColumnKind(), ckImage);
  Snap();
  auto box = [&](int Row) {
    TRect cell = Inner(DataCell(0, Row), 1);  // inside the focus frame
    return BoxWhere(cell, [&](COLORREF c) { return c != Fill(cell); });
  };
  for (int r = 0; r < 3; ++r) {
    TRect b = box(r), cell = DataCell(0, r);
    EXPECT_EQ(b.Width(), 13) << "row " << r;
    EXPECT_NEAR((b.Left + b.Right) / 2, (cell.Left + cell.Right) / 2, 1) << "centred";
  }
  auto markIn = [&](int Row, COLORREF C) { return CountColour(Inner(box(Row), 3), C); };
  EXPECT_GT(markIn(0, RGB(0, 0, 0)), 3) << "True is marked";
  EXPECT_EQ(markIn(1, RGB(0, 0, 0)), 0) << "False is not";
  EXPECT_EQ(markIn(2, RGB(0, 0, 0)), 0) << "Null is grayed, not black";
  EXPECT_GT(CountWhere(Inner(box(2), 3), [](COLORREF c) { return c != RGB(255, 255, 255) && c != RGB(0, 0, 0); }), 3);
  TRect k0 = DataCell(1, 0), k1 = DataCell(1, 1);
  EXPECT_EQ(Pixel((k0.Left + k0.Right) / 2, (k0.Top + k0.Bottom) / 2), RGB(255, 0, 0)) << "key 0's picture";
  EXPECT_EQ(Pixel((k1.Left + k1.Right) / 2, (k1.Top + k1.Bottom) / 2), RGB(0, 0, 255)) << "key 1's picture";
}

TEST_F(PaintGrid, ABandCaptionIsCentredOverItsColumns) {
  Columns({"Code", "Amount", "Qty"});
  Col(0)->Title()->SetCaption("金额|合同");
  Col(1)->Title()->SetCaption("金额|发票");
  Col(2)->Title()->SetCaption("数量");
  Grid->SetUseMultiTitle(true);
  Col(0)->SetWidth(90);  // the band follows a width set afterwards
  Snap();
  THeadTreeNode* leaf = Grid->LeafOf(0);
  ASSERT_TRUE(leaf && leaf->ParentNode && leaf->ParentNode->NodeText == "金额");
  TRect a = Cell(1, 0), b = Cell(2, 0);
  int lineY = a.Bottom - leaf->NodeHeight;  // above the leaf's own band (3-D titles)
  TRect band{a.Left, a.Top, b.Right, lineY};
  TRect ink = InkBox(Inner(band, 2));
  ASSERT_FALSE(IsRectEmpty(ink));
  EXPECT_NEAR((ink.Left + ink.Right) / 2, (a.Left + b.Right) / 2, 2) << "one caption over both cells";
  EXPECT_EQ(CountWhere(TRect{a.Right, band.Top + 3, a.Right + 1, band.Bottom - 3}, [&](COLORREF c) { return Dark(c); }), 0)
      << "no column line through the band";
  EXPECT_TRUE(RowIs(lineY, a.Left + 3, b.Right - 3, RGB(0, 0, 0))) << "one line below the band";
}

TEST_F(PaintGrid, EvenAndOddColoursApplyToPlainColumnsOfSequencedDatasets) {
  Columns({"Code", "Amount"});
  Grid->SetEvenRowColor(TColor(RGB(255, 255, 200)));
  Grid->SetOddRowColor(TColor(RGB(200, 255, 255)));
  Col(1)->SetColor(TColor(RGB(230, 230, 230)));
  DS->SetRecNo(12);  // the current row out of the way of the probes
  DS->First();
  DS->SetRecNo(5);
  Snap();
  // Rows hold records 1, 2, ...: odd records first.
  EXPECT_EQ(Fill(DataCell(0, 0)), RGB(200, 255, 255));
  EXPECT_EQ(Fill(DataCell(0, 1)), RGB(255, 255, 200));
  EXPECT_EQ(Fill(DataCell(1, 0)), RGB(230, 230, 230)) << "a column of its own colour keeps it";
  EXPECT_EQ(Fill(DataCell(1, 1)), RGB(230, 230, 230));
  DS->SetSequenced(false);
  Snap();
  EXPECT_EQ(Fill(DataCell(0, 0)), ColorToRGB(Grid->Color())) << "no record numbers, no alternation";
  EXPECT_EQ(Fill(DataCell(0, 1)), ColorToRGB(Grid->Color()));
}

TEST_F(PaintGrid, SelectedRowsAreBlendedAndTheCurrentCellHighlighted) {
  Columns({"Code", "Amount"});
  Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect});
  Select({2, 3});
  DS->SetRecNo(4);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  Grid->SetFocus();
  Application->ProcessMessages();
  ASSERT_TRUE(Grid->HasInputFocus());
  Snap();
  TRect cur = DataCell(0, 3);
  EXPECT_EQ(Fill(cur), ColorToRGB(clHighlight)) << "the current cell";
  EXPECT_FALSE(IsRectEmpty(BoxWhere(Inner(cur), [](COLORREF c) { return c == RGB(255, 255, 255); })))
      << "white text";
  EXPECT_EQ(Fill(DataCell(0, 1)), RGB(204, 211, 228)) << "another selected row, focused";
  EXPECT_EQ(Fill(DataCell(1, 3)), RGB(204, 211, 228)) << "the current row's other cell";
  EXPECT_EQ(Fill(DataCell(0, 0)), ColorToRGB(Grid->Color())) << "not selected";
  auto* other = new TEdit(Form);
  other->SetParent(Form);
  other->SetFocus();
  Application->ProcessMessages();
  ASSERT_FALSE(Grid->HasInputFocus());
  Snap();
  EXPECT_EQ(Fill(DataCell(0, 1)), RGB(212, 212, 212)) << "another selected row, not focused";
}

TEST_F(PaintGrid, TheIndicatorShowsTheRecordState) {
  Columns({"Code"});
  Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect});
  DS->SetRecNo(1);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  DS->SetRecNo(3);
  Snap();
  TRect cur = Cell(0, Grid->TopDataOffset() + 2);
  TRect browse = InkBox(cur);
  ASSERT_FALSE(IsRectEmpty(browse)) << "the arrow on the current row";
  EXPECT_LE(browse.Right, cur.Right - 1);
  EXPECT_TRUE(IsRectEmpty(InkBox(Cell(0, Grid->TopDataOffset() + 1)))) << "no picture on another row";
  TRect sel = Cell(0, Grid->TopDataOffset());
  TRect selIn = Inner(sel, 1);  // inside the 3-D frame
  EXPECT_EQ(CountColour(selIn, RGB(64, 64, 64)), selIn.Width() * selIn.Height()) << "a selected row: dark grey only";
  std::vector<COLORREF> arrow;
  for (int y = cur.Top; y < cur.Bottom; ++y)
    for (int x = cur.Left; x < cur.Right; ++x) arrow.push_back(Pixel(x, y));
  DS->Edit();
  Snap();
  std::vector<COLORREF> edit;
  for (int y = cur.Top; y < cur.Bottom; ++y)
    for (int x = cur.Left; x < cur.Right; ++x) edit.push_back(Pixel(x, y));
  EXPECT_NE(arrow, edit) << "editing shows another picture";
  EXPECT_FALSE(IsRectEmpty(InkBox(cur)));
  DS->Cancel();
}

TEST_F(PaintGrid, FrozenColumnsStayWhileTheRestScrolls) {
  Columns({"Code", "Amount", "Qty", "Flag", "Note"});
  for (int i = 0; i < 5; ++i) Col(i)->SetWidth(150);
  Grid->SetFrozenCols(1);
  EXPECT_EQ(Grid->FixedCols(), 2);
  TRect frozen = Cell(1, 1);
  Grid->SetLeftCol(Grid->FixedCols() + 2);
  Snap();
  EXPECT_EQ(Cell(1, 1), frozen) << "the frozen column stays";
  EXPECT_EQ(Grid->MouseCoord(frozen.Right + 5, frozen.Top + 2).X, 4) << "then the 4th column";
  EXPECT_FALSE(IsRectEmpty(InkBox(Inner(frozen, 1)))) << "still showing its text";
  Grid->MoveToColumn(1);
  EXPECT_EQ(Grid->Col(), 1) << "the current cell goes into the frozen column";
  int passes = Grid->Passes;
  Grid->SetFrozenCols(1);
  EXPECT_EQ(Grid->Col(), 1) << "and stays there through a layout pass";
  EXPECT_GT(Grid->Passes, passes) << "the same count lays the grid out again";
  Grid->SetFrozenCols(-3);
  EXPECT_EQ(Grid->FixedCols(), 1) << "a negative count freezes nothing";
}

TEST_F(PaintGrid, LineColoursFollowTheAreaAndTheStyle) {
  Columns({"Code", "Amount"});
  DS->SetRecNo(12);
  struct Case {
    const char* Name;
    std::function<void()> Setup;
    COLORREF Fixed, Data;
  };
  const Case cases[] = {
      {"classic", [] {}, RGB(0, 0, 0), ColorToRGB(clSilver)},
      {"flat", [&] { Grid->SetFlat(true); }, ColorToRGB(clBtnShadow), ColorToRGB(clSilver)},
      {"silver grid", [&] { Grid->SetColor(clSilver); }, ColorToRGB(clBtnShadow), ColorToRGB(clGray)},
  };
  for (const Case& c : cases) {
    c.Setup();
    Snap();
    TRect title = Cell(1, 0), data = DataCell(0, 1);
    EXPECT_EQ(Pixel(title.Right, (title.Top + title.Bottom) / 2), c.Fixed) << c.Name << ": between titles";
    EXPECT_EQ(Pixel(data.Right, (data.Top + data.Bottom) / 2), c.Data) << c.Name << ": between data cells";
    EXPECT_EQ(Pixel((data.Left + data.Right) / 2, data.Bottom), c.Data) << c.Name << ": below a data row";
  }
}

TEST_F(PaintGrid, OptimalWidthsFitTitleCellsAndFootersAndNeedAnActiveLink) {
  Columns({"Code", "Amount"});
  Col(0)->SetWidth(5);
  Col(1)->SetWidth(5);
  Col(1)->Title()->SetCaption("A");
  Col(1)->Footer()->SetValueType(fvtStaticText);
  Col(1)->Footer()->SetValue("一个很长的合计说明");
  Grid->SetFooterRowCount(1);
  DS->SetRecNo(7);
  TBitmap b;
  b.SetSize(4, 4);
  b.Canvas()->Font()->Assign(Col(0)->Font());
  int code = b.Canvas()->TextWidth("R12") + 4;
  b.Canvas()->Font()->Assign(Col(1)->Footer()->Font());
  int footer = b.Canvas()->TextWidth("一个很长的合计说明") + 5;
  Col(0)->OptimizeWidth();
  Col(1)->OptimizeWidth();
  EXPECT_GE(Col(0)->Width(), code) << "the widest cell text";
  EXPECT_LE(Col(0)->Width(), code + 8);
  EXPECT_EQ(Col(1)->Width(), footer) << "the footer is the widest";
  EXPECT_EQ(DS->RecNo(), 7) << "the position comes back";
  DS->Close();
  Col(0)->SetWidth(5);
  Col(0)->OptimizeWidth();
  EXPECT_EQ(Col(0)->Width(), 5) << "an inactive link changes nothing";
}

TEST_F(PaintGrid, AFrozenColumnIsSizedFromAZoneAroundItsRightEdge) {
  Columns({"Code", "Amount", "Qty"});
  Grid->SetFrozenCols(1);
  TRect r = Cell(1, 0);
  struct Case {
    int X, Y;
    TGridState State;
    int Index;
  };
  // Line width 1: d = 3, the zone is 7 pixels from 3 left of the edge.
  const Case cases[] = {{r.Right - 3, r.Top + 2, gsColSizing, 1}, {r.Right + 3, r.Top + 2, gsColSizing, 1},
                        {r.Right - 4, r.Top + 2, gsNormal, -1}, {r.Right - 2, Cell(1, 1).Top + 2, gsNormal, -1}};
  for (const Case& c : cases) {
    TGridState state = gsNormal;
    int index = -1, pos = 0, ofs = 0;
    Grid->CalcSizingState(c.X, c.Y, state, index, pos, ofs);
    EXPECT_EQ(state, c.State) << c.X << "," << c.Y;
    if (c.State == gsColSizing) {
      EXPECT_EQ(index, c.Index);
      EXPECT_EQ(pos, r.Right);
    }
  }
  Grid->SetRowSizingAllowed(true);
  TGridState state = gsNormal;
  int index = -1, pos = 0, ofs = 0;
  TRect d = DataCell(1, 0);
  Grid->CalcSizingState(d.Left + 5, d.Bottom, state, index, pos, ofs);
  EXPECT_NE(state, gsRowSizing) << "rows are sized on the indicator only";
}

TEST_F(PaintGrid, AlwaysShownButtonsTakeTheRightOfTheCell) {
  Columns({"Code", "Amount"});
  Col(1)->SetWidth(120);
  Col(1)->SetAlwaysShowEditButton(true);
  Col(1)->SetButtonStyle(cbsEllipsis);
  DS->SetRecNo(12);
  Snap();
  TRect cell = DataCell(1, 0);
  int bw = Grid->EditButtonWidth();
  ASSERT_GT(bw, 0);
  TRect button{cell.Right - bw, cell.Top, cell.Right, cell.Bottom};
  EXPECT_GT(CountColour(button, ColorToRGB(clBtnFace)), bw) << "a button face";
  TRect ink = InkBox(Inner(TRect{cell.Left, cell.Top, cell.Right - bw, cell.Bottom}, 1));
  ASSERT_FALSE(IsRectEmpty(ink));
  EXPECT_LE(ink.Right, cell.Right - bw) << "the right-aligned number stays left of the button";
}

TEST_F(PaintGrid, DuplicatesAreHiddenBelowTheFirstAndDefaultDrawingServesHandlers) {
  Table({{"Kind", ftString}, {"Amount", ftFloat}},
        {{Variant("甲"), Variant(1.0)}, {Variant("甲"), Variant(2.0)}, {Variant("乙"), Variant(3.0)}});
  Columns({"Kind", "Amount"});
  Col(0)->SetHideDuplicates(true);
  T->Last();
  Snap();
  EXPECT_FALSE(IsRectEmpty(InkBox(Inner(DataCell(0, 0)))));
  EXPECT_TRUE(IsRectEmpty(InkBox(Inner(DataCell(0, 1))))) << "the same text as above is hidden";
  EXPECT_FALSE(IsRectEmpty(InkBox(Inner(DataCell(0, 2)))));
  Col(0)->SetHideDuplicates(false);
  Grid->SetDefaultDrawing(false);
  Grid->OnDrawColumnCell = TDrawColumnEhCellEvent::Lambda(
      [this](TObject*, const TRect& R, int DataCol, TColumnEh* Column, TGridDrawState State) {
        if (DataCol != 1) return;
        Grid->Canvas()->Brush()->SetColor(clYellow);
        Grid->DrawColumnCellDefault(R, DataCol, Column, State);
      });
  Snap();
  EXPECT_EQ(Fill(DataCell(1, 0)), RGB(255, 255, 0)) << "the handler's colour";
  EXPECT_FALSE(IsRectEmpty(InkBox(Inner(DataCell(1, 0))))) << "and the standard text";
  EXPECT_TRUE(IsRectEmpty(InkBox(Inner(DataCell(0, 0))))) << "no default drawing elsewhere";
}

TEST_F(PaintGrid, WithoutAStyleFixedAndDataCellsUseThePlainColours) {
  Columns({"Code", "Amount"});
  Grid->SetStyle(nullptr);
  auto* other = new TEdit(Form);
  other->SetParent(Form);
  other->SetFocus();
  Application->ProcessMessages();
  ASSERT_FALSE(Grid->HasInputFocus());
  TFont font;
  struct Case {
    int Type;
    bool Highlighted;
    COLORREF Expect;
  };
  using G = TCustomDBGridEh;
  const Case cases[] = {{G::CellArea(G::caIndicator, G::raData), true, RGB(64, 64, 64)},
                        {G::CellArea(G::caData, G::raTitle), true, RGB(64, 64, 64)},
                        {G::CellArea(G::caData, G::raFooter), true, ColorToRGB(clBtnFace)},
                        {G::CellArea(G::caIndicator, G::raFiller), false, ColorToRGB(clWindow)}};
  for (const Case& c : cases) {
    TColor back = clWindow;
    EXPECT_EQ(Grid->GetFixedCellColors(0, 0, &font, back, c.Highlighted, c.Type), c.Highlighted);
    EXPECT_EQ(ColorToRGB(back), c.Expect) << c.Type;
  }
  Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect});
  Select({2});
  DS->SetRecNo(5);
  Snap();
  EXPECT_EQ(Fill(DataCell(0, 1)), ColorToRGB(clBtnFace)) << "a selected row of an unfocused grid";
}

TEST_F(PaintGrid, TitleButtonsAndDatasetFields) {
  Columns({"Code", "Amount"});
  bool enabled = true;
  Grid->CheckTitleButton(5, enabled);
  EXPECT_FALSE(enabled) << "outside the columns";
  Grid->OnCheckButton = TCheckTitleEhBtnEvent::Lambda([](TObject*, int ACol, TColumnEh*, bool& E) { E = ACol == 1; });
  for (int col : {0, 1}) {
    enabled = true;
    Grid->CheckTitleButton(col, enabled);
    EXPECT_EQ(enabled, col == 1);
  }
  TColumnEh* clicked = nullptr;
  Grid->OnTitleBtnClick = TTitleEhClickEvent::Lambda([&](TObject*, int, TColumnEh* C) { clicked = C; });
  Grid->TitleButtonClicked(2, Col(1));
  EXPECT_EQ(clicked, Col(1));
  std::vector<TField*> fields;
  Grid->CollectDataSetFields(fields);
  ASSERT_EQ(fields.size(), 5u);
  EXPECT_EQ(fields[0]->FieldName(), "Code");
  EXPECT_EQ(fields[4]->FieldName(), "Note");
}

TEST_F(PaintGrid, TitleImagesReplaceTheCaptionAndVerticalTitlesStandUp) {
  Columns({"Code", "Amount"});
  auto* images = new TImageList(Form);
  images->SetWidth(10);
  images->SetHeight(10);
  TBitmap b;
  b.SetSize(10, 10);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(Rect(0, 0, 10, 10));
  images->Add(&b, nullptr);
  Grid->SetTitleImages(images);
  Col(0)->Title()->SetImageIndex(0);
  Col(1)->Title()->SetCaption("竖排标题");
  Col(1)->Title()->SetOrientation(tohVertical);
  Grid->SetTitleHeight(60);
  Snap();
  TRect t0 = Cell(1, 0), t1 = Cell(2, 0);
  EXPECT_EQ(CountColour(t0, RGB(255, 0, 0)), 100) << "the whole picture";
  EXPECT_TRUE(IsRectEmpty(InkBox(Inner(t0)))) << "no caption beside it";
  TRect ink = InkBox(Inner(t1));
  ASSERT_FALSE(IsRectEmpty(ink));
  EXPECT_GT(ink.Height(), 2 * ink.Width()) << "written upwards";
}

TEST_F(PaintGrid, WithoutDefaultDrawingTheRequiredMarkStillShows) {
  Columns({"Code", "Amount"});
  Col(0)->SetHighlightRequired(true);
  DS->FieldByName("Code")->SetRequired(true);
  Grid->SetDefaultDrawing(false);
  DS->Last();
  DS->Append();
  Application->ProcessMessages();
  Snap();
  int row = Grid->DataLink()->ActiveRecord();
  TRect cell = DataCell(0, row);
  EXPECT_GT(CountColour(TRect{cell.Left, cell.Bottom - 1, cell.Right, cell.Bottom}, RGB(255, 0, 0)), 3)
      << "a red dotted line one pixel above the bottom";
  EXPECT_TRUE(IsRectEmpty(InkBox(Inner(DataCell(0, 0), 1)))) << "no text drawn";
  DS->Cancel();
}

}  // namespace
