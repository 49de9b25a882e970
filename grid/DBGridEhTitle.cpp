// Column titles with their sort markers, and the grid-level default values of columns,
// titles and footers.
#include "grid/DBGridEh.h"

#include "core/ClassBuilder.h"
#include "grid/GridUtilsEh.h"
#include "core/SysUtils.h"

namespace {

// The width of a sort index written in the sort-index font, measured on the screen.
int SortIndexTextWidth(const String& Text) {
  TCanvas canvas;
  canvas.SetHandle(GetScreenDC());
  canvas.Font()->Assign(TCustomDBGridEh::SortIndexFont());
  int w = canvas.TextWidth(Text);
  canvas.SetHandle(nullptr);
  return w;
}

constexpr TColumnEhValue kTitleValues[] = {evTitleColor,       evTitleCaption,  evTitleAlignment, evTitleFont,
                                           evTitleButton,      evTitleEndEllipsis, evTitleToolTips,
                                           evTitleOrientation};

}  // namespace

// ================================================================ TColumnTitleEh

KELM_PUBLISH(TColumnTitleEh) { Published(b); }

TColumnTitleEh::TColumnTitleEh(TColumnEh* Column) : FColumn(Column) {
  FFont = std::make_unique<TFont>();
  FFont->Assign(DefaultFont());
  FFont->SetOnChange(TNotifyEvent(this, &TColumnTitleEh::FontChanged));
}

TColumnTitleEh::~TColumnTitleEh() = default;

TPersistent* TColumnTitleEh::GetOwner() const { return FColumn; }

bool TColumnTitleEh::Flagged(TColumnEhValue V) const { return FColumn->Flagged(V); }
void TColumnTitleEh::Flag(TColumnEhValue V) { FColumn->Flag(V); }

TColumnsEhList* TColumnTitleEh::SortMarkedList() const {
  TCustomDBGridEh* g = FColumn->Grid();
  return g ? g->SortMarkedColumns() : nullptr;
}

// ---------------------------------------------------------------- followed values

TFont* TColumnTitleEh::DefaultFont() const {
  TCustomDBGridEh* g = FColumn->Grid();
  return g ? g->TitleFont() : FColumn->FFont.get();
}

void TColumnTitleEh::RefreshDefaultFont() const {
  if (!Flagged(evTitleFont)) CopyFontSilently(FFont.get(), DefaultFont());
}

String TColumnTitleEh::DefaultCaption() const {
  TField* f = FColumn->Field();
  return f ? f->DisplayName() : FColumn->FieldName();
}

template <class T> T TColumnTitleEh::DefaultOf(T (TColumnTitleDefValuesEh::*Get)() const, T Fallback) const {
  TColumnDefValuesEh* d = FColumn->DefValues();
  return d ? (d->Title()->*Get)() : Fallback;
}

template <class T>
T TColumnTitleEh::Followed(TColumnEhValue V, const T& Own, T (TColumnTitleDefValuesEh::*Get)() const,
                           T Fallback) const {
  return Flagged(V) ? Own : DefaultOf(Get, Fallback);
}

template <class T>
bool TColumnTitleEh::OwnStored(TColumnEhValue V, const T& Own, T (TColumnTitleDefValuesEh::*Get)() const,
                               T Fallback) const {
  return Flagged(V) && Own != DefaultOf(Get, Fallback);
}

TAlignment TColumnTitleEh::Alignment() const {
  return Followed(evTitleAlignment, FAlignment, &TColumnTitleDefValuesEh::Alignment, taLeftJustify);
}

String TColumnTitleEh::Caption() const { return Flagged(evTitleCaption) ? FCaption : DefaultCaption(); }

TColor TColumnTitleEh::Color() const {
  return Followed(evTitleColor, FColor, &TColumnTitleDefValuesEh::Color, clBtnFace);
}

bool TColumnTitleEh::EndEllipsis() const {
  return Followed(evTitleEndEllipsis, FEndEllipsis, &TColumnTitleDefValuesEh::EndEllipsis, false);
}

TTextOrientationEh TColumnTitleEh::Orientation() const {
  return Followed(evTitleOrientation, FOrientation, &TColumnTitleDefValuesEh::Orientation, tohHorizontal);
}

