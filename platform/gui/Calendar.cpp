// The month calendar and the date-time picker.
#include "gui/Calendar.h"

#include "core/ClassBuilder.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/WinGDI.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cmath>

using namespace ctrl_utils;

namespace {

// The selection a calendar reports with MCN_SELCHANGE and MCN_SELECT.
struct NMSELCHANGE {
  NMHDR hdr;
  SYSTEMTIME stSelStart;
  SYSTEMTIME stSelEnd;
};

TDateTime DayOnly(TDateTime v) { return std::floor(v); }

// The ISO week number of a day.
int WeekNumber(TDateTime Day) {
  int dow = (DayOfWeek(Day) + 5) % 7;  // Monday 0
  TDateTime thursday = Day - dow + 3;
  Word y, m, d;
  DecodeDate(thursday, y, m, d);
  TDateTime jan1 = EncodeDate(y, 1, 1);
  return static_cast<int>((thursday - jan1) / 7) + 1;
}

String DayHeader(int Weekday) {  // 1 Sunday ... 7 Saturday
  const String& name = FormatSettings().ShortDayNames[static_cast<std::size_t>(Weekday - 1)];
  return Length(name) > 1 ? Copy(name, Length(name), 1) : name;
}

// A new lower (upper) bound beyond the other one is refused; 0 is no bound.
void CheckNewMinDate(TDateTime Value, TDateTime MaxDate) {
  if (Value != 0 && MaxDate != 0 && Value > MaxDate) throw EInvalidOperation("Date exceeds maximum of " + DateToStr(MaxDate));
}
void CheckNewMaxDate(TDateTime Value, TDateTime MinDate) {
  if (Value != 0 && MinDate != 0 && Value < MinDate) throw EInvalidOperation("Date is less than minimum of " + DateToStr(MinDate));
}

// The range as MCM_GETRANGE and DTM_GETRANGE answer it: GDTR_MIN and GDTR_MAX for the bounds
// set, written to St[0] and St[1] when St is given.
DWORD RangeToSystemTimes(TDateTime MinDate, TDateTime MaxDate, SYSTEMTIME* St) {
  DWORD r = 0;
  if (MinDate != 0) {
    r |= GDTR_MIN;
    if (St) DateTimeToSystemTime(MinDate, St[0]);
  }
  if (MaxDate != 0) {
    r |= GDTR_MAX;
    if (St) DateTimeToSystemTime(MaxDate, St[1]);
  }
  return r;
}

// The range MCM_SETRANGE and DTM_SETRANGE set: the bounds Flags names, the others none.
void RangeFromSystemTimes(WPARAM Flags, const SYSTEMTIME* St, TDateTime& MinDate, TDateTime& MaxDate) {
  MinDate = (Flags & GDTR_MIN) && St ? SystemTimeToDateTime(St[0]) : 0;
  MaxDate = (Flags & GDTR_MAX) && St ? SystemTimeToDateTime(St[1]) : 0;
}

// The moment of the picker's parts, the day held to the month's last (a 31st typed, or a
// month stepped to, where the month is shorter).
TDateTime EncodeParts(int Y, int Mo, int D, int H, int Mi, int S, Word Ms) {
  D = std::min(D, static_cast<int>(DaysInAMonth(static_cast<Word>(Y), static_cast<Word>(Mo))));
  return EncodeDateTime(static_cast<Word>(Y), static_cast<Word>(Mo), static_cast<Word>(D), static_cast<Word>(H),
                        static_cast<Word>(Mi), static_cast<Word>(S), Ms);
}

// While it lives, shapes drawn on DC are today's red outline, unfilled.
class TTodayMarkPen {
public:
  explicit TTodayMarkPen(HDC DC) : FDC(DC), FPen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))) {
    FOldPen = SelectObject(DC, FPen);
    FOldBrush = SelectObject(DC, GetStockObject(NULL_BRUSH));
  }
  ~TTodayMarkPen() {
    SelectObject(FDC, FOldBrush);
    SelectObject(FDC, FOldPen);
    DeleteObject(FPen);
  }
  TTodayMarkPen(const TTodayMarkPen&) = delete;
  TTodayMarkPen& operator=(const TTodayMarkPen&) = delete;

private:
  HDC FDC;
  HPEN FPen;
  HGDIOBJ FOldPen = nullptr, FOldBrush = nullptr;
};

}  // namespace

void DateTimeToSystemTime(TDateTime DateTime, SYSTEMTIME& St) {
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(DateTime, y, mo, d, h, mi, s, ms);
  St = SYSTEMTIME{y, mo, static_cast<Word>(DayOfWeek(DateTime) - 1), d, h, mi, s, ms};
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& St) {
  TDateTime d = EncodeDate(St.wYear, St.wMonth, St.wDay);
  TDateTime t = EncodeTime(St.wHour, St.wMinute, St.wSecond, St.wMilliseconds);
  return d >= 0 ? d + t : d - t;
}

// ================================================================ TMonthCalColors

KELM_PUBLISH(TMonthCalColors) { Published(b); }

void TMonthCalColors::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TMonthCalColors*>(Source)) {
    FBack = s->FBack;
    FText = s->FText;
    FTitleBack = s->FTitleBack;
    FTitleText = s->FTitleText;
    FMonthBack = s->FMonthBack;
    FTrailing = s->FTrailing;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TMonthCalColors::Changed() {
  if (FOwner) FOwner->Invalidate();
}

// ================================================================ TMonthCalendar

KELM_PUBLISH(TMonthCalendar) { Published(b); }

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TWinControl(AOwner) {
  FColors = std::make_unique<TMonthCalColors>(this);
  SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FDate = DayOnly(::Date());
  FMonth = StartOfTheMonth(FDate);
  TRect r = MinReqRect();
  SetBounds(0, 0, r.Width() + 4, r.Height() + 4);
}

TMonthCalendar::~TMonthCalendar() { Destroying(); }

void TMonthCalendar::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.ExStyle |= WS_EX_CLIENTEDGE;
}

