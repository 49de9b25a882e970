// Prepared pages as output: printing through the report's printers (ranges, odd/even,
// reverse, copies, collation, bins, failures, PDF), drawing, export through a filter, the
// mouse over a page and editing the list of pages; the printers over the platform's devices.
#include "TempFolder.h"
#include "../platform/print/PrintTestUtil.h"

#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Control.h"
#include "gui/Dialogs.h"
#include "gui/Graphics.h"
#include "gui/Shell.h"
#include "print/RawJob.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxExportFilter.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxPrinter.h"
#include "report/frxXML.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace {

using printtest::TJobLog;
using printtest::TRecordingDevice;
using printtest::TTestSource;

// A printer source for one test; the report's printer list is read again from it.
class TPrintersFrom {
public:
  TPrintersFrom(std::vector<String> Names, std::shared_ptr<TJobLog> Log, bool WithPdf = true, int Default = 0) {
    FOld = SetPrinterSource(std::make_unique<TTestSource>(std::move(Names), std::move(Log), WithPdf, Default));
    ResetReportPrinters();
  }
  ~TPrintersFrom() {
    SetPrinterSource(std::move(FOld));
    ResetReportPrinters();
  }

private:
  std::unique_ptr<TPrinterSource> FOld;
};

// Where the prepared pages sent the view.
class TRecordingPreview : public TfrxCustomPreview {
public:
  TRecordingPreview() : TfrxCustomPreview(nullptr) {}
  void AttachReport(TfrxReport*) override {}
  void LockView() override { ++Locks; }
  void UnlockView() override {}
  void PrepareStarted() override {}
  void PagePrepared(int) override {}
  void PrepareFinished() override {}
  void SetPageNo(int PageNo) override { Calls.push_back("page " + IntToStr(PageNo)); }
  void ScrollToPageOffset(int PageNo, int Offset) override {
    Calls.push_back("scroll " + IntToStr(PageNo) + " " + IntToStr(Offset));
  }
  void HideMessagePanel() override { Calls.push_back("hide"); }
  std::vector<String> Calls;
  int Locks = 0;
};

// Pages whose memos say which page and row they are: "P<page>R<row>".
class OutputTest : public ::testing::Test {
protected:
  OutputTest() : Printers({"Laser", "Office"}, Log) {
    Report.EngineOptions()->SetNewSilentMode(simSilent);
    Report.PrintOptions()->SetShowDialog(false);
    Page = new TfrxReportPage(&Report);
    Page->SetName("Page1");
    Page->SetPaperSize(9);
    Page->SetLeftMargin(10);
    Page->SetRightMargin(10);
    Page->SetTopMargin(10);
    Page->SetBottomMargin(10);
    Band = new TfrxMasterData(&Report);
    Band->SetParent(Page);
    Band->SetName("MasterData1");
    Band->SetHeight(20);
    Memo = new TfrxMemoView(&Report);
    Memo->SetParent(Band);
    Memo->SetName("Memo1");
    Memo->SetBounds(0, 0, 200, 20);
  }

  TfrxPreviewPages& Store() { return *static_cast<TfrxPreviewPages*>(Report.PreviewPages()); }

  void Prepare(int Pages, int Rows = 2) {
    Store().AddSourcePage(Page);
    Store().BeginPass();
    for (int p = 1; p <= Pages; ++p) {
      Store().AddPage(Page);
      for (int r = 1; r <= Rows; ++r) {
        Band->SetTop((r - 1) * 20);
        Memo->SetText("P" + IntToStr(p) + "R" + IntToStr(r));
        Store().AddObject(Band);
      }
    }
  }

  // The page numbers the printed sheets show, in order; 0 for a blank sheet.
  std::vector<int> PrintedPages() const {
    std::vector<int> out;
    for (const auto& sheet : Log->Pages) {
      String text = sheet->Text();
      std::size_t p = text.find('P');
      out.push_back(p == String::npos ? 0 : StrToIntDef(text.substr(p + 1, text.find('R', p) - p - 1), -1));
    }
    return out;
  }

