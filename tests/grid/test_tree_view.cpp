// The grid over a dataset that offers record positions and a tree: one row per record of
// the view, a scroll bar and wheel that move the view only, the tree indent with its lines
// and boxes, node boxes that open and close, and the drop level of dragged records.
#include "GridPaintFixture.h"
#include "GuiTestUtil.h"
#include "TreeMemTable.h"
#include "grid/DBGridEhInplace.h"
#include "gui/Forms.h"

#include <gtest/gtest.h>

using guitest::WidgetOf;

namespace {

// Ten groups of four: a root, its child, the child's child and a second child of the root.
class TreeView : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGridTestApplication();
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(30, 30, 320, 260);
    Table = new TTreeMemTable(Form);
    for (int g = 0; g < 10; ++g) {
      int root = 10 * g + 1;
      Table->Node(root, 0, "根" + IntToStr(g));
      Table->Node(root + 1, root, "枝" + IntToStr(g));
      Table->Node(root + 2, root + 1, "叶" + IntToStr(g));
      Table->Node(root + 3, root, "芽" + IntToStr(g));
    }
    Table->Open();
    auto* source = new TDataSource(Form);
    source->SetDataSet(Table);
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 300, 240);
    Grid->SetAllowedSelections({gstRectangle, gstColumns, gstAll});
    Grid->Columns()->AddColumn()->SetFieldName("Name");
    Grid->Columns()->Items(0)->SetWidth(150);
    Grid->Columns()->AddColumn()->SetFieldName("Id");
    Grid->SetDataSource(source);
    Form->Show();
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  int Fixed() const { return Grid->FixedRows(); }
  // The grid row showing a node.
  int RowOf(int Id) const { return Grid->TopDataOffset() + Table->ViewNumberOf(Id) - 1; }
  TRect NameCell(int Id) const { return Grid->CellRect(Grid->IndicatorOffset(), RowOf(Id)); }
  void Scroll(int Code, int Pos = 0) { Grid->Perform(WM_VSCROLL, MakeWParam(Code, static_cast<Word>(Pos)), 0); }
  SCROLLINFO Bar() {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(Grid->Handle(), SB_VERT, &si);
    return si;
  }
  TForm* Form = nullptr;
  TTreeMemTable* Table = nullptr;
  TDBGridEh* Grid = nullptr;
};

TEST_F(TreeView, OneRowPerRecordWithoutFooterRowsAndTheBufferWithThem) {
  EXPECT_TRUE(Grid->ViewMode());
  EXPECT_EQ(Grid->RowCount(), Grid->TopDataOffset() + 40);
  Grid->SetFooterRowCount(1);
  EXPECT_FALSE(Grid->ViewMode()) << "footers take the data-link mode";
  EXPECT_LT(Grid->RowCount(), Grid->TopDataOffset() + 40);
  EXPECT_TRUE(Grid->TreeMode()) << "the tree is drawn either way";
  Grid->SetFooterRowCount(0);
  EXPECT_TRUE(Grid->ViewMode());
  EXPECT_EQ(Grid->RowCount(), Grid->TopDataOffset() + 40);
}

TEST_F(TreeView, TheScrollBarAndWheelMoveTheViewNotTheRecord) {
  Table->SetRecNo(3);
  Application->ProcessMessages();
  SCROLLINFO si = Bar();
  EXPECT_EQ(si.nMin, 1);
  EXPECT_EQ(si.nMax, 40);
  EXPECT_EQ(si.nPos, 1);
  EXPECT_EQ(static_cast<int>(si.nPage), Grid->VisibleRowCount());
  struct TStep {
    int Code, Pos, Top;
  };
  const int lastTop = Fixed() + 40 - Grid->VisibleRowCount();
  const TStep steps[] = {
      {SB_THUMBPOSITION, 21, Fixed() + 20}, {SB_LINEDOWN, 0, Fixed() + 21}, {SB_LINEUP, 0, Fixed() + 20},
      {SB_BOTTOM, 0, lastTop},               {SB_LINEDOWN, 0, lastTop},      {SB_TOP, 0, Fixed()},
      {SB_PAGEDOWN, 0, Fixed() + Grid->VisibleRowCount()},
  };
  for (const TStep& s : steps) {
    Scroll(s.Code, s.Pos);
    EXPECT_EQ(Grid->TopRow(), s.Top) << s.Code;
    EXPECT_EQ(Table->RecNo(), 3) << "the current record stays";
    EXPECT_EQ(Bar().nPos, Grid->TopRow() - Fixed() + 1);
  }
  int top = Grid->TopRow();
  Grid->Perform(WM_MOUSEWHEEL, MakeWParam(0, static_cast<Word>(-120)), MakeLParam(100, 100));
  EXPECT_EQ(Grid->TopRow(), top + 1);
  EXPECT_EQ(Table->RecNo(), 3);
  // A key moves the record, and the view follows it.
  guitest::TypeKey(Qt::Key_Down);
  EXPECT_EQ(Table->RecNo(), 4);
  EXPECT_EQ(Grid->Row(), Grid->TopDataOffset() + 3);
  EXPECT_LE(Grid->TopRow(), Grid->Row());
}

