// The report engine: a list report over a user data set prepared into stored pages, page
// numbers in one and two passes, the wiring of bands and its errors, stretching and shifting,
// the page flow (title, headers, footers, summary, overlay, new pages, split bands, columns),
// sub-reports, anchors and outline, the file cache, and the report's Prepare around a run.
#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/DateUtils.h"
#include "core/SysUtils.h"
#include "gui/StdCtrls.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxEngine.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxShapes.h"
#include "report/frxVariables.h"
#include "report/frxXML.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

// A stretchable object whose content needs a height the test sets.
class TTestGrower : public TfrxStretcheable {
  KELM_CLASS(TTestGrower, TfrxStretcheable)
  template <class B> static void Published(B& b) {
    b.Prop("Left", &TTestGrower::Left, &TTestGrower::SetLeft);
    b.Prop("Top", &TTestGrower::Top, &TTestGrower::SetTop);
    b.Prop("Width", &TTestGrower::Width, &TTestGrower::SetWidth);
    b.Prop("Height", &TTestGrower::Height, &TTestGrower::SetHeight);
    b.Prop("ShiftMode", &TTestGrower::ShiftMode, &TTestGrower::SetShiftMode).Default(smAlways);
    b.Prop("StretchMode", &TTestGrower::StretchMode, &TTestGrower::SetStretchMode).Default(smDontStretch);
  }
public:
  explicit TTestGrower(TComponent* AOwner) : TfrxStretcheable(AOwner) {}
  Extended Need = 0;
  Extended CalcHeight() override { return Need; }
};
KELM_PUBLISH(TTestGrower) { Published(b); }

namespace {

const Extended kPrintable = (297 - 20) * fr01cm;  // A4 with 10 mm margins: 1046.93

// A report over a user data set "Rows" of N records with one field "N" (1-based).
class ReportFixture {
public:
  explicit ReportFixture(int N = 0) {
    Rows.SetUserName("Rows");
    Rows.Fields()->SetText("N");
    Rows.SetRangeEnd(reCount);
    Rows.SetRangeEndCount(N);
    Rows.OnGetValue = TfrxGetValueEvent::Lambda([this](const String&, Variant& v) { v = Variant(Rows.RecNo() + 1); });
    Report.DataSets()->AddDataSet(&Rows);
    Report.EngineOptions()->SetReloadAfterRun(false);
    Report.EngineOptions()->SetNewSilentMode(simSilent);
    Page = AddPage("Page1");
  }

  TfrxReportPage* AddPage(const String& Name) {
    auto* page = new TfrxReportPage(&Report);
    page->SetName(Name);
    page->SetPaperSize(9);
    page->SetLeftMargin(10);
    page->SetRightMargin(10);
    page->SetTopMargin(10);
    page->SetBottomMargin(10);
    return page;
  }

  template <class T>
  T* AddBand(const String& Name, Extended Top, Extended Height, TfrxComponent* Parent = nullptr) {
    auto* band = new T(Parent ? Parent : Page);
    band->SetName(Name);
    band->SetTop(Top);
    band->SetHeight(Height);
    return band;
  }

  TfrxMemoView* AddMemo(TfrxComponent* Band, const String& Name, const String& Text, Extended Top = 0,
                        Extended Height = 20, Extended Left = 0, Extended Width = 200) {
    auto* memo = new TfrxMemoView(Band);
    memo->SetName(Name);
    memo->SetText(Text);
    memo->SetBounds(Left, Top, Width, Height);
    return memo;
  }

  // The list: page header 40, master band 20 over Rows, page footer 40.
  void BuildList() {
    Header = AddBand<TfrxPageHeader>("PageHeader1", 0, 40);
    AddMemo(Header, "HeaderMemo", "Header");
    Master = AddBand<TfrxMasterData>("MasterData1", 60, 20);
    Master->SetDataSet(&Rows);
    RowMemo = AddMemo(Master, "RowMemo", "[Rows.\"N\"]");
    Footer = AddBand<TfrxPageFooter>("PageFooter1", 200, 40);
    FooterMemo = AddMemo(Footer, "FooterMemo", "[Page#] / [TotalPages#]");
  }

  TfrxPreviewPages& Store() { return *static_cast<TfrxPreviewPages*>(Report.PreviewPages()); }
  TfrxEngine& Engine() { return *static_cast<TfrxEngine*>(Report.Engine()); }

  // The stored bands of a page: (name of the design band, top, first memo text).
  struct TOut {
    String Band;
    Extended Top, Height;
    String Text;
  };
  std::vector<TOut> Out(int PageIndex) {
    std::vector<TOut> result;
    TfrxReportPage* page = Store().GetPage(PageIndex);
    for (int i = 0; i < page->ObjectCount(); ++i) {
      TfrxComponent* band = page->Objects(i);
      String text;
      for (int k = 0; k < band->ObjectCount() && text.empty(); ++k)
        if (auto* memo = dynamic_cast<TfrxMemoView*>(band->Objects(k))) text = memo->Text();
      result.push_back(TOut{band->Name(), band->Top(), band->Height(), text});
    }
    return result;
  }
  int CountOf(int PageIndex, const String& BandName) {
    int n = 0;
    for (const TOut& o : Out(PageIndex)) n += o.Band == BandName;
    return n;
  }
  String TextOf(int PageIndex, const String& BandName) {
    for (const TOut& o : Out(PageIndex))
      if (o.Band == BandName) return o.Text;
    return "<none>";
  }
  String Errors() { return Report.Errors()->Text(); }

  TfrxReport Report{nullptr};
  TfrxUserDataSet Rows{nullptr};
  TfrxReportPage* Page = nullptr;
  TfrxPageHeader* Header = nullptr;
  TfrxMasterData* Master = nullptr;
  TfrxPageFooter* Footer = nullptr;
  TfrxMemoView* RowMemo = nullptr;
  TfrxMemoView* FooterMemo = nullptr;
};

// ---------------------------------------------------------------- the list

TEST(ReportEngineList, AThousandRowsFillTwentyOnePagesOfFortyEightRowsWithHeaderAndFooterOnEach) {
  ReportFixture f(1000);
  f.BuildList();
  ASSERT_NEAR(f.Page->PaperHeight(), 297, 1e-9);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 21);
  EXPECT_NEAR(f.Engine().PageHeight(), kPrintable, 0.01);
  for (int p = 0; p < 21; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(f.CountOf(p, "MasterData1"), p < 20 ? 48 : 40);
    EXPECT_EQ(f.CountOf(p, "PageHeader1"), 1);
    EXPECT_EQ(f.CountOf(p, "PageFooter1"), 1);
  }
  // Page 2 begins with row 49, right below the page header; the footer sits on the bottom.
  std::vector<ReportFixture::TOut> second = f.Out(1);
  ASSERT_GE(second.size(), 3u);
  EXPECT_EQ(second[0].Band, "PageHeader1");
  EXPECT_EQ(second[0].Top, 0);
  EXPECT_EQ(second[1].Band, "MasterData1");
  EXPECT_EQ(second[1].Text, "49");
  EXPECT_NEAR(second[1].Top, 40, 1e-9);
  EXPECT_NEAR(second.back().Top, kPrintable - 40, 0.01);
  EXPECT_EQ(f.TextOf(20, "PageFooter1"), "21 / [TotalPages#]");
  EXPECT_FALSE(f.Engine().Running());
}

