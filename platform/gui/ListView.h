#pragma once
// The list view: items with sub-items in four views (icons, small icons, list, report with
// columns), images, check boxes, selection, label editing and sorting.
// Declares TListColumn, TListColumns, TListItem, TListItems, TIconOptions, TCustomListView and
// TListView.
#include "core/Classes.h"
#include "gui/Controls.h"
#include "gui/Edit.h"
#include "gui/ImgList.h"
#include "gui/ItemView.h"
#include "gui/Messages.h"
#include "gui/WinScroll.h"

#include <memory>
#include <vector>

class TCustomListView;
class TListItems;

KELM_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)
KELM_ENUM(TItemChange, ctText, ctImage, ctState)
KELM_ENUM(TDisplayCode, drBounds, drIcon, drLabel, drSelectBounds)
KELM_ENUM(TIconArrangement, iaTop, iaLeft)
KELM_ENUM(TListArrangement, arAlignBottom, arAlignLeft, arAlignRight, arAlignTop, arDefault, arSnapToGrid)

class TListItem;
class TListColumn;
KELM_EVENT(TLVChangeEvent, void(TObject* Sender, TListItem* Item, TItemChange Change));
KELM_EVENT(TLVChangingEvent, void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange));
KELM_EVENT(TLVSelectItemEvent, void(TObject* Sender, TListItem* Item, bool Selected));
KELM_EVENT(TLVColumnClickEvent, void(TObject* Sender, TListColumn* Column));
KELM_EVENT(TLVCompareEvent, void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare));
KELM_EVENT(TLVDeletedEvent, void(TObject* Sender, TListItem* Item));
KELM_EVENT(TLVEditingEvent, void(TObject* Sender, TListItem* Item, bool& AllowEdit));
KELM_EVENT(TLVEditedEvent, void(TObject* Sender, TListItem* Item, String& S));

class TListColumn : public TCollectionItem {
  KELM_CLASS(TListColumn, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment).Default(taLeftJustify);
    b.Prop("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize).Default(false);
    b.Prop("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
    b.Prop("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex).Default(-1);
    b.Prop("MaxWidth", &TListColumn::MaxWidth, &TListColumn::SetMaxWidth).Default(0);
    b.Prop("MinWidth", &TListColumn::MinWidth, &TListColumn::SetMinWidth).Default(0);
    b.Prop("Tag", &TListColumn::Tag, &TListColumn::SetTag).Default(0);
    b.Prop("Width", &TListColumn::Width, &TListColumn::SetWidth).Default(50);
  }
public:
  explicit TListColumn(TCollection* Collection);
  void Assign(TPersistent* Source) override;
  String DisplayName() const override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int v);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int v);
  Int64 Tag() const { return FTag; }
  void SetTag(Int64 v) { FTag = v; }
  int Width() const;
  void SetWidth(int v);

private:
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = false;
  String FCaption;
  int FImageIndex = -1;
  int FMaxWidth = 0, FMinWidth = 0;
  Int64 FTag = 0;
  int FWidth = 50;
};

class TListColumns : public TOwnedCollection {
  KELM_CLASS(TListColumns, TOwnedCollection)
public:
  explicit TListColumns(TCustomListView* ListView);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
  TCustomListView* Owner() const { return FListView; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCustomListView* FListView;
};

// One item of a list view: its caption, the texts of the report view's further columns
// (SubItems), images and data, selection and place.
class TListItem : public TPersistent {
  KELM_CLASS(TListItem, TPersistent)
public:
  explicit TListItem(TListItems* AOwner = nullptr);
  ~TListItem() override;
  void Assign(TPersistent* Source) override;

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  TStrings* SubItems() const { return FSubItems.get(); }
  void SetSubItems(TStrings* v);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  int StateIndex() const { return FStateIndex; }
  void SetStateIndex(int v);
  void* Data() const { return FData; }
  void SetData(void* v) { FData = v; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool v);
  bool Cut() const { return FCut; }
  void SetCut(bool v);
  bool DropTarget() const { return FDropTarget; }
  void SetDropTarget(bool v);
  bool Focused() const;
  void SetFocused(bool v);
  bool Selected() const { return FSelected; }
  void SetSelected(bool v);
  int Index() const;
  TListItems* Owner() const { return FOwner; }
  TCustomListView* ListView() const;
  // The icon views' place of the item (client coordinates before scrolling).
  TPoint Position() const;
  void SetPosition(TPoint v);
  int Left() const { return Position().X; }
  int Top() const { return Position().Y; }

