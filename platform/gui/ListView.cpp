// List views: columns, items, the four views, painting, keys, mouse, scrolling and label
// editing.
#include "gui/ListView.h"

#include "core/ClassBuilder.h"
#include "gui/ComCtrls_p.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/WinGDI.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <functional>

using namespace ctrl_utils;
using namespace comctrls;

namespace {



constexpr int CheckSize = 13;

// The check box before an item of the list, report and small-icon views.
TRect CheckBoxRect(const TRect& Item) {
  int top = Item.Top + (Item.Height() - CheckSize) / 2;
  return {Item.Left + 2, top, Item.Left + 2 + CheckSize, top + CheckSize};
}

// The first item from StartIndex (after it unless Inclusive; on from the first again with
// Wrap) that Match accepts.
template <class Pred>
TListItem* FindItemFrom(const TListItems* Items, int StartIndex, bool Inclusive, bool Wrap, Pred Match) {
  int n = Items->Count();
  int from = Inclusive ? StartIndex : StartIndex + 1;
  for (int k = 0; k < n; ++k) {
    int i = from + k;
    if (i >= n) {
      if (!Wrap) return nullptr;
      i %= n;
    }
    if (i >= 0 && Match(Items->Item(i))) return Items->Item(i);
  }
  return nullptr;
}

}  // namespace


// ================================================================ columns

KELM_PUBLISH(TListColumn) { Published(b); }

TListColumn::TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}

void TListColumn::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TListColumn*>(Source)) {
    FAlignment = s->FAlignment;
    FAutoSize = s->FAutoSize;
    FCaption = s->FCaption;
    FImageIndex = s->FImageIndex;
    FMaxWidth = s->FMaxWidth;
    FMinWidth = s->FMinWidth;
    FTag = s->FTag;
    FWidth = s->FWidth;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(Source);
}

String TListColumn::DisplayName() const { return FCaption.empty() ? TCollectionItem::DisplayName() : FCaption; }

void TListColumn::SetAlignment(TAlignment v) {
  FAlignment = v;
  Changed(false);
}
void TListColumn::SetAutoSize(bool v) {
  FAutoSize = v;
  Changed(false);
}
void TListColumn::SetCaption(const String& v) {
  FCaption = v;
  Changed(false);
}
void TListColumn::SetImageIndex(int v) {
  FImageIndex = v;
  Changed(false);
}
void TListColumn::SetMaxWidth(int v) {
  FMaxWidth = std::max(0, v);
  Changed(false);
}
void TListColumn::SetMinWidth(int v) {
  FMinWidth = std::max(0, v);
  Changed(false);
}

int TListColumn::Width() const {
  if (!FAutoSize) return FWidth;
  // An auto-sized column takes what the others leave.
  auto* cols = dynamic_cast<TListColumns*>(Collection());
  if (!cols || !cols->Owner()) return FWidth;
  int others = 0, autos = 0;
  for (int i = 0; i < cols->Count(); ++i) {
    if (cols->Items(i)->FAutoSize) ++autos;
    else others += cols->Items(i)->FWidth;
  }
  int w = (cols->Owner()->ClientWidth() - others) / std::max(1, autos);
  if (FMinWidth > 0) w = std::max(w, FMinWidth);
  if (FMaxWidth > 0) w = std::min(w, FMaxWidth);
  return std::max(w, 0);
}

void TListColumn::SetWidth(int v) {
  if (FMinWidth > 0) v = std::max(v, FMinWidth);
  if (FMaxWidth > 0) v = std::min(v, FMaxWidth);
  if (FWidth == v) return;
  FWidth = v;
  Changed(false);
}

KELM_PUBLISH(TListColumns) {}

TListColumns::TListColumns(TCustomListView* ListView)
    : TOwnedCollection(ListView, TListColumn::StaticClass()), FListView(ListView) {}

void TListColumns::Update(TCollectionItem*) {
  if (FListView) FListView->Changed(true);
}

// ================================================================ items

KELM_PUBLISH(TListItem) {}

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner) {
  FSubItems = std::make_unique<TStringList>();
  FSubItems->SetOnChange(TNotifyEvent::Lambda([this](TObject*) { Changed(ctText); }));
}

TListItem::~TListItem() = default;

void TListItem::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TListItem*>(Source)) {
    FCaption = s->FCaption;
    FSubItems->Assign(s->FSubItems.get());
    FImageIndex = s->FImageIndex;
    FStateIndex = s->FStateIndex;
    FData = s->FData;
    FChecked = s->FChecked;
    Changed(ctText);
    return;
  }
  TPersistent::Assign(Source);
}

TCustomListView* TListItem::ListView() const { return FOwner ? FOwner->Owner() : nullptr; }

void TListItem::Changed(TItemChange Change) {
  if (TCustomListView* lv = ListView()) {
    if (Change == ctText && (lv->SortType() == stText || lv->SortType() == stBoth) && FOwner->FUpdateCount == 0) lv->SortItems();
    lv->Change(this, Change);
    lv->Changed(Change == ctText);
  }
}

void TListItem::SetCaption(const String& v) {
  if (FCaption == v) return;
  if (TCustomListView* lv = ListView(); lv && !lv->CanChange(this, ctText)) return;
  FCaption = v;
  Changed(ctText);
}

void TListItem::SetSubItems(TStrings* v) { FSubItems->Assign(v); }

