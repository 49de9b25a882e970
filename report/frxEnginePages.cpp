// Output pages and page columns: the start of a report page's run with its title and page
// header, opening an output page with the reprinted headers, the page end with column footer,
// summary, page footer and overlay, new pages (moving an open keep block) and new columns.
#include "report/frxEngine.h"
#include "report/frxKind.h"

#include <cmath>

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "report/frxAggregate.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxUtils.h"

Extended TfrxEngine::FootersHeight() {
  Extended h = 0;
  if (TfrxBand* b = FindPageBand(TfrxColumnFooter::StaticClass())) h += b->Height();
  if (TfrxBand* b = FindPageBand(TfrxPageFooter::StaticClass())) h += b->Height();
  return h;
}

Extended TfrxEngine::FreeSpace() { return PageHeight() - FootersHeight() - CurY(); }

void TfrxEngine::BeginReportPage() {
  TfrxReportPage* page = RunningPage;
  TfrxBand* title = FindPageBand(TfrxReportTitle::StaticClass());
  TfrxBand* header = FindPageBand(TfrxPageHeader::StaticClass());
  HeaderList.Clear();
  if (page->TitleBeforeHeader()) {
    HeaderList.Add(title, false, 0);
    HeaderList.Add(header, false, 0);
  } else {
    HeaderList.Add(header, false, 0);
    HeaderList.Add(title, false, 0);
  }

  SetPageHeight((page->PaperHeight() - page->TopMargin() - page->BottomMargin()) * fr01cm);
  SetPageWidth((page->PaperWidth() - page->LeftMargin() - page->RightMargin()) * fr01cm);
  SetCurX(0);
  SetCurY(0);
  SetCurColumn(1);
  ColumnOriginX = 0;
  VCellHost = nullptr;
  IsFirstPage = true;
  IsLastPage = false;

  TfrxPreviewPages* store = Store();
  if (store->Count() > 0 && page->PrintOnPreviousPage()) {
    store->SetCurPage(store->Count() - 1);
    SetCurY(store->LastBandBottom());
    HeaderList.RemoveBand(title);
    ShowBandOfClass(TfrxReportTitle::StaticClass());
  } else {
    OpenOutputPage();
  }
  if (FirstPageOfPass) store->SetFirstPage(store->CurPage());
  SetColumnTop(CurY());
  ShowBandOfClass(TfrxColumnHeader::StaticClass());
  HeaderList.Add(FindPageBand(TfrxColumnHeader::StaticClass()), false, 0);
  HeaderList.RemoveBand(title);
  store->Outline()->LevelRoot();
  AddPageOutlineItem();
}

void TfrxEngine::OpenOutputPage() {
  TfrxPreviewPages* store = Store();
  store->AddPage(RunningPage);
  PageAdded();
  SetCurY(0);
  if (auto* overlay = KindOf<TfrxOverlay>(FindPageBand(TfrxOverlay::StaticClass()));
      overlay && !overlay->PrintOnTop())
    ShowBand(overlay);
  SetCurY(0);
  Extended x = CurX();
  SetColumnTop(0);
  for (int i = 0; i < HeaderList.Count(); ++i) {
    TfrxHeaderListItem& item = HeaderList.Items(i);
    SetCurX(item.Left);
    TfrxBand* band = item.Band;
    if (!band || band == NewPageBand) continue;
    if (auto* ph = KindOf<TfrxPageHeader>(band); ph && IsFirstPage && !ph->PrintOnFirstPage()) continue;
    if (Keeping && item.AddedWhileKeeping) continue;
    if (KindOf<TfrxHeader>(band) && SkipDataHeaders) continue;
    band->Overflow = true;
    int row = CurRow(), rowThrough = CurRowThrough();
    SetCurRow(band->RowNo);
    SetCurRowThrough(band->RowNoThrough);
    TScopeExit restore([&] {
      PrintingHeaders = false;
      band->Overflow = false;
      SetCurRow(row);
      SetCurRowThrough(rowThrough);
    });
    PrintingHeaders = true;
    // The title prints once.
    if (KindOf<TfrxReportTitle>(band)) item.Band = nullptr;
    ShowBand(band);
    // Columns begin below the page header as it was printed.
    if (KindOf<TfrxPageHeader>(band)) SetColumnTop(CurY());
  }
  SetCurX(x);
}

