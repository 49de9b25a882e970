// The band engine: a band decides whether it fits on the page, measures its stretchable
// objects, lets each object emit itself into the prepared page, splits over pages when it is
// higher than the room left, and prints side by side in page columns.
#include "report_legacy/FR_ClassPrepared.h"

#include "report_legacy/FR_DBRel.h"
#include "report_legacy/FR_Pars.h"

#include "core/Scope.h"
#include "core/StringList.h"
#include "core/Streams.h"

#include <algorithm>
#include <memory>

namespace {

TfrReport* Running() { return frState().CurrentReport; }
TfrReport* Root() { return frState().RootReport ? frState().RootReport : frState().CurrentReport; }
bool Terminated() { return Root() && Root()->Terminated; }
bool IsDataKind(int k) { return k == btMasterData || k == btDetailData || k == btSubDetailData; }
// Bands printed where they stand, not at the position.
bool IsFixedKind(int k) { return k == btPageFooter || k == btOverlay || k == btNone; }

void RunScript(TStrings* Script) {
  if (Script->Count() == 0) return;
  try {
    TfrGlobals::Instance()->Interpretator->RunSource(Script);
  } catch (const Exception& e) {
    if (TfrReport* r = Running()) r->BuildExpressionError(e);
  }
}

int ColumnFooterHeight(TfrPage* page) {
  TfrBand* cf = page->Band(btColumnFooter);
  return cf && cf->Exists() ? cf->BandHeight : 0;
}

}  // namespace

// ================================================================ sources

void TfrBand::BindSource(const String& Text) {
  if (Kind == btGroupHeader) {
    GroupExpr = Text.empty() ? String() : TfrGlobals::Instance()->Parser->ToPostfix(Text);
    return;
  }
  if (!Text.empty() && Text.find(';') == String::npos) {
    bool created = false;
    Source = FindDataset(Text, created);
    OwnsSource = created;
  }
  TfrReport* r = Running();
  if (Kind == btMasterData && !Source && r && r->Dataset() && r->ReportType() == TfrReportType::rtSimple) {
    Source = r->Dataset();
    Source->BeginRun();
  }
}

void TfrBand::ReleaseSources() {
  for (TfrDataset** ds : {&Source, &CrossSource}) {
    if (!*ds) continue;
    (*ds)->EndRun();
    if ((ds == &Source && OwnsSource) || (ds == &CrossSource && OwnsCrossSource)) delete *ds;
    *ds = nullptr;
  }
  OwnsSource = OwnsCrossSource = false;
}

// ================================================================ showing

bool TfrBand::Show() {
  TfrEngineState& s = frState();
  TfrReport* r = Running();
  TfrPage* page = OwnerPage;
  TRestore<bool> breaked(Breaked);
  s.CurrentView = BandObject;
  s.CurrentBand = this;
  s.CurrentPage = page;
  NeededHeight = -1;
  PendingNewPages = PendingNewColumns = 0;
  if (r && r->OnBeginBand()) r->OnBeginBand()(this);
  // A multi-column band stopped in mid row: the next band goes below that row.
  if (TfrBand* last = page->LastShown; last && last != this && last->ColumnIndex > 1) {
    page->ShiftX = last->ColumnOriginX;
    page->PosY += last->BandHeight;
    last->ColumnIndex = 1;
  }
  BreakRequested = false;
  if (!SkipScriptOnce) RunScript(BandScript.get());
  SkipScriptOnce = false;
  const int y0 = page->PosY;
  if (Terminated()) return false;
  for (int i = 0; i < PendingNewPages; ++i) {
    page->ColumnNo = std::max(0, page->Columns - 1);
    page->NewColumn(this);
  }
  for (int i = 0; i < PendingNewColumns; ++i) page->NewColumn(this);
  if (BreakRequested) page->PosY = y0;
  bool result = false;
  if (Shown) {
    if (Kind == btColumnHeader) page->ColumnTopY = page->PosY;
    if (Kind == btPageFooter) BandTop = page->BottomY;
    if (Exists()) {
      NeededHeight = std::max(NeededHeight, BandHeight);
      if (!IsFixedKind(Kind) && Kind != btColumnFooter) {
        const int h = NeedHeight();
        if (page->PosY + h > page->BottomY && !Breaked) {
          if (h <= page->BottomY - page->TopMarginPx() || page->PosY != page->TopMarginPx()) {
            if (page->IsSubPage) return true;
            CheckBreak(page->PosY, 10000);
          } else {
            Breaked = true;  // higher than a whole page: split
          }
        }
      }
      SubReportsDone = true;
      if (IsDataKind(Kind) && NextOfKind && !NextOfKind->Source) {
        for (TfrBand* b = this; b; b = b->NextOfKind)
          if (b->Shown) b->Output();
      } else {
        Output();
        if (ChildLink) ChildLink->Show();
        if (!IsDataKind(Kind) && Kind != btGroupHeader && FormNewPage && !Terminated()) page->NewPage();
      }
      result = !SubReportsDone;
    }
  } else {
    if (ChildLink && PrintChildIfInvisible) ChildLink->Show();
    if (IsDataKind(Kind)) Accumulate();
  }
  if (!ResetSuspended) {
    TfrEMFPages* pages = Root()->PreparedPages();
    if (Kind != btPageFooter || s.PageIndex >= pages->Count() - 1) ResetValues();
  }
  if (r && r->OnEndBand()) r->OnEndBand()(this);
  return result;
}

