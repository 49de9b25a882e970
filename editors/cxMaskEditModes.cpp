// The base mode and the standard mode: a fixed-width text with a one-character caret block.
#include "editors/cxMaskEditModes.h"

#include "core/StrUtils.h"
#include "editors/cxEditRepository.h"
#include "editors/cxStandardMask.h"
#include "gui/Messages.h"
#include "gui/WinUser.h"

namespace {
std::u32string U32(const String& S) { return Utf8ToUtf32(S); }
String U8(const std::u32string& S) { return Utf32ToUtf8(S); }

bool IsBlank(const String& Mask) {
  for (char c : Mask)
    if (c != ' ' && c != '\0' && c != '\t' && c != '\n' && c != '\f' && c != '\r') return false;
  return true;
}
}  // namespace

// ================================================================ base

TcxMaskEditCustomMode::TcxMaskEditCustomMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
    : Edit(AEdit), Properties(AProperties) {}

TcxMaskEditCustomMode::~TcxMaskEditCustomMode() = default;

void TcxMaskEditCustomMode::SignalError() {
  if (ModeProperties()->BeepOnError()) Beep();
}

bool TcxMaskEditCustomMode::HasLiveEditor() {
  return Edit && !Edit->ComponentState().Contains(csDestroying) && Edit->InnerTextEdit();
}

TcxCustomMaskEditProperties* TcxMaskEditCustomMode::ModeProperties() {
  return Edit ? Edit->MaskProperties() : Properties;
}

int TcxMaskEditCustomMode::SelStart() { return Edit ? Edit->SelStart() : 0; }
int TcxMaskEditCustomMode::SelLength() { return Edit ? Edit->SelLength() : 0; }
String TcxMaskEditCustomMode::Text() { return Edit ? Edit->CurrentText() : String(); }
void TcxMaskEditCustomMode::MoveCaret(int Position) {
  if (Edit) Edit->SetSelStart(Position);
}

void TcxMaskEditCustomMode::RefreshDisplay() {
  if (!HasLiveEditor()) return;
  Variant display;
  if (Edit->ChangedSinceEnter()) display = FormatText(Edit->CurrentText(), true);
  else ModeProperties()->PrepareDisplayValue(Edit->EditValue(), display, Edit->Focused());
  Edit->DataBinding()->PutEditorDisplayValue(display);
}

// ================================================================ standard mode

TcxMaskEditStandardMode::TcxMaskEditStandardMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
    : TcxMaskEditCustomMode(AEdit, AProperties), FStandardMask(std::make_unique<TcxStandardMask>()) {}

TcxMaskEditStandardMode::~TcxMaskEditStandardMode() = default;

Char TcxMaskEditStandardMode::BlankChar() { return FStandardMask->Blank(); }

bool TcxMaskEditStandardMode::IsLiteralAt(int Position) const {
  return Position >= 0 && Position < FStandardMask->ItemCount() &&
         dynamic_cast<TcxStandardMaskLiteralItem*>(FStandardMask->ItemAt(Position)) != nullptr;
}

int TcxMaskEditStandardMode::LiteralsBefore(int Position) const {
  int n = 0;
  while (IsLiteralAt(Position - 1 - n)) ++n;
  return n;
}

int TcxMaskEditStandardMode::LiteralsFrom(int Position) const {
  int n = 0;
  while (IsLiteralAt(Position + n)) ++n;
  return n;
}

void TcxMaskEditStandardMode::PutText(const String& Text, int Caret) {
  Edit->DataBinding()->PutEditorDisplayValue(Text);
  MoveCaret(Caret);
}

void TcxMaskEditStandardMode::ApplyMask(const String& AMask) {
  Mask = AMask;
  // A blank mask leaves no items: texts pass unchanged.
  FStandardMask->Compile(IsBlank(AMask) ? String() : AMask);
  EditValuePending = !HasLiveEditor();
}

String TcxMaskEditStandardMode::EmptyText() { return FStandardMask->EmptyValueText(); }

String TcxMaskEditStandardMode::FormatText(const String& Text, bool WithLiterals) {
  String t = Text;
  FStandardMask->FitText(t, true, WithLiterals);
  return t;
}

String TcxMaskEditStandardMode::DisplayTextOf(const String& Text, bool WithLiterals) {
  if (FStandardMask->ItemCount() == 0) return Text;
  String t = Text;
  FStandardMask->FitText(t, ModeProperties()->CharCase() == ecNormal, WithLiterals);
  FStandardMask->ValueText(t);
  return t;
}

bool TcxMaskEditStandardMode::CaretAtFirst() {
  const int first = LiteralsFrom(0);
  const int length = SelLength();
  return first >= SelStart() && (length < 2 || Edit->CaretCharIndex() == SelStart());
}

bool TcxMaskEditStandardMode::CaretAtLast() { return SelStart() == Length(Text()); }

bool TcxMaskEditStandardMode::IsTextValid(const String& Text) {
  String t = Text;
  if (FStandardMask->IsComplete(t)) return true;
  return ModeProperties()->IgnoreMaskBlank() && Text == FormatText(String(), true);
}

