// The grid's layout pass (columns, fixed columns, row and title heights, the horizontal bar,
// auto-fitted widths, the title tree), the reaction to a column sized with the mouse, the row
// count and the vertical bar from the dataset, and the grid's cell geometry.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"

#include "gui/StdCtrls.h"
#include "gui/WinGDI.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr int kIndicatorWidth = 11;

// Metrics of a font, measured on the grid's canvas or, while the grid has no window, on the
// screen's context.
struct TMetrics {
  TEXTMETRIC Tm{};
  int TextHeight = 0;  // of "Wg"
  int LineHeight() const { return Tm.tmExternalLeading + Tm.tmHeight; }
};

template <class Fn> auto WithMeasuringCanvas(TCustomDBGridEh* Grid, Fn&& Do) {
  TCanvas* canvas = Grid->Canvas();
  bool borrowed = !Grid->HandleAllocated() && !canvas->HandleAllocated();
  if (borrowed) canvas->SetHandle(GetScreenDC());
  struct TGiveBack {
    TCanvas* C;
    bool B;
    ~TGiveBack() {
      if (B) C->SetHandle(nullptr);
    }
  } giveBack{canvas, borrowed};
  return Do(canvas);
}

TMetrics MeasureOnCanvas(TCustomDBGridEh* Grid, TFont* Font) {
  return WithMeasuringCanvas(Grid, [&](TCanvas* c) {
    TMetrics m;
    c->Font()->Assign(Font);
    GetTextMetrics(c->Handle(), &m.Tm);
    m.TextHeight = c->TextHeight("Wg");
    return m;
  });
}

// What sizes text in a font; the colour does not.
struct TFontMeasureKey {
  TFontName Name;
  int Height, Orientation, PixelsPerInch;
  TFontStyles Style;
  TFontCharset Charset;
  TFontPitch Pitch;
  explicit TFontMeasureKey(TFont* F)
      : Name(F->Name()), Height(F->Height()), Orientation(F->Orientation()), PixelsPerInch(F->PixelsPerInch()),
        Style(F->Style()), Charset(F->Charset()), Pitch(F->Pitch()) {}
  bool operator==(const TFontMeasureKey& o) const {
    return Height == o.Height && Orientation == o.Orientation && PixelsPerInch == o.PixelsPerInch &&
           Style == o.Style && Charset == o.Charset && Pitch == o.Pitch && Name == o.Name;
  }
};

// Grids are laid out again whenever their dataset opens (a detail list, on every move of its
// master), and every pass measures the grid's, the titles' and the columns' fonts on a screen
// context. Fonts alike in everything that sizes text measure alike: the metrics are kept by
// those properties (a few fonts at most; the oldest goes first).
TMetrics Measure(TCustomDBGridEh* Grid, TFont* Font) {
  static std::vector<std::pair<TFontMeasureKey, TMetrics>> kept;
  TFontMeasureKey key(Font);
  for (const auto& [k, m] : kept)
    if (k == key) return m;
  TMetrics m = MeasureOnCanvas(Grid, Font);
  if (kept.size() >= 16) kept.erase(kept.begin());
  kept.emplace_back(std::move(key), m);
  return m;
}

}  // namespace

// ================================================================ the layout pass

void TCustomDBGridEh::LayoutChanged() {
  if (Loading()) return;
  struct TMark {
    bool& F;
    ~TMark() { F = false; }
  } mark{FImpl->FLayingOut = true};
  RemoveTransientColumns();
  BuildFieldMap();
  GenerateDefaultColumns();
  RebuildVisibleColumns();
  LayoutRowHeight();
  if (FOptions.Contains(dgTitles) && !FImpl->FUseMultiTitle) LayoutTitleHeight();
  LayoutHorzScrollBar();
  UpdateTabStops();
  AutoFitWidths();
  UpdateTabStops();
  if (FOptions.Contains(dgTitles)) {
    if (FImpl->FTitleHeight > 0 || FImpl->FTitleLines > 0) {
      TMetrics m = Measure(this, FImpl->FTitleFont.get());
      int h = FImpl->FTitleLines * m.Tm.tmHeight + m.Tm.tmExternalLeading + FImpl->FTitleHeight + 2;
      if (FOptions.Contains(dgRowLines)) ++h;
      TCustomGrid::SetRowHeights(0, h);
    }
    if (FImpl->FUseMultiTitle) {
      FImpl->FHeadTree->BuildFromColumns(this, FImpl->FLeaves);
      int total = THeadTreeNode::CalcTitleBandHeights(
          FImpl->FHeadTree.get(), [this](THeadTreeNode* n) { return MeasureTitleCaption(n); });
      TCustomGrid::SetRowHeights(0, std::max(1, total - (FOptionsEh.Contains(dghFixed3D) ? 1 : 3)));
    }
  }
  UpdateTabStops();
  int leftCol = LeftCol();
  RecalcRowCount();
  RefreshVertScrollBar();
  if (FOptions.Contains(dgRowSelect) && leftCol < ColCount()) SetLeftCol(std::max(FixedCols(), leftCol));
  // The current cell may stay in a frozen column, never on the indicator.
  if (Col() < IndicatorOffset() && ColCount() > FixedCols()) MoveColRow(FixedCols(), Row(), true, false);
  SyncCurrentRow();
  UpdateExtHorzScrollBar();
  Invalidate();
  // Widths, titles or columns changed: the filter row's editor goes where its cell now is
  // (or the row is left when the cell went).
  if (FImpl->FInFilterRow) PlaceFilterEditor(false);
}

