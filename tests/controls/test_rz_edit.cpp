// The framed edit on a shown form: text, colours by state, the frame it paints in its
// non-client area, keys, and the dormant drop button switched on by a subclass.
#include "ControlsTestUtil.h"

#include "gui/OSVersion.h"

using namespace ctltest;
using stdtest::TBeepCounter;

namespace {

struct EditFixture : stdtest::FormFixture {
  // A pixel of the control's whole window (frame included) as the screen shows it.
  unsigned WindowPixel(TWinControl* c, int X, int Y) {
    QImage img = Grab();
    return HexOf(QColor(img.pixel(c->Left() + X, c->Top() + Y)));
  }
  void Settle() {
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
  }
};

TEST_F(EditFixture, TextRoundTripsAndClearingFiresOnlyWhenThereWasText) {
  auto* e = Add<TRzEdit>(Rect(10, 10, 130, 31));
  int changes = 0;
  e->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  EXPECT_EQ(e->Text(), "");
  e->SetText("");
  EXPECT_EQ(changes, 0);
  e->SetText("合同A");
  EXPECT_EQ(e->Text(), "合同A");
  EXPECT_EQ(changes, 1);
  e->SetText("合同A");
  EXPECT_EQ(changes, 1) << "the same text is no change";
  e->SetText("");
  EXPECT_EQ(e->Text(), "");
  EXPECT_EQ(changes, 2);
}

TEST_F(EditFixture, ColoursFollowTheState) {
  auto* e = Add<TRzEdit>(Rect(10, 10, 130, 31));
  auto* other = Add<TEdit>(Rect(10, 40, 130, 61));
  // Focus and normal colours equal: a colour set while focused becomes both.
  e->SetFocus();
  Settle();
  e->SetColor(clInfoBk);
  EXPECT_EQ(e->NormalColor(), clInfoBk);
  EXPECT_EQ(e->FocusColor(), clInfoBk);
  // A focus colour of its own stays; the set colour is the normal one when focus leaves.
  e->SetFocusColor(clYellow);
  EXPECT_EQ(e->Color(), clYellow);
  e->SetColor(clAqua);
  EXPECT_EQ(e->NormalColor(), clAqua);
  EXPECT_EQ(e->FocusColor(), clYellow);
  other->SetFocus();
  Settle();
  EXPECT_EQ(e->Color(), clAqua);
  e->SetFocus();
  Settle();
  EXPECT_EQ(e->Color(), clYellow);
  other->SetFocus();
  e->SetDisabledColor(clSilver);
  e->SetEnabled(false);
  EXPECT_EQ(e->Color(), clSilver);
  e->SetEnabled(true);
  EXPECT_EQ(e->Color(), clAqua);
}

TEST_F(EditFixture, TheFrameIsPaintedOverThePlatformBorderAndLightsUp) {
  auto* e = Add<TRzEdit>(Rect(10, 10, 130, 31));
  auto* other = Add<TEdit>(Rect(10, 40, 130, 61));
  // Without FrameVisible the platform's sunken edge shows.
  Settle();
  EXPECT_EQ(HexText(WindowPixel(e, 0, 0)), "808080");
  e->SetFrameVisible(true);
  EXPECT_TRUE(e->Ctl3D());
  e->SetFrameHotColor(clRed);
  e->SetFrameHotTrack(true);
  other->SetFocus();
  Settle();
  EXPECT_EQ(HexText(WindowPixel(e, 0, 0)), "808080") << "flat frame in the frame colour";
  EXPECT_EQ(HexText(WindowPixel(e, 1, 1)), "FFFFFF") << "the platform border covered in the face colour";
  EXPECT_EQ(HexText(WindowPixel(e, 119, 20)), "808080");
  e->SetFocus();
  Settle();
  EXPECT_TRUE(e->InControl());
  EXPECT_EQ(HexText(WindowPixel(e, 0, 0)), "FF0000") << "hot: bold frame in the hot colour";
  EXPECT_EQ(HexText(WindowPixel(e, 1, 1)), "FF0000");
  other->SetFocus();
  Settle();
  EXPECT_EQ(HexText(WindowPixel(e, 1, 1)), "FFFFFF");
  // The mouse lights it too.
  e->Perform(CM_MOUSEENTER, 0, 0);
  Settle();
  EXPECT_TRUE(e->OverControl());
  EXPECT_EQ(HexText(WindowPixel(e, 1, 1)), "FF0000");
  e->Perform(CM_MOUSELEAVE, 0, 0);
  Settle();
  EXPECT_EQ(HexText(WindowPixel(e, 1, 1)), "FFFFFF");
  // A tinted face takes tinted edges.
  e->SetFrameHotTrack(false);
  e->SetFrameStyle(fsLowered);
  e->SetColor(clInfoBk);
  Settle();
  EXPECT_EQ(WindowPixel(e, 0, 0), HexOf(DarkenColor(clInfoBk, 50)));
  EXPECT_EQ(WindowPixel(e, 119, 20), HexOf(LightenColor(clInfoBk, 100)));
}

TEST_F(EditFixture, TabOnEnterMovesTheFocusWithoutACharacter) {
  auto* first = Add<TRzEdit>(Rect(10, 10, 130, 31));
  auto* second = Add<TRzEdit>(Rect(10, 40, 130, 61));
  first->SetText("ab");
  first->SetFocus();
  Settle();
  guitest::TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
  Settle();
  EXPECT_TRUE(first->Focused()) << "without TabOnEnter, Enter stays";
  first->SetTabOnEnter(true);
  TBeepCounter beeps;
  guitest::TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
  Settle();
  EXPECT_TRUE(second->Focused()) << "Enter went on as Tab";
  EXPECT_EQ(first->Text(), "ab");
  EXPECT_EQ(beeps.Count, 0);
}

// Characters a keyboard layout makes without a key code of their own are typed too.
TEST_F(EditFixture, CharactersOfKeysWithoutAKeyCodeAreTyped) {
  auto* e = Add<TRzEdit>(Rect(10, 10, 130, 31));
  e->SetFocus();
  Settle();
  guitest::TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("é"));
  guitest::TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("界"));
  Settle();
  EXPECT_EQ(e->Text(), "é界");
}

