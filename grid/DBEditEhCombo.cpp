// The combo box of the edit unit: free text with completion, or a key-based pick list in
// which typing searches the items; its drop-down list and the drop-down settings.
#include "grid/DBEditEh.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"
#include "gui/Clipbrd.h"

#include <algorithm>

// ================================================================ TDropDownBoxEh

KELM_PUBLISH(TDropDownBoxEh) { Published(b); }

void TDropDownBoxEh::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TDropDownBoxEh*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  FAlign = s->FAlign;
  FRows = s->FRows;
  FWidth = s->FWidth;
  FSizable = s->FSizable;
}

// ================================================================ TCustomDBComboBoxEh

KELM_PUBLISH(TCustomDBComboBoxEh) {}

TCustomDBComboBoxEh::TCustomDBComboBoxEh(TComponent* AOwner) : TCustomDBEditEh(AOwner) {
  FItems = std::make_unique<TStringList>();
  FKeyItems = std::make_unique<TStringList>();
  FItems->SetOnChange(TNotifyEvent(this, &TCustomDBComboBoxEh::ItemsChanged));
  FKeyItems->SetOnChange(TNotifyEvent(this, &TCustomDBComboBoxEh::KeyItemsChanged));
  FDropDownBox = std::make_unique<TDropDownBoxEh>();
  ReplaceMainButton(MakeMainButton());
}

TCustomDBComboBoxEh::~TCustomDBComboBoxEh() {
  FItems->SetOnChange(nullptr);
  FKeyItems->SetOnChange(nullptr);
}

TEditButtonEh* TCustomDBComboBoxEh::MakeMainButton() { return new TVisibleEditButtonEh(this); }

void TCustomDBComboBoxEh::SetImages(TCustomImageList* Value) {
  EditImageObject()->SetImages(Value);
  if (Value) EditImageObject()->SetVisible(true);
}

// ---------------------------------------------------------------- lists

void TCustomDBComboBoxEh::ItemsChanged(TObject*) { ListRefresh(false); }

void TCustomDBComboBoxEh::KeyItemsChanged(TObject*) { ListRefresh(true); }

int TCustomDBComboBoxEh::IndexOfItem(const String& S) const {
  for (int i = 0; i < FItems->Count(); ++i)
    if (AnsiCompareText(FItems->Strings(i), S) == 0) return i;
  return -1;
}

void TCustomDBComboBoxEh::ListRefresh(bool KeysChanged) {
  bool wasKeyed = FKeyItemsMode;
  FKeyItemsMode = FKeyItems->Count() > 0;
  FUsableItemCount = FKeyItemsMode ? std::min(FItems->Count(), FKeyItems->Count()) : FItems->Count();
  if (FKeyItemsMode && !wasKeyed) PutText(String());
  RefreshReadOnly();
  FItemIndex = IndexOfItem(Text());
  FollowList();
  RefreshImageIndex();
  ClearFieldMaxLength();
  if (KeysChanged) ShowFieldValue();
}

// ---------------------------------------------------------------- overrides

TAlignment TCustomDBComboBoxEh::FieldAlignment() const {
  return FKeyItemsMode ? taLeftJustify : TCustomDBEditEh::FieldAlignment();
}

void TCustomDBComboBoxEh::ClearFieldMaxLength() {
  if (FKeyItemsMode) {
    if (MaxLength() > 0) SetMaxLength(0);
    return;
  }
  TCustomDBEditEh::ClearFieldMaxLength();
}

Variant TCustomDBComboBoxEh::CurrentEditValue() const {
  return FKeyItemsMode ? FKeyValue : Variant(Text());
}

void TCustomDBComboBoxEh::PutText(const String& S) {
  if (!FKeyItemsMode) {
    TCustomDBEditEh::PutText(S);
    FItemIndex = IndexOfItem(S);
    return;
  }
  int i = IndexOfItem(S);
  if (i < 0 || i >= FUsableItemCount) return;
  FItemIndex = i;
  FKeyValue = Variant(FKeyItems->Strings(i));
  RefreshImageIndex();
  FollowList();
  TCustomDBEditEh::PutText(S);
}

