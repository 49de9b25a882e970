// The masked editor and its properties: the effective mask, formatting through a mode without
// editor, and the routing of keys, characters, mouse selection, paste and cut to the mode.
#include "editors/cxMaskEdit.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "editors/cxClasses.h"
#include "editors/cxEditDefaultValues.h"
#include "editors/cxInnerTextEdit.h"
#include "editors/cxObjectLinks.h"
#include "editors/cxMaskEditModes.h"
#include "editors/cxRegExpr.h"
#include "editors/cxRegisteredClasses.h"
#include "editors/cxStandardMask.h"
#include "gui/Clipbrd.h"
#include "gui/WinUser.h"

KELM_PUBLISH(TcxCustomMaskEditProperties) {}
KELM_PUBLISH(TcxMaskEditProperties) { Published(b); }
KELM_PUBLISH(TcxCustomMaskEdit) {}
KELM_PUBLISH(TcxMaskEdit) { Published(b); }

namespace {
// Layouts create masked editors by their class name.
const bool gClassesRegistered = (RegisterClasses({TcxMaskEdit::StaticClass()}), true);

// Space, NUL, tab, line feed, form feed and carriage return only (or nothing).
bool IsBlankMask(const String& Mask) {
  for (char c : Mask)
    if (c != ' ' && c != '\0' && c != '\t' && c != '\n' && c != '\f' && c != '\r') return false;
  return true;
}

std::unique_ptr<TcxMaskEditCustomMode> MakeMode(TcxMaskEditModeClass Class, TcxCustomMaskEdit* Edit,
                                                TcxCustomMaskEditProperties* Properties) {
  std::unique_ptr<TcxMaskEditCustomMode> Mode(Class(Edit, Properties));
  Mode->CreatedBy = Class;
  return Mode;
}

bool IsStandard(TcxMaskEditCustomMode* Mode) { return dynamic_cast<TcxMaskEditStandardMode*>(Mode) != nullptr; }
}  // namespace

// ================================================================ properties

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* AOwner) : TcxCustomTextEditProperties(AOwner) {
  SetValidateOnEnter(true);
}

TcxCustomMaskEditProperties::~TcxCustomMaskEditProperties() = default;

TcxEditMask TcxCustomMaskEditProperties::EditMask() const {
  if (FMaskKind != emkStandard || !IsBlankMask(FEditMask)) return FEditMask;
  IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
  return p ? p->GetEditMaskDefault() : TcxEditMask();
}

bool TcxCustomMaskEditProperties::IsMasked() const { return !IsBlankMask(EditMask()); }

void TcxCustomMaskEditProperties::SetEditMask(const TcxEditMask& Value) {
  if (Value == EditMask()) {
    FEditMask = Value;
    return;
  }
  // A mask that does not compile raises here and is not stored.
  MakeMode(ModeClass(FMaskKind), nullptr, this)->ApplyMask(Value);
  FEditMask = Value;
  SignalPropertiesChanged();
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind Value) {
  if (FMaskKind == Value) return;
  FMaskKind = Value;
  SignalPropertiesChanged();
}

void TcxCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(bool Value) {
  if (FAlwaysShowBlanksAndLiterals == Value) return;
  FAlwaysShowBlanksAndLiterals = Value;
  SignalPropertiesChanged();
}

void TcxCustomMaskEditProperties::SetCaseInsensitive(bool Value) {
  FCaseInsensitive = CharCase() != ecNormal ? true : Value;
  SignalPropertiesChanged();
}

void TcxCustomMaskEditProperties::ChangeCharCase(TEditCharCase Value) {
  if (Value == ecUpperCase || Value == ecLowerCase) FCaseInsensitive = true;
  TcxCustomTextEditProperties::ChangeCharCase(Value);
}

void TcxCustomMaskEditProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomMaskEditProperties*>(Source);
  if (!s) return TcxCustomTextEditProperties::Assign(Source);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxCustomTextEditProperties::Assign(Source);
  SetMaskKind(s->MaskKind());
  SetEditMask(s->EditMask());
  SetCaseInsensitive(s->CaseInsensitive());
  SetIgnoreMaskBlank(s->IgnoreMaskBlank());
  SetAlwaysShowBlanksAndLiterals(s->AlwaysShowBlanksAndLiterals());
}

TcxMaskEditModeClass TcxCustomMaskEditProperties::ModeClass(TcxEditMaskKind Kind) {
  switch (Kind) {
    case emkStandard: return &TcxMaskEditStandardMode::Make;
    case emkRegExpr: return &TcxMaskEditRegExprMode::Make;
    default: return &TcxMaskEditRegExprExMode::Make;
  }
}

