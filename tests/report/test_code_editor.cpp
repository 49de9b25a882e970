// The code editor's text model driven through real keys and mouse: undo, Tab, Enter with
// indent and bookmarks, Backspace with unindent, Del, block indent, selection, clipboard,
// find, moves, whole characters and long lines.
#include "CodeEditorFixture.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Caret.h"
#include "gui/Clipbrd.h"
#include "gui/Edit.h"

#include <string>

using Lines = std::vector<String>;

// ---------------------------------------------------------------- undo

TEST_F(CodeEditorTest, TypedRunAfterACaretMoveUndoesAsOneStep) {
  SetText({"x", "yz"});
  Key(Qt::Key_Down);
  Key(Qt::Key_End);
  Type("abc");
  EXPECT_EQ(Text(), (Lines{"x", "yzabc"}));
  EXPECT_TRUE(Memo->Modified());
  Ctrl(Qt::Key_Z);
  EXPECT_EQ(Text(), (Lines{"x", "yz"}));
  EXPECT_EQ(Memo->CaretPos(), (TPoint{3, 2})) << "the caret returns to where the run began";
  Ctrl(Qt::Key_Z);
  EXPECT_EQ(Text(), (Lines{"x", "yz"})) << "an empty undo list does nothing";
}

TEST_F(CodeEditorTest, OnlyTheLast32StepsCanBeUndone) {
  SetText({""});
  for (int i = 0; i < 33; ++i) Key(Qt::Key_Return);
  ASSERT_EQ(Memo->LineCount(), 34);
  EXPECT_EQ(Memo->UndoCount(), 32);
  for (int i = 0; i < 40; ++i) Ctrl(Qt::Key_Z);
  EXPECT_EQ(Memo->LineCount(), 2) << "the first step is lost";
}

TEST_F(CodeEditorTest, SetLinesResetsCaretViewSelectionAndUndo) {
  SetText({"abc", "def"});
  Type("zz");
  Key(Qt::Key_Right, Qt::ShiftModifier);
  ASSERT_TRUE(Memo->HasSelection());
  SetText({"one", "two", "three"});
  EXPECT_EQ(Memo->CaretPos(), (TPoint{1, 1}));
  EXPECT_FALSE(Memo->HasSelection());
  EXPECT_EQ(Memo->UndoCount(), 0);
  Ctrl(Qt::Key_Z);
  EXPECT_EQ(Text(), (Lines{"one", "two", "three"}));
}

// ---------------------------------------------------------------- Tab, Enter, Backspace, Del

TEST_F(CodeEditorTest, TabFillsToTheNextStopFromTheCaretOrTheReplacedSelection) {
  struct Case {
    const char* Name;
    const char* Line;
    int Column;
    bool SelectWord;
    const char* Expect;
    int CaretColumn;
  };
  const Case cases[] = {
      {"column 1", "x", 1, false, "       x", 8},
      {"column 8", "abcdefgx", 8, false, "abcdefg        x", 16},
      {"selected word", "abc def", 2, true, "        def", 8},
      {"beyond the line end", "ab", 5, false, "ab     ", 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SetText({c.Line});
    if (c.SelectWord) DoubleClickCell(c.Column, 1);
    else Memo->MoveCaretTo(c.Column, 1);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Memo->Line(0), c.Expect);
    EXPECT_EQ(Memo->CaretPos().X, c.CaretColumn);
    EXPECT_FALSE(Memo->HasSelection());
  }
}

// Focus arriving in the editor (a tab switched to the code, a click from another control)
// edits nothing: only the Enter key breaks a line.
TEST_F(CodeEditorTest, TakingTheFocusLeavesTheTextAndTheModifiedFlagAlone) {
  SetText({"begin", "end."});
  auto* other = new TEdit(Form);
  other->SetParent(Form);
  other->SetBounds(0, 370, 100, 21);
  other->SetFocus();
  Memo->SetModified(false);
  Memo->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(Text(), (Lines{"begin", "end."}));
  EXPECT_FALSE(Memo->Modified());
}

