#include "controls/PickDate.h"

#include "controls/DateUtil.h"
#include "controls/RXConst.h"
#include "controls/rxStrUtils.h"
#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/ExtCtrls.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"
#include "gui/SysResources.h"
#include "gui/Window.h"

#include <algorithm>

namespace {

constexpr const char* kTitleFormat = "MMMM, YYYY";
// The navigation glyphs and hints in button order: previous year, previous month, next
// month, next year.
constexpr const char* kGlyphs[4] = {"PREV2", "PREV1", "NEXT1", "NEXT2"};
constexpr int kHints[4] = {SPrevYear, SPrevMonth, SNextMonth, SNextYear};
constexpr int kPopupWidth = std::max(187, 180);
constexpr int kPopupHeight = std::max(124, 120);

TDateTime Today() { return Date(); }

TRxTimerSpeedButton* NavButton(TComponent* Owner, TWinControl* Parent, int Index, TRect Bounds, TNotifyEvent Click) {
  auto* b = new TRxTimerSpeedButton(Owner);
  b->SetParent(Parent);
  b->SetBoundsRect(Bounds);
  TBitmap glyph;
  glyph.LoadFromResourceName(kGlyphs[Index]);
  b->SetGlyph(&glyph);
  b->SetHint(LoadStr(kHints[Index]));
  b->OnClick = Click;
  return b;
}

void ApplyHints(TRxTimerSpeedButton* const* Buttons, TStrings* Hints) {
  if (!Hints) return;
  for (int i = 0; i <= std::min(Hints->Count() - 1, 3); ++i)
    if (!Hints->Strings(i).empty()) Buttons[i]->SetHint(Hints->Strings(i));
}

}  // namespace

void ApplyDialogFont(TFont* Font) {
  NONCLIENTMETRICS metrics;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0)) {
    Font->SetHandle(CreateFontIndirect(metrics.lfMessageFont));
    return;
  }
  Font->SetColor(clWindowText);
  Font->SetName("MS Sans Serif");
  Font->SetSize(8);
  Font->SetStyle({});
}

// ================================================================ TRxCalendar

KELM_PUBLISH(TRxCalendar) { Published(b); }

TRxCalendar::TRxCalendar(TComponent* AOwner) : TCustomGrid(AOwner) {
  FDate = Today();
  TControlStyle style = ControlStyle();
  style += csFramed;
  SetControlStyle(style);
  SetColCount(7);
  SetRowCount(7);
  SetFixedCols(0);
  SetFixedRows(1);
  SetScrollBars(ssNone);
  TGridOptions options = Options();
  options -= goRangeSelect;
  options += goDrawFocusSelected;
  SetOptions(options);
  RefreshCalendar();
  // The window made while the grid was built had the grid's frame.
  RecreateWnd();
}

