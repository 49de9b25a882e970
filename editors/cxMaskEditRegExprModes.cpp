// The expression modes: the text split at the caret into Head, fed into the expression, and
// Tail; the extended mode also types the literals the expression forces and moves over them.
#include "editors/cxMaskEditModes.h"

#include "core/StrUtils.h"
#include "editors/cxClasses.h"
#include "editors/cxEditRepository.h"
#include "editors/cxRegExpr.h"
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

// ================================================================ expression mode

TcxMaskEditRegExprMode::TcxMaskEditRegExprMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
    : TcxMaskEditCustomMode(AEdit, AProperties), FExpression(std::make_unique<TcxRegExpr>()) {
  FExpression->SetCaseInsensitive(ModeProperties()->CaseInsensitive());
}

TcxMaskEditRegExprMode::~TcxMaskEditRegExprMode() = default;

void TcxMaskEditRegExprMode::RaiseMaskError(const EcxRegExprError& E) {
  String message = TranslateLibraryString("规则表达式错误:");
  if (const TcxRegExprErrors* errors = E.Errors())
    for (int i = 0; i < errors->Count(); ++i) message += "\r\n" + errors->Items(i)->FullText();
  throw EcxMaskEditError(message);
}

void TcxMaskEditRegExprMode::ApplyMask(const String& AMask) {
  Mask = AMask;
  FHead.clear();
  FTail.clear();
  if (IsBlank(AMask)) {
    FExpression->Discard();
    return;
  }
  try {
    FExpression->Compile(AMask);
  } catch (const EcxRegExprError& e) {
    RaiseMaskError(e);
  }
}

String TcxMaskEditRegExprMode::FormatText(const String& Text, bool) {
  if (!FExpression->Compiled()) return String();
  FExpression->Restart();
  std::u32string result;
  for (char32_t c : U32(Text))
    if (FExpression->Accept(c)) result.push_back(c);
  return U8(result);
}

// Head and Tail are rebuilt from the editor when the mouse or an outside change moved the
// caret, and also whenever they no longer spell the text or end at the caret.
void TcxMaskEditRegExprMode::Sync() {
  if (!Edit || !FExpression->Compiled()) return;
  const std::u32string text = U32(Text());
  const int caret = Edit->CaretCharIndex();
  const bool stale = FHead + FTail != text || static_cast<int>(FHead.size()) != caret;
  if (!((FHead.empty() && FTail.empty() && !text.empty()) || MouseAction || stale)) return;
  MouseAction = false;
  FExpression->Restart();
  FTail = text;
  FHead.clear();
  for (int i = 0; i < caret && i < static_cast<int>(text.size()); ++i) {
    char32_t c = text[i];
    FExpression->Accept(c);
    FHead.push_back(FTail.front());
    FTail.erase(0, 1);
  }
}

bool TcxMaskEditRegExprMode::TailFits() {
  int accepted = 0;
  bool fits = true;
  for (char32_t c : FTail) {
    if (!FExpression->Accept(c)) {
      fits = false;
      break;
    }
    ++accepted;
  }
  for (int i = 0; i < accepted; ++i) FExpression->StepBack();
  return fits;
}

// The tail that no longer fits leaves the text; it is the text's end.
void TcxMaskEditRegExprMode::DropTail() {
  std::u32string text = U32(Text());
  text.resize(text.size() >= FTail.size() ? text.size() - FTail.size() : 0);
  Edit->DataBinding()->PutEditorDisplayValue(U8(text));
  Edit->SetSelStartInternal(static_cast<int>(text.size()));
  FTail.clear();
}

void TcxMaskEditRegExprMode::MoveLeft() {
  if (FHead.empty()) return;
  FExpression->StepBack();
  FTail.insert(FTail.begin(), FHead.back());
  FHead.pop_back();
}

void TcxMaskEditRegExprMode::MoveRight() {
  if (FTail.empty()) return;
  char32_t c = FTail.front();
  FExpression->Accept(c);
  FHead.push_back(c);
  FTail.erase(0, 1);
}