bool TMonthCalendar::OutOfRange(TDateTime Day) const {
  return (FMinDate != 0 && Day < DayOnly(FMinDate)) || (FMaxDate != 0 && Day > DayOnly(FMaxDate));
}

TDateTime TMonthCalendar::Clamp(TDateTime v) const {
  if (FMinDate != 0 && v < DayOnly(FMinDate)) v = DayOnly(FMinDate);
  if (FMaxDate != 0 && v > DayOnly(FMaxDate)) v = DayOnly(FMaxDate);
  return v;
}

void TMonthCalendar::SetDate(TDateTime v) {
  v = Clamp(DayOnly(v));
  FDate = v;
  FMonth = StartOfTheMonth(v);
  Invalidate();
}

void TMonthCalendar::SetMinDate(TDateTime v) {
  CheckNewMinDate(v, FMaxDate);
  FMinDate = v;
  SetDate(FDate);
}

void TMonthCalendar::SetMaxDate(TDateTime v) {
  CheckNewMaxDate(v, FMinDate);
  FMaxDate = v;
  SetDate(FDate);
}

void TMonthCalendar::SetFirstDayOfWeek(TCalDayOfWeek v) {
  FFirstDay = v;
  Invalidate();
}
void TMonthCalendar::SetShowToday(bool v) {
  FShowToday = v;
  if (AutoSize()) AdjustSize();
  Invalidate();
}
void TMonthCalendar::SetShowTodayCircle(bool v) {
  FShowTodayCircle = v;
  Invalidate();
}
void TMonthCalendar::SetWeekNumbers(bool v) {
  FWeekNumbers = v;
  if (AutoSize()) AdjustSize();
  Invalidate();
}
void TMonthCalendar::SetAutoSize(bool v) {
  TWinControl::SetAutoSize(v);
  if (v) AdjustSize();
}

void TMonthCalendar::SetVisibleMonth(TDateTime v) {
  FMonth = StartOfTheMonth(v);
  Invalidate();
}

bool TMonthCalendar::CanAutoSize(int& NewWidth, int& NewHeight) {
  TRect r = MinReqRect();
  TRect nc = NonClientMargins();
  NewWidth = r.Width() + nc.Left + nc.Right;
  NewHeight = r.Height() + nc.Top + nc.Bottom;
  return true;
}

int TMonthCalendar::FirstDayNumber() const {
  return FFirstDay == dowLocaleDefault ? FormatSettings().FirstDayOfWeek : static_cast<int>(FFirstDay);
}

int TMonthCalendar::FirstWeekday() const {
  return (FirstDayNumber() + 1) % 7 + 1;  // Monday 0 -> 2 (Monday in DayOfWeek numbering)
}

TDateTime TMonthCalendar::GridStart() const {
  // The first row starts on the first weekday on or before the 1st; a month that starts on
  // that weekday shows the week before it too.
  int shift = (DayOfWeek(FMonth) - FirstWeekday() + 7) % 7;
  if (shift == 0) shift = 7;
  return FMonth - shift;
}

TMonthCalendar::TGeometry TMonthCalendar::Geometry() const {
  TGeometry g;
  int th = CellHeightOf(Font());
  g.CellW = std::max(TextWidthOf(Font(), "30"), TextWidthOf(Font(), DayHeader(1))) + 10;
  g.CellH = th + 2;
  g.TitleH = th + 10;
  g.HeaderH = th + 4;
  g.TodayH = FShowToday ? th + 6 : 0;
  g.WeekW = FWeekNumbers ? g.CellW : 0;
  int width = 7 * g.CellW + g.WeekW;
  int x0 = 4;
  g.Title = Bounds(x0, 4, width, g.TitleH);
  int bs = g.TitleH - 6;
  g.Prev = Bounds(g.Title.Left + 3, g.Title.Top + 3, bs + 2, bs);
  g.Next = Bounds(g.Title.Right - bs - 5, g.Title.Top + 3, bs + 2, bs);
  g.Days = Bounds(x0 + g.WeekW, g.Title.Bottom + g.HeaderH, 7 * g.CellW, 6 * g.CellH);
  g.Today = Bounds(x0, g.Days.Bottom + 2, width, g.TodayH);
  return g;
}

TRect TMonthCalendar::MinReqRect() const {
  TGeometry g = Geometry();
  return {0, 0, g.Title.Right + 4, (FShowToday ? g.Today.Bottom : g.Days.Bottom) + 4};
}

UINT TMonthCalendar::HitTest(TPoint P, SYSTEMTIME* St) const {
  TGeometry g = Geometry();
  auto setDate = [&](TDateTime d) {
    if (St) DateTimeToSystemTime(d, *St);
  };
  if (!PtInRect(ClientRect(), P)) return MCHT_NOWHERE;
  if (PtInRect(g.Prev, P)) return MCHT_TITLEBTNPREV;
  if (PtInRect(g.Next, P)) return MCHT_TITLEBTNNEXT;
  if (PtInRect(g.Title, P)) {
    // The month name lies left of the middle, the year right of it.
    return P.X < (g.Title.Left + g.Title.Right) / 2 ? MCHT_TITLEYEAR : MCHT_TITLEMONTH;
  }
  if (P.Y >= g.Title.Bottom && P.Y < g.Days.Top && P.X >= g.Days.Left && P.X < g.Days.Right) {
    int col = (P.X - g.Days.Left) / g.CellW;
    if (St) {
      *St = SYSTEMTIME{};
      St->wDayOfWeek = static_cast<Word>((FirstWeekday() - 1 + col) % 7);
    }
    return MCHT_CALENDARDAY;
  }
  if (FWeekNumbers && P.X >= g.Title.Left && P.X < g.Days.Left && P.Y >= g.Days.Top && P.Y < g.Days.Bottom) {
    setDate(GridStart() + (P.Y - g.Days.Top) / g.CellH * 7);
    return MCHT_CALENDARWEEKNUM;
  }
  if (PtInRect(g.Days, P)) {
    int col = (P.X - g.Days.Left) / g.CellW, row = (P.Y - g.Days.Top) / g.CellH;
    TDateTime d = GridStart() + row * 7 + col;
    setDate(d);
    if (d < FMonth) return MCHT_CALENDARDATEPREV;
    if (d >= IncMonth(FMonth, 1)) return MCHT_CALENDARDATENEXT;
    return MCHT_CALENDARDATE;
  }
  if (FShowToday && PtInRect(g.Today, P)) {
    setDate(DayOnly(::Date()));
    return MCHT_TODAYLINK;
  }
  return MCHT_CALENDARBK;
}

