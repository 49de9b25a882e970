// The field link and the data-aware edit: value and text, the read-only rule, focus, keys,
// edit buttons, the recently-used list, the image, tool tips, in-place mode and painting.
#include "grid/DBEditEh.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Screen.h"

#include <cmath>

#include <algorithm>
#include <climits>

int FontTextHeightEh(TFont* Font) {
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  return tm.tmHeight;
}

int FontTextWidthEh(TFont* Font, const String& S) {
  if (S.empty()) return 0;
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TRect r{0, 0, 0, 0};
  DrawText(dc, S, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  return r.Width();
}

// ================================================================ TFieldDataLinkEh

TFieldDataLinkEh::TFieldDataLinkEh() { SetVisualControl(true); }

void TFieldDataLinkEh::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  TDataLink::SetDataSource(Value);
  UpdateUnbound();
}

void TFieldDataLinkEh::SetFieldName(const String& Value) {
  if (Value == FFieldName) return;
  FFieldName = Value;
  ResolveField();
  UpdateUnbound();
}

void TFieldDataLinkEh::UpdateUnbound() {
  bool unbound = !DataSource() && FFieldName.empty();
  if (unbound == FUnbound) return;
  FUnbound = unbound;
  FUnboundValue = Null();
  ResolveField();
  if (FUnbound) RecordChanged(nullptr);
}

void TFieldDataLinkEh::ResolveField() {
  FFields.clear();
  if (TDataLink::Active() && !FFieldName.empty()) {
    TDataSet* ds = DataSet();
    if (FControl) {
      TField* f = ds->FindField(FFieldName);
      if (!f) DatabaseErrorFmt(SFieldNotFound, {FFieldName}, FControl);
      FFields.push_back(f);
    } else {
      FFields.push_back(ds->FieldByName(FFieldName));
    }
  }
  UpdateEditing();
  RecordChanged(nullptr);
}

void TFieldDataLinkEh::UpdateEditing() {
  bool editing = FUnbound ? FEditing
                          : TDataLink::Editing() && CanModify();
  if (editing == FEditing) return;
  FEditing = editing;
  FModified = false;
  if (OnEditingChange) OnEditingChange(this);
}

bool TFieldDataLinkEh::Edit() {
  if (FUnbound) {
    if (!FEditing && !ReadOnly()) {
      FEditing = true;
      FModified = false;
      if (OnEditingChange) OnEditingChange(this);
    }
  } else if (CanModify()) {
    TDataLink::Edit();
  }
  return FEditing;
}

void TFieldDataLinkEh::WriteText(const String& S) {
  if (FUnbound) {
    FUnboundValue = Variant(S);
    RecordChanged(nullptr);
    return;
  }
  TField* f = Field();
  if (!f) return;
  if (f->DataType() == ftMemo) f->SetAsString(S);
  else f->SetText(S);
}

void TFieldDataLinkEh::WriteValue(const Variant& V) {
  if (FUnbound) {
    FUnboundValue = V;
    RecordChanged(nullptr);
    return;
  }
  if (TField* f = Field()) f->SetValue(V);
}

void TFieldDataLinkEh::ActiveChanged() {
  ResolveField();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLinkEh::LayoutChanged() { ResolveField(); }

void TFieldDataLinkEh::EditingChanged() { UpdateEditing(); }

void TFieldDataLinkEh::RecordChanged(TField* AField) {
  if (AField && AField != Field()) return;
  if (OnDataChange) OnDataChange(this);
  FModified = false;
}

void TFieldDataLinkEh::UpdateData() {
  if (FUnbound) {
    if (FModified && OnUpdateData) OnUpdateData(this);
    FEditing = false;
  } else if (FModified && Field() && OnUpdateData) {
    OnUpdateData(this);
  }
  FModified = false;
}

void TFieldDataLinkEh::FocusControl(TField** AField) {
  if (!AField || !*AField || *AField != Field()) return;
  auto* w = dynamic_cast<TWinControl*>(FControl);
  if (!w || !w->CanFocus()) return;
  *AField = nullptr;
  w->SetFocus();
}

void TFieldDataLinkEh::DataEvent(TDataEvent Event, NativeInt Info) {
  if (Event == deDisabledStateChange) {
    // A dataset that closed while its controls were held may free its fields: forget ours
    // until it is active again.
    if (Info) ResolveField();
    else FFields.clear();
  }
  TDataLink::DataEvent(Event, Info);
}

// ================================================================ TEditImageEh

KELM_PUBLISH(TEditImageEh) { Published(b); }

void TEditImageEh::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TEditImageEh*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  SetImages(s->Images());
  SetImageIndex(s->ImageIndex());
  SetVisible(s->Visible());
  SetWidth(s->Width());
}

void TEditImageEh::Changed() {
  if (FEdit && FEdit->HandleAllocated()) FEdit->Perform(CM_IMAGESETUPCHANGED, 0, 0);
}

void TEditImageEh::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  if (FEdit) FEdit->Invalidate();
}

void TEditImageEh::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FEdit) AssignReference(FEdit, FImages, Value);
  else FImages = Value;
  Changed();
}

void TEditImageEh::SetUseImageHeight(bool Value) {
  if (FUseImageHeight == Value) return;
  FUseImageHeight = Value;
  Changed();
}

void TEditImageEh::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed();
}

void TEditImageEh::SetWidth(int Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  Changed();
}

// ================================================================ TCustomDBEditEh

namespace {

// Entry numbers in the Tag of each button control.
int EntryOf(TObject* Sender) {
  auto* c = dynamic_cast<TControl*>(Sender);
  return c ? static_cast<int>(c->Tag()) : -1;
}

bool IsStringField(TField* f) {
  return f && (f->DataType() == ftString || f->DataType() == ftWideString || f->DataType() == ftFixedChar);
}

String FieldShownText(TField* f, bool Editing) {
  if (f->DataType() == ftMemo) return f->AsString();
  return Editing ? f->Text() : f->DisplayText();
}

}  // namespace

