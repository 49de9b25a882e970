// The grid as the column model sees it: data source and link, column collection, defaults,
// fonts, sort-marked columns, the sum list and the footer texts built from it.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"
#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhFilterEdit.h"
#include "grid/DBGridEhInplace.h"
#include "grid/DBGridEhStyle.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/Screen.h"

#include "core/ClassBuilder.h"
#include "core/SysUtils.h"
#include "core/Filer.h"
#include "gui/WinGDI.h"
#include "core/Scope.h"

#include <algorithm>
#include <cassert>

// ================================================================ the grid's sum list

KELM_PUBLISH(TDBGridEhSumList) { Published(b); }

TDBGridEhSumList::TDBGridEhSumList(TComponent* AOwner) : TDBSumListProducer(AOwner) {
  SetWorksAtDesignTime(true);
  SetActive(false);
}

TDBGridEhSumList::~TDBGridEhSumList() {
  // Unhooked here, while this class's own rule for designed grids still applies.
  StopSumming(false);
}

bool TDBGridEhSumList::Designing() const { return Owner() && Owner()->ComponentState().Contains(csDesigning); }

void TDBGridEhSumList::HookDataSet() {
  if (Designing()) {
    // A designed grid leaves the dataset's handlers alone and only records the hook.
    if (DataSet()) SetHandlersHooked(true);
    return;
  }
  TDBSumListProducer::HookDataSet();
}

void TDBGridEhSumList::UnhookDataSet() {
  if (Designing()) {
    SetHandlersHooked(false);
    return;
  }
  TDBSumListProducer::UnhookDataSet();
}

// ================================================================ the grid

KELM_PUBLISH(TCustomDBGridEh) {}

