// The lookup drop-down grid: its two sides, the key, incremental search, keys and mouse,
// heights, the special row and the pop-up form of it.
#include "grid/DBLookupGridEh.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"
#include "gui/Forms.h"
#include "gui/Screen.h"

#include <algorithm>

namespace {

const char* const SCircularDataLink = "Circular datalinks are not allowed";
const char* const SPropDefByLookup = "Property already defined by lookup field";
const char* const SDataSourceFixed = "Operation not allowed in a DBCtrlGrid";

String JoinNames(const std::vector<TField*>& Fields) {
  String s;
  for (TField* f : Fields) s += (s.empty() ? "" : ";") + f->FieldName();
  return s;
}

Variant ValuesOf(const std::vector<TField*>& Fields) {
  if (Fields.empty()) return Null();
  if (Fields.size() == 1) return Fields.front()->Value();
  std::vector<Variant> v;
  for (TField* f : Fields) v.push_back(f->Value());
  return VarArrayOf(v);
}

bool IsStringType(TField* f) {
  return f->DataType() == ftString || f->DataType() == ftWideString || f->DataType() == ftFixedChar ||
         f->DataType() == ftMemo;
}

}  // namespace

// ================================================================ TLookupGridDataLinkEh

void TLookupGridDataLinkEh::ActiveChanged() { FGrid->DataSideActivated(); }

void TLookupGridDataLinkEh::LayoutChanged() { FGrid->DataSideActivated(); }

void TLookupGridDataLinkEh::RecordChanged(TField* Field) { FGrid->DataSideRecordChanged(Field); }

void TLookupGridDataLinkEh::FocusControl(TField** Field) {
  if (!Field || !*Field || FGrid->FDataFields.size() != 1 || *Field != FGrid->FDataFields.front()) return;
  if (!FGrid->CanFocus()) return;
  *Field = nullptr;
  FGrid->SetFocus();
}

// ================================================================ TGridColumnSpecCellEh

KELM_PUBLISH(TGridColumnSpecCellEh) { Published(b); }

TGridColumnSpecCellEh::TGridColumnSpecCellEh(TDBLookupGridColumnEh* Column) : FColumn(Column) {
  FFont = std::make_unique<TFont>();
  FFont->SetOnChange(TNotifyEvent(this, &TGridColumnSpecCellEh::FontChanged));
}

TGridColumnSpecCellEh::~TGridColumnSpecCellEh() { FFont->SetOnChange(TNotifyEvent()); }

TPersistent* TGridColumnSpecCellEh::GetOwner() const { return FColumn; }

TSpecRowEh* TGridColumnSpecCellEh::GridSpecRow() const {
  TDBLookupGridEh* g = FColumn ? FColumn->LookupGrid() : nullptr;
  return g ? g->SpecRow() : nullptr;
}

void TGridColumnSpecCellEh::FontChanged(TObject*) {
  if (!FSettingFont) FFontAssigned = true;
}

String TGridColumnSpecCellEh::Text() const {
  if (FTextAssigned) return FText;
  TSpecRowEh* s = GridSpecRow();
  return s ? s->CellText(FColumn->Index()) : FText;
}

void TGridColumnSpecCellEh::SetText(const String& Value) {
  FText = Value;
  FTextAssigned = true;
}

TColor TGridColumnSpecCellEh::Color() const {
  if (FColorAssigned) return FColor;
  TSpecRowEh* s = GridSpecRow();
  return s ? s->Color() : FColor;
}

void TGridColumnSpecCellEh::SetColor(TColor Value) {
  FColor = Value;
  FColorAssigned = true;
}

TFont* TGridColumnSpecCellEh::Font() const {
  if (FFontAssigned) return FFont.get();
  TSpecRowEh* s = GridSpecRow();
  return s ? s->Font() : FFont.get();
}

void TGridColumnSpecCellEh::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TGridColumnSpecCellEh*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  if (s->FTextAssigned) SetText(s->FText);
  if (s->FColorAssigned) SetColor(s->FColor);
  if (s->FFontAssigned) FFont->Assign(s->FFont.get());
}

// ================================================================ TDBLookupGridColumnEh

template <class B> void TDBLookupGridColumnEh::Published(B& b) {
  using C = TDBLookupGridColumnEh;
  b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::IsAlignmentStored);
  b.Prop("AutoFitColWidth", &C::AutoFitColWidth, &C::SetAutoFitColWidth).Default(true);
  b.Prop("Checkboxes", &C::Checkboxes, &C::SetCheckboxes).NoDefault().Stored(&C::IsCheckboxesStored);
  b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::IsColorStored);
  b.Prop("FieldName", &C::FieldName, &C::SetFieldName);
  b.Prop("Font", &C::Font, &C::SetFont).Stored(&C::IsFontStored);
  b.Prop("ImageList", &C::ImageList, &C::SetImageList);
  b.Prop("KeyList", &C::KeyList, &C::SetKeyList);
  b.Prop("MaxWidth", &C::MaxWidth, &C::SetMaxWidth).Default(0);
  b.Prop("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(0);
  b.Prop("NotInKeyListIndex", &C::NotInKeyListIndex, &C::SetNotInKeyListIndex).Default(-1);
  b.Prop("PickList", &C::PickList, &C::SetPickList);
  b.Prop("ShowImageAndText", &C::ShowImageAndText, &C::SetShowImageAndText).Default(false);
  b.Prop("SpecCell", &C::SpecCell, &C::SetSpecCell);
  b.Prop("Title", &C::Title, &C::SetTitle);
  b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).NoDefault().Stored(&C::IsToolTipsStored);
  b.Prop("Visible", &C::Visible, &C::SetVisible).Default(true);
  b.Prop("Width", &C::Width, &C::SetWidth).NoDefault().Stored(&C::IsWidthStored);
  b.Prop("OnGetCellParams", &C::OnGetCellParams, &C::SetOnGetCellParams);
}

