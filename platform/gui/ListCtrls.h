#pragma once
// List boxes and check list boxes (the combo box is in ComboBox.h).
//
// A list box keeps its items in the window's own model, which DefaultHandler serves through
// the LB_ messages the way the native list box does (LB_ADDSTRING, LB_SETCURSEL,
// LB_GETTOPINDEX, LB_FINDSTRING, LB_ITEMFROMPOINT, ...); Items, ItemIndex, TopIndex and the
// rest send those messages, so a replaced window procedure sees every one of them. The user's
// changes of the selection notify the control with LBN_SELCHANGE (reflected as CN_COMMAND),
// which runs OnClick; a programmatic ItemIndex does not. Owner-drawn styles draw each item
// through CN_DRAWITEM (DrawItem, OnDrawItem); variable heights are asked once per item
// through CN_MEASUREITEM. Virtual styles hold only a count and ask OnData for the texts.
// Declares TItemMessageStrings, TListBoxStrings, TCustomListBox, TListBox and TCheckListBox.
#include "core/Classes.h"
#include "gui/Controls.h"
#include "gui/Edit.h"
#include "gui/StdCtrls.h"
#include "gui/WinScroll.h"

#include <memory>
#include <vector>

// ================================================================ messages and styles

constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182,
               LB_SELITEMRANGEEX = 0x0183, LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186,
               LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188, LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A,
               LB_GETCOUNT = 0x018B, LB_SELECTSTRING = 0x018C, LB_GETTOPINDEX = 0x018E, LB_FINDSTRING = 0x018F,
               LB_GETSELCOUNT = 0x0190, LB_GETSELITEMS = 0x0191, LB_GETHORIZONTALEXTENT = 0x0193,
               LB_SETHORIZONTALEXTENT = 0x0194, LB_SETTOPINDEX = 0x0197, LB_GETITEMRECT = 0x0198,
               LB_GETITEMDATA = 0x0199, LB_SETITEMDATA = 0x019A, LB_SELITEMRANGE = 0x019B,
               LB_SETANCHORINDEX = 0x019C, LB_GETANCHORINDEX = 0x019D, LB_SETCARETINDEX = 0x019E,
               LB_GETCARETINDEX = 0x019F, LB_SETITEMHEIGHT = 0x01A0, LB_GETITEMHEIGHT = 0x01A1,
               LB_FINDSTRINGEXACT = 0x01A2, LB_SETCOUNT = 0x01A7, LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_OKAY = 0, LB_ERR = -1;
constexpr Word LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SELCANCEL = 3, LBN_SETFOCUS = 4, LBN_KILLFOCUS = 5;
constexpr DWORD LBS_NOTIFY = 0x0001, LBS_SORT = 0x0002, LBS_MULTIPLESEL = 0x0008, LBS_OWNERDRAWFIXED = 0x0010,
                LBS_OWNERDRAWVARIABLE = 0x0020, LBS_HASSTRINGS = 0x0040, LBS_NOINTEGRALHEIGHT = 0x0100,
                LBS_WANTKEYBOARDINPUT = 0x0400, LBS_EXTENDEDSEL = 0x0800, LBS_DISABLENOSCROLL = 0x1000,
                LBS_NODATA = 0x2000, LBS_NOSEL = 0x4000;

// Owner drawing.
constexpr UINT ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4, ODT_STATIC = 5;
constexpr UINT ODA_DRAWENTIRE = 0x0001, ODA_SELECT = 0x0002, ODA_FOCUS = 0x0004;
constexpr UINT ODS_SELECTED = 0x0001, ODS_GRAYED = 0x0002, ODS_DISABLED = 0x0004, ODS_CHECKED = 0x0008,
               ODS_FOCUS = 0x0010, ODS_DEFAULT = 0x0020, ODS_HOTLIGHT = 0x0040, ODS_INACTIVE = 0x0080,
               ODS_NOACCEL = 0x0100, ODS_NOFOCUSRECT = 0x0200, ODS_COMBOBOXEDIT = 0x1000;

// CN_DRAWITEM: LParam = DRAWITEMSTRUCT*; itemID -1 for an empty list or no current item.
struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  int itemID = -1;
  UINT itemAction = ODA_DRAWENTIRE;
  UINT itemState = 0;
  HWND hwndItem = 0;
  HDC hDC = nullptr;
  TRect rcItem;
  LPARAM itemData = 0;
};
// CN_MEASUREITEM: LParam = MEASUREITEMSTRUCT*; the control sets itemHeight.
struct MEASUREITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  int itemID = -1;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  LPARAM itemData = 0;
};