KELM_PUBLISH(TCustomDBEditEh) {}

TCustomDBEditEh::TCustomDBEditEh(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  TControlStyle style = ControlStyle();
  style += TControlStyle{csCaptureMouse, csReplicatable};
  SetControlStyle(style);
  FDataLink = std::make_unique<TFieldDataLinkEh>();
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TCustomDBEditEh::DataChangeHook);
  FDataLink->OnEditingChange = TNotifyEvent(this, &TCustomDBEditEh::EditingChangeHook);
  FDataLink->OnUpdateData = TNotifyEvent(this, &TCustomDBEditEh::UpdateDataHook);
  FDataLink->OnActiveChange = TNotifyEvent(this, &TCustomDBEditEh::ActiveChangeHook);
  FEditButton.reset(MakeMainButton());
  FEditButton->OnChanged = TNotifyEvent(this, &TCustomDBEditEh::ButtonsChanged);
  FEditButtons = std::make_unique<TEditButtonsEh>(this);
  FEditButtons->OnChanged = TNotifyEvent(this, &TCustomDBEditEh::ButtonsChanged);
  FEditImage = std::make_unique<TEditImageEh>(this);
  FMRUList = std::make_unique<TMRUListEh>(this);
  FMRUList->OnDropDownRequest = TNotifyEvent::Lambda([this](TObject*) { OpenMRUList(); });
  FMRUList->OnCloseUpRequest = TCloseUpRequestEventEh::Lambda([this](TObject*, bool Accept) { CloseMRUList(Accept); });
  RefreshReadOnly();
}

TCustomDBEditEh::~TCustomDBEditEh() {
  Destroying();
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnEditingChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
  FDataLink->OnActiveChange = nullptr;
  FEditButton->OnChanged = nullptr;
  FEditButtons->OnChanged = nullptr;
  FMRUList->OnDropDownRequest = nullptr;
  FMRUList->OnCloseUpRequest = nullptr;
  FDataLink.reset();
}

TEditButtonEh* TCustomDBEditEh::MakeMainButton() { return new TEditButtonEh(this); }

void TCustomDBEditEh::ReplaceMainButton(TEditButtonEh* Button) {
  FEditButton->OnChanged = nullptr;
  FEditButton.reset(Button);
  FEditButton->OnChanged = TNotifyEvent(this, &TCustomDBEditEh::ButtonsChanged);
  ButtonsChanged(nullptr);
}

TEditButtonControlEh* TCustomDBEditEh::MakeButtonControl() {
  auto* b = new TEditButtonControlEh(this);
  b->SetBounds(0, 0, 10, 17);
  return b;
}

void TCustomDBEditEh::Loaded() {
  TCustomMaskEdit::Loaded();
  ClearFieldMaxLength();
  UpdateActiveBorder();
}

// ---------------------------------------------------------------- properties

void TCustomDBEditEh::SetAlignment(TAlignment Value) {
  FAlignmentAssigned = true;
  TCustomEdit::SetAlignment(Value);
  Invalidate();
}

void TCustomDBEditEh::SetAlwaysShowBorder(bool Value) {
  if (FAlwaysShowBorder == Value) return;
  FAlwaysShowBorder = Value;
  UpdateActiveBorder();
}

void TCustomDBEditEh::SetDataField(const String& Value) {
  FDataLink->SetFieldName(Value);
  if (!ComponentState().Contains(csDesigning)) ClearFieldMaxLength();
}

