// The engine's run: preparing and finishing a run, the wiring of each page's bands, the shift
// tree of a band, the dialog pages, the passes and the run of each report page.
#include "report/frxEngine.h"
#include "report/frxKind.h"

#include <algorithm>
#include <cmath>

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/Format.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "report/frxAggregate.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxRes.h"
#include "report/frxView.h"

namespace {

bool IsKind(TfrxComponent* C, TClass Class) { return C && C->InheritsFrom(Class); }

// Positions compared to two decimals: -10 before -5, and 0.004 apart counts as equal.
long long PositionKey(Extended Value) { return std::llround(Value * 100); }

TfrxDataSet* BandDataSet(TfrxBand* Band) {
  auto* data = KindOf<TfrxDataBand>(Band);
  return data ? data->DataSet() : nullptr;
}

}  // namespace

// ---------------------------------------------------------------- header list

void TfrxHeaderList::Add(TfrxBand* Band, bool AddedWhileKeeping, Extended Left) {
  FItems.push_back(TfrxHeaderListItem{Band, Left, AddedWhileKeeping});
}

void TfrxHeaderList::RemoveBand(TfrxBand* Band) {
  for (auto it = FItems.begin(); it != FItems.end(); ++it)
    if (it->Band == Band) {
      FItems.erase(it);
      return;
    }
}

// ---------------------------------------------------------------- engine

KELM_PUBLISH(TfrxEngine) {}

TfrxEngine::TfrxEngine(TfrxReport* AReport)
    : TfrxCustomEngine(AReport), FAggregates(std::make_unique<TfrxAggregateList>(AReport)) {}

TfrxEngine::~TfrxEngine() = default;

TfrxPreviewPages* TfrxEngine::Store() const { return static_cast<TfrxPreviewPages*>(PreviewPages()); }

Variant TfrxEngine::AggregateValue(const String& Name, const String& Expression, TfrxBand* Band, int Flags) {
  // Only data bands feed totals: a call that names another band matches nothing.
  auto* data = KindOf<TfrxDataBand>(Band);
  if (Band && !data) return Null();
  return FAggregates->AggregateLookup(AggregateBand, CurVColumn(), Flags, data, Expression, Name);
}

void TfrxEngine::AddError(const String& Key, TfrxBand* Band) {
  String text = ReportResources()->TextOf(Key);
  if (text.empty()) text = Key;
  // A text with a place for the name takes it there; otherwise the name follows a blank.
  if (text.find("%s") != String::npos)
    text = Format(text, {Band->Name()});
  else
    text += " " + Band->Name();
  Report()->Errors()->Add(text);
}

// ---- the run

bool TfrxEngine::BuildReport() {
  TfrxReport* report = Report();
  if (!PrepareRun()) {
    FinishRun();
    return false;
  }
  return TryFinally(
      [&]() -> bool {
        return TryFinally(
            [&]() -> bool {
              report->DataSets()->BeginUseAll();
              FDataSetsInUse = true;
              report->RunScriptEvent(report, report->OnStartReport());
              if (!RunDialogPages()) return false;
              for (int i = 0; i < report->CountPages(); ++i)
                if (auto* page = KindOf<TfrxReportPage>(report->PageAt(i))) {
                  Store()->AddSourcePage(page);
                  FAggregates->AddPageAggregates(page);
                }
              report->ProgressBegin(ptRunning);
              // The progress ends however the passes end; its events may raise in turn.
              TryFinally(
                  [&] {
                    SetFinalPass(!DoublePass());
                    SetTotalPages(0);
                    Store()->BeginPass();
                    RunPass();
                    if (DoublePass()) {
                      SetTotalPages(Store()->Count());
                      Store()->ClearFirstPass();
                      FAggregates->ResetAll();
                      SetFinalPass(true);
                      RunPass();
                    }
                  },
                  [&] { report->ProgressEnd(ptRunning); });
              return true;
            },
            [&] { report->RunScriptEvent(report, report->OnStopReport()); });
      },
      [&] { FinishRun(); });
}