bool TColumnTitleEh::TitleButton() const {
  return Followed(evTitleButton, FTitleButton, &TColumnTitleDefValuesEh::TitleButton, false);
}

bool TColumnTitleEh::ToolTips() const {
  return Followed(evTitleToolTips, FToolTips, &TColumnTitleDefValuesEh::ToolTips, false);
}

TFont* TColumnTitleEh::Font() const {
  RefreshDefaultFont();
  return FFont.get();
}

// ---------------------------------------------------------------- setters

void TColumnTitleEh::SetAlignment(TAlignment Value) {
  if (FColumn->AssignFlagged(evTitleAlignment, FAlignment, Value)) FColumn->Changed(false);
}

void TColumnTitleEh::SetColor(TColor Value) {
  if (FColumn->AssignFlagged(evTitleColor, FColor, Value)) FColumn->Changed(false);
}

void TColumnTitleEh::SetEndEllipsis(bool Value) {
  if (FColumn->AssignFlagged(evTitleEndEllipsis, FEndEllipsis, Value)) FColumn->Changed(false);
}

void TColumnTitleEh::SetOrientation(TTextOrientationEh Value) {
  if (FColumn->AssignFlagged(evTitleOrientation, FOrientation, Value)) FColumn->Changed(false);
}

void TColumnTitleEh::SetTitleButton(bool Value) {
  if (FColumn->AssignFlagged(evTitleButton, FTitleButton, Value)) FColumn->Changed(false);
}

void TColumnTitleEh::SetToolTips(bool Value) {
  FColumn->AssignFlagged(evTitleToolTips, FToolTips, Value);
}

void TColumnTitleEh::SetCaption(const String& Value) {
  if (FColumn->IsTransient()) {
    // A generated column's title is its field's display label.
    if (FColumn->LinkActive() && FColumn->Field()) FColumn->Field()->SetDisplayLabel(Value);
    return;
  }
  if (FColumn->AssignFlagged(evTitleCaption, FCaption, Value)) FColumn->Changed(false);
}

void TColumnTitleEh::FontChanged(TObject*) {
  Flag(evTitleFont);
  FColumn->Changed(true);
}

void TColumnTitleEh::SetImageIndex(int Value) {
  FImageIndex = Value;
  if (TCustomDBGridEh* g = FColumn->Grid()) g->RebuildLayout();
}

// ---------------------------------------------------------------- sort markers

void TColumnTitleEh::SetSortMarker(TSortMarkerEh Value) {
  if (Value == FSortMarker) return;
  FSortMarker = Value;
  TCustomDBGridEh* g = FColumn->Grid();
  TColumnsEhList* list = SortMarkedList();
  if (!g || !list) {
    FColumn->Changed(false);
    return;
  }
  // Inside an update (a layout being read) the list is rebuilt from the indices at its end.
  if (g->Columns()->UpdateLockCount() > 0) return;
  TDBGridColumnsEh* columns = g->Columns();
  if (g->OptionsEh().Contains(dghMultiSortMarking)) {
    if (Value != smNoneEh && FSortIndex == 0) {
      int marked = 0;
      for (int i = 0; i < columns->Count(); ++i)
        if (columns->Items(i)->Title()->FSortIndex != 0) ++marked;
      FSortIndex = marked + 1;
      list->Add(FColumn);
    } else if (Value == smNoneEh && FSortIndex != 0) {
      for (int i = 0; i < columns->Count(); ++i) {
        TColumnTitleEh* t = columns->Items(i)->Title();
        if (t->FSortIndex > FSortIndex) --t->FSortIndex;
      }
      list->Remove(FColumn);
      FSortIndex = 0;
    }
  } else if (Value != smNoneEh) {
    for (int i = 0; i < columns->Count(); ++i) {
      TColumnEh* c = columns->Items(i);
      if (c != FColumn && c->Title()->SortMarker() != smNoneEh) c->Title()->SetSortMarker(smNoneEh);
    }
    FSortIndex = 1;
    list->Clear();
    list->Add(FColumn);
  } else {
    FSortIndex = 0;
    list->Clear();
  }
  FColumn->Changed(false);
}

