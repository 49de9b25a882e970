// The single-line edit: its own text model driven by keys, the input method, the mouse and
// the edit messages, as the editor library and the windows rely on them.
#include "StdTestUtil.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "gui/Caret.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"

#include <functional>

using namespace guitest;
using namespace stdtest;

namespace {

struct EditFixture : FormFixture {
  TEdit* Edit = nullptr;
  TMsgLog Log;
  int Changes = 0;
  void SetUp() override {
    FormFixture::SetUp();
    Edit = Add<TEdit>(Rect(8, 8, 208, 29));
    Edit->OnChange = TNotifyEvent::Lambda([this](TObject*) { ++Changes; });
    Log.Attach(Edit, {EM_SETSEL, WM_SETTEXT, WM_CHAR, WM_COPY, WM_CUT, WM_PASTE, WM_CLEAR, CN_COMMAND});
    Edit->SetFocus();
    Application->ProcessMessages();
    Log.Clear();
  }
  // Start and length of the selection, and the caret (either end of it).
  struct TSel {
    int Start, Length, Caret;
    bool operator==(const TSel&) const = default;
  };
  TSel Sel() { return {Edit->SelStart(), Edit->SelLength(), Edit->CaretPos()}; }
  void Fill(const String& text, int caret) {
    Edit->SetText(text);
    Edit->SetSelStart(caret);
    Log.Clear();
    Changes = 0;
  }
};

std::ostream& operator<<(std::ostream& os, const EditFixture::TSel& s) {
  return os << "{start " << s.Start << ", length " << s.Length << ", caret " << s.Caret << "}";
}

}  // namespace

TEST_F(EditFixture, TypedAndComposedCharactersBuildTheTextOneChangeEach) {
  Type("ab");
  Commit(Edit, "合同");
  Type("1");
  EXPECT_EQ(Edit->Text(), "ab合同1");
  EXPECT_EQ(Changes, 5) << "one OnChange per character, composed ones included";
  EXPECT_EQ(Log.Count(WM_CHAR), 5);
  EXPECT_EQ(Sel(), (TSel{5, 0, 5})) << "positions count characters, not bytes";
  EXPECT_EQ(Log.Count(EM_SETSEL), 0) << "the user's typing moves the caret without EM_SETSEL";
  EXPECT_TRUE(Edit->Modified());
}

