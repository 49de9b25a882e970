#pragma once
// TcxComboBox: the drop-down editor whose popup holds the text editor's lookup items in a
// list. It adds the list style (how free the typed text is), the list with fixed or
// per-item row heights and owner drawing, the popup's size from the row count and the widest
// item, the snapping of the list to whole rows while the user resizes the popup, the hand-over
// of a press from the editor's button to the list, a double-click that steps through the
// items, and the owner-drawn text of a fixed-list editor.
// Declares TcxEditDropDownListStyle, TcxCustomComboBoxProperties, TcxComboBoxProperties,
// TcxComboBoxLookupData, TcxCustomComboBoxListBox, TcxComboBoxListBox,
// TcxComboBoxPopupWindow, TcxCustomComboBoxViewData, TcxCustomComboBoxViewInfo,
// TcxCustomComboBoxInnerEdit, TcxCustomComboBox and TcxComboBox.
#include "editors/cxDropDownEdit.h"
#include "editors/cxTextEditLookupData.h"
#include "gui/ListCtrls.h"

class TcxCustomComboBox;

KELM_ENUM(TcxEditDropDownListStyle, lsEditFixedList, lsEditList, lsFixedList)

using TcxEditDrawItemEvent = TEvent<void(TcxCustomComboBox* AControl, TcxCanvas* ACanvas, int AIndex,
                                         const TRect& ARect, TOwnerDrawState AState)>;
using TcxMeasureItemEvent =
    TEvent<void(TcxCustomComboBox* AControl, int AIndex, TcxCanvas* ACanvas, int& AHeight)>;

class TcxCustomComboBoxProperties : public TcxCustomDropDownEditProperties {
  KELM_CLASS(TcxCustomComboBoxProperties, TcxCustomDropDownEditProperties)
public:
  explicit TcxCustomComboBoxProperties(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;

  TcxEditDropDownListStyle DropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(TcxEditDropDownListStyle V);
  int DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int V);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int V);
  bool Revertable() const { return FRevertable; }
  void SetRevertable(bool V) { FRevertable = V; }
  TcxEditDrawItemEvent OnDrawItem;
  TcxMeasureItemEvent OnMeasureItem;
  void SetOnDrawItem(const TcxEditDrawItemEvent& V) { OnDrawItem = V; }
  void SetOnMeasureItem(const TcxMeasureItemEvent& V) { OnMeasureItem = V; }

  TClass GetEditorClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  TcxTextEditLookupDataClass GetLookupDataClass() override;
  TcxPopupWindowClass GetPopupFormClass() override;
  bool HasLookupData() override { return true; }
  int GetDropDownPageRowCount() override { return FDropDownRows; }
  TcxTextEditingStyle GetEditingStyle() override;
  bool OpensOnTextClick() override { return FDropDownListStyle == lsFixedList; }

private:
  TcxEditDropDownListStyle FDropDownListStyle = lsEditList;
  int FDropDownRows = 8;
  int FItemHeight = 0;
  bool FRevertable = false;
};

class TcxComboBoxProperties : public TcxCustomComboBoxProperties {
  KELM_CLASS(TcxComboBoxProperties, TcxCustomComboBoxProperties)
  template <class B> static void Published(B& b);

public:
  using TcxCustomComboBoxProperties::TcxCustomComboBoxProperties;
  bool DropDownAutoWidth() const { return PopupAutoSize(); }
  void SetDropDownAutoWidth(bool V) { SetPopupAutoSize(V); }
  bool DropDownSizeable() const { return PopupSizeable(); }
  void SetDropDownSizeable(bool V) { SetPopupSizeable(V); }
  int DropDownWidth() const { return PopupWidth(); }
  void SetDropDownWidth(int V) { SetPopupWidth(V); }
  TStringList* Items() const { return LookupItems(); }
  void SetItems(TStrings* V) { SetLookupItems(V); }
  bool Sorted() const { return LookupItemsSorted(); }
  void SetSorted(bool V) { SetLookupItemsSorted(V); }
};

class TcxComboBoxLookupData : public TcxCustomTextEditLookupData {
  KELM_CLASS(TcxComboBoxLookupData, TcxCustomTextEditLookupData)
public:
  using TcxCustomTextEditLookupData::TcxCustomTextEditLookupData;
  TcxCustomEditListBoxClass ListBoxClass() override;
  // Snaps a proposed list size to whole rows within the height limit (0: none).
  bool MayResizeList(TSize& Size, int HeightLimit);
  void GetListPreferredSize(int HeightLimit, int WidthLimit, TSize& Size);
  void CreateListIn(TWinControl* Parent) override;
  void ItemsChanged() override;

private:
  // The widest item's width, kept until the items or the list's font change.
  int FWidest = -1;
  int FWidestCount = -1;
  String FWidestFont;
};

