// The column: binding to a field, the settings that follow the field, the grid or the grid's
// column defaults until assigned, widths, streaming, and the column collection.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"
#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhInplace.h"
#include "grid/DBLookupGridEh.h"

#include "core/ClassBuilder.h"
#include "grid/GridUtilsEh.h"
#include "core/StrUtils.h"
#include "core/Scope.h"

namespace {

// Text metrics of a font on the grid's canvas; the screen stands in while the grid has no
// window, so measuring never creates one.
struct TFontMeasure {
  TEXTMETRIC Metrics;
  int ZeroWidth = 0;
};

TFontMeasure MeasureFont(TCustomDBGridEh* Grid, TFont* Font) {
  TFontMeasure m;
  TCanvas* canvas = Grid->Canvas();
  bool borrowed = !Grid->HandleAllocated() && !canvas->HandleAllocated();
  if (borrowed) canvas->SetHandle(GetScreenDC());
  TScopeExit giveBack([&] {
    if (borrowed) canvas->SetHandle(nullptr);
  });
  canvas->Font()->Assign(Font);
  GetTextMetrics(canvas->Handle(), &m.Metrics);
  m.ZeroWidth = canvas->TextWidth("0");
  return m;
}

// Free text wraps; fixed-width codes and ids (char, guid) stay on one line.
bool IsWrappingTextType(TFieldType T) {
  return IsTextFieldType(T) && T != ftFixedChar && T != ftGuid && T != ftOraClob;
}

}  // namespace

// ================================================================ publishing

KELM_PUBLISH(TColumnEh) {}

KELM_PUBLISH(TDBGridColumnEh) { Published(b); }

// ================================================================ life

TColumnEh::TColumnEh(TCollection* Collection) : TCollectionItem(Collection) {
  // Nothing here signals a change: the collection reports the new column once it is whole,
  // and that runs the one layout pass.
  FFont = std::make_unique<TFont>();
  FFont->Assign(DefaultFont());
  FFont->SetOnChange(TNotifyEvent(this, &TColumnEh::FontChanged));
  FTitle.reset(NewTitle());
  FFooter.reset(NewFooter());
  FFooters.reset(NewFooters());
  FEditButtons.reset(NewEditButtons());
  FEditButtons->OnChanged = TNotifyEvent(this, &TColumnEh::EditButtonsChanged);
  FDropDownSpecRow = std::make_unique<TSpecRowEh>(this);
  FDropDownSpecRow->OnSpecRowChanged = TNotifyEvent::Lambda([this](TObject*) {
    if (FDropDownList) FDropDownList->SetSpecRow(FDropDownSpecRow.get());
  });
  FMRUList = std::make_unique<TMRUListEh>(this);
  FDropDownBox = std::make_unique<TColumnDropDownBoxEh>(this);
  FSTFilter.reset(NewSTFilter());
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->SetOnChange(TNotifyEvent(this, &TColumnEh::ImageListChanged));
  FInitialWidth = Width();
}

TColumnEh::~TColumnEh() {
  delete FDropDownList;
  FDropDownList = nullptr;
  if (TCustomDBGridEh* g = Grid()) {
    g->SortMarkedColumns()->Remove(this);
    if (g->Selection()) g->Selection()->ColumnSet()->ColumnGone(this);
    if (auto* editor = dynamic_cast<TDBGridInplaceEdit*>(g->InplaceEditor())) editor->ColumnGone(this);
  }
  if (FImageList) FImageList->UnRegisterChanges(FImageChangeLink.get());
  FTitle.reset();
  FFont.reset();
  FPickList.reset();
  FFooter.reset();
  FFooters.reset();
  FKeyList.reset();
  FEditButtons.reset();
  FSTFilter.reset();
  FDropDownBox.reset();
  FImageChangeLink.reset();
}

TEditButtonsEh* TColumnEh::NewEditButtons() { return new TEditButtonsEh(this, TVisibleEditButtonEh::StaticClass()); }
TColumnFooterEh* TColumnEh::NewFooter() { return new TColumnFooterEh(this); }
TColumnFootersEh* TColumnEh::NewFooters() { return new TColumnFootersEh(this, TColumnFooterEh::StaticClass()); }
TColumnTitleEh* TColumnEh::NewTitle() { return new TColumnTitleEh(this); }
TSTColumnFilterEh* TColumnEh::NewSTFilter() { return new TSTColumnFilterEh(this); }

