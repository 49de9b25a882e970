// Column footers: what each footer cell shows, how it looks, and the aggregate it keeps in the
// grid's sum list.
#include "grid/DBGridEh.h"

#include "core/ClassBuilder.h"
#include "grid/GridUtilsEh.h"

namespace {

bool IsAggregate(TFooterValueType T) { return T == fvtSum || T == fvtAvg || T == fvtCount; }

}  // namespace

KELM_PUBLISH(TColumnFooterEh) { Published(b); }

TColumnFooterEh::TColumnFooterEh(TCollection* Collection) : TCollectionItem(Collection) {
  if (auto* footers = dynamic_cast<TColumnFootersEh*>(Collection)) FColumn = footers->Column();
  Init();
  InvalidateFooterRows();
}

TColumnFooterEh::TColumnFooterEh(TColumnEh* Column) : TCollectionItem(nullptr), FColumn(Column) { Init(); }

void TColumnFooterEh::Init() {
  FFont = std::make_unique<TFont>();
  if (TFont* f = DefaultFont()) FFont->Assign(f);
  FFont->SetOnChange(TNotifyEvent(this, &TColumnFooterEh::FontChanged));
}

TColumnFooterEh::~TColumnFooterEh() {
  InvalidateFooterRows();
  FFont.reset();
  delete SumItem();
  FSumItemID = -1;
}

void TColumnFooterEh::InvalidateFooterRows() {
  TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
  if (g && !g->ComponentState().Contains(csDestroying)) g->InvalidateFooterRows();
}

void TColumnFooterEh::ColumnChanged(bool AllColumns) {
  if (FColumn) FColumn->Changed(AllColumns);
}

// ---------------------------------------------------------------- followed values

TAlignment TColumnFooterEh::DefaultAlignment() const {
  TField* f = FColumn ? FColumn->Field() : nullptr;
  return f ? f->Alignment() : taLeftJustify;
}

TColor TColumnFooterEh::DefaultColor() const {
  TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
  return g ? g->FooterColor() : clWindow;
}

TFont* TColumnFooterEh::DefaultFont() const {
  if (!FColumn) return nullptr;
  TCustomDBGridEh* g = FColumn->Grid();
  return g ? g->FooterFont() : FColumn->Font();
}

bool TColumnFooterEh::DefaultToolTips() const {
  TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
  return g && g->ColumnDefValues()->Footer()->ToolTips();
}

TAlignment TColumnFooterEh::Alignment() const { return FAssignedAlignment ? FAlignment : DefaultAlignment(); }
TColor TColumnFooterEh::Color() const { return FAssignedColor ? FColor : DefaultColor(); }
bool TColumnFooterEh::ToolTips() const { return FAssignedToolTips ? FToolTips : DefaultToolTips(); }

void TColumnFooterEh::RefreshDefaultFont() const { CopyFontSilently(FFont.get(), DefaultFont()); }

TFont* TColumnFooterEh::Font() const {
  if (!FAssignedFont) RefreshDefaultFont();
  return FFont.get();
}

// ---------------------------------------------------------------- setters

void TColumnFooterEh::SetAlignment(TAlignment Value) {
  if (FAssignedAlignment && FAlignment == Value) return;
  FAlignment = Value;
  FAssignedAlignment = true;
  ColumnChanged(false);
}

void TColumnFooterEh::SetColor(TColor Value) {
  if (FAssignedColor && FColor == Value) return;
  FColor = Value;
  FAssignedColor = true;
  ColumnChanged(false);
}

void TColumnFooterEh::SetToolTips(bool Value) {
  if (FAssignedToolTips && FToolTips == Value) return;
  FToolTips = Value;
  FAssignedToolTips = true;
}

void TColumnFooterEh::FontChanged(TObject*) {
  FAssignedFont = true;
  ColumnChanged(true);
}

void TColumnFooterEh::SetDisplayFormat(const String& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  ColumnChanged(false);
}

void TColumnFooterEh::SetEndEllipsis(bool Value) {
  FEndEllipsis = Value;
  ColumnChanged(false);
}

void TColumnFooterEh::SetValue(const String& Value) {
  FValue = Value;
  ColumnChanged(false);
}

void TColumnFooterEh::SetWordWrap(bool Value) {
  FWordWrap = Value;
  ColumnChanged(false);
}

void TColumnFooterEh::SetFieldName(const String& Value) {
  FFieldName = Value;
  if (FColumn) FColumn->RebindFooterSums();
  ColumnChanged(false);
}

void TColumnFooterEh::SetValueType(TFooterValueType Value) {
  if (Value == FValueType) return;
  FValueType = Value;
  if (FColumn) FColumn->RebindFooterSums();
  ColumnChanged(false);
}

void TColumnFooterEh::ResetAssignedValues() {
  bool fontWasAssigned = FAssignedFont;
  FAssignedAlignment = FAssignedColor = FAssignedFont = FAssignedToolTips = false;
  RefreshDefaultFont();
  ColumnChanged(fontWasAssigned);
}

void TColumnFooterEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TColumnFooterEh*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  if (src->FAssignedAlignment) SetAlignment(src->Alignment());
  if (src->FAssignedColor) SetColor(src->Color());
  if (src->FAssignedFont) SetFont(src->Font());
  SetEndEllipsis(src->EndEllipsis());
  SetValueType(src->ValueType());
  SetFieldName(src->FieldName());
  SetValue(src->Value());
  SetWordWrap(src->WordWrap());
  SetDisplayFormat(src->DisplayFormat());
  SetToolTips(src->ToolTips());
}

// ---------------------------------------------------------------- the aggregate item

TDBSum* TColumnFooterEh::SumItem() const {
  if (FSumItemID < 0 || !FColumn) return nullptr;
  TCustomDBGridEh* g = FColumn->Grid();
  if (!g) return nullptr;
  return static_cast<TDBSum*>(g->SumList()->SumCollection()->FindItemID(FSumItemID));
}

void TColumnFooterEh::SyncSumItem() {
  TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
  if (!g) return;
  auto setUp = [this](TDBSum* s) {
    if (FValueType == fvtCount) {
      s->SetGroupOperation(goCount);
      s->SetFieldName(String());
    } else {
      s->SetGroupOperation(FValueType == fvtSum ? goSum : goAvg);
      s->SetFieldName(FFieldName.empty() ? FColumn->FieldName() : FFieldName);
    }
  };
  TDBSum* item = SumItem();
  if (item) {
    if (IsAggregate(FValueType)) {
      setUp(item);
    } else {
      FSumItemID = -1;
      delete item;
    }
    return;
  }
  if (!IsAggregate(FValueType)) return;
  TDBSumCollection* sums = g->SumList()->SumCollection();
  WithinUpdate(*sums, [&] {
    item = sums->Add();
    FSumItemID = item->ID();
    setUp(item);
  });
}

// ================================================================ TColumnFootersEh

KELM_PUBLISH(TColumnFootersEh) {}

TColumnFootersEh::TColumnFootersEh(TColumnEh* Column, TClass FooterClass) : TCollection(FooterClass), FColumn(Column) {}

TPersistent* TColumnFootersEh::GetOwner() const { return FColumn; }

void TColumnFootersEh::Update(TCollectionItem*) {
  if (FColumn) FColumn->Changed(false);
}
