// The month calendar (hit codes, the MCM_ messages, clicks and keys) and the date-time picker
// (its format, field editing by keys, the check box, the drop-down calendar, the DTM_
// messages and reading it from a layout). The clock is fixed, so "today" is known.
#include "ListsTestUtil.h"

#include "core/ClassBuilder.h"
#include "gui/Calendar.h"
#include "core/Filer.h"
#include "core/SysUtils.h"

using namespace guitest;
using namespace stdtest;
using namespace liststest;

namespace {

TDateTime D(int y, int m, int d) { return EncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d)); }

String Ymd(TDateTime v) { return FormatDateTime("yyyy-mm-dd", v); }

struct CalendarFixture : FormFixture {
  TMonthCalendar* Cal = nullptr;
  int Changes = 0;
  void SetUp() override {
    SetClock([] { return D(2024, 3, 8) + 0.5; });
    FormFixture::SetUp();
    Cal = Add<TMonthCalendar>(Rect(8, 8, 8, 8));
    Cal->SetAutoSize(true);
    Cal->SetDate(D(2024, 3, 8));
    Cal->OnChange = TNotifyEvent::Lambda([this](TObject*) { ++Changes; });
  }
  void TearDown() override {
    FormFixture::TearDown();
    SetClock(nullptr);
  }
  UINT Hit(TPoint p, SYSTEMTIME* st = nullptr) {
    MCHITTESTINFO h;
    h.pt = p;
    UINT r = static_cast<UINT>(Cal->Perform(MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&h)));
    if (st) *st = h.st;
    return r;
  }
  // The client point of a shown day, found through the hit test.
  TPoint DayPoint(TDateTime day) {
    for (int y = 0; y < Cal->ClientHeight(); y += 2)
      for (int x = 0; x < Cal->ClientWidth(); x += 2) {
        SYSTEMTIME st;
        UINT h = Hit({x, y}, &st);
        if ((h & MCHT_CALENDARDATE) == MCHT_CALENDARDATE && SystemTimeToDateTime(st) == day) return {x + 3, y + 3};
      }
    ADD_FAILURE() << "day not shown: " << Ymd(day);
    return {};
  }
};

}  // namespace

TEST_F(CalendarFixture, HitCodesNameEveryPartOfTheCalendar) {
  TRect req;
  Cal->Perform(MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&req));
  TRect nc = Cal->NonClientMargins();
  EXPECT_EQ(Cal->Width(), req.Width() + nc.Left + nc.Right) << "AutoSize takes the smallest whole month";
  int cellW = (req.Width() - 8) / 7;
  // Down the first column: the previous-month button, the weekday header, six weeks, today.
  std::vector<UINT> codes;
  for (int y = 0; y < Cal->ClientHeight(); ++y) {
    UINT h = Hit({4 + cellW / 2, y});
    if (codes.empty() || codes.back() != h) codes.push_back(h);
  }
  auto has = [&](UINT c) { return std::find(codes.begin(), codes.end(), c) != codes.end(); };
  EXPECT_TRUE(has(MCHT_TITLEBTNPREV));
  EXPECT_TRUE(has(MCHT_CALENDARDAY));
  EXPECT_TRUE(has(MCHT_CALENDARDATEPREV)) << "March 2024 starts with February's last days";
  EXPECT_TRUE(has(MCHT_CALENDARDATE));
  EXPECT_TRUE(has(MCHT_CALENDARDATENEXT));
  EXPECT_TRUE(has(MCHT_TODAYLINK));
  EXPECT_LT(std::find(codes.begin(), codes.end(), MCHT_TITLEBTNPREV), std::find(codes.begin(), codes.end(), MCHT_CALENDARDAY));
  EXPECT_LT(std::find(codes.begin(), codes.end(), MCHT_CALENDARDAY), std::find(codes.begin(), codes.end(), MCHT_CALENDARDATEPREV));
  // The dates under the points: weeks begin on Monday.
  SYSTEMTIME st;
  TPoint first = DayPoint(D(2024, 2, 26));
  EXPECT_EQ(Hit(first, &st), MCHT_CALENDARDATEPREV);
  EXPECT_EQ(st.wDayOfWeek, 1) << "Monday";
  TPoint header{first.X, 0};
  for (int y = 0; y < first.Y; ++y)
    if (Hit({first.X, y}, &st) == MCHT_CALENDARDAY) header.Y = y;
  Hit(header, &st);
  EXPECT_EQ(st.wDayOfWeek, 1) << "the first column's header is Monday";
  EXPECT_EQ(Hit({Cal->ClientWidth() - 8, 8}), MCHT_TITLEBTNNEXT);
  EXPECT_EQ(Hit({-5, 5}), MCHT_NOWHERE);
}

