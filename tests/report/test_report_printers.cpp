// The report's printers over the platform's devices: metrics from device caps, paper and bin
// lists, view and print settings in the device mode, raw jobs, the driver dialog, and the
// process-wide list filled from the printer source.
#include "TempFolder.h"
#include "../platform/print/PrintTestUtil.h"

#include "core/Scope.h"
#include "core/StringList.h"
#include "gui/Dialogs.h"
#include "print/RawJob.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using printtest::TJobLog;
using printtest::TRecordingDevice;

// A device with lists of its own and caps a test chooses.
class TListDevice : public TRecordingDevice {
public:
  TListDevice(TPrinterCaps Caps, std::shared_ptr<TJobLog> Log) : TRecordingDevice("Lists", Caps, std::move(Log)) {}
  std::vector<short> Papers() const override { return {DMPAPER_A4, DMPAPER_USER, DMPAPER_LETTER}; }
  std::vector<TPrintBin> Bins() const override {
    return {{DMBIN_AUTO, "Auto"}, {DMBIN_UPPER, "Upper tray"}, {DMBIN_MANUAL, "Manual feed"}};
  }
};

struct PrinterTest : ::testing::Test {
  std::shared_ptr<TJobLog> Log = std::make_shared<TJobLog>();
  TfrxPrinter Make(TPrinterCaps Caps = printtest::RecorderCaps()) {
    return TfrxPrinter("Lists", "", std::make_unique<TListDevice>(Caps, Log));
  }
};

TEST_F(PrinterTest, MetricsComeFromTheDeviceCapsInMillimetres) {
  TfrxPrinter p("Lists", "", std::make_unique<TListDevice>(printtest::RecorderCaps(), Log));
  p.LoadDeviceInfo();
  ASSERT_TRUE(p.DeviceInfoLoaded);
  EXPECT_EQ(p.Resolution.X, 300);
  EXPECT_NEAR(p.UnprintableLeft, 50 * 25.4 / 300, 1e-9);  // 4.23 mm
  EXPECT_NEAR(p.UnprintableTop, 60 * 25.4 / 300, 1e-9);   // 5.08 mm
  EXPECT_NEAR(p.ActivePaperWidth, 2480 * 25.4 / 300, 1e-9);
  EXPECT_NEAR(p.UnprintableRight, (2480 - 2430) * 25.4 / 300, 1e-9);
  EXPECT_EQ(p.DefaultPaperSize, DMPAPER_A4);
  EXPECT_EQ(p.DefaultOrientation, poPortrait);
  // The lists keep their first entry and hold the device's custom paper and automatic bin once.
  ASSERT_EQ(p.PaperList()->Count(), 3);
  EXPECT_EQ(p.PaperList()->Strings(0), ReportResources()->TextOf("prCustom"));
  EXPECT_EQ(p.PaperList()->Strings(1), "A4");
  EXPECT_EQ(p.PaperIndexOf(DMPAPER_USER), 0);
  ASSERT_EQ(p.BinList()->Count(), 3);
  EXPECT_EQ(p.BinIndexOf(DMBIN_AUTO), 0);
  EXPECT_EQ(p.BinNumberOf("Manual feed"), DMBIN_MANUAL);
  // Loading again reads nothing twice.
  p.LoadDeviceInfo();
  EXPECT_EQ(p.PaperList()->Count(), 3);
}

TEST_F(PrinterTest, ADeviceWithoutResolutionIsNotAValidPrinter) {
  TPrinterCaps caps = printtest::RecorderCaps();
  caps.DpiX = caps.DpiY = 0;
  TfrxPrinter p("Lists", "", std::make_unique<TListDevice>(caps, Log));
  try {
    p.LoadDeviceInfo();
    FAIL() << "no error";
  } catch (const EPrinter& e) {
    EXPECT_EQ(e.Message(), "Printer selected is not valid");
  }
  EXPECT_FALSE(p.DeviceInfoLoaded);
  EXPECT_EQ(p.PaperList()->Count(), 1);
}

