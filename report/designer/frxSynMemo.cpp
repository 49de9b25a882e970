// The code editor's text model: lines, caret, selection, undo, replacing text, clipboard,
// block indent and find. Keys and mouse are in frxSynMemoKeys.cpp, colouring and painting in
// frxSynMemoPaint.cpp.
#include "report/designer/frxSynMemo.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/Caret.h"
#include "gui/Clipbrd.h"
#include "gui/Colors.h"
#include "gui/GraphicsObjects.h"
#include "script/fs_iparser.h"

#include <algorithm>
#include <cassert>

namespace {

constexpr int kUndoLimit = 32;
constexpr int kMinColumnLimit = 1024;

// Splits inserted text at every kind of line break, so the caret ends right after it
// whatever breaks the clipboard brought.
std::vector<std::u32string> SplitBreaks(const std::u32string& s) {
  std::vector<std::u32string> parts(1);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < s.size() && s[i + 1] == U'\n') ++i;
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

void TrimRight(std::u32string& s) {
  std::size_t e = s.size();
  while (e > 0 && s[e - 1] <= U' ') --e;
  s.resize(e);
}

}  // namespace

KELM_PUBLISH(TfrxSyntaxMemo) {}

TfrxSyntaxMemo::TfrxSyntaxMemo(TComponent* AOwner)
    : TfrxScrollWin(AOwner),
      FParser(std::make_unique<TfsParser>()),
      FSelColor(clHighlight),
      FSelTextColor(clHighlightText) {
  FBookmarks.fill(-1);
  SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetDoubleBuffered(true);
  SetTabStop(true);
  SetCursor(crIBeam);
  SetColor(clWindow);
  FParser->SetSkipBlanks(false);
  for (int k : {ckText, ckComment, ckKeyword, ckString, ckNumber}) FFonts[k] = std::make_unique<TFont>();
  FFonts[ckText]->SetColor(clWindowText);
  FFonts[ckComment]->SetColor(clNavy);
  FFonts[ckComment]->SetStyle({fsItalic});
  FFonts[ckKeyword]->SetColor(clWindowText);
  FFonts[ckKeyword]->SetStyle({fsBold});
  FFonts[ckString]->SetColor(clNavy);
  FFonts[ckNumber]->SetColor(clGreen);
  Font()->SetName("Courier New");
  Font()->SetSize(10);
  FontChanged();
  Rehighlight();
}

TfrxSyntaxMemo::~TfrxSyntaxMemo() = default;

// ---------------------------------------------------------------- lines

String TfrxSyntaxMemo::Line(int Index) const {
  if (Index < 0 || Index >= LineCount()) return String();
  return Utf32ToUtf8(FText[Index]);
}

int TfrxSyntaxMemo::FirstNonBlank(int Line) const {
  const std::u32string& s = FText[Line - 1];
  for (std::size_t i = 0; i < s.size(); ++i)
    if (s[i] > U' ') return static_cast<int>(i) + 1;
  return 0;
}

int TfrxSyntaxMemo::LastNonBlank(int Line) const {
  const std::u32string& s = FText[Line - 1];
  for (std::size_t i = s.size(); i > 0; --i)
    if (s[i - 1] > U' ') return static_cast<int>(i);
  return 0;
}

bool TfrxSyntaxMemo::IsWordChar(char32_t C) { return C == U'_' || IsLetterOrDigitChar(C); }

void TfrxSyntaxMemo::UpdateMaxColumn() {
  std::size_t longest = 0;
  for (const auto& l : FText) longest = std::max(longest, l.size());
  FMaxColumn = std::max(kMinColumnLimit, static_cast<int>(longest) + 1);
}

void TfrxSyntaxMemo::SetLines(TStrings* Value) {
  FText.clear();
  for (int i = 0; Value && i < Value->Count(); ++i) FText.push_back(Utf8ToUtf32(Value->Strings(i)));
  ResetEditor();
}

void TfrxSyntaxMemo::ResetEditor() {
  if (FText.empty()) FText.emplace_back();
  FMarks.assign(FText.size(), 0);
  UpdateMaxColumn();
  FUndoArmed = true;
  FUndo.clear();
  FCaret = {1, 1};
  FOffset = {0, 0};
  ClearSelection();
  for (int& b : FBookmarks)
    if (b >= LineCount()) b = -1;
  Rehighlight();
  Invalidate();
  PlaceCaret();
}

TStrings* TfrxSyntaxMemo::GetTrimmedLines() {
  for (auto& l : FText) TrimRight(l);
  if (!FOutLines) FOutLines = std::make_unique<TStringList>();
  FOutLinesWatched = false;
  FOutLines->BeginUpdate();
  FOutLines->Clear();
  for (const auto& l : FText) FOutLines->Add(Utf32ToUtf8(l));
  FOutLines->EndUpdate();
  // A later change of the answered list by its holder takes it over as new text.
  FOutLines->SetOnChange(TNotifyEvent(this, &TfrxSyntaxMemo::OutLinesChanged));
  FOutLinesWatched = true;
  return FOutLines.get();
}

