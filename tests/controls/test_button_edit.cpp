// The button edit: its buttons and their layout, shortcuts, refused typing, focus on press,
// kinds and flat buttons.
#include "ControlsTestUtil.h"

#include "core/Filer.h"

using namespace ctltest;
using stdtest::TBeepCounter;

namespace {

struct ButtonEditFixture : stdtest::FormFixture {
  TRzButtonEdit* E = nullptr;
  TEdit* Other = nullptr;
  std::vector<std::string> Log;
  void SetUp() override {
    FormFixture::SetUp();
    E = Add<TRzButtonEdit>(Rect(10, 10, 170, 31));
    Other = Add<TEdit>(Rect(10, 60, 170, 81));
    E->OnButtonClick = TNotifyEvent::Lambda([this](TObject* s) { Log.push_back(s == E ? "main" : "main:wrong sender"); });
    E->OnAltBtnClick = TNotifyEvent::Lambda([this](TObject* s) { Log.push_back(s == E ? "alt" : "alt:wrong sender"); });
    Settle();
  }
  void Settle() {
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
  }
  TRzControlButton* Main() { return E->ButtonOf(TRzButtonEdit::MainIndex); }
  TRzControlButton* Alt() { return E->ButtonOf(TRzButtonEdit::AltIndex); }
  int RightMargin() { return HiWord(static_cast<WPARAM>(E->Perform(EM_GETMARGINS))); }
  void FocusEdit() {
    E->SetFocus();
    Settle();
  }
};

TEST_F(ButtonEditFixture, ThePairSitsAtTheRightEndWithTheMainButtonFirst) {
  TRzButtonPair* pair = E->Buttons();
  EXPECT_TRUE(Main()->Visible());
  EXPECT_FALSE(Alt()->Visible());
  EXPECT_EQ(pair->Width(), 17);
  EXPECT_EQ(pair->Left(), E->Width() - 17 - 4);
  EXPECT_EQ(pair->Top(), 0);
  EXPECT_EQ(pair->Height(), E->Height() - 3);
  EXPECT_EQ(Main()->BoundsRect(), Rect(0, 0, 17, pair->Height() - 1));
  EXPECT_EQ(RightMargin(), 19);
  E->SetVisible(TRzButtonEdit::AltIndex, true);
  EXPECT_EQ(pair->Width(), 34);
  EXPECT_EQ(Alt()->Left(), 17) << "right of the main button";
  EXPECT_EQ(Main()->Left(), 0);
  EXPECT_EQ(RightMargin(), 36) << "the text area narrows by the alternate button";
  E->SetVisible(TRzButtonEdit::MainIndex, false);
  EXPECT_EQ(Alt()->Left(), 0);
  E->SetWidth(TRzButtonEdit::AltIndex, 25);
  EXPECT_EQ(pair->Width(), 25);
  EXPECT_EQ(pair->Left(), E->Width() - 25 - 4);
}

TEST_F(ButtonEditFixture, ALowEditGrowsToItsFontsLineHeight) {
  E->SetAutoSize(false);
  E->SetHeight(8);
  const int want = FontTextLineHeight(E->Font());
  E->SetVisible(TRzButtonEdit::AltIndex, true);  // lays the pair out
  EXPECT_EQ(E->Height(), want);
  EXPECT_EQ(E->Buttons()->Height(), want - 3);
}

TEST_F(ButtonEditFixture, F4ClicksTheMainButtonOnceAndTypesNothing) {
  E->SetText("abc");
  FocusEdit();
  stdtest::Key(Qt::Key_F4);
  EXPECT_EQ(Log, (std::vector<std::string>{"main"}));
  EXPECT_EQ(E->Text(), "abc");
  // Hidden or disabled, the main button takes no shortcut.
  Main()->SetVisible(false);
  stdtest::Key(Qt::Key_F4);
  Main()->SetVisible(true);
  Main()->SetEnabled(false);
  stdtest::Key(Qt::Key_F4);
  Main()->SetEnabled(true);
  EXPECT_EQ(Log.size(), 1u);
  // The alternate button's shortcut; a shortcut of 0 is none.
  E->SetVisible(TRzButtonEdit::AltIndex, true);
  stdtest::Key(Qt::Key_A);
  EXPECT_EQ(Log.size(), 1u);
  // A key a handler cleared is no key: it does not match the alternate button's empty shortcut.
  E->OnKeyDown = TKeyEvent::Lambda([](TObject*, Word& k, TShiftState) { k = 0; });
  stdtest::Key(Qt::Key_B);
  E->OnKeyDown = TKeyEvent();
  EXPECT_EQ(Log.size(), 1u);
  E->SetShortCut(TRzButtonEdit::AltIndex, ShortCut(VK_F5, {ssShift}));
  stdtest::Key(Qt::Key_F5, Qt::ShiftModifier);
  EXPECT_EQ(Log, (std::vector<std::string>{"main", "alt"}));
}

TEST_F(ButtonEditFixture, AReadOnlyEditStillClicksAndTakesText) {
  E->SetReadOnly(true);
  E->SetColor(clInfoBk);
  FocusEdit();
  stdtest::Type("x");
  EXPECT_EQ(E->Text(), "");
  guitest::Click(Main(), {5, 5});
  stdtest::Key(Qt::Key_F4);
  EXPECT_EQ(Log, (std::vector<std::string>{"main", "main"}));
  E->SetText("工程部");
  EXPECT_EQ(E->Text(), "工程部");
}

TEST_F(ButtonEditFixture, WithoutKeyEditsTypingBeepsAndArrowsStillMove) {
  E->SetText("abcd");
  E->SetAllowKeyEdit(false);
  FocusEdit();
  E->SetSelStart(2);
  E->SetSelLength(0);
  TBeepCounter beeps;
  stdtest::Key(Qt::Key_Delete);
  stdtest::Key(Qt::Key_Backspace);
  stdtest::Type("a");
  EXPECT_EQ(E->Text(), "abcd");
  EXPECT_EQ(beeps.Count, 3);
  stdtest::Key(Qt::Key_Left);
  EXPECT_EQ(E->SelStart(), 1);
  stdtest::Key(Qt::Key_Right);
  stdtest::Key(Qt::Key_Right);
  EXPECT_EQ(E->SelStart(), 3);
  // Cut and paste do nothing, by message or by key.
  stdtest::SetClipboard("zz");
  E->SelectAll();
  E->CutToClipboard();
  E->PasteFromClipboard();
  stdtest::Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(E->Text(), "abcd");
  EXPECT_EQ(stdtest::ClipboardText(), "zz");
  // With key edits allowed again, paste works.
  E->SetAllowKeyEdit(true);
  E->SelectAll();
  E->PasteFromClipboard();
  EXPECT_EQ(E->Text(), "zz");
}

// An edit that could take the focus but keeps refusing it.
class TStubbornEdit : public TRzButtonEdit {
public:
  using TRzButtonEdit::TRzButtonEdit;
  void SetFocus() override {}
};

TEST_F(ButtonEditFixture, APressTakesTheFocusAndAFailedFocusAbortsTheClick) {
  Other->SetFocus();
  Settle();
  guitest::Click(Main(), {5, 5});
  EXPECT_TRUE(E->Focused()) << "the press focused the edit";
  EXPECT_EQ(Log.size(), 1u);
  auto* stubborn = Add<TStubbornEdit>(Rect(10, 100, 170, 121));
  int clicks = 0;
  stubborn->OnButtonClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  Settle();
  guitest::Click(stubborn->ButtonOf(TRzButtonEdit::MainIndex), {5, 5});
  EXPECT_EQ(clicks, 0) << "the focus did not come: silent abort";
  EXPECT_FALSE(stubborn->ButtonOf(TRzButtonEdit::MainIndex)->Down());
  // An edit that cannot take the focus at all lets the click through.
  stubborn->SetTabStop(false);
  guitest::Click(stubborn->ButtonOf(TRzButtonEdit::MainIndex), {5, 5});
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonEditFixture, KindsGiveGlyphsAndDropDownGivesItsArrow) {
  EXPECT_EQ(Main()->Glyph()->Width(), 20);
  EXPECT_EQ(Main()->Glyph()->Height(), 10);
  EXPECT_EQ(Main()->NumGlyphs(), 2);
  EXPECT_EQ(ButtonKindGlyph(TButtonKind::bkLookup), ButtonKindGlyph(TButtonKind::bkLookup)) << "cached once";
  EXPECT_EQ(ButtonKindGlyph(TButtonKind::bkCustom), nullptr);
  for (int k = TButtonKind::bkLookup; k <= TButtonKind::bkSearch; ++k) {
    TBitmap* g = ButtonKindGlyph(static_cast<TButtonKind>(k));
    ASSERT_NE(g, nullptr) << k;
    EXPECT_EQ(g->Width(), 20);
    EXPECT_EQ(g->Height(), 10);
  }
  E->SetKind(TRzButtonEdit::AltIndex, TButtonKind::bkFind);
  TBitmap* find = ButtonKindGlyph(TButtonKind::bkFind);
  EXPECT_EQ(Alt()->Glyph()->Canvas()->Pixels(1, 1), find->Canvas()->Pixels(1, 1));
  E->SetKind(TRzButtonEdit::MainIndex, TButtonKind::bkDropDown);
  EXPECT_TRUE(Main()->Glyph()->Empty());
  EXPECT_EQ(Main()->Style(), TRzControlButtonStyle::cbsDropDown);
  E->SetKind(TRzButtonEdit::MainIndex, TButtonKind::bkAccept);
  EXPECT_EQ(Main()->Style(), TRzControlButtonStyle::cbsDropDown) << "the style stays";
  EXPECT_FALSE(Main()->Glyph()->Empty());
  TBitmap own;
  own.SetSize(16, 16);
  E->SetGlyph(TRzButtonEdit::MainIndex, &own);
  EXPECT_EQ(E->GetKind(TRzButtonEdit::MainIndex), TButtonKind::bkCustom);
  EXPECT_EQ(Main()->NumGlyphs(), 1);
}

TEST_F(ButtonEditFixture, FlatButtonsTakeTheHotColourWhileTheEditIsHot) {
  E->SetFlatButtons(true);
  E->SetFlatButtonColor(clYellow);
  EXPECT_TRUE(Main()->Flat());
  EXPECT_EQ(Main()->Color(), clBtnFace);
  E->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Main()->Color(), clYellow);
  E->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Main()->Color(), E->Color());
  FocusEdit();
  EXPECT_EQ(Main()->Color(), clYellow) << "focused counts as hot";
  Other->SetFocus();
  Settle();
  EXPECT_EQ(Main()->Color(), E->Color());
  // Disabling the edit disables its buttons.
  E->SetEnabled(false);
  EXPECT_FALSE(Main()->Enabled());
  EXPECT_FALSE(E->Buttons()->Enabled());
  E->SetEnabled(true);
  EXPECT_TRUE(Alt()->Enabled());
}

TEST_F(ButtonEditFixture, NoChildrenAreStreamed) {
  static_cast<TComponent*>(E)->SetName("edtDepart");
  E->SetKind(TRzButtonEdit::AltIndex, TButtonKind::bkFind);
  E->SetVisible(TRzButtonEdit::AltIndex, true);
  String text = WriteComponentToText(E);
  EXPECT_EQ(text.find("TRzButtonPair"), String::npos) << text;
  EXPECT_EQ(text.find("TRzControlButton"), String::npos) << text;
  EXPECT_NE(text.find("AltBtnKind = bkFind"), String::npos) << text;
  EXPECT_NE(text.find("AltBtnVisible = True"), String::npos) << text;
  EXPECT_EQ(text.find("ButtonGlyph"), String::npos) << "a kind glyph is not written";
}

}  // namespace