void TListItem::SetImageIndex(int v) {
  if (FImageIndex == v) return;
  FImageIndex = v;
  Changed(ctImage);
}

void TListItem::SetStateIndex(int v) {
  if (FStateIndex == v) return;
  FStateIndex = v;
  Changed(ctState);
}

void TListItem::SetChecked(bool v) {
  if (FChecked == v) return;
  FChecked = v;
  Changed(ctState);
}

void TListItem::SetCut(bool v) {
  FCut = v;
  if (TCustomListView* lv = ListView()) lv->Invalidate();
}

void TListItem::SetDropTarget(bool v) {
  FDropTarget = v;
  if (TCustomListView* lv = ListView()) lv->Invalidate();
}

bool TListItem::Focused() const { return ListView() && ListView()->ItemFocused() == this; }

void TListItem::SetFocused(bool v) {
  if (TCustomListView* lv = ListView()) {
    if (v) lv->SetItemFocused(this);
    else if (lv->ItemFocused() == this) lv->SetItemFocused(nullptr);
  }
}

void TListItem::SetSelected(bool v) {
  if (TCustomListView* lv = ListView()) lv->SetItemSelected(this, v, false);
  else FSelected = v;
}

int TListItem::Index() const { return FOwner ? FOwner->IndexOf(this) : -1; }

TPoint TListItem::Position() const {
  TCustomListView* lv = ListView();
  if (!lv) return FPos;
  TRect r = lv->ItemBounds(Index());
  return {r.Left + lv->FScrollX, r.Top + lv->FScrollY};
}

void TListItem::SetPosition(TPoint v) {
  FPos = v;
  if (TCustomListView* lv = ListView()) lv->Changed(true);
}

void TListItem::Delete() {
  if (FOwner) FOwner->Delete(Index());
  else delete this;
}

void TListItem::MakeVisible(bool PartialOK) {
  if (TCustomListView* lv = ListView()) lv->EnsureVisible(Index(), PartialOK);
}

TRect TListItem::DisplayRect(TDisplayCode Code) const {
  TCustomListView* lv = ListView();
  return lv ? lv->ItemPart(Index(), Code) : TRect{};
}

bool TListItem::EditCaption() {
  TCustomListView* lv = ListView();
  if (!lv) return false;
  lv->StartEdit(this);
  return lv->IsEditing();
}

void TListItem::CancelEdit() {
  if (TCustomListView* lv = ListView(); lv && lv->FEditItem == this) lv->FinishEdit(true);
}

void TListItem::Update() {
  if (TCustomListView* lv = ListView()) lv->Invalidate();
}

KELM_PUBLISH(TListItems) {}

TListItems::TListItems(TCustomListView* AOwner) : FOwner(AOwner) {}

TListItems::~TListItems() {
  for (TListItem* i : FItems) delete i;
  FItems.clear();
}

void TListItems::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TListItems*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  Clear();
  for (TListItem* i : s->FItems) Add()->Assign(i);
  EndUpdate();
}

TListItem* TListItems::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FItems[static_cast<std::size_t>(Index)];
}

TListItem* TListItems::Add() { return AddItem(nullptr, -1); }

TListItem* TListItems::Insert(int Index) { return AddItem(nullptr, Index); }

TListItem* TListItems::AddItem(TListItem* Item, int Index) {
  if (!Item) Item = new TListItem(this);
  Item->FOwner = this;
  if (Index < 0 || Index > Count()) Index = Count();
  FItems.insert(FItems.begin() + Index, Item);
  if (FOwner) {
    FOwner->InsertItem(Item);
    if ((FOwner->SortType() == stText || FOwner->SortType() == stBoth) && FUpdateCount == 0) FOwner->SortItems();
    FOwner->Changed(true);
  }
  return Item;
}

void TListItems::Delete(int Index) {
  TListItem* item = Item(Index);
  if (FOwner) FOwner->ItemRemoved(item);
  FItems.erase(FItems.begin() + Index);
  delete item;
  if (FOwner) FOwner->Changed(true);
}

void TListItems::Clear() {
  BeginUpdate();
  while (!FItems.empty()) Delete(Count() - 1);
  EndUpdate();
}

int TListItems::IndexOf(const TListItem* Value) const {
  auto it = std::find(FItems.begin(), FItems.end(), Value);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TListItems::BeginUpdate() { ++FUpdateCount; }

void TListItems::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0 && FOwner) {
    if (FOwner->SortType() == stText || FOwner->SortType() == stBoth) FOwner->SortItems();
    FOwner->Changed(true);
  }
}

// ================================================================ icon options

KELM_PUBLISH(TIconOptions) { Published(b); }

void TIconOptions::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TIconOptions*>(Source)) {
    FArrangement = s->FArrangement;
    FAutoArrange = s->FAutoArrange;
    FWrapText = s->FWrapText;
    if (FOwner) FOwner->Changed(true);
    return;
  }
  TPersistent::Assign(Source);
}

TPersistent* TIconOptions::GetOwner() const { return FOwner; }

void TIconOptions::SetArrangement(TIconArrangement v) {
  FArrangement = v;
  if (FOwner) FOwner->Changed(true);
}
void TIconOptions::SetAutoArrange(bool v) {
  FAutoArrange = v;
  if (FOwner) FOwner->Changed(true);
}
void TIconOptions::SetWrapText(bool v) {
  FWrapText = v;
  if (FOwner) FOwner->Changed(true);
}

