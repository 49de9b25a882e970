// The text editor: text messages, display and edit value, completion from the lookup items,
// key and wheel browsing, clipboard within the limits, inner-edit placement.
#include "editors/cxTextEdit.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "editors/cxCanvas.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditRoutines.h"
#include "editors/cxEditDefaultValues.h"
#include "editors/cxInnerTextEdit.h"
#include "editors/cxObjectLinks.h"
#include "editors/cxTextEditLookupData.h"
#include "editors/cxTextEditNumbers.h"
#include "editors/cxTextEditViewInfo.h"
#include "editors/cxControlUtils.h"
#include "gui/Clipbrd.h"
#include "gui/Forms.h"
#include "gui/WinUser.h"
#include "gui/Window.h"

KELM_PUBLISH(TcxCustomTextEdit) {}
KELM_PUBLISH(TcxTextEdit) { Published(b); }

namespace {
// Layouts create text editors by their class name.
const bool gRegistered = (RegisterClasses({TcxTextEdit::StaticClass()}), true);
}  // namespace

namespace {
std::u32string U32(const String& S) { return Utf8ToUtf32(S); }
String U8(const std::u32string& S) { return Utf32ToUtf8(S); }
}  // namespace

// ================================================================ construction

TcxCustomTextEdit::TcxCustomTextEdit(TComponent* AOwner) : TcxCustomTextEdit(AOwner, false) {}

TcxCustomTextEdit::TcxCustomTextEdit(TComponent* AOwner, bool AInPlace)
    : TcxCustomEdit(AOwner, AInPlace, TDeferInitialize{}) {
  InitializeEdit();
}

TcxCustomTextEdit::TcxCustomTextEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D)
    : TcxCustomEdit(AOwner, AInPlace, D) {}

TClass TcxCustomTextEdit::GetPropertiesClass() { return TcxCustomTextEditProperties::StaticClass(); }
TClass TcxTextEdit::GetPropertiesClass() { return TcxTextEditProperties::StaticClass(); }

TcxCustomInnerEditClass TcxCustomTextEdit::InnerEditClass() {
  return [](TcxCustomEdit* E) -> IcxCustomInnerEdit* { return (new TcxCustomInnerTextEdit(E))->Companion(); };
}

void TcxCustomTextEdit::InitializeEdit() {
  TcxCustomEdit::InitializeEdit();
  if (InnerEdit()) {
    FInnerTextEdit = dynamic_cast<IcxInnerTextEdit*>(InnerEdit());
    FInnerControl = dynamic_cast<TcxCustomInnerTextEdit*>(InnerEdit()->HostedControl());
  }
  BeepOnEnter = true;
  FCompletionShown = false;
  if (TcxCustomInnerTextEdit* inner = InnerTextEditControl()) {
    inner->SetColor(clWindow);
    InnerTextEdit()->WriteSelChangeEvent(TNotifyEvent(this, &TcxCustomTextEdit::SelectionChanged));
  }
  SetBounds(Left(), Top(), 121, 21);
  FLookupData.reset(TextProperties()->GetLookupDataClass()(this));
  FLookupData->OnSelectItem = TNotifyEvent(this, &TcxCustomTextEdit::LookupItemChosen);
  FormatController()->AddListener(this);
  FRegistered = true;
}

TcxCustomTextEdit::~TcxCustomTextEdit() {
  if (Properties()) ReadDisplayText(SavedText);
  if (FRegistered) FormatController()->RemoveListener(this);
  FLookupData.reset();
}

IcxTextEditLookupData* TcxCustomTextEdit::LookupData() const { return FLookupData.get(); }


void TcxCustomTextEdit::Loaded() {
  TcxCustomEdit::Loaded();
  UpdateViewAtCursor(false);
}

// ================================================================ messages

void TcxCustomTextEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_SETTEXT: return TextMessage(M);
    case WM_CLEAR: {
      const bool was = UserChangeMode();
      SetUserChangeMode(true);
      TScopeExit restore([this, was] { SetUserChangeMode(was); });
      if (!ActiveProperties()->ReadOnly() && DataBinding()->IsDataPresent()) DeleteSelection();
      return;
    }
    default: TcxCustomEdit::Dispatch(M);
  }
}

