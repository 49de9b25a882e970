#pragma once
// The combo box: an edit or a static field over a drop-down list.
//
// A combo box keeps its items in its list box (the drop-down list, a popup window that never
// takes the focus, or the list under the edit of the simple style) and serves the CB_
// messages through it. Its edit part follows the platform's edit keys: characters arrive as
// WM_CHAR and are inserted by the default handler, so OnKeyPress may still drop them.
// CBN_SELCHANGE (the user chose an item) runs OnClick and OnSelect (OnChange when OnSelect is
// unassigned); CBN_EDITCHANGE (the user changed the text) runs OnChange.
// Declares TComboBoxStrings, TComboListBox, TCustomComboBox and TComboBox.
#include "gui/Edit.h"
#include "gui/ListCtrls.h"

#include <memory>

class TComboEdit;  // the edit field, private to ComboBox.cpp
class TCustomComboBox;

constexpr UINT CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_SETEDITSEL = 0x0142, CB_ADDSTRING = 0x0143,
               CB_DELETESTRING = 0x0144, CB_GETCOUNT = 0x0146, CB_GETCURSEL = 0x0147, CB_GETLBTEXT = 0x0148,
               CB_GETLBTEXTLEN = 0x0149, CB_INSERTSTRING = 0x014A, CB_RESETCONTENT = 0x014B,
               CB_FINDSTRING = 0x014C, CB_SELECTSTRING = 0x014D, CB_SETCURSEL = 0x014E, CB_SHOWDROPDOWN = 0x014F,
               CB_GETITEMDATA = 0x0150, CB_SETITEMDATA = 0x0151, CB_GETDROPPEDCONTROLRECT = 0x0152,
               CB_SETITEMHEIGHT = 0x0153, CB_GETITEMHEIGHT = 0x0154, CB_GETDROPPEDSTATE = 0x0157,
               CB_FINDSTRINGEXACT = 0x0158, CB_GETTOPINDEX = 0x015B, CB_SETTOPINDEX = 0x015C,
               CB_GETDROPPEDWIDTH = 0x015F, CB_SETDROPPEDWIDTH = 0x0160;
constexpr LRESULT CB_OKAY = 0, CB_ERR = -1;
constexpr Word CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5,
               CBN_EDITUPDATE = 6, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10;
constexpr DWORD CBS_SIMPLE = 0x0001, CBS_DROPDOWN = 0x0002, CBS_DROPDOWNLIST = 0x0003, CBS_OWNERDRAWFIXED = 0x0010,
                CBS_OWNERDRAWVARIABLE = 0x0020, CBS_AUTOHSCROLL = 0x0040, CBS_SORT = 0x0100,
                CBS_HASSTRINGS = 0x0200, CBS_UPPERCASE = 0x2000, CBS_LOWERCASE = 0x4000;

KELM_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)

// ================================================================ combo boxes

// The items of a combo box, kept by its list (CB_ messages).
class TComboBoxStrings : public TItemMessageStrings {
public:
  explicit TComboBoxStrings(TCustomComboBox* Combo);
  void Clear() override;

protected:
  void SetUpdateState(bool Updating) override;
  bool IsSorted() const override;
  int CurrentIndex() const override;
  void SetCurrentIndex(int Index) override;

private:
  TCustomComboBox* FCombo;
};

// The list of a combo box: the drop-down popup, or the list under the simple style's edit.
class TComboListBox : public TCustomListBox {
  KELM_CLASS(TComboListBox, TCustomListBox)
public:
  TComboListBox(TComponent* AOwner, TCustomComboBox* Combo);
  TCustomComboBox* Combo() const { return FCombo; }
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void MeasureItem(int Index, int& Height) override;

private:
  TCustomComboBox* FCombo;
};

class TCustomComboBox : public TWinControl {
  KELM_CLASS(TCustomComboBox, TWinControl)
public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  // ---- items and selection
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int ItemIndex() const;
  void SetItemIndex(int Value);
  void AddItem(const String& Item, TObject* AObject) { FItems->AddObject(Item, AObject); }
  void Clear();
  void SelectAll();
  int SelStart() const;
  void SetSelStart(int Value);
  int SelLength() const;
  void SetSelLength(int Value);
  String SelText() const;
  void SetSelText(const String& Value);
  // The edit field shows the text but the user cannot change it (EM_SETREADONLY); choosing
  // from the list still sets it.
  bool EditReadOnly() const { return FEditReadOnly; }
  void SetEditReadOnly(bool Value);
  bool DroppedDown() const;
  void SetDroppedDown(bool Value);
  TCanvas* Canvas() const { return FCanvas.get(); }
  // The list window (its window procedure may be replaced) and the list control.
  HWND ListHandle() const;
  TComboListBox* ListBox() const { return FList.get(); }