namespace {

// Base grid options for each grid option (row sizing comes from RowSizingAllowed).
const std::pair<TDBGridOption, TGridOptions> kBaseOptions[] = {
    {dgColLines, {goFixedVertLine, goVertLine}}, {dgRowLines, {goFixedHorzLine, goHorzLine}},
    {dgColumnResize, {goColSizing, goColMoving}}, {dgTabs, {goTabs}},
    {dgRowSelect, {goRowSelect}},                 {dgEditing, {goEditing}},
    {dgAlwaysShowEditor, {goAlwaysShowEditor}}};

// Options whose change re-runs the layout pass.
const TDBGridOptions kLayoutOptions = {dgEditing,   dgAlwaysShowEditor, dgTitles,    dgIndicator,
                                       dgColLines,  dgRowLines,         dgRowSelect, dgAlwaysShowSelection};

// Width of the indicator column.
constexpr int kIndicatorWidth = 11;

String NormalizedLineBreaks(const String& S) {
  String r;
  r.reserve(S.size());
  for (size_t i = 0; i < S.size(); ++i) {
    char c = S[i];
    if (c == '\r') {
      r += "\r\n";
      if (i + 1 < S.size() && S[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      r += "\r\n";
    } else {
      r += c;
    }
  }
  return r;
}

}  // namespace

TCustomDBGridEh::TCustomDBGridEh(TComponent* AOwner) : TCustomGrid(AOwner), FImpl(std::make_unique<TImpl>()) {
  InitDBGridEhUnit();
  SetStyle(SharedGridStyle());
  TCustomGrid::SetDefaultDrawing(false);
  AcquireSharedBitmap();
  TCustomGrid::SetScrollBars(ssHorizontal);
  FImpl->FColumnDefValues.reset(CreateColumnDefValues());
  FColumns.reset(CreateColumns());
  FVisibleColumns = std::make_unique<TColumnsEhList>();
  TCustomGrid::SetColCount(2);
  TCustomGrid::SetRowCount(2);
  FDataLink = std::make_unique<TGridDataLinkEh>(this);
  SetColor(clWindow);
  SetParentColor(false);
  FImpl->FTitleFont = std::make_unique<TFont>();
  FImpl->FTitleFont->Assign(Font());
  FImpl->FTitleFont->SetOnChange(TNotifyEvent(this, &TCustomDBGridEh::TitleFontChanged));
  FBookmarks = std::make_unique<TBookmarkListEh>(this);
  FSumList = std::make_unique<TDBGridEhSumList>(this);
  FSumList->SumListChanged = TNotifyEvent(this, &TCustomDBGridEh::SumListChangedHandler);
  FSumList->OnRecalcAll = TNotifyEvent(this, &TCustomDBGridEh::SumListRecalcAllHandler);
  FSumList->OnAfterRecalcAll = TNotifyEvent(this, &TCustomDBGridEh::SumListAfterRecalcAllHandler);
  FImpl->FHorzScrollBar.reset(CreateScrollBar(SB_HORZ));
  FImpl->FVertScrollBar.reset(CreateScrollBar(SB_VERT));
  FSortMarkedColumns = std::make_unique<TColumnsEhList>();
  FImpl->FFooterFont = std::make_unique<TFont>();
  FImpl->FFooterFont->Assign(Font());
  FImpl->FFooterFont->SetOnChange(TNotifyEvent(this, &TCustomDBGridEh::FooterFontChanged));
  FSelection = std::make_unique<TDBGridEhSelection>(this);
  FImpl->FCellParams = std::make_unique<TColCellParamsEh>();
  FSTFilter = std::make_unique<TSTDBGridEhFilter>(this);
  FImpl->FHeadTree = std::make_unique<THeadTreeNode>("Root", 0, 10);
  FImpl->FTitleImageChangeLink = std::make_unique<TChangeLink>();
  FImpl->FTitleImageChangeLink->SetOnChange(TNotifyEvent(this, &TCustomDBGridEh::TitleImagesChanged));
  ApplyBaseOptions();
}

TCustomDBGridEh::~TCustomDBGridEh() {
  Destroying();
  // The editors hold the current column's lists and the grid as their holder: they go
  // before the columns.
  DestroyEditor();
  delete FImpl->FFilterEdit;
  FImpl->FFilterEdit = nullptr;
  SetStyle(nullptr);
  FImpl->FMemTable = nullptr;
  FImpl->FCellParams.reset();
  FSelection->Reset();
  if (TDataSource* ds = DataSource()) ds->RemoveFreeNotification(this);
  if (FImpl->FTitleImages) FImpl->FTitleImages->UnRegisterChanges(FImpl->FTitleImageChangeLink.get());
  // Columns go first: their footers give their items back to the sum list.
  FColumns.reset();
  FImpl->FColumnDefValues.reset();
  FVisibleColumns.reset();
  FSortMarkedColumns.reset();
  FDataLink.reset();
  FImpl->FHorzScrollBar.reset();
  FImpl->FVertScrollBar.reset();
  FImpl->FTitleFont.reset();
  FBookmarks.reset();
  FImpl->FTitleImageChangeLink.reset();
  FSumList.reset();
  FSelection.reset();
  FImpl->FFooterFont.reset();
  FSTFilter.reset();
  ReleaseSharedBitmap();
}

// ---- the state's accessors

void TCustomDBGridEh::RefreshFocusHighlight() {
  if (HasInputFocus() != FImpl->FHadInputFocus) InvalidateSelection();
}
void TCustomDBGridEh::SetColumns(TDBGridColumnsEh* Value) { FColumns->Assign(Value); }
TColumnDefValuesEh* TCustomDBGridEh::ColumnDefValues() const { return FImpl->FColumnDefValues.get(); }
void TCustomDBGridEh::SetColumnDefValues(TColumnDefValuesEh* Value) { FImpl->FColumnDefValues->Assign(Value); }
void TCustomDBGridEh::SetSumList(TDBGridEhSumList* Value) { FSumList->Assign(Value); }
TDBGridEhAllowedOperations TCustomDBGridEh::AllowedOperations() const { return FImpl->FAllowedOperations; }
void TCustomDBGridEh::SetAllowedOperations(TDBGridEhAllowedOperations Value) { FImpl->FAllowedOperations = Value; }
TDBGridEhAllowedSelections TCustomDBGridEh::AllowedSelections() const { return FImpl->FAllowedSelections; }
bool TCustomDBGridEh::AutoFitColWidths() const { return FImpl->FAutoFitColWidths; }
void TCustomDBGridEh::SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
bool TCustomDBGridEh::DrawMemoText() const { return FImpl->FDrawMemoText; }
TDBGridEhEditActions TCustomDBGridEh::EditActions() const { return FImpl->FEditActions; }
void TCustomDBGridEh::SetEditActions(TDBGridEhEditActions Value) { FImpl->FEditActions = Value; }
TColor TCustomDBGridEh::EvenRowColor() const { return FImpl->FEvenRowColorAssigned ? FImpl->FEvenRowColor : Color(); }
TColor TCustomDBGridEh::OddRowColor() const { return FImpl->FOddRowColorAssigned ? FImpl->FOddRowColor : Color(); }
bool TCustomDBGridEh::EvenRowColorAssigned() const { return FImpl->FEvenRowColorAssigned; }
bool TCustomDBGridEh::OddRowColorAssigned() const { return FImpl->FOddRowColorAssigned; }
bool TCustomDBGridEh::Flat() const { return FImpl->FFlat; }
TColor TCustomDBGridEh::FooterColor() const { return FImpl->FFooterColor; }
TFont* TCustomDBGridEh::FooterFont() const { return FImpl->FFooterFont.get(); }
void TCustomDBGridEh::SetFooterFont(TFont* Value) { FImpl->FFooterFont->Assign(Value); }
int TCustomDBGridEh::FrozenCols() const { return FImpl->FFrozenCols; }
TDBGridEhScrollBar* TCustomDBGridEh::HorzScrollBar() const { return FImpl->FHorzScrollBar.get(); }
void TCustomDBGridEh::SetHorzScrollBar(TDBGridEhScrollBar* Value) { FImpl->FHorzScrollBar->Assign(Value); }
TDBGridEhScrollBar* TCustomDBGridEh::VertScrollBar() const { return FImpl->FVertScrollBar.get(); }
void TCustomDBGridEh::SetVertScrollBar(TDBGridEhScrollBar* Value) { FImpl->FVertScrollBar->Assign(Value); }
int TCustomDBGridEh::MinAutoFitWidth() const { return FImpl->FMinAutoFitWidth; }
bool TCustomDBGridEh::ReadOnly() const { return FImpl->FReadOnly; }
int TCustomDBGridEh::RowHeight() const { return FImpl->FRowHeight; }
int TCustomDBGridEh::RowLines() const { return FImpl->FRowLines; }
bool TCustomDBGridEh::RowSizingAllowed() const { return FImpl->FRowSizingAllowed; }
bool TCustomDBGridEh::SortLocal() const { return FImpl->FSortLocal; }
void TCustomDBGridEh::SetSortLocal(bool Value) { FImpl->FSortLocal = Value; }
void TCustomDBGridEh::SetSTFilter(TSTDBGridEhFilter* Value) { FSTFilter->Assign(Value); }
TFont* TCustomDBGridEh::TitleFont() const { return FImpl->FTitleFont.get(); }
void TCustomDBGridEh::SetTitleFont(TFont* Value) { FImpl->FTitleFont->Assign(Value); }
int TCustomDBGridEh::TitleHeight() const { return FImpl->FTitleHeight; }
TCustomImageList* TCustomDBGridEh::TitleImages() const { return FImpl->FTitleImages; }
int TCustomDBGridEh::TitleLines() const { return FImpl->FTitleLines; }
bool TCustomDBGridEh::UseMultiTitle() const { return FImpl->FUseMultiTitle; }
int TCustomDBGridEh::VTitleMargin() const { return FImpl->FVTitleMargin; }
const String& TCustomDBGridEh::EditText() const { return FImpl->FEditText; }
const Variant& TCustomDBGridEh::EditValue() const { return FImpl->FEditValue; }
void TCustomDBGridEh::SetEditorReadOnly(TEditorReadOnly Value) { FImpl->FEditorReadOnly = Value; }
bool TCustomDBGridEh::IncSearchActive() const { return FImpl->FIncSearchActive; }
const String& TCustomDBGridEh::IncSearchText() const { return FImpl->FIncSearchText; }
int TCustomDBGridEh::PressedTitleColumn() const { return FImpl->FPressedTitle; }
bool TCustomDBGridEh::TitlePressed(int DataCol) const {
  return FImpl->FPressedTitle >= 0 && FImpl->FPressedTitle == DataCol && FImpl->FPressedTitleIn;
}
int TCustomDBGridEh::LayoutLockCount() const { return FImpl->FLayoutLock; }
int TCustomDBGridEh::InternalUpdateCount() const { return FImpl->FUpdateLock; }
bool TCustomDBGridEh::InDataLinkLayoutChange() const { return FImpl->FDataLinkLayoutChanging; }
int TCustomDBGridEh::EditButtonWidth() const { return FImpl->FEditButtonWidth; }
int TCustomDBGridEh::EditButtonHeight() const { return FImpl->FEditButtonHeight; }
THeadTreeNode* TCustomDBGridEh::HeadTree() const { return FImpl->FHeadTree.get(); }
bool TCustomDBGridEh::WordWrapPossible() const { return FImpl->FWordWrapPossible; }
bool TCustomDBGridEh::LayingOut() const { return FImpl->FLayingOut; }
TDBGridEhStyle* TCustomDBGridEh::Style() const { return FImpl->FStyle; }
TCustomDBGridEh::TMouseModeEh TCustomDBGridEh::MouseMode() const { return FImpl->FMouseMode; }
int TCustomDBGridEh::DragTargetRow() const { return FImpl->FMouseMode == mmRecordDragging ? FImpl->FDragEndRow : -1; }
bool TCustomDBGridEh::ApplyingFilter() const { return FImpl->FApplyingFilter; }
TInplaceFilterEditEh* TCustomDBGridEh::FilterEditor() const { return FImpl->FFilterEdit; }
int TCustomDBGridEh::FilterEditColumn() const { return FImpl->FFilterCol; }
bool TCustomDBGridEh::InFilterRow() const { return FImpl->FInFilterRow; }
bool TCustomDBGridEh::DoubleBuffering() const { return FImpl->FDoubleBuffering; }
int TCustomDBGridEh::FlatBorderInset() const { return FImpl->FFlatInset; }

TColumnDefValuesEh* TCustomDBGridEh::CreateColumnDefValues() { return new TDBGridEhColumnDefValuesEh(this); }

TDBGridColumnsEh* TCustomDBGridEh::CreateColumns() { return new TDBGridColumnsEh(this, TDBGridColumnEh::StaticClass()); }

void TCustomDBGridEh::RecreateColumnObjects() {
  assert(FColumns->Count() == 0);
  FColumns.reset(CreateColumns());
  FImpl->FColumnDefValues.reset(CreateColumnDefValues());
}

TDBGridEhScrollBar* TCustomDBGridEh::CreateScrollBar(int Kind) {
  if (Kind == SB_VERT) return new TVertDBGridEhScrollBar(this);
  return new TDBGridEhScrollBar(this, Kind);
}

void TCustomDBGridEh::Loaded() {
  TCustomGrid::Loaded();
  if (FColumns->Count() > 0 && FColumns->Count() + IndicatorOffset() > 1)
    TCustomGrid::SetColCount(FColumns->Count() + IndicatorOffset());
  if (FImpl->FAutoFitColWidths && !Designing()) {
    WithinUpdate(*FColumns, [&] {
      for (int i = 0; i < FColumns->Count(); ++i)
        FColumns->Items(i)->SetInitialWidth(FColumns->Items(i)->Width());
    });
    TCustomGrid::SetScrollBars(ssNone);
  }
  RebuildSortMarkedColumns();
  if (DataSource()) FSumList->Loaded();
  RebuildLayout();
  DeferLayout();
}

void TCustomDBGridEh::DefineProperties(TFiler* Filer) {
  TCustomGrid::DefineProperties(Filer);
  Filer->DefineProperty(
      "Columns", [this](TReader* R) { ReadColumns(R); }, [this](TWriter* W) { WriteColumns(W); },
      FColumns->IsCustomized());
}

void TCustomDBGridEh::ReadColumns(TReader* Reader) {
  FColumns->Clear();
  Reader->ReadCollection(FColumns.get());
}

void TCustomDBGridEh::WriteColumns(TWriter* Writer) { Writer->WriteCollection(FColumns.get()); }

TFont* TCustomDBGridEh::SortIndexFont() {
  // Made when first needed and freed when the grid library ends; its characters are one
  // pixel lower than the marker bitmaps.
  static TFont* font = nullptr;
  if (!font) {
    TBitmap marker;
    marker.LoadFromResourceName("DBSMDOWNEH");
    font = new TFont();
    font->SetName("Arial");
    font->SetHeight(-(marker.Height() - 1));
    AddExitProc([] {
      delete font;
      font = nullptr;
    });
  }
  return font;
}

void TCustomDBGridEh::CreateWnd() {
  TCustomGrid::CreateWnd();
  FImpl->FEditButtonWidth = FImpl->FFlat ? FlatButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
  int rowHeight = DefaultRowHeight();
  FImpl->FEditButtonHeight = rowHeight <= Round(FImpl->FEditButtonWidth * 1.5)
                                 ? rowHeight
                                 : EditButtonHeightFor(FImpl->FEditButtonWidth, FImpl->FFlat);
  if (FImpl->FAutoFitColWidths) RebuildLayout();
  else RecalcRowCount();
  RefreshVertScrollBar();
  FImpl->FOriginalImeMode = ImeMode();
  FImpl->FOriginalImeName = ImeName();
}

// ---------------------------------------------------------------- data

void TCustomDBGridEh::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  FBookmarks->Clear();
  if (TDataSource* old = DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  LinkActiveChanged(FDataLink->Active());
}

void TCustomDBGridEh::LinkActiveChanged(bool Active) {
  if (!Active) HideEditor();
  // Value lists came from the dataset that was linked: the next drop-down asks anew.
  for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->SetFilterValueList(nullptr);
  FSelection->DataLinkSwitched(Active);
  FSumList->SetDataSet(DataSet());
  RebuildLayout();
  if (Active && ShouldShowEditor()) OpenEditor();
  RefreshVertScrollBar();
  CheckMemTable();
}

IMemTableEh* TCustomDBGridEh::MemTableSupport() const { return dynamic_cast<IMemTableEh*>(DataSet()); }

void TCustomDBGridEh::CheckMemTable() {
  // No dataset of this system offers the memory-table interface.
  IMemTableEh* found = MemTableSupport();
  if (found == FImpl->FMemTable) return;
  FImpl->FMemTable = found;
  RebuildLayout();
}

void TCustomDBGridEh::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomGrid::Notification(AComponent, Operation);
  if (Operation != opRemove || !FColumns) return;
  if (AComponent == DataSource()) {
    SetDataSource(nullptr);
    return;
  }
  if (AComponent == FImpl->FTitleImages) FImpl->FTitleImages = nullptr;
  for (TDBGridEhScrollBar* bar : {FImpl->FHorzScrollBar.get(), FImpl->FVertScrollBar.get()})
    if (bar && bar->ExtScrollBar() == AComponent) bar->ExtScrollBarGone();
  if (AComponent == DataSet()) CheckMemTable();
  // Compared by address only: a component announces its removal while it is being destroyed.
  bool shownField = false;
  for (int i = 0; i < FColumns->Count(); ++i) {
    TColumnEh* c = FColumns->Items(i);
    if (c->FPopupMenu == AComponent) c->FPopupMenu = nullptr;
    if (c->FImageList == AComponent) c->FImageList = nullptr;
    if (c->DropDownBox()->ListSource() == AComponent) c->DropDownBox()->ListSourceGone();
    shownField = shownField || c->FField == AComponent;
  }
  if (shownField) UnbindField(AComponent);
}

void TCustomDBGridEh::UnbindField(TComponent* Field) {
  // Not the scoped lock: ending the layout may raise, and that must reach the caller rather
  // than leave a destructor.
  BeginLayout();
  bool defer = false;
  TryFinally(
      [&] {
        for (int i = 0; i < FColumns->Count(); ++i)
          if (FColumns->Items(i)->FField == Field) FColumns->Items(i)->FieldGone();
        // A field freed while the dataset's controls are off (a close or a rebuild of the
        // field list): the pass waits until they are on again.
        TDataSet* ds = DataSet();
        defer = ds && ds->ControlsDisabled();
      },
      [&] { EndLayout(!defer); });
  if (defer) DeferLayout();
}

void TCustomDBGridEh::RebuildSortMarkedColumns() {
  std::vector<TColumnEh*> marked;
  for (int i = 0; i < FColumns->Count(); ++i)
    if (FColumns->Items(i)->Title()->SortIndex() > 0) marked.push_back(FColumns->Items(i));
  // Ordered by index rather than placed at it: a stored index can be anything.
  std::stable_sort(marked.begin(), marked.end(), [](TColumnEh* a, TColumnEh* b) {
    return a->Title()->SortIndex() < b->Title()->SortIndex();
  });
  FSortMarkedColumns->Clear();
  for (TColumnEh* c : marked) FSortMarkedColumns->Add(c);
}

TColumnEh* TCustomDBGridEh::CurrentColumn() const {
  int i = SelectedIndex();
  return i >= 0 && i < FColumns->Count() ? FColumns->Items(i) : nullptr;
}

void TCustomDBGridEh::SetSelectedIndex(int Value) {
  int raw = DataToRawColumn(Value);
  if (raw < 0 || raw >= ColCount()) return;
  MoveCurrent(raw, Row(), true, true);
}

TField* TCustomDBGridEh::SelectedField() const {
  TColumnEh* c = CurrentColumn();
  return c ? c->Field() : nullptr;
}

void TCustomDBGridEh::SelectField(TField* Field) {
  for (int i = 0; i < FColumns->Count(); ++i)
    if (FColumns->Items(i)->Field() == Field) SetSelectedIndex(i);
}

// ---------------------------------------------------------------- options and settings

void TCustomDBGridEh::ApplyBaseOptions() {
  TGridOptions base;
  for (auto& [option, grid] : kBaseOptions)
    if (FOptions.Contains(option)) base += grid;
  if (FImpl->FRowSizingAllowed) base += goRowSizing;
  // Column sizing stays on at design time.
  if (Designing()) base += goColSizing;
  TCustomGrid::SetOptions(base);
}

void TCustomDBGridEh::SetOptions(TDBGridOptions Value) {
  if (Value.Contains(dgRowSelect)) Value -= TDBGridOptions{dgEditing, dgAlwaysShowEditor};
  if (Value == FOptions) return;
  TDBGridOptions old = FOptions;
  FOptions = Value;
  if (old.Contains(dgMultiSelect) && !Value.Contains(dgMultiSelect)) {
    FBookmarks->Clear();
    FSelection->Reset();
  }
  ApplyBaseOptions();
  TDBGridOptions changed = (old - Value) + (Value - old);
  if (!(changed * kLayoutOptions).Empty()) {
    RebuildLayout();
    if (InplaceEditor() && InplaceEditor()->Visible()) InplaceEditor()->Invalidate();
  }
}

void TCustomDBGridEh::SetOptionsEh(TDBGridEhOptions Value) {
  bool multiOff = FOptionsEh.Contains(dghMultiSortMarking) && !Value.Contains(dghMultiSortMarking);
  if (multiOff && FSortMarkedColumns->Count() > 1) {
    // One sort column is left: the first of the order. The others are cleared while the
    // numbering rules of several sort columns still apply.
    std::vector<TColumnEh*> rest;
    for (int i = 1; i < FSortMarkedColumns->Count(); ++i) rest.push_back(FSortMarkedColumns->Items(i));
    for (TColumnEh* c : rest) c->Title()->SetSortMarker(smNoneEh);
  }
  bool changed = Value != FOptionsEh;
  FOptionsEh = Value;
  if (changed) RebuildLayout();
  else Invalidate();
}

void TCustomDBGridEh::SetAllowedSelections(TDBGridEhAllowedSelections Value) {
  if (Value == FImpl->FAllowedSelections) return;
  FImpl->FAllowedSelections = Value;
  if (!Value.Contains(FSelection->SelectionKind())) FSelection->Reset();
}

void TCustomDBGridEh::SetAutoFitColWidths(bool Value) {
  if (Value == FImpl->FAutoFitColWidths) return;
  FImpl->FAutoFitColWidths = Value;
  if (Designing()) return;
  if (Value && !Loading()) {
    // The widths now are the shares the fit distributes from.
    for (int i = 0; i < FColumns->Count(); ++i)
      FColumns->Items(i)->SetInitialWidth(FColumns->Items(i)->Width());
  } else if (!Value) {
    WithinUpdate(*FColumns, [&] {
      for (int i = 0; i < FColumns->Count(); ++i)
        FColumns->Items(i)->SetWidth(FColumns->Items(i)->InitialWidth());
    });
  }
  RebuildLayout();
}

void TCustomDBGridEh::SetDefaultColWidth(int Value) {
  if (Value == DefaultColWidth()) return;
  TCustomGrid::SetDefaultColWidth(Value);
  RebuildLayout();
}

void TCustomDBGridEh::SetDrawMemoText(bool Value) {
  if (Value == FImpl->FDrawMemoText) return;
  FImpl->FDrawMemoText = Value;
  Invalidate();
}

void TCustomDBGridEh::SetEvenRowColor(TColor Value) {
  FImpl->FEvenRowColor = Value;
  FImpl->FEvenRowColorAssigned = true;
  Invalidate();
}

void TCustomDBGridEh::SetOddRowColor(TColor Value) {
  FImpl->FOddRowColor = Value;
  FImpl->FOddRowColorAssigned = true;
  Invalidate();
}

void TCustomDBGridEh::SetFlat(bool Value) {
  if (Value == FImpl->FFlat) return;
  FImpl->FFlat = Value;
  // The frame and the edit buttons change with it.
  if (HandleAllocated()) RecreateWnd();
  RebuildLayout();
}

void TCustomDBGridEh::SetFooterColor(TColor Value) {
  if (!Loading()) SetParentColor(false);
  FImpl->FFooterColor = Value;
  InvalidateFooterRows();
}

void TCustomDBGridEh::SetFooterRowCount(int Value) {
  if (Value < 0 || Value == FFooterRowCount) return;
  FFooterRowCount = Value;
  CheckMemTable();
  RebuildLayout();
}

void TCustomDBGridEh::SetFrozenCols(int Value) {
  // Setting the same count again still lays the grid out; a negative one freezes nothing.
  if (Value == FImpl->FFrozenCols && Value < 0) return;
  FImpl->FFrozenCols = Value;
  RebuildLayout();
}

void TCustomDBGridEh::SetMinAutoFitWidth(int Value) {
  FImpl->FMinAutoFitWidth = Value;
  RebuildLayout();
}

void TCustomDBGridEh::SetRowHeight(int Value) {
  if (Value == FImpl->FRowHeight) return;
  FImpl->FRowHeight = std::max(0, Value);
  RebuildLayout();
}

void TCustomDBGridEh::SetRowLines(int Value) {
  if (Value == FImpl->FRowLines) return;
  FImpl->FRowLines = std::max(0, Value);
  RebuildLayout();
}

void TCustomDBGridEh::SetReadOnly(bool Value) {
  if (Value == FImpl->FReadOnly) return;
  FImpl->FReadOnly = Value;
  Invalidate();
  UpdateTabStops();
}

void TCustomDBGridEh::SetRowSizingAllowed(bool Value) {
  if (Value == FImpl->FRowSizingAllowed) return;
  FImpl->FRowSizingAllowed = Value;
  ApplyBaseOptions();
}

void TCustomDBGridEh::SetTitleHeight(int Value) {
  FImpl->FTitleHeight = Value;
  RebuildLayout();
}

void TCustomDBGridEh::SetTitleLines(int Value) {
  FImpl->FTitleLines = Value;
  RebuildLayout();
}

void TCustomDBGridEh::SetVTitleMargin(int Value) {
  FImpl->FVTitleMargin = Value;
  RebuildLayout();
}

void TCustomDBGridEh::SetTitleImages(TCustomImageList* Value) {
  if (Value == FImpl->FTitleImages) return;
  if (FImpl->FTitleImages) FImpl->FTitleImages->UnRegisterChanges(FImpl->FTitleImageChangeLink.get());
  FImpl->FTitleImages = Value;
  if (Value) {
    Value->RegisterChanges(FImpl->FTitleImageChangeLink.get());
    Value->FreeNotification(this);
  }
  RebuildLayout();
}

void TCustomDBGridEh::SetUseMultiTitle(bool Value) {
  FImpl->FUseMultiTitle = Value;
  RebuildLayout();
}

void TCustomDBGridEh::FooterFontChanged(TObject*) {
  if (!FImpl->FSettingTitleFont && !Loading()) SetParentFont(false);
  if (FFooterRowCount > 0) RebuildLayout();
}

void TCustomDBGridEh::TitleFontChanged(TObject*) {
  if (!FImpl->FSettingTitleFont && !Loading()) SetParentFont(false);
  if (FOptions.Contains(dgTitles)) RebuildLayout();
}

void TCustomDBGridEh::TitleImagesChanged(TObject*) { RebuildLayout(); }

int TCustomDBGridEh::TextMargin() const { return FImpl->FFlat ? 2 : 4; }

void TCustomDBGridEh::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  // The pass at the end of the lock gives the grid columns the scaled column widths.
  BeginLayout();
  TryFinally(
      [&] {
        ScaleFontsAndWidths(M, D);
        TCustomGrid::ChangeScale(M, D);
      },
      [&] { EndLayout(); });
}