// ================================================================ TCustomListView

KELM_PUBLISH(TCustomListView) {}

KELM_PUBLISH(TListView) { Published(b); }

TCustomListView::TCustomListView(TComponent* AOwner) : TCustomItemView(AOwner, 250, 150) {
  FItems = std::make_unique<TListItems>(this);
  FColumns = std::make_unique<TListColumns>(this);
  FIconOptions = std::make_unique<TIconOptions>(this);
}

TCustomListView::~TCustomListView() {
  Destroying();
  for (TCustomImageList* l : {FLargeImages, FSmallImages})
    if (l) l->UnRegisterChanges(FImageLink.get());
  KillTimer(Handle(), EditDelayTimer);
  FFocused = FAnchor = nullptr;
  FEditItem = nullptr;
  FItems.reset();
}

// ---------------------------------------------------------------- properties

void TCustomListView::SetCheckboxes(bool v) {
  FCheckboxes = v;
  Changed(true);
}
void TCustomListView::SetGridLines(bool v) {
  FGridLines = v;
  Invalidate();
}
void TCustomListView::SetMultiSelect(bool v) {
  if (FMultiSelect == v) return;
  FMultiSelect = v;
  // A single selection keeps the first selected item only.
  if (!v) {
    bool first = true;
    for (TListItem* i : FItems->FItems)
      if (i->FSelected) {
        if (!first) SetItemSelected(i, false, false);
        first = false;
      }
  }
}
void TCustomListView::SetRowSelect(bool v) {
  FRowSelect = v;
  Invalidate();
}
void TCustomListView::SetShowColumnHeaders(bool v) {
  FShowColumnHeaders = v;
  Changed(true);
}
void TCustomListView::SetSortType(TSortType v) {
  FSortType = v;
  if (v == stText || v == stBoth) SortItems();
}
void TCustomListView::SetViewStyle(TViewStyle v) {
  if (FViewStyle == v) return;
  FViewStyle = v;
  FScrollX = FScrollY = 0;
  Changed(true);
}

void TCustomListView::SetLargeImages(TCustomImageList* v) {
  SwapImages(FLargeImages, v);
  Changed(true);
}
void TCustomListView::SetSmallImages(TCustomImageList* v) {
  SwapImages(FSmallImages, v);
  Changed(true);
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomItemView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FLargeImages) FLargeImages = nullptr;
  if (AComponent == FSmallImages) FSmallImages = nullptr;
}

TListItem* TCustomListView::Selected() const {
  for (TListItem* i : FItems->FItems)
    if (i->FSelected) return i;
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* v) {
  if (v) {
    SelectOnly(v, false);
    FocusItem(v);
  } else {
    ClearSelection();
  }
}

void TCustomListView::SetItemFocused(TListItem* v) { FocusItem(v); }

int TCustomListView::SelCount() const {
  int n = 0;
  for (TListItem* i : FItems->FItems) n += i->FSelected ? 1 : 0;
  return n;
}

int TCustomListView::ItemIndex() const {
  TListItem* s = Selected();
  return s ? s->Index() : -1;
}

void TCustomListView::SetItemIndex(int v) {
  if (v < 0 || v >= FItems->Count()) ClearSelection();
  else SetSelected(FItems->Item(v));
}

TListItem* TCustomListView::TopItem() const {
  for (int i = 0; i < FItems->Count(); ++i)
    if (ItemBounds(i).Bottom > (FViewStyle == vsReport ? HeaderHeight() : 0)) return FItems->Item(i);
  return nullptr;
}

void TCustomListView::ClearSelection() {
  for (TListItem* i : std::vector<TListItem*>(FItems->FItems))
    if (i->FSelected) SetItemSelected(i, false, false);
}

void TCustomListView::SelectAll() {
  if (!FMultiSelect) return;
  for (TListItem* i : std::vector<TListItem*>(FItems->FItems)) SetItemSelected(i, true, false);
}

TListItem* TCustomListView::GetNextSelected(TListItem* StartItem) const {
  int start = StartItem ? StartItem->Index() + 1 : 0;
  for (int i = start; i < FItems->Count(); ++i)
    if (FItems->Item(i)->FSelected) return FItems->Item(i);
  return nullptr;
}

TListItem* TCustomListView::FindCaption(int StartIndex, const String& Value, bool Partial, bool Inclusive, bool Wrap) const {
  return FindItemFrom(FItems.get(), StartIndex, Inclusive, Wrap, [&](TListItem* i) {
    return Partial ? CaptionStartsWith(i->Caption(), Value) : AnsiSameText(i->Caption(), Value);
  });
}

TListItem* TCustomListView::FindData(int StartIndex, void* Value, bool Inclusive, bool Wrap) const {
  return FindItemFrom(FItems.get(), StartIndex, Inclusive, Wrap, [&](TListItem* i) { return i->Data() == Value; });
}

bool TCustomListView::AlphaSort() {
  SortItems();
  return true;
}

void TCustomListView::Arrange(TListArrangement) {
  for (TListItem* i : FItems->FItems) i->FPos = {-1, -1};
  Changed(true);
}

void TCustomListView::Scroll(int DX, int DY) { ScrollTo(FScrollX + DX, FScrollY + DY); }