void TMonthCalendar::Notify(int Code) {
  NMSELCHANGE n;
  n.hdr.hwndFrom = Handle();
  n.hdr.code = Code;
  DateTimeToSystemTime(FDate, n.stSelStart);
  n.stSelEnd = n.stSelStart;
  Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
}

void TMonthCalendar::UserSelect(TDateTime Value, bool Final) {
  Value = Clamp(DayOnly(Value));
  bool changed = Value != FDate;
  FDate = Value;
  if (Value < FMonth || Value >= IncMonth(FMonth, 1)) FMonth = StartOfTheMonth(Value);
  Invalidate();
  if (changed) Notify(MCN_SELCHANGE);
  if (Final) Notify(MCN_SELECT);
}

void TMonthCalendar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_NOTIFY: {
      auto* h = reinterpret_cast<NMHDR*>(M.LParam);
      if (h && h->code == MCN_SELCHANGE) OnChange(this);
      if (FOnUserSelect && h && (h->code == MCN_SELCHANGE || h->code == MCN_SELECT)) FOnUserSelect(h->code == MCN_SELECT);
      return;
    }
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS;
      return;
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(M);
      if (AutoSize()) AdjustSize();
      return;
    default:
      TWinControl::Dispatch(M);
  }
}

void TMonthCalendar::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case MCM_GETCURSEL:
      MCMGetCurSel(M);
      return;
    case MCM_SETCURSEL:
      MCMSetCurSel(M);
      return;
    case MCM_GETMINREQRECT:
      MCMGetMinReqRect(M);
      return;
    case MCM_HITTEST:
      MCMHitTest(M);
      return;
    case MCM_GETTODAY:
      MCMGetToday(M);
      return;
    case MCM_SETTODAY:
      M.Result = 0;
      return;
    case MCM_GETFIRSTDAYOFWEEK:
      M.Result = FirstDayNumber();
      return;
    case MCM_SETFIRSTDAYOFWEEK:
      MCMSetFirstDayOfWeek(M);
      return;
    case MCM_GETRANGE:
      M.Result = RangeToSystemTimes(FMinDate, FMaxDate, reinterpret_cast<SYSTEMTIME*>(M.LParam));
      return;
    case MCM_SETRANGE:
      MCMSetRange(M);
      return;
    case WM_PAINT:
      PaintCalendar(reinterpret_cast<HDC>(M.WParam));
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      WMLButtonDown(M);
      return;
    case WM_KEYDOWN:
      WMKeyDown(M);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
    default:
      break;
  }
  TWinControl::DefaultHandler(M);
}

void TMonthCalendar::MCMGetCurSel(TMessage& M) {
  if (auto* st = reinterpret_cast<SYSTEMTIME*>(M.LParam)) DateTimeToSystemTime(FDate, *st);
  M.Result = 1;
}

void TMonthCalendar::MCMSetCurSel(TMessage& M) {
  auto* st = reinterpret_cast<SYSTEMTIME*>(M.LParam);
  TDateTime d;
  if (!st || !TryEncodeDate(st->wYear, st->wMonth, st->wDay, d)) {
    M.Result = 0;
    return;
  }
  if (OutOfRange(d)) {
    M.Result = 0;
    return;
  }
  SetDate(d);
  M.Result = 1;
}

void TMonthCalendar::MCMGetMinReqRect(TMessage& M) {
  if (auto* r = reinterpret_cast<TRect*>(M.LParam)) *r = MinReqRect();
  M.Result = 1;
}

void TMonthCalendar::MCMHitTest(TMessage& M) {
  auto* h = reinterpret_cast<MCHITTESTINFO*>(M.LParam);
  if (!h) return;
  h->uHit = HitTest(h->pt, &h->st);
  M.Result = static_cast<LRESULT>(h->uHit);
}

void TMonthCalendar::MCMGetToday(TMessage& M) {
  if (auto* st = reinterpret_cast<SYSTEMTIME*>(M.LParam)) DateTimeToSystemTime(DayOnly(::Date()), *st);
  M.Result = 1;
}

void TMonthCalendar::MCMSetFirstDayOfWeek(TMessage& M) {
  int old = FirstDayNumber();
  SetFirstDayOfWeek(static_cast<TCalDayOfWeek>(std::clamp(static_cast<int>(M.LParam), 0, 6)));
  M.Result = old;
}

void TMonthCalendar::MCMSetRange(TMessage& M) {
  RangeFromSystemTimes(M.WParam, reinterpret_cast<SYSTEMTIME*>(M.LParam), FMinDate, FMaxDate);
  SetDate(FDate);
  M.Result = 1;
}

void TMonthCalendar::WMLButtonDown(TMessage& M) {
  if (CanFocus() && GetFocus() != Handle() && Parent()) SetFocus();
  SYSTEMTIME st;
  UINT hit = HitTest(PointFromLParam(M.LParam), &st);
  if (hit == MCHT_TITLEBTNPREV || hit == MCHT_TITLEBTNNEXT) {
    SetVisibleMonth(IncMonth(FMonth, hit == MCHT_TITLEBTNNEXT ? 1 : -1));
    return;
  }
  if ((hit & MCHT_CALENDARDATE) == MCHT_CALENDARDATE || hit == MCHT_TODAYLINK) UserSelect(SystemTimeToDateTime(st), true);
}