class TcxCustomComboBoxListBox : public TcxCustomEditListBox {
  KELM_CLASS(TcxCustomComboBoxListBox, TcxCustomEditListBox)
public:
  explicit TcxCustomComboBoxListBox(TComponent* AOwner);
  TcxCustomComboBox* ComboBox();
  void GetItemText(int Index, String& Text) override;
  int GetHeightForRows(int Rows) override;
  // The widest of the first Count items, measured in the list's font set up once.
  int WidestItem(int Count);
  bool DrawItemHook(int Index, const TRect& R, TOwnerDrawState State) override;
  void ListInitialized() override;

protected:
  void MouseMove(TShiftState Shift, int X, int Y) override;
};

class TcxComboBoxListBox : public TcxCustomComboBoxListBox {
  KELM_CLASS(TcxComboBoxListBox, TcxCustomComboBoxListBox)
public:
  using TcxCustomComboBoxListBox::TcxCustomComboBoxListBox;
  int GetRowHeight(int Index) override;
  void ListInitialized() override;

protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Resize() override;
};

class TcxComboBoxPopupWindow : public TcxCustomEditPopupWindow {
  KELM_CLASS(TcxComboBoxPopupWindow, TcxCustomEditPopupWindow)
public:
  using TcxCustomEditPopupWindow::TcxCustomEditPopupWindow;
  void FitSizeToChildren() override;
};

class TcxCustomComboBoxViewInfo : public TcxCustomTextEditViewInfo {
public:
  TcxCustomComboBoxViewInfo();
  int DrawItemIndex = -1;
  virtual void PaintOwnerDrawnItem(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, const TRect& R);
  void CopyFrom(TObject* Source) override;
};

class TcxCustomComboBoxViewData : public TcxCustomDropDownEditViewData {
public:
  using TcxCustomDropDownEditViewData::TcxCustomDropDownEditViewData;
  bool HasNativeDropDownLook() override { return true; }
  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& R, TPoint P, TcxMouseButtonCode Button,
                       TcxCustomEditViewInfo* V, TShiftState Shift, bool Recalculate) override;
  void FillValueText(TcxCanvas* ACanvas, const Variant& Value, TcxCustomEditViewInfo* V) override;
};

class TcxCustomComboBoxInnerEdit : public TcxCustomDropDownInnerEdit {
  KELM_CLASS(TcxCustomComboBoxInnerEdit, TcxCustomDropDownInnerEdit)
public:
  using TcxCustomDropDownInnerEdit::TcxCustomDropDownInnerEdit;
  void Dispatch(TMessage& Message) override;
};

class TcxCustomComboBox : public TcxCustomDropDownEdit {
  KELM_CLASS(TcxCustomComboBox, TcxCustomDropDownEdit)
public:
  explicit TcxCustomComboBox(TComponent* AOwner);
  TcxCustomComboBox(TComponent* AOwner, bool AInPlace);
  TcxCustomComboBox(TComponent* AOwner, bool AInPlace, TDeferInitialize D);

  TcxCustomComboBoxProperties* ComboProperties() const {
    return static_cast<TcxCustomComboBoxProperties*>(ActiveProperties());
  }
  TcxComboBoxLookupData* ComboLookupData() const { return dynamic_cast<TcxComboBoxLookupData*>(LookupDataObject()); }
  TcxComboBoxListBox* ListBox() const;

  void FireDrawItem(TcxCanvas* ACanvas, int Index, TOwnerDrawState State, const TRect& R);
  void FireMeasureItem(int Index, TcxCanvas* ACanvas, int& Height);
  bool HasDrawItemHandler();
  bool HasMeasureItemHandler();
  bool LookupRematchNeeded();

  // ---- overrides
  TClass GetPropertiesClass() override;
  TcxCustomInnerEditClass InnerEditClass() override;
  bool HasPopupContent() override;
  void GetPopupContentSize(TSize& Size) override;
  void ApplyPopupSettings() override;
  void AttachLookupToPopup() override;
  void InitializeEdit() override;
  void StartInPlaceEditing(TcxCustomEditData*& AEditData) override;
  void InnerEditChanged(TObject* Sender) override;
  void DblClick() override;
  void HandlePopupShown(TObject* Sender) override;
  bool CanBrowseLookupItems(bool Wheel) override { return true; }
  bool AdjustListSize(TSize& Size, int HeightLimit) override;
  void ProcessKeyDown(Word& Key, TShiftState Shift) override;
  void Dispatch(TMessage& Message) override;

protected:
  void MouseMove(TShiftState Shift, int X, int Y) override;
};

class TcxComboBox : public TcxCustomComboBox {
  KELM_CLASS(TcxComboBox, TcxCustomComboBox)
  template <class B> static void Published(B& b);

public:
  explicit TcxComboBox(TComponent* AOwner) : TcxCustomComboBox(AOwner) {}
  TcxComboBox(TComponent* AOwner, bool AInPlace) : TcxCustomComboBox(AOwner, AInPlace) {}
  TcxComboBoxProperties* Properties() const {
    return static_cast<TcxComboBoxProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxComboBoxProperties* Value) { TcxCustomEdit::Properties()->Assign(Value); }
  TClass GetPropertiesClass() override;
};

void RegisterComboBoxProperties();
