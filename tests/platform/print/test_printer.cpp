// TPrinter: the printer list and selection, device caps and modes, the job's states, pages
// reaching the device, and the PDF printer's file.
#include "PdfReader.h"
#include "PrintTestUtil.h"
#include "print/SheetRecorder.h"
#include "core/SysUtils.h"
#include "core/StrUtils.h"
#include "gui/GdiDC.h"
#include "gui/GdiText.h"
#include "gui/MeasuringDC.h"
#include <cmath>

#include <fstream>

using namespace printtest;
namespace fs = std::filesystem;

using PrinterTest = PrinterFixture;

namespace {

// One page of a list: its title and "page n of N" at the top.
void PrintPage(TPrinter* p, const String& Title, int Page, int Pages) {
  TCanvas* c = p->Canvas();
  c->Font()->SetName("宋体");
  c->Font()->SetSize(14);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(472, 300, Title);
  c->Font()->SetSize(9);
  c->TextOut(472, 600, "第" + IntToStr(Page) + "页 共" + IntToStr(Pages) + "页");
  c->Pen()->SetWidth(1);
  c->PolyPolyline({{472, 800}, {4000, 800}, {472, 1000}, {4000, 1000}}, {2, 2});
}

void PrintDocument(TPrinter* p, const String& Title, int Pages) {
  p->SetTitle(Title);
  p->BeginDoc();
  for (int i = 1; i <= Pages; ++i) {
    if (i > 1) p->NewPage();
    EXPECT_EQ(p->PageNumber(), i);
    PrintPage(p, Title, i, Pages);
  }
  p->EndDoc();
}

// The PDF writer's pages are whole points: the paper in 600-dpi pixels.
int PdfPixels(int TenthsMm) { return int(std::lround(std::lround(TenthsMm / 254.0 * 72) * 600 / 72.0)); }

String Message(const std::function<void()>& Fn) {
  try {
    Fn();
  } catch (const EPrinter& e) {
    return e.Message();
  }
  return "<no EPrinter>";
}

}  // namespace

TEST_F(PrinterTest, ListSelectionAndDefault) {
  Use({"Front desk", "Back office"}, true, 1);
  ASSERT_EQ(P()->Printers()->Count(), 3);
  EXPECT_EQ(P()->Printers()->Strings(0), "Front desk");
  EXPECT_EQ(P()->Printers()->Strings(2), "PDF");
  EXPECT_EQ(P()->PrinterIndex(), 1);  // -1 is the default
  P()->SetPrinterIndex(2);
  EXPECT_TRUE(P()->WritesFile());
  P()->SetPrinterIndex(-1);
  EXPECT_EQ(P()->PrinterIndex(), 1);
  EXPECT_EQ(Message([&] { P()->SetPrinterIndex(3); }), "Printer selected is not valid");
  P()->SetPrinter("back OFFICE", "", "", nullptr);
  EXPECT_EQ(P()->PrinterIndex(), 1);
  EXPECT_EQ(Message([&] { P()->SetPrinter("Nowhere", "", "", nullptr); }), "Printer \"Nowhere\" is not installed");
}

// Without any printer, every question about the printer is answered by a clear error.
TEST_F(PrinterTest, NoPrinterAtAll) {
  Use({}, false);
  EXPECT_EQ(P()->Printers()->Count(), 0);
  EXPECT_EQ(P()->PrinterIndex(), -1);
  const String none = "There is no default printer currently selected";
  EXPECT_EQ(Message([&] { P()->BeginDoc(); }), none);
  EXPECT_EQ(Message([&] { P()->Handle(); }), none);
  EXPECT_EQ(Message([&] { P()->DeviceMode(); }), none);
  EXPECT_FALSE(P()->Printing());
}