void TMonthCalendar::WMKeyDown(TMessage& M) {
  TDateTime d = FDate;
  bool ctrl = IsKeyDown(VK_CONTROL);
  switch (M.WParam) {
    case VK_LEFT: d -= 1; break;
    case VK_RIGHT: d += 1; break;
    case VK_UP: d -= 7; break;
    case VK_DOWN: d += 7; break;
    case VK_PRIOR: d = IncMonth(d, ctrl ? -12 : -1); break;
    case VK_NEXT: d = IncMonth(d, ctrl ? 12 : 1); break;
    case VK_HOME: d = StartOfTheMonth(d); break;
    case VK_END: d = DayOnly(EndOfTheMonth(d)); break;
    default: TWinControl::DefaultHandler(M); return;
  }
  UserSelect(d, false);
}

void TMonthCalendar::PaintCalendar(HDC DC) {
  if (!DC) return;
  TGeometry g = Geometry();
  TRect c = ClientRect();
  Fill(DC, c, ColorToRGB(FColors->BackColor()));
  Fill(DC, {g.Title.Left, g.Title.Bottom, g.Title.Right, g.Days.Bottom}, ColorToRGB(FColors->MonthBackColor()));
  // Title: the month and the arrows to its neighbours.
  Fill(DC, g.Title, ColorToRGB(FColors->TitleBackColor()));
  TRect prev = g.Prev, next = g.Next;
  DrawFrameControl(DC, prev, DFC_SCROLL, DFCS_SCROLLLEFT | (Enabled() ? 0u : UINT(DFCS_INACTIVE)));
  DrawFrameControl(DC, next, DFC_SCROLL, DFCS_SCROLLRIGHT | (Enabled() ? 0u : UINT(DFCS_INACTIVE)));
  Word y, m, d;
  DecodeDate(FMonth, y, m, d);
  TFont bold;
  bold.Assign(Font());
  bold.SetStyle(bold.Style() + fsBold);
  HGDIOBJ old = SelectObject(DC, bold.Handle());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, ColorToRGB(FColors->TitleTextColor()));
  TRect t = g.Title;
  DrawText(DC, IntToStr(y) + "年" + IntToStr(m) + "月", -1, &t, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  SelectObject(DC, Font()->Handle());
  // Weekday names, a line under them.
  SetTextColor(DC, ColorToRGB(FColors->TitleBackColor()));
  int first = FirstWeekday();
  for (int i = 0; i < 7; ++i) {
    TRect h = Bounds(g.Days.Left + i * g.CellW, g.Title.Bottom, g.CellW, g.HeaderH - 2);
    DrawText(DC, DayHeader((first - 1 + i) % 7 + 1), -1, &h, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
  Line(DC, g.Days.Left, g.Days.Top - 2, g.Days.Right, g.Days.Top - 2, GetSysColor(COLOR_BTNSHADOW));
  // The days of six weeks.
  TDateTime start = GridStart(), next1 = IncMonth(FMonth, 1), today = DayOnly(::Date());
  bool focused = GetFocus() == Handle();
  for (int k = 0; k < 42; ++k) {
    TDateTime day = start + k;
    TRect r = Bounds(g.Days.Left + k % 7 * g.CellW, g.Days.Top + k / 7 * g.CellH, g.CellW, g.CellH);
    bool inMonth = day >= FMonth && day < next1;
    COLORREF fg = ColorToRGB(inMonth && !OutOfRange(day) ? FColors->TextColor() : FColors->TrailingTextColor());
    if (day == FDate) {
      Fill(DC, r, ColorToRGB(FColors->TitleBackColor()));
      fg = ColorToRGB(FColors->TitleTextColor());
      if (focused) DrawFocusRect(DC, r);
    }
    if (FShowTodayCircle && day == today) {
      TTodayMarkPen pen(DC);
      Ellipse(DC, r.Left, r.Top, r.Right, r.Bottom);
    }
    Word dy, dm, dd;
    DecodeDate(day, dy, dm, dd);
    SetTextColor(DC, Enabled() ? fg : GetSysColor(COLOR_GRAYTEXT));
    TRect tr = r;
    DrawText(DC, IntToStr(dd), -1, &tr, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
  if (FWeekNumbers) {
    SetTextColor(DC, ColorToRGB(FColors->TitleBackColor()));
    for (int row = 0; row < 6; ++row) {
      TRect r = Bounds(g.Title.Left, g.Days.Top + row * g.CellH, g.WeekW - 2, g.CellH);
      DrawText(DC, IntToStr(WeekNumber(start + row * 7 + 3)), -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    Line(DC, g.Days.Left - 2, g.Days.Top, g.Days.Left - 2, g.Days.Bottom, GetSysColor(COLOR_BTNSHADOW));
  }
  if (FShowToday) {
    SelectObject(DC, bold.Handle());
    SetTextColor(DC, ColorToRGB(FColors->TextColor()));
    TRect tr = g.Today;
    int x = tr.Left + 4;
    if (FShowTodayCircle) {
      TTodayMarkPen pen(DC);
      Rectangle(DC, x, tr.Top + 2, x + 16, tr.Bottom - 2);
      x += 20;
    }
    tr.Left = x;
    DrawText(DC, "今天: " + FormatDateTime(FormatSettings().ShortDateFormat, today), -1, &tr, DT_SINGLELINE | DT_VCENTER);
  }
  SelectObject(DC, old);
}

// ================================================================ TDateTimePicker

KELM_PUBLISH(TDateTimePicker) { Published(b); }

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner) {
  FCalColors = std::make_unique<TMonthCalColors>(this);
  SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque, csFixedHeight});
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FDateTime = ::Now();
  SetBounds(0, 0, 186, CellHeightOf(Font()) + 8);
}

TDateTimePicker::~TDateTimePicker() {
  Destroying();
  if (FDropped && FCalendar) HidePopup(FCalendar.get());
}

void TDateTimePicker::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.ExStyle |= WS_EX_CLIENTEDGE;
}

void TDateTimePicker::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

TDateTime TDateTimePicker::Date() const { return DayOnly(FDateTime); }

void TDateTimePicker::SetDate(TDateTime v) {
  TDateTime time = FDateTime - DayOnly(FDateTime);
  SetDateTime(DayOnly(v) + time);
}

TDateTime TDateTimePicker::Time() const { return FDateTime - DayOnly(FDateTime); }

void TDateTimePicker::SetTime(TDateTime v) { SetDateTime(DayOnly(FDateTime) + (v - DayOnly(v))); }

TDateTime TDateTimePicker::ClampValue(TDateTime v) const {
  if (FMinDate != 0 && v < FMinDate) v = FMinDate;
  if (FMaxDate != 0 && DayOnly(v) > DayOnly(FMaxDate)) v = DayOnly(FMaxDate) + (v - DayOnly(v));
  return v;
}

void TDateTimePicker::SetDateTime(TDateTime v) {
  v = ClampValue(v);
  if (v == FDateTime) return;
  FDateTime = v;
  Invalidate();
}

void TDateTimePicker::SetMinDate(TDateTime v) {
  CheckNewMinDate(v, FMaxDate);
  FMinDate = v;
  SetDateTime(FDateTime);
}

void TDateTimePicker::SetMaxDate(TDateTime v) {
  CheckNewMaxDate(v, FMinDate);
  FMaxDate = v;
  SetDateTime(FDateTime);
}

void TDateTimePicker::SetKind(TDateTimeKind v) {
  FKind = v;
  FActiveField = 0;
  Invalidate();
}
void TDateTimePicker::SetDateMode(TDTDateMode v) {
  FDateMode = v;
  Invalidate();
}
void TDateTimePicker::SetDateFormat(TDTDateFormat v) {
  FDateFormat = v;
  FActiveField = 0;
  Invalidate();
}
void TDateTimePicker::SetFormat(const String& v) {
  FFormat = v;
  FActiveField = 0;
  Invalidate();
}
void TDateTimePicker::SetShowCheckbox(bool v) {
  FShowCheckbox = v;
  Invalidate();
}
void TDateTimePicker::SetChecked(bool v) {
  FChecked = v;
  Invalidate();
}

void TDateTimePicker::SetDroppedDown(bool v) { ShowCalendar(v); }

TMonthCalendar* TDateTimePicker::Calendar() {
  if (!FCalendar) {
    FCalendar = std::make_unique<TMonthCalendar>(nullptr);
    FCalendar->SetVisible(false);
    FCalendar->FOnUserSelect = [this](bool Final) {
      if (Final) CalendarChosen();
    };
  }
  return FCalendar.get();
}

// ---------------------------------------------------------------- the format

std::vector<TDateTimePicker::TField> TDateTimePicker::ParseFormat() const {
  String fmt = FFormat;
  if (fmt.empty()) {
    // The format settings' pictures in the picker's letters: the date's m is a month (M),
    // the time's h a 24-hour hour (H) unless an AM/PM part asks for 12 hours.
    const TFormatSettings& fs = FormatSettings();
    String src = FKind == dtkTime ? fs.LongTimeFormat : (FDateFormat == dfLong ? fs.LongDateFormat : fs.ShortDateFormat);
    bool ampm = ContainsText(src, "am/pm") || ContainsText(src, "a/p");
    bool quoted = false;
    for (std::size_t i = 0; i < src.size(); ++i) {
      char c = src[i];
      if (c == '\'' || c == '"') {
        quoted = !quoted;
        fmt += '\'';
        continue;
      }
      if (!quoted && FKind == dtkDate && (c == 'm' || c == 'M')) c = 'M';
      else if (!quoted && FKind == dtkTime && (c == 'h' || c == 'H')) c = ampm ? 'h' : 'H';
      else if (!quoted && FKind == dtkTime && (c == 'n' || c == 'N')) c = 'm';
      if (!quoted && (c == '/' || c == ':')) {
        fmt += c == '/' ? String(1, fs.DateSeparator) : String(1, fs.TimeSeparator);
        continue;
      }
      if (!quoted && FKind == dtkTime && ampm && (src.compare(i, 5, "am/pm") == 0 || src.compare(i, 5, "AM/PM") == 0)) {
        fmt += "tt";
        i += 4;
        continue;
      }
      fmt += c;
    }
  }
  std::vector<TField> out;
  auto literal = [&](const String& s) {
    if (!out.empty() && out.back().Kind == fkLiteral) out.back().Text += s;
    else out.push_back({fkLiteral, 0, s});
  };
  for (std::size_t i = 0; i < fmt.size();) {
    char c = fmt[i];
    if (c == '\'') {
      std::size_t j = fmt.find('\'', i + 1);
      if (j == String::npos) j = fmt.size();
      literal(fmt.substr(i + 1, j - i - 1));
      i = j + 1;
      continue;
    }
    std::size_t n = 1;
    while (i + n < fmt.size() && fmt[i + n] == c) ++n;
    TFieldKind k = fkLiteral;
    switch (c) {
      case 'y': k = fkYear; break;
      case 'M': k = fkMonth; break;
      case 'd': k = n >= 3 ? fkDayName : fkDay; break;
      case 'H': k = fkHour; break;
      case 'h': k = fkHour12; break;
      case 'm': k = fkMinute; break;
      case 's': k = fkSecond; break;
      case 't': k = fkAmPm; break;
      default: break;
    }
    if (k == fkLiteral) {
      // Other characters (a multi-byte character among them) stand for themselves.
      int len = Utf8SeqLen(static_cast<unsigned char>(c));
      literal(fmt.substr(i, static_cast<std::size_t>(len)));
      i += static_cast<std::size_t>(len);
      continue;
    }
    out.push_back({k, static_cast<int>(n), String()});
    i += n;
  }
  return out;
}

String TDateTimePicker::FieldText(const TField& F) const {
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(FDateTime, y, mo, d, h, mi, s, ms);
  auto pad = [](int v, int w) {
    String t = IntToStr(v);
    while (static_cast<int>(t.size()) < w) t = "0" + t;
    return t;
  };
  const TFormatSettings& fs = FormatSettings();
  switch (F.Kind) {
    case fkLiteral: return F.Text;
    case fkYear: return F.Width <= 2 ? pad(y % 100, F.Width == 1 ? 1 : 2) : pad(y, 4);
    case fkMonth:
      if (F.Width >= 4) return fs.LongMonthNames[mo - 1];
      if (F.Width == 3) return fs.ShortMonthNames[mo - 1];
      return pad(mo, F.Width);
    case fkDay: return pad(d, F.Width);
    case fkDayName: {
      int wd = DayOfWeek(FDateTime) - 1;
      return F.Width >= 4 ? fs.LongDayNames[static_cast<std::size_t>(wd)] : fs.ShortDayNames[static_cast<std::size_t>(wd)];
    }
    case fkHour: return pad(h, F.Width);
    case fkHour12: return pad(h % 12 == 0 ? 12 : h % 12, F.Width);
    case fkMinute: return pad(mi, F.Width);
    case fkSecond: return pad(s, F.Width);
    case fkAmPm: return h < 12 ? fs.TimeAMString : fs.TimePMString;
  }
  return String();
}

String TDateTimePicker::DisplayText() const {
  String s;
  for (const TField& f : ParseFormat()) s += FieldText(f);
  return s;
}

std::vector<int> TDateTimePicker::EditableFields(const std::vector<TField>& Fields) const {
  std::vector<int> r;
  for (std::size_t i = 0; i < Fields.size(); ++i)
    if (Fields[i].Kind != fkLiteral && Fields[i].Kind != fkDayName) r.push_back(static_cast<int>(i));
  return r;
}

void TDateTimePicker::SetByUser(TDateTime v) {
  v = ClampValue(v);
  if (FShowCheckbox && !FChecked) {
    FChecked = true;
    Invalidate();
  }
  if (v == FDateTime) return;
  FDateTime = v;
  Invalidate();
  Change();
}

void TDateTimePicker::StepField(int Delta) {
  auto fields = ParseFormat();
  auto editable = EditableFields(fields);
  if (editable.empty()) return;
  FActiveField = std::clamp(FActiveField, 0, static_cast<int>(editable.size()) - 1);
  const TField& f = fields[static_cast<std::size_t>(editable[static_cast<std::size_t>(FActiveField)])];
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(FDateTime, y, mo, d, h, mi, s, ms);
  auto wrap = [](int v, int lo, int hi) { return (v - lo + (hi - lo + 1) * 100) % (hi - lo + 1) + lo; };
  int iy = y, imo = mo, id = d, ih = h, imi = mi, is = s;
  switch (f.Kind) {
    case fkYear: iy = std::clamp(iy + Delta, 1, 9999); break;
    case fkMonth: imo = wrap(imo + Delta, 1, 12); break;
    case fkDay: id = wrap(id + Delta, 1, DaysInAMonth(static_cast<Word>(iy), static_cast<Word>(imo))); break;
    case fkHour:
    case fkHour12: ih = wrap(ih + Delta, 0, 23); break;
    case fkMinute: imi = wrap(imi + Delta, 0, 59); break;
    case fkSecond: is = wrap(is + Delta, 0, 59); break;
    case fkAmPm: ih = (ih + 12) % 24; break;
    default: return;
  }
  FTyped = -1;
  SetByUser(EncodeParts(iy, imo, id, ih, imi, is, ms));
}

void TDateTimePicker::TypeDigit(int Digit) {
  auto fields = ParseFormat();
  auto editable = EditableFields(fields);
  if (editable.empty()) return;
  FActiveField = std::clamp(FActiveField, 0, static_cast<int>(editable.size()) - 1);
  const TField& f = fields[static_cast<std::size_t>(editable[static_cast<std::size_t>(FActiveField)])];
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(FDateTime, y, mo, d, h, mi, s, ms);
  int value = FTyped < 0 ? Digit : FTyped * 10 + Digit;
  int count = FTyped < 0 ? 1 : FTypedCount + 1;
  int maxDigits = f.Kind == fkYear ? (f.Width <= 2 ? 2 : 4) : 2;
  int hi = 0;
  switch (f.Kind) {
    case fkMonth: hi = 12; break;
    case fkDay: hi = DaysInAMonth(y, mo); break;
    case fkHour: hi = 23; break;
    case fkHour12: hi = 12; break;
    case fkMinute: case fkSecond: hi = 59; break;
    case fkYear: hi = 9999; break;
    default: return;
  }
  // A digit that cannot go on to a two-digit value completes the field at once (a day may
  // be typed up to 31 and is then held to the month's last day).
  int continueLimit = f.Kind == fkDay ? 31 : hi;
  bool complete = count >= maxDigits || (f.Kind != fkYear && value * 10 > continueLimit);
  int iy = y, imo = mo, id = d, ih = h, imi = mi, is = s;
  auto apply = [&](int v) {
    switch (f.Kind) {
      case fkYear:
        if (maxDigits == 2 || (count <= 2 && complete)) v += v < FormatSettings().TwoDigitYearCenturyWindow ? 2000 : 1900;
        iy = std::clamp(v, 1, 9999);
        break;
      case fkMonth: imo = std::clamp(v, 1, 12); break;
      case fkDay: id = std::clamp(v, 1, hi); break;
      case fkHour: ih = std::clamp(v, 0, 23); break;
      case fkHour12: ih = (h >= 12 ? 12 : 0) + std::clamp(v, 1, 12) % 12; break;
      case fkMinute: imi = std::clamp(v, 0, 59); break;
      case fkSecond: is = std::clamp(v, 0, 59); break;
      default: break;
    }
  };
  if (f.Kind != fkYear || complete) {
    if (value == 0 && !complete) {
      // A leading zero waits for the next digit.
    } else {
      apply(value);
      SetByUser(EncodeParts(iy, imo, id, ih, imi, is, ms));
    }
  }
  if (complete) {
    FTyped = -1;
    FTypedCount = 0;
    if (FActiveField + 1 < static_cast<int>(editable.size())) ++FActiveField;
  } else {
    FTyped = value;
    FTypedCount = count;
  }
  Invalidate();
}

// ---------------------------------------------------------------- geometry

TRect TDateTimePicker::CheckRect() const {
  if (!FShowCheckbox) return {};
  int top = (ClientHeight() - 13) / 2;
  return {2, top, 15, top + 13};
}

TRect TDateTimePicker::ButtonRect() const {
  TRect c = ClientRect();
  int w = FKind == dtkTime || FDateMode == dmUpDown ? 15 : GetSystemMetrics(SM_CXVSCROLL);
  return {c.Right - w, c.Top, c.Right, c.Bottom};
}

// ---------------------------------------------------------------- the drop-down calendar

void TDateTimePicker::ShowCalendar(bool Show) {
  if (Show == FDropped || FKind == dtkTime || FDateMode == dmUpDown) return;
  TMonthCalendar* cal = Calendar();
  if (!Show) {
    FDropped = false;
    HidePopup(cal);
    Invalidate();
    OnCloseUp(this);
    return;
  }
  OnDropDown(this);
  cal->Font()->Assign(Font());
  cal->CalColors()->Assign(FCalColors.get());
  cal->SetMinDate(0);
  cal->SetMaxDate(0);
  cal->SetMinDate(FMinDate);
  cal->SetMaxDate(FMaxDate);
  cal->SetDate(FDateTime);
  TRect r = cal->MinReqRect();
  cal->HandleNeeded();
  TRect nc = cal->NonClientMargins();
  cal->SetBounds(0, 0, r.Width() + nc.Left + nc.Right, r.Height() + nc.Top + nc.Bottom);
  FDropped = true;
  TRect mine = NonClientMargins();
  TRect anchor{-mine.Left, -mine.Top, Width() - mine.Left, Height() - mine.Top};
  ShowPopupBelow(cal, this, anchor, FCalAlignment == dtaRight, [this] {
    // Closed by a press outside: the same press must not open it again.
    FJustClosed = true;
    FDropped = false;
    if (FCalendar) FCalendar->SetVisible(false);
    Invalidate();
    OnCloseUp(this);
  });
  Invalidate();
}

void TDateTimePicker::CalendarChosen() {
  TDateTime d = FCalendar->Date();
  ShowCalendar(false);
  SetByUser(d + (FDateTime - DayOnly(FDateTime)));
}

// ---------------------------------------------------------------- messages

void TDateTimePicker::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FDropped ? DLGC_WANTALLKEYS : 0);
      return;
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    default:
      TWinControl::Dispatch(M);
  }
}

