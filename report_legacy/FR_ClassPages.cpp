// Page formation: a report page's band views and objects become linked run-time bands; the
// page walks its data bands over their data sets with groups, headers and footers, and starts
// new pages and page columns.
#include "report_legacy/FR_ClassPrepared.h"

#include "report_legacy/FR_DBRel.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/Forms.h"
#include "report_legacy/FR_progr.h"

#include <algorithm>

namespace {

TfrReport* Running() { return frState().CurrentReport; }
TfrReport* Root() { return frState().RootReport ? frState().RootReport : frState().CurrentReport; }
bool Terminated() { return Root() && Root()->Terminated; }
bool IsDataKind(int k) { return k == btMasterData || k == btDetailData || k == btSubDetailData; }
constexpr int kDataKinds[] = {btMasterData, btDetailData, btSubDetailData};

void RunScript(TStrings* Script) {
  if (Script->Count() == 0) return;
  try {
    TfrGlobals::Instance()->Interpretator->RunSource(Script);
  } catch (const Exception& e) {
    if (TfrReport* r = Running()) r->BuildExpressionError(e);
  }
}

// Repeated values of the band's text objects print again.
void ForgetPrinted(TfrBand* b) {
  if (!b) return;
  for (TfrView* v : b->Items)
    if (auto* m = dynamic_cast<TfrMemoView*>(v)) m->LastPrintedText.clear();
}

template <class F> void ForEachBand(const std::vector<TfrBand*>& table, F f) {
  for (TfrBand* first : table)
    for (TfrBand* b = first; b; b = b->NextOfKind) f(b);
}

}  // namespace

// ================================================================ preparing

void TfrPage::FreeBands() {
  for (TfrBand* first : BandTable) {
    for (TfrBand* b = first; b; b = b->NextOfKind) b->ReleaseSources();
    delete first;
  }
  BandTable.clear();
  LastShown = PendingBand = PrintingBand = nullptr;
  for (const auto& v : Objects) v->OwnerBand = nullptr;
}

void TfrPage::PrepareRun() {
  TfrReport* r = Running();
  if (Type == 1) {
    ShowDialog();
    Prepared = true;
    return;
  }
  if (r && r->TwoPass && r->FinalPass && !BandTable.empty()) {
    // The final pass of a two-pass run goes over the bands of the first pass again.
    for (const auto& v : Objects)
      if (auto* m = dynamic_cast<TfrMemoView*>(v.get())) m->LastPrintedText.clear();
    for (TfrBand* b : BandTable)
      if (b->Source) b->Source->GoFirst();
    return;
  }
  FreeBands();
  for (int k = 0; k <= btNone; ++k) BandTable.push_back(new TfrBand(k, this));
  LinkBands();
  LineNo = 1;
  CrossColumnNo = 1;
  Prepared = true;
}

// A dialog page becomes a form with its controls; its script runs once, and unless it decided
// the form's result already the form is shown modally. Cancel cancels the report.
void TfrPage::ShowDialog() {
  TfrEngineState& s = frState();
  TfrReport* r = Running();
  PageForm = std::make_unique<TForm>(nullptr);
  TForm* form = PageForm.get();
  for (const auto& v : Objects) {
    v->OwnerPage = this;
    if (auto* c = dynamic_cast<TfrControl*>(v.get())) c->PlaceOnForm(form);
    v->SetScriptProp("Visible", Variant(v->IsVisible()));
  }
  if (Objects.empty() || !Visible) {
    RunScript(PageScript.get());
    return;
  }
  TfrProgressForm* progress = r ? r->ProgressForm() : nullptr;
  const bool progressShown = progress && progress->Visible();
  if (progressShown) progress->Hide();
  form->SetBorderStyle(static_cast<TFormBorderStyle>(BorderStyle));
  form->SetCaption(Caption);
  form->SetColor(Color);
  form->SetBounds(Left, Top, FormWidth, FormHeight);
  form->SetPosition(static_cast<TPosition>(Position));
  RunScript(PageScript.get());
  if (form->ModalResult() != mrNone) s.DialogCancelled = form->ModalResult() == mrCancel;
  else if (form->ShowModal() == mrCancel) s.DialogCancelled = true;
  if (progressShown) progress->Show();
}