TEST_F(CalendarFixture, ClicksPickDaysAndTheArrowsTurnMonths) {
  Click(Cal, DayPoint(D(2024, 3, 20)));
  Application->ProcessMessages();
  EXPECT_EQ(Ymd(Cal->Date()), "2024-03-20");
  EXPECT_EQ(Changes, 1);
  // The next arrow only turns the month.
  Click(Cal, {Cal->ClientWidth() - 8, 8});
  Application->ProcessMessages();
  EXPECT_EQ(Ymd(Cal->VisibleMonth()), "2024-04-01");
  EXPECT_EQ(Ymd(Cal->Date()), "2024-03-20");
  EXPECT_EQ(Changes, 1);
  // A day of the following month shown at the end picks it and turns to its month.
  Click(Cal, DayPoint(D(2024, 5, 2)));
  Application->ProcessMessages();
  EXPECT_EQ(Ymd(Cal->Date()), "2024-05-02");
  EXPECT_EQ(Ymd(Cal->VisibleMonth()), "2024-05-01");
  // The today line picks today.
  TPoint today;
  for (int y = Cal->ClientHeight() - 1; y > 0; --y)
    if (Hit({20, y}) == MCHT_TODAYLINK) today = {20, y};
  Click(Cal, today);
  Application->ProcessMessages();
  EXPECT_EQ(Ymd(Cal->Date()), "2024-03-08");
  EXPECT_EQ(Changes, 3);
}

TEST_F(CalendarFixture, KeysMoveTheSelectedDay) {
  Cal->SetFocus();
  struct Step {
    int key;
    Qt::KeyboardModifiers mods;
    const char* day;
  };
  const Step steps[] = {{Qt::Key_Right, Qt::NoModifier, "2024-03-09"}, {Qt::Key_Down, Qt::NoModifier, "2024-03-16"},
                        {Qt::Key_Left, Qt::NoModifier, "2024-03-15"},  {Qt::Key_Up, Qt::NoModifier, "2024-03-08"},
                        {Qt::Key_PageDown, Qt::NoModifier, "2024-04-08"}, {Qt::Key_End, Qt::NoModifier, "2024-04-30"},
                        {Qt::Key_PageUp, Qt::ControlModifier, "2023-04-30"}};
  for (const Step& s : steps) {
    Key(s.key, s.mods);
    EXPECT_EQ(Ymd(Cal->Date()), s.day);
  }
  EXPECT_EQ(Changes, 7);
}

TEST_F(CalendarFixture, TheRangeBoundsTheSelection) {
  SYSTEMTIME range[2];
  DateTimeToSystemTime(D(2024, 3, 5), range[0]);
  DateTimeToSystemTime(D(2024, 3, 25), range[1]);
  ASSERT_TRUE(Cal->Perform(MCM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range)));
  SYSTEMTIME st;
  DateTimeToSystemTime(D(2024, 3, 30), st);
  EXPECT_EQ(Cal->Perform(MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)), 0) << "a day outside the range is refused";
  DateTimeToSystemTime(D(2024, 3, 12), st);
  EXPECT_EQ(Cal->Perform(MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)), 1);
  SYSTEMTIME got;
  Cal->Perform(MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got.wDay, 12);
  Click(Cal, DayPoint(D(2024, 3, 28)));
  Application->ProcessMessages();
  EXPECT_EQ(Ymd(Cal->Date()), "2024-03-25") << "a click past the end stops at it";
  EXPECT_THROW(Cal->SetMinDate(D(2024, 4, 1)), EInvalidOperation);
}

// ================================================================ date-time picker

namespace {

struct PickerFixture : FormFixture {
  TDateTimePicker* Pick = nullptr;
  std::vector<std::string> Log;
  void SetUp() override {
    SetClock([] { return D(2024, 3, 8) + 0.5; });
    FormFixture::SetUp();
    Pick = Add<TDateTimePicker>(Rect(8, 8, 168, 29));
    Pick->SetFormat("yyyy-MM-dd");
    Pick->SetDate(D(2024, 3, 8));
    Pick->OnChange = TNotifyEvent::Lambda([this](TObject*) { Log.push_back("change " + Ymd(Pick->Date())); });
    Pick->OnDropDown = TNotifyEvent::Lambda([this](TObject*) { Log.push_back("dropdown"); });
    Pick->OnCloseUp = TNotifyEvent::Lambda([this](TObject*) { Log.push_back("closeup " + Ymd(Pick->Date())); });
  }
  void TearDown() override {
    FormFixture::TearDown();
    SetClock(nullptr);
  }
};

}  // namespace

