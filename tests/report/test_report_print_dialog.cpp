// The print dialog of prepared reports, driven as a user would: printer choice and cancel,
// print to file, the page box, copies and collation, and a page text that leaves no page.
#include "TempFolder.h"
#include "../platform/print/PrintTestUtil.h"

#include "core/Scope.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/ComboBox.h"
#include "gui/Dialogs.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"
#include "gui/Timers.h"
#include "report/frxBands.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxPrintDialog.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs the steps on the dialog while it is up, one per tick of its modal loop, so the loop
// acts on what a step did (a button's modal result) before the next one looks.
class TAtDialog {
public:
  using TStep = std::function<void(TfrxPrintDialog&)>;
  explicit TAtDialog(TStep Step) : TAtDialog(std::vector<TStep>{std::move(Step)}) {}
  explicit TAtDialog(std::vector<TStep> Steps) : FSteps(std::move(Steps)) {
    FTimer.SetInterval(10);
    FTimer.SetOnTimer(TNotifyEvent::Lambda([this](TObject*) {
      for (int i = 0; i < Screen->CustomFormCount(); ++i)
        if (auto* d = dynamic_cast<TfrxPrintDialog*>(Screen->CustomForms(i)); d && d->Visible()) {
          if (FNext + 1 >= FSteps.size()) FTimer.SetEnabled(false);
          Ran = true;
          FSteps[FNext++](*d);
          return;
        }
    }));
  }
  bool Ran = false;

private:
  std::vector<TStep> FSteps;
  std::size_t FNext = 0;
  TTimer FTimer{nullptr};
};

struct PrintDialogTest : ::testing::Test {
  PrintDialogTest() {
    FOld = SetPrinterSource(std::make_unique<printtest::TTestSource>(std::vector<String>{"Laser", "Office"}, Log, true));
    ResetReportPrinters();
  }
  ~PrintDialogTest() override {
    SetPrinterSource(std::move(FOld));
    ResetReportPrinters();
  }
  std::shared_ptr<printtest::TJobLog> Log = std::make_shared<printtest::TJobLog>();

private:
  std::unique_ptr<TPrinterSource> FOld;
};

TEST_F(PrintDialogTest, CancelPutsBackThePrinterChosenBefore) {
  TfrxPrintSettings s;
  TAtDialog person([](TfrxPrintDialog& d) {
    EXPECT_EQ(d.PrintersCB->Items()->Count(), 3);
    EXPECT_EQ(d.PrintersCB->ItemIndex(), 0);
    EXPECT_EQ(d.TypeL1->Caption(), "Laser");
    d.PrintersCB->SetItemIndex(1);
    d.PrintersCBClick(d.PrintersCB);
    EXPECT_EQ(ReportPrinters()->CurrentPrinter()->DeviceName(), "Office");
    EXPECT_EQ(d.TypeL1->Caption(), "Office");
    d.CancelB->Click();
  });
  EXPECT_FALSE(ExecuteReportPrintDialog(s, 1, 10));
  EXPECT_TRUE(person.Ran);
  EXPECT_EQ(ReportPrinters()->CurrentPrinter()->DeviceName(), "Laser");

  TAtDialog again([](TfrxPrintDialog& d) {
    d.PrintersCB->SetItemIndex(1);
    d.PrintersCBClick(d.PrintersCB);
    d.OkB->Click();
  });
  EXPECT_TRUE(ExecuteReportPrintDialog(s, 1, 10));
  EXPECT_EQ(ReportPrinters()->CurrentPrinter()->DeviceName(), "Office");
}

TEST_F(PrintDialogTest, PrintingToAFileTakesThePrnExtension) {
  struct Case {
    const char* Chosen;
    const char* Expected;
  };
  const Case cases[] = {{"/tmp/out/a.txt", "/tmp/out/a.prn"}, {"/tmp/out/report", "/tmp/out/report.prn"}};
  for (const Case& c : cases) {
    TDialogScript files;
    files.File(c.Chosen);
    TfrxPrintSettings s;
    TAtDialog person([](TfrxPrintDialog& d) {
      d.FileCB->SetChecked(true);
      d.OkB->Click();
    });
    ASSERT_TRUE(ExecuteReportPrintDialog(s, 1, 10));
    EXPECT_EQ(ReportPrinters()->CurrentPrinter()->OutputFileName, c.Expected);
    ASSERT_EQ(files.Asked().size(), 1u);
  }
  // Cancelling the file dialog cancels the print; a print without a file clears the old one.
  {
    TDialogScript files;
    files.Cancel();
    TfrxPrintSettings s;
    TAtDialog person([](TfrxPrintDialog& d) {
      d.FileCB->SetChecked(true);
      d.OkB->Click();
    });
    EXPECT_FALSE(ExecuteReportPrintDialog(s, 1, 10));
  }
  TfrxPrintSettings s;
  TAtDialog person([](TfrxPrintDialog& d) { d.OkB->Click(); });
  ASSERT_TRUE(ExecuteReportPrintDialog(s, 1, 10));
  EXPECT_EQ(ReportPrinters()->CurrentPrinter()->OutputFileName, "");
}