TEST_F(TreeView, AClickOnAnOpenNodesBoxClosesItAndKeepsTheTopRow) {
  Scroll(SB_THUMBPOSITION, 3);
  int top = Grid->TopRow();
  TRect cell = NameCell(21);  // the root of group 2, level 1
  guitest::Click(Grid, {cell.Left + 9, (cell.Top + cell.Bottom) / 2});
  ASSERT_EQ(Table->Toggles.size(), 1u);
  EXPECT_EQ(Table->Toggles[0], std::make_pair(21, false));
  EXPECT_EQ(Table->RecordTotal(), 37);
  EXPECT_EQ(Grid->RowCount(), Grid->TopDataOffset() + 37);
  EXPECT_EQ(Grid->TopRow(), top);
  guitest::Click(Grid, {cell.Left + 9, (cell.Top + cell.Bottom) / 2});
  EXPECT_EQ(Table->RecordTotal(), 40);
  EXPECT_EQ(Grid->TopRow(), top);
  // Elsewhere in the indent the press makes the record current; on the text it is a plain press.
  TRect leaf = NameCell(23);  // level 3
  guitest::Click(Grid, {leaf.Left + 5, (leaf.Top + leaf.Bottom) / 2});
  EXPECT_EQ(Table->FieldByName("Id")->AsInteger(), 23);
  EXPECT_EQ(Table->Toggles.size(), 2u);
  EXPECT_FALSE(Grid->TreeNodeMouseDown(leaf.Left + 3 * 18 + 4, (leaf.Top + leaf.Bottom) / 2, true));
}

TEST_F(TreeView, TheIndentIsEighteenPixelsALevelWithLinesAndBoxes) {
  Table->Last();
  Scroll(SB_TOP);
  Application->ProcessMessages();
  QImage shot = WidgetOf(Grid)->grab().toImage();
  if (const char* dir = getenv("KELM_SHOTS")) shot.save(QString::fromUtf8(dir) + "/tree.png");
  TPoint origin = Grid->ClientToScreen({0, 0});
  QPoint widget = WidgetOf(Grid)->mapToGlobal(QPoint(0, 0));
  auto at = [&](int X, int Y) { return shot.pixel(X + origin.X - widget.x(), Y + origin.Y - widget.y()); };
  auto dark = [](QRgb c) { return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100; };
  for (int id : {1, 2, 3, 4}) {
    SCOPED_TRACE(id);
    int level = Table->LevelOf(id);
    TRect cell = NameCell(id);
    int inkLeft = cell.Right;
    int linePixels = 0;
    for (int y = cell.Top + 1; y < cell.Bottom - 1; ++y)
      for (int x = cell.Left; x < cell.Right; ++x) {
        QRgb c = at(x, y);
        if (x < cell.Left + level * 18 && c != qRgb(255, 255, 255)) ++linePixels;
        if (x >= cell.Left + level * 18 && dark(c)) inkLeft = std::min(inkLeft, x);
      }
    EXPECT_GT(linePixels, 5) << "tree lines or a box in the indent";
    EXPECT_GE(inkLeft, cell.Left + level * 18) << "the text starts after the indent";
    EXPECT_LT(inkLeft, cell.Left + level * 18 + 10);
  }
  // The editor of a level-3 node leaves the same indent.
  Table->SetRecNo(3);
  Grid->SetSelectedIndex(0);
  Grid->Perform(WM_KEYDOWN, VK_F2, 0);
  auto* ed = dynamic_cast<TDBGridInplaceEdit*>(Grid->InplaceEditor());
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->TreeIndent(), 3 * 18);
}

TEST_F(TreeView, ADraggedRecordGoesAtMostOneLevelDeeperThanTheRecordAbove) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghRecordMoving);
  TRect indicator = Grid->CellRect(0, RowOf(4));
  guitest::Press(Grid, {indicator.Left + 3, (indicator.Top + indicator.Bottom) / 2});
  ASSERT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmRecordDragging);
  // Above the start row, onto node 3 (level 3) under node 2 (level 2).
  int left = Grid->CellRect(Grid->IndicatorOffset(), RowOf(3)).Left;
  struct TCase {
    int X, Level;
  };
  const TCase cases[] = {{left + 300, 3}, {left + 2 * 18 + 5, 2}, {left, 1}, {left - 30, 1}};
  for (const TCase& c : cases) {
    int level = 0;
    int marker = Grid->CalcDragTargetLevel(RowOf(3), TPoint{c.X, 0}, level);
    EXPECT_EQ(level, c.Level) << c.X;
    EXPECT_EQ(marker, left + level * 18);
  }
  guitest::Move(Grid, {left + 100, (NameCell(3).Top + NameCell(3).Bottom) / 2}, Qt::LeftButton);
  EXPECT_EQ(Grid->DragTargetRow(), RowOf(3));
  guitest::Release(Grid, {left + 100, NameCell(3).Top + 2});
  EXPECT_EQ(Grid->MouseMode(), TCustomDBGridEh::mmNone);
}

}  // namespace