void TCustomDBGridEh::RemoveTransientColumns() {
  // A generated column before a stored one means the stored ones came later: the generated
  // ones go and the stored ones stay.
  bool seenTransient = false, mixed = false;
  for (int i = 0; i < FColumns->Count() && !mixed; ++i) {
    if (FColumns->Items(i)->IsTransient()) seenTransient = true;
    else if (seenTransient) mixed = true;
  }
  if (!mixed) return;
  for (int i = FColumns->Count() - 1; i >= 0; --i)
    if (FColumns->Items(i)->IsTransient()) delete FColumns->Items(i);
}

void TCustomDBGridEh::GenerateDefaultColumns() {
  if (FColumns->IsCustomized()) {
    for (int i = 0; i < FColumns->Count(); ++i) {
      TColumnEh* c = FColumns->Items(i);
      TDataSet* ds = DataSet();
      c->SetField(ds && FDataLink->Active() ? ds->FindField(c->FieldName()) : nullptr);
    }
    return;
  }
  if (!FDataLink->Active()) {
    FColumns->Clear();
    return;
  }
  int fields = FDataLink->FieldCount();
  // Columns whose field the link no longer shows go.
  for (int i = FColumns->Count() - 1; i >= 0; --i) {
    TField* f = FColumns->Items(i)->Field();
    bool shown = false;
    for (int k = 0; k < fields && !shown; ++k) shown = FDataLink->FieldAt(k) == f;
    if (!f || !shown) delete FColumns->Items(i);
  }
  for (int k = 0; k < fields; ++k) {
    TField* f = FDataLink->FieldAt(k);
    TColumnEh* found = nullptr;
    for (int i = 0; i < FColumns->Count() && !found; ++i)
      if (f && FColumns->Items(i)->Field() == f) found = FColumns->Items(i);
    if (!found) {
      found = FColumns->AddTransientColumn();
      if (f) found->SetField(f);
    }
    found->SetIndex(k);
  }
}

void TCustomDBGridEh::RebuildVisibleColumns() {
  FVisibleColumns->Clear();
  int frozen = std::max(0, FImpl->FFrozenCols);  // a negative count freezes nothing
  int hiddenInFrozen = 0, visibleSeen = 0;
  bool pastFrozen = false;
  for (int i = 0; i < FColumns->Count(); ++i) {
    TColumnEh* c = FColumns->Items(i);
    if (c->Visible()) {
      FVisibleColumns->Add(c);
      if (++visibleSeen >= frozen) pastFrozen = visibleSeen > frozen;
    } else if (frozen > 0 && !pastFrozen) {
      // Hidden columns inside the frozen range and directly after it stay fixed with it.
      ++hiddenInFrozen;
    }
  }
  int indicator = IndicatorOffset();
  int cols = std::max(FColumns->Count(), 1) + indicator;
  int fixed = indicator;
  if (FDataLink->Active() || FColumns->IsCustomized()) fixed += frozen + hiddenInFrozen;
  if (FVisibleColumns->Count() == 0) fixed = std::max(indicator, fixed - 1);
  fixed = std::min(fixed, cols - 1);
  int current = Col();
  TCustomGrid::SetFixedCols(0);
  TCustomGrid::SetColCount(cols);
  TCustomGrid::SetFixedCols(fixed);
  // A current frozen column stays current; the base grid moves the cell out of fixed ones.
  if (current != Col() && current >= indicator && current < fixed) MoveCurrent(current, Row(), true, false);
  int fixedRows = TopDataOffset();
  if (RowCount() <= fixedRows) TCustomGrid::SetRowCount(fixedRows + 1);
  TCustomGrid::SetFixedRows(fixedRows);
}

void TCustomDBGridEh::LayoutRowHeight() {
  TMetrics m = Measure(this, Font());
  int rowBase = (FImpl->FFlat ? 1 : 3) + (FOptions.Contains(dgRowLines) ? GridLineWidth() : 0);
  int height = FImpl->FRowHeight > 0 || FImpl->FRowLines > 0 ? FImpl->FRowHeight + FImpl->FRowLines * m.LineHeight()
                                                             : m.TextHeight + rowBase;
  if (FOptionsEh.Contains(dghFitRowHeightToText) && m.TextHeight > 0) {
    int above = std::max(0, height - rowBase);
    int lines = above / m.TextHeight, rest = above % m.TextHeight;
    if (!(rest <= m.TextHeight / 2 && lines >= 1)) ++lines;
    FImpl->FRowLines = lines;
    FImpl->FRowHeight = rowBase;
    height = FImpl->FRowHeight + FImpl->FRowLines * m.LineHeight();
  }
  int title = FOptions.Contains(dgTitles) && RowCount() > 0 ? RowHeights(0) : -1;
  TCustomGrid::SetDefaultRowHeight(std::max(1, height));
  if (title >= 0) TCustomGrid::SetRowHeights(0, title);
  if (FImpl->FEditButtonWidth > 0)
    FImpl->FEditButtonHeight = height <= Round(FImpl->FEditButtonWidth * 1.5)
                                   ? height
                                   : EditButtonHeightFor(FImpl->FEditButtonWidth, FImpl->FFlat);
  FImpl->FWordWrapPossible = m.LineHeight() + m.Tm.tmInternalLeading + TextMargin() < height;
}