  // ---- published
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = Value; }
  // Width of the drop-down list; 0 takes the control's width.
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
  int ItemHeight() const;
  void SetItemHeight(int Value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool Sorted() const;
  void SetSorted(bool Value);
  // Typing completes the text with the first item that begins with it (edit styles), or
  // selects that item (list style).
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  bool AutoDropDown() const { return FAutoDropDown; }
  void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
  // Layouts store the item height only for the owner-drawn styles.
  bool ItemHeightStored() const { return IsOwnerDraw(); }

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
  friend class TComboListBox;
  friend class TComboBoxStrings;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void KeyPress(Char& Key) override;
  virtual void Change() { OnChange(this); }
  virtual void Select();
  virtual void DropDown() { OnDropDown(this); }
  virtual void CloseUp() { OnCloseUp(this); }
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  // Where the edit part (or the shown item of the list style) lies, in client coordinates.
  virtual TRect EditRect() const;
  // The drop-down list is about to be placed below (or above) the control: Bounds holds its
  // size at (0, 0), which a descendant may change.
  virtual void SizeDropDown(TRect& /*Bounds*/) {}
  TRect ButtonRect() const;
  bool HasEdit() const { return FStyle == csDropDown || FStyle == csSimple; }
  bool IsOwnerDraw() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
  void Notify(Word Code);

private:
  // The native model's messages, one handler each (DefaultHandler holds their table).
  void CBDeleteString(TMessage& M);
  void CBResetContent(TMessage& M);
  void CBSelectString(TMessage& M);
  void CBSetCurSel(TMessage& M);
  void CBShowDropDown(TMessage& M);
  void CBGetDroppedControlRect(TMessage& M);
  void CBSetItemHeight(TMessage& M);
  void CBSetDroppedWidth(TMessage& M);
  void CBLimitText(TMessage& M);
  void CBGetEditSel(TMessage& M);
  void CBSetEditSel(TMessage& M);
  void WMSetText(TMessage& M);
  void WMClipboard(TMessage& M);
  void WMMouseMove(TMessage& M);
  void WMLButtonDown(TMessage& M);
  void WMSetFocus(TMessage& M);
  void WMKillFocus(TMessage& M);
  void WMMouseWheelDefault(TMessage& M);
  // ---- the native model
  int EditHeight() const;
  int ListItemHeight() const;
  void PlaceParts();
  void ApplyEditLook();
  String EditText() const;
  void SetEditText(const String& S);
  // Replaces the edit's selection by typed text (case and length rules); true when it changed.
  bool TypeText(const String& S);
  void EditChanged();
  void MatchTextToItem();
  void ShowDropDown(bool Show);
  void CloseDropDown(bool Accept);
  void ChooseFromList(int Index);
  void KeyDownDefault(TMessage& M);
  void CharDefault(TMessage& M);
  void PaintCombo(HDC DC);
  LRESULT ForwardToList(UINT Msg, WPARAM WParam, LPARAM LParam) const;
  void SelectIndex(int Index, bool Notify);

  std::unique_ptr<TComboBoxStrings> FItems;
  std::unique_ptr<TComboListBox> FList;
  std::unique_ptr<TControlCanvas> FCanvas;
  TComboEdit* FEdit = nullptr;
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  int FDropDownWidth = 0;
  int FItemHeight = 16;
  bool FItemHeightSet = false;
  int FMaxLength = 0;
  TEditCharCase FCharCase = ecNormal;
  bool FAutoComplete = true;
  bool FAutoDropDown = false;
  bool FDropped = false;
  bool FEditReadOnly = false;
  bool FButtonDown = false;
  int FSelBeforeDrop = -1;
  String FFilter;
  DWORD FLastKeyTime = 0;
  bool FJustClosed = false;  // a press outside closed the list: the same press must not reopen it
  int FLoadedIndex = -1;     // ItemIndex read from a layout before the items
};

class TComboBox : public TCustomComboBox {
  KELM_CLASS(TComboBox, TCustomComboBox)
  template <class B> static void Published(B& b) {
    b.Prop("Style", &TComboBox::Style, &TComboBox::SetStyle).Default(csDropDown);
    b.Prop("AutoComplete", &TComboBox::AutoComplete, &TComboBox::SetAutoComplete).Default(true);
    b.Prop("AutoDropDown", &TComboBox::AutoDropDown, &TComboBox::SetAutoDropDown).Default(false);
    PublishAlign(b);
    PublishAnchors(b);
    PublishBiDiMode(b);
    b.Prop("CharCase", &TComboBox::CharCase, &TComboBox::SetCharCase).Default(ecNormal);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    b.Prop("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).Default(8);
    b.Prop("DropDownWidth", &TComboBox::DropDownWidth, &TComboBox::SetDropDownWidth).Default(0);
    PublishEnabled(b);
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    b.Prop("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight).Stored(&TComboBox::ItemHeightStored);
    b.Prop("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1);
    b.Prop("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength).Default(0);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishParentColor(b).Default(false);
    b.Prop("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).Default(false);
    PublishTabOrder(b);
    PublishText(b);
    PublishVisible(b);
    PublishTabStop(b).Default(true);
    b.Prop("OnChange", &TComboBox::OnChange, &TComboBox::OnChange);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    b.Prop("OnCloseUp", &TComboBox::OnCloseUp, &TComboBox::OnCloseUp);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    b.Prop("OnDrawItem", &TComboBox::OnDrawItem, &TComboBox::OnDrawItem);
    b.Prop("OnDropDown", &TComboBox::OnDropDown, &TComboBox::OnDropDown);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    b.Prop("OnMeasureItem", &TComboBox::OnMeasureItem, &TComboBox::OnMeasureItem);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    b.Prop("OnSelect", &TComboBox::OnSelect, &TComboBox::OnSelect);
    PublishOnStartDrag(b);
    b.Prop("Items", &TComboBox::Items, &TComboBox::SetItems);
  }
public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};