int TfrBand::NeedHeight() {
  int h;
  if (IsDataKind(Kind) && NextOfKind && !NextOfKind->Source) {
    h = 0;
    for (TfrBand* b = this; b; b = b->NextOfKind) h += b->Measure();
  } else {
    h = Stretched ? Measure() : BandHeight;
  }
  NeededHeight = std::max(NeededHeight, h);
  return h;
}

int TfrBand::Measure() {
  int h = BandHeight;
  TfrEngineState& s = frState();
  for (TfrView* v : Items) {
    auto* st = dynamic_cast<TfrStretcheable*>(v);
    if (!st || v->OwnerBand != this) continue;
    TRestore<TfrBand*> band(s.CurrentBand, this);
    try {
      h = std::max(h, st->CalcHeight() + v->Top);
    } catch (const Exception& e) {
      if (TfrReport* r = Running()) r->BuildExpressionError(e);
      break;
    }
  }
  if (HasCross && Kind != btPageFooter) h = std::max(h, MeasureColumns());
  NeededHeight = std::max(NeededHeight, h);
  return h;
}

// The tallest column of a cross-tab row: the cells are measured once per column record.
int TfrBand::MeasureColumns() {
  TfrEngineState& s = frState();
  TfrReport* r = Running();
  TfrPage* page = OwnerPage;
  page->CrossColumnNo = 1;
  if (r && r->OnBeginColumn()) r->OnBeginColumn()(this);
  TfrBand* data = page->Band(btCrossData);
  TfrDataset* ds = data->Source ? data->Source : CrossSource;
  if (!data->BandObject || !ds) return 0;
  int h = 0;
  ds->GoFirst();
  while (!ds->AtEnd() && !Terminated()) {
    int w = data->BandWidth;
    if (r && r->OnPrintColumn()) r->OnPrintColumn()(page->CrossColumnNo, w);
    for (TfrView* v : Items) {
      auto* st = dynamic_cast<TfrStretcheable*>(v);
      if (!st) continue;
      TRestore<TfrBand*> band(s.CurrentBand, v->OwnerBand == this ? this : data);
      h = std::max(h, st->CalcHeight() + v->Top);
      if (v->OwnerBand != this) st->LayoutPass = 0;  // cells expand again when they print
    }
    ++page->CrossColumnNo;
    ds->GoNext();
  }
  return h;
}

bool TfrBand::CheckBreak(int Top, int Height, bool Probe) {
  if (Kind == btColumnFooter) return false;
  TfrPage* page = OwnerPage;
  if (page->BottomY >= Top + Height + ColumnFooterHeight(page)) return false;
  if (!Probe) page->NewColumn(this);
  return true;
}

void TfrBand::SwapHeights(std::vector<int>& Saved, bool Restore) {
  if (!Restore) {
    Saved.clear();
    for (TfrView* v : Items) Saved.push_back(v->Height);
    return;
  }
  for (std::size_t i = 0; i < Items.size() && i < Saved.size(); ++i) Items[i]->Height = Saved[i];
}