void TCustomDBEditEh::SetDataSource(TDataSource* Value) {
  if (Value == FDataLink->DataSource()) return;
  if (TDataSource* old = FDataLink->DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  ShowFieldValue();
}

void TCustomDBEditEh::SetEditMaskEh(const String& Value) {
  FEditMaskAssigned = true;
  SetEditMask(Value);
}

void TCustomDBEditEh::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomDBEditEh::SetHighlightRequired(bool Value) {
  FHighlightRequired = Value;
  Invalidate();
}

void TCustomDBEditEh::SetReadOnlyEh(bool Value) {
  FDataLink->SetReadOnly(Value);
  RefreshReadOnly();
}

void TCustomDBEditEh::SetTooltips(bool Value) { FTooltips = Value; }

void TCustomDBEditEh::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomDBEditEh::SetInplaceEditHolder(TWinControl* Value) {
  if (!Value) {
    FHolderControl = nullptr;
    FHolder = nullptr;
    return;
  }
  auto* holder = dynamic_cast<IInplaceEditHolderEh*>(Value);
  if (!holder) throw Exception("InplaceEditHolder have to support IInplaceEditHolderEh interface");
  FHolderControl = Value;
  FHolder = holder;
  RefreshReadOnly();
}

// ---------------------------------------------------------------- value and text

void TCustomDBEditEh::PostGuarded(const std::function<void()>& Put) {
  if (ComponentState().Contains(csDesigning) && !IsUnbound()) return;
  try {
    if (!IsUnbound()) FDataLink->Edit();
    Put();
    if (!FPostingToField) PostToLink();
  } catch (...) {
    ResetAfterFailure();
    throw;
  }
}

void TCustomDBEditEh::SetEditTextEh(const String& Value) {
  PostGuarded([&] { PutText(Value); });
}

void TCustomDBEditEh::SetValue(const Variant& Value) {
  PostGuarded([&] { PutValue(Value); });
}

void TCustomDBEditEh::PutText(const String& S) {
  TRestore showing(FShowingValue, true);
  SetText(S);
}

void TCustomDBEditEh::PutValue(const Variant& V) {
  String s;
  if (!VarIsNull(V) && !VarIsEmpty(V) && !VarIsArray(V)) {
    try {
      s = VarToStr(V);
    } catch (const Exception&) {
      s.clear();
    }
  }
  PutText(s);
}

TAlignment TCustomDBEditEh::FieldAlignment() const {
  TField* f = Field();
  return f ? f->Alignment() : taLeftJustify;
}

String TCustomDBEditEh::FieldEditMask() const {
  TField* f = Field();
  return f ? f->EditMask() : String();
}

void TCustomDBEditEh::ShowFieldValue() {
  TField* f = Field();
  TRestore showing(FShowingValue, true);
  if (f) {
    if (!FEditMaskAssigned && EditMask() != f->EditMask()) SetEditMask(f->EditMask());
    if (!ComponentState().Contains(csDesigning) && IsStringField(f) && MaxLength() == 0) SetMaxLength(f->Size());
    PutText(FieldShownText(f, FFocused && FDataLink->CanModify()));
  } else if (IsUnbound()) {
    if (!FEditMaskAssigned) SetEditMask(String());
    const Variant& v = FDataLink->UnboundValue();
    PutText(VarIsNull(v) || VarIsEmpty(v) ? String() : VarToStr(v));
  } else {
    if (!FEditMaskAssigned) SetEditMask(String());
    PutText(String());
  }
  RefreshReadOnly();
  SetModified(false);
}

void TCustomDBEditEh::ClearFieldMaxLength() {
  if (MaxLength() <= 0 || !DataSource() || !DataSource()->DataSet()) return;
  TField* f = DataSource()->DataSet()->FindField(DataField());
  if (IsStringField(f) && f->Size() == MaxLength()) SetMaxLength(0);
}

void TCustomDBEditEh::PostToLink() {
  if (FFocused) ValidateEdit();
  bool handled = false;
  {
    TRestore posting(FPostingToField, true);
    if (OnUpdateData) OnUpdateData(this, handled);
    if (!handled) WriteToLink();
  }
  SetModified(false);
  if (FMRUList->AutoAdd() && FMRUList->Active() && Showing()) FMRUList->Remember(Text());
}

void TCustomDBEditEh::WriteToLink() {
  TRestore posting(FPostingToField, true);
  FDataLink->WriteText(IsUnbound() ? TCustomMaskEdit::EditText() : Text());
}

void TCustomDBEditEh::Change() {
  if (!FShowingValue) FDataLink->SetModified();
  TCustomMaskEdit::Change();
  RefreshImageIndex();
}

// ---------------------------------------------------------------- link hooks

void TCustomDBEditEh::DataChangeHook(TObject*) {
  ShowFieldValue();
  RefreshButtonStates();
}

void TCustomDBEditEh::EditingChangeHook(TObject*) { RefreshReadOnly(); }

void TCustomDBEditEh::UpdateDataHook(TObject*) { PostToLink(); }

void TCustomDBEditEh::ActiveChangeHook(TObject*) { LinkActivated(); }

void TCustomDBEditEh::LinkActivated() {
  if (!ComponentState().Contains(csDesigning)) ClearFieldMaxLength();
  RefreshButtonStates();
}

// ---------------------------------------------------------------- read-only rule

void TCustomDBEditEh::RefreshReadOnly() { RefreshReadOnlyState(); }

void TCustomDBEditEh::RefreshReadOnlyState() {
  bool ro = FDataLink->ReadOnly() || (!FDataLink->Editing() && !OnUpdateData);
  if (!ro && FHolder && !FHolder->InplaceEditCanModify(this)) ro = true;
  TCustomEdit::SetReadOnly(ro);
}

bool TCustomDBEditEh::AcceptsChar(Char Key) const {
  TField* f = Field();
  return IsUnbound() || !f || f->IsValidChar(Key);
}

// ---------------------------------------------------------------- focus

void TCustomDBEditEh::SetFocusedState(bool F) {
  if (FFocused == F) return;
  FFocused = F;
  if (Alignment() != taLeftJustify && !IsMasked()) Invalidate();
  FDataLink->Reset();
}

void TCustomDBEditEh::DoEnter() {
  SetFocusedState(true);
  TCustomMaskEdit::DoEnter();
  if (AutoSelect() && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
  // An input method composes into the window before any key has put the record into edit
  // state, so the window is writable at once.
  if (SysLocale().FarEast && FDataLink->CanModify()) TCustomEdit::SetReadOnly(false);
  UpdateActiveBorder();
}

void TCustomDBEditEh::NudgeCaret() {
  if (!IsMasked() || SelLength() != 0 || !HandleAllocated()) return;
  int p = std::max(0, SelStart() - 2);
  SetCursor(p);
}

void TCustomDBEditEh::HandleExit(TMessage&) {
  if (IsMasked() && !ComponentState().Contains(csDesigning)) {
    ValidateEdit();
    NudgeCaret();
  }
  // OnExit sees the text before it is posted.
  DoExit();
  try {
    FDataLink->UpdateRecord();
  } catch (...) {
    // The refused text stays as typed, all selected, and the edit keeps the focus.
    SelectAll();
    if (CanFocus()) SetFocus();
    throw;
  }
  SetFocusedState(false);
  NudgeCaret();
  UpdateActiveBorder();
}

void TCustomDBEditEh::UpdateActiveBorder() {
  if (ComponentState().Contains(csLoading)) return;
  bool shown = ComponentState().Contains(csDesigning) || Focused() || FMouseAbove || FAlwaysShowBorder;
  if (shown == FActiveBorderShown) return;
  FActiveBorderShown = shown;
  RefreshButtonStates();
  if (HandleAllocated()) Perform(WM_NCPAINT, 0, 0);
}

// ---------------------------------------------------------------- keys

void TCustomDBEditEh::KeyDown(Word& Key, TShiftState Shift) {
  if (FHolder) {
    FHolder->InplaceEditKeyDown(this, Key, Shift);
    if (Key == 0) return;
  }
  TCustomMaskEdit::KeyDown(Key, Shift);
  if (Key == 0) return;
  TShortCut sc = ShortCut(Key, Shift);
  for (int i = 0; i < ButtonControlCount() && sc != scNone; ++i) {
    TEditButtonEh* d = ButtonDescription(i);
    if (!d || d->ShortCut() != sc || !ButtonControl(i)->Visible()) continue;
    if (i == 0 && !ButtonsUsable()) continue;
    bool repeat = false, handled = false;
    ButtonPressed(ButtonControl(i), false, repeat, handled);
    ButtonControl(i)->Click();
    Key = 0;
    return;
  }
  if (Key == 'A' && Shift == TShiftState{ssCtrl}) {
    SelectAll();
    Key = 0;
    return;
  }
  if ((Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift))) && !FDataLink->ReadOnly())
    FDataLink->Edit();
}

