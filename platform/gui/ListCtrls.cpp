// List boxes and check list boxes: the item strings (combo boxes share them), the native list
// model behind the LB_ messages, its painting, keys, mouse and scroll bars.
#include "gui/ListCtrls.h"

#include "core/ClassBuilder.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/ListCtrls_p.h"
#include "gui/WinGDI.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <algorithm>

using namespace ctrl_utils;

namespace {

[[noreturn]] void IndexError(int Index) {
  throw EStringListError(Format(SListIndexError, {Index}));
}


}  // namespace

// ================================================================ TItemMessageStrings

LRESULT TItemMessageStrings::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
  return FWindow->Perform(Msg, WParam, LParam);
}

int TItemMessageStrings::Add(const String& S) { return AddObject(S, nullptr); }

int TItemMessageStrings::AddObject(const String& S, TObject* AObject) {
  LRESULT i = Send(FMessages.AddString, 0, reinterpret_cast<LPARAM>(S.c_str()));
  if (i < 0) throw EOutOfResources("Insufficient memory for this operation");
  if (AObject) Send(FMessages.SetItemData, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(AObject));
  return static_cast<int>(i);
}

void TItemMessageStrings::Delete(int Index) {
  if (Send(FMessages.DeleteString, static_cast<WPARAM>(Index)) == LB_ERR) IndexError(Index);
}

void TItemMessageStrings::Insert(int Index, const String& S) { InsertObject(Index, S, nullptr); }

void TItemMessageStrings::InsertObject(int Index, const String& S, TObject* AObject) {
  if (Index < 0 || Index > GetCount()) IndexError(Index);
  LRESULT i = Send(FMessages.InsertString, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str()));
  if (i < 0) throw EOutOfResources("Insufficient memory for this operation");
  if (AObject) Send(FMessages.SetItemData, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(AObject));
}

int TItemMessageStrings::IndexOf(const String& S) const {
  return static_cast<int>(Send(FMessages.FindStringExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str())));
}

String TItemMessageStrings::Get(int Index) const {
  LRESULT len = Send(FMessages.GetTextLen, static_cast<WPARAM>(Index));
  if (len == LB_ERR) IndexError(Index);
  String s(static_cast<std::size_t>(len) * kMaxCharBytes + 1, '\0');
  LRESULT got = Send(FMessages.GetText, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(s.data()));
  if (got == LB_ERR) IndexError(Index);
  s.resize(std::char_traits<char>::length(s.c_str()));
  return s;
}

int TItemMessageStrings::GetCount() const { return static_cast<int>(Send(FMessages.GetCount)); }

TObject* TItemMessageStrings::GetObject(int Index) const {
  LRESULT d = Send(FMessages.GetItemData, static_cast<WPARAM>(Index));
  if (d == LB_ERR && (Index < 0 || Index >= GetCount())) IndexError(Index);
  return reinterpret_cast<TObject*>(d);
}

void TItemMessageStrings::Put(int Index, const String& S) {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
  int selected = CurrentIndex();
  TObject* o = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, o);
  if (selected == Index) SetCurrentIndex(Index);
}

void TItemMessageStrings::PutObject(int Index, TObject* AObject) {
  if (Send(FMessages.SetItemData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject)) == LB_ERR)
    IndexError(Index);
}

// ================================================================ TListBoxStrings

namespace {
constexpr TItemMessageStrings::TMessages ListBoxMessages{
    LB_ADDSTRING,  LB_INSERTSTRING, LB_DELETESTRING, LB_FINDSTRINGEXACT, LB_GETTEXT,
    LB_GETTEXTLEN, LB_GETCOUNT,     LB_GETITEMDATA,  LB_SETITEMDATA};
}  // namespace

TListBoxStrings::TListBoxStrings(TCustomListBox* ListBox)
    : TItemMessageStrings(ListBox, ListBoxMessages), FListBox(ListBox) {}

void TListBoxStrings::Clear() { FListBox->Perform(LB_RESETCONTENT); }

int TListBoxStrings::CurrentIndex() const { return FListBox->ItemIndex(); }

void TListBoxStrings::SetCurrentIndex(int Index) { FListBox->SetItemIndex(Index); }

void TListBoxStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  TryFinally(
      [&] {
        String s = Get(CurIndex);
        TObject* o = GetObject(CurIndex);
        int index = FListBox->ItemIndex();
        bool wasCurrent = index == CurIndex;
        Delete(CurIndex);
        InsertObject(NewIndex, s, o);
        if (wasCurrent) FListBox->SetItemIndex(NewIndex);
      },
      [&] { EndUpdate(); });
}

String TListBoxStrings::Get(int Index) const {
  if (FListBox->IsVirtual()) return FListBox->DoGetData(Index);
  return TItemMessageStrings::Get(Index);
}

TObject* TListBoxStrings::GetObject(int Index) const {
  if (FListBox->IsVirtual()) return FListBox->DoGetDataObject(Index);
  return TItemMessageStrings::GetObject(Index);
}

void TListBoxStrings::PutObject(int Index, TObject* AObject) {
  if (FListBox->IsVirtual()) return;
  TItemMessageStrings::PutObject(Index, AObject);
}

void TListBoxStrings::SetUpdateState(bool Updating) {
  FListBox->Perform(WM_SETREDRAW, Updating ? 0 : 1);
  if (!Updating) FListBox->Invalidate();
}

bool TListBoxStrings::IsSorted() const { return FListBox->Sorted(); }

// ================================================================ TCustomListBox

KELM_PUBLISH(TCustomListBox) {}