void TfrxEngine::FinishPage() {
  TfrxReportPage* page = RunningPage;
  if (page->Columns() > 1) {
    PrintColumnFooter();
    if (!IsLastPage) {
      SetCurX(ColumnOriginX);
      SetCurColumn(1);
    }
  }
  PrintFooterBand(FindPageBand(TfrxColumnFooter::StaticClass()));
  if (IsLastPage && !PrintingSummary) {
    TRestore<bool> summary(PrintingSummary, true);
    ShowBandOfClass(TfrxReportSummary::StaticClass());
  }
  if (TfrxBand* footer = FindPageBand(TfrxPageFooter::StaticClass())) {
    SetCurY(PageHeight() - footer->Height());
    PrintFooterBand(footer);
  }
  if (auto* overlay = KindOf<TfrxOverlay>(FindPageBand(TfrxOverlay::StaticClass()));
      overlay && overlay->PrintOnTop()) {
    SetCurY(0);
    PrintFooterBand(overlay);
  }
  IsFirstPage = false;
}

void TfrxEngine::PrintFooterBand(TfrxBand* Band) {
  if (!Band) return;
  // A page footer left off a page keeps its totals for the next page footer that prints.
  bool reset = true;
  TryFinally(
      [&] {
        PrepareBand(Band);
        if (!Band->Visible()) return;
        Band->SetLeft(0);
        Band->SetTop(CurY());
        if (auto* pf = KindOf<TfrxPageFooter>(Band)) {
          if ((IsFirstPage && !pf->PrintOnFirstPage()) || (IsLastPage && !pf->PrintOnLastPage())) {
            reset = false;
            return;
          }
        }
        if (!Store()->BandExists(Band)) Store()->AddObject(Band);
        SetCurY(CurY() + Band->Height());
      },
      [&] { FinishBand(Band); });
  if (reset) FAggregates->ResetBand(Band);
}

void TfrxEngine::PrintColumnFooter() {
  TfrxBand* band = FindPageBand(TfrxColumnFooter::StaticClass());
  if (!band) return;
  TryFinally(
      [&] {
        PrepareBand(band);
        if (!band->Visible()) return;
        band->SetLeft(CurX() - ColumnOriginX);
        band->SetTop(CurY());
        Store()->AddObject(band);
      },
      [&] { FinishBand(band); });
  FAggregates->ResetBand(band);
}

void TfrxEngine::PrintHeaderChainAt(TfrxBand* Band) {
  for (TfrxBand* b = Band; b;) {
    b->Overflow = true;
    TScopeExit overflow([b] { b->Overflow = false; });
    TryFinally(
        [&] {
          PrepareBand(b);
          if (!b->Visible()) return;
          b->SetLeft(CurX());
          b->SetTop(CurY());
          Store()->AddObject(b);
          SetCurY(CurY() + b->Height());
        },
        [&] { FinishBand(b); });
    if (!(b->Visible() || b->PrintChildIfInvisible())) break;
    b = b->Child();
  }
}

void TfrxEngine::StartNextColumn() {
  SetCurColumn(CurColumn() + 1);
  TStrings* positions = RunningPage->ColumnPositions();
  Extended x = 0;
  if (CurColumn() - 1 < positions->Count()) x = StrToFloatAnySep((*positions)[CurColumn() - 1]) * fr01cm;
  SetCurY(ColumnTop());
  for (int i = 0; i < HeaderList.Count(); ++i) {
    TfrxHeaderListItem item = HeaderList.Items(i);
    SetCurX(item.Left + x);
    if (item.Band && !KindOf<TfrxPageHeader>(item.Band)) PrintHeaderChainAt(item.Band);
  }
  SetCurX(ColumnOriginX + x);
}

void TfrxEngine::NewColumn() {
  if (CurColumn() >= RunningPage->Columns()) {
    NewPage();
  } else {
    PrintColumnFooter();
    StartNextColumn();
  }
}

void TfrxEngine::NewPage() {
  TfrxPreviewPages* store = Store();
  bool moving = Keeping;
  // A footer kept with the last row takes that row to the new page: its values leave the
  // totals of the page being finished and count on the new one.
  auto* keptRows = moving && KeepingFooter ? KindOf<TfrxDataBand>(KeepBand) : nullptr;
  if (keptRows) FAggregates->UndoLastValue(keptRows);
  if (moving) store->CutObjects(KeepPosition);
  FinishPage();
  OpenOutputPage();
  if (moving) {
    FAggregates->EndKeeping();
    store->PasteObjects(0, CurY());
    if (KeepOutlineItem) store->OutlineObj()->ShiftItems(KeepOutlineItem, static_cast<int>(std::lround(CurY())));
    SetCurY(store->LastBandBottom());
    if (keptRows) FAggregates->RedoLastValue(keptRows);
  }
  Keeping = false;
  KeepBand = nullptr;
  AddPageOutlineItem();
}
