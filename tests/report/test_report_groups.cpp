// The record loop of the report engine and the totals of its footers: groups (nested, hidden
// single-row footers, a data set that cannot go back), SUM, AVG, MIN, MAX and COUNT with their
// flags, keep blocks that move rows and their totals, master-detail, RowCount, band columns,
// vertical bands wider than the page, and a run stopped in the middle.
#include "core/Exceptions.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "report/frxAggregate.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxEngine.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxVariables.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A user data set over rows of values held by the test; fields by position.
class TTable {
public:
  TTable(const String& Name, const String& Fields, std::vector<std::vector<Variant>> Rows)
      : FRows(std::move(Rows)) {
    DataSet.SetUserName(Name);
    DataSet.Fields()->SetCommaText(Fields);
    DataSet.SetRangeEnd(reCount);
    DataSet.SetRangeEndCount(static_cast<int>(FRows.size()));
    DataSet.OnGetValue = TfrxGetValueEvent::Lambda([this](const String& Field, Variant& V) {
      int column = DataSet.Fields()->IndexOf(Field);
      int row = DataSet.RecNo();
      V = column >= 0 && row >= 0 && row < static_cast<int>(FRows.size()) ? FRows[static_cast<std::size_t>(row)]
                                                                               [static_cast<std::size_t>(column)]
                                                                         : Null();
    });
  }
  void SetRows(std::vector<std::vector<Variant>> Rows) {
    FRows = std::move(Rows);
    DataSet.SetRangeEndCount(static_cast<int>(FRows.size()));
  }
  TfrxUserDataSet DataSet{nullptr};

private:
  std::vector<std::vector<Variant>> FRows;
};

// A data set that cannot go back a record.
class TForwardOnly : public TfrxUserDataSet {
public:
  using TfrxUserDataSet::TfrxUserDataSet;
  void Prior() override { throw Exception("cannot go back"); }
};

std::vector<std::vector<Variant>> SalesRows() {
  return {{Variant("A"), Variant(10)}, {Variant("A"), Variant(20)}, {Variant("B"), Variant(5)},
          {Variant("B"), Variant(5)},  {Variant("B"), Variant(5)},  {Variant("C"), Variant(7)}};
}

const String kSum = "[SUM(<Sales.\"Amount\">)]";

class GroupsFixture {
public:
  GroupsFixture() {
    Report.DataSets()->AddDataSet(&Sales.DataSet);
    Report.EngineOptions()->SetReloadAfterRun(false);
    Report.EngineOptions()->SetNewSilentMode(simSilent);
    Page = new TfrxReportPage(&Report);
    Page->SetName("Page1");
    Page->SetPaperSize(9);
    Page->SetLeftMargin(10);
    Page->SetRightMargin(10);
    Page->SetTopMargin(10);
    Page->SetBottomMargin(10);
  }

  void Use(TfrxDataSet* DataSet) { Report.DataSets()->AddDataSet(DataSet); }

  template <class T>
  T* AddBand(const String& Name, Extended Top, Extended Height = 20) {
    auto* band = new T(Page);
    band->SetName(Name);
    band->SetTop(Top);
    band->SetHeight(Height);
    band->SetWidth(Page->Width());
    return band;
  }
  TfrxMemoView* AddMemo(TfrxComponent* Band, const String& Text, Extended Left = 0, Extended Width = 200) {
    auto* memo = new TfrxMemoView(Band);
    memo->SetName("Memo" + IntToStr(++FMemos));
    memo->SetText(Text);
    memo->SetBounds(Left, 0, Width, 20);
    return memo;
  }
  // Master "MasterData1" over Sales with "[Line]" and the amount.
  TfrxMasterData* AddSalesMaster(Extended Top = 100) {
    auto* m = AddBand<TfrxMasterData>("MasterData1", Top);
    m->SetDataSet(&Sales.DataSet);
    AddMemo(m, "[Line]");
    return m;
  }
  TfrxGroupHeader* AddGroup(const String& Name, const String& Condition, Extended Top) {
    auto* g = AddBand<TfrxGroupHeader>(Name, Top);
    g->SetCondition(Condition);
    AddMemo(g, "[" + Condition + "]");
    return g;
  }

