// The message queue and the translation of Qt input into messages in the platform's order.
#include "GuiTestUtil.h"
#include "gui/Edit.h"
#include "gui/Timers.h"

#include "core/Exceptions.h"
#include "core/SysUtils.h"

#include <QtGui/QContextMenuEvent>
#include <QtGui/QInputMethodEvent>

#include <gtest/gtest.h>

#include <thread>

using namespace guitest;

namespace {

std::string MsgName(UINT m) {
  switch (m) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_SYSCHAR: return "WM_SYSCHAR";
    case CN_KEYDOWN: return "CN_KEYDOWN";
    case CN_CHAR: return "CN_CHAR";
    case CN_KEYUP: return "CN_KEYUP";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_CONTEXTMENU: return "WM_CONTEXTMENU";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_SETCURSOR: return "WM_SETCURSOR";
    case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
    case WM_TIMER: return "WM_TIMER";
    default: return "0x" + std::to_string(m);
  }
}

// A control that records the messages it is sent and the events it fires.
class TProbe : public TCustomControl {
public:
  TProbe(TComponent* owner, TLog* log, std::string name) : TCustomControl(owner), Log(log), Tag(std::move(name)) {
    SetTabStop(true);
    OnKeyDown = TKeyEvent::Lambda([this](TObject*, Word& k, TShiftState) {
      Log->Add(Tag + ":OnKeyDown " + std::to_string(k));
      if (ZeroKeyDown) k = 0;
      if (PeekCharInKeyDown) {
        TMsg m;
        PeekedChar = PeekMessage(m, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE) ? static_cast<int>(m.wParam) : -1;
      }
    });
    OnKeyPress = TKeyPressEvent::Lambda([this](TObject*, Char& c) { Log->Add(Tag + ":OnKeyPress " + std::to_string(c)); });
    OnKeyUp = TKeyEvent::Lambda([this](TObject*, Word& k, TShiftState) { Log->Add(Tag + ":OnKeyUp " + std::to_string(k)); });
    OnMouseDown = TMouseEvent::Lambda([this](TObject*, TMouseButton, TShiftState s, int x, int y) {
      Log->Add(Tag + ":OnMouseDown " + std::to_string(x) + "," + std::to_string(y) + (s.Contains(ssDouble) ? " double" : ""));
    });
    OnClick = TNotifyEvent::Lambda([this](TObject*) { Log->Add(Tag + ":OnClick"); });
    OnDblClick = TNotifyEvent::Lambda([this](TObject*) { Log->Add(Tag + ":OnDblClick"); });
  }
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_GETDLGCODE) {
      M.Result = DlgCode;
      return;
    }
    if (M.Msg != WM_SETCURSOR && M.Msg != WM_MOUSEMOVE && M.Msg != WM_PAINT && M.Msg != WM_ERASEBKGND &&
        M.Msg < CM_BASE)
      Log->Add(Tag + ":" + MsgName(M.Msg));
    if (M.Msg >= CN_BASE && M.Msg < CN_BASE + 0x400) Log->Add(Tag + ":" + MsgName(M.Msg));
    TCustomControl::WndProc(M);
  }

  TLog* Log;
  std::string Tag;
  UINT DlgCode = 0;
  bool ZeroKeyDown = false;
  bool PeekCharInKeyDown = false;
  int PeekedChar = 0;
};

struct KeyFixture : ::testing::Test {
  TLog Log;
  TForm* Form = nullptr;
  TProbe* A = nullptr;
  TProbe* B = nullptr;

  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBounds(100, 100, 300, 200);
    Form->OnKeyDown = TKeyEvent::Lambda([this](TObject*, Word& k, TShiftState) {
      Log.Add("form:OnKeyDown " + std::to_string(k));
      if (FormZeroes) k = 0;
    });
    Form->OnKeyPress = TKeyPressEvent::Lambda([this](TObject*, Char& c) { Log.Add("form:OnKeyPress " + std::to_string(c)); });
    Form->OnKeyUp = TKeyEvent::Lambda([this](TObject*, Word& k, TShiftState) { Log.Add("form:OnKeyUp " + std::to_string(k)); });
    A = new TProbe(Form, &Log, "A");
    A->SetBounds(10, 10, 100, 50);
    A->SetParent(Form);
    B = new TProbe(Form, &Log, "B");
    B->SetBounds(10, 80, 100, 50);
    B->SetParent(Form);
    Form->Show();
    A->SetFocus();
    Application->ProcessMessages();
    Log.Clear();
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  bool FormZeroes = false;
};

}  // namespace

TEST_F(KeyFixture, TypedKeyGivesKeyDownThenQueuedCharWithKeyPreviewFirst) {
  Form->SetKeyPreview(true);
  TypeKey(Qt::Key_A, Qt::NoModifier, "a");
  std::vector<std::string> expected = {
      "A:CN_KEYDOWN",        "A:WM_KEYDOWN", "form:OnKeyDown 65",  "A:OnKeyDown 65", "A:CN_CHAR",
      "A:WM_CHAR",           "form:OnKeyPress 97", "A:OnKeyPress 97", "A:CN_KEYUP",   "A:WM_KEYUP",
      "form:OnKeyUp 65",     "A:OnKeyUp 65"};
  EXPECT_EQ(Log.Items, expected);
}