void TCustomDBGridEh::LayoutTitleHeight() {
  int h = 0;
  if (FColumns->Count() == 0) h = Measure(this, FImpl->FTitleFont.get()).TextHeight + TextMargin();
  for (int i = 0; i < FColumns->Count(); ++i)
    h = std::max(h, Measure(this, FColumns->Items(i)->Title()->Font()).TextHeight + TextMargin());
  if (RowCount() > 0) TCustomGrid::SetRowHeights(0, h);
}

void TCustomDBGridEh::LayoutHorzScrollBar() {
  bool show = FImpl->FHorzScrollBar->Visible() && !FImpl->FHorzScrollBar->ExtScrollBar() &&
              (!FImpl->FAutoFitColWidths || Designing());
  TScrollStyle want = show ? ssHorizontal : ssNone;
  if (ScrollBars() == want) return;
  TCustomGrid::SetScrollBars(want);
  if (HandleAllocated()) RecreateWnd();
  RefreshVertScrollBar();
}

void TCustomDBGridEh::AutoFitWidths() {
  if (!FImpl->FAutoFitColWidths || Designing() || !HandleAllocated()) return;
  int n = FColumns->Count();
  FImpl->FOutOfRange.assign(n, false);
  auto fits = [&](int i) {
    return FColumns->Items(i)->Visible() && FColumns->Items(i)->AutoFitColWidth();
  };
  std::vector<int> widths(n);
  for (int i = 0; i < n; ++i) widths[i] = FColumns->Items(i)->Width();
  int room = 0;
  for (int round = 0; round <= FVisibleColumns->Count(); ++round) {
    RefreshVertScrollBar();
    int shares = 0, fixed = 0;
    for (int i = 0; i < n; ++i) {
      if (!FColumns->Items(i)->Visible()) continue;
      if (fits(i) && !FImpl->FOutOfRange[i]) shares += FColumns->Items(i)->InitialWidth();
      else fixed += widths[i];
    }
    room = std::max(0, std::max(ClientWidth(), FImpl->FMinAutoFitWidth) - fixed);
    if (FOptions.Contains(dgIndicator)) room -= kIndicatorWidth;
    if (FOptions.Contains(dgColLines)) room -= FVisibleColumns->Count();
    if (FOptions.Contains(dgIndicator) && FOptions.Contains(dgColLines)) room -= 1;
    bool limited = false;
    for (int i = 0; i < n && shares > 0; ++i) {
      if (!fits(i) || FImpl->FOutOfRange[i]) continue;
      TColumnEh* c = FColumns->Items(i);
      // Truncated, not rounded: the rightmost column takes what the truncation left.
      int want = static_cast<int>(int64_t(room) * c->InitialWidth() / shares);
      widths[i] = c->ClampWidth(want);
      if (widths[i] != want) {
        FImpl->FOutOfRange[i] = true;
        limited = true;
      }
    }
    if (!limited) break;
  }
  int sum = 0, last = -1;
  for (int i = 0; i < n; ++i)
    if (fits(i) && !FImpl->FOutOfRange[i]) {
      sum += widths[i];
      last = i;
    }
  if (last >= 0 && sum != room) widths[last] = std::max(0, widths[last] + room - sum);
  ++FImpl->FUpdateLock;
  struct TRelease {
    int& L;
    ~TRelease() { --L; }
  } release{FImpl->FUpdateLock};
  for (int i = 0; i < n; ++i)
    if (fits(i) && FColumns->Items(i)->Width() != widths[i]) {
      FColumns->Items(i)->SetWidth(widths[i]);
      // A column's own limits never apply twice: the fitted width is what the grid shows.
      TCustomGrid::SetColWidths(DataToRawColumn(i), widths[i]);
    }
}