KELM_PUBLISH(TListBox) { Published(b); }

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner) {
  FItems = std::make_unique<TListBoxStrings>(this);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  FBars = std::make_unique<TWindowScrollBars>(this);
  SetControlStyle({csSetCaption, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() {
  Destroying();
  FCanvas->SetControl(nullptr);
}

void TCustomListBox::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  ctrl_utils::AddBorderStyle(P, FBorderStyle, Ctl3D());
}

DWORD TCustomListBox::ListStyle() const {
  DWORD s = LBS_NOTIFY | LBS_HASSTRINGS;
  if (FSorted && !IsVirtual()) s |= LBS_SORT;
  if (FMultiSelect) s |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (FStyle == lbOwnerDrawFixed || FStyle == lbVirtualOwnerDraw || FStyle == lbVirtual) s |= LBS_OWNERDRAWFIXED;
  if (FStyle == lbOwnerDrawVariable) s |= LBS_OWNERDRAWVARIABLE;
  if (IsVirtual()) s |= LBS_NODATA;
  if (!FIntegralHeight) s |= LBS_NOINTEGRALHEIGHT;
  return s;
}

// ---------------------------------------------------------------- properties

int TCustomListBox::Count() const { return ItemCount(); }

void TCustomListBox::SetCount(int Value) {
  if (!IsVirtual()) throw EListError("Count can be set only for virtual list boxes");
  Perform(LB_SETCOUNT, static_cast<WPARAM>(std::max(0, Value)));
}

int TCustomListBox::ItemIndex() const {
  auto* self = const_cast<TCustomListBox*>(this);
  if (FMultiSelect) return ItemCount() == 0 ? -1 : static_cast<int>(self->Perform(LB_GETCARETINDEX));
  return static_cast<int>(self->Perform(LB_GETCURSEL));
}

void TCustomListBox::SetItemIndex(int Value) {
  if (ItemIndex() == Value) return;
  if (FMultiSelect) Perform(LB_SETCARETINDEX, static_cast<WPARAM>(Value));
  else Perform(LB_SETCURSEL, static_cast<WPARAM>(Value));
}

bool TCustomListBox::Selected(int Index) const {
  LRESULT r = const_cast<TCustomListBox*>(this)->Perform(LB_GETSEL, static_cast<WPARAM>(Index));
  if (r == LB_ERR) throw EListError(Format(SListIndexError, {Index}));
  return r != 0;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
  if (FMultiSelect) {
    if (Perform(LB_SETSEL, Value ? 1 : 0, Index) == LB_ERR) throw EListError(Format(SListIndexError, {Index}));
  } else if (Value) {
    if (Perform(LB_SETCURSEL, static_cast<WPARAM>(Index)) == LB_ERR) throw EListError(Format(SListIndexError, {Index}));
  } else if (ItemIndex() == Index) {
    Perform(LB_SETCURSEL, static_cast<WPARAM>(-1));
  }
}

int TCustomListBox::SelCount() const { return static_cast<int>(const_cast<TCustomListBox*>(this)->Perform(LB_GETSELCOUNT)); }

int TCustomListBox::TopIndex() const { return static_cast<int>(const_cast<TCustomListBox*>(this)->Perform(LB_GETTOPINDEX)); }

void TCustomListBox::SetTopIndex(int Value) {
  if (TopIndex() != Value) Perform(LB_SETTOPINDEX, static_cast<WPARAM>(Value));
}

void TCustomListBox::Clear() {
  if (IsVirtual()) SetCount(0);
  else FItems->Clear();
}

void TCustomListBox::ClearSelection() {
  if (FMultiSelect) Perform(LB_SETSEL, 0, -1);
  else SetItemIndex(-1);
}

void TCustomListBox::SelectAll() {
  if (FMultiSelect) Perform(LB_SETSEL, 1, -1);
}

void TCustomListBox::DeleteSelected() {
  if (FMultiSelect) {
    for (int i = Count() - 1; i >= 0; --i)
      if (Selected(i)) FItems->Delete(i);
  } else if (ItemIndex() >= 0) {
    FItems->Delete(ItemIndex());
  }
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) const {
  int count = ItemCount();
  if (PtInRect(ClientRect(), Pos)) {
    int i = HitItem(Pos);
    if (i >= 0) return i;
  }
  return Existing ? -1 : count;
}

TRect TCustomListBox::ItemRect(int Index) const {
  TRect r;
  int count = ItemCount();
  if (Index == 0 || (Index >= 0 && Index < count)) {
    const_cast<TCustomListBox*>(this)->Perform(LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  if (Index == count) {
    // Just below the last item.
    int h = count > 0 ? HeightOf(count - 1) : FixedItemHeight();
    const_cast<TCustomListBox*>(this)->Perform(LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&r));
    OffsetRect(r, 0, h);
  }
  return r;
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  for (TItem& it : FList) it.Height = -1;
  Relayout();
}

int TCustomListBox::ItemHeight() const {
  if (FStyle == lbStandard) return FixedItemHeight();
  return static_cast<int>(const_cast<TCustomListBox*>(this)->Perform(LB_GETITEMHEIGHT));
}

void TCustomListBox::SetItemHeight(int Value) {
  if (Value <= 0) return;
  FItemHeightSet = true;
  FItemHeight = Value;
  if (FStyle != lbStandard) Perform(LB_SETITEMHEIGHT, 0, Value);
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  // The kind of selection changes with the window: what was selected is dropped.
  for (TItem& it : FList) it.Selected = false;
  FCurSel = -1;
  Invalidate();
}

void TCustomListBox::SetExtendedSelect(bool Value) { FExtendedSelect = Value; }

void TCustomListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (!Value || IsVirtual() || FList.empty()) return;
  // The window keeps its items in order from now on: sort what is there, keeping the data.
  String current = FCurSel >= 0 ? FList[static_cast<std::size_t>(FCurSel)].Text : String();
  std::stable_sort(FList.begin(), FList.end(),
                   [](const TItem& a, const TItem& b) { return AnsiCompareText(a.Text, b.Text) < 0; });
  if (FCurSel >= 0)
    for (std::size_t i = 0; i < FList.size(); ++i)
      if (FList[i].Text == current) {
        FCurSel = static_cast<int>(i);
        break;
      }
  Invalidate();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
  if (FIntegralHeight == Value) return;
  FIntegralHeight = Value;
  SetBounds(Left(), Top(), Width(), Height());
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

int TCustomListBox::ScrollWidth() const {
  return static_cast<int>(const_cast<TCustomListBox*>(this)->Perform(LB_GETHORIZONTALEXTENT));
}

void TCustomListBox::SetScrollWidth(int Value) {
  if (ScrollWidth() != Value) Perform(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(std::max(0, Value)));
}

void TCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  // With IntegralHeight the window shows whole items only.
  if (FIntegralHeight && FStyle != lbOwnerDrawVariable && !ComponentState().Contains(csLoading)) {
    int h = FixedItemHeight();
    TRect nc = NonClientMargins();
    int frame = nc.Top + nc.Bottom;
    int client = AHeight - frame;
    if (h > 0 && client > h) AHeight = client / h * h + frame;
  }
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

// ---------------------------------------------------------------- the control's view of the items

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index < Count()) {
    String text = IsVirtual() ? DoGetData(Index) : ItemText(Index);
    FCanvas->TextOut(Rect.Left + 2, Rect.Top, text);
  }
}

void TCustomListBox::MeasureItem(int Index, int& Height) { OnMeasureItem(this, Index, Height); }

String TCustomListBox::DoGetData(int Index) {
  String s;
  if (OnData) OnData(this, Index, s);
  return s;
}

TObject* TCustomListBox::DoGetDataObject(int Index) {
  TObject* o = nullptr;
  if (OnDataObject) OnDataObject(this, Index, o);
  return o;
}

int TCustomListBox::DoFindData(const String& Data) { return OnDataFind ? OnDataFind(this, Data) : -1; }

void TCustomListBox::KeyPress(Char& Key) {
  TWinControl::KeyPress(Key);
  if (Key == 0 || !FAutoComplete) return;
  // Characters typed close together form the text searched for.
  DWORD now = GetTickCount();
  if (now - FLastKeyTime >= 500) FFilter.clear();
  FLastKeyTime = now;
  if (Key == VK_BACK) {
    if (!FFilter.empty()) ::Delete(FFilter, Length(FFilter), 1);
  } else if (Key == VK_RETURN || Key == VK_ESCAPE || Key < 32) {
    return;
  } else {
    AppendUtf8(FFilter, Key);
  }
  if (FFilter.empty()) {
    if (Count() > 0) {
      SetItemIndex(0);
      Notify(LBN_SELCHANGE);
    }
  } else {
    int i = IsVirtual() ? DoFindData(FFilter)
                        : static_cast<int>(Perform(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(FFilter.c_str())));
    if (i >= 0) {
      if (FMultiSelect) {
        ClearSelection();
        Perform(LB_SELITEMRANGE, 1, MakeLParam(i, i));
      }
      SetItemIndex(i);
      Notify(LBN_SELCHANGE);
    }
  }
  if (Key != VK_BACK) Key = 0;  // the search is done; the native one would start again
}

void TCustomListBox::Notify(Word Code) { Perform(CN_COMMAND, MakeWParam(0, Code), static_cast<LPARAM>(Handle())); }

// ---------------------------------------------------------------- messages

void TCustomListBox::WndProc(TMessage& M) {
  if (FBars->MouseMessage(M)) return;
  TWinControl::WndProc(M);
}

void TCustomListBox::Dispatch(TMessage& M) {
  if (FBars->Dispatch(M)) return;
  switch (M.Msg) {
    case CN_COMMAND:
      switch (HiWord(M.WParam)) {
        case LBN_SELCHANGE: Click(); break;
        case LBN_DBLCLK: DblClick(); break;
        default: break;
      }
      return;
    case CN_DRAWITEM:
      list_ctrls::DrawItemMessage(*this, *FCanvas, M,
                                  [this](int I, const TRect& R, TOwnerDrawState S) { DrawItem(I, R, S); });
      return;
    case CN_MEASUREITEM:
      list_ctrls::MeasureItemMessage(M, [this](int I, int& H) { MeasureItem(I, H); });
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(M);
      FFontHeight = 0;
      for (TItem& it : FList) it.Height = -1;
      Relayout();
      return;
    case WM_SIZE:
      TWinControl::Dispatch(M);
      Relayout();
      return;
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_ERASEBKGND:
      // The list paints every pixel itself.
      M.Result = 1;
      return;
    default:
      break;
  }
  TWinControl::Dispatch(M);
}

void TCustomListBox::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case LB_ADDSTRING:
      M.Result = IsVirtual() ? LB_ERR : InsertString((ListStyle() & LBS_SORT) ? -2 : -1, reinterpret_cast<const char*>(M.LParam));
      return;
    case LB_INSERTSTRING:
      M.Result = IsVirtual() ? LB_ERR : InsertString(static_cast<int>(M.WParam), reinterpret_cast<const char*>(M.LParam));
      return;
    case LB_DELETESTRING:
      M.Result = DeleteString(static_cast<int>(M.WParam));
      return;
    case LB_RESETCONTENT:
      ResetContent();
      return;
    case LB_SETCOUNT:
      LBSetCount(M);
      return;
    case LB_GETCOUNT:
      M.Result = ItemCount();
      return;
    case LB_GETTEXT:
      LBGetText(M);
      return;
    case LB_GETTEXTLEN:
      LBGetTextLen(M);
      return;
    case LB_GETITEMDATA:
      LBGetItemData(M);
      return;
    case LB_SETITEMDATA:
      LBSetItemData(M);
      return;
    case LB_GETCURSEL:
      M.Result = FMultiSelect ? (FCaret < ItemCount() && IsSel(FCaret) ? FCaret : LB_ERR) : FCurSel;
      return;
    case LB_SETCURSEL:
      LBSetCurSel(M);
      return;
    case LB_GETSEL:
      LBGetSel(M);
      return;
    case LB_SETSEL:
      LBSetSel(M);
      return;
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX:
      LBSelItemRange(M);
      return;
    case LB_GETSELCOUNT:
      LBGetSelCount(M);
      return;
    case LB_GETSELITEMS:
      LBGetSelItems(M);
      return;
    case LB_GETCARETINDEX:
      LBGetCaretIndex(M);
      return;
    case LB_SETCARETINDEX:
      LBSetCaretIndex(M);
      return;
    case LB_GETANCHORINDEX:
      M.Result = FAnchor;
      return;
    case LB_SETANCHORINDEX:
      LBSetAnchorIndex(M);
      return;
    case LB_GETTOPINDEX:
      M.Result = FTop;
      return;
    case LB_SETTOPINDEX:
      LBSetTopIndex(M);
      return;
    case LB_GETITEMHEIGHT:
      LBGetItemHeight(M);
      return;
    case LB_SETITEMHEIGHT:
      LBSetItemHeight(M);
      return;
    case LB_GETITEMRECT:
      LBGetItemRect(M);
      return;
    case LB_ITEMFROMPOINT:
      LBItemFromPoint(M);
      return;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING:
      LBFindString(M);
      return;
    case LB_GETHORIZONTALEXTENT:
      M.Result = FHorzExtent;
      return;
    case LB_SETHORIZONTALEXTENT:
      LBSetHorizontalExtent(M);
      return;
    case WM_SETREDRAW:
      WMSetRedraw(M);
      return;
    case WM_PAINT:
      PaintList(reinterpret_cast<HDC>(M.WParam));
      return;
    case WM_KEYDOWN:
      KeyDownDefault(M);
      return;
    case WM_CHAR:
      CharDefault(M);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      MouseDownDefault(M, M.Msg == WM_LBUTTONDBLCLK);
      return;
    case WM_MOUSEMOVE:
      MouseMoveDefault(M);
      return;
    case WM_LBUTTONUP:
      MouseUpDefault(M);
      return;
    case WM_CANCELMODE:
      WMCancelMode(M);
      return;
    case WM_VSCROLL:
      ScrollDefault(M, false);
      return;
    case WM_HSCROLL:
      ScrollDefault(M, true);
      return;
    case WM_MOUSEWHEEL:
      WMMouseWheelDefault(M);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      WMFocusChange(M);
      return;
    default:
      TWinControl::DefaultHandler(M);
      return;
  }
}

