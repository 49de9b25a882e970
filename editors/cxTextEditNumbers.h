#pragma once
// Number texts of the text editors: thousand separators put into a number's integer digits,
// and whether a text (separators aside) is a float number. Both follow the locale's separators.
#include "core/System.h"

// Leading and trailing white space and an exponent part ("E" onwards) are kept as they are;
// separators already in the text are put where they belong.
void InsertThousandSeparators(String& Text);
bool IsFloatText(const String& Text);