void TcxCustomTextEdit::TextMessage(TMessage& M) {
  if (M.Msg == WM_SETTEXT) {
    if (HandlingSetText) return TcxCustomEdit::Dispatch(M);
    M.Result = 0;
    TRestore<bool> handling(HandlingSetText, true);
    const String text = M.LParam ? String(reinterpret_cast<const char*>(M.LParam)) : String();
    M.Result = SetCurrentText(text) ? 1 : 0;
    return;
  }
  String text;
  if (Properties()) GetCurrentText(text);
  else text = SavedText;
  if (M.Msg == WM_GETTEXTLENGTH) AnswerGetTextLength(text, M);
  else AnswerGetText(text, M);
}

// ================================================================ selection

int TcxCustomTextEdit::SelStart() {
  const TcxTextEditingStyle s = TextProperties()->EditingStyle();
  if (!InnerTextEdit() || s == tesNoEdit || (s == tesFixedList && !FCompletionShown)) return 0;
  return InnerTextEdit()->ReadSelStart();
}

int TcxCustomTextEdit::SelLength() {
  const TcxTextEditingStyle s = TextProperties()->EditingStyle();
  if (!InnerTextEdit() || s == tesNoEdit || (s == tesFixedList && !FCompletionShown)) return 0;
  return InnerTextEdit()->ReadSelLength();
}

void TcxCustomTextEdit::SetSelStart(int Value) {
  if (InnerTextEdit() && TextProperties()->EditingStyle() != tesNoEdit) InnerTextEdit()->WriteSelStart(Value);
}

void TcxCustomTextEdit::SetSelLength(int Value) {
  if (InnerTextEdit() && TextProperties()->EditingStyle() != tesNoEdit) InnerTextEdit()->WriteSelLength(Value);
}

String TcxCustomTextEdit::SelText() { return InnerTextEdit() ? InnerTextEdit()->ReadSelText() : String(); }

int TcxCustomTextEdit::CaretCharIndex() {
  TcxCustomInnerTextEdit* e = InnerTextEditControl();
  return e ? e->CaretCharIndex() : 0;
}

void TcxCustomTextEdit::SetCompletionShown(bool Value) {
  if (!HandleAllocated() || Value == FCompletionShown) return;
  FCompletionShown = Value;
  CalculateViewInfoAt(ScreenToClient(ReadCursorPos()), mbcNone, false, KeyboardShiftState());
  DisplayUpdated();
}

void TcxCustomTextEdit::SelectWholeText() {
  if (IcxInnerTextEdit* e = InnerTextEdit()) e->SelectAll();
}

// ================================================================ slots

void TcxCustomTextEdit::FormatChanged() {
  ActiveProperties()->SignalPropertiesChanged();
  ShowEditValue();
}

void TcxCustomTextEdit::UpdateInnerEditAppearance() {
  if (ComponentState().Contains(csLoading) || !InnerEdit()) return;
  TcxCustomInnerTextEdit* e = InnerTextEditControl();
  if (!e) return;
  InnerEdit()->LockBounds(true);
  TScopeExit unlock([this] { InnerEdit()->LockBounds(false); });
  e->SetColor(ViewInfo()->FillColor);
  TFont font;
  font.Assign(ActiveEditStyle()->VisibleFont());
  font.SetColor(ViewInfo()->TextColor);
  e->Font()->Assign(&font);
}

void TcxCustomTextEdit::CheckValueRangeAfterChange() {
  TcxCustomTextEditProperties* p = TextProperties();
  if (DataBinding()->IsEditorDesigning() && p->HasNumericValue() && !InnerEditMissing() && p->IsRangeCheckActive())
    RecheckValueRange();
}

void TcxCustomTextEdit::AnnounceNewLookupText(const String& Text) {
  auto* own = static_cast<TcxCustomTextEditProperties*>(Properties());
  if (own->OnNewLookupDisplayText) own->OnNewLookupDisplayText(this, Text);
  if (RepositoryItem()) {
    auto* shared = static_cast<TcxCustomTextEditProperties*>(ActiveProperties());
    if (shared != own && shared->OnNewLookupDisplayText) shared->OnNewLookupDisplayText(this, Text);
  }
}

int TcxCustomTextEdit::InnerEditLineHeight() {
  TcxCustomInnerTextEdit* e = InnerTextEditControl();
  if (!e) return 0;
  return ScreenCanvas()->FontLineHeight(e->Font());
}

int TcxCustomTextEdit::GetItemIndex() {
  Variant key;
  FLookupData->ReadActiveKey(key);
  return ItemIndexFromKey(key);
}

int TcxCustomTextEdit::ItemIndexFromKey(const Variant& Key) {
  return VarIsOrdinal(Key) ? Key.AsInteger() : -1;
}