// Keys a layout makes without a key code of its own (Qt's unknown key, or a key no table
// knows) still type their character: the packet key down, its characters queued after it,
// and a key-up with none.
TEST_F(EditFixture, CharactersOfKeysWithoutAKeyCodeArriveAsThePacketKeyAndItsChars) {
  TMsgLog keys;
  keys.Attach(Edit, {WM_KEYDOWN, WM_CHAR, WM_KEYUP});
  struct Case {
    int Key;
    const char* Text;
    Qt::KeyboardModifiers Mods;
    const char* Shows;  // the edit's text after the key
  };
  const Case cases[] = {
      {Qt::Key_unknown, "é", Qt::NoModifier, "é"},
      {Qt::Key_Eacute, "é", Qt::NoModifier, "éé"},  // a key outside the key table
      {Qt::Key_unknown, "界", Qt::NoModifier, "éé界"},
      {Qt::Key_ssharp, "ß", Qt::ShiftModifier, "éé界ß"},
      {Qt::Key_unknown, "ñ", Qt::ControlModifier, "éé界ß"},  // Ctrl types no character, as for letters
      {Qt::Key_unknown, "ü", Qt::ControlModifier | Qt::AltModifier, "éé界ßü"},  // AltGr does
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    keys.Clear();
    guitest::TypeKey(c.Key, c.Mods, QString::fromUtf8(c.Text));
    EXPECT_EQ(Edit->Text(), c.Shows);
    ASSERT_GE(keys.Items.size(), 2u);
    EXPECT_EQ(keys.Items.front().Msg, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(keys.Items.front().WParam, static_cast<WPARAM>(VK_PACKET));
    EXPECT_EQ(keys.Items.back().Msg, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(keys.Items.back().WParam, static_cast<WPARAM>(VK_PACKET));
    bool typed = !(c.Mods & Qt::ControlModifier) || (c.Mods & Qt::AltModifier);
    ASSERT_EQ(keys.Count(WM_CHAR), typed ? 1 : 0) << "one character, none on the key-up";
    if (typed) {
      EXPECT_EQ(keys.Items[1].Msg, static_cast<UINT>(WM_CHAR)) << "right after the key-down";
      EXPECT_EQ(keys.Items[1].WParam, static_cast<WPARAM>(QString::fromUtf8(c.Text).toUcs4().front()));
    }
  }
  // Two characters on one key come one WM_CHAR each, in order.
  Fill("", 0);
  keys.Clear();
  guitest::TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("界面"));
  EXPECT_EQ(Edit->Text(), "界面");
  EXPECT_EQ(keys.Count(WM_CHAR), 2);
  // A key with neither a key code nor a character still reaches no one.
  keys.Clear();
  guitest::TypeKey(Qt::Key_unknown, Qt::NoModifier, QString());
  EXPECT_TRUE(keys.Items.empty());
}

TEST_F(EditFixture, CaretKeysMoveAndExtendTheSelectionWithoutEmSetSel) {
  struct Case {
    const char* name;
    int start;  // caret before the keys
    std::vector<std::pair<int, Qt::KeyboardModifiers>> keys;
    TSel expected;
  };
  const Case cases[] = {
      {"home", 5, {{Qt::Key_Home, Qt::NoModifier}}, {0, 0, 0}},
      {"end", 2, {{Qt::Key_End, Qt::NoModifier}}, {10, 0, 10}},
      {"left", 3, {{Qt::Key_Left, Qt::NoModifier}}, {2, 0, 2}},
      {"right at the end stays", 10, {{Qt::Key_Right, Qt::NoModifier}}, {10, 0, 10}},
      {"up acts as left", 3, {{Qt::Key_Up, Qt::NoModifier}}, {2, 0, 2}},
      {"down acts as right", 3, {{Qt::Key_Down, Qt::NoModifier}}, {4, 0, 4}},
      {"ctrl+right to the next word", 1, {{Qt::Key_Right, Qt::ControlModifier}}, {4, 0, 4}},
      {"ctrl+left to the word start", 6, {{Qt::Key_Left, Qt::ControlModifier}}, {4, 0, 4}},
      {"shift+right twice selects two", 4, {{Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Right, Qt::ShiftModifier}}, {4, 2, 6}},
      {"shift+left selects backwards, caret first", 6, {{Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Left, Qt::ShiftModifier}}, {4, 2, 4}},
      {"shift+home selects to the start", 6, {{Qt::Key_Home, Qt::ShiftModifier}}, {0, 6, 0}},
      {"left collapses a selection to its start", 4,
       {{Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Left, Qt::NoModifier}}, {4, 0, 4}},
      {"right collapses a selection to its end", 6,
       {{Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Right, Qt::NoModifier}}, {6, 0, 6}},
  };
  for (const Case& c : cases) {
    Fill("abc 合同 xyz", c.start);
    for (auto& [key, mods] : c.keys) Key(key, mods);
    EXPECT_EQ(Sel(), c.expected) << c.name;
    EXPECT_EQ(Log.Count(EM_SETSEL), 0) << c.name;
    EXPECT_EQ(Edit->Text(), "abc 合同 xyz") << c.name;
  }
}

TEST_F(EditFixture, ProgrammaticSelectionGoesThroughEmSetSel) {
  Fill("合同管理系统", 0);
  Edit->SetSelStart(2);
  ASSERT_EQ(Log.Count(EM_SETSEL), 1);
  EXPECT_EQ(Log.Items.back().WParam, 2u);
  EXPECT_EQ(Log.Items.back().LParam, 2);
  Edit->SetSelLength(3);
  EXPECT_EQ(Log.Count(EM_SETSEL), 2);
  EXPECT_EQ(Edit->SelText(), "管理系");
  Edit->SelectAll();
  EXPECT_EQ(Log.Items.back().Msg, UINT(EM_SETSEL));
  EXPECT_EQ(Log.Items.back().LParam, -1) << "SelectAll asks for everything with -1";
  EXPECT_EQ(Sel(), (TSel{0, 6, 6}));
  // A replaced window procedure that swallows EM_SETSEL keeps the selection where it was.
  TWndMethod old = Edit->WindowProc;
  Edit->WindowProc = [old](TMessage& m) {
    if (m.Msg != EM_SETSEL) old(m);
  };
  Edit->SetSelStart(1);
  EXPECT_EQ(Sel(), (TSel{0, 6, 6}));
  Edit->WindowProc = old;
}

TEST_F(EditFixture, TextIsReadThroughGetTextAndWrittenOnlyWhenDifferent) {
  Edit->SetText("项目");
  EXPECT_EQ(Log.Count(WM_SETTEXT), 1);
  EXPECT_EQ(Changes, 1) << "a programmatic change is followed by EN_CHANGE as well";
  EXPECT_FALSE(Edit->Modified()) << "WM_SETTEXT clears the modified flag";
  Edit->SetText("项目");
  EXPECT_EQ(Log.Count(WM_SETTEXT), 1) << "the same text is not sent again";
  EXPECT_EQ(Changes, 1);
  // WM_GETTEXT with room for fewer characters copies those only.
  char buf[2 * kMaxCharBytes] = {};
  LRESULT n = Edit->Perform(WM_GETTEXT, 2, reinterpret_cast<LPARAM>(buf));
  EXPECT_EQ(n, 1);
  EXPECT_STREQ(buf, "项");
  EXPECT_EQ(Edit->Perform(WM_GETTEXTLENGTH), 2) << "the length in characters";
  EXPECT_EQ(Sel(), (TSel{0, 0, 0})) << "new text puts the caret at the start";
}

TEST_F(EditFixture, ClipboardKeysGoThroughTheInterceptableMessages) {
  Fill("合同 2024", 0);
  Edit->SelectAll();
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Log.Count(WM_COPY), 1);
  EXPECT_EQ(ClipboardText(), "合同 2024");
  Edit->SetSelStart(2);
  Edit->SetSelLength(5);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Log.Count(WM_CUT), 1);
  EXPECT_EQ(Edit->Text(), "合同");
  EXPECT_EQ(ClipboardText(), " 2024");
  Key(Qt::Key_Home);
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Log.Count(WM_PASTE), 1);
  EXPECT_EQ(Edit->Text(), " 2024合同");
  // Shift+Delete cuts, Shift+Insert pastes, Ctrl+Insert copies.
  Edit->SetSelStart(0);
  Edit->SetSelLength(1);
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(Log.Count(WM_CUT), 2);
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Log.Count(WM_PASTE), 2);
  EXPECT_EQ(Edit->Text(), " 2024合同");

  // A window procedure that takes WM_PASTE over stops the native paste.
  TWndMethod old = Edit->WindowProc;
  int intercepted = 0;
  Edit->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_PASTE) {
      ++intercepted;
      return;
    }
    old(m);
  };
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(intercepted, 1);
  EXPECT_EQ(Edit->Text(), " 2024合同");
  Edit->WindowProc = old;
}

