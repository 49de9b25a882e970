// Vertical bands: bands that run across the page. A horizontal band whose views lie within a
// vertical band's extent gave those views to it as cells; when the horizontal band prints, the
// vertical bands walk their data sets and put a copy of their cells into it for every vertical
// row, side by side. A row wider than the page goes on at the same height of the next pages.
#include "report/frxEngine.h"
#include "report/frxKind.h"

#include "core/Scope.h"
#include "report/frxAggregate.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxView.h"

void TfrxEngine::BuildVBandCells(TfrxBand* Host) {
  VCellHost = Host;
  Host->OwnObjectCount = Host->ObjectCount();
  Host->SetAllowSplit(false);
  VHeaderList.clear();
  VPageBreaks.assign(1, 0);
  SetCurVColumn(0);
  auto* page = KindOf<TfrxReportPage>(Host->Parent());
  if (!page) page = RunningPage;
  std::vector<TfrxBand*> masters;
  for (TfrxComponent* c : page->VMasterBands())
    if (auto* b = KindOf<TfrxBand>(c)) masters.push_back(b);
  RunVBands(masters);
  VPageBreaks.push_back(Host->ObjectCount());
}

void TfrxEngine::RunVBands(const std::vector<TfrxBand*>& List) {
  TfrxReport* report = Report();
  for (TfrxBand* b : List) {
    auto* q = KindOf<TfrxDataBand>(b);
    TfrxDataSet* ds = q ? q->DataSet() : nullptr;
    if (!ds) continue;
    const std::vector<TfrxBand*> chain = q->LinkedGroup ? q->LinkedGroup->SubBands() : std::vector<TfrxBand*>();
    ds->First();
    q->RowNo = 1;
    q->RowNoThrough = 1;
    q->SetBandColumn(1);
    ResetRepeatedValues(q);
    bool first = true;
    while (!ds->Eof()) {
      if (first) {
        ShowBand(q->LinkedHeader);
        AddReprintVHeader(q->LinkedHeader);
      }
      if (!chain.empty()) {
        if (first)
          PrintGroupHeaders(chain, 0, true);
        else
          DetectGroupChange(q, chain, 0, 0);
      }
      SetCurRow(q->RowNo);
      SetCurRowThrough(q->RowNoThrough);
      ShowBand(q);
      for (TfrxBand* g : chain) ++g->GroupDataRows;
      NotifyRowObjects(q);
      first = false;
      ++q->RowNo;
      ++q->RowNoThrough;
      RunVBands(q->SubBands());
      if (q->FooterAfterEach()) ShowBand(q->LinkedFooter);
      ds->Next();
      if ((q->RowCount() != 0 && q->RowCount() < q->RowNo) || report->Terminated()) break;
    }
    // Group footers close groups that were opened: a data set without records has none.
    if (!first) {
      if (!chain.empty()) PrintGroupFooters(chain, 0, q);
      DropReprintVHeader(q->LinkedHeader);
      if (!q->FooterAfterEach()) ShowBand(q->LinkedFooter);
    }
    if (report->Terminated()) return;
  }
}

void TfrxEngine::PrintVBand(TfrxBand* Band) {
  TfrxBand* host = VCellHost;
  // Vertical bands print only as cells of the horizontal band being built.
  if (!host) return;
  TfrxReport* report = Report();
  bool isData = KindOf<TfrxDataBand>(Band) != nullptr;
  bool isFooter = KindOf<TfrxFooter>(Band) || KindOf<TfrxGroupFooter>(Band);
  if (isData) SetCurVColumn(CurVColumn() + 1);
  AggregateBand = isFooter ? Band : host;
  report->SetCurrentObjectName(Band->Name());
  Band->SaveStateForPrint();
  report->FireBeforePrint(Band);
  if (Band->Visible()) {
    // A band that would pass the right edge starts the next segment; one that is wider than
    // the page on its own starts no new segment, or it would start them for ever.
    if (CurX() > 0 && CurX() + Band->Width() > PageWidth()) {
      SetCurX(0);
      VPageBreaks.push_back(host->ObjectCount());
      std::vector<TfrxBand*> headers = VHeaderList;
      for (TfrxBand* h : headers) ShowBand(h);
    }
    std::vector<TfrxComponent*> cells;
    for (int i = 0; i < Band->ObjectCount(); ++i)
      if (auto* v = KindOf<TfrxView>(Band->Objects(i)); v && v->OriginalBand == host) cells.push_back(v);
    for (TfrxComponent* c : cells) {
      auto* cell = static_cast<TfrxView*>(c);
      cell->SaveStateForPrint();
      report->SetCurrentObjectName(cell->Name());
      report->FireBeforePrint(cell);
      cell->FetchData();
      report->RunScriptEvent(cell, cell->OnAfterData());
      auto* copy = static_cast<TfrxComponent*>(cell->ClassType()->Create(nullptr));
      copy->SetParent(host);
      copy->Assign(cell);
      copy->SetLeft(cell->Left() + CurX());
      Store()->LinkSource(copy, cell);
      cell->RestoreStateAfterPrint();
    }
    SetCurX(CurX() + Band->Width());
  }
  report->SetCurrentObjectName(Band->Name());
  report->FireAfterPrint(Band);
  Band->RestoreStateAfterPrint();
  if (isData) {
    if (auto* rows = KindOf<TfrxDataBand>(host)) FAggregates->AddValues(rows, CurVColumn());
  }
  if (isFooter) FAggregates->ResetBand(Band);
}

void TfrxEngine::OutputVCellSegments(TfrxBand* Host) {
  TfrxPreviewPages* store = Store();
  std::vector<TfrxComponent*> all = Host->UnlistObjects();
  const std::vector<int> breaks = VPageBreaks;
  int page = store->CurPage();
  Extended y = CurY(), x = CurX();
  TScopeExit restore([&] {
    Host->ListObjects(all);
    store->SetCurPage(page);
    SetCurY(y);
    SetCurX(x);
    store->SetAddPageMode(apAdd);
    SkipDataHeaders = false;
  });
  store->SetAddPageMode(apWriteOver);
  std::size_t segments = breaks.size() < 2 ? 0 : breaks.size() - 1;
  for (std::size_t k = 0; k < segments; ++k) {
    std::size_t from = static_cast<std::size_t>(breaks[k]), to = static_cast<std::size_t>(breaks[k + 1]);
    if (to > all.size()) to = all.size();
    if (from > to) from = to;
    Host->ListObjects(std::vector<TfrxComponent*>(all.begin() + static_cast<std::ptrdiff_t>(from),
                                                  all.begin() + static_cast<std::ptrdiff_t>(to)));
    store->AddObject(Host);
    if (k + 1 < segments) {
      // The next segment goes to the same height of the following page, which gets its page
      // header but not the data headers.
      TRestore<bool> skip(SkipDataHeaders, true);
      Host->UnlistObjects();
      NewPage();
      SetCurY(y);
    } else if (segments > 1) {
      Host->UnlistObjects();
      FinishPage();
    }
  }
}