// ---------------------------------------------------------------- overridables

bool TCustomListView::CanChange(TListItem* Item, TItemChange Change) {
  bool allow = true;
  OnChanging(this, Item, Change, allow);
  return allow;
}

void TCustomListView::Change(TListItem* Item, TItemChange Change) { OnChange(this, Item, Change); }

void TCustomListView::DoSelectItem(TListItem* Item, bool Selected) { OnSelectItem(this, Item, Selected); }

void TCustomListView::ColClick(TListColumn* Column) { OnColumnClick(this, Column); }

int TCustomListView::CompareItems(TListItem* A, TListItem* B) {
  if (OnCompare) {
    int r = 0;
    OnCompare(this, A, B, 0, r);
    return r;
  }
  return AnsiCompareText(A->Caption(), B->Caption());
}

void TCustomListView::Delete(TListItem* Item) { OnDeletion(this, Item); }

void TCustomListView::InsertItem(TListItem* Item) { OnInsert(this, Item); }

// ---------------------------------------------------------------- the native model

void TCustomListView::Changed(bool Layout) {
  if (Layout) FLayoutValid = false;
  if (FItems && FItems->FUpdateCount > 0) return;
  UpdateScrollBars();
  Invalidate();
}

int TCustomListView::TextHeight() const { return CellHeight(); }

int TCustomListView::HeaderHeight() const {
  if (FViewStyle != vsReport || !FShowColumnHeaders) return 0;
  return TextHeight() + 6;
}

TCustomImageList* TCustomListView::ItemImages() const { return FViewStyle == vsIcon ? FLargeImages : FSmallImages; }

const TCustomListView::TLayout& TCustomListView::GetLayout() const {
  if (FLayoutValid) return FLayout;
  FLayoutValid = true;
  TLayout& L = FLayout;
  L = TLayout{};
  int th = TextHeight();
  int n = FItems ? FItems->Count() : 0;
  int iw = ItemImages() ? ItemImages()->Width() : 0, ih = ItemImages() ? ItemImages()->Height() : 0;
  int check = FCheckboxes ? CheckSize + 3 : 0;
  int cw = std::max(1, ClientWidth()), ch = std::max(1, ClientHeight());
  switch (FViewStyle) {
    case vsIcon: {
      L.CellW = std::max(iw + 32, 75);
      L.CellH = std::max(ih, 32) + 6 + (FIconOptions->WrapText() ? 2 : 1) * th + 4;
      L.Cols = FIconOptions->Arrangement() == iaTop ? std::max(1, cw / L.CellW) : 0;
      break;
    }
    case vsSmallIcon:
    case vsList: {
      int maxText = 0;
      for (int i = 0; i < n; ++i) maxText = std::max(maxText, TextWidthOf(Font(), FItems->Item(i)->Caption()));
      L.CellW = check + iw + 4 + std::min(maxText, 300) + 8;
      L.CellH = std::max(th + 2, ih + 1);
      L.Cols = FViewStyle == vsSmallIcon ? std::max(1, cw / L.CellW) : 0;
      break;
    }
    case vsReport: {
      L.CellH = std::max({th + 2, ih + 1, FCheckboxes ? CheckSize + 2 : 0});
      int w = 0;
      for (int c = 0; c < FColumns->Count(); ++c) w += FColumns->Items(c)->Width();
      L.CellW = w;
      L.Cols = 1;
      break;
    }
  }
  if (FViewStyle == vsReport) {
    L.Content = {L.CellW, n * L.CellH};
  } else if (FViewStyle == vsList) {
    int rows = std::max(1, ch / L.CellH);
    int cols = (n + rows - 1) / rows;
    L.Content = {cols * L.CellW, std::min(n, rows) * L.CellH};
  } else if (L.Cols > 0) {
    int rows = (n + L.Cols - 1) / L.Cols;
    L.Content = {std::min(n, L.Cols) * L.CellW, rows * L.CellH};
  } else {
    // Arranged to the left: columns top to bottom.
    int rows = std::max(1, ch / L.CellH);
    int cols = (n + rows - 1) / rows;
    L.Content = {cols * L.CellW, std::min(n, rows) * L.CellH};
  }
  return L;
}

TRect TCustomListView::ItemBounds(int Index) const {
  const TLayout& L = GetLayout();
  if (Index < 0 || Index >= FItems->Count()) return {};
  int x, y;
  switch (FViewStyle) {
    case vsReport:
      return {-FScrollX, HeaderHeight() + Index * L.CellH - FScrollY, L.CellW - FScrollX,
              HeaderHeight() + (Index + 1) * L.CellH - FScrollY};
    case vsList: {
      int rows = std::max(1, ClientHeight() / L.CellH);
      x = Index / rows * L.CellW;
      y = Index % rows * L.CellH;
      break;
    }
    default: {
      TListItem* it = FItems->Item(Index);
      if (it->FPos.X >= 0 && !FIconOptions->AutoArrange()) {
        x = it->FPos.X;
        y = it->FPos.Y;
      } else if (L.Cols > 0) {
        x = Index % L.Cols * L.CellW;
        y = Index / L.Cols * L.CellH;
      } else {
        int rows = std::max(1, ClientHeight() / L.CellH);
        x = Index / rows * L.CellW;
        y = Index % rows * L.CellH;
      }
      break;
    }
  }
  return {x - FScrollX, y - FScrollY, x - FScrollX + L.CellW, y - FScrollY + L.CellH};
}