void TcxCustomMaskEditProperties::SignalPropertiesChanged() {
  FTempMode.reset();
  TcxCustomTextEditProperties::SignalPropertiesChanged();
}

TClass TcxCustomMaskEditProperties::GetEditorClass() { return TcxMaskEdit::StaticClass(); }

// A masked editor never shows the data field's display format.
Byte TcxCustomMaskEditProperties::GetFormatTraits() {
  return IsMasked() ? 0 : TcxCustomTextEditProperties::GetFormatTraits();
}

bool TcxCustomMaskEditProperties::IsValueAcceptable(const Variant& Value, bool Focused) {
  return IsMasked() || TcxCustomTextEditProperties::IsValueAcceptable(Value, Focused);
}

bool TcxCustomMaskEditProperties::HasLookupData() {
  return !IsMasked() && TcxCustomTextEditProperties::HasLookupData();
}

void TcxCustomMaskEditProperties::MaxLengthChanged() {
  if (!IsMasked()) return TcxCustomTextEditProperties::MaxLengthChanged();
  if (FMaxLengthGuard) return;
  TRestore<bool> guard(FMaxLengthGuard, true);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  SetMaxLength(0);
}

TcxMaskEditCustomMode* TcxCustomMaskEditProperties::TempMode() {
  const TcxEditMask mask = EditMask();
  const TcxMaskEditModeClass wanted = ModeClass(FMaskKind);
  if (!FTempMode || FTempMode->CreatedBy != wanted || FTempMode->Mask != mask) {
    FTempMode.reset();
    std::unique_ptr<TcxMaskEditCustomMode> mode = MakeMode(wanted, nullptr, this);
    mode->ApplyMask(mask);
    FTempMode = std::move(mode);
  }
  return FTempMode.get();
}

void TcxCustomMaskEditProperties::PrepareDisplayValue(const Variant& Value, Variant& DisplayValue, bool Focused) {
  if (!IsMasked() || (!Focused && ShowsProviderDisplayFormat(Focused)))
    return TcxCustomTextEditProperties::PrepareDisplayValue(Value, DisplayValue, Focused);
  const String text = VarIsNull(Value) || VarIsEmpty(Value) ? String() : VarToStr(Value);
  TcxMaskEditCustomMode* mode = TempMode();
  if (Focused || !IsStandard(mode) || FAlwaysShowBlanksAndLiterals) DisplayValue = mode->FormatText(text, false);
  else DisplayValue = mode->DisplayTextOf(text, false);
}

void TcxCustomMaskEditProperties::CheckDisplayValue(Variant& DisplayValue, String& ErrorText, bool& Error,
                                                    TcxCustomEdit* AEdit) {
  if (!Error && IsMasked()) {
    auto* edit = dynamic_cast<TcxCustomMaskEdit*>(AEdit);
    TcxMaskEditCustomMode* mode = edit && edit->Mode() ? edit->Mode() : TempMode();
    Error = !mode->IsTextValid(VarIsNull(DisplayValue) ? String() : VarToStr(DisplayValue));
    if (Error) ErrorText = TranslateLibraryString("编辑值非法");
  }
  TcxCustomTextEditProperties::CheckDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

// ================================================================ editor: construction

TcxCustomMaskEdit::TcxCustomMaskEdit(TComponent* AOwner) : TcxCustomMaskEdit(AOwner, false) {}

TcxCustomMaskEdit::TcxCustomMaskEdit(TComponent* AOwner, bool AInPlace)
    : TcxCustomTextEdit(AOwner, AInPlace, TDeferInitialize{}) {
  InitializeEdit();
}

TcxCustomMaskEdit::TcxCustomMaskEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D)
    : TcxCustomTextEdit(AOwner, AInPlace, D) {}

TcxCustomMaskEdit::~TcxCustomMaskEdit() { FMode.reset(); }

TClass TcxCustomMaskEdit::GetPropertiesClass() { return TcxCustomMaskEditProperties::StaticClass(); }
TClass TcxMaskEdit::GetPropertiesClass() { return TcxMaskEditProperties::StaticClass(); }

void TcxCustomMaskEdit::InitializeEdit() {
  TcxCustomTextEdit::InitializeEdit();
  // Always standard at first: the first properties change puts the mode of the kind in place.
  FMode = MakeMode(&TcxMaskEditStandardMode::Make, this, MaskProperties());
  ShiftOn = false;
}

void TcxCustomMaskEdit::Loaded() {
  TcxCustomTextEdit::Loaded();
  if (!IsMasked()) return;
  LockChangeEvents(true);
  TScopeExit unlock([this] { LockChangeEvents(false, true); });
  ReformatText();
}

