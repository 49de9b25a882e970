// The drop-down calculator: its layout, every key, the equals button's caption and the pop-up
// that hands the value back to the edit that opened it.
#include "grid/CalculatorEh.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Clipbrd.h"
#include "gui/Forms.h"
#include "gui/Application.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class Calculator : public ::testing::Test {
protected:
  void SetUp() override {
    Form = new TForm(nullptr);
    Calc = new TCalculatorEh(Form);
    Calc->SetParent(Form);
  }
  void TearDown() override { delete Form; }
  // Types the keys as characters; "\b" is Backspace.
  void Type(const String& Keys) {
    for (char c : Keys) Calc->Perform(WM_CHAR, static_cast<unsigned char>(c), 0);
  }
  void ClickButton(const String& Name) {
    TSpeedButtonEh* b = Calc->Button(Name);
    ASSERT_NE(b, nullptr) << Name;
    LPARAM at = MakeLParam(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
    Calc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Calc->Perform(WM_LBUTTONUP, 0, at);
  }
  TForm* Form = nullptr;
  TCalculatorEh* Calc = nullptr;
};

TEST_F(Calculator, TheLayoutGivesTwentyTwoKeysWithTheirTagsScaledByTheTextHeight) {
  struct TKey {
    const char* Name;
    Char Key;
    int Left, Top, Width, Height;
  };
  const TKey keys[] = {
      {"SpeedButton1", U'7', 6, 29, 27, 22},    {"SpeedButton12", U'8', 35, 29, 27, 22},
      {"SpeedButton11", U'9', 64, 29, 27, 22},  {"SpeedButton16", U'/', 93, 29, 27, 22},
      {"SpeedButton20", U'S', 122, 29, 27, 22}, {"SpeedButton23", U'C', 151, 29, 27, 46},
      {"SpeedButton10", U'4', 6, 53, 27, 22},   {"SpeedButton9", U'5', 35, 53, 27, 22},
      {"SpeedButton8", U'6', 64, 53, 27, 22},   {"SpeedButton15", U'*', 93, 53, 27, 22},
      {"SpeedButton19", U'%', 122, 53, 27, 22}, {"SpeedButton7", U'1', 6, 77, 27, 22},
      {"SpeedButton6", U'2', 35, 77, 27, 22},   {"SpeedButton5", U'3', 64, 77, 27, 22},
      {"SpeedButton14", U'-', 93, 77, 27, 22},  {"SpeedButton18", U'R', 122, 77, 27, 22},
      {"SpeedButton22", 8, 151, 77, 27, 22},    {"SpeedButton4", U'0', 6, 101, 27, 22},
      {"SpeedButton3", U'I', 35, 101, 27, 22},  {"SpeedButton2", U'.', 64, 101, 27, 22},
      {"SpeedButton13", U'+', 93, 101, 27, 22}, {"spEqual", U'=', 122, 101, 56, 22},
  };
  int buttons = 0;
  for (int i = 0; i < Calc->ComponentCount(); ++i)
    if (dynamic_cast<TSpeedButtonEh*>(Calc->Components(i))) ++buttons;
  EXPECT_EQ(buttons, 22);
  ASSERT_GT(Calc->TextHeight(), 0);
  Calc->Canvas()->Font()->Assign(Calc->Font());
  const int now = Calc->Canvas()->TextHeight("0"), stored = Calc->TextHeight();
  auto scaled = [&](int v) { return MulDiv(v, now, stored); };
  for (const TKey& k : keys) {
    SCOPED_TRACE(k.Name);
    TSpeedButtonEh* b = Calc->Button(k.Name);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(TCalculatorEh::KeyOfTag(static_cast<int>(b->Tag())), k.Key);
    EXPECT_EQ(b->BoundsRect(), Bounds(scaled(k.Left), scaled(k.Top), scaled(k.Width), scaled(k.Height)));
    EXPECT_EQ(b->Style(), ebsGlyphEh);
    EXPECT_TRUE(b->Active());
    EXPECT_TRUE(b->Flat());
  }
  EXPECT_EQ(TCalculatorEh::KeyOfTag(0), Char(0));
  EXPECT_EQ(TCalculatorEh::KeyOfTag(12), Char(0));
  EXPECT_EQ(Calc->DisplayText(), "0");
  EXPECT_EQ(Calc->EqualsCaption(), "Ok") << "the layout's caption is replaced at once";
  EXPECT_EQ(Calc->ClientWidth(), scaled(184));
  EXPECT_EQ(Calc->ClientHeight(), scaled(127));
  EXPECT_EQ(Calc->Display()->Alignment(), taRightJustify);
}