void TfrPage::LinkBands() {
  TfrReport* r = Running();
  std::vector<TObject*>& notified = TfrGlobals::Instance()->NotificationList;
  for (const auto& v : Objects) {
    v->OwnerBand = nullptr;
    v->IsSelected = v->TypeCode != 2;  // not yet placed in a band
    if ((v->Flags & TfrView::AddInNotifyFlag) && std::find(notified.begin(), notified.end(), v.get()) == notified.end())
      notified.push_back(v.get());
    if (auto* sub = dynamic_cast<TfrSubReportView*>(v.get()); sub && r && sub->TargetPage < r->Pages()->Count())
      r->Pages()->Page(sub->TargetPage)->IsSubPage = true;
  }
  // Cross bands: the columns of a cross-tab; objects standing in their width are its cells.
  bool anyCross = false;
  for (const auto& o : Objects) {
    auto* view = dynamic_cast<TfrBandView*>(o.get());
    if (!view || view->BandType() < btCrossHeader || view->BandType() > btCrossFooter) continue;
    TfrBand* b = BandTable[static_cast<std::size_t>(view->BandType())];
    if (b->BandObject) continue;  // one band of each cross kind
    anyCross = true;
    b->BandObject = view;
    view->OwnerBand = b;
    b->BandMemo->Assign(&view->Memo);
    b->BandScript->Assign(view->EventScript.Count() > 0 ? &view->EventScript : &view->Memo);
    b->BandLeft = view->Left;
    b->BandWidth = view->Width;
    b->BandFlags = view->Flags;
    b->Shown = view->IsVisible();
    b->BandName = view->Name;
    b->BindSource(view->FormatText);
  }
  if (anyCross)
    for (const auto& po : Objects) {
      TfrView* v = po.get();
      if (!v->IsSelected || v->OwnerBand) continue;
      for (int kind : {btCrossHeader, btCrossData, btCrossFooter}) {
        TfrBand* b = BandTable[static_cast<std::size_t>(kind)];
        if (!b->BandObject || v->Left < b->BandLeft || v->Left + v->Width > b->BandLeft + b->BandWidth) continue;
        v->Left -= b->BandLeft;
        v->OwnerBand = b;
        b->Items.push_back(v);
        break;
      }
    }
  // Bands of each kind, in page order; objects join the band whose height holds their Top.
  for (int kind = 0; kind <= btChild; ++kind) {
    if (kind >= btCrossHeader && kind <= btCrossFooter) continue;
    std::vector<TfrBand*> bands;
    for (const auto& o : Objects) {
      auto* view = dynamic_cast<TfrBandView*>(o.get());
      if (!view || view->BandType() != kind) continue;
      TfrBand* b = bands.empty() ? BandTable[static_cast<std::size_t>(kind)] : new TfrBand(kind, this);
      bands.push_back(b);
      b->BandObject = view;
      view->OwnerBand = b;
      b->BandMemo->Assign(&view->Memo);
      // A band's printing script is its OnBeforePrint text, kept in its Memo.
      b->BandScript->Assign(view->EventScript.Count() > 0 ? &view->EventScript : &view->Memo);
      b->BandTop = view->Top;
      b->BandHeight = view->Height;
      b->BandLeft = view->Left;
      b->BandWidth = view->Width;
      b->BandName = view->Name;
      b->BandFlags = view->Flags;
      b->Shown = view->IsVisible();
      b->ColumnIndex = 1;
      b->Stretched = view->Flags & frband::Stretched;
      b->PrintIfSubsetEmpty = view->Flags & frband::PrintIfSubsetEmpty;
      b->PrintChildIfInvisible = view->Flags & frband::PrintChildIfInvisible;
      b->FormNewPage = !IsSubPage && (view->Flags & frband::FormNewPage);
      b->Breaked = !IsSubPage && (view->Flags & frband::Breaked);
      b->BindSource(view->FormatText);
      // Ordinary objects, then cross cells (they keep their cross band), then sub-reports.
      for (int round = 0; round < 3; ++round)
        for (const auto& po : Objects) {
          TfrView* v = po.get();
          const bool sub = v->TypeCode == 3;
          const bool cell = v->OwnerBand != nullptr;
          if (!v->IsSelected || v->TypeCode == 2) continue;
          if ((round == 0 && (sub || cell)) || (round == 1 && !cell) || (round == 2 && (!sub || cell))) continue;
          if (v->Top < b->BandTop || v->Top > b->BandTop + b->BandHeight) continue;
          if (!cell) v->OwnerBand = b;
          else b->HasCross = true;
          v->Top -= b->BandTop;
          v->IsSelected = false;
          b->Items.push_back(v);
        }
    }
    if (bands.empty()) continue;
    std::stable_sort(bands.begin(), bands.end(), [](TfrBand* a, TfrBand* b) { return a->BandTop < b->BandTop; });
    for (std::size_t i = 0; i < bands.size(); ++i) {
      bands[i]->PrevOfKind = i ? bands[i - 1] : nullptr;
      bands[i]->NextOfKind = i + 1 < bands.size() ? bands[i + 1] : nullptr;
    }
    BandTable[static_cast<std::size_t>(kind)] = bands.front();
    bands.front()->KindLast = bands.back();
  }
  // Objects outside every band.
  TfrBand* none = BandTable[btNone];
  for (const auto& po : Objects)
    if (po->IsSelected && !po->OwnerBand && po->TypeCode != 2) {
      po->OwnerBand = none;
      po->IsSelected = false;
      none->Items.push_back(po.get());
    }
  LinkDataLevels();
  // A cross data band's list of "band=data set;" pairs gives rows their own columns.
  TfrBand* crossData = Band(btCrossData);
  if (crossData->BandObject && crossData->BandObject->FormatText.find(';') != String::npos) {
    for (const String& pair : SplitList(crossData->BandObject->FormatText)) {
      const std::size_t eq = pair.find('=');
      if (eq == String::npos) continue;
      const String bandName = Trim(pair.substr(0, eq)), dataSet = Trim(pair.substr(eq + 1));
      for (int k = btMasterHeader; k <= btChild; ++k)
        for (TfrBand* b = Band(k); b; b = b->NextOfKind)
          if (b->BandObject && SameText(b->BandName, bandName) && !b->CrossSource) {
            bool created = false;
            b->CrossSource = FindDataset(dataSet, created);
            b->OwnsCrossSource = created;
          }
    }
  }
  // Child bands and groups by name; a name that names nothing links nothing.
  auto byName = [this](const String& name) -> TfrBand* {
    if (name.empty()) return nullptr;
    for (int k = 0; k <= btChild; ++k)
      for (TfrBand* b = BandTable[static_cast<std::size_t>(k)]; b; b = b->NextOfKind)
        if (b->BandObject && SameText(b->BandName, name)) return b;
    return nullptr;
  };
  ForEachBand(BandTable, [&](TfrBand* b) {
    if (b->BandObject && !b->BandObject->ChildBand.empty()) b->ChildLink = byName(b->BandObject->ChildBand);
  });
  if (Band(btMasterData)->BandObject) {
    for (TfrBand* g = Band(btGroupHeader); g && g->BandObject; g = g->NextOfKind) {
      TfrBand* data = byName(g->BandObject->Master);
      if (!data || !IsDataKind(data->Kind)) data = Band(btMasterData);
      g->GroupPrev = data->GroupLast;
      if (data->GroupLast) data->GroupLast->GroupNext = g;
      else data->GroupFirst = g;
      data->GroupLast = g;
    }
  }
  if (Columns < 1) Columns = 1;
  ColumnWidth = (RightMarginPx() - LeftMarginPx() - (Columns - 1) * ColumnGap) / Columns;
}