void TCustomListBox::LBSetCount(TMessage& M) {
  if (!IsVirtual()) {
    M.Result = LB_ERR;
    return;
  }
  FVirtualCount = static_cast<int>(M.WParam);
  FCurSel = FCurSel < FVirtualCount ? FCurSel : -1;
  FCaret = std::min(FCaret, std::max(0, FVirtualCount - 1));
  ItemsCleared();
  Relayout();
  M.Result = 0;
}

void TCustomListBox::LBGetText(TMessage& M) {
  int i = static_cast<int>(M.WParam);
  if (i < 0 || i >= ItemCount()) {
    M.Result = LB_ERR;
    return;
  }
  // The buffer has room for the whole item (LB_GETTEXTLEN characters); the answer counts
  // characters, as every text length does.
  String s = ItemText(i);
  char* buf = reinterpret_cast<char*>(M.LParam);
  if (buf) std::copy(s.begin(), s.end(), buf), buf[s.size()] = '\0';
  M.Result = Length(s);
}

void TCustomListBox::LBGetTextLen(TMessage& M) {
  int i = static_cast<int>(M.WParam);
  M.Result = i < 0 || i >= ItemCount() ? LB_ERR : Length(ItemText(i));
}

void TCustomListBox::LBGetItemData(TMessage& M) {
  int i = static_cast<int>(M.WParam);
  M.Result = i < 0 || i >= static_cast<int>(FList.size()) ? LB_ERR : FList[static_cast<std::size_t>(i)].Data;
}

