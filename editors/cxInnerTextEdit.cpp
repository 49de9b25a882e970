// The inner text edit: forwarding to its editor, the companion's interfaces, key and
// clipboard messages, echo mode and alignment.
#include "editors/cxInnerTextEdit.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "editors/cxEditRepository.h"
#include "editors/cxObjectLinks.h"
#include "editors/cxTextEdit.h"
#include "gui/Window.h"

KELM_PUBLISH(TcxCustomInnerTextEditHelper) {}
KELM_PUBLISH(TcxCustomInnerTextEdit) {}

// ================================================================ the companion

TcxCustomInnerTextEditHelper::TcxCustomInnerTextEditHelper(TcxCustomInnerTextEdit* AEdit)
    : TcxInterfacedPersistent(nullptr), Edit(AEdit) {}

TWinControl* TcxCustomInnerTextEditHelper::HostedControl() { return Edit; }
TcxContainer* TcxCustomInnerTextEditHelper::HostingContainer() { return Edit->Container(); }

LRESULT TcxCustomInnerTextEditHelper::CallDefWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  Edit->TCustomEdit::DefaultHandler(m);
  return m.Result;
}

// The model's text (kept in step with the window text by every change).
Variant TcxCustomInnerTextEditHelper::GetEditValue() { return Edit->ModelText(); }
TNotifyEvent TcxCustomInnerTextEditHelper::GetOnChange() { return Edit->OnChange; }
bool TcxCustomInnerTextEditHelper::GetReadOnly() { return Edit->ReadOnly(); }

void TcxCustomInnerTextEditHelper::LockBounds(bool Lock) {
  if (Lock) ++Edit->BoundsLockCount;
  else if (Edit->BoundsLockCount > 0) --Edit->BoundsLockCount;
}

void TcxCustomInnerTextEditHelper::SafelySetFocus() {
  const bool was = Edit->AutoSelect();
  Edit->SetAutoSelect(false);
  TScopeExit restore([this, was] { Edit->SetAutoSelect(was); });
  if (Edit->CanFocus()) Edit->SetFocus();
}

void TcxCustomInnerTextEditHelper::SetEditValue(const Variant& Value) {
  const String text = VarToStr(Value);
  // The model holds the window's text: compared there, without a round of text messages.
  if (Edit->ModelText() == text) return;
  const bool designing = Edit->ComponentState().Contains(csDesigning);
  Edit->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  Edit->Perform(CM_TEXTCHANGED);
  if (designing && Edit->OnChange) Edit->OnChange(Edit);
}

void TcxCustomInnerTextEditHelper::SetParent(TWinControl* Value) { Edit->SetParent(Value); }
void TcxCustomInnerTextEditHelper::SetOnChange(const TNotifyEvent& Value) { Edit->OnChange = Value; }
void TcxCustomInnerTextEditHelper::SetReadOnly(bool Value) { Edit->SetReadOnly(Value); }