int TCustomDBGridEh::MeasureTitleCaption(THeadTreeNode* Node) {
  TColumnEh* leaf = Node->LeafColumn;
  TFont* font = leaf ? leaf->Title()->Font() : FImpl->FTitleFont.get();
  String text = Node->NodeText.empty() ? String(" ") : Node->NodeText;
  return WithMeasuringCanvas(this, [&](TCanvas* c) {
    c->Font()->Assign(font);
    if (leaf && leaf->Title()->Orientation() == tohVertical) return c->TextWidth(text) + 6;
    TRect r{0, 0, std::max(1, Node->NodeWidth - Node->MarkerIndent - 4), 0};
    DrawText(c->Handle(), text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return r.Height() + FImpl->FVTitleMargin;
  });
}

THeadTreeNode* TCustomDBGridEh::LeafOf(int DataCol) const {
  return DataCol >= 0 && DataCol < static_cast<int>(FImpl->FLeaves.size()) ? FImpl->FLeaves[DataCol] : nullptr;
}

// ================================================================ a column sized with the mouse

namespace {

// Keeps the filter row's editor still while the new widths reach the columns and their
// handlers, also when a handler raises.
class TEditorMovesHold {
public:
  explicit TEditorMovesHold(TSTDBGridEhFilter* Filter) : FFilter(Filter) {
    if (FFilter) FFilter->SuspendEditorMoves();
  }
  ~TEditorMovesHold() {
    if (FFilter) FFilter->ResumeEditorMoves();
  }
  TEditorMovesHold(const TEditorMovesHold&) = delete;
  TEditorMovesHold& operator=(const TEditorMovesHold&) = delete;

private:
  TSTDBGridEhFilter* FFilter;
};

}  // namespace

void TCustomDBGridEh::ColWidthsChanged() {
  TCustomGrid::ColWidthsChanged();
  if (FImpl->FUpdateLock > 0 || !FColumns) return;
  {
    TEditorMovesHold hold(FSTFilter.get());
    if ((FDataLink->Active() || FColumns->IsCustomized()) && FImpl->FLayoutLock == 0) {
      TDBGridEhLayoutLock lock(this);
      int indicator = IndicatorOffset();
      for (int i = 0; i < FColumns->Count() && i + indicator < ColCount(); ++i) {
        TColumnEh* c = FColumns->Items(i);
        int raw = i + indicator;
        if (!c->Visible()) continue;
        int now = c->ClampWidth(ColWidths(raw));
        int old = c->Width();
        if (now == old) continue;
        if (!FImpl->FAutoFitColWidths || Designing()) c->SetWidth(now);
        else SizeAutoFitColumn(i, old, now);
      }
    }
    InvalidateEditor();
    if (OnColWidthsChanged) OnColWidthsChanged(this);
    UpdateExtHorzScrollBar();
  }
  // The filter row's editor stood still while the widths changed; now it follows its cell.
  if (FImpl->FInFilterRow) PlaceFilterEditor(false);
}

void TCustomDBGridEh::SizeAutoFitColumn(int Index, int Old, int New) {
  TColumnEh* c = FColumns->Items(Index);
  auto scaled = [](int Initial, int Num, int Den) { return Den > 0 ? std::max(1, MulDiv(Initial, Num, Den)) : Initial; };
  if (FOptionsEh.Contains(dghResizeWholeRightPart)) {
    if (c->AutoFitColWidth()) c->SetInitialWidth(scaled(c->InitialWidth(), New, Old));
    else c->SetWidth(New);
    int total = 0;
    for (int k = Index + 1; k < FColumns->Count(); ++k)
      if (FColumns->Items(k)->Visible() && FColumns->Items(k)->AutoFitColWidth())
        total += FColumns->Items(k)->Width();
    for (int k = Index + 1; k < FColumns->Count() && total > 0; ++k) {
      TColumnEh* r = FColumns->Items(k);
      if (r->Visible() && r->AutoFitColWidth()) r->SetInitialWidth(scaled(r->InitialWidth(), total + Old - New, total));
    }
    return;
  }
  if (!c->AutoFitColWidth()) {
    c->SetWidth(New);
    return;
  }
  int before = c->InitialWidth();
  c->SetInitialWidth(scaled(before, New, Old));
  for (int k = Index + 1; k < FColumns->Count(); ++k) {
    TColumnEh* r = FColumns->Items(k);
    if (!r->Visible()) continue;
    r->SetInitialWidth(std::max(0, r->InitialWidth() + before - c->InitialWidth()));
    break;
  }
}

// ================================================================ rows and the vertical bar

void TCustomDBGridEh::RecalcRowCount() {
  if (!FDataLink) return;
  if (ViewMode()) {
    RecalcViewRowCount();
    return;
  }
  int top = TopDataOffset();
  ++FImpl->FUpdateLock;
  struct TRelease {
    int& L;
    ~TRelease() { --L; }
  } release{FImpl->FUpdateLock};
  if (RowCount() < top + 1) TCustomGrid::SetRowCount(top + 1);
  TCustomGrid::SetFixedRows(top);
  int lineH = FOptions.Contains(dgRowLines) ? GridLineWidth() : 0;
  int rowH = DefaultRowHeight();
  int fixedH = 0;
  if (FOptions.Contains(dgTitles)) fixedH += RowHeights(0) + lineH;
  fixedH += (FilterRowCount() + FFooterRowCount) * (rowH + lineH);
  if (FFooterRowCount > 0) fixedH += lineH;
  int title = FOptions.Contains(dgTitles) ? RowHeights(0) : -1;
  TCustomGrid::SetDefaultRowHeight(rowH);
  if (title >= 0) TCustomGrid::SetRowHeights(0, title);
  int filler = FFooterRowCount > 0 ? 1 : 0;
  auto fillerHeight = [&](int Records) {
    int used = fixedH + Records * (rowH + lineH);
    return std::max(0, ClientHeight() - used);
  };
  bool hasRecords = FDataLink->Active() && DataSet() && !(DataSet()->Bof() && DataSet()->Eof());
  if (hasRecords && HandleAllocated()) {
    int buffer = std::max(1, (ClientHeight() - fixedH) / std::max(1, rowH + lineH));
    FDataLink->SetBufferCount(buffer);
    int records = FDataLink->RecordCount();
    TCustomGrid::SetRowCount(records + top + (FFooterRowCount > 0 ? FFooterRowCount + filler : 0));
    if (FFooterRowCount > 0) TCustomGrid::SetRowHeights(top + records, fillerHeight(records));
  } else {
    TCustomGrid::SetRowCount(top + 1 +
                             (HandleAllocated() && FFooterRowCount > 0 ? FFooterRowCount + filler : 0));
    if (HandleAllocated() && FFooterRowCount > 0) TCustomGrid::SetRowHeights(top + 1, fillerHeight(1));
  }
  if (hasRecords && HandleAllocated()) SyncCurrentRow();
}

int TCustomDBGridEh::ScrollBarRecordCount() const {
  TDataSet* ds = DataSet();
  if (!FDataLink->Active() || !ds) return -1;
  if (FSumList->Active() && FSumList->VirtualRecords()) return FSumList->RecordTotal();
  return ds->IsSequenced() ? ds->RecordCount() : -1;
}

void TCustomDBGridEh::RefreshVertScrollBar() {
  if (!FDataLink || !HandleAllocated()) return;
  if (ViewMode()) {
    RefreshViewScrollBar();
    return;
  }
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  TDataSet* ds = DataSet();
  int count = ScrollBarRecordCount();
  if (!FDataLink->Active() || !ds) {
    si.nMin = 0, si.nMax = 1, si.nPage = 2, si.nPos = 0;
  } else if (count >= 0) {
    // The rows the client holds, whether records fill them or not.
    int page = std::max(1, FDataLink->BufferCount());
    si.nMin = 1;
    si.nMax = count + page - 1;
    si.nPage = page;
    SCROLLINFO old;
    old.fMask = SIF_POS;
    GetScrollInfo(Handle(), SB_VERT, &old);
    bool editing = ds->State() == dsEdit || ds->State() == dsInsert;
    int recNo = FSumList->Active() && FSumList->VirtualRecords() ? FSumList->CurrentRecordNumber()
                                                                               : ds->RecNo();
    si.nPos = editing ? old.nPos : recNo;
  } else {
    si.nMin = 0, si.nMax = 4, si.nPage = 0;
    si.nPos = ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
  }
  SCROLLINFO ext = si;  // an external bar shows the grid's range; the grid's own bar then none
  if (!FImpl->FVertScrollBar->Visible() || FImpl->FVertScrollBar->ExtScrollBar()) si.nMin = si.nMax = 0, si.nPage = 0;
  // Always-shown bars stay visible, disabled while there is nothing to scroll.
  WindowBars()->SetAllowed(SB_VERT, FImpl->FVertScrollBar->Visible() && !FImpl->FVertScrollBar->ExtScrollBar());
  WindowBars()->SetDisableNoScroll(FImpl->FVertScrollBar->VisibleMode() == sbAlwaysShowEh &&
                                   !FImpl->FVertScrollBar->ExtScrollBar());
  WindowBars()->SetInfo(SB_VERT, si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos);
  if (auto* bar = dynamic_cast<TScrollBar*>(FImpl->FVertScrollBar->ExtScrollBar())) {
    bar->SetPageSize(0);
    bar->SetParams(ext.nPos, std::min(ext.nMin, ext.nMax), ext.nMax);
    bar->SetPageSize(std::min(static_cast<int>(ext.nPage), bar->Max() - bar->Min() + 1));
  }
}

void TCustomDBGridEh::UpdateExtHorzScrollBar() {
  auto* ext = dynamic_cast<TScrollBar*>(FImpl->FHorzScrollBar->ExtScrollBar());
  if (!ext || !HandleAllocated()) return;
  int fixed = FixedCols(), last = ColCount() - 1;
  // The leftmost column from which the last one is still wholly visible.
  int room = ClientWidth() - FixedWidth(), maxLeft = last;
  for (int used = 0; maxLeft >= fixed; --maxLeft) {
    used += ColWidths(maxLeft) + (FOptions.Contains(dgColLines) ? GridLineWidth() : 0);
    if (used > room) {
      ++maxLeft;
      break;
    }
  }
  maxLeft = std::clamp(maxLeft, fixed, last);
  bool all = maxLeft <= fixed;
  int max = all ? 0 : 127;
  int pos = all ? 0 : MulDiv(LeftCol() - fixed, 127, maxLeft - fixed);
  // A bar's page never exceeds its range; with every column shown there is nothing to page.
  int page = std::min(FVisibleColumns->Count(), max + 1);
  if (ext->Min() == 0 && ext->Max() == max && ext->Position() == pos && ext->PageSize() == page) return;
  ext->SetPageSize(0);
  ext->SetParams(pos, 0, max);
  ext->SetPageSize(page);
}

// ================================================================ geometry

TGridRect TCustomDBGridEh::DataCellBox() const {
  int bottom = FFooterRowCount > 0 ? RowCount() - FFooterRowCount - 2 : RowCount();
  return TGridRect{IndicatorOffset(), TopDataOffset(), ColCount() - 1, bottom};
}

int TCustomDBGridEh::DataRowCount() const {
  int n = RowCount() - TopDataOffset();
  return FFooterRowCount > 0 ? n - (FFooterRowCount + 1) : n;
}

int TCustomDBGridEh::VisibleDataRowCount() const {
  int n = VisibleRowCount();
  return FFooterRowCount > 0 ? std::max(1, n - (FFooterRowCount + 1)) : n;
}

int TCustomDBGridEh::GetCellType(int ACol, int ARow, int& DataCol, int& DataRow) const {
  int colArea;
  if (ACol < IndicatorOffset()) {
    colArea = caIndicator;
    DataCol = ACol;
  } else {
    colArea = caData;
    DataCol = ACol - IndicatorOffset();
  }
  TGridRect box = DataCellBox();
  int titles = TitleRowCount();
  int rowArea;
  if (ARow < 0) throw Exception("Algorithm error in TCustomDBGridEh.GetCellType");
  if (ARow < titles) {
    rowArea = raTitle;
    DataRow = ARow;
  } else if (ARow < titles + FilterRowCount()) {
    rowArea = raFilter;
    DataRow = ARow - titles;
  } else if (ARow >= box.Top && ARow <= box.Bottom) {
    rowArea = raData;
    DataRow = ARow - box.Top;
  } else if (ARow == box.Bottom + 1) {
    rowArea = raFiller;
    DataRow = 0;
  } else if (ARow > box.Bottom + 1) {
    rowArea = raFooter;
    DataRow = ARow - (box.Bottom + 1);
  } else {
    throw Exception("Algorithm error in TCustomDBGridEh.GetCellType");
  }
  return CellArea(colArea, rowArea);
}

bool TCustomDBGridEh::CellDrawn3D(int ACol, int ARow, TGridDrawState State) const {
  int c = ACol - IndicatorOffset(), r = ARow - TopDataOffset();
  int footerStart = RowCount() - FFooterRowCount - TopDataOffset();
  bool filler = FFooterRowCount > 0 && r + 1 == footerStart;
  bool footer = FFooterRowCount > 0 && r >= footerStart;
  bool fixed = State.Contains(gdFixed);
  // A filter cell that shows its column's filter is drawn flat.
  if (r < 0 && ARow >= TitleRowCount() && c >= 0 && c < FColumns->Count() &&
      FColumns->Items(c)->Visible())
    return false;
  const TDBGridEhOptions& o = FOptionsEh;
  const bool rules[] = {
      o.Contains(dghFixed3D) && fixed && !filler && (c < 0 || r < 0),
      o.Contains(dghFooter3D) && footer,
      o.Contains(dghData3D) && !fixed && !footer,
      o.Contains(dghFixed3D) && (o.Contains(dghData3D) || o.Contains(dghFrozen3D)) && c < 0 && filler,
      o.Contains(dghFrozen3D) && fixed && c >= 0 && r >= 0,
  };
  return std::find(std::begin(rules), std::end(rules), true) != std::end(rules);
}

void TCustomDBGridEh::MoveToColumn(int ACol) {
  if (ACol >= IndicatorOffset() && ACol < FixedCols()) MoveCurrent(ACol, Row(), true, true);
  else SetCol(ACol);
}

void TCustomDBGridEh::InvalidateCellRange(const TGridRect& Range) { InvalidateGridRect(Range); }

int TCustomDBGridEh::FrozenExtent() const {
  int line = FOptions.Contains(dgColLines) ? GridLineWidth() : 0, w = 0;
  for (int i = IndicatorOffset(); i < FixedCols(); ++i) w += std::max(0, ColWidths(i) + line);
  return w;
}

void TCustomDBGridEh::RowHeightsChanged() {
  TCustomGrid::RowHeightsChanged();
  if (FImpl->FUpdateLock > 0 || !FImpl->FRowSizingAllowed || GridState() != gsRowSizing) return;
  // A row the user sized gives every data row its height.
  int first = TitleRowCount();
  int end = std::min(RowCount(), TopDataOffset() + FDataLink->RecordCount() + 1);
  for (int r = first; r < end; ++r)
    if (RowHeights(r) != DefaultRowHeight()) {
      FImpl->FRowLines = 0;
      FImpl->FRowHeight = RowHeights(r);
      RebuildLayout();
      RefreshVertScrollBar();
      break;
    }
}

// ================================================================ optimal widths

int TCustomDBGridEh::OptimalTitleWidth(TColumnEh* Column) {
  TColumnTitleEh* title = Column->Title();
  int marker = title->SortMarkerSpace();
  int m = marker >= 3 ? marker + 2 : 4;
  if (FImpl->FTitleImages && title->ImageIndex() != -1) return m + FImpl->FTitleImages->Width();
  THeadTreeNode* leaf = FImpl->FUseMultiTitle ? LeafOf(Column->Index()) : nullptr;
  String text = leaf ? leaf->NodeText : title->Caption();
  bool wrap = FImpl->FUseMultiTitle || FImpl->FTitleHeight > 0 || FImpl->FTitleLines > 0;
  return WithMeasuringCanvas(this, [&](TCanvas* c) {
    c->Font()->Assign(title->Font());
    if (title->Orientation() == tohVertical) return m + c->TextHeight(text);
    if (!wrap) return m + c->TextWidth(text);
    int height = leaf ? leaf->NodeHeight : (RowCount() > 0 ? RowHeights(0) : 0);
    // The narrowest width at which the wrapped caption still fits the title's height.
    int widest = c->TextWidth(text), w = 1;
    for (; w < widest; ++w) {
      TRect r{0, 0, w, 0};
      DrawText(c->Handle(), text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      if (r.Height() <= height && r.Width() <= w) break;
    }
    return m + w;
  });
}

int TCustomDBGridEh::OptimalCellWidth(TColumnEh* Column) {
  int w = 4;
  if (Column->AlwaysShowEditButton()) w += FImpl->FEditButtonWidth;
  switch (Column->ColumnKind()) {
    case ckImage: return w + (Column->ImageList() ? Column->ImageList()->Width() : 0);
    case ckCheckbox: return w + CheckBoxGlyphWidth();
    default: break;
  }
  TFont font;
  font.Assign(Column->Font());
  TColor back = Column->Color();
  FireGetCellParams(Column, &font, back, TGridDrawState());
  Column->FillCellParams(FImpl->FCellParams.get());
  FImpl->FCellParams->SetFont(&font);
  Column->FireGetCellParams(false, FImpl->FCellParams.get());
  String text = FImpl->FCellParams->Text();
  return WithMeasuringCanvas(this, [&](TCanvas* c) {
    c->Font()->Assign(&font);
    if (!(Column->WordWrap() && FImpl->FWordWrapPossible)) return w + c->TextWidth(text);
    TRect r{0, 0, std::max(1, Column->Width()), 0};
    DrawText(c->Handle(), text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return w + r.Width();
  });
}

void TCustomDBGridEh::OptimizeColumnWidths(TColumnsEhList* ColumnsList) {
  if (!ColumnsList || ColumnsList->Count() == 0 || !FDataLink->Active() || !DataSet()) return;
  int n = ColumnsList->Count();
  std::vector<int> widths(n);
  for (int i = 0; i < n; ++i) widths[i] = OptimalTitleWidth(ColumnsList->Items(i));
  TDataSet* ds = DataSet();
  {
    TControlsHold hold(ds);
    // The position comes back as it was: the middle record of the buffer and the active
    // record's distance from it.
    int middle = (FDataLink->RecordCount() - 1) / 2;
    int distance = FDataLink->ActiveRecord() - middle;
    String mark;
    {
      TActiveRecordScopeEh scope(FDataLink.get(), std::max(0, middle));
      mark = ds->GetBookmark();
    }
    ds->First();
    int visited = 0;
    while (!ds->Eof()) {
      for (int i = 0; i < n; ++i) widths[i] = std::max(widths[i], OptimalCellWidth(ColumnsList->Items(i)));
      ++visited;
      if (ds->IsSequenced() && visited >= ds->RecordCount()) break;
      ds->Next();
    }
    if (!mark.empty()) {
      ds->GotoBookmark(mark);
      if (distance != 0) ds->MoveBy(distance);
    }
  }
  for (int i = 0; i < n; ++i) {
    TColumnEh* col = ColumnsList->Items(i);
    for (int k = 0; k < FFooterRowCount; ++k) {
      TColumnFooterEh* footer = col->FooterAt(k);
      TFont font;
      font.Assign(footer->Font());
      TColor back = footer->Color();
      TAlignment align = footer->Alignment();
      String text = GetFooterText(k, col);
      FireGetFooterParams(col->Index(), k, col, &font, back, align, TGridDrawState(), text);
      int w = WithMeasuringCanvas(this, [&](TCanvas* c) {
        c->Font()->Assign(&font);
        return c->TextWidth(text) + 5;
      });
      widths[i] = std::max(widths[i], w);
    }
  }
  auto apply = [&] {
    for (int i = 0; i < n; ++i) ColumnsList->Items(i)->SetWidth(widths[i]);
  };
  if (FImpl->FAutoFitColWidths) apply();
  else {
    TDBGridEhLayoutLock lock(this);
    apply();
  }
}

// ================================================================ sizing with the mouse

void TCustomDBGridEh::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) {
  // Frozen columns are fixed to the base grid: their zone straddles the right edge. (A press
  // at the client's right edge of a grid it exactly fills names no column and sizes nothing.)
  if (int k = FrozenSizingColumn(X, Y); k >= 0) {
    TRect r = CellRect(k, 0);
    State = gsColSizing;
    Index = k;
    SizingPos = r.Right;
    SizingOfs = r.Right - X;
    return;
  }
  TCustomGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs);
  if (State == gsColSizing && Index >= ColCount()) Index = ColCount() - 1;
  // Rows are sized on the indicator only.
  int indicatorRight = IndicatorOffset() > 0 ? CellRect(0, 0).Right : 0;
  if (State == gsRowSizing && X >= indicatorRight) {
    State = gsNormal;
    Index = -1;
  }
}

// ================================================================ small services

void TCustomDBGridEh::CollectDataSetFields(std::vector<TField*>& List) const {
  TDataSet* ds = DataSet();
  if (!ds) return;
  for (int i = 0; i < ds->FieldCount(); ++i) List.push_back(ds->Fields()->Fields(i));
}

void TCustomDBGridEh::ApplyColumnLayout() {
  if (!FImpl->FAutoFitColWidths || Designing()) {
    RecalcRowCount();
    RefreshVertScrollBar();
    return;
  }
  RebuildLayout();
  InvalidateEditor();
}

void TCustomDBGridEh::TitleButtonClicked(int ACol, TColumnEh* Column) {
  if (OnTitleBtnClick) OnTitleBtnClick(this, ACol, Column);
}

void TCustomDBGridEh::CheckTitleButton(int DataCol, bool& Enabled) {
  if (DataCol < 0 || DataCol >= FColumns->Count()) {
    Enabled = false;
    return;
  }
  if (OnCheckButton) OnCheckButton(this, DataCol, FColumns->Items(DataCol), Enabled);
}

void TCustomDBGridEh::FireGetCellParams(TColumnEh* Column, TFont* AFont, TColor& Background, TGridDrawState State) {
  if (OnGetCellParams) OnGetCellParams(this, Column, AFont, Background, State);
}

void TCustomDBGridEh::Resize() {
  TCustomGrid::Resize();
  if (!HandleAllocated() || Loading() || FImpl->FLayingOut || !FDataLink) return;
  if (FImpl->FAutoFitColWidths && !Designing()) RebuildLayout();
  else RefreshLayout();
  if (FImpl->FInFilterRow) PlaceFilterEditor(false);
}

void TCustomDBGridEh::TopLeftChanged() {
  TCustomGrid::TopLeftChanged();
  UpdateExtHorzScrollBar();
  if (ViewMode()) {
    FetchRecordsInView();
    RefreshViewScrollBar();
  }
  if (FImpl->FInFilterRow) PlaceFilterEditor(false);
}

// ================================================================ axis draw information

namespace {

// Fixed cells first (the non-frozen ones, then the Frozen last of them), each with its line.
void ComputeFixedAxis(TCustomDBGridEh::TAxisDrawInfoEh& A, int Line, int Fixed, int Frozen, int Count, int First,
                      const std::function<int(int)>& Extent) {
  A.LineWidth = Line;
  A.FixedCellCount = Fixed;
  A.GridCellCount = Count;
  A.FirstGridCell = First;
  int boundary = 0;
  for (int i = 0; i < Fixed - Frozen; ++i) boundary += Extent(i) + Line;
  int frozenStart = boundary;
  for (int i = std::max(0, Fixed - Frozen); i < Fixed; ++i) boundary += Extent(i) + Line;
  A.FixedBoundary = boundary;
  A.FrozenExtent = boundary - frozenStart;
}

void ComputeScrollAxis(TCustomDBGridEh::TAxisDrawInfoEh& A, int Available, int Footers,
                       const std::function<int(int)>& Extent) {
  A.GridExtent = Available;
  A.GridBoundary = A.FullVisBoundary = A.FixedBoundary;
  A.LastFullVisibleCell = A.FirstGridCell;
  A.FooterExtent = 0;
  int footerStart = 0;
  for (int i = A.FirstGridCell; i < A.GridCellCount; ++i) {
    if (i >= A.GridCellCount - Footers && footerStart == 0) footerStart = A.GridBoundary;
    A.GridBoundary += Extent(i) + A.LineWidth;
    if (A.GridBoundary > Available + A.LineWidth) {
      A.GridBoundary = Available;
      break;
    }
    A.LastFullVisibleCell = i;
    A.FullVisBoundary = A.GridBoundary;
  }
  if (Footers > 0) {
    for (int i = A.GridCellCount - Footers; i <= A.LastFullVisibleCell; ++i) A.FooterExtent += Extent(i) + A.LineWidth;
    if (footerStart > 0) A.FooterExtent = A.GridBoundary - footerStart;
  }
}

}  // namespace

void TCustomDBGridEh::ComputeDrawInfo(TGridAxesInfoEh& Info) const { ComputeDrawInfo(Info, ClientWidth(), ClientHeight()); }

void TCustomDBGridEh::ComputeDrawInfo(TGridAxesInfoEh& Info, int Width, int Height) const {
  int line = GridLineWidth();
  auto colWidth = [this](int i) { return std::max(0, ColWidths(i)); };
  auto rowHeight = [this](int i) { return RowHeights(i); };
  int frozen = std::max(0, FixedCols() - IndicatorOffset());
  ComputeFixedAxis(Info.Horz, FOptions.Contains(dgColLines) ? line : 0, FixedCols(), frozen, ColCount(),
                   LeftCol(), colWidth);
  ComputeFixedAxis(Info.Vert, FOptions.Contains(dgRowLines) ? line : 0, FixedRows(), 0, RowCount(), TopRow(),
                   rowHeight);
  ComputeScrollAxis(Info.Horz, Width, 0, colWidth);
  ComputeScrollAxis(Info.Vert, Height, FFooterRowCount, rowHeight);
}
