// The date edit as the legacy record windows use it: dates in and out through GetDateValue
// and SetDateValue, typed and stepped with keys, picked from the drop-down calendar or the
// dialog, re-masked when the locale changes, and checked on exit. The clock stands at
// 2026-03-15 and each case sets its locale.
#include "ControlsTestUtil.h"
#include "DateTestUtil.h"

#include "controls/ToolEdit.h"
#include "core/StringList.h"
#include "gui/Application.h"
#include "core/LayoutText.h"
#include "core/Scope.h"

#include <QtCore/QTimer>

using namespace ctltest;
using namespace datetest;
using namespace guitest;
using stdtest::Key;

namespace {

struct DateEditFixture : stdtest::FormFixture {
  TDateScope Dates;
  TDateEdit* Edit = nullptr;
  int Changes = 0;
  void SetUp() override {
    FormFixture::SetUp();
    Edit = Make();
  }
  TDateEdit* Make(TRect R = Bounds(10, 10, 120, 21)) {
    auto* e = Add<TDateEdit>(R);
    e->SetNumGlyphs(2);
    e->OnChange = TNotifyEvent::Lambda([this](TObject*) { ++Changes; });
    e->SetFocus();
    Application->ProcessMessages();
    return e;
  }
  void PressButton() {
    TEditButton* b = Edit->Button();
    Click(b, {b->Width() / 2, b->Height() / 2});
  }
  // Picks day D in the open drop-down.
  void PickDay(int D) {
    auto* popup = dynamic_cast<TPopupCalendar*>(Edit->Popup());
    ASSERT_TRUE(popup && Edit->PopupVisible());
    TRxCalendar* c = popup->Calendar();
    const int index = D - c->MonthOffset();
    TRect r = c->CellRect(index % 7, index / 7 + 1);
    Click(c, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  }
};

}  // namespace

TEST_F(DateEditFixture, DatesGoInAndOut) {
  EXPECT_EQ(Edit->EditMask(), "!9999/99/99;1; ");
  EXPECT_EQ(Edit->DateFormat(), "YYYY/MM/DD");
  EXPECT_EQ(Edit->GetDateValue(), NullDate) << "a blank edit is no date";
  EXPECT_FALSE(Edit->TextHasDate());
  Edit->SetDefaultToday(true);
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2026, 3, 15));
  Edit->SetDefaultToday(false);

  Edit->SetDateValue(Ymd(2024, 2, 29) + 0.75);
  EXPECT_EQ(Edit->Text(), "2024-02-29") << "the time is dropped";
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2024, 2, 29));
  EXPECT_TRUE(Edit->Modified());
  Edit->SetDateValue(Ymd(2024, 2, 29) + 0.25);
  EXPECT_FALSE(Edit->Modified()) << "the same date shown again";
  Edit->SetDateValue(NullDate);
  EXPECT_FALSE(Edit->TextHasDate()) << "NullDate empties the field";
  EXPECT_EQ(Edit->GetDateValue(), NullDate);
  Edit->SetDateValue(-800000.0);
  EXPECT_EQ(Edit->GetDateValue(), NullDate) << "a date before year 1 is no date";
  Edit->SetDefaultToday(true);
  Edit->SetDateValue(NullDate);
  EXPECT_EQ(Edit->Text(), "2026-03-15") << "with DefaultToday no date shows today";

  // Typed text is read by the field's format.
  Edit->SetDefaultToday(false);
  Edit->SetText("");
  Edit->SelectAll();
  stdtest::Type("20250704");
  EXPECT_EQ(Edit->Text(), "2025-07-04");
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2025, 7, 4));
}

TEST_F(DateEditFixture, KeysStepTheDate) {
  struct {
    TDateTime From;
    int Key;
    Qt::KeyboardModifiers Mods;
    TDateTime To;
  } cases[] = {{NullDate, Qt::Key_Plus, Qt::KeypadModifier, Ymd(2026, 3, 16)},
               {Ymd(2025, 12, 31), Qt::Key_Plus, Qt::KeypadModifier, Ymd(2026, 1, 1)},
               {Ymd(2026, 1, 1), Qt::Key_Minus, Qt::KeypadModifier, Ymd(2025, 12, 31)},
               {Ymd(2025, 12, 31), Qt::Key_Plus, Qt::KeypadModifier | Qt::ShiftModifier, Ymd(2025, 12, 31)}};
  for (auto& c : cases) {
    Edit->SetDateValue(c.From);
    Key(c.Key, c.Mods);
    EXPECT_EQ(Edit->GetDateValue(), c.To) << DateToStr(c.From) << " key " << c.Key;
  }
  Edit->SetDateValue(Ymd(2020, 5, 5));
  stdtest::Type("t");
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2026, 3, 15));
  stdtest::Type("+");
  EXPECT_EQ(Edit->Text(), "2026-03-15") << "'+' is no character of a date";
}