TEST_F(CodeEditorTest, EnterIndentsLikeTheLineAndMovesBookmarksWithTheirLines) {
  SetText({"  begin", "end."});
  Key(Qt::Key_End);
  Key(Qt::Key_Return);
  EXPECT_EQ(Text(), (Lines{"  begin", "  ", "end."}));
  EXPECT_EQ(Memo->CaretPos(), (TPoint{3, 2}));

  SetText({"a", "b", "c"});
  Memo->MoveCaretTo(1, 2);
  Key(Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(Memo->Bookmark(3), 1);
  Key(Qt::Key_Return);
  EXPECT_EQ(Text(), (Lines{"a", "", "b", "c"}));
  EXPECT_EQ(Memo->Bookmark(3), 2) << "the bookmark stays on \"b\"";

  Memo->MoveCaretTo(2, 3);  // Enter right of column 1 leaves the bookmark where it is
  Key(Qt::Key_Return);
  EXPECT_EQ(Text(), (Lines{"a", "", "b", "", "c"}));
  EXPECT_EQ(Memo->Bookmark(3), 2);
}

TEST_F(CodeEditorTest, EnterInsideAVeryLongLineKeepsBothPartsWhole) {
  const std::string longLine(3000, 'q');
  SetText({longLine.c_str()});
  Memo->MoveCaretTo(10, 1);
  Key(Qt::Key_Return);
  ASSERT_EQ(Memo->LineCount(), 2);
  EXPECT_EQ(Memo->Line(0), std::string(9, 'q'));
  EXPECT_EQ(Memo->Line(1), std::string(2991, 'q'));
  Key(Qt::Key_End);
  EXPECT_EQ(Memo->CaretPos().X, 2992) << "the end of a line beyond 1024 characters is reachable";
}

TEST_F(CodeEditorTest, BackspaceDeletesJoinsAndUnindents) {
  struct Case {
    const char* Name;
    std::vector<const char*> Start;
    TPoint Caret;
    Lines Expect;
    TPoint CaretAfter;
  };
  const Case cases[] = {
      {"a character", {"abc"}, {3, 1}, {"ac"}, {2, 1}},
      {"beyond the line end only moves", {"ab"}, {5, 1}, {"ab"}, {4, 1}},
      {"unindent to the indent above", {"  y", "    x"}, {5, 2}, {"  y", "  x"}, {3, 2}},
      {"no smaller indent above: one blank", {"    y", "  x"}, {3, 2}, {"    y", " x"}, {2, 2}},
      {"first line: one blank", {"   x"}, {4, 1}, {"  x"}, {3, 1}},
      {"a blank line unindents", {"x", "      "}, {5, 2}, {"x", "  "}, {1, 2}},
      {"column 1 joins, trailing blanks of the line above go", {"ab   ", "cd"}, {1, 2}, {"abcd"}, {3, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TStringList list;
    for (const char* l : c.Start) list.Add(l);
    Memo->SetLines(&list);
    Memo->MoveCaretTo(c.Caret.X, c.Caret.Y);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Text(), c.Expect);
    EXPECT_EQ(Memo->CaretPos(), c.CaretAfter);
  }
}

TEST_F(CodeEditorTest, DelDeletesOrPullsUpTheNextLineAndMovesBookmarks) {
  SetText({"ab", "  cd  ", "ef"});
  Memo->SetBookmark(5, 2);
  Memo->MoveCaretTo(5, 1);
  Key(Qt::Key_Delete);
  EXPECT_EQ(Text(), (Lines{"ab    cd", "ef"})) << "filled with blanks up to the caret";
  EXPECT_EQ(Memo->Bookmark(5), 1);
  Memo->MoveCaretTo(1, 1);
  Key(Qt::Key_Delete);
  EXPECT_EQ(Memo->Line(0), "b    cd");
}

TEST_F(CodeEditorTest, SelectAllThenDelLeavesOneEmptyLine) {
  SetText({"procedure A;", "begin", "end;"});
  Ctrl(Qt::Key_A);
  EXPECT_EQ(Memo->SelectedText(), "procedure A;\r\nbegin\r\nend;");
  EXPECT_EQ(Memo->CaretPos(), (TPoint{5, 3}));
  Key(Qt::Key_Delete);
  EXPECT_EQ(Text(), (Lines{""}));
  EXPECT_EQ(Memo->CaretPos(), (TPoint{1, 1}));
}

TEST_F(CodeEditorTest, CtrlYDeletesTheCaretLineAndOnlyEmptiesTheLast) {
  SetText({"a", "b", "c"});
  Memo->MoveCaretTo(1, 2);
  Ctrl(Qt::Key_Y);
  EXPECT_EQ(Text(), (Lines{"a", "c"}));
  Memo->MoveCaretTo(2, 2);
  Ctrl(Qt::Key_Y);
  EXPECT_EQ(Text(), (Lines{"a", ""}));
  EXPECT_EQ(Memo->CaretPos(), (TPoint{1, 2}));
}

// ---------------------------------------------------------------- block indent, selection

TEST_F(CodeEditorTest, DraggedBlockIndentsAndUnindentsExactlyItsLines) {
  SetText({"a", "b", "c"});
  Drag({1, 1}, {1, 3});
  EXPECT_EQ(Memo->SelStart(), (TPoint{1, 1}));
  EXPECT_EQ(Memo->SelEnd(), (TPoint{1, 3}));
  Ctrl(Qt::Key_I);
  EXPECT_EQ(Text(), (Lines{"  a", "  b", "c"}));
  EXPECT_TRUE(Memo->HasSelection()) << "the selection stays";
  Ctrl(Qt::Key_U);
  EXPECT_EQ(Text(), (Lines{"a", "b", "c"}));

  SetText({"   x", "", " y"});
  Ctrl(Qt::Key_A);
  Ctrl(Qt::Key_U);
  EXPECT_EQ(Text(), (Lines{"  x", "", "y"})) << "the smallest indent of the non-blank lines, at most 2";
}

TEST_F(CodeEditorTest, ShiftMovesExtendFromTheAnchorAndPlainMovesClear) {
  SetText({"hello world", "second"});
  Memo->MoveCaretTo(3, 1);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Memo->SelStart(), (TPoint{3, 1}));
  EXPECT_EQ(Memo->SelEnd(), (TPoint{5, 2}));
  EXPECT_EQ(Memo->SelectedText(), "llo world\r\nseco");
  Key(Qt::Key_Left);
  EXPECT_FALSE(Memo->HasSelection());
}

TEST_F(CodeEditorTest, TypingReplacesTheSelectionAndSelectedTextClipsAtLineEnds) {
  SetText({"ab", "cd"});
  Memo->MoveCaretTo(7, 1);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Memo->SelectedText(), "cd") << "from beyond the end of line 1: the next line's start";
  SetText({"abcdef"});
  DoubleClickCell(3, 1);
  EXPECT_EQ(Memo->SelectedText(), "abcdef");
  Type("X");
  EXPECT_EQ(Text(), (Lines{"X"}));
}

