// The grid's print preview: the previewer's pages and device values, the preview box's layout,
// keys, wheel and clicks, the preview window's buttons and their auto-repeat, closing while
// pages are made, and printing the recorded pages (to PDF through the print dialog).
#include "../platform/print/PrintTestUtil.h"
#include "core/SysUtils.h"
#include "grid/PrViewEh.h"
#include "grid/PrViewFormEh.h"
#include "print/PrintDialogs.h"
#include "gui/Dialogs.h"
#include "gui/Messages.h"
#include "gui/WinGDI.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace printtest;

namespace {

// The box with its key and wheel handling reachable.
class TTestBox : public TPreviewBox {
public:
  using TPreviewBox::TPreviewBox;
  using TPreviewBox::DoMouseWheel;
  using TPreviewBox::KeyDown;
};

// Records pages with one line of text each on a previewer, as the grid printer does.
void RecordPages(TVirtualPrinter* P, const std::vector<String>& Texts, bool Finish = true) {
  P->StartDocument();
  for (std::size_t i = 0; i < Texts.size(); ++i) {
    if (i > 0) P->StartNewPage();
    P->GetCanvas()->TextOut(200, 200, Texts[i]);
  }
  if (Finish) P->FinishDocument();
}

String PageText(TPrinterPreview* P, int N) {
  TMetafile* page = P->Page(N);
  return page ? page->Text() : String("<none>");
}

class PreviewTest : public PrinterFixture {
protected:
  // A box of the size on a shown window of its own.
  void MakeBox(int W = 400, int H = 300) {
    Host = new TForm(nullptr);
    Host->SetBounds(0, 0, W + 40, H + 40);
    Box = new TTestBox(Host);
    Box->SetParent(Host);
    Box->SetBounds(0, 0, W, H);
    Host->Show();
  }
  TPreviewFormEh* MakeForm() {
    Form = CreateForm<TPreviewFormEh>(nullptr);
    return Form;
  }
  void TearDown() override {
    delete Form;
    delete Host;
    PrinterFixture::TearDown();
  }

  TForm* Host = nullptr;
  TTestBox* Box = nullptr;
  TPreviewFormEh* Form = nullptr;
};

}  // namespace

// ---------------------------------------------------------------- the previewer

TEST_F(PreviewTest, WithoutPrintersTheFixedPageStandsInAndPrintingIsOff) {
  Use({}, false);
  MakeForm();
  TPrinterPreview* p = Form->PreviewEh1->Printer();
  EXPECT_FALSE(p->HasPrinters());
  EXPECT_EQ(p->GetPageWidth(), 4676);
  EXPECT_EQ(p->GetPageHeight(), 6744);
  EXPECT_EQ(p->GetFullPageWidth(), 4676 + 2 * 130);
  EXPECT_EQ(p->GetFullPageHeight(), 6744 + 2 * 150);
  EXPECT_EQ(p->GetPixelsPerInchX(), 600);
  EXPECT_EQ(p->GetPixelsPerInchY(), 600);
  RecordPages(p, {"第一页"});
  EXPECT_EQ(p->Page(1)->Width(), 4676);
  EXPECT_EQ(p->Page(1)->Height(), 6744);
  EXPECT_EQ(p->Page(1)->Dpi(), 600);
  EXPECT_FALSE(Form->tbtPrint->Enabled());
  EXPECT_FALSE(Form->tbtPrinterSetupDialog->Enabled());
  // Whole page keeps the sheet's proportion.
  TDrawPanel* page = Form->PreviewEh1->PagePanel();
  EXPECT_NEAR(double(page->Width()) / page->Height(), 198.0 / 285.0, 0.01);
}

// The recorded page takes the printer's printable size, resolution and offsets.
TEST_F(PreviewTest, WithAPrinterThePagesMeasureLikeIt) {
  Use({"Front desk"}, false);
  MakeBox();
  TPrinterPreview* p = Box->Printer();
  ASSERT_TRUE(p->HasPrinters());
  TPrinterCaps caps = RecorderCaps();
  EXPECT_EQ(p->GetPageWidth(), caps.Printable.Right - caps.Printable.Left);
  EXPECT_EQ(p->GetPixelsPerInchX(), 300);
  EXPECT_EQ(p->GetFullPageWidth(), p->GetPageWidth() + 2 * caps.Printable.Left);
  EXPECT_EQ(p->GetFullPageHeight(), p->GetPageHeight() + 2 * caps.Printable.Top);
  RecordPages(p, {"A"});
  EXPECT_EQ(p->Page(1)->Dpi(), 300);
  EXPECT_EQ(p->Page(1)->Width(), p->GetPageWidth());
  // The base printer speaks for the process's printer.
  EXPECT_EQ(VirtualPrinter()->GetPageWidth(), P()->PageWidth());
  EXPECT_EQ(VirtualPrinter()->GetPrinters()->Strings(0), "Front desk");
}

