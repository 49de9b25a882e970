// The older engine's small dialogs: the display-format dialog driven as a person would, and
// the progress window that a report run shows and that Cancel stops.
#include "FrTestSupport.h"

#include "report_legacy/FR_ClassPrepared.h"
#include "report_legacy/FR_FmtEd.h"
#include "report_legacy/FR_Utils.h"
#include "report_legacy/FR_progr.h"
#include "report_legacy/FR_PrDlg.h"
#include "report_legacy/FR_Prntr.h"
#include "../platform/print/PrintTestUtil.h"

#include "gui/Edit.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/Timers.h"
#include "gui/Buttons.h"
#include "gui/ComboBox.h"
#include "gui/ExtCtrls.h"
#include "gui/Pictures.h"
#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/WinUser.h"
#include "core/FileUtils.h"
#include "gui/Application.h"

#include <cmath>
#include <functional>

namespace {

using frtest::TEngineTest;

// Runs Step once the modal window is up (a tick of its loop), then lets the step close it.
class TAtModal {
public:
  explicit TAtModal(std::function<void()> Step) : FStep(std::move(Step)) {
    FTimer.SetInterval(10);
    FTimer.SetOnTimer(TNotifyEvent::Lambda([this](TObject*) {
      FTimer.SetEnabled(false);
      FStep();
    }));
  }

private:
  std::function<void()> FStep;
  TTimer FTimer{nullptr};
};

class FrDialogs : public TEngineTest {};

TEST_F(FrDialogs, TheFormatDialogShowsTheFormatAndComposesTheChosenOne) {
  TfrFmtForm form(nullptr);
  form.InitForm();
  form.Format = 0x02020000;  // date, third format
  bool checked = false;
  TAtModal person([&] {
    EXPECT_EQ(form.CatLB->ItemIndex(), 2);
    EXPECT_EQ(form.TypeLB->ItemIndex(), 2);
    EXPECT_EQ(form.TypeLB->Items()->Strings(2), LocaleText(55162));
    EXPECT_FALSE(form.DecEdit->Enabled());
    EXPECT_EQ(form.DecEdit->Text(), "");
    EXPECT_FALSE(form.FormatEdit->Enabled());
    // Numbers, second format, three decimals, no separator.
    form.CatLB->SetItemIndex(1);
    form.CatLBClick(form.CatLB);
    form.TypeLB->SetItemIndex(1);
    form.TypeLBClick(form.TypeLB);
    EXPECT_TRUE(form.DecEdit->Enabled());
    form.DecEdit->SetText("3");
    form.SplEdit->SetText("");
    checked = true;
    form.Button1->Click();
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_TRUE(checked);
  EXPECT_EQ(form.Format, 0x01010300 + ',');

  // A decimals text that is no number counts as 0; the custom entry takes its text.
  TfrFmtForm again(nullptr);
  again.InitForm();
  again.Format = 0x01040000 + '.';
  again.FormatText = "#,##0.00";
  TAtModal person2([&] {
    EXPECT_TRUE(again.FormatEdit->Enabled());
    EXPECT_EQ(again.FormatEdit->Text(), "#,##0.00");
    again.DecEdit->SetText("x");
    again.FormatEdit->SetText("0.000");
    again.Button1->Click();
  });
  EXPECT_EQ(again.ShowModal(), mrOk);
  EXPECT_EQ(again.Format, 0x01040000 + '.');
  EXPECT_EQ(again.FormatText, "0.000");
}

TEST_F(FrDialogs, TheProgressWindowShowsThePagesAndCancelStopsTheRun) {
  TComponent owner(nullptr);
  auto* report = new TfrReport(&owner);
  TfrPage* page = report->Pages()->Add();
  auto* band = new TfrBandView;
  band->Name = "MasterData1";
  band->SetBandType(btMasterData);
  band->SetViewBounds(0, 40, 700, 20);
  band->FormatText = "500";
  page->AddObject(band);
  auto* memo = new TfrMemoView;
  memo->Name = "Memo1";
  memo->SetViewBounds(20, 40, 100, 18);
  memo->Memo.SetText("[LINE#]");
  page->AddObject(memo);
  std::vector<String> lines;
  report->SetOnBeginPage(TBeginPageEvent::Lambda([&](int n) {
    TfrProgressForm* f = report->ProgressForm();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->Visible());
    lines.push_back(f->Label1->Caption());
    if (n == 2) f->Button1->Click();
  }));
  EXPECT_FALSE(report->PrepareReport());
  EXPECT_EQ(report->ProgressForm(), nullptr);
  // Each new page is announced with the number of pages done.
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], LocaleText(55205) + " 1");
  EXPECT_EQ(lines[2], LocaleText(55205) + " 2");
  // The run stopped where Cancel was pressed.
  EXPECT_EQ(report->PreparedPages()->Count(), 3);
  // Without the window the same report runs to its end.
  report->SetOnBeginPage(TBeginPageEvent());
  report->SetShowProgress(false);
  EXPECT_TRUE(report->PrepareReport());
  EXPECT_GT(report->PreparedPages()->Count(), 5);
}

}  // namespace