TEST_F(EditFixture, TheEditKeepsNoUndoOfItsOwn) {
  Fill("abc", 3);
  Type("d");
  EXPECT_EQ(Edit->Perform(EM_CANUNDO), 0);
  Key(Qt::Key_Z, Qt::ControlModifier);
  Edit->Undo();
  EXPECT_EQ(Edit->Text(), "abcd");
  EXPECT_FALSE(Edit->CanUndo());
}

TEST_F(EditFixture, ReadOnlyAndPasswordEditsRefuseWhatTheyMustNotDo) {
  TBeepCounter beeps;
  Fill("secret", 0);
  Edit->SetReadOnly(true);
  Type("x");
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Delete);
  EXPECT_EQ(Edit->Text(), "secret");
  EXPECT_EQ(beeps.Count, 3) << "each refused edit beeps";
  SetClipboard("zzz");
  Edit->SelectAll();
  Edit->PasteFromClipboard();
  Edit->CutToClipboard();
  EXPECT_EQ(Edit->Text(), "secret");
  EXPECT_EQ(ClipboardText(), "zzz") << "cutting from a read-only edit copies nothing away";
  Edit->SetSelText("new");
  EXPECT_EQ(Edit->Text(), "new") << "EM_REPLACESEL still works from code";

  Edit->SetReadOnly(false);
  Edit->SetPasswordChar(U'*');
  Edit->SetText("pa55");
  Edit->SelectAll();
  Edit->CopyToClipboard();
  EXPECT_EQ(ClipboardText(), "zzz") << "a password is never copied";
  EXPECT_EQ(Edit->Text(), "pa55") << "Text keeps the real characters";
  // Shown as equal stars: the cells are as wide as each other whatever the characters.
  Edit->SetText("iWiW");
  auto x = [&](int i) { return GetXLParam(Edit->Perform(EM_POSFROMCHAR, i)); };
  EXPECT_EQ(x(1) - x(0), x(2) - x(1));
  EXPECT_EQ(x(2) - x(1), x(3) - x(2));
  Edit->SetPasswordChar(0);
  EXPECT_NE(x(1) - x(0), x(2) - x(1)) << "without the password character 'i' and 'W' differ";
}

