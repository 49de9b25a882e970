// The grid as the column model sees it: data source and link, column collection, defaults,
// fonts, sort-marked columns, the sum list and the footer texts built from it.
#include "grid/DBGridEh.h"

#include "core/ClassBuilder.h"
#include "core/SysUtils.h"

// ================================================================ the grid's sum list

KELM_PUBLISH(TDBGridEhSumList) {
  using C = TDBGridEhSumList;
  b.Prop("Active", &C::Active, &C::SetActive).Default(false);
  b.Prop("ExternalRecalc", &C::ExternalRecalc, &C::SetExternalRecalc).Default(false);
  b.Prop("OnRecalcAll", [](const C* c) { return c->OnRecalcAll; }, [](C* c, const TNotifyEvent& e) { c->OnRecalcAll = e; });
  b.Prop("OnAfterRecalcAll", [](const C* c) { return c->OnAfterRecalcAll; },
         [](C* c, const TNotifyEvent& e) { c->OnAfterRecalcAll = e; });
  b.Prop("SumListChanged", [](const C* c) { return c->SumListChanged; },
         [](C* c, const TNotifyEvent& e) { c->SumListChanged = e; });
  b.Prop("VirtualRecords", &C::VirtualRecords, &C::SetVirtualRecords).Default(false);
}

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

// ================================================================ the data link

TGridDataLinkEh::~TGridDataLinkEh() { ClearFieldMap(); }

bool TGridDataLinkEh::AddFieldMapping(const String& FieldName) {
  constexpr int kMaxMapSize = 268435455;
  if (FieldCount() >= kMaxMapSize) throw EInvalidOperation("Grid requested to display more than 256 columns");
  TDataSet* ds = DataSet();
  TField* f = nullptr;
  if (ds) f = FSparseMap ? ds->FindField(FieldName) : ds->FieldByName(FieldName);
  FFieldMap.push_back(f ? f->Index() : -1);
  if (f && FGrid) f->FreeNotification(FGrid);
  return true;
}

void TGridDataLinkEh::ClearFieldMap() { FFieldMap.clear(); }

TField* TGridDataLinkEh::FieldAt(int Index) const {
  if (Index < 0 || Index >= FieldCount() || FFieldMap[Index] < 0) return nullptr;
  TDataSet* ds = DataSet();
  if (!ds || FFieldMap[Index] >= ds->FieldCount()) return nullptr;
  return ds->Fields()->Fields(FFieldMap[Index]);
}

void TGridDataLinkEh::ActiveChanged() {
  FModified = false;
  if (FGrid) FGrid->LinkActiveChanged(Active());
}

void TGridDataLinkEh::LayoutChanged() {
  if (FGrid) {
    bool saved = FGrid->FDataLinkLayoutChanging;
    FGrid->FDataLinkLayoutChanging = true;
    try {
      FGrid->RebuildLayout();
    } catch (...) {
      FGrid->FDataLinkLayoutChanging = saved;
      throw;
    }
    FGrid->FDataLinkLayoutChanging = saved;
  }
  TDataLink::LayoutChanged();
}

void TGridDataLinkEh::RecordChanged(TField*) { FModified = false; }

void TGridDataLinkEh::DataSetChanged() { FModified = false; }

// ================================================================ the grid

KELM_PUBLISH(TCustomDBGridEh) {}

TCustomDBGridEh::TCustomDBGridEh(TComponent* AOwner) : TCustomControl(AOwner) {
  FColumnDefValues.reset(CreateColumnDefValues());
  FColumns.reset(CreateColumns());
  FDataLink = std::make_unique<TGridDataLinkEh>(this);
  SetColor(clWindow);
  SetParentColor(false);
  FTitleFont = std::make_unique<TFont>();
  FTitleFont->Assign(Font());
  FTitleFont->SetOnChange(TNotifyEvent(this, &TCustomDBGridEh::FontsChanged));
  FSumList = std::make_unique<TDBGridEhSumList>(this);
  FSumList->SumListChanged = TNotifyEvent(this, &TCustomDBGridEh::SumListChangedHandler);
  FSumList->OnRecalcAll = TNotifyEvent(this, &TCustomDBGridEh::SumListRecalcAllHandler);
  FSumList->OnAfterRecalcAll = TNotifyEvent(this, &TCustomDBGridEh::SumListAfterRecalcAllHandler);
  FSortMarkedColumns = std::make_unique<TColumnsEhList>();
  FFooterFont = std::make_unique<TFont>();
  FFooterFont->Assign(Font());
  FFooterFont->SetOnChange(TNotifyEvent(this, &TCustomDBGridEh::FontsChanged));
  FTitleImageChangeLink = std::make_unique<TChangeLink>();
  FTitleImageChangeLink->SetOnChange(TNotifyEvent(this, &TCustomDBGridEh::TitleImagesChanged));
}