void TCustomDBComboBoxEh::PutValue(const Variant& V) {
  if (!FKeyItemsMode) {
    TCustomDBEditEh::PutValue(V);
    FItemIndex = IndexOfItem(Text());
    return;
  }
  FKeyValue = V;
  if (!VarIsNull(V) && !VarIsEmpty(V)) {
    FItemIndex = FKeyItems->IndexOf(VarToStr(V));
    if (FItemIndex >= FUsableItemCount) FItemIndex = -1;
    TCustomDBEditEh::PutText(FItemIndex >= 0 ? FItems->Strings(FItemIndex) : String());
  } else {
    FItemIndex = -1;
    TCustomDBEditEh::PutText(String());
  }
  RefreshImageIndex();
  FollowList();
}

void TCustomDBComboBoxEh::ShowFieldValue() {
  TField* f = Field();
  if (!f || (!FKeyItemsMode && !(FocusedEh() && DataLink()->CanModify()))) {
    if (!FKeyItemsMode) {
      TCustomDBEditEh::ShowFieldValue();
      FItemIndex = IndexOfItem(Text());
      return;
    }
    if (!f) {
      PutValue(IsUnbound() ? DataLink()->UnboundValue() : Null());
      SetModified(false);
      return;
    }
  }
  if (!EditMaskStored() && EditMask() != f->EditMask()) SetEditMask(f->EditMask());
  PutValue(f->IsNull() ? Null() : Variant(f->Text()));
  SetModified(false);
}

void TCustomDBComboBoxEh::WriteToLink() {
  if (FKeyItemsMode) {
    // No item chosen is no value, not an empty text.
    if (VarIsNull(FKeyValue) || VarIsEmpty(FKeyValue)) DataLink()->WriteValue(Null());
    else DataLink()->WriteText(VarToStr(FKeyValue));
    return;
  }
  TCustomDBEditEh::WriteToLink();
}

void TCustomDBComboBoxEh::PostToLink() {
  if (OnNotInList && FItemIndex == -1) {
    bool recheck = false;
    OnNotInList(this, Text(), recheck);
  }
  TCustomDBEditEh::PostToLink();
}

void TCustomDBComboBoxEh::RefreshReadOnlyState() {
  bool ro = !DataLink()->Editing() || DataLink()->ReadOnly() || FKeyItemsMode;
  TCustomEdit::SetReadOnly(ro);
}

void TCustomDBComboBoxEh::RefreshImageIndex() {
  FItemImageIndex = FItemIndex;
  if (OnGetItemImageIndex) OnGetItemImageIndex(this, FItemIndex, FItemImageIndex);
  TCustomDBEditEh::RefreshImageIndex();
}

String TCustomDBComboBoxEh::PaintCopyText() const {
  if (!FKeyItemsMode) return TCustomDBEditEh::PaintCopyText();
  String s;
  if (TField* f = Field()) {
    int i = FKeyItems->IndexOf(f->Text());
    if (i >= 0 && i < FUsableItemCount) s = FItems->Strings(i);
  }
  if (CharCase() == ecUpperCase) return AnsiUpperCase(s);
  if (CharCase() == ecLowerCase) return AnsiLowerCase(s);
  return s;
}

void TCustomDBComboBoxEh::MainButtonPressed(bool IsDown) {
  if (EditButton()->Style() != ebsUpDownEh) {
    TCustomDBEditEh::MainButtonPressed(IsDown);
    return;
  }
  if (DataLink()->CanModify()) SelectNext(!IsDown);
}

void TCustomDBComboBoxEh::Change() {
  TCustomDBEditEh::Change();
  if (!FKeyItemsMode) FItemIndex = IndexOfItem(Text());
}

// ---------------------------------------------------------------- own operations

void TCustomDBComboBoxEh::SetItemIndex(int Value) {
  PostGuarded([&] { PutItemIndex(Value); });
}

void TCustomDBComboBoxEh::PutItemIndex(int Index) {
  if (Index == FItemIndex) return;
  EnsureItems();
  if (Index < 0 || Index >= FUsableItemCount) {
    FItemIndex = -1;
    FKeyValue = Null();
  } else {
    FItemIndex = Index;
    if (FKeyItemsMode) FKeyValue = Variant(FKeyItems->Strings(Index));
  }
  RefreshImageIndex();
  FollowList();
  TCustomDBEditEh::PutText(FItemIndex >= 0 ? FItems->Strings(FItemIndex) : String());
}

int TCustomDBComboBoxEh::EnsureItems() {
  int n = FItems->Count();
  if (n == 0 && OnNeedItems) n = OnNeedItems(this);
  return n;
}