void TRxCalendar::CreateParams(TCreateParams& Params) {
  TCustomGrid::CreateParams(Params);
  Params.Style |= WS_BORDER;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TRxCalendar::SizeCells() {
  const TGridOptions o = Options();
  const int vline = o.Contains(goVertLine) || o.Contains(goFixedVertLine) ? GridLineWidth() : 0;
  SetDefaultColWidth(std::max(0, (ClientWidth() - 6 * vline) / 7));
  SetDefaultRowHeight(std::max(0, (ClientHeight() - 6 * GridLineWidth()) / 7));
}

void TRxCalendar::Dispatch(TMessage& M) {
  TCustomGrid::Dispatch(M);
  if (M.Msg == WM_SIZE) SizeCells();
}

int TRxCalendar::DatePart(int Index) const {
  Word y, m, d;
  DecodeDate(FDate, y, m, d);
  return Index == 1 ? y : Index == 2 ? m : d;
}

void TRxCalendar::SetDatePart(int Index, int Value) {
  if (Value < 1) return;
  Word y, m, d;
  DecodeDate(FDate, y, m, d);
  int year = y, month = m, day = d;
  switch (Index) {
    case 1:
      if (Value == year) return;
      year = Value;
      // 29 February has no place in another year; years beyond 9999 have none at all.
      if (year > 9999) return;
      day = std::min(day, dateutil::MonthDays(year, month));
      break;
    case 2:
      if (Value > 12 || Value == month) return;
      month = Value;
      day = std::min(day, dateutil::MonthDays(year, month));
      break;
    default:
      if (Value > dateutil::MonthDays(year, month) || Value == day) return;
      day = Value;
      break;
  }
  FDate = EncodeDate(Word(year), Word(month), Word(day));
  FUseCurrentDate = false;
  LayOutMonth(Index == 3);
  Change();
}

void TRxCalendar::SetCalendarDate(TDateTime Value) {
  if (Value == FDate) return;
  FDate = Value;
  RefreshCalendar();
  Change();
}

void TRxCalendar::SetUseCurrentDate(bool Value) {
  FUseCurrentDate = Value;
  if (!Value) return;
  FDate = Today();
  RefreshCalendar();
}

void TRxCalendar::SetStartOfWeek(TDayOfWeekName Value) {
  if (Value == FStartOfWeek) return;
  FStartOfWeek = Value;
  RefreshCalendar();
}

void TRxCalendar::SetWeekends(TDaysOfWeek Value) {
  if (Value == FWeekends) return;
  FWeekends = Value;
  RefreshCalendar();
}

void TRxCalendar::SetWeekendColor(TColor Value) {
  if (Value == FWeekendColor) return;
  FWeekendColor = Value;
  Invalidate();
}

void TRxCalendar::RefreshCalendar() { LayOutMonth(false); }

void TRxCalendar::LayOutMonth(bool DayOnly) {
  TRestore<bool> updating(FUpdating, true);
  Word y, m, d;
  DecodeDate(FDate, y, m, d);
  const int firstWeekday = DayOfWeek(EncodeDate(y, m, 1)) - 1;  // Sunday 0
  const int column = (firstWeekday - int(FStartOfWeek) + 7) % 7;
  FMonthOffset = 1 - column;
  const int index = d - FMonthOffset;
  MoveColRow(index % 7, index / 7 + 1, true, false);
  if (DayOnly) Repaint();
  else Invalidate();
}

String TRxCalendar::DayCellText(int ACol, int ARow) const {
  if (ARow == 0) return FormatSettings().ShortDayNames[std::size_t((ACol + int(FStartOfWeek)) % 7)];
  const int n = FMonthOffset + ACol + (ARow - 1) * 7;
  if (n < 1 || n > dateutil::MonthDays(Year(), Month())) return String();
  return IntToStr(n);
}

bool TRxCalendar::IsWeekendColumn(int ACol) const {
  return FWeekends.Contains(static_cast<TDayOfWeekName>((ACol + int(FStartOfWeek)) % 7));
}

void TRxCalendar::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  TCanvas* c = Canvas();
  c->SetFont(Font());
  const bool selected = AState.Contains(gdSelected);
  if (selected) c->Font()->SetColor(clHighlightText);
  else if (IsWeekendColumn(ACol)) c->Font()->SetColor(FWeekendColor);
  const String text = DayCellText(ACol, ARow);
  const TSize size = c->TextExtent(text);
  c->Brush()->SetStyle(bsClear);
  c->TextRect(ARect, ARect.Left + (ARect.Width() - size.cx) / 2, ARect.Top + (ARect.Height() - size.cy) / 2, text);
  c->Brush()->SetStyle(bsSolid);
}

bool TRxCalendar::SelectCell(int ACol, int ARow) {
  return !DayCellText(ACol, ARow).empty() && (FUpdating || !FReadOnly);
}

void TRxCalendar::CurrentChanged(int OldCol, int OldRow) {
  TCustomGrid::CurrentChanged(OldCol, OldRow);
  // A cell the keys moved to takes its day as a click on it would.
  if (!FUpdating) Click();
}

void TRxCalendar::Click() {
  TCustomGrid::Click();
  const String text = DayCellText(Col(), Row());
  if (Row() > 0 && !text.empty()) SetDay(StrToInt(text));
}