  void Delete();
  void MakeVisible(bool PartialOK);
  TRect DisplayRect(TDisplayCode Code) const;
  bool EditCaption();
  void CancelEdit();
  void Update();

private:
  friend class TListItems;
  friend class TCustomListView;
  void Changed(TItemChange Change);
  TListItems* FOwner;
  String FCaption;
  std::unique_ptr<TStringList> FSubItems;
  int FImageIndex = -1;
  int FStateIndex = -1;
  void* FData = nullptr;
  bool FChecked = false, FCut = false, FDropTarget = false, FSelected = false;
  TPoint FPos{-1, -1};
};

class TListItems : public TPersistent {
  KELM_CLASS(TListItems, TPersistent)
public:
  explicit TListItems(TCustomListView* AOwner = nullptr);
  ~TListItems() override;
  void Assign(TPersistent* Source) override;

  int Count() const { return static_cast<int>(FItems.size()); }
  TListItem* Item(int Index) const;
  TListItem* operator[](int Index) const { return Item(Index); }
  TListItem* Add();
  TListItem* AddItem(TListItem* Item, int Index = -1);
  TListItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int IndexOf(const TListItem* Value) const;
  void BeginUpdate();
  void EndUpdate();
  TCustomListView* Owner() const { return FOwner; }

private:
  friend class TListItem;
  friend class TCustomListView;
  TCustomListView* FOwner;
  std::vector<TListItem*> FItems;
  int FUpdateCount = 0;
};

class TIconOptions : public TPersistent {
  KELM_CLASS(TIconOptions, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Arrangement", &TIconOptions::Arrangement, &TIconOptions::SetArrangement).Default(iaTop);
    b.Prop("AutoArrange", &TIconOptions::AutoArrange, &TIconOptions::SetAutoArrange).Default(false);
    b.Prop("WrapText", &TIconOptions::WrapText, &TIconOptions::SetWrapText).Default(true);
  }
public:
  explicit TIconOptions(TCustomListView* AOwner = nullptr) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TIconArrangement Arrangement() const { return FArrangement; }
  void SetArrangement(TIconArrangement v);
  bool AutoArrange() const { return FAutoArrange; }
  void SetAutoArrange(bool v);
  bool WrapText() const { return FWrapText; }
  void SetWrapText(bool v);

private:
  TCustomListView* FOwner;
  TIconArrangement FArrangement = iaTop;
  bool FAutoArrange = false;
  bool FWrapText = true;
};

class TCustomListView : public TCustomItemView {
  KELM_CLASS(TCustomListView, TCustomItemView)
public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TListItems* Items() const { return FItems.get(); }
  void SetItems(TListItems* v) { FItems->Assign(v); }
  TListColumns* Columns() const { return FColumns.get(); }
  void SetColumns(TListColumns* v) { FColumns->Assign(v); }
  TListColumn* Column(int Index) const { return FColumns->Items(Index); }
  // The first selected item, or nullptr.
  TListItem* Selected() const;
  void SetSelected(TListItem* v);
  TListItem* ItemFocused() const { return FFocused; }
  void SetItemFocused(TListItem* v);
  int SelCount() const;
  int ItemIndex() const;
  void SetItemIndex(int v);
  TListItem* TopItem() const;