TEST_F(PrinterTest, ACustomPaperMeasuresAsA4AndReachesTheDeviceInTenthsOfAMillimetre) {
  TfrxPrinter p("Lists", "", std::make_unique<TListDevice>(printtest::RecorderCaps(), Log));
  p.LoadDeviceInfo();
  p.ApplyViewSettings(DMPAPER_USER, poLandscape, 120, 80);
  EXPECT_EQ(p.ActivePaper, DMPAPER_USER);
  EXPECT_EQ(p.ActivePaperWidth, 120);
  EXPECT_EQ(p.ActivePaperHeight, 80);
  EXPECT_NEAR(p.UnprintableLeft, 60 * 25.4 / 300, 1e-9);  // A4's margins, turned
  EXPECT_EQ(p.DeviceMode().dmPaperSize, DMPAPER_A4);

  p.StartJob();
  p.ApplyPrintSettings(DMPAPER_USER, poPortrait, 120, 80, 7, 1, 1);
  p.StartSheet();
  p.FinishSheet();
  p.FinishJob();
  ASSERT_EQ(Log->PageModes.size(), 1u);
  EXPECT_EQ(Log->PageModes[0].dmPaperSize, DMPAPER_USER);
  EXPECT_EQ(Log->PageModes[0].dmPaperWidth, 1200);
  EXPECT_EQ(Log->PageModes[0].dmPaperLength, 800);
}

TEST_F(PrinterTest, PrintSettingsWriteBinDuplexAndCopiesByTheirRules) {
  struct Case {
    int Bin, Duplex, Copies, Override;
    short ExpectBin, ExpectDuplex;
  };
  const Case cases[] = {
      {2, 1, 1, -1, 2, DMDUP_SIMPLEX},   // duplex 1 leaves the device's setting
      {7, 2, 3, -1, 2, DMDUP_VERTICAL},  // bin 7 keeps the source set before
      {1, 3, 1, -1, 1, DMDUP_HORIZONTAL},
      {1, 4, 1, -1, 1, DMDUP_SIMPLEX},   // 4 is simplex
      {1, 1, 2, 4, 4, DMDUP_SIMPLEX},    // the driver dialog's bin wins
  };
  TfrxPrinter p("Lists", "", std::make_unique<TListDevice>(printtest::RecorderCaps(), Log));
  p.LoadDeviceInfo();
  for (const Case& c : cases) {
    p.BinOverride = c.Override;
    p.ApplyPrintSettings(DMPAPER_A4, poPortrait, 210, 297, c.Bin, c.Duplex, c.Copies);
    EXPECT_EQ(p.DeviceMode().dmDefaultSource, c.ExpectBin) << c.Bin << "/" << c.Duplex;
    EXPECT_EQ(p.DeviceMode().dmDuplex, c.ExpectDuplex) << c.Bin << "/" << c.Duplex;
    EXPECT_EQ(p.DeviceMode().dmCopies, c.Copies);
  }
}

TEST_F(PrinterTest, EachSheetIsRecordedAtTheDevicesResolutionWithItsOwnMode) {
  TfrxPrinter p("Lists", "", std::make_unique<TListDevice>(printtest::RecorderCaps(), Log));
  p.LoadDeviceInfo();
  p.DocumentTitle = "Invoices";
  p.ApplyPrintSettings(DMPAPER_A4, poPortrait, 210, 297, 7, 1, 1);
  p.StartJob();
  EXPECT_TRUE(p.JobRunning);
  p.StartSheet();
  p.Canvas()->TextOut(100, 100, "portrait");
  p.FinishSheet();
  p.ApplyPrintSettings(DMPAPER_A4, poLandscape, 210, 297, 7, 1, 1);
  p.StartSheet();
  p.Canvas()->TextOut(100, 100, "landscape");
  p.FinishSheet();
  p.FinishJob();
  EXPECT_FALSE(p.JobRunning);
  EXPECT_EQ(Log->Events, (std::vector<String>{"begin Invoices", "page", "page", "end"}));
  ASSERT_EQ(Log->Pages.size(), 2u);
  EXPECT_EQ(Log->Pages[0]->Dpi(), 300);
  EXPECT_EQ(Log->Pages[0]->Width(), 2380);  // the printable area
  EXPECT_EQ(Log->Pages[1]->Width(), 3388);  // turned
  EXPECT_NE(Log->Pages[1]->Text().find("landscape"), String::npos);
  EXPECT_EQ(Log->PageModes[0].dmOrientation, DMORIENT_PORTRAIT);
  EXPECT_EQ(Log->PageModes[1].dmOrientation, DMORIENT_LANDSCAPE);
}