void TCustomListBox::LBSetItemData(TMessage& M) {
  int i = static_cast<int>(M.WParam);
  if (i < 0 || i >= static_cast<int>(FList.size())) {
    M.Result = LB_ERR;
    return;
  }
  FList[static_cast<std::size_t>(i)].Data = M.LParam;
  M.Result = 0;
}

void TCustomListBox::LBSetCurSel(TMessage& M) {
  if (FMultiSelect) {
    M.Result = LB_ERR;
    return;
  }
  int i = static_cast<int>(M.WParam);
  if (i < 0 || i >= ItemCount()) {
    FCurSel = -1;
    Invalidate();
    M.Result = LB_ERR;
    return;
  }
  SelectOnly(i);
  FCaret = i;
  EnsureVisible(i);
  M.Result = i;
}

void TCustomListBox::LBGetSel(TMessage& M) {
  int i = static_cast<int>(M.WParam);
  M.Result = i < 0 || i >= ItemCount() ? LB_ERR : (IsSel(i) ? 1 : 0);
}

void TCustomListBox::LBSetSel(TMessage& M) {
  if (!FMultiSelect) {
    M.Result = LB_ERR;
    return;
  }
  int i = static_cast<int>(M.LParam);
  if (i == -1) {
    SelectRange(0, ItemCount() - 1, M.WParam != 0);
  } else if (i < 0 || i >= ItemCount()) {
    M.Result = LB_ERR;
    return;
  } else {
    SetSel(i, M.WParam != 0);
    FCaret = i;
  }
  Invalidate();
  M.Result = 0;
}

void TCustomListBox::LBSelItemRange(TMessage& M) {
  if (!FMultiSelect) {
    M.Result = LB_ERR;
    return;
  }
  int a = M.Msg == LB_SELITEMRANGE ? LoWord(static_cast<WPARAM>(M.LParam)) : static_cast<int>(M.WParam);
  int b = M.Msg == LB_SELITEMRANGE ? HiWord(static_cast<WPARAM>(M.LParam)) : static_cast<int>(M.LParam);
  bool sel = M.Msg == LB_SELITEMRANGE ? M.WParam != 0 : a <= b;
  SelectRange(std::min(a, b), std::max(a, b), sel);
  Invalidate();
  M.Result = 0;
}

void TCustomListBox::LBGetSelCount(TMessage& M) {
  if (!FMultiSelect) {
    M.Result = LB_ERR;
    return;
  }
  int n = 0;
  for (int i = 0; i < ItemCount(); ++i) n += IsSel(i) ? 1 : 0;
  M.Result = n;
}

void TCustomListBox::LBGetSelItems(TMessage& M) {
  if (!FMultiSelect) {
    M.Result = LB_ERR;
    return;
  }
  auto* out = reinterpret_cast<int*>(M.LParam);
  int max = static_cast<int>(M.WParam), n = 0;
  for (int i = 0; i < ItemCount() && n < max; ++i)
    if (IsSel(i)) {
      if (out) out[n] = i;
      ++n;
    }
  M.Result = n;
}

void TCustomListBox::LBGetCaretIndex(TMessage& M) {
  if (ItemCount() == 0) M.Result = FMultiSelect ? 0 : LB_ERR;
  else M.Result = FMultiSelect ? FCaret : (FCurSel >= 0 ? FCurSel : FCaret);
}

void TCustomListBox::LBSetCaretIndex(TMessage& M) {
  int i = static_cast<int>(M.WParam);
  if (i < 0 || i >= ItemCount()) {
    M.Result = LB_ERR;
    return;
  }
  FCaret = i;
  EnsureVisible(i);
  Invalidate();
  M.Result = 0;
}

void TCustomListBox::LBSetAnchorIndex(TMessage& M) {
  FAnchor = static_cast<int>(M.WParam);
  M.Result = 0;
}

void TCustomListBox::LBSetTopIndex(TMessage& M) {
  int i = static_cast<int>(M.WParam);
  if (i < 0 || (i >= ItemCount() && ItemCount() > 0)) {
    M.Result = LB_ERR;
    return;
  }
  ScrollTo(i);
  M.Result = 0;
}

