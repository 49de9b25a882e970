// Functions the translated statements call: Jet's built-ins SQLite lacks (cdate, len, mid,
// iif's isnull, …) and a LIKE that matches as Jet did (numbers by their shortest text, ASCII
// letters without regard to case, NULL never). Dates are REAL day counts.
#include "data/SqliteFunctions_p.h"

#include "data/SqliteDb_p.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <cmath>
#include <cstring>

namespace {

using Args = sqlite3_value**;

String TextOf(sqlite3_value* v) {
  const unsigned char* p = sqlite3_value_text(v);
  return p ? String(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_value_bytes(v))) : String();
}

// A value as Jet turns it into text: 1234 and 12.5, not 1234.0.
String ValueText(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return IntToStr(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return FloatToStr(sqlite3_value_double(v));
    case SQLITE_NULL: return String();
    default: return TextOf(v);
  }
}

bool IsNull(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }
bool IsNumber(sqlite3_value* v) {
  int t = sqlite3_value_type(v);
  return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

struct FunctionError {
  String Message;
};
[[noreturn]] void Raise(String msg) { throw FunctionError{std::move(msg)}; }

// A date from a day count or a date text; raises for other text.
TDateTime DateOfValue(sqlite3_value* v) {
  if (IsNumber(v)) return sqlite3_value_double(v);
  String s = Trim(TextOf(v));
  TDateTime d;
  if (!JetTryParseDate(s, d)) Raise("'" + s + "' is not a valid date");
  return d;
}

Int64 IntArg(sqlite3_value* v, const char* fn) {
  if (IsNull(v)) Raise(String("Invalid use of Null in ") + fn);
  if (sqlite3_value_type(v) == SQLITE_INTEGER) return sqlite3_value_int64(v);
  if (sqlite3_value_type(v) == SQLITE_FLOAT) return Round(sqlite3_value_double(v));
  Int64 n;
  if (!TryStrToInt64(Trim(TextOf(v)), n)) Raise(String("Invalid argument to ") + fn);
  return n;
}

void ResultText(sqlite3_context* c, const String& s) {
  sqlite3_result_text(c, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// Runs a function body, turning failures into SQLite errors: no exception crosses SQLite.
template <class F> void Guard(sqlite3_context* c, F&& body) {
  try {
    body();
  } catch (const FunctionError& e) {
    sqlite3_result_error(c, e.Message.c_str(), -1);
  } catch (const std::exception& e) {
    sqlite3_result_error(c, e.what(), -1);
  }
}

// ---------------------------------------------------------------------------- LIKE

char32_t Fold(char32_t c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

// '%' any run, '_' one character, `esc` makes the next character literal.
bool LikeMatch(const std::u32string& p, const std::u32string& s, char32_t esc) {
  std::size_t pi = 0, si = 0, starP = std::u32string::npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size()) {
      char32_t c = p[pi];
      if (esc && c == esc && pi + 1 < p.size()) {
        if (Fold(p[pi + 1]) == Fold(s[si])) {
          pi += 2;
          ++si;
          continue;
        }
      } else if (c == U'%') {
        starP = pi++;
        starS = si;
        continue;
      } else if (c == U'_' || Fold(c) == Fold(s[si])) {
        ++pi;
        ++si;
        continue;
      }
    }
    if (starP == std::u32string::npos) return false;
    pi = starP + 1;
    si = ++starS;
  }
  while (pi < p.size() && p[pi] == U'%') ++pi;
  return pi == p.size();
}

void FnLike(sqlite3_context* c, int argc, Args a) {
  Guard(c, [&] {
    // like(pattern, value [, escape]); NULL on either side matches nothing.
    if (IsNull(a[0]) || IsNull(a[1]) || (argc == 3 && IsNull(a[2]))) return sqlite3_result_null(c);
    if (sqlite3_value_type(a[1]) == SQLITE_BLOB) return sqlite3_result_int(c, 0);
    char32_t esc = 0;
    if (argc == 3) {
      std::u32string e = Utf8ToUtf32(TextOf(a[2]));
      if (e.size() != 1) Raise("ESCAPE expression must be a single character");
      esc = e[0];
    }
    sqlite3_result_int(c, LikeMatch(Utf8ToUtf32(ValueText(a[0])), Utf8ToUtf32(ValueText(a[1])), esc) ? 1 : 0);
  });
}

// ---------------------------------------------------------------------------- conversions

void FnCDate(sqlite3_context* c, int, Args a) {
  Guard(c, [&] {
    if (IsNull(a[0])) Raise("Invalid use of Null in cdate");
    sqlite3_result_double(c, DateOfValue(a[0]));
  });
}

void FnIsNull(sqlite3_context* c, int, Args a) { sqlite3_result_int(c, IsNull(a[0]) ? 1 : 0); }

void FnLen(sqlite3_context* c, int, Args a) {
  if (IsNull(a[0])) return sqlite3_result_null(c);
  if (sqlite3_value_type(a[0]) == SQLITE_BLOB) return sqlite3_result_int(c, sqlite3_value_bytes(a[0]));
  sqlite3_result_int(c, Length(ValueText(a[0])));
}

// left(text, n) and right(text, n): n characters from one end; a negative n is an error.
void EndText(sqlite3_context* c, Args a, const char* name, String (*take)(std::string_view, int)) {
  Guard(c, [&] {
    Int64 n = IntArg(a[1], name);
    if (n < 0) Raise(String("Invalid argument to ") + name);
    if (IsNull(a[0])) return sqlite3_result_null(c);
    ResultText(c, take(ValueText(a[0]), static_cast<int>(std::min<Int64>(n, INT32_MAX))));
  });
}

void FnLeft(sqlite3_context* c, int, Args a) { EndText(c, a, "left", LeftStr); }
void FnRight(sqlite3_context* c, int, Args a) { EndText(c, a, "right", RightStr); }

void FnMid(sqlite3_context* c, int argc, Args a) {
  Guard(c, [&] {
    Int64 start = IntArg(a[1], "mid");
    Int64 count = argc == 3 ? IntArg(a[2], "mid") : INT32_MAX;
    if (start < 1 || count < 0) Raise("Invalid argument to mid");
    if (IsNull(a[0])) return sqlite3_result_null(c);
    ResultText(c, MidStr(ValueText(a[0]), static_cast<int>(std::min<Int64>(start, INT32_MAX)),
                         static_cast<int>(std::min<Int64>(count, INT32_MAX))));
  });
}

// instr(start, text, sought): Jet's three-argument form (the two-argument one is SQLite's).
void FnInstr3(sqlite3_context* c, int, Args a) {
  Guard(c, [&] {
    Int64 start = IntArg(a[0], "instr");
    if (start < 1) Raise("Invalid argument to instr");
    if (IsNull(a[1]) || IsNull(a[2])) return sqlite3_result_null(c);
    sqlite3_result_int(c, PosEx(ValueText(a[2]), ValueText(a[1]), static_cast<int>(std::min<Int64>(start, INT32_MAX))));
  });
}

void FnUCase(sqlite3_context* c, int, Args a) {
  if (IsNull(a[0])) return sqlite3_result_null(c);
  ResultText(c, AnsiUpperCase(ValueText(a[0])));
}

void FnLCase(sqlite3_context* c, int, Args a) {
  if (IsNull(a[0])) return sqlite3_result_null(c);
  ResultText(c, AnsiLowerCase(ValueText(a[0])));
}

void FnNow(sqlite3_context* c, int, Args) { sqlite3_result_double(c, Now()); }
void FnDate(sqlite3_context* c, int, Args) { sqlite3_result_double(c, DateOf(Now())); }
void FnTime(sqlite3_context* c, int, Args) { sqlite3_result_double(c, TimeOf(Now())); }

// year(), month(), … of a date value.
template <int Part> void FnDatePart(sqlite3_context* c, int, Args a) {
  Guard(c, [&] {
    if (IsNull(a[0])) return sqlite3_result_null(c);
    TDateTime d = DateOfValue(a[0]);
    Word y, m, dd, h, n, s, ms;
    DecodeDateTime(d, y, m, dd, h, n, s, ms);
    const int parts[] = {y, m, dd, h, n, s, DayOfWeek(d)};
    sqlite3_result_int(c, parts[Part]);
  });
}

// A date column's value as its short-date text (with the time when there is one).
void FnDateText(sqlite3_context* c, int, Args a) {
  if (IsNull(a[0])) return sqlite3_result_null(c);
  if (!IsNumber(a[0])) return sqlite3_result_value(c, a[0]);
  ResultText(c, DateTimeToStr(sqlite3_value_double(a[0])));
}

// a & b & …: NULL counts as ''; the result is NULL only when every part is.
void FnConcat(sqlite3_context* c, int argc, Args a) {
  String out;
  bool any = false;
  for (int i = 0; i < argc; ++i) {
    if (IsNull(a[i])) continue;
    any = true;
    out += ValueText(a[i]);
  }
  if (!any) return sqlite3_result_null(c);
  ResultText(c, out);
}

void FnNz(sqlite3_context* c, int argc, Args a) {
  if (!IsNull(a[0])) return sqlite3_result_value(c, a[0]);
  if (argc == 2) return sqlite3_result_value(c, a[1]);
  sqlite3_result_text(c, "", 0, SQLITE_STATIC);
}

void FnCStr(sqlite3_context* c, int, Args a) {
  Guard(c, [&] {
    if (IsNull(a[0])) Raise("Invalid use of Null in cstr");
    ResultText(c, ValueText(a[0]));
  });
}

double NumberOf(sqlite3_value* v, const char* fn) {
  if (IsNull(v)) Raise(String("Invalid use of Null in ") + fn);
  if (IsNumber(v)) return sqlite3_value_double(v);
  String s = Trim(TextOf(v));
  double d;
  if (!TryStrToFloat(s, d)) Raise("Type mismatch: '" + s + "' is not a number");
  return d;
}

void FnCDbl(sqlite3_context* c, int, Args a) {
  Guard(c, [&] { sqlite3_result_double(c, NumberOf(a[0], "cdbl")); });
}

// Jet rounds half to even when it makes a whole number.
void FnCLng(sqlite3_context* c, int, Args a) {
  Guard(c, [&] { sqlite3_result_int64(c, Round(NumberOf(a[0], "clng"))); });
}

void FnInt(sqlite3_context* c, int, Args a) {
  Guard(c, [&] {
    if (IsNull(a[0])) return sqlite3_result_null(c);
    double d = std::floor(NumberOf(a[0], "int"));
    if (sqlite3_value_type(a[0]) == SQLITE_INTEGER) return sqlite3_result_int64(c, sqlite3_value_int64(a[0]));
    sqlite3_result_double(c, d);
  });
}

// val(text): the number the text starts with, 0 when none.
void FnVal(sqlite3_context* c, int, Args a) {
  Guard(c, [&] {
    if (IsNull(a[0])) Raise("Invalid use of Null in val");
    if (IsNumber(a[0])) return sqlite3_result_value(c, a[0]);
    String s = TextOf(a[0]);
    String digits;
    for (char ch : s) {
      if (ch == ' ' || ch == '\t') continue;
      digits += ch;
    }
    std::size_t n = digits.size();
    double d = 0;
    while (n > 0 && !TryStrToFloat(digits.substr(0, n), d)) --n;
    sqlite3_result_double(c, n > 0 ? d : 0.0);
  });
}

// format(value [, picture]): Jet's named formats, date pictures and number pictures.
void FnFormat(sqlite3_context* c, int argc, Args a) {
  Guard(c, [&] {
    if (IsNull(a[0])) return sqlite3_result_null(c);
    if (argc == 1 || IsNull(a[1])) return ResultText(c, ValueText(a[0]));
    String fmt = TextOf(a[1]);
    struct Named { const char* Name; const char* Picture; bool Date; };
    static const Named kNamed[] = {
        {"General Date", "c", true},           {"Long Date", "dddddd", true},      {"Medium Date", "dd-mmm-yy", true},
        {"Short Date", "ddddd", true},         {"Long Time", "tt", true},          {"Medium Time", "hh:nn AMPM", true},
        {"Short Time", "hh:nn", true},         {"General Number", "", false},      {"Fixed", "0.00", false},
        {"Standard", "#,##0.00", false},       {"Percent", "0.00%", false},        {"Currency", "", false},
    };
    for (const Named& n : kNamed) {
      if (!SameText(fmt, n.Name)) continue;
      if (n.Date) return ResultText(c, FormatDateTime(n.Picture, DateOfValue(a[0])));
      double v = NumberOf(a[0], "format");
      if (SameText(fmt, "General Number")) return ResultText(c, FloatToStr(v));
      if (SameText(fmt, "Currency")) return ResultText(c, FloatToStrF(v, ffCurrency, 18, FormatSettings().CurrencyDecimals));
      if (SameText(fmt, "Percent")) return ResultText(c, FormatFloat("0.00", v * 100) + "%");
      return ResultText(c, FormatFloat(n.Picture, v));
    }
    // A picture with date letters outside quotes formats a date, else a number.
    bool date = false;
    char quote = 0;
    for (char ch : fmt) {
      if (quote) {
        if (ch == quote) quote = 0;
        continue;
      }
      if (ch == '"' || ch == '\'') quote = ch;
      else if (std::strchr("yYdDmMhHnNsS", ch)) date = true;
    }
    if (date) return ResultText(c, FormatDateTime(fmt, DateOfValue(a[0])));
    if (!IsNumber(a[0])) {
      double d;
      if (!TryStrToFloat(Trim(TextOf(a[0])), d)) return ResultText(c, TextOf(a[0]));
      return ResultText(c, FormatFloat(fmt, d));
    }
    ResultText(c, FormatFloat(fmt, sqlite3_value_double(a[0])));
  });
}

struct Registration {
  const char* Name;
  int Args;
  void (*Fn)(sqlite3_context*, int, sqlite3_value**);
  bool Deterministic;
};

const Registration kFunctions[] = {
    {"like", 2, FnLike, true},         {"like", 3, FnLike, true},          {"cdate", 1, FnCDate, true},
    {"jet_isnull", 1, FnIsNull, true}, {"len", 1, FnLen, true},            {"jet_left", 2, FnLeft, true},
    {"jet_right", 2, FnRight, true},   {"mid", 2, FnMid, true},            {"mid", 3, FnMid, true},
    {"instr", 3, FnInstr3, true},      {"ucase", 1, FnUCase, true},        {"lcase", 1, FnLCase, true},
    {"jet_now", 0, FnNow, false},      {"jet_date", 0, FnDate, false},     {"jet_time", 0, FnTime, false},
    {"year", 1, FnDatePart<0>, true},  {"month", 1, FnDatePart<1>, true},  {"day", 1, FnDatePart<2>, true},
    {"hour", 1, FnDatePart<3>, true},  {"minute", 1, FnDatePart<4>, true}, {"second", 1, FnDatePart<5>, true},
    {"weekday", 1, FnDatePart<6>, true}, {"jet_datetext", 1, FnDateText, true}, {"jet_concat", -1, FnConcat, true},
    {"nz", 1, FnNz, true},             {"nz", 2, FnNz, true},              {"cstr", 1, FnCStr, true},
    {"cdbl", 1, FnCDbl, true},         {"clng", 1, FnCLng, true},          {"cint", 1, FnCLng, true},
    {"int", 1, FnInt, true},           {"val", 1, FnVal, true},            {"jet_format", 1, FnFormat, true},
    {"jet_format", 2, FnFormat, true},
};

}  // namespace

void RegisterJetFunctions(sqlite3* db) {
  for (const Registration& r : kFunctions) {
    // Date text depends on the format settings and the clock on the time: neither is
    // marked deterministic, so SQLite never caches them across statements.
    int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS;
    if (r.Deterministic && r.Fn != FnDateText && r.Fn != FnFormat) flags |= SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, r.Name, r.Args, flags, nullptr, r.Fn, nullptr, nullptr, nullptr);
  }
}
