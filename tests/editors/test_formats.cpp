// The format controller: masks and formats derived from the locale's date, time and money
// settings, the smart-date words the date masks accept, and the listeners told of locale and
// clock changes through the controller's hidden window.
#include "editors/cxFormats.h"

#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "editors/cxDateUtils.h"
#include "editors/cxRegExpr.h"
#include "gui/Application.h"
#include "gui/SystemBroadcast.h"

#include <gtest/gtest.h>

namespace {

class Formats : public ::testing::Test {
protected:
  TRestore<TFormatSettings> Keep{FormatSettings()};
  TFormatSettings& FS = FormatSettings();
};

int Count(const String& s, const String& part) {
  int n = 0;
  for (std::size_t p = s.find(part); p != String::npos; p = s.find(part, p + part.size())) ++n;
  return n;
}

const String kMonthPiece = "((0?[1-9]|1[012])|('一月'|'二月'|'三月'|'四月'|'五月'|'六月'|'七月'|'八月'|'九月'|'十月'|'十一月'|'十二月'))";
const String kDayPiece = "([012]?[1-9]|[123]0|31)";
const String kOffset = "((\\+|-)\\d(\\d(\\d\\d?)?)?)?";

TEST_F(Formats, DashedShortDateGivesLiteralSeparatorsAndNineteenSmartWords) {
  FS.ShortDateFormat = "yyyy-M-d";
  FS.DateSeparator = '-';
  TcxFormatController c;
  EXPECT_EQ(c.DateEditFormat(), "yyyy-MM-dd");
  EXPECT_EQ(c.DateMask(), "!9999\\-99\\-99;1; ");
  EXPECT_EQ(c.StandardDateMask(), c.DateMask());
  EXPECT_EQ(c.MaskedDateFormat(), "yyyy'-'mm'-'dd");
  const String date = "\\d\\d\\d\\d'-'" + kMonthPiece + "'-'" + kDayPiece;
  const String words = c.RegExprDateMask().substr(date.size() + 4);
  ASSERT_EQ(c.RegExprDateMask().rfind("(" + date + ")|(", 0), 0u) << c.RegExprDateMask();
  EXPECT_EQ(words.rfind("'今天'|'昨天'|'明天'|'星期日'", 0), 0u);
  EXPECT_EQ(words.substr(words.size() - kOffset.size()), kOffset);
  EXPECT_EQ(Count(words, "|"), 18 + 1);  // 19 words, and the offset's sign
  EXPECT_EQ(Count(c.RegExprDateMask(), "现在"), 0);
  EXPECT_EQ(Count(c.RegExprDateTimeMask(), "'现在'"), 1);
}

TEST_F(Formats, SlashedShortDateUsesTheLocaleSeparator) {
  FS.ShortDateFormat = "yyyy/M/d";
  FS.DateSeparator = '/';
  TcxFormatController c;
  EXPECT_EQ(c.DateMask(), "!9999/99/99;1; ");
  EXPECT_EQ(c.MaskedDateFormat(), "yyyy/mm/dd");
  EXPECT_EQ(c.RegExprDateMask().rfind("(\\d\\d\\d\\d\\/" + kMonthPiece + "\\/" + kDayPiece + ")|(", 0), 0u);
  FS.DateSeparator = ' ';
  EXPECT_EQ(TcxFormatController::DateRegExpr(c.DateInfo()).substr(8, 3), "' '");
}

// The date expressions a date editor types against, compiled and fed whole texts: a month
// outside 1-12 or a day outside 1-31 never completes, nor does a word with a five-digit offset.
TEST_F(Formats, DateExpressionsTakeRealMonthsDaysAndSmartWordsOnly) {
  FS.ShortDateFormat = "yyyy-M-d";
  FS.DateSeparator = '-';
  FS.LongTimeFormat = "H:mm:ss";
  FS.TimeSeparator = ':';
  TcxFormatController c;
  const struct {
    const char* Text;
    bool Date, DateTime;
  } Cases[] = {
      {"2026-1-5", true, false},        {"2026-01-05", true, false},   {"2026-12-31", true, false},
      {"2026-10-20", true, false},      {"2026-11-30", true, false},   {"2026-一月-9", true, false},
      {"2026-十二月-09", true, false},  {"2026-13-01", false, false},  {"2026-00-10", false, false},
      {"2026-20-01", false, false},     {"2026-0-01", false, false},   {"2026-1-32", false, false},
      {"2026-1-00", false, false},      {"2026-1-0", false, false},    {"2026-1-40", false, false},
      {"2026-1-311", false, false},     {"26-1-1", false, false},      {"2026-1-1 8:05:09", false, true},
      {"2026-1-1 24:00:00", false, false}, {"2026-1-1 23:60:00", false, false},
      {"今天", true, true},             {"今天+3", true, true},        {"星期五-12", true, true},
      {"月末+9999", true, true},        {"明天+12345", false, false},  {"昨天+", false, false},
      {"现在", false, true},            {"今天3", false, false},
  };
  TcxRegExpr Date, DateTime;
  Date.Compile(c.RegExprDateMask());
  DateTime.Compile(c.RegExprDateTimeMask());
  auto Completes = [](TcxRegExpr& E, const char* Text) {
    E.Restart();
    for (char32_t Ch : Utf8ToUtf32(Text))
      if (!E.Accept(Ch)) return false;
    return E.IsComplete();
  };
  // Twice over, so that steps remembered from the first round answer the second the same.
  for (int Round = 0; Round < 2; ++Round)
    for (const auto& T : Cases) {
      SCOPED_TRACE(T.Text);
      EXPECT_EQ(Completes(Date, T.Text), T.Date);
      EXPECT_EQ(Completes(DateTime, T.Text), T.DateTime);
    }
}

struct TTimeCase {
  const char* Format;
  String Regexp;
  String Hour;
  String Mask;
};

TEST_F(Formats, TimeFormatsReadMinutesAfterHoursAndTwelveHourDesignators) {
  const TTimeCase cases[] = {
      {"H:mm:ss", "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d", "24H", "!99:99:99;1; "},
      {"h:nn:ss AMPM", "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('上午'|'下午')?", "12H", "!99:99:99\\ cc;1; "},
      {"hh:mm AM/PM", "(0?[1-9]|1[012])\\:[0-5]?\\d' '(AM|PM)?", "12HH", "!99:99\\ cc;1; "},
      {"h:mm a/p", "(0?[1-9]|1[012])\\:[0-5]?\\d' '(A|P)?", "12H", "!99:99\\ c;1; "},
  };
  for (const TTimeCase& t : cases) {
    SCOPED_TRACE(t.Format);
    TcxDateTimeFormatInfo info;
    ASSERT_TRUE(TcxFormatController::ParseFormat(t.Format, info));
    EXPECT_TRUE(info.DefinedItems[fkMinute]);
    EXPECT_FALSE(info.DefinedItems[fkMonth]);
    EXPECT_EQ(TcxFormatController::TimeRegExpr(info), t.Regexp);
    EXPECT_EQ(info.Items[0].Data, t.Hour);
    EXPECT_EQ(TcxFormatController::StandardMask(info), t.Mask);
  }
  FS.TimePMString.clear();
  TcxDateTimeFormatInfo info;
  TcxFormatController::ParseFormat("h AMPM", info);
  EXPECT_EQ(TcxFormatController::TimeRegExpr(info), "(0?[1-9]|1[012])' '('上午')?");
}

TEST_F(Formats, ParsingDropsRepeatsNestsTwoLevelsAndFailsOnEras) {
  TcxDateTimeFormatInfo info;
  FS.ShortDateFormat = "yy/m/d";
  FS.LongTimeFormat = "hh:nn";
  ASSERT_TRUE(TcxFormatController::ParseFormat("c", info));
  EXPECT_EQ(TcxFormatController::MaskFormat(info), "yy/mm/dd' 'hh:nn");
  // A repeated field is dropped, separators are not; literal text merges.
  ASSERT_TRUE(TcxFormatController::ParseFormat("d/d 'x'\"y\"", info));
  EXPECT_EQ(TcxFormatController::MaskFormat(info), "dd/' xy'");
  // A designator without an hour is dropped; an unclosed quote runs to the end.
  ASSERT_TRUE(TcxFormatController::ParseFormat("yyyy AM/PM 'ab", info));
  EXPECT_FALSE(info.DefinedItems[fkAmPm]);
  EXPECT_EQ(TcxFormatController::MaskFormat(info), "yyyy' '' ab'");
  // "ddddd" is the short date; a short date that itself names "ddddd" stops at the third level.
  FS.ShortDateFormat = "yyyy ddddd";
  ASSERT_TRUE(TcxFormatController::ParseFormat("ddddd", info));
  EXPECT_EQ(TcxFormatController::MaskFormat(info), "yyyy' '");
  ASSERT_TRUE(TcxFormatController::ParseFormat("aaaa 中", info));
  EXPECT_EQ(TcxFormatController::MaskFormat(info), "ddd' 中'");
  EXPECT_FALSE(TcxFormatController::ParseFormat("yyyy gg", info));
  EXPECT_TRUE(info.Items.empty());
  FS.ShortDateFormat = "gg yyyy-M-d";
  TcxFormatController c;
  EXPECT_EQ(c.DateMask(), "");
  EXPECT_EQ(c.MaskedDateFormat(), "");
}

struct TMoneyCase {
  String Symbol;
  int Positive, Negative, Decimals;
  String Expect;
};

TEST_F(Formats, CurrencyFormatFollowsTheLocalePatterns) {
  const TMoneyCase cases[] = {
      {"$", 0, 1, 2, "$,0.00;-$,0.00"},
      {"kr.", 3, 8, 0, ",0. kr'.';-,0. kr'.'"},
      {"€", 1, 15, 1, ",0.0€;(,0.0 €)"},
      {"", 2, 0, 2, ";(,0.00)"},
      {"¥", 2, 12, 2, "¥ ,0.00;¥ -,0.00"},
      {"¥", 7, 16, 2, ";"},
  };
  for (const TMoneyCase& m : cases) {
    SCOPED_TRACE(m.Expect);
    FS.CurrencyString = m.Symbol;
    FS.CurrencyFormat = Byte(m.Positive);
    FS.NegCurrFormat = Byte(m.Negative);
    FS.CurrencyDecimals = Byte(m.Decimals);
    EXPECT_EQ(TcxFormatController::BuildCurrencyFormat(), m.Expect);
  }
  for (auto [locale, expect] : {std::pair{0, 1}, std::pair{5, 6}, std::pair{6, 0}}) {
    FS.FirstDayOfWeek = locale;
    EXPECT_EQ(TcxFormatController().FirstWeekDay(), expect);
  }
}

TEST(SmartWords, QuotesApostrophesAndOffersAnOffset) {
  EXPECT_EQ(LoadSmartDateWords()[sdwNow], "现在");
  EXPECT_EQ(LoadSmartDateWords()[sdwEOM], "月末");
  const String m = TcxFormatController::AddSmartWords("x", true);
  EXPECT_EQ(m.rfind("(x)|('今天'|", 0), 0u);
  EXPECT_NE(m.find("|'现在')" + kOffset), String::npos);
}

// ---------------------------------------------------------------- listeners

struct TFormatListener : IcxFormatChangeListener {
  int Changed = 0;
  String SeenDateFormat;
  void FormatChanged() override {
    ++Changed;
    SeenDateFormat = FormatController()->DateEditFormat();
  }
};

struct TClockListener : TFormatListener, IcxTimeChangeListener {
  int TimeSet = 0;
  void TimeChanged() override { ++TimeSet; }
};

TEST_F(Formats, ListenersHaveOneWindowWhileAnyListens) {
  TcxFormatController* c = FormatController();
  TFormatListener a;
  c->AddListener(&a);
  c->AddListener(&a);
  EXPECT_EQ(c->ListenerCount(), 1);
  const HWND w = c->Window();
  EXPECT_TRUE(IsWindow(w));
  c->RemoveListener(&a);
  EXPECT_EQ(c->Window(), HWND(0));
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(Formats, LocaleAndClockChangesReachTheListeners) {
  TcxFormatController* c = FormatController();
  TFormatListener plain;
  TClockListener clock;
  c->AddListener(&plain);
  c->AddListener(&clock);
  TScopeExit drop([&] {
    c->RemoveListener(&plain);
    c->RemoveListener(&clock);
  });
  TFormatSettings changed = FS;
  changed.ShortDateFormat = "d/M/yyyy";
  {
    Application->SetUpdateFormatSettings(false);
    TScopeExit on([] { Application->SetUpdateFormatSettings(true); });
    SimulateLocaleChange(changed);
  }
  EXPECT_EQ(plain.Changed + clock.Changed, 0);

  SimulateLocaleChange(changed);
  EXPECT_EQ(plain.Changed, 1);
  EXPECT_EQ(clock.Changed, 1);
  EXPECT_EQ(plain.SeenDateFormat, "dd/MM/yyyy");  // refreshed before anyone is told

  SendSystemBroadcast(WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(clock.TimeSet, 1);
  EXPECT_EQ(plain.Changed, 1);
}

}  // namespace
