#include "controls/ToolEditDate.h"

#include "controls/RXConst.h"
#include "controls/rxStrUtils.h"
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/Exceptions.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "gui/Application.h"
#include "gui/SysResources.h"

#include <algorithm>

namespace {

// The one default glyph of every date edit, loaded on first use and freed at the end.
TBitmap* DateGlyph() {
  static TBitmap* glyph = nullptr;
  if (!glyph) {
    glyph = new TBitmap;
    glyph->LoadFromResourceName("DEDITBMP");
    AddExitProc([] {
      delete glyph;
      glyph = nullptr;
    });
  }
  return glyph;
}

bool PlainKey(TShiftState Shift) {
  return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
}

}  // namespace

// ================================================================ TCustomDateEdit

KELM_PUBLISH(TCustomDateEdit) {}

TCustomDateEdit::TCustomDateEdit(TComponent* AOwner) : TCustomComboEdit(AOwner) {
  FDialogTitle = LoadStr(SDateDlgTitle);
  SetDefaultNumGlyphs(2);
  FCalendarHints = std::make_unique<TStringList>();
  FCalendarHints->SetOnChange(TNotifyEvent(this, &TCustomDateEdit::CalendarHintsChanged));
  RefreshDateFormat();
  CreatePopupCalendar();
  SetGlyphKind(gkDefault);
  if (HandleAllocated()) Hook();
}

TCustomDateEdit::~TCustomDateEdit() {
  Unhook();
  if (TPopupWindow* p = Popup()) {
    SetPopup(nullptr);
    delete p;
  }
  FCalendarHints->SetOnChange(TNotifyEvent());
}

void TCustomDateEdit::CreatePopupCalendar() {
  TPopupWindow* popup = CreateDateDropDown(this, BiDiMode());
  popup->OnPopupClose = TCloseUpEvent(this, &TCustomComboEdit::HandlePopupClose);
  popup->SetColor(FPopupColor);
  SetPopup(popup);
}

// ---- the date

TDateTime TCustomDateEdit::NullOrToday() const { return FDefaultToday ? Date() : NullDate; }

TDateTime TCustomDateEdit::GetDateValue() const { return TextToDateByFormatDef(FDateFormat, Text(), NullOrToday()); }

void TCustomDateEdit::SetDateValue(TDateTime Value) {
  if (!ValidDateValue(Value) || Value == NullDate) Value = NullOrToday();
  const TDateTime old = GetDateValue();
  SetText(Value == NullDate ? String() : FormatDateTime(FDateFormat, Value));
  SetModified(GetDateValue() != old);
}

void TCustomDateEdit::CommitDate(TDateTime Value) {
  SetDateValue(Value);
  SelectAllIfDirect();
}

bool TCustomDateEdit::TextHasDate() const {
  const String blanks{'\0', ' ', FBlanksChar, FormatSettings().DateSeparator};
  const String text = Text();
  for (char c : text)
    if (blanks.find(c) == String::npos) return true;
  return false;
}

void TCustomDateEdit::CheckDateText() {
  if (!TextHasDate()) return;
  TRestore<bool> formatting(FFormatting, true);
  // A text that is no date keeps the user in the edit; the conversion error goes on.
  TDateTime date;
  if (!TryTextToDate(FDateFormat, Text(), date)) {
    if (CanFocus()) SetFocus();
    date = TextToDateByFormat(FDateFormat, Text());  // raises the conversion error
  }
  SetDateValue(date);
}

// ---- the drop-down and the dialog

TBitmap* TCustomDateEdit::GetDefaultGlyph(bool& MustFree) {
  MustFree = false;
  return DateGlyph();
}

void TCustomDateEdit::LoadPopupValue(const Variant& Value) {
  const String text = VarIsNull(Value) || VarIsEmpty(Value) ? String() : VarToStr(Value);
  const TDateTime d = TextToDateByFormatDef(FDateFormat, text, Date());
  TCustomComboEdit::LoadPopupValue(Variant::FromDate(d));
}