void TCustomListBox::LBGetItemHeight(TMessage& M) {
  int i = static_cast<int>(M.WParam);
  M.Result = FStyle == lbOwnerDrawVariable && i >= 0 && i < ItemCount() ? HeightOf(i) : FixedItemHeight();
}

void TCustomListBox::LBSetItemHeight(TMessage& M) {
  int h = static_cast<int>(LoWord(static_cast<WPARAM>(M.LParam)));
  if (h <= 0 || h > 255) {
    M.Result = LB_ERR;
    return;
  }
  int i = static_cast<int>(M.WParam);
  if (FStyle == lbOwnerDrawVariable && i >= 0 && i < static_cast<int>(FList.size())) FList[static_cast<std::size_t>(i)].Height = h;
  else {
    FItemHeight = h;
    FItemHeightSet = true;
  }
  Relayout();
  M.Result = 0;
}

void TCustomListBox::LBGetItemRect(TMessage& M) {
  auto* r = reinterpret_cast<TRect*>(M.LParam);
  int i = static_cast<int>(M.WParam);
  if (!r || i < 0 || (i >= ItemCount() && i != 0)) {
    M.Result = LB_ERR;
    return;
  }
  int y = 0;
  if (i >= FTop)
    for (int k = FTop; k < i; ++k) y += HeightOf(k);
  else
    for (int k = i; k < FTop; ++k) y -= HeightOf(k);
  *r = {-FHorzPos, y, std::max(ClientWidth(), FHorzExtent) - FHorzPos, y + HeightOf(i)};
  M.Result = 0;
}

void TCustomListBox::LBItemFromPoint(TMessage& M) {
  TPoint p = PointFromLParam(M.LParam);
  int i = HitItem(p);
  bool outside = i < 0 || !PtInRect(ClientRect(), p);
  if (i < 0) i = std::max(0, ItemCount() - 1);
  M.Result = MakeLParam(i, outside ? 1 : 0);
}

void TCustomListBox::LBFindString(TMessage& M) {
  const char* s = reinterpret_cast<const char*>(M.LParam);
  int i = FindString(static_cast<int>(M.WParam), s ? s : "", M.Msg == LB_FINDSTRINGEXACT);
  if (M.Msg == LB_SELECTSTRING && i >= 0) {
    // A multiple-selection list only moves its focus there.
    if (!FMultiSelect) SelectOnly(i);
    FCaret = i;
    EnsureVisible(i);
    Invalidate();
  }
  M.Result = i;
}

void TCustomListBox::LBSetHorizontalExtent(TMessage& M) {
  FHorzExtent = static_cast<int>(M.WParam);
  UpdateScrollBars();
  Invalidate();
}

void TCustomListBox::WMSetRedraw(TMessage& M) {
  FRedraw = M.WParam != 0;
  if (FRedraw) Relayout();
}

void TCustomListBox::WMCancelMode(TMessage& M) {
  if (FTracking) {
    FTracking = false;
    if (GetCapture() == Handle()) ReleaseCapture();
  }
}

void TCustomListBox::WMMouseWheelDefault(TMessage& M) {
  int lines = Mouse ? Mouse->WheelScrollLines() : 3;
  int delta = WheelDeltaOf(M.WParam);
  int steps = delta / 120 * lines;
  if (steps != 0) ScrollTo(FTop - steps);
  M.Result = 0;
}