  std::shared_ptr<TJobLog> Log = std::make_shared<TJobLog>();
  TPrintersFrom Printers;
  TfrxReport Report{nullptr};
  TfrxReportPage* Page;
  TfrxMasterData* Band;
  TfrxMemoView* Memo;
};

// ---------------------------------------------------------------- printing

TEST_F(OutputTest, PageTextSelectionAndReverseChooseThePagesAndTheirOrder) {
  struct Case {
    const char* Pages;
    TfrxPrintPages Selection;
    bool Reverse;
    std::vector<int> Expected;
  };
  const Case cases[] = {
      {"2-3", ppOdd, false, {3}},
      {"1,3", ppAll, true, {3, 1}},
      {"", ppEven, false, {2, 4}},
      {"", ppAll, true, {4, 3, 2, 1}},
      {"3-", ppAll, false, {3, 4}},
      {"0,2", ppAll, false, {2}},
  };
  Prepare(4);
  for (const Case& c : cases) {
    Log->Pages.clear();
    Report.PrintOptions()->SetPageNumbers(c.Pages);
    Report.PrintOptions()->SetPrintPages(c.Selection);
    Report.PrintOptions()->SetReverse(c.Reverse);
    EXPECT_TRUE(Store().Print()) << c.Pages;
    EXPECT_EQ(PrintedPages(), c.Expected) << c.Pages << " " << int(c.Selection) << " " << c.Reverse;
  }
}

TEST_F(OutputTest, CollatedDuplexCopiesStartOnAFrontSideAndUncollatedOnesGoAsCopyCounts) {
  Page->SetDuplex(dmVertical);
  Prepare(3);
  Report.PrintOptions()->SetCopies(2);
  Report.PrintOptions()->SetCollate(true);
  std::vector<String> progress;
  Report.OnProgressStart = TfrxProgressEvent::Lambda([&](TfrxReport*, TfrxProgressType Kind, int) {
    progress.push_back("start " + IntToStr(int(Kind)));
  });
  Report.OnProgress = TfrxProgressEvent::Lambda([&](TfrxReport*, TfrxProgressType, int Page) {
    progress.push_back(IntToStr(Page));
  });
  Report.OnProgressStop = TfrxProgressEvent::Lambda([&](TfrxReport*, TfrxProgressType Kind, int) {
    progress.push_back("stop " + IntToStr(int(Kind)));
  });
  std::vector<int> copyNumbers;
  Report.OnPrintPage = TfrxPrintPageEvent::Lambda([&](TfrxReportPage*, int CopyNo) { copyNumbers.push_back(CopyNo); });
  ASSERT_TRUE(Store().Print());
  EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3, 0, 1, 2, 3, 0}));
  EXPECT_EQ(copyNumbers, (std::vector<int>{1, 1, 1, 2, 2, 2}));
  EXPECT_EQ(progress, (std::vector<String>{"start 2", "1", "2", "3", "1", "2", "3", "stop 2"}));
  ASSERT_EQ(Log->PageModes.size(), 8u);
  EXPECT_EQ(Log->PageModes[0].dmCopies, 1);
  EXPECT_EQ(Log->PageModes[0].dmDuplex, DMDUP_VERTICAL);
  EXPECT_EQ(std::count(Log->Events.begin(), Log->Events.end(), "end"), 1);
  // Without a report name the job is named after the report's file ('' here).
  EXPECT_EQ(Log->Events.front(), "begin ");

  Log->Pages.clear();
  Log->PageModes.clear();
  copyNumbers.clear();
  Report.PrintOptions()->SetCollate(false);
  ASSERT_TRUE(Store().Print());
  EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3}));
  for (const DEVMODE& m : Log->PageModes) EXPECT_EQ(m.dmCopies, 2);
  EXPECT_EQ(copyNumbers, (std::vector<int>{1, 1, 1}));

  // Without duplex an odd copy needs no blank sheet.
  Report.PrintOptions()->SetCollate(true);
  Page->SetDuplex(dmNone);
  Store().Clear();
  Prepare(3);
  Log->Pages.clear();
  ASSERT_TRUE(Store().Print());
  EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3, 1, 2, 3}));
}