void TColumnEh::SetDropDownBox(TColumnDropDownBoxEh* Value) { FDropDownBox->Assign(Value); }
void TColumnEh::SetSTFilter(TSTColumnFilterEh* Value) { FSTFilter->Assign(Value); }

TCustomDBGridEh* TColumnEh::Grid() const {
  auto* columns = dynamic_cast<TDBGridColumnsEh*>(Collection());
  return columns ? columns->Grid() : nullptr;
}

TColumnDefValuesEh* TColumnEh::DefValues() const {
  TCustomDBGridEh* g = Grid();
  return g ? g->ColumnDefValues() : nullptr;
}

bool TColumnEh::LinkActive() const {
  TCustomDBGridEh* g = Grid();
  return g && g->DataLink()->Active();
}

bool TColumnEh::InColumnsUpdate() const { return Collection() && Collection()->UpdateCount() > 0; }

String TColumnEh::DisplayName() const { return FFieldName.empty() ? TCollectionItem::DisplayName() : FFieldName; }

void TColumnEh::SetIndex(int Value) {
  TCustomDBGridEh* g = Grid();
  // A generated column carries its field along, so the dataset's field order follows.
  if (IsTransient() && g && g->DataLink()->Active()) {
    TField* target = g->DataLink()->FieldAt(Value);
    if (target && Field()) Field()->SetIndex(target->Index());
  }
  TCollectionItem::SetIndex(Value);
}

// ================================================================ the field

TField* TColumnEh::Field() const {
  if (!FField && !FFieldName.empty()) {
    TCustomDBGridEh* g = Grid();
    TDataSet* ds = g ? g->DataSet() : nullptr;
    if (ds && (ds->Active() || !ds->DefaultFields())) {
      if (TField* f = ds->FindField(FFieldName)) {
        auto* self = const_cast<TColumnEh*>(this);
        FField = f;
        FFieldName = f->FieldName();
        g->FreeNotification(f);
        self->RebindFooterSums();
      }
    }
  }
  return FField;
}

void TColumnEh::SetField(TField* Value) {
  if (FField == Value) return;
  FField = Value;
  TCustomDBGridEh* g = Grid();
  if (Value) {
    FFieldName = Value->FieldName();
    if (g) g->FreeNotification(Value);
  }
  if (IsTransient()) {
    if (!Value) FFieldName.clear();
    ResetToDefaults();
    FInitialWidth = Width();
  }
  RebindFooterSums();
  Changed(false);
}

void TColumnEh::SetFieldName(const String& Value) {
  TField* f = nullptr;
  TCustomDBGridEh* g = Grid();
  TDataSet* ds = g ? g->DataSet() : nullptr;
  if (ds && !g->Loading() && !Value.empty()) f = ds->FindField(Value);
  FFieldName = Value;
  SetField(f);
  FInitialWidth = Width();
  Changed(false);
}

// ================================================================ followed values

TFont* TColumnEh::DefaultFont() const {
  TCustomDBGridEh* g = Grid();
  return g ? g->Font() : FFont.get();
}

void TColumnEh::RefreshDefaultFont() const { CopyFontSilently(FFont.get(), DefaultFont()); }

TAlignment TColumnEh::DefaultAlignment() const {
  TField* f = Field();
  return f ? f->Alignment() : taLeftJustify;
}