void TcxCustomTextEdit::EditValueFromKey(const Variant& Key, Variant& Value) {
  String text;
  FLookupData->GetKeyText(Key, text);
  ConvertDisplayToEditValue(text, Value, false);
}

bool TcxCustomTextEdit::IsValueCheckNeeded() {
  if (InPlace()) return false;
  IcxEditDefaultValuesProvider* p = DataBinding()->ProviderInterface();
  return !p || !p->IsStorageBound();
}

void TcxCustomTextEdit::ResetCompletion() {
  if (TextProperties()->HasLookupData()) SetCompletionShown(false);
}

bool TcxCustomTextEdit::SetTextAsUser(const String& Text) {
  const bool allowed = RequestEditing();
  if (allowed) {
    SetText(Text);
    SetChangedSinceEnter(true);
  }
  return allowed;
}

void TcxCustomTextEdit::LookupItemChosen(TObject*) {
  Variant key, value;
  FLookupData->ReadActiveKey(key);
  EditValueFromKey(key, value);
  const bool differs = !VarEqualsExact(value, EditValue());
  if (differs && !RequestEditing()) return;
  PushModifiedFlags();
  TryFinally([&] { ChangeEditValue(value); }, [&] { PopModifiedFlags(); });
  if (differs) SetChangedSinceEnter(true);
  SelectWholeText();
  UpdateViewAtCursor(false);
}

void TcxCustomTextEdit::SetItemIndex(int Index) {
  const int old = GetItemIndex();
  LockClick(true);
  TryFinally(
      [&] {
        Variant key, value;
        KeyFromItemIndex(Index, key);
        FLookupData->SelectKey(key);
        FLookupData->ReadActiveKey(key);
        EditValueFromKey(key, value);
        if (!VarEqualsExact(value, EditValue())) SetEditValue(value);
      },
      [&] { LockClick(false); });
  if (GetItemIndex() != old) {
    SetValueModified(false);
    Click();
  }
}

void TcxCustomTextEdit::ReplaceSelection(const String& Text) {
  String text;
  int cursor = 0;
  if (!PrepareTextInsertion(Text, text, cursor)) return;
  ApplyDisplayValue(text);
  SetSelStart(cursor);
}

void TcxCustomTextEdit::DeleteSelection() {
  if (SelLength() == 0) return;
  const int start = SelStart();
  std::u32string t = U32(Text());
  t.erase(std::min<std::size_t>(start, t.size()), SelLength());
  if (TrySetDisplayText(U8(t))) SetSelStart(start);
}

bool TcxCustomTextEdit::PrepareTextInsertion(const String& Text, String& NewText, int& NewCursor) {
  TcxCustomTextEditProperties* p = TextProperties();
  const TcxTextEditingStyle style = p->EditingStyle();
  if (UserChangeMode() && style == tesNoEdit) return false;
  if (style == tesFixedList || style == tesNoEdit) SelectWholeText();
  const std::u32string text = U32(this->Text());
  const int start = std::min<int>(SelStart(), static_cast<int>(text.size()));
  const int end = std::min<int>(start + SelLength(), static_cast<int>(text.size()));
  const std::u32string inserted = U32(Text);
  const int max = p->MaxLength();
  std::u32string result;
  if (UserChangeMode() && (style == tesEdit || style == tesNoEdit) && max > 0) {
    result = text.substr(0, start) + inserted;
    const int cursor = std::min<int>(static_cast<int>(result.size()), max);
    result.resize(cursor);
    if (cursor < start) return false;
    NewCursor = cursor;
    result += text.substr(end);
    if (static_cast<int>(result.size()) > max) result.resize(max);
  } else {
    result = style == tesFixedList ? inserted : text.substr(0, start) + inserted + text.substr(end);
    NewCursor = start + static_cast<int>(inserted.size());
  }
  Variant v = U8(result);
  if (!p->AcceptText(v)) return false;
  if (UserChangeMode() && !RequestEditing()) return false;
  NewText = VarToStr(v);
  return true;
}

void TcxCustomTextEdit::RevalidateDisplayValue() {
  if (InnerEditMissing()) return;
  TcxCustomTextEditProperties* p = TextProperties();
  const TcxTextEditingStyle s = p->EditingStyle();
  if (s == tesEdit || s == tesNoEdit) {
    if (!ChangedSinceEnter()) DataBinding()->RefreshDisplay();
    return;
  }
  if ((ChangedSinceEnter() && !ValueValidated()) || IsValueCheckNeeded()) {
    String shown;
    ReadDisplayText(shown);
    Variant v = shown;
    if (!p->AcceptText(v)) {
      Variant empty;
      p->GetEmptyDisplayValue(empty);
      PushModifiedFlags();
      TryFinally([&] { DataBinding()->PutEditorDisplayValue(empty); }, [&] { PopModifiedFlags(); });
      if (!ChangedSinceEnter()) AdoptDisplayText();
    }
  } else {
    ShowEditValue();
  }
}