bool TCustomDateEdit::ApprovePopupValue(Variant& Value) {
  if (!OnAcceptDate.Assigned()) return true;
  TDateTime d;
  if (VarIsNull(Value) || VarIsEmpty(Value)) {
    d = NullDate;
  } else {
    try {
      d = Value.AsDateTime();
    } catch (const Exception&) {
      d = NullOrToday();
    }
  }
  bool action = true;
  OnAcceptDate(this, d, action);
  if (action) Value = Variant::FromDate(d);
  return action;
}

void TCustomDateEdit::TakePopupValue(const Variant& Value) {
  SetDateValue(Value.AsDateTime());
  SyncPopupVisible();
  if (Modified()) Change();
}

void TCustomDateEdit::RunButtonAction() {
  TCustomComboEdit::RunButtonAction();
  if (CalendarStyle() != csDialog) return;
  TDateTime d = GetDateValue();
  bool action = RunDateDialog(d, FDialogTitle, FStartOfWeek, FWeekends, FWeekendColor, FCalendarHints.get());
  if (CanFocus()) SetFocus();
  if (!action) return;
  OnAcceptDate(this, d, action);
  if (!action) return;
  SetDateValue(d);
  if (Focused()) SelectAllIfDirect();
}

void TCustomDateEdit::Change() {
  if (!FFormatting) TCustomComboEdit::Change();
}

// ---- keys

void TCustomDateEdit::KeyDown(Word& Key, TShiftState Shift) {
  auto* calendar = dynamic_cast<TPopupCalendar*>(Popup());
  static constexpr Word kCalendarKeys[] = {VK_PRIOR, VK_NEXT, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_ADD, VK_SUBTRACT};
  const bool calendarKey = std::find(std::begin(kCalendarKeys), std::end(kCalendarKeys), Key) != std::end(kCalendarKeys);
  if (calendar && PopupVisible() && calendarKey) {
    calendar->KeyDown(Key, Shift);
    Key = 0;
  } else if (PlainKey(Shift) && DirectInput() && (Key == VK_ADD || Key == VK_SUBTRACT)) {
    TDateTime base = GetDateValue();
    if (base == NullDate) base = Now();
    CommitDate(base + (Key == VK_ADD ? 1 : -1));
    Key = 0;
  }
  TCustomComboEdit::KeyDown(Key, Shift);
}

void TCustomDateEdit::KeyPress(Char& Key) {
  const bool dateKey = Key == '+' || Key == '-' || Key == 'T' || Key == 't';
  auto* calendar = dynamic_cast<TPopupCalendar*>(Popup());
  if (dateKey && calendar && PopupVisible()) {
    calendar->KeyPress(Key);
    Key = 0;
  } else if (dateKey && DirectInput()) {
    if (Key == 'T' || Key == 't') CommitDate(Date());
    Key = 0;
  }
  TCustomComboEdit::KeyPress(Key);
}

// ---- format and mask

bool TCustomDateEdit::UsesFourDigitYear() const {
  return FYearDigits == dyFour || (FYearDigits == dyDefault && FourDigitYear);
}

void TCustomDateEdit::RefreshDateFormat() { FDateFormat = DefaultDateFormat(UsesFourDigitYear()).substr(0, 10); }

String TCustomDateEdit::DateMaskText() const { return DefaultDateMask(FBlanksChar, UsesFourDigitYear()); }

void TCustomDateEdit::RefreshDateMask() {
  const TDateTime d = GetDateValue();
  const String oldFormat = FDateFormat;
  RefreshDateFormat();
  if (DateMaskText() != EditMask() || oldFormat != FDateFormat) {
    SetEditMask(String());
    SetEditMask(DateMaskText());
  }
  SyncCalendarSettings();
  SetDateValue(d);
}

bool TCustomDateEdit::FormatSettingsChange(TMessage& Message) {
  if (Message.Msg == WM_WININICHANGE && Application && Application->UpdateFormatSettings()) RefreshDateMask();
  return false;
}