TEST_F(EditFixture, MaxLengthLimitsTypingAndPastingButNotCode) {
  TBeepCounter beeps;
  Edit->SetMaxLength(4);
  Fill("合同", 2);
  Type("ab");
  Type("c");
  EXPECT_EQ(Edit->Text(), "合同ab");
  EXPECT_EQ(beeps.Count, 1);
  SetClipboard("xyz");
  Edit->SetSelStart(1);
  Edit->SetSelLength(1);
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "合xab") << "the paste is cut to the room left";
  Edit->SetText("longer than four");
  EXPECT_EQ(Edit->Text(), "longer than four");
  EXPECT_EQ(Edit->Perform(EM_GETLIMITTEXT), 4);
}

TEST_F(EditFixture, CharCaseConvertsTypedAndAssignedText) {
  Edit->SetCharCase(ecUpperCase);
  Fill("", 0);
  Type("ab");
  EXPECT_EQ(Edit->Text(), "AB");
  Edit->SetText("mixed Ünï");
  EXPECT_EQ(Edit->Text(), "MIXED ÜNÏ");
  Edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(Edit->Text(), "mixed ünï") << "changing the case converts the present text";
}

TEST_F(EditFixture, PastingIntoASingleLineEditKeepsTheFirstLine) {
  Fill("", 0);
  SetClipboard("第一行\r\n第二行");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Edit->Text(), "第一行");
}

TEST_F(EditFixture, EnteringByTabSelectsAllButAClickPlacesTheCaret) {
  auto* other = Add<TEdit>(Rect(8, 40, 208, 61));
  other->SetText("合同编号");
  TMsgLog otherLog;
  otherLog.Attach(other, {EM_SETSEL});
  Key(Qt::Key_Tab);
  ASSERT_TRUE(other->Focused());
  EXPECT_EQ(other->SelLength(), 4);
  EXPECT_EQ(otherLog.Count(EM_SETSEL), 1) << "AutoSelect goes through EM_SETSEL";

  Edit->SetText("abcdef");
  otherLog.Clear();
  // A click between 'c' and 'd' of the first edit.
  int xc = GetXLParam(Edit->Perform(EM_POSFROMCHAR, 3));
  Click(Edit, {xc, 6});
  ASSERT_TRUE(Edit->Focused());
  EXPECT_EQ(Sel(), (TSel{3, 0, 3}));
  EXPECT_EQ(Log.Count(EM_SETSEL), 0) << "a click is the user's selection";
}