void TfrPage::LinkDataLevels() {
  for (int level = 0; level < 3; ++level) {
    const int header = btMasterHeader + 3 * level, data = header + 1, footer = header + 2;
    for (TfrBand* h = Band(header); h && h->BandObject; h = h->NextOfKind)
      for (TfrBand* d = Band(data); d && d->BandObject; d = d->NextOfKind)
        if (h->BandTop + h->BandHeight < d->BandTop) {
          if (!d->OwnHeader) {
            d->OwnHeader = h;
            h->OwnerData = d;
          }
          break;
        }
    for (TfrBand* f = Band(footer); f && f->BandObject; f = f->NextOfKind) {
      TfrBand* found = nullptr;
      for (TfrBand* d = Band(data); d && d->BandObject; d = d->NextOfKind)
        if (d->BandTop + d->BandHeight <= f->BandTop) found = d;
      if (found && !found->OwnFooter) {
        found->OwnFooter = f;
        f->OwnerData = found;
      }
    }
  }
  // Group footers pair with group headers from the inside out.
  std::vector<TfrBand*> headers, footers;
  for (TfrBand* g = Band(btGroupHeader); g && g->BandObject; g = g->NextOfKind) headers.push_back(g);
  for (TfrBand* f = Band(btGroupFooter); f && f->BandObject; f = f->NextOfKind) footers.push_back(f);
  for (std::size_t i = 0; i < headers.size() && i < footers.size(); ++i)
    headers[headers.size() - 1 - i]->OwnFooter = footers[i];
}