TEST(ReportEngineList, PageNumbersInOneAndTwoPasses) {
  struct Case {
    const char* text;
    bool doublePass;
    const char* last;
  } cases[] = {
      {"[Page#] / [TotalPages#]", false, "21 / [TotalPages#]"},
      {"[Page] / [TotalPages]", false, "21 / 0"},
      {"[Page] / [TotalPages]", true, "21 / 21"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.text) + (c.doublePass ? " double" : " single"));
    ReportFixture f(1000);
    f.BuildList();
    f.FooterMemo->SetText(c.text);
    f.Report.EngineOptions()->SetDoublePass(c.doublePass);
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    ASSERT_EQ(f.Store().Count(), 21);
    EXPECT_EQ(f.TextOf(20, "PageFooter1"), c.last);
    EXPECT_EQ(f.TextOf(0, "PageFooter1").substr(0, 2), "1 ");
  }
}


// ---------------------------------------------------------------- wiring

TEST(ReportEngineWiring, BandsThatCannotBeWiredStopTheRunWithALineEach) {
  struct Case {
    const char* what;
    std::function<void(ReportFixture&)> build;
    const char* error;
  } cases[] = {
      {"lone header",
       [](ReportFixture& f) { f.AddBand<TfrxHeader>("Header1", 0, 20); },
       "未连接的表头 Header1"},
      {"group footer without header",
       [](ReportFixture& f) {
         f.AddBand<TfrxMasterData>("MasterData1", 0, 20)->SetDataSet(&f.Rows);
         f.AddBand<TfrxGroupFooter>("GroupFooter1", 40, 20);
       },
       "群组尾 GroupFooter1 没有对应的群组头"},
      {"group header without data band",
       [](ReportFixture& f) { f.AddBand<TfrxGroupHeader>("GroupHeader1", 0, 20); },
       "群组 GroupHeader1 没有数据区"},
      {"detail without master",
       [](ReportFixture& f) { f.AddBand<TfrxDetailData>("DetailData1", 0, 20)->SetDataSet(&f.Rows); },
       "区段 DetailData1 的位置不正确"},
      {"subdetail right below a master",
       [](ReportFixture& f) {
         f.AddBand<TfrxMasterData>("MasterData1", 0, 20)->SetDataSet(&f.Rows);
         f.AddBand<TfrxSubdetailData>("SubdetailData1", 40, 20)->SetDataSet(&f.Rows);
       },
       "区段 SubdetailData1 的位置不正确"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportFixture f(3);
    c.build(f);
    EXPECT_FALSE(f.Report.Prepare());
    ASSERT_EQ(f.Report.Errors()->Count(), 1) << f.Errors();
    EXPECT_EQ((*f.Report.Errors())[0], c.error);
    EXPECT_EQ(f.Store().Count(), 0);
    EXPECT_FALSE(f.Engine().Running());
  }
}

TEST(ReportEngineWiring, HeadersFootersGroupsAndDetailsAreLinkedByPosition) {
  ReportFixture f(3);
  TfrxDataSet* rows = &f.Rows;
  // Positions below zero order by value: -10 comes before -5.
  auto* header = f.AddBand<TfrxHeader>("Header1", -10, 20);
  auto* g1 = f.AddBand<TfrxGroupHeader>("GroupHeader1", 20, 20);
  auto* g2 = f.AddBand<TfrxGroupHeader>("GroupHeader2", 30, 20);
  auto* master = f.AddBand<TfrxMasterData>("MasterData1", -5, 20);
  auto* detail = f.AddBand<TfrxDetailData>("DetailData1", 100, 20);
  auto* gf2 = f.AddBand<TfrxGroupFooter>("GroupFooter2", 140, 20);
  auto* gf1 = f.AddBand<TfrxGroupFooter>("GroupFooter1", 160, 20);
  auto* footer = f.AddBand<TfrxFooter>("Footer1", 120, 20);
  // Two masters at one position are both wired, in child order.
  auto* second = f.AddBand<TfrxMasterData>("MasterData2", 300, 20);
  auto* third = f.AddBand<TfrxMasterData>("MasterData3", 300.001, 20);
  master->SetDataSet(rows);
  detail->SetDataSet(rows);
  second->SetDataSet(rows);
  third->SetDataSet(rows);
  // The groups sit above the master: move the master below them.
  master->SetTop(60);
  header->SetTop(0);
  ASSERT_TRUE(f.Engine().PrepareRun()) << f.Errors();
  f.Engine().FinishRun();

  EXPECT_EQ(master->LinkedHeader, header);  // the header above the groups
  EXPECT_EQ(master->LinkedGroup, g1);
  ASSERT_EQ(g1->SubBands().size(), 2u);
  EXPECT_EQ(g1->SubBands()[1], g2);
  EXPECT_EQ(g2->LinkedFooter, gf2);  // innermost first
  EXPECT_EQ(g1->LinkedFooter, gf1);
  EXPECT_EQ(detail->LinkedFooter, footer);
  ASSERT_EQ(master->SubBands().size(), 1u);
  EXPECT_EQ(master->SubBands()[0], detail);
  std::vector<TfrxComponent*> expected{master, second, third};
  EXPECT_EQ(f.Page->MasterBands(), expected);

  // Below zero: the header at -10 belongs to the master at -5.
  ReportFixture g(1);
  auto* h = g.AddBand<TfrxHeader>("Header1", -10, 20);
  auto* m = g.AddBand<TfrxMasterData>("MasterData1", -5, 20);
  m->SetDataSet(&g.Rows);
  ASSERT_TRUE(g.Engine().PrepareRun()) << g.Errors();
  g.Engine().FinishRun();
  EXPECT_EQ(m->LinkedHeader, h);
}

TEST(ReportEngineWiring, DataSetConflictsAndEmptyReports) {
  {
    ReportFixture f(3);
    f.BuildList();
    f.Report.SetDataSet(&f.Rows);
    EXPECT_FALSE(f.Report.Prepare());
    EXPECT_NE(f.Errors().find("Cannot use the same dataset for Report.DataSet and Band.DataSet"), String::npos);
    EXPECT_EQ(f.Store().Count(), 0);
  }
  {
    ReportFixture f(3);
    f.BuildList();
    f.Page->SetDataSet(&f.Rows);
    EXPECT_FALSE(f.Report.Prepare());
    EXPECT_NE(f.Errors().find("Cannot use the same dataset for Page.DataSet and Band.DataSet"), String::npos);
  }
  {
    ReportFixture f(3);
    delete f.Page;
    EXPECT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.Store().Count(), 0);
  }
  {
    ReportFixture f(3);
    f.BuildList();
    f.Page->SetVisible(false);
    EXPECT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.Store().Count(), 0);
  }
  {
    // Without PrintIfEmpty a page whose masters have no records gives no page at all.
    ReportFixture f(0);
    f.BuildList();
    f.Report.EngineOptions()->SetPrintIfEmpty(false);
    EXPECT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.Store().Count(), 0);
    f.Report.EngineOptions()->SetPrintIfEmpty(true);
    EXPECT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.Store().Count(), 1);
    EXPECT_EQ(f.CountOf(0, "MasterData1"), 0);
  }
}

// ---------------------------------------------------------------- stretch and shift