  TfrxPreviewPages& Store() { return *static_cast<TfrxPreviewPages*>(Report.PreviewPages()); }

  struct TOut {
    String Band;
    Extended Top;
    std::vector<String> Texts;
  };
  std::vector<TOut> Out(int PageIndex) {
    std::vector<TOut> result;
    TfrxReportPage* page = Store().GetPage(PageIndex);
    for (int i = 0; i < page->ObjectCount(); ++i) {
      TfrxComponent* band = page->Objects(i);
      TOut o{band->Name(), band->Top(), {}};
      for (int k = 0; k < band->ObjectCount(); ++k)
        if (auto* memo = dynamic_cast<TfrxMemoView*>(band->Objects(k))) o.Texts.push_back(memo->Text());
      result.push_back(o);
    }
    return result;
  }
  // "Band:first text" for every stored band of every page, pages separated by "|".
  std::vector<String> Flow() {
    std::vector<String> result;
    for (int p = 0; p < Store().Count(); ++p) {
      if (p > 0) result.push_back("|");
      for (const TOut& o : Out(p)) result.push_back(o.Band + ":" + (o.Texts.empty() ? String() : o.Texts[0]));
    }
    return result;
  }
  std::vector<String> TextsOf(const String& BandName) {
    std::vector<String> result;
    for (int p = 0; p < Store().Count(); ++p)
      for (const TOut& o : Out(p))
        if (o.Band == BandName) result.push_back(o.Texts.empty() ? String() : o.Texts[0]);
    return result;
  }
  int CountOf(int PageIndex, const String& BandName) {
    int n = 0;
    for (const TOut& o : Out(PageIndex)) n += o.Band == BandName;
    return n;
  }
  String Errors() { return Report.Errors()->Text(); }

  TfrxReport Report{nullptr};
  TTable Sales{"Sales", "Cat,Amount", SalesRows()};
  TfrxReportPage* Page = nullptr;

private:
  int FMemos = 0;
};

using Flow = std::vector<String>;

// ---------------------------------------------------------------- groups

TEST(ReportGroups, AGroupPrintsItsHeaderAndFooterAroundEachRunOfEqualValues) {
  struct Case {
    const char* condition;
    Flow flow;
  } cases[] = {
      {"Sales.\"Cat\"",
       {"GroupHeader1:A", "MasterData1:1", "MasterData1:2", "GroupFooter1:30", "GroupHeader1:B", "MasterData1:1",
        "MasterData1:2", "MasterData1:3", "GroupFooter1:15", "GroupHeader1:C", "MasterData1:1", "GroupFooter1:7"}},
      // A condition that never changes makes one group of all rows.
      {"'all'",
       {"GroupHeader1:all", "MasterData1:1", "MasterData1:2", "MasterData1:3", "MasterData1:4", "MasterData1:5",
        "MasterData1:6", "GroupFooter1:52"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.condition);
    GroupsFixture f;
    f.AddGroup("GroupHeader1", c.condition, 50);
    f.AddSalesMaster();
    f.AddMemo(f.AddBand<TfrxGroupFooter>("GroupFooter1", 150), kSum);
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.Flow(), c.flow);
  }
}