void TcxMaskEditRegExprMode::EnterAll() {
  if (!FExpression->Compiled()) return;
  Sync();
  for (char32_t c : FTail) FExpression->Accept(c);
  FHead += FTail;
  FTail.clear();
}

bool TcxMaskEditRegExprMode::CaretAtLast() { return SelStart() == Length(Text()); }

bool TcxMaskEditRegExprMode::IsTextValid(const String& Text) {
  if (Text.empty()) return true;
  if (!FExpression->Compiled()) return false;
  TcxRegExpr e;
  e.SetCaseInsensitive(ModeProperties()->CaseInsensitive());
  e.Compile(FExpression->Source());
  for (char32_t c : U32(Text))
    if (!e.Accept(c)) return false;
  return ModeProperties()->IgnoreMaskBlank() || e.IsComplete();
}

void TcxMaskEditRegExprMode::CutSelection() {
  const int start = SelStart(), length = SelLength();
  if (start == static_cast<int>(FHead.size())) {
    Selection = FTail.substr(0, length);
    FTail.erase(0, Selection.size());
    AtHeadOfTail = true;
  } else if (start + length == static_cast<int>(FHead.size())) {
    Selection = FHead.substr(start);
    FHead.resize(start);
    for (std::size_t i = 0; i < Selection.size(); ++i) FExpression->StepBack();
    AtHeadOfTail = false;
  }
}

void TcxMaskEditRegExprMode::UndoCut() {
  if (AtHeadOfTail) {
    FTail = Selection + FTail;
    return;
  }
  for (char32_t c : Selection) {
    FExpression->Accept(c);
    FHead.push_back(c);
  }
}

// A replacement performed for the user (the deleted selection, the typed character) is no
// error: only a refusal beeps.
bool TcxMaskEditRegExprMode::BackspacePressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  bool result = false, refused = false;
  if (SelLength() > 0) {
    CutSelection();
    if (!TailFits()) {
      Edit->SendChar(8);
      DropTail();
    } else {
      result = true;
    }
  } else if (!FHead.empty()) {
    FExpression->StepBack();
    FHead.pop_back();
    if (!TailFits()) DropTail();
    result = true;
  } else {
    refused = true;
  }
  Selection.clear();
  if (refused) SignalError();
  return result;
}

bool TcxMaskEditRegExprMode::DeletePressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  bool result = false, refused = false;
  if (SelLength() > 0) {
    CutSelection();
    if (!TailFits()) {
      Edit->SendKey(VK_DELETE);
      DropTail();
    } else {
      result = true;
    }
  } else if (!FTail.empty()) {
    Selection = FTail.substr(0, 1);
    FTail.erase(0, 1);
    if (!TailFits()) {
      // The rest leaves the text; the inner edit's Delete then removes the character itself.
      DropTail();
      Edit->SetSelStartInternal(static_cast<int>(FHead.size()));
    }
    result = true;
  } else {
    refused = true;
  }
  Selection.clear();
  if (refused) SignalError();
  return result;
}

bool TcxMaskEditRegExprMode::EndPressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  for (char32_t c : FTail) FExpression->Accept(c);
  FHead += FTail;
  FTail.clear();
  return true;
}

bool TcxMaskEditRegExprMode::HomePressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  if (!FHead.empty()) {
    FTail = FHead + FTail;
    FHead.clear();
    FExpression->Restart();
  }
  return true;
}

bool TcxMaskEditRegExprMode::LeftPressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  if (FHead.empty()) return true;
  const int start = SelStart(), length = SelLength(), caret = Edit->CaretCharIndex();
  if (length > 0) {
    if (start + length == caret && !Edit->ShiftOn) {
      for (int i = 0; i < length; ++i) MoveLeft();
    } else if (caret == start && !Edit->ShiftOn) {
    } else {
      MoveLeft();
    }
  } else {
    MoveLeft();
  }
  return true;
}

