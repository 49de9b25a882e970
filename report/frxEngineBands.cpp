// The data-band loop: every master band of a page (or detail band of a band) walks its data
// set; each record with detail data prints the band with its header before the first row, its
// group headers and footers where a group condition changes, its details after it and its
// footer after the last row. Rows of a band with columns fill the columns side by side, and
// keep blocks hold a record, a group or a header or footer with its row together.
#include "report/frxEngine.h"
#include "report/frxKind.h"

#include "core/Exceptions.h"
#include "gui/Application.h"
#include "report/frxAggregate.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"

namespace {

// The group header chain of a data band, outermost first; empty without groups.
std::vector<TfrxBand*> GroupChain(TfrxBand* Band) {
  return Band->LinkedGroup ? Band->LinkedGroup->SubBands() : std::vector<TfrxBand*>();
}

bool SameGroupValue(const Variant& A, const Variant& B) {
  try {
    return VarCompareValue(A, B) == vrEqual;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

void TfrxEngine::ResetRepeatedValues(TfrxBand* Band) {
  for (TfrxComponent* o : Band->AllObjects())
    if (auto* memo = KindOf<TfrxCustomMemoView>(o)) memo->ResetRepeatedValue();
}

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
    const std::vector<TfrxBand*> chain = GroupChain(r);
    ds->First();
    r->RowNo = 1;
    r->RowNoThrough = 1;
    r->SetBandColumn(1);
    ResetRepeatedValues(r);
    bool first = true;
    Extended rowStartY = CurY();
    int rowStartPos = 0, footerKeepPos = 0;
    while (!ds->Eof()) {
      if (HasDetailData(r, r->PrintIfDetailEmpty())) {
        if (first) {
          if (r->KeepTogether()) BeginKeepBlock(r);
          if (r->KeepHeader() && r->LinkedHeader) BeginKeepBlock(r);
          AddReprintHeader(r->LinkedHeader);
          ShowBand(r->LinkedHeader);
        } else if (chain.empty() && r->KeepTogether()) {
          BeginKeepBlock(r);
        }
        if (!chain.empty()) {
          if (first)
            PrintGroupHeaders(chain, 0, true);
          else
            DetectGroupChange(r, chain, rowStartY, rowStartPos);
        }
        if (r->KeepFooter()) footerKeepPos = Store()->CurPosition();
        if (r->Columns() > 1 && r->BandColumn() == 1) rowStartPos = Store()->CurPosition();
        rowStartY = CurY();
        SetCurRow(r->RowNo);
        SetCurRowThrough(r->RowNoThrough);
        ShowBand(r);
        for (TfrxBand* g : chain) ++g->GroupDataRows;
        NotifyRowObjects(r);
        if (first && r->KeepHeader() && r->LinkedHeader) EndKeepBlock(r);
        first = false;
        ++r->RowNo;
        ++r->RowNoThrough;
        AdvanceBandColumn(r, rowStartPos, rowStartY);
        AddBandOutlineItem(r);
        RunBands(r);
        OutlineUpForBand(r);
      }
      KeepSuspended = false;
      // Also after a record that printed nothing for want of detail data.
      if (r->FooterAfterEach()) ShowBand(r->LinkedFooter);
      if (chain.empty() && r->KeepTogether()) EndKeepBlock(r);
      ds->Next();
      if ((r->RowCount() != 0 && r->RowCount() < r->RowNo) || report->Terminated()) break;
    }
    // A row of columns that is not full still ends the band's output.
    r->SetBandColumn(r->Columns());
    AdvanceBandColumn(r, rowStartPos, rowStartY);

    if (!first) {
      if (!chain.empty()) PrintGroupFooters(chain, 0, r);
      if (!r->FooterAfterEach()) {
        // The block starts before the last row, which moves with the footer when it must.
        if (r->KeepFooter()) BeginKeepBlock(r, footerKeepPos);
        KeepingFooter = true;
        ShowBand(r->LinkedFooter);
        if (r->KeepFooter()) EndKeepBlock(r);
        KeepingFooter = false;
      }
      DropReprintHeader(r->LinkedHeader);
      if (!chain.empty() && r->KeepTogether()) EndKeepBlock(r);
    }
    if (report->Terminated()) return;
    KeepSuspended = false;
  }
}

// ---- groups

void TfrxEngine::PrintGroupHeaders(const std::vector<TfrxBand*>& Chain, int From, bool Restart) {
  TfrxReport* report = Report();
  for (std::size_t i = static_cast<std::size_t>(From); i < Chain.size(); ++i) {
    auto* g = KindOf<TfrxGroupHeader>(Chain[i]);
    if (!g) continue;
    if (Restart) {
      g->RowNo = 1;
      g->RowNoThrough = 1;
      ResetRepeatedValues(g);
    } else {
      ++g->RowNo;
      // The inner header counts its groups afresh within this one; its turn comes next.
      if (i + 1 < Chain.size()) Chain[i + 1]->RowNo = 0;
      ++g->RowNoThrough;
    }
    g->GroupDataRows = 0;
    SetCurRow(g->RowNo);
    SetCurRowThrough(g->RowNoThrough);
    report->SetCurrentObjectName(g->Name());
    g->LastValue() = report->Calc(g->Condition());
    if (g->KeepTogether()) BeginKeepBlock(g);
    ShowBand(g);
    AddBandOutlineItem(g);
    if (g->Vertical())
      AddReprintVHeader(g);
    else
      AddReprintHeader(g);
  }
}

void TfrxEngine::DetectGroupChange(TfrxDataBand* DataBand, const std::vector<TfrxBand*>& Chain,
                                   Extended RowStartY, int RowStartPos) {
  TfrxReport* report = Report();
  for (std::size_t i = 0; i < Chain.size(); ++i) {
    auto* g = KindOf<TfrxGroupHeader>(Chain[i]);
    if (!g) continue;
    report->SetCurrentObjectName(g->Name());
    Variant v = report->Calc(g->Condition());
    if (SameGroupValue(v, g->LastValue())) continue;

    DataBand->SetBandColumn(DataBand->Columns());
    AdvanceBandColumn(DataBand, RowStartPos, RowStartY);
    // The footers print while the data set stands on the last record of the old group. A
    // data set that cannot go back leaves them on the new group's first record: the run goes
    // on, and says so.
    TfrxDataSet* ds = DataBand->DataSet();
    bool back = true;
    try {
      ds->Prior();
    } catch (const Exception& e) {
      back = false;
      report->Errors()->Add(e.Message());
    }
    PrintGroupFooters(Chain, static_cast<int>(i), DataBand);
    if (back) ds->Next();
    PrintGroupHeaders(Chain, static_cast<int>(i), false);
    DataBand->RowNo = 1;
    ResetRepeatedValues(DataBand);
    return;
  }
}

// The data band's rows are not asked for: each group header counts the rows of its own group.
void TfrxEngine::PrintGroupFooters(const std::vector<TfrxBand*>& Chain, int DownTo, TfrxDataBand* /*DataBand*/) {
  for (int i = static_cast<int>(Chain.size()) - 1; i >= DownTo; --i) {
    TfrxBand* g = Chain[static_cast<std::size_t>(i)];
    if (auto* f = KindOf<TfrxGroupFooter>(g->LinkedFooter)) {
      // A group of one row: counted per group, since the data band's own row number restarts
      // at every inner group and says nothing about an outer one.
      if (f->HideIfSingleDataRecord() && g->GroupDataRows < 2)
        FAggregates->ResetBand(f);
      else
        ShowBand(f);
    } else if (g->LinkedFooter) {
      ShowBand(g->LinkedFooter);
    }
    OutlineUpForBand(g);
    if (g->Vertical())
      DropReprintVHeader(g);
    else
      DropReprintHeader(g);
    if (auto* gh = KindOf<TfrxGroupHeader>(g); gh && gh->KeepTogether()) EndKeepBlock(g);
  }
}

// ---- band columns

void TfrxEngine::AdvanceBandColumn(TfrxDataBand* DataBand, int RowStartPos, Extended RowStartY) {
  TfrxDataBand* r = DataBand;
  if (r->Columns() <= 1) return;
  if (CurY() > r->ColumnBottom) r->ColumnBottom = CurY();
  if (r->BandColumn() < r->Columns()) {
    SetCurY(RowStartY);
  } else if (r->ColumnBottom <= PageHeight() - FootersHeight()) {
    SetCurY(r->ColumnBottom);
  } else if (Keeping) {
    NewColumn();
  } else {
    // The row does not fit: all its columns move together.
    TfrxPreviewPages* store = Store();
    store->CutObjects(RowStartPos);
    NewColumn();
    store->PasteObjects(CurX(), CurY());
    SetCurY(CurY() + r->ColumnBottom - RowStartY);
  }
  if (r->Visible()) r->SetBandColumn(r->BandColumn() + 1);
}