bool TColumnEh::DefaultAlwaysShowEditButton() const { return DefValues() && DefValues()->AlwaysShowEditButton(); }
bool TColumnEh::DefaultAutoDropDown() const { return DefValues() && DefValues()->AutoDropDown(); }
bool TColumnEh::DefaultDblClickNextVal() const { return DefValues() && DefValues()->DblClickNextVal(); }
bool TColumnEh::DefaultDropDownShowTitles() const { return DefValues() && DefValues()->DropDownShowTitles(); }
bool TColumnEh::DefaultDropDownSizing() const { return DefValues() && DefValues()->DropDownSizing(); }
bool TColumnEh::DefaultEndEllipsis() const { return DefValues() && DefValues()->EndEllipsis(); }
bool TColumnEh::DefaultHighlightRequired() const { return DefValues() && DefValues()->HighlightRequired(); }
bool TColumnEh::DefaultToolTips() const { return DefValues() && DefValues()->ToolTips(); }
TTextLayout TColumnEh::DefaultLayout() const { return DefValues() ? DefValues()->Layout() : tlTop; }

TBiDiMode TColumnEh::DefaultBiDiMode() const {
  TCustomDBGridEh* g = Grid();
  return g ? g->BiDiMode() : FBiDiMode;
}

bool TColumnEh::DefaultCheckboxes() const {
  TField* f = Field();
  return f && f->DataType() == ftBoolean;
}

TColor TColumnEh::DefaultColor() const {
  TCustomDBGridEh* g = Grid();
  return g ? g->Color() : clWindow;
}

TImeMode TColumnEh::DefaultImeMode() const {
  TCustomDBGridEh* g = Grid();
  return g ? g->ImeMode() : FImeMode;
}

String TColumnEh::DefaultImeName() const {
  TCustomDBGridEh* g = Grid();
  return g ? g->ImeName() : FImeName;
}

String TColumnEh::DefaultLookupDisplayFields() const {
  TField* f = Field();
  return f ? f->LookupResultField() : String();
}

bool TColumnEh::DefaultReadOnly() const {
  TCustomDBGridEh* g = Grid();
  TField* f = Field();
  return (g && g->ReadOnly()) || (f && f->ReadOnly());
}

bool TColumnEh::DefaultWordWrap() const {
  TField* f = Field();
  return f && IsWrappingTextType(f->DataType());
}

int TColumnEh::DefaultWidth() const {
  TCustomDBGridEh* g = Grid();
  if (!g) return 64;
  TField* f = Field();
  if (!f) return g->DefaultColWidth();
  TFontMeasure m = MeasureFont(g, Font());
  return (m.ZeroWidth - m.Metrics.tmOverhang) * f->DisplayWidth() + m.Metrics.tmOverhang + 4;
}

// ================================================================ getters

TAlignment TColumnEh::Alignment() const { return Flagged(evAlignment) ? FAlignment : DefaultAlignment(); }
bool TColumnEh::AlwaysShowEditButton() const {
  return Flagged(evAlwaysShowEditButton) ? FAlwaysShowEditButton : DefaultAlwaysShowEditButton();
}
bool TColumnEh::AutoDropDown() const { return Flagged(evAutoDropDown) ? FAutoDropDown : DefaultAutoDropDown(); }
TBiDiMode TColumnEh::BiDiMode() const { return Flagged(evBiDiMode) ? FBiDiMode : DefaultBiDiMode(); }
bool TColumnEh::Checkboxes() const { return Flagged(evCheckboxes) ? FCheckboxes : DefaultCheckboxes(); }
TColor TColumnEh::Color() const { return Flagged(evColor) ? FColor : DefaultColor(); }
bool TColumnEh::DblClickNextVal() const {
  return Flagged(evDblClickNextVal) ? FDblClickNextVal : DefaultDblClickNextVal();
}
bool TColumnEh::DropDownShowTitles() const {
  return Flagged(evDropDownShowTitles) ? FDropDownShowTitles : DefaultDropDownShowTitles();
}
bool TColumnEh::DropDownSizing() const { return Flagged(evDropDownSizing) ? FDropDownSizing : DefaultDropDownSizing(); }
bool TColumnEh::EndEllipsis() const { return Flagged(evEndEllipsis) ? FEndEllipsis : DefaultEndEllipsis(); }
bool TColumnEh::HighlightRequired() const {
  return Flagged(evHighlightRequired) ? FHighlightRequired : DefaultHighlightRequired();
}
TImeMode TColumnEh::ImeMode() const { return Flagged(evImeMode) ? FImeMode : DefaultImeMode(); }
String TColumnEh::ImeName() const { return Flagged(evImeName) ? FImeName : DefaultImeName(); }
TTextLayout TColumnEh::Layout() const { return Flagged(evLayout) ? FLayout : DefaultLayout(); }
String TColumnEh::LookupDisplayFields() const {
  return Flagged(evLookupDisplayFields) ? FLookupDisplayFields : DefaultLookupDisplayFields();
}
bool TColumnEh::ReadOnly() const { return Flagged(evReadOnly) ? FReadOnly : DefaultReadOnly(); }
bool TColumnEh::ToolTips() const { return Flagged(evToolTips) ? FToolTips : DefaultToolTips(); }
int TColumnEh::Width() const { return Flagged(evWidth) ? FWidth : DefaultWidth(); }
bool TColumnEh::WordWrap() const { return Flagged(evWordWrap) ? FWordWrap : DefaultWordWrap(); }