TEST_F(KeyFixture, KeyZeroedInPreviewStopsTheControlsKeyDownButNotTheQueuedChar) {
  Form->SetKeyPreview(true);
  FormZeroes = true;
  TypeKey(Qt::Key_B, Qt::NoModifier, "b");
  auto events = Log.Only({"A:On", "form:On"});
  std::vector<std::string> expected = {"form:OnKeyDown 66", "form:OnKeyPress 98", "A:OnKeyPress 98",
                                       "form:OnKeyUp 66", "A:OnKeyUp 66"};
  EXPECT_EQ(events, expected);
}

TEST_F(KeyFixture, ControlCharactersComeFromTheKeyNotFromTheText) {
  struct Case {
    int key;
    Qt::KeyboardModifiers mods;
    QString text;
    std::string expectedChar;
  };
  const Case cases[] = {
      {Qt::Key_C, Qt::ControlModifier, "", "A:OnKeyPress 3"},
      {Qt::Key_V, Qt::ControlModifier, "v", "A:OnKeyPress 22"},
      {Qt::Key_X, Qt::ControlModifier, "\x18", "A:OnKeyPress 24"},
      {Qt::Key_Z, Qt::ControlModifier, "", "A:OnKeyPress 26"},
      {Qt::Key_Backspace, Qt::NoModifier, "", "A:OnKeyPress 8"},
      {Qt::Key_A, Qt::ShiftModifier, "A", "A:OnKeyPress 65"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expectedChar);
    Log.Clear();
    TypeKey(c.key, c.mods, c.text);
    EXPECT_EQ(Log.Only({"A:OnKeyPress"}), std::vector<std::string>{c.expectedChar});
  }
  Log.Clear();
  TypeKey(Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_TRUE(Log.Only({"A:OnKeyPress"}).empty()) << "a modifier alone types nothing";
}

TEST_F(KeyFixture, UnicodeTextGivesOneCharPerCharacter) {
  TypeKey(Qt::Key_A, Qt::NoModifier, QString::fromUtf8("合同"));
  EXPECT_EQ(Log.Only({"A:OnKeyPress"}), (std::vector<std::string>{"A:OnKeyPress 21512", "A:OnKeyPress 21516"}));
}

TEST_F(KeyFixture, PeekMessageInKeyDownRemovesTheQueuedChar) {
  A->PeekCharInKeyDown = true;
  TypeKey(Qt::Key_Q, Qt::NoModifier, "q");
  EXPECT_EQ(A->PeekedChar, 'q');
  EXPECT_TRUE(Log.Only({"A:WM_CHAR", "A:OnKeyPress"}).empty());
  EXPECT_EQ(QueuedMessageCount(), 0);
}

TEST_F(KeyFixture, DialogKeysMoveTheFocusUnlessTheControlWantsThem) {
  struct Case {
    UINT dlgCode;
    int key;
    QString text;
    bool focusMoves;
  };
  const Case cases[] = {
      {0, Qt::Key_Tab, "\t", true},
      {DLGC_WANTTAB, Qt::Key_Tab, "\t", false},
      {DLGC_WANTALLKEYS, Qt::Key_Tab, "\t", true},  // all keys means Enter and Esc, not Tab
      {0, Qt::Key_Down, "", true},
      {DLGC_WANTARROWS, Qt::Key_Down, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    A->SetFocus();
    A->DlgCode = c.dlgCode;
    Log.Clear();
    TypeKey(c.key, Qt::NoModifier, c.text);
    EXPECT_EQ(B->Focused(), c.focusMoves);
    // A consumed dialog key never becomes WM_KEYDOWN or WM_CHAR.
    EXPECT_EQ(Log.Only({"A:WM_KEYDOWN"}).empty(), c.focusMoves);
    EXPECT_EQ(Log.Only({"A:WM_CHAR"}).empty(), c.focusMoves || c.key != Qt::Key_Tab);
  }
}

TEST_F(KeyFixture, KeyStateFollowsTheTranslatedKeys) {
  SendKey(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
  SendKey(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  short before = GetKeyState(VK_F7) & 1;
  TypeKey(Qt::Key_F7);
  EXPECT_NE(GetKeyState(VK_F7) & 1, before) << "each press toggles the low bit";
}

// ---------------------------------------------------------------- mouse

TEST_F(KeyFixture, ClickOrderDependsOnDoubleClicksStyle) {
  struct Case {
    bool doubleClicks;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {true, {"A:WM_LBUTTONDOWN", "A:OnMouseDown 5,6", "A:WM_LBUTTONUP", "A:OnClick", "A:WM_LBUTTONDBLCLK",
              "A:OnDblClick", "A:OnMouseDown 5,6 double", "A:WM_LBUTTONUP"}},
      {false, {"A:WM_LBUTTONDOWN", "A:OnMouseDown 5,6", "A:WM_LBUTTONUP", "A:OnClick", "A:WM_LBUTTONDOWN",
               "A:OnMouseDown 5,6", "A:WM_LBUTTONUP", "A:OnClick"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.doubleClicks);
    TControlStyle s = A->ControlStyle();
    if (c.doubleClicks) s += csDoubleClicks;
    else s -= csDoubleClicks;
    A->SetControlStyle(s);
    Log.Clear();
    Press(A, {5, 6}, Qt::LeftButton, 2000);
    Release(A, {5, 6});
    // Qt sends a press and a double-click event for the second click; only one message comes.
    Press(A, {5, 6}, Qt::LeftButton, 100);
    SendMouse(A, QEvent::MouseButtonDblClick, {5, 6}, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 0);
    Release(A, {5, 6});
    auto got = Log.Only({"A:WM_L", "A:On"});
    EXPECT_EQ(got, c.expected);
  }
}

TEST_F(KeyFixture, ThirdQuickClickIsAPlainPressAgain) {
  Press(A, {5, 5}, Qt::LeftButton, 2000);
  Release(A, {5, 5});
  Press(A, {5, 5}, Qt::LeftButton, 100);
  Release(A, {5, 5});
  Press(A, {5, 5}, Qt::LeftButton, 100);
  Release(A, {5, 5});
  EXPECT_EQ(Log.Only({"A:WM_LBUTTONDOWN", "A:WM_LBUTTONDBLCLK"}),
            (std::vector<std::string>{"A:WM_LBUTTONDOWN", "A:WM_LBUTTONDBLCLK", "A:WM_LBUTTONDOWN"}));
}

TEST_F(KeyFixture, RightButtonUpProposesTheContextMenuAfterTheButtonMessages) {
  bool handled = false;
  TPoint where{-5, -5};
  A->OnContextPopup = TContextPopupEvent::Lambda([&](TObject*, TPoint p, bool& h) {
    where = p;
    h = true;
    handled = true;
  });
  Click(A, {7, 8}, Qt::RightButton);
  EXPECT_EQ(Log.Only({"A:WM_R", "A:WM_CONTEXTMENU"}),
            (std::vector<std::string>{"A:WM_RBUTTONDOWN", "A:WM_RBUTTONUP", "A:WM_CONTEXTMENU"}));
  EXPECT_TRUE(handled);
  EXPECT_EQ(where, (TPoint{7, 8}));
}

TEST_F(KeyFixture, WheelGoesToTheFocusedControlThenItsParents) {
  std::vector<std::string> seen;
  A->OnMouseWheel = TMouseWheelEvent::Lambda([&](TObject*, TShiftState, int d, TPoint, bool& h) {
    seen.push_back("A " + std::to_string(d));
    h = false;
  });
  Form->OnMouseWheel = TMouseWheelEvent::Lambda([&](TObject*, TShiftState, int d, TPoint, bool& h) {
    seen.push_back("form " + std::to_string(d));
    h = true;
  });
  B->OnMouseWheel = TMouseWheelEvent::Lambda([&](TObject*, TShiftState, int, TPoint, bool& h) {
    seen.push_back("B");
    h = true;
  });
  // The wheel turns over B while A has the focus: A sees it, then its parent.
  TPoint s = B->ClientToScreen({5, 5});
  QWheelEvent e(QPointF(5, 5), QPointF(s.X, s.Y), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(WidgetOf(B), &e);
  EXPECT_EQ(seen, (std::vector<std::string>{"A -120", "form -120"}));
}

TEST_F(KeyFixture, SetCursorComesBeforeEachMove) {
  std::vector<UINT> msgs;
  A->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_SETCURSOR || m.Msg == WM_MOUSEMOVE) msgs.push_back(m.Msg);
    A->WndProc(m);
  };
  Move(A, {3, 3});
  Move(A, {4, 4});
  EXPECT_EQ(msgs, (std::vector<UINT>{WM_SETCURSOR, WM_MOUSEMOVE, WM_SETCURSOR, WM_MOUSEMOVE}));
}

TEST_F(KeyFixture, MouseEnterAndLeaveFollowTheMouse) {
  std::vector<std::string> seen;
  A->OnMouseEnter = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("enter A"); });
  A->OnMouseLeave = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("leave A"); });
  B->OnMouseEnter = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("enter B"); });
  Move(A, {3, 3});
  Move(A, {5, 5});
  Move(B, {3, 3});
  EXPECT_EQ(seen, (std::vector<std::string>{"enter A", "leave A", "enter B"}));
}

