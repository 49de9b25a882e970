#pragma once
// The date edit: the combo edit as a date field. Its text stays in a fixed date mask built
// from the locale (DefaultDateFormat, DefaultDateMask), its button
// opens the drop-down calendar or the date dialog, and the application reads and writes its
// date through GetDateValue and SetDateValue (NullDate: empty). The mask follows locale
// changes while the window exists, keeping the date shown.
#include "controls/DateUtil.h"
#include "controls/PickDate.h"
#include "controls/ToolEditCombo.h"

#include <memory>

class TStringList;

KELM_ENUM(TCalendarStyle, csPopup, csDialog)
KELM_ENUM(TYearDigits, dyDefault, dyFour, dyTwo)
KELM_EVENT(TExecDateDialog, void(TObject* Sender, TDateTime& ADate, bool& Action));

class TCustomDateEdit : public TCustomComboEdit {
  KELM_CLASS(TCustomDateEdit, TCustomComboEdit)
public:
  explicit TCustomDateEdit(TComponent* AOwner);
  ~TCustomDateEdit() override;
  void Dispatch(TMessage& Message) override;

  // ---- the date
  // The date shown; unreadable or empty text gives today (DefaultToday) or NullDate.
  TDateTime GetDateValue() const;
  // Shows a date without its time; an invalid date or NullDate gives today (DefaultToday) or
  // an empty field. Modified tells whether the date shown changed.
  void SetDateValue(TDateTime Value);
  virtual void CommitDate(TDateTime Value);
  // The text holds more than blanks and separators.
  bool TextHasDate() const;
  // The date of the text, raising EConvertError; the field takes its formatted form.
  void CheckDateText();

  // ---- properties
  bool CheckOnExit() const { return FCheckOnExit; }
  void SetCheckOnExit(bool Value) { FCheckOnExit = Value; }
  bool DefaultToday() const { return FDefaultToday; }
  void SetDefaultToday(bool Value) { FDefaultToday = Value; }
  String DialogTitle() const { return FDialogTitle; }
  void SetDialogTitle(const String& Value) { FDialogTitle = Value; }
  bool StoreDialogTitle() const;
  char BlanksChar() const { return FBlanksChar; }
  void SetBlanksChar(char Value);
  TStrings* CalendarHints() const;
  void SetCalendarHints(TStrings* Value);
  TCalendarStyle CalendarStyle() const { return Popup() ? csPopup : csDialog; }
  void SetCalendarStyle(TCalendarStyle Value);
  TColor PopupColor() const;
  void SetPopupColor(TColor Value);
  TDayOfWeekName StartOfWeek() const { return FStartOfWeek; }
  void SetStartOfWeek(TDayOfWeekName Value);
  TDaysOfWeek Weekends() const { return FWeekends; }
  void SetWeekends(TDaysOfWeek Value);
  TColor WeekendColor() const { return FWeekendColor; }
  void SetWeekendColor(TColor Value);
  TYearDigits YearDigits() const { return FYearDigits; }
  void SetYearDigits(TYearDigits Value);
  String DateFormat() const { return FDateFormat; }
  bool Formatting() const { return FFormatting; }
  bool Hooked() const { return FHooked; }

  // ---- format and mask
  void RefreshDateFormat();
  String DateMaskText() const;
  virtual void RefreshDateMask();

  TExecDateDialog OnAcceptDate;

protected:
  TBitmap* GetDefaultGlyph(bool& MustFree) override;
  bool ApprovePopupValue(Variant& Value) override;
  void TakePopupValue(const Variant& Value) override;
  void LoadPopupValue(const Variant& Value) override;
  void RunButtonAction() override;
  void Change() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  bool StoreText() const { return TextHasDate(); }

private:
  bool UsesFourDigitYear() const;
  void SyncCalendarSettings();
  void CalendarHintsChanged(TObject* Sender);
  void CreatePopupCalendar();
  void Hook();
  void Unhook();
  bool FormatSettingsChange(TMessage& Message);
  TDateTime NullOrToday() const;

  String FDialogTitle;
  bool FDefaultToday = false;
  bool FHooked = false;
  TColor FPopupColor = clBtnFace;
  bool FCheckOnExit = false;
  char FBlanksChar = ' ';
  std::unique_ptr<TStringList> FCalendarHints;
  TDayOfWeekName FStartOfWeek = Mon;
  TDaysOfWeek FWeekends{Sun};
  TColor FWeekendColor = TColor(255);
  TYearDigits FYearDigits = dyDefault;
  String FDateFormat;
  bool FFormatting = false;
};