TTestGrower* AddGrower(TfrxComponent* Band, const String& Name, Extended L, Extended T, Extended W, Extended H,
                       TfrxShiftMode Shift = smAlways, Extended Need = 0) {
  auto* g = new TTestGrower(Band);
  g->SetName(Name);
  g->SetBounds(L, T, W, H);
  g->SetShiftMode(Shift);
  if (Need > 0) {
    g->Need = Need;
    g->SetStretchMode(smActualHeight);
  }
  return g;
}

TEST(ReportEngineStretch, AGrownObjectPushesTheObjectsBelowItByTheirShiftMode) {
  ReportFixture f;
  auto* band = f.AddBand<TfrxMasterData>("MasterData1", 0, 100);
  band->SetWidth(400);
  AddGrower(band, "Grower", 0, 0, 300, 20, smAlways, 40);  // +20
  auto* always = AddGrower(band, "Always", 0, 25, 90, 10, smAlways);
  auto* overlapped = AddGrower(band, "Overlapped", 100, 25, 90, 10, smWhenOverlapped);
  auto* dont = AddGrower(band, "Dont", 200, 25, 90, 10, smDontShift);
  auto* belowDont = AddGrower(band, "BelowDont", 200, 50, 90, 10, smAlways);
  auto* clear = AddGrower(band, "Clear", 100, 60, 90, 10, smWhenOverlapped);
  f.Engine().PrepareBand(band);
  EXPECT_EQ(always->Top(), 45);
  EXPECT_EQ(overlapped->Top(), 40);  // just clears the grown bottom
  EXPECT_EQ(dont->Top(), 25);
  EXPECT_EQ(belowDont->Top(), 70);  // its parent stayed, but passed the growth on
  EXPECT_EQ(clear->Top(), 60);      // already clear of the object above it
  f.Engine().FinishBand(band);
  EXPECT_EQ(always->Top(), 25);  // design state back

  // Two growers side by side push the object below both down by both amounts.
  ReportFixture g;
  auto* b2 = g.AddBand<TfrxMasterData>("MasterData1", 0, 100);
  b2->SetWidth(400);
  AddGrower(b2, "G1", 0, 0, 100, 20, smAlways, 30);   // +10
  AddGrower(b2, "G2", 100, 0, 100, 20, smAlways, 40);  // +20
  auto* below = AddGrower(b2, "Below", 0, 50, 200, 10, smAlways);
  g.Engine().PrepareBand(b2);
  EXPECT_EQ(below->Top(), 80);
  g.Engine().FinishBand(b2);
}

TEST(ReportEngineStretch, AStretchedBandTakesItsLowestObjectsBottom) {
  ReportFixture f;
  auto* band = f.AddBand<TfrxMasterData>("MasterData1", 0, 100);
  band->SetStretched(true);
  AddGrower(band, "Short", 0, 10, 100, 20);
  auto* empty = f.AddBand<TfrxMasterData>("MasterData2", 200, 50);
  empty->SetStretched(true);
  auto* grow = f.AddBand<TfrxMasterData>("MasterData3", 300, 50);
  grow->SetStretched(true);
  AddGrower(grow, "Tall", 0, 0, 100, 20, smAlways, 70);
  auto* maxed = AddGrower(grow, "Maxed", 100, 0, 100, 20);
  maxed->SetStretchMode(smMaxHeight);
  f.Engine().PrepareBand(band);
  EXPECT_EQ(band->Height(), 30);
  f.Engine().PrepareBand(empty);
  EXPECT_EQ(empty->Height(), 0);
  f.Engine().PrepareBand(grow);
  EXPECT_EQ(grow->Height(), 70);
  EXPECT_EQ(maxed->Height(), 70);
}

// ---------------------------------------------------------------- page flow

TEST(ReportEnginePageFlow, StartNewPageBreaksBeforeEveryRowButTheFirst) {
  ReportFixture f(3);
  f.BuildList();
  f.Master->SetStartNewPage(true);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 3);
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(f.CountOf(p, "MasterData1"), 1);
    EXPECT_EQ(f.TextOf(p, "MasterData1"), IntToStr(p + 1));
    EXPECT_EQ(f.CountOf(p, "PageFooter1"), 1);
  }
}

TEST(ReportEnginePageFlow, TitleHeaderAndFooterOptions) {
  ReportFixture f(60);
  f.BuildList();
  auto* title = f.AddBand<TfrxReportTitle>("ReportTitle1", 300, 30);
  f.AddMemo(title, "TitleMemo", "Title");
  f.Page->SetTitleBeforeHeader(false);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  auto first = f.Out(0);
  EXPECT_EQ(first[0].Band, "PageHeader1");
  EXPECT_EQ(first[1].Band, "ReportTitle1");
  EXPECT_EQ(first[1].Top, 40);
  EXPECT_EQ(first[2].Top, 70);  // the first row below both
  EXPECT_EQ(f.CountOf(1, "ReportTitle1"), 0);

  // No page header on the first page; no page footer on the last.
  f.Page->SetTitleBeforeHeader(true);
  f.Header->SetPrintOnFirstPage(false);
  f.Footer->SetPrintOnLastPage(false);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  EXPECT_EQ(f.CountOf(0, "PageHeader1"), 0);
  EXPECT_EQ(f.Out(0)[0].Band, "ReportTitle1");
  EXPECT_EQ(f.CountOf(1, "PageHeader1"), 1);
  EXPECT_EQ(f.CountOf(0, "PageFooter1"), 1);
  EXPECT_EQ(f.CountOf(1, "PageFooter1"), 0);
}

TEST(ReportEnginePageFlow, ASummaryThatDoesNotFitGetsAPageWithHeaderAndFooter) {
  ReportFixture f(48);  // exactly fills the first page
  f.BuildList();
  auto* summary = f.AddBand<TfrxReportSummary>("ReportSummary1", 400, 20);
  f.AddMemo(summary, "SummaryMemo", "Total");
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  EXPECT_EQ(f.CountOf(0, "ReportSummary1"), 0);
  auto second = f.Out(1);
  ASSERT_EQ(second.size(), 3u);
  EXPECT_EQ(second[0].Band, "PageHeader1");
  EXPECT_EQ(second[1].Band, "ReportSummary1");
  EXPECT_EQ(second[1].Top, 40);
  EXPECT_EQ(second[2].Band, "PageFooter1");
  EXPECT_EQ(f.CountOf(0, "PageFooter1"), 1);
}

TEST(ReportEnginePageFlow, ABandTallerThanAPageIsOutputOnceOnANewPage) {
  ReportFixture f(1);
  f.BuildList();
  f.Master->SetHeight(1100);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 0);
  EXPECT_EQ(f.CountOf(1, "MasterData1"), 1);
  EXPECT_EQ(f.Out(1)[1].Top, 40);
}

TEST(ReportEnginePageFlow, APageHeaderTallerThanThePageOverflowsEachPageOnce) {
  ReportFixture f(3);
  f.BuildList();
  f.Header->SetHeight(1100);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  // Every row finds no room below the header and starts a page of its own.
  ASSERT_EQ(f.Store().Count(), 4);
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(f.CountOf(p, "PageHeader1"), 1);
    EXPECT_EQ(f.CountOf(p, "PageFooter1"), 1);
  }
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 0);
  for (int p = 1; p < 4; ++p) EXPECT_EQ(f.TextOf(p, "MasterData1"), IntToStr(p));
}