TEST_F(EditFixture, RightAlignedEnterBeepsExceptOnVersionFour) {
  auto* e = Add<TRzEdit>(Rect(10, 10, 130, 31));
  e->SetAlignment(taRightJustify);
  EXPECT_EQ(e->GetControlsAlignment(), taRightJustify);
  e->HandleNeeded();
  EXPECT_TRUE(e->WindowStyle() & ES_RIGHT);
  e->SetFocus();
  Settle();
  std::vector<Char> pressed;
  e->OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, Char& k) { pressed.push_back(k); });
  {
    TBeepCounter beeps;
    guitest::TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(beeps.Count, 1) << "the platform edit beeps on Enter";
  }
  SetPlatformVersion(4, 0);
  {
    TBeepCounter beeps;
    guitest::TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(beeps.Count, 0);
  }
  SetPlatformVersion(5, 1);
  EXPECT_EQ(pressed, (std::vector<Char>{13})) << "version 4.0 swallowed Enter before OnKeyPress";
}

TEST_F(EditFixture, AMaskErrorHandlerGivesTheMessage) {
  auto* e = Add<TRzEdit>(Rect(10, 10, 130, 31));
  e->SetEditMask("000;1;_");
  e->SetText("1");
  e->SetModified(true);
  String given = "编码必须是三位数字";
  e->OnMaskError = TRzMaskErrorEvent::Lambda([&](TObject*, String& m) { m = given; });
  TBeepCounter beeps;
  try {
    e->ValidateEdit();
    ADD_FAILURE() << "no error";
  } catch (const EDBEditError& x) {
    EXPECT_EQ(String(x.Message()), given);
  }
  EXPECT_EQ(beeps.Count, 1);
  given.clear();  // no message: the platform's own
  EXPECT_THROW(e->ValidateEdit(), EDBEditError);
  EXPECT_EQ(beeps.Count, 2);
}

// Switches the dormant drop button on.
class TDropEdit : public TRzEdit {
public:
  using TRzEdit::TRzEdit;
  void ShowDropButton(bool v) { SetDropButtonVisible(v); }
};

TEST_F(EditFixture, ADropButtonReservesItsStripAndFiresWhenPressed) {
  auto* e = Add<TDropEdit>(Rect(10, 10, 130, 31));
  auto* other = Add<TEdit>(Rect(10, 40, 130, 61));
  e->HandleNeeded();
  const int plain = e->ClientWidth();
  e->ShowDropButton(true);
  Settle();
  EXPECT_EQ(e->ClientWidth(), plain - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(e->DropButtonRect(), Rect(120 - 2 - 17, 2, 118, e->Height() - 2));
  // The strip shows the platform's combo button face.
  EXPECT_EQ(HexText(WindowPixel(e, 104, 16)), "D4D0C8");
  std::vector<std::string> log;
  e->OnDropButtonDown = TNotifyEvent::Lambda([&](TObject*) { log.push_back(e->DroppedDown() ? "down:dropped" : "down"); });
  e->OnDropButtonUp = TNotifyEvent::Lambda([&](TObject*) { log.push_back("up"); });
  other->SetFocus();
  const int x = e->ClientWidth() + 5, y = 8;
  e->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(x, y));
  EXPECT_TRUE(e->Focused()) << "a press focuses the edit first";
  EXPECT_EQ(log, (std::vector<std::string>{"down:dropped", "up"}));
  EXPECT_FALSE(e->DroppedDown());
  e->Perform(WM_LBUTTONUP, 0, MakeLParam(x, y));
  EXPECT_EQ(e->ButtonState(), bsUp);
  // Alt+Down presses it from the keyboard.
  Settle();
  guitest::TypeKey(Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(log.size(), 4u);
  // A right press on the strip is swallowed; in the text it is the edit's.
  int menus = 0;
  e->OnContextPopup = TContextPopupEvent::Lambda([&](TObject*, TPoint, bool&) { ++menus; });
  e->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MakeLParam(x, y));
  EXPECT_EQ(log.size(), 4u);
  // Flat buttons: the edit's colour while unlit, a raised button face while lit.
  e->SetFlatButtons(true);
  other->SetFocus();
  Settle();
  EXPECT_EQ(HexText(WindowPixel(e, 104, 16)), "FFFFFF");
  EXPECT_EQ(HexText(WindowPixel(e, 109, 10)), "000000") << "the glyph";
  e->SetFocus();
  Settle();
  EXPECT_EQ(HexText(WindowPixel(e, 104, 16)), "D4D0C8");
  EXPECT_EQ(HexText(WindowPixel(e, 101, 2)), "FFFFFF") << "raised ring";
  e->ShowDropButton(false);
  Settle();
  EXPECT_EQ(e->ClientWidth(), plain);
}

}  // namespace
