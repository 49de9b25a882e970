// How the grid paints cells beyond their plain content: 3-D frames by area and option, a held
// title, narrow sort-marked titles, the incremental-search overlay, hidden duplicates, and the
// rows a dataset scroll or a footer change repaints.
#include "GridLayoutFixture.h"
#include "grid/DBGridEhStyle.h"
#include "grid/GridUtilsEh.h"
#include "gui/QtBridge_p.h"

#include <functional>

namespace {

// The client pixels the grid's window holds now.
class WindowPixels : public TPaintSurface {
public:
  explicit WindowPixels(TWinControl* Control) {
    Reset(Control->ClientWidth(), Control->ClientHeight());
    HDC dc = GetDC(Control->Handle());
    BitBlt(DC(), 0, 0, Control->ClientWidth(), Control->ClientHeight(), dc, 0, 0, SRCCOPY);
    ReleaseDC(Control->Handle(), dc);
  }
};

bool Yellow(COLORREF C) { return C == RGB(255, 255, 0); }

// ================================================================ 3-D frames

TEST_F(LayoutGrid, ThreeDFramesFollowTheAreaAndTheOptions) {
  Columns({"Code", "Amount", "Qty"});
  Grid->SetFrozenCols(1);
  Grid->SetFooterRowCount(1);
  Application->ProcessMessages();
  int n = Grid->RowCount();
  const int data = Grid->TopDataOffset(), filler = n - 2, footer = n - 1;
  const int indicator = 0, frozen = 1, scrolling = 2;
  using O = TDBGridEhOptions;
  struct Case {
    const char* Name;
    O Options;
    int Col, Row;
    bool Framed;
  };
  const Case cases[] = {
      {"fixed: indicator", O{dghFixed3D}, indicator, data, true},
      {"fixed: title", O{dghFixed3D}, scrolling, 0, true},
      {"fixed: indicator of the filler", O{dghFixed3D}, indicator, filler, false},
      {"fixed: a frozen data cell", O{dghFixed3D}, frozen, data, false},
      {"fixed: a data cell", O{dghFixed3D}, scrolling, data, false},
      {"fixed: a footer", O{dghFixed3D}, scrolling, footer, false},
      {"footer", O{dghFooter3D}, scrolling, footer, true},
      {"footer: the filler", O{dghFooter3D}, scrolling, filler, false},
      {"data", O{dghData3D}, scrolling, data, true},
      {"data: a footer", O{dghData3D}, scrolling, footer, false},
      {"data: the title", O{dghData3D}, scrolling, 0, false},
      {"fixed and data: indicator of the filler", O{dghFixed3D, dghData3D}, indicator, filler, true},
      {"fixed and frozen: indicator of the filler", O{dghFixed3D, dghFrozen3D}, indicator, filler, true},
      {"frozen: a frozen data cell", O{dghFrozen3D}, frozen, data, true},
      {"frozen: a frozen footer", O{dghFrozen3D}, frozen, footer, true},
      {"frozen: the indicator", O{dghFrozen3D}, indicator, data, false},
      {"frozen: the frozen title", O{dghFrozen3D}, frozen, 0, false},
  };
  for (const Case& c : cases) {
    Grid->SetOptionsEh(c.Options);
    TGridDrawState state;
    if (c.Col < Grid->FixedCols() || c.Row < Grid->FixedRows()) state.Include(gdFixed);
    EXPECT_EQ(Grid->CellDrawn3D(c.Col, c.Row, state), c.Framed) << c.Name;
  }
}

TEST_F(PaintGrid, FlatFramesCloseTheBottomWithAPlainLine) {
  Columns({"Code", "Amount"});
  struct Case {
    bool Flat;
    COLORREF Bottom;  // the frame's bottom row inside a title cell
  };
  const Case cases[] = {{false, ColorToRGB(clBtnShadow)}, {true, ColorToRGB(clBtnFace)}};
  for (const Case& c : cases) {
    Grid->SetFlat(c.Flat);
    Snap();
    TRect t = Cell(1, 0);
    EXPECT_EQ(Pixel((t.Left + t.Right) / 2, t.Bottom - 1), c.Bottom) << c.Flat;
    EXPECT_EQ(Pixel((t.Left + t.Right) / 2, t.Top), RGB(255, 255, 255)) << "a raised top either way";
  }
}

// ================================================================ titles

TEST_F(PaintGrid, AHeldTitleShowsItsContentShifted) {
  Columns({"Code", "Amount"});
  Col(0)->Title()->SetTitleButton(true);
  Col(0)->SetWidth(90);
  struct Case {
    int TitleLines;
    int DX, DY;
  };
  // A one-line title moves by a pixel; a tall one by 2 to the right (its caption stays
  // centred in the height left).
  const Case cases[] = {{0, 1, 1}, {2, 2, 1}};
  for (const Case& c : cases) {
    Grid->SetTitleLines(c.TitleLines);
    Snap();
    TRect t = Cell(1, 0);
    TRect before = InkBox(Inner(t, 2));
    ASSERT_FALSE(IsRectEmpty(before));
    TPoint at{t.Left + 60, (t.Top + t.Bottom) / 2};
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(at));
    ASSERT_TRUE(Grid->TitlePressed(0)) << c.TitleLines;
    Snap();
    TRect held = InkBox(Inner(t, 2));
    EXPECT_EQ(held.Left - before.Left, c.DX) << c.TitleLines;
    EXPECT_EQ(held.Top - before.Top, c.DY) << c.TitleLines;
    Grid->Perform(WM_LBUTTONUP, 0, PointToLParam(at));
    Application->ProcessMessages();
  }
}

