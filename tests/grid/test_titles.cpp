// Column titles: captions that follow the field, sort markers with single and multiple sort
// columns, sort indices, the marker cycle of a title click, and the space a marker reserves.
#include "TestGrid.h"

#include "grid/CellTextEh.h"
#include "core/StrUtils.h"

using namespace gridtest;

namespace {

class TitleTest : public GridFixture {
protected:
  TColumnEh *A = nullptr, *B = nullptr, *C = nullptr;
  void SetUp() override {
    GridFixture::SetUp();
    A = AddColumn("Code");
    B = AddColumn("Amount");
    C = AddColumn("Qty");
  }
  void Multi(bool On) {
    TDBGridEhOptions o = Grid->OptionsEh();
    if (On) o.Include(dghMultiSortMarking);
    else o.Exclude(dghMultiSortMarking);
    Grid->SetOptionsEh(o);
  }
  // "A↓1 B- C↑2 | A,C": each column's marker and index, then the sort-marked list.
  String State() {
    String s;
    for (TColumnEh* c : {A, B, C}) {
      TColumnTitleEh* t = c->Title();
      const char* m = t->SortMarker() == smDownEh ? "v" : t->SortMarker() == smUpEh ? "^" : "-";
      s += c->FieldName().substr(0, 1) + m + (t->SortIndex() ? IntToStr(t->SortIndex()) : "") + " ";
    }
    s += "|";
    TColumnsEhList* list = Grid->SortMarkedColumns();
    for (int i = 0; i < list->Count(); ++i) s += (i ? "," : " ") + list->Items(i)->FieldName().substr(0, 1);
    return s;
  }
};

TEST_F(TitleTest, SingleSortMarkingReplacesTheMarkedColumn) {
  A->Title()->SetSortMarker(smUpEh);
  EXPECT_EQ(State(), "C^1 A- Q- | C");
  B->Title()->SetSortMarker(smDownEh);
  EXPECT_EQ(State(), "C- Av1 Q- | A");
  B->Title()->SetSortMarker(smUpEh);
  EXPECT_EQ(State(), "C- A^1 Q- | A");
  B->Title()->SetSortMarker(smNoneEh);
  EXPECT_EQ(State(), "C- A- Q- |");
}

TEST_F(TitleTest, MultiSortNumbersInMarkingOrderAndRenumbersWhenOneIsCleared) {
  Multi(true);
  A->Title()->SetSortMarker(smDownEh);
  B->Title()->SetSortMarker(smUpEh);
  C->Title()->SetSortMarker(smDownEh);
  EXPECT_EQ(State(), "Cv1 A^2 Qv3 | C,A,Q");
  B->Title()->SetSortMarker(smDownEh);  // a new direction keeps the place
  EXPECT_EQ(State(), "Cv1 Av2 Qv3 | C,A,Q");
  B->Title()->SetSortMarker(smNoneEh);
  EXPECT_EQ(State(), "Cv1 A- Qv2 | C,Q");
  B->Title()->SetSortMarker(smUpEh);
  EXPECT_EQ(State(), "Cv1 A^3 Qv2 | C,Q,A");
  // Turning multi-sort off keeps only the first of the order.
  Multi(false);
  EXPECT_EQ(State(), "Cv1 A- Q- | C");
}

TEST_F(TitleTest, SortIndexChangesOnlyByExchangeWithAnotherMarkedColumn) {
  Multi(true);
  A->Title()->SetSortMarker(smDownEh);
  B->Title()->SetSortMarker(smDownEh);
  C->Title()->SetSortMarker(smDownEh);
  C->Title()->SetSortIndex(5);
  EXPECT_EQ(State(), "Cv1 Av2 Qv3 | C,A,Q");
  B->Title()->SetSortIndex(1);
  EXPECT_EQ(State(), "Cv2 Av1 Qv3 | A,C,Q");
  B->Title()->SetSortIndex(-4);  // becomes 0, which no marked column holds
  EXPECT_EQ(State(), "Cv2 Av1 Qv3 | A,C,Q");
  // An unmarked column does not take part.
  C->Title()->SetSortMarker(smNoneEh);
  C->Title()->SetSortIndex(1);
  EXPECT_EQ(State(), "Cv2 Av1 Q- | A,C");
}

TEST_F(TitleTest, ClicksCycleTheMarkerWithAndWithoutCtrl) {
  struct Case {
    bool Ctrl;
    const char* Markers;
  };
  for (const Case& k : {Case{false, "v^v^"}, Case{true, "v^-v"}}) {
    SCOPED_TRACE(k.Ctrl ? "Ctrl" : "plain");
    String seen;
    for (int i = 0; i < 4; ++i) {
      A->Title()->CycleSortMarker(k.Ctrl);
      TSortMarkerEh m = A->Title()->SortMarker();
      seen += m == smDownEh ? "v" : m == smUpEh ? "^" : "-";
    }
    EXPECT_EQ(seen, k.Markers);
    A->Title()->SetSortMarker(smNoneEh);
  }
}

TEST_F(TitleTest, APlainClickClearsTheOtherMarkersEvenUnderMultiSort) {
  Multi(true);
  A->Title()->CycleSortMarker(true);
  B->Title()->CycleSortMarker(true);
  EXPECT_EQ(State(), "Cv1 Av2 Q- | C,A");
  C->Title()->CycleSortMarker(true);
  EXPECT_EQ(State(), "Cv1 Av2 Qv3 | C,A,Q");
  B->Title()->CycleSortMarker(false);
  EXPECT_EQ(State(), "C- A^1 Q- | A");
}

TEST_F(TitleTest, MarkersSetInsideAnUpdateAreOrderedByTheirIndicesWhenItEnds) {
  Multi(true);
  Grid->Columns()->BeginUpdate();
  C->Title()->SetSortIndex(1);
  C->Title()->SetSortMarker(smUpEh);
  A->Title()->SetSortIndex(2);
  A->Title()->SetSortMarker(smDownEh);
  EXPECT_EQ(Grid->SortMarkedColumns()->Count(), 0);
  Grid->Columns()->EndUpdate();
  EXPECT_EQ(State(), "Cv2 A- Q^1 | Q,C");
}

TEST_F(TitleTest, MarkerSpaceDependsOnTheColumnWidthAndTheIndexWidth) {
  A->Title()->SetSortMarker(smDownEh);
  struct Case {
    int Width, Space;
  };
  // One marked column: 16 pixels from width 20, the 2-pixel rest from width 6.
  for (const Case& k : {Case{100, 16}, Case{20, 16}, Case{19, 2}, Case{6, 2}, Case{5, 0}}) {
    A->SetWidth(k.Width);
    EXPECT_EQ(A->Title()->SortMarkerSpace(), k.Space) << k.Width;
  }
  EXPECT_EQ(B->Title()->SortMarkerSpace(), 0);
  // Several marked columns: the index number's width joins in and moves the thresholds.
  Multi(true);
  B->Title()->SetSortMarker(smDownEh);
  TBitmap bmp;
  bmp.Canvas()->Font()->Assign(TCustomDBGridEh::SortIndexFont());
  int digit = bmp.Canvas()->TextWidth("2");
  ASSERT_GT(digit, 0);
  for (const Case& k : {Case{100, 16 + digit}, Case{20 + digit, 16 + digit}, Case{19 + digit, 2 + digit},
                        Case{6 + digit, 2 + digit}, Case{5 + digit, 0}}) {
    B->SetWidth(k.Width);
    EXPECT_EQ(B->Title()->SortMarkerSpace(), k.Space) << k.Width;
  }
}

TEST_F(TitleTest, ATitleOutsideAGridHasNoSortListToKeep) {
  TCollection loose(TDBGridColumnEh::StaticClass());
  auto* c = static_cast<TColumnEh*>(loose.Add());
  c->Title()->SetSortMarker(smDownEh);
  EXPECT_EQ(c->Title()->SortMarker(), smDownEh);
  EXPECT_EQ(c->Title()->SortIndex(), 0);
  EXPECT_EQ(c->Title()->Color(), clBtnFace);
  EXPECT_EQ(c->Title()->Font()->Name(), c->Font()->Name());
}

TEST_F(TitleTest, CaptionFollowsTheFieldsDisplayLabelUntilAssigned) {
  Bind({{"A", V(1)}});
  EXPECT_EQ(B->Title()->Caption(), "Amount");
  DS->FieldByName("Amount")->SetDisplayLabel("金额");
  EXPECT_EQ(B->Title()->Caption(), "金额");
  B->Title()->SetCaption("合同金额|本年");
  DS->FieldByName("Amount")->SetDisplayLabel("Sum");
  EXPECT_EQ(B->Title()->Caption(), "合同金额|本年");
  // Without a field the column's field name stands in.
  TColumnEh* unbound = AddColumn("Missing");
  EXPECT_EQ(unbound->Title()->Caption(), "Missing");
  B->Title()->ResetToDefaults();
  EXPECT_EQ(B->Title()->Caption(), "Sum");
}

TEST_F(TitleTest, AssignCopiesAssignedSettingsAndTheSortState) {
  TColumnEh* src = AddColumn("Code");
  src->Title()->SetCaption("编号");
  src->Title()->SetHint("合同编号");
  src->Title()->SetImageIndex(2);
  src->Title()->SetSortMarker(smUpEh);
  B->Title()->Assign(src->Title());
  EXPECT_EQ(B->Title()->Caption(), "编号");
  EXPECT_EQ(B->Title()->Hint(), "合同编号");
  EXPECT_EQ(B->Title()->ImageIndex(), 2);
  EXPECT_EQ(B->Title()->SortMarker(), smUpEh);
  EXPECT_FALSE(B->AssignedValues().Contains(evTitleColor));
  EXPECT_FALSE(B->AssignedValues().Contains(evTitleFont));
}

}  // namespace