// Device caps of the printer's context: resolution, printable area from the printable
// top-left, the sheet and the offset of the printable area on it.
TEST_F(PrinterTest, DeviceCapsOfPrinters) {
  Use({"Recorder"});
  struct Row {
    int Index;
    TPrinterOrientation Orientation;
    int Dpi, HorzRes, VertRes, PhysW, PhysH, OffX, OffY, HorzSize;
  };
  const Row rows[] = {
      {0, poPortrait, 300, 2380, 3388, 2480, 3508, 50, 60, 202},
      {0, poLandscape, 300, 3388, 2380, 3508, 2480, 60, 50, 287},
      {1, poPortrait, 600, PdfPixels(2100), PdfPixels(2970), PdfPixels(2100), PdfPixels(2970), 0, 0, 210},
      {1, poLandscape, 600, PdfPixels(2970), PdfPixels(2100), PdfPixels(2970), PdfPixels(2100), 0, 0, 297},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Index * 10 + int(r.Orientation));
    P()->SetPrinterIndex(r.Index);
    P()->SetOrientation(r.Orientation);
    HDC dc = P()->Handle();
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), r.Dpi);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), r.Dpi);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), r.HorzRes);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), r.VertRes);
    EXPECT_EQ(P()->PageWidth(), r.HorzRes);
    EXPECT_EQ(P()->PageHeight(), r.VertRes);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), r.PhysW);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), r.PhysH);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), r.OffX);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), r.OffY);
    EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), r.HorzSize);
    // The canvas measures with the printer's resolution.
    P()->Canvas()->Font()->SetSize(10);
    EXPECT_EQ(P()->Canvas()->Font()->Height(), -MulDiv(10, r.Dpi, 72));
    P()->SetOrientation(poPortrait);
  }
}

// The device mode: paper, orientation and copies as a job will use them; paper numbers
// and sizes agree with the paper table.
TEST_F(PrinterTest, DeviceModeAndPaperTable) {
  Use({"Recorder"});
  String device, driver, port;
  DEVMODE* mode = nullptr;
  P()->SetPrinterIndex(1);
  P()->GetPrinter(device, driver, port, mode);
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(device, "PDF");
  EXPECT_EQ(mode->dmPaperSize, DMPAPER_A4);
  EXPECT_EQ(mode->dmDefaultSource, DMBIN_AUTO);
  EXPECT_EQ(mode->dmDuplex, DMDUP_SIMPLEX);
  DEVMODE a5 = *mode;
  a5.dmPaperSize = DMPAPER_A5;
  a5.dmCopies = 3;
  P()->SetPrinter("PDF", "", "", &a5);
  EXPECT_EQ(GetDeviceCaps(P()->Handle(), HORZRES), PdfPixels(1480));
  EXPECT_EQ(P()->Copies(), 3);
  // A paper size of its own.
  DEVMODE custom = a5;
  custom.dmPaperSize = DMPAPER_USER;
  custom.dmPaperWidth = 1000;
  custom.dmPaperLength = 2000;
  P()->SetPrinter("PDF", "", "", &custom);
  EXPECT_EQ(GetDeviceCaps(P()->Handle(), HORZRES), PdfPixels(1000));
  EXPECT_EQ(GetDeviceCaps(P()->Handle(), VERTRES), PdfPixels(2000));

  struct Row {
    short Number;
    short Width, Length;
  };
  const Row papers[] = {{DMPAPER_LETTER, 2159, 2794}, {DMPAPER_A3, 2970, 4200}, {DMPAPER_A4, 2100, 2970},
                        {DMPAPER_A5, 1480, 2100}, {DMPAPER_B5, 1820, 2570}};
  for (const Row& r : papers) {
    const TPaperInfo* p = FindPaper(r.Number);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Width, r.Width);
    EXPECT_EQ(p->Length, r.Length);
    EXPECT_EQ(FindPaperBySize(r.Width + 5, r.Length - 5), p);
  }
  EXPECT_EQ(FindPaper(DMPAPER_USER), nullptr);
  EXPECT_EQ(FindPaperBySize(1000, 1000), nullptr);
  std::vector<short> offered = P()->PaperNumbers();
  EXPECT_NE(std::find(offered.begin(), offered.end(), DMPAPER_A4), offered.end());
}