void TCustomDBGridEh::ScaleFontsAndWidths(int M, int D) {
  auto scale = [M, D](TFont* F) { F->SetSize(MulDiv(F->Size(), M, D)); };
  {
    TRestore settingTitleFont(FImpl->FSettingTitleFont, true);
    if (!ParentFont()) FImpl->FTitleFont->SetSize(MulDiv(Font()->Size(), M, D));
    scale(FImpl->FFooterFont.get());
  }
  // Widths by running sums: each column takes the difference of the scaled sums, so the
  // total scales without rounding drift.
  int sum = 0, scaledSum = 0;
  for (int i = 0; i < FColumns->Count(); ++i) {
    TColumnEh* c = FColumns->Items(i);
    if (c->Flagged(evFont)) scale(c->Font());
    if (c->Title()->IsFontStored()) scale(c->Title()->Font());
    if (c->Footer()->FontAssigned()) scale(c->Footer()->Font());
    for (int k = 0; k < c->Footers()->Count(); ++k)
      if (c->Footers()->Items(k)->FontAssigned()) scale(c->Footers()->Items(k)->Font());
    sum += c->Width();
    int next = MulDiv(sum, M, D);
    c->SetWidth(next - scaledSum);
    scaledSum = next;
  }
}

// ---------------------------------------------------------------- layout

