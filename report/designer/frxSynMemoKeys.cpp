// The code editor's keys and mouse: the key table, the characters typed, Backspace with
// unindent, Del, Enter with indent, page and word moves, bookmarks, selecting with the mouse
// and the wheel.
#include "report/designer/frxSynMemo.h"

#include "core/StrUtils.h"

#include <algorithm>

namespace {

constexpr int kTabWidth = 8;

void TrimRight(std::u32string& s) {
  std::size_t e = s.size();
  while (e > 0 && s[e - 1] <= U' ') --e;
  s.resize(e);
}

}  // namespace

// ---------------------------------------------------------------- the key table

void TfrxSyntaxMemo::KeyDown(Word& Key, TShiftState Shift) {
  TfrxScrollWin::KeyDown(Key, Shift);
  if (Key == 0) return;
  const bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift), alt = Shift.Contains(ssAlt);
  const TPoint anchor = FCaret;
  bool navigation = false;
  bool handled = true;
  switch (Key) {
    case VK_BACK: DoBackspace(); ArmUndo(); break;
    case VK_TAB: DoTab(); ArmUndo(); break;
    case VK_RETURN:
      if (shift || ctrl || alt) handled = false;
      else {
        DoEnterKey();
        ArmUndo();
      }
      break;
    case VK_PRIOR: ArmUndo(); DoPageUp(); navigation = true; break;
    case VK_NEXT: ArmUndo(); DoPageDown(); navigation = true; break;
    case VK_HOME:
      ArmUndo();
      MoveCaretTo(1, ctrl ? 1 : FCaret.Y);
      navigation = true;
      break;
    case VK_END: {
      ArmUndo();
      const int line = ctrl ? LineCount() : FCaret.Y;
      MoveCaretTo(LastNonBlank(line) + 1, line);
      navigation = true;
      break;
    }
    case VK_LEFT:
      ArmUndo();
      if (ctrl) DoWordLeft();
      else MoveCaretTo(FCaret.X - 1, FCaret.Y);
      navigation = true;
      break;
    case VK_RIGHT:
      ArmUndo();
      if (ctrl) DoWordRight();
      else MoveCaretTo(FCaret.X + 1, FCaret.Y);
      navigation = true;
      break;
    case VK_UP: ArmUndo(); MoveCaretTo(FCaret.X, FCaret.Y - 1); navigation = true; break;
    case VK_DOWN: ArmUndo(); MoveCaretTo(FCaret.X, FCaret.Y + 1); navigation = true; break;
    case VK_INSERT:
      if (ctrl) CopySelection();
      else if (shift) PasteText();
      ArmUndo();
      break;
    case VK_DELETE:
      if (shift) CutSelection();
      else DoDelete();
      ArmUndo();
      break;
    case 'A':
      if (ctrl) DoSelectAll();
      else handled = false;
      break;
    case 'Y':
      if (ctrl) {
        ArmUndo();
        DoDeleteLine();
      } else {
        handled = false;
      }
      break;
    default:
      if (ctrl && Key >= '0' && Key <= '9') DoBookmarkKey(Key - '0', shift);
      else handled = false;
      break;
  }
  if (navigation) ExtendOrClearSelection(anchor, shift);
  if (handled) Key = 0;
}

void TfrxSyntaxMemo::KeyPress(Char& Key) {
  TfrxScrollWin::KeyPress(Key);
  switch (Key) {
    case 0: return;
    case 3: CopySelection(); return;
    case 9:  // Ctrl+I; the Tab key has replaced its selection before its character comes
      if (HasSelection()) IndentBlock(true);
      return;
    case 21: IndentBlock(false); return;
    case 22: PasteText(); return;
    case 24: CutSelection(); return;
    case 26: Undo(); return;
    default: break;
  }
  if (Key < 32 || Key == 127) return;
  String text;
  AppendUtf8(text, Key);
  ReplaceSelection(text);
  FUndoArmed = false;  // a run of typed characters is one undo step
}

void TfrxSyntaxMemo::ExtendOrClearSelection(TPoint Anchor, bool Extend) {
  if (Extend) {
    if (!HasSelection()) FSelStart = Anchor;
    FSelEnd = FCaret;
    Invalidate();
  } else if (HasSelection()) {
    ClearSelection();
    Invalidate();
  }
}

// ---------------------------------------------------------------- deleting

