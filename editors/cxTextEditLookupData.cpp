// Lookup data: the current key, incremental search over the items, key movement, and the
// list the drop-down descendants show.
#include "editors/cxTextEditLookupData.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "editors/cxCanvas.h"
#include "editors/cxTextEdit.h"
#include "editors/cxTextEditProperties.h"
#include "gui/GdiDraw.h"
#include "gui/GdiText.h"
#include "gui/SysColors.h"
#include "gui/Window.h"
#include "gui/WinScroll.h"

KELM_PUBLISH(TcxCustomTextEditLookupData) {}
KELM_PUBLISH(TcxCustomEditListBox) {}

namespace {
// The first Count characters of a text.
String Head(const String& S, int Count) {
  const std::u32string u = Utf8ToUtf32(S);
  return Utf32ToUtf8(u.substr(0, std::min<std::size_t>(u.size(), std::max(Count, 0))));
}
String Rest(const String& S, int From) {
  const std::u32string u = Utf8ToUtf32(S);
  return From >= static_cast<int>(u.size()) ? String() : Utf32ToUtf8(u.substr(std::max(From, 0)));
}
}  // namespace

TcxCustomTextEditLookupData::TcxCustomTextEditLookupData(TcxCustomTextEdit* AEdit)
    : TcxInterfacedPersistent(AEdit), FEdit(AEdit) {
  FListWatch = std::make_unique<TcxFreeNotificator>(nullptr);
  FListWatch->SetOnComponentRemoved(
      TcxComponentRemovedEvent::Lambda([this](TComponent* c) { ListGone(c); }));
}

TcxCustomTextEditLookupData::~TcxCustomTextEditLookupData() { FListWatch.reset(); }

// The list belongs to its parent (the popup): when that frees it, the list is forgotten.
void TcxCustomTextEditLookupData::ListGone(TComponent* AComponent) {
  if (AComponent == FList) FList = nullptr;
}

TcxCustomTextEditProperties* TcxCustomTextEditLookupData::Properties() {
  return static_cast<TcxCustomTextEditProperties*>(FEdit->ActiveProperties());
}

void TcxCustomTextEditLookupData::ReadItem(int Index, String& Text) { Text = Properties()->LookupItems()->Strings(Index); }

int TcxCustomTextEditLookupData::ItemCount() { return Properties()->LookupItems()->Count(); }

int TcxCustomTextEditLookupData::IndexOfText(const String& Text) {
  const int n = ItemCount();
  for (int i = 0; i < n; ++i)
    if (AnsiCompareText(ItemText(i), Text) == 0) return i;
  return -1;
}

void TcxCustomTextEditLookupData::GetKeyText(const Variant& Key, String& Text) {
  Text.clear();
  if (!VarIsOrdinal(Key)) return;
  const int k = Key.AsInteger();
  if (k >= 0 && k < ItemCount()) ReadItem(k, Text);
}

void TcxCustomTextEditLookupData::StoreActiveKey(int Key) {
  if (Key < -1 || Key >= ItemCount()) return;
  FActiveKey = Key;
  ShowItemIndex(Key);
}

void TcxCustomTextEditLookupData::ShowItemIndex(int Index) {
  if (Index < -1 || Index >= ItemCount() || (Index == FItemIndex && Index != -1)) return;
  if (FList && ItemCount() > 0) {
    if (Index == -1) FList->SetItemIndex(0);
    FList->SetItemIndex(Index);
  }
  FItemIndex = Index;
}

void TcxCustomTextEditLookupData::DoSelectItem() {
  if (OnSelectItem) OnSelectItem(this);
}

void TcxCustomTextEditLookupData::TakeListItemIndex(TObject*) {
  if (FList) FItemIndex = FList->ItemIndex();
}

void TcxCustomTextEditLookupData::ApplyMissRule(const String& Text, bool Exact) {
  switch (Properties()->EditingStyle()) {
    case tesEditList:
      if (Exact || (Text.empty() && IndexOfText(Text) == -1)) FActiveKey = -1;
      break;
    case tesFixedList:
      if (Exact) FActiveKey = -1;
      break;
    default: FActiveKey = -1;
  }
}

