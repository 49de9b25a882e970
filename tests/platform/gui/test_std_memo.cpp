// The memo: lines over the text model, line breaks, wrapping, vertical movement and scrolling.
#include "StdTestUtil.h"

#include "core/Filer.h"
#include "gui/Edit.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"
#include "gui/WinScroll.h"

using namespace guitest;
using namespace stdtest;

namespace {

struct MemoFixture : FormFixture {
  TMemo* Memo = nullptr;
  int Changes = 0;
  void SetUp() override {
    FormFixture::SetUp();
    Memo = Add<TMemo>(Rect(8, 8, 208, 108));
    Memo->OnChange = TNotifyEvent::Lambda([this](TObject*) { ++Changes; });
    Memo->SetFocus();
    Application->ProcessMessages();
  }
  std::vector<String> LinesOf(TStrings* s) {
    std::vector<String> v;
    for (int i = 0; i < s->Count(); ++i) v.push_back(s->Strings(i));
    return v;
  }
};

}  // namespace

TEST_F(MemoFixture, LinesAreTheTextSplitAtLineBreaks) {
  TStrings* l = Memo->Lines();
  l->Add("合同说明");
  l->Add("第二行");
  EXPECT_EQ(Memo->Text(), "合同说明\r\n第二行\r\n") << "each added line ends with a break";
  EXPECT_EQ(l->Count(), 2) << "the empty line after the last break is no line";
  l->Insert(1, "插入");
  l->SetStrings(0, "改");
  EXPECT_EQ(LinesOf(l), (std::vector<String>{"改", "插入", "第二行"}));
  l->Delete(1);
  EXPECT_EQ(Memo->Text(), "改\r\n第二行\r\n");
  Memo->SetText("a\nb\rc");
  EXPECT_EQ(Memo->Text(), "a\r\nb\r\nc") << "line breaks become CR LF";
  EXPECT_EQ(LinesOf(l), (std::vector<String>{"a", "b", "c"}));
  l->Delete(2);
  EXPECT_EQ(Memo->Text(), "a\r\nb") << "deleting the last line takes its break along";
  l->Add("z");
  EXPECT_EQ(Memo->Text(), "a\r\nb\r\nz");
  EXPECT_THROW(l->Strings(3), EStringListError);
  EXPECT_GT(Changes, 5) << "line changes are text changes";
  l->Clear();
  EXPECT_EQ(Memo->Text(), "");
  EXPECT_EQ(l->Count(), 0);
}

TEST_F(MemoFixture, EnterBreaksTheLineUnlessReturnsAreNotWanted) {
  Memo->SetText("ab");
  Memo->SetSelStart(1);
  Key(Qt::Key_Return);
  EXPECT_EQ(Memo->Text(), "a\r\nb");
  EXPECT_EQ(Memo->CaretPosition(), (TPoint{0, 1}));

  int clicks = 0;
  auto* ok = Add<TButton>(Rect(220, 8, 295, 33));
  ok->SetDefault(true);
  ok->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  Memo->SetFocus();
  Key(Qt::Key_Return);
  EXPECT_EQ(clicks, 0) << "a memo that wants returns keeps Enter";
  EXPECT_EQ(Memo->Lines()->Count(), 3);
  Memo->SetWantReturns(false);
  Key(Qt::Key_Return);
  EXPECT_EQ(clicks, 1) << "then Enter presses the default button";
  EXPECT_EQ(Memo->Lines()->Count(), 3);
}

TEST_F(MemoFixture, UpAndDownKeepTheColumnAndBackspaceJoinsLines) {
  Memo->SetWordWrap(false);
  Memo->SetText("abcdef\r\nxy\r\n123456");
  Memo->SetCaretPosition({4, 0});
  Key(Qt::Key_Down);
  EXPECT_EQ(Memo->CaretPosition(), (TPoint{2, 1})) << "a shorter line takes the caret to its end";
  Key(Qt::Key_Down);
  EXPECT_EQ(Memo->CaretPosition().Y, 2);
  Key(Qt::Key_Home);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Memo->Text(), "abcdef\r\nxy123456") << "the break goes as one character";
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  EXPECT_EQ(Memo->CaretPosition(), (TPoint{6, 0})) << "left steps over CR LF at once";
}