TEST_F(PreviewTest, TheDocumentStepsKeepCountIndexAndEvents) {
  Use({}, false);
  MakeBox();
  std::vector<String> log;
  Box->OnOpenPreviewer = TNotifyEvent::Lambda([&](TObject*) {
    log.push_back("open " + IntToStr(Box->PageCount()));
  });
  Box->OnPrinterPreviewChanged = TNotifyEvent::Lambda([&](TObject*) {
    log.push_back("changed " + IntToStr(Box->PageIndex()) + "/" + IntToStr(Box->PageCount()));
  });
  TPrinterPreview* p = Box->Printer();
  p->StartDocument();
  EXPECT_TRUE(p->GetPrinting());
  EXPECT_EQ(p->GetPageNumber(), 1);
  p->GetCanvas()->TextOut(10, 10, "one");
  EXPECT_EQ(PageText(p, 1), "<none>") << "the page being drawn is not shown";
  p->StartNewPage();
  EXPECT_EQ(p->GetPageNumber(), 2);
  EXPECT_EQ(Box->PageCount(), 1);
  EXPECT_EQ(PageText(p, 1), "one");
  p->GetCanvas()->TextOut(10, 10, "two");
  // A second document while this one is drawn is refused; the pages stay.
  EXPECT_THROW(p->StartDocument(), EPrinter);
  EXPECT_EQ(PageText(p, 1), "one");
  p->FinishDocument();
  EXPECT_FALSE(p->GetPrinting());
  EXPECT_EQ(p->GetPageNumber(), -1);
  EXPECT_EQ(Box->PageCount(), 2);
  EXPECT_EQ(PageText(p, 2), "two");
  EXPECT_EQ(log, (std::vector<String>{"changed 1/1", "open 1", "changed 1/1", "open 2", "changed 1/2"}));
  // The next document starts afresh.
  p->AbortDocument();
  EXPECT_TRUE(p->GetAborted());
  RecordPages(p, {"new"});
  EXPECT_FALSE(p->GetAborted());
  EXPECT_EQ(Box->PageCount(), 1);
  EXPECT_EQ(PageText(p, 1), "new");
}

// The pending handlers and print source reach the box at the end of the document only.
TEST_F(PreviewTest, TheSetupHandlerAndPrintSourceArriveWhenTheDocumentEnds) {
  Use({"Front desk"}, false);
  MakeForm();
  TPrinterPreview* p = Form->PreviewEh1->Printer();
  auto* source = new TComponent(nullptr);
  int setups = 0;
  p->SetSetupHandler(TNotifyEvent::Lambda([&](TObject*) { ++setups; }));
  p->SetPrintSource(source);
  RecordPages(p, {"A", "B"}, false);
  EXPECT_EQ(Form->PreviewEh1->PrintSource(), nullptr);
  EXPECT_FALSE(Form->tbtPrinterSetupDialog->Enabled());
  p->FinishDocument();
  EXPECT_EQ(Form->PreviewEh1->PrintSource(), source);
  EXPECT_EQ(p->PendingPrintSource(), nullptr);
  EXPECT_TRUE(Form->tbtPrinterSetupDialog->Enabled());
  Form->tbtPrinterSetupDialog->Click();
  EXPECT_EQ(setups, 1);
  // A freed print source leaves no dangling pointer and turns the button off.
  delete source;
  EXPECT_EQ(Form->PreviewEh1->PrintSource(), nullptr);
  EXPECT_FALSE(Form->tbtPrinterSetupDialog->Enabled());
}

// ---------------------------------------------------------------- the box's layout