// ================================================================ the value flow

void TcxCustomTextEdit::ReadDisplayText(String& Text) {
  Text = InnerEdit() ? VarToStr(InnerEdit()->GetEditValue()) : String();
}

bool TcxCustomTextEdit::EditingAllowed() { return TextProperties()->EditingStyle() != tesNoEdit; }

void TcxCustomTextEdit::ApplyDisplayValue(const Variant& DisplayValue) {
  DataBinding()->PutEditorDisplayValue(DisplayValue);
  if (UserChangeMode()) return;
  ResetCompletion();
  AdoptDisplayText();
  SetValueModified(false);
}

void TcxCustomTextEdit::ApplyDisplayValueKeepingFlags(const Variant& DisplayValue) {
  TcxCustomTextEditProperties* p = TextProperties();
  if (p->EditingStyle() == tesEdit && p->HasLookupData() && !FLookupData->HasItemText(VarToStr(DisplayValue)))
    AnnounceNewLookupText(VarToStr(DisplayValue));
  TcxCustomEdit::ApplyDisplayValueKeepingFlags(DisplayValue);
}

bool TcxCustomTextEdit::TrySetDisplayText(const String& Text) {
  Variant v = Text;
  bool accepted = TextProperties()->AcceptText(v);
  if (accepted && UserChangeMode()) accepted = RequestEditing();
  if (accepted) ApplyDisplayValue(v);
  return accepted;
}

void TcxCustomTextEdit::PutDisplayValue(const Variant& DisplayValue) {
  if (InnerEdit()) InnerEdit()->SetEditValue(DisplayValue);
}

void TcxCustomTextEdit::AdoptDisplayText() {
  TcxCustomTextEditProperties* p = TextProperties();
  const bool compare = p->CanCompareEditValues();
  const Variant old = EditValue();
  String text;
  ReadDisplayText(text);
  Variant value;
  ConvertDisplayToEditValue(text, value, IsEditFocusedForDisplay());
  SetEditValueField(value);
  if (UserChangeMode()) SetChangedSinceEnter(true);
  else SetValueModified(false);
  if (!compare || VarEqualsExact(old, value)) return;
  SignalEditValueChanged();
  if (!p->SeparatesChangeEvents()) SignalChange();
}

void TcxCustomTextEdit::ShowEditValue() {
  TcxCustomTextEditProperties* p = TextProperties();
  const Variant value = EditValue();
  Variant display;
  const bool focused = IsEditFocusedForDisplay();
  if (p->CanValidate()) {
    if (p->IsValueAcceptable(value, focused)) {
      PrepareValueForEditing(value, display, focused);
    } else if (Focused()) {
      p->GetEmptyDisplayValue(display);
    } else if (VarIsType(value, varDate)) {
      display = DateTimeToStr(value.AsDouble());
    } else {
      try {
        display = VarToStr(value);
      } catch (const EVariantError&) {
        display = String();
      }
    }
  } else {
    PrepareValueForEditing(value, display, focused);
  }
  PushModifiedFlags();
  TryFinally(
      [&] {
        TRestore<bool> showing(ShowingEditValue, true);
        DataBinding()->PutEditorDisplayValue(display);
      },
      [&] { PopModifiedFlags(); });
  ResetCompletion();
  DisplayUpdated();
}

void TcxCustomTextEdit::DisplayUpdated() {
  auto* v = dynamic_cast<TcxCustomTextEditViewInfo*>(ViewInfo());
  if (!v) return;
  {
    std::unique_ptr<TcxCustomEditViewData> d(MakeViewData());
    String text;
    ReadDisplayText(text);
    if (auto* td = dynamic_cast<TcxCustomTextEditViewData*>(d.get())) td->SetDisplayTextFromEditValue(text, v);
  }
  if (!HandleAllocated()) return;
  CalculateViewInfoAt(ScreenToClient(ReadCursorPos()), mbcNone, false, KeyboardShiftState());
  SetCompletionHighlight();
  TRect r = Rect(0, 0, TcxContainer::Width(), Height());
  ::InvalidateRect(Handle(), &r, false);
}

