// The output of one band: its events and data, the stretching of its objects and the shift of
// the objects below them, its height, its place on the page (or split over pages), and the
// keep blocks, reprinted headers and outline items around it.
#include "report/frxEngine.h"
#include "report/frxKind.h"

#include <algorithm>
#include <cmath>

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "report/frxAggregate.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxView.h"

namespace {

TfrxStretcheable* Stretchable(TfrxComponent* C) { return KindOf<TfrxStretcheable>(C); }

bool OverlapsHorizontally(TfrxComponent* A, TfrxComponent* B) {
  return !(A->Left() >= B->Left() + B->Width() - 0.0001) && !(B->Left() >= A->Left() + A->Width() - 0.0001);
}

}  // namespace

void TfrxEngine::ShowBand(TfrxBand* Band) {
  if (!Band) return;
  if (Band->KeepChild()) BeginKeepBlock(Band);
  OutputBand(Band);
  if (Band->Child() && (Band->Visible() || Band->PrintChildIfInvisible())) ShowBand(Band->Child());
  if (Band->KeepChild()) EndKeepBlock(Band);
  // Totals see a row after the row and its child bands are printed; a vertical data band adds
  // its values per column while its cells are built.
  if (auto* data = KindOf<TfrxDataBand>(Band); data && !Band->Vertical()) FAggregates->AddValues(data, 0);
}

void TfrxEngine::ShowBandOfClass(TClass BandClass) { ShowBand(FindPageBand(BandClass)); }

TfrxBand* TfrxEngine::FindPageBand(TClass BandClass) const {
  if (!RunningPage) return nullptr;
  TPageBandCache& c = FPageBands;
  if (c.Page != RunningPage || c.ObjectCount != RunningPage->ObjectCount()) {
    c.Page = RunningPage;
    c.ObjectCount = RunningPage->ObjectCount();
    c.Bands.clear();
  }
  for (const auto& [cls, band] : c.Bands)
    if (cls == BandClass) return band;
  TfrxBand* band = KindOf<TfrxBand>(RunningPage->FindBandOfClass(BandClass));
  c.Bands.emplace_back(BandClass, band);
  return band;
}

void TfrxEngine::OutputBand(TfrxBand* Band) {
  TfrxReport* report = Report();
  std::vector<int> breaks;
  TfrxBand* cellHost = nullptr;
  if (Band->HasVCells) {
    Extended x = CurX();
    report->SetCurrentObjectName(Band->Name());
    Band->SaveStateForPrint();
    report->FireBeforePrint(Band);
    // The cells of a row run from the left edge; the row itself goes where the band goes.
    SetCurX(0);
    BuildVBandCells(Band);
    SetCurX(x);
    Store()->SetAddPageMode(apAdd);
    breaks = VPageBreaks;
    cellHost = VCellHost;
  }
  // A vertical band prints as cells of the horizontal band being built, never as a strip.
  if (Band->Vertical()) {
    PrintVBand(Band);
    return;
  }
  auto* data = KindOf<TfrxDataBand>(Band);
  // The cell state ends with the output of the band that holds the cells.
  TScopeExit endCells([&] {
    if (cellHost) VCellHost = nullptr;
  });

  if (!PrintingHeaders && Band->Visible() && Band->StartNewPage() && !CaptureBand) {
    bool firstRow = (data || KindOf<TfrxGroupHeader>(Band)) && Band->RowNoThrough == 1;
    if (!firstRow) {
      TRestore<TfrxBand*> breaking(NewPageBand, Band);
      NewPage();
    }
  }

  TryFinally(
      [&] {
        PrepareBand(Band);
        if (!Band->Visible()) return;
        bool split = false;
        bool tested = !(data && data->Columns() > 1) && !KindOf<TfrxOverlay>(Band) &&
                      !KindOf<TfrxNullBand>(Band);
        // Headers print at the top of a page or column just opened: one that does not fit
        // there fits nowhere, and a new page would only print it again.
        if (tested && !CaptureBand && !PrintingHeaders && FreeSpace() < Band->Height()) {
          if (Band->AllowSplit()) {
            SplitBand(Band);
            split = true;
          } else {
            NewColumn();
          }
        }
        if (!split) {
          if (!KindOf<TfrxNullBand>(Band)) {
            Band->SetLeft(data && data->Columns() > 1 ? Band->Left() + CurX() : CurX());
            Band->SetTop(CurY());
          }
          if (CaptureBand) {
            auto* copy = static_cast<TfrxBand*>(Band->ClassType()->Create(nullptr));
            copy->SetParent(CaptureBand);
            copy->AssignAll(Band);
          } else if (cellHost) {
            VPageBreaks = breaks;
            VCellHost = cellHost;
            OutputVCellSegments(Band);
          } else if (PrintingHeaders) {
            if (!Store()->BandExists(Band)) Store()->AddObject(Band);
          } else {
            Store()->AddObject(Band);
          }
          SetCurY(CurY() + Band->Height());
        }
      },
      [&] { FinishBand(Band); });
  // A footer's totals restart once it has printed.
  FAggregates->ResetBand(Band);

  if (Band->Visible()) RunSubreports(Band);
}