void TColumnTitleEh::SetSortIndex(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FSortIndex) return;
  TCustomDBGridEh* g = FColumn->Grid();
  // Stored layouts load the indices as they are; the list follows when the update ends.
  if (!g || g->Columns()->UpdateLockCount() > 0) {
    FSortIndex = Value;
    return;
  }
  if (FSortMarker == smNoneEh) return;
  TDBGridColumnsEh* columns = g->Columns();
  for (int i = 0; i < columns->Count(); ++i) {
    TColumnEh* other = columns->Items(i);
    if (other == FColumn || other->Title()->FSortIndex == 0 || other->Title()->FSortIndex != Value) continue;
    other->Title()->FSortIndex = FSortIndex;
    FSortIndex = Value;
    TColumnsEhList* list = g->SortMarkedColumns();
    int a = list->IndexOf(FColumn), b = list->IndexOf(other);
    if (a >= 0 && b >= 0) list->Exchange(a, b);
    FColumn->Changed(false);
    return;
  }
}

void TColumnTitleEh::CycleSortMarker(bool CtrlHeld) {
  if (!CtrlHeld) {
    if (TCustomDBGridEh* g = FColumn->Grid()) {
      TDBGridColumnsEh* columns = g->Columns();
      for (int i = 0; i < columns->Count(); ++i)
        if (columns->Items(i) != FColumn) columns->Items(i)->Title()->SetSortMarker(smNoneEh);
    }
  }
  TSortMarkerEh next = smDownEh;
  if (FSortMarker == smDownEh) next = smUpEh;
  else if (FSortMarker == smUpEh) next = CtrlHeld ? smNoneEh : smDownEh;
  SetSortMarker(next);
}

int TColumnTitleEh::SortMarkerSpace() const {
  if (FSortIndex == 0) return 0;
  int w = 16;
  TColumnsEhList* list = SortMarkedList();
  if (list && list->Count() >= 2) w = SortIndexTextWidth(IntToStr(FSortIndex)) + 16;
  int room = FColumn->Width() - 4;
  if (w <= room) return w;
  // Room for the number and two pixels, without the marker image.
  if (w - 14 <= room) return w - 14;
  return 0;
}

// ---------------------------------------------------------------- the rest

void TColumnTitleEh::ResetToDefaults() {
  bool fontWasAssigned = Flagged(evTitleFont);
  TColumnEhValues values = FColumn->AssignedValues();
  for (TColumnEhValue v : kTitleValues) values.Exclude(v);
  FColumn->SetAssignedValues(values);
  FCaption.clear();
  RefreshDefaultFont();
  FColumn->Changed(fontWasAssigned);
}

void TColumnTitleEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TColumnTitleEh*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src->Flagged(evTitleAlignment)) SetAlignment(src->Alignment());
  if (src->Flagged(evTitleColor)) SetColor(src->Color());
  if (src->Flagged(evTitleCaption)) SetCaption(src->Caption());
  if (src->Flagged(evTitleFont)) SetFont(src->Font());
  SetHint(src->Hint());
  SetImageIndex(src->ImageIndex());
  SetOrientation(src->Orientation());
  SetSortIndex(src->SortIndex());
  SetSortMarker(src->SortMarker());
  SetTitleButton(src->TitleButton());
  SetEndEllipsis(src->EndEllipsis());
  SetToolTips(src->ToolTips());
}

bool TColumnTitleEh::IsAlignmentStored() const {
  return OwnStored(evTitleAlignment, FAlignment, &TColumnTitleDefValuesEh::Alignment, taLeftJustify);
}
bool TColumnTitleEh::IsCaptionStored() const { return Flagged(evTitleCaption) && FCaption != DefaultCaption(); }
bool TColumnTitleEh::IsColorStored() const {
  return OwnStored(evTitleColor, FColor, &TColumnTitleDefValuesEh::Color, clBtnFace);
}
bool TColumnTitleEh::IsEndEllipsisStored() const {
  return OwnStored(evTitleEndEllipsis, FEndEllipsis, &TColumnTitleDefValuesEh::EndEllipsis, false);
}
bool TColumnTitleEh::IsFontStored() const { return Flagged(evTitleFont); }
bool TColumnTitleEh::IsOrientationStored() const {
  return OwnStored(evTitleOrientation, FOrientation, &TColumnTitleDefValuesEh::Orientation, tohHorizontal);
}
bool TColumnTitleEh::IsTitleButtonStored() const {
  return OwnStored(evTitleButton, FTitleButton, &TColumnTitleDefValuesEh::TitleButton, false);
}
bool TColumnTitleEh::IsToolTipsStored() const {
  return OwnStored(evTitleToolTips, FToolTips, &TColumnTitleDefValuesEh::ToolTips, false);
}