void TcxCustomTextEdit::SetCompletionHighlight() {
  auto* v = dynamic_cast<TcxCustomTextEditViewInfo*>(ViewInfo());
  TcxCustomTextEditProperties* p = TextProperties();
  const TcxTextEditingStyle s = p->EditingStyle();
  if (!v || (s != tesFixedList && s != tesNoEdit)) return;
  v->SelStart = v->SelLength = 0;
  if (s != tesFixedList || !FCompletionShown || !p->FixedListCompletion()) return;
  v->SelStart = SelStart();
  v->SelLength = SelLength();
  v->SelBackgroundColor = clHighlight;
  v->SelTextColor = clHighlightText;
  if (v->Highlighted) {
    v->SelLength = Length(v->Text) - SelLength();
    v->SelStart = 0;
    std::swap(v->SelBackgroundColor, v->SelTextColor);
  }
}

void TcxCustomTextEdit::InnerEditChanged(TObject* Sender) {
  LockChangeEvents(true);
  TScopeExit unlock([this] { LockChangeEvents(false, true); });
  TcxCustomEdit::InnerEditChanged(Sender);
  auto* v = dynamic_cast<TcxCustomTextEditViewInfo*>(ViewInfo());
  if (!v || !v->InnerEditShown) DisplayUpdated();
  TcxCustomTextEditProperties* p = TextProperties();
  if (Focused() && p->HasNumericValue() && p->ThousandSeparatorEnabled(ShowingEditValue)) ReformatThousandSeparators();
}

void TcxCustomTextEdit::ReformatThousandSeparators() {
  String t = Text();
  InsertThousandSeparators(t);
  if (!IsFloatText(t)) return;
  const char32_t sep = static_cast<unsigned char>(FormatSettings().ThousandSeparator);
  const std::u32string old = U32(Text());
  int n = 0;
  for (int i = 0; i < std::min<int>(SelStart(), old.size()); ++i)
    if (old[i] != sep) ++n;
  PutDisplayValue(t);
  if (n == 0) return;
  const std::u32string now = U32(t);
  int seen = 0;
  for (int i = 0; i < static_cast<int>(now.size()); ++i)
    if (now[i] != sep && ++seen == n) {
      SetSelStart(i + 1);
      return;
    }
}

bool TcxCustomTextEdit::AcceptsCharacter(Char C) {
  if (TcxCustomEdit::AcceptsCharacter(C)) return true;
  bool currency = false, onGetText = false;
  String format;
  TextProperties()->GetEditFormatInfo(currency, onGetText, format, nullptr);
  return !format.empty() || onGetText;
}

bool TcxCustomTextEdit::IsValueChangingKey(Word Key, TShiftState Shift) {
  if (Key == VK_DELETE) return true;
  if (CanBrowseLookupItems(false) && !FLookupData->HasNoItems() && !IsPopupOpen()) {
    if (Key == VK_PRIOR || Key == VK_NEXT) return true;
    if ((Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssAlt)) return true;
  }
  return TcxCustomEdit::IsValueChangingKey(Key, Shift);
}

bool TcxCustomTextEdit::IsValueChangingChar(Char C) { return C == 8 || C == 22 || C == 24 || C >= 32; }

// ================================================================ keys

void TcxCustomTextEdit::KeyPress(Char& Key) {
  if (Key == 27 && EscapeHandled() && PopupClosedByKey && !IsPopupOpen()) PopupClosedByKey = false;
  TcxCustomEdit::KeyPress(Key);
}

void TcxCustomTextEdit::BrowseLookup(TcxLookupDirection Direction) {
  const int old = GetItemIndex();
  LockChangeEvents(true);
  TScopeExit unlock([this] { LockChangeEvents(false, true); });
  TRestore<bool> browsing(BrowsingLookup, true);
  LockClick(true);
  TScopeExit unclick([this] { LockClick(false); });
  FLookupData->MoveActiveKey(Direction, false);
  if (GetItemIndex() == old) return;
  MarkChangedAndClick();
  if (PostAllowed() && ActiveProperties()->ImmediatePost() && VerifyEditValue(true)) CommitEditValue(false);
}