void TCustomListBox::WMFocusChange(TMessage& M) {
  // The look follows what the default handler is told, so a drop-down list can show the
  // focus while its edit keeps the input.
  FFocusLook = M.Msg == WM_SETFOCUS;
  TWinControl::DefaultHandler(M);
  Invalidate();
  Notify(M.Msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
}

// ---------------------------------------------------------------- the native model

int TCustomListBox::ItemCount() const { return IsVirtual() ? FVirtualCount : static_cast<int>(FList.size()); }

int TCustomListBox::FixedItemHeight() const {
  if (FStyle != lbStandard) return FItemHeight;
  // Plain items are as high as the font's character cell.
  if (FFontHeight <= 0) FFontHeight = CellHeightOf(Font());
  return FFontHeight;
}

int TCustomListBox::HeightOf(int Index) const {
  if (FStyle != lbOwnerDrawVariable || Index < 0 || Index >= static_cast<int>(FList.size())) return FixedItemHeight();
  TItem& it = const_cast<TItem&>(FList[static_cast<std::size_t>(Index)]);
  if (it.Height < 0) {
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_LISTBOX;
    mis.itemID = Index;
    mis.itemWidth = static_cast<UINT>(ClientWidth());
    mis.itemHeight = static_cast<UINT>(FItemHeight);
    mis.itemData = it.Data;
    const_cast<TCustomListBox*>(this)->Perform(CN_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    it.Height = std::max(1, static_cast<int>(mis.itemHeight));
  }
  return it.Height;
}

int TCustomListBox::VisibleRows(int From) const {
  int h = ClientHeight();
  if (FStyle != lbOwnerDrawVariable) {
    // Fixed heights: the whole rows of the window, items or not.
    int fh = FixedItemHeight();
    return std::max(1, fh > 0 ? h / fh : 1);
  }
  int rows = 0, y = 0;
  for (int i = std::max(0, From); i < ItemCount(); ++i) {
    y += HeightOf(i);
    if (y > h) break;
    ++rows;
  }
  return std::max(rows, 1);
}

int TCustomListBox::HitItem(TPoint P) const {
  if (P.Y < 0) return -1;
  int y = 0;
  for (int i = FTop; i < ItemCount(); ++i) {
    int h = HeightOf(i);
    if (P.Y < y + h) return i;
    y += h;
    if (y > ClientHeight()) break;
  }
  return -1;
}

void TCustomListBox::Relayout() {
  if (!FRedraw) return;
  // The top item stays where it is unless the items below it no longer fill the window.
  int count = ItemCount();
  if (FTop >= count) FTop = std::max(0, count - 1);
  FTop = std::min(FTop, MaxTop());
  UpdateScrollBars();
  Invalidate();
}

void TCustomListBox::UpdateScrollBars() {
  int count = ItemCount();
  // The page is what shows when the list is scrolled to its end (variable heights) or the
  // number of whole rows (fixed heights).
  int page = FStyle == lbOwnerDrawVariable ? VisibleRows(FTop) : VisibleRows(0);
  FBars->SetInfo(SB_VERT, 0, std::max(0, count - 1), page, FTop);
  int w = ClientWidth();
  FHorzPos = FHorzExtent > w ? std::min(FHorzPos, FHorzExtent - w) : 0;
  FBars->SetInfo(SB_HORZ, 0, std::max(0, FHorzExtent - 1), std::max(1, w), FHorzPos);
}

int TCustomListBox::MaxTop() const {
  int count = ItemCount();
  if (FStyle != lbOwnerDrawVariable) return std::max(0, count - VisibleRows(0));
  // Variable heights: the first of the last items that fit the window together, the last
  // item even when it alone is higher.
  int top = std::max(0, count - 1), y = 0;
  for (int i = count - 1; i >= 0; --i) {
    y += HeightOf(i);
    if (y > ClientHeight()) break;
    top = i;
  }
  return top;
}

void TCustomListBox::ScrollTo(int Top) {
  Top = std::clamp(Top, 0, MaxTop());
  if (Top == FTop) return;
  FTop = Top;
  FBars->SetPos(SB_VERT, FTop);
  Invalidate();
}

void TCustomListBox::EnsureVisible(int Index) {
  if (Index < 0 || Index >= ItemCount()) return;
  if (Index < FTop) {
    ScrollTo(Index);
    return;
  }
  // The item must end inside the client area.
  int y = 0;
  for (int i = FTop; i <= Index; ++i) y += HeightOf(i);
  if (y <= ClientHeight()) return;
  int top = Index, h = HeightOf(Index);
  while (top > 0 && h + HeightOf(top - 1) <= ClientHeight()) {
    --top;
    h += HeightOf(top);
  }
  ScrollTo(top);
}

int TCustomListBox::InsertString(int Index, const String& S) {
  int count = static_cast<int>(FList.size());
  if (Index == -2) {
    // Sorted: after the last item that does not sort after S. The items are in order, so a
    // halving search finds it; filling a list of thousands stays quick.
    int lo = 0, hi = count;
    while (lo < hi) {
      int mid = lo + (hi - lo) / 2;
      if (AnsiCompareText(FList[static_cast<std::size_t>(mid)].Text, S) > 0) hi = mid;
      else lo = mid + 1;
    }
    Index = lo;
  } else if (Index < 0 || Index > count) {
    if (Index != -1) return static_cast<int>(LB_ERR);
    Index = count;
  }
  TItem it;
  it.Text = S;
  FList.insert(FList.begin() + Index, it);
  if (!FMultiSelect && FCurSel >= Index) ++FCurSel;
  if (count > 0 && FCaret >= Index && FCaret < count) ++FCaret;
  if (FAnchor >= Index && count > 0) ++FAnchor;
  ItemInserted(Index);
  Relayout();
  return Index;
}

LRESULT TCustomListBox::DeleteString(int Index) {
  if (IsVirtual() || Index < 0 || Index >= static_cast<int>(FList.size())) return LB_ERR;
  FList.erase(FList.begin() + Index);
  if (!FMultiSelect) {
    if (FCurSel == Index) FCurSel = -1;
    else if (FCurSel > Index) --FCurSel;
  }
  int count = static_cast<int>(FList.size());
  if (FCaret > Index || FCaret >= count) FCaret = std::max(0, FCaret - 1);
  if (FAnchor > Index || FAnchor >= count) FAnchor = std::max(0, FAnchor - 1);
  ItemDeleted(Index);
  Relayout();
  return count;
}

void TCustomListBox::ResetContent() {
  FList.clear();
  if (IsVirtual()) FVirtualCount = 0;
  FCurSel = -1;
  FCaret = 0;
  FAnchor = 0;
  FTop = 0;
  ItemsCleared();
  Relayout();
}

int TCustomListBox::FindString(int Start, const String& S, bool Exact) const {
  int count = ItemCount();
  if (count == 0) return static_cast<int>(LB_ERR);
  // The search starts after Start and wraps round to it.
  int from = Start < 0 || Start >= count ? 0 : Start + 1;
  for (int n = 0; n < count; ++n) {
    int i = (from + n) % count;
    String t = ItemText(i);
    if (Exact ? AnsiSameText(t, S) : (Length(t) >= Length(S) && AnsiSameText(Copy(t, 1, Length(S)), S))) return i;
  }
  return static_cast<int>(LB_ERR);
}

String TCustomListBox::ItemText(int Index) const {
  if (IsVirtual()) return const_cast<TCustomListBox*>(this)->DoGetData(Index);
  if (Index < 0 || Index >= static_cast<int>(FList.size())) return String();
  return FList[static_cast<std::size_t>(Index)].Text;
}

bool TCustomListBox::IsSel(int Index) const {
  if (!FMultiSelect) return Index >= 0 && Index == FCurSel;
  if (IsVirtual()) return false;
  return Index >= 0 && Index < static_cast<int>(FList.size()) && FList[static_cast<std::size_t>(Index)].Selected;
}

void TCustomListBox::SetSel(int Index, bool Value) {
  if (!FMultiSelect) {
    if (Value) FCurSel = Index;
    else if (FCurSel == Index) FCurSel = -1;
    return;
  }
  if (Index >= 0 && Index < static_cast<int>(FList.size())) FList[static_cast<std::size_t>(Index)].Selected = Value;
}

void TCustomListBox::SelectOnly(int Index) {
  if (!FMultiSelect) {
    FCurSel = Index;
  } else {
    for (TItem& it : FList) it.Selected = false;
    SetSel(Index, true);
  }
  Invalidate();
}

void TCustomListBox::SelectRange(int From, int To, bool Value) {
  for (int i = std::max(0, From); i <= To && i < ItemCount(); ++i) SetSel(i, Value);
}

// Moves the focus rectangle with the keyboard or mouse and selects as the list's kind of
// selection does: one item, extended ranges from the anchor, or (multiple) nothing at all.
void TCustomListBox::MoveCaret(int NewCaret, bool KeyShift, bool KeyCtrl) {
  int count = ItemCount();
  if (count == 0) return;
  NewCaret = std::clamp(NewCaret, 0, count - 1);
  FCaret = NewCaret;
  if (!FMultiSelect) {
    FCurSel = NewCaret;
  } else if (FExtendedSelect) {
    if (KeyShift) {
      for (int i = 0; i < count; ++i) SetSel(i, false);
      SelectRange(std::min(FAnchor, NewCaret), std::max(FAnchor, NewCaret), true);
    } else if (!KeyCtrl) {
      SelectOnly(NewCaret);
      FAnchor = NewCaret;
    }
  }
  EnsureVisible(NewCaret);
  Invalidate();
}

void TCustomListBox::KeyDownDefault(TMessage& M) {
  int count = ItemCount();
  if (count == 0) return;
  bool shift = IsKeyDown(VK_SHIFT), ctrl = IsKeyDown(VK_CONTROL);
  int page = std::max(1, VisibleRows(FTop) - 1);
  int cur = FMultiSelect ? FCaret : (FCurSel >= 0 ? FCurSel : -1);
  int next;
  switch (M.WParam) {
    case VK_UP: next = cur < 0 ? 0 : cur - 1; break;
    case VK_DOWN: next = cur < 0 ? 0 : cur + 1; break;
    case VK_PRIOR: next = cur < 0 ? 0 : cur - page; break;
    case VK_NEXT: next = cur < 0 ? page : cur + page; break;
    case VK_HOME: next = 0; break;
    case VK_END: next = count - 1; break;
    case VK_SPACE:
      if (FMultiSelect && (!FExtendedSelect || ctrl)) {
        SetSel(FCaret, !IsSel(FCaret));
        FAnchor = FCaret;
        Invalidate();
        Notify(LBN_SELCHANGE);
      }
      return;
    default:
      return;
  }
  next = std::clamp(next, 0, count - 1);
  int before = FCurSel;
  std::vector<bool> sel;
  if (FMultiSelect)
    for (int i = 0; i < count; ++i) sel.push_back(IsSel(i));
  MoveCaret(next, shift, ctrl);
  bool changed = FMultiSelect ? [&] {
    for (int i = 0; i < count; ++i)
      if (sel[static_cast<std::size_t>(i)] != IsSel(i)) return true;
    return false;
  }()
                              : before != FCurSel;
  if (changed) Notify(LBN_SELCHANGE);
}

void TCustomListBox::CharDefault(TMessage& M) {
  // The native search: the next item that begins with the typed character.
  Char c = static_cast<Char>(M.WParam);
  if (c < 32 || ItemCount() == 0) return;
  String s;
  AppendUtf8(s, c);
  int from = FMultiSelect ? FCaret : FCurSel;
  int i = IsVirtual() ? DoFindData(s) : FindString(from, s, false);
  if (i < 0) return;
  int before = FCurSel;
  MoveCaret(i, false, false);
  if (FMultiSelect || before != FCurSel) Notify(LBN_SELCHANGE);
}

void TCustomListBox::MouseDownDefault(TMessage& M, bool Double) {
  if (CanFocus() && GetFocus() != Handle()) SetFocus();
  TPoint p = PointFromLParam(M.LParam);
  int i = HitItem(p);
  FTracking = true;
  FSelChangedByMouse = false;
  SetCapture(Handle());
  if (i < 0) return;
  bool shift = (M.WParam & MK_SHIFT) != 0, ctrl = (M.WParam & MK_CONTROL) != 0;
  if (!FMultiSelect) {
    FSelAtPress = FCurSel;
    if (FCurSel != i) FSelChangedByMouse = true;
    FCurSel = i;
    FCaret = i;
  } else if (!FExtendedSelect || ctrl) {
    // A click toggles the item; with extended selection only Ctrl+click does.
    SetSel(i, !IsSel(i));
    FCaret = i;
    FAnchor = i;
    FSelChangedByMouse = true;
  } else {
    MoveCaret(i, shift, false);
    FSelChangedByMouse = true;
  }
  EnsureVisible(i);
  Invalidate();
  if (Double) Notify(LBN_DBLCLK);
}

void TCustomListBox::MouseMoveDefault(TMessage& M) {
  if (!FTracking || GetCapture() != Handle()) return;
  TPoint p = PointFromLParam(M.LParam);
  int count = ItemCount();
  if (count == 0) return;
  int i;
  if (p.Y < 0) {
    i = std::max(0, FTop - 1);
  } else if (p.Y >= ClientHeight()) {
    i = std::min(count - 1, FTop + VisibleRows(FTop));
  } else {
    i = HitItem(p);
    if (i < 0) i = count - 1;
  }
  if (FMultiSelect && !FExtendedSelect) return;
  if (!FMultiSelect) {
    if (FCurSel == i) return;
    FCurSel = i;
    FCaret = i;
    FSelChangedByMouse = true;
  } else {
    MoveCaret(i, true, false);
    FSelChangedByMouse = true;
  }
  EnsureVisible(i);
  Invalidate();
}

void TCustomListBox::MouseUpDefault(TMessage& M) {
  if (!FTracking) return;
  FTracking = false;
  if (GetCapture() == Handle()) ReleaseCapture();
  if (FSelChangedByMouse) {
    FSelChangedByMouse = false;
    Notify(LBN_SELCHANGE);
  }
}

void TCustomListBox::ScrollDefault(TMessage& M, bool Horizontal) {
  int code = LoWord(M.WParam);
  int pos = static_cast<short>(HiWord(M.WParam));
  if (Horizontal) {
    int w = ClientWidth(), x = FHorzPos;
    switch (code) {
      case SB_LINELEFT: x -= 8; break;
      case SB_LINERIGHT: x += 8; break;
      case SB_PAGELEFT: x -= w; break;
      case SB_PAGERIGHT: x += w; break;
      case SB_THUMBTRACK: case SB_THUMBPOSITION: x = pos; break;
      case SB_LEFT: x = 0; break;
      case SB_RIGHT: x = FHorzExtent; break;
      default: return;
    }
    x = std::clamp(x, 0, std::max(0, FHorzExtent - w));
    if (x == FHorzPos) return;
    FHorzPos = x;
    FBars->SetPos(SB_HORZ, x);
    Invalidate();
    return;
  }
  int page = std::max(1, VisibleRows(FTop) - 1);
  int top = FTop;
  switch (code) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= page; break;
    case SB_PAGEDOWN: top += page; break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: top = pos; break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = ItemCount(); break;
    default: return;
  }
  ScrollTo(top);
}

// ---------------------------------------------------------------- painting

void TCustomListBox::PaintList(HDC DC) {
  if (!DC) return;
  TRect client = ClientRect();
  HBRUSH back = Brush()->Handle();
  bool focused = FFocusLook || GetFocus() == Handle();
  int y = 0;
  int count = ItemCount();
  for (int i = FTop; i < count && y < client.Bottom; ++i) {
    int h = HeightOf(i);
    TRect r{-FHorzPos, y, std::max(client.Right, FHorzExtent) - FHorzPos, y + h};
    UINT state = 0;
    if (IsSel(i)) state |= ODS_SELECTED;
    if (focused && i == FCaret) state |= ODS_FOCUS;
    if (!Enabled()) state |= ODS_DISABLED;
    if (IsOwnerDraw()) {
      list_ctrls::PerformDrawItem(*this, ODT_LISTBOX, i, state, DC, r,
                                  IsVirtual() ? 0 : FList[static_cast<std::size_t>(i)].Data);
    } else {
      DrawPlainItem(DC, i, r, state);
    }
    y += h;
  }
  if (y < client.Bottom) {
    TRect rest{0, y, client.Right, client.Bottom};
    FillRect(DC, rest, back);
  }
  // An empty list with the focus shows the focus rectangle on its first row.
  if (count == 0 && focused) {
    TRect r{0, 0, client.Right, FixedItemHeight()};
    if (IsOwnerDraw()) {
      DRAWITEMSTRUCT dis;
      dis.CtlType = ODT_LISTBOX;
      dis.itemID = -1;
      dis.itemAction = ODA_FOCUS;
      dis.itemState = ODS_FOCUS;
      dis.hwndItem = Handle();
      dis.hDC = DC;
      dis.rcItem = r;
      Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    } else {
      DrawFocusRect(DC, r);
    }
  }
}

void TCustomListBox::DrawPlainItem(HDC DC, int Index, const TRect& Rect, UINT State) {
  list_ctrls::DrawItemText(DC, Rect, ItemText(Index), TextIndent(), *this, (State & ODS_SELECTED) != 0,
                           (State & ODS_DISABLED) != 0);
  if (State & ODS_FOCUS) DrawFocusRect(DC, Rect);
}

// ================================================================ TCheckListBox

KELM_PUBLISH(TCheckListBox) { Published(b); }

TCheckListBox::TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

void TCheckListBox::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
}