// ================================================================ default values

KELM_PUBLISH(TColumnTitleDefValuesEh) { Published(b); }

TAlignment TColumnTitleDefValuesEh::Alignment() const {
  if (FAlignmentAssigned) return FAlignment;
  return FGrid && FGrid->UseMultiTitle() ? taCenter : taLeftJustify;
}

void TColumnTitleDefValuesEh::SetAlignment(TAlignment Value) {
  bool changed = Value != Alignment();
  FAlignment = Value;
  FAlignmentAssigned = true;
  if (changed && FGrid) FGrid->RebuildLayout();
}

TColor TColumnTitleDefValuesEh::Color() const {
  if (FColorAssigned) return FColor;
  return FGrid ? FGrid->FixedColor() : clBtnFace;
}

void TColumnTitleDefValuesEh::SetColor(TColor Value) {
  bool changed = Value != Color();
  FColor = Value;
  FColorAssigned = true;
  if (changed && FGrid) FGrid->Invalidate();
}

void TColumnTitleDefValuesEh::SetEndEllipsis(bool Value) {
  if (Value == FEndEllipsis) return;
  FEndEllipsis = Value;
  if (FGrid) FGrid->Invalidate();
}

void TColumnTitleDefValuesEh::SetOrientation(TTextOrientationEh Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  if (FGrid) FGrid->RebuildLayout();
}

void TColumnTitleDefValuesEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TColumnTitleDefValuesEh*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src->FAlignmentAssigned) SetAlignment(src->FAlignment);
  if (src->FColorAssigned) SetColor(src->FColor);
  SetEndEllipsis(src->EndEllipsis());
  SetTitleButton(src->TitleButton());
  SetToolTips(src->ToolTips());
  SetOrientation(src->Orientation());
}

KELM_PUBLISH(TColumnFooterDefValuesEh) { Published(b); }

void TColumnFooterDefValuesEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TColumnFooterDefValuesEh*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  SetToolTips(src->ToolTips());
}

KELM_PUBLISH(TColumnDefValuesEh) {}

KELM_PUBLISH(TDBGridEhColumnDefValuesEh) { Published(b); }

TColumnDefValuesEh::TColumnDefValuesEh(TCustomDBGridEh* AGrid)
    : FGrid(AGrid),
      FTitle(std::make_unique<TColumnTitleDefValuesEh>(AGrid)),
      FFooter(std::make_unique<TColumnFooterDefValuesEh>(AGrid)) {}

TColumnDefValuesEh::~TColumnDefValuesEh() = default;

TPersistent* TColumnDefValuesEh::GetOwner() const { return FGrid; }

void TColumnDefValuesEh::SetAlwaysShowEditButton(bool Value) {
  if (Value == FAlwaysShowEditButton) return;
  FAlwaysShowEditButton = Value;
  if (FGrid) FGrid->Invalidate();
}

void TColumnDefValuesEh::SetEndEllipsis(bool Value) {
  if (Value == FEndEllipsis) return;
  FEndEllipsis = Value;
  if (FGrid) FGrid->Invalidate();
}

void TColumnDefValuesEh::SetHighlightRequired(bool Value) {
  if (Value == FHighlightRequired) return;
  FHighlightRequired = Value;
  if (FGrid) FGrid->Invalidate();
}

void TColumnDefValuesEh::SetLayout(TTextLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  if (FGrid) FGrid->Invalidate();
}

void TColumnDefValuesEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TColumnDefValuesEh*>(Source);
  if (!src || src->ClassType() != ClassType()) {
    TPersistent::Assign(Source);
    return;
  }
  FTitle->Assign(src->Title());
  SetAlwaysShowEditButton(src->AlwaysShowEditButton());
  SetEndEllipsis(src->EndEllipsis());
  SetAutoDropDown(src->AutoDropDown());
  SetDblClickNextVal(src->DblClickNextVal());
  SetToolTips(src->ToolTips());
  SetDropDownSizing(src->DropDownSizing());
  SetDropDownShowTitles(src->DropDownShowTitles());
}