TRect TCustomListView::ItemPart(int Index, TDisplayCode Code) const {
  TRect b = ItemBounds(Index);
  if (IsRectEmpty(b) || Code == drBounds) return b;
  TListItem* it = FItems->Item(Index);
  TCustomImageList* il = ItemImages();
  int iw = il ? il->Width() : 0, ih = il ? il->Height() : 0;
  int tw = TextWidthOf(Font(), it->Caption()) + 4;
  if (FViewStyle == vsIcon) {
    int iconW = std::max(iw, 32), iconH = std::max(ih, 32);
    TRect icon{b.Left + (b.Width() - iconW) / 2, b.Top + 2, b.Left + (b.Width() - iconW) / 2 + iconW, b.Top + 2 + iconH};
    int lw = std::min(tw, b.Width() - 2);
    TRect label{b.Left + (b.Width() - lw) / 2, icon.Bottom + 3, b.Left + (b.Width() - lw) / 2 + lw, b.Bottom - 2};
    if (Code == drIcon) return icon;
    if (Code == drLabel) return label;
    TRect u;
    UnionRect(u, icon, label);
    return u;
  }
  int x = b.Left + 2 + (FCheckboxes ? CheckSize + 3 : 0);
  TRect icon{x, b.Top, x + iw, b.Bottom};
  int right = FViewStyle == vsReport && FColumns->Count() > 0 ? b.Left + FColumns->Items(0)->Width() : b.Right;
  TRect label{icon.Right + (iw ? 2 : 0), b.Top, std::min(icon.Right + (iw ? 2 : 0) + tw, right), b.Bottom};
  if (Code == drIcon) return icon;
  if (Code == drLabel) return label;
  if (FViewStyle == vsReport && FRowSelect) return b;
  TRect u;
  UnionRect(u, icon, label);
  return u;
}

TListItem* TCustomListView::GetItemAt(int X, int Y) const {
  for (int i = 0; i < FItems->Count(); ++i) {
    TRect r = ItemPart(i, FViewStyle == vsReport && !FRowSelect ? drSelectBounds : drBounds);
    if (FViewStyle == vsIcon) r = ItemPart(i, drSelectBounds);
    if (PtInRect(r, {X, Y})) return FItems->Item(i);
  }
  return nullptr;
}

int TCustomListView::ColumnAtPos(int X) const {
  if (FViewStyle != vsReport) return -1;
  int x = -FScrollX;
  for (int c = 0; c < FColumns->Count(); ++c) {
    int w = FColumns->Items(c)->Width();
    if (X >= x && X < x + w) return c;
    x += w;
  }
  return -1;
}

void TCustomListView::UpdateScrollBars() {
  const TLayout& L = GetLayout();
  int top = FViewStyle == vsReport ? HeaderHeight() : 0;
  int cw = std::max(1, ClientWidth()), ch = std::max(1, ClientHeight() - top);
  bool horizontalOnly = FViewStyle == vsList;
  FScrollX = std::clamp(FScrollX, 0, std::max(0, L.Content.cx - cw));
  FScrollY = horizontalOnly ? 0 : std::clamp(FScrollY, 0, std::max(0, L.Content.cy - ch));
  FBars->SetInfo(SB_HORZ, 0, std::max(0, L.Content.cx - 1), cw, FScrollX);
  FBars->SetInfo(SB_VERT, 0, horizontalOnly ? 0 : std::max(0, L.Content.cy - 1), ch, FScrollY);
}

void TCustomListView::ScrollTo(int X, int Y) {
  const TLayout& L = GetLayout();
  int top = FViewStyle == vsReport ? HeaderHeight() : 0;
  X = std::clamp(X, 0, std::max(0, L.Content.cx - ClientWidth()));
  Y = std::clamp(Y, 0, std::max(0, L.Content.cy - (ClientHeight() - top)));
  if (X == FScrollX && Y == FScrollY) return;
  if (FEditItem) FinishEdit(false);
  FScrollX = X;
  FScrollY = Y;
  FBars->SetPos(SB_HORZ, X);
  FBars->SetPos(SB_VERT, Y);
  Invalidate();
}

void TCustomListView::EnsureVisible(int Index, bool PartialOK) {
  TRect r = ItemBounds(Index);
  if (IsRectEmpty(r)) return;
  int top = FViewStyle == vsReport ? HeaderHeight() : 0;
  int dx = 0, dy = 0;
  if (r.Top < top) dy = r.Top - top;
  else if (r.Bottom > ClientHeight() && !(PartialOK && r.Top < ClientHeight())) dy = std::min(r.Bottom - ClientHeight(), r.Top - top);
  if (FViewStyle != vsReport) {
    if (r.Left < 0) dx = r.Left;
    else if (r.Right > ClientWidth() && !(PartialOK && r.Left < ClientWidth())) dx = std::min(r.Right - ClientWidth(), r.Left);
  }
  if (dx || dy) ScrollTo(FScrollX + dx, FScrollY + dy);
}