TEST_F(EditFixture, DraggingAndDoubleClickingSelectLikeTheUser) {
  Fill("abc 合同 xyz", 0);
  auto x = [&](int i) { return GetXLParam(Edit->Perform(EM_POSFROMCHAR, i)); };
  Press(Edit, {x(1) + 1, 6}, Qt::LeftButton, 1000);
  Move(Edit, {x(5) + 1, 6}, Qt::LeftButton);
  Release(Edit, {x(5) + 1, 6});
  EXPECT_EQ(Sel(), (TSel{1, 4, 5}));
  EXPECT_EQ(Edit->SelText(), "bc 合");
  // Double click on the Chinese word selects the run between blanks.
  Press(Edit, {x(5), 6}, Qt::LeftButton, 1000);
  Release(Edit, {x(5), 6});
  Press(Edit, {x(5), 6}, Qt::LeftButton, 50);
  Release(Edit, {x(5), 6});
  EXPECT_EQ(Edit->SelText(), "合同");
  EXPECT_EQ(Log.Count(EM_SETSEL), 0);
}

TEST_F(EditFixture, KeyHandlersStopTheNativeHandling) {
  Fill("abc", 3);
  Edit->OnKeyPress = TKeyPressEvent::Lambda([](TObject*, Char& k) {
    if (k == U'x') k = 0;
    if (k == U'a') k = U'A';
  });
  Edit->OnKeyDown = TKeyEvent::Lambda([](TObject*, Word& k, TShiftState) {
    if (k == VK_HOME) k = 0;
  });
  Type("xa");
  EXPECT_EQ(Edit->Text(), "abcA");
  Key(Qt::Key_Home);
  EXPECT_EQ(Edit->SelStart(), 4) << "a key set to 0 in OnKeyDown does not move the caret";
}

TEST_F(EditFixture, EnterClicksTheDefaultButtonWithoutReachingTheEdit) {
  TBeepCounter beeps;
  int clicks = 0, presses = 0;
  Edit->OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, Char&) { ++presses; });
  Key(Qt::Key_Return);
  EXPECT_EQ(beeps.Count, 1) << "a single-line edit beeps at Enter when no button takes it";
  EXPECT_EQ(presses, 1);
  auto* ok = Add<TButton>(Rect(220, 8, 295, 33));
  ok->SetDefault(true);
  ok->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  Edit->SetFocus();
  Key(Qt::Key_Return);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(presses, 1) << "the key the dialog used produces no character";
  EXPECT_EQ(beeps.Count, 1);
}

TEST_F(EditFixture, PositionsAndCharactersConvertBothWays) {
  Fill("合同abc", 0);
  for (int i = 0; i < 5; ++i) {
    LRESULT pos = Edit->Perform(EM_POSFROMCHAR, static_cast<WPARAM>(i));
    ASSERT_NE(pos, -1) << i;
    TPoint p = PointFromLParam(pos);
    EXPECT_EQ(LoWord(static_cast<std::uintptr_t>(Edit->Perform(EM_CHARFROMPOS, 0, PointToLParam({p.X + 1, p.Y + 2})))), i);
  }
  EXPECT_EQ(Edit->Perform(EM_POSFROMCHAR, 5), -1) << "past the last character";
  EXPECT_EQ(GetXLParam(Edit->Perform(EM_POSFROMCHAR, 0)), 1) << "the default left margin";
  Edit->Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MakeLParam(6, 3));
  EXPECT_EQ(GetXLParam(Edit->Perform(EM_POSFROMCHAR, 0)), 6);
  EXPECT_EQ(Edit->Perform(EM_GETMARGINS), MakeLParam(6, 3));
  // The caret can be found by bisecting over the character positions, as the editors do.
  Edit->SetSelStart(3);
  TPoint caret;
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(GetXLParam(Edit->Perform(EM_POSFROMCHAR, 3)), caret.X);
  // A formatting rectangle moves the text too.
  TRect fr = Rect(20, 0, 150, 18);
  Edit->Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&fr));
  EXPECT_EQ(GetXLParam(Edit->Perform(EM_POSFROMCHAR, 0)), 20);
  TRect back;
  Edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&back));
  EXPECT_EQ(back, fr);
}