void TcxCustomTextEdit::ProcessKeyDown(Word& Key, TShiftState Shift) {
  TcxObjectLinkScope link(this);
  TcxCustomTextEditProperties* p = TextProperties();
  const TcxTextEditingStyle style = p->EditingStyle();
  if (style == tesFixedList && !IsClearOrClickKey(Key, Shift) &&
      (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DELETE)) {
    SetCompletionShown(false);
    if (OnHostKey) OnHostKey(this, Key, Shift);
    Key = 0;
  }
  if (InnerTextEdit()) InnerTextEdit()->WriteKeyHandled(true);
  const bool completionBefore = FCompletionShown;
  if (Key != 0) {
    const Word was = Key;
    TcxCustomEdit::ProcessKeyDown(Key, Shift);
    if (!link.Alive()) return;
    if (was == VK_RETURN && completionBefore) SelectWholeText();
  }
  if (Key == VK_LEFT || Key == VK_RIGHT) {
    if (SelLength() != 0 && !Shift.Contains(ssShift)) {
      const int at = Key == VK_RIGHT ? SelStart() + SelLength() : SelStart();
      SetSelStart(at);
      SetSelLength(0);
      Key = 0;
    }
    SetCompletionShown(false);
  } else if (Key == VK_DELETE) {
    if (style == tesEditList) {
      if (OnHostKey) OnHostKey(this, Key, Shift);
      Key = 0;
    } else {
      SetCompletionShown(false);
    }
  } else if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN ||
             ((Key == VK_HOME || Key == VK_END) && style == tesFixedList)) {
    const bool homeEnd = Key == VK_HOME || Key == VK_END;
    if (p->HasLookupData() && CanBrowseLookupItems(false) && !FLookupData->HasNoItems()) {
      TcxLookupDirection d = ldNext;
      switch (Key) {
        case VK_PRIOR: d = Shift.Contains(ssCtrl) ? ldFirst : ldPageUp; break;
        case VK_NEXT: d = Shift.Contains(ssCtrl) ? ldLast : ldPageDown; break;
        case VK_END: d = ldLast; break;
        case VK_HOME: d = ldFirst; break;
        case VK_UP: d = ldPrior; break;
        default: d = ldNext;
      }
      BrowseLookup(d);
      if (!link.Alive()) return;
      Key = 0;
    }
    if (!homeEnd && !(InnerTextEdit() && InnerTextEdit()->ReadMultiLine())) {
      if (Key != 0 && OnHostKey) OnHostKey(this, Key, Shift);
      Key = 0;
    }
  }
  if (Key == VK_END && SelLength() == 0 && style != tesFixedList) SetCompletionShown(false);
  if (Key != 0 && InnerTextEdit()) InnerTextEdit()->WriteKeyHandled(false);
}

void TcxCustomTextEdit::ProcessKeyPress(Char& Key) {
  if (InnerTextEdit()) InnerTextEdit()->WriteKeyHandled(true);
  TcxCustomEdit::ProcessKeyPress(Key);
  if (Key == 0) return;
  TcxObjectLinkScope link(this);
  TcxCustomTextEditProperties* p = TextProperties();
  const TcxTextEditingStyle style = p->EditingStyle();
  LookupRematchLocked = false;
  SetUserChangeMode(true);
  if (style == tesFixedList && Key == 8 && !p->FixedListCompletion()) {
    Key = 0;
    SetCompletionShown(false);
  }
  const int oldKey = GetItemIndex();
  const bool completionBefore = FCompletionShown;
  bool found = false;
  LockClick(true);
  TScopeExit finally([&] {
    if (!link.Alive()) return;
    LockClick(false);
    SetUserChangeMode(false);
    if (p->HasLookupData() && GetItemIndex() != oldKey) MarkChangedAndClick();
  });
  const bool lookup = p->HasLookupData();
  const bool searching = lookup && ((style == tesEdit && p->IncrementalSearch()) || style == tesEditList ||
                                    style == tesFixedList);
  if (Key == 8 && searching) {
    const std::u32string text = U32(Text());
    if (style == tesEditList && !text.empty() && !FCompletionShown) {
      const int at = SelStart();
      SetSelLength(static_cast<int>(text.size()) - at);
      SetCompletionShown(true);
    }
    if (FCompletionShown) {
      std::u32string typed = text.substr(0, std::min<std::size_t>(SelStart(), text.size()));
      if (!typed.empty()) typed.pop_back();
      String t = U8(typed);
      TRestore<bool> locked(LookupRematchLocked, true);
      found = Complete(t);
    }
    if (style == tesFixedList) Key = 0;
  } else if (Key >= 32 && lookup) {
    const std::u32string text = U32(Text());
    const int start = SelStart(), length = SelLength();
    const bool atEnd = start == static_cast<int>(text.size()) && length == 0;
    const bool mayComplete = searching && (style != tesEdit || atEnd || FCompletionShown || length > 0);
    if (mayComplete) {
      TRestore<bool> locked(LookupRematchLocked, true);
      std::u32string t;
      const std::u32string ch(1, Key);
      bool tried = false;
      if (length > 0) {
        t = text.substr(0, std::min<std::size_t>(start, text.size())) + ch;
      } else if (style == tesFixedList) {
        if (FCompletionShown) {
          String s = U8(text + ch);
          found = Complete(s);
          tried = true;
          t = found ? U32(s) : ch;
        } else {
          t = ch;
        }
      } else {
        t = text.substr(0, start) + ch + text.substr(start);
      }
      String s = U8(t);
      if (!found && !(tried && t == text + ch)) found = Complete(s);
      if (style == tesFixedList && !p->FixedListCompletion() && !found) {
        String single = U8(ch);
        found = Complete(single);
      }
      if ((style == tesEditList || style == tesFixedList) && !found) {
        Key = 0;
        if ((style == tesEditList && !text.empty()) ||
            (style == tesFixedList && p->FixedListCompletion() && completionBefore))
          SetCompletionShown(true);
      }
    }
  }
  if (found) Key = 0;
  if (Key != 0 && InnerTextEdit()) InnerTextEdit()->WriteKeyHandled(false);
}