TFont* TColumnEh::Font() const {
  if (!Flagged(evFont)) RefreshDefaultFont();
  return FFont.get();
}

TStrings* TColumnEh::KeyList() const {
  if (!FKeyList) FKeyList = std::make_unique<TStringList>();
  return FKeyList.get();
}

TStrings* TColumnEh::PickList() const {
  if (!FPickList) FPickList = std::make_unique<TStringList>();
  return FPickList.get();
}

// ================================================================ setters

// Flagged settings that signal a change: nothing when already assigned with the same value.
#define KELM_FLAGGED_SETTER(Name, Field, Bit)            \
  void TColumnEh::Set##Name(decltype(Field) Value) {     \
    if (AssignFlagged(Bit, Field, Value)) Changed(false); \
  }
KELM_FLAGGED_SETTER(AlwaysShowEditButton, FAlwaysShowEditButton, evAlwaysShowEditButton)
KELM_FLAGGED_SETTER(EndEllipsis, FEndEllipsis, evEndEllipsis)
KELM_FLAGGED_SETTER(Color, FColor, evColor)
KELM_FLAGGED_SETTER(Checkboxes, FCheckboxes, evCheckboxes)
KELM_FLAGGED_SETTER(Layout, FLayout, evLayout)
KELM_FLAGGED_SETTER(HighlightRequired, FHighlightRequired, evHighlightRequired)
KELM_FLAGGED_SETTER(BiDiMode, FBiDiMode, evBiDiMode)
#undef KELM_FLAGGED_SETTER

// Flagged settings read only when used: no change is signalled.
#define KELM_QUIET_SETTER(Name, Field, Bit) \
  void TColumnEh::Set##Name(decltype(Field) Value) { AssignFlagged(Bit, Field, Value); }
KELM_QUIET_SETTER(AutoDropDown, FAutoDropDown, evAutoDropDown)
KELM_QUIET_SETTER(DblClickNextVal, FDblClickNextVal, evDblClickNextVal)
KELM_QUIET_SETTER(ToolTips, FToolTips, evToolTips)
KELM_QUIET_SETTER(DropDownSizing, FDropDownSizing, evDropDownSizing)
KELM_QUIET_SETTER(DropDownShowTitles, FDropDownShowTitles, evDropDownShowTitles)
#undef KELM_QUIET_SETTER

// Plain settings: stored and signalled only when they differ.
#define KELM_PLAIN_SETTER(Name, Type, Field)             \
  void TColumnEh::Set##Name(Type Value) {                \
    if (Field == Value) return;                          \
    Field = Value;                                       \
    Changed(false);                                      \
  }
KELM_PLAIN_SETTER(ButtonStyle, TColumnButtonStyleEh, FButtonStyle)
KELM_PLAIN_SETTER(DropDownWidth, int, FDropDownWidth)
KELM_PLAIN_SETTER(DisplayFormat, const String&, FDisplayFormat)
KELM_PLAIN_SETTER(EditMask, const String&, FEditMask)
KELM_PLAIN_SETTER(ShowImageAndText, bool, FShowImageAndText)
KELM_PLAIN_SETTER(HideDuplicates, bool, FHideDuplicates)
#undef KELM_PLAIN_SETTER