void TfrPage::PrepareObjects() {
  TfrEngineState& s = frState();
  TfrReport* r = Running();
  if (!r || Type == 1 || (r->TwoPass && r->FinalPass)) return;
  // Objects that show one field: the field is known before the first record.
  for (const auto& v : Objects) {
    String text = v->Memo.Text();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    auto* m = dynamic_cast<TfrMemoView*>(v.get());
    if (text.size() <= 2 || text[0] != '[' || (m && (m->Flags & frmemo::TextOnly))) continue;
    const std::size_t close = text.rfind(']');
    if (close == String::npos || close < 1) continue;
    const String name = text.substr(1, close - 1);
    v->BoundDataSet = nullptr;
    v->BoundFieldName.clear();
    s.CurrentBand = v->OwnerBand;
    if (r->Dictionary()->IsVariable(name)) {
      for (const auto& c : r->Dictionary()->Cache)
        if (SameText(c.Name, name)) {
          v->BoundDataSet = c.DataSet;
          v->BoundFieldName = c.FieldName;
        }
      continue;
    }
    TComponent* component = r->UseDefaultDataSetName() ? CurrentBandDataSet() : nullptr;
    String field;
    ParseFieldReference(name, component, field);
    if (!field.empty()) {
      if (auto* db = dynamic_cast<TfrDBDataSet*>(component)) v->BoundDataSet = db->SourceDataSet();
      else v->BoundDataSet = dynamic_cast<TDataSet*>(component);
      v->BoundFieldName = field;
    }
  }
  // Aggregate calls become slots of the data bands they count.
  static const std::vector<int> kShowing[] = {{3, 15, 6, 17, 1}, {3, 15, 6, 9, 17, 1}, {3, 15, 6, 9, 12, 17, 1}};
  TRestore<bool> collecting(s.CollectingAggregates, true);
  TRestore<TfrBand*> preparing(s.PreparingBand, nullptr);
  TRestore<TfrBand*> active(s.CurrentBand, nullptr);
  auto search = [&](TfrBand* band) {
    TStringList found;
    TAggregateFunctionsSplitter splitter(&found);
    splitter.SplitScript(band->BandScript.get());
    for (TfrView* v : band->Items) {
      if (dynamic_cast<TfrMemoView*>(v)) splitter.SplitMemo(&v->Memo);
      splitter.SplitScript(&v->EventScript);
    }
    s.CurrentBand = band;
    for (int i = 0; i < found.Count(); ++i) TfrGlobals::Instance()->Parser->Evaluate(found.Strings(i));
  };
  try {
    for (int level = 0; level < 3; ++level)
      for (TfrBand* d = Band(kDataKinds[level]); d; d = d->NextOfKind) {
        if (d != Band(kDataKinds[level]) && !d->Source) continue;
        s.PreparingBand = d;
        for (int kind : kShowing[level]) {
          for (TfrBand* b = Band(kind); b; b = b->ChildLink) search(b);
          for (TfrBand* b = Band(kind)->NextOfKind; b; b = b->NextOfKind) search(b);
        }
      }
  } catch (const Exception& e) {
    r->BuildExpressionError(e);
  }
}