TEST_F(Calculator, KeySequences) {
  struct TCase {
    const char* Keys;
    const char* Display;
    const char* Equals;
  };
  const TCase cases[] = {
      {"2+3=", "5", "Ok"},
      {"2+3", "3", "="},
      {"2+3==", "5", "Ok"},
      {"200+10%", "220", "Ok"},
      {"200-10%", "180", "Ok"},
      {"200*10%", "20", "Ok"},
      {"200/10%", "2000", "Ok"},
      {"2+*3=", "6", "Ok"},  // a second operator only replaces the first
      {"7*6\r", "42", "Ok"},
      {"5/0=", "Error", "Ok"},
      {"5/0=7+2", "Error", "Ok"},
      {"5/0=C", "0", "Ok"},
      {"0R", "Error", "Ok"},
      {"4R", "0.25", "Ok"},
      {"4IS", "Error", "Ok"},
      {"9S", "3", "Ok"},
      {"1234567890123456", "123456789012345", "Ok"},
      {"5I1234567890123456", "-512345678901234", "Ok"},
      {"5I\b", "0", "Ok"},
      {"12\b", "1", "Ok"},
      {"9\b", "0", "Ok"},
      {".5", "0.5", "Ok"},
      {"1..2", "1.2", "Ok"},
      {"00007", "7", "Ok"},
      {"3+4c", "0", "Ok"},
      {"3+4\x1b", "0", "Ok"},
      {"1/3=", "0.333333333333333", "Ok"},
      {"2+3=+", "5", "Ok"},
      {"2+3=+4", "4", "="},
      {"I", "0", "Ok"},
      {"2.5I", "-2.5", "Ok"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Keys);
    Calc->Reset();
    Type(c.Keys);
    EXPECT_EQ(Calc->DisplayText(), c.Display);
    EXPECT_EQ(Calc->EqualsCaption(), c.Equals);
  }
}

TEST_F(Calculator, TheErrorStateIsLeftOnlyByCOrDelete) {
  Type("5/0=");
  ASSERT_EQ(Calc->State(), csErrorEh);
  EXPECT_EQ(Calc->DisplayValue(), 0);
  Type("123+=RSI.\b");
  Calc->Perform(WM_MOUSEWHEEL, MakeWParam(0, 120), 0);
  EXPECT_EQ(Calc->DisplayText(), "Error");
  Calc->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(Calc->DisplayText(), "0");
  EXPECT_EQ(Calc->State(), csReadyEh);
}

TEST_F(Calculator, ButtonsWheelAndClipboard) {
  for (const char* b : {"SpeedButton7", "SpeedButton13", "SpeedButton6", "spEqual"}) ClickButton(b);
  EXPECT_EQ(Calc->DisplayText(), "3");
  Calc->Perform(WM_MOUSEWHEEL, MakeWParam(0, 120), 0);
  EXPECT_EQ(Calc->DisplayText(), "4");
  Calc->Perform(WM_MOUSEWHEEL, MakeWParam(0, WPARAM(-240) & 0xFFFF), 0);
  EXPECT_EQ(Calc->DisplayText(), "3");

  Type("\x03");
  EXPECT_EQ(Clipboard()->AsText(), "3");
  Clipboard()->SetAsText("  42.5 ");
  Type("\x16");
  EXPECT_EQ(Calc->DisplayText(), "42.5");
  Clipboard()->SetAsText("abc");
  EXPECT_THROW(Calc->ApplyKey(22), EConvertError);
  EXPECT_EQ(Calc->DisplayText(), "42.5");
}

TEST_F(Calculator, ASingleBorderIsASunkenEdge) {
  Calc->HandleNeeded();
  TRect plain = Calc->NonClientMargins();
  EXPECT_EQ(plain, TRect{});
  int w = Calc->Width();
  Calc->SetBorderStyle(bsSingle);
  EXPECT_EQ(Calc->NonClientMargins(), (TRect{2, 2, 2, 2}));
  EXPECT_EQ(Calc->Width(), w + 4) << "auto-size keeps the client area";
}

// ================================================================ the pop-up

// An edit that opens the calculator and takes its value when it closes accepting.
class TCalcEdit : public TEdit, public IDropDownOwnerEh {
public:
  using TEdit::TEdit;
  std::vector<bool> Closes;
  TPopupCalculatorEh* Popup = nullptr;
  void CloseDropDown(bool Accept) override {
    Closes.push_back(Accept);
    if (!Accept || !Popup) return;
    Variant v = Popup->GetDropDownValue();
    if (VarIsNumeric(v)) SetText(FloatToStr(v.AsDouble()));
  }
};