TEST_F(PreviewTest, EachViewModeSizesAndPlacesThePage) {
  Use({}, false);
  MakeBox(400, 300);
  RecordPages(Box->Printer(), {"A"});
  struct Row {
    int Mode, Zoom;
  };
  const Row fixed[] = {{pvm500, 500}, {pvm200, 200}, {pvm100, 100}, {pvm25, 25}, {pvm10, 10}};
  for (const Row& r : fixed) {
    SCOPED_TRACE(r.Zoom);
    Box->SetViewMode(r.Mode);
    int w = r.Zoom * 4676 * 96 / 600 / 100, h = w * 285 / 198;
    TDrawPanel* page = Box->PagePanel();
    EXPECT_EQ(page->Width(), w);
    EXPECT_EQ(page->Height(), h);
    EXPECT_EQ(Box->ZoomPercent(), r.Zoom);
    EXPECT_EQ(Box->HorzScrollBar()->Range(), w + 16);
    EXPECT_EQ(Box->VertScrollBar()->Range(), h + 16);
    int cw = Box->ClientWidth(), ch = Box->ClientHeight();
    EXPECT_EQ(page->Left(), w < cw - 16 ? (cw - w) / 2 : 8);
    EXPECT_EQ(page->Top(), h < ch - 16 ? (ch - h) / 2 : 8);
    EXPECT_EQ(Box->ShadowPanel()->Left(), page->Left() + 4);
    EXPECT_EQ(Box->ShadowPanel()->Top(), page->Top() + 4);
  }
  Box->SetViewMode(pvmPageWidth);
  int w = 400 - GetSystemMetrics(SM_CXVSCROLL) - 20;
  EXPECT_EQ(Box->PagePanel()->Width(), w);
  EXPECT_EQ(Box->PagePanel()->Height(), w * 285 / 198);
  EXPECT_EQ(Box->PagePanel()->Left(), 8);
  EXPECT_EQ(Box->HorzScrollBar()->Range(), 0);
  EXPECT_EQ(Box->ZoomPercent(), w * 100 / (4676 * 96 / 600));

  Box->SetViewMode(pvmWholePage);
  int ch = Box->ClientHeight(), cw = Box->ClientWidth();
  EXPECT_EQ(Box->PagePanel()->Height(), ch - 16);
  EXPECT_EQ(Box->PagePanel()->Width(), (ch - 16) * 198 / 285);
  EXPECT_EQ(Box->PagePanel()->Left(), (cw - Box->PagePanel()->Width()) / 2);
  EXPECT_EQ(Box->ZoomPercent(), 100);
  // A wide page is bounded by the width instead.
  Box->SetBounds(0, 0, 150, 300);
  EXPECT_EQ(Box->PagePanel()->Width(), Box->ClientWidth() - 16);

  // A fixed zoom keeps the view on a resize while the page still fills the box...
  Box->SetBounds(0, 0, 400, 300);
  Box->SetViewMode(pvm200);
  Box->VertScrollBar()->SetPosition(100);
  Box->SetBounds(0, 0, 390, 290);
  EXPECT_EQ(Box->VertScrollBar()->Position(), 100);
  // ...and lays the page out again, centred, once the box is larger than it.
  Box->SetViewMode(pvm10);
  Box->SetBounds(0, 0, 450, 350);
  EXPECT_EQ(Box->PagePanel()->Left(), (Box->ClientWidth() - Box->PagePanel()->Width()) / 2);
  EXPECT_EQ(Box->PagePanel()->Top(), (Box->ClientHeight() - Box->PagePanel()->Height()) / 2);
}

TEST_F(PreviewTest, PagingIsClampedToTheRecordedPages) {
  Use({}, false);
  MakeForm();
  RecordPages(Form->PreviewEh1->Printer(), {"A", "B", "C"});
  TPreviewBox* box = Form->PreviewEh1;
  EXPECT_EQ(box->PageIndex(), 1);
  EXPECT_FALSE(Form->tbtPrevPage->Enabled());
  EXPECT_TRUE(Form->tbtNextPage->Enabled());
  box->SetPageIndex(0);
  EXPECT_EQ(box->PageIndex(), 1);
  box->SetPageIndex(99);
  EXPECT_EQ(box->PageIndex(), 3);
  EXPECT_FALSE(Form->tbtNextPage->Enabled());
  EXPECT_EQ(Form->stbMain->SimpleText(), "第 3 页，共 3 页");
  Form->tbtPrevPage->Click();
  EXPECT_EQ(box->PageIndex(), 2);
}

// Keys move the view by one increment, a client less one increment, or to either end.
TEST_F(PreviewTest, KeysScrollTheView) {
  Use({}, false);
  MakeBox(400, 300);
  RecordPages(Box->Printer(), {"A"});
  Box->SetViewMode(pvm100);
  TControlScrollBar* h = Box->HorzScrollBar();
  TControlScrollBar* v = Box->VertScrollBar();
  int cw = Box->ClientWidth(), ch = Box->ClientHeight();
  int hmax = h->Range() - cw, vmax = v->Range() - ch;
  struct Row {
    Word Key;
    bool Ctrl;
    int H, V;  // positions after the key
  };
  const Row rows[] = {
      {VK_DOWN, false, 0, 8},         {VK_NEXT, false, 0, 8 + ch - 8},  {VK_UP, false, 0, ch - 8},
      {VK_PRIOR, false, 0, 0},        {VK_DOWN, true, 0, ch - 8},       {VK_UP, true, 0, 0},
      {VK_NEXT, true, 0, vmax},       {VK_PRIOR, true, 0, 0},           {VK_RIGHT, false, 8, 0},
      {VK_RIGHT, true, 8 + cw - 8, 0}, {VK_LEFT, false, cw - 8, 0},     {VK_END, false, hmax, 0},
      {VK_HOME, false, 0, 0},         {VK_END, true, hmax, vmax},       {VK_HOME, true, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.Key) + (r.Ctrl ? " ctrl" : ""));
    Word key = r.Key;
    Box->KeyDown(key, r.Ctrl ? TShiftState{ssCtrl} : TShiftState{});
    EXPECT_EQ(h->Position(), r.H);
    EXPECT_EQ(v->Position(), r.V);
  }
  EXPECT_EQ(Box->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, LRESULT(DLGC_WANTARROWS));
}

