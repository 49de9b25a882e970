// The operations of the prepared-pages store that turn its pages into output or change them
// afterwards: drawing a page on any canvas, printing, export through a filter, the mouse over
// a page (cursor, links, clicks that edit the page) and editing the list of pages. They live
// apart from the store's building and file code, which the engine drives.
#include "report/frxPreviewPages.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/GdiDC.h"
#include "gui/Graphics.h"
#include "gui/Shell.h"
#include "print/Metafile.h"
#include "report/frxBands.h"
#include "report/frxExportFilter.h"
#include "report/frxFormUtils.h"
#include "report/frxGraphicUtils.h"
#include "report/frxKind.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPrintDialog.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"
#include "report/frxShapes.h"
#include "report/frxUtils.h"
#include "report/frxXML.h"
#include "report/frxXMLSerializer.h"

#include <cmath>
#include <tuple>

KELM_PUBLISH(TfrxCustomExportFilter) {}

TfrxCustomExportFilter*& DotMatrixExportFilter() {
  static TfrxCustomExportFilter* filter = nullptr;
  return filter;
}

namespace {

// The report's progress of printing or exporting, from the scope's start to its end.
class TProgress {
public:
  TProgress(TfrxReport* Report, TfrxProgressType Kind, bool Active) : FReport(Report), FKind(Kind), FActive(Active) {
    if (FActive) FReport->ProgressBegin(FKind);
  }
  ~TProgress() {
    if (FActive) FReport->ProgressEnd(FKind);
  }
  void Step(int Progress) {
    if (FActive) FReport->ProgressStep(FKind, Progress);
  }

private:
  TfrxReport* FReport;
  TfrxProgressType FKind;
  bool FActive;
};

void ProcessMessages() {
  if (Application) Application->ProcessMessages();
}

bool Lists(TStrings* PageList, int PageNo) {
  return PageList->Count() == 0 || PageList->IndexOf(IntToStr(PageNo)) >= 0;
}

// Margins traded for the even pages of a mirrored page, for as long as the scope lasts.
class TMirroredMargins {
public:
  TMirroredMargins(TfrxReportPage* Page, int Index) : FPage(Page), FSwap(Page->MirrorMargins() && Index % 2 == 1) {
    if (FSwap) Swap();
  }
  ~TMirroredMargins() {
    if (FSwap) Swap();
  }

private:
  void Swap() {
    Extended l = FPage->LeftMargin();
    FPage->SetLeftMargin(FPage->RightMargin());
    FPage->SetRightMargin(l);
  }
  TfrxReportPage* FPage;
  bool FSwap;
};

// The canvas's clip region, narrowed for as long as the scope lasts.
class TClipHold {
public:
  TClipHold(TCanvas* Canvas, const TRect& Rect) : FDC(Canvas->Handle()), FSaved(CreateRectRgn(0, 0, 0, 0)) {
    FHad = GetClipRgn(FDC, FSaved) == 1;
    IntersectClipRect(FDC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  }
  ~TClipHold() {
    SelectClipRgn(FDC, FHad ? FSaved : nullptr);
    DeleteObject(FSaved);
  }

private:
  HDC FDC;
  HRGN FSaved;
  bool FHad = false;
};

}  // namespace

// ---------------------------------------------------------------- drawing

void TfrxPreviewPages::DrawPage(int Index, TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                Extended OffsetY) {
  if (Index < 0 || Index >= Count()) return;
  TfrxReportPage* page = GetPage(Index);
  if (!page) return;
  const bool printer = IsPrinterCanvas(Canvas);
  const bool metafile = dynamic_cast<TMetafileCanvas*>(Canvas) != nullptr;
  TMirroredMargins margins(page, Index);
  std::unique_ptr<TClipHold> clip;
  if (!printer)
    clip = std::make_unique<TClipHold>(
        Canvas, TRect{int(std::lround(OffsetX)), int(std::lround(OffsetY)),
                      int(std::lround(page->PaperWidth() * fr01cm * ScaleX + OffsetX)) - 1,
                      int(std::lround(page->PaperHeight() * fr01cm * ScaleY + OffsetY)) - 1});
  page->PaintBackPicture(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  OffsetX += page->LeftMargin() * fr01cm * ScaleX;
  OffsetY += page->TopMargin() * fr01cm * ScaleY;
  const int total = Count();
  for (TfrxComponent* c : page->AllObjects()) {
    auto* view = KindOf<TfrxView>(c);
    if (!view || (printer && !view->Printable())) continue;
    // Views just off the visible part still draw: frames and shadows reach beyond their bounds.
    TRect r{int(std::lround(view->AbsLeft() * ScaleX + OffsetX)) - 20,
            int(std::lround(view->AbsTop() * ScaleY + OffsetY)) - 20,
            int(std::lround((view->AbsLeft() + view->Width()) * ScaleX + OffsetX)) + 20,
            int(std::lround((view->AbsTop() + view->Height()) * ScaleY + OffsetY)) + 20};
    if (!metafile && !RectVisible(Canvas->Handle(), &r)) continue;
    TScopeExit printing([view] { view->SetIsPrinting(false); });
    view->SetIsPrinting(printer);
    if (auto* memo = KindOf<TfrxCustomMemoView>(view)) memo->SetTotalPagesValue(total);
    view->DrawOnCanvas(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  }
}

// ---------------------------------------------------------------- printing

// One print job: the choices it runs with and what it has printed so far.
class TfrxPreviewPages::TPrintRun {
public:
  TPrintRun(TfrxPreviewPages* Store, const TfrxPrintSettings& Settings)
      : FStore(Store), FReport(Store->Report()), FSettings(Settings), FPageList(std::make_unique<TStringList>()) {
    FSettings.Copies = std::max(1, FSettings.Copies);
    ParsePageRanges(FSettings.PageNumbers, FPageList.get(), FStore->Count());
  }

  // True when the job ran to its end.
  bool Run() {
    TfrxCustomPrinter* printer = ReportPrinters()->CurrentPrinter();
    if (!printer) throw EPrinter("Printer selected is not valid");
    FPrinter = printer;
    FReport->SetTerminated(false);
    TProgress progress(FReport, ptPrinting, true);
    String title = FReport->ReportOptions()->Name();
    printer->DocumentTitle = title.empty() ? FReport->FileName() : title;
    try {
      if (FSettings.Collate) {
        for (int copy = 1; copy <= FSettings.Copies && !FCancelled; ++copy) {
          FPrintedThisCopy = 0;
          PrintAll(copy, progress);
          if (FCancelled) break;
          // An odd copy on a duplex printer would leave the next copy on a back side.
          if (FPrintedThisCopy % 2 == 1 && (FLastDuplex == dmVertical || FLastDuplex == dmHorizontal)) {
            printer->StartSheet();
            printer->FinishSheet();
          }
          if (FReport->Terminated()) break;
        }
      } else {
        PrintAll(1, progress);
      }
      if (FPrinted > 0 && printer->JobRunning) printer->FinishJob();
    } catch (const Exception& e) {
      if (printer->JobRunning) printer->CancelJob();
      Fail(e.Message());
      return false;
    }
    if (auto* p = dynamic_cast<TfrxPrinter*>(printer); p && !p->JobError().empty()) {
      Fail(p->JobError());
      return false;
    }
    return !FCancelled && !FReport->Terminated();
  }

private:
  void Fail(const String& Message) {
    FReport->Errors()->Add(Message);
    ReportErrorByMode(FReport, ReportResources()->TextOf("clErrors") + "\r\n" + FReport->Errors()->Text());
  }

  void PrintAll(int CopyNo, TProgress& Progress) {
    int n = FStore->Count();
    if (FSettings.Reverse) {
      for (int i = n - 1; i >= 0; --i)
        if (!PrintPage(i, CopyNo, Progress)) return;
    } else {
      for (int i = 0; i < n; ++i)
        if (!PrintPage(i, CopyNo, Progress)) return;
    }
  }

  using TSheetSettings = std::tuple<int, long, long, int, TPrinterOrientation, TfrxDuplexMode>;

  bool PrintPage(int Index, int CopyNo, TProgress& Progress) {
    const int n = Index + 1;
    if (Index >= FStore->Count() || !Lists(FPageList.get(), n)) return true;
    if ((FSettings.PrintPages == ppOdd && n % 2 == 0) || (FSettings.PrintPages == ppEven && n % 2 == 1)) return true;
    if (FReport->Terminated()) {
      FPrinter->CancelJob();
      FCancelled = true;
      return false;
    }
    TfrxReportPage* page = FStore->GetPage(Index);
    if (FReport->OnPrintPage.Assigned()) FReport->OnPrintPage(page, FSettings.Collate ? CopyNo : 1);
    int bin = Index == 0 ? page->Bin() : page->BinOtherPages();
    TSheetSettings settings{page->PaperSize(),    std::lround(page->PaperWidth()), std::lround(page->PaperHeight()),
                            bin,                  page->Orientation(),             page->Duplex()};
    if (!FStarted || settings != FLast)
      FPrinter->ApplyPrintSettings(page->PaperSize(), page->Orientation(), page->PaperWidth(), page->PaperHeight(), bin,
                                   int(page->Duplex()) + 1, FSettings.Collate ? 1 : FSettings.Copies);
    if (!FStarted) FPrinter->StartJob();
    FStarted = true;
    FPrinter->StartSheet();
    const TPoint dpi = FPrinter->Resolution;
    FStore->DrawPage(Index, FPrinter->Canvas(), dpi.X / 96.0L, dpi.Y / 96.0L,
                     -FPrinter->UnprintableLeft * dpi.X / 25.4L, -FPrinter->UnprintableTop * dpi.Y / 25.4L);
    Progress.Step(n);
    FPrinter->FinishSheet();
    ProcessMessages();
    ++FPrinted;
    ++FPrintedThisCopy;
    FLast = settings;
    FLastDuplex = page->Duplex();
    FStore->ClearCache();
    return true;
  }

  TfrxPreviewPages* FStore;
  TfrxReport* FReport;
  TfrxPrintSettings FSettings;
  std::unique_ptr<TStringList> FPageList;
  TfrxCustomPrinter* FPrinter = nullptr;
  bool FStarted = false, FCancelled = false;
  int FPrinted = 0, FPrintedThisCopy = 0;
  TSheetSettings FLast{};
  TfrxDuplexMode FLastDuplex = dmNone;
};

bool TfrxPreviewPages::Print() {
  TfrxReport* report = Report();
  TfrxPrintOptions* options = report->PrintOptions();
  if (report->DotMatrixReport() && DotMatrixExportFilter()) {
    report->ApplyPrinterOption();
    DotMatrixExportFilter()->ShowDialog = options->ShowDialog();
    return Export(DotMatrixExportFilter());
  }
  TfrxPrintSettings settings{options->Copies(), options->Collate(), options->PageNumbers(), options->PrintPages(),
                             options->Reverse()};
  report->ApplyPrinterOption();
  if (options->ShowDialog() && !ExecuteReportPrintDialog(settings, FCurPreviewPage, Count())) return false;
  if (report->OnPrintReport.Assigned()) report->OnPrintReport(report);
  if (report->Preview()) report->Preview()->LockView();
  TScopeExit after([report] {
    if (report->OnAfterPrintReport.Assigned()) report->OnAfterPrintReport(report);
  });
  TPrintRun run(this, settings);
  return run.Run();
}

// ---------------------------------------------------------------- export

bool TfrxPreviewPages::Export(TfrxCustomExportFilter* Filter) {
  if (!Filter) return false;
  TfrxReport* report = Report();
  Filter->Report = report;
  if (Filter->ShowDialog && Filter->ShowModal() != mrOk) return false;
  if (Filter->CurPage) Filter->PageNumbers = report->Preview() ? IntToStr(FCurPreviewPage) : String("1");
  bool result = true;
  report->SetTerminated(false);
  TStringList pageList;
  ParsePageRanges(Filter->PageNumbers, &pageList, Count());
  const bool dotMatrix = Filter == DotMatrixExportFilter();
  if (dotMatrix && report->OnPrintReport.Assigned()) report->OnPrintReport(report);
  try {
    ExportPages(Filter, &pageList);
  } catch (const Exception& e) {
    result = false;
    report->Errors()->Add(e.Message());
    ReportErrorByMode(report, ReportResources()->TextOf("clErrors") + "\r\n" + report->Errors()->Text());
  }
  if (dotMatrix && report->OnAfterPrintReport.Assigned()) report->OnAfterPrintReport(report);
  return result;
}

void TfrxPreviewPages::ExportPages(TfrxCustomExportFilter* Filter, TStrings* PageList) {
  if (!Filter->Start()) return;
  TfrxReport* report = Report();
  TfrxCustomPreview* preview = report->Preview();
  if (preview) {
    preview->Refresh();
    preview->LockView();
  }
  TScopeExit finish([&] {
    if (preview) {
      preview->HideMessagePanel();
      preview->Refresh();
    }
    Filter->Finish();
  });
  TProgress progress(report, ptExporting, Filter->ShowProgress);
  for (int i = 0; i < Count() && !report->Terminated(); ++i) {
    if (i < Count() && Lists(PageList, i + 1)) {
      progress.Step(i + 1);
      ExportPage(Filter, PageList, i);
    }
    ProcessMessages();
  }
}

void TfrxPreviewPages::ExportPage(TfrxCustomExportFilter* Filter, TStrings*, int Index) {
  TfrxReportPage* page = GetPage(Index);
  if (!page) return;
  TfrxReport* report = Report();
  Filter->StartPage(page, Index);
  {
    TScopeExit finishPage([&] { Filter->FinishPage(page, Index); });
    bool mirror = page->MirrorMargins() && Index % 2 == 1;
    page->SetLeft((mirror ? page->RightMargin() : page->LeftMargin()) * fr01cm);
    page->SetTop(page->TopMargin() * fr01cm);

    // The page's background goes first, as a picture over the printable area.
    {
      TfrxPictureView background(nullptr);
      background.SetName("_pagebackground");
      background.SetColor(page->Color());
      background.SetFrame(page->Frame());
      background.Picture()->Assign(page->BackPicture());
      background.SetStretched(true);
      background.SetKeepAspectRatio(false);
      background.SetBounds(page->Left(), page->Top(),
                           page->Width() - (page->LeftMargin() + page->RightMargin()) * fr01cm,
                           page->Height() - (page->TopMargin() + page->BottomMargin()) * fr01cm);
      Filter->ExportObject(&background);
    }

    const int total = Count();
    const bool last = Index == total - 1;
    for (int b = 0; b < page->ObjectCount(); ++b) {
      TfrxComponent* band = page->Objects(b);
      if (Filter->SuppressPageHeadersFooters) {
        if (Index != 0 && dynamic_cast<TfrxPageHeader*>(band)) continue;
        if (!last && dynamic_cast<TfrxPageFooter*>(band)) continue;
      }
      auto exportOne = [&](TfrxComponent* c) {
        if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(c)) {
          if (memo->Highlight()->Active()) memo->Font()->Assign(memo->Highlight()->Font());
          memo->SetTotalPagesValue(total);
          memo->ReplaceTotalPages();
          if (memo->AutoWidth()) {
            TBitmap scratch;
            scratch.SetWidth(1);
            scratch.SetHeight(1);
            memo->DrawOnCanvas(scratch.Canvas(), 1, 1, 0, 0);
          }
        }
        Filter->ExportObject(c);
      };
      exportOne(band);
      for (TfrxComponent* child : band->AllObjects()) exportOne(child);
    }
  }
  if (report->Preview()) {
    page->SetLeft(0);
    page->SetTop(0);
  } else {
    ClearCache();
  }
}

// ---------------------------------------------------------------- the mouse over a page

void TfrxPreviewPages::ObjectOver(int Index, int X, int Y, int Button, int Shift, Extended Scale, Extended OffsetX,
                                  Extended OffsetY, bool Click, SmallInt& Cursor) {
  if (Index < 0 || Index >= Count() || (Engine() && Engine()->Running())) return;
  TfrxReportPage* page = GetPage(Index);
  if (!page) return;
  TfrxReport* report = Report();
  bool mirror = page->MirrorMargins() && Index % 2 == 1;
  OffsetX += Scale * (mirror ? page->RightMargin() : page->LeftMargin()) * fr01cm;
  OffsetY += page->TopMargin() * fr01cm * Scale;
  const std::vector<TfrxComponent*>& all = page->AllObjects();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    auto* view = dynamic_cast<TfrxView*>(*it);
    if (!view) continue;
    Extended left = view->AbsLeft() * Scale + OffsetX, top = view->AbsTop() * Scale + OffsetY;
    if (X < left || X > left + view->Width() * Scale || Y < top || Y > top + view->Height() * Scale) continue;
    if (view->Cursor() != crDefault) Cursor = view->Cursor();
    const String url = view->URL();
    if (!url.empty() && view->Cursor() == crDefault) Cursor = crHandPoint;
    if (!Click) {
      if (report->OnMouseOverObject.Assigned()) report->OnMouseOverObject(view);
      return;
    }
    if (!url.empty()) {
      TfrxCustomPreview* preview = report->Preview();
      if (url[0] == '@') {
        if (preview) preview->SetPageNo(StrToIntDef(url.substr(1, 255), 0));
      } else if (url[0] == '#') {
        TfrxXMLItem* anchor = FindAnchor(url.substr(1));
        if (anchor && preview)
          preview->ScrollToPageOffset(StrToIntDef(anchor->AttrValue("page"), 0) + 1,
                                      StrToIntDef(anchor->AttrValue("top"), 0));
      } else if (IsSafeLinkUrl(url)) {
        // Links come from report data: only web and mail addresses reach the desktop.
        ShellExecute(0, "open", url, "", "", SW_SHOWNORMAL);
      }
    }
    bool modified = false;
    report->FirePreviewClick(view, Button, Shift, modified);
    if (modified) {
      ModifyPage(Index, page);
      if (report->Preview()) report->Preview()->Invalidate();
    }
    return;
  }
}

// ---------------------------------------------------------------- editing the pages

void TfrxPreviewPages::AddEmptyPage(int Index) {
  if (Count() == 0 || Index < 0 || Index >= Count()) return;
  auto* item = new TfrxXMLItem();
  item->SetName(PageItem(Index)->Name());
  PagesItem()->InsertChild(Index, item);
  ClearCache();
}

void TfrxPreviewPages::DeletePage(int Index) {
  if (Count() < 2 || Index < 0 || Index >= Count()) return;
  delete PageItem(Index);
  ClearCache();
}

void TfrxPreviewPages::StorePageWhole(TfrxXMLItem* Item, TfrxReportPage* Page) {
  TfrxXMLSerializer serializer(nullptr);
  serializer.WriteTree(Page, true, Item);
  Item->SetName(Page->ClassName());
  Item->SetUnloadable(false);
}

void TfrxPreviewPages::ModifyPage(int Index, TfrxReportPage* Page) {
  if (Index < 0 || Index >= Count()) return;
  TfrxXMLItem* item = PageItem(Index);
  EnsureLoaded(item);
  item->FreeChildren();
  item->SetText(String());
  StorePageWhole(item, Page);
  ClearCache();
}

void TfrxPreviewPages::AddFrom(TfrxReport* AReport) {
  auto* other = dynamic_cast<TfrxPreviewPages*>(AReport->PreviewPages());
  if (!other || other == this) return;
  for (int i = 0; i < other->Count(); ++i) {
    TfrxReportPage* page = other->GetPage(i);
    if (!page) continue;
    StorePageWhole(PagesItem()->AddChild(), page);
  }
  ClearCache();
}