void TfrxSyntaxMemo::OutLinesChanged(TObject*) {
  if (FOutLinesWatched) SetLines(FOutLines.get());
}

int TfrxSyntaxMemo::PointToOffset(TPoint P) const {
  int offset = 0;
  for (int i = 0; i < P.Y - 1 && i < LineCount(); ++i) offset += static_cast<int>(FText[i].size()) + 2;
  return offset + P.X;
}

TPoint TfrxSyntaxMemo::OffsetToPoint(int Offset) const {
  // Each line takes its characters and then the two of its break.
  int line = 1;
  for (const auto& l : FText) {
    int span = static_cast<int>(l.size()) + 2;
    if (Offset < span || line == LineCount()) return {Offset, line};
    if (Offset == span) return {0, line + 1};  // the LF of a break starts the next line
    Offset -= span;
    ++line;
  }
  return {Offset, line};
}

// ---------------------------------------------------------------- bookmarks, marks, lines

int TfrxSyntaxMemo::Bookmark(int N) const { return N >= 0 && N <= 9 ? FBookmarks[N] : -1; }

void TfrxSyntaxMemo::SetBookmark(int N, int Line) {
  if (N < 0 || N > 9) return;
  FBookmarks[N] = Line >= 0 && Line < LineCount() ? Line : -1;
  Invalidate();
}

void TfrxSyntaxMemo::SetCodeLineMark(int Line, bool Value) {
  if (Line < 1 || Line > LineCount()) return;
  FMarks[Line - 1] = Value;
  Invalidate();
}

bool TfrxSyntaxMemo::HasCodeLineMark(int Line) const {
  return Line >= 1 && Line <= LineCount() && FMarks[Line - 1] != 0;
}

void TfrxSyntaxMemo::InsertLines(int After, int Count) {
  if (Count <= 0) return;
  FMarks.insert(FMarks.begin() + After, Count, 0);
  for (int& b : FBookmarks)
    if (b >= After) b += Count;  // b counts from 0: line b + 1 lies after After
}

void TfrxSyntaxMemo::RemoveLines(int First, int Count) {
  if (Count <= 0) return;
  FMarks.erase(FMarks.begin() + (First - 1), FMarks.begin() + (First - 1 + Count));
  for (int& b : FBookmarks) {
    if (b < 0) continue;
    if (b + 1 >= First + Count) b -= Count;
    else if (b + 1 >= First) b = First - 1;  // stays on the line that takes the place
  }
}

// ---------------------------------------------------------------- undo

void TfrxSyntaxMemo::SaveUndoPoint() {
  if (!FUndoArmed) return;
  FUndo.push_back({FCaret, FText, FMarks});
  if (static_cast<int>(FUndo.size()) > kUndoLimit) FUndo.pop_front();
  FUndoArmed = false;
}

void TfrxSyntaxMemo::Undo() {
  ArmUndo();
  if (FUndo.empty()) return;
  TSnapshot& s = FUndo.back();
  FText = std::move(s.Text);
  FMarks = std::move(s.Marks);
  TPoint caret = s.Caret;
  FUndo.pop_back();
  for (int& b : FBookmarks)
    if (b >= LineCount()) b = LineCount() - 1;
  ClearSelection();
  UpdateMaxColumn();
  MoveCaretTo(caret.X, caret.Y);
  TextChanged();
}

void TfrxSyntaxMemo::TextChanged() {
  assert(!FText.empty() && FMarks.size() == FText.size());
  UpdateMaxColumn();
  FModified = true;
  if (OnTextChanged) OnTextChanged(this);
  RefreshCode();
}

// ---------------------------------------------------------------- selection

void TfrxSyntaxMemo::OrderedSelection(TPoint& Lo, TPoint& Hi) const {
  auto key = [](TPoint p) { return static_cast<long long>(p.Y) * (1LL << 31) + p.X; };
  Lo = FSelStart;
  Hi = FSelEnd;
  if (key(Hi) < key(Lo)) std::swap(Lo, Hi);
}

bool TfrxSyntaxMemo::InSelection(TPoint P) const {
  if (!HasSelection()) return false;
  TPoint lo, hi;
  OrderedSelection(lo, hi);
  auto key = [](TPoint p) { return static_cast<long long>(p.Y) * (1LL << 31) + p.X; };
  return key(P) >= key(lo) && key(P) < key(hi);
}