// ---------------------------------------------------------------- the queue

namespace {

class TReceiver : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::vector<std::string> Seen;
  std::function<void(TMessage&)> OnMsg;
  void Dispatch(TMessage& M) override {
    if (M.Msg >= WM_USER && M.Msg < WM_USER + 100) {
      if (OnMsg) OnMsg(M);
      return;
    }
    TWinControl::Dispatch(M);
  }
};

}  // namespace

TEST(MessageQueue, PostedMessageIsDeliveredOnceAfterTheCurrentHandler) {
  TReceiver r(nullptr);
  r.OnMsg = [&](TMessage& M) {
    r.Seen.push_back("start " + std::to_string(M.Msg - WM_USER));
    if (M.Msg == WM_USER + 1) PostMessage(r.Handle(), WM_USER + 2, 7, 8);
    r.Seen.push_back("end " + std::to_string(M.Msg - WM_USER));
  };
  SendMessage(r.Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(r.Seen, (std::vector<std::string>{"start 1", "end 1"}));
  EXPECT_EQ(QueuedMessageCount(), 1);
  Application->ProcessMessages();
  Application->ProcessMessages();
  EXPECT_EQ(r.Seen, (std::vector<std::string>{"start 1", "end 1", "start 2", "end 2"}));
  EXPECT_EQ(QueuedMessageCount(), 0);
}

TEST(MessageQueue, PostedMessagesKeepTheirOrderAndParameters) {
  TReceiver r(nullptr);
  std::vector<std::tuple<UINT, WPARAM, LPARAM>> got;
  r.OnMsg = [&](TMessage& M) { got.emplace_back(M.Msg, M.WParam, M.LParam); };
  for (int i = 0; i < 5; ++i) PostMessage(r.Handle(), WM_USER + 10 + i, i, -i);
  Application->ProcessMessages();
  ASSERT_EQ(got.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(std::get<0>(got[i]), WM_USER + 10 + i);
    EXPECT_EQ(std::get<1>(got[i]), static_cast<WPARAM>(i));
    EXPECT_EQ(std::get<2>(got[i]), -i);
  }
}

TEST(MessageQueue, PeekMessageFiltersByWindowAndRange) {
  TReceiver a(nullptr), b(nullptr);
  int delivered = 0;
  a.OnMsg = b.OnMsg = [&](TMessage&) { ++delivered; };
  PostMessage(a.Handle(), WM_USER + 1, 1, 0);
  PostMessage(b.Handle(), WM_USER + 2, 2, 0);
  PostMessage(a.Handle(), WM_USER + 3, 3, 0);
  struct Case {
    HWND h;
    UINT lo, hi;
    UINT remove;
    bool found;
    WPARAM wp;
    int leftAfter;
  };
  const Case cases[] = {
      {b.Handle(), 0, 0, PM_NOREMOVE, true, 2, 3},
      {a.Handle(), WM_USER + 2, WM_USER + 5, PM_NOREMOVE, true, 3, 3},
      {0, WM_USER + 4, WM_USER + 9, PM_REMOVE, false, 0, 3},
      {a.Handle(), WM_USER + 3, WM_USER + 3, PM_REMOVE, true, 3, 2},
      {0, 0, 0, PM_REMOVE, true, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wp);
    TMsg m;
    EXPECT_EQ(PeekMessage(m, c.h, c.lo, c.hi, c.remove) != 0, c.found);
    if (c.found) {
      EXPECT_EQ(m.wParam, c.wp);
    }
    EXPECT_EQ(QueuedMessageCount(), c.leftAfter);
  }
  Application->ProcessMessages();
  EXPECT_EQ(delivered, 1);
}

TEST(MessageQueue, MessagesToAFreedWindowAreDropped) {
  static int delivered = 0;
  delivered = 0;
  auto* r = new TReceiver(nullptr);
  r->OnMsg = [](TMessage&) { ++delivered; };
  HWND h = r->Handle();
  PostMessage(h, WM_USER + 1, 0, 0);
  EXPECT_EQ(FindControl(h), r);
  delete r;
  EXPECT_EQ(FindControl(h), nullptr);
  EXPECT_FALSE(PostMessage(h, WM_USER + 1, 0, 0));
  EXPECT_EQ(SendMessage(h, WM_USER + 1, 0, 0), 0);
  Application->ProcessMessages();
  EXPECT_EQ(delivered, 0);
}

TEST(MessageQueue, QuitMessageEndsTheLoop) {
  // Run returns once WM_QUIT is handled; the flag is restored for the other tests.
  TReceiver r(nullptr);
  r.OnMsg = [](TMessage&) { PostQuitMessage(0); };
  PostMessage(r.Handle(), WM_USER + 1, 0, 0);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  gui_glue::TAccess::ResetTerminated();
  EXPECT_FALSE(Application->Terminated());
}

TEST(MessageQueue, TextMessagesAnswerWholeCharacters) {
  // The room and the answer count characters; the buffer holds kMaxCharBytes per character.
  struct Case {
    std::size_t room;
    std::string expected;
    int chars;
  };
  const String text = "合同A";  // 3 + 3 + 1 bytes
  const Case cases[] = {{0, "", 0}, {1, "", 0}, {2, "合", 1}, {3, "合同", 2}, {4, "合同A", 3}, {20, "合同A", 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.room);
    char buf[20 * kMaxCharBytes];
    std::memset(buf, 'x', sizeof buf);
    TMessage m;
    m.Msg = WM_GETTEXT;
    m.WParam = c.room;
    m.LParam = reinterpret_cast<LPARAM>(c.room ? buf : nullptr);
    AnswerGetText(text, m);
    EXPECT_EQ(m.Result, c.chars);
    if (c.room) {
      EXPECT_EQ(std::string(buf), c.expected);
    }
  }
  TMessage len;
  AnswerGetTextLength(text, len);
  EXPECT_EQ(len.Result, 3);
  // A buffer measured in bytes takes whole characters only.
  const Case bytes[] = {{0, "", 0}, {1, "", 0}, {3, "", 0}, {4, "合", 1}, {7, "合同", 2}, {8, "合同A", 3}};
  for (const Case& c : bytes) {
    SCOPED_TRACE(c.room);
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(CopyTextToBuffer(text, c.room ? buf : nullptr, static_cast<int>(c.room)), c.chars);
    if (c.room) {
      EXPECT_EQ(std::string(buf), c.expected);
    }
  }
}

namespace {
class TTextProbe : public TWinControl {
public:
  using TWinControl::TWinControl;
  int SetTexts = 0, TextChanged = 0;
  void Dispatch(TMessage& M) override {
    if (M.Msg == WM_SETTEXT) ++SetTexts;
    if (M.Msg == CM_TEXTCHANGED) ++TextChanged;
    TWinControl::Dispatch(M);
  }
};
}  // namespace

TEST(MessageQueue, TextIsWrittenThroughTheWindowOnlyWhenItDiffers) {
  TTextProbe p(nullptr);
  p.SetText("金额");
  p.SetText("金额");
  p.SetCaption("金额");
  EXPECT_EQ(p.SetTexts, 1);
  EXPECT_EQ(p.TextChanged, 1);
  EXPECT_EQ(p.Text(), "金额");
  EXPECT_EQ(GetWindowText(p.Handle()), "金额");
  SetWindowText(p.Handle(), "x");
  EXPECT_EQ(p.Caption(), "x");
}

TEST(MessageQueue, ControlsCanAnswerTheTextMessagesThemselves) {
  // What an edit of the editor library does: the text lives in its own model.
  class TOwnText : public TWinControl {
  public:
    using TWinControl::TWinControl;
    String Model = "123.45";
    void Dispatch(TMessage& M) override {
      if (M.Msg == WM_GETTEXTLENGTH) return AnswerGetTextLength(Model, M);
      if (M.Msg == WM_GETTEXT) return AnswerGetText(Model, M);
      if (M.Msg == WM_SETTEXT) {
        Model = reinterpret_cast<const char*>(M.LParam);
        M.Result = 1;
        return;
      }
      TWinControl::Dispatch(M);
    }
  } e(nullptr);
  EXPECT_EQ(e.Text(), "123.45");
  e.SetText("7");
  EXPECT_EQ(e.Model, "7");
}

// ---------------------------------------------------------------- exceptions

TEST(Exceptions, ExceptionInAClickHandlerReachesHandleExceptionAndTheLoopGoesOn) {
  TLog log;
  TForm form(nullptr);
  form.SetBounds(50, 50, 200, 100);
  auto* p = new TProbe(&form, &log, "P");
  p->SetBounds(0, 0, 100, 50);
  p->SetParent(&form);
  int clicks = 0;
  p->OnClick = TNotifyEvent::Lambda([&](TObject*) {
    ++clicks;
    if (clicks == 1) throw EConvertError("'x' is not a valid integer value");
    if (clicks == 2) throw EAbort();
  });
  std::vector<std::pair<TObject*, String>> handled;
  Application->OnException = TExceptionEvent::Lambda([&](TObject* s, Exception* e) {
    handled.emplace_back(s, e->Message());
  });
  form.Show();
  Click(p, {5, 5});
  Click(p, {5, 5});
  Click(p, {5, 5});
  Application->OnException = nullptr;
  EXPECT_EQ(clicks, 3);
  ASSERT_EQ(handled.size(), 1u) << "EAbort is silent";
  EXPECT_EQ(handled[0].first, p);
  EXPECT_EQ(handled[0].second, "'x' is not a valid integer value");
}

TEST(Exceptions, WithoutAHandlerTheMessageBoxShowsTheErrorCaptionedWithTheTitle) {
  TBoxRecorder boxes;
  Application->SetTitle("沃岚工程合同管理软件");
  TReceiver r(nullptr);
  r.OnMsg = [&](TMessage& M) {
    if (M.WParam == 1) throw Exception("Cannot open file");
    if (M.WParam == 2) throw Exception("操作失败！");
    if (M.WParam == 3) throw std::runtime_error("boom");
  };
  for (int i = 1; i <= 3; ++i) PostMessage(r.Handle(), WM_USER + 1, i, 0);
  Application->ProcessMessages();
  Application->SetTitle("");
  ASSERT_EQ(boxes.Calls.size(), 3u);
  EXPECT_EQ(boxes.Calls[0].Text, "Cannot open file.");
  EXPECT_EQ(boxes.Calls[1].Text, "操作失败！") << "no full stop after Chinese punctuation";
  EXPECT_EQ(boxes.Calls[2].Text, "boom.");
  for (auto& c : boxes.Calls) {
    EXPECT_EQ(c.Caption, "沃岚工程合同管理软件");
    EXPECT_EQ(c.Flags & MB_ICONMASK, MB_ICONSTOP);
  }
}

TEST(Exceptions, ExceptionsInSendMessagePerformAndTimers) {
  TBoxRecorder boxes;
  TReceiver r(nullptr);
  r.OnMsg = [](TMessage&) { throw Exception("bad"); };
  // SendMessage goes through the window's entry, which shows the error and answers 0.
  EXPECT_EQ(SendMessage(r.Handle(), WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(boxes.Calls.size(), 1u);
  // Perform calls the handler directly: the caller sees the exception.
  EXPECT_THROW(r.Perform(WM_USER + 1, 0, 0), Exception);
  TTimer t(nullptr);
  t.SetInterval(10);
  t.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) {
    t.SetEnabled(false);
    throw Exception("tick");
  }));
  ASSERT_TRUE(WaitFor([&] { return boxes.Calls.size() == 2; }));
  EXPECT_EQ(boxes.Calls[1].Text, "tick.");
}