// Counts how often the job's settings were applied.
class TCountingPrinter : public TfrxPrinter {
public:
  using TfrxPrinter::TfrxPrinter;
  void ApplyPrintSettings(int Paper, TPrinterOrientation Orientation, Extended Width, Extended Height, int Bin,
                          int Duplex, int Copies) override {
    ++Applied;
    TfrxPrinter::ApplyPrintSettings(Paper, Orientation, Width, Height, Bin, Duplex, Copies);
  }
  int Applied = 0;
};

TEST_F(OutputTest, TheFirstPageTakesItsBinTheOthersBinOtherPagesAndAnOverrideWinsUntilTheJobEnds) {
  Page->SetBin(2);
  Page->SetBinOtherPages(3);
  Prepare(3);
  auto* counting = new TCountingPrinter("Counting", "", std::make_unique<TRecordingDevice>(
                                                            "Counting", printtest::RecorderCaps(), Log));
  ReportPrinters()->AddPrinter(counting);
  ReportPrinters()->SelectPrinter(ReportPrinters()->IndexOfName("counting"));
  ASSERT_TRUE(Store().Print());
  ASSERT_EQ(Log->PageModes.size(), 3u);
  EXPECT_EQ(Log->PageModes[0].dmDefaultSource, 2);
  EXPECT_EQ(Log->PageModes[1].dmDefaultSource, 3);
  EXPECT_EQ(Log->PageModes[2].dmDefaultSource, 3);
  EXPECT_EQ(counting->Applied, 2);  // only when the settings change

  Log->PageModes.clear();
  counting->BinOverride = 11;
  ASSERT_TRUE(Store().Print());
  for (const DEVMODE& m : Log->PageModes) EXPECT_EQ(m.dmDefaultSource, 11);
  EXPECT_EQ(counting->BinOverride, -1);
  Log->PageModes.clear();
  ASSERT_TRUE(Store().Print());
  EXPECT_EQ(Log->PageModes[0].dmDefaultSource, 2);
}

TEST_F(OutputTest, ATerminatedOrFailingJobAnswersFalseAndSaysWhy) {
  Prepare(3);
  Report.OnPrintPage = TfrxPrintPageEvent::Lambda([&](TfrxReportPage*, int) {
    if (Log->Pages.size() == 1) Report.SetTerminated(true);
  });
  int after = 0;
  Report.OnAfterPrintReport = TNotifyEvent::Lambda([&](TObject*) { ++after; });
  EXPECT_FALSE(Store().Print());
  EXPECT_EQ(Log->Pages.size(), 2u);
  EXPECT_EQ(Log->Events.back(), "abort");
  EXPECT_EQ(after, 1);

  Report.OnPrintPage = TfrxPrintPageEvent();
  Log->Events.clear();
  Log->FailOnEnd = true;
  EXPECT_FALSE(Store().Print());
  EXPECT_GE(Report.Errors()->IndexOf("The printer went offline"), 0);
  EXPECT_EQ(after, 2);

  Log->FailOnEnd = false;
  Log->Pages.clear();
  Log->FailOnPage = 2;
  Report.Errors()->Clear();
  EXPECT_FALSE(Store().Print());
  EXPECT_GE(Report.Errors()->IndexOf("The printer is out of paper"), 0);
  EXPECT_EQ(Log->Events.back(), "abort");
  EXPECT_FALSE(ReportPrinters()->CurrentPrinter()->JobRunning);
}