void TcxCustomInnerTextEditHelper::ClearSelection() { Edit->TCustomEdit::ClearSelection(); }
void TcxCustomInnerTextEditHelper::CopyToClipboard() { Edit->CopyToClipboard(); }
TAlignment TcxCustomInnerTextEditHelper::ReadAlignment() { return Edit->Alignment(); }
bool TcxCustomInnerTextEditHelper::ReadAutoSelect() { return Edit->AutoSelect(); }
TEditCharCase TcxCustomInnerTextEditHelper::ReadCharCase() { return Edit->CharCase(); }
bool TcxCustomInnerTextEditHelper::ReadEchoMode() { return Edit->EchoPassword(); }
bool TcxCustomInnerTextEditHelper::ReadHideSelection() { return Edit->HideSelection(); }
Char TcxCustomInnerTextEditHelper::ReadPendingImeByte() {
  return Edit->ImeCharState() == 2 ? Char(Edit->ImeLowByte()) : Char(0);
}
TImeMode TcxCustomInnerTextEditHelper::ReadImeMode() { return Edit->ImeMode(); }
String TcxCustomInnerTextEditHelper::ReadImeName() { return Edit->ImeName(); }
bool TcxCustomInnerTextEditHelper::ReadKeyHandled() { return Edit->KeyHandled; }
int TcxCustomInnerTextEditHelper::ReadMaxLength() { return Edit->MaxLength(); }
bool TcxCustomInnerTextEditHelper::ReadOEMConvert() { return Edit->OEMConvert(); }
TNotifyEvent TcxCustomInnerTextEditHelper::ReadSelChangeEvent() { return Edit->OnSelChange; }
Char TcxCustomInnerTextEditHelper::ReadPasswordChar() { return Edit->EchoChar(); }
int TcxCustomInnerTextEditHelper::ReadSelLength() {
  return Edit->ImeCharState() > 0 ? SavedSelLength : Edit->SelLength();
}
int TcxCustomInnerTextEditHelper::ReadSelStart() { return Edit->ImeCharState() > 0 ? SavedSelStart : Edit->SelStart(); }
String TcxCustomInnerTextEditHelper::ReadSelText() { return Edit->SelText(); }
void TcxCustomInnerTextEditHelper::SelectAll() {
  if (Edit->HandleAllocated()) Edit->SelectAll();
}
void TcxCustomInnerTextEditHelper::WriteAlignment(TAlignment Value) { Edit->StoreAlignment(Value); }
void TcxCustomInnerTextEditHelper::WriteAutoSelect(bool Value) { Edit->SetAutoSelect(Value); }
void TcxCustomInnerTextEditHelper::WriteCharCase(TEditCharCase Value) { Edit->SetCharCase(Value); }
void TcxCustomInnerTextEditHelper::WriteEchoMode(bool Value) { Edit->StoreEchoPassword(Value); }
void TcxCustomInnerTextEditHelper::WriteHideSelection(bool Value) { Edit->SetHideSelection(Value); }
void TcxCustomInnerTextEditHelper::WriteKeyHandled(bool Value) { Edit->KeyHandled = Value; }
void TcxCustomInnerTextEditHelper::WriteImeMode(TImeMode Value) { Edit->SetImeMode(Value); }
void TcxCustomInnerTextEditHelper::WriteImeName(const String& Value) { Edit->SetImeName(Value); }
void TcxCustomInnerTextEditHelper::WriteMaxLength(int Value) { Edit->SetMaxLength(Value); }
void TcxCustomInnerTextEditHelper::WriteOEMConvert(bool Value) { Edit->SetOEMConvert(Value); }
void TcxCustomInnerTextEditHelper::WriteSelChangeEvent(const TNotifyEvent& Value) { Edit->OnSelChange = Value; }
void TcxCustomInnerTextEditHelper::WritePasswordChar(Char Value) { Edit->StoreEchoChar(Value); }
void TcxCustomInnerTextEditHelper::WriteSelLength(int Value) {
  if (!Edit->HandleAllocated()) return;
  if (Edit->ImeCharState() > 0) SavedSelLength = Value;
  else Edit->SetSelLength(Value);
}
void TcxCustomInnerTextEditHelper::WriteSelStart(int Value) {
  if (!Edit->HandleAllocated()) return;
  if (Edit->ImeCharState() > 0) SavedSelStart = Value;
  else Edit->SetSelStart(Value);
}
void TcxCustomInnerTextEditHelper::WriteSelText(const String& Value) { Edit->SetSelText(Value); }

// ================================================================ the inner edit

TcxCustomInnerTextEdit::TcxCustomInnerTextEdit(TComponent* AOwner)
    : TCustomEdit(AOwner), FContainer(dynamic_cast<TcxCustomTextEdit*>(AOwner)) {
  FCompanion = std::make_unique<TcxCustomInnerTextEditHelper>(this);
  SetControlStyle(ControlStyle() + csDoubleClicks);
  SetBorderStyle(bsNone);
  SetAutoSize(false);
  SetParentColor(true);
  SetParentFont(false);
  FAlignment = taLeftJustify;
  KeyHandled = false;
  FEchoPassword = false;
  UpdateEchoMode();
  FCreating = false;
}

TcxCustomInnerTextEdit::~TcxCustomInnerTextEdit() { FCompanion.reset(); }