TEST_F(PaintGrid, NarrowSortMarkedTitlesDropTheMarkerThenTheIndex) {
  Columns({"Code", "Amount"});
  auto* images = new TImageList(Form);
  images->SetWidth(10);
  images->SetHeight(10);
  TBitmap red;
  red.SetSize(10, 10);
  red.Canvas()->Brush()->SetColor(clRed);
  red.Canvas()->FillRect(Rect(0, 0, 10, 10));
  images->Add(&red, nullptr);
  Grid->SetTitleImages(images);
  Grid->SetOptionsEh(Grid->OptionsEh() + TDBGridEhOptions{dghMultiSortMarking});
  Col(0)->Title()->SetImageIndex(0);
  Col(0)->Title()->SetSortMarker(smDownEh);
  struct Case {
    int Width;
    bool TwoMarked;
    int InkWidthAtLeast, InkWidthAtMost;  // -1 / 0: no ink at all
  };
  // The marker is a 7-pixel triangle, the index one narrow digit.
  const Case cases[] = {
      {40, false, 7, 7},   // room for the image and the marker
      {20, false, -1, 0},  // the image only: no marker beside it
      {40, true, 9, 16},   // marker and index
      {22, true, 1, 6},    // the index alone
      {12, true, -1, 0},   // neither
  };
  for (const Case& c : cases) {
    Col(1)->Title()->SetSortMarker(c.TwoMarked ? smUpEh : smNoneEh);
    Col(0)->SetWidth(c.Width);
    Snap();
    TRect t = Inner(Cell(1, 0), 2);
    TRect ink = InkBox(t);
    if (c.InkWidthAtLeast < 0) {
      EXPECT_TRUE(IsRectEmpty(ink)) << c.Width << (c.TwoMarked ? " two" : " one");
    } else {
      EXPECT_GE(ink.Width(), c.InkWidthAtLeast) << c.Width << (c.TwoMarked ? " two" : " one");
      EXPECT_LE(ink.Width(), c.InkWidthAtMost) << c.Width << (c.TwoMarked ? " two" : " one");
    }
    EXPECT_GT(CountColour(t, RGB(255, 0, 0)), 50) << "the title image shows in every case";
  }
}