void TCustomDateEdit::Hook() {
  if (FHooked || !Application || ComponentState().Contains(csDesigning)) return;
  Application->HookMainWindow(TWindowHook(this, &TCustomDateEdit::FormatSettingsChange));
  FHooked = true;
}

void TCustomDateEdit::Unhook() {
  if (!FHooked) return;
  if (Application) Application->UnhookMainWindow(TWindowHook(this, &TCustomDateEdit::FormatSettingsChange));
  FHooked = false;
}

void TCustomDateEdit::CreateWnd() {
  TCustomComboEdit::CreateWnd();
  RefreshDateMask();
  Hook();
}

void TCustomDateEdit::DestroyWnd() {
  Unhook();
  TCustomComboEdit::DestroyWnd();
}

// ---- properties

bool TCustomDateEdit::StoreDialogTitle() const { return !FDialogTitle.empty() && FDialogTitle != LoadStr(SDateDlgTitle); }

void TCustomDateEdit::SetBlanksChar(char Value) {
  if (Value == FBlanksChar) return;
  FBlanksChar = static_cast<unsigned char>(Value) > 31 ? Value : ' ';
  RefreshDateMask();
}

void TCustomDateEdit::SetYearDigits(TYearDigits Value) {
  if (Value == FYearDigits) return;
  FYearDigits = Value;
  RefreshDateMask();
}

TStrings* TCustomDateEdit::CalendarHints() const { return FCalendarHints.get(); }

void TCustomDateEdit::SetCalendarHints(TStrings* Value) { FCalendarHints->Assign(Value); }

void TCustomDateEdit::CalendarHintsChanged(TObject*) {
  {
    const TNotifyEvent handler = FCalendarHints->OnChange();
    FCalendarHints->SetOnChange(TNotifyEvent());
    TScopeExit restore([&] { FCalendarHints->SetOnChange(handler); });
    while (FCalendarHints->Count() > 4) FCalendarHints->Delete(FCalendarHints->Count() - 1);
  }
  if (!ComponentState().Contains(csDesigning)) SyncCalendarSettings();
}

void TCustomDateEdit::SyncCalendarSettings() {
  if (Popup()) ConfigureDateDropDown(Popup(), FStartOfWeek, FWeekends, FWeekendColor, FCalendarHints.get());
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName Value) {
  if (Value == FStartOfWeek) return;
  FStartOfWeek = Value;
  SyncCalendarSettings();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek Value) {
  if (Value == FWeekends) return;
  FWeekends = Value;
  SyncCalendarSettings();
}

void TCustomDateEdit::SetWeekendColor(TColor Value) {
  if (Value == FWeekendColor) return;
  FWeekendColor = Value;
  SyncCalendarSettings();
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle Value) {
  if (Value == CalendarStyle()) return;
  if (Value == csDialog) {
    TPopupWindow* p = Popup();
    SetPopup(nullptr);
    delete p;
    return;
  }
  CreatePopupCalendar();
  SyncCalendarSettings();
}

TColor TCustomDateEdit::PopupColor() const { return Popup() ? Popup()->Color() : FPopupColor; }

void TCustomDateEdit::SetPopupColor(TColor Value) {
  if (Popup()) Popup()->SetColor(Value);
  FPopupColor = Value;
}

void TCustomDateEdit::Dispatch(TMessage& M) {
  if (M.Msg == CM_EXIT && FCheckOnExit && !ComponentState().Contains(csDesigning)) CheckDateText();
  TCustomComboEdit::Dispatch(M);
}

// ================================================================ TDateEdit

KELM_PUBLISH(TDateEdit) { Published(b); }

TDateEdit::TDateEdit(TComponent* AOwner) : TCustomDateEdit(AOwner) { RefreshDateMask(); }

void RegisterDateEditControls() {
  RegisterClasses({TDateEdit::StaticClass(), TRxSpeedButton::StaticClass(), TRxTimerSpeedButton::StaticClass(),
                   TRxCalendar::StaticClass()});
}