TEST_F(CodeEditorTest, ClipboardKeys) {
  SetText({"alpha beta"});
  DoubleClickCell(2, 1);
  Key(Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(Clipboard()->AsText(), "alpha");
  Key(Qt::Key_End);
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Memo->Line(0), "alpha betaalpha");
  Clipboard()->SetAsText("x\r\ny\nz");
  Ctrl(Qt::Key_V);
  EXPECT_EQ(Text(), (Lines{"alpha betaalphax", "y", "z"}));
  EXPECT_EQ(Memo->CaretPos(), (TPoint{2, 3})) << "after the pasted text, whatever its line breaks";
  Memo->MoveCaretTo(1, 2);
  Key(Qt::Key_End, Qt::ShiftModifier);
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(Clipboard()->AsText(), "y");
  EXPECT_EQ(Text(), (Lines{"alpha betaalphax", "", "z"}));
  Ctrl(Qt::Key_X);  // no selection: nothing
  EXPECT_EQ(Clipboard()->AsText(), "y");
}

TEST_F(CodeEditorTest, PastingLinesAtColumn1TakesTheBookmarkDownWithItsLine) {
  SetText({"a", "b"});
  Memo->SetBookmark(0, 1);
  Memo->SetCodeLineMark(2, true);
  Memo->MoveCaretTo(1, 2);
  Memo->ReplaceSelection("p\r\nq\r\n");
  EXPECT_EQ(Text(), (Lines{"a", "p", "q", "b"}));
  EXPECT_EQ(Memo->Bookmark(0), 3);
  EXPECT_TRUE(Memo->HasCodeLineMark(4));
  EXPECT_FALSE(Memo->HasCodeLineMark(2));
}