TEST_F(EditFixture, LongTextScrollsToKeepTheCaretInView) {
  Fill(String(60, 'w'), 0);
  EXPECT_EQ(Edit->Perform(EM_GETFIRSTVISIBLELINE), 0);
  Key(Qt::Key_End);
  int first = static_cast<int>(Edit->Perform(EM_GETFIRSTVISIBLELINE));
  EXPECT_GT(first, 0) << "the view moved right";
  TPoint caret;
  GetCaretPos(&caret);
  EXPECT_GE(caret.X, 0);
  EXPECT_LT(caret.X, Edit->ClientWidth());
  Key(Qt::Key_Home);
  EXPECT_EQ(Edit->Perform(EM_GETFIRSTVISIBLELINE), 0);
}

TEST_F(EditFixture, AutoSizeFitsTheHeightToTheFont) {
  TEXTMETRIC tm;
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, Edit->Font()->Handle());
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  Edit->SetHeight(40);
  EXPECT_EQ(Edit->Height(), tm.tmHeight + 8) << "character cell plus the sunken frame";
  Edit->Font()->SetHeight(-20);
  EXPECT_GT(Edit->Height(), tm.tmHeight + 8);
  Edit->SetAutoSize(false);
  Edit->SetHeight(40);
  EXPECT_EQ(Edit->Height(), 40);
}

TEST_F(EditFixture, SelectionIsPaintedInTheHighlightColourOnlyWhileFocused) {
  Fill("合同管理", 0);
  Edit->SetSelStart(1);
  Edit->SetSelLength(2);
  auto x = [&](int i) { return GetXLParam(Edit->Perform(EM_POSFROMCHAR, i)); };
  int y = 2;
  QColor highlight = QColor::fromRgb(0x0A, 0x24, 0x6A);
  // Highlight pixels in the selected cells (the characters on it are drawn in white).
  auto countHighlight = [&] {
    QImage img = Grab();
    int n = 0;
    for (int py = 1; py < Edit->ClientHeight() - 1; ++py)
      for (int px = x(1); px < x(3); ++px) {
        TPoint p = Edit->ClientToParent({px, py}, Form);
        if (QColor(img.pixel(p.X, p.Y)) == highlight) ++n;
      }
    return n;
  };
  int area = (x(3) - x(1)) * (Edit->ClientHeight() - 2);
  EXPECT_GT(countHighlight(), area / 4);
  TPoint before = Edit->ClientToParent({x(0) + 1, y}, Form);
  EXPECT_NE(QColor(Grab().pixel(before.X, before.Y)), highlight);
  Shot("edit_selection");
  auto* other = Add<TEdit>(Rect(8, 40, 208, 61));
  other->SetFocus();
  EXPECT_EQ(countHighlight(), 0) << "HideSelection hides it without the focus";
  Edit->SetHideSelection(false);
  EXPECT_GT(countHighlight(), 0);
}

// ---------------------------------------------------------------- layouts

namespace {
class TFrmEditLayout : public TForm {
  KELM_CLASS(TFrmEditLayout, TForm)
public:
  explicit TFrmEditLayout(TComponent* o) : TForm(o) {}
  TEdit* Edit_Pass = nullptr;
  int Changed = 0;
  void Edit_PassChange(TObject*) { ++Changed; }
};
}  // namespace