KELM_PUBLISH(TDBLookupGridColumnEh) { Published(b); }

TDBLookupGridColumnEh::TDBLookupGridColumnEh(TCollection* Collection) : TColumnEh(Collection) {
  FSpecCell = std::make_unique<TGridColumnSpecCellEh>(this);
}

TDBLookupGridColumnEh::~TDBLookupGridColumnEh() = default;

void TDBLookupGridColumnEh::Assign(TPersistent* Source) {
  TColumnEh::Assign(Source);
  if (auto* s = dynamic_cast<TDBLookupGridColumnEh*>(Source)) FSpecCell->Assign(s->SpecCell());
}

TDBLookupGridEh* TDBLookupGridColumnEh::LookupGrid() const { return dynamic_cast<TDBLookupGridEh*>(Grid()); }

KELM_PUBLISH(TDBLookupGridColumnDefValuesEh) { Published(b); }

// ================================================================ TDBLookupGridEh

KELM_PUBLISH(TDBLookupGridEh) { Published(b); }

TDBLookupGridEh::TDBLookupGridEh(TComponent* AOwner) : TCustomDBGridEh(AOwner) {
  RecreateColumnObjects();
  FDataLink = std::make_unique<TLookupGridDataLinkEh>(this);
  FInternalSource = std::make_unique<TDataSource>(nullptr);
  FSpecRow = std::make_unique<TSpecRowEh>(this);
  FSpecRow->OnSpecRowChanged = TNotifyEvent(this, &TDBLookupGridEh::SpecRowChanged);
  TControlStyle style = ControlStyle();
  style += csReplicatable;
  SetControlStyle(style);
  SetParentColor(false);
  SetOptions({dgColLines, dgRowSelect});
  SetOptionsEh(OptionsEh() + TDBGridEhOptions{dghTraceColSizing});
  VertScrollBar()->SetTracking(true);
  HorzScrollBar()->SetTracking(true);
  SetFlat(true);
  SetDrawMemoText(true);
  SetTabStop(false);
  SetVTitleMargin(5);
}

TDBLookupGridEh::~TDBLookupGridEh() {
  Destroying();
  FSpecRow->OnSpecRowChanged = TNotifyEvent();
  FDataLink.reset();
}

TDBGridColumnsEh* TDBLookupGridEh::CreateColumns() {
  return new TDBGridColumnsEh(this, TDBLookupGridColumnEh::StaticClass());
}

TColumnDefValuesEh* TDBLookupGridEh::CreateColumnDefValues() { return new TDBLookupGridColumnDefValuesEh(this); }

void TDBLookupGridEh::Loaded() {
  TCustomDBGridEh::Loaded();
  ResolveListFields();
  DataSideActivated();
}

DWORD& TDBLookupGridEh::LastSearchTick() {
  static DWORD tick = 0;
  return tick;
}

// ---------------------------------------------------------------- setters

void TDBLookupGridEh::SetListSource(TDataSource* Value) {
  if (FLookupMode) DatabaseError(SPropDefByLookup, this);
  if (FDataLink->DataSourceFixed()) DatabaseError(SDataSourceFixed, this);
  TCustomDBGridEh::SetDataSource(Value);
  ResolveListFields();
}

void TDBLookupGridEh::SetKeyField(const String& Value) {
  if (FLookupMode) DatabaseError(SPropDefByLookup, this);
  if (FDataLink->DataSourceFixed()) DatabaseError(SDataSourceFixed, this);
  if (Value == FKeyFieldName) return;
  FKeyFieldName = Value;
  ResolveListFields();
  RefitColumns();
}

void TDBLookupGridEh::SetListField(const String& Value) {
  if (Value == FListFieldName) return;
  FListFieldName = Value;
  ResolveListFields();
  RefitColumns();
}

void TDBLookupGridEh::SetListFieldPosition(int Value) {
  if (Value == FListFieldIndex) return;
  FListFieldIndex = Value;
  ResolveListFields();
}