bool TcxMaskEditRegExprMode::RightPressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  if (FTail.empty()) return true;
  const int start = SelStart(), length = SelLength(), caret = Edit->CaretCharIndex();
  if (length > 0) {
    if (caret == start && !Edit->ShiftOn) {
      for (int i = 0; i < length; ++i) MoveRight();
    } else if (caret == start + length && !Edit->ShiftOn) {
    } else {
      MoveRight();
    }
  } else {
    MoveRight();
  }
  return true;
}

bool TcxMaskEditRegExprMode::CharTyped(Char& Ch) {
  if (!FExpression->Compiled()) return true;
  Sync();
  const bool selected = SelLength() > 0;
  if (selected) CutSelection();
  bool result = false, refused = false;
  char32_t c = Ch;
  if (FExpression->Accept(c)) {
    Ch = static_cast<Char>(c);
    FHead.push_back(c);
    result = true;
    if (!TailFits()) {
      if (selected) {
        Edit->SendKey(VK_DELETE);
        Edit->SendChar(Ch);
        result = false;
      }
      DropTail();
    }
  } else {
    UndoCut();
    refused = true;
  }
  Selection.clear();
  if (refused) SignalError();
  return result;
}

void TcxMaskEditRegExprMode::TextAssigned(const String& Text) {
  if (!FExpression->Compiled()) return;
  FExpression->Restart();
  const std::u32string text = U32(Text);
  if (ClipboardTextLength < 1 || text.empty()) {
    FHead.clear();
    FTail = text;
    return;
  }
  const std::size_t n = std::min<std::size_t>(text.size(), SelStart() + ClipboardTextLength);
  FHead = text.substr(0, n);
  FTail = text.substr(n);
  for (char32_t c : FHead) FExpression->Accept(c);
  ClipboardTextLength = 0;
}

void TcxMaskEditRegExprMode::RefreshDisplay() {
  TcxMaskEditCustomMode::RefreshDisplay();
  if (!HasLiveEditor() || !FExpression->Compiled()) return;
  const String text = Text();
  MoveCaret(Length(text));
  FHead = U32(text);
  FTail.clear();
  FExpression->Restart();
  FExpression->FeedText(text);
}

// ================================================================ extended mode

TcxMaskEditRegExprExMode::TcxMaskEditRegExprExMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
    : TcxMaskEditRegExprMode(AEdit, AProperties) {
  FExpression->OnLiteralAdded = TcxLiteralAddedEvent::Lambda([this](char32_t c) { FFilled.push_back(c); });
  FExpression->OnLiteralRemoved = TcxLiteralRemovedEvent::Lambda([this] { ++FRemoved; });
  FExpression->SetAutoFill(true);
  ClearFilled();
}

void TcxMaskEditRegExprExMode::ClearFilled() {
  FFilled.clear();
  FRemoved = 0;
}

void TcxMaskEditRegExprExMode::SetAutoFill(bool Value) { FExpression->SetAutoFill(Value); }

bool TcxMaskEditRegExprExMode::Refill() {
  const std::size_t before = FFilled.size();
  SetAutoFill(false);
  SetAutoFill(true);
  return FFilled.size() > before;
}

void TcxMaskEditRegExprExMode::ApplyMask(const String& AMask) {
  ClearFilled();
  TcxMaskEditRegExprMode::ApplyMask(AMask);
  EditValuePending = !HasLiveEditor();
}

String TcxMaskEditRegExprExMode::LeadingLiterals(std::unique_ptr<TcxRegExpr>* Keep) {
  auto e = std::make_unique<TcxRegExpr>();
  if (!FExpression->Compiled()) return String();
  e->SetCaseInsensitive(ModeProperties()->CaseInsensitive());
  e->OnLiteralAdded = TcxLiteralAddedEvent::Lambda([this](char32_t c) { FCollected.push_back(c); });
  try {
    e->Compile(FExpression->Source());
  } catch (const EcxRegExprError&) {
    return String();
  }
  FCollected.clear();
  e->SetAutoFill(true);
  const String result = U8(FCollected);
  if (Keep) {
    e->OnLiteralAdded = nullptr;
    *Keep = std::move(e);
  }
  return result;
}