TEST(ReportGroups, AnOuterChangeClosesTheInnerGroupFirstAndOpensItAgainAfter) {
  GroupsFixture f;
  f.AddGroup("Outer", "Sales.\"Cat\"", 40);
  auto* inner = f.AddBand<TfrxGroupHeader>("Inner", 60);
  inner->SetCondition("Sales.\"Amount\"");
  f.AddMemo(inner, "[Line]");
  f.AddSalesMaster();
  f.AddMemo(f.AddBand<TfrxGroupFooter>("InnerFooter", 150), kSum);
  f.AddMemo(f.AddBand<TfrxGroupFooter>("OuterFooter", 170), kSum);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  Flow expected = {"Outer:A",        "Inner:1",       "MasterData1:1", "InnerFooter:10", "Inner:2",
                   "MasterData1:1",  "InnerFooter:20", "OuterFooter:30", "Outer:B",       "Inner:1",
                   "MasterData1:1",  "MasterData1:2", "MasterData1:3", "InnerFooter:15", "OuterFooter:15",
                   "Outer:C",        "Inner:1",       "MasterData1:1", "InnerFooter:7",  "OuterFooter:7"};
  EXPECT_EQ(f.Flow(), expected);
}

TEST(ReportGroups, HideIfSingleDataRecordCountsTheRowsOfEachGroup) {
  // A one-row group has no footer and its total does not reach the next group.
  {
    GroupsFixture f;
    f.Sales.SetRows({{Variant("X"), Variant(100)}, {Variant("A"), Variant(10)}, {Variant("A"), Variant(20)}});
    f.AddGroup("GroupHeader1", "Sales.\"Cat\"", 50);
    f.AddSalesMaster();
    auto* footer = f.AddBand<TfrxGroupFooter>("GroupFooter1", 150);
    footer->SetHideIfSingleDataRecord(true);
    f.AddMemo(footer, kSum);
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.TextsOf("GroupFooter1"), Flow{"30"});
  }
  // An outer group of three rows whose last inner group has one row keeps its footer.
  {
    GroupsFixture f;
    f.Sales.SetRows({{Variant("K"), Variant(1)}, {Variant("K"), Variant(1)}, {Variant("K"), Variant(2)}});
    f.AddGroup("Outer", "Sales.\"Cat\"", 40);
    f.AddGroup("Inner", "Sales.\"Amount\"", 60);
    f.AddSalesMaster();
    for (const char* name : {"InnerFooter", "OuterFooter"}) {
      auto* footer = f.AddBand<TfrxGroupFooter>(name, String(name) == "InnerFooter" ? 150 : 170);
      footer->SetHideIfSingleDataRecord(true);
      f.AddMemo(footer, kSum);
    }
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.TextsOf("InnerFooter"), Flow{"2"});
    EXPECT_EQ(f.TextsOf("OuterFooter"), Flow{"4"});
  }
}

TEST(ReportGroups, ADataSetThatCannotGoBackStillGetsItsFootersAndTheRunSaysSo) {
  GroupsFixture f;
  TForwardOnly rows(nullptr);
  rows.SetUserName("Fwd");
  rows.Fields()->SetText("Cat");
  rows.SetRangeEnd(reCount);
  rows.SetRangeEndCount(4);
  rows.OnGetValue = TfrxGetValueEvent::Lambda([&](const String&, Variant& V) { V = Variant(rows.RecNo() < 2 ? "P" : "Q"); });
  f.Use(&rows);
  f.AddGroup("GroupHeader1", "Fwd.\"Cat\"", 50);
  auto* m = f.AddBand<TfrxMasterData>("MasterData1", 100);
  m->SetDataSet(&rows);
  f.AddMemo(m, "[Line]");
  f.AddMemo(f.AddBand<TfrxGroupFooter>("GroupFooter1", 150), "[COUNT()]");
  EXPECT_FALSE(f.Report.Prepare());
  EXPECT_EQ(f.Report.Errors()->Count(), 1) << f.Errors();
  EXPECT_EQ(f.Report.Errors()->Strings(0), "cannot go back");
  EXPECT_EQ(f.TextsOf("GroupHeader1"), (Flow{"P", "Q"}));
  EXPECT_EQ(f.TextsOf("GroupFooter1"), (Flow{"2", "2"}));
}

// ---------------------------------------------------------------- totals