void TfrxSyntaxMemo::DoBackspace() {
  ClearError();
  if (HasSelection()) {
    ReplaceSelection(String());
    return;
  }
  const int x = FCaret.X, y = FCaret.Y;
  if (x > 1) {
    const int first = FirstNonBlank(y);
    if (first == x || first == 0) {
      DoUnindent();
      return;
    }
    SaveUndoPoint();
    if (x - 1 <= LineLength(y)) FText[y - 1].erase(x - 2, 1);
    MoveCaretTo(x - 1, y);
    TextChanged();
  } else if (y > 1) {
    SaveUndoPoint();
    std::u32string& prev = FText[y - 2];
    TrimRight(prev);
    const int join = static_cast<int>(prev.size()) + 1;
    prev += FText[y - 1];
    FText.erase(FText.begin() + (y - 1));
    RemoveLines(y, 1);
    MoveCaretTo(join, y - 1);
    TextChanged();
  }
}

void TfrxSyntaxMemo::DoUnindent() {
  const int x = FCaret.X, y = FCaret.Y;
  // The indent of the nearest line above that is indented less than the caret. Without one,
  // one blank goes: never a character right of the caret.
  int target = x - 1;
  for (int line = y - 1; line >= 1; --line) {
    const int first = FirstNonBlank(line);
    if (first > 0 && first < x) {
      target = first;
      break;
    }
  }
  SaveUndoPoint();
  std::u32string& s = FText[y - 1];
  const int end = std::min(x - 1, static_cast<int>(s.size()));
  if (end > target - 1) s.erase(target - 1, end - (target - 1));
  MoveCaretTo(target, y);
  TextChanged();
}

void TfrxSyntaxMemo::DoDelete() {
  ClearError();
  if (HasSelection()) {
    ReplaceSelection(String());
    return;
  }
  SaveUndoPoint();
  const int x = FCaret.X, y = FCaret.Y;
  std::u32string& s = FText[y - 1];
  if (x > LastNonBlank(y) && y < LineCount()) {
    std::u32string next = FText[y];
    TrimRight(next);
    s.resize(x - 1, U' ');
    s += next;
    FText.erase(FText.begin() + y);
    RemoveLines(y + 1, 1);
  } else if (x <= static_cast<int>(s.size())) {
    s.erase(x - 1, 1);
  }
  TextChanged();
  UpdateScrollBars();
}

void TfrxSyntaxMemo::DoDeleteLine() {
  SaveUndoPoint();
  const int y = FCaret.Y;
  if (y == LineCount()) {
    FText[y - 1].clear();
    MoveCaretTo(1, y);
  } else {
    FText.erase(FText.begin() + (y - 1));
    RemoveLines(y, 1);
    MoveCaretTo(FCaret.X, y);
  }
  ClearSelection();
  TextChanged();
}

// ---------------------------------------------------------------- inserting

void TfrxSyntaxMemo::DoEnterKey() {
  SaveUndoPoint();
  // The new line starts at the caret; a selection has no meaning once lines move.
  ClearSelection();
  const int x = FCaret.X, y = FCaret.Y;
  std::u32string line = FText[y - 1];
  TrimRight(line);
  const std::size_t cut = std::min<std::size_t>(x - 1, line.size());
  std::u32string rest = line.substr(cut);
  line.resize(cut);
  int indent = x;
  for (std::size_t i = 0; i < line.size(); ++i)
    if (line[i] > U' ') {
      indent = static_cast<int>(i) + 1;
      break;
    }
  FText[y - 1] = std::move(line);
  FText.insert(FText.begin() + y, std::move(rest));
  InsertLines(x == 1 ? y - 1 : y, 1);
  UpdateMaxColumn();
  MoveCaretTo(1, y + 1);
  ReplaceSelection(String(indent - 1, ' '));
}

void TfrxSyntaxMemo::DoTab() {
  // The blanks reach the next tab stop from where they are inserted: the caret, or the start
  // of the selection they replace.
  TPoint at = FCaret, hi;
  if (HasSelection()) OrderedSelection(at, hi);
  ReplaceSelection(String(kTabWidth - at.X % kTabWidth, ' '));
}

void TfrxSyntaxMemo::DoSelectAll() {
  FSelStart = {1, 1};
  MoveCaretTo(LineLength(LineCount()) + 1, LineCount());
  FSelEnd = FCaret;
  Invalidate();
}

// ---------------------------------------------------------------- moves

void TfrxSyntaxMemo::DoPageUp() {
  const int v = FVisibleLines;
  int line = FCaret.Y;
  if (FOffset.Y > v) {
    FOffset.Y -= v - 1;
    line -= v - 1;
  } else if (FOffset.Y < 1) {
    line = 1;
  } else {
    line -= FOffset.Y;
    FOffset.Y = 0;
  }
  MoveCaretTo(FCaret.X, line);
  Invalidate();
}