class TDateEdit : public TCustomDateEdit {
  KELM_CLASS(TDateEdit, TCustomDateEdit)
  template <class B> static void Published(B& b) {
    using C = TDateEdit;
    b.Prop("AutoSelect", &C::AutoSelect, &C::SetAutoSelect).Default(true);
    b.Prop("BlanksChar", [](const C* e) { return static_cast<char16_t>(e->BlanksChar()); },
           [](C* e, char16_t c) { e->SetBlanksChar(static_cast<char>(c)); })
        .Default(32);
    b.Prop("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsSingle);
    b.Prop("ButtonHint", &C::ButtonHint, &C::SetButtonHint);
    b.Prop("CalendarHints", &C::CalendarHints, &C::SetCalendarHints);
    b.Prop("CheckOnExit", &C::CheckOnExit, &C::SetCheckOnExit).Default(false);
    b.Prop("ClickKey", &C::ClickKey, &C::SetClickKey).Type("TShortCut").Default(32808);
    PublishColor(b);
    PublishCtl3D(b);
    b.Prop("DefaultToday", &C::DefaultToday, &C::SetDefaultToday).Default(false);
    b.Prop("DialogTitle", &C::DialogTitle, &C::SetDialogTitle).Stored(&C::StoreDialogTitle);
    b.Prop("DirectInput", &C::DirectInput, &C::SetDirectInput).Default(true);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    b.Prop("GlyphKind", &C::GlyphKind, &C::SetGlyphKind).Default(gkDefault);
    b.Prop("Glyph", &C::Glyph, &C::SetGlyph).Stored(&C::StoreGlyph);
    b.Prop("ButtonWidth", &C::ButtonWidth, &C::SetButtonWidth).Stored(&C::StoreButtonWidth);
    b.Prop("HideSelection", &C::HideSelection, &C::SetHideSelection).Default(true);
    PublishAnchors(b);
    PublishBiDiMode(b);
    PublishConstraints(b);
    PublishDragKind(b);
    PublishParentBiDiMode(b);
    PublishImeMode(b);
    PublishImeName(b);
    b.Prop("MaxLength", &C::MaxLength, &C::SetMaxLength).Default(0);
    b.Prop("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs).Type("TRxNumGlyphs").Default(1);
    PublishParentColor(b).Default(false);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    b.Prop("PopupAlign", &C::PopupAlign, &C::SetPopupAlign).Default(epaRight);
    b.Prop("PopupColor", &C::PopupColor, &C::SetPopupColor).Type("TColor").Default(clBtnFace);
    PublishPopupMenu(b);
    b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    PublishShowHint(b);
    b.Prop("CalendarStyle", &C::CalendarStyle, &C::SetCalendarStyle).Default(csPopup);
    b.Prop("StartOfWeek", &C::StartOfWeek, &C::SetStartOfWeek).Default(Mon);
    b.Prop("Weekends", &C::Weekends, &C::SetWeekends).Type("TDaysOfWeek").Default(TDaysOfWeek{Sun});
    b.Prop("WeekendColor", &C::WeekendColor, &C::SetWeekendColor).Type("TColor").Default(TColor(255));
    b.Prop("YearDigits", &C::YearDigits, &C::SetYearDigits).Default(dyDefault);
    PublishTabOrder(b);
    PublishTabStop(b).Default(true);
    b.Prop("Text", &TControl::Text, &TControl::SetText).Stored(&C::StoreText);
    PublishVisible(b);
    b.Prop("OnAcceptDate", &C::OnAcceptDate, &C::OnAcceptDate);
    b.Prop("OnButtonClick", &C::OnButtonClick, &C::OnButtonClick);
    b.Prop("OnChange", &C::OnChange, &C::OnChange);
    PublishOnClick(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDrag(b);
    PublishOnContextPopup(b);
    PublishOnEndDock(b);
    PublishOnStartDock(b);
  }
public:
  explicit TDateEdit(TComponent* AOwner);
};

// Registers the date edit, the speed button and the calendar for window layouts.
void RegisterDateEditControls();