bool TCustomListView::SetItemSelected(TListItem* Item, bool Value, bool ByUser) {
  if (!Item || Item->FSelected == Value) return true;
  if (!CanChange(Item, ctState)) return false;
  if (Value && !FMultiSelect)
    for (TListItem* i : FItems->FItems)
      if (i != Item && i->FSelected) {
        i->FSelected = false;
        Change(i, ctState);
        DoSelectItem(i, false);
      }
  Item->FSelected = Value;
  Invalidate();
  Change(Item, ctState);
  DoSelectItem(Item, Value);
  return true;
}

void TCustomListView::SelectRange(int A, int B) {
  int lo = std::min(A, B), hi = std::max(A, B);
  for (int i = 0; i < FItems->Count(); ++i) SetItemSelected(FItems->Item(i), i >= lo && i <= hi, true);
}

void TCustomListView::SelectOnly(TListItem* Item, bool ByUser) {
  for (TListItem* i : std::vector<TListItem*>(FItems->FItems))
    if (i != Item && i->FSelected) SetItemSelected(i, false, ByUser);
  if (Item) SetItemSelected(Item, true, ByUser);
}

void TCustomListView::FocusItem(TListItem* Item) {
  if (FFocused == Item) return;
  FFocused = Item;
  if (Item) FAnchor = FAnchor ? FAnchor : Item;
  Invalidate();
}

void TCustomListView::ItemRemoved(TListItem* Item) {
  if (!ComponentState().Contains(csDestroying)) Delete(Item);
  if (Item == FEditItem) {
    FEditItem = nullptr;
    if (FEditor) FEditor->SetVisible(false);
  }
  if (Item == FFocused) FFocused = nullptr;
  if (Item == FAnchor) FAnchor = nullptr;
}

void TCustomListView::SortItems() {
  if (!FItems) return;
  std::stable_sort(FItems->FItems.begin(), FItems->FItems.end(),
                   [this](TListItem* a, TListItem* b) { return CompareItems(a, b) < 0; });
  Changed(true);
}

// ---------------------------------------------------------------- editing

void TCustomListView::StartEdit(TListItem* Item) {
  if (!Item || FReadOnly) return;
  bool allow = true;
  OnEditing(this, Item, allow);
  if (!allow) return;
  Item->MakeVisible(false);
  FEditItem = Item;
  TRect r = ItemPart(Item->Index(), drLabel);
  ShowLabelEditor([this](bool Cancel) { FinishEdit(Cancel); }, r, std::max(r.Height(), TextHeight() + 4),
                  Item->Caption());
}

void TCustomListView::FinishEdit(bool Cancel) {
  TListItem* item = FEditItem;
  if (!item) return;
  FEditItem = nullptr;
  String s = HideLabelEditor();
  if (!Cancel) {
    OnEdited(this, item, s);
    item->SetCaption(s);
  }
  Invalidate();
}

// ---------------------------------------------------------------- messages

void TCustomListView::EditDelayExpired() {
  if (FFocused && FFocused->FSelected) StartEdit(FFocused);
}

// Dragging a column divider.
bool TCustomListView::MouseMoveDefault(TMessage& M) {
  if (FPressedColumn < 1000) return false;
  int c = FPressedColumn - 1000;
  int x = -FScrollX;
  for (int k = 0; k < c; ++k) x += FColumns->Items(k)->Width();
  FColumns->Items(c)->SetWidth(std::max(0, GetXLParam(M.LParam) - x));
  return true;
}

void TCustomListView::CharDefault(TMessage& M) {
  Char c = static_cast<Char>(M.WParam);
  if (c < 32) return;
  String s;
  AppendUtf8(s, c);
  int start = FFocused ? FFocused->Index() : -1;
  if (TListItem* i = FindCaption(start, s, true, false, true)) {
    SelectOnly(i, true);
    FocusItem(i);
    FAnchor = i;
    i->MakeVisible(false);
  }
}

void TCustomListView::WMLButtonUp(TMessage& M) {
  int pressed = FPressedColumn;
  FPressedColumn = -1;
  if (pressed >= 0 && pressed < 1000) {
    Invalidate();
    TPoint p = PointFromLParam(M.LParam);
    if (p.Y >= 0 && p.Y < HeaderHeight() && ColumnAtPos(p.X) == pressed) ColClick(FColumns->Items(pressed));
  }
}

void TCustomListView::WMMouseWheelDefault(TMessage& M) {
  int steps = WheelSteps(M.WParam);
  if (FViewStyle == vsList) ScrollTo(FScrollX - steps * GetLayout().CellW, FScrollY);
  else ScrollTo(FScrollX, FScrollY - steps * GetLayout().CellH);
}

void TCustomListView::ScrollDefault(TMessage& M, bool Horizontal) {
  const TLayout& L = GetLayout();
  int line = Horizontal ? (FViewStyle == vsList ? L.CellW : 16) : L.CellH;
  int page = Horizontal ? ClientWidth() : ClientHeight() - HeaderHeight();
  int v;
  if (!ScrollBarTarget(M.WParam, Horizontal ? FScrollX : FScrollY, line, page, Horizontal ? L.Content.cx : L.Content.cy, v)) return;
  if (Horizontal) ScrollTo(v, FScrollY);
  else ScrollTo(FScrollX, v);
}