bool TcxCustomTextEditLookupData::SearchItems(String& Text, String& Tail, bool Exact, bool FromCurrent) {
  const int n = ItemCount();
  if (n == 0) {
    ApplyMissRule(Text, Exact);
    return false;
  }
  if (Exact && Properties()->ExactItemSearch()) {
    const int i = IndexOfText(Text);
    if (i == -1) {
      StoreActiveKey(-1);
      return false;
    }
    Tail.clear();
    StoreActiveKey(i);
    return true;
  }
  const int length = Length(Text);
  if (length > 0) {
    for (int i = (FromCurrent ? FItemIndex : -1) + 1; i < n; ++i) {
      const String item = ItemText(i);
      const String head = Head(item, length);
      if (Length(head) == length && AnsiCompareText(head, Text) == 0) {
        Text = head;
        Tail = Rest(item, length);
        StoreActiveKey(i);
        return true;
      }
    }
  }
  ApplyMissRule(Text, Exact);
  return false;
}

void TcxCustomTextEditLookupData::RefreshListCount() {
  if (FList) FList->SetItemCount(ItemCount());
}

TWinControl* TcxCustomTextEditLookupData::GetListControl() { return FList; }

bool TcxCustomTextEditLookupData::IsPointOverList(TPoint ScreenPoint) {
  if (!FList || !FList->HandleAllocated()) return false;
  const TPoint p = FList->ScreenToClient(ScreenPoint);
  return PtInRect(Rect(0, 0, FList->Width(), FList->Height()), p);
}

void TcxCustomTextEditLookupData::MoveActiveKey(TcxLookupDirection Direction, bool Circular) {
  const int count = ItemCount();
  if (count == 0) return;
  const int index = FItemIndex != -1 ? FItemIndex : FActiveKey;
  const int page = Properties()->GetDropDownPageRowCount();
  int next = index;
  switch (Direction) {
    case ldFirst: next = 0; break;
    case ldLast: next = count - 1; break;
    case ldNext:
      next = index + 1;
      if (next >= count) next = Circular ? 0 : index;
      break;
    case ldPrior:
      next = index - 1;
      if (next < 0) next = Circular ? count - 1 : index;
      break;
    case ldPageUp:
      if (index != -1) next = Circular && index == 0 ? count - 1 : std::max(index - page + 1, 0);
      else next = Circular ? count - 1 : -1;
      break;
    case ldPageDown:
      next = index != -1 ? index + page - 1 : page - 1;
      if (next >= count - 1 || index == count - 1) next = Circular && index == count - 1 ? 0 : count - 1;
      break;
  }
  if (!FList || !FList->IsListVisible() || (Properties()->ImmediateUpdateText() && FEdit->RequestEditing()))
    SelectKey(next);
  else
    ShowItemIndex(next);
}

void TcxCustomTextEditLookupData::SelectKey(const Variant& Key) {
  const int old = FActiveKey;
  const int key = VarIsOrdinal(Key) ? Key.AsInteger() : -1;
  StoreActiveKey(key);
  TRestore<bool> locked(FEdit->LookupRematchLocked, true);
  if (FActiveKey != old) {
    DoSelectItem();
  } else if (key >= 0 && key < ItemCount() && ItemText(key) != FEdit->Text()) {
    DoSelectItem();
  }
}

void TcxCustomTextEditLookupData::ApplyListSelection() {
  if (FItemIndex == -1) return;
  const int old = FActiveKey;
  if (FItemIndex == FActiveKey || FEdit->RequestEditing()) {
    SelectKey(FItemIndex);
    if (FActiveKey == old) DoSelectItem();
  }
}

void TcxCustomTextEditLookupData::TextChanged() {
  if (FEdit->InEditingRequest()) return;
  String text = FEdit->Text();
  if (FItemIndex >= 0 && FItemIndex < ItemCount() && AnsiCompareText(ItemText(FItemIndex), text) == 0) return;
  String tail;
  SearchItems(text, tail, true, false);
}

void TcxCustomTextEditLookupData::CreateListIn(TWinControl* Parent) {
  if (FList || !ListBoxClass()) return;
  FList = ListBoxClass()(Parent);
  FListWatch->Watch(FList);
  TcxEditStyle* style = FEdit->ActiveEditStyle();
  FList->SetColor(style->Color());
  FList->Font()->Assign(style->VisibleFont());
  FList->Canvas()->Font()->Assign(style->VisibleFont());
  FList->SetParent(Parent);
  FList->OnItemSelected = TNotifyEvent(this, &TcxCustomTextEditLookupData::TakeListItemIndex);
  FList->SetItemCount(ItemCount());
  FList->SetItemIndex(FItemIndex);
  FList->ListInitialized();
  TextChanged();
}