void TCustomDBComboBoxEh::SelectNext(bool Prior) {
  if (!DataLink()->CanModify()) return;
  int old = FItemIndex;
  int i = old;
  if (Prior) {
    if (old == -1) i = FUsableItemCount - 1;
    else if (old > 0) i = old - 1;
  } else {
    if (old == -1) i = FUsableItemCount > 0 ? 0 : -1;
    else if (old < FUsableItemCount - 1) i = old + 1;
  }
  if (i == old) return;
  SetItemIndex(i);
  SelectAll();
}

void TCustomDBComboBoxEh::ClearValue() {
  if (FKeyItemsMode) SetValue(Null());
  else Clear();
}

bool TCustomDBComboBoxEh::FindItemText(const String& S, bool Partial) {
  if (!DataLink()->CanModify()) return false;
  int old = FItemIndex;
  try {
    int found = -1;
    int len = ::Length(S);
    for (int i = 0; i < FUsableItemCount && found < 0; ++i) {
      String item = Partial ? LeftStr(FItems->Strings(i), len) : FItems->Strings(i);
      if (AnsiCompareText(item, S) == 0) found = i;
    }
    if (found >= 0) {
      PutItemIndex(found);
      // The completed tail stays selected.
      int end = ::Length(Text());
      SetSelStart(end);
      SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(std::min(len, end)));
    } else if (!FKeyItemsMode && old != -1) {
      PutItemIndex(-1);
    }
  } catch (const Exception&) {
    FItemIndex = old;
  }
  return FItemIndex != old;
}

void TCustomDBComboBoxEh::SearchTyped(const String& Typed) {
  if (!(Field() || IsUnbound()) || !DataLink()->CanModify()) return;
  if (Typed == "\b") {
    int len = ::Length(Text());
    if (SelLength() == len) {
      SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(len), static_cast<LPARAM>(std::max(0, len - 1)));
    } else {
      int from = std::max(0, std::min(SelStart(), CaretPos()) - 1);
      SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(len), static_cast<LPARAM>(from));
    }
    return;
  }
  int caret = std::min(SelStart(), CaretPos());
  String search = LeftStr(Text(), caret) + Typed;
  EnsureItems();
  FindItemText(search, true);
}

// ---------------------------------------------------------------- drop-down

void TCustomDBComboBoxEh::FollowList() {
  if (FListShown && FPopupList) FPopupList->SetItemIndex(FItemIndex);
}

void TCustomDBComboBoxEh::ListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button == mbLeft) CloseDropDown(PtInRect(FPopupList->ClientRect(), TPoint{X, Y}));
}

void TCustomDBComboBoxEh::OpenDropDown() {
  if (FListShown) return;
  TCustomDBEditEh::OpenDropDown();
  if (OnDropDown) OnDropDown(this);
  if (!FPopupList) {
    FPopupList = new TPopupListboxEh(this);
    FPopupList->SetVisible(false);
    FPopupList->SetCtl3D(true);
    FPopupList->OnMouseUp = TMouseEvent::Lambda(
        [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) { ListMouseUp(S, B, Sh, X, Y); });
    FPopupList->OnGetItemImage = TListGetImageIndexEventEh::Lambda([this](TObject*, int I, int& Image) {
      if (OnGetItemImageIndex) OnGetItemImageIndex(this, I, Image);
    });
  }
  EnsureItems();
  FPopupList->SetColor(Color());
  FPopupList->Font()->Assign(Font());
  FPopupList->SetImages(Images());
  int itemHeight = FontTextHeightEh(Font());
  if (Images() && EditImageObject()->UseImageHeight() && itemHeight <= Images()->Height())
    itemHeight = Images()->Height();
  FPopupList->SetItemHeight(itemHeight);
  FPopupList->Items()->Assign(FItems.get());
  FPopupList->SetItemIndex(FItemIndex);
  int rows = std::max(1, std::min(FDropDownBox->Rows(), FItems->Count()));
  TPopupListboxEh::SetRowsHeight(FPopupList, rows);
  if (FDropDownBox->Width() == -1) {
    int widest = 0;
    for (int i = 0; i < FItems->Count(); ++i) widest = std::max(widest, FontTextWidthEh(Font(), FItems->Strings(i)));
    FPopupList->HandleNeeded();
    FPopupList->SetClientWidth(widest + 5 + (Images() ? Images()->Width() + 4 : 0));
  } else {
    FPopupList->SetWidth(FDropDownBox->Width() > 0 ? FDropDownBox->Width() : Width());
  }
  if (FPopupList->Width() < Width()) FPopupList->SetWidth(Width());
  TPoint p = PlaceDropDownUnder(this, FPopupList, FDropDownBox->Align());
  FPopupList->SetWasResized(false);
  ShowPopupAt(FPopupList, p.X, p.Y, this, [this] { CloseDropDown(false); });
  FPopupList->SizeGrip()->ShowGrip(FDropDownBox->Sizable());
  FListShown = true;
  FDroppedDown = true;
}

