// The grid printer: page geometry and units, page groups and fitting, the macros and the
// page-count pass, the printed rows and their totals, runs that fail or are interrupted, and a
// list printed through the preview to PDF read back with pdftotext.
#include "../platform/print/PdfReader.h"
#include "../platform/print/PrintTestUtil.h"
#include "DBGridFixture.h"
#include "core/SysUtils.h"
#include "grid/PrViewEh.h"
#include "grid/PrViewFormEh.h"
#include "grid/PrnDBGridEhSetupDialog.h"
#include "grid/PrnDbgeh.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/Messages.h"
#include <deque>
#include <functional>
#include "gui/ComCtrlsBasic.h"
#include "gui/Dialogs.h"
#include "gui/Application.h"
#include "core/LayoutText.h"
#include "gui/Screen.h"

#include <algorithm>

using namespace printtest;

namespace {

// A grid of Code, Amount and Qty columns, 64 pixels wide, rows 30 pixels high, printed into a
// preview box of its own; the process's printers are the test's.
class GridPrinterTest : public DBGridFixture {
protected:
  void SetUp() override {
    DBGridFixture::SetUp();
    for (const char* f : {"Code", "Amount", "Qty"}) AddColumn(f)->SetWidth(64);
    Grid->SetRowHeight(30);
    Prn = new TPrintDBGridEh(Form);
    Prn->SetDBGridEh(Grid);
  }
  void TearDown() override {
    delete Host;
    Host = nullptr;
    if (FOwn) {
      SetPrinter(FOld);
      FOwn.reset();
      SetPrinterSource(std::move(FOldSource));
    }
    DBGridFixture::TearDown();
  }
  void UsePrinters(std::vector<String> Names, bool WithPdf) {
    Log = std::make_shared<TJobLog>();
    FOldSource = SetPrinterSource(std::make_unique<TTestSource>(std::move(Names), Log, WithPdf));
    FOwn = std::make_unique<TPrinter>();
    FOld = SetPrinter(FOwn.get());
  }
  // The previewer of a box on a window of its own (no printers unless UsePrinters ran).
  TPrinterPreview* Preview() {
    if (!FOwn) UsePrinters({}, false);
    if (!Host) {
      Host = new TForm(nullptr);
      Host->SetBounds(0, 0, 300, 300);
      Box = new TPreviewBox(Host);
      Box->SetParent(Host);
      Box->SetBounds(0, 0, 280, 280);
    }
    return Box->Printer();
  }
  void Refill(int Rows) {
    DS->Close();
    DS->EmptyTable();
    for (int i = 1; i <= Rows; ++i)
      DS->AddRow({Variant(Format("R%.2d", {i})), Variant(double(i)), Variant(i * 10), Null(), Variant(String("n"))});
    DS->Open();
  }
  String PageText(int N) { return Box->Printer()->Page(N)->Text(); }
  int Pages() { return Box->Printer()->PageCount(); }
  // The text runs of page N that read Text.
  std::vector<TMetaTextRun> Runs(int N, const String& Text) {
    std::vector<TMetaTextRun> r;
    Box->Printer()->Page(N)->WalkText([&](const TMetaTextRun& Run) {
      if (Run.Text == Text) r.push_back(Run);
    });
    return r;
  }
  int Records(int N, TMetaRecordKind Kind) {
    auto kinds = Box->Printer()->Page(N)->RecordKinds();
    return int(std::count(kinds.begin(), kinds.end(), Kind));
  }