// ================================================================ incremental search

TEST_F(PaintGrid, TheSearchOverlayCoversOnlyTheMatchedStartOfTheCurrentCell) {
  Columns({"Code", "Amount"});
  Col(0)->SetWidth(120);
  Grid->SetOptions(Grid->Options() - TDBGridOptions{dgEditing});
  Grid->SetOptionsEh(Grid->OptionsEh() + TDBGridEhOptions{dghIncSearch});
  Grid->SetFocus();
  DS->SetRecNo(3);
  Grid->SetSelectedIndex(0);
  Application->ProcessMessages();
  for (TAlignment align : {taLeftJustify, taRightJustify}) {
    Col(0)->SetAlignment(align);
    Grid->IncSearch("r0", -1, 0);
    ASSERT_TRUE(Grid->IncSearchActive());
    ASSERT_EQ(Grid->IncSearchText(), "R0");
    Snap();
    TRect cell = DataCell(0, 2), other = DataCell(0, 1);
    TRect yellow = BoxWhere(cell, Yellow);
    ASSERT_FALSE(IsRectEmpty(yellow)) << align;
    TRect ink = InkBox(Inner(cell, 2));  // inside the focus frame
    Canvas()->Font()->Assign(Col(0)->Font());
    int prefix = Canvas()->TextWidth("R0"), rest = Canvas()->TextWidth("3");
    EXPECT_NEAR(yellow.Width(), prefix, 1) << align;
    if (align == taLeftJustify) {
      EXPECT_NEAR(yellow.Left, ink.Left, 1) << "over the start of the text";
    } else {
      EXPECT_NEAR(yellow.Right, ink.Right - rest, 2) << "the rest of the text keeps its place";
    }
    EXPECT_TRUE(IsRectEmpty(BoxWhere(other, Yellow))) << "only the current cell";
    TRect indicator = Cell(0, Grid->TopDataOffset() + 2);
    EXPECT_GT(CountWhere(indicator, Yellow), 20) << "the indicator's arrow stands on the search colour";
    Grid->StopIncSearch();
  }
  Snap();
  EXPECT_TRUE(IsRectEmpty(BoxWhere(DataCell(0, 2), Yellow))) << "gone with the search";
  EXPECT_TRUE(IsRectEmpty(BoxWhere(Cell(0, Grid->TopDataOffset() + 2), Yellow)));
}

// ================================================================ duplicates

TEST_F(PaintGrid, DuplicatesAreJudgedByTheCellEventsAndJoinTheirCells) {
  Table({{"Kind", ftString}, {"Amount", ftFloat}},
        {{Variant("甲"), Variant(1.0)}, {Variant("乙"), Variant(2.0)}, {Variant("丙"), Variant(3.0)}});
  Columns({"Kind", "Amount"});
  Col(0)->SetHideDuplicates(true);
  // Every record's text is made the same by the column's own event.
  Col(0)->SetOnGetCellParams(TGetColCellParamsEventEh::Lambda(
      [](TObject*, bool, TColCellParamsEh* Params) { Params->SetText("同类"); }));
  T->Last();
  Snap();
  EXPECT_FALSE(IsRectEmpty(InkBox(Inner(DataCell(0, 0)))));
  EXPECT_TRUE(IsRectEmpty(InkBox(Inner(DataCell(0, 1))))) << "the event's text repeats";
  TRect second = DataCell(0, 1), amount = DataCell(1, 1);
  int y = second.Top - 1;  // the line above the second row
  EXPECT_EQ(Pixel((second.Left + second.Right) / 2, y), ColorToRGB(Col(0)->Color())) << "no line inside the block";
  EXPECT_EQ(Pixel((amount.Left + amount.Right) / 2, y), ColorToRGB(clSilver)) << "other columns keep theirs";
}

// ================================================================ what a change repaints