void TcxMaskEditStandardMode::MouseSelected() {
  if (!Edit || !Edit->HandleAllocated() || !Edit->IsMasked() || SelLength() != 0) return;
  Edit->SetSelLengthInternal(1);
}

void TcxMaskEditStandardMode::PastePrepare() {
  if (!Edit) return;
  SavedSelStart = SelStart();
  Edit->SetSelStartInternal(SavedSelStart);
  Edit->SetSelLengthInternal(ClipboardTextLength);
}

void TcxMaskEditStandardMode::PasteDone() {
  if (!Edit) return;
  const int length = Length(Text());
  const int at = std::max(0, std::min(SavedSelStart + ClipboardTextLength, length - 1));
  MoveCaret(at);
  if (IsLiteralAt(at)) {
    Edit->ShiftOn = false;
    RightPressed();
  }
}

bool TcxMaskEditStandardMode::BackspacePressed() {
  if (SelLength() <= 1) LeftPressed();
  DeletePressed();
  return false;
}

bool TcxMaskEditStandardMode::DeletePressed() {
  const Char blank = BlankChar();
  const int start = SelStart();
  std::u32string t = U32(Text());
  const int end = std::min<int>(start + SelLength(), static_cast<int>(t.size()));
  bool changed = false;
  for (int i = start; i < end; ++i)
    if (!IsLiteralAt(i) && blank != 0 && t[i] != blank) {
      t[i] = blank;
      changed = true;
    }
  if (changed) PutText(U8(t), start);
  return false;
}

bool TcxMaskEditStandardMode::EndPressed() {
  if (Edit->ShiftOn) return true;
  MoveCaret(Length(Text()));
  return false;
}

bool TcxMaskEditStandardMode::HomePressed() {
  if (Edit->ShiftOn) return true;
  MoveCaret(0);
  if (IsLiteralAt(0)) RightPressed();
  return false;
}

bool TcxMaskEditStandardMode::LeftPressed() {
  const int start = SelStart(), length = SelLength();
  if (Edit->ShiftOn) {
    if (length != 1) return true;
    // The block becomes a caret after it; the key then selects it and the character before.
    Edit->SetSelStartInternal(start + 1);
    Edit->SetSelLengthInternal(0);
    Edit->SendKey(VK_LEFT);
    return true;
  }
  if (length >= 2) {
    int i = start;
    while (i < start + length && IsLiteralAt(i)) ++i;
    if (i < start + length) MoveCaret(i);
    else if (start + length >= Length(Text())) MoveCaret(start + length);
    else MoveCaret(start);
    return false;
  }
  if (start > 0) {
    const int literals = LiteralsBefore(start);
    if (literals < start) MoveCaret(start - (literals + 1));
  }
  return false;
}

bool TcxMaskEditStandardMode::RightPressed() {
  const int start = SelStart(), length = SelLength();
  const int textLength = Length(Text());
  if (Edit->ShiftOn) {
    if (length == 1 && start == Edit->CaretCharIndex()) Edit->SetSelLengthInternal(0);
    return true;
  }
  if (length < 2) {
    const int literals = LiteralsFrom(start + 1);
    MoveCaret(start + literals + 1 <= textLength ? start + literals + 1 : start);
    return false;
  }
  int a = start + length;
  if (a < textLength) {
    int trailing = 0;
    while (trailing < length && IsLiteralAt(a - 1 - trailing)) ++trailing;
    a -= trailing == length ? 1 : 1 + trailing;
  }
  MoveCaret(0);
  MoveCaret(a);
  return false;
}

bool TcxMaskEditStandardMode::CharTyped(Char& Ch) {
  const std::u32string text = U32(Text());
  const int start = SelStart();
  if (text.empty() || start >= static_cast<int>(text.size()) || start >= FStandardMask->ItemCount()) return false;
  if (IsLiteralAt(start)) {
    Edit->ShiftOn = false;
    if (SelLength() > 1) DeletePressed();
    RightPressed();
    if (SelStart() != start) CharTyped(Ch);
    return false;
  }
  char32_t c = Ch;
  if (FStandardMask->ItemAt(start)->Matches(c) && Edit->AcceptsCharAt(static_cast<Char>(c), start + 1)) {
    if (c == 0) {
      SignalError();
      return false;
    }
    if (SelLength() > 1) DeletePressed();
    std::u32string t = U32(Text());
    if (start < static_cast<int>(t.size())) t[start] = c;
    PutText(U8(t), start);
    Edit->ShiftOn = false;
    RightPressed();
  }
  return false;
}

void TcxMaskEditStandardMode::RefreshDisplay() {
  TcxMaskEditCustomMode::RefreshDisplay();
  MouseSelected();
}

// Only a Null value takes the mask's empty text: a value already there is never replaced.
void TcxMaskEditStandardMode::InitialEditValue() {
  if (!EditValuePending || !Edit || !VarIsNull(Edit->EditValue())) return;
  Edit->ChangeEditValue(EmptyText());
  EditValuePending = false;
}