TEST_F(DateEditFixture, TheDropDownOpensOnTheDateAndAcceptsPicks) {
  PressButton();
  auto* popup = dynamic_cast<TPopupCalendar*>(Edit->Popup());
  ASSERT_TRUE(popup);
  ASSERT_TRUE(Edit->PopupVisible());
  EXPECT_EQ(popup->Calendar()->CalendarDate(), Ymd(2026, 3, 15)) << "a blank edit opens on today";
  Key(Qt::Key_Escape);
  EXPECT_FALSE(Edit->TextHasDate());

  Edit->SetDateValue(Ymd(2026, 3, 10));
  Changes = 0;
  PressButton();
  EXPECT_EQ(popup->Calendar()->CalendarDate(), Ymd(2026, 3, 10));
  PickDay(10);
  EXPECT_FALSE(Edit->PopupVisible());
  EXPECT_EQ(Changes, 0) << "the date shown was picked again";
  PressButton();
  Key(Qt::Key_Right);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2026, 3, 10)) << "keys move the open calendar, not the field";
  EXPECT_EQ(Changes, 0);
  Key(Qt::Key_Down, Qt::AltModifier);
  EXPECT_TRUE(Edit->PopupVisible()) << "Alt+Down goes to the calendar while it is open";
  Key(Qt::Key_Plus, Qt::KeypadModifier);
  Key(Qt::Key_Return);
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2026, 4, 19)) << "Right, Page Down, Down a week, + a day";
  EXPECT_EQ(Changes, 1);
  EXPECT_TRUE(Edit->Modified());
  EXPECT_EQ(Edit->SelLength(), Length(Edit->Text())) << "the taken date is selected";

  // An OnAcceptDate that clears Action leaves the field as it is.
  int asked = 0;
  Edit->OnAcceptDate = TExecDateDialog::Lambda([&](TObject*, TDateTime& D, bool& Action) {
    ++asked;
    Action = D != Ymd(2026, 4, 20);
  });
  PressButton();
  PickDay(20);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2026, 4, 19));
  PressButton();
  PickDay(21);
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2026, 4, 21));
}

TEST_F(DateEditFixture, TheDialogStyleRunsTheDialog) {
  Edit->SetCalendarStyle(csDialog);
  EXPECT_EQ(Edit->Popup(), nullptr);
  Edit->SetDateValue(Ymd(2026, 3, 10));
  int asked = 0;
  bool refuse = true;
  Edit->OnAcceptDate = TExecDateDialog::Lambda([&](TObject*, TDateTime&, bool& Action) {
    ++asked;
    Action = !refuse;
  });
  for (bool r : {true, false}) {
    refuse = r;
    QTimer::singleShot(0, [] {
      WaitFor([] { return dynamic_cast<TSelectDateDlg*>(Screen->ActiveCustomForm()) != nullptr; }, 2000);
      Key(Qt::Key_PageDown);
      Key(Qt::Key_Return);
    });
    PressButton();
    EXPECT_EQ(Edit->GetDateValue(), r ? Ymd(2026, 3, 10) : Ymd(2026, 4, 10)) << "refused: " << r;
  }
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(Edit->Focused());
  Edit->SetCalendarStyle(csPopup);
  ASSERT_NE(Edit->Popup(), nullptr);
  EXPECT_EQ(Edit->PopupColor(), clBtnFace);
}

TEST_F(DateEditFixture, ReadOnlyOpensNothing) {
  int clicks = 0;
  Edit->OnButtonClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  Edit->SetReadOnly(true);
  PressButton();
  Key(Qt::Key_Down, Qt::AltModifier);
  EXPECT_FALSE(Edit->PopupVisible());
  EXPECT_EQ(clicks, 0);
  Edit->SetCalendarStyle(csDialog);
  PressButton();
  EXPECT_EQ(Screen->ActiveCustomForm(), Form) << "no dialog either";
}

TEST_F(DateEditFixture, TwoDigitYearsAndTheCenturyWindow) {
  TDateScope::Apply(kDMY);
  Edit->SetYearDigits(dyTwo);
  EXPECT_EQ(Edit->DateFormat(), "DD/MM/YY");
  EXPECT_EQ(Edit->EditMask(), "!99/99/99;1; ");
  struct {
    const char* Text;
    TDateTime Date;
  } cases[] = {{"31/12/65", Ymd(2065, 12, 31)}, {"31/12/66", Ymd(1966, 12, 31)}, {"01/01/00", Ymd(2000, 1, 1)}};
  for (auto& c : cases) {
    Edit->SetText(c.Text);
    EXPECT_EQ(Edit->GetDateValue(), c.Date) << c.Text;
  }
  Edit->SetDateValue(Ymd(1999, 7, 4));
  EXPECT_EQ(Edit->Text(), "04/07/99");
}