void TDBLookupGridEh::SetDataSource(TDataSource* Value) {
  if (FDataLink->DataSourceFixed() && Loading()) return;
  if (TDataSource* old = FDataLink->DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TDBLookupGridEh::SetDataField(const String& Value) {
  if (Value == FDataFieldName) return;
  FDataFieldName = Value;
  DataSideActivated();
}

void TDBLookupGridEh::SetChosenKey(const Variant& Value) {
  if (ToolCtrlsEh::VariantsEqual(Value, FChosenKey) && VarType(Value) == VarType(FChosenKey)) return;
  FChosenKey = Value;
  AfterKeyChange();
}

void TDBLookupGridEh::SpecRowChanged(TObject*) {
  if (Loading()) return;
  if (HandleAllocated()) {
    RecalcRowCount();
    SetHeightForRows();
  }
  Invalidate();
}

void TDBLookupGridEh::SetTitlesShown(bool Value) {
  TDBGridOptions o = Options();
  if (Value) o.Include(dgTitles);
  else o.Exclude(dgTitles);
  SetOptions(o);
  SetHeightForRows();
}

void TDBLookupGridEh::SetUseMultiTitleEh(bool Value) {
  SetUseMultiTitle(Value);
  SetHeightForRows();
}

TDBLookupGridEhOptions TDBLookupGridEh::LookupOptions() const {
  TDBLookupGridEhOptions r;
  if (Options().Contains(dgColumnResize)) r.Include(dlgColumnResizeEh);
  if (Options().Contains(dgColLines)) r.Include(dlgColLinesEh);
  if (Options().Contains(dgRowLines)) r.Include(dlgRowLinesEh);
  if (OptionsEh().Contains(dghAutoSortMarking)) r.Include(dlgAutoSortMarkingEh);
  if (OptionsEh().Contains(dghMultiSortMarking)) r.Include(dlgMultiSortMarkingEh);
  return r;
}

void TDBLookupGridEh::SetLookupOptions(TDBLookupGridEhOptions Value) {
  TDBGridOptions o = Options();
  auto set = [](auto& s, auto item, bool on) {
    if (on) s.Include(item);
    else s.Exclude(item);
  };
  set(o, dgColumnResize, Value.Contains(dlgColumnResizeEh));
  set(o, dgColLines, Value.Contains(dlgColLinesEh));
  set(o, dgRowLines, Value.Contains(dlgRowLinesEh));
  SetOptions(o);
  TDBGridEhOptions e = OptionsEh();
  set(e, dghAutoSortMarking, Value.Contains(dlgAutoSortMarkingEh));
  set(e, dghMultiSortMarking, Value.Contains(dlgMultiSortMarkingEh));
  SetOptionsEh(e);
  SetHeightForRows();
}

void TDBLookupGridEh::SetAutoFitListColWidths(bool Value) {
  if (Value == FAutoFitList) return;
  FAutoFitList = Value;
  if (Value) {
    TDBGridEhScrollBar* h = HorzScrollBar();
    h->SetVisible(false);
  }
  RefitColumns();
}

void TDBLookupGridEh::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomDBGridEh::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

// ---------------------------------------------------------------- the two sides

void TDBLookupGridEh::CheckNotCircular() {
  if (DataSource() && ListDataSet() && DataSource()->IsLinkedTo(ListDataSet())) DatabaseError(SCircularDataLink, this);
}

bool TDBLookupGridEh::ListChangeAllowed() const {
  if (!FListActive || ReadOnly()) return false;
  if (!DataSource()) return true;
  return !FMasterFields.empty() && AllFieldsModifiable(FMasterFields);
}

bool TDBLookupGridEh::KeyShapeMatches(const Variant& Value) const {
  if (FKeyFields.size() == 1) return !VarIsArray(Value);
  return VarIsArray(Value) && VarArrayHighBound(Value, 1) - VarArrayLowBound(Value, 1) + 1 ==
                                  static_cast<int>(FKeyFields.size());
}

void TDBLookupGridEh::DataSideActivated() {
  FMasterFieldNames.clear();
  FMasterFields.clear();
  FDataFields.clear();
  bool lookup = false;
  if (FDataLink->Active() && !FDataFieldName.empty()) {
    CheckNotCircular();
    FDataLink->DataSet()->GetFieldList(FDataFields, FDataFieldName);
    if (FDataFields.size() == 1 && FDataFields.front()->Lookup()) {
      TField* f = FDataFields.front();
      f->DataSet()->GetFieldList(FMasterFields, f->KeyFields());
      lookup = true;
      // The lookup field names the list and its fields.
      FLookupMode = false;
      FInternalSource->SetDataSet(f->LookupDataSet());
      TCustomDBGridEh::SetDataSource(FInternalSource.get());
      FKeyFieldName = f->LookupKeyFields();
      FListFieldName = f->LookupResultField();
    } else {
      FMasterFields = FDataFields;
    }
    FMasterFieldNames = JoinNames(FMasterFields);
  }
  if (FLookupMode && !lookup && TCustomDBGridEh::DataSource() == FInternalSource.get())
    TCustomDBGridEh::SetDataSource(nullptr);
  FLookupMode = lookup;
  if (lookup) ResolveListFields();
  DataSideRecordChanged(nullptr);
}

void TDBLookupGridEh::DataSideRecordChanged(TField* Field) {
  if (Field && std::find(FMasterFields.begin(), FMasterFields.end(), Field) == FMasterFields.end()) return;
  SetChosenKey(FMasterFields.empty() || !FDataLink->Active() ? (FDataFieldName.empty() ? FChosenKey : Null())
                                                               : ValuesOf(FMasterFields));
}

void TDBLookupGridEh::ResolveListFields() {
  FListActive = false;
  FListField = nullptr;
  FListFields.clear();
  FKeyFields.clear();
  TDataSet* ds = ListDataSet();
  if (ds && ds->Active() && TCustomDBGridEh::DataLink()->Active() && !FKeyFieldName.empty()) {
    CheckNotCircular();
    ds->GetFieldList(FKeyFields, FKeyFieldName);
    std::size_t start = 0;
    while (start < FListFieldName.size()) {
      std::size_t end = FListFieldName.find(';', start);
      if (end == String::npos) end = FListFieldName.size();
      String name = Trim(FListFieldName.substr(start, end - start));
      if (!name.empty()) {
        TField* f = ds->FindField(name);
        if (!f) DatabaseErrorFmt(SFieldNotFound, {FListFieldName}, this);
        FListFields.push_back(f);
      }
      start = end + 1;
    }
    if (FLookupMode && !FDataFields.empty()) {
      TField* result = ds->FindField(FDataFields.front()->LookupResultField());
      if (result && std::find(FListFields.begin(), FListFields.end(), result) == FListFields.end())
        FListFields.insert(FListFields.begin(), result);
      FListField = result;
    }
    if (FListFields.empty()) FListFields = FKeyFields;
    if (!FListField && !FListFields.empty())
      FListField = FListFields[static_cast<std::size_t>(std::clamp(FListFieldIndex, 0, static_cast<int>(FListFields.size()) - 1))];
    FListActive = true;
  }
  if (FListActive) {
    RebuildLayout();
    AfterKeyChange();
  } else {
    RefreshListWindow();
  }
}

Variant TDBLookupGridEh::CurrentListKey() const { return ValuesOf(FKeyFields); }

bool TDBLookupGridEh::FindKeyRecord() {
  TDataSet* ds = ListDataSet();
  if (VarIsNull(FChosenKey) || VarIsEmpty(FChosenKey) || !ds || !ds->Active() || FKeyFields.empty() ||
      !KeyShapeMatches(FChosenKey))
    return false;
  try {
    return ds->Locate(FKeyFieldName, FChosenKey, TLocateOptions());
  } catch (const Exception&) {
    return false;
  }
}

void TDBLookupGridEh::AfterKeyChange() {
  bool found = false;
  if (FSpecRow->Visible()) {
    FSpecRowSelected = ToolCtrlsEh::VariantsEqual(FChosenKey, FSpecRow->Value());
    if (!FLockPosition && !FSpecRowSelected && FSpecRow->ShowIfNotInKeyList()) {
      found = FindKeyRecord();
      if (!found) FSpecRowSelected = true;
    }
  } else {
    FSpecRowSelected = false;
  }
  if (FListActive && !FLockPosition) {
    if (!found && !FSpecRowSelected) found = FindKeyRecord();
    if (!found && !FSpecRowSelected) ListDataSet()->First();
  }
  RefreshListWindow();
  // A key the list does not hold has no text (the first record's would mislead).
  if (FSpecRow->Visible() && FSpecRowSelected) FChosenText = FSpecRow->CellText(FListFieldIndex);
  else if (FListField && FKeySelected) FChosenText = FListField->DisplayText();
  else FChosenText.clear();
  Invalidate();
}

void TDBLookupGridEh::RefreshListWindow() {
  FKeySelected = FListActive && !FSpecRowSelected && !VarIsNull(FChosenKey) &&
                 ToolCtrlsEh::VariantsEqual(CurrentListKey(), FChosenKey);
  if (HandleAllocated()) {
    RefreshVertScrollBar();
    SyncCurrentRow();
  }
}

void TDBLookupGridEh::ChooseKey(const Variant& Value) {
  if (FMasterFields.empty()) {
    SetChosenKey(Value);
  } else if (FDataLink->Edit()) {
    if (FMasterFields.size() == 1) {
      FMasterFields.front()->SetValue(Value);
    } else {
      for (std::size_t i = 0; i < FMasterFields.size(); ++i)
        FMasterFields[i]->SetValue(Value.GetElement({VarArrayLowBound(Value, 1) + static_cast<int>(i)}));
    }
  }
  if (HandleAllocated()) SyncCurrentRow();
  Invalidate();
  Click();
}

void TDBLookupGridEh::SelectCurrent() {
  TRestore locked(FLockPosition, true);
  FSpecRowSelected = false;
  Variant key = CurrentListKey();
  if (!ToolCtrlsEh::VariantsEqual(key, FChosenKey) || VarIsNull(FChosenKey)) ChooseKey(key);
  else AfterKeyChange();
  UserChoiceMade();
}

void TDBLookupGridEh::SelectSpecRow() {
  TRestore locked(FLockPosition, true);
  if (!ToolCtrlsEh::VariantsEqual(FSpecRow->Value(), FChosenKey)) ChooseKey(FSpecRow->Value());
  FSpecRowSelected = true;
  AfterKeyChange();
  UserChoiceMade();
}

// ---------------------------------------------------------------- grid hooks

void TDBLookupGridEh::LinkActiveChanged(bool Active) {
  TCustomDBGridEh::LinkActiveChanged(Active);
  ResolveListFields();
}

void TDBLookupGridEh::DataSetScrolled(int Distance) {
  TCustomDBGridEh::DataSetScrolled(Distance);
  if (!FLockPosition) RefreshListWindow();
}

void TDBLookupGridEh::RecordChanged(TField* Field) {
  TCustomDBGridEh::RecordChanged(Field);
  FKeySelected = FListActive && !FSpecRowSelected && ToolCtrlsEh::VariantsEqual(CurrentListKey(), FChosenKey);
}

void TDBLookupGridEh::BuildFieldMap() {
  if (Columns()->IsCustomized() || !FListActive) {
    TCustomDBGridEh::BuildFieldMap();
    return;
  }
  TCustomDBGridEh::DataLink()->ClearFieldMap();
  TCustomDBGridEh::DataLink()->SetSparseFieldMap(false);
  for (TField* f : FListFields) TCustomDBGridEh::DataLink()->AddFieldMapping(f->FieldName());
}

void TDBLookupGridEh::CollectDataSetFields(std::vector<TField*>& List) const {
  if (!FListActive) {
    TCustomDBGridEh::CollectDataSetFields(List);
    return;
  }
  List.insert(List.end(), FListFields.begin(), FListFields.end());
}

int TDBLookupGridEh::FilterRowCount() const { return FSpecRow && FSpecRow->Visible() ? 1 : 0; }

bool TDBLookupGridEh::CanDrawRowFocus() const { return TCustomDBGridEh::CanDrawRowFocus() && FKeySelected; }

bool TDBLookupGridEh::IsDataCellHighlighted(int, int, TFont* AFont, TColor& Background, TGridDrawState& State) {
  if (FSpecRowSelected || VarIsNull(FChosenKey) || !FListActive) return false;
  if (!ToolCtrlsEh::VariantsEqual(CurrentListKey(), FChosenKey)) return false;
  Background = clHighlight;
  AFont->SetColor(clHighlightText);
  State.Include(gdSelected);
  return true;
}

void TDBLookupGridEh::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (ARow != SpecRowGridRow() || ACol < IndicatorOffset()) {
    TCustomDBGridEh::DrawCell(ACol, ARow, ARect, AState);
    return;
  }
  int dataCol = RawToDataColumn(ACol);
  auto* c = dataCol < Columns()->Count() ? dynamic_cast<TDBLookupGridColumnEh*>(Columns()->Items(dataCol)) : nullptr;
  TCanvas* cv = Canvas();
  TFont* font = c ? c->SpecCell()->Font() : FSpecRow->Font();
  cv->Font()->Assign(font);
  TColor back = c ? c->SpecCell()->Color() : FSpecRow->Color();
  if (FSpecRowSelected) {
    back = clHighlight;
    cv->Font()->SetColor(clHighlightText);
  }
  cv->Brush()->SetColor(back);
  cv->FillRect(ARect);
  String text = c ? c->SpecCell()->Text() : FSpecRow->CellText(dataCol);
  TAlignment a = c ? c->Alignment() : taLeftJustify;
  if (UseRightToLeftAlignment()) a = a == taLeftJustify ? taRightJustify : a == taRightJustify ? taLeftJustify : a;
  TRect r = ARect;
  InflateRect(r, -2, -1);
  UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER |
               (a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : DT_LEFT);
  cv->Brush()->SetStyle(bsClear);
  DrawText(cv->Handle(), text, -1, &r, flags);
  cv->Brush()->SetStyle(bsSolid);
  if (FSpecRowSelected && ACol == ColCount() - 1) {
    TRect row = Rect(CellRect(IndicatorOffset(), ARow).Left, ARect.Top, ARect.Right, ARect.Bottom);
    cv->DrawFocusRect(row);
  }
}

// ---------------------------------------------------------------- heights and widths

int TDBLookupGridEh::ListRowHeight() const {
  return DefaultRowHeight() + (Options().Contains(dgRowLines) ? GridLineWidth() : 0);
}

int TDBLookupGridEh::ExtraRowHeight() const { return FSpecRow->Visible() ? ListRowHeight() : 0; }

int TDBLookupGridEh::FrameHeight() const { return Height() - ClientHeight(); }

namespace {

int TitleExtent(const TDBLookupGridEh* G) {
  if (!G->Options().Contains(dgTitles)) return 0;
  return G->RowHeights(0) + (G->Options().Contains(dgRowLines) || G->Options().Contains(dgColLines) ? G->GridLineWidth() : 0);
}

}  // namespace

void TDBLookupGridEh::SetListRows(int Value) {
  FListRows = std::clamp(Value, 1, 100);
  SetHeightForRows();
}

void TDBLookupGridEh::SetHeightForRows() {
  if (Loading()) return;
  int line = Options().Contains(dgRowLines) ? GridLineWidth() : 0;
  int h = TitleExtent(this) + line + FListRows * ListRowHeight() + FrameHeight() + ExtraRowHeight();
  TRestore setting(FSettingHeight, true);
  TCustomDBGridEh::SetBounds(Left(), Top(), Width(), h);
}

void TDBLookupGridEh::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!FSettingHeight && FSpecRow && AHeight != Height() && !Loading()) {
    int frame = FrameHeight(), title = TitleExtent(this), extra = ExtraRowHeight();
    int rows = std::max(1, (AHeight - frame - title - extra) / std::max(1, ListRowHeight()));
    FListRows = std::min(rows, 100);
    AHeight = title + frame + FListRows * ListRowHeight() + extra + (Options().Contains(dgRowLines) ? GridLineWidth() : 0);
  }
  TCustomDBGridEh::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TDBLookupGridEh::CreateWnd() {
  TCustomDBGridEh::CreateWnd();
  SetHeightForRows();
}

