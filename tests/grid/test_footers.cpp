// Column footers: the aggregate item each sum, average or count footer keeps in the grid's sum
// list, the values footers fall back on, and the footer texts the grid builds.
#include "TestGrid.h"

#include "core/StrUtils.h"

using namespace gridtest;

namespace {

class FooterTest : public GridFixture {
protected:
  TDBSumCollection* Sums() { return Grid->SumList()->SumCollection(); }
  // "goSum:Amount,goCount:" for the items of the grid's sum list.
  String Items() {
    String s;
    for (int i = 0; i < Sums()->Count(); ++i)
      s += (i ? "," : "") + EnumName(Sums()->Items(i)->GroupOperation()) + ":" + Sums()->Items(i)->FieldName();
    return s;
  }
};

TEST_F(FooterTest, EachAggregateFooterKeepsOneItemInStepWithItsSettings) {
  Bind({{"A", V(1), 2}});
  TColumnEh* c = AddColumn("Amount");
  TColumnFooterEh* f = c->Footer();
  struct Step {
    const char* Name;
    std::function<void()> Op;
    const char* Items;
  };
  int firstID = -1;
  const Step steps[] = {
      {"sum of the column's field", [&] { f->SetValueType(fvtSum); }, "goSum:Amount"},
      {"average", [&] { f->SetValueType(fvtAvg); }, "goAvg:Amount"},
      {"a field of its own", [&] { f->SetFieldName("Qty"); }, "goAvg:Qty"},
      {"count", [&] { f->SetValueType(fvtCount); }, "goCount:"},
      {"static text frees the item", [&] { f->SetValueType(fvtStaticText); }, ""},
      {"sum again", [&] { f->SetValueType(fvtSum); }, "goSum:Qty"},
      {"back to the column's field", [&] { f->SetFieldName(""); }, "goSum:Amount"},
      {"the column's field changes", [&] { c->SetFieldName("Qty"); }, "goSum:Qty"},
      {"a second footer row", [&] { c->Footers()->Add()->SetValueType(fvtSum); }, "goSum:Qty,goSum:Qty"},
      {"its removal", [&] { c->Footers()->Delete(0); }, "goSum:Qty"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Name);
    s.Op();
    EXPECT_EQ(Items(), s.Items);
    if (String(s.Name) == "sum of the column's field") firstID = f->SumItem()->ID();
    if (String(s.Name) == "sum again") {
      EXPECT_NE(f->SumItem()->ID(), firstID);
    }
  }
  // The column takes its items along when it goes.
  Grid->Columns()->Clear();
  EXPECT_EQ(Items(), "");
}

TEST_F(FooterTest, AFooterOutsideAGridKeepsNoItem) {
  TCollection loose(TDBGridColumnEh::StaticClass());
  auto* c = static_cast<TColumnEh*>(loose.Add());
  c->Footer()->SetValueType(fvtSum);
  EXPECT_EQ(c->Footer()->SumItem(), nullptr);
  EXPECT_EQ(c->Footer()->Color(), clWindow);
  EXPECT_EQ(c->Footer()->Font()->Name(), c->Font()->Name());
}

TEST_F(FooterTest, ASumListEmptiedBehindTheFootersBackIsRebuiltOnTheNextRebind) {
  Bind({{"A", V(1)}});
  TColumnEh* c = AddColumn("Amount");
  c->Footer()->SetValueType(fvtSum);
  TDBGridEhSumList fresh(nullptr);
  Grid->SetSumList(&fresh);
  EXPECT_EQ(c->Footer()->SumItem(), nullptr);
  c->RebindFooterSums();
  EXPECT_EQ(Items(), "goSum:Amount");
}

TEST_F(FooterTest, FootersAtRowsBeyondTheFootersCollectionShowTheSingleFooter) {
  TColumnEh* c = AddColumn("");
  Grid->SetFooterRowCount(2);
  EXPECT_EQ(c->FooterAt(0), c->Footer());
  EXPECT_EQ(c->FooterAt(1), c->Footer());
  TColumnFooterEh* first = c->Footers()->Add();
  EXPECT_EQ(first->Column(), c);
  EXPECT_EQ(c->FooterAt(0), first);
  EXPECT_EQ(c->FooterAt(1), c->Footer());
  EXPECT_EQ(c->FooterAt(-1), c->Footer());
}

TEST_F(FooterTest, UnassignedLooksFollowTheFieldAndTheGrid) {
  Bind({{"A", V(1)}});
  TColumnEh* c = AddColumn("Amount");
  TColumnFooterEh* f = c->Footer();
  EXPECT_EQ(f->Alignment(), taRightJustify);
  EXPECT_EQ(f->Color(), clWindow);
  EXPECT_FALSE(f->ToolTips());
  Grid->SetFooterColor(clInfoBk);
  Grid->FooterFont()->SetSize(15);
  Grid->ColumnDefValues()->Footer()->SetToolTips(true);
  EXPECT_EQ(f->Color(), clInfoBk);
  EXPECT_EQ(f->Font()->Size(), 15);
  EXPECT_TRUE(f->ToolTips());
  EXPECT_FALSE(f->FontAssigned());

  f->SetColor(clRed);
  f->Font()->SetSize(9);
  Grid->FooterFont()->SetSize(11);
  EXPECT_EQ(f->Font()->Size(), 9);
  EXPECT_TRUE(f->FontAssigned());

  // Assigning a footer whose colour is not assigned leaves the target's as it was.
  TColumnFooterEh* other = c->Footers()->Add();
  other->SetValueType(fvtStaticText);
  other->SetValue("合计");
  f->Assign(other);
  EXPECT_EQ(f->Color(), clRed);
  EXPECT_TRUE(f->ColorAssigned());
  EXPECT_EQ(f->Value(), "合计");
  EXPECT_EQ(f->ValueType(), fvtStaticText);
  f->ResetAssignedValues();
  EXPECT_EQ(f->Color(), clInfoBk);
  EXPECT_EQ(f->Font()->Size(), 11);
}

// Amount (float), Qty (integer), Money (exact amount) and Code, with a footer row per column.
class FooterTextTest : public FooterTest {
protected:
  TColumnEh *Code = nullptr, *Amount = nullptr, *Qty = nullptr, *Money = nullptr;
  void SetUp() override {
    FooterTest::SetUp();
    DS = new TMemDataSet(&Owner);
    DS->FieldDefs()->Add("Code", ftString, 10);
    DS->FieldDefs()->Add("Amount", ftFloat);
    DS->FieldDefs()->Add("Qty", ftInteger);
    DS->FieldDefs()->Add("Money", ftBCD);
    DS->AddRow({Variant("A"), Variant(1000.5), Variant(2), Variant(C("1.2345"))});
    DS->AddRow({Variant("B"), Variant(2.25), Variant(3), Variant(C("2"))});
    DS->AddRow({Variant("C"), Null(), Null(), Null()});
    Source = new TDataSource(&Owner);
    Source->SetDataSet(DS);
    Grid->SetDataSource(Source);
    DS->Open();
    Grid->SetFooterRowCount(1);
    Grid->SumList()->SetActive(true);
    Code = AddColumn("Code");
    Amount = AddColumn("Amount");
    Qty = AddColumn("Qty");
    Money = AddColumn("Money");
  }
  template <class T> T* FieldAs(const char* Name) { return static_cast<T*>(DS->FieldByName(Name)); }
};

TEST_F(FooterTextTest, FooterTextsByValueTypeFieldTypeAndFormat) {
  struct Case {
    const char* Name;
    TColumnEh*& Column;
    std::function<void(TColumnFooterEh*)> Setup;
    const char* Text;
  };
  const Case cases[] = {
      {"float sum", Amount, [](TColumnFooterEh* f) { f->SetValueType(fvtSum); }, "1002.75"},
      {"footer format", Amount, [](TColumnFooterEh* f) { f->SetDisplayFormat("#,##0.00"); }, "1,002.75"},
      {"field format", Amount,
       [this](TColumnFooterEh* f) {
         f->SetDisplayFormat("");
         FieldAs<TFloatField>("Amount")->SetDisplayFormat("0.0");
       },
       "1002.8"},
      {"currency display", Amount,
       [this](TColumnFooterEh*) {
         FieldAs<TFloatField>("Amount")->SetDisplayFormat("");
         FieldAs<TFloatField>("Amount")->SetCurrency(true);
       },
       "¥1,002.75"},
      {"float average", Amount,
       [this](TColumnFooterEh* f) {
         FieldAs<TFloatField>("Amount")->SetCurrency(false);
         f->SetValueType(fvtAvg);
       },
       "501.375"},
      {"integer sum", Qty, [](TColumnFooterEh* f) { f->SetValueType(fvtSum); }, "5"},
      {"integer average rounds half to even", Qty, [](TColumnFooterEh* f) { f->SetValueType(fvtAvg); }, "2"},
      {"integer average with a format", Qty, [](TColumnFooterEh* f) { f->SetDisplayFormat("0.00"); }, "2.50"},
      {"exact sum", Money, [](TColumnFooterEh* f) { f->SetValueType(fvtSum); }, "3.2345"},
      {"exact sum with the field's format", Money,
       [this](TColumnFooterEh*) { FieldAs<TBCDField>("Money")->SetDisplayFormat("0.00"); }, "3.23"},
      {"exact sum with the footer's format", Money, [](TColumnFooterEh* f) { f->SetDisplayFormat("0.0"); }, "3.2"},
      {"sum of a text field", Code, [](TColumnFooterEh* f) { f->SetValueType(fvtSum); }, "0"},
      {"sum of an unknown field", Code,
       [this](TColumnFooterEh* f) {
         Grid->SumList()->SetActive(false);  // an active list would fail to walk it
         f->SetFieldName("Nothing");
       },
       "0"},
      {"count", Code,
       [this](TColumnFooterEh* f) {
         f->SetFieldName("");
         f->SetValueType(fvtCount);
         Grid->SumList()->SetActive(true);
       },
       "3"},
      {"count with a format", Code, [](TColumnFooterEh* f) { f->SetDisplayFormat("0.0"); }, "3.0"},
      {"field value", Code,
       [](TColumnFooterEh* f) {
         f->SetDisplayFormat("0.00");
         f->SetValueType(fvtFieldValue);
         f->SetFieldName("Amount");
       },
       "1000.50"},
      {"field value without format", Code, [](TColumnFooterEh* f) { f->SetDisplayFormat(""); }, "1000.5"},
      {"field value without a field name", Code, [](TColumnFooterEh* f) { f->SetFieldName(""); }, ""},
      {"static text", Code,
       [](TColumnFooterEh* f) {
         f->SetValueType(fvtStaticText);
         f->SetValue("合计");
       },
       "合计"},
      {"nothing", Code, [](TColumnFooterEh* f) { f->SetValueType(fvtNon); }, ""},
  };
  DS->First();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    k.Setup(k.Column->Footer());
    EXPECT_EQ(Grid->GetFooterText(0, k.Column), k.Text);
  }
}

