// The month calendar, its drop-down and the date dialog, driven with real keys and clicks;
// the clock stands at 2026-03-15.
#include "ControlsTestUtil.h"
#include "DateTestUtil.h"

#include "controls/PickDate.h"
#include "core/StringList.h"
#include "gui/StdCtrls.h"

#include <QtCore/QTimer>

using namespace ctltest;
using namespace datetest;
using namespace guitest;
using stdtest::Key;

namespace {

struct CalendarFixture : stdtest::FormFixture {
  TDateScope Dates;
  TRxCalendar* Cal = nullptr;
  int Changes = 0;
  void SetUp() override {
    FormFixture::SetUp();
    Cal = Add<TRxCalendar>(Bounds(10, 10, 220, 150));
    Cal->OnChange = TNotifyEvent::Lambda([this](TObject*) { ++Changes; });
    Application->ProcessMessages();
  }
  // The centre of the cell that shows day D.
  TPoint CellOf(int D) {
    const int index = D - Cal->MonthOffset();
    TRect r = Cal->CellRect(index % 7, index / 7 + 1);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
};

}  // namespace

TEST_F(CalendarFixture, LaysAMonthOutFromItsFirstWeekday) {
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 3, 15)) << "a new calendar shows today";
  EXPECT_TRUE(Cal->UseCurrentDate());
  EXPECT_EQ(Cal->MonthOffset(), -5) << "1 March 2026 is a Sunday, the last column of a Monday week";
  EXPECT_EQ(Cal->DayCellText(6, 1), "1");
  EXPECT_EQ(Cal->DayCellText(5, 1), "");
  EXPECT_EQ(Cal->DayCellText(1, 6), "31") << "the 31st needs the sixth week row";
  EXPECT_EQ(Cal->DayCellText(2, 6), "");
  EXPECT_EQ(Cal->DayCellText(0, 0), FormatSettings().ShortDayNames[1]) << "Monday first";
  EXPECT_EQ(Cal->DayCellText(6, 0), FormatSettings().ShortDayNames[0]);
  EXPECT_EQ(Cal->Col(), 6);
  EXPECT_EQ(Cal->Row(), 3) << "the 15th: (15 + 5) = row 2 of the weeks, column 6";
  Cal->SetStartOfWeek(Sun);
  EXPECT_EQ(Cal->MonthOffset(), 1);
  EXPECT_EQ(Cal->DayCellText(0, 1), "1");
}

TEST_F(CalendarFixture, SettersKeepTheDateValidAndIgnoreNonsense) {
  Cal->SetCalendarDate(Ymd(2024, 1, 31));
  Changes = 0;
  Cal->SetMonth(2);
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2024, 2, 29)) << "the day falls to the month's length";
  EXPECT_FALSE(Cal->UseCurrentDate());
  Cal->SetCalendarDate(Ymd(2026, 4, 30));
  Changes = 0;
  struct {
    int Part, Value;
  } ignored[] = {{3, 31}, {3, 30}, {3, 0}, {2, 13}, {2, 4}, {2, 0}, {1, 0}, {1, 2026}, {1, -5}};
  for (auto& c : ignored) {
    if (c.Part == 3) Cal->SetDay(c.Value);
    if (c.Part == 2) Cal->SetMonth(c.Value);
    if (c.Part == 1) Cal->SetYear(c.Value);
    EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 4, 30)) << c.Part << ":" << c.Value;
  }
  EXPECT_EQ(Changes, 0);
  Cal->SetCalendarDate(Ymd(2024, 2, 29));
  Changes = 0;
  Cal->StepYearForward();
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2025, 2, 28));
  EXPECT_EQ(Changes, 2) << "the day to 28, then the year";
  Cal->SetCalendarDate(Ymd(2026, 3, 31));
  Cal->StepMonthBack();
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 2, 28));
  Cal->StepMonthForward();
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 3, 28));
  Cal->SetCalendarDate(Ymd(2026, 12, 31));
  Cal->StepMonthForward();
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2027, 1, 31));
}