void TRxCalendar::KeyDown(Word& Key, TShiftState Shift) {
  const bool plain = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
  if (plain && (Key == VK_LEFT || Key == VK_SUBTRACT)) {
    if (Day() > 1) SetDay(Day() - 1);
    else SetCalendarDate(FDate - 1);
    Key = 0;
    return;
  }
  if (plain && (Key == VK_RIGHT || Key == VK_ADD)) {
    if (Day() < dateutil::MonthDays(Year(), Month())) SetDay(Day() + 1);
    else SetCalendarDate(FDate + 1);
    Key = 0;
    return;
  }
  TCustomGrid::KeyDown(Key, Shift);
}

void TRxCalendar::KeyPress(Char& Key) {
  if (Key == 'T' || Key == 't') {
    SetCalendarDate(Trunc(Now()));
    Key = 0;
  }
  TCustomGrid::KeyPress(Key);
}

void TRxCalendar::ShiftMonth(int Delta) {
  Word y, m, d;
  DecodeDate(FDate, y, m, d);
  const TDateTime edge = Delta <= 0 ? EncodeDate(y, m, 1) : EncodeDate(y, m, Word(dateutil::MonthDays(y, m)));
  Word ny, nm, nd;
  DecodeDate(edge + Delta, ny, nm, nd);
  SetCalendarDate(EncodeDate(ny, nm, Word(std::min<int>(d, dateutil::MonthDays(ny, nm)))));
}

void TRxCalendar::StepYear(int Delta) {
  if (LeapYear(Year()) && Month() == 2 && Day() == 29) SetDay(28);
  SetYear(Year() + Delta);
}

// ================================================================ TLocCalendar

KELM_PUBLISH(TLocCalendar) {}

TLocCalendar::TLocCalendar(TComponent* AOwner) : TRxCalendar(AOwner) {
  SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csReplicatable});
  SetCtl3D(false);
  SetEnabled(false);
  SetBorderStyle(bsNone);
  SetParentColor(true);
  SetCalendarDate(Date());
  SetUseCurrentDate(false);
  SetFixedColor(Color());
  SetOptions({goFixedHorzLine});
  SetTabStop(false);
  RecreateWnd();
}

void TLocCalendar::CreateParams(TCreateParams& Params) {
  TRxCalendar::CreateParams(Params);
  Params.Style &= ~(WS_DISABLED | WS_BORDER | WS_TABSTOP);
}

void TLocCalendar::CreateWnd() {
  TRxCalendar::CreateWnd();
  EnableWindow(Handle(), true);
}

void TLocCalendar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_ENABLEDCHANGED:
      // Disabled, it never takes the focus; its window stays enabled, so it gets the mouse.
      if (HandleAllocated() && !ComponentState().Contains(csDesigning)) EnableWindow(Handle(), true);
      return;
    case CM_PARENTCOLORCHANGED:
      TRxCalendar::Dispatch(M);
      SetFixedColor(Color());
      return;
    default:
      TRxCalendar::Dispatch(M);
  }
}

void TLocCalendar::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  TRxCalendar::DrawCell(ACol, ARow, ARect, AState);
  if (ARow == 0) return;
  const String text = DayCellText(ACol, ARow);
  Word y, m, d;
  DecodeDate(Date(), y, m, d);
  if (text.empty() || Year() != y || Month() != m || StrToInt(text) != d) return;
  TRect r = ARect;
  Frame3D(Canvas(), r, clBtnShadow, clBtnHighlight, 1);
}

// ================================================================ TPopupCalendar

KELM_PUBLISH(TPopupCalendar) {}

