// The masked edit.
#include "gui/MaskEdit.h"

#include "gui/Clipbrd.h"

#include "gui/Forms.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/Scope.h"


#include <algorithm>

const char* const SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";

KELM_PUBLISH(TCustomMaskEdit) {}

KELM_PUBLISH(TMaskEdit) { Published(b); }

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

String TCustomMaskEdit::EditText() const { return TCustomEdit::GetText(); }

String TCustomMaskEdit::GetText() const {
  if (!IsMasked()) return TCustomEdit::GetText();
  return FMask.FromEditText(EditText());
}

void TCustomMaskEdit::SetEditText(const String& v) {
  TRestore setting(FSettingEditText, true);
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(v.c_str()));
}

void TCustomMaskEdit::SetEditMask(const String& v) {
  if (v == FEditMask) return;
  String value = Text();
  FEditMask = v;
  FMask = TEditMask(v);
  ReformatText(value);
}

void TCustomMaskEdit::ReformatText(const String& Value) {
  SetEditText(IsMasked() ? FMask.ToEditText(Value) : Value);
  if (Focused()) SetCursor(0);
}

void TCustomMaskEdit::Loaded() {
  TCustomEdit::Loaded();
  if (IsMasked()) {
    String t = EditText();
    if (static_cast<int>(::Length(t)) != FMask.Length()) SetEditText(FMask.ToEditText(FMask.FromEditText(t)));
  }
}

bool TCustomMaskEdit::Validate(const String& Value, int& Pos) const {
  Pos = FMask.Validate(Value);
  return Pos < 0;
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked() || !Modified()) return;
  int pos;
  if (Validate(EditText(), pos)) return;
  // The focus comes back here; entering again keeps the value Escape restores.
  FReEnter = true;
  SetCursor(pos);
  ValidateError();
}

void TCustomMaskEdit::ValidateError() {
  MessageBeep(0);
  throw EDBEditError(SMaskEditErr);
}

void TCustomMaskEdit::Reset() {
  if (!Modified()) return;
  SetEditText(FOldValue);
  Perform(EM_SETMODIFY, 0, 0);
  SetCursor(0);
}

int TCustomMaskEdit::SelStartNow() const { return SelStart(); }
int TCustomMaskEdit::SelStopNow() const { return SelStart() + SelLength(); }

void TCustomMaskEdit::SetCursor(int Pos) {
  int len = ::Length(EditText());
  Pos = std::clamp(Pos, 0, len);
  if (!IsMasked() || Pos >= len || Pos >= FMask.Length()) {
    Perform(EM_SETSEL, static_cast<WPARAM>(Pos), Pos);
    return;
  }
  // The masked cursor is the character it stands on, selected, with the caret before it.
  Perform(EM_SETSEL, static_cast<WPARAM>(Pos + 1), Pos);
}

void TCustomMaskEdit::CheckCursor() {
  if (IsMasked() && SelLength() == 0) SetCursor(SelStart());
}

void TCustomMaskEdit::BlankRange(int From, int To) {
  std::u32string t = EditChars();
  To = std::min(To, static_cast<int>(t.size()));
  if (From >= To) return;
  std::u32string part = t.substr(static_cast<std::size_t>(From), static_cast<std::size_t>(To - From));
  for (int i = From; i < To && i < FMask.Length(); ++i)
    if (!FMask.IsLiteral(i)) part[static_cast<std::size_t>(i - From)] = FMask.Blank();
  ReplaceChars(From, To, part, true);
}

bool TCustomMaskEdit::InputChar(char32_t Ch, int Pos) {
  int len = FMask.Length();
  int stop = SelStopNow();
  if (stop - Pos > 1) BlankRange(Pos, stop);
  if (Pos >= len) {
    MessageBeep(0);
    return false;
  }
  // Typing a literal moves past it, also from the field before it ("12/" in a date).
  for (int j = Pos; j < len; ++j) {
    if (!FMask.IsLiteral(j)) {
      if (j > Pos) break;
      continue;
    }
    if (FMask.Item(j).Ch == Ch) {
      bool fieldBefore = j > Pos;
      char32_t probe = Ch;
      if (!fieldBefore || !FMask.AcceptChar(Pos, probe)) {
        SetCursor(FMask.NextEditable(j + 1));
        return true;
      }
      break;
    }
    if (j == Pos) break;
  }
  if (Pos < len && FMask.IsLiteral(Pos)) Pos = FMask.NextEditable(Pos);
  if (Pos >= len) {
    MessageBeep(0);
    return false;
  }
  char32_t c = Ch;
  if (!FMask.AcceptChar(Pos, c)) {
    // A literal typed inside a field jumps to the field after it.
    for (int j = Pos + 1; j < len; ++j) {
      if (!FMask.IsLiteral(j)) continue;
      if (FMask.Item(j).Ch == Ch) {
        SetCursor(FMask.NextEditable(j + 1));
        return true;
      }
      break;
    }
    MessageBeep(0);
    return false;
  }
  ReplaceChars(Pos, Pos + 1, std::u32string(1, c), true);
  SetCursor(FMask.NextEditable(Pos + 1));
  return true;
}