TEST_F(PrintDialogTest, TheChoicesComeBackAsSettings) {
  TfrxPrintSettings s;
  s.Copies = 3;
  s.Collate = false;
  s.PageNumbers = "2-4";
  s.PrintPages = ppEven;
  s.Reverse = true;
  TAtDialog person([](TfrxPrintDialog& d) {
    // What the caller set shows.
    EXPECT_EQ(d.CopiesE->Text(), "3");
    EXPECT_FALSE(d.CollateCB->Checked());
    EXPECT_TRUE(d.PageNumbersRB->Checked());
    EXPECT_EQ(d.PageNumbersE->Text(), "2-4");
    EXPECT_EQ(d.PrintPagesCB->ItemIndex(), 2);
    EXPECT_TRUE(d.ReverseCB->Checked());
    d.CollateLClick(d.CollateL);  // the label toggles the box
    EXPECT_TRUE(d.CollateCB->Checked());
    d.CurPageRB->SetChecked(true);
    d.PrintPagesCB->SetItemIndex(1);
    d.OkB->Click();
  });
  ASSERT_TRUE(ExecuteReportPrintDialog(s, 7, 10));
  EXPECT_EQ(s.Copies, 3);
  EXPECT_TRUE(s.Collate);
  EXPECT_EQ(s.PageNumbers, "7");
  EXPECT_EQ(s.PrintPages, ppOdd);
}

TEST_F(PrintDialogTest, EnteringThePageBoxChoosesPageNumbers) {
  TfrxPrintSettings s;
  TAtDialog person([](TfrxPrintDialog& d) {
    EXPECT_TRUE(d.AllRB->Checked());
    d.PageNumbersE->SetFocus();
    EXPECT_TRUE(d.PageNumbersRB->Checked());
    d.PageNumbersE->SetText("3-");
    d.OkB->Click();
  });
  ASSERT_TRUE(ExecuteReportPrintDialog(s, 1, 10));
  EXPECT_EQ(s.PageNumbers, "3-");
}

TEST_F(PrintDialogTest, APageTextThatLeavesNoPageKeepsTheDialogOpen) {
  for (const char* text : {"12-8", "0", "1;2"}) {
    TfrxPrintSettings s;
    bool stayed = false;
    TAtDialog person({[&](TfrxPrintDialog& d) {
                        d.PageNumbersRB->SetChecked(true);
                        d.PageNumbersE->SetText(text);
                        d.OkB->SetFocus();
                        d.OkB->Click();
                      },
                      [&](TfrxPrintDialog& d) {
                        stayed = d.Visible();
                        EXPECT_TRUE(d.PageNumbersE->Focused()) << text;
                        EXPECT_EQ(d.PageNumbersE->SelLength(), int(String(text).size())) << text;
                        d.CancelB->Click();
                      }});
    EXPECT_FALSE(ExecuteReportPrintDialog(s, 1, 10)) << text;
    EXPECT_TRUE(stayed) << text;
  }
}

TEST_F(PrintDialogTest, TheCopiesPictureFollowsCollation) {
  TfrxPrintSettings s;
  TAtDialog person([](TfrxPrintDialog& d) {
    // The copies box as the window paints it; the collated picture reaches lower rows.
    auto picture = [&] {
      TBitmap shot;
      shot.SetWidth(d.Label2->Width());
      shot.SetHeight(d.Label2->Height());
      d.Label2->PaintTo(shot.Canvas(), 0, 0);
      int white = 0;
      const int y = d.CopiesPB->Top() + 36;
      for (int x = d.CopiesPB->Left(); x < d.CopiesPB->Left() + d.CopiesPB->Width(); ++x)
        if (shot.Canvas()->Pixels(x, y) == clWhite) ++white;
      return white;
    };
    d.CollateCB->SetChecked(true);
    d.CollateCBClick(d.CollateCB);
    int collated = picture();
    d.CollateCB->SetChecked(false);
    d.CollateCBClick(d.CollateCB);
    int separate = picture();
    EXPECT_GT(collated, 0);
    EXPECT_EQ(separate, 0);
    d.CancelB->Click();
  });
  ExecuteReportPrintDialog(s, 1, 10);
  EXPECT_TRUE(person.Ran);
}

TEST_F(PrintDialogTest, PrintingAsksTheDialogAndPrintsWhatItChose) {
  TfrxReport report(nullptr);
  report.EngineOptions()->SetNewSilentMode(simSilent);
  auto* page = new TfrxReportPage(&report);
  page->SetName("Page1");
  page->SetPaperSize(9);
  auto* band = new TfrxMasterData(&report);
  band->SetParent(page);
  band->SetName("Band");
  band->SetHeight(20);
  auto* memo = new TfrxMemoView(&report);
  memo->SetParent(band);
  memo->SetName("Memo");
  memo->SetBounds(0, 0, 200, 20);
  auto& store = *static_cast<TfrxPreviewPages*>(report.PreviewPages());
  store.AddSourcePage(page);
  store.BeginPass();
  for (int p = 1; p <= 3; ++p) {
    store.AddPage(page);
    memo->SetText("PAGE" + IntToStr(p));
    store.AddObject(band);
  }
  int started = 0;
  report.OnPrintReport = TNotifyEvent::Lambda([&](TObject*) { ++started; });
  report.PrintOptions()->SetShowDialog(true);

  TAtDialog cancel([](TfrxPrintDialog& d) { d.CancelB->Click(); });
  EXPECT_FALSE(store.Print());
  EXPECT_TRUE(Log->Pages.empty());
  EXPECT_EQ(started, 0);

  store.SetCurPreviewPage(2);
  TAtDialog current([](TfrxPrintDialog& d) {
    d.CurPageRB->SetChecked(true);
    d.OkB->Click();
  });
  EXPECT_TRUE(store.Print());
  ASSERT_EQ(Log->Pages.size(), 1u);
  EXPECT_NE(Log->Pages[0]->Text().find("PAGE2"), String::npos);
  EXPECT_EQ(started, 1);
}

}  // namespace
