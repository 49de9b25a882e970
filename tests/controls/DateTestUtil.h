#pragma once
// Fixtures of the date edit tests: the clock stands at 2026-03-15 10:30 and the format
// settings are set per case and put back afterwards.
#include "controls/DateUtil.h"
#include "core/DateUtils.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"

#include <memory>

namespace datetest {

inline TDateTime Ymd(int Y, int M, int D) { return EncodeDate(Word(Y), Word(M), Word(D)); }
inline const TDateTime kNow = Ymd(2026, 3, 15) + 10.5 / 24;

// One locale of a case: its short date format and separator.
struct TLocale {
  const char* ShortDateFormat;
  char Separator;
};
constexpr TLocale kYMD{"yyyy/mm/dd", '/'};
constexpr TLocale kDMY{"dd/mm/yyyy", '/'};
constexpr TLocale kMDY{"mm/dd/yyyy", '/'};
constexpr TLocale kPlatform{"yyyy-mm-dd", '-'};

// The clock at kNow and the given locale while alive; the settings and the four-digit-year
// flag are restored afterwards.
struct TDateScope {
  TClockOverride Clock{kNow};
  TRestore<bool> Flag{FourDigitYear};
  explicit TDateScope(TLocale L = kPlatform) { Apply(L); }
  ~TDateScope() { ResetFormatSettings(); }
  static void Apply(TLocale L) {
    FormatSettings().ShortDateFormat = L.ShortDateFormat;
    FormatSettings().DateSeparator = L.Separator;
    FormatSettings().LongMonthNames = {"January", "February", "March", "April", "May", "June",
                                       "July", "August", "September", "October", "November", "December"};
  }
};

}  // namespace datetest