void TCustomDBGridEh::RebuildLayout() {
  if (FImpl->FLayoutLock > 0 || (FColumns && FColumns->UpdateCount() > 0)) return;
  BeginLayout();
  EndLayout();
}

void TCustomDBGridEh::BeginLayout() {
  ++FImpl->FUpdateLock;
  if (FImpl->FLayoutLock++ == 0 && FColumns) FColumns->BeginUpdate();
}

void TCustomDBGridEh::EndLayout(bool RunPass) {
  if (FImpl->FLayoutLock == 0) return;
  if (FImpl->FLayoutLock > 1) {
    --FImpl->FLayoutLock;
    --FImpl->FUpdateLock;
    return;
  }
  // The lock is held until the collection update has ended, so the change that ending reports
  // does not start another pass.
  struct TRelease {
    TCustomDBGridEh* G;
    ~TRelease() {
      G->FImpl->FLayoutLock = 0;
      --G->FImpl->FUpdateLock;
    }
  } release{this};
  TryFinally(
      [&] {
        if (RunPass && !Loading() && !ComponentState().Contains(csDestroying)) {
          // The pass now makes a queued request pointless.
          TMsg m;
          if (HandleAllocated()) PeekMessage(m, Handle(), WM_DEFERREDLAYOUT, WM_DEFERREDLAYOUT, PM_REMOVE);
          LayoutChanged();
        }
      },
      [&] {
        if (FColumns) FColumns->EndUpdate();
      });
}