TEST(ReportTotals, EachFunctionOverTheRowsOfTheSummary) {
  struct Case {
    const char* text;
    std::vector<Variant> values;
    const char* expected;
  } cases[] = {
      {"[AVG(<Vals.\"V\">)]", {Variant(4), Null(), Variant(6)}, "5"},
      {"[AVG(<Vals.\"V\">)]", {Null(), Null()}, "0"},
      {"[MIN(<Vals.\"V\">)]", {Variant(5), Null(), Variant(3)}, "3"},
      {"[MAX(<Vals.\"V\">)]", {}, "0"},
      {"[SUM(<Vals.\"V\"> > 4)]", {Variant(5), Variant(7), Variant(3)}, "2"},
      {"[SUM(<Vals.\"V\"> > 9)]", {Variant(5), Variant(7), Variant(3)}, "0"},
      {"[COUNT()]", {Variant(5), Null(), Variant(3)}, "3"},
      {"[SUM(<Vals.\"V\">) + MAX(<Vals.\"V\">)]", {Variant(5), Variant(7)}, "19"},
      // Nested in a function and in brackets of its own.
      {"[IIF(SUM(<Vals.\"V\">) > 10, 'big', 'small')]", {Variant(5), Variant(7)}, "big"},
      // Text before the brackets that is not ASCII moves nothing.
      {"合计：[SUM(<Vals.\"V\">)]，平均 [AVG(<Vals.\"V\">)]", {Variant(4), Variant(6)}, "合计：10，平均 5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    GroupsFixture f;
    std::vector<std::vector<Variant>> rows;
    for (const Variant& v : c.values) rows.push_back({v});
    TTable vals("Vals", "V", rows);
    f.Use(&vals.DataSet);
    f.Report.EngineOptions()->SetConvertNulls(false);
    auto* m = f.AddBand<TfrxMasterData>("MasterData1", 100);
    m->SetDataSet(&vals.DataSet);
    f.AddMemo(f.AddBand<TfrxReportSummary>("ReportSummary1", 200), c.text);
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.TextsOf("ReportSummary1"), Flow{c.expected});
  }
}