String TfrxSyntaxMemo::SelectedText() const {
  if (!HasSelection()) return String();
  TPoint lo, hi;
  OrderedSelection(lo, hi);
  if (lo.X > LineLength(lo.Y) + 1 && lo.Y < LineCount()) lo = {1, lo.Y + 1};
  if (lo.Y > hi.Y || (lo.Y == hi.Y && lo.X >= hi.X)) return String();
  hi.X = std::min(hi.X, LineLength(hi.Y) + 1);
  std::u32string out;
  for (int y = lo.Y; y <= hi.Y; ++y) {
    const std::u32string& l = FText[y - 1];
    int from = y == lo.Y ? lo.X - 1 : 0;
    int to = y == hi.Y ? hi.X - 1 : static_cast<int>(l.size());
    if (from < to && from < static_cast<int>(l.size()))
      out.append(l, from, std::min<std::size_t>(to, l.size()) - from);
    if (y < hi.Y) out += U"\r\n";
  }
  return Utf32ToUtf8(out);
}

// ---------------------------------------------------------------- replacing text

void TfrxSyntaxMemo::ReplaceSelection(const String& Text) {
  SaveUndoPoint();
  TPoint first = FCaret, last = FCaret;
  if (HasSelection()) OrderedSelection(first, last);
  std::u32string& head = FText[first.Y - 1];
  if (static_cast<int>(head.size()) < first.X - 1) head.resize(first.X - 1, U' ');
  // The larger point is exclusive: beyond its line's end it stops at the line's end, so the
  // line break after it stays.
  last.X = std::min(last.X, LineLength(last.Y) + 1);
  if (last.Y == first.Y) last.X = std::max(last.X, first.X);

  std::vector<std::u32string> parts = SplitBreaks(Utf8ToUtf32(Text));
  const int added = static_cast<int>(parts.size()) - 1;
  std::u32string before = FText[first.Y - 1].substr(0, first.X - 1);
  std::u32string after = FText[last.Y - 1].substr(last.X - 1);
  TPoint caret{static_cast<int>(parts.back().size()) + 1 + (added == 0 ? first.X - 1 : 0), first.Y + added};

  RemoveLines(first.Y + 1, last.Y - first.Y);
  FText.erase(FText.begin() + first.Y, FText.begin() + last.Y);
  FText[first.Y - 1] = before + parts.front();
  if (added == 0) {
    FText[first.Y - 1] += after;
  } else {
    parts.back() += after;
    FText.insert(FText.begin() + first.Y, parts.begin() + 1, parts.end());
    // Text inserted at column 1 of an untouched line pushes that line down, with its
    // bookmark and mark.
    const bool lineMovesDown = first.X == 1 && last.Y == first.Y;
    InsertLines(lineMovesDown ? first.Y - 1 : first.Y, added);
  }
  ClearSelection();
  UpdateMaxColumn();
  MoveCaretTo(caret.X, caret.Y);
  TextChanged();
}

// ---------------------------------------------------------------- clipboard

void TfrxSyntaxMemo::CopySelection() {
  if (!HasSelection()) return;
  Clipboard()->SetAsText(SelectedText());
}

void TfrxSyntaxMemo::CutSelection() {
  if (!HasSelection()) return;
  CopySelection();
  ReplaceSelection(String());
}

void TfrxSyntaxMemo::PasteText() { ReplaceSelection(Clipboard()->AsText()); }

// ---------------------------------------------------------------- block indent

void TfrxSyntaxMemo::IndentBlock(bool Indent) {
  if (!HasSelection()) return;
  SaveUndoPoint();
  TPoint lo, hi;
  OrderedSelection(lo, hi);
  int lastLine = hi.X == 1 && hi.Y > lo.Y ? hi.Y - 1 : hi.Y;
  if (Indent) {
    for (int y = lo.Y; y <= lastLine; ++y) FText[y - 1].insert(0, U"  ");
  } else {
    int n = 2;
    for (int y = lo.Y; y <= lastLine; ++y)
      if (int f = FirstNonBlank(y); f > 0) n = std::min(n, f - 1);
    for (int y = lo.Y; y <= lastLine; ++y)
      if (FirstNonBlank(y) > 0) FText[y - 1].erase(0, n);
  }
  TextChanged();
}

// ---------------------------------------------------------------- find

bool TfrxSyntaxMemo::SearchText(const String& Text, bool CaseSensitive, int& Offset) {
  std::u32string needle = Utf8ToUtf32(Text);
  if (needle.empty()) return false;
  std::u32string all;
  for (int i = 0; i < LineCount(); ++i) {
    all += FText[i];
    if (i + 1 < LineCount()) all += U"\r\n";
  }
  if (!CaseSensitive) {
    for (char32_t& c : all) c = AnsiUpperChar(c);
    for (char32_t& c : needle) c = AnsiUpperChar(c);
  }
  const int from = std::max(Offset, 1);
  std::size_t p = from - 1 <= static_cast<int>(all.size()) ? all.find(needle, from - 1) : std::u32string::npos;
  if (p == std::u32string::npos) return false;
  TPoint start = OffsetToPoint(static_cast<int>(p) + 1);
  const int len = static_cast<int>(needle.size());
  Offset = static_cast<int>(p) + 1 + len;
  FSelStart = start;
  FSelEnd = {start.X + len, start.Y};
  MoveCaretTo(start.X, start.Y);
  Invalidate();
  return true;
}