// A job's pages reach the device one by one as recorded pages with their text; calls in the
// wrong state are refused with a clear message.
TEST_F(PrinterTest, JobPagesReachTheDevice) {
  Use({"Recorder"});
  EXPECT_EQ(Message([&] { P()->NewPage(); }), "Printer is not currently printing");
  EXPECT_EQ(Message([&] { P()->EndDoc(); }), "Printer is not currently printing");
  P()->SetTitle("项目合同打印");
  P()->BeginDoc();
  EXPECT_TRUE(P()->Printing());
  EXPECT_EQ(Message([&] { P()->BeginDoc(); }), "Printing in progress");
  EXPECT_EQ(Message([&] { P()->SetPrinterIndex(1); }), "Printing in progress");
  EXPECT_EQ(Message([&] { P()->SetCopies(2); }), "Printing in progress");
  PrintPage(P(), "项目合同打印", 1, 2);
  EXPECT_EQ(Log->Events, (std::vector<String>{"begin 项目合同打印"}));
  P()->NewPage();
  EXPECT_EQ(Log->Events.back(), "page");
  PrintPage(P(), "项目合同打印", 2, 2);
  P()->EndDoc();
  EXPECT_FALSE(P()->Printing());
  EXPECT_EQ(Log->Events, (std::vector<String>{"begin 项目合同打印", "page", "page", "end"}));
  ASSERT_EQ(Log->Pages.size(), 2u);
  EXPECT_EQ(Log->Pages[1]->Text(), "项目合同打印\n第2页 共2页");
  EXPECT_EQ(Log->Pages[0]->Width(), 2380);
  EXPECT_EQ(Log->Pages[0]->Dpi(), 300);
  std::vector<TMetaRecordKind> kinds = Log->Pages[0]->RecordKinds();
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), mrLines), 1);
  ASSERT_EQ(Log->Jobs.size(), 1u);
  EXPECT_EQ(Log->Jobs[0].Mode.dmDeviceName, "Recorder");
  // The canvas measures again outside the job.
  EXPECT_GT(P()->Canvas()->TextWidth("x"), 0);
}

// Drawing outside a job measures but prints nothing; a refreshed list keeps the selected
// printer by name.
TEST_F(PrinterTest, MeasuringOutsideAJobAndRefresh) {
  Use({"Front desk", "Back office"});
  P()->Canvas()->TextOut(10, 10, "before the job");
  EXPECT_GT(P()->Canvas()->TextWidth("before"), 0);
  P()->BeginDoc();
  P()->Canvas()->TextOut(10, 10, "on the page");
  P()->EndDoc();
  ASSERT_EQ(Log->Pages.size(), 1u);
  EXPECT_EQ(Log->Pages[0]->Text(), "on the page");

  P()->SetPrinterIndex(1);
  P()->Refresh();
  EXPECT_EQ(P()->PrinterIndex(), 1);
  EXPECT_EQ(P()->Printers()->Strings(1), "Back office");
}

// Abort ends the job at once: the device hears of it and the rest is not printed; a device
// that fails on a page ends the job too.
TEST_F(PrinterTest, AbortAndDeviceFailureEndTheJob) {
  Use({"Recorder"});
  P()->BeginDoc();
  PrintPage(P(), "A", 1, 2);
  P()->Abort();
  EXPECT_FALSE(P()->Printing());
  EXPECT_TRUE(P()->Aborted());
  EXPECT_EQ(Log->Events, (std::vector<String>{"begin ", "abort"}));
  EXPECT_EQ(Message([&] { P()->Abort(); }), "Printer is not currently printing");

  Log->FailOnPage = 2;
  P()->BeginDoc();
  EXPECT_FALSE(P()->Aborted());
  P()->NewPage();
  EXPECT_EQ(Message([&] { P()->NewPage(); }), "The printer is out of paper");
  EXPECT_FALSE(P()->Printing());
  EXPECT_TRUE(P()->Aborted());
  EXPECT_EQ(Log->Events.back(), "abort");
}