TEST(ReportTotals, FlagsInvisibleRowsRunningTotalsAndCallsWithoutAccumulator) {
  struct Case {
    const char* what;
    bool visible;
    const char* band;  // where the text goes: "summary", "group" or "data"
    const char* text;
    Flow expected;
  } cases[] = {
      {"invisible rows do not count", false, "summary", "[SUM(<Sales.\"Amount\">)]", {"0"}},
      {"flag 1 counts them", false, "summary", "[SUM(<Sales.\"Amount\">, MasterData1, 1)]", {"52"}},
      {"count in the summary", true, "summary", "[COUNT(MasterData1)]", {"6"}},
      {"running count in a group footer", true, "group", "[COUNT(MasterData1, 2)]", {"2", "5", "6"}},
      {"a count per group", true, "group", "[COUNT(MasterData1)]", {"2", "3", "1"}},
      {"a call in the data band", true, "data", "[SUM(<Sales.\"Amount\">)]", {"", "", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GroupsFixture f;
    f.AddGroup("GroupHeader1", "Sales.\"Cat\"", 50);
    auto* m = f.AddBand<TfrxMasterData>("MasterData1", 100);
    m->SetDataSet(&f.Sales.DataSet);
    m->SetVisible(c.visible);
    auto* footer = f.AddBand<TfrxGroupFooter>("GroupFooter1", 150);
    auto* summary = f.AddBand<TfrxReportSummary>("ReportSummary1", 300);
    String where = c.band;
    TfrxBand* target = where == "summary" ? static_cast<TfrxBand*>(summary) : where == "group" ? static_cast<TfrxBand*>(footer) : m;
    f.AddMemo(target, c.text);
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    String name = where == "summary" ? "ReportSummary1" : where == "group" ? "GroupFooter1" : "MasterData1";
    EXPECT_EQ(f.TextsOf(name), c.expected);
  }
}

TEST(ReportTotals, TheCallsOfAFooterTextAreFoundWithTheirBandsAndFlags) {
  GroupsFixture f;
  auto* m = f.AddSalesMaster();
  auto* footer = f.AddBand<TfrxFooter>("Footer1", 150);
  f.Report.Variables()->SetVariables("Total", Variant(String("SUM(<Sales.\"Amount\">, MasterData1, 3)")));
  f.AddMemo(footer, "x [COUNT()] and [Total] <[MAX(<Sales.\"Amount\">)]> [ 'SUM(1)' ]");
  auto* other = f.AddMemo(footer, "[AVG(<Sales.\"Amount\">)]");
  other->SetAllowExpressions(false);
  f.Page->SetName("Page1");
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  TfrxAggregateList* list = static_cast<TfrxEngine*>(f.Report.Engine())->Aggregates();
  ASSERT_EQ(list->Count(), 3);
  struct Want {
    int function;
    const char* expression;
    bool invisible, running;
    const char* call;
  } want[] = {{4, "", false, false, "COUNT()"},
              {0, "<Sales.\"Amount\">", true, true, "SUM(<Sales.\"Amount\">, MasterData1, 3)"},
              {3, "<Sales.\"Amount\">", false, false, "MAX(<Sales.\"Amount\">)"}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    TfrxAggregateItem* item = list->Items(i);
    EXPECT_EQ(item->AggFunction, want[i].function);
    EXPECT_EQ(item->Expression, want[i].expression);
    EXPECT_EQ(item->CountInvisible, want[i].invisible);
    EXPECT_EQ(item->RunningTotal, want[i].running);
    EXPECT_EQ(item->CallText, want[i].call);
    EXPECT_EQ(item->DataBand, m);
    EXPECT_EQ(item->ParentBand, footer);
  }
  EXPECT_EQ(f.TextsOf("Footer1"), Flow{"x 6 and 52 <20> SUM(1)"});
}

TEST(ReportTotals, AFlagsArgumentThatIsNotANumberEndsThePrepare) {
  GroupsFixture f;
  f.AddSalesMaster();
  f.AddMemo(f.AddBand<TfrxFooter>("Footer1", 150), "[SUM(<Sales.\"Amount\">, , x1)]");
  EXPECT_FALSE(f.Report.Prepare());
  EXPECT_NE(f.Errors().find("x1"), String::npos) << f.Errors();
}

// ---------------------------------------------------------------- keeping together

TEST(ReportKeeping, AKeptFooterTakesTheLastRowAlongAndThePageTotalsFollowIt) {
  GroupsFixture f;
  std::vector<std::vector<Variant>> rows;
  for (int i = 1; i <= 50; ++i) rows.push_back({Variant("A"), Variant(i)});
  f.Sales.SetRows(rows);
  auto* m = f.AddSalesMaster();
  m->SetKeepFooter(true);
  f.AddMemo(f.AddBand<TfrxFooter>("Footer1", 150), kSum);
  f.AddMemo(f.AddBand<TfrxPageFooter>("PageFooter1", 400, 40), kSum);
  // 1006.9 above the page footer: fifty rows of 20 fit, the footer after them does not.
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 49);
  EXPECT_EQ(f.TextsOf("PageFooter1"), (Flow{"1225", "50"}));
  auto second = f.Out(1);
  ASSERT_GE(second.size(), 3u);
  EXPECT_EQ(second[0].Band, "MasterData1");
  EXPECT_EQ(second[0].Texts[0], "50");
  EXPECT_EQ(second[0].Top, 0);
  EXPECT_EQ(second[1].Band, "Footer1");
  EXPECT_EQ(second[1].Texts[0], "1275");
  EXPECT_EQ(second[1].Top, 20);
}

TEST(ReportKeeping, KeepTogetherMovesALaterRecordWithItsDetailsButNotTheFirst) {
  GroupsFixture f;
  std::vector<std::vector<Variant>> rows;
  for (int i = 1; i <= 13; ++i) rows.push_back({Variant("A"), Variant(i)});
  f.Sales.SetRows(rows);
  auto* m = f.AddSalesMaster();
  m->SetKeepTogether(true);
  m->SetOutlineText("<Sales.\"Amount\">");
  TTable det("Det", "D", {{Variant(1)}, {Variant(1)}, {Variant(1)}});
  f.Use(&det.DataSet);
  auto* d = f.AddBand<TfrxDetailData>("DetailData1", 120);
  d->SetDataSet(&det.DataSet);
  f.AddMemo(d, "[Det.\"D\"]");
  f.AddMemo(f.AddBand<TfrxPageFooter>("PageFooter1", 400, 40), kSum);
  // A record is 80 high: twelve fit above the page footer, the thirteenth moves whole.
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 12);
  EXPECT_EQ(f.CountOf(1, "MasterData1"), 1);
  EXPECT_EQ(f.CountOf(1, "DetailData1"), 3);
  EXPECT_EQ(f.TextsOf("PageFooter1"), (Flow{"78", "13"}));
  TfrxOutline* outline = f.Store().OutlineObj();
  outline->LevelRoot();
  ASSERT_EQ(outline->Count(), 13);
  String text;
  int page = -1, top = -1;
  outline->GetItem(12, text, page, top);
  EXPECT_EQ(text, "13");
  EXPECT_EQ(page, 1);
  EXPECT_EQ(top, 0);

  // The first record of the page run does not move even when it does not fit: it would not
  // fit on the next page either.
  det.SetRows(std::vector<std::vector<Variant>>(60, {Variant(1)}));
  f.Sales.SetRows({{Variant("A"), Variant(1)}});
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 1);
  EXPECT_GT(f.CountOf(0, "DetailData1"), 40);
}

