#include "editors/cxFormats.h"

#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "editors/cxDateUtils.h"
#include "gui/Application.h"
#include "gui/SystemBroadcast.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

TcxFormatController* GController = nullptr;
bool GExitProcAdded = false;

void FreeController() {
  delete GController;
  GController = nullptr;
}

void AdoptAsSingle(TcxFormatController* C) {
  if (GController) return;
  GController = C;
  if (!GExitProcAdded) {
    GExitProcAdded = true;
    AddExitProc(FreeController);
  }
}

char Upper(char c) { return char(std::toupper(static_cast<unsigned char>(c))); }

String UpperAscii(String s) {
  for (char& c : s) c = Upper(c);
  return s;
}

String LowerAscii(String s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// ---------------------------------------------------------------- parsing a format

constexpr int kMaxLevel = 2;

struct TParser {
  TcxDateTimeFormatInfo& Info;
  int HourLevel = 0;
  std::array<bool, kMaxLevel + 1> AmPmAt{};

  void AddLiteral(const String& Text) {
    if (Text.empty()) return;
    if (!Info.Items.empty() && Info.Items.back().Kind == fkText)
      Info.Items.back().Data += Text;
    else
      Info.Items.push_back({fkText, Text});
  }
  // Fields appear once; a repeated field is dropped. Separators always join.
  bool Add(TcxDateTimeFormatItemKind Kind, const String& Data) {
    if (Kind >= fkYear && Kind <= fkAmPm && Info.DefinedItems[Kind]) return false;
    Info.DefinedItems[Kind] = true;
    Info.Items.push_back({Kind, Data});
    return true;
  }

  // False on an era.
  bool Parse(const String& Format, int Level) {
    if (Level > kMaxLevel) return true;  // nested too deep: taken as empty
    const String f = Format.empty() ? String("C") : Format;
    const std::size_t n = f.size();
    char lastLetter = 0;
    std::size_t i = 0;
    auto runOf = [&](char u) {
      std::size_t j = i;
      while (j < n && Upper(f[j]) == u) ++j;
      return int(j - i);
    };
    auto startsWithCI = [&](const char* word) {
      const std::size_t len = std::strlen(word);
      if (i + len > n) return false;
      for (std::size_t k = 0; k < len; ++k)
        if (Upper(f[i + k]) != word[k]) return false;
      return true;
    };
    while (i < n) {
      const char c = f[i];
      const unsigned char uc = static_cast<unsigned char>(c);
      if (uc >= 0x80) {
        const std::size_t len = std::min<std::size_t>(std::size_t(Utf8SeqLen(uc)), n - i);
        AddLiteral(f.substr(i, len));
        i += len;
        continue;
      }
      char u = Upper(c);
      if (u == 'M' && lastLetter == 'H') u = 'N';
      switch (u) {
        case '"':
        case '\'': {
          const std::size_t close = f.find(c, i + 1);
          const std::size_t end = close == String::npos ? n : close;
          AddLiteral(f.substr(i + 1, end - i - 1));
          i = close == String::npos ? n : close + 1;
          continue;
        }
        case '/': Add(fkDateSeparator, "/"); ++i; continue;
        case ':': Add(fkTimeSeparator, ":"); ++i; continue;
        case 'A':
          lastLetter = 'A';
          if (startsWithCI("AM/PM")) {
            AmPmAt[std::size_t(Level)] = true;
            Add(fkAmPm, f.substr(i, 5));
            i += 5;
          } else if (startsWithCI("A/P")) {
            AmPmAt[std::size_t(Level)] = true;
            Add(fkAmPm, f.substr(i, 3));
            i += 3;
          } else if (startsWithCI("AMPM")) {
            AmPmAt[std::size_t(Level)] = true;
            Add(fkAmPm, "AMPM");
            i += 4;
          } else if (runOf('A') >= 3) {
            const int run = runOf('A');
            Add(fkDay, run == 3 ? "DDD" : "DDDD");
            i += std::size_t(std::min(run, 4));
          } else {
            AddLiteral(String(1, c));
            ++i;
          }
          continue;
        default: break;
      }
      if (!(u >= 'A' && u <= 'Z')) {
        AddLiteral(String(1, c));
        ++i;
        continue;
      }
      // Letters: 'N' may stand for an 'M' after an hour.
      const int run = u == 'N' && Upper(c) == 'M' ? runOf('M') : runOf(u);
      lastLetter = u;
      switch (u) {
        case 'C':
          if (!Parse(FormatSettings().ShortDateFormat, Level + 1)) return false;
          AddLiteral(" ");
          if (!Parse(FormatSettings().LongTimeFormat, Level + 1)) return false;
          break;
        case 'D':
          if (run <= 4)
            Add(fkDay, String(std::size_t(run), 'D'));
          else if (run == 5) {
            if (!Parse(FormatSettings().ShortDateFormat, Level + 1)) return false;
          } else if (!Parse(FormatSettings().LongDateFormat, Level + 1))
            return false;
          break;
        case 'Y':
        case 'E': Add(fkYear, run > 2 ? "YYYY" : "YY"); break;
        case 'G': return false;
        case 'H':
          if (Add(fkHour, run > 1 ? "HH" : "H")) HourLevel = Level;
          break;
        case 'M': Add(fkMonth, String(std::size_t(std::min(run, 4)), 'M')); break;
        case 'N': Add(fkMinute, String(std::size_t(std::min(run, 2)), 'N')); break;
        case 'S': Add(fkSecond, String(std::size_t(std::min(run, 2)), 'S')); break;
        case 'Z': Add(fkMillisecond, String(std::size_t(std::min(run, 3)), 'Z')); break;
        case 'T':
          if (!Parse(run == 1 ? FormatSettings().ShortTimeFormat : FormatSettings().LongTimeFormat, Level + 1))
            return false;
          break;
        default: AddLiteral(f.substr(i, std::size_t(run))); break;
      }
      i += std::size_t(run);
    }
    return true;
  }
};

// ---------------------------------------------------------------- regular-expression pieces

String SeparatorExpr(char Separator) {
  if (Separator == 0) return String();
  if (Separator == ' ') return "' '";
  return String("\\") + Separator;
}

String Quoted(const String& Text) { return "'" + Text + "'"; }

// A word as regular-expression literal text: runs between quotes, a quote escaped.
String QuoteWord(const String& Word) {
  String out, run;
  auto flush = [&] {
    if (!run.empty()) out += "'" + run + "'";
    run.clear();
  };
  for (char c : Word) {
    if (c == '\'') {
      flush();
      out += "\\'";
    } else {
      run += c;
    }
  }
  flush();
  return out;
}

int CharLength(const String& s) { return int(Utf8ToUtf32(s).size()); }

}  // namespace