TEST_F(MemoFixture, WordWrapBreaksBetweenWordsAndChineseCharacters) {
  String words = "the quick brown fox jumps over the lazy dog again and again";
  Memo->SetText(words);
  int wrapped = static_cast<int>(Memo->Perform(EM_GETLINECOUNT));
  EXPECT_GT(wrapped, 1);
  // No visual line starts inside a word.
  for (int i = 1; i < wrapped; ++i) {
    int start = static_cast<int>(Memo->Perform(EM_LINEINDEX, static_cast<WPARAM>(i)));
    ASSERT_GT(start, 0);
    EXPECT_EQ(words[static_cast<std::size_t>(start - 1)], ' ') << "line " << i;
  }
  EXPECT_EQ(Memo->Lines()->Count(), 1) << "wrapping does not split the lines of the text";
  String chinese;
  for (int i = 0; i < 40; ++i) chinese += "合同";
  Memo->SetText(chinese);
  EXPECT_GT(Memo->Perform(EM_GETLINECOUNT), 1) << "a run of Chinese breaks between characters";
  Memo->SetWordWrap(false);
  Memo->SetText(words);
  EXPECT_EQ(Memo->Perform(EM_GETLINECOUNT), 1);
}

TEST_F(MemoFixture, LongTextScrollsWithTheCaretTheWheelAndTheScrollBar) {
  Memo->SetScrollBars(ssVertical);
  String text;
  for (int i = 0; i < 40; ++i) text += "行" + std::to_string(i) + "\r\n";
  Memo->SetText(text);
  EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE), 0);
  Key(Qt::Key_End, Qt::ControlModifier);
  int top = static_cast<int>(Memo->Perform(EM_GETFIRSTVISIBLELINE));
  EXPECT_GT(top, 30) << "the caret's line came into view";
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE), 0);

  QWheelEvent wheel(QPointF(20, 20), QPointF(100, 100), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(WidgetOf(Memo), &wheel);
  Application->ProcessMessages();
  EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE), 3) << "a wheel notch scrolls three lines";

  // The down arrow of the scroll bar sits at the bottom of the frame's right side.
  TRect nc = Memo->NonClientMargins();
  ASSERT_GT(nc.Right, 10) << "the scroll bar takes room at the right";
  TPoint arrow{Memo->ClientWidth() + 8, Memo->ClientHeight() - 5};
  Click(Memo, arrow);
  EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE), 4);
  Shot("memo_scrolled");
}

TEST_F(MemoFixture, TheScrollBarsAnswerTheWindowsScrollFunctions) {
  Memo->SetScrollBars(ssVertical);
  String text;
  for (int i = 0; i < 40; ++i) text += "行" + std::to_string(i) + "\r\n";
  Memo->SetText(text);
  int lines = static_cast<int>(Memo->Perform(EM_GETLINECOUNT));
  ASSERT_GT(lines, 40);
  HWND h = Memo->Handle();
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &si));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, lines - 1) << "a line a step";
  EXPECT_EQ(si.nPos, 0);
  Key(Qt::Key_End, Qt::ControlModifier);
  int lastTop = static_cast<int>(Memo->Perform(EM_GETFIRSTVISIBLELINE));
  ASSERT_GT(lastTop, 0);
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &si));
  EXPECT_EQ(static_cast<int>(si.nPage), lines - lastTop) << "the page is the lines that show";
  EXPECT_EQ(si.nPos, lastTop) << "the bar follows the caret's scrolling";
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);

  // The bar's notification moves the text, and the bar with it.
  SendMessage(h, WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 10), 0);
  EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE), 10);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 10);
  SendMessage(h, WM_VSCROLL, MakeWParam(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE), 11);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 11);
  // Setting the position moves the bar only; the text follows when told to go there.
  EXPECT_EQ(SetScrollPos(h, SB_VERT, 5, true), 11) << "the previous position";
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 5);
  EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE), 11);
  SendMessage(h, WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, GetScrollPos(h, SB_VERT)), 0);
  EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE), 5);
  EXPECT_EQ(SetScrollPos(h, SB_VERT, 1000, true), 5);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), lastTop) << "the position stops where the last page starts";

  // The bar's place, and hiding it.
  SCROLLBARINFO bi;
  ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &bi));
  EXPECT_EQ(bi.rgstate[0], 0u) << "there is something to scroll";
  TPoint corner = Memo->ScreenToClient({bi.rcScrollBar.Left, bi.rcScrollBar.Top});
  EXPECT_EQ(corner.X, Memo->ClientWidth()) << "the bar lies right of the client area";
  EXPECT_EQ(corner.Y, 0);
  int cw = Memo->ClientWidth();
  EXPECT_TRUE(ShowScrollBar(h, SB_VERT, false));
  EXPECT_EQ(Memo->WindowStyle() & WS_VSCROLL, 0u);
  EXPECT_EQ(Memo->ClientWidth(), cw + GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_TRUE(ShowScrollBar(h, SB_VERT, true));
  EXPECT_NE(Memo->WindowStyle() & WS_VSCROLL, 0u);
  EXPECT_EQ(Memo->ClientWidth(), cw);
}