TEST_F(PickerFixture, TheFormatSaysHowTheValueShows) {
  EXPECT_EQ(Pick->Text(), "2024-03-08") << "MM is the month";
  EXPECT_DOUBLE_EQ(Pick->Time(), 0.5) << "the time part is kept apart from the date";
  struct Case {
    const char* format;
    const char* text;
  };
  Pick->SetTime(EncodeTime(14, 5, 9, 0));
  const Case cases[] = {{"yyyy-MM-dd", "2024-03-08"},       {"yy/M/d", "24/3/8"},
                        {"yyyy'年'M'月'd'日'", "2024年3月8日"}, {"dddd", "星期五"},
                        {"HH:mm:ss", "14:05:09"},           {"h:mm tt", "2:05 下午"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    Pick->SetFormat(c.format);
    EXPECT_EQ(Pick->DisplayText(), c.text);
  }
  // Without a format: the short date of the settings, or the long time.
  Pick->SetFormat("");
  EXPECT_EQ(Pick->DisplayText(), "2024-03-08");
  Pick->SetKind(dtkTime);
  EXPECT_EQ(Pick->DisplayText(), "14:05:09");
  EXPECT_TRUE(Log.empty()) << "values set by code run no event";
}

TEST_F(PickerFixture, KeysEditOneFieldAtATime) {
  Pick->SetFocus();
  EXPECT_EQ(Pick->ActiveField(), 0);
  struct Step {
    int key;
    const char* text;
    int field;
  };
  const Step steps[] = {{Qt::Key_Up, "2025-03-08", 0},    {Qt::Key_Right, "2025-03-08", 1}, {Qt::Key_Down, "2025-02-08", 1},
                        {Qt::Key_Down, "2025-01-08", 1},  {Qt::Key_Down, "2025-12-08", 1},  {Qt::Key_Right, "2025-12-08", 2},
                        {Qt::Key_Up, "2025-12-09", 2},    {Qt::Key_Left, "2025-12-09", 1}};
  for (const Step& s : steps) {
    Key(s.key);
    EXPECT_EQ(Pick->Text(), s.text);
    EXPECT_EQ(Pick->ActiveField(), s.field);
  }
  EXPECT_EQ(Log.size(), 5u) << "each change by a key runs OnChange";
  // Digits type a field; a complete field moves on to the next.
  Log.clear();
  Type("02");
  EXPECT_EQ(Pick->Text(), "2025-02-09");
  EXPECT_EQ(Pick->ActiveField(), 2);
  Type("31");
  EXPECT_EQ(Pick->Text(), "2025-02-28") << "a day past the month's end is its last day";
  Key(Qt::Key_Home);
  Type("1999");
  EXPECT_EQ(Pick->Text(), "1999-02-28");
  Key(Qt::Key_Home);
  Type("2");
  Key(Qt::Key_Right);
  EXPECT_EQ(Pick->Text(), "1999-02-28") << "an unfinished year is not taken";
  Key(Qt::Key_Right);
  Type("4");
  EXPECT_EQ(Pick->Text(), "1999-02-04") << "a digit that cannot start a two-digit day completes it";
}

TEST_F(PickerFixture, TheCheckBoxSwitchesTheValueOff) {
  Pick->SetShowCheckbox(true);
  Pick->SetFocus();
  Type(" ");
  EXPECT_FALSE(Pick->Checked());
  SYSTEMTIME st;
  EXPECT_EQ(Pick->Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_NONE);
  EXPECT_EQ(Log.size(), 1u);
  // Changing the value by a key switches it on again.
  Key(Qt::Key_Up);
  EXPECT_TRUE(Pick->Checked());
  EXPECT_EQ(Pick->Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_VALID);
  EXPECT_EQ(st.wYear, 2025);
  // A click on the box toggles too.
  Click(Pick, {8, Pick->ClientHeight() / 2});
  Application->ProcessMessages();
  EXPECT_FALSE(Pick->Checked());
  DateTimeToSystemTime(D(2020, 1, 2), st);
  EXPECT_EQ(Pick->Perform(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)), 1);
  EXPECT_TRUE(Pick->Checked());
  EXPECT_EQ(Pick->Text(), "2020-01-02");
}