// ---------------------------------------------------------------- the record loop

TEST(ReportRecordLoop, DetailsFootersAfterEachAndRowCounts) {
  // A record without details of its own is skipped; its footer still follows it.
  {
    GroupsFixture f;
    f.Sales.SetRows({{Variant("M"), Variant(1)}});
    f.AddSalesMaster();
    TTable det("Det", "Cat", {{Variant("A")}, {Variant("B")}, {Variant("C")}});
    f.Use(&det.DataSet);
    auto* d = f.AddBand<TfrxDetailData>("DetailData1", 120);
    d->SetDataSet(&det.DataSet);
    d->SetPrintIfDetailEmpty(false);
    d->SetFooterAfterEach(true);
    f.AddMemo(d, "[Line]");
    f.AddMemo(f.AddBand<TfrxFooter>("Footer1", 140), "[Det.\"Cat\"]");
    TTable sub("Sub", "S", {{Variant("s")}});
    f.Use(&sub.DataSet);
    auto* s = f.AddBand<TfrxSubdetailData>("SubdetailData1", 160);
    s->SetDataSet(&sub.DataSet);
    // Detail B has no rows below it; A and C one each.
    sub.DataSet.SetOnFirst(TNotifyEvent::Lambda([&](TObject*) {
      sub.DataSet.SetRangeEndCount(VarToStr(det.DataSet.GetValue("Cat")) == "B" ? 0 : 1);
    }));
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.TextsOf("DetailData1"), (Flow{"1", "2"}));
    EXPECT_EQ(f.TextsOf("Footer1"), (Flow{"A", "B", "C"}));
    EXPECT_EQ(f.CountOf(0, "SubdetailData1"), 2);
  }
  struct Case {
    const char* what;
    int records;  // -1: no data set
    int rowCount;
    int rows;
  } cases[] = {{"RowCount below the records", 10, 3, 3}, {"RowCount without data set", -1, 3, 3},
               {"an empty data set", 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GroupsFixture f;
    f.Sales.SetRows(std::vector<std::vector<Variant>>(static_cast<std::size_t>(std::max(c.records, 0)),
                                                      {Variant("A"), Variant(1)}));
    f.AddMemo(f.AddBand<TfrxHeader>("Header1", 30), "head");
    f.AddGroup("GroupHeader1", "Sales.\"Cat\"", 50);
    auto* m = f.AddSalesMaster();
    if (c.records < 0) m->SetDataSet(nullptr);
    m->SetRowCount(c.rowCount);
    f.AddMemo(f.AddBand<TfrxGroupFooter>("GroupFooter1", 150), "gf");
    f.AddMemo(f.AddBand<TfrxFooter>("Footer1", 170), "foot");
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.CountOf(0, "MasterData1"), c.rows);
    int around = c.rows > 0 ? 1 : 0;
    for (const char* band : {"Header1", "GroupHeader1", "GroupFooter1", "Footer1"})
      EXPECT_EQ(f.CountOf(0, band), around) << band;
  }
}