TEST_F(CalendarFixture, DayKeysCrossMonthsAndTGoesToToday) {
  Cal->SetFocus();
  struct {
    TDateTime From;
    int Key;
    Qt::KeyboardModifiers Mods;
    TDateTime To;
  } cases[] = {{Ymd(2026, 3, 1), Qt::Key_Left, Qt::NoModifier, Ymd(2026, 2, 28)},
               {Ymd(2026, 3, 31), Qt::Key_Right, Qt::NoModifier, Ymd(2026, 4, 1)},
               {Ymd(2026, 3, 10), Qt::Key_Plus, Qt::KeypadModifier, Ymd(2026, 3, 11)},
               {Ymd(2026, 3, 10), Qt::Key_Minus, Qt::KeypadModifier, Ymd(2026, 3, 9)},
               {Ymd(2026, 3, 10), Qt::Key_Down, Qt::NoModifier, Ymd(2026, 3, 17)},
               // With Shift the grid moves the cell: not past the month's first day.
               {Ymd(2026, 3, 1), Qt::Key_Left, Qt::ShiftModifier, Ymd(2026, 3, 1)}};
  for (auto& c : cases) {
    Cal->SetCalendarDate(c.From);
    Key(c.Key, c.Mods);
    EXPECT_EQ(Cal->CalendarDate(), c.To) << DateToStr(c.From) << " key " << c.Key;
  }
  Cal->SetCalendarDate(Ymd(2020, 1, 1));
  stdtest::Type("t");
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 3, 15));
}

TEST_F(CalendarFixture, ClicksPickDaysUnlessReadOnly) {
  Click(Cal, CellOf(20));
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 3, 20));
  const TRect empty = Cal->CellRect(0, 1);
  Click(Cal, {empty.Left + 3, empty.Top + 3});
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 3, 20)) << "a cell without a day is no day";
  Cal->SetReadOnly(true);
  Click(Cal, CellOf(5));
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 3, 20)) << "read-only refuses the cell";
  Cal->SetFocus();
  Key(Qt::Key_Right);
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 3, 21)) << "keys still work";
  stdtest::Type("T");
  EXPECT_EQ(Cal->CalendarDate(), Ymd(2026, 3, 15));
}