TCheckBoxState TCheckListBox::State(int Index) const {
  CheckIndex(Index);
  if (Index >= static_cast<int>(FChecks.size())) return cbUnchecked;
  return FChecks[static_cast<std::size_t>(Index)].State;
}

void TCheckListBox::SetState(int Index, TCheckBoxState Value) {
  CheckIndex(Index);
  if (Index >= static_cast<int>(FChecks.size())) FChecks.resize(static_cast<std::size_t>(Count()));
  TCheck& c = FChecks[static_cast<std::size_t>(Index)];
  if (c.State == Value) return;
  c.State = Value;
  Invalidate();
}

bool TCheckListBox::ItemEnabled(int Index) const {
  CheckIndex(Index);
  return Index >= static_cast<int>(FChecks.size()) || FChecks[static_cast<std::size_t>(Index)].Enabled;
}

void TCheckListBox::SetItemEnabled(int Index, bool Value) {
  CheckIndex(Index);
  if (Index >= static_cast<int>(FChecks.size())) FChecks.resize(static_cast<std::size_t>(Count()));
  FChecks[static_cast<std::size_t>(Index)].Enabled = Value;
  Invalidate();
}

void TCheckListBox::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Invalidate();
}

void TCheckListBox::ToggleClickCheck(int Index) {
  if (Index < 0 || Index >= Count() || !ItemEnabled(Index)) return;
  TCheckBoxState s = State(Index);
  switch (s) {
    case cbUnchecked: s = cbChecked; break;
    case cbChecked: s = FAllowGrayed ? cbGrayed : cbUnchecked; break;
    case cbGrayed: s = cbUnchecked; break;
  }
  SetState(Index, s);
  ClickCheck();
}

