// Running values of footers over the records of a data band: slots registered by the calls a
// footer shows, accumulated per record (hidden records only with the flag), read by the footer
// and reset after it prints; separate slots per footer; MIN and MAX that start unset.
#include "FrTestSupport.h"

#include "core/Scope.h"
#include "core/StringList.h"

namespace {

using frtest::TEngineTest;

class FrAggregates : public TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    Report = std::make_unique<TfrReport>(nullptr);
    Page = Report->Pages()->Add();
    frState().CurrentReport = Report.get();
    frState().CurrentPage = Page;
    Data = Band(btMasterData, "MasterData1");
    Footer = Band(btMasterFooter, "MasterFooter1");
    Group = Band(btGroupFooter, "GroupFooter1");
  }
  void TearDown() override {
    for (TfrBand* b : {Data, Footer, Group}) delete b;
    TEngineTest::TearDown();
  }

  TfrBand* Band(int kind, const String& name) {
    auto* b = new TfrBand(kind, Page);
    b->BandName = name;
    return b;
  }

  // The calls a footer shows become slots of the data band.
  void Register(TfrBand* footer, std::initializer_list<const char*> calls) {
    TRestore<bool> collecting(frState().CollectingAggregates, true);
    TRestore<TfrBand*> preparing(frState().PreparingBand, Data);
    TRestore<TfrBand*> active(frState().CurrentBand, footer);
    for (const char* c : calls) EXPECT_EQ(VarToStr(Globals->Parser->Evaluate(c)), "0") << c;
  }

  // The data band takes in records of V; hidden records are taken in with Shown off.
  void Records(std::initializer_list<double> values, bool shown = true) {
    Data->Shown = shown;
    for (double v : values) {
      Globals->ScriptVariables->SetVariable("V", Variant(v));
      Data->Accumulate();
    }
    Data->Shown = true;
  }

  double Show(TfrBand* footer, const char* call) {
    TRestore<TfrBand*> active(frState().CurrentBand, footer);
    return Globals->Parser->Evaluate(call).AsDouble();
  }

  std::unique_ptr<TfrReport> Report;
  TfrPage* Page = nullptr;
  TfrBand *Data = nullptr, *Footer = nullptr, *Group = nullptr;
};

TEST_F(FrAggregates, AFooterShowsTheRecordsSinceItPrintedLast) {
  Register(Footer, {"SUM(V)", "COUNT(MasterData1)", "AVG(V)"});
  EXPECT_EQ(Footer->AggregateSource, Data);
  EXPECT_EQ(Data->AggregateValues->Count(), 3);
  Records({1, 2, 3});
  EXPECT_EQ(Show(Footer, "SUM(V)"), 6);
  EXPECT_EQ(Show(Footer, "COUNT(MasterData1)"), 3);
  EXPECT_EQ(Show(Footer, "AVG(V)"), 2);
  Footer->ResetValues();
  EXPECT_EQ(Show(Footer, "SUM(V)"), 0);
  EXPECT_EQ(Show(Footer, "AVG(V)"), 0);  // over no records
  Records({4});
  EXPECT_EQ(Show(Footer, "SUM(V)"), 4);
  // A band the calls were not registered for shows 0.
  TfrBand* other = Band(btMasterFooter, "Other");
  EXPECT_EQ(Show(other, "SUM(V)"), 0);
  delete other;
}

TEST_F(FrAggregates, HiddenRecordsCountOnlyWithTheFlag) {
  Register(Footer, {"SUM(V, MasterData1, 1)", "SUM(V, MasterData1, 0)", "COUNT(MasterData1, 1)", "AVG(V)"});
  Records({2, 4});
  Records({100}, false);
  EXPECT_EQ(Show(Footer, "SUM(V, MasterData1, 1)"), 106);
  EXPECT_EQ(Show(Footer, "SUM(V, MasterData1, 0)"), 6);
  EXPECT_EQ(Show(Footer, "COUNT(MasterData1, 1)"), 3);
  // The mean of the records summed, whatever the hidden ones were.
  EXPECT_EQ(Show(Footer, "AVG(V)"), 3);
}