TCustomDBGridEh::~TCustomDBGridEh() {
  Destroying();
  if (FTitleImages) FTitleImages->UnRegisterChanges(FTitleImageChangeLink.get());
  // Columns go first: their footers give their items back to the sum list.
  FColumns.reset();
  FColumnDefValues.reset();
  FSortMarkedColumns.reset();
  FDataLink.reset();
  FTitleFont.reset();
  FTitleImageChangeLink.reset();
  FSumList.reset();
  FFooterFont.reset();
}

TColumnDefValuesEh* TCustomDBGridEh::CreateColumnDefValues() { return new TDBGridEhColumnDefValuesEh(this); }

TDBGridColumnsEh* TCustomDBGridEh::CreateColumns() { return new TDBGridColumnsEh(this, TDBGridColumnEh::StaticClass()); }

void TCustomDBGridEh::Loaded() {
  TCustomControl::Loaded();
  RebuildSortMarkedColumns();
  if (DataSource()) FSumList->Loaded();
  RebuildLayout();
}

TFont* TCustomDBGridEh::SortIndexFont() {
  // Made once and kept for the life of the process; one pixel lower than the 9-pixel marker
  // bitmaps.
  static TFont* font = [] {
    auto* f = new TFont();
    f->SetName("Arial");
    f->SetHeight(-8);
    return f;
  }();
  return font;
}

// ---------------------------------------------------------------- data

void TCustomDBGridEh::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  if (TDataSource* old = DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  LinkActiveChanged(FDataLink->Active());
}

void TCustomDBGridEh::LinkActiveChanged(bool) {
  FSumList->SetDataSet(DataSet());
  RebuildLayout();
}

void TCustomDBGridEh::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove || !FColumns) return;
  if (AComponent == DataSource()) {
    SetDataSource(nullptr);
    return;
  }
  if (AComponent == FTitleImages) FTitleImages = nullptr;
  // Not the scoped lock: ending the layout may raise, and that must reach the caller rather
  // than leave a destructor.
  BeginLayout();
  try {
    for (int i = 0; i < FColumns->Count(); ++i) {
      TColumnEh* c = FColumns->Items(i);
      if (c->FField == AComponent) c->FieldGone();
      if (c->FPopupMenu == AComponent) c->FPopupMenu = nullptr;
      if (c->FImageList == AComponent) c->FImageList = nullptr;
    }
  } catch (...) {
    EndLayout();
    throw;
  }
  EndLayout();
}

void TCustomDBGridEh::RebuildSortMarkedColumns() {
  FSortMarkedColumns->Clear();
  for (int i = 0; i < FColumns->Count(); ++i) {
    TColumnEh* c = FColumns->Items(i);
    int k = c->Title()->SortIndex();
    if (k <= 0) continue;
    if (FSortMarkedColumns->Count() < k) FSortMarkedColumns->SetCount(k);
    FSortMarkedColumns->SetItems(k - 1, c);
  }
  // Gaps in stored indices leave no empty places in the sort order.
  FSortMarkedColumns->Pack();
}

// ---------------------------------------------------------------- settings

void TCustomDBGridEh::SetAutoFitColWidths(bool Value) {
  if (Value == FAutoFitColWidths) return;
  FAutoFitColWidths = Value;
  RebuildLayout();
}

void TCustomDBGridEh::SetDefaultColWidth(int Value) {
  if (Value == FDefaultColWidth) return;
  FDefaultColWidth = Value;
  RebuildLayout();
}

void TCustomDBGridEh::SetDrawMemoText(bool Value) {
  if (Value == FDrawMemoText) return;
  FDrawMemoText = Value;
  Invalidate();
}

void TCustomDBGridEh::SetFixedColor(TColor Value) {
  if (Value == FFixedColor) return;
  FFixedColor = Value;
  Invalidate();
}

void TCustomDBGridEh::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  RebuildLayout();
}

void TCustomDBGridEh::SetFooterColor(TColor Value) {
  FFooterColor = Value;
  SetParentColor(false);
  InvalidateFooterRows();
}

void TCustomDBGridEh::SetFooterRowCount(int Value) {
  if (Value < 0 || Value == FFooterRowCount) return;
  FFooterRowCount = Value;
  RebuildLayout();
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
  FOptionsEh = Value;
  Invalidate();
}