// ---------------------------------------------------------------- find

TEST_F(CodeEditorTest, SearchTextSelectsSuccessiveMatches) {
  struct Case {
    const char* Name;
    std::vector<const char*> Text;
    const char* Needle;
    bool CaseSensitive;
    std::vector<TPoint> Starts;  // each successful search: column, line of the match
  };
  const Case cases[] = {
      {"two lines", {"aaaa", "b"}, "aa", false, {{1, 1}, {3, 1}}},
      {"one line", {"aaaa"}, "aa", false, {{1, 1}, {3, 1}}},
      {"ignoring case, second line", {"x", "Begin BEGIN"}, "begin", false, {{1, 2}, {7, 2}}},
      {"case-sensitive", {"Begin begin"}, "begin", true, {{7, 1}}},
      {"Chinese", {"打印", "报表打印"}, "打印", false, {{1, 1}, {3, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TStringList list;
    for (const char* l : c.Text) list.Add(l);
    Memo->SetLines(&list);
    int offset = 0;
    const int length = Length(c.Needle);
    for (const TPoint& at : c.Starts) {
      ASSERT_TRUE(Memo->SearchText(c.Needle, c.CaseSensitive, offset));
      EXPECT_EQ(Memo->SelStart(), at);
      EXPECT_EQ(Memo->SelEnd(), (TPoint{at.X + length, at.Y}));
      EXPECT_EQ(Memo->CaretPos(), at);
      EXPECT_TRUE(AnsiSameText(Memo->SelectedText(), c.Needle));
      EXPECT_EQ(offset, Memo->PointToOffset(at) + length);
    }
    const int before = offset;
    EXPECT_FALSE(Memo->SearchText(c.Needle, c.CaseSensitive, offset));
    EXPECT_EQ(offset, before) << "a failed search changes nothing";
  }
}

// ---------------------------------------------------------------- moves

TEST_F(CodeEditorTest, ClickInTheGutterPutsTheCaretInColumn1) {
  SetText({"first", "second", "third"});
  guitest::Click(Memo, {5, CellPoint(1, 3).Y});
  EXPECT_EQ(Memo->CaretPos(), (TPoint{1, 3}));
  ClickCell(4, 2);
  EXPECT_EQ(Memo->CaretPos(), (TPoint{4, 2}));
  ClickCell(40, 1);
  EXPECT_EQ(Memo->CaretPos(), (TPoint{40, 1})) << "the caret is free beyond the line end";
}

TEST_F(CodeEditorTest, HomeEndAndWordMoves) {
  struct Case {
    const char* Name;
    int QtKey;
    Qt::KeyboardModifiers Mods;
    TPoint From;
    TPoint To;
  };
  const Case cases[] = {
      {"End after the last non-blank", Qt::Key_End, Qt::NoModifier, {1, 1}, {14, 1}},
      {"Home", Qt::Key_Home, Qt::NoModifier, {9, 2}, {1, 2}},
      {"Ctrl+End", Qt::Key_End, Qt::ControlModifier, {1, 1}, {6, 3}},
      {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, {3, 3}, {1, 1}},
      {"Ctrl+Left to the word start", Qt::Key_Left, Qt::ControlModifier, {11, 1}, {8, 1}},
      {"Ctrl+Left over punctuation", Qt::Key_Left, Qt::ControlModifier, {7, 1}, {1, 1}},
      {"Ctrl+Left from beyond the end", Qt::Key_Left, Qt::ControlModifier, {30, 1}, {8, 1}},
      {"Ctrl+Left at column 1", Qt::Key_Left, Qt::ControlModifier, {1, 2}, {16, 1}},
      {"Ctrl+Right to the next word", Qt::Key_Right, Qt::ControlModifier, {1, 1}, {8, 1}},
      {"Ctrl+Right on trailing blanks", Qt::Key_Right, Qt::ControlModifier, {14, 1}, {16, 1}},
      {"Ctrl+Right at the end", Qt::Key_Right, Qt::ControlModifier, {16, 1}, {5, 2}},
      {"Left stops at 1", Qt::Key_Left, Qt::NoModifier, {1, 2}, {1, 2}},
      {"Up keeps the column", Qt::Key_Up, Qt::NoModifier, {20, 3}, {20, 2}},
      {"Down stops at the last line", Qt::Key_Down, Qt::NoModifier, {2, 3}, {2, 3}},
  };
  SetText({"alpha, beta_2  ", "    gamma", "delta"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Memo->MoveCaretTo(c.From.X, c.From.Y);
    Key(c.QtKey, c.Mods);
    EXPECT_EQ(Memo->CaretPos(), c.To);
  }
}

TEST_F(CodeEditorTest, PageKeysMoveViewAndCaretTogether) {
  TStringList list;
  for (int i = 1; i <= 100; ++i) list.Add("line " + IntToStr(i));
  Memo->SetLines(&list);
  const int v = Memo->VisibleLines();
  ASSERT_GT(v, 5);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Memo->TopOffset(), v - 1);
  EXPECT_EQ(Memo->CaretPos().Y, v);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Memo->TopOffset(), 0);
  EXPECT_EQ(Memo->CaretPos().Y, 1);
  Ctrl(Qt::Key_End);
  EXPECT_EQ(Memo->CaretPos().Y, 100);
  EXPECT_EQ(Memo->TopOffset(), 100 - v);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Memo->TopOffset(), 99) << "the last line at the top of the view";
  EXPECT_EQ(Memo->CaretPos().Y, 100);
}

TEST_F(CodeEditorTest, TheScrollBarsShowTheViewAndMoveIt) {
  TStringList list;
  for (int i = 1; i <= 100; ++i) list.Add("x");
  Memo->SetLines(&list);
  EXPECT_EQ(Memo->VertRange(), 100);
  EXPECT_EQ(Memo->VertPage(), Memo->VisibleLines());
  EXPECT_EQ(Memo->LargeStep(), Memo->VisibleLines());
  EXPECT_EQ(Memo->HorzRange(), 1024);
  EXPECT_EQ(Memo->HorzPage(), Memo->VisibleColumns());
  SendMessage(Memo->Handle(), WM_VSCROLL, MakeWParam(SB_PAGEDOWN, 0), 0);
  EXPECT_EQ(Memo->TopOffset(), Memo->VisibleLines());
  EXPECT_EQ(Memo->CaretPos(), (TPoint{1, 1})) << "scrolling leaves the caret where it is";
  SendMessage(Memo->Handle(), WM_HSCROLL, MakeWParam(SB_LINERIGHT, 0), 0);
  EXPECT_EQ(Memo->LeftOffset(), 1);
  Key(Qt::Key_Home);
  EXPECT_EQ(Memo->LeftOffset(), 0);
  EXPECT_EQ(Memo->TopOffset(), 0) << "a caret move brings the caret into view";
}

TEST_F(CodeEditorTest, TheSystemCaretStandsInTheCaretsCell) {
  SetText({"abc", "def"});
  Memo->MoveCaretTo(3, 2);
  TPoint p;
  ASSERT_EQ(CaretWindow(), Memo->Handle());
  ASSERT_TRUE(GetCaretPos(&p));
  EXPECT_EQ(p, (TPoint{Memo->GutterWidth() + 2 * Memo->CharWidth(), Memo->LineHeight()}));
  SendMessage(Memo->Handle(), WM_HSCROLL, MakeWParam(SB_LINERIGHT, 0), 0);
  SendMessage(Memo->Handle(), WM_HSCROLL, MakeWParam(SB_LINERIGHT, 0), 0);
  SendMessage(Memo->Handle(), WM_HSCROLL, MakeWParam(SB_LINERIGHT, 0), 0);
  ASSERT_TRUE(GetCaretPos(&p));
  EXPECT_EQ(p, (TPoint{-100, -100})) << "scrolled out of view to the left";
  auto* other = new TEdit(Form);
  other->SetParent(Form);
  other->SetBounds(0, 380, 100, 21);
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_NE(CaretWindow(), Memo->Handle()) << "the caret goes with the focus";
}

TEST_F(CodeEditorTest, WheelScrollsOneLinePerNotch) {
  TStringList list;
  for (int i = 1; i <= 100; ++i) list.Add("x");
  Memo->SetLines(&list);
  const TPoint p = Memo->ClientToScreen({100, 50});
  auto wheel = [&](int delta) {
    QWheelEvent e(QPointF(100, 50), QPointF(p.X, p.Y), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(guitest::WidgetOf(Memo), &e);
    Application->ProcessMessages();
  };
  wheel(-120);
  wheel(-120);
  EXPECT_EQ(Memo->TopOffset(), 2);
  wheel(120);
  EXPECT_EQ(Memo->TopOffset(), 1);
  EXPECT_EQ(Memo->VertPosition(), 1) << "the scroll bar follows";
}

// ---------------------------------------------------------------- bookmarks

TEST_F(CodeEditorTest, BookmarkKeysSetRemoveAndJump) {
  SetText({"a", "b", "c", "d"});
  Memo->MoveCaretTo(1, 3);
  Key(Qt::Key_2, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Memo->Bookmark(2), 2);
  Key(Qt::Key_4, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Memo->Bookmark(4), -1) << "a line with another bookmark takes no second";
  Memo->MoveCaretTo(3, 1);
  Ctrl(Qt::Key_2);
  EXPECT_EQ(Memo->CaretPos(), (TPoint{1, 3}));
  Key(Qt::Key_2, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Memo->Bookmark(2), -1) << "the same number on its line removes it";
  EXPECT_EQ(Text(), (Lines{"a", "b", "c", "d"})) << "bookmark keys type nothing";
  Memo->SetBookmark(11, 0);
  EXPECT_EQ(Memo->Bookmark(11), -1);
}

// ---------------------------------------------------------------- characters

TEST_F(CodeEditorTest, ChineseCharactersAreNeverSplit) {
  SetText({"中文ab"});
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  EXPECT_EQ(Memo->CaretPos(), (TPoint{3, 1}));
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Memo->Line(0), "中ab");
  Key(Qt::Key_Delete);
  EXPECT_EQ(Memo->Line(0), "中b");
  Key(Qt::Key_End);
  Key(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(Memo->CaretPos(), (TPoint{1, 1})) << "a Chinese letter belongs to the word";
  Commit("脚本");
  EXPECT_EQ(Memo->Line(0), "脚本中b");
  EXPECT_EQ(Memo->CaretPos(), (TPoint{3, 1}));
  Ctrl(Qt::Key_Z);
  EXPECT_EQ(Memo->Line(0), "中b") << "the committed text is one typed run";
  Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Memo->SelectedText(), "中");
}

TEST_F(CodeEditorTest, OffsetsCountCharactersOverCrLf) {
  SetText({"ab", "中c", ""});
  struct Case {
    TPoint P;
    int Offset;
  };
  const Case cases[] = {{{1, 1}, 1}, {{2, 1}, 2}, {{1, 2}, 5}, {{2, 2}, 6}, {{1, 3}, 9}};
  for (const Case& c : cases) {
    EXPECT_EQ(Memo->PointToOffset(c.P), c.Offset);
    EXPECT_EQ(Memo->OffsetToPoint(c.Offset), c.P);
  }
  Memo->MoveCaretTo(2, 2);
  EXPECT_EQ(Memo->CaretOffset(), 6);
}

// ---------------------------------------------------------------- text in and out, events

TEST_F(CodeEditorTest, TrimmedLinesAndChangesOfTheAnsweredList) {
  SetText({"a  ", "b", "  "});
  Memo->MoveCaretTo(2, 2);
  TStrings* out = Memo->GetTrimmedLines();
  EXPECT_EQ(out->Text(), "a\r\nb\r\n\r\n");
  EXPECT_EQ(Memo->CaretPos(), (TPoint{2, 2})) << "reading does not reset the editor";
  out->Add("c");
  EXPECT_EQ(Text(), (Lines{"a", "b", "", "c"}));
  EXPECT_EQ(Memo->CaretPos(), (TPoint{1, 1})) << "an outside change resets it";
}

TEST_F(CodeEditorTest, EventsAndModified) {
  SetText({"x"});
  int changed = 0, moved = 0;
  bool modifiedSeen = false;
  Memo->OnTextChanged = TNotifyEvent::Lambda([&](TObject* s) {
    EXPECT_EQ(s, Memo);
    modifiedSeen = Memo->Modified();
    ++changed;
  });
  Memo->OnCaretMoved = TNotifyEvent::Lambda([&](TObject*) { ++moved; });
  Key(Qt::Key_End);
  EXPECT_EQ(changed, 0);
  EXPECT_GE(moved, 1);
  Type("y");
  EXPECT_EQ(changed, 1);
  EXPECT_TRUE(modifiedSeen) << "Modified is set before the event";
  Key(Qt::Key_Return);
  Key(Qt::Key_Backspace);
  Ctrl(Qt::Key_Z);
  EXPECT_EQ(changed, 4);
  Memo->OnTextChanged = TNotifyEvent();
  Memo->OnCaretMoved = TNotifyEvent();
}

TEST_F(CodeEditorTest, CodeLineMarksTravelWithTheirLines) {
  SetText({"a", "b", "c"});
  Memo->SetCodeLineMark(3, true);
  Memo->MoveCaretTo(1, 1);
  Ctrl(Qt::Key_Y);
  EXPECT_TRUE(Memo->HasCodeLineMark(2));
  Memo->MoveCaretTo(1, 2);
  Key(Qt::Key_Return);
  EXPECT_TRUE(Memo->HasCodeLineMark(3));
  EXPECT_FALSE(Memo->HasCodeLineMark(2));
  Ctrl(Qt::Key_Z);  // Ctrl+Y and the Enter after it are one undo step
  EXPECT_EQ(Text(), (Lines{"a", "b", "c"}));
  EXPECT_TRUE(Memo->HasCodeLineMark(3)) << "undo restores the marks with the text";
  EXPECT_FALSE(Memo->HasCodeLineMark(2));
}

TEST_F(CodeEditorTest, ACaretMoveClearsTheErrorBar) {
  SetText({"x", "y"});
  Memo->SetErrorBarText("Undeclared identifier");
  Key(Qt::Key_Down);
  EXPECT_EQ(Memo->ErrorBarText(), "");
}