TEST_F(OutputTest, ThePdfPrinterWritesEveryPageAndLeavesOutWhatIsNotPrintable) {
  auto* hidden = new TfrxMemoView(&Report);
  hidden->SetParent(Band);
  hidden->SetName("Secret");
  hidden->SetBounds(300, 0, 200, 20);
  hidden->SetText("NOTONPAPER");
  hidden->SetColor(clRed);
  hidden->SetPrintable(false);
  Prepare(3);
  TempFolder dir;
  ReportPrinters()->SelectPrinter(ReportPrinters()->IndexOfName("PDF"));
  ReportPrinters()->CurrentPrinter()->OutputFileName = dir / "pages.pdf";
  Report.ReportOptions()->SetName("Rows");
  ASSERT_TRUE(Store().Print()) << Report.Errors()->Text();
  EXPECT_EQ(ReportPrinters()->CurrentPrinter()->DocumentTitle, "Rows");
  std::vector<std::string> pages = printtest::PdfPages(std::string(dir / "pages.pdf"));
  ASSERT_EQ(int(pages.size()), Store().Count());
  EXPECT_NE(pages[1].find("P2R1"), std::string::npos);
  EXPECT_NE(pages[1].find("P2R2"), std::string::npos);
  EXPECT_EQ(pages[1].find("P1R1"), std::string::npos);
  for (const std::string& p : pages) EXPECT_EQ(p.find("NOTONPAPER"), std::string::npos);

  // On the screen the same object shows.
  TBitmap bmp;
  bmp.SetWidth(800);
  bmp.SetHeight(300);
  bmp.Canvas()->Brush()->SetColor(clWhite);
  bmp.Canvas()->FillRect({0, 0, 800, 300});
  Store().DrawPage(0, bmp.Canvas(), 1, 1, 0, 0);
  const int x = int(10 * fr01cm) + 350, y = int(10 * fr01cm) + 10;
  EXPECT_EQ(bmp.Canvas()->Pixels(x, y), clRed);
}

TEST_F(OutputTest, AJobIntoAFileWritesPdfWhateverTheExtension) {
  Prepare(2);
  TempFolder dir;
  ReportPrinters()->CurrentPrinter()->OutputFileName = dir / "job.prn";
  ASSERT_TRUE(Store().Print());
  EXPECT_TRUE(Log->Pages.empty());  // not the device
  std::vector<std::string> pages = printtest::PdfPages(std::string(dir / "job.prn"));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_NE(pages[0].find("P1R2"), std::string::npos);
}

// ---------------------------------------------------------------- drawing

TEST_F(OutputTest, MirroredMarginsPlaceTheSecondPageFromTheOtherMargin) {
  Page->SetLeftMargin(10);
  Page->SetRightMargin(30);
  Page->SetMirrorMargins(true);
  Memo->SetColor(clBlue);
  Prepare(2, 1);
  auto firstBlue = [&](int Index) {
    TBitmap bmp;
    bmp.SetWidth(400);
    bmp.SetHeight(200);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect({0, 0, 400, 200});
    Store().DrawPage(Index, bmp.Canvas(), 1, 1, 0, 0);
    int y = int(10 * fr01cm) + 10;
    for (int x = 0; x < 400; ++x)
      if (bmp.Canvas()->Pixels(x, y) == clBlue) return x;
    return -1;
  };
  EXPECT_NEAR(firstBlue(0), 10 * fr01cm, 2);
  EXPECT_NEAR(firstBlue(1), 30 * fr01cm, 2);
  TfrxReportPage* second = Store().GetPage(1);
  EXPECT_EQ(second->LeftMargin(), 10);  // margins are back after drawing
  EXPECT_EQ(second->RightMargin(), 30);
}

TEST_F(OutputTest, DrawingStaysOnThePaper) {
  Memo->SetColor(clBlue);
  Memo->SetWidth(2000);  // far wider than the paper
  Prepare(1, 1);
  TBitmap bmp;
  bmp.SetWidth(1000);
  bmp.SetHeight(100);
  bmp.Canvas()->Brush()->SetColor(clWhite);
  bmp.Canvas()->FillRect({0, 0, 1000, 100});
  Store().DrawPage(0, bmp.Canvas(), 1, 1, 0, 0);
  const int paper = int(210 * fr01cm);
  const int y = int(10 * fr01cm) + 10;
  EXPECT_EQ(bmp.Canvas()->Pixels(paper - 10, y), clBlue);
  EXPECT_EQ(bmp.Canvas()->Pixels(paper + 10, y), clWhite);
  bmp.Canvas()->Pixels(0, 0);
  // The clip of the canvas is as it was: drawing past the paper works again.
  bmp.Canvas()->Brush()->SetColor(clGreen);
  bmp.Canvas()->FillRect({paper + 5, 0, paper + 20, 5});
  EXPECT_EQ(bmp.Canvas()->Pixels(paper + 10, 2), clGreen);
}