// A page that fits turns the pages with the wheel; a larger one scrolls by the zoom.
TEST_F(PreviewTest, TheWheelTurnsPagesOrScrolls) {
  Use({}, false);
  MakeBox(400, 300);
  RecordPages(Box->Printer(), {"A", "B", "C"});
  Box->SetViewMode(pvmWholePage);
  EXPECT_TRUE(Box->DoMouseWheel({}, -120, {0, 0}));
  EXPECT_EQ(Box->PageIndex(), 2);
  Box->DoMouseWheel({}, 120, {0, 0});
  Box->DoMouseWheel({}, 120, {0, 0});
  EXPECT_EQ(Box->PageIndex(), 1);
  Box->SetViewMode(pvm200);
  Box->DoMouseWheel({}, -120, {0, 0});
  EXPECT_EQ(Box->PageIndex(), 1);
  int lines = Mouse ? Mouse->WheelScrollLines() : 3;
  EXPECT_EQ(Box->VertScrollBar()->Position(), 8 * lines * 200 / 100);
}

// A click in whole page zooms to 150 % around the point; a second click goes back.
TEST_F(PreviewTest, ClickingThePageZoomsAroundThePointAndBack) {
  Use({}, false);
  MakeBox(400, 300);
  RecordPages(Box->Printer(), {"A"});
  TDrawPanel* page = Box->PagePanel();
  int oldH = page->Height(), oldTop = page->Top();
  int y = oldH / 2;
  page->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam({20, y}));
  page->Perform(WM_LBUTTONUP, 0, PointToLParam({20, y}));
  EXPECT_EQ(Box->ViewMode(), pvm150);
  EXPECT_EQ(Box->ZoomPercent(), 150);
  int want = std::min(y * page->Height() / oldH + 16 - oldTop - y, Box->VertScrollBar()->Range() - Box->ClientHeight());
  EXPECT_EQ(Box->VertScrollBar()->Position(), want);
  page->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam({5, 5}));
  page->Perform(WM_LBUTTONUP, 0, PointToLParam({5, 5}));
  EXPECT_EQ(Box->ViewMode(), pvmWholePage);
}

// Dragging scrolls with the mouse under the hand cursor and is no click.
TEST_F(PreviewTest, DraggingScrollsUnderTheHandCursor) {
  Use({}, false);
  MakeBox(400, 300);
  RecordPages(Box->Printer(), {"A"});
  Box->SetViewMode(pvm200);
  TDrawPanel* page = Box->PagePanel();
  EXPECT_EQ(page->Cursor(), MagnifierCursor());
  page->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam({100, 100}));
  page->Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam({70, 60}));
  EXPECT_EQ(page->Cursor(), HandCursor());
  EXPECT_EQ(Box->HorzScrollBar()->Position(), 30);
  EXPECT_EQ(Box->VertScrollBar()->Position(), 40);
  // The panel moved with the view: the same screen point is now further right and down.
  page->Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam({70 + 30 - 10, 60 + 40}));
  EXPECT_EQ(Box->HorzScrollBar()->Position(), 40);
  EXPECT_EQ(Box->VertScrollBar()->Position(), 40);
  page->Perform(WM_LBUTTONUP, 0, PointToLParam({90, 100}));
  EXPECT_EQ(page->Cursor(), MagnifierCursor());
  EXPECT_EQ(Box->ViewMode(), pvm200) << "a drag is no click";
  // A cancelled capture ends the drag too.
  page->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam({100, 100}));
  page->Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam({90, 90}));
  page->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_EQ(page->Cursor(), MagnifierCursor());
  EXPECT_FALSE(page->Dragged());
}

TEST_F(PreviewTest, CursorsComeFromTheResourcesAtFreeIds) {
  TCursor magnifier = MagnifierCursor(), hand = HandCursor();
  EXPECT_GE(magnifier, 1);
  EXPECT_NE(magnifier, hand);
  EXPECT_NE(Screen->Cursors(magnifier), nullptr);
  EXPECT_NE(Screen->Cursors(hand), nullptr);
  try {
    RegisterResourceCursor("NO_SUCH_CURSOR_EH");
    ADD_FAILURE() << "a missing cursor registered";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot load cursor resource");
  }
  // A full table.
  std::vector<int> filled;
  TBitmap bmp;
  bmp.SetSize(1, 1);
  for (int id = 1; id <= 32767; ++id)
    if (!Screen->Cursors(id)) {
      Screen->SetCursors(id, CreateCursorFromImage(&bmp, 0, 0));
      filled.push_back(id);
    }
  try {
    RegisterResourceCursor("HANDEH");
    ADD_FAILURE() << "a cursor registered in a full table";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Too many user-defined cursors");
  }
  for (int id : filled) Screen->SetCursors(id, nullptr);
}