int TDBLookupGridEh::ColumnsTotalWidth() const {
  int w = 0;
  int line = Options().Contains(dgColLines) ? GridLineWidth() : 0;
  for (int i = 0; i < Columns()->Count(); ++i) {
    TColumnEh* c = Columns()->Items(i);
    if (!c->Visible()) continue;
    w += (AutoFitColWidths() ? c->InitialWidth() : c->Width()) + line;
  }
  return w;
}

void TDBLookupGridEh::RefitColumns() {
  if (FAutoFitList) {
    SetAutoFitColWidths(true);
    SetAutoFitColWidths(false);
  }
  for (int i = 0; i < Columns()->Count(); ++i) Columns()->Items(i)->SetInitialWidth(Columns()->Items(i)->Width());
  SetHeightForRows();
}

void TDBLookupGridEh::ColumnMoved(int FromIndex, int ToIndex) {
  int from = RawToDataColumn(FromIndex), to = RawToDataColumn(ToIndex);
  bool customized = Columns()->IsCustomized();
  TCustomDBGridEh::ColumnMoved(FromIndex, ToIndex);
  if (FListActive && from >= 0 && to >= 0 && from != to) {
    // The special row's cells and (for generated columns) the list fields move along.
    std::vector<String> cells;
    int n = std::max(FSpecRow->CellCount(), std::max(from, to) + 1);
    for (int i = 0; i < n; ++i) cells.push_back(FSpecRow->CellText(i));
    String moved = cells[static_cast<std::size_t>(from)];
    cells.erase(cells.begin() + from);
    cells.insert(cells.begin() + to, moved);
    String joined;
    for (std::size_t i = 0; i < cells.size(); ++i) joined += (i ? ";" : "") + cells[i];
    FSpecRow->HoldChanges();
    FSpecRow->SetCellsText(joined);
    FSpecRow->ReleaseChanges();
    if (!customized && from < static_cast<int>(FListFields.size()) && to < static_cast<int>(FListFields.size())) {
      if (FListFieldIndex == from) FListFieldIndex = to;
      else if (from < FListFieldIndex && to >= FListFieldIndex) --FListFieldIndex;
      else if (from > FListFieldIndex && to <= FListFieldIndex) ++FListFieldIndex;
      TField* f = FListFields[static_cast<std::size_t>(from)];
      FListFields.erase(FListFields.begin() + from);
      FListFields.insert(FListFields.begin() + to, f);
      FListFieldName = JoinNames(FListFields);
    }
  }
  if (OnColumnMovedEh) OnColumnMovedEh(this);
}