TEST_F(FrAggregates, MinAndMaxStartUnset) {
  Register(Footer, {"MIN(V)", "MAX(V)"});
  EXPECT_EQ(Show(Footer, "MIN(V)"), 0);  // no records yet
  EXPECT_EQ(Show(Footer, "MAX(V)"), 0);
  Records({-3, -1});
  EXPECT_EQ(Show(Footer, "MAX(V)"), -1);
  EXPECT_EQ(Show(Footer, "MIN(V)"), -3);
  Footer->ResetValues();
  Records({7});
  EXPECT_EQ(Show(Footer, "MIN(V)"), 7);
  EXPECT_EQ(Show(Footer, "MAX(V)"), 7);
}

TEST_F(FrAggregates, GroupAndMasterFootersKeepSeparateSlots) {
  Register(Footer, {"SUM(V)"});
  Register(Group, {"SUM(V)"});
  EXPECT_EQ(Data->AggregateValues->Count(), 2);
  Records({1, 2});
  EXPECT_EQ(Show(Group, "SUM(V)"), 3);
  Group->ResetValues();  // a new group starts
  Records({10});
  EXPECT_EQ(Show(Group, "SUM(V)"), 10);
  EXPECT_EQ(Show(Footer, "SUM(V)"), 13);
}

TEST_F(FrAggregates, ACallWithoutABandTakesTheDataKindOfItsFooter) {
  TfrBand* detail = Band(btDetailData, "DetailData1");
  TfrBand* detailFooter = Band(btDetailFooter, "DetailFooter1");
  {
    // Registering on the master data band: a detail footer's call is not for it.
    TRestore<bool> collecting(frState().CollectingAggregates, true);
    TRestore<TfrBand*> preparing(frState().PreparingBand, Data);
    TRestore<TfrBand*> active(frState().CurrentBand, detailFooter);
    Globals->Parser->Evaluate("SUM(V)");
  }
  EXPECT_EQ(Data->AggregateValues->Count(), 0);
  EXPECT_EQ(detailFooter->AggregateSource, nullptr);
  {
    TRestore<bool> collecting(frState().CollectingAggregates, true);
    TRestore<TfrBand*> preparing(frState().PreparingBand, detail);
    TRestore<TfrBand*> active(frState().CurrentBand, detailFooter);
    Globals->Parser->Evaluate("SUM(V)");
  }
  EXPECT_EQ(detail->AggregateValues->Count(), 1);
  EXPECT_EQ(detailFooter->AggregateSource, detail);
  delete detail;
  delete detailFooter;
}

TEST_F(FrAggregates, CrossFootersKeepOneSlotPerColumn) {
  Footer->HasCross = true;
  Data->HasCross = true;
  Register(Footer, {"SUM(V)"});
  ASSERT_EQ(Data->AggregateValues->Count(), 1);
  EXPECT_EQ(Data->AggregateValues->Name(0).substr(0, 2), String("0\x01"));
  for (int column : {1, 2}) {
    Page->CrossColumnNo = column;
    Records({double(column * 10), double(column * 10)});
  }
  // A cross cell of column c reads that column's slot through its row band.
  TfrBand* cell = Band(btCrossData, "CrossData1");
  cell->AggregateSource = Footer;
  Footer->AggregateSource = Data;
  Page->CrossColumnNo = 1;
  EXPECT_EQ(Show(cell, "SUM(V)"), 20);
  Page->CrossColumnNo = 2;
  EXPECT_EQ(Show(cell, "SUM(V)"), 40);
  delete cell;
}

TEST_F(FrAggregates, TheSplitterFindsTheCallsInTextsAndScripts) {
  TStringList found, memo, script;
  TAggregateFunctionsSplitter splitter(&found);
  memo.SetText("Total [SUM([Amount])] of [COUNT(MasterData1)]\r\n[Name]");
  splitter.SplitMemo(&memo);
  script.SetText("begin if MAX(Price) > 10 then Big := 1 end");
  splitter.SplitScript(&script);
  EXPECT_GE(found.IndexOf("SUM([Amount])"), 0) << found.Text();
  EXPECT_GE(found.IndexOf("COUNT(MasterData1)"), 0) << found.Text();
  EXPECT_GE(found.IndexOf("MAX(Price)"), 0) << found.Text();
  EXPECT_EQ(found.Count(), 3);
}

}  // namespace