  TListItem* GetItemAt(int X, int Y) const;
  // The next item after StartItem (nullptr: from the first) that is selected (or focused).
  TListItem* GetNextSelected(TListItem* StartItem) const;
  TListItem* FindCaption(int StartIndex, const String& Value, bool Partial, bool Inclusive, bool Wrap) const;
  TListItem* FindData(int StartIndex, void* Value, bool Inclusive, bool Wrap) const;
  void ClearSelection();
  void SelectAll();
  bool AlphaSort();
  void Arrange(TListArrangement Code);
  void Scroll(int DX, int DY);
  bool IsEditing() const { return FEditItem != nullptr; }
  // The column of the report view at a client x, -1 when none.
  int ColumnAtPos(int X) const;
  int HeaderHeight() const;

  // ---- published
  bool Checkboxes() const { return FCheckboxes; }
  void SetCheckboxes(bool v);
  bool ColumnClick() const { return FColumnClick; }
  void SetColumnClick(bool v) { FColumnClick = v; }
  bool GridLines() const { return FGridLines; }
  void SetGridLines(bool v);
  TIconOptions* IconOptions() const { return FIconOptions.get(); }
  void SetIconOptions(TIconOptions* v) { FIconOptions->Assign(v); }
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* v);
  TCustomImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TCustomImageList* v);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool v);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool v);
  bool ShowColumnHeaders() const { return FShowColumnHeaders; }
  void SetShowColumnHeaders(bool v);
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType v);
  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle v);

  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVSelectItemEvent OnSelectItem;
  TLVColumnClickEvent OnColumnClick;
  TLVCompareEvent OnCompare;
  TLVDeletedEvent OnDeletion;
  TLVDeletedEvent OnInsert;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;

protected:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumns;
  friend class TIconOptions;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Every change of the client's size arranges the items again.
  void LayoutChanged(bool) override { Changed(true); }
  void EditDelayExpired() override;
  virtual bool CanChange(TListItem* Item, TItemChange Change);
  virtual void Change(TListItem* Item, TItemChange Change);
  virtual void DoSelectItem(TListItem* Item, bool Selected);
  virtual void ColClick(TListColumn* Column);
  virtual int CompareItems(TListItem* A, TListItem* B);
  virtual void Delete(TListItem* Item);
  virtual void InsertItem(TListItem* Item);

private:
  // The native model's messages, one handler each (the base's DefaultHandler holds their
  // table).
  void PaintItems(HDC DC) override;
  void KeyDownDefault(TMessage& M) override;
  void CharDefault(TMessage& M) override;
  void MouseDownDefault(TMessage& M, bool Right, bool Double) override;
  bool MouseMoveDefault(TMessage& M) override;
  void WMLButtonUp(TMessage& M) override;
  void ScrollDefault(TMessage& M, bool Horizontal) override;
  void WMMouseWheelDefault(TMessage& M) override;
  // ---- the native model
  struct TLayout {
    int CellW = 0, CellH = 0;  // icon views: one cell; report and list: one row (list: column width)
    int Cols = 1;              // icon views: cells per row
    TSize Content;             // the scrollable extent
  };
  void Changed(bool Layout);
  const TLayout& GetLayout() const;
  TRect ItemBounds(int Index) const;  // client coordinates (scrolled)
  TRect ItemPart(int Index, TDisplayCode Code) const;
  TCustomImageList* ItemImages() const;
  void UpdateScrollBars();
  void ScrollTo(int X, int Y);
  void EnsureVisible(int Index, bool PartialOK);
  bool SetItemSelected(TListItem* Item, bool Value, bool ByUser);
  void SelectOnly(TListItem* Item, bool ByUser);
  // Selects the items from index A to B (either order) by the user, and only those.
  void SelectRange(int A, int B);
  void FocusItem(TListItem* Item);
  void ItemRemoved(TListItem* Item);
  void SortItems();
  void StartEdit(TListItem* Item);
  void FinishEdit(bool Cancel);
  void PaintHeader(HDC DC);
  void PaintItem(HDC DC, int Index);
  int TextHeight() const;

  std::unique_ptr<TListItems> FItems;
  std::unique_ptr<TListColumns> FColumns;
  std::unique_ptr<TIconOptions> FIconOptions;
  TListItem* FFocused = nullptr;
  TListItem* FAnchor = nullptr;
  TListItem* FEditItem = nullptr;
  mutable TLayout FLayout;
  mutable bool FLayoutValid = false;
  int FScrollX = 0, FScrollY = 0;
  int FPressedColumn = -1;
  bool FCheckboxes = false, FColumnClick = true, FGridLines = false;
  TCustomImageList* FLargeImages = nullptr;
  TCustomImageList* FSmallImages = nullptr;
  bool FMultiSelect = false, FRowSelect = false, FShowColumnHeaders = true;
  TSortType FSortType = stNone;
  TViewStyle FViewStyle = vsIcon;
};

