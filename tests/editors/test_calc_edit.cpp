// The calculator editor on a shown form: text and value, display formats, typing, paste,
// validation, the popup calculator opened by F4 or its button and closed by its keys, and a
// test window loaded from a layout shaped like the legacy record dialogs.
#include "StdTestUtil.h"

#include "core/ClassBuilder.h"
#include "core/LayoutText.h"
#include "core/Scope.h"
#include "core/SysUtils.h"
#include "editors/cxCalc.h"
#include "editors/cxCanvas.h"
#include "editors/cxControlUtils.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditStyles.h"
#include "gui/Window.h"

#include <QtGui/QPainter>

using stdtest::Type;
using guitest::TypeKey;

namespace {

struct CalcEditForm : stdtest::FormFixture {
  TcxCalcEdit* Ed = nullptr;
  TEdit* Other = nullptr;
  stdtest::TBeepCounter Beeps;

  void SetUp() override {
    FormFixture::SetUp();
    Ed = Add<TcxCalcEdit>(Rect(10, 10, 130, 31));
    Other = Add<TEdit>(Rect(10, 150, 110, 171));
    Application->ProcessMessages();
  }
  void TearDown() override {
    for (TcxCustomPopupWindow* p : std::vector<TcxCustomPopupWindow*>(OpenPopupWindows())) p->DismissPopup();
    FormFixture::TearDown();
  }
  TcxCalcEditProperties* P() { return Ed->Properties(); }
  void Pump() {
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
  }
  void Focus() {
    Ed->SetFocus();
    Pump();
  }
  void Leave() {
    Other->SetFocus();
    Pump();
  }
  void Open() {
    TypeKey(Qt::Key_F4);
    Pump();
  }
  void Char(char c) {
    const int key = c == '+' ? Qt::Key_Plus : c == '=' ? Qt::Key_Equal : c == '*' ? Qt::Key_Asterisk
                    : c == '/' ? Qt::Key_Slash : c == '.' ? Qt::Key_Period : c == '-' ? Qt::Key_Minus
                    : c == 'e' ? Qt::Key_E : c == 'a' ? Qt::Key_A : Qt::Key_0 + (c - '0');
    TypeKey(key, c == '+' || c == '*' ? Qt::ShiftModifier : Qt::NoModifier, QString(QChar(c)));
  }
  void Chars(const char* s) {
    for (; *s; ++s) Char(*s);
    Pump();
  }
};

TEST_F(CalcEditForm, ANewEditorShowsZeroAndTextWritesAndReadsNumbers) {
  EXPECT_EQ(Ed->Text(), "0");
  EXPECT_EQ(VarToStr(Ed->EditValue()), "0");
  struct Case {
    const char* Text;
    const char* Shown;
    double Value;
    bool Null;
  } cases[] = {{"2500.5", "2500.5", 2500.5, false},
               {"-3", "-3", -3, false},
               {"", "", 0, true},
               {"  ", "  ", 0, true},
               {"1e3", "1e3", 1000, false}};
  for (const Case& c : cases) {
    Ed->SetText(c.Text);
    EXPECT_EQ(Ed->Text(), c.Shown) << c.Text;
    EXPECT_DOUBLE_EQ(double(Ed->Value()), c.Value) << c.Text;
    EXPECT_EQ(VarIsNull(Ed->EditValue()), c.Null) << c.Text;
  }
  Ed->SetValue(12.25);
  EXPECT_EQ(Ed->Text(), "12.25");
}

TEST_F(CalcEditForm, LeavingReformatsWithThousandSeparatorsOrTheDisplayFormat) {
  P()->SetUseThousandSeparator(true);
  Focus();
  Ed->SetText("1234.5");
  Leave();
  EXPECT_EQ(Ed->Text(), "1,234.5");
  EXPECT_DOUBLE_EQ(double(Ed->Value()), 1234.5);
  // Back in the editor the separators stay readable as the same number.
  Focus();
  EXPECT_DOUBLE_EQ(double(Ed->Value()), 1234.5);
  Leave();

  P()->SetUseThousandSeparator(false);
  P()->SetDisplayFormat("0.00");
  Focus();
  EXPECT_EQ(Ed->Text(), "1234.5") << "the display format applies only without the focus";
  Leave();
  EXPECT_EQ(Ed->Text(), "1234.50");

  Focus();
  Ed->SetText("");
  Leave();
  EXPECT_EQ(Ed->Text(), "");
  EXPECT_TRUE(VarIsNull(Ed->EditValue()));
  EXPECT_EQ(Ed->Value(), 0);
}

TEST(CalcEditProperties, PrecisionAndTheScientificMantissa) {
  TcxCalcEditProperties p(nullptr);
  EXPECT_EQ(p.Precision(), 15);
  EXPECT_FALSE(p.PrecisionStored());
  p.SetPrecision(15);
  EXPECT_TRUE(p.PrecisionStored()) << "setting the default still marks it given";
  p.SetPrecision(20);
  EXPECT_EQ(p.Precision(), 15);
  TcxCalcEditProperties copy(nullptr);
  copy.Assign(&p);
  EXPECT_TRUE(copy.PrecisionStored());
  TcxCalcEditProperties fresh(nullptr);
  copy.Assign(&fresh);
  EXPECT_FALSE(copy.PrecisionStored()) << "an unassigned precision is not carried over";

  struct Case {
    double Value;
    bool Scientific, Thousands;
    int Precision;
    const char* Shown;
  } cases[] = {
      {12345, true, false, 15, "1.2345E+4"},
      {2, true, false, 15, "2E+0"},
      {-0.000125, true, false, 15, "-1.25E-4"},
      {1234567.5, false, true, 15, "1,234,567.5"},
      {1234567.5, true, true, 15, "1.2345675E+6"},
      {1.0 / 3, false, false, 0, "0.333333333333333"},
      {1.0 / 3, false, false, 4, "0.3333"},
  };
  for (const Case& c : cases) {
    TcxCalcEditProperties q(nullptr);
    q.SetScientificFormat(c.Scientific);
    q.SetUseThousandSeparator(c.Thousands);
    q.SetPrecision(Byte(c.Precision));
    Variant shown;
    q.PrepareDisplayValue(c.Value, shown, true);
    EXPECT_EQ(VarToStr(shown), c.Shown) << c.Value;
  }
}

TEST_F(CalcEditForm, TypingKeepsTheTextANumberOrTheStartOfOne) {
  struct Case {
    const char* Start;
    const char* Typed;
    const char* Result;
    int Beeps;
  } cases[] = {
      {"12", ".", "12.", 0},  {"12.", ".", "12.", 1},  {"", "-", "-", 0},     {"5", "a", "5", 1},
      {"", "1e5", "1e5", 0},  {"", "-.5", "-.5", 0},   {"", "e", "", 1},      {"1e5", "-", "1e5", 1},
      {"", "1e999", "1e99", 1}, {"3", "--", "3", 2},
  };
  Focus();
  for (const Case& c : cases) {
    Ed->SetText(c.Start);
    Ed->SetSelStart(int(String(c.Start).size()));
    Ed->SetSelLength(0);
    Beeps.Count = 0;
    Chars(c.Typed);
    EXPECT_EQ(Ed->Text(), c.Result) << c.Start << " + " << c.Typed;
    EXPECT_EQ(Beeps.Count, c.Beeps) << c.Start << " + " << c.Typed;
  }
  // A selection is replaced by what is typed.
  Ed->SetText("123");
  Ed->SetSelStart(0);
  Ed->SetSelLength(3);
  Chars("-");
  EXPECT_EQ(Ed->Text(), "-");
}

TEST_F(CalcEditForm, PastingTakesANumberAndLeavesTheAmountForAnythingElse) {
  Focus();
  Ed->SetText("100");
  stdtest::SetClipboard("¥1234.5");
  Ed->ClipboardPaste();
  EXPECT_EQ(Ed->Text(), "1234.5");
  stdtest::SetClipboard("abc");
  Ed->ClipboardPaste();
  EXPECT_EQ(Ed->Text(), "1234.5");
  EXPECT_EQ(Beeps.Count, 1);
}

TEST_F(CalcEditForm, ATextThatIsNoNumberFailsValidationAndStays) {
  std::vector<String> shown;
  const TExceptionEvent old = Application->OnException;
  TScopeExit restore([&] { Application->OnException = old; });
  Application->OnException = TExceptionEvent::Lambda([&](TObject*, Exception* E) { shown.push_back(E->Message()); });
  Focus();
  Ed->SetText("abc");
  Leave();
  EXPECT_EQ(shown, std::vector<String>{"无效的输入值。 使用ESC键放弃改变"});
  EXPECT_EQ(Ed->Text(), "abc");
  EXPECT_TRUE(Ed->Focused()) << "the focus comes back";
  EXPECT_EQ(Ed->Value(), 0);
  // Corrected, it leaves.
  Ed->SetText("7");
  Leave();
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_FALSE(Ed->Focused());
  EXPECT_DOUBLE_EQ(double(Ed->Value()), 7);
}

TEST_F(CalcEditForm, F4OpensTheCalculatorOnTheEditorsNumberAndEnterKeepsTheResult) {
  Focus();
  Ed->SetText("100");
  Open();
  ASSERT_TRUE(Ed->IsPopupOpen());
  EXPECT_TRUE(Ed->Calculator()->Focused());
  EXPECT_EQ(Ed->Calculator()->CalcState, cstReady);
  Chars("+5=");
  EXPECT_EQ(Ed->Text(), "105") << "every step shows in the editor";
  TypeKey(Qt::Key_Return);
  Pump();
  EXPECT_FALSE(Ed->IsPopupOpen());
  EXPECT_EQ(Ed->LastCloseReason, pcrAccept);
  EXPECT_EQ(Ed->Text(), "105");
  Leave();
  EXPECT_DOUBLE_EQ(double(Ed->Value()), 105);

  // With QuickClose "=" itself accepts and closes.
  P()->SetQuickClose(true);
  Focus();
  Open();
  ASSERT_TRUE(Ed->IsPopupOpen());
  Chars("*2=");
  EXPECT_FALSE(Ed->IsPopupOpen());
  EXPECT_EQ(Ed->LastCloseReason, pcrAccept);
  EXPECT_EQ(Ed->Text(), "210");
}

TEST_F(CalcEditForm, EscapeAndAnErrorPutBackTheAmountTheEditorHad) {
  struct Case {
    const char* Keys;
    int CloseKey;
    TcxPopupCloseReason Reason;
    int Beeps;
  } cases[] = {
      {"7", Qt::Key_Escape, pcrCancel, 0},
      {"1/0", Qt::Key_Return, pcrAccept, 2},  // the error's beep, then the refused result's
      {"1/0=", Qt::Key_F4, pcrToggle, 2},
  };
  for (const Case& c : cases) {
    Focus();
    Ed->SetText("100");
    Open();
    ASSERT_TRUE(Ed->IsPopupOpen()) << c.Keys;
    Beeps.Count = 0;
    Chars(c.Keys);
    TypeKey(c.CloseKey);
    Pump();
    EXPECT_FALSE(Ed->IsPopupOpen()) << c.Keys;
    EXPECT_EQ(Ed->LastCloseReason, c.Reason) << c.Keys;
    EXPECT_EQ(Ed->Text(), "100") << c.Keys;
    EXPECT_DOUBLE_EQ(double(Ed->Value()), 100) << c.Keys;
    EXPECT_EQ(Beeps.Count, c.Beeps) << c.Keys;
    Leave();
    EXPECT_EQ(Ed->Text(), "100") << c.Keys;
  }
}

TEST_F(CalcEditForm, AReadOnlyEditorOpensNothing) {
  P()->SetReadOnly(true);
  Focus();
  Open();
  EXPECT_FALSE(Ed->IsPopupOpen());
  guitest::Click(Ed, {Ed->Width() - 6, Ed->Height() / 2});
  Pump();
  EXPECT_FALSE(Ed->IsPopupOpen());
  P()->SetReadOnly(false);
  guitest::Click(Ed, {Ed->Width() - 6, Ed->Height() / 2});
  Pump();
  EXPECT_TRUE(Ed->IsPopupOpen()) << "the button opens it when editing is allowed";
}

TEST_F(CalcEditForm, ThePopupCalculatorFollowsTheEditorsSettingsAndStartsCleared) {
  P()->SetBeepOnError(false);
  P()->SetPrecision(0);
  EXPECT_FALSE(Ed->Calculator()->ErrorBeep);
  EXPECT_EQ(Ed->Calculator()->CalcPrecision, 15) << "0 digits means 15, as for the display";
  P()->SetPrecision(6);
  Focus();
  Ed->SetText("2");
  Open();
  Chars("/3=");
  EXPECT_EQ(Ed->Text(), "0.666667");
  Chars("C");
  TypeKey(Qt::Key_M, Qt::ControlModifier);  // MS of 0 keeps the memory empty
  Chars("4");
  TypeKey(Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(Ed->Calculator()->MemoryValue, 4);
  TypeKey(Qt::Key_Escape);
  Pump();
  Open();
  EXPECT_EQ(Ed->Calculator()->MemoryValue, 0) << "each opening clears the memory";
  // The popup has the calculator's size, laid out for the editor's font.
  const int lineHeight = 2 * ScreenCanvas()->FontLineHeight(Ed->ActiveEditStyle()->VisibleFont());
  EXPECT_EQ(Ed->Calculator()->KeyHeight, lineHeight);
  EXPECT_EQ(Ed->Calculator()->ClientWidth(), Ed->Calculator()->CalcClientWidth);
}

TEST_F(CalcEditForm, ScreenshotOfTheOpenCalculator) {
  Focus();
  Ed->SetText("1234.5");
  Open();
  ASSERT_TRUE(Ed->IsPopupOpen());
  TcxCustomEditPopupWindow* popup = Ed->PopupForm();
  // The form and the popup on one picture, each at its place on the screen.
  QImage formImg = Grab();
  QImage popupImg = guitest::WidgetOf(popup)->grab().toImage();
  const TPoint formAt = Form->ClientToScreen({0, 0});
  const TPoint popupAt = popup->ClientToScreen({0, 0});
  QImage all(std::max(formImg.width(), popupAt.X - formAt.X + popupImg.width()),
             std::max(formImg.height(), popupAt.Y - formAt.Y + popupImg.height()), QImage::Format_RGB32);
  all.fill(Qt::white);
  QPainter painter(&all);
  painter.drawImage(0, 0, formImg);
  painter.drawImage(popupAt.X - formAt.X, popupAt.Y - formAt.Y, popupImg);
  painter.end();
  QDir().mkpath("screens");
  ASSERT_TRUE(all.save("screens/calc_edit_open.png"));
  // The popup sits below the editor and shows the keys: the "=" key's red caption is there.
  EXPECT_GE(popupAt.Y, Ed->ClientToScreen({0, Ed->Height()}).Y - 1);
  const TRect eq = Ed->Calculator()->Keys[ckEquals].Bounds;
  bool red = false;
  for (int y = eq.Top + 2; y < eq.Bottom - 2 && !red; ++y)
    for (int x = eq.Left + 2; x < eq.Right - 2 && !red; ++x) {
      const TPoint p = Ed->Calculator()->ClientToScreen({x, y});
      const QColor c(popupImg.pixel(p.X - popupAt.X, p.Y - popupAt.Y));
      red = c.red() > 150 && c.green() < 100 && c.blue() < 100;
    }
  EXPECT_TRUE(red);
}

// ================================================================ a legacy record window

class TCalcLegacyForm : public TForm {
  KELM_CLASS(TCalcLegacyForm, TForm)
public:
  using TForm::TForm;
  TcxCalcEdit* Edit_HTmoney = nullptr;
  TcxCalcEdit* Edit_bgmoney = nullptr;
};

const char* const kCalcLegacyLayout =
    "object CalcLegacyForm: TCalcLegacyForm\n"
    "  Left = 40\n"
    "  Top = 40\n"
    "  BorderStyle = bsNone\n"
    "  ClientHeight = 200\n"
    "  ClientWidth = 320\n"
    "  object Edit_HTmoney: TcxCalcEdit\n"
    "    Left = 10\n"
    "    Top = 10\n"
    "    EditValue = 0.000000000000000000\n"
    "    Style.BorderStyle = ebs3D\n"
    "    Style.ButtonStyle = bts3D\n"
    "    TabOrder = 0\n"
    "    Width = 121\n"
    "  end\n"
    "  object Edit_bgmoney: TcxCalcEdit\n"
    "    Left = 10\n"
    "    Top = 40\n"
    "    EditValue = 0.000000000000000000\n"
    "    Style.BorderStyle = ebs3D\n"
    "    Style.ButtonStyle = bts3D\n"
    "    TabOrder = 1\n"
    "    Width = 121\n"
    "  end\n"
    "end\n";

}  // namespace

KELM_PUBLISH(TCalcLegacyForm) {
  b.Field("Edit_HTmoney", &TCalcLegacyForm::Edit_HTmoney);
  b.Field("Edit_bgmoney", &TCalcLegacyForm::Edit_bgmoney);
}

TEST(CalcEditLegacyWindow, AmountsLoadAsZeroTakeNumbersAsTextAndTakeTheCalculatorsResult) {
  auto* form = new TCalcLegacyForm(Application);
  TScopeExit free([&] {
    for (TcxCustomPopupWindow* p : std::vector<TcxCustomPopupWindow*>(OpenPopupWindows())) p->DismissPopup();
    delete form;
    Application->ProcessMessages();
  });
  ReadComponentFromText(form, kCalcLegacyLayout);
  form->Show();
  Application->ProcessMessages();
  TcxCalcEdit* money = form->Edit_HTmoney;
  ASSERT_NE(money, nullptr);
  EXPECT_EQ(money->Text(), "0");
  EXPECT_EQ(money->Style()->BorderStyle(), ebs3D);
  EXPECT_EQ(money->Style()->ButtonStyle(), bts3D);
  EXPECT_EQ(StrToFloat(form->Edit_bgmoney->Text()), 0);
  money->SetText("2500.5");
  EXPECT_EQ(money->Text(), "2500.5");
  EXPECT_EQ(StrToFloat(money->Text()), 2500.5L);

  // Through the keyboard: the calculator opens on F4 and its result stays.
  money->SetFocus();
  Application->ProcessMessages();
  TypeKey(Qt::Key_F4);
  for (int i = 0; i < 3; ++i) Application->ProcessMessages();
  ASSERT_TRUE(money->IsPopupOpen());
  TypeKey(Qt::Key_Asterisk, Qt::ShiftModifier, "*");
  TypeKey(Qt::Key_2, Qt::NoModifier, "2");
  TypeKey(Qt::Key_Return);
  for (int i = 0; i < 3; ++i) Application->ProcessMessages();
  EXPECT_FALSE(money->IsPopupOpen());
  form->Edit_bgmoney->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(money->Text(), "5001");
  EXPECT_EQ(StrToFloat(money->Text()), 5001);
  // Nothing but what the layout gave is written back.
  const String text = WriteComponentToText(form);
  EXPECT_EQ(text.find("Properties."), String::npos) << text;
}

TEST(CalcEditRegistration, TheEditorIsRegisteredForLayoutsAndTheRepository) {
  EXPECT_EQ(FindClass("TcxCalcEdit"), TcxCalcEdit::StaticClass());
  const int i = EditPropertiesRegistry()->IndexOfClass(TcxCalcEditProperties::StaticClass());
  ASSERT_GE(i, 0);
  EXPECT_EQ(EditPropertiesRegistry()->Descriptions(i), "CalcEdit|Represents an edit control with a dropdown calculator window");
  TcxCalcEditProperties p(nullptr);
  EXPECT_EQ(p.GetEditorClass(), TcxCalcEdit::StaticClass());
  EXPECT_FALSE(p.PopupSizeable());
  EXPECT_FALSE(p.ImmediateDropDown());
  EXPECT_TRUE(p.BeepOnError());
}
