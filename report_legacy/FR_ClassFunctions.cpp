// The function libraries every report knows: the standard one (aggregates, text, dates,
// numbers, input and message boxes) and the database one (FIELDISNULL), and the list of
// their descriptions the designer shows.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_DBRel.h"
#include "report_legacy/FR_Utils.h"

#include "core/DateUtils.h"
#include "core/FloatFormat.h"
#include "core/Mask.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Dialogs.h"
#include "gui/MessageBox.h"

namespace {

Variant Eval(const Variant& p) { return TfrGlobals::Instance()->Parser->Evaluate(VarToStr(p)); }
String EvalText(const Variant& p) { return VarToStr(Eval(p)); }

enum {
  fnAvg, fnCount, fnDayOf, fnFormatDateTime, fnFormatFloat, fnFormatText, fnInput, fnLength, fnLowerCase, fnMax,
  fnMaxNum, fnMessageBox, fnMin, fnMinNum, fnMonthOf, fnNameCase, fnPos, fnSum, fnTrim, fnUpperCase, fnYearOf
};

const char* const kStdNames[] = {"AVG",     "COUNT",      "DAYOF",  "FORMATDATETIME", "FORMATFLOAT", "FORMATTEXT",
                                 "INPUT",   "LENGTH",     "LOWERCASE", "MAX",         "MAXNUM",      "MESSAGEBOX",
                                 "MIN",     "MINNUM",     "MONTHOF", "NAMECASE",      "POS",         "SUM",
                                 "TRIM",    "UPPERCASE",  "YEAROF"};

// Descriptions: name, category text, description text.
struct TDescRow {
  const char* Name;
  int Category, Description;
};
const TDescRow kStdDescriptions[] = {
    {"AVG", 55349, 55360}, {"COUNT", 55349, 55361}, {"MAX", 55349, 55368}, {"MIN", 55349, 55369},
    {"SUM", 55349, 55374}, {"DAYOF", 55350, 55362}, {"MONTHOF", 55350, 55370}, {"YEAROF", 55350, 55377},
    {"STRTODATE", 55350, 55372}, {"STRTOTIME", 55350, 55373}, {"DATE", 55350, 55391}, {"TIME", 55350, 55392},
    {"FORMATDATETIME", 55351, 55363}, {"FORMATFLOAT", 55351, 55364}, {"FORMATTEXT", 55351, 55416},
    {"LENGTH", 55351, 55366}, {"LOWERCASE", 55351, 55367}, {"NAMECASE", 55351, 55371}, {"TRIM", 55351, 55375},
    {"UPPERCASE", 55351, 55376}, {"POS", 55351, 55414}, {"COPY", 55351, 55379}, {"STR", 55351, 55381},
    {"INPUT", 55352, 55365}, {"MESSAGEBOX", 55352, 55415}, {"IF", 55352, 55378}, {"PAGE#", 55352, 55390},
    {"LINE#", 55352, 55393}, {"LINETHROUGH#", 55352, 55394}, {"COLUMN#", 55352, 55395},
    {"TOTALPAGES", 55352, 55396}, {"MAXNUM", 55353, 55412}, {"MINNUM", 55353, 55413}, {"MOD", 55353, 55380},
    {"ROUND", 55353, 55385}, {"FRAC", 55353, 55386}, {"INT", 55353, 55387}, {"NOT", 55354, 55382},
    {"AND", 55354, 55383}, {"OR", 55354, 55384}, {"TRUE", 55354, 55388}, {"FALSE", 55354, 55389},
    {"MROK", 55355, 55397}, {"MRCANCEL", 55355, 55398}, {"CURY", 55355, 55399}, {"FREESPACE", 55355, 55400},
    {"FINALPASS", 55355, 55401}, {"PAGEHEIGHT", 55355, 55402}, {"PAGEWIDTH", 55355, 55403},
    {"PROGRESS", 55355, 55404}, {"MODALRESULT", 55355, 55405}, {"STOPREPORT", 55355, 55406},
    {"NEWPAGE", 55355, 55407}, {"NEWCOLUMN", 55355, 55408}, {"SHOWBAND", 55355, 55409}, {"INC", 55355, 55410},
    {"DEC", 55355, 55411}, {"REPORTCOMMENT", 55622, 55623}, {"REPORTNAME", 55622, 55624},
    {"REPORTAUTOR", 55622, 55625}, {"VMAJOR", 55622, 55626}, {"VMINOR", 55622, 55627},
    {"VRELEASE", 55622, 55628}, {"VBUILD", 55622, 55629}, {"REPORTDATE", 55622, 55630},
    {"REPORTLASTCHANGE", 55622, 55631},
};

String NameCase(const String& s) {
  String lower = AnsiLowerCase(s);
  if (lower.empty()) return lower;
  const std::size_t first = CharToByteIndex(lower, 1);
  return AnsiUpperCase(lower.substr(0, first)) + lower.substr(first);
}

}  // namespace