void TCustomDBGridEh::DeferLayout() {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  TMsg m;
  if (PeekMessage(m, Handle(), WM_DEFERREDLAYOUT, WM_DEFERREDLAYOUT, PM_NOREMOVE)) return;
  PostMessage(Handle(), WM_DEFERREDLAYOUT, 0, 0);
}

void TCustomDBGridEh::BuildFieldMap() {
  FDataLink->ClearFieldMap();
  TDataSet* ds = DataSet();
  if (!FDataLink->Active() || !ds) return;
  if (FColumns->IsCustomized()) {
    FDataLink->SetSparseFieldMap(true);
    for (int i = 0; i < FColumns->Count(); ++i)
      FDataLink->AddFieldMapping(FColumns->Items(i)->FieldName());
  } else {
    FDataLink->SetSparseFieldMap(false);
    for (int i = 0; i < ds->FieldCount(); ++i)
      if (ds->Fields()->Fields(i)->Visible()) FDataLink->AddFieldMapping(ds->Fields()->Fields(i)->FieldName());
  }
}

void TCustomDBGridEh::UpdateTabStops() {
  int indicator = IndicatorOffset();
  if (indicator && ColCount() > 0) TCustomGrid::SetColWidths(0, kIndicatorWidth);
  for (int i = 0; i < FColumns->Count() && i + indicator < ColCount(); ++i) {
    TColumnEh* c = FColumns->Items(i);
    TField* f = c->Field();
    bool fieldWritable = f && f->FieldKind() != fkCalculated && !f->ReadOnly();
    if (f && f->FieldKind() == fkLookup) {
      std::vector<TField*> keys = c->LookupKeyFieldList();
      fieldWritable = !keys.empty() && AllFieldsModifiable(keys);
    }
    TCustomGrid::SetTabStops(i + indicator,
                             c->Visible() && !c->ReadOnly() && FDataLink->Active() && fieldWritable);
    int width = c->Visible() ? c->Width() : (FOptions.Contains(dgColLines) ? -1 : 0);
    TCustomGrid::SetColWidths(i + indicator, width);
  }
}

void TCustomDBGridEh::ColumnsChanged(TColumnEh* Column) {
  if (ComponentState().Contains(csDestroying)) return;
  if (Column) {
    InvalidateColumn(Column);
    ColumnWidthChanged(Column);
  } else {
    RebuildSortMarkedColumns();
    RebuildLayout();
  }
  TColumnEh* current = CurrentColumn();
  if (current && !current->Visible() && FVisibleColumns->Count() > 0)
    MoveColRow(DataToRawColumn(FVisibleColumns->Items(0)->Index()), Row(), true, false);
  if (FImpl->FLayoutLock == 0 && InplaceEditor() && InplaceEditor()->Visible()) InvalidateEditor();
}

// The grid column follows the column's width; under auto-fit the initial widths are rescaled
// instead and the pass distributes them.
void TCustomDBGridEh::ColumnWidthChanged(TColumnEh* Column) {
  // The pass gives the grid columns their fitted widths itself.
  if (FImpl->FLayingOut) return;
  int raw = DataToRawColumn(Column->Index());
  if (raw < 0 || raw >= ColCount()) return;
  int gridWidth = ColWidths(raw);
  if (!FImpl->FAutoFitColWidths || Designing()) {
    int want = Column->Visible() ? Column->Width() : (FOptions.Contains(dgColLines) ? -1 : 0);
    if (gridWidth == want) {
      if (FImpl->FUseMultiTitle) RebuildLayout();
      return;
    }
    {
      TRestore lock(FImpl->FUpdateLock, FImpl->FUpdateLock + 1);
      TCustomGrid::SetColWidths(raw, want);
    }
    if (FImpl->FInFilterRow) PlaceFilterEditor(false);  // the cells right of it moved
    // The bands of a multi-level title span the new widths.
    if (FImpl->FUseMultiTitle) RebuildLayout();
    return;
  }
  if (gridWidth <= 0) return;
  int oldInitial = Column->InitialWidth();
  int newInitial = MulDiv(oldInitial, Column->Width(), gridWidth);
  Column->SetInitialWidth(newInitial);
  int next = Column->Index() + 1;
  if (raw < ColCount() - 1 && next < FColumns->Count()) {
    TColumnEh* n = FColumns->Items(next);
    n->SetInitialWidth(std::max(0, n->InitialWidth() + oldInitial - newInitial));
  }
  RebuildLayout();
}

