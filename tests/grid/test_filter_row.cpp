// The filter row: which columns show a filter cell and its text, applying the conditions
// through OnApplyFilter with the grid kept in place and the footers summing what is left, and
// clearing every condition.
#include "DBGridFixture.h"

#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhColumn.h"
#include "grid/DBSumLst.h"

namespace {

class FilterRowTest : public DBGridFixture {
protected:
  TColumnEh *CodeCol = nullptr, *AmountCol = nullptr;
  void SetUp() override {
    DBGridFixture::SetUp();
    CodeCol = AddColumn("Code");
    AmountCol = AddColumn("Amount");
    for (const char* f : {"Qty", "Flag", "Note"}) AddColumn(f)->SetWidth(180);
    AmountCol->Footer()->SetValueType(fvtSum);
    Grid->SetFooterRowCount(1);
    Grid->SumList()->SetActive(true);
    Grid->STFilter()->SetVisible(true);
    Application->ProcessMessages();
  }
  // Shows only the records whose amount passes the column's first condition (a "greater than").
  void FilterByAmountCondition() {
    const Variant bound = AmountCol->STFilter()->Expression().Operand1;
    DS->SetOnFilterRecord(TFilterRecordEvent::Lambda([bound](TDataSet* d, bool& accept) {
      accept = VarIsNull(bound) || d->FieldByName("Amount")->AsFloat() > bound.AsDouble();
    }));
    DS->SetFiltered(false);
    DS->SetFiltered(true);
    Grid->SetLeftCol(Grid->FixedCols());  // reopening a query scrolls the grid back
  }
};

TEST_F(FilterRowTest, FilterCellsFollowColumnAndFilterVisibilityAndShowTheCondition) {
  TColumnEh* unbound = Grid->Columns()->AddColumn();
  unbound->STFilter()->SetExpressionText("x");
  AmountCol->STFilter()->SetExpressionText(">6");
  Grid->Columns()->Items(2)->SetVisible(false);
  Grid->Columns()->Items(3)->STFilter()->SetVisible(false);
  struct TCase {
    int DataCol;
    bool Shown;
    const char* Text;
  };
  const TCase cases[] = {
      // the condition as written back
      {0, true, ""}, {1, true, "> 6"}, {2, false, ""}, {3, false, ""}, {5, true, ""}, {-1, false, ""}, {6, false, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.DataCol);
    EXPECT_EQ(Grid->FilterCellShown(c.DataCol), c.Shown);
    EXPECT_EQ(Grid->FilterRowText(c.DataCol), c.Text);
  }
}

TEST_F(FilterRowTest, ApplyingRunsTheHandlerOnceKeepsTheLeftColumnAndSumsTheFilteredRows) {
  ASSERT_EQ(Grid->GetFooterText(0, AmountCol), "78");
  Grid->SetLeftCol(Grid->FixedCols() + 2);
  const int left = Grid->LeftCol();
  ASSERT_GT(left, Grid->FixedCols());
  int calls = 0;
  Grid->OnApplyFilter = TNotifyEvent::Lambda([&](TObject* sender) {
    EXPECT_EQ(sender, Grid);
    ++calls;
    FilterByAmountCondition();
  });
  AmountCol->STFilter()->SetExpressionText(">9");
  Grid->ApplyFilter();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Grid->LeftCol(), left);
  EXPECT_EQ(Grid->GetFooterText(0, AmountCol), "33");  // 10 + 11 + 12
  EXPECT_EQ(DS->RecordCount(), 3);

  // A handler that fails after filtering: the same restoring, and the error reaches the caller.
  Grid->OnApplyFilter = TNotifyEvent::Lambda([&](TObject*) {
    FilterByAmountCondition();
    throw Exception("the server is gone");
  });
  AmountCol->STFilter()->SetExpressionText(">10");
  EXPECT_THROW(Grid->ApplyFilter(), Exception);
  EXPECT_EQ(Grid->LeftCol(), left);
  EXPECT_EQ(Grid->GetFooterText(0, AmountCol), "23");
}