// ---------------------------------------------------------------- incremental search and keys

void TDBLookupGridEh::IncrementalSearchKey(Char Key) {
  if (!FListField || !(FListField->FieldKind() == fkData || FListField->FieldKind() == fkInternalCalc) ||
      !IsStringType(FListField))
    return;
  if (Key == 8 || Key == 27) {
    FTypedPrefix.clear();
    return;
  }
  if (Key < 32 || !ListChangeAllowed()) return;
  DWORD now = GetTickCount();
  if (now - LastSearchTick() > 2000) FTypedPrefix.clear();
  LastSearchTick() = now;
  if (::Length(FTypedPrefix) >= 32) return;
  String candidate = FTypedPrefix + Utf32ToUtf8(std::u32string(1, static_cast<char32_t>(Key)));
  TDataSet* ds = ListDataSet();
  try {
    if (ds->Locate(FListField->FieldName(), Variant(candidate), TLocateOptions{loCaseInsensitive, loPartialKey})) {
      FTypedPrefix = candidate;
      SelectCurrent();
    }
  } catch (const Exception&) {
    FTypedPrefix = candidate;
  }
}

void TDBLookupGridEh::MoveChoice(int Distance) {
  TDataSet* ds = ListDataSet();
  if (!FKeySelected && !FSpecRowSelected && !FindKeyRecord() && Distance > 0) {
    // No key row: the move starts above the first record.
    ds->First();
    SelectCurrent();
    return;
  }
  if (Distance != 0) ds->MoveBy(Distance);
  SelectCurrent();
}