void TCustomDBGridEh::ColumnMoved(int FromIndex, int ToIndex) {
  int from = RawToDataColumn(FromIndex), to = RawToDataColumn(ToIndex);
  if (from >= 0 && to >= 0 && from < FColumns->Count() && to < FColumns->Count()) {
    TRestore lock(FImpl->FUpdateLock, FImpl->FUpdateLock + 1);
    FColumns->Items(from)->SetIndex(to);
  }
  TCustomGrid::ColumnMoved(from, to);
}

void TCustomDBGridEh::InvalidateColumn(TColumnEh* Column) { InvalidateCol(DataToRawColumn(Column->Index())); }

void TCustomDBGridEh::InvalidateCurrentRow() {
  if (FDataLink->Active() && !FImpl->FRowRepaintHeld)
    InvalidateRow(TopDataOffset() + FDataLink->ActiveRecord());
}

// ---------------------------------------------------------------- following the dataset

void TCustomDBGridEh::RefreshLayout() {
  if (!HandleAllocated() || FImpl->FRefreshing) return;
  TRestore refreshing(FImpl->FRefreshing, true);
  if (Designing() && FSumList->Active()) FSumList->Recalculate();
  bool barShown = WindowBars()->Visible(SB_VERT);
  RecalcRowCount();
  RefreshVertScrollBar();
  if (FImpl->FAutoFitColWidths && !Designing() && barShown != WindowBars()->Visible(SB_VERT)) DeferLayout();
  SyncCurrentRow();
  if (InplaceEditor() && InplaceEditor()->Visible()) InplaceEditor()->Invalidate();
  Invalidate();
}

void TCustomDBGridEh::SyncCurrentRow() {
  FImpl->FIncSearchActive = false;
  if (!FDataLink->Active() || !HandleAllocated() || Loading()) return;
  int row = TopDataOffset() + CurrentDataRow();
  if (row != Row() && row < RowCount()) {
    if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
    // In the record-position view the view follows the current record.
    MoveColRow(Col(), row, true, ViewMode());
    InvalidateEditor();
  }
  if (InplaceEditorVisible()) {
    TColumnEh* c = CurrentColumn();
    TField* f = c ? c->Field() : nullptr;
    if (f && FieldEditText(c, f) != FImpl->FEditText) InvalidateEditor();
  }
}

void TCustomDBGridEh::DataSetScrolled(int Distance) {
  if (Distance != 0 && !FImpl->FSearching) StopIncSearch();
  if (!HandleAllocated()) return;
  if (ViewMode()) {
    ViewDataChanged();
    return;
  }
  int oldRow = Row();
  if (FDataLink->ActiveRecord() + TopDataOffset() >= RowCount()) RecalcRowCount();
  bool barShown = WindowBars()->Visible(SB_VERT);
  RefreshVertScrollBar();
  if (FImpl->FAutoFitColWidths && !Designing() && barShown != WindowBars()->Visible(SB_VERT)) DeferLayout();
  SyncCurrentRow();
  if (Distance != 0) {
    ScrollDataRows(Distance);
    // An editor always shown takes the new record's text where it stands, rather than being
    // hidden and shown again (which moves the focus away and back).
    if (FOptions.Contains(dgAlwaysShowEditor) && InplaceEditorVisible()) InvalidateEditor();
    else {
      HideEditor();
      if (FOptions.Contains(dgAlwaysShowEditor)) OpenEditor();
    }
  }
  // The rows of the old and the new current record (the old one where its pixels went).
  for (int r : {oldRow - Distance, Row()})
    if (r >= TopDataOffset() && r < RowCount()) InvalidateRow(r);
  // The rows are painted before the footers are invalidated: painted together they would be
  // one rectangle from the rows down to the footers, every row between drawn and copied again.
  if (FImpl->FUpdateLock == 0 && FFooterRowCount > 0) Update();
  InvalidateFooterRows();
  if (FImpl->FUpdateLock == 0) Update();
}

void TCustomDBGridEh::ScrollDataRows(int Distance) {
  int top = TopDataOffset();
  TGridRect box = DataCellBox();
  bool duplicates = false;
  for (int i = 0; i < FColumns->Count(); ++i)
    duplicates = duplicates || FColumns->Items(i)->HideDuplicates();
  int probe = std::min(LeftCol(), ColCount() - 1);
  TRect first = CellRect(probe, top);
  if (std::abs(Distance) > VisibleDataRowCount() || IsRectEmpty(first)) {
    Invalidate();
    return;
  }
  int rowLine = FOptions.Contains(dgRowLines) ? GridLineWidth() : 0;
  // The data rows only: neither the filler and footers below them nor the empty client.
  int lastRow = FFooterRowCount > 0 ? box.Bottom : RowCount() - 1;
  TRect last = CellRect(probe, std::max(top, lastRow));
  int bottom = IsRectEmpty(last) ? ClientHeight() : std::min(ClientHeight(), last.Bottom + rowLine);
  TRect area{0, first.Top, ClientWidth(), bottom};
  ScrollWindow(Handle(), 0, -Distance * (DefaultRowHeight() + rowLine), &area, &area);
  if (duplicates) InvalidateRow(top);
}

void TCustomDBGridEh::EditingChanged() {
  if (FOptions.Contains(dgIndicator) && FDataLink->Active())
    InvalidateCell(0, TopDataOffset() + FDataLink->ActiveRecord());
}

void TCustomDBGridEh::RecordChanged(TField* Field) {
  if (!HandleAllocated()) return;
  bool shown = !Field;
  for (int i = 0; i < FColumns->Count() && !shown; ++i) shown = FColumns->Items(i)->Field() == Field;
  if (shown) InvalidateCurrentRow();
  TColumnEh* c = CurrentColumn();
  TField* current = c ? c->Field() : nullptr;
  if (current && (!Field || Field == current) && FieldEditText(c, current) != FImpl->FEditText) {
    InvalidateEditor();
    if (InplaceEditor() && InplaceEditor()->Visible()) InplaceEditor()->SetSelLength(0);
  }
}

String TCustomDBGridEh::FieldEditText(TColumnEh* Column, TField* Field) const {
  if (FImpl->FDrawMemoText && Field->DataType() == ftMemo) return NormalizedLineBreaks(Field->AsString());
  if (Column->KeyList()->Count() > 0) return Column->CellText();
  return Field->Text();
}

// ---------------------------------------------------------------- focus and editor

bool TCustomDBGridEh::AcquireFocus() {
  if (!CanFocus() || Designing()) return HasInputFocus();
  if (!HasInputFocus()) SetFocus();
  if (!HasInputFocus()) {
    // In an MDI frame the form may refuse the control; the window takes the focus directly.
    TForm* active = Screen ? Screen->ActiveForm() : nullptr;
    if (active && active->FormStyle() == fsMDIForm) ::SetFocus(Handle());
  }
  return HasInputFocus();
}