void TCustomDBEditEh::KeyUp(Word& Key, TShiftState Shift) {
  if (FHolder) {
    FHolder->InplaceEditKeyUp(this, Key, Shift);
    if (Key == 0) return;
  }
  TCustomMaskEdit::KeyUp(Key, Shift);
}

void TCustomDBEditEh::KeyPress(Char& Key) {
  if (FHolder) {
    FHolder->InplaceEditKeyPress(this, Key);
    if (Key == 0) return;
  }
  if (Key > 31 && !IsUnbound() && Field() && !AcceptsChar(Key)) {
    Beep();
    Key = 0;
    return;
  }
  bool writes = Key == 8 || Key == 22 || Key == 24 || Key >= 32;
  if (writes && !FDataLink->ReadOnly()) FDataLink->Edit();
  if (Key == 27) {
    FDataLink->Reset();
    SelectAll();
    Key = 0;
    return;
  }
  TCustomMaskEdit::KeyPress(Key);
}

bool TCustomDBEditEh::MRUListKeys(TMessage& M) {
  if (!FMRUList->IsDroppedDown() || !FMRUListBox) return false;
  TShiftState shift = KeyboardStateToShiftState();
  if (M.Msg == WM_KEYDOWN || M.Msg == WM_SYSKEYDOWN || M.Msg == WM_CHAR) {
    bool nav = M.Msg != WM_CHAR &&
               (((M.WParam == VK_UP || M.WParam == VK_DOWN || M.WParam == VK_PRIOR || M.WParam == VK_NEXT) &&
                 !shift.Contains(ssAlt)) ||
                ((M.WParam == VK_HOME || M.WParam == VK_END) && shift.Contains(ssCtrl)));
    if (nav) {
      FMRUListBox->Perform(M.Msg, M.WParam, M.LParam);
      return true;
    }
  }
  if (M.Msg == WM_KEYDOWN && (M.WParam == VK_RETURN || M.WParam == VK_ESCAPE)) return true;
  if (M.Msg == WM_CHAR && (M.WParam == 13 || M.WParam == 27)) {
    CloseMRUList(M.WParam == 13);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- edit buttons

TEditButtonEh* TCustomDBEditEh::ButtonDescription(int Entry) const {
  if (Entry == 0) return FEditButton.get();
  if (Entry > 0 && Entry - 1 < FEditButtons->Count()) return FEditButtons->Items(Entry - 1);
  return nullptr;
}

bool TCustomDBEditEh::ButtonsUsable() const { return Enabled() && FDataLink->Active(); }

void TCustomDBEditEh::LayoutButtons() {
  std::size_t n = static_cast<std::size_t>(FEditButtons->Count()) + 1;
  while (FButtons.size() > n) {
    delete FButtons.back().Button;
    delete FButtons.back().Separator;
    FButtons.pop_back();
  }
  while (FButtons.size() < n) {
    TButtonEntry e;
    e.Button = MakeButtonControl();
    e.Button->SetParent(this);
    e.Separator = new TShape(this);
    e.Separator->SetParent(this);
    e.Button->OnDown = TButtonDownEventEh::Lambda(
        [this](TObject* S, bool Top, bool& Repeat, bool& Handled) { ButtonPressed(S, Top, Repeat, Handled); });
    e.Button->OnClick = TNotifyEvent::Lambda([this](TObject* S) { ButtonClicked(S); });
    e.Button->OnMouseUp = TMouseEvent::Lambda(
        [this](TObject* S, TMouseButton, TShiftState, int X, int Y) { ButtonMouseReleased(S, X, Y); });
    e.Button->OnMouseMove = TMouseMoveEvent::Lambda(
        [this](TObject* S, TShiftState Sh, int X, int Y) { ButtonMouseMoved(S, Sh, X, Y); });
    FButtons.push_back(e);
  }
  int client = ClientHeight();
  int rowHeight = client;
  std::vector<int> widths(n);
  for (std::size_t i = 0; i < n; ++i) {
    TEditButtonEh* d = ButtonDescription(static_cast<int>(i));
    TButtonEntry& e = FButtons[i];
    bool visible = d->Visible();
    e.Button->SetStyle(d->Style());
    e.Button->Glyph()->Assign(d->Glyph());
    e.Button->SetNumGlyphs(d->NumGlyphs());
    e.Button->SetHint(d->Hint());
    e.Button->SetFlat(FFlat);
    e.Button->SetVisible(visible);
    e.Button->SetTag(static_cast<NativeInt>(i));
    int w = !visible ? 0 : d->Width() > 0 ? d->Width() : FFlat ? FlatButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
    widths[i] = w;
    if (visible) {
      int h = (w * 3 + 1) / 2 < client ? EditButtonHeightFor(w, FFlat) : client;
      rowHeight = std::min(rowHeight, h);
    }
    bool sep = visible && FFlat;
    e.Separator->SetVisible(sep);
    e.Separator->Pen()->SetStyle(psClear);
  }
  bool rtl = UseRightToLeftAlignment();
  int x = rtl ? 0 : ClientWidth();
  for (std::size_t k = n; k-- > 0;) {
    TButtonEntry& e = FButtons[k];
    int w = widths[k];
    int s = e.Separator->Visible() ? 1 : 0;
    if (rtl) {
      e.Button->SetBounds(x, 0, w, rowHeight);
      e.Separator->SetBounds(x + w, 0, s, rowHeight);
      x += w + s;
    } else {
      e.Button->SetBounds(x - w, 0, w, rowHeight);
      e.Separator->SetBounds(x - w - s, 0, s, rowHeight);
      x -= w + s;
    }
  }
  FButtonWidth = rtl ? x : ClientWidth() - x;
  FButtonHeight = rowHeight;
}

void TCustomDBEditEh::RefreshButtonStates() {
  bool usable = ButtonsUsable();
  for (TButtonEntry& e : FButtons) {
    e.Button->SetEnabled(usable);
    e.Button->SetActive(FActiveBorderShown);
    e.Separator->Brush()->SetColor(FActiveBorderShown ? clBtnFace : Color());
  }
}

void TCustomDBEditEh::ButtonsChanged(TObject*) {
  if (!HandleAllocated()) return;
  LayoutButtons();
  RefreshButtonStates();
  ApplyTextArea();
  Invalidate();
}

void TCustomDBEditEh::ButtonPressed(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled) {
  if (CanFocus() && !Focused()) SetFocus();
  Handled = false;
  int entry = EntryOf(Sender);
  TMsg pending;
  // The press that closed the button's menu must not open it again.
  if (HandleAllocated() && PeekMessage(pending, Handle(), CM_MENUCLOSED, CM_MENUCLOSED, PM_NOREMOVE) &&
      static_cast<int>(pending.wParam) == entry) {
    DiscardPendingMessage(Handle(), CM_MENUCLOSED);
    return;
  }
  TEditButtonEh* d = ButtonDescription(entry);
  if (!d) return;
  if (entry == 0 && OnButtonDown) OnButtonDown(this, TopButton, AutoRepeat, Handled);
  if (entry != 0 && d->OnDown) d->OnDown(d, TopButton, AutoRepeat, Handled);
  if (Handled) return;
  if (d->DropdownMenu()) {
    auto* b = ButtonControl(entry);
    TPoint p = b->ClientToScreen({0, b->Height()});
    if (d->DropdownMenu()->Alignment() == paRight) p.X += b->Width();
    d->DropdownMenu()->Popup(p.X, p.Y);
    PostMessage(Handle(), CM_MENUCLOSED, static_cast<WPARAM>(entry), 0);
    b->Perform(WM_LBUTTONUP, 0, 0);
    return;
  }
  if (entry == 0) MainButtonPressed(!TopButton);
}

void TCustomDBEditEh::MainButtonPressed(bool) {
  if (EditButton()->Style() == ebsUpDownEh || FDroppedDown) return;
  OpenDropDown();
  FSuppressClickCloseUp = true;
}

void TCustomDBEditEh::ButtonClicked(TObject* Sender) {
  int entry = EntryOf(Sender);
  bool handled = false;
  if (entry == 0) {
    if (OnButtonClick) OnButtonClick(this, handled);
  } else if (TEditButtonEh* d = ButtonDescription(entry); d && d->OnClick) {
    d->OnClick(d, handled);
  }
  if (!handled && FDroppedDown && !FSuppressClickCloseUp && entry == 0) CloseDropDown(false);
  FSuppressClickCloseUp = false;
}

void TCustomDBEditEh::ButtonMouseReleased(TObject* Sender, int X, int Y) {
  auto* c = dynamic_cast<TControl*>(Sender);
  if (c && !PtInRect(c->ClientRect(), TPoint{X, Y})) FSuppressClickCloseUp = false;
}

void TCustomDBEditEh::OpenDropDown() {
  if (ButtonControlCount() > 0) ButtonControl(0)->SetAlwaysDown(true);
  CloseMRUList(false);
}

void TCustomDBEditEh::CloseDropDown(bool) {
  if (ButtonControlCount() > 0) ButtonControl(0)->SetAlwaysDown(false);
}

// ---------------------------------------------------------------- the recently-used list

String TCustomDBEditEh::BlankText() const {
  return EditMask().empty() ? String() : FormatMaskText(EditMask(), String());
}

void TCustomDBEditEh::TextEditedByUser() {
  RefreshImageIndex();
  String blank = BlankText();
  if (FMRUList->IsDroppedDown() && Text() == blank) {
    CloseMRUList(false);
    return;
  }
  if (FMRUList->Active() && Showing() && !FDroppedDown && Text() != blank) OpenMRUList();
}

bool TCustomDBEditEh::AcceptMRUItem(const String& Item) {
  String head = LeftStr(Item, ::Length(Text()));
  bool accept = FMRUList->CaseSensitive() ? head == Text() : AnsiCompareText(head, Text()) == 0;
  if (FMRUList->OnAcceptItem) FMRUList->OnAcceptItem(this, Item, accept);
  return accept;
}

void TCustomDBEditEh::MRUListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button == mbLeft) CloseMRUList(PtInRect(FMRUListBox->ClientRect(), TPoint{X, Y}));
}