void TcxCustomMaskEdit::ReformatText() { ApplyDisplayValue(CurrentText()); }

// ================================================================ helpers for the modes

void TcxCustomMaskEdit::SendKey(Word Key) {
  TcxCustomInnerTextEdit* e = InnerTextEditControl();
  if (!e || !e->HandleAllocated()) return;
  TRestore<bool> own(OwnMessage, true);
  SendMessage(e->Handle(), WM_KEYDOWN, Key, 0);
}

void TcxCustomMaskEdit::SendChar(Char Ch) {
  TcxCustomInnerTextEdit* e = InnerTextEditControl();
  if (!e || !e->HandleAllocated()) return;
  TRestore<bool> own(OwnMessage, true);
  SendMessage(e->Handle(), WM_CHAR, static_cast<WPARAM>(Ch), 0);
}

void TcxCustomMaskEdit::SetSelStartInternal(int Value) {
  TRestore<bool> internal(InternalSelection, true);
  SetSelStart(Value);
}

void TcxCustomMaskEdit::SetSelLengthInternal(int Value) {
  TRestore<bool> internal(InternalSelection, true);
  SetSelLength(Value);
}

String TcxCustomMaskEdit::CurrentText() {
  String text;
  TcxCustomTextEdit::ReadDisplayText(text);
  return text;
}

// ================================================================ value flow

void TcxCustomMaskEdit::ApplyDisplayValue(const Variant& DisplayValue) {
  if (!FMode || !IsMasked() || ComponentState().Contains(csLoading))
    return TcxCustomTextEdit::ApplyDisplayValue(DisplayValue);
  const String text = VarIsNull(DisplayValue) ? String() : VarToStr(DisplayValue);
  if (Focused() || !IsStandard(FMode.get()) || MaskProperties()->AlwaysShowBlanksAndLiterals())
    TcxCustomTextEdit::ApplyDisplayValue(FMode->FormatText(text, true));
  else
    TcxCustomTextEdit::ApplyDisplayValue(FMode->DisplayTextOf(text, true));
  if (FMode) FMode->TextAssigned(CurrentText());
}

void TcxCustomMaskEdit::ConvertDisplayToEditValue(const Variant& DisplayValue, Variant& EditValue, bool Focused) {
  if (!FMode || !IsMasked()) return TcxCustomTextEdit::ConvertDisplayToEditValue(DisplayValue, EditValue, Focused);
  const String text = VarIsNull(DisplayValue) ? String() : VarToStr(DisplayValue);
  auto* standard = dynamic_cast<TcxMaskEditStandardMode*>(FMode.get());
  if (Focused || !standard ||
      (!standard->StandardMask().SaveLiterals() && MaskProperties()->AlwaysShowBlanksAndLiterals()))
    EditValue = FMode->DisplayTextOf(text, true);
  else
    TcxCustomTextEdit::ConvertDisplayToEditValue(DisplayValue, EditValue, Focused);
}

void TcxCustomMaskEdit::ReadDisplayText(String& Text) {
  if (FMode && IsMasked()) Text = DisplayTextCache;
  else TcxCustomTextEdit::ReadDisplayText(Text);
}

void TcxCustomMaskEdit::InnerEditChanged(TObject* Sender) {
  if (FMode && IsMasked()) DisplayTextCache = FMode->DisplayTextOf(CurrentText(), true);
  TcxCustomTextEdit::InnerEditChanged(Sender);
}

// A text given from outside becomes the edit value; the value kept is the text as the mask
// reads it back from what is shown.
bool TcxCustomMaskEdit::TrySetDisplayText(const String& Text) {
  if (!FMode || !IsMasked()) return TcxCustomTextEdit::TrySetDisplayText(Text);
  ChangeEditValue(Text);
  SetEditValueField(DisplayTextCache);
  return true;
}

void TcxCustomMaskEdit::ShowEditValue() {
  TcxCustomTextEdit::ShowEditValue();
  if (FMode && IsMasked()) FMode->TextAssigned(CurrentText());
}

// ================================================================ keys

void TcxCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (!OwnMessage) TcxCustomTextEdit::KeyDown(Key, Shift);
}

void TcxCustomMaskEdit::KeyPress(Char& Key) {
  if (!OwnMessage) TcxCustomTextEdit::KeyPress(Key);
}

void TcxCustomMaskEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (!OwnMessage) TcxCustomTextEdit::KeyUp(Key, Shift);
}