bool TCustomDBGridEh::HasInputFocus() const {
  HWND f = GetFocus();
  return f == Handle() || (InplaceEditor() && f == InplaceEditor()->Handle()) ||
         (FImpl->FFilterEdit && FImpl->FFilterEdit->HandleAllocated() && f == FImpl->FFilterEdit->Handle());
}

bool TCustomDBGridEh::ShouldShowEditor() const { return FOptions.Contains(dgAlwaysShowEditor); }

void TCustomDBGridEh::OpenEditor() {
  if (ComponentState().Contains(csDestroying)) return;
  if (FImpl->FInFilterRow) LeaveFilterRow();  // leaving restores the editor itself
  ShowEditor();
}

bool TCustomDBGridEh::InplaceEditorVisible() const { return InplaceEditor() && InplaceEditor()->Visible(); }

String TCustomDBGridEh::InplaceEditorText() const { return InplaceEditor() ? InplaceEditor()->Text() : String(); }

void TCustomDBGridEh::ColEnter() {
  if (HandleAllocated()) ApplyColumnImeMode();
  if (OnColEnter) OnColEnter(this);
}

void TCustomDBGridEh::ApplyColumnImeMode() {
  TColumnEh* c = CurrentColumn();
  bool own = c && (c->IsImeModeStored() || c->IsImeNameStored());
  TImeMode mode = own ? c->ImeMode() : FImpl->FOriginalImeMode;
  // The name selects an input method on other systems; here only the mode acts.
  if (InplaceEditor()) InplaceEditor()->SetImeMode(mode);
  SetImeMode(mode);
}

void TCustomDBGridEh::ColExit() {
  if (OnColExit) OnColExit(this);
}

void TCustomDBGridEh::DoExit() {
  StopIncSearch();
  TDataSet* ds = DataSet();
  if (FDataLink->Active() && ds) {
    bool untouchedInsert = ds->State() == dsInsert && !ds->Modified() && !FDataLink->Modified();
    // Leaving cancels a record the user never touched, else keeps what the editor holds. A
    // value the field refuses brings the focus back to the grid: a step on failure only, not a
    // restore, so it stays a handler.
    try {
      if (FOptions.Contains(dgCancelOnExit) && untouchedInsert) ds->Cancel();
      else FDataLink->UpdateRecord();
    } catch (...) {
      if (CanFocus()) SetFocus();
      throw;
    }
  }
  TCustomGrid::DoExit();
}

bool TCustomDBGridEh::SelectCell(int ACol, int ARow) {
  if (ACol != Col() && Col() >= IndicatorOffset()) ColExit();
  return TCustomGrid::SelectCell(ACol, ARow);
}

void TCustomDBGridEh::CurrentChanged(int OldCol, int OldRow) {
  TCustomGrid::CurrentChanged(OldCol, OldRow);
  if (Col() != OldCol && Col() >= IndicatorOffset()) ColEnter();
}

// ---------------------------------------------------------------- edit hooks

TInplaceEdit* TCustomDBGridEh::CreateEditor() { return new TDBGridInplaceEdit(this); }

bool TCustomDBGridEh::CanEditAcceptKey(Char Key) {
  TColumnEh* c = CurrentColumn();
  TField* f = c ? c->Field() : nullptr;
  if (!FDataLink->Active() || !f) return FImpl->FEditorReadOnly == erWritable;
  if (FImpl->FEditorReadOnly == erReadOnly) return false;
  return c->KeyList()->Count() > 0 || f->IsValidChar(Key);
}

bool TCustomDBGridEh::CanEditModify() {
  if (FImpl->FEditorReadOnly == erReadOnly) return false;
  if (FImpl->FEditorReadOnly == erWritable) {
    if (FDataLink->Active()) FDataLink->Edit();
    FDataLink->MarkModified();
    return true;
  }
  TColumnEh* c = CurrentColumn();
  if (!c || c->ColumnKind() == ckCheckbox || FImpl->FIncSearchActive) return false;
  return c->IsEditable(true);
}

bool TCustomDBGridEh::CanEditShow() {
  // No cell editor while the filter row is being edited.
  if (!TCustomGrid::CanEditShow() || FImpl->FLayoutLock > 0 || FImpl->FInFilterRow) return false;
  TColumnEh* c = CurrentColumn();
  if (!c || c->ColumnKind() == ckImage || c->ColumnKind() == ckCheckbox) return false;
  bool blockSelection = FSelection->SelectionKind() != gstNon && FOptionsEh.Contains(dghClearSelection) &&
                        FImpl->FAllowedSelections.Contains(gstRectangle);
  return !blockSelection && !FImpl->FIncSearchActive;
}

int TCustomDBGridEh::GetEditLimit() {
  TColumnEh* c = CurrentColumn();
  if (!c || c->KeyList()->Count() > 0) return 0;
  TField* f = c->Field();
  return f && f->DataType() == ftString ? f->Size() : 0;
}

String TCustomDBGridEh::GetEditMask(int ACol, int) {
  if (!FDataLink->Active()) return String();
  int i = RawToDataColumn(ACol);
  if (i < 0 || i >= FColumns->Count()) return String();
  TColumnEh* c = FColumns->Items(i);
  if (!c->EditMask().empty()) return c->EditMask();
  if (!c->Field() || c->KeyList()->Count() > 0) return String();
  return c->Field()->EditMask();
}

String TCustomDBGridEh::GetEditText(int ACol, int ARow) {
  int i = RawToDataColumn(ACol);
  bool inRange = FDataLink->Active() && i >= 0 && i < FColumns->Count();
  String text = CellEditText(ACol);
  if (!inRange) {
    FImpl->FEditText.clear();
    return FImpl->FEditText;
  }
  TColCellParamsEh params;
  params.SetCol(ACol);
  params.SetRow(ARow);
  params.SetText(text);
  params.SetFont(Canvas()->Font());
  FColumns->Items(i)->FireGetCellParams(true, &params);
  FImpl->FEditText = params.Text();
  return FImpl->FEditText;
}

String TCustomDBGridEh::CellEditText(int ACol) {
  FImpl->FEditValue = Null();
  int i = RawToDataColumn(ACol);
  if (!FDataLink->Active() || i < 0 || i >= FColumns->Count()) return String();
  TColumnEh* c = FColumns->Items(i);
  TField* f = c->Field();
  String text;
  if (c->KeyList()->Count() > 0) {
    int k = c->KeyList()->IndexOf(f ? f->Text() : String());
    text = k >= 0 && k < c->PickList()->Count() ? c->PickList()->Strings(k) : String();
  } else if (f) {
    text = FImpl->FDrawMemoText && f->DataType() == ftMemo ? NormalizedLineBreaks(f->AsString()) : f->Text();
  }
  if (f && f->FieldKind() == fkLookup && !f->KeyFields().empty())
    FImpl->FEditValue = FDataLink->DataSet()->FieldValues(f->KeyFields());
  return text;
}

void TCustomDBGridEh::SetEditText(int, int, const String& Value) { FImpl->FEditText = Value; }

// ---------------------------------------------------------------- write-back