// ---------------------------------------------------------------- the mouse

class LinkTest : public OutputTest {
protected:
  LinkTest() {
    FOldShell = SetShellHandler([this](const String& Url) {
      Opened.push_back(Url);
      return true;
    });
    Report.SetPreview(&Preview);
  }
  ~LinkTest() override {
    Report.SetPreview(nullptr);
    SetShellHandler(FOldShell);
  }
  // Page 1 holds one object with the URL under (50, 50) of a view at scale 1, no offset.
  SmallInt Click(const String& Url, SmallInt Cursor = crDefault, bool Clicked = true) {
    Memo->SetURL(Url);
    Memo->SetCursor(Cursor);
    Store().Clear();
    Prepare(6, 1);
    SmallInt cursor = crArrow;
    Store().ObjectOver(0, int(10 * fr01cm) + 50, int(10 * fr01cm) + 10, 1, 0, 1, 0, 0, Clicked, cursor);
    return cursor;
  }
  TRecordingPreview Preview;
  std::vector<String> Opened;

private:
  TShellHandler FOldShell;
};

TEST_F(LinkTest, LinksGoToPagesAnchorsAndOnlySafeAddresses) {
  auto anchor = [&](const String& Text, int PageIndex, int Top) {
    TfrxXMLItem* item = Store().Document()->Root()->ChildByName("anchors")->AddChild();
    item->SetName("item");
    item->SetText("text=\"" + Text + "\" page=\"" + IntToStr(PageIndex) + "\" top=\"" + IntToStr(Top) + "\"");
  };
  struct Case {
    const char* Url;
    std::vector<String> Calls;
    std::vector<String> Opened;
  };
  const Case cases[] = {
      {"@5", {"page 5"}, {}},
      {"#Totals", {"scroll 4 80"}, {}},
      {"#Nowhere", {}, {}},
      {"http://x", {}, {"http://x"}},
      {"mailto:a@b.c", {}, {"mailto:a@b.c"}},
      {"file:///bin/sh", {}, {}},
      {"/bin/sh", {}, {}},
  };
  for (const Case& c : cases) {
    Preview.Calls.clear();
    Opened.clear();
    Memo->SetURL(c.Url);
    Store().Clear();
    Prepare(6, 1);
    anchor("Totals", 1, 40);
    anchor("totals", 3, 80);  // the last of the name counts, whatever its case
    SmallInt cursor = crDefault;
    Store().ObjectOver(0, int(10 * fr01cm) + 50, int(10 * fr01cm) + 10, 1, 0, 1, 0, 0, true, cursor);
    EXPECT_EQ(Preview.Calls, c.Calls) << c.Url;
    EXPECT_EQ(Opened, c.Opened) << c.Url;
  }
}

TEST_F(LinkTest, TheCursorComesFromTheObjectOrItsLink) {
  EXPECT_EQ(Click("http://x", crDefault, false), crHandPoint);
  EXPECT_EQ(Click("http://x", crCross, false), crCross);
  EXPECT_EQ(Click("", crDefault, false), crArrow);  // kept
  EXPECT_EQ(Click("", crIBeam, false), crIBeam);
  EXPECT_TRUE(Opened.empty());  // moving over a link opens nothing
  // Away from every object nothing changes.
  SmallInt cursor = crArrow;
  Store().ObjectOver(0, 5, 5, 1, 0, 1, 0, 0, false, cursor);
  EXPECT_EQ(cursor, crArrow);
}