void TCustomMaskEdit::DeleteKeys(Word Key) {
  int start = SelStartNow(), stop = SelStopNow();
  if (stop - start > 1) {
    BlankRange(start, stop);
    SetCursor(start);
    return;
  }
  if (Key == VK_BACK) {
    int p = FMask.PrevEditable(start - 1);
    if (p < 0) return;
    BlankRange(p, p + 1);
    SetCursor(p);
    return;
  }
  if (start < FMask.Length() && !FMask.IsLiteral(start)) BlankRange(start, start + 1);
  SetCursor(start);
}

void TCustomMaskEdit::ArrowKeys(Word Key, TShiftState Shift) {
  if (Shift.Contains(ssCtrl) || Shift.Contains(ssShift)) return;
  int start = SelStartNow();
  if (Key == VK_LEFT) {
    int p = FMask.PrevEditable(start - 1);
    SetCursor(p >= 0 ? p : start);
  } else {
    int stop = SelStopNow();
    SetCursor(stop == start ? start : FMask.NextEditable(start + 1));
  }
}

void TCustomMaskEdit::HomeEndKeys(Word Key, TShiftState Shift) {
  int len = ::Length(EditText());
  if (Shift.Contains(ssShift)) {
    if (Key == VK_HOME) Perform(EM_SETSEL, static_cast<WPARAM>(SelStopNow()), 0);
    else Perform(EM_SETSEL, static_cast<WPARAM>(SelStartNow()), len);
    return;
  }
  SetCursor(Key == VK_HOME ? FMask.NextEditable(0) : len);
}

void TCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (!IsMasked() || Key == 0 || Shift.Contains(ssAlt)) return;
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
      ArrowKeys(Key, Shift);
      if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) Key = 0;
      return;
    case VK_UP:
    case VK_DOWN:
      Key = 0;
      return;
    case VK_HOME:
    case VK_END:
      HomeEndKeys(Key, Shift);
      Key = 0;
      return;
    case VK_DELETE:
    case VK_BACK:
      if (Key == VK_DELETE && Shift.Contains(ssShift)) return;  // cut
      if (EditCanModify()) DeleteKeys(Key);
      Key = 0;
      return;
    default:
      CheckCursor();
      return;
  }
}

void TCustomMaskEdit::KeyPress(Char& Key) {
  TCustomEdit::KeyPress(Key);
  if (!IsMasked() || Key == 0 || Key == 3 || Key == 22 || Key == 24) return;
  Char c = Key;
  Key = 0;
  if (c == 27) {
    Reset();
    return;
  }
  if (c < 32) return;
  if (!EditCanModify()) {
    MessageBeep(0);
    return;
  }
  InputChar(c, SelStartNow());
}

void TCustomMaskEdit::DoEnter() {
  if (!IsMasked() || ComponentState().Contains(csDesigning)) {
    TCustomEdit::DoEnter();
    return;
  }
  // Coming back after a failed validation keeps the cursor on the bad position and the
  // value Escape restores.
  if (!FReEnter) {
    FOldValue = EditText();
    TCustomEdit::DoEnter();
  }
  FReEnter = false;
  CheckCursor();
}

void TCustomMaskEdit::PasteMasked() {
  if (!EditCanModify()) return;
  // Pasted characters go in one by one, as if typed, and stop at the first the mask refuses.
  for (char32_t c : Utf8ToUtf32(Clipboard()->AsText()))
    if (!InputChar(c, SelStartNow())) break;
}

void TCustomMaskEdit::Dispatch(TMessage& M) {
  if (IsMasked()) {
    switch (M.Msg) {
      case WM_SETTEXT:
        if (!FSettingEditText) {
          String v = M.LParam ? String(reinterpret_cast<const char*>(M.LParam)) : String();
          String formatted = FMask.ToEditText(v);
          M.LParam = reinterpret_cast<LPARAM>(formatted.c_str());
          TCustomEdit::Dispatch(M);
          return;
        }
        break;
      case CM_EXIT:
        if (!ComponentState().Contains(csDesigning)) {
          ValidateEdit();
          CheckCursor();
        }
        break;
      case WM_LBUTTONUP:
        TCustomEdit::Dispatch(M);
        CheckCursor();
        return;
      case WM_PASTE:
        PasteMasked();
        return;
      case WM_CUT:
        if (!EditCanModify() || PasswordChar() != 0) return;
        Perform(WM_COPY);
        BlankRange(SelStartNow(), SelStopNow());
        SetCursor(SelStartNow());
        return;
      case WM_CLEAR:
        if (!EditCanModify()) return;
        BlankRange(SelStartNow(), SelStopNow());
        SetCursor(SelStartNow());
        return;
      default:
        break;
    }
  }
  TCustomEdit::Dispatch(M);
}
