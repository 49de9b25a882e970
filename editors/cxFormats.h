#pragma once
// The process-wide format controller: formats and input masks for date and currency editors
// derived from the locale's settings, and the listeners told when the locale or the clock
// changes (through a hidden window that exists while anyone listens).
#include "core/System.h"
#include "gui/Messages.h"

#include <array>
#include <vector>

enum TcxDateTimeFormatItemKind : Byte {
  fkText, fkYear, fkMonth, fkDay, fkHour, fkMinute, fkSecond, fkMillisecond, fkAmPm,
  fkDateSeparator, fkTimeSeparator,
};

struct TcxDateTimeFormatItem {
  TcxDateTimeFormatItemKind Kind = fkText;
  String Data;
};

struct TcxDateTimeFormatInfo {
  std::array<bool, 11> DefinedItems{};
  std::vector<TcxDateTimeFormatItem> Items;
};

class IcxFormatChangeListener {
public:
  virtual ~IcxFormatChangeListener() = default;
  virtual void FormatChanged() = 0;
};

// Optional on a format listener: told when the system clock is set.
class IcxTimeChangeListener {
public:
  virtual ~IcxTimeChangeListener() = default;
  virtual void TimeChanged() = 0;
};

class TcxFormatController : public TObject {
public:
  TcxFormatController();
  ~TcxFormatController() override;

  virtual void HandleMessage(TMessage& Message);
  virtual void AddListener(IcxFormatChangeListener* Listener);
  virtual void RemoveListener(IcxFormatChangeListener* Listener);
  void Refresh();

  int ListenerCount() const { return int(FListeners.size()); }
  HWND Window() const { return FWindow; }

  const String& CurrencyFormat() const { return FCurrencyFormat; }
  int FirstWeekDay() const { return FFirstWeekDay; }  // 0 Sunday .. 6 Saturday
  const String& DateEditFormat() const { return FDateEditFormat; }
  const String& DateMask() const { return FDateMask; }
  const String& StandardDateMask() const { return FStandardDateMask; }
  const String& RegExprDateMask() const { return FRegExprDateMask; }
  const String& RegExprDateTimeMask() const { return FRegExprDateTimeMask; }
  const String& StandardDateTimeMask() const { return FStandardDateTimeMask; }
  const String& MaskedDateFormat() const { return FMaskedDateFormat; }
  const String& MaskedDateTimeFormat() const { return FMaskedDateTimeFormat; }
  const TcxDateTimeFormatInfo& DateInfo() const { return FDateInfo; }
  const TcxDateTimeFormatInfo& TimeInfo() const { return FTimeInfo; }
  const TcxDateTimeFormatInfo& DateTimeInfo() const { return FDateTimeInfo; }

  // False (and Info empty) when the format holds an era ("g").
  static bool ParseFormat(const String& Format, TcxDateTimeFormatInfo& Info);
  static String DateRegExpr(const TcxDateTimeFormatInfo& Info);
  static String TimeRegExpr(const TcxDateTimeFormatInfo& Info);
  static String StandardMask(const TcxDateTimeFormatInfo& Info);
  static String MaskFormat(const TcxDateTimeFormatInfo& Info);
  static String AddSmartWords(const String& Mask, bool WithNow);
  static String BuildCurrencyFormat();

protected:
  void BuildDateMasks(bool SmartWords);

private:
  std::vector<IcxFormatChangeListener*> FListeners;
  HWND FWindow = 0;
  String FCurrencyFormat;
  int FFirstWeekDay = 0;
  String FDateEditFormat;
  String FDateMask, FStandardDateMask, FRegExprDateMask, FRegExprDateTimeMask, FStandardDateTimeMask;
  String FMaskedDateFormat, FMaskedDateTimeFormat;
  TcxDateTimeFormatInfo FDateInfo, FTimeInfo, FDateTimeInfo;
};

// The single instance, made on first use and freed when the program ends.
TcxFormatController* FormatController();