void TfrxSyntaxMemo::DoPageDown() {
  const int v = FVisibleLines;
  int line = FCaret.Y;
  if (FOffset.Y + v < LineCount()) {
    FOffset.Y += v - 1;
    line += v - 1;
  } else {
    line = LineCount();
    FOffset.Y = LineCount() - 1;
  }
  MoveCaretTo(FCaret.X, line);
  Invalidate();
}

void TfrxSyntaxMemo::DoWordLeft() {
  int x = std::min(FCaret.X, LineLength(FCaret.Y) + 1), y = FCaret.Y;
  if (x == 1) {
    if (y > 1) MoveCaretTo(LineLength(y - 1) + 1, y - 1);
    return;
  }
  const std::u32string& s = FText[y - 1];
  int i = x - 2;  // the character before the caret
  while (i >= 0 && !IsWordChar(s[i])) --i;
  while (i >= 0 && IsWordChar(s[i])) --i;
  MoveCaretTo(i + 2, y);
}

void TfrxSyntaxMemo::DoWordRight() {
  int x = FCaret.X, y = FCaret.Y;
  // At or beyond the line's end the walk goes on from the next line's start.
  if (x > LineLength(y)) {
    if (y == LineCount()) return;
    x = 1;
    ++y;
  }
  const std::u32string& s = FText[y - 1];
  int i = x - 1;
  const int n = static_cast<int>(s.size());
  while (i < n && IsWordChar(s[i])) ++i;
  while (i < n && !IsWordChar(s[i])) ++i;
  MoveCaretTo(i + 1, y);
}

void TfrxSyntaxMemo::DoBookmarkKey(int N, bool Toggle) {
  const int line = FCaret.Y - 1;
  if (!Toggle) {
    if (FBookmarks[N] >= 0) MoveCaretTo(1, FBookmarks[N] + 1);
    return;
  }
  if (FBookmarks[N] == line) {
    FBookmarks[N] = -1;
  } else if (std::find(FBookmarks.begin(), FBookmarks.end(), line) == FBookmarks.end()) {
    FBookmarks[N] = line;
  }
  Invalidate();
}

// ---------------------------------------------------------------- mouse

TPoint TfrxSyntaxMemo::CellAt(int X, int Y) const {
  return {(X - FGutterWidth) / std::max(FCharWidth, 1) + FOffset.X + 1, Y / std::max(FLineHeight, 1) + FOffset.Y + 1};
}

void TfrxSyntaxMemo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FIgnoreNextPress) {
    FIgnoreNextPress = false;
  } else {
    ArmUndo();
    if (CanFocus()) SetFocus();
    FSelecting = true;
    TPoint p = CellAt(X, Y);
    MoveCaretTo(p.X, p.Y);
    ClearSelection();
    Invalidate();
  }
  TfrxScrollWin::MouseDown(Button, Shift, X, Y);
}

void TfrxSyntaxMemo::MouseMove(TShiftState Shift, int X, int Y) {
  if (FSelecting) {
    const TPoint before = FCaret;
    TPoint p = CellAt(X, Y);
    MoveCaretTo(p.X, p.Y);
    if (FCaret != before) {
      if (!HasSelection()) FSelStart = before;
      FSelEnd = FCaret;
      Invalidate();
    }
  }
  TfrxScrollWin::MouseMove(Shift, X, Y);
}

void TfrxSyntaxMemo::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FSelecting = false;
  TfrxScrollWin::MouseUp(Button, Shift, X, Y);
}

void TfrxSyntaxMemo::DblClick() {
  FIgnoreNextPress = true;
  const int y = FCaret.Y;
  const std::u32string& s = FText[y - 1];
  const int n = static_cast<int>(s.size());
  int start = std::min(FCaret.X - 1, n);
  while (start > 0 && IsWordChar(s[start - 1])) --start;
  int end = start;
  while (end < n && IsWordChar(s[end])) ++end;
  FSelStart = {start + 1, y};
  MoveCaretTo(end + 1, y);
  FSelEnd = FCaret;
  Invalidate();
  TfrxScrollWin::DblClick();
}

bool TfrxSyntaxMemo::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TfrxScrollWin::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (WheelDelta == 0) return false;
  // One line per notch; wheel down moves the text up.
  int lines = -WheelDelta / 120;
  if (lines == 0) lines = WheelDelta > 0 ? -1 : 1;
  ChangeVertPosition(FOffset.Y + lines);
  return true;
}