void TfrxEngine::PrepareBand(TfrxBand* Band) {
  TfrxReport* report = Report();
  AggregateBand = Band;
  BuildShiftTree(Band);
  bool host = Band == VCellHost;
  // The host of vertical cells was announced and its cells were filled while they were built;
  // its own objects outside the vertical bands are prepared like any band's.
  int ownCount = host ? Band->OwnObjectCount : Band->ObjectCount();
  if (!host) {
    report->SetCurrentObjectName(Band->Name());
    Band->SaveStateForPrint();
    report->FireBeforePrint(Band);
  }

  bool grew = false, onParent = false;
  for (int i = 0; i < Band->ObjectCount(); ++i) {
    auto* o = KindOf<TfrxReportComponent>(Band->Objects(i));
    if (!o) continue;
    if (auto* sub = KindOf<TfrxSubreport>(o); sub && sub->PrintOnParent()) onParent = true;
    if (i < ownCount) {
      report->SetCurrentObjectName(o->Name());
      o->SaveStateForPrint();
      if (Band->Visible()) {
        report->FireBeforePrint(o);
        if (o->Visible()) {
          o->FetchData();
          report->RunScriptEvent(o, o->OnAfterData());
        }
      }
    }
    o->ShiftAmount = 0;
    TfrxStretcheable* s = Stretchable(o);
    if (Band->Visible() && o->Visible() && s && s->StretchMode() != smDontStretch) {
      Extended h = s->CalcHeight();
      if (h > s->Height()) {
        s->ShiftAmount = h - s->Height();
        s->SetHeight(h);
        grew = true;
      }
    }
  }
  if (!Band->Visible()) return;
  if (grew) PropagateShift(Band, 0);
  if (onParent) RunSubreportsOnParent(Band);

  Extended maxBottom = 0;
  for (int i = 0; i < Band->ObjectCount(); ++i) {
    TfrxComponent* o = Band->Objects(i);
    maxBottom = std::max(maxBottom, o->Top() + o->Height());
  }
  if (Band->Stretched()) Band->SetHeight(maxBottom);
  report->SetCurrentObjectName(Band->Name());
  report->RunScriptEvent(Band, Band->OnAfterCalcHeight());
  for (int i = 0; i < Band->ObjectCount(); ++i)
    if (TfrxStretcheable* s = Stretchable(Band->Objects(i)); s && s->StretchMode() == smMaxHeight)
      s->SetHeight(maxBottom - s->Top());
}

void TfrxEngine::PropagateShift(TfrxReportComponent* Parent, Extended Amount) {
  bool fromBand = KindOf<TfrxBand>(Parent) != nullptr;
  for (TfrxReportComponent* c : Parent->ShiftList()) {
    auto* view = KindOf<TfrxView>(c);
    TfrxShiftMode mode = view ? view->ShiftMode() : smAlways;
    Extended passOn;
    if (mode == smAlways) {
      c->SetTop(c->Top() + Amount);
      passOn = Amount + c->ShiftAmount;
    } else if (mode == smDontShift) {
      passOn = Amount + c->ShiftAmount;
    } else {
      Extended bottom = Parent->Top() + Parent->Height();
      if (fromBand || c->Top() >= bottom) {
        passOn = c->ShiftAmount;
      } else {
        passOn = bottom - c->Top() + c->ShiftAmount;
        c->SetTop(bottom);
      }
    }
    PropagateShift(c, passOn);
    c->ShiftAmount = 0;
  }
}