void TDateTimePicker::KeyDownDefault(TMessage& M) {
  Word key = static_cast<Word>(M.WParam);
  bool alt = (M.LParam & AltMask) != 0;
  if (key == VK_F4 || (alt && key == VK_DOWN)) {
    ShowCalendar(!FDropped);
    return;
  }
  if (FDropped) {
    switch (key) {
      case VK_RETURN: CalendarChosen(); return;
      case VK_ESCAPE: ShowCalendar(false); return;
      default:
        // The arrows move in the calendar while it is down.
        FCalendar->Perform(WM_KEYDOWN, M.WParam, M.LParam);
        return;
    }
  }
  auto editable = EditableFields(ParseFormat());
  int n = static_cast<int>(editable.size());
  switch (key) {
    case VK_LEFT:
      FTyped = -1;
      if (FActiveField > 0) --FActiveField;
      Invalidate();
      return;
    case VK_RIGHT:
      FTyped = -1;
      if (FActiveField + 1 < n) ++FActiveField;
      Invalidate();
      return;
    case VK_UP: case VK_ADD: StepField(1); return;
    case VK_DOWN: case VK_SUBTRACT: StepField(-1); return;
    case VK_HOME:
      FActiveField = 0;
      FTyped = -1;
      Invalidate();
      return;
    case VK_END:
      FActiveField = std::max(0, n - 1);
      FTyped = -1;
      Invalidate();
      return;
    default:
      return;
  }
}

