#pragma once
// Date arithmetic and the parsing of dates typed into a masked date field: the field's own
// format is read by position first, then the text is scanned freely in the locale's order of
// day, month and year. Two-digit years fall into a window of 60 years before the current year
// (of the layer's clock). Locale values (date separator, month names, designators) come from
// the platform's format settings at the moment of the call.
#include "core/System.h"

// The date value that stands for no date.
constexpr TDateTime NullDate = 0;
// How many years before the current year a two-digit year may lie.
constexpr Byte CenturyOffset = 60;

// Set once at start-up: the locale's short date format, upper-cased, holds "YYYY". Later
// changes of the locale do not update it.
extern bool FourDigitYear;

enum TDateFieldOrder : Byte { dfoMDY, dfoDMY, dfoYMD };

bool LeapYear(int AYear);
// The core library already names its table of month lengths MonthDays; the routine lives in
// a namespace of its own beside it.
namespace dateutil {
int MonthDays(int AYear, int AMonth);
}
// 1 <= Y <= 9999, 1 <= M <= 12, 1 <= D <= the month's length; the arguments are taken as
// 16-bit unsigned values, so -1 is invalid.
bool ValidDate(Word Y, Word M, Word D);
bool ValidDateValue(TDateTime Value);
// A year below 100 moved into the century window; other years unchanged.
int ExpandYear(int AYear);
// The first of D, M, Y/E in the format (any case): DMY, MDY, YMD; none gives DMY.
TDateFieldOrder DateOrderOf(std::string_view Format);

// The free scan from the 1-based position Pos: two or three numbers between date separators
// in the format's order; true only for a valid date that uses the whole text.
bool ScanDateText(std::string_view S, std::string_view Format, int& Pos, int& Y, int& M, int& D);
// A part of S at the place of Count copies of Ch in Format: Default when S is longer than the
// format or the format lacks the part, Blank when the place holds only blanks, -1 when its
// text is no number (with Count > 1: no month name).
int ExtractDatePart(std::string_view Format, std::string_view S, char Ch, int Count, int Blank, int Default);
// The first month whose long name begins with Name (any case); -1 when none.
int MonthNumberOfName(std::string_view Name);
// By position, else by the free scan.
bool ScanDateByFormat(std::string_view Format, std::string_view S, int& D, int& M, int& Y);

// The empty text is NullDate.
bool TryTextToDate(std::string_view Format, std::string_view S, TDateTime& Date);
// EConvertError "''<S>'' is not a valid date" when the text is no date.
TDateTime TextToDateByFormat(std::string_view Format, std::string_view S);
// Default (whole days) when the text is no date.
TDateTime TextToDateByFormatDef(std::string_view Format, std::string_view S, TDateTime Default);

// "MM/DD/YYYY", "DD/MM/YYYY" or "YYYY/MM/DD" (two-digit: "YY") in the locale's order.
String DefaultDateFormat(bool FourDigits);
// The masked-edit mask of that format, ending in the blanks character.
String DefaultDateMask(char BlanksChar, bool FourDigits);