TEST_F(FooterTextTest, FootersFollowEditsAndRepaintWhenTheSumsChange) {
  Amount->Footer()->SetValueType(fvtSum);
  TColumnFooterEh* count = Amount->Footers()->Add();
  count->SetValueType(fvtCount);
  Amount->Footers()->Add()->SetValueType(fvtSum);  // a second row with the same sum
  Grid->SetFooterRowCount(3);
  int recalcs = 0;
  Grid->OnSumListRecalcAll = TNotifyEvent::Lambda([&](TObject* sender) {
    EXPECT_EQ(sender, Grid->SumList());
    ++recalcs;
  });
  Grid->SumList()->Recalculate();
  EXPECT_EQ(recalcs, 1);
  EXPECT_EQ(Grid->GetFooterText(0, Amount), "3");
  EXPECT_EQ(Grid->GetFooterText(1, Amount), "1002.75");
  EXPECT_EQ(Grid->GetFooterText(2, Amount), "1002.75");
  int repaints = Grid->FooterRepaints;
  DS->Last();
  DS->Edit();
  DS->FieldByName("Amount")->SetAsFloat(10);
  DS->Post();
  EXPECT_GT(Grid->FooterRepaints, repaints);
  EXPECT_EQ(Grid->GetFooterText(1, Amount), "1012.75");
  DS->Append();
  DS->Post();
  EXPECT_EQ(Grid->GetFooterText(0, Amount), "4");
  // Turning the sum list off clears the sums.
  Grid->SumList()->SetActive(false);
  EXPECT_EQ(Grid->GetFooterText(1, Amount), "0");
  // Without a data source there is nothing to sum.
  Grid->SetDataSource(nullptr);
  EXPECT_EQ(Grid->GetFooterText(1, Amount), "0");
}

