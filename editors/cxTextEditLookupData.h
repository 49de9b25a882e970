#pragma once
// The items a text editor completes from: the lookup data keeps the current key (the index
// of the chosen item), finds the item that completes typed text, moves the key for the
// navigation keys and the wheel, and fills and drives the list shown by drop-down
// descendants. TcxCustomEditListBox is that list: owner-drawn rows fetched by index.
// Declares TcxLookupDirection, IcxTextEditLookupData, TcxCustomTextEditLookupData and
// TcxCustomEditListBox.
#include "editors/cxClasses.h"
#include "editors/cxComponent.h"
#include "editors/cxInnerListBox.h"

class TcxCustomTextEdit;
class TcxCustomEditListBox;
class TcxCustomTextEditProperties;

using TcxCustomEditListBoxClass = TcxCustomEditListBox* (*)(TComponent* AOwner);

KELM_ENUM(TcxLookupDirection, ldFirst, ldLast, ldNext, ldPrior, ldPageUp, ldPageDown)

// The one way the editor talks to its lookup data.
class IcxTextEditLookupData {
public:
  virtual ~IcxTextEditLookupData() = default;
  virtual bool MayResizeList() = 0;
  virtual void ShowActiveKeyInList() = 0;
  virtual TObject* GetImplementor() = 0;
  virtual void HandleCloseUp() = 0;
  virtual void HandleDroppedDown(const String& TypedText) = 0;
  virtual bool HasItemText(const String& Text) = 0;
  virtual TWinControl* GetListControl() = 0;
  virtual void ReadActiveKey(Variant& Key) = 0;
  virtual void GetKeyText(const Variant& Key, String& Text) = 0;
  virtual TNotifyEvent ReadKeyChangedEvent() = 0;
  virtual TNotifyEvent ReadItemSelectedEvent() = 0;
  virtual void GetListPreferredSize(TSize& Size) = 0;
  virtual void MoveActiveKey(TcxLookupDirection Direction, bool Circular) = 0;
  virtual void CreateListIn(TWinControl* Parent) = 0;
  virtual bool HasNoItems() = 0;
  virtual bool IsPointOverList(TPoint ScreenPoint) = 0;
  virtual bool FindItemByPrefix(String& Text, String& Tail, bool FromCurrent) = 0;
  virtual void PlaceList(const TRect& R) = 0;
  virtual void ItemsChanged() = 0;
  virtual void ApplyListSelection() = 0;
  virtual void SelectKey(const Variant& Key) = 0;
  virtual void WriteKeyChangedEvent(const TNotifyEvent& Event) = 0;
  virtual void WriteItemSelectedEvent(const TNotifyEvent& Event) = 0;
  virtual void TextChanged() = 0;
};

class TcxCustomTextEditLookupData : public TcxInterfacedPersistent, public IcxTextEditLookupData {
  KELM_CLASS(TcxCustomTextEditLookupData, TcxInterfacedPersistent)
public:
  explicit TcxCustomTextEditLookupData(TcxCustomTextEdit* AEdit);
  ~TcxCustomTextEditLookupData() override;

  int ActiveKey() const { return FActiveKey; }
  int ItemIndex() const { return FItemIndex; }
  TcxCustomEditListBox* List() const { return FList; }
  TcxCustomTextEdit* Edit() const { return FEdit; }
  TNotifyEvent OnActiveKeyChanged;
  TNotifyEvent OnSelectItem;

  int IndexOfText(const String& Text);
  void StoreActiveKey(int Key);
  void ShowItemIndex(int Index);
  void DoSelectItem();
  String ItemText(int Index) {
    String s;
    ReadItem(Index, s);
    return s;
  }

  // ---- new virtual operations, in their order
  virtual void ReadItem(int Index, String& Text);
  virtual int ItemCount();
  virtual TcxCustomEditListBoxClass ListBoxClass() { return nullptr; }
  virtual void TakeListItemIndex(TObject* Sender);
  virtual bool SearchItems(String& Text, String& Tail, bool Exact, bool FromCurrent);
  virtual void RefreshListCount();
  bool MayResizeList() override { return true; }
  void HandleCloseUp() override {}
  void HandleDroppedDown(const String&) override {}
  bool HasItemText(const String& Text) override { return IndexOfText(Text) != -1; }
  void GetListPreferredSize(TSize& Size) override { Size = TSize{0, 0}; }
  void CreateListIn(TWinControl* Parent) override;
  void PlaceList(const TRect& R) override;
  void ItemsChanged() override { RefreshListCount(); }
  void TextChanged() override;

  // ---- the rest of the interface
  void ShowActiveKeyInList() override { ShowItemIndex(FActiveKey); }
  TObject* GetImplementor() override { return this; }
  TWinControl* GetListControl() override;
  void ReadActiveKey(Variant& Key) override { Key = FActiveKey; }
  void GetKeyText(const Variant& Key, String& Text) override;
  TNotifyEvent ReadKeyChangedEvent() override { return OnActiveKeyChanged; }
  TNotifyEvent ReadItemSelectedEvent() override { return OnSelectItem; }
  void MoveActiveKey(TcxLookupDirection Direction, bool Circular) override;
  bool HasNoItems() override { return ItemCount() == 0; }
  bool IsPointOverList(TPoint ScreenPoint) override;
  bool FindItemByPrefix(String& Text, String& Tail, bool FromCurrent) override {
    return SearchItems(Text, Tail, false, FromCurrent);
  }
  void ApplyListSelection() override;
  void SelectKey(const Variant& Key) override;
  void WriteKeyChangedEvent(const TNotifyEvent& Event) override { OnActiveKeyChanged = Event; }
  void WriteItemSelectedEvent(const TNotifyEvent& Event) override { OnSelectItem = Event; }

protected:
  TcxCustomTextEditProperties* Properties();

private:
  void ApplyMissRule(const String& Text, bool Exact);
  void ListGone(TComponent* AComponent);

  int FActiveKey = -1;
  int FItemIndex = -1;
  TcxCustomEditListBox* FList = nullptr;
  TcxCustomTextEdit* FEdit;
  std::unique_ptr<TcxFreeNotificator> FListWatch;
};

class TcxCustomEditListBox : public TcxCustomInnerListBox {
  KELM_CLASS(TcxCustomEditListBox, TcxCustomInnerListBox)
public:
  explicit TcxCustomEditListBox(TComponent* AOwner);

  bool HotTrack = true;
  TNotifyEvent OnItemSelected;

  void SetItemCount(int N);
  bool IsListVisible();
  // Sets the index and tells OnItemSelected.
  void SelectIndex(int Index);
  // The editor of the popup window that owns the list, or nil.
  TcxCustomTextEdit* ContainerEditor();

  // ---- new virtual operations, in their order
  virtual bool DrawItemHook(int Index, const TRect& R, TOwnerDrawState State) { return false; }
  virtual void GetItemText(int Index, String& Text);
  virtual void ListInitialized() {}
  virtual int GetHeightForRows(int Rows) { return Rows * GetRowHeight(0); }
  virtual int GetRowHeight(int Index);
  virtual int GetItemWidth(int Index);

  bool DrawsFocusRect() override;
  void Dispatch(TMessage& Message) override;

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void MeasureItem(int Index, int& Height) override { Height = GetRowHeight(Index); }
  void Click() override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
  void ItemSelected();
};