TEST_F(DateEditFixture, ALocaleChangeReMasksAndKeepsTheDate) {
  TForm* oldMain = Application->MainForm();
  Application->SetMainForm(Form);
  TScopeExit restoreMain([oldMain] { Application->SetMainForm(oldMain); });
  EXPECT_TRUE(Edit->Hooked());
  Edit->SetDateValue(Ymd(2024, 2, 29));
  Changes = 0;
  TFormatSettings dmy = FormatSettings();
  dmy.ShortDateFormat = "dd/mm/yyyy";
  dmy.DateSeparator = '/';
  SimulateLocaleChange(dmy);
  EXPECT_EQ(Edit->DateFormat(), "DD/MM/YYYY");
  EXPECT_EQ(Edit->EditMask(), "!99/99/9999;1; ");
  EXPECT_EQ(Edit->Text(), "29/02/2024");
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2024, 2, 29));
  const int hooks = Application->MainWindowHookCount();
  delete Edit;
  Edit = nullptr;
  EXPECT_EQ(Application->MainWindowHookCount(), hooks - 1) << "a freed edit leaves the main window";
}

TEST_F(DateEditFixture, CheckOnExitRefusesABadDateAndKeepsTheFocus) {
  auto* other = Add<TEdit>(Bounds(10, 60, 100, 21));
  Edit->SetCheckOnExit(true);
  Edit->SetFocus();
  Edit->SelectAll();
  stdtest::Type("20230229");
  TBoxRecorder boxes;
  other->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "''2023-02-29'' is not a valid date.");
  EXPECT_TRUE(WaitFor([&] { return Edit->Focused(); }, 2000)) << "the focus comes back";
  Edit->SelectAll();
  stdtest::Type("20240229");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(boxes.Calls.size(), 1u);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2024, 2, 29));
}

TEST_F(DateEditFixture, HintsBlanksAndCalendarSettings) {
  TStringList hints;
  hints.SetText("a\nb\nc\nd\ne\nf");
  Edit->SetCalendarHints(&hints);
  EXPECT_EQ(Edit->CalendarHints()->Count(), 4);
  EXPECT_EQ(Edit->CalendarHints()->Strings(3), "d");
  auto* popup = dynamic_cast<TPopupCalendar*>(Edit->Popup());
  EXPECT_EQ(popup->Buttons(2)->Hint(), "c");
  Edit->CalendarHints()->Add("g");
  EXPECT_EQ(Edit->CalendarHints()->Count(), 4) << "lines beyond the fourth go on every change";
  Edit->SetStartOfWeek(Sun);
  Edit->SetWeekendColor(clBlue);
  EXPECT_EQ(popup->Calendar()->StartOfWeek(), Sun);
  EXPECT_EQ(popup->Calendar()->WeekendColor(), clBlue);
  Edit->SetDateValue(Ymd(2026, 3, 15));
  Edit->SetBlanksChar('_');
  EXPECT_EQ(Edit->EditMask(), "!9999/99/99;1;_");
  EXPECT_EQ(Edit->GetDateValue(), Ymd(2026, 3, 15)) << "the date survives a new mask";
  Edit->SetDateValue(NullDate);
  EXPECT_EQ(Edit->EditText(), "____-__-__");
  EXPECT_FALSE(Edit->TextHasDate());
  Edit->SetBlanksChar('\x01');
  EXPECT_EQ(Edit->BlanksChar(), ' ') << "a control character becomes a space";
  EXPECT_EQ(Edit->ButtonWidth(), 21) << "max(14 + 6, 21)";
  EXPECT_EQ(Edit->Glyph()->Width(), 28);
  EXPECT_EQ(Edit->NumGlyphs(), 2);
}

// ================================================================ a legacy record window

namespace {

class TLegacyForm : public TForm {
  KELM_CLASS(TLegacyForm, TForm)
public:
  using TForm::TForm;
  TDateEdit* edtDate = nullptr;
  TRxSpeedButton* btnToday = nullptr;
  TRxCalendar* calPlan = nullptr;
  void btnTodayClick(TObject*) { edtDate->SetDateValue(Date()); }
};

const char* const LegacyLayout =
    "object LegacyForm: TLegacyForm\n"
    "  Left = 40\n"
    "  Top = 40\n"
    "  BorderStyle = bsNone\n"
    "  ClientHeight = 220\n"
    "  ClientWidth = 320\n"
    "  object edtDate: TDateEdit\n"
    "    Left = 10\n"
    "    Top = 10\n"
    "    Width = 121\n"
    "    Height = 21\n"
    "    NumGlyphs = 2\n"
    "    TabOrder = 0\n"
    "  end\n"
    "  object btnToday: TRxSpeedButton\n"
    "    Left = 140\n"
    "    Top = 10\n"
    "    Width = 60\n"
    "    Height = 21\n"
    "    Caption = '今天'\n"
    "    OnClick = btnTodayClick\n"
    "  end\n"
    "  object calPlan: TRxCalendar\n"
    "    Left = 10\n"
    "    Top = 40\n"
    "    Width = 220\n"
    "    Height = 150\n"
    "    StartOfWeek = Sun\n"
    "  end\n"
    "end\n";

}  // namespace