void TDBLookupGridEh::KeyDown(Word& Key, TShiftState Shift) {
  if (!ListChangeAllowed()) {
    TCustomDBGridEh::KeyDown(Key, Shift);
    return;
  }
  TDataSet* ds = ListDataSet();
  int page = std::max(1, VisibleDataRowCount() - 1);
  bool moved = true;
  switch (Key) {
    case VK_UP:
    case VK_PRIOR: {
      int d = Key == VK_UP ? 1 : page;
      if (FSpecRow->Visible() && FSpecRowSelected) {
        ds->First();
        SelectSpecRow();
        break;
      }
      if (!FKeySelected) FindKeyRecord();
      if (FSpecRow->Visible() && ds->MoveBy(-d) == 0) {
        ds->First();
        SelectSpecRow();
        break;
      }
      SelectCurrent();
      break;
    }
    case VK_DOWN:
    case VK_NEXT: {
      int d = Key == VK_DOWN ? 1 : page;
      if (FSpecRowSelected) {
        ds->First();
        if (d > 1) ds->MoveBy(d - 1);
        SelectCurrent();
        break;
      }
      MoveChoice(d);
      break;
    }
    case VK_HOME:
      ds->First();
      SelectCurrent();
      break;
    case VK_END:
      ds->Last();
      SelectCurrent();
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (HorzScrollBar()->Visible()) {
        moved = false;
        break;
      }
      MoveChoice(Key == VK_LEFT ? -1 : 1);
      break;
    default: moved = false;
  }
  if (moved) {
    FTypedPrefix.clear();
    Key = 0;
    return;
  }
  TCustomDBGridEh::KeyDown(Key, Shift);
}