void TDateTimePicker::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case DTM_GETSYSTEMTIME:
      DTMGetSystemTime(M);
      return;
    case DTM_SETSYSTEMTIME:
      DTMSetSystemTime(M);
      return;
    case DTM_GETRANGE:
      M.Result = RangeToSystemTimes(FMinDate, FMaxDate, reinterpret_cast<SYSTEMTIME*>(M.LParam));
      return;
    case DTM_SETRANGE:
      DTMSetRange(M);
      return;
    case DTM_SETFORMAT:
      DTMSetFormat(M);
      return;
    case DTM_GETMONTHCAL:
      M.Result = FDropped && FCalendar ? static_cast<LRESULT>(FCalendar->Handle()) : 0;
      return;
    case WM_GETTEXT:
      AnswerGetText(DisplayText(), M);
      return;
    case WM_GETTEXTLENGTH:
      AnswerGetTextLength(DisplayText(), M);
      return;
    case WM_PAINT:
      PaintPicker(reinterpret_cast<HDC>(M.WParam));
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      KeyDownDefault(M);
      return;
    case WM_CHAR:
      WMChar(M);
      return;
    case WM_MOUSEMOVE:
      FJustClosed = false;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      WMLButtonDown(M);
      return;
    case WM_LBUTTONUP:
      WMLButtonUp(M);
      return;
    case WM_KILLFOCUS:
      FTyped = -1;
      if (FDropped) ShowCalendar(false);
      Invalidate();
      break;
    case WM_SETFOCUS:
      Invalidate();
      break;
    case WM_MOUSEWHEEL:
      StepField(WheelDeltaOf(M.WParam) > 0 ? 1 : -1);
      return;
    default:
      break;
  }
  TWinControl::DefaultHandler(M);
}