void TfrBand::Output() {
  if (!Exists()) return;
  TfrPage* page = OwnerPage;
  TRestore<int> top(BandTop);
  if (!IsFixedKind(Kind)) BandTop = page->PosY;
  bool moved = false;
  if (Stretched) {
    std::vector<int> heights;
    SwapHeights(heights, false);
    for (TfrView* v : Items)
      if (dynamic_cast<TfrStretcheable*>(v) && (v->Flags & 1) && v->Height > 0) v->Height = NeededHeight - v->Top;
    SplitHeight = NeededHeight;
    if (!Breaked) {
      CheckBreak(BandTop, NeededHeight);
      if (!IsFixedKind(Kind)) BandTop = page->PosY;
    }
    if (Breaked) {
      EmitSplit();
    } else {
      moved = EmitObjects();
      if (HasCross && Kind != btPageFooter) EmitCross();
    }
    SwapHeights(heights, true);
    if (!Breaked && !moved && !IsFixedKind(Kind)) page->PosY += NeededHeight;
  } else {
    if (!IsFixedKind(Kind) && !Breaked) {
      CheckBreak(BandTop, BandHeight);
      BandTop = page->PosY;
    }
    if (Breaked) {
      SplitHeight = NeededHeight;
      EmitSplit();
    } else {
      moved = EmitObjects();
      if (HasCross && Kind != btPageFooter) EmitCross();
      if (!IsFixedKind(Kind) && !moved) page->PosY += BandHeight;
    }
  }
  if (page->LastShown != this) ColumnIndex = 1;
  page->LastShown = this;
  if (BandObject && BandObject->Columns > 1 && BandObject->NewColumnAfter == 1) {
    const int c = ColumnIndex;
    if (c == 1) ColumnOriginX = page->ShiftX;
    ColumnIndex = c + 1;
    if (ColumnIndex > BandObject->Columns) {
      page->ShiftX = ColumnOriginX;
      ColumnIndex = 1;
    } else {
      page->ShiftX = (BandObject->ColumnWidth + BandObject->ColumnGap) * c + ColumnOriginX;
      page->PosY -= std::max(NeededHeight, BandHeight);
    }
  }
  if (IsDataKind(Kind)) Accumulate();
}

// ================================================================ objects

bool TfrBand::EmitObjects() {
  TRestore<TfrBand*> printing(OwnerPage->PrintingBand, this);
  TfrEngineState& s = frState();
  for (std::size_t i = 0; i < Items.size(); ++i) {
    TfrView* v = Items[i];
    if (v->TypeCode == 3) {
      // Sub-reports come last in a band: they print their pages here and move the position.
      if (!v->IsVisible()) continue;
      SubReportIndex = static_cast<int>(i);
      TfrPage* page = OwnerPage;
      const int y1 = page->PosY + std::max(0, BandHeight);
      const int before = s.PageIndex;
      RunSubReports(false);
      if (s.PageIndex == before && page->PosY < y1) page->PosY = y1;
      return true;
    }
    EmitObject(v);
    if (Terminated()) break;
  }
  return false;
}