bool TcxCustomTextEdit::Complete(String& T) {
  String s = T;
  const Char pending = InnerTextEdit() ? InnerTextEdit()->ReadPendingImeByte() : Char(0);
  if (pending) AppendUtf8(s, pending);
  String tail;
  const bool success = FLookupData->FindItemByPrefix(s, tail, false);
  if (success && pending) {
    std::u32string u = U32(s);
    u.pop_back();
    s = U8(u);
    tail = U8(std::u32string(1, pending)) + tail;
  }
  FCompletionShown = success;
  if (T.empty()) {
    if (TextProperties()->EditingStyle() != tesFixedList) ApplyDisplayValue(String());
    FCompletionShown = false;
  }
  if (success) {
    T = s;
    DataBinding()->PutEditorDisplayValue(T + tail);
    SetSelStart(Length(T));
    SetSelLength(Length(tail));
  }
  DisplayUpdated();
  return success;
}

bool TcxCustomTextEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TcxCustomEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!CanBrowseLookupItems(true) || IsPopupOpen() || !TextProperties()->HasLookupData() ||
      FLookupData->HasNoItems() || !CanUseMouseWheel(Shift))
    return false;
  if (RequestEditing()) BrowseLookup(WheelDelta > 0 ? ldPrior : ldNext);
  return true;
}

void TcxCustomTextEdit::DoExit() {
  TcxCustomEdit::DoExit();
  SetCompletionShown(false);
}

// ================================================================ inner edit and clipboard

void TcxCustomTextEdit::InnerEditWindowProc(TMessage& Message) {
  if (Message.Msg == WM_SETFOCUS) {
    if (InnerTextEdit() && InnerTextEdit()->ReadAutoSelect()) SelectWholeText();
    return;
  }
  TcxCustomEdit::InnerEditWindowProc(Message);
}

void TcxCustomTextEdit::UnhookInnerEditWindowProc() {
  TcxCustomEdit::UnhookInnerEditWindowProc();
  TcxCustomInnerTextEdit* e = InnerTextEditControl();
  if (!e || !e->HandleAllocated()) return;
  const bool was = e->AutoSelect();
  e->SetAutoSelect(false);
  TScopeExit restore([e, was] { e->SetAutoSelect(was); });
  SendMessage(e->Handle(), WM_SETFOCUS, 0, 0);
}

void TcxCustomTextEdit::StartInPlaceEditing(TcxCustomEditData*& AEditData) {
  TcxCustomEdit::StartInPlaceEditing(AEditData);
  if (!HandleAllocated()) return;
  SetSelStart(0);
  if (ActiveProperties()->AutoSelect()) SelectWholeText();
}

void TcxCustomTextEdit::ClipboardCopy() {
  const TcxTextEditingStyle s = TextProperties()->EditingStyle();
  if (s == tesFixedList || s == tesNoEdit) SelectWholeText();
  if (SelLength() != 0 && InnerTextEdit()) InnerTextEdit()->CopyToClipboard();
}

void TcxCustomTextEdit::ClipboardCut() {
  if (SelLength() == 0) return;
  String text;
  int cursor = 0;
  if (UserChangeMode()) {
    if (PrepareTextInsertion(String(), text, cursor)) InnerEdit()->CallDefWndProc(WM_CUT, 0, 0);
    return;
  }
  if (InnerTextEdit()) InnerTextEdit()->CopyToClipboard();
  ReplaceSelection(String());
}