TEST_F(FilterRowTest, TheSumsFollowWhatTheHandlerLeavesWalkedOnceAfterAReopen) {
  struct TCase {
    const char* Name;
    bool Reopen, FilterAfter;
    const char* Footer;
    int Walks;  // -1: at least one
  };
  const TCase cases[] = {
      {"reopened", true, false, "78", 1},  // the reopen walked them: no second walk
      {"reopened, then filtered", true, true, "33", -1},
      {"filtered in place", false, true, "33", -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    DS->SetFiltered(false);
    AmountCol->STFilter()->SetExpressionText(">9");
    int walks = 0;
    Grid->OnSumListRecalcAll = TNotifyEvent::Lambda([&](TObject*) { ++walks; });
    Grid->OnApplyFilter = TNotifyEvent::Lambda([&](TObject*) {
      if (c.Reopen) {
        DS->Close();
        DS->Open();
      }
      if (c.FilterAfter) FilterByAmountCondition();
    });
    Grid->ApplyFilter();
    EXPECT_EQ(Grid->GetFooterText(0, AmountCol), c.Footer);
    if (c.Walks >= 0) EXPECT_EQ(walks, c.Walks);
    else EXPECT_GE(walks, 1);
  }
}

TEST_F(FilterRowTest, ClearingEmptiesEveryConditionWithoutFiltering) {
  CodeCol->STFilter()->SetExpressionText("R0");
  AmountCol->STFilter()->SetExpressionText(">1 and <5");
  int calls = 0;
  Grid->OnApplyFilter = TNotifyEvent::Lambda([&](TObject*) { ++calls; });
  Grid->ClearAllFilters();
  EXPECT_EQ(calls, 0);
  for (TColumnEh* c : {CodeCol, AmountCol}) {
    EXPECT_EQ(c->STFilter()->Expression().Operator1, foNon);
    EXPECT_EQ(Grid->FilterRowText(c->Index()), "");
  }
}

// The client pixels the grid's window holds now.
class GridPixels : public TPaintSurface {
public:
  explicit GridPixels(TWinControl* Control) {
    Reset(Control->ClientWidth(), Control->ClientHeight());
    HDC dc = GetDC(Control->Handle());
    BitBlt(DC(), 0, 0, Control->ClientWidth(), Control->ClientHeight(), dc, 0, 0, SRCCOPY);
    ReleaseDC(Control->Handle(), dc);
  }
};

TEST_F(FilterRowTest, AFilterCellShowsItsConditionInBlueOnALighterFixedColour) {
  Grid->SetFixedColor(TColor(RGB(0xC0, 0xC0, 0xC0)));
  AmountCol->STFilter()->SetExpressionText(">6");
  Grid->Columns()->Items(3)->STFilter()->SetVisible(false);
  Grid->Repaint();
  Application->ProcessMessages();
  GridPixels pixels(Grid);
  const int row = Grid->TopDataOffset() - 1;
  struct TCase {
    int DataCol;
    COLORREF Background;
    bool Text;
  };
  const TCase cases[] = {
      {1, RGB(0xD8, 0xD8, 0xD8), true},   // a condition
      {0, RGB(0xD8, 0xD8, 0xD8), false},  // an empty filter cell
      {3, RGB(0xC0, 0xC0, 0xC0), false},  // no filter cell: a plain fixed cell
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.DataCol);
    TRect r = Grid->CellRect(Grid->DataToRawColumn(c.DataCol), row);
    InflateRect(r, -1, -1);
    EXPECT_GT(pixels.CountColour(r, c.Background), r.Width() * r.Height() / 2);
    auto blue = [](COLORREF p) { return GetBValue(p) > 150 && GetRValue(p) < 100 && GetGValue(p) < 100; };
    EXPECT_EQ(pixels.CountWhere(r, blue) > 0, c.Text);
  }
}

}  // namespace