TEST(ReportEnginePageFlow, PrintOnPreviousPageContinuesBelowTheLastBand) {
  ReportFixture f(3);
  f.BuildList();
  TfrxReportPage* second = f.AddPage("Page2");
  second->SetPrintOnPreviousPage(true);
  auto* title = f.AddBand<TfrxReportTitle>("ReportTitle2", 0, 30, second);
  f.AddMemo(title, "Title2Memo", "Second");
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 1);
  EXPECT_EQ(f.CountOf(0, "ReportTitle2"), 1);
  for (const auto& o : f.Out(0))
    if (o.Band == "ReportTitle2") {
      EXPECT_EQ(o.Top, 100);  // 40 + 3 rows of 20
    }
}

TEST(ReportEnginePageFlow, AnOverlayPrintsUnderOrOverEverythingElse) {
  for (bool onTop : {false, true}) {
    SCOPED_TRACE(onTop);
    ReportFixture f(60);
    f.BuildList();
    auto* overlay = f.AddBand<TfrxOverlay>("Overlay1", 500, 100);
    overlay->SetPrintOnTop(onTop);
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    ASSERT_EQ(f.Store().Count(), 2);
    for (int p = 0; p < 2; ++p) {
      auto out = f.Out(p);
      EXPECT_EQ(f.CountOf(p, "Overlay1"), 1);
      EXPECT_EQ((onTop ? out.back() : out.front()).Band, "Overlay1");
      EXPECT_EQ((onTop ? out.back() : out.front()).Top, 0);
    }
  }
}

TEST(ReportEnginePageFlow, ASplittableBandRunsOverThreePagesWithItsTextOnce) {
  ReportFixture f(1);
  f.BuildList();
  f.Master->SetAllowSplit(true);
  f.Master->SetStretched(true);
  String text;
  for (int i = 1; i <= 200; ++i) text += "line " + IntToStr(i) + "\r\n";
  f.RowMemo->SetText(text);
  f.RowMemo->SetStretchMode(smActualHeight);
  ASSERT_GT(f.RowMemo->CalcHeight(), 2 * (kPrintable - 80));
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_GE(f.Store().Count(), 3);
  String printed;
  for (int p = 0; p < f.Store().Count(); ++p) {
    EXPECT_EQ(f.CountOf(p, "PageHeader1"), 1);
    EXPECT_EQ(f.CountOf(p, "PageFooter1"), 1);
    for (const auto& o : f.Out(p))
      if (o.Band == "MasterData1") {
        EXPECT_LE(o.Top + o.Height, kPrintable - 40 + 0.01);
        printed += o.Text;
        if (!printed.empty() && printed.back() != '\n') printed += "\r\n";
      }
  }
  std::unique_ptr<TStringList> want(new TStringList), got(new TStringList);
  want->SetText(text);
  got->SetText(printed);
  EXPECT_EQ(got->Text(), want->Text());
}

TEST(ReportEnginePageFlow, AnObjectTallerThanAPageInASplitBandGoesOutOnceWhole) {
  ReportFixture f(1);
  f.BuildList();
  f.Master->SetAllowSplit(true);
  f.Master->SetHeight(1520);
  delete f.RowMemo;
  for (auto [name, top, height] : {std::tuple<const char*, int, int>{"Tall", 0, 1500}, {"Small", 1500, 20}}) {
    auto* shape = new TfrxShapeView(f.Master);
    shape->SetName(name);
    shape->SetBounds(0, top, 100, height);
  }
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  int tall = 0, small = 0;
  for (int p = 0; p < f.Store().Count(); ++p) {
    TfrxReportPage* page = f.Store().GetPage(p);
    for (TfrxComponent* c : page->AllObjects()) {
      if (c->Name() == "Tall") {
        ++tall;
        EXPECT_EQ(c->Height(), 1500);
        EXPECT_EQ(c->AbsTop(), 40);  // at the top of a fresh page, overflowing it
      }
      small += c->Name() == "Small";
    }
  }
  EXPECT_EQ(tall, 1);
  EXPECT_EQ(small, 1);
  EXPECT_EQ(f.Store().Count(), 3);
}

TEST(ReportEnginePageFlow, TheSecondColumnStartsAtTheColumnTopWithTheColumnHeader) {
  ReportFixture f(60);
  f.BuildList();
  f.Page->SetColumns(2);
  auto* columnHeader = f.AddBand<TfrxColumnHeader>("ColumnHeader1", 30, 20);
  f.AddMemo(columnHeader, "ColumnMemo", "Col");
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 1);
  TfrxReportPage* page = f.Store().GetPage(0);
  std::vector<Extended> columnLefts;
  for (int i = 0; i < page->ObjectCount(); ++i)
    if (page->Objects(i)->Name() == "ColumnHeader1") {
      EXPECT_EQ(page->Objects(i)->Top(), 40);
      columnLefts.push_back(page->Objects(i)->Left());
    }
  ASSERT_EQ(columnLefts.size(), 2u);
  EXPECT_EQ(columnLefts[0], 0);
  EXPECT_NEAR(columnLefts[1], StrToFloat((*f.Page->ColumnPositions())[1]) * fr01cm, 0.01);
  EXPECT_EQ(f.CountOf(0, "PageHeader1"), 1);
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 60);
  // Rows of the second column start below its column header.
  int inSecond = 0;
  for (int i = 0; i < page->ObjectCount(); ++i) {
    TfrxComponent* b = page->Objects(i);
    if (b->Name() == "MasterData1" && b->Left() > 0) {
      if (inSecond++ == 0) {
        EXPECT_EQ(b->Top(), 60);
      }
    }
  }
  EXPECT_EQ(inSecond, 60 - 47);

  // On a page opened by a new page the columns start below the page header as printed, and the
  // page header keeps its height.
  f.Rows.SetRangeEndCount(150);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  auto second = f.Out(1);
  EXPECT_EQ(second[0].Band, "PageHeader1");
  EXPECT_EQ(second[0].Height, 40);
  int columnHeaders = 0;
  for (const auto& o : second)
    if (o.Band == "ColumnHeader1") {
      ++columnHeaders;
      EXPECT_EQ(o.Top, 40);
    }
  EXPECT_EQ(columnHeaders, 2);
  EXPECT_EQ(f.CountOf(1, "MasterData1"), 150 - 94);
}

// ---------------------------------------------------------------- sub-reports