bool TfrxEngine::PrepareRun() {
  TfrxReport* report = Report();
  Store()->Initialize();
  FAggregates->Clear();
  FPageBands = TPageBandCache{};
  TDateTime now = Now();
  SetStartDate(std::floor(now));
  SetStartTime(now - std::floor(now));
  SetRunning(true);
  Keeping = false;
  KeepBand = nullptr;
  KeepSuspended = false;
  SetCurVColumn(0);
  CaptureBand = nullptr;
  NewPageBand = nullptr;
  PrintingHeaders = PrintingSummary = SkipDataHeaders = false;

  std::vector<TfrxReportPage*> pages;
  for (int i = 0; i < report->CountPages(); ++i)
    if (auto* page = KindOf<TfrxReportPage>(report->PageAt(i))) pages.push_back(page);
  for (TfrxReportPage* page : pages) {
    RunningPage = page;
    WirePageBands(page, false);
    WirePageBands(page, true);
  }

  TStrings* errors = report->Errors();
  for (TfrxReportPage* page : pages) {
    if (report->DataSet() && report->DataSet() == page->DataSet()) {
      errors->Add("Cannot use the same dataset for Report.DataSet and Page.DataSet");
      break;
    }
    for (TfrxComponent* c : page->MasterBands()) {
      TfrxDataSet* ds = BandDataSet(static_cast<TfrxBand*>(c));
      if (!ds) continue;
      if (ds == report->DataSet()) {
        errors->Add("Cannot use the same dataset for Report.DataSet and Band.DataSet");
        break;
      }
      if (ds == page->DataSet()) {
        errors->Add("Cannot use the same dataset for Page.DataSet and Band.DataSet");
        break;
      }
    }
  }
  return errors->Count() == 0;
}

void TfrxEngine::FinishRun() {
  // Only a run that began using its data sets ends using them: a run stopped by the wiring
  // never began.
  if (FDataSetsInUse) Report()->DataSets()->EndUseAll();
  FDataSetsInUse = false;
  Store()->Finish();
  SetRunning(false);
}

// ---- wiring

void TfrxEngine::WirePageBands(TfrxReportPage* Page, bool Vertical) {
  Page->ArrangeAlignedChildren();
  (Vertical ? Page->VMasterBands() : Page->MasterBands()).clear();

  std::vector<TfrxBand*> vbands;
  if (!Vertical)
    for (int i = 0; i < Page->ObjectCount(); ++i)
      if (auto* b = KindOf<TfrxBand>(Page->Objects(i)); b && b->Vertical()) vbands.push_back(b);

  std::vector<TfrxBand*> bands;
  for (int i = 0; i < Page->ObjectCount(); ++i) {
    auto* band = KindOf<TfrxBand>(Page->Objects(i));
    if (!band || band->Vertical() != Vertical) continue;
    bands.push_back(band);
    BuildShiftTree(band);
    band->SubBands().clear();
    band->LinkedHeader = band->LinkedFooter = band->LinkedGroup = nullptr;
    band->HasVCells = false;
    if (auto* data = KindOf<TfrxDataBand>(band); data && !data->DataSet() && data->RowCount() > 0) {
      data->SetDataSet(data->RowCounterDataSet());
      data->RowCounterDataSet()->BeginUse();
    }
    if (!Vertical && !KindOf<TfrxOverlay>(band) && !vbands.empty()) {
      // Views that lie within a vertical band's extent become its cells.
      for (int k = 0; k < band->ObjectCount();) {
        auto* view = KindOf<TfrxView>(band->Objects(k));
        TfrxBand* host = nullptr;
        if (view)
          for (TfrxBand* v : vbands)
            if (view->Left() >= v->Left() - 0.0001 && view->Left() + view->Width() <= v->Left() + v->Width() + 0.0001) {
              host = v;
              break;
            }
        if (!host) {
          ++k;
          continue;
        }
        view->SetParent(host);
        view->OriginalBand = band;
        view->SetLeft(view->Left() - host->Left());
        band->HasVCells = true;
      }
    }
  }

  std::vector<TfrxBand*> L;
  for (TfrxBand* b : bands) {
    int kind = b->KindIndex();
    if (kind >= 4 && kind <= 13) L.push_back(b);
  }
  std::stable_sort(L.begin(), L.end(), [Vertical](TfrxBand* A, TfrxBand* B) {
    return Vertical ? PositionKey(A->Left()) < PositionKey(B->Left()) : PositionKey(A->Top()) < PositionKey(B->Top());
  });
  auto compact = [&L] { L.erase(std::remove(L.begin(), L.end(), nullptr), L.end()); };
  const TClass groupHeader = TfrxGroupHeader::StaticClass(), groupFooter = TfrxGroupFooter::StaticClass();
  const TClass dataBand = TfrxDataBand::StaticClass();

  // Group header chains and their data bands.
  for (std::size_t i = 0; i < L.size();) {
    if (!IsKind(L[i], groupHeader)) {
      ++i;
      continue;
    }
    TfrxBand* g = L[i];
    std::size_t j = i;
    while (j < L.size() && IsKind(L[j], groupHeader)) g->SubBands().push_back(L[j++]);
    std::size_t k = j;
    while (k < L.size() && !IsKind(L[k], dataBand)) ++k;
    if (k < L.size())
      L[k]->LinkedGroup = g;
    else
      AddError("enUnconnGroup", g);
    i = j;
  }
  // Group footers match the nearest open group header before them, like parentheses.
  for (std::size_t i = 0; i < L.size(); ++i) {
    if (!IsKind(L[i], groupFooter)) continue;
    for (std::size_t k = i; k-- > 0;)
      if (IsKind(L[k], groupHeader)) {
        L[k]->LinkedFooter = L[i];
        L[k] = L[i] = nullptr;
        break;
      }
  }
  for (TfrxBand*& b : L) {
    if (IsKind(b, groupHeader)) b = nullptr;
    if (IsKind(b, groupFooter)) {
      AddError("enUnconnGFooter", b);
      b = nullptr;
    }
  }
  compact();

  // Data headers and footers.
  const TClass header = TfrxHeader::StaticClass(), footer = TfrxFooter::StaticClass();
  for (std::size_t i = 0; i < L.size(); ++i) {
    if (!IsKind(L[i], dataBand)) continue;
    if (i > 0 && IsKind(L[i - 1], header)) {
      L[i]->LinkedHeader = L[i - 1];
      L[i - 1] = nullptr;
    }
    if (i + 1 < L.size() && IsKind(L[i + 1], footer)) {
      L[i]->LinkedFooter = L[i + 1];
      L[i + 1] = nullptr;
    }
  }
  compact();
  for (TfrxBand*& b : L)
    if (IsKind(b, header) || IsKind(b, footer)) {
      AddError("enUnconnHeader", b);
      b = nullptr;
    }
  compact();

  // Masters and their details, one nesting level at a time.
  std::vector<TfrxComponent*>& masters = Vertical ? Page->VMasterBands() : Page->MasterBands();
  auto collect = [&L](auto& self, TfrxBand* Owner, std::size_t Pos) -> std::size_t {
    int level = Owner->KindIndex();
    while (Pos < L.size()) {
      TfrxBand* e = L[Pos];
      if (!e) {
        ++Pos;
        continue;
      }
      int kind = e->KindIndex();
      if (kind <= level) break;
      if (kind == level + 1 && level < 11) {
        if (BandDataSet(e)) Owner->SubBands().push_back(e);
        L[Pos] = nullptr;
        Pos = self(self, e, Pos + 1);
      } else {
        ++Pos;
      }
    }
    return Pos;
  };
  const TClass master = TfrxMasterData::StaticClass();
  for (std::size_t i = 0; i < L.size(); ++i) {
    if (!L[i] || !IsKind(L[i], master)) continue;
    TfrxBand* m = L[i];
    if (BandDataSet(m)) masters.push_back(m);
    L[i] = nullptr;
    collect(collect, m, i + 1);
  }
  compact();
  for (TfrxBand* b : L) AddError("enBandPos", b);
}