// Opaque cell texts drawn a second time are copied from pictures kept by everything that makes
// their pixels. Before each change every cell is drawn (and kept) twice; the change is then
// repainted as the grid repaints it, and every pixel of the window is compared with a paint of
// the whole grid that draws every cell anew.
TEST_F(LayoutGrid, KeptCellPicturesNeverShowWhatACellShowedBefore) {
  Columns({"Code", "Amount", "Qty"});
  auto col = [&](int i) { return Grid->Columns()->Items(i); };
  Grid->SetHeight(150);
  DS->First();
  KeepTextCells(true);
  auto settle = [&] {
    Application->ProcessMessages();
    Grid->Update();
  };
  auto repaintAll = [&] {
    Grid->Invalidate();
    settle();
  };
  struct Step {
    const char* Name;
    std::function<void()> Change;
  };
  const Step steps[] = {
      {"the current row moves", [&] { DS->Next(); }},
      {"a value changes", [&] {
         DS->Edit();
         DS->FieldByName("Code")->SetAsString("R99");
         DS->Post();
       }},
      {"a column gets wider", [&] { col(0)->SetWidth(col(0)->Width() + 17); }},
      {"a column's font turns bold", [&] { col(1)->Font()->SetStyle(TFontStyles{fsBold}); }},
      {"a column's font grows", [&] { col(1)->Font()->SetHeight(col(1)->Font()->Height() - 2); }},
      {"a column's text colour changes", [&] { col(2)->Font()->SetColor(clRed); }},
      {"a column's colour changes", [&] { col(0)->SetColor(clYellow); }},
      {"the alignment changes", [&] { col(1)->SetAlignment(taLeftJustify); }},
      {"whole rows are selected", [&] { Grid->SetOptions(Grid->Options() + dgRowSelect); }},
      {"rows are marked", [&] {
         Grid->SetOptions(Grid->Options() + dgMultiSelect);
         Grid->SelectedRows()->SetCurrentRowSelected(true);
         DS->Prior();
         Grid->SelectedRows()->SetCurrentRowSelected(true);
       }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.Name);
    repaintAll();
    repaintAll();
    step.Change();
    settle();
    WindowPixels shown(Grid);
    KeepTextCells(false);
    repaintAll();
    WindowPixels fresh(Grid);
    KeepTextCells(true);
    TRect all = shown.FullArea();
    int differing = 0;
    for (int y = all.Top; y < all.Bottom; ++y)
      for (int x = all.Left; x < all.Right; ++x) differing += shown.Pixel(x, y) != fresh.Pixel(x, y);
    EXPECT_EQ(differing, 0);
  }
}

TEST_F(LayoutGrid, AScrolledDatasetMovesTheRowsAndPaintsOnlyTheNewOne) {
  Columns({"Code", "Amount"});
  Grid->SetHeight(150);
  DS->First();
  Application->ProcessMessages();
  int last = Grid->VisibleDataRowCount() - 1;
  ASSERT_LT(last + 2, DS->RecordCount()) << "records beyond the last row";
  struct Case {
    const char* Name;
    std::function<void()> Place, Move;
  };
  const Case cases[] = {
      {"down from the last row", [&] { DS->First(); DS->MoveBy(last); }, [&] { DS->Next(); }},
      {"up from the first row", [&] { DS->Last(); DS->MoveBy(-last); }, [&] { DS->Prior(); }},
  };
  for (const Case& c : cases) {
    c.Place();
    Grid->Update();
    Grid->PaintClips.clear();
    c.Move();
    ASSERT_EQ(Grid->PaintClips.size(), 1u) << c.Name << ": painted at once";
    int rowH = Grid->DefaultRowHeight() + Grid->GridLineWidth();
    EXPECT_LE(Grid->PaintClips[0].Height(), 3 * rowH) << c.Name << ": the new row and the current rows";
    WindowPixels shown(Grid);
    Snap();
    int differing = 0;
    for (int y = 0; y < Grid->ClientHeight(); ++y)
      for (int x = 0; x < Grid->ClientWidth(); ++x) differing += shown.Pixel(x, y) != Pixel(x, y);
    EXPECT_EQ(differing, 0) << c.Name << ": the moved pixels and the new row make the whole picture";
  }
}

