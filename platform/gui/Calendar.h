#pragma once
// The month calendar and the date-time picker. A picker's date changed by the program does
// not run its events.
// Declares TMonthCalColors, TMonthCalendar and TDateTimePicker.
#include "gui/Controls.h"
#include "gui/Messages.h"

#include <memory>

class TMonthCalendar;

constexpr int MCN_SELCHANGE = -749, MCN_SELECT = -746;
constexpr int DTN_DATETIMECHANGE = -759, DTN_DROPDOWN = -754, DTN_CLOSEUP = -753;

struct SYSTEMTIME {
  Word wYear = 0, wMonth = 0, wDayOfWeek = 0, wDay = 0, wHour = 0, wMinute = 0, wSecond = 0, wMilliseconds = 0;
};
void DateTimeToSystemTime(TDateTime DateTime, SYSTEMTIME& SystemTime);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& SystemTime);

constexpr UINT MCM_GETCURSEL = 0x1001, MCM_SETCURSEL = 0x1002, MCM_GETMINREQRECT = 0x1009, MCM_SETTODAY = 0x100C,
               MCM_GETTODAY = 0x100D, MCM_HITTEST = 0x100E, MCM_SETFIRSTDAYOFWEEK = 0x100F,
               MCM_GETFIRSTDAYOFWEEK = 0x1010, MCM_GETRANGE = 0x1011, MCM_SETRANGE = 0x1012;
constexpr UINT MCHT_NOWHERE = 0, MCHT_TITLE = 0x00010000, MCHT_CALENDAR = 0x00020000, MCHT_TODAYLINK = 0x00030000,
               MCHT_NEXT = 0x01000000, MCHT_PREV = 0x02000000, MCHT_TITLEBK = MCHT_TITLE,
               MCHT_TITLEMONTH = MCHT_TITLE | 1, MCHT_TITLEYEAR = MCHT_TITLE | 2,
               MCHT_TITLEBTNNEXT = MCHT_TITLE | MCHT_NEXT | 3, MCHT_TITLEBTNPREV = MCHT_TITLE | MCHT_PREV | 3,
               MCHT_CALENDARBK = MCHT_CALENDAR, MCHT_CALENDARDATE = MCHT_CALENDAR | 1,
               MCHT_CALENDARDATENEXT = MCHT_CALENDARDATE | MCHT_NEXT,
               MCHT_CALENDARDATEPREV = MCHT_CALENDARDATE | MCHT_PREV, MCHT_CALENDARDAY = MCHT_CALENDAR | 2,
               MCHT_CALENDARWEEKNUM = MCHT_CALENDAR | 3;
constexpr DWORD GDTR_MIN = 0x0001, GDTR_MAX = 0x0002;
struct MCHITTESTINFO {
  UINT cbSize = sizeof(MCHITTESTINFO);
  TPoint pt;
  UINT uHit = 0;
  SYSTEMTIME st;
};

KELM_ENUM(TCalDayOfWeek, dowMonday, dowTuesday, dowWednesday, dowThursday, dowFriday, dowSaturday, dowSunday,
          dowLocaleDefault)

class TCommonCalendar;

class TMonthCalColors : public TPersistent {
  KELM_CLASS(TMonthCalColors, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("BackColor", &TMonthCalColors::BackColor, &TMonthCalColors::SetBackColor).Type("TColor").Default(clWindow);
    b.Prop("TextColor", &TMonthCalColors::TextColor, &TMonthCalColors::SetTextColor).Type("TColor").Default(clWindowText);
    b.Prop("TitleBackColor", &TMonthCalColors::TitleBackColor, &TMonthCalColors::SetTitleBackColor).Type("TColor").Default(clActiveCaption);
    b.Prop("TitleTextColor", &TMonthCalColors::TitleTextColor, &TMonthCalColors::SetTitleTextColor).Type("TColor").Default(clWhite);
    b.Prop("MonthBackColor", &TMonthCalColors::MonthBackColor, &TMonthCalColors::SetMonthBackColor).Type("TColor").Default(clWhite);
    b.Prop("TrailingTextColor", &TMonthCalColors::TrailingTextColor, &TMonthCalColors::SetTrailingTextColor)
        .Type("TColor")
        .Default(clInactiveCaptionText);
  }
public:
  explicit TMonthCalColors(TWinControl* AOwner = nullptr) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }
  TColor BackColor() const { return FBack; }
  void SetBackColor(TColor v) { FBack = v; Changed(); }
  TColor TextColor() const { return FText; }
  void SetTextColor(TColor v) { FText = v; Changed(); }
  TColor TitleBackColor() const { return FTitleBack; }
  void SetTitleBackColor(TColor v) { FTitleBack = v; Changed(); }
  TColor TitleTextColor() const { return FTitleText; }
  void SetTitleTextColor(TColor v) { FTitleText = v; Changed(); }
  TColor MonthBackColor() const { return FMonthBack; }
  void SetMonthBackColor(TColor v) { FMonthBack = v; Changed(); }
  TColor TrailingTextColor() const { return FTrailing; }
  void SetTrailingTextColor(TColor v) { FTrailing = v; Changed(); }

