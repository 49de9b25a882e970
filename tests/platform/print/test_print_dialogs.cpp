// The print and printer setup dialogs answered by a dialog script: the printer, pages and PDF
// file chosen reach Printer(); a cancelled dialog changes nothing.
#include "PrintTestUtil.h"
#include "print/PrintDialogs.h"

using namespace printtest;
using PrintDialogTest = PrinterFixture;

TEST_F(PrintDialogTest, ChoosesPrinterPagesAndPdfFile) {
  Use({"Front desk", "Back office"});
  TPrintDialog dlg(nullptr);
  dlg.SetMinPage(1);
  dlg.SetMaxPage(5);
  dlg.SetOptions({poPageNums});
  struct Row {
    String Printer;
    int From, To;
    String File;
    TPrintRange Range;
    int WantFrom, WantTo;
  };
  const Row rows[] = {
      {"PDF", 2, 3, "/tmp/list.pdf", prPageNums, 2, 3},
      {"Back office", 0, 0, "", prAllPages, 2, 3},   // all pages: the last range stays as it was
      {"Front desk", 4, 9, "", prPageNums, 4, 5},    // kept within the document's pages
      {"Front desk", 3, 1, "", prPageNums, 1, 3},    // given backwards
      {"Front desk", 7, 9, "", prAllPages, 1, 3},    // no page of the document: all of them
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Printer + " " + std::to_string(r.From));
    TDialogScript script;
    script.Print(r.Printer, r.From, r.To, r.File);
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(script.Unanswered(), 0);
    EXPECT_EQ(P()->Printers()->Strings(P()->PrinterIndex()), r.Printer);
    EXPECT_EQ(dlg.PrintRange(), r.Range);
    EXPECT_EQ(dlg.FromPage(), r.WantFrom);
    EXPECT_EQ(dlg.ToPage(), r.WantTo);
  }
  EXPECT_EQ(P()->FileName(), "/tmp/list.pdf");
}

// The dialog is asked with what is selected now; cancelling leaves printer and range alone.
TEST_F(PrintDialogTest, AsksWithTheCurrentChoiceAndCancelKeepsIt) {
  Use({"Front desk", "Back office"}, true, 1);
  TPrintDialog dlg(nullptr);
  dlg.SetPrintRange(prPageNums);
  dlg.SetFromPage(2);
  dlg.SetToPage(4);
  dlg.SetCopies(2);
  TDialogScript script;
  script.Cancel();
  EXPECT_FALSE(dlg.Execute());
  ASSERT_EQ(script.Asked().size(), 1u);
  const TDialogRequest& asked = script.Asked()[0];
  EXPECT_EQ(asked.Kind, dkPrint);
  EXPECT_EQ(asked.Printer, "Back office");
  EXPECT_EQ(asked.FromPage, 2);
  EXPECT_EQ(asked.ToPage, 4);
  EXPECT_EQ(asked.Copies, 2);
  EXPECT_EQ(P()->PrinterIndex(), 1);
  EXPECT_EQ(dlg.PrintRange(), prPageNums);
  EXPECT_EQ(dlg.FromPage(), 2);
}

// The dialog's choice prints: a PDF chosen in it is written with the document's pages.
TEST_F(PrintDialogTest, PrintsToThePdfChosenInTheDialog) {
  Use({"Front desk"});
  auto dir = TempFolder("dialog");
  auto file = dir / "out.pdf";
  TPrintDialog dlg(nullptr);
  TDialogScript script;
  script.Print("PDF", 0, 0, file.string());
  ASSERT_TRUE(dlg.Execute());
  P()->SetTitle("项目合同打印");
  P()->BeginDoc();
  P()->Canvas()->TextOut(100, 100, "项目合同打印");
  P()->EndDoc();
  EXPECT_NE(PdfText(file).find("项目合同打印"), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST_F(PrintDialogTest, PrinterSetupSelectsThePrinter) {
  Use({"Front desk", "Back office"});
  TPrinterSetupDialog dlg(nullptr);
  {
    TDialogScript script;
    String preset;
    script.Answer([&](TDialogRequest& r) {
      if (r.Kind != dkPrinterSetup) return false;
      preset = r.Printer;
      r.Printer = "Back office";
      r.Result = 1;
      return true;
    });
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(preset, "Front desk");
  }
  EXPECT_EQ(P()->PrinterIndex(), 1);
  {
    TDialogScript script;
    script.Cancel();
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(P()->PrinterIndex(), 1);
    script.PrinterSetup("Front desk");
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(P()->PrinterIndex(), 0);
    script.PrinterSetup("Back office");
    EXPECT_TRUE(dlg.Execute());
  }
  EXPECT_EQ(P()->PrinterIndex(), 1);
  {
    // A printer the system does not have is refused, as a selection of it would be.
    TDialogScript script;
    script.PrinterSetup("Nowhere");
    EXPECT_THROW(dlg.Execute(), EPrinter);
  }
  EXPECT_EQ(P()->PrinterIndex(), 1);
}

// Without printers the dialog still answers (the pages chosen); printing then reports that
// there is no printer.
TEST_F(PrintDialogTest, WithoutPrintersTheDialogStillAnswers) {
  Use({}, false);
  TPrintDialog dlg(nullptr);
  dlg.SetMaxPage(3);
  TDialogScript script;
  script.Print("", 2, 2);
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.PrintRange(), prPageNums);
  EXPECT_EQ(dlg.FromPage(), 2);
  EXPECT_EQ(script.Asked().at(0).Printer, "");
  EXPECT_THROW(P()->BeginDoc(), EPrinter);
}

// The page setup dialog shows the device mode and margins it is given and hands back what the
// person chose; a cancelled one leaves both as they were.
TEST(PageSetupDialog, ModeAndMarginsGoInAndComeBack) {
  TPageSetupDialog dlg(nullptr);
  DEVMODE mode;
  mode.dmPaperSize = DMPAPER_A4;
  mode.dmOrientation = DMORIENT_PORTRAIT;
  dlg.SetDeviceMode(mode);
  dlg.SetMargins({1000, 1500, 2000, 2500});
  EXPECT_TRUE(dlg.Options().Contains(psdMargins));
  EXPECT_TRUE(dlg.Options().Contains(psdInHundredthsOfMillimeters));
  struct TCase {
    bool Confirm;
    TRect Margins;
    short Orientation;
  } cases[] = {{true, {500, 600, 700, 800}, DMORIENT_LANDSCAPE}, {false, {1, 2, 3, 4}, DMORIENT_PORTRAIT}};
  for (const TCase& c : cases) {
    const TRect before = dlg.Margins();
    const short beforeOrientation = dlg.DeviceMode().dmOrientation;
    TRect seen{};
    TDialogHook old = SetDialogHook([&](TDialogRequest& r) {
      if (r.Kind != dkPageSetup) return false;
      auto* d = dynamic_cast<TPageSetupDialog*>(r.Dialog);
      if (!d) return false;
      seen = d->Margins();
      if (c.Confirm) {
        d->SetMargins(c.Margins);
        d->DeviceMode().dmOrientation = c.Orientation;
      }
      r.Result = c.Confirm ? 1 : 0;
      return true;
    });
    const bool ok = dlg.Execute();
    SetDialogHook(old);
    EXPECT_EQ(ok, c.Confirm);
    EXPECT_EQ(seen, before) << "the dialog shows the margins it was given";
    EXPECT_EQ(dlg.Margins(), c.Confirm ? c.Margins : before);
    EXPECT_EQ(dlg.DeviceMode().dmOrientation, c.Confirm ? c.Orientation : beforeOrientation);
  }
}