TEST_F(PaintGrid, AChangedSumRepaintsTheFooterRowsOnly) {
  Columns({"Code", "Amount"});
  Col(1)->Footer()->SetValueType(fvtSum);
  Grid->SetFooterRowCount(1);
  Grid->SumList()->SetActive(true);
  Application->ProcessMessages();
  Grid->Update();
  Grid->PaintClips.clear();
  Grid->InvalidateFooterRows();
  Grid->Update();
  ASSERT_EQ(Grid->PaintClips.size(), 1u);
  TRect footer = Cell(1, Grid->RowCount() - 1);
  EXPECT_EQ(Grid->PaintClips[0].Top, footer.Top);
  EXPECT_GE(Grid->PaintClips[0].Bottom, footer.Bottom);
}

TEST_F(PaintGrid, FilterCellsOfSelectedColumnsTakeTheFixedHighlight) {
  Columns({"Code", "Amount"});
  Grid->STFilter()->SetVisible(true);
  Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect});
  Grid->Selection()->ColumnSet()->SelectColumn(Col(1), false);
  Snap();
  int filter = Grid->TitleRowCount();
  EXPECT_EQ(Fill(Inner(Cell(1, filter))), ColorToRGB(LightenedColor(Grid->FixedColor())));
  EXPECT_EQ(Fill(Inner(Cell(2, filter))), RGB(64, 64, 64)) << "a selected column's filter cell";
}

// ================================================================ buttons and lines

TEST_F(PaintGrid, AGlyphButtonShowsItsFirstPictureOnARaisedFace) {
  Columns({"Code", "Amount"});
  Col(1)->SetWidth(120);
  Col(1)->SetAlwaysShowEditButton(true);
  Col(1)->SetButtonStyle(cbsNone);
  TEditButtonEh* b = Col(1)->EditButtons()->Add();
  b->SetStyle(ebsGlyphEh);
  b->SetWidth(20);
  TBitmap pictures;  // two pictures side by side: red, then blue
  pictures.SetSize(16, 8);
  pictures.Canvas()->Brush()->SetColor(clRed);
  pictures.Canvas()->FillRect(Rect(0, 0, 8, 8));
  pictures.Canvas()->Brush()->SetColor(clBlue);
  pictures.Canvas()->FillRect(Rect(8, 0, 16, 8));
  b->SetGlyph(&pictures);
  b->SetNumGlyphs(2);
  DS->SetRecNo(12);
  Snap();
  TRect cell = DataCell(1, 0);
  TRect button{cell.Right - 20, cell.Top, cell.Right, cell.Bottom};
  TRect red = BoxWhere(button, [](COLORREF c) { return c == RGB(255, 0, 0); });
  ASSERT_FALSE(IsRectEmpty(red)) << "the first picture";
  EXPECT_EQ(red.Width(), 8);
  EXPECT_NEAR((red.Left + red.Right) / 2, (button.Left + button.Right) / 2, 2) << "centred";
  EXPECT_EQ(CountColour(button, RGB(0, 0, 255)), 0) << "not the second picture";
  EXPECT_GT(CountColour(button, RGB(255, 255, 255)), 5) << "a raised face";
}