  TPrintDBGridEh* Prn = nullptr;
  TForm* Host = nullptr;
  TPreviewBox* Box = nullptr;
  std::shared_ptr<TJobLog> Log;

private:
  std::unique_ptr<TPrinterSource> FOldSource;
  std::unique_ptr<TPrinter> FOwn;
  TPrinter* FOld = nullptr;
};

// ---------------------------------------------------------------- frame and units

TEST_F(GridPrinterTest, MarginsCountFromThePaperEdgeInTheirUnits) {
  TPrintGeometry g = Prn->Geometry(Preview());
  EXPECT_EQ(g.DpiX, 600);
  // round(600 x 2 / 2.54) = 472 from the paper edge, less the unprintable offset.
  EXPECT_EQ(g.Left, 472 - TPrinterPreview::NoPrinterOffsetX);
  EXPECT_EQ(g.Top, 472 - TPrinterPreview::NoPrinterOffsetY);
  EXPECT_EQ(g.Right, TPrinterPreview::NoPrinterWidth + TPrinterPreview::NoPrinterOffsetX - 472);
  EXPECT_EQ(g.LineWidth, 6);
  EXPECT_DOUBLE_EQ(g.Sx, 6.25);
  Prn->SetUnits(Inches);
  EXPECT_EQ(Prn->Page()->LeftMargin, Currency::FromDouble(0.7874));
  EXPECT_EQ(Prn->Geometry(Preview()).Left, g.Left) << "the same margin in inches";
  Prn->SetUnits(MM);
  EXPECT_EQ(Prn->Page()->TopMargin, Currency::FromDouble(2));
}

TEST_F(GridPrinterTest, MacrosAreReplacedInAnyCaseButNotAfterASecondAmpersand) {
  TPrintMacroValues v;
  v.Page = 2;
  v.Pages = 3;
  v.ShortDate = "2026-12-10";
  v.LongDate = "2026年12月10日";
  v.Time = "9:05:00";
  struct Case {
    const char* Text;
    const char* Expect;
  } cases[] = {
      {"第&[Page]页 共&[Pages]页", "第2页 共3页"},
      {"&[page]/&[PAGES]", "2/3"},
      {"&&[Date] &[Date]", "&&[Date] 2026-12-10"},
      {"&[ShortDate] &[LongDate]", "2026-12-10 2026年12月10日"},
      {"at &[time]", "at 9:05:00"},
      {"&[Page]x & [Page]", "2x & [Page]"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplacePrintMacros(c.Text, v), c.Expect) << c.Text;
  EXPECT_TRUE(NeedsPageCount("共&[pages]页"));
  EXPECT_FALSE(NeedsPageCount("&[Page]"));
}

// ---------------------------------------------------------------- groups and fitting

TEST_F(GridPrinterTest, ColumnsFallIntoPageGroupsByTheirCappedWidths) {
  struct Case {
    std::vector<int> Widths;
    std::vector<int> Groups;
  } cases[] = {
      {{1000, 1500, 1200}, {1, 2}},
      {{1000, 5000, 200}, {0, 1, 2}},  // a column wider than the page alone, capped
      {{5000}, {0}},
      {{500, 500, 500}, {2}},
      {{}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(PrintPageGroups(c.Widths, 0, 3000, 6), c.Groups);
  std::vector<int> w = {1200, 1200, 1200};
  FitWidthsToPage(w, 3000);
  EXPECT_EQ(w, (std::vector<int>{1000, 1000, 1000}));
  w = {1000, 1000, 1001};
  FitWidthsToPage(w, 1000);
  EXPECT_EQ(w[0] + w[1] + w[2], 1000) << "the last column gives up the excess";
  w = {100, 200};
  FitWidthsToPage(w, 3000);
  EXPECT_EQ(w, (std::vector<int>{100, 200})) << "narrow enough already";
}

TEST_F(GridPrinterTest, WideColumnsTakeSeveralPagesUnlessFitted) {
  for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->SetWidth(400);
  struct Case {
    TPrintDBGridEhOptions Options;
    int Pages;
  } cases[] = {
      {{}, 3},
      {{pghFitGridToPageWidth}, 1},
      {{pghFitGridToPageWidth, pghFitingByColWidths}, 1},
      {{pghOptimalColWidths}, 1},  // the content is narrow
  };
  for (const Case& c : cases) {
    Prn->SetOptions(c.Options);
    Prn->PrintGridTo(Preview());
    EXPECT_EQ(Pages(), c.Pages);
    EXPECT_NE(PageText(1).find("R12"), String::npos);
  }
}

// Optimal widths make a column as wide as its widest cell.
TEST_F(GridPrinterTest, OptimalWidthsShowTheWholeText) {
  Grid->Columns()->Items(0)->SetWidth(2);
  for (bool optimal : {false, true}) {
    Prn->SetOptions(optimal ? TPrintDBGridEhOptions{pghOptimalColWidths} : TPrintDBGridEhOptions{});
    Prn->PrintGridTo(Preview());
    int found = 0, clipped = 0;
    Box->Printer()->Page(1)->WalkText([&](const TMetaTextRun& r) {
      if (r.Text != "R05") return;
      ++found;
      clipped += r.Clipped;
    });
    EXPECT_EQ(found, 1);
    EXPECT_EQ(clipped, optimal ? 0 : 1) << optimal;
  }
}

// An image column prints the image of each value scaled to the printer, no text; a value with
// no image prints nothing.
TEST_F(GridPrinterTest, AnImageColumnPrintsItsImages) {
  Refill(4);
  std::unique_ptr<TCustomImageList> images(TCustomImageList::CreateSize(16, 16));
  for (int i = 0; i < 3; ++i) {
    TBitmap b;
    b.SetSize(16, 16);
    images->Add(&b, nullptr);
  }
  TColumnEh* qty = Grid->Columns()->Items(2);
  qty->KeyList()->SetText("10\n20\n30");
  qty->SetImageList(images.get());
  Prn->PrintGridTo(Preview());
  auto kinds = Box->Printer()->Page(1)->RecordKinds();
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), mrImage), 3) << "rows 1-3; 40 has no image";
  EXPECT_EQ(PageText(1).find("\n20\n"), String::npos);
  qty->SetImageList(nullptr);
}

// Scaling maps the grid's total width onto the page: every text ends within the page.
TEST_F(GridPrinterTest, FitByScalingKeepsTheTextOnThePage) {
  for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->SetWidth(400);
  Grid->Columns()->Items(2)->SetAlignment(taRightJustify);
  Prn->SetOptions({pghFitGridToPageWidth});
  Prn->PrintGridTo(Preview());
  ASSERT_EQ(Pages(), 1);
  int right = 0;
  bool found = false;
  Box->Printer()->Page(1)->WalkText([&](const TMetaTextRun& r) {
    right = std::max(right, int(r.Bounds.Right));
    found = found || r.Text == "120";
  });
  EXPECT_TRUE(found);
  EXPECT_GT(right, TPrinterPreview::NoPrinterWidth / 2) << "the right column reaches across";
  EXPECT_LE(right, TPrinterPreview::NoPrinterWidth);
}

// ---------------------------------------------------------------- pages and macros

TEST_F(GridPrinterTest, RowsFillPagesAndThePageTotalIsCountedFirst) {
  // No-printer page, 2 cm margins, rows of round(30 x 6.25) = 188 px: 31 rows a page.
  struct Case {
    int Rows, Pages;
    const char* Footer;
    const char* Page2;
  } cases[] = {
      {93, 3, "第&[Page]页 共&[Pages]页", "第2页 共3页"},
      {94, 4, "第&[Page]页 共&[Pages]页", "第2页 共4页"},
      {93, 3, "第&[Page]页 共&[pages]页", "第2页 共3页"},
      {93, 3, "&&[Pages]", "&&[Pages]"},
  };
  for (const Case& c : cases) {
    Refill(c.Rows);
    Prn->PageFooter()->CenterText()->SetText(c.Footer);
    Prn->PrintGridTo(Preview());
    ASSERT_EQ(Pages(), c.Pages) << c.Rows;
    EXPECT_NE(PageText(2).find(c.Page2), String::npos) << PageText(2);
    EXPECT_NE(PageText(1).find("R31"), String::npos);
    EXPECT_EQ(PageText(1).find("R32"), String::npos);
    EXPECT_NE(PageText(2).find("R32"), String::npos);
  }
}

TEST_F(GridPrinterTest, HeaderLinesAndTitleTakeRoomFromTheRows) {
  Refill(93);
  // The title prints in the grid's title font, which follows the form's font until set: the
  // room below is counted for an 11-pixel one.
  Grid->TitleFont()->SetName("MS Sans Serif");
  Grid->TitleFont()->SetHeight(-11);
  // 31 rows of 188 px leave 6100 - 5828 - the title row for anything else.
  Prn->PageHeader()->SetLineType(pcltDoubleLine);
  Prn->PageHeader()->LeftText()->SetText("一\n二\n三");
  Prn->PrintGridTo(Preview());
  EXPECT_EQ(Pages(), 4) << "a header of three lines pushes the last row on";
  EXPECT_NE(PageText(4).find("三"), String::npos);
  Prn->PageHeader()->LeftText()->Clear();
  Prn->Title()->SetText("项目合同打印");
  Prn->PrintGridTo(Preview());
  EXPECT_EQ(Pages(), 3) << "a double line and a one-line title still leave room";
  for (int p = 1; p <= 3; ++p) EXPECT_NE(PageText(p).find("项目合同打印"), String::npos) << p;
}

// A group caption prints once a page, centred over its columns above their own captions; a
// one-level caption next to it takes the title's whole height.
TEST_F(GridPrinterTest, MultiLevelTitlesPrintEachGroupOnceOverItsColumns) {
  Grid->SetUseMultiTitle(true);
  Grid->Columns()->Items(0)->Title()->SetCaption("合同|编号");
  Grid->Columns()->Items(1)->Title()->SetCaption("合同|金额");
  Grid->Columns()->Items(2)->Title()->SetCaption("数量");
  Prn->PrintGridTo(Preview());
  ASSERT_EQ(Pages(), 1);
  auto group = Runs(1, "合同"), code = Runs(1, "编号"), amount = Runs(1, "金额"), qty = Runs(1, "数量");
  ASSERT_EQ(group.size(), 1u) << PageText(1);
  ASSERT_EQ(code.size(), 1u);
  ASSERT_EQ(amount.size(), 1u);
  ASSERT_EQ(qty.size(), 1u);
  EXPECT_EQ(PageText(1).find('|'), String::npos);
  EXPECT_LE(group[0].Bounds.Bottom, code[0].Bounds.Top) << "the group above its columns";
  int middle = (group[0].Bounds.Left + group[0].Bounds.Right) / 2;
  EXPECT_GT(middle, code[0].Bounds.Right);
  EXPECT_LT(middle, amount[0].Bounds.Left) << "centred over both";
  EXPECT_GT(qty[0].Bounds.Top, group[0].Bounds.Top);
  EXPECT_LT(qty[0].Bounds.Top, code[0].Bounds.Top) << "one level centred in the whole height";
  EXPECT_FALSE(group[0].Clipped);
  // Columns a page wide each: the group on both pages of its columns, clipped to each.
  for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->SetWidth(400);
  Prn->PrintGridTo(Preview());
  ASSERT_EQ(Pages(), 3);
  for (int page : {1, 2}) {
    auto g = Runs(page, "合同");
    ASSERT_EQ(g.size(), 1u) << page;
    EXPECT_TRUE(g[0].Clipped) << "centred over the two pages' span";
  }
  EXPECT_TRUE(Runs(3, "合同").empty());
  EXPECT_EQ(Runs(3, "数量").size(), 1u);
}

// Colour only where the cells have one: text goes on the paper without boxes of its own.
TEST_F(GridPrinterTest, OnlyColouredCellsArePainted) {
  Prn->PrintGridTo(Preview());
  EXPECT_EQ(Records(1, mrRects), 0) << "no white boxes behind the texts";
  Grid->Columns()->Items(1)->SetColor(clYellow);
  Prn->SetOptions({pghColored});
  Prn->PrintGridTo(Preview());
  EXPECT_EQ(Records(1, mrRects), 12 + 3) << "the yellow cells and the titles";
}

// A column showing image and text puts the image in a box at the left and its text after it;
// a title image stands for its caption and a vertical caption runs upwards.
TEST_F(GridPrinterTest, ImagesBesideTextsAndInTitles) {
  Refill(4);
  std::unique_ptr<TCustomImageList> images(TCustomImageList::CreateSize(16, 16));
  for (int i = 0; i < 3; ++i) {
    TBitmap b;
    b.SetSize(16, 16);
    images->Add(&b, nullptr);
  }
  // Amounts 1 and 2 have images 1 and 2; 3 and 4 none.
  TColumnEh* amount = Grid->Columns()->Items(1);
  amount->SetImageList(images.get());
  amount->SetShowImageAndText(true);
  Grid->SetTitleImages(images.get());
  Grid->Columns()->Items(0)->Title()->SetImageIndex(1);
  Grid->Columns()->Items(2)->Title()->SetOrientation(tohVertical);
  Prn->PrintGridTo(Preview());
  EXPECT_EQ(Records(1, mrImage), 2 + 1) << "amounts 1 and 2, and the title";
  auto title = Runs(1, "Amount"), one = Runs(1, "1");
  ASSERT_EQ(title.size(), 1u);
  ASSERT_EQ(one.size(), 1u) << PageText(1);
  // round(16 x 6.25 + 4 x 6.25) = 125 for the image box, then round(6.25) more.
  EXPECT_GE(one[0].Bounds.Left - title[0].Bounds.Left, 125 + 6);
  EXPECT_TRUE(Runs(1, "Code").empty()) << "the title image instead";
  auto qty = Runs(1, "Qty");
  ASSERT_EQ(qty.size(), 1u);
  EXPECT_EQ(qty[0].Escapement, 900);
  Grid->SetTitleImages(nullptr);
  amount->SetImageList(nullptr);
}

// ---------------------------------------------------------------- rich text

TEST_F(GridPrinterTest, RichTextsPrintBeforeAndAfterTheGrid) {
  Prn->BeforeGridText()->SetText("致各位：\r\n以下为合同清单");
  Prn->AfterGridText()->SetText("制表人：张三");
  Prn->PrintGridTo(Preview());
  ASSERT_EQ(Pages(), 1);
  auto before = Runs(1, "以下为合同清单"), title = Runs(1, "Code"), last = Runs(1, "R12"), after = Runs(1, "制表人：张三");
  ASSERT_EQ(before.size(), 1u) << PageText(1);
  ASSERT_EQ(title.size(), 1u);
  ASSERT_EQ(last.size(), 1u);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_LT(Runs(1, "致各位：").at(0).Bounds.Top, before[0].Bounds.Top);
  EXPECT_LT(before[0].Bounds.Bottom, title[0].Bounds.Top) << "the grid below the text";
  EXPECT_GT(after[0].Bounds.Top, last[0].Bounds.Bottom) << "the text below the grid";
  // Rows move on by the text's height, and the page total counts its pages.
  Refill(93);
  Prn->PageFooter()->CenterText()->SetText("共&[Pages]页");
  Prn->PrintGridTo(Preview());
  EXPECT_EQ(Pages(), 4);
  EXPECT_NE(PageText(1).find("共4页"), String::npos);
  EXPECT_NE(PageText(4).find("制表人"), String::npos);
  // A text of many lines fills pages of its own before the grid starts.
  String lines;
  for (int i = 1; i <= 120; ++i) lines += "第" + IntToStr(i) + "行\r\n";
  Prn->BeforeGridText()->SetText(lines);
  Prn->AfterGridText()->Clear();
  Prn->PrintGridTo(Preview());
  ASSERT_GE(Pages(), 5);
  EXPECT_NE(PageText(1).find("第1行"), String::npos);
  EXPECT_EQ(PageText(1).find("第120行"), String::npos);
  int gridPage = 0;
  for (int p = 1; p <= Pages() && !gridPage; ++p)
    if (PageText(p).find("R01") != String::npos) gridPage = p;
  ASSERT_GT(gridPage, 1);
  EXPECT_NE(PageText(gridPage - 1).find("第120行") + PageText(gridPage).find("第120行"), 2 * String::npos);
  EXPECT_NE(PageText(Pages()).find("共" + IntToStr(Pages()) + "页"), String::npos);
}

// A line taller than the space between header and footer prints clipped on a page of its own,
// and the text goes on.
TEST_F(GridPrinterTest, ARichTextLineTallerThanThePagePrintsClipped) {
  Refill(3);
  Prn->BeforeGridText()->RichEdit()->Font()->SetSize(800);
  Prn->BeforeGridText()->SetText("大\r\n小");
  Prn->PrintGridTo(Preview());
  ASSERT_EQ(Pages(), 3);
  EXPECT_EQ(Runs(1, "大").size(), 1u);
  EXPECT_TRUE(Runs(1, "大").at(0).Clipped);
  EXPECT_EQ(Runs(2, "小").size(), 1u);
  EXPECT_NE(PageText(3).find("R03"), String::npos);
}

// The printer goes into layouts with its settings; the rich texts as binary data, margins
// only when they are not 2, the options always.
TEST_F(GridPrinterTest, SettingsAndRichTextsTravelThroughLayouts) {
  static_cast<TComponent*>(Form)->SetName("ListForm");
  static_cast<TComponent*>(Grid)->SetName("Grid1");
  Prn->SetName("PrintGrid1");
  Prn->Title()->SetText("项目合同打印");
  Prn->Page()->TopMargin = Currency::FromDouble(1.5);
  Prn->PageFooter()->CenterText()->SetText("第&[Page]页");
  Prn->PageFooter()->SetLineType(pcltDoubleLine);
  Prn->SetPrintFontName("宋体");
  Prn->BeforeGridText()->SetText("致各位：\r\n以下为合同清单");
  String text = WriteComponentToText(Form);
  for (const char* part : {"object PrintGrid1: TPrintDBGridEh", "DBGridEh = Grid1", "Options = []", "Page.TopMargin = 1.5",
                           "PageFooter.LineType = pcltDoubleLine", "BeforeGridText_Data = {"})
    EXPECT_NE(text.find(part), String::npos) << part << "\n" << text;
  for (const char* absent : {"LeftMargin", "AfterGridText", "Units"}) EXPECT_EQ(text.find(absent), String::npos) << absent;
  // Read back onto a window of its own.
  String own = text.substr(text.find("  object PrintGrid1"));
  own = "object Host: TForm\n" + own.substr(0, own.find("  end\n") + 6) + "end\n";
  const String reference = "    DBGridEh = Grid1\n";
  own.replace(own.find(reference), reference.size(), "");
  std::unique_ptr<TForm> host(new TForm(nullptr));
  ReadComponentFromText(host.get(), own);
  auto* read = dynamic_cast<TPrintDBGridEh*>(host->FindComponent("PrintGrid1"));
  ASSERT_NE(read, nullptr) << own;
  EXPECT_EQ(read->Title()->Text(), "项目合同打印\r\n");
  EXPECT_EQ(read->Page()->TopMargin, Currency::FromDouble(1.5));
  EXPECT_EQ(read->Page()->LeftMargin, Currency::FromDouble(2));
  EXPECT_EQ(read->PageFooter()->LineType(), pcltDoubleLine);
  EXPECT_EQ(read->PrintFontName(), "宋体");
  EXPECT_EQ(read->BeforeGridText()->Text(), "致各位：\r\n以下为合同清单\r\n");
  EXPECT_TRUE(read->AfterGridText()->IsEmpty());
  // Units read from a layout do not convert the margins read with them.
  String inches = own;
  inches.insert(inches.find("    Options"), "    Units = Inches\n");
  std::unique_ptr<TForm> host2(new TForm(nullptr));
  ReadComponentFromText(host2.get(), inches);
  auto* read2 = dynamic_cast<TPrintDBGridEh*>(host2->FindComponent("PrintGrid1"));
  ASSERT_NE(read2, nullptr);
  EXPECT_EQ(read2->Units(), Inches);
  EXPECT_EQ(read2->Page()->TopMargin, Currency::FromDouble(1.5));
}

// The rich edit keeps text only: a copy goes through its rich-text stream, a stream that is
// no rich text is read as plain text.
TEST_F(GridPrinterTest, RichEditStringsCopyThroughStreamsAndReadPlainText) {
  TRichEditStrings a, b;
  a.SetText("甲\r\n{乙}\\");
  TStringStream rich;
  a.SaveToStream(&rich);
  EXPECT_EQ(rich.DataString().rfind("{\\rtf1", 0), 0u) << rich.DataString();
  b.Assign(&a);
  EXPECT_EQ(b.Text(), "甲\r\n{乙}\\\r\n");
  TStringStream plain("一\n二");
  b.LoadFromStream(&plain);
  EXPECT_EQ(b.Count(), 2);
  EXPECT_EQ(b.Strings(1), "二");
  b.Delete(0);
  b.Insert(0, "三");
  EXPECT_EQ(b.Text(), "三\r\n二\r\n");
  b.Clear();
  EXPECT_TRUE(b.IsEmpty());
}

TEST_F(GridPrinterTest, MarginsLeavingNoRowsAreaAreAnErrorNotEndlessPages) {
  Prn->Page()->TopMargin = Currency::FromDouble(15);
  Prn->Page()->BottomMargin = Currency::FromDouble(15);
  TPrinterPreview* p = Preview();
  EXPECT_THROW(Prn->PrintGridTo(p), Exception);
  EXPECT_FALSE(p->GetPrinting()) << "the document is finished";
  EXPECT_TRUE(Grid->Enabled());
  EXPECT_EQ(Code(), "R01") << "the dataset is back where it was";
}

TEST_F(GridPrinterTest, ARowTallerThanThePagePrintsClippedOnAPageOfItsOwn) {
  Refill(3);
  Grid->SetRowHeight(2000);
  Prn->PrintGridTo(Preview());
  EXPECT_EQ(Pages(), 3);
  EXPECT_NE(PageText(3).find("R03"), String::npos);
}

// ---------------------------------------------------------------- rows and totals

TEST_F(GridPrinterTest, FootersPrintAfterTheRowsWithTotalsOfThePrintedRows) {
  Grid->SetFooterRowCount(2);
  TColumnEh* amount = Grid->Columns()->Items(1);
  amount->Footers()->Add()->SetValueType(fvtSum);
  amount->Footers()->Add()->SetValueType(fvtCount);
  Grid->Columns()->Items(0)->Footers()->Add()->SetValueType(fvtStaticText);
  Grid->Columns()->Items(0)->FooterAt(0)->SetValue("合计");
  Prn->PrintGridTo(Preview());
  ASSERT_EQ(Pages(), 1);
  String all = PageText(1);
  EXPECT_NE(all.find("78"), String::npos) << all;  // 1 + ... + 12
  EXPECT_NE(all.find("合计"), String::npos);
  // Only the selected rows: 2 + 5 + 7.
  Select({7, 2, 5});
  Prn->PrintGridTo(Preview());
  all = PageText(1);
  EXPECT_NE(all.find("\n14\n"), String::npos) << all;
  EXPECT_EQ(all.find("R01"), String::npos);
  std::size_t r2 = all.find("R02"), r5 = all.find("R05"), r7 = all.find("R07");
  ASSERT_NE(r7, String::npos);
  EXPECT_LT(r2, r5);
  EXPECT_LT(r5, r7) << "the selection list's order";
  // An empty dataset: the titles and the footer rows.
  Grid->SelectedRows()->Clear();
  Refill(0);
  Prn->PrintGridTo(Preview());
  ASSERT_EQ(Pages(), 1);
  all = PageText(1);
  EXPECT_NE(all.find("Code"), String::npos) << all;
  EXPECT_NE(all.find("合计"), String::npos);
  EXPECT_NE(all.find("\n0"), String::npos);
}

TEST_F(GridPrinterTest, HiddenDuplicatesShowAgainAtThePageTop) {
  DS->Close();
  DS->EmptyTable();
  for (int i = 1; i <= 40; ++i)
    DS->AddRow({Variant(String("same")), Variant(double(i)), Variant(i), Null(), Variant(String("n"))});
  DS->Open();
  Grid->Columns()->Items(0)->SetHideDuplicates(true);
  Prn->PrintGridTo(Preview());
  ASSERT_EQ(Pages(), 2);
  auto count = [](const String& s) {
    int n = 0;
    for (std::size_t at = 0; (at = s.find("same", at)) != String::npos; ++at) ++n;
    return n;
  };
  EXPECT_EQ(count(PageText(1)), 1);
  EXPECT_EQ(count(PageText(2)), 1) << "first row of the new page";
}

// ---------------------------------------------------------------- runs

TEST_F(GridPrinterTest, ARunIsNotEnteredTwiceAndTheGridTakesNoInputMeanwhile) {
  TPrinterPreview* p = Preview();
  int before = 0;
  bool refused = false, disabled = false;
  Prn->OnBeforePrint = TNotifyEvent::Lambda([&](TObject*) {
    ++before;
    try {
      Prn->PrintGridTo(p);
    } catch (const EInvalidOperation&) {
      refused = true;
    }
  });
  int after = 0;
  Prn->OnAfterPrint = TNotifyEvent::Lambda([&](TObject*) {
    ++after;
    disabled = !Grid->Enabled();
  });
  DS->SetRecNo(5);
  Prn->PrintGridTo(p);
  EXPECT_TRUE(refused);
  EXPECT_TRUE(disabled);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(after, 1);
  EXPECT_TRUE(Grid->Enabled());
  EXPECT_EQ(Code(), "R05") << "back on the remembered record";
  EXPECT_EQ(Pages(), 1);
}

TEST_F(GridPrinterTest, ClosingTheDatasetStopsTheRunAtTheNextCell) {
  Refill(80);
  TPrinterPreview* p = Preview();
  // Hidden, the grid does not paint: its own painting asks for cell parameters too, and the
  // calls counted here are the printer's.
  Form->Hide();
  int cells = 0;
  Grid->OnGetCellParams = TGetCellEhParamsEvent::Lambda([&](TObject*, TColumnEh*, TFont*, TColor&, TGridDrawState) {
    if (++cells == 100) DS->Close();
  });
  EXPECT_THROW(Prn->PrintGridTo(p), EAbort);
  EXPECT_FALSE(p->GetPrinting());
  EXPECT_EQ(Pages(), 1) << "the finished page stays";
  EXPECT_TRUE(Grid->Enabled());
}

// The grid freed while the run lets messages through: the run stops, the dataset's controls
// come back and the printer forgets the grid.
TEST_F(GridPrinterTest, FreeingTheGridStopsTheRun) {
  Refill(80);
  TPrinterPreview* p = Preview();
  HWND killer = AllocateHWnd([this](TMessage& M) {
    if (M.Msg != WM_USER + 1 || !Grid) return;
    delete Grid;
    Grid = nullptr;
  });
  int cells = 0;
  Grid->OnGetCellParams = TGetCellEhParamsEvent::Lambda([&](TObject*, TColumnEh*, TFont*, TColor&, TGridDrawState) {
    if (++cells == 10) PostMessage(killer, WM_USER + 1, 0, 0);
  });
  EXPECT_THROW(Prn->PrintGridTo(p), EAbort);
  DeallocateHWnd(killer);
  EXPECT_EQ(Grid, nullptr);
  EXPECT_EQ(Prn->DBGridEh(), nullptr);
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_FALSE(p->GetPrinting());
  EXPECT_EQ(Pages(), 1);
}

TEST_F(GridPrinterTest, AnInactiveDatasetPrintsNothing) {
  DS->Close();
  Prn->PrintGridTo(Preview());
  EXPECT_EQ(Pages(), 0);
  Prn->SetDBGridEh(nullptr);
  Prn->PrintGridTo(Preview());
  EXPECT_EQ(Pages(), 0);
}

// ---------------------------------------------------------------- setup

// Runs Action while the steps act on the shared setup dialog from its modal loop.
template <class F> void WithDialogSteps(std::deque<std::function<void(TfPrnDBGridEhSetupDialog*)>> Steps, F&& Action) {
  int idle = 0;
  HWND runner = AllocateHWnd([&](TMessage& M) {
    if (M.Msg != WM_TIMER) return;
    TfPrnDBGridEhSetupDialog* d = PrnDBGridEhSetupDialog();
    if (Steps.empty()) {
      if (++idle == 100 && d->Showing()) {
        ADD_FAILURE() << "the dialog stayed open";
        d->SetModalResult(mrAbort);
      }
      return;
    }
    if (!d->Showing()) return;
    auto step = std::move(Steps.front());
    Steps.pop_front();
    step(d);
  });
  SetTimer(runner, 1, 20);
  Action();
  KillTimer(runner, 1);
  DeallocateHWnd(runner);
  EXPECT_TRUE(Steps.empty());
}

TEST_F(GridPrinterTest, TheSetupDialogShowsTheSettingsAndStoresThemOnOkOnly) {
  Prn->SetUnits(Inches);
  Prn->Page()->TopMargin = Currency::FromDouble(2);
  Prn->SetOptions({pghColored});
  bool ok = true;
  WithDialogSteps({[](TfPrnDBGridEhSetupDialog* d) {
                    EXPECT_EQ(d->seUpMargin->Text(), "2");
                    EXPECT_EQ(d->seLeftMargin->Text(), "0.7874");
                    EXPECT_TRUE(d->cbColored->Checked());
                    d->seUpMargin->SetText("1.5");
                    d->bCancel->Click();
                  }},
                  [&] { ok = Prn->RunSetupDialog(); });
  EXPECT_FALSE(ok);
  EXPECT_EQ(Prn->Page()->TopMargin, Currency::FromDouble(2)) << "Cancel keeps all";
  WithDialogSteps({[](TfPrnDBGridEhSetupDialog* d) {
                    d->seUpMargin->SetText("1.5");
                    d->cbColored->SetChecked(false);
                    d->cbAutoStretch->SetChecked(true);
                    d->bOk->Click();
                  }},
                  [&] { ok = Prn->RunSetupDialog(); });
  EXPECT_TRUE(ok);
  EXPECT_EQ(Prn->Page()->TopMargin, Currency::FromDouble(1.5));
  EXPECT_EQ(Prn->Page()->LeftMargin, Currency::FromDouble(0.7874));
  EXPECT_EQ(Prn->Options(), (TPrintDBGridEhOptions{pghRowAutoStretch}));
}

// The preview's setup handler: the dialog, then the pages laid out anew with the new margins.
TEST_F(GridPrinterTest, SetupAndPreviewLaysThePagesOutAgain) {
  // The shared window lives on for later tests: give it the PDF printer they print to.
  UsePrinters({}, true);
  Refill(93);
  Prn->ShowPreview();
  TPreviewFormEh* form = SharedPreviewForm();
  ASSERT_NE(form, nullptr);
  int before = form->PreviewEh1->PageCount();
  EXPECT_GE(before, 3);
  WithDialogSteps({[](TfPrnDBGridEhSetupDialog* d) {
                    d->seUpMargin->SetText("6");
                    d->bOk->Click();
                  }},
                  [&] { form->PreviewEh1->RunPrinterSetup(); });
  EXPECT_GT(form->PreviewEh1->PageCount(), before) << "fewer rows a page under the larger margin";
  EXPECT_EQ(Prn->Page()->TopMargin, Currency::FromDouble(6));
  form->Close();
}

// ---------------------------------------------------------------- to PDF

TEST_F(GridPrinterTest, AListPrintedToPdfShowsTitleMacrosAndFooterSums) {
  UsePrinters({}, true);
  Refill(93);
  Grid->SetFooterRowCount(1);
  Grid->Columns()->Items(1)->Footer()->SetValueType(fvtSum);
  Prn->Title()->SetText("项目合同打印");
  Prn->PageFooter()->CenterText()->SetText("第&[Page]页 共&[Pages]页");
  Prn->ShowPreview();
  TPreviewFormEh* form = SharedPreviewForm();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(form->PreviewEh1->PageCount(), 4);  // the footer row needs a page of its own
  EXPECT_EQ(form->PreviewEh1->PrintSource(), Prn);
  auto dir = TempFolder("grid_printer");
  auto file = dir / "list.pdf";
  {
    TDialogScript script;
    script.Print("PDF", 0, 0, file.string());
    form->PreviewEh1->PrintPages();
  }
  // pdftotext, and the test's own reader of the file's text streams.
  for (const auto& pages : {PdfPages(file), pdftest::TPdfReader(file.string()).Pages()}) {
    ASSERT_EQ(pages.size(), 4u);
    for (const auto& page : pages) EXPECT_NE(page.find("项目合同打印"), std::string::npos) << page;
    EXPECT_NE(pages[1].find("第2页 共4页"), std::string::npos) << pages[1];
    EXPECT_NE(pages[3].find("4371"), std::string::npos) << pages[3];  // 1 + ... + 93
  }
  form->Close();
  std::filesystem::remove_all(dir);
}

}  // namespace
