// The report engine: a list report over a user data set prepared into stored pages, page
// numbers in one and two passes, the wiring of bands and its errors, stretching and shifting,
// the page flow (title, headers, footers, summary, overlay, new pages, split bands, columns),
// sub-reports, anchors and outline, the file cache, and the report's Prepare around a run.
#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxEngine.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxXML.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
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

}  // namespace
