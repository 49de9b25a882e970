#pragma once
// TfrxSyntaxMemo: the code editor of the designer's code page. A custom-drawn editor of report
// scripts on a fixed character grid, with colouring by the script language's grammar, a
// gutter with ten bookmarks and the debugger's marks, whole-text undo, clipboard, block indent
// and find.
//
// Text model. The text is a list of lines (never fewer than one); columns count characters,
// so no edit ever splits a character. Points are (column X, line Y), both from 1. The caret
// may stand beyond its line's end (a free cursor); columns go up to MaxColumn: 1024, or the
// longest line + 1 when a line is longer, so a long line stays whole and reachable. A
// selection runs from SelStart (where it began) to SelEnd (which follows the caret); X = 0
// in SelStart means none. It covers the characters from the smaller point up to, not
// including, the larger one.
//
// Offsets treat the text as the lines joined by CR LF, from 1: PointToOffset and OffsetToPoint
// convert, and CaretOffset and SearchText speak in them.
//
// Undo keeps up to 32 snapshots of the caret and the whole text, no redo. A snapshot is taken
// by the first change after an undo point was armed: a mouse press, a navigation key,
// Backspace, Tab, Enter, Ins, Del, Ctrl+Y, SetLines and Undo arm one, so a run of typed
// characters undoes as one step.
//
// Colouring. Every character has a token kind (TfrxCodeTokenKind) in the attribute line that
// parallels its text line, computed by Rehighlight with the script engine's lexer configured
// from the language's grammar (or the built-in SQL set). Blanks between tokens count as
// comment cells; only a selection shows them.
//
// The view: LeftOffset and TopOffset (from 0) scroll it, VisibleColumns and VisibleLines are
// what fits beside the gutter; the cell is CharWidth ("W" in the bold editor font) by
// LineHeight ("Wg" + 1).
// Declares TfrxCodeTokenKind and TfrxSyntaxMemo.
#include "report/frxCtrls.h"

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class TFont;
class TfsParser;
class TStringList;
class TStrings;

enum TfrxCodeTokenKind : unsigned char { ckNone, ckText, ckSelected, ckComment, ckKeyword, ckString, ckNumber };

class TfrxSyntaxMemo : public TfrxScrollWin {
  KELM_CLASS(TfrxSyntaxMemo, TfrxScrollWin)
public:
  explicit TfrxSyntaxMemo(TComponent* AOwner);
  ~TfrxSyntaxMemo() override;

