#pragma once
// The month calendar on which the date edit lets the user pick a date, in two presentations:
// the drop-down calendar (TPopupCalendar, hanging below the edit without taking the focus)
// and the small modal dialog (TSelectDateDlg, with OK and Cancel). Both are built in code
// around the grid calendar TRxCalendar: one header row of day names over six week rows, the
// first data cell showing MonthOffset (1 minus the column of the month's first day).
#include "controls/RXCtrls.h"
#include "controls/ToolEditPopup.h"
#include "gui/Forms.h"
#include "gui/Grids.h"

class TLabel;
class TPanel;
class TStrings;

KELM_ENUM(TDayOfWeekName, Sun, Mon, Tue, Wed, Thu, Fri, Sat)
using TDaysOfWeek = TSet<TDayOfWeekName>;

// Gives a font the system's message font; without one the classic dialog font.
void ApplyDialogFont(TFont* Font);

// ================================================================ the calendar grid

class TRxCalendar : public TCustomGrid {
  KELM_CLASS(TRxCalendar, TCustomGrid)
  template <class B> static void Published(B& b) {
    using C = TRxCalendar;
    b.Prop("CalendarDate", &C::CalendarDate, &C::SetCalendarDate).Type("TDateTime").StoredUnless(&C::UseCurrentDate);
    b.Prop("Day", &C::Day, &C::SetDay).Stored(false);
    b.Prop("Month", &C::Month, &C::SetMonth).Stored(false);
    b.Prop("Year", &C::Year, &C::SetYear).Stored(false);
    b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    b.Prop("StartOfWeek", &C::StartOfWeek, &C::SetStartOfWeek).Default(Mon);
    b.Prop("UseCurrentDate", &C::UseCurrentDate, &C::SetUseCurrentDate).Default(true);
    b.Prop("WeekendColor", &C::WeekendColor, &C::SetWeekendColor).Type("TColor").Default(TColor(255));
    b.Prop("Weekends", &C::Weekends, &C::SetWeekends).Type("TDaysOfWeek").Default(TDaysOfWeek{Sun});
    b.Prop("OnChange", &C::OnChange, &C::OnChange);
  }
public:
  explicit TRxCalendar(TComponent* AOwner);