// ================================================================ forming the page

void TfrPage::ShowBand(TfrBand* B) {
  if (!B) return;
  if (RecordMode) Records.emplace_back(B, 0);
  else B->Show();
}

bool TfrPage::ReplayRecords() {
  while (PlayIndex < static_cast<int>(Records.size())) {
    auto [band, action] = Records[static_cast<std::size_t>(PlayIndex)];
    if (action == 1) {
      if (band->Source) band->Source->GoFirst();
      band->LocalLine = 1;
      ForgetPrinted(band);
    } else if (action == 2) {
      if (band->Source) band->Source->GoNext();
      ++LineNo;
      ++band->LocalLine;
      ++band->GlobalLine;
    } else if (PendingBand) {
      if (!PendingBand->RunSubReports(true)) return true;
    } else if (band->Show()) {
      return true;
    }
    ++PlayIndex;
  }
  return false;
}

void TfrPage::ShowBandByName(const String& AName) {
  if (BandTable.empty()) return;  // the page is not running
  for (int k = 0; k <= btNone; ++k)
    for (TfrBand* b = Band(k); b; b = b->NextOfKind)
      if (b->BandObject && SameText(b->BandName, AName)) {
        b->Show();
        return;
      }
}

namespace {

void AddPreparedPage(TfrPage* page) { Root()->PreparedPages()->Add(page); }

void FireEndPage(int index) {
  TfrEngineState& s = frState();
  TfrReport* r = Running();
  if (r && r->OnEndPage()) r->OnEndPage()(index);
  if (s.RootReport && s.RootReport != r && s.RootReport->OnEndPage()) s.RootReport->OnEndPage()(index);
}

}  // namespace

// Page footers of every prepared page from the one being filled to the last (a cross-tab row
// may have added several).
void TfrPage::ShowFooters() {
  TfrEngineState& s = frState();
  TfrBand* footer = Band(btPageFooter);
  const int count = Root()->PreparedPages()->Count();
  if (s.PageIndex != 0 || (footer->BandFlags & frband::OnFirstPage)) {
    for (; s.PageIndex < count; ++s.PageIndex) {
      if (s.AppendToPrevious && s.FooterPending) continue;
      FireEndPage(s.PageIndex);
      ShowBand(footer);
    }
  }
  s.PageIndex = count;
}

void TfrPage::NewPage() {
  TfrEngineState& s = frState();
  if (TfrReport* r = Running()) r->Progress(s.PageIndex + 1);
  if (!RepeatHeadersOff) ShowBand(Band(btColumnFooter));
  ColumnNo = 0;
  ShiftX = LeftMarginPx();
  ShowFooters();
  BottomY = BottomMarginPx();
  AddPreparedPage(this);
  s.AppendToPrevious = false;
  ShowBand(Band(btOverlay));
  PosY = TopMarginPx();
  ShowBand(Band(btPageHeader));
  ShowBand(Band(btColumnHeader));
}

void TfrPage::NewColumn(TfrBand* B) {
  if (ColumnNo < Columns - 1) {
    ShowBand(Band(btColumnFooter));
    ++ColumnNo;
    ShiftX += ColumnWidth + ColumnGap;
    PosY = ColumnTopY;
    ShowBand(Band(btColumnHeader));
  } else {
    NewPage();
  }
  for (TfrBand* g = Band(btGroupHeader); g && g != B; g = g->NextOfKind)
    if (g->BandObject && (g->BandFlags & frband::RepeatHeader) && !RepeatHeadersOff) {
      TRestore<bool> keep(g->ResetSuspended, true);
      ShowBand(g);
    }
  if (B && IsDataKind(B->Kind) && B->OwnHeader && (B->OwnHeader->BandFlags & frband::RepeatHeader)) {
    TRestore<bool> keep(B->OwnHeader->ResetSuspended, true);
    ShowBand(B->OwnHeader);
  }
}