void TColumnEh::SetAlignment(TAlignment Value) {
  if (IsTransient()) {
    // A generated column shows its field as it is: the field takes the setting.
    if (LinkActive() && Field()) Field()->SetAlignment(Value);
    return;
  }
  if (AssignFlagged(evAlignment, FAlignment, Value)) Changed(false);
}

void TColumnEh::SetReadOnly(bool Value) {
  if (IsTransient() && LinkActive() && Field()) {
    Field()->SetReadOnly(Value);
    return;
  }
  if (AssignFlagged(evReadOnly, FReadOnly, Value)) Changed(false);
}

void TColumnEh::SetImeMode(TImeMode Value) {
  if (Flagged(evImeMode) || Value != DefaultImeMode()) {
    FImeMode = Value;
    Flag(evImeMode);
  }
  Changed(false);
}

void TColumnEh::SetImeName(const String& Value) {
  if (Flagged(evImeName) || Value != DefaultImeName()) {
    FImeName = Value;
    Flag(evImeName);
  }
  Changed(false);
}

void TColumnEh::SetLookupDisplayFields(const String& Value) {
  if (Flagged(evLookupDisplayFields) || Value != DefaultLookupDisplayFields()) {
    FLookupDisplayFields = Value;
    Flag(evLookupDisplayFields);
  }
  if (FDropDownList) FDropDownList->SetListField(Value);
  Changed(false);
}

// ================================================================ the drop-down lookup grid

TPopupDataGridEh* TColumnEh::DropDownList() {
  if (!FDropDownList) {
    FDropDownList = new TPopupDataGridEh(nullptr);
    TGridImpl::SetName(FDropDownList, "DataList");
    FDropDownList->SetSpecRow(FDropDownSpecRow.get());
  }
  return FDropDownList;
}

void TColumnEh::FreeNotifyFor(TComponent* AComponent) {
  if (AComponent && Grid()) AComponent->FreeNotification(Grid());
}

TDBLookupGridEhOptions TColumnEh::DropDownOptions() const {
  return FDropDownList ? FDropDownList->LookupOptions() : TDBLookupGridEhOptions{dlgColLinesEh};
}

void TColumnEh::SetDropDownOptions(TDBLookupGridEhOptions Value) { DropDownList()->SetLookupOptions(Value); }

TCheckTitleEhBtnEvent TColumnEh::OnDropDownBoxCheckButton() const {
  return FDropDownList ? FDropDownList->OnCheckButton : TCheckTitleEhBtnEvent();
}
void TColumnEh::SetOnDropDownBoxCheckButton(const TCheckTitleEhBtnEvent& Value) {
  DropDownList()->OnCheckButton = Value;
}
TDrawColumnEhCellEvent TColumnEh::OnDropDownBoxDrawColumnCell() const {
  return FDropDownList ? FDropDownList->OnDrawColumnCell : TDrawColumnEhCellEvent();
}
void TColumnEh::SetOnDropDownBoxDrawColumnCell(const TDrawColumnEhCellEvent& Value) {
  DropDownList()->OnDrawColumnCell = Value;
}
TGetCellEhParamsEvent TColumnEh::OnDropDownBoxGetCellParams() const {
  return FDropDownList ? FDropDownList->OnGetCellParams : TGetCellEhParamsEvent();
}
void TColumnEh::SetOnDropDownBoxGetCellParams(const TGetCellEhParamsEvent& Value) {
  DropDownList()->OnGetCellParams = Value;
}
TNotifyEvent TColumnEh::OnDropDownBoxSortMarkingChanged() const {
  return FDropDownList ? FDropDownList->OnSortMarkingChanged : TNotifyEvent();
}
void TColumnEh::SetOnDropDownBoxSortMarkingChanged(const TNotifyEvent& Value) {
  DropDownList()->OnSortMarkingChanged = Value;
}
TTitleEhClickEvent TColumnEh::OnDropDownBoxTitleBtnClick() const {
  return FDropDownList ? FDropDownList->OnTitleBtnClick : TTitleEhClickEvent();
}
void TColumnEh::SetOnDropDownBoxTitleBtnClick(const TTitleEhClickEvent& Value) {
  DropDownList()->OnTitleBtnClick = Value;
}