bool TfrBand::RunSubReports(bool Resume) {
  TfrEngineState& s = frState();
  TfrReport* r = Running();
  TfrPage* page = OwnerPage;
  std::vector<TfrPage*> targets;
  for (std::size_t i = static_cast<std::size_t>(SubReportIndex); i < Items.size(); ++i)
    if (auto* sub = dynamic_cast<TfrSubReportView*>(Items[i]);
        sub && sub->IsVisible() && r && sub->TargetPage >= 0 && sub->TargetPage < r->Pages()->Count()) {
      TfrPage* target = r->Pages()->Page(sub->TargetPage);
      if (target == page) continue;  // a page is no sub-report of itself
      targets.push_back(target);
      if (Resume) continue;
      target->RecordMode = 1;
      target->Records.clear();
      {
        TRestore<TfrPage*> current(s.CurrentPage, target);
        target->FormPage();
      }
      target->PosY = sub->Top + BandTop;
      target->BottomY = page->BottomY;
      target->ShiftX = page->ShiftX + sub->Left;
      target->LeftMargin = page->LeftMargin;
      target->TopMargin = page->TopMargin;
      target->RightMargin = page->RightMargin;
      target->BottomMargin = page->BottomMargin;
      target->MarginsOn = page->MarginsOn;
      target->Columns = 1;
      target->PlayIndex = 0;
    }
  if (!Resume) {
    SubReportDone.assign(targets.size(), false);
    page->PendingBand = nullptr;
  }
  for (bool breakBefore = false;; breakBefore = true) {
    SubReportsDone = true;
    SubReportMaxY = page->PosY;
    for (std::size_t k = 0; k < targets.size(); ++k) {
      if (SubReportDone[k]) continue;
      TfrPage* target = targets[k];
      if (breakBefore) {
        target->PosY = page->PosY;
        target->BottomY = page->BottomY;
      }
      bool stopped;
      {
        TRestore<TfrPage*> current(s.CurrentPage, target);
        stopped = target->ReplayRecords();
      }
      if (stopped) {
        SubReportsDone = false;
      } else {
        SubReportDone[k] = true;
        SubReportMaxY = std::max(SubReportMaxY, target->PosY);
      }
    }
    if (SubReportsDone || Terminated()) break;
    if (page->IsSubPage) {
      page->PendingBand = this;
      return false;
    }
    if (page->LastShown) page->LastShown->SkipScriptOnce = true;
    page->NewPage();
  }
  for (TfrPage* target : targets) {
    target->Records.clear();
    target->RecordMode = 0;
  }
  s.CurrentPage = page;
  s.CurrentBand = this;
  page->PosY += std::max(NeededHeight, SubReportMaxY - page->PosY);
  page->PendingBand = nullptr;
  return true;
}

void TfrBand::EmitObject(TfrView* View) {
  TfrEngineState& s = frState();
  s.CurrentPage = OwnerPage;
  s.CurrentBand = this;
  if (View->OwnerBand != this) return;
  TfrReport* r = Running();
  if (Breaked || !s.CalcOnlyPass) {
    TMemoryStream* target = Root()->PreparedPages()->PageStream(s.PageIndex);
    if (!target) return;
    target->SetPosition(target->Size());
    const int left = View->Left, top = View->Top;
    View->Left += OwnerPage->ShiftX - OwnerPage->LeftMarginPx();
    View->Top += BandTop;
    try {
      View->EmitPrepared(target);
    } catch (const Exception& e) {
      if (r) r->BuildExpressionError(e);
    }
    View->Left = left;
    View->Top = top;
    if (auto* memo = dynamic_cast<TfrMemoView*>(View); memo && memo->LayoutPass <= 1) NotifyAddIns();
    return;
  }
  // The first pass of a two-pass run: only the scripts run.
  auto* st = dynamic_cast<TfrStretcheable*>(View);
  if (st && st->LayoutPass != 0) {
    st->LayoutPass = 0;
    return;
  }
  if (View->EventScript.Count() == 0) return;
  TRestore<TfrView*> current(s.CurrentView, View);
  RunScript(&View->EventScript);
}

void TfrBand::NotifyAddIns() {
  // A copy: an add-in may change the report while it is told.
  const std::vector<TObject*> listed = TfrGlobals::Instance()->NotificationList;
  for (TObject* o : listed) {
    auto* v = static_cast<TfrView*>(o);
    if (v->OwnerPage == OwnerPage) v->SpareHookA();
  }
}