  // ---- properties
  // The script language whose grammar colours the text ("SQL" takes the built-in SQL set).
  const String& LanguageName() const { return FLanguageName; }
  void SetLanguageName(const String& Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  bool GutterVisible() const { return FGutterWidth > 0; }
  void SetGutterVisible(bool Value);
  // The debugger's current line (from 1, -1 none), drawn in the selection colours.
  int DebugLine() const { return FDebugLine; }
  void SetDebugLine(int Value);
  // The run-to-cursor line (from 1, 0 none), a red disc in the gutter.
  int RunToLine() const { return FRunToLine; }
  void SetRunToLine(int Value);
  // A message in a bar along the bottom ('' none); the next caret move clears it.
  const String& ErrorBarText() const { return FErrorBarText; }
  void SetErrorBarText(const String& Value);
  TColor SelColor() const { return FSelColor; }
  TColor SelTextColor() const { return FSelTextColor; }

  // ---- text
  // Takes the text from outside and resets the editor: caret (1, 1), view at the start, no
  // selection, undo emptied.
  void SetLines(TStrings* Value);
  // Removes trailing blanks from every line and answers the lines; changing the answered list
  // afterwards resets the editor with it as SetLines does.
  TStrings* GetTrimmedLines();
  int LineCount() const { return static_cast<int>(FText.size()); }
  // Line Index (from 0), UTF-8.
  String Line(int Index) const;
  int MaxColumn() const { return FMaxColumn; }
  int PointToOffset(TPoint P) const;
  TPoint OffsetToPoint(int Offset) const;

  // ---- caret and selection
  TPoint CaretPos() const { return FCaret; }
  void MoveCaretTo(int Column, int Line);
  int CaretOffset() const { return PointToOffset(FCaret); }
  TPoint SelStart() const { return FSelStart; }
  TPoint SelEnd() const { return FSelEnd; }
  bool HasSelection() const { return FSelStart.X != 0; }
  String SelectedText() const;

  // ---- editing
  void ReplaceSelection(const String& Text);
  void CopySelection();
  void CutSelection();
  void PasteText();
  void Undo();
  int UndoCount() const { return static_cast<int>(FUndo.size()); }
  // Two blanks before every line of the selected block, or up to two fewer (only with a
  // selection).
  void IndentBlock(bool Indent);
  // Finds Text from Offset on (0 counts as 1); found, the match is selected, the caret is at
  // its start, Offset stands right after it and the answer is true.
  bool SearchText(const String& Text, bool CaseSensitive, int& Offset);

  // ---- bookmarks and marks
  // The line (from 0) of bookmark N (0-9), -1 when not set or N is no bookmark.
  int Bookmark(int N) const;
  // Line from 0, -1 removes; numbers outside 0-9 are ignored.
  void SetBookmark(int N, int Line);
  // The executable-line mark of Line (from 1); it travels with its line.
  void SetCodeLineMark(int Line, bool Value);
  bool HasCodeLineMark(int Line) const;

  // ---- colouring and view
  void Rehighlight();
  void RefreshCode();
  // The token kinds of line Index (from 0), one per character (ckText when not computed).
  std::string AttrLine(int Index) const;
  int CharWidth() const { return FCharWidth; }
  int LineHeight() const { return FLineHeight; }
  int GutterWidth() const { return FGutterWidth; }
  int LeftOffset() const { return FOffset.X; }
  int TopOffset() const { return FOffset.Y; }
  int VisibleColumns() const { return FVisibleCols; }
  int VisibleLines() const { return FVisibleLines; }
  // The client point's cell as a caret point (unclamped).
  TPoint CellAt(int X, int Y) const;
  // The editor drawn into a canvas of its client size (what Paint shows).
  void PaintOn(TCanvas* Target);

  TNotifyEvent OnCaretMoved;
  TNotifyEvent OnTextChanged;

  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void Resize() override;
  void HorzScrolled(int Value) override;
  void VertScrolled(int Value) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
  struct TSnapshot {
    TPoint Caret;
    std::vector<std::u32string> Text;
    std::vector<char> Marks;
  };
  using TLines = std::vector<std::u32string>;

  // ---- model helpers (frxSynMemo.cpp)
  int LineLength(int Line) const { return static_cast<int>(FText[Line - 1].size()); }
  int FirstNonBlank(int Line) const;  // column, or 0 on a blank line
  int LastNonBlank(int Line) const;   // column, or 0 on a blank line
  static bool IsWordChar(char32_t C);
  void ResetEditor();
  void OutLinesChanged(TObject* Sender);
  void TextChanged();  // after an edit: limits, Modified, OnTextChanged, colouring, repaint
  void UpdateMaxColumn();
  void SaveUndoPoint();
  void ArmUndo() { FUndoArmed = true; }
  void ClearSelection() { FSelStart = FSelEnd = TPoint{0, 0}; }
  void OrderedSelection(TPoint& Lo, TPoint& Hi) const;
  bool InSelection(TPoint P) const;
  void ShiftLines(int From, int Delta);  // bookmarks and marks at/after line From (1-based)
  void InsertLines(int After, int Count);
  void RemoveLines(int First, int Count);
  void ClearError();
  // ---- caret and view
  void PlaceCaret();
  void UpdateScrollBars();
  void ScrollToCaret();
  void ExtendOrClearSelection(TPoint Anchor, bool Extend);
  // ---- commands (frxSynMemoKeys.cpp)
  void DoBackspace();
  void DoUnindent();
  void DoDelete();
  // The Enter key: a line break with the indent kept. Named apart from the focus event
  // DoEnter, which it would otherwise replace, so that focusing the editor edits nothing.
  void DoEnterKey();
  void DoTab();
  void DoPageUp();
  void DoPageDown();
  void DoDeleteLine();
  void DoSelectAll();
  void DoWordLeft();
  void DoWordRight();
  void DoBookmarkKey(int N, bool Toggle);
  // ---- colouring and painting (frxSynMemoPaint.cpp)
  void ConfigureLexer();
  void MeasureFont();
  void DrawRun(TCanvas* C, int& X, int Y, const std::u32string& Line, int From, int Count, int Style);
  void DrawGutterMarks(TCanvas* C, int Line, int Y);
  void DrawErrorBar(TCanvas* C);
  void FontChanged();
  TFont* StyleFont(int Style) const;

  TLines FText{std::u32string()};
  std::vector<char> FMarks{0};             // executable-line marks, one per line
  std::vector<std::string> FAttrs;         // token kinds, one line per text line
  int FMaxColumn = 1024;
  TPoint FCaret{1, 1};
  TPoint FSelStart{0, 0};
  TPoint FSelEnd{0, 0};
  TPoint FOffset{0, 0};
  int FVisibleCols = 0;
  int FVisibleLines = 0;
  bool FViewSized = false;
  int FCharWidth = 8;
  int FLineHeight = 16;
  int FGutterWidth = 30;
  bool FCourier = true;
  std::array<int, 10> FBookmarks;
  int FDebugLine = -1;
  int FRunToLine = 0;
  String FErrorBarText;
  std::deque<TSnapshot> FUndo;
  bool FUndoArmed = true;
  bool FModified = false;
  bool FSelecting = false;
  bool FIgnoreNextPress = false;
  bool FSyncingBars = false;
  bool FRebuildingAttrs = false;
  String FLanguageName;
  std::unique_ptr<TfsParser> FParser;
  std::array<std::unique_ptr<TFont>, 7> FFonts;  // by token kind; ckNone and ckSelected unused
  std::unique_ptr<TStringList> FOutLines;        // what GetTrimmedLines answers
  bool FOutLinesWatched = false;
  TColor FSelColor;
  TColor FSelTextColor;
};