void TColumnEh::SetWordWrap(bool Value) {
  TCustomDBGridEh* g = Grid();
  if (Flagged(evWordWrap) || Value != DefaultWordWrap() || (g && g->Loading())) {
    FWordWrap = Value;
    Flag(evWordWrap);
  }
  Changed(false);
}

void TColumnEh::FontChanged(TObject*) {
  Flag(evFont);
  FTitle->RefreshDefaultFont();
  Changed(true);
}

void TColumnEh::EditButtonsChanged(TObject*) { Changed(false); }

void TColumnEh::ImageListChanged(TObject*) {
  if (TCustomDBGridEh* g = Grid()) g->Invalidate();
}

void TColumnEh::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed(true);
}

int TColumnEh::ClampWidth(int W) const {
  if (FMaxWidth > 0 && W > FMaxWidth) W = FMaxWidth;
  if (FMinWidth > 0 && W < FMinWidth) W = FMinWidth;
  return W;
}

void TColumnEh::SetWidth(int Value) {
  TCustomDBGridEh* g = Grid();
  TField* f = Field();
  if (IsTransient() && f && g && g->HandleAllocated()) {
    // A generated column keeps its width in the field, in characters of "0".
    TFontMeasure m = MeasureFont(g, Font());
    if (m.ZeroWidth > 0)
      f->SetDisplayWidth((Value + m.Metrics.tmAveCharWidth / 2 - m.Metrics.tmOverhang - 3) / m.ZeroWidth);
  }
  if (IsTransient() && g && g->InDataLinkLayoutChange() && !Flagged(evWidth)) return;
  if ((Flagged(evWidth) || Value != DefaultWidth()) && Value != -1) {
    FWidth = Value;
    Flag(evWidth);
    if (FMaxWidth > 0 && FMaxWidth < FWidth) FWidth = FMaxWidth;
    if (FWidth < FMinWidth) FWidth = FMinWidth;
  }
  Changed(false);
}

void TColumnEh::SetMaxWidth(int Value) {
  FMaxWidth = Value;
  if (Value > 0 && Width() > Value) SetWidth(Value);
}

void TColumnEh::SetMinWidth(int Value) {
  FMinWidth = Value;
  if (Value > 0 && Width() < Value) SetWidth(Value);
}

void TColumnEh::SetAutoFitColWidth(bool Value) {
  FAutoFitColWidth = Value;
  TCustomDBGridEh* g = Grid();
  if (g && g->AutoFitColWidths() && !g->Loading() && !g->Designing()) SetWidth(FInitialWidth);
  Changed(false);
}

void TColumnEh::SetKeyList(TStrings* Value) {
  if (!Value) {
    FKeyList.reset();
    return;
  }
  KeyList()->Assign(Value);
  if (TCustomDBGridEh* g = Grid()) g->Invalidate();
}

void TColumnEh::SetPickList(TStrings* Value) {
  if (!Value) FPickList.reset();
  else PickList()->Assign(Value);
}

void TColumnEh::SetNotInKeyListIndex(int Value) {
  FNotInKeyListIndex = Value;
  if (TCustomDBGridEh* g = Grid()) g->Invalidate();
}

void TColumnEh::SetImageList(TCustomImageList* Value) {
  if (FImageList) FImageList->UnRegisterChanges(FImageChangeLink.get());
  FImageList = Value;
  TCustomDBGridEh* g = Grid();
  if (Value) {
    Value->RegisterChanges(FImageChangeLink.get());
    if (g) Value->FreeNotification(g);
  }
  if (g) g->Invalidate();
}

void TColumnEh::SetOnGetCellParams(const TGetColCellParamsEventEh& Value) {
  if (Value == FOnGetCellParams) return;
  FOnGetCellParams = Value;
  if (TCustomDBGridEh* g = Grid()) g->Invalidate();
}

void TColumnEh::SetPopupMenuComponent(TComponent* Value) {
  FPopupMenu = Value;
  TCustomDBGridEh* g = Grid();
  if (Value && g) Value->FreeNotification(g);
}