void TCustomDBEditEh::OpenMRUList() {
  if (!FMRUListBox) {
    FMRUListBox = new TMRUListboxEh(this);
    FMRUListBox->SetVisible(false);
    FMRUListBox->SetCtl3D(false);
    FMRUListBox->SetSorted(true);
    FMRUListBox->OnMouseUp = TMouseEvent::Lambda(
        [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) { MRUListMouseUp(S, B, Sh, X, Y); });
    FMRUListBox->SizeGrip()->OnParentSized = TNotifyEvent::Lambda([this](TObject*) {
      if (FMRUList->IsDroppedDown()) FMRUList->SetRows(FMRUListBox->VisibleRows());
    });
  }
  TMRUListboxEh* box = FMRUListBox;
  box->Items()->Clear();
  bool complete = FMRUList->CollectMatches(box->Items(), Text());
  for (int i = box->Items()->Count() - 1; i >= 0; --i)
    if (!AcceptMRUItem(box->Items()->Strings(i))) box->Items()->Delete(i);
  if (!complete) CloseMRUList(false);
  box->ShowMatches(FMRUList.get(), this, TextAreaRect(), [this] { CloseMRUList(false); });
}

void TCustomDBEditEh::CloseMRUList(bool Accept) {
  if (!FMRUList->IsDroppedDown() || !FMRUListBox) return;
  if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
  bool hadFocus = FMRUListBox->Focused();
  HidePopup(FMRUListBox);
  if (hadFocus && CanFocus()) SetFocus();
  FMRUList->SetDroppedDown(false);
  if (!Accept || FDataLink->ReadOnly() || !FDataLink->Edit()) return;
  int i = FMRUListBox->ItemIndex();
  if (i >= 0) {
    SetText(FMRUListBox->Items()->Strings(i));
    FDataLink->SetModified();
  }
  if (Focused()) SelectAll();
}

