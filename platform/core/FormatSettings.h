#pragma once
// The one process-wide object of format settings (date and time pictures, separators, money,
// month and day names) that conversions follow unless they are handed their own.
// Declares TFormatSettings.
#include "core/System.h"

#include <array>

struct TFormatSettings {
  String ShortDateFormat = "yyyy-mm-dd";
  String LongDateFormat = "yyyy'年'm'月'd'日'";
  char DateSeparator = '-';
  char TimeSeparator = ':';
  String ShortTimeFormat = "h:mm";
  String LongTimeFormat = "h:mm:ss";
  String TimeAMString = "上午";
  String TimePMString = "下午";
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char ListSeparator = ',';
  String CurrencyString = "¥";
  Byte CurrencyFormat = 0;  // 0 "¥1", 1 "1¥", 2 "¥ 1", 3 "1 ¥"
  Byte NegCurrFormat = 2;   // 0..15, see FloatToStrF; 2 is "¥-1"
  Byte CurrencyDecimals = 2;
  std::array<String, 12> ShortMonthNames{"一月", "二月", "三月", "四月", "五月", "六月",
                                         "七月", "八月", "九月", "十月", "十一月", "十二月"};
  std::array<String, 12> LongMonthNames = ShortMonthNames;
  std::array<String, 7> ShortDayNames{"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
  std::array<String, 7> LongDayNames = ShortDayNames;
  String EraName = "公元";                 // the "g" of date pictures
  Word TwoDigitYearCenturyWindow = 50;
  int FirstDayOfWeek = 0;                  // 0 Monday ... 6 Sunday
};

// The settings every routine below reads; tests may change them and ResetFormatSettings
// brings back the defaults.
TFormatSettings& FormatSettings();
void ResetFormatSettings();