// ---------------------------------------------------------------- the controller

TcxFormatController* FormatController() {
  if (!GController) AdoptAsSingle(new TcxFormatController);
  return GController;
}

TcxFormatController::TcxFormatController() {
  AdoptAsSingle(this);
  Refresh();
}

TcxFormatController::~TcxFormatController() {
  if (FWindow) DeallocateHWnd(FWindow);
  if (GController == this) GController = nullptr;
}

void TcxFormatController::AddListener(IcxFormatChangeListener* Listener) {
  if (!Listener || std::find(FListeners.begin(), FListeners.end(), Listener) != FListeners.end()) return;
  if (FListeners.empty())
    FWindow = AllocateHWnd([this](TMessage& M) {
      try {
        HandleMessage(M);
      } catch (...) {
        if (Application) Application->HandleException(this);
      }
    });
  FListeners.push_back(Listener);
}

void TcxFormatController::RemoveListener(IcxFormatChangeListener* Listener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), Listener);
  if (it == FListeners.end()) return;
  FListeners.erase(it);
  if (FListeners.empty() && FWindow) {
    DeallocateHWnd(FWindow);
    FWindow = 0;
  }
}

void TcxFormatController::HandleMessage(TMessage& Message) {
  if (Message.Msg == WM_SETTINGCHANGE && Message.WParam == 0 && Message.LParam != 0 &&
      std::strcmp(reinterpret_cast<const char*>(Message.LParam), "intl") == 0 && Application &&
      Application->UpdateFormatSettings()) {
    GetFormatSettings();
    Refresh();
    // A listener may leave the list while it is told.
    const std::vector<IcxFormatChangeListener*> listeners = FListeners;
    for (IcxFormatChangeListener* l : listeners)
      if (std::find(FListeners.begin(), FListeners.end(), l) != FListeners.end()) l->FormatChanged();
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_TIMECHANGE) {
    const std::vector<IcxFormatChangeListener*> listeners = FListeners;
    for (IcxFormatChangeListener* l : listeners)
      if (auto* t = dynamic_cast<IcxTimeChangeListener*>(l)) t->TimeChanged();
    Message.Result = 0;
    return;
  }
  Message.Result = 0;  // a utility window's default answer
}