// ---------------------------------------------------------------- timers

TEST(Timers, WindowTimersTickOnTheGuiThreadUntilKilled) {
  int ticks = 0;
  std::thread::id tid;
  class TTicker : public TWinControl {
  public:
    using TWinControl::TWinControl;
    std::function<void(TMessage&)> Tick;
    void Dispatch(TMessage& M) override {
      if (M.Msg == WM_TIMER) Tick(M);
      else TWinControl::Dispatch(M);
    }
  } t(nullptr);
  t.Tick = [&](TMessage& M) {
    EXPECT_EQ(M.WParam, 42u);
    ++ticks;
    tid = std::this_thread::get_id();
  };
  ASSERT_NE(SetTimer(t.Handle(), 42, 10), 0u);
  ASSERT_TRUE(WaitFor([&] { return ticks >= 2; }));
  EXPECT_EQ(tid, std::this_thread::get_id());
  EXPECT_TRUE(KillTimer(t.Handle(), 42));
  int after = ticks;
  QElapsedTimer c2;
  c2.start();
  while (c2.elapsed() < 50) Application->ProcessMessages();
  EXPECT_EQ(ticks, after);
  EXPECT_FALSE(KillTimer(t.Handle(), 42));
}

TEST(Timers, ZeroIntervalsAreRaisedToTenMilliseconds) {
  int ticks = 0;
  HWND w = AllocateHWnd([&](TMessage& M) {
    if (M.Msg == WM_TIMER) ++ticks;
  });
  SetTimer(w, 1, 0);
  QElapsedTimer c;
  c.start();
  while (c.elapsed() < 60) Application->ProcessMessages();
  qint64 ms = c.elapsed();
  KillTimer(w, 1);
  DeallocateHWnd(w);
  EXPECT_GT(ticks, 0);
  EXPECT_LE(ticks, ms / 10 + 2) << "a 0 ms timer would spin";
}