String TcxMaskEditRegExprExMode::EmptyText() { return LeadingLiterals(); }

String TcxMaskEditRegExprExMode::FormatText(const String& Text, bool WithLiterals) {
  if (!FExpression->Compiled()) return String();
  SetAutoFill(false);
  ClearFilled();
  const String result = TcxMaskEditRegExprMode::FormatText(Text, WithLiterals);
  SetAutoFill(true);
  return result + U8(FFilled);
}

void TcxMaskEditRegExprExMode::EnterAll() {
  SetAutoFill(false);
  TcxMaskEditRegExprMode::EnterAll();
  SetAutoFill(true);
}

bool TcxMaskEditRegExprExMode::IsTextValid(const String& Text) {
  std::unique_ptr<TcxRegExpr> e;
  const String leading = LeadingLiterals(&e);
  if (Text == leading) return true;
  if (!e) return false;
  e->SetAutoFill(false);
  e->Restart();
  for (char32_t c : U32(Text))
    if (!e->Accept(c)) return false;
  return ModeProperties()->IgnoreMaskBlank() || e->IsComplete();
}

void TcxMaskEditRegExprExMode::InitialEditValue() {
  if (!EditValuePending || !Edit || !VarIsNull(Edit->EditValue())) return;
  Edit->ChangeEditValue(U8(FFilled));
  EditValuePending = false;
}

void TcxMaskEditRegExprExMode::CutSelection() {
  SetAutoFill(false);
  TcxMaskEditRegExprMode::CutSelection();
  const std::size_t before = FFilled.size();
  SetAutoFill(true);
  if (FFilled.size() > before) {
    FExpression->StepBack();
    ClearFilled();
  }
}

void TcxMaskEditRegExprExMode::UndoCut() {
  SetAutoFill(false);
  TcxMaskEditRegExprMode::UndoCut();
  const std::size_t before = FFilled.size();
  SetAutoFill(true);
  if (FFilled.size() > before) {
    FExpression->StepBack();
    ClearFilled();
  }
}

// Steps over one group: a typed character with the literals filled in after it.
void TcxMaskEditRegExprExMode::StepRight() {
  if (FTail.empty()) return;
  ClearFilled();
  char32_t c = FTail.front();
  FExpression->Accept(c);
  const std::size_t n = std::min(FTail.size(), FFilled.size() + 1);
  FHead += FTail.substr(0, n);
  FTail.erase(0, n);
}

void TcxMaskEditRegExprExMode::StepLeft() {
  if (FHead.empty()) return;
  ClearFilled();
  FExpression->StepBack();
  const std::size_t n = std::min(FHead.size(), static_cast<std::size_t>(FRemoved + 1));
  FTail = FHead.substr(FHead.size() - n) + FTail;
  if (FExpression->AtStart()) {
    FTail = FHead.substr(0, FHead.size() - n) + FTail;
    FHead.clear();
  } else {
    FHead.resize(FHead.size() - n);
  }
}

void TcxMaskEditRegExprExMode::Sync() {
  if (!HasLiveEditor() || !Edit->HandleAllocated() || !FExpression->Compiled()) return;
  const std::u32string text = U32(Text());
  if ((FHead.empty() && FTail.empty() && !text.empty()) || FHead + FTail != text) {
    FHead.clear();
    FTail = text;
    SetAutoFill(false);
    FExpression->Restart();
    SetAutoFill(true);
    ClearFilled();
    MouseAction = true;
  }
  if (!MouseAction) return;
  MouseAction = false;
  const int a = SelStart(), e = SelStart() + SelLength();
  bool stopped = false;
  while (static_cast<int>(FHead.size()) < a && !FTail.empty()) {
    StepRight();
    if (static_cast<int>(FHead.size()) > a) {
      StepLeft();
      Edit->SetSelStartInternal(static_cast<int>(FHead.size()));
      stopped = true;
      break;
    }
  }
  while (!stopped && static_cast<int>(FHead.size()) > a) {
    StepLeft();
    if (static_cast<int>(FHead.size()) < a) {
      Edit->SetSelStartInternal(static_cast<int>(FHead.size()));
      break;
    }
  }
  if (a < e) {
    while (static_cast<int>(FHead.size()) < e && !FTail.empty()) StepRight();
    Edit->SetSelLengthInternal(static_cast<int>(FHead.size()) - SelStart());
  }
}