// ================================================================ stored-ness

bool TColumnEh::IsAlignmentStored() const { return Flagged(evAlignment) && FAlignment != DefaultAlignment(); }
bool TColumnEh::IsAlwaysShowEditButtonStored() const {
  return Flagged(evAlwaysShowEditButton) && FAlwaysShowEditButton != DefaultAlwaysShowEditButton();
}
bool TColumnEh::IsAutoDropDownStored() const { return Flagged(evAutoDropDown) && FAutoDropDown != DefaultAutoDropDown(); }
bool TColumnEh::IsColorStored() const { return Flagged(evColor) && FColor != DefaultColor(); }
bool TColumnEh::IsDblClickNextValStored() const {
  return Flagged(evDblClickNextVal) && FDblClickNextVal != DefaultDblClickNextVal();
}
bool TColumnEh::IsDropDownShowTitlesStored() const {
  return Flagged(evDropDownShowTitles) && FDropDownShowTitles != DefaultDropDownShowTitles();
}
bool TColumnEh::IsDropDownSizingStored() const {
  return Flagged(evDropDownSizing) && FDropDownSizing != DefaultDropDownSizing();
}
bool TColumnEh::IsEndEllipsisStored() const { return Flagged(evEndEllipsis) && FEndEllipsis != DefaultEndEllipsis(); }
bool TColumnEh::IsHighlightRequiredStored() const {
  return Flagged(evHighlightRequired) && FHighlightRequired != DefaultHighlightRequired();
}
bool TColumnEh::IsImeModeStored() const { return Flagged(evImeMode) && FImeMode != DefaultImeMode(); }
bool TColumnEh::IsImeNameStored() const { return Flagged(evImeName) && FImeName != DefaultImeName(); }
bool TColumnEh::IsLayoutStored() const { return Flagged(evLayout) && FLayout != DefaultLayout(); }
bool TColumnEh::IsLookupDisplayFieldsStored() const {
  return Flagged(evLookupDisplayFields) && FLookupDisplayFields != DefaultLookupDisplayFields();
}
bool TColumnEh::IsReadOnlyStored() const { return Flagged(evReadOnly) && FReadOnly != DefaultReadOnly(); }
bool TColumnEh::IsToolTipsStored() const { return Flagged(evToolTips) && FToolTips != DefaultToolTips(); }
bool TColumnEh::IsWidthStored() const { return Flagged(evWidth) && FWidth != DefaultWidth(); }
bool TColumnEh::IsWordWrapStored() const { return Flagged(evWordWrap) && FWordWrap != DefaultWordWrap(); }

// ================================================================ other operations

TColumnFooterEh* TColumnEh::FooterAt(int Index) const {
  return Index >= 0 && Index < FFooters->Count() ? FFooters->Items(Index) : FFooter.get();
}

void TColumnEh::RebindFooterSums() {
  FFooter->SyncSumItem();
  for (int i = 0; i < FFooters->Count(); ++i) FFooters->Items(i)->SyncSumItem();
}

TDataSet* TColumnEh::ListDataSet() const {
  if (TDataSource* list = FDropDownBox->ListSource(); list && list->DataSet()) return list->DataSet();
  TField* f = Field();
  return f ? f->LookupDataSet() : nullptr;
}

bool TColumnEh::IsRightToLeft() const { return BiDiMode() == bdRightToLeft; }
bool TColumnEh::UseRightToLeftReading() const { return BiDiMode() != bdLeftToRight; }

void TColumnEh::OptimizeWidth() {
  TCustomDBGridEh* g = Grid();
  if (!g) return;
  TColumnsEhList list;
  list.Add(this);
  g->OptimizeColumnWidths(&list);
}

void TColumnEh::ResetToDefaults() {
  bool fontWasAssigned = Flagged(evFont);
  FTitle->ResetToDefaults();
  FAssignedValues = TColumnEhValues();
  RefreshDefaultFont();
  FPickList.reset();
  FButtonStyle = cbsAuto;
  Changed(fontWasAssigned);
  FKeyList.reset();
}

void TColumnEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TColumnEh*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  TCollection* c = Collection();
  if (c) c->BeginUpdate();
  TryFinally(
      [&] {
        ResetToDefaults();
        SetFieldName(src->FieldName());
        if (src->Flagged(evColor)) SetColor(src->Color());
        if (src->Flagged(evWidth)) SetWidth(src->Width());
        if (src->Flagged(evFont)) SetFont(src->Font());
        if (src->Flagged(evImeMode)) SetImeMode(src->ImeMode());
        if (src->Flagged(evImeName)) SetImeName(src->ImeName());
        if (src->Flagged(evAlignment)) SetAlignment(src->Alignment());
        if (src->Flagged(evReadOnly)) SetReadOnly(src->ReadOnly());
        SetTitle(src->Title());
        SetDropDownRows(src->DropDownRows());
        SetButtonStyle(src->ButtonStyle());
        SetPickList(src->FPickList ? src->FPickList.get() : nullptr);
        SetPopupMenuComponent(src->PopupMenuComponent());
        FInitialWidth = src->InitialWidth();
        SetAutoFitColWidth(src->AutoFitColWidth());
        if (src->Flagged(evWordWrap)) SetWordWrap(src->WordWrap());
        SetEndEllipsis(src->EndEllipsis());
        SetDropDownWidth(src->DropDownWidth());
        if (src->Flagged(evLookupDisplayFields)) SetLookupDisplayFields(src->LookupDisplayFields());
        SetAutoDropDown(src->AutoDropDown());
        SetAlwaysShowEditButton(src->AlwaysShowEditButton());
        if (src->Flagged(evWordWrap)) SetWordWrap(src->WordWrap());
        SetFooter(src->Footer());
        SetKeyList(src->FKeyList ? src->FKeyList.get() : nullptr);
        if (src->Flagged(evCheckboxes)) SetCheckboxes(src->Checkboxes());
        SetIncrement(src->Increment());
        SetToolTips(src->ToolTips());
        SetFooters(src->Footers());
        SetTag(src->Tag());
        SetVisible(src->Visible());
        SetImageList(src->ImageList());
        SetNotInKeyListIndex(src->NotInKeyListIndex());
        SetMinWidth(src->MinWidth());
        SetMaxWidth(src->MaxWidth());
        SetDblClickNextVal(src->DblClickNextVal());
        SetDropDownSizing(src->DropDownSizing());
        SetDropDownShowTitles(src->DropDownShowTitles());
        SetOnGetCellParams(src->OnGetCellParams());
        OnNotInList = src->OnNotInList;
        OnUpdateData = src->OnUpdateData;
        OnEditButtonClick = src->OnEditButtonClick;
        OnEditButtonDown = src->OnEditButtonDown;
        SetEditButtons(src->EditButtons());
        SetDropDownBox(src->DropDownBox());
        SetMRUList(src->MRUList());
        SetDisplayFormat(src->DisplayFormat());
        SetEditMask(src->EditMask());
        SetShowImageAndText(src->ShowImageAndText());
        SetHideDuplicates(src->HideDuplicates());
        SetLayout(src->Layout());
      },
      [&] {
        if (c) c->EndUpdate();
      });
}

// ================================================================ the collection

KELM_PUBLISH(TDBGridColumnsEh) {}

TDBGridColumnsEh::TDBGridColumnsEh(TCustomDBGridEh* Grid, TClass ColumnClass) : TCollection(ColumnClass), FGrid(Grid) {}

TPersistent* TDBGridColumnsEh::GetOwner() const { return FGrid; }

TColumnEh* TDBGridColumnsEh::AddTransientColumn() {
  TColumnEh* c = nullptr;
  WithinUpdate(*this, [&] {
    c = AddColumn();
    c->SetPersistent(false);
  });
  return c;
}

bool TDBGridColumnsEh::IsCustomized() const { return Count() > 0 && !Items(0)->IsTransient(); }

void TDBGridColumnsEh::Update(TCollectionItem* Item) {
  if (!FGrid || FGrid->Loading()) return;
  TGridImpl::ColumnsChanged(FGrid, static_cast<TColumnEh*>(Item));
}