void TCustomListView::KeyDownDefault(TMessage& M) {
  int n = FItems->Count();
  if (n == 0) return;
  const TLayout& L = GetLayout();
  int cur = FFocused ? FFocused->Index() : -1;
  int rowsPerCol = std::max(1, ClientHeight() / std::max(1, L.CellH));
  int perRow = FViewStyle == vsReport || FViewStyle == vsList ? 1 : std::max(1, L.Cols);
  int next = -1;
  switch (M.WParam) {
    case VK_UP: next = FViewStyle == vsList ? cur - 1 : cur - perRow; break;
    case VK_DOWN: next = FViewStyle == vsList ? cur + 1 : cur + perRow; break;
    case VK_LEFT:
      if (FViewStyle == vsReport) return;
      next = FViewStyle == vsList ? cur - rowsPerCol : cur - 1;
      break;
    case VK_RIGHT:
      if (FViewStyle == vsReport) return;
      next = FViewStyle == vsList ? cur + rowsPerCol : cur + 1;
      break;
    case VK_HOME: next = 0; break;
    case VK_END: next = n - 1; break;
    case VK_PRIOR: next = cur - std::max(1, rowsPerCol - 1) * perRow; break;
    case VK_NEXT: next = cur + std::max(1, rowsPerCol - 1) * perRow; break;
    case VK_SPACE:
      if (FFocused) {
        if (FCheckboxes) FFocused->SetChecked(!FFocused->Checked());
        else if (FMultiSelect && IsKeyDown(VK_CONTROL)) SetItemSelected(FFocused, !FFocused->FSelected, true);
        else SetItemSelected(FFocused, true, true);
      }
      return;
    case VK_F2:
      if (FFocused) StartEdit(FFocused);
      return;
    default:
      return;
  }
  if (cur < 0) next = 0;
  next = std::clamp(next, 0, n - 1);
  TListItem* item = FItems->Item(next);
  bool shift = IsKeyDown(VK_SHIFT), ctrl = IsKeyDown(VK_CONTROL);
  if (FMultiSelect && shift && FAnchor) {
    SelectRange(FAnchor->Index(), next);
  } else if (!(FMultiSelect && ctrl)) {
    SelectOnly(item, true);
    FAnchor = item;
  }
  FocusItem(item);
  item->MakeVisible(false);
}

void TCustomListView::MouseDownDefault(TMessage& M, bool Right, bool Double) {
  TPoint p = PointFromLParam(M.LParam);
  if (!Right && CanFocus() && GetFocus() != Handle()) SetFocus();
  if (FEditItem) FinishEdit(false);
  KillTimer(Handle(), EditDelayTimer);
  if (!Right && p.Y < HeaderHeight()) {
    // The header: a divider starts a resize, a column a click.
    int x = -FScrollX;
    for (int c = 0; c < FColumns->Count(); ++c) {
      x += FColumns->Items(c)->Width();
      if (std::abs(p.X - x) <= 3) {
        FPressedColumn = 1000 + c;
        return;
      }
    }
    int c = ColumnAtPos(p.X);
    if (c >= 0 && FColumnClick) {
      FPressedColumn = c;
      Invalidate();
    }
    return;
  }
  if (!Right && FCheckboxes && FViewStyle != vsIcon) {
    // The check box before an item toggles it and selects nothing.
    for (int i = 0; i < FItems->Count(); ++i) {
      if (PtInRect(CheckBoxRect(ItemBounds(i)), p)) {
        FItems->Item(i)->SetChecked(!FItems->Item(i)->Checked());
        return;
      }
    }
  }
  TListItem* item = GetItemAt(p.X, p.Y);
  if (!item) {
    if (!Right && !(M.WParam & (MK_CONTROL | MK_SHIFT))) ClearSelection();
    return;
  }
  int index = item->Index();
  bool ctrl = (M.WParam & MK_CONTROL) != 0, shift = (M.WParam & MK_SHIFT) != 0;
  bool wasSelected = item->FSelected && item == FFocused;
  if (FMultiSelect && !Right && ctrl) {
    SetItemSelected(item, !item->FSelected, true);
    FAnchor = item;
  } else if (FMultiSelect && !Right && shift && FAnchor) {
    SelectRange(FAnchor->Index(), index);
  } else if (!(Right && item->FSelected)) {
    SelectOnly(item, true);
    FAnchor = item;
  }
  FocusItem(item);
  item->MakeVisible(true);
  if (!Right && !Double && wasSelected && !FReadOnly && PtInRect(ItemPart(index, drLabel), p))
    SetTimer(Handle(), EditDelayTimer, 500);
}

// ---------------------------------------------------------------- painting

void TCustomListView::PaintItems(HDC DC) {
  if (!DC) return;
  TRect c = ClientRect();
  Fill(DC, c, ColorToRGB(Color()));
  int top = HeaderHeight();
  int saved = SaveDC(DC);
  IntersectClipRect(DC, 0, top, c.Right, c.Bottom);
  for (int i = 0; i < FItems->Count(); ++i) {
    TRect b = ItemBounds(i);
    if (b.Bottom <= top || b.Top >= c.Bottom || b.Right <= 0 || b.Left >= c.Right) continue;
    PaintItem(DC, i);
  }
  if (FViewStyle == vsReport && FGridLines) {
    const TLayout& L = GetLayout();
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(DC, pen);
    int x = -FScrollX;
    for (int k = 0; k < FColumns->Count(); ++k) {
      x += FColumns->Items(k)->Width();
      MoveToEx(DC, x - 1, top, nullptr);
      LineTo(DC, x - 1, c.Bottom);
    }
    for (int y = top + L.CellH - 1 - (FScrollY % std::max(1, L.CellH)); y < c.Bottom; y += L.CellH) {
      MoveToEx(DC, 0, y, nullptr);
      LineTo(DC, std::min(c.Right, L.CellW - FScrollX), y);
    }
    SelectObject(DC, old);
    DeleteObject(pen);
  }
  RestoreDC(DC, saved);
  PaintHeader(DC);
}