// A window's timer tells the interval it runs at: the floor applied, a restart's new value, and
// 0 once stopped or for an id never started.
TEST(Timers, TheIntervalOfARunningTimerCanBeRead) {
  HWND w = AllocateHWnd([](TMessage&) {});
  EXPECT_EQ(TimerInterval(w, 1), 0u);
  SetTimer(w, 1, 0);
  EXPECT_EQ(TimerInterval(w, 1), 10u);
  SetTimer(w, 1, 60);
  EXPECT_EQ(TimerInterval(w, 1), 60u);
  SetTimer(w, 2, 1500);
  EXPECT_EQ(TimerInterval(w, 2), 1500u);
  EXPECT_EQ(TimerInterval(w, 1), 60u) << "ids are apart";
  KillTimer(w, 1);
  EXPECT_EQ(TimerInterval(w, 1), 0u);
  EXPECT_EQ(TimerInterval(w, 2), 1500u);
  DeallocateHWnd(w);
  EXPECT_EQ(TimerInterval(w, 2), 0u) << "a window's timers go with it";
}

TEST(Timers, TTimerStopsWithIntervalZeroOrDisabled) {
  TTimer t(nullptr);
  int ticks = 0;
  t.SetInterval(10);
  t.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) { ++ticks; }));
  ASSERT_TRUE(WaitFor([&] { return ticks >= 2; }));
  struct Case {
    const char* what;
    std::function<void()> stop, restart;
  };
  const Case cases[] = {
      {"interval 0", [&] { t.SetInterval(0); }, [&] { t.SetInterval(10); }},
      {"disabled", [&] { t.SetEnabled(false); }, [&] { t.SetEnabled(true); }},
      {"no handler", [&] { t.SetOnTimer(nullptr); },
       [&] { t.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) { ++ticks; })); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.stop();
    int at = ticks;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 40) Application->ProcessMessages();
    EXPECT_EQ(ticks, at);
    c.restart();
    EXPECT_TRUE(WaitFor([&] { return ticks > at; }));
  }
}