void TfrxEngine::FinishBand(TfrxBand* Band) {
  TfrxReport* report = Report();
  if (Band->Visible())
    for (int i = 0; i < Band->ObjectCount(); ++i)
      if (auto* o = KindOf<TfrxReportComponent>(Band->Objects(i))) {
        report->SetCurrentObjectName(o->Name());
        report->FireAfterPrint(o);
      }
  for (int i = 0; i < Band->ObjectCount(); ++i)
    if (auto* o = KindOf<TfrxReportComponent>(Band->Objects(i))) o->RestoreStateAfterPrint();
  report->SetCurrentObjectName(Band->Name());
  report->FireAfterPrint(Band);
  Band->RestoreStateAfterPrint();
  if (Band->OwnObjectCount != -1) {
    while (Band->ObjectCount() > Band->OwnObjectCount) {
      TfrxComponent* temporary = Band->Objects(Band->ObjectCount() - 1);
      Store()->UnlinkSource(temporary);
      delete temporary;
    }
    Band->OwnObjectCount = -1;
  }
}

void TfrxEngine::SplitBand(TfrxBand* Band) {
  std::vector<TfrxComponent*> all = Band->UnlistObjects();
  // The band gets its objects back however the split ends.
  TScopeExit restore([&] { Band->ListObjects(all); });
  std::vector<TfrxComponent*> remaining;
  for (TfrxComponent* o : all) {
    if (KindOf<TfrxSubreport>(o)) continue;
    if (TfrxStretcheable* s = Stretchable(o)) {
      s->ResetPart();
      s->SavedHeight = s->Height();
    }
    remaining.push_back(o);
  }

  Extended limit = FreeSpace();
  // A part after the first begins at the top of a fresh column: what does not fit there fits
  // nowhere, and goes out whole rather than moving on for ever.
  bool fresh = false;
  while (!remaining.empty()) {
    std::vector<TfrxComponent*> part, shifted;
    if (fresh && limit <= 0.0001) part.swap(remaining);
    auto shiftBelow = [&](TfrxComponent* Q, Extended By) {
      for (TfrxComponent* r : remaining)
        if (r != Q && r->Top() >= Q->Top() + Q->Height() && OverlapsHorizontally(Q, r) &&
            std::find(shifted.begin(), shifted.end(), r) == shifted.end()) {
          r->SetTop(r->Top() + By);
          shifted.push_back(r);
        }
    };
    std::vector<TfrxComponent*> next;
    for (std::size_t i = 0; i < remaining.size(); ++i) {
      TfrxComponent* q = remaining[i];
      TfrxStretcheable* s = Stretchable(q);
      if (!s && fresh && q->Top() <= 0.0001 && limit < q->Top() + q->Height()) {
        part.push_back(q);
      } else if (limit >= q->Top() + q->Height()) {
        part.push_back(q);
        if (s) s->FitPart();
      } else if (s && q->Top() < limit) {
        q->SetHeight(limit - q->Top());
        Extended d = s->FitPart();
        shiftBelow(q, d);
        if (std::fabs(d - q->Height()) < 0.0001 && fresh && q->Top() <= 0.0001) {
          // Not even its first line fits a whole column: it goes out cut, once.
          part.push_back(q);
          continue;
        } else if (std::fabs(d - q->Height()) < 0.0001) {
          q->SetTop(limit);
          q->SetHeight(s->SavedHeight);
        } else {
          part.push_back(q);
          s->SavedHeight = s->SavedHeight - q->Height() + d;
        }
        next.push_back(q);
      } else if (!s && q->Top() < limit) {
        shiftBelow(q, limit - q->Top());
        q->SetTop(limit);
        next.push_back(q);
      } else {
        next.push_back(q);
      }
    }
    remaining = next;

    Extended height = 0;
    for (TfrxComponent* o : part) height = std::max(height, o->Top() + o->Height());
    Band->SetHeight(height);
    bool last = remaining.empty();
    if (last)
      for (TfrxComponent* o : part) {
        auto* view = KindOf<TfrxView>(o);
        if (view && view->Align() == baBottom) o->SetTop(height - o->Height());
        if (TfrxStretcheable* s = Stretchable(o); s && s->StretchMode() == smMaxHeight) o->SetHeight(height - o->Top());
      }
    Band->ListObjects(part);
    Band->SetLeft(CurX());
    Band->SetTop(CurY());
    Store()->AddObject(Band);
    Band->UnlistObjects();
    if (last) {
      SetCurY(CurY() + Band->Height());
    } else {
      NewColumn();
      for (TfrxComponent* o : remaining) {
        o->SetTop(o->Top() - limit);
        if (TfrxStretcheable* s = Stretchable(o)) {
          if (o->Top() < 0) o->SetTop(0);
          o->SetHeight(s->SavedHeight);
        }
      }
    }
    limit = FreeSpace();
    fresh = true;
  }
}