TEST_F(LinkTest, AClickThatModifiesThePageStoresItWhole) {
  String clicked;
  Report.OnClickObject = TfrxClickObjectEvent::Lambda([&](TfrxView* Sender, int, int, bool& Modified) {
    clicked = Sender->Name();
    static_cast<TfrxMemoView*>(Sender)->SetText("CHANGED");
    Modified = true;
  });
  Click("");
  EXPECT_EQ(clicked, "Memo1");
  EXPECT_EQ(Store().PageItem(0)->Name(), "TfrxReportPage");
  EXPECT_FALSE(Store().PageItem(0)->Unloadable());
  TfrxReportPage* again = Store().GetPage(0);
  auto* memo = dynamic_cast<TfrxMemoView*>(again->FindObject("Memo1"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Text(), "CHANGED");
  EXPECT_EQ(Store().PageItem(1)->Name(), "page0");  // the others stay differences

  // A click that modifies nothing stores nothing.
  Report.OnClickObject = TfrxClickObjectEvent::Lambda([&](TfrxView*, int, int, bool&) {});
  Click("");
  EXPECT_EQ(Store().PageItem(0)->Name(), "page0");
}

// ---------------------------------------------------------------- export

// Writes down every call of the protocol.
class TRecordingFilter : public TfrxCustomExportFilter {
public:
  TRecordingFilter() : TfrxCustomExportFilter(nullptr) { ShowDialog = false; }
  TModalResult ShowModal() override {
    Calls.push_back("dialog");
    return DialogResult;
  }
  bool Start() override {
    Calls.push_back("start");
    return true;
  }
  void StartPage(TfrxReportPage*, int Index) override { Calls.push_back("page " + IntToStr(Index)); }
  void ExportObject(TfrxComponent* Obj) override {
    if (Obj->Name() == FailOn) throw Exception("The disk is full");
    String text = Obj->Name();
    if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(Obj)) text += "=" + Trim(memo->Text());
    Calls.push_back(text);
  }
  void FinishPage(TfrxReportPage*, int Index) override { Calls.push_back("end " + IntToStr(Index)); }
  void Finish() override { Calls.push_back("finish"); }
  std::vector<String> Calls;
  TModalResult DialogResult = mrOk;
  String FailOn;
};

class ExportTest : public OutputTest {
protected:
  // Two pages, each with a page header, one row and a page footer.
  void PrepareWithHeaders() {
    auto* header = new TfrxPageHeader(&Report);
    header->SetParent(Page);
    header->SetName("Header");
    header->SetHeight(20);
    auto* footer = new TfrxPageFooter(&Report);
    footer->SetParent(Page);
    footer->SetName("Footer");
    footer->SetHeight(20);
    Store().AddSourcePage(Page);
    Store().BeginPass();
    for (int p = 1; p <= 2; ++p) {
      Store().AddPage(Page);
      Store().AddObject(header);
      Band->SetTop(20);
      Memo->SetText("P" + IntToStr(p) + " of [TotalPages#]");
      Store().AddObject(Band);
      footer->SetTop(100);
      Store().AddObject(footer);
    }
  }
};

TEST_F(ExportTest, EveryPageAndObjectGoesToTheFilterInOrder) {
  PrepareWithHeaders();
  TRecordingFilter f;
  ASSERT_TRUE(Store().Export(&f));
  const std::vector<String> expected = {
      "start",  "page 0", "_pagebackground", "Header", "MasterData1", "Memo1=P1 of 2", "Footer", "end 0",
      "page 1", "_pagebackground", "Header", "MasterData1", "Memo1=P2 of 2", "Footer", "end 1", "finish"};
  EXPECT_EQ(f.Calls, expected);
  EXPECT_EQ(f.Report, &Report);
}