void TDBLookupGridEh::KeyPress(Char& Key) {
  IncrementalSearchKey(Key);
  if (Key >= 32 || Key == 8) Key = 0;
  if (Key) TCustomDBGridEh::KeyPress(Key);
}

// ---------------------------------------------------------------- mouse

bool TDBLookupGridEh::PointOnSpecRow(int Y) const {
  int r = SpecRowGridRow();
  if (r < 0) return false;
  TRect rc = CellRect(IndicatorOffset(), r);
  return Y >= rc.Top && Y < rc.Bottom;
}

void TDBLookupGridEh::SelectAtPoint(int Y) {
  if (PointOnSpecRow(Y)) {
    SelectSpecRow();
    return;
  }
  TGridCoord cell = MouseCoord(IndicatorOffset(), Y);
  int dataRow = cell.Y - TopDataOffset();
  if (cell.Y < 0 || dataRow < 0 || dataRow >= TCustomDBGridEh::DataLink()->RecordCount()) return;
  int distance = dataRow - TCustomDBGridEh::DataLink()->ActiveRecord();
  if (distance != 0) ListDataSet()->MoveBy(distance);
  SelectCurrent();
}

void TDBLookupGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGridCoord cell = MouseCoord(X, Y);
  bool onData = cell.Y >= TopDataOffset() && cell.X >= IndicatorOffset();
  bool onSpec = PointOnSpecRow(Y);
  if (Button != mbLeft || (!onData && !onSpec)) {
    TCustomDBGridEh::MouseDown(Button, Shift, X, Y);
    return;
  }
  if (CanFocus() && !Focused()) SetFocus();
  FTypedPrefix.clear();
  if (!ListChangeAllowed()) return;
  if (Shift.Contains(ssDouble) && onData && cell.Y == Row()) {
    DblClick();
    return;
  }
  FMouseSelecting = true;
  SetMouseCapture(true);
  SelectAtPoint(Y);
}

void TDBLookupGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  if (!FMouseSelecting) {
    TCustomDBGridEh::MouseMove(Shift, X, Y);
    return;
  }
  TRect area = DataAreaRect();
  int top = FSpecRow->Visible() ? area.Top - ExtraRowHeight() : area.Top;
  FMouseOutside = Y < top ? Y - top : Y >= area.Bottom ? Y - area.Bottom + 1 : 0;
  if (FMouseOutside == 0) {
    StopScrollTimer();
    SelectAtPoint(Y);
    return;
  }
  StartScrollTimer(std::max(0, 200 - 15 * std::abs(FMouseOutside)));
}

void TDBLookupGridEh::TimerScroll() {
  if (!FMouseSelecting) {
    TCustomDBGridEh::TimerScroll();
    return;
  }
  TDataSet* ds = ListDataSet();
  if (FMouseOutside < 0) {
    if (FSpecRow->Visible() && (FSpecRowSelected || ds->MoveBy(-1) == 0)) SelectSpecRow();
    else SelectCurrent();
  } else if (FMouseOutside > 0) {
    if (FSpecRowSelected) ds->First();
    else ds->MoveBy(1);
    SelectCurrent();
  }
}

void TDBLookupGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!FMouseSelecting) {
    TCustomDBGridEh::MouseUp(Button, Shift, X, Y);
    return;
  }
  FMouseSelecting = false;
  StopScrollTimer();
  SetMouseCapture(false);
  if (PtInRect(ClientRect(), TPoint{X, Y})) SelectAtPoint(Y);
}

bool TDBLookupGridEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (TCustomDBGridEh::OnMouseWheelDown) return TCustomDBGridEh::DoMouseWheelDown(Shift, MousePos);
  if (ListDataSet() && FListActive) ListDataSet()->MoveBy(std::max(1, VisibleDataRowCount()));
  return true;
}

bool TDBLookupGridEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TCustomDBGridEh::OnMouseWheelUp) return TCustomDBGridEh::DoMouseWheelUp(Shift, MousePos);
  if (ListDataSet() && FListActive) ListDataSet()->MoveBy(-std::max(1, VisibleDataRowCount()));
  return true;
}