KELM_PUBLISH(TLegacyForm) {
  b.Field("edtDate", &TLegacyForm::edtDate);
  b.Field("btnToday", &TLegacyForm::btnToday);
  b.Field("calPlan", &TLegacyForm::calPlan);
  b.Method("btnTodayClick", &TLegacyForm::btnTodayClick);
}

TEST(LegacyDateWindow, LayoutsPlaceDateEditsThatTakeAndGiveDates) {
  TDateScope dates;
  RegisterDateEditControls();
  auto* form = new TLegacyForm(Application);
  TScopeExit free([&] {
    delete form;
    Application->ProcessMessages();
  });
  ReadComponentFromText(form, LegacyLayout);
  form->Show();
  Application->ProcessMessages();
  ASSERT_NE(form->edtDate, nullptr);
  ASSERT_NE(form->calPlan, nullptr);
  EXPECT_EQ(form->edtDate->GetDateValue(), NullDate);
  EXPECT_EQ(form->calPlan->StartOfWeek(), Sun);
  EXPECT_EQ(form->calPlan->MonthOffset(), 1) << "March 2026 starts on a Sunday";
  form->edtDate->SetDateValue(Ymd(2025, 6, 30));
  EXPECT_EQ(form->edtDate->GetDateValue(), Ymd(2025, 6, 30));
  String text = WriteComponentToText(form);
  EXPECT_NE(text.find("Text = '2025-06-30'"), String::npos) << text;
  EXPECT_EQ(text.find("GlyphKind"), String::npos) << "defaults are not written";
  EXPECT_EQ(text.find("ButtonWidth"), String::npos);
  Click(form->btnToday, {10, 10});
  EXPECT_EQ(form->edtDate->GetDateValue(), Ymd(2026, 3, 15));
  form->edtDate->SetDateValue(NullDate);
  text = WriteComponentToText(form);
  EXPECT_EQ(text.find("Text ="), String::npos) << "an empty date writes no text\n" << text;
}

TEST_F(DateEditFixture, ScreenshotOfDateEdits) {
  Edit->SetDateValue(Ymd(2026, 3, 15));
  auto* disabled = Make(Bounds(10, 40, 120, 21));
  disabled->SetDateValue(Ymd(2024, 2, 29));
  disabled->SetEnabled(false);
  auto* blank = Make(Bounds(10, 70, 120, 21));
  blank->SetBlanksChar('_');
  Application->ProcessMessages();
  Shot("date_edits");
  // The calendar page glyph: its red top in the enabled button, gray in the disabled one.
  auto glyphPixels = [&](TDateEdit* e, unsigned Colour) {
    int n = 0;
    TEditButton* b = e->Button();
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x)
        if (HexOf(Pixel(b, x, y)) == Colour) ++n;
    return n;
  };
  EXPECT_GT(glyphPixels(Edit, 0xC00000u), 10);
  EXPECT_EQ(glyphPixels(disabled, 0xC00000u), 0) << "the disabled image is the second one";
  EXPECT_GT(glyphPixels(disabled, 0x808080u), 10);
}

TEST(DateEditClasses, EveryDeclaredDefaultIsWhatANewControlHolds) {
  TDateScope dates;
  RegisterDateEditControls();
  auto* form = new TForm(Application);
  TScopeExit free([&] { delete form; });
  int checked = 0;
  for (const char* name : {"TDateEdit", "TRxSpeedButton", "TRxTimerSpeedButton", "TRxCalendar"}) {
    TClass c = FindClass(name);
    ASSERT_NE(c, nullptr) << name << " is registered for layouts";
    TObject* o = c->Create(form);
    for (const TPropInfo* p : c->Properties())
      // The date edit's two images differ from the declared 1 on purpose: layouts carry
      // "NumGlyphs = 2", and reading it back gives the same two.
      if (p->Writable() && p->IsOrdinal() && p->HasDefault && !(String(name) == "TDateEdit" && p->Name == "NumGlyphs")) {
        ++checked;
        EXPECT_EQ(p->Access->GetOrd(o), p->OrdDefault) << name << "." << p->Name;
      }
    delete o;
  }
  EXPECT_GT(checked, 60);
}