TEST(ReportEngineSubreports, OutputGoesOnBelowTheLongestOfTwoSideBySide) {
  ReportFixture f(120);
  TfrxUserDataSet few(nullptr);
  few.SetUserName("Few");
  few.SetRangeEnd(reCount);
  few.SetRangeEndCount(10);
  f.Report.DataSets()->AddDataSet(&few);

  auto* holder = f.AddBand<TfrxMasterData>("MasterData1", 0, 30);
  holder->SetRowCount(1);
  auto* footer = f.AddBand<TfrxPageFooter>("PageFooter1", 300, 6);
  auto* summary = f.AddBand<TfrxReportSummary>("ReportSummary1", 100, 20);
  f.AddMemo(summary, "SummaryMemo", "End");

  TfrxReportPage* long_ = f.AddPage("Long");
  auto* longRows = f.AddBand<TfrxMasterData>("LongRows", 0, 20, long_);
  longRows->SetDataSet(&f.Rows);
  TfrxReportPage* short_ = f.AddPage("Short");
  auto* shortRows = f.AddBand<TfrxMasterData>("ShortRows", 0, 20, short_);
  shortRows->SetDataSet(&few);

  auto* a = new TfrxSubreport(holder);
  a->SetName("Subreport1");
  a->SetBounds(0, 5, 300, 20);
  a->SetPage(long_);
  auto* b = new TfrxSubreport(holder);
  b->SetName("Subreport2");
  b->SetBounds(350, 5, 300, 20);
  b->SetPage(short_);

  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  // The rows stop above the footer of the page that shows them (1040.93): 51 below the
  // sub-report's top at 5, 52 on the next page, 17 on the third; every page has that footer.
  EXPECT_EQ(footer->Height(), 6);
  ASSERT_EQ(f.Store().Count(), 3);
  EXPECT_EQ(f.CountOf(0, "LongRows"), 51);
  EXPECT_EQ(f.CountOf(0, "ShortRows"), 10);
  EXPECT_EQ(f.CountOf(2, "LongRows"), 17);
  for (int p = 0; p < 3; ++p) EXPECT_EQ(f.CountOf(p, "PageFooter1"), 1);
  for (const auto& o : f.Out(0))
    if (o.Band == "ShortRows") {
      EXPECT_EQ(o.Top, 5);
      break;
    }
  EXPECT_EQ(f.CountOf(2, "ReportSummary1"), 1);
  for (const auto& o : f.Out(2))
    if (o.Band == "ReportSummary1") {
      EXPECT_EQ(o.Top, 340);
    }
}

// ---------------------------------------------------------------- anchors and outline

TEST(ReportEngineAnchors, ASecondPassReadsAnAnchorSetFurtherOnAndTheOutlineFollowsTheRows) {
  ReportFixture f(1000);
  f.BuildList();
  auto* summary = f.AddBand<TfrxReportSummary>("ReportSummary1", 400, 20);
  f.Master->SetOutlineText("Line#");
  f.Report.EngineOptions()->SetDoublePass(true);
  std::vector<int> seen;
  f.Report.OnBeforePrint = TfrxBeforePrintEvent::Lambda([&](TfrxReportComponent* Sender) {
    if (Sender == summary) f.Store().AddAnchor("end");
    if (Sender == f.RowMemo && f.Rows.RecNo() == 0) seen.push_back(f.Store().GetAnchorPage("end"));
  });
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 21);
  // The first pass does not know it yet; the second reads the page of the first pass.
  std::vector<int> expected{1, 21};
  EXPECT_EQ(seen, expected);
  TfrxOutline* outline = f.Store().OutlineObj();
  outline->LevelRoot();
  ASSERT_EQ(outline->Count(), 1000);
  String text;
  int page = -1, top = -1;
  outline->GetItem(48, text, page, top);
  EXPECT_EQ(text, "49");
  EXPECT_EQ(page, 1);
  EXPECT_EQ(top, 40);
}

// ---------------------------------------------------------------- file cache

TEST(ReportEngineFileCache, ThreeHundredPagesSwapOutAndReadBackWhole) {
  const int rows = 300 * 48;
  ReportFixture f(rows);
  f.BuildList();
  f.Report.EngineOptions()->SetUseFileCache(true);
  f.Report.EngineOptions()->SetMaxMemSize(1);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  TfrxPreviewPages& store = f.Store();
  ASSERT_EQ(store.Count(), 300);
  EXPECT_TRUE(store.PageItem(0)->Loaded());
  EXPECT_TRUE(store.PageItem(1)->Loaded());
  EXPECT_TRUE(store.PageItem(299)->Loaded());
  int out = 0;
  for (int p = 2; p < 299; ++p) out += !store.PageItem(p)->Loaded();
  EXPECT_GT(out, 100);

  // Writing over a swapped-out page brings it in first: nothing of it is lost.
  ASSERT_FALSE(store.PageItem(5)->Loaded());
  store.SetCurPage(4);
  store.SetAddPageMode(apWriteOver);
  store.AddPage(f.Page);
  EXPECT_EQ(store.CurPage(), 5);
  EXPECT_EQ(store.LastBandBottom(), 40 + 48 * 20);
  store.AddObject(f.Header);
  EXPECT_EQ(f.CountOf(5, "PageHeader1"), 2);
  EXPECT_EQ(f.CountOf(5, "MasterData1"), 48);
  EXPECT_EQ(f.TextOf(5, "MasterData1"), IntToStr(5 * 48 + 1));
  // So does adding to a swapped-out page the engine went back to.
  ASSERT_FALSE(store.PageItem(7)->Loaded());
  store.SetCurPage(7);
  store.AddObject(f.Footer);
  EXPECT_EQ(f.CountOf(7, "PageFooter1"), 2);
  EXPECT_EQ(f.CountOf(7, "MasterData1"), 48);
  auto seventh = f.Out(7);
  EXPECT_EQ(seventh.front().Band, "PageHeader1");
  EXPECT_EQ(seventh[1].Text, IntToStr(7 * 48 + 1));
  EXPECT_EQ(seventh.back().Band, "PageFooter1");
  EXPECT_EQ(seventh[seventh.size() - 2].Band, "PageFooter1");
  int total = 0;
  for (int p = 0; p < 300; ++p) total += f.CountOf(p, "MasterData1");
  EXPECT_EQ(total, rows);
}

// ---------------------------------------------------------------- the store's helpers

TEST(ReportEngineStore, BandExistsLastBandBottomAndSourceCopiesOfRunTimeObjects) {
  ReportFixture f(3);
  f.BuildList();
  f.AddBand<TfrxOverlay>("Overlay1", 500, 900);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  TfrxPreviewPages& store = f.Store();
  store.SetCurPage(0);
  EXPECT_TRUE(store.BandExists(f.Master));
  EXPECT_TRUE(store.BandExists(f.Footer));
  TfrxPageFooter other(nullptr);
  EXPECT_TRUE(store.BandExists(&other));  // any page footer counts
  TfrxColumnFooter column(nullptr);
  EXPECT_FALSE(store.BandExists(&column));
  // The overlay (900 high) and the page footer do not count: the last row does.
  EXPECT_EQ(store.LastBandBottom(), 100);

  // A memo made during a run gets a source copy and is stored as a difference.
  auto* made = new TfrxMemoView(f.Master);
  made->SetName("Made");
  made->SetText("made at run time");
  made->SetBounds(300, 0, 100, 20);
  store.AddToSourcePage(made);
  ASSERT_NE(store.SourceCopy(made), nullptr);
  EXPECT_EQ(store.SourceCopy(made)->Name(), "Memo1");
  store.SetCurPage(0);
  store.AddObject(made);
  TfrxXMLItem* page = store.PageItem(0);
  TfrxXMLItem* last = page->ChildAt(page->ChildCount() - 1);
  EXPECT_EQ(store.Dictionary().SourceName(last->Name()), "Page0.Memo1");
  auto* rebuilt = dynamic_cast<TfrxMemoView*>(store.GetPage(0)->FindObject("Memo1"));
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(rebuilt->Text(), "made at run time");
  EXPECT_EQ(rebuilt->Left(), 300);
}