void TcxCustomInnerTextEdit::StoreAlignment(TAlignment Value) {
  TcxCustomTextEdit* c = Container();
  if (c && c->ActiveProperties()->UseLeftAlignmentOnEditing()) Value = taLeftJustify;
  if (FAlignment == Value) return;
  FAlignment = Value;
  SetAlignment(Value);  // the platform edit recreates its window for the new style
}

void TcxCustomInnerTextEdit::StoreEchoPassword(bool Value) {
  if (FEchoPassword == Value) return;
  FEchoPassword = Value;
  UpdateEchoMode();
}

void TcxCustomInnerTextEdit::StoreEchoChar(Char Value) {
  if (FEchoChar == Value) return;
  FEchoChar = Value;
  if (FEchoPassword) UpdateEchoMode();
}

void TcxCustomInnerTextEdit::UpdateEchoMode() {
  SetPasswordChar(!FEchoPassword ? Char(0) : FEchoChar ? FEchoChar : Char(U'*'));
}

void TcxCustomInnerTextEdit::AdjustMargins() {
  if (HandleAllocated()) Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MakeLParam(0, 1));
}

void TcxCustomInnerTextEdit::MouseLeave(TControl*) {
  if (TcxCustomTextEdit* c = Container()) c->UpdateViewAtCursor(true);
}

void TcxCustomInnerTextEdit::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style &= ~(ES_LEFT | ES_RIGHT | ES_CENTER);
  Params.Style |= FAlignment == taRightJustify ? ES_RIGHT : FAlignment == taCenter ? ES_CENTER : ES_LEFT;
  Params.Style &= ~(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  Params.Style |= ES_AUTOHSCROLL;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TcxCustomInnerTextEdit::CreateWnd() {
  if (TcxCustomTextEdit* c = Container()) c->ResetHostedControlClip();
  TCustomEdit::CreateWnd();
  AdjustMargins();
}

void TcxCustomInnerTextEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (FCreating || BoundsLockCount > 0) return;
  TcxCustomTextEdit* c = Container();
  if (c) c->LockAlignControls(true);
  TScopeExit unlock([c] {
    if (c) c->LockAlignControls(false);
  });
  TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TcxCustomInnerTextEdit::WndProc(TMessage& Message) {
  TcxCustomTextEdit* c = Container();
  if (c && c->HostedKeyMessage(Message)) return;
  if (c && (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && c->DragMode() == dmAutomatic &&
      !c->IsInDesigner()) {
    c->BeginDrag(false);
    return;
  }
  TCustomEdit::WndProc(Message);
}

void TcxCustomInnerTextEdit::DefaultHandler(TMessage& Message) {
  TcxCustomTextEdit* c = Container();
  if (c && c->HostedDefaultHandler(Message)) return;
  TCustomEdit::DefaultHandler(Message);
}

bool TcxCustomInnerTextEdit::CanFocus() const {
  TcxCustomTextEdit* c = Container();
  return c ? c->CanFocusNow() : TCustomEdit::CanFocus();
}

bool TcxCustomInnerTextEdit::ExecuteAction(TBasicAction* Action) {
  if (TCustomEdit::ExecuteAction(Action)) return true;
  TcxCustomTextEdit* c = Container();
  return c && c->DataBinding()->HandleActionExecute(Action);
}

bool TcxCustomInnerTextEdit::UpdateAction(TBasicAction* Action) {
  if (TCustomEdit::UpdateAction(Action)) return true;
  TcxCustomTextEdit* c = Container();
  return c && c->DataBinding()->HandleActionUpdate(Action);
}

void TcxCustomInnerTextEdit::Click() {
  TcxObjectLinkScope link(this);
  TCustomEdit::Click();
  if (link.Alive())
    if (TcxCustomTextEdit* c = Container()) c->InnerClick();
}

void TcxCustomInnerTextEdit::DblClick() {
  TcxObjectLinkScope link(this);
  TCustomEdit::DblClick();
  if (link.Alive())
    if (TcxCustomTextEdit* c = Container()) c->InnerDblClick();
}

void TcxCustomInnerTextEdit::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  if (TcxCustomTextEdit* c = Container()) static_cast<TControl*>(c)->DragOver(Source, X + Left(), Y + Top(), State, Accept);
}

void TcxCustomInnerTextEdit::DragDrop(TObject* Source, int X, int Y) {
  if (TcxCustomTextEdit* c = Container()) c->DragDrop(Source, X + Left(), Y + Top());
}

void TcxCustomInnerTextEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  TCustomEdit::MouseDown(Button, Shift, X, Y);
  TcxCustomTextEdit* c = link.Alive() ? Container() : nullptr;
  if (!c) return;
  TRestore<bool> hosted(c->HostedMouseDown, true);
  c->InnerMouseDown(Button, Shift, X + Left(), Y + Top());
}