namespace {

class FrPrintDialog : public FrDialogs {
protected:
  void SetUp() override {
    FrDialogs::SetUp();
    auto log = std::make_shared<printtest::TJobLog>();
    FOld = SetPrinterSource(std::make_unique<printtest::TTestSource>(std::vector<String>{"One", "Two"}, log, false));
    FreeGlobalPrinter();
    Printer()->Refresh();
    Printer()->SetPrinterIndex(0);
    GlobalPrinter();
  }
  void TearDown() override {
    SetPrinterSource(std::move(FOld));
    FreeGlobalPrinter();
    FrDialogs::TearDown();
  }

private:
  std::unique_ptr<TPrinterSource> FOld;
};

// A control's picture as PaintTo draws it; saved for a look under screens/.
std::unique_ptr<TBitmap> PictureOf(TWinControl* C, const String& Name) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(C->Width(), C->Height());
  C->PaintTo(b->Canvas(), 0, 0);
  b->SaveToFile("screens/" + Name + ".bmp");
  return b;
}

// The pixels of a printer entry: the glyph's grey body drawn, its olive ground left
// transparent, the name to the right of the glyph.
struct TEntryPixels {
  int Silver = 0, Olive = 0;
  int GlyphRight = -1;  // the right end of the glyph's body (the longest grey run)
  int TextLeft = -1;    // the leftmost column of the name
};

TEntryPixels EntryPixels(TBitmap* B, int Top, int Bottom) {
  TEntryPixels e;
  TCanvas* c = B->Canvas();
  auto at = [c](int x, int y) { return ColorToRGB(c->Pixels(x, y)); };
  int longest = 0, bodyRow = Top;
  for (int y = Top; y < Bottom; ++y)
    for (int x = 0, run = 0; x < B->Width(); ++x) {
      const TColor p = at(x, y);
      run = p == ColorToRGB(clSilver) ? run + 1 : 0;
      e.Silver += run > 0;
      e.Olive += p == ColorToRGB(clOlive);
      if (run > longest) {
        longest = run;
        e.GlyphRight = x;
        bodyRow = y;
      }
    }
  if (e.GlyphRight < 0) return e;
  // The ground shows just past the glyph's outline; the name is what differs from it.
  const TColor ground = at(e.GlyphRight + 2, bodyRow);
  for (int x = e.GlyphRight + 2; x < B->Width() && e.TextLeft < 0; ++x)
    for (int y = Top; y < Bottom; ++y)
      if (at(x, y) != ground) {
        e.TextLeft = x;
        break;
      }
  return e;
}