// ---------------------------------------------------------------- Prepare

TEST(ReportEnginePrepare, AMissingDataSetStopsBeforeTheRun) {
  ReportFixture f(3);
  f.BuildList();
  auto* item = static_cast<TfrxDataSetItem*>(f.Report.DataSets()->Add());
  item->SetDataSetName("X");
  bool began = false;
  f.Report.OnBeginDoc = TNotifyEvent::Lambda([&](TObject*) { began = true; });
  EXPECT_FALSE(f.Report.Prepare());
  EXPECT_EQ((*f.Report.Errors())[0], "数据库 \"X\" 不存在");
  EXPECT_FALSE(began);
  EXPECT_EQ(f.Store().Count(), 0);
}

TEST(ReportEnginePrepare, TheDefinitionComesBackAfterTheRunChangedIt) {
  ReportFixture f(3);
  f.BuildList();
  f.Report.EngineOptions()->SetReloadAfterRun(true);
  f.Report.ScriptText()->SetText("begin RowMemo.Text := 'changed'; end.");
  std::vector<int> progress;
  int started = 0, stopped = 0;
  f.Report.OnProgressStart = TfrxProgressEvent::Lambda([&](TfrxReport*, TfrxProgressType, int) { ++started; });
  f.Report.OnProgress =
      TfrxProgressEvent::Lambda([&](TfrxReport*, TfrxProgressType, int p) { progress.push_back(p); });
  f.Report.OnProgressStop = TfrxProgressEvent::Lambda([&](TfrxReport*, TfrxProgressType, int) { ++stopped; });
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  EXPECT_EQ(f.TextOf(0, "MasterData1"), "changed");
  auto* memo = dynamic_cast<TfrxMemoView*>(f.Report.FindObject("RowMemo"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Text(), "[Rows.\"N\"]");
  EXPECT_EQ(started, 1);
  EXPECT_EQ(stopped, 1);
  EXPECT_EQ(progress, std::vector<int>{1});
}

// A data set that counts its uses.
class TCountingDataSet : public TfrxUserDataSet {
public:
  using TfrxUserDataSet::TfrxUserDataSet;
  int Uses = 0;
  void BeginUse() override { ++Uses; }
  void EndUse() override { --Uses; }
};

TEST(ReportEnginePrepare, AnEventThatRaisesEndsTheRunCleanly) {
  ReportFixture f;
  TCountingDataSet rows(nullptr);
  rows.SetUserName("Counted");
  rows.SetRangeEnd(reCount);
  rows.SetRangeEndCount(20);
  f.Report.DataSets()->AddDataSet(&rows);
  f.BuildList();
  f.Master->SetDataSet(&rows);
  f.Report.ScriptText()->SetText("procedure Stopped(Sender: TfrxComponent); begin Set('Stopped', 1); end; begin end.");
  f.Report.SetOnStopReport("Stopped");
  f.Report.OnBeforePrint = TfrxBeforePrintEvent::Lambda([&](TfrxReportComponent* Sender) {
    if (Sender == f.RowMemo && rows.RecNo() == 2) throw Exception("boom");
  });
  EXPECT_FALSE(f.Report.Prepare());
  EXPECT_NE(f.Errors().find("boom"), String::npos);
  EXPECT_EQ(rows.Uses, 0);
  // A run the wiring stops never began using its data sets, and does not end using them.
  f.AddBand<TfrxHeader>("Lone", 900, 10);
  EXPECT_FALSE(f.Report.Prepare());
  EXPECT_EQ(rows.Uses, 0);
  EXPECT_FALSE(f.Engine().Running());
  EXPECT_EQ(f.Report.Variables()->GetVariables("Stopped"), Variant(1));
  EXPECT_EQ(f.RowMemo->Text(), "[Rows.\"N\"]");  // the band that raised was finished
}

TEST(ReportEnginePrepare, StopReportEndsTheRecordsButFinishesThePage) {
  ReportFixture f(100);
  f.BuildList();
  f.Report.OnBeforePrint = TfrxBeforePrintEvent::Lambda([&](TfrxReportComponent* Sender) {
    if (Sender == f.RowMemo && f.Rows.RecNo() == 9) f.Engine().StopReport();
  });
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 1);
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 10);
  EXPECT_EQ(f.CountOf(0, "PageFooter1"), 1);
}

TEST(ReportEnginePrepare, OnBeforePrintChangesTheOutputOfOneRowOnly) {
  ReportFixture f(3);
  f.BuildList();
  f.Report.OnBeforePrint = TfrxBeforePrintEvent::Lambda([&](TfrxReportComponent* Sender) {
    if (Sender == f.RowMemo && f.Rows.RecNo() == 1) f.RowMemo->SetText("two");
    if (Sender == f.Master && f.Rows.RecNo() == 2) f.Master->SetHeight(50);
  });
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  auto out = f.Out(0);
  ASSERT_EQ(out.size(), 5u);
  EXPECT_EQ(out[1].Text, "1");
  EXPECT_EQ(out[2].Text, "two");
  EXPECT_EQ(out[3].Text, "3");
  EXPECT_EQ(out[3].Height, 50);
  EXPECT_EQ(out[3].Top, 80);
  EXPECT_EQ(f.RowMemo->Text(), "[Rows.\"N\"]");
  EXPECT_EQ(f.Master->Height(), 20);
}


// ---------------------------------------------------------------- data bands around the rows

TEST(ReportEngineDataBands, HeadersFootersAndDetailData) {
  ReportFixture f(60);
  f.BuildList();
  auto* header = f.AddBand<TfrxHeader>("Header1", 50, 20);
  f.AddMemo(header, "DataHeaderMemo", "Head");
  auto* footer = f.AddBand<TfrxFooter>("Footer1", 90, 20);
  f.AddMemo(footer, "DataFooterMemo", "Foot");
  header->SetReprintOnNewPage(true);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  auto first = f.Out(0), second = f.Out(1);
  EXPECT_EQ(first[1].Band, "Header1");
  EXPECT_EQ(first[2].Text, "1");
  // The header is printed again below the page header of the next page; the footer follows
  // the last row.
  EXPECT_EQ(second[1].Band, "Header1");
  EXPECT_EQ(second[1].Top, 40);
  EXPECT_EQ(f.CountOf(0, "Footer1"), 0);
  EXPECT_EQ(f.CountOf(1, "Footer1"), 1);
  EXPECT_EQ(f.CountOf(0, "MasterData1") + f.CountOf(1, "MasterData1"), 60);

  // FooterAfterEach: a footer after every row.
  f.Master->SetFooterAfterEach(true);
  f.Rows.SetRangeEndCount(3);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  EXPECT_EQ(f.CountOf(0, "Footer1"), 3);
}

