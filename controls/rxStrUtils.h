#pragma once
// The few string routines the date edit works with. Characters, not bytes, are compared.
#include "core/System.h"

// True when every character of S is one of Chars (an empty S gives true).
bool AllCharsIn(std::string_view S, std::string_view Chars);
// Every occurrence of Search, left to right; an inserted replacement is not searched again.
String ReplaceAll(std::string_view S, std::string_view Search, std::string_view Replacement);
// N copies of C; empty when N < 1.
String RepeatChar(char C, int N);