void TcxCustomMaskEdit::ProcessKeyDown(Word& Key, TShiftState Shift) {
  if (!FMode || !IsMasked() || IsClearOrClickKey(Key, Shift)) return TcxCustomTextEdit::ProcessKeyDown(Key, Shift);
  TcxObjectLinkScope link(this);
  if (!CanProcessKey(Key, Shift)) {
    if (OnHostKey) OnHostKey(this, Key, Shift);
    Key = 0;
    return;
  }
  if (Key != VK_TAB) ShiftOn = Shift.Contains(ssShift);
  const bool ctrl = Shift.Contains(ssCtrl);
  auto toHost = [&] {
    if (OnHostKey) OnHostKey(this, Key, Shift);
  };
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
      toHost();
      Key = 0;
      break;
    case VK_LEFT:
    case VK_RIGHT: {
      const bool left = Key == VK_LEFT;
      if (ctrl) {
        SendKey(left ? VK_HOME : VK_END);
        if (!(left ? FMode->HomePressed() : FMode->EndPressed())) Key = 0;
        break;
      }
      const bool atEnd = left ? FMode->CaretAtFirst() : FMode->CaretAtLast();
      if (!(left ? FMode->LeftPressed() : FMode->RightPressed())) {
        if (atEnd) toHost();
        Key = 0;
      }
      break;
    }
    case VK_DELETE:
      if (!Shift.Contains(ssShift)) {
        if (!FMode->DeletePressed()) Key = 0;
      } else if (SelLength() == 0) {
        // Shift+Delete cuts a selection; without one it deletes backwards, which the inner
        // edit does for a Backspace, not for this key.
        if (FMode->BackspacePressed()) SendChar(8);
        Key = 0;
      }
      break;
    case VK_HOME:
      if (!FMode->HomePressed()) Key = 0;
      break;
    case VK_END:
      if (!FMode->EndPressed()) Key = 0;
      break;
    default: break;
  }
  if (!link.Alive()) return;
  if (Key != 0) TcxCustomTextEdit::ProcessKeyDown(Key, Shift);
  else if (InnerTextEdit()) InnerTextEdit()->WriteKeyHandled(true);
}

void TcxCustomMaskEdit::ProcessKeyPress(Char& Key) {
  if (!FMode || !IsMasked()) return TcxCustomTextEdit::ProcessKeyPress(Key);
  if (Key == 9 || Key == 27 || !CheckKeyChar(Key)) {
    Key = 0;
    return;
  }
  if (Key == 13) return;
  if (Key == 3 || Key == 22 || Key == 24) return TcxCustomTextEdit::ProcessKeyPress(Key);
  const bool keep = Key == 8 ? FMode->BackspacePressed() : FMode->CharTyped(Key);
  if (!keep) Key = 0;
  if (InnerTextEdit()) InnerTextEdit()->WriteKeyHandled(Key == 0);
}

// ================================================================ clipboard

void TcxCustomMaskEdit::ClipboardPaste() {
  if (!FMode || !IsMasked()) return TcxCustomTextEdit::ClipboardPaste();
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  const String clip = Clipboard()->AsText();
  FMode->ClipboardTextLength = Length(clip);
  FMode->PastePrepare();
  ReplaceSelection(clip);
  if (FMode) FMode->PasteDone();
}

// The length prepared for is the inserted text's own, whatever the clipboard holds.
void TcxCustomMaskEdit::ReplaceSelection(const String& Text) {
  if (!FMode || !IsMasked()) return TcxCustomTextEdit::ReplaceSelection(Text);
  FMode->ClipboardTextLength = Length(Text);
  FMode->PastePrepare();
  TcxCustomTextEdit::ReplaceSelection(Text);
  if (FMode) FMode->PasteDone();
}

void TcxCustomMaskEdit::ClipboardCut() {
  if (!FMode || !IsMasked()) return TcxCustomTextEdit::ClipboardCut();
  ClipboardCopy();
  if (FMode->DeletePressed()) SendChar(8);
}

// ================================================================ mouse and focus

void TcxCustomMaskEdit::DblClick() {
  if (FMode && IsMasked()) FMode->EnterAll();
  TcxCustomTextEdit::DblClick();
}

void TcxCustomMaskEdit::DoEnter() {
  if (FMode && IsMasked() && ActiveProperties()->AutoSelect()) FMode->EnterAll();
  TcxCustomTextEdit::DoEnter();
}

void TcxCustomMaskEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FMode && IsMasked() && Button == mbLeft) FMode->MouseSelected();
  TcxCustomTextEdit::MouseDown(Button, Shift, X, Y);
}