TEST_F(FrPrintDialog, ThePrinterListDrawsTheGlyphBeforeEachNameAndAChoiceSwitchesAtOnce) {
  TfrPrintForm form(nullptr);
  form.InitForm();
  form.Show();
  Application->ProcessMessages();
  ASSERT_EQ(form.CB1->Style(), csOwnerDrawFixed);
  ForceDirectories("screens");

  // The closed box shows the current printer's entry.
  auto face = PictureOf(form.CB1, "fr_print_printers_face");
  TEntryPixels e = EntryPixels(face.get(), 4, face->Height() - 4);
  EXPECT_GT(e.Silver, 40) << "the glyph's body";
  EXPECT_EQ(e.Olive, 0) << "the glyph's ground is transparent";
  ASSERT_GE(e.TextLeft, 0) << "a name is drawn";
  EXPECT_GE(e.TextLeft - e.GlyphRight, 5) << "the name starts clear of the glyph";

  // Chosen by the keyboard, the next printer is the printer at once.
  form.CB1->SetFocus();
  form.CB1->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(form.CB1->ItemIndex(), 1);
  EXPECT_EQ(GlobalPrinter()->PrinterNumber(), 1);

  // The open list draws every entry so, the chosen one on the highlight.
  form.CB1->SetDroppedDown(true);
  Application->ProcessMessages();
  TWinControl* list = FindControl(form.CB1->ListHandle());
  ASSERT_NE(list, nullptr);
  auto rows = PictureOf(list, "fr_print_printers_list");
  const int h = form.CB1->ItemHeight();
  const struct {
    int row;
    TColor ground;
  } entries[] = {{0, clWindow}, {1, clHighlight}};
  for (const auto& r : entries) {
    SCOPED_TRACE(r.row);
    TEntryPixels p = EntryPixels(rows.get(), r.row * h + 1, r.row * h + h + 1);
    EXPECT_GT(p.Silver, 40);
    EXPECT_EQ(p.Olive, 0);
    ASSERT_GE(p.TextLeft, 0);
    EXPECT_GE(p.TextLeft - p.GlyphRight, 5);
    EXPECT_EQ(ColorToRGB(rows->Canvas()->Pixels(1, r.row * h + 1)), ColorToRGB(r.ground)) << "the entry's ground";
  }
  form.CB1->SetDroppedDown(false);
  form.Hide();
}

TEST_F(FrPrintDialog, CancellingAfterChoosingAnotherPrinterKeepsThePreviousOne) {
  TfrPrintForm form(nullptr);
  form.InitForm();
  EXPECT_EQ(form.CB1->Items()->Count(), 2);
  EXPECT_EQ(form.CB2->Items()->Strings(1), "奇数页");
  TAtModal person([&] {
    form.CB1->SetItemIndex(1);
    form.CB1Click(form.CB1);
    EXPECT_EQ(GlobalPrinter()->PrinterNumber(), 1);
    // The lower copies button stops at one; the upper adds one.
    form.DownButton->Click();
    EXPECT_EQ(form.E1->Text(), "1");
    form.UpButton->Click();
    EXPECT_EQ(form.E1->Text(), "2");
    form.Label3Click(form.Label3);
    EXPECT_FALSE(form.CollateCB->Checked());
    form.Button2->Click();
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(GlobalPrinter()->PrinterNumber(), 0);

  TfrPrintForm ok(nullptr);
  ok.InitForm();
  TAtModal person2([&] {
    ok.CB1->SetItemIndex(1);
    ok.CB1Click(ok.CB1);
    ok.E2Enter(ok.E2);
    EXPECT_TRUE(ok.RB3->Checked());
    ok.Button1->Click();
  });
  EXPECT_EQ(ok.ShowModal(), mrOk);
  EXPECT_EQ(GlobalPrinter()->PrinterNumber(), 1);
}

}  // namespace

namespace {

TEST_F(FrDialogs, ThePdfPrintersPageInformationComesFromItsCaps) {
  auto log = std::make_shared<printtest::TJobLog>();
  std::unique_ptr<TPrinterSource> old =
      SetPrinterSource(std::make_unique<printtest::TTestSource>(std::vector<String>{}, log, true));
  FreeGlobalPrinter();
  Printer()->Refresh();
  TfrPrinter* prn = GlobalPrinter();
  ASSERT_EQ(prn->PrinterNames->Count(), 2);  // the PDF printer, then the virtual one
  EXPECT_EQ(prn->PrinterNames->Strings(0), "PDF");
  prn->SetPaper(9, 2100, 2970, -1, 0, true);
  TPrnPageInfo info;
  prn->GetPageInfo(info);
  const TPrinterCaps caps = Printer()->Caps();
  EXPECT_EQ(info.PhysWidth, caps.Paper.cx);
  EXPECT_EQ(info.PhysHeight, caps.Paper.cy);
  EXPECT_EQ(info.PageWidth, static_cast<int>(std::nearbyint(caps.Paper.cx * (18600.0 / 203) / caps.DpiX)));
  EXPECT_NEAR(prn->PaperWidth, 2100, 1);  // read back from whole device pixels
  SetPrinterSource(std::move(old));
  FreeGlobalPrinter();
}

}  // namespace