// The bits of the ODS_ flags, in their order.
KELM_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
          odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit)
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

KELM_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw)
KELM_EVENT(TDrawItemEvent, void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State));
KELM_EVENT(TMeasureItemEvent, void(TWinControl* Control, int Index, int& Height));
KELM_EVENT(TLBGetDataEvent, void(TWinControl* Control, int Index, String& Data));
KELM_EVENT(TLBGetDataObjectEvent, void(TWinControl* Control, int Index, TObject*& DataObject));
KELM_EVENT(TLBFindDataEvent, int(TWinControl* Control, const String& FindString));

// ================================================================ list boxes

class TCustomListBox;

// The items of a list box or a combo box: every call goes to the window as one of its item
// messages, which the two kinds of control answer alike (the index or an error, -1).
class TItemMessageStrings : public TStrings {
public:
  // The item messages of one kind of control.
  struct TMessages {
    UINT AddString, InsertString, DeleteString, FindStringExact, GetText, GetTextLen, GetCount, GetItemData,
        SetItemData;
  };
  int Add(const String& S) override;
  int AddObject(const String& S, TObject* AObject) override;
  void Delete(int Index) override;
  void Insert(int Index, const String& S) override;
  void InsertObject(int Index, const String& S, TObject* AObject) override;
  int IndexOf(const String& S) const override;

protected:
  TItemMessageStrings(TWinControl* Window, const TMessages& Messages) : FWindow(Window), FMessages(Messages) {}
  String Get(int Index) const override;
  int GetCount() const override;
  TObject* GetObject(int Index) const override;
  // Replaces the item, keeping its object and, when it was the control's current item, that.
  void Put(int Index, const String& S) override;
  void PutObject(int Index, TObject* AObject) override;
  // The control's ItemIndex.
  virtual int CurrentIndex() const = 0;
  virtual void SetCurrentIndex(int Index) = 0;

private:
  LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const;
  TWinControl* FWindow;
  const TMessages& FMessages;
};

// The items of a list box (LB_ messages); the virtual styles ask the control for the texts.
class TListBoxStrings : public TItemMessageStrings {
public:
  explicit TListBoxStrings(TCustomListBox* ListBox);
  void Clear() override;
  void Move(int CurIndex, int NewIndex) override;
  TCustomListBox* ListBox() const { return FListBox; }

protected:
  String Get(int Index) const override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;
  bool IsSorted() const override;
  int CurrentIndex() const override;
  void SetCurrentIndex(int Index) override;

private:
  TCustomListBox* FListBox;
};