class PopupCalculator : public ::testing::Test {
protected:
  void SetUp() override {
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 300, 200);
    Edit = new TCalcEdit(Form);
    Edit->SetParent(Form);
    Edit->SetBounds(10, 10, 120, 21);
    Popup = new TPopupCalculatorEh(Edit);
    Edit->Popup = Popup;
  }
  void TearDown() override { delete Form; }
  void Type(const String& Keys) {
    for (char c : Keys) Popup->Perform(WM_CHAR, static_cast<unsigned char>(c), 0);
  }
  TForm* Form = nullptr;
  TCalcEdit* Edit = nullptr;
  TPopupCalculatorEh* Popup = nullptr;
};

TEST_F(PopupCalculator, EnterUnderOkAcceptsAndTheEditTakesTheValue) {
  Edit->SetText("2");
  Popup->SetDropDownValue(Variant(StrToFloat(Edit->Text())));
  EXPECT_EQ(Popup->DisplayText(), "2");
  Type("+3");
  EXPECT_FALSE(Popup->CanCloseOnEnter());
  Type("=");  // under "=" it calculates
  EXPECT_TRUE(Edit->Closes.empty());
  EXPECT_EQ(Popup->DisplayText(), "5");
  EXPECT_EQ(Popup->EqualsCaption(), "Ok");
  EXPECT_TRUE(Popup->CanCloseOnEnter());
  Type("\r");
  ASSERT_EQ(Edit->Closes, (std::vector<bool>{true}));
  EXPECT_EQ(Edit->Text(), "5");
  Type("=");
  EXPECT_EQ(Edit->Closes, (std::vector<bool>{true, true}));
}

TEST_F(PopupCalculator, EscapeTheDeferredCloseAndSpecialKeysClose) {
  Word esc = VK_ESCAPE;
  Popup->Perform(WM_KEYDOWN, esc, 0);
  EXPECT_EQ(Edit->Closes, (std::vector<bool>{false}));
  PostMessage(Popup->Handle(), WM_USER + 101, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(Edit->Closes, (std::vector<bool>{false, false}));
  EXPECT_EQ(Popup->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(Popup->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 1);
  EXPECT_EQ(Edit->Closes, (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(Popup->Perform(CM_WANTSPECIALKEY, VK_TAB, 0), 0);
  EXPECT_EQ(Popup->Perform(WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
  EXPECT_FALSE(Popup->CanFocus());

  // Without an owner that closes drop-downs nothing is called.
  TPopupCalculatorEh loose(nullptr);
  loose.Perform(WM_KEYDOWN, esc, 0);
  loose.ApplyKey(13);
}

TEST_F(PopupCalculator, AnErrorIsReadBackAsAnErrorAndNotTaken) {
  Edit->SetText("7");
  Popup->SetDropDownValue(Variant(5.0));
  Type("/0=");
  EXPECT_TRUE(VarIsType(Popup->GetDropDownValue(), varError));
  Type("123+");
  EXPECT_EQ(Popup->DisplayText(), "Error") << "only C leaves the error state";
  Popup->ApplyKey(13);
  EXPECT_EQ(Edit->Closes, std::vector<bool>{true});
  EXPECT_EQ(Edit->Text(), "7") << "the edit does not take an error";
  Popup->SetDropDownValue(Null());
  EXPECT_EQ(Popup->DisplayText(), "0");
  EXPECT_EQ(Popup->GetDropDownValue(), Variant(0.0));
}

TEST_F(PopupCalculator, APopupWindowWithARaisedFrameAndFlatButtonsToChoose) {
  Popup->HandleNeeded();
  EXPECT_TRUE(Popup->WindowStyle() & WS_POPUP);
  EXPECT_TRUE(Popup->WindowExStyle() & WS_EX_TOOLWINDOW);
  EXPECT_EQ(Popup->NonClientMargins(), (TRect{2, 2, 2, 2}));
  EXPECT_EQ(Popup->Width(), Popup->ClientWidth() + 4);
  EXPECT_EQ(Popup->Height(), Popup->ClientHeight() + 4);
  EXPECT_TRUE(Popup->GetFlatButtons());
  Popup->SetFlatButtons(false);
  EXPECT_FALSE(Popup->GetFlatButtons());
  for (int i = 0; i < Popup->ComponentCount(); ++i)
    if (auto* b = dynamic_cast<TSpeedButtonEh*>(Popup->Components(i))) { EXPECT_FALSE(b->Flat()) << b->Name(); }
}

}  // namespace