// ---------------------------------------------------------------- the window

TEST_F(PreviewTest, TheWindowIsBuiltFromItsLayout) {
  Use({"Front desk"}, false);
  MakeForm();
  EXPECT_EQ(Form->Caption(), "预览 - ");
  EXPECT_TRUE(Form->KeyPreview());
  EXPECT_EQ(Form->Font()->Name(), "宋体");
  EXPECT_EQ(Form->Font()->Size(), 9);
  const char* captions[] = {"打印", "打印设置", "缩放", "上一页", "下一页", "停止", "关闭"};
  ASSERT_EQ(Form->tbrMain->ButtonCount(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Form->tbrMain->Buttons(i)->Caption(), captions[i]);
    EXPECT_EQ(Form->tbrMain->Buttons(i)->Hint(), captions[i]);
  }
  EXPECT_EQ(Form->tbtScale->Style(), tbsDropDown);
  EXPECT_EQ(Form->tbtScale->DropdownMenu(), Form->pmnScale);
  const char* items[] = {"500%", "200%", "150%", "100%", "75%", "50%", "25%", "10%", "页宽度", "整个页面"};
  ASSERT_EQ(Form->pmnScale->Items()->Count(), 10);
  for (int i = 0; i < 10; ++i) {
    TMenuItem* item = Form->pmnScale->Items()->Items(i);
    EXPECT_EQ(item->Caption(), items[i]);
    EXPECT_EQ(item->Tag(), i);
    EXPECT_EQ(item->Checked(), i == 9);
  }
  EXPECT_EQ(Form->Splitter->Height(), 3);
  EXPECT_TRUE(Form->stbMain->SimplePanel());
  EXPECT_FALSE(Form->Timer1->Enabled());
  // The chosen scale item sets the view mode of its tag.
  Form->pmnScale->Items()->Items(3)->Click();
  EXPECT_EQ(Form->PreviewEh1->ViewMode(), pvm100);
  EXPECT_TRUE(Form->mni100->Checked());
  EXPECT_FALSE(Form->mniFull->Checked());
}

// The buttons follow the previewer: stop only while pages are made, print and close only
// after; the first page shows the window before the run has ended.
TEST_F(PreviewTest, TheWindowShowsTheFirstPageWhileTheRunGoesOn) {
  Use({"Front desk"}, false);
  MakeForm();
  TPrinterPreview* p = Form->PreviewEh1->Printer();
  p->SetTitle("项目合同打印");
  EXPECT_FALSE(Form->Visible());
  RecordPages(p, {"A", "B", "C"}, false);
  EXPECT_TRUE(Form->Visible());
  EXPECT_EQ(Form->Caption(), "预览 - 项目合同打印");
  EXPECT_TRUE(Form->tbStop->Enabled());
  EXPECT_FALSE(Form->tbClose->Enabled());
  EXPECT_FALSE(Form->tbtPrint->Enabled());
  // Paging works while page 3 is still being drawn.
  Form->tbtNextPage->Click();
  EXPECT_EQ(Form->PreviewEh1->PageIndex(), 2);
  EXPECT_EQ(Form->stbMain->SimpleText(), "第 2 页，共 2 页");
  Form->tbtNextPage->Click();
  EXPECT_EQ(Form->PreviewEh1->PageIndex(), 2);
  p->FinishDocument();
  EXPECT_FALSE(Form->tbStop->Enabled());
  EXPECT_TRUE(Form->tbClose->Enabled());
  EXPECT_TRUE(Form->tbtPrint->Enabled());
  EXPECT_EQ(Form->stbMain->SimpleText(), "第 2 页，共 3 页");
}

// Esc stops a run and keeps the pages finished so far; after the run it closes the window.
TEST_F(PreviewTest, EscStopsTheRunThenClosesTheWindow) {
  Use({}, false);
  MakeForm();
  TPrinterPreview* p = Form->PreviewEh1->Printer();
  RecordPages(p, {"A", "B"}, false);
  Word key = VK_ESCAPE;
  Form->FormKeyDown(Form, key, {});
  EXPECT_TRUE(p->GetAborted());
  EXPECT_TRUE(Form->Visible());
  p->FinishDocument();  // the grid printer stops at its next check
  EXPECT_EQ(Form->PreviewEh1->PageCount(), 2);
  EXPECT_EQ(PageText(p, 1), "A");
  Form->FormKeyDown(Form, key, {});
  EXPECT_FALSE(Form->Visible());
  EXPECT_EQ(PageText(p, 2), "B") << "closing hides the window and keeps the pages";
}