void TfrPage::ShowStack() {
  std::vector<TfrBand*> bands;
  bands.swap(FStack);
  for (TfrBand* b : bands)
    if (b->Exists()) ShowBand(b);
}

void TfrPage::FormPage() {
  TfrEngineState& s = frState();
  TfrReport* r = Running();
  TfrBand* master = Band(btMasterData);
  if (!r->PrintIfEmpty()) {
    bool empty = true;
    if (master->Source) {
      try {
        master->Source->GoFirst();
        empty = master->Source->AtEnd();
      } catch (const Exception&) {
        empty = true;
      }
    }
    if (empty) {
      if (s.AppendToPrevious) ++s.PageIndex;
      return;
    }
  }
  RepeatHeadersOff = false;
  TfrEMFPages* pages = Root()->PreparedPages();
  if (!RecordMode) {
    RunScript(PageScript.get());
    if (s.AppendToPrevious && s.SavedPosY == s.SavedBottomY) {
      s.AppendToPrevious = false;
      s.FooterPending = false;
      s.PageIndex = pages->Count();
    }
    BottomY = s.AppendToPrevious && s.FooterPending ? s.SavedBottomY : BottomMarginPx();
    ColumnNo = 0;
    ShiftX = LeftMarginPx();
    if (s.AppendToPrevious) {
      PosY = s.SavedPosY;
    } else {
      AddPreparedPage(this);
      PosY = TopMarginPx();
      ShowBand(Band(btOverlay));
      ShowBand(Band(btNone));
    }
  }
  const bool manual = static_cast<bool>(r->OnManualBuild());
  bool titleBroke = false;
  if (!manual) {
    const int before = s.PageIndex;
    ShowBand(Band(btReportTitle));
    titleBroke = s.PageIndex != before;
  }
  if (!titleBroke) {
    if (Band(btPageHeader)->BandFlags & frband::OnFirstPage) ShowBand(Band(btPageHeader));
    ShowBand(Band(btColumnHeader));
  }
  if (!manual) {
    FStack.clear();
    DeepestLevel = 0;
    for (int level = 0; level < 3; ++level)
      if (Band(kDataKinds[level])->BandObject) DeepestLevel = level + 1;
    if (DeepestLevel > 0) DataLoop(1);
  }
  if (RecordMode) {
    LastShown = nullptr;
    return;
  }
  const int index = s.PageIndex;
  if (manual) {
    r->OnManualBuild()(this);
  } else {
    RepeatHeadersOff = true;
    ShowBand(Band(btColumnFooter));
    TfrBand* cf = Band(btColumnFooter);
    {
      TRestore<int> noColumnFooter(cf->BandHeight, 0);
      ShowBand(Band(btReportSummary));
    }
    RepeatHeadersOff = false;
  }
  s.SavedPosY = Columns > 1 ? BottomMarginPx() : PosY;
  s.SavedBottomY = BottomY;
  ColumnNo = 0;
  ShiftX = LeftMarginPx();
  if (!manual) {
    TfrBand* footer = Band(btPageFooter);
    if ((footer->BandFlags & frband::OnLastPage) || (s.PageIndex == 0 && (footer->BandFlags & frband::OnFirstPage))) {
      TRestore<Word> first(footer->BandFlags, Word(footer->BandFlags | frband::OnFirstPage));
      ShowFooters();
      s.FooterPending = footer->Exists();
    }
  }
  FireEndPage(s.PageIndex < pages->Count() ? s.PageIndex : pages->Count() - 1);
  s.PageIndex = index + 1;
  LastShown = nullptr;
}

