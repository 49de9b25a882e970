#pragma once
// The small language of the filter row's conditions: an operator and a value, an in-list, a
// like pattern, a null test, or two of them joined by AND or OR ("> 1 and < 5", "in (1,2)",
// "=null", a bare word for like on text). The lexer, the parser with its messages (each
// followed by the whole expression), the conversion of operand texts by expression type, and
// the SQL spellings of the operators a dataset-features class writes conditions with.
#include "grid/DBGridEhAux.h"

// The SQL text of an operator ("LIKE", "NOT IN", "IS NULL", ...).
String STFilterOperatorSqlText(TSTFilterOperatorEh Operator);
// Where a dataset-features class puts the filter into a dataset's SQL text.
extern const char* const SSTFilterSqlMarkerEh;  // "/*FILTER*/"

// Clears the conditions (the expression type stays: the caller sets it before parsing).
void ClearSTFilterExpressionEh(TSTFilterExpressionEh& Expression);
// Fills Expression from Text; raises Exception for malformed text. True when a second
// condition was parsed.
bool ParseSTFilterExpressionEh(const String& Text, TSTFilterExpressionEh& Expression);
// The lexeme at Pos (a character index into Text, moved past it): an operator, foValue with
// Value, or foNon. Comma-separated values make an array when CommaLists is set.
TSTFilterOperatorEh STFilterLexemeEh(const String& Text, int& Pos, Variant& Value, bool CommaLists);
// Converts an operand's text (each element of an array) by expression type: numbers with the
// decimal separator, dates with the date and time format; raises EConvertError.
void ConvertSTFilterOperandEh(Variant& Operand, TSTFilterExpressionTypeEh Type);