void TDBLookupGridEh::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (M.Msg == WM_SETFOCUS) FTypedPrefix.clear();
      TCustomDBGridEh::Dispatch(M);
      Invalidate();
      return;
    case WM_VSCROLL:
      FTypedPrefix.clear();
      break;
    case WM_SETCURSOR:
      if (HandleAllocated() && SpecRowGridRow() >= 0) {
        TPoint p;
        GetCursorPos(&p);
        if (PointOnSpecRow(ScreenToClient(p).Y)) {
          ::SetCursor(Screen->Cursors(crArrow));
          M.Result = 1;
          return;
        }
      }
      break;
    default: break;
  }
  TCustomDBGridEh::Dispatch(M);
}

template <class B> void TDBLookupGridEh::Published(B& b) {
  using C = TDBLookupGridEh;
  PublishAlign(b);
  PublishAnchors(b);
  PublishColor(b);
  PublishFont(b);
  PublishVisible(b);
  b.Prop("AutoFitColWidths", &C::AutoFitListColWidths, &C::SetAutoFitListColWidths).Default(false);
  b.Prop("Columns", &C::Columns, &C::SetColumns);
  b.Prop("ColumnDefValues", &C::ColumnDefValues, &C::SetColumnDefValues);
  b.Prop("DataField", &C::DataField, &C::SetDataField);
  b.Prop("DataSource", &C::DataSource, &C::SetDataSource);
  b.Prop("KeyField", &C::KeyField, &C::SetKeyField);
  b.Prop("ListField", &C::ListField, &C::SetListField);
  b.Prop("ListFieldIndex", &C::ListFieldPosition, &C::SetListFieldPosition).Default(0);
  b.Prop("ListSource", &C::ListSource, &C::SetListSource);
  b.Prop("Options", &C::LookupOptions, &C::SetLookupOptions).Default(TDBLookupGridEhOptions{dlgColLinesEh});
  b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
  b.Prop("RowCount", &C::ListRows, &C::SetListRows).Default(7);
  b.Prop("ShowTitles", &C::TitlesShown, &C::SetTitlesShown).Default(false);
  b.Prop("SpecRow", &C::SpecRow, &C::SetSpecRow);
  PublishOnClick(b);
  PublishOnDblClick(b);
  PublishOnKeyDown(b);
  PublishOnKeyPress(b);
}

// ================================================================ TPopupDataGridEh

KELM_PUBLISH(TPopupDataGridEh) {}

TPopupDataGridEh::TPopupDataGridEh(TComponent* AOwner) : TDBLookupGridEh(AOwner) {
  SetVisible(false);
  SetShowHint(true);
  FSizeGrip = new TSizeGripEh(this);
  FSizeGrip->SetParent(this);
  FSizeGrip->OnParentSized = TNotifyEvent::Lambda([this](TObject*) { FWasResized = true; });
}

void TPopupDataGridEh::CreateParams(TCreateParams& P) {
  TDBLookupGridEh::CreateParams(P);
  P.Style = (P.Style & ~(WS_CHILD | WS_BORDER)) | WS_POPUP | WS_CLIPSIBLINGS;
  if (!Ctl3D()) P.Style |= WS_BORDER;
  P.ExStyle = (P.ExStyle & ~WS_EX_CLIENTEDGE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  P.WndParent = 0;
}

void TPopupDataGridEh::Resize() {
  TDBLookupGridEh::Resize();
  if (FSizeGrip) FSizeGrip->MoveToCorner();
}

void TPopupDataGridEh::UserChoiceMade() {
  if (OnUserKeyChoice) OnUserKeyChoice(this);
}

void TPopupDataGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  bool anyButton = Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle);
  if (!anyButton && !MouseSelecting() && !ReadOnly() && ListChangeAllowed() && PtInRect(ClientRect(), TPoint{X, Y})) {
    // Hot tracking: the record under the pointer is chosen.
    TGridCoord cell = MouseCoord(X, Y);
    if (cell.Y >= TitleRowCount()) {
      TDBLookupGridEh::MouseDown(mbLeft, TShiftState{ssLeft}, X, Y);
      TDBLookupGridEh::MouseUp(mbLeft, TShiftState(), X, Y);
      return;
    }
  }
  TDBLookupGridEh::MouseMove(Shift, X, Y);
}

void TPopupDataGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  bool selecting = MouseSelecting();
  TDBLookupGridEh::MouseUp(Button, Shift, X, Y);
  if (!selecting || Button != mbLeft) return;
  bool inside = PtInRect(ClientRect(), TPoint{X, Y});
  TGridCoord cell = MouseCoord(X, Y);
  if (!inside) {
    if (OnListCloseUp) OnListCloseUp(this, false);
  } else if (cell.Y >= TitleRowCount()) {
    if (OnListCloseUp) OnListCloseUp(this, true);
  }
}

void TPopupDataGridEh::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_MOUSEACTIVATE:
      M.Result = MA_NOACTIVATE;
      return;
    case CM_GRIPSIDE:
      // The grip's side, not the grid's deferred layout: the two messages stay apart.
      if (M.WParam <= kGripSideBottomEh) FSizeGrip->MoveGripTo(static_cast<TGripSide>(M.WParam));
      return;
    case WM_NCPAINT:
      TDBLookupGridEh::Dispatch(M);
      DrawDropDownBorderEh(reinterpret_cast<HDC>(M.WParam), Width(), Height(), Ctl3D());
      return;
    case WM_GETMINMAXINFO:
      break;
    default: break;
  }
  TDBLookupGridEh::Dispatch(M);
}