void TDateTimePicker::PaintPicker(HDC DC) {
  if (!DC) return;
  TRect c = ClientRect();
  Fill(DC, c, ColorToRGB(Enabled() ? Color() : clBtnFace));
  if (FShowCheckbox) {
    TRect box = CheckRect();
    DrawFrameControl(DC, box, DFC_BUTTON, DFCS_BUTTONCHECK | (FChecked ? UINT(DFCS_CHECKED) : 0u) | (Enabled() ? 0u : UINT(DFCS_INACTIVE)));
  }
  bool focused = GetFocus() == Handle();
  auto fields = ParseFormat();
  auto editable = EditableFields(fields);
  int active = editable.empty() ? -1 : editable[static_cast<std::size_t>(std::clamp(FActiveField, 0, static_cast<int>(editable.size()) - 1))];
  HGDIOBJ old = SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  bool live = Enabled() && (!FShowCheckbox || FChecked);
  int x = (FShowCheckbox ? CheckRect().Right : 0) + 3;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    String t = FieldText(fields[i]);
    TSize sz;
    GetTextExtentPoint32(DC, t, -1, &sz);
    TRect r{x, 0, x + sz.cx, c.Bottom};
    if (focused && live && static_cast<int>(i) == active && !FDropped) {
      Fill(DC, {r.Left, (c.Bottom - sz.cy) / 2, r.Right, (c.Bottom + sz.cy) / 2}, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(DC, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(DC, live ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
    }
    DrawText(DC, t, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
    x += sz.cx;
  }
  SelectObject(DC, old);
  TRect btn = ButtonRect();
  if (FKind == dtkTime || FDateMode == dmUpDown) {
    int mid = (btn.Top + btn.Bottom) / 2;
    TRect up{btn.Left, btn.Top, btn.Right, mid}, down{btn.Left, mid, btn.Right, btn.Bottom};
    DrawFrameControl(DC, up, DFC_SCROLL, DFCS_SCROLLUP | (FUpDownPressed == 1 ? UINT(DFCS_PUSHED) : 0u));
    DrawFrameControl(DC, down, DFC_SCROLL, DFCS_SCROLLDOWN | (FUpDownPressed == -1 ? UINT(DFCS_PUSHED) : 0u));
  } else {
    DrawFrameControl(DC, btn, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (FDropped ? UINT(DFCS_PUSHED | DFCS_FLAT) : 0u) | (Enabled() ? 0u : UINT(DFCS_INACTIVE)));
  }
}

void TDateTimePicker::DTMGetSystemTime(TMessage& M) {
  if (FShowCheckbox && !FChecked) {
    M.Result = GDT_NONE;
    return;
  }
  if (auto* st = reinterpret_cast<SYSTEMTIME*>(M.LParam)) DateTimeToSystemTime(FDateTime, *st);
  M.Result = GDT_VALID;
}

void TDateTimePicker::DTMSetSystemTime(TMessage& M) {
  if (static_cast<LRESULT>(M.WParam) == GDT_NONE) {
    if (!FShowCheckbox) {
      M.Result = 0;
      return;
    }
    SetChecked(false);
    M.Result = 1;
    return;
  }
  auto* st = reinterpret_cast<SYSTEMTIME*>(M.LParam);
  if (!st) {
    M.Result = 0;
    return;
  }
  SetDateTime(SystemTimeToDateTime(*st));
  if (FShowCheckbox) SetChecked(true);
  M.Result = 1;
}

void TDateTimePicker::DTMSetRange(TMessage& M) {
  RangeFromSystemTimes(M.WParam, reinterpret_cast<SYSTEMTIME*>(M.LParam), FMinDate, FMaxDate);
  SetDateTime(FDateTime);
  M.Result = 1;
}

void TDateTimePicker::DTMSetFormat(TMessage& M) {
  SetFormat(M.LParam ? String(reinterpret_cast<const char*>(M.LParam)) : String());
  M.Result = 1;
}

void TDateTimePicker::WMChar(TMessage& M) {
  Char c = static_cast<Char>(M.WParam);
  if (c == ' ' && FShowCheckbox) {
    FChecked = !FChecked;
    Invalidate();
    Change();
    return;
  }
  if (c >= '0' && c <= '9') TypeDigit(static_cast<int>(c - '0'));
}

void TDateTimePicker::WMLButtonDown(TMessage& M) {
  bool reopen = !FJustClosed;
  FJustClosed = false;
  if (CanFocus() && GetFocus() != Handle()) SetFocus();
  TPoint p = PointFromLParam(M.LParam);
  if (PtInRect(CheckRect(), p)) {
    FChecked = !FChecked;
    Invalidate();
    Change();
    return;
  }
  TRect btn = ButtonRect();
  if (PtInRect(btn, p)) {
    if (FKind == dtkTime || FDateMode == dmUpDown) {
      FUpDownPressed = p.Y < (btn.Top + btn.Bottom) / 2 ? 1 : -1;
      StepField(FUpDownPressed);
      Invalidate();
    } else if (FDropped) {
      ShowCalendar(false);
    } else if (reopen) {
      ShowCalendar(true);
    }
    return;
  }
  // A press on the text chooses the field under it.
  auto fields = ParseFormat();
  auto editable = EditableFields(fields);
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  int x = (FShowCheckbox ? CheckRect().Right : 0) + 3;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    TSize sz;
    String t = FieldText(fields[i]);
    GetTextExtentPoint32(dc, t, -1, &sz);
    if (p.X < x + sz.cx) {
      auto it = std::find(editable.begin(), editable.end(), static_cast<int>(i));
      if (it != editable.end()) {
        FActiveField = static_cast<int>(it - editable.begin());
        FTyped = -1;
      }
      break;
    }
    x += sz.cx;
  }
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  Invalidate();
}

void TDateTimePicker::WMLButtonUp(TMessage& M) {
  if (FUpDownPressed) {
    FUpDownPressed = 0;
    Invalidate();
  }
}