class TCustomListBox : public TWinControl {
  KELM_CLASS(TCustomListBox, TWinControl)
  // What list boxes and check list boxes show in layouts.
  template <class B> static void PublishListBox(B& b) {
    using C = typename B::Class;
    b.Prop("Style", &C::Style, &C::SetStyle).Default(lbStandard);
    b.Prop("AutoComplete", &C::AutoComplete, &C::SetAutoComplete).Default(true);
    PublishAlign(b);
    PublishAnchors(b);
    PublishBiDiMode(b);
    b.Prop("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsSingle);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    b.Prop("ExtendedSelect", &C::ExtendedSelect, &C::SetExtendedSelect).Default(true);
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    b.Prop("IntegralHeight", &C::IntegralHeight, &C::SetIntegralHeight).Default(false);
    b.Prop("ItemHeight", &C::ItemHeight, &C::SetItemHeight).Stored(&C::ItemHeightStored);
    b.Prop("Items", &C::Items, &C::SetItems);
    b.Prop("MultiSelect", &C::MultiSelect, &C::SetMultiSelect).Default(false);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishParentColor(b).Default(false);
    b.Prop("ScrollWidth", &C::ScrollWidth, &C::SetScrollWidth).Default(0);
    PublishShowHint(b);
    b.Prop("Sorted", &C::Sorted, &C::SetSorted).Default(false);
    PublishTabOrder(b);
    PublishVisible(b);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishTabStop(b).Default(true);
    b.Prop("OnData", &C::OnData, &C::OnData);
    b.Prop("OnDataFind", &C::OnDataFind, &C::OnDataFind);
    b.Prop("OnDataObject", &C::OnDataObject, &C::OnDataObject);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    b.Prop("OnDrawItem", &C::OnDrawItem, &C::OnDrawItem);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    b.Prop("OnMeasureItem", &C::OnMeasureItem, &C::OnMeasureItem);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  // ---- items and selection
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  // The item count; the virtual styles keep only this (SetCount = LB_SETCOUNT).
  int Count() const;
  void SetCount(int Value);
  // The selected item (single selection) or the item with the focus rectangle (multiple
  // selection); -1 when none.
  int ItemIndex() const;
  void SetItemIndex(int Value);
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  int SelCount() const;  // -1 without multiple selection, as the platform answers
  int TopIndex() const;
  void SetTopIndex(int Value);
  void AddItem(const String& Item, TObject* AObject) { FItems->AddObject(Item, AObject); }
  void Clear();
  void ClearSelection();
  void SelectAll();
  void DeleteSelected();
  // The item at a client point: -1 below the last item when Existing, else the count.
  int ItemAtPos(TPoint Pos, bool Existing) const;
  TRect ItemRect(int Index) const;
  TCanvas* Canvas() const { return FCanvas.get(); }

  // ---- published
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  int ItemHeight() const;
  void SetItemHeight(int Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Typed characters select the first item that begins with what was typed within 500 ms.
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  // The width the horizontal scroll bar scrolls over (0: no horizontal bar).
  int ScrollWidth() const;
  void SetScrollWidth(int Value);
  // Layouts store the item height only for the owner-drawn styles.
  bool ItemHeightStored() const { return FStyle != lbStandard; }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;
  TLBGetDataObjectEvent OnDataObject;
  TLBFindDataEvent OnDataFind;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  // The window's scroll bars (platform/gui and subclasses).
  TWindowScrollBars& ScrollBars() { return *FBars; }

protected:
  friend class TListBoxStrings;
  void CreateParams(TCreateParams& Params) override;
  void KeyPress(Char& Key) override;
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  virtual String DoGetData(int Index);
  virtual TObject* DoGetDataObject(int Index);
  virtual int DoFindData(const String& Data);
  bool IsVirtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }
  bool IsOwnerDraw() const { return FStyle != lbStandard; }
  // The left margin of the text in a plain item (a check list puts its box before it).
  virtual int TextIndent() const { return 2; }
  // The native painting of one plain (not owner-drawn) item.
  virtual void DrawPlainItem(HDC DC, int Index, const TRect& Rect, UINT State);
  // Hooks of subclasses that keep a value per item: called after an item came in at Index,
  // after one at Index left, and after all left.
  virtual void ItemInserted(int Index) {}
  virtual void ItemDeleted(int Index) {}
  virtual void ItemsCleared() {}
  // The style bits as the native model reads them (LBS_).
  DWORD ListStyle() const;
  // Tells the control by CN_COMMAND (code in the high word).
  void Notify(Word Code);
  // The item under the point in the client area, -1 when none.
  int HitItem(TPoint P) const;

private:
  // The native model's messages, one handler each (DefaultHandler holds their table).
  void LBSetCount(TMessage& M);
  void LBGetText(TMessage& M);
  void LBGetTextLen(TMessage& M);
  void LBGetItemData(TMessage& M);
  void LBSetItemData(TMessage& M);
  void LBSetCurSel(TMessage& M);
  void LBGetSel(TMessage& M);
  void LBSetSel(TMessage& M);
  void LBSelItemRange(TMessage& M);
  void LBGetSelCount(TMessage& M);
  void LBGetSelItems(TMessage& M);
  void LBGetCaretIndex(TMessage& M);
  void LBSetCaretIndex(TMessage& M);
  void LBSetAnchorIndex(TMessage& M);
  void LBSetTopIndex(TMessage& M);
  void LBGetItemHeight(TMessage& M);
  void LBSetItemHeight(TMessage& M);
  void LBGetItemRect(TMessage& M);
  void LBItemFromPoint(TMessage& M);
  void LBFindString(TMessage& M);
  void LBSetHorizontalExtent(TMessage& M);
  void WMSetRedraw(TMessage& M);
  void WMCancelMode(TMessage& M);
  void WMMouseWheelDefault(TMessage& M);
  void WMFocusChange(TMessage& M);
  struct TItem {
    String Text;
    LPARAM Data = 0;
    bool Selected = false;
    int Height = -1;  // variable style: measured height, -1 not yet measured
  };
  // ---- the native model
  int ItemCount() const;
  int FixedItemHeight() const;
  int HeightOf(int Index) const;
  int VisibleRows(int From) const;  // whole items visible from item From
  int MaxTop() const;               // the top item that shows the end of the list
  void Relayout();
  void UpdateScrollBars();
  void ScrollTo(int Top);
  void EnsureVisible(int Index);
  int InsertString(int Index, const String& S);
  LRESULT DeleteString(int Index);
  void ResetContent();
  int FindString(int Start, const String& S, bool Exact) const;
  String ItemText(int Index) const;
  bool IsSel(int Index) const;
  void SetSel(int Index, bool Value);
  void SelectOnly(int Index);
  void SelectRange(int From, int To, bool Value);
  void MoveCaret(int NewCaret, bool KeyShift, bool KeyCtrl);
  void PaintList(HDC DC);
  void KeyDownDefault(TMessage& M);
  void CharDefault(TMessage& M);
  void MouseDownDefault(TMessage& M, bool Double);
  void MouseMoveDefault(TMessage& M);
  void MouseUpDefault(TMessage& M);
  void ScrollDefault(TMessage& M, bool Horizontal);

  std::unique_ptr<TListBoxStrings> FItems;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TWindowScrollBars> FBars;
  std::vector<TItem> FList;
  int FVirtualCount = 0;
  int FCurSel = -1;   // single selection
  int FCaret = 0;     // the focus rectangle's item
  int FAnchor = 0;    // start of a range (extended selection)
  int FTop = 0;
  int FHorzExtent = 0;
  int FHorzPos = 0;
  int FItemHeight = 16;  // owner-drawn styles; plain styles follow the font
  bool FItemHeightSet = false;
  mutable int FFontHeight = 0;
  TListBoxStyle FStyle = lbStandard;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  bool FSorted = false;
  bool FIntegralHeight = false;
  TBorderStyle FBorderStyle = bsSingle;
  bool FAutoComplete = true;
  bool FRedraw = true;
  // The focus look: set by WM_SETFOCUS as the default handler sees it, cleared by
  // WM_KILLFOCUS, so a pop-up list told it has the focus shows it without taking the input.
  bool FFocusLook = false;
  // mouse tracking of the native model
  bool FTracking = false;
  int FSelAtPress = -1;
  bool FSelChangedByMouse = false;
  // typed search
  String FFilter;
  DWORD FLastKeyTime = 0;
};

class TListBox : public TCustomListBox {
  KELM_CLASS(TListBox, TCustomListBox)
  template <class B> static void Published(B& b) {
    PublishListBox(b);
  }
public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ================================================================ check list box

KELM_EVENT(TCheckListClickEvent, void(TObject* Sender));

// A list box with a check box before each item. Clicking the box or pressing Space toggles
// the item's state (unchecked, checked, and grayed when AllowGrayed) and runs OnClickCheck.
class TCheckListBox : public TCustomListBox {
  KELM_CLASS(TCheckListBox, TCustomListBox)
  template <class B> static void Published(B& b) {
    PublishListBox(b);
    b.Prop("AllowGrayed", &TCheckListBox::AllowGrayed, &TCheckListBox::SetAllowGrayed).Default(false);
    b.Prop("Flat", &TCheckListBox::Flat, &TCheckListBox::SetFlat).Default(true);
    b.Prop("OnClickCheck", &TCheckListBox::OnClickCheck, &TCheckListBox::OnClickCheck);
  }
public:
  explicit TCheckListBox(TComponent* AOwner);

  bool Checked(int Index) const { return State(Index) == cbChecked; }
  void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State(int Index) const;
  void SetState(int Index, TCheckBoxState Value);
  bool ItemEnabled(int Index) const;
  void SetItemEnabled(int Index, bool Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  // Toggles as a click on the box does (nothing for a disabled item).
  void ToggleClickCheck(int Index);
  // The check box's rectangle within an item's rectangle.
  TRect CheckRect(const TRect& ItemRect) const;

  TNotifyEvent OnClickCheck;

  void DefaultHandler(TMessage& Message) override;

protected:
  void KeyPress(Char& Key) override;
  int TextIndent() const override;
  void DrawPlainItem(HDC DC, int Index, const TRect& Rect, UINT State) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void ItemInserted(int Index) override;
  void ItemDeleted(int Index) override;
  void ItemsCleared() override;
  virtual void ClickCheck() { OnClickCheck(this); }

private:
  struct TCheck {
    TCheckBoxState State = cbUnchecked;
    bool Enabled = true;
  };
  void CheckIndex(int Index) const;
  void DrawCheck(HDC DC, int Index, const TRect& ItemRect);
  std::vector<TCheck> FChecks;
  bool FAllowGrayed = false;
  bool FFlat = true;
};
