// The main window's chart command over the contract list: the bars are the amounts by type
// of the list's last search, whatever its conditions, and nothing happens while the list is
// closed.
#include "AppWindows.h"
#include "PactFixture.h"
#include "StdTestUtil.h"

#include "app/ufrmChart.h"
#include "app/ufrmPact.h"
#include "core/DateUtils.h"
#include "gui/Chart.h"
#include "gui/StdCtrls.h"

#include <map>
#include <memory>

namespace {

class PactChartTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    Clock = std::make_unique<TClockOverride>(Date() + 0.5);
    pactfixture::Install(Frm_Data->ADOConnection1, Folder.Path(), Date());
    LoginAsAdminAndShow();  // the main window opens the contract list first
    ASSERT_NE(frmPact, nullptr);
  }
  void TearDown() override {
    Clock.reset();
    AppWindowsTest::TearDown();
  }
  // The bars of the chart the command shows: label to value.
  std::map<String, double> ChartBars(int& shown) {
    std::map<String, double> bars;
    TModalSteps read({[&](TCustomForm* m) {
      auto* chart = dynamic_cast<TfrmChart*>(m);
      ASSERT_NE(chart, nullptr);
      ++shown;
      TChartSeries* s = chart->PactChart->Series(0);
      for (int i = 0; i < s->Count(); ++i) bars[s->XLabel(i)] = s->YValue(i);
      guitest::Click(chart->btnClose, {10, 10});
    }});
    Frm_Main->PactChart->Execute();
    EXPECT_FALSE(read.Overran());
    return bars;
  }
  std::unique_ptr<TClockOverride> Clock;
};

TEST_F(PactChartTest, TheBarsAreTheAmountsByTypeOfTheListsLastSearch) {
  int shown = 0;
  EXPECT_EQ(ChartBars(shown), (std::map<String, double>{
                                  {"施工合同", 760000}, {"设计合同", 215000.5}, {"工程合同", 80000}, {"采购合同", 345000}}));
  guitest::Click(frmPact->RadioButton4, {5, 5});  // 已终止
  Application->ProcessMessages();
  EXPECT_EQ(ChartBars(shown), (std::map<String, double>{{"采购合同", 300000}}));
  frmPact->edtKey->SetText("没有这样的合同");
  guitest::Click(frmPact->Btn_Search, {10, 10});
  Application->ProcessMessages();
  EXPECT_TRUE(ChartBars(shown).empty());
  EXPECT_EQ(shown, 3);
  // The list closed: nothing.
  frmPact->Close();
  Application->ProcessMessages();
  ASSERT_EQ(frmPact, nullptr);
  EXPECT_TRUE(ChartBars(shown).empty());
  EXPECT_EQ(shown, 3);
}

}  // namespace