TfrStdFunctionLibrary::TfrStdFunctionLibrary() {
  for (const char* n : kStdNames) FunctionNames->Add(n);
  Describe();
}

void TfrStdFunctionLibrary::Describe() {
  for (const TDescRow& d : kStdDescriptions) AddFunctionDesc(d.Name, LocaleText(d.Category), LocaleText(d.Description));
}

void TfrStdFunctionLibrary::CallFunction(int FNo, const Variant& p1, const Variant& p2, const Variant& p3,
                                         Variant& Val) {
  switch (FNo) {
    case fnAvg: Val = AggregateFunction(fragg::Avg, VarToStr(p1), VarToStr(p2), VarToStr(p3)); break;
    case fnCount: Val = AggregateFunction(fragg::Count, VarToStr(p1), VarToStr(p2), VarToStr(p3)); break;
    case fnMax: Val = AggregateFunction(fragg::Max, VarToStr(p1), VarToStr(p2), VarToStr(p3)); break;
    case fnMin: Val = AggregateFunction(fragg::Min, VarToStr(p1), VarToStr(p2), VarToStr(p3)); break;
    case fnSum: Val = AggregateFunction(fragg::Sum, VarToStr(p1), VarToStr(p2), VarToStr(p3)); break;
    case fnDayOf: Val = Variant(int(DayOf(Eval(p1).AsDateTime()))); break;
    case fnMonthOf: Val = Variant(int(MonthOf(Eval(p1).AsDateTime()))); break;
    case fnYearOf: Val = Variant(int(YearOf(Eval(p1).AsDateTime()))); break;
    case fnFormatDateTime: Val = Variant(FormatDateTime(EvalText(p1), Eval(p2).AsDateTime())); break;
    case fnFormatFloat: Val = Variant(FormatFloat(EvalText(p1), Eval(p2).AsDouble())); break;
    case fnFormatText: Val = Variant(FormatMaskText(EvalText(p1) + ";0; ", EvalText(p2))); break;
    case fnInput: Val = Variant(InputBox("", EvalText(p1), EvalText(p2))); break;
    case fnLength: Val = Variant(Length(EvalText(p1))); break;
    case fnLowerCase: Val = Variant(AnsiLowerCase(EvalText(p1))); break;
    case fnUpperCase: Val = Variant(AnsiUpperCase(EvalText(p1))); break;
    case fnNameCase: Val = Variant(NameCase(EvalText(p1))); break;
    case fnTrim: Val = Variant(Trim(EvalText(p1))); break;
    case fnPos: Val = Variant(Pos(EvalText(p1), EvalText(p2))); break;
    case fnMaxNum: {
      const Variant a = Eval(p1), b = Eval(p2);
      Val = a > b ? a : b;
      break;
    }
    case fnMinNum: {
      const Variant a = Eval(p1), b = Eval(p2);
      Val = a < b ? a : b;
      break;
    }
    case fnMessageBox: Val = Variant(MessageBox(0, EvalText(p1), EvalText(p2), Eval(p3).AsInteger())); break;
    default: break;
  }
}

TDatabaseFunctionLibrary::TDatabaseFunctionLibrary() {
  FunctionNames->Add("FIELDISNULL");
  Describe();
}

void TDatabaseFunctionLibrary::Describe() { AddFunctionDesc("FIELDISNULL", LocaleText(55620), LocaleText(55621)); }

void TDatabaseFunctionLibrary::CallFunction(int FNo, const Variant& p1, const Variant&, const Variant&, Variant& Val) {
  if (FNo == 0) Val = Variant(IsFieldNull(EvalText(p1)));
}

// ================================================================ descriptions

std::vector<TfrFunctionDesc>& TfrInstalledFunctions::Items() { return TfrGlobals::Instance()->FunctionDescriptions; }

void TfrInstalledFunctions::Add(TfrFunctionLibrary* Library, const String& Name, const String& Category,
                                const String& Description) {
  if (Category.empty()) return;
  for (const TfrFunctionDesc& d : Items())
    if (d.FunctionName == Name) return;
  Items().push_back({Library, Name, Category, Description});
}

void TfrInstalledFunctions::Remove(TfrFunctionLibrary* Library) {
  const String cls = typeid(*Library).name();
  std::erase_if(Items(), [&cls](const TfrFunctionDesc& d) { return d.Library && typeid(*d.Library).name() == cls; });
}