TEST(ReportRecordLoop, TerminatedInARowStopsTheLoopAtTheNextRecord) {
  GroupsFixture f;
  std::vector<std::vector<Variant>> rows(30, {Variant("A"), Variant(1)});
  f.Sales.SetRows(rows);
  auto* m = f.AddSalesMaster();
  f.Report.OnBeforePrint = TfrxBeforePrintEvent::Lambda([&](TfrxReportComponent* Sender) {
    if (Sender == m && f.Report.Engine()->CurRow() == 10) f.Report.SetTerminated(true);
  });
  f.Report.Prepare();
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 10);
}

TEST(ReportRecordLoop, BandColumnsShareARowAndAnOverflowingRowMovesWhole) {
  GroupsFixture f;
  std::vector<std::vector<Variant>> rows;
  for (int i = 1; i <= 106; ++i) rows.push_back({Variant("A"), Variant(i)});
  f.Sales.SetRows(rows);
  auto* m = f.AddBand<TfrxMasterData>("MasterData1", 100);
  m->SetDataSet(&f.Sales.DataSet);
  f.AddMemo(m, "[Sales.\"Amount\"]");
  m->SetColumns(2);
  m->SetColumnWidth(300);
  m->SetColumnGap(10);
  // Row 104 is taller: the row of 103 and 104 starts at 1020 and ends at 1060, below the page.
  f.Report.OnBeforePrint = TfrxBeforePrintEvent::Lambda([&](TfrxReportComponent* Sender) {
    if (Sender == m && f.Sales.DataSet.RecNo() == 103) m->SetHeight(40);
  });
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  auto first = f.Out(0);
  ASSERT_EQ(first.size(), 102u);
  EXPECT_EQ(first[0].Top, first[1].Top);
  EXPECT_EQ(first[0].Texts[0], "1");
  EXPECT_EQ(first[1].Texts[0], "2");
  EXPECT_EQ(f.Store().GetPage(0)->Objects(1)->Left() - f.Store().GetPage(0)->Objects(0)->Left(), 310);
  EXPECT_EQ(first[101].Top, 1000);
  auto second = f.Out(1);
  ASSERT_EQ(second.size(), 4u);
  EXPECT_EQ(second[0].Texts[0], "103");
  EXPECT_EQ(second[1].Texts[0], "104");
  EXPECT_EQ(second[0].Top, 0);
  EXPECT_EQ(second[1].Top, 0);
  EXPECT_EQ(second[2].Top, 40);
  EXPECT_EQ(second[3].Top, 40);
}

// ---------------------------------------------------------------- vertical bands