void TCustomDBGridEh::SetTitleImages(TCustomImageList* Value) {
  if (Value == FTitleImages) return;
  if (FTitleImages) FTitleImages->UnRegisterChanges(FTitleImageChangeLink.get());
  FTitleImages = Value;
  if (Value) {
    Value->RegisterChanges(FTitleImageChangeLink.get());
    Value->FreeNotification(this);
  }
  RebuildLayout();
}

void TCustomDBGridEh::SetUseMultiTitle(bool Value) {
  if (Value == FUseMultiTitle) return;
  FUseMultiTitle = Value;
  RebuildLayout();
}

void TCustomDBGridEh::FontsChanged(TObject*) { RebuildLayout(); }
void TCustomDBGridEh::TitleImagesChanged(TObject*) { RebuildLayout(); }

// ---------------------------------------------------------------- layout

void TCustomDBGridEh::RebuildLayout() {
  if (FLayoutLock > 0 || (FColumns && FColumns->UpdateCount() > 0)) return;
  BeginLayout();
  EndLayout();
}

void TCustomDBGridEh::BeginLayout() {
  if (FLayoutLock++ == 0 && FColumns) FColumns->BeginUpdate();
}

void TCustomDBGridEh::EndLayout() {
  if (FLayoutLock == 0) return;
  if (FLayoutLock > 1) {
    --FLayoutLock;
    return;
  }
  // The lock is held until the collection update has ended, so the change that ending reports
  // does not start another pass.
  struct TRelease {
    TCustomDBGridEh* G;
    ~TRelease() { G->FLayoutLock = 0; }
  } release{this};
  try {
    if (!Loading() && !ComponentState().Contains(csDestroying)) LayoutChanged();
  } catch (...) {
    if (FColumns) FColumns->EndUpdate();
    throw;
  }
  if (FColumns) FColumns->EndUpdate();
}

void TCustomDBGridEh::ColumnsChanged(TColumnEh* Column) {
  if (ComponentState().Contains(csDestroying)) return;
  if (Column) {
    InvalidateColumn(Column);
    return;
  }
  RebuildSortMarkedColumns();
  RebuildLayout();
}

// ---------------------------------------------------------------- editing

bool TCustomDBGridEh::OperationsAllowEdit() const {
  if (!FDataLink->Active()) return false;
  TDataSet* ds = DataSet();
  if (!FAllowedOperations.Contains(alopUpdateEh) && !(ds && ds->State() == dsInsert)) return false;
  if (ds && ds->IsEmpty() && !FAllowedOperations.Contains(alopInsertEh) && !FAllowedOperations.Contains(alopAppendEh))
    return false;
  return true;
}

// ---------------------------------------------------------------- footers and sums

void TCustomDBGridEh::InvalidateFooterRows() {
  // The grid's row geometry narrows this to the footer rows.
  if (FFooterRowCount > 0) Invalidate();
}

void TCustomDBGridEh::SumListChangedHandler(TObject*) { InvalidateFooterRows(); }

void TCustomDBGridEh::SumListRecalcAllHandler(TObject*) {
  if (OnSumListRecalcAll) OnSumListRecalcAll(FSumList.get());
}

void TCustomDBGridEh::SumListAfterRecalcAllHandler(TObject*) {
  if (OnSumListAfterRecalcAll) OnSumListAfterRecalcAll(FSumList.get());
}

void TCustomDBGridEh::FireGetFooterParams(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor& Background,
                                          TAlignment& Alignment, TGridDrawState State, String& Text) {
  if (OnGetFooterParams) OnGetFooterParams(this, DataCol, Row, Column, AFont, Background, Alignment, State, Text);
}

namespace {

bool IsIntegerType(TFieldType T) {
  return T == ftSmallint || T == ftInteger || T == ftWord || T == ftAutoInc || T == ftLargeint;
}

// A sum or an average formatted the way its field shows numbers.
String FormatAggregate(Currency Value, TField* Field, const String& FooterFormat) {
  String fieldFormat;
  if (auto* n = dynamic_cast<TNumericField*>(Field)) fieldFormat = n->DisplayFormat();
  Extended v = Value.ToExtended();
  TFieldType t = Field->DataType();
  if (IsIntegerType(t)) {
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
      TDBSum* sum = FSumList->SumCollection()->FindSum(footer->ValueType() == fvtSum ? goSum : goAvg, field->FieldName());
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
      return FormatFieldValue(ds->FieldByName(footer->FieldName()), footer->DisplayFormat());
    }
    case fvtStaticText: return footer->Value();
    case fvtNon: return String();
  }
  return String();
}