bool TCustomDBEditEh::IsOwnPopup(HWND Window) const {
  if (!Window || !FMRUListBox || !FMRUListBox->HandleAllocated()) return false;
  for (TWinControl* p = FindControl(Window); p; p = p->Parent())
    if (p == FMRUListBox) return true;
  return false;
}

// ---------------------------------------------------------------- image

void TCustomDBEditEh::RefreshImageIndex() {
  if (!FEditImage->Visible() || !FEditImage->Images()) return;
  int index = ImageIndexDefault();
  Variant v = Value();
  switch (VarType(v)) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency: index = static_cast<int>(std::lround(v.AsDouble())); break;
    default: break;
  }
  if (OnGetImageIndex) OnGetImageIndex(this, index);
  FEditImage->SetImageIndex(index);
}

// ---------------------------------------------------------------- window and areas

void TCustomDBEditEh::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  if (AutoSize() && BorderStyle() == bsSingle) FitHeightToFont();
  UpdateActiveBorder();
  LayoutButtons();
  RefreshButtonStates();
  FImageAreaWidth = 0;
  if (FEditImage->Visible() && FEditImage->Images())
    FImageAreaWidth = (FEditImage->Width() > 0 ? FEditImage->Width() : FEditImage->Images()->Width()) + 4;
  RefreshImageIndex();
  ApplyTextArea();
}

void TCustomDBEditEh::Resize() {
  TCustomMaskEdit::Resize();
  if (!HandleAllocated()) return;
  LayoutButtons();
  ApplyTextArea();
}

TRect TCustomDBEditEh::TextAreaRect() const {
  TRect r = ClientRect();
  if (UseRightToLeftAlignment()) {
    r.Left += FButtonWidth;
    r.Right -= FImageAreaWidth;
  } else {
    r.Right -= FButtonWidth;
    r.Left += FImageAreaWidth;
  }
  return r;
}