// Closing during a run aborts it and closes once it has ended.
TEST_F(PreviewTest, CloseWhilePrintingWaitsForTheRunToEnd) {
  Use({}, false);
  MakeForm();
  TPrinterPreview* p = Form->PreviewEh1->Printer();
  RecordPages(p, {"A", "B"}, false);
  Form->Close();
  EXPECT_TRUE(Form->Visible());
  EXPECT_TRUE(p->GetAborted());
  EXPECT_TRUE(Form->CloseRequested());
  p->FinishDocument();
  EXPECT_FALSE(Form->Visible());
  EXPECT_FALSE(Form->CloseRequested());
}

// Holding "下一页": nothing at once, a page at 400 ms and then every 100 ms; the release
// click adds none, and the next ordinary click counts again.
TEST_F(PreviewTest, HoldingAPageButtonRepeatsOnTheTimer) {
  Use({}, false);
  MakeForm();
  std::vector<String> pages(20, "x");
  RecordPages(Form->PreviewEh1->Printer(), pages);
  TPreviewBox* box = Form->PreviewEh1;
  TToolButton* next = Form->tbtNextPage;
  Form->PageButtonMouseDown(next, mbLeft, {}, 1, 1);
  SetCaptureControl(next);
  EXPECT_TRUE(Form->Timer1->Enabled());
  EXPECT_EQ(Form->Timer1->Interval(), 400u);
  EXPECT_EQ(box->PageIndex(), 1);
  // One second held: ticks at 400, 500, ... 1000 ms.
  for (int tick = 0; tick < 7; ++tick) Form->Timer1Timer(Form->Timer1);
  EXPECT_EQ(Form->Timer1->Interval(), 100u);
  EXPECT_EQ(box->PageIndex(), 8);
  SetCaptureControl(nullptr);
  Form->PageButtonMouseUp(next, mbLeft, {}, 1, 1);
  EXPECT_FALSE(Form->Timer1->Enabled());
  next->Click();
  EXPECT_EQ(box->PageIndex(), 8) << "the release click";
  next->Click();
  EXPECT_EQ(box->PageIndex(), 9);
  // A tick after the capture went does nothing.
  Form->PageButtonMouseDown(next, mbLeft, {}, 1, 1);
  Form->Timer1Timer(Form->Timer1);
  EXPECT_EQ(box->PageIndex(), 9);
  Form->PageButtonMouseUp(next, mbLeft, {}, 1, 1);
}

// The button held down by the real mouse: its press starts the timer with the capture held.
TEST_F(PreviewTest, ThePressedButtonHoldsTheCaptureForTheRepeat) {
  Use({}, false);
  MakeForm();
  RecordPages(Form->PreviewEh1->Printer(), {"A", "B", "C"});
  Form->Show();
  TToolButton* next = Form->tbtNextPage;
  TPoint at = {next->Left() + 5, next->Top() + 5};
  Form->tbrMain->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(at));
  EXPECT_TRUE(Form->Timer1->Enabled());
  EXPECT_EQ(GetCaptureControl(), next);
  Form->Timer1Timer(Form->Timer1);
  EXPECT_EQ(Form->PreviewEh1->PageIndex(), 2);
  Form->tbrMain->Perform(WM_LBUTTONUP, 0, PointToLParam(at));
  EXPECT_FALSE(Form->Timer1->Enabled());
  EXPECT_EQ(Form->PreviewEh1->PageIndex(), 2);
}

TEST_F(PreviewTest, TheSplitterSwitchesTheToolBarLooks) {
  Use({}, false);
  MakeForm();
  struct Row {
    TPreviewBarLook From;
    int Size;
    TPreviewBarLook To;
  };
  const Row rows[] = {
      {blCaptions, 40, blCaptions},           {blCaptions, 41, blImages},
      {blImages, 54, blImages},               {blImages, 55, blImagesAndCaptions},
      {blImages, 24, blCaptions},             {blImages, 25, blImages},
      {blImagesAndCaptions, 41, blImages},    {blImagesAndCaptions, 42, blImagesAndCaptions},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Size);
    Form->SetBarLook(r.From);
    int size = r.Size;
    bool accept = true;
    Form->SplitterCanResize(Form->Splitter, size, accept);
    EXPECT_EQ(Form->BarLook(), r.To);
    EXPECT_EQ(Form->tbrMain->ShowCaptions(), r.To != blImages);
    EXPECT_EQ(Form->tbrMain->Images() != nullptr, r.To != blCaptions);
  }
  Form->SetBarLook(blImages);
  EXPECT_EQ(Form->tbrMain->ButtonWidth(), 39);
  EXPECT_EQ(Form->tbrMain->ButtonHeight(), 38);
  EXPECT_EQ(Form->imlMain->Count(), 7);
}

// ---------------------------------------------------------------- printing from the preview