void TCustomDBComboBoxEh::CloseDropDown(bool Accept) {
  if (!FListShown || !FPopupList) return;
  if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
  bool hadFocus = FPopupList->Focused();
  HidePopup(FPopupList);
  if (FPopupList->WasResized()) {
    // The grip keeps the size the user gave the list.
    FDropDownBox->SetRows(FPopupList->VisibleRows());
    FDropDownBox->SetWidth(FPopupList->Width());
  }
  if (hadFocus && CanFocus()) SetFocus();
  FListShown = false;
  TCustomDBEditEh::CloseDropDown(Accept);
  FDroppedDown = false;
  if (OnBeforeCloseUp) OnBeforeCloseUp(this, Accept);
  if (Accept && !DataLink()->ReadOnly() && DataLink()->Edit()) {
    PutItemIndex(FPopupList->ItemIndex());
    if (Focused()) SelectAll();
  }
  if (OnCloseUp) OnCloseUp(this, Accept);
}

// ---------------------------------------------------------------- keys and mouse

bool TCustomDBComboBoxEh::DragIntoList(TControl* From, int X, int Y) {
  if (!FListShown || !FPopupList || !From->MouseCapture()) return false;
  TPoint p = FPopupList->ScreenToClient(From->ClientToScreen({X, Y}));
  if (!PtInRect(FPopupList->ClientRect(), p)) return false;
  From->Perform(WM_CANCELMODE, 0, 0);
  SetMouseCapture(false);
  FPopupList->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(p.X, p.Y));
  return true;
}

void TCustomDBComboBoxEh::ButtonMouseMoved(TObject* Sender, TShiftState, int X, int Y) {
  if (ButtonControlCount() > 0 && Sender == ButtonControl(0)) DragIntoList(ButtonControl(0), X, Y);
}

void TCustomDBComboBoxEh::KeyDown(Word& Key, TShiftState Shift) {
  TCustomDBEditEh::KeyDown(Key, Shift);
  if (Key == 0) return;
  if ((Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssAlt) && !DataLink()->ReadOnly() &&
      DataLink()->CanModify() && !FListShown && (!WordWrap() || SelLength() == ::Length(Text()))) {
    SelectNext(Key == VK_UP);
    Key = 0;
    return;
  }
  if (Key == VK_DELETE && FKeyItemsMode && !DataLink()->ReadOnly() && DataLink()->CanModify() &&
      (IsUnbound() || (Field() && !Field()->Required()))) {
    DataLink()->Edit();
    PutValue(Null());
    DataLink()->SetModified();
    Key = 0;
  }
}

void TCustomDBComboBoxEh::KeyPress(Char& Key) {
  if (FListShown && (Key == 13 || Key == 27)) {
    CloseDropDown(Key == 13);
    Key = 0;
    return;
  }
  bool writable = !DataLink()->ReadOnly() && DataLink()->CanModify();
  if (FKeyItemsMode && Key == 8 && writable) {
    SearchTyped("\b");
    Key = 0;
    return;
  }
  if (Key > 31) {
    if (FDropDownBox->AutoDrop() && !FListShown) OpenDropDown();
    if (FKeyItemsMode && writable) {
      DataLink()->Edit();
      String typed = Utf32ToUtf8(std::u32string(1, static_cast<char32_t>(Key)));
      Key = 0;
      SearchTyped(typed);
      return;
    }
  }
  TCustomDBEditEh::KeyPress(Key);
}

// Typing into free text: at the end the text completes from the first item that begins with
// it; anywhere else the whole text is matched again.
void TCustomDBComboBoxEh::FreeTextCharTyped(Char Key) {
  if (Key == 0 || Key == '.' || (GetKeyState(VK_CONTROL) < 0)) return;
  int len = ::Length(Text());
  bool atEnd = SelStart() == len && SelLength() == 0;
  if (!atEnd || Key == 8) {
    int caret = SelStart();
    if (FindItemText(Text(), false)) SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(::Length(Text())),
                                                 static_cast<LPARAM>(caret));
    return;
  }
  SearchTyped(String());
}