TEST_F(PickerFixture, TheDroppedCalendarPicksTheDate) {
  Pick->SetTime(EncodeTime(9, 30, 0, 0));
  Click(Pick, {Pick->ClientWidth() - 5, Pick->ClientHeight() / 2});
  Application->ProcessMessages();
  ASSERT_TRUE(Pick->DroppedDown());
  TMonthCalendar* cal = Pick->Calendar();
  auto pops = OpenPopups();
  EXPECT_NE(std::find(pops.begin(), pops.end(), static_cast<TWinControl*>(cal)), pops.end());
  EXPECT_EQ(static_cast<HWND>(Pick->Perform(DTM_GETMONTHCAL)), cal->Handle());
  EXPECT_EQ(Ymd(cal->Date()), "2024-03-08") << "the calendar opens on the value";
  EXPECT_GE(cal->Top(), Pick->ClientToScreen({0, Pick->ClientHeight()}).Y);
  // A click on a day of the calendar takes it and closes the calendar.
  TPoint day;
  for (int y = 0; y < cal->ClientHeight() && day == TPoint{}; y += 2)
    for (int x = 0; x < cal->ClientWidth(); x += 2) {
      MCHITTESTINFO h;
      h.pt = {x, y};
      if (cal->Perform(MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&h)) == MCHT_CALENDARDATE && h.st.wDay == 21) {
        day = {x + 3, y + 3};
        break;
      }
    }
  Click(cal, day);
  Application->ProcessMessages();
  EXPECT_FALSE(Pick->DroppedDown());
  EXPECT_EQ(Pick->Text(), "2024-03-21");
  EXPECT_NEAR(Pick->Time(), 9.5 / 24, 1e-9) << "the time stays";
  EXPECT_EQ(Log, (std::vector<std::string>{"dropdown", "closeup 2024-03-08", "change 2024-03-21"}));
  // Keys while it is down move in the calendar; Enter takes the day, Escape does not.
  Log.clear();
  Pick->SetFocus();
  Key(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Pick->DroppedDown());
  Key(Qt::Key_Right);
  Key(Qt::Key_Escape);
  EXPECT_EQ(Pick->Text(), "2024-03-21");
  Key(Qt::Key_F4);
  Key(Qt::Key_Right);
  Key(Qt::Key_Return);
  EXPECT_EQ(Pick->Text(), "2024-03-22");
  EXPECT_FALSE(Pick->DroppedDown());
}

TEST_F(PickerFixture, TheRangeLimitsWhatKeysReach) {
  Pick->SetMinDate(D(2024, 3, 1));
  Pick->SetMaxDate(D(2024, 3, 31));
  Pick->SetFocus();
  Key(Qt::Key_Up);
  EXPECT_EQ(Pick->Text(), "2024-03-31") << "a year on is held at the last day";
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  EXPECT_EQ(Pick->Text(), "2024-03-01");
  Pick->SetDate(D(2030, 1, 1));
  EXPECT_EQ(Pick->Text(), "2024-03-31");
}

namespace {

class TDtForm : public TForm {
  KELM_CLASS(TDtForm, TForm)
public:
  explicit TDtForm(TComponent* AOwner) : TForm(AOwner) {}
  TDateTimePicker* dtPactDate = nullptr;
};

}  // namespace

KELM_PUBLISH(TDtForm) { b.Field("dtPactDate", &TDtForm::dtPactDate); }

TEST(PickerLayouts, APickerComesFromALayout) {
  const char* text =
      "object DtForm: TDtForm\n"
      "  object dtPactDate: TDateTimePicker\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 120\n"
      "    Height = 21\n"
      "    Date = 45359.000000000000000000\n"
      "    Format = 'yyyy-MM-dd'\n"
      "    Time = 0.500000000000000000\n"
      "    ShowCheckbox = True\n"
      "    Checked = False\n"
      "    TabOrder = 0\n"
      "  end\n"
      "end\n";
  auto* f = new TDtForm(Application);
  ReadComponentFromText(f, text);
  ASSERT_NE(f->dtPactDate, nullptr);
  EXPECT_EQ(f->dtPactDate->Text(), "2024-03-08");
  EXPECT_DOUBLE_EQ(f->dtPactDate->DateTime(), 45359.5);
  EXPECT_FALSE(f->dtPactDate->Checked());
  delete f;
}