TEST(ReportVerticalBands, ARowWiderThanThePageGoesOnAtTheSameHeightOfTheNextPage) {
  GroupsFixture f;
  f.Sales.SetRows({{Variant("A"), Variant(1)}, {Variant("B"), Variant(2)}, {Variant("C"), Variant(3)}});
  TTable cols("Cols", "N", {});
  std::vector<std::vector<Variant>> c;
  for (int i = 1; i <= 10; ++i) c.push_back({Variant(i)});
  cols.SetRows(c);
  f.Use(&cols.DataSet);
  f.AddMemo(f.AddBand<TfrxPageHeader>("PageHeader1", 0, 40), "page");
  auto* header = f.AddBand<TfrxHeader>("Header1", 50);
  f.AddMemo(header, "head", 0, 90);
  auto* m = f.AddBand<TfrxMasterData>("MasterData1", 100);
  m->SetDataSet(&f.Sales.DataSet);
  f.AddMemo(m, "[Sales.\"Amount\"]-[Cols.\"N\"]", 100, 100);
  auto* v = f.AddBand<TfrxMasterData>("Columns1", 0, 0);
  v->SetVertical(true);
  v->SetLeft(100);
  v->SetWidth(100);
  v->SetDataSet(&cols.DataSet);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  // 718 wide: seven cells of 100 on the first page, three on the next.
  ASSERT_EQ(f.Store().Count(), 2);
  auto first = f.Out(0), second = f.Out(1);
  std::vector<Extended> tops;
  std::vector<String> firstRow, lastRow;
  for (const auto& o : first)
    if (o.Band == "MasterData1") {
      tops.push_back(o.Top);
      EXPECT_EQ(o.Texts.size(), 7u);
    }
  ASSERT_EQ(tops.size(), 3u);
  int rowsOnSecond = 0;
  for (const auto& o : second)
    if (o.Band == "MasterData1") {
      ASSERT_EQ(o.Texts.size(), 3u);
      EXPECT_EQ(o.Top, tops[static_cast<std::size_t>(rowsOnSecond)]);
      if (rowsOnSecond == 0) firstRow = o.Texts;
      lastRow = o.Texts;
      ++rowsOnSecond;
    }
  EXPECT_EQ(rowsOnSecond, 3);
  EXPECT_EQ(firstRow, (Flow{"1-8", "1-9", "1-10"}));
  EXPECT_EQ(lastRow, (Flow{"3-8", "3-9", "3-10"}));
  EXPECT_EQ(f.CountOf(1, "PageHeader1"), 1);
  EXPECT_EQ(f.CountOf(1, "Header1"), 0);
  EXPECT_EQ(f.CountOf(0, "Header1"), 1);
}

TEST(ReportVerticalBands, PerColumnTotalsGoPastAThousandColumns) {
  GroupsFixture f;
  f.Sales.SetRows({{Variant("A"), Variant(1)}, {Variant("B"), Variant(2)}, {Variant("C"), Variant(3)}});
  TTable cols("Cols", "N", {});
  std::vector<std::vector<Variant>> c;
  for (int i = 1; i <= 1200; ++i) c.push_back({Variant(i)});
  cols.SetRows(c);
  f.Use(&cols.DataSet);
  auto* m = f.AddBand<TfrxMasterData>("MasterData1", 100);
  m->SetDataSet(&f.Sales.DataSet);
  f.AddMemo(m, "[<Sales.\"Amount\"> * <Cols.\"N\">]", 100, 0.5);
  f.AddMemo(f.AddBand<TfrxFooter>("Footer1", 150), "[SUM(<Sales.\"Amount\"> * <Cols.\"N\">, MasterData1)]", 100,
            0.5);
  auto* v = f.AddBand<TfrxMasterData>("Columns1", 0, 0);
  v->SetVertical(true);
  v->SetLeft(100);
  v->SetWidth(0.5);
  v->SetDataSet(&cols.DataSet);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 1);
  std::vector<String> totals;
  for (const auto& o : f.Out(0))
    if (o.Band == "Footer1") totals = o.Texts;
  ASSERT_EQ(totals.size(), 1200u);
  for (int col : {1, 999, 1000, 1001, 1200}) EXPECT_EQ(totals[static_cast<std::size_t>(col - 1)], IntToStr(6 * col)) << col;
}

}  // namespace