TEST(Timers, TwoTimersFireIndependently) {
  TTimer a(nullptr), b(nullptr);
  int na = 0, nb = 0;
  a.SetInterval(10);
  b.SetInterval(10);
  a.SetOnTimer(TNotifyEvent::Lambda([&](TObject* s) {
    EXPECT_EQ(s, &a);
    ++na;
  }));
  b.SetOnTimer(TNotifyEvent::Lambda([&](TObject* s) {
    EXPECT_EQ(s, &b);
    ++nb;
  }));
  ASSERT_TRUE(WaitFor([&] { return na >= 2 && nb >= 2; }));
}

// ---------------------------------------------------------------- beep

TEST(Beep, TheHookCountsBeeps) {
  std::vector<UINT> beeps;
  SetBeepHook([&](UINT t) { beeps.push_back(t); });
  Beep();
  MessageBeep(MB_ICONEXCLAMATION);
  SetBeepHook(nullptr);
  EXPECT_EQ(beeps, (std::vector<UINT>{0xFFFFFFFFu, static_cast<UINT>(MB_ICONEXCLAMATION)}));
}

// ---------------------------------------------------------------- shortcuts and filters

namespace {
// What an action list or a main menu does with a key: Ctrl+S is its shortcut.
class TShortCuts : public TComponent, public IShortCutHandler {
public:
  using TComponent::TComponent;
  int Hits = 0;
  bool HandleShortCut(TMessage& M) override {
    if (M.WParam == 'S' && GetKeyState(VK_CONTROL) < 0) {
      ++Hits;
      return true;
    }
    return false;
  }
};
}  // namespace

TEST_F(KeyFixture, AShortcutConsumesTheKeySoNoKeyDownOrCharFollows) {
  auto* sc = new TShortCuts(Form);
  TypeKey(Qt::Key_S, Qt::ControlModifier, "\x13");
  EXPECT_EQ(sc->Hits, 1);
  EXPECT_EQ(Log.Only({"A:WM_KEYDOWN", "A:WM_CHAR", "A:OnKey"}), (std::vector<std::string>{"A:OnKeyUp 83"}));
  Log.Clear();
  TypeKey(Qt::Key_D, Qt::ControlModifier, "\x04");
  EXPECT_EQ(sc->Hits, 1);
  EXPECT_EQ(Log.Only({"A:OnKeyPress"}), std::vector<std::string>{"A:OnKeyPress 4"});
}