bool TCustomDBComboBoxEh::ListKeys(TMessage& M) {
  if (!FListShown || !FPopupList) return false;
  if (M.Msg != WM_KEYDOWN && M.Msg != WM_CHAR && M.Msg != WM_SYSKEYDOWN) return false;
  if (M.Msg == WM_CHAR) return false;
  TShiftState shift = KeyboardStateToShiftState();
  bool nav = M.WParam == VK_PRIOR || M.WParam == VK_NEXT || M.WParam == VK_UP || M.WParam == VK_DOWN ||
             ((M.WParam == VK_END || M.WParam == VK_HOME) && shift.Contains(ssCtrl));
  if (!nav) return false;
  TShortCut sc = ShortCut(static_cast<Word>(M.WParam), shift);
  if (EditButton()->ShortCut() == sc) return false;
  for (int i = 0; i < EditButtons()->Count(); ++i)
    if (EditButtons()->Items(i)->ShortCut() == sc) return false;
  FPopupList->Perform(M.Msg, M.WParam, M.LParam);
  return true;
}

void TCustomDBComboBoxEh::WheelStep(bool Down, bool& Handled) {
  if (FListShown && FPopupList) {
    FPopupList->Perform(WM_MOUSEWHEEL, MakeWParam(0, static_cast<Word>(Down ? -120 : 120)), 0);
    Handled = true;
    return;
  }
  if (KeyboardStateToShiftState() * TShiftState{ssShift, ssCtrl, ssAlt} != TShiftState()) return;
  if (DataLink()->ReadOnly() || !DataLink()->Edit()) return;
  SelectNext(!Down);
  Handled = true;
}

bool TCustomDBComboBoxEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (TCustomMaskEdit::DoMouseWheelDown(Shift, MousePos)) return true;
  bool handled = false;
  WheelStep(true, handled);
  return handled;
}

bool TCustomDBComboBoxEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TCustomMaskEdit::DoMouseWheelUp(Shift, MousePos)) return true;
  bool handled = false;
  WheelStep(false, handled);
  return handled;
}

void TCustomDBComboBoxEh::Dispatch(TMessage& M) {
  if (ListKeys(M)) return;
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FKeyItemsMode) {
        TPoint p{GetXLParam(M.LParam), GetYLParam(M.LParam)};
        TRect area = TextAreaRect();
        bool onBody = p.X >= area.Left && p.X < area.Right;
        if (onBody && M.Msg == WM_LBUTTONDOWN && ButtonsUsable() && !FListShown) {
          if (CanFocus()) SetFocus();
          FSuppressClickCloseUp = true;
          OpenDropDown();
          SetMouseCapture(true);  // press, drag into the list, release there: a choice
          return;
        }
        if (onBody && FListShown && !FSuppressClickCloseUp) {
          CloseDropDown(false);
          return;
        }
        if (onBody) return;
      }
      break;
    case WM_LBUTTONUP:
      if (FKeyItemsMode) {
        if (MouseCapture()) SetMouseCapture(false);
        FSuppressClickCloseUp = false;
        return;
      }
      break;
    case WM_MOUSEMOVE:
      if (DragIntoList(this, GetXLParam(M.LParam), GetYLParam(M.LParam))) return;
      if (FKeyItemsMode) return;
      break;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      if (FKeyItemsMode) return;
      break;
    case WM_PASTE:
      if (FKeyItemsMode) {
        if (Clipboard()->HasFormat(CF_TEXT)) {
          DataLink()->Edit();
          SearchTyped(Clipboard()->AsText());
        }
        return;
      }
      break;
    case WM_KILLFOCUS:
      if (FListShown && FPopupList && reinterpret_cast<HWND>(M.WParam) != FPopupList->Handle()) CloseDropDown(false);
      break;
    case CM_CANCELMODE: {
      auto* sender = reinterpret_cast<TControl*>(M.LParam);
      if (FListShown && sender != this && sender != FPopupList && !(sender && sender->Parent() == this) &&
          !(sender && sender->Parent() == FPopupList))
        CloseDropDown(false);
      break;
    }
    case CM_WANTSPECIALKEY:
      if ((M.WParam == VK_RETURN || M.WParam == VK_ESCAPE) && FListShown) {
        M.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TCustomDBEditEh::Dispatch(M);
  if (M.Msg == WM_CHAR && !FKeyItemsMode) FreeTextCharTyped(static_cast<Char>(M.WParam));
}

// ================================================================ TDBComboBoxEh