void TfrBand::EmitSplit() {
  TfrPage* page = OwnerPage;
  for (TfrView* v : Items) {
    v->IsSelected = true;  // not placed yet
    v->EngineMark = false;
    v->OriginalRect = {v->Left, v->Top, v->Width, v->Height};
    if (v->BandAlign == 5) v->Top = NeededHeight - v->Height;
  }
  auto below = [this](TfrView* v, int shift) {
    for (TfrView* o : Items)
      if (o != v && o->IsSelected && o->Top >= v->Top + v->Height && o->Left >= v->Left && o->Left <= v->Left + v->Width)
        o->Top += shift;
  };
  int deepest = NeededHeight;
  if (!CheckBreak(BandTop, SplitHeight, true)) {
    EmitObjects();
    for (TfrView* v : Items) v->IsSelected = false;
  } else {
    // Each round fills what room the page has; every round places or moves up every
    // remaining object, and a fixed object taller than an empty page is printed clipped, so
    // the split always ends.
    for (int round = 0; !Terminated(); ++round) {
      const int room = page->BottomY - ColumnFooterHeight(page) - BandTop - 2;
      const bool freshPage = BandTop <= page->TopMarginPx() || room <= 0 || round > 10000;
      deepest = 0;
      for (TfrView* v : Items) {
        if (!v->IsSelected) continue;
        auto* st = dynamic_cast<TfrStretcheable*>(v);
        if (v->Top >= 0 && v->Top < std::max(room, 1)) {
          if (v->Top + v->Height < room) {
            EmitObject(v);
            v->IsSelected = false;
            deepest = std::max(deepest, v->Top + v->Height);
          } else if (st && room > 0) {
            const int h = v->Height;
            if (st->LayoutPass == 0) st->CalcHeight();
            v->Height = room - v->Top + 1;
            const int rest = st->LeftoverHeight();
            if (st->OneLineHeight() < v->Height) {
              st->LayoutPass = 2;
              EmitObject(v);
            }
            v->Height = h;
            below(v, rest);
            v->Height += rest;
            deepest = std::max(deepest, room);
          } else if (freshPage && v->Top == 0) {
            const int h = v->Height;
            v->Height = std::max(room, 1);
            EmitObject(v);
            v->Height = h;
            v->IsSelected = false;
            deepest = std::max(deepest, std::max(room, 1));
          } else {
            v->Top = std::max(room, 1);
          }
        } else if (v->Top < 0 && v->Top + v->Height >= 0 && st) {
          if (v->Top + v->Height < room) {
            v->Height = v->Top + v->Height;
            v->Top = 0;
            st->LayoutPass = 2;
            v->IsSelected = false;
            deepest = std::max(deepest, v->Height);
            if (v->Flags & 1) v->EngineMark = true;
            else EmitObject(v);
          } else {
            const int t = v->Top, h = v->Height;
            v->Top = 0;
            v->Height = room;
            st->LayoutPass = 2;
            EmitObject(v);
            v->Top = t;
            v->Height = h;
            const int rest = st->LeftoverHeight();
            below(v, rest);
            v->Height += rest;
            deepest = std::max(deepest, room);
          }
        } else if (v->Top < 0) {
          v->IsSelected = false;  // printed on earlier pages already
        }
      }
      bool remaining = false;
      for (TfrView* v : Items)
        if (v->IsSelected) {
          v->Top -= std::max(room, 1);
          remaining = true;
        }
      if (!remaining) break;
      CheckBreak(page->PosY, 10000);
      BandTop = page->PosY;
    }
  }
  SplitHeight = deepest;
  for (TfrView* v : Items)
    if (v->EngineMark) {
      v->Height = SplitHeight;
      EmitObject(v);
      v->EngineMark = false;
    }
  for (TfrView* v : Items) {
    v->Top = v->OriginalRect.Top;
    v->Height = v->OriginalRect.Bottom;
    v->IsSelected = false;
  }
  page->PosY = BandTop + SplitHeight;
}

// ================================================================ cross-tabs

void TfrBand::EmitCells(TfrBand* Cross, int X) {
  TfrEngineState& s = frState();
  TRestore<TfrBand*> active(s.CurrentBand, Cross);
  Cross->LocalLine = LocalLine;
  Cross->GlobalLine = GlobalLine;
  if (Cross->Kind == btCrossData) Cross->AggregateSource = this;
  TMemoryStream* target = Root()->PreparedPages()->PageStream(s.PageIndex);
  if (!target) return;
  target->SetPosition(target->Size());
  for (TfrView* v : Cross->Items) {
    if (std::find(Items.begin(), Items.end(), v) == Items.end()) continue;
    const int left = v->Left, top = v->Top;
    v->Left += X;
    v->Top += BandTop;
    bool failed = false;
    try {
      if (!s.CalcOnlyPass) {
        v->EmitPrepared(target);
      } else if (v->EventScript.Count() > 0) {
        TRestore<TfrView*> current(s.CurrentView, v);
        TfrGlobals::Instance()->Interpretator->RunSource(&v->EventScript);
      }
    } catch (const Exception& e) {
      if (TfrReport* r = Running()) r->BuildExpressionError(e);
      failed = true;
    }
    v->OwnerBand = Cross;
    v->Left = left;
    v->Top = top;
    if (failed) break;
  }
}