TEST_F(FooterTextTest, ADesignedGridSumsWithoutTakingOverTheHandlers) {
  Grid->SumList()->SetActive(false);
  Grid->SetDesigning(true);
  Amount->Footer()->SetValueType(fvtSum);
  Grid->SumList()->SetActive(true);
  EXPECT_TRUE(Grid->SumList()->HandlersHooked());
  EXPECT_FALSE(DS->AfterPost().Assigned());
  EXPECT_EQ(Grid->GetFooterText(0, Amount), "1002.75");
  Grid->SumList()->SetActive(false);
  EXPECT_FALSE(Grid->SumList()->HandlersHooked());
  Grid->SetDesigning(false);
  Grid->SumList()->SetActive(true);
  EXPECT_TRUE(DS->AfterPost().Assigned());
}

TEST_F(FooterTextTest, FooterParamsHandlersSeeAndChangeTheFooterCell) {
  Grid->OnGetFooterParams = TGetFooterParamsEvent::Lambda(
      [&](TObject* sender, int dataCol, int row, TColumnEh* column, TFont* font, TColor& background,
          TAlignment& alignment, TGridDrawState state, String& text) {
        EXPECT_EQ(sender, Grid);
        EXPECT_EQ(dataCol, 1);
        EXPECT_EQ(row, 0);
        EXPECT_EQ(column, Amount);
        EXPECT_EQ(font, Amount->Footer()->Font());
        EXPECT_TRUE(state.Empty());
        background = clYellow;
        alignment = taCenter;
        text = "[" + text + "]";
      });
  Amount->Footer()->SetValueType(fvtSum);
  TColor background = Amount->Footer()->Color();
  TAlignment alignment = Amount->Footer()->Alignment();
  String text = Grid->GetFooterText(0, Amount);
  Grid->FireGetFooterParams(1, 0, Amount, Amount->Footer()->Font(), background, alignment, TGridDrawState(), text);
  EXPECT_EQ(text, "[1002.75]");
  EXPECT_EQ(background, clYellow);
  EXPECT_EQ(alignment, taCenter);
}

}  // namespace