TEST_F(KeyFixture, OnMessageSeesInputFirstAndCanSwallowIt) {
  std::vector<UINT> seen;
  Application->OnMessage = TMessageEvent::Lambda([&](TMsg& m, bool& handled) {
    seen.push_back(m.message);
    handled = m.message == WM_KEYDOWN && m.wParam == 'X';
  });
  TypeKey(Qt::Key_X, Qt::NoModifier, "x");
  TypeKey(Qt::Key_Y, Qt::NoModifier, "y");
  Application->OnMessage = nullptr;
  EXPECT_EQ(seen, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
  EXPECT_EQ(Log.Only({"A:OnKeyPress"}), std::vector<std::string>{"A:OnKeyPress 121"});
}

TEST_F(KeyFixture, CommittedInputMethodTextArrivesAsChars) {
  std::vector<UINT> ime;
  A->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_IME_STARTCOMPOSITION || m.Msg == WM_IME_ENDCOMPOSITION) ime.push_back(m.Msg);
    A->WndProc(m);
  };
  QInputMethodEvent pre(QString::fromUtf8("he"), {});
  QApplication::sendEvent(WidgetOf(A), &pre);
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("合同"));
  QApplication::sendEvent(WidgetOf(A), &commit);
  Application->ProcessMessages();
  EXPECT_EQ(ime, (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_ENDCOMPOSITION}));
  EXPECT_EQ(Log.Only({"A:OnKeyPress"}), (std::vector<std::string>{"A:OnKeyPress 21512", "A:OnKeyPress 21516"}));
}

TEST_F(KeyFixture, TheMenuKeyAsksForTheContextMenuAtTheClientOrigin) {
  TPoint where{-9, -9};
  A->OnContextPopup = TContextPopupEvent::Lambda([&](TObject*, TPoint p, bool& h) {
    where = p;
    h = true;
  });
  QContextMenuEvent e(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0), Qt::NoModifier);
  QApplication::sendEvent(WidgetOf(A), &e);
  EXPECT_EQ(where, (TPoint{-1, -1})) << "a keyboard request has no mouse point";
}

TEST_F(KeyFixture, MessageTimeIsTheTimeOfTheMessageBeingHandled) {
  DWORD at = 0;
  A->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word&, TShiftState) { at = GetMessageTime(); });
  TypeKey(Qt::Key_M, Qt::NoModifier, "m");
  EXPECT_NE(at, 0u);
  EXPECT_LE(at, GetTickCount());
}

// ---------------------------------------------------------------- input through the queue

namespace {

// Queues a Qt mouse event for a control's widget, as the window system would deliver it
// later; the loop that runs Qt's events then translates it.
void PostMouse(TControl* c, QEvent::Type type, TPoint client, Qt::MouseButtons held) {
  TPoint s = c->ClientToScreen(client);
  QWidget* w = InputWidget(c);
  QPointF global(s.X, s.Y);
  auto* e = new QMouseEvent(type, w->mapFromGlobal(global), global,
                            type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
  Clock() += 5;
  e->setTimestamp(Clock());
  QCoreApplication::postEvent(w, e);
}

void PostKey(TWinControl* c, QEvent::Type type, int key, const QString& text) {
  QCoreApplication::postEvent(WidgetOf(c), new QKeyEvent(type, key, Qt::NoModifier, text));
}

}  // namespace

TEST_F(KeyFixture, ANestedLoopUnderCaptureTakesTheMoveAndTheButtonUpFromTheQueue) {
  std::vector<std::string> pulled;
  A->OnMouseDown = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) {
    // A drag loop: it holds the capture and takes the mouse messages itself.
    SetCapture(A->Handle());
    TMsg m;
    while (GetCapture() == A->Handle() && GetMessage(m, 0, 0, 0) > 0) {
      if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) {
        TPoint p = PointFromLParam(m.lParam);
        pulled.push_back(MsgName(m.message) + " " + std::to_string(p.X) + "," + std::to_string(p.Y));
        if (m.message == WM_LBUTTONUP) ReleaseCapture();
        continue;
      }
      TranslateMessage(m);
      DispatchMessage(m);
    }
  });
  PostMouse(A, QEvent::MouseMove, {20, 12}, Qt::LeftButton);
  PostMouse(A, QEvent::MouseButtonRelease, {21, 13}, Qt::NoButton);
  Press(A, {5, 6});
  EXPECT_EQ(pulled, (std::vector<std::string>{"WM_MOUSEMOVE 20,12", "WM_LBUTTONUP 21,13"}));
  Application->ProcessMessages();
  EXPECT_TRUE(Log.Only({"A:WM_LBUTTONUP"}).empty()) << "the loop took the button-up; nobody else gets it";
  EXPECT_EQ(GetCapture(), 0u);
  EXPECT_EQ(QueuedMessageCount(), 0);
}