void TcxMaskEditRegExprExMode::RefillTail() {
  ClearFilled();
  for (char32_t c : FTail) {
    FExpression->Accept(c);
    Edit->SetSelStartInternal(SelStart() + 1);
  }
  SetAutoFill(true);
  const std::u32string filled = FFilled;
  for (char32_t f : filled) {
    FTail.push_back(f);
    Edit->SendChar(static_cast<Char>(f));
  }
  SetAutoFill(false);
  for (std::size_t i = 0; i < FTail.size(); ++i) {
    FExpression->StepBack();
    Edit->SetSelStartInternal(std::max(0, SelStart() - 1));
  }
}

// After a change inside the text: the rest is checked again with AutoFill off.
void TcxMaskEditRegExprExMode::RefillOrDrop() {
  SetAutoFill(false);
  if (TailFits()) RefillTail();
  else DropTail();
  const std::size_t before = FFilled.size();
  SetAutoFill(true);
  // Switching back on must not move the position past what the text holds.
  if (FFilled.size() > before && !FTail.empty()) {
    SetAutoFill(false);
    for (std::size_t i = before; i < FFilled.size(); ++i) FExpression->StepBack();
    FFilled.resize(before);
    FExpression->SetAutoFill(false);
    FExpression->SetAutoFill(true);
  }
  ClearFilled();
}

void TcxMaskEditRegExprExMode::MoveSelectionToTail(int OldSelLength) {
  const int start = static_cast<int>(FHead.size());
  const int length = std::max(0, OldSelLength - start);
  const std::u32string text = U32(Text());
  Edit->SetSelStartInternal(start);
  Edit->SetSelLengthInternal(length);
  FTail = text.substr(std::min<std::size_t>(start, text.size()), length) + FTail;
  Selection.clear();
}

bool TcxMaskEditRegExprExMode::BackspacePressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  ClearFilled();
  if (SelLength() > 0) {
    const int oldLength = SelLength();
    CutSelection();
    if (SelStart() == 0 && Refill()) {
      // The leading literals stay: the selection shrinks to start after them.
      FHead = FFilled;
      ClearFilled();
      MoveSelectionToTail(oldLength);
      return BackspacePressed();
    }
    Edit->SendChar(8);
    RefillOrDrop();
    Selection.clear();
    return false;
  }
  if (FHead.empty()) return false;
  FRemoved = 0;
  FExpression->StepBack();
  if (FExpression->AtStart() && SelStart() == FRemoved) {
    char32_t c = FHead.front();
    FExpression->Accept(c);
    ClearFilled();
    SignalError();
    return false;
  }
  const int n = std::min<int>(static_cast<int>(FHead.size()), FRemoved + 1);
  FHead.resize(FHead.size() - n);
  for (int i = 0; i < n; ++i) Edit->SendChar(8);
  RefillOrDrop();
  return false;
}

bool TcxMaskEditRegExprExMode::DeletePressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  ClearFilled();
  if (SelLength() > 0) return BackspacePressed();
  if (FTail.empty()) return false;
  if (SelStart() == 0 && Refill()) {
    // The leading literals cannot be deleted.
    SetAutoFill(false);
    for (std::size_t i = 0; i < FFilled.size(); ++i) FExpression->StepBack();
    SetAutoFill(true);
    FExpression->Restart();
    ClearFilled();
    SignalError();
    return false;
  }
  char32_t c = FTail.front();
  FExpression->Accept(c);
  const int n = std::min<int>(static_cast<int>(FTail.size()), static_cast<int>(FFilled.size()) + 1);
  for (int i = 0; i < n; ++i) Edit->SendKey(VK_DELETE);
  FTail.erase(0, n);
  FExpression->StepBack();
  RefillOrDrop();
  return false;
}

