// The data-band loop: every master band of a page (or detail band of a band) walks its data
// set; each record with detail data prints the band with its header before the first row,
// its details after it and its footer after the last row.
#include "report/frxEngine.h"
#include "report/frxKind.h"

#include "gui/Application.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"

void TfrxEngine::RunBands(TfrxComponent* PageOrBand) {
  TfrxReport* report = Report();
  if (Application) Application->ProcessMessages();
  if (report->Terminated()) return;

  std::vector<TfrxComponent*> list;
  if (auto* page = KindOf<TfrxReportPage>(PageOrBand))
    list = page->MasterBands();
  else if (auto* band = KindOf<TfrxBand>(PageOrBand))
    list.assign(band->SubBands().begin(), band->SubBands().end());

  for (TfrxComponent* c : list) {
    auto* r = KindOf<TfrxDataBand>(c);
    TfrxDataSet* ds = r ? r->DataSet() : nullptr;
    if (!ds) continue;
    ds->First();
    r->RowNo = 1;
    r->RowNoThrough = 1;
    r->SetBandColumn(1);
    bool first = true;
    while (!ds->Eof()) {
      if (HasDetailData(r, r->PrintIfDetailEmpty())) {
        if (first) {
          if (r->KeepTogether()) BeginKeepBlock(r);
          if (r->KeepHeader() && r->LinkedHeader) BeginKeepBlock(r);
          AddReprintHeader(r->LinkedHeader);
          ShowBand(r->LinkedHeader);
        } else if (r->KeepTogether()) {
          BeginKeepBlock(r);
        }
        SetCurRow(r->RowNo);
        SetCurRowThrough(r->RowNoThrough);
        ShowBand(r);
        NotifyRowObjects(r);
        if (first && r->KeepHeader() && r->LinkedHeader) EndKeepBlock(r);
        first = false;
        ++r->RowNo;
        ++r->RowNoThrough;
        AddBandOutlineItem(r);
        RunBands(r);
        OutlineUpForBand(r);
      }
      KeepSuspended = false;
      if (r->FooterAfterEach()) ShowBand(r->LinkedFooter);
      if (r->KeepTogether()) EndKeepBlock(r);
      ds->Next();
      if ((r->RowCount() != 0 && r->RowCount() < r->RowNo) || report->Terminated()) break;
    }
    if (!first) {
      if (!r->FooterAfterEach()) {
        KeepingFooter = true;
        ShowBand(r->LinkedFooter);
        KeepingFooter = false;
      }
      DropReprintHeader(r->LinkedHeader);
    }
    if (report->Terminated()) return;
    KeepSuspended = false;
  }
}