TPopupCalendar::TPopupCalendar(TComponent* AOwner) : TPopupWindow(AOwner) {
  SetBounds(Left(), Top(), kPopupWidth, kPopupHeight);
  SetColor(clBtnFace);
  ApplyDialogFont(Font());
  auto* ownerControl = dynamic_cast<TControl*>(AOwner);
  SetShowHint(ownerControl ? ownerControl->ShowHint() : true);
  if (ComponentState().Contains(csDesigning)) return;

  auto* back = new TPanel(this);
  back->SetParent(this);
  back->SetAlign(alClient);
  back->SetParentColor(true);
  back->SetBevelOuter(bvNone);
  back->SetControlStyle(back->ControlStyle() + csReplicatable);

  auto* top = new TPanel(this);
  top->SetParent(back);
  top->SetAlign(alTop);
  top->SetBounds(0, 0, kPopupWidth - 4, 18);
  top->SetBevelOuter(bvNone);
  top->SetParentColor(true);
  top->SetControlStyle(top->ControlStyle() + csReplicatable);

  FCalendar = new TLocCalendar(this);
  FCalendar->SetParent(back);
  FCalendar->SetAlign(alClient);
  FCalendar->OnChange = TNotifyEvent(this, &TPopupCalendar::CalendarChange);
  FCalendar->OnMouseUp = TMouseEvent(this, &TPopupCalendar::CalendarMouseUp);

  const int w = top->Width();
  const TNotifyEvent clicks[4] = {TNotifyEvent(this, &TPopupCalendar::PrevYear),
                                  TNotifyEvent(this, &TPopupCalendar::PrevMonth),
                                  TNotifyEvent(this, &TPopupCalendar::NextMonth),
                                  TNotifyEvent(this, &TPopupCalendar::NextYear)};
  const int lefts[4] = {-1, 12, w - 26, w - 13};
  for (int i = 0; i < 4; ++i) FButtons[i] = NavButton(this, top, i, Bounds(lefts[i], -1, 14, 14), clicks[i]);

  FTitleLabel = new TLabel(this);
  FTitleLabel->SetParent(top);
  FTitleLabel->SetAutoSize(false);
  FTitleLabel->SetBounds(29, 1, w - 58, 14);
  FTitleLabel->SetAlignment(taCenter);
  FTitleLabel->SetTransparent(true);
  FTitleLabel->SetControlStyle(FTitleLabel->ControlStyle() + csReplicatable);
  FTitleLabel->OnDblClick = TNotifyEvent(this, &TPopupCalendar::TitleDblClick);
  UpdateTitle();
}

void TPopupCalendar::UpdateTitle() {
  if (FTitleLabel && FCalendar) FTitleLabel->SetCaption(FormatDateTime(kTitleFormat, FCalendar->CalendarDate()));
}

void TPopupCalendar::CalendarChange(TObject*) { UpdateTitle(); }

void TPopupCalendar::TitleDblClick(TObject*) { FCalendar->SetCalendarDate(Date()); }

void TPopupCalendar::CalendarMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != mbLeft || Shift.Contains(ssShift) || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) return;
  const TGridCoord cell = FCalendar->MouseCoord(X, Y);
  if (cell.X < 0 || cell.Y <= 0 || FCalendar->DayCellText(cell.X, cell.Y).empty()) return;
  FinishPopup(true);
}

void TPopupCalendar::KeyDown(Word& Key, TShiftState Shift) {
  TPopupWindow::KeyDown(Key, Shift);
  if (!FCalendar) return;
  const bool ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_PRIOR:
      if (ctrl) FCalendar->StepYearBack();
      else FCalendar->StepMonthBack();
      return;
    case VK_NEXT:
      if (ctrl) FCalendar->StepYearForward();
      else FCalendar->StepMonthForward();
      return;
    default:
      FCalendar->ForwardKeyDown(Key, Shift);
  }
}

void TPopupCalendar::KeyPress(Char& Key) {
  TPopupWindow::KeyPress(Key);
  if (FCalendar && Key != 0) FCalendar->ForwardKeyPress(Key);
}

Variant TPopupCalendar::GetPopupValue() {
  if (ComponentState().Contains(csDesigning) || !FCalendar) return Variant::FromDate(Date());
  return Variant::FromDate(FCalendar->CalendarDate());
}

void TPopupCalendar::SetPopupValue(const Variant& Value) {
  if (ComponentState().Contains(csDesigning) || !FCalendar) return;
  try {
    const String text = Trim(ReplaceAll(VarToStr(Value), String(1, FormatSettings().DateSeparator), ""));
    if (!text.empty() && !VarIsNull(Value) && !VarIsEmpty(Value)) FCalendar->SetCalendarDate(Value.AsDateTime());
    else FCalendar->SetCalendarDate(Date());
  } catch (const Exception&) {
    FCalendar->SetCalendarDate(Date());
  }
  UpdateTitle();
}