KELM_PUBLISH(TFrmEditLayout) {
  b.Field("Edit_Pass", &TFrmEditLayout::Edit_Pass);
  b.Method("Edit_PassChange", &TFrmEditLayout::Edit_PassChange);
}

TEST(EditLayout, AnEditIsReadFromALayoutWithItsPropertiesAndHandler) {
  auto* f = new TFrmEditLayout(Application);
  ReadComponentFromText(f,
                        "object FrmEditLayout: TFrmEditLayout\n"
                        "  object Edit_Pass: TEdit\n"
                        "    Left = 120\n"
                        "    Top = 60\n"
                        "    Width = 145\n"
                        "    Height = 21\n"
                        "    ImeMode = imDisable\n"
                        "    MaxLength = 20\n"
                        "    PasswordChar = '*'\n"
                        "    TabOrder = 1\n"
                        "    Text = '初始'\n"
                        "    OnChange = Edit_PassChange\n"
                        "  end\n"
                        "end\n");
  ASSERT_NE(f->Edit_Pass, nullptr);
  TEdit* e = f->Edit_Pass;
  EXPECT_EQ(e->PasswordChar(), U'*');
  EXPECT_EQ(e->MaxLength(), 20);
  EXPECT_EQ(e->Text(), "初始");
  EXPECT_EQ(e->ImeMode(), imDisable);
  EXPECT_EQ(f->Changed, 0) << "loading the text is no change";
  EXPECT_FALSE(e->Modified());
  e->SetText("");
  EXPECT_EQ(f->Changed, 1);
  EXPECT_EQ(GetOrdProp(e, "PasswordChar"), Int64(U'*')) << "published as a character";
  delete f;
}

// Text lengths, positions and limits all count characters, so code that compares them holds
// on Chinese text.
TEST_F(FormFixture, TextLengthSelectionAndLimitCountCharacters) {
  struct TTextControl {
    const char* Name;
    TWinControl* Control;
    std::function<void(int, int)> Select;
    std::function<String()> SelText;
    std::function<void(int)> SetMaxLength;
    UINT GetSel;
  };
  auto* edit = Add<TEdit>(Rect(8, 8, 208, 29));
  auto* memo = Add<TMemo>(Rect(8, 40, 208, 100));
  auto* combo = Add<TComboBox>(Rect(8, 110, 208, 131));
  auto editLike = [](const char* name, TCustomEdit* e) {
    return TTextControl{name, e, [e](int s, int l) { e->SetSelStart(s); e->SetSelLength(l); },
                        [e] { return e->SelText(); }, [e](int n) { e->SetMaxLength(n); }, EM_GETSEL};
  };
  const TTextControl controls[] = {
      editLike("edit", edit),
      editLike("memo", memo),
      {"combo box", combo, [combo](int s, int l) { combo->SetSelStart(s); combo->SetSelLength(l); },
       [combo] { return combo->SelText(); }, [combo](int n) { combo->SetMaxLength(n); }, CB_GETEDITSEL},
  };
  for (const TTextControl& c : controls) {
    SCOPED_TRACE(c.Name);
    c.Control->SetText("合同A");
    EXPECT_EQ(c.Control->Perform(WM_GETTEXTLENGTH), 3);
    EXPECT_EQ(c.Control->Text(), "合同A");
    EXPECT_EQ(GetWindowText(c.Control->Handle()), "合同A");
    c.Select(1, 1);
    EXPECT_EQ(c.SelText(), "同");
    DWORD from = 0, to = 0;
    c.Control->Perform(c.GetSel, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 1u);
    EXPECT_EQ(to, 2u);
    // A limit of two characters refuses a third typed one.
    c.Control->SetText("合同");
    c.SetMaxLength(2);
    c.Control->SetFocus();
    c.Select(2, 0);
    Type("A");
    EXPECT_EQ(c.Control->Text(), "合同");
  }
}
