// Selection objects: block selections between two cells, column sets extended and taken back
// across the anchor, and the kind the selection ends in.
#include "DBGridFixture.h"

namespace {

class SelectionTest : public DBGridFixture {
protected:
  std::vector<TColumnEh*> Cols;
  void SetUp() override {
    DBGridFixture::SetUp();
    TDBGridEhLayoutLock lock(Grid);
    for (int i = 0; i < 7; ++i) Cols.push_back(AddColumn(i % 2 ? "Amount" : "Code"));
  }
  TDBGridEhSelectionCols* Set() { return Grid->Selection()->ColumnSet(); }
  std::vector<int> Selected() {
    std::vector<int> r;
    for (int i = 0; i < Set()->Count(); ++i) r.push_back(Set()->Items(i)->Index());
    return r;
  }
};

TEST_F(SelectionTest, OneCellIsNoBlockSelection) {
  TDBGridEhSelectionRect* range = Grid->Selection()->CellRange();
  range->ExtendTo(2, Bm(3), false);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
  range->ExtendTo(2, Bm(3), true);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
  range->ExtendTo(2, Bm(4), true);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstRectangle);
  range->ExtendTo(2, Bm(3), true);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon) << "back to the anchor cell alone";
}

TEST_F(SelectionTest, ABlockDrawnUpwardsTakesItsTopFromTheExtent) {
  TDBGridEhSelectionRect* range = Grid->Selection()->CellRange();
  range->ExtendTo(3, Bm(6), false);
  range->ExtendTo(1, Bm(2), true);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstRectangle);
  EXPECT_EQ(range->TopRowBookmark(), Bm(2));
  EXPECT_EQ(range->BottomRowBookmark(), Bm(6));
  EXPECT_EQ(range->LeftColumnIndex(), 1);
  EXPECT_EQ(range->RightColumnIndex(), 3);
  struct {
    int Col, Rec;
    bool In;
  } cells[] = {{1, 2, true}, {3, 6, true}, {2, 4, true}, {0, 4, false}, {4, 4, false}, {2, 1, false}, {2, 7, false}};
  for (auto& c : cells) EXPECT_EQ(Grid->Selection()->ContainsDataCell(c.Col, Bm(c.Rec)), c.In) << c.Col << "," << c.Rec;
  EXPECT_FALSE(Grid->Selection()->ContainsDataCell(-1, Bm(4)));
  // Grid rows 2..6 of the shown records (one title row), grid columns 2..4 (one indicator).
  DS->First();
  EXPECT_EQ(Grid->Selection()->BoundsInGrid(), (TGridRect{2, 2, 4, 6}));
  EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 0);
}

TEST_F(SelectionTest, BlockErrorsNameTheirOperationWhenTheDatasetIsClosed) {
  TDBGridEhSelectionRect* range = Grid->Selection()->CellRange();
  range->ExtendTo(1, Bm(2), false);
  range->ExtendTo(2, Bm(3), true);
  DS->Close();
  struct {
    std::function<void()> Call;
    const char* Text;
  } cases[] = {{[&] { range->BottomRowBookmark(); }, "Error in TDBGridEhSelectionRect.GetBottomRow"},
               {[&] { range->ContainsDataCell(1, String()); }, "Error in function TDBGridEhSelectionRect.CellSelected"}};
  for (auto& c : cases) {
    try {
      c.Call();
      ADD_FAILURE() << c.Text;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.Text);
    }
  }
  EXPECT_THROW(range->TopRowBookmark(), Exception);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon) << "closing resets the selection";
}

TEST_F(SelectionTest, TogglingTheOnlyColumnOffLeavesNothingSelected) {
  Set()->ToggleColumn(Cols[3]);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstColumns);
  EXPECT_TRUE(Grid->Selection()->ContainsDataCell(3, Bm(1)));
  EXPECT_FALSE(Grid->Selection()->ContainsDataCell(-1, Bm(1)));
  Set()->ToggleColumn(Cols[3]);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
  EXPECT_EQ(Set()->Count(), 0);
}

TEST_F(SelectionTest, ExtendingBackTakesBackOnlyWhatTheExtensionAdded) {
  Set()->SelectColumn(Cols[2], false);
  Set()->ExtendToColumn(Cols[5]);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5}));
  Set()->ExtendToColumn(Cols[3]);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
  // A column toggled on before stays when an extension passes back over it.
  Set()->ToggleColumn(Cols[4]);
  Set()->SelectColumn(Cols[2], true);
  Set()->ExtendToColumn(Cols[5]);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5}));
  Set()->ExtendToColumn(Cols[3]);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4}));
}

TEST_F(SelectionTest, ExtendingAcrossTheAnchorTakesBackOneSideAndAddsTheOther) {
  Set()->SelectColumn(Cols[4], false);
  Set()->ExtendToColumn(Cols[6]);
  EXPECT_EQ(Selected(), (std::vector<int>{4, 5, 6}));
  Set()->ExtendToColumn(Cols[2]);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(Set()->AnchorColumn(), Cols[4]);
  EXPECT_EQ(Set()->LastShiftColumn(), Cols[2]);
  // And leftwards back across it.
  Set()->ExtendToColumn(Cols[5]);
  EXPECT_EQ(Selected(), (std::vector<int>{4, 5}));
}

TEST_F(SelectionTest, ExtendingWithTheAnchorOffClearsInsteadOfAdding) {
  Set()->SelectColumn(Cols[1], false);
  Set()->ExtendToColumn(Cols[5]);
  Set()->ToggleColumn(Cols[3]);  // anchor 3, now off
  EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 4, 5}));
  Set()->ExtendToColumn(Cols[5]);
  EXPECT_EQ(Selected(), (std::vector<int>{1, 2})) << "4 and 5 cleared";
  Set()->ExtendToColumn(Cols[4]);
  EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 5})) << "5 given back";
}

TEST_F(SelectionTest, FreedAndVanishedColumnsLeaveTheSet) {
  Set()->SelectColumn(Cols[1], false);
  Set()->ExtendToColumn(Cols[4]);
  delete Cols[2];
  Set()->DropVanishedColumns();
  std::vector<TColumnEh*> left;
  for (int i = 0; i < Set()->Count(); ++i) left.push_back(Set()->Items(i));
  EXPECT_EQ(left, (std::vector<TColumnEh*>{Cols[1], Cols[3], Cols[4]}));
  Cols[4]->SetIndex(0);
  Set()->DropVanishedColumns();
  EXPECT_EQ(Set()->Items(0), Cols[4]) << "kept sorted by column index";
}

TEST_F(SelectionTest, WholeGridAndResetNotifyAndRowSelectionTakesOver) {
  Grid->Selection()->SelectWholeGrid();
  EXPECT_TRUE(Grid->Selection()->ContainsDataCell(-1, Bm(1)));
  EXPECT_EQ(Grid->Selection()->BoundsInGrid(), (TGridRect{0, 0, Grid->ColCount(), Grid->RowCount()}));
  Select({2});
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstRecordBookmarks) << "a selected row replaces the whole grid";
  int before = SelectionChanges;
  Grid->Selection()->Reset();
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  EXPECT_GT(SelectionChanges, before);
}

}  // namespace