void TfrxEngine::BuildShiftTree(TfrxBand* Band) {
  if (!Band->ShiftList().empty()) return;
  std::vector<TfrxReportComponent*> objects;
  for (int i = 0; i < Band->ObjectCount(); ++i)
    if (auto* o = KindOf<TfrxReportComponent>(Band->Objects(i))) {
      o->ShiftList().clear();
      objects.push_back(o);
    }
  std::stable_sort(objects.begin(), objects.end(), [](TfrxReportComponent* A, TfrxReportComponent* B) {
    return PositionKey(A->Top()) < PositionKey(B->Top());
  });
  // A stand-in above everything, as wide as the band: its children are the band's own.
  TfrxMemoView top(nullptr);
  top.SetBounds(0, -2, Band->Width(), 1);
  objects.insert(objects.begin(), &top);

  auto overlaps = [](TfrxReportComponent* A, TfrxReportComponent* B) {
    return !(A->Left() >= B->Left() + B->Width() - 0.0001) && !(B->Left() >= A->Left() + A->Width() - 0.0001);
  };
  for (std::size_t a = 0; a < objects.size(); ++a) {
    TfrxReportComponent* A = objects[a];
    Extended bottom = A->Top() + A->Height() - 0.0001;
    for (std::size_t b = a + 1; b < objects.size(); ++b) {
      TfrxReportComponent* B = objects[b];
      if (B->Top() < bottom || !overlaps(A, B)) continue;
      bool between = false;
      for (std::size_t c = a + 1; c < b && !between; ++c) {
        TfrxReportComponent* C = objects[c];
        between = C->Top() > bottom && B->Top() + 0.0001 > C->Top() + C->Height() && overlaps(C, B);
      }
      if (!between) A->ShiftList().push_back(B);
    }
  }
  Band->ShiftList() = top.ShiftList();
}