void TcxCustomMaskEdit::MouseMove(TShiftState Shift, int X, int Y) {
  if (FMode && IsMasked() && Shift.Contains(ssLeft)) {
    TRestore<bool> shift(ShiftOn, true);
    FMode->MouseSelected();
  }
  TcxCustomTextEdit::MouseMove(Shift, X, Y);
}

void TcxCustomMaskEdit::SelectionChanged(TObject* Sender) {
  TcxCustomTextEdit::SelectionChanged(Sender);
  if (FMode && !InternalSelection) FMode->MouseSelected();
}

// ================================================================ properties changed

void TcxCustomMaskEdit::ReplaceMode(TcxEditMaskKind Kind) {
  const TEditCharCase charCase = FMode->CharCase;
  const TcxEditEchoMode echo = FMode->EchoMode;
  const TcxMaskEditModeClass cls = MaskProperties()->ModeClass(Kind);
  FMode.reset();
  FMode = MakeMode(cls, this, MaskProperties());
  FMode->CharCase = charCase;
  FMode->EchoMode = echo;
}

void TcxCustomMaskEdit::ApplyPropertiesChange(TObject* Sender) {
  if (!FMode) return TcxCustomTextEdit::ApplyPropertiesChange(Sender);
  TcxCustomMaskEditProperties* p = MaskProperties();
  p->SetSignalSuppressed(true);
  bool suppressed = true;
  TScopeExit release([&] {
    if (suppressed) p->SetSignalSuppressed(false);
  });

  const TcxEditMask mask = p->EditMask();
  // The same mask compiles again after a locale change: "/" and ":" take the new separators.
  const bool maskChanged = FMode->Mask != mask || p->LocaleFormatsChanging();
  const TcxEditMaskKind oldKind = FMode->ModeKind();
  const bool kindChanged = oldKind != p->MaskKind();
  const bool caseChanged = p->CharCase() != FMode->CharCase;

  bool maskCleared = false;
  if (kindChanged) {
    ReplaceMode(p->MaskKind());
    // A mask of one kind means nothing to the other: a kind changed alone drops it.
    if ((p->MaskKind() == emkStandard) != (oldKind == emkStandard)) {
      p->StoreEditMaskQuietly(TcxEditMask());
      maskCleared = true;
    }
    const TcxEditMask now = p->EditMask();
    FMode->ApplyMask(now);
    if (!IsBlankMask(now)) FMode->RefreshDisplay();
  }
  if (maskChanged) {
    p->SetMaxLength(0);
    FMode->ApplyMask(mask);
    if (maskCleared) p->StoreEditMaskQuietly(mask);
    if (!IsBlankMask(mask)) {
      FMode->RefreshDisplay();
    } else if (IsStandard(FMode.get()) && HandleAllocated() && SelLength() == 1) {
      const int start = SelStart();
      SetSelLengthInternal(0);
      SetSelStartInternal(start);
    }
  }
  if (caseChanged) {
    if (p->CharCase() == ecNormal) {
      if (InnerTextEdit()) InnerTextEdit()->WriteCharCase(ecNormal);
      FMode->RefreshDisplay();
    }
    FMode->CharCase = p->CharCase();
  }
  const bool echoChanged = p->EchoMode() != FMode->EchoMode;
  int savedStart = 0, savedLength = 0;
  if (echoChanged && HandleAllocated()) {
    savedStart = SelStart();
    savedLength = SelLength();
  }
  // A value already there is kept: only a Null value takes the mask's starting text.
  if (IsMasked() && VarIsNull(EditValue())) FMode->InitialEditValue();

  p->SetSignalSuppressed(false);
  suppressed = false;
  if (auto* expression = dynamic_cast<TcxMaskEditRegExprMode*>(FMode.get()))
    expression->Expression().SetCaseInsensitive(p->CaseInsensitive());
  TcxCustomTextEdit::ApplyPropertiesChange(Sender);
  if (!FMode) return;
  if (echoChanged) {
    if (HandleAllocated()) {
      SetSelStartInternal(savedStart);
      SetSelLengthInternal(savedLength);
    }
    FMode->EchoMode = p->EchoMode();
  }
  if (kindChanged || caseChanged || maskChanged) DisplayTextCache = FMode->DisplayTextOf(CurrentText(), true);
}

// ================================================================ registration

void RegisterMaskEditProperties() {
  static bool done = false;
  if (done) return;
  done = true;
  EditPropertiesRegistry()->RegisterEntry(TcxMaskEditProperties::StaticClass(),
                                          TranslateLibraryString("MaskEdit|Represents a generic masked edit control."));
}

namespace {
const bool gRegistered = (RegisterMaskEditProperties(), true);
}  // namespace