TEST_F(PaintGrid, FramedFrozenColumnsDrawNoGridLines) {
  Columns({"Code", "Amount", "Qty"});
  Grid->SetFrozenCols(1);
  DS->SetRecNo(12);
  for (bool framed : {false, true}) {
    TDBGridEhOptions eh = Grid->OptionsEh() - TDBGridEhOptions{dghFrozen3D};
    if (framed) eh += dghFrozen3D;
    Grid->SetOptionsEh(eh);
    Snap();
    TRect frozen = Cell(1, Grid->TopDataOffset() + 1), scrolling = DataCell(1, 1);
    int silver = CountColour(TRect{frozen.Right, frozen.Top, frozen.Right + 1, frozen.Bottom}, ColorToRGB(clSilver));
    EXPECT_EQ(silver > 0, !framed) << "the line right of the frozen column";
    EXPECT_EQ(Pixel((scrolling.Left + scrolling.Right) / 2, scrolling.Bottom), ColorToRGB(clSilver))
        << "the scrolling columns keep theirs";
  }
}

TEST(GridStyle, AColourChangeOfTheSystemRefreshesTheScreenColours) {
  EnsureGridTestApplication();
  struct TCountingStyle : TDBGridEhStyle {
    int Refreshes = 0;
    void RefreshScreenColors() override {
      ++Refreshes;
      TDBGridEhStyle::RefreshScreenColors();
    }
  } style;
  int before = style.Refreshes;
  SendMessage(style.Handle(), WM_SYSCOLORCHANGE, 0, 0);
  SendMessage(style.Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(style.Refreshes, before + 1) << "only the colour change";
  EXPECT_EQ(style.ScreenColorCount(), -1) << "a true-colour screen";
}

// ================================================================ right to left

// Mirrored layouts exist only under a Middle-East locale; the tests switch it.
struct MiddleEastLocale {
  MiddleEastLocale() { SysLocale().MiddleEast = true; }
  ~MiddleEastLocale() { SysLocale().MiddleEast = false; }
};

TEST_F(PaintGrid, ARightToLeftGridPaintsMirroredWithReadableTextAndTakesClicksThere) {
  Columns({"Code", "Amount"});
  Col(0)->SetWidth(80);
  DS->SetRecNo(12);
  Snap();
  TRect plainCell = DataCell(0, 0);
  TRect plainInk = InkBox(Inner(plainCell, 2));
  ASSERT_FALSE(IsRectEmpty(plainInk));
  std::vector<COLORREF> plainText;
  for (int y = plainInk.Top; y < plainInk.Bottom; ++y)
    for (int x = plainInk.Left; x < plainInk.Right; ++x) plainText.push_back(Pixel(x, y));

  MiddleEastLocale locale;
  Grid->SetBiDiMode(bdRightToLeft);
  ASSERT_TRUE(Col(0)->IsRightToLeft()) << "the columns follow the grid";
  Snap();
  int w = Grid->ClientWidth();
  TRect device = Grid->MirroredRect(plainCell);
  EXPECT_EQ(device.Right, w - plainCell.Left);
  TRect indicator = Grid->MirroredRect(Cell(0, 1));
  EXPECT_EQ(Fill(Inner(indicator, 1)), ColorToRGB(Grid->FixedColor())) << "the indicator at the right";
  TRect ink = InkBox(Inner(device, 2));
  ASSERT_FALSE(IsRectEmpty(ink)) << "the code shows in the mirrored cell";
  EXPECT_GT(ink.Left - device.Left, device.Right - ink.Right) << "a left-aligned column reads from the right";
  std::vector<COLORREF> text;
  for (int y = ink.Top; y < ink.Bottom; ++y)
    for (int x = ink.Left; x < ink.Right; ++x) text.push_back(Pixel(x, y));
  EXPECT_EQ(text, plainText) << "the glyphs are not mirrored";

  TRect amount = Grid->MirroredRect(DataCell(1, 2));
  Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam({amount.Left + 5, amount.Top + 3}));
  Grid->Perform(WM_LBUTTONUP, 0, PointToLParam({amount.Left + 5, amount.Top + 3}));
  Application->ProcessMessages();
  EXPECT_EQ(Grid->SelectedIndex(), 1) << "a click reaches the cell shown there";
  EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 2);
}

}  // namespace