// ---- keeping together

void TfrxEngine::BeginKeepBlock(TfrxBand* Band, int Position) {
  if (Keeping || KeepSuspended) return;
  Keeping = true;
  KeepBand = Band;
  KeepPosition = Position == 0 ? Store()->CurPosition() : Position;
  KeepOutlineItem = Store()->OutlineObj()->GetCurPosition();
  FAggregates->StartKeeping();
}

void TfrxEngine::EndKeepBlock(TfrxBand* Band) {
  if (Band != KeepBand) return;
  Keeping = false;
  KeepBand = nullptr;
  FAggregates->EndKeeping();
}

// ---- reprinted headers

void TfrxEngine::AddReprintHeader(TfrxBand* Band) {
  bool reprint = false;
  if (auto* h = KindOf<TfrxHeader>(Band)) reprint = h->ReprintOnNewPage();
  if (auto* g = KindOf<TfrxGroupHeader>(Band)) reprint = g->ReprintOnNewPage();
  if (reprint) HeaderList.Add(Band, Keeping, CurX());
}

void TfrxEngine::DropReprintHeader(TfrxBand* Band) {
  if (Band) HeaderList.RemoveBand(Band);
}

void TfrxEngine::AddReprintVHeader(TfrxBand* Band) {
  bool reprint = false;
  if (auto* h = KindOf<TfrxHeader>(Band)) reprint = h->ReprintOnNewPage();
  if (auto* g = KindOf<TfrxGroupHeader>(Band)) reprint = g->ReprintOnNewPage();
  if (reprint) VHeaderList.push_back(Band);
}

void TfrxEngine::DropReprintVHeader(TfrxBand* Band) {
  auto it = std::find(VHeaderList.begin(), VHeaderList.end(), Band);
  if (Band && it != VHeaderList.end()) VHeaderList.erase(it);
}

// ---- outline

void TfrxEngine::AddBandOutlineItem(TfrxBand* Band) {
  if (Band->OutlineText().empty()) return;
  Report()->SetCurrentObjectName(Band->Name());
  String text = VarToStr(Report()->Calc(Band->OutlineText()));
  Store()->Outline()->AddItem(text, static_cast<int>(std::lround(CurY() - Band->Height())));
}

void TfrxEngine::OutlineUpForBand(TfrxBand* Band) {
  if (!Band->OutlineText().empty()) Store()->Outline()->LevelUp();
}

void TfrxEngine::AddPageOutlineItem() {
  if (!RunningPage || RunningPage->OutlineText().empty()) return;
  Store()->Outline()->LevelRoot();
  Store()->Outline()->AddItem(RunningPage->OutlineText(), 0);
}

void TfrxEngine::NotifyRowObjects(TfrxBand* Band) {
  for (TObject* o : RowNotifyList())
    if (auto* c = KindOf<TfrxComponent>(o)) c->EngineNotify(Band);
}