void TcxCustomInnerTextEdit::MouseMove(TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  TCustomEdit::MouseMove(Shift, X, Y);
  if (link.Alive())
    if (TcxCustomTextEdit* c = Container()) c->InnerMouseMove(Shift, X + Left(), Y + Top());
}

void TcxCustomInnerTextEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  TCustomEdit::MouseUp(Button, Shift, X, Y);
  if (link.Alive())
    if (TcxCustomTextEdit* c = Container()) c->InnerMouseUp(Button, Shift, X + Left(), Y + Top());
}

// ---------------------------------------------------------------- keys

void TcxCustomInnerTextEdit::KeyDown(Word& Key, TShiftState Shift) {
  KeyHandled = false;
  TcxObjectLinkScope link(this);
  if (TcxCustomTextEdit* c = Container()) c->InnerKeyDown(Key, Shift);
  if (!link.Alive()) return;
  if (Key == 0) KeyHandled = true;
  else TCustomEdit::KeyDown(Key, Shift);
}

void TcxCustomInnerTextEdit::KeyUp(Word& Key, TShiftState Shift) {
  KeyHandled = false;
  if (Key == VK_TAB) Key = 0;
  TcxObjectLinkScope link(this);
  if (TcxCustomTextEdit* c = Container()) c->InnerKeyUp(Key, Shift);
  if (!link.Alive()) return;
  if (Key == 0) KeyHandled = true;
  else TCustomEdit::KeyUp(Key, Shift);
}

void TcxCustomInnerTextEdit::KeyPress(Char& Key) {
  KeyHandled = false;
  if (Key == U'\t') Key = 0;
  TcxObjectLinkScope link(this);
  TcxCustomTextEdit* c = Container();
  if (c && Key != 0) c->InnerKeyPress(Key);
  if (!link.Alive()) return;
  if (c && (Key == U'\r' || Key == 27) &&
      (c->InPlace() || c->PopupClosedByKey || (Key == U'\r' && !c->BeepOnEnter))) {
    Key = 0;
    c->PopupClosedByKey = false;
  }
  if (Key == 0) KeyHandled = true;
  else TCustomEdit::KeyPress(Key);
}

void TcxCustomInnerTextEdit::SaveState(TcxCustomInnerTextEditPrevState& State) {
  State.TextSaved = true;
  State.Text = Text();
  State.SelStart = SelStart();
  State.SelLength = SelLength();
}

bool TcxCustomInnerTextEdit::StateChanged(const TcxCustomInnerTextEditPrevState& State) {
  if (!HandleAllocated()) return true;
  if (SelStart() != State.SelStart || SelLength() != State.SelLength) return true;
  return State.TextSaved && AnsiCompareText(Text(), State.Text) != 0;
}

// ---------------------------------------------------------------- messages

void TcxCustomInnerTextEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CHAR: return CharMessage(Message);
    case WM_KEYDOWN: return KeyDownMessage(Message);
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR: return ClipboardMessage(Message);
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_GETDLGCODE: return GetDlgCodeMessage(Message);
    case WM_IME_CHAR: return ImeCharMessage(Message);
    case WM_IME_COMPOSITION:
      if (TcxCustomTextEdit* c = Container(); !c || c->RequestEditing()) TCustomEdit::Dispatch(Message);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return FocusMessage(Message);
    case WM_SIZE:
      TCustomEdit::Dispatch(Message);
      AdjustMargins();
      return;
    case EM_SETSEL: {
      TcxObjectLinkScope link(this);
      TCustomEdit::Dispatch(Message);
      if (link.Alive() && OnSelChange) OnSelChange(this);
      return;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TCustomEdit::Dispatch(Message);
      auto* control = reinterpret_cast<TControl*>(Message.LParam);
      if (!control) control = this;
      if (Message.Msg == CM_MOUSEENTER) MouseEnter(control);
      else MouseLeave(control);
      return;
    }
    default: TCustomEdit::Dispatch(Message);
  }
}