TPopupWindow* CreateDateDropDown(TWinControl* Owner, TBiDiMode BiDiMode) {
  auto* popup = new TPopupCalendar(Owner);
  // At the layer's fixed 96 pixels per inch there is nothing to scale.
  if (Owner && !Owner->ComponentState().Contains(csDesigning) && Screen && Screen->PixelsPerInch() != 96) {
    popup->Calendar()->SetParentFont(true);
    ApplyDialogFont(popup->Font());
  }
  popup->SetBiDiMode(BiDiMode);
  return popup;
}

void ConfigureDateDropDown(TPopupWindow* Popup, TDayOfWeekName StartOfWeek, TDaysOfWeek Weekends,
                           TColor WeekendColor, TStrings* Hints) {
  auto* popup = dynamic_cast<TPopupCalendar*>(Popup);
  if (!popup || !popup->Calendar()) return;
  popup->Calendar()->SetStartOfWeek(StartOfWeek);
  popup->Calendar()->SetWeekendColor(WeekendColor);
  popup->Calendar()->SetWeekends(Weekends);
  TRxTimerSpeedButton* buttons[4] = {popup->Buttons(0), popup->Buttons(1), popup->Buttons(2), popup->Buttons(3)};
  ApplyHints(buttons, Hints);
}

// ================================================================ TSelectDateDlg

KELM_PUBLISH(TSelectDateDlg) {}

TSelectDateDlg::TSelectDateDlg(TComponent* AOwner) : TForm(AOwner) {
  SetCaption(LoadStr(SDateDlgTitle));
  SetBorderStyle(bsToolWindow);
  SetBorderIcons({biSystemMenu});
  SetClientSize(222, 154);
  ApplyDialogFont(Font());
  SetColor(clBtnFace);
  SetPosition(poScreenCenter);
  SetShowHint(true);
  SetKeyPreview(true);

  auto* top = new TPanel(this);
  top->SetParent(this);
  top->SetBounds(0, 0, 222, 22);
  top->SetAlign(alTop);
  top->SetBevelInner(bvLowered);
  top->SetParentColor(true);
  top->SetParentFont(true);

  FTitleLabel = new TLabel(this);
  FTitleLabel->SetParent(top);
  FTitleLabel->SetBounds(35, 4, 152, 14);
  FTitleLabel->SetAlignment(taCenter);
  FTitleLabel->SetAutoSize(false);
  FTitleLabel->SetParentFont(true);
  FTitleLabel->Font()->SetColor(TColor(0xFF0000));
  FTitleLabel->Font()->SetStyle({fsBold});
  FTitleLabel->SetTransparent(true);
  FTitleLabel->OnDblClick = TNotifyEvent(this, &TSelectDateDlg::TopPanelDblClick);

  const TNotifyEvent clicks[4] = {TNotifyEvent(this, &TSelectDateDlg::PrevYearBtnClick),
                                  TNotifyEvent(this, &TSelectDateDlg::PrevMonthBtnClick),
                                  TNotifyEvent(this, &TSelectDateDlg::NextMonthBtnClick),
                                  TNotifyEvent(this, &TSelectDateDlg::NextYearBtnClick)};
  const int lefts[4] = {3, 18, 188, 203};
  for (int i = 0; i < 4; ++i) FButtons[i] = NavButton(this, top, i, Bounds(lefts[i], 3, 16, 16), clicks[i]);

  auto* bottom = new TPanel(this);
  bottom->SetParent(this);
  bottom->SetBounds(0, 133, 222, 21);
  bottom->SetAlign(alBottom);
  bottom->SetBevelOuter(bvNone);
  bottom->SetParentFont(true);
  bottom->SetParentColor(true);
  auto* ok = new TButton(this);
  ok->SetParent(bottom);
  ok->SetBounds(0, 0, 112, 21);
  ok->SetCaption(SOKButton);
  ok->SetModalResult(mrOk);
  auto* cancel = new TButton(this);
  cancel->SetParent(bottom);
  cancel->SetBounds(111, 0, 111, 21);
  cancel->SetCaption(SCancelButton);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);

  auto* client = new TPanel(this);
  client->SetParent(this);
  client->SetBounds(0, 22, 222, 111);
  client->SetAlign(alClient);
  client->SetBevelInner(bvLowered);
  client->SetParentFont(true);
  client->SetParentColor(true);

  FCalendar = new TRxCalendar(this);
  FCalendar->SetParent(client);
  FCalendar->SetBounds(2, 2, 218, 113);
  FCalendar->SetAlign(alClient);
  FCalendar->SetParentFont(true);
  FCalendar->SetColor(clWhite);
  FCalendar->SetTabOrder(0);
  FCalendar->SetUseCurrentDate(false);
  FCalendar->OnChange = TNotifyEvent(this, &TSelectDateDlg::CalendarChange);
  FCalendar->OnDblClick = TNotifyEvent(this, &TSelectDateDlg::CalendarDblClick);
  OnKeyDown = TKeyEvent(this, &TSelectDateDlg::FormKeyDown);
  FCalendar->SetCalendarDate(Date());
  CalendarChange(nullptr);
}