TEST(MessageQueue, AQuitTakenByANestedLoopStillEndsTheProgramsLoop) {
  struct Case {
    const char* name;
    std::function<bool()> nestedLoop;  // true when it met WM_QUIT
  };
  const Case cases[] = {
      {"peek", [] {
         TMsg m;
         while (PeekMessage(m, 0, 0, 0, PM_REMOVE)) {
           if (m.message == WM_QUIT) return true;
           DispatchMessage(m);
         }
         return false;
       }},
      {"get", [] {
         TMsg m;
         while (GetMessage(m, 0, 0, 0) > 0) DispatchMessage(m);
         return m.message == WM_QUIT;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TReceiver r(nullptr);
    bool metQuit = false, metAgain = true, later = false;
    r.OnMsg = [&](TMessage& M) {
      if (M.Msg == WM_USER + 2) later = true;
      if (M.Msg != WM_USER + 1) return;
      PostMessage(r.Handle(), WM_USER + 2, 0, 0);
      PostQuitMessage(5);
      metQuit = c.nestedLoop();
      // The loop that took the quit does not see it a second time.
      TMsg m;
      metAgain = PeekMessage(m, 0, 0, 0, PM_REMOVE) && m.message == WM_QUIT;
    };
    // A guard against a loop that never ends: it would be seen below.
    bool guardFired = false;
    HWND guard = AllocateHWnd([&](TMessage& M) {
      if (M.Msg != WM_TIMER) return;
      guardFired = true;
      gui_glue::TAccess::ResetTerminated();
      PostQuitMessage(0);
    });
    SetTimer(guard, 1, 2000);
    PostMessage(r.Handle(), WM_USER + 1, 0, 0);
    Application->Run();
    KillTimer(guard, 1);
    DeallocateHWnd(guard);
    EXPECT_TRUE(metQuit);
    EXPECT_FALSE(metAgain);
    EXPECT_TRUE(later) << "the nested loop handled what came before the quit";
    EXPECT_FALSE(guardFired) << "the program's loop did not end";
    EXPECT_EQ(QueuedMessageCount(), 0);
    gui_glue::TAccess::ResetTerminated();
  }
}

TEST(MessageQueue, PostingAQuitTwiceQueuesOne) {
  PostQuitMessage(1);
  PostQuitMessage(2);
  ASSERT_EQ(QueuedMessageCount(), 1);
  TMsg m;
  ASSERT_TRUE(PeekMessage(m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 2u);
  Application->ProcessMessages();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(QueuedMessageCount(), 0);
  gui_glue::TAccess::ResetTerminated();
}

TEST(Timers, ATickWaitsForMessagesPostedAfterItFired) {
  std::vector<UINT> got;
  HWND w = AllocateHWnd([&](TMessage& M) { got.push_back(M.Msg); });
  ASSERT_NE(SetTimer(w, 9, 10), 0u);
  WaitMessage();  // the tick is queued while nothing takes it
  ASSERT_EQ(QueuedMessageCount(), 1);
  PostMessage(w, WM_USER + 1, 0, 0);
  PostMessage(w, WM_USER + 2, 0, 0);
  TMsg m;
  ASSERT_TRUE(PeekMessage(m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 1) << "a peek answers the later message first";
  ASSERT_TRUE(PeekMessage(m, w, WM_TIMER, WM_TIMER, PM_NOREMOVE)) << "the tick is there for who asks for it";
  Application->ProcessMessages();
  KillTimer(w, 9);
  DeallocateHWnd(w);
  ASSERT_GE(got.size(), 3u);
  EXPECT_EQ(std::vector<UINT>(got.begin(), got.begin() + 3), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_TIMER}));
}

TEST_F(KeyFixture, KeysQueuedTogetherKeepTheirOrderWithTheCharBetween) {
  PostKey(A, QEvent::KeyPress, Qt::Key_K, "k");
  PostKey(A, QEvent::KeyRelease, Qt::Key_K, "k");
  Application->ProcessMessages();
  EXPECT_EQ(Log.Only({"A:WM_"}), (std::vector<std::string>{"A:WM_KEYDOWN", "A:WM_CHAR", "A:WM_KEYUP"}));
  EXPECT_EQ(Log.Only({"A:OnKeyPress"}), std::vector<std::string>{"A:OnKeyPress 107"});

  // A nested loop that takes the keys itself sees the same order: the character its
  // TranslateMessage queues comes before the key-up that already waited.
  Log.Clear();
  std::vector<UINT> pulled;
  HWND h = A->Handle();
  TWndMethod plain = A->WindowProc;
  A->WindowProc = [&](TMessage& M) {
    if (M.Msg != WM_USER + 50) return plain(M);
    TMsg m;
    while (GetMessage(m, h, WM_KEYFIRST, WM_KEYLAST) > 0) {
      pulled.push_back(m.message);
      TranslateMessage(m);
      if (m.message == WM_KEYUP) break;
    }
  };
  PostMessage(h, WM_USER + 50, 0, 0);  // starts the loop before the keys arrive
  PostKey(A, QEvent::KeyPress, Qt::Key_L, "l");
  PostKey(A, QEvent::KeyRelease, Qt::Key_L, "l");
  Application->ProcessMessages();
  A->WindowProc = plain;
  EXPECT_EQ(pulled, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));

  // CN_KEYDOWN eats the character: Tab is a dialog key of the form.
  Log.Clear();
  A->SetFocus();
  PostKey(A, QEvent::KeyPress, Qt::Key_Tab, "\t");
  PostKey(A, QEvent::KeyRelease, Qt::Key_Tab, "\t");
  Application->ProcessMessages();
  EXPECT_TRUE(B->Focused());
  EXPECT_EQ(Log.Only({"A:CN_", "A:WM_"}), std::vector<std::string>{"A:CN_KEYDOWN"});
  EXPECT_EQ(Log.Only({"B:WM_CHAR", "B:WM_KEYDOWN"}), std::vector<std::string>{});
}

TEST(MessageQueue, APostedKeyRunsTheTypedKeyPipeline) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  auto* first = new TEdit(&form);
  first->SetBounds(10, 10, 100, 24);
  first->SetParent(&form);
  auto* second = new TEdit(&form);
  second->SetBounds(10, 50, 100, 24);
  second->SetParent(&form);
  form.Show();
  first->SetFocus();
  Application->ProcessMessages();
  // A control that posts Tab to itself hands the focus on as a typed Tab would.
  PostMessage(first->Handle(), WM_KEYDOWN, VK_TAB, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(first->Text(), "") << "a dialog key types nothing";
  // A posted letter types its character.
  PostMessage(second->Handle(), WM_KEYDOWN, 'Q', 0);
  Application->ProcessMessages();
  EXPECT_EQ(second->Text(), "q");
}