void TCustomDBEditEh::ApplyTextArea() {
  if (!HandleAllocated()) return;
  TRect r = TextAreaRect();
  SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
  SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

void TCustomDBEditEh::FitHeightToFont() {
  int border = GetSystemMetrics(SM_CYBORDER);
  int factor = Ctl3D() && !FFlat ? 8 : Ctl3D() || !FFlat ? 6 : 4;
  int h = FontTextHeightEh(Font());
  if (TCustomImageList* il = FEditImage->Images(); il && FEditImage->UseImageHeight() && il->Height() > h)
    h = il->Height();
  SetHeight(border * factor + h);
}

// ---------------------------------------------------------------- painting

String TCustomDBEditEh::PaintCopyText() const {
  if (ComponentState().Contains(csDesigning) && IsUnbound()) return Name();
  if (ControlState().Contains(csPaintCopy) && Field()) {
    String s = Field()->DisplayText();
    if (CharCase() == ecUpperCase) return AnsiUpperCase(s);
    if (CharCase() == ecLowerCase) return AnsiLowerCase(s);
    return s;
  }
  return Text();
}

bool TCustomDBEditEh::RequiredMarkState() {
  bool draw = false;
  if (FHighlightRequired && FDataLink->Active()) {
    if (IsUnbound()) {
      draw = VarIsNull(Value()) || Text().empty();
    } else if (TField* f = Field()) {
      TDataSetState s = f->DataSet()->State();
      draw = (s == dsEdit || s == dsInsert) && f->Required() && f->IsNull();
    }
  }
  if (OnCheckDrawRequiredState) OnCheckDrawRequiredState(this, draw);
  return draw;
}

void TCustomDBEditEh::PaintRequiredMark(HDC DC) {
  if (!RequiredMarkState()) return;
  TRect tr = TextAreaRect();
  TCanvas c;
  c.SetHandle(DC);
  c.Pen()->SetColor(clRed);
  DrawDottedLine(&c, TPoint{tr.Left + 2, ClientHeight() - 1}, tr.Right - 3 - (tr.Left + 2), false, true);
  c.SetHandle(nullptr);
}

void TCustomDBEditEh::PaintImage(HDC DC) {
  if (!DC || FImageAreaWidth <= 0 || FEditImage->ImageIndex() < 0) return;
  TRect area = UseRightToLeftAlignment() ? Rect(ClientWidth() - FImageAreaWidth, 0, ClientWidth(), ClientHeight())
                                         : Rect(0, 0, FImageAreaWidth, ClientHeight());
  InflateRect(area, -2, -1);
  TCanvas c;
  c.SetHandle(DC);
  DrawImageCentered(&c, area, FEditImage->Images(), false, FEditImage->ImageIndex());
  c.SetHandle(nullptr);
}

void TCustomDBEditEh::PaintSelf(TMessage& M) {
  auto dc = reinterpret_cast<HDC>(M.WParam);
  bool own = Alignment() == taLeftJustify || FFocused || FWordWrap;
  if (ControlState().Contains(csPaintCopy)) own = false;
  if (own || !dc) {
    TCustomMaskEdit::Dispatch(M);
    if (dc) {
      PaintImage(dc);
      PaintRequiredMark(dc);
    }
    return;
  }
  // Right or centred text is drawn by the edit itself: the window edits left-aligned.
  TCanvas c;
  c.SetHandle(dc);
  TRect client = ClientRect();
  c.Brush()->SetColor(Color());
  c.FillRect(client);
  c.Font()->Assign(Font());
  if (!Enabled()) c.Font()->SetColor(clGrayText);
  String s = PaintCopyText();
  if (PasswordChar() != 0) s = String(static_cast<std::size_t>(::Length(s)), static_cast<char>(PasswordChar()));
  TRect area = TextAreaRect();
  int margin = BorderStyle() == bsSingle ? (Ctl3D() ? 1 : 2) : 0;
  int w = c.TextWidth(s);
  int x = Alignment() == taRightJustify ? area.Right - 1 - w - margin - 1 : (area.Right - 1 + area.Left - w) / 2;
  c.TextRect(client, x, margin, s);
  c.SetHandle(nullptr);
  PaintImage(dc);
  PaintRequiredMark(dc);
  M.Result = 0;
}

// The flat look: the outer ring is a sunken edge while the border is active, else the button
// face; the ring inside it is always the button face.
void TCustomDBEditEh::PaintFlatBorder(HDC DC) {
  if (!DC || !FFlat || !Ctl3D() || BorderStyle() != bsSingle) return;
  TRect r = Rect(0, 0, Width(), Height());
  HBRUSH face = CreateSolidBrush(ColorToRGB(clBtnFace));
  if (FActiveBorderShown) DrawEdge(DC, r, BDR_SUNKENOUTER, BF_RECT);
  else FrameRect(DC, r, face);
  InflateRect(r, -1, -1);
  FrameRect(DC, r, face);
  DeleteObject(face);
}

// ---------------------------------------------------------------- in place

void TCustomDBEditEh::MoveInplace(const TRect& Loc, bool Redraw) {
  if (IsRectEmpty(Loc)) {
    HideInplace();
    return;
  }
  HandleNeeded();
  if (FHolderControl) SendMessage(Handle(), CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(FHolderControl));
  bool wasHidden = !ShownInplace();
  SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  if (wasHidden || Redraw) Invalidate();
  if (FHolderControl && FHolderControl->Focused() && CanFocus()) SetFocus();
}

void TCustomDBEditEh::HideInplace() {
  if (!ShownInplace()) return;
  bool hadFocus = Focused();
  ShowWindow(Handle(), SW_HIDE);
  if (hadFocus && FHolderControl && FHolderControl->CanFocus()) FHolderControl->SetFocus();
}

// The holder's view of messages: it sees them first; focus comes only when the form takes
// the holder as its active control; a press soon after the holder's own press completes a
// double click. True when the message is used up.
bool TCustomDBEditEh::InplaceMessage(TMessage& M) {
  if (FHolder->InplaceEditWndProc(this, M)) return true;
  if (M.Msg == WM_SETFOCUS) {
    TCustomForm* form = GetParentForm(this);
    if (form && !form->SetFocusedControl(FHolderControl)) return true;
  } else if (M.Msg == WM_LBUTTONDOWN) {
    TPoint pos;
    DWORD time = 0;
    FHolder->GetMouseDownInfo(pos, time);
    if (IsSecondClickOfDoubleClick(pos, ClientToScreen(PointFromLParam(M.LParam)), GetMessageTime() - time))
      M.Msg = WM_LBUTTONDBLCLK;
  }
  return false;
}

// ---------------------------------------------------------------- hints

bool TCustomDBEditEh::TextClipped() {
  if (!FTooltips || !HandleAllocated()) return false;
  TRect area = TextAreaRect();
  TCanvas c;
  HDC dc = GetDC(Handle());
  c.SetHandle(dc);
  c.Font()->Assign(Font());
  TRect r = Rect(0, 0, area.Width(), 0);
  UINT flags = DT_CALCRECT | DT_NOPREFIX | (FWordWrap ? DT_WORDBREAK : 0);
  String s = Text();
  DrawText(c.Handle(), s, -1, &r, flags);
  c.SetHandle(nullptr);
  ReleaseDC(Handle(), dc);
  return r.Width() > area.Width() - 2 || r.Height() > area.Height();
}

void TCustomDBEditEh::ShowClippedTip(TMessage& M) {
  auto* info = reinterpret_cast<THintInfo*>(M.LParam);
  if (!info) return;
  if (TextClipped()) {
    info->HintStr = Text();
    info->HintPos = ClientToScreen({0, Height()});
    info->HintWindowClass = TToolTipsWindow::StaticClass();
    info->HintData = Font();
    M.Result = 0;
    return;
  }
  if (!ShowHint()) M.Result = 1;
}

// ---------------------------------------------------------------- wheel and messages

bool TCustomDBEditEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (FMRUList->IsDroppedDown() && FMRUListBox) {
    FMRUListBox->Perform(WM_MOUSEWHEEL, MakeWParam(0, static_cast<Word>(-120)), 0);
    return true;
  }
  return TCustomMaskEdit::DoMouseWheelDown(Shift, MousePos);
}

bool TCustomDBEditEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (FMRUList->IsDroppedDown() && FMRUListBox) {
    FMRUListBox->Perform(WM_MOUSEWHEEL, MakeWParam(0, 120), 0);
    return true;
  }
  return TCustomMaskEdit::DoMouseWheelUp(Shift, MousePos);
}

void TCustomDBEditEh::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomMaskEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
  if (FEditImage && AComponent == FEditImage->Images()) FEditImage->SetImages(nullptr);
  if (!FEditButton) return;
  if (AComponent == FEditButton->DropdownMenu()) FEditButton->SetDropdownMenu(nullptr);
  for (int i = 0; i < FEditButtons->Count(); ++i)
    if (AComponent == FEditButtons->Items(i)->DropdownMenu()) FEditButtons->Items(i)->SetDropdownMenu(nullptr);
}

