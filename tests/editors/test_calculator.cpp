// The calculator: its engine driven headless through a display held in a string, its key
// layout and scaling, and the control on a shown form operated with real keys and mouse.
#include "StdTestUtil.h"

#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "editors/cxButtons.h"
#include "editors/cxCalculator.h"
#include "editors/cxLookAndFeelPainters.h"

#include <sstream>

namespace {

// A calculator whose display is a string, and which logs the keys it executes.
class TFakeDisplayCalculator : public TcxCustomCalculator {
public:
  using TcxCustomCalculator::TcxCustomCalculator;
  String Display = "0";
  int Writes = 0;
  void ReadDisplay(String& Text) override { Text = Display; }
  void WriteDisplay(const String& Text) override {
    Display = Text;
    ++Writes;
  }
};

TcxCalcKey KeyOfToken(const std::string& t) {
  static const std::pair<const char*, TcxCalcKey> kTokens[] = {
      {"Back", ckBack}, {"CE", ckClearEntry}, {"C", ckClear},  {"MC", ckMemClear}, {"MR", ckMemRecall},
      {"MS", ckMemStore}, {"M+", ckMemAdd},   {"+/-", ckSign}, {".", ckDecimal},   {"/", ckDiv},
      {"*", ckMul},     {"-", ckSub},         {"+", ckAdd},    {"sqrt", ckSqrt},   {"%", ckPercent},
      {"1/x", ckRecip}, {"=", ckEquals}};
  for (auto& [name, key] : kTokens)
    if (t == name) return key;
  EXPECT_TRUE(t.size() == 1 && t[0] >= '0' && t[0] <= '9') << "unknown token " << t;
  return TcxCalcKey(ck0 + (t[0] - '0'));
}

// Executes keys written as tokens separated by blanks; "12" is two digit keys.
void Keys(TcxCustomCalculator& c, const std::string& keys) {
  std::istringstream in(keys);
  for (std::string t; in >> t;) {
    const bool number = t.size() > 1 && t.find_first_not_of("0123456789") == std::string::npos;
    if (!number) c.ExecuteKey(KeyOfToken(t));
    else
      for (char d : t) c.ExecuteKey(TcxCalcKey(ck0 + (d - '0')));
  }
}

struct Calculator : ::testing::Test {
  std::unique_ptr<TFakeDisplayCalculator> Calc = std::make_unique<TFakeDisplayCalculator>(nullptr);
  stdtest::TBeepCounter Beeps;
};

TEST_F(Calculator, SequencesComputeStrictlyLeftToRightWithPercentMemoryAndErrors) {
  struct Case {
    const char* Keys;
    const char* Display;
    int Beeps;
  } cases[] = {
      {"2 + 3 * 4 =", "20", 0},
      {"200 + 10 %", "220", 0},
      {"50 * 10 %", "5", 0},
      {"50 / 10 %", "500", 0},
      {"100 - 10 %", "90", 0},
      {"5 = =", "5", 0},
      {"7 + * 2 =", "14", 0},  // a second operator only replaces the pending one
      {"1 + 9 sqrt =", "4", 0},
      {"2 sqrt", "1.4142135623731", 0},
      {"1 / 0 =", "错误", 1},
      {"1 / 0 = 5", "错误", 2},
      {"1 / 0 = 5 C", "0", 2},
      {"1 / 0 = CE 3 + 4 =", "7", 1},
      {"4 +/- sqrt", "错误", 1},
      {"0 1/x", "错误", 1},
      {"4 1/x", "0.25", 0},
      {"5 MS 3 M+ MR", "8", 0},
      {"5 MS C MR + 1 =", "6", 0},
      {"5 M+ M+ MC MR", "0", 0},
      {". .", "0.", 0},
      {"1 . 5 .", "1.5", 0},
      {"12 = Back", "0", 0},
      {"5 +/- Back", "0", 0},
      {"123 Back", "12", 0},
      {"1 + 2 = 7", "7", 0},  // a digit after a result starts a new number
      {"10 / 4 =", "2.5", 0},
  };
  for (const Case& c : cases) {
    Calc = std::make_unique<TFakeDisplayCalculator>(nullptr);
    Beeps.Count = 0;
    Keys(*Calc, c.Keys);
    EXPECT_EQ(Calc->Display, c.Display) << c.Keys;
    EXPECT_EQ(Beeps.Count, c.Beeps) << c.Keys;
  }
}

TEST_F(Calculator, AnEntryTakesPrecisionCharactersAndASignBesides) {
  Keys(*Calc, "123456789012345");
  EXPECT_EQ(Calc->Display, "123456789012345");
  Keys(*Calc, "6");
  EXPECT_EQ(Calc->Display, "123456789012345") << "the 16th character is refused";
  EXPECT_EQ(Beeps.Count, 1);

  Calc = std::make_unique<TFakeDisplayCalculator>(nullptr);
  Keys(*Calc, "1 +/- 23456789012345");
  EXPECT_EQ(Calc->Display, "-123456789012345");
  Keys(*Calc, "6");
  EXPECT_EQ(Calc->Display, "-123456789012345") << "a negative entry's 17th is refused";
  EXPECT_EQ(Beeps.Count, 2);

  // Without the beep flag the refusal is silent; a small precision still allows two.
  Calc = std::make_unique<TFakeDisplayCalculator>(nullptr);
  Calc->ErrorBeep = false;
  Calc->CalcPrecision = 0;
  Keys(*Calc, "987");
  EXPECT_EQ(Calc->Display, "98");
  EXPECT_EQ(Beeps.Count, 2);
}

TEST_F(Calculator, ADisplayThatIsNoFiniteNumberIsAnErrorNotAnException) {
  struct Case {
    const char* Start;
    const char* Keys;
  } cases[] = {
      {"1E308", "* 10 ="},   // beyond what a double holds
      {"-1E308", "* 10 ="},
      {"abc", "+"},
      {"abc", "sqrt"},
      {"abc", "+/-"},
      {"INF", "="},
      {"12x", "M+"},
  };
  for (const Case& c : cases) {
    Calc = std::make_unique<TFakeDisplayCalculator>(nullptr);
    Calc->Display = c.Start;
    if (String(c.Keys).find('*') != String::npos) Calc->CalcState = cstEntered;
    Beeps.Count = 0;
    EXPECT_NO_THROW(Keys(*Calc, c.Keys)) << c.Start << " " << c.Keys;
    EXPECT_EQ(Calc->Display, "错误") << c.Start << " " << c.Keys;
    EXPECT_EQ(Calc->CalcState, cstError);
    EXPECT_GE(Beeps.Count, 1);
  }
  // Memory keeps its value when a failed M+ could not read the display.
  EXPECT_EQ(Calc->MemoryValue, 0);
}

TEST_F(Calculator, ThousandSeparatorsInTheDisplayAreRead) {
  Calc->Display = "1,234.5";
  Calc->CalcState = cstEntered;
  Keys(*Calc, "+ 1 =");
  EXPECT_EQ(Calc->Display, "1235.5");
}

TEST_F(Calculator, ResultsShowInTheGeneralFormatWithTheCalculatorsPrecision) {
  Keys(*Calc, "1 / 3 =");
  EXPECT_EQ(Calc->Display, "0.333333333333333");
  Calc = std::make_unique<TFakeDisplayCalculator>(nullptr);
  Calc->CalcPrecision = 4;
  Keys(*Calc, "2 / 3 =");
  EXPECT_EQ(Calc->Display, "0.6667");
  // The same text is not written again and does not count as a change.
  int changes = 0;
  Calc->OnDisplayChanged = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  const int writes = Calc->Writes;
  Calc->SetDisplayValue(Extended(2) / 3);
  EXPECT_EQ(Calc->Writes, writes);
  EXPECT_EQ(changes, 0);
  Calc->SetDisplayValue(1);
  EXPECT_EQ(changes, 1);
}

TEST_F(Calculator, TheKeyHookMayReplaceAKeyAndResultsAreAnnounced) {
  Calc->OnKeyButtonClick = TcxCalcKeyButtonClickEvent::Lambda([](TObject*, TcxCalcKey& k) {
    if (k == ckAdd) k = ckMul;
  });
  int shown = 0;
  Calc->OnResultShown = TNotifyEvent::Lambda([&](TObject*) { ++shown; });
  Keys(*Calc, "3 + 4 =");
  EXPECT_EQ(Calc->Display, "12");
  EXPECT_EQ(shown, 1);
  Keys(*Calc, "50 * 10 %");
  EXPECT_EQ(shown, 2);
}

TEST_F(Calculator, PasteTakesNumbersWithoutTheCurrencySignAndRefusesTheRest) {
  struct Case {
    const char* Clip;
    const char* Display;
    int Beeps;
  } cases[] = {
      {"¥1234.5", "1234.5", 0},
      {"  42 ", "42", 0},
      {"-3¥", "-3", 0},
      {"abc", "77", 1},
      {"", "77", 1},
      {"1E999", "77", 1},
  };
  for (const Case& c : cases) {
    Calc = std::make_unique<TFakeDisplayCalculator>(nullptr);
    Calc->Display = "77";
    Beeps.Count = 0;
    stdtest::SetClipboard(c.Clip);
    Calc->PasteDisplay();
    EXPECT_EQ(Calc->Display, c.Display) << c.Clip;
    EXPECT_EQ(Beeps.Count, c.Beeps) << c.Clip;
  }
  // A pasted number is an entered operand: the next operator computes with it.
  Calc = std::make_unique<TFakeDisplayCalculator>(nullptr);
  Keys(*Calc, "5 +");
  stdtest::SetClipboard("7");
  Calc->PasteDisplay();
  Keys(*Calc, "=");
  EXPECT_EQ(Calc->Display, "12");
  Calc->Display = "99.5";
  Calc->CopyDisplay();
  EXPECT_EQ(stdtest::ClipboardText(), "99.5");
}

TEST_F(Calculator, TheConstructorLaysOutTheKeysAndResizeSnapsToTheKeySize) {
  auto bounds = [&](TcxCalcKey k) { return Calc->Keys[k].Bounds; };
  EXPECT_EQ(bounds(ckBack), TRect(46, 3, 93, 25));
  EXPECT_EQ(bounds(ckClearEntry), TRect(96, 3, 143, 25));
  EXPECT_EQ(bounds(ckClear), TRect(146, 3, 193, 25));
  EXPECT_EQ(bounds(ckMemClear), TRect(3, 28, 31, 50));
  EXPECT_EQ(bounds(ckMemAdd), TRect(3, 103, 31, 125));
  // Rows MC 7 8 9 / sqrt, MR 4 5 6 * %, MS 1 2 3 - 1/x, M+ 0 +/- , + = at columns 41 .. 165.
  const TcxCalcKey rows[4][5] = {{ck7, ck8, ck9, ckDiv, ckSqrt},
                                 {ck4, ck5, ck6, ckMul, ckPercent},
                                 {ck1, ck2, ck3, ckSub, ckRecip},
                                 {ck0, ckSign, ckDecimal, ckAdd, ckEquals}};
  const int xs[5] = {41, 72, 103, 134, 165}, ys[4] = {28, 53, 78, 103};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(bounds(rows[r][c]), TRect(xs[c], ys[r], xs[c] + 28, ys[r] + 22)) << r << c;
  for (int k = 0; k < kCalcKeyCount; ++k) {
    const TRect b = bounds(TcxCalcKey(k));
    EXPECT_EQ(Calc->KeyAt(b.Left, b.Top), k);
    EXPECT_EQ(Calc->KeyAt(b.Right - 1, b.Bottom - 1), k);
  }
  EXPECT_EQ(Calc->KeyAt(35, 30), ckNone) << "the gap beside the memory column";
  EXPECT_EQ(Calc->Keys[ckDecimal].Caption, String(1, FormatSettings().DecimalSeparator));
  EXPECT_TRUE(Calc->Keys[ckMemClear].Grayed);
  EXPECT_TRUE(Calc->Keys[ckMemRecall].Grayed);
  EXPECT_FALSE(Calc->Keys[ckMemStore].Grayed);
  Keys(*Calc, "5 MS");
  EXPECT_FALSE(Calc->Keys[ckMemRecall].Grayed);

  // A new layout clears memory and the pending operation.
  Keys(*Calc, "3 +");
  Calc->SetBounds(0, 0, 196, 128);
  EXPECT_EQ(Calc->KeyHeight, 22);
  EXPECT_EQ(Calc->WideKeyWidth, 48);
  EXPECT_EQ(Calc->ClientWidth(), 196);
  EXPECT_EQ(Calc->ClientHeight(), 128);
  EXPECT_EQ(Calc->MemoryValue, 0);
  EXPECT_EQ(Calc->PendingKey, ckEquals);
  EXPECT_TRUE(Calc->Keys[ckMemRecall].Grayed);

  // Larger sizes give the key height whose total comes nearest, never below 22.
  struct Case {
    int W, H, KeyHeight;
  } cases[] = {{198, 131, 23}, {400, 300, 46}, {400, 100, 22}, {150, 300, 22}};
  for (const Case& c : cases) {
    Calc->ScaleToClient(c.W, c.H);
    EXPECT_EQ(Calc->KeyHeight, c.KeyHeight) << c.W << "x" << c.H;
    EXPECT_EQ(Calc->CalcClientHeight, 5 * c.KeyHeight + 6 * MulDiv(c.KeyHeight, 3, 22));
  }
}

TEST(CalculatorKeys, KeyboardMapsCharactersAndVirtualKeys) {
  struct CharCase {
    Char C;
    TcxCalcKey Key;
  } chars[] = {{'@', ckSqrt}, {8, ckBack}, {'%', ckPercent}, {',', ckDecimal}, {'.', ckDecimal},
               {'7', ck7},    {'=', ckEquals}, {'/', ckDiv},  {'x', ckNone},      {'R', ckNone}};
  for (auto& c : chars) EXPECT_EQ(TcxCustomCalculator::KeyOfChar(c.C), c.Key) << int(c.C);
  struct VkCase {
    Word Key;
    TShiftState Shift;
    TcxCalcKey Expect;
  } vks[] = {{'R', {}, ckRecip},           {'R', {ssCtrl}, ckMemRecall}, {VK_F9, {}, ckSign},
             {VK_DELETE, {}, ckClearEntry}, {VK_ESCAPE, {}, ckClear},    {VK_RETURN, {}, ckEquals},
             {'C', {}, ckClear},           {'C', {ssCtrl}, ckNone},      {'L', {ssCtrl}, ckMemClear},
             {'M', {ssCtrl}, ckMemStore},  {'P', {ssCtrl}, ckMemAdd},    {'L', {}, ckNone}};
  for (auto& v : vks) EXPECT_EQ(TcxCustomCalculator::KeyOfVirtualKey(v.Key, v.Shift), v.Expect) << v.Key;
}

TEST(CalculatorKeys, ButtonsNeverTakeTheOffice2003Painter) {
  TcxLookAndFeel feel(nullptr);
  struct Case {
    TcxLookAndFeelKind Kind;
    TcxPainterStyle Style;
  } cases[] = {{lfStandard, pstStandard}, {lfFlat, pstFlat}, {lfUltraFlat, pstUltraFlat}, {lfOffice11, pstStandard}};
  for (auto& c : cases) {
    feel.SetKind(c.Kind);
    EXPECT_EQ(ChooseButtonPainter(&feel)->PainterStyle(), c.Style) << int(c.Kind);
  }
}

// The control on a shown form, operated as a user would.
struct CalculatorOnForm : stdtest::FormFixture {
  TFakeDisplayCalculator* Calc = nullptr;
  std::vector<TcxCalcKey> Executed;
  stdtest::TBeepCounter Beeps;
  void SetUp() override {
    FormFixture::SetUp();
    Calc = Add<TFakeDisplayCalculator>(Rect(10, 10, 206, 138));
    Calc->OnKeyButtonClick = TcxCalcKeyButtonClickEvent::Lambda([this](TObject*, TcxCalcKey& k) { Executed.push_back(k); });
    Calc->SetFocus();
    Application->ProcessMessages();
  }
  TPoint Centre(TcxCalcKey k) {
    const TRect b = Calc->Keys[k].Bounds;
    return {(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  }
};

TEST_F(CalculatorOnForm, RealKeysReachTheirCalculatorKeys) {
  struct Case {
    int QtKey;
    Qt::KeyboardModifiers Mods;
    const char* Text;
    TcxCalcKey Expect;
  } cases[] = {{Qt::Key_At, Qt::ShiftModifier, "@", ckSqrt},     {Qt::Key_R, Qt::NoModifier, "r", ckRecip},
               {Qt::Key_R, Qt::ControlModifier, "", ckMemRecall}, {Qt::Key_F9, Qt::NoModifier, "", ckSign},
               {Qt::Key_Delete, Qt::NoModifier, "", ckClearEntry}, {Qt::Key_Escape, Qt::NoModifier, "", ckClear},
               {Qt::Key_5, Qt::NoModifier, "5", ck5},             {Qt::Key_Plus, Qt::ShiftModifier, "+", ckAdd}};
  for (const Case& c : cases) {
    Executed.clear();
    guitest::TypeKey(c.QtKey, c.Mods, QString::fromUtf8(c.Text));
    Application->ProcessMessages();
    ASSERT_EQ(Executed.size(), 1u) << c.QtKey;
    EXPECT_EQ(Executed[0], c.Expect) << c.QtKey;
    EXPECT_EQ(Calc->KeyDownKey, ckNone) << "released with the key";
  }
  guitest::TypeKey(Qt::Key_Escape);
  stdtest::Type("12");
  guitest::TypeKey(Qt::Key_Plus, Qt::ShiftModifier, "+");
  stdtest::Type("3");
  guitest::TypeKey(Qt::Key_Return);
  EXPECT_EQ(Calc->Display, "15");
}

TEST_F(CalculatorOnForm, BackRepeatsWithTheKeyboardAndOtherHeldKeysActOnce) {
  Keys(*Calc, "12345");
  // A held key: one key-down, then repeated presses without a release in between.
  guitest::SendKey(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
  guitest::SendKey(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
  guitest::SendKey(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
  Application->ProcessMessages();
  EXPECT_EQ(Calc->Display, "12");
  EXPECT_TRUE(Calc->Keys[ckBack].Down);
  guitest::SendKey(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
  Application->ProcessMessages();
  EXPECT_FALSE(Calc->Keys[ckBack].Down);

  guitest::SendKey(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
  guitest::SendKey(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
  guitest::SendKey(QEvent::KeyRelease, Qt::Key_7, Qt::NoModifier, "7");
  Application->ProcessMessages();
  EXPECT_EQ(Calc->Display, "127");
}

TEST_F(CalculatorOnForm, AClickExecutesOnlyWhenReleasedOverTheSameEnabledKey) {
  guitest::Click(Calc, Centre(ck9));
  EXPECT_EQ(Calc->Display, "9");
  // Pressed on 8, dragged off and released elsewhere: nothing.
  guitest::Press(Calc, Centre(ck8));
  EXPECT_TRUE(Calc->Keys[ck8].Down);
  guitest::Move(Calc, Centre(ck1), Qt::LeftButton);
  EXPECT_FALSE(Calc->Keys[ck8].Down);
  guitest::Release(Calc, Centre(ck1));
  EXPECT_EQ(Calc->Display, "9");
  // Dragged off and back on: it executes.
  guitest::Press(Calc, Centre(ck8));
  guitest::Move(Calc, Centre(ck1), Qt::LeftButton);
  guitest::Move(Calc, Centre(ck8), Qt::LeftButton);
  guitest::Release(Calc, Centre(ck8));
  EXPECT_EQ(Calc->Display, "98");
  // MR is grey while the memory is 0 and cannot be clicked.
  Executed.clear();
  guitest::Click(Calc, Centre(ckMemRecall));
  EXPECT_TRUE(Executed.empty());
  guitest::Click(Calc, Centre(ckMemStore));
  guitest::Click(Calc, Centre(ckClear));
  guitest::Click(Calc, Centre(ckMemRecall));
  EXPECT_EQ(Calc->Display, "98");
}

TEST_F(CalculatorOnForm, MemoryKeysDrawGreyWhileTheMemoryIsEmpty) {
  // A grey key draws its caption embossed: no pixel near the caption colour. Text is
  // smoothed, so a colour counts when its channel stands out from the other two.
  enum { kRed, kBlue };
  auto hasColour = [&](TcxCalcKey k, int channel) {
    QImage img = Grab();
    const TRect b = Calc->Keys[k].Bounds;
    for (int y = b.Top + 3; y < b.Bottom - 3; ++y)
      for (int x = b.Left + 3; x < b.Right - 3; ++x) {
        TPoint p = Calc->ClientToParent({x, y}, Form);
        const QColor c(img.pixel(p.X, p.Y));
        const int main = channel == kRed ? c.red() : c.blue(), other = channel == kRed ? c.blue() : c.red();
        if (main > 150 && other < 100 && c.green() < 100) return true;
      }
    return false;
  };
  Calc->Repaint();
  EXPECT_FALSE(hasColour(ckMemRecall, kRed));
  EXPECT_TRUE(hasColour(ckMemStore, kRed));
  EXPECT_TRUE(hasColour(ck7, kBlue));
  // Storing a value repaints MC and MR in their own colour.
  stdtest::Type("4");
  guitest::TypeKey(Qt::Key_M, Qt::ControlModifier);
  Application->ProcessMessages();
  EXPECT_TRUE(hasColour(ckMemRecall, kRed));
  EXPECT_TRUE(hasColour(ckMemClear, kRed));
}

}  // namespace