// ---------------------------------------------------------------- caret and view

void TfrxSyntaxMemo::ClearError() {
  if (FErrorBarText.empty()) return;
  FErrorBarText.clear();
  Invalidate();
}

void TfrxSyntaxMemo::MoveCaretTo(int Column, int Line) {
  ClearError();
  FCaret = {std::clamp(Column, 1, FMaxColumn), std::clamp(Line, 1, LineCount())};
  if (!FViewSized) return;
  if (FOffset.Y >= LineCount()) FOffset.Y = LineCount() - 1;
  ScrollToCaret();
  PlaceCaret();
}

void TfrxSyntaxMemo::ScrollToCaret() {
  const int cols = std::max(FVisibleCols, 1), lines = std::max(FVisibleLines, 1);
  TPoint old = FOffset;
  if (FCaret.X > FOffset.X + cols) FOffset.X = FCaret.X - cols;
  else if (FCaret.X <= FOffset.X) FOffset.X = FCaret.X - 1;
  if (FCaret.Y > FOffset.Y + lines) FOffset.Y = FCaret.Y - lines;
  else if (FCaret.Y <= FOffset.Y) FOffset.Y = FCaret.Y - 1;
  if (FOffset != old) Invalidate();
}

void TfrxSyntaxMemo::PlaceCaret() {
  if (CaretWindow() == Handle()) {
    if (FCaret.X > FOffset.X) {
      SetCaretPos(FCharWidth * (FCaret.X - FOffset.X - 1) + FGutterWidth, (FCaret.Y - FOffset.Y - 1) * FLineHeight);
      ShowCaret(Handle());
    } else {
      SetCaretPos(-100, -100);
    }
  }
  if (OnCaretMoved) OnCaretMoved(this);
  UpdateScrollBars();
}

void TfrxSyntaxMemo::UpdateScrollBars() {
  if (!FViewSized || FSyncingBars) return;
  // The bars show the view; the view is not moved back by the bars' own clamping.
  FSyncingBars = true;
  SetLargeStep(std::max(FVisibleLines, 1));
  ChangeVertPage(FVisibleLines);
  ChangeVertRange(LineCount());
  ChangeVertPosition(FOffset.Y);
  ChangeHorzPage(FVisibleCols);
  ChangeHorzRange(FMaxColumn);
  ChangeHorzPosition(FOffset.X);
  FSyncingBars = false;
}

void TfrxSyntaxMemo::HorzScrolled(int Value) {
  if (FSyncingBars) return;
  FOffset.X = std::min(Value, FMaxColumn);
  PlaceCaret();
  Invalidate();
}

void TfrxSyntaxMemo::VertScrolled(int Value) {
  if (FSyncingBars) return;
  FOffset.Y = std::min(Value, LineCount());
  PlaceCaret();
  Invalidate();
}

void TfrxSyntaxMemo::Resize() {
  FVisibleCols = std::max(0, (ClientWidth() - FGutterWidth) / std::max(FCharWidth, 1));
  FVisibleLines = std::max(0, ClientHeight() / std::max(FLineHeight, 1));
  FViewSized = true;
  UpdateScrollBars();
  TfrxScrollWin::Resize();
}

void TfrxSyntaxMemo::SetGutterVisible(bool Value) {
  FGutterWidth = Value ? 30 : 0;
  if (FViewSized) Resize();
  Invalidate();
}

void TfrxSyntaxMemo::SetDebugLine(int Value) {
  FDebugLine = Value;
  Invalidate();
}

void TfrxSyntaxMemo::SetRunToLine(int Value) {
  FRunToLine = Value;
  Invalidate();
}

void TfrxSyntaxMemo::SetErrorBarText(const String& Value) {
  FErrorBarText = Value;
  Invalidate();
}

void TfrxSyntaxMemo::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_SETFOCUS:
      TfrxScrollWin::Dispatch(M);
      CreateCaret(Handle(), 2, FLineHeight);
      PlaceCaret();
      return;
    case WM_KILLFOCUS:
      TfrxScrollWin::Dispatch(M);
      if (CaretWindow() == Handle()) DestroyCaret();
      return;
    case CM_FONTCHANGED:
      TfrxScrollWin::Dispatch(M);
      FontChanged();
      return;
    default:
      TfrxScrollWin::Dispatch(M);
  }
}