TEST_F(MemoFixture, TheHorizontalBarScrollsLongLinesAndRestsWhileWrapping) {
  Memo->SetScrollBars(ssBoth);
  String longLine;
  for (int i = 0; i < 60; ++i) longLine += "合同";
  Memo->SetText(longLine);
  HWND h = Memo->Handle();
  ASSERT_NE(Memo->WindowStyle() & WS_HSCROLL, 0u);
  SCROLLBARINFO bi;
  ASSERT_TRUE(GetScrollBarInfo(h, OBJID_HSCROLL, &bi));
  EXPECT_EQ(bi.rgstate[0], STATE_SYSTEM_UNAVAILABLE) << "wrapped text does not scroll sideways";
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_HORZ, &si));
  EXPECT_LE(si.nMax - si.nMin + 1, static_cast<int>(si.nPage));

  Memo->SetWordWrap(false);
  Memo->SetText(longLine);
  h = Memo->Handle();
  ASSERT_TRUE(GetScrollBarInfo(h, OBJID_HSCROLL, &bi));
  EXPECT_EQ(bi.rgstate[0], 0u);
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_HORZ, &si));
  EXPECT_GT(si.nMax - si.nMin + 1, static_cast<int>(si.nPage)) << "the line is wider than the client";
  EXPECT_EQ(si.nPos, 0);
  int x0 = LoWord(static_cast<DWORD>(Memo->Perform(EM_POSFROMCHAR, 10)));
  SendMessage(h, WM_HSCROLL, MakeWParam(SB_THUMBPOSITION, 40), 0);
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 40);
  int x1 = LoWord(static_cast<DWORD>(Memo->Perform(EM_POSFROMCHAR, 10)));
  EXPECT_EQ(x1, x0 - 40) << "the text moved left by the scrolled distance";
}

TEST(MemoLayout, LinesAreReadFromTheLayout) {
  auto* f = new TForm(Application);
  ReadComponentFromText(f,
                        "object F: TForm\n"
                        "  object mmPactNote: TMemo\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Width = 200\n"
                        "    Height = 80\n"
                        "    Lines.Strings = (\n"
                        "      '合同说明'\n"
                        "      'second')\n"
                        "    ReadOnly = True\n"
                        "    ScrollBars = ssVertical\n"
                        "  end\n"
                        "end\n");
  auto* m = dynamic_cast<TMemo*>(f->FindComponent("mmPactNote"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Lines()->Count(), 2);
  EXPECT_EQ(m->Lines()->Strings(0), "合同说明");
  EXPECT_TRUE(m->ReadOnly());
  EXPECT_EQ(m->ScrollBars(), ssVertical);
  EXPECT_TRUE(m->WordWrap());
  delete f;
}