void TCustomListView::PaintHeader(HDC DC) {
  int h = HeaderHeight();
  if (h == 0) return;
  TRect c = ClientRect();
  HGDIOBJ old = SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
  int x = -FScrollX;
  for (int k = 0; k < FColumns->Count(); ++k) {
    TListColumn* col = FColumns->Items(k);
    TRect r{x, 0, x + col->Width(), h};
    x += col->Width();
    if (r.Right <= 0 || r.Left >= c.Right) continue;
    Fill(DC, r, GetSysColor(COLOR_BTNFACE));
    TRect e = r;
    DrawEdge(DC, e, k == FPressedColumn ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | (k == FPressedColumn ? 0u : UINT(BF_SOFT)));
    TRect t = r;
    InflateRect(t, -6, 0);
    if (k == FPressedColumn) OffsetRect(t, 1, 1);
    UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    if (col->Alignment() == taCenter) fmt |= DT_CENTER;
    else if (col->Alignment() == taRightJustify) fmt |= DT_RIGHT;
    DrawText(DC, col->Caption(), -1, &t, fmt);
  }
  if (x < c.Right) {
    TRect rest{std::max(x, 0), 0, c.Right, h};
    Fill(DC, rest, GetSysColor(COLOR_BTNFACE));
    TRect e = rest;
    DrawEdge(DC, e, EDGE_RAISED, BF_RECT | BF_SOFT);
  }
  SelectObject(DC, old);
}

void TCustomListView::PaintItem(HDC DC, int Index) {
  TListItem* it = FItems->Item(Index);
  TRect b = ItemBounds(Index);
  bool focused = ViewFocused();
  bool hilite = (it->FSelected && (focused || !FHideSelection)) || it->FDropTarget;
  COLORREF selBack = focused || it->FDropTarget ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE);
  COLORREF selFore = focused || it->FDropTarget ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ColorToRGB(Font()->Color());
  COLORREF fore = Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT);
  TCustomImageList* il = ItemImages();
  HGDIOBJ oldFont = SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  if (FCheckboxes && FViewStyle != vsIcon) {
    TRect box = CheckBoxRect(b);
    DrawFrameControl(DC, box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (it->Checked() ? UINT(DFCS_CHECKED) : 0u));
  }
  TRect icon = ItemPart(Index, drIcon), label = ItemPart(Index, drLabel);
  if (il && it->ImageIndex() >= 0 && it->ImageIndex() < il->Count()) {
    int ix = icon.Left + (icon.Width() - il->Width()) / 2, iy = icon.Top + (icon.Height() - il->Height()) / 2;
    PaintOnCanvas(*FCanvas, DC, [&] {
      il->Draw(FCanvas.get(), ix, iy, it->ImageIndex(), hilite && focused ? dsSelected : dsNormal, itImage, Enabled());
    });
    SelectObject(DC, Font()->Handle());
  }
  if (FViewStyle == vsReport) {
    TRect sel = FRowSelect ? TRect{b.Left, b.Top, b.Right, b.Bottom} : label;
    if (hilite) Fill(DC, sel, selBack);
    int x = b.Left;
    for (int k = 0; k < std::max(1, FColumns->Count()); ++k) {
      int w = FColumns->Count() > 0 ? FColumns->Items(k)->Width() : b.Width();
      TRect cell{x, b.Top, x + w, b.Bottom};
      x += w;
      String text = k == 0 ? it->Caption() : (k - 1 < it->SubItems()->Count() ? it->SubItems()->Strings(k - 1) : String());
      TRect t = k == 0 ? TRect{label.Left, b.Top, cell.Right, b.Bottom} : cell;
      InflateRect(t, -2, 0);
      if (k > 0) t.Left += 4;
      UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
      TAlignment a = FColumns->Count() > 0 ? FColumns->Items(k)->Alignment() : taLeftJustify;
      if (a == taCenter) fmt |= DT_CENTER;
      else if (a == taRightJustify) fmt |= DT_RIGHT;
      SetTextColor(DC, hilite && (k == 0 || FRowSelect) ? selFore : fore);
      DrawText(DC, text, -1, &t, fmt);
    }
    if (focused && it == FFocused) DrawFocusRect(DC, sel);
  } else {
    if (hilite) Fill(DC, label, selBack);
    SetTextColor(DC, hilite ? selFore : fore);
    TRect t = label;
    UINT fmt = DT_NOPREFIX | DT_END_ELLIPSIS;
    if (FViewStyle == vsIcon) fmt |= DT_CENTER | (FIconOptions->WrapText() ? UINT(DT_WORDBREAK | DT_EDITCONTROL) : UINT(DT_SINGLELINE));
    else fmt |= DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    if (FViewStyle != vsIcon) InflateRect(t, -2, 0);
    DrawText(DC, it->Caption(), -1, &t, fmt);
    if (focused && it == FFocused) DrawFocusRect(DC, label);
  }
  SelectObject(DC, oldFont);
}