  TDateTime CalendarDate() const { return FDate; }
  void SetCalendarDate(TDateTime Value);
  int Day() const { return DatePart(3); }
  void SetDay(int Value) { SetDatePart(3, Value); }
  int Month() const { return DatePart(2); }
  void SetMonth(int Value) { SetDatePart(2, Value); }
  int Year() const { return DatePart(1); }
  void SetYear(int Value) { SetDatePart(1, Value); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  TDayOfWeekName StartOfWeek() const { return FStartOfWeek; }
  void SetStartOfWeek(TDayOfWeekName Value);
  bool UseCurrentDate() const { return FUseCurrentDate; }
  void SetUseCurrentDate(bool Value);
  TColor WeekendColor() const { return FWeekendColor; }
  void SetWeekendColor(TColor Value);
  TDaysOfWeek Weekends() const { return FWeekends; }
  void SetWeekends(TDaysOfWeek Value);
  int MonthOffset() const { return FMonthOffset; }

  void StepMonthBack() { ShiftMonth(-1); }
  void StepMonthForward() { ShiftMonth(1); }
  void StepYearBack() { StepYear(-1); }
  void StepYearForward() { StepYear(1); }
  // Row 0: the short day name; other rows: the day number, or '' outside the month.
  String DayCellText(int ACol, int ARow) const;
  virtual void RefreshCalendar();
  void Click() override;
  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;

protected:
  virtual void Change() { OnChange(this); }
  void CreateParams(TCreateParams& Params) override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  bool SelectCell(int ACol, int ARow) override;
  void CurrentChanged(int OldCol, int OldRow) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  bool IsWeekendColumn(int ACol) const;

private:
  int DatePart(int Index) const;
  void SetDatePart(int Index, int Value);
  void LayOutMonth(bool DayOnly);
  void ShiftMonth(int Delta);
  void StepYear(int Delta);
  void SizeCells();

  TDateTime FDate = 0;
  int FMonthOffset = 0;
  bool FReadOnly = false;
  TDayOfWeekName FStartOfWeek = Mon;
  bool FUpdating = false;
  bool FUseCurrentDate = true;
  TDaysOfWeek FWeekends{Sun};
  TColor FWeekendColor = TColor(255);
};

// The calendar inside the drop-down: it never takes the focus, yet receives the mouse, and
// frames today's cell.
class TLocCalendar : public TRxCalendar {
  KELM_CLASS(TLocCalendar, TRxCalendar)
public:
  explicit TLocCalendar(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;
  // Key handling of the drop-down that forwards the edit's keys here.
  void ForwardKeyDown(Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }
  void ForwardKeyPress(Char& Key) { KeyPress(Key); }

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
};

// ================================================================ the drop-down

class TPopupCalendar : public TPopupWindow {
  KELM_CLASS(TPopupCalendar, TPopupWindow)
public:
  explicit TPopupCalendar(TComponent* AOwner);
  Variant GetPopupValue() override;
  void SetPopupValue(const Variant& Value) override;
  TLocCalendar* Calendar() const { return FCalendar; }
  TLabel* TitleLabel() const { return FTitleLabel; }
  // Previous year, previous month, next month, next year.
  TRxTimerSpeedButton* Buttons(int Index) const { return FButtons[Index]; }
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;

private:
  void CalendarChange(TObject* Sender);
  void CalendarMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void TitleDblClick(TObject* Sender);
  void PrevYear(TObject*) { FCalendar->StepYearBack(); }
  void PrevMonth(TObject*) { FCalendar->StepMonthBack(); }
  void NextMonth(TObject*) { FCalendar->StepMonthForward(); }
  void NextYear(TObject*) { FCalendar->StepYearForward(); }
  void UpdateTitle();

  TLocCalendar* FCalendar = nullptr;
  TLabel* FTitleLabel = nullptr;
  TRxTimerSpeedButton* FButtons[4] = {};
};

// A drop-down calendar owned by Owner.
TPopupWindow* CreateDateDropDown(TWinControl* Owner, TBiDiMode BiDiMode);
// The calendar settings and, for each non-empty line of the first four of Hints, the hint of
// the button of that place; nothing unless Popup is a drop-down calendar.
void ConfigureDateDropDown(TPopupWindow* Popup, TDayOfWeekName StartOfWeek, TDaysOfWeek Weekends,
                           TColor WeekendColor, TStrings* Hints);

// ================================================================ the dialog

class TSelectDateDlg : public TForm {
  KELM_CLASS(TSelectDateDlg, TForm)
public:
  explicit TSelectDateDlg(TComponent* AOwner);
  TRxCalendar* Calendar() const { return FCalendar; }
  TLabel* TitleLabel() const { return FTitleLabel; }
  TRxTimerSpeedButton* Buttons(int Index) const { return FButtons[Index]; }
  // NullDate shows today.
  void SetDialogDate(TDateTime Value);

  void PrevYearBtnClick(TObject* Sender);
  void PrevMonthBtnClick(TObject* Sender);
  void NextMonthBtnClick(TObject* Sender);
  void NextYearBtnClick(TObject* Sender);
  void CalendarChange(TObject* Sender);
  void CalendarDblClick(TObject* Sender);
  void TopPanelDblClick(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

protected:
  void DoShow() override;

private:
  void Stepped();
  TRxCalendar* FCalendar = nullptr;
  TLabel* FTitleLabel = nullptr;
  TRxTimerSpeedButton* FButtons[4] = {};
};

// Shows the dialog on Date (today for NullDate); true with Date replaced when the user chose
// OK.
bool RunDateDialog(TDateTime& Date, const String& Caption, TDayOfWeekName StartOfWeek, TDaysOfWeek Weekends,
                   TColor WeekendColor, TStrings* Hints);