void TCustomDBGridEh::UpdateData() {
  TColumnEh* c = CurrentColumn();
  if (!c) return;
  TField* f = c->Field();
  const String& text = FImpl->FEditText;
  if (!f) {
    c->WriteValue(text, Variant(text), true);
    return;
  }
  switch (c->ColumnKind()) {
    case ckPickList:
      if (c->OnNotInList && c->PickList()->IndexOf(text) < 0) {
        bool recheck = false;
        c->OnNotInList(c, text, recheck);
      }
      c->WriteValue(text, Variant(text), true);
      return;
    case ckKeyList: WriteKeyList(c, text); return;
    case ckLookup:
      if (!f->KeyFields().empty()) {
        WriteLookup(c, f, text);
        return;
      }
      break;
    default: break;
  }
  c->WriteValue(text, Variant(text), true);
}

void TCustomDBGridEh::WriteKeyList(TColumnEh* Column, const String& Text) {
  auto keyOf = [Column](const String& T) {
    int i = Column->PickList()->IndexOf(T);
    return i >= 0 && i < Column->KeyList()->Count() ? Variant(Column->KeyList()->Strings(i)) : Null();
  };
  Variant value = Text.empty() ? Null() : keyOf(Text);
  if (!Text.empty() && Column->PickList()->IndexOf(Text) < 0 && Column->OnNotInList) {
    bool recheck = false;
    Column->OnNotInList(Column, Text, recheck);
    value = recheck ? keyOf(Text) : Null();
  }
  Column->WriteValue(Text, value, false);
}

void TCustomDBGridEh::WriteLookup(TColumnEh* Column, TField* Field, const String& Text) {
  Variant value = FImpl->FEditValue;
  TDataSet* list = Field->LookupDataSet();
  if (VarIsNull(value) && !Text.empty() && Column->OnNotInList && list) {
    TLocateOptions ci{loCaseInsensitive};
    if (!list->Locate(Field->LookupResultField(), Variant(Text), ci)) {
      bool recheck = false;
      Column->OnNotInList(Column, Text, recheck);
      if (recheck && list->Locate(Field->LookupResultField(), Variant(Text), ci))
        value = list->FieldValues(Field->LookupKeyFields());
    } else {
      value = list->FieldValues(Field->LookupKeyFields());
    }
  }
  std::vector<TField*> keys = Column->LookupKeyFieldList();
  if (AllFieldsModifiable(keys)) {
    FDataLink->Edit();
    Column->WriteValue(Text, value, false);
  }
  if (FImpl->FDrawMemoText && Field->DataType() == ftMemo) Field->SetAsString(Text);
  else Field->SetText(Text);
}

// ---------------------------------------------------------------- editing

bool TCustomDBGridEh::OperationsAllowEdit() const {
  if (!FDataLink->Active()) return false;
  TDataSet* ds = DataSet();
  if (!FImpl->FAllowedOperations.Contains(alopUpdateEh) && !(ds && ds->State() == dsInsert)) return false;
  if (ds && ds->IsEmpty() && !FImpl->FAllowedOperations.Contains(alopInsertEh) &&
      !FImpl->FAllowedOperations.Contains(alopAppendEh))
    return false;
  return true;
}

// ---------------------------------------------------------------- footers and sums

void TCustomDBGridEh::InvalidateFooterRows() {
  if (FFooterRowCount <= 0 || !HandleAllocated()) return;
  for (int r = std::max(0, RowCount() - FFooterRowCount); r < RowCount(); ++r) InvalidateRow(r);
}

void TCustomDBGridEh::SumListChangedHandler(TObject*) { InvalidateFooterRows(); }

void TCustomDBGridEh::SumListRecalcAllHandler(TObject*) {
  if (OnSumListRecalcAll) OnSumListRecalcAll(FSumList.get());
}

void TCustomDBGridEh::SumListAfterRecalcAllHandler(TObject*) {
  FImpl->FSumsCurrentAt = FDataLink->ChangeCount();
  FImpl->FSumsCurrent = true;
  if (OnSumListAfterRecalcAll) OnSumListAfterRecalcAll(FSumList.get());
}

void TCustomDBGridEh::FireGetFooterParams(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor& Background,
                                          TAlignment& Alignment, TGridDrawState State, String& Text) {
  if (OnGetFooterParams) OnGetFooterParams(this, DataCol, Row, Column, AFont, Background, Alignment, State, Text);
}

namespace {

// A sum or an average formatted the way its field shows numbers.
String FormatAggregate(Currency Value, TField* Field, const String& FooterFormat) {
  String fieldFormat;
  if (auto* n = dynamic_cast<TNumericField*>(Field)) fieldFormat = n->DisplayFormat();
  Extended v = Value.ToExtended();
  TFieldType t = Field->DataType();
  if (IsIntegerFieldType(t)) {
    if (!FooterFormat.empty()) return FormatFloat(FooterFormat, v);
    if (!fieldFormat.empty()) return FormatFloat(fieldFormat, v);
    return IntToStr(Round(v));
  }
  if (t == ftFloat || t == ftCurrency) {
    if (!FooterFormat.empty()) return FormatFloat(FooterFormat, v);
    if (!fieldFormat.empty()) return FormatFloat(fieldFormat, v);
    auto* f = dynamic_cast<TFloatField*>(Field);
    if (f && f->Currency()) return FloatToStrF(v, ffCurrency, 18, FormatSettings().CurrencyDecimals);
    return FloatToStrF(v, ffGeneral, f ? f->Precision() : 15, 0);
  }
  if (t == ftBCD || t == ftFMTBcd) {
    if (!FooterFormat.empty()) return FormatFloat(FooterFormat, v);
    if (!fieldFormat.empty()) return FormatCurr(fieldFormat, Value);
    auto* f = dynamic_cast<TBCDField*>(Field);
    if (f && f->Currency()) return CurrToStrF(Value, ffCurrency, FormatSettings().CurrencyDecimals);
    return CurrToStr(Value);
  }
  return "0";
}

}  // namespace

String TCustomDBGridEh::GetFooterText(int Row, TColumnEh* Column) {
  TColumnFooterEh* footer = Column->FooterAt(Row);
  switch (footer->ValueType()) {
    case fvtSum:
    case fvtAvg: {
      TDataSet* ds = DataSet();
      if (!ds) return "0";
      TField* field = ds->FindField(footer->FieldName().empty() ? Column->FieldName() : footer->FieldName());
      if (!field) return "0";
      TDBSum* sum =
          FSumList->SumCollection()->FindSum(footer->ValueType() == fvtSum ? goSum : goAvg, field->FieldName());
      if (!sum) return "0";
      return FormatAggregate(sum->ResultValue(), field, footer->DisplayFormat());
    }
    case fvtCount: {
      TDBSum* sum = FSumList->SumCollection()->FindSum(goCount, String());
      Extended n = sum ? sum->ResultValue().ToExtended() : 0;
      return footer->DisplayFormat().empty() ? FloatToStr(n) : FormatFloat(footer->DisplayFormat(), n);
    }
    case fvtFieldValue: {
      TDataSet* ds = DataSet();
      if (!ds || !ds->Active() || footer->FieldName().empty()) return String();
      // A footer naming a field the dataset lacks shows an empty cell rather than failing
      // every paint.
      TField* field = ds->FindField(footer->FieldName());
      return field ? FormatFieldValue(field, footer->DisplayFormat()) : String();
    }
    case fvtStaticText: return footer->Value();
    case fvtNon: return String();
  }
  return String();
}

// ================================================================ the published grid

KELM_PUBLISH(TDBGridEh) { Published(b); }