void TfrBand::ColumnOverflow(int& X, int Width, int RowPage) {
  TfrEngineState& s = frState();
  TfrPage* page = OwnerPage;
  const int lm = page->LeftMarginPx();
  if (page->RightMarginPx() >= X + Width) return;
  s.CrossShiftX += X - lm;
  X = lm;
  ++s.PageIndex;
  TfrEMFPages* pages = Root()->PreparedPages();
  if (s.PageIndex >= pages->Count()) {
    pages->Add(page);
    TRestore<int> position(page->PosY, page->TopMarginPx());
    TRestore<TfrBand*> active(s.CurrentBand, this);
    page->ShowBand(page->Band(btOverlay));
    TfrBand* header = page->Band(btPageHeader);
    if (RowPage != 0 || (header->BandFlags & frband::OnFirstPage)) page->ShowBand(header);
    if (TfrReport* r = Running()) r->Progress(s.PageIndex + 1);
  }
  TfrBand* crossHeader = page->Band(btCrossHeader);
  if (crossHeader->BandObject && (crossHeader->BandFlags & frband::RepeatHeader)) {
    EmitCells(crossHeader, lm);
    X = lm + crossHeader->BandWidth;
  }
}

void TfrBand::EmitCross() {
  TfrEngineState& s = frState();
  TfrReport* r = Running();
  TfrPage* page = OwnerPage;
  s.CrossShiftX = 0;
  page->CrossColumnNo = 1;
  int x = 0;
  TRestore<bool> inCross(s.InCross, true);
  const int rowPage = s.PageIndex;
  if (r && r->OnBeginColumn()) r->OnBeginColumn()(this);
  TfrBand* header = page->Band(btCrossHeader);
  TfrBand* data = page->Band(btCrossData);
  TfrBand* footer = page->Band(btCrossFooter);
  if (header->BandObject) {
    RunScript(header->BandScript.get());
    EmitCells(header, header->BandLeft);
    x = header->BandLeft + header->BandWidth;
  }
  if (data->BandObject && !Terminated()) {
    if (x == 0) x = data->BandLeft;
    TfrDataset* ds = data->Source ? data->Source : CrossSource;
    std::unique_ptr<TzeVodaDataset> counted;
    if (ds && Kind == btMasterFooter) {
      ds->GoFirst();
      if (ds->AtEnd()) {
        // A footer lines up under the widest row.
        counted = std::make_unique<TzeVodaDataset>(nullptr);
        counted->SetRangeEnd(TRangeEnd::reCount);
        counted->SetRangeEndCount(CrossColumnsMax);
        ds = counted.get();
      }
    }
    if (ds) {
      ds->GoFirst();
      while (!ds->AtEnd() && !Terminated()) {
        s.CurrentView = data->BandObject;
        int w = data->BandWidth;
        if (r && r->OnPrintColumn()) r->OnPrintColumn()(page->CrossColumnNo, w);
        RunScript(data->BandScript.get());
        ColumnOverflow(x, w, rowPage);
        EmitCells(data, x);
        data->Accumulate();
        if (IsDataKind(Kind)) Accumulate();
        x += w;
        ++page->CrossColumnNo;
        ds->GoNext();
      }
      CrossColumnsMax = std::max(CrossColumnsMax, ds->RecordIndex());
    }
  }
  if (footer->BandObject && !Terminated()) {
    if (x == 0) x = footer->BandLeft;
    RunScript(footer->BandScript.get());
    ColumnOverflow(x, footer->BandWidth, rowPage);
    EmitCells(footer, x);
    footer->ResetValues();
  }
  s.PageIndex = rowPage;
  s.CrossShiftX = 0;
}