TEST_F(ExportTest, FilterSettingsChooseThePagesAndTheBands) {
  PrepareWithHeaders();
  struct Case {
    bool CurPage;
    bool Suppress;
    bool WithPreview;
    std::vector<String> Bands;  // the band objects exported, pages separated by "|"
  };
  const Case cases[] = {
      {false, true, false, {"Header", "MasterData1", "|", "MasterData1", "Footer", "|"}},
      {true, false, false, {"Header", "MasterData1", "Footer", "|"}},  // no preview: page 1
      {true, false, true, {"Header", "MasterData1", "Footer", "|"}},   // the preview's page 2
  };
  TRecordingPreview preview;
  for (const Case& c : cases) {
    Report.SetPreview(c.WithPreview ? &preview : nullptr);
    Store().SetCurPreviewPage(2);
    TRecordingFilter f;
    f.CurPage = c.CurPage;
    f.SuppressPageHeadersFooters = c.Suppress;
    ASSERT_TRUE(Store().Export(&f));
    std::vector<String> bands;
    for (const String& call : f.Calls)
      if (call == "Header" || call == "MasterData1" || call == "Footer") bands.push_back(call);
      else if (call.rfind("end ", 0) == 0) bands.push_back("|");
    EXPECT_EQ(bands, c.Bands) << c.CurPage << c.Suppress << c.WithPreview;
    if (c.CurPage) EXPECT_EQ(f.PageNumbers, c.WithPreview ? "2" : "1");
  }
  Report.SetPreview(nullptr);
}

TEST_F(ExportTest, AFailingFilterOrACancelledDialogAnswersFalse) {
  PrepareWithHeaders();
  TRecordingFilter failing;
  failing.FailOn = "Memo1";
  EXPECT_FALSE(Store().Export(&failing));
  EXPECT_GE(Report.Errors()->IndexOf("The disk is full"), 0);
  // The page and the filter are still finished.
  EXPECT_EQ(failing.Calls.back(), "finish");
  EXPECT_EQ(failing.Calls[failing.Calls.size() - 2], "end 0");

  TRecordingFilter cancelled;
  cancelled.ShowDialog = true;
  cancelled.DialogResult = mrCancel;
  EXPECT_FALSE(Store().Export(&cancelled));
  EXPECT_EQ(cancelled.Calls, std::vector<String>{"dialog"});
  EXPECT_FALSE(Store().Export(nullptr));
}

// ---------------------------------------------------------------- editing pages

TEST_F(OutputTest, PagesAreInsertedDeletedAndAppendedFromAnotherReport) {
  Prepare(1);
  Store().DeletePage(0);
  EXPECT_EQ(Store().Count(), 1);  // the only page stays
  Store().AddEmptyPage(0);
  ASSERT_EQ(Store().Count(), 2);
  EXPECT_EQ(Store().PageItem(0)->Name(), Store().PageItem(1)->Name());
  EXPECT_EQ(Store().GetPage(0)->FindObject("Memo1"), nullptr);
  EXPECT_NE(Store().GetPage(1)->FindObject("Memo1"), nullptr);
  Store().DeletePage(0);
  ASSERT_EQ(Store().Count(), 1);
  EXPECT_NE(Store().GetPage(0)->FindObject("Memo1"), nullptr);

  TfrxReport other(nullptr);
  auto* page = new TfrxReportPage(&other);
  page->SetName("Page1");
  auto* band = new TfrxMasterData(&other);
  band->SetParent(page);
  band->SetName("Band");
  auto* memo = new TfrxMemoView(&other);
  memo->SetParent(band);
  memo->SetName("Other");
  memo->SetText("FROM THE OTHER");
  auto& theirs = *static_cast<TfrxPreviewPages*>(other.PreviewPages());
  theirs.AddSourcePage(page);
  theirs.BeginPass();
  theirs.AddPage(page);
  theirs.AddObject(band);
  Store().AddFrom(&other);
  ASSERT_EQ(Store().Count(), 2);
  EXPECT_EQ(Store().PageItem(1)->Name(), "TfrxReportPage");
  auto* copied = dynamic_cast<TfrxMemoView*>(Store().GetPage(1)->FindObject("Other"));
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(Trim(copied->Text()), "FROM THE OTHER");
}

}  // namespace