TEST(ReportEngineDataBands, AMasterRowWithoutDetailRowsPrintsOnlyWhenAsked) {
  struct Case {
    int details;
    bool printIfDetailEmpty;
    int masters;
  } cases[] = {{0, false, 0}, {0, true, 3}, {2, false, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(IntToStr(c.details) + (c.printIfDetailEmpty ? " forced" : ""));
    ReportFixture f(3);
    f.BuildList();
    TfrxUserDataSet details(nullptr);
    details.SetUserName("Details");
    details.SetRangeEnd(reCount);
    details.SetRangeEndCount(c.details);
    f.Report.DataSets()->AddDataSet(&details);
    auto* detail = f.AddBand<TfrxDetailData>("DetailData1", 100, 10);
    detail->SetDataSet(&details);
    f.Master->SetPrintIfDetailEmpty(c.printIfDetailEmpty);
    ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
    EXPECT_EQ(f.CountOf(0, "MasterData1"), c.masters);
    EXPECT_EQ(f.CountOf(0, "DetailData1"), c.masters * c.details);
  }
}

TEST(ReportEngineDataBands, AKeptBlockMovesToTheNextPageWithItsOutlineEntry) {
  ReportFixture f(6);
  f.BuildList();
  TfrxUserDataSet details(nullptr);
  details.SetUserName("Details");
  details.SetRangeEnd(reCount);
  details.SetRangeEndCount(10);
  f.Report.DataSets()->AddDataSet(&details);
  auto* detail = f.AddBand<TfrxDetailData>("DetailData1", 100, 20);
  detail->SetDataSet(&details);
  f.Master->SetKeepTogether(true);
  f.Master->SetOutlineText("Line#");
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  // A record with its ten details is 220 high: four fit below the page header (40 + 880).
  ASSERT_EQ(f.Store().Count(), 2);
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 4);
  EXPECT_EQ(f.CountOf(0, "DetailData1"), 40);
  auto second = f.Out(1);
  EXPECT_EQ(second[1].Band, "MasterData1");
  EXPECT_EQ(second[1].Text, "5");
  EXPECT_EQ(second[1].Top, 40);
  EXPECT_EQ(second[2].Band, "DetailData1");
  EXPECT_EQ(second[2].Top, 60);
  EXPECT_EQ(f.CountOf(1, "DetailData1"), 20);
  EXPECT_EQ(f.CountOf(1, "PageFooter1"), 1);
  TfrxOutline* outline = f.Store().OutlineObj();
  outline->LevelRoot();
  ASSERT_EQ(outline->Count(), 6);
  String text;
  int page = -1, top = -1;
  outline->GetItem(4, text, page, top);
  EXPECT_EQ(text, "5");
  EXPECT_EQ(page, 1);
  EXPECT_EQ(top, 40);
}

TEST(ReportEngineSubreports, OneOnItsParentGrowsTheBandThatHoldsIt) {
  ReportFixture f(3);
  auto* holder = f.AddBand<TfrxMasterData>("MasterData1", 0, 30);
  holder->SetRowCount(1);
  holder->SetStretched(true);
  TfrxReportPage* inner = f.AddPage("Inner");
  auto* rows = f.AddBand<TfrxMasterData>("InnerRows", 0, 20, inner);
  rows->SetDataSet(&f.Rows);
  f.AddMemo(rows, "InnerMemo", "[Rows.\"N\"]", 0, 20, 5, 100);
  auto* sub = new TfrxSubreport(holder);
  sub->SetName("Subreport1");
  sub->SetBounds(50, 10, 300, 20);
  sub->SetPrintOnParent(true);
  sub->SetPage(inner);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 1);
  EXPECT_EQ(f.CountOf(0, "InnerRows"), 0);  // nothing of the inner page goes out by itself
  TfrxReportPage* page = f.Store().GetPage(0);
  ASSERT_EQ(page->ObjectCount(), 1);
  TfrxComponent* band = page->Objects(0);
  EXPECT_EQ(band->Height(), 70);  // three rows from 10
  std::vector<String> texts;
  std::vector<Extended> tops, lefts;
  for (int i = 0; i < band->ObjectCount(); ++i)
    if (auto* memo = dynamic_cast<TfrxMemoView*>(band->Objects(i))) {
      texts.push_back(memo->Text());
      tops.push_back(memo->Top());
      lefts.push_back(memo->Left());
    }
  EXPECT_EQ(texts, (std::vector<String>{"1", "2", "3"}));
  EXPECT_EQ(tops, (std::vector<Extended>{10, 30, 50}));
  EXPECT_EQ(lefts, (std::vector<Extended>{55, 55, 55}));
  // The captured objects went with the output.
  EXPECT_EQ(holder->ObjectCount(), 1);
  EXPECT_EQ(holder->Height(), 30);
}

// ---------------------------------------------------------------- dialogs, scripts, clock

TEST(ReportEngineRun, ACancelledDialogStopsTheRunAfterStartReport) {
  ReportFixture f(3);
  f.BuildList();
  auto* dialog = new TfrxDialogPage(&f.Report);
  dialog->SetName("Dialog1");
  auto* button = new TButton(dialog->Form());
  button->SetParent(dialog->Form());
  f.Report.ScriptText()->SetText(
      "procedure Started(Sender: TfrxComponent); begin Set('Started', 1); end;\n"
      "procedure Stopped(Sender: TfrxComponent); begin Set('Stopped', 1); end;\nbegin end.");
  f.Report.SetOnStartReport("Started");
  f.Report.SetOnStopReport("Stopped");
  for (TModalResult result : {mrCancel, mrOk}) {
    SCOPED_TRACE(result);
    int shown = 0;
    f.Engine().OnRunDialogPage = [&](TfrxPage* Page) {
      ++shown;
      static_cast<TfrxDialogPage*>(Page)->SetModalResult(result);
    };
    f.Report.Variables()->SetVariables("Stopped", Variant(0));
    bool ok = f.Report.Prepare();
    EXPECT_EQ(ok, result == mrOk) << f.Errors();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(f.Store().Count(), result == mrOk ? 1 : 0);
    EXPECT_EQ(f.Report.Variables()->GetVariables("Started"), Variant(1));
    EXPECT_EQ(f.Report.Variables()->GetVariables("Stopped"), Variant(1));
  }
  // OnRunDialogs decides instead of the dialog pages.
  f.Report.ScriptText()->SetText("procedure Dialogs(var Ok: Boolean); begin Ok := False; end;\nbegin end.");
  f.Report.SetOnStartReport("");
  f.Report.SetOnStopReport("");
  f.Report.SetOnRunDialogs("Dialogs");
  int shown = 0;
  f.Engine().OnRunDialogPage = [&](TfrxPage*) { ++shown; };
  EXPECT_FALSE(f.Report.Prepare());
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(f.Store().Count(), 0);
}

TEST(ReportEngineRun, ScriptsDriveTheEngineAndTheRunTakesTheClock) {
  ReportFixture f(3);
  f.BuildList();
  f.Report.ScriptText()->SetText(
      "procedure Row(Sender: TfrxComponent);\n"
      "begin\n"
      "  Set('Free', Engine.FreeSpace);\n"
      "  if Engine.CurY > 50 then Engine.NewPage;\n"
      "end;\nbegin end.");
  f.Master->SetOnBeforePrint("Row");
  TClockOverride clock(TDateTime(46000.75));
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 3);
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(f.TextOf(p, "MasterData1"), IntToStr(p + 1));
    EXPECT_EQ(f.Out(p)[1].Top, 40);
  }
  // The last row asked before its new page: CurY 60 below the page header and one row, and
  // the page footer's 40.
  EXPECT_NEAR(f.Report.Variables()->GetVariables("Free").AsDouble(), kPrintable - 100, 0.01);
  EXPECT_EQ(f.Engine().StartDate(), 46000);
  EXPECT_NEAR(f.Engine().StartTime(), 0.75, 1e-9);
}