private:
  void Changed();
  TWinControl* FOwner;
  TColor FBack = clWindow, FText = clWindowText, FTitleBack = clActiveCaption, FTitleText = clWhite,
         FMonthBack = clWhite, FTrailing = clInactiveCaptionText;
};

// The month calendar: a month's days in weeks under a title with the buttons to the previous
// and next month, and today's date below. The MCM_ messages answer as the platform's control
// does (MCM_HITTEST codes, MCM_GETMINREQRECT); a click on a day selects it (OnClick), the
// arrow keys move the selection.
class TMonthCalendar : public TWinControl {
  KELM_CLASS(TMonthCalendar, TWinControl)
  template <class B> static void Published(B& b) {
    PublishAlign(b);
    PublishAnchors(b);
    PublishAutoSize(b);
    PublishBorderWidth(b);
    PublishBiDiMode(b);
    b.Prop("CalColors", &TMonthCalendar::CalColors, &TMonthCalendar::SetCalColors);
    PublishConstraints(b);
    b.Prop("Date", &TMonthCalendar::Date, &TMonthCalendar::SetDate).Type("TDate");
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    b.Prop("FirstDayOfWeek", &TMonthCalendar::FirstDayOfWeek, &TMonthCalendar::SetFirstDayOfWeek).Default(dowLocaleDefault);
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    b.Prop("MaxDate", &TMonthCalendar::MaxDate, &TMonthCalendar::SetMaxDate).Type("TDate");
    b.Prop("MinDate", &TMonthCalendar::MinDate, &TMonthCalendar::SetMinDate).Type("TDate");
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    b.Prop("ShowToday", &TMonthCalendar::ShowToday, &TMonthCalendar::SetShowToday).Default(true);
    b.Prop("ShowTodayCircle", &TMonthCalendar::ShowTodayCircle, &TMonthCalendar::SetShowTodayCircle).Default(true);
    PublishTabOrder(b);
    PublishVisible(b);
    PublishTabStop(b).Default(true);
    b.Prop("WeekNumbers", &TMonthCalendar::WeekNumbers, &TMonthCalendar::SetWeekNumbers).Default(false);
    b.Prop("OnChange", &TMonthCalendar::OnChange, &TMonthCalendar::OnChange);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TMonthCalendar(TComponent* AOwner);
  ~TMonthCalendar() override;

  TDateTime Date() const { return FDate; }
  void SetDate(TDateTime v);
  TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(TDateTime v);
  TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(TDateTime v);
  TCalDayOfWeek FirstDayOfWeek() const { return FFirstDay; }
  void SetFirstDayOfWeek(TCalDayOfWeek v);
  bool ShowToday() const { return FShowToday; }
  void SetShowToday(bool v);
  bool ShowTodayCircle() const { return FShowTodayCircle; }
  void SetShowTodayCircle(bool v);
  bool WeekNumbers() const { return FWeekNumbers; }
  void SetWeekNumbers(bool v);
  TMonthCalColors* CalColors() const { return FColors.get(); }
  void SetCalColors(TMonthCalColors* v) { FColors->Assign(v); }
  void SetAutoSize(bool v) override;
  // The month shown (its first day).
  TDateTime VisibleMonth() const { return FMonth; }
  void SetVisibleMonth(TDateTime v);
  // The smallest rectangle that shows a whole month.
  TRect MinReqRect() const;
  // MCM_HITTEST for a client point.
  UINT HitTest(TPoint P, SYSTEMTIME* Date = nullptr) const;

  TNotifyEvent OnChange;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  friend class TDateTimePicker;
  void CreateParams(TCreateParams& Params) override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  // The user picked a date: the selection moves there (MCN_SELCHANGE), then MCN_SELECT.
  void UserSelect(TDateTime Value, bool Final);

private:
  // The native model's messages, one handler each (DefaultHandler holds their table).
  void MCMGetCurSel(TMessage& M);
  void MCMSetCurSel(TMessage& M);
  void MCMGetMinReqRect(TMessage& M);
  void MCMHitTest(TMessage& M);
  void MCMGetToday(TMessage& M);
  void MCMSetFirstDayOfWeek(TMessage& M);
  void MCMSetRange(TMessage& M);
  void WMLButtonDown(TMessage& M);
  void WMKeyDown(TMessage& M);
  struct TGeometry {
    int CellW = 0, CellH = 0, TitleH = 0, HeaderH = 0, TodayH = 0, WeekW = 0;
    TRect Title, Prev, Next, Days, Today;
  };
  TGeometry Geometry() const;
  int FirstWeekday() const;  // 1 Sunday ... 7 Saturday
  TDateTime GridStart() const;
  TDateTime Clamp(TDateTime v) const;
  bool OutOfRange(TDateTime Day) const;  // before MinDate's day or after MaxDate's
  int FirstDayNumber() const;            // 0 Monday ... 6 Sunday, the locale's for dowLocaleDefault
  void PaintCalendar(HDC DC);
  void Notify(int Code);

  std::unique_ptr<TMonthCalColors> FColors;
  std::function<void(bool Final)> FOnUserSelect;  // the picker that dropped this calendar down
  TDateTime FDate = 0;
  TDateTime FMonth = 0;
  TDateTime FMinDate = 0, FMaxDate = 0;
  TCalDayOfWeek FFirstDay = dowLocaleDefault;
  bool FShowToday = true, FShowTodayCircle = true, FWeekNumbers = false;
};

// ================================================================ date-time picker

constexpr UINT DTM_GETSYSTEMTIME = 0x1001, DTM_SETSYSTEMTIME = 0x1002, DTM_GETRANGE = 0x1003, DTM_SETRANGE = 0x1004,
               DTM_SETFORMAT = 0x1005, DTM_GETMONTHCAL = 0x1008;
constexpr LRESULT GDT_ERROR = -1, GDT_VALID = 0, GDT_NONE = 1;

KELM_ENUM(TDateTimeKind, dtkDate, dtkTime)
KELM_ENUM(TDTDateMode, dmComboBox, dmUpDown)
KELM_ENUM(TDTDateFormat, dfShort, dfLong)
KELM_ENUM(TDTCalAlignment, dtaLeft, dtaRight)

// A date (or time) shown in a format of fields ("yyyy-MM-dd": MM is the month here, mm the
// minutes) that the keys edit one field at a time: Left and Right choose the field, Up and Down
// step it, digits type it. The combo style drops a month calendar down; with ShowCheckbox the
// value can be switched off (Checked false). Every change by the user runs OnChange; setting
// Date or Time does not.
class TDateTimePicker : public TWinControl {
  KELM_CLASS(TDateTimePicker, TWinControl)
  template <class B> static void Published(B& b) {
    PublishAnchors(b);
    PublishBiDiMode(b);
    b.Prop("CalAlignment", &TDateTimePicker::CalAlignment, &TDateTimePicker::SetCalAlignment).Default(dtaLeft);
    b.Prop("CalColors", &TDateTimePicker::CalColors, &TDateTimePicker::SetCalColors);
    PublishConstraints(b);
    b.Prop("Date", &TDateTimePicker::Date, &TDateTimePicker::SetDate).Type("TDate");
    b.Prop("Format", &TDateTimePicker::Format, &TDateTimePicker::SetFormat);
    b.Prop("Time", &TDateTimePicker::Time, &TDateTimePicker::SetTime).Type("TTime");
    b.Prop("ShowCheckbox", &TDateTimePicker::ShowCheckbox, &TDateTimePicker::SetShowCheckbox).Default(false);
    b.Prop("Checked", &TDateTimePicker::Checked, &TDateTimePicker::SetChecked).Default(true);
    PublishColor(b);
    b.Prop("DateFormat", &TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat).Default(dfShort);
    b.Prop("DateMode", &TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode).Default(dmComboBox);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    b.Prop("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind).Default(dtkDate);
    b.Prop("MaxDate", &TDateTimePicker::MaxDate, &TDateTimePicker::SetMaxDate).Type("TDate");
    b.Prop("MinDate", &TDateTimePicker::MinDate, &TDateTimePicker::SetMinDate).Type("TDate");
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishVisible(b);
    PublishOnClick(b);
    PublishParentColor(b).Default(false);
    PublishTabStop(b).Default(true);
    b.Prop("OnCloseUp", &TDateTimePicker::OnCloseUp, &TDateTimePicker::OnCloseUp);
    b.Prop("OnChange", &TDateTimePicker::OnChange, &TDateTimePicker::OnChange);
    PublishOnContextPopup(b);
    b.Prop("OnDropDown", &TDateTimePicker::OnDropDown, &TDateTimePicker::OnDropDown);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TDateTimePicker(TComponent* AOwner);
  ~TDateTimePicker() override;

  TDateTime Date() const;
  void SetDate(TDateTime v);
  TDateTime Time() const;
  void SetTime(TDateTime v);
  TDateTime DateTime() const { return FDateTime; }
  void SetDateTime(TDateTime v);
  TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(TDateTime v);
  TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(TDateTime v);
  TDateTimeKind Kind() const { return FKind; }
  void SetKind(TDateTimeKind v);
  TDTDateMode DateMode() const { return FDateMode; }
  void SetDateMode(TDTDateMode v);
  TDTDateFormat DateFormat() const { return FDateFormat; }
  void SetDateFormat(TDTDateFormat v);
  const String& Format() const { return FFormat; }
  void SetFormat(const String& v);
  bool ShowCheckbox() const { return FShowCheckbox; }
  void SetShowCheckbox(bool v);
  bool Checked() const { return FChecked; }
  void SetChecked(bool v);
  TDTCalAlignment CalAlignment() const { return FCalAlignment; }
  void SetCalAlignment(TDTCalAlignment v) { FCalAlignment = v; }
  TMonthCalColors* CalColors() const { return FCalColors.get(); }
  void SetCalColors(TMonthCalColors* v) { FCalColors->Assign(v); }
  bool DroppedDown() const { return FDropped; }
  void SetDroppedDown(bool v);
  // The calendar that drops down (created on first use).
  TMonthCalendar* Calendar();
  // The text shown, as the format gives it.
  String DisplayText() const;
  // The field that keys edit now (0-based among the editable fields).
  int ActiveField() const { return FActiveField; }

  TNotifyEvent OnChange;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnDropDown;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  virtual void Change() { OnChange(this); }

private:
  // The native model's messages, one handler each (DefaultHandler holds their table).
  void DTMGetSystemTime(TMessage& M);
  void DTMSetSystemTime(TMessage& M);
  void DTMSetRange(TMessage& M);
  void DTMSetFormat(TMessage& M);
  void WMChar(TMessage& M);
  void WMLButtonDown(TMessage& M);
  void WMLButtonUp(TMessage& M);
  enum TFieldKind { fkLiteral, fkYear, fkMonth, fkDay, fkDayName, fkHour, fkHour12, fkMinute, fkSecond, fkAmPm };
  struct TField {
    TFieldKind Kind = fkLiteral;
    int Width = 0;  // the count of letters in the format
    String Text;    // literal text
  };
  std::vector<TField> ParseFormat() const;
  String FieldText(const TField& F) const;
  std::vector<int> EditableFields(const std::vector<TField>& Fields) const;
  void StepField(int Delta);
  void TypeDigit(int Digit);
  void SetByUser(TDateTime v);
  TDateTime ClampValue(TDateTime v) const;
  TRect CheckRect() const;
  TRect ButtonRect() const;
  void ShowCalendar(bool Show);
  void CalendarChosen();
  void PaintPicker(HDC DC);
  void KeyDownDefault(TMessage& M);

  std::unique_ptr<TMonthCalColors> FCalColors;
  std::unique_ptr<TMonthCalendar> FCalendar;
  TDateTime FDateTime = 0;
  TDateTime FMinDate = 0, FMaxDate = 0;
  TDateTimeKind FKind = dtkDate;
  TDTDateMode FDateMode = dmComboBox;
  TDTDateFormat FDateFormat = dfShort;
  String FFormat;
  bool FShowCheckbox = false;
  bool FChecked = true;
  TDTCalAlignment FCalAlignment = dtaLeft;
  bool FDropped = false;
  bool FJustClosed = false;
  int FActiveField = 0;
  int FTyped = -1;      // the digits typed into the active field so far, -1 none
  int FTypedCount = 0;
  int FUpDownPressed = 0;  // the up-down style's pressed button: 1 up, -1 down
};