void TCustomDBEditEh::Dispatch(TMessage& M) {
  if (FHolder && InplaceMessage(M)) return;
  if (MRUListKeys(M)) return;
  switch (M.Msg) {
    case CM_EXIT:
      HandleExit(M);
      return;
    case WM_KILLFOCUS:
      if (FMRUList->IsDroppedDown() && !IsOwnPopup(reinterpret_cast<HWND>(M.WParam))) CloseMRUList(false);
      break;
    case CM_CANCELMODE: {
      auto* sender = reinterpret_cast<TControl*>(M.LParam);
      if (FMRUList->IsDroppedDown() && sender != this && sender != FMRUListBox &&
          !(sender && sender->Parent() == this) && !(sender && sender->Parent() == FMRUListBox))
        CloseMRUList(false);
      break;
    }
    case WM_CUT:
    case WM_PASTE:
    case WM_UNDO:
      if (!FDataLink->ReadOnly()) FDataLink->Edit();
      break;
    case WM_CHAR:
      // Enter, Tab and line feeds never reach the text.
      if ((M.WParam == 13) || (M.WParam == 9) || M.WParam == 10) {
        TCustomMaskEdit::Dispatch(M);
        return;
      }
      break;
    case CM_WANTSPECIALKEY:
      if ((M.WParam == VK_RETURN || M.WParam == VK_ESCAPE) && FMRUList->IsDroppedDown() && FMRUListBox &&
          FMRUListBox->ItemIndex() >= 0) {
        M.Result = 1;
        return;
      }
      if (M.WParam == VK_ESCAPE && Modified()) {
        M.Result = 1;
        return;
      }
      break;
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_HASSETSEL | DLGC_WANTCHARS;
      if (FHolder && FHolder->InplaceEditWantsTab(this)) M.Result |= DLGC_WANTTAB;
      return;
    case WM_PAINT:
      if (HandleAllocated()) {
        PaintSelf(M);
        return;
      }
      break;
    case WM_SETCURSOR: {
      TPoint p = ScreenToClient(Mouse->CursorPos());
      TRect area = TextAreaRect();
      if (!MouseCapture() && (p.X < area.Left || p.X >= area.Right)) {
        ::SetCursor(Screen->Cursors(crArrow));
        M.Result = 1;
        return;
      }
      break;
    }
    case CM_MOUSEENTER:
      FMouseAbove = true;
      UpdateActiveBorder();
      break;
    case CM_MOUSELEAVE:
      FMouseAbove = false;
      UpdateActiveBorder();
      break;
    case WM_SETFOCUS:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
      TCustomMaskEdit::Dispatch(M);
      UpdateActiveBorder();
      RefreshButtonStates();
      return;
    case WM_NCPAINT:
      TCustomMaskEdit::Dispatch(M);
      PaintFlatBorder(reinterpret_cast<HDC>(M.WParam));
      return;
    case CM_IMAGESETUPCHANGED:
      if (HandleAllocated()) RecreateWnd();
      return;
    case CM_FONTCHANGED:
      TCustomMaskEdit::Dispatch(M);
      if (AutoSize() && HandleAllocated()) FitHeightToFont();
      ApplyTextArea();
      return;
    case WM_SYSCOLORCHANGE:
      ResetButtonBitmapCache();
      break;
    case CM_HINTSHOW:
      ShowClippedTip(M);
      return;
    case CM_GETDATALINK:
      M.Result = reinterpret_cast<LRESULT>(FDataLink.get());
      return;
    default: break;
  }
  bool typing = M.Msg == WM_CHAR || M.Msg == WM_KEYDOWN || M.Msg == WM_PASTE || M.Msg == WM_CUT || M.Msg == WM_CLEAR;
  String before = typing ? Text() : String();
  TCustomMaskEdit::Dispatch(M);
  if (typing && Text() != before) TextEditedByUser();
  // A Backspace that empties the text offers every remembered text.
  if (M.Msg == WM_CHAR && M.WParam == 8 && Text().empty() && FMRUList->Active() && Showing() && !FDroppedDown)
    OpenMRUList();
}

// ================================================================ TDBEditEh

template <class B> void TDBEditEh::Published(B& b) {
  using C = TDBEditEh;
  PublishAnchors(b);
  b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::AlignmentStored);
  b.Prop("AlwaysShowBorder", &C::AlwaysShowBorder, &C::SetAlwaysShowBorder).Default(false);
  b.Prop("AutoSelect", &C::AutoSelect, &C::SetAutoSelect).Default(true);
  PublishAutoSize(b).Default(true);
  b.Prop("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsSingle);
  b.Prop("CharCase", &C::CharCase, &C::SetCharCase).Default(ecNormal);
  PublishColor(b);
  PublishCtl3D(b);
  b.Prop("DataField", &C::DataField, &C::SetDataField);
  b.Prop("DataSource", &C::DataSource, &C::SetDataSource);
  b.Prop("EditButton", &C::EditButton, &C::SetEditButton);
  b.Prop("EditButtons", &C::EditButtons, &C::SetEditButtons);
  b.Prop("EditMask", &C::EditMaskEh, &C::SetEditMaskEh).Stored(&C::EditMaskStored);
  PublishEnabled(b);
  b.Prop("Flat", &C::Flat, &C::SetFlat).Default(false);
  PublishFont(b);
  b.Prop("HighlightRequired", &C::HighlightRequired, &C::SetHighlightRequired).Default(false);
  b.Prop("MaxLength", &C::MaxLength, &C::SetMaxLength).Default(0);
  b.Prop("MRUList", &C::MRUList, &C::SetMRUList);
  PublishParentFont(b);
  PublishParentShowHint(b);
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
  b.Prop("OnGetImageIndex", &C::OnGetImageIndex, &C::OnGetImageIndex);
  b.Prop("OnUpdateData", &C::OnUpdateData, &C::OnUpdateData);
  PublishOnEnter(b);
  PublishOnExit(b);
  PublishOnKeyDown(b);
  PublishOnKeyPress(b);
  PublishOnKeyUp(b);
}

KELM_PUBLISH(TDBEditEh) { Published(b); }