namespace {
struct PopupFixture : stdtest::FormFixture {
  TDateScope Dates;
  TEdit* Edit = nullptr;
  TPopupCalendar* Popup = nullptr;
  std::vector<bool> Closes;
  void SetUp() override {
    FormFixture::SetUp();
    Edit = Add<TEdit>(Bounds(10, 10, 120, 21));
    Popup = static_cast<TPopupCalendar*>(CreateDateDropDown(Edit, bdLeftToRight));
    Popup->OnPopupClose = TCloseUpEvent::Lambda([this](TObject*, bool Accept) { Closes.push_back(Accept); });
    Edit->SetFocus();
    Popup->SetPopupValue(Variant::FromDate(Ymd(2026, 3, 15)));
    TPoint p = Edit->ClientToScreen({0, Edit->Height()});
    Popup->ShowAt(p);
    Application->ProcessMessages();
  }
  TPoint CellOf(int D) {
    TRxCalendar* c = Popup->Calendar();
    const int index = D - c->MonthOffset();
    TRect r = c->CellRect(index % 7, index / 7 + 1);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
};
}  // namespace

TEST_F(PopupFixture, PicksOnlyDaysWithThePlainLeftButton) {
  TLocCalendar* cal = Popup->Calendar();
  EXPECT_EQ(Popup->Width(), 187);
  EXPECT_EQ(Popup->Height(), 124);
  EXPECT_EQ(Popup->TitleLabel()->Caption(), FormatDateTime("MMMM, YYYY", Ymd(2026, 3, 15)));
  EXPECT_EQ(Popup->Buttons(0)->Hint(), "Previous Year|");
  EXPECT_EQ(Popup->Buttons(3)->Hint(), "Next Year|");
  const TRect header = cal->CellRect(2, 0), empty = cal->CellRect(0, 1);
  Click(cal, {header.Left + 3, header.Top + 3});
  Click(cal, {empty.Left + 3, empty.Top + 3});
  Click(cal, CellOf(9), Qt::RightButton);
  SendMouse(cal, QEvent::MouseButtonPress, CellOf(10), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier, 1000);
  SendMouse(cal, QEvent::MouseButtonRelease, CellOf(10), Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier, 5);
  EXPECT_TRUE(Closes.empty()) << "day names, empty cells, the right button and Shift pick nothing";
  EXPECT_TRUE(Edit->Focused()) << "the drop-down never takes the focus";
  Click(cal, CellOf(20));
  ASSERT_EQ(Closes.size(), 1u);
  EXPECT_TRUE(Closes[0]);
  EXPECT_EQ(Popup->GetPopupValue().AsDateTime(), Ymd(2026, 3, 20));
  EXPECT_TRUE(Edit->Focused());
}

TEST_F(PopupFixture, ValuesPagesAndHints) {
  Popup->SetPopupValue(Variant());
  EXPECT_EQ(Popup->GetPopupValue().AsDateTime(), Ymd(2026, 3, 15)) << "no value shows today";
  Popup->SetPopupValue(Variant("x"));
  EXPECT_EQ(Popup->GetPopupValue().AsDateTime(), Ymd(2026, 3, 15)) << "a bad value shows today";
  Popup->SetPopupValue(Variant::FromDate(Ymd(2024, 2, 29)));
  Word key = VK_NEXT;
  Popup->KeyDown(key, {});
  EXPECT_EQ(Popup->GetPopupValue().AsDateTime(), Ymd(2024, 3, 29));
  key = VK_PRIOR;
  Popup->KeyDown(key, {ssCtrl});
  EXPECT_EQ(Popup->GetPopupValue().AsDateTime(), Ymd(2023, 3, 29));
  EXPECT_EQ(Popup->TitleLabel()->Caption(), FormatDateTime("MMMM, YYYY", Ymd(2023, 3, 29)));
  Click(Popup->Buttons(2), {5, 5});
  EXPECT_EQ(Popup->GetPopupValue().AsDateTime(), Ymd(2023, 4, 29)) << "the next-month button";
  TStringList hints;
  hints.SetText("一\n\n三\n四\n五\n六");
  ConfigureDateDropDown(Popup, Sun, TDaysOfWeek{Sat, Sun}, clBlue, &hints);
  EXPECT_EQ(Popup->Buttons(0)->Hint(), "一");
  EXPECT_EQ(Popup->Buttons(1)->Hint(), "Previous Month|") << "an empty line keeps the hint";
  EXPECT_EQ(Popup->Buttons(3)->Hint(), "四");
  EXPECT_EQ(Popup->Calendar()->StartOfWeek(), Sun);
  EXPECT_EQ(Popup->Calendar()->WeekendColor(), clBlue);
  QDir().mkpath("screenshots");
  Popup->SetPopupValue(Variant::FromDate(Ymd(2026, 3, 15)));
  Application->ProcessMessages();
  EXPECT_TRUE(GrabToPng(Popup, "screenshots/date_dropdown_calendar.png"));
}

namespace {
// Runs the date dialog while Steps drive it.
bool RunDialog(TDateTime& D, std::function<void()> Steps) {
  QTimer::singleShot(0, [Steps] {
    WaitFor([] { return Screen->ActiveCustomForm() && dynamic_cast<TSelectDateDlg*>(Screen->ActiveCustomForm()); }, 2000);
    Application->ProcessMessages();
    Steps();
  });
  return RunDateDialog(D, "", Mon, TDaysOfWeek{Sun}, TColor(255), nullptr);
}
}  // namespace

TEST(DateDialog, OpensOnTodayForNoDateAndEscapeLeavesTheDate) {
  TDateScope dates;
  TDateTime d = NullDate;
  TDateTime shown = -1;
  bool ok = RunDialog(d, [&] {
    auto* dlg = dynamic_cast<TSelectDateDlg*>(Screen->ActiveCustomForm());
    shown = dlg->Calendar()->CalendarDate();
    EXPECT_EQ(dlg->Caption(), "Select a Date");
    EXPECT_EQ(dlg->ClientWidth(), 222);
    EXPECT_EQ(dlg->ClientHeight(), 154);
    Key(Qt::Key_PageDown);
    Key(Qt::Key_Escape);
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(shown, Ymd(2026, 3, 15));
  EXPECT_EQ(d, NullDate);

  d = Ymd(2024, 1, 31);
  ok = RunDialog(d, [&] {
    EXPECT_TRUE(dynamic_cast<TRxCalendar*>(Screen->ActiveControl())) << "the calendar has the focus";
    Key(Qt::Key_PageDown);
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    Key(Qt::Key_Right);
    Key(Qt::Key_Return);
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(d, Ymd(2025, 3, 1)) << "next month (29 Feb 2024), next year (28 Feb 2025), next day";
}

TEST(DateDialog, Screenshot) {
  TDateScope dates;
  TDateTime d = Ymd(2026, 3, 15);
  RunDialog(d, [&] {
    QDir().mkpath("screenshots");
    EXPECT_TRUE(GrabToPng(Screen->ActiveCustomForm(), "screenshots/date_dialog.png"));
    Key(Qt::Key_Escape);
  });
}