TRect TCheckListBox::CheckRect(const TRect& ItemRect) const {
  constexpr int box = 13;
  int top = ItemRect.Top + (ItemRect.Height() - box) / 2;
  return {ItemRect.Left + 2, top, ItemRect.Left + 2 + box, top + box};
}

int TCheckListBox::TextIndent() const { return 13 + 6; }

void TCheckListBox::DrawCheck(HDC DC, int Index, const TRect& ItemRect) {
  TRect r = CheckRect(ItemRect);
  TRect back{ItemRect.Left, ItemRect.Top, ItemRect.Left + TextIndent() - 2, ItemRect.Bottom};
  Fill(DC, back, ColorToRGB(Color()));
  TCheckBoxState s = Index < static_cast<int>(FChecks.size()) ? FChecks[static_cast<std::size_t>(Index)].State : cbUnchecked;
  UINT state = s == cbGrayed ? (DFCS_BUTTON3STATE | DFCS_CHECKED) : DFCS_BUTTONCHECK;
  if (s == cbChecked) state |= DFCS_CHECKED;
  if (FFlat) state |= DFCS_FLAT;
  if (!Enabled() || !ItemEnabled(Index)) state |= DFCS_INACTIVE;
  DrawFrameControl(DC, r, DFC_BUTTON, state);
}

void TCheckListBox::DrawPlainItem(HDC DC, int Index, const TRect& Rect, UINT State) {
  if (!ItemEnabled(Index)) State |= ODS_DISABLED;
  // The plain item is drawn after the box, with its text at the usual indent from there.
  TCustomListBox::DrawPlainItem(DC, Index, Rect, State);
  DrawCheck(DC, Index, Rect);
}

void TCheckListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  // Owner-drawn check lists: the box first, then the item beside it.
  TRect r = Rect;
  DrawCheck(Canvas()->Handle(), Index, Rect);
  r.Left += TextIndent() - 2;
  TCustomListBox::DrawItem(Index, r, State);
}

void TCheckListBox::ItemInserted(int Index) {
  if (Index <= static_cast<int>(FChecks.size())) FChecks.insert(FChecks.begin() + Index, TCheck{});
}

void TCheckListBox::ItemDeleted(int Index) {
  if (Index < static_cast<int>(FChecks.size())) FChecks.erase(FChecks.begin() + Index);
}

void TCheckListBox::ItemsCleared() { FChecks.clear(); }

void TCheckListBox::DefaultHandler(TMessage& M) {
  TCustomListBox::DefaultHandler(M);
  if (M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK) {
    TPoint p = PointFromLParam(M.LParam);
    int i = ItemAtPos(p, true);
    if (i >= 0 && PtInRect(CheckRect(ItemRect(i)), p)) ToggleClickCheck(i);
  }
}

void TCheckListBox::KeyPress(Char& Key) {
  if (Key == ' ') {
    ToggleClickCheck(ItemIndex());
    Key = 0;
    return;
  }
  TCustomListBox::KeyPress(Key);
}