bool TcxMaskEditRegExprExMode::EndPressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  ClearFilled();
  SetAutoFill(false);
  const bool result = TcxMaskEditRegExprMode::EndPressed();
  SetAutoFill(true);
  ClearFilled();
  return result;
}

bool TcxMaskEditRegExprExMode::HomePressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  ClearFilled();
  return TcxMaskEditRegExprMode::HomePressed();
}

bool TcxMaskEditRegExprExMode::LeftPressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  ClearFilled();
  const int start = SelStart(), length = SelLength(), caret = Edit->CaretCharIndex();
  if (length > 0 && caret == start + length && !Edit->ShiftOn) {
    SetAutoFill(false);
    TcxMaskEditRegExprMode::LeftPressed();
    ClearFilled();
    SetAutoFill(true);
    if (!FFilled.empty()) FExpression->StepBack();
    ClearFilled();
    return true;
  }
  if (length > 0 && caret == start && !Edit->ShiftOn) return true;
  FRemoved = 0;
  TcxMaskEditRegExprMode::LeftPressed();
  int removed = FRemoved;
  if (FExpression->AtStart() && removed > 0) {
    if ((start != 0 && start == removed) || (start == 0 && length == removed)) --removed;
  }
  removed = std::min<int>(removed, static_cast<int>(FHead.size()));
  for (int i = 0; i < removed; ++i) {
    FTail.insert(FTail.begin(), FHead[FHead.size() - 1 - i]);
    Edit->SendKey(VK_LEFT);
  }
  FHead.resize(FHead.size() - removed);
  ClearFilled();
  return true;
}

bool TcxMaskEditRegExprExMode::RightPressed() {
  if (!FExpression->Compiled()) return true;
  Sync();
  ClearFilled();
  const int start = SelStart(), length = SelLength(), caret = Edit->CaretCharIndex();
  if (length > 0 && caret == start && !Edit->ShiftOn) {
    SetAutoFill(false);
    TcxMaskEditRegExprMode::RightPressed();
    ClearFilled();
    SetAutoFill(true);
    ClearFilled();
    return true;
  }
  if (length > 0 && caret == start + length && !Edit->ShiftOn) return true;
  TcxMaskEditRegExprMode::RightPressed();
  const std::u32string filled = FFilled;
  for (std::size_t i = 0; i < filled.size() && !FTail.empty(); ++i) {
    FHead.push_back(FTail.front());
    FTail.erase(0, 1);
    Edit->SendKey(VK_RIGHT);
  }
  ClearFilled();
  return true;
}

bool TcxMaskEditRegExprExMode::CharTyped(Char& Ch) {
  if (!FExpression->Compiled()) return true;
  Sync();
  ClearFilled();
  const bool selected = SelLength() > 0;
  if (selected) {
    const int oldLength = SelLength();
    CutSelection();
    if (SelStart() == 0 && Refill()) {
      FHead = FFilled;
      ClearFilled();
      MoveSelectionToTail(oldLength);
      return CharTyped(Ch);
    }
  }
  char32_t c = Ch;
  if (FExpression->Accept(c)) {
    const std::u32string filled = FFilled;
    FHead.push_back(c);
    FHead += filled;
    Edit->SendChar(static_cast<Char>(c));
    for (char32_t f : filled) Edit->SendChar(static_cast<Char>(f));
    RefillOrDrop();
  } else {
    if (selected) UndoCut();
    SignalError();
  }
  Selection.clear();
  return false;
}

void TcxMaskEditRegExprExMode::TextAssigned(const String& Text) {
  if (!FExpression->Compiled()) return;
  SetAutoFill(false);
  FExpression->Restart();
  for (char32_t c : U32(Text)) FExpression->Accept(c);
  ClearFilled();
  SetAutoFill(true);
  FHead = U32(Text) + FFilled;
  FTail.clear();
  if (HasLiveEditor()) {
    MouseAction = true;
    Sync();
  }
  ClipboardTextLength = 0;
}