void TcxFormatController::Refresh() {
  FCurrencyFormat = BuildCurrencyFormat();
  const int n = FormatSettings().FirstDayOfWeek + 1;
  FFirstWeekDay = n > 6 ? 0 : n;
  BuildDateMasks(true);
  // Single "d" and "M" become two: the edit shows fixed-width days and months.
  const String& f = FormatSettings().ShortDateFormat;
  FDateEditFormat.clear();
  for (std::size_t i = 0; i < f.size(); ++i) {
    const char c = f[i];
    FDateEditFormat += c;
    if ((c == 'd' || c == 'M') && (i == 0 || f[i - 1] != c) && (i + 1 >= f.size() || f[i + 1] != c))
      FDateEditFormat += c;
  }
}

String TcxFormatController::BuildCurrencyFormat() {
  const TFormatSettings& fs = FormatSettings();
  const String number = ",0." + String(fs.CurrencyDecimals, '0');
  String s;
  for (char c : fs.CurrencyString) {
    if (c == ',' || c == '.')
      s += String("'") + c + "'";
    else
      s += c;
  }
  const String& N = number;
  String positive;
  if (!s.empty()) switch (fs.CurrencyFormat) {
      case 0: positive = s + N; break;
      case 1: positive = N + s; break;
      case 2: positive = s + " " + N; break;
      case 3: positive = N + " " + s; break;
      default: break;
    }
  String negative;
  switch (fs.NegCurrFormat) {
    case 0: negative = "(" + s + N + ")"; break;
    case 1: negative = "-" + s + N; break;
    case 2: negative = s + "-" + N; break;
    case 3: negative = s + N + "-"; break;
    case 4: negative = "(" + N + s + ")"; break;
    case 5: negative = "-" + N + s; break;
    case 6: negative = N + "-" + s; break;
    case 7: negative = N + s + "-"; break;
    case 8: negative = "-" + N + " " + s; break;
    case 9: negative = "-" + s + " " + N; break;
    case 10: negative = N + " " + s + "-"; break;
    case 11: negative = s + " " + N + "-"; break;
    case 12: negative = s + " " + "-" + N; break;
    case 13: negative = N + "-" + " " + s; break;
    case 14: negative = "(" + s + " " + N + ")"; break;
    case 15: negative = "(" + N + " " + s + ")"; break;
    default: break;
  }
  return positive + ";" + negative;
}

bool TcxFormatController::ParseFormat(const String& Format, TcxDateTimeFormatInfo& Info) {
  Info = TcxDateTimeFormatInfo{};
  TParser p{Info};
  if (!p.Parse(Format, 1)) {
    Info = TcxDateTimeFormatInfo{};
    return false;
  }
  if (Info.DefinedItems[fkHour]) {
    const bool twelve = p.AmPmAt[std::size_t(p.HourLevel)];
    for (TcxDateTimeFormatItem& item : Info.Items)
      if (item.Kind == fkHour) item.Data = (twelve ? "12" : "24") + item.Data;
  } else if (Info.DefinedItems[fkAmPm]) {
    // A designator without an hour means nothing.
    Info.Items.erase(std::remove_if(Info.Items.begin(), Info.Items.end(),
                                    [](const TcxDateTimeFormatItem& i) { return i.Kind == fkAmPm; }),
                     Info.Items.end());
    Info.DefinedItems[fkAmPm] = false;
  }
  return true;
}

void TcxFormatController::BuildDateMasks(bool SmartWords) {
  const TFormatSettings& fs = FormatSettings();
  ParseFormat(fs.ShortDateFormat, FDateInfo);
  ParseFormat(fs.LongTimeFormat, FTimeInfo);
  ParseFormat(fs.ShortDateFormat + " " + fs.LongTimeFormat, FDateTimeInfo);
  FDateMask = StandardMask(FDateInfo);
  FStandardDateMask = FDateMask;
  FRegExprDateMask = DateRegExpr(FDateInfo);
  if (SmartWords) FRegExprDateMask = AddSmartWords(FRegExprDateMask, false);
  FRegExprDateTimeMask = DateRegExpr(FDateInfo) + "' '(" + TimeRegExpr(FTimeInfo) + ")?";
  if (SmartWords) FRegExprDateTimeMask = AddSmartWords(FRegExprDateTimeMask, true);
  FStandardDateTimeMask = StandardMask(FDateTimeInfo);
  FMaskedDateFormat = MaskFormat(FDateInfo);
  FMaskedDateTimeFormat = MaskFormat(FDateTimeInfo);
}