class TListView : public TCustomListView {
  KELM_CLASS(TListView, TCustomListView)
  template <class B> static void Published(B& b) {
    PublishAlign(b);
    PublishAnchors(b);
    PublishBiDiMode(b);
    b.Prop("BorderStyle", &TListView::BorderStyle, &TListView::SetBorderStyle).Default(bsSingle);
    PublishBorderWidth(b);
    b.Prop("Checkboxes", &TListView::Checkboxes, &TListView::SetCheckboxes).Default(false);
    PublishColor(b);
    b.Prop("Columns", &TListView::Columns, &TListView::SetColumns);
    b.Prop("ColumnClick", &TListView::ColumnClick, &TListView::SetColumnClick).Default(true);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    b.Prop("GridLines", &TListView::GridLines, &TListView::SetGridLines).Default(false);
    b.Prop("HideSelection", &TListView::HideSelection, &TListView::SetHideSelection).Default(true);
    b.Prop("HotTrack", &TListView::HotTrack, &TListView::SetHotTrack).Default(false);
    b.Prop("IconOptions", &TListView::IconOptions, &TListView::SetIconOptions);
    b.Prop("Items", &TListView::Items, &TListView::SetItems).Stored(false);
    b.Prop("LargeImages", &TListView::LargeImages, &TListView::SetLargeImages);
    b.Prop("MultiSelect", &TListView::MultiSelect, &TListView::SetMultiSelect).Default(false);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishParentColor(b).Default(false);
    b.Prop("ReadOnly", &TListView::ReadOnly, &TListView::SetReadOnly).Default(false);
    b.Prop("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect).Default(false);
    b.Prop("ShowColumnHeaders", &TListView::ShowColumnHeaders, &TListView::SetShowColumnHeaders).Default(true);
    PublishShowHint(b);
    b.Prop("SmallImages", &TListView::SmallImages, &TListView::SetSmallImages);
    b.Prop("SortType", &TListView::SortType, &TListView::SetSortType).Default(stNone);
    b.Prop("StateImages", &TListView::StateImages, &TListView::SetStateImages);
    PublishTabOrder(b);
    PublishTabStop(b).Default(true);
    b.Prop("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle).Default(vsIcon);
    PublishVisible(b);
    b.Prop("OnChange", &TListView::OnChange, &TListView::OnChange);
    b.Prop("OnChanging", &TListView::OnChanging, &TListView::OnChanging);
    PublishOnClick(b);
    b.Prop("OnColumnClick", &TListView::OnColumnClick, &TListView::OnColumnClick);
    b.Prop("OnCompare", &TListView::OnCompare, &TListView::OnCompare);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    b.Prop("OnDeletion", &TListView::OnDeletion, &TListView::OnDeletion);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    b.Prop("OnEdited", &TListView::OnEdited, &TListView::OnEdited);
    b.Prop("OnEditing", &TListView::OnEditing, &TListView::OnEditing);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    b.Prop("OnInsert", &TListView::OnInsert, &TListView::OnInsert);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnResize(b);
    b.Prop("OnSelectItem", &TListView::OnSelectItem, &TListView::OnSelectItem);
    PublishOnStartDrag(b);
  }
public:
  explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};