TEST(ReportEngineWiring, ViewsWithinAVerticalBandBecomeItsCells) {
  ReportFixture f(1);
  auto* master = f.AddBand<TfrxMasterData>("MasterData1", 0, 20);
  master->SetDataSet(&f.Rows);
  auto* inside = f.AddMemo(master, "Inside", "x", 0, 20, 100, 50);
  auto* outside = f.AddMemo(master, "Outside", "y", 0, 20, 170, 50);
  auto* column = f.AddBand<TfrxMasterData>("Column1", 0, 500);
  column->SetVertical(true);
  column->SetLeft(90);
  column->SetWidth(100);
  column->SetDataSet(&f.Rows);
  ASSERT_TRUE(f.Engine().PrepareRun()) << f.Errors();
  f.Engine().FinishRun();
  EXPECT_EQ(inside->Parent(), column);
  EXPECT_EQ(inside->OriginalBand, master);
  EXPECT_EQ(inside->Left(), 10);
  EXPECT_EQ(outside->Parent(), master);
  EXPECT_TRUE(master->HasVCells);
  EXPECT_EQ(f.Page->VMasterBands(), std::vector<TfrxComponent*>{column});
}

TEST(ReportEngineWiring, TheHeaderListRemovesTheFirstItemOfABand) {
  TfrxHeader a(nullptr), b(nullptr);
  TfrxHeaderList list;
  list.Add(&a, false, 0);
  list.Add(nullptr, false, 0);
  list.Add(&b, true, 10);
  list.Add(&a, false, 20);
  list.RemoveBand(&a);
  list.RemoveBand(nullptr);
  list.RemoveBand(&a);
  list.RemoveBand(&a);  // none left: nothing happens
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).Band, &b);
  EXPECT_TRUE(list.Items(0).AddedWhileKeeping);
  EXPECT_EQ(list.Items(0).Left, 10);
}


// ---------------------------------------------------------------- .fp3 of a run

String StreamText(TMemoryStream& S) { return String(static_cast<const char*>(S.Memory()), S.Size()); }

// A packer that turns every byte around, so a packed file is no XML.
class TFlipCompressor : public TfrxCustomCompressor {
public:
  static inline bool FailUnpack = false;
  void Compress(TStream* Source, TStream* Dest) override { Copy(Source, Dest); }
  void Decompress(TStream* Source, TStream* Dest) override {
    if (FailUnpack) throw Exception("bad packing");
    Copy(Source, Dest);
  }

private:
  static void Copy(TStream* Source, TStream* Dest) {
    std::string bytes(static_cast<std::size_t>(Source->Size() - Source->Position()), '\0');
    Source->Read(bytes.data(), static_cast<int>(bytes.size()));
    for (char& c : bytes) c = static_cast<char>(~c);
    Dest->Write(bytes.data(), static_cast<int>(bytes.size()));
  }
};

TEST(ReportEngineFp3, APreparedRunSavesLoadsAndSavesToTheSameBytes) {
  ReportFixture f(200);
  f.BuildList();
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 5);
  TMemoryStream a;
  f.Store().SaveToStream(&a);
  String text = StreamText(a);
  EXPECT_NE(text.find("<page0 ld=\"0\">"), String::npos);
  EXPECT_NE(text.find("name=\"Page0.RowMemo\""), String::npos);

  TfrxReport other(nullptr);
  TfrxPreviewPages loaded(&other);
  a.SetPosition(0);
  loaded.LoadFromStream(&a);
  ASSERT_EQ(loaded.Count(), 5);
  TMemoryStream b;
  loaded.SaveToStream(&b);
  EXPECT_EQ(StreamText(b), text);
  auto* memo = dynamic_cast<TfrxMemoView*>(loaded.GetPage(4)->Objects(1)->Objects(0));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Text(), IntToStr(4 * 48 + 1));
}

TEST(ReportEngineFp3, ARegisteredCompressorPacksAndUnpacksAndAFailureLeavesNothing) {
  RegisterPreparedCompressor([]() -> std::unique_ptr<TfrxCustomCompressor> { return std::make_unique<TFlipCompressor>(); });
  struct Unregister {
    ~Unregister() {
      RegisterPreparedCompressor(nullptr);
      TFlipCompressor::FailUnpack = false;
    }
  } unregister;
  ReportFixture f(100);
  f.BuildList();
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  TMemoryStream plain, packed;
  f.Store().SaveToStream(&plain);  // not Compressed: plain XML even with a compressor
  EXPECT_EQ(StreamText(plain).substr(0, 5), "<?xml");
  f.Report.ReportOptions()->SetCompressed(true);
  f.Store().SaveToStream(&packed);
  ASSERT_EQ(packed.Size(), plain.Size());
  EXPECT_NE(StreamText(packed), StreamText(plain));

  TfrxReport other(nullptr);
  other.EngineOptions()->SetNewSilentMode(simSilent);
  TfrxPreviewPages loaded(&other);
  packed.SetPosition(0);
  loaded.LoadFromStream(&packed);
  EXPECT_EQ(loaded.Count(), 3);
  TMemoryStream again;
  loaded.SaveToStream(&again);  // the other report is not Compressed
  EXPECT_EQ(StreamText(again), StreamText(plain));

  TFlipCompressor::FailUnpack = true;
  packed.SetPosition(0);
  loaded.LoadFromStream(&packed);
  EXPECT_EQ(loaded.Count(), 0);
  EXPECT_EQ(loaded.SourcePageCount(), 0);
  EXPECT_NE(other.Errors()->Text().find("解压数据错误"), String::npos);
}


TEST(ReportEngineRun, PageObjectsPrintOnceAndManualBuildReplacesTheBandLoop) {
  ReportFixture f(60);
  f.BuildList();
  auto* stamp = f.AddMemo(f.Page, "Stamp", "Page [Page#]", 500, 20, 300, 100);
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  ASSERT_EQ(f.Store().Count(), 2);
  // The object on the page is output with the first page of the page's run only.
  auto stampOn = [&](int PageIndex) {
    TfrxReportPage* page = f.Store().GetPage(PageIndex);
    TfrxComponent* found = page->FindObject("Stamp");
    return found ? dynamic_cast<TfrxMemoView*>(found) : nullptr;
  };
  ASSERT_NE(stampOn(0), nullptr);
  EXPECT_EQ(stampOn(0)->Text(), "Page 1");
  EXPECT_EQ(stampOn(0)->AbsTop(), 500);
  EXPECT_EQ(stampOn(1), nullptr);
  EXPECT_EQ(stamp->Parent(), f.Page);
  EXPECT_EQ(stamp->Text(), "Page [Page#]");

  int built = 0;
  f.Report.OnManualBuild = TfrxManualBuildEvent::Lambda([&](TfrxPage* Page) {
    ++built;
    EXPECT_EQ(Page, f.Page);
    f.Engine().ShowBand(f.Master);
    f.Engine().ShowBand(f.Master);
  });
  ASSERT_TRUE(f.Report.Prepare()) << f.Errors();
  EXPECT_EQ(built, 1);
  ASSERT_EQ(f.Store().Count(), 1);
  EXPECT_EQ(f.CountOf(0, "MasterData1"), 2);
}

}  // namespace