void TcxCustomInnerTextEdit::CharMessage(TMessage& M) {
  TcxCustomInnerTextEditPrevState state;
  SaveState(state);
  KeyHandled = false;
  TcxObjectLinkScope link(this);
  TCustomEdit::Dispatch(M);
  if (!link.Alive()) return;
  TcxCustomTextEdit* c = Container();
  if (FImeCharState > 0 && --FImeCharState == 0 && c && c->CompletionShown()) {
    SetSelStart(FCompanion->SavedSelStart);
    SetSelLength(FCompanion->SavedSelLength);
  }
  if (!c) return;
  c->LookupRematchLocked = false;
  if (!KeyHandled && StateChanged(state)) c->SetCompletionShown(false);
}

void TcxCustomInnerTextEdit::KeyDownMessage(TMessage& M) {
  TcxCustomTextEdit* c = Container();
  const Word key = static_cast<Word>(M.WParam);
  if (c && c->IsPopupOpen() && c->TextProperties()->ForwardsToPopupList(key, KeyboardShiftState())) {
    if (TWinControl* list = c->LookupData() ? c->LookupData()->GetListControl() : nullptr)
      if (list->HandleAllocated()) SendMessage(list->Handle(), WM_KEYDOWN, M.WParam, M.LParam);
    return;
  }
  TcxCustomInnerTextEditPrevState state;
  SaveState(state);
  KeyHandled = false;
  TcxObjectLinkScope link(this);
  TCustomEdit::Dispatch(M);
  if (!link.Alive() || !c || KeyHandled || StateChanged(state)) return;
  Word k = key;
  if (k != 0 && c->OnHostKey) c->OnHostKey(c, k, KeyboardShiftState());
}

void TcxCustomInnerTextEdit::ClipboardMessage(TMessage& M) {
  TcxCustomTextEdit* c = Container();
  if (!c) return TCustomEdit::Dispatch(M);
  if (M.Msg == WM_CUT) {
    const bool was = c->UserChangeMode();
    c->SetUserChangeMode(true);
    TScopeExit restore([c, was] { c->SetUserChangeMode(was); });
    if (ReadOnly()) c->ClipboardCopy();
    else c->ClipboardCut();
    return;
  }
  if (ReadOnly()) return;
  const bool was = c->UserChangeMode();
  c->SetUserChangeMode(true);
  TScopeExit restore([c, was] { c->SetUserChangeMode(was); });
  if (M.Msg == WM_PASTE) c->ClipboardPaste();
  else c->DeleteSelection();
}

void TcxCustomInnerTextEdit::GetDlgCodeMessage(TMessage& M) {
  TCustomEdit::Dispatch(M);
  M.Result |= DLGC_WANTCHARS;
  if (GetKeyState(VK_CONTROL) >= 0) M.Result |= DLGC_WANTTAB;
  TcxCustomTextEdit* c = Container();
  if (c && (c->InPlace() || c->IsPopupOpen())) M.Result |= DLGC_WANTALLKEYS;
}

void TcxCustomInnerTextEdit::ImeCharMessage(TMessage& M) {
  const WPARAM ch = M.WParam;
  if (ch & 0xFF00) {
    FImeCharState = 2;
    FImeLowByte = static_cast<Byte>(ch & 0xFF);
  } else {
    FImeCharState = 1;
  }
  FCompanion->SavedSelStart = SelStart();
  FCompanion->SavedSelLength = SelLength();
  TCustomEdit::DefaultHandler(M);
}

void TcxCustomInnerTextEdit::FocusMessage(TMessage& M) {
  TcxObjectLinkScope link(this);
  TCustomEdit::Dispatch(M);
  if (!link.Alive() || ComponentState().Contains(csDestroying)) return;
  TcxCustomTextEdit* c = Container();
  if (!c) return;
  if (M.Msg == WM_SETFOCUS && c->HandleAllocated() && static_cast<HWND>(M.WParam) == c->Handle()) return;
  c->HandleFocusChangeFromHosted();
}