void TcxCustomTextEdit::ClipboardPaste() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  const String clip = Clipboard()->AsText();
  if (!UserChangeMode()) return ReplaceSelection(clip);
  String text;
  int cursor = 0;
  if (!PrepareTextInsertion(clip, text, cursor)) return;
  // The prepared text already keeps the limits: it goes in as typed text would.
  ApplyDisplayValue(text);
  SetSelStart(cursor);
  SetSelLength(0);
}

bool TcxCustomTextEdit::IsInnerEditShown() {
  const TcxTextEditingStyle s = TextProperties()->EditingStyle();
  if ((s != tesEdit && s != tesEditList) || InnerEditMissing() || IsInDesigner()) return false;
  return IsActiveControl() || ActiveProperties()->Alignment()->Horz() == taLeftJustify;
}

void TcxCustomTextEdit::CalculateHostedClip(const TRect& R, TControl* AControl, TcxHostedControlClip& Clip) {
  if (IsInnerEditShown()) return TcxCustomEdit::CalculateHostedClip(R, AControl, Clip);
  Clip.Empty = false;
  Clip.Rect = TRect();
}

void TcxCustomTextEdit::PlaceInnerEdit() {
  TcxCustomInnerTextEdit* e = InnerTextEditControl();
  if (!e || PlacingInnerEdit) return;
  TRestore<bool> placing(PlacingInnerEdit, true);
  const int h = InnerEditLineHeight();
  const TRect r = ViewInfo()->ContentRect;
  const TcxEditContentParameters& c = CachedContentParameters();
  int y = r.Top + c.OffsetTop;
  switch (ActiveProperties()->Alignment()->Vert()) {
    case taBottomJustify: y = r.Bottom - h - c.OffsetBottom; break;
    case taVCenter: y = r.Top + c.OffsetTop + (r.Height() - h - c.OffsetTop - c.OffsetBottom) / 2; break;
    default: break;
  }
  y = std::max(y, r.Top + c.OffsetTop);
  const TRect want = Rect(r.Left + c.OffsetLeft, y, r.Right - c.OffsetRight + 1, y + h);
  if (e->BoundsRect() != want) e->SetBounds(want.Left, want.Top, want.Width(), want.Height());
  TRect align = r;
  const TcxTextEditingStyle s = TextProperties()->EditingStyle();
  if (InPlace()) {
    align.Top += 1;
    align.Bottom -= 1;
  } else if (IsThemed() && (s == tesEdit || s == tesEditList)) {
    align.Right -= 1;
    align.Bottom -= 1;
  }
  AlignControls(e, align);
}

void TcxCustomTextEdit::ApplyPropertiesChange(TObject* Sender) {
  TcxCustomTextEditProperties* p = TextProperties();
  IcxInnerTextEdit* inner = InnerTextEdit();
  if (inner) inner->WriteAlignment(p->Alignment()->Horz());
  if (p->HasLookupData() && FLookupData) {
    FLookupData->ItemsChanged();
    if (!LookupRematchLocked) FLookupData->TextChanged();
  }
  if (!InnerEditMissing() && !IsInnerEditShown()) DisplayUpdated();
  if (!inner) return;
  SetImeMode(p->ImeMode());
  SetImeName(p->ImeName());
  inner->WriteAlignment(p->Alignment()->Horz());
  inner->WriteAutoSelect(p->AutoSelect() && !InPlace());
  inner->WriteCharCase(p->CharCase());
  inner->WriteEchoMode(p->EchoMode() == eemPassword);
  inner->WriteHideSelection(p->HideSelection());
  inner->WriteImeMode(p->ImeMode());
  inner->WriteImeName(p->ImeName());
  inner->WriteMaxLength(p->MaxLength());
  inner->WriteOEMConvert(p->OEMConvert());
  inner->WritePasswordChar(p->PasswordChar());
  CheckValueRangeAfterChange();
  if (!Posting()) RevalidateDisplayValue();
  DisplayUpdated();
  TcxCustomEdit::ApplyPropertiesChange(Sender);
  if (TcxCustomInnerTextEdit* e = InnerTextEditControl()) e->Invalidate();
}

bool TcxCustomTextEdit::UpdateAppearanceAt(TPoint P, TcxMouseButtonCode Button, TShiftState Shift, bool Recalculate) {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying)) return false;
  const bool changed = TcxCustomEdit::UpdateAppearanceAt(P, Button, Shift, Recalculate);
  if (changed) UpdateInnerEditAppearance();
  SetDoubleBuffered(!IsInnerEditShown());
  return changed;
}