// The records of the data bands of one level, with the levels below inside each record.
void TfrPage::DataLoop(int Level) {
  TfrEngineState& s = frState();
  TfrParser* parser = TfrGlobals::Instance()->Parser.get();
  auto push = [this](TfrBand* b) {
    if (b) FStack.push_back(b);
  };
  for (TfrBand* b = Band(kDataKinds[Level - 1]); b; b = b->NextOfKind) {
    TfrDataset* ds = b->Source;
    if (!ds) continue;
    // What this level pushed and never printed is dropped when its records end, so a band
    // of an outer level waiting on the stack is not taken for this level's.
    const std::size_t entryDepth = FStack.size();
    ds->GoFirst();
    if (RecordMode) {
      Records.emplace_back(b, 1);
    } else {
      b->LocalLine = b->GlobalLine = 1;
      ForgetPrinted(b);
    }
    for (TfrBand* g = b->GroupFirst; g; g = g->GroupNext) {
      g->LocalLine = g->GlobalLine = 0;
      ForgetPrinted(g);
    }
    bool printedAny = false;
    if (!ds->AtEnd()) {
      push(b->OwnHeader);
      for (TfrBand* g = b->GroupFirst; g; g = g->GroupNext) {
        ++g->LocalLine;
        ++g->GlobalLine;
        push(g);
      }
      if (b->OwnFooter) b->OwnFooter->ResetValues();
    }
    while (!ds->AtEnd() && !Terminated()) {
      bool printed = true;
      const std::size_t depth = FStack.size();
      push(b);
      if (b->PrintIfSubsetEmpty) ShowStack();
      if (Level < DeepestLevel) {
        DataLoop(Level + 1);
        if (FStack.size() > depth) {
          if (b->PrintIfSubsetEmpty) {
            ShowStack();
          } else {
            FStack.pop_back();  // the detail printed nothing: the record is left out
            printed = false;
          }
        }
      } else {
        ShowStack();
      }
      printedAny = printedAny || printed;
      ds->GoNext();
      TfrBand* changed = nullptr;
      for (TfrBand* g = b->GroupFirst; g && !changed; g = g->GroupNext) {
        if (ds->AtEnd() || VarIsEmpty(g->GroupValue)) changed = g;
        else if (!g->GroupExpr.empty() && parser->EvalPostfix(g->GroupExpr) != g->GroupValue) changed = g;
      }
      if (changed) {
        bool back = false;
        if (!ds->AtEnd()) {
          try {
            ds->GoPrior();
            back = true;
          } catch (const Exception&) {
          }
        }
        for (TfrBand* h = b->GroupLast; h && h != changed; h = h->PrevOfKind) {
          push(h->OwnFooter);
          h->LocalLine = 0;
          if (h->OwnFooter) h->OwnFooter->LocalLine = 0;
          ForgetPrinted(h);
        }
        push(changed->OwnFooter);
        ShowStack();
        if (!ds->AtEnd()) {
          if (back) ds->GoNext();
          if (changed->FormNewPage && changed->Shown) NewPage();
          for (TfrBand* g = changed; g; g = g->GroupNext) {
            ++g->LocalLine;
            ++g->GlobalLine;
            push(g);
          }
          b->LocalLine = 0;
        }
      }
      if (RecordMode) {
        Records.emplace_back(b, 2);
      } else if (printed) {
        ++LineNo;
        ++b->GlobalLine;
        ++b->LocalLine;
        if (b->Shown && b->FormNewPage && !ds->AtEnd()) NewPage();
      }
    }
    if (!printedAny) {
      if (FStack.size() > entryDepth) FStack.resize(entryDepth);
    } else {
      if (FStack.size() > entryDepth) FStack.resize(entryDepth);
      if (FStack.empty()) ShowBand(b->OwnFooter);
    }
    (void)s;
  }
}

void TfrPage::FinishRun() {
  TfrReport* r = Running();
  if (r && r->TwoPass && !r->FinalPass) return;
  FreeBands();
  if (PageForm) {
    // The form does not take its hosted controls with it: their objects own them.
    for (const auto& v : Objects)
      if (auto* c = dynamic_cast<TfrControl*>(v.get()); c && c->HostedControl) c->HostedControl->SetParent(nullptr);
    PageForm.reset();
  }
  Prepared = false;
}