template <class B> void TDBComboBoxEh::Published(B& b) {
  using C = TDBComboBoxEh;
  b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::AlignmentStored);
  b.Prop("AlwaysShowBorder", &C::AlwaysShowBorder, &C::SetAlwaysShowBorder).Default(false);
  PublishAnchors(b);
  b.Prop("AutoSelect", &C::AutoSelect, &C::SetAutoSelect).Default(true);
  PublishAutoSize(b).Default(true);
  PublishBiDiMode(b);
  b.Prop("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsSingle);
  b.Prop("CharCase", &C::CharCase, &C::SetCharCase).Default(ecNormal);
  PublishColor(b);
  PublishConstraints(b);
  PublishCtl3D(b);
  b.Prop("DataField", &C::DataField, &C::SetDataField);
  b.Prop("DataSource", &C::DataSource, &C::SetDataSource);
  PublishDragCursor(b);
  PublishDragKind(b);
  PublishDragMode(b);
  b.Prop("DropDownBox", &C::DropDownBox, &C::SetDropDownBox);
  PublishEnabled(b);
  b.Prop("EditButton", &C::EditButton, &C::SetEditButton);
  b.Prop("EditButtons", &C::EditButtons, &C::SetEditButtons);
  b.Prop("EditMask", &C::EditMaskEh, &C::SetEditMaskEh).Stored(&C::EditMaskStored);
  PublishFont(b);
  b.Prop("Flat", &C::Flat, &C::SetFlat).Default(false);
  b.Prop("HighlightRequired", &C::HighlightRequired, &C::SetHighlightRequired).Default(false);
  b.Prop("Images", &C::Images, &C::SetImages);
  PublishImeMode(b);
  PublishImeName(b);
  b.Prop("Items", &C::Items, &C::SetItems);
  b.Prop("KeyItems", &C::KeyItems, &C::SetKeyItems);
  b.Prop("MaxLength", &C::MaxLength, &C::SetMaxLength).Default(0);
  b.Prop("MRUList", &C::MRUList, &C::SetMRUList);
  PublishParentBiDiMode(b);
  PublishParentColor(b).Default(false);
  PublishParentCtl3D(b);
  PublishParentFont(b);
  PublishParentShowHint(b);
  PublishPopupMenu(b);
  b.Prop("ReadOnly", &C::ReadOnlyEh, &C::SetReadOnlyEh).Default(false);
  PublishShowHint(b);
  PublishTabOrder(b);
  PublishTabStop(b).Default(true);
  b.Prop("Text", &C::EditText, &C::SetEditTextEh).Stored(&C::TextStored);
  b.Prop("Tooltips", &C::Tooltips, &C::SetTooltips).Default(false);
  PublishVisible(b);
  b.Prop("WordWrap", &C::WordWrap, &C::SetWordWrap).Default(false);
  b.Prop("OnButtonClick", &C::OnButtonClick, &C::OnButtonClick);
  b.Prop("OnButtonDown", &C::OnButtonDown, &C::OnButtonDown);
  b.Prop("OnChange", &C::OnChange, &C::OnChange);
  b.Prop("OnCheckDrawRequiredState", &C::OnCheckDrawRequiredState, &C::OnCheckDrawRequiredState);
  PublishOnClick(b);
  b.Prop("OnCloseUp", &C::OnCloseUp, &C::OnCloseUp);
  PublishOnContextPopup(b);
  PublishOnDblClick(b);
  PublishOnDragDrop(b);
  PublishOnDragOver(b);
  b.Prop("OnDropDown", &C::OnDropDown, &C::OnDropDown);
  PublishOnEndDock(b);
  PublishOnEndDrag(b);
  PublishOnEnter(b);
  PublishOnExit(b);
  b.Prop("OnGetImageIndex", &C::OnGetImageIndex, &C::OnGetImageIndex);
  b.Prop("OnGetItemImageIndex", &C::OnGetItemImageIndex, &C::OnGetItemImageIndex);
  PublishOnKeyDown(b);
  PublishOnKeyPress(b);
  PublishOnKeyUp(b);
  PublishOnMouseDown(b);
  PublishOnMouseMove(b);
  PublishOnMouseUp(b);
  b.Prop("OnNotInList", &C::OnNotInList, &C::OnNotInList);
  b.Prop("OnUpdateData", &C::OnUpdateData, &C::OnUpdateData);
  PublishOnStartDock(b);
  PublishOnStartDrag(b);
}

KELM_PUBLISH(TDBComboBoxEh) { Published(b); }