// The pages of the dialog's range, all of them unless page numbers were picked, on the
// printer chosen; the process's printer is the previewer's for the dialog and back after.
TEST_F(PreviewTest, PrintPagesPrintsTheChosenRangeOnTheChosenPrinter) {
  Use({"Front desk", "Back office"}, false);
  MakeForm();
  TPrinterPreview* p = Form->PreviewEh1->Printer();
  p->SetTitle("项目合同打印");
  RecordPages(p, {"第1页 共3页", "第2页 共3页", "第3页 共3页"});
  struct Row {
    int From, To;
    size_t Pages;
    String First;
  };
  const Row rows[] = {{0, 0, 3, "第1页 共3页"}, {2, 3, 2, "第2页 共3页"}, {2, 2, 1, "第2页 共3页"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.From);
    Log->Pages.clear();
    Log->Events.clear();
    TDialogScript script;
    TPrinter* during = nullptr;
    script.Answer([&](TDialogRequest& q) {
      during = Printer();
      auto* dialog = dynamic_cast<TPrintDialog*>(q.Dialog);
      EXPECT_TRUE(dialog && dialog->MinPage() == 1 && dialog->MaxPage() == 3);
      q.Printer = "Back office";
      q.FromPage = r.From;
      q.ToPage = r.To;
      q.Result = 1;
      return q.Kind == dkPrint;
    });
    Form->tbtPrint->Click();
    EXPECT_EQ(during, p->OwnPrinter());
    EXPECT_EQ(Printer(), P()) << "the process's printer is put back";
    ASSERT_EQ(Log->Pages.size(), r.Pages);
    EXPECT_EQ(Log->Pages[0]->Text(), r.First);
    EXPECT_EQ(Log->Events.front(), "begin 项目合同打印");
    EXPECT_EQ(Log->Events.back(), "end");
  }
}

TEST_F(PreviewTest, PrintPagesWritesThePdfWithoutAPrinter) {
  Use({}, true);
  MakeForm();
  TPrinterPreview* p = Form->PreviewEh1->Printer();
  RecordPages(p, {"项目合同打印 第1页 共3页", "项目合同打印 第2页 共3页", "项目合同打印 第3页 共3页"});
  auto dir = TempFolder("preview");
  auto all = dir / "all.pdf", some = dir / "some.pdf";
  {
    TDialogScript script;
    script.Print("PDF", 0, 0, all.string());
    Form->PreviewEh1->PrintPages();
    EXPECT_EQ(script.Unanswered(), 0);
  }
  auto pages = PdfPages(all);
  ASSERT_EQ(pages.size(), 3u);
  for (const auto& page : pages) EXPECT_NE(page.find("项目合同打印"), std::string::npos) << page;
  EXPECT_NE(pages[1].find("第2页 共3页"), std::string::npos) << pages[1];
  {
    TDialogScript script;
    script.Print("PDF", 3, 3, some.string());
    Form->PreviewEh1->PrintPages();
  }
  pages = PdfPages(some);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("第3页 共3页"), std::string::npos) << pages[0];
  // An unwritable file: an error, no file, the process's printer back.
  auto bad = dir / "missing" / "x.pdf";
  {
    TDialogScript script;
    script.Print("PDF", 0, 0, bad.string());
    EXPECT_THROW(Form->PreviewEh1->PrintPages(), Exception);
  }
  EXPECT_FALSE(std::filesystem::exists(bad));
  EXPECT_EQ(Printer(), P());
  std::filesystem::remove_all(dir);
}

// A failing page aborts the job and puts the process's printer back; no pages print nothing.
TEST_F(PreviewTest, PrintPagesCleansUpAfterAFailureAndSkipsAnEmptyPreview) {
  Use({"Front desk"}, false);
  MakeForm();
  {
    TDialogScript script;
    script.Print("Front desk");
    Form->PreviewEh1->PrintPages();
    EXPECT_EQ(script.Unanswered(), 0);
  }
  EXPECT_TRUE(Log->Events.empty());
  RecordPages(Form->PreviewEh1->Printer(), {"A", "B"});
  Log->FailOnPage = 2;
  TDialogScript script;
  script.Print("Front desk");
  EXPECT_THROW(Form->PreviewEh1->PrintPages(), EPrinter);
  EXPECT_EQ(Log->Events.back(), "abort");
  EXPECT_EQ(Printer(), P());
  EXPECT_FALSE(Form->PreviewEh1->Printer()->OwnPrinter()->Printing());
}