// The process-wide printer can be swapped; the previous one goes back to the caller.
TEST(PrinterGlobal, SetPrinterSwapsTheProcessPrinter) {
  TPrinter* first = Printer();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Printer(), first);
  TPrinter mine;
  TPrinter* old = SetPrinter(&mine);
  EXPECT_EQ(old, first);
  EXPECT_EQ(Printer(), &mine);
  EXPECT_EQ(SetPrinter(old), &mine);
  EXPECT_EQ(Printer(), first);
}

// ================================================================ the PDF printer

using PdfPrinter = PrinterFixture;

// Pages printed to "PDF" are text in the file: every page's title and page line.
TEST_F(PdfPrinter, WritesTextThatPdftotextFinds) {
  Use({"Recorder"});
  fs::path dir = TempFolder("pdf");
  fs::path file = dir / "合同列表.pdf";
  P()->SetPrinterIndex(P()->Printers()->IndexOf("PDF"));
  P()->SetFileName(file.string());
  PrintDocument(P(), "项目合同打印", 3);
  ASSERT_TRUE(fs::exists(file));
  std::vector<std::string> pages = PdfPages(file);
  ASSERT_EQ(pages.size(), 3u);
  // pdftotext and the test's own reader of the file's text both find every page's lines.
  std::vector<std::string> own = pdftest::TPdfReader(file.string()).Pages();
  ASSERT_EQ(own.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    for (const std::string& page : {pages[std::size_t(i)], own[std::size_t(i)]}) {
      EXPECT_NE(page.find("项目合同打印"), std::string::npos) << page;
      EXPECT_NE(page.find("第" + std::to_string(i + 1) + "页 共3页"), std::string::npos) << page;
    }
  }
  // Nothing is left beside the file.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

// A file that cannot be created is an error at BeginDoc, and no file appears; an aborted job
// and a job without a file leave none either.
TEST_F(PdfPrinter, UnwritablePathAbortAndMissingNameLeaveNoFile) {
  Use({});
  fs::path dir = TempFolder("pdfbad");
  std::ofstream(dir / "plain.txt") << "x";
  const fs::path bad[] = {dir / "missing" / "out.pdf", dir / "plain.txt" / "out.pdf", dir};
  for (const fs::path& f : bad) {
    SCOPED_TRACE(f.string());
    P()->SetFileName(f.string());
    String msg = Message([&] { P()->BeginDoc(); });
    EXPECT_EQ(msg.rfind("Cannot create file \"" + f.string() + "\"", 0), 0u) << msg;
    EXPECT_FALSE(P()->Printing());
  }
  EXPECT_FALSE(fs::exists(dir / "missing"));

  fs::path file = dir / "aborted.pdf";
  P()->SetFileName(file.string());
  P()->BeginDoc();
  PrintPage(P(), "项目合同打印", 1, 2);
  P()->NewPage();
  P()->Abort();
  EXPECT_FALSE(fs::exists(file));

  P()->SetFileName("");
  EXPECT_EQ(Message([&] { P()->BeginDoc(); }), "No output file was chosen for the PDF printer");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // plain.txt
  fs::remove_all(dir);
}

// Text laid out on a measuring context of 600 dpi breaks as it will be printed: the PDF
// printer's context at 600 dpi reports the same cumulative extents, inside a job and outside.
TEST_F(PdfPrinter, MeasuresAsTheMeasuringContextOfItsResolution) {
  Use({"Recorder"});
  fs::path file = TempFolder("pdf-measure") / "measure.pdf";
  P()->SetPrinterIndex(P()->Printers()->IndexOf("PDF"));
  P()->SetFileName(file.string());
  const String text = "合同编号 Contract No. 2026-045, AVATAR ff 金额￥1,234.50";
  auto extents = [&](HDC dc, const String& face, int height) {
    HFONT font = CreateFont(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    HGDIOBJ old = SelectObject(dc, font);
    std::vector<int> e(std::size_t(Length(text)));
    GetTextExtentExPoint(dc, text, -1, 0, nullptr, e.data(), nullptr);
    SelectObject(dc, old);
    DeleteObject(font);
    return e;
  };
  HDC measuring = CreateMeasuringDC(600);
  ASSERT_EQ(GetDeviceCaps(P()->Handle(), LOGPIXELSY), 600);
  for (const char* face : {"Arial", "宋体", "Courier New"}) {
    std::vector<int> reference = extents(measuring, face, -83);
    EXPECT_EQ(extents(P()->Handle(), face, -83), reference) << face;
    P()->BeginDoc();
    EXPECT_EQ(extents(P()->Handle(), face, -83), reference) << face << " in a job";
    P()->Abort();
  }
  DeleteDC(measuring);
}

// ================================================================ sheets with modes of their own

namespace {

// "Page size: W x H pts" of every page, as pdfinfo reads the file.
std::vector<std::string> PdfPageSizes(const fs::path& File, int Pages) {
  std::string cmd = "pdfinfo -f 1 -l " + std::to_string(Pages) + " '" + File.string() + "' 2>&1";
  std::FILE* f = ::popen(cmd.c_str(), "r");
  std::vector<std::string> sizes;
  if (!f) return sizes;
  char line[512];
  while (std::fgets(line, sizeof line, f)) {
    std::string s(line);
    std::size_t at = s.find(" size: ");
    if (s.rfind("Page", 0) == 0 && at != std::string::npos) {
      std::size_t end = s.find(" pts");
      sizes.push_back(s.substr(at + 7, end - at - 7));
    }
  }
  EXPECT_EQ(::pclose(f), 0);
  return sizes;
}

}  // namespace

// Each sheet of one job is laid out by the mode it comes with; a recorder of sheets measures
// like the device and keeps what each sheet drew.
TEST(PdfSheets, EachSheetTakesThePaperAndOrientationOfItsMode) {
  fs::path dir = TempFolder("sheets");
  std::unique_ptr<TPrintDevice> pdf = CreatePdfPrintDevice();
  DEVMODE portrait = pdf->DefaultMode(), landscape = portrait, a5 = portrait;
  landscape.dmOrientation = DMORIENT_LANDSCAPE;
  a5.dmPaperSize = DMPAPER_A5;
  pdf->BeginJob(TPrintJob{"sheets", portrait, (dir / "s.pdf").string(), pdf->Caps(portrait)});
  const DEVMODE* modes[] = {&portrait, &landscape, &a5};
  for (const DEVMODE* m : modes) {
    TSheetRecorder rec(pdf->Caps(*m));
    EXPECT_EQ(GetDeviceCaps(rec.DC(), LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(rec.DC(), PHYSICALWIDTH), pdf->Caps(*m).Paper.cx);
    rec.BeginSheet();
    TextOut(rec.DC(), 100, 100, "sheet");
    std::unique_ptr<TMetafile> sheet = rec.EndSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_NE(sheet->Text().find("sheet"), String::npos);
    EXPECT_EQ(rec.EndSheet(), nullptr);
    pdf->AddSheet(*sheet, *m);
  }
  pdf->EndJob();
  std::vector<std::string> sizes = PdfPageSizes(dir / "s.pdf", 3);
  ASSERT_EQ(sizes.size(), 3u);
  auto width = [&](int i) { return std::stod(sizes[std::size_t(i)]); };
  EXPECT_NEAR(width(0), 595.3, 1) << sizes[0];  // A4 portrait, 595 x 842 points
  EXPECT_NEAR(width(1), 841.9, 1) << sizes[1];  // turned
  EXPECT_NEAR(width(2), 419.5, 1) << sizes[2];  // A5
  fs::remove_all(dir);
}