void TSelectDateDlg::DoShow() {
  // The calendar is the active control; a hidden form refuses one, so it is set on showing.
  SetActiveControl(FCalendar);
  TForm::DoShow();
}

void TSelectDateDlg::SetDialogDate(TDateTime Value) {
  try {
    FCalendar->SetCalendarDate(Value == NullDate ? Date() : Value);
  } catch (const Exception&) {
    FCalendar->SetCalendarDate(Date());
  }
  CalendarChange(nullptr);
}

void TSelectDateDlg::Stepped() { FTitleLabel->Update(); }
void TSelectDateDlg::PrevYearBtnClick(TObject*) { FCalendar->StepYearBack(); }
void TSelectDateDlg::PrevMonthBtnClick(TObject*) { FCalendar->StepMonthBack(); }
void TSelectDateDlg::NextMonthBtnClick(TObject*) { FCalendar->StepMonthForward(); }
void TSelectDateDlg::NextYearBtnClick(TObject*) { FCalendar->StepYearForward(); }

void TSelectDateDlg::CalendarChange(TObject*) {
  FTitleLabel->SetCaption(FormatDateTime(kTitleFormat, FCalendar->CalendarDate()));
}

void TSelectDateDlg::CalendarDblClick(TObject*) { SetModalResult(mrOk); }
void TSelectDateDlg::TopPanelDblClick(TObject*) { FCalendar->SetCalendarDate(Date()); }

void TSelectDateDlg::FormKeyDown(TObject*, Word& Key, TShiftState Shift) {
  const bool ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_TAB:
      if (Shift == TShiftState{ssShift}) FCalendar->StepMonthBack();
      else FCalendar->StepMonthForward();
      Stepped();
      break;
    case VK_RETURN:
      SetModalResult(mrOk);
      break;
    case VK_ESCAPE:
      SetModalResult(mrCancel);
      break;
    case VK_PRIOR:
      if (ctrl) FCalendar->StepYearBack();
      else FCalendar->StepMonthBack();
      Stepped();
      break;
    case VK_NEXT:
      if (ctrl) FCalendar->StepYearForward();
      else FCalendar->StepMonthForward();
      Stepped();
      break;
    default:
      break;
  }
}

namespace {
TSelectDateDlg* CreateDateDialog(const String& Caption) {
  auto dialog = std::make_unique<TSelectDateDlg>(Application);
  if (!Caption.empty()) dialog->SetCaption(Caption);
  return dialog.release();
}
}  // namespace

bool RunDateDialog(TDateTime& Date, const String& Caption, TDayOfWeekName StartOfWeek, TDaysOfWeek Weekends,
                   TColor WeekendColor, TStrings* Hints) {
  std::unique_ptr<TSelectDateDlg> dialog(CreateDateDialog(Caption));
  dialog->SetDialogDate(Date);
  dialog->Calendar()->SetStartOfWeek(StartOfWeek);
  dialog->Calendar()->SetWeekends(Weekends);
  dialog->Calendar()->SetWeekendColor(WeekendColor);
  TRxTimerSpeedButton* buttons[4] = {dialog->Buttons(0), dialog->Buttons(1), dialog->Buttons(2), dialog->Buttons(3)};
  ApplyHints(buttons, Hints);
  if (dialog->ShowModal() != mrOk) return false;
  Date = dialog->Calendar()->CalendarDate();
  return true;
}
