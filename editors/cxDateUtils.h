#pragma once
// Smart-date words: the words a date field accepts in place of a date (today, yesterday,
// weekday names, ...), in their fixed order.
#include "core/System.h"

#include <array>

enum TcxSmartDateWord {
  sdwToday, sdwYesterday, sdwTomorrow,
  sdwSunday, sdwMonday, sdwTuesday, sdwWednesday, sdwThursday, sdwFriday, sdwSaturday,
  sdwFirst, sdwSecond, sdwThird, sdwFourth, sdwFifth, sdwSixth, sdwSeventh,
  sdwBOM, sdwEOM, sdwNow,
};
constexpr int cxSmartDateWordCount = 20;

// The words, translated afresh on each call.
std::array<String, cxSmartDateWordCount> LoadSmartDateWords();