TEST_F(PrinterTest, RawJobsReachTheSpoolerOrAFileUnchangedAndThePdfPrinterRefusesThem) {
  const std::string bytes("\x1b@\x1b\x45Bold\0line\r\n\x0c", 15);
  std::vector<std::string> spooled;
  String printer, title;
  TRawJobRunner old = SetRawJobRunner([&](const String& P, const String& T, const std::string& Data) {
    printer = P;
    title = T;
    spooled.push_back(Data);
  });
  TScopeExit back([&] { SetRawJobRunner(old); });
  TfrxPrinter p("Lists", "", std::make_unique<TListDevice>(printtest::RecorderCaps(), Log));
  p.LoadDeviceInfo();
  p.DocumentTitle = "Labels";
  p.StartRawJob();
  p.SendRawData(bytes.substr(0, 5));
  p.SendRawData(bytes.substr(5));
  p.FinishRawJob();
  ASSERT_EQ(spooled.size(), 1u);
  EXPECT_EQ(spooled[0], bytes);
  EXPECT_EQ(printer, "Lists");
  EXPECT_EQ(title, "Labels");
  EXPECT_TRUE(Log->Events.empty());  // nothing was drawn

  TempFolder dir;
  p.OutputFileName = dir / "raw.prn";
  p.StartRawJob();
  p.SendRawData(bytes);
  p.FinishRawJob();
  std::ifstream in(std::string(dir / "raw.prn"), std::ios::binary);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), bytes);
  EXPECT_EQ(spooled.size(), 1u);

  TfrxPrinter pdf("PDF", "", CreatePdfPrintDevice());
  pdf.LoadDeviceInfo();
  EXPECT_THROW(pdf.StartRawJob(), EPrinter);
}

TEST_F(PrinterTest, TheDriverDialogsPaperSourceWinsUntilTheJobEnds) {
  TfrxPrinter p("Lists", "", std::make_unique<TListDevice>(printtest::RecorderCaps(), Log));
  p.LoadDeviceInfo();
  {
    TDialogScript person;
    person.Answer([](TDialogRequest& r) {
      if (r.Kind != dkPrinterSetup) return false;
      r.Value = "Manual feed";
      r.Result = 1;
      return true;
    });
    p.ShowDeviceSetup();
    EXPECT_EQ(person.Asked().at(0).Printer, "Lists");
  }
  EXPECT_EQ(p.BinOverride, DMBIN_MANUAL);
  {
    TDialogScript person;
    person.Cancel();
    p.BinOverride = -1;
    p.ShowDeviceSetup();
    EXPECT_EQ(p.BinOverride, -1);
  }
}

// ---------------------------------------------------------------- the list

struct PrinterListTest : ::testing::Test {
  std::shared_ptr<TJobLog> Log = std::make_shared<TJobLog>();
  std::unique_ptr<TPrinterSource> Old;  // the source before the first Use
  bool Saved = false;
  void Use(std::vector<String> Names, bool WithPdf, int Default) {
    auto previous = SetPrinterSource(std::make_unique<printtest::TTestSource>(std::move(Names), Log, WithPdf, Default));
    if (!Saved) Old = std::move(previous);
    Saved = true;
    ResetReportPrinters();
  }
  void TearDown() override {
    if (Saved) SetPrinterSource(std::move(Old));
    ResetReportPrinters();
  }
};

TEST_F(PrinterListTest, TheListHoldsTheSourcesPrintersAndSelectsTheDefault) {
  struct Case {
    std::vector<String> Names;
    bool Pdf;
    int Default;
    int Count;
    bool System;
    String Selected;
  };
  const Case cases[] = {
      {{"Laser", "Office"}, true, 1, 3, true, "Office"},
      {{"Laser", "Office"}, true, -1, 3, true, "Laser"},  // no default: the first, never none
      {{}, true, 0, 1, true, "PDF"},
      {{}, false, 0, 1, false, ReportResources()->TextOf("prVirtual")},
  };
  for (const Case& c : cases) {
    Use(c.Names, c.Pdf, c.Default);
    TfrxPrinters* list = ReportPrinters();
    EXPECT_EQ(list->Count(), c.Count);
    EXPECT_EQ(list->HasSystemPrinters(), c.System);
    ASSERT_NE(list->CurrentPrinter(), nullptr);
    EXPECT_EQ(list->CurrentPrinter()->DeviceName(), c.Selected);
    EXPECT_TRUE(list->CurrentPrinter()->DeviceInfoLoaded);
    EXPECT_EQ(list->PrinterNames()->Count(), c.Count);
  }
}

TEST_F(PrinterListTest, PrintersAreFoundByNameWhateverTheCase) {
  Use({"Laser", "Office"}, true, 0);
  TfrxPrinters* list = ReportPrinters();
  EXPECT_EQ(list->IndexOfName("office"), 1);
  EXPECT_EQ(list->IndexOfName("pdf"), 2);
  EXPECT_EQ(list->IndexOfName("Plotter"), -1);
  list->SelectPrinter(2);
  EXPECT_EQ(list->CurrentPrinter()->DeviceName(), "PDF");
  list->SelectPrinter(-1);
  EXPECT_EQ(list->SelectedIndex(), 0);
}

}  // namespace