void TcxCustomTextEditLookupData::PlaceList(const TRect& R) {
  if (FList) FList->SetBounds(R.Left, R.Top, R.Width(), R.Height());
}

// ================================================================ the edit list box

TcxCustomEditListBox::TcxCustomEditListBox(TComponent* AOwner) : TcxCustomInnerListBox(AOwner) {
  SetBorderStyle(bsNone);
  SetStyle(lbOwnerDrawVariable);
}

void TcxCustomEditListBox::SetItemCount(int N) {
  TStrings* items = Items();
  items->BeginUpdate();
  TScopeExit end([items] { items->EndUpdate(); });
  while (items->Count() < N) items->Add(String());
  while (items->Count() > N) items->Delete(items->Count() - 1);
}

bool TcxCustomEditListBox::IsListVisible() { return HandleAllocated() && IsWindowVisible(Handle()); }

TcxCustomTextEdit* TcxCustomEditListBox::ContainerEditor() {
  for (TComponent* o = Owner(); o; o = o->Owner())
    if (auto* e = dynamic_cast<TcxCustomTextEdit*>(o)) return e;
  return nullptr;
}

void TcxCustomEditListBox::GetItemText(int Index, String& Text) {
  Text = Index >= 0 && Index < Items()->Count() ? Items()->Strings(Index) : String();
}

// Measured on the shared screen canvas: rows are measured before the list has a window.
int TcxCustomEditListBox::GetRowHeight(int) {
  TcxCanvas* c = ScreenCanvas();
  c->Font()->Assign(Font());
  return c->TextHeightOf("Wg");
}

int TcxCustomEditListBox::GetItemWidth(int Index) {
  String s;
  GetItemText(Index, s);
  TcxCanvas* c = ScreenCanvas();
  c->Font()->Assign(Font());
  return c->TextWidthOf(s);
}

bool TcxCustomEditListBox::DrawsFocusRect() {
  TcxCustomTextEdit* e = ContainerEditor();
  if (!e) return false;
  const TcxTextEditingStyle s = e->TextProperties()->EditingStyle();
  return s == tesFixedList || s == tesNoEdit;
}

void TcxCustomEditListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (DrawItemHook(Index, Rect, State)) return;
  TCanvas* c = Canvas();
  c->FillRect(Rect);
  if (Index < 0 || Index >= Items()->Count()) return;
  String text;
  GetItemText(Index, text);
  TRect r = Rect;
  const bool rtl = UseRightToLeftAlignment();
  if (rtl) r.Right -= 2;
  else r.Left += 2;
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (rtl ? DT_RIGHT | DT_RTLREADING : DT_LEFT);
  DrawText(c->Handle(), text, -1, &r, format);
}

void TcxCustomEditListBox::ItemSelected() {
  UpdateScrollBars();
  if (OnItemSelected) OnItemSelected(this);
}

void TcxCustomEditListBox::SelectIndex(int Index) {
  SetItemIndex(Index);
  ItemSelected();
}

void TcxCustomEditListBox::Click() {
  TcxCustomInnerListBox::Click();
  ItemSelected();
}

void TcxCustomEditListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TcxCustomInnerListBox::MouseMove(Shift, X, Y);
  if (GetCaptureControl() == this || !HotTrack) return;
  const int i = ItemAtPos({X, Y}, true);
  if (i != ItemIndex()) SelectIndex(i);
}

bool TcxCustomEditListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TcxCustomInnerListBox::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const int lines = Mouse ? Mouse->WheelScrollLines() : 3;
  LRESULT last = 1;
  for (int i = 0; i < lines; ++i) last = Perform(WM_VSCROLL, WheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  return last == 0;
}

void TcxCustomEditListBox::Dispatch(TMessage& Message) {
  TcxCustomInnerListBox::Dispatch(Message);
  // The list draws its selection as focused while the keyboard stays in the editor.
  if (Message.Msg == CM_SHOWINGCHANGED && HandleAllocated()) {
    TMessage m{WM_SETFOCUS, 0, 0, 0};
    WindowProc(m);
  }
}