bool TfrxEngine::RunDialogPages() {
  TfrxReport* report = Report();
  if (!Trim(report->OnRunDialogs()).empty()) {
    Variant params = VarArrayOf({Variant(true)});
    report->RunScriptEventWithParams(report->OnRunDialogs(), params);
    return params.GetElement({0}).AsBoolean();
  }
  for (int i = 0; i < report->CountPages(); ++i) {
    auto* page = KindOf<TfrxDialogPage>(report->PageAt(i));
    if (!page || !page->Visible()) continue;
    page->Form()->SetBorderStyle(page->BorderStyle());
    if (page->Form()->ControlCount() == 0) continue;
    if (OnRunDialogPage)
      OnRunDialogPage(page);
    else
      page->ShowModal();
    if (page->ModalResult() == mrCancel) return false;
  }
  return true;
}

void TfrxEngine::RunPass() {
  FirstPageOfPass = true;
  TfrxReport* report = Report();
  if (TfrxDataSet* ds = report->DataSet()) {
    ds->First();
    while (!ds->Eof() && !report->Terminated()) {
      RunAllPages();
      ds->Next();
    }
  } else {
    RunAllPages();
  }
}

void TfrxEngine::RunAllPages() {
  TfrxReport* report = Report();
  for (int i = 0; i < report->CountPages(); ++i) {
    auto* page = KindOf<TfrxReportPage>(report->PageAt(i));
    if (!page) continue;
    RunningPage = page;
    if (!page->SubreportOwner() && page->Visible()) RunPage(page);
    if (report->Terminated()) break;
    FirstPageOfPass = false;
  }
}

void TfrxEngine::RunPage(TfrxReportPage* Page) {
  // A sub-report's page only runs its bands, inside the page that shows it: that page's
  // footers, columns and new pages stay in force.
  if (Page->SubreportOwner()) {
    RunBands(Page);
    return;
  }
  TfrxReport* report = Report();
  KeepSuspended = true;
  report->RunScriptEvent(Page, Page->OnBeforePrint());
  if (TfrxDataSet* ds = Page->DataSet()) {
    ds->First();
    while (!ds->Eof() && !report->Terminated()) {
      RunPageOnce(Page);
      ds->Next();
    }
  } else {
    RunPageOnce(Page);
  }
  report->RunScriptEvent(Page, Page->OnAfterPrint());
}

void TfrxEngine::RunPageOnce(TfrxReportPage* Page) {
  TfrxReport* report = Report();
  if (!HasDetailData(Page, report->EngineOptions()->PrintIfEmpty())) return;
  BeginReportPage();

  // The objects placed on the page itself print once, listed by a band as big as the page.
  {
    TfrxNullBand holder(nullptr);
    holder.SetBounds(0, 0, PageWidth(), PageHeight());
    std::vector<TfrxComponent*> own;
    for (int i = 0; i < Page->ObjectCount(); ++i)
      if (!KindOf<TfrxBand>(Page->Objects(i))) own.push_back(Page->Objects(i));
    if (!own.empty()) {
      Extended y = CurY();
      holder.ListObjects(own);
      TScopeExit release([&] {
        holder.UnlistObjects();
        SetCurY(y);
      });
      holder.ArrangeAlignedChildren();
      ShowBand(&holder);
    }
  }

  if (report->OnManualBuild.Assigned())
    report->OnManualBuild(Page);
  else if (!Trim(Page->OnManualBuild()).empty())
    report->RunScriptEvent(Page, Page->OnManualBuild());
  else
    RunBands(Page);

  IsLastPage = true;
  FinishPage();
  IsLastPage = false;
}

bool TfrxEngine::HasDetailData(TfrxComponent* PageOrBand, bool Force) {
  if (Force) return true;
  std::vector<TfrxComponent*> list;
  bool isBand = false;
  if (auto* page = KindOf<TfrxReportPage>(PageOrBand)) {
    list = page->MasterBands();
  } else if (auto* band = KindOf<TfrxBand>(PageOrBand)) {
    isBand = true;
    list.assign(band->SubBands().begin(), band->SubBands().end());
  }
  if (list.empty()) return isBand;
  TfrxReport* report = Report();
  for (TfrxComponent* c : list) {
    auto* data = KindOf<TfrxDataBand>(c);
    TfrxDataSet* ds = data ? data->DataSet() : nullptr;
    if (!ds) continue;
    report->RunScriptEvent(data, data->OnMasterDetail());
    ds->First();
    while (!ds->Eof()) {
      if (HasDetailData(data, data->PrintIfDetailEmpty())) return true;
      ds->Next();
    }
  }
  return false;
}

void TfrxEngine::PageAdded() { Report()->ProgressStep(ptRunning, Store()->Count()); }