String TcxFormatController::DateRegExpr(const TcxDateTimeFormatInfo& Info) {
  const TFormatSettings& fs = FormatSettings();
  String r;
  for (const TcxDateTimeFormatItem& item : Info.Items) {
    switch (item.Kind) {
      case fkText: r += Quoted(item.Data); break;
      case fkYear: r += item.Data == "YY" ? "\\d\\d" : "\\d\\d\\d\\d"; break;
      case fkMonth: {
        const auto& names = item.Data == "MMMM" ? fs.LongMonthNames : fs.ShortMonthNames;
        String list;
        for (std::size_t i = 0; i < names.size(); ++i) list += (i ? "|" : "") + Quoted(names[i]);
        r += "((0?[1-9]|1[012])|(" + list + "))";
        break;
      }
      case fkDay: r += "([012]?[1-9]|[123]0|31)"; break;
      case fkDateSeparator: r += SeparatorExpr(fs.DateSeparator); break;
      default: break;
    }
  }
  return r;
}

String TcxFormatController::TimeRegExpr(const TcxDateTimeFormatInfo& Info) {
  const TFormatSettings& fs = FormatSettings();
  String r;
  for (const TcxDateTimeFormatItem& item : Info.Items) {
    switch (item.Kind) {
      case fkText: r += Quoted(item.Data); break;
      case fkHour: r += item.Data.rfind("12", 0) == 0 ? "(0?[1-9]|1[012])" : "([01]?\\d|2[0-3])"; break;
      case fkMinute:
      case fkSecond: r += "[0-5]?\\d"; break;
      case fkAmPm: {
        const String u = UpperAscii(item.Data);
        if (u == "A/P")
          r += "(A|P)?";
        else if (u == "AM/PM")
          r += "(AM|PM)?";
        else if (!fs.TimeAMString.empty() && !fs.TimePMString.empty())
          r += "('" + fs.TimeAMString + "'|'" + fs.TimePMString + "')?";
        else if (!fs.TimeAMString.empty() || !fs.TimePMString.empty())
          r += "('" + fs.TimeAMString + fs.TimePMString + "')?";
        break;
      }
      case fkTimeSeparator: r += SeparatorExpr(fs.TimeSeparator); break;
      default: break;
    }
  }
  return r;
}

String TcxFormatController::AddSmartWords(const String& Mask, bool WithNow) {
  const auto words = LoadSmartDateWords();
  const int count = WithNow ? cxSmartDateWordCount : cxSmartDateWordCount - 1;
  String list;
  for (int i = 0; i < count; ++i) list += (i ? "|" : "") + QuoteWord(words[std::size_t(i)]);
  return "(" + Mask + ")|(" + list + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}

String TcxFormatController::StandardMask(const TcxDateTimeFormatInfo& Info) {
  if (Info.Items.empty()) return String();
  const TFormatSettings& fs = FormatSettings();
  String m = "!";
  for (const TcxDateTimeFormatItem& item : Info.Items) {
    switch (item.Kind) {
      case fkText:
        for (char32_t c : Utf8ToUtf32(item.Data)) {
          m += '\\';
          AppendUtf8(m, c);
        }
        break;
      case fkYear: m += item.Data == "YY" ? "99" : "9999"; break;
      case fkMonth:
      case fkDay: m += item.Data.size() > 2 ? "lll" : "99"; break;
      case fkHour:
      case fkMinute:
      case fkSecond: m += "99"; break;
      case fkAmPm: {
        const String u = UpperAscii(item.Data);
        if (u == "A/P")
          m += "c";
        else if (u == "AM/PM")
          m += "cc";
        else
          m += String(std::size_t(std::max(CharLength(fs.TimeAMString), CharLength(fs.TimePMString))), 'c');
        break;
      }
      case fkDateSeparator: m += "/"; break;
      case fkTimeSeparator: m += ":"; break;
      default: break;
    }
  }
  return m + ";1; ";
}

String TcxFormatController::MaskFormat(const TcxDateTimeFormatInfo& Info) {
  String r;
  for (const TcxDateTimeFormatItem& item : Info.Items) {
    switch (item.Kind) {
      case fkText: r += Quoted(item.Data); break;
      case fkYear: r += LowerAscii(item.Data); break;
      case fkMonth: r += item.Data.size() > 2 ? "mmm" : "mm"; break;
      case fkDay: r += item.Data.size() > 2 ? "ddd" : "dd"; break;
      case fkHour: r += "hh"; break;
      case fkMinute: r += "nn"; break;
      case fkSecond: r += "ss"; break;
      case fkAmPm: r += LowerAscii(item.Data); break;
      case fkDateSeparator: r += "/"; break;
      case fkTimeSeparator: r += ":"; break;
      default: break;
    }
  }
  return r;
}