// Without a setup handler the printer setup dialog runs on the previewer's printer and a
// confirmed change calls the setup-changed handler.
TEST_F(PreviewTest, PrinterSetupWithoutAHandlerUsesTheSetupDialog) {
  Use({"Front desk", "Back office"}, false);
  MakeBox();
  int changed = 0;
  TPrinter* during = nullptr;
  Box->SetSetupChangedHandler(TNotifyEvent::Lambda([&](TObject*) {
    ++changed;
    during = Printer();
  }));
  {
    TDialogScript script;
    script.Cancel();
    Box->RunPrinterSetup();
  }
  EXPECT_EQ(changed, 0);
  {
    TDialogScript script;
    script.PrinterSetup("Back office");
    Box->RunPrinterSetup();
  }
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(during, Box->Printer()->OwnPrinter());
  EXPECT_EQ(Box->Printer()->GetPrinters()->Strings(Box->Printer()->GetPrinterIndex()), "Back office");
  EXPECT_EQ(P()->PrinterIndex(), 0) << "the process's printer is untouched";
  EXPECT_EQ(Printer(), P());
}

TEST_F(PreviewTest, TheSharedPreviewIsMadeOnceAndReused) {
  Use({}, false);
  TPrinterPreview* p = GetSharedPrinterPreview();
  ASSERT_NE(SharedPreviewForm(), nullptr);
  EXPECT_EQ(SharedPreviewForm()->Owner(), Application);
  EXPECT_EQ(GetSharedPrinterPreview(), p);
  RecordPages(p, {"A"});
  SharedPreviewForm()->Close();
  EXPECT_FALSE(SharedPreviewForm()->Visible());
  EXPECT_EQ(GetSharedPrinterPreview(), p);
  EXPECT_EQ(PageText(p, 1), "A");
  delete SharedPreviewForm();
  EXPECT_EQ(SharedPreviewForm(), nullptr);
}

// The page panel shows the printable area at its place on the sheet: the unprintable margins
// stay white around a page filled to its printable edges.
TEST_F(PreviewTest, ThePagePanelDrawsThePrintableAreaInsideTheSheet) {
  Use({}, false);
  MakeBox(400, 300);
  TPrinterPreview* p = Box->Printer();
  p->StartDocument();
  p->GetCanvas()->Brush()->SetColor(clBlack);
  p->GetCanvas()->FillRect(Rect(0, 0, p->GetPageWidth(), p->GetPageHeight()));
  p->FinishDocument();
  Box->SetViewMode(pvm100);
  TDrawPanel* page = Box->PagePanel();
  TBitmap shot;
  shot.SetSize(page->Width(), page->Height());
  page->PaintTo(shot.Canvas(), 0, 0);
  int mx = 130 * page->Width() / 4936, my = 150 * page->Height() / 7044;  // about 19 and 22
  ASSERT_GT(mx, 12);
  struct Probe {
    int X, Y;
    TColor Want;
  };
  const Probe probes[] = {
      {mx / 2, page->Height() / 2, clWhite},                 {mx + 4, page->Height() / 2, clBlack},
      {page->Width() - mx / 2, page->Height() / 2, clWhite}, {page->Width() - mx - 8, page->Height() / 2, clBlack},
      {page->Width() / 2, my / 2, clWhite},                  {page->Width() / 2, my + 4, clBlack},
      {page->Width() / 2, page->Height() - my / 2, clWhite}, {page->Width() / 2, page->Height() - my - 8, clBlack},
  };
  for (const Probe& pr : probes) {
    SCOPED_TRACE(std::to_string(pr.X) + "," + std::to_string(pr.Y));
    EXPECT_EQ(ColorToRGB(shot.Canvas()->Pixels(pr.X, pr.Y)), ColorToRGB(pr.Want));
  }
}

// Keys reach the box and, first, the window (key preview): Esc there closes it.
TEST_F(PreviewTest, KeyMessagesReachTheBoxAndTheWindowFirst) {
  Use({}, false);
  MakeForm();
  RecordPages(Form->PreviewEh1->Printer(), {"A"});
  Form->PreviewEh1->SetViewMode(pvm200);
  Form->PreviewEh1->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Form->PreviewEh1->VertScrollBar()->Position(), 8);
  ASSERT_TRUE(Form->Visible());
  Form->PreviewEh1->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(Form->Visible());
}

// While pages are being made, printing and the setup wait: no dialog opens, no handler runs.
TEST_F(PreviewTest, PrintAndSetupWaitForTheRunToEnd) {
  Use({"Front desk"}, false);
  MakeBox();
  int setups = 0;
  // Handed to the box when the run ends; until then the box would open the setup dialog.
  Box->Printer()->SetSetupHandler(TNotifyEvent::Lambda([&](TObject*) { ++setups; }));
  RecordPages(Box->Printer(), {"A", "B"}, false);
  TDialogScript script;
  Box->PrintPages();
  Box->RunPrinterSetup();
  EXPECT_TRUE(script.Asked().empty());
  EXPECT_EQ(setups, 0);
  EXPECT_TRUE(Log->Events.empty());
  Box->Printer()->FinishDocument();
  Box->RunPrinterSetup();
  EXPECT_EQ(setups, 1);
}
